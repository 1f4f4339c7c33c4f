// The colour-scheme editing shared by the System-Wide Preferences window and the Pen Colours
// window: three colour scroll bars, the thickness and type lists and one check box per colour
// entry, over the one ColourEditState of the program. Each window keeps its own set of these
// controls (found by id among its children), so both windows may be open at once and each acts
// on its own controls; the edited values are shared. Beside it, what else the two settings
// windows do alike: their page texts and controls, their paint, and their window messages.
// UI thread only.
#pragma once

#include <cstdint>

#include "platform/Types.h"
#include "shell/PreferencesRecord.h"

namespace frame {

// Control ids of the colour page.
inline constexpr int kRedBarId = 10005;
inline constexpr int kGreenBarId = 10006;
inline constexpr int kBlueBarId = 10007;
inline constexpr int kThicknessListId = 10036;
inline constexpr int kTypeListId = 10037;

// Check box id and text of colour entry e (1..19) at index e - 1.
extern const int kColourEntryBoxIds[shell::kColourEntryCount];
extern const char* const kColourEntryTexts[shell::kColourEntryCount];

// Rows of the thickness and type lists (part of PreferenceListTexts).
inline constexpr int kThicknessRows = 4;
inline constexpr int kTypeRows = 3;
extern const char* const kThicknessListTexts[kThicknessRows];
extern const char* const kTypeListTexts[kTypeRows];

// The values of the selected entry while it is edited: red, green, blue 0..255, thickness 1..4,
// type 1..3. One state for the whole program.
extern shell::ColourEntry ColourEditState;

// Where a window puts its colour page (client pixels).
struct ColourPageLayout {
    int bar_top;       // y of the red bar; green and blue follow every bar_step pixels
    int bar_step;      // 20 (preferences) or 25 (pen colours)
    int list_top;      // y of the thickness and type lists
    int entry_top;     // y of the first entry box
    int first_entry;   // 1 (preferences) or 2 (pen colours): entries below it have no box
    int heading_y;     // y of "Thickness" / "Type"
    int thick_type_y;  // y of "Thick / Type"
};
extern const ColourPageLayout kPreferencesColourLayout;
extern const ColourPageLayout kPenColourLayout;

// The entry whose select flag is 1 (1..19), or 0 when none is.
int SelectedColourEntry();
// The entry this page edits: the selected entry when the page has a box for it, else 0.
int EditedColourEntry(const ColourPageLayout& layout);
// Index 0..18 of the entry whose box has this id, or -1.
int ColourEntryOfBox(int id);

// ColourEditState := the five values of the edited entry (kept when there is none).
void LoadColourEditState(const ColourPageLayout& layout);

// Creates the three bars (range 0..255 at the state's colour, no redraw), the two filled lists
// and the entry boxes of the layout as children of `window`.
void CreateColourControls(platform::HWND window, const ColourPageLayout& layout);

// The new value of a colour bar at `value` for a scroll code (thumb position for the thumb
// codes), limited to 0..255.
int ScrolledColourValue(int value, unsigned code, int thumb);

// One run of the colour-entry editing for one message of `window` (WM_COMMAND of an entry box
// or list, or WM_HSCROLL): select, set thickness or type, load, show, scroll, store, draw. Any
// other message runs the load, show, store and draw steps only, so the page is brought up to
// date after every change. `dc` draws on the window's client area.
void ColourEditMessage(platform::HWND window, platform::HDC dc, const ColourPageLayout& layout,
                       platform::UINT message, platform::WPARAM wParam, platform::LPARAM lParam);

// Draws the colour page's texts, values and entry swatches (not the frames).
void PaintColourPage(platform::HDC dc, const ColourPageLayout& layout);
// Brings the lists and the edited entry's box up to date.
void ShowColourControls(platform::HWND window, const ColourPageLayout& layout);

// Drawing helpers of the settings pages: text in the system font on the button face, and the
// shared black pen (the stock one before the frame made its own).
void PageText(platform::HDC dc, int x, int y, const char* text);
platform::HPEN PageBlackPen();

// Control helpers of the settings pages. A visible child control of `window` with this id.
void CreatePageChild(platform::HWND window, const char* kind, const char* text,
                     platform::DWORD style, int x, int y, int width, int height, int id);
// A bordered, scrolled, notifying list box filled with `row_count` rows.
void CreatePageList(platform::HWND window, int id, int x, int y, int width, int height,
                    const char* const* rows, int row_count);
// The row a list shows, or -1 when it shows none.
int PageListRow(platform::HWND window, int id);
void SelectPageListRow(platform::HWND window, int id, int row);

// WM_PAINT of a settings window: the whole client area is drawn again by `paint`.
void PaintPageWindow(platform::HWND window, int (*paint)(platform::HWND, platform::HDC));
// True when lParam names a child control of `window` (WM_COMMAND / WM_HSCROLL senders).
bool FromChildOf(platform::HWND window, platform::LPARAM lParam);

// Puts ColourEditState back to its start value (entry 2's defaults).
void ResetColourEditing();

}  // namespace frame
