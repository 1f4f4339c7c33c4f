// The input-node dialog driven as a person would: the port and node shown at opening, Done's
// checks in order with their messages, the dialog staying open on a refusal, and Cancel.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "DialogTestSupport.h"
#include "EditorTestSupport.h"
#include "network/EditorState.h"
#include "network/ElementDialogs.h"
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
using platform::testing::TypeText;

std::string Text(HWND d, int id) { return test::DialogText(d, id); }
// Every box must also have the dialog as its owner.
std::vector<std::string> Messages() { return test::DialogMessages(true); }

class InputPortDialog : public ::testing::Test {
  protected:
    void SetUp() override {
        test::FreshElementDialogs();
        element_ =
            AppendElement(shell::WorkingNetwork, HWND{}, shell::kElementInputNode, 40, 40, 40, 40);
        ASSERT_GE(element_, 0);
        Params()[shell::kParamInputPort] = 1.0f;
        Params()[shell::kParamInputNodeNumber] = 5.0f;
        SelectedElement = element_;
    }
    float* Params() { return shell::WorkingNetwork.ElementParams[element_]; }
    static platform::INT_PTR Run(std::function<void(HWND)> script) {
        platform::testing::OnModalDialog("EnterInputPort", std::move(script));
        return platform::DialogBox(platform::HINSTANCE{}, "EnterInputPort", HWND{},
                                   &EnterInputPortDlgProc);
    }
    int element_ = -1;
};

