// Modal dialogs in tests: what runs when a template's modal loop starts, and which dialogs were
// left open (the layer cancels those with IDCANCEL once nothing more happens, instead of waiting
// for a person).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/Types.h"

namespace platform::testing {

// Runs `action` with the dialog's handle when the modal loop of template `name` (any case) starts,
// after WM_INITDIALOG and the first showing. One action per opening, in the order given; the
// action drives the dialog (TypeText, Click, ...) and usually ends it (Click IDOK, EndDialog).
void OnModalDialog(const std::string& name, std::function<void(HWND dialog)> action);
// Actions not used yet.
std::size_t PendingModalActions();

// Templates of modal dialogs that were still open when the loop ran out of work, in order.
const std::vector<std::string>& UnansweredDialogs();

// Forgets the actions and the record of unanswered dialogs.
void ClearDialogScripts();

}  // namespace platform::testing
