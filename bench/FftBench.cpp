// ComplexFft against FFTW's single-precision complex transform (measured in-place plans) for
// N = 1024 to 32768 complex points, forward and inverse separately. Each side times what its
// users call: ComplexFft's inverse scales by 2/n = 1/N inside its last stage, FFTW's backward
// transform is timed unscaled (the scaling its users fold elsewhere is not charged to it); the
// comparison of outputs scales FFTW's result outside the timing. Outputs are compared first
// (relative error; nothing is timed when they disagree); then rounds run interleaved, the side
// that goes first alternating, each transform on data restored outside the timing, and the
// medians of the round times and of the per-round ratios (with quartiles) are compared against
// the targets: 1.3 up to 4096 points, 1.6 above. Usage: fft_bench [rounds, 21].
#include <fftw3.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#include "bench/Stats.h"
#include "shell/ComplexFft.h"

namespace {

using bench::Median;

// One size: the same random input for both sides, each side's own in-place buffer (aligned the
// same way), ComplexFft's tables and FFTW's plans.
struct Size {
    int points;
    std::vector<float> source;  // 2N floats, interleaved re, im
    float* qv;
    fftwf_complex* fw;
    std::vector<int> ip;
    std::vector<float> w;
    fftwf_plan forward, backward;

    explicit Size(int n) : points(n), source(2 * static_cast<std::size_t>(n)) {
        const std::size_t bytes = sizeof(float) * source.size();
        qv = static_cast<float*>(fftwf_malloc(bytes));
        fw = static_cast<fftwf_complex*>(fftwf_malloc(bytes));
        if (!qv || !fw) std::abort();
        // Measured plans overwrite the buffer while planning: plan first, fill afterwards.
        forward = fftwf_plan_dft_1d(n, fw, fw, FFTW_FORWARD, FFTW_MEASURE);
        backward = fftwf_plan_dft_1d(n, fw, fw, FFTW_BACKWARD, FFTW_MEASURE);
        ip.assign(shell::FftWorkAreaInts(2 * n), 0);
        w.assign(static_cast<std::size_t>(n) / 2 + 2, 0.0f);
        shell::BuildFftTable(2 * n, ip.data(), w.data());
        std::mt19937 rng(static_cast<unsigned>(n));
        std::uniform_real_distribution<float> d(-1.0f, 1.0f);
        for (float& v : source) v = d(rng);
    }
    ~Size() {
        fftwf_destroy_plan(forward);
        fftwf_destroy_plan(backward);
        fftwf_free(qv);
        fftwf_free(fw);
    }
    Size(const Size&) = delete;
    Size& operator=(const Size&) = delete;

