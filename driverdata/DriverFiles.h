// Driver files: the raw 103,344-byte image of the current DriverRecord, and the two older
// 750-point layouts that the reader converts onto FrequencyGrid. Every read goes into a scratch
// record that is checked and mended before it replaces the current one, so a file that is
// refused changes nothing. UI thread only.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/Types.h"
#include "platform/ui/FileDialog.h"
#include "shell/DriverRecord.h"

namespace driverdata {

inline constexpr std::size_t kDravenicFileBytes = 2155455;
inline constexpr std::size_t kSonvexaFileBytes = 2155504;
inline constexpr int kForeignPoints = 750;

// Offsets inside the two foreign layouts.
inline constexpr std::size_t kForeignEfficiency = 0x44D;
inline constexpr std::size_t kForeignSpl = 0x6FC;
inline constexpr std::size_t kForeignPhase = 0x12B4;
inline constexpr std::size_t kForeignReal = 0x1E6C;
inline constexpr std::size_t kForeignImag = 0x2A24;
inline constexpr std::size_t kForeignDistance = 0x64CC;
inline constexpr std::size_t kForeignDistanceInPhase = 0x6AD4;
inline constexpr std::size_t kForeignDistanceInAmplitude = 0x6AD8;
inline constexpr std::size_t kForeignStartIndex = 0x7108;  // Sonvexa only
inline constexpr std::size_t kForeignStopIndex = 0x710C;   // Sonvexa only
inline constexpr std::size_t kForeignMikeCal = 0x20B3AC;   // Sonvexa only, {dB, deg}[750]
inline constexpr std::size_t kForeignPreampCal = 0x20CB1C;
inline constexpr std::size_t kForeignEfficiencyField = 11;  // the text slot it fills
static_assert(kForeignPreampCal + kForeignPoints * 8 <= kSonvexaFileBytes);

// The shared open/save dialog description of driver files.
extern platform::OPENFILENAME DriverFileDialog;

void InitDriverFileDlg(platform::HWND owner);
// Open dialog, then ReadDriverFile. Returns the dialog's result when cancelled.
int OpenDriverFile(platform::HWND owner, char* path, char* title);
// Save dialog, then WriteDriverFile.
int SaveDriverFileAs(platform::HWND owner, char* path, char* title);

// 1 when the current record was filled, 0 otherwise (after its own message).
int ReadDriverFile(platform::HWND owner, const char* path);
// 1 when the file was written whole, 0 otherwise: a failed write shows the path, that the
// driver has not been saved and why (shell::ShowSaveFailure), and keeps the previous file. A record
// whose curves the reader would refuse is not written (kDriverNotSaved); the file stays as it was.
int WriteDriverFile(platform::HWND owner, const char* path);
inline constexpr const char* kDriverNotSaved = "Driver Curves Out Of Range: Driver File NOT Saved";

// Mends a record just read: terminates every text slot, puts counts, indices and flags back in
// range and gives a text the tools read as a number its default only when it is no finite
// number (a text such as "0" stays as the file has it); the distances must be above 0. Each
// kind of value replaced is noted in `repairs` (when given). false when the curves hold values
// outside shell::DriverCurvesInRange (not numbers, or levels and responses no driver has): such
// a file is not a driver file.
bool MendDriverRecord(shell::DriverRecord& record, shell::ValueRepairs* repairs = nullptr);

// Converts a foreign image (either size) into `record` on the current FrequencyGrid: curves,
// efficiency, distance and its two flags (and for the larger layout the calibration copies).
// false when the image's curves are not finite numbers.
bool ConvertForeignDriver(const std::uint8_t* image, std::size_t size, shell::DriverRecord& record);

// Start and stop frequency of a foreign image: 10 Hz .. 50 kHz for the smaller layout, from its
// two indices for the larger (an index outside 0..7 counts as 10 Hz, respectively 50 kHz).
void ForeignFrequencyRange(const std::uint8_t* image, std::size_t size, float* start, float* stop);

// Largest baffle coordinate a record may carry (raster units).
inline constexpr float kMaxBaffleCoordinate = 1.0e6f;

// The grid bin rule of the foreign conversion: each FrequencyGrid bin takes the first source
// point whose frequency lies strictly above the bin's; bins at or above the last source point
// and the last three bins take the last point. `target` receives 2000 values of `source` (750).
void ResampleForeignCurve(const float* source, float start_hz, float stop_hz, float* target);

// The live baffle from the record's copy (after a native read), and the copy from the live
// baffle (before a write); after a write the live baffle shows driver 1 and hides the
// microphone's flag and the first five edge points' flags.
void RestoreBaffleFromRecord(const shell::DriverRecord& record);
void CopyBaffleIntoRecord(shell::DriverRecord& record);
void MarkBaffleSaved();

}  // namespace driverdata
