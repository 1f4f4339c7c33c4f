#include "measurement/GatedSpectrum.h"

#include <cmath>
#include <initializer_list>

#include "measurement/MlsDeconvolution.h"
#include "shell/ComplexFft.h"
#include "shell/ProjectImage.h"
#include "shell/StartupAllocation.h"

namespace measurement {

namespace {

constexpr double kDegreesPerRadian = 57.288;  // the system's rounding of 180 / pi; enters results
constexpr double kTwoPi = 6.283185307179586;
constexpr double kRefLevelFloor = 1e-10;  // added to |Ref|^2 before the logarithm
constexpr double kInLevelFloor = 1e-13;   // added to |In|^2 before the logarithm

// Bin b (0 <= b < n) of the spectrum of n real samples, from `z`, the n/2-point complex
// transform of those samples taken as n/2 complex points (even samples the real parts, odd ones
// the imaginary parts): the even and odd samples' spectra are split out of z and joined with
// the turn e^(-j 2 pi b / n). Rounded to single precision as a full transform's output is.
void RealSpectrumBin(const float* z, int n, int b, float* re, float* im) {
    const int h = n / 2;
    const bool mirrored = b > h;  // X[n - b] = conj X[b]
    if (mirrored) b = n - b;
    const int k = b % h, m = (h - b) % h;
    const double zr = z[2 * k], zi = z[2 * k + 1];
    const double cr = z[2 * m], ci = -static_cast<double>(z[2 * m + 1]);  // conj z[h - b]
    const double er = 0.5 * (zr + cr), ei = 0.5 * (zi + ci);              // even samples
    const double odd_re = 0.5 * (zi - ci), odd_im = -0.5 * (zr - cr);     // odd samples
    const double t = -kTwoPi * b / n;
    const double c = std::cos(t), s = std::sin(t);
    *re = static_cast<float>(er + c * odd_re - s * odd_im);
    const float i = static_cast<float>(ei + c * odd_im + s * odd_re);
    *im = mirrored ? -i : i;
}

// One channel: the first `count` samples times the window (zeros after them), transformed and
// read at the grid's bins.
void GatedBins(const float* samples, int count, const float* window, int n,
               const std::vector<std::int32_t>& bin_of, float* fft, std::vector<float>* re,
               std::vector<float>* im) {
    for (int i = 0; i < count; ++i) fft[i] = samples[i] * window[i];
    for (int i = count; i < n; ++i) fft[i] = 0.0f;
    RealSpectrumAtBins(fft, n, bin_of.data(), static_cast<int>(bin_of.size()), re->data(),
                       im->data());
}

// 10 log10(re^2 + im^2 + floor) at the points with a bin, the others filled from their
// neighbours.
void BinLevels(const std::vector<float>& re, const std::vector<float>& im,
               const std::vector<std::int32_t>& bin_of, double floor, std::vector<float>* level) {
    const int points = static_cast<int>(bin_of.size());
    for (int j = 0; j < points; ++j) {
        const double r = re[j], i = im[j];
        (*level)[j] =
            bin_of[j] < 0 ? 0.0f : static_cast<float>(10.0 * std::log10(r * r + i * i + floor));
    }
    FillLevelGaps(level->data(), points);
}

// The Ref channel's correction: its level raised to 0.0001 where lower, taken from the loudest
// of those; 0 from fmax up.
void RefCorrection(const GateInput& input, const std::vector<float>& level,
                   std::vector<float>* correction) {
    float loudest = 0.0f;
    for (int j = 0; j < input.points; ++j) {
        const float r = level[j] < 0.0001f ? 0.0001f : level[j];
        (*correction)[j] = r;
        if (std::fabs(r) > loudest) loudest = std::fabs(r);
    }
    for (int j = 0; j < input.points; ++j)
        (*correction)[j] = input.grid[j] >= input.fmax ? 0.0f : loudest - (*correction)[j];
}

// A sound that arrives later by the pulse delay carries e^(-j theta) at bin b; turning it by
// e^(+j theta) removes that delay.
void TurnOutDelay(const std::vector<std::int32_t>& bin_of, double df, double delay_ms,
                  std::vector<float>* re, std::vector<float>* im) {
    for (std::size_t j = 0; j < bin_of.size(); ++j) {
        const int b = bin_of[j];
        if (b < 0) continue;
        const double theta = b * df * 0.001 * delay_ms * kTwoPi;
        const double c = std::cos(theta), s = std::sin(theta);
        const double a = (*re)[j], q = (*im)[j];
        (*re)[j] = static_cast<float>(a * c - q * s);
        (*im)[j] = static_cast<float>(q * c + a * s);
    }
}

// The In phase in degrees after turning the In spectrum back by the Ref phase, then repaired.
void RelativeDegrees(GatedSpectrum* out) {
    const int points = static_cast<int>(out->bin_of.size());
    for (int j = 0; j < points; ++j) {
        if (out->bin_of[j] < 0) {
            out->in_degrees[j] = 0.0f;
            continue;
        }
        const double psi = out->ref_phase[j];
        const double c = std::cos(psi), s = std::sin(psi);
        double r2 = out->in_re[j] * c + out->in_im[j] * s;
        const double i2 = out->in_im[j] * c - out->in_re[j] * s;
        if (r2 == 0.0) r2 = 1e-9;
        out->in_degrees[j] = static_cast<float>(kDegreesPerRadian * std::atan2(i2, r2));
    }
    RepairPhase(out->in_degrees.data(), points);
}

}  // namespace

void RealSpectrumAtBins(float* samples, int n, const std::int32_t* bins, int count, float* re,
                        float* im) {
    shell::ComplexFft(n, -1, samples, shell::FftBitReverseTable, shell::FftTwiddleTable);
    for (int j = 0; j < count; ++j) {
        re[j] = im[j] = 0.0f;
        if (bins[j] >= 0 && bins[j] < n) RealSpectrumBin(samples, n, bins[j], &re[j], &im[j]);
    }
}

float MlsUpperFrequency(int rate_index) {
    static const float kLimits[shell::kSampleRateCount] = {5510.0f,  6000.0f,  11025.0f, 12000.0f,
                                                           22050.0f, 24000.0f, 48000.0f, 96000.0f};
    if (rate_index < 0 || rate_index >= shell::kSampleRateCount) return 0.0f;
    return kLimits[rate_index];
}

void MapBinsToGrid(const float* grid, int points, double df, float fmax, int bins,
                   std::int32_t* bin_of_point) {
    for (int j = 0; j < points; ++j) bin_of_point[j] = -1;
    int j = 0;
    for (int i = 0; i < bins; ++i) {
        const double f = i * df;
        while (j < points && !(f < grid[j])) ++j;
        if (j >= points || !(grid[j] < fmax)) break;  // every later bin is dropped as well
        bin_of_point[j] = i;
    }
}

void FillLevelGaps(float* level, int points) {
    if (points <= 0) return;
    int q = 0;
    float vq = level[0];
    for (int j = 0; j < points; ++j) {
        if (!(level[j] > 0.1f)) continue;
        if (q < j) {
            const float step = (level[j] - vq) / static_cast<float>(j - q);
            for (int k = q; k < j; ++k) level[k] = vq + static_cast<float>(k - q) * step;
        }
        q = j;
        vq = level[j];
    }
}

void RepairPhase(float* p, int points) {
    for (int j = 0; j + 1 < points; ++j) {
        if (p[j + 1] > 130.0f && p[j] == 0.0f) {
            int k = j;
            while (k > 0 && p[k] >= -130.0f) --k;
            p[k] = -179.0f;
            p[k + 1] = 179.0f;
        }
    }
    int q = 0;
    float pq = 0.0f;
    for (int j = 0; j < points; ++j) {
        if (p[j] == 0.0f) continue;
        const int span = j - q > 1 ? j - q : 1;
        for (int k = q; k < j; ++k)
            p[k] = pq + static_cast<float>(k - q) * (p[j] - pq) / static_cast<float>(span);
        q = j;
        pq = p[j];
    }
}

void ComputeGatedSpectrum(const GateInput& input, float* fft, GatedSpectrum* out) {
    // Every entry is written below: a result kept from an earlier call is only resized.
    const auto points = static_cast<std::size_t>(input.points);
    for (auto* v : {&out->ref_re, &out->ref_im, &out->ref_level, &out->ref_phase, &out->correction,
                    &out->in_re, &out->in_im, &out->in_level, &out->in_degrees})
        v->resize(points);
    out->bin_of.resize(points);
    MapBinsToGrid(input.grid, input.points, input.df, input.fmax, input.n, out->bin_of.data());

    GatedBins(input.ref, input.n, input.ref_window, input.n, out->bin_of, fft, &out->ref_re,
              &out->ref_im);
    BinLevels(out->ref_re, out->ref_im, out->bin_of, kRefLevelFloor, &out->ref_level);
    RefCorrection(input, out->ref_level, &out->correction);
    for (std::size_t j = 0; j < points; ++j) {
        const float r = out->ref_re[j], i = out->ref_im[j];
        out->ref_phase[j] = out->bin_of[j] < 0 ? 0.0f : std::atan2(i, r == 0.0f ? 0.000001f : r);
    }

    GatedBins(input.in, input.in_count, input.in_window, input.n, out->bin_of, fft, &out->in_re,
              &out->in_im);
    TurnOutDelay(out->bin_of, input.df, input.delay_ms, &out->in_re, &out->in_im);
    BinLevels(out->in_re, out->in_im, out->bin_of, kInLevelFloor, &out->in_level);
    RelativeDegrees(out);
}

GateInput MlsCaptureGate(const float* grid, int points, int n, int rate_index, int impulse_start) {
    GateInput gate;
    gate.grid = grid;
    gate.points = points;
    gate.n = n;
    gate.df = static_cast<double>(MlsSampleRateAt(rate_index)) / n;
    gate.fmax = MlsUpperFrequency(rate_index);
    gate.ref = shell::MlsRefSamples + kMlsLeadingZeros;
    gate.ref_window = shell::GateWindowRef;
    gate.in = shell::MlsInSamples + impulse_start;
    return gate;
}

}  // namespace measurement