    void Restore() {
        const std::size_t bytes = sizeof(float) * source.size();
        std::memcpy(qv, source.data(), bytes);
        std::memcpy(static_cast<void*>(fw), source.data(), bytes);
    }
    void ComplexFftRun(bool inverse) {
        shell::ComplexFft(2 * points, inverse ? +1 : -1, qv, ip.data(), w.data());
    }
    void FftwRun(bool inverse) { fftwf_execute(inverse ? backward : forward); }
    // Largest difference over the largest magnitude of FFTW's result.
    double RelativeError(bool inverse) {
        Restore();
        ComplexFftRun(inverse);
        FftwRun(inverse);
        float* f = &fw[0][0];
        if (inverse)
            for (std::size_t k = 0; k < source.size(); ++k) f[k] /= static_cast<float>(points);
        double diff = 0, top = 0;
        for (std::size_t k = 0; k < source.size(); ++k) {
            diff = std::max(diff, std::fabs(static_cast<double>(qv[k]) - f[k]));
            top = std::max(top, std::fabs(static_cast<double>(f[k])));
        }
        return top > 0 && std::isfinite(diff) ? diff / top : INFINITY;
    }
};

// Microseconds one timing of nothing takes (two clock reads), taken off every timed transform.
double ClockMicroseconds() {
    std::vector<double> t;
    for (int i = 0; i < 1001; ++i) {
        const auto t0 = std::chrono::steady_clock::now();
        const auto t1 = std::chrono::steady_clock::now();
        t.push_back(std::chrono::duration<double, std::micro>(t1 - t0).count());
    }
    return Median(t);
}

// Microseconds per transform of one round: `count` transforms, each on freshly restored data;
// only the transforms are timed.
template <class Transform>
double RoundMicroseconds(Size& s, int count, Transform transform) {
    static const double clock_us = ClockMicroseconds();
    double total = -clock_us * count;
    for (int i = 0; i < count; ++i) {
        s.Restore();
        const auto t0 = std::chrono::steady_clock::now();
        transform();
        const auto t1 = std::chrono::steady_clock::now();
        total += std::chrono::duration<double, std::micro>(t1 - t0).count();
    }
    return total / count;
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 21;
    std::printf(
        "ComplexFft against FFTW (FFTW_MEASURE, in place), single precision; ComplexFft's "
        "inverse scales by 1/N,\nFFTW's is timed unscaled; %d interleaved rounds, medians.\n\n",
        rounds);
    std::printf("Outputs compared first (largest difference / largest magnitude):\n");
    struct Row {
        int points;
        bench::Spread qv[2], fftw[2], ratio[2];
    };
    std::vector<Row> rows;
    for (int points = 1024; points <= 32768; points *= 2) {
        Size s(points);
        const double ef = s.RelativeError(false), ei = s.RelativeError(true);
        std::printf("  N = %5d: forward %.1e, inverse %.1e\n", points, ef, ei);
        if (!(ef < 1e-5 && ei < 1e-5)) {
            std::printf("  MISMATCH: the transforms disagree, nothing is timed\n");
            return 1;
        }
        const int count = std::max(8, 262144 / points);
        Row row{};
        row.points = points;
        for (int inverse = 0; inverse < 2; ++inverse) {
            std::vector<double> tq, tf;
            for (int r = -2; r < rounds; ++r) {  // two warm-up rounds
                double q = 0, f = 0;
                if (r % 2 == 0) {
                    q = RoundMicroseconds(s, count, [&] { s.ComplexFftRun(inverse); });
                    f = RoundMicroseconds(s, count, [&] { s.FftwRun(inverse); });
                } else {
                    f = RoundMicroseconds(s, count, [&] { s.FftwRun(inverse); });
                    q = RoundMicroseconds(s, count, [&] { s.ComplexFftRun(inverse); });
                }
                if (r < 0) continue;
                tq.push_back(q);
                tf.push_back(f);
            }
            row.qv[inverse] = bench::SpreadOf(tq);
            row.fftw[inverse] = bench::SpreadOf(tf);
            row.ratio[inverse] = bench::SpreadOf(bench::RoundRatios(tq, tf));
        }
        rows.push_back(row);
    }
    std::printf(
        "\nTime per transform, median of the rounds (us), and ComplexFft / FFTW per round,\n"
        "median [quartiles], and that median against its target:\n");
    std::printf(
        "  N points  target  forward: ComplexFft    FFTW  ratio [quartiles]   of target"
        "  inverse: ComplexFft    FFTW  ratio [quartiles]   of target\n");
    bool met = true;
    for (const Row& r : rows) {
        const double target = r.points <= 4096 ? 1.3 : 1.6;
        std::printf("  %8d  %6.1f", r.points, target);
        for (int i = 0; i < 2; ++i) {
            std::printf("  %19.2f  %6.2f  %5.2f [%4.2f-%4.2f]  %9.2f", r.qv[i].median,
                        r.fftw[i].median, r.ratio[i].median, r.ratio[i].low, r.ratio[i].high,
                        r.ratio[i].median / target);
            met = met && r.ratio[i].median <= target;
        }
        std::printf("\n");
    }
    std::printf("(ratio below 1.00: ComplexFft is faster; \"of target\" <= 1.00 meets it; %s)\n",
                met ? "all met" : "NOT all met");
    return 0;
}
