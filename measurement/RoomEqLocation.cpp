#include "measurement/RoomEqLocation.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "measurement/CaptureFile.h"
#include "measurement/GatedSpectrum.h"
#include "measurement/GatingWindows.h"
#include "measurement/Globals.h"
#include "measurement/MlsDeconvolution.h"
#include "measurement/MlsSequences.h"
#include "measurement/MlsSpl.h"
#include "measurement/RoomEqMinimumPhase.h"
#include "platform/ui/MessageBox.h"
#include "shell/NetworkTables.h"
#include "shell/NumberText.h"
#include "shell/PreferencesRecord.h"
#include "shell/ProjectImage.h"
#include "shell/StartupAllocation.h"

namespace measurement {

namespace {

constexpr int kPoints = kRoomEqPoints;
constexpr double kDegreesPerRadian = 57.288;
constexpr double kRadiansPerDegree = 0.0174557;
constexpr int kCaptureWords = static_cast<int>(kMlsCaptureBytes / 4);
constexpr int kDropRepairLast = 781;

// Working curves of one location (2000 points each).
float g_level[kPoints];
float g_degrees[kPoints];
float g_scratch[kPoints];
// The gated spectrum of the last location, kept so that its arrays are allocated once.
GatedSpectrum g_spectrum;

float* Record(int r) {
    return shell::RoomEQCurves[r] == nullptr ? nullptr : shell::RoomEQCurves[r]->v;
}

void Exclaim(platform::HWND owner, const char* text) {
    platform::MessageBox(owner, text, "QV Message", platform::MB_OK | platform::MB_ICONEXCLAMATION);
}

std::int32_t CaptureWord(int word) {
    std::int32_t w;
    std::memcpy(&w, MlsCaptureCopy + 4 * static_cast<std::size_t>(word), sizeof(w));
    return w;
}

void SetImpulseRecord(int record, int pen, const float* x) {
    float* v = Record(record);
    if (v == nullptr) return;
    for (int i = 0; i < kPoints; ++i) v[i] = 0.01f * x[i];
    ShowRoomEqRecord(record, pen);
}

}  // namespace

void RepairPhaseDrops(float* u) {
    for (int j = 0; j <= kDropRepairLast;) {
        if (u[j + 3] < u[j] - 300.0f) {
            u[j + 1] = u[j];
            u[j + 2] = u[j];
            for (int m = j + 3; m < kPoints; ++m) u[m] += 360.0f;
            j = 0;
            continue;
        }
        ++j;
    }
}

void ShowRoomEqRecord(int record, int pen) {
    float* v = Record(record);
    if (v == nullptr) return;
    const shell::ColourEntry& c = shell::CurveColourScheme[pen];
    v[shell::kCurveVisible] = 1.0f;
    v[shell::kCurvePenRed] = static_cast<float>(c.Red);
    v[shell::kCurvePenGreen] = static_cast<float>(c.Green);
    v[shell::kCurvePenBlue] = static_cast<float>(c.Blue);
    v[shell::kCurvePenWidth] = static_cast<float>(c.Thickness);
    v[shell::kCurvePenStyle] = static_cast<float>(c.Type);
}

void BuildRoomEqWindowRecord() {
    float* v = Record(kRoomEqWindow);
    if (v == nullptr || shell::GateWindowRef == nullptr) return;
    const int start = MlsImpulseStart;
    for (int i = 0; i < kPoints; ++i)
        v[i] = (i < start || i == 0) ? 0.0f : 145.0f * shell::GateWindowRef[i - start];
}

void UnwrapDegrees(const float* deg, float* u, int points) {
    if (points <= 0) return;
    u[0] = deg[0];
    float offset = 0.0f;
    for (int j = 1; j < points; ++j) {
        float v = deg[j] + offset;
        if (std::fabs(u[j - 1] - v) > 180.0f) {
            if (v <= u[j - 1]) {
                v += 360.0f;
                offset += 360.0f;
            } else {
                v -= 360.0f;
                offset -= 360.0f;
            }
        }
        u[j] = v;
    }
}

void TenPointMean(const float* in, float* out, int points) {
    for (int j = 0; j + 9 < points; ++j) {
        float sum = 0.0f;
        for (int k = j; k <= j + 9; ++k) sum += in[k];
        out[j + 5] = 0.1f * sum;
    }
    for (int j = 0; j < 5; ++j) out[j] = out[5];
    for (int j = points - 5; j < points; ++j) out[j] = out[points - 6];
}

namespace {

// The capture of MlsCaptureCopy (kept in MlsCaptureSave) split into the scaled and signed Ref and
// In channels, with their peaks; then both deconvolved into impulses cut at the reference peak
// (which lands at sample 60), each shown in the location's impulse record.
LocationResult DeconvolveLocation(platform::HWND dialog, int location) {
    float* ref = shell::MlsRefSamples;
    float* in = shell::MlsInSamples;
    // The impulses of the MLS views are replaced below, so this capture becomes the held one
    // (Save IR writes what they show, and the auto-save writes it for this location).
    KeepMlsCapture();
    std::memset(ref, 0, sizeof(float) * kMlsSampleEntries);
    std::memset(in, 0, sizeof(float) * kMlsSampleEntries);
    MlsRefPeakLevel = 0.0f;
    MlsInPeakLevel = 0.0f;
    for (int f = 0; 2 * f + 1 < kCaptureWords; ++f) {
        const float r = static_cast<float>(CaptureWord(2 * f) >> 8) * kMlsSampleScale;
        const float i = static_cast<float>(CaptureWord(2 * f + 1) >> 8) * kMlsSampleScale;
        if (std::fabs(r) > MlsRefPeakLevel) MlsRefPeakLevel = std::fabs(r);
        if (std::fabs(i) > MlsInPeakLevel) MlsInPeakLevel = std::fabs(i);
        ref[f] = static_cast<float>(shell::MlsRefSign) * r;
        in[f] = static_cast<float>(shell::MlsDataSign) * i;
    }

    DeconvolveMlsChannel(ref, true, &MlsRefPeak);
    SetImpulseRecord(kRoomEqRefImpulse + location, kPenMlsRef, ref);
    RoomEQImpulseRates[location] = MeasuredSampleRate();
    std::int32_t in_peak = 0;
    DeconvolveMlsChannel(in, false, &in_peak);
    MlsInPeak = in_peak;
    if (MlsRefPeak == 0 || MlsInPeak == 0) {
        Exclaim(dialog, "Please Generate Impulse Response First");
        return LocationResult::kNoImpulse;
    }
    SetImpulseRecord(kRoomEqInImpulse + location, kPenMlsIn, in);
    return LocationResult::kDone;
}

// The gated spectrum on the room grid: the Ref window gates both channels; the In gate ends at
// the end of the impulse; the element's delay slot is turned out.
void ComputeRoomEqSpectrum(int n, int rate_index, const float* params, GatedSpectrum* spectrum) {
    const int start = MlsImpulseStart;
    GateInput gate = MlsCaptureGate(RoomEQFrequencyGrid, kPoints, n, rate_index, start);
    gate.in_count = std::clamp(kMlsSampleEntries - start, 0, n);
    gate.in_window = shell::GateWindowRef;
    gate.delay_ms = params[shell::kParamDelay];
    ComputeGatedSpectrum(gate, shell::FftWorkBuffer, spectrum);
    for (int j = 0; j < kPoints; ++j) {
        shell::MlsRefResponse[j].re = spectrum->ref_level[j];
        MlsRefCorrection[j] = spectrum->correction[j];
    }
}

// The location's level (into g_level): the reference correction and added dB, then the
// ten-point mean; and its phase (into g_degrees): unwrapped, drop-repaired and averaged.
void LevelAndPhase(const GatedSpectrum& spectrum, float add_db) {
    for (int j = 0; j < kPoints; ++j)
        g_scratch[j] = spectrum.in_level[j] + MlsRefCorrection[j] + add_db;
    TenPointMean(g_scratch, g_level, kPoints);
    UnwrapDegrees(spectrum.in_degrees.data(), g_scratch, kPoints);
    RepairPhaseDrops(g_scratch);
    TenPointMean(g_scratch, g_degrees, kPoints);
}

// The location's records from g_level and g_degrees (the phase wrapped again), with its
// holds-data flag.
void StoreLocation(int location) {
    float* level = Record(kRoomEqLevel + location);
    float* phase = Record(kRoomEqPhase + location);
    for (int j = 0; j < kPoints; ++j) {
        const double d = g_degrees[j] * kRadiansPerDegree;
        double c = std::cos(d);
        if (c == 0.0) c = 1e-9;
        shell::MlsInResponse[j] = {g_level[j], g_degrees[j]};
        shell::WorkResponsePairs[j] = {
            g_level[j], static_cast<float>(kDegreesPerRadian * std::atan2(std::sin(d), c))};
        level[j] = g_level[j] - 90.0f;
        phase[j] = shell::WorkResponsePairs[j].im;
    }
    ShowRoomEqRecord(kRoomEqLevel + location, kPenFilterSpl);
    ShowRoomEqRecord(kRoomEqPhase + location, kPenDriverSpl);
    level[shell::kCurveHoldsData] = 1.0f;
}

}  // namespace

LocationResult ProcessRoomEqLocation(platform::HWND dialog, int location, const float* params) {
    if (location < 0 || location >= kRoomEqLocations) return LocationResult::kMissing;
    const int rate = MlsSampleRate();
    if (MlsCaptureCopy == nullptr || MlsCaptureSave == nullptr || shell::MlsRefSamples == nullptr ||
        shell::MlsInSamples == nullptr || shell::FftWorkBuffer == nullptr ||
        Record(kRoomEqWindow) == nullptr || rate == 0 || MlsOrder < kMlsMinOrder ||
        MlsOrder > kMlsMaxOrder || MlsImpulseStart < 0)
        return LocationResult::kMissing;
    if (CurrentMlsOrder() != MlsOrder && !BuildMlsSequence(MlsOrder))
        return LocationResult::kMissing;

    // A gate width that is refused leaves the location as it was: its impulses, their rate and
    // its curves.
    const int n = 1 << MlsOrder;
    if (!MlsGateWidthAccepted(dialog, n)) return LocationResult::kWindowTooWide;

    const LocationResult impulses = DeconvolveLocation(dialog, location);
    if (impulses != LocationResult::kDone) return impulses;

    for (int j = 0; j < kPoints; ++j) {
        shell::MlsRefResponse[j] = {0.0f, 0.0f};
        shell::MlsInResponse[j] = {0.0f, 0.0f};
        shell::WorkResponsePairs[j] = {0.0f, 0.0f};
        MlsRefCorrection[j] = 0.0f;
    }
    BuildMlsWindows();
    BuildRoomEqWindowRecord();
    ShowRoomEqRecord(kRoomEqWindow, kPenMlsIn);

    ComputeRoomEqSpectrum(n, shell::Mls.MlsSampleRateIndex, params, &g_spectrum);
    LevelAndPhase(g_spectrum, params[shell::kParamAddDb]);
    StoreLocation(location);
    return LocationResult::kDone;
}

}  // namespace measurement
