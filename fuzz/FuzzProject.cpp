// Fuzz target of the project reader. A project image is 23.7 MB, so an input is a list of
// patches to the image of a sound project (the default stereo network): 8 bytes each, a 32-bit
// place and the 32-bit word written there. Places with the top bit set fall into the project
// settings, the others into channel block (place >> 24) % 7. The patched image goes through the
// same checks as a file, and whatever loads is driven to the outputs.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "fuzz/FuzzSupport.h"
#include "shell/ProjectImage.h"

namespace {

std::unique_ptr<shell::ProjectImage> g_sound;
std::unique_ptr<shell::ProjectImage> g_image;

std::uint32_t Word(const std::uint8_t* p) {
    std::uint32_t w;
    std::memcpy(&w, p, 4);
    return w;
}

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
    auto* bytes = reinterpret_cast<std::uint8_t*>(g_image.get());
    for (std::size_t i = 0; i + 8 <= size && i < 8 * 4096; i += 8) {
        const std::uint32_t place = Word(data + i);
        const std::uint32_t value = Word(data + i + 4);
        std::size_t at;
        if (place & 0x80000000u) {
            at = shell::kProjectSettingsOffset + (place % (sizeof(shell::ProjectSettings) / 4)) * 4;
        } else {
            const std::size_t block = (place >> 24) % shell::kPaneCount;
            at = block * shell::kProjectChannelBytes +
                 ((place & 0xFFFFFFu) % (shell::kProjectChannelBytes / 4)) * 4;
        }
        std::memcpy(bytes + at, &value, 4);
    }
    if (shell::LoadProjectBytes(bytes, sizeof(shell::ProjectImage)) !=
        shell::ProjectLoadStatus::kLoaded) {
        return 0;
    }
    fuzz::CheckProjectState();
    fuzz::SolveAndPlayOneBlock();
    return 0;
}
