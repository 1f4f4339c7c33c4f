// Rectangles, rounded rectangles, ellipses, polygons and arcs: extents, outlines and fills.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/platform/gdi/Canvas.h"

namespace {

using namespace platform::test;

constexpr COLORREF kPen = RGB(0, 0, 192);
constexpr COLORREF kFill = RGB(0, 255, 255);

struct Pens {
    explicit Pens(HDC dc, int width = 1, bool null_pen = false) : dc_(dc) {
        pen_ = null_pen ? GetStockObject(NULL_PEN) : CreatePen(PS_SOLID, width, kPen);
        brush_ = CreateSolidBrush(kFill);
        old_pen_ = SelectObject(dc, pen_);
        old_brush_ = SelectObject(dc, brush_);
    }
    ~Pens() {
        SelectObject(dc_, old_pen_);
        SelectObject(dc_, old_brush_);
        DeleteObject(pen_);
        DeleteObject(brush_);
    }
    HDC dc_;
    HPEN pen_, old_pen_;
    HBRUSH brush_, old_brush_;
};

struct BoxCase {
    int l, t, r, b;
};

TEST(GdiShapes, RectangleExtentsOutlineAndFill) {
    const BoxCase cases[] = {{2, 3, 10, 8}, {10, 8, 2, 3}, {0, 0, 16, 12}, {5, 5, 7, 7}};
    for (const BoxCase& k : cases) {
        Canvas c(16, 12);
        Pens p(c.dc());
        Rectangle(c.dc(), k.l, k.t, k.r, k.b);
        const int l = std::min(k.l, k.r), r = std::max(k.l, k.r);
        const int t = std::min(k.t, k.b), b = std::max(k.t, k.b);
        for (int y = 0; y < 12; ++y) {
            for (int x = 0; x < 16; ++x) {
                COLORREF want = kWhite;
                if (x >= l && x < r && y >= t && y < b) {
                    const bool edge = x == l || x == r - 1 || y == t || y == b - 1;
                    want = edge ? kPen : kFill;
                }
                EXPECT_EQ(c.At(x, y), want) << "rectangle " << k.l << "," << k.t << "," << k.r
                                            << "," << k.b << " at " << x << "," << y;
            }
        }
    }
}

// Thick edges on boxes narrower than their two edges are all edge; an inverting draw touches
// every pixel of the box once (an edge and the inside never overlap).
TEST(GdiShapes, ThickEdgesNarrowBoxesAndInvertingDrawsTouchEachPixelOnce) {
    const BoxCase boxes[] = {
        {2, 2, 5, 9}, {1, 1, 4, 4}, {0, 0, 14, 10}, {3, 2, 9, 3}, {4, 1, 13, 7}};
    for (int w : {1, 2, 3, 5}) {
        for (const BoxCase& k : boxes) {
            Canvas c(14, 10);
            Canvas inverted(14, 10);
            {
                Pens p(c.dc(), w);
                Rectangle(c.dc(), k.l, k.t, k.r, k.b);
                Pens q(inverted.dc(), w);
                SetROP2(inverted.dc(), R2_NOT);
                Rectangle(inverted.dc(), k.l, k.t, k.r, k.b);
            }
            for (int y = 0; y < 10; ++y) {
                for (int x = 0; x < 14; ++x) {
                    const bool inside = x >= k.l && x < k.r && y >= k.t && y < k.b;
                    const bool edge =
                        x < k.l + w || x > k.r - 1 - w || y < k.t + w || y > k.b - 1 - w;
                    const COLORREF want = !inside ? kWhite : edge ? kPen : kFill;
                    EXPECT_EQ(c.At(x, y), want)
                        << "pen " << w << " box " << k.l << "," << k.t << "," << k.r << "," << k.b
                        << " at " << x << "," << y;
                    EXPECT_EQ(inverted.At(x, y), inside ? kBlack : kWhite)
                        << "inverted, pen " << w << " box " << k.l << "," << k.t << " at " << x
                        << "," << y;
                }
            }
        }
    }
}

TEST(GdiShapes, RectangleWithNullPenFillsOnePixelLess) {
    Canvas c(12, 12);
    Pens p(c.dc(), 1, true);
    Rectangle(c.dc(), 2, 2, 9, 8);
    const RECT e = c.Extent(kWhite);
    EXPECT_EQ(e.left, 2);
    EXPECT_EQ(e.top, 2);
    EXPECT_EQ(e.right, 8);
    EXPECT_EQ(e.bottom, 7);
    EXPECT_EQ(c.CountNot(kWhite), 6 * 5);
    EXPECT_EQ(c.At(2, 2), kFill);
}

TEST(GdiShapes, DottedRectangleEdge) {
    Canvas c(14, 10, RGB(9, 9, 9));
    HPEN pen = CreatePen(PS_DOT, 1, kPen);
    SelectObject(c.dc(), pen);
    SelectObject(c.dc(), GetStockObject(HOLLOW_BRUSH));
    SetBkMode(c.dc(), TRANSPARENT);
    Rectangle(c.dc(), 1, 1, 14, 9);
    // The edge runs clockwise from the top-left corner: 3 on, 3 off along the top row.
    for (int x = 1; x < 14; ++x) {
        const bool on = ((x - 1) % 6) < 3;
        EXPECT_EQ(c.At(x, 1), on ? kPen : RGB(9, 9, 9)) << "top edge x " << x;
    }
    EXPECT_EQ(c.At(5, 5), RGB(9, 9, 9)) << "hollow inside";
    SelectObject(c.dc(), GetStockObject(BLACK_PEN));
    DeleteObject(pen);
}

TEST(GdiShapes, HollowBrushDrawsOutlineOnly) {
    Canvas c(10, 10, RGB(9, 9, 9));
    HPEN pen = CreatePen(PS_SOLID, 1, kPen);
    SelectObject(c.dc(), pen);
    SelectObject(c.dc(), GetStockObject(HOLLOW_BRUSH));
    Rectangle(c.dc(), 1, 1, 9, 9);
    EXPECT_EQ(c.At(4, 4), RGB(9, 9, 9));
    EXPECT_EQ(c.CountNot(RGB(9, 9, 9)), 28);
    SelectObject(c.dc(), GetStockObject(BLACK_PEN));
    DeleteObject(pen);
}

TEST(GdiShapes, EllipseExtentsSymmetryAndFill) {
    const BoxCase cases[] = {{2, 2, 14, 10}, {1, 3, 6, 8}, {0, 0, 16, 16}, {3, 1, 13, 15}};
    for (const BoxCase& k : cases) {
        Canvas c(16, 16);
        Pens p(c.dc());
        Ellipse(c.dc(), k.l, k.t, k.r, k.b);
        const RECT e = c.Extent(kWhite);
        const std::string what = "ellipse " + std::to_string(k.l) + "," + std::to_string(k.t) +
                                 "," + std::to_string(k.r) + "," + std::to_string(k.b) +
                                 c.Dump(kPen);
        EXPECT_EQ(e.left, k.l) << what;
        EXPECT_EQ(e.top, k.t) << what;
        EXPECT_EQ(e.right, k.r) << "right edge exclusive: " << what;
        EXPECT_EQ(e.bottom, k.b) << "bottom edge exclusive: " << what;
        EXPECT_EQ(c.At(k.l, k.t), kWhite) << "corner outside: " << what;
        EXPECT_EQ(c.At(k.r - 1, k.b - 1), kWhite) << "corner outside: " << what;
        EXPECT_EQ(c.At((k.l + k.r) / 2, (k.t + k.b) / 2), kFill) << "centre filled: " << what;
        // Mirror symmetry about both axes of the box.
        for (int y = k.t; y < k.b; ++y) {
            for (int x = k.l; x < k.r; ++x) {
                EXPECT_EQ(c.At(x, y), c.At(k.l + k.r - 1 - x, y)) << x << "," << y << what;
                EXPECT_EQ(c.At(x, y), c.At(x, k.t + k.b - 1 - y)) << x << "," << y << what;
            }
        }
    }
}

TEST(GdiShapes, SmallDotEllipseIsRound) {
    // The dots at terminals: a box of 5 x 5 around the point.
    Canvas c(9, 9);
    Pens p(c.dc());
    Ellipse(c.dc(), 2, 2, 7, 7);
    EXPECT_EQ(c.At(4, 4), kFill);
    EXPECT_EQ(c.At(4, 2), kPen);
    EXPECT_EQ(c.At(2, 4), kPen);
    EXPECT_EQ(c.At(2, 2), kWhite);
    EXPECT_EQ(c.At(6, 6), kWhite);
}

TEST(GdiShapes, RoundRectCornersAndEdges) {
    Canvas c(24, 20);
    Pens p(c.dc());
    RoundRect(c.dc(), 2, 3, 22, 18, 8, 6);
    const RECT e = c.Extent(kWhite);
    EXPECT_EQ(e.left, 2);
    EXPECT_EQ(e.top, 3);
    EXPECT_EQ(e.right, 22);
    EXPECT_EQ(e.bottom, 18);
    EXPECT_EQ(c.At(12, 3), kPen) << "top edge middle";
    EXPECT_EQ(c.At(2, 10), kPen) << "left edge middle";
    EXPECT_EQ(c.At(21, 10), kPen) << "right edge middle";
    EXPECT_EQ(c.At(12, 17), kPen) << "bottom edge middle";
    EXPECT_EQ(c.At(2, 3), kWhite) << "rounded corner" << c.Dump(kPen);
    EXPECT_EQ(c.At(21, 17), kWhite) << "rounded corner";
    EXPECT_EQ(c.At(12, 10), kFill);
    // Zero corners give a plain rectangle.
    Canvas d(10, 10);
    Pens q(d.dc());
    RoundRect(d.dc(), 1, 1, 9, 9, 0, 0);
    EXPECT_EQ(d.At(1, 1), kPen);
    EXPECT_EQ(d.At(8, 8), kPen);
}

TEST(GdiShapes, PolygonAlternateFill) {
    // A five-pointed star drawn in one stroke: its centre pentagon is crossed twice and stays
    // empty under the alternate rule, its points are filled.
    Canvas c(41, 41);
    Pens p(c.dc(), 1, true);
    POINT star[5];
    for (int i = 0; i < 5; ++i) {
        const double a = -1.5707963267948966 + i * 2 * 2 * 3.141592653589793 / 5;
        star[i] = {static_cast<std::int32_t>(std::lround(20 + 19 * std::cos(a))),
                   static_cast<std::int32_t>(std::lround(20 + 19 * std::sin(a)))};
    }
    Polygon(c.dc(), star, 5);
    EXPECT_EQ(c.At(20, 21), kWhite) << "centre of the star stays empty" << c.Dump(kFill);
    EXPECT_EQ(c.At(20, 6), kFill) << "upper point is filled";
    EXPECT_EQ(c.At(2, 2), kWhite);
}

TEST(GdiShapes, PolygonFillAndOutline) {
    Canvas c(12, 12);
    Pens p(c.dc());
    const POINT tri[] = {{1, 1}, {10, 1}, {1, 10}};
    Polygon(c.dc(), tri, 3);
    EXPECT_EQ(c.At(1, 1), kPen);
    EXPECT_EQ(c.At(5, 1), kPen);
    EXPECT_EQ(c.At(1, 5), kPen);
    EXPECT_EQ(c.At(3, 3), kFill);
    EXPECT_EQ(c.At(9, 9), kWhite);
    // Under not-xor, the fill and the outline combine once per pixel: drawing twice restores.
    Canvas d(12, 12);
    d.Scramble(5);
    const std::vector<COLORREF> before = d.Pixels();
    Pens q(d.dc());
    SetROP2(d.dc(), R2_NOTXORPEN);
    Polygon(d.dc(), tri, 3);
    EXPECT_NE(d.Pixels(), before);
    Polygon(d.dc(), tri, 3);
    EXPECT_EQ(d.Pixels(), before);
}

TEST(GdiShapes, ArcDrawsOnlyItsPart) {
    // From the right end counter-clockwise to the top: the upper-right quarter only.
    Canvas c(21, 21);
    Pens p(c.dc());
    Arc(c.dc(), 0, 0, 21, 21, 21, 10, 10, 0);
    EXPECT_GT(c.CountNot(kWhite), 10);
    for (int y = 0; y < 21; ++y) {
        for (int x = 0; x < 21; ++x) {
            if (c.At(x, y) == kWhite) continue;
            EXPECT_EQ(c.At(x, y), kPen) << "arcs do not fill";
            EXPECT_TRUE(x >= 10 && y <= 10)
                << "pixel outside the quarter: " << x << "," << y << c.Dump(kPen);
        }
    }
    // Equal start and end rays draw the whole outline.
    Canvas whole(21, 21);
    Pens q(whole.dc());
    Arc(whole.dc(), 0, 0, 21, 21, 21, 10, 21, 10);
    Canvas ellipse(21, 21);
    Pens r(ellipse.dc());
    SelectObject(ellipse.dc(), GetStockObject(NULL_BRUSH));
    Ellipse(ellipse.dc(), 0, 0, 21, 21);
    EXPECT_EQ(whole.Pixels(), ellipse.Pixels());
}

TEST(GdiShapes, FarShapesAreClipped) {
    Canvas c(16, 16);
    Pens p(c.dc());
    Rectangle(c.dc(), -2000000000, -2000000000, 2000000000, 2000000000);
    EXPECT_EQ(c.CountNot(kFill), 0) << "only the inside of a huge rectangle shows";
    Canvas d(16, 16);
    Pens q(d.dc());
    Ellipse(d.dc(), -1000000, -1000000, 1000000, 1000000);
    EXPECT_EQ(d.CountNot(kFill), 0);
    Canvas e(16, 16);
    Pens r(e.dc());
    const POINT far[] = {{-2000000000, -2000000000},
                         {2000000000, -2000000000},
                         {2000000000, 2000000000},
                         {-2000000000, 2000000000}};
    Polygon(e.dc(), far, 4);
    EXPECT_EQ(e.CountNot(kFill), 0);
    Rectangle(e.dc(), 2000000000, 2000000000, 2000000010, 2000000010);
    EXPECT_EQ(e.CountNot(kFill), 0) << "a shape entirely outside draws nothing";
}

}  // namespace
