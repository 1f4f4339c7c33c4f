// The output-port dialog "EnterOutputPort" ("Driver And Output Port Control"): binds an output
// port element to a driver file and a sound-card output, sets its EQ band, delay, polarity, gain
// and plot flag, and on Done computes the port's equalizing transfer curve 1 / H from the
// minimum-phase correction (CalculateOutputHilbertBode). It edits the WorkingNetwork row of
// network::SelectedElement in place; a right click on an output port in a pane asks the pane's
// configuration window to open it. UI thread only.
#pragma once

#include "platform/Types.h"
#include "platform/ui/FileDialog.h"
#include "shell/Curves.h"
#include "shell/NetworkTables.h"

namespace solver {

// Control identifiers of the template (the port edit is network::kInputPortEdit, 1020).
inline constexpr int kDriverPathEdit = 1600;
inline constexpr int kBrowseButton = 1601;
inline constexpr int kF1Edit = 1602;
inline constexpr int kF2Edit = 1603;
inline constexpr int kClearDriverButton = 1607;
inline constexpr int kPlotFlagCheck = 1610;
inline constexpr int kDelayEdit = 1518;
inline constexpr int kDistanceStatic = 800;
inline constexpr int kReversePhaseCheck = 1022;
inline constexpr int kOutputGainEdit = 1615;

// Messages of the dialog (captioned "QV Message", exclamation icon, OK).
inline constexpr const char* kOutputPortRangeText = "OUTPUT Port Is Out Of Range (1.....16)";
inline constexpr const char* kDriverOpenFailedText = "Unable to Open This Driver File";
inline constexpr const char* kDriverNotRecognizedText = "This File Is Not Recognized As QV3 File";
inline constexpr const char* kOutputPortAllocatedText =
    "WARNING! This OUTPUT Port Number Is Already Allocated";
inline constexpr const char* kEqBandRangeText =
    "EQ Band Is Out Of Range, And Is Being Reset To: 10....40000Hz";
// A gain above what the solver can compute (the port's level leaves single precision).
inline constexpr const char* kOutputGainCeilingText =
    "Channel Gain Above 500dB Cannot Be Computed, Setting Gain = 500dB";
// A delay beyond what the solver can compute (+-10 s).
inline constexpr const char* kDelayCeilingText =
    "Channel Delay Above 10000ms Cannot Be Computed, Setting Delay = 10000ms";
inline constexpr const char* kDelayFloorText =
    "Channel Delay Below -10000ms Cannot Be Computed, Setting Delay = -10000ms";
inline constexpr const char* kNoFileLoadedTitle = "No File Loaded";

// The path chosen by the last Browse of any output-port dialog (the open dialog's file buffer);
// emptied by Clear Loaded Driver. Its last character is always 0.
extern char OutputPortDriverPath[shell::kFileTextSlot];
// The program's one open-file description for driver files.
extern platform::OPENFILENAME DriverOpenFileName;

// Fills DriverOpenFileName for `owner` (filter, default extension, buffers); every opening.
void InitDriverOpenFileName(platform::HWND owner);
// Runs the open-file dialog with the given path and title buffers (kFileTextSlot characters
// each); non-zero when the user chose a file.
int AskDriverFileName(platform::HWND owner, char* path, char* title);

platform::INT_PTR EnterOutputPortDlgProc(platform::HWND dialog, platform::UINT message,
                                         platform::WPARAM wParam, platform::LPARAM lParam);

// Empties OutputPortDriverPath and the open-file description (tests start from a known state).
void ResetOutputPortDialog();

}  // namespace solver
