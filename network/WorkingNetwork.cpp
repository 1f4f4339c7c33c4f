#include "network/WorkingNetwork.h"

#include <cstring>

#include "network/EditorState.h"
#include "platform/ui/MessageBox.h"
#include "shell/NumberText.h"

namespace network {

namespace {

constexpr const char* kNoFileLoaded = "No File Loaded";
constexpr const char* kNoFileLoadedRearLeft = "No  File Loaded";  // two blanks, deliberately

// Member by member, all 64 slots of every table, whatever the counts say.
void CopyTables(NetworkTables& to, const NetworkTables& from) {
    to.WMatrixOrder = from.WMatrixOrder;
    to.WireCount = from.WireCount;
    to.ToolMode = from.ToolMode;
    to.ElementCount = from.ElementCount;
    shell::CopyNetworkArrays(to, from);
}

void ClearStore(int pane) {
    PaneStore& store = PaneStores[pane - 1];
    store.WMatrixOrder = 0;
    store.WireCount = 0;
    store.ToolMode = 0;
    store.ElementCount = 0;
    std::memset(store.SpareMatrix, 0, sizeof store.SpareMatrix);
    std::memset(store.JointGroup, 0, sizeof store.JointGroup);
    for (int e = 0; e < shell::kMaxElements; ++e) {
        ResetElementSlot(store, e, SlotDefaults::kPaneStore, ClearedTitleForPane(pane));
    }
    for (int w = 0; w < shell::kMaxWires; ++w) ResetWireSlot(store, w);
}

// Moves slot `from` of every per-element table into slot `to`.
void MoveElementSlot(NetworkTables& t, int to, int from) {
    std::memcpy(t.ElementParams[to], t.ElementParams[from], sizeof t.ElementParams[to]);
    t.ElementGeometry[to] = t.ElementGeometry[from];
    std::memcpy(t.ElementFileTitles[to], t.ElementFileTitles[from], shell::kFileTextSlot);
    std::memcpy(t.ElementFilePaths[to], t.ElementFilePaths[from], shell::kFileTextSlot);
    std::memcpy(t.ElementTransfer[to], t.ElementTransfer[from], sizeof t.ElementTransfer[to]);
    t.ElementDriverData[to] = t.ElementDriverData[from];
}

}  // namespace

const char* ClearedTitleForPane(int pane) {
    return pane == 4 ? kNoFileLoadedRearLeft : kNoFileLoaded;
}

void ResetElementSlot(NetworkTables& t, int e, SlotDefaults defaults, const char* title) {
    if (e < 0 || e >= shell::kMaxElements) return;
    float* p = t.ElementParams[e];
    for (int i = 0; i < shell::kElementParamCount; ++i) p[i] = 0.0f;
    if (defaults == SlotDefaults::kPaneStore) {
        p[shell::kParamF1] = 100.0f;
        p[shell::kParamF2] = 10000.0f;
    } else {
        p[shell::kParamF1] = 20.0f;
        p[shell::kParamF2] = 200.0f;
        p[shell::kParamGain] = 10.0f;
        p[shell::kParamBypass] = 0.0f;
    }
    p[shell::kParamFo] = 1000.0f;
    p[shell::kParamPlotFlag] = 1.0f;
    p[shell::kParamPolarity] = 1.0f;

    ElementGeometryRecord& g = t.ElementGeometry[e];
    std::memset(&g, 0, sizeof g);
    g.node1 = g.node2 = g.node3 = -1;

    std::memset(t.ElementFileTitles[e], 0, shell::kFileTextSlot);
    shell::CopyTextSlot(t.ElementFileTitles[e], shell::kFileTextSlot,
                        title != nullptr ? title : kNoFileLoaded);
    std::memset(t.ElementFilePaths[e], 0, shell::kFileTextSlot);
    for (auto& point : t.ElementTransfer[e]) point = shell::ComplexPoint{1.0f, 0.0f};
    ElementDriverBlock& d = t.ElementDriverData[e];
    for (int k = 0; k < shell::kGridPoints; ++k) {
        d.Spl[k] = 90.0f;
        d.Phase[k] = 0.0f;
        d.Real[k] = 1.0f;
        d.Imag[k] = 0.0f;
    }
    d.Efficiency = 90.0f;
}

void ResetWireSlot(NetworkTables& t, int w) {
    if (w < 0 || w >= shell::kMaxWires) return;
    std::memset(&t.Wire[w], 0, sizeof t.Wire[w]);
}

int AppendElement(NetworkTables& t, platform::HWND owner, std::int32_t kind, std::int32_t x1,
                  std::int32_t y1, std::int32_t x2, std::int32_t y2) {
    if (t.ElementCount < 0 || t.ElementCount >= shell::kMaxElements) {
        platform::MessageBox(owner, kElementTableFullText, kTableFullCaption,
                             platform::MB_OK | platform::MB_ICONEXCLAMATION);
        return -1;
    }
    const int e = t.ElementCount;
    ElementGeometryRecord& g = t.ElementGeometry[e];
    g.x1 = x1;
    g.y1 = y1;
    g.x2 = x2;
    g.y2 = y2;
    g.kind = kind;
    ++t.ElementCount;
    return e;
}

int AppendWire(NetworkTables& t, platform::HWND owner, std::int32_t x1, std::int32_t y1,
               std::int32_t x2, std::int32_t y2) {
    if (t.WireCount < 0 || t.WireCount >= shell::kMaxWires) {
        platform::MessageBox(owner, kWireTableFullText, kTableFullCaption,
                             platform::MB_OK | platform::MB_ICONEXCLAMATION);
        return -1;
    }
    const int w = t.WireCount;
    t.Wire[w] = WireRecord{x1, y1, x2, y2, 0, 0};
    ++t.WireCount;
    return w;
}

int RemoveElement(NetworkTables& t, int e, SlotDefaults defaults, const char* title) {
    if (e < 0 || e >= t.ElementCount || t.ElementCount > shell::kMaxElements) return 1;
    // Every slot above moves down, the unused ones too, as the editor has always done; the
    // vacated last slot gets the cleared defaults instead of keeping a copy of slot 62.
    for (int s = e; s < shell::kMaxElements - 1; ++s) MoveElementSlot(t, s, s + 1);
    ResetElementSlot(t, shell::kMaxElements - 1, defaults, title);
    --t.ElementCount;
    return 0;
}

int RemoveWire(NetworkTables& t, int w) {
    if (w < 0 || w >= t.WireCount || t.WireCount > shell::kMaxWires) return 1;
    for (int s = w; s < shell::kMaxWires - 1; ++s) t.Wire[s] = t.Wire[s + 1];
    ResetWireSlot(t, shell::kMaxWires - 1);
    --t.WireCount;
    return 0;
}

int SavePaneStore(int pane) {
    if (pane < 1 || pane > shell::kPaneCount) return 1;
    CopyTables(PaneStores[pane - 1], WorkingNetwork);
    return 0;
}

std::int32_t RestoredPane = 0;

int RestorePaneStore(int pane) {
    if (pane < 1 || pane > shell::kPaneCount) return 1;
    CopyTables(WorkingNetwork, PaneStores[pane - 1]);
    RestoredPane = pane;
    ShowToolInToolbox();  // the store brings back its own tool
    return 0;
}

int ClearPaneStore(int pane) {
    if (pane < 1 || pane > shell::kPaneCount) return 1;
    ClearStore(pane);
    return 0;
}

int SavePane1Store() { return SavePaneStore(1); }
int SavePane2Store() { return SavePaneStore(2); }
int SavePane3Store() { return SavePaneStore(3); }
int SavePane4Store() { return SavePaneStore(4); }
int SavePane5Store() { return SavePaneStore(5); }
int SavePane6Store() { return SavePaneStore(6); }
int SavePane7Store() { return SavePaneStore(7); }
int RestorePane1Store() { return RestorePaneStore(1); }
int RestorePane2Store() { return RestorePaneStore(2); }
int RestorePane3Store() { return RestorePaneStore(3); }
int RestorePane4Store() { return RestorePaneStore(4); }
int RestorePane5Store() { return RestorePaneStore(5); }
int RestorePane6Store() { return RestorePaneStore(6); }
int RestorePane7Store() { return RestorePaneStore(7); }
int ClearPane1Store() { return ClearPaneStore(1); }
int ClearPane2Store() { return ClearPaneStore(2); }
int ClearPane3Store() { return ClearPaneStore(3); }
int ClearPane4Store() { return ClearPaneStore(4); }
int ClearPane5Store() { return ClearPaneStore(5); }
int ClearPane6Store() { return ClearPaneStore(6); }
int ClearPane7Store() { return ClearPaneStore(7); }

}  // namespace network
