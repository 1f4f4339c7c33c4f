// Window images: what a window shows, composed from backing images, as a bitmap; and the packed
// device-independent bitmap layout in which the printout carries an image.
#pragma once

#include <cstddef>

#include "platform/Types.h"

namespace platform {

// Header of a device-independent bitmap (40 bytes, as it lies in memory and in files). Rows are
// padded to 4 bytes; a positive height means the bottom row comes first.
struct BITMAPINFOHEADER {
    DWORD biSize;           // 40
    std::int32_t biWidth;   // pixels
    std::int32_t biHeight;  // pixels; positive: bottom-up rows, negative: top-down
    WORD biPlanes;          // 1
    WORD biBitCount;        // bits per pixel: 24 or 32
    DWORD biCompression;    // BI_RGB
    DWORD biSizeImage;      // bytes of the pixel rows, padding included
    std::int32_t biXPelsPerMeter;
    std::int32_t biYPelsPerMeter;
    DWORD biClrUsed;  // colour-table entries; 0 for 24 and 32 bits
    DWORD biClrImportant;
};
static_assert(sizeof(BITMAPINFOHEADER) == 40);
static_assert(offsetof(BITMAPINFOHEADER, biWidth) == 4);
static_assert(offsetof(BITMAPINFOHEADER, biHeight) == 8);
static_assert(offsetof(BITMAPINFOHEADER, biPlanes) == 12);
static_assert(offsetof(BITMAPINFOHEADER, biBitCount) == 14);
static_assert(offsetof(BITMAPINFOHEADER, biCompression) == 16);
static_assert(offsetof(BITMAPINFOHEADER, biSizeImage) == 20);
static_assert(offsetof(BITMAPINFOHEADER, biClrUsed) == 32);
static_assert(offsetof(BITMAPINFOHEADER, biClrImportant) == 36);

inline constexpr DWORD BI_RGB = 0;
inline constexpr UINT DIB_RGB_COLORS = 0;

// Bytes in one row of a bitmap `width` pixels wide at `bitCount` bits per pixel (4-byte padded).
constexpr DWORD DibRowBytes(int width, int bitCount) {
    return static_cast<DWORD>(((static_cast<std::int64_t>(width) * bitCount + 31) / 32) * 4);
}

// The client area of `window` as the user sees it: the window's backing image with each visible
// window it owns (modeless dialogs) drawn over it where it lies on the screen. A new bitmap the
// caller deletes (or hands to the clipboard); 0 when the window has no image or an empty client
// area. UI thread only.
HBITMAP CreateWindowImage(HWND window);

// Reads rows of a bitmap as a device-independent bitmap. With `bits` null it fills the header
// (width, height, planes, bit count 32 unless 24 is asked for, BI_RGB, image size) and returns
// the bitmap's height. Otherwise it writes `scanLines` rows starting `startScan` rows from the
// bottom, in the header's row order and bit count (24 or 32), and returns the rows written;
// 0 on failure. `hdc` is accepted for the form's sake and not needed.
int GetDIBits(HDC hdc, HBITMAP bitmap, UINT startScan, UINT scanLines, void* bits,
              BITMAPINFOHEADER* info, UINT usage);

// Stretch mode of StretchDIBits (every mode copies whole pixels).
inline constexpr int COLORONCOLOR = 3;
int SetStretchBltMode(HDC hdc, int mode);  // previous mode, 0 on failure

// Stretches the source rectangle of a packed bitmap (`info` then `bits`; 24 or 32 bits, BI_RGB)
// onto the destination rectangle of a printer page or an image. The source origin is the
// bitmap's bottom-left corner for bottom-up bitmaps, as usual. Returns the rows drawn, 0 on
// failure.
int StretchDIBits(HDC hdc, int xDest, int yDest, int destWidth, int destHeight, int xSource,
                  int ySource, int sourceWidth, int sourceHeight, const void* bits,
                  const BITMAPINFOHEADER* info, UINT usage, DWORD rop);

}  // namespace platform
