// The colour-entry editing of the two colour windows: select an entry, set its thickness and
// type, move its colour with the scroll bars, and show the scheme's swatches; and the page
// helpers and window messages both windows share.
#include "frame/ColourEditing.h"

#include <algorithm>
#include <cstdio>

#include "frame/ConfigWindows.h"
#include "frame/FrameCommands.h"
#include "platform/gdi/Gdi.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Paint.h"
#include "platform/ui/Window.h"
#include "shell/FrameGlobals.h"
#include "shell/GdiObjects.h"
#include "shell/ScrollSteps.h"

namespace frame {

using namespace shell;

using platform::HDC;
using platform::HWND;

const int kColourEntryBoxIds[kColourEntryCount] = {10008, 10009, 10010, 10011, 10012, 10013, 10014,
                                                   10015, 10016, 10017, 10018, 10019, 10020, 10021,
                                                   10022, 10038, 10039, 10040, 10041};

const char* const kColourEntryTexts[kColourEntryCount] = {"Dialogue Box Background",
                                                          "Filter SPL Curve",
                                                          "Driver SPL Curve",
                                                          "HBT SPL Curve",
                                                          "SPL Corrected Curve",
                                                          "Filter Phase Curve",
                                                          "Driver Phase Curve",
                                                          "HBT Phase Curve",
                                                          "Phase Corrected Curve",
                                                          "System SPL Corrected",
                                                          "System Phase Corrected",
                                                          "HBT + Filter SPL Curve",
                                                          "Equalized Room SPL",
                                                          "Room EQ Curve SPL",
                                                          "Room EQ Phase",
                                                          "HBT + Filter Phase Curve",
                                                          "Excess Group Delay",
                                                          "MLS In",
                                                          "MLS Ref"};

const char* const kThicknessListTexts[kThicknessRows] = {"1 = 1 pixel", "2 = 2 pixels",
                                                         "3 = 3 pixels", "4 = 4 pixels"};
const char* const kTypeListTexts[kTypeRows] = {"1 = Solid", "2 = Dotted", "3 = Dashed"};

ColourEntry ColourEditState;  // start value from ResetColourEditing

const ColourPageLayout kPreferencesColourLayout = {190, 20, 255, 300, 1, 250, 280};
const ColourPageLayout kPenColourLayout = {35, 25, 110, 150, 2, 110, 130};

namespace {

constexpr int kBarIds[3] = {kRedBarId, kGreenBarId, kBlueBarId};
constexpr const char* kBarNames[3] = {"Red", "Green", "Blue"};
constexpr int kValueX = 325;
constexpr int kSwatchLeft = 220;
constexpr int kSwatchRight = 320;
constexpr int kThicknessX = 330;
constexpr int kTypeX = 370;

int BarY(const ColourPageLayout& layout, int bar) { return layout.bar_top + bar * layout.bar_step; }
int EntryY(const ColourPageLayout& layout, int entry) {
    return layout.entry_top + 20 * (entry - layout.first_entry);
}

std::int32_t& StateColour(int bar) {
    return bar == 0 ? ColourEditState.Red : bar == 1 ? ColourEditState.Green : ColourEditState.Blue;
}
std::int32_t& EntryColour(ColourEntry& entry, int bar) {
    return bar == 0 ? entry.Red : bar == 1 ? entry.Green : entry.Blue;
}

// Swatch, thickness and type of entry e where the page shows them.
void DrawEntry(HDC dc, const ColourPageLayout& layout, int entry) {
    const ColourEntry& colour = CurveColourScheme[entry - 1];
    const int y = EntryY(layout, entry);
    const platform::HBRUSH brush =
        platform::CreateSolidBrush(platform::RGB(colour.Red, colour.Green, colour.Blue));
    const platform::HPEN old_pen = platform::SelectObject(dc, PageBlackPen());
    const platform::HBRUSH old_brush = platform::SelectObject(dc, brush);
    platform::Rectangle(dc, kSwatchLeft, y + 4, kSwatchRight, y + 14);
    if (old_brush) platform::SelectObject(dc, old_brush);
    if (old_pen) platform::SelectObject(dc, old_pen);
    platform::DeleteObject(brush);
    char text[24];
    std::snprintf(text, sizeof text, "%d   ", static_cast<int>(colour.Thickness));
    PageText(dc, kThicknessX, y, text);
    std::snprintf(text, sizeof text, "%d   ", static_cast<int>(colour.Type));
    PageText(dc, kTypeX, y, text);
}

void DrawColourValues(HDC dc, const ColourPageLayout& layout) {
    char text[24];
    for (int bar = 0; bar < 3; ++bar) {
        std::snprintf(text, sizeof text, "%d     ", static_cast<int>(StateColour(bar)));
        PageText(dc, kValueX, BarY(layout, bar), text);
    }
}

}  // namespace

int SelectedColourEntry() {
    for (int i = 0; i < kColourEntryCount; ++i) {
        if (CurveItemSelectFlags[i] == 1) return i + 1;
    }
    return 0;
}

int EditedColourEntry(const ColourPageLayout& layout) {
    const int entry = SelectedColourEntry();
    return entry >= layout.first_entry ? entry : 0;
}

int ColourEntryOfBox(int id) {
    for (int i = 0; i < kColourEntryCount; ++i) {
        if (kColourEntryBoxIds[i] == id) return i;
    }
    return -1;
}

void LoadColourEditState(const ColourPageLayout& layout) {
    const int entry = EditedColourEntry(layout);
    if (entry != 0) ColourEditState = CurveColourScheme[entry - 1];
}

void CreateColourControls(HWND window, const ColourPageLayout& layout) {
    for (int bar = 0; bar < 3; ++bar) {
        CreatePageChild(window, "SCROLLBAR", nullptr, platform::SBS_HORZ, 60, BarY(layout, bar),
                        255, 14, kBarIds[bar]);
        const HWND handle = platform::GetDlgItem(window, kBarIds[bar]);
        platform::SetScrollRange(handle, platform::SB_CTL, 0, 255, platform::FALSE);
        platform::SetScrollPos(handle, platform::SB_CTL, std::clamp<int>(StateColour(bar), 0, 255),
                               platform::FALSE);
    }
    CreatePageList(window, kThicknessListId, 80, layout.list_top, 100, 40, kThicknessListTexts,
                   kThicknessRows);
    CreatePageList(window, kTypeListId, 220, layout.list_top, 90, 40, kTypeListTexts, kTypeRows);
    for (int entry = layout.first_entry; entry <= kColourEntryCount; ++entry) {
        CreatePageChild(window, "BUTTON", kColourEntryTexts[entry - 1], platform::BS_CHECKBOX, 10,
                        EntryY(layout, entry), 200, 20, kColourEntryBoxIds[entry - 1]);
    }
}

int ScrolledColourValue(int value, unsigned code, int thumb) {
    return ScrolledPosition(value, code, thumb, 0, 255);
}

void ColourEditMessage(HWND window, HDC dc, const ColourPageLayout& layout, platform::UINT message,
                       platform::WPARAM wParam, platform::LPARAM lParam) {
    const int edited_before = EditedColourEntry(layout);
    if (message == platform::WM_COMMAND) {
        const int id = platform::LOWORD(wParam);
        // 1. An entry box selects its entry and clears every other flag (all 19 entries).
        const int index = ColourEntryOfBox(id);
        if (index >= 0 && index + 1 >= layout.first_entry) {
            for (int i = 0; i < kColourEntryCount; ++i) {
                CurveItemSelectFlags[i] = i == index ? 1 : 0;
                platform::CheckDlgButton(
                    window, kColourEntryBoxIds[i],
                    i == index ? platform::BST_CHECKED : platform::BST_UNCHECKED);
            }
        }
        // 2. Thickness or type from the list's row, into the state and the edited entry.
        if (id == kThicknessListId || id == kTypeListId) {
            const int row = PageListRow(window, id);
            const int rows = id == kThicknessListId ? kThicknessRows : kTypeRows;
            if (row >= 0 && row < rows) {
                const int entry = EditedColourEntry(layout);
                if (id == kThicknessListId) {
                    ColourEditState.Thickness = row + 1;
                    if (entry != 0) CurveColourScheme[entry - 1].Thickness = row + 1;
                } else {
                    ColourEditState.Type = row + 1;
                    if (entry != 0) CurveColourScheme[entry - 1].Type = row + 1;
                }
            }
        }
    }
    // 3. Load the edited entry into the state.
    LoadColourEditState(layout);
    // 4. Show the state on the bars and lists.
    for (int bar = 0; bar < 3; ++bar) {
        platform::SetScrollPos(platform::GetDlgItem(window, kBarIds[bar]), platform::SB_CTL,
                               std::clamp<int>(StateColour(bar), 0, 255), platform::TRUE);
    }
    SelectPageListRow(window, kThicknessListId, ColourEditState.Thickness - 1);
    SelectPageListRow(window, kTypeListId, ColourEditState.Type - 1);
    // 5. A colour bar moves its colour once per message.
    if (message == platform::WM_HSCROLL) {
        const HWND from = platform::ParamToHandle(static_cast<std::uintptr_t>(lParam));
        for (int bar = 0; bar < 3; ++bar) {
            const HWND handle = platform::GetDlgItem(window, kBarIds[bar]);
            if (!handle || handle != from) continue;
            const int value =
                ScrolledColourValue(platform::GetScrollPos(handle, platform::SB_CTL),
                                    platform::LOWORD(wParam), platform::HIWORD(wParam));
            StateColour(bar) = value;
            platform::SetScrollPos(handle, platform::SB_CTL, value, platform::TRUE);
        }
    }
    // 6. Store the colour into the edited entry and redraw its row.
    const int entry = EditedColourEntry(layout);
    if (entry != 0) {
        ColourEntry& target = CurveColourScheme[entry - 1];
        for (int bar = 0; bar < 3; ++bar) EntryColour(target, bar) = StateColour(bar);
        if (dc) DrawEntry(dc, layout, entry);
    }
    if (dc && edited_before != 0 && edited_before != entry) DrawEntry(dc, layout, edited_before);
    // 7. The three values beside the bars.
    if (dc) DrawColourValues(dc, layout);
}

void ShowColourControls(HWND window, const ColourPageLayout& layout) {
    SelectPageListRow(window, kThicknessListId, ColourEditState.Thickness - 1);
    SelectPageListRow(window, kTypeListId, ColourEditState.Type - 1);
    const int entry = EditedColourEntry(layout);
    if (entry != 0) {
        platform::CheckDlgButton(window, kColourEntryBoxIds[entry - 1], platform::BST_CHECKED);
    }
}

void PaintColourPage(HDC dc, const ColourPageLayout& layout) {
    for (int bar = 0; bar < 3; ++bar) PageText(dc, 10, BarY(layout, bar), kBarNames[bar]);
    DrawColourValues(dc, layout);
    PageText(dc, 10, layout.heading_y, "Thickness");
    PageText(dc, 185, layout.heading_y, "Type");
    PageText(dc, 315, layout.thick_type_y, "Thick / Type");
    for (int entry = layout.first_entry; entry <= kColourEntryCount; ++entry) {
        DrawEntry(dc, layout, entry);
    }
}

void PageText(HDC dc, int x, int y, const char* text) {
    const platform::HFONT font =
        SystemFont ? SystemFont : platform::GetStockObject(platform::SYSTEM_FONT);
    const platform::HFONT old_font = platform::SelectObject(dc, font);
    platform::SetBkMode(dc, platform::OPAQUE);
    platform::SetBkColor(dc, platform::GetSysColor(platform::COLOR_BTNFACE));
    platform::SetTextColor(dc, platform::RGB(0, 0, 0));
    int length = 0;
    while (text[length] != '\0') ++length;
    platform::TextOut(dc, x, y, text, length);
    if (old_font) platform::SelectObject(dc, old_font);
}

platform::HPEN PageBlackPen() {
    return BlackPen ? BlackPen : platform::GetStockObject(platform::BLACK_PEN);
}

void CreatePageChild(HWND window, const char* kind, const char* text, platform::DWORD style, int x,
                     int y, int width, int height, int id) {
    platform::CreateWindow(
        kind, text, platform::WS_CHILD | platform::WS_VISIBLE | style, x, y, width, height, window,
        platform::HMENU::FromIndex(static_cast<std::uint32_t>(id)), platform::HINSTANCE{}, nullptr);
}

void CreatePageList(HWND window, int id, int x, int y, int width, int height,
                    const char* const* rows, int row_count) {
    CreatePageChild(window, "LISTBOX", nullptr,
                    platform::WS_BORDER | platform::WS_VSCROLL | platform::LBS_NOTIFY, x, y, width,
                    height, id);
    for (int row = 0; row < row_count; ++row) {
        platform::SendDlgItemMessage(window, id, platform::LB_ADDSTRING, 0,
                                     reinterpret_cast<platform::LPARAM>(rows[row]));
    }
}

int PageListRow(HWND window, int id) {
    const platform::LRESULT row =
        platform::SendDlgItemMessage(window, id, platform::LB_GETCURSEL, 0, 0);
    return row == platform::LB_ERR ? -1 : static_cast<int>(row);
}

void SelectPageListRow(HWND window, int id, int row) {
    platform::SendDlgItemMessage(window, id, platform::LB_SETCURSEL,
                                 static_cast<platform::WPARAM>(row), 0);
}

void PaintPageWindow(HWND window, int (*paint)(HWND, HDC)) {
    platform::InvalidateRect(window, nullptr, platform::TRUE);
    platform::PAINTSTRUCT ps{};
    const HDC dc = platform::BeginPaint(window, &ps);
    paint(window, dc);
    platform::EndPaint(window, &ps);
}

bool FromChildOf(HWND window, platform::LPARAM lParam) {
    const HWND from = platform::ParamToHandle(static_cast<std::uintptr_t>(lParam));
    return from && platform::GetParent(from) == window;
}

void ResetColourEditing() { ColourEditState = kDefaultColourScheme[1]; }

namespace {
// kDefaultColourScheme is a constant table, in place before any code runs.
[[maybe_unused]] const bool kEditStateReady = (ResetColourEditing(), true);
}  // namespace

}  // namespace frame
