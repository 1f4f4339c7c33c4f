// Element dialogs that a right click on an element of the active pane opens modally: the input
// node ("EnterInputPort") and the filter and voicing element ("EnterBehringer"), plus the small
// text helpers every element dialog shares. Each dialog edits the WorkingNetwork row of
// SelectedElement in place; the pane saves the network into its store after the dialog closes.
// UI thread only.
#pragma once

#include <cstdint>

#include "platform/Types.h"

namespace network {

// Control identifiers of the two templates.
inline constexpr int kInputPortEdit = 1020;  // EnterInputPort (and EnterOutputPort): the port
inline constexpr int kNodeStatic = 20;       // "[Node n]"
inline constexpr int kSlopeList = 1509;
inline constexpr int kFamilyList = 1512;
inline constexpr int kFoEdit = 1506;
inline constexpr int kBypassCheck = 1053;
inline constexpr int kFilterGainEdit = 1515;
inline constexpr int kRqEdit = 1517;

// Messages of the two dialogs (captioned kElementDialogCaption, exclamation icon, OK).
inline constexpr const char* kElementDialogCaption = "QV Message";
inline constexpr const char* kInputPortAllocatedText =
    "WARNING! This INPUT Port Number Is Already Allocated";
inline constexpr const char* kInputPortRangeText = "INPUT Port Is Out Of Range (1....8)";
inline constexpr const char* kFrequencyRangeText =
    "Please Select Filter's Frequency 20Hz - 10,000Hz";
inline constexpr const char* kLinkwitzText = "Option NOT Applicable To Linkwitz Filters";
inline constexpr const char* kWideKeeleText =
    "Option NOT Applicable To Wide Keele Filters <2.0 - 4.0>, Setting R = 3.0";
inline constexpr const char* kNarrowKeeleText =
    "Option NOT Applicable To Narrow Keele Filters <1.1 -- 3.0>, Setting R = 2.0";
// A gain below what a filter section can compute (its level leaves double precision).
inline constexpr const char* kFilterGainFloorText =
    "Filter Gain Below -10,000dB Cannot Be Computed, Setting Gain = -10,000dB";

// Dialog procedures (end with 1 for Done, 2 for Cancel and for the close box).
platform::INT_PTR EnterInputPortDlgProc(platform::HWND dialog, platform::UINT message,
                                        platform::WPARAM wParam, platform::LPARAM lParam);
platform::INT_PTR EnterBehringerDlgProc(platform::HWND dialog, platform::UINT message,
                                        platform::WPARAM wParam, platform::LPARAM lParam);

// ---- Shared by the element dialogs ----

// The value of a typed or shown number text: its leading decimal number ("2000Hz" reads 2000).
// A text that does not begin with one, or whose value does not fit a single-precision float,
// reads as 0.
float TextValue(const char* text);
// The integer value of a text's leading decimal digits (0 when there are none); two texts name
// the same port when these agree.
std::int64_t TextIntegerPart(const char* text);
// Reads at most `max_chars` characters of edit `id` into `text` (capacity max_chars + 1) and
// returns their value.
float ReadEditValue(platform::HWND dialog, int id, char* text, int max_chars);
// "%.*f" / "%f" of a value into a dialog control.
void SetDlgItemFloat(platform::HWND dialog, int id, const char* format, double value);
// A refusal or warning of an element dialog: owned by the dialog, "QV Message", exclamation, OK.
void ElementDialogMessage(platform::HWND dialog, const char* text);
// True when `value` equals the field `param` of any of the 64 slots of the stores of panes 1 to
// 6 (slot-major; empty slots and other kinds take part with what they hold, usually 0). Pane 7's
// store is not searched.
bool PortAllocatedInStores(int param, float value);
// The WorkingNetwork row of SelectedElement, or null when SelectedElement is not a slot index.
float* SelectedParams();

}  // namespace network
