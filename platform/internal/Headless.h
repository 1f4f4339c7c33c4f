// Whether the layer runs unattended, with nobody at the screen: dialogs, message boxes, file
// choosers and the printer dialog are not shown and wait for nobody; the host's hooks
// (ui/HostHooks.h) answer them, or their defaults do.
#pragma once

namespace platform::internal {

bool Headless();
void SetHeadless(bool on);

}  // namespace platform::internal
