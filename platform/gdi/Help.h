// Opening documents (help files) with the desktop's viewer. UI thread only.
#pragma once

#include "platform/Types.h"

namespace platform {

// Results of ShellExecute at or below 32 are failures.
inline constexpr INT_PTR SE_ERR_FNF = 2;       // the file does not exist
inline constexpr INT_PTR SE_ERR_NOASSOC = 31;  // no viewer would open it

// Opens `file` (operation "open" or null) with the viewer the desktop associates with it.
// Returns a value above 32 on success, SE_ERR_FNF when the file is missing and SE_ERR_NOASSOC
// when the desktop cannot open it. Unattended nothing is launched: an existing,
// readable file counts as opened. `parameters`, `directory` and `show` are accepted and unused.
INT_PTR ShellExecute(HWND owner, const char* operation, const char* file, const char* parameters,
                     const char* directory, int show);

}  // namespace platform
