// The element symbols, their ghosts, the toolbox palette, the Move selection and the tool
// buttons' check marks.
#include <cstring>

#include "network/EditorState.h"
#include "network/Ids.h"
#include "network/PaneDrawing.h"
#include "platform/gdi/Gdi.h"
#include "platform/ui/Dialog.h"
#include "shell/GdiObjects.h"
#include "shell/NetworkTables.h"

namespace network {

using namespace platform;

namespace {

void Line(HDC hdc, int x1, int y1, int x2, int y2) {
    MoveToEx(hdc, x1, y1, nullptr);
    LineTo(hdc, x2, y2);
}

// A terminal dot: an ellipse in the box (x - 2, y - 2) to (x + 3, y + 3).
void Dot(HDC hdc, int x, int y) { Ellipse(hdc, x - 2, y - 2, x + 3, y + 3); }

void Circle(HDC hdc, int x, int y) { Ellipse(hdc, x - 3, y - 3, x + 3, y + 3); }

void ConeOutline(HDC hdc, int x, int y) {
    const POINT cone[5] = {
        {x + 3, y + 15}, {x + 12, y + 8}, {x + 12, y + 32}, {x + 3, y + 25}, {x + 3, y + 15}};
    Polyline(hdc, cone, 5);
}

void TransparentText(HDC hdc, int x, int y, const char* text) {
    const int previous = SetBkMode(hdc, TRANSPARENT);
    TextOut(hdc, x, y, text, static_cast<int>(std::strlen(text)));
    SetBkMode(hdc, previous);
}

// The filter and room-EQ box with its leads; `box_left`, `box_right` and `lead_from` differ.
void BoxSymbol(HDC hdc, int x, int y, int box_left, int box_right, int lead_from) {
    Line(hdc, x, y, x + 7, y);
    Dot(hdc, x, y);
    const HPEN old_pen = SelectObject(hdc, shell::BlackPen);
    const HBRUSH old_brush = SelectObject(hdc, shell::CyanBrush);
    RoundRect(hdc, x + box_left, y - 17, x + box_right, y + 18, 5, 5);
    SelectObject(hdc, old_brush);
    SelectObject(hdc, old_pen);
    Line(hdc, x + lead_from, y, x + 40, y);
    Dot(hdc, x + 40, y);
}

}  // namespace

void DrawOutputPortSymbol(HDC hdc, int x, int y) {
    Line(hdc, x, y, x, y + 10);
    Dot(hdc, x, y);
    const HPEN entry_pen = SelectObject(hdc, shell::BlackPen);
    Line(hdc, x - 5, y + 14, x - 5, y + 27);
    Line(hdc, x + 4, y + 20, x + 12, y + 20);
    ConeOutline(hdc, x, y);
    HBRUSH old_brush = SelectObject(hdc, shell::GreyBrush);
    const POINT upper[4] = {{x + 5, y + 14}, {x + 12, y + 8}, {x + 12, y + 20}, {x + 5, y + 20}};
    const POINT lower[4] = {{x + 5, y + 20}, {x + 12, y + 20}, {x + 12, y + 32}, {x + 5, y + 27}};
    Polygon(hdc, upper, 4);
    Polygon(hdc, lower, 4);
    SelectObject(hdc, old_brush);
    Rectangle(hdc, x + 12, y + 5, x + 15, y + 36);
    old_brush = SelectObject(hdc, shell::CyanBrush);
    RoundRect(hdc, x - 4, y + 10, x + 5, y + 31, 4, 4);
    SelectObject(hdc, shell::GreyBrush);
    RoundRect(hdc, x - 2, y + 10, x + 3, y + 31, 2, 2);
    SelectObject(hdc, old_brush);
    SelectObject(hdc, entry_pen);
    Line(hdc, x, y + 30, x, y + 40);
    Dot(hdc, x, y + 40);
}

void DrawOutputPortGhost(HDC hdc, int x, int y) {
    Line(hdc, x, y, x, y + 10);
    Dot(hdc, x, y);
    Line(hdc, x - 3, y + 10, x + 3, y + 10);
    Line(hdc, x + 3, y + 10, x + 3, y + 30);
    Line(hdc, x + 3, y + 30, x - 3, y + 30);
    Line(hdc, x - 3, y + 30, x - 3, y + 10);
    Line(hdc, x, y + 30, x, y + 40);
    Dot(hdc, x, y + 40);
    ConeOutline(hdc, x, y);
}

void DrawInputNodeSymbol(HDC hdc, int x, int y) {
    Circle(hdc, x, y);
    Line(hdc, x - 3, y, x - 7, y);
    Ellipse(hdc, x - 12, y - 3, x - 6, y + 3);
}

void DrawInputNodeGhost(HDC hdc, int x, int y) {
    DrawInputNodeSymbol(hdc, x, y);
    Line(hdc, x - 12, y - 17, x - 12, y - 5);
    Line(hdc, x - 8, y - 12, x - 8, y - 5);
    Line(hdc, x - 2, y - 12, x - 2, y - 5);
    Line(hdc, x - 8, y - 12, x - 2, y - 5);
}

void DrawFilterSymbol(HDC hdc, int x, int y) {
    BoxSymbol(hdc, x, y, 6, 33, 32);
    TransparentText(hdc, x + 9, y - 7, "Filt");
}

void DrawFilterGhost(HDC hdc, int x, int y) {
    Line(hdc, x, y, x + 7, y);
    Dot(hdc, x, y);
    RoundRect(hdc, x + 7, y - 17, x + 33, y + 18, 5, 5);
    Line(hdc, x + 32, y, x + 40, y);
    Dot(hdc, x + 40, y);
}

void DrawJointSymbol(HDC hdc, int x, int y) { Circle(hdc, x, y); }
void DrawJointGhost(HDC hdc, int x, int y) { Circle(hdc, x, y); }

void DrawGroundSymbol(HDC hdc, int x, int y) {
    Line(hdc, x, y, x, y + 13);
    Dot(hdc, x, y);
    Line(hdc, x - 5, y + 13, x + 5, y + 13);
    Line(hdc, x - 3, y + 15, x + 3, y + 15);
    Line(hdc, x - 1, y + 17, x + 2, y + 17);
}
void DrawGroundGhost(HDC hdc, int x, int y) { DrawGroundSymbol(hdc, x, y); }

void DrawRoomEqSymbol(HDC hdc, int x, int y) {
    BoxSymbol(hdc, x, y, 5, 36, 35);
    const int previous = SetBkMode(hdc, TRANSPARENT);
    const HFONT old_font = SelectObject(hdc, shell::LabelFont);
    TextOut(hdc, x + 8, y - 12, "Room", 4);
    SelectObject(hdc, old_font);
    TextOut(hdc, x + 11, y - 2, "EQ", 2);
    SetBkMode(hdc, previous);
}
void DrawRoomEqGhost(HDC hdc, int x, int y) { DrawFilterGhost(hdc, x, y); }

void DrawElementSymbol(int kind, HDC hdc, int x, int y) {
    switch (kind) {
        case shell::kElementOutputPort:
            DrawOutputPortSymbol(hdc, x, y);
            break;
        case shell::kElementInputNode:
            DrawInputNodeSymbol(hdc, x, y);
            break;
        case shell::kElementFilter:
            DrawFilterSymbol(hdc, x, y);
            break;
        case shell::kElementJunction:
            DrawJointSymbol(hdc, x, y);
            break;
        case shell::kElementGround:
            DrawGroundSymbol(hdc, x, y);
            break;
        case shell::kElementRoomEq:
            DrawRoomEqSymbol(hdc, x, y);
            break;
        default:
            break;
    }
}

void DrawElementGhost(int kind, HDC hdc, int x, int y) {
    switch (kind) {
        case shell::kElementOutputPort:
            DrawOutputPortGhost(hdc, x, y);
            break;
        case shell::kElementInputNode:
            DrawInputNodeGhost(hdc, x, y);
            break;
        case shell::kElementFilter:
            DrawFilterGhost(hdc, x, y);
            break;
        case shell::kElementJunction:
            DrawJointGhost(hdc, x, y);
            break;
        case shell::kElementGround:
            DrawGroundGhost(hdc, x, y);
            break;
        case shell::kElementRoomEq:
            DrawRoomEqGhost(hdc, x, y);
            break;
        default:
            break;
    }
}

POINT PaletteSymbolPoint(int kind) {
    const int top = 40 * (kind - 1);
    switch (kind) {
        case shell::kElementOutputPort:
            return POINT{20, top};
        case shell::kElementFilter:
        case shell::kElementRoomEq:
            return POINT{0, top + 20};
        default:
            return POINT{20, top + 20};
    }
}

void DrawElementPalette(HDC hdc) {
    const HPEN old_pen = SelectObject(hdc, shell::BlackPen);
    for (int i = 0; i < 6; ++i) Rectangle(hdc, 0, 40 * i, 40, 40 * i + 40);
    for (int kind = 1; kind <= 6; ++kind) {
        const POINT at = PaletteSymbolPoint(kind);
        DrawElementSymbol(kind, hdc, at.x, at.y);
    }
    SelectObject(hdc, old_pen);
}

void DrawMoveSelectionCurrentPen(HDC hdc) {
    const shell::NetworkTables& net = shell::WorkingNetwork;
    const int wires = net.WireCount < shell::kMaxWires ? net.WireCount : shell::kMaxWires;
    for (int w = 0; w < wires; ++w) {
        const shell::WireRecord& wire = net.Wire[w];
        if (wire.moveMark <= 0) continue;
        MoveToEx(hdc, wire.x1, wire.y1, nullptr);
        LineTo(hdc, wire.x2, wire.y1);
        LineTo(hdc, wire.x2, wire.y2);
    }
    const int elements =
        net.ElementCount < shell::kMaxElements ? net.ElementCount : shell::kMaxElements;
    for (int e = 0; e < elements; ++e) {
        const shell::ElementGeometryRecord& g = net.ElementGeometry[e];
        if (g.moveFlag == 1) DrawElementGhost(g.kind, hdc, g.x1, g.y1);
    }
}

void DrawMoveSelection(HDC hdc) {
    const HPEN old_pen = SelectObject(hdc, shell::DarkGreenPen);
    DrawMoveSelectionCurrentPen(hdc);
    SelectObject(hdc, old_pen);
}

int UpdateToolButtons(HWND toolbox) {
    static constexpr int kButtons[4] = {kDrawButton, kMoveButton, kWipeCompButton, kWipeWireButton};
    static constexpr int kModes[4] = {kToolDraw, kToolMove, kToolWipeComp, kToolWipeWire};
    for (int i = 0; i < 4; ++i) CheckDlgButton(toolbox, kButtons[i], BST_UNCHECKED);
    for (int i = 0; i < 4; ++i) {
        if (ToolMode == kModes[i]) CheckDlgButton(toolbox, kButtons[i], BST_CHECKED);
    }
    return 0;
}

}  // namespace network
