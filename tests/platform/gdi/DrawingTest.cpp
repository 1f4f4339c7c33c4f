// Device-context state, objects and lines, checked pixel by pixel on small offscreen images.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "tests/platform/gdi/Canvas.h"

namespace {

using namespace platform::test;

TEST(GdiContext, FreshContextDefaults) {
    Canvas c(8, 8, RGB(10, 20, 30));
    // The pen is black and 1 pixel wide: a line draws one row of black.
    MoveToEx(c.dc(), 0, 2, nullptr);
    LineTo(c.dc(), 8, 2);
    for (int x = 0; x < 8; ++x) EXPECT_EQ(c.At(x, 2), kBlack) << "x " << x;
    EXPECT_EQ(c.At(0, 1), RGB(10, 20, 30));
    EXPECT_EQ(c.At(0, 3), RGB(10, 20, 30));
    // The brush is white.
    Rectangle(c.dc(), 0, 4, 5, 8);
    EXPECT_EQ(c.At(2, 6), kWhite);
    EXPECT_EQ(GetROP2(c.dc()), R2_COPYPEN);
    EXPECT_EQ(SetBkMode(c.dc(), TRANSPARENT), OPAQUE);
    EXPECT_EQ(SetTextColor(c.dc(), RGB(1, 2, 3)), kBlack);
    EXPECT_EQ(SetBkColor(c.dc(), RGB(1, 2, 3)), kWhite);
    EXPECT_EQ(SetROP2(c.dc(), R2_NOT), R2_COPYPEN);
    EXPECT_EQ(SetROP2(c.dc(), 999), 0) << "an unknown raster mode is refused";
    EXPECT_EQ(GetROP2(c.dc()), R2_NOT);
}

TEST(GdiContext, SelectObjectReturnsThePreviousObject) {
    Canvas c(4, 4);
    HPEN red = CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
    HPEN blue = CreatePen(PS_SOLID, 1, RGB(0, 0, 255));
    HPEN original = SelectObject(c.dc(), red);
    EXPECT_EQ(original, GetStockObject(BLACK_PEN));
    EXPECT_EQ(SelectObject(c.dc(), blue), red);
    EXPECT_EQ(SelectObject(c.dc(), original), blue);
    HBRUSH brush = CreateSolidBrush(RGB(0, 255, 0));
    EXPECT_EQ(SelectObject(c.dc(), brush), GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(SelectObject(c.dc(), GetStockObject(NULL_BRUSH)), brush);
    HFONT font = CreateFont(12, 5, 0, 0, 100, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 33, "Arial");
    EXPECT_EQ(SelectObject(c.dc(), font), GetStockObject(SYSTEM_FONT));
    EXPECT_EQ(SelectObject(c.dc(), GetStockObject(SYSTEM_FONT)), font);
    EXPECT_TRUE(DeleteObject(red));
    EXPECT_TRUE(DeleteObject(blue));
    EXPECT_TRUE(DeleteObject(brush));
    EXPECT_TRUE(DeleteObject(font));
}

TEST(GdiContext, StaleAndEmptyHandlesAreHarmless) {
    Canvas c(6, 6);
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
    SelectObject(c.dc(), pen);
    EXPECT_TRUE(DeleteObject(pen));
    EXPECT_FALSE(DeleteObject(pen)) << "a second delete must report failure";
    EXPECT_EQ(SelectObject(c.dc(), pen), HPEN{}) << "a deleted pen cannot be selected";
    // A context whose pen was deleted draws with the default black pen.
    MoveToEx(c.dc(), 0, 0, nullptr);
    LineTo(c.dc(), 6, 0);
    EXPECT_EQ(c.At(3, 0), kBlack);
    // Calls on no context do nothing and say so.
    EXPECT_FALSE(LineTo(HDC{}, 3, 3));
    EXPECT_FALSE(Rectangle(HDC{}, 0, 0, 3, 3));
    EXPECT_EQ(SetPixel(HDC{}, 1, 1, kBlack), CLR_INVALID);
    EXPECT_EQ(GetPixel(HDC{}, 1, 1), CLR_INVALID);
    EXPECT_EQ(SelectObject(HDC{}, GetStockObject(BLACK_PEN)), HPEN{});
    EXPECT_EQ(CreatePen(77, 1, 0), HPEN{}) << "unknown pen style";
    EXPECT_TRUE(DeleteObject(GetStockObject(WHITE_BRUSH))) << "stock objects stay";
    EXPECT_EQ(SelectObject(c.dc(), GetStockObject(WHITE_BRUSH)), GetStockObject(WHITE_BRUSH));
}

TEST(GdiContext, SystemColours) {
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), kWhite);
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), RGB(240, 240, 240));
    Canvas c(4, 4);
    RECT r{0, 0, 4, 4};
    FillRect(c.dc(), &r, GetSysColorBrush(COLOR_BTNFACE));
    EXPECT_EQ(c.At(2, 2), RGB(240, 240, 240));
    EXPECT_EQ(GetSysColorBrush(12345), HBRUSH{});
}

