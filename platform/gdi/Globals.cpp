// The tables behind the drawing layer's handles, and the stock objects.
#include "platform/gdi/Globals.h"

#include <QPainter>
#include <QPrinter>

#include "platform/gdi/Gdi.h"

namespace platform::gdi {
namespace {

void AddStockObjects(Tables& t) {
    t.brushes[kWhiteBrush] = {false, RGB(255, 255, 255)};
    t.brushes[kLightGreyBrush] = {false, RGB(192, 192, 192)};
    t.brushes[kGreyBrush] = {false, RGB(128, 128, 128)};
    t.brushes[kDarkGreyBrush] = {false, RGB(64, 64, 64)};
    t.brushes[kBlackBrush] = {false, RGB(0, 0, 0)};
    t.brushes[kNullBrush] = {true, 0};
    t.brushes[kWindowBrush] = {false, GetSysColor(COLOR_WINDOW)};
    t.brushes[kButtonFaceBrush] = {false, GetSysColor(COLOR_BTNFACE)};
    t.pens[kWhitePen] = {PS_SOLID, 1, RGB(255, 255, 255)};
    t.pens[kBlackPen] = {PS_SOLID, 1, RGB(0, 0, 0)};
    t.pens[kNullPen] = {PS_NULL, 1, 0};
    BitmapObject one;
    one.image = QImage(1, 1, QImage::Format_RGB32);
    one.image.fill(qRgb(255, 255, 255));
    one.selected_in = 0;
    t.bitmaps[kDefaultBitmap] = one;
    // The system font is made on first use: fonts need the application object.
}

Tables* MakeTables() {
    auto* t = new Tables;
    t->next_handle = kFirstHandle;
    AddStockObjects(*t);
    return t;
}

}  // namespace

Tables& Globals() {
    static Tables* tables = MakeTables();
    return *tables;
}

std::uint32_t NewHandle() {
    Tables& t = Globals();
    if (t.next_handle == 0) t.next_handle = kFirstHandle;  // after 4 billion objects
    return t.next_handle++;
}

DcObject& NewDc(DcKind kind, HDC& hdc) {
    const std::uint32_t h = NewHandle();
    DcObject& dc = Globals().dcs[h];
    dc.kind = kind;
    dc.pen = HPEN::FromIndex(kBlackPen);
    dc.brush = HBRUSH::FromIndex(kWhiteBrush);
    dc.font = HFONT::FromIndex(kSystemFont);
    hdc = HDC::FromIndex(h);
    return dc;
}

DcObject* FindDc(HDC hdc) {
    Tables& t = Globals();
    if (t.last_dc && t.last_dc_handle == hdc.value) return t.last_dc;
    auto it = t.dcs.find(hdc.value);
    if (it == t.dcs.end()) return nullptr;
    t.last_dc_handle = hdc.value;
    t.last_dc = &it->second;
    return t.last_dc;
}

void EraseDc(HDC hdc) {
    Tables& t = Globals();
    if (t.last_dc_handle == hdc.value) t.last_dc = nullptr;
    t.dcs.erase(hdc.value);
}

const PenObject* FindPen(HPEN pen) {
    auto& m = Globals().pens;
    auto it = m.find(pen.value);
    return it == m.end() ? nullptr : &it->second;
}

const BrushObject* FindBrush(HBRUSH brush) {
    auto& m = Globals().brushes;
    auto it = m.find(brush.value);
    return it == m.end() ? nullptr : &it->second;
}

const FontObject* FindFont(HFONT font) {
    auto& m = Globals().fonts;
    if (font.value == kSystemFont && m.find(kSystemFont) == m.end()) {
        m[kSystemFont] = MakeFont(16, 0, FW_BOLD, false, false, false, "System");
    }
    auto it = m.find(font.value);
    return it == m.end() ? nullptr : &it->second;
}

BitmapObject* FindBitmap(HBITMAP bitmap) {
    auto& m = Globals().bitmaps;
    auto it = m.find(bitmap.value);
    return it == m.end() ? nullptr : &it->second;
}

const PenObject& DcPen(const DcObject& dc) {
    const PenObject* p = FindPen(dc.pen);
    return p ? *p : Globals().pens[kBlackPen];
}

const BrushObject& DcBrush(const DcObject& dc) {
    const BrushObject* b = FindBrush(dc.brush);
    return b ? *b : Globals().brushes[kWhiteBrush];
}

const FontObject& DcFont(const DcObject& dc) {
    const FontObject* f = FindFont(dc.font);
    return f ? *f : *FindFont(HFONT::FromIndex(kSystemFont));
}

QImage* DcImage(DcObject& dc, QRect* area) {
    QImage* image = nullptr;
    QRect clip;
    switch (dc.kind) {
        case DcKind::Surface:
            // Checked and clipped to the image when the context was made; the window layer keeps
            // the image, at its size, until the context is destroyed. Every pixel drawn asks.
            if (area) *area = dc.clip;
            return dc.image;
        case DcKind::Memory: {
            BitmapObject* b = FindBitmap(dc.bitmap);
            if (b) {
                image = &b->image;
                clip = b->image.rect();
            }
            break;
        }
        case DcKind::Printer:
        case DcKind::Display:
            break;
    }
    if (!image || image->isNull()) return nullptr;
    if (area) *area = clip.intersected(image->rect());
    return image;
}

}  // namespace platform::gdi
