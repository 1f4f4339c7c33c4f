// The three windows of the MLS tool: the modeless dialog "TAB_MLS_Control" with its tab pages
// ("MLS" the acquisition page, "Processing" the post-processing page), the frequency-domain view
// MLS_SPL_Child with its three "TAB_MLS_Spl" plot pages, and the impulse view MLS_IMP_Child with
// its scroll bar, clickable time axis and keyboard stepping of the impulse start bin. UI thread.
#pragma once

#include <cstdint>

#include "measurement/Ids.h"
#include "platform/Types.h"
#include "platform/ui/Messages.h"

namespace measurement {

inline constexpr const char* kMlsControlTemplate = "TAB_MLS_Control";
inline constexpr const char* kMlsAcquireTemplate = "TAB_MLS_Acquire";
inline constexpr const char* kMlsSplPageTemplate = "TAB_MLS_Spl";

extern platform::HWND MlsControlTab;
extern platform::HWND MlsControlPage;
extern platform::HWND MlsSplTab;
extern platform::HWND MlsSplPage;
// 0 "SPL + Phase", 1 "Mike + Preamp", 2 "Post Processing".
extern std::int32_t MlsSplPageIndex;

platform::INT_PTR MlsControlDlgProc(platform::HWND, platform::UINT, platform::WPARAM,
                                    platform::LPARAM);
platform::LRESULT MlsSplChildWndProc(platform::HWND, platform::UINT, platform::WPARAM,
                                     platform::LPARAM);
platform::LRESULT MlsImpChildWndProc(platform::HWND, platform::UINT, platform::WPARAM,
                                     platform::LPARAM);
platform::INT_PTR MlsSplDlgProc(platform::HWND, platform::UINT, platform::WPARAM, platform::LPARAM);
platform::INT_PTR MlsCalDlgProc(platform::HWND, platform::UINT, platform::WPARAM, platform::LPARAM);
platform::INT_PTR MlsPostDlgProc(platform::HWND, platform::UINT, platform::WPARAM,
                                 platform::LPARAM);

// The impulse view's click (x, y in the message) and key handlers.
void OnMlsImpClick(platform::HWND view, platform::LPARAM lparam);
void OnMlsImpKey(platform::HWND view, platform::WPARAM key);

// Sent to the open control page when the shared MLS settings have changed under it: the page
// shows them as they now stand.
inline constexpr platform::UINT kMlsSettingsChangedMessage = platform::WM_USER + 2;

// The open control page, if any, shows the shared MLS settings as they now stand (the room
// equalizer sets some of them).
void ShowMlsSettings();

// Shows page `index` (0..2) of the SPL view when it is open: selects its tab and switches.
void ShowMlsSplPage(int index);

// Forgets the windows' handles and view state (tests).
void ResetMlsWindows();

}  // namespace measurement