TEST(GdiContext, ScreenContextGivesCapabilitiesOnly) {
    HDC screen = CreateDC("DISPLAY", nullptr, nullptr, nullptr);
    ASSERT_NE(screen, HDC{});
    EXPECT_EQ(GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES), 32);
    EXPECT_GT(GetDeviceCaps(screen, HORZRES), 0);
    EXPECT_GT(GetDeviceCaps(screen, VERTRES), 0);
    EXPECT_FALSE(LineTo(screen, 5, 5)) << "the screen is not drawn on through a context";
    EXPECT_EQ(GetPixel(screen, 0, 0), CLR_INVALID);
    EXPECT_TRUE(DeleteDC(screen));
    EXPECT_FALSE(DeleteDC(screen));
    EXPECT_EQ(CreateDC("PRINTER", nullptr, nullptr, nullptr), HDC{});
}

TEST(GdiContext, MemoryContextsAndBitmaps) {
    HDC dc = CreateCompatibleDC(HDC{});
    EXPECT_EQ(GetDeviceCaps(dc, HORZRES), 1) << "a fresh memory context holds a 1 x 1 bitmap";
    HBITMAP bitmap = CreateCompatibleBitmap(dc, 3, 2);
    ASSERT_NE(bitmap, HBITMAP{});
    HBITMAP first = SelectObject(dc, bitmap);
    EXPECT_NE(first, HBITMAP{});
    EXPECT_EQ(GetDeviceCaps(dc, HORZRES), 3);
    EXPECT_EQ(GetDeviceCaps(dc, VERTRES), 2);
    EXPECT_EQ(GetPixel(dc, 2, 1), kBlack) << "a new bitmap is black";
    EXPECT_FALSE(DeleteObject(bitmap)) << "a selected bitmap is not deleted";
    HDC other = CreateCompatibleDC(dc);
    EXPECT_EQ(SelectObject(other, bitmap), HBITMAP{}) << "one context at a time";
    EXPECT_EQ(SelectObject(dc, first), bitmap);
    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_EQ(CreateCompatibleBitmap(dc, 0, 5), HBITMAP{});
    EXPECT_EQ(CreateCompatibleBitmap(dc, 5, -1), HBITMAP{});
    EXPECT_TRUE(DeleteDC(dc));
    EXPECT_TRUE(DeleteDC(other));
}

// --- Lines
// ----------------------------------------------------------------------------------------

struct LineCase {
    int x0, y0, x1, y1;
};

TEST(GdiLines, EndPixelExcludedAndPixelsOnTheLine) {
    const LineCase cases[] = {
        {2, 5, 15, 5},  {15, 5, 2, 5}, {5, 1, 5, 14}, {5, 14, 5, 1}, {1, 1, 14, 14},
        {14, 1, 1, 14}, {1, 3, 15, 9}, {3, 1, 9, 15}, {15, 9, 1, 3}, {0, 0, 1, 7},
    };
    for (const LineCase& k : cases) {
        Canvas c(16, 16);
        MoveToEx(c.dc(), k.x0, k.y0, nullptr);
        LineTo(c.dc(), k.x1, k.y1);
        const std::string what = "line (" + std::to_string(k.x0) + "," + std::to_string(k.y0) +
                                 ")-(" + std::to_string(k.x1) + "," + std::to_string(k.y1) + ")" +
                                 c.Dump(kBlack);
        EXPECT_EQ(c.At(k.x0, k.y0), kBlack) << "start pixel missing: " << what;
        EXPECT_EQ(c.At(k.x1, k.y1), kWhite) << "end pixel drawn: " << what;
        const int dx = k.x1 - k.x0;
        const int dy = k.y1 - k.y0;
        EXPECT_EQ(c.CountNot(kWhite), std::max(std::abs(dx), std::abs(dy))) << what;
        // Every pixel lies within half a pixel of the ideal line along the minor axis.
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) {
                if (c.At(x, y) != kBlack) continue;
                double off;
                if (std::abs(dx) >= std::abs(dy)) {
                    off = y - (k.y0 + static_cast<double>(x - k.x0) * dy / dx);
                } else {
                    off = x - (k.x0 + static_cast<double>(y - k.y0) * dx / dy);
                }
                EXPECT_LE(std::abs(off), 0.5) << "pixel (" << x << "," << y << ") off " << what;
            }
        }
    }
}

