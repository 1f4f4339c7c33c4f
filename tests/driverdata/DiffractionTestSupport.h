// Shared by the diffraction tests: the start-up records with their defaults, and outlines.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <utility>

#include "driverdata/Globals.h"
#include "platform/testing/MessageBoxLog.h"
#include "shell/BaffleRecord.h"
#include "shell/DriverRecord.h"
#include "shell/Globals.h"
#include "shell/StartupAllocation.h"
#include "tests/driverdata/DriverDataTestSupport.h"

namespace driverdata::test {

inline void ResetDiffractionWorld() {
    // A test of the whole program releases the start-up buffers when it ends: allocate them
    // again whenever they are gone.
    if (shell::Baffle == nullptr || shell::SystemCurveTable[0] == nullptr) {
        shell::AllocMainBuffers();
        shell::AllocCurveBuffers();
    }
    ResetFolders();
    shell::InitBaffleRecord();
    shell::InitDriverRecord(shell::CurrentDriverRecord);
    // The curve rings outlive every reset of the program's variables (as they outlive the
    // calculator's dialog): each test starts from empty, hidden curves.
    for (shell::CurveRecord* curve : shell::DiffractionCurveTable)
        if (curve) std::memset(curve, 0, sizeof *curve);
    platform::testing::ClearMessageBoxLog();
}

// A closed outline of the given integer nodes.
inline void SetOutline(std::initializer_list<std::pair<int, int>> nodes) {
    shell::BaffleRecord& b = *shell::Baffle;
    int i = 0;
    for (const auto& [x, y] : nodes) {
        b.Nodes[i].x = x;
        b.Nodes[i].y = y;
        ++i;
    }
    b.NodeCount = i;
    b.ClosedFlag = 2;
}

}  // namespace driverdata::test
