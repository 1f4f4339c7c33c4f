// Timers on the virtual clock: periods, restarts, one-shots, chains, and windows that go away.

#include "tests/platform/ui/UiTestSupport.h"

namespace platform::test {
namespace {

using Timers = UiTest;

struct TimerLog {
    std::vector<std::pair<UINT_PTR, std::int64_t>> fired;  // id, time
};

// Every WM_TIMER of the test window is logged with its id and the virtual time.
void RecordTimers(TimerLog& log) {
    Extra() = [&log](HWND, UINT message, WPARAM wParam, LPARAM, bool*) -> LRESULT {
        if (message == WM_TIMER) log.fired.emplace_back(wParam, testing::Now());
        return 0;
    };
}

TEST_F(Timers, PeriodicTimerFiresOncePerPeriodOnTheVirtualClock) {
    const HWND hwnd = MakeWindow();
    TimerLog log;
    RecordTimers(log);
    const std::int64_t start = testing::Now();
    EXPECT_EQ(SetTimer(hwnd, 10100, 100), 10100u);
    testing::AdvanceTime(99);
    EXPECT_TRUE(log.fired.empty()) << "fired before its period";
    testing::AdvanceTime(301);
    ASSERT_EQ(log.fired.size(), 4u);
    for (std::size_t i = 0; i < log.fired.size(); ++i) {
        EXPECT_EQ(log.fired[i].first, 10100u);
        EXPECT_EQ(log.fired[i].second, start + 100 * static_cast<std::int64_t>(i + 1));
    }
}

TEST_F(Timers, SettingAnExistingTimerRestartsIt) {
    const HWND hwnd = MakeWindow();
    TimerLog log;
    RecordTimers(log);
    const std::int64_t start = testing::Now();
    SetTimer(hwnd, 1, 500);
    testing::AdvanceTime(400);
    SetTimer(hwnd, 1, 500);  // restart: due 500 ms from now, not 100
    testing::AdvanceTime(450);
    EXPECT_TRUE(log.fired.empty());
    testing::AdvanceTime(50);
    ASSERT_EQ(log.fired.size(), 1u);
    EXPECT_EQ(log.fired[0].second, start + 900);
    // Setting it again with another period changes the period.
    SetTimer(hwnd, 1, 200);
    testing::AdvanceTime(400);
    ASSERT_EQ(log.fired.size(), 3u);
    EXPECT_EQ(log.fired[2].second, start + 1300);
}

TEST_F(Timers, KillTimerInTheHandlerMakesAOneShot) {
    const HWND hwnd = MakeWindow();
    int fired = 0;
    Extra() = [&](HWND h, UINT message, WPARAM wParam, LPARAM, bool*) -> LRESULT {
        if (message == WM_TIMER) {
            ++fired;
            EXPECT_TRUE(KillTimer(h, wParam));
        }
        return 0;
    };
    SetTimer(hwnd, 10101, 300);
    testing::AdvanceTime(3000);
    EXPECT_EQ(fired, 1);
    EXPECT_FALSE(KillTimer(hwnd, 10101)) << "the timer should be gone";
}

// The Play chain: timer A sends command 20001 and starts B; B sends 20002 and starts C; C sends
// its command once; every step 500 ms.
TEST_F(Timers, ThreeStepChainSendsItsCommandsEvery500Ms) {
    const HWND hwnd = MakeWindow();
    std::vector<std::pair<int, std::int64_t>> commands;
    Extra() = [&](HWND h, UINT message, WPARAM wParam, LPARAM, bool*) -> LRESULT {
        if (message == WM_TIMER) {
            KillTimer(h, wParam);
            switch (wParam) {
                case 10110:
                    SendMessage(h, WM_COMMAND, 20001, 0);
                    SetTimer(h, 10111, 500);
                    break;
                case 10111:
                    SendMessage(h, WM_COMMAND, 20002, 0);
                    SetTimer(h, 10112, 500);
                    break;
                case 10112:
                    SendMessage(h, WM_COMMAND, 5001, 0);
                    break;
                default:
                    break;
            }
        }
        if (message == WM_COMMAND)
            commands.emplace_back(static_cast<int>(LOWORD(wParam)), testing::Now());
        return 0;
    };
    const std::int64_t start = testing::Now();
    SetTimer(hwnd, 10110, 500);
    testing::AdvanceTime(1499);
    EXPECT_EQ(commands.size(), 2u);
    testing::AdvanceTime(10000);
    const std::vector<std::pair<int, std::int64_t>> expected = {
        {20001, start + 500}, {20002, start + 1000}, {5001, start + 1500}};
    EXPECT_EQ(commands, expected);
}

TEST_F(Timers, TimersDieWithTheirWindow) {
    const HWND a = MakeWindow();
    const HWND b = CreateWindow("Recorder", "child", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, a,
                                HMENU{}, HINSTANCE{}, nullptr);
    int fired = 0;
    Extra() = [&](HWND, UINT message, WPARAM, LPARAM, bool*) -> LRESULT {
        if (message == WM_TIMER) ++fired;
        return 0;
    };
    SetTimer(a, 1, 100);
    SetTimer(b, 2, 100);
    DestroyWindow(a);  // b goes with its parent, and both timers with them
    testing::AdvanceTime(1000);
    EXPECT_EQ(fired, 0);
    EXPECT_FALSE(KillTimer(a, 1));
    EXPECT_FALSE(KillTimer(b, 2));
    EXPECT_EQ(SetTimer(a, 1, 100), 0u) << "a stale window takes no timer";
}

TEST_F(Timers, TimersFallingDueTogetherComeInTheOrderTheyWereSet) {
    const HWND hwnd = MakeWindow();
    std::vector<UINT_PTR> order;
    Extra() = [&](HWND h, UINT message, WPARAM wParam, LPARAM, bool*) -> LRESULT {
        if (message == WM_TIMER) {
            order.push_back(wParam);
            KillTimer(h, wParam);
        }
        return 0;
    };
    SetTimer(hwnd, 3, 200);
    SetTimer(hwnd, 1, 100);
    SetTimer(hwnd, 2, 200);
    testing::AdvanceTime(500);
    EXPECT_EQ(order, (std::vector<UINT_PTR>{1, 3, 2}));
}

}  // namespace
}  // namespace platform::test
