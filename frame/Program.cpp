// Program start-up, the message loop, closing and the release of everything.
#include "frame/Program.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <system_error>

#include "driverdata/DiffractionCalculator.h"
#include "driverdata/HbtEditor.h"
#include "frame/AutoLoad.h"
#include "frame/ColourEditing.h"
#include "frame/ConfigWindows.h"
#include "frame/FrameCommands.h"
#include "frame/PenColourWindow.h"
#include "frame/PreferencesWindow.h"
#include "frame/ProfilesDialog.h"
#include "measurement/Globals.h"
#include "measurement/MlsWindows.h"
#include "network/EditorState.h"
#include "network/Templates.h"
#include "network/WorkingNetwork.h"
#include "platform/gdi/Gdi.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Menu.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Paint.h"
#include "platform/ui/Timer.h"
#include "platform/ui/Window.h"
#include "resources/Resources.h"
#include "shell/BaffleRecord.h"
#include "shell/DevicesLeftOpen.h"
#include "shell/DriverRecord.h"
#include "shell/FrameGlobals.h"
#include "shell/FrequencyGrid.h"
#include "shell/GdiObjects.h"
#include "shell/Globals.h"
#include "shell/Ids.h"
#include "shell/NetworkTables.h"
#include "shell/NumberText.h"
#include "shell/PreferencesRecord.h"
#include "shell/ProjectImage.h"
#include "shell/StartupAllocation.h"
#include "solver/Globals.h"

