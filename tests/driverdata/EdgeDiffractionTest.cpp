// The edge diffraction model against what the physics and the model's own constants say.

#include <algorithm>
#include <cmath>
#include <complex>

#include "driverdata/BaffleEdges.h"
#include "driverdata/EdgeDiffraction.h"
#include "shell/NumberText.h"
#include "tests/driverdata/DiffractionReference.h"
#include "tests/driverdata/DiffractionTestSupport.h"

namespace {

using Complex = std::complex<double>;

class EdgeDiffraction : public ::testing::Test {
  protected:
    void SetUp() override {
        driverdata::test::ResetDiffractionWorld();
        ASSERT_EQ(driverdata::BuildBaffleEdges(), 0);  // the 80 x 80 cm square
        for (int k = 0; k < shell::kGridPoints; ++k)   // 10 Hz .. 50 kHz
            driverdata::DiffractionFrequencyGrid[k] =
                static_cast<float>(10.0 * std::pow(5000.0, (k + 1) / 2000.0));
    }
    // The pressure of one source point at every frequency, k = 0 first.
    static std::vector<Complex> Sweep(float x, float y) {
        std::vector<Complex> out;
        for (int k = 0; k < shell::kGridPoints; ++k) {
            driverdata::DiffractionAccumulator = {0.0f, 0.0f};
            driverdata::EdgeDiffractionAtFrequency(x, y, k, 0);
            out.emplace_back(driverdata::DiffractionAccumulator.re,
                             driverdata::DiffractionAccumulator.im);
        }
        return out;
    }
    static double Db(Complex h) { return 10.0 * std::log10(std::norm(h)); }
};

TEST_F(EdgeDiffraction, WithoutEdgesOnlyTheDirectSoundRemains) {
    // Microphone 1 m in front of the source: 2 / D is 6.02 dB at every frequency.
    shell::EdgeElementCount = 0;
    const auto h = Sweep(40.0f, 40.0f);
    for (int k : {0, 999, 1999}) EXPECT_NEAR(Db(h[k]), 6.0206, 1e-3) << k;
    driverdata::EdgeProfile = 7;  // an unknown profile adds no edges either
    shell::EdgeElementCount = 160;
    const auto u = Sweep(40.0f, 40.0f);
    for (int k : {0, 999, 1999}) EXPECT_NEAR(Db(u[k]), 6.0206, 1e-3) << k;
}

TEST_F(EdgeDiffraction, ACentredSourceShowsTheBaffleStep) {
    // Below the baffle's size the edges cancel half the pressure (about 0 dB); far above it the
    // edge waves average out and the full half-space level (6 dB) remains.
    const auto h = Sweep(40.0f, 40.0f);
    EXPECT_NEAR(Db(h[0]), 0.0, 1.0);
    double high = 0.0;
    for (int k = 1900; k < 2000; ++k) high += Db(h[k]) / 100.0;
    EXPECT_NEAR(high, 6.0, 1.0);
}

TEST_F(EdgeDiffraction, DipoleDoublesTheEdgesAndDirectivityKeepsTheMagnitudes) {
    for (int profile : {0, 1, 2}) {
        driverdata::EdgeProfile = profile;
        driverdata::DiffractionDipole = 0;
        driverdata::DiffractionDirectivity = 0;
        const auto plain = Sweep(30.0f, 45.0f);
        driverdata::DiffractionDipole = 1;
        const auto dipole = Sweep(30.0f, 45.0f);
        driverdata::DiffractionDipole = 0;
        driverdata::DiffractionDirectivity = 1;
        const auto delayed = Sweep(30.0f, 45.0f);
        // The direct sound alone: 2 / D with D from the source to the microphone.
        const double d = std::sqrt(1.0 + 0.1 * 0.1 + 0.05 * 0.05);
        for (int k : {0, 500, 1500}) {
            const Complex direct(2.0 / d, 0.0);
            const Complex edges = plain[k] - direct;
            EXPECT_NEAR(std::abs(dipole[k] - direct - 2.0 * edges), 0.0, 1e-4) << profile << k;
            EXPECT_NEAR(std::abs(delayed[k]), std::abs(plain[k]), 1e-4) << profile << k;
        }
    }
}

TEST_F(EdgeDiffraction, TheProfilesWeighTheirEdgesAsTheirConstantsSay) {
    // At 10 Hz every path has nearly the same phase, so the edge sum scales with the profile's
    // constant times the weights of its paths: square 1/(1.55 pi) x 1, bevel 1/(1.7 pi) x
    // (0.65 + 0.55 x L/(d + f)), round 1/(1.75 pi) x (0.45 + ...). Compare the first-path shares.
    driverdata::EdgeBevelA = driverdata::EdgeBevelB = 0.0f;  // bevel path 2 then runs at the wall
    driverdata::EdgeRoundRadius = 0.0f;                      // every round path the same length
    double edge[3];
    for (int profile : {0, 1, 2}) {
        driverdata::EdgeProfile = profile;
        edge[profile] = std::abs(Sweep(40.0f, 40.0f)[0] - Complex(2.0, 0.0));
    }
    EXPECT_NEAR(edge[1] / edge[0], (0.65 + 0.55) * 1.55 / 1.7, 0.02);
    EXPECT_NEAR(edge[2] / edge[0], (0.45 + 0.25 + 0.12 + 0.06 + 0.03) * 1.55 / 1.75, 0.02);
}

TEST_F(EdgeDiffraction, EverySourcePointKeepsItsOwnGeometry) {
    // Two piston samples evaluated at every frequency in turn: at k > 0 each must give what it
    // gives when its geometry is worked out afresh (a sample number past the kept tables).
    const float xs[2] = {30.0f, 52.0f};
    for (int k = 0; k < 3; ++k) {
        for (int j = 0; j < 2; ++j) {
            driverdata::DiffractionAccumulator = {0.0f, 0.0f};
            driverdata::EdgeDiffractionAtFrequency(xs[j], 40.0f, k, j);
            const auto kept = driverdata::DiffractionAccumulator;
            driverdata::DiffractionAccumulator = {0.0f, 0.0f};
            driverdata::EdgeDiffractionAtFrequency(xs[j], 40.0f, k,
                                                   driverdata::kMaxDiffractionSamples);
            EXPECT_FLOAT_EQ(kept.re, driverdata::DiffractionAccumulator.re) << k << j;
            EXPECT_FLOAT_EQ(kept.im, driverdata::DiffractionAccumulator.im) << k << j;
        }
    }
}

TEST_F(EdgeDiffraction, SourcesOnTheOutlineAndBadRastersStayFinite) {
    struct Case {
        const char* raster;
        float x, y;
        float re, im;  // NaN: just finite
    };
    const float any = NAN;
    const Case cases[] = {
        {"1.0", 41.0f, 0.0f, any, any},  // on an element's midpoint
        {"1.0", 0.0f, 0.0f, any, any},   // on a corner
        {"0", 40.0f, 40.0f, 1.0f, 0.0f},
        {"nan", 40.0f, 40.0f, 1.0f, 0.0f},
    };
    for (const Case& c : cases) {
        shell::CopyTextSlot(shell::Baffle->RasterText, c.raster);
        for (int k : {0, 1}) {
            driverdata::DiffractionAccumulator = {0.0f, 0.0f};
            driverdata::EdgeDiffractionAtFrequency(c.x, c.y, k, 0);
            EXPECT_TRUE(std::isfinite(driverdata::DiffractionAccumulator.re)) << c.raster << k;
            EXPECT_TRUE(std::isfinite(driverdata::DiffractionAccumulator.im)) << c.raster << k;
            if (!std::isnan(c.re)) {
                EXPECT_EQ(driverdata::DiffractionAccumulator.re, c.re) << c.raster;
                EXPECT_EQ(driverdata::DiffractionAccumulator.im, c.im) << c.raster;
            }
        }
    }
}

TEST_F(EdgeDiffraction, EveryProfileFollowsTheModelsFormulas) {
    namespace ref = diffraction_reference;
    struct Case {
        const char* name;
        int w, h;
        ref::Settings s;
        ref::Vec source;
        const char* raster;
    };
    ref::Settings rectangle;
    rectangle.mic = {35.0, 50.0};
    rectangle.mic_distance_cm = 150.0;
    rectangle.raster_cm = 1.5;
    ref::Settings bevel = rectangle;
    bevel.profile = 1;
    bevel.bevel_a = 4.0;
    bevel.bevel_b = 16.0;
    ref::Settings bevel_dipole = bevel;
    bevel_dipole.dipole = true;
    ref::Settings round;
    round.profile = 2;
    round.round_r = 12.0;
    ref::Settings round_directivity = round;
    round_directivity.directivity = true;
    ref::Settings square_both;
    square_both.directivity = square_both.dipole = true;
    const Case cases[] = {
        {"square", 80, 80, ref::Settings{}, {30.0, 45.0}, "1.0"},
        {"rectangle", 60, 90, rectangle, {20.0, 62.0}, "1.5"},
        {"bevel", 60, 90, bevel, {20.0, 62.0}, "1.5"},
        {"bevel, dipole", 60, 90, bevel_dipole, {20.0, 62.0}, "1.5"},
        {"round", 80, 80, round, {30.0, 45.0}, "1.0"},
        {"round, directivity", 80, 80, round_directivity, {30.0, 45.0}, "1.0"},
        {"square, directivity and dipole", 80, 80, square_both, {52.0, 33.0}, "1.0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        driverdata::test::ResetDiffractionWorld();
        driverdata::test::SetOutline({{0, 0}, {c.w, 0}, {c.w, c.h}, {0, c.h}});
        shell::CopyTextSlot(shell::Baffle->RasterText, c.raster);
        ASSERT_EQ(driverdata::BuildBaffleEdges(), 0);
        const std::vector<ref::Vec> outline = ref::RectanglePoints(c.w, c.h);
        ASSERT_EQ(shell::EdgeElementCount, static_cast<int>(outline.size()));
        auto& mic = shell::Baffle->Points[shell::kBaffleMicrophone];
        mic.x = static_cast<float>(c.s.mic.x);
        mic.y = static_cast<float>(c.s.mic.y);
        shell::CurrentDriverRecord->MicDistance = static_cast<float>(c.s.mic_distance_cm);
        driverdata::EdgeProfile = c.s.profile;
        driverdata::EdgeBevelA = static_cast<float>(c.s.bevel_a);
        driverdata::EdgeBevelB = static_cast<float>(c.s.bevel_b);
        driverdata::EdgeRoundRadius = static_cast<float>(c.s.round_r);
        driverdata::DiffractionDirectivity = c.s.directivity ? 1 : 0;
        driverdata::DiffractionDipole = c.s.dipole ? 1 : 0;
        const auto h = Sweep(static_cast<float>(c.source.x), static_cast<float>(c.source.y));
        for (int k = 0; k < shell::kGridPoints; k += 111) {
            const Complex want =
                ref::Pressure(outline, c.source, driverdata::DiffractionFrequencyGrid[k], c.s);
            EXPECT_LT(std::abs(h[k] - want), 2e-4 * std::abs(want))
                << "k " << k << ": " << h[k] << " against " << want;
        }
    }
}

}  // namespace

// The eight-at-a-time sum with the calculator's own sine and cosine against the plain sum, path
// by path with std::cos and std::sin: within 1e-5 dB and 1e-4 degrees at every frequency, for
// every profile, dipole and directivity, sources near the centre and the edges, microphone
// distances and rasters (one raster so large that the fast sum falls back to the plain one).
TEST_F(EdgeDiffraction, TheFastSumAgreesWithThePlainSum) {
    struct Case {
        int profile, dipole, directivity;
        float x, y, mic_cm;
        const char* raster;
    };
    const Case cases[] = {
        {0, 0, 0, 40.0f, 40.0f, 100.0f, "1.0"}, {0, 1, 0, 12.0f, 70.0f, 100.0f, "1.0"},
        {0, 0, 1, 30.0f, 45.0f, 30.0f, "1.0"},  {1, 0, 0, 5.0f, 5.0f, 100.0f, "1.0"},
        {1, 1, 1, 60.0f, 20.0f, 250.0f, "2.5"}, {2, 0, 0, 40.0f, 78.0f, 100.0f, "1.0"},
        {2, 1, 0, 20.0f, 30.0f, 0.0f, "0.5"},   {2, 0, 1, 33.0f, 41.0f, 100.0f, "1.0"},
        {0, 0, 1, 40.0f, 40.0f, 100.0f, "400"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "profile " << c.profile << " dipole " << c.dipole << " directivity "
                     << c.directivity << " at " << c.x << ", " << c.y << ", raster " << c.raster);
        driverdata::EdgeProfile = c.profile;
        driverdata::DiffractionDipole = c.dipole;
        driverdata::DiffractionDirectivity = c.directivity;
        shell::CurrentDriverRecord->MicDistance = c.mic_cm;
        shell::CopyTextSlot(shell::Baffle->RasterText, c.raster);
        driverdata::DiffractionFastTurns = false;
        const auto plain = Sweep(c.x, c.y);
        driverdata::DiffractionFastTurns = true;
        const auto fast = Sweep(c.x, c.y);
        double worst_db = 0.0, worst_degrees = 0.0;
        for (int k = 0; k < shell::kGridPoints; ++k) {
            worst_db = std::max(worst_db, std::fabs(Db(fast[k]) - Db(plain[k])));
            worst_degrees =
                std::max(worst_degrees, std::fabs(std::arg(fast[k] / plain[k])) * 180.0 / M_PI);
        }
        EXPECT_LE(worst_db, 1e-5);
        EXPECT_LE(worst_degrees, 1e-4);
        EXPECT_GT(std::abs(plain[1999] - plain[0]), 1e-4 * std::abs(plain[0]));  // edges summed
    }
}

// The same for the mean of a piston's samples, frequency by frequency as the calculator takes
// it: with the direct sound's delay the samples cancel by 10 dB and more near the top, so any
// difference in the single sums shows there magnified.
TEST_F(EdgeDiffraction, TheFastSumAgreesInPistonMeansThatCancel) {
    driverdata::PistonOffset offsets[driverdata::kMaxPistonSamples];
    const int n = driverdata::PistonSampleOffsets(12.5f, 5, offsets);
    ASSERT_GT(n, 20);
    auto piston = [&](bool fast) {
        driverdata::DiffractionFastTurns = fast;
        std::vector<Complex> out;
        for (int k = 0; k < shell::kGridPoints; ++k) {
            driverdata::DiffractionAccumulator = {0.0f, 0.0f};
            for (int i = 0; i < n; ++i)
                driverdata::EdgeDiffractionAtFrequency(35.0f + offsets[i].x, 45.0f + offsets[i].y,
                                                       k, i);
            out.emplace_back(driverdata::DiffractionAccumulator.re / n,
                             driverdata::DiffractionAccumulator.im / n);
        }
        driverdata::DiffractionFastTurns = true;
        return out;
    };
    for (int profile : {0, 2}) {
        SCOPED_TRACE(testing::Message() << "profile " << profile);
        driverdata::EdgeProfile = profile;
        driverdata::DiffractionDirectivity = 1;
        const auto plain = piston(false);
        const auto fast = piston(true);
        double worst_db = 0.0, deepest = 0.0;
        for (int k = 0; k < shell::kGridPoints; ++k) {
            worst_db = std::max(worst_db, std::fabs(Db(fast[k]) - Db(plain[k])));
            deepest = std::min(deepest, Db(plain[k]) - Db(plain[0]));
        }
        EXPECT_LE(worst_db, 1e-4);
        EXPECT_LT(deepest, -10.0);  // the means did cancel
    }
}
