// The four measurement-file converters: "IMP File Converter", "LMS & LAUD File Converter",
// "CLIO/MLSSA File Converter" (preview, column choice, lines to skip) and "DAAS 32 File
// Converter [AudioCAD Format]" (frequency/value pairs, magnitude and phase in two runs). A
// conversion writes the current driver's SPL and phase and ends its dialog with 1. UI thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/Types.h"
#include "platform/ui/FileDialog.h"

namespace driverdata {

enum class Importer { kImp = 0, kLms = 1, kClio = 2, kDaas = 3 };

// Control identifiers of the converter dialogs.
inline constexpr int kPreviewArea = 7050;
inline constexpr int kEraseLinesEdit = 7051;
inline constexpr int kIncludeColumn1 = 7052;  // .. 7056
inline constexpr int kColumnCountEdit = 7057;
inline constexpr int kLengthReadout = 9000;
inline constexpr int kFrequencyReadout = 9001;
inline constexpr int kAmplitudeReadout = 9002;
inline constexpr int kPhaseReadout = 9003;
inline constexpr int kDelayEdit = 9005;
inline constexpr int kScaleEdit = 9006;
inline constexpr int kEfficiencyEdit = 9007;
inline constexpr int kPrintButton = 9008;
inline constexpr int kConvertButton = 9009;  // "Amplitude" / "Magnitude"
inline constexpr int kPhaseButton = 9012;    // DAAS "Phase"

// Largest measurement file a converter reads (a larger one is refused with its path).
inline constexpr std::size_t kMaxImportFileBytes = std::size_t{256} << 20;

// A delay, scale or efficiency typed so far out, or converted levels beyond 250 dB: the dialog
// stays open and the driver's curves are unchanged.
inline constexpr const char* kImportOutOfRange =
    "Converted Data Out Of Range: Check Delay, Scale And Efficiency";
// Message when the column choice cannot give frequency and level.
inline constexpr const char* kColumnChoiceMessage =
    "Include The Frequency And Amplitude Columns Within The Total Number of Columns (2...5)";

// A conversion that put no record (DAAS: no pair) into any FrequencyGrid bin: an empty file, one
// without numbers or without frequencies in the grid's range, or a column choice that does not fit
// it. The message names the file and the range; the dialog stays open and the driver's curves are
// unchanged.
std::string ImportNoDataMessage(Importer importer, const char* path);

extern platform::OPENFILENAME ImportDialogs[4];

void InitImpImportDlg(platform::HWND owner);
void InitLmsImportDlg(platform::HWND owner);
void InitClioImportDlg(platform::HWND owner);
void InitDaasImportDlg(platform::HWND owner);
// Open dialog, then Run...: 1 after a conversion, 0 after Cancel or a failure.
int OpenImpImportFile(platform::HWND owner, char* path, char* title);
int OpenLmsImportFile(platform::HWND owner, char* path, char* title);
int OpenClioImportFile(platform::HWND owner, char* path, char* title);
int OpenDaasImportFile(platform::HWND owner, char* path, char* title);
// Reads the file whole and runs the converter's modal dialog on it.
int RunImport(Importer importer, platform::HWND owner, const char* path);

// Dialog procedures of the templates ImportImpBox, ImportLmsBox, ImportClioBox, ImportDaasBox.
platform::INT_PTR ImportImpBoxDlgProc(platform::HWND dialog, platform::UINT message,
                                      platform::WPARAM wParam, platform::LPARAM lParam);
platform::INT_PTR ImportLmsBoxDlgProc(platform::HWND dialog, platform::UINT message,
                                      platform::WPARAM wParam, platform::LPARAM lParam);
platform::INT_PTR ImportClioBoxDlgProc(platform::HWND dialog, platform::UINT message,
                                       platform::WPARAM wParam, platform::LPARAM lParam);
platform::INT_PTR ImportDaasBoxDlgProc(platform::HWND dialog, platform::UINT message,
                                       platform::WPARAM wParam, platform::LPARAM lParam);

}  // namespace driverdata