TEST_F(InputPortDialog, ShowsPortAndNodeAtOpening) {
    Params()[shell::kParamInputPort] = 7.0f;
    Params()[shell::kParamInputNodeNumber] = 12.0f;
    const auto result = Run([](HWND d) {
        EXPECT_EQ(Text(d, kInputPortEdit), "7");
        EXPECT_EQ(Text(d, kNodeStatic), "[Node 12]");
        Click(d, platform::IDOK);
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(Params()[shell::kParamInputPort], 7.0f);
    EXPECT_TRUE(Messages().empty());
}

// Typed texts whose Done closes the dialog at once: the stored port and the messages seen.
TEST_F(InputPortDialog, DoneAcceptsPortsInRange) {
    struct Case {
        const char* typed;
        float stored;
        std::vector<std::string> messages;
    };
    const Case cases[] = {
        {"1.7", 1.0f, {}},  // same integer part as the shown "1": nothing changes
        {"8", 8.0f, {}},   {"8.0", 8.0f, {}}, {"3", 3.0f, {}}, {"1", 1.0f, {}},
    };
    for (const Case& c : cases) {
        Params()[shell::kParamInputPort] = 1.0f;
        platform::testing::ClearMessageBoxLog();
        const auto result = Run([&](HWND d) {
            TypeText(d, kInputPortEdit, c.typed);
            Click(d, platform::IDOK);
        });
        EXPECT_EQ(result, 1) << c.typed;
        EXPECT_EQ(Params()[shell::kParamInputPort], c.stored) << c.typed;
        EXPECT_EQ(Messages(), c.messages) << c.typed;
    }
}

// Refused texts: the messages in order, the dialog still open, the old port back in the element
// and the edit.
TEST_F(InputPortDialog, DoneRefusesPortsOutOfRangeAndStaysOpen) {
    struct Case {
        const char* typed;
        std::vector<std::string> messages;
    };
    const Case cases[] = {
        {"0", {kInputPortAllocatedText, kInputPortRangeText}},  // empty slots hold 0
        {"9", {kInputPortRangeText}},
        {"8.5", {kInputPortRangeText}},
        {"-2", {kInputPortRangeText}},
        {"x", {kInputPortAllocatedText, kInputPortRangeText}},  // not a number reads as 0
    };
    for (const Case& c : cases) {
        Params()[shell::kParamInputPort] = 2.0f;
        platform::testing::ClearMessageBoxLog();
        const auto result = Run([&](HWND d) {
            TypeText(d, kInputPortEdit, c.typed);
            Click(d, platform::IDOK);
            EXPECT_TRUE(platform::IsWindowVisible(d)) << c.typed;
            EXPECT_EQ(Params()[shell::kParamInputPort], 2.0f) << c.typed;
            EXPECT_EQ(Text(d, kInputPortEdit), "2") << c.typed;
            Click(d, platform::IDOK);  // the kept port now passes
        });
        EXPECT_EQ(result, 1) << c.typed;
        EXPECT_EQ(Params()[shell::kParamInputPort], 2.0f) << c.typed;
        EXPECT_EQ(Messages(), c.messages) << c.typed;
    }
}

TEST_F(InputPortDialog, PortInPanes1To6WarnsAndIsAcceptedPane7IsNotSearched) {
    struct Case {
        int pane;
        int slot;
        bool warned;
    };
    const Case cases[] = {{1, 0, true}, {3, 63, true}, {6, 10, true}, {7, 4, false}};
    for (const Case& c : cases) {
        ClearAllPaneStores();
        shell::PaneStores[c.pane - 1].ElementParams[c.slot][shell::kParamInputPort] = 4.0f;
        Params()[shell::kParamInputPort] = 1.0f;
        platform::testing::ClearMessageBoxLog();
        const auto result = Run([](HWND d) {
            TypeText(d, kInputPortEdit, "4");
            Click(d, platform::IDOK);
        });
        EXPECT_EQ(result, 1) << c.pane;
        EXPECT_EQ(Params()[shell::kParamInputPort], 4.0f) << c.pane;
        const std::vector<std::string> want =
            c.warned ? std::vector<std::string>{kInputPortAllocatedText}
                     : std::vector<std::string>{};
        EXPECT_EQ(Messages(), want) << c.pane;
    }
}

TEST_F(InputPortDialog, CancelAfterRefusalRestoresThePort) {
    Params()[shell::kParamInputPort] = 6.0f;
    const auto result = Run([this](HWND d) {
        TypeText(d, kInputPortEdit, "12");
        Click(d, platform::IDOK);
        EXPECT_TRUE(platform::IsWindowVisible(d));
        TypeText(d, kInputPortEdit, "5");
        EXPECT_EQ(Params()[shell::kParamInputPort], 6.0f);  // typing alone stores nothing
        Click(d, platform::IDCANCEL);
    });
    EXPECT_EQ(result, 2);
    EXPECT_EQ(Params()[shell::kParamInputPort], 6.0f);
    EXPECT_EQ(Messages(), std::vector<std::string>{kInputPortRangeText});
}

TEST_F(InputPortDialog, CloseBoxActsAsCancel) {
    Params()[shell::kParamInputPort] = 3.0f;
    const auto result = Run([](HWND d) {
        TypeText(d, kInputPortEdit, "5");
        platform::testing::CloseBox(d);
    });
    EXPECT_EQ(result, 2);
    EXPECT_EQ(Params()[shell::kParamInputPort], 3.0f);
}

// A right click on an element of the active pane opens its dialog; what the dialog set reaches
// the pane's store.
TEST(ElementDialogFromPane, RightClickOpensTheDialogOfTheElementsKind) {
    struct Case {
        int kind;
        int x;
        int y;
        const char* dialog;
        int param;
        float want;
        std::function<void(HWND)> script;
    };
    const Case cases[] = {
        {shell::kElementInputNode, 100, 100, "EnterInputPort", shell::kParamInputPort, 5.0f,
         [](HWND d) {
             TypeText(d, kInputPortEdit, "5");
             Click(d, platform::IDOK);
         }},
        {shell::kElementFilter, 100, 100, "EnterBehringer", shell::kParamRQ, 2.5f,
         [](HWND d) {
             TypeText(d, kFoEdit, "1000");
             TypeText(d, kRqEdit, "2.5");
             Click(d, platform::IDOK);
         }},
    };
    for (const Case& c : cases) {
        test::FreshEditor();
        resources::RegisterAll();
        const HWND pane = test::MakePane(2);
        ASSERT_TRUE(pane);
        const int e = test::PutElement(c.kind, c.x, c.y);
        ASSERT_GE(e, 0);
        SavePaneStore(2);
        bool opened = false;
        platform::testing::OnModalDialog(c.dialog, [&](HWND d) {
            opened = true;
            c.script(d);
        });
        platform::testing::MouseClick(pane, c.x + 1, c.y + 1, platform::testing::Button::Right);
        EXPECT_TRUE(opened) << c.dialog;
        EXPECT_EQ(SelectedElement, e) << c.dialog;
        EXPECT_EQ(shell::PaneStores[1].ElementParams[e][c.param], c.want) << c.dialog;
        platform::DestroyWindow(pane);
    }
}

}  // namespace
}  // namespace network
