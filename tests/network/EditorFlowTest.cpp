// The pane editor driven as a person would: right click to activate, palette elements placed
// with the Draw tool, wires drawn, an element moved with its wires, wires and elements wiped,
// by-pass and plot flag toggled by double clicks, an element dialog opened by right click.
// After each step the pane's store holds what the editor promises.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "EditorTestSupport.h"
#include "network/ElementDialogs.h"
#include "network/Ids.h"
#include "network/PaneDrawing.h"
#include "platform/testing/Dialogs.h"
#include "platform/testing/Input.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Resources.h"
#include "resources/Resources.h"

namespace network::test {
namespace {

using platform::testing::Button;
using platform::testing::MouseClick;
using platform::testing::MouseDoubleClick;
using platform::testing::MouseDown;
using platform::testing::MouseMove;
using platform::testing::MouseUp;

const shell::PaneStore& Store(int pane) { return shell::PaneStores[pane - 1]; }

class EditorFlowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        FreshEditor();
        pane_ = MakePane(1);
        ASSERT_TRUE(pane_);
        // A right click on empty space activates the pane and selects Draw.
        MouseClick(pane_, 500, 400, Button::Right);
        ASSERT_EQ(ActivePane, 1);
        ASSERT_EQ(ToolMode, kToolDraw);
    }

    // What the toolbox palette does for a kind.
    void ChoosePalette(int kind) {
        PendingElementKind = kind;
        ElementPending = 1;
        WireDragActive = 0;
        ToolMode = kToolDraw;
    }

    void Place(int kind, int x, int y) {
        ChoosePalette(kind);
        MouseMove(pane_, x + 7, y + 3);
        MouseClick(pane_, x, y);
    }

    void DrawWire(int x1, int y1, int x2, int y2) {
        MouseDown(pane_, x1, y1);
        MouseMove(pane_, (x1 + x2) / 2, y1, true);
        MouseMove(pane_, x2, y2, true);
        MouseUp(pane_, x2, y2);
    }

    // Input node, filter, output port and ground wired in a chain.
    void DrawChain() {
        Place(shell::kElementInputNode, 50, 100);
        Place(shell::kElementFilter, 100, 100);
        Place(shell::kElementOutputPort, 200, 100);
        Place(shell::kElementGround, 200, 160);
        DrawWire(50, 100, 100, 100);
        DrawWire(140, 100, 200, 100);
        DrawWire(200, 140, 200, 160);
    }

    platform::HWND pane_;
};

TEST_F(EditorFlowTest, PlacingFromThePaletteWritesTheStore) {
    struct Step {
        int kind, x, y, x2, y2;
    };
    const Step steps[] = {
        {shell::kElementInputNode, 50, 100, 50, 100},
        {shell::kElementFilter, 100, 100, 140, 100},
        {shell::kElementOutputPort, 200, 100, 200, 140},
        {shell::kElementGround, 200, 160, 200, 160},
        {shell::kElementJunction, 300, 200, 300, 200},
        {shell::kElementRoomEq, 300, 300, 340, 300},
    };
    int count = 0;
    for (const auto& s : steps) {
        Place(s.kind, s.x, s.y);
        ++count;
        ASSERT_EQ(Store(1).ElementCount, count) << "kind " << s.kind;
        const auto& g = Geometry(Store(1), count - 1);
        EXPECT_EQ(g.kind, s.kind);
        EXPECT_EQ(g.x1, s.x);
        EXPECT_EQ(g.y1, s.y);
        EXPECT_EQ(g.x2, s.x2);
        EXPECT_EQ(g.y2, s.y2);
        EXPECT_EQ(g.node1, -1);
        EXPECT_EQ(ElementPending, 0);
    }
    // A new element keeps the cleared pane-store defaults of its slot.
    EXPECT_EQ(Store(1).ElementParams[2][shell::kParamF1], 100.0f);
    EXPECT_EQ(Store(1).ElementParams[2][shell::kParamF2], 10000.0f);
    EXPECT_TRUE(platform::testing::MessageBoxLog().empty());
}

