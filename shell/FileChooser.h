// The step every file command shares: point a chooser record at the caller's path and title
// buffers and run it, in the Open flavour (a new name may be typed, read-only hidden) or the
// Save flavour (asks before replacing). UI thread.
#pragma once

#include "platform/ui/FileDialog.h"

namespace shell {

enum class Chooser { kOpen, kSave };

// What the chooser returned: 1 when a name was chosen into `path`.
inline int ChooseFile(platform::OPENFILENAME& record, platform::HWND owner, char* path, char* title,
                      Chooser flavour) {
    record.hwndOwner = owner;
    record.lpstrFile = path;
    record.lpstrFileTitle = title;
    if (flavour == Chooser::kOpen) {
        record.Flags = platform::OFN_HIDEREADONLY | platform::OFN_CREATEPROMPT;
        return platform::GetOpenFileName(&record);
    }
    record.Flags = platform::OFN_OVERWRITEPROMPT;
    return platform::GetSaveFileName(&record);
}

}  // namespace shell
