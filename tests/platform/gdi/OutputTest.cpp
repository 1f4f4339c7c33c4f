// Drawing out: packed bitmaps, stretching, the clipboard, help files and printing to PDF.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include "platform/gdi/Clipboard.h"
#include "platform/gdi/Help.h"
#include "platform/gdi/Print.h"
#include "platform/gdi/WindowImage.h"
#include "platform/testing/PrintScript.h"
#include "tests/platform/gdi/Canvas.h"

namespace {

using namespace platform::test;
namespace fs = std::filesystem;

// A colour that says where it is.
COLORREF Code(int x, int y) { return RGB(10 * x + 3, 20 * y + 7, 100 + x + y); }

void Paint(Canvas& c) {
    for (int y = 0; y < c.height(); ++y) {
        for (int x = 0; x < c.width(); ++x) SetPixel(c.dc(), x, y, Code(x, y));
    }
}

std::vector<std::uint8_t> PackedDib(const Canvas& c, int bits, BITMAPINFOHEADER* info) {
    *info = BITMAPINFOHEADER{};
    info->biBitCount = static_cast<WORD>(bits);
    EXPECT_EQ(GetDIBits(HDC{}, c.bitmap(), 0, 0, nullptr, info, DIB_RGB_COLORS), c.height());
    std::vector<std::uint8_t> data(info->biSizeImage, 0xAB);
    EXPECT_EQ(GetDIBits(HDC{}, c.bitmap(), 0, static_cast<UINT>(c.height()), data.data(), info,
                        DIB_RGB_COLORS),
              c.height());
    return data;
}

fs::path TempPath(const std::string& name) {
    return fs::temp_directory_path() / ("qv_gdi_" + std::to_string(::getpid()) + "_" + name);
}

TEST(GdiBitmaps, PackedRowsAreBottomUpAndPadded) {
    for (int bits : {24, 32}) {
        Canvas c(5, 3);
        Paint(c);
        BITMAPINFOHEADER info{};
        const std::vector<std::uint8_t> data = PackedDib(c, bits, &info);
        const std::size_t row = ((5 * bits + 31) / 32) * 4;
        EXPECT_EQ(info.biSize, 40u);
        EXPECT_EQ(info.biWidth, 5);
        EXPECT_EQ(info.biHeight, 3);
        EXPECT_EQ(info.biPlanes, 1);
        EXPECT_EQ(info.biBitCount, bits);
        EXPECT_EQ(info.biSizeImage, row * 3);
        EXPECT_EQ(DibRowBytes(5, bits), row);
        for (int r = 0; r < 3; ++r) {
            const int y = 2 - r;  // the first row stored is the bottom one
            for (int x = 0; x < 5; ++x) {
                const std::uint8_t* p = &data[r * row + x * (bits / 8)];
                const COLORREF want = Code(x, y);
                EXPECT_EQ(p[0], GetBValue(want)) << bits << " bits, " << x << "," << y;
                EXPECT_EQ(p[1], GetGValue(want)) << bits << " bits, " << x << "," << y;
                EXPECT_EQ(p[2], GetRValue(want)) << bits << " bits, " << x << "," << y;
            }
            for (std::size_t k = 5 * (bits / 8); k < row; ++k) {
                EXPECT_EQ(data[r * row + k], 0) << "padding is zero, row " << r;
            }
        }
    }
}

TEST(GdiBitmaps, StretchDIBitsOntoAnImage) {
    Canvas source(2, 2);
    SetPixel(source.dc(), 0, 0, RGB(255, 0, 0));
    SetPixel(source.dc(), 1, 0, RGB(0, 255, 0));
    SetPixel(source.dc(), 0, 1, RGB(0, 0, 255));
    SetPixel(source.dc(), 1, 1, RGB(255, 255, 0));
    BITMAPINFOHEADER info{};
    const std::vector<std::uint8_t> bits = PackedDib(source, 24, &info);
    Canvas target(10, 10);
    EXPECT_EQ(SetStretchBltMode(target.dc(), COLORONCOLOR), COLORONCOLOR);
    EXPECT_EQ(StretchDIBits(target.dc(), 1, 2, 8, 6, 0, 0, 2, 2, bits.data(), &info, DIB_RGB_COLORS,
                            SRCCOPY),
              2);
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 10; ++x) {
            COLORREF want = kWhite;
            if (x >= 1 && x < 9 && y >= 2 && y < 8) {
                const int sx = x < 5 ? 0 : 1;
                const int sy = y < 5 ? 0 : 1;
                want = source.At(sx, sy);
            }
            EXPECT_EQ(target.At(x, y), want) << x << "," << y;
        }
    }
    // Part of a bottom-up bitmap: the source origin is its bottom-left corner.
    Canvas part(4, 4);
    StretchDIBits(part.dc(), 0, 0, 4, 4, 0, 0, 2, 1, bits.data(), &info, DIB_RGB_COLORS, SRCCOPY);
    EXPECT_EQ(part.At(0, 0), RGB(0, 0, 255)) << "bottom row of the source";
    EXPECT_EQ(part.At(3, 3), RGB(255, 255, 0));
    BITMAPINFOHEADER bad = info;
    bad.biBitCount = 7;
    EXPECT_EQ(StretchDIBits(part.dc(), 0, 0, 4, 4, 0, 0, 2, 2, bits.data(), &bad, DIB_RGB_COLORS,
                            SRCCOPY),
              0);
}