// A pane's messages carry its caption: "Splitter W7" for pane 7, "Splitter W1" for the others.
TEST_F(EditorFlowTest, EachPanesMessagesCarryItsCaption) {
    const struct {
        int pane;
        const char* caption;
    } cases[] = {{1, "Splitter W1"}, {3, "Splitter W1"}, {6, "Splitter W1"}, {7, "Splitter W7"}};
    for (const auto& c : cases) {
        if (c.pane != 1) {
            pane_ = MakePane(c.pane);
            MouseClick(pane_, 500, 400, Button::Right);
            ASSERT_EQ(ActivePane, c.pane);
        }
        Place(shell::kElementInputNode, 50, 100);
        platform::testing::ClearMessageBoxLog();
        Place(shell::kElementInputNode, 300, 300);
        ASSERT_EQ(platform::testing::MessageBoxLog().size(), 1u) << c.pane;
        EXPECT_EQ(platform::testing::MessageBoxLog()[0].text, "Input Node Exists");
        EXPECT_EQ(platform::testing::MessageBoxLog()[0].caption, c.caption) << c.pane;
    }
}

TEST_F(EditorFlowTest, ClicksAreSnappedToTheTenPixelGrid) {
    Place(shell::kElementJunction, 54, 106);  // rounds to (50, 110)
    Place(shell::kElementJunction, 65, 94);   // halves round up: (70, 90)
    EXPECT_EQ(Geometry(Store(1), 0).x1, 50);
    EXPECT_EQ(Geometry(Store(1), 0).y1, 110);
    EXPECT_EQ(Geometry(Store(1), 1).x1, 70);
    EXPECT_EQ(Geometry(Store(1), 1).y1, 90);
    EXPECT_EQ(SnapToGrid(2), 10);  // never on the left edge, where a joint point means "free"
}

TEST_F(EditorFlowTest, WiringNumbersTheNodesAndPaneOneShowsTheOrder) {
    DrawChain();
    EXPECT_EQ(Store(1).WireCount, 3);
    EXPECT_EQ(Store(1).WMatrixOrder, 3);
    ASSERT_EQ(CountMessages("WMatrixOrder = 1"), 1);
    ASSERT_EQ(CountMessages("WMatrixOrder = 2"), 1);
    ASSERT_EQ(CountMessages("WMatrixOrder = 3"), 1);
    EXPECT_EQ(platform::testing::MessageBoxLog()[0].caption, "Splitter W1");
    const int expected[4][2] = {{0, 0}, {0, 1}, {1, 2}, {2, 2}};
    for (int e = 0; e < 4; ++e) {
        EXPECT_EQ(Geometry(Store(1), e).node1, expected[e][0]) << e;
        EXPECT_EQ(Geometry(Store(1), e).node2, expected[e][1]) << e;
    }
    // The paint writes the input node number and the port's hot node into the store.
    platform::InvalidateRect(pane_, nullptr, 1);
    platform::testing::PumpUntilIdle();
    EXPECT_EQ(Store(1).ElementParams[0][shell::kParamInputNodeNumber], 0.0f);
    EXPECT_EQ(Store(1).ElementParams[2][shell::kParamHotNode], 1.0f);
    EXPECT_EQ(WireDragActive, 0);
}

TEST_F(EditorFlowTest, WiresIntoEmptySpaceTwiceOrOfZeroLengthAreDropped) {
    Place(shell::kElementFilter, 100, 100);
    Place(shell::kElementOutputPort, 200, 100);
    platform::testing::ClearMessageBoxLog();
    DrawWire(140, 100, 300, 300);  // into empty space
    EXPECT_EQ(Store(1).WireCount, 0);
    MouseClick(pane_, 140, 100);  // zero length
    EXPECT_EQ(Store(1).WireCount, 0);
    DrawWire(140, 100, 200, 100);
    DrawWire(140, 100, 200, 100);  // the same wire again
    EXPECT_EQ(Store(1).WireCount, 1);
    DrawWire(200, 100, 140, 100);  // the opposite direction is another wire
    EXPECT_EQ(Store(1).WireCount, 2);
    EXPECT_EQ(CountMessages("WMatrixOrder = 1"), 2);
}

