// The pixel arithmetic of the drawing layer: lines, pen stamps, shape regions and raster modes,
// written pixel by pixel so that every machine puts every pixel in the same place.
// Coordinates are 64-bit while they are computed, so nothing far outside the image wraps.
// Only platform/gdi includes this header.
#pragma once

#include <QImage>
#include <QRect>
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/Types.h"
#include "platform/gdi/Globals.h"

namespace platform::gdi {

// Where and how a primitive draws: the image, the rectangle it may touch, the raster mode.
struct Target {
    QImage* image;
    QRect area;  // inside the image
    int rop2;
};

// Combines `colour` with one pixel by the raster mode. The pixel must lie inside target.area.
void Plot(const Target& t, int x, int y, COLORREF colour);
// Plot for the pixels x0..x1 (inclusive) of row y; nothing when x1 < x0.
void PlotRun(const Target& t, int x0, int x1, int y, COLORREF colour);

// A set of pixels of one primitive, so that overlapping pen stamps combine with the image once.
class Mask {
  public:
    explicit Mask(const QRect& area);  // area: the pixels the primitive may touch
    void Set(std::int64_t x, std::int64_t y);
    bool Test(int x, int y) const;
    // Applies `colour` by the raster mode to every pixel set.
    void Apply(const Target& t, COLORREF colour) const;
    const QRect& Area() const { return area_; }

  private:
    QRect area_;
    std::vector<std::uint8_t> bits_;
};

// Dash pattern of a pen: lengths of on and off runs, starting with on. Empty: solid.
std::vector<int> PenPattern(const PenObject& pen);

// Walks a line in pixel steps from (x0, y0) towards (x1, y1); the end point is visited only when
// `include_end`. Only the steps whose pixels can lie within `area` expanded by `margin` are
// visited, so a line from far away costs no more than its visible part. `phase` counts the
// pixels walked before (for dash patterns) and is advanced by the line's full length.
void WalkLine(std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1, bool include_end,
              const QRect& area, int margin, std::int64_t* phase,
              const std::function<void(std::int64_t x, std::int64_t y, std::int64_t step)>& visit);

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
