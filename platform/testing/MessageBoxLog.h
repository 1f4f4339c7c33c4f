// Message boxes in tests: every box is logged and answered by script instead of being shown.
#pragma once

#include <vector>

#include "platform/ui/HostHooks.h"

namespace platform::testing {

// owner, text, caption, type (MB_* buttons | icon) and the answer MessageBox returned.
using MessageBoxEntry = MessageBoxRecord;

// Every box shown since the last clear, oldest first.
const std::vector<MessageBoxEntry>& MessageBoxLog();
void ClearMessageBoxLog();

// Answers for the next boxes, in order. When none is left a box is answered with IDOK (OK and
// OK/Cancel boxes) or IDYES (Yes/No boxes).
void ScriptMessageBoxAnswers(std::vector<int> answers);

// Number of MessageBeep calls since the last clear.
int BeepCount();

}  // namespace platform::testing