namespace frame {

using namespace shell;

using platform::HWND;
using platform::LPARAM;
using platform::LRESULT;
using platform::UINT;
using platform::WPARAM;

namespace {

constexpr const char* kCaption = "QV Message";
// The longest file name that start-up or a command appends to the program directory.
constexpr const char* kLongestDerivedName = "QuorvexEqualizer_Help.CHM";

bool released = false;
int release_count = 0;

StartupAllocators allocators{&AllocMainBuffers, &AllocCurveBuffers, &AllocDspBuffers};

struct ClassEntry {
    const char* name;
    platform::WNDPROC proc;
    int background;  // system colour index
    int extra_bytes;
};

void RegisterProgramClasses(platform::HINSTANCE instance) {
    const ClassEntry classes[] = {
        {"Frame", &FrameWndProc, platform::COLOR_BTNFACE, 0},
        {"SPL_Plotting", &SplPlottingWndProc, platform::COLOR_BTNFACE, 0},
        {"Splitter", &SplitterWndProc, platform::COLOR_WINDOW, 2},
        {"Splitter1", &Splitter1WndProc, platform::COLOR_WINDOW, 2},
        {"Splitter2", &Splitter2WndProc, platform::COLOR_WINDOW, 2},
        {"Splitter3", &Splitter3WndProc, platform::COLOR_WINDOW, 2},
        {"Pane 1", PaneClassProcedure(1), platform::COLOR_WINDOW, 2},
        {"Pane 2", PaneClassProcedure(2), platform::COLOR_WINDOW, 2},
        {"Pane 3", PaneClassProcedure(3), platform::COLOR_WINDOW, 2},
        {"Pane 4", PaneClassProcedure(4), platform::COLOR_WINDOW, 2},
        {"Pane 5", PaneClassProcedure(5), platform::COLOR_WINDOW, 2},
        {"Pane 6", PaneClassProcedure(6), platform::COLOR_WINDOW, 2},
        {"Pane 7", PaneClassProcedure(7), platform::COLOR_WINDOW, 2},
        {"Editor_Child", &driverdata::EditorChildWndProc, platform::COLOR_BTNFACE, 2},
        {"Diffraction_Child", &driverdata::DiffractionChildWndProc, platform::COLOR_BTNFACE, 2},
        {"PenColour_Child", &PenColourChildWndProc, platform::COLOR_BTNFACE, 2},
        {"Preferences_Child", &PreferencesChildWndProc, platform::COLOR_BTNFACE, 2},
        {"MLS_SPL_Child", &measurement::MlsSplChildWndProc, platform::COLOR_BTNFACE, 2},
        {"MLS_IMP_Child", &measurement::MlsImpChildWndProc, platform::COLOR_BTNFACE, 2},
    };
    const platform::HCURSOR arrow =
        platform::LoadCursor(platform::HINSTANCE{}, platform::IDC_ARROW);
    for (const ClassEntry& entry : classes) {
        platform::WNDCLASS wc{};
        wc.style = platform::CS_VREDRAW | platform::CS_HREDRAW | platform::CS_DBLCLKS;
        wc.lpfnWndProc = entry.proc;
        wc.cbClsExtra = 0;
        wc.cbWndExtra = entry.extra_bytes;
        wc.hInstance = instance;
        wc.hIcon = AppIcon;
        wc.hCursor = arrow;
        wc.hbrBackground = platform::GetSysColorBrush(entry.background);
        wc.lpszMenuName = nullptr;
        wc.lpszClassName = entry.name;
        platform::RegisterClass(&wc);
    }
}

void ReadScreenFigures() {
    platform::RECT work_area{};
    platform::SystemParametersInfo(platform::SPI_GETWORKAREA, 0, &work_area, 0);
    ScreenWidth = platform::GetSystemMetrics(platform::SM_CXSCREEN);
    WorkAreaBottom = work_area.bottom;
    FrameClientWidth = ScreenWidth - 2 * platform::GetSystemMetrics(platform::SM_CXFRAME);
    FrameClientHeight = WorkAreaBottom - platform::GetSystemMetrics(platform::SM_CYMENU) -
                        platform::GetSystemMetrics(platform::SM_CYFRAME) -
                        platform::GetSystemMetrics(platform::SM_CYCAPTION) -
                        2 * platform::GetSystemMetrics(platform::SM_CYEDGE);
}

// ProgramDirectory := the whole current directory and one separator. False when it, or a file
// name appended to it, would not fit the 2048-character path buffers.
bool TakeProgramDirectory() {
    std::error_code error;
    std::string directory = std::filesystem::current_path(error).string();
    if (error) return false;
    if (directory.empty() || directory.back() != '/') directory.push_back('/');
    if (directory.size() + std::strlen(kLongestDerivedName) + 1 > kDirectorySlot) return false;
    CopyTextSlot(ProgramDirectory, directory.c_str());
    CopyTextSlot(ScratchPath, ProgramDirectory);
    return true;
}

// A refused start-up: the message, then everything made so far goes.
int RefuseStart(int code, const char* text) {
    platform::MessageBox(FrameWindow, text, kCaption,
                         platform::MB_OK | platform::MB_ICONEXCLAMATION);
    ReleaseProgramResources();
    if (FrameWindow) platform::DestroyWindow(FrameWindow);
    FrameWindow = 0;
    MdiClientWindow = 0;
    return code;
}

void SetRecentFileMenuTexts() {
    platform::ModifyMenu(MainMenu, kCmdLastDriverFile, platform::MF_BYCOMMAND | platform::MF_STRING,
                         kCmdLastDriverFile, Preferences->LastDriverPath);
    platform::ModifyMenu(MainMenu, kCmdLastProjectFile,
                         platform::MF_BYCOMMAND | platform::MF_STRING, kCmdLastProjectFile,
                         Preferences->LastProjectPath);
    platform::DrawMenuBar(FrameWindow);
}

// The default Stereo 2 x 4-way network: Front-Left on input 1 and outputs 1-4, Front-Right on
// input 3 and outputs 5-8 (with the two-input layout inputs 2 and 3 both carry the right channel).
void InstallDefaultNetwork() {
    InstallStereoNetwork(4);
    struct Ports {
        int input;
        int outputs[4];  // slots 6, 9, 12, 18
    };
    constexpr int kSlots[4] = {6, 9, 12, 18};
    constexpr Ports kLeft{1, {2, 3, 1, 4}};
    constexpr Ports kRight{3, {6, 7, 5, 8}};
    const Ports* ports[2] = {&kLeft, &kRight};
    PaneStore* stores[2] = {&PaneStores[0], &PaneStores[2]};
    for (int side = 0; side < 2; ++side) {
        stores[side]->ElementParams[0][kParamInputPort] = static_cast<float>(ports[side]->input);
        for (int i = 0; i < 4; ++i) {
            stores[side]->ElementParams[kSlots[i]][kParamOutputPort] =
                static_cast<float>(ports[side]->outputs[i]);
        }
    }
}

// The default placements were made for a smaller screen: on one with room to spare they leave
// Front-Right's network cut off at the Stereo window's right edge and the player dialog over the
// panes. At a first start (no preferences file) the Stereo window grows until Front-Right's pane
// is as wide as Front-Left's, and the player dialog stands right of the start windows, when the
// frame's client has room for both; otherwise the defaults stay as they are.
void SpreadFirstStartPlacements() {
    WindowPlacement& stereo = WindowPlacements[kSlotStereo];
    const WindowPlacement& bars = WindowPlacements[kSlotStereoBars];
    const WindowPlacement& spl = WindowPlacements[kSlotSplPlotting];
    constexpr int kGap = 4;
    const int width = std::max<int>(
        stereo.Width, 2 * bars.X + 2 * platform::GetSystemMetrics(platform::SM_CXFRAME));
    const int right = std::max<int>(stereo.X + width, spl.X + spl.Width);
    if (right + kGap + kPlayerDialogWidth > FrameClientWidth) return;
    stereo.Width = width;
    platform::POINT origin{0, 0};
    platform::ClientToScreen(MdiClientWindow, &origin);
    WindowPlacements[kSlotComponentCADSelection].X = origin.x + right + kGap;
}

void OpenStartWindows() {
    if (Preferences->AutoLoadProject == 1) {
        platform::SetTimer(FrameWindow, kTimerAutoLoad, kAutoLoadDelayMs);
        return;
    }
    if (Preferences->NoStartWindows != 0) return;
    if (!SplPlottingWindow) OpenSplPlotting();
    OpenStereoConfig();
    CreatePlayerDialog(FrameWindow);
}

LRESULT FrameCreate(HWND hwnd, WPARAM wParam, LPARAM lParam) {
    FrameWindow = hwnd;
    platform::CLIENTCREATESTRUCT client{FileMenu, kFirstMdiChildId};
    MdiClientWindow = platform::CreateWindow(
        "MDICLIENT", nullptr,
        platform::WS_CHILD | platform::WS_CLIPCHILDREN | platform::WS_CLIPSIBLINGS, 0, 0, 0, 0,
        hwnd, platform::HMENU{}, AppInstance, &client);
    platform::ShowWindow(MdiClientWindow, platform::SW_SHOW);
    CreateGdiObjects();
    network::ClearWorkingNetwork();
    network::ClearAllPaneStores();
    return platform::DefFrameProc(hwnd, MdiClientWindow, platform::WM_CREATE, wParam, lParam);
}

}  // namespace

StartupAllocators& ProgramAllocators() { return allocators; }

void InstallStereoNetwork(int ways) {
    network::ClearAllPaneStores();
    network::ClearWorkingNetwork();
    network::BuildWayTemplate(ways);
    network::SavePaneStore(1);
    network::ClearWorkingNetwork();
    network::BuildWayTemplate(ways);
    network::SavePaneStore(3);
}

int StartProgram(platform::HINSTANCE instance, platform::HINSTANCE previous, int show_command) {
    released = false;
    release_count = 0;
    resources::RegisterAll();

    // 1. Instance, icon and window classes.
    AppInstance = instance;
    if (!previous) {
        AppIcon = platform::LoadIcon(instance, "MyIcon");
        RegisterProgramClasses(instance);
    }
    // 2. Screen figures.
    ReadScreenFigures();
    // 3. Menu.
    MainMenu = platform::LoadMenu(instance, "Main_Menu");
    FileMenu = platform::GetSubMenu(MainMenu, 0);
    // 4. The frame (its WM_CREATE makes the MDI client, fonts, pens and brushes).
    CopyTextSlot(FrameTitle, kStartTitle);
    // The frame fills the work area; its outer rectangle includes the caption and borders.
    platform::RECT work{};
    platform::SystemParametersInfo(platform::SPI_GETWORKAREA, 0, &work, 0);
    if (work.right <= work.left || work.bottom <= work.top)
        work = {0, 0, ScreenWidth, WorkAreaBottom};
    FrameWindow = platform::CreateWindow(
        "Frame", kStartTitle, platform::WS_OVERLAPPEDWINDOW, work.left, work.top,
        work.right - work.left, work.bottom - work.top, HWND{}, MainMenu, instance, nullptr);
    if (!FrameWindow) return RefuseStart(kStartNoFrame, "Unable To Create The Program Window");
    platform::ShowWindow(FrameWindow, show_command);
    platform::UpdateWindow(FrameWindow);
    // 5. Program directory.
    if (!TakeProgramDirectory()) {
        return RefuseStart(kStartPathTooLong,
                           "The Program Folder Path Is Too Long For The 2048-Character Path "
                           "Buffers.\n\nMove the program to a folder with a shorter path.");
    }
    // 6. Start-up blocks.
    if (allocators.AllocMain() != 0 || allocators.AllocCurve() != 0 || allocators.AllocDsp() != 0) {
        return RefuseStart(kStartOutOfMemory,
                           "Not Enough Memory For The Program's Buffers.\n\nThe program ends.");
    }
    // 7-11. Defaults.
    PlotStartFrequencyIndex = kDefaultPlotStartIndex;
    PlotStopFrequencyIndex = kDefaultPlotStopIndex;
    InitPreferencesRecord(Preferences);
    network::DeactivatePanes();
    for (auto& polarity : solver::OutputPhasing) polarity = 0;
    for (auto& delay : solver::OutputDelay) delay = 0.0f;
    InitDriverRecord(ScratchDriverRecord);
    InitDriverRecord(CurrentDriverRecord);
    InitBaffleRecord();
    InitProjectSettings(&Project);
    CopyTextSlot(CurrentDriverRecord->Diameter, "25.0");
    for (std::int32_t& flag : PlotFamilyFlags) flag = 0;
    PlotFamilyFlags[0] = 1;  // Filter SPL
    // 12-13. Preferences file, then the recent-file items.
    if (ReadPreferencesFile(FrameWindow) == 0) SpreadFirstStartPlacements();
    SetRecentFileMenuTexts();
    // 14. Default network.
    InstallDefaultNetwork();
    // 15. Start windows or the auto-load chain.
    OpenStartWindows();
    return kStarted;
}

int RunMessageLoop() {
    platform::MSG msg{};
    while (platform::GetMessage(&msg, HWND{}, 0, 0)) {
        if (ComponentCADSelectionDialog &&
            platform::IsDialogMessage(ComponentCADSelectionDialog, &msg)) {
            continue;
        }
        platform::TranslateMessage(&msg);
        platform::DispatchMessage(&msg);
    }
    return static_cast<int>(msg.wParam);
}

int ProgramWinMain(platform::HINSTANCE instance, platform::HINSTANCE previous, const char*,
                   int show_command) {
    if (StartProgram(instance, previous, show_command) != kStarted) return 1;
    return RunMessageLoop();
}

LRESULT FrameWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case platform::WM_CREATE:
            return FrameCreate(hwnd, wParam, lParam);
        case platform::WM_COMMAND:
            return FrameCommand(hwnd, wParam, lParam);
        case platform::WM_TIMER:
            AutoStartTimer(hwnd, wParam);
            return 0;
        case platform::WM_CLOSE:
            CloseProgram();
            return 0;
        case platform::WM_DESTROY:
            if (!released) ReleaseProgramResources();
            return 0;
        default:
            return platform::DefFrameProc(hwnd, MdiClientWindow, message, wParam, lParam);
    }
}

