// File dialogs in tests: every open/save dialog is logged and answered by script.
#pragma once

#include <string>
#include <vector>

#include "platform/Types.h"

namespace platform::testing {

struct FileDialogEntry {
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

// The next dialogs' answers, in order: a path (absolute, or relative to the current folder) is
// chosen as if typed into the dialog; an empty text cancels. With no answer left the dialog is
// cancelled.
void ScriptFileDialogAnswers(std::vector<std::string> answers);
const std::vector<FileDialogEntry>& FileDialogLog();
void ClearFileDialogLog();

}  // namespace platform::testing
