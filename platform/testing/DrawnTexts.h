// A log of the texts the drawing layer draws into windows, for tests that check labels: where
// each text's ink lies, so that a test can tell two labels drawn on top of each other, or a label
// cut at its window's edge. UI thread only.
#pragma once

#include <vector>

#include "platform/ui/HostHooks.h"

namespace platform::testing {

// window (0 for a bitmap selected into a memory context), text as drawn, the glyphs' ink in the
// window's client coordinates, the window's client area (the bitmap's area) when it was drawn.
using DrawnText = DrawnTextRecord;

// Starts a new log (the old one is dropped) or stops logging; the log keeps what it has.
void RecordDrawnTexts(bool on);
// What was drawn since logging started, in drawing order. Texts without ink (blanks) and texts
// on printer pages are not logged.
const std::vector<DrawnText>& DrawnTexts();

}  // namespace platform::testing