TEST(GdiBitmaps, BitBltCopiesAndClips) {
    Canvas a(6, 6);
    Paint(a);
    Canvas b(8, 8);
    EXPECT_TRUE(BitBlt(b.dc(), 4, 4, 6, 6, a.dc(), 0, 0, SRCCOPY));
    EXPECT_EQ(b.At(4, 4), Code(0, 0));
    EXPECT_EQ(b.At(7, 7), Code(3, 3));
    EXPECT_EQ(b.At(3, 3), kWhite);
    EXPECT_FALSE(BitBlt(b.dc(), 0, 0, 2, 2, HDC{}, 0, 0, SRCCOPY));
}

TEST(GdiClipboard, HoldsTheImageAfterACopy) {
    Canvas c(7, 5);
    Paint(c);
    HBITMAP copy = CreateCompatibleBitmap(c.dc(), 7, 5);
    HDC memory = CreateCompatibleDC(c.dc());
    HBITMAP old = SelectObject(memory, copy);
    ASSERT_TRUE(BitBlt(memory, 0, 0, 7, 5, c.dc(), 0, 0, SRCCOPY));
    SelectObject(memory, old);
    DeleteDC(memory);

    EXPECT_EQ(SetClipboardData(CF_BITMAP, copy), HBITMAP{}) << "the clipboard is not open";
    ASSERT_TRUE(OpenClipboard(HWND{}));
    EXPECT_FALSE(OpenClipboard(HWND{})) << "already open";
    EXPECT_TRUE(EmptyClipboard());
    EXPECT_EQ(SetClipboardData(CF_BITMAP, copy), copy);
    EXPECT_TRUE(CloseClipboard());
    EXPECT_FALSE(DeleteObject(copy)) << "the clipboard owns the bitmap now";

    HBITMAP back = GetClipboardBitmap();
    ASSERT_NE(back, HBITMAP{});
    HDC reader = CreateCompatibleDC(HDC{});
    SelectObject(reader, back);
    EXPECT_EQ(GetDeviceCaps(reader, HORZRES), 7);
    EXPECT_EQ(GetDeviceCaps(reader, VERTRES), 5);
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 7; ++x) EXPECT_EQ(GetPixel(reader, x, y), Code(x, y)) << x << "," << y;
    }
    DeleteDC(reader);
    EXPECT_TRUE(DeleteObject(back));
}

TEST(GdiHelp, OpensExistingFilesAndReportsMissingOnes) {
    const fs::path missing = TempPath("missing.CHM");
    fs::remove(missing);
    EXPECT_EQ(ShellExecute(HWND{}, "open", missing.c_str(), nullptr, nullptr, 1), SE_ERR_FNF);
    const fs::path present = TempPath("present.CHM");
    std::ofstream(present) << "help";
    EXPECT_GT(ShellExecute(HWND{}, "open", present.c_str(), nullptr, nullptr, 1), 32);
    EXPECT_LE(ShellExecute(HWND{}, "open", fs::temp_directory_path().c_str(), nullptr, nullptr, 1),
              32)
        << "a folder is not a help file";
    fs::remove(present);
}

// --- Printing
// -------------------------------------------------------------------------------------

class GdiPrint : public ::testing::Test {
  protected:
    void SetUp() override { platform::testing::ClearPrintScript(); }
    void TearDown() override { platform::testing::ClearPrintScript(); }

    HDC ChoosePrinter() {
        PRINTDLG pd{};
        pd.Flags =
            PD_RETURNDC | PD_PRINTSETUP | PD_NOPAGENUMS | PD_NOSELECTION | PD_HIDEPRINTTOFILE;
        pd.nFromPage = pd.nToPage = pd.nMinPage = pd.nMaxPage = pd.nCopies = 1;
        if (!PrintDlg(&pd)) return HDC{};
        return pd.hDC;
    }
};

