#include "network/EditorState.h"

#include <initializer_list>

#include "network/Ids.h"
#include "network/PaneDrawing.h"
#include "network/PaneEditor.h"
#include "network/WorkingNetwork.h"
#include "platform/ui/Paint.h"
#include "platform/ui/Window.h"
#include "shell/FrameGlobals.h"

namespace network {

std::int32_t ActivePane = 0;
std::int32_t& ToolMode = shell::WorkingNetwork.ToolMode;
std::int32_t PendingElementKind = 0;
std::int32_t ElementPending = 0;
std::int32_t WireDragActive = 0;
std::int32_t SelectedElement = 0;
platform::HWND PaneWindows[shell::kPaneCount];
std::int32_t ShowNodes = 0;
std::int32_t ShowRaster = 0;

std::int32_t CopySpeakerFlags[kCopySpeakerFlagCount];

void SetActivePane(int pane) {
    const int previous = ActivePane;
    ActivePane = pane;
    if (previous == pane) return;
    for (const int k : {previous, pane}) {
        if (k < 1 || k > shell::kPaneCount) continue;
        const platform::HWND window = PaneWindows[k - 1];
        if (platform::IsWindow(window)) platform::InvalidateRect(window, nullptr, platform::TRUE);
    }
}

void DeactivatePanes() {
    SetActivePane(0);
    ToolMode = kToolDraw;
    ElementPending = 0;
    WireDragActive = 0;
}

void ShowToolInToolbox() {
    if (platform::IsWindow(shell::ComponentCADSelectionDialog)) {
        UpdateToolButtons(shell::ComponentCADSelectionDialog);
    }
}

void DeactivatePanesAfterLoad() {
    DeactivatePanes();
    ShowToolInToolbox();
}

void ResetEditorState() {
    ActivePane = 0;
    RestoredPane = 0;
    PendingElementKind = 0;
    ElementPending = 0;
    WireDragActive = 0;
    SelectedElement = 0;
    for (auto& pane : PaneWindows) pane = 0;
    ShowNodes = 0;
    ShowRaster = 0;
    for (auto& flag : CopySpeakerFlags) flag = 0;
    ResetPaneDragState();
}

}  // namespace network
