// Lines, shapes and pixels on a device context.
#include <algorithm>
#include <cmath>
#include <utility>

#include "platform/gdi/Gdi.h"
#include "platform/gdi/Globals.h"
#include "platform/gdi/Raster.h"

namespace platform {

using namespace gdi;

namespace {

constexpr double kTwoPi = 6.283185307179586;

// The drawing target of a context, or false when it has none.
bool TargetOf(HDC hdc, DcObject** dc_out, Target* target) {
    DcObject* dc = FindDc(hdc);
    if (!dc) return false;
    QRect area;
    QImage* image = DcImage(*dc, &area);
    if (!image) return false;
    *dc_out = dc;
    *target = MakeTarget(image, area, dc->rop2);
    return true;
}

// A pixel rectangle from (left, top) to (right, bottom) exclusive, in order; far coordinates are
// kept inside QRect's range (the area drawn is always far smaller).
QRect BoxOf(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom) {
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
    static constexpr std::int64_t kFar = 1 << 28;
    auto clamp = [](std::int64_t v) { return std::clamp<std::int64_t>(v, -kFar, kFar); };
    if (right <= left || bottom <= top) return {};
    return QRect(QPoint(static_cast<int>(clamp(left)), static_cast<int>(clamp(top))),
                 QPoint(static_cast<int>(clamp(right - 1)), static_cast<int>(clamp(bottom - 1))));
}

// Box of a shape: one pixel smaller on the right and bottom when the pen is null.
QRect ShapeBox(const DcObject& dc, int left, int top, int right, int bottom) {
    std::int64_t l = left, t = top, r = right, b = bottom;
    if (l > r) std::swap(l, r);
    if (t > b) std::swap(t, b);
    if (DcPen(dc).style == PS_NULL) {
        --r;
        --b;
    }
    return BoxOf(l, t, r, b);
}

// Inside test of the ellipse inscribed in `box`, by pixel centres.
bool InEllipse(double cx, double cy, double a, double b, double px, double py) {
    const double u = (px - cx) / a;
    const double v = (py - cy) / b;
    return u * u + v * v <= 1.0;
}

Region EllipseRegion(const QRect& box) {
    const double cx = box.left() + box.width() / 2.0;
    const double cy = box.top() + box.height() / 2.0;
    const double a = box.width() / 2.0;
    const double b = box.height() / 2.0;
    Region region;
    region.box = box;
    region.inside = [=](std::int64_t x, std::int64_t y) {
        if (!box.contains(static_cast<int>(x), static_cast<int>(y))) return false;
        return InEllipse(cx, cy, a, b, static_cast<double>(x) + 0.5, static_cast<double>(y) + 0.5);
    };
    return region;
}

}  // namespace

BOOL MoveToEx(HDC hdc, int x, int y, POINT* previous) {
    DcObject* dc = FindDc(hdc);
    if (!dc) return FALSE;
    if (previous) *previous = dc->position;
    dc->position = {x, y};
    return TRUE;
}

BOOL LineTo(HDC hdc, int x, int y) {
    DcObject* dc = nullptr;
    Target t{};
    if (!TargetOf(hdc, &dc, &t)) {
        if (DcObject* d = FindDc(hdc)) d->position = {x, y};
        return FALSE;
    }
    const POINT points[2] = {dc->position, {x, y}};
    StrokePolyline(t, DcPen(*dc), dc->bk_colour, dc->bk_mode == OPAQUE, points, 2, false);
    dc->position = {x, y};
    NoteSurfaceDrawn(*dc);
    return TRUE;
}

BOOL Polyline(HDC hdc, const POINT* points, int count) {
    DcObject* dc = nullptr;
    Target t{};
    if (!points || count < 2 || !TargetOf(hdc, &dc, &t)) return FALSE;
    StrokePolyline(t, DcPen(*dc), dc->bk_colour, dc->bk_mode == OPAQUE, points, count, false);
    NoteSurfaceDrawn(*dc);
    return TRUE;
}

BOOL Polygon(HDC hdc, const POINT* points, int count) {
    DcObject* dc = nullptr;
    Target t{};
    if (!points || count < 2 || !TargetOf(hdc, &dc, &t)) return FALSE;
    const PenObject& pen = DcPen(*dc);
    const BrushObject& brush = DcBrush(*dc);
    const auto [min_x, max_x, min_y, max_y] = BoundsOf(points, count);
    const int m = pen.width + 1;
    const QRect area =
        BoxOf(min_x - m, min_y - m, max_x + m + 1, max_y + m + 1).intersected(t.area);
    if (area.isEmpty()) return TRUE;
    if (!brush.hollow) {
        // Alternate rule on pixel centres; pixels the outline covers are left to the pen.
        Mask outline(area);
        OutlineMask(outline, pen, points, count, true);
        std::vector<double> crossings;
        for (int y = area.top(); y <= area.bottom(); ++y) {
            const double py = y + 0.5;
            crossings.clear();
            for (int i = 0; i < count; ++i) {
                const POINT& a = points[i];
                const POINT& b = points[(i + 1) % count];
                if (a.y == b.y) continue;
                const double lo = std::min(a.y, b.y);
                const double hi = std::max(a.y, b.y);
                if (py < lo || py >= hi) continue;
                crossings.push_back(a.x + (py - a.y) * (static_cast<double>(b.x) - a.x) /
                                              (static_cast<double>(b.y) - a.y));
            }
            std::sort(crossings.begin(), crossings.end());
            for (std::size_t k = 0; k + 1 < crossings.size(); k += 2) {
                const double from = std::max<double>(crossings[k] - 0.5, area.left());
                const double to = std::min<double>(crossings[k + 1] - 0.5, area.right() + 1);
                for (int x = static_cast<int>(std::ceil(from)); x < to; ++x) {
                    if (pen.style != PS_NULL && outline.Test(x, y)) continue;
                    Plot(t, x, y, brush.colour);
                }
            }
        }
    }
    StrokePolyline(t, pen, dc->bk_colour, dc->bk_mode == OPAQUE, points, count, true);
    NoteSurfaceDrawn(*dc);
    return TRUE;
}

BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom) {
    DcObject* dc = nullptr;
    Target t{};
    if (!TargetOf(hdc, &dc, &t)) return FALSE;
    // Backgrounds are filled this way at every paint: the edge test is direct here.
    const QRect box = ShapeBox(*dc, left, top, right, bottom);
    const QRect visible = box.intersected(t.area);
    const PenObject& pen = DcPen(*dc);
    const BrushObject& brush = DcBrush(*dc);
    const int w = pen.style == PS_NULL ? 0 : std::max(1, pen.width);
    const bool styled = !PenPattern(pen).empty();  // dotted or dashed edges: stroked below
    // Each row in runs: the left edge, the inside, the right edge (which starts after the left
    // one when the box is narrower than its two edges).
    const int inside_left = box.left() + w;
    const int inside_right = box.right() - w;
    const int right_edge = std::max(inside_right + 1, inside_left);
    for (int y = visible.top(); y <= visible.bottom() && !visible.isEmpty(); ++y) {
        const bool edge_row = y < box.top() + w || y > box.bottom() - w;
        if (edge_row) {
            if (!styled) PlotRun(t, visible.left(), visible.right(), y, pen.colour);
            continue;
        }
        if (!styled) {
            PlotRun(t, visible.left(), std::min(visible.right(), inside_left - 1), y, pen.colour);
            PlotRun(t, std::max(visible.left(), right_edge), visible.right(), y, pen.colour);
        }
        if (!brush.hollow)
            PlotRun(t, std::max(visible.left(), inside_left),
                    std::min(visible.right(), inside_right), y, brush.colour);
    }
    if (styled && !box.isEmpty()) {
        const POINT corners[4] = {{box.left(), box.top()},
                                  {box.right(), box.top()},
                                  {box.right(), box.bottom()},
                                  {box.left(), box.bottom()}};
        StrokePolyline(t, pen, dc->bk_colour, dc->bk_mode == OPAQUE, corners, 4, true);
    }
    NoteSurfaceDrawn(*dc);
    return TRUE;
}

