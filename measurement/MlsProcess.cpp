#include "measurement/MlsProcess.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstring>

#include "driverdata/BaffleEdges.h"
#include "driverdata/EdgeDiffraction.h"
#include "measurement/Globals.h"
#include "measurement/MlsWindows.h"
#include "platform/gdi/Gdi.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Paint.h"
#include "platform/ui/Window.h"
#include "shell/BaffleRecord.h"
#include "shell/DriverRecord.h"
#include "shell/FrameGlobals.h"
#include "shell/FrameWindows.h"
#include "shell/FrequencyGrid.h"
#include "shell/Globals.h"
#include "shell/NumberText.h"
#include "shell/PreferencesRecord.h"
#include "shell/Printout.h"
#include "shell/StartupAllocation.h"

namespace measurement {

using platform::HWND;
using platform::LPARAM;
using platform::WPARAM;

std::int32_t ProcessBufferSigns[kProcessBufferCount][2];
char ProcessMergeSource1Text[5];
char ProcessMergeSource2Text[5];
char ProcessMergeFrequencyText[10];
char ProcessAddDbText[5];
char ProcessAddDbDestText[5];
char ProcessDelayMsText[8];
char ProcessDelayDestText[5];
char ProcessDiffractionDestText[13];
char ProcessCopyDestText[5];
char ProcessPhaseSource1Text[5];
char ProcessPhaseSource2Text[5];
HWND ProcessThumbWindows[kProcessBufferCount];

namespace {

constexpr int kPoints = shell::kGridPoints;
constexpr int kFloats = shell::kCurveRecordFloats;
constexpr int kFirstPhaseRecord = 12;
constexpr int kPhaseDifferenceRecord = 13;
constexpr double kDegreesPerRadian = 57.288;
constexpr double kRadiansPerDegree = 0.0174557;
constexpr double kTwoPi = 6.283185307179586;
constexpr double kSqrtHalf = 0.7071;

// One edit of the page and the text it keeps.
struct TextField {
    int id;
    char* text;
    int capacity;
    const char* initial;
};
const TextField kFields[] = {
    {kProcMergeSource1, ProcessMergeSource1Text, 5, "4"},
    {kProcMergeSource2, ProcessMergeSource2Text, 5, "5"},
    {kProcMergeFrequency, ProcessMergeFrequencyText, 10, "500.0"},
    {kProcAddDbValue, ProcessAddDbText, 5, "0.00"},
    {kProcAddDbDest, ProcessAddDbDestText, 5, "5"},
    {kProcDelayValue, ProcessDelayMsText, 8, "0.00"},
    {kProcDelayDest, ProcessDelayDestText, 5, "5"},
    {kProcDiffractionDest, ProcessDiffractionDestText, 13, "5"},
    {kProcCopyDest, ProcessCopyDestText, 5, "5"},
    {kProcPhaseSource1, ProcessPhaseSource1Text, 5, "1"},
    {kProcPhaseSource2, ProcessPhaseSource2Text, 5, "2"},
};

// Start values in place before the first page opens.
[[maybe_unused]] const bool kTextsReady = [] {
    ResetProcessPage();
    return true;
}();

shell::CurveRecord& Real(int n) { return *shell::ProcessBufferTable[2 * (n - 1)]; }
shell::CurveRecord& Imag(int n) { return *shell::ProcessBufferTable[2 * (n - 1) + 1]; }
shell::DriverRecord& Driver() { return *shell::CurrentDriverRecord; }

// The driver curve's display pair: the latest measured level and phase curves.
shell::CurveRecord& DisplayLevel() {
    return *shell::MeasuredCurveTable[MlsSplSlot <= 0 ? 0 : std::min(MlsSplSlot, 10) - 1];
}
shell::CurveRecord& DisplayPhase() {
    return *shell::MeasuredCurveTable[MlsSplSlot <= 0 ? 10 : std::clamp(MlsPhaseSlot + 9, 10, 19)];
}

void Refuse(const char* text) {
    platform::MessageBox(shell::FrameWindow, text, "QV Message",
                         platform::MB_OK | platform::MB_ICONEXCLAMATION);
}

// The integer a field holds, false when it holds none or one outside first..last.
bool FieldIndex(const char* text, int first, int last, int* index) {
    std::int32_t value = 0;
    if (!shell::ReadTypedInteger(text, &value) || value < first || value > last) return false;
    *index = value;
    return true;
}

void SetPen(shell::CurveRecord& curve, int entry) {
    const shell::ColourEntry& c = shell::CurveColourScheme[entry];
    curve.v[shell::kCurvePenRed] = static_cast<float>(c.Red);
    curve.v[shell::kCurvePenGreen] = static_cast<float>(c.Green);
    curve.v[shell::kCurvePenBlue] = static_cast<float>(c.Blue);
    curve.v[shell::kCurvePenWidth] = static_cast<float>(c.Thickness);
    curve.v[shell::kCurvePenStyle] = static_cast<float>(c.Type);
}

void SetColour(shell::CurveRecord& curve, float r, float g, float b) {
    curve.v[shell::kCurvePenRed] = r;
    curve.v[shell::kCurvePenGreen] = g;
    curve.v[shell::kCurvePenBlue] = b;
}

// Level [dB] and phase [degrees] as linear pressure relative to `reference` dB.
std::complex<double> FromLevel(double db, double degrees, double reference) {
    const double a = std::pow(10.0, 0.05 * (db - reference));
    return {a * std::cos(kRadiansPerDegree * degrees), a * std::sin(kRadiansPerDegree * degrees)};
}

double Degrees(std::complex<double> x, double zero_real) {
    return kDegreesPerRadian * std::atan2(x.imag(), x.real() == 0.0 ? zero_real : x.real());
}

// Writes one point of the driver curve and of its display pair.
void SetDriverPoint(int k, double db, double degrees) {
    Driver().Spl[k] = static_cast<float>(db);
    Driver().Phase[k] = static_cast<float>(degrees);
    DisplayLevel().v[k] = static_cast<float>(db - 90.0);
    DisplayPhase().v[k] = static_cast<float>(degrees);
}

void SetDriverFromPressure(int k, std::complex<double> x) {
    SetDriverPoint(k, 10.0 * std::log10(std::norm(x) + 1e-16) + 90.0, Degrees(x, 1e-9));
}

std::complex<double> BufferPoint(int n, int k) { return {Real(n).v[k], Imag(n).v[k]}; }
void SetBufferPoint(int n, int k, std::complex<double> x) {
    Real(n).v[k] = static_cast<float>(x.real());
    Imag(n).v[k] = static_cast<float>(x.imag());
}

void Repaint() {
    if (shell::MlsSplChildWindow)
        platform::InvalidateRect(shell::MlsSplChildWindow, nullptr, platform::TRUE);
}

void RedrawThumb(int n) {
    if (ProcessThumbWindows[n - 1]) DrawProcessBufferThumb(ProcessThumbWindows[n - 1], n);
}

void RepaintAll() {
    Repaint();
    for (int n = 1; n <= kProcessBufferCount; ++n) RedrawThumb(n);
}

// A typed value: false (after `message`) when the text is no number or lies beyond +-most.
bool TypedValue(const char* text, double most, const char* message, double* value) {
    if (!shell::ReadTypedNumber(text, value) || std::fabs(*value) > most) {
        Refuse(message);
        return false;
    }
    return true;
}

// The piston samples of a driver at (x, y) averaged at frequency k; `first` numbers its samples
// among the sweep's.
std::complex<double> DriverMean(const shell::BafflePoint& p, const driverdata::PistonOffset* u,
                                int count, int k, int first) {
    driverdata::DiffractionAccumulator = driverdata::DiffractionSum{0.0f, 0.0f};
    for (int i = 0; i < count; ++i)
        driverdata::EdgeDiffractionAtFrequencyCommonGrid(p.x + u[i].x, p.y + u[i].y, k, first + i);
    return {driverdata::DiffractionAccumulator.re / count,
            driverdata::DiffractionAccumulator.im / count};
}

bool DriverInside(const shell::BafflePoint& p, double width, double height) {
    return p.x >= 2.5 && p.y >= 2.5 && p.x <= width - 2.5 && p.y <= height - 2.5;
}

double SlotNumber(const char* slot) {
    double value = 0.0;
    return shell::ReadTypedSlot(slot, shell::kTextSlot, &value) ? value : 0.0;
}

}  // namespace

void ResetProcessPage() {
    for (auto& sign : ProcessBufferSigns) sign[0] = sign[1] = 0;
    for (const TextField& f : kFields) {
        std::memset(f.text, 0, f.capacity);
        shell::CopyTextSlot(f.text, f.capacity, f.initial);
    }
}

void LoadDriverIntoBuffer(int n) {
    SetPen(Real(n), 2 * n - 1);
    SetPen(Imag(n), 2 * n);
    for (int k = 0; k < kPoints; ++k)
        SetBufferPoint(n, k, FromLevel(Driver().Spl[k], Driver().Phase[k], 90.0));
    Repaint();
    RedrawThumb(n);
}

void ClearProcessBuffer(int n) {
    std::fill_n(Real(n).v, kFloats, 0.0f);
    std::fill_n(Imag(n).v, kFloats, 0.0f);
    SetColour(Real(n), 255.0f, 255.0f, 255.0f);
    SetColour(Imag(n), 192.0f, 0.0f, 0.0f);
    Repaint();
    RedrawThumb(n);
}

void SumSignedBuffers() {
    SetPen(Real(kMasterBuffer), 1);
    SetPen(Imag(kMasterBuffer), 2);
    for (int k = 0; k < kPoints; ++k) {
        std::complex<double> sum = 0.0;
        for (int n = 1; n <= kProcessBufferCount; ++n)
            sum +=
                static_cast<double>(ProcessBufferSigns[n - 1][0] - ProcessBufferSigns[n - 1][1]) *
                BufferPoint(n, k);
        SetBufferPoint(kMasterBuffer, k, sum);
    }
    Repaint();
}

bool MergeBuffers() {
    int b1 = 0, b2 = 0;
    if (!FieldIndex(ProcessMergeSource1Text, 1, kProcessBufferCount, &b1)) {
        Refuse("Incorrect MERGE 1 Source");
        return false;
    }
    if (!FieldIndex(ProcessMergeSource2Text, 1, kProcessBufferCount, &b2)) {
        Refuse("Incorrect MERGE 2 Source");
        return false;
    }
    double f = 0.0;
    if (!shell::ReadTypedNumber(ProcessMergeFrequencyText, &f)) {
        Refuse("Incorrect MERGE Frequency");
        return false;
    }
    f = std::clamp(f, kLowestMergeHz, kHighestMergeHz);
    int m = kPoints - 1;
    for (int k = 0; k < kPoints; ++k) {
        if (f < shell::FrequencyGrid[k]) {
            m = std::max(k - 1, 0);
            break;
        }
    }
    shell::CurveRecord& re = Real(kMasterBuffer);
    shell::CurveRecord& im = Imag(kMasterBuffer);
    std::copy_n(Real(b1).v, m, re.v);
    std::copy_n(Imag(b1).v, m, im.v);
    std::copy(Real(b2).v + m, Real(b2).v + kFloats, re.v + m);
    std::copy(Imag(b2).v + m, Imag(b2).v + kFloats, im.v + m);
    RepaintAll();
    return true;
}

bool AddDbToDestination() {
    int d = 0;
    if (!FieldIndex(ProcessAddDbDestText, 0, kMasterBuffer, &d)) {
        Refuse("Incorrect SAVE Destination");
        return false;
    }
    double g = 0.0;
    if (!TypedValue(ProcessAddDbText, kMostAddDb, "Incorrect dB Value", &g)) return false;
    if (d == 0) {
        for (int k = 0; k < kPoints; ++k) {
            Driver().Spl[k] = static_cast<float>(Driver().Spl[k] + g);
            DisplayLevel().v[k] = static_cast<float>(Driver().Spl[k] - 90.0);
        }
    } else {
        const double factor = std::pow(10.0, 0.05 * g);
        for (int k = 0; k < kPoints; ++k) SetBufferPoint(d, k, factor * BufferPoint(d, k));
    }
    RepaintAll();
    return true;
}

bool AddDelayToDestination() {
    int d = 0;
    if (!FieldIndex(ProcessDelayDestText, 0, kMasterBuffer, &d)) {
        Refuse("Incorrect SAVE Destination");
        return false;
    }
    double ms = 0.0;
    if (!TypedValue(ProcessDelayMsText, kMostDelayMs, "Incorrect Delay Value", &ms)) return false;
    const double t = 0.001 * ms;
    for (int k = 0; k < kPoints; ++k) {
        const double theta = kTwoPi * shell::FrequencyGrid[k] * t;
        // X e^(-j theta): a positive delay lags the phase.
        const std::complex<double> turn(std::cos(theta), -std::sin(theta));
        if (d == 0)
            SetDriverFromPressure(k, turn * FromLevel(Driver().Spl[k], Driver().Phase[k], 90.0));
        else
            SetBufferPoint(d, k, turn * BufferPoint(d, k));
    }
    RepaintAll();
    return true;
}

bool CopyMasterToDestination(HWND page) {
    int d = 0;
    if (!FieldIndex(ProcessCopyDestText, 0, kProcessBufferCount, &d)) {
        Refuse("Incorrect SAVE Destination");
        return false;
    }
    if (d == 0) {
        for (int k = 0; k < kPoints; ++k) SetDriverFromPressure(k, BufferPoint(kMasterBuffer, k));
    } else {
        std::copy_n(Real(kMasterBuffer).v, kFloats, Real(d).v);
        std::copy_n(Imag(kMasterBuffer).v, kFloats, Imag(d).v);
        SetPen(Real(d), 1);
        SetPen(Imag(d), 2);
        Real(d).v[shell::kCurveVisible] = 1.0f;
        if (page) {
            platform::CheckDlgButton(page, kProcShow1 + d - 1, 1);
            platform::SetFocus(platform::GetDlgItem(page, kProcThumb1 + d - 1));
        }
    }
    RepaintAll();
    return true;
}

bool ShowPhaseDifference() {
    int s1 = 0, s2 = 0;
    if (!FieldIndex(ProcessPhaseSource1Text, 1, kProcessBufferCount, &s1)) {
        Refuse("Incorrect PHASE 1 Source");
        return false;
    }
    if (!FieldIndex(ProcessPhaseSource2Text, 1, kProcessBufferCount, &s2)) {
        Refuse("Incorrect PHASE 2 Source");
        return false;
    }
    shell::CurveRecord& first = *shell::ProcessBufferTable[kFirstPhaseRecord];
    shell::CurveRecord& difference = *shell::ProcessBufferTable[kPhaseDifferenceRecord];
    first.v[shell::kCurveVisible] = 1.0f;
    difference.v[shell::kCurveVisible] = 1.0f;
    SetPen(difference, 2);
    const int sources[2] = {s1, s2};
    shell::CurveRecord* targets[2] = {&first, &difference};
    for (int i = 0; i < 2; ++i) {
        double offset = 0.0;
        for (int k = 0; k < kPoints; ++k) {
            double p = Degrees(BufferPoint(sources[i], k), 1e-9) + offset;
            const double previous = k > 0 ? targets[i]->v[k - 1] : p;
            if (k > 0 && std::fabs(previous - p) > 300.0) {
                const double step = p <= previous ? 360.0 : -360.0;
                p += step;
                offset += step;
            }
            targets[i]->v[k] = static_cast<float>(p);
        }
    }
    for (int k = 0; k < kPoints; ++k) {
        double delta = static_cast<double>(first.v[k]) - difference.v[k];
        for (int i = 0; i < 10 && delta > 360.0; ++i) delta -= 360.0;
        difference.v[k] = static_cast<float>(delta);
    }
    Repaint();
    return true;
}

bool AddDiffractionToDestination() {
    int d = 0;
    if (!FieldIndex(ProcessDiffractionDestText, 0, kMasterBuffer, &d)) {
        Refuse("Incorrect ADD Destination");
        return false;
    }
    if (driverdata::BuildBaffleEdges() != 0) {
        Refuse("Front Baffle Setup Error");
        return false;
    }
    const double r = 0.5 * SlotNumber(Driver().Diameter);
    if (!(r >= driverdata::kSmallestPistonRadius && r < 1.0e4)) {
        Refuse("Driver's Dia Data Error");
        return false;
    }
    const shell::BafflePoint p1 = shell::Baffle->Points[0];
    const shell::BafflePoint p2 = shell::Baffle->Points[1];
    const double width = SlotNumber(Driver().EnclosureWidth);
    const double height = SlotNumber(Driver().EnclosureHeight);
    if (!(width >= 5.0 && width <= 200.0 && height >= 5.0 && height <= 200.0)) {
        Refuse("Enclosure Geometry Data Error");
        return false;
    }
    const bool two = Driver().DriversMode != 0;
    if (two) {
        const double dx = p1.x - p2.x, dy = p1.y - p2.y;
        if (!(std::sqrt(0.0001 * dx * dx + 0.0001 * dy * dy) > 0.0)) {
            Refuse("Driver's Distance Data Error");
            return false;
        }
    }
    if (!DriverInside(p1, width, height)) {
        Refuse("Driver 1 Geometry Data Error");
        return false;
    }
    if (two && !DriverInside(p2, width, height)) {
        Refuse("Driver 2 Geometry Data Error");
        return false;
    }
    static driverdata::PistonOffset offsets[driverdata::kMaxPistonSamples];
    const int count = driverdata::PistonSampleOffsets(static_cast<float>(r),
                                                      driverdata::DiffractionListIndex, offsets);
    if (count == 0) {
        Refuse("Driver's Dia Data Error");
        return false;
    }
    platform::SetCursor(platform::LoadCursor(platform::HINSTANCE{}, platform::IDC_WAIT));
    for (int k = 0; k < kPoints; ++k) {
        std::complex<double> factor = DriverMean(p1, offsets, count, k, 0);
        if (two) factor = kSqrtHalf * factor + kSqrtHalf * DriverMean(p2, offsets, count, k, count);
        if (d != 0) {
            SetBufferPoint(d, k, factor * BufferPoint(d, k));
            continue;
        }
        // The driver curve in absolute pressure (no 90 dB reference).
        const std::complex<double> y = factor * FromLevel(Driver().Spl[k], Driver().Phase[k], 0.0);
        SetDriverPoint(k, 10.0 * std::log10(std::norm(y) + 1e-16), Degrees(y, 1e-12));
    }
    platform::SetCursor(platform::LoadCursor(platform::HINSTANCE{}, platform::IDC_ARROW));
    RepaintAll();
    return true;
}

void ClearProcessScreen() {
    for (int e = 0; e < shell::kProcessBufferCount; ++e) {
        shell::CurveRecord& c = *shell::ProcessBufferTable[e];
        const bool real_part = e % 2 == 0 && e <= 10;
        std::fill_n(c.v, kPoints, real_part ? 1.0f : 0.0f);
        std::fill(c.v + kPoints, c.v + kFloats, 0.0f);
        if (real_part) SetColour(c, 255.0f, 255.0f, 255.0f);
    }
    Repaint();
}

void DrawProcessBufferThumb(HWND thumb, int n) {
    if (!thumb || n < 1 || n > kProcessBufferCount) return;
    platform::InvalidateRect(thumb, nullptr, platform::TRUE);
    platform::UpdateWindow(thumb);
    const platform::HDC dc = platform::GetDC(thumb);
    if (!dc) return;
    platform::RECT client{};
    platform::GetClientRect(thumb, &client);
    platform::Rectangle(dc, client.left, client.top, client.right, client.bottom);
    const shell::CurveRecord& re = Real(n);
    const shell::CurveRecord& im = Imag(n);
    const auto channel = [&](int index) {
        const float v = re.v[index];
        return std::isfinite(v) ? static_cast<int>(std::clamp(v, 0.0f, 255.0f)) : 0;
    };
    const float style = re.v[shell::kCurvePenStyle];
    const int pen_style = style == 2.0f   ? platform::PS_DOT
                          : style == 3.0f ? platform::PS_DASH
                                          : platform::PS_SOLID;
    const platform::HPEN pen = platform::CreatePen(
        pen_style, 1,
        platform::RGB(channel(shell::kCurvePenRed), channel(shell::kCurvePenGreen),
                      channel(shell::kCurvePenBlue)));
    const platform::HPEN old = platform::SelectObject(dc, pen);
    for (int k = 0; k < kPoints; ++k) {
        const double power =
            static_cast<double>(re.v[k]) * re.v[k] + static_cast<double>(im.v[k]) * im.v[k] + 1e-13;
        double y = 15.0 - 5.0 * std::log10(power);
        y = std::isnan(y) ? 45.0 : std::clamp(y, 0.0, 45.0);
        const int px = static_cast<int>(client.left + 2 + 0.06 * k);
        const int py = static_cast<int>(client.top + y);
        if (k == 0)
            platform::MoveToEx(dc, px, py, nullptr);
        else
            platform::LineTo(dc, px, py);
    }
    platform::SelectObject(dc, old);
    platform::DeleteObject(pen);
    platform::ReleaseDC(thumb, dc);
}

namespace {

void InitPage(HWND page) {
    for (int n = 1; n <= kProcessBufferCount; ++n) {
        platform::CheckDlgButton(page, kProcPlus1 + 2 * (n - 1), ProcessBufferSigns[n - 1][0] == 1);
        platform::CheckDlgButton(page, kProcPlus1 + 2 * (n - 1) + 1,
                                 ProcessBufferSigns[n - 1][1] == 1);
        ProcessThumbWindows[n - 1] = platform::GetDlgItem(page, kProcThumb1 + n - 1);
    }
    for (int n = 1; n <= kMasterBuffer; ++n)
        platform::CheckDlgButton(page, kProcShow1 + n - 1, Real(n).v[shell::kCurveVisible] == 1.0f);
    platform::CheckDlgButton(page, kProcShowPhase, shell::Mls.MlsShowPhase == 1);
    platform::CheckDlgButton(page, kProcShowDriver, DisplayLevel().v[shell::kCurveVisible] == 1.0f);
    for (const TextField& f : kFields) {
        platform::SendDlgItemMessage(page, f.id, platform::EM_LIMITTEXT,
                                     static_cast<WPARAM>(f.capacity - 1), 0);
        platform::SetDlgItemText(page, f.id, f.text);
    }
}

// The plus (column 0) or minus (column 1) box of buffer n.
void ToggleSign(HWND page, int n, int column) {
    std::int32_t* flags = ProcessBufferSigns[n - 1];
    const int id = kProcPlus1 + 2 * (n - 1);
    if (flags[column] == 0) {
        flags[column] = 1;
        flags[1 - column] = 0;
    } else {
        flags[column] = 0;
    }
    platform::CheckDlgButton(page, id, flags[0] == 1);
    platform::CheckDlgButton(page, id + 1, flags[1] == 1);
}

void ToggleVisible(HWND page, int id, shell::CurveRecord& curve) {
    const bool shown = curve.v[shell::kCurveVisible] != 1.0f;
    curve.v[shell::kCurveVisible] = shown ? 1.0f : 0.0f;
    platform::CheckDlgButton(page, id, shown);
    Repaint();
}

void Command(HWND page, int id, int code) {
    for (const TextField& f : kFields) {
        if (f.id != id) continue;
        if (code == platform::EN_CHANGE) {
            char text[16] = {};
            platform::GetDlgItemText(page, id, text, f.capacity);
            shell::CopyTextSlot(f.text, f.capacity, text);
        }
        return;
    }
    if (code != platform::BN_CLICKED) return;
    if (id >= kProcPlus1 && id < kProcPlus1 + 2 * kProcessBufferCount) {
        ToggleSign(page, (id - kProcPlus1) / 2 + 1, (id - kProcPlus1) % 2);
        return;
    }
    if (id >= kProcLoad1 && id < kProcLoad1 + 2 * kProcessBufferCount) {
        const int n = (id - kProcLoad1) / 2 + 1;
        if ((id - kProcLoad1) % 2 == 0)
            LoadDriverIntoBuffer(n);
        else
            ClearProcessBuffer(n);
        return;
    }
    if (id >= kProcShow1 && id <= kProcShowMaster) {
        ToggleVisible(page, id, Real(id - kProcShow1 + 1));
        return;
    }
    switch (id) {
        case kProcSum:
            SumSignedBuffers();
            break;
        case kProcMerge:
            MergeBuffers();
            break;
        case kProcAddDb:
            AddDbToDestination();
            break;
        case kProcAddDelay:
            AddDelayToDestination();
            break;
        case kProcAddDiffraction:
            AddDiffractionToDestination();
            break;
        case kProcCopy:
            CopyMasterToDestination(page);
            break;
        case kProcPhaseDifference:
            ShowPhaseDifference();
            break;
        case kProcClearScreen:
            ClearProcessScreen();
            break;
        case kProcShowPhase:
            shell::Mls.MlsShowPhase = shell::Mls.MlsShowPhase == 1 ? 0 : 1;
            platform::CheckDlgButton(page, kProcShowPhase, shell::Mls.MlsShowPhase == 1);
            Repaint();
            break;
        case kProcShowDriver: {
            const bool shown = DisplayLevel().v[shell::kCurveVisible] != 1.0f;
            DisplayLevel().v[shell::kCurveVisible] = shown ? 1.0f : 0.0f;
            DisplayPhase().v[shell::kCurveVisible] = shown ? 1.0f : 0.0f;
            platform::CheckDlgButton(page, kProcShowDriver, shown);
            Repaint();
            break;
        }
        case kProcPrint:
            if (shell::FrameWindow) shell::PrintWindowImage(shell::FrameWindow, page);
            break;
        case kProcPenColours:
            if (!shell::PenColourChildWindow) {
                shell::OpenPenColourChild();
                if (shell::FrameWindow)
                    platform::InvalidateRect(shell::FrameWindow, nullptr, platform::TRUE);
            } else {
                platform::BringWindowToTop(shell::PenColourChildWindow);
            }
            break;
        default:
            break;
    }
}

}  // namespace

platform::INT_PTR MlsProcessDlgProc(HWND page, platform::UINT message, WPARAM wParam,
                                    LPARAM lParam) {
    (void)lParam;
    if (!shell::ProcessBufferTable[0] || !shell::CurrentDriverRecord) return platform::FALSE;
    switch (message) {
        case platform::WM_INITDIALOG:
            InitPage(page);
            return platform::TRUE;
        case platform::WM_PAINT: {
            platform::PAINTSTRUCT ps;
            platform::BeginPaint(page, &ps);
            platform::EndPaint(page, &ps);
            for (int n = 1; n <= kProcessBufferCount; ++n) RedrawThumb(n);
            return platform::TRUE;
        }
        case platform::WM_RBUTTONDOWN:
            shell::CopyWindowToClipboard(shell::FrameWindow);
            return platform::TRUE;
        case platform::WM_COMMAND:
            Command(page, platform::LOWORD(wParam), platform::HIWORD(wParam));
            return platform::TRUE;
        case kMlsSettingsChangedMessage:
            platform::CheckDlgButton(page, kProcShowPhase, shell::Mls.MlsShowPhase == 1);
            return platform::TRUE;
        case platform::WM_DESTROY:
            for (HWND& thumb : ProcessThumbWindows) thumb = HWND{};
            return platform::TRUE;
        default:
            return platform::FALSE;
    }
}

}  // namespace measurement
