// Whether the layer runs under the test harness: dialogs, message boxes and file choosers are
// then answered by script instead of waiting for a person.
#pragma once

namespace platform::internal {

bool Headless();
void SetHeadless(bool on);

}  // namespace platform::internal
