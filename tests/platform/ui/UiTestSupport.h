// Shared by the window-layer tests: a fixture that starts every test from a fresh layer, and a
// window class whose procedure records what it receives.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "platform/testing/Dialogs.h"
#include "platform/testing/FileDialogs.h"
#include "platform/testing/Harness.h"
#include "platform/testing/Input.h"
#include "platform/testing/MessageBoxLog.h"

namespace platform::test {

struct Received {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// What the recording procedure saw, in order, and what it should do on top.
inline std::vector<Received>& Log() {
    static std::vector<Received> log;
    return log;
}
inline std::function<LRESULT(HWND, UINT, WPARAM, LPARAM, bool*)>& Extra() {
    static std::function<LRESULT(HWND, UINT, WPARAM, LPARAM, bool*)> extra;
    return extra;
}

inline LRESULT RecordingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Log().push_back(Received{hwnd, message, wParam, lParam});
    if (Extra()) {
        bool handled = false;
        const LRESULT r = Extra()(hwnd, message, wParam, lParam, &handled);
        if (handled) return r;
    }
    return DefWindowProc(hwnd, message, wParam, lParam);
}

// The messages of one kind in the log, in order.
inline std::vector<UINT> Messages(HWND hwnd, std::initializer_list<UINT> kinds) {
    std::vector<UINT> out;
    for (const Received& r : Log()) {
        if (hwnd && r.hwnd != hwnd) continue;
        for (UINT k : kinds)
            if (r.message == k) out.push_back(r.message);
    }
    return out;
}

class UiTest : public ::testing::Test {
  protected:
    void SetUp() override {
        testing::ResetLayer();
        Log().clear();
        Extra() = nullptr;
        WNDCLASS wc{};
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = &RecordingProc;
        wc.cbWndExtra = 4;
        wc.lpszClassName = "Recorder";
        ASSERT_NE(RegisterClass(&wc), 0);
        wc.style = 0;
        wc.lpszClassName = "PlainRecorder";
        ASSERT_NE(RegisterClass(&wc), 0);
    }
    void TearDown() override {
        Extra() = nullptr;
        testing::ResetLayer();
    }
    // A visible top-level window of class Recorder with the given client size.
    HWND MakeWindow(int width = 300, int height = 200, const char* cls = "Recorder") {
        const HWND hwnd = CreateWindow(cls, "Test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, width,
                                       height, HWND{}, HMENU{}, HINSTANCE{}, nullptr);
        testing::PumpUntilIdle();
        return hwnd;
    }
};

}  // namespace platform::test
