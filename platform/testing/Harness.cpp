#include "platform/testing/Harness.h"

#include <clocale>
#include <cstdlib>

#include <QApplication>

namespace platform::testing {

void StartHeadless(int& argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static QApplication* app = new QApplication(argc, argv);
    (void)app;
    std::setlocale(LC_NUMERIC, "C");
}

}  // namespace platform::testing
