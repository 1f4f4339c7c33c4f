// Painting: invalid regions, BeginPaint/EndPaint, GetDC/ReleaseDC, and the window half of the
// drawing seam (backing images, their place on the screen, owned windows).

#include "platform/ui/Paint.h"

#include <QCoreApplication>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <vector>

#include "platform/internal/Surface.h"
#include "platform/ui/WindowTable.h"

namespace platform {

using ui::Find;
using ui::Window;

namespace {

RECT Clip(const RECT& r, const Window& w) {
    RECT out{std::max(0, r.left), std::max(0, r.top), std::min(ui::ClientWidth(w), r.right),
             std::min(ui::ClientHeight(w), r.bottom)};
    if (out.right < out.left) out.right = out.left;
    if (out.bottom < out.top) out.bottom = out.top;
    return out;
}

bool Empty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

RECT Union(const RECT& a, const RECT& b) {
    if (Empty(a)) return b;
    if (Empty(b)) return a;
    return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
}

}  // namespace

HDC BeginPaint(HWND hwnd, PAINTSTRUCT* ps) {
    Window* w = Find(hwnd);
    if (ps) *ps = PAINTSTRUCT{};
    if (!w || !ps) return HDC{};
    const RECT r = w->invalid ? Clip(w->invalid_rect, *w) : RECT{0, 0, 0, 0};
    const bool erase = w->invalid && w->erase;
    w->invalid = false;
    w->erase = false;
    w->painted = true;
    w->paint_rect = r;
    ps->rcPaint = r;
    if (!w->image) return HDC{};
    const HDC hdc = internal::CreateSurfaceDC(hwnd, w->image.get(), r);
    ps->hdc = hdc;
    if (erase && !SendMessage(hwnd, WM_ERASEBKGND, static_cast<WPARAM>(hdc.value), 0))
        ps->fErase = TRUE;
    return hdc;
}

BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* ps) {
    if (ps && ps->hdc) internal::DestroySurfaceDC(ps->hdc);
    if (!Find(hwnd)) return FALSE;
    internal::ImageChanged(hwnd);
    return TRUE;
}

HDC GetDC(HWND hwnd) {
    Window* w = Find(hwnd);
    if (!w || !w->image) return HDC{};
    // A static canvas due to be erased is erased before its owner draws on it again: what the
    // owner draws now must not be wiped by that erase afterwards.
    if (w->kind == ui::Kind::StaticCanvas && w->invalid && w->erase) {
        UpdateWindow(hwnd);
        w = Find(hwnd);
        if (!w || !w->image) return HDC{};
    }
    return internal::CreateSurfaceDC(hwnd, w->image.get(),
                                     RECT{0, 0, ui::ClientWidth(*w), ui::ClientHeight(*w)});
}

int ReleaseDC(HWND hwnd, HDC hdc) {
    if (hdc) internal::DestroySurfaceDC(hdc);
    if (!Find(hwnd)) return 0;
    internal::ImageChanged(hwnd);
    return 1;
}

BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase) {
    Window* w = Find(hwnd);
    if (!w || w->destroying) return FALSE;
    const RECT whole{0, 0, ui::ClientWidth(*w), ui::ClientHeight(*w)};
    const RECT r = rect ? Clip(*rect, *w) : whole;
    if (!w->image) {
        if (w->widget) w->widget->update();
    } else if (!Empty(r)) {
        w->invalid_rect = w->invalid ? Union(Clip(w->invalid_rect, *w), r) : r;
        w->invalid = true;
        if (erase) w->erase = true;
    }
    // A window that does not clip its children paints under them: what it invalidates is
    // invalid in the children there too, down to a window that clips its own.
    if (Empty(r) || (w->style & WS_CLIPCHILDREN)) return TRUE;
    for (HWND h : ui::Children(hwnd)) {
        const Window* c = Find(h);
        if (!c || c->destroying || !c->visible) continue;
        const int left = c->rect.left + c->insets.left;
        const int top = c->rect.top + c->insets.top;
        const RECT area{std::max(r.left, left) - left, std::max(r.top, top) - top,
                        std::min(r.right, left + ui::ClientWidth(*c)) - left,
                        std::min(r.bottom, top + ui::ClientHeight(*c)) - top};
        if (!Empty(area)) InvalidateRect(h, &area, erase);
    }
    return TRUE;
}

