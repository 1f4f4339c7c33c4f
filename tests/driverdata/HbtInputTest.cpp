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

TEST_F(HbtInputTest, ZeroGapWithoutAWrapInFrontIsOnlyFilled) {
    // No value below -130 anywhere in front of the gap (and none at bin 0): nothing to wrap.
    for (float before : {10.0f, -120.0f, 0.0f}) {
        SCOPED_TRACE(before);
        float spl[kGridPoints];
        float phase[kGridPoints];
        for (int k = 0; k < kGridPoints; ++k) {
            spl[k] = 90.0f;
            phase[k] = k < 100 ? before : 170.0f;
        }
        phase[1] = 20.0f;
        phase[100] = phase[101] = phase[102] = 0.0f;
        RepairHbtCurves(spl, phase);
        EXPECT_EQ(phase[1], 20.0f);
        EXPECT_NE(phase[0], -179.0f);
        if (before != 0.0f) {
            EXPECT_EQ(phase[0], before);
            // 99 .. 103 on the straight line from the value before the gap to 170.
            EXPECT_NEAR(phase[101], before + 2.0f * (170.0f - before) / 4.0f, 1e-3f);
        }
    }
}

}  // namespace
}  // namespace driverdata::test
