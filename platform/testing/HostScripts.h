// Inside the testing library: each of its parts fills the layer's host hooks (ui/HostHooks.h)
// with its own scripts and logs. StartHeadless and StartOnScreen call them all.
#pragma once

namespace platform::testing {

void InstallDialogHooks();      // Dialogs.cpp
void InstallMessageBoxHooks();  // MessageBoxLog.cpp
void InstallFileDialogHooks();  // FileDialogs.cpp
void InstallPrintHooks();       // PrintScript.cpp

inline void InstallHostHooks() {
    InstallDialogHooks();
    InstallMessageBoxHooks();
    InstallFileDialogHooks();
    InstallPrintHooks();
}

}  // namespace platform::testing
