// Fonts and text: cell and character heights, width by stretch, the smallest size of bitmap
// faces, distinguishable digits, antialiased text inside its cell, background modes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/testing/DrawnTexts.h"
#include "tests/platform/gdi/Canvas.h"

namespace {

using namespace gditest;

HFONT Font(int height, int width, int weight, const char* face) {
    return CreateFont(height, width, 0, 0, weight, 0, 0, 0, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                      CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, 33, face);
}

SIZE Extent(HDC dc, const char* text) {
    SIZE s{};
    GetTextExtentPoint32(dc, text, static_cast<int>(std::strlen(text)), &s);
    return s;
}

struct FontCase {
    const char* face;
    int height;
    int width;
    int weight;
    int smallest_cell;  // bitmap faces: the cell of their smallest size; scalable faces 0
};

// The smallest size of the bitmap faces: 8 points on a 96-dpi screen.
constexpr int kBitmapCell = 13;

// The shared fonts of the system and a few others.
const FontCase kFonts[] = {
    {"Helv", 6, 4, 100, kBitmapCell},  {"Arial", 24, 14, 700, 0},
    {"Arial", 12, 5, 100, 0},          {"Times New Roman", 20, 0, 400, 0},
    {"Courier New", 16, 8, 400, 0},    {"NoSuchFace", 14, 0, 400, 0},
    {"Helv", 20, 0, 400, kBitmapCell}, {"Arial", 6, 0, 400, 0},
};

int CellOf(HFONT f) {
    Canvas c(4, 4);
    SelectObject(c.dc(), f);
    const int cy = Extent(c.dc(), "Hg").cy;
    SelectObject(c.dc(), GetStockObject(SYSTEM_FONT));
    return cy;
}

TEST(GdiText, CellHeightIsAtMostTheHeightAskedFor) {
    Canvas c(10, 10);
    for (const FontCase& k : kFonts) {
        HFONT f = Font(k.height, k.width, k.weight, k.face);
        ASSERT_NE(f, HFONT{}) << k.face;
        SelectObject(c.dc(), f);
        const SIZE s = Extent(c.dc(), "Hg");
        const int asked = std::max(k.height, k.smallest_cell);
        EXPECT_LE(s.cy, asked) << k.face << " " << k.height;
        EXPECT_GE(s.cy, asked - 3) << k.face << " " << k.height;
        EXPECT_GT(s.cx, 0) << k.face;
        SelectObject(c.dc(), GetStockObject(SYSTEM_FONT));
        DeleteObject(f);
    }
    const SIZE system = Extent(c.dc(), "Hg");
    EXPECT_LE(system.cy, 16);
    EXPECT_GE(system.cy, 13);
}

TEST(GdiText, NegativeHeightIsTheCharacterHeight) {
    // A character (em) height leaves room for the accents and descenders in the cell: its cell
    // is taller than the same number asked as a cell height, by less than a third.
    for (const char* face : {"Arial", "Times New Roman", "Courier New"}) {
        for (int h : {8, 11, 13, 20, 40}) {
            HFONT character = Font(-h, 0, 400, face);
            HFONT cell = Font(h, 0, 400, face);
            EXPECT_GT(CellOf(character), CellOf(cell)) << face << " " << h;
            EXPECT_GT(CellOf(character), h) << face << " " << h;
            EXPECT_LE(CellOf(character), h * 4 / 3 + 1) << face << " " << h;
            DeleteObject(character);
            DeleteObject(cell);
        }
    }
}

TEST(GdiText, ZeroWidthKeepsTheFacesAspect) {
    Canvas c(10, 10);
    const char* text = "Fo: 1000.0 Hz";
    HFONT small = Font(-12, 0, 400, "Arial");
    HFONT large = Font(-36, 0, 400, "Arial");
    SelectObject(c.dc(), small);
    const SIZE a = Extent(c.dc(), text);
    SelectObject(c.dc(), large);
    const SIZE b = Extent(c.dc(), text);
    EXPECT_NEAR(static_cast<double>(b.cx) / a.cx, static_cast<double>(b.cy) / a.cy, 0.25);
    SelectObject(c.dc(), GetStockObject(SYSTEM_FONT));
    DeleteObject(small);
    DeleteObject(large);
}

TEST(GdiText, BitmapFacesHaveASmallestSize) {
    // "Helv" is kept as a bitmap face: any smaller request gets its smallest size, at its own
    // width; scalable faces shrink to what is asked.
    HFONT smallest = Font(kBitmapCell, 0, 100, "Helv");
    const int cell = CellOf(smallest);
    for (int h : {1, 4, 6, 9, 12}) {
        HFONT f = Font(h, 4, 100, "Helv");
        EXPECT_EQ(CellOf(f), cell) << h;
        Canvas a(80, 20);
        Canvas b(80, 20);
        SelectObject(a.dc(), f);
        SelectObject(b.dc(), smallest);
        EXPECT_EQ(Extent(a.dc(), "Fo: 1000.0 Hz").cx, Extent(b.dc(), "Fo: 1000.0 Hz").cx) << h;
        SelectObject(a.dc(), GetStockObject(SYSTEM_FONT));
        SelectObject(b.dc(), GetStockObject(SYSTEM_FONT));
        DeleteObject(f);
        HFONT scalable = Font(h + 2, 0, 100, "Arial");
        EXPECT_LE(CellOf(scalable), h + 2) << h;
        DeleteObject(scalable);
    }
    HFONT large = Font(24, 0, 100, "Helv");
    EXPECT_GT(CellOf(large), cell);
    DeleteObject(large);
    DeleteObject(smallest);
}

// The digits of every shared font are told apart: each pair differs by at least the ink of three
// whole pixels, and each digit is tall enough to read.
TEST(GdiText, DigitsOfTheSharedFontsAreDistinguishable) {
    const FontCase shared[] = {kFonts[0], kFonts[1], kFonts[2]};
    for (const FontCase& k : shared) {
        HFONT f = Font(k.height, k.width, k.weight, k.face);
        std::vector<std::vector<int>> ink(10);
        for (int d = 0; d < 10; ++d) {
            Canvas c(30, 40);
            SelectObject(c.dc(), f);
            SetBkMode(c.dc(), TRANSPARENT);
            SetTextColor(c.dc(), kBlack);
            const char digit = static_cast<char>('0' + d);
            TextOut(c.dc(), 4, 4, &digit, 1);
            int top = 40, bottom = -1;
            for (int y = 0; y < 40; ++y) {
                for (int x = 0; x < 30; ++x) {
                    const int darkness = 255 - static_cast<int>(GetRValue(c.At(x, y)));
                    ink[d].push_back(darkness);
                    if (darkness > 128) top = std::min(top, y), bottom = std::max(bottom, y);
                }
            }
            EXPECT_GE(bottom - top + 1, 7) << k.face << " " << k.height << ": digit " << d;
            SelectObject(c.dc(), GetStockObject(SYSTEM_FONT));
        }
        for (int a = 0; a < 10; ++a) {
            for (int b = a + 1; b < 10; ++b) {
                // Antialiased strokes differ partly: add up the differences of ink.
                int different = 0;
                for (std::size_t i = 0; i < ink[a].size(); ++i)
                    different += std::abs(ink[a][i] - ink[b][i]);
                EXPECT_GE(different, 3 * 255)
                    << k.face << " " << k.height << ": " << a << " and " << b;
            }
        }
        DeleteObject(f);
    }
}

TEST(GdiText, AverageWidthStretchesTheFace) {
    Canvas c(10, 10);
    // The average width is that of running text: lowercase letters and spaces by frequency.
    const char* alphabet =
        "it is a truth universally acknowledged that a single man in possession of a good "
        "fortune must be in want of a wife";
    const double letters = static_cast<double>(std::strlen(alphabet));
    for (int width : {4, 5, 8, 10}) {
        HFONT f = Font(16, width, 400, "Arial");
        SelectObject(c.dc(), f);
        const double average = Extent(c.dc(), alphabet).cx / letters;
        EXPECT_NEAR(average, width, 0.25 * width + 1.0) << "average width asked " << width;
        SelectObject(c.dc(), GetStockObject(SYSTEM_FONT));
        DeleteObject(f);
    }
    HFONT narrow = Font(16, 5, 400, "Arial");
    HFONT wide = Font(16, 10, 400, "Arial");
    SelectObject(c.dc(), narrow);
    const SIZE a = Extent(c.dc(), alphabet);
    SelectObject(c.dc(), wide);
    const SIZE b = Extent(c.dc(), alphabet);
    EXPECT_NEAR(static_cast<double>(b.cx) / a.cx, 2.0, 0.2) << "twice the width, twice the text";
    EXPECT_EQ(a.cy, b.cy) << "stretching keeps the height";
    SelectObject(c.dc(), GetStockObject(SYSTEM_FONT));
    DeleteObject(narrow);
    DeleteObject(wide);
}

TEST(GdiText, TextLandsInsideItsCell) {
    const COLORREF ink = RGB(228, 0, 0);
    for (const FontCase& k : kFonts) {
        Canvas c(120, 50);
        HFONT f = Font(k.height, k.width, k.weight, k.face);
        SelectObject(c.dc(), f);
        SetTextColor(c.dc(), ink);
        SetBkMode(c.dc(), TRANSPARENT);
        const char* text = "Front-Left Hg";
        const SIZE s = Extent(c.dc(), text);
        ASSERT_TRUE(TextOut(c.dc(), 7, 9, text, static_cast<int>(std::strlen(text))));
        const RECT e = c.Extent(kWhite);
        EXPECT_GT(c.CountNot(kWhite), 5) << k.face << ": the text shows";
        EXPECT_GE(e.left, 7) << k.face << c.Dump(ink);
        EXPECT_GE(e.top, 9) << k.face << c.Dump(ink);
        EXPECT_LE(e.right, 7 + s.cx + 1) << k.face << c.Dump(ink);
        // Antialiasing may shade one pixel beyond the last whole one.
        EXPECT_LE(e.bottom, 9 + s.cy + 1) << k.face << c.Dump(ink);
        // Antialiased: every pixel is a blend of the text colour over the white.
        for (COLORREF p : c.Pixels()) {
            ASSERT_GE(GetRValue(p), GetRValue(ink)) << k.face;
            ASSERT_EQ(GetGValue(p), GetBValue(p)) << k.face;
        }
        SelectObject(c.dc(), GetStockObject(SYSTEM_FONT));
        DeleteObject(f);
    }
}

TEST(GdiText, OpaqueBackgroundFillsTheCell) {
    Canvas c(80, 30, RGB(50, 60, 70));
    HFONT f = Font(12, 5, 100, "Arial");
    SelectObject(c.dc(), f);
    SetBkColor(c.dc(), RGB(255, 255, 0));
    SetTextColor(c.dc(), RGB(0, 0, 128));
    const SIZE s = Extent(c.dc(), "Gain: 1.0 dB");
    TextOut(c.dc(), 4, 5, "Gain: 1.0 dB", 12);
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 80; ++x) {
            const bool in = x >= 4 && x < 4 + s.cx && y >= 5 && y < 5 + s.cy;
            const COLORREF p = c.At(x, y);
            if (in) {
                // A blend of the navy text over the yellow cell.
                EXPECT_EQ(GetRValue(p), GetGValue(p)) << x << "," << y;
                EXPECT_LE(GetBValue(p), 128) << x << "," << y;
            } else {
                EXPECT_EQ(p, RGB(50, 60, 70)) << "outside the cell: " << x << "," << y;
            }
        }
    }
    SelectObject(c.dc(), GetStockObject(SYSTEM_FONT));
    DeleteObject(f);
}

