#include "network/ElementDialogs.h"

#include <algorithm>
#include <cstdio>

#include "network/CopySpeakerDialog.h"
#include "network/EditorState.h"
#include "network/PaneDrawing.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/MessageBox.h"
#include "shell/NetworkTables.h"
#include "shell/NumberText.h"
#include "shell/ProjectImage.h"

namespace network {

using namespace platform;

// ---- Shared helpers ----

float TextValue(const char* text) {
    double value = 0.0;
    if (!shell::ReadTypedNumber(text, &value)) return 0.0f;
    return static_cast<float>(value);
}

std::int64_t TextIntegerPart(const char* text) {
    std::int32_t value = 0;
    if (!shell::ReadTypedInteger(text, &value)) return 0;
    return value;
}

float ReadEditValue(HWND dialog, int id, char* text, int max_chars) {
    GetDlgItemText(dialog, id, text, max_chars + 1);
    text[max_chars] = '\0';
    return TextValue(text);
}

void SetDlgItemFloat(HWND dialog, int id, const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    SetDlgItemText(dialog, id, text);
}

void ElementDialogMessage(HWND dialog, const char* text) {
    MessageBox(dialog, text, kElementDialogCaption, MB_OK | MB_ICONEXCLAMATION);
}

bool PortAllocatedInStores(int param, float value) {
    constexpr int kSearchedPanes = 6;  // panes 1..6; pane 7 is not searched
    for (int slot = 0; slot < shell::kMaxElements; ++slot) {
        for (int pane = 0; pane < kSearchedPanes; ++pane) {
            if (shell::PaneStores[pane].ElementParams[slot][param] == value) return true;
        }
    }
    return false;
}

float* SelectedParams() {
    if (SelectedElement < 0 || SelectedElement >= shell::kMaxElements) return nullptr;
    return shell::WorkingNetwork.ElementParams[SelectedElement];
}

namespace {

// ---- EnterInputPort ----

constexpr int kPortChars = 4;

// What the input dialog showed at opening; Cancel and a refused Done restore it.
char kept_input_text[32];
float kept_input_port = 0.0f;

void InitInputPort(HWND dialog, float* p) {
    kept_input_port = p[shell::kParamInputPort];
    std::snprintf(kept_input_text, sizeof kept_input_text, "%.0f",
                  static_cast<double>(kept_input_port));
    SetDlgItemText(dialog, kInputPortEdit, kept_input_text);
    char node[48];
    std::snprintf(node, sizeof node, "[Node %.0f]",
                  static_cast<double>(p[shell::kParamInputNodeNumber]));
    SetDlgItemText(dialog, kNodeStatic, node);
}

void InputPortDone(HWND dialog, float* p) {
    char text[kPortChars + 1];
    const float typed = ReadEditValue(dialog, kInputPortEdit, text, kPortChars);
    if (TextIntegerPart(text) == TextIntegerPart(kept_input_text)) {
        EndDialog(dialog, 1);
        return;
    }
    p[shell::kParamInputPort] = typed;
    if (PortAllocatedInStores(shell::kParamInputPort, typed)) {
        ElementDialogMessage(dialog, kInputPortAllocatedText);
    }
    const float port = ReadEditValue(dialog, kInputPortEdit, text, kPortChars);
    p[shell::kParamInputPort] = port;
    if (port >= 1.0f && port <= 8.0f) {
        EndDialog(dialog, 1);
        return;
    }
    ElementDialogMessage(dialog, kInputPortRangeText);
    p[shell::kParamInputPort] = kept_input_port;
    SetDlgItemText(dialog, kInputPortEdit, kept_input_text);
}

// ---- EnterBehringer ----

constexpr int kFilterGainChars = 7;
constexpr int kRqChars = 7;
constexpr int kFoChars = 9;
constexpr float kMaxFilterGain = 100.0f;
constexpr float kMaxRq = 1000.0f;
constexpr float kLowestFo = 20.0f;  // families 0..2
constexpr float kHighestFo = 10000.0f;

// What the filter dialog showed at opening; Cancel restores it.
struct KeptFilter {
    float family;
    float slope;
    float fo;
    float gain;
    float rq;
};
KeptFilter kept_filter{};

void InitFilter(HWND dialog, float* p) {
    SendDlgItemMessage(dialog, kFamilyList, LB_RESETCONTENT, 0, 0);
    SendDlgItemMessage(dialog, kSlopeList, LB_RESETCONTENT, 0, 0);
    for (int i = 0; i < kFilterFamilyNames; ++i) {
        SendDlgItemMessage(dialog, kFamilyList, LB_ADDSTRING, 0,
                           reinterpret_cast<LPARAM>(shell::FilterTypeNames[i]));
    }
    for (int i = 0; i < kFilterSlopeNames; ++i) {
        SendDlgItemMessage(
            dialog, kSlopeList, LB_ADDSTRING, 0,
            reinterpret_cast<LPARAM>(shell::FilterTypeNames[kFilterFamilyNames + i]));
    }
    // A stored index outside the lists (a damaged project) selects nothing.
    const auto index_of = [](float v, int count) -> WPARAM {
        return (v >= 0.0f && v < static_cast<float>(count)) ? static_cast<WPARAM>(v)
                                                            : static_cast<WPARAM>(-1);
    };
    SendDlgItemMessage(dialog, kFamilyList, LB_SETCURSEL,
                       index_of(p[shell::kParamFamily], kFilterFamilyNames), 0);
    SendDlgItemMessage(dialog, kSlopeList, LB_SETCURSEL,
                       index_of(p[shell::kParamSlope], kFilterSlopeNames), 0);
    kept_filter = {p[shell::kParamFamily], p[shell::kParamSlope], p[shell::kParamFo],
                   p[shell::kParamGain], p[shell::kParamRQ]};
    SetDlgItemFloat(dialog, kFoEdit, "%.1f", static_cast<double>(p[shell::kParamFo]));
    SetDlgItemFloat(dialog, kFilterGainEdit, "%f", static_cast<double>(p[shell::kParamGain]));
    SetDlgItemFloat(dialog, kRqEdit, "%f", static_cast<double>(p[shell::kParamRQ]));
    CheckDlgButton(dialog, kBypassCheck,
                   p[shell::kParamBypass] == 1.0f ? BST_CHECKED : BST_UNCHECKED);
}

// A notification of a list stores its selection at once; with nothing selected it is ignored.
void ListChanged(HWND dialog, int list, float* p) {
    const LRESULT selection = SendDlgItemMessage(dialog, list, LB_GETCURSEL, 0, 0);
    if (selection == LB_ERR || selection < 0) return;
    p[list == kFamilyList ? shell::kParamFamily : shell::kParamSlope] =
        static_cast<float>(selection);
}

void ToggleBypass(HWND dialog, float* p) {
    if (p[shell::kParamBypass] == 1.0f) {
        p[shell::kParamBypass] = 0.0f;
        CheckDlgButton(dialog, kBypassCheck, BST_UNCHECKED);
    } else {
        p[shell::kParamBypass] = 1.0f;
        CheckDlgButton(dialog, kBypassCheck, BST_CHECKED);
    }
}

// The checks of Done in their order; the first that fails shows its message and the dialog
// stays open with everything stored so far kept.
void FilterDone(HWND dialog, float* p) {
    char text[16];
    const float gain = ReadEditValue(dialog, kFilterGainEdit, text, kFilterGainChars);
    // Above 100 dB stored as 100. Below, any gain the sections can compute is stored as typed;
    // a lower one is bounded and the user told.
    p[shell::kParamGain] = gain > kMaxFilterGain ? kMaxFilterGain : gain;
    if (gain < shell::kLowestFilterGainDb) {
        p[shell::kParamGain] = shell::kLowestFilterGainDb;
        SetDlgItemFloat(dialog, kFilterGainEdit, "%f",
                        static_cast<double>(shell::kLowestFilterGainDb));
        ElementDialogMessage(dialog, kFilterGainFloorText);
        return;
    }
    const float rq = ReadEditValue(dialog, kRqEdit, text, kRqChars);
    p[shell::kParamRQ] = rq > kMaxRq ? kMaxRq : rq;
    const float fo = ReadEditValue(dialog, kFoEdit, text, kFoChars);
    p[shell::kParamFo] = fo;

    const float family = p[shell::kParamFamily];
    const float slope = p[shell::kParamSlope];
    const bool needs_20hz = family == 0.0f || family == 1.0f || family == 2.0f;
    if ((needs_20hz && fo < kLowestFo) || fo > kHighestFo) {
        p[shell::kParamFo] = fo > kHighestFo ? kHighestFo : kLowestFo;
        ElementDialogMessage(dialog, kFrequencyRangeText);
        return;
    }
    if (family == 2.0f && (slope == 0.0f || slope == 2.0f || slope == 5.0f || slope == 7.0f)) {
        ElementDialogMessage(dialog, kLinkwitzText);
        return;
    }
    const float stored_rq = p[shell::kParamRQ];
    if ((family == 8.0f || family == 9.0f) && (stored_rq < 2.0f || stored_rq > 4.0f)) {
        p[shell::kParamRQ] = 3.0f;
        SetDlgItemFloat(dialog, kRqEdit, "%f", 3.0);
        ElementDialogMessage(dialog, kWideKeeleText);
        return;
    }
    if ((family == 10.0f || family == 11.0f) && (stored_rq < 1.1f || stored_rq > 3.0f)) {
        p[shell::kParamRQ] = 2.0f;
        SetDlgItemFloat(dialog, kRqEdit, "%f", 2.0);
        ElementDialogMessage(dialog, kNarrowKeeleText);
        return;
    }
    EndDialog(dialog, 1);
}

void FilterCancel(HWND dialog, float* p) {
    p[shell::kParamFamily] = kept_filter.family;
    p[shell::kParamSlope] = kept_filter.slope;
    p[shell::kParamFo] = kept_filter.fo;
    p[shell::kParamGain] = kept_filter.gain;
    p[shell::kParamRQ] = kept_filter.rq;
    EndDialog(dialog, 2);
}

}  // namespace

INT_PTR EnterInputPortDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    float* p = SelectedParams();
    switch (message) {
        case WM_INITDIALOG:
            if (p == nullptr) {
                EndDialog(dialog, 2);
                return TRUE;
            }
            InitInputPort(dialog, p);
            return TRUE;
        case WM_COMMAND:
            if (p == nullptr) return FALSE;
            switch (LOWORD(wParam)) {
                case IDOK:
                    InputPortDone(dialog, p);
                    return TRUE;
                case IDCANCEL:
                    p[shell::kParamInputPort] = kept_input_port;
                    EndDialog(dialog, 2);
                    return TRUE;
                default:
                    return FALSE;
            }
        default:
            return FALSE;
    }
}

INT_PTR EnterBehringerDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    float* p = SelectedParams();
    switch (message) {
        case WM_INITDIALOG:
            if (p == nullptr) {
                EndDialog(dialog, 2);
                return TRUE;
            }
            InitFilter(dialog, p);
            return TRUE;
        case WM_COMMAND:
            if (p == nullptr) return FALSE;
            switch (LOWORD(wParam)) {
                case kFamilyList:
                case kSlopeList:
                    ListChanged(dialog, LOWORD(wParam), p);
                    return TRUE;
                case kBypassCheck:
                    ToggleBypass(dialog, p);
                    return TRUE;
                case IDOK:
                    FilterDone(dialog, p);
                    return TRUE;
                case IDCANCEL:
                    FilterCancel(dialog, p);
                    return TRUE;
                default:
                    return FALSE;
            }
        default:
            return FALSE;
    }
}

}  // namespace network
