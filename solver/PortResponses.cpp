#include "solver/PortResponses.h"

#include <cmath>
#include <cstdlib>

#include "shell/Globals.h"
#include "shell/PreferencesRecord.h"
#include "shell/ProjectImage.h"
#include "shell/StartupAllocation.h"
#include "solver/Globals.h"
#include "solver/SharedState.h"

namespace solver {

namespace {

using shell::ComplexPoint;
constexpr double kTwoPi = 2.0 * 3.141592653589793;

ComplexPoint Mul(ComplexPoint a, ComplexPoint b) {
    return {a.re * b.re - a.im * b.im, a.re * b.im + a.im * b.re};
}

void WritePoint(int block, int k, float value) { SystemCurve(block)[k] = value; }

void WriteLevelPhase(int spl_block, int phase_block, int k, ComplexPoint z) {
    WritePoint(spl_block, k, CurveLevel(z));
    WritePoint(phase_block, k, CurvePhase(z));
}

// Pen of a block from CurveColourScheme entry `entry` (1..19).
void WritePen(int block, int entry) {
    const shell::ColourEntry& c = shell::CurveColourScheme[entry - 1];
    float* r = SystemCurve(block);
    r[shell::kCurvePenRed] = static_cast<float>(c.Red);
    r[shell::kCurvePenGreen] = static_cast<float>(c.Green);
    r[shell::kCurvePenBlue] = static_cast<float>(c.Blue);
    r[shell::kCurvePenWidth] = static_cast<float>(c.Thickness);
    r[shell::kCurvePenStyle] = static_cast<float>(c.Type);
}

bool SlotInRange(const PortSlot& slot) { return slot.port > 0 && slot.port < 17; }

// theta = 2 pi f delay / 1000, held in single precision before its cosine and sine.
ComplexPoint DelayAndPolarity(ComplexPoint z, float f, float delay_ms, float stored_polarity) {
    const float polarity = PortPolarity(stored_polarity);
    delay_ms = PortDelayMs(delay_ms);
    const float theta = static_cast<float>(kTwoPi * f * delay_ms * 0.001);
    const double c = std::cos(theta);
    const double s = std::sin(theta);
    return {static_cast<float>((z.re * c + z.im * s) * polarity),
            static_cast<float>((z.im * c - z.re * s) * polarity)};
}

}  // namespace

float CurveLevel(ComplexPoint z) {
    const long double sum =
        static_cast<long double>(z.re) * z.re + static_cast<long double>(z.im) * z.im + 1e-16L;
    return static_cast<float>(10.0 * std::log10(static_cast<double>(sum)));
}

float CurvePhase(ComplexPoint z) {
    if (z.re == 0.0f) return 0.0f;
    return static_cast<float>(std::atan2(z.im, z.re) * kDegreesPerRadian);
}

int SelectedSampleRate() {
    const int index = shell::Project.Settings.SampleRateIndex;
    if (index < 0 || index >= shell::kSampleRateCount) return 0;
    return std::atoi(shell::SampleRateNames[index]);
}

void RecordPortCensus(const NodalLayout& layout, const shell::NetworkTables& net) {
    for (int s = 0; s < layout.slot_count; ++s) {
        const PortSlot& slot = layout.slots[s];
        if (!SlotInRange(slot)) continue;
        const float* p = net.ElementParams[slot.element];
        OutputPhasing[slot.port - 1] =
            static_cast<std::int32_t>(PortPolarity(p[shell::kParamPolarity]));
        OutputDelay[slot.port - 1] = PortDelayMs(p[shell::kParamDelay]);
    }
}

void ClearPortResponses() {
    for (ComplexPoint* table : shell::PortResponseTable) {
        for (int k = 0; k < shell::kResponsePoints; ++k) table[k] = {0.0f, 0.0f};
    }
}

void ComputePortStep(const NodalLayout& layout, const shell::NetworkTables& net, int k,
                     const std::complex<double>* hot_v) {
    const float f = FrequencyGridData()[k];
    const int use_hbt = shell::Project.Settings.UseHbtData;
    for (int s = 0; s < layout.slot_count; ++s) {
        const PortSlot& slot = layout.slots[s];
        if (!SlotInRange(slot)) continue;
        const int i = slot.element;
        const int p = slot.port - 1;
        const float* par = net.ElementParams[i];
        const double gain = std::pow(10.0, 0.05 * par[shell::kParamOutputGain]);
        ComplexPoint r{static_cast<float>(gain * hot_v[s].real()),
                       static_cast<float>(gain * hot_v[s].imag())};
        shell::PortResponseTable[p][k] = r;
        WriteLevelPhase(kBlockFilterSpl + p, kBlockFilterPhase + p, k, r);

        const shell::ElementDriverBlock& drv = net.ElementDriverData[i];
        ComplexPoint d;
        if (use_hbt == 0) {
            const double a = std::pow(10.0, 0.05 * (drv.Spl[k] - 90.0));
            const double phi = drv.Phase[k] * kRadiansPerDegree;
            d = {static_cast<float>(a * std::cos(phi)), static_cast<float>(a * std::sin(phi))};
        } else {
            d = {drv.Real[k], drv.Imag[k]};
        }
        WriteLevelPhase(kBlockDriverSpl + p, kBlockDriverPhase + p, k, d);

        const ComplexPoint e = net.ElementTransfer[i][k];
        WriteLevelPhase(kBlockHbtSpl + p, kBlockHbtPhase + p, k, e);

        r = Mul(r, e);
        shell::PortResponseTable[p][k] = r;
        WriteLevelPhase(kBlockHbtFilterSpl + p, kBlockHbtFilterPhase + p, k, r);

        const ComplexPoint fin = Mul(r, d);
        shell::FinalResponseTable[p][k] = fin;
        const ComplexPoint shown =
            DelayAndPolarity(fin, f, slot.delay_ms, par[shell::kParamPolarity]);
        WriteLevelPhase(kBlockFinalSpl + p, kBlockFinalPhase + p, k, shown);

        if (k == 0) {
            WritePen(kBlockFilterSpl + p, 2);
            WritePen(kBlockDriverSpl + p, 3);
            WritePen(kBlockHbtSpl + p, 4);
            WritePen(kBlockFinalSpl + p, 5);
            WritePen(kBlockFilterPhase + p, 6);
            WritePen(kBlockDriverPhase + p, 7);
            WritePen(kBlockHbtPhase + p, 8);
            WritePen(kBlockFinalPhase + p, 9);
            WritePen(kBlockHbtFilterSpl + p, 12);
            WritePen(kBlockHbtFilterPhase + p, 16);
        }
    }
}

void ComputeSystemSum(const NodalLayout& layout, const shell::NetworkTables& net) {
    ComplexPoint* sum = shell::WorkResponsePairs;
    for (int k = 0; k < shell::kGridPoints; ++k) {
        sum[k] = {0.0f, 0.0f};
        MinimumPhaseResult[k] = {0.0f, 0.0f};
    }
    const int spl_only = shell::Project.Settings.SplOnlyEq;
    for (int k = 0; k < shell::kGridPoints; ++k) {
        const float f = FrequencyGridData()[k];
        for (int s = 0; s < layout.slot_count; ++s) {
            const PortSlot& slot = layout.slots[s];
            if (!SlotInRange(slot)) continue;
            const ComplexPoint fin = shell::FinalResponseTable[slot.port - 1][k];
            double c = 1.0;
            double sn = 0.0;
            if (spl_only != 1) {
                const double psi = fin.re == 0.0f ? 0.0 : -std::atan2(fin.im, fin.re);
                c = std::cos(psi + 0.0001);
                sn = std::sin(psi + 0.0001);
            }
            const ComplexPoint q{static_cast<float>(fin.re * c - fin.im * sn),
                                 static_cast<float>(fin.re * sn + fin.im * c)};
            const ComplexPoint shown = DelayAndPolarity(
                q, f, slot.delay_ms, net.ElementParams[slot.element][shell::kParamPolarity]);
            if (slot.plot_flag == 1) {
                sum[k].re += shown.re;
                sum[k].im += shown.im;
            }
        }
        WriteLevelPhase(kBlockSystemSpl, kBlockSystemPhase, k, sum[k]);
    }
    WritePen(kBlockSystemSpl, 10);
    WritePen(kBlockSystemPhase, 11);
}

void ResampleOnto(const ComplexPoint* source, const float* grid, float bw, ComplexPoint* target) {
    for (int b = 0; b < kResampledBins; ++b) target[b] = {0.0f, 0.0f};
    for (int k = 0; k + 1 < shell::kGridPoints; ++k) {
        const float x0 = grid[k] / bw;
        float x1 = grid[k + 1] / bw;
        if (x1 > 65536.0f) x1 = 65536.0f;
        if (!(x0 < x1)) continue;
        const float span = x1 - x0;
        const float dre = (source[k + 1].re - source[k].re) / span;
        const float dim = (source[k + 1].im - source[k].im) / span;
        const int start = static_cast<int>(x0);
        for (int j = 0; static_cast<float>(start + j) < x1; ++j) {
            target[start + j] = {source[k].re + static_cast<float>(j) * dre,
                                 source[k].im + static_cast<float>(j) * dim};
        }
    }
    // Below the first grid point: a straight line from bin t down to bin 0.
    const float xs = grid[0] / bw;
    const int t = static_cast<int>(xs);
    if (xs > 0.0f && t + 1 < kResampledBins) {
        const ComplexPoint at = target[t];
        const float d0re = (target[t + 1].re - at.re) / xs;
        const float d0im = (target[t + 1].im - at.im) / xs;
        for (int i = t > 0 ? t - 1 : 0; i >= 0; --i) {
            const float dx = xs - static_cast<float>(i);
            target[i] = {at.re - dx * d0re, at.im - dx * d0im};
        }
    }
    // Shift up by one bin; bins 0 and 1 both keep the old bin 0.
    for (int i = kResampledBins - 1; i >= 1; --i) target[i] = target[i - 1];
}

int ResampleSpectra(const NodalLayout& layout, int pane) {
    const int rate = SelectedSampleRate();
    const int frames = shell::BlockFrames;
    const bool valid = rate > 0 && (frames == 1024 || frames == 2048 || frames == 4096);
    const float bw = valid ? static_cast<float>(rate) / static_cast<float>(8 * frames) : 0.0f;
    for (int s = 0; s < layout.slot_count; ++s) {
        const PortSlot& slot = layout.slots[s];
        if (!SlotInRange(slot)) continue;
        const int p = slot.port - 1;
        if (!valid) {
            FirSpectrumStamps[p] = {0, 0, pane};
            continue;
        }
        ResampleOnto(shell::PortResponseTable[p], FrequencyGridData(), bw,
                     shell::FirSpectrumTables[0][p]);
        ResampleOnto(shell::FinalResponseTable[p], FrequencyGridData(), bw,
                     shell::FirSpectrumTables[1][p]);
        FirSpectrumStamps[p] = {rate, frames, pane};
    }
    return valid ? 0 : 1;
}

}  // namespace solver