void CloseProgram() {
    if (AudioBusy == 1 || released) return;
    // A sound device the player or a measurement could not close is closed before the program goes
    // (the user is told once when it still will not; the exit question follows either way).
    CloseDevicesLeftOpen();
    WritePreferencesFile(FrameWindow);  // collects the record first
    platform::MessageBeep(platform::MB_ICONEXCLAMATION);
    const int answer =
        platform::MessageBox(FrameWindow, "Last chance to save data !\n\nDO YOU WISH TO EXIT ?",
                             kCaption, platform::MB_YESNO | platform::MB_ICONQUESTION);
    if (answer == platform::IDYES) ReleaseProgramResources();
}

bool ReleaseProgramResources() {
    if (released) return false;
    released = true;
    ++release_count;
    // No window may paint from or a timer reach into a block after it is freed.
    for (unsigned timer : {kTimerAutoLoad, kTimerFrontLeft, kTimerCentre, kTimerFrontRight,
                           kTimerRearLeft, kTimerSub, kTimerRearRight, kTimerSub2, kTimerPlay}) {
        platform::KillTimer(FrameWindow, timer);
    }
    CloseEditorWindows();
    CloseSettingsWindows();
    CloseSystemWindows();
    FreeMainBuffers();
    FreeCurveBuffers();
    FreeDspBuffers();
    measurement::FreeMlsCaptureCopies();
    if (MainMenu) platform::DestroyMenu(MainMenu);
    MainMenu = 0;
    FileMenu = 0;
    if (AppIcon) platform::DestroyIcon(AppIcon);
    AppIcon = 0;
    DeleteGdiObjects();
    platform::PostQuitMessage(0);
    return true;
}

int ProgramReleaseCount() { return release_count; }

void ResetFrame() {
    ResetColourEditing();
    ResetProfileBrowseSlots();
}

}  // namespace frame
