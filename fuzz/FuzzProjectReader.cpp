// Fast fuzz target of the project reader alone: the patches of the project target (see
// FuzzProject.cpp) applied to the image of the sound project, then the reader's two passes, the
// structure check and the value repairs, without the solve and the engine. What the reader keeps
// must be clean: a second value pass repairs nothing and the structure still passes. Only the
// blocks an input touched are put back afterwards, so an input costs about one block copy.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "fuzz/FuzzSupport.h"
#include "shell/ProjectImage.h"
#include "shell/ValueRepairs.h"

namespace {

std::unique_ptr<shell::ProjectImage> g_sound;
std::unique_ptr<shell::ProjectImage> g_image;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzz::StartWorld(argc, argv);
    fuzz::ResetWorld();
    shell::PackProjectImage();
    g_sound = std::make_unique<shell::ProjectImage>(shell::Project);
    g_image = std::make_unique<shell::ProjectImage>(shell::Project);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    bool touched[shell::kPaneCount] = {};
    fuzz::PatchProjectImage(*g_image, data, size, touched);
    if (shell::ValidateProjectImage(*g_image) == 0) {
        shell::ValueRepairs repairs;
        shell::RepairProjectValues(*g_image, repairs);
        shell::ValueRepairs again;
        fuzz::Require(shell::RepairProjectValues(*g_image, again) == 0,
                      "a repaired project still holds values out of range");
        fuzz::Require(shell::ValidateProjectImage(*g_image) == 0, "repairs broke the structure");
    }
    for (int k = 0; k < shell::kPaneCount; ++k) {
        if (touched[k]) g_image->Channels[k] = g_sound->Channels[k];
    }
    g_image->Settings = g_sound->Settings;
    return 0;
}
