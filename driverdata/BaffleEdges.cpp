#include "driverdata/BaffleEdges.h"

#include <algorithm>
#include <cmath>

#include "platform/ui/MessageBox.h"
#include "shell/Globals.h"
#include "shell/StartupAllocation.h"

namespace driverdata {

using shell::BafflePoint;

namespace {

constexpr int kMostInnerPoints = 59;          // inner points tried per side, whatever its length
constexpr float kShortestDividedSide = 4.0f;  // raster units; shorter sides stay one element

void Refuse(const char* text) {
    platform::MessageBox(shell::FrameWindow, text, "QV Message",
                         platform::MB_OK | platform::MB_ICONEXCLAMATION);
}

// Subdivision of one side from a to b, appending to points[0..*count). false when the table is
// full.
bool DivideSide(const BafflePoint& a, const BafflePoint& b, BafflePoint* points, int* count) {
    auto append = [&](float x, float y) {
        if (*count >= shell::kEdgePointSlots) return false;
        points[(*count)++] = BafflePoint{x, y, 0.0f, 0};
        return true;
    };
    if (!append(a.x, a.y)) return false;
    const float length = PointDistance2D(a, b);
    if (length <= kShortestDividedSide) return true;
    const float n = std::trunc(length / 2.0f);  // pieces of 2 to 4 units
    const float x1 = a.x, y1 = a.y, x2 = b.x, y2 = b.y;
    if (std::fabs(x1 - x2) <= 0.5f) {
        // A vertical side: y interpolated at constant x.
        const float step = std::fabs(y1 - y2) / n;
        for (int m = 1; m <= kMostInnerPoints; ++m) {
            if (y1 > y2) {
                const float y = y1 - static_cast<float>(m) * step;
                if (y2 + 0.025f * step < y && y < 0.9999f * y1 && !append(x1, y)) return false;
            } else {
                const float y = y1 + static_cast<float>(m) * step;
                if (1.0001f * y1 < y && y < y2 - 0.025f * step && !append(x1, y)) return false;
            }
        }
        return true;
    }
    const float k = (y1 - y2) / (x1 - x2);
    const float c = y1 - k * x1;
    for (int m = 1; m <= kMostInnerPoints; ++m) {
        const float x = x1 + static_cast<float>(m) * (x2 - x1) / n;
        const float y = k * x + c;
        const bool inside = x2 > x1 ? (1.0001f * x1 < x && x < 0.9999f * x2)
                                    : (1.0001f * x2 < x && x < 0.9999f * x1);
        if (inside && !append(x, y)) return false;
    }
    return true;
}

}  // namespace

float PointDistance2D(const BafflePoint& a, const BafflePoint& b) {
    const long double dx = static_cast<long double>(a.x) - b.x;
    const long double dy = static_cast<long double>(a.y) - b.y;
    return static_cast<float>(std::sqrt(dx * dx + dy * dy));
}

float VertexAngle(const BafflePoint& a, const BafflePoint& b, const BafflePoint& c) {
    const float ab = PointDistance2D(a, b);
    const float ac = PointDistance2D(a, c);
    const float bc = PointDistance2D(b, c);
    if (ab <= 0.0f || ac <= 0.0f) return 0.0f;
    const float cosine = (ab * ab + ac * ac - bc * bc) / (2.0f * ab * ac);
    return std::acos(std::clamp(cosine, -1.0f, 1.0f));
}

int BuildBaffleEdges() {
    if (shell::Baffle == nullptr) return 1;
    shell::BaffleRecord& baffle = *shell::Baffle;
    if (baffle.ClosedFlag != 2) {
        Refuse("Unable To Find Closed SPLG (Baffle)");
        return 1;
    }
    // A loaded driver file may name more nodes than the editor ever keeps.
    const int count = std::min(baffle.NodeCount, shell::kBaffleNodeSlots - 1);
    if (count < 3) return 1;

    for (int i = 0; i < count; ++i) {
        shell::BaffleNode& node = baffle.Nodes[i];
        node.fx = static_cast<float>(node.x);
        node.fy = static_cast<float>(node.y);
        shell::BaffleNodePoints[i] = BafflePoint{node.fx, node.fy, 0.0f, 0};
    }
    for (int i = 0; i < count; ++i) {
        const int next = i + 1 < count ? i + 1 : 0;
        shell::EdgeSideList[i] =
            shell::EdgeSide{i, next, shell::BaffleNodePoints[i], shell::BaffleNodePoints[next]};
    }
    shell::BaffleSideCount = count;

    for (int i = 0; i < count; ++i) {
        for (int j = i + 1; j < count; ++j) {
            if (baffle.Nodes[i].x == baffle.Nodes[j].x && baffle.Nodes[i].y == baffle.Nodes[j].y) {
                Refuse(
                    "Duplicate Points Found\nPlease Use 'Clear' Button\nAnd Then Re-draw The "
                    "SLPG");
                return 1;
            }
        }
    }
    if (baffle.Nodes[0].x > baffle.Nodes[1].x) {
        Refuse(
            "Boundry Is Oriented CLOCKWISE\nPlease Use 'Clear' Button\nAnd Then Re-draw The "
            "SLPG");
        return 1;
    }

    // Subdivided into a scratch table first: an outline too long for the tables is refused
    // whole rather than cut off somewhere along a side.
    static BafflePoint points[shell::kEdgePointSlots];
    int point_count = 0;
    for (int i = 0; i < count; ++i) {
        if (!DivideSide(shell::EdgeSideList[i].a, shell::EdgeSideList[i].b, points, &point_count)) {
            Refuse(
                "SLPG Too Long For The Edge Model\nPlease Use 'Clear' Button\nAnd Then "
                "Re-draw A Smaller SLPG");
            return 1;
        }
    }
    std::copy(points, points + point_count, shell::EdgePointTable);
    shell::EdgeElementCount = point_count;
    for (int e = 0; e < point_count; ++e) {
        const int next = e + 1 < point_count ? e + 1 : 0;
        const BafflePoint& a = shell::EdgePointTable[e];
        const BafflePoint& b = shell::EdgePointTable[next];
        shell::EdgeElementTable[e] =
            shell::EdgeElement{e, next, a, b, (a.x + b.x) / 2.0f, (a.y + b.y) / 2.0f};
    }
    shell::BaffleSideCount = point_count;
    return 0;
}

}  // namespace driverdata
