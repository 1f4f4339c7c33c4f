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
// a phase for every point of the curve (CalibrationFileShortMessage), its frequencies do not match
// the FrequencyGrid (CalibrationFileGridMessage) or its levels lie beyond the driver level bounds
// (kCalibrationFileOutOfRange); the curve is then unchanged.
int ReadMikeCalFile(platform::HWND owner, const char* path);
inline constexpr const char* kCalibrationFileOutOfRange =
    "Calibration Levels Out Of Range: Calibration NOT Changed";
int ReadPreampCalFile(platform::HWND owner, const char* path);
// The refusal of a calibration file that holds `held` of the 2000 points, naming the file.
std::string CalibrationFileShortMessage(const char* path, int held);
// The refusal of a calibration file whose frequencies do not match the grid, naming the file.
std::string CalibrationFileGridMessage(const char* path);

// One export line for frequency, level and phase.
std::string CurveLine(float frequency, float level, float phase);

// What a calibration text gave.
enum class CalibrationTextStatus {
    kRead,     // the curve is filled
    kShort,    // its frequencies follow the grid point by point, but `held` < 2000 points have a
               // level and a phase (a text cut short, a value that is no number, no number at all)
    kOffGrid,  // its frequencies neither follow the grid point by point nor span it rising
};
struct CalibrationTextResult {
    CalibrationTextStatus status;
    int held;  // points of the grid, counted by position, with a number for level and phase
};

// Reads a calibration text of (frequency, dB, degrees) triplets into the 2000 pairs of `curve`
// on the current FrequencyGrid. A text whose first 2000 frequencies are the grid's (within the
// two decimals of the export) is read by position; any other text whose frequencies rise and
// span the grid (each end within about two grid steps) is interpolated in log frequency, the
// phase unwrapped along the file. A text written on an even log-frequency grid (the export under
// another grid form, plot width or plot range) is interpolated at the frequencies it was written
// at, recovered from their two decimals, which can write neighbouring points as one frequency.
// Phases beyond +-180 read as +-179.9, pair 1999 = pair 1998, levels are made 0 dB at the first
// grid bin above 1000 Hz (the last bin when the grid ends at or below 1000 Hz). `curve` holds the
// result only when the status is kRead.
CalibrationTextResult ParseCalibrationText(const std::uint8_t* data, std::size_t size,
                                           shell::CalibrationPoint* curve);

}  // namespace driverdata
