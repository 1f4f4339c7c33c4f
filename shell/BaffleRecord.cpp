#include "shell/BaffleRecord.h"

#include <algorithm>
#include <cstring>

#include "shell/NumberText.h"
#include "shell/StartupAllocation.h"

namespace shell {

BafflePoint BaffleNodePoints[kBaffleNodeSlots];
EdgeSide EdgeSideList[kBaffleSideSlots];
BafflePoint EdgePointTable[kEdgePointSlots];
EdgeElement EdgeElementTable[kEdgePointSlots];
std::int32_t EdgeElementCount = 0;
std::int32_t BaffleSideCount = 0;

double BaffleRasterCm(const BaffleRecord& b) {
    double raster = 0.0;
    if (!ReadTypedSlot(b.RasterText, sizeof b.RasterText, &raster) || !(raster > 0.0)) return 0.0;
    return std::clamp(raster, kSmallestRasterCm, kLargestRasterCm);
}

int InitBaffleRecord() {
    if (Baffle == nullptr) return 0;
    BaffleRecord& b = *Baffle;
    // Cleared first, so that the words the defaults do not name are defined.
    std::memset(&b, 0, sizeof b);

    // 1. Nodes and edit state.
    for (auto& node : b.Nodes) {
        node.x = node.y = 0;
        node.fx = node.fy = 0.0f;
    }
    b.NodeCount = 0;
    CopyTextSlot(b.RasterText, "1.0");
    CopyTextSlot(b.BaffleText, "1");
    b.EditMode = 8;
    b.ClosedFlag = 0;
    b.InsertAfter = 1;

    // 2. Drivers 2-4 and microphone at (1, 1, 1), then the default positions.
    for (int i = 1; i < kBafflePointCount; ++i) b.Points[i] = BafflePoint{1.0f, 1.0f, 1.0f, 0};
    b.Points[0] = BafflePoint{40.0f, 40.0f, 0.0f, 1};
    b.Points[1].x = 45.0f;
    b.Points[1].y = 50.0f;
    b.Points[2].x = 40.0f;
    b.Points[2].y = 45.0f;
    b.Points[3].x = 35.0f;
    b.Points[3].y = 40.0f;

    // 3. The calculator's outline: a closed 80 x 80 square.
    static constexpr float kSquare[5][2] = {{0, 0}, {80, 0}, {80, 80}, {0, 80}, {0, 0}};
    BaffleSideCount = 0;
    for (int i = 0; i < 5; ++i) EdgePointTable[i].flag = 0;
    EdgeElementCount = 4;
    b.NodeCount = 4;

    // 4. Nodes 0..4 (slot 4 repeats node 0).
    for (int i = 0; i < 5; ++i) {
        b.Nodes[i].x = static_cast<std::int32_t>(kSquare[i][0]);
        b.Nodes[i].y = static_cast<std::int32_t>(kSquare[i][1]);
    }

    // 5. Closed outline, microphone at the centre.
    CopyTextSlot(b.RasterText, "1.0");
    b.ClosedFlag = 2;
    b.Points[kBaffleMicrophone] = BafflePoint{40.0f, 40.0f, 0.0f, 0};
    return 0;
}

}  // namespace shell