TEST_F(EditorFlowTest, RefusedPlacementsWarnAndDropThePendingElement) {
    Place(shell::kElementInputNode, 50, 100);
    Place(shell::kElementFilter, 100, 100);
    platform::testing::ClearMessageBoxLog();
    struct Case {
        int kind, x, y;
        const char* text;
    };
    const Case cases[] = {
        {shell::kElementInputNode, 300, 300, "Input Node Exists"},
        {shell::kElementFilter, 140, 100, "Overlapped Terminal Detected"},  // its left on a right
        {shell::kElementFilter, 60, 100, "Overlapped Terminal Detected"},   // its right on a left
        {shell::kElementOutputPort, 100, 60, "Overlapped Terminal Detected"},
    };
    for (const auto& c : cases) {
        platform::testing::ClearMessageBoxLog();
        Place(c.kind, c.x, c.y);
        ASSERT_EQ(platform::testing::MessageBoxLog().size(), 1u) << c.text;
        EXPECT_EQ(platform::testing::MessageBoxLog()[0].text, c.text);
        EXPECT_EQ(platform::testing::MessageBoxLog()[0].caption, "Splitter W1");
        EXPECT_EQ(ElementPending, 0) << c.text;
        EXPECT_EQ(Store(1).ElementCount, 2) << c.text;
    }
    // A junction may sit on another element's terminal.
    platform::testing::ClearMessageBoxLog();
    Place(shell::kElementJunction, 140, 100);
    EXPECT_EQ(Store(1).ElementCount, 3);
    // A second room EQ is refused.
    Place(shell::kElementRoomEq, 300, 400);
    Place(shell::kElementRoomEq, 400, 400);
    EXPECT_EQ(CountMessages("Room EQ Exists"), 1);
    EXPECT_EQ(Store(1).ElementCount, 4);
}

TEST_F(EditorFlowTest, MovingAnElementTakesItsWiresAlong) {
    DrawChain();
    ToolMode = kToolMove;
    MouseDown(pane_, 120, 100);  // on the filter's body
    MouseMove(pane_, 117, 150, true);
    MouseMove(pane_, 104, 203, true);
    MouseUp(pane_, 104, 203);  // terminal 1 lands on (100, 200)
    const auto& filter = Geometry(Store(1), 1);
    EXPECT_EQ(filter.x1, 100);
    EXPECT_EQ(filter.y1, 200);
    EXPECT_EQ(filter.x2, 140);
    EXPECT_EQ(filter.y2, 200);
    EXPECT_EQ(filter.moveFlag, 0);
    const auto& w0 = Store(1).Wire[0];
    const auto& w1 = Store(1).Wire[1];
    EXPECT_EQ(w0.x1, 50);
    EXPECT_EQ(w0.y1, 100);
    EXPECT_EQ(w0.x2, 100);
    EXPECT_EQ(w0.y2, 200);
    EXPECT_EQ(w1.x1, 140);
    EXPECT_EQ(w1.y1, 200);
    EXPECT_EQ(w1.x2, 200);
    EXPECT_EQ(w1.y2, 100);
    for (const auto& w : Store(1).Wire) EXPECT_EQ(w.moveMark, 0);
    EXPECT_EQ(Store(1).WMatrixOrder, 3);
    EXPECT_EQ(filter.node1, 0);
    EXPECT_EQ(filter.node2, 1);
    EXPECT_EQ(ElementPending, 0);
}