BOOL ValidateRect(HWND hwnd, const RECT* rect) {
    Window* w = Find(hwnd);
    if (!w) return FALSE;
    if (!rect) {
        w->invalid = false;
        w->erase = false;
    }
    return TRUE;
}

BOOL UpdateWindow(HWND hwnd) {
    Window* w = Find(hwnd);
    if (!w) return FALSE;
    if (!w->invalid || !IsWindowVisible(hwnd)) return TRUE;
    if (ui::IsLayerPainted(*w)) {
        ui::PaintLayerControl(*w);
        return TRUE;
    }
    w->painted = false;
    SendMessage(hwnd, WM_PAINT, 0, 0);
    if ((w = Find(hwnd)) && !w->painted) w->invalid = false;
    return TRUE;
}

BOOL GetUpdateRect(HWND hwnd, RECT* out, BOOL) {
    Window* w = Find(hwnd);
    if (!w) return FALSE;
    const RECT r = w->invalid ? Clip(w->invalid_rect, *w) : RECT{0, 0, 0, 0};
    if (out) *out = r;
    return Empty(r) ? FALSE : TRUE;
}

namespace internal {

QImage* WindowImage(HWND hwnd) {
    Window* w = Find(hwnd);
    if (!w || w->destroying) return nullptr;
    // A window without visible children shows exactly its backing image; one with children (the
    // frame with its MDI client, a dialog with its controls) shows them over it, so its image is
    // taken from the screen widgets.
    bool children_shown = false;
    for (HWND child : ui::Children(hwnd)) children_shown = children_shown || IsWindowVisible(child);
    if (w->image && !children_shown) return w->image.get();
    if (!w->widget) return nullptr;
    const int cw = std::max(1, ui::ClientWidth(*w));
    const int ch = std::max(1, ui::ClientHeight(*w));
    QImage whole(w->widget->size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    whole.fill(Qt::white);
    w->widget->render(&whole, QPoint(), QRegion(), QWidget::DrawChildren);
    w->grab = std::make_unique<QImage>(
        whole.copy(w->inner.left, w->inner.top, cw, ch).convertToFormat(QImage::Format_RGB32));
    return w->grab.get();
}

namespace {

// Windows whose backing image changed since the loop last ran: every line and point drawn marks
// its window, and the widgets are told once, when the loop runs again (as they would paint then
// anyway), so a plot of thousands of strokes costs no more than its drawing.
std::vector<HWND> changed_images;

void ShowChangedImages() {
    const std::vector<HWND> windows = std::move(changed_images);
    changed_images.clear();
    for (HWND h : windows)
        if (Window* w = Find(h); w && w->widget) w->widget->update();
}

}  // namespace

void ImageChanged(HWND hwnd) {
    // A plot marks its window once per stroke: the window marked last is the usual one.
    if (!changed_images.empty() && changed_images.back() == hwnd) return;
    Window* w = Find(hwnd);
    if (!w || !w->widget) return;
    QCoreApplication* app = QCoreApplication::instance();
    if (!app) {
        w->widget->update();
        return;
    }
    if (std::find(changed_images.begin(), changed_images.end(), hwnd) != changed_images.end())
        return;
    if (changed_images.empty()) QTimer::singleShot(0, app, &ShowChangedImages);
    changed_images.push_back(hwnd);
}

bool ClientRectOnScreen(HWND hwnd, RECT* out) {
    Window* w = Find(hwnd);
    if (!w || !out) return false;
    POINT origin{0, 0};
    ClientToScreen(hwnd, &origin);
    *out =
        RECT{origin.x, origin.y, origin.x + ui::ClientWidth(*w), origin.y + ui::ClientHeight(*w)};
    return true;
}

std::vector<HWND> VisibleOwnedWindows(HWND owner) {
    std::vector<HWND> out;
    if (!Find(owner)) return out;
    for (HWND h : ui::AllWindows()) {
        Window* w = Find(h);
        if (w && !w->parent && w->owner == owner && IsWindowVisible(h)) out.push_back(h);
    }
    return out;
}

}  // namespace internal
}  // namespace platform