// Step i of a line of n steps lies at minor0 + i * dminor / n rounded to nearest, halves upward,
// also for lines that start far outside the image and for halfway steps.
TEST(GdiLines, EveryStepLandsOnTheExactlyRoundedPixel) {
    __extension__ typedef __int128 Exact;
    std::uint64_t seed = 0x9E3779B97F4A7C15ull;
    auto next = [&seed](std::int64_t span) {
        seed = seed * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<std::int64_t>((seed >> 33) % static_cast<std::uint64_t>(span)) -
               span / 2;
    };
    for (int round = 0; round < 300; ++round) {
        const std::int64_t span = round % 3 == 0 ? 4000000000ll : (round % 3 == 1 ? 400 : 48);
        const LineCase k{static_cast<int>(next(span) + 12), static_cast<int>(next(span) + 12),
                         static_cast<int>(next(span) + 12), static_cast<int>(next(span) + 12)};
        Canvas c(24, 24);
        MoveToEx(c.dc(), k.x0, k.y0, nullptr);
        LineTo(c.dc(), k.x1, k.y1);
        const std::int64_t dx = static_cast<std::int64_t>(k.x1) - k.x0;
        const std::int64_t dy = static_cast<std::int64_t>(k.y1) - k.y0;
        const bool x_major = std::llabs(dx) >= std::llabs(dy);
        const std::int64_t n = std::max(std::llabs(dx), std::llabs(dy));
        int expected = 0;
        for (int y = 0; y < 24; ++y) {
            for (int x = 0; x < 24; ++x) {
                const std::int64_t major = x_major ? x : y, minor = x_major ? y : x;
                const std::int64_t major0 = x_major ? k.x0 : k.y0, minor0 = x_major ? k.y0 : k.x0;
                const std::int64_t d = x_major ? dx : dy, dminor = x_major ? dy : dx;
                const std::int64_t i = d < 0 ? major0 - major : major - major0;
                bool on = i >= 0 && i < n;
                if (on) {
                    const Exact num = 2 * static_cast<Exact>(i) * dminor + n;
                    Exact q = num / (2 * n);
                    if (num % (2 * n) != 0 && num < 0) --q;
                    on = minor == minor0 + static_cast<std::int64_t>(q);
                }
                expected += on;
                EXPECT_EQ(c.At(x, y), on ? kBlack : kWhite)
                    << "pixel (" << x << "," << y << ") of (" << k.x0 << "," << k.y0 << ")-("
                    << k.x1 << "," << k.y1 << ")";
            }
        }
        ASSERT_EQ(c.CountNot(kWhite), expected) << c.Dump(kBlack);
    }
}

TEST(GdiLines, LineToMovesTheCurrentPosition) {
    Canvas c(10, 10);
    MoveToEx(c.dc(), 1, 1, nullptr);
    LineTo(c.dc(), 8, 1);
    LineTo(c.dc(), 8, 8);
    POINT previous{};
    MoveToEx(c.dc(), 0, 0, &previous);
    EXPECT_EQ(previous.x, 8);
    EXPECT_EQ(previous.y, 8);
    // The corner is drawn by the second line's start; the final end stays clear.
    EXPECT_EQ(c.At(8, 1), kBlack);
    EXPECT_EQ(c.At(8, 7), kBlack);
    EXPECT_EQ(c.At(8, 8), kWhite);
    EXPECT_EQ(c.CountNot(kWhite), 14);
}

