#include "shell/GdiObjects.h"

#include <initializer_list>

#include "platform/gdi/Gdi.h"

namespace shell {

using platform::HBRUSH;
using platform::HFONT;
using platform::HPEN;
using platform::RGB;

HFONT SmallFont;
HFONT TitleFont;
HFONT LabelFont;
HFONT SystemFont;

HPEN BlackPen;
HPEN DarkRedPen;
HPEN BluePen;
HPEN BluePen2;
HPEN GreenPen2;
HPEN DarkGreenPen;
HBRUSH CyanBrush;
HBRUSH YellowBrush;
HBRUSH GreyBrush;
HBRUSH DarkGreyBrush;
HBRUSH WhiteBrush;
HPEN MagentaPen4;
HPEN WhitePen6;
HPEN BlackPen4;
HPEN RedPen2;
HPEN MeterPens[kMeterPenCount];
HPEN MagentaPen2;
HBRUSH MidGreyBrush;
HBRUSH MeterBrushRamp[kBrushRampCount];
HBRUSH BlueBrushRamp[kBrushRampCount];

namespace {

struct Rgb {
    int r, g, b;
};

constexpr Rgb kMeterPenColours[kMeterPenCount] = {
    {0, 164, 0}, {192, 0, 0}, {0, 128, 255}, {255, 164, 0}, {255, 0, 255}};

constexpr Rgb kMeterRamp[kBrushRampCount] = {
    {128, 0, 0},   {196, 0, 0},   {228, 0, 0},   {255, 32, 0},  {255, 64, 0},  {255, 96, 0},
    {255, 128, 0}, {255, 164, 0}, {255, 192, 0}, {255, 228, 0}, {255, 255, 0}, {228, 255, 0},
    {196, 255, 0}, {164, 255, 0}, {128, 255, 0}, {96, 255, 0},  {64, 255, 0},  {0, 228, 0}};

constexpr Rgb kBlueRamp[kBrushRampCount] = {
    {0, 0, 128},   {0, 0, 196},   {0, 0, 228},   {0, 32, 255},  {0, 64, 255},  {0, 96, 255},
    {0, 128, 255}, {0, 164, 255}, {0, 192, 255}, {0, 228, 255}, {0, 255, 255}, {0, 255, 228},
    {0, 255, 196}, {0, 255, 164}, {0, 255, 128}, {0, 255, 96},  {0, 255, 64},  {0, 228, 0}};

// Pitch-and-family word of the three fonts.
constexpr platform::DWORD kFontPitchFamily = 33;

HFONT MakeFont(int height, int width, int weight, const char* face) {
    return platform::CreateFont(height, width, 0, 0, weight, 0, 0, 0, platform::ANSI_CHARSET,
                                platform::OUT_DEFAULT_PRECIS, platform::CLIP_DEFAULT_PRECIS,
                                platform::DEFAULT_QUALITY, kFontPitchFamily, face);
}

int failures = 0;

HPEN Pen(int width, int r, int g, int b) {
    const HPEN pen = platform::CreatePen(platform::PS_SOLID, width, RGB(r, g, b));
    if (!pen) ++failures;
    return pen;
}

HBRUSH Brush(int r, int g, int b) {
    const HBRUSH brush = platform::CreateSolidBrush(RGB(r, g, b));
    if (!brush) ++failures;
    return brush;
}

template <class H>
void Delete(H& handle) {
    if (handle) platform::DeleteObject(handle);
    handle = 0;
}

}  // namespace

int CreateGdiObjects() {
    failures = 0;
    SmallFont = MakeFont(6, 4, 100, "Helv");
    TitleFont = MakeFont(24, 14, 700, "Arial");
    LabelFont = MakeFont(12, 5, 100, "Arial");
    if (!SmallFont || !TitleFont || !LabelFont) ++failures;
    SystemFont = platform::GetStockObject(platform::SYSTEM_FONT);

    BlackPen = Pen(1, 0, 0, 0);
    DarkRedPen = Pen(1, 164, 0, 0);
    BluePen = Pen(1, 0, 0, 192);
    BluePen2 = Pen(2, 0, 0, 192);
    GreenPen2 = Pen(2, 0, 164, 0);
    DarkGreenPen = Pen(1, 0, 128, 0);
    CyanBrush = Brush(0, 255, 255);
    YellowBrush = Brush(255, 255, 0);
    GreyBrush = Brush(164, 164, 164);
    DarkGreyBrush = Brush(64, 64, 64);
    WhiteBrush = Brush(255, 255, 255);
    MagentaPen4 = Pen(4, 255, 0, 255);
    WhitePen6 = Pen(6, 255, 255, 255);
    BlackPen4 = Pen(4, 0, 0, 0);
    RedPen2 = Pen(2, 192, 0, 0);
    for (int i = 0; i < kMeterPenCount; ++i) {
        const Rgb c = kMeterPenColours[i];
        MeterPens[i] = Pen(5, c.r, c.g, c.b);
    }
    MagentaPen2 = Pen(2, 255, 0, 255);
    MidGreyBrush = Brush(128, 128, 128);
    for (int i = 0; i < kBrushRampCount; ++i) {
        MeterBrushRamp[i] = Brush(kMeterRamp[i].r, kMeterRamp[i].g, kMeterRamp[i].b);
    }
    for (int i = 0; i < kBrushRampCount; ++i) {
        BlueBrushRamp[i] = Brush(kBlueRamp[i].r, kBlueRamp[i].g, kBlueRamp[i].b);
    }
    return failures == 0 ? 0 : 1;
}

void DeleteGdiObjects() {
    Delete(SmallFont);
    Delete(TitleFont);
    Delete(LabelFont);
    SystemFont = 0;  // stock: never deleted
    for (HPEN* pen : {&BlackPen, &DarkRedPen, &BluePen, &BluePen2, &GreenPen2, &DarkGreenPen,
                      &MagentaPen4, &WhitePen6, &BlackPen4, &RedPen2, &MagentaPen2}) {
        Delete(*pen);
    }
    for (HPEN& pen : MeterPens) Delete(pen);
    for (HBRUSH* brush :
         {&CyanBrush, &YellowBrush, &GreyBrush, &DarkGreyBrush, &WhiteBrush, &MidGreyBrush}) {
        Delete(*brush);
    }
    for (HBRUSH& brush : MeterBrushRamp) Delete(brush);
    for (HBRUSH& brush : BlueBrushRamp) Delete(brush);
}

}  // namespace shell
