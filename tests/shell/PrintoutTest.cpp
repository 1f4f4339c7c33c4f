// Window printout: the page arithmetic, the Printout Control dialog, the printed PDF page at
// every scale and orientation, and failing printers that must leave no printout behind.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <string>

#include "platform/gdi/Gdi.h"
#include "platform/gdi/Print.h"
#include "platform/testing/Dialogs.h"
#include "platform/testing/Harness.h"
#include "platform/testing/Input.h"
#include "platform/testing/MessageBoxLog.h"
#include "platform/testing/PrintScript.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Paint.h"
#include "platform/ui/Window.h"
#include "resources/Resources.h"
#include "shell/Globals.h"
#include "shell/NumberText.h"
#include "shell/Printout.h"
#include "tests/shell/ShellTestSupport.h"

namespace shell {
namespace {

using platform::HWND;
using platform::RECT;
namespace pt = platform::testing;

constexpr int kWindowWidth = 320;
constexpr int kWindowHeight = 200;

platform::LRESULT PrintedWindowProc(HWND hwnd, platform::UINT message, platform::WPARAM wParam,
                                    platform::LPARAM lParam) {
    if (message == platform::WM_PAINT) {
        platform::PAINTSTRUCT ps{};
        const platform::HDC dc = platform::BeginPaint(hwnd, &ps);
        const platform::HBRUSH brush = platform::CreateSolidBrush(platform::RGB(0, 90, 200));
        const RECT all{0, 0, kWindowWidth, kWindowHeight};
        platform::FillRect(dc, &all, brush);
        platform::DeleteObject(brush);
        platform::EndPaint(hwnd, &ps);
        return 0;
    }
    return platform::DefWindowProc(hwnd, message, wParam, lParam);
}

// ---- Arithmetic ----

TEST(PrintoutArithmetic, TheExamplePageAtEightyPercent) {
    const RECT portrait = PrintoutDestination(80, 0, "200", "200", 4800, 6600);
    EXPECT_EQ(portrait.left, 200);
    EXPECT_EQ(portrait.top, 200);
    EXPECT_EQ(portrait.right, 4040);
    EXPECT_EQ(portrait.bottom, 2840);
    const RECT landscape = PrintoutDestination(80, 1, "200", "200", 4800, 6600);
    EXPECT_EQ(landscape.left, 300);
    EXPECT_EQ(landscape.top, 200);
    EXPECT_EQ(landscape.right, 4140);
    EXPECT_EQ(landscape.bottom, 5480);
}

TEST(PrintoutArithmetic, EveryScaleUsesWholeTenthsOfThePage) {
    struct Case {
        int scale;
        int tenths;
    };
    const Case cases[] = {{30, 3}, {50, 5}, {80, 8}, {100, 10}};
    for (const Case& c : cases) {
        for (int landscape : {0, 1}) {
            const RECT r = PrintoutDestination(c.scale, landscape, "150", "75", 4961, 7016);
            const int x = 150 + (landscape ? 100 : 0);
            EXPECT_EQ(r.left, x);
            EXPECT_EQ(r.top, 75);
            EXPECT_EQ(r.right, x + 4961 * c.tenths / 10) << c.scale;
            EXPECT_EQ(r.bottom, 75 + 7016 * c.tenths / (landscape ? 10 : 20)) << c.scale;
        }
    }
}

TEST(PrintoutArithmetic, OffsetTextsReadAsTheLeadingInteger) {
    struct Case {
        const char* text;
        int value;
    };
    // As every typed number: the leading decimal digits count, a fraction and what follows them
    // is dropped; a text without a leading number (or a hexadecimal one) gives 0.
    const Case cases[] = {{"200", 200}, {"12x", 12}, {"200.7", 200},    {" -35", -35},
                          {"+7", 7},    {"1e3", 1},  {"abc", 0},        {"", 0},
                          {"0x40", 0},  {"-", 0},    {"999999", 999999}};
    for (const Case& c : cases) {
        const RECT r = PrintoutDestination(50, 0, c.text, c.text, 1000, 2000);
        EXPECT_EQ(r.left, c.value) << '"' << c.text << '"';
        EXPECT_EQ(r.top, c.value) << '"' << c.text << '"';
        EXPECT_EQ(r.right, c.value + 500) << '"' << c.text << '"';
    }
}

TEST(PrintoutArithmetic, PrinterDescriptionSplitsAtCommas) {
    struct Case {
        const char* device;
        const char* model;
        const char* type;
        const char* port;
    };
    const Case cases[] = {
        {"Office Laser,winspool,  LPT1:", "Office Laser", "winspool", "LPT1:"},
        {"Plotter, driver", "Plotter", "driver", ""},
        {"OnlyName", "OnlyName", "", ""},
        {"", "", "", ""},
        {"a,b,c,d", "a", "b", "c,d"},
    };
    for (const Case& c : cases) {
        PrinterDescriptionRecord out{};
        SplitPrinterDescription(c.device, &out);
        EXPECT_STREQ(out.Model, c.model) << c.device;
        EXPECT_STREQ(out.Type, c.type) << c.device;
        EXPECT_STREQ(out.Port, c.port) << c.device;
    }
}

TEST(PrintoutArithmetic, OnlyImagesOfEightBitsOrLessCarryAColourTable) {
    struct Case {
        int bits;
        platform::DWORD used;
        std::uint32_t colours;
    };
    const Case cases[] = {{1, 0, 2},       {4, 0, 16},   {8, 0, 256},   {8, 17, 17},
                          {8, 99999, 256}, {24, 256, 0}, {32, 65536, 0}};
    for (const Case& c : cases) {
        platform::BITMAPINFOHEADER h{};
        h.biSize = sizeof h;
        h.biBitCount = static_cast<platform::WORD>(c.bits);
        h.biClrUsed = c.used;
        EXPECT_EQ(DibColorCount(&h), c.colours) << c.bits << " bits, " << c.used << " used";
        EXPECT_EQ(DibPaletteBytes(&h), 4 * c.colours);
        EXPECT_EQ(DibBitsPointer(&h),
                  reinterpret_cast<const std::uint8_t*>(&h) + 40 + 4 * c.colours);
    }
}

// ---- Printing ----

class PrintoutGui : public ::testing::Test {
  protected:
    void SetUp() override {
        pt::ResetLayer();
        pt::ClearPrintScript();
        resources::RegisterAll();
        ResetGlobals();
        dir_ = test::MakeTempFolder("printout");
        pt::SetDefaultPrinter("Office Laser", "Model 9", "LPT1:");
        platform::WNDCLASS wc{};
        wc.lpfnWndProc = &PrintedWindowProc;
        wc.lpszClassName = "PrintoutTestWindow";
        platform::RegisterClass(&wc);
        window_ = platform::CreateWindow(
            "PrintoutTestWindow", "printed", platform::WS_OVERLAPPEDWINDOW, 30, 30, kWindowWidth,
            kWindowHeight, HWND{}, platform::HMENU{}, platform::HINSTANCE{}, nullptr);
        platform::ShowWindow(window_, platform::SW_SHOW);
        FrameWindow = window_;
        pt::PumpUntilIdle();
    }
    void TearDown() override {
        pt::PumpUntilIdle();
        pt::ClearPrintScript();
        pt::ResetLayer();
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }

