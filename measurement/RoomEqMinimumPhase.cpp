#include "measurement/RoomEqMinimumPhase.h"

#include <cmath>

#include "driverdata/HbtTails.h"
#include "shell/FrequencyGrid.h"
#include "shell/NetworkTables.h"
#include "shell/StartupAllocation.h"
#include "solver/GainPhaseIntegral.h"
#include "solver/Globals.h"

namespace measurement {

float RoomEQFrequencyGrid[kRoomEqPoints];
float RoomEQExtendedGrid[kRoomEqExtendedPoints];
int RoomEQStartFrequencyIndex = kRoomEq10HzIndex;
int RoomEQStopFrequencyIndex = kRoomEq50kHzIndex;
float RoomEQWorkCurve[kRoomEqExtendedPoints];

namespace {

constexpr int kExt = kRoomEqExtendedPoints;
constexpr int kMeasuredCurve = 32;
constexpr int kCorrectionCurve = 24;
constexpr float kStoredOffset = 90.0f;

double g_phase[kExt];

float RangeStart() {
    const int i = RoomEQStartFrequencyIndex;
    return shell::kPlotStartFrequencies[(i >= 0 && i < shell::kPlotRangeCount) ? i : 3];
}
float RangeStop() {
    const int i = RoomEQStopFrequencyIndex;
    return shell::kPlotStopFrequencies[(i >= 0 && i < shell::kPlotRangeCount) ? i : 6];
}

const float* ParamsOf(int element) {
    if (element < 0 || element >= shell::kMaxElements) return nullptr;
    return shell::WorkingNetwork.ElementParams[element];
}

}  // namespace

void BuildRoomEqGrids() {
    for (int i = 0; i < kRoomEqPoints; ++i)
        RoomEQFrequencyGrid[i] = static_cast<float>(10.0 * std::pow(5000.0, (i + 1) / 2000.0));
    for (int k = 0; k < kExt; ++k) {
        RoomEQExtendedGrid[k] = static_cast<float>(10.0 * std::pow(5000.0, (k - 349) / 2000.0));
        RoomEQWorkCurve[k] = 0.0f;
    }
}

void RoomEqMinimumPhaseOf(const float* curve, float hp_stop, float hp_slope, float lp_start,
                          shell::ComplexPoint* out) {
    const float fstart = RangeStart();
    const float fstop = RangeStop();
    const float ppo = driverdata::HbtPointsPerOctave(fstart, fstop);
    const float* g = RoomEQExtendedGrid;
    float* w = RoomEQWorkCurve;
    for (int j = 0; j < kExt; ++j) w[j] = kStoredOffset;
    for (int k = 0; k < kRoomEqPoints; ++k) w[k + kRoomEqFirstStored] = curve[k] + kStoredOffset;

    int i = driverdata::TailIndex(g, kExt, driverdata::ClampTail(hp_stop, fstart, fstop));
    const float s = hp_slope / ppo;
    for (int u = i < kExt - 1 ? i : kExt - 2; u >= 0; --u) w[u] = w[u + 1] - s;
    i = driverdata::TailIndex(g, kExt, driverdata::ClampTail(lp_start, fstart, fstop));
    for (int u = i > 0 ? i : 1; u < kExt; ++u) w[u] = w[u - 1];
    for (int j = 0; j < kExt; ++j) w[j] -= kStoredOffset;

    // Below the grid the level goes on falling at the tail's slope, as in the Hilbert-Bode
    // calculation: a flat line there would leave a room that rolls off with too little phase
    // (about 13 degrees at 20 Hz for 12 dB/oct). Above it the level is held flat.
    const solver::GainPhaseInput input{g, w, hp_slope / 6.0, 0.0, true};
    solver::GainPhaseIntegral(input, kRoomEqFirstStored, kRoomEqFirstStored + kRoomEqPoints,
                              g_phase);
    for (int j = kRoomEqFirstStored; j < kRoomEqFirstStored + kRoomEqPoints; ++j) {
        const double m = std::pow(10.0, 0.05 * w[j]);
        out[j - kRoomEqFirstStored] = {static_cast<float>(m * std::cos(g_phase[j])),
                                       static_cast<float>(m * std::sin(g_phase[j]))};
    }
}

int ComputeMeasuredMinimumPhase(int element) {
    const float* p = ParamsOf(element);
    const shell::CurveRecord* curve = shell::RoomEQCurves[kMeasuredCurve];
    if (p == nullptr || curve == nullptr) return 1;
    const float fstart = RangeStart();
    float hp_stop = 10.2f;
    if (1.02f * fstart > hp_stop) hp_stop = 1.02f * fstart;
    float lp_start = 498.0f;
    if (1.02f * fstart > lp_start) lp_start = 1.02f * fstart;
    RoomEqMinimumPhaseOf(curve->v, hp_stop, p[shell::kParamProjectedSlope], lp_start,
                         solver::MinimumPhaseResult);
    return 0;
}

int ComputeRoomEQMinimumPhase(int element) {
    const float* p = ParamsOf(element);
    const shell::CurveRecord* curve = shell::RoomEQCurves[kCorrectionCurve];
    if (p == nullptr || curve == nullptr) return 1;
    const float from = p[shell::kParamF1];
    const float to = p[shell::kParamF2];
    if (!(from < to)) return 1;
    RoomEqMinimumPhaseOf(curve->v, from, 0.0f, to, solver::MinimumPhaseResult);
    return 0;
}

}  // namespace measurement
