// Every registered dialog template, created as the program creates it: every caption shows whole
// in the font it is drawn with, every control lies inside the dialog, and template units become
// pixels through the base units of the template's font.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>

#include "platform/gdi/Gdi.h"
#include "platform/testing/Harness.h"
#include "platform/testing/TextRoom.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Paint.h"
#include "platform/ui/Resources.h"
#include "platform/ui/Window.h"
#include "resources/Resources.h"

namespace {

using platform::ControlKind;
using platform::DialogTemplate;
using platform::HWND;

platform::INT_PTR Quiet(HWND, platform::UINT, platform::WPARAM, platform::LPARAM) { return 0; }

platform::LRESULT HostProc(HWND hwnd, platform::UINT message, platform::WPARAM wParam,
                           platform::LPARAM lParam) {
    return platform::DefWindowProc(hwnd, message, wParam, lParam);
}

bool DrawsCaption(ControlKind kind) {
    switch (kind) {
        case ControlKind::PushButton:
        case ControlKind::DefPushButton:
        case ControlKind::CheckBox:
        case ControlKind::AutoCheckBox:
        case ControlKind::RadioButton:
        case ControlKind::GroupBox:
        case ControlKind::StaticText:
            return true;
        default:
            return false;
    }
}

// Base units measured through the drawing calls with the font the dialog reports.
platform::SIZE MeasuredBaseUnits(HWND dialog) {
    const auto font = platform::HFONT::FromIndex(
        static_cast<std::uint32_t>(platform::SendMessage(dialog, platform::WM_GETFONT, 0, 0)));
    const platform::HDC dc = platform::GetDC(dialog);
    const platform::HFONT old = platform::SelectObject(dc, font);
    const char* letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    platform::SIZE s{};
    platform::GetTextExtentPoint32(dc, letters, static_cast<int>(std::strlen(letters)), &s);
    platform::SelectObject(dc, old);
    platform::ReleaseDC(dialog, dc);
    return platform::SIZE{(s.cx / 26 + 1) / 2, s.cy};
}

int Pixels(int units, int base, int per) {
    return static_cast<int>(std::lround(static_cast<double>(units) * base / per));
}

// Where a child lies in its parent's client area.
platform::RECT ChildRect(HWND child) {
    platform::RECT r{};
    platform::GetWindowRect(child, &r);
    platform::POINT a{r.left, r.top};
    platform::POINT b{r.right, r.bottom};
    const HWND parent = platform::GetParent(child);
    platform::ScreenToClient(parent, &a);
    platform::ScreenToClient(parent, &b);
    return platform::RECT{a.x, a.y, b.x, b.y};
}

class DialogTemplates : public ::testing::Test {
  protected:
    void SetUp() override {
        platform::testing::ResetLayer();
        resources::RegisterAll();
        platform::WNDCLASS wc{};
        wc.lpfnWndProc = &HostProc;
        wc.lpszClassName = "TemplateHost";
        platform::RegisterClass(&wc);
        host_ = platform::CreateWindow("TemplateHost", "host", platform::WS_OVERLAPPEDWINDOW, 0, 0,
                                       1200, 900, HWND{}, platform::HMENU{}, platform::HINSTANCE{},
                                       nullptr);
        ASSERT_TRUE(host_);
    }
    void TearDown() override { platform::testing::ResetLayer(); }

    HWND Open(const DialogTemplate& t) {
        return platform::CreateDialogParam(platform::HINSTANCE{}, t.name, host_, &Quiet, 0);
    }

