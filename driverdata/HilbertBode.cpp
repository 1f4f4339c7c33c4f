#include "driverdata/HilbertBode.h"

#include <cmath>
#include <cstring>

#include "platform/ui/MessageBox.h"
#include "shell/DriverRecord.h"
#include "shell/FrameGlobals.h"
#include "shell/FrequencyGrid.h"
#include "shell/NumberText.h"
#include "shell/PlotFrame.h"
#include "shell/StartupAllocation.h"
#include "solver/GainPhaseIntegral.h"

namespace driverdata {

namespace {

constexpr int kExt = shell::kExtendedGridPoints;
constexpr int kPoints = shell::kGridPoints;
constexpr int kFirstStored = 350;  // curve point k lies at extended index k + 350

// The level on ExtendedFrequencyGrid, and the phase of every point of it.
float g_work[kExt];
double g_phase[kExt];

// A typed record text as a number; a text without a leading number reads 0. Kept within 1e30 so
// that it converts to single precision defined; a level from such a value is refused later.
double SlotValue(const char* slot) {
    double value = 0.0;
    if (!shell::ReadTypedSlot(slot, shell::kTextSlot, &value)) return 0.0;
    return value < -1e30 ? -1e30 : value > 1e30 ? 1e30 : value;
}

void Refuse(const char* text) {
    platform::MessageBox(shell::EditorChildWindow, text, "QV MEssage",
                         platform::MB_OK | platform::MB_ICONEXCLAMATION);
}

}  // namespace

const float* HbtWorkCurve() { return g_work; }

int CalculateHilbertBode() {
    shell::DriverRecord* record = shell::CurrentDriverRecord;
    if (record == nullptr) return 1;
    shell::DriverRecord& r = *record;
    const float fstart = static_cast<float>(shell::PlotStartFrequency());
    const float fstop = static_cast<float>(shell::PlotStopFrequency());
    const float ppo = HbtPointsPerOctave(fstart, fstop);

    const double pin = SlotValue(r.InputPower);
    if (!(pin > 0.0)) {
        Refuse("Input Power Error");
        return 1;
    }
    const double d = r.Distance;
    const bool delay = r.DistanceInPhase == 1;
    const bool level = r.DistanceInAmplitude == 1;
    // A driver file may carry a distance the dialog never stores; the options need one above 0.
    if ((delay || level) && !(d > 0.0 && std::isfinite(d))) {
        Refuse("Distance Error");
        return 1;
    }

    const float* g = shell::ExtendedFrequencyGrid;
    float* w = g_work;
    for (int k = 0; k < kPoints; ++k) w[k + kFirstStored] = r.Spl[k];

    // High-pass tail: from the first point above the stop frequency down, falling s dB a point.
    const double hp_slope = SlotValue(r.HighPassSlope);
    int i = TailIndex(g, kExt, ClampTail(SlotValue(r.HighPassStop), fstart, fstop));
    float s = static_cast<float>(hp_slope / ppo);
    for (int u = i < kExt - 1 ? i : kExt - 2; u >= 0; --u) w[u] = w[u + 1] - s;

    // Low-pass tail, after the high-pass tail (it wins where they overlap).
    const double lp_slope = SlotValue(r.LowPassSlope);
    i = TailIndex(g, kExt, ClampTail(SlotValue(r.LowPassStart), fstart, fstop));
    s = static_cast<float>(lp_slope / ppo);
    for (int u = i > 0 ? i : 1; u < kExt; ++u) w[u] = w[u - 1] - s;

    const float efficiency = static_cast<float>(SlotValue(r.Efficiency));
    for (int u = 0; u < kExt; ++u) w[u] = w[u] - efficiency;

    const solver::GainPhaseInput input{g, w, hp_slope / 6.0, lp_slope / 6.0, true};
    solver::GainPhaseIntegral(input, kFirstStored, kFirstStored + kPoints, g_phase);

    // The response is kept aside until every point of it is a number a driver file can carry.
    static float out_re[kPoints];
    static float out_im[kPoints];
    const double gain = level ? std::sqrt(pin) / d : 1.0;
    const double most = shell::kDriverFileResponseLimit;
    for (int n = kFirstStored; n < kFirstStored + kPoints; ++n) {
        const double m = std::pow(10.0, 0.05 * w[n]);
        double re = m * std::cos(g_phase[n]);
        double im = m * std::sin(g_phase[n]);
        if (delay) {
            // A delay of d / 344 seconds: multiplication by e^(-j theta).
            const double theta = (d / (344.0 / g[n])) * solver::kTwoPiApprox;
            const double c = std::cos(theta);
            const double sn = std::sin(theta);
            const double turned_re = re * c + im * sn;
            const double turned_im = im * c - re * sn;
            re = turned_re;
            im = turned_im;
        }
        re *= gain;
        im *= gain;
        if (!(std::fabs(re) <= most && std::fabs(im) <= most)) {  // NaN fails too
            platform::MessageBox(shell::EditorChildWindow, kHbtOutOfRange, "QV Message",
                                 platform::MB_OK | platform::MB_ICONEXCLAMATION);
            return 1;
        }
        out_re[n - kFirstStored] = static_cast<float>(re);
        out_im[n - kFirstStored] = static_cast<float>(im);
    }
    std::memcpy(r.HbtReal, out_re, sizeof out_re);
    std::memcpy(r.HbtImag, out_im, sizeof out_im);
    r.HbtValid = 1;
    return 0;
}

}  // namespace driverdata
