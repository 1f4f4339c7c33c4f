// Window images composed from backing images, and packed device-independent bitmaps: reading a
// bitmap's rows and stretching rows onto a printer page or an image.
#include "platform/gdi/WindowImage.h"

#include <QPainter>
#include <QPrinter>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/gdi/Gdi.h"
#include "platform/gdi/Globals.h"
#include "platform/internal/Surface.h"

namespace platform {

using namespace gdi;

namespace {

constexpr int kLargestDib = 32768;  // pixels on a side

// The pixels of a packed bitmap as an image (top row first), or a null image when the header is
// not one this layer reads.
QImage DecodeDib(const BITMAPINFOHEADER* info, const void* bits) {
    if (!info || !bits || info->biSize < sizeof(BITMAPINFOHEADER) || info->biPlanes != 1 ||
        info->biCompression != BI_RGB || (info->biBitCount != 24 && info->biBitCount != 32)) {
        return {};
    }
    const std::int64_t width = info->biWidth;
    const std::int64_t height =
        info->biHeight < 0 ? -static_cast<std::int64_t>(info->biHeight) : info->biHeight;
    if (width < 1 || height < 1 || width > kLargestDib || height > kLargestDib) return {};
    const bool bottom_up = info->biHeight > 0;
    const int bytes_per_pixel = info->biBitCount / 8;
    const DWORD row_bytes = DibRowBytes(static_cast<int>(width), info->biBitCount);
    QImage image(static_cast<int>(width), static_cast<int>(height), QImage::Format_RGB32);
    if (image.isNull()) return {};
    const auto* base = static_cast<const std::uint8_t*>(bits);
    for (int y = 0; y < image.height(); ++y) {
        const std::int64_t source_row = bottom_up ? height - 1 - y : y;
        const std::uint8_t* in = base + source_row * row_bytes;
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const std::uint8_t* p = in + static_cast<std::ptrdiff_t>(x) * bytes_per_pixel;
            out[x] = qRgb(p[2], p[1], p[0]);  // stored blue, green, red
        }
    }
    return image;
}

}  // namespace

namespace gdi {

QImage ComposeWindowImage(HWND window) {
    const QImage* own = internal::WindowImage(window);
    if (!own || own->isNull() || own->width() < 1 || own->height() < 1) return {};
    QImage composed = own->convertToFormat(QImage::Format_RGB32);
    RECT base{};
    if (!internal::ClientRectOnScreen(window, &base)) return composed;
    QPainter painter(&composed);
    for (HWND owned : internal::VisibleOwnedWindows(window)) {
        const QImage* image = internal::WindowImage(owned);
        RECT where{};
        if (!image || image->isNull() || !internal::ClientRectOnScreen(owned, &where)) continue;
        const std::int64_t x = static_cast<std::int64_t>(where.left) - base.left;
        const std::int64_t y = static_cast<std::int64_t>(where.top) - base.top;
        if (x >= composed.width() || y >= composed.height() || x + image->width() <= 0 ||
            y + image->height() <= 0) {
            continue;
        }
        painter.drawImage(QPoint(static_cast<int>(x), static_cast<int>(y)), *image);
    }
    return composed;
}

}  // namespace gdi

HBITMAP CreateWindowImage(HWND window) {
    QImage composed = ComposeWindowImage(window);
    if (composed.isNull()) return {};
    const std::uint32_t h = NewHandle();
    Globals().bitmaps[h] = {std::move(composed), 0};
    return HBITMAP::FromIndex(h);
}

