#include "driverdata/HbtInput.h"

#include "driverdata/NumberTokens.h"
#include "platform/ui/MessageBox.h"
#include "shell/Curves.h"
#include "shell/FrameGlobals.h"
#include "shell/StartupAllocation.h"

namespace driverdata {

namespace {

constexpr int kPoints = shell::kGridPoints;

// Fills the gaps of a curve: bins before the first valid bin take its value, bins after the last
// valid bin take its value, and the bins between two valid bins lie on the straight line between
// them. With no valid bin nothing changes.
template <class Valid>
void FillGaps(float* curve, Valid valid) {
    int first = -1;
    for (int k = 0; k < kPoints; ++k) {
        if (valid(curve[k])) {
            first = k;
            break;
        }
    }
    if (first < 0) return;
    for (int k = 0; k < first; ++k) curve[k] = curve[first];
    int last = 0;
    for (int k = kPoints - 1; k >= 1; --k) {
        if (valid(curve[k])) {
            last = k;
            break;
        }
    }
    for (int k = last + 1; k < kPoints; ++k) curve[k] = curve[last];
    int p = 0;
    for (int q = 1; q < kPoints; ++q) {
        if (!valid(curve[q])) continue;
        const float step = (curve[q] - curve[p]) / static_cast<float>(q - p);
        for (int u = p + 1; u < q; ++u) curve[u] = curve[p] + static_cast<float>(u - p) * step;
        p = q;
    }
}

}  // namespace

void RepairHbtCurves(float* spl, float* phase) {
    FillGaps(spl, [](float v) { return v > 2.0f; });
    // A zero gap in front of a jump to a large positive phase becomes a clean wrap at the last
    // value below -130 degrees, or at bins 0 and 1 when there is none: a converted curve whose
    // phase starts with an empty stretch and then reads near +180 was wrapping down from -180.
    // Measured values in bins 0 and 1 are never overwritten by a wrap that found nothing below
    // -130; that gap is filled like any other.
    for (int k = 0; k < kPoints - 1; ++k) {
        if (phase[k + 1] > 130.0f && phase[k] == 0.0f) {
            int u = k;
            while (u > 0 && !(phase[u] < -130.0f)) --u;
            if (!(phase[u] < -130.0f) && (phase[0] != 0.0f || phase[1] != 0.0f)) continue;
            phase[u] = -179.0f;
            phase[u + 1] = 179.0f;
        }
    }
    FillGaps(phase, [](float v) { return v != 0.0f; });
}

bool HbtEfficiencyUsable() {
    const shell::DriverRecord* record = shell::CurrentDriverRecord;
    if (record == nullptr) return false;
    double efficiency = 0.0;
    if (!SlotNumber(record->Efficiency, sizeof record->Efficiency, &efficiency) ||
        !(efficiency > 50.0)) {
        platform::MessageBox(shell::EditorChildWindow, "Efficiency Error", "QV MEssage",
                             platform::MB_OK | platform::MB_ICONEXCLAMATION);
        return false;
    }
    return true;
}

int PrepareHbtInput() {
    shell::DriverRecord* record = shell::CurrentDriverRecord;
    if (record == nullptr || !HbtEfficiencyUsable()) return 1;
    RepairHbtCurves(record->Spl, record->Phase);
    return 0;
}

}  // namespace driverdata
