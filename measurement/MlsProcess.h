// The "Processing" page of the MLS control dialog: five complex buffers and a master buffer
// (shell::ProcessBufferTable) that combine measurements of one driver into one response. The
// user loads the driver curve into a buffer, sums the signed buffers into the master, merges two
// buffers at a frequency, adds a level, a delay or the baffle's edge diffraction to a buffer or
// to the driver curve, compares two buffers' phases and copies the master back into a buffer or
// into the driver record. GUI thread only.
//
// Buffer values are linear pressure relative to 90 dB on shell::FrequencyGrid: entry 2(n - 1) is
// the real part and entry 2(n - 1) + 1 the imaginary part of buffer n (1..5), entries 10 and 11
// the master (buffer 6), entry 12 the first unwrapped phase and entry 13 the phase difference of
// "Show Phase Difference". A buffer's visible flag and level pen are its real record's, its phase
// pen is its imaginary record's.
#pragma once

#include <cstdint>

#include "measurement/Ids.h"
#include "platform/Types.h"

namespace measurement {

inline constexpr const char* kMlsProcessTemplate = "TAB_MLS_Process";

inline constexpr int kProcessBufferCount = 5;  // buffers 1..5; 6 is the master
inline constexpr int kMasterBuffer = 6;
// Typed values beyond these are refused: a level step that keeps every value finite, a delay of
// at most a second.
inline constexpr double kMostAddDb = 200.0;
inline constexpr double kMostDelayMs = 1000.0;
// The merge frequency is raised to the lowest and limited to the highest [Hz].
inline constexpr double kLowestMergeHz = 1.0;
inline constexpr double kHighestMergeHz = 98686.90625;

// Per buffer 1..5: plus flag, minus flag (at most one of them 1); the sign is plus - minus.
extern std::int32_t ProcessBufferSigns[kProcessBufferCount][2];

// The page's texts, kept for the whole run (the sizes include the terminating zero).
extern char ProcessMergeSource1Text[5];
extern char ProcessMergeSource2Text[5];
extern char ProcessMergeFrequencyText[10];
extern char ProcessAddDbText[5];
extern char ProcessAddDbDestText[5];
extern char ProcessDelayMsText[8];
extern char ProcessDelayDestText[5];
extern char ProcessDiffractionDestText[13];
extern char ProcessCopyDestText[5];
extern char ProcessPhaseSource1Text[5];
extern char ProcessPhaseSource2Text[5];

// The five thumbnail controls of the open page (0 while it is closed).
extern platform::HWND ProcessThumbWindows[kProcessBufferCount];

// Signs and texts back to their start values (the buffers are not touched).
void ResetProcessPage();

// The operations. Each that can be refused shows its message (owned by the frame window,
// "QV Message") and returns false, changing nothing. Afterwards MLS_SPL_Child is invalidated and
// the thumbnails of the open page are redrawn.
void LoadDriverIntoBuffer(int n);    // "SPL -> Buffer n"
void ClearProcessBuffer(int n);      // "Clear Buffer n"
void SumSignedBuffers();             // "Execute Above -> Master Buffer"
bool MergeBuffers();                 // "Merge B" .. "and B" .. "at" .. "Hz"
bool AddDbToDestination();           // "Add" .. "dB to SPL in Buffer"
bool AddDelayToDestination();        // "Add" .. "ms delay to Buffer"
bool AddDiffractionToDestination();  // "Add Diffraction To" .. "Buffer"
// "Copy Master Buffer To" .. "Buffer"; `page` (may be 0) gets its Show Curve box ticked and the
// focus moved to the destination's thumbnail.
bool CopyMasterToDestination(platform::HWND page);
bool ShowPhaseDifference();  // "Show Phase Difference" "B" .. "-B"
void ClearProcessScreen();   // "Clear Screen": every buffer unit-valued and hidden

// The level of buffer n (1..5) as a line in thumbnail control `thumb`: half a pixel per dB, 90 dB
// at 15 pixels from the top, within 0..45.
void DrawProcessBufferThumb(platform::HWND thumb, int n);

platform::INT_PTR MlsProcessDlgProc(platform::HWND page, platform::UINT message,
                                    platform::WPARAM wParam, platform::LPARAM lParam);

}  // namespace measurement
