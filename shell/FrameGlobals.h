// Process-wide state of the frame: the window handles of the program's windows and modeless
// dialogs (each 0 while closed), the screen figures of start-up, the frame title and the
// file-dialog buffers of the menu commands. UI thread only.
#pragma once

#include <cstdint>

#include "platform/Types.h"
#include "shell/Globals.h"

namespace shell {

inline constexpr int kFileTitleSlot = 256;
inline constexpr int kFrameTitleSlot = kDirectorySlot + 64;

// Window handles; an MDI child clears its own on WM_DESTROY, a modeless dialog's handle is
// cleared by whoever destroys it.
extern platform::HWND ComponentCADSelectionDialog;  // the "System Design + Player" dialog
extern platform::HWND SplPlottingWindow;
extern platform::HWND SplitterWindow;   // Home Theatre
extern platform::HWND Splitter1Window;  // Stereo
extern platform::HWND Splitter2Window;  // Quadro
extern platform::HWND Splitter3Window;  // 5.2 BBM
extern platform::HWND PreferencesChildWindow;
extern platform::HWND PenColourChildWindow;
extern platform::HWND EditorChildWindow;
extern platform::HWND TransferFunctionDialog;
extern platform::HWND DiffractionChildWindow;
extern platform::HWND DiffractionCalculatorDialog;
extern platform::HWND MlsControlDialog;
extern platform::HWND MlsImpChildWindow;
extern platform::HWND MlsSplChildWindow;

extern platform::HICON AppIcon;
extern std::int32_t ScreenWidth;     // SM_CXSCREEN
extern std::int32_t WorkAreaBottom;  // bottom of the desktop work area

// Client size of the SPL plot window, read by its painter.
extern std::int32_t SplPlotWidth;
extern std::int32_t SplPlotHeight;

// The frame title: kStartTitle at start, then kBaseTitle + " - " + a file path.
inline constexpr const char* kStartTitle = "Quorvex Equalizer V5.0 - MME, Velkor";
inline constexpr const char* kBaseTitle = "Quorvex Equalizer V5.0 - MME";
extern char FrameTitle[kFrameTitleSlot];

// File name part of the project that the auto-load chain loaded.
extern char ProjectFileName[kDirectorySlot];

// File-dialog buffers of the project commands, kept between calls so that a dialog opens on the
// last file chosen.
extern char ProjectFilePath[kDirectorySlot];
extern char ProjectFileTitle[kFileTitleSlot];
// The driver-file pair (commands 101, 102, 113), one pair per importer (IMP, LMS/LAUD,
// CLIO/MLSSA, DAAS) and the SPL/phase export pair.
inline constexpr int kImporterCount = 4;
extern char DriverFilePath[kDirectorySlot];
extern char DriverFileTitle[kFileTitleSlot];
extern char ImportFilePaths[kImporterCount][kDirectorySlot];
extern char ImportFileTitles[kImporterCount][kFileTitleSlot];
extern char ExportFilePath[kDirectorySlot];
extern char ExportFileTitle[kFileTitleSlot];

// Puts every word of this file back to its start value (tests; the program starts once).
void ResetFrameGlobals();

}  // namespace shell
