// The program on a real X server: each test runs the program's own entry (start-up and message
// loop) on the UI thread, in a fresh temporary program folder, while its script runs on a driver
// thread that moves the mouse and presses keys through the X server and reads what the program
// shows through RunOnUiThread.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "platform/Types.h"
#include "platform/testing/OnScreen.h"
#include "platform/testing/XInput.h"

namespace x11test {

namespace screen = platform::testing;
using platform::HWND;
using platform::RECT;

// The display the executable started (main), shared by every test.
struct ScreenSetup {
    int width = 0;
    int height = 0;
    bool window_manager = false;
    std::string display;     // ":N"
    std::string output_dir;  // screenshots
    std::string Tag() const {
        return std::to_string(width) + "x" + std::to_string(height) +
               (window_manager ? "_wm" : "_nowm");
    }
};
ScreenSetup& Setup();

// Runs `fn` on the UI thread and returns its value; a UI thread that does not answer fails the
// test and gives the value type's default.
template <class F>
auto OnUi(F fn) -> decltype(fn()) {
    using R = decltype(fn());
    if constexpr (std::is_void_v<R>) {
        EXPECT_TRUE(platform::testing::RunOnUiThread(fn)) << "the UI thread did not answer";
    } else {
        R value{};
        EXPECT_TRUE(platform::testing::RunOnUiThread([&] { value = fn(); }))
            << "the UI thread did not answer";
        return value;
    }
}

// The driver thread's hands and eyes.
class Driver {
  public:
    Driver();
    platform::testing::XInput& Input() { return input_; }

    RECT ClientRect(HWND hwnd);
    RECT WindowRect(HWND hwnd);
    // The client rectangle once it has stayed the same for a moment (a window manager may still
    // be placing a window that just opened).
    RECT SettledClientRect(HWND hwnd);
    static int CentreX(const RECT& r) { return (r.left + r.right) / 2; }
    static int CentreY(const RECT& r) { return (r.top + r.bottom) / 2; }
    void ClickAt(const RECT& r, int button = 1) { input_.Click(CentreX(r), CentreY(r), button); }
    // A click on the control `id` of `dialog`.
    void ClickControl(HWND dialog, int id, int button = 1);
    // Clicks into an edit and, once it holds the keyboard, selects all with Ctrl+A and types
    // `text` over it.
    void ReplaceEditText(HWND dialog, int id, const std::string& text);
    std::string WindowText(HWND hwnd);
    // Waits until the window's text reads `text`; false after the time.
    bool WaitForText(HWND hwnd, const std::string& text);

    // Waits until `condition` (evaluated on the UI thread) holds; false after `timeout_ms`.
    bool WaitFor(const std::function<bool()>& condition, int timeout_ms = 10000);
    // Waits for a Qt message box with this text; its window, or 0.
    bool WaitForBox(const std::string& text, int timeout_ms = 15000);
    // Waits for the layer's modal dialog of this template to be up and shown; its handle or 0.
    HWND WaitForDialog(const std::string& template_name, int timeout_ms = 10000);
    // Waits until no modal window of the layer or of Qt is up.
    bool WaitNoModal(int timeout_ms = 10000);
    // What modal windows are up, for failure messages.
    std::string DescribeModal();
    // Presses the Qt modal window's button with this text.
    bool ClickQtModalButton(const std::string& text);

    // Opens the menu bar's title `index` with the mouse and chooses the item `id`.
    bool ChooseMenu(HWND frame, int index, platform::UINT id);
    // Asks the top-level window holding `hwnd` to close: with a window manager by a click on the
    // close box it drew, without one by the delete-window message a window manager would send.
    void CloseBox(HWND hwnd);

    // Waits until the file chooser is up and its name field takes the keys typed now, as a
    // person waits for the field to show its cursor; what the field then shows, or false.
    bool WaitForFileChooser(screen::NameField* field = nullptr);
    // Types a path into the file chooser once it takes the keys, as a person does: no click into
    // the field, no select-all (a name the chooser offers is selected, so typing replaces it).
    // The field must then show exactly the path; then Enter, and true once the program has the
    // path (and has done what it does with it without another window) or asks about it in a box.
    bool AnswerFileChooser(const std::string& path);

    // Saves the screen as <output dir>/<name>_<setup>.png; the path.
    std::string Screenshot(const std::string& name);

  private:
    platform::testing::XInput input_;
};

class ProgramOnScreen : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
    // Runs the program's entry on this thread and `script` on a driver thread until the script
    // has ended the program (or failed: then everything still open is ended for it).
    void RunProgram(const std::function<void(Driver&)>& script);
    // Answers the first start's "Unable To OPEN Preferences File" with a click on OK.
    static void PassFirstStartBox(Driver& driver);
    // Clicks OK (or No) on every message box the program shows until it has done what it was
    // given (back in its own loop, nothing posted), as a person would, and notes each box's text
    // in the log.
    static void DismissBoxes(Driver& driver);

    std::filesystem::path dir_;
    std::filesystem::path previous_dir_;
};

}  // namespace x11test
