#include "frame/ConfigWindows.h"

#include <algorithm>
#include <initializer_list>

#include "measurement/RoomEq.h"
#include "network/EditorState.h"
#include "network/PaneDrawing.h"
#include "network/PaneEditor.h"
#include "platform/gdi/Gdi.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Paint.h"
#include "platform/ui/Window.h"
#include "shell/FrameGlobals.h"
#include "shell/FrameWindows.h"
#include "shell/Ids.h"
#include "shell/NetworkTables.h"
#include "solver/OutputPortDialog.h"
#include "solver/SplPlot.h"

namespace frame {

using namespace shell;

using platform::HWND;
using platform::LPARAM;
using platform::LRESULT;
using platform::UINT;
using platform::WPARAM;

namespace {

constexpr const char* kSplPlotTitle = "Quorvex Equalizer Frequency Domain";

// Columns and rows of a pane's cell.
enum Column { kLeft, kMiddle, kRight, kMiddleLeftHalf, kMiddleRightHalf };
enum Row { kTop, kBottom, kSingleRow };

struct PaneCell {
    int pane;  // 1..7
    Column column;
    Row row;
};

struct ConfigKind {
    HWND* handle;
    int placement_slot;
    int bar_slot;
    bool three_columns;  // vertical bars x1 and x2; otherwise one vertical bar x
    bool two_rows;       // a horizontal bar y
    PaneCell cells[7];   // in pane order
    int pane_count;
};

const ConfigKind kHomeTheatre{&SplitterWindow,
                              kSlotHomeTheatre,
                              kSlotHomeTheatreBars,
                              true,
                              true,
                              {{1, kLeft, kTop},
                               {2, kMiddle, kTop},
                               {3, kRight, kTop},
                               {4, kLeft, kBottom},
                               {5, kMiddle, kBottom},
                               {6, kRight, kBottom}},
                              6};
const ConfigKind kStereo{&Splitter1Window,
                         kSlotStereo,
                         kSlotStereoBars,
                         false,
                         false,
                         {{1, kLeft, kSingleRow}, {3, kRight, kSingleRow}},
                         2};
const ConfigKind kQuadro{
    &Splitter2Window,
    kSlotQuadro,
    kSlotQuadroBars,
    false,
    true,
    {{1, kLeft, kTop}, {3, kRight, kTop}, {4, kLeft, kBottom}, {6, kRight, kBottom}},
    4};
const ConfigKind kBbm{&Splitter3Window,
                      kSlotBbm,
                      kSlotBbmBars,
                      true,
                      true,
                      {{1, kLeft, kTop},
                       {2, kMiddle, kTop},
                       {3, kRight, kTop},
                       {4, kLeft, kBottom},
                       {5, kMiddleLeftHalf, kBottom},
                       {6, kRight, kBottom},
                       {7, kMiddleRightHalf, kBottom}},
                      7};

// What a configuration window holds while it is open (one window of each class at a time).
struct ConfigState {
    HWND window;
    int x1, x2, y;  // bars in client pixels (x2 unused by two-column windows)
    bool drag_x1, drag_x2, drag_y;
    platform::HCURSOR cursor_we, cursor_ns, cursor_arrow, cursor_current;
    HWND panes[kPaneCount];  // this window's own panes
};

ConfigState states[4];

ConfigState& StateOf(const ConfigKind& kind) {
    if (&kind == &kHomeTheatre) return states[0];
    if (&kind == &kStereo) return states[1];
    if (&kind == &kQuadro) return states[2];
    return states[3];
}

int ClampBar(int bar, int extent) {
    if (bar > extent - kBarMargin) return extent - kBarMargin;
    if (bar < kBarMargin) return kBarMargin;
    return bar;
}

// Keeps the bars inside [margin, extent - margin] and, in three-column windows, bar 1 at least
// kMinBarGap left of bar 2, so no pane ever gets a negative width.
void ClampBars(const ConfigKind& kind, ConfigState& s, int width, int height) {
    s.x1 = ClampBar(s.x1, width);
    if (kind.three_columns) {
        s.x2 = ClampBar(s.x2, width);
        if (s.x2 - s.x1 < kMinBarGap) {
            if (width - 2 * kBarMargin >= kMinBarGap) {
                s.x2 = std::max(s.x2, s.x1 + kMinBarGap);
                if (s.x2 > width - kBarMargin) {
                    s.x2 = width - kBarMargin;
                    s.x1 = s.x2 - kMinBarGap;
                }
            } else {
                s.x2 = std::max(s.x2, s.x1);
            }
        }
    }
    if (kind.two_rows) s.y = ClampBar(s.y, height);
}

void LayOut(const ConfigKind& kind, ConfigState& s, HWND hwnd) {
    platform::RECT client{};
    platform::GetClientRect(hwnd, &client);
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;
    NotePlacementSize(WindowPlacements[kind.placement_slot], width, height);
    ClampBars(kind, s, width, height);

    const int x1 = s.x1;
    const int x2 = kind.three_columns ? s.x2 : s.x1;
    const int half = (x2 - x1) / 2;  // truncates toward zero
    for (int i = 0; i < kind.pane_count; ++i) {
        const PaneCell& cell = kind.cells[i];
        int x = 0, w = 0, y = 0, h = 0;
        switch (cell.column) {
            case kLeft:
                x = 1;
                w = x1 - 2;
                break;
            case kMiddle:
                x = x1 + 1;
                w = x2 - x1;
                break;
            case kRight:
                if (kind.three_columns) {
                    x = x2 + 3;
                    w = width - x2 - 4;
                } else {
                    x = x1 + 1;
                    w = width - x1 - 3;
                }
                break;
            case kMiddleLeftHalf:
                x = x1 + 1;
                w = half;
                break;
            case kMiddleRightHalf:
                x = x1 + half + 3;
                w = half - 2;
                break;
        }
        switch (cell.row) {
            case kTop:
                y = 1;
                h = s.y - 2;
                break;
            case kBottom:
                y = s.y + 2;
                h = height - s.y - 3;
                break;
            case kSingleRow:
                y = 1;
                h = height - 3;
                break;
        }
        platform::MoveWindow(s.panes[cell.pane - 1], x, y, std::max(w, 0), std::max(h, 0),
                             platform::FALSE);
    }
    platform::InvalidateRect(hwnd, nullptr, platform::TRUE);
}

void LoadBars(const ConfigKind& kind, ConfigState& s) {
    const WindowPlacement& bars = WindowPlacements[kind.bar_slot];
    s.x1 = bars.X;
    s.y = kind.two_rows ? bars.Y : 0;
    s.x2 = kind.three_columns ? bars.Width : bars.X;
}

void StoreBars(const ConfigKind& kind, const ConfigState& s) {
    WindowPlacement& bars = WindowPlacements[kind.bar_slot];
    bars.X = s.x1;
    if (kind.two_rows) bars.Y = s.y;
    if (kind.three_columns) bars.Width = s.x2;
}

bool Near(int bar, int at) { return bar - 2 < at && at < bar + 2; }

platform::RECT VerticalBarRect(HWND hwnd, int x) {
    platform::RECT client{};
    platform::GetClientRect(hwnd, &client);
    return platform::RECT{x - 2, client.top, x + 2, client.bottom};
}

platform::RECT HorizontalBarRect(HWND hwnd, int y) {
    platform::RECT client{};
    platform::GetClientRect(hwnd, &client);
    return platform::RECT{client.left + 1, y - 2, client.right, y + 2};
}

void DrawBarMarks(const ConfigKind& kind, const ConfigState& s, HWND hwnd, platform::HDC dc) {
    if (s.drag_x1) {
        const platform::RECT r = VerticalBarRect(hwnd, s.x1);
        platform::DrawFocusRect(dc, &r);
    }
    if (kind.three_columns && s.drag_x2) {
        const platform::RECT r = VerticalBarRect(hwnd, s.x2);
        platform::DrawFocusRect(dc, &r);
    }
    if (kind.two_rows && s.drag_y) {
        const platform::RECT r = HorizontalBarRect(hwnd, s.y);
        platform::DrawFocusRect(dc, &r);
    }
}

void ShowCursor(ConfigState& s, platform::HCURSOR cursor) {
    if (cursor == s.cursor_current) return;
    platform::SetCursor(cursor);
    s.cursor_current = cursor;
}

void MouseMove(const ConfigKind& kind, ConfigState& s, HWND hwnd, WPARAM wParam, LPARAM lParam) {
    const int x = platform::LOWORD(static_cast<std::uintptr_t>(lParam));
    const int y = platform::HIWORD(static_cast<std::uintptr_t>(lParam));
    if (wParam != platform::MK_LBUTTON) {
        const bool on_vertical = Near(s.x1, x) || (kind.three_columns && Near(s.x2, x));
        if (on_vertical) {
            ShowCursor(s, s.cursor_we);
        } else if (kind.two_rows && Near(s.y, y)) {
            ShowCursor(s, s.cursor_ns);
        } else {
            ShowCursor(s, s.cursor_arrow);
        }
        return;
    }
    if (!s.drag_x1 && !s.drag_x2 && !s.drag_y) return;
    const platform::HDC dc = platform::GetDC(hwnd);
    DrawBarMarks(kind, s, hwnd, dc);  // a focus rectangle drawn twice disappears
    // Bar 1 never passes bar 2 (nor bar 2 bar 1).
    if (s.drag_x1) s.x1 = kind.three_columns ? std::min(x, s.x2 - kMinBarGap) : x;
    if (kind.three_columns && s.drag_x2) s.x2 = std::max(x, s.x1 + kMinBarGap);
    if (kind.two_rows && s.drag_y) s.y = y;
    DrawBarMarks(kind, s, hwnd, dc);
    platform::ReleaseDC(hwnd, dc);
    StoreBars(kind, s);
}

void ButtonDown(const ConfigKind& kind, ConfigState& s, HWND hwnd, LPARAM lParam) {
    const int x = platform::LOWORD(static_cast<std::uintptr_t>(lParam));
    const int y = platform::HIWORD(static_cast<std::uintptr_t>(lParam));
    s.drag_x1 = Near(s.x1, x);
    s.drag_x2 = kind.three_columns && Near(s.x2, x);
    s.drag_y = kind.two_rows && Near(s.y, y);
    if (!s.drag_x1 && !s.drag_x2 && !s.drag_y) return;
    platform::SetCapture(hwnd);
    ShowCursor(s, (s.drag_x1 || s.drag_x2) ? s.cursor_we : s.cursor_ns);
}

void ButtonUp(const ConfigKind& kind, ConfigState& s, HWND hwnd) {
    if (s.drag_x1 || s.drag_x2 || s.drag_y) {
        platform::ReleaseCapture();
        const platform::HDC dc = platform::GetDC(hwnd);
        DrawBarMarks(kind, s, hwnd, dc);
        platform::ReleaseDC(hwnd, dc);
        s.drag_x1 = s.drag_x2 = s.drag_y = false;
    }
    platform::PostMessage(hwnd, platform::WM_SIZE, 0, 0);
}

void CreatePanes(const ConfigKind& kind, ConfigState& s, HWND hwnd, LPARAM lParam) {
    const auto* create = reinterpret_cast<const platform::CREATESTRUCT*>(lParam);
    const platform::HINSTANCE instance = create ? create->hInstance : AppInstance;
    static const char* const kClasses[kPaneCount] = {"Pane 1", "Pane 2", "Pane 3", "Pane 4",
                                                     "Pane 5", "Pane 6", "Pane 7"};
    static const char* const kTitles[kPaneCount] = {"Child 1", "Child 2", "Child 3", "Child 4",
                                                    "Child 5", "Child 6", "Child 7"};
    HWND* table = network::PaneWindows;
    for (int k = 1; k <= kPaneCount; ++k) {
        bool held = false;
        for (int i = 0; i < kind.pane_count; ++i) held = held || kind.cells[i].pane == k;
        if (!held) continue;
        const HWND pane = platform::CreateWindowEx(
            platform::WS_EX_CLIENTEDGE, kClasses[k - 1], kTitles[k - 1],
            platform::WS_CHILD | platform::WS_VISIBLE | platform::WS_CLIPCHILDREN, 0, 0, 0, 0, hwnd,
            platform::HMENU{}, instance, nullptr);
        s.panes[k - 1] = pane;
        table[k - 1] = pane;
    }
}

// A pane's right click on an output port or a room-EQ element: the element's dialog, modal on
// the pane. 1 when a dialog ran.
LRESULT OpenElementDialog(WPARAM kind, LPARAM pane_handle) {
    const HWND pane = platform::ParamToHandle(static_cast<std::uintptr_t>(pane_handle));
    switch (static_cast<int>(kind)) {
        case kElementOutputPort:
            platform::DialogBox(AppInstance, "EnterOutputPort", pane,
                                &solver::EnterOutputPortDlgProc);
            return 1;
        case kElementRoomEq:
            platform::DialogBox(AppInstance, "Room_EQ", pane, &measurement::RoomEQDlgProc);
            return 1;
        default:
            return 0;
    }
}

LRESULT ConfigWindowProc(const ConfigKind& kind, HWND hwnd, UINT message, WPARAM wParam,
                         LPARAM lParam) {
    ConfigState& s = StateOf(kind);
    switch (message) {
        case platform::WM_CREATE:
            s = ConfigState{};
            s.window = hwnd;
            LoadBars(kind, s);
            CreatePanes(kind, s, hwnd, lParam);
            s.cursor_we = platform::LoadCursor(platform::HINSTANCE{}, platform::IDC_SIZEWE);
            s.cursor_ns = platform::LoadCursor(platform::HINSTANCE{}, platform::IDC_SIZENS);
            s.cursor_arrow = platform::LoadCursor(platform::HINSTANCE{}, platform::IDC_ARROW);
            s.cursor_current = s.cursor_arrow;
            break;
        case platform::WM_SIZE:
            if (s.window == hwnd) LayOut(kind, s, hwnd);
            break;
        case platform::WM_MOVE:
            NotePlacementMove(WindowPlacements[kind.placement_slot], lParam);
            break;
        case platform::WM_MOUSEMOVE:
            if (s.window == hwnd) MouseMove(kind, s, hwnd, wParam, lParam);
            break;
        case platform::WM_LBUTTONDOWN:
            if (s.window == hwnd) ButtonDown(kind, s, hwnd, lParam);
            break;
        case platform::WM_LBUTTONUP:
            if (s.window == hwnd) ButtonUp(kind, s, hwnd);
            break;
        case network::kOpenElementDialogMessage:
            return OpenElementDialog(wParam, lParam);
        case platform::WM_CLOSE:
            platform::DestroyWindow(hwnd);
            return 0;
        case platform::WM_DESTROY:
            if (*kind.handle == hwnd) *kind.handle = 0;
            if (s.window == hwnd) s.window = 0;
            break;
        default:
            break;
    }
    return platform::DefMDIChildProc(hwnd, message, wParam, lParam);
}

template <int K>
LRESULT PaneProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    const platform::WNDPROC editor = network::PaneWndProcFor(K);
    if (message != platform::WM_DESTROY) return editor(hwnd, message, wParam, lParam);
    HWND* table = network::PaneWindows;
    const HWND live = table[K - 1];
    const LRESULT result = editor(hwnd, message, wParam, lParam);
    // Only the window the entry names may clear it: a newer copy of this pane keeps its entry.
    table[K - 1] = live == hwnd ? HWND{} : live;
    return result;
}

constexpr platform::WNDPROC kPaneProcs[kPaneCount] = {&PaneProc<1>, &PaneProc<2>, &PaneProc<3>,
                                                      &PaneProc<4>, &PaneProc<5>, &PaneProc<6>,
                                                      &PaneProc<7>};

}  // namespace

