// main() of every test executable: the layer starts headless, then GoogleTest runs.
//
// With QV_LOCALE_PROBE set, the executable instead starts the layer the way the program does
// (RunApplication) and checks how numbers read and print; the locale test runs it that way.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/App.h"
#include "platform/testing/Harness.h"

namespace {

// Runs as the program's entry point: 0 when "1.5" reads as 1.5 and 2.25 prints as "2.25".
int LocaleProbe(platform::HINSTANCE, platform::HINSTANCE, const char*, int) {
    const char* collate = std::setlocale(LC_CTYPE, nullptr);
    if (!collate || std::strstr(collate, "de_DE") == nullptr) return 4;
    if (std::string(std::getenv("QV_LOCALE_PROBE")) == "german") std::setlocale(LC_NUMERIC, "");
    if (std::strtod("1.5", nullptr) != 1.5 || std::atof("1.5") != 1.5) return 2;
    float scanned = 0;
    if (std::sscanf("1.5", "%f", &scanned) != 1 || scanned != 1.5f) return 2;
    char printed[32];
    std::snprintf(printed, sizeof printed, "%.2f", 2.25);
    if (std::strcmp(printed, "2.25") != 0) return 3;
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (std::getenv("QV_LOCALE_PROBE")) return platform::RunApplication(argc, argv, &LocaleProbe);
    platform::testing::StartHeadless(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
