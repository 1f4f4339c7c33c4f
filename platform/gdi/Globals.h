// Process-wide state of the drawing layer: the tables behind pen, brush, font, bitmap and device
// context handles. UI thread only. Only platform/gdi includes this header.
#pragma once

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QRect>
#include <QString>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>

#include "platform/Types.h"

namespace platform::gdi {

struct PenObject {
    int style;  // PS_*
    int width;  // pixels, at least 1
    COLORREF colour;
};

struct BrushObject {
    bool hollow;
    COLORREF colour;
};

struct FontObject {
    QFont font;       // pinned family, pixel size, stretch, weight; hinted and antialiased
    int cell_height;  // ascent + descent, pixels
    int ascent;       // pixels
};

struct BitmapObject {
    QImage image;     // Format_RGB32
    int selected_in;  // memory contexts holding it
};

enum class DcKind { Surface, Memory, Printer, Display };

// A print job on a printer context: the printer, and the painter while a document is open.
struct PrintJob {
    std::unique_ptr<QPrinter> printer;
    std::unique_ptr<QPainter> painter;
    QString output_file;  // what the job writes (PDF output), removed again when it is aborted
    bool page_open = false;
    int pages = 0;
};

struct DcObject {
    DcKind kind = DcKind::Surface;
    HWND hwnd;                // surface contexts: the window whose image they draw into
    QImage* image = nullptr;  // surface: the backing image, kept alive by the window layer until
                              // DestroySurfaceDC; memory contexts: null (see bitmap)
    HBITMAP bitmap;           // memory contexts: the selected bitmap
    QRect clip;               // surface contexts, client coordinates; memory contexts: whole image
    HPEN pen;
    HBRUSH brush;
    HFONT font;
    COLORREF text_colour = 0;
    COLORREF bk_colour = 0xFFFFFF;
    int bk_mode = 2;  // OPAQUE
    int rop2 = 13;    // R2_COPYPEN
    POINT position{0, 0};
    std::unique_ptr<PrintJob> job;  // printer contexts
};

struct Tables {
    std::unordered_map<std::uint32_t, PenObject> pens;
    std::unordered_map<std::uint32_t, BrushObject> brushes;
    std::unordered_map<std::uint32_t, FontObject> fonts;
    std::unordered_map<std::uint32_t, BitmapObject> bitmaps;
    std::unordered_map<std::uint32_t, DcObject> dcs;
    // Handle values are never reused, so a stale handle never reaches a newer object. Values
    // below kFirstHandle are the stock objects.
    std::uint32_t next_handle = 0;
    // The context found last: a plot asks for the same one thousands of times in a row.
    std::uint32_t last_dc_handle = 0;
    DcObject* last_dc = nullptr;
};

inline constexpr std::uint32_t kFirstHandle = 64;

// Stock handle values.
inline constexpr std::uint32_t kWhiteBrush = 1;
inline constexpr std::uint32_t kLightGreyBrush = 2;
inline constexpr std::uint32_t kGreyBrush = 3;
inline constexpr std::uint32_t kDarkGreyBrush = 4;
inline constexpr std::uint32_t kBlackBrush = 5;
inline constexpr std::uint32_t kNullBrush = 6;
inline constexpr std::uint32_t kWindowBrush = 7;
inline constexpr std::uint32_t kButtonFaceBrush = 8;
inline constexpr std::uint32_t kWhitePen = 1;
inline constexpr std::uint32_t kBlackPen = 2;
inline constexpr std::uint32_t kNullPen = 3;
inline constexpr std::uint32_t kSystemFont = 1;
inline constexpr std::uint32_t kDefaultBitmap = 1;  // the 1 x 1 bitmap of a fresh memory context

Tables& Globals();
std::uint32_t NewHandle();
// A new context of this kind with the black pen, the white brush and the system font selected;
// `hdc` receives its handle.
DcObject& NewDc(DcKind kind, HDC& hdc);

DcObject* FindDc(HDC hdc);
// Destroys a context (its handle is never found again).
void EraseDc(HDC hdc);
const PenObject* FindPen(HPEN pen);
const BrushObject* FindBrush(HBRUSH brush);
const FontObject* FindFont(HFONT font);
BitmapObject* FindBitmap(HBITMAP bitmap);

// What a context draws with: its selected objects, or the defaults when they were deleted.
const PenObject& DcPen(const DcObject& dc);
const BrushObject& DcBrush(const DcObject& dc);
const FontObject& DcFont(const DcObject& dc);

// The image a context draws into and the rectangle it may touch (clip within the image), or
// nullptr when it has none (printer contexts, deleted bitmaps).
QImage* DcImage(DcObject& dc, QRect* area);

// After drawing into a window's image: the window shows it (SurfaceDC.cpp).
void NoteSurfaceDrawn(const DcObject& dc);

// Printer contexts (Print.cpp): their capabilities, and ending a job that was never finished
// (the output it began is removed).
int PrinterDeviceCaps(DcObject& dc, int index);
void AbandonPrintJob(DcObject& dc);

// What a window shows: its image with its visible owned windows over it (WindowImage.cpp).
// A null image when the window has none.
QImage ComposeWindowImage(HWND window);

// Builds a font object for a request (Text.cpp).
FontObject MakeFont(int height, int width, int weight, bool italic, bool underline, bool strike_out,
                    const std::string& face);

inline QRgb ToRgb(COLORREF c) {
    return qRgb(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                static_cast<int>((c >> 16) & 0xFF));
}
inline COLORREF FromRgb(QRgb p) {
    return static_cast<COLORREF>(qRed(p)) | (static_cast<COLORREF>(qGreen(p)) << 8) |
           (static_cast<COLORREF>(qBlue(p)) << 16);
}

}  // namespace platform::gdi
