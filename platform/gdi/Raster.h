// The pixel arithmetic of the drawing layer: lines, pen stamps, shape regions and raster modes,
// written pixel by pixel so that every machine puts every pixel in the same place.
// Coordinates are 64-bit while they are computed, so nothing far outside the image wraps.
// Only platform/gdi includes this header.
#pragma once

#include <QImage>
#include <QRect>
#include <algorithm>
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/Types.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/Globals.h"

namespace platform::gdi {

__extension__ typedef __int128 LineProduct;  // products of two 33-bit coordinate differences

// Where and how a primitive draws: the image, the rectangle it may touch, the raster mode, and
// the image's pixels (32 bits each), taken once so that a pixel costs an index, not a lookup.
struct Target {
    QImage* image;
    QRect area;  // inside the image
    int rop2;
    QRgb* bits = nullptr;
    qsizetype stride = 0;  // pixels per row
};

// The target of `image` (32 bits per pixel); the image is detached here, once per primitive.
Target MakeTarget(QImage* image, const QRect& area, int rop2);

// True when (x, y) lies inside `r`.
inline bool Holds(const QRect& r, std::int64_t x, std::int64_t y) {
    return x >= r.left() && x <= r.right() && y >= r.top() && y <= r.bottom();
}

// Combines `colour` with one pixel by the raster mode. The pixel must lie inside target.area.
inline void Plot(const Target& t, int x, int y, COLORREF colour) {
    QRgb& p = t.bits[static_cast<qsizetype>(y) * t.stride + x];
    switch (t.rop2) {
        case R2_NOT:
            p = 0xFF000000u | (~p & 0x00FFFFFFu);
            break;
        case R2_NOTXORPEN:
            p = 0xFF000000u | (~(p ^ ToRgb(colour)) & 0x00FFFFFFu);
            break;
        default:
            p = ToRgb(colour);
            break;
    }
}
// Plot for the pixels x0..x1 (inclusive) of row y; nothing when x1 < x0.
void PlotRun(const Target& t, int x0, int x1, int y, COLORREF colour);

// A set of pixels of one primitive, so that overlapping pen stamps combine with the image once.
class Mask {
  public:
    explicit Mask(const QRect& area);  // area: the pixels the primitive may touch
    void Set(std::int64_t x, std::int64_t y) {
        if (Holds(area_, x, y)) bits_[Index(x, y)] = 1;
    }
    bool Test(int x, int y) const { return Holds(area_, x, y) && bits_[Index(x, y)] != 0; }
    // Applies `colour` by the raster mode to every pixel set.
    void Apply(const Target& t, COLORREF colour) const;
    const QRect& Area() const { return area_; }