TEST(GdiLines, ZeroLengthLineLeavesADotOnlyWithAWidePen) {
    for (int width = 1; width <= 6; ++width) {
        Canvas c(20, 20);
        HPEN pen = CreatePen(PS_SOLID, width, RGB(200, 0, 0));
        HPEN old = SelectObject(c.dc(), pen);
        MoveToEx(c.dc(), 10, 10, nullptr);
        LineTo(c.dc(), 10, 10);
        SelectObject(c.dc(), old);
        DeleteObject(pen);
        if (width == 1) {
            EXPECT_EQ(c.CountNot(kWhite), 0) << "a 1-pixel zero-length line draws nothing";
            continue;
        }
        const RECT e = c.Extent(kWhite);
        EXPECT_EQ(e.right - e.left, width) << "dot width, pen " << width << c.Dump(RGB(200, 0, 0));
        EXPECT_EQ(e.bottom - e.top, width) << "dot height, pen " << width;
        EXPECT_TRUE(e.left <= 10 && e.right > 10 && e.top <= 10 && e.bottom > 10)
            << "the dot covers its point, pen " << width;
        EXPECT_EQ(c.At(10, 10), RGB(200, 0, 0));
    }
}

TEST(GdiLines, WidePenCoversBothEndsAndItsWidth) {
    Canvas c(30, 20);
    HPEN pen = CreatePen(PS_SOLID, 5, kBlack);
    SelectObject(c.dc(), pen);
    MoveToEx(c.dc(), 5, 10, nullptr);
    LineTo(c.dc(), 25, 10);
    const RECT e = c.Extent(kWhite);
    // Round ends of radius 2.5 around both points: columns 3..27, rows 8..12.
    EXPECT_EQ(e.left, 3);
    EXPECT_EQ(e.right, 28);
    EXPECT_EQ(e.top, 8);
    EXPECT_EQ(e.bottom, 13);
    for (int y = 8; y <= 12; ++y) EXPECT_EQ(c.At(15, y), kBlack) << "row " << y;
    SelectObject(c.dc(), GetStockObject(BLACK_PEN));
    DeleteObject(pen);
}

// Runs of equal "drawn" state along row y from x0 for n pixels.
std::vector<int> Runs(const Canvas& c, int y, int x0, int n, COLORREF ink) {
    std::vector<int> runs;
    bool state = c.At(x0, y) == ink;
    int length = 0;
    for (int x = x0; x < x0 + n; ++x) {
        const bool s = c.At(x, y) == ink;
        if (s == state) {
            ++length;
        } else {
            runs.push_back(length);
            state = s;
            length = 1;
        }
    }
    runs.push_back(length);
    return runs;
}

TEST(GdiLines, DottedPenAtWidthOneAgainstSolidAtWidthTwo) {
    const COLORREF ink = RGB(0, 0, 192);
    {
        Canvas c(40, 6);
        HPEN dotted = CreatePen(PS_DOT, 1, ink);
        SelectObject(c.dc(), dotted);
        SetBkMode(c.dc(), TRANSPARENT);
        MoveToEx(c.dc(), 0, 2, nullptr);
        LineTo(c.dc(), 36, 2);
        EXPECT_EQ(c.At(0, 2), ink) << "the pattern starts with a dot";
        const std::vector<int> runs = Runs(c, 2, 0, 36, ink);
        EXPECT_EQ(runs, std::vector<int>(12, 3)) << c.Dump(ink);
        EXPECT_EQ(c.CountNot(kWhite), 18) << "only the row, half of it";
        // Opaque: the gaps take the background colour.
        SetBkMode(c.dc(), OPAQUE);
        SetBkColor(c.dc(), RGB(255, 255, 0));
        MoveToEx(c.dc(), 0, 4, nullptr);
        LineTo(c.dc(), 12, 4);
        EXPECT_EQ(c.At(3, 4), RGB(255, 255, 0));
        EXPECT_EQ(c.At(6, 4), ink);
        SelectObject(c.dc(), GetStockObject(BLACK_PEN));
        DeleteObject(dotted);
    }
    {
        Canvas c(40, 6);
        HPEN wide = CreatePen(PS_DOT, 2, ink);
        SelectObject(c.dc(), wide);
        MoveToEx(c.dc(), 2, 2, nullptr);
        LineTo(c.dc(), 36, 2);
        for (int x = 2; x <= 36; ++x) {
            EXPECT_EQ(c.At(x, 1), ink) << "a dotted pen 2 wide draws solid, x " << x;
            EXPECT_EQ(c.At(x, 2), ink) << "x " << x;
        }
        EXPECT_EQ(c.At(20, 0), kWhite);
        EXPECT_EQ(c.At(20, 3), kWhite) << "two rows, no more";
        SelectObject(c.dc(), GetStockObject(BLACK_PEN));
        DeleteObject(wide);
    }
}

