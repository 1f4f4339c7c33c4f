// Window printout: settings dialog, window image, printer choice and the one printed page.
#include "shell/Printout.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>

#include "platform/gdi/Gdi.h"
#include "platform/gdi/Print.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Paint.h"
#include "platform/ui/Window.h"
#include "shell/FrameWindows.h"
#include "shell/Globals.h"
#include "shell/NumberText.h"

namespace shell {

using platform::BITMAPINFOHEADER;
using platform::HDC;
using platform::HWND;
using platform::INT_PTR;
using platform::LPARAM;
using platform::RECT;
using platform::UINT;
using platform::WPARAM;

PrinterDescriptionRecord PrinterDescription{};

namespace {

constexpr const char* kPrintCaption = "Test";

// Rows of the scale list and the scale each stands for.
constexpr int kScaleRows = 4;
constexpr const char* kScaleRowTexts[kScaleRows] = {"100 %", "30 %", "50 %", "80 %"};
constexpr int kScaleRowValues[kScaleRows] = {100, 30, 50, 80};

constexpr int kOffsetChars = 6;       // X and Y offset texts keep at most 6 characters
constexpr int kColourCountChars = 9;  // the colour count at most 9
constexpr int kLandscapeShift = 100;  // printer pixels the image moves right in landscape
constexpr int kCapturedBits = 24;     // the window image is true colour

void PrintMessage(HWND owner, const char* text) {
    platform::MessageBox(owner, text, kPrintCaption,
                         platform::MB_OK | platform::MB_ICONEXCLAMATION);
}

// Copies [from, to) of `text` into a slot, skipping spaces at its start.
void CopyPart(char* slot, const char* from, const char* to) {
    while (from < to && *from == ' ') ++from;
    std::size_t n = static_cast<std::size_t>(to - from);
    if (n > kPrinterTextSlot - 1) n = kPrinterTextSlot - 1;
    std::memcpy(slot, from, n);
    slot[n] = '\0';
}

// The integer value of an offset text, as every typed number reads ("200.7" gives 200); a text
// without a leading number gives 0.
std::int32_t OffsetValue(const char* text) {
    std::int32_t value = 0;
    return ReadTypedInteger(text, &value) ? value : 0;
}

void ShowScaleRow(HWND dialog, int row) {
    platform::SendDlgItemMessage(dialog, kScaleList, platform::LB_SETCURSEL,
                                 static_cast<WPARAM>(row), 0);
}

void ShowOrientation(HWND dialog) {
    const bool landscape = PrintoutSettings.Landscape == 1;
    platform::CheckDlgButton(dialog, kLandscapeRadio,
                             landscape ? platform::BST_CHECKED : platform::BST_UNCHECKED);
    platform::CheckDlgButton(dialog, kPortraitRadio,
                             landscape ? platform::BST_UNCHECKED : platform::BST_CHECKED);
}

void InitEnterScales(HWND dialog) {
    platform::SetDlgItemText(dialog, kPrinterTypeText, PrinterDescription.Type);
    platform::SetDlgItemText(dialog, kPrinterModelText, PrinterDescription.Model);
    platform::SetDlgItemText(dialog, kPrinterPortText, PrinterDescription.Port);
    platform::SetDlgItemText(dialog, kScaleText, PrintoutSettings.ScaleText);
    platform::SendDlgItemMessage(dialog, kScaleList, platform::LB_RESETCONTENT, 0, 0);
    int selected = -1;
    for (int row = 0; row < kScaleRows; ++row) {
        platform::SendDlgItemMessage(dialog, kScaleList, platform::LB_ADDSTRING, 0,
                                     reinterpret_cast<LPARAM>(kScaleRowTexts[row]));
        if (kScaleRowValues[row] == PrintoutSettings.Scale) selected = row;
    }
    ShowScaleRow(dialog, selected);
    ShowOrientation(dialog);
    platform::SendDlgItemMessage(dialog, kXOffsetEdit, platform::EM_LIMITTEXT, kOffsetChars, 0);
    platform::SendDlgItemMessage(dialog, kYOffsetEdit, platform::EM_LIMITTEXT, kOffsetChars, 0);
    platform::SendDlgItemMessage(dialog, kColourCountEdit, platform::EM_LIMITTEXT,
                                 kColourCountChars, 0);
    platform::SetDlgItemText(dialog, kXOffsetEdit, PrintoutSettings.XOffsetText);
    platform::SetDlgItemText(dialog, kYOffsetEdit, PrintoutSettings.YOffsetText);
    platform::SetDlgItemText(dialog, kColourCountEdit, PrintoutSettings.ColourCountText);
}

// Done: the three texts as typed; the offsets are read as numbers when the page is laid out.
void TakeEnterScales(HWND dialog) {
    char x_text[kOffsetChars + 1] = {};
    char y_text[kOffsetChars + 1] = {};
    char count_text[kColourCountChars + 1] = {};
    platform::GetDlgItemText(dialog, kXOffsetEdit, x_text, sizeof x_text);
    platform::GetDlgItemText(dialog, kYOffsetEdit, y_text, sizeof y_text);
    platform::GetDlgItemText(dialog, kColourCountEdit, count_text, sizeof count_text);
    CopyTextSlot(PrintoutSettings.XOffsetText, x_text);
    CopyTextSlot(PrintoutSettings.YOffsetText, y_text);
    CopyTextSlot(PrintoutSettings.ColourCountText, count_text);
}

void OnScaleList(HWND dialog) {
    const platform::LRESULT row =
        platform::SendDlgItemMessage(dialog, kScaleList, platform::LB_GETCURSEL, 0, 0);
    if (row < 0 || row >= kScaleRows) return;
    PrintoutSettings.Scale = kScaleRowValues[row];
    // Only the static follows the choice: the scale text that the next dialog opens with stays.
    platform::SetDlgItemText(dialog, kScaleText, kScaleRowTexts[row]);
}

// The colour count shown for the screen: its own count up to 24 bits per pixel; deeper screens
// show the 24-bit count the image is taken with (the shifted count would wrap).
void SetColourCountText(HDC screen) {
    const int bits = platform::GetDeviceCaps(screen, platform::BITSPIXEL) *
                     platform::GetDeviceCaps(screen, platform::PLANES);
    const std::uint32_t count =
        bits >= kCapturedBits ? (1u << kCapturedBits) : DisplayColorCount(screen);
    char text[16];
    std::snprintf(text, sizeof text, "%u", static_cast<unsigned>(count));
    CopyTextSlot(PrintoutSettings.ColourCountText, text);
}

// Ends a job that started but cannot be finished: nothing of it is printed.
int AbortJob(HDC printer, int result) {
    platform::AbortDoc(printer);
    return result;
}

}  // namespace

void SplitPrinterDescription(const char* device, PrinterDescriptionRecord* out) {
    std::memset(out, 0, sizeof *out);
    if (device == nullptr) return;
    const char* end = device + std::strlen(device);
    const char* first = std::strchr(device, ',');
    if (first == nullptr) {
        CopyPart(out->Model, device, end);
        return;
    }
    CopyPart(out->Model, device, first);
    const char* second = std::strchr(first + 1, ',');
    if (second == nullptr) {
        CopyPart(out->Type, first + 1, end);
        return;
    }
    CopyPart(out->Type, first + 1, second);
    CopyPart(out->Port, second + 1, end);
}

std::uint32_t DibColorCount(const BITMAPINFOHEADER* header) {
    if (header == nullptr || header->biBitCount > 8) return 0;
    const std::uint32_t full = 1u << header->biBitCount;
    if (header->biClrUsed != 0 && header->biClrUsed <= full) return header->biClrUsed;
    return header->biBitCount == 1 ? 2 : header->biBitCount == 4 ? 16 : 256;
}

std::uint32_t DibPaletteBytes(const BITMAPINFOHEADER* header) { return 4 * DibColorCount(header); }

const std::uint8_t* DibBitsPointer(const BITMAPINFOHEADER* header) {
    return reinterpret_cast<const std::uint8_t*>(header) + header->biSize + DibPaletteBytes(header);
}

std::uint32_t DisplayColorCount(HDC dc) {
    const int bits = platform::GetDeviceCaps(dc, platform::BITSPIXEL) *
                     platform::GetDeviceCaps(dc, platform::PLANES);
    return 1u << (static_cast<unsigned>(bits) % 32u);
}

PackedDib BitmapToDib(platform::HBITMAP bitmap) {
    PackedDib dib;
    if (!bitmap) return dib;
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biBitCount = kCapturedBits;
    if (platform::GetDIBits(HDC{}, bitmap, 0, 0, nullptr, &info, platform::DIB_RGB_COLORS) <= 0) {
        return dib;
    }
    if (info.biWidth < 1 || info.biHeight < 1) return dib;
    const std::size_t image_bytes =
        static_cast<std::size_t>(platform::DibRowBytes(info.biWidth, kCapturedBits)) *
        static_cast<std::size_t>(info.biHeight);
    const std::size_t size = sizeof info + image_bytes;  // 24 bits: no colour table
    std::unique_ptr<std::uint8_t[]> block(new (std::nothrow) std::uint8_t[size]());
    if (!block) return dib;
    info.biSizeImage = static_cast<platform::DWORD>(image_bytes);
    std::memcpy(block.get(), &info, sizeof info);
    auto* header = reinterpret_cast<BITMAPINFOHEADER*>(block.get());
    const int rows =
        platform::GetDIBits(HDC{}, bitmap, 0, static_cast<UINT>(info.biHeight),
                            block.get() + sizeof info, header, platform::DIB_RGB_COLORS);
    if (rows != info.biHeight) return dib;
    dib.block = std::move(block);
    dib.size = size;
    return dib;
}

PackedDib CaptureClientArea(HWND window) {
    const platform::HBITMAP image = platform::CreateWindowImage(window);
    PackedDib dib = BitmapToDib(image);
    if (image) platform::DeleteObject(image);
    return dib;
}

RECT PrintoutDestination(int scale, int landscape, const char* x_offset_text,
                         const char* y_offset_text, int page_width, int page_height) {
    const std::int64_t tenths = static_cast<std::int64_t>(scale) * 10 / 100;
    std::int64_t x = OffsetValue(x_offset_text);
    const std::int64_t y = OffsetValue(y_offset_text);
    if (landscape == 1) x += kLandscapeShift;
    const std::int64_t width = static_cast<std::int64_t>(page_width) * tenths / 10;
    const std::int64_t height = landscape == 1
                                    ? static_cast<std::int64_t>(page_height) * tenths / 10
                                    : static_cast<std::int64_t>(page_height) * tenths / 20;
    RECT r{};
    r.left = static_cast<std::int32_t>(x);
    r.top = static_cast<std::int32_t>(y);
    r.right = static_cast<std::int32_t>(x + width);
    r.bottom = static_cast<std::int32_t>(y + height);
    return r;
}

HDC ChoosePrinter(HWND window) {
    platform::PRINTDLG dialog{};
    dialog.hwndOwner = window;
    dialog.Flags = platform::PD_RETURNDC | platform::PD_PRINTSETUP | platform::PD_NOPAGENUMS |
                   platform::PD_NOSELECTION | platform::PD_HIDEPRINTTOFILE;
    dialog.nFromPage = 1;
    dialog.nToPage = 1;
    dialog.nMinPage = 1;
    dialog.nMaxPage = 1;
    dialog.nCopies = 1;
    if (!platform::PrintDlg(&dialog)) return HDC{};
    return dialog.hDC;
}

int StretchDibToPage(HDC printer, const RECT& dest, const RECT& clip,
                     const BITMAPINFOHEADER* header, const void* bits) {
    if (header == nullptr || header->biWidth < 1 || header->biHeight < 1) return 1;
    const double width = header->biWidth;
    const double height = header->biHeight;
    const double fx = (static_cast<double>(dest.right) - dest.left) / width;
    const double fy = (static_cast<double>(dest.bottom) - dest.top) / height;
    RECT inner{};
    inner.left = dest.left > clip.left ? dest.left : clip.left;
    inner.top = dest.top > clip.top ? dest.top : clip.top;
    inner.right = dest.right < clip.right ? dest.right : clip.right;
    inner.bottom = dest.bottom < clip.bottom ? dest.bottom : clip.bottom;
    if (inner.left >= inner.right || inner.top >= inner.bottom) return 0;
    auto round_half_up = [](double v) { return static_cast<std::int64_t>(std::floor(v + 0.5)); };
    const std::int64_t x0 = round_half_up((inner.left - dest.left) / fx);
    const std::int64_t x1 =
        round_half_up(static_cast<double>(x0) + (inner.right - inner.left) / fx);
    const std::int64_t y0 = round_half_up((inner.top - dest.top) / fy);
    const std::int64_t y1 =
        round_half_up(static_cast<double>(y0) + (inner.bottom - inner.top) / fy);
    const int drawn = platform::StretchDIBits(
        printer, inner.left, inner.top, inner.right - inner.left, inner.bottom - inner.top,
        static_cast<int>(x0), static_cast<int>(header->biHeight - y1), static_cast<int>(x1 - x0),
        static_cast<int>(y1 - y0), bits, header, platform::DIB_RGB_COLORS, platform::SRCCOPY);
    return drawn == 0 ? 1 : 0;
}

int PrintDib(HWND, const PackedDib& dib, HDC printer) {
    if (!dib) return kPrintNoImage;
    const BITMAPINFOHEADER* header = dib.Header();
    const std::uint8_t* bits = DibBitsPointer(header);
    platform::SetStretchBltMode(printer, platform::COLORONCOLOR);
    const RECT dest = PrintoutDestination(
        PrintoutSettings.Scale, PrintoutSettings.Landscape, PrintoutSettings.XOffsetText,
        PrintoutSettings.YOffsetText, platform::GetDeviceCaps(printer, platform::HORZRES),
        platform::GetDeviceCaps(printer, platform::VERTRES));
    platform::DOCINFO info{};
    info.lpszDocName = kPrintDocumentName;
    if (platform::StartDoc(printer, &info) < 0) return kPrintNotStarted;
    if (platform::StartPage(printer) < 0) return AbortJob(printer, kPrintNotStarted);
    if (StretchDibToPage(printer, dest, dest, header, bits) != 0) {
        return AbortJob(printer, kPrintNotDrawn);
    }
    if (platform::EndPage(printer) < 0) return AbortJob(printer, kPrintNotClosed);
    if (platform::EndDoc(printer) < 0) return AbortJob(printer, kPrintNotClosed);
    return kPrintDone;
}

INT_PTR EnterScalesDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case platform::WM_INITDIALOG:
            InitEnterScales(dialog);
            return 1;
        case platform::WM_COMMAND:
            switch (platform::LOWORD(wParam)) {
                case kScaleList:
                    OnScaleList(dialog);
                    return 1;
                case kLandscapeRadio:
                    PrintoutSettings.Landscape = 1;
                    ShowOrientation(dialog);
                    return 1;
                case kPortraitRadio:
                    PrintoutSettings.Landscape = 0;
                    ShowOrientation(dialog);
                    return 1;
                case platform::IDOK:
                    TakeEnterScales(dialog);
                    platform::EndDialog(dialog, 1);
                    return 1;
                case platform::IDCANCEL:
                    platform::EndDialog(dialog, 2);
                    return 1;
                default:
                    return 0;
            }
        case platform::WM_RBUTTONDOWN:
            CopyWindowToClipboard(FrameWindow);
            return 1;
        default:
            return 0;
    }
}

