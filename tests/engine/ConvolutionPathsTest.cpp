// The convolution's roads give the same words: the plain loops and the 256-bit kernels (with the
// multiply-accumulate fused and unfused), one thread and the four workers' shares, for random
// inputs and filters in every layout and with routings that group outputs in every way; and the
// word rule of both twins at its edges.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <ostream>
#include <random>
#include <vector>

#include "engine/Convolution.h"
#include "engine/ConvolutionKernels.h"
#include "tests/ReadableNames.h"

namespace {

using engine::ConvolutionMemory;

enum class Routes { OnePerOutput, AllFromOneInput, SparseWithGaps };

struct PathCase {
    int frames;
    int layout;
    Routes routes;
};

void PrintTo(const PathCase& c, std::ostream* os) {
    const char* routes[] = {"one input each", "sixteen from input 4", "sparse"};
    *os << "F " << c.frames << ", layout " << c.layout << ", "
        << routes[static_cast<int>(c.routes)];
}

struct Road {
    ConvolutionMemory mem{};
    bool wide;
    bool shares;
    bool fused;
    std::vector<std::int32_t> block;
    Road(bool w, bool s, bool f) : wide(w), shares(s), fused(f) {
        EXPECT_EQ(engine::AllocConvolutionMemory(mem), 0);
    }
    ~Road() { engine::FreeConvolutionMemory(mem); }
    void Block(const std::vector<std::vector<float>>& in, const engine::BlockGains& gains) {
        engine::ConvolutionUseWideVectors = wide;
        engine::ConvolutionUseFusedMultiplyAdd = fused;
        for (int r = 0; r < engine::kInputCount; ++r)
            std::copy(in[r].begin(), in[r].end(), mem.input_slots[engine::kSlotOfInput[r]]);
        if (shares) {
            for (int w = 0; w < engine::kWorkerCount; ++w)
                engine::TransformInputShare(mem, w, mem.work[w], nullptr);
            for (int w = engine::kWorkerCount - 1; w >= 0; --w)
                engine::ConvolveOutputShare(mem, w, gains, mem.work[w], nullptr);
            engine::InterleaveOutputWords(mem, block.data());
        } else {
            engine::TransformInputs(mem, engine::kInputsOfWorkerA, 4, mem.work[0]);
            engine::TransformInputs(mem, engine::kInputsOfWorkerB, 4, mem.work[1]);
            engine::ConvolveOutputs(mem, 0, 7, gains, block.data(), mem.work[2]);
            if (mem.output_layout == 1)
                engine::ConvolveOutputs(mem, 8, 15, gains, block.data(), mem.work[3]);
        }
        engine::ResetConvolutionHooks();
    }
};

class ConvolutionPaths : public ::testing::TestWithParam<PathCase> {};

TEST_P(ConvolutionPaths, PlainWideAndSharedRoadsGiveTheSameWords) {
    const PathCase c = GetParam();
    const int f = c.frames;
    std::mt19937 rng(17 + f + c.layout);
    std::uniform_real_distribution<float> bin(-3.0f, 3.0f);
    std::vector<std::vector<float>> spectra(engine::kOutputCount * 8, std::vector<float>(4 * f));
    std::vector<const float*> pointers;
    for (auto& s : spectra) {
        for (float& v : s) v = bin(rng);
        pointers.push_back(s.data());
    }
    std::int32_t routing[engine::kInputCount][engine::kOutputCount] = {};
    for (int o = 0; o < engine::kOutputCount; ++o) {
        if (c.routes == Routes::OnePerOutput) routing[o % 8][o] = 1;
        if (c.routes == Routes::AllFromOneInput) routing[3][o] = 1;
        if (c.routes == Routes::SparseWithGaps && o % 3 != 1) routing[o % 5 == 0 ? 6 : 1][o] = 1;
    }
    engine::BlockGains gains{};
    gains.master = 0.8f;
    for (int o = 0; o < engine::kOutputCount; ++o) gains.trims[o] = 0.25f * float(o % 7);

    // For the fused multiply-accumulate and for the unfused one (the road of processors without
    // fused multiply-add): the reference road first, plain loops on one thread; then every other.
    const bool wide_here = engine::kernels::WideVectorsAvailable();
    std::uniform_real_distribution<float> sample(-9.0e6f, 9.0e6f);  // clips now and then
    for (const bool fused : {true, false}) {
        Road roads[] = {
            {false, false, fused}, {true, false, fused}, {false, true, fused}, {true, true, fused}};
        for (Road& road : roads) {
            road.block.assign(static_cast<std::size_t>(f) * engine::OutputChannelCount(c.layout),
                              7);
            ASSERT_EQ(
                engine::PrepareConvolutionRun(road.mem, f, c.layout, routing, pointers.data()), 0);
        }
        for (int b = 0; b < 3; ++b) {
            std::vector<std::vector<float>> in(engine::kInputCount, std::vector<float>(f));
            for (auto& row : in)
                for (float& v : row) v = sample(rng) * (b == 1 ? 1e-3f : 1.0f);
            for (Road& road : roads) road.Block(in, gains);
            for (int r = 1; r < 4; ++r) {
                if (roads[r].wide && !wide_here) continue;
                for (std::size_t i = 0; i < roads[0].block.size(); ++i)
                    ASSERT_EQ(roads[r].block[i], roads[0].block[i])
                        << "road " << r << " (wide " << roads[r].wide << ", shares "
                        << roads[r].shares << ", fused " << fused << "), block " << b << ", word "
                        << i;
            }
        }
        bool sounds = false;
        for (std::int32_t w : roads[0].block) sounds = sounds || w != 0;
        EXPECT_TRUE(sounds) << "the reference road played silence";
    }
}

INSTANTIATE_TEST_SUITE_P(Table, ConvolutionPaths,
                         ::testing::Values(PathCase{1024, 1, Routes::OnePerOutput},
                                           PathCase{2048, 1, Routes::AllFromOneInput},
                                           PathCase{4096, 1, Routes::SparseWithGaps},
                                           PathCase{1024, 0, Routes::AllFromOneInput},
                                           PathCase{2048, 2, Routes::OnePerOutput},
                                           PathCase{1024, 2, Routes::SparseWithGaps}),
                         qvtest::ReadableName());

// The word rule at its edges, both twins: not a number gives 0, the clamp comes before the
// conversion, truncation is toward zero, and the tail takes the second half.
TEST(OutputWordTwins, EdgesGiveTheSameWords) {
    if (!engine::kernels::WideVectorsAvailable()) GTEST_SKIP() << "no 256-bit kernels here";
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const std::vector<float> edges = {nan,   inf,    -inf,  8388607.5f, -8388608.0f, -0.0f,
                                      0.99f, -0.99f, 1e30f, -1e30f,     4194303.7f,  -12345.5f,
                                      2.5f,  -2.5f,  1.0f,  3e-39f};
    const int f = 16;
    std::vector<float> y(2 * f);
    for (int n = 0; n < 2 * f; ++n) y[n] = edges[n % edges.size()] * (n >= f ? 0.5f : 1.0f);
    std::vector<float> tail_plain(f, 0.5f), tail_wide(f, 0.5f);
    std::vector<std::int32_t> plain(f), wide(f);
    engine::kernels::OutputWordsPlain(f, y.data(), tail_plain.data(), 1.7, 1.3, plain.data());
    engine::kernels::OutputWordsWide(f, y.data(), tail_wide.data(), 1.7, 1.3, wide.data());
    for (int n = 0; n < f; ++n) {
        EXPECT_EQ(wide[n], plain[n]) << "value " << y[n];
        EXPECT_EQ(plain[n], engine::OutputWord((double(y[n]) + 0.5) * 1.7 * 1.3)) << y[n];
        EXPECT_EQ(std::memcmp(&tail_wide[n], &tail_plain[n], sizeof(float)), 0) << n;
    }
}

// The multiply-accumulate twins on random rows with wide ranges, cancellations, zeros and
// subnormals, for groups of 1 to 8 outputs: the plain and the wide twins (256 and, where the
// processor has them, 512 bits) of each pair give the same bits; the fused pair rounds once per
// product term (somewhere it differs from the unfused one) and both pairs stay within
// single-precision rounding of a double-precision sum.
TEST(MultiplyAccumulateTwins, TheWideTwinsGiveThePlainBits) {
    using engine::kernels::MacGroup;
    if (!engine::kernels::WideVectorsAvailable()) GTEST_SKIP() << "no 256-bit kernels here";
    const bool fused_here = engine::kernels::FusedMultiplyAddAvailable();
    const bool wide512_here = engine::kernels::Vectors512Available();
    constexpr int kBins = 144;
    std::mt19937 rng(4242);
    std::uniform_real_distribution<float> mantissa(-1.0f, 1.0f);
    std::uniform_int_distribution<int> exponent(-40, 30), kind(0, 19);
    auto value = [&] {
        const int k = kind(rng);
        if (k == 0) return 0.0f;
        if (k == 1) return 1e-39f * mantissa(rng);  // subnormal
        return std::ldexp(mantissa(rng), k < 10 ? exponent(rng) / 4 : exponent(rng));
    };
    auto row = [&] {
        std::vector<float> r(kBins);
        for (float& v : r) v = value();
        return r;
    };
    for (int outputs = 1; outputs <= engine::kMaxGroupOutputs; ++outputs) {
        SCOPED_TRACE(testing::Message() << outputs << " outputs");
        // Rows 32-byte aligned, as the engine's are.
        std::vector<std::vector<float>> rows;
        auto aligned_row = [&](std::vector<float> r) {
            rows.emplace_back(kBins + 8);
            auto& back = rows.back();
            float* p = back.data();
            while (reinterpret_cast<std::uintptr_t>(p) % 32 != 0) ++p;
            std::copy(r.begin(), r.end(), p);
            return p;
        };
        rows.reserve(16 + 16 * outputs + 10 * outputs);
        MacGroup g{};
        g.outputs = outputs;
        for (int s = 0; s < 8; ++s) {
            g.xr[s] = aligned_row(row());
            g.xi[s] = aligned_row(row());
            for (int j = 0; j < outputs; ++j) {
                g.hr[j][s] = aligned_row(row());
                // Some bins cancel: hi equal to the product that the real part subtracts.
                std::vector<float> hi = row();
                for (int k = 0; k < kBins; k += 7) hi[k] = g.hr[j][s][k];
                g.hi[j][s] = aligned_row(hi);
            }
        }
        float* sums[5][engine::kMaxGroupOutputs][2];
        for (auto& road : sums)
            for (int j = 0; j < outputs; ++j)
                for (float*& p : road[j]) p = aligned_row(std::vector<float>(kBins, 7.0f));
        auto run = [&](int road, void (*mac)(const MacGroup&, int)) {
            MacGroup h = g;
            for (int j = 0; j < outputs; ++j) {
                h.acc_re[j] = sums[road][j][0];
                h.acc_im[j] = sums[road][j][1];
            }
            mac(h, kBins);
        };
        run(0, engine::kernels::MultiplyAccumulatePlain);
        run(1, engine::kernels::MultiplyAccumulateWide);
        run(2, engine::kernels::MultiplyAccumulateFusedPlain);
        if (fused_here) run(3, engine::kernels::MultiplyAccumulateFusedWide);
        if (wide512_here) run(4, engine::kernels::MultiplyAccumulateFused512);
        int fused_differs = 0;
        for (int j = 0; j < outputs; ++j)
            for (int part = 0; part < 2; ++part)
                for (int k = 0; k < kBins; ++k) {
                    const float plain = sums[0][j][part][k], fused = sums[2][j][part][k];
                    EXPECT_EQ(std::memcmp(&sums[1][j][part][k], &plain, 4), 0) << j << " " << k;
                    if (fused_here) {
                        EXPECT_EQ(std::memcmp(&sums[3][j][part][k], &fused, 4), 0) << j << " " << k;
                    }
                    if (wide512_here) {
                        EXPECT_EQ(std::memcmp(&sums[4][j][part][k], &fused, 4), 0)
                            << "512-bit " << j << " " << k;
                    }
                    fused_differs += std::memcmp(&plain, &fused, 4) != 0;
                    double exact = 0.0, size = 0.0;
                    for (int s = 0; s < 8; ++s) {
                        const double xr = g.xr[s][k], xi = g.xi[s][k];
                        const double hr = g.hr[j][s][k], hi = g.hi[j][s][k];
                        const double term = part == 0 ? xr * hr - xi * hi : xr * hi + xi * hr;
                        exact += term;
                        size += std::fabs(xr * hr) + std::fabs(xi * hi) + std::fabs(xr * hi) +
                                std::fabs(xi * hr);
                    }
                    const double bound = 20 * 6e-8 * size + 1e-44;
                    EXPECT_LE(std::fabs(plain - exact), bound) << j << " " << k;
                    EXPECT_LE(std::fabs(fused - exact), bound) << j << " " << k;
                }
        EXPECT_GT(fused_differs, 0);
    }
}

}  // namespace
