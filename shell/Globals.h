// Process-wide state of shell/: the shell globals set once at start-up, the busy and modal
// words, the player variables that the preferences and the project mirror, the printout
// settings, and the block size of the real-time engine. The large records and buffers are in
// StartupAllocation.h, the preferences mirrors in PreferencesRecord.h, the grids in
// FrequencyGrid.h, the network tables in NetworkTables.h, the project image in ProjectImage.h.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/Types.h"

namespace shell {

inline constexpr int kDirectorySlot = 2048;

// Shell globals (written by start-up, read everywhere).
extern platform::HINSTANCE AppInstance;
extern platform::HWND FrameWindow;  // owner of the program's message boxes
extern platform::HWND MdiClientWindow;
extern platform::HMENU MainMenu;
extern platform::HMENU FileMenu;
extern std::int32_t FrameClientWidth;  // window rectangles are clamped to it
extern std::int32_t FrameClientHeight;
extern char ProgramDirectory[kDirectorySlot];  // with its trailing separator
extern char ScratchPath[kDirectorySlot];

// 1 while playback or a measurement runs: pane editing, menu commands and Play are refused.
extern std::int32_t AudioBusy;
// 1 while a modal dialog of the program is open (the remote control and the player then wait).
extern std::int32_t ModalDialogOpen;

// Player variables mirrored by the preferences and by the project (ProjectSettings).
extern std::int32_t SubwooferMode;          // 0 normal, 1 BBM, 2 SUM
extern std::int32_t WideWindow;             // 0 / 1
extern std::int32_t InputLayout;            // 0 "Inputs 1-2", 1 "Inputs 1-8", 2 "Inputs 1-12"
extern std::int32_t OutputLayout;           // 0 "8 Outputs", 1 "16 Outputs", 2 "8 + SPDIF"
extern std::int32_t PlayerDeviceWords[16];  // word 0 PlayerInputDevice, word 8 PlayerOutputDevice

// Frames per audio buffer and convolution block F (1024, 2048, 4096) with its 2F and 4F
// companions; 0 until the player dialog has set them with SetBlockFrames.
extern std::int32_t BlockFrames;
extern std::int32_t BlockFrames2;
extern std::int32_t BlockFrames4;
// F of a buffer-size index 0, 1, 2 (anything else counts as 0).
std::int32_t BlockFramesOf(int buffer_size_index);
// Sets BlockFrames from a buffer-size index 0, 1, 2 (anything else counts as 0).
void SetBlockFrames(int buffer_size_index);

// Printout settings (live for the run; not part of any file). Copied into new driver records.
struct PrintoutSettingsRecord {
    char ScaleText[12];      // "80 %"
    std::int32_t Scale;      // 30, 50, 80 or 100 percent
    std::int32_t Landscape;  // 1 landscape, 0 portrait
    char XOffsetText[11];    // printer pixels
    char YOffsetText[11];
    char ColourCountText[11];
};
extern PrintoutSettingsRecord PrintoutSettings;

// Test hook for file writes: when >= 0, a write through WriteFileAtomic fails once this many
// bytes have been written (as a full disk would). -1 (the default) = no fault.
extern std::int64_t FileWriteFaultAfterBytes;

// Reruns the init routines of this folder so that every test starts from a known state:
// variables to their start-up values, project settings defaulted, network tables zeroed, grids
// zeroed, and (when the start-up blocks are allocated) records and tables refilled; the frame's
// window handles and file names, the colour being edited and the profile slots too.
void ResetGlobals();

}  // namespace shell
