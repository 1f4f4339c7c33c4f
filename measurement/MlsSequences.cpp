#include "measurement/MlsSequences.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "measurement/Globals.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Window.h"
#include "shell/ComplexFft.h"
#include "shell/FrameGlobals.h"
#include "shell/NumberText.h"
#include "shell/PreferencesRecord.h"
#include "shell/ProjectImage.h"
#include "shell/StartupAllocation.h"

namespace measurement {

const std::int32_t MlsTapTable[kMlsTapRows][kMlsTapSlots] = {
    {-1, -1, -1, -1}, {0, 1, -1, -1},   {1, 2, -1, -1},   {2, 3, -1, -1},   {0, 1, 3, 4},
    {4, 5, -1, -1},   {5, 6, -1, -1},   {1, 2, 4, 7},     {4, 8, -1, -1},   {6, 9, -1, -1},
    {8, 10, -1, -1},  {5, 7, 10, 11},   {8, 9, 11, 12},   {3, 7, 12, 13},   {13, 14, -1, -1},
    {3, 12, 14, 15},  {13, 16, -1, -1}, {10, 17, -1, -1}, {13, 16, 17, 18}, {16, 19, -1, -1},
    {18, 20, -1, -1}, {20, 21, -1, -1}, {17, 22, -1, -1}, {16, 21, 22, 23},
};

namespace {

int built_order = 0;

constexpr double kPi = 3.14159265358979323846;

int SequenceLength(int order) { return (1 << order) - 1; }

// The played sample of a pre-emphasised value, kept inside the 32-bit container.
std::int32_t ContainerSample(double value) {
    const double v = std::trunc(value);
    if (!(v > -2147483648.0)) return INT32_MIN;
    if (v > 2147483647.0) return INT32_MAX;
    return static_cast<std::int32_t>(v);
}

// The output delay as typed; false when it is not a whole number.
bool ReadOutputDelay(std::int32_t* delay) {
    char text[sizeof(shell::MlsOutputDelayText) + 1] = {};
    std::memcpy(text, shell::MlsOutputDelayText, sizeof(shell::MlsOutputDelayText));
    double value = 0.0;
    if (!shell::ReadTypedNumber(text, &value)) return false;
    if (value != std::floor(value) || value < -1e9 || value > 1e9) return false;
    *delay = static_cast<std::int32_t>(value);
    return true;
}

// y = circular convolution of the sequence with g[0..L-1], through the correlation: g is
// stored time-reversed in an overlap tail of the player, free while a measurement runs (the
// impulses the MLS views show, and Save IR writes, stay as they are until a capture replaces
// them; the room equalizer starts its runs over them).
void ConvolveWithSequence(const float* g, float* y, int length) {
    float* reversed = shell::OutputOverlapTails[3];
    for (int t = 0; t < length; ++t) reversed[length - 1 - t] = g[t];
    MlsCorrelate(reversed, reversed, length);
    for (int m = 0; m < length; ++m) y[length - 1 - m] = reversed[m];
}

// Fills the pre-emphasised signal y[0..L-1] (on the container's scale / 83386 / 256). false when
// the rate index or the scratch arrays are missing.
bool PreEmphasisSignal(int order, double time_constant_ms, float* y) {
    const int rate_index = shell::Mls.MlsSampleRateIndex;
    if (rate_index < 0 || rate_index >= shell::kSampleRateCount) return false;
    float* response = shell::OutputOverlapTails[0];
    float* impulse = shell::OutputOverlapTails[1];
    float* product = shell::OutputOverlapTails[2];
    if (response == nullptr || impulse == nullptr || product == nullptr ||
        shell::OutputOverlapTails[3] == nullptr)
        return false;
    const int n = 1 << order;
    const int length = n - 1;
    const double fs = std::atof(shell::SampleRateNames[rate_index]);
    const double df = fs / n;
    std::memset(response, 0, sizeof(float) * 2 * static_cast<std::size_t>(n));
    for (int k = 0; k < n / 2; ++k) {
        const double x = 0.001 * time_constant_ms * (2.0 * kPi * k * df);
        response[2 * k] = static_cast<float>(x * x / (1.0 + x * x));
        response[2 * k + 1] = static_cast<float>(x / (1.0 + x * x));
    }
    std::memset(impulse, 0, sizeof(float) * 2 * static_cast<std::size_t>(n));
    impulse[0] = 40.0f;
    shell::ComplexFft(2 * n, -1, impulse, shell::FftBitReverseTable, shell::FftTwiddleTable);
    std::memset(product, 0, sizeof(float) * 2 * static_cast<std::size_t>(n));
    for (int k = 0; k < n / 2; ++k) {
        const float ar = impulse[2 * k], ai = impulse[2 * k + 1];
        const float br = response[2 * k], bi = response[2 * k + 1];
        product[2 * k] = ar * br - ai * bi;
        product[2 * k + 1] = ar * bi + ai * br;
    }
    shell::ComplexFft(2 * n, 1, product, shell::FftBitReverseTable, shell::FftTwiddleTable);
    // The real parts are the filter's impulse response; `impulse` is free again and holds g.
    for (int t = 0; t < length; ++t) impulse[t] = product[2 * t];
    ConvolveWithSequence(impulse, y, length);
    return true;
}

void ShowDelayMessage(platform::HWND owner, int order) {
    char text[160];
    std::snprintf(text, sizeof(text),
                  "The MLS Output Delay Must Be A Whole Number Of Samples From 0 To %d",
                  MaxMlsOutputDelay(order));
    platform::MessageBox(owner, text, "QV Message", platform::MB_OK | platform::MB_ICONEXCLAMATION);
}

}  // namespace

int CurrentMlsOrder() { return built_order; }

int MaxMlsOutputDelay(int order) { return kMlsPlayedWords - 2 * SequenceLength(order); }

bool BuildMlsSequence(int order) {
    if (order < kMlsLowestOrder || order > kMlsMaxOrder) return false;
    std::int32_t* bits = shell::MlsBitBuffer;
    std::int32_t* perm_s = shell::MlsPermutationS;
    std::int32_t* perm_l = shell::MlsPermutationL;
    if (bits == nullptr || perm_s == nullptr || perm_l == nullptr) return false;
    const int length = SequenceLength(order);

    std::memset(bits, 0, sizeof(std::int32_t) * kMlsTableEntries);
    std::memset(perm_s, 0, sizeof(std::int32_t) * kMlsTableEntries);
    std::memset(perm_l, 0, sizeof(std::int32_t) * kMlsTableEntries);

    const std::int32_t* taps = MlsTapTable[order - 1];
    int tap_count = 0;
    while (tap_count < kMlsTapSlots && taps[tap_count] != -1) ++tap_count;

    std::uint32_t state = 1;
    for (int i = 0; i < length; ++i) {
        std::uint32_t fb = 0;
        for (int t = 0; t < tap_count; ++t) fb += state >> taps[t];
        fb &= 1u;
        state = 2u * state + fb;
        if (fb != 0) bits[i >> 5] |= static_cast<std::int32_t>(1u << (i & 31));
    }

    std::snprintf(MlsStatusLine, sizeof(MlsStatusLine),
                  "MLS %d,  Taps [ %d,%d,%d,%d ],  Length = %d   ", tap_count, taps[0], taps[1],
                  taps[2], taps[3], length);
    if (shell::MlsImpChildWindow != nullptr)
        platform::SetWindowText(shell::MlsImpChildWindow, MlsStatusLine);

    // Input tags: entry i is the n-bit window of the sequence ending at i, newest bit highest.
    // Each entry follows from the previous one by a shift.
    std::int32_t window = 0;
    for (int j = 0; j < order; ++j) {
        if (MlsBit(bits, (length - j) % length) != 0) window |= 1 << (order - 1 - j);
    }
    perm_s[0] = window;
    for (int i = 1; i < length; ++i) {
        window = (window >> 1) | (MlsBit(bits, i) << (order - 1));
        perm_s[i] = window;
    }

    // Output tags: for each column k, a position i whose window holds only bit k gives column
    // k of every lag m as the sequence bit (i - m) mod L.
    const std::int32_t all = (1 << order) - 1;
    std::int32_t found = 0;
    for (int i = 0; i < length && found != all; ++i) {
        int ones = 0;
        int column = -1;
        for (int k = 0; k < order; ++k) {
            if (MlsBit(bits, (i + length - k) % length) != 0) {
                ++ones;
                column = k;
            }
        }
        if (ones != 1 || (found & (1 << column)) != 0) continue;
        const std::int32_t bit = 1 << (order - 1 - column);
        for (int m = 0; m < length; ++m) {
            if (MlsBit(bits, (i + length - m) % length) != 0) perm_l[m] |= bit;
        }
        found |= 1 << column;
    }
    built_order = order;
    return true;
}

int GenerateMls32(int order, platform::HWND owner) {
    if (order < kMlsLowestOrder || order > kMlsMaxOrder) return 1;
    std::int32_t delay = 0;
    if (!ReadOutputDelay(&delay) || delay < 0 || delay > MaxMlsOutputDelay(order)) {
        ShowDelayMessage(owner, order);
        return 1;
    }
    std::int32_t* out = shell::MlsPlaybackBuffer;
    if (out == nullptr || shell::HadamardWork == nullptr) return 1;
    if (!BuildMlsSequence(order)) return 1;
    const int length = SequenceLength(order);
    const std::int32_t* bits = shell::MlsBitBuffer;

    std::memset(out, 0, sizeof(std::int32_t) * kMlsPlayedWords);
    const std::int32_t level = shell::Mls.MlsOutputLevel;
    const std::int32_t plain = level * kMlsLevelStep;

    double time_constant = 0.0;
    char text[sizeof(shell::Mls.MlsPreEmphasisText) + 1] = {};
    std::memcpy(text, shell::Mls.MlsPreEmphasisText, sizeof(shell::Mls.MlsPreEmphasisText));
    if (!shell::ReadTypedNumber(text, &time_constant)) time_constant = 0.0;

    float* emphasised = shell::FftWorkBuffer;
    if (time_constant > 0.0 && emphasised != nullptr &&
        PreEmphasisSignal(order, time_constant, emphasised)) {
        const bool both = shell::Mls.MlsBothChannels == 1;
        for (int i = 0; i < length; ++i) {
            const std::int32_t shaped = ContainerSample(83386.0 * emphasised[i] * 256.0);
            out[2 * i + delay] = both ? shaped : (MlsBit(bits, i) != 0 ? -plain : plain);
            out[2 * i + delay + 1] = shaped;
        }
        return 0;
    }
    for (int i = 0; i < length; ++i) {
        const std::int32_t v = MlsBit(bits, i) != 0 ? -plain : plain;
        out[2 * i + delay] = v;
        out[2 * i + delay + 1] = v;
    }
    return 0;
}

int GenerateMls16(int order) {
    if (!BuildMlsSequence(order)) return 1;
    if (shell::MlsPlaybackBuffer == nullptr) return 0;
    auto* image = reinterpret_cast<std::int16_t*>(shell::MlsPlaybackBuffer);
    std::memset(image, 0, sizeof(std::int16_t) * kMlsPlayedWords);
    std::int32_t delay = 0;
    const int length = SequenceLength(order);
    if (!ReadOutputDelay(&delay) || delay < 0 || delay > kMlsPlayedWords - length) return 0;
    const auto value = static_cast<std::int16_t>(320 * shell::Mls.MlsOutputLevel);
    const std::int32_t* bits = shell::MlsBitBuffer;
    for (int i = 0; i < length; ++i)
        image[delay + i] = static_cast<std::int16_t>(MlsBit(bits, i) != 0 ? -value : value);
    return 0;
}

void FastHadamardTransformOf(float* w, int n) {
    for (int h = 1; h < n; h *= 2) {
        for (int b = 0; b < n; b += 2 * h) {
            float* lo = w + b;
            float* hi = w + b + h;
            for (int j = 0; j < h; ++j) {
                const float a = lo[j];
                const float c = hi[j];
                lo[j] = a + c;
                hi[j] = a - c;
            }
        }
    }
}

int FastHadamardTransform(int n) {
    if (n <= 1 || shell::HadamardWork == nullptr) return 1;
    FastHadamardTransformOf(shell::HadamardWork, n);
    return 1;
}

void MlsCorrelate(const float* x, float* out, int count) {
    const int order = built_order;
    if (order == 0) return;
    const int n = 1 << order;
    const int length = n - 1;
    float* work = shell::HadamardWork;
    const std::int32_t* perm_s = shell::MlsPermutationS;
    const std::int32_t* perm_l = shell::MlsPermutationL;
    for (int i = 0; i < length; ++i) work[perm_s[i]] = x[i];
    work[0] = 0.0f;
    FastHadamardTransform(n);
    if (count > length) count = length;
    for (int m = 0; m < count; ++m) out[m] = work[perm_l[m]];
}

}  // namespace measurement
