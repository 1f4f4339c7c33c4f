#include "platform/testing/XDisplay.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

namespace platform::testing {
namespace {

using Clock = std::chrono::steady_clock;

// fork + exec with stdin/stdout/stderr on /dev/null; `keep` stays open in the child.
pid_t Spawn(const std::vector<std::string>& args, int keep, const std::string& display) {
    const pid_t pid = fork();
    if (pid != 0) return pid;
    // The server and the window manager end with the test process, however it ends.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    const int null = open("/dev/null", O_RDWR);
    if (null >= 0) {
        dup2(null, 0);
        dup2(null, 1);
        dup2(null, 2);
    }
    for (int fd = 3; fd < 1024; ++fd)
        if (fd != keep) close(fd);
    if (!display.empty()) setenv("DISPLAY", display.c_str(), 1);
    std::vector<char*> argv;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
}

void End(pid_t* pid) {
    if (*pid <= 0) return;
    kill(*pid, SIGTERM);
    const auto deadline = Clock::now() + std::chrono::seconds(5);
    int status = 0;
    while (waitpid(*pid, &status, WNOHANG) == 0) {
        if (Clock::now() > deadline) {
            kill(*pid, SIGKILL);
            waitpid(*pid, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    *pid = -1;
}

bool Exited(pid_t pid) {
    int status = 0;
    return waitpid(pid, &status, WNOHANG) == pid;
}

// The window manager announces itself with _NET_SUPPORTING_WM_CHECK on the root window.
bool WindowManagerRunning(const std::string& name) {
    Display* display = XOpenDisplay(name.c_str());
    if (!display) return false;
    const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False);
    Atom type = None;
    int format = 0;
    unsigned long items = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    const bool found =
        XGetWindowProperty(display, DefaultRootWindow(display), check, 0, 1, False, XA_WINDOW,
                           &type, &format, &items, &after, &data) == Success &&
        items == 1;
    if (data) XFree(data);
    XCloseDisplay(display);
    return found;
}

}  // namespace

XDisplay::~XDisplay() { Stop(); }

bool XDisplay::Start(int width, int height, std::string* error) {
    Stop();
    int fds[2];
    if (pipe(fds) != 0) {
        *error = "pipe failed";
        return false;
    }
    const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
    server_ = Spawn({"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", screen,
                     "-nolisten", "tcp", "-noreset", "-dpi", "96"},
                    fds[1], "");
    close(fds[1]);
    // Xvfb writes the display number it took, then a newline, once it accepts connections.
    std::string number;
    const auto deadline = Clock::now() + std::chrono::seconds(20);
    while (Clock::now() < deadline) {
        pollfd p{fds[0], POLLIN, 0};
        if (poll(&p, 1, 100) > 0) {
            char c = 0;
            const ssize_t n = read(fds[0], &c, 1);
            if (n <= 0) break;
            if (c == '\n') break;
            number.push_back(c);
        } else if (Exited(server_)) {
            server_ = -1;
            break;
        }
    }
    close(fds[0]);
    if (number.empty()) {
        *error = "Xvfb did not start (is the package xvfb installed?)";
        Stop();
        return false;
    }
    name_ = ":" + number;
    return true;
}

bool XDisplay::StartWindowManager(std::string* error) {
    StopWindowManager();
    wm_ = Spawn({"openbox", "--sm-disable"}, -1, name_);
    const auto deadline = Clock::now() + std::chrono::seconds(20);
    while (Clock::now() < deadline) {
        if (WindowManagerRunning(name_)) return true;
        if (Exited(wm_)) {
            wm_ = -1;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    *error = "openbox did not start (is the package openbox installed?)";
    StopWindowManager();
    return false;
}

void XDisplay::StopWindowManager() { End(&wm_); }

void XDisplay::Stop() {
    StopWindowManager();
    End(&server_);
    name_.clear();
}

}  // namespace platform::testing