    HWND host_{};
};

TEST_F(DialogTemplates, EveryCaptionFitsItsControlInTheDialogFont) {
    const auto templates = platform::RegisteredDialogTemplates();
    ASSERT_FALSE(templates.empty());
    for (const DialogTemplate* t : templates) {
        const HWND dialog = Open(*t);
        ASSERT_TRUE(dialog) << t->name;
        std::size_t captions = 0;
        for (std::size_t i = 0; i < t->control_count; ++i)
            if (DrawsCaption(t->controls[i].kind) && t->controls[i].text && *t->controls[i].text)
                ++captions;
        const auto rooms = platform::testing::DialogTextRooms(dialog);
        EXPECT_EQ(rooms.size(), captions) << t->name << ": every caption is measured";
        for (const auto& room : rooms) {
            EXPECT_LE(room.needed_width, room.width)
                << t->name << " " << room.kind << " " << room.id << " \"" << room.text << "\"";
            EXPECT_LE(room.needed_height, room.height)
                << t->name << " " << room.kind << " " << room.id << " \"" << room.text << "\"";
        }
        platform::DestroyWindow(dialog);
    }
}

TEST_F(DialogTemplates, EveryControlLiesInsideItsDialog) {
    for (const DialogTemplate* t : platform::RegisteredDialogTemplates()) {
        const HWND dialog = Open(*t);
        ASSERT_TRUE(dialog) << t->name;
        platform::RECT client{};
        platform::GetClientRect(dialog, &client);
        for (std::size_t i = 0; i < t->control_count; ++i) {
            const auto& c = t->controls[i];
            const platform::RECT units{c.x, c.y, c.x + c.cx, c.y + c.cy};
            platform::RECT r = units;
            ASSERT_TRUE(platform::MapDialogRect(dialog, &r));
            if (c.kind == ControlKind::DropDownList) continue;  // its list drops over the rest
            EXPECT_GE(r.left, 0) << t->name << " control " << c.id;
            EXPECT_GE(r.top, 0) << t->name << " control " << c.id;
            EXPECT_LE(r.right, client.right + 1) << t->name << " control " << c.id;
            EXPECT_LE(r.bottom, client.bottom + 1) << t->name << " control " << c.id;
        }
        platform::DestroyWindow(dialog);
    }
}

TEST_F(DialogTemplates, UnitsArePixelsByTheBaseUnitsOfTheTemplateFont) {
    for (const DialogTemplate* t : platform::RegisteredDialogTemplates()) {
        const HWND dialog = Open(*t);
        ASSERT_TRUE(dialog) << t->name;
        const platform::SIZE base = MeasuredBaseUnits(dialog);
        ASSERT_GT(base.cx, 0) << t->name;
        ASSERT_GT(base.cy, 0) << t->name;
        platform::RECT unit{0, 0, 4, 8};
        ASSERT_TRUE(platform::MapDialogRect(dialog, &unit));
        EXPECT_EQ(unit.right, base.cx) << t->name << ": 4 units across are an average width";
        EXPECT_EQ(unit.bottom, base.cy) << t->name << ": 8 units down are a cell height";
        platform::RECT client{};
        platform::GetClientRect(dialog, &client);
        EXPECT_EQ(client.right, Pixels(t->cx, base.cx, 4)) << t->name;
        EXPECT_EQ(client.bottom, Pixels(t->cy, base.cy, 8)) << t->name;
        std::map<int, int> uses;
        for (std::size_t i = 0; i < t->control_count; ++i) ++uses[t->controls[i].id];
        for (std::size_t i = 0; i < t->control_count; ++i) {
            const auto& c = t->controls[i];
            if (uses[c.id] != 1) continue;
            const HWND control = platform::GetDlgItem(dialog, c.id);
            ASSERT_TRUE(control) << t->name << " " << c.id;
            EXPECT_EQ(platform::SendMessage(control, platform::WM_GETFONT, 0, 0),
                      platform::SendMessage(dialog, platform::WM_GETFONT, 0, 0))
                << t->name << " " << c.id << ": controls draw with the dialog's font";
            const platform::RECT r = ChildRect(control);
            EXPECT_EQ(r.left, Pixels(c.x, base.cx, 4)) << t->name << " " << c.id;
            EXPECT_EQ(r.top, Pixels(c.y, base.cy, 8)) << t->name << " " << c.id;
            EXPECT_EQ(r.right - r.left, Pixels(c.cx, base.cx, 4)) << t->name << " " << c.id;
            if (c.kind == ControlKind::DropDownList) {
                // Closed, a drop-down list is one line of its font high, below what it asked.
                EXPECT_LE(r.bottom - r.top, Pixels(c.cy, base.cy, 8)) << t->name << " " << c.id;
                EXPECT_GE(r.bottom - r.top, base.cy) << t->name << " " << c.id;
            } else {
                EXPECT_EQ(r.bottom - r.top, Pixels(c.cy, base.cy, 8)) << t->name << " " << c.id;
            }
        }
        platform::DestroyWindow(dialog);
    }
}

// A closed drop-down list shows one line in its font, inside the dialog, where the template puts
// it; the height the template gives is that of the list when it drops.
TEST_F(DialogTemplates, ClosedDropDownListsShowOneLineInsideTheDialog) {
    int lists = 0;
    for (const DialogTemplate* t : platform::RegisteredDialogTemplates()) {
        const HWND dialog = Open(*t);
        ASSERT_TRUE(dialog) << t->name;
        platform::ShowWindow(dialog, platform::SW_SHOW);
        platform::testing::PumpUntilIdle();
        const platform::SIZE base = MeasuredBaseUnits(dialog);
        platform::RECT client{};
        platform::GetClientRect(dialog, &client);
        for (std::size_t i = 0; i < t->control_count; ++i) {
            const auto& c = t->controls[i];
            if (c.kind != ControlKind::DropDownList) continue;
            ++lists;
            const HWND list = platform::GetDlgItem(dialog, c.id);
            platform::RECT shown{};
            ASSERT_TRUE(platform::testing::ShownClientRect(list, &shown)) << t->name;
            const platform::RECT r = ChildRect(list);
            EXPECT_EQ(shown.top, r.top) << t->name << " " << c.id;
            EXPECT_EQ(shown.bottom - shown.top, r.bottom - r.top) << t->name << " " << c.id;
            EXPECT_GE(shown.bottom - shown.top, base.cy) << t->name << " " << c.id;
            EXPECT_LT(shown.bottom - shown.top, 2 * base.cy + 4) << t->name << " " << c.id;
            EXPECT_LE(shown.bottom, client.bottom) << t->name << " " << c.id << " is cut off";
        }
        platform::DestroyWindow(dialog);
    }
    EXPECT_GT(lists, 0) << "no template has a drop-down list to look at";
}

// Two made-up templates alike but for the size of their font: the larger font gives the larger
// dialog, in proportion to its base units, and so keeps its texts as roomy.
const platform::ControlTemplate kScaledControls[] = {
    {1, ControlKind::PushButton, "Done", 10, 20, 40, 14, 0},
};
const DialogTemplate kSmall = {"UnitsSmall",    "Small", 0, 0, 160, 80, "Times New Roman", 8, 0,
                               kScaledControls, 1};
const DialogTemplate kLarge = {"UnitsLarge",    "Large", 0, 0, 160, 80, "Times New Roman", 16, 0,
                               kScaledControls, 1};

TEST_F(DialogTemplates, ALargerFontGivesALargerDialogInProportion) {
    platform::RegisterDialogTemplate(&kSmall);
    platform::RegisterDialogTemplate(&kLarge);
    const HWND small = Open(kSmall);
    const HWND large = Open(kLarge);
    ASSERT_TRUE(small);
    ASSERT_TRUE(large);
    platform::RECT a{};
    platform::RECT b{};
    platform::GetClientRect(small, &a);
    platform::GetClientRect(large, &b);
    const platform::SIZE sa = MeasuredBaseUnits(small);
    const platform::SIZE sb = MeasuredBaseUnits(large);
    EXPECT_GT(sb.cx, sa.cx);
    EXPECT_GT(sb.cy, sa.cy);
    EXPECT_NEAR(static_cast<double>(b.right) / a.right, static_cast<double>(sb.cx) / sa.cx, 0.02);
    EXPECT_NEAR(static_cast<double>(b.bottom) / a.bottom, static_cast<double>(sb.cy) / sa.cy, 0.02);
    // Twice the points, about twice the pixels.
    EXPECT_NEAR(static_cast<double>(b.right) / a.right, 2.0, 0.35);
    EXPECT_NEAR(static_cast<double>(b.bottom) / a.bottom, 2.0, 0.35);
    const platform::RECT button_a = ChildRect(platform::GetDlgItem(small, 1));
    const platform::RECT button_b = ChildRect(platform::GetDlgItem(large, 1));
    EXPECT_NEAR(
        static_cast<double>(button_b.right - button_b.left) / (button_a.right - button_a.left),
        static_cast<double>(sb.cx) / sa.cx, 0.05);
    const auto rooms_a = platform::testing::DialogTextRooms(small);
    const auto rooms_b = platform::testing::DialogTextRooms(large);
    ASSERT_EQ(rooms_a.size(), 1u);
    ASSERT_EQ(rooms_b.size(), 1u);
    EXPECT_LE(rooms_a[0].needed_width, rooms_a[0].width);
    EXPECT_LE(rooms_b[0].needed_width, rooms_b[0].width);
}

// A picture of every template as it shows, under the build directory, for a person to look at.
TEST_F(DialogTemplates, EveryTemplateIsSavedAsAPicture) {
    const std::filesystem::path folder = std::filesystem::current_path() / "dialog-pictures";
    std::filesystem::create_directories(folder);
    for (const DialogTemplate* t : platform::RegisteredDialogTemplates()) {
        const HWND dialog = Open(*t);
        ASSERT_TRUE(dialog) << t->name;
        platform::ShowWindow(dialog, platform::SW_SHOW);
        platform::testing::PumpUntilIdle();
        const std::filesystem::path file = folder / (std::string(t->name) + ".png");
        std::filesystem::remove(file);
        EXPECT_TRUE(platform::testing::SaveWindowImage(dialog, file.string())) << t->name;
        EXPECT_GT(std::filesystem::file_size(file), 0u) << t->name;
        platform::DestroyWindow(dialog);
    }
}

TEST_F(DialogTemplates, MapDialogRectRefusesWhatIsNoDialog) {
    platform::RECT r{0, 0, 4, 8};
    EXPECT_FALSE(platform::MapDialogRect(host_, &r));
    EXPECT_FALSE(platform::MapDialogRect(HWND{}, &r));
    EXPECT_EQ(r.right, 4);
    EXPECT_EQ(r.bottom, 8);
}

}  // namespace
