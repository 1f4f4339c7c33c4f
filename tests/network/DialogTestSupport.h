// Helpers shared by the element dialog tests: a fresh layer and editor with the templates
// registered and the element dialogs installed, reading a control's text, and the boxes shown.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "network/EditorState.h"
#include "network/ElementDialogs.h"
#include "network/Templates.h"
#include "network/WorkingNetwork.h"
#include "platform/testing/Harness.h"
#include "platform/testing/MessageBoxLog.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/MessageBox.h"
#include "resources/Resources.h"
#include "shell/Globals.h"
#include "tests/network/EditorTestSupport.h"

namespace network::test {

// Every dialog test starts from a fresh layer, an empty box log, zeroed tables, cleared stores
// and editor state, and the dialog templates registered.
inline void FreshElementDialogs() {
    platform::testing::ResetLayer();
    platform::testing::ClearMessageBoxLog();
    ResetFolders();
    ClearAllPaneStores();
    ClearWorkingNetwork();
    resources::RegisterAll();
}

inline std::string DialogText(platform::HWND d, int id) {
    char buffer[4096];
    platform::GetDlgItemText(d, id, buffer, sizeof buffer);
    return buffer;
}

// The texts of the boxes shown since the last clear, checking that each is a dialog's own
// "QV Message" with an exclamation icon and OK (and, with `require_owner`, an owner window).
inline std::vector<std::string> DialogMessages(bool require_owner) {
    std::vector<std::string> texts;
    for (const auto& entry : platform::testing::MessageBoxLog()) {
        EXPECT_EQ(entry.caption, "QV Message") << entry.text;
        EXPECT_EQ(entry.type, platform::MB_OK | platform::MB_ICONEXCLAMATION) << entry.text;
        if (require_owner) {
            EXPECT_TRUE(entry.owner) << entry.text;
        }
        texts.push_back(entry.text);
    }
    return texts;
}

}  // namespace network::test