BOOL RoundRect(HDC hdc, int left, int top, int right, int bottom, int ellipseWidth,
               int ellipseHeight) {
    DcObject* dc = nullptr;
    Target t{};
    if (!TargetOf(hdc, &dc, &t)) return FALSE;
    const QRect box = ShapeBox(*dc, left, top, right, bottom);
    if (box.isEmpty()) return TRUE;
    const double rx = std::min(std::abs(ellipseWidth) / 2.0, box.width() / 2.0);
    const double ry = std::min(std::abs(ellipseHeight) / 2.0, box.height() / 2.0);
    const double l = box.left(), tp = box.top();
    const double r = box.left() + box.width(), b = box.top() + box.height();
    Region region;
    region.box = box;
    region.inside = [=](std::int64_t x, std::int64_t y) {
        if (!box.contains(static_cast<int>(x), static_cast<int>(y))) return false;
        if (rx <= 0 || ry <= 0) return true;
        const double px = static_cast<double>(x) + 0.5;
        const double py = static_cast<double>(y) + 0.5;
        const double cx = px < l + rx ? l + rx : (px > r - rx ? r - rx : px);
        const double cy = py < tp + ry ? tp + ry : (py > b - ry ? b - ry : py);
        if (cx == px || cy == py) return true;
        return InEllipse(cx, cy, rx, ry, px, py);
    };
    PaintRegion(t, region, &DcPen(*dc), &DcBrush(*dc));
    NoteSurfaceDrawn(*dc);
    return TRUE;
}