TEST_F(EditorFlowTest, MovingAPortDragsBothTerminalsWires) {
    DrawChain();
    ToolMode = kToolMove;
    MouseDown(pane_, 200, 120);
    MouseMove(pane_, 250, 130, true);
    MouseUp(pane_, 252, 128);  // lands on (250, 130)
    const auto& port = Geometry(Store(1), 2);
    EXPECT_EQ(port.x1, 250);
    EXPECT_EQ(port.y1, 130);
    EXPECT_EQ(port.y2, 170);
    EXPECT_EQ(Store(1).Wire[1].x2, 250);  // the filter's wire ends on the port's top
    EXPECT_EQ(Store(1).Wire[1].y2, 130);
    EXPECT_EQ(Store(1).Wire[2].x1, 250);  // the ground wire starts on the port's bottom
    EXPECT_EQ(Store(1).Wire[2].y1, 170);
}

TEST_F(EditorFlowTest, WipeWireHitsOnlyTheDrawnSegments) {
    Place(shell::kElementInputNode, 50, 100);
    Place(shell::kElementJunction, 150, 200);
    DrawWire(50, 100, 150, 200);  // across at y 100 to x 150, then down to y 200
    ASSERT_EQ(Store(1).WireCount, 1);
    ToolMode = kToolWipeWire;
    MouseDoubleClick(pane_, 50, 150);  // below the start: no wire is drawn there
    EXPECT_EQ(Store(1).WireCount, 1);
    MouseDoubleClick(pane_, 100, 150);  // inside the L
    EXPECT_EQ(Store(1).WireCount, 1);
    MouseDoubleClick(pane_, 150, 160);  // on the vertical run
    EXPECT_EQ(Store(1).WireCount, 0);
    ToolMode = kToolDraw;
    DrawWire(50, 100, 150, 200);
    ToolMode = kToolWipeWire;
    MouseDoubleClick(pane_, 90, 100);  // on the horizontal run
    EXPECT_EQ(Store(1).WireCount, 0);
    EXPECT_EQ(Store(1).WMatrixOrder, 0);
}

