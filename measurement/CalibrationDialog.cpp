#include "measurement/CalibrationDialog.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "measurement/Globals.h"
#include "measurement/Ids.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Messages.h"
#include "shell/NumberText.h"
#include "solver/FilterSections.h"

namespace measurement {

namespace {

using platform::HWND;

// Cut-off frequencies the sections accept: a response needs a cut-off above 0.
constexpr double kLowestCutoff = 0.1;
constexpr double kHighestCutoff = 1e6;

void FillList(HWND dialog, int id, int first, int count, int selected) {
    for (int i = 0; i < count; ++i) {
        platform::SendDlgItemMessage(
            dialog, id, platform::LB_ADDSTRING, 0,
            reinterpret_cast<platform::LPARAM>(solver::FilterTypeTable[first + i]));
    }
    platform::SendDlgItemMessage(dialog, id, platform::LB_SETCURSEL,
                                 static_cast<platform::WPARAM>(selected), 0);
}

void ShowNumber(HWND dialog, int id, double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", value);
    platform::SetDlgItemText(dialog, id, text);
}

void ReadList(HWND dialog, int id, std::int32_t* setting) {
    const auto row = platform::SendDlgItemMessage(dialog, id, platform::LB_GETCURSEL, 0, 0);
    if (row >= 0) *setting = static_cast<std::int32_t>(row);
}

// An edit's number (at most 10 characters); text that is not a number counts as 0. Cut-offs
// are kept where a section has a response.
void ReadEdit(HWND dialog, int id, float* setting, bool cutoff) {
    char text[11] = {};
    platform::GetDlgItemText(dialog, id, text, sizeof text);
    double value = 0.0;
    if (!shell::ReadTypedNumber(text, &value) || !std::isfinite(value)) value = 0.0;
    if (cutoff) value = std::clamp(value, kLowestCutoff, kHighestCutoff);
    *setting = static_cast<float>(value);
}

bool FirstOrThirdOrder(int slope) { return slope == 0 || slope == 2 || slope == 5 || slope == 7; }

void Message(HWND owner, const char* text) {
    platform::MessageBox(owner, text, "QV Message", platform::MB_OK | platform::MB_ICONEXCLAMATION);
}

}  // namespace

platform::INT_PTR EnterCreateCalibrationDlgProc(HWND dialog, platform::UINT message,
                                                platform::WPARAM wparam, platform::LPARAM) {
    switch (message) {
        case platform::WM_INITDIALOG:
            FillList(dialog, kHpFamilyList, 0, 3, CalHpFamily);
            FillList(dialog, kHpSlopeList, solver::kFilterFamilyCount, solver::kFilterSlopeCount,
                     CalHpSlope);
            FillList(dialog, kLpFamilyList, 0, 4, CalLpFamily);
            FillList(dialog, kLpSlopeList, solver::kFilterFamilyCount, solver::kFilterSlopeCount,
                     CalLpSlope);
            ShowNumber(dialog, kHpFrequencyEdit, CalHpFrequency);
            ShowNumber(dialog, kLpFrequencyEdit, CalLpFrequency);
            ShowNumber(dialog, kGainEdit, CalGainDb);
            ShowNumber(dialog, kQEdit, CalQ);
            platform::CheckDlgButton(dialog, kInvertBox,
                                     CalInvert == 1 ? platform::BST_CHECKED : 0);
            return platform::TRUE;
        case platform::WM_COMMAND: {
            const int id = platform::LOWORD(wparam);
            switch (id) {
                case kHpFamilyList:
                    ReadList(dialog, id, &CalHpFamily);
                    break;
                case kHpSlopeList:
                    ReadList(dialog, id, &CalHpSlope);
                    break;
                case kLpFamilyList:
                    ReadList(dialog, id, &CalLpFamily);
                    break;
                case kLpSlopeList:
                    ReadList(dialog, id, &CalLpSlope);
                    break;
                case kHpFrequencyEdit:
                    if (platform::HIWORD(wparam) == platform::EN_CHANGE)
                        ReadEdit(dialog, id, &CalHpFrequency, true);
                    break;
                case kLpFrequencyEdit:
                    if (platform::HIWORD(wparam) == platform::EN_CHANGE)
                        ReadEdit(dialog, id, &CalLpFrequency, true);
                    break;
                case kGainEdit:
                    if (platform::HIWORD(wparam) == platform::EN_CHANGE)
                        ReadEdit(dialog, id, &CalGainDb, false);
                    break;
                case kQEdit:
                    if (platform::HIWORD(wparam) == platform::EN_CHANGE)
                        ReadEdit(dialog, id, &CalQ, false);
                    break;
                case kInvertBox:
                    CalInvert = CalInvert == 1 ? 0 : 1;
                    platform::CheckDlgButton(dialog, kInvertBox,
                                             CalInvert == 1 ? platform::BST_CHECKED : 0);
                    break;
                case platform::IDOK:
                    if (CalHpFamily == 2 && FirstOrThirdOrder(CalHpSlope)) {
                        Message(dialog, "HP Option NOT Applicable To Linkwitz Filters");
                    } else if (CalLpFamily == 2 && FirstOrThirdOrder(CalLpSlope)) {
                        Message(dialog, "LP Option NOT Applicable To Linkwitz Filters");
                    } else {
                        platform::EndDialog(dialog, 1);
                    }
                    break;
                case platform::IDCANCEL:
                    platform::EndDialog(dialog, 2);
                    break;
                default:
                    break;
            }
            return platform::TRUE;
        }
        default:
            return platform::FALSE;
    }
}

}  // namespace measurement
