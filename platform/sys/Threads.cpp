// Threads, events and waits over the standard library, with timed waits on the layer's clock.

#include "platform/sys/Threads.h"

#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/internal/Clock.h"

namespace platform {
namespace {

constexpr int kMaxObjects = 256;

struct KernelObject {
    bool is_thread;
    std::mutex mutex;
    std::condition_variable changed;
    // Event.
    bool manual_reset = false;
    bool signalled = false;
    bool closed = false;
    // Thread.
    std::thread thread;
    bool ended = false;
    DWORD exit_code = STILL_ACTIVE;
    pid_t tid = 0;
    DWORD id = 0;
    int priority = THREAD_PRIORITY_NORMAL;
    bool realtime = false;
};

struct Slot {
    std::shared_ptr<KernelObject> object;
    std::uint32_t generation = 0;
};

std::mutex table_mutex;
Slot table[kMaxObjects];
std::atomic<DWORD> next_thread_id{1};

std::shared_ptr<KernelObject> Find(HANDLE h) {
    const std::uint32_t slot = h.value & 0xFF;
    if (slot == 0 || slot > kMaxObjects) return nullptr;
    std::lock_guard lock(table_mutex);
    Slot& s = table[slot - 1];
    if (!s.object || ((s.generation << 8) | slot) != h.value) return nullptr;
    return s.object;
}

HANDLE Insert(std::shared_ptr<KernelObject> object) {
    std::lock_guard lock(table_mutex);
    for (int i = 0; i < kMaxObjects; ++i) {
        Slot& s = table[i];
        if (s.object) continue;
        s.object = std::move(object);
        s.generation = (s.generation + 1) & 0xFFFFFF;
        if (s.generation == 0) s.generation = 1;
        return HANDLE::FromIndex((s.generation << 8) | static_cast<std::uint32_t>(i + 1));
    }
    return HANDLE{};
}

// Every timed wait looks at the virtual time again when it moves.
void WakeAllWaiters() {
    std::shared_ptr<KernelObject> objects[kMaxObjects];
    {
        std::lock_guard lock(table_mutex);
        for (int i = 0; i < kMaxObjects; ++i) objects[i] = table[i].object;
    }
    for (auto& o : objects) {
        if (!o) continue;
        { std::lock_guard lock(o->mutex); }
        o->changed.notify_all();
    }
}

void ListenToClock() {
    static std::once_flag once;
    std::call_once(once, [] { internal::AddTimeListener(WakeAllWaiters); });
}

// Waits under `lock` until `ready()` or the time is up on the layer's clock.
template <class Ready>
bool WaitUntil(KernelObject& o, std::unique_lock<std::mutex>& lock, DWORD ms, Ready ready) {
    if (ms == INFINITE) {
        o.changed.wait(lock, ready);
        return true;
    }
    const auto real_deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    const std::int64_t virtual_deadline = internal::NowMs() + ms;
    while (!ready()) {
        if (internal::IsVirtualClock()) {
            if (internal::NowMs() >= virtual_deadline) return false;
            o.changed.wait(lock);  // the clock listener wakes us when the time moves
        } else {
            if (o.changed.wait_until(lock, real_deadline) == std::cv_status::timeout)
                return ready();
        }
    }
    return true;
}

std::atomic<bool> refuse_realtime{false};

// Applies `priority` to one thread; true when it runs with real-time scheduling.
bool ApplyPriority(pthread_t thread, pid_t tid, int priority) {
    if (priority == THREAD_PRIORITY_TIME_CRITICAL) {
        if (SetRealtimeLevel(static_cast<unsigned long>(thread), RealtimeRank::kBlock)) return true;
    } else {
        sched_param p{};
        pthread_setschedparam(thread, SCHED_OTHER, &p);
    }
    // Niceness of the one thread; refused without the right, which leaves it as it is.
    int nice_value = 0;
    if (priority >= THREAD_PRIORITY_HIGHEST)
        nice_value = -10;
    else if (priority == THREAD_PRIORITY_ABOVE_NORMAL)
        nice_value = -5;
    else if (priority == THREAD_PRIORITY_BELOW_NORMAL)
        nice_value = 5;
    else if (priority == THREAD_PRIORITY_LOWEST)
        nice_value = 10;
    else if (priority <= THREAD_PRIORITY_IDLE)
        nice_value = 19;
    if (tid != 0) (void)setpriority(PRIO_PROCESS, static_cast<id_t>(tid), nice_value);
    return false;
}

void ApplyPriority(KernelObject& o, int priority) {
    o.realtime = ApplyPriority(o.thread.native_handle(), o.tid, priority);
}

// The calling thread's own settings, for the pseudo-handle of GetCurrentThread.
constexpr std::uint32_t kCurrentThreadValue = 0xFFFFFF00;  // slot 0: never a table entry
thread_local int current_priority = THREAD_PRIORITY_NORMAL;
thread_local bool current_realtime = false;

bool IsCurrentThread(HANDLE h) { return h.value == kCurrentThreadValue; }

void CloseAll() {
    std::shared_ptr<KernelObject> objects[kMaxObjects];
    {
        std::lock_guard lock(table_mutex);
        for (int i = 0; i < kMaxObjects; ++i) objects[i] = std::move(table[i].object);
    }
    for (auto& o : objects) {
        if (!o || o->is_thread) continue;
        {
            std::lock_guard lock(o->mutex);
            o->closed = true;
        }
        o->changed.notify_all();
    }
    for (auto& o : objects) {
        if (!o || !o->is_thread || !o->thread.joinable()) continue;
        if (o->thread.get_id() == std::this_thread::get_id())
            o->thread.detach();
        else
            o->thread.join();
    }
}

// At exit: wake every wait, then join the threads that are left.
struct JoinAtExit {
    ~JoinAtExit() { CloseAll(); }
} join_at_exit;

}  // namespace

int RealtimeLevelFor(RealtimeRank rank, long rtprio_limit, int fifo_max) {
    long top = fifo_max - 5;
    if (rtprio_limit >= 0 && rtprio_limit < top) top = rtprio_limit;
    if (top < 1) return 0;
    const long level = rank == RealtimeRank::kSoundTransfer ? top : std::max(1L, top - 5);
    return static_cast<int>(level);
}

bool SetRealtimeLevel(unsigned long native_thread, RealtimeRank rank) {
    static_assert(sizeof(pthread_t) == sizeof(unsigned long));
    if (refuse_realtime.load(std::memory_order_relaxed)) return false;
    const auto thread = static_cast<pthread_t>(native_thread);
    const int fifo_max = sched_get_priority_max(SCHED_FIFO);
    sched_param p{};
    // A process with the right to any level (no limit, or the capability) gets the top one.
    p.sched_priority = RealtimeLevelFor(rank, -1, fifo_max);
    if (p.sched_priority > 0 && pthread_setschedparam(thread, SCHED_FIFO, &p) == 0) return true;
    rlimit limit{};
    if (getrlimit(RLIMIT_RTPRIO, &limit) != 0) return false;
    const long allowed = limit.rlim_cur == RLIM_INFINITY
                             ? -1
                             : static_cast<long>(std::min<rlim_t>(limit.rlim_cur, 1000));
    p.sched_priority = RealtimeLevelFor(rank, allowed, fifo_max);
    return p.sched_priority > 0 && pthread_setschedparam(thread, SCHED_FIFO, &p) == 0;
}

void RefuseRealtimeForTest(bool refuse) { refuse_realtime.store(refuse); }

HANDLE CreateThread(void* security, std::size_t stack_size, LPTHREAD_START_ROUTINE start,
                    void* parameter, DWORD flags, DWORD* thread_id) {
    if (security != nullptr || stack_size != 0 || flags != 0 || start == nullptr) return HANDLE{};
    ListenToClock();
    auto o = std::make_shared<KernelObject>();
    o->is_thread = true;
    o->id = next_thread_id.fetch_add(1);
    HANDLE h = Insert(o);
    if (!h) return HANDLE{};
    KernelObject* raw = o.get();
    try {
        std::lock_guard lock(raw->mutex);
        // The thread keeps its object alive until it has recorded its end.
        raw->thread = std::thread([o, raw, start, parameter] {
            {
                std::lock_guard inner(raw->mutex);
                raw->tid = static_cast<pid_t>(syscall(SYS_gettid));
            }
            raw->changed.notify_all();
            const DWORD code = start(parameter);
            {
                std::lock_guard inner(raw->mutex);
                raw->exit_code = code;
                raw->ended = true;
            }
            raw->changed.notify_all();
        });
    } catch (...) {
        std::lock_guard lock(table_mutex);
        table[(h.value & 0xFF) - 1].object.reset();
        return HANDLE{};
    }
    {
        std::unique_lock lock(raw->mutex);
        raw->changed.wait(lock, [raw] { return raw->tid != 0; });
    }
    if (thread_id != nullptr) *thread_id = raw->id;
    return h;
}

BOOL GetExitCodeThread(HANDLE thread, DWORD* exit_code) {
    auto o = Find(thread);
    if (!o || !o->is_thread || exit_code == nullptr) return FALSE;
    std::lock_guard lock(o->mutex);
    *exit_code = o->ended ? o->exit_code : STILL_ACTIVE;
    return TRUE;
}

HANDLE GetCurrentThread() { return HANDLE::FromIndex(kCurrentThreadValue); }

BOOL SetThreadPriority(HANDLE thread, int priority) {
    auto o = IsCurrentThread(thread) ? nullptr : Find(thread);
    if (!IsCurrentThread(thread) && (!o || !o->is_thread)) return FALSE;
    switch (priority) {
        case THREAD_PRIORITY_IDLE:
        case THREAD_PRIORITY_LOWEST:
        case THREAD_PRIORITY_BELOW_NORMAL:
        case THREAD_PRIORITY_NORMAL:
        case THREAD_PRIORITY_ABOVE_NORMAL:
        case THREAD_PRIORITY_HIGHEST:
        case THREAD_PRIORITY_TIME_CRITICAL:
            break;
        default:
            return FALSE;
    }
    if (IsCurrentThread(thread)) {
        current_priority = priority;
        current_realtime =
            ApplyPriority(pthread_self(), static_cast<pid_t>(syscall(SYS_gettid)), priority);
        return TRUE;
    }
    std::lock_guard lock(o->mutex);
    o->priority = priority;
    if (!o->ended) ApplyPriority(*o, priority);
    return TRUE;
}

int GetThreadPriority(HANDLE thread) {
    if (IsCurrentThread(thread)) return current_priority;
    auto o = Find(thread);
    if (!o || !o->is_thread) return THREAD_PRIORITY_NORMAL;
    std::lock_guard lock(o->mutex);
    return o->priority;
}

bool ThreadHasRealtimePriority(HANDLE thread) {
    if (IsCurrentThread(thread)) return current_realtime;
    auto o = Find(thread);
    if (!o || !o->is_thread) return false;
    std::lock_guard lock(o->mutex);
    return o->realtime;
}

HANDLE CreateEvent(void* security, BOOL manual_reset, BOOL initial_state, const char* name) {
    if (security != nullptr || name != nullptr) return HANDLE{};
    ListenToClock();
    auto o = std::make_shared<KernelObject>();
    o->is_thread = false;
    o->manual_reset = manual_reset != FALSE;
    o->signalled = initial_state != FALSE;
    return Insert(std::move(o));
}

BOOL SetEvent(HANDLE event) {
    auto o = Find(event);
    if (!o || o->is_thread) return FALSE;
    {
        std::lock_guard lock(o->mutex);
        o->signalled = true;
    }
    // Every waiter looks; an auto-reset event lets only the first one through.
    o->changed.notify_all();
    return TRUE;
}

BOOL ResetEvent(HANDLE event) {
    auto o = Find(event);
    if (!o || o->is_thread) return FALSE;
    std::lock_guard lock(o->mutex);
    o->signalled = false;
    return TRUE;
}

DWORD WaitForSingleObject(HANDLE handle, DWORD ms) {
    auto o = Find(handle);
    if (!o) return WAIT_FAILED;
    std::unique_lock lock(o->mutex);
    if (o->is_thread) {
        return WaitUntil(*o, lock, ms, [&] { return o->ended; }) ? WAIT_OBJECT_0 : WAIT_TIMEOUT;
    }
    const bool ready = WaitUntil(*o, lock, ms, [&] { return o->signalled || o->closed; });
    if (o->closed) return WAIT_FAILED;
    if (!ready) return WAIT_TIMEOUT;
    if (!o->manual_reset) o->signalled = false;
    return WAIT_OBJECT_0;
}

BOOL CloseHandle(HANDLE handle) {
    std::shared_ptr<KernelObject> o;
    {
        const std::uint32_t slot = handle.value & 0xFF;
        if (slot == 0 || slot > kMaxObjects) return FALSE;
        std::lock_guard lock(table_mutex);
        Slot& s = table[slot - 1];
        if (!s.object || ((s.generation << 8) | slot) != handle.value) return FALSE;
        o = std::move(s.object);
    }
    if (o->is_thread) {
        if (o->thread.get_id() == std::this_thread::get_id())
            o->thread.detach();
        else if (o->thread.joinable())
            o->thread.join();
        return TRUE;
    }
    {
        std::lock_guard lock(o->mutex);
        o->closed = true;
    }
    o->changed.notify_all();
    return TRUE;
}

DWORD SetSecurityInfo(HANDLE handle, int /*object_type*/, DWORD /*information*/, void* /*owner*/,
                      void* /*group*/, void* /*dacl*/, void* /*sacl*/) {
    return Find(handle) ? 0 : 1;
}

BOOL QueryPerformanceCounter(LARGE_INTEGER* count) {
    if (count == nullptr) return FALSE;
    if (internal::IsVirtualClock()) {
        count->QuadPart = internal::NowMs() * 1000000;
    } else {
        count->QuadPart = std::chrono::duration_cast<std::chrono::nanoseconds>(
                              std::chrono::steady_clock::now().time_since_epoch())
                              .count();
    }
    return TRUE;
}

BOOL QueryPerformanceFrequency(LARGE_INTEGER* frequency) {
    if (frequency == nullptr) return FALSE;
    frequency->QuadPart = 1000000000;
    return TRUE;
}

void CloseAllKernelObjects() { CloseAll(); }

int OpenKernelObjectCount() {
    std::lock_guard lock(table_mutex);
    int n = 0;
    for (const Slot& s : table) n += s.object ? 1 : 0;
    return n;
}

}  // namespace platform
