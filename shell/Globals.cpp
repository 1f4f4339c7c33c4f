#include "shell/Globals.h"

#include <cstring>

#include "shell/BaffleRecord.h"
#include "shell/ComplexFft.h"
#include "shell/DevicesLeftOpen.h"
#include "shell/DriverRecord.h"
#include "shell/FrameGlobals.h"
#include "shell/FrequencyGrid.h"
#include "shell/NetworkTables.h"
#include "shell/NumberText.h"
#include "shell/PreferencesRecord.h"
#include "shell/ProjectImage.h"
#include "shell/StartupAllocation.h"

namespace shell {

// The variables below get their start values from SetStartValues, before main runs and again on
// every reset; none is written at its definition.
platform::HINSTANCE AppInstance;
platform::HWND FrameWindow;
platform::HWND MdiClientWindow;
platform::HMENU MainMenu;
platform::HMENU FileMenu;
std::int32_t FrameClientWidth;
std::int32_t FrameClientHeight;
char ProgramDirectory[kDirectorySlot];
char ScratchPath[kDirectorySlot];

std::int32_t AudioBusy;
std::int32_t ModalDialogOpen;

std::int32_t SubwooferMode;
std::int32_t WideWindow;
std::int32_t InputLayout;
std::int32_t OutputLayout;
std::int32_t PlayerDeviceWords[16];

std::int32_t BlockFrames;
std::int32_t BlockFrames2;
std::int32_t BlockFrames4;

PrintoutSettingsRecord PrintoutSettings;
std::int64_t FileWriteFaultAfterBytes;

std::int32_t BlockFramesOf(int buffer_size_index) {
    static constexpr std::int32_t kFrames[3] = {1024, 2048, 4096};
    return kFrames[(buffer_size_index >= 0 && buffer_size_index <= 2) ? buffer_size_index : 0];
}

void SetBlockFrames(int buffer_size_index) {
    BlockFrames = BlockFramesOf(buffer_size_index);
    BlockFrames2 = 2 * BlockFrames;
    BlockFrames4 = 4 * BlockFrames;
}

namespace {

// The one place of this file's start values.
void SetStartValues() {
    AppInstance = 0;
    FrameWindow = 0;
    MdiClientWindow = 0;
    MainMenu = 0;
    FileMenu = 0;
    FrameClientWidth = 0;
    FrameClientHeight = 0;
    std::memset(ProgramDirectory, 0, sizeof ProgramDirectory);
    std::memset(ScratchPath, 0, sizeof ScratchPath);
    AudioBusy = 0;
    ModalDialogOpen = 0;
    SubwooferMode = 0;
    WideWindow = 0;
    InputLayout = 0;
    OutputLayout = 1;
    std::memset(PlayerDeviceWords, 0, sizeof PlayerDeviceWords);
    BlockFrames = BlockFrames2 = BlockFrames4 = 0;
    FileWriteFaultAfterBytes = -1;

    std::memset(&PrintoutSettings, 0, sizeof PrintoutSettings);
    CopyTextSlot(PrintoutSettings.ScaleText, "80 %");
    PrintoutSettings.Scale = 80;
    PrintoutSettings.Landscape = 0;
    CopyTextSlot(PrintoutSettings.XOffsetText, "200");
    CopyTextSlot(PrintoutSettings.YOffsetText, "200");
    CopyTextSlot(PrintoutSettings.ColourCountText, "65536");
}

[[maybe_unused]] const bool kStartValuesReady = (SetStartValues(), true);

}  // namespace

void ResetGlobals() {
    SetStartValues();
    ResetFftHooks();
    InitPreferenceVariables();

    std::memset(FrequencyGrid, 0, sizeof FrequencyGrid);
    std::memset(ExtendedFrequencyGrid, 0, sizeof ExtendedFrequencyGrid);
    std::memset(&WorkingNetwork, 0, sizeof WorkingNetwork);
    std::memset(PaneStores, 0, sizeof PaneStores);
    std::memset(PaneToolModes, 0, sizeof PaneToolModes);
    std::memset(&Project, 0, sizeof Project);
    InitProjectSettings(&Project);

    // Records allocated at start-up get their defaults again, in start-up order.
    if (Preferences != nullptr) InitPreferencesRecord(Preferences);
    if (ScratchDriverRecord != nullptr) InitDriverRecord(ScratchDriverRecord);
    if (CurrentDriverRecord != nullptr) {
        InitDriverRecord(CurrentDriverRecord);
        CopyTextSlot(CurrentDriverRecord->Diameter, "25.0");
    }
    if (Baffle != nullptr) InitBaffleRecord();

    // What the frame keeps of its windows: handles, titles and file names.
    ResetFrameGlobals();
    ForgetDevicesLeftOpen();
}

}  // namespace shell
