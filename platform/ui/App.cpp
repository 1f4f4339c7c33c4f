#include "platform/App.h"

#include <clocale>

#include <QApplication>

namespace platform {

int RunApplication(int argc, char** argv, WinMainFunction winMain) {
    QApplication app(argc, argv);
    // Qt took the locale from the environment; number texts in files and dialogs must read and
    // print the same everywhere.
    std::setlocale(LC_NUMERIC, "C");
    return winMain(HINSTANCE::FromIndex(1), HINSTANCE{}, "", 1);
}

}  // namespace platform
