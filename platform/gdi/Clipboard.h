// The clipboard, for window images. UI thread only.
#pragma once

#include "platform/Types.h"

namespace platform {

inline constexpr UINT CF_BITMAP = 2;

// Opens the clipboard for `owner` (0 allowed); FALSE when it is already open.
BOOL OpenClipboard(HWND owner);
BOOL EmptyClipboard();  // the clipboard must be open
// Puts a bitmap on the open clipboard; from then on the clipboard owns it and the handle is gone.
// Returns the handle given, or 0 on failure (the bitmap then stays the caller's).
HBITMAP SetClipboardData(UINT format, HBITMAP bitmap);
BOOL CloseClipboard();

// A new bitmap holding the image on the clipboard, or 0 when it holds none (tests read the
// clipboard back with it).
HBITMAP GetClipboardBitmap();

}  // namespace platform
