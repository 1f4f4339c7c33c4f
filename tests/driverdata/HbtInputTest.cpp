// The HBT editor's input preparation: the efficiency check, SPL gaps and the phase repair.
#include <cstring>

#include "driverdata/HbtInput.h"
#include "shell/NumberText.h"
#include "tests/driverdata/DriverDataTestSupport.h"

namespace driverdata::test {
namespace {

using shell::kGridPoints;

class HbtInputTest : public DriverDataTest {};

TEST_F(HbtInputTest, LowOrUnreadableEfficiencyIsRefusedAndChangesNothing) {
    for (const char* efficiency : {"50", "50.0", "12", "nan", "inf", "", "abc", "1E39"}) {
        SCOPED_TRACE(efficiency);
        shell::DriverRecord& r = *shell::CurrentDriverRecord;
        shell::CopyTextSlot(r.Efficiency, efficiency);
        r.Spl[0] = 0.0f;
        platform::testing::ClearMessageBoxLog();
        EXPECT_EQ(PrepareHbtInput(), 1);
        EXPECT_EQ(MessageTexts(), std::vector<std::string>{"Efficiency Error"});
        EXPECT_EQ(platform::testing::MessageBoxLog()[0].caption, "QV MEssage");
        EXPECT_EQ(r.Spl[0], 0.0f);
    }
    shell::CopyTextSlot(shell::CurrentDriverRecord->Efficiency, "50.01");
    platform::testing::ClearMessageBoxLog();
    EXPECT_EQ(PrepareHbtInput(), 0);
    EXPECT_TRUE(platform::testing::MessageBoxLog().empty());
}

TEST_F(HbtInputTest, SplGapsAreFilledAtBothEndsAndBetween) {
    float spl[kGridPoints];
    float phase[kGridPoints] = {};
    for (int k = 0; k < kGridPoints; ++k) spl[k] = 0.0f;
    for (int k = 100; k < 1900; ++k) spl[k] = 80.0f + 0.01f * k;
    spl[500] = 1.0f;  // an inner gap between 499 and 501
    RepairHbtCurves(spl, phase);
    for (int k = 0; k < 100; ++k) ASSERT_EQ(spl[k], 80.0f + 0.01f * 100) << k;
    for (int k = 1900; k < kGridPoints; ++k) ASSERT_EQ(spl[k], 80.0f + 0.01f * 1899) << k;
    EXPECT_NEAR(spl[500], 85.0f, 1e-4f);
}

TEST_F(HbtInputTest, AllInvalidSplStaysAsItIs) {
    float spl[kGridPoints];
    float phase[kGridPoints] = {};
    for (int k = 0; k < kGridPoints; ++k) spl[k] = (k % 3) * 1.0f;  // 0, 1, 2: all <= 2
    RepairHbtCurves(spl, phase);
    for (int k = 0; k < kGridPoints; ++k) ASSERT_EQ(spl[k], (k % 3) * 1.0f) << k;
}

TEST_F(HbtInputTest, ZeroGapBeforeALargePhaseBecomesACleanWrap) {
    float spl[kGridPoints];
    float phase[kGridPoints];
    for (int k = 0; k < kGridPoints; ++k) {
        spl[k] = 90.0f;
        phase[k] = k < 500 ? -175.0f : 170.0f;
    }
    phase[500] = phase[501] = phase[502] = 0.0f;
    RepairHbtCurves(spl, phase);
    EXPECT_EQ(phase[499], -179.0f);
    EXPECT_EQ(phase[500], 179.0f);
    EXPECT_NEAR(phase[501], 179.0f - 3.0f, 1e-4f);
    EXPECT_NEAR(phase[502], 179.0f - 6.0f, 1e-4f);
    EXPECT_EQ(phase[503], 170.0f);
    EXPECT_EQ(phase[498], -175.0f);
}

TEST_F(HbtInputTest, ZeroGapFromTheStartWrapsAtBinsZeroAndOne) {
    // A converted curve: no phase in bins 0..49, then 149.5. Without a value below -130 the walk
    // reaches bin 0 and wraps there; the gap between is the line from +179 down to 149.5.
    float spl[kGridPoints];
    float phase[kGridPoints];
    for (int k = 0; k < kGridPoints; ++k) {
        spl[k] = 90.0f;
        phase[k] = k < 50 ? 0.0f : 149.5f;
    }
    RepairHbtCurves(spl, phase);
    EXPECT_EQ(phase[0], -179.0f);
    EXPECT_EQ(phase[1], 179.0f);
    for (int k = 2; k < 50; ++k) {
        ASSERT_NEAR(phase[k], 179.0f + (k - 1) * (149.5f - 179.0f) / 49.0f, 1e-3f) << k;
    }
    EXPECT_EQ(phase[50], 149.5f);
}

TEST_F(HbtInputTest, MeasuredValuesInBinsZeroAndOneAreNotWrappedOver) {
    // No value below -130 in front of the gap, but data in bin 0 or 1: the gap is only filled.
    struct Case {
        float bin0;
        float bin1;
        float before;  // bins 2..99
    };
    for (const Case c : {Case{10.0f, 20.0f, 10.0f}, Case{-120.0f, 20.0f, -120.0f},
                         Case{0.0f, 20.0f, 0.0f}, Case{5.0f, 0.0f, 0.0f}}) {
        SCOPED_TRACE(c.before);
        float spl[kGridPoints];
        float phase[kGridPoints];
        for (int k = 0; k < kGridPoints; ++k) {
            spl[k] = 90.0f;
            phase[k] = k < 100 ? c.before : 170.0f;
        }
        phase[0] = c.bin0;
        phase[1] = c.bin1;
        phase[100] = phase[101] = phase[102] = 0.0f;
        RepairHbtCurves(spl, phase);
        EXPECT_NE(phase[0], -179.0f);
        EXPECT_NE(phase[1], 179.0f);
        if (c.bin1 != 0.0f) {
            EXPECT_EQ(phase[1], c.bin1);
        }
        if (c.before != 0.0f) {
            EXPECT_EQ(phase[0], c.bin0);
            // 99 .. 103 on the straight line from the value before the gap to 170.
            EXPECT_NEAR(phase[101], c.before + 2.0f * (170.0f - c.before) / 4.0f, 1e-3f);
        }
    }
}

}  // namespace
}  // namespace driverdata::test
