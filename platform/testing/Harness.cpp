#include "platform/testing/Harness.h"

#include <clocale>
#include <cstdlib>

#include <QApplication>

#include "platform/internal/Headless.h"

namespace platform::testing {

void StartHeadless(int& argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static QApplication* app = new QApplication(argc, argv);
    (void)app;
    std::setlocale(LC_NUMERIC, "C");
    internal::SetHeadless(true);
}

}  // namespace platform::testing
