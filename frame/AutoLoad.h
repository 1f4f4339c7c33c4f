// The auto-start chain: frame timers that load the last project, activate its channels one by
// one through the player dialog's channel buttons and finally press Play. UI thread only.
#pragma once

#include "platform/Types.h"

namespace frame {

// WM_TIMER of the frame. Timers other than 10100-10107 and 10110 are ignored.
void AutoStartTimer(platform::HWND frame, platform::UINT_PTR id);

}  // namespace frame
