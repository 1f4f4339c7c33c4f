#include "tests/x11/ProgramOnScreen.h"

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <iostream>
#include <thread>

#include "engine/Globals.h"
#include "frame/Program.h"
#include "frame/ResetProgram.h"
#include "network/EditorState.h"
#include "network/Globals.h"
#include "network/PaneEditor.h"
#include "platform/audio/VirtualCard.h"
#include "platform/testing/FileDialogs.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Window.h"
#include "shell/FrameGlobals.h"
#include "shell/Globals.h"
#include "shell/StartupAllocation.h"
#include "solver/Globals.h"

namespace x11test {

ScreenSetup& Setup() {
    static ScreenSetup setup;
    return setup;
}

Driver::Driver() {
    EXPECT_TRUE(input_.Open(Setup().display)) << "no XTEST connection to " << Setup().display;
}

RECT Driver::ClientRect(HWND hwnd) {
    return OnUi([&] {
        RECT r{};
        screen::ScreenClientRect(hwnd, &r);
        return r;
    });
}

RECT Driver::WindowRect(HWND hwnd) {
    return OnUi([&] {
        RECT r{};
        screen::ScreenWindowRect(hwnd, &r);
        return r;
    });
}

RECT Driver::SettledClientRect(HWND hwnd) {
    RECT last = ClientRect(hwnd);
    for (int i = 0; i < 40; ++i) {
        WaitFor([] { return false; }, 40);
        const RECT now = ClientRect(hwnd);
        if (now.left == last.left && now.top == last.top && now.right == last.right &&
            now.bottom == last.bottom)
            return now;
        last = now;
    }
    return last;
}

void Driver::ClickControl(HWND dialog, int id, int button) {
    const HWND control = OnUi([&] { return platform::GetDlgItem(dialog, id); });
    ASSERT_TRUE(control) << "no control " << id;
    const RECT r = SettledClientRect(control);
    // Only where the control itself is on top, on the screen: a click elsewhere would go to
    // another window.
    EXPECT_TRUE(WaitFor(
        [&] {
            return screen::WindowAt(CentreX(r), CentreY(r)) == control &&
                   screen::ShownOnScreen(control);
        },
        3000))
        << "control " << id << " is covered at (" << CentreX(r) << ", " << CentreY(r) << ") by \""
        << OnUi([&] { return screen::WindowTitleAt(CentreX(r), CentreY(r)); }) << "\"";
    ClickAt(r, button);
}

void Driver::ReplaceEditText(HWND dialog, int id, const std::string& text) {
    ClickControl(dialog, id);
    // Typed once the click has put the keyboard into the edit, as a person sees the cursor there.
    const HWND edit = OnUi([&] { return platform::GetDlgItem(dialog, id); });
    EXPECT_TRUE(WaitFor([&] {
        return platform::GetFocus() == edit && screen::HoldsKeyboard(edit);
    })) << "the click did not put the keyboard into edit "
        << id;
    input_.Key("a", platform::testing::XInput::kControl);
    input_.Type(text);
}

std::string Driver::WindowText(HWND hwnd) {
    return OnUi([&] {
        char text[1024] = {};
        platform::GetWindowText(hwnd, text, sizeof text);
        return std::string(text);
    });
}

bool Driver::WaitForText(HWND hwnd, const std::string& text) {
    return WaitFor([&] {
        char now[1024] = {};
        platform::GetWindowText(hwnd, now, sizeof now);
        return text == now;
    });
}

bool Driver::WaitFor(const std::function<bool()>& condition, int timeout_ms) {
    return screen::WaitOnUi(condition, timeout_ms);
}

bool Driver::WaitForBox(const std::string& text, int timeout_ms) {
    return WaitFor(
        [&] {
            screen::QtModal modal;
            return screen::ActiveQtModal(&modal) && modal.kind == "message box" &&
                   modal.text == text;
        },
        timeout_ms);
}

HWND Driver::WaitForDialog(const std::string& template_name, int timeout_ms) {
    HWND found{};
    WaitFor(
        [&] {
            const HWND dialog = screen::InnermostModalDialog();
            if (!dialog || screen::TemplateOf(dialog) != template_name ||
                !platform::IsWindowVisible(dialog))
                return false;
            found = dialog;
            return true;
        },
        timeout_ms);
    return found;
}

bool Driver::WaitNoModal(int timeout_ms) {
    return WaitFor(
        [] {
            screen::QtModal modal;
            return !screen::InnermostModalDialog() && !screen::ActiveQtModal(&modal);
        },
        timeout_ms);
}

bool Driver::ClickQtModalButton(const std::string& text) {
    // Clicked once the window is shown and has the keyboard, as a person sees it.
    WaitFor([] {
        screen::QtModal modal;
        return screen::ActiveQtModal(&modal) && modal.active;
    });
    RECT r{};
    if (!OnUi([&] { return screen::QtModalButtonRect(text, &r); })) return false;
    for (int i = 0; i < 40; ++i) {
        WaitFor([] { return false; }, 40);
        RECT now{};
        if (!OnUi([&] { return screen::QtModalButtonRect(text, &now); })) return false;
        const bool same = now.left == r.left && now.top == r.top;
        r = now;
        if (same) break;
    }
    ClickAt(r);
    return true;
}

std::string Driver::DescribeModal() {
    return OnUi([] {
        std::string out;
        if (const HWND dialog = screen::InnermostModalDialog()) {
            out += "dialog \"" + screen::TemplateOf(dialog) + "\"";
            if (!platform::IsWindowVisible(dialog)) out += " (hidden)";
        }
        screen::QtModal modal;
        if (screen::ActiveQtModal(&modal))
            out +=
                (out.empty() ? "" : ", ") + modal.kind + " \"" + modal.title + "\" " + modal.text;
        return out.empty() ? std::string("nothing") : out;
    });
}

bool Driver::ChooseMenu(HWND frame, int index, platform::UINT id) {
    RECT title{};
    if (!OnUi([&] { return screen::MenuTitleRect(frame, index, &title); })) return false;
    ClickAt(title);
    RECT item{};
    if (!WaitFor([&] { return screen::OpenMenuItemRect(id, &item); }, 5000)) return false;
    // The item's rectangle is final once the popup is shown; read it again after a settle.
    WaitFor([&] { return screen::OpenMenuItemRect(id, &item); }, 1000);
    ClickAt(item);
    return WaitFor([] { return !screen::AnyMenuOpen(); }, 5000);
}

void Driver::CloseBox(HWND hwnd) {
    if (Setup().window_manager) {
        // The close box is the rightmost button of the title bar the window manager drew, once
        // the window manager has stopped moving the window into place.
        RECT frame = WindowRect(hwnd);
        for (int i = 0; i < 40; ++i) {
            WaitFor([] { return false; }, 40);
            const RECT now = WindowRect(hwnd);
            const bool same = now.left == frame.left && now.top == frame.top &&
                              now.right == frame.right && now.bottom == frame.bottom;
            frame = now;
            if (same) break;
        }
        const RECT client = ClientRect(hwnd);
        const int title = client.top - frame.top;
        input_.Click(frame.right - 1 - title / 2, frame.top + title / 2);
    } else {
        input_.SendDeleteWindow(OnUi([&] { return screen::NativeWindowOf(hwnd); }));
    }
}

bool Driver::WaitForFileChooser(screen::NameField* field) {
    screen::NameField seen;
    const bool ready =
        WaitFor([&] { return screen::FileNameField(&seen) && seen.has_keyboard; }, 15000);
    if (field) *field = seen;
    return ready;
}

bool Driver::AnswerFileChooser(const std::string& path) {
    // The chooser is open: its answer is not in the log yet.
    const std::size_t answers = OnUi([] { return screen::FileDialogLog().size(); });
    if (!WaitForFileChooser()) {
        ADD_FAILURE() << "the file chooser's name field did not take the keyboard; up: "
                      << DescribeModal();
        return false;
    }
    input_.Type(path);
    screen::NameField field;
    if (!WaitFor([&] { return screen::FileNameField(&field) && field.text == path; }, 5000)) {
        ADD_FAILURE() << "typed \"" << path << "\", the name field shows \"" << field.text << "\"";
        return false;
    }
    const int losses = OnUi([] { return screen::ModalKeyboardLosses(); });
    EXPECT_EQ(losses, 0) << "the chooser let the keyboard go " << losses
                         << " times after taking it";
    input_.Key("Return");
    // Done once the chooser has handed the path to the program, or asks first whether to create
    // or replace the file. What the program does with the path without a window of its own (a
    // save, a read) is then done too: the UI thread runs nothing else in between.
    if (!WaitFor(
            [&] {
                screen::QtModal box;
                return screen::FileDialogLog().size() > answers ||
                       (screen::ActiveQtModal(&box) && box.kind == "message box");
            },
            15000)) {
        ADD_FAILURE() << "the chooser did not hand \"" << path
                      << "\" over; up: " << DescribeModal();
        return false;
    }
    return true;
}

std::string Driver::Screenshot(const std::string& name) {
    const std::string path = Setup().output_dir + "/" + name + "_" + Setup().Tag() + ".png";
    EXPECT_TRUE(OnUi([&] { return screen::SaveScreenImage(path); })) << path;
    return path;
}

void ProgramOnScreen::SetUp() {
    previous_dir_ = std::filesystem::current_path();
    dir_ = std::filesystem::temp_directory_path() /
           ("qv-x11-" + std::to_string(getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    std::filesystem::current_path(dir_);
    screen::ResetLayerOnScreen();
    frame::ResetProgram();
    // The card's routes, loopbacks and injected faults are the defaults whatever ran before.
    ASSERT_TRUE(platform::VirtualCardReset()) << "a wave device was left open";
    frame::ProgramAllocators() = frame::StartupAllocators{
        &shell::AllocMainBuffers, &shell::AllocCurveBuffers, &shell::AllocDspBuffers};
}

void ProgramOnScreen::TearDown() {
    screen::ResetLayerOnScreen();
    std::filesystem::current_path(previous_dir_);
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
}

void ProgramOnScreen::RunProgram(const std::function<void(Driver&)>& script) {
    std::atomic<bool> running{true};
    std::atomic<bool> driver_done{false};
    std::thread driver([&] {
        {
            Driver d;
            script(d);
        }
        // Whatever the script left open is ended, then the program releases everything and
        // posts the quit message its loop ends on.
        for (int i = 0; i < 20 && running.load(); ++i) {
            if (!OnUi([] { return screen::EndOneModal(); })) break;
            screen::WaitOnUi([] { return false; }, 100);
        }
        if (running.load())
            OnUi([] {
                if (!screen::InnermostModalDialog()) frame::ReleaseProgramResources();
            });
        driver_done = true;
    });
    frame::ProgramWinMain(platform::HINSTANCE::FromIndex(1), platform::HINSTANCE{}, "",
                          platform::SW_SHOWNORMAL);
    running = false;
    // The driver may still ask the UI thread something: keep answering until it is done.
    while (!driver_done.load()) {
        platform::MSG msg;
        platform::PeekMessage(&msg, HWND{}, 0, 0, platform::PM_REMOVE);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    driver.join();
}

void ProgramOnScreen::DismissBoxes(Driver& d) {
    for (int i = 0; i < 4; ++i) {
        screen::QtModal modal;
        bool box = false;
        if (!d.WaitFor(
                [&] {
                    box = screen::ActiveQtModal(&modal) && modal.kind == "message box";
                    return box || screen::ProgramAtRest();
                },
                15000)) {
            ADD_FAILURE() << "the program did not come to rest; up: " << d.DescribeModal();
            return;
        }
        if (!box) return;
        std::cout << "[ note     ] message box: " << modal.text << std::endl;
        if (!d.ClickQtModalButton("OK") && !d.ClickQtModalButton("No")) return;
        // This box answered; the program goes on from there.
        d.WaitFor([&] {
            screen::QtModal now;
            return !screen::ActiveQtModal(&now) || now.window != modal.window;
        });
    }
}

void ProgramOnScreen::PassFirstStartBox(Driver& driver) {
    ASSERT_TRUE(driver.WaitForBox("Unable To OPEN Preferences File"))
        << "the first start's message box did not come up";
    // Clicked once it is shown and has the focus, as a person sees it.
    driver.WaitFor([] {
        screen::QtModal modal;
        return screen::ActiveQtModal(&modal) && modal.active;
    });
    ASSERT_TRUE(driver.ClickQtModalButton("OK"));
    ASSERT_TRUE(driver.WaitFor([] { return shell::ComponentCADSelectionDialog != 0; }))
        << "the start windows did not open";
}

}  // namespace x11test
