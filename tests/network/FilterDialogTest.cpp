// The filter element dialog driven as a person would: lists filled from the family and slope
// names, selections and the by-pass box acting at once, Done's checks in their order with the
// dialog staying open, and Cancel restoring the values shown at opening.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "DialogTestSupport.h"
#include "network/EditorState.h"
#include "network/ElementDialogs.h"
#include "network/PaneDrawing.h"
#include "network/Templates.h"
#include "network/WorkingNetwork.h"
#include "platform/testing/Dialogs.h"
#include "platform/testing/Harness.h"
#include "platform/testing/Input.h"
#include "platform/testing/MessageBoxLog.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Window.h"
#include "resources/Resources.h"
#include "shell/Globals.h"
#include "shell/NetworkTables.h"

namespace network {
namespace {

using platform::HWND;
using platform::testing::Click;
using platform::testing::Select;
using platform::testing::TypeText;

// The family names followed by the slope names, as the dialog lists them.
const char* const kNames[] = {
    "Bessel",        "Butterworth",  "Linkwitz",      "Q-Parametric", "Shelving-6dB",
    "Shelving-12dB", "Shelving+6dB", "Shelving+12dB", "Keele LP-W",   "Keele HP-N",
    "Keele LP-N",    "Keele TWE",    "LP -6dB/oct",   "LP -12dB/oct", "LP -18dB/oct",
    "LP -24dB/oct",  "LP -48dB/oct", "HP +6dB/oct",   "HP +12dB/oct", "HP +18dB/oct",
    "HP +24dB/oct",  "HP +48dB/oct",
};

std::string Text(HWND d, int id) { return test::DialogText(d, id); }
std::vector<std::string> Messages() { return test::DialogMessages(false); }

class FilterDialog : public ::testing::Test {
  protected:
    void SetUp() override {
        test::FreshElementDialogs();
        element_ =
            AppendElement(shell::WorkingNetwork, HWND{}, shell::kElementFilter, 40, 40, 80, 40);
        ASSERT_GE(element_, 0);
        Set(1.0f, 1.0f, 1000.0f, 0.0f, 0.7f);
        P()[shell::kParamBypass] = 0.0f;
        SelectedElement = element_;
    }
    float* P() { return shell::WorkingNetwork.ElementParams[element_]; }
    void Set(float family, float slope, float fo, float gain, float rq) {
        P()[shell::kParamFamily] = family;
        P()[shell::kParamSlope] = slope;
        P()[shell::kParamFo] = fo;
        P()[shell::kParamGain] = gain;
        P()[shell::kParamRQ] = rq;
    }
    static platform::INT_PTR Run(std::function<void(HWND)> script) {
        platform::testing::OnModalDialog("EnterBehringer", std::move(script));
        return platform::DialogBox(platform::HINSTANCE{}, "EnterBehringer", HWND{},
                                   &EnterBehringerDlgProc);
    }
    int element_ = -1;
};

TEST_F(FilterDialog, OpeningFillsListsSelectsAndShowsTheValues) {
    Set(9.0f, 7.0f, 1234.56f, -3.5f, 2.25f);
    P()[shell::kParamBypass] = 1.0f;
    const auto result = Run([](HWND d) {
        ASSERT_EQ(platform::SendDlgItemMessage(d, kFamilyList, platform::LB_GETCOUNT, 0, 0), 12);
        ASSERT_EQ(platform::SendDlgItemMessage(d, kSlopeList, platform::LB_GETCOUNT, 0, 0), 10);
        char item[64];
        for (int i = 0; i < 12; ++i) {
            platform::SendDlgItemMessage(d, kFamilyList, platform::LB_GETTEXT, i,
                                         reinterpret_cast<platform::LPARAM>(item));
            EXPECT_STREQ(item, kNames[i]);
        }
        for (int i = 0; i < 10; ++i) {
            platform::SendDlgItemMessage(d, kSlopeList, platform::LB_GETTEXT, i,
                                         reinterpret_cast<platform::LPARAM>(item));
            EXPECT_STREQ(item, kNames[12 + i]);
        }
        EXPECT_EQ(platform::SendDlgItemMessage(d, kFamilyList, platform::LB_GETCURSEL, 0, 0), 9);
        EXPECT_EQ(platform::SendDlgItemMessage(d, kSlopeList, platform::LB_GETCURSEL, 0, 0), 7);
        EXPECT_EQ(Text(d, kFoEdit), "1234.6");
        EXPECT_EQ(Text(d, kFilterGainEdit), "-3.500000");
        EXPECT_EQ(Text(d, kRqEdit), "2.250000");
        EXPECT_EQ(platform::IsDlgButtonChecked(d, kBypassCheck), platform::BST_CHECKED);
        Click(d, platform::IDOK);
    });
    EXPECT_EQ(result, 1);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(FilterDialog, SelectionsAndBypassActAtOnce) {
    const auto result = Run([this](HWND d) {
        Select(d, kFamilyList, 10);
        EXPECT_EQ(P()[shell::kParamFamily], 10.0f);
        Select(d, kSlopeList, 4);
        EXPECT_EQ(P()[shell::kParamSlope], 4.0f);
        Click(d, kBypassCheck);
        EXPECT_EQ(P()[shell::kParamBypass], 1.0f);
        EXPECT_EQ(platform::IsDlgButtonChecked(d, kBypassCheck), platform::BST_CHECKED);
        Click(d, kBypassCheck);
        EXPECT_EQ(P()[shell::kParamBypass], 0.0f);
        EXPECT_EQ(platform::IsDlgButtonChecked(d, kBypassCheck), platform::BST_UNCHECKED);
        // A list notification with nothing selected changes nothing.
        platform::SendDlgItemMessage(d, kFamilyList, platform::LB_SETCURSEL,
                                     static_cast<platform::WPARAM>(-1), 0);
        platform::SendMessage(d, platform::WM_COMMAND,
                              platform::MAKEWPARAM(kFamilyList, platform::LBN_SELCHANGE), 0);
        EXPECT_EQ(P()[shell::kParamFamily], 10.0f);
        platform::SendDlgItemMessage(d, kSlopeList, platform::LB_SETCURSEL,
                                     static_cast<platform::WPARAM>(-1), 0);
        platform::SendMessage(d, platform::WM_COMMAND,
                              platform::MAKEWPARAM(kSlopeList, platform::LBN_SELCHANGE), 0);
        EXPECT_EQ(P()[shell::kParamSlope], 4.0f);
        TypeText(d, kRqEdit, "2");
        Click(d, platform::IDOK);
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(P()[shell::kParamFamily], 10.0f);
    EXPECT_EQ(P()[shell::kParamSlope], 4.0f);
}

// One Done per case: what is stored afterwards, whether the dialog closed, and the message.
TEST_F(FilterDialog, DoneChecks) {
    struct Case {
        const char* what;
        float family;
        float slope;
        const char* fo;
        const char* gain;
        const char* rq;
        bool closes;
        const char* message;  // null: none
        float fo_stored;
        float gain_stored;
        float rq_stored;
        const char* rq_shown;  // null: the typed text stays
    };
    const Case cases[] = {
        {"Butterworth 5 Hz", 1, 1, "5", "0", "1", false, kFrequencyRangeText, 20, 0, 1, nullptr},
        {"Bessel 19.9 Hz", 0, 1, "19.9", "0", "1", false, kFrequencyRangeText, 20, 0, 1, nullptr},
        {"Linkwitz 5 Hz", 2, 1, "5", "0", "1", false, kFrequencyRangeText, 20, 0, 1, nullptr},
        {"Q-Parametric 5 Hz", 3, 1, "5", "0", "1", true, nullptr, 5, 0, 1, nullptr},
        {"Keele TWE 5 Hz", 11, 1, "5", "0", "2", true, nullptr, 5, 0, 2, nullptr},
        {"Bessel 20000 Hz", 0, 1, "20000", "0", "1", false, kFrequencyRangeText, 10000, 0, 1,
         nullptr},
        {"Shelving 20000 Hz", 4, 1, "20000", "0", "1", false, kFrequencyRangeText, 10000, 0, 1,
         nullptr},
        {"Butterworth 20 Hz", 1, 1, "20", "0", "1", true, nullptr, 20, 0, 1, nullptr},
        {"10000 Hz", 1, 1, "10000", "0", "1", true, nullptr, 10000, 0, 1, nullptr},
        {"Linkwitz LP-12", 2, 1, "1000", "0", "1", true, nullptr, 1000, 0, 1, nullptr},
        {"Linkwitz HP+24", 2, 8, "1000", "0", "1", true, nullptr, 1000, 0, 1, nullptr},
        {"Linkwitz LP-6", 2, 0, "1000", "0", "1", false, kLinkwitzText, 1000, 0, 1, nullptr},
        {"Linkwitz LP-18", 2, 2, "1000", "0", "1", false, kLinkwitzText, 1000, 0, 1, nullptr},
        {"Linkwitz HP+6", 2, 5, "1000", "0", "1", false, kLinkwitzText, 1000, 0, 1, nullptr},
        {"Linkwitz HP+18", 2, 7, "1000", "0", "1", false, kLinkwitzText, 1000, 0, 1, nullptr},
        {"Keele LP-W 4.0", 8, 1, "1000", "0", "4.0", true, nullptr, 1000, 0, 4, nullptr},
        {"Keele LP-W 2.0", 8, 1, "1000", "0", "2.0", true, nullptr, 1000, 0, 2, nullptr},
        {"Keele HP-N 4.01", 9, 1, "1000", "0", "4.01", false, kWideKeeleText, 1000, 0, 3,
         "3.000000"},
        {"Keele LP-W 1.9", 8, 1, "1000", "0", "1.9", false, kWideKeeleText, 1000, 0, 3, "3.000000"},
        {"Keele LP-N 1.0", 10, 1, "1000", "0", "1.0", false, kNarrowKeeleText, 1000, 0, 2,
         "2.000000"},
        {"Keele TWE 3.1", 11, 1, "1000", "0", "3.1", false, kNarrowKeeleText, 1000, 0, 2,
         "2.000000"},
        {"Keele LP-N 1.1", 10, 1, "1000", "0", "1.1", true, nullptr, 1000, 0, 1.1f, nullptr},
        {"Keele TWE 3.0", 11, 1, "1000", "0", "3.0", true, nullptr, 1000, 0, 3, nullptr},
        {"gain 150", 3, 1, "1000", "150", "1", true, nullptr, 1000, 100, 1, nullptr},
        {"gain -150", 3, 1, "1000", "-150", "1", true, nullptr, 1000, -150, 1, nullptr},
        {"R/Q 2000", 3, 1, "1000", "0", "2000", true, nullptr, 1000, 0, 1000, nullptr},
        {"texts not numbers", 3, 1, "abc", "x", "y", true, nullptr, 0, 0, 0, nullptr},
        {"units after the numbers", 1, 1, "2000Hz", "6dB", "0.7 Q", true, nullptr, 2000, 6, 0.7f,
         nullptr},
        {"nan, inf and hex read as 0", 1, 1, "nan", "inf", "0x10", false, kFrequencyRangeText, 20,
         0, 0, nullptr},
        {"beyond single precision reads as 0", 3, 1, "1000", "-1e39", "1e39", true, nullptr, 1000,
         0, 0, nullptr},
    };
    for (const Case& c : cases) {
        Set(c.family, c.slope, 500.0f, 1.0f, 1.5f);
        platform::testing::ClearMessageBoxLog();
        bool stayed_open = false;
        const auto result = Run([&](HWND d) {
            TypeText(d, kFoEdit, c.fo);
            TypeText(d, kFilterGainEdit, c.gain);
            TypeText(d, kRqEdit, c.rq);
            Click(d, platform::IDOK);
            stayed_open = platform::IsWindowVisible(d) != 0;
            if (!stayed_open) return;
            EXPECT_EQ(Text(d, kFoEdit), c.fo) << c.what;
            EXPECT_EQ(Text(d, kRqEdit), c.rq_shown ? c.rq_shown : c.rq) << c.what;
            EXPECT_EQ(Text(d, kFilterGainEdit), c.gain) << c.what;
            platform::EndDialog(d, 7);
        });
        EXPECT_EQ(result, c.closes ? 1 : 7) << c.what;
        EXPECT_EQ(stayed_open, !c.closes) << c.what;
        EXPECT_EQ(P()[shell::kParamFo], c.fo_stored) << c.what;
        EXPECT_EQ(P()[shell::kParamGain], c.gain_stored) << c.what;
        EXPECT_EQ(P()[shell::kParamRQ], c.rq_stored) << c.what;
        const std::vector<std::string> want =
            c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{};
        EXPECT_EQ(Messages(), want) << c.what;
    }
}

// Several faults at once are reported one Done at a time, in the order of the checks.
TEST_F(FilterDialog, ChecksRunInOrder) {
    Set(2.0f, 2.0f, 1000.0f, 0.0f, 1.0f);
    const auto result = Run([](HWND d) {
        TypeText(d, kFoEdit, "5");
        Click(d, platform::IDOK);  // frequency first
        TypeText(d, kFoEdit, "1000");
        Click(d, platform::IDOK);  // then the Linkwitz slope
        Select(d, kFamilyList, 8);
        TypeText(d, kRqEdit, "9");
        Click(d, platform::IDOK);  // then the wide Keele R
        Select(d, kFamilyList, 10);
        TypeText(d, kRqEdit, "9");
        Click(d, platform::IDOK);  // then the narrow Keele R, now shown as 2
        EXPECT_EQ(Text(d, kRqEdit), "2.000000");
        Click(d, platform::IDOK);
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(Messages(), (std::vector<std::string>{kFrequencyRangeText, kLinkwitzText,
                                                    kWideKeeleText, kNarrowKeeleText}));
    EXPECT_EQ(P()[shell::kParamFamily], 10.0f);
    EXPECT_EQ(P()[shell::kParamRQ], 2.0f);
}

TEST_F(FilterDialog, CancelAfterRefusalRestoresTheOpeningValuesButNotBypass) {
    Set(1.0f, 3.0f, 1234.56f, 3.0f, 0.7f);
    const auto result = Run([this](HWND d) {
        Select(d, kFamilyList, 3);
        Select(d, kSlopeList, 6);
        TypeText(d, kFoEdit, "20000");
        TypeText(d, kFilterGainEdit, "7");
        TypeText(d, kRqEdit, "9");
        Click(d, platform::IDOK);
        EXPECT_TRUE(platform::IsWindowVisible(d));
        EXPECT_EQ(P()[shell::kParamFo], 10000.0f);
        EXPECT_EQ(P()[shell::kParamGain], 7.0f);
        Click(d, kBypassCheck);
        Click(d, platform::IDCANCEL);
    });
    EXPECT_EQ(result, 2);
    EXPECT_EQ(P()[shell::kParamFamily], 1.0f);
    EXPECT_EQ(P()[shell::kParamSlope], 3.0f);
    EXPECT_EQ(P()[shell::kParamFo], 1234.56f);  // the value itself, not its shown rounding
    EXPECT_EQ(P()[shell::kParamGain], 3.0f);
    EXPECT_EQ(P()[shell::kParamRQ], 0.7f);
    EXPECT_EQ(P()[shell::kParamBypass], 1.0f);
    EXPECT_EQ(Messages(), std::vector<std::string>{kFrequencyRangeText});
}

TEST_F(FilterDialog, CloseBoxActsAsCancel) {
    Set(1.0f, 3.0f, 800.0f, 3.0f, 0.7f);
    const auto result = Run([](HWND d) {
        Select(d, kFamilyList, 5);
        platform::testing::CloseBox(d);
    });
    EXPECT_EQ(result, 2);
    EXPECT_EQ(P()[shell::kParamFamily], 1.0f);
}

}  // namespace
}  // namespace network
