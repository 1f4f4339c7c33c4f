// ComplexFft against independent double-precision transforms, and its table rules.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <complex>
#include <cstring>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "shell/ComplexFft.h"

namespace shell {
namespace {

using Cd = std::complex<double>;
constexpr double kPi = 3.14159265358979323846;

// Direct DFT in double precision: O(N^2), used up to a few thousand points.
std::vector<Cd> DirectDft(const std::vector<float>& a, int sign) {
    const int count = static_cast<int>(a.size() / 2);
    std::vector<Cd> out(count);
    for (int k = 0; k < count; ++k) {
        Cd sum = 0.0;
        for (int m = 0; m < count; ++m) {
            const long long index = (static_cast<long long>(m) * k) % count;
            const double angle = sign * 2.0 * kPi * static_cast<double>(index) / count;
            sum += Cd(a[2 * m], a[2 * m + 1]) * Cd(std::cos(angle), std::sin(angle));
        }
        out[k] = sum;
    }
    return out;
}

// Recursive radix-2 FFT in double precision, a second independent reference for large N.
void ReferenceFft(std::vector<Cd>& x, int sign) {
    const std::size_t count = x.size();
    if (count == 1) return;
    std::vector<Cd> even(count / 2), odd(count / 2);
    for (std::size_t i = 0; i < count / 2; ++i) {
        even[i] = x[2 * i];
        odd[i] = x[2 * i + 1];
    }
    ReferenceFft(even, sign);
    ReferenceFft(odd, sign);
    for (std::size_t k = 0; k < count / 2; ++k) {
        const double angle = sign * 2.0 * kPi * static_cast<double>(k) / static_cast<double>(count);
        const Cd t = Cd(std::cos(angle), std::sin(angle)) * odd[k];
        x[k] = even[k] + t;
        x[k + count / 2] = even[k] - t;
    }
}

std::vector<float> RandomData(int points, unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> dist(-1.0f, 1.0f);
    std::vector<float> a(2 * static_cast<std::size_t>(points));
    for (auto& v : a) v = dist(rng);
    return a;
}

// Largest error over all bins relative to the largest magnitude of the reference.
double RelativeError(const std::vector<float>& got, const std::vector<Cd>& want) {
    double max_error = 0.0;
    double max_magnitude = 0.0;
    for (std::size_t k = 0; k < want.size(); ++k) {
        const Cd g(got[2 * k], got[2 * k + 1]);
        max_error = std::max(max_error, std::abs(g - want[k]));
        max_magnitude = std::max(max_magnitude, std::abs(want[k]));
    }
    return max_magnitude > 0.0 ? max_error / max_magnitude : max_error;
}

// Single precision: a few float epsilons per stage of log2 N.
double ErrorBound(int points) { return 2.5e-7 * (1.0 + std::log2(static_cast<double>(points))); }

struct WorkAreas {
    std::vector<int> ip = std::vector<int>(4096, 0);
    std::vector<float> w = std::vector<float>(1 << 20, 0.0f);
};

TEST(ComplexFftTest, ForwardMatchesDirectDftForEveryPowerOfTwoUpTo4096) {
    WorkAreas areas;
    for (int points = 2; points <= 4096; points *= 2) {
        std::vector<float> a = RandomData(points, static_cast<unsigned>(points));
        const std::vector<Cd> want = DirectDft(a, -1);
        ComplexFft(2 * points, -1, a.data(), areas.ip.data(), areas.w.data());
        EXPECT_LT(RelativeError(a, want), ErrorBound(points)) << "forward, N = " << points;
    }
}

TEST(ComplexFftTest, InverseMatchesScaledDirectDft) {
    WorkAreas areas;
    for (int points : {2, 4, 8, 32, 128, 1024}) {
        std::vector<float> a = RandomData(points, 77u + static_cast<unsigned>(points));
        std::vector<Cd> want = DirectDft(a, +1);
        for (auto& v : want) v /= points;
        ComplexFft(2 * points, +1, a.data(), areas.ip.data(), areas.w.data());
        EXPECT_LT(RelativeError(a, want), ErrorBound(points)) << "inverse, N = " << points;
    }
}

TEST(ComplexFftTest, LargeTransformsMatchReferenceFft) {
    WorkAreas areas;
    for (int points : {8192, 16384, 32768, 65536}) {
        std::vector<float> a = RandomData(points, 5u + static_cast<unsigned>(points));
        std::vector<Cd> want(points);
        for (int k = 0; k < points; ++k) want[k] = Cd(a[2 * k], a[2 * k + 1]);
        ReferenceFft(want, -1);
        ComplexFft(2 * points, -1, a.data(), areas.ip.data(), areas.w.data());
        EXPECT_LT(RelativeError(a, want), ErrorBound(points)) << "forward, N = " << points;
    }
}

TEST(ComplexFftTest, ForwardThenInverseReturnsTheInput) {
    WorkAreas areas;
    for (int points = 2; points <= 65536; points *= 4) {
        const std::vector<float> input = RandomData(points, 900u + static_cast<unsigned>(points));
        std::vector<float> a = input;
        ComplexFft(2 * points, -1, a.data(), areas.ip.data(), areas.w.data());
        ComplexFft(2 * points, +1, a.data(), areas.ip.data(), areas.w.data());
        float max_error = 0.0f;
        for (std::size_t i = 0; i < a.size(); ++i) {
            max_error = std::max(max_error, std::fabs(a[i] - input[i]));
        }
        EXPECT_LT(max_error, ErrorBound(points)) << "round trip, N = " << points;
    }
}

TEST(ComplexFftTest, ClosedFormCases) {
    WorkAreas areas;
    // Unit impulse at point 1 of 4 points: 1, -j, -1, +j.
    float impulse[8] = {0, 0, 1, 0, 0, 0, 0, 0};
    ComplexFft(8, -1, impulse, areas.ip.data(), areas.w.data());
    const float want_impulse[8] = {1, 0, 0, -1, -1, 0, 0, 1};
    for (int i = 0; i < 8; ++i) EXPECT_NEAR(impulse[i], want_impulse[i], 1e-7) << "float " << i;

    // Constant 1 over N points: N at point 0; and back.
    constexpr int kPoints = 512;
    std::vector<float> a(2 * kPoints, 0.0f);
    for (int k = 0; k < kPoints; ++k) a[2 * k] = 1.0f;
    ComplexFft(2 * kPoints, -1, a.data(), areas.ip.data(), areas.w.data());
    EXPECT_NEAR(a[0], kPoints, 1e-3);
    for (int i = 1; i < 2 * kPoints; ++i) ASSERT_NEAR(a[i], 0.0f, 1e-4) << "float " << i;
    ComplexFft(2 * kPoints, +1, a.data(), areas.ip.data(), areas.w.data());
    for (int k = 0; k < kPoints; ++k) {
        ASSERT_NEAR(a[2 * k], 1.0f, 1e-6) << "point " << k;
        ASSERT_NEAR(a[2 * k + 1], 0.0f, 1e-6) << "point " << k;
    }
}

TEST(ComplexFftTest, TableRules) {
    WorkAreas areas;
    int* ip = areas.ip.data();
    float* w = areas.w.data();

    std::vector<float> a = RandomData(256, 1);
    ComplexFft(512, -1, a.data(), ip, w);
    EXPECT_EQ(ip[0], 128) << "first call builds nw = n/4";
    EXPECT_EQ(ip[1], 1);

    // Larger n rebuilds.
    a = RandomData(2048, 2);
    ComplexFft(4096, -1, a.data(), ip, w);
    EXPECT_EQ(ip[0], 1024) << "a larger n rebuilds the table";
    const std::vector<float> table(w, w + 1024);

    // Smaller n keeps the table untouched and is still right.
    a = RandomData(64, 3);
    const std::vector<Cd> want = DirectDft(a, -1);
    ComplexFft(128, -1, a.data(), ip, w);
    EXPECT_EQ(ip[0], 1024) << "a smaller n must not rebuild";
    EXPECT_TRUE(std::equal(table.begin(), table.end(), w)) << "table changed by a smaller n";
    EXPECT_LT(RelativeError(a, want), ErrorBound(64));

    // ip[0] = 0 forces the next call to rebuild for its own size.
    std::fill(w, w + 1024, 0.0f);
    ip[0] = 0;
    a = RandomData(64, 4);
    const std::vector<Cd> want2 = DirectDft(a, -1);
    ComplexFft(128, -1, a.data(), ip, w);
    EXPECT_EQ(ip[0], 32) << "ip[0] = 0 forces a rebuild";
    EXPECT_LT(RelativeError(a, want2), ErrorBound(64));
}

TEST(ComplexFftTest, TableEntriesAreTheQuarterWave) {
    WorkAreas areas;
    BuildFftTable(4096, areas.ip.data(), areas.w.data());
    ASSERT_EQ(areas.ip[0], 1024);
    // Pair q: cos and sin of 2 pi q / 2048 for q < 512.
    for (int q = 0; q < 512; ++q) {
        const double angle = 2.0 * kPi * q / 2048.0;
        ASSERT_NEAR(areas.w[2 * q], std::cos(angle), 2e-7) << "pair " << q;
        ASSERT_NEAR(areas.w[2 * q + 1], std::sin(angle), 2e-7) << "pair " << q;
    }
}

TEST(ComplexFftTest, ThreadsWithTheirOwnWorkAreasShareOnePrebuiltTable) {
    constexpr int kPoints = 4096;
    constexpr int kThreads = 4;
    std::vector<int> shared_ip(FftWorkAreaInts(8 * kPoints), 0);
    // The table for the largest transform in use (8 kPoints points = 16 kPoints floats).
    std::vector<float> w(4 * kPoints, 0.0f);
    BuildFftTable(16 * kPoints, shared_ip.data(), w.data());
    ASSERT_EQ(shared_ip[0], 4 * kPoints);
    const std::vector<float> table = w;

    std::vector<std::vector<float>> data(kThreads);
    std::vector<std::vector<float>> expected(kThreads);
    for (int t = 0; t < kThreads; ++t) {
        data[t] = RandomData(kPoints, 40u + static_cast<unsigned>(t));
        expected[t] = data[t];
        std::vector<int> ip(FftWorkAreaInts(2 * kPoints));
        AdoptFftTable(ip.data(), shared_ip.data());
        ComplexFft(2 * kPoints, -1, expected[t].data(), ip.data(), w.data());
    }
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            std::vector<int> ip(FftWorkAreaInts(2 * kPoints));
            AdoptFftTable(ip.data(), shared_ip.data());
            for (int repeat = 0; repeat < 20; ++repeat) {
                std::vector<float> a = data[t];
                ComplexFft(2 * kPoints, -1, a.data(), ip.data(), w.data());
                if (repeat == 19) data[t] = a;
            }
        });
    }
    for (auto& thread : threads) thread.join();
    for (int t = 0; t < kThreads; ++t) {
        EXPECT_EQ(std::memcmp(data[t].data(), expected[t].data(), data[t].size() * 4), 0)
            << "thread " << t << " got a different result";
    }
    EXPECT_TRUE(std::equal(table.begin(), table.end(), w.begin())) << "threads rebuilt the table";
}

