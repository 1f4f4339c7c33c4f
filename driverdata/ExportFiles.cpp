#include "driverdata/ExportFiles.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>
#include <vector>

#include "driverdata/NumberTokens.h"
#include "platform/ui/MessageBox.h"
#include "shell/DriverRecord.h"
#include "shell/FileIo.h"
#include "shell/FrequencyGrid.h"
#include "shell/Globals.h"
#include "shell/NumberText.h"
#include "shell/PreferencesRecord.h"
#include "shell/StartupAllocation.h"

namespace driverdata {

using platform::HWND;
using shell::kGridPoints;

platform::OPENFILENAME ExportDialog{};
platform::OPENFILENAME MikeCalFileDialog{};
platform::OPENFILENAME PreampCalFileDialog{};

namespace {

constexpr const char* kCaption = "QV Message";

void Exclaim(HWND owner, const char* text) {
    platform::MessageBox(owner, text, kCaption, platform::MB_OK | platform::MB_ICONEXCLAMATION);
}

// `what` names the file in the failure message ("SPL/phase export", "calibration curve").
int WriteText(HWND owner, const char* path, const char* what, const std::string& text) {
    if (shell::WriteFileAtomic(path, text.data(), text.size()) != shell::FileStatus::kOk) {
        shell::ShowSaveFailure(owner, path, what);
        return 0;
    }
    return 1;
}

void InitCalDialog(platform::OPENFILENAME& dialog, HWND owner) {
    dialog = platform::OPENFILENAME{};
    dialog.lStructSize = sizeof(platform::OPENFILENAME);
    dialog.hwndOwner = owner;
    dialog.lpstrFilter =
        "Target Files (*.TRG)\0*.trg\0Text Files (*.TXT)\0*.txt\0All Files (*.*)\0*.*\0\0";
    dialog.nFilterIndex = 1;
    dialog.nMaxFile = shell::kDirectorySlot;
    dialog.nMaxFileTitle = 256;
    dialog.lpstrDefExt = "*.*";
    dialog.Flags = platform::OFN_HIDEREADONLY | platform::OFN_CREATEPROMPT;
}

int ReadCalFile(HWND owner, const char* path, shell::CalibrationPoint* target) {
    if (path == nullptr) return 0;
    const std::int64_t length = shell::FileLength(path);
    std::vector<std::uint8_t> data;
    const std::size_t wanted =
        length < 0 ? 0 : std::min(static_cast<std::size_t>(length), kMaxCalibrationFileBytes);
    bool read = false;
    if (length >= 0) {
        try {
            read = shell::ReadFileHead(path, wanted, data) == shell::FileStatus::kOk;
        } catch (const std::bad_alloc&) {
            read = false;
        }
    }
    if (!read) {
        Exclaim(owner, path);
        return 0;
    }
    std::vector<shell::CalibrationPoint> curve(kGridPoints);
    // An export cut short would hold the end of the curve it lacks as if it were flat; a text
    // that is no calibration, or whose frequencies do not rise, would put values at the wrong
    // frequencies.
    const CalibrationTextResult result =
        ParseCalibrationText(data.data(), data.size(), curve.data());
    switch (result.status) {
        case CalibrationTextStatus::kRead:
            break;
        case CalibrationTextStatus::kShort:
            Exclaim(owner, CalibrationFileShortMessage(path, result.held).c_str());
            return 0;
        case CalibrationTextStatus::kLayout:
            Exclaim(owner, CalibrationFileLayoutMessage(path).c_str());
            return 0;
        case CalibrationTextStatus::kNotRising:
            Exclaim(owner, CalibrationFileOrderMessage(path).c_str());
            return 0;
        case CalibrationTextStatus::kOutOfRange:
            Exclaim(owner, kCalibrationFileOutOfRange);
            return 0;
    }
    // Levels no driver file could carry would make every driver saved afterwards unsavable.
    if (!shell::CalibrationInRange(curve.data())) {
        Exclaim(owner, kCalibrationFileOutOfRange);
        return 0;
    }
    if (target != nullptr) std::memcpy(target, curve.data(), sizeof(shell::CalibrationCurve));
    return 1;
}

int OpenCalFile(platform::OPENFILENAME& dialog, HWND owner, char* path, char* title,
                int (*read)(HWND, const char*)) {
    dialog.hwndOwner = owner;
    dialog.lpstrFile = path;
    dialog.lpstrFileTitle = title;
    const int chosen = platform::GetOpenFileName(&dialog);
    if (chosen != 1) return chosen;
    return read(owner, path);
}

int SaveAs(HWND owner, char* path, char* title, int (*write)(HWND, const char*)) {
    ExportDialog.hwndOwner = owner;
    ExportDialog.lpstrFile = path;
    ExportDialog.lpstrFileTitle = title;
    const int chosen = platform::GetSaveFileName(&ExportDialog);
    if (chosen != 1) return chosen;
    return write(owner, path);
}

}  // namespace

void InitExportDlg(HWND owner) {
    ExportDialog = platform::OPENFILENAME{};
    ExportDialog.lStructSize = sizeof(platform::OPENFILENAME);
    ExportDialog.hwndOwner = owner;
    ExportDialog.lpstrFilter =
        "Export SPL/Phase (*.TRG)\0*.trg\0Export SPL/Phase (*.TXT)\0*.txt\0"
        "All Files (*.*)\0*.*\0\0";
    ExportDialog.nFilterIndex = 1;
    ExportDialog.nMaxFile = shell::kDirectorySlot;
    ExportDialog.nMaxFileTitle = 256;
    ExportDialog.lpstrDefExt = "*.*";
    ExportDialog.Flags = platform::OFN_OVERWRITEPROMPT;
}

int ExportSplPhaseAs(HWND owner, char* path, char* title) {
    return SaveAs(owner, path, title, &ExportSplPhase);
}

int ExportCalFileAs(HWND owner, char* path, char* title) {
    return SaveAs(owner, path, title, &ExportCalFile);
}

int ExportSplPhase(HWND owner, const char* path) {
    const shell::DriverRecord* record = shell::CurrentDriverRecord;
    if (record == nullptr || path == nullptr) return 0;
    std::string text;
    text.reserve(static_cast<std::size_t>(kGridPoints) * 40);
    for (int k = 0; k < kGridPoints; ++k) {
        float re = record->HbtReal[k];
        const float im = record->HbtImag[k];
        const float level = static_cast<float>(
            10.0 * std::log10(static_cast<double>(re) * re + static_cast<double>(im) * im + 1e-16));
        if (re == 0.0f) re = 1e-12f;
        const float phase =
            static_cast<float>(std::atan2(static_cast<double>(im), re) * 57.29577951308232);
        text += CurveLine(shell::FrequencyGrid[k], level, phase);
    }
    return WriteText(owner, path, "SPL/phase export", text);
}

int ExportCalFile(HWND owner, const char* path) {
    const shell::DriverRecord* record = shell::CurrentDriverRecord;
    if (record == nullptr || path == nullptr) return 0;
    // The selection is checked before anything is created: a refused export leaves no file.
    const bool mike = shell::Mls.MlsUseMikeCal == 1;
    const bool preamp = shell::Mls.MlsUsePreampCal == 1;
    if (mike == preamp) {
        Exclaim(owner, path);
        return 0;
    }
    const shell::CalibrationPoint* curve =
        mike ? record->MikeCalibration : record->PreampCalibration;
    std::string text;
    text.reserve(static_cast<std::size_t>(kGridPoints) * 40);
    for (int k = 0; k < kGridPoints; ++k) {
        text += CurveLine(shell::FrequencyGrid[k], curve[k].Db, curve[k].Degrees);
    }
    // The text is read back as the reader will read it (levels taken relative to 1 kHz): one it
    // would refuse is not written. On the grid it was written on, only its levels can be refused.
    std::vector<shell::CalibrationPoint> read_back(kGridPoints);
    const CalibrationTextResult result = ParseCalibrationText(
        reinterpret_cast<const std::uint8_t*>(text.data()), text.size(), read_back.data());
    if (result.status != CalibrationTextStatus::kRead ||
        !shell::CalibrationInRange(read_back.data())) {
        Exclaim(owner, kCalibrationFileOutOfRange);
        return 0;
    }
    return WriteText(owner, path, "calibration curve", text);
}

void InitMikeCalFileDlg(HWND owner) { InitCalDialog(MikeCalFileDialog, owner); }
void InitPreampCalFileDlg(HWND owner) { InitCalDialog(PreampCalFileDialog, owner); }

int OpenMikeCalFile(HWND owner, char* path, char* title) {
    return OpenCalFile(MikeCalFileDialog, owner, path, title, &ReadMikeCalFile);
}
int OpenPreampCalFile(HWND owner, char* path, char* title) {
    return OpenCalFile(PreampCalFileDialog, owner, path, title, &ReadPreampCalFile);
}

int ReadMikeCalFile(HWND owner, const char* path) {
    return ReadCalFile(owner, path, shell::MikeCalibrationCurve);
}
int ReadPreampCalFile(HWND owner, const char* path) {
    return ReadCalFile(owner, path, shell::PreampCalibrationCurve);
}

}  // namespace driverdata
