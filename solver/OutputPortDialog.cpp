#include "solver/OutputPortDialog.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "network/EditorState.h"
#include "network/ElementDialogs.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Window.h"
#include "shell/DriverRecord.h"
#include "shell/FileIo.h"
#include "shell/NumberText.h"
#include "shell/ProjectImage.h"
#include "shell/StartupAllocation.h"
#include "shell/ValueRepairs.h"
#include "solver/Globals.h"
#include "solver/MinimumPhase.h"

namespace solver {

using namespace platform;
using namespace network;

char OutputPortDriverPath[shell::kFileTextSlot];
OPENFILENAME DriverOpenFileName;
void ResetOutputPortDialog() {
    std::memset(OutputPortDriverPath, 0, sizeof OutputPortDriverPath);
    DriverOpenFileName = OPENFILENAME{};
}

namespace {

constexpr const char kDriverFilter[] =
    "All Drivers (*.WFR;*.UBA;*.MRD;*.TWE,*.STW)\0*.wfr;*.uba;*.mrd;*.twe;*.stw\0";
constexpr const char* kDriverDefaultExtension = "*.*";

constexpr int kPortChars = 4;
constexpr int kDelayChars = 9;
constexpr int kShownGainChars = 9;
constexpr int kGainChars = 19;
constexpr int kBandChars = 11;
constexpr int kPathChars = shell::kFileTextSlot - 2;  // 2046
constexpr double kCentimetresPerMs = 34.4;            // 344 m/s: 1 ms of delay is 34.4 cm
constexpr float kLowestBandEdge = 10.0f;
constexpr float kHighestBandEdge = 40000.0f;

// What the dialog showed at opening. Cancel restores these values; `accepted_port_text` is the
// port text last accepted (the opening one, then each port that passed Done's range check), with
// which Done decides whether the typed port is new.
struct KeptPort {
    float f1;
    float f2;
    float port;
    float delay;
    float gain;
    float accepted_port;
    char accepted_port_text[32];
};
KeptPort kept{};

// True while WM_INITDIALOG fills the edits: their notifications then change nothing, so that
// opening alone never rewrites the port with its rounded display.
bool initializing = false;

void ShowDistance(HWND dialog, float delay_ms) {
    SetDlgItemFloat(dialog, kDistanceStatic, "%.4f",
                    static_cast<double>(delay_ms) * kCentimetresPerMs);
}

void InitOutputPort(HWND dialog, int e) {
    initializing = true;
    shell::NetworkTables& net = shell::WorkingNetwork;
    float* p = net.ElementParams[e];
    kept.f1 = p[shell::kParamF1];
    kept.f2 = p[shell::kParamF2];
    SetDlgItemFloat(dialog, kF1Edit, "%.2f", static_cast<double>(kept.f1));
    SetDlgItemFloat(dialog, kF2Edit, "%.2f", static_cast<double>(kept.f2));
    kept.port = p[shell::kParamOutputPort];
    kept.accepted_port = kept.port;
    std::snprintf(kept.accepted_port_text, sizeof kept.accepted_port_text, "%.0f",
                  static_cast<double>(kept.port));
    SetDlgItemText(dialog, kInputPortEdit, kept.accepted_port_text);
    shell::TerminateTextSlot(net.ElementFilePaths[e]);
    shell::TerminateTextSlot(net.ElementFileTitles[e]);
    SetDlgItemText(dialog, kDriverPathEdit, net.ElementFilePaths[e]);
    InitDriverOpenFileName(dialog);
    char node[48];
    std::snprintf(node, sizeof node, "[Node %.0f]", static_cast<double>(p[shell::kParamHotNode]));
    SetDlgItemText(dialog, kNodeStatic, node);
    kept.delay = p[shell::kParamDelay];
    ShowDistance(dialog, kept.delay);
    SetDlgItemFloat(dialog, kDelayEdit, "%f", static_cast<double>(kept.delay));
    kept.gain = p[shell::kParamOutputGain];
    char gain[64];
    std::snprintf(gain, sizeof gain, "%f", static_cast<double>(kept.gain));
    gain[kShownGainChars] = '\0';
    SetDlgItemText(dialog, kOutputGainEdit, gain);
    CheckDlgButton(dialog, kReversePhaseCheck,
                   p[shell::kParamPolarity] != 1.0f ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, kPlotFlagCheck,
                   p[shell::kParamPlotFlag] == 1.0f ? BST_CHECKED : BST_UNCHECKED);
    initializing = false;
}

// Edits and check boxes that act at once.
void EditNotified(HWND dialog, int id, int e) {
    if (initializing) return;
    shell::NetworkTables& net = shell::WorkingNetwork;
    float* p = net.ElementParams[e];
    char text[32];
    switch (id) {
        case kInputPortEdit:
            p[shell::kParamOutputPort] = ReadEditValue(dialog, kInputPortEdit, text, kPortChars);
            break;
        case kDelayEdit:
            ShowDistance(dialog, ReadEditValue(dialog, kDelayEdit, text, kDelayChars));
            break;
        case kDriverPathEdit:
            if (p[shell::kParamOutputPort] > 0.0f) {
                GetDlgItemText(dialog, kDriverPathEdit, net.ElementFilePaths[e], kPathChars + 1);
                shell::TerminateTextSlot(net.ElementFilePaths[e]);
            }
            break;
        default:
            break;
    }
}

void ToggleCheck(HWND dialog, int id, float* p) {
    if (id == kReversePhaseCheck) {
        const bool normal = p[shell::kParamPolarity] == 1.0f;
        p[shell::kParamPolarity] = normal ? -1.0f : 1.0f;
        CheckDlgButton(dialog, id, normal ? BST_CHECKED : BST_UNCHECKED);
    } else {
        const bool plotted = p[shell::kParamPlotFlag] == 1.0f;
        p[shell::kParamPlotFlag] = plotted ? 0.0f : 1.0f;
        CheckDlgButton(dialog, id, plotted ? BST_UNCHECKED : BST_CHECKED);
    }
}

// Reads the chosen driver file into the element's driver data. The title and path already name
// the file, whatever the outcome.
void LoadDriverFile(HWND dialog, int e) {
    // The file goes whole into the scratch driver record (a record of its own when the start-up
    // blocks are not allocated).
    std::unique_ptr<shell::DriverRecord> own_record;
    shell::DriverRecord* scratch = shell::ScratchDriverRecord;
    if (scratch == nullptr) {
        own_record = std::make_unique<shell::DriverRecord>();
        scratch = own_record.get();
    }
    shell::ValueRepairs repairs;
    switch (shell::ReadDriverFileData(OutputPortDriverPath, *scratch,
                                      shell::WorkingNetwork.ElementDriverData[e], repairs)) {
        case shell::DriverFileStatus::kNotRecognized:
            ElementDialogMessage(dialog, kDriverNotRecognizedText);
            return;
        case shell::DriverFileStatus::kOpenFailed:
            ElementDialogMessage(dialog, kDriverOpenFailedText);
            return;
        case shell::DriverFileStatus::kLoaded:
            break;
    }
    if (!repairs.Empty()) {
        const std::string text = repairs.Text(
            "Some values of this driver file were out of range and have been replaced by their "
            "defaults:\n");
        ElementDialogMessage(dialog, text.c_str());
    }
}

void Browse(HWND dialog, int e) {
    shell::NetworkTables& net = shell::WorkingNetwork;
    if (net.ElementParams[e][shell::kParamOutputPort] <= 0.0f) {
        ElementDialogMessage(dialog, kOutputPortRangeText);
        return;
    }
    const int chosen = AskDriverFileName(dialog, OutputPortDriverPath, net.ElementFileTitles[e]);
    OutputPortDriverPath[shell::kFileTextSlot - 1] = '\0';
    shell::TerminateTextSlot(net.ElementFileTitles[e]);
    if (chosen == 0) return;
    shell::CopyTextSlot(net.ElementFilePaths[e], OutputPortDriverPath);
    SetDlgItemText(dialog, kDriverPathEdit, net.ElementFilePaths[e]);
    LoadDriverFile(dialog, e);
}

void ClearLoadedDriver(HWND dialog, int e) {
    shell::NetworkTables& net = shell::WorkingNetwork;
    shell::ElementDriverBlock& driver = net.ElementDriverData[e];
    for (int k = 0; k < shell::kGridPoints; ++k) {
        driver.Spl[k] = 90.0f;
        driver.Phase[k] = 0.0f;
        driver.Real[k] = 1.0f;
        driver.Imag[k] = 0.0f;
        MinimumPhaseResult[k] = {1.0f, 0.0f};
        net.ElementTransfer[e][k] = {1.0f, 0.0f};
    }
    shell::CopyTextSlot(net.ElementFileTitles[e], kNoFileLoadedTitle);
    net.ElementFilePaths[e][0] = '\0';
    OutputPortDriverPath[0] = '\0';
    SetDlgItemText(dialog, kDriverPathEdit, "");
}

// The port's transfer curve: the inverse of the minimum-phase response H of its driver data.
void ComputeTransferCurve(int e) {
    shell::ComplexPoint* h = MinimumPhaseResult;
    for (int k = 0; k < shell::kGridPoints; ++k) h[k] = {1.0f, 0.0f};
    CalculateOutputHilbertBode(e);
    shell::ComplexPoint* transfer = shell::WorkingNetwork.ElementTransfer[e];
    for (int k = 0; k < shell::kGridPoints; ++k) {
        const float a = h[k].re;
        const float b = h[k].im;
        const float m = a * a + b * b;
        // A response too small to invert (or no number) gets no correction at that point.
        if (!(m > 0.0f) || !std::isfinite(m)) {
            transfer[k] = {1.0f, 0.0f};
            continue;
        }
        transfer[k] = {a / m, -b / m};
    }
}

// Done's steps in order; a refusal shows its message and the dialog stays open with everything
// stored so far kept.
void OutputPortDone(HWND dialog, int e) {
    float* p = shell::WorkingNetwork.ElementParams[e];
    char text[32];
    // Stored as typed; only a gain or a delay the solver cannot compute is bounded, and the user
    // told.
    p[shell::kParamOutputGain] = ReadEditValue(dialog, kOutputGainEdit, text, kGainChars);
    p[shell::kParamDelay] = ReadEditValue(dialog, kDelayEdit, text, kDelayChars);
    if (p[shell::kParamOutputGain] > shell::kOutputGainLimitDb) {
        p[shell::kParamOutputGain] = shell::kOutputGainLimitDb;
        SetDlgItemFloat(dialog, kOutputGainEdit, "%f",
                        static_cast<double>(shell::kOutputGainLimitDb));
        ElementDialogMessage(dialog, kOutputGainCeilingText);
        return;
    }
    const float delay = p[shell::kParamDelay];
    if (delay > shell::kDelayLimitMs || delay < -shell::kDelayLimitMs) {
        const float bound = delay > 0.0f ? shell::kDelayLimitMs : -shell::kDelayLimitMs;
        p[shell::kParamDelay] = bound;
        // The edit's notification shows the distance of the bound.
        SetDlgItemFloat(dialog, kDelayEdit, "%f", static_cast<double>(bound));
        ElementDialogMessage(dialog, delay > 0.0f ? kDelayCeilingText : kDelayFloorText);
        return;
    }

    const float typed = ReadEditValue(dialog, kInputPortEdit, text, kPortChars);
    if (TextIntegerPart(text) != TextIntegerPart(kept.accepted_port_text)) {
        p[shell::kParamOutputPort] = typed;
        if (PortAllocatedInStores(shell::kParamOutputPort, typed)) {
            ElementDialogMessage(dialog, kOutputPortAllocatedText);
        }
    }
    const float port = ReadEditValue(dialog, kInputPortEdit, text, kPortChars);
    p[shell::kParamOutputPort] = port;
    if (port < 1.0f || port > 16.0f) {
        ElementDialogMessage(dialog, kOutputPortRangeText);
        // The edit's notification stores the text's value; the kept value goes in after it.
        SetDlgItemText(dialog, kInputPortEdit, kept.accepted_port_text);
        p[shell::kParamOutputPort] = kept.accepted_port;
        return;
    }
    kept.accepted_port = port;
    std::snprintf(kept.accepted_port_text, sizeof kept.accepted_port_text, "%s", text);

    float f1 = ReadEditValue(dialog, kF1Edit, text, kBandChars);
    float f2 = ReadEditValue(dialog, kF2Edit, text, kBandChars);
    p[shell::kParamF1] = f1;
    p[shell::kParamF2] = f2;
    if (f1 < kLowestBandEdge || f1 > kHighestBandEdge || f2 < kLowestBandEdge ||
        f2 > kHighestBandEdge) {
        if (f1 < kLowestBandEdge) f1 = kLowestBandEdge;
        if (f1 > kHighestBandEdge) f1 = kHighestBandEdge;
        if (f2 < kLowestBandEdge || f2 > kHighestBandEdge) f2 = kHighestBandEdge;
        p[shell::kParamF1] = f1;
        p[shell::kParamF2] = f2;
        ElementDialogMessage(dialog, kEqBandRangeText);
        SetDlgItemFloat(dialog, kF1Edit, "%.2f", static_cast<double>(f1));
        SetDlgItemFloat(dialog, kF2Edit, "%.2f", static_cast<double>(f2));
        return;
    }
    // The element keeps its own driver path (set by Browse or typed into edit 1600).
    ComputeTransferCurve(e);
    EndDialog(dialog, 1);
}

void OutputPortCancel(HWND dialog, int e) {
    float* p = shell::WorkingNetwork.ElementParams[e];
    p[shell::kParamF1] = kept.f1;
    p[shell::kParamF2] = kept.f2;
    p[shell::kParamOutputPort] = kept.port;
    p[shell::kParamDelay] = kept.delay;
    p[shell::kParamOutputGain] = kept.gain;
    EndDialog(dialog, 2);
}

}  // namespace

void InitDriverOpenFileName(HWND owner) {
    DriverOpenFileName = OPENFILENAME{};
    DriverOpenFileName.lStructSize = sizeof(OPENFILENAME);
    DriverOpenFileName.hwndOwner = owner;
    DriverOpenFileName.lpstrFilter = kDriverFilter;
    DriverOpenFileName.lpstrFile = OutputPortDriverPath;
    DriverOpenFileName.nMaxFile = shell::kFileTextSlot;
    DriverOpenFileName.nMaxFileTitle = shell::kFileTextSlot;
    DriverOpenFileName.lpstrDefExt = kDriverDefaultExtension;
}

int AskDriverFileName(HWND owner, char* path, char* title) {
    DriverOpenFileName.hwndOwner = owner;
    DriverOpenFileName.lpstrFile = path;
    DriverOpenFileName.nMaxFile = shell::kFileTextSlot;
    DriverOpenFileName.lpstrFileTitle = title;
    DriverOpenFileName.nMaxFileTitle = shell::kFileTextSlot;
    DriverOpenFileName.Flags = OFN_CREATEPROMPT | OFN_HIDEREADONLY;
    return GetOpenFileName(&DriverOpenFileName) ? 1 : 0;
}

INT_PTR EnterOutputPortDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    const int e = SelectedElement;
    const bool valid = e >= 0 && e < shell::kMaxElements;
    switch (message) {
        case WM_INITDIALOG:
            if (!valid) {
                EndDialog(dialog, 2);
                return TRUE;
            }
            InitOutputPort(dialog, e);
            return TRUE;
        case WM_SYSCOMMAND:
            // The close box ends the dialog as Done would, without reading the edits. The port
            // follows the typing, so a number Done would refuse is replaced by the one Done would
            // put back: a saved project never holds a port the program refuses to open.
            if ((wParam & 0xFFF0) != SC_CLOSE) return FALSE;
            if (valid) {
                float* p = shell::WorkingNetwork.ElementParams[e];
                const float port = p[shell::kParamOutputPort];
                if (!(port >= 1.0f && port <= 16.0f))
                    p[shell::kParamOutputPort] = kept.accepted_port;
            }
            EndDialog(dialog, 1);
            return TRUE;
        case WM_COMMAND:
            if (!valid) return FALSE;
            switch (LOWORD(wParam)) {
                case kInputPortEdit:
                case kDelayEdit:
                case kDriverPathEdit:
                    EditNotified(dialog, LOWORD(wParam), e);
                    return TRUE;
                case kReversePhaseCheck:
                case kPlotFlagCheck:
                    ToggleCheck(dialog, LOWORD(wParam), shell::WorkingNetwork.ElementParams[e]);
                    return TRUE;
                case kBrowseButton:
                    Browse(dialog, e);
                    return TRUE;
                case kClearDriverButton:
                    ClearLoadedDriver(dialog, e);
                    return TRUE;
                case IDOK:
                    OutputPortDone(dialog, e);
                    return TRUE;
                case IDCANCEL:
                    OutputPortCancel(dialog, e);
                    return TRUE;
                default:
                    return FALSE;
            }
        default:
            return FALSE;
    }
}

}  // namespace solver
