// The main menu's items and order, the MDI window list behind the busy gate, and the shared
// fonts, pens and brushes that the frame creates.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "measurement/Ids.h"
#include "platform/gdi/Gdi.h"
#include "platform/testing/Harness.h"
#include "platform/testing/Input.h"
#include "platform/ui/Menu.h"
#include "platform/ui/Window.h"
#include "shell/GdiObjects.h"
#include "tests/frame/FrameTestSupport.h"

namespace shell::test {
using namespace frame;
namespace {

using platform::COLORREF;
using platform::RGB;

struct MenuCase {
    int id;
    const char* text;
};

TEST_F(FrameTest, MainMenuCarriesEveryCommandWithItsTextGui) {
    WritePreferencesFile(dir_, [](PreferencesRecord& r) {
        std::strcpy(r.LastDriverPath, "D");
        std::strcpy(r.LastProjectPath, "P");
    });
    ASSERT_EQ(Start(), kStarted);
    const MenuCase cases[] = {
        {100, ""},  // New, Print, Copy and Copy Screen would do nothing: not in the menu
        {101, "Open Driver File"},
        {102, "Save Driver As"},
        {103, "Open Project File "},
        {104, "Save Project As  "},
        {105, ""},
        {106, "  Exit   "},
        {108, ""},
        {109, ""},
        {110, "  Preferences "},
        {113, "D"},
        {114, "P"},
        {202, "Stereo 2 x 2 Way (Velkor Quadline)"},
        {200, "Stereo 2 x 3 Way (Velkor Quadline)"},
        {201, "Stereo 2 x 4 Way (Velkor Quadline)"},
        {204, "Stereo 2 x 5 Way (Velkor Quadline)"},
        {205, "Stereo 2 x 6 Way (Velkor Quadline)"},
        {206, "Stereo 2 x 7 Way (Velkor Quadline)"},
        {207, "Stereo 2 x 8 Way (Velkor Quadline)"},
        {233, "Assign Profiles Remote"},
        {240, "Current System"},
        {306, "Diffraction Model"},
        {308, "File Editor"},
        {310, "Pen Colours"},
        {401, "Import IMP SPL, Z [Ref=0dB]"},
        {402, "Import LMS SPL, Z, TS [Ref=SPLdB]"},
        {403, "Import CLIO SPL, Z, TS"},
        {404, "Import MLSSA SPL, Z"},
        {405, "Import DAAS SPL, Z, TS"},
        {406, "Import LAUD SPL, Z"},
        {501, "Export SPL/Phase At 0.0dB [.TRG/.TXT]"},
        {1102, "Digital - MLS"},
        {1201, "QV Help"},
    };
    for (const MenuCase& c : cases) EXPECT_EQ(MenuText(MainMenu, c.id), c.text) << "item " << c.id;

    // The File popup comes first and keeps its items in their places (the MDI window list
    // follows them); the System Design popup lists its items in the program's order.
    EXPECT_EQ(FileMenu, platform::GetSubMenu(MainMenu, 0));
    constexpr platform::UINT kSeparator = static_cast<platform::UINT>(-1);
    const std::vector<platform::UINT> file_items{
        101, 102, kSeparator, 103, 104, kSeparator, 110, kSeparator, 113, 114, kSeparator, 106};
    std::vector<platform::UINT> file;
    for (int i = 0; i < platform::GetMenuItemCount(FileMenu) && file.size() < file_items.size();
         ++i) {
        file.push_back(platform::GetMenuItemID(FileMenu, i));
    }
    EXPECT_EQ(file, file_items);
    const platform::HMENU design = platform::GetSubMenu(MainMenu, 1);
    std::vector<platform::UINT> order;
    for (int i = 0; i < platform::GetMenuItemCount(design); ++i) {
        order.push_back(platform::GetMenuItemID(design, i));
    }
    EXPECT_EQ(order, (std::vector<platform::UINT>{240, 202, 200, 201, 204, 205, 206, 207, 233}));
}

TEST_F(FrameTest, WindowListStillWorksWhileAudioIsBusyGui) {
    ASSERT_EQ(Start(), kStarted);
    // Children in creation order: the SPL plot window (40), then the Stereo window (41).
    AudioBusy = 1;
    platform::SendMessage(FrameWindow, platform::WM_COMMAND, kFirstMdiChildId, 0);
    EXPECT_EQ(platform::SendMessage(MdiClientWindow, platform::WM_MDIGETACTIVE, 0, 0),
              static_cast<platform::LRESULT>(SplPlottingWindow.value));
    platform::SendMessage(FrameWindow, platform::WM_COMMAND, kFirstMdiChildId + 1, 0);
    EXPECT_EQ(platform::SendMessage(MdiClientWindow, platform::WM_MDIGETACTIVE, 0, 0),
              static_cast<platform::LRESULT>(Splitter1Window.value));
    AudioBusy = 0;
}

// A long session stays as small as a fresh one: each menu-bar rebuild (the window list changes
// with every window opened and closed) lets go of the menus of the last build, and a destroyed
// window's slot serves a later window, while a handle kept from the first round finds nothing.
TEST_F(FrameTest, OpeningAndClosingToolWindowsLeavesTheSessionAsItWasGui) {
    using platform::testing::ChooseMenuItem;
    using platform::testing::CountSession;
    ASSERT_EQ(Start(), kStarted);
    const auto round = [] {
        ASSERT_TRUE(ChooseMenuItem(FrameWindow, kCmdDiffractionModel));
        ASSERT_TRUE(ChooseMenuItem(FrameWindow, kCmdDigitalMls));
    };
    for (int i = 0; i < 3; ++i) round();
    const platform::HWND kept = MlsControlDialog;
    const platform::HWND kept_tab = platform::GetDlgItem(kept, measurement::kMlsControlTabId);
    ASSERT_TRUE(platform::IsWindow(kept_tab));
    const auto warm = CountSession(FrameWindow);
    for (int i = 0; i < 12; ++i) round();
    const auto later = CountSession(FrameWindow);
    EXPECT_EQ(later.bar_menus, warm.bar_menus) << "menus of earlier menu bars are left behind";
    EXPECT_EQ(later.top_level_widgets, warm.top_level_widgets);
    EXPECT_EQ(later.window_slots, warm.window_slots) << "the window table grows with each window";
    EXPECT_EQ(later.live_windows, warm.live_windows);
    EXPECT_NE(MlsControlDialog, kept);
    EXPECT_FALSE(platform::IsWindow(kept)) << "a handle of the first round reaches a newer window";
    EXPECT_FALSE(platform::IsWindow(kept_tab));
    EXPECT_FALSE(platform::GetDlgItem(kept, measurement::kMlsControlTabId));
    EXPECT_EQ(platform::SendMessage(kept, platform::WM_GETTEXTLENGTH, 0, 0), 0);
}

// The colour a brush fills with and the colour and width of a pen's horizontal line.
COLORREF BrushColour(platform::HBRUSH brush) {
    const platform::HDC dc = platform::CreateCompatibleDC(platform::HDC{});
    const platform::HBITMAP bitmap = platform::CreateCompatibleBitmap(dc, 8, 8);
    const platform::HBITMAP old = platform::SelectObject(dc, bitmap);
    const platform::RECT r{0, 0, 8, 8};
    platform::FillRect(dc, &r, brush);
    const COLORREF colour = platform::GetPixel(dc, 4, 4);
    platform::SelectObject(dc, old);
    platform::DeleteObject(bitmap);
    platform::DeleteDC(dc);
    return colour;
}

struct PenTrace {
    COLORREF colour;
    int width;  // rows touched at x = 20
};

PenTrace TracePen(platform::HPEN pen) {
    const platform::HDC dc = platform::CreateCompatibleDC(platform::HDC{});
    const platform::HBITMAP bitmap = platform::CreateCompatibleBitmap(dc, 40, 40);
    const platform::HBITMAP old = platform::SelectObject(dc, bitmap);
    const platform::RECT all{0, 0, 40, 40};
    platform::FillRect(dc, &all, platform::GetStockObject(platform::WHITE_BRUSH));
    const platform::HPEN old_pen = platform::SelectObject(dc, pen);
    platform::MoveToEx(dc, 5, 20, nullptr);
    platform::LineTo(dc, 35, 20);
    PenTrace trace{platform::GetPixel(dc, 20, 20), 0};
    for (int y = 0; y < 40; ++y) trace.width += platform::GetPixel(dc, 20, y) != RGB(255, 255, 255);
    platform::SelectObject(dc, old_pen);
    platform::SelectObject(dc, old);
    platform::DeleteObject(bitmap);
    platform::DeleteDC(dc);
    return trace;
}

TEST_F(FrameTest, SharedPensAndBrushesHaveTheirColoursGui) {
    ASSERT_EQ(Start(), kStarted);
    struct PenCase {
        const char* name;
        platform::HPEN pen;
        COLORREF colour;
        int width;
    };
    const PenCase pens[] = {
        {"BlackPen", BlackPen, RGB(0, 0, 0), 1},
        {"DarkRedPen", DarkRedPen, RGB(164, 0, 0), 1},
        {"BluePen", BluePen, RGB(0, 0, 192), 1},
        {"BluePen2", BluePen2, RGB(0, 0, 192), 2},
        {"GreenPen2", GreenPen2, RGB(0, 164, 0), 2},
        {"DarkGreenPen", DarkGreenPen, RGB(0, 128, 0), 1},
        {"MagentaPen4", MagentaPen4, RGB(255, 0, 255), 4},
        {"WhitePen6", WhitePen6, RGB(255, 255, 255), 0},  // invisible on white
        {"BlackPen4", BlackPen4, RGB(0, 0, 0), 4},
        {"RedPen2", RedPen2, RGB(192, 0, 0), 2},
        {"MeterPens[0]", MeterPens[0], RGB(0, 164, 0), 5},
        {"MeterPens[1]", MeterPens[1], RGB(192, 0, 0), 5},
        {"MeterPens[2]", MeterPens[2], RGB(0, 128, 255), 5},
        {"MeterPens[3]", MeterPens[3], RGB(255, 164, 0), 5},
        {"MeterPens[4]", MeterPens[4], RGB(255, 0, 255), 5},
        {"MagentaPen2", MagentaPen2, RGB(255, 0, 255), 2},
    };
    for (const PenCase& c : pens) {
        const PenTrace trace = TracePen(c.pen);
        EXPECT_EQ(trace.colour, c.colour) << c.name;
        EXPECT_EQ(trace.width, c.width) << c.name;
    }
    struct BrushCase {
        const char* name;
        platform::HBRUSH brush;
        COLORREF colour;
    };
    const BrushCase brushes[] = {
        {"CyanBrush", CyanBrush, RGB(0, 255, 255)},
        {"YellowBrush", YellowBrush, RGB(255, 255, 0)},
        {"GreyBrush", GreyBrush, RGB(164, 164, 164)},
        {"DarkGreyBrush", DarkGreyBrush, RGB(64, 64, 64)},
        {"WhiteBrush", WhiteBrush, RGB(255, 255, 255)},
        {"MidGreyBrush", MidGreyBrush, RGB(128, 128, 128)},
        {"MeterBrushRamp[0]", MeterBrushRamp[0], RGB(128, 0, 0)},
        {"MeterBrushRamp[10]", MeterBrushRamp[10], RGB(255, 255, 0)},
        {"MeterBrushRamp[17]", MeterBrushRamp[17], RGB(0, 228, 0)},
        {"BlueBrushRamp[0]", BlueBrushRamp[0], RGB(0, 0, 128)},
        {"BlueBrushRamp[10]", BlueBrushRamp[10], RGB(0, 255, 255)},
        {"BlueBrushRamp[17]", BlueBrushRamp[17], RGB(0, 228, 0)},
    };
    for (const BrushCase& c : brushes) EXPECT_EQ(BrushColour(c.brush), c.colour) << c.name;
}

TEST_F(FrameTest, SharedFontsHaveTheirCellHeightsGui) {
    ASSERT_EQ(Start(), kStarted);
    struct FontCase {
        const char* name;
        platform::HFONT font;
        int height;
    };
    // "Helv" is a bitmap face whose smallest size has a 13-pixel cell: the 6 asked for gets that.
    const FontCase fonts[] = {
        {"SmallFont", SmallFont, 13}, {"TitleFont", TitleFont, 24}, {"LabelFont", LabelFont, 12}};
    const platform::HDC dc = platform::CreateCompatibleDC(platform::HDC{});
    for (const FontCase& c : fonts) {
        ASSERT_TRUE(c.font) << c.name;
        const platform::HFONT old = platform::SelectObject(dc, c.font);
        platform::SIZE extent{};
        platform::GetTextExtentPoint32(dc, "Mx", 2, &extent);
        // Asked for by cell height; the substituted face may round it by a pixel.
        EXPECT_NEAR(extent.cy, c.height, 1) << c.name;
        platform::SelectObject(dc, old);
    }
    platform::DeleteDC(dc);
    EXPECT_EQ(SystemFont, platform::GetStockObject(platform::SYSTEM_FONT));
}

}  // namespace
}  // namespace shell::test
