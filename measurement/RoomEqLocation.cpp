#include "measurement/RoomEqLocation.h"

#include <cmath>
#include <cstring>

#include "measurement/CaptureFile.h"
#include "measurement/GatingWindows.h"
#include "measurement/Globals.h"
#include "measurement/MlsDeconvolution.h"
#include "measurement/MlsSequences.h"
#include "measurement/MlsSpl.h"
#include "measurement/RoomEqMinimumPhase.h"
#include "platform/ui/MessageBox.h"
#include "shell/ComplexFft.h"
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
constexpr double kTwoPi = 6.283185307179586;
constexpr int kFftBufferFloats = 268000;
constexpr int kCaptureWords = static_cast<int>(kMlsCaptureBytes / 4);
constexpr int kDropRepairLast = 781;

// Working curves of one location (2000 points each).
float g_level[kPoints];
float g_degrees[kPoints];
float g_scratch[kPoints];
std::int32_t g_bin_of[kPoints];

float* Record(int r) { return shell::RoomEQCurves[r] == nullptr ? nullptr : shell::RoomEQCurves[r]->v; }

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

LocationResult ProcessRoomEqLocation(platform::HWND dialog, int location, const float* params) {
    if (location < 0 || location >= kRoomEqLocations) return LocationResult::kMissing;
    float* ref = shell::MlsRefSamples;
    float* in = shell::MlsInSamples;
    float* re = shell::MlsFftBuffers[0];
    float* im = shell::MlsFftBuffers[1];
    float* ref_phase = shell::MlsFftBuffers[2];
    float* fft = shell::FftWorkBuffer;
    const int rate = MlsSampleRate();
    if (MlsCaptureCopy == nullptr || MlsCaptureSave == nullptr || ref == nullptr ||
        in == nullptr || re == nullptr || im == nullptr || ref_phase == nullptr ||
        fft == nullptr || Record(kRoomEqWindow) == nullptr || rate == 0 || MlsOrder < kMlsMinOrder ||
        MlsOrder > kMlsMaxOrder)
        return LocationResult::kMissing;
    if (CurrentMlsOrder() != MlsOrder && !BuildMlsSequence(MlsOrder))
        return LocationResult::kMissing;

    // Split, scale and sign both channels.
    std::memcpy(MlsCaptureSave, MlsCaptureCopy, kMlsCaptureBytes);
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

    // Impulses, both cut at the reference peak (which lands at sample 60).
    DeconvolveMlsChannel(ref, true, &MlsRefPeak);
    SetImpulseRecord(kRoomEqRefImpulse + location, kPenMlsRef, ref);
    std::int32_t in_peak = 0;
    DeconvolveMlsChannel(in, false, &in_peak);
    MlsInPeak = in_peak;
    if (MlsRefPeak == 0 || MlsInPeak == 0) {
        Exclaim(dialog, "Please Generate Impulse Response First");
        return LocationResult::kNoImpulse;
    }
    SetImpulseRecord(kRoomEqInImpulse + location, kPenMlsIn, in);

    const int n = 1 << MlsOrder;
    for (int j = 0; j < kPoints; ++j) {
        shell::MlsRefResponse[j] = {0.0f, 0.0f};
        shell::MlsInResponse[j] = {0.0f, 0.0f};
        shell::WorkResponsePairs[j] = {0.0f, 0.0f};
        MlsRefCorrection[j] = 0.0f;
    }
    double width = 0.0;
    if (!shell::ReadTypedSlot(shell::Mls.MlsWindowWidthText, sizeof(shell::Mls.MlsWindowWidthText),
                              &width))
        width = 0.0;
    if (width > n - 1) {
        Exclaim(dialog, "Please reduce Timw Window Length");
        return LocationResult::kWindowTooWide;
    }
    BuildMlsWindows();
    BuildRoomEqWindowRecord();
    ShowRoomEqRecord(kRoomEqWindow, kPenMlsIn);

    const double df = static_cast<double>(rate) / n;
    const float fmax = MlsUpperFrequency(shell::Mls.MlsSampleRateIndex);
    MapBinsToGrid(RoomEQFrequencyGrid, kPoints, df, fmax, n, g_bin_of);

    // Reference spectrum: level, the correction to its loudest point, and its phase per bin.
    std::memset(re, 0, sizeof(float) * kFftBufferFloats);
    std::memset(im, 0, sizeof(float) * kFftBufferFloats);
    std::memset(fft, 0, sizeof(float) * 2 * static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) fft[2 * i] = ref[kMlsLeadingZeros + i] * shell::GateWindowRef[i];
    shell::ComplexFft(2 * n, -1, fft, shell::FftBitReverseTable, shell::FftTwiddleTable);
    for (int i = 0; i < n; ++i) {
        re[i] = fft[2 * i];
        im[i] = fft[2 * i + 1];
        ref_phase[i] = std::atan2(im[i], re[i] == 0.0f ? 0.000001f : re[i]);
    }
    for (int j = 0; j < kPoints; ++j) {
        const int b = g_bin_of[j];
        g_level[j] = b < 0 ? 0.0f
                           : static_cast<float>(10.0 * std::log10(static_cast<double>(re[b]) * re[b] +
                                                                  static_cast<double>(im[b]) * im[b] +
                                                                  1e-10));
    }
    FillLevelGaps(g_level, kPoints);
    float loudest = 0.0f;
    for (int j = 0; j < kPoints; ++j) {
        shell::MlsRefResponse[j].re = g_level[j];
        g_scratch[j] = g_level[j] < 0.0001f ? 0.0001f : g_level[j];
        if (std::fabs(g_scratch[j]) > loudest) loudest = std::fabs(g_scratch[j]);
    }
    for (int j = 0; j < kPoints; ++j)
        MlsRefCorrection[j] = RoomEQFrequencyGrid[j] >= fmax ? 0.0f : loudest - g_scratch[j];

    // Measured spectrum with the element's delay taken out: a sound that arrives later by tau
    // carries e^(-j theta), so turning it by e^(+j theta) removes the delay.
    std::memset(re, 0, sizeof(float) * kFftBufferFloats);
    std::memset(im, 0, sizeof(float) * kFftBufferFloats);
    std::memset(fft, 0, sizeof(float) * 2 * static_cast<std::size_t>(n));
    const int start = MlsImpulseStart;
    for (int i = 0; i < n && start + i < kMlsSampleEntries; ++i)
        fft[2 * i] = in[start + i] * shell::GateWindowRef[i];
    shell::ComplexFft(2 * n, -1, fft, shell::FftBitReverseTable, shell::FftTwiddleTable);
    const double tau_ms = params[shell::kParamDelay];
    for (int i = 0; i < n; ++i) {
        const double w = i * df * 0.001 * tau_ms * kTwoPi;
        const double c = std::cos(w), s = std::sin(w);
        const double a = fft[2 * i], b = fft[2 * i + 1];
        re[i] = static_cast<float>(a * c - b * s);
        im[i] = static_cast<float>(b * c + a * s);
    }
    for (int j = 0; j < kPoints; ++j) {
        const int b = g_bin_of[j];
        g_level[j] = b < 0 ? 0.0f
                           : static_cast<float>(10.0 * std::log10(static_cast<double>(re[b]) * re[b] +
                                                                  static_cast<double>(im[b]) * im[b] +
                                                                  1e-13));
    }
    FillLevelGaps(g_level, kPoints);

    // Level: reference correction and added dB, then the ten-point mean.
    const float add_db = params[shell::kParamAddDb];
    for (int j = 0; j < kPoints; ++j) g_scratch[j] = g_level[j] + MlsRefCorrection[j] + add_db;
    TenPointMean(g_scratch, g_level, kPoints);

    // Phase against the reference phase, repaired, unwrapped, drop-repaired, averaged, re-wrapped.
    for (int j = 0; j < kPoints; ++j) {
        const int b = g_bin_of[j];
        if (b < 0) {
            g_degrees[j] = 0.0f;
            continue;
        }
        const double psi = ref_phase[b];
        const double c = std::cos(psi), s = std::sin(psi);
        double a = re[b] * c + im[b] * s;
        const double bb = -re[b] * s + im[b] * c;
        if (a == 0.0) a = 1e-9;
        g_degrees[j] = static_cast<float>(kDegreesPerRadian * std::atan2(bb, a));
    }
    RepairPhase(g_degrees, kPoints);
    UnwrapDegrees(g_degrees, g_scratch, kPoints);
    RepairPhaseDrops(g_scratch);
    TenPointMean(g_scratch, g_degrees, kPoints);

    float* level = Record(kRoomEqLevel + location);
    float* phase = Record(kRoomEqPhase + location);
    for (int j = 0; j < kPoints; ++j) {
        const double d = g_degrees[j] * kRadiansPerDegree;
        double c = std::cos(d);
        if (c == 0.0) c = 1e-9;
        shell::MlsInResponse[j] = {g_level[j], g_degrees[j]};
        shell::WorkResponsePairs[j] = {g_level[j],
                                       static_cast<float>(kDegreesPerRadian * std::atan2(std::sin(d), c))};
        level[j] = g_level[j] - 90.0f;
        phase[j] = shell::WorkResponsePairs[j].im;
    }
    ShowRoomEqRecord(kRoomEqLevel + location, kPenFilterSpl);
    ShowRoomEqRecord(kRoomEqPhase + location, kPenDriverSpl);
    level[shell::kCurveHoldsData] = 1.0f;
    std::memset(re, 0, sizeof(float) * kFftBufferFloats);
    std::memset(im, 0, sizeof(float) * kFftBufferFloats);
    return LocationResult::kDone;
}

}  // namespace measurement
