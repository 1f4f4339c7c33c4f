// A small offscreen image with a memory device context over it, for pixel tests.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/gdi/Gdi.h"

namespace platform::test {

using namespace platform;

inline constexpr COLORREF kWhite = RGB(255, 255, 255);
inline constexpr COLORREF kBlack = RGB(0, 0, 0);

class Canvas {
  public:
    Canvas(int width, int height, COLORREF background = kWhite) : width_(width), height_(height) {
        dc_ = CreateCompatibleDC(HDC{});
        bitmap_ = CreateCompatibleBitmap(dc_, width, height);
        old_ = SelectObject(dc_, bitmap_);
        Clear(background);
    }
    ~Canvas() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC dc() const { return dc_; }
    HBITMAP bitmap() const { return bitmap_; }
    int width() const { return width_; }
    int height() const { return height_; }

    void Clear(COLORREF colour) {
        for (int y = 0; y < height_; ++y) {
            for (int x = 0; x < width_; ++x) SetPixel(dc_, x, y, colour);
        }
    }
    // A reproducible pattern of many colours (a linear congruential sequence).
    void Scramble(std::uint32_t seed) {
        for (int y = 0; y < height_; ++y) {
            for (int x = 0; x < width_; ++x) {
                seed = seed * 1664525u + 1013904223u;
                SetPixel(dc_, x, y, (seed >> 8) & 0xFFFFFF);
            }
        }
    }
    std::vector<COLORREF> Pixels() const {
        std::vector<COLORREF> out;
        out.reserve(static_cast<std::size_t>(width_) * height_);
        for (int y = 0; y < height_; ++y) {
            for (int x = 0; x < width_; ++x) out.push_back(GetPixel(dc_, x, y));
        }
        return out;
    }
    COLORREF At(int x, int y) const { return GetPixel(dc_, x, y); }
    // Pixels that are not `background`.
    int CountNot(COLORREF background) const {
        int n = 0;
        for (COLORREF c : Pixels()) n += c != background;
        return n;
    }
    // Bounding box of the pixels that are not `background` (right and bottom exclusive);
    // all zero when there are none.
    RECT Extent(COLORREF background) const {
        RECT r{width_, height_, -1, -1};
        for (int y = 0; y < height_; ++y) {
            for (int x = 0; x < width_; ++x) {
                if (At(x, y) == background) continue;
                r.left = std::min<std::int32_t>(r.left, x);
                r.top = std::min<std::int32_t>(r.top, y);
                r.right = std::max<std::int32_t>(r.right, x + 1);
                r.bottom = std::max<std::int32_t>(r.bottom, y + 1);
            }
        }
        if (r.right < 0) return RECT{0, 0, 0, 0};
        return r;
    }
    // The image as text rows ('#' for `ink`, '.' otherwise), for failure messages.
    std::string Dump(COLORREF ink) const {
        std::string s = "\n";
        for (int y = 0; y < height_; ++y) {
            for (int x = 0; x < width_; ++x) s += At(x, y) == ink ? '#' : '.';
            s += '\n';
        }
        return s;
    }

  private:
    int width_;
    int height_;
    HDC dc_;
    HBITMAP bitmap_;
    HBITMAP old_;
};

}  // namespace platform::test
