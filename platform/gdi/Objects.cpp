// Pens, brushes, stock objects, system colours, selection and deletion; the state of a device
// context; memory device contexts, bitmaps and BitBlt.
#include <QGuiApplication>
#include <QPainter>
#include <QPrinter>
#include <QScreen>
#include <cstring>

#include "platform/gdi/Gdi.h"
#include "platform/gdi/Globals.h"

namespace platform {

using namespace gdi;

HPEN CreatePen(int style, int width, COLORREF colour) {
    if (style != PS_SOLID && style != PS_DASH && style != PS_DOT && style != PS_NULL) return {};
    if (width < 0) return {};
    const std::uint32_t h = NewHandle();
    Globals().pens[h] = {style, width == 0 ? 1 : width, colour & 0xFFFFFF};
    return HPEN::FromIndex(h);
}

HBRUSH CreateSolidBrush(COLORREF colour) {
    const std::uint32_t h = NewHandle();
    Globals().brushes[h] = {false, colour & 0xFFFFFF};
    return HBRUSH::FromIndex(h);
}

HFONT CreateFont(int height, int width, int, int, int weight, DWORD italic, DWORD underline,
                 DWORD strikeOut, DWORD, DWORD, DWORD, DWORD, DWORD, const char* face) {
    const std::uint32_t h = NewHandle();
    Globals().fonts[h] = MakeFont(height, width, weight, italic != 0, underline != 0,
                                  strikeOut != 0, face ? std::string(face) : std::string());
    return HFONT::FromIndex(h);
}

HBRUSH GetStockObject(StockBrush which) {
    switch (which) {
        case StockBrush::White:
            return HBRUSH::FromIndex(kWhiteBrush);
        case StockBrush::LightGrey:
            return HBRUSH::FromIndex(kLightGreyBrush);
        case StockBrush::Grey:
            return HBRUSH::FromIndex(kGreyBrush);
        case StockBrush::DarkGrey:
            return HBRUSH::FromIndex(kDarkGreyBrush);
        case StockBrush::Black:
            return HBRUSH::FromIndex(kBlackBrush);
        case StockBrush::Null:
            return HBRUSH::FromIndex(kNullBrush);
    }
    return {};
}

HPEN GetStockObject(StockPen which) {
    switch (which) {
        case StockPen::White:
            return HPEN::FromIndex(kWhitePen);
        case StockPen::Black:
            return HPEN::FromIndex(kBlackPen);
        case StockPen::Null:
            return HPEN::FromIndex(kNullPen);
    }
    return {};
}

HFONT GetStockObject(StockFont) { return HFONT::FromIndex(kSystemFont); }

COLORREF GetSysColor(int index) {
    switch (index) {
        case COLOR_WINDOW:
            return RGB(255, 255, 255);
        case COLOR_BTNFACE:
            return RGB(240, 240, 240);
        default:
            return 0;
    }
}

HBRUSH GetSysColorBrush(int index) {
    switch (index) {
        case COLOR_WINDOW:
            return HBRUSH::FromIndex(kWindowBrush);
        case COLOR_BTNFACE:
            return HBRUSH::FromIndex(kButtonFaceBrush);
        default:
            return {};
    }
}

namespace {

// Puts `object` into the context's `slot` when both the context and the object exist; returns
// the object it replaced, or a null handle.
template <class Handle, class Object>
Handle SelectInto(HDC hdc, Handle object, Handle DcObject::*slot, const Object* (*find)(Handle)) {
    DcObject* dc = FindDc(hdc);
    if (!dc || !find(object)) return {};
    Handle previous = dc->*slot;
    dc->*slot = object;
    return previous;
}

}  // namespace

HPEN SelectObject(HDC hdc, HPEN pen) { return SelectInto(hdc, pen, &DcObject::pen, &FindPen); }

HBRUSH SelectObject(HDC hdc, HBRUSH brush) {
    return SelectInto(hdc, brush, &DcObject::brush, &FindBrush);
}

HFONT SelectObject(HDC hdc, HFONT font) {
    return SelectInto(hdc, font, &DcObject::font, &FindFont);
}

HBITMAP SelectObject(HDC hdc, HBITMAP bitmap) {
    DcObject* dc = FindDc(hdc);
    BitmapObject* b = FindBitmap(bitmap);
    if (!dc || dc->kind != DcKind::Memory || !b) return {};
    // A bitmap is drawn by one memory context at a time.
    if (bitmap.value >= kFirstHandle && b->selected_in > 0 && dc->bitmap != bitmap) return {};
    HBITMAP previous = dc->bitmap;
    if (BitmapObject* old = FindBitmap(previous)) --old->selected_in;
    ++b->selected_in;
    dc->bitmap = bitmap;
    return previous;
}

BOOL DeleteObject(HPEN pen) {
    if (pen.value < kFirstHandle) return FindPen(pen) ? TRUE : FALSE;
    return Globals().pens.erase(pen.value) ? TRUE : FALSE;
}

BOOL DeleteObject(HBRUSH brush) {
    if (brush.value < kFirstHandle) return FindBrush(brush) ? TRUE : FALSE;
    return Globals().brushes.erase(brush.value) ? TRUE : FALSE;
}

BOOL DeleteObject(HFONT font) {
    if (font.value < kFirstHandle) return font.value == kSystemFont ? TRUE : FALSE;
    return Globals().fonts.erase(font.value) ? TRUE : FALSE;
}

BOOL DeleteObject(HBITMAP bitmap) {
    if (bitmap.value < kFirstHandle) return FALSE;
    BitmapObject* b = FindBitmap(bitmap);
    if (!b || b->selected_in > 0) return FALSE;
    Globals().bitmaps.erase(bitmap.value);
    return TRUE;
}

// --- Memory contexts
// ------------------------------------------------------------------------------

HDC CreateCompatibleDC(HDC) {
    HDC hdc{};
    DcObject& dc = NewDc(DcKind::Memory, hdc);
    dc.bitmap = HBITMAP::FromIndex(kDefaultBitmap);
    return hdc;
}

HBITMAP CreateCompatibleBitmap(HDC, int width, int height) {
    constexpr int kLargest = 16384;
    if (width < 1 || height < 1 || width > kLargest || height > kLargest) return {};
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull()) return {};
    image.fill(qRgb(0, 0, 0));
    const std::uint32_t h = NewHandle();
    Globals().bitmaps[h] = {std::move(image), 0};
    return HBITMAP::FromIndex(h);
}

