// Helpers shared by the network editor tests: a fresh layer and editor, shared GDI objects, a
// pane window, and small builders for elements and wires in the WorkingNetwork.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "network/EditorState.h"
#include "network/Globals.h"
#include "network/PaneEditor.h"
#include "network/Templates.h"
#include "network/WorkingNetwork.h"
#include "platform/gdi/Gdi.h"
#include "platform/testing/Dialogs.h"
#include "platform/testing/Harness.h"
#include "platform/testing/MessageBoxLog.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Paint.h"
#include "platform/ui/Window.h"
#include "shell/FrameGlobals.h"
#include "shell/GdiObjects.h"
#include "shell/Globals.h"
#include "shell/NetworkTables.h"

namespace network::test {

using shell::WorkingNetwork;

// The state of the shell and of the network editor back to their start values.
inline void ResetFolders() {
    shell::ResetGlobals();
    network::ResetGlobals();
}

// Every test starts from a fresh layer, zeroed tables, cleared stores and editor state.
inline void FreshEditor() {
    platform::testing::ResetLayer();
    platform::testing::ClearMessageBoxLog();
    ResetFolders();
    ClearAllPaneStores();
    ClearWorkingNetwork();
    shell::DeleteGdiObjects();
    ASSERT_EQ(shell::CreateGdiObjects(), 0);
}

inline int PutElement(int kind, int x, int y) {
    const int x2 = (kind == shell::kElementFilter || kind == shell::kElementRoomEq) ? x + 40 : x;
    const int y2 = kind == shell::kElementOutputPort ? y + 40 : y;
    return AppendElement(WorkingNetwork, platform::HWND{}, kind, x, y, x2, y2);
}

inline int PutWire(int x1, int y1, int x2, int y2) {
    return AppendWire(WorkingNetwork, platform::HWND{}, x1, y1, x2, y2);
}

inline const shell::ElementGeometryRecord& Geometry(const shell::NetworkTables& t, int e) {
    return t.ElementGeometry[e];
}

// A pane window of class "Pane k", 600 x 500 client pixels, shown and painted.
inline platform::HWND MakePane(int pane, int width = 600, int height = 500) {
    RegisterPaneClasses(platform::HINSTANCE{});
    const std::string cls = "Pane " + std::to_string(pane);
    const platform::HWND hwnd =
        platform::CreateWindow(cls.c_str(), ("Child " + std::to_string(pane)).c_str(),
                               platform::WS_OVERLAPPED | platform::WS_VISIBLE, 0, 0, width, height,
                               platform::HWND{}, platform::HMENU{}, platform::HINSTANCE{}, nullptr);
    platform::testing::PumpUntilIdle();
    return hwnd;
}

// Messages logged since the last clear with this text.
inline int CountMessages(const std::string& text) {
    int count = 0;
    for (const auto& entry : platform::testing::MessageBoxLog()) {
        if (entry.text == text) ++count;
    }
    return count;
}

// The colour of a client pixel of a window's backing image.
inline platform::COLORREF PixelAt(platform::HWND hwnd, int x, int y) {
    const platform::HDC hdc = platform::GetDC(hwnd);
    const platform::COLORREF c = platform::GetPixel(hdc, x, y);
    platform::ReleaseDC(hwnd, hdc);
    return c;
}

// Pixels of exactly `colour` in the box [x0, x1) x [y0, y1).
inline int CountColour(platform::HWND hwnd, int x0, int y0, int x1, int y1,
                       platform::COLORREF colour) {
    const platform::HDC hdc = platform::GetDC(hwnd);
    int count = 0;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            if (platform::GetPixel(hdc, x, y) == colour) ++count;
        }
    }
    platform::ReleaseDC(hwnd, hdc);
    return count;
}

}  // namespace network::test
