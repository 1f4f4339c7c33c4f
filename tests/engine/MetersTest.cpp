// The level meters: thresholds, bar heights, colours and clip marks as they land in pixels.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/Globals.h"
#include "engine/Meters.h"
#include "platform/gdi/Gdi.h"
#include "platform/testing/Harness.h"
#include "platform/ui/Paint.h"
#include "platform/ui/Window.h"
#include "shell/GdiObjects.h"
#include "shell/Globals.h"
#include "tests/engine/EngineTestSupport.h"

namespace {

using namespace platform;
namespace pt = platform::testing;

TEST(MeterSteps, InputThresholdsCountWhenReached) {
    EXPECT_EQ(engine::InputMeterStep(0.0), 0);
    EXPECT_EQ(engine::InputMeterStep(25637.0), 0);
    EXPECT_EQ(engine::InputMeterStep(25638.0), 1);
    EXPECT_EQ(engine::InputMeterStep(173262.0), 12);
    EXPECT_EQ(engine::InputMeterStep(173261.9), 11);
    EXPECT_EQ(engine::InputMeterStep(6752778.0), 33);
    EXPECT_EQ(engine::InputMeterStep(8388607.0), 33);
}

TEST(MeterSteps, OutputThresholdsFollowTheGeometricSeries) {
    struct Case {
        int k;
        double value;
    };
    const Case cases[] = {{0, 1340239},     {1, 1576752},     {2, 1855003},
                          {43, 1452675840}, {44, 1709030400}, {45, 2010624000}};
    for (const Case& c : cases) EXPECT_NEAR(engine::OutputMeterThreshold(c.k), c.value, 1.0) << c.k;
    for (int k = 1; k <= 45; ++k)
        EXPECT_NEAR(engine::OutputMeterThreshold(k) / engine::OutputMeterThreshold(k - 1), 1 / 0.85,
                    1e-5);
    EXPECT_EQ(engine::OutputMeterStep(engine::OutputMeterThreshold(20)), 20);
    EXPECT_EQ(engine::OutputMeterStep(engine::OutputMeterThreshold(20) - 1), 19);
    EXPECT_EQ(engine::OutputMeterStep(2147483647.0), 44);
    EXPECT_EQ(engine::OutputMeterStep(1000.0), 0);
}

LRESULT PlainProc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProc(h, m, w, l); }

class MeterDrawing : public ::testing::Test {
  protected:
    HWND meter{};
    void SetUp() override {
        pt::ResetLayer();
        engine::test::ResetFolders();
        if (!shell::MeterPens[0]) {
            shell::MeterPens[0] = CreatePen(PS_SOLID, 5, RGB(0, 164, 0));
            shell::MeterPens[1] = CreatePen(PS_SOLID, 5, RGB(192, 0, 0));
            shell::MeterPens[2] = CreatePen(PS_SOLID, 5, RGB(0, 128, 255));
            shell::MeterPens[3] = CreatePen(PS_SOLID, 5, RGB(255, 164, 0));
            shell::MeterPens[4] = CreatePen(PS_SOLID, 5, RGB(255, 0, 255));
            created = true;
        }
        WNDCLASS wc{};
        wc.lpfnWndProc = PlainProc;
        wc.lpszClassName = "EngineMeterTest";
        wc.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
        RegisterClass(&wc);
        meter = CreateWindow("EngineMeterTest", "", WS_VISIBLE, 0, 0, 140, 200, HWND{}, HMENU{},
                             HINSTANCE{}, nullptr);
        ASSERT_TRUE(meter);
    }
    void TearDown() override {
        DestroyWindow(meter);
        if (created)
            for (HPEN& pen : shell::MeterPens) {
                DeleteObject(pen);
                pen = HPEN{};
            }
    }
    COLORREF Pixel(int x, int y) {
        HDC dc = GetDC(meter);
        const COLORREF c = GetPixel(dc, x, y);
        ReleaseDC(meter, dc);
        return c;
    }
    bool created = false;
};

TEST_F(MeterDrawing, OutputBarsHeightColourAndClipMark) {
    RECT rc{};
    GetClientRect(meter, &rc);
    engine::SubwooferOutputNumbers[0] = 5;
    engine::SubwooferOutputNumbers[1] = 6;
    engine::RearOutputNumbers[0] = 6;  // both: blue wins
    engine::RearOutputNumbers[1] = 9;
    engine::RearOutputNumbers[2] = 10;
    engine::RearOutputNumbers[3] = 11;
    float levels[16] = {};
    levels[0] = static_cast<float>(engine::OutputMeterThreshold(10));  // k = 10: 40 + 7 pixels
    levels[2] = 0.0f;                                                  // orange stub
    levels[4] = 2.1e9f;                                                // clip, magenta bar
    levels[5] = static_cast<float>(engine::OutputMeterThreshold(3));
    engine::DrawOutputMeters(meter, levels);
    const int bottom = rc.bottom;
    EXPECT_EQ(Pixel(4, bottom - 10), RGB(0, 164, 0));
    EXPECT_EQ(Pixel(4, bottom - 46), RGB(0, 164, 0));  // top of a 47-pixel bar (end excluded)
    EXPECT_NE(Pixel(4, bottom - 50), RGB(0, 164, 0));
    EXPECT_EQ(Pixel(20, bottom - 3), RGB(255, 164, 0));  // output 3 stub
    EXPECT_NE(Pixel(20, bottom - 12), RGB(255, 164, 0));
    EXPECT_EQ(Pixel(36, bottom - 100), RGB(255, 0, 255));  // output 5 subwoofer
    EXPECT_EQ(Pixel(36, bottom - 180), RGB(192, 0, 0));    // its clip mark
    EXPECT_EQ(Pixel(44, bottom - 10), RGB(0, 128, 255));   // output 6 rear and sub: blue
}

TEST_F(MeterDrawing, InputBarsAndTheWipeRequest) {
    RECT rc{};
    GetClientRect(meter, &rc);
    float levels[8] = {};
    levels[1] = 8000000.0f;  // orange, full bar and clip mark
    levels[4] = 100000.0f;   // magenta, k = 8
    engine::DrawInputMeters(meter, levels);
    const int bottom = rc.bottom;
    EXPECT_EQ(Pixel(12, bottom - 100), RGB(255, 164, 0));
    EXPECT_EQ(Pixel(12, bottom - 175), RGB(192, 0, 0));
    EXPECT_EQ(Pixel(36, bottom - 20), RGB(255, 0, 255));
    EXPECT_EQ(Pixel(36, bottom - 45), RGB(255, 0, 255));  // 5 x 8 + 5 pixels above bottom - 2
    const float wipe[8] = {0, 0, 0, 0, 0, 0, 0, -1.0f};
    engine::DrawInputMeters(meter, wipe);
    EXPECT_NE(Pixel(12, bottom - 100), RGB(255, 164, 0));
    EXPECT_EQ(Pixel(12, bottom - 4), RGB(255, 164, 0));  // the stub stays
}

}  // namespace