TEST(GdiText, RasterModeDoesNotApplyToText) {
    Canvas a(60, 20);
    Canvas b(60, 20);
    SetROP2(b.dc(), R2_NOT);
    for (Canvas* c : {&a, &b}) {
        SetBkMode(c->dc(), TRANSPARENT);
        SetTextColor(c->dc(), RGB(0, 128, 0));
        TextOut(c->dc(), 2, 2, "Out3", 4);
    }
    EXPECT_EQ(a.Pixels(), b.Pixels());
    EXPECT_GT(a.CountNot(kWhite), 0);
}

TEST(GdiText, SameTextSamePixels) {
    // Rendering depends only on the pinned faces: two fonts made alike draw alike.
    Canvas a(100, 30);
    Canvas b(100, 30);
    HFONT f1 = Font(24, 14, 700, "Arial");
    HFONT f2 = Font(24, 14, 700, "Arial");
    SelectObject(a.dc(), f1);
    SelectObject(b.dc(), f2);
    TextOut(a.dc(), 1, 1, "In1 Out2", 8);
    TextOut(b.dc(), 1, 1, "In1 Out2", 8);
    EXPECT_EQ(a.Pixels(), b.Pixels());
    SelectObject(a.dc(), GetStockObject(SYSTEM_FONT));
    SelectObject(b.dc(), GetStockObject(SYSTEM_FONT));
    DeleteObject(f1);
    DeleteObject(f2);
}

