#include "driverdata/DiffractionDrawing.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "driverdata/EdgeDiffraction.h"
#include "platform/gdi/Gdi.h"
#include "platform/ui/Paint.h"
#include "platform/ui/Window.h"
#include "shell/BaffleRecord.h"
#include "shell/DriverRecord.h"
#include "shell/GdiObjects.h"
#include "shell/NumberText.h"
#include "shell/PlotFrame.h"
#include "shell/PreferencesRecord.h"
#include "shell/StartupAllocation.h"

namespace driverdata {

using platform::HDC;
using platform::RGB;

namespace {

constexpr int kRingPoints = 32;
constexpr float kFocalLength = 500.0f;
constexpr float kPistonPixelsPerUnit = 3.8f;  // the pictures' own scale, not the canvas's 4

void TextAt(HDC hdc, int x, int y, const char* text) {
    platform::TextOut(hdc, x, y, text, static_cast<int>(std::strlen(text)));
}

// A text slot's leading number, or `fallback` when it holds none.
double SlotNumber(const char* slot, std::size_t capacity, double fallback) {
    double value = 0.0;
    return shell::ReadTypedSlot(slot, capacity, &value) ? value : fallback;
}

double Raster() { return shell::BaffleRasterCm(*shell::Baffle); }

double Diameter() {
    if (!shell::CurrentDriverRecord) return 0.0;
    return SlotNumber(shell::CurrentDriverRecord->Diameter, shell::kTextSlot, 0.0);
}

void NodeMarker(HDC hdc, float u, float v) {
    const int x = CanvasX(u) - 2, y = CanvasY(v);
    platform::Rectangle(hdc, x, y - 2, x + 5, y + 3);
}

// One piston's sample points around the picture centre, as the sweep samples them.
void DrawPistonPoints(HDC hdc, int cx, int cy, float radius, float raster) {
    static PistonOffset offsets[kMaxPistonSamples];
    const int count = PistonSampleOffsets(radius, DiffractionListIndex, offsets);
    for (int i = 0; i < count; ++i) {
        const int px = static_cast<int>(kPistonPixelsPerUnit * offsets[i].x / raster);
        const int py = static_cast<int>(kPistonPixelsPerUnit * offsets[i].y / raster);
        platform::Rectangle(hdc, cx + px - 2, cy - py - 2, cx + px + 3, cy - py + 3);
    }
}

}  // namespace

void ClearBaffleCanvas(platform::HWND canvas) {
    platform::InvalidateRect(canvas, nullptr, platform::TRUE);
    platform::UpdateWindow(canvas);
    const HDC hdc = platform::GetDC(canvas);
    if (!hdc) return;
    platform::RECT r{};
    platform::GetClientRect(canvas, &r);
    const shell::ColourEntry& c = shell::CurveColourScheme[0];
    const platform::HBRUSH background = platform::CreateSolidBrush(RGB(c.Red, c.Green, c.Blue));
    const platform::HBRUSH old_brush = platform::SelectObject(hdc, background);
    const platform::HPEN old_pen = platform::SelectObject(hdc, shell::BlackPen);
    platform::Rectangle(hdc, r.left, r.top, r.right, r.bottom);
    for (int x = 4; x <= 408; x += 4)
        for (int y = 4; y <= 468; y += 4) platform::SetPixel(hdc, x, y, RGB(0, 0, 0));
    platform::SelectObject(hdc, old_pen);
    platform::SelectObject(hdc, old_brush);
    platform::DeleteObject(background);
    platform::ReleaseDC(canvas, hdc);
}

void DrawBaffleScene(platform::HWND canvas) {
    if (!shell::Baffle) return;
    const HDC hdc = platform::GetDC(canvas);
    if (!hdc) return;
    const shell::BaffleRecord& b = *shell::Baffle;
    const int count = std::clamp(b.NodeCount, 0, shell::kBaffleNodeSlots - 1);

    const platform::HPEN old_pen = platform::SelectObject(hdc, shell::BlackPen);
    for (int i = 0; i + 1 < count; ++i) {
        platform::MoveToEx(hdc, CanvasX(b.Nodes[i].x), CanvasY(b.Nodes[i].y), nullptr);
        platform::LineTo(hdc, CanvasX(b.Nodes[i + 1].x), CanvasY(b.Nodes[i + 1].y));
    }
    if (b.ClosedFlag == 2 && count > 1) {
        platform::MoveToEx(hdc, CanvasX(b.Nodes[count - 1].x), CanvasY(b.Nodes[count - 1].y),
                           nullptr);
        platform::LineTo(hdc, CanvasX(b.Nodes[0].x), CanvasY(b.Nodes[0].y));
    }

    const platform::HBRUSH old_brush = platform::SelectObject(hdc, shell::YellowBrush);
    const platform::HFONT old_font = platform::SelectObject(hdc, shell::SmallFont);
    platform::SetBkMode(hdc, platform::TRANSPARENT);
    char text[64];
    for (int i = 0; i < count; ++i) {
        NodeMarker(hdc, static_cast<float>(b.Nodes[i].x), static_cast<float>(b.Nodes[i].y));
        std::snprintf(text, sizeof text, "%d", i);
        TextAt(hdc, CanvasX(b.Nodes[i].x) + 3, CanvasY(b.Nodes[i].y) - 8, text);
    }

    const float raster = static_cast<float>(Raster());
    const float diameter = static_cast<float>(Diameter());
    const platform::HBRUSH blue = platform::CreateSolidBrush(RGB(0, 32, 255));
    for (int d = 0; d < 2; ++d) {
        const shell::BafflePoint& p = b.Points[d];
        if (p.flag == 0 || !(std::fabs(p.x) < 1e5f && std::fabs(p.y) < 1e5f)) continue;
        const int cx = CanvasX(p.x), cy = CanvasY(p.y);
        if (raster > 0.0f && std::isfinite(diameter) && std::fabs(diameter) < 1e4f) {
            DrawDriverWireframe(hdc, 1.2f * diameter / (0.5f * raster), 0, 0, 0, cx, cy, 620.0f);
        }
        TextAt(hdc, cx + 4, cy, d == 0 ? "1" : "2");
        if (raster > 0.0f) {
            platform::SelectObject(hdc, blue);
            DrawPistonPoints(hdc, cx, cy, 0.5f * diameter, raster);
        }
    }
    platform::SelectObject(hdc, shell::YellowBrush);
    platform::DeleteObject(blue);

    const shell::BafflePoint& mic = b.Points[shell::kBaffleMicrophone];
    if (std::fabs(mic.x) < 1e5f && std::fabs(mic.y) < 1e5f) {
        const platform::HPEN red = platform::CreatePen(platform::PS_SOLID, 1, RGB(164, 0, 0));
        platform::SelectObject(hdc, red);
        platform::SelectObject(hdc, shell::SystemFont);
        const int x = static_cast<int>(4.0f * mic.x), y = static_cast<int>(4.0f * mic.y);
        platform::Ellipse(hdc, x - 4, 461 - y, x + 12, 477 - y);
        platform::MoveToEx(hdc, x + 11, 461 - y, nullptr);
        platform::LineTo(hdc, x + 11, 477 - y);
        platform::SelectObject(hdc, shell::BlackPen);
        platform::DeleteObject(red);
    }
    platform::SetBkMode(hdc, platform::OPAQUE);
    platform::SelectObject(hdc, old_font);
    platform::SelectObject(hdc, old_brush);
    platform::SelectObject(hdc, old_pen);
    platform::ReleaseDC(canvas, hdc);
}

void DrawBaffleEdgeElements(platform::HWND canvas) {
    const HDC hdc = platform::GetDC(canvas);
    if (!hdc) return;
    const int count = std::clamp(shell::BaffleSideCount, 0, shell::kEdgePointSlots);
    const platform::HPEN old_pen = platform::SelectObject(hdc, shell::BluePen2);
    for (int e = 0; e < count; ++e) {
        const shell::EdgeElement& el = shell::EdgeElementTable[e];
        platform::MoveToEx(hdc, CanvasX(el.a.x), CanvasY(el.a.y), nullptr);
        platform::LineTo(hdc, CanvasX(el.b.x), CanvasY(el.b.y));
    }
    platform::SelectObject(hdc, shell::BlackPen);
    const platform::HBRUSH old_brush = platform::SelectObject(hdc, shell::YellowBrush);
    for (int e = 0; e < count; ++e)
        NodeMarker(hdc, shell::EdgeElementTable[e].a.x, shell::EdgeElementTable[e].a.y);
    const platform::HBRUSH green = platform::CreateSolidBrush(RGB(0, 228, 0));
    platform::SelectObject(hdc, green);
    for (int e = 0; e < count; ++e)
        NodeMarker(hdc, shell::EdgeElementTable[e].mid_x, shell::EdgeElementTable[e].mid_y);
    platform::SelectObject(hdc, old_brush);
    platform::SelectObject(hdc, old_pen);
    platform::DeleteObject(green);
    platform::ReleaseDC(canvas, hdc);
}

void DrawEdgeProfileSketch(platform::HWND sketch) {
    platform::InvalidateRect(sketch, nullptr, platform::TRUE);
    platform::UpdateWindow(sketch);
    const HDC hdc = platform::GetDC(sketch);
    if (!hdc) return;
    platform::RECT r{};
    platform::GetClientRect(sketch, &r);
    r.top += 1;
    platform::FillRect(hdc, &r, shell::YellowBrush);
    const platform::HFONT old_font = platform::SelectObject(hdc, shell::SmallFont);
    platform::SetBkMode(hdc, platform::TRANSPARENT);
    TextAt(hdc, 40, 2, "Baffle Edge");
    const platform::HPEN old_pen = platform::SelectObject(hdc, shell::BluePen2);
    auto line = [hdc](int x0, int y0, int x1, int y1) {
        platform::MoveToEx(hdc, x0, y0, nullptr);
        platform::LineTo(hdc, x1, y1);
    };
    switch (EdgeProfile) {
        case 0: {
            const platform::POINT square[] = {{40, 30}, {100, 30}, {100, 80}};
            platform::Polyline(hdc, square, 3);
            break;
        }
        case 1: {
            const platform::POINT bevel[] = {{40, 30}, {70, 30}, {100, 60}, {100, 80}};
            platform::Polyline(hdc, bevel, 4);
            TextAt(hdc, 85, 17, "b");
            line(74, 30, 98, 30);
            TextAt(hdc, 103, 38, "a");
            line(100, 33, 100, 57);
            break;
        }
        case 2:
            line(40, 30, 70, 30);
            line(100, 60, 100, 80);
            platform::Arc(hdc, 40, 30, 100, 90, 100, 60, 70, 30);
            TextAt(hdc, 85, 45, "r");
            line(73, 55, 90, 40);
            break;
        default:
            break;
    }
    platform::SetBkMode(hdc, platform::OPAQUE);
    platform::SelectObject(hdc, old_pen);
    platform::SelectObject(hdc, old_font);
    platform::ReleaseDC(sketch, hdc);
}

void DrawDriverWireframe(HDC hdc, float s, float a, float b, float c, int cx, int cy,
                         float distance) {
    // Parts back to front: ring 1 (r, z), ring 2 (r, z), brush grey level.
    struct Part {
        float r1, z1, r2, z2;
        int grey;
    };
    const float third = 0.3333333333333333f * s;
    const Part parts[] = {
        {third, 0.7f * s, third, 0.8f * s, 164},               // back cylinder
        {0.5f * s, 0.5f * s, 0.5f * s, 0.7f * s, 64},          // magnet
        {0.5f * s, 0.5f * s, 0.2665f * s, 0.5f * s, 64},       // magnet face
        {third, 0.4f * s, third, 0.5f * s, 164},               // pole cylinder
        {s, 0.0f, third, 0.4f * s, 128},                       // cone
        {0.4f * s, third, 0.02f * s, third - 0.05f * s, 164},  // dust cap
        {1.2f * s, 0.0f, 0.9996f * s, 0.0f, 164},              // front ring
        {1.2f * s, 0.0f, 1.2f * s, -0.05f * s, 164},           // rim
        {1.2f * s, -0.05f * s, 0.9996f * s, -0.05f * s, 164},  // back ring
    };
    constexpr float kDegrees = 0.0055555555555555f * 3.1416f;
    const float sa = std::sin(a * kDegrees), ca = std::cos(a * kDegrees);
    const float sb = std::sin(b * kDegrees), cb = std::cos(b * kDegrees);
    const float sc = std::sin(c * kDegrees), cc = std::cos(c * kDegrees);
    auto project = [&](float x, float y, float z) {
        const float px =
            x * (sa * sb * sc + ca * cc) + y * (cc * sa * sb - ca * sc) + z * (cb * sa);
        const float py = x * (cb * sc) + y * (cb * cc) - z * sb;
        float pz =
            distance + x * (ca * sb * sc - cc * sa) + y * (ca * cc * sb + sa * sc) + z * (ca * cb);
        if (pz < 1.0f) pz = 1.0f;
        return platform::POINT{static_cast<int>(cx + kFocalLength * px / pz),
                               static_cast<int>(cy + kFocalLength * py / pz)};
    };
    const platform::HBRUSH old_brush = platform::SelectObject(hdc, shell::GreyBrush);
    for (const Part& part : parts) {
        platform::POINT ring1[kRingPoints], ring2[kRingPoints];
        for (int i = 0; i < kRingPoints; ++i) {
            const float theta = static_cast<float>(i) * 11.25f * kDegrees;
            ring1[i] = project(-part.r1 * std::cos(theta), -part.r1 * std::sin(theta), part.z1);
            ring2[i] = project(-part.r2 * std::cos(theta), -part.r2 * std::sin(theta), part.z2);
        }
        const platform::HBRUSH brush =
            platform::CreateSolidBrush(RGB(part.grey, part.grey, part.grey));
        platform::SelectObject(hdc, brush);
        for (int i = 0; i < kRingPoints; ++i) {
            const int j = (i + 1) % kRingPoints;
            const platform::POINT quad[] = {ring1[i], ring1[j], ring2[j], ring2[i]};
            platform::Polygon(hdc, quad, 4);
        }
        platform::SelectObject(hdc, shell::GreyBrush);
        platform::DeleteObject(brush);
    }
    platform::SelectObject(hdc, old_brush);
}

void BuildDiffractionFrequencyGrid(int /*width*/) {
    const double fstart = shell::PlotStartFrequency();
    const double ratio = shell::PlotStopFrequency() / fstart;
    for (int k = 0; k < shell::kGridPoints; ++k)
        DiffractionFrequencyGrid[k] =
            static_cast<float>(fstart * std::pow(ratio, (k + 1) / 2000.0));
}

void PaintDiffractionPlot(HDC hdc, int w, int h) {
    const double g = shell::PlotRowStep(h);
    const platform::HBRUSH grey = platform::CreateSolidBrush(RGB(212, 212, 212));
    const platform::HPEN old_pen = platform::SelectObject(hdc, shell::BluePen2);
    const platform::HBRUSH old_brush = platform::SelectObject(hdc, grey);
    platform::Rectangle(hdc, 59, 18, w - 19, h - 20);
    // An empty plot (a width of 80 or less) has no axis to draw.
    if (w > 80) {
        shell::DrawPlotGrid(hdc, w, h);
        BuildDiffractionFrequencyGrid(w);
    }
    platform::SelectObject(hdc, shell::DarkRedPen);
    platform::MoveToEx(hdc, 60, static_cast<int>(20 + 9 * g), nullptr);
    platform::LineTo(hdc, w - 20, static_cast<int>(20 + 9 * g));

    platform::SelectObject(hdc, shell::YellowBrush);
    platform::SelectObject(hdc, shell::BluePen);
    platform::RoundRect(hdc, w / 2 - 120, 1, w / 2 + 135, 21, 15, 15);
    platform::SetBkMode(hdc, platform::TRANSPARENT);
    const platform::HFONT old_font = platform::SelectObject(hdc, shell::SystemFont);
    TextAt(hdc, w / 2 - 80, 2, "SPL / Phase vs. Frequency");

    platform::SelectObject(hdc, shell::SmallFont);
    if (w > 80) shell::DrawFrequencyLabels(hdc, w, h, true);
    const shell::DriverRecord* rec = shell::CurrentDriverRecord;
    const double step = rec ? SlotNumber(rec->DiffractionPlotStep, shell::kTextSlot, 5.0) : 5.0;
    const double top = rec ? SlotNumber(rec->DiffractionPlotTop, shell::kTextSlot, 90.0) : 90.0;
    char text[32];
    for (int i = 0; i <= 18; ++i) {
        std::snprintf(text, sizeof text, "%.0f", top + 7 * step - i * step);
        TextAt(hdc, 3, static_cast<int>(10 + i * g), text);
        std::snprintf(text, sizeof text, "%.0f", 180.0 - 20.0 * i);
        TextAt(hdc, 30, static_cast<int>(10 + i * g), text);
    }
    TextAt(hdc, 3, h - 15, "dB");
    TextAt(hdc, 30, h - 15, "deg");
    platform::SelectObject(hdc, old_font);
    platform::SelectObject(hdc, old_brush);
    platform::SelectObject(hdc, old_pen);
    platform::DeleteObject(grey);
    DrawDiffractionCurves(hdc, w, h);
    platform::SetBkMode(hdc, platform::OPAQUE);
}

void DrawDiffractionCurves(HDC hdc, int w, int h) {
    const double g = shell::PlotRowStep(h);
    const shell::DriverRecord* rec = shell::CurrentDriverRecord;
    double step = rec ? SlotNumber(rec->DiffractionPlotStep, shell::kTextSlot, 5.0) : 5.0;
    if (!(step != 0.0)) step = 5.0;  // a zero scale would put every point at infinity
    const double top = rec ? SlotNumber(rec->DiffractionPlotTop, shell::kTextSlot, 90.0) : 90.0;
    const platform::HFONT old_font = platform::SelectObject(hdc, shell::SmallFont);
    platform::SetBkMode(hdc, platform::TRANSPARENT);
    for (int n = 0; n < shell::kDiffractionCurveCount; ++n) {
        const shell::CurveRecord* curve = shell::DiffractionCurveTable[n];
        if (!curve || curve->v[shell::kCurveVisible] != 1.0f) continue;
        const bool phase = n >= 5 && n < 10;
        if (phase && DiffractionShowPhase != 1) continue;
        const platform::HPEN pen = shell::CreateCurvePen(curve->v);
        const platform::HPEN old_pen = platform::SelectObject(hdc, pen);
        const char* legend = n < 5 ? "SPL" : phase ? "Ph" : "Cpl";
        TextAt(hdc, w - 75, n < 5 ? 25 : phase ? 45 : 65, legend);
        const int legend_y = n < 5 ? 25 + 3 * n : phase ? 30 + 3 * n : 35 + 3 * n;
        platform::MoveToEx(hdc, w - 50, legend_y, nullptr);
        platform::LineTo(hdc, w - 25, legend_y);
        for (int k = 0; k < shell::kGridPoints; ++k) {
            const int x = static_cast<int>(60 + 0.0005 * (w - 80) * k);
            const double v = curve->v[k];
            const double y =
                phase ? 20 + 9 * g - 0.05 * g * v : 20 + 7 * g - (g / step) * (v + 90.0 - top);
            const int yc = shell::ClampedCurveY(y, h);
            if (k == 0)
                platform::MoveToEx(hdc, x, yc, nullptr);
            else
                platform::LineTo(hdc, x, yc);
        }
        platform::SelectObject(hdc, old_pen);
        platform::DeleteObject(pen);
    }
    platform::SelectObject(hdc, old_font);
}

}  // namespace driverdata
