// The pixel arithmetic of the drawing layer. See Raster.h.
#include "platform/gdi/Raster.h"

#include <algorithm>
#include <cstdlib>

#include "platform/gdi/Gdi.h"

namespace platform::gdi {
namespace {

std::int64_t Clamp64(std::int64_t v, std::int64_t lo, std::int64_t hi) {
    return v < lo ? lo : (v > hi ? hi : v);
}

}  // namespace

Target MakeTarget(QImage* image, const QRect& area, int rop2) {
    Target t{image, area, rop2};
    t.bits = reinterpret_cast<QRgb*>(image->bits());
    t.stride = image->bytesPerLine() / static_cast<qsizetype>(sizeof(QRgb));
    return t;
}

void PlotRun(const Target& t, int x0, int x1, int y, COLORREF colour) {
    if (x1 < x0) return;
    if (t.rop2 == R2_NOT || t.rop2 == R2_NOTXORPEN) {
        for (int x = x0; x <= x1; ++x) Plot(t, x, y, colour);
        return;
    }
    QRgb* line = t.bits + static_cast<qsizetype>(y) * t.stride;
    std::fill(line + x0, line + x1 + 1, ToRgb(colour));
}

Mask::Mask(const QRect& area) : area_(area) {
    if (!area_.isEmpty()) {
        bits_.assign(static_cast<std::size_t>(area_.width()) * area_.height(), 0);
    }
}

void Mask::Apply(const Target& t, COLORREF colour) const {
    if (area_.isEmpty()) return;
    for (int y = area_.top(); y <= area_.bottom(); ++y) {
        const std::uint8_t* row = &bits_[static_cast<std::size_t>(y - area_.top()) * area_.width()];
        for (int x = area_.left(); x <= area_.right(); ++x) {
            if (row[x - area_.left()]) Plot(t, x, y, colour);
        }
    }
}

std::vector<int> PenPattern(const PenObject& pen) {
    if (pen.width > 1) return {};
    switch (pen.style) {
        case PS_DASH:
            return {18, 6};
        case PS_DOT:
            return {3, 3};
        default:
            return {};
    }
}

void StampPen(Mask& mask, std::int64_t x, std::int64_t y, int width) {
    if (width <= 1) {
        mask.Set(x, y);
        return;
    }
    // Offsets -(w/2) .. (w-1)/2 around the centre pixel; the corners outside the circle of
    // diameter w (measured between pixel centres) stay off.
    const int lo = -(width / 2);
    const int hi = (width - 1) / 2;
    const double centre = (width % 2 == 0) ? 0.5 : 0.0;
    const double r2 = (width / 2.0) * (width / 2.0);
    for (int oy = lo; oy <= hi; ++oy) {
        for (int ox = lo; ox <= hi; ++ox) {
            const double fx = ox + centre;
            const double fy = oy + centre;
            if (fx * fx + fy * fy <= r2) mask.Set(x + ox, y + oy);
        }
    }
}

PointBounds BoundsOf(const POINT* points, int count) {
    PointBounds b{points[0].x, points[0].x, points[0].y, points[0].y};
    for (int i = 1; i < count; ++i) {
        b.min_x = std::min<std::int64_t>(b.min_x, points[i].x);
        b.max_x = std::max<std::int64_t>(b.max_x, points[i].x);
        b.min_y = std::min<std::int64_t>(b.min_y, points[i].y);
        b.max_y = std::max<std::int64_t>(b.max_y, points[i].y);
    }
    return b;
}

void StrokePolyline(const Target& t, const PenObject& pen, COLORREF bk_colour, bool opaque,
                    const POINT* points, int count, bool close) {
    if (pen.style == PS_NULL || count < 1 || t.area.isEmpty()) return;
    const int segments = close ? count : count - 1;
    if (pen.width <= 1) {
        const std::vector<int> pattern = PenPattern(pen);
        int period = 0;
        for (int run : pattern) period += run;
        std::int64_t phase = 0;
        for (int s = 0; s < segments; ++s) {
            const POINT& a = points[s];
            const POINT& b = points[(s + 1) % count];
            WalkLine(a.x, a.y, b.x, b.y, false, t.area, 0, &phase,
                     [&](std::int64_t x, std::int64_t y, std::int64_t step) {
                         if (!Holds(t.area, x, y)) return;
                         bool on = true;
                         if (period > 0) {
                             const std::int64_t k = step % period;
                             on = k < pattern[0];
                         }
                         if (on) {
                             Plot(t, static_cast<int>(x), static_cast<int>(y), pen.colour);
                         } else if (opaque) {
                             Plot(t, static_cast<int>(x), static_cast<int>(y), bk_colour);
                         }
                     });
        }
        return;
    }
    // Wide pens: one stroke with round ends and joins, each pixel combined once.
    const auto [min_x, max_x, min_y, max_y] = BoundsOf(points, count);
    const int m = pen.width;
    const std::int64_t l = Clamp64(min_x - m, t.area.left(), t.area.right() + 1);
    const std::int64_t r = Clamp64(max_x + m, t.area.left() - 1, t.area.right());
    const std::int64_t tp = Clamp64(min_y - m, t.area.top(), t.area.bottom() + 1);
    const std::int64_t b = Clamp64(max_y + m, t.area.top() - 1, t.area.bottom());
    if (l > r || tp > b) return;
    Mask mask(QRect(QPoint(static_cast<int>(l), static_cast<int>(tp)),
                    QPoint(static_cast<int>(r), static_cast<int>(b))));
    if (segments <= 0) {
        StampPen(mask, points[0].x, points[0].y, m);
    }
    for (int s = 0; s < segments; ++s) {
        const POINT& a = points[s];
        const POINT& e = points[(s + 1) % count];
        WalkLine(a.x, a.y, e.x, e.y, true, mask.Area(), m, nullptr,
                 [&](std::int64_t x, std::int64_t y, std::int64_t) { StampPen(mask, x, y, m); });
    }
    mask.Apply(t, pen.colour);
}

void PaintRegion(const Target& t, const Region& region, const PenObject* pen,
                 const BrushObject* brush) {
    const QRect box = region.box.intersected(t.area);
    if (box.isEmpty()) return;
    const bool outline = pen && pen->style != PS_NULL;
    const bool fill = brush && !brush->hollow;
    const int w = outline ? std::max(1, pen->width) : 0;
    // Membership of every pixel within `w` of the box, asked once each: the edge test of a
    // pixel looks at its neighbours up to `w` away.
    const std::int64_t left = static_cast<std::int64_t>(box.left()) - w;
    const std::int64_t top = static_cast<std::int64_t>(box.top()) - w;
    const std::int64_t columns = static_cast<std::int64_t>(box.width()) + 2 * w;
    const std::int64_t rows = static_cast<std::int64_t>(box.height()) + 2 * w;
    std::vector<std::uint8_t> inside(static_cast<std::size_t>(columns * rows));
    for (std::int64_t r = 0; r < rows; ++r)
        for (std::int64_t c = 0; c < columns; ++c)
            inside[static_cast<std::size_t>(r * columns + c)] = region.inside(left + c, top + r);
    auto in = [&](std::int64_t x, std::int64_t y) {
        return inside[static_cast<std::size_t>((y - top) * columns + (x - left))] != 0;
    };
    for (int y = box.top(); y <= box.bottom(); ++y) {
        for (int x = box.left(); x <= box.right(); ++x) {
            if (!in(x, y)) continue;
            bool edge = false;
            for (int k = 1; k <= w && !edge; ++k) {
                edge = !in(x - k, y) || !in(x + k, y) || !in(x, y - k) || !in(x, y + k);
            }
            if (edge) {
                if (!region.edge_part || region.edge_part(x, y)) Plot(t, x, y, pen->colour);
            } else if (fill && !region.edge_part) {
                Plot(t, x, y, brush->colour);
            }
        }
    }
}

void OutlineMask(Mask& mask, const PenObject& pen, const POINT* points, int count, bool close) {
    if (pen.style == PS_NULL || count < 1) return;
    const int segments = close ? count : count - 1;
    const bool wide = pen.width > 1;
    if (wide && segments <= 0) StampPen(mask, points[0].x, points[0].y, pen.width);
    for (int s = 0; s < segments; ++s) {
        const POINT& a = points[s];
        const POINT& e = points[(s + 1) % count];
        WalkLine(
            a.x, a.y, e.x, e.y, wide, mask.Area(), wide ? pen.width : 0, nullptr,
            [&](std::int64_t x, std::int64_t y, std::int64_t) { StampPen(mask, x, y, pen.width); });
    }
}

}  // namespace platform::gdi
