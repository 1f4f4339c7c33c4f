// The "Copy Speaker Control" dialog (template "QUORVEX_LINEARIZER_COPY_SPEAKER"): copies one
// channel's whole network from its pane store into the stores of the chosen target channels.
// Opened modally from the toolbox's Copy Speaker button. UI thread only.
#pragma once

#include <cstdint>

#include "network/EditorState.h"
#include "platform/Types.h"

namespace network {

inline constexpr const char* kCopySpeakerTemplateName = "QUORVEX_LINEARIZER_COPY_SPEAKER";
inline constexpr int kCopySpeakerChannels = 7;
inline constexpr int kFirstSourceRadio = 4950;  // 4950..4956, flag index 0..6
inline constexpr int kFirstTargetRadio = 4960;  // 4960..4966, flag index 7..13

// The pane of each flag index: the dialog lists Subwoofer 2 (pane 7) before Rear Right (pane 6).
inline constexpr int kCopySpeakerPanes[kCopySpeakerChannels] = {1, 2, 3, 4, 5, 7, 6};

// CopySpeakerFlags as they were when the dialog opened; Cancel puts them back.
extern std::int32_t CopySpeakerFlagsBackup[kCopySpeakerFlagCount];

// Ends with 1 for Done and for the close box, 0 for Cancel.
platform::INT_PTR CopySpeakerDlgProc(platform::HWND dialog, platform::UINT message,
                                     platform::WPARAM wParam, platform::LPARAM lParam);

}  // namespace network