TEST(ComplexFftTest, VectorKernelsGiveTheBitsOfTheScalarTwin) {
    WorkAreas areas;
    for (bool wide : {true, false}) {
        FftUseWideVectors = wide;
        for (int points = 2; points <= 65536; points *= 2) {
            for (int sign : {-1, +1}) {
                std::vector<float> a = RandomData(points, 3000u + static_cast<unsigned>(points));
                std::vector<float> b = a;
                ComplexFft(2 * points, sign, a.data(), areas.ip.data(), areas.w.data());
                ComplexFftScalar(2 * points, sign, b.data(), areas.ip.data(), areas.w.data());
                float max_difference = 0.0f;
                for (std::size_t i = 0; i < a.size(); ++i) {
                    max_difference = std::max(max_difference, std::fabs(a[i] - b[i]));
                }
                EXPECT_EQ(max_difference, 0.0f)
                    << "N = " << points << " sign " << sign << (wide ? " wide" : " narrow");
            }
        }
    }
    ResetFftHooks();
}

// A table built for a larger transform makes every smaller one read it with a stride; the vector
// kernels gather their twiddles differently from the scalar twin, so both must still agree.
TEST(ComplexFftTest, VectorKernelsAgreeWithTheScalarTwinOnALargerTable) {
    WorkAreas areas;
    BuildFftTable(1 << 18, areas.ip.data(), areas.w.data());
    const std::vector<float> table(areas.w.begin(), areas.w.begin() + (1 << 16));
    for (bool wide : {true, false}) {
        FftUseWideVectors = wide;
        for (int points = 2; points <= 65536; points *= 2) {
            for (int sign : {-1, +1}) {
                const std::vector<float> input =
                    RandomData(points, 5000u + static_cast<unsigned>(points));
                std::vector<float> a = input;
                std::vector<float> b = input;
                ComplexFft(2 * points, sign, a.data(), areas.ip.data(), areas.w.data());
                ComplexFftScalar(2 * points, sign, b.data(), areas.ip.data(), areas.w.data());
                EXPECT_EQ(std::memcmp(a.data(), b.data(), a.size() * sizeof(float)), 0)
                    << "N = " << points << " sign " << sign << (wide ? " wide" : " narrow");
                if (points > 8192) continue;
                std::vector<Cd> want(points);
                for (int k = 0; k < points; ++k) want[k] = Cd(input[2 * k], input[2 * k + 1]);
                ReferenceFft(want, sign);
                if (sign > 0) {
                    for (auto& v : want) v /= points;
                }
                EXPECT_LT(RelativeError(a, want), ErrorBound(points))
                    << "N = " << points << " sign " << sign << (wide ? " wide" : " narrow");
            }
        }
    }
    ResetFftHooks();
    EXPECT_EQ(areas.ip[0], 1 << 16) << "smaller transforms rebuilt the table";
    EXPECT_TRUE(std::equal(table.begin(), table.end(), areas.w.begin()));
}