HDC CreateDC(const char* driver, const char*, const char*, const void*) {
    if (!driver || std::strcmp(driver, "DISPLAY") != 0) return {};
    HDC hdc{};
    NewDc(DcKind::Display, hdc);
    return hdc;
}

BOOL DeleteDC(HDC hdc) {
    DcObject* dc = FindDc(hdc);
    if (!dc || dc->kind == DcKind::Surface) return FALSE;
    if (dc->kind == DcKind::Memory) {
        if (BitmapObject* b = FindBitmap(dc->bitmap)) --b->selected_in;
    }
    if (dc->kind == DcKind::Printer) AbandonPrintJob(*dc);
    EraseDc(hdc);
    return TRUE;
}

BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC source, int xSource, int ySource,
            DWORD rop) {
    DcObject* d = FindDc(dest);
    DcObject* s = FindDc(source);
    if (!d || !s || rop != SRCCOPY || width <= 0 || height <= 0) return FALSE;
    QRect dest_area;
    QRect source_area;
    QImage* dest_image = DcImage(*d, &dest_area);
    QImage* source_image = DcImage(*s, &source_area);
    if (!dest_image || !source_image) return FALSE;
    // Copying from a window copies what the window shows: its image with the windows it owns
    // over it (as a copy from the screen would). Otherwise a copy guards against overlap.
    QImage copy;
    if (s->kind == DcKind::Surface && s->hwnd) copy = ComposeWindowImage(s->hwnd);
    if (copy.isNull() && source_image == dest_image) copy = source_image->copy();
    const QImage& from = copy.isNull() ? *source_image : copy;
    // Source pixels outside the source image are not copied; 64-bit so that nothing wraps.
    const std::int64_t dx = static_cast<std::int64_t>(xSource) - x;
    const std::int64_t dy = static_cast<std::int64_t>(ySource) - y;
    for (std::int64_t row = y; row < static_cast<std::int64_t>(y) + height; ++row) {
        if (row < dest_area.top() || row > dest_area.bottom()) continue;
        const std::int64_t source_row = row + dy;
        if (source_row < 0 || source_row >= from.height()) continue;
        const auto* in =
            reinterpret_cast<const QRgb*>(from.constScanLine(static_cast<int>(source_row)));
        auto* out = reinterpret_cast<QRgb*>(dest_image->scanLine(static_cast<int>(row)));
        for (std::int64_t col = x; col < static_cast<std::int64_t>(x) + width; ++col) {
            if (col < dest_area.left() || col > dest_area.right()) continue;
            const std::int64_t source_col = col + dx;
            if (source_col < 0 || source_col >= from.width()) continue;
            out[col] = in[source_col] | 0xFF000000u;
        }
    }
    if (d->kind == DcKind::Surface) NoteSurfaceDrawn(*d);
    return TRUE;
}