TEST(GdiLines, DashedPenRuns) {
    Canvas c(60, 3);
    HPEN dashed = CreatePen(PS_DASH, 1, kBlack);
    SelectObject(c.dc(), dashed);
    SetBkMode(c.dc(), TRANSPARENT);
    MoveToEx(c.dc(), 0, 1, nullptr);
    LineTo(c.dc(), 48, 1);
    EXPECT_EQ(Runs(c, 1, 0, 48, kBlack), (std::vector<int>{18, 6, 18, 6}));
    SelectObject(c.dc(), GetStockObject(BLACK_PEN));
    DeleteObject(dashed);
}

TEST(GdiLines, PolylineDrawsEachSegmentOnce) {
    Canvas c(12, 12);
    const POINT pts[] = {{1, 1}, {10, 1}, {10, 10}, {1, 10}};
    Polyline(c.dc(), pts, 4);
    EXPECT_EQ(c.CountNot(kWhite), 27) << c.Dump(kBlack);
    EXPECT_EQ(c.At(1, 10), kWhite) << "the last point is excluded";
    EXPECT_FALSE(Polyline(c.dc(), pts, 1));
}

TEST(GdiLines, FarCoordinatesAreClippedNotWrapped) {
    Canvas c(16, 16);
    MoveToEx(c.dc(), -2000000000, 3, nullptr);
    LineTo(c.dc(), 2000000000, 3);
    MoveToEx(c.dc(), 7, 2000000000, nullptr);
    LineTo(c.dc(), 7, -2000000000);
    // A steep line from far away crosses the image at the pixels its slope gives.
    MoveToEx(c.dc(), -1000000000, -1000000000, nullptr);
    LineTo(c.dc(), 1000000000, 1000000000);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(c.At(i, 3), kBlack) << "row 3, x " << i;
        EXPECT_EQ(c.At(7, i), kBlack) << "column 7, y " << i;
        EXPECT_EQ(c.At(i, i), kBlack) << "diagonal " << i;
    }
    EXPECT_EQ(c.CountNot(kWhite), 16 + 15 + 14) << c.Dump(kBlack);
    // Wide pens and polylines of far points as well.
    HPEN pen = CreatePen(PS_SOLID, 4, RGB(255, 0, 0));
    SelectObject(c.dc(), pen);
    const POINT far[] = {{-2147483647, 12}, {2147483647, 12}};
    EXPECT_TRUE(Polyline(c.dc(), far, 2));
    for (int x = 0; x < 16; ++x) EXPECT_EQ(c.At(x, 12), RGB(255, 0, 0)) << "x " << x;
    SelectObject(c.dc(), GetStockObject(BLACK_PEN));
    DeleteObject(pen);
}

// --- Raster modes
// ---------------------------------------------------------------------------------

TEST(GdiRaster, NotXorRubberBandTwiceLeavesTheImageUnchanged) {
    Canvas c(24, 24);
    c.Scramble(12345);
    const std::vector<COLORREF> before = c.Pixels();
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
    SelectObject(c.dc(), pen);
    SelectObject(c.dc(), GetStockObject(NULL_BRUSH));
    SetROP2(c.dc(), R2_NOTXORPEN);
    auto band = [&] {
        Rectangle(c.dc(), 3, 4, 20, 18);
        MoveToEx(c.dc(), 0, 0, nullptr);
        LineTo(c.dc(), 23, 17);
        const POINT pts[] = {{2, 20}, {12, 2}, {22, 20}, {2, 20}};
        Polyline(c.dc(), pts, 4);
    };
    band();
    const std::vector<COLORREF> once = c.Pixels();
    EXPECT_NE(once, before) << "the band must show";
    // Each touched pixel holds not (pen xor image), the pen being black.
    int touched = 0;
    for (std::size_t i = 0; i < once.size(); ++i) {
        if (once[i] == before[i]) continue;
        ++touched;
        EXPECT_EQ(once[i], (~(0u ^ before[i])) & 0xFFFFFF) << "pixel " << i;
    }
    EXPECT_GT(touched, 60);
    band();
    EXPECT_EQ(c.Pixels(), before) << "drawing the band twice must restore the image";
    SelectObject(c.dc(), GetStockObject(BLACK_PEN));
    DeleteObject(pen);
}

