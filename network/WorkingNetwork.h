// Operations on the WorkingNetwork and the seven PaneStores (tables in shell/NetworkTables.h):
// save, restore and clear per pane, and the bounded append/remove helpers the pane editor uses.
// UI thread only.
#pragma once

#include <cstdint>

#include "platform/Types.h"
#include "shell/NetworkTables.h"

namespace network {

using shell::ElementDriverBlock;
using shell::ElementGeometryRecord;
using shell::NetworkTables;
using shell::PaneStore;
using shell::PaneStores;
using shell::PaneToolModes;
using shell::WireRecord;
using shell::WorkingNetwork;

// Copy the whole WorkingNetwork into store k (pane k = 1..7); return 0.
int SavePane1Store();
int SavePane2Store();
int SavePane3Store();
int SavePane4Store();
int SavePane5Store();
int SavePane6Store();
int SavePane7Store();
// Copy store k whole into the WorkingNetwork, ToolMode included; return 0.
int RestorePane1Store();
int RestorePane2Store();
int RestorePane3Store();
int RestorePane4Store();
int RestorePane5Store();
int RestorePane6Store();
int RestorePane7Store();
// Empty store k with the pane-store defaults; return 0.
int ClearPane1Store();
int ClearPane2Store();
int ClearPane3Store();
int ClearPane4Store();
int ClearPane5Store();
int ClearPane6Store();
int ClearPane7Store();

// The same by pane number 1..7 (other numbers do nothing and return 1).
int SavePaneStore(int pane);
int RestorePaneStore(int pane);

// The pane whose store was last restored into the WorkingNetwork (1..7), or 0 while it holds no
// pane's network (at start-up, after ClearWorkingNetwork). A load that deactivates the panes
// leaves it: the tables still hold the channel whose curves are on show.
extern std::int32_t RestoredPane;
int ClearPaneStore(int pane);

// Which defaults an element slot gets when it is cleared or vacated.
enum class SlotDefaults {
    kPaneStore,       // a cleared pane store: F1 100 Hz, F2 10000 Hz (title per pane)
    kWorkingNetwork,  // ClearWorkingNetwork: F1 20 Hz, F2 200 Hz, gain 10
};

// Resets element slot e (all six per-element tables) / wire slot w to the cleared defaults.
// `title` is the file title the slot gets ("No File Loaded" unless a store says otherwise).
void ResetElementSlot(NetworkTables& tables, int e, SlotDefaults defaults, const char* title);
void ResetWireSlot(NetworkTables& tables, int w);

// Caption and texts of the editor's refusals when a table is full.
inline constexpr const char* kTableFullCaption = "Splitter Window";
inline constexpr const char* kElementTableFullText =
    "No more room: a channel holds at most 64 elements.";
inline constexpr const char* kWireTableFullText = "No more room: a channel holds at most 64 wires.";

// Appends an element (its slot keeps the parameters, names and curves the slot holds) and
// returns its slot; when 64 elements exist already, shows kElementTableFullText (owner may be 0)
// and returns -1 without changing anything.
int AppendElement(NetworkTables& tables, platform::HWND owner, std::int32_t kind, std::int32_t x1,
                  std::int32_t y1, std::int32_t x2, std::int32_t y2);
// Appends a wire; -1 and kWireTableFullText when 64 wires exist already.
int AppendWire(NetworkTables& tables, platform::HWND owner, std::int32_t x1, std::int32_t y1,
               std::int32_t x2, std::int32_t y2);
// Removes element e, moving the slots above it down by one (all six tables, all 64 slots), and
// resets the vacated last slot to `defaults`; returns 0, or 1 when e is not in use.
int RemoveElement(NetworkTables& tables, int e, SlotDefaults defaults, const char* title);
// Removes wire w, moving the slots above it down, and resets the vacated last slot; 0 / 1.
int RemoveWire(NetworkTables& tables, int w);

// The file title a cleared slot of pane k (1..7) carries: "No File Loaded", and for Rear-Left
// (pane 4) "No  File Loaded" with two blanks.
const char* ClearedTitleForPane(int pane);

}  // namespace network
