// Placeholder device contexts until the drawing layer fills them in.
#include "platform/internal/Surface.h"

namespace platform::internal {

HDC CreateSurfaceDC(HWND, QImage*, const RECT&) { return HDC{}; }
void DestroySurfaceDC(HDC) {}
bool BrushColour(HBRUSH, COLORREF*) { return false; }

}  // namespace platform::internal
