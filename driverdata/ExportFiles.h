// Curve text files: the SPL/phase export of the current driver's HBT response, the export of one
// of its calibration copies, and the readers of microphone and preamplifier calibration curves.
// The exports write one line per FrequencyGrid point: "<frequency>    <dB>    <degrees>  " CR LF,
// two decimals.
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
// 1 when the live curve was filled; 0 when the file could not be read or was refused (its message
// names why: CalibrationFileShortMessage, CalibrationFileLayoutMessage,
// CalibrationFileOrderMessage, kCalibrationFileOutOfRange); the curve is then unchanged.
int ReadMikeCalFile(platform::HWND owner, const char* path);
inline constexpr const char* kCalibrationFileOutOfRange =
    "Calibration Levels Out Of Range: Calibration NOT Changed";
int ReadPreampCalFile(platform::HWND owner, const char* path);
// The refusal of a calibration file on the grid that holds `held` of the 2000 points (an export
// cut short), naming the file.
std::string CalibrationFileShortMessage(const char* path, int held);
// The refusal of a text whose lines of numbers are no calibration (counts that differ or are not
// 2 or 3, decimal commas, something after a number that is not one, fewer than two lines), naming
// the file.
std::string CalibrationFileLayoutMessage(const char* path);
// The refusal of a calibration file whose frequencies fall or repeat, naming the file.
std::string CalibrationFileOrderMessage(const char* path);

// One export line for frequency, level and phase.
std::string CurveLine(float frequency, float level, float phase);

// What a calibration text gave.
enum class CalibrationTextStatus {
    kRead,        // the curve is filled
    kShort,       // an export on the grid, cut short: `held` of the 2000 points have a level and
                  // a phase
    kLayout,      // its lines of numbers are no calibration
    kNotRising,   // its frequencies fall or repeat
    kOutOfRange,  // a number beyond single precision
};
struct CalibrationTextResult {
    CalibrationTextStatus status;
    int held;  // points of the grid with a number for level and phase (kShort)
};

// Reads a calibration text into the 2000 pairs of `curve` on the current FrequencyGrid. A line
// with only numbers on it is a point: frequency in Hz, level in dB and, in a file of three
// columns, phase in degrees (0 in a file of two); lines that start with words (headers, a quoted
// sensitivity line, comments) are not read. A line that starts with a number and holds anything
// that is not one (another minus sign, "nan", a comment after the numbers) refuses the text
// (kLayout). Every point line holds the same count of numbers, and the frequencies rise from line
// to line, also on the lines after an export's 2000 (kNotRising); a first point at exactly 0 Hz
// (the DC bin an FFT tool writes) is left out.
// A text in the export's layout whose first 2000 frequencies are the grid's (within the export's
// two decimals) is read by position, and refused when it stops short (kShort). Any other text is
// interpolated in log frequency at the frequencies it holds, the phase unwrapped along the file,
// also where it covers only part of the grid: beyond its first and last points the grid takes
// their values. A text written on an even log-frequency grid (the export under another grid form,
// plot width or plot range) is read at the frequencies it was written at, recovered from their
// two decimals, which can write neighbouring points as one frequency; one on the grid's own step
// that keeps one end of the grid and stops short of the other is an export cut short (kShort).
// Phases beyond +-180 read as +-179.9, pair 1999 = pair 1998, levels are made 0 dB at the first
// grid bin above 1000 Hz (the last bin when the grid ends at or below 1000 Hz). `curve` holds the
// result only when the status is kRead.
CalibrationTextResult ParseCalibrationText(const std::uint8_t* data, std::size_t size,
                                           shell::CalibrationPoint* curve);

}  // namespace driverdata
