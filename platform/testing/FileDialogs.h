// File dialogs in tests: every open/save dialog is logged and answered by script.
#pragma once

#include <string>
#include <vector>

#include "platform/ui/HostHooks.h"

namespace platform::testing {

// save, owner, filters ("description|patterns" per pair), initial path and folder, flags, and
// what the dialog returned: chosen, the path, whether the filter pair shows the chosen name.
using FileDialogEntry = FileDialogRecord;

// The next dialogs' answers, in order: a path (absolute, or relative to the current folder) is
// chosen as if typed into the dialog; an empty text cancels. With no answer left the dialog is
// cancelled.
void ScriptFileDialogAnswers(std::vector<std::string> answers);
const std::vector<FileDialogEntry>& FileDialogLog();
void ClearFileDialogLog();

}  // namespace platform::testing
