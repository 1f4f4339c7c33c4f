// A private X server for the tests that run the program on a real display: Xvfb on a free display
// number at a given screen size, optionally with a window manager (openbox), both ended again by
// the destructor. Thread-safe only in the sense that Start/Stop run on one thread.
#pragma once

#include <sys/types.h>

#include <string>

namespace platform::testing {

class XDisplay {
  public:
    XDisplay() = default;
    XDisplay(const XDisplay&) = delete;
    XDisplay& operator=(const XDisplay&) = delete;
    ~XDisplay();

    // Starts Xvfb with one screen of width x height x 24 and waits until it accepts connections.
    // False, with the reason in `error`, when the server cannot be started.
    bool Start(int width, int height, std::string* error);
    // Starts openbox on the display and waits until it manages the screen.
    bool StartWindowManager(std::string* error);
    void StopWindowManager();
    void Stop();

    // ":N" while the server runs.
    const std::string& Name() const { return name_; }
    bool HasWindowManager() const { return wm_ > 0; }

  private:
    pid_t server_ = -1;
    pid_t wm_ = -1;
    std::string name_;
};

}  // namespace platform::testing
