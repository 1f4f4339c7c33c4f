#include "solver/FirKernels.h"

#include <cmath>

#include "shell/ComplexFft.h"
#include "shell/Globals.h"
#include "shell/ProjectImage.h"
#include "shell/StartupAllocation.h"
#include "solver/Globals.h"
#include "solver/PortResponses.h"
#include "solver/SharedState.h"
#include "solver/SolveNetwork.h"

namespace solver {

namespace {

constexpr double kPi = 3.141592653589793;

using shell::ComplexPoint;

// The build works in FirWorkBuffer alone, so the MLS gating windows stay as their views show
// them: one output's 8F complex points, then its 8F taps, then the two windows of 8F values.
static_assert(40 * 4096 <= shell::kFirWorkBufferFloats, "the FIR build's scratch fits");

// One output: bins 0..4F of the port response P and final response Q into the 8F taps of h.
void BuildOneOutput(int o, int frames, float bw, int rotation, bool spl_only, bool silent,
                    const float* r, const float* fade_in, float* h) {
    const int n8 = 8 * frames;
    const int half = 4 * frames;
    float* x = shell::FirWorkBuffer;  // 8F complex points, interleaved
    const ComplexPoint* p = shell::FirSpectrumTables[0][o];
    const ComplexPoint* q = shell::FirSpectrumTables[1][o];
    const float polarity = static_cast<float>(OutputPhasing[o]);
    const float delay = OutputDelay[o];
    for (int b = 0; b <= half; ++b) {
        double re = silent ? 0.0 : p[b].re;
        double im = silent ? 0.0 : p[b].im;
        if (!spl_only) {
            // The filter takes the phase arg P - arg Q: minus the driver's phase.
            const float phi = static_cast<float>(std::atan2(q[b].im, q[b].re));
            const double c = std::cos(phi);
            const double s = std::sin(phi);
            const double t = re * c + im * s;
            im = im * c - re * s;
            re = t;
        }
        const float theta = static_cast<float>(2.0 * kPi * bw * b * delay * 0.001);
        const double c = std::cos(theta);
        const double s = std::sin(theta);
        x[2 * b] = static_cast<float>(polarity * (re * c + im * s));
        x[2 * b + 1] = static_cast<float>(polarity * (im * c - re * s));
    }
    for (int b = 1; b < half; ++b) {
        x[2 * (n8 - b)] = x[2 * b];
        x[2 * (n8 - b) + 1] = -x[2 * b + 1];
    }
    shell::ComplexFft(2 * n8, 1, x, shell::FftBitReverseTable, shell::FftTwiddleTable);

    // Rotate the time origin to sample `rotation`, window the real part, cut the partitions.
    for (int s = 0; s < n8; ++s) {
        int src = s - rotation;
        if (src < 0) src += n8;
        h[s] = x[2 * src] * r[s] * fade_in[s];
    }
    for (int part = 0; part < kPartitions; ++part) {
        float* spectrum = shell::FilterSpectra[o][part];
        for (int i = 0; i < 4 * frames; ++i) spectrum[i] = 0.0f;
        for (int n = 0; n < frames; ++n) spectrum[2 * n] = h[part * frames + n];
        shell::ComplexFft(4 * frames, -1, spectrum, shell::FftBitReverseTable,
                          shell::FftTwiddleTable);
    }
}

}  // namespace

double FirFade(double x) {
    return 0.64125 + 0.48829 * std::cos(x) - 0.14128 * std::cos(2.0 * x) +
           0.01168 * std::cos(3.0 * x);
}

double FirFadeIn(double x) {
    return 1.0 - (0.42323 + 0.49755 * std::cos(x) + 0.07922 * std::cos(2.0 * x));
}

void BuildFirWindows(int frames, int spl_only_eq, int wide_window, float* r, float* i) {
    const int f = frames;
    const int n8 = 8 * f;
    for (int s = 0; s < n8; ++s) {
        r[s] = 0.0f;
        i[s] = 1.0f;
    }
    // Angles are products in extended precision of the sample number and a float step.
    auto fade = [](long double count, float step) {
        return static_cast<float>(FirFade(static_cast<double>(count * step)));
    };
    if (spl_only_eq != 1 && wide_window != 1) {
        const float d = static_cast<float>(kPi / (4 * f - 1));
        for (int s = 0; s < 4 * f; ++s) r[s] = fade(s + 4 * f, d);
        for (int s = 4 * f; s < n8; ++s) r[s] = fade(s - 4 * f, d);
    } else if (spl_only_eq != 1) {
        const float d = static_cast<float>(2.0 * kPi / (2 * f - 1));
        r[0] = 0.0f;
        for (int s = 1; s <= f; ++s) r[s] = fade(f - s, d);
        for (int s = f + 1; s < 7 * f; ++s) r[s] = 1.0f;
        for (int s = 7 * f; s < n8; ++s) r[s] = fade(s - 7 * f, d);
    } else {
        if (wide_window != 1) {
            const float d = static_cast<float>(2.0 * kPi / (n8 - 1));
            for (int s = 0; s < 4 * f; ++s) r[s] = fade(s, d);
        } else {
            const float d = static_cast<float>(2.0 * kPi / (2 * f - 1));
            for (int s = 0; s < 3 * f; ++s) r[s] = 1.0f;
            for (int s = 3 * f; s < 4 * f; ++s) r[s] = fade(s - 3 * f, d);
        }
        const float e = static_cast<float>(2.0 * kPi / (f / 16 - 1));
        for (int s = 0; s < f / 32; ++s) {
            i[s] =
                static_cast<float>(FirFadeIn(static_cast<double>(static_cast<long double>(s) * e)));
        }
    }
}

int BuildFirKernels() {
    const int frames = shell::BlockFrames;
    const int rate = SelectedSampleRate();
    if (rate <= 0 || (frames != 1024 && frames != 2048 && frames != 4096)) return 0;
    RefreshStaleSpectra();

    const float bw = static_cast<float>(rate) / static_cast<float>(8 * frames);
    const bool spl_only = shell::Project.Settings.SplOnlyEq == 1;
    const int rotation = spl_only ? 100 : 4 * frames + 1;
    float* h = shell::FirWorkBuffer + 16 * frames;
    float* r = h + 8 * frames;
    float* fade_in = r + 8 * frames;
    BuildFirWindows(frames, shell::Project.Settings.SplOnlyEq, shell::WideWindow, r, fade_in);
    for (int o = 0; o < kOutputPorts; ++o) {
        // Spectra resampled for another rate or F would play at the wrong frequencies.
        const SpectrumStamp& stamp = FirSpectrumStamps[o];
        const bool stale =
            stamp.pane != 0 && (stamp.sample_rate != rate || stamp.block_frames != frames);
        BuildOneOutput(o, frames, bw, rotation, spl_only, stale, r, fade_in, h);
    }
    return 0;
}

int BuildFirKernels(platform::HWND /*spl_window*/) { return BuildFirKernels(); }

}  // namespace solver