HWND WindowFromDC(HDC hdc) {
    const DcObject* dc = FindDc(hdc);
    return dc != nullptr && dc->kind == DcKind::Surface ? dc->hwnd : HWND{};
}

int GetDeviceCaps(HDC hdc, int index) {
    DcObject* dc = FindDc(hdc);
    if (!dc) return 0;
    if (dc->kind == DcKind::Printer) return PrinterDeviceCaps(*dc, index);
    if (dc->kind == DcKind::Display) {
        const QScreen* screen = QGuiApplication::primaryScreen();
        const QRect geometry = screen ? screen->geometry() : QRect();
        switch (index) {
            case HORZRES:
                return geometry.width();
            case VERTRES:
                return geometry.height();
            case BITSPIXEL:
                return 32;
            case PLANES:
                return 1;
            case LOGPIXELSX:
            case LOGPIXELSY:
                return 96;
            default:
                return 0;
        }
    }
    QRect area;
    QImage* image = DcImage(*dc, &area);
    switch (index) {
        case HORZRES:
            return image ? image->width() : 0;
        case VERTRES:
            return image ? image->height() : 0;
        case BITSPIXEL:
            return 32;
        case PLANES:
            return 1;
        case LOGPIXELSX:
        case LOGPIXELSY:
            return 96;
        default:
            return 0;
    }
}

// --- State
// -----------------------------------------------------------------------------------------

COLORREF SetTextColor(HDC hdc, COLORREF colour) {
    DcObject* dc = FindDc(hdc);
    if (!dc) return CLR_INVALID;
    const COLORREF previous = dc->text_colour;
    dc->text_colour = colour & 0xFFFFFF;
    return previous;
}

COLORREF SetBkColor(HDC hdc, COLORREF colour) {
    DcObject* dc = FindDc(hdc);
    if (!dc) return CLR_INVALID;
    const COLORREF previous = dc->bk_colour;
    dc->bk_colour = colour & 0xFFFFFF;
    return previous;
}

int SetBkMode(HDC hdc, int mode) {
    DcObject* dc = FindDc(hdc);
    if (!dc || (mode != TRANSPARENT && mode != OPAQUE)) return 0;
    const int previous = dc->bk_mode;
    dc->bk_mode = mode;
    return previous;
}

int SetROP2(HDC hdc, int mode) {
    DcObject* dc = FindDc(hdc);
    if (!dc || (mode != R2_NOT && mode != R2_NOTXORPEN && mode != R2_COPYPEN)) return 0;
    const int previous = dc->rop2;
    dc->rop2 = mode;
    return previous;
}

int GetROP2(HDC hdc) {
    DcObject* dc = FindDc(hdc);
    return dc ? dc->rop2 : 0;
}

}  // namespace platform
