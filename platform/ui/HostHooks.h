// The layer's extension points for whatever hosts it instead of a person at the screen (an
// automated run, a recorder): a few slots, all empty unless the host fills them, through which it
// sees what the layer shows and answers what would otherwise wait for a person. The system's own
// code neither fills nor reads them. UI thread only, like everything they observe.
#pragma once

#include <string>
#include <vector>

#include "platform/Types.h"

namespace platform {

// A message box as asked for, and the answer MessageBox returned.
struct MessageBoxRecord {
    HWND owner;
    std::string text;
    std::string caption;
    UINT type;   // MB_* buttons | icon
    int answer;  // what MessageBox returned
};

// An open-file or save-file dialog as asked for, and what it returned.
struct FileDialogRecord {
    bool save;  // GetSaveFileName (true) or GetOpenFileName
    HWND owner;
    std::vector<std::string> filters;  // "description|patterns" per pair
    std::string initial_path;          // lpstrFile as given
    std::string initial_dir;
    DWORD flags;
    bool chosen;       // what the dialog returned
    std::string path;  // the path returned (empty when cancelled)
    bool shown;        // the chosen file's name matches the dialog's filter pair (any case)
};

// A text drawn into a window (or custom-drawn control) or a memory bitmap.
struct DrawnTextRecord {
    HWND window;       // the window whose image the text went into; 0 for a memory bitmap
    std::string text;  // as drawn
    RECT ink;          // the glyphs' ink, in the window's client coordinates
    RECT client;       // the window's client area (the bitmap's area) when it was drawn
};

// The steps of a print job a host may refuse.
enum class PrintStep { StartDoc, EndPage };

struct HostHooks {
    // Unattended (internal::Headless): the answers a person would give. An empty slot gives the
    // default: a box's default button, a cancelled file or printer dialog.

    // A modal dialog's loop starts, after WM_INITDIALOG and the first showing.
    void (*modal_loop_started)(HWND dialog, const std::string& template_name) = nullptr;
    // A modal dialog is still open when nothing more is left to do; the layer then cancels it.
    void (*modal_loop_idle)(const std::string& template_name) = nullptr;
    // Sets `box.answer`, which holds the default button's answer on entry.
    void (*answer_message_box)(MessageBoxRecord& box) = nullptr;
    // The path chosen in a file dialog (absolute, or relative to the current folder), as if typed
    // into it; "" cancels. `request` is the record without its result fields.
    std::string (*answer_file_dialog)(const FileDialogRecord& request) = nullptr;
    // The printer dialog: true with the PDF file the job prints to (A4, no margins), false for
    // cancel.
    bool (*answer_print_dialog)(std::string* pdf_path) = nullptr;

    // Always, also on screen: what the layer showed and did.

    void (*message_box_shown)(const MessageBoxRecord& box) = nullptr;
    void (*beeped)() = nullptr;
    void (*file_dialog_done)(const FileDialogRecord& dialog) = nullptr;
    // Texts with ink, not those on printer pages. Each costs a measurement: fill it only while
    // it is wanted.
    void (*text_drawn)(const DrawnTextRecord& text) = nullptr;
    // Whether a print job may take this step; false fails it as a broken printer would.
    bool (*print_step_allowed)(PrintStep step) = nullptr;
    // The default printer as "name,model,location": true when the host decides it (an empty
    // text then leaves the caller's default), false to ask the system.
    bool (*default_printer)(std::string* description) = nullptr;
};

// The process's one set of hooks.
HostHooks& Hooks();

}  // namespace platform
