// The "Processing" page as a person uses it: buffers filled with known responses, the page's
// buttons, boxes and edits pressed, and every result checked against a complex computation of
// its own; the diffraction against the edge model sampled on FrequencyGrid.

#include <algorithm>
#include <cmath>
#include <complex>
#include <functional>
#include <string>
#include <vector>

#include "driverdata/BaffleEdges.h"
#include "driverdata/DiffractionCalculator.h"
#include "driverdata/EdgeDiffraction.h"
#include "driverdata/Globals.h"
#include "measurement/MlsProcess.h"
#include "platform/gdi/Gdi.h"
#include "platform/testing/Input.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Paint.h"
#include "platform/ui/Window.h"
#include "resources/Resources.h"
#include "shell/DriverRecord.h"
#include "shell/FrameGlobals.h"
#include "tests/measurement/MeasurementTestSupport.h"

namespace {

namespace pt = platform::testing;
using namespace measurement;
using platform::HWND;
using cd = std::complex<double>;
constexpr int kPoints = shell::kGridPoints;

platform::LRESULT HostProc(HWND hwnd, platform::UINT message, platform::WPARAM wParam,
                           platform::LPARAM lParam) {
    return platform::DefWindowProc(hwnd, message, wParam, lParam);
}

double Grid(int k) { return shell::FrequencyGrid[k]; }
shell::CurveRecord& Rec(int e) { return *shell::ProcessBufferTable[e]; }
cd At(int n, int k) { return {Rec(2 * n - 2).v[k], Rec(2 * n - 1).v[k]}; }
shell::DriverRecord& Driver() { return *shell::CurrentDriverRecord; }

// A distinct known response per buffer: level and phase ramps that wrap several times.
cd Known(int n, int k) { return std::polar(0.3 + 0.2 * n, -0.004 * n * k + 0.1 * n); }

double WrapDegrees(double d) { return std::remainder(d, 360.0); }

class MlsProcess : public test::MeasurementTest {
  protected:
    HWND host{}, page{};
    void SetUp() override {
        MeasurementTest::SetUp();
        shell::InitBaffleRecord();
        shell::InitDriverRecord(shell::CurrentDriverRecord);
        ClearProcessScreen();
        resources::RegisterAll();
        platform::WNDCLASS wc{};
        wc.lpfnWndProc = &HostProc;
        wc.lpszClassName = "ProcessHost";
        platform::RegisterClass(&wc);
        host =
            platform::CreateWindow("ProcessHost", "host", platform::WS_OVERLAPPEDWINDOW, 0, 0, 400,
                                   800, HWND{}, platform::HMENU{}, platform::HINSTANCE{}, nullptr);
        page = platform::CreateDialog(platform::HINSTANCE{}, kMlsProcessTemplate, host,
                                      &MlsProcessDlgProc);
        ASSERT_TRUE(page);
        platform::ShowWindow(host, platform::SW_SHOW);
        platform::ShowWindow(page, platform::SW_SHOW);
        pt::PumpUntilIdle();
        for (int k = 0; k < kPoints; ++k) {
            Driver().Spl[k] = static_cast<float>(80.0 + 10.0 * std::sin(0.003 * k));
            Driver().Phase[k] = static_cast<float>(WrapDegrees(-0.7 * k));
        }
        for (int n = 1; n <= kMasterBuffer; ++n) Fill(n, [n](int k) { return Known(n, k); });
    }
    void TearDown() override {
        platform::DestroyWindow(page);
        platform::DestroyWindow(host);
        MeasurementTest::TearDown();
    }
    void Fill(int n, const std::function<cd(int)>& f) {
        for (int k = 0; k < kPoints; ++k) {
            Rec(2 * n - 2).v[k] = static_cast<float>(f(k).real());
            Rec(2 * n - 1).v[k] = static_cast<float>(f(k).imag());
        }
    }
    void Press(int edit, const std::string& text, int button) {
        if (edit) pt::TypeText(page, edit, text);
        pt::Click(page, button);
    }
    std::string LastMessage() {
        const auto texts = test::MessageTexts();
        return texts.empty() ? "" : texts.back();
    }
    bool Checked(int id) { return platform::IsDlgButtonChecked(page, id) != 0; }
};

void ExpectNear(cd got, cd want, double tolerance, int k) {
    EXPECT_NEAR(got.real(), want.real(), tolerance) << "k " << k;
    EXPECT_NEAR(got.imag(), want.imag(), tolerance) << "k " << k;
}

TEST_F(MlsProcess, SignedSumOfTheBuffersGoesToTheMaster) {
    struct Row {
        int signs[5];  // +1 plus box, -1 minus box, 0 none
    };
    for (const Row& row : {Row{{1, -1, 0, 1, 0}}, Row{{0, 0, 0, 0, -1}}, Row{{0, 0, 0, 0, 0}}}) {
        ResetProcessPage();
        platform::SendMessage(page, platform::WM_INITDIALOG, 0, 0);
        for (int n = 1; n <= 5; ++n) {
            // A minus box pressed after the plus box takes its place.
            if (row.signs[n - 1] != 0) pt::Click(page, kProcPlus1 + 2 * (n - 1));
            if (row.signs[n - 1] < 0) pt::Click(page, kProcPlus1 + 2 * (n - 1) + 1);
            EXPECT_EQ(Checked(kProcPlus1 + 2 * (n - 1)), row.signs[n - 1] > 0);
            EXPECT_EQ(Checked(kProcPlus1 + 2 * (n - 1) + 1), row.signs[n - 1] < 0);
        }
        pt::Click(page, kProcSum);
        for (int k = 0; k < kPoints; k += 37) {
            cd want = 0.0;
            for (int n = 1; n <= 5; ++n)
                want += static_cast<double>(row.signs[n - 1]) * Known(n, k);
            ExpectNear(At(kMasterBuffer, k), want, 1e-5, k);
        }
        EXPECT_EQ(Rec(10).v[shell::kCurvePenRed], shell::CurveColourScheme[1].Red);
        EXPECT_EQ(Rec(11).v[shell::kCurvePenGreen], shell::CurveColourScheme[2].Green);
    }
}

TEST_F(MlsProcess, MergeTakesTheFirstBufferBelowTheFrequencyAndTheSecondFromThere) {
    struct Row {
        const char *b1, *b2, *hz;
        double effective;  // the frequency after the bounds
    };
    for (const Row& row : {Row{"4", "5", "500.0", 500.0}, Row{"1", "3", "0.5", 1.0},
                           Row{"2", "1", "1e9", 98686.90625}, Row{"5", "2", "1234", 1234.0}}) {
        Rec(2 * std::atoi(row.b2) - 2).v[shell::kCurveVisible] = 1.0f;
        Rec(2 * std::atoi(row.b2) - 2).v[shell::kCurvePenBlue] = 77.0f;
        pt::TypeText(page, kProcMergeSource1, row.b1);
        pt::TypeText(page, kProcMergeSource2, row.b2);
        Press(kProcMergeFrequency, row.hz, kProcMerge);
        const int at_or_below =
            static_cast<int>(std::count_if(shell::FrequencyGrid, shell::FrequencyGrid + kPoints,
                                           [&](float f) { return f <= row.effective; }));
        const int m = std::max(at_or_below - 1, 0);
        for (int k = 0; k < kPoints; ++k) {
            const int from = k < m ? std::atoi(row.b1) : std::atoi(row.b2);
            ExpectNear(At(kMasterBuffer, k), Known(from, k), 1e-6, k);
        }
        EXPECT_EQ(Rec(10).v[shell::kCurveVisible], 1.0f) << row.hz;
        EXPECT_EQ(Rec(10).v[shell::kCurvePenBlue], 77.0f) << row.hz;
    }
}

TEST_F(MlsProcess, LevelAndDelayChangeTheBufferOrTheDriverCurve) {
    struct Row {
        int edit, dest_edit, button;
        const char *value, *dest;
        cd (*factor)(double value, double f);
    };
    const auto level = [](double db, double) { return cd(std::pow(10.0, db / 20.0)); };
    const auto delay = [](double ms, double f) {
        return std::polar(1.0, -2.0 * M_PI * f * ms / 1000);
    };
    const Row rows[] = {
        {kProcAddDbValue, kProcAddDbDest, kProcAddDb, "6", "6", level},
        {kProcAddDbValue, kProcAddDbDest, kProcAddDb, "-3.5", "3", level},
        {kProcAddDbValue, kProcAddDbDest, kProcAddDb, "2", "0", level},
        {kProcDelayValue, kProcDelayDest, kProcAddDelay, "1", "2", delay},
        {kProcDelayValue, kProcDelayDest, kProcAddDelay, "-0.25", "6", delay},
        {kProcDelayValue, kProcDelayDest, kProcAddDelay, "1", "0", delay},
    };
    for (const Row& row : rows) {
        const int d = std::atoi(row.dest);
        std::vector<cd> before(kPoints);
        for (int k = 0; k < kPoints; ++k)
            before[k] = d == 0 ? std::polar(std::pow(10.0, (Driver().Spl[k] - 90.0) / 20.0),
                                            Driver().Phase[k] * M_PI / 180.0)
                               : At(d, k);
        pt::TypeText(page, row.dest_edit, row.dest);
        Press(row.edit, row.value, row.button);
        EXPECT_EQ(LastMessage(), "") << row.value;
        for (int k = 0; k < kPoints; k += 23) {
            const cd want = row.factor(std::atof(row.value), Grid(k)) * before[k];
            if (d != 0) {
                ExpectNear(At(d, k), want, 2e-5, k);
                continue;
            }
            EXPECT_NEAR(Driver().Spl[k], 20.0 * std::log10(std::abs(want)) + 90.0, 2e-3) << k;
            EXPECT_NEAR(WrapDegrees(Driver().Phase[k] - std::arg(want) * 180.0 / M_PI), 0.0, 0.2)
                << k;
            EXPECT_NEAR(shell::MeasuredCurveTable[0]->v[k], Driver().Spl[k] - 90.0, 1e-5);
            if (row.button == kProcAddDelay) {
                EXPECT_FLOAT_EQ(shell::MeasuredCurveTable[10]->v[k], Driver().Phase[k]) << k;
            }
        }
    }
}

TEST_F(MlsProcess, PhaseDifferenceIsTheUnwrappedPhaseOfOneMinusTheOther) {
    for (auto [s1, s2] : {std::pair{"1", "2"}, {"3", "3"}, {"5", "1"}}) {
        pt::TypeText(page, kProcPhaseSource1, s1);
        Press(kProcPhaseSource2, s2, kProcPhaseDifference);
        const int a = std::atoi(s1), b = std::atoi(s2);
        for (int k = 0; k < kPoints; k += 41) {
            // Known(n, k) turns by -0.004 n rad per point from 0.1 n rad.
            const double unwrapped_a = (0.1 * a - 0.004 * a * k) * 180.0 / M_PI;
            const double unwrapped_b = (0.1 * b - 0.004 * b * k) * 180.0 / M_PI;
            EXPECT_NEAR(Rec(12).v[k], unwrapped_a, 0.1) << k;
            // The difference is brought below 360 degrees (ten turns at most).
            double want = unwrapped_a - unwrapped_b;
            for (int i = 0; i < 10 && want > 360.0; ++i) want -= 360.0;
            EXPECT_NEAR(Rec(13).v[k], want, 0.2) << s1 << s2 << " k " << k;
        }
        EXPECT_EQ(Rec(12).v[shell::kCurveVisible], 1.0f);
        EXPECT_EQ(Rec(13).v[shell::kCurveVisible], 1.0f);
    }
}

TEST_F(MlsProcess, CopyMasterWritesTheDriverCurveOrABuffer) {
    pt::TypeText(page, kProcCopyDest, "0");
    pt::Click(page, kProcCopy);
    for (int k = 0; k < kPoints; k += 29) {
        const cd m = Known(kMasterBuffer, k);
        EXPECT_NEAR(Driver().Spl[k], 10.0 * std::log10(std::norm(m)) + 90.0, 1e-4) << k;
        EXPECT_NEAR(Driver().Phase[k], 57.288 * std::arg(m), 1e-3) << k;
        EXPECT_NEAR(shell::MeasuredCurveTable[0]->v[k], Driver().Spl[k] - 90.0, 1e-5);
    }
    Press(kProcCopyDest, "3", kProcCopy);
    for (int k = 0; k < kPoints; k += 29) ExpectNear(At(3, k), Known(kMasterBuffer, k), 1e-6, k);
    EXPECT_EQ(Rec(4).v[shell::kCurveVisible], 1.0f);
    EXPECT_EQ(Rec(4).v[shell::kCurvePenRed], shell::CurveColourScheme[1].Red);
    EXPECT_TRUE(Checked(kProcShow1 + 2));
}

TEST_F(MlsProcess, LoadingAndClearingABuffer) {
    pt::Click(page, kProcLoad1 + 2);  // "SPL -> Buffer 2"
    for (int k = 0; k < kPoints; k += 31) {
        const cd want = std::polar(std::pow(10.0, (Driver().Spl[k] - 90.0) / 20.0),
                                   Driver().Phase[k] * 0.0174557);
        ExpectNear(At(2, k), want, 1e-6, k);
    }
    EXPECT_EQ(Rec(2).v[shell::kCurvePenRed], shell::CurveColourScheme[3].Red);
    EXPECT_EQ(Rec(3).v[shell::kCurvePenRed], shell::CurveColourScheme[4].Red);
    pt::Click(page, kProcLoad1 + 3);  // "Clear Buffer 2"
    for (int k = 0; k < kPoints; k += 31) ExpectNear(At(2, k), 0.0, 0.0, k);
    EXPECT_EQ(Rec(3).v[shell::kCurvePenRed], 192.0f);
}

TEST_F(MlsProcess, ClearScreenMakesEveryBufferUnitValuedAndHiddenBoxesStay) {
    pt::Click(page, kProcShow1);
    EXPECT_EQ(Rec(0).v[shell::kCurveVisible], 1.0f);
    pt::Click(page, kProcClearScreen);
    for (int n = 1; n <= kMasterBuffer; ++n) {
        ExpectNear(At(n, 700), 1.0, 0.0, n);
        EXPECT_EQ(Rec(2 * n - 2).v[shell::kCurveVisible], 0.0f);
    }
    EXPECT_TRUE(Checked(kProcShow1));
    pt::Click(page, kProcShow1);  // the box and the flag toggle together from the flag
    EXPECT_EQ(Rec(0).v[shell::kCurveVisible], 1.0f);
}

TEST_F(MlsProcess, RefusedInputChangesNothing) {
    struct Row {
        int edit;
        const char* text;
        int button;
        const char* message;
    };
    const Row rows[] = {
        {kProcCopyDest, "x", kProcCopy, "Incorrect SAVE Destination"},
        {kProcCopyDest, "6", kProcCopy, "Incorrect SAVE Destination"},
        {kProcAddDbDest, "7", kProcAddDb, "Incorrect SAVE Destination"},
        {kProcAddDbDest, "", kProcAddDb, "Incorrect SAVE Destination"},
        {kProcDelayDest, "-1", kProcAddDelay, "Incorrect SAVE Destination"},
        {kProcDiffractionDest, "abc", kProcAddDiffraction, "Incorrect ADD Destination"},
        {kProcMergeSource1, "0", kProcMerge, "Incorrect MERGE 1 Source"},
        {kProcMergeSource2, "6", kProcMerge, "Incorrect MERGE 2 Source"},
        {kProcMergeFrequency, "Hz", kProcMerge, "Incorrect MERGE Frequency"},
        {kProcPhaseSource1, "x", kProcPhaseDifference, "Incorrect PHASE 1 Source"},
        {kProcPhaseSource2, "9", kProcPhaseDifference, "Incorrect PHASE 2 Source"},
        {kProcAddDbValue, "999", kProcAddDb, "Incorrect dB Value"},
        {kProcAddDbValue, "dB", kProcAddDb, "Incorrect dB Value"},
        {kProcDelayValue, "1500", kProcAddDelay, "Incorrect Delay Value"},
    };
    for (const Row& row : rows) {
        ResetProcessPage();
        platform::SendMessage(page, platform::WM_INITDIALOG, 0, 0);
        pt::TypeText(page, kProcAddDbDest, "0");
        pt::TypeText(page, kProcDelayDest, "0");
        std::vector<float> before(Driver().Spl, Driver().Spl + kPoints);
        std::vector<float> table;
        for (int e = 0; e < shell::kProcessBufferCount; ++e)
            table.insert(table.end(), Rec(e).v, Rec(e).v + shell::kCurveRecordFloats);
        Press(row.edit, row.text, row.button);
        EXPECT_EQ(LastMessage(), row.message) << row.text;
        EXPECT_TRUE(std::equal(before.begin(), before.end(), Driver().Spl)) << row.text;
        std::vector<float> after;
        for (int e = 0; e < shell::kProcessBufferCount; ++e)
            after.insert(after.end(), Rec(e).v, Rec(e).v + shell::kCurveRecordFloats);
        EXPECT_EQ(after, table) << row.text;
    }
}

TEST_F(MlsProcess, ThumbnailDrawsTheBufferLevelHalfAPixelPerDb) {
    struct Row {
        double db;
        int y;  // pixel row below the top of the thumbnail
    };
    shell::CurveColourScheme[1] = shell::ColourEntry{10, 200, 30, 1, 1};
    const HWND thumb = platform::GetDlgItem(page, kProcThumb1);
    platform::RECT client{};
    platform::GetClientRect(thumb, &client);
    ASSERT_GE(client.bottom, 46) << "the level scale spans rows 0..45";
    ASSERT_GE(client.right, 2 + 0.06 * 1999) << "the frequency scale";
    for (const Row& row : {Row{89, 15}, Row{79, 20}, Row{111, 4}, Row{130, 0}, Row{0, 45}}) {
        std::fill_n(Driver().Spl, kPoints, static_cast<float>(row.db));
        std::fill_n(Driver().Phase, kPoints, 0.0f);
        pt::Click(page, kProcLoad1);
        const platform::HDC dc = platform::GetDC(thumb);
        const int x = static_cast<int>(2 + 0.06 * 1000);
        EXPECT_EQ(platform::GetPixel(dc, x, row.y), platform::RGB(10, 200, 30)) << row.db;
        EXPECT_NE(platform::GetPixel(dc, x, row.y == 0 ? 6 : row.y - 6),
                  platform::RGB(10, 200, 30));
        platform::ReleaseDC(thumb, dc);
    }
}

// The diffraction model's own average over the piston, on FrequencyGrid: the reference.
std::vector<cd> ModelMeans(const shell::BafflePoint& p, int first_sample) {
    driverdata::PistonOffset u[driverdata::kMaxPistonSamples];
    const double r = 0.5 * std::atof(Driver().Diameter);
    const int n =
        driverdata::PistonSampleOffsets(static_cast<float>(r), driverdata::DiffractionListIndex, u);
    EXPECT_GT(n, 0);
    std::vector<cd> means(kPoints);
    EXPECT_EQ(driverdata::BuildBaffleEdges(), 0);
    for (int k = 0; k < kPoints; ++k) {
        driverdata::DiffractionAccumulator = {0.0f, 0.0f};
        for (int i = 0; i < n; ++i)
            driverdata::EdgeDiffractionAtFrequencyCommonGrid(p.x + u[i].x, p.y + u[i].y, k,
                                                             first_sample + i);
        means[k] =
            cd(driverdata::DiffractionAccumulator.re, driverdata::DiffractionAccumulator.im) /
            static_cast<double>(n);
    }
    return means;
}

TEST_F(MlsProcess, DiffractionMultipliesABufferOrTheDriverCurveByTheEdgeModel) {
    driverdata::LoadDiffractionExample1(HWND{});
    shell::CopyTextSlot(Driver().Diameter, "10");
    driverdata::DiffractionListIndex = 1;
    Driver().MicDistance = 100.0f;
    struct Row {
        int mode;
        const char* dest;
    };
    for (const Row& row : {Row{0, "4"}, Row{0, "0"}, Row{1, "6"}}) {
        Driver().DriversMode = row.mode;
        shell::Baffle->Points[1] = shell::BafflePoint{20.0f, 30.0f, 0.0f, row.mode};
        Fill(4, [](int) { return cd(1.0, 0.0); });
        std::vector<float> spl(Driver().Spl, Driver().Spl + kPoints);
        std::vector<float> phase(Driver().Phase, Driver().Phase + kPoints);
        std::vector<cd> before(kPoints);
        for (int k = 0; k < kPoints; ++k) before[k] = At(6, k);
        Press(kProcDiffractionDest, row.dest, kProcAddDiffraction);
        ASSERT_EQ(LastMessage(), "") << row.dest;
        std::vector<cd> d = ModelMeans(shell::Baffle->Points[0], 0);
        if (row.mode == 1) {
            driverdata::PistonOffset u[driverdata::kMaxPistonSamples];
            const int n = driverdata::PistonSampleOffsets(5.0f, 1, u);
            const std::vector<cd> d2 = ModelMeans(shell::Baffle->Points[1], n);
            for (int k = 0; k < kPoints; ++k) d[k] = 0.7071 * d[k] + 0.7071 * d2[k];
        }
        double scale = 0.0;
        for (const cd& x : d) scale = std::max(scale, std::abs(x));
        for (int k = 0; k < kPoints; k += 17) {
            if (std::string(row.dest) == "4") {
                ExpectNear(At(4, k), d[k], 1e-5 * scale, k);
            } else if (std::string(row.dest) == "6") {
                ExpectNear(At(6, k), d[k] * before[k], 1e-5 * scale, k);
            } else {
                EXPECT_NEAR(Driver().Spl[k], spl[k] + 20.0 * std::log10(std::abs(d[k])), 1e-3) << k;
                EXPECT_NEAR(WrapDegrees(Driver().Phase[k] - phase[k] - std::arg(d[k]) * 180 / M_PI),
                            0.0, 0.05)
                    << k;
            }
        }
    }
}

TEST_F(MlsProcess, DiffractionRefusesABadDriverOrEnclosure) {
    driverdata::LoadDiffractionExample1(HWND{});
    driverdata::DiffractionListIndex = 0;
    struct Row {
        const char *diameter, *width;
        int mode;
        float x1, x2;
        const char* message;
    };
    const Row rows[] = {
        {"0", "80", 0, 40, 20, "Driver's Dia Data Error"},
        {"10", "3", 0, 40, 20, "Enclosure Geometry Data Error"},
        {"10", "201", 0, 40, 20, "Enclosure Geometry Data Error"},
        {"10", "80", 0, 1, 20, "Driver 1 Geometry Data Error"},
        {"10", "80", 1, 40, 40, "Driver's Distance Data Error"},
        {"10", "80", 2, 40, 79, "Driver 2 Geometry Data Error"},
    };
    for (const Row& row : rows) {
        shell::CopyTextSlot(Driver().Diameter, row.diameter);
        shell::CopyTextSlot(Driver().EnclosureWidth, row.width);
        Driver().DriversMode = row.mode;
        shell::Baffle->Points[0].x = row.x1;
        shell::Baffle->Points[1] = shell::BafflePoint{row.x2, 40.0f, 0.0f, 1};
        Fill(5, [](int) { return cd(1.0, 0.0); });
        Press(kProcDiffractionDest, "5", kProcAddDiffraction);
        EXPECT_EQ(LastMessage(), row.message);
        ExpectNear(At(5, 999), 1.0, 0.0, 999);
    }
}

}  // namespace
