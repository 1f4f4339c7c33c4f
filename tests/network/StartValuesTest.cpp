// network::ResetGlobals gives every variable of the network editor back the value it held when
// the program started, whatever the tests before it changed: shuffled runs depend on it.
#include <gtest/gtest.h>

#include "network/EditorState.h"
#include "network/Globals.h"
#include "network/WorkingNetwork.h"
#include "tests/StartValues.h"

namespace network {
namespace {

const qvtest::StartBytes& kStart = qvtest::KeepStartBytes({
    QV_STATE(ActivePane),
    QV_STATE(PendingElementKind),
    QV_STATE(ElementPending),
    QV_STATE(WireDragActive),
    QV_STATE(SelectedElement),
    QV_STATE(PaneWindows),
    QV_STATE(ShowNodes),
    QV_STATE(ShowRaster),
    QV_STATE(CopySpeakerFlags),
    QV_STATE(RestoredPane),
});

TEST(NetworkStartValues, ResetGivesBackEveryStartValue) {
    ASSERT_TRUE(kStart.Kept());
    kStart.Scramble();
    ResetGlobals();
    EXPECT_EQ(kStart.Changed(), "") << "variables the reset leaves as a test left them";
}

}  // namespace
}  // namespace network
