// The network tables of one channel: the layout shared by the WorkingNetwork and the seven
// PaneStores, with the element kinds and the meaning of every ElementParams position.
// The instances live here, beside the project image that packs them; the operations on them
// (save, restore, clear, templates) are in network/.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "shell/Curves.h"

namespace shell {

inline constexpr int kMaxElements = 64;
inline constexpr int kMaxWires = 64;
inline constexpr int kMaxJointGroups = 64;
inline constexpr int kJointGroupPoints = 64;
inline constexpr int kPaneCount = 7;
inline constexpr int kFileTextSlot = 2048;  // element file title / path slot (2047 characters)

// ElementKind values.
enum ElementKind : std::int32_t {
    kElementEmpty = 0,
    kElementOutputPort = 1,
    kElementInputNode = 2,
    kElementFilter = 3,
    kElementJunction = 4,
    kElementGround = 5,
    kElementRoomEq = 6,
};

// ElementParams positions (16 float32 per element); meaning depends on the kind.
inline constexpr int kElementParamCount = 16;
inline constexpr int kParamInputPort = 0;         // input node: sound-card input 1..8
inline constexpr int kParamOutputPort = 1;        // output port: sound-card output 1..16, 0 unset
inline constexpr int kParamF1 = 2;                // port / room EQ: lower band edge [Hz]
inline constexpr int kParamF2 = 3;                // port / room EQ: upper band edge [Hz]
inline constexpr int kParamFamily = 4;            // filter: family index 0..11
inline constexpr int kParamSlope = 5;             // filter: slope index 0..9
inline constexpr int kParamFo = 6;                // filter: cut-off / centre frequency [Hz]
inline constexpr int kParamPlotFlag = 7;          // output port: 1.0 = plotted
inline constexpr int kParamCorrectionPort = 7;    // room EQ: driver-correction port 0..15, 16 none
inline constexpr int kParamBypass = 8;            // filter / room EQ: 1.0 = by-passed
inline constexpr int kParamRQ = 9;                // filter: R of families 8..11, Q of family 3
inline constexpr int kParamGain = 10;             // filter: gain of families 3..7
inline constexpr int kParamProjectedSlope = 10;   // room EQ: projected slope below 10 Hz [dB]
inline constexpr int kParamDelay = 11;            // port / room EQ: delay [ms]
inline constexpr int kParamPolarity = 12;         // output port: 1.0 in phase, -1.0 inverted
inline constexpr int kParamAmplitudeOnly = 12;    // room EQ: amplitude-only flag
inline constexpr int kParamOutputGain = 13;       // output port: output gain [dB]
inline constexpr int kParamAddDb = 13;            // room EQ: dB added to the SPL
inline constexpr int kParamInputNodeNumber = 14;  // input node: its network node, as a float
inline constexpr int kParamScalarAverage = 14;    // room EQ: scalar-average flag
inline constexpr int kParamHotNode = 15;          // output port: hot node, as a float

// Names of the filter families (kParamFamily 0..11) followed by the slopes (kParamSlope 0..9):
// what the filter dialog and the calibration dialog list and the panes print.
inline constexpr int kFilterFamilyCount = 12;
inline constexpr int kFilterSlopeCount = 10;
extern const char* const FilterTypeNames[kFilterFamilyCount + kFilterSlopeCount];

// A wire runs from (x1, y1) across to (x2, y1) and down to (x2, y2).
struct WireRecord {
    std::int32_t x1, y1, x2, y2;
    std::int32_t moveMark;  // 0 none, 1 start on terminal 1, 2 end on 1, 3 start on 2, 4 end on 2
    std::int32_t spare;     // always 0
};
static_assert(sizeof(WireRecord) == 24);

struct JointPoint {
    std::int32_t x;  // 0 marks a free slot
    std::int32_t y;
};
static_assert(sizeof(JointPoint) == 8);

struct ElementGeometryRecord {
    std::int32_t x1, y1;    // terminal 1
    std::int32_t x2, y2;    // terminal 2
    std::int32_t kind;      // ElementKind
    std::int32_t node1;     // network node of terminal 1, -1 when on no wire
    std::int32_t node2;     // network node of terminal 2, -1 when on no wire
    std::int32_t x3, y3;    // third terminal: always (0, 0)
    std::int32_t moveFlag;  // 1 while dragged by the Move tool
    std::int32_t node3;     // -1 after a clear; nothing reads it
    std::int32_t reserved[5];
};
static_assert(sizeof(ElementGeometryRecord) == 64);
static_assert(offsetof(ElementGeometryRecord, kind) == 16);
static_assert(offsetof(ElementGeometryRecord, node3) == 40);

// Loudspeaker-driver data of an output port (8001 floats).
struct ElementDriverBlock {
    float Spl[kGridPoints];    // [dB], default 90.0
    float Phase[kGridPoints];  // [degrees], default 0.0
    float Real[kGridPoints];   // complex response, default 1.0
    float Imag[kGridPoints];   // default 0.0
    float Efficiency;          // [dB], default 90.0
};
static_assert(sizeof(ElementDriverBlock) == 8001 * 4);

// The tables of one channel network, in save/restore order. WorkingNetwork and each PaneStore.
struct NetworkTables {
    std::int32_t WMatrixOrder;  // network nodes = joint groups in use
    std::int32_t WireCount;     // wires in slots 0..WireCount-1
    std::int32_t ToolMode;      // 1 Draw, 5 Move, 6 Wipe Comp, 8 Wipe Wire, 0 after a clear
    std::int32_t ElementCount;  // elements in slots 0..ElementCount-1
    float ElementParams[kMaxElements][kElementParamCount];
    WireRecord Wire[kMaxWires];
    std::int32_t SpareMatrix[32][32];
    JointPoint JointGroup[kMaxJointGroups][kJointGroupPoints];
    ElementGeometryRecord ElementGeometry[kMaxElements];
    char ElementFileTitles[kMaxElements][kFileTextSlot];  // "No File Loaded" when none
    char ElementFilePaths[kMaxElements][kFileTextSlot];   // empty when none
    ComplexCurve ElementTransfer[kMaxElements];           // 1 + 0j when not set
    ElementDriverBlock ElementDriverData[kMaxElements];
};
static_assert(offsetof(NetworkTables, ElementParams) == 16);
static_assert(offsetof(NetworkTables, Wire) == 4112);
static_assert(offsetof(NetworkTables, SpareMatrix) == 5648);
static_assert(offsetof(NetworkTables, JointGroup) == 9744);
static_assert(offsetof(NetworkTables, ElementGeometry) == 42512);
static_assert(offsetof(NetworkTables, ElementFileTitles) == 46608);
static_assert(offsetof(NetworkTables, ElementFilePaths) == 177680);
static_assert(offsetof(NetworkTables, ElementTransfer) == 308752);
static_assert(offsetof(NetworkTables, ElementDriverData) == 1332752);
static_assert(sizeof(NetworkTables) == 3381008);

using PaneStore = NetworkTables;

// Copies the nine per-element and per-wire tables (all 64 slots, whatever the counts say)
// between two records that name them alike: NetworkTables and the project file's channel block.
template <class To, class From>
void CopyNetworkArrays(To& to, const From& from) {
    std::memcpy(to.ElementParams, from.ElementParams, sizeof to.ElementParams);
    std::memcpy(to.Wire, from.Wire, sizeof to.Wire);
    std::memcpy(to.SpareMatrix, from.SpareMatrix, sizeof to.SpareMatrix);
    std::memcpy(to.JointGroup, from.JointGroup, sizeof to.JointGroup);
    std::memcpy(to.ElementGeometry, from.ElementGeometry, sizeof to.ElementGeometry);
    std::memcpy(to.ElementFileTitles, from.ElementFileTitles, sizeof to.ElementFileTitles);
    std::memcpy(to.ElementFilePaths, from.ElementFilePaths, sizeof to.ElementFilePaths);
    std::memcpy(to.ElementTransfer, from.ElementTransfer, sizeof to.ElementTransfer);
    std::memcpy(to.ElementDriverData, from.ElementDriverData, sizeof to.ElementDriverData);
    static_assert(sizeof to.ElementParams == sizeof from.ElementParams);
    static_assert(sizeof to.Wire == sizeof from.Wire);
    static_assert(sizeof to.SpareMatrix == sizeof from.SpareMatrix);
    static_assert(sizeof to.JointGroup == sizeof from.JointGroup);
    static_assert(sizeof to.ElementGeometry == sizeof from.ElementGeometry);
    static_assert(sizeof to.ElementFileTitles == sizeof from.ElementFileTitles);
    static_assert(sizeof to.ElementFilePaths == sizeof from.ElementFilePaths);
    static_assert(sizeof to.ElementTransfer == sizeof from.ElementTransfer);
    static_assert(sizeof to.ElementDriverData == sizeof from.ElementDriverData);
}

// The one network that the active pane edits and the solver reads (UI thread only).
extern NetworkTables WorkingNetwork;
// One store per pane: index 0..6 = panes 1..7 (Front-Left, Center, Front-Right, Rear-Left,
// Subwoofer 1, Rear-Right, Subwoofer 2).
extern PaneStore PaneStores[kPaneCount];
// Per pane the tool word that a project file carries (written by the toolbox, Part of the editor).
extern std::int32_t PaneToolModes[kPaneCount];

}  // namespace shell
