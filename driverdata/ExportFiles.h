// Curve text files: the SPL/phase export of the current driver's HBT response, the export of one
// of its calibration copies, and the readers of microphone and preamplifier calibration curves.
// One line per FrequencyGrid point: "<frequency>    <dB>    <degrees>  " CR LF, two decimals.
// UI thread only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/Types.h"
#include "platform/ui/FileDialog.h"
#include "shell/Curves.h"

namespace driverdata {

extern platform::OPENFILENAME ExportDialog;
extern platform::OPENFILENAME MikeCalFileDialog;
extern platform::OPENFILENAME PreampCalFileDialog;

// Largest part of a calibration file that is read (its head; later numbers are not needed).
inline constexpr std::size_t kMaxCalibrationFileBytes = 64u << 20;

void InitExportDlg(platform::HWND owner);
// Save dialog on ExportDialog, then the export. 1 when written.
int ExportSplPhaseAs(platform::HWND owner, char* path, char* title);
int ExportCalFileAs(platform::HWND owner, char* path, char* title);
// 1 when written whole, 0 otherwise; a failed write shows the path and that the SPL/phase
// export has not been saved, and why (shell::ShowSaveFailure), and keeps the previous file.
int ExportSplPhase(platform::HWND owner, const char* path);
// Writes the calibration copy that the MLS page selected (exactly one of MlsUseMikeCal and
// MlsUsePreampCal); with neither or both it names the path and writes nothing. A failed write
// says that the calibration curve has not been saved, and why.
int ExportCalFile(platform::HWND owner, const char* path);

void InitMikeCalFileDlg(platform::HWND owner);
void InitPreampCalFileDlg(platform::HWND owner);
int OpenMikeCalFile(platform::HWND owner, char* path, char* title);
int OpenPreampCalFile(platform::HWND owner, char* path, char* title);
// 1 when the live curve was filled, 0 when the file could not be read, does not hold a level and
// a phase for every point of the curve (CalibrationFileShortMessage) or its levels lie beyond the
// driver level bounds (kCalibrationFileOutOfRange); the curve is then unchanged.
int ReadMikeCalFile(platform::HWND owner, const char* path);
inline constexpr const char* kCalibrationFileOutOfRange =
    "Calibration Levels Out Of Range: Calibration NOT Changed";
int ReadPreampCalFile(platform::HWND owner, const char* path);
// The refusal of a calibration file that holds `held` of the 2000 points, naming the file.
std::string CalibrationFileShortMessage(const char* path, int held);

// One export line for frequency, level and phase.
std::string CurveLine(float frequency, float level, float phase);

// Reads 2000 (frequency, dB, degrees) triplets of a calibration text into `curve`: phases
// clamped to +-179.9 beyond +-180, pair 1999 = pair 1998, levels made 0 dB at the first grid bin
// above 1000 Hz (the last bin when the grid ends at or below 1000 Hz). A missing number or a token
// that is no number reads as 0. Returns how many of the 2000 triplets the text holds with a
// number for both level and phase: the readers take a text only when it holds all 2000.
int ParseCalibrationText(const std::uint8_t* data, std::size_t size,
                         shell::CalibrationPoint* curve);

}  // namespace driverdata