platform::WNDPROC PaneClassProcedure(int pane) {
    if (pane < 1 || pane > kPaneCount) return nullptr;
    return kPaneProcs[pane - 1];
}

bool CurrentConfigBars(HWND window, ConfigBars* bars) {
    for (const ConfigKind* kind : {&kHomeTheatre, &kStereo, &kQuadro, &kBbm}) {
        const ConfigState& s = StateOf(*kind);
        if (!window || s.window != window) continue;
        bars->x1 = s.x1;
        bars->x2 = kind->three_columns ? s.x2 : s.x1;
        bars->y = kind->two_rows ? s.y : 0;
        return true;
    }
    return false;
}

bool FitStereoWindowToNetworks() {
    ConfigState& s = StateOf(kStereo);
    const HWND window = Splitter1Window;
    if (!window || s.window != window) return false;
    const HWND left = s.panes[0];
    const HWND right = s.panes[2];
    if (!left || !right || !MdiClientWindow) return false;
    platform::SIZE need{0, 0};
    const platform::HDC dc = platform::GetDC(window);
    for (int pane : {1, 3}) {
        const platform::SIZE extent = network::PaneNetworkExtent(pane, dc);
        need.cx = std::max(need.cx, extent.cx);
        need.cy = std::max(need.cy, extent.cy);
    }
    platform::ReleaseDC(window, dc);
    platform::RECT left_client{}, right_client{}, outer{}, room{};
    platform::GetClientRect(left, &left_client);
    platform::GetClientRect(right, &right_client);
    platform::GetWindowRect(window, &outer);
    platform::GetClientRect(MdiClientWindow, &room);
    int grow_left = std::max(0, need.cx - static_cast<int>(left_client.right));
    int grow_right = std::max(0, need.cx - static_cast<int>(right_client.right));
    int grow_down =
        std::max(0, need.cy - static_cast<int>(std::min(left_client.bottom, right_client.bottom)));
    if (grow_left + grow_right + grow_down == 0) return false;
    const int width = outer.right - outer.left;
    const int height = outer.bottom - outer.top;
    // What the frame's client area cannot give is shared out between the two panes.
    const int spare_x = std::max(0, static_cast<int>(room.right) - width);
    if (grow_left + grow_right > spare_x) {
        const int wanted = grow_left + grow_right;
        grow_left = grow_left * spare_x / wanted;
        grow_right = std::min(grow_right, spare_x - grow_left);
    }
    grow_down = std::min(grow_down, std::max(0, static_cast<int>(room.bottom) - height));
    if (grow_left + grow_right + grow_down == 0) return false;
    platform::POINT at{outer.left, outer.top};
    platform::ScreenToClient(MdiClientWindow, &at);
    const int new_width = width + grow_left + grow_right;
    const int new_height = height + grow_down;
    at.x = std::max(0, std::min(static_cast<int>(at.x), static_cast<int>(room.right) - new_width));
    at.y =
        std::max(0, std::min(static_cast<int>(at.y), static_cast<int>(room.bottom) - new_height));
    s.x1 += grow_left;
    StoreBars(kStereo, s);
    platform::MoveWindow(window, at.x, at.y, new_width, new_height, platform::TRUE);
    return true;
}