int PrintWindowImage(HWND window, HWND other) {
    char device[kPrinterTextSlot] = {};
    platform::GetProfileString("windows", "device", "", device, sizeof device);
    SplitPrinterDescription(device, &PrinterDescription);

    const HDC screen = platform::CreateDC("DISPLAY", nullptr, nullptr, nullptr);
    if (!screen) return 0;
    SetColourCountText(screen);
    platform::DeleteDC(screen);

    if (platform::DialogBox(AppInstance, "EnterScales", window, &EnterScalesDlgProc) != 1) {
        return 1;
    }
    platform::UpdateWindow(window);
    if (other) platform::UpdateWindow(other);

    PackedDib dib = CaptureClientArea(window);
    if (!dib) {
        PrintMessage(window, "Screen NOT captured");
        return 1;
    }
    const HDC printer = ChoosePrinter(window);
    if (!printer) return 1;

    platform::UpdateWindow(window);
    if (other) platform::UpdateWindow(other);
    switch (PrintDib(window, dib, printer)) {
        case kPrintNotStarted:
            PrintMessage(window, "Unable To Start Print Job");
            break;
        case kPrintNotClosed:
            PrintMessage(window, "Error Closing Print Job");
            break;
        case kPrintNotDrawn:
            PrintMessage(window, "Unable To Print Window Image");
            break;
        default:
            break;
    }
    platform::DeleteDC(printer);
    return 0;
}

}  // namespace shell
