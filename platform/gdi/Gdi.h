// Device contexts and drawing: pens, brushes, fonts, stock objects, system colours, lines,
// shapes, pixels, text and raster modes, and memory device contexts over offscreen bitmaps.
//
// All calls run on the UI thread. A device context draws into a 32-bit image (a window's backing
// image, or a bitmap selected into a memory context) with no antialiasing: every pixel lands where
// the integer arithmetic below puts it, the same on every machine. Coordinates far outside the
// image are clipped, never wrapped. A call on 0 or on a deleted handle does nothing and reports
// failure (FALSE, 0, or CLR_INVALID).
#pragma once

#include "platform/Types.h"

namespace platform {

// --- Objects -------------------------------------------------------------------------------------

// Pen styles. Dotted and dashed pens wider than one pixel draw solid.
inline constexpr int PS_SOLID = 0;
inline constexpr int PS_DASH = 1;  // 18 pixels on, 6 off
inline constexpr int PS_DOT = 2;   // 3 pixels on, 3 off
inline constexpr int PS_NULL = 5;

// Width 0 counts as 1. Returns 0 for an unknown style.
HPEN CreatePen(int style, int width, COLORREF colour);
HBRUSH CreateSolidBrush(COLORREF colour);

// Font weights (100 thin .. 900 heavy).
inline constexpr int FW_DONTCARE = 0;
inline constexpr int FW_THIN = 100;
inline constexpr int FW_NORMAL = 400;
inline constexpr int FW_BOLD = 700;

inline constexpr DWORD ANSI_CHARSET = 0;
inline constexpr DWORD OUT_DEFAULT_PRECIS = 0;
inline constexpr DWORD CLIP_DEFAULT_PRECIS = 0;
inline constexpr DWORD DEFAULT_QUALITY = 0;
inline constexpr DWORD VARIABLE_PITCH = 0x01;
inline constexpr DWORD FF_SWISS = 0x20;

// A font asked for by face, cell height (ascent + descent, pixels: the largest size whose cell
// is not taller; a negative height asks for the character height without internal leading
// instead; 0 gives a cell of 16), average character width (0: the face's own proportions;
// otherwise the face is stretched to that average) and weight. Faces are replaced by the ones the
// machine setup installs: "Arial", "Helv", "MS Sans Serif", "System" and unknown sans faces by
// Liberation Sans, "Times New Roman" and serif faces by Liberation Serif, "Courier New" by
// Liberation Mono (DejaVu when Liberation is missing). Escapement, orientation, character set,
// precisions, quality and pitch are accepted and ignored: text is drawn upright, without
// antialiasing.
HFONT CreateFont(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                 DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision,
                 DWORD clipPrecision, DWORD quality, DWORD pitchAndFamily, const char* face);

// Stock objects: never deleted (DeleteObject on them succeeds and does nothing).
enum class StockBrush { White, LightGrey, Grey, DarkGrey, Black, Null };
enum class StockPen { White, Black, Null };
enum class StockFont { System };
inline constexpr StockBrush WHITE_BRUSH = StockBrush::White;
inline constexpr StockBrush LTGRAY_BRUSH = StockBrush::LightGrey;
inline constexpr StockBrush GRAY_BRUSH = StockBrush::Grey;
inline constexpr StockBrush DKGRAY_BRUSH = StockBrush::DarkGrey;
inline constexpr StockBrush BLACK_BRUSH = StockBrush::Black;
inline constexpr StockBrush NULL_BRUSH = StockBrush::Null;
inline constexpr StockBrush HOLLOW_BRUSH = StockBrush::Null;
inline constexpr StockPen WHITE_PEN = StockPen::White;
inline constexpr StockPen BLACK_PEN = StockPen::Black;
inline constexpr StockPen NULL_PEN = StockPen::Null;
inline constexpr StockFont SYSTEM_FONT = StockFont::System;  // Liberation Sans bold, cell 16

HBRUSH GetStockObject(StockBrush which);
HPEN GetStockObject(StockPen which);
HFONT GetStockObject(StockFont which);

// System colours and their stock brushes.
inline constexpr int COLOR_WINDOW = 5;    // white
inline constexpr int COLOR_BTNFACE = 15;  // light grey (240, 240, 240)
COLORREF GetSysColor(int index);          // 0 for an unknown index
HBRUSH GetSysColorBrush(int index);       // 0 for an unknown index

// Selects an object into a device context and returns the one it replaces (0 on failure).
HPEN SelectObject(HDC hdc, HPEN pen);
HBRUSH SelectObject(HDC hdc, HBRUSH brush);
HFONT SelectObject(HDC hdc, HFONT font);
HBITMAP SelectObject(HDC hdc, HBITMAP bitmap);  // memory device contexts only

// Deletes an object. A context that still has it selected draws with its default instead.
BOOL DeleteObject(HPEN pen);
BOOL DeleteObject(HBRUSH brush);
BOOL DeleteObject(HFONT font);
BOOL DeleteObject(HBITMAP bitmap);  // refused (FALSE) while selected into a memory context

// --- Memory device contexts and bitmaps
// ------------------------------------------------------------

// A memory device context: it draws into the bitmap selected into it (a 1 x 1 white bitmap at
// first). `compatible` may be 0. Delete it with DeleteDC.
HDC CreateCompatibleDC(HDC compatible);
// A 32-bit bitmap of width x height pixels, filled black. 0 for a size below 1 or too large.
HBITMAP CreateCompatibleBitmap(HDC compatible, int width, int height);
// A device context on the screen, for its capabilities (`driver` "DISPLAY"; the other arguments
// are unused). The screen cannot be read back or drawn on through it: window images come from
// CreateWindowImage (WindowImage.h). 0 for any other driver. Delete it with DeleteDC.
HDC CreateDC(const char* driver, const char* device, const char* output, const void* init);
// Deletes a memory, screen or printer device context (window contexts go back through
// ReleaseDC/EndPaint).
BOOL DeleteDC(HDC hdc);

// Raster operation of BitBlt.
inline constexpr DWORD SRCCOPY = 0x00CC0020;
// Copies a width x height block from `source` at (xSource, ySource) to `dest` at (x, y).
// Parts of the block outside either image are left alone.
BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC source, int xSource, int ySource,
            DWORD rop);

