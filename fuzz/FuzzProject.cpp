// Fuzz target of the project reader. A project image is 23.7 MB, so an input is a list of
// patches to the image of a sound project (the default stereo network), as PatchProjectImage
// (FuzzSupport.h) lays them. The patched image goes through the same checks as a file, and
// whatever loads is driven to the outputs.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "fuzz/FuzzSupport.h"
#include "shell/ProjectImage.h"

namespace {

std::unique_ptr<shell::ProjectImage> g_sound;
std::unique_ptr<shell::ProjectImage> g_image;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzz::StartWorld(argc, argv);
    fuzz::ResetWorld();
    shell::PackProjectImage();
    g_sound = std::make_unique<shell::ProjectImage>(shell::Project);
    g_image = std::make_unique<shell::ProjectImage>();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::ResetWorld();
    std::memcpy(g_image.get(), g_sound.get(), sizeof(shell::ProjectImage));
    fuzz::PatchProjectImage(*g_image, data, size);
    if (shell::LoadProjectBytes(reinterpret_cast<const std::uint8_t*>(g_image.get()),
                                sizeof(shell::ProjectImage)) != shell::ProjectLoadStatus::kLoaded) {
        return 0;
    }
    fuzz::CheckProjectState();
    fuzz::SolveAndPlayOneBlock();
    return 0;
}
