// FrequencyGrid and ExtendedFrequencyGrid against an independent double-precision computation.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include "shell/FrequencyGrid.h"
#include "shell/Globals.h"
#include "shell/PreferencesRecord.h"

namespace shell {
namespace {

struct GridCase {
    int start_index;
    int stop_index;
    double fstart;
    double fstop;
};
void PrintTo(const GridCase& c, std::ostream* os) {
    *os << c.fstart << " Hz to " << c.fstop << " Hz (indices " << c.start_index << ", "
        << c.stop_index << ")";
}

// f(k) = fstart 10^(k / a), a = 2000 / log10(fstop / fstart), in double.
double Expected(const GridCase& c, double k) {
    const double a = 2000.0 / std::log10(c.fstop / c.fstart);
    return c.fstart * std::pow(10.0, k / a);
}

class FrequencyGridTest : public ::testing::TestWithParam<GridCase> {
  protected:
    void SetUp() override { ResetGlobals(); }
};

TEST_P(FrequencyGridTest, PointsMatchIndependentComputationAndIncrease) {
    const GridCase c = GetParam();
    BuildFrequencyGrids(c.start_index, c.stop_index);
    // Single-precision a and b allow a few parts in 10^6.
    constexpr double kTolerance = 5e-6;
    for (int k : {0, 1, 999, 1000, 1998, 1999}) {
        EXPECT_NEAR(FrequencyGrid[k] / Expected(c, k), 1.0, kTolerance) << "grid point " << k;
    }
    for (int j : {0, 1, 348, 349, 1349, 2348, 2349, 2698, 2699}) {
        EXPECT_NEAR(ExtendedFrequencyGrid[j] / Expected(c, j - 349.0), 1.0, kTolerance)
            << "extended point " << j;
    }
    EXPECT_NEAR(FrequencyGrid[0], c.fstart, c.fstart * 1e-6);
    EXPECT_NEAR(ExtendedFrequencyGrid[2349] / c.fstop, 1.0, kTolerance);
    for (int k = 1; k < kGridPoints; ++k) {
        ASSERT_GT(FrequencyGrid[k], FrequencyGrid[k - 1]) << "not increasing at " << k;
    }
    for (int j = 1; j < kExtendedGridPoints; ++j) {
        ASSERT_GT(ExtendedFrequencyGrid[j], ExtendedFrequencyGrid[j - 1]) << "at " << j;
    }
    EXPECT_LT(FrequencyGrid[1999], c.fstop);
}

INSTANTIATE_TEST_SUITE_P(PlotRanges, FrequencyGridTest,
                         ::testing::Values(GridCase{3, 6, 10, 50000}, GridCase{7, 0, 200, 500},
                                           GridCase{0, 7, 1, 100000}, GridCase{4, 5, 20, 20000},
                                           GridCase{2, 3, 5, 5000}, GridCase{6, 1, 100, 1000}),
                         [](const ::testing::TestParamInfo<GridCase>& param_info) {
                             return "Start" + std::to_string(param_info.param.start_index) +
                                    "Stop" + std::to_string(param_info.param.stop_index);
                         });

TEST(FrequencyGridValues, DefaultRangeKnownPoints) {
    BuildFrequencyGrids(3, 6);
    EXPECT_FLOAT_EQ(FrequencyGrid[0], 10.0f);
    EXPECT_NEAR(FrequencyGrid[1999], 49787.5, 0.5);
    EXPECT_NEAR(ExtendedFrequencyGrid[349], 10.0, 1e-4);
    EXPECT_NEAR(ExtendedFrequencyGrid[0], 2.262, 0.001);
    EXPECT_NEAR(ExtendedFrequencyGrid[2699], 221968.0, 2.0);
    BuildFrequencyGrids(0, 7);
    EXPECT_NEAR(ExtendedFrequencyGrid[0], 0.1341, 0.0001);
    EXPECT_NEAR(ExtendedFrequencyGrid[2699], 749894.0, 5.0);
    BuildFrequencyGrids(7, 0);
    EXPECT_NEAR(FrequencyGrid[1999], 499.77, 0.01);
}

TEST(FrequencyGridValues, RebuildIsBitIdenticalAndBadIndicesUseDefaults) {
    BuildFrequencyGrids(3, 6);
    std::vector<float> first(FrequencyGrid, FrequencyGrid + kGridPoints);
    std::vector<float> first_ext(ExtendedFrequencyGrid,
                                 ExtendedFrequencyGrid + kExtendedGridPoints);
    BuildFrequencyGrids(0, 0);
    for (auto [start, stop] : {std::pair{-1, 99}, std::pair{8, -5}, std::pair{3, 6}}) {
        BuildFrequencyGrids(start, stop);
        EXPECT_EQ(std::memcmp(first.data(), FrequencyGrid, sizeof FrequencyGrid), 0)
            << start << ", " << stop;
        EXPECT_EQ(
            std::memcmp(first_ext.data(), ExtendedFrequencyGrid, sizeof ExtendedFrequencyGrid), 0);
    }
}

TEST(FrequencyGridValues, BuildsFromThePlotRangeVariables) {
    ResetGlobals();
    PlotStartFrequencyIndex = 5;
    PlotStopFrequencyIndex = 2;
    BuildFrequencyGrids();
    EXPECT_FLOAT_EQ(FrequencyGrid[0], 50.0f);
    EXPECT_NEAR(ExtendedFrequencyGrid[2349], 2000.0, 0.02);
}

TEST_P(FrequencyGridTest, PlotRebuildLiesOneStepUpAndNotesThePixels) {
    const GridCase c = GetParam();
    PlotStartFrequencyIndex = c.start_index;
    PlotStopFrequencyIndex = c.stop_index;
    BuildExtendedFrequencyGrid();
    for (int width : {81, 300, 880, 1917}) {
        SCOPED_TRACE(width);
        ASSERT_TRUE(BuildPlotFrequencyGrid(width));
        // The running pixel sum may drift by half a unit of its last place a step.
        const double drift = 1000.0 * std::ldexp(1.0, std::ilogb(double(width)) - 23);
        const double tolerance =
            drift / (width - 80) * std::log10(c.fstop / c.fstart) * std::log(10.0) + 1e-5;
        for (int k : {0, 1, 999, 1998, 1999}) {
            EXPECT_NEAR(FrequencyGrid[k] / Expected(c, k + 1.0), 1.0, tolerance) << k;
            // The transform's grid point k + 350 is this grid's point k.
            EXPECT_NEAR(ExtendedFrequencyGrid[k + 350] / FrequencyGrid[k], 1.0, tolerance) << k;
            const double x = 60.0 + (k + 1) * 0.0005 * (width - 80);
            EXPECT_LE(std::abs(FrequencyGridPixels[k] - x), 1.0) << k;
        }
        for (int k = 1; k < kGridPoints; ++k) {
            ASSERT_GE(FrequencyGridPixels[k], FrequencyGridPixels[k - 1]) << k;
            ASSERT_TRUE(std::isfinite(FrequencyGrid[k])) << k;
        }
    }
}

TEST(FrequencyGridValues, PlotRebuildSumsItsStepsInSinglePrecision) {
    ResetGlobals();
    ASSERT_TRUE(BuildPlotFrequencyGrid(880));
    // 60 + 215 steps of 0.4 is 146 exactly; the single-precision running sum stays just below.
    EXPECT_EQ(FrequencyGridPixels[214], 145);
    EXPECT_EQ(FrequencyGridPixels[1999], 860);
    EXPECT_NEAR(FrequencyGrid[1999], 50000.0, 20.0);  // the sum's drift, a few parts in 10^4
}

TEST(FrequencyGridValues, AnEmptyPlotLeavesTheGridAlone) {
    ResetGlobals();
    BuildFrequencyGrids();
    std::vector<float> before(FrequencyGrid, FrequencyGrid + kGridPoints);
    for (int width : {80, 79, 1, 0, -5}) {
        EXPECT_FALSE(BuildPlotFrequencyGrid(width)) << width;
        EXPECT_EQ(std::memcmp(before.data(), FrequencyGrid, sizeof FrequencyGrid), 0) << width;
    }
}

}  // namespace
}  // namespace shell
