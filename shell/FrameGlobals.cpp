#include "shell/FrameGlobals.h"

#include <cstring>
#include <initializer_list>

namespace shell {

platform::HWND ComponentCADSelectionDialog;
platform::HWND SplPlottingWindow;
platform::HWND SplitterWindow;
platform::HWND Splitter1Window;
platform::HWND Splitter2Window;
platform::HWND Splitter3Window;
platform::HWND PreferencesChildWindow;
platform::HWND PenColourChildWindow;
platform::HWND EditorChildWindow;
platform::HWND TransferFunctionDialog;
platform::HWND DiffractionChildWindow;
platform::HWND DiffractionCalculatorDialog;
platform::HWND MlsControlDialog;
platform::HWND MlsImpChildWindow;
platform::HWND MlsSplChildWindow;

platform::HICON AppIcon;
std::int32_t ScreenWidth = 0;
std::int32_t WorkAreaBottom = 0;
std::int32_t SplPlotWidth = 0;
std::int32_t SplPlotHeight = 0;

char FrameTitle[kFrameTitleSlot];
char ProjectFileName[kDirectorySlot];
char ProjectFilePath[kDirectorySlot];
char ProjectFileTitle[kFileTitleSlot];
char DriverFilePath[kDirectorySlot];
char DriverFileTitle[kFileTitleSlot];
char ImportFilePaths[kImporterCount][kDirectorySlot];
char ImportFileTitles[kImporterCount][kFileTitleSlot];
char ExportFilePath[kDirectorySlot];
char ExportFileTitle[kFileTitleSlot];

void ResetFrameGlobals() {
    for (platform::HWND* handle :
         {&ComponentCADSelectionDialog, &SplPlottingWindow, &SplitterWindow, &Splitter1Window,
          &Splitter2Window, &Splitter3Window, &PreferencesChildWindow, &PenColourChildWindow,
          &EditorChildWindow, &TransferFunctionDialog, &DiffractionChildWindow,
          &DiffractionCalculatorDialog, &MlsControlDialog, &MlsImpChildWindow,
          &MlsSplChildWindow}) {
        *handle = 0;
    }
    AppIcon = 0;
    ScreenWidth = 0;
    WorkAreaBottom = 0;
    SplPlotWidth = 0;
    SplPlotHeight = 0;
    std::strcpy(FrameTitle, kStartTitle);
    std::memset(ProjectFileName, 0, sizeof ProjectFileName);
    std::memset(ProjectFilePath, 0, sizeof ProjectFilePath);
    std::memset(ProjectFileTitle, 0, sizeof ProjectFileTitle);
    std::memset(DriverFilePath, 0, sizeof DriverFilePath);
    std::memset(DriverFileTitle, 0, sizeof DriverFileTitle);
    std::memset(ImportFilePaths, 0, sizeof ImportFilePaths);
    std::memset(ImportFileTitles, 0, sizeof ImportFileTitles);
    std::memset(ExportFilePath, 0, sizeof ExportFilePath);
    std::memset(ExportFileTitle, 0, sizeof ExportFileTitle);
}

}  // namespace shell
