// The convolution's roads give the same words: the plain loops and the 256-bit kernels, one thread
// and the four workers' shares, for random inputs and filters in every layout and with routings
// that group outputs in every way; and the word rule of both twins at its edges.
#include <gtest/gtest.h>

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
    std::vector<std::int32_t> block;
    Road(bool w, bool s) : wide(w), shares(s) { EXPECT_EQ(engine::AllocConvolutionMemory(mem), 0); }
    ~Road() { engine::FreeConvolutionMemory(mem); }
    void Block(const std::vector<std::vector<float>>& in, const engine::BlockGains& gains) {
        engine::ConvolutionUseWideVectors = wide;
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
        engine::ConvolutionUseWideVectors = true;
    }
};

class ConvolutionPaths : public ::testing::TestWithParam<PathCase> {};

TEST_P(ConvolutionPaths, PlainWideAndSharedRoadsGiveTheSameWords) {
    const PathCase c = GetParam();
    const int f = c.frames;
    std::mt19937 rng(17 + f + c.layout);
    std::uniform_real_distribution<float> bin(-3.0f, 3.0f);
    std::vector<std::vector<float>> spectra(engine::kOutputCount * 8,
                                            std::vector<float>(4 * f));
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

    // The reference road first: plain loops on one thread; then every other road.
    Road roads[] = {{false, false}, {true, false}, {false, true}, {true, true}};
    const bool wide_here = engine::kernels::WideVectorsAvailable();
    for (Road& road : roads) {
        road.block.assign(static_cast<std::size_t>(f) * engine::OutputChannelCount(c.layout), 7);
        ASSERT_EQ(engine::PrepareConvolutionRun(road.mem, f, c.layout, routing, pointers.data()),
                  0);
    }
    std::uniform_real_distribution<float> sample(-9.0e6f, 9.0e6f);  // clips now and then
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
                    << roads[r].shares << "), block " << b << ", word " << i;
        }
    }
    bool sounds = false;
    for (std::int32_t w : roads[0].block) sounds = sounds || w != 0;
    EXPECT_TRUE(sounds) << "the reference road played silence";
}

INSTANTIATE_TEST_SUITE_P(
    Table, ConvolutionPaths,
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
    const std::vector<float> edges = {nan,        inf,       -inf,      8388607.5f, -8388608.0f,
                                      -0.0f,      0.99f,     -0.99f,    1e30f,      -1e30f,
                                      4194303.7f, -12345.5f, 2.5f,      -2.5f,      1.0f,
                                      3e-39f};
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

}  // namespace
