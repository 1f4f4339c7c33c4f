#include "network/PaneEditor.h"

#include <cstdio>

#include "network/EditorState.h"
#include "network/ElementDialogs.h"
#include "network/Ids.h"
#include "network/PaneDrawing.h"
#include "network/Topology.h"
#include "network/WorkingNetwork.h"
#include "platform/gdi/Gdi.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Paint.h"
#include "platform/ui/Window.h"
#include "shell/FrameGlobals.h"
#include "shell/GdiObjects.h"
#include "shell/Globals.h"
#include "shell/NetworkTables.h"

namespace network {

using namespace platform;
using shell::ElementGeometryRecord;
using shell::WireRecord;
using shell::WorkingNetwork;

namespace {

// What the editor keeps between messages of a drag.
struct DragState {
    POINT start;     // where a wire drag started (snapped)
    POINT last;      // where the ghost, band or selection was last drawn
    int first_move;  // 1 once the current drag has drawn something
};
DragState Drag{};

bool Active(int pane) { return ActivePane == pane; }

int Warn(HWND pane_window, int pane, const char* text) {
    return MessageBox(pane_window, text, PaneCaption(pane), MB_OK | MB_ICONEXCLAMATION);
}

// The pointer position of a mouse message, kept inside the pane: with the mouse captured during
// a drag a release may come from outside the client area.
POINT PointerOf(HWND hwnd, LPARAM lParam) {
    RECT client{};
    GetClientRect(hwnd, &client);
    int x = GET_X_LPARAM(lParam);
    int y = GET_Y_LPARAM(lParam);
    if (client.right > 0) x = x < 0 ? 0 : (x >= client.right ? client.right - 1 : x);
    if (client.bottom > 0) y = y < 0 ? 0 : (y >= client.bottom ? client.bottom - 1 : y);
    return POINT{x, y};
}

POINT SnappedOf(HWND hwnd, LPARAM lParam) {
    const POINT p = PointerOf(hwnd, lParam);
    return POINT{SnapToGrid(p.x), SnapToGrid(p.y)};
}

void InvalidatePane(HWND hwnd) { InvalidateRect(hwnd, nullptr, TRUE); }

void InvalidateAllPanes(HWND own) {
    InvalidatePane(own);
    for (HWND pane : PaneWindows) {
        if (pane != own && IsWindow(pane)) InvalidatePane(pane);
    }
}

// Redraws the toolbox's palette, which removes the highlight of the chosen cell.
void RedrawToolboxPalette() {
    const HWND toolbox = shell::ComponentCADSelectionDialog;
    if (!IsWindow(toolbox)) return;
    const HWND palette = GetDlgItem(toolbox, kElementPalette);
    const HWND target = palette ? palette : toolbox;
    const HDC hdc = GetDC(target);
    DrawElementPalette(hdc);
    ReleaseDC(target, hdc);
}

void HighlightElement(HDC hdc, int e) {
    const ElementGeometryRecord& g = WorkingNetwork.ElementGeometry[e];
    const HPEN old_pen = SelectObject(hdc, shell::GreenPen2);
    DrawElementSymbol(g.kind, hdc, g.x1, g.y1);
    SelectObject(hdc, old_pen);
}

bool Same(POINT a, std::int32_t x, std::int32_t y) { return a.x == x && a.y == y; }

bool OnAnyTerminal(int x, int y) {
    for (const ElementGeometryRecord& g : WorkingNetwork.ElementGeometry) {
        if ((g.x1 == x && g.y1 == y) || (g.x2 == x && g.y2 == y) || (g.x3 == x && g.y3 == y)) {
            return true;
        }
    }
    return false;
}

bool AnyElementOfKind(int kind) {
    for (const ElementGeometryRecord& g : WorkingNetwork.ElementGeometry) {
        if (g.kind == kind) return true;
    }
    return false;
}

// ---- Draw tool ----

void PlacePendingElement(HWND hwnd, int pane, POINT at) {
    const int kind = PendingElementKind;
    const int x = at.x;
    const int y = at.y;
    if (kind == shell::kElementInputNode && AnyElementOfKind(shell::kElementInputNode)) {
        Warn(hwnd, pane, "Input Node Exists");
    } else if (kind == shell::kElementRoomEq && AnyElementOfKind(shell::kElementRoomEq)) {
        Warn(hwnd, pane, "Room EQ Exists");
    } else if ((kind == shell::kElementFilter || kind == shell::kElementRoomEq) &&
               (OnAnyTerminal(x, y) || OnAnyTerminal(x + 40, y))) {
        Warn(hwnd, pane, "Overlapped Terminal Detected");
    } else if (kind == shell::kElementOutputPort &&
               (OnAnyTerminal(x, y) || OnAnyTerminal(x, y + 40))) {
        Warn(hwnd, pane, "Overlapped Terminal Detected");
    } else if (kind == shell::kElementOutputPort) {
        AppendElement(WorkingNetwork, hwnd, kind, x, y, x, y + 40);
    } else if (kind == shell::kElementFilter || kind == shell::kElementRoomEq) {
        AppendElement(WorkingNetwork, hwnd, kind, x, y, x + 40, y);
    } else if (kind == shell::kElementInputNode || kind == shell::kElementJunction ||
               kind == shell::kElementGround) {
        AppendElement(WorkingNetwork, hwnd, kind, x, y, x, y);
    }
    SavePaneStore(pane);
    InvalidatePane(hwnd);
    ElementPending = 0;
    RedrawToolboxPalette();
}

void DrawButtonDown(HWND hwnd, int pane, POINT at) {
    Drag.first_move = 0;
    if (ElementPending != 1) {
        WireDragActive = 1;
        Drag.start = at;
        SetCapture(hwnd);
        return;
    }
    PlacePendingElement(hwnd, pane, at);
}

// The L-shaped rubber band from the wire's start across to p.x and down to p.
void RubberBand(HDC hdc, POINT p) {
    MoveToEx(hdc, Drag.start.x, Drag.start.y, nullptr);
    LineTo(hdc, p.x, Drag.start.y);
    LineTo(hdc, p.x, p.y);
}

void DrawMouseMove(HDC hdc, POINT p) {
    if (ElementPending == 1) {
        SetROP2(hdc, R2_NOTXORPEN);
        if (Drag.first_move != 0)
            DrawElementGhost(PendingElementKind, hdc, Drag.last.x, Drag.last.y);
        DrawElementGhost(PendingElementKind, hdc, p.x, p.y);
        Drag.first_move = 1;
    } else if (WireDragActive == 1) {
        SetROP2(hdc, R2_NOT);
        if (Drag.first_move != 0) RubberBand(hdc, Drag.last);
        RubberBand(hdc, p);
        Drag.first_move = 1;
    }
    Drag.last = p;
}

bool WireExists(POINT a, POINT b) {
    for (const WireRecord& w : WorkingNetwork.Wire) {
        if (w.x1 == a.x && w.y1 == a.y && w.x2 == b.x && w.y2 == b.y) return true;
    }
    return false;
}

void DrawButtonUp(HWND hwnd, int pane, POINT end) {
    Drag.first_move = 0;
    if (WireDragActive != 1) return;
    if (GetCapture() == hwnd) ReleaseCapture();
    const POINT start = Drag.start;
    const bool candidate = !Same(start, end.x, end.y);
    if (candidate && !WireExists(start, end) &&
        WireEndsOnTerminals(start.x, start.y, end.x, end.y) == 1 &&
        AppendWire(WorkingNetwork, hwnd, start.x, start.y, end.x, end.y) >= 0) {
        RebuildNetworkNodes();
        if (pane == 1) {
            char text[64];
            std::snprintf(text, sizeof text, "WMatrixOrder = %d", WorkingNetwork.WMatrixOrder);
            Warn(hwnd, pane, text);
        }
    }
    SavePaneStore(pane);
    InvalidatePane(hwnd);
    WireDragActive = 0;
    ElementPending = 0;
}

// ---- Move tool ----

void ClearMoveMarks() {
    for (ElementGeometryRecord& g : WorkingNetwork.ElementGeometry) g.moveFlag = 0;
    for (WireRecord& w : WorkingNetwork.Wire) w.moveMark = 0;
}

// Writes the dragged element's terminals at (x, y) and moves the marked wire ends with them.
void MoveSelectionTo(int x, int y) {
    const int elements = WorkingNetwork.ElementCount < shell::kMaxElements
                             ? WorkingNetwork.ElementCount
                             : shell::kMaxElements;
    for (int e = 0; e < elements; ++e) {
        ElementGeometryRecord& g = WorkingNetwork.ElementGeometry[e];
        if (g.moveFlag != 1) continue;
        g.x1 = x;
        g.y1 = y;
        if (g.kind == shell::kElementFilter || g.kind == shell::kElementRoomEq) {
            g.x2 = x + 40;
            g.y2 = y;
        } else if (g.kind == shell::kElementOutputPort) {
            g.x2 = x;
            g.y2 = y + 40;
        } else {
            g.x2 = x;
            g.y2 = y;
        }
        for (WireRecord& w : WorkingNetwork.Wire) {
            switch (w.moveMark) {
                case 1:
                    w.x1 = g.x1;
                    w.y1 = g.y1;
                    break;
                case 2:
                    w.x2 = g.x1;
                    w.y2 = g.y1;
                    break;
                case 3:
                    w.x1 = g.x2;
                    w.y1 = g.y2;
                    break;
                case 4:
                    w.x2 = g.x2;
                    w.y2 = g.y2;
                    break;
                default:
                    break;
            }
        }
    }
}

bool AnyElementFlagged() {
    for (const ElementGeometryRecord& g : WorkingNetwork.ElementGeometry) {
        if (g.moveFlag == 1) return true;
    }
    return false;
}

void MoveButtonDown(HWND hwnd, HDC hdc, POINT at) {
    ClearMoveMarks();
    ElementPending = 1;
    Drag.first_move = 0;
    SetCapture(hwnd);
    const int e = ElementAt(at.x, at.y);
    if (e < 0) return;
    ElementGeometryRecord& g = WorkingNetwork.ElementGeometry[e];
    g.moveFlag = 1;
    const int wires =
        WorkingNetwork.WireCount < shell::kMaxWires ? WorkingNetwork.WireCount : shell::kMaxWires;
    for (int w = 0; w < wires; ++w) {
        WireRecord& wire = WorkingNetwork.Wire[w];
        if (wire.x1 == g.x1 && wire.y1 == g.y1) wire.moveMark = 1;
        if (wire.x2 == g.x1 && wire.y2 == g.y1) wire.moveMark = 2;
        if (wire.x1 == g.x2 && wire.y1 == g.y2) wire.moveMark = 3;
        if (wire.x2 == g.x2 && wire.y2 == g.y2) wire.moveMark = 4;
    }
    SetROP2(hdc, R2_NOTXORPEN);
    DrawMoveSelection(hdc);
}

void MoveMouseMove(HDC hdc, POINT q) {
    if (ElementPending != 1) return;
    SetROP2(hdc, R2_NOTXORPEN);
    if (Drag.first_move != 0) {
        MoveSelectionTo(Drag.last.x, Drag.last.y);
        DrawMoveSelectionCurrentPen(hdc);
    }
    MoveSelectionTo(q.x, q.y);
    DrawMoveSelectionCurrentPen(hdc);
    Drag.first_move = 1;
    Drag.last = q;
}

void MoveButtonUp(HWND hwnd, int pane, POINT release) {
    Drag.first_move = 0;
    if (GetCapture() == hwnd) ReleaseCapture();
    if (AnyElementFlagged()) {
        MoveSelectionTo(release.x, release.y);
        ClearMoveMarks();
        RebuildNetworkNodes();
        SavePaneStore(pane);
        InvalidatePane(hwnd);
    }
    ElementPending = 0;
}

// ---- Mouse messages of the active pane ----

void MouseMessage(HWND hwnd, int pane, UINT message, LPARAM lParam) {
    if (!Active(pane)) return;
    const HDC hdc = GetDC(hwnd);
    const int tool = ToolMode;
    if (tool == kToolDraw) {
        switch (message) {
            case WM_LBUTTONDOWN:
                DrawButtonDown(hwnd, pane, SnappedOf(hwnd, lParam));
                break;
            case WM_MOUSEMOVE:
                DrawMouseMove(hdc, SnappedOf(hwnd, lParam));
                break;
            case WM_LBUTTONUP:
                DrawButtonUp(hwnd, pane, SnappedOf(hwnd, lParam));
                break;
            default:
                break;
        }
    } else if (tool == kToolMove) {
        switch (message) {
            case WM_LBUTTONDOWN:
                MoveButtonDown(hwnd, hdc, SnappedOf(hwnd, lParam));
                break;
            case WM_MOUSEMOVE:
                MoveMouseMove(hdc, PointerOf(hwnd, lParam));
                break;
            case WM_LBUTTONUP:
                MoveButtonUp(hwnd, pane, SnappedOf(hwnd, lParam));
                break;
            default:
                break;
        }
    }
    ReleaseDC(hwnd, hdc);
}

// ---- Double clicks ----

void AfterWipe(HWND hwnd, int pane) {
    RebuildNetworkNodes();
    SavePaneStore(pane);
    InvalidatePane(hwnd);
    ElementPending = 0;
    WireDragActive = 0;
}

void WipeWireAt(HWND hwnd, int pane, POINT at) {
    for (int w = 0; w < WorkingNetwork.WireCount && w < shell::kMaxWires; ++w) {
        if (!WireHit(w, at.x, at.y)) continue;
        RemoveWire(WorkingNetwork, w);
        AfterWipe(hwnd, pane);
    }
}

bool WireOnTerminals(const WireRecord& w, const ElementGeometryRecord& g) {
    return (w.x1 == g.x1 && w.y1 == g.y1) || (w.x2 == g.x1 && w.y2 == g.y1) ||
           (w.x1 == g.x2 && w.y1 == g.y2) || (w.x2 == g.x2 && w.y2 == g.y2);
}

void WipeElementAt(HWND hwnd, int pane, POINT at) {
    for (int e = 0; e < WorkingNetwork.ElementCount && e < shell::kMaxElements; ++e) {
        const ElementGeometryRecord g = WorkingNetwork.ElementGeometry[e];
        const bool horizontal = g.y1 == at.y && g.y2 == at.y && g.x1 <= at.x && at.x <= g.x2;
        const bool vertical = g.x1 == at.x && g.x2 == at.x && g.y1 <= at.y && at.y <= g.y2;
        if (!horizontal && !vertical) continue;
        int w = 0;
        while (w < WorkingNetwork.WireCount && w < shell::kMaxWires) {
            if (WireOnTerminals(WorkingNetwork.Wire[w], g)) {
                RemoveWire(WorkingNetwork, w);
                w = 0;
            } else {
                ++w;
            }
        }
        RemoveElement(WorkingNetwork, e, SlotDefaults::kPaneStore, ClearedTitleForPane(pane));
        AfterWipe(hwnd, pane);
    }
}

void ToggleFlag(float& flag) { flag = flag == 1.0f ? 0.0f : 1.0f; }

void DrawToolDoubleClick(HWND hwnd, int pane, POINT at) {
    SetActivePane(pane);
    RestorePaneStore(pane);
    ToolMode = kToolDraw;
    ShowToolInToolbox();
    const int e = ElementAt(at.x, at.y);
    if (e >= 0) {
        const HDC hdc = GetDC(hwnd);
        HighlightElement(hdc, e);
        ReleaseDC(hwnd, hdc);
        SelectedElement = e;
        float* p = WorkingNetwork.ElementParams[e];
        switch (WorkingNetwork.ElementGeometry[e].kind) {
            case shell::kElementFilter:
            case shell::kElementRoomEq:
                ToggleFlag(p[shell::kParamBypass]);
                break;
            case shell::kElementOutputPort:
                ToggleFlag(p[shell::kParamPlotFlag]);
                break;
            default:
                break;
        }
        SavePaneStore(pane);
    }
    InvalidateAllPanes(hwnd);
}

void DoubleClick(HWND hwnd, int pane, LPARAM lParam) {
    if (!Active(pane)) return;
    const POINT at = SnappedOf(hwnd, lParam);
    switch (ToolMode) {
        case kToolWipeWire:
            WipeWireAt(hwnd, pane, at);
            break;
        case kToolWipeComp:
            WipeElementAt(hwnd, pane, at);
            break;
        case kToolDraw:
            DrawToolDoubleClick(hwnd, pane, at);
            break;
        default:
            break;
    }
}

// ---- Right click ----

struct ElementDialog {
    const char* name;
    DLGPROC proc;
};

// The dialogs of the network editor's own elements; the others are the parent's to open.
ElementDialog DialogFor(int kind) {
    switch (kind) {
        case shell::kElementInputNode:
            return {"EnterInputPort", &EnterInputPortDlgProc};
        case shell::kElementFilter:
            return {"EnterBehringer", &EnterBehringerDlgProc};
        default:
            return {nullptr, nullptr};
    }
}

// The element's dialog, modal on the pane: the editor's own, or the one the configuration window
// opens for it. True when a dialog ran.
bool RunElementDialog(HWND hwnd, int kind) {
    const ElementDialog dialog = DialogFor(kind);
    if (dialog.proc != nullptr) {
        DialogBox(shell::AppInstance, dialog.name, hwnd, dialog.proc);
        return true;
    }
    if (kind != shell::kElementOutputPort && kind != shell::kElementRoomEq) return false;
    return SendMessage(GetParent(hwnd), kOpenElementDialogMessage, static_cast<WPARAM>(kind),
                       static_cast<LPARAM>(hwnd.value)) == 1;
}

void RightClick(HWND hwnd, int pane, LPARAM lParam) {
    SetActivePane(pane);
    RestorePaneStore(pane);
    ToolMode = kToolDraw;
    ShowToolInToolbox();
    const POINT at = SnappedOf(hwnd, lParam);
    const int e = ElementAt(at.x, at.y);
    if (e >= 0) {
        const HDC hdc = GetDC(hwnd);
        HighlightElement(hdc, e);
        ReleaseDC(hwnd, hdc);
        SelectedElement = e;
        shell::ModalDialogOpen = 1;
        if (RunElementDialog(hwnd, WorkingNetwork.ElementGeometry[e].kind)) SavePaneStore(pane);
        shell::ModalDialogOpen = 0;
    }
    InvalidateAllPanes(hwnd);
}

LRESULT PaneWndProc(int pane, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    // A destroyed pane gives up its entry even while busy, so no stale handle stays behind; an
    // older copy of a pane must not clear the entry of the live one.
    if (message == WM_DESTROY && PaneWindows[pane - 1] == hwnd) PaneWindows[pane - 1] = 0;
    // Busy gate: while playback or a measurement runs the pane neither edits nor paints.
    if (shell::AudioBusy == 1) return DefWindowProc(hwnd, message, wParam, lParam);
    switch (message) {
        case WM_CREATE:
            PaneWindows[pane - 1] = hwnd;
            break;
        case WM_PAINT: {
            InvalidateRect(hwnd, nullptr, FALSE);
            PAINTSTRUCT ps{};
            const HDC hdc = BeginPaint(hwnd, &ps);
            PaintPane(pane, hwnd, hdc);
            EndPaint(hwnd, &ps);
            break;
        }
        case WM_CLOSE:
            DestroyWindow(hwnd);
            return 0;
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
            MouseMessage(hwnd, pane, message, lParam);
            break;
        case WM_LBUTTONDBLCLK:
            DoubleClick(hwnd, pane, lParam);
            break;
        case WM_RBUTTONDOWN:
            RightClick(hwnd, pane, lParam);
            break;
        default:
            break;
    }
    return DefWindowProc(hwnd, message, wParam, lParam);
}

}  // namespace

int SnapToGrid(int v) {
    const int snapped = ((v + 5) / 10) * 10;
    // A joint point with x = 0 marks a free place: nothing is put on the pane's left edge.
    return snapped < 10 ? 10 : snapped;
}

int ElementAt(int x, int y) {
    const int elements = WorkingNetwork.ElementCount < shell::kMaxElements
                             ? WorkingNetwork.ElementCount
                             : shell::kMaxElements;
    for (int e = 0; e < elements; ++e) {
        const ElementGeometryRecord& g = WorkingNetwork.ElementGeometry[e];
        if (g.y1 == y && g.y2 == y && g.x1 <= x && x <= g.x2) return e;
        if (g.x1 == x && g.x2 == x && g.y1 <= y && y <= g.y2) return e;
    }
    return -1;
}

bool WireHit(int w, int x, int y) {
    if (w < 0 || w >= shell::kMaxWires) return false;
    const WireRecord& wire = WorkingNetwork.Wire[w];
    const auto between = [](int v, int a, int b) {
        return (a <= v && v <= b) || (b <= v && v <= a);
    };
    return (y == wire.y1 && between(x, wire.x1, wire.x2)) ||
           (x == wire.x2 && between(y, wire.y1, wire.y2));
}

const char* PaneCaption(int pane) { return pane == 7 ? "Splitter W7" : "Splitter W1"; }

void ResetPaneDragState() { Drag = DragState{}; }

LRESULT Pane1WndProc(HWND h, UINT m, WPARAM w, LPARAM l) { return PaneWndProc(1, h, m, w, l); }
LRESULT Pane2WndProc(HWND h, UINT m, WPARAM w, LPARAM l) { return PaneWndProc(2, h, m, w, l); }
LRESULT Pane3WndProc(HWND h, UINT m, WPARAM w, LPARAM l) { return PaneWndProc(3, h, m, w, l); }
LRESULT Pane4WndProc(HWND h, UINT m, WPARAM w, LPARAM l) { return PaneWndProc(4, h, m, w, l); }
LRESULT Pane5WndProc(HWND h, UINT m, WPARAM w, LPARAM l) { return PaneWndProc(5, h, m, w, l); }
LRESULT Pane6WndProc(HWND h, UINT m, WPARAM w, LPARAM l) { return PaneWndProc(6, h, m, w, l); }
LRESULT Pane7WndProc(HWND h, UINT m, WPARAM w, LPARAM l) { return PaneWndProc(7, h, m, w, l); }

WNDPROC PaneWndProcFor(int pane) {
    static constexpr WNDPROC kProcs[shell::kPaneCount] = {Pane1WndProc, Pane2WndProc, Pane3WndProc,
                                                          Pane4WndProc, Pane5WndProc, Pane6WndProc,
                                                          Pane7WndProc};
    return (pane >= 1 && pane <= shell::kPaneCount) ? kProcs[pane - 1] : nullptr;
}

int RegisterPaneClasses(HINSTANCE instance) {
    static constexpr const char* kNames[shell::kPaneCount] = {
        "Pane 1", "Pane 2", "Pane 3", "Pane 4", "Pane 5", "Pane 6", "Pane 7"};
    int failures = 0;
    for (int k = 1; k <= shell::kPaneCount; ++k) {
        WNDCLASS wc{};
        wc.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
        wc.lpfnWndProc = PaneWndProcFor(k);
        wc.hInstance = instance;
        wc.hCursor = LoadCursor(HINSTANCE{}, IDC_ARROW);
        wc.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
        wc.lpszClassName = kNames[k - 1];
        if (RegisterClass(&wc) == 0) ++failures;
    }
    return failures == 0 ? 0 : 1;
}

}  // namespace network