TEST(GdiRaster, NotTwiceRestoresWithWidePensAndFills) {
    Canvas c(30, 30);
    c.Scramble(777);
    const std::vector<COLORREF> before = c.Pixels();
    HPEN pen = CreatePen(PS_SOLID, 5, RGB(0, 164, 0));
    HBRUSH brush = CreateSolidBrush(RGB(255, 0, 255));
    SelectObject(c.dc(), pen);
    SelectObject(c.dc(), brush);
    SetROP2(c.dc(), R2_NOT);
    auto draw = [&] {
        const POINT pts[] = {{2, 2}, {27, 5}, {15, 27}, {3, 20}};
        Polyline(c.dc(), pts, 4);  // joins overlap: each pixel must still flip once
        Ellipse(c.dc(), 5, 5, 25, 20);
        MoveToEx(c.dc(), 12, 12, nullptr);
        LineTo(c.dc(), 12, 12);
    };
    draw();
    const std::vector<COLORREF> once = c.Pixels();
    for (std::size_t i = 0; i < once.size(); ++i) {
        if (once[i] != before[i]) {
            EXPECT_EQ(once[i], ~before[i] & 0xFFFFFF) << "R2_NOT inverts, pixel " << i;
        }
    }
    draw();
    EXPECT_EQ(c.Pixels(), before) << "inverting twice must restore the image";
    SelectObject(c.dc(), GetStockObject(BLACK_PEN));
    SelectObject(c.dc(), GetStockObject(WHITE_BRUSH));
    DeleteObject(pen);
    DeleteObject(brush);
}

TEST(GdiRaster, PixelsAndFillRectIgnoreTheRasterMode) {
    Canvas c(8, 8);
    SetROP2(c.dc(), R2_NOT);
    EXPECT_EQ(SetPixel(c.dc(), 2, 2, RGB(12, 34, 56)), RGB(12, 34, 56));
    EXPECT_EQ(c.At(2, 2), RGB(12, 34, 56));
    HBRUSH brush = CreateSolidBrush(RGB(200, 100, 50));
    RECT r{4, 4, 7, 6};
    EXPECT_EQ(FillRect(c.dc(), &r, brush), 1);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            const bool in = x >= 4 && x < 7 && y >= 4 && y < 6;
            if (in) {
                EXPECT_EQ(c.At(x, y), RGB(200, 100, 50)) << x << "," << y;
            } else if (!(x == 2 && y == 2)) {
                EXPECT_EQ(c.At(x, y), kWhite) << x << "," << y;
            }
        }
    }
    EXPECT_EQ(SetPixel(c.dc(), 8, 0, kBlack), CLR_INVALID) << "outside the image";
    EXPECT_EQ(GetPixel(c.dc(), -1, 0), CLR_INVALID);
    DeleteObject(brush);
}

TEST(GdiRaster, FocusRectangleTwiceRemovesIt) {
    Canvas c(12, 10);
    c.Scramble(99);
    const std::vector<COLORREF> before = c.Pixels();
    RECT r{1, 2, 11, 9};
    DrawFocusRect(c.dc(), &r);
    const std::vector<COLORREF> once = c.Pixels();
    int changed = 0;
    int expected = 0;
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 12; ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * 12 + x;
            const bool edge =
                (x == 1 || x == 10 || y == 2 || y == 8) && x >= 1 && x <= 10 && y >= 2 && y <= 8;
            const bool dotted = edge && (x + y) % 2 == 0;
            expected += dotted;
            if (once[i] != before[i]) {
                ++changed;
                EXPECT_TRUE(dotted) << "only every other edge pixel changes: " << x << "," << y;
                EXPECT_EQ(once[i], ~before[i] & 0xFFFFFF) << "inverted: " << x << "," << y;
            }
        }
    }
    EXPECT_EQ(changed, expected);
    DrawFocusRect(c.dc(), &r);
    EXPECT_EQ(c.Pixels(), before);
}

}  // namespace
