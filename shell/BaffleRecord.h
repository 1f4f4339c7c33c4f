// BaffleRecord: the diffraction calculator's baffle outline, drivers, microphone and edit state.
#pragma once

#include <cstddef>
#include <cstdint>

namespace shell {

inline constexpr int kBaffleNodeSlots = 64;  // 63 usable

struct BaffleNode {
    std::int32_t x;  // raster units
    std::int32_t y;
    std::int32_t spare0;
    float fx;  // float copy of the position
    float fy;
    std::int32_t spare1;
};
static_assert(sizeof(BaffleNode) == 24);

struct BafflePoint {
    float x;
    float y;
    float z;
    std::int32_t flag;  // 1 = shown
};
static_assert(sizeof(BafflePoint) == 16);

// Points: 0 driver 1, 1 driver 2, 2 third driver, 3 fourth driver, 4 microphone.
inline constexpr int kBafflePointCount = 5;
inline constexpr int kBaffleMicrophone = 4;

struct BaffleRecord {
    BaffleNode Nodes[kBaffleNodeSlots];     // outline nodes
    std::int32_t NodeCount;                 // outline nodes in use (0..63)
    BafflePoint Points[kBafflePointCount];  // drivers and microphone
    std::int32_t Unwritten0[12];            // not written by the defaults
    char RasterText[36];                    // "Raster [cm]" value
    std::int32_t ClosedFlag;                // 2 = outline closed
    std::int32_t Unwritten1;
    std::int32_t InsertAfter;  // node after which the editor inserts
    std::int32_t EditMode;     // mouse mode of the calculator
    char BaffleText[120];      // a further value text of the calculator
};
static_assert(offsetof(BaffleRecord, Nodes) == 0);
static_assert(offsetof(BaffleRecord, NodeCount) == 1536);
static_assert(offsetof(BaffleRecord, Points) == 1540);
static_assert(offsetof(BaffleRecord, Unwritten0) == 1620);
static_assert(offsetof(BaffleRecord, RasterText) == 1668);
static_assert(offsetof(BaffleRecord, ClosedFlag) == 1704);
static_assert(offsetof(BaffleRecord, InsertAfter) == 1712);
static_assert(offsetof(BaffleRecord, EditMode) == 1716);
static_assert(offsetof(BaffleRecord, BaffleText) == 1720);
static_assert(sizeof(BaffleRecord) == 1840);

// The raster length [cm] of one coordinate unit, from the record's "Raster [cm]" text: kept
// within kSmallestRasterCm .. kLargestRasterCm, so that positions divided by it stay inside an
// int and positions times it stay finite; 0 when the text holds no number above 0.
inline constexpr double kSmallestRasterCm = 0.01;
inline constexpr double kLargestRasterCm = 1000.0;
double BaffleRasterCm(const BaffleRecord& b);

// The diffraction calculator's outline tables, rebuilt from the record by each edge build:
// the nodes as floats, the sides between them, the outline after subdivision and its edge
// elements (the secondary sources of the diffraction sum). Fixed room, no heap.
inline constexpr int kBaffleSideSlots = 64;
inline constexpr int kEdgePointSlots = 300;

struct EdgeSide {
    std::int32_t first;   // node index of point a
    std::int32_t second;  // node index of point b (0 for the closing side)
    BafflePoint a;
    BafflePoint b;
};
static_assert(sizeof(EdgeSide) == 40);

struct EdgeElement {
    std::int32_t index;  // e
    std::int32_t next;   // e + 1, 0 for the closing element
    BafflePoint a;
    BafflePoint b;
    float mid_x;  // midpoint, raster units
    float mid_y;
};
static_assert(sizeof(EdgeElement) == 48);

extern BafflePoint BaffleNodePoints[kBaffleNodeSlots];  // float copy of each node (x, y, 0)
extern EdgeSide EdgeSideList[kBaffleSideSlots];
extern BafflePoint EdgePointTable[kEdgePointSlots];  // the subdivided outline (x, y, 0, flag)
extern EdgeElement EdgeElementTable[kEdgePointSlots];
extern std::int32_t EdgeElementCount;  // points in EdgePointTable = elements in EdgeElementTable
extern std::int32_t BaffleSideCount;   // sides while a build runs; the element count after it

// Fills *Baffle and resets the outline state; returns 0.
int InitBaffleRecord();

}  // namespace shell
