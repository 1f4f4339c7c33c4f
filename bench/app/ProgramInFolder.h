// The program as the app benchmarks run it: started headless through its own entry, in a fresh
// temporary folder of its own (it writes its preferences into the current folder), and ended the
// same way.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "frame/Program.h"
#include "platform/testing/Harness.h"
#include "platform/ui/Window.h"

namespace bench {

class ProgramInFolder {
  public:
    // `name` names the folder; Started() says whether the program came up.
    ProgramInFolder(int& argc, char** argv, const std::string& name) {
        platform::testing::StartHeadless(argc, argv);
        dir_ = std::filesystem::temp_directory_path() /
               ("qv-" + name + "-" + std::to_string(getpid()));
        std::filesystem::create_directories(dir_);
        std::filesystem::current_path(dir_);
        started_ = frame::StartProgram(platform::HINSTANCE::FromIndex(1), platform::HINSTANCE{},
                                       platform::SW_SHOW) == 0;
        if (!started_) std::fprintf(stderr, "the program did not start\n");
        platform::testing::PumpUntilIdle();
    }
    ~ProgramInFolder() {
        if (started_) frame::ReleaseProgramResources();
        platform::testing::PumpUntilIdle();
        std::filesystem::current_path(dir_.parent_path());
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }
    ProgramInFolder(const ProgramInFolder&) = delete;
    ProgramInFolder& operator=(const ProgramInFolder&) = delete;
    bool Started() const { return started_; }

  private:
    std::filesystem::path dir_;
    bool started_ = false;
};

}  // namespace bench
