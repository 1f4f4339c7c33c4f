// Painting of the channel panes and the drawing routines that the pane editor and the toolbox
// share: the element symbols (solid and ghost), the toolbox palette, the Move selection and the
// check marks of the tool buttons. A pane always paints from its own PaneStore; the label painter
// also writes the input node number and each output port's hot node into that store.
// UI thread only; every routine takes a device context and restores what it selects.
#pragma once

#include "platform/Types.h"

namespace network {

// Paints pane k (1..7) of window `window` from store k: diagram, labels, node numbers (when
// ShowNodes is 1) and the channel title. Returns 0.
int PaintPane(int pane, platform::HWND window, platform::HDC hdc);
int PaintPane1(platform::HWND window, platform::HDC hdc);
int PaintPane2(platform::HWND window, platform::HDC hdc);
int PaintPane3(platform::HWND window, platform::HDC hdc);
int PaintPane4(platform::HWND window, platform::HDC hdc);
int PaintPane5(platform::HWND window, platform::HDC hdc);
int PaintPane6(platform::HWND window, platform::HDC hdc);
int PaintPane7(platform::HWND window, platform::HDC hdc);

// The three layers of PaintPane, each reading store k.
void DrawPaneDiagram(int pane, platform::HWND window, platform::HDC hdc);
void DrawPaneElementLabels(int pane, platform::HDC hdc);
void DrawPaneNodeNumbers(int pane, platform::HDC hdc);

// How far right and down the network of pane k reaches in its pane, symbols and labels as
// drawn in the device context's fonts (the channel title, which keeps to the client's bottom-left
// corner, not counted): the client size that shows all of it.
platform::SIZE PaneNetworkExtent(int pane, platform::HDC hdc);

// The channel title of pane k ("Front-Left" .. "Subwoofer 2"; panes 5 and 7 by SubwooferMode).
const char* PaneTitle(int pane);

// Solid and ghost symbols of ElementKind 1..6 with the element's terminal 1 at (x, y); other
// kinds draw nothing.
void DrawElementSymbol(int kind, platform::HDC hdc, int x, int y);
void DrawElementGhost(int kind, platform::HDC hdc, int x, int y);
void DrawOutputPortSymbol(platform::HDC hdc, int x, int y);
void DrawInputNodeSymbol(platform::HDC hdc, int x, int y);
void DrawFilterSymbol(platform::HDC hdc, int x, int y);
void DrawJointSymbol(platform::HDC hdc, int x, int y);
void DrawGroundSymbol(platform::HDC hdc, int x, int y);
void DrawRoomEqSymbol(platform::HDC hdc, int x, int y);
void DrawOutputPortGhost(platform::HDC hdc, int x, int y);
void DrawInputNodeGhost(platform::HDC hdc, int x, int y);
void DrawFilterGhost(platform::HDC hdc, int x, int y);
void DrawJointGhost(platform::HDC hdc, int x, int y);
void DrawGroundGhost(platform::HDC hdc, int x, int y);
void DrawRoomEqGhost(platform::HDC hdc, int x, int y);

// The toolbox palette: six 40 x 40 squares from (0, 0) down, square i holding ElementKind i + 1.
void DrawElementPalette(platform::HDC hdc);
// Where the palette draws the symbol of `kind` (1..6): the point handed to DrawElementSymbol.
platform::POINT PaletteSymbolPoint(int kind);

// The elements and wires of the WorkingNetwork that a Move drag carries: with DarkGreenPen, or
// with the device context's current pen.
void DrawMoveSelection(platform::HDC hdc);
void DrawMoveSelectionCurrentPen(platform::HDC hdc);

// Unchecks the toolbox's tool buttons and checks the one for ToolMode 1, 5, 6 or 8. Returns 0.
int UpdateToolButtons(platform::HWND toolbox);

// Names of the filter families (0..11) followed by the slopes (0..9), 22 texts, that the label
// painter prints. Null until the program installs the table; then no family or slope text shows.
extern const char* const* FilterTypeNames;
inline constexpr int kFilterFamilyNames = 12;
inline constexpr int kFilterSlopeNames = 10;

}  // namespace network
