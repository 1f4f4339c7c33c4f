// The baffle outline check and its subdivision into edge elements.

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "driverdata/BaffleEdges.h"
#include "tests/driverdata/DiffractionTestSupport.h"

namespace {

namespace pt = platform::testing;
using driverdata::test::SetOutline;

class BaffleEdges : public ::testing::Test {
  protected:
    void SetUp() override { driverdata::test::ResetDiffractionWorld(); }
};

TEST_F(BaffleEdges, RefusedOutlinesSayWhyAndKeepThePreviousElements) {
    struct Case {
        const char* name;
        std::function<void()> setup;
        std::string message;  // empty: refused without a word
    };
    const Case cases[] = {
        {"not closed", [] { shell::Baffle->ClosedFlag = 0; },
         "Unable To Find Closed SPLG (Baffle)"},
        {"two nodes",
         [] {
             SetOutline({{0, 0}, {10, 0}});
         },
         ""},
        {"a node twice",
         [] {
             SetOutline({{0, 0}, {40, 0}, {40, 40}, {40, 0}});
         },
         "Duplicate Points Found\nPlease Use 'Clear' Button\nAnd Then Re-draw The SLPG"},
        {"second node left of the first",
         [] {
             SetOutline({{40, 0}, {0, 0}, {0, 40}});
         },
         "Boundry Is Oriented CLOCKWISE\nPlease Use 'Clear' Button\nAnd Then Re-draw The SLPG"},
        {"too long for the tables",
         [] {
             SetOutline({{0, 0}, {150, 0}, {300, 100}, {150, 200}, {0, 200}, {-100, 100}});
         },
         "SLPG Too Long For The Edge Model\nPlease Use 'Clear' Button\nAnd Then Re-draw A "
         "Smaller SLPG"},
    };
    for (const Case& c : cases) {
        driverdata::test::ResetDiffractionWorld();
        ASSERT_EQ(driverdata::BuildBaffleEdges(), 0);  // the default square
        c.setup();
        EXPECT_EQ(driverdata::BuildBaffleEdges(), 1) << c.name;
        const auto& log = pt::MessageBoxLog();
        if (c.message.empty()) {
            EXPECT_TRUE(log.empty()) << c.name;
        } else {
            ASSERT_EQ(log.size(), 1u) << c.name;
            EXPECT_EQ(log[0].text, c.message) << c.name;
            EXPECT_EQ(log[0].caption, "QV Message") << c.name;
        }
        EXPECT_EQ(shell::EdgeElementCount, 160) << c.name << ": the previous elements stay";
        EXPECT_FLOAT_EQ(shell::EdgeElementTable[159].mid_x, 0.0f) << c.name;
    }
}

TEST_F(BaffleEdges, TheDefaultSquareGivesElementsTwoUnitsLong) {
    ASSERT_EQ(driverdata::BuildBaffleEdges(), 0);
    ASSERT_EQ(shell::EdgeElementCount, 160);
    EXPECT_EQ(shell::BaffleSideCount, 160);
    for (int e = 0; e < 160; ++e) {
        const shell::EdgeElement& el = shell::EdgeElementTable[e];
        EXPECT_EQ(el.next, e == 159 ? 0 : e + 1);
        EXPECT_NEAR(driverdata::PointDistance2D(el.a, el.b), 2.0f, 1e-4f) << e;
        const shell::BafflePoint mid{el.mid_x, el.mid_y, 0, 0};
        EXPECT_NEAR(driverdata::PointDistance2D(mid, el.a), 1.0f, 1e-4f) << e;
    }
    EXPECT_FLOAT_EQ(shell::EdgeElementTable[159].b.x, 0.0f);  // closed on point 0
    EXPECT_FLOAT_EQ(shell::EdgeElementTable[159].a.y, 2.0f);
}

TEST_F(BaffleEdges, SidesAreDividedAsTheirLengthsSay) {
    // Sides of 4.0 (kept whole), 4.12 (one point in the middle), a vertical 9 (step 2.25), a
    // horizontal 8 going left and a vertical 10 going down: worked out by hand.
    SetOutline({{0, 0}, {4, 0}, {8, 1}, {8, 10}, {0, 10}});
    ASSERT_EQ(driverdata::BuildBaffleEdges(), 0);
    const std::vector<std::pair<float, float>> want = {
        {0, 0},  {4, 0},  {6, 0.5f}, {8, 1},  {8, 3.25f}, {8, 5.5f}, {8, 7.75f}, {8, 10},
        {6, 10}, {4, 10}, {2, 10},   {0, 10}, {0, 8},     {0, 6},    {0, 4},     {0, 2}};
    ASSERT_EQ(shell::EdgeElementCount, static_cast<int>(want.size()));
    for (std::size_t i = 0; i < want.size(); ++i) {
        EXPECT_NEAR(shell::EdgePointTable[i].x, want[i].first, 1e-4f) << i;
        EXPECT_NEAR(shell::EdgePointTable[i].y, want[i].second, 1e-4f) << i;
    }
    // A side longer than 120 units gets 59 inner points from its first end, then one long
    // element to its far end.
    SetOutline({{0, 0}, {130, 0}, {130, 10}, {0, 10}});
    ASSERT_EQ(driverdata::BuildBaffleEdges(), 0);
    EXPECT_NEAR(shell::EdgePointTable[59].x, 118.0f, 1e-3f);
    EXPECT_NEAR(shell::EdgePointTable[60].x, 130.0f, 1e-3f);
}

TEST_F(BaffleEdges, VertexAngleStaysDefinedNearCollinearAndDegeneratePoints) {
    using P = shell::BafflePoint;
    struct Case {
        P a, b, c;
        float angle;
    };
    const Case cases[] = {
        {{0, 0, 0, 0}, {1, 0, 0, 0}, {0, 1, 0, 0}, 1.5707964f},
        {{0, 0, 0, 0}, {1, 0, 0, 0}, {1000, 0.0001f, 0, 0}, 0.0f},  // rounding past 1
        {{0, 0, 0, 0}, {1, 0, 0, 0}, {-3, 0, 0, 0}, 3.1415927f},
        {{0, 0, 0, 0}, {0, 0, 0, 0}, {1, 0, 0, 0}, 0.0f},  // a side of zero length
    };
    for (const Case& c : cases) {
        const float angle = driverdata::VertexAngle(c.a, c.b, c.c);
        EXPECT_TRUE(std::isfinite(angle));
        EXPECT_NEAR(angle, c.angle, 1e-3f);
    }
}

}  // namespace
