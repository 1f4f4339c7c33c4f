// The engine's partitioned convolution against a double-precision direct convolution, pass-through
// with unit impulses, delays by partition, gain and trims, clipping, and run isolation.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <iomanip>
#include <limits>
#include <ostream>
#include <random>
#include <vector>

#include "engine/Convolution.h"
#include "engine/Globals.h"
#include "shell/ComplexFft.h"
#include "tests/ReadableNames.h"

namespace {

using engine::ConvolutionMemory;
using engine::kInputCount;
using engine::kOutputCount;
using engine::kPartitionCount;

// Filter spectra as the solver hands them over: per output and partition, the 2F-point forward
// transform of taps sF..sF+F-1 followed by F zeros.
struct Filters {
    int frames = 0;
    std::vector<std::vector<double>> taps;    // [output] 8F taps
    std::vector<std::vector<float>> spectra;  // [o * 8 + p] 4F floats
    std::vector<const float*> pointers;

    Filters(int f, const std::vector<std::vector<double>>& t) : frames(f), taps(t) {
        std::vector<int> ip(shell::FftWorkAreaInts(4 * f));
        std::vector<float> w(f);
        spectra.assign(kOutputCount * kPartitionCount, std::vector<float>(4 * f, 0.0f));
        for (int o = 0; o < kOutputCount; ++o)
            for (int p = 0; p < kPartitionCount; ++p) {
                std::vector<float>& s = spectra[o * kPartitionCount + p];
                for (int n = 0; n < f; ++n) s[2 * n] = static_cast<float>(taps[o][p * f + n]);
                shell::ComplexFft(4 * f, -1, s.data(), ip.data(), w.data());
            }
        for (auto& s : spectra) pointers.push_back(s.data());
    }
};

struct Routing {
    std::int32_t m[kInputCount][kOutputCount] = {};
};

// Runs blocks through the engine the way the scheduler and the four workers do, one after the
// other on this thread.
struct Engine {
    ConvolutionMemory mem{};
    int frames = 0;
    int layout = 0;
    int channels = 0;
    std::vector<std::int32_t> block;

    Engine() { EXPECT_EQ(engine::AllocConvolutionMemory(mem), 0); }
    ~Engine() { engine::FreeConvolutionMemory(mem); }

