// Painting of the channel panes from their own stores: background, raster, wires and symbols;
// the element labels (which also write the input node number and the output ports' hot nodes
// into the store); the node numbers; the channel title.
#include "network/PaneDrawing.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "network/EditorState.h"
#include "platform/gdi/Gdi.h"
#include "platform/ui/Window.h"
#include "shell/GdiObjects.h"
#include "shell/Globals.h"
#include "shell/NetworkTables.h"

namespace network {

using namespace platform;
using shell::ElementGeometryRecord;
using shell::PaneStore;

const char* const* FilterTypeNames = nullptr;

namespace {

constexpr COLORREF kPaneBackground = RGB(234, 234, 220);
constexpr COLORREF kRasterDot = RGB(112, 112, 112);
constexpr COLORREF kActiveTitle = RGB(228, 0, 0);
constexpr COLORREF kInactiveTitle = RGB(0, 128, 0);
constexpr COLORREF kPortNumberColour = RGB(164, 0, 0);
constexpr COLORREF kDarkRed = RGB(128, 0, 0);
constexpr COLORREF kGreenLabel = RGB(0, 128, 0);
constexpr COLORREF kInputNumberColour = RGB(0, 164, 0);
constexpr COLORREF kValueColour = RGB(0, 0, 128);
constexpr COLORREF kNodeNumberColour = RGB(128, 0, 0);

bool ValidPane(int pane) { return pane >= 1 && pane <= shell::kPaneCount; }

PaneStore& StoreOf(int pane) { return shell::PaneStores[pane - 1]; }

int Clamp(int count, int limit) { return count < 0 ? 0 : (count > limit ? limit : count); }

// Positions no pane can show (a damaged store) are not drawn: symbols and labels add offsets to
// them, which must not overflow.
constexpr int kDrawableLimit = 1000000;
bool Drawable(int x, int y) {
    return x >= -kDrawableLimit && x <= kDrawableLimit && y >= -kDrawableLimit &&
           y <= kDrawableLimit;
}
bool Drawable(const ElementGeometryRecord& g) {
    return Drawable(g.x1, g.y1) && Drawable(g.x2, g.y2);
}

// While a pane's extent is measured, texts are not drawn: each widens this rectangle instead.
RECT* measured_extent = nullptr;

void Text(HDC hdc, int x, int y, const char* text) {
    const int length = static_cast<int>(std::strlen(text));
    if (measured_extent == nullptr) {
        TextOut(hdc, x, y, text, length);
        return;
    }
    SIZE size{};
    if (!GetTextExtentPoint32(hdc, text, length, &size)) return;
    measured_extent->right = std::max<LONG>(measured_extent->right, x + size.cx);
    measured_extent->bottom = std::max<LONG>(measured_extent->bottom, y + size.cy);
}

// Text in a font and colour; the previous font is put back.
void Label(HDC hdc, HFONT font, COLORREF colour, int x, int y, const char* text) {
    const HFONT old_font = SelectObject(hdc, font);
    SetTextColor(hdc, colour);
    Text(hdc, x, y, text);
    SelectObject(hdc, old_font);
}

void LabelFormat(HDC hdc, HFONT font, COLORREF colour, int x, int y, const char* format,
                 double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    Label(hdc, font, colour, x, y, text);
}

// Name from the installed table: family 0..11 or slope 0..9, else null.
const char* FamilyName(float family) {
    if (FilterTypeNames == nullptr || !(family >= 0.0f && family < kFilterFamilyNames)) {
        return nullptr;
    }
    return FilterTypeNames[static_cast<int>(family)];
}
const char* SlopeName(float slope) {
    if (FilterTypeNames == nullptr || !(slope >= 0.0f && slope < kFilterSlopeNames)) {
        return nullptr;
    }
    return FilterTypeNames[kFilterFamilyNames + static_cast<int>(slope)];
}

void OutputPortLabels(HDC hdc, const PaneStore& store, int e) {
    const ElementGeometryRecord& g = store.ElementGeometry[e];
    const float* p = store.ElementParams[e];
    const int x = g.x1;
    const int y = g.y1;
    LabelFormat(hdc, shell::TitleFont, kPortNumberColour, x + 15, y + 8, "Out%.0f",
                p[shell::kParamOutputPort]);
    char title[shell::kFileTextSlot];
    std::memcpy(title, store.ElementFileTitles[e], sizeof title);
    title[sizeof title - 1] = 0;
    Label(hdc, shell::SmallFont, kDarkRed, x + 5, y + 30, title);
    Label(hdc, shell::LabelFont, kGreenLabel, x + 15, y + 40,
          p[shell::kParamPlotFlag] == 1.0f ? "OK To Plot" : "Do NOT Plot");
    LabelFormat(hdc, shell::LabelFont, kGreenLabel, x + 15, y + 50, "F1: %.1f Hz",
                p[shell::kParamF1]);
    LabelFormat(hdc, shell::LabelFont, kGreenLabel, x + 15, y + 60, "F2: %.1f Hz",
                p[shell::kParamF2]);
    Label(hdc, shell::LabelFont, kGreenLabel, x + 15, y + 70, "Del:");
    LabelFormat(hdc, shell::LabelFont, kGreenLabel, x + 35, y + 70, "%.3f ms",
                p[shell::kParamDelay]);
    Label(hdc, shell::LabelFont, kDarkRed, x + 15, y + 80,
          p[shell::kParamPolarity] == 1.0f ? "IN Phase" : "OUT of Phase");
    LabelFormat(hdc, shell::LabelFont, kGreenLabel, x + 15, y + 90, "Gain: %.1f dB",
                p[shell::kParamOutputGain]);
}

void FilterLabels(HDC hdc, const float* p, int x, int y) {
    if (p[shell::kParamBypass] == 1.0f) {
        Label(hdc, shell::SmallFont, kDarkRed, x - 5, y + 17, "By-Passed");
        return;
    }
    const float family = p[shell::kParamFamily];
    if (const char* name = FamilyName(family)) {
        Label(hdc, shell::SmallFont, kDarkRed, x - 5, y + 17, name);
    }
    const HFONT font = shell::LabelFont;
    if (family == 0.0f || family == 1.0f || family == 2.0f) {
        // A slope outside the table has no name: no slope text then.
        if (const char* slope = SlopeName(p[shell::kParamSlope])) {
            Label(hdc, font, kValueColour, x + 5, y + 30, slope);
        }
        LabelFormat(hdc, font, kValueColour, x + 5, y + 40, "Fo: %.1f Hz", p[shell::kParamFo]);
    } else if (family == 3.0f) {
        LabelFormat(hdc, font, kValueColour, x + 5, y + 30, "Q: %.2f", p[shell::kParamRQ]);
        LabelFormat(hdc, font, kValueColour, x + 5, y + 40, "Gain: %.2f", p[shell::kParamGain]);
        LabelFormat(hdc, font, kValueColour, x + 5, y + 50, "Fo: %.1f Hz", p[shell::kParamFo]);
    } else if (family == 4.0f || family == 5.0f || family == 6.0f || family == 7.0f) {
        LabelFormat(hdc, font, kValueColour, x + 5, y + 30, "Gain: %.1f", p[shell::kParamGain]);
        LabelFormat(hdc, font, kValueColour, x + 5, y + 40, "Fc: %.1f Hz", p[shell::kParamFo]);
    } else if (family == 8.0f || family == 9.0f || family == 10.0f || family == 11.0f) {
        LabelFormat(hdc, font, kValueColour, x + 5, y + 30, "R: %.1f", p[shell::kParamRQ]);
        LabelFormat(hdc, font, kValueColour, x + 5, y + 40, "Fc: %.1f Hz", p[shell::kParamFo]);
    }
}

void RoomEqLabels(HDC hdc, const float* p, int x, int y) {
    if (p[shell::kParamBypass] == 1.0f) {
        Label(hdc, shell::SmallFont, kDarkRed, x - 5, y + 17, "By-Passed");
        return;
    }
    Label(hdc, shell::LabelFont, kDarkRed, x - 5, y + 18, "RoomEQ");
    LabelFormat(hdc, shell::LabelFont, kValueColour, x + 5, y + 30, "F1: %.1f Hz",
                p[shell::kParamF1]);
    LabelFormat(hdc, shell::LabelFont, kValueColour, x + 5, y + 40, "F2: %.1f Hz",
                p[shell::kParamF2]);
}

// Slots are visited from 0 while the next slot's kind is positive, and never past slot 63.
bool NextKindPositive(const PaneStore& store, int e) {
    return e + 1 < shell::kMaxElements && store.ElementGeometry[e + 1].kind > 0;
}

// The input node number and the output ports' hot nodes, written into the store.
void WriteDerivedNodes(PaneStore& store) {
    for (int e = 0; e < shell::kMaxElements; ++e) {
        if (store.ElementGeometry[e].kind == shell::kElementInputNode) {
            store.ElementParams[e][shell::kParamInputNodeNumber] =
                static_cast<float>(store.ElementGeometry[e].node1);
            break;
        }
        if (!NextKindPositive(store, e)) break;
    }
    for (int e = 0; e < shell::kMaxElements; ++e) {
        const ElementGeometryRecord& port = store.ElementGeometry[e];
        if (port.kind == shell::kElementOutputPort) {
            for (int g = 0; g < shell::kMaxElements; ++g) {
                const ElementGeometryRecord& ground = store.ElementGeometry[g];
                if (ground.kind != shell::kElementGround) continue;
                if (port.node1 == ground.node1 || port.node1 == ground.node2) {
                    store.ElementParams[e][shell::kParamHotNode] = static_cast<float>(port.node2);
                    break;
                }
                if (port.node2 == ground.node1 || port.node2 == ground.node2) {
                    store.ElementParams[e][shell::kParamHotNode] = static_cast<float>(port.node1);
                    break;
                }
            }
        }
        if (!NextKindPositive(store, e)) break;
    }
}

void NodeNumber(HDC hdc, int x, int y, int node) {
    if (node < 0) return;
    char text[16];
    std::snprintf(text, sizeof text, "%d", node);
    Text(hdc, x, y, text);
}

}  // namespace

const char* PaneTitle(int pane) {
    static constexpr const char* kSub1[3] = {"Subwoofer 1", "Sub 1 BBM", "Sub 1 SUM"};
    static constexpr const char* kSub2[3] = {"Subwoofer 2", "Sub 2 BBM", "Sub 2 SUM"};
    const int mode =
        (shell::SubwooferMode >= 0 && shell::SubwooferMode <= 2) ? shell::SubwooferMode : 0;
    switch (pane) {
        case 1:
            return "Front-Left";
        case 2:
            return "Center";
        case 3:
            return "Front-Right";
        case 4:
            return "Rear-Left";
        case 5:
            return kSub1[mode];
        case 6:
            return "Rear-Right";
        case 7:
            return kSub2[mode];
        default:
            return "";
    }
}

void DrawPaneDiagram(int pane, HWND window, HDC hdc) {
    if (!ValidPane(pane)) return;
    const PaneStore& store = StoreOf(pane);
    RECT client{};
    GetClientRect(window, &client);

    const HBRUSH background = CreateSolidBrush(kPaneBackground);
    const HBRUSH old_brush = SelectObject(hdc, background);
    Rectangle(hdc, client.left, client.top, client.right, client.bottom);
    SelectObject(hdc, old_brush);
    DeleteObject(background);

    if (ShowRaster == 1) {
        for (int i = 1; i < client.right / 10; ++i) {
            for (int j = 1; j < client.bottom / 10; ++j) SetPixel(hdc, 10 * i, 10 * j, kRasterDot);
        }
    }

    const HPEN old_pen = SelectObject(hdc, shell::BluePen);
    const int wires = Clamp(store.WireCount, shell::kMaxWires);
    for (int w = 0; w < wires; ++w) {
        const shell::WireRecord& wire = store.Wire[w];
        if (!Drawable(wire.x1, wire.y1) || !Drawable(wire.x2, wire.y2)) continue;
        MoveToEx(hdc, wire.x1, wire.y1, nullptr);
        LineTo(hdc, wire.x2, wire.y1);
        LineTo(hdc, wire.x2, wire.y2);
    }
    SelectObject(hdc, old_pen);

    const int elements = Clamp(store.ElementCount, shell::kMaxElements);
    for (int e = 0; e < elements; ++e) {
        const ElementGeometryRecord& g = store.ElementGeometry[e];
        if (g.x1 >= 1000 || !Drawable(g)) continue;
        DrawElementSymbol(g.kind, hdc, g.x1, g.y1);
    }
}

namespace {

void DrawElementLabels(const PaneStore& store, HDC hdc) {
    SetBkMode(hdc, TRANSPARENT);
    for (int e = 0; e < shell::kMaxElements && store.ElementGeometry[e].kind >= 1; ++e) {
        const ElementGeometryRecord& g = store.ElementGeometry[e];
        const float* p = store.ElementParams[e];
        if (!Drawable(g)) continue;
        switch (g.kind) {
            case shell::kElementOutputPort:
                OutputPortLabels(hdc, store, e);
                break;
            case shell::kElementInputNode:
                LabelFormat(hdc, shell::TitleFont, kInputNumberColour, g.x1 - 20, g.y1 - 30,
                            "In%.0f", p[shell::kParamInputPort]);
                break;
            case shell::kElementFilter:
                FilterLabels(hdc, p, g.x1, g.y1);
                break;
            case shell::kElementRoomEq:
                RoomEqLabels(hdc, p, g.x1, g.y1);
                break;
            default:
                break;
        }
        SetTextColor(hdc, RGB(0, 0, 0));
    }
    SetBkMode(hdc, OPAQUE);
}

}  // namespace

void DrawPaneElementLabels(int pane, HDC hdc) {
    if (!ValidPane(pane)) return;
    PaneStore& store = StoreOf(pane);
    DrawElementLabels(store, hdc);
    WriteDerivedNodes(store);
}

SIZE PaneNetworkExtent(int pane, HDC hdc) {
    if (!ValidPane(pane)) return SIZE{0, 0};
    const PaneStore& store = StoreOf(pane);
    // The symbols reach at most this far right of and below their elements' terminals (the
    // output port's cone and its bottom dot, a filter's right dot, a ground's bars).
    constexpr int kSymbolReach = 18;
    RECT extent{0, 0, 0, 0};
    const int wires = Clamp(store.WireCount, shell::kMaxWires);
    for (int w = 0; w < wires; ++w) {
        const shell::WireRecord& wire = store.Wire[w];
        if (!Drawable(wire.x1, wire.y1) || !Drawable(wire.x2, wire.y2)) continue;
        extent.right = std::max<LONG>(extent.right, std::max(wire.x1, wire.x2) + 1);
        extent.bottom = std::max<LONG>(extent.bottom, std::max(wire.y1, wire.y2) + 1);
    }
    const int elements = Clamp(store.ElementCount, shell::kMaxElements);
    for (int e = 0; e < elements; ++e) {
        const ElementGeometryRecord& g = store.ElementGeometry[e];
        if (g.x1 >= 1000 || !Drawable(g) || g.kind < 1 || g.kind > 6) continue;
        extent.right = std::max<LONG>(extent.right, std::max(g.x1, g.x2) + kSymbolReach);
        extent.bottom = std::max<LONG>(extent.bottom, std::max(g.y1, g.y2) + kSymbolReach);
    }
    measured_extent = &extent;
    DrawElementLabels(store, hdc);
    measured_extent = nullptr;
    return SIZE{extent.right, extent.bottom};
}

void DrawPaneNodeNumbers(int pane, HDC hdc) {
    if (!ValidPane(pane)) return;
    const PaneStore& store = StoreOf(pane);
    const HFONT old_font = SelectObject(hdc, shell::LabelFont);
    SetBkMode(hdc, TRANSPARENT);
    SetTextColor(hdc, kNodeNumberColour);
    for (int e = 0; e < shell::kMaxElements; ++e) {
        const ElementGeometryRecord& g = store.ElementGeometry[e];
        // Terminals at x = 0 are not supported: the scan ends at such a slot.
        if (g.x1 <= 0) break;
        if (!Drawable(g)) continue;
        switch (g.kind) {
            case shell::kElementOutputPort:
                NodeNumber(hdc, g.x1 + 4, g.y1 - 5, g.node1);
                NodeNumber(hdc, g.x2 - 12, g.y2 - 6, g.node2);
                break;
            case shell::kElementInputNode:
                NodeNumber(hdc, g.x1, g.y1, g.node1);
                NodeNumber(hdc, g.x2, g.y2, g.node2);
                break;
            case shell::kElementFilter:
            case shell::kElementRoomEq:
                NodeNumber(hdc, g.x1 - 8, g.y1 - 12, g.node1);
                NodeNumber(hdc, g.x2 - 5, g.y2 - 12, g.node2);
                break;
            case shell::kElementJunction:
                NodeNumber(hdc, g.x1 + 2, g.y1, g.node1);
                break;
            case shell::kElementGround:
                NodeNumber(hdc, g.x1 - 12, g.y1, g.node1);
                NodeNumber(hdc, g.x2 - 12, g.y2, g.node2);
                break;
            default:
                break;
        }
        if (e + 1 >= shell::kMaxElements || store.ElementGeometry[e + 1].x1 <= 0) break;
    }
    SetTextColor(hdc, RGB(0, 0, 0));
    SelectObject(hdc, old_font);
}

int PaintPane(int pane, HWND window, HDC hdc) {
    if (!ValidPane(pane)) return 0;
    DrawPaneDiagram(pane, window, hdc);
    DrawPaneElementLabels(pane, hdc);
    if (ShowNodes == 1) DrawPaneNodeNumbers(pane, hdc);

    RECT client{};
    GetClientRect(window, &client);
    const HFONT old_font = SelectObject(hdc, shell::TitleFont);
    SetTextColor(hdc, ActivePane == pane ? kActiveTitle : kInactiveTitle);
    SetBkMode(hdc, TRANSPARENT);
    Text(hdc, 2, client.bottom - 30, PaneTitle(pane));
    SetBkMode(hdc, OPAQUE);
    SetTextColor(hdc, RGB(0, 0, 0));
    SelectObject(hdc, old_font);
    return 0;
}

int PaintPane1(HWND window, HDC hdc) { return PaintPane(1, window, hdc); }
int PaintPane2(HWND window, HDC hdc) { return PaintPane(2, window, hdc); }
int PaintPane3(HWND window, HDC hdc) { return PaintPane(3, window, hdc); }
int PaintPane4(HWND window, HDC hdc) { return PaintPane(4, window, hdc); }
int PaintPane5(HWND window, HDC hdc) { return PaintPane(5, window, hdc); }
int PaintPane6(HWND window, HDC hdc) { return PaintPane(6, window, hdc); }
int PaintPane7(HWND window, HDC hdc) { return PaintPane(7, window, hdc); }

}  // namespace network