    // The page of the scripted printer in pixels and its resolution.
    struct Page {
        int width;
        int height;
        int dpi;
    };
    Page ScriptedPage() {
        pt::ScriptPrintDialogAnswers({{true, (dir_ / "probe.pdf").string()}});
        platform::PRINTDLG dialog{};
        dialog.Flags = platform::PD_RETURNDC;
        EXPECT_TRUE(platform::PrintDlg(&dialog));
        Page page{platform::GetDeviceCaps(dialog.hDC, platform::HORZRES),
                  platform::GetDeviceCaps(dialog.hDC, platform::VERTRES),
                  platform::GetDeviceCaps(dialog.hDC, platform::LOGPIXELSX)};
        platform::DeleteDC(dialog.hDC);
        pt::ClearPrintScript();
        return page;
    }

    // Answers the Printout Control dialog: scale row, orientation, offsets, Done.
    void AnswerSettings(int scale_row, bool landscape, const char* x, const char* y) {
        pt::OnModalDialog("EnterScales", [=](HWND dialog) {
            pt::Select(dialog, kScaleList, scale_row);
            pt::Click(dialog, landscape ? kLandscapeRadio : kPortraitRadio);
            pt::TypeText(dialog, kXOffsetEdit, x);
            pt::TypeText(dialog, kYOffsetEdit, y);
            pt::Click(dialog, platform::IDOK);
        });
    }

