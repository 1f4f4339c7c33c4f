// Threads, auto-reset events, timed waits on the virtual and the real clock, the performance
// counter.

#include <gtest/gtest.h>
#include <pthread.h>
#include <sched.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

#include "platform/internal/Clock.h"
#include "platform/sys/Threads.h"

namespace {

using namespace platform;

struct WaitJob {
    HANDLE event;
    DWORD timeout;
    std::atomic<DWORD> result{0xDEADBEEF};
    std::atomic<bool> finished{false};
};

DWORD WaitRoutine(void* p) {
    auto* job = static_cast<WaitJob*>(p);
    job->result = WaitForSingleObject(job->event, job->timeout);
    job->finished = true;
    return 7;
}

// Gives a blocked thread real time to run (the result must not change meanwhile).
void Settle() { std::this_thread::sleep_for(std::chrono::milliseconds(50)); }

class ThreadsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        objects_before_ = OpenKernelObjectCount();
        virtual_before_ = internal::IsVirtualClock();
        ms_before_ = internal::NowMs();
    }
    void TearDown() override {
        internal::UseVirtualClock(virtual_before_, ms_before_);  // as the harness had it
        EXPECT_EQ(OpenKernelObjectCount(), objects_before_) << "a handle was left open";
    }
    int objects_before_ = 0;
    bool virtual_before_ = false;
    std::int64_t ms_before_ = 0;
};

TEST_F(ThreadsTest, TimedWaitEndsAfterTheSetTimeOnTheVirtualClock) {
    internal::UseVirtualClock(true, 5000);
    WaitJob job;
    job.event = CreateEvent(nullptr, FALSE, FALSE, nullptr);
    job.timeout = 1000;
    ASSERT_TRUE(job.event);
    HANDLE thread = CreateThread(nullptr, 0, WaitRoutine, &job, 0, nullptr);
    ASSERT_TRUE(thread);
    Settle();
    internal::AdvanceVirtualTime(600);
    Settle();
    EXPECT_FALSE(job.finished) << "ended after 600 of 1000 ms";
    internal::AdvanceVirtualTime(399);
    Settle();
    EXPECT_FALSE(job.finished) << "ended after 999 of 1000 ms";
    internal::AdvanceVirtualTime(1);
    EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
    EXPECT_EQ(job.result.load(), WAIT_TIMEOUT);
    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(code, 7u);
    EXPECT_TRUE(CloseHandle(thread));
    EXPECT_TRUE(CloseHandle(job.event));
}

TEST_F(ThreadsTest, TimedWaitEndsWithinABoundInRealTime) {
    internal::UseVirtualClock(false);
    HANDLE event = CreateEvent(nullptr, FALSE, FALSE, nullptr);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(WaitForSingleObject(event, 60), WAIT_TIMEOUT);
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited, std::chrono::milliseconds(60));
    EXPECT_LT(waited, std::chrono::seconds(10));
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);
    EXPECT_TRUE(CloseHandle(event));
}

TEST_F(ThreadsTest, OneSignalWakesExactlyOneWait) {
    constexpr int kWaiters = 3;
    HANDLE event = CreateEvent(nullptr, FALSE, FALSE, nullptr);
    WaitJob jobs[kWaiters];
    HANDLE threads[kWaiters];
    for (int i = 0; i < kWaiters; ++i) {
        jobs[i].event = event;
        jobs[i].timeout = INFINITE;
        threads[i] = CreateThread(nullptr, 0, WaitRoutine, &jobs[i], 0, nullptr);
        ASSERT_TRUE(threads[i]);
    }
    auto finished = [&] {
        int n = 0;
        for (auto& j : jobs) n += j.finished ? 1 : 0;
        return n;
    };
    for (int signal = 1; signal <= kWaiters; ++signal) {
        Settle();
        EXPECT_TRUE(SetEvent(event));
        const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (finished() < signal && std::chrono::steady_clock::now() < give_up)
            std::this_thread::yield();
        Settle();
        EXPECT_EQ(finished(), signal) << "waits released by " << signal << " signals";
    }
    for (int i = 0; i < kWaiters; ++i) {
        EXPECT_EQ(jobs[i].result.load(), WAIT_OBJECT_0);
        EXPECT_TRUE(CloseHandle(threads[i]));
    }
    // The last signal was taken: the event is reset again.
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);
    EXPECT_TRUE(CloseHandle(event));
}

