// Shared parts of the fuzz targets of the file readers: a headless world like the program's
// after start-up, the checks that loaded state is finite and in range, and the road a loaded
// project takes to the outputs (check, solve, filter build, one block of the engine), with the
// check that no output is louder than its settings allow. A failed check aborts, which libFuzzer
// reports with the input that caused it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace shell {
struct ProjectImage;
}

namespace fuzz {

// Once per process: the layer headless, the start-up blocks allocated, a scratch folder that
// serves as the program directory.
void StartWorld(int* argc, char*** argv);

// Before every input: the program's state after start-up without a preferences file (default
// records, grids 10 Hz .. 50 kHz, F = 1024, the default stereo network in panes 1 and 3).
void ResetWorld();

// Writes `size` bytes to the named file in the scratch folder and returns its path.
std::string WriteScratchFile(const char* name, const std::uint8_t* data, std::size_t size);

// The input of the project targets: patches of 8 bytes each (at most 4096), a 32-bit place and the
// 32-bit word written there. Places with the top bit set fall into the project settings, the
// others into channel block (place >> 24) % 7. Writes every patch into `image` and, when `touched`
// is given (one flag per channel block), sets the flag of each block patched.
void PatchProjectImage(shell::ProjectImage& image, const std::uint8_t* data, std::size_t size,
                       bool* touched = nullptr);

// Aborts with `what` when `condition` is false.
void Require(bool condition, const char* what);

// Every pane store: element parameters, transfer curves and driver data finite and bounded,
// counts in range; the project settings in range.
void CheckProjectState();

// The preferences variables and the in-place fields in range, window rectangles clamped,
// calibration curves finite.
void CheckPreferencesState();

// Restores, checks and solves every channel pane, builds the filters of all 16 outputs, and
// plays one block of a -60 dBFS tone on every input through the engine at the project's volume.
// Requires every curve point and filter value finite, and every output within what its filter
// and the bounded master gain allow (never above full scale).
void SolveAndPlayOneBlock();

}  // namespace fuzz
