// Fonts and text: cell sizes, width by stretch, text inside its cell, background modes.
#include <gtest/gtest.h>

#include <cstring>

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
};

// The shared fonts of the system and a few others.
const FontCase kFonts[] = {
    {"Helv", 6, 4, 100},         {"Arial", 24, 14, 700},
    {"Arial", 12, 5, 100},       {"Times New Roman", 20, 0, 400},
    {"Courier New", 16, 8, 400}, {"NoSuchFace", 14, 0, 400},
};

TEST(GdiText, CellHeightIsAtMostTheHeightAskedFor) {
    Canvas c(10, 10);
    for (const FontCase& k : kFonts) {
        HFONT f = Font(k.height, k.width, k.weight, k.face);
        ASSERT_NE(f, HFONT{}) << k.face;
        SelectObject(c.dc(), f);
        const SIZE s = Extent(c.dc(), "Hg");
        EXPECT_LE(s.cy, k.height) << k.face << " " << k.height;
        EXPECT_GE(s.cy, k.height - 3) << k.face << " " << k.height;
        EXPECT_GT(s.cx, 0) << k.face;
        SelectObject(c.dc(), GetStockObject(SYSTEM_FONT));
        DeleteObject(f);
    }
    const SIZE system = Extent(c.dc(), "Hg");
    EXPECT_LE(system.cy, 16);
    EXPECT_GE(system.cy, 13);
}

TEST(GdiText, AverageWidthStretchesTheFace) {
    Canvas c(10, 10);
    const char* alphabet = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
    const double letters = 52.0;
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
        EXPECT_LE(e.bottom, 9 + s.cy) << k.face << c.Dump(ink);
        // No antialiasing: every pixel is the text colour or untouched.
        for (COLORREF p : c.Pixels()) ASSERT_TRUE(p == kWhite || p == ink) << k.face;
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
                EXPECT_TRUE(p == RGB(255, 255, 0) || p == RGB(0, 0, 128)) << x << "," << y;
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

}  // namespace