TEST_F(ThreadsTest, SignalledAndManualEvents) {
    HANDLE automatic = CreateEvent(nullptr, FALSE, TRUE, nullptr);
    EXPECT_EQ(WaitForSingleObject(automatic, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(automatic, 0), WAIT_TIMEOUT) << "auto-reset kept its signal";
    EXPECT_TRUE(SetEvent(automatic));
    EXPECT_TRUE(ResetEvent(automatic));
    EXPECT_EQ(WaitForSingleObject(automatic, 0), WAIT_TIMEOUT);
    HANDLE manual = CreateEvent(nullptr, TRUE, FALSE, nullptr);
    EXPECT_TRUE(SetEvent(manual));
    EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_OBJECT_0);
    EXPECT_TRUE(CloseHandle(automatic));
    EXPECT_TRUE(CloseHandle(manual));
    // Closed and null handles.
    EXPECT_EQ(WaitForSingleObject(automatic, 0), WAIT_FAILED);
    EXPECT_FALSE(SetEvent(automatic));
    EXPECT_FALSE(ResetEvent(HANDLE{}));
    EXPECT_FALSE(CloseHandle(automatic));
    EXPECT_EQ(SetSecurityInfo(automatic, SE_KERNEL_OBJECT, OWNER_SECURITY_INFORMATION, nullptr,
                              nullptr, nullptr, nullptr),
              1u);
    EXPECT_FALSE(CreateEvent(nullptr, FALSE, FALSE, "named"));
}

TEST_F(ThreadsTest, ClosingAnEventEndsItsWaitAtOnce) {
    internal::UseVirtualClock(true);  // the 1000 ms never pass
    WaitJob job;
    job.event = CreateEvent(nullptr, FALSE, FALSE, nullptr);
    EXPECT_EQ(SetSecurityInfo(job.event, SE_KERNEL_OBJECT, OWNER_SECURITY_INFORMATION, nullptr,
                              nullptr, nullptr, nullptr),
              0u);
    job.timeout = 1000;
    HANDLE thread = CreateThread(nullptr, 0, WaitRoutine, &job, 0, nullptr);
    Settle();
    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(code, STILL_ACTIVE);
    EXPECT_TRUE(CloseHandle(job.event));
    EXPECT_TRUE(CloseHandle(thread));  // joins
    EXPECT_EQ(job.result.load(), WAIT_FAILED);
}

TEST_F(ThreadsTest, CloseAllEndsWaitsAndJoinsThreads) {
    ASSERT_EQ(objects_before_, 0) << "objects left by an earlier test";
    WaitJob job;
    job.event = CreateEvent(nullptr, FALSE, FALSE, nullptr);
    job.timeout = INFINITE;
    HANDLE thread = CreateThread(nullptr, 0, WaitRoutine, &job, 0, nullptr);
    ASSERT_TRUE(thread);
    Settle();
    CloseAllKernelObjects();
    EXPECT_TRUE(job.finished);
    EXPECT_EQ(job.result.load(), WAIT_FAILED);
    EXPECT_EQ(OpenKernelObjectCount(), 0);
    EXPECT_FALSE(CloseHandle(thread)) << "already closed";
}

TEST_F(ThreadsTest, ThreadHandlesJoinAndReportTheirExitCode) {
    static std::atomic<int> runs{0};
    runs = 0;
    DWORD id1 = 0, id2 = 0;
    auto routine = [](void* p) -> DWORD {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        runs.fetch_add(1);
        return static_cast<DWORD>(reinterpret_cast<std::uintptr_t>(p));
    };
    HANDLE a = CreateThread(nullptr, 0, routine, reinterpret_cast<void*>(3), 0, &id1);
    HANDLE b = CreateThread(nullptr, 0, routine, reinterpret_cast<void*>(4), 0, &id2);
    ASSERT_TRUE(a && b);
    EXPECT_NE(id1, id2);
    EXPECT_EQ(WaitForSingleObject(a, INFINITE), WAIT_OBJECT_0);
    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeThread(a, &code));
    EXPECT_EQ(code, 3u);
    EXPECT_TRUE(CloseHandle(b));  // waits for the thread
    EXPECT_EQ(runs.load(), 2);
    EXPECT_TRUE(CloseHandle(a));
    EXPECT_FALSE(GetExitCodeThread(a, &code));
    EXPECT_FALSE(CreateThread(nullptr, 4096, routine, nullptr, 0, nullptr)) << "stack size";
}

