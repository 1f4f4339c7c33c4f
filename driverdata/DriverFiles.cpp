#include "driverdata/DriverFiles.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "driverdata/NumberTokens.h"
#include "platform/ui/MessageBox.h"
#include "shell/BaffleRecord.h"
#include "shell/FileChooser.h"
#include "shell/FileIo.h"
#include "shell/FrequencyGrid.h"
#include "shell/Globals.h"
#include "shell/NumberText.h"
#include "shell/PreferencesRecord.h"
#include "shell/StartupAllocation.h"
#include "shell/ValueRepairs.h"

namespace driverdata {

using platform::HWND;
using shell::DriverRecord;
using shell::kGridPoints;

platform::OPENFILENAME DriverFileDialog{};

namespace {

constexpr const char* kCaption = "QV Message";
constexpr const char* kNotRecognized = "This Driver File is NOT Recognized";

void Exclaim(HWND owner, const char* text) {
    platform::MessageBox(owner, text, kCaption, platform::MB_OK | platform::MB_ICONEXCLAMATION);
}

bool HoldsData(const shell::CalibrationPoint* curve) {
    for (int k = 0; k < kGridPoints; ++k) {
        if (curve[k].Db != 0.0f || curve[k].Degrees != 0.0f) return true;
    }
    return false;
}

// Says once which values of the file were replaced by their defaults.
void TellRepairs(HWND owner, const shell::ValueRepairs& repairs) {
    if (repairs.Empty()) return;
    const std::string text = repairs.Text(
        "Some values of this driver file were out of range or not numbers and have been "
        "replaced by their defaults:\n");
    Exclaim(owner, text.c_str());
}

// Keeps float-to-int conversions of baffle coordinates defined.
float BoundedCoordinate(float value) {
    if (!std::isfinite(value)) return 0.0f;
    return std::clamp(value, -kMaxBaffleCoordinate, kMaxBaffleCoordinate);
}

}  // namespace

void RestoreBaffleFromRecord(const DriverRecord& record) {
    shell::BaffleRecord* baffle = shell::Baffle;
    if (baffle == nullptr) return;
    for (int n = 0; n < 5; ++n) {
        baffle->Nodes[n].x = static_cast<std::int32_t>(record.BaffleNodes[n][0]);
        baffle->Nodes[n].y = static_cast<std::int32_t>(record.BaffleNodes[n][1]);
    }
    shell::EdgeElementCount = record.EdgeElementCount;
    shell::BaffleSideCount = record.BaffleSideCount;
    baffle->NodeCount = record.BaffleNodeCount;
    baffle->ClosedFlag = static_cast<std::int32_t>(record.BaffleClosed);
    baffle->EditMode = 8;
    baffle->InsertAfter = 1;
    baffle->Points[0].flag = 1;
    for (int p = 1; p <= 3; ++p) baffle->Points[p].flag = 0;
    for (int p = 0; p < shell::kBafflePointCount; ++p) {
        float x = static_cast<float>(record.BafflePoints[p][0]);
        float y = static_cast<float>(record.BafflePoints[p][1]);
        if (p > 0) {
            x = std::max(x, 1.0f);
            y = std::max(y, 1.0f);
        }
        baffle->Points[p].x = x;
        baffle->Points[p].y = y;
    }
    for (int e = 0; e < 5; ++e) shell::EdgePointTable[e].flag = 0;
}

void CopyBaffleIntoRecord(DriverRecord& record) {
    shell::BaffleRecord* baffle = shell::Baffle;
    if (baffle == nullptr) return;
    for (int n = 0; n < 5; ++n) {
        record.BaffleNodes[n][0] = static_cast<float>(baffle->Nodes[n].x);
        record.BaffleNodes[n][1] = static_cast<float>(baffle->Nodes[n].y);
    }
    record.EdgeElementCount = shell::EdgeElementCount;
    record.BaffleNodeCount = baffle->NodeCount;
    record.BaffleSideCount = shell::BaffleSideCount;
    record.BaffleClosed = static_cast<float>(baffle->ClosedFlag);
    for (int p = 0; p < shell::kBafflePointCount; ++p) {
        const float x = BoundedCoordinate(baffle->Points[p].x);
        const float y = BoundedCoordinate(baffle->Points[p].y);
        record.BafflePoints[p][0] = static_cast<std::int32_t>(x);
        record.BafflePoints[p][1] = static_cast<std::int32_t>(y);
    }
}

void MarkBaffleSaved() {
    shell::BaffleRecord* baffle = shell::Baffle;
    if (baffle == nullptr) return;
    baffle->Points[0].flag = 1;
    baffle->Points[shell::kBaffleMicrophone].flag = 0;
    for (int e = 0; e < 5; ++e) shell::EdgePointTable[e].flag = 0;
}

int ReadDriverFile(HWND owner, const char* path) {
    DriverRecord* current = shell::CurrentDriverRecord;
    if (current == nullptr || path == nullptr) return 0;
    const std::int64_t length = shell::FileLength(path);
    if (length < 0) {
        Exclaim(owner, path);
        return 0;
    }
    const auto size = static_cast<std::size_t>(length);
    if (size != shell::kDriverRecordBytes && size != kDravenicFileBytes &&
        size != kSonvexaFileBytes) {
        Exclaim(owner, kNotRecognized);
        return 0;
    }
    std::vector<std::uint8_t> image;
    const shell::FileStatus status = shell::ReadFileExact(path, size, image);
    if (status == shell::FileStatus::kWrongSize) {
        Exclaim(owner, kNotRecognized);
        return 0;
    }
    if (status != shell::FileStatus::kOk || image.size() != size) {
        Exclaim(owner, path);
        return 0;
    }

    // Everything is read into a scratch copy first; the current record changes only at the end.
    auto scratch = std::make_unique<DriverRecord>();
    if (size == shell::kDriverRecordBytes) {
        std::memcpy(scratch.get(), image.data(), sizeof(DriverRecord));
        shell::ValueRepairs repairs;
        if (!MendDriverRecord(*scratch, &repairs)) {
            Exclaim(owner, kNotRecognized);
            return 0;
        }
        *current = *scratch;
        RestoreBaffleFromRecord(*current);
        TellRepairs(owner, repairs);
        return 1;
    }

    *scratch = *current;
    if (size == kDravenicFileBytes) {
        platform::MessageBox(owner,
                             "Attempting To Import SPL Data From Dravenic Equalizer V1.0 File",
                             kCaption, platform::MB_OK | platform::MB_ICONEXCLAMATION);
    } else {
        float start = 0.0f;
        float stop = 0.0f;
        ForeignFrequencyRange(image.data(), size, &start, &stop);
        char text[128];
        std::snprintf(text, sizeof text,
                      "Attempting To Import SPL Data From Sonvexa V18 File: %.0fHz - %.0fHz",
                      static_cast<double>(start), static_cast<double>(stop));
        platform::MessageBox(owner, text, kCaption, platform::MB_OK | platform::MB_ICONEXCLAMATION);
    }
    shell::ValueRepairs repairs;
    if (!ConvertForeignDriver(image.data(), size, *scratch) ||
        !MendDriverRecord(*scratch, &repairs)) {
        Exclaim(owner, kNotRecognized);
        return 0;
    }
    *current = *scratch;
    TellRepairs(owner, repairs);
    // The record's calibration copies become the live curves, unless they hold nothing (a
    // foreign driver loaded before any native one): then the user's calibration stays.
    if (shell::MikeCalibrationCurve != nullptr && HoldsData(current->MikeCalibration)) {
        std::memcpy(shell::MikeCalibrationCurve, current->MikeCalibration,
                    sizeof current->MikeCalibration);
    }
    if (shell::PreampCalibrationCurve != nullptr && HoldsData(current->PreampCalibration)) {
        std::memcpy(shell::PreampCalibrationCurve, current->PreampCalibration,
                    sizeof current->PreampCalibration);
    }
    return 1;
}

int WriteDriverFile(HWND owner, const char* path) {
    DriverRecord* current = shell::CurrentDriverRecord;
    if (current == nullptr || path == nullptr) return 0;
    // The image is put together in a copy: a save that fails, or one the reader would refuse,
    // leaves the record as it was.
    auto image = std::make_unique<DriverRecord>(*current);
    image->PlotStartFrequencyIndex = shell::PlotStartFrequencyIndex;
    image->PlotStopFrequencyIndex = shell::PlotStopFrequencyIndex;
    if (shell::MikeCalibrationCurve != nullptr) {
        std::memcpy(image->MikeCalibration, shell::MikeCalibrationCurve,
                    sizeof image->MikeCalibration);
    }
    if (shell::PreampCalibrationCurve != nullptr) {
        std::memcpy(image->PreampCalibration, shell::PreampCalibrationCurve,
                    sizeof image->PreampCalibration);
    }
    if (!shell::DriverCurvesInRange(*image)) {
        Exclaim(owner, kDriverNotSaved);
        return 0;
    }
    CopyBaffleIntoRecord(*image);
    if (shell::WriteFileAtomic(path, image.get(), sizeof(DriverRecord)) != shell::FileStatus::kOk) {
        shell::ShowSaveFailure(owner, path, "driver");
        return 0;
    }
    *current = *image;
    MarkBaffleSaved();
    return 1;
}

void InitDriverFileDlg(HWND owner) {
    DriverFileDialog = platform::OPENFILENAME{};
    DriverFileDialog.lStructSize = sizeof(platform::OPENFILENAME);
    DriverFileDialog.hwndOwner = owner;
    DriverFileDialog.lpstrFilter =
        "Woofer Files (*.WFR)\0*.wfr\0"
        "UpperBass Files (*.UBA)\0*.uba\0"
        "Midrange Files (*.MRD)\0*.mrd\0"
        "Tweeter Files (*.TWE)\0*.twe\0"
        "S/Tweeter Files (*.STW)\0*.stw\0"
        "All Drivers (*.WFR;*.UBA;*.MRD;*.TWE;*.STW;)\0*.wfr;*.uba;*.mrd;*.twe;*.stw;\0\0";
    DriverFileDialog.nFilterIndex = 1;
    DriverFileDialog.nMaxFile = shell::kDirectorySlot;
    DriverFileDialog.nMaxFileTitle = 256;
    DriverFileDialog.lpstrDefExt = "*.*";
}

int OpenDriverFile(HWND owner, char* path, char* title) {
    const int chosen =
        shell::ChooseFile(DriverFileDialog, owner, path, title, shell::Chooser::kOpen);
    if (chosen != 1) return chosen;
    return ReadDriverFile(owner, path);
}

int SaveDriverFileAs(HWND owner, char* path, char* title) {
    const int chosen =
        shell::ChooseFile(DriverFileDialog, owner, path, title, shell::Chooser::kSave);
    if (chosen != 1) return chosen;
    return WriteDriverFile(owner, path);
}

}  // namespace driverdata
