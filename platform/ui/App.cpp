#include "platform/App.h"

#include <QApplication>
#include <clocale>

#include "platform/ui/WindowTable.h"

namespace platform {

int RunApplication(int argc, char** argv, WinMainFunction winMain) {
    QApplication app(argc, argv);
    // The system's loop ends with WM_QUIT, not when its last window closes.
    QApplication::setQuitOnLastWindowClosed(false);
    // Qt took the locale from the environment; number texts in files and dialogs must read and
    // print the same everywhere.
    std::setlocale(LC_NUMERIC, "C");
    ui::EnsureLoopInstalled();
    const int result = winMain(HINSTANCE::FromIndex(1), HINSTANCE{}, "", SW_SHOWNORMAL);
    ui::DiscardAll();
    return result;
}

}  // namespace platform
