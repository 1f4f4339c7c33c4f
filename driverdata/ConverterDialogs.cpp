#include "driverdata/ConverterDialogs.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "driverdata/ColumnParser.h"
#include "driverdata/NumberTokens.h"
#include "platform/gdi/Gdi.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Paint.h"
#include "platform/ui/Window.h"
#include "shell/DriverRecord.h"
#include "shell/FileIo.h"
#include "shell/FrameWindows.h"
#include "shell/FrequencyGrid.h"
#include "shell/GdiObjects.h"
#include "shell/Globals.h"
#include "shell/NumberText.h"
#include "shell/Printout.h"
#include "shell/StartupAllocation.h"

namespace driverdata {

using platform::HWND;
using platform::INT_PTR;
using platform::LPARAM;
using platform::UINT;
using platform::WPARAM;

platform::OPENFILENAME ImportDialogs[4]{};

namespace {

constexpr const char* kCaption = "QV Message";
constexpr int kTextField = 11;  // the record's text slots: at most 10 characters typed
constexpr int kPreviewCellWidth = 8;
constexpr int kPreviewCellHeight = 12;
constexpr int kPreviewOrigin = 5;

struct ImporterInfo {
    const char* template_name;
    const char* filters;
    std::int32_t import_kind;
    int readout_decimals;  // 9002, 9003: %.1f IMP, %.2f LMS and CLIO; DAAS "%f" cut to 7
};

const ImporterInfo kImporters[4] = {
    {"ImportImpBox",
     "IMP Files (*.FRD)\0*.frd\0IMP Files (*.IMP)\0*.imp\0IMP Files (*.ZMA)\0*.zma\0"
     "TRG Files (*.TRG)\0*.trg\0All Files (*.FRD;*.IMP;*.ZMA;*.TRG)\0*.frd;*.imp;*.zma;*.trg\0",
     1, 1},
    {"ImportLmsBox",
     "LMS Files (*.TXT)\0*.txt\0LMS Files (*.DAT)\0*.dat\0LAUD Files (*.FRD)\0*.frd\0"
     "LAUD Files (*.ZMA)\0*.zma\0All Files (*.TXT;*.DAT;*.FRD;*.ZMA)\0*.txt;*.dat;*.frd;*.zma\0",
     2, 2},
    {"ImportClioBox", "CLIO Files (*.TXT)\0*.txt\0All Files (*.*)\0*.*\0", 3, 2},
    {"ImportDaasBox",
     "DAAS Files (*.AMP)\0*.amp\0DAAS Files (*.IMP)\0*.imp\0DAAS Files (*.PHA)\0*.pha\0"
     "DAAS Files (*.PHE)\0*.phe\0DAAS Files (*.TS)\0*.ts\0"
     "All Files (*.AMP;*.IMP;*.PHA;*.PHE;*.TS)\0*.amp;*.imp;*.pha;*.phe;*.ts\0",
     5, -1},
};

// The file a converter dialog works on (one modal dialog at a time).
struct ImportSession {
    Importer importer;
    const std::uint8_t* data;
    std::size_t size;
    const char* path;
};
const ImportSession* session = nullptr;

void Exclaim(HWND owner, const char* text, const char* caption = kCaption) {
    platform::MessageBox(owner, text, caption, platform::MB_OK | platform::MB_ICONEXCLAMATION);
}

// A number for a read-out: `decimals` digits, or (decimals < 0) "%f" cut to 7 characters.
void ShowNumber(HWND dialog, int id, double value, int decimals) {
    char text[64];
    if (!shell::FormatNumberText(text, sizeof text, value, decimals < 0 ? 6 : decimals)) {
        std::strcpy(text, "0");
    }
    if (decimals < 0) text[7] = '\0';
    platform::SetDlgItemText(dialog, id, text);
}

void ShowInteger(HWND dialog, int id, long long value) {
    char text[32];
    std::snprintf(text, sizeof text, "%lld", value);
    platform::SetDlgItemText(dialog, id, text);
}

// An edit's number (0 when it holds none) after copying its text into a record slot.
double StoreEdit(HWND dialog, int id, char (&slot)[kTextField]) {
    char text[kTextField] = {};
    platform::GetDlgItemText(dialog, id, text, kTextField);
    shell::CopyTextSlot(slot, text);
    double value = 0.0;
    if (!SlotNumber(slot, kTextField, &value)) value = 0.0;
    return value;
}

int EditInteger(HWND dialog, int id) {
    char text[kTextField] = {};
    platform::GetDlgItemText(dialog, id, text, kTextField);
    double value = 0.0;
    if (!SlotNumber(text, kTextField, &value)) return 0;
    if (value > 1e9) return 1000000000;
    if (value < -1e9) return -1000000000;
    return static_cast<int>(value);
}

struct Corrections {
    double delay_ms;
    double scale_db;
    double efficiency_db;
};

Corrections StoreCorrections(HWND dialog) {
    shell::DriverRecord& record = *shell::CurrentDriverRecord;
    Corrections c{};
    c.efficiency_db = StoreEdit(dialog, kEfficiencyEdit, record.Efficiency);
    c.delay_ms = StoreEdit(dialog, kDelayEdit, record.ImportDelay);
    c.scale_db = StoreEdit(dialog, kScaleEdit, record.ImportScale);
    return c;
}

bool IsColumnConverter(Importer importer) { return importer != Importer::kDaas; }

void InitDialog(HWND dialog, const ImportSession& s) {
    char length[32];
    std::snprintf(length, sizeof length, "%zu", s.size);
    length[6] = '\0';
    platform::SetDlgItemText(dialog, kLengthReadout, length);
    const shell::DriverRecord& record = *shell::CurrentDriverRecord;
    for (int id : {kDelayEdit, kScaleEdit, kEfficiencyEdit}) {
        platform::SendDlgItemMessage(dialog, id, platform::EM_LIMITTEXT, kTextField - 1, 0);
    }
    char text[kTextField];
    shell::CopyTextSlot(text, record.ImportDelay);
    platform::SetDlgItemText(dialog, kDelayEdit, text);
    shell::CopyTextSlot(text, record.ImportScale);
    platform::SetDlgItemText(dialog, kScaleEdit, text);
    shell::CopyTextSlot(text, record.Efficiency);
    platform::SetDlgItemText(dialog, kEfficiencyEdit, text);
    if (!IsColumnConverter(s.importer)) {
        platform::SetFocus(platform::GetDlgItem(dialog, kDelayEdit));
        return;
    }
    const shell::PreferencesRecord& prefs = *shell::Preferences;
    ShowInteger(dialog, kEraseLinesEdit, prefs.EraseLines);
    ShowInteger(dialog, kColumnCountEdit, prefs.ImportOption);
    for (int c = 0; c < kMaxColumns; ++c) {
        platform::CheckDlgButton(
            dialog, kIncludeColumn1 + c,
            prefs.ImportColumnFlags[c] == 1 ? platform::BST_CHECKED : platform::BST_UNCHECKED);
    }
    platform::SetWindowText(dialog, s.path);
    platform::SetFocus(platform::GetDlgItem(dialog, kEraseLinesEdit));
}

// The preview: the file's first lines, one character cell at a time.
void PaintPreview(HWND dialog, const ImportSession& s) {
    const HWND area = platform::GetDlgItem(dialog, kPreviewArea);
    if (!area) return;
    platform::RECT rect{};
    platform::GetClientRect(area, &rect);
    const platform::HDC dc = platform::GetDC(area);
    if (!dc) return;
    const auto old_brush =
        platform::SelectObject(dc, platform::GetStockObject(platform::WHITE_BRUSH));
    platform::Rectangle(dc, rect.left, rect.top, rect.right, rect.bottom);
    platform::SelectObject(dc, old_brush);
    platform::HFONT old_font{};
    if (shell::SmallFont) old_font = platform::SelectObject(dc, shell::SmallFont);
    const PreviewText preview = PreviewLines(s.data, s.size);
    // Only whole lines are drawn: when the area holds fewer lines than the preview has (and its
    // "[.......]"), the last line that fits says that more follows.
    platform::SIZE cell{0, kPreviewCellHeight};
    platform::GetTextExtentPoint32(dc, "0", 1, &cell);
    const int rows = std::max(
        1, (rect.bottom - 1 - kPreviewOrigin - std::max<int>(cell.cy, kPreviewCellHeight)) /
                   kPreviewCellHeight +
               1);
    const int total = static_cast<int>(preview.lines.size()) + (preview.more ? 1 : 0);
    const bool cut = total > rows;
    const int shown = cut ? rows - 1 : static_cast<int>(preview.lines.size());
    int y = kPreviewOrigin;
    for (int i = 0; i < shown; ++i) {
        int x = kPreviewOrigin;
        for (char c : preview.lines[static_cast<std::size_t>(i)]) {
            if (c != ' ' && c != '\t') platform::TextOut(dc, x, y, &c, 1);
            x += kPreviewCellWidth;
        }
        y += kPreviewCellHeight;
    }
    if (preview.more || cut) platform::TextOut(dc, kPreviewOrigin, y, "[.......]", 9);
    if (shell::SmallFont) platform::SelectObject(dc, old_font);
    platform::ReleaseDC(area, dc);
}

void ShowLastBin(HWND dialog, int decimals, const float* spl, const float* phase) {
    const int k = shell::kGridPoints - 2;
    ShowNumber(dialog, kFrequencyReadout, shell::FrequencyGrid[k], decimals < 0 ? -1 : 1);
    if (spl != nullptr) ShowNumber(dialog, kAmplitudeReadout, spl[k], decimals);
    if (phase != nullptr) ShowNumber(dialog, kPhaseReadout, phase[k], decimals);
}

// Corrections beyond these cannot give a level a driver file carries (and would not convert to
// single precision defined).
constexpr double kMostOffsetDb = shell::kDriverLevelHighDb - shell::kDriverLevelLowDb;
constexpr double kMostDelayMs = 1.0e6;

bool CorrectionsUsable(double delay_ms, double offset_db) {
    return std::fabs(delay_ms) <= kMostDelayMs && std::fabs(offset_db) <= kMostOffsetDb;
}

bool LevelsUsable(const float* spl) {
    for (int k = 0; k < shell::kGridPoints; ++k) {
        if (!(spl[k] <= shell::kDriverLevelHighDb)) return false;
    }
    return true;
}

bool PhasesUsable(const float* phase) {
    for (int k = 0; k < shell::kGridPoints; ++k) {
        if (!std::isfinite(phase[k])) return false;
    }
    return true;
}

// "Amplitude" of a column converter. false when the dialog stays open.
bool ConvertColumns(HWND dialog, const ImportSession& s) {
    const Corrections c = StoreCorrections(dialog);
    shell::PreferencesRecord& prefs = *shell::Preferences;
    prefs.ImportOption = EditInteger(dialog, kColumnCountEdit);
    prefs.EraseLines = EditInteger(dialog, kEraseLinesEdit);
    const std::size_t start = SkipLines(s.data, s.size, prefs.EraseLines);
    if (s.importer == Importer::kImp && !(c.efficiency_db > 0.0)) {
        Exclaim(dialog, "Enter Reference Efficiency", "QV MEssage");
        return false;
    }
    const ColumnRoles roles = RolesFromFlags(prefs.ImportColumnFlags);
    if (!RolesUsable(roles, prefs.ImportOption)) {
        Exclaim(dialog, kColumnChoiceMessage);
        return false;
    }
    const std::vector<Measurement> records =
        ReadColumnRecords(s.data, s.size, start, prefs.ImportOption, roles);
    const double offset_db = c.scale_db + (s.importer == Importer::kImp ? c.efficiency_db : 0.0);
    if (!CorrectionsUsable(c.delay_ms, offset_db)) {
        Exclaim(dialog, kImportOutOfRange);
        return false;
    }
    BinCorrections corrections;
    corrections.delay_ms = static_cast<float>(c.delay_ms);
    corrections.offset_db = static_cast<float>(offset_db);
    std::vector<float> spl(shell::kGridPoints);
    std::vector<float> phase(shell::kGridPoints);
    if (BinColumnRecords(records, shell::FrequencyGrid, corrections, spl.data(), phase.data()) ==
        0) {
        Exclaim(dialog, ImportNoDataMessage(s.importer, s.path).c_str());
        return false;
    }
    if (!LevelsUsable(spl.data()) || !PhasesUsable(phase.data())) {
        Exclaim(dialog, kImportOutOfRange);
        return false;
    }
    shell::DriverRecord& record = *shell::CurrentDriverRecord;
    std::copy(spl.begin(), spl.end(), record.Spl);
    std::copy(phase.begin(), phase.end(), record.Phase);
    ShowLastBin(dialog, kImporters[static_cast<int>(s.importer)].readout_decimals, record.Spl,
                record.Phase);
    record.ImportKind = kImporters[static_cast<int>(s.importer)].import_kind;
    record.CurveKind = 0;
    return true;
}

// false when the dialog stays open (corrections or converted values out of range).
bool ConvertDaas(HWND dialog, const ImportSession& s, bool magnitude) {
    const Corrections c = StoreCorrections(dialog);
    if (!CorrectionsUsable(c.delay_ms, c.scale_db)) {
        Exclaim(dialog, kImportOutOfRange);
        return false;
    }
    const std::vector<ValuePair> pairs = ReadDaasPairs(s.data, s.size);
    shell::DriverRecord& record = *shell::CurrentDriverRecord;
    std::vector<float> curve(shell::kGridPoints);
    if (magnitude) {
        if (BinDaasMagnitude(pairs, shell::FrequencyGrid, static_cast<float>(c.scale_db),
                             curve.data()) == 0) {
            Exclaim(dialog, ImportNoDataMessage(s.importer, s.path).c_str());
            return false;
        }
        if (!LevelsUsable(curve.data())) {
            Exclaim(dialog, kImportOutOfRange);
            return false;
        }
        std::copy(curve.begin(), curve.end(), record.Spl);
        ShowLastBin(dialog, -1, record.Spl, nullptr);
        record.ImportKind = 5;
    } else {
        if (BinDaasPhase(pairs, shell::FrequencyGrid, static_cast<float>(c.delay_ms),
                         curve.data()) == 0) {
            Exclaim(dialog, ImportNoDataMessage(s.importer, s.path).c_str());
            return false;
        }
        if (!PhasesUsable(curve.data())) {
            Exclaim(dialog, kImportOutOfRange);
            return false;
        }
        std::copy(curve.begin(), curve.end(), record.Phase);
        ShowLastBin(dialog, -1, nullptr, record.Phase);
        record.ImportKind = 6;
    }
    record.CurveKind = 0;
    return true;
}

INT_PTR ConverterDlgProc(Importer importer, HWND dialog, UINT message, WPARAM wParam,
                         LPARAM lParam) {
    switch (message) {
        case platform::WM_INITDIALOG:
            session = reinterpret_cast<const ImportSession*>(lParam);
            if (session == nullptr || shell::CurrentDriverRecord == nullptr ||
                shell::Preferences == nullptr) {
                platform::EndDialog(dialog, 0);
                return platform::TRUE;
            }
            InitDialog(dialog, *session);
            return platform::FALSE;  // the focus is set
        case platform::WM_PAINT: {
            platform::PAINTSTRUCT ps{};
            platform::BeginPaint(dialog, &ps);
            platform::EndPaint(dialog, &ps);
            if (session != nullptr && IsColumnConverter(importer)) PaintPreview(dialog, *session);
            return platform::TRUE;
        }
        case platform::WM_RBUTTONDOWN:
            if (shell::FrameWindow) shell::CopyWindowToClipboard(shell::FrameWindow);
            return platform::TRUE;
        case platform::WM_COMMAND: {
            const int id = platform::LOWORD(wParam);
            if (session == nullptr) return platform::FALSE;
            if (IsColumnConverter(importer) && id >= kIncludeColumn1 &&
                id < kIncludeColumn1 + kMaxColumns) {
                std::int32_t& flag = shell::Preferences->ImportColumnFlags[id - kIncludeColumn1];
                flag = flag == 1 ? 0 : 1;
                platform::CheckDlgButton(
                    dialog, id, flag == 1 ? platform::BST_CHECKED : platform::BST_UNCHECKED);
                return platform::TRUE;
            }
            switch (id) {
                case kConvertButton:
                case kPhaseButton:
                    if (id == kPhaseButton && IsColumnConverter(importer)) return platform::TRUE;
                    try {
                        bool converted = true;
                        if (IsColumnConverter(importer)) {
                            converted = ConvertColumns(dialog, *session);
                        } else {
                            converted = ConvertDaas(dialog, *session, id == kConvertButton);
                        }
                        if (converted) platform::EndDialog(dialog, 1);
                    } catch (const std::bad_alloc&) {
                        // The records of a file too large for the memory left: nothing changed
                        // (the curves are written only after the records are read).
                        Exclaim(dialog, session->path);
                    }
                    return platform::TRUE;
                case kPrintButton:
                    if (shell::FrameWindow) shell::PrintWindowImage(shell::FrameWindow, dialog);
                    return platform::TRUE;
                case platform::IDCANCEL:
                    StoreCorrections(dialog);
                    platform::EndDialog(dialog, 0);
                    return platform::TRUE;
                default:
                    return platform::FALSE;
            }
        }
        default:
            return platform::FALSE;
    }
}

void InitImportDialog(Importer importer, HWND owner) {
    platform::OPENFILENAME& dialog = ImportDialogs[static_cast<int>(importer)];
    dialog = platform::OPENFILENAME{};
    dialog.lStructSize = sizeof(platform::OPENFILENAME);
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = kImporters[static_cast<int>(importer)].filters;
    dialog.nFilterIndex = 1;
    dialog.nMaxFile = shell::kDirectorySlot;
    dialog.nMaxFileTitle = 256;
    dialog.lpstrDefExt = "*.*";
}

int OpenImportFile(Importer importer, HWND owner, char* path, char* title) {
    platform::OPENFILENAME& dialog = ImportDialogs[static_cast<int>(importer)];
    dialog.hwndOwner = owner;
    dialog.lpstrFile = path;
    dialog.lpstrFileTitle = title;
    dialog.Flags = platform::OFN_HIDEREADONLY | platform::OFN_CREATEPROMPT;
    if (platform::GetOpenFileName(&dialog) != 1) return 0;
    return RunImport(importer, owner, path);
}

}  // namespace

std::string ImportNoDataMessage(Importer importer, const char* path) {
    // The frequencies a record can fall into: the column converters fill bins 0..1998 (up to the
    // last grid point), the DAAS walk bins 0..1997 (up to the one before it).
    const int top = IsColumnConverter(importer) ? shell::kGridPoints - 1 : shell::kGridPoints - 2;
    char range[96];
    std::snprintf(range, sizeof range, "%.0f Hz to %.0f Hz",
                  static_cast<double>(shell::FrequencyGrid[0]),
                  static_cast<double>(shell::FrequencyGrid[top]));
    std::string text = "No Data Converted: Driver NOT Changed\n\n";
    text += path != nullptr ? path : "";
    if (IsColumnConverter(importer)) {
        text += "\n\nholds no record with a frequency from ";
        text += range;
        text += ". Check Erase Lines, Total Number of Columns and Include Column.";
    } else {
        text += "\n\nholds no frequency/value pair with a frequency from ";
        text += range;
        text += ".";
    }
    return text;
}

int RunImport(Importer importer, HWND owner, const char* path) {
    if (path == nullptr || shell::CurrentDriverRecord == nullptr || shell::Preferences == nullptr) {
        return 0;
    }
    const std::int64_t length = shell::FileLength(path);
    std::vector<std::uint8_t> data;
    bool read = false;
    if (length >= 0 && static_cast<std::uint64_t>(length) <= kMaxImportFileBytes) {
        try {
            read = shell::ReadFileExact(path, static_cast<std::size_t>(length), data) ==
                   shell::FileStatus::kOk;
        } catch (const std::bad_alloc&) {
            read = false;  // no memory for the file: refused like an unreadable one
        }
    }
    if (!read) {
        Exclaim(owner, path);
        return 0;
    }
    const ImportSession current{importer, data.data(), data.size(), path};
    const ImportSession* previous = session;
    session = &current;
    static constexpr platform::DLGPROC kProcs[4] = {&ImportImpBoxDlgProc, &ImportLmsBoxDlgProc,
                                                    &ImportClioBoxDlgProc, &ImportDaasBoxDlgProc};
    const INT_PTR result = platform::DialogBoxParam(
        shell::AppInstance, kImporters[static_cast<int>(importer)].template_name, owner,
        kProcs[static_cast<int>(importer)], reinterpret_cast<LPARAM>(&current));
    session = previous;
    return result == 1 ? 1 : 0;
}

void InitImpImportDlg(HWND owner) { InitImportDialog(Importer::kImp, owner); }
void InitLmsImportDlg(HWND owner) { InitImportDialog(Importer::kLms, owner); }
void InitClioImportDlg(HWND owner) { InitImportDialog(Importer::kClio, owner); }
void InitDaasImportDlg(HWND owner) { InitImportDialog(Importer::kDaas, owner); }

int OpenImpImportFile(HWND owner, char* path, char* title) {
    return OpenImportFile(Importer::kImp, owner, path, title);
}
int OpenLmsImportFile(HWND owner, char* path, char* title) {
    return OpenImportFile(Importer::kLms, owner, path, title);
}
int OpenClioImportFile(HWND owner, char* path, char* title) {
    return OpenImportFile(Importer::kClio, owner, path, title);
}
int OpenDaasImportFile(HWND owner, char* path, char* title) {
    return OpenImportFile(Importer::kDaas, owner, path, title);
}

INT_PTR ImportImpBoxDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return ConverterDlgProc(Importer::kImp, dialog, message, wParam, lParam);
}
INT_PTR ImportLmsBoxDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return ConverterDlgProc(Importer::kLms, dialog, message, wParam, lParam);
}
INT_PTR ImportClioBoxDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return ConverterDlgProc(Importer::kClio, dialog, message, wParam, lParam);
}
INT_PTR ImportDaasBoxDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return ConverterDlgProc(Importer::kDaas, dialog, message, wParam, lParam);
}

}  // namespace driverdata
