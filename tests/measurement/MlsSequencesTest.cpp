// The sequences against an independent recurrence, the permutation tables, the Hadamard
// transform, the MLS correlation against a direct circular correlation, and the played signal.

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstring>
#include <vector>

#include "MeasurementTestSupport.h"
#include "measurement/MlsSequences.h"
#include "shell/PreferencesRecord.h"

namespace measurement::test {
namespace {

// The sequence from its recurrence: bit t = XOR over the taps of bit t - 1 - tap, with the
// register's start (state 1) as bit -1 = 1 and earlier bits 0.
std::vector<int> ReferenceSequence(int order, int count) {
    std::vector<int> history(static_cast<std::size_t>(count) + 32, 0);
    const int base = 32;
    history[base - 1] = 1;
    for (int t = 0; t < count; ++t) {
        int v = 0;
        for (int s = 0; s < 4; ++s) {
            const int tap = MlsTapTable[order - 1][s];
            if (tap < 0) break;
            v ^= history[static_cast<std::size_t>(base + t - 1 - tap)];
        }
        history[static_cast<std::size_t>(base + t)] = v;
    }
    return {history.begin() + base, history.begin() + base + count};
}

int Bit(int i) { return MlsBit(shell::MlsBitBuffer, i); }

using MlsSequencesTest = MeasurementTest;

TEST_F(MlsSequencesTest, EveryOrderIsMaximalWithHalfOnesAndTheRecurrencesFirstBits) {
    for (int order = 13; order <= 18; ++order) {
        SCOPED_TRACE(order);
        ASSERT_TRUE(BuildMlsSequence(order));
        const int length = (1 << order) - 1;
        const std::vector<int> reference = ReferenceSequence(order, length);
        for (int i = 0; i < 20; ++i) ASSERT_EQ(Bit(i), reference[static_cast<std::size_t>(i)]) << i;
        int ones = 0;
        for (int i = 0; i < length; ++i) {
            ones += Bit(i);
            ASSERT_EQ(Bit(i), reference[static_cast<std::size_t>(i)]) << i;
        }
        EXPECT_EQ(ones, 1 << (order - 1));
        EXPECT_EQ(Bit(length), 0) << "nothing past the sequence";
        // Every window of order bits occurs once: the period is the full length, and both
        // tables are permutations of 1..L.
        for (const std::int32_t* table : {shell::MlsPermutationS, shell::MlsPermutationL}) {
            std::vector<char> seen(static_cast<std::size_t>(length) + 1, 0);
            for (int i = 0; i < length; ++i) {
                const std::int32_t v = table[i];
                ASSERT_GE(v, 1);
                ASSERT_LE(v, length);
                ASSERT_EQ(seen[static_cast<std::size_t>(v)], 0) << "value " << v << " twice";
                seen[static_cast<std::size_t>(v)] = 1;
            }
        }
    }
}

TEST_F(MlsSequencesTest, InputTagIsTheWindowEndingAtEachPositionNewestBitHighest) {
    ASSERT_TRUE(BuildMlsSequence(13));
    const int length = 8191;
    for (int i : {0, 1, 12, 13, 4000, length - 1}) {
        std::int32_t want = 0;
        for (int j = 0; j < 13; ++j)
            if (Bit((i - j + length) % length) != 0) want |= 1 << (12 - j);
        EXPECT_EQ(shell::MlsPermutationS[i], want) << i;
    }
}

TEST_F(MlsSequencesTest, StatusLineCountsTapsNotTheOrder) {
    struct Row {
        int order;
        const char* text;
    } rows[] = {{18, "MLS 2,  Taps [ 10,17,-1,-1 ],  Length = 262143   "},
                {13, "MLS 4,  Taps [ 8,9,11,12 ],  Length = 8191   "}};
    for (const Row& r : rows) {
        ASSERT_TRUE(BuildMlsSequence(r.order));
        EXPECT_STREQ(MlsStatusLine, r.text);
    }
    EXPECT_FALSE(BuildMlsSequence(19));
    EXPECT_FALSE(BuildMlsSequence(1));
}

TEST_F(MlsSequencesTest, HadamardTransformMatchesTheMatrixDefinition) {
    float one[1] = {3.0f};
    FastHadamardTransformOf(one, 1);
    EXPECT_EQ(one[0], 3.0f);
    float two[2] = {5.0f, 2.0f};
    FastHadamardTransformOf(two, 2);
    EXPECT_EQ(two[0], 7.0f);
    EXPECT_EQ(two[1], 3.0f);
    const int n = 16;
    float w[n];
    float x[n];
    for (int i = 0; i < n; ++i) x[i] = w[i] = static_cast<float>((i * 7) % 5) - 1.5f;
    FastHadamardTransformOf(w, n);
    for (int k = 0; k < n; ++k) {
        double sum = 0.0;
        for (int j = 0; j < n; ++j) sum += (__builtin_popcount(k & j) % 2 ? -1.0 : 1.0) * x[j];
        EXPECT_FLOAT_EQ(w[k], static_cast<float>(sum)) << k;
    }
    EXPECT_EQ(FastHadamardTransform(1), 1);
}

TEST_F(MlsSequencesTest, CorrelationThroughTheTransformEqualsDirectCircularCorrelation) {
    const int order = 10;
    const int length = 1023;
    ASSERT_TRUE(BuildMlsSequence(order));
    std::vector<float> x(static_cast<std::size_t>(length));
    for (int i = 0; i < length; ++i)
        x[static_cast<std::size_t>(i)] = static_cast<float>(std::sin(0.37 * i) + 0.01 * (i % 13));
    std::vector<float> out(static_cast<std::size_t>(length));
    MlsCorrelate(x.data(), out.data(), length);
    for (int m = 0; m < length; ++m) {
        double direct = 0.0;
        for (int i = 0; i < length; ++i) {
            const double s = Bit((i - m + length) % length) != 0 ? -1.0 : 1.0;
            direct += x[static_cast<std::size_t>(i)] * s;
        }
        ASSERT_NEAR(out[static_cast<std::size_t>(m)], direct, 1e-3) << "lag " << m;
    }
}

std::int32_t Word(int w) { return shell::MlsPlaybackBuffer[w]; }

TEST_F(MlsSequencesTest, PlaybackLevelsAndDelays) {
    struct Row {
        int level;
        const char* delay;
    } rows[] = {{0, "0"}, {100, "0"}, {10, "2"}, {10, "1"}, {37, "11714"}};
    const int order = 18;
    for (const Row& r : rows) {
        SCOPED_TRACE(r.delay);
        shell::Mls.MlsOutputLevel = r.level;
        shell::CopyTextSlot(shell::MlsOutputDelayText, r.delay);
        ASSERT_EQ(GenerateMls32(order, nullptr), 0);
        const int d = std::atoi(r.delay);
        const std::int32_t plain = r.level * 21346816;
        for (int i : {0, 1, 2, 100, 262142}) {
            const std::int32_t want = Bit(i) != 0 ? -plain : plain;
            ASSERT_EQ(Word(2 * i + d), want) << i;
            ASSERT_EQ(Word(2 * i + d + 1), want) << i;
        }
        if (d > 0) {
            EXPECT_EQ(Word(d - 1), 0);
        }
        EXPECT_EQ(Word(2 * 262143 + d), 0);
        if (r.level == 100) {
            EXPECT_EQ(std::abs(Word(0)), 2134681600);
        }
    }
    EXPECT_TRUE(MessageTexts().empty());
}

TEST_F(MlsSequencesTest, DelayOutsideThePlayedPartIsRefusedAndChangesNothing) {
    EXPECT_EQ(MaxMlsOutputDelay(18), 11714);
    shell::CopyTextSlot(shell::MlsOutputDelayText, "0");
    ASSERT_EQ(GenerateMls32(13, nullptr), 0);
    std::vector<std::int32_t> before(shell::MlsPlaybackBuffer,
                                     shell::MlsPlaybackBuffer + kMlsPlayedWords);
    for (const char* delay : {"11715", "-1", "abc", "2.5", "99999999"}) {
        SCOPED_TRACE(delay);
        platform::testing::ClearMessageBoxLog();
        shell::CopyTextSlot(shell::MlsOutputDelayText, delay);
        EXPECT_EQ(GenerateMls32(18, nullptr), 1);
        ASSERT_EQ(MessageTexts().size(), 1u);
        EXPECT_NE(MessageTexts()[0].find("11714"), std::string::npos) << MessageTexts()[0];
        EXPECT_EQ(CurrentMlsOrder(), 13) << "the sequence stays";
        EXPECT_TRUE(std::equal(before.begin(), before.end(), shell::MlsPlaybackBuffer));
    }
}

TEST_F(MlsSequencesTest, PreEmphasisIsTheSequenceThroughTheFirstOrderHighPass) {
    const int order = 10, n = 1024, length = 1023;
    shell::CopyTextSlot(shell::MlsOutputDelayText, "4");
    shell::CopyTextSlot(shell::Mls.MlsPreEmphasisText, "0.5");
    shell::Mls.MlsSampleRateIndex = 5;
    shell::Mls.MlsOutputLevel = 10;
    // The filter's impulse response from its definition (positive-frequency bins of an impulse
    // of 40), then the circular convolution with the +1/-1 sequence, all in double.
    const double df = 48000.0 / n;
    std::vector<double> g(static_cast<std::size_t>(n));
    for (int t = 0; t < n; ++t) {
        std::complex<double> sum = 0.0;
        for (int k = 0; k < n / 2; ++k) {
            const double x = 0.001 * 0.5 * (2.0 * M_PI * k * df);
            const std::complex<double> h(x * x / (1 + x * x), x / (1 + x * x));
            sum += 40.0 * h * std::polar(1.0, 2.0 * M_PI * k * t / n);
        }
        g[static_cast<std::size_t>(t)] = sum.real() / n;
    }
    for (int both : {1, 0}) {
        shell::Mls.MlsBothChannels = both;
        ASSERT_EQ(GenerateMls32(order, nullptr), 0);
        double peak = 0.0;
        std::vector<double> y(static_cast<std::size_t>(length));
        for (int t = 0; t < length; ++t) {
            double v = 0.0;
            for (int k = 0; k < length; ++k)
                v += g[static_cast<std::size_t>(k)] * (Bit((t - k + length) % length) ? -1.0 : 1.0);
            y[static_cast<std::size_t>(t)] = 83386.0 * v * 256.0;
            peak = std::max(peak, std::fabs(y[static_cast<std::size_t>(t)]));
        }
        ASSERT_GT(peak, 1e6);
        for (int t = 0; t < length; ++t) {
            const double want = y[static_cast<std::size_t>(t)];
            ASSERT_NEAR(Word(2 * t + 5), want, 2e-4 * peak) << t;
            if (both == 1) {
                ASSERT_NEAR(Word(2 * t + 4), want, 2e-4 * peak) << t;
            } else {
                ASSERT_EQ(Word(2 * t + 4), Bit(t) ? -10 * 21346816 : 10 * 21346816) << t;
            }
        }
    }
    // Not a number, zero or negative: the plain signal.
    for (const char* text : {"0", "-2", "x"}) {
        shell::CopyTextSlot(shell::Mls.MlsPreEmphasisText, text);
        ASSERT_EQ(GenerateMls32(order, nullptr), 0);
        EXPECT_EQ(Word(4), Bit(0) ? -10 * 21346816 : 10 * 21346816);
        EXPECT_EQ(Word(5), Word(4));
    }
}

TEST_F(MlsSequencesTest, SixteenBitImageRebuildsTheTables) {
    shell::CopyTextSlot(shell::MlsOutputDelayText, "3");
    shell::Mls.MlsOutputLevel = 50;
    ASSERT_EQ(GenerateMls16(16), 0);
    EXPECT_EQ(CurrentMlsOrder(), 16);
    const auto* image = reinterpret_cast<const std::int16_t*>(shell::MlsPlaybackBuffer);
    EXPECT_EQ(image[2], 0);
    for (int i : {0, 1, 65534}) EXPECT_EQ(image[3 + i], Bit(i) ? -16000 : 16000) << i;
    EXPECT_EQ(image[3 + 65535], 0);
}

}  // namespace
}  // namespace measurement::test
