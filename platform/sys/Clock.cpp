// The layer's clock: steady time, or a virtual time that tests move forward.

#include "platform/internal/Clock.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace platform::internal {
namespace {

const auto start_time = std::chrono::steady_clock::now();
std::atomic<bool> virtual_on{false};
std::atomic<std::int64_t> virtual_ms{0};
std::mutex time_mutex;
std::condition_variable time_changed;
std::atomic<TimeListener> listeners[8];
std::atomic<int> listener_count{0};

void CallListeners() {
    const int n = listener_count.load(std::memory_order_acquire);
    for (int i = 0; i < n && i < 8; ++i)
        if (auto f = listeners[i].load(std::memory_order_acquire)) f();
}

}  // namespace

std::int64_t NowMs() {
    if (virtual_on.load(std::memory_order_acquire))
        return virtual_ms.load(std::memory_order_acquire);
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 start_time)
        .count();
}

void UseVirtualClock(bool on, std::int64_t start_ms) {
    {
        std::lock_guard lock(time_mutex);
        virtual_ms.store(start_ms, std::memory_order_release);
        virtual_on.store(on, std::memory_order_release);
    }
    time_changed.notify_all();
    CallListeners();
}

bool IsVirtualClock() { return virtual_on.load(std::memory_order_acquire); }

void AdvanceVirtualTime(std::int64_t ms) {
    {
        std::lock_guard lock(time_mutex);
        virtual_ms.fetch_add(ms, std::memory_order_acq_rel);
    }
    time_changed.notify_all();
    CallListeners();
}

void AddTimeListener(TimeListener listener) {
    static std::mutex add_mutex;
    std::lock_guard lock(add_mutex);
    const int n = listener_count.load(std::memory_order_acquire);
    if (n >= 8) return;
    listeners[n].store(listener, std::memory_order_release);
    listener_count.store(n + 1, std::memory_order_release);
}

void WaitForTimeChange(std::int64_t seen_ms, int real_timeout_ms) {
    std::unique_lock lock(time_mutex);
    time_changed.wait_for(lock, std::chrono::milliseconds(real_timeout_ms), [&] {
        return !virtual_on.load(std::memory_order_acquire) ||
               virtual_ms.load(std::memory_order_acquire) != seen_ms;
    });
}

}  // namespace platform::internal
