// The Copy Speaker dialog driven as a person would: radios mirror the flags, a click makes the
// choice single within its group, Done copies each chosen source store into every chosen target
// store (in the dialog's channel order, where Subwoofer 2 comes before Rear Right) and leaves the
// other stores and the active pane's working network alone; Cancel and the close box.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "DialogTestSupport.h"
#include "network/CopySpeakerDialog.h"
#include "network/EditorState.h"
#include "network/ElementDialogs.h"
#include "network/Templates.h"
#include "network/WorkingNetwork.h"
#include "platform/testing/Dialogs.h"
#include "platform/testing/Harness.h"
#include "platform/testing/Input.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Paint.h"
#include "platform/ui/Window.h"
#include "resources/Resources.h"
#include "shell/Globals.h"
#include "shell/NetworkTables.h"

namespace network {
namespace {

using platform::HWND;
using platform::testing::Click;

constexpr int kPanes = shell::kPaneCount;

// Gives store k (pane k) contents of its own in every table a copy carries.
void FillStore(shell::PaneStore& store, int pane) {
    const float mark = static_cast<float>(pane);
    store.ElementCount = pane;
    store.WireCount = pane + 1;
    store.WMatrixOrder = pane + 2;
    store.ElementParams[0][shell::kParamOutputPort] = mark;
    store.ElementParams[pane][shell::kParamFo] = 100.0f * mark;
    store.Wire[pane].x1 = 10 * pane;
    store.JointGroup[pane][1] = {pane, pane};
    store.ElementGeometry[0].kind = shell::kElementOutputPort;
    std::snprintf(store.ElementFileTitles[0], shell::kFileTextSlot, "title %d", pane);
    std::snprintf(store.ElementFilePaths[0], shell::kFileTextSlot, "/pane/%d.wfr", pane);
    store.ElementTransfer[0][17] = {mark, -mark};
    store.ElementDriverData[0].Spl[1999] = 50.0f + mark;
}

bool SameTables(const shell::NetworkTables& a, const shell::NetworkTables& b) {
    return std::memcmp(&a, &b, sizeof(shell::NetworkTables)) == 0;
}

std::vector<int> Flags() { return {CopySpeakerFlags, CopySpeakerFlags + kCopySpeakerFlagCount}; }

class CopySpeaker : public ::testing::Test {
  protected:
    void SetUp() override {
        test::FreshElementDialogs();
        for (int pane = 1; pane <= kPanes; ++pane) FillStore(shell::PaneStores[pane - 1], pane);
        originals_ = std::make_unique<shell::PaneStore[]>(kPanes);
        for (int i = 0; i < kPanes; ++i) originals_[i] = shell::PaneStores[i];
    }
    const shell::PaneStore& Original(int pane) const { return originals_[pane - 1]; }
    static const shell::PaneStore& Store(int pane) { return shell::PaneStores[pane - 1]; }
    static void SetFlags(std::initializer_list<int> sources, std::initializer_list<int> targets) {
        std::fill_n(CopySpeakerFlags, kCopySpeakerFlagCount, 0);
        for (int i : sources) CopySpeakerFlags[i] = 1;
        for (int i : targets) CopySpeakerFlags[kCopySpeakerChannels + i] = 1;
    }
    static platform::INT_PTR Run(std::function<void(HWND)> script) {
        platform::testing::OnModalDialog(kCopySpeakerTemplateName, std::move(script));
        return platform::DialogBox(platform::HINSTANCE{}, kCopySpeakerTemplateName, HWND{},
                                   &CopySpeakerDlgProc);
    }
    // Makes `pane` the active one, with its own network in the WorkingNetwork.
    static void Activate(int pane) {
        ActivePane = pane;
        RestorePaneStore(pane);
    }
    std::unique_ptr<shell::PaneStore[]> originals_;
};

TEST_F(CopySpeaker, RadiosMirrorTheFlagsAndAClickMakesTheChoiceSingle) {
    SetFlags({0, 2}, {2, 6});
    const auto result = Run([](HWND d) {
        for (int i = 0; i < kCopySpeakerChannels; ++i) {
            EXPECT_EQ(platform::IsDlgButtonChecked(d, kFirstSourceRadio + i),
                      (i == 0 || i == 2) ? 1u : 0u)
                << i;
            EXPECT_EQ(platform::IsDlgButtonChecked(d, kFirstTargetRadio + i),
                      (i == 2 || i == 6) ? 1u : 0u)
                << i;
        }
        Click(d, kFirstSourceRadio + 3);
        Click(d, kFirstTargetRadio + 5);
        for (int i = 0; i < kCopySpeakerChannels; ++i) {
            EXPECT_EQ(platform::IsDlgButtonChecked(d, kFirstSourceRadio + i), i == 3 ? 1u : 0u);
            EXPECT_EQ(platform::IsDlgButtonChecked(d, kFirstTargetRadio + i), i == 5 ? 1u : 0u);
        }
        platform::testing::CloseBox(d);
    });
    EXPECT_EQ(result, 1);
    // The close box keeps the new choice and copies nothing.
    std::vector<int> want(kCopySpeakerFlagCount, 0);
    want[3] = 1;
    want[kCopySpeakerChannels + 5] = 1;
    EXPECT_EQ(Flags(), want);
    for (int pane = 1; pane <= kPanes; ++pane) EXPECT_TRUE(SameTables(Store(pane), Original(pane)));
}

TEST_F(CopySpeaker, CancelBringsBackThePreviousChoiceAndTouchesNoStore) {
    SetFlags({1}, {4});
    const std::vector<int> before = Flags();
    const auto result = Run([](HWND d) {
        Click(d, kFirstSourceRadio + 6);
        Click(d, kFirstTargetRadio + 0);
        Click(d, platform::IDCANCEL);
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(Flags(), before);
    for (int pane = 1; pane <= kPanes; ++pane) EXPECT_TRUE(SameTables(Store(pane), Original(pane)));
}

// One Done per case: which stores end up holding which pane's network, and what the working
// network holds afterwards (always the active pane's own store).
TEST_F(CopySpeaker, DoneCopiesSourcesIntoTargetsInTheDialogsOrder) {
    struct Case {
        const char* what;
        std::vector<int> sources;  // flag indices
        std::vector<int> targets;
        int active;
        std::vector<int> holds;  // per pane 1..7: the pane whose original it holds afterwards
    };
    const std::vector<Case> cases = {
        {"FL to FR", {0}, {2}, 2, {1, 2, 1, 4, 5, 6, 7}},
        {"FL to Subwoofer 2 writes pane 7", {0}, {5}, 1, {1, 2, 3, 4, 5, 6, 1}},
        {"FL to Rear Right writes pane 6", {0}, {6}, 3, {1, 2, 3, 4, 5, 1, 7}},
        {"Sub 2 to two targets", {5}, {1, 4}, 1, {1, 7, 3, 4, 7, 6, 7}},
        {"same channel copies nothing", {3}, {3}, 2, {1, 2, 3, 4, 5, 6, 7}},
        {"two sources: the last wins", {0, 2}, {3}, 5, {1, 2, 3, 3, 5, 6, 7}},
        // Pane 1 goes into panes 3 and 5 first; pane 3's store then holds pane 1's network,
        // which the second source copies on into panes 1 and 5.
        {"source also a target is skipped", {0, 2}, {0, 2, 4}, 7, {1, 2, 1, 4, 1, 6, 7}},
        {"active pane receives the copy", {6}, {0}, 1, {6, 2, 3, 4, 5, 6, 7}},
        {"no active pane", {1}, {3}, 0, {1, 2, 3, 2, 5, 6, 7}},
    };
    for (const Case& c : cases) {
        for (int i = 0; i < kPanes; ++i) shell::PaneStores[i] = originals_[i];
        if (c.active != 0)
            Activate(c.active);
        else {
            ActivePane = 0;
            RestorePaneStore(4);  // whatever a System Design command left
        }
        std::fill_n(CopySpeakerFlags, kCopySpeakerFlagCount, 0);
        for (int i : c.sources) CopySpeakerFlags[i] = 1;
        for (int i : c.targets) CopySpeakerFlags[kCopySpeakerChannels + i] = 1;
        const std::vector<int> flags_before = Flags();
        const auto result = Run([](HWND d) { Click(d, platform::IDOK); });
        EXPECT_EQ(result, 1) << c.what;
        EXPECT_EQ(Flags(), flags_before) << c.what;
        for (int pane = 1; pane <= kPanes; ++pane) {
            EXPECT_TRUE(SameTables(Store(pane), Original(c.holds[pane - 1])))
                << c.what << ": pane " << pane << " should hold pane " << c.holds[pane - 1];
        }
        if (c.active != 0) {
            EXPECT_TRUE(SameTables(shell::WorkingNetwork, Store(c.active))) << c.what;
            EXPECT_EQ(ActivePane, c.active) << c.what;
        }
    }
}

// After a copy the active pane's next save keeps its own network.
TEST_F(CopySpeaker, ActivePaneSavesItsOwnNetworkAfterACopy) {
    Activate(4);
    SetFlags({0}, {2});
    Run([](HWND d) { Click(d, platform::IDOK); });
    SavePaneStore(ActivePane);  // what the pane's next edit does
    EXPECT_TRUE(SameTables(Store(4), Original(4)));
    EXPECT_TRUE(SameTables(Store(3), Original(1)));
}

// Paints seen per probe window (standing in for the pane windows).
int paints[2] = {0, 0};
HWND probes[2];

platform::LRESULT ProbeProc(HWND hwnd, platform::UINT message, platform::WPARAM wParam,
                            platform::LPARAM lParam) {
    if (message == platform::WM_PAINT) {
        platform::PAINTSTRUCT ps{};
        platform::BeginPaint(hwnd, &ps);
        platform::EndPaint(hwnd, &ps);
        for (int i = 0; i < 2; ++i) {
            if (probes[i] == hwnd) ++paints[i];
        }
        return 0;
    }
    return platform::DefWindowProc(hwnd, message, wParam, lParam);
}

// A target pane whose window is open repaints; other panes do not.
TEST_F(CopySpeaker, TargetPaneWindowsRepaint) {
    platform::WNDCLASS wc{};
    wc.lpfnWndProc = ProbeProc;
    wc.lpszClassName = "CopySpeakerProbe";
    platform::RegisterClass(&wc);
    for (int i = 0; i < 2; ++i) {
        probes[i] = platform::CreateWindow(
            "CopySpeakerProbe", "probe", platform::WS_OVERLAPPED | platform::WS_VISIBLE, 0, 0, 200,
            100, HWND{}, platform::HMENU{}, platform::HINSTANCE{}, nullptr);
        ASSERT_TRUE(probes[i]);
    }
    PaneWindows[5] = probes[0];  // pane 6, Rear Right
    PaneWindows[2] = probes[1];  // pane 3, Front Right
    platform::testing::PumpUntilIdle();
    paints[0] = paints[1] = 0;
    SetFlags({0}, {6});
    Run([](HWND d) { Click(d, platform::IDOK); });
    platform::testing::PumpUntilIdle();
    EXPECT_EQ(paints[0], 1);
    EXPECT_EQ(paints[1], 0);
    EXPECT_TRUE(SameTables(Store(6), Original(1)));
    for (HWND probe : probes) platform::DestroyWindow(probe);
}

}  // namespace
}  // namespace network
