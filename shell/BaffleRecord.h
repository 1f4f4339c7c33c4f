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
    std::int32_t NodeCount;                 // index of the last outline node
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

// Diffraction outline state reset together with the baffle (owned here until the diffraction
// calculator brings its own): outline point list, edge-point flags and counts.
inline constexpr int kEdgeSideListSize = 64;
struct EdgeSidePoint {
    float x;
    float y;
    float spare[2];
};
struct EdgePoint {
    float x;
    float y;
    std::int32_t flag;
    std::int32_t spare;
};

extern EdgeSidePoint EdgeSideList[kEdgeSideListSize];  // outline point list
extern EdgePoint EdgePointTable[kEdgeSideListSize];    // edge points with their flag words
extern std::int32_t EdgeElementCount;                  // last outline index
extern std::int32_t BaffleSideCount;

// Fills *Baffle and resets the outline state; returns 0.
int InitBaffleRecord();

}  // namespace shell