int GetDIBits(HDC, HBITMAP bitmap, UINT startScan, UINT scanLines, void* bits,
              BITMAPINFOHEADER* info, UINT usage) {
    BitmapObject* b = FindBitmap(bitmap);
    if (!b || !info || usage != DIB_RGB_COLORS) return 0;
    const QImage& image = b->image;
    if (!bits) {
        const WORD bit_count = info->biBitCount == 24 ? 24 : 32;
        info->biSize = sizeof(BITMAPINFOHEADER);
        info->biWidth = image.width();
        info->biHeight = image.height();
        info->biPlanes = 1;
        info->biBitCount = bit_count;
        info->biCompression = BI_RGB;
        info->biSizeImage = DibRowBytes(image.width(), bit_count) * image.height();
        info->biXPelsPerMeter = 0;
        info->biYPelsPerMeter = 0;
        info->biClrUsed = 0;
        info->biClrImportant = 0;
        return image.height();
    }
    if (info->biSize < sizeof(BITMAPINFOHEADER) || info->biWidth != image.width() ||
        (info->biBitCount != 24 && info->biBitCount != 32) || info->biCompression != BI_RGB ||
        (info->biHeight != image.height() && info->biHeight != -image.height())) {
        return 0;
    }
    const bool bottom_up = info->biHeight > 0;
    const int bytes_per_pixel = info->biBitCount / 8;
    const DWORD row_bytes = DibRowBytes(image.width(), info->biBitCount);
    const std::int64_t height = image.height();
    const std::int64_t first = startScan;
    const std::int64_t count =
        std::clamp<std::int64_t>(height - first, 0, static_cast<std::int64_t>(scanLines));
    auto* out_base = static_cast<std::uint8_t*>(bits);
    for (std::int64_t k = 0; k < count; ++k) {
        // Row k of the output is scan line first + k, counted from the bottom when bottom-up.
        const std::int64_t scan = first + k;
        const int y = static_cast<int>(bottom_up ? height - 1 - scan : scan);
        const auto* in = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        std::uint8_t* out = out_base + k * row_bytes;
        std::memset(out, 0, row_bytes);
        for (int x = 0; x < image.width(); ++x) {
            std::uint8_t* p = out + static_cast<std::ptrdiff_t>(x) * bytes_per_pixel;
            p[0] = static_cast<std::uint8_t>(qBlue(in[x]));
            p[1] = static_cast<std::uint8_t>(qGreen(in[x]));
            p[2] = static_cast<std::uint8_t>(qRed(in[x]));
        }
    }
    return static_cast<int>(count);
}

int SetStretchBltMode(HDC hdc, int mode) {
    DcObject* dc = FindDc(hdc);
    if (!dc || mode < 1 || mode > 4) return 0;
    return COLORONCOLOR;  // every mode copies whole pixels
}

int StretchDIBits(HDC hdc, int xDest, int yDest, int destWidth, int destHeight, int xSource,
                  int ySource, int sourceWidth, int sourceHeight, const void* bits,
                  const BITMAPINFOHEADER* info, UINT usage, DWORD rop) {
    DcObject* dc = FindDc(hdc);
    if (!dc || usage != DIB_RGB_COLORS || rop != SRCCOPY || destWidth <= 0 || destHeight <= 0 ||
        sourceWidth <= 0 || sourceHeight <= 0) {
        return 0;
    }
    const QImage image = DecodeDib(info, bits);
    if (image.isNull()) return 0;
    // The source rectangle in top-down rows.
    const std::int64_t top =
        info->biHeight > 0 ? static_cast<std::int64_t>(image.height()) - ySource - sourceHeight
                           : ySource;
    const QRect source =
        QRect(xSource, static_cast<int>(top), sourceWidth, sourceHeight).intersected(image.rect());
    if (source.isEmpty()) return 0;
    if (dc->kind == DcKind::Printer) {
        if (!dc->job || !dc->job->painter || !dc->job->page_open) return 0;
        QPainter& painter = *dc->job->painter;
        painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
        painter.drawImage(QRectF(xDest, yDest, destWidth, destHeight), image,
                          QRectF(xSource, static_cast<double>(top), sourceWidth, sourceHeight));
        return sourceHeight;
    }
    QRect area;
    QImage* target = DcImage(*dc, &area);
    if (!target) return 0;
    // Nearest source pixel for each destination pixel centre.
    const QRect dest = QRect(xDest, yDest, destWidth, destHeight).intersected(area);
    for (int y = dest.top(); y <= dest.bottom() && !dest.isEmpty(); ++y) {
        const std::int64_t sy =
            top +
            static_cast<std::int64_t>(std::floor((y - yDest + 0.5) * sourceHeight / destHeight));
        if (sy < 0 || sy >= image.height()) continue;
        const auto* in = reinterpret_cast<const QRgb*>(image.constScanLine(static_cast<int>(sy)));
        auto* out = reinterpret_cast<QRgb*>(target->scanLine(y));
        for (int x = dest.left(); x <= dest.right(); ++x) {
            const std::int64_t sx =
                xSource +
                static_cast<std::int64_t>(std::floor((x - xDest + 0.5) * sourceWidth / destWidth));
            if (sx >= 0 && sx < image.width()) out[x] = in[sx];
        }
    }
    NoteSurfaceDrawn(*dc);
    return sourceHeight;
}

}  // namespace platform
