// The frame's WM_COMMAND: the busy gate, project and driver load and save, the imports and the
// export, the tool windows, the System Design commands, "Current System" and help.
#include "frame/FrameCommands.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "driverdata/ConverterDialogs.h"
#include "driverdata/DiffractionCalculator.h"
#include "driverdata/DriverFiles.h"
#include "driverdata/ExportFiles.h"
#include "driverdata/HbtEditor.h"
#include "driverdata/HbtInput.h"
#include "engine/Engine.h"
#include "engine/PlayerDialog.h"
#include "frame/ConfigWindows.h"
#include "frame/ProfilesDialog.h"
#include "frame/Program.h"
#include "measurement/MlsWindows.h"
#include "network/EditorState.h"
#include "network/PaneDrawing.h"
#include "platform/gdi/Help.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/FileDialog.h"
#include "platform/ui/Menu.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Paint.h"
#include "platform/ui/Timer.h"
#include "platform/ui/Window.h"
#include "shell/FileChooser.h"
#include "shell/FrameGlobals.h"
#include "shell/Ids.h"
#include "shell/NetworkTables.h"
#include "shell/NumberText.h"
#include "shell/PreferencesRecord.h"
#include "shell/ProjectImage.h"
#include "shell/StartupAllocation.h"

namespace frame {

using namespace shell;

using platform::HWND;

namespace {

constexpr const char* kCaption = "QV Message";
constexpr const char* kHelpFileName = "QuorvexEqualizer_Help.CHM";

// ---- Project file dialogs ----

platform::OPENFILENAME project_dialog{};

void InitProjectDialogRecord(HWND owner) {
    project_dialog = platform::OPENFILENAME{};
    project_dialog.lStructSize = 88;
    project_dialog.hwndOwner = owner;
    project_dialog.lpstrFilter = "Project Files (*.HIF)\0*.hif\0\0";
    project_dialog.nFilterIndex = 0;
    project_dialog.nMaxFile = kDirectorySlot;
    project_dialog.nMaxFileTitle = kFileTitleSlot;
    project_dialog.lpstrDefExt = "hif";
}

int ChooseAndReadProject(HWND owner, char* path, char* title) {
    const int chosen = ChooseFile(project_dialog, owner, path, title, Chooser::kOpen);
    if (chosen != 1) return chosen;
    return ReadProjectFile(owner, path);
}

int ChooseAndWriteProject(HWND owner, char* path, char* title) {
    const int chosen = ChooseFile(project_dialog, owner, path, title, Chooser::kSave);
    if (chosen != 1) return chosen;
    return WriteProjectFile(owner, path);
}

// A Yes/No question after the exclamation beep; true unless the answer is No.
bool ConfirmLoad(HWND frame, const char* text, const char* caption) {
    platform::MessageBeep(platform::MB_ICONEXCLAMATION);
    const int answer =
        platform::MessageBox(frame, text, caption, platform::MB_YESNO | platform::MB_ICONQUESTION);
    return answer != platform::IDNO;
}

void SetFileMenuText(int command, const char* text) {
    platform::ModifyMenu(MainMenu, static_cast<platform::UINT>(command),
                         platform::MF_BYCOMMAND | platform::MF_STRING,
                         static_cast<platform::UINT_PTR>(command), text);
    platform::DrawMenuBar(FrameWindow);
}

void KeepWindowsOffTheNetworks();

void ProjectLoad(HWND frame) {
    if (!ConfirmLoad(frame,
                     "Last chance to save current data !\n\nDO YOU WISH TO LOAD NEW PROJECT ?",
                     kCaption)) {
        return;
    }
    ModalDialogOpen = 1;
    InitProjectDialogRecord(frame);
    const int result = ChooseAndReadProject(frame, ProjectFilePath, ProjectFileTitle);
    platform::UpdateWindow(frame);
    ModalDialogOpen = 0;
    if (result == 0) return;

    network::DeactivatePanesAfterLoad();
    CloseEditorWindows();
    CloseSettingsWindows();
    CloseSystemWindows();
    OpenConfigurationWindow(Project.Settings.SystemConfiguration);
    CreatePlayerDialog(frame);
    SetPlayerCheckBoxes();
    network::DeactivatePanesAfterLoad();  // the new dialog's tool buttons show the Draw tool
    KeepWindowsOffTheNetworks();  // a loaded 5-way network shows whole, as after System Design

    SetFrameTitleWithPath(ProjectFilePath);
    CopyTextSlot(Project.Settings.TextArea, ProjectFilePath);
    if (Preferences != nullptr) {
        CopyTextSlot(Preferences->LastProjectPath, ProjectFilePath);
        SetFileMenuText(kCmdLastProjectFile, Preferences->LastProjectPath);
    }
    if (Preferences != nullptr && Preferences->AutoLoadProject == 1) {
        platform::SetTimer(frame, kTimerFrontLeft, kChainStepMs);
    }
}

void ProjectSave(HWND frame) {
    ModalDialogOpen = 1;
    InitProjectDialogRecord(frame);
    const int result = ChooseAndWriteProject(frame, ProjectFilePath, ProjectFileTitle);
    platform::UpdateWindow(frame);
    ModalDialogOpen = 0;
    if (result == 1) SetFrameTitleWithPath(ProjectFilePath);
}

// ---- System Design commands ----

struct PortSlot {
    int slot;
    int port;
};

struct SystemDesign {
    int command;
    int ways;
    int left_input;
    PortSlot left[8];
    int right_input;
    PortSlot right[8];
};

// Slots are those of each template's output ports; unused entries have slot 0 and port 0.
constexpr SystemDesign kSystemDesigns[] = {
    {kCmdStereo2Way, 2, 1, {{8, 1}, {9, 2}}, 3, {{8, 3}, {9, 4}}},
    {kCmdStereo3Way, 3, 1, {{6, 2}, {9, 3}, {12, 1}}, 2, {{6, 5}, {9, 6}, {12, 4}}},
    {kCmdStereo4Way,
     4,
     1,
     {{6, 2}, {9, 3}, {12, 1}, {18, 4}},
     2,
     {{6, 6}, {9, 7}, {12, 5}, {18, 8}}},
    {kCmdStereo5Way,
     5,
     1,
     {{7, 4}, {11, 3}, {15, 2}, {19, 5}, {23, 1}},
     2,
     {{7, 9}, {11, 8}, {15, 7}, {19, 10}, {23, 6}}},
    {kCmdStereo6Way,
     6,
     1,
     {{7, 4}, {11, 3}, {15, 2}, {19, 5}, {23, 6}, {32, 1}},
     2,
     {{7, 10}, {11, 9}, {15, 8}, {19, 11}, {23, 12}, {32, 7}}},
    {kCmdStereo7Way,
     7,
     1,
     {{7, 4}, {11, 3}, {15, 2}, {19, 5}, {23, 6}, {27, 1}, {31, 7}},
     2,
     {{7, 11}, {11, 10}, {15, 9}, {19, 12}, {23, 13}, {27, 8}, {31, 14}}},
    {kCmdStereo8Way,
     8,
     1,
     {{7, 4}, {11, 3}, {15, 2}, {19, 5}, {23, 6}, {27, 1}, {31, 7}, {35, 8}},
     2,
     {{7, 12}, {11, 11}, {15, 10}, {19, 13}, {23, 14}, {27, 9}, {31, 15}, {35, 16}}},
};

void WritePorts(PaneStore& store, int input, const PortSlot (&outputs)[8]) {
    store.ElementParams[0][kParamInputPort] = static_cast<float>(input);
    for (const PortSlot& output : outputs) {
        if (output.port == 0) continue;
        store.ElementParams[output.slot][kParamOutputPort] = static_cast<float>(output.port);
    }
}

void RunSystemDesign(HWND frame, const SystemDesign& design) {
    const bool closes_groups = design.ways <= 4;  // 200, 201, 202
    if (closes_groups) {
        CloseSettingsWindows();
        CloseEditorWindows();
    }
    InstallStereoNetwork(design.ways);
    WritePorts(PaneStores[0], design.left_input, design.left);
    WritePorts(PaneStores[2], design.right_input, design.right);

    if (SplitterWindow)
        platform::SendMessage(MdiClientWindow, platform::WM_MDIDESTROY,
                              static_cast<platform::WPARAM>(SplitterWindow.value), 0);
    if (closes_groups) {
        for (HWND window : {Splitter2Window, Splitter3Window}) {
            if (window) {
                platform::SendMessage(MdiClientWindow, platform::WM_MDIDESTROY,
                                      static_cast<platform::WPARAM>(window.value), 0);
            }
        }
    }
    if (Splitter1Window) {
        platform::InvalidateRect(Splitter1Window, nullptr, platform::TRUE);
        // The panes paint from the stores just rewritten.
        for (HWND pane : network::PaneWindows) {
            if (pane) platform::InvalidateRect(pane, nullptr, platform::TRUE);
        }
    } else {
        OpenStereoConfig();
    }
    if (closes_groups) {
        ShowComponentCADSelection(frame);
    } else {
        CreatePlayerDialog(frame);
    }
    Project.Settings.SystemConfiguration = kSystemStereo;
    network::DeactivatePanesAfterLoad();
    KeepWindowsOffTheNetworks();
}

// ---- Driver data and measurement tools ----

// Screen rectangles of a tool's plot windows (their client areas, where the axes are drawn).
struct PlotRects {
    platform::RECT rects[6]{};
    int count = 0;
};

PlotRects ScreenClientRects(std::initializer_list<const HWND*> plots) {
    PlotRects out;
    for (const HWND* plot : plots) {
        if (plot == nullptr || !*plot || out.count == 2) continue;
        platform::RECT r{};
        if (!platform::GetClientRect(*plot, &r)) continue;
        platform::POINT corner{0, 0};
        platform::ClientToScreen(*plot, &corner);
        out.rects[out.count++] =
            platform::RECT{corner.x, corner.y, corner.x + r.right, corner.y + r.bottom};
    }
    return out;
}

long long OverlapArea(const platform::RECT& a, const platform::RECT& b) {
    const long long w = std::min(a.right, b.right) - std::max(a.left, b.left);
    const long long h = std::min(a.bottom, b.bottom) - std::max(a.top, b.top);
    return w > 0 && h > 0 ? w * h : 0;
}

}  // namespace

platform::POINT PlaceToolDialog(platform::POINT stored, int width, int height,
                                const platform::RECT* plots, int plot_count,
                                const platform::RECT& work) {
    if (work.right - work.left < width || work.bottom - work.top < height || plot_count <= 0)
        return stored;
    auto clamp_x = [&](int x) { return std::max(work.left, std::min(x, work.right - width)); };
    auto clamp_y = [&](int y) { return std::max(work.top, std::min(y, work.bottom - height)); };
    auto overlap = [&](platform::POINT p) {
        const platform::RECT r{p.x, p.y, p.x + width, p.y + height};
        long long area = 0;
        for (int i = 0; i < plot_count; ++i) area += OverlapArea(r, plots[i]);
        return area;
    };
    // A sliver over a plot (a fiftieth of it at most, as a dialog a person pushed against it
    // leaves) is where the person wanted it.
    long long plots_area = 0;
    for (int i = 0; i < plot_count; ++i) plots_area += OverlapArea(plots[i], plots[i]);
    if (overlap(stored) * 50 <= plots_area) return stored;
    platform::RECT all = plots[0];
    for (int i = 1; i < plot_count; ++i) {
        all.left = std::min(all.left, plots[i].left);
        all.top = std::min(all.top, plots[i].top);
        all.right = std::max(all.right, plots[i].right);
        all.bottom = std::max(all.bottom, plots[i].bottom);
    }
    // The stored place kept inside the screen, then beside the plots: right, below, left, above.
    const platform::POINT candidates[] = {
        {clamp_x(stored.x), clamp_y(stored.y)},
        {clamp_x(all.right), clamp_y(stored.y)},
        {clamp_x(stored.x), clamp_y(all.bottom)},
        {clamp_x(all.left - width), clamp_y(stored.y)},
        {clamp_x(stored.x), clamp_y(all.top - height)},
    };
    platform::POINT best = stored;
    long long best_overlap = overlap(stored);
    long long best_move = 0;
    for (const platform::POINT& c : candidates) {
        const long long area = overlap(c);
        const long long move = std::llabs(static_cast<long long>(c.x) - stored.x) +
                               std::llabs(static_cast<long long>(c.y) - stored.y);
        if (area < best_overlap || (area == best_overlap && move < best_move)) {
            best = c;
            best_overlap = area;
            best_move = move;
        }
    }
    return best;
}

namespace {

// Creates a tool's modeless dialog (owner the frame) unless its handle is set, at the x and y of
// its placement slot with its fixed size. The slot is read before the dialog exists: the dialog
// keeps it up to date on every move, also on the one its creation makes. A stored place over the
// tool's own plots gives way to one beside them when the screen has room there (without a window
// manager nothing could move the dialog off them).
void CreateToolDialog(HWND frame, platform::DLGPROC proc, const char* name, HWND& handle, int slot,
                      int width, int height, std::initializer_list<const HWND*> plots) {
    if (handle) return;
    const WindowPlacement place = WindowPlacements[slot];
    const HWND dialog = platform::CreateDialogParam(AppInstance, name, frame, proc, 0);
    if (!dialog) return;
    handle = dialog;
    platform::POINT at{place.X, place.Y};
    platform::RECT work{};
    if (platform::SystemParametersInfo(platform::SPI_GETWORKAREA, 0, &work, 0)) {
        const PlotRects rects = ScreenClientRects(plots);
        at = PlaceToolDialog(at, width, height, rects.rects, rects.count, work);
    }
    platform::MoveWindow(dialog, at.x, at.y, width, height, platform::TRUE);
    platform::ShowWindow(dialog, platform::SW_SHOW);
}

// Screen rectangles of what the Stereo window's two panes draw: each network from its pane's
// client corner, as far as it reaches and the pane shows.
PlotRects StereoNetworkRects() {
    PlotRects out;
    if (!Splitter1Window) return out;
    for (int pane : {1, 3}) {
        const HWND window = network::PaneWindows[pane - 1];
        if (!window || !platform::IsWindowVisible(window)) continue;
        platform::RECT client{};
        platform::GetClientRect(window, &client);
        const platform::HDC dc = platform::GetDC(window);
        const platform::SIZE extent = network::PaneNetworkExtent(pane, dc);
        platform::ReleaseDC(window, dc);
        platform::POINT corner{0, 0};
        platform::ClientToScreen(window, &corner);
        out.rects[out.count++] =
            platform::RECT{corner.x, corner.y, corner.x + std::min<int>(extent.cx, client.right),
                           corner.y + std::min<int>(extent.cy, client.bottom)};
    }
    return out;
}

long long OverlapWith(const platform::RECT& r, const PlotRects& rects) {
    long long area = 0;
    for (int i = 0; i < rects.count; ++i) area += OverlapArea(r, rects.rects[i]);
    return area;
}

// After a System Design command: the Stereo window grows until both networks show whole; the
// player dialog, when it lies over a network, stands right of the Stereo window (which moves
// left as far as it must and can to make that room); a tool dialog left open over a network, its
// own plots or the player gives way to a place beside them where the screen has room, as when it
// opens. Without a window manager nothing else could move them off.
void KeepWindowsOffTheNetworks() {
    if (!Splitter1Window) return;
    FitStereoWindowToNetworks();
    platform::RECT work{};
    if (!platform::SystemParametersInfo(platform::SPI_GETWORKAREA, 0, &work, 0)) return;
    constexpr int kGap = 4;
    if (const HWND player = ComponentCADSelectionDialog) {
        platform::RECT at{}, stereo{};
        platform::GetWindowRect(player, &at);
        platform::GetWindowRect(Splitter1Window, &stereo);
        const int width = at.right - at.left;
        const int height = at.bottom - at.top;
        if (OverlapWith(at, StereoNetworkRects()) > 0) {
            const int lack = static_cast<int>(stereo.right) + kGap + width - work.right;
            platform::POINT corner{stereo.left, stereo.top};
            platform::ScreenToClient(MdiClientWindow, &corner);
            // Its left border may slip under the frame's edge: the panes are what must show.
            const int shift = std::min(lack, static_cast<int>(corner.x) +
                                                 platform::GetSystemMetrics(platform::SM_CXFRAME));
            if (shift > 0) {
                platform::MoveWindow(Splitter1Window, corner.x - shift, corner.y,
                                     stereo.right - stereo.left, stereo.bottom - stereo.top,
                                     platform::TRUE);
                platform::GetWindowRect(Splitter1Window, &stereo);
            }
            const PlotRects networks = StereoNetworkRects();
            platform::POINT place{
                std::min<int>(stereo.right + kGap, work.right - width),
                std::max<int>(work.top, std::min<int>(at.top, work.bottom - height))};
            if (OverlapWith({place.x, place.y, place.x + width, place.y + height}, networks) > 0)
                place = PlaceToolDialog({at.left, at.top}, width, height, networks.rects,
                                        networks.count, work);
            platform::SetWindowPos(player, platform::HWND{}, place.x, place.y, 0, 0,
                                   platform::SWP_NOSIZE | platform::SWP_NOZORDER);
        }
    }
    struct OpenTool {
        HWND dialog;
        const HWND* plots[2];
    };
    const OpenTool tools[] = {{MlsControlDialog, {&MlsImpChildWindow, &MlsSplChildWindow}},
                              {TransferFunctionDialog, {&EditorChildWindow, nullptr}},
                              {DiffractionCalculatorDialog, {&DiffractionChildWindow, nullptr}}};
    for (const OpenTool& tool : tools) {
        if (!tool.dialog) continue;
        PlotRects avoid = StereoNetworkRects();
        const PlotRects own = ScreenClientRects({tool.plots[0], tool.plots[1]});
        for (int i = 0; i < own.count; ++i) avoid.rects[avoid.count++] = own.rects[i];
        if (ComponentCADSelectionDialog)
            platform::GetWindowRect(ComponentCADSelectionDialog, &avoid.rects[avoid.count++]);
        platform::RECT at{};
        platform::GetWindowRect(tool.dialog, &at);
        const int width = at.right - at.left;
        const int height = at.bottom - at.top;
        const platform::POINT place =
            PlaceToolDialog({at.left, at.top}, width, height, avoid.rects, avoid.count, work);
        // Moved, it comes to the front: it is the tool the person is working with, and the
        // player dialog the command brought up must not hide it.
        if (place.x != at.left || place.y != at.top)
            platform::SetWindowPos(tool.dialog, platform::HWND{}, place.x, place.y, 0, 0,
                                   platform::SWP_NOSIZE);
    }
}

constexpr int kTransferFunctionWidth = 600;
constexpr int kTransferFunctionHeight = 242;
constexpr int kDiffractionCalculatorWidth = 615;
constexpr int kDiffractionCalculatorHeight = 510;
constexpr int kMlsControlWidth = 300;
constexpr int kMlsControlHeight = 717;

// The HBT editor's pair of windows: the Editor_Child window invalidated when open, else opened;
// the TransferFunction dialog created when closed, else told to reload its fields.
void ShowHbtEditor(HWND frame) {
    if (EditorChildWindow) {
        platform::InvalidateRect(EditorChildWindow, nullptr, platform::TRUE);
    } else {
        OpenEditorChild();
    }
    if (TransferFunctionDialog) {
        platform::SendMessage(TransferFunctionDialog, platform::WM_INITDIALOG, 0, 0);
    } else {
        CreateToolDialog(frame, &driverdata::TransferFunctionDlgProc,
                         driverdata::kTransferFunctionTemplate, TransferFunctionDialog,
                         kSlotTransferFunction, kTransferFunctionWidth, kTransferFunctionHeight,
                         {&EditorChildWindow});
    }
}

void MdiDestroyIfOpen(HWND& handle) {
    if (!handle) return;
    platform::SendMessage(MdiClientWindow, platform::WM_MDIDESTROY,
                          static_cast<platform::WPARAM>(handle.value), 0);
    if (!platform::IsWindow(handle)) handle = 0;
}

void DestroyIfOpen(HWND& handle) {
    if (!handle) return;
    platform::DestroyWindow(handle);
    handle = 0;
}

// Commands 101 and 113: the question, the open dialog, then the HBT editor on the new driver.
void DriverLoad(HWND frame) {
    if (!ConfirmLoad(frame,
                     "Last chance to save current data !\n\nDO YOU WISH TO LOAD NEW DRIVER ?",
                     "QV MEssage")) {
        return;
    }
    ModalDialogOpen = 1;
    driverdata::InitDriverFileDlg(frame);
    const int result = driverdata::OpenDriverFile(frame, DriverFilePath, DriverFileTitle);
    platform::UpdateWindow(frame);
    ModalDialogOpen = 0;
    if (result != 1) return;

    CloseSettingsWindows();
    CloseSystemWindows();
    MdiDestroyIfOpen(MlsImpChildWindow);
    MdiDestroyIfOpen(MlsSplChildWindow);
    DestroyIfOpen(MlsControlDialog);
    MdiDestroyIfOpen(DiffractionChildWindow);
    DestroyIfOpen(DiffractionCalculatorDialog);
    driverdata::PrepareHbtInput();  // a refusal has shown its message; the editor still opens
    ShowHbtEditor(frame);

    SetFrameTitleWithPath(DriverFilePath);
    if (Preferences != nullptr) {
        CopyTextSlot(Preferences->LastDriverPath, DriverFilePath);
        SetFileMenuText(kCmdLastDriverFile, Preferences->LastDriverPath);
    }
}

void DriverSave(HWND frame) {
    ModalDialogOpen = 1;
    driverdata::InitDriverFileDlg(frame);
    const int result = driverdata::SaveDriverFileAs(frame, DriverFilePath, DriverFileTitle);
    platform::UpdateWindow(frame);
    ModalDialogOpen = 0;
    if (result == 1) SetFrameTitleWithPath(DriverFilePath);
}

// Commands 401-406. The importers are IMP (0), LMS/LAUD (1), CLIO/MLSSA (2) and DAAS (3).
void Import(HWND frame, int importer) {
    void (*init)(HWND) = nullptr;
    int (*open)(HWND, char*, char*) = nullptr;
    switch (importer) {
        case 0:
            init = &driverdata::InitImpImportDlg;
            open = &driverdata::OpenImpImportFile;
            break;
        case 1:
            init = &driverdata::InitLmsImportDlg;
            open = &driverdata::OpenLmsImportFile;
            break;
        case 2:
            init = &driverdata::InitClioImportDlg;
            open = &driverdata::OpenClioImportFile;
            break;
        default:
            init = &driverdata::InitDaasImportDlg;
            open = &driverdata::OpenDaasImportFile;
            break;
    }
    ModalDialogOpen = 1;
    init(frame);
    const int result = open(frame, ImportFilePaths[importer], ImportFileTitles[importer]);
    ModalDialogOpen = 0;
    // 1 and the three dialog codes 9011, 9014, 9015 mean "converted".
    if (result != 1 && result != 9011 && result != 9014 && result != 9015) {
        platform::UpdateWindow(frame);
        return;
    }
    MdiDestroyIfOpen(PreferencesChildWindow);
    CloseEditorWindows();
    CloseSystemWindows();
    driverdata::PrepareHbtInput();  // a refusal has shown its message; the editor still opens
    ShowHbtEditor(frame);
}

void ExportSplPhase(HWND frame) {
    ModalDialogOpen = 1;
    driverdata::InitExportDlg(frame);
    driverdata::ExportSplPhaseAs(frame, ExportFilePath, ExportFileTitle);
    ModalDialogOpen = 0;
}

// The HBT editor afresh: its two windows close with the other tools' and are made again at their
// slots, so the TransferFunction dialog reloads its fields from the driver record.
void ShowFileEditor(HWND frame) {
    CloseSystemWindows();
    CloseSettingsWindows();
    CloseEditorWindows();
    if (!EditorChildWindow) OpenEditorChild();
    CreateToolDialog(frame, &driverdata::TransferFunctionDlgProc,
                     driverdata::kTransferFunctionTemplate, TransferFunctionDialog,
                     kSlotTransferFunction, kTransferFunctionWidth, kTransferFunctionHeight,
                     {&EditorChildWindow});
}

void ShowDiffractionModel(HWND frame) {
    CloseSystemWindows();
    CloseSettingsWindows();
    CloseEditorWindows();
    if (!DiffractionChildWindow) OpenDiffractionChild();
    CreateToolDialog(frame, &driverdata::DiffractionCalculatorDlgProc,
                     driverdata::kDiffractionCalculatorTemplate, DiffractionCalculatorDialog,
                     kSlotDiffractionCalculator, kDiffractionCalculatorWidth,
                     kDiffractionCalculatorHeight, {&DiffractionChildWindow});
}

void ShowMlsControl(HWND frame) {
    CloseSettingsWindows();
    CloseSystemWindows();
    MdiDestroyIfOpen(DiffractionChildWindow);
    DestroyIfOpen(DiffractionCalculatorDialog);
    MdiDestroyIfOpen(EditorChildWindow);
    DestroyIfOpen(TransferFunctionDialog);
    CreateToolDialog(frame, &measurement::MlsControlDlgProc, measurement::kMlsControlTemplate,
                     MlsControlDialog, kSlotMlsControl, kMlsControlWidth, kMlsControlHeight,
                     {&MlsImpChildWindow, &MlsSplChildWindow});
}

// ---- Current System and help ----

void ShowCurrentSystem(HWND frame) {
    CloseEditorWindows();
    CloseSettingsWindows();
    CloseSystemWindows();
    OpenConfigurationWindow(Project.Settings.SystemConfiguration);
    ShowComponentCADSelection(frame);
    SetPlayerCheckBoxes();
    if (!SplPlottingWindow) OpenSplPlotting();
    platform::InvalidateRect(SplPlottingWindow, nullptr, platform::TRUE);
    platform::BringWindowToTop(SplPlottingWindow);
}

void OpenHelp(HWND frame) {
    CloseSystemWindows();
    if (!ProgramPath(kHelpFileName, ScratchPath, sizeof ScratchPath)) return;
    const platform::INT_PTR result = platform::ShellExecute(frame, "open", ScratchPath, nullptr,
                                                            nullptr, platform::SW_SHOWNORMAL);
    if (result <= 32) {
        platform::MessageBox(frame, "Unable To Locate QuorvexEqualizer_Help.CHM File", kCaption,
                             platform::MB_OK);
    }
}

// Every command of Main_Menu: the busy gate stands in front of each of them.
constexpr int kMenuCommands[] = {
    kCmdOpenDriverFile, kCmdSaveDriverAs,   kCmdOpenProjectFile,  kCmdSaveProjectAs, kCmdExit,
    kCmdPreferences,    kCmdLastDriverFile, kCmdLastProjectFile,  kCmdStereo3Way,    kCmdStereo4Way,
    kCmdStereo2Way,     kCmdStereo5Way,     kCmdStereo6Way,       kCmdStereo7Way,    kCmdStereo8Way,
    kCmdAssignProfiles, kCmdCurrentSystem,  kCmdDiffractionModel, kCmdFileEditor,    kCmdPenColours,
    kCmdImportImp,      kCmdImportLms,      kCmdImportClio,       kCmdImportMlssa,   kCmdImportDaas,
    kCmdImportLaud,     kCmdExportSplPhase, kCmdDigitalMls,       kCmdHelp};

bool IsMenuCommand(int id) {
    for (int command : kMenuCommands) {
        if (command == id) return true;
    }
    return false;
}

// The commands that put another design into the channels' stores. While Play starts the
// channels they are refused as while the play runs, so the play that starts is the design on
// screen.
bool ReplacesDesign(int id) {
    if (id == kCmdOpenProjectFile || id == kCmdLastProjectFile) return true;
    for (const SystemDesign& design : kSystemDesigns) {
        if (design.command == id) return true;
    }
    return false;
}

bool Refused(int id) {
    if (!IsMenuCommand(id)) return false;
    return AudioBusy == 1 ||
           (ReplacesDesign(id) && engine::CurrentPlayState() == engine::PlayState::Starting);
}

}  // namespace

HWND CreatePlayerDialog(HWND owner) {
    if (ComponentCADSelectionDialog) return ComponentCADSelectionDialog;
    // The stored position is taken before the dialog exists: the dialog keeps its slot up to
    // date on every move, also on the one its creation makes.
    const WindowPlacement place = WindowPlacements[kSlotComponentCADSelection];
    const HWND dialog = platform::CreateDialogParam(AppInstance, engine::kPlayerDialogTemplate,
                                                    owner, &engine::SystemDesignPlayerDlgProc, 0);
    if (!dialog) return HWND{};
    ComponentCADSelectionDialog = dialog;
    // Inside the work area, whatever the stored position says.
    platform::RECT work{};
    platform::SystemParametersInfo(platform::SPI_GETWORKAREA, 0, &work, 0);
    int x = place.X;
    int y = place.Y;
    if (work.right > work.left && work.bottom > work.top) {
        x = std::max<int>(work.left, std::min<int>(x, work.right - kPlayerDialogWidth));
        y = std::max<int>(work.top, std::min<int>(y, work.bottom - kPlayerDialogHeight));
    }
    platform::MoveWindow(dialog, x, y, kPlayerDialogWidth, kPlayerDialogHeight, platform::TRUE);
    platform::ShowWindow(dialog, platform::SW_SHOW);
    return dialog;
}

int ShowComponentCADSelection(HWND owner) {
    CreatePlayerDialog(owner);
    if (SplPlottingWindow) {
        platform::InvalidateRect(SplPlottingWindow, nullptr, platform::TRUE);
        platform::BringWindowToTop(SplPlottingWindow);
    } else if (OpenSplPlotting()) {
        platform::BringWindowToTop(SplPlottingWindow);
    }
    return 0;
}

platform::LRESULT FrameCommand(HWND frame, platform::WPARAM wParam, platform::LPARAM lParam) {
    const int id = platform::LOWORD(wParam);
    if (Refused(id)) return 1;
    switch (id) {
        case kCmdOpenProjectFile:
            ProjectLoad(frame);
            break;
        case kCmdLastProjectFile:
            if (Preferences != nullptr) CopyTextSlot(ProjectFilePath, Preferences->LastProjectPath);
            ProjectLoad(frame);
            break;
        case kCmdSaveProjectAs:
            ProjectSave(frame);
            break;
        case kCmdExit:
            CloseProgram();
            break;
        case kCmdCurrentSystem:
            ShowCurrentSystem(frame);
            break;
        case kCmdPreferences:
            CloseSystemWindows();
            CloseEditorWindows();
            if (!PreferencesChildWindow) OpenPreferencesChild();
            break;
        case kCmdAssignProfiles:
            RunProfilesDialog(frame);
            break;
        case kCmdPenColours:
            if (!PreferencesChildWindow && !PenColourChildWindow) {
                OpenPenColourChild();
                platform::UpdateWindow(frame);
            }
            break;
        case kCmdHelp:
            OpenHelp(frame);
            break;
        case kCmdOpenDriverFile:
            DriverLoad(frame);
            break;
        case kCmdLastDriverFile:
            if (Preferences != nullptr) CopyTextSlot(DriverFilePath, Preferences->LastDriverPath);
            DriverLoad(frame);
            break;
        case kCmdSaveDriverAs:
            DriverSave(frame);
            break;
        case kCmdImportImp:
            Import(frame, 0);
            break;
        case kCmdImportLms:
        case kCmdImportLaud:
            Import(frame, 1);
            break;
        case kCmdImportClio:
        case kCmdImportMlssa:
            Import(frame, 2);
            break;
        case kCmdImportDaas:
            Import(frame, 3);
            break;
        case kCmdExportSplPhase:
            ExportSplPhase(frame);
            break;
        case kCmdFileEditor:
            ShowFileEditor(frame);
            break;
        case kCmdDiffractionModel:
            ShowDiffractionModel(frame);
            break;
        case kCmdDigitalMls:
            ShowMlsControl(frame);
            break;
        default:
            for (const SystemDesign& design : kSystemDesigns) {
                if (design.command == id) RunSystemDesign(frame, design);
            }
            break;
    }
    return platform::DefFrameProc(frame, MdiClientWindow, platform::WM_COMMAND, wParam, lParam);
}

}  // namespace frame