TEST(GdiText, TextFarAwayAndBadArgumentsAreHarmless) {
    Canvas c(20, 20);
    EXPECT_TRUE(TextOut(c.dc(), -2000000000, 5, "far", 3));
    EXPECT_TRUE(TextOut(c.dc(), 2000000000, 2000000000, "far", 3));
    EXPECT_EQ(c.CountNot(kWhite), 0);
    EXPECT_FALSE(TextOut(c.dc(), 0, 0, nullptr, 3));
    EXPECT_FALSE(TextOut(c.dc(), 0, 0, "x", -1));
    SIZE s{};
    EXPECT_FALSE(GetTextExtentPoint32(HDC{}, "x", 1, &s));
}

// The log of drawn texts gives each text's ink where the pixels show it (antialiasing may shade
// one pixel more around it); blanks are not logged, nothing is logged once logging stops, and a
// memory context names no window.
TEST(GdiText, DrawnTextLogHoldsTheInkOfEachText) {
    for (const FontCase& k : kFonts) {
        Canvas c(120, 50);
        HFONT f = Font(k.height, k.width, k.weight, k.face);
        SelectObject(c.dc(), f);
        SetBkMode(c.dc(), TRANSPARENT);
        EXPECT_EQ(WindowFromDC(c.dc()), HWND{});
        platform::testing::RecordDrawnTexts(true);
        ASSERT_TRUE(TextOut(c.dc(), 7, 9, "   ", 3));
        ASSERT_TRUE(TextOut(c.dc(), 7, 9, "Hg 125", 6));
        platform::testing::RecordDrawnTexts(false);
        ASSERT_TRUE(TextOut(c.dc(), 40, 30, "more", 4));
        const auto& log = platform::testing::DrawnTexts();
        ASSERT_EQ(log.size(), 1u) << k.face;
        EXPECT_EQ(log[0].text, "Hg 125");
        EXPECT_EQ(log[0].window, HWND{});
        EXPECT_EQ(log[0].client.right, 120);
        EXPECT_EQ(log[0].client.bottom, 50);
        Canvas shown(120, 50);
        SelectObject(shown.dc(), f);
        SetBkMode(shown.dc(), TRANSPARENT);
        ASSERT_TRUE(TextOut(shown.dc(), 7, 9, "Hg 125", 6));
        const RECT e = shown.Extent(kWhite);
        const RECT& ink = log[0].ink;
        EXPECT_NEAR(ink.left, e.left, 1) << k.face;
        EXPECT_NEAR(ink.top, e.top, 1) << k.face;
        EXPECT_NEAR(ink.right, e.right, 1) << k.face;
        EXPECT_NEAR(ink.bottom, e.bottom, 1) << k.face;
        SelectObject(shown.dc(), GetStockObject(SYSTEM_FONT));
        SelectObject(c.dc(), GetStockObject(SYSTEM_FONT));
        DeleteObject(f);
    }
}

}  // namespace
