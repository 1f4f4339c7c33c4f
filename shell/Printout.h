// Window printout: the "Printout Control" dialog (template "EnterScales"), the window image as a
// packed device-independent bitmap, the printer dialog and one printed page. UI thread only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/Types.h"
#include "platform/gdi/WindowImage.h"

namespace shell {

inline constexpr const char* kPrintDocumentName = "Sonvexa";

// Control ids of "EnterScales".
inline constexpr int kPrinterTypeText = 7000;
inline constexpr int kPrinterModelText = 7001;
inline constexpr int kPrinterPortText = 7002;
inline constexpr int kLandscapeRadio = 807;
inline constexpr int kPortraitRadio = 808;
inline constexpr int kScaleList = 809;
inline constexpr int kScaleText = 7005;
inline constexpr int kXOffsetEdit = 810;
inline constexpr int kYOffsetEdit = 811;
inline constexpr int kColourCountEdit = 812;

// The default printer as the system profile names it (shown in the dialog only).
inline constexpr int kPrinterTextSlot = 80;
struct PrinterDescriptionRecord {
    char Model[kPrinterTextSlot];  // device name: before the first comma
    char Type[kPrinterTextSlot];   // driver name: between the first and second comma
    char Port[kPrinterTextSlot];   // the rest
};
extern PrinterDescriptionRecord PrinterDescription;

// Splits "model,type,port" (spaces after a comma skipped, missing parts empty).
void SplitPrinterDescription(const char* device, PrinterDescriptionRecord* out);

// A packed device-independent bitmap: header, colour table, bottom-up rows, in one block.
struct PackedDib {
    std::unique_ptr<std::uint8_t[]> block;
    std::size_t size = 0;
    const platform::BITMAPINFOHEADER* Header() const {
        return reinterpret_cast<const platform::BITMAPINFOHEADER*>(block.get());
    }
    explicit operator bool() const { return block != nullptr; }
};

// Colour-table entries of a header: only images of 8 bits or less carry one, of at most 256
// entries (the used count when given, else 2, 16 or 256).
std::uint32_t DibColorCount(const platform::BITMAPINFOHEADER* header);
std::uint32_t DibPaletteBytes(const platform::BITMAPINFOHEADER* header);
const std::uint8_t* DibBitsPointer(const platform::BITMAPINFOHEADER* header);

// 1 << (bits per pixel x planes) modulo 32 of a device context.
std::uint32_t DisplayColorCount(platform::HDC dc);

// A bitmap as a 24-bit packed DIB (no colour table); empty when it cannot be read.
PackedDib BitmapToDib(platform::HBITMAP bitmap);
// What the window shows (the window and its visible owned dialogs) as a packed DIB; empty for a
// window with no image or an empty client area.
PackedDib CaptureClientArea(platform::HWND window);

// The page rectangle of the image, printer pixels: scale 30, 50, 80 or 100 percent, landscape
// 1 or 0, the two offset texts, the printable page size.
platform::RECT PrintoutDestination(int scale, int landscape, const char* x_offset_text,
                                   const char* y_offset_text, int page_width, int page_height);

// The printer dialog; the printer's device context or 0 when cancelled.
platform::HDC ChoosePrinter(platform::HWND window);

// Results of PrintDib.
enum PrintDibResult : int {
    kPrintDone = 0,
    kPrintNoImage = 1,     // the image cannot be read
    kPrintNotStarted = 2,  // the job or its page does not start
    kPrintNotClosed = 3,   // the page or the job does not end
    kPrintNotDrawn = 4,    // the image could not be put on the page
};
// Prints the DIB on one page. Any failure after the job started aborts the job, so no partial
// printout is left behind.
int PrintDib(platform::HWND window, const PackedDib& dib, platform::HDC printer);

// Stretches the DIB onto the intersection of `dest` and `clip`; 0, or 1 when the stretch fails.
int StretchDibToPage(platform::HDC printer, const platform::RECT& dest, const platform::RECT& clip,
                     const platform::BITMAPINFOHEADER* header, const void* bits);

// The dialog procedure of "EnterScales": ends with 1 for Done and 2 for Cancel.
platform::INT_PTR EnterScalesDlgProc(platform::HWND dialog, platform::UINT message,
                                     platform::WPARAM wParam, platform::LPARAM lParam);

// Prints what `window` shows: asks for the settings, takes the window image, asks for a printer
// and prints one page. `other` (may be 0) is brought up to date before the image is taken.
// 0 when a print was attempted, 1 when nothing was printed.
int PrintWindowImage(platform::HWND window, platform::HWND other);

}  // namespace shell