  private:
    std::size_t Index(std::int64_t x, std::int64_t y) const {
        return static_cast<std::size_t>(y - area_.top()) * static_cast<std::size_t>(area_.width()) +
               static_cast<std::size_t>(x - area_.left());
    }
    QRect area_;
    std::vector<std::uint8_t> bits_;
};

// Dash pattern of a pen: lengths of on and off runs, starting with on. Empty: solid.
std::vector<int> PenPattern(const PenObject& pen);

// Walks a line in pixel steps from (x0, y0) towards (x1, y1); the end point is visited only when
// `include_end`. Only the steps whose pixels can lie within `area` expanded by `margin` are
// visited, so a line from far away costs no more than its visible part. `phase` counts the
// pixels walked before (for dash patterns) and is advanced by the line's full length.
// Step i of n puts the minor coordinate at minor0 + i * dminor / n rounded to the nearest
// integer, halves upward; the quotient is carried from step to step with its remainder, so the
// walk divides once per line and lands on exactly those pixels.
template <typename Visit>  // void visit(std::int64_t x, std::int64_t y, std::int64_t step)
void WalkLine(std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1, bool include_end,
              const QRect& area, int margin, std::int64_t* phase, Visit&& visit) {
    const std::int64_t dx = x1 - x0;
    const std::int64_t dy = y1 - y0;
    const bool x_major = (dx < 0 ? -dx : dx) >= (dy < 0 ? -dy : dy);
    const std::int64_t n = x_major ? (dx < 0 ? -dx : dx) : (dy < 0 ? -dy : dy);
    const std::int64_t start_phase = phase ? *phase : 0;
    if (phase) *phase += n;
    const std::int64_t last = include_end ? n : n - 1;
    if (last < 0) return;

    // Steps whose major coordinate lies within the area (widened by the margin).
    const std::int64_t major0 = x_major ? x0 : y0;
    const std::int64_t dir = (x_major ? dx : dy) < 0 ? -1 : 1;
    const std::int64_t lo = (x_major ? area.left() : area.top()) - margin;
    const std::int64_t hi = (x_major ? area.right() : area.bottom()) + margin;
    std::int64_t i_first = 0;
    std::int64_t i_last = last;
    if (dir > 0) {
        i_first = std::max<std::int64_t>(i_first, lo - major0);
        i_last = std::min<std::int64_t>(i_last, hi - major0);
    } else {
        i_first = std::max<std::int64_t>(i_first, major0 - hi);
        i_last = std::min<std::int64_t>(i_last, major0 - lo);
    }
    if (i_first > i_last) return;
    const std::int64_t minor_lo = (x_major ? area.top() : area.left()) - margin;
    const std::int64_t minor_hi = (x_major ? area.bottom() : area.right()) + margin;
    const std::int64_t minor0 = x_major ? y0 : x0;
    const std::int64_t dminor = x_major ? dy : dx;
    // offset = floor((2 i dminor + n) / 2n), kept as offset and remainder in [0, 2n).
    const std::int64_t den = 2 * n;
    std::int64_t offset = 0;
    std::int64_t remainder = 0;
    if (n != 0) {
        const LineProduct start = 2 * static_cast<LineProduct>(i_first) * dminor + n;
        LineProduct q = start / den;
        if (start % den != 0 && start < 0) --q;
        offset = static_cast<std::int64_t>(q);
        remainder = static_cast<std::int64_t>(start - q * den);
    }
    const std::int64_t advance = 2 * dminor;  // |advance| <= den
    for (std::int64_t i = i_first; i <= i_last; ++i) {
        const std::int64_t major = major0 + dir * i;
        const std::int64_t minor = minor0 + offset;
        if (n != 0) {
            remainder += advance;
            if (remainder >= den) {
                remainder -= den;
                ++offset;
            } else if (remainder < 0) {
                remainder += den;
                --offset;
            }
        }
        if (minor < minor_lo || minor > minor_hi) continue;
        if (x_major) {
            visit(major, minor, start_phase + i);
        } else {
            visit(minor, major, start_phase + i);
        }
    }
}

// Stamps a round pen tip of `width` pixels centred on (x, y) into the mask.
void StampPen(Mask& mask, std::int64_t x, std::int64_t y, int width);

// The smallest box holding `count` >= 1 points, edges included, in 64-bit coordinates.
struct PointBounds {
    std::int64_t min_x, max_x, min_y, max_y;
};
PointBounds BoundsOf(const POINT* points, int count);

// Draws the segments of a polyline with a pen: 1-pixel pens segment by segment (each end point
// excluded, the dash pattern running on), wider pens as one stroke with round ends and joins.
void StrokePolyline(const Target& t, const PenObject& pen, COLORREF bk_colour, bool opaque,
                    const POINT* points, int count, bool close);

// A shape as a membership test on pixels, inside its bounding box.
struct Region {
    QRect box;  // the pixels that can belong (clipped to the area drawn)
    std::function<bool(std::int64_t x, std::int64_t y)> inside;
    // When set, only the edge pixels it accepts are drawn (arcs); the inner part is not filled.
    std::function<bool(std::int64_t x, std::int64_t y)> edge_part;
};

// Fills a region's inner part with the brush and its edge (pixels within `pen width` of the
// outside) with the pen, one combination per pixel. `outline` false: fill only.
void PaintRegion(const Target& t, const Region& region, const PenObject* pen,
                 const BrushObject* brush);

// The pixels a pen covers along a polyline, within `area`.
void OutlineMask(Mask& mask, const PenObject& pen, const POINT* points, int count, bool close);

}  // namespace platform::gdi
