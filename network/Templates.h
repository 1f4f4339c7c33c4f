// System Design templates: emptying all pane stores, clearing the WorkingNetwork with the
// template defaults, and the seven N-way stereo crossover builders. The caller saves the result
// into the target panes' stores and writes the port numbers. UI thread only; all return 0.
#pragma once

namespace network {

int ClearAllPaneStores();
int ClearWorkingNetwork();
int Build2WayTemplate();
int Build3WayTemplate();
int Build4WayTemplate();
int Build5WayTemplate();
int Build6WayTemplate();
int Build7WayTemplate();
int Build8WayTemplate();

// Builder for 2..8 ways; other values do nothing and return 1.
int BuildWayTemplate(int ways);

}  // namespace network