BOOL Ellipse(HDC hdc, int left, int top, int right, int bottom) {
    DcObject* dc = nullptr;
    Target t{};
    if (!TargetOf(hdc, &dc, &t)) return FALSE;
    const QRect box = ShapeBox(*dc, left, top, right, bottom);
    if (!box.isEmpty()) PaintRegion(t, EllipseRegion(box), &DcPen(*dc), &DcBrush(*dc));
    NoteSurfaceDrawn(*dc);
    return TRUE;
}

BOOL Arc(HDC hdc, int left, int top, int right, int bottom, int xStart, int yStart, int xEnd,
         int yEnd) {
    DcObject* dc = nullptr;
    Target t{};
    if (!TargetOf(hdc, &dc, &t)) return FALSE;
    const QRect box = BoxOf(left, top, right, bottom);
    if (box.isEmpty()) return TRUE;
    Region region = EllipseRegion(box);
    const double cx = box.left() + box.width() / 2.0;
    const double cy = box.top() + box.height() / 2.0;
    // Angles counter-clockwise as the eye sees them (y grows downwards).
    auto angle = [=](double x, double y) {
        const double a = std::atan2(-(y - cy), x - cx);
        return a < 0 ? a + kTwoPi : a;
    };
    const double start = angle(xStart, yStart);
    double sweep = angle(xEnd, yEnd) - start;
    if (sweep <= 0) sweep += kTwoPi;
    region.edge_part = [=](std::int64_t x, std::int64_t y) {
        double d = angle(static_cast<double>(x) + 0.5, static_cast<double>(y) + 0.5) - start;
        if (d < 0) d += kTwoPi;
        return d <= sweep;
    };
    PaintRegion(t, region, &DcPen(*dc), nullptr);
    NoteSurfaceDrawn(*dc);
    return TRUE;
}

COLORREF SetPixel(HDC hdc, int x, int y, COLORREF colour) {
    DcObject* dc = nullptr;
    Target t{};
    if (!TargetOf(hdc, &dc, &t) || !Holds(t.area, x, y)) return CLR_INVALID;
    t.rop2 = R2_COPYPEN;
    Plot(t, x, y, colour);
    NoteSurfaceDrawn(*dc);
    return colour & 0xFFFFFF;
}

COLORREF GetPixel(HDC hdc, int x, int y) {
    DcObject* dc = nullptr;
    Target t{};
    if (!TargetOf(hdc, &dc, &t) || !t.area.contains(x, y)) return CLR_INVALID;
    return FromRgb(reinterpret_cast<const QRgb*>(t.image->constScanLine(y))[x]);
}

int FillRect(HDC hdc, const RECT* rect, HBRUSH brush) {
    DcObject* dc = nullptr;
    Target t{};
    const BrushObject* b = FindBrush(brush);
    if (!rect || !b || !TargetOf(hdc, &dc, &t)) return 0;
    if (b->hollow) return 1;
    const QRect box = BoxOf(rect->left, rect->top, rect->right, rect->bottom).intersected(t.area);
    t.rop2 = R2_COPYPEN;
    for (int y = box.top(); y <= box.bottom() && !box.isEmpty(); ++y)
        PlotRun(t, box.left(), box.right(), y, b->colour);
    NoteSurfaceDrawn(*dc);
    return 1;
}

BOOL DrawFocusRect(HDC hdc, const RECT* rect) {
    DcObject* dc = nullptr;
    Target t{};
    if (!rect || !TargetOf(hdc, &dc, &t)) return FALSE;
    const QRect box = BoxOf(rect->left, rect->top, rect->right, rect->bottom);
    if (box.isEmpty()) return TRUE;
    t.rop2 = R2_NOT;
    // Every other pixel of the edge, by the parity of its position, each pixel once.
    auto dot = [&](int x, int y) {
        if (((x + y) & 1) == 0 && t.area.contains(x, y)) Plot(t, x, y, 0);
    };
    const QRect visible = box.intersected(t.area.adjusted(-1, -1, 1, 1));
    for (int x = visible.left(); x <= visible.right(); ++x) {
        dot(x, box.top());
        if (box.bottom() != box.top()) dot(x, box.bottom());
    }
    for (int y = std::max(box.top() + 1, visible.top());
         y <= std::min(box.bottom() - 1, visible.bottom()); ++y) {
        dot(box.left(), y);
        if (box.right() != box.left()) dot(box.right(), y);
    }
    NoteSurfaceDrawn(*dc);
    return TRUE;
}

}  // namespace platform
