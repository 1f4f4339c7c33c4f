// Each window type against its formula written out independently, and the width limits.

#include <cmath>

#include "MeasurementTestSupport.h"
#include "measurement/GatingWindows.h"

namespace measurement::test {
namespace {

float Ref(int i) { return shell::GateWindowRef[i]; }
float In(int i) { return shell::GateWindowIn[i]; }

// The window terms as cosine sums over a phase running from 0 to pi (textbook forms shifted by
// pi): Blackmann-Harris with the constant 0.64125, Hanning, Kaiser-Bessel.
double Falling(int shape, double t) {
    switch (shape) {
        case 0:
            return 0.64125 + 0.48829 * std::cos(t) - 0.14128 * std::cos(2 * t) +
                   0.01168 * std::cos(3 * t);
        case 1:
            return 0.5 + 0.5 * std::cos(t);
        default:
            return 0.5 + 0.62 * std::cos(t) + 0.122 * std::cos(2 * t);
    }
}

void Build(int type, const char* width, int order) {
    shell::Mls.MlsWindowType = type;
    shell::CopyTextSlot(shell::Mls.MlsWindowWidthText, width);
    MlsOrder = order;
    ASSERT_EQ(BuildMlsWindows(), 0);
}

using GatingWindowsTest = MeasurementTest;

TEST_F(GatingWindowsTest, HalfWindowsFallFromTheirStartValueToZeroOverTheWidth) {
    struct Row {
        int type, shape;
    } rows[] = {{0, 0}, {1, 1}, {3, 3}, {5, 0}, {6, 1}, {7, 3}};
    const int w = 1000;
    for (const Row& r : rows) {
        SCOPED_TRACE(MlsWindowNames[r.type]);
        Build(r.type, "1000", 18);
        for (int i : {0, 1, 250, 500, 999}) {
            const double t = 2.0 * M_PI * i / (2.0 * w - 1.0);
            EXPECT_NEAR(Ref(i), Falling(r.shape, t), 2e-5) << i;
        }
        EXPECT_EQ(Ref(1000), 0.0f);
        if (r.type < 5) {
            for (int i : {0, 300, 999, 1000}) EXPECT_EQ(In(i), Ref(i)) << i;
        }
    }
    Build(1, "1000", 18);
    EXPECT_EQ(Ref(0), 1.0f);
    Build(3, "1000", 18);
    EXPECT_NEAR(Ref(0), 1.242f, 1e-6);
    Build(0, "1000", 18);
    EXPECT_NEAR(Ref(0), 0.99994f, 1e-6);
}

TEST_F(GatingWindowsTest, SymmetricInWindowsRiseToTheirCentreAndFall) {
    struct Row {
        int type, shape;
    } rows[] = {{5, 0}, {6, 1}, {7, 3}};
    const int wi = 1000;
    for (const Row& r : rows) {
        SCOPED_TRACE(MlsWindowNames[r.type]);
        Build(r.type, "1000", 18);
        // Entry e of the full window is the falling term at the distance from its centre Wi.
        for (int e : {0, 10, 500, 999, 1000, 1001, 1500, 1999}) {
            const int i = e >= wi ? e - wi : e + wi;
            const double t = 4.0 * M_PI * i / (4.0 * wi - 1.0);
            EXPECT_NEAR(In(e), Falling(r.shape, t), 2e-5) << e;
        }
        EXPECT_EQ(In(2000), 0.0f);
    }
}

TEST_F(GatingWindowsTest, RectangularAndSemiRectangularWindows) {
    Build(2, "30000", 18);
    EXPECT_EQ(Ref(0), 1.0f);
    EXPECT_EQ(Ref(29999), 1.0f);
    EXPECT_EQ(Ref(30000), 0.0f);
    EXPECT_EQ(In(29999), 1.0f);

    Build(4, "800", 18);
    for (int i : {0, 699}) EXPECT_EQ(Ref(i), 1.0f) << i;
    for (int i : {700, 750, 799}) {
        const double t = 16.0 * M_PI * i / 1599.0;
        EXPECT_NEAR(Ref(i), 0.5 * (1.0 - std::cos(t)), 2e-5) << i;
    }
    EXPECT_GT(Ref(700), 0.99f);
    EXPECT_LT(Ref(799), 0.01f);
    EXPECT_EQ(Ref(800), 0.0f);

    Build(9, "1000", 18);
    EXPECT_EQ(Ref(999), 1.0f);
    EXPECT_EQ(Ref(1000), 0.0f);
    EXPECT_EQ(In(1999), 1.0f);
    EXPECT_EQ(In(2000), 0.0f);

    // Semi-Rectangular Symm, Wi = 800: rise over 0..99, flat, fall over 1400..1499.
    Build(8, "800", 18);
    EXPECT_EQ(Ref(0), 1.0f);
    const double c3 = 16.0 * M_PI / 1599.0;
    for (int e : {0, 50, 99}) EXPECT_NEAR(In(e), 0.5 * (1 - std::cos(c3 * e)), 2e-5) << e;
    for (int e : {100, 800, 1399}) EXPECT_EQ(In(e), 1.0f) << e;
    for (int e : {1400, 1450, 1499}) EXPECT_NEAR(In(e), 0.5 * (1 - std::cos(c3 * (e + 100))), 2e-5);
    EXPECT_EQ(In(1500), 0.0f);
}

TEST_F(GatingWindowsTest, WidthsAreLimitedByTheOrder) {
    struct Row {
        const char* text;
        int order;
        float w;
        int wi;
    } rows[] = {{"30000", 18, 30000.0f, 30000},
                {"100000", 18, 100000.0f, 65535},
                {"30000", 13, 8191.0f, 2047},
                {"abc", 18, 0.0f, 0},
                {"250.5", 18, 250.5f, 250}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.text);
        shell::CopyTextSlot(shell::Mls.MlsWindowWidthText, r.text);
        MlsOrder = r.order;
        const GateWidths widths = MlsGateWidths();
        EXPECT_EQ(widths.w, r.w);
        EXPECT_EQ(widths.wi, r.wi);
    }
    // No width, a negative width or a type past the list: both tables all zero.
    for (auto [type, text] : {std::pair{1, "abc"}, std::pair{6, "-50"}, std::pair{10, "1000"}}) {
        Build(2, "1000", 18);
        Build(type, text, 18);
        for (int i : {0, 1, 500}) {
            EXPECT_EQ(Ref(i), 0.0f);
            EXPECT_EQ(In(i), 0.0f);
        }
    }
}

}  // namespace
}  // namespace measurement::test
