// main() of the tests on a real X server.
//
//   x11_tests --screen=1600x1000 [gtest options]
// runs every test twice at once, in two child processes: on a bare X server and on one with a
// window manager (openbox). Each child (--wm=none or --wm=openbox) starts its own Xvfb on a free
// display at the given size, points DISPLAY, the xcb platform, HOME and the virtual sound card at
// it, runs the tests and ends the server again. Screenshots go to QV_X11_OUTPUT_DIR.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "platform/testing/OnScreen.h"
#include "platform/testing/XDisplay.h"
#include "tests/x11/ProgramOnScreen.h"

namespace {

bool TakeOption(int& argc, char** argv, const char* name, std::string* value) {
    const std::size_t length = std::strlen(name);
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], name, length) == 0 && argv[i][length] == '=') {
            *value = argv[i] + length + 1;
            for (int j = i; j < argc - 1; ++j) argv[j] = argv[j + 1];
            --argc;
            return true;
        }
    }
    return false;
}

// Runs this executable once per window-manager choice, in parallel; passes when both pass.
int RunBothChildren(int argc, char** argv, const std::string& screen) {
    const std::string out = QV_X11_OUTPUT_DIR;
    std::filesystem::create_directories(out);
    struct Child {
        std::string wm;
        std::string log;
        pid_t pid;
    };
    std::vector<Child> children;
    for (const char* wm : {"none", "openbox"}) {
        Child child{wm, out + "/run_" + screen + "_" + wm + ".log", -1};
        child.pid = fork();
        if (child.pid == 0) {
            prctl(PR_SET_PDEATHSIG, SIGTERM);  // a run that times out takes its children along
            std::FILE* log = std::fopen(child.log.c_str(), "w");
            if (log) {
                dup2(fileno(log), 1);
                dup2(fileno(log), 2);
            }
            std::vector<std::string> args{argv[0], "--screen=" + screen, "--wm=" + child.wm};
            for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
            std::vector<char*> raw;
            for (auto& a : args) raw.push_back(a.data());
            raw.push_back(nullptr);
            execv("/proc/self/exe", raw.data());
            _exit(127);
        }
        children.push_back(child);
    }
    int failed = 0;
    for (const Child& child : children) {
        int status = 0;
        waitpid(child.pid, &status, 0);
        const bool ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
        std::cout << "==== " << screen << ", window manager: " << child.wm
                  << (ok ? " (passed)" : " (FAILED)") << " ====\n";
        std::ifstream log(child.log);
        std::cout << log.rdbuf() << std::endl;
        failed += ok ? 0 : 1;
    }
    return failed == 0 ? 0 : 1;
}

}  // namespace

// With the sanitizers, what scripts/test asks for: Qt and fontconfig keep a few allocations for
// the life of the process that would be reported as leaks at exit.
extern "C" const char* __asan_default_options() { return "detect_leaks=0:abort_on_error=1"; }
extern "C" const char* __ubsan_default_options() { return "print_stacktrace=1:halt_on_error=1"; }

int main(int argc, char** argv) {
    std::string screen = "1600x1000";
    std::string wm;
    TakeOption(argc, argv, "--screen", &screen);
    const bool child = TakeOption(argc, argv, "--wm", &wm);
    // Listing the tests needs no display.
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--gtest_list_tests") == 0) {
            ::testing::InitGoogleTest(&argc, argv);
            return RUN_ALL_TESTS();
        }
    if (!child) return RunBothChildren(argc, argv, screen);

    x11test::ScreenSetup& setup = x11test::Setup();
    if (std::sscanf(screen.c_str(), "%dx%d", &setup.width, &setup.height) != 2) {
        std::cerr << "bad --screen=" << screen << "\n";
        return 2;
    }
    setup.window_manager = wm == "openbox";
    setup.output_dir = QV_X11_OUTPUT_DIR;
    std::filesystem::create_directories(setup.output_dir);

    platform::testing::XDisplay display;
    std::string error;
    if (!display.Start(setup.width, setup.height, &error) ||
        (setup.window_manager && !display.StartWindowManager(&error))) {
        std::cerr << error << "\n";
        return 2;
    }
    setup.display = display.Name();

    // The program's environment: this display, a home and runtime folder of its own, the
    // virtual sound card.
    const std::filesystem::path home =
        std::filesystem::temp_directory_path() / ("qv-x11-home-" + std::to_string(getpid()));
    std::filesystem::create_directories(home);
    chmod(home.c_str(), 0700);
    setenv("DISPLAY", setup.display.c_str(), 1);
    setenv("HOME", home.c_str(), 1);
    setenv("XDG_RUNTIME_DIR", home.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home / ".config").c_str(), 1);
    setenv("QV_VIRTUAL_AUDIO", "1", 1);
    unsetenv("QT_QPA_PLATFORMTHEME");
    unsetenv("WAYLAND_DISPLAY");

    platform::testing::StartOnScreen(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();

    display.Stop();
    std::error_code ignored;
    std::filesystem::remove_all(home, ignored);
    std::fflush(stdout);
    std::fflush(stderr);
    // The application object still holds its connection to the server just ended.
    _exit(result);
}
