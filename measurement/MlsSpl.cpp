#include "measurement/MlsSpl.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "measurement/GatedSpectrum.h"
#include "measurement/GatingWindows.h"
#include "measurement/Globals.h"
#include "measurement/MlsDeconvolution.h"
#include "measurement/MlsPlots.h"
#include "measurement/MlsWindows.h"
#include "platform/ui/MessageBox.h"
#include "shell/DriverRecord.h"
#include "shell/FrequencyGrid.h"
#include "shell/NumberText.h"
#include "shell/PreferencesRecord.h"
#include "shell/ProjectImage.h"
#include "shell/StartupAllocation.h"

namespace measurement {

namespace {

constexpr int kPoints = shell::kGridPoints;
constexpr double kDegreesPerRadian = 57.288;
constexpr int kWindowCurve = 22;
constexpr int kWindowShowFlag = 2002;
constexpr int kColourFilterSpl = 1;
constexpr int kColourDriverSpl = 2;

// The gated spectrum of the last calculation, kept so that its arrays are allocated once.
GatedSpectrum g_spectrum;

void Exclaim(platform::HWND owner, const char* text) {
    platform::MessageBox(owner, text, "QV Message", platform::MB_OK | platform::MB_ICONEXCLAMATION);
}

double SlotValue(const char* slot, std::size_t capacity) {
    double value = 0.0;
    if (!shell::ReadTypedSlot(slot, capacity, &value)) return 0.0;
    return value;
}

void SetPen(shell::CurveRecord* curve, int colour) {
    const shell::ColourEntry& pen = shell::CurveColourScheme[colour];
    curve->v[shell::kCurvePenRed] = static_cast<float>(pen.Red);
    curve->v[shell::kCurvePenGreen] = static_cast<float>(pen.Green);
    curve->v[shell::kCurvePenBlue] = static_cast<float>(pen.Blue);
    curve->v[shell::kCurvePenWidth] = static_cast<float>(pen.Thickness);
    curve->v[shell::kCurvePenStyle] = static_cast<float>(pen.Type);
}

// The final smoothing of a level curve: one centred mean of 2p + 1 points (linear phase) or p
// passes of a 3-point mean; `copy` is scratch of kPoints.
void SmoothLevel(float* v, float* copy, int p, bool lin_phase) {
    std::memcpy(copy, v, sizeof(float) * kPoints);
    if (lin_phase) {
        for (int j = p; j <= kPoints - 1 - p; ++j) {
            double sum = 0.0;
            for (int k = j - p; k <= j + p; ++k) sum += copy[k];
            v[j] = static_cast<float>(sum / (2 * p + 1));
        }
        return;
    }
    for (int pass = 0; pass < p; ++pass) {
        for (int j = 1; j < kPoints - 1; ++j) v[j] = (copy[j - 1] + copy[j] + copy[j + 1]) / 3.0f;
        std::memcpy(copy, v, sizeof(float) * kPoints);
    }
}

// The same for a phase curve; the 3-point passes leave a jump of 240 degrees or more alone.
void SmoothPhase(float* v, float* copy, int p, bool lin_phase) {
    std::memcpy(copy, v, sizeof(float) * kPoints);
    if (lin_phase) {
        SmoothLevel(v, copy, p, true);
        return;
    }
    for (int pass = 0; pass < p; ++pass) {
        std::memcpy(copy, v, sizeof(float) * kPoints);
        for (int j = 1; j < kPoints - 1;) {
            if (std::fabs(copy[j] - copy[j + 1]) >= 240.0f) {
                j += 2;
                continue;
            }
            v[j] = (copy[j - 1] + copy[j] + copy[j + 1]) / 3.0f;
            ++j;
        }
    }
}

}  // namespace

void RepairPhaseFlips(float* p, int points) {
    auto low = [&](int k) { return p[k] < -120.0f; };
    auto high = [&](int k) { return p[k] > 120.0f; };
    for (int j = 0; j + 5 < points; ++j) {
        for (int pass = 0; pass < 2; ++pass) {
            const bool up = pass == 0;  // low, run of high, low; then the other way round
            for (int run = 1; run <= 4; ++run) {
                bool match = up ? low(j) && low(j + run + 1) : high(j) && high(j + run + 1);
                for (int k = j + 1; match && k <= j + run; ++k) match = up ? high(k) : low(k);
                if (match) {
                    for (int k = j + 1; k <= j + run; ++k) p[k] = -p[k];
                }
            }
        }
    }
}

bool MlsGateWidthAccepted(platform::HWND owner, int n) {
    double width = 0.0;
    if (!shell::ReadTypedSlot(shell::Mls.MlsWindowWidthText, sizeof(shell::Mls.MlsWindowWidthText),
                              &width) ||
        !(width >= 1.0)) {
        Exclaim(owner, kMlsGateTooNarrow);
        return false;
    }
    if (width > n - 1) {
        Exclaim(owner, "Please reduce Timw Window Length");
        return false;
    }
    return true;
}

namespace {

// The checks that come before any result is touched: 0 when Calculate SPL may go on, with the
// transform length and the typed "Add dB To SPL"; 1 when refused.
int CheckMlsSplInputs(platform::HWND owner, int* n, double* add_db) {
    if (MlsRefPeak == 0 || MlsInPeak == 0) {
        Exclaim(owner, "Please Generate Impulse Response First");
        return 1;
    }
    const int order = MeasuredOrder();
    if (order < 2 || order > kMlsMaxOrder) return 1;
    *n = 1 << order;
    if (!MlsGateWidthAccepted(owner, *n)) return 1;
    if (MlsImpulseStart < 0 || MlsImpulseStart > kMlsSampleEntries - *n) {
        Exclaim(owner, "Please Choose A Gate Start Inside The Impulse Response");
        return 1;
    }
    *add_db = SlotValue(shell::Mls.MlsAddDbText, sizeof(shell::Mls.MlsAddDbText));
    if (!(std::fabs(*add_db) <= shell::kMostMlsAddDb)) {
        Exclaim(owner, kMlsAddDbOutOfRange);
        return 1;
    }
    return 0;
}

// Everything Calculate SPL writes, as it was before: a result no driver can hold is taken back.
struct MlsSplResults {
    explicit MlsSplResults(const shell::DriverRecord& driver)
        : spl(driver.Spl, driver.Spl + kPoints),
          phase(driver.Phase, driver.Phase + kPoints),
          correction(MlsRefCorrection, MlsRefCorrection + kPoints),
          ref(shell::MlsRefResponse, shell::MlsRefResponse + kPoints),
          in(shell::MlsInResponse, shell::MlsInResponse + kPoints),
          calculated(MlsSplCalculated) {}
    void Restore(shell::DriverRecord* driver) const {
        std::copy(spl.begin(), spl.end(), driver->Spl);
        std::copy(phase.begin(), phase.end(), driver->Phase);
        std::copy(correction.begin(), correction.end(), MlsRefCorrection);
        std::copy(ref.begin(), ref.end(), shell::MlsRefResponse);
        std::copy(in.begin(), in.end(), shell::MlsInResponse);
        MlsSplCalculated = calculated;
    }
    std::vector<float> spl, phase, correction;
    std::vector<shell::ComplexPoint> ref, in;
    std::int32_t calculated;
};

// The gating window as a curve: 145 x the Ref window from the gate start on.
void ShowGateWindowCurve(int start) {
    shell::CurveRecord* window = shell::MeasuredCurveTable[kWindowCurve];
    if (window == nullptr) return;
    window->v[kWindowShowFlag] = 1.0f;
    for (int i = 0; i < kPoints; ++i)
        window->v[i] = (i < start || i == 0) ? 0.0f : 145.0f * shell::GateWindowRef[i - start];
}

// MlsRefResponse: the Ref level, and the Ref phase in degrees, repaired.
void SetRefResponse(const GatedSpectrum& g) {
    std::vector<float> degrees(kPoints);
    for (int j = 0; j < kPoints; ++j) {
        shell::MlsRefResponse[j].re = g.ref_level[j];
        const float r = g.ref_re[j], i = g.ref_im[j];
        degrees[j] =
            g.bin_of[j] < 0
                ? 0.0f
                : static_cast<float>(kDegreesPerRadian * std::atan2(i, r == 0.0f ? 1e-9f : r));
    }
    RepairPhase(degrees.data(), kPoints);
    for (int j = 0; j < kPoints; ++j) shell::MlsRefResponse[j].im = degrees[j];
}

// The driver's SPL: the In level with the Ref correction and Add dB, then `passes` five-point
// means; MlsInResponse keeps the levels.
void SetInLevels(const GatedSpectrum& g, float add_db, int passes, shell::DriverRecord* driver) {
    shell::ComplexPoint* in_response = shell::MlsInResponse;
    for (int j = 0; j < kPoints; ++j) {
        driver->Spl[j] = g.in_level[j] + MlsRefCorrection[j] + add_db;
        in_response[j].re = driver->Spl[j];
    }
    for (int pass = 0; pass < passes; ++pass) {
        for (int j = 2; j < kPoints - 2; ++j) {
            driver->Spl[j] =
                0.2f * (in_response[j - 2].re + in_response[j - 1].re + in_response[j].re +
                        in_response[j + 1].re + in_response[j + 2].re);
        }
        for (int j = 0; j < kPoints; ++j) in_response[j].re = driver->Spl[j];
    }
}

// The driver's phase: the In phase against the Ref phase with its flips repaired.
void SetInPhases(const GatedSpectrum& g, shell::DriverRecord* driver) {
    std::vector<float> degrees = g.in_degrees;
    RepairPhaseFlips(degrees.data(), kPoints);
    for (int j = 0; j < kPoints; ++j) {
        shell::MlsInResponse[j].im = degrees[j];
        driver->Phase[j] = degrees[j];
    }
}

// The calibrations divided out of the driver's curves: microphone, then preamplifier.
void DivideOutCalibrations(shell::DriverRecord* driver) {
    for (int which = 0; which < 2; ++which) {
        const bool use =
            which == 0 ? shell::Mls.MlsUseMikeCal == 1 : shell::Mls.MlsUsePreampCal == 1;
        const shell::CalibrationPoint* cal =
            which == 0 ? shell::MikeCalibrationCurve : shell::PreampCalibrationCurve;
        if (!use || cal == nullptr) continue;
        for (int j = 0; j < kPoints; ++j) {
            const double mag = std::pow(10.0, 0.05 * driver->Spl[j]);
            const double ph = driver->Phase[j] / kDegreesPerRadian;
            const double hr = mag * std::cos(ph), hi = mag * std::sin(ph);
            const double k = -cal[j].Degrees / kDegreesPerRadian;
            const double scale = std::pow(10.0, 0.05 * cal[j].Db);
            const double qr = (hr * std::cos(k) - hi * std::sin(k)) / scale;
            double qi = (hr * std::sin(k) + hi * std::cos(k)) / scale;
            driver->Spl[j] = static_cast<float>(10.0 * std::log10(qr * qr + qi * qi + 1e-13));
            driver->Phase[j] =
                static_cast<float>(kDegreesPerRadian * std::atan2(qi, qr == 0.0 ? 1e-9 : qr));
        }
    }
}

// The final smoothing of both curves; MlsInResponse receives what the smoothing left in its
// scratch.
void SmoothDriverCurves(int passes, shell::DriverRecord* driver) {
    std::vector<float> scratch(kPoints);
    SmoothLevel(driver->Spl, scratch.data(), passes, MlsLinPhase == 1);
    for (int j = 0; j < kPoints; ++j) shell::MlsInResponse[j].re = scratch[j];
    SmoothPhase(driver->Phase, scratch.data(), passes, MlsLinPhase == 1);
    for (int j = 0; j < kPoints; ++j) shell::MlsInResponse[j].im = scratch[j];
}

// Levels and phases a driver file can carry (a calibration or a capture far out can leave them).
bool WithinDriverBounds(const shell::DriverRecord& driver) {
    for (int j = 0; j < kPoints; ++j) {
        if (!(driver.Spl[j] >= shell::kDriverLevelLowDb &&
              driver.Spl[j] <= shell::kDriverLevelHighDb &&
              std::fabs(driver.Phase[j]) <= shell::kDriverPhaseLimit))
            return false;
    }
    return true;
}

// The new curves into the next SPL and phase display slots.
void ShowMlsSplCurves(const shell::DriverRecord& driver) {
    const float efficiency =
        static_cast<float>(SlotValue(driver.Efficiency, sizeof(driver.Efficiency)));
    if (MlsSplSlot < 0 || MlsSplSlot > 9) MlsSplSlot = 0;
    if (MlsPhaseSlot < 0 || MlsPhaseSlot > 9) MlsPhaseSlot = 0;
    shell::CurveRecord* spl_curve = shell::MeasuredCurveTable[MlsSplSlot];
    shell::CurveRecord* phase_curve = shell::MeasuredCurveTable[10 + MlsPhaseSlot];
    if (spl_curve != nullptr && phase_curve != nullptr) {
        for (int j = 0; j < kPoints; ++j) {
            spl_curve->v[j] = driver.Spl[j] - efficiency;
            phase_curve->v[j] = driver.Phase[j];
        }
        spl_curve->v[shell::kCurveVisible] = 1.0f;
        phase_curve->v[shell::kCurveVisible] = 1.0f;
        SetPen(spl_curve, kColourFilterSpl);
        SetPen(phase_curve, kColourDriverSpl);
    }
    MlsSplSlot = MlsSplSlot >= 9 ? 0 : MlsSplSlot + 1;
    MlsPhaseSlot = MlsPhaseSlot >= 9 ? 0 : MlsPhaseSlot + 1;
}

}  // namespace

int CalculateMlsSpl(platform::HWND owner) {
    // Everything that can refuse is checked before any result is touched.
    int n = 0;
    double typed_add_db = 0.0;
    if (CheckMlsSplInputs(owner, &n, &typed_add_db) != 0) return 1;
    shell::DriverRecord* driver = shell::CurrentDriverRecord;
    float* fft = shell::FftWorkBuffer;
    // The impulses are read at the rate and length they were measured with, whatever the settings
    // say now.
    const int rate_index = MeasuredRateIndex();
    const int rate = MlsSampleRateAt(rate_index);
    if (driver == nullptr || shell::MlsFftBuffers[0] == nullptr ||
        shell::MlsFftBuffers[1] == nullptr || shell::MlsFftBuffers[2] == nullptr ||
        fft == nullptr || shell::MlsRefSamples == nullptr || shell::MlsInSamples == nullptr ||
        shell::MlsRefResponse == nullptr || shell::MlsInResponse == nullptr || rate == 0)
        return 1;

    const MlsSplResults before(*driver);
    MlsSplCalculated = 1;
    for (int j = 0; j < kPoints; ++j) {
        driver->Spl[j] = 1.0f;
        driver->Phase[j] = 0.0f;
        shell::MlsRefResponse[j] = {0.0f, 0.0f};
        shell::MlsInResponse[j] = {0.0f, 0.0f};
        MlsRefCorrection[j] = 0.0f;
    }
    BuildMlsWindows();
    ShowGateWindowCurve(MlsImpulseStart);

    // The curve goes to the SPL view, which draws it on the grid of its own pixel span: it is
    // computed on that grid, whatever rebuilt the shared grid since the view last painted.
    BuildMlsSplGrid();
    GateInput gate = MlsCaptureGate(shell::FrequencyGrid, kPoints, n, rate_index, MlsImpulseStart);
    gate.in_count = n;
    gate.in_window = shell::GateWindowIn;
    gate.delay_ms = SlotValue(shell::Mls.MlsPulseDelayText, sizeof(shell::Mls.MlsPulseDelayText));
    ComputeGatedSpectrum(gate, fft, &g_spectrum);
    const GatedSpectrum& spectrum = g_spectrum;

    std::copy(spectrum.correction.begin(), spectrum.correction.end(), MlsRefCorrection);
    SetRefResponse(spectrum);
    const int p = SmoothingPasses;
    SetInLevels(spectrum, static_cast<float>(typed_add_db), p, driver);
    SetInPhases(spectrum, driver);
    DivideOutCalibrations(driver);
    if (p > 0) SmoothDriverCurves(p, driver);

    if (!WithinDriverBounds(*driver)) {
        before.Restore(driver);
        for (float* buffer : shell::MlsFftBuffers)
            std::memset(buffer, 0, sizeof(float) * shell::kMlsFftBufferSplClearFloats);
        Exclaim(owner, kMlsResultOutOfRange);
        return 1;
    }
    ShowMlsSplCurves(*driver);
    ShowMlsSplPage(0);  // the new curve is on "SPL + Phase"
    return 0;
}

}  // namespace measurement
