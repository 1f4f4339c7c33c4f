// The seam between windows (ui/) and fonts (gdi/): dialogs draw their controls with a font made by
// CreateFont and size them from its metrics. Only platform/ includes this header.
#pragma once

#include <QFont>

#include "platform/Types.h"

namespace platform::internal {

// The Qt font behind a font handle; the system font for a stale handle.
QFont FontOf(HFONT font);
bool FontExists(HFONT font);

// A dialog's base units in the font: cx the average width of the letters "A" to "Z" and "a" to
// "z", rounded to a whole pixel; cy the cell height. A dialog unit is cx / 4 across and cy / 8
// down.
SIZE FontBaseUnits(HFONT font);

}  // namespace platform::internal
