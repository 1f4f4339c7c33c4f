// main() of every test executable: the environment every test needs is set up first (Qt's
// offscreen platform, the virtual sound card, a temporary home of its own), so that ctest, an IDE
// or a test binary run by hand behave alike; then the layer starts headless and GoogleTest runs.
// An executable whose name contains "x11" keeps the platform it was given (the X11 suite).
//
// With QV_LOCALE_PROBE set, the executable instead starts the layer the way the program does
// (RunApplication) and checks how numbers read and print; the locale test runs it that way.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
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

// The offscreen platform (unless this is the X11 suite), the virtual sound card, and a fresh
// home with its configuration, cache, data and runtime folders. Returns the home, or "" when no
// temporary folder could be made (the caller's home is then used).
std::string SetUpTestEnvironment(const char* program) {
    std::string name = std::filesystem::path(program ? program : "").filename().string();
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (name.find("x11") == std::string::npos) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("QV_VIRTUAL_AUDIO", "1", 1);
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/qv_test_home_XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) return "";
    const std::filesystem::path home(pattern);
    setenv("HOME", home.c_str(), 1);
    const std::pair<const char*, const char*> folders[] = {{"XDG_CONFIG_HOME", "config"},
                                                           {"XDG_CACHE_HOME", "cache"},
                                                           {"XDG_DATA_HOME", "data"},
                                                           {"XDG_RUNTIME_DIR", "runtime"}};
    for (const auto& [variable, folder] : folders) {
        const std::filesystem::path path = home / folder;
        ::mkdir(path.c_str(), 0700);
        setenv(variable, path.c_str(), 1);
    }
    return home.string();
}

}  // namespace

// With the sanitizers, what scripts/test asks for: Qt and fontconfig keep a few allocations for
// the life of the process that would be reported as leaks at exit.
extern "C" const char* __asan_default_options() { return "detect_leaks=0:abort_on_error=1"; }
extern "C" const char* __ubsan_default_options() { return "print_stacktrace=1:halt_on_error=1"; }

int main(int argc, char** argv) {
    const std::string home = SetUpTestEnvironment(argc > 0 ? argv[0] : nullptr);
    int result = 0;
    if (std::getenv("QV_LOCALE_PROBE")) {
        result = platform::RunApplication(argc, argv, &LocaleProbe);
    } else {
        platform::testing::StartHeadless(argc, argv);
        ::testing::InitGoogleTest(&argc, argv);
        result = RUN_ALL_TESTS();
    }
    std::error_code ignored;
    if (!home.empty()) std::filesystem::remove_all(home, ignored);
    return result;
}