// Prepared twiddles replace the ones the 256-bit stages form; the bits stay those of the scalar
// twin, on a table of the transform's own size and on a larger one, and within single-precision
// error of a double-precision transform.
TEST(ComplexFftTest, PreparedTwiddlesGiveTheBitsOfTheScalarTwin) {
    for (int points = 2; points <= 65536; points *= 2) PrepareFftTwiddles(2 * points);
    for (int table_floats : {0, 1 << 18}) {
        WorkAreas areas;
        if (table_floats) BuildFftTable(table_floats, areas.ip.data(), areas.w.data());
        for (bool prepared : {true, false}) {
            FftUsePreparedTwiddles = prepared;
            for (int points = 2; points <= 65536; points *= 2) {
                for (int sign : {-1, +1}) {
                    const std::vector<float> input =
                        RandomData(points, 7000u + static_cast<unsigned>(points));
                    std::vector<float> a = input;
                    std::vector<float> b = input;
                    ComplexFft(2 * points, sign, a.data(), areas.ip.data(), areas.w.data());
                    ComplexFftScalar(2 * points, sign, b.data(), areas.ip.data(), areas.w.data());
                    const std::string where = "N = " + std::to_string(points) + " sign " +
                                              std::to_string(sign) +
                                              (prepared ? " prepared" : " formed") +
                                              (table_floats ? " larger table" : "");
                    EXPECT_EQ(std::memcmp(a.data(), b.data(), a.size() * sizeof(float)), 0)
                        << where;
                    if (points > 4096) continue;
                    std::vector<Cd> want(points);
                    for (int k = 0; k < points; ++k) want[k] = Cd(input[2 * k], input[2 * k + 1]);
                    ReferenceFft(want, sign);
                    if (sign > 0) {
                        for (auto& v : want) v /= points;
                    }
                    EXPECT_LT(RelativeError(a, want), ErrorBound(points)) << where;
                }
            }
        }
    }
    ResetFftHooks();
}

