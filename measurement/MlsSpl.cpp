#include "measurement/MlsSpl.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <initializer_list>
#include <vector>

#include "measurement/GatingWindows.h"
#include "measurement/Globals.h"
#include "measurement/MlsDeconvolution.h"
#include "measurement/MlsWindows.h"
#include "platform/ui/MessageBox.h"
#include "shell/ComplexFft.h"
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
constexpr double kTwoPi = 6.283185307179586;
constexpr int kWindowCurve = 22;
constexpr int kWindowShowFlag = 2002;
constexpr int kColourFilterSpl = 1;
constexpr int kColourDriverSpl = 2;
constexpr int kFftBufferFloats = 268000;

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

int CalculateMlsSpl(platform::HWND owner) {
    // Everything that can refuse is checked before any result is touched.
    if (MlsRefPeak == 0 || MlsInPeak == 0) {
        Exclaim(owner, "Please Generate Impulse Response First");
        return 1;
    }
    if (MlsOrder < 2 || MlsOrder > kMlsMaxOrder) return 1;
    const int n = 1 << MlsOrder;
    const double width =
        SlotValue(shell::Mls.MlsWindowWidthText, sizeof(shell::Mls.MlsWindowWidthText));
    if (width > n - 1) {
        Exclaim(owner, "Please reduce Timw Window Length");
        return 1;
    }
    if (MlsImpulseStart < 0 || MlsImpulseStart > kMlsSampleEntries - n) {
        Exclaim(owner, "Please Choose A Gate Start Inside The Impulse Response");
        return 1;
    }
    const double typed_add_db = SlotValue(shell::Mls.MlsAddDbText, sizeof(shell::Mls.MlsAddDbText));
    if (!(std::fabs(typed_add_db) <= shell::kMostMlsAddDb)) {
        Exclaim(owner, kMlsAddDbOutOfRange);
        return 1;
    }
    shell::DriverRecord* driver = shell::CurrentDriverRecord;
    float* re = shell::MlsFftBuffers[0];
    float* im = shell::MlsFftBuffers[1];
    float* ref_phase = shell::MlsFftBuffers[2];
    float* fft = shell::FftWorkBuffer;
    const int rate = MlsSampleRate();
    if (driver == nullptr || re == nullptr || im == nullptr || ref_phase == nullptr ||
        fft == nullptr || shell::MlsRefSamples == nullptr || shell::MlsInSamples == nullptr ||
        shell::MlsRefResponse == nullptr || shell::MlsInResponse == nullptr || rate == 0)
        return 1;

    shell::ComplexPoint* ref_response = shell::MlsRefResponse;
    shell::ComplexPoint* in_response = shell::MlsInResponse;
    // The results as they were: a result that is no driver's is taken back.
    const std::vector<float> spl_before(driver->Spl, driver->Spl + kPoints);
    const std::vector<float> phase_before(driver->Phase, driver->Phase + kPoints);
    const std::vector<float> correction_before(MlsRefCorrection, MlsRefCorrection + kPoints);
    const std::vector<shell::ComplexPoint> ref_before(ref_response, ref_response + kPoints);
    const std::vector<shell::ComplexPoint> in_before(in_response, in_response + kPoints);
    const std::int32_t calculated_before = MlsSplCalculated;
    MlsSplCalculated = 1;
    for (int j = 0; j < kPoints; ++j) {
        driver->Spl[j] = 1.0f;
        driver->Phase[j] = 0.0f;
        ref_response[j] = {0.0f, 0.0f};
        in_response[j] = {0.0f, 0.0f};
        MlsRefCorrection[j] = 0.0f;
    }

    BuildMlsWindows();
    const int start = MlsImpulseStart;
    if (shell::CurveRecord* window = shell::MeasuredCurveTable[kWindowCurve]; window != nullptr) {
        window->v[kWindowShowFlag] = 1.0f;
        for (int i = 0; i < kPoints; ++i)
            window->v[i] = (i < start || i == 0) ? 0.0f : 145.0f * shell::GateWindowRef[i - start];
    }

    const double fs = rate;
    const double df = fs / n;
    const float fmax = MlsUpperFrequency(shell::Mls.MlsSampleRateIndex);
    std::vector<std::int32_t> bin_of(kPoints);
    MapBinsToGrid(shell::FrequencyGrid, kPoints, df, fmax, n, bin_of.data());
    std::vector<float> level(kPoints), degrees(kPoints), scratch(kPoints);

    // Only the bins the grid reads are formed: bin_of[j] names grid point j's bin, and re, im
    // and ref_phase hold that bin's values at index j.
    std::vector<float> ref_re(kPoints), ref_im(kPoints), in_re(kPoints), in_im(kPoints);
    std::vector<float> ref_phase_at(kPoints);

    // Ref spectrum, level, correction and phase.
    for (int i = 0; i < n; ++i)
        fft[i] = shell::MlsRefSamples[kMlsLeadingZeros + i] * shell::GateWindowRef[i];
    RealSpectrumAtBins(fft, n, bin_of.data(), kPoints, ref_re.data(), ref_im.data());
    for (int j = 0; j < kPoints; ++j) {
        const double r = ref_re[j], i = ref_im[j];
        level[j] =
            bin_of[j] < 0 ? 0.0f : static_cast<float>(10.0 * std::log10(r * r + i * i + 1e-10));
    }
    FillLevelGaps(level.data(), kPoints);
    float loudest = 0.0f;
    for (int j = 0; j < kPoints; ++j) {
        ref_response[j].re = level[j];
        const float r = level[j] < 0.0001f ? 0.0001f : level[j];
        scratch[j] = r;
        if (std::fabs(r) > loudest) loudest = std::fabs(r);
    }
    for (int j = 0; j < kPoints; ++j)
        MlsRefCorrection[j] = shell::FrequencyGrid[j] >= fmax ? 0.0f : loudest - scratch[j];
    for (int j = 0; j < kPoints; ++j) {
        const float r = ref_re[j], i = ref_im[j];
        ref_phase_at[j] = bin_of[j] < 0 ? 0.0f : std::atan2(i, r == 0.0f ? 0.000001f : r);
        degrees[j] =
            bin_of[j] < 0
                ? 0.0f
                : static_cast<float>(kDegreesPerRadian * std::atan2(i, r == 0.0f ? 1e-9f : r));
    }
    RepairPhase(degrees.data(), kPoints);
    for (int j = 0; j < kPoints; ++j) ref_response[j].im = degrees[j];

    // In spectrum with the pulse delay taken out.
    for (int i = 0; i < n; ++i) fft[i] = shell::MlsInSamples[start + i] * shell::GateWindowIn[i];
    RealSpectrumAtBins(fft, n, bin_of.data(), kPoints, in_re.data(), in_im.data());
    const double delay_ms =
        SlotValue(shell::Mls.MlsPulseDelayText, sizeof(shell::Mls.MlsPulseDelayText));
    for (int j = 0; j < kPoints; ++j) {
        const int b = bin_of[j];
        if (b < 0) continue;
        // A sound that arrives later by the pulse delay carries e^(-j theta); turning it by
        // e^(+j theta) removes that delay.
        const double theta = b * df * 0.001 * delay_ms * kTwoPi;
        const double c = std::cos(theta), s = std::sin(theta);
        const double a = in_re[j], q = in_im[j];
        in_re[j] = static_cast<float>(a * c - q * s);
        in_im[j] = static_cast<float>(q * c + a * s);
    }
    for (int j = 0; j < kPoints; ++j) {
        const double r = in_re[j], i = in_im[j];
        level[j] =
            bin_of[j] < 0 ? 0.0f : static_cast<float>(10.0 * std::log10(r * r + i * i + 1e-13));
    }
    FillLevelGaps(level.data(), kPoints);
    const auto add_db = static_cast<float>(typed_add_db);
    for (int j = 0; j < kPoints; ++j) {
        driver->Spl[j] = level[j] + MlsRefCorrection[j] + add_db;
        in_response[j].re = driver->Spl[j];
    }
    const int p = SmoothingPasses;
    for (int pass = 0; pass < p; ++pass) {
        for (int j = 2; j < kPoints - 2; ++j) {
            driver->Spl[j] =
                0.2f * (in_response[j - 2].re + in_response[j - 1].re + in_response[j].re +
                        in_response[j + 1].re + in_response[j + 2].re);
        }
        for (int j = 0; j < kPoints; ++j) in_response[j].re = driver->Spl[j];
    }

    // In phase relative to the Ref phase.
    for (int j = 0; j < kPoints; ++j) {
        const int b = bin_of[j];
        if (b < 0) {
            degrees[j] = 0.0f;
            continue;
        }
        const double psi = ref_phase_at[j];
        const double c = std::cos(psi), s = std::sin(psi);
        double r2 = in_re[j] * c + in_im[j] * s;
        const double i2 = in_im[j] * c - in_re[j] * s;
        if (r2 == 0.0) r2 = 1e-9;
        degrees[j] = static_cast<float>(kDegreesPerRadian * std::atan2(i2, r2));
    }
    RepairPhase(degrees.data(), kPoints);
    RepairPhaseFlips(degrees.data(), kPoints);
    for (int j = 0; j < kPoints; ++j) {
        in_response[j].im = degrees[j];
        driver->Phase[j] = degrees[j];
    }

    // Calibrations divided out: microphone, then preamplifier.
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

    if (p > 0) {
        SmoothLevel(driver->Spl, scratch.data(), p, MlsLinPhase == 1);
        for (int j = 0; j < kPoints; ++j) in_response[j].re = scratch[j];
        SmoothPhase(driver->Phase, scratch.data(), p, MlsLinPhase == 1);
        for (int j = 0; j < kPoints; ++j) in_response[j].im = scratch[j];
    }

    // Levels and phases beyond what a driver file carries (a calibration or a capture far out):
    // the driver keeps its curves.
    bool usable = true;
    for (int j = 0; j < kPoints && usable; ++j) {
        usable = driver->Spl[j] >= shell::kDriverLevelLowDb &&
                 driver->Spl[j] <= shell::kDriverLevelHighDb &&
                 std::fabs(driver->Phase[j]) <= shell::kDriverPhaseLimit;
    }
    if (!usable) {
        std::copy(spl_before.begin(), spl_before.end(), driver->Spl);
        std::copy(phase_before.begin(), phase_before.end(), driver->Phase);
        std::copy(correction_before.begin(), correction_before.end(), MlsRefCorrection);
        std::copy(ref_before.begin(), ref_before.end(), ref_response);
        std::copy(in_before.begin(), in_before.end(), in_response);
        MlsSplCalculated = calculated_before;
        for (float* buffer : {re, im, ref_phase}) std::memset(buffer, 0, sizeof(float) * 536000);
        Exclaim(owner, kMlsResultOutOfRange);
        return 1;
    }

    // Display slots.
    const float efficiency =
        static_cast<float>(SlotValue(driver->Efficiency, sizeof(driver->Efficiency)));
    if (MlsSplSlot < 0 || MlsSplSlot > 9) MlsSplSlot = 0;
    if (MlsPhaseSlot < 0 || MlsPhaseSlot > 9) MlsPhaseSlot = 0;
    shell::CurveRecord* spl_curve = shell::MeasuredCurveTable[MlsSplSlot];
    shell::CurveRecord* phase_curve = shell::MeasuredCurveTable[10 + MlsPhaseSlot];
    if (spl_curve != nullptr && phase_curve != nullptr) {
        for (int j = 0; j < kPoints; ++j) {
            spl_curve->v[j] = driver->Spl[j] - efficiency;
            phase_curve->v[j] = driver->Phase[j];
        }
        spl_curve->v[shell::kCurveVisible] = 1.0f;
        phase_curve->v[shell::kCurveVisible] = 1.0f;
        SetPen(spl_curve, kColourFilterSpl);
        SetPen(phase_curve, kColourDriverSpl);
    }
    MlsSplSlot = MlsSplSlot >= 9 ? 0 : MlsSplSlot + 1;
    MlsPhaseSlot = MlsPhaseSlot >= 9 ? 0 : MlsPhaseSlot + 1;
    ShowMlsSplPage(0);  // the new curve is on "SPL + Phase"
    return 0;
}

}  // namespace measurement
