// Threads, events, waits and the performance counter.
//
// A thread handle stays valid until CloseHandle, which waits for the thread to end (threads are
// always joined, never abandoned); threads still running at exit are joined then. Events are
// auto-reset unless asked otherwise: a signal releases exactly one wait. Closing an event makes
// every wait on it end at once with WAIT_FAILED. Timed waits count time on the layer's clock:
// with the virtual clock on, a wait of 1000 ms ends when the test has moved the clock 1000 ms.
// All functions are thread-safe.
#pragma once

#include <cstdint>

#include "platform/Types.h"

namespace platform {

using LPTHREAD_START_ROUTINE = DWORD (*)(void* parameter);

inline constexpr DWORD INFINITE = 0xFFFFFFFF;
inline constexpr DWORD WAIT_OBJECT_0 = 0x00000000;
inline constexpr DWORD WAIT_TIMEOUT = 0x00000102;
inline constexpr DWORD WAIT_FAILED = 0xFFFFFFFF;
inline constexpr DWORD STILL_ACTIVE = 0x00000103;

inline constexpr int THREAD_PRIORITY_IDLE = -15;
inline constexpr int THREAD_PRIORITY_LOWEST = -2;
inline constexpr int THREAD_PRIORITY_BELOW_NORMAL = -1;
inline constexpr int THREAD_PRIORITY_NORMAL = 0;
inline constexpr int THREAD_PRIORITY_ABOVE_NORMAL = 1;
inline constexpr int THREAD_PRIORITY_HIGHEST = 2;
inline constexpr int THREAD_PRIORITY_TIME_CRITICAL = 15;

// Starts `start(parameter)` at once on a new thread (`security`, `stack_size` and `flags` must be
// null/0/0). *thread_id, when given, receives a small id unique in the process. 0 on failure.
HANDLE CreateThread(void* security, std::size_t stack_size, LPTHREAD_START_ROUTINE start,
                    void* parameter, DWORD flags, DWORD* thread_id);
// Exit code of a thread: its routine's result once ended, STILL_ACTIVE before.
BOOL GetExitCodeThread(HANDLE thread, DWORD* exit_code);
// A handle that stands for the calling thread in SetThreadPriority, GetThreadPriority and
// ThreadHasRealtimePriority (it is not closed and means whichever thread uses it).
HANDLE GetCurrentThread();
// Sets the scheduling priority. THREAD_PRIORITY_TIME_CRITICAL asks for real-time scheduling, the
// others for a niceness; without the right to them the thread keeps running at normal priority
// and the call still succeeds. FALSE only for a bad handle or value.
BOOL SetThreadPriority(HANDLE thread, int priority);
// The priority last set (THREAD_PRIORITY_NORMAL at start).
int GetThreadPriority(HANDLE thread);
// Whether the thread got real-time scheduling from its last SetThreadPriority.
bool ThreadHasRealtimePriority(HANDLE thread);

// Real-time (SCHED_FIFO) levels of the layer's threads. The threads that move samples to and
// from the card rank highest; the block threads (THREAD_PRIORITY_TIME_CRITICAL: the player's
// workers and its scheduler) five levels below them; everything else is not real-time. The top
// level is the FIFO maximum less 5, or the user's RLIMIT_RTPRIO where that is lower (a limit of 1
// gives every such thread level 1). A process allowed any level gets the top one.
enum class RealtimeRank { kSoundTransfer, kBlock };
// The level for `rank` under `rtprio_limit` (RLIMIT_RTPRIO; negative = unlimited) and the FIFO
// maximum `fifo_max`; 0 when the limit grants none.
int RealtimeLevelFor(RealtimeRank rank, long rtprio_limit, int fifo_max);
// Puts `native_thread` (a pthread_t) under SCHED_FIFO at its rank's level: the level for an
// unlimited process first, else the one the RLIMIT_RTPRIO allows. false (the thread keeps its
// policy) when neither is granted.
bool SetRealtimeLevel(unsigned long native_thread, RealtimeRank rank);
// Tests: while on, no thread of the layer gets real-time scheduling (as for a user without an
// RLIMIT_RTPRIO, also where the tests run privileged).
void RefuseRealtimeForTest(bool refuse);

// An unnamed event (`security` and `name` must be null).
HANDLE CreateEvent(void* security, BOOL manual_reset, BOOL initial_state, const char* name);
BOOL SetEvent(HANDLE event);
BOOL ResetEvent(HANDLE event);

// Waits for an event to be signalled or a thread to end, at most `ms` milliseconds on the
// layer's clock (INFINITE: no limit). WAIT_OBJECT_0, WAIT_TIMEOUT, or WAIT_FAILED for a bad
// handle or an event closed during the wait.
DWORD WaitForSingleObject(HANDLE handle, DWORD ms);

// Closes an event or a thread handle. A thread handle waits for its thread to end first.
BOOL CloseHandle(HANDLE handle);

// Owner information of a kernel object: accepted and ignored (0 = success, 1 = bad handle).
inline constexpr int SE_KERNEL_OBJECT = 6;
inline constexpr DWORD OWNER_SECURITY_INFORMATION = 0x00000001;
DWORD SetSecurityInfo(HANDLE handle, int object_type, DWORD information, void* owner, void* group,
                      void* dacl, void* sacl);

// The performance counter: a monotonic count and its frequency (counts per second). With the
// layer's virtual clock on, it follows that clock.
struct LARGE_INTEGER {
    std::int64_t QuadPart;
};
BOOL QueryPerformanceCounter(LARGE_INTEGER* count);
BOOL QueryPerformanceFrequency(LARGE_INTEGER* frequency);

// Kernel objects open in the process (tests check that nothing leaks).
int OpenKernelObjectCount();

// For the test harness's layer reset (and the end of the process): closes every event, which
// ends every wait on it with WAIT_FAILED, then waits for every thread still known and closes it.
void CloseAllKernelObjects();

}  // namespace platform