// Device capabilities.
inline constexpr int HORZRES = 8;      // width, pixels (printable width of a printer page;
                                       // the screen's width)
inline constexpr int VERTRES = 10;     // height, pixels
inline constexpr int BITSPIXEL = 12;   // 32 for images; 24 for printers
inline constexpr int PLANES = 14;      // 1
inline constexpr int LOGPIXELSX = 88;  // pixels per inch
inline constexpr int LOGPIXELSY = 90;
int GetDeviceCaps(HDC hdc, int index);
// The window a device context from GetDC or BeginPaint draws into; 0 for other contexts.
HWND WindowFromDC(HDC hdc);

// --- State of a device context
// ---------------------------------------------------------------------- A fresh context: black
// 1-pixel pen, white brush, system font, black text on an opaque white background, copy mode,
// current position (0, 0).

inline constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;
inline constexpr int TRANSPARENT = 1;
inline constexpr int OPAQUE = 2;

// Raster modes: how pens and brush fills combine with the image (text and SetPixel ignore them).
inline constexpr int R2_NOT = 6;         // invert the image; drawing twice restores it
inline constexpr int R2_NOTXORPEN = 10;  // not (pen xor image); drawing twice restores it
inline constexpr int R2_COPYPEN = 13;    // the pen or brush colour

COLORREF SetTextColor(HDC hdc, COLORREF colour);  // previous colour, CLR_INVALID on failure
COLORREF SetBkColor(HDC hdc, COLORREF colour);    // previous colour, CLR_INVALID on failure
int SetBkMode(HDC hdc, int mode);                 // previous mode, 0 on failure
int SetROP2(HDC hdc, int mode);                   // previous mode, 0 on failure
int GetROP2(HDC hdc);                             // 0 on failure

// --- Lines and shapes
// --------------------------------------------------------------------------------- Lines exclude
// their end point. A zero-length line draws nothing with a 1-pixel pen and a round dot with a wider
// one. Shapes exclude their right and bottom edges, outline with the pen and fill with the brush;
// with a null pen the filled area is one pixel smaller on the right and bottom. Dotted and dashed
// pens draw their gaps in the background colour when the mode is OPAQUE.

BOOL MoveToEx(HDC hdc, int x, int y, POINT* previous);
BOOL LineTo(HDC hdc, int x, int y);
BOOL Polyline(HDC hdc, const POINT* points, int count);
// Filled with the brush by the alternate rule, then outlined with the pen.
BOOL Polygon(HDC hdc, const POINT* points, int count);
BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom);
// A rectangle whose corners are quarter ellipses `ellipseWidth` x `ellipseHeight`.
BOOL RoundRect(HDC hdc, int left, int top, int right, int bottom, int ellipseWidth,
               int ellipseHeight);
BOOL Ellipse(HDC hdc, int left, int top, int right, int bottom);
// The part of the ellipse outline in the box from the ray through (xStart, yStart)
// counter-clockwise to the ray through (xEnd, yEnd), both from the centre; equal rays draw the
// whole ellipse.
BOOL Arc(HDC hdc, int left, int top, int right, int bottom, int xStart, int yStart, int xEnd,
         int yEnd);

// Sets one pixel to `colour` (whatever the raster mode); returns the colour set, or CLR_INVALID
// when the pixel lies outside the image or the clip.
COLORREF SetPixel(HDC hdc, int x, int y, COLORREF colour);
// The colour of one pixel, or CLR_INVALID outside the image.
COLORREF GetPixel(HDC hdc, int x, int y);

// Fills the rectangle with the brush, whatever the raster mode. Returns 0 on failure.
int FillRect(HDC hdc, const RECT* rect, HBRUSH brush);
// Inverts every other pixel of the rectangle's edge; drawing it twice removes it.
BOOL DrawFocusRect(HDC hdc, const RECT* rect);

// --- Text
// -----------------------------------------------------------------------------------------------
// Text is drawn with its cell's top-left corner at (x, y) in the text colour; an OPAQUE background
// first fills the cell (the text extent) with the background colour. `length` is in bytes.
BOOL TextOut(HDC hdc, int x, int y, const char* text, int length);
// The cell of the text in the selected font: advance width and cell height.
BOOL GetTextExtentPoint32(HDC hdc, const char* text, int length, SIZE* size);

}  // namespace platform