LRESULT SplitterWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return ConfigWindowProc(kHomeTheatre, hwnd, message, wParam, lParam);
}
LRESULT Splitter1WndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return ConfigWindowProc(kStereo, hwnd, message, wParam, lParam);
}
LRESULT Splitter2WndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return ConfigWindowProc(kQuadro, hwnd, message, wParam, lParam);
}
LRESULT Splitter3WndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return ConfigWindowProc(kBbm, hwnd, message, wParam, lParam);
}

LRESULT SplPlottingWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    WindowPlacement& slot = WindowPlacements[kSlotSplPlotting];
    switch (message) {
        case platform::WM_SIZE:
            SplPlotWidth = platform::LOWORD(static_cast<std::uintptr_t>(lParam));
            SplPlotHeight = platform::HIWORD(static_cast<std::uintptr_t>(lParam));
            NotePlacementSize(slot, SplPlotWidth, SplPlotHeight);
            platform::SetWindowText(hwnd, kSplPlotTitle);
            break;
        case platform::WM_MOVE:
            NotePlacementMove(slot, lParam);
            platform::SetWindowText(hwnd, kSplPlotTitle);
            break;
        case platform::WM_PAINT: {
            // Every paint redraws the whole client area, at this window's own size: the
            // diffraction plot, open beside it, keeps the shared plot size of its own window.
            platform::InvalidateRect(hwnd, nullptr, platform::TRUE);
            platform::RECT client{};
            platform::GetClientRect(hwnd, &client);
            platform::PAINTSTRUCT ps{};
            const platform::HDC dc = platform::BeginPaint(hwnd, &ps);
            solver::DrawSplPhaseFrame(dc, client.right - client.left, client.bottom - client.top,
                                      hwnd);
            platform::EndPaint(hwnd, &ps);
            return 0;
        }
        case platform::WM_DESTROY:
            if (SplPlottingWindow == hwnd) SplPlottingWindow = 0;
            break;
        default:
            break;
    }
    return platform::DefMDIChildProc(hwnd, message, wParam, lParam);
}

}  // namespace frame
