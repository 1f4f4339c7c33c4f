// Control identifiers of the network editor's toolbox (the tool buttons, palette, display check
// boxes and channel buttons of the player dialog), with the system's values.
#pragma once

namespace network {

// Tool buttons; UpdateToolButtons checks the one that matches ToolMode.
inline constexpr int kDrawButton = 1002;      // ToolMode 1
inline constexpr int kMoveButton = 1007;      // ToolMode 5
inline constexpr int kWipeCompButton = 1008;  // ToolMode 6
inline constexpr int kWipeWireButton = 1016;  // ToolMode 8

// The element palette: a static canvas of six 40 x 40-pixel cells at the toolbox's top-left.
inline constexpr int kElementPalette = 1024;

// Display check boxes and the Copy Speaker / Clear Plots buttons.
inline constexpr int kShowNodesCheck = 1050;
inline constexpr int kShowRasterCheck = 1051;
inline constexpr int kCopySpeakerButton = 1052;
inline constexpr int kClearPlotsButton = 1054;
inline constexpr int kCurveSelectionButton = 4810;

// Channel buttons, one per pane.
inline constexpr int kFrontLeftButton = 20001;   // pane 1
inline constexpr int kFrontRightButton = 20002;  // pane 3
inline constexpr int kCentreButton = 20003;      // pane 2
inline constexpr int kRearLeftButton = 20004;    // pane 4
inline constexpr int kRearRightButton = 20005;   // pane 6
inline constexpr int kSubButton = 20006;         // pane 5
inline constexpr int kSub2Button = 20007;        // pane 7

// Tool modes (the ToolMode word).
inline constexpr int kToolDraw = 1;
inline constexpr int kToolMove = 5;
inline constexpr int kToolWipeComp = 6;
inline constexpr int kToolWipeWire = 8;

}  // namespace network
