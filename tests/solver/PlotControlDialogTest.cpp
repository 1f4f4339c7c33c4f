// The Plot Control dialog driven as a person would: boxes toggle their families at once, Done and
// the close box keep the changes, Cancel restores every flag.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "platform/testing/Dialogs.h"
#include "platform/testing/Input.h"
#include "platform/ui/Dialog.h"
#include "resources/Resources.h"
#include "shell/PreferencesRecord.h"
#include "solver/Ids.h"
#include "solver/PlotControlDialog.h"
#include "tests/solver/SolverTestSupport.h"

namespace {

using namespace solver::test;
using platform::testing::Click;

class PlotControlDialog : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetSolverWorld();
        resources::RegisterAll();
        platform::testing::ClearDialogScripts();
        std::fill_n(shell::PlotFamilyFlags, 12, 0);
        shell::PlotFamilyFlags[0] = 1;
        shell::PlotFamilyFlags[9] = 1;
    }
    static platform::INT_PTR Run() {
        return platform::DialogBox(platform::HINSTANCE{}, solver::kPlotControlTemplate,
                                   platform::HWND{}, solver::PlotControlDlgProc);
    }
    static std::vector<int> Flags() {
        return {shell::PlotFamilyFlags, shell::PlotFamilyFlags + 12};
    }
};

TEST_F(PlotControlDialog, BoxesMirrorTheFlagsAndDoneKeepsToggles) {
    struct Box {
        int id;
        int family;
    };
    const Box boxes[] = {{4801, 0}, {4800, 1}, {4802, 2}, {4811, 10}, {4803, 3}, {4804, 8},
                         {4806, 4}, {4805, 5}, {4807, 6}, {4812, 11}, {4808, 7}, {4809, 9}};
    platform::testing::OnModalDialog("Quorvex_Linearizer_Plots", [&](platform::HWND d) {
        for (const Box& b : boxes) {
            EXPECT_EQ(platform::IsDlgButtonChecked(d, b.id),
                      b.family == 0 || b.family == 9 ? 1u : 0u)
                << b.id;
        }
        // Every box toggles its own family, and only it.
        for (const Box& b : boxes) {
            const std::vector<int> before = Flags();
            Click(d, b.id);
            std::vector<int> want = before;
            want[b.family] = 1 - want[b.family];
            EXPECT_EQ(Flags(), want) << b.id;
            EXPECT_EQ(platform::IsDlgButtonChecked(d, b.id), static_cast<unsigned>(want[b.family]));
        }
        Click(d, 4804);
        Click(d, 4804);  // twice: back as it was
        Click(d, platform::IDOK);
    });
    EXPECT_EQ(Run(), 1);
    std::vector<int> want(12, 1);
    want[0] = 0;
    want[9] = 0;
    EXPECT_EQ(Flags(), want);
}

TEST_F(PlotControlDialog, CancelRestoresEveryFlag) {
    const std::vector<int> before = Flags();
    platform::testing::OnModalDialog("Quorvex_Linearizer_Plots", [](platform::HWND d) {
        Click(d, 4801);
        Click(d, 4803);
        Click(d, 4803);
        Click(d, 4803);
        Click(d, 4812);
        Click(d, platform::IDCANCEL);
    });
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(Flags(), before);
}

TEST_F(PlotControlDialog, CloseBoxKeepsTheChangesLikeDone) {
    platform::testing::OnModalDialog("Quorvex_Linearizer_Plots", [](platform::HWND d) {
        Click(d, 4805);
        platform::SendMessage(d, platform::WM_SYSCOMMAND, platform::SC_CLOSE, 0);
    });
    EXPECT_EQ(Run(), 1);
    EXPECT_EQ(shell::PlotFamilyFlags[5], 1);
    EXPECT_EQ(shell::PlotFamilyFlags[0], 1);
}

}  // namespace