TEST_F(GdiPrint, OnePageWithTheImageWhereItWasAskedFor) {
    const fs::path pdf = TempPath("page.pdf");
    fs::remove(pdf);
    platform::testing::ScriptPrintDialogAnswers({{true, pdf.string()}});
    HDC printer = ChoosePrinter();
    ASSERT_NE(printer, HDC{});
    EXPECT_EQ(platform::testing::PrintDialogCount(), 1);
    const int width = GetDeviceCaps(printer, HORZRES);
    const int height = GetDeviceCaps(printer, VERTRES);
    const int dpi = GetDeviceCaps(printer, LOGPIXELSX);
    ASSERT_GT(width, 1000);
    ASSERT_GT(height, width);
    ASSERT_GT(dpi, 0);

    Canvas image(40, 30);
    Paint(image);
    BITMAPINFOHEADER info{};
    const std::vector<std::uint8_t> bits = PackedDib(image, 24, &info);

    // The printout's rectangle at 80 % in portrait with offsets 200, 200.
    const RECT dest{200, 200, 200 + width * 8 / 10, 200 + height * 8 / 20};
    DOCINFO doc{"Sonvexa", nullptr, nullptr, 0};
    ASSERT_GT(StartDoc(printer, &doc), 0);
    ASSERT_GT(StartPage(printer), 0);
    SetStretchBltMode(printer, COLORONCOLOR);
    EXPECT_EQ(
        StretchDIBits(printer, dest.left, dest.top, dest.right - dest.left, dest.bottom - dest.top,
                      0, 0, 40, 30, bits.data(), &info, DIB_RGB_COLORS, SRCCOPY),
        30);
    ASSERT_GT(EndPage(printer), 0);
    ASSERT_GT(EndDoc(printer), 0);
    EXPECT_TRUE(DeleteDC(printer));

    platform::testing::PdfLayout layout;
    ASSERT_TRUE(platform::testing::ReadPdfLayout(pdf.string(), &layout)) << pdf;
    EXPECT_EQ(layout.pages, 1);
    const double pt = 72.0 / dpi;
    EXPECT_NEAR(layout.page_width, width * pt, 1.0);
    EXPECT_NEAR(layout.page_height, height * pt, 1.0);
    ASSERT_EQ(layout.images.size(), 1u);
    const auto& placed = layout.images[0];
    EXPECT_NEAR(placed.x, dest.left * pt, 0.5);
    EXPECT_NEAR(placed.y, dest.top * pt, 0.5);
    EXPECT_NEAR(placed.width, (dest.right - dest.left) * pt, 0.5);
    EXPECT_NEAR(placed.height, (dest.bottom - dest.top) * pt, 0.5);
    fs::remove(pdf);
}

TEST_F(GdiPrint, CancelledDialogGivesNoPrinter) {
    platform::testing::ScriptPrintDialogAnswers({{false, ""}});
    EXPECT_EQ(ChoosePrinter(), HDC{});
    EXPECT_EQ(ChoosePrinter(), HDC{}) << "no answer left: cancelled";
    EXPECT_EQ(platform::testing::PrintDialogCount(), 2);
}

TEST_F(GdiPrint, FailedOrAbortedJobsLeaveNoFile) {
    enum class How { Abort, EndPageFails, StartDocFails, DeletedMidJob };
    for (How how : {How::Abort, How::EndPageFails, How::StartDocFails, How::DeletedMidJob}) {
        const fs::path pdf = TempPath("failed.pdf");
        fs::remove(pdf);
        platform::testing::ScriptPrintDialogAnswers({{true, pdf.string()}});
        HDC printer = ChoosePrinter();
        ASSERT_NE(printer, HDC{});
        DOCINFO doc{"Sonvexa", nullptr, nullptr, 0};
        const int what = static_cast<int>(how);
        if (how == How::StartDocFails) {
            platform::testing::FailNextPrintJob(platform::testing::PrintFailure::StartDoc);
            EXPECT_EQ(StartDoc(printer, &doc), SP_ERROR);
        } else {
            ASSERT_GT(StartDoc(printer, &doc), 0) << what;
            ASSERT_GT(StartPage(printer), 0) << what;
            Canvas image(4, 4);
            BITMAPINFOHEADER info{};
            const std::vector<std::uint8_t> bits = PackedDib(image, 24, &info);
            StretchDIBits(printer, 100, 100, 400, 400, 0, 0, 4, 4, bits.data(), &info,
                          DIB_RGB_COLORS, SRCCOPY);
            if (how == How::Abort) {
                EXPECT_GT(AbortDoc(printer), 0);
                EXPECT_EQ(EndDoc(printer), SP_ERROR) << "an aborted job cannot end";
            } else if (how == How::EndPageFails) {
                platform::testing::FailNextPrintJob(platform::testing::PrintFailure::EndPage);
                EXPECT_EQ(EndPage(printer), SP_ERROR);
            }
        }
        EXPECT_TRUE(DeleteDC(printer)) << what;
        EXPECT_FALSE(fs::exists(pdf)) << "case " << what << " left " << pdf;
    }
}

TEST_F(GdiPrint, DefaultPrinterDescription) {
    char text[80];
    EXPECT_EQ(GetProfileString("windows", "device", "", text, sizeof text), 0u)
        << "no default printer under the harness";
    platform::testing::SetDefaultPrinter("Office", "Laser 5", "Room 2");
    EXPECT_EQ(GetProfileString("windows", "device", "", text, sizeof text), 21u);
    EXPECT_STREQ(text, "Office,Laser 5,Room 2");
    char small[8];
    EXPECT_EQ(GetProfileString("windows", "device", "", small, sizeof small), 7u);
    EXPECT_STREQ(small, "Office,");
    EXPECT_EQ(GetProfileString("other", "key", "dflt", text, sizeof text), 4u);
    EXPECT_STREQ(text, "dflt");
}

}  // namespace
