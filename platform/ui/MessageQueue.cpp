// The posted-message queue: one per process, filled from any thread, emptied by the UI thread.

#include <atomic>
#include <deque>
#include <mutex>

#include "platform/internal/Queue.h"

namespace platform {
namespace {

std::mutex queue_mutex;
std::deque<MSG> queue;
std::atomic<internal::WakeFunction> wake_function{nullptr};

bool Matches(const MSG& m, HWND hwnd, UINT filter_min, UINT filter_max) {
    if (hwnd && m.hwnd != hwnd) return false;
    if (filter_min == 0 && filter_max == 0) return true;
    return m.message >= filter_min && m.message <= filter_max;
}

}  // namespace

BOOL PostMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    {
        std::lock_guard lock(queue_mutex);
        queue.push_back(MSG{hwnd, message, wParam, lParam, 0, POINT{0, 0}});
    }
    if (auto wake = wake_function.load(std::memory_order_acquire)) wake();
    return TRUE;
}

namespace internal {

bool TakePosted(MSG* out, HWND hwnd, UINT filter_min, UINT filter_max, bool remove) {
    std::lock_guard lock(queue_mutex);
    for (auto it = queue.begin(); it != queue.end(); ++it) {
        if (!Matches(*it, hwnd, filter_min, filter_max)) continue;
        *out = *it;
        if (remove) queue.erase(it);
        return true;
    }
    return false;
}

void PostFirst(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    std::lock_guard lock(queue_mutex);
    queue.push_front(MSG{hwnd, message, wParam, lParam, 0, POINT{0, 0}});
}

void ClearPosted() {
    std::lock_guard lock(queue_mutex);
    queue.clear();
}

std::size_t PostedCount() {
    std::lock_guard lock(queue_mutex);
    return queue.size();
}

void SetWakeFunction(WakeFunction wake) { wake_function.store(wake, std::memory_order_release); }

}  // namespace internal
}  // namespace platform