    std::filesystem::path dir_;
    HWND window_{};
};

TEST_F(PrintoutGui, TheImageLandsWhereTheScaleAndOrientationPutIt) {
    const Page page = ScriptedPage();
    ASSERT_GT(page.width, 0);
    ASSERT_GT(page.dpi, 0);
    struct Case {
        int row;
        int scale;
    };
    const Case scales[] = {{0, 100}, {1, 30}, {2, 50}, {3, 80}};
    int n = 0;
    for (const Case& c : scales) {
        for (bool landscape : {false, true}) {
            const std::string pdf = (dir_ / ("page" + std::to_string(n++) + ".pdf")).string();
            AnswerSettings(c.row, landscape, "200", "150");
            pt::ScriptPrintDialogAnswers({{true, pdf}});
            EXPECT_EQ(PrintWindowImage(window_, HWND{}), 0);
            EXPECT_EQ(PrintoutSettings.Scale, c.scale);
            EXPECT_EQ(PrintoutSettings.Landscape, landscape ? 1 : 0);
            pt::PdfLayout layout;
            ASSERT_TRUE(pt::ReadPdfLayout(pdf, &layout)) << pdf;
            EXPECT_EQ(layout.pages, 1);
            ASSERT_EQ(layout.images.size(), 1u) << pdf;
            // Independent page arithmetic in printer pixels, then points.
            const double tenths = c.scale / 10;
            const double left = 200 + (landscape ? 100 : 0);
            const double top = 150;
            const double width = std::floor(page.width * tenths / 10);
            const double height = std::floor(page.height * tenths / (landscape ? 10 : 20));
            const double to_points = 72.0 / page.dpi;
            const pt::PdfImagePlacement& image = layout.images[0];
            EXPECT_NEAR(image.x, left * to_points, 0.5) << c.scale << (landscape ? " L" : " P");
            EXPECT_NEAR(image.y, top * to_points, 0.5) << c.scale;
            EXPECT_NEAR(image.width, width * to_points, 0.5) << c.scale;
            EXPECT_NEAR(image.height, height * to_points, 0.5) << c.scale;
            EXPECT_TRUE(pt::MessageBoxLog().empty());
        }
    }
}

TEST_F(PrintoutGui, FailingPrintJobsAreAbortedWithTheirMessage) {
    struct Case {
        pt::PrintFailure failure;
        const char* message;
    };
    const Case cases[] = {{pt::PrintFailure::StartDoc, "Unable To Start Print Job"},
                          {pt::PrintFailure::EndPage, "Error Closing Print Job"}};
    int n = 0;
    for (const Case& c : cases) {
        pt::ClearMessageBoxLog();
        const std::string pdf = (dir_ / ("failed" + std::to_string(n++) + ".pdf")).string();
        AnswerSettings(3, false, "200", "200");
        pt::ScriptPrintDialogAnswers({{true, pdf}});
        pt::FailNextPrintJob(c.failure);
        EXPECT_EQ(PrintWindowImage(window_, HWND{}), 0);
        ASSERT_EQ(pt::MessageBoxLog().size(), 1u);
        EXPECT_EQ(pt::MessageBoxLog()[0].text, c.message);
        EXPECT_EQ(pt::MessageBoxLog()[0].caption, "Test");
        EXPECT_EQ(pt::MessageBoxLog()[0].type & platform::MB_ICONEXCLAMATION,
                  platform::MB_ICONEXCLAMATION);
        EXPECT_FALSE(std::filesystem::exists(pdf)) << c.message;
    }
}

TEST_F(PrintoutGui, CancelInEitherDialogPrintsNothingQuietly) {
    pt::OnModalDialog("EnterScales", [](HWND dialog) { pt::Click(dialog, platform::IDCANCEL); });
    EXPECT_EQ(PrintWindowImage(window_, HWND{}), 1);
    EXPECT_EQ(pt::PrintDialogCount(), 0);
    AnswerSettings(3, false, "200", "200");
    pt::ScriptPrintDialogAnswers({{false, ""}});
    EXPECT_EQ(PrintWindowImage(window_, HWND{}), 1);
    EXPECT_EQ(pt::PrintDialogCount(), 1);
    EXPECT_TRUE(pt::MessageBoxLog().empty());
}

TEST_F(PrintoutGui, TheDialogShowsThePrinterAndKeepsItsChoicesForTheNextPrintout) {
    std::string type, model, port, scale_text, count_text;
    pt::OnModalDialog("EnterScales", [&](HWND dialog) {
        char text[64] = {};
        platform::GetDlgItemText(dialog, kPrinterTypeText, text, sizeof text);
        type = text;
        platform::GetDlgItemText(dialog, kPrinterModelText, text, sizeof text);
        model = text;
        platform::GetDlgItemText(dialog, kPrinterPortText, text, sizeof text);
        port = text;
        platform::GetDlgItemText(dialog, kColourCountEdit, text, sizeof text);
        count_text = text;
        EXPECT_EQ(platform::SendDlgItemMessage(dialog, kScaleList, platform::LB_GETCURSEL, 0, 0),
                  3);
        EXPECT_EQ(platform::IsDlgButtonChecked(dialog, kPortraitRadio), platform::BST_CHECKED);
        pt::Select(dialog, kScaleList, 2);
        platform::GetDlgItemText(dialog, kScaleText, text, sizeof text);
        EXPECT_STREQ(text, "50 %") << "the static names the chosen entry";
        pt::Click(dialog, kLandscapeRadio);
        pt::TypeText(dialog, kXOffsetEdit, "999");
        pt::Click(dialog, platform::IDCANCEL);
    });
    EXPECT_EQ(PrintWindowImage(window_, HWND{}), 1);
    EXPECT_EQ(model, "Office Laser");
    EXPECT_EQ(type, "Model 9");
    EXPECT_EQ(port, "LPT1:");
    // The layer's screen is 32 bits deep: the count of the 24-bit image is shown.
    EXPECT_EQ(count_text, "16777216");
    // Scale and orientation stay changed, the typed offset does not.
    EXPECT_EQ(PrintoutSettings.Scale, 50);
    EXPECT_EQ(PrintoutSettings.Landscape, 1);
    EXPECT_STREQ(PrintoutSettings.XOffsetText, "200");

    pt::OnModalDialog("EnterScales", [&](HWND dialog) {
        EXPECT_EQ(platform::SendDlgItemMessage(dialog, kScaleList, platform::LB_GETCURSEL, 0, 0),
                  2);
        char text[16] = {};
        platform::GetDlgItemText(dialog, kScaleText, text, sizeof text);
        scale_text = text;
        EXPECT_EQ(platform::IsDlgButtonChecked(dialog, kLandscapeRadio), platform::BST_CHECKED);
        EXPECT_EQ(platform::IsDlgButtonChecked(dialog, kPortraitRadio), platform::BST_UNCHECKED);
        pt::Click(dialog, platform::IDCANCEL);
    });
    PrintWindowImage(window_, HWND{});
    // The 50 % entry is selected, while the scale text the dialog opens with stays "80 %".
    EXPECT_EQ(scale_text, "80 %");
    EXPECT_STREQ(PrintoutSettings.ScaleText, "80 %");
}

TEST_F(PrintoutGui, OffsetTextsAreKeptAsTypedAndPrintAtTheirIntegerValue) {
    const Page page = ScriptedPage();
    const std::string pdf = (dir_ / "offsets.pdf").string();
    AnswerSettings(3, false, "120.9", "75px");
    pt::ScriptPrintDialogAnswers({{true, pdf}});
    EXPECT_EQ(PrintWindowImage(window_, HWND{}), 0) << "Done closed the dialog and printed";
    EXPECT_TRUE(pt::MessageBoxLog().empty());
    EXPECT_STREQ(PrintoutSettings.XOffsetText, "120.9");
    EXPECT_STREQ(PrintoutSettings.YOffsetText, "75px");
    pt::PdfLayout layout;
    ASSERT_TRUE(pt::ReadPdfLayout(pdf, &layout)) << pdf;
    ASSERT_EQ(layout.images.size(), 1u);
    const double to_points = 72.0 / page.dpi;
    EXPECT_NEAR(layout.images[0].x, 120 * to_points, 0.5);
    EXPECT_NEAR(layout.images[0].y, 75 * to_points, 0.5);
}

TEST_F(PrintoutGui, TheWindowImageIsTheWindowsClientArea) {
    const PackedDib dib = CaptureClientArea(window_);
    ASSERT_TRUE(dib);
    platform::RECT client{};
    platform::GetClientRect(window_, &client);
    const platform::BITMAPINFOHEADER* h = dib.Header();
    EXPECT_EQ(h->biWidth, client.right);
    EXPECT_EQ(h->biHeight, client.bottom);
    EXPECT_EQ(h->biBitCount, 24);
    // Every pixel is the painted colour, stored blue, green, red.
    const std::uint8_t* bits = DibBitsPointer(h);
    const std::size_t row = platform::DibRowBytes(h->biWidth, 24);
    const std::uint8_t* last = bits + (h->biHeight - 1) * row + (h->biWidth - 1) * 3;
    EXPECT_EQ(bits[0], 200);
    EXPECT_EQ(bits[1], 90);
    EXPECT_EQ(bits[2], 0);
    EXPECT_EQ(last[0], 200);
    EXPECT_EQ(last[2], 0);
    EXPECT_FALSE(CaptureClientArea(HWND{}));
}

}  // namespace
}  // namespace shell
