// The layer's posted-message queue, shared by the message loop and every thread that posts.
#pragma once

#include "platform/ui/Messages.h"

namespace platform::internal {

// Takes the oldest posted message matching the filter (hwnd 0 = any window; min = max = 0 = any
// message). Returns false when none is queued. Thread-safe.
bool TakePosted(MSG* out, HWND hwnd, UINT filterMin, UINT filterMax, bool remove);

// Puts a message at the head of the queue, so the next GetMessage returns it (the character
// TranslateMessage makes of a key comes before the key's release). UI thread.
void PostFirst(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// Drops every posted message (layer reset between tests).
void ClearPosted();

// Number of posted messages waiting.
std::size_t PostedCount();

// Called after every post, from the posting thread, to wake the UI thread's event loop.
using WakeFunction = void (*)();
void SetWakeFunction(WakeFunction wake);

}  // namespace platform::internal