    void Prepare(int f, int out_layout, const Routing& routing, const Filters& filters) {
        frames = f;
        layout = out_layout;
        channels = engine::OutputChannelCount(out_layout);
        block.assign(static_cast<std::size_t>(f) * channels, 0x55555555);
        ASSERT_EQ(
            engine::PrepareConvolutionRun(mem, f, out_layout, routing.m, filters.pointers.data()),
            0);
    }
    // inputs[r][n]: sample n of input r for this block.
    void Block(const std::vector<std::vector<double>>& inputs, const engine::BlockGains& gains) {
        for (int r = 0; r < kInputCount; ++r)
            for (int n = 0; n < frames; ++n)
                mem.input_slots[engine::kSlotOfInput[r]][n] = static_cast<float>(inputs[r][n]);
        engine::TransformInputs(mem, engine::kInputsOfWorkerA, 4, mem.work[engine::kWorkInputA]);
        engine::TransformInputs(mem, engine::kInputsOfWorkerB, 4, mem.work[engine::kWorkInputB]);
        engine::ConvolveOutputs(mem, 0, 7, gains, block.data(), mem.work[engine::kWorkOutputLow]);
        if (layout == 1)
            engine::ConvolveOutputs(mem, 8, 15, gains, block.data(),
                                    mem.work[engine::kWorkOutputHigh]);
    }
    std::int32_t Word(int n, int channel) const { return block[n * channels + channel]; }
};

engine::BlockGains UnitGains() {
    engine::BlockGains g{};
    g.master = 1.0f;
    for (float& t : g.trims) t = 1.0f;
    return g;
}

// The 24-bit value of a word (the word is value x 256).
int Value(std::int32_t word) { return word / 256; }

// Expected value by the output rule: truncation toward zero, clipped to +-8,388,607.
int Expected(double v) {
    double t = std::trunc(v);
    if (t > 8388607.0) t = 8388607.0;
    if (t < -8388607.0) t = -8388607.0;
    return static_cast<int>(t);
}

struct ReferenceCase {
    int frames;
    int input_layout_channels;  // how many distinct inputs carry signal: 2, 8 (12 fold to 8)
    int output_layout;
};

void PrintTo(const ReferenceCase& c, std::ostream* os) {
    *os << "F " << c.frames << ", " << c.input_layout_channels << " inputs, output layout "
        << c.output_layout;
}
class ReferenceConvolution : public ::testing::TestWithParam<ReferenceCase> {};

TEST_P(ReferenceConvolution, MatchesDirectConvolutionWithinTwoUnits) {
    const ReferenceCase c = GetParam();
    const int f = c.frames;
    const int taps_count = 8 * f;
    std::mt19937 rng(1234 + f + c.output_layout * 7 + c.input_layout_channels);
    std::uniform_real_distribution<double> tap(-1.0, 1.0);

    // Random 8F-tap filters with a decaying envelope, sum of |h| about 1.5.
    std::vector<std::vector<double>> taps(kOutputCount, std::vector<double>(taps_count));
    for (auto& h : taps) {
        double sum = 0;
        for (int k = 0; k < taps_count; ++k) {
            h[k] = tap(rng) * std::exp(-3.0 * k / taps_count);
            sum += std::fabs(h[k]);
        }
        for (double& v : h) v *= 1.5 / sum;
    }
    Filters filters(f, taps);

    // Outputs 1..16 hear inputs in a pattern that uses every input of the layout (also those of
    // input worker B in the 8-output layouts); outputs 6 and 13 are unrouted.
    Routing routing;
    std::vector<int> routed(kOutputCount, -1);
    for (int o = 0; o < kOutputCount; ++o) {
        if (o == 5 || o == 12) continue;
        routed[o] = (o * 3 + 1) % c.input_layout_channels;
        routing.m[routed[o]][o] = 1;
    }

    Engine e;
    e.Prepare(f, c.output_layout, routing, filters);

    const int blocks = 10;
    std::vector<std::vector<double>> history(kInputCount);  // every input sample so far
    std::uniform_int_distribution<int> sample(-2000000, 2000000);
    std::uniform_int_distribution<int> position(0, f - 1);
    const engine::BlockGains gains = UnitGains();
    int checked = 0;
    for (int b = 0; b < blocks; ++b) {
        std::vector<std::vector<double>> in(kInputCount, std::vector<double>(f, 0.0));
        for (int r = 0; r < c.input_layout_channels; ++r)
            for (int n = 0; n < f; ++n) in[r][n] = sample(rng);
        for (int r = 0; r < kInputCount; ++r)
            history[r].insert(history[r].end(), in[r].begin(), in[r].end());
        e.Block(in, gains);

        for (int o = 0; o < e.channels; ++o) {
            const bool active = o < (c.output_layout == 1 ? 16 : 8);
            if (!active || routed[o] < 0) {
                for (int n = 0; n < f; ++n)
                    ASSERT_EQ(e.Word(n, o), 0)
                        << "unrouted or inactive channel " << o << " frame " << n << " block " << b;
                continue;
            }
            const std::vector<double>& x = history[routed[o]];
            for (int i = 0; i < 24; ++i) {
                const int n = i < 2 ? (i == 0 ? 0 : f - 1) : position(rng);
                const long t = static_cast<long>(b) * f + n;
                double ref = 0;
                for (long k = 0; k < taps_count && k <= t; ++k) ref += taps[o][k] * x[t - k];
                const int got = Value(e.Word(n, o));
                ASSERT_NEAR(got, Expected(ref), 2)
                    << "F " << f << " layout " << c.output_layout << " output " << o + 1
                    << " block " << b << " frame " << n;
                EXPECT_EQ(e.Word(n, o) % 256, 0);
                ++checked;
            }
        }
    }
    EXPECT_GT(checked, 0);
}

INSTANTIATE_TEST_SUITE_P(Layouts, ReferenceConvolution,
                         ::testing::Values(ReferenceCase{1024, 2, 0}, ReferenceCase{1024, 8, 1},
                                           ReferenceCase{1024, 8, 2}, ReferenceCase{2048, 8, 0},
                                           ReferenceCase{2048, 2, 1}, ReferenceCase{2048, 8, 2},
                                           ReferenceCase{4096, 8, 1}, ReferenceCase{4096, 2, 2},
                                           ReferenceCase{4096, 8, 0}),
                         qvtest::ReadableName());

// Unit impulse at tap `position` of every output's filter.
std::vector<std::vector<double>> ImpulseTaps(int f, int position) {
    std::vector<std::vector<double>> taps(kOutputCount, std::vector<double>(8 * f, 0.0));
    for (auto& h : taps) h[position] = 1.0;
    return taps;
}

// A running ramp at -18 dB of full scale: single-precision transforms keep every word within one
// unit of its input (at full scale their rounding reaches a few units, see below).
TEST(PassThrough, UnitImpulseRepeatsEveryInputWordOverHundredsOfBlocks) {
    const int f = 1024;
    Filters filters(f, ImpulseTaps(f, 0));
    Routing routing;
    for (int o = 0; o < kOutputCount; ++o) routing.m[o % kInputCount][o] = 1;
    Engine e;
    e.Prepare(f, 1, routing, filters);
    const engine::BlockGains gains = UnitGains();
    long counter = 0;
    for (int b = 0; b < 300; ++b) {
        std::vector<std::vector<double>> in(kInputCount, std::vector<double>(f));
        for (int n = 0; n < f; ++n, ++counter)
            for (int r = 0; r < kInputCount; ++r)
                in[r][n] = static_cast<double>(((counter * 37 + r * 100003) % 2000000) - 1000000);
        e.Block(in, gains);
        for (int n = 0; n < f; ++n)
            for (int o = 0; o < kOutputCount; ++o)
                ASSERT_NEAR(Value(e.Word(n, o)), in[o % kInputCount][n], 1)
                    << "block " << b << " frame " << n << " output " << o + 1;
    }
}

TEST(PassThrough, FullScaleNoiseStaysWithinTheSinglePrecisionBound) {
    const int f = 4096;
    Filters filters(f, ImpulseTaps(f, 0));
    Routing routing;
    routing.m[0][0] = 1;
    Engine e;
    e.Prepare(f, 0, routing, filters);
    std::mt19937 rng(3);
    std::uniform_int_distribution<int> full(-8388607, 8388607);
    int worst = 0;
    for (int b = 0; b < 20; ++b) {
        std::vector<std::vector<double>> in(kInputCount, std::vector<double>(f, 0.0));
        for (int n = 0; n < f; ++n) in[0][n] = full(rng);
        e.Block(in, UnitGains());
        for (int n = 0; n < f; ++n)
            worst = std::max(worst, std::abs(Value(e.Word(n, 0)) - static_cast<int>(in[0][n])));
    }
    EXPECT_LE(worst, 6);
}

struct DelayCase {
    int frames;
    int partition;
    int offset;
};
void PrintTo(const DelayCase& c, std::ostream* os) {
    *os << "F " << c.frames << ", partition " << c.partition << ", offset " << c.offset;
}
class ImpulseDelay : public ::testing::TestWithParam<DelayCase> {};

TEST_P(ImpulseDelay, TapInPartitionDelaysBySBlocksAndDFrames) {
    const DelayCase c = GetParam();
    const int f = c.frames;
    const int delay = c.partition * f + c.offset;
    Filters filters(f, ImpulseTaps(f, delay));
    Routing routing;
    routing.m[6][0] = 1;  // input 7 (worker B) to output 1 in the 8-output layout
    Engine e;
    e.Prepare(f, 0, routing, filters);
    std::vector<double> history;
    for (int b = 0; b < 10; ++b) {
        std::vector<std::vector<double>> in(kInputCount, std::vector<double>(f, 0.0));
        for (int n = 0; n < f; ++n) in[6][n] = (b * f + n) * 3.0 - 20000.0;
        history.insert(history.end(), in[6].begin(), in[6].end());
        e.Block(in, UnitGains());
        for (int n = 0; n < f; ++n) {
            const long t = static_cast<long>(b) * f + n - delay;
            const double want = t >= 0 ? history[t] : 0.0;
            ASSERT_NEAR(Value(e.Word(n, 0)), want, 1) << "block " << b << " frame " << n;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Partitions, ImpulseDelay,
                         ::testing::Values(DelayCase{1024, 0, 5}, DelayCase{1024, 1, 0},
                                           DelayCase{2048, 3, 17}, DelayCase{1024, 7, 1023}),
                         qvtest::ReadableName());

struct GainCase {
    float master;
    float trim;
    double input;
    int expected;  // 24-bit value
};
void PrintTo(const GainCase& c, std::ostream* os) {
    *os << "master " << c.master << ", trim " << c.trim << ", input " << c.input << " gives "
        << c.expected;
}
class GainAndClip : public ::testing::TestWithParam<GainCase> {};

TEST_P(GainAndClip, MasterTimesTrimThenTruncateAndClip) {
    const GainCase c = GetParam();
    const int f = 1024;
    Filters filters(f, ImpulseTaps(f, 0));
    Routing routing;
    routing.m[0][2] = 1;
    Engine e;
    e.Prepare(f, 0, routing, filters);
    engine::BlockGains gains = UnitGains();
    gains.master = c.master;
    gains.trims[2] = c.trim;
    std::vector<std::vector<double>> in(kInputCount, std::vector<double>(f, 0.0));
    for (int n = 0; n < f; ++n) in[0][n] = c.input;
    e.Block(in, gains);
    for (int n = 0; n < f; n += 97)
        ASSERT_NEAR(Value(e.Word(n, 2)), c.expected, std::abs(c.expected) > 8000000 ? 0 : 1)
            << "frame " << n;
}

INSTANTIATE_TEST_SUITE_P(Table, GainAndClip,
                         ::testing::Values(GainCase{1.0f, 1.0f, 1000.0, 1000},
                                           GainCase{0.5f, 1.0f, 1000.0, 500},
                                           GainCase{1.0f, 0.1f, 100000.0, 10000},
                                           GainCase{2.0f, 2.0f, 1000.0, 4000},
                                           GainCase{5.623f, 10.0f, 8000000.0, 8388607},
                                           GainCase{5.623f, 10.0f, -8000000.0, -8388607},
                                           GainCase{0.0f, 1.0f, 8000000.0, 0}),
                         qvtest::ReadableName());

struct WordCase {
    double value;
    std::int32_t word;
};
void PrintTo(const WordCase& c, std::ostream* os) {
    if (std::isinf(c.value))
        *os << (c.value < 0 ? "minus infinity" : "infinity");
    else
        *os << std::setprecision(10) << c.value;
    *os << " gives " << c.word;
}
class OutputWordRule : public ::testing::TestWithParam<WordCase> {};
TEST_P(OutputWordRule, ClampsBeforeConversion) {
    EXPECT_EQ(engine::OutputWord(GetParam().value), GetParam().word) << GetParam().value;
}
INSTANTIATE_TEST_SUITE_P(
    Table, OutputWordRule,
    ::testing::Values(WordCase{0.9, 0}, WordCase{-0.9, 0}, WordCase{1.5, 256}, WordCase{-1.5, -256},
                      WordCase{8388607.9, 8388607 * 256}, WordCase{8388608.0, 8388607 * 256},
                      WordCase{-8388608.0, -8388607 * 256}, WordCase{1e300, 8388607 * 256},
                      WordCase{-1e300, -8388607 * 256}, WordCase{4e9, 8388607 * 256},
                      WordCase{std::nan(""), 0}, WordCase{INFINITY, 8388607 * 256},
                      WordCase{-INFINITY, -8388607 * 256}),
    qvtest::ReadableName());

TEST(RunIsolation, NewRunDoesNotHearThePreviousRunsInput) {
    const int f = 1024;
    Filters filters(f, ImpulseTaps(f, 7 * f + 100));  // longest delay: seven blocks back
    Routing routing;
    routing.m[1][0] = 1;
    Engine e;
    e.Prepare(f, 0, routing, filters);
    std::vector<std::vector<double>> loud(kInputCount, std::vector<double>(f, 4000000.0));
    for (int b = 0; b < 8; ++b) e.Block(loud, UnitGains());
    EXPECT_NE(e.Word(200, 0), 0);  // the previous run is audible in its own output

    e.Prepare(f, 0, routing, filters);
    std::vector<std::vector<double>> quiet(kInputCount, std::vector<double>(f, 0.0));
    for (int b = 0; b < 9; ++b) {
        e.Block(quiet, UnitGains());
        for (int n = 0; n < f; ++n) ASSERT_EQ(e.Word(n, 0), 0) << "block " << b << " frame " << n;
    }
}

TEST(Layouts, SpdifChannelsStaySilentAndRefusedGeometries) {
    const int f = 1024;
    Filters filters(f, ImpulseTaps(f, 0));
    Routing routing;
    for (int o = 0; o < kOutputCount; ++o) routing.m[0][o] = 1;
    Engine e;
    e.Prepare(f, 2, routing, filters);
    std::vector<std::vector<double>> in(kInputCount, std::vector<double>(f, 12345.0));
    e.Block(in, UnitGains());
    for (int n = 0; n < f; ++n) {
        ASSERT_EQ(e.Word(n, 8), 0);
        ASSERT_EQ(e.Word(n, 9), 0);
        ASSERT_NEAR(Value(e.Word(n, 7)), 12345, 1);
    }
    EXPECT_EQ(engine::PrepareConvolutionRun(e.mem, 512, 0, routing.m, filters.pointers.data()), 1);
    EXPECT_EQ(engine::PrepareConvolutionRun(e.mem, 1024, 3, routing.m, filters.pointers.data()), 1);
}

TEST(RealTransform, ForwardMatchesDirectDftAndInverseReturnsInput) {
    Engine e;
    Routing routing;
    Filters filters(1024, ImpulseTaps(1024, 0));
    e.Prepare(1024, 0, routing, filters);
    const int f = 1024;
    std::vector<float> x(f), re(engine::kBinStride), im(engine::kBinStride), back(2 * f);
    std::mt19937 rng(7);
    std::uniform_real_distribution<float> d(-1000.0f, 1000.0f);
    for (float& v : x) v = d(rng);
    engine::RealForward(e.mem, x.data(), re.data(), im.data(), e.mem.work[engine::kWorkSpare]);
    const double pi = 3.14159265358979323846;
    for (int k : {0, 1, 2, 511, 512, 513, 1000, 1023, 1024}) {
        double sr = 0, si = 0;
        for (int n = 0; n < f; ++n) {
            sr += x[n] * std::cos(2 * pi * k * n / (2.0 * f));
            si -= x[n] * std::sin(2 * pi * k * n / (2.0 * f));
        }
        EXPECT_NEAR(re[k], sr, 0.05) << "bin " << k;
        EXPECT_NEAR(im[k], si, 0.05) << "bin " << k;
    }
    engine::RealInverse(e.mem, re.data(), im.data(), back.data(), e.mem.work[engine::kWorkSpare]);
    for (int n = 0; n < f; ++n) ASSERT_NEAR(back[n], x[n], 1e-3) << n;
    for (int n = f; n < 2 * f; ++n) ASSERT_NEAR(back[n], 0.0, 1e-3) << n;
}

}  // namespace

// The last line of defence before the outputs: whatever the settings hold, the gains applied are
// within the volume's and the trims' ranges, and a filter that is not finite or is absurdly large
// is not played at all.
struct DamagedGainCase {
    float master;
    float trim;
    double expected;  // output value for an input of 1000
};
void PrintTo(const DamagedGainCase& c, std::ostream* os) {
    *os << "master " << c.master << ", trim " << c.trim;
}
class DamagedGains : public ::testing::TestWithParam<DamagedGainCase> {};

TEST_P(DamagedGains, AreBoundedBeforeTheyReachTheOutputs) {
    const DamagedGainCase c = GetParam();
    const int f = 1024;
    Filters filters(f, ImpulseTaps(f, 0));
    Routing routing;
    routing.m[0][1] = 1;
    Engine e;
    e.Prepare(f, 0, routing, filters);
    engine::BlockGains gains = UnitGains();
    gains.master = c.master;
    gains.trims[1] = c.trim;
    std::vector<std::vector<double>> in(kInputCount, std::vector<double>(f, 1000.0));
    e.Block(in, gains);
    for (int n = 0; n < f; n += 101)
        ASSERT_NEAR(Value(e.Word(n, 1)), c.expected, 1 + c.expected * 1e-5) << "frame " << n;
}

INSTANTIATE_TEST_SUITE_P(
    Table, DamagedGains,
    ::testing::Values(DamagedGainCase{INFINITY, 1.0f, 1000.0 * engine::kMaxMasterGain},
                      DamagedGainCase{1e30f, 1.0f, 1000.0 * engine::kMaxMasterGain},
                      DamagedGainCase{NAN, 1.0f, 0.0}, DamagedGainCase{-4.0f, 1.0f, 0.0},
                      DamagedGainCase{1.0f, 1e6f, 1000.0 * engine::kMaxOutputTrim},
                      DamagedGainCase{1.0f, NAN, 0.0},
                      DamagedGainCase{1e30f, 1e30f,
                                      1000.0 * engine::kMaxMasterGain* engine::kMaxOutputTrim}),
    qvtest::ReadableName());

TEST(DamagedFilters, NonFiniteOrHugeBinsSilenceOnlyThatOutput) {
    const int f = 1024;
    struct Damage {
        const char* what;
        float value;
    };
    const Damage damages[] = {{"NaN", NAN},
                              {"infinity", INFINITY},
                              {"-3.4e38", -3.4e38f},
                              {"above the bound", engine::kMaxFilterBinMagnitude * 3.0f}};
    for (const Damage& d : damages) {
        Filters filters(f, ImpulseTaps(f, 0));
        filters.spectra[2 * kPartitionCount + 3][2 * 17] = d.value;  // output 3, partition 3
        Routing routing;
        routing.m[0][0] = 1;
        routing.m[0][2] = 1;
        Engine e;
        e.Prepare(f, 0, routing, filters);
        EXPECT_TRUE(e.mem.filter_refused[2]) << d.what;
        EXPECT_FALSE(e.mem.filter_refused[0]) << d.what;
        std::vector<std::vector<double>> in(kInputCount, std::vector<double>(f, -30000.0));
        for (int b = 0; b < 3; ++b) {
            e.Block(in, UnitGains());
            for (int n = 0; n < f; n += 37) {
                ASSERT_EQ(e.Word(n, 2), 0) << d.what << " block " << b << " frame " << n;
                ASSERT_NEAR(Value(e.Word(n, 0)), -30000, 1) << d.what;
            }
        }
    }
}

TEST(DamagedVolume, PositionsOutsideTheScrollBarCountAsItsEnds) {
    EXPECT_EQ(engine::MasterGainFor(1000), engine::MasterGainFor(66));
    EXPECT_EQ(engine::MasterGainFor(std::numeric_limits<int>::max()), engine::MasterGainFor(66));
    EXPECT_EQ(engine::MasterGainFor(std::numeric_limits<int>::min()), 0.0f);
    EXPECT_EQ(engine::MasterGainFor(-5), 0.0f);
    EXPECT_NEAR(engine::MasterGainFor(66), engine::kMaxMasterGain, 1e-6);
    EXPECT_TRUE(std::isfinite(engine::MasterGainFor(1000)));
}