// Threads that prepare a size while others already transform it all get the same bits.
TEST(ComplexFftTest, PreparingWhileOtherThreadsTransform) {
    constexpr int kPoints = 1 << 13;
    const std::vector<float> input = RandomData(kPoints, 11);
    std::vector<float> expected = input;
    {
        WorkAreas areas;
        ComplexFftScalar(2 * kPoints, -1, expected.data(), areas.ip.data(), areas.w.data());
    }
    std::vector<float> w(kPoints / 2 + 2);
    std::vector<int> shared_ip(FftWorkAreaInts(2 * kPoints));
    BuildFftTable(2 * kPoints, shared_ip.data(), w.data());
    std::atomic<int> mismatches{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            std::vector<int> ip(FftWorkAreaInts(2 * kPoints));
            AdoptFftTable(ip.data(), shared_ip.data());
            for (int round = 0; round < 20; ++round) {
                if (round == t) PrepareFftTwiddles(2 * kPoints);
                std::vector<float> a = input;
                ComplexFft(2 * kPoints, -1, a.data(), ip.data(), w.data());
                if (std::memcmp(a.data(), expected.data(), a.size() * sizeof(float)) != 0) {
                    ++mismatches;
                }
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(mismatches.load(), 0);
}

TEST(ComplexFftTest, WorkAreaSizeCoversTheBitReversalTable) {
    for (int points = 2; points <= (1 << 20); points *= 2) {
        const std::size_t need = FftWorkAreaInts(2 * points);
        EXPECT_GE(need, 3u);
        EXPECT_LE(need, 2 + static_cast<std::size_t>(std::sqrt(2.0 * points)) + 1)
            << "N = " << points;
        // The area must really suffice: guard entries after it stay untouched.
        if (points <= 65536) {
            std::vector<int> ip(need + 16, 0x5A5A5A5A);
            ip[0] = 0;
            std::vector<float> w(std::max(points / 2, 2), 0.0f);
            std::vector<float> a = RandomData(points, 3);
            ComplexFft(2 * points, -1, a.data(), ip.data(), w.data());
            for (std::size_t i = need; i < need + 16; ++i) {
                ASSERT_EQ(ip[i], 0x5A5A5A5A) << "N = " << points << " wrote past its area";
            }
        }
    }
}

}  // namespace
}  // namespace shell
