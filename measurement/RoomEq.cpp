#include "measurement/RoomEq.h"

#include <cmath>
#include <cstring>

#include "measurement/RoomEqLocation.h"
#include "measurement/RoomEqMinimumPhase.h"
#include "shell/FrequencyGrid.h"
#include "shell/Globals.h"
#include "shell/NetworkTables.h"
#include "shell/StartupAllocation.h"
#include "solver/Globals.h"

namespace measurement {

const char* const OutputPortNames[kOutputPortNameCount] = {
    "Output Port 1",  "Output Port 2",  "Output Port 3",  "Output Port 4",  "Output Port 5",
    "Output Port 6",  "Output Port 7",  "Output Port 8",  "Output Port 9",  "Output Port 10",
    "Output Port 11", "Output Port 12", "Output Port 13", "Output Port 14", "Output Port 15",
    "Output Port 16", "No Correction",
};

// Start values from ResetRoomEqState (below), before main runs and on every reset.
std::int32_t RoomEQLocation;
std::int32_t RoomEQThresholdPos;
float RoomEQThresholdLine[shell::kGridPoints];
std::int32_t RoomEQShowEqPhase;
std::int32_t RoomEQShowEqSpl;
std::int32_t RoomEQShowEqualized;
float RoomEQRefPeakLevel;
float RoomEQInPeakLevel;
std::int32_t RoomEQImpulseRates[kRoomEqLocations];

namespace {

constexpr int kPoints = kRoomEqPoints;
constexpr double kDegreesPerRadian = 57.288;
constexpr double kRadiansPerDegree = 0.0174557;
// Group delay in ms from a phase slope in degrees per Hz: -1000 / 360.
constexpr double kMsPerDegreeHz = -1000.0 / 360.0;

float* Record(int r) {
    return shell::RoomEQCurves[r] == nullptr ? nullptr : shell::RoomEQCurves[r]->v;
}

bool RecordsPresent() {
    for (int r = 0; r < shell::kRoomEqCurveCount; ++r)
        if (shell::RoomEQCurves[r] == nullptr) return false;
    return true;
}

// Degrees of a complex point, the real part 0 taken as 1e-9.
float DegreesOf(double re, double im) {
    if (re == 0.0) re = 1e-9;
    return static_cast<float>(kDegreesPerRadian * std::atan2(im, re));
}

// The average's level and phase from a complex sum over `count` locations.
void StoreAverage(float* level, float* phase, int j, double re, double im) {
    level[j] = static_cast<float>(10.0 * std::log10(re * re + im * im + 1e-13) - 90.0);
    phase[j] = DegreesOf(re, im);
}

// The first output port (scanning while slots hold elements) whose sound-card output is
// `port_index` + 1, or -1.
int CorrectingPort(int port_index) {
    const shell::NetworkTables& net = shell::WorkingNetwork;
    for (int e = 0; e < shell::kMaxElements && net.ElementGeometry[e].kind > 0; ++e) {
        if (net.ElementGeometry[e].kind == shell::kElementOutputPort &&
            net.ElementParams[e][shell::kParamOutputPort] - 1.0f == static_cast<float>(port_index))
            return e;
    }
    return -1;
}

shell::ComplexPoint g_resampled[kPoints];
shell::ComplexPoint g_correction[kPoints];

}  // namespace

const char* RoomEqChannelWord(int pane) {
    static const char* const kWords[7] = {"Front_Left", "Centre",     "Front_Right", "Rear_Left",
                                          "Subwoofer",  "Rear_Right", "Subwoofer_2"};
    return (pane >= 1 && pane <= 7) ? kWords[pane - 1] : nullptr;
}

std::string RoomEqAutoSavePath(int pane, int location) {
    const char* word = RoomEqChannelWord(pane);
    if (word == nullptr || location < 0 || location >= kRoomEqLocations) return {};
    return std::string(shell::ProgramDirectory) + word + "_L" + std::to_string(location + 1) +
           ".res";
}

void ResampleComplexLog(const float* from_f, const shell::ComplexPoint* from, int from_points,
                        const float* to_f, shell::ComplexPoint* to, int to_points) {
    int k = 0;
    for (int i = 0; i < to_points; ++i) {
        const float f = to_f[i];
        if (from_points < 1 || !(f >= from_f[0]) || !(f <= from_f[from_points - 1])) {
            to[i] = {1.0f, 0.0f};
            continue;
        }
        while (k + 1 < from_points && from_f[k + 1] < f) ++k;
        if (k + 1 >= from_points || f == from_f[k]) {
            to[i] = from[k];
            continue;
        }
        const double t = std::log(f / from_f[k]) / std::log(from_f[k + 1] / from_f[k]);
        to[i] = {static_cast<float>(from[k].re + t * (from[k + 1].re - from[k].re)),
                 static_cast<float>(from[k].im + t * (from[k + 1].im - from[k].im))};
    }
}

int EvaluateRoomEq(int element, RoomEqEvaluation caller) {
    if (element < 0 || element >= shell::kMaxElements || !RecordsPresent()) return 1;
    const float* p = shell::WorkingNetwork.ElementParams[element];
    const bool scalar = p[shell::kParamScalarAverage] == 1.0f;
    float* avg = Record(kRoomEqAverage);
    float* avg_ph = Record(kRoomEqAveragePh);
    for (int j = 0; j < kPoints; ++j) avg[j] = avg_ph[j] = 0.0f;

    // Average of the measured locations.
    static double sum_re[kPoints], sum_im[kPoints];
    for (int j = 0; j < kPoints; ++j) sum_re[j] = sum_im[j] = 0.0;
    int count = 0;
    for (int l = 0; l < kRoomEqLocations; ++l) {
        const float* level = Record(kRoomEqLevel + l);
        if (level[shell::kCurveHoldsData] != 1.0f) continue;
        const float* phase = Record(kRoomEqPhase + l);
        for (int j = 0; j < kPoints; ++j) {
            const double m = std::pow(10.0, 0.05 * (level[j] + 90.0));
            const double phi = phase[j] * kRadiansPerDegree;
            sum_re[j] += scalar ? m : m * std::cos(phi);
            sum_im[j] += scalar ? 0.0 : m * std::sin(phi);
        }
        ++count;
    }
    if (count > 0) {
        for (int j = 0; j < kPoints; ++j) {
            StoreAverage(avg, avg_ph, j, sum_re[j] / count, sum_im[j] / count);
            if (scalar) avg_ph[j] = 0.0f;
        }
    }
    ShowRoomEqRecord(kRoomEqAverage, kPenFilterSpl);
    ShowRoomEqRecord(kRoomEqAveragePh, kPenDriverSpl);

    // Driver correction: the port's curve lives on FrequencyGrid; outside it nothing changes.
    const float port = p[shell::kParamCorrectionPort];
    if (port != static_cast<float>(kNoDriverCorrection)) {
        const int e = CorrectingPort(static_cast<int>(port));
        if (e >= 0) {
            ResampleComplexLog(shell::FrequencyGrid, shell::WorkingNetwork.ElementTransfer[e],
                               shell::kGridPoints, RoomEQFrequencyGrid, g_resampled, kPoints);
            for (int j = 0; j < kPoints; ++j) {
                const double m = std::pow(10.0, 0.05 * (avg[j] + 90.0));
                const double phi = avg_ph[j] * kRadiansPerDegree;
                const double a = m * std::cos(phi), b = m * std::sin(phi);
                const double c = g_resampled[j].re, d = g_resampled[j].im;
                StoreAverage(avg, avg_ph, j, a * c - b * d, a * d + b * c);
            }
        }
    }

    // The cut-only correction under the threshold, inside From < f <= To.
    const float t = static_cast<float>(RoomEqThreshold(RoomEQThresholdPos));
    const float from = p[shell::kParamF1];
    const float to = p[shell::kParamF2];
    float* corr = Record(kRoomEqCorrection);
    float* equalized = Record(kRoomEqEqualized);
    for (int j = 0; j < kPoints; ++j) {
        const float f = RoomEQFrequencyGrid[j];
        corr[j] = (avg[j] > t && from < f && f <= to) ? t - avg[j] : 0.0f;
        RoomEQThresholdLine[j] = t;
        equalized[j] = avg[j] + corr[j];
    }
    ShowRoomEqRecord(kRoomEqCorrection, kPenRoomEqSpl);
    ShowRoomEqRecord(kRoomEqEqualized, kPenEqualizedRoom);

    // The correction's own minimum phase (not that of its inverse: the stored correction must be
    // minimum phase itself).
    for (auto& m : solver::MinimumPhaseResult) m = {1.0f, 0.0f};
    ComputeRoomEQMinimumPhase(element);
    float* corr_ph = Record(kRoomEqCorrectionPh);
    for (int j = 0; j < kPoints; ++j)
        corr_ph[j] = DegreesOf(solver::MinimumPhaseResult[j].re, solver::MinimumPhaseResult[j].im);
    ShowRoomEqRecord(kRoomEqCorrectionPh, kPenRoomEqPhase);

    // Excess phase: the average's phase minus its minimum phase.
    for (auto& m : solver::MinimumPhaseResult) m = {1.0f, 0.0f};
    ComputeMeasuredMinimumPhase(element);
    float* inv = Record(kRoomEqAverageMinPh);
    float* excess = Record(kRoomEqExcessPhase);
    for (int j = 0; j < kPoints; ++j) {
        const double re = solver::MinimumPhaseResult[j].re, im = solver::MinimumPhaseResult[j].im;
        const double m2 = re * re + im * im;
        inv[j] = m2 > 0.0 ? DegreesOf(re / m2, -im / m2) : 0.0f;
        excess[j] = scalar ? avg_ph[j] : inv[j] + avg_ph[j];
    }
    float* unwrapped = Record(kRoomEqExcessUnwrapped);
    float* mean = Record(kRoomEqExcessMean);
    UnwrapDegrees(excess, unwrapped, kPoints);
    for (int j = 0; j + 2 < kPoints; ++j)
        mean[j + 1] = (unwrapped[j] + unwrapped[j + 1] + unwrapped[j + 2]) / 3.0f;
    mean[0] = mean[1];
    if (caller == RoomEqEvaluation::kLocationRoad) mean[0] = mean[1] = mean[2];
    mean[kPoints - 1] = mean[kPoints - 2] = mean[kPoints - 3];
    float* delay = Record(kRoomEqGroupDelay);
    for (int j = 0; j + 1 < kPoints; ++j) {
        const double df = RoomEQFrequencyGrid[j + 1] - RoomEQFrequencyGrid[j];
        delay[j] = static_cast<float>(kMsPerDegreeHz * (mean[j + 1] - mean[j]) / df);
    }
    delay[kPoints - 1] = delay[kPoints - 2];
    ShowRoomEqRecord(kRoomEqGroupDelay, kPenGroupDelay);
    return 0;
}

int StoreRoomEqCorrection(int element) {
    if (element < 0 || element >= shell::kMaxElements || !RecordsPresent()) return 1;
    const float* p = shell::WorkingNetwork.ElementParams[element];
    const bool amplitude_only = p[shell::kParamAmplitudeOnly] == 1.0f;
    const float* corr = Record(kRoomEqCorrection);
    const float* corr_ph = Record(kRoomEqCorrectionPh);
    for (int j = 0; j < kPoints; ++j) {
        const double m = std::pow(10.0, 0.05 * corr[j]);
        const double phi = amplitude_only ? 0.0 : corr_ph[j] * kRadiansPerDegree;
        g_correction[j] = {static_cast<float>(m * std::cos(phi)),
                           static_cast<float>(m * std::sin(phi))};
    }
    // The solver applies point i at FrequencyGrid[i], whatever plot range built that grid.
    ResampleComplexLog(RoomEQFrequencyGrid, g_correction, kPoints, shell::FrequencyGrid,
                       shell::WorkingNetwork.ElementTransfer[element], shell::kGridPoints);
    return 0;
}

void ClearRoomEqData() {
    for (int r = 0; r < shell::kRoomEqCurveCount; ++r)
        if (shell::RoomEQCurves[r] != nullptr)
            std::memset(shell::RoomEQCurves[r], 0, sizeof(shell::CurveRecord));
    RoomEQLocation = 0;
    RoomEQRefPeakLevel = 0.0f;
    RoomEQInPeakLevel = 0.0f;
    for (std::int32_t& rate : RoomEQImpulseRates) rate = 0;
}

void ResetRoomEqState() {
    RoomEQLocation = 0;
    RoomEQThresholdPos = 70;
    for (float& t : RoomEQThresholdLine) t = 0.0f;
    RoomEQShowEqPhase = RoomEQShowEqSpl = RoomEQShowEqualized = 1;
    RoomEQRefPeakLevel = RoomEQInPeakLevel = 0.0f;
    RoomEQStartFrequencyIndex = kRoomEq10HzIndex;
    RoomEQStopFrequencyIndex = kRoomEq50kHzIndex;
    for (std::int32_t& rate : RoomEQImpulseRates) rate = 0;
}

namespace {
[[maybe_unused]] const bool kRoomEqStateReady = (ResetRoomEqState(), true);
}  // namespace

}  // namespace measurement
