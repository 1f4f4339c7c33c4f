// Device contexts over the backing images of windows: the drawing half of the painting seam.
#include "platform/gdi/Gdi.h"
#include "platform/gdi/Globals.h"
#include "platform/internal/Surface.h"

namespace platform::internal {

using namespace gdi;

HDC CreateSurfaceDC(HWND hwnd, QImage* image, const RECT& clip) {
    if (!image || image->isNull()) return {};
    if (image->format() != QImage::Format_RGB32) return {};
    HDC hdc{};
    DcObject& dc = NewDc(DcKind::Surface, hdc);
    dc.hwnd = hwnd;
    dc.image = image;
    if (clip.right > clip.left && clip.bottom > clip.top) {
        dc.clip = QRect(QPoint(clip.left, clip.top), QPoint(clip.right - 1, clip.bottom - 1))
                      .intersected(image->rect());
    }
    return hdc;
}

void DestroySurfaceDC(HDC hdc) {
    DcObject* dc = FindDc(hdc);
    if (dc && dc->kind == DcKind::Surface) EraseDc(hdc);
}

bool BrushColour(HBRUSH brush, COLORREF* out) {
    const BrushObject* b = FindBrush(brush);
    if (!b || b->hollow || !out) return false;
    *out = b->colour;
    return true;
}

}  // namespace platform::internal

namespace platform::gdi {

void NoteSurfaceDrawn(const DcObject& dc) {
    if (dc.kind == DcKind::Surface && dc.hwnd) internal::ImageChanged(dc.hwnd);
}

}  // namespace platform::gdi
