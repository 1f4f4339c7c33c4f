#include "shell/NetworkTables.h"

namespace shell {

// Static: about 27 MB that must never be on a stack.
NetworkTables WorkingNetwork;
PaneStore PaneStores[kPaneCount];
std::int32_t PaneToolModes[kPaneCount];

}  // namespace shell