TEST_F(ThreadsTest, PriorityIsBestEffort) {
    HANDLE event = CreateEvent(nullptr, FALSE, FALSE, nullptr);
    WaitJob job;
    job.event = event;
    job.timeout = INFINITE;
    HANDLE thread = CreateThread(nullptr, 0, WaitRoutine, &job, 0, nullptr);
    struct Row {
        int priority;
    } rows[] = {{THREAD_PRIORITY_TIME_CRITICAL}, {THREAD_PRIORITY_HIGHEST},
                {THREAD_PRIORITY_ABOVE_NORMAL},  {THREAD_PRIORITY_NORMAL},
                {THREAD_PRIORITY_BELOW_NORMAL},  {THREAD_PRIORITY_TIME_CRITICAL}};
    for (const Row& r : rows) {
        EXPECT_TRUE(SetThreadPriority(thread, r.priority)) << r.priority;
        EXPECT_EQ(GetThreadPriority(thread), r.priority);
        if (r.priority != THREAD_PRIORITY_TIME_CRITICAL) {
            EXPECT_FALSE(ThreadHasRealtimePriority(thread));
        }
    }
    EXPECT_FALSE(SetThreadPriority(thread, 5)) << "not a priority level";
    EXPECT_FALSE(SetThreadPriority(event, THREAD_PRIORITY_NORMAL)) << "an event is no thread";
    EXPECT_TRUE(SetEvent(event));
    EXPECT_TRUE(CloseHandle(thread));
    EXPECT_EQ(job.result.load(), WAIT_OBJECT_0);
    EXPECT_TRUE(CloseHandle(event));
}

// The sound-transfer threads rank above the block threads at every RLIMIT_RTPRIO; the top level
// is today's (FIFO maximum less 5) or the limit where that is lower.
TEST_F(ThreadsTest, RealtimeLevelsFollowTheLimitAndKeepTheTransferThreadsFirst) {
    struct Row {
        long limit;
        int transfer;
        int block;
    } rows[] = {{-1, 94, 89}, {200, 94, 89}, {94, 94, 89}, {50, 50, 45},
                {6, 6, 1},    {3, 3, 1},     {1, 1, 1},    {0, 0, 0}};
    for (const Row& r : rows) {
        EXPECT_EQ(RealtimeLevelFor(RealtimeRank::kSoundTransfer, r.limit, 99), r.transfer)
            << r.limit;
        EXPECT_EQ(RealtimeLevelFor(RealtimeRank::kBlock, r.limit, 99), r.block) << r.limit;
    }
    // As granted to real threads: where any level is, the transfer thread's is above the block
    // thread's; refused for the tests, neither changes its policy.
    for (const bool refuse : {false, true}) {
        RefuseRealtimeForTest(refuse);
        int policy[2] = {-1, -1};
        sched_param param[2] = {};
        bool granted[2] = {};
        std::thread probe([&] {
            const RealtimeRank ranks[2] = {RealtimeRank::kSoundTransfer, RealtimeRank::kBlock};
            for (int i = 0; i < 2; ++i) {
                granted[i] = SetRealtimeLevel(pthread_self(), ranks[i]);
                pthread_getschedparam(pthread_self(), &policy[i], &param[i]);
            }
        });
        probe.join();
        RefuseRealtimeForTest(false);
        EXPECT_EQ(granted[0], granted[1]) << refuse;
        if (refuse || !granted[0]) {
            EXPECT_FALSE(granted[0]);
            EXPECT_EQ(policy[0], SCHED_OTHER);
            continue;
        }
        EXPECT_EQ(policy[0], SCHED_FIFO);
        EXPECT_EQ(param[1].sched_priority, std::max(1, param[0].sched_priority - 5));
    }
}

TEST_F(ThreadsTest, PerformanceCounterIsMonotonicAndFollowsTheVirtualClock) {
    internal::UseVirtualClock(false);
    LARGE_INTEGER f{}, a{}, b{};
    ASSERT_TRUE(QueryPerformanceFrequency(&f));
    EXPECT_GT(f.QuadPart, 0);
    ASSERT_TRUE(QueryPerformanceCounter(&a));
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_TRUE(QueryPerformanceCounter(&b));
    EXPECT_GE(b.QuadPart - a.QuadPart, f.QuadPart * 5 / 1000);
    internal::UseVirtualClock(true, 100);
    ASSERT_TRUE(QueryPerformanceCounter(&a));
    internal::AdvanceVirtualTime(500);
    ASSERT_TRUE(QueryPerformanceCounter(&b));
    EXPECT_EQ(b.QuadPart - a.QuadPart, f.QuadPart / 2);
    EXPECT_FALSE(QueryPerformanceCounter(nullptr));
}

}  // namespace
