#include "measurement/MlsDeconvolution.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "measurement/CaptureFile.h"
#include "measurement/GatingWindows.h"
#include "measurement/Globals.h"
#include "measurement/MlsSequences.h"
#include "shell/NumberText.h"
#include "shell/PreferencesRecord.h"
#include "shell/ProjectImage.h"
#include "shell/StartupAllocation.h"

namespace measurement {

namespace {

constexpr int kMaxReadOffsetWords = 192000;
constexpr int kCaptureWords = static_cast<int>(kMlsCaptureBytes / 4);
constexpr int kColourMlsIn = 17;
constexpr int kColourMlsRef = 18;
constexpr int kRefImpulseCurve = 20;
constexpr int kInImpulseCurve = 21;

std::int32_t CaptureWord(const std::uint8_t* capture, int word) {
    if (word < 0 || word >= kCaptureWords) return 0;  // past the capture: silence
    std::int32_t w;
    std::memcpy(&w, capture + 4 * static_cast<std::size_t>(word), sizeof(w));
    return w;
}

// Words the In channel is read later by (Delay Read), 0 when it is not ticked.
int ReadOffsetWords() {
    if (shell::Mls.MlsDelayRead != 1) return 0;
    double ms = 0.0;
    if (!shell::ReadTypedSlot(shell::Mls.TextA778, sizeof(shell::Mls.TextA778), &ms)) ms = 0.0;
    const double frames = std::trunc(MlsSampleRate() * 0.001 * ms);
    if (!(frames > 0.0)) return 0;
    if (frames >= kMaxReadOffsetWords / 2) return kMaxReadOffsetWords;
    return 2 * static_cast<int>(frames);
}

void SetImpulseCurve(int entry, int colour, const float* x) {
    shell::CurveRecord* curve = shell::MeasuredCurveTable[entry];
    if (curve == nullptr) return;
    for (int i = 0; i < shell::kGridPoints; ++i) curve->v[i] = 0.01f * x[i];
    curve->v[shell::kCurveVisible] = 1.0f;
    const shell::ColourEntry& pen = shell::CurveColourScheme[colour];
    curve->v[shell::kCurvePenRed] = static_cast<float>(pen.Red);
    curve->v[shell::kCurvePenGreen] = static_cast<float>(pen.Green);
    curve->v[shell::kCurvePenBlue] = static_cast<float>(pen.Blue);
    curve->v[shell::kCurvePenWidth] = static_cast<float>(pen.Thickness);
    curve->v[shell::kCurvePenStyle] = static_cast<float>(pen.Type);
}

}  // namespace

int MlsSampleRateAt(int rate_index) {
    if (rate_index < 0 || rate_index >= shell::kSampleRateCount) return 0;
    return std::atoi(shell::SampleRateNames[rate_index]);
}

int MlsSampleRate() { return MlsSampleRateAt(shell::Mls.MlsSampleRateIndex); }

int MeasuredSampleRate() { return MlsSampleRateAt(MeasuredRateIndex()); }

void FillMlsWaveFormat(platform::WAVEFORMATEXTENSIBLE* format, platform::DWORD rate) {
    *format = platform::WAVEFORMATEXTENSIBLE{};
    format->Format.wFormatTag = platform::WAVE_FORMAT_EXTENSIBLE;
    format->Format.nChannels = 2;
    format->Format.nSamplesPerSec = rate;
    format->Format.wBitsPerSample = 32;
    format->Format.nBlockAlign = 8;
    format->Format.nAvgBytesPerSec = 8 * rate;
    format->Format.cbSize = 22;
    format->Samples.wValidBitsPerSample = 24;
    format->dwChannelMask = 0;
    format->SubFormat = platform::KSDATAFORMAT_SUBTYPE_PCM;
}

bool TakeMlsCapture(const void* data, std::size_t bytes) {
    if (MlsCaptureCopy == nullptr || data == nullptr) return false;
    if (bytes > kMlsCaptureBytes) bytes = kMlsCaptureBytes;
    std::memcpy(MlsCaptureCopy, data, bytes);
    return true;
}

void DeconvolveMlsChannel(float* x, bool is_ref, std::int32_t* peak) {
    const int length = (1 << CurrentMlsOrder()) - 1;
    const float inverse = 1.0f / static_cast<float>(length);
    float* c = shell::GateWindowRef;  // scratch; the windows are rebuilt afterwards
    float* work = shell::FftWorkBuffer;
    std::memcpy(c, x, sizeof(float) * kMlsTableEntries);

    // First pass: where the impulse of this channel arrives.
    const int search = length < kMlsPeakSearch ? length : kMlsPeakSearch;
    MlsCorrelate(c, work, search);
    int p = 0;
    float largest = 0.0f;
    for (int m = 0; m < search; ++m) {
        const float v = std::fabs(work[m] / static_cast<float>(length));
        if (v > largest) {
            largest = v;
            p = m;
        }
    }
    *peak = p;
    if (is_ref) MlsRefPeak = p;

    std::memset(shell::HadamardWork, 0, sizeof(float) * kMlsTableEntries);
    std::memset(work, 0, sizeof(float) * kMlsTableEntries);
    std::memset(x, 0, sizeof(float) * kMlsTableEntries);
    // The samples before the sound arrived are replaced by the same part of the next period.
    for (int i = 0; i < p; ++i) c[i] = c[length + i];
    // The sequence is played once, so the response that rings on after its end is captured after
    // it, not on the start of the period as a periodic excitation would leave it; without it the
    // low end of every measurement is wrong. Those frames are added back onto the period's start.
    for (int i = p; i < length && length + i < kMlsTableEntries; ++i) c[i] += c[length + i];

    MlsCorrelate(c, x, length);
    for (int i = 0; i < length; ++i) x[i] *= inverse;

    // Both channels are aligned on the Ref peak, which lands at sample 60.
    const int from = MlsRefPeak - 10;
    for (int i = 0; i < length; ++i) {
        const int k = from + i;
        work[i] = (k >= 0 && k < kMlsTableEntries) ? x[k] : 0.0f;
    }
    for (int i = 0; i < kMlsLeadingZeros; ++i) x[i] = 0.0f;
    for (int i = 0; i < length; ++i) x[kMlsLeadingZeros + i] = 2.0f * work[i];
    std::memset(work, 0, sizeof(float) * kMlsTableEntries);

    if (is_ref) {
        SetImpulseCurve(kRefImpulseCurve, kColourMlsRef, x);
        return;
    }
    if (shell::MlsInIrCopy != nullptr) {
        std::memset(shell::MlsInIrCopy, 0, sizeof(float) * kMlsSampleEntries);
        std::memcpy(shell::MlsInIrCopy, x, sizeof(float) * (kMlsLeadingZeros + length));
    }
    SetImpulseCurve(kInImpulseCurve, kColourMlsIn, x);
}

int ProcessMlsCapture() {
    if (MlsCaptureCopy == nullptr || MlsCaptureSave == nullptr || shell::MlsRefSamples == nullptr ||
        shell::MlsInSamples == nullptr)
        return 1;
    // The sequence first: a capture that cannot be deconvolved changes nothing, so the held
    // capture always is the one the impulses come from.
    if (MlsImpulseValid == 1 && CurrentMlsOrder() != MlsOrder && !BuildMlsSequence(MlsOrder))
        return 1;
    KeepMlsCapture();

    const int offset = ReadOffsetWords();
    float* ref = shell::MlsRefSamples;
    float* in = shell::MlsInSamples;
    std::memset(ref, 0, sizeof(float) * kMlsSampleEntries);
    std::memset(in, 0, sizeof(float) * kMlsSampleEntries);
    const float ref_sign = static_cast<float>(shell::MlsRefSign);
    const float in_sign = static_cast<float>(shell::MlsDataSign);
    MlsRefPeakLevel = 0.0f;
    MlsInPeakLevel = 0.0f;
    // The last frame of the buffer is not used.
    for (int f = 0; f < static_cast<int>(kMlsCaptureFrames) - 1; ++f) {
        const float r =
            static_cast<float>(CaptureWord(MlsCaptureCopy, 2 * f) >> 8) * kMlsSampleScale;
        const float i = static_cast<float>(CaptureWord(MlsCaptureCopy, 2 * f + 1 + offset) >> 8) *
                        kMlsSampleScale;
        if (std::fabs(r) > MlsRefPeakLevel) MlsRefPeakLevel = std::fabs(r);
        if (std::fabs(i) > MlsInPeakLevel) MlsInPeakLevel = std::fabs(i);
        ref[f] = ref_sign * r;
        in[f] = in_sign * i;
    }

    if (MlsImpulseValid == 1) {
        std::int32_t in_peak = 0;
        DeconvolveMlsChannel(ref, true, &MlsRefPeak);
        DeconvolveMlsChannel(in, false, &in_peak);
        MlsInPeak = in_peak;
        BuildMlsWindows();
    }
    return 0;
}

}  // namespace measurement