TEST_F(EditorFlowTest, WipeWireRuleTable) {
    WorkingNetwork.WireCount = 2;
    WorkingNetwork.Wire[0] = shell::WireRecord{50, 100, 150, 200, 0, 0};
    WorkingNetwork.Wire[1] = shell::WireRecord{150, 200, 50, 100, 0, 0};  // left and up
    struct Case {
        int w, x, y;
        bool hit;
    };
    const Case cases[] = {
        {0, 50, 100, true},  {0, 150, 100, true},  {0, 150, 200, true},  {0, 100, 100, true},
        {0, 50, 150, false}, {0, 100, 200, false}, {0, 160, 100, false}, {1, 100, 200, true},
        {1, 50, 150, true},  {1, 50, 100, true},   {1, 150, 150, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(WireHit(c.w, c.x, c.y), c.hit) << "wire " << c.w << " at " << c.x << "," << c.y;
    }
}

TEST_F(EditorFlowTest, WipeCompRemovesTheElementWithItsWiresAndMovesTheRestDown) {
    DrawChain();
    WorkingNetwork.ElementParams[3][shell::kParamGain] = 42.0f;  // a mark on the ground's slot
    SavePane1Store();
    ToolMode = kToolWipeComp;
    MouseDoubleClick(pane_, 120, 100);
    EXPECT_EQ(Store(1).ElementCount, 3);
    EXPECT_EQ(Store(1).WireCount, 1);  // only the port-ground wire is left
    EXPECT_EQ(Store(1).Wire[0].x1, 200);
    EXPECT_EQ(Store(1).Wire[0].y1, 140);
    EXPECT_EQ(Geometry(Store(1), 1).kind, shell::kElementOutputPort);
    EXPECT_EQ(Geometry(Store(1), 2).kind, shell::kElementGround);
    EXPECT_EQ(Store(1).ElementParams[2][shell::kParamGain], 42.0f);
    EXPECT_EQ(Geometry(Store(1), 3).kind, 0);
    EXPECT_EQ(Store(1).WMatrixOrder, 1);
    // The slot vacated at the end of the table is empty, not a second copy of slot 62.
    EXPECT_EQ(Geometry(Store(1), 63).kind, 0);
}

TEST_F(EditorFlowTest, DoubleClickWithDrawTogglesByPassAndPlotFlag) {
    Place(shell::kElementFilter, 100, 100);
    Place(shell::kElementOutputPort, 200, 100);
    MouseDoubleClick(pane_, 120, 100);
    EXPECT_EQ(Store(1).ElementParams[0][shell::kParamBypass], 1.0f);
    EXPECT_EQ(SelectedElement, 0);
    MouseDoubleClick(pane_, 120, 100);
    EXPECT_EQ(Store(1).ElementParams[0][shell::kParamBypass], 0.0f);
    MouseDoubleClick(pane_, 200, 130);
    EXPECT_EQ(Store(1).ElementParams[1][shell::kParamPlotFlag], 0.0f);
    EXPECT_EQ(SelectedElement, 1);
    MouseDoubleClick(pane_, 200, 130);
    EXPECT_EQ(Store(1).ElementParams[1][shell::kParamPlotFlag], 1.0f);
    // The double click's own button-down and button-up drew no wire.
    EXPECT_EQ(Store(1).WireCount, 0);
}

TEST_F(EditorFlowTest, AnInactivePaneIgnoresLeftClicksAndDoubleClicks) {
    const platform::HWND other = MakePane(3);
    ChoosePalette(shell::kElementJunction);
    MouseClick(other, 100, 100);
    MouseDoubleClick(other, 100, 100);
    EXPECT_EQ(Store(3).ElementCount, 0);
    EXPECT_EQ(ElementPending, 1);
    EXPECT_EQ(ActivePane, 1);
    // A right click there activates it, restores its store and selects Draw.
    ToolMode = kToolMove;
    MouseClick(other, 100, 100, Button::Right);
    EXPECT_EQ(ActivePane, 3);
    EXPECT_EQ(ToolMode, kToolDraw);
    EXPECT_EQ(platform::testing::MessageBoxLog().size(), 0u);
}

TEST_F(EditorFlowTest, NothingHappensWhileAudioIsBusy) {
    shell::AudioBusy = 1;
    ChoosePalette(shell::kElementJunction);
    MouseClick(pane_, 100, 100);
    MouseClick(pane_, 300, 300, Button::Right);
    EXPECT_EQ(Store(1).ElementCount, 0);
    shell::AudioBusy = 0;
}

TEST_F(EditorFlowTest, TheSixtyFifthElementIsRefused) {
    for (int e = 0; e < 64; ++e)
        ASSERT_GE(PutElement(shell::kElementJunction, 20 + 10 * (e % 8), 20 + 10 * (e / 8)), 0);
    SavePane1Store();
    Place(shell::kElementJunction, 400, 400);
    EXPECT_EQ(Store(1).ElementCount, 64);
    EXPECT_EQ(platform::testing::MessageBoxLog().size(), 1u);
}

TEST_F(EditorFlowTest, RightClickOpensTheElementDialogOnTheRightSlot) {
    resources::RegisterAll();
    Place(shell::kElementInputNode, 50, 100);
    Place(shell::kElementFilter, 100, 100);
    Place(shell::kElementFilter, 100, 200);
    // The dialog cancelled: the right click selects and changes nothing.
    int open_during_dialog = -1;
    platform::testing::OnModalDialog("EnterBehringer", [&](platform::HWND dialog) {
        open_during_dialog = shell::ModalDialogOpen;
        platform::testing::Click(dialog, platform::IDCANCEL);
    });
    MouseClick(pane_, 120, 200, Button::Right);
    EXPECT_EQ(open_during_dialog, 1);
    EXPECT_EQ(shell::ModalDialogOpen, 0);
    EXPECT_EQ(SelectedElement, 2);
    EXPECT_EQ(Store(1).ElementParams[2][shell::kParamFo], 1000.0f);

    // What the dialog sets reaches the clicked slot in the pane's store.
    platform::testing::OnModalDialog("EnterBehringer", [&](platform::HWND dialog) {
        platform::testing::TypeText(dialog, kFoEdit, "2500");
        platform::testing::Click(dialog, platform::IDOK);
    });
    MouseClick(pane_, 110, 200, Button::Right);
    EXPECT_EQ(shell::ModalDialogOpen, 0);
    EXPECT_EQ(SelectedElement, 2);
    EXPECT_EQ(Store(1).ElementParams[2][shell::kParamFo], 2500.0f);
    EXPECT_EQ(Store(1).ElementParams[1][shell::kParamFo], 1000.0f);

    // An output port's dialog is the configuration window's to open; a parent that has none
    // leaves the click a selection.
    Place(shell::kElementOutputPort, 300, 100);
    MouseClick(pane_, 300, 120, Button::Right);
    EXPECT_EQ(SelectedElement, 3);
    EXPECT_EQ(shell::ModalDialogOpen, 0);
}

TEST_F(EditorFlowTest, DestroyingAnOlderPaneKeepsTheLivePanesEntry) {
    const platform::HWND older = pane_;
    const platform::HWND newer = MakePane(1);
    ASSERT_EQ(PaneWindows[0], newer);
    platform::DestroyWindow(older);
    EXPECT_EQ(PaneWindows[0], newer);
    platform::DestroyWindow(newer);
    EXPECT_FALSE(PaneWindows[0]);
}

TEST_F(EditorFlowTest, GhostAndRubberBandFollowThePointerAndEraseBehindThem) {
    platform::testing::PumpUntilIdle();
    const platform::COLORREF background = PixelAt(pane_, 300, 300);
    ChoosePalette(shell::kElementGround);
    MouseMove(pane_, 300, 300);
    EXPECT_NE(PixelAt(pane_, 300, 305), background) << "ghost stem at the pointer";
    MouseMove(pane_, 400, 300);
    EXPECT_EQ(PixelAt(pane_, 300, 305), background) << "old ghost erased";
    EXPECT_NE(PixelAt(pane_, 400, 305), background) << "ghost moved";
    ElementPending = 0;
    // A wire drag: the band runs across from the start and then down to the pointer.
    Place(shell::kElementJunction, 100, 100);
    platform::testing::PumpUntilIdle();
    MouseDown(pane_, 100, 100);
    MouseMove(pane_, 200, 250, true);
    EXPECT_NE(PixelAt(pane_, 150, 100), background) << "band across";
    EXPECT_NE(PixelAt(pane_, 200, 200), background) << "band down";
    MouseMove(pane_, 160, 150, true);
    EXPECT_EQ(PixelAt(pane_, 200, 200), background) << "old band erased";
    EXPECT_NE(PixelAt(pane_, 160, 120), background);
    MouseUp(pane_, 160, 150);
    EXPECT_EQ(WireDragActive, 0);
    EXPECT_EQ(Store(1).WireCount, 0) << "the end lies on no terminal";
}

TEST_F(EditorFlowTest, EveryEditLeavesTheStoreEqualToTheWorkingNetwork) {
    // The painter writes the derived input and hot nodes (positions 14, 15) into the store only.
    const auto same = [] {
        auto store = std::make_unique<shell::NetworkTables>(Store(1));
        auto working = std::make_unique<shell::NetworkTables>(WorkingNetwork);
        for (int e = 0; e < shell::kMaxElements; ++e) {
            for (int p : {shell::kParamInputNodeNumber, shell::kParamHotNode}) {
                store->ElementParams[e][p] = 0.0f;
                working->ElementParams[e][p] = 0.0f;
            }
        }
        return std::memcmp(store.get(), working.get(), sizeof(shell::NetworkTables)) == 0;
    };
    DrawChain();
    EXPECT_TRUE(same());
    Place(shell::kElementInputNode, 300, 300);  // refused, still saved
    EXPECT_TRUE(same());
    ToolMode = kToolWipeWire;
    MouseDoubleClick(pane_, 170, 100);
    EXPECT_TRUE(same());
    EXPECT_EQ(Store(1).WireCount, 2);
}

}  // namespace
}  // namespace network::test
