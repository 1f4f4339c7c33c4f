// The gated-spectrum step on its own, against the spectra of the gated samples worked out
// directly in double precision: the Ref and In levels, and the In phase against the Ref phase
// with the delay turned out, for In gates that end early (the room equalizer's gate near the end
// of the impulse) as well as full ones.

#include <cmath>
#include <complex>
#include <cstdint>
#include <vector>

#include "MeasurementTestSupport.h"
#include "measurement/GatedSpectrum.h"

namespace measurement::test {
namespace {

constexpr double kRate = 48000.0;

std::vector<float> DecayingNoise(int count, std::uint32_t seed, float scale, float decay) {
    std::vector<float> x(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        seed = seed * 1664525u + 1013904223u;
        const float noise = static_cast<float>(seed >> 8) / 8388608.0f - 1.0f;
        x[static_cast<std::size_t>(i)] = scale * noise * std::exp(-decay * static_cast<float>(i));
    }
    return x;
}

std::complex<double> Bin(const std::vector<float>& x, const std::vector<float>& w, int n, int b) {
    std::complex<double> sum = 0.0;
    for (std::size_t i = 0; i < x.size(); ++i) {
        const double turn = static_cast<double>(static_cast<long long>(i) * b % n) / n;
        sum += static_cast<double>(x[i] * w[i]) * std::polar(1.0, -2.0 * M_PI * turn);
    }
    return sum;
}

class GatedSpectrumTest : public MeasurementTest {};

TEST_F(GatedSpectrumTest, LevelsAndPhaseAreTheGatedSamplesSpectra) {
    struct Case {
        int order;
        int in_count;  // In samples inside the gate; the rest of the gate is silence
        double delay_ms;
    };
    const Case cases[] = {{10, 1024, 0.0}, {12, 4096, 0.7}, {12, 1500, 0.25}, {13, 37, 1.9}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "order " << c.order << ", " << c.in_count
                                        << " In samples, delay " << c.delay_ms << " ms");
        const int n = 1 << c.order;
        // Exactly the samples the step may read, so that a read past them is caught.
        const std::vector<float> ref = DecayingNoise(n, 3u, 40.0f, 0.01f);
        const std::vector<float> in = DecayingNoise(c.in_count, 11u, 300.0f, 0.002f);
        std::vector<float> ref_window(static_cast<std::size_t>(n)), in_window(ref_window);
        for (int i = 0; i < n; ++i) {
            ref_window[static_cast<std::size_t>(i)] = 0.5f + 0.5f * std::cos(M_PI * i / n);
            in_window[static_cast<std::size_t>(i)] = 1.0f - 0.3f * static_cast<float>(i) / n;
        }
        GateInput gate;
        gate.grid = shell::FrequencyGrid;
        gate.points = shell::kGridPoints;
        gate.n = n;
        gate.df = kRate / n;
        gate.fmax = 24000.0f;
        gate.ref = ref.data();
        gate.ref_window = ref_window.data();
        gate.in = in.data();
        gate.in_count = c.in_count;
        gate.in_window = in_window.data();
        gate.delay_ms = c.delay_ms;
        std::vector<float> fft(static_cast<std::size_t>(n));
        GatedSpectrum g;
        ComputeGatedSpectrum(gate, fft.data(), &g);

        // Phases are compared above the last point without a bin: the repair of the gaps may
        // move the points below it.
        int last_gap = -1;
        for (int j = 0; j < shell::kGridPoints && shell::FrequencyGrid[j] < gate.fmax; ++j)
            if (g.bin_of[j] < 0) last_gap = j;
        int checked = 0;
        for (int j = 0; j < shell::kGridPoints; ++j) {
            const int b = g.bin_of[j];
            if (b < 0) continue;
            const std::complex<double> r = Bin(ref, ref_window, n, b);
            const std::complex<double> i =
                Bin(in, in_window, n, b) *
                std::polar(1.0, 2.0 * M_PI * b * gate.df * 0.001 * c.delay_ms);
            ASSERT_NEAR(g.ref_level[j], 10.0 * std::log10(std::norm(r) + 1e-10), 2e-3) << j;
            ASSERT_NEAR(g.in_level[j], 10.0 * std::log10(std::norm(i) + 1e-13), 2e-3) << j;
            if (j <= last_gap) continue;
            // The system's degrees: radians x 57.288.
            const double want = 57.288 * std::arg(i * std::conj(r));
            ASSERT_NEAR(std::remainder(g.in_degrees[j] - want, 57.288 * 2.0 * M_PI), 0.0, 0.02)
                << j;
            ++checked;
        }
        EXPECT_GT(checked, 100);
    }
}

}  // namespace
}  // namespace measurement::test
