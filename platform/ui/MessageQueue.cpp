// The posted-message queue: one per process, filled from any thread, emptied by the UI thread.
//
// Posts from the sound devices' I/O threads must not block or allocate, so every post first goes
// into a fixed ring of slots claimed with atomics (bounded multi-producer queue with per-slot
// sequence numbers). The UI thread moves what has arrived into its own list, where filtered reads
// and PostFirst work. Only when the ring is full (the UI thread has stalled for thousands of
// messages) does a post fall back to a locked overflow list, so nothing is ever lost.

#include <array>
#include <atomic>
#include <deque>
#include <mutex>

#include "platform/internal/Queue.h"

namespace platform {
namespace {

constexpr std::size_t kRingSlots = 8192;  // power of two

struct Slot {
    std::atomic<std::size_t> sequence;
    MSG msg;
};

struct Ring {
    std::array<Slot, kRingSlots> slots;
    alignas(64) std::atomic<std::size_t> enqueue_pos{0};
    alignas(64) std::size_t dequeue_pos = 0;  // the draining thread only (under list_mutex)

    Ring() {
        for (std::size_t i = 0; i < kRingSlots; ++i)
            slots[i].sequence.store(i, std::memory_order_relaxed);
    }

    // Any thread. False when the ring is full.
    bool Push(const MSG& m) {
        std::size_t pos = enqueue_pos.load(std::memory_order_relaxed);
        for (;;) {
            Slot& slot = slots[pos & (kRingSlots - 1)];
            const std::size_t seq = slot.sequence.load(std::memory_order_acquire);
            const auto diff = static_cast<std::ptrdiff_t>(seq) - static_cast<std::ptrdiff_t>(pos);
            if (diff == 0) {
                if (enqueue_pos.compare_exchange_weak(pos, pos + 1, std::memory_order_relaxed)) {
                    slot.msg = m;
                    slot.sequence.store(pos + 1, std::memory_order_release);
                    return true;
                }
            } else if (diff < 0) {
                return false;
            } else {
                pos = enqueue_pos.load(std::memory_order_relaxed);
            }
        }
    }

    // One consumer at a time. False when the next slot is not yet written.
    bool Pop(MSG* out) {
        Slot& slot = slots[dequeue_pos & (kRingSlots - 1)];
        const std::size_t seq = slot.sequence.load(std::memory_order_acquire);
        if (static_cast<std::ptrdiff_t>(seq) - static_cast<std::ptrdiff_t>(dequeue_pos + 1) < 0) {
            return false;
        }
        *out = slot.msg;
        slot.sequence.store(dequeue_pos + kRingSlots, std::memory_order_release);
        ++dequeue_pos;
        return true;
    }
};

Ring ring;
std::mutex list_mutex;     // guards `arrived`, `overflow` and the ring's consumer side
std::deque<MSG> arrived;   // drained from the ring, in posting order
std::deque<MSG> overflow;  // posts that found the ring full
std::atomic<bool> overflow_used{false};
std::atomic<internal::WakeFunction> wake_function{nullptr};

// Moves everything posted so far into `arrived`, keeping the order of posting. list_mutex held.
void Drain() {
    MSG m;
    while (ring.Pop(&m)) arrived.push_back(m);
    if (overflow_used.load(std::memory_order_acquire)) {
        // Overflow posts came after the ring filled; a ring slot freed meanwhile may hold a
        // later post, which then overtakes them. Acceptable: it only happens after a long stall.
        for (const MSG& o : overflow) arrived.push_back(o);
        overflow.clear();
        overflow_used.store(false, std::memory_order_release);
    }
}

bool Matches(const MSG& m, HWND hwnd, UINT filter_min, UINT filter_max) {
    if (hwnd && m.hwnd != hwnd) return false;
    if (filter_min == 0 && filter_max == 0) return true;
    return m.message >= filter_min && m.message <= filter_max;
}

}  // namespace

BOOL PostMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    const MSG m{hwnd, message, wParam, lParam, 0, POINT{0, 0}};
    if (!ring.Push(m)) {
        std::lock_guard lock(list_mutex);
        overflow.push_back(m);
        overflow_used.store(true, std::memory_order_release);
    }
    if (auto wake = wake_function.load(std::memory_order_acquire)) wake();
    return TRUE;
}

namespace internal {

bool TakePosted(MSG* out, HWND hwnd, UINT filter_min, UINT filter_max, bool remove) {
    std::lock_guard lock(list_mutex);
    Drain();
    for (auto it = arrived.begin(); it != arrived.end(); ++it) {
        if (!Matches(*it, hwnd, filter_min, filter_max)) continue;
        *out = *it;
        if (remove) arrived.erase(it);
        return true;
    }
    return false;
}

void PostFirst(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    std::lock_guard lock(list_mutex);
    Drain();
    arrived.push_front(MSG{hwnd, message, wParam, lParam, 0, POINT{0, 0}});
}

void ClearPosted() {
    std::lock_guard lock(list_mutex);
    Drain();
    arrived.clear();
}

std::size_t PostedCount() {
    std::lock_guard lock(list_mutex);
    Drain();
    return arrived.size();
}

void SetWakeFunction(WakeFunction wake) { wake_function.store(wake, std::memory_order_release); }

}  // namespace internal
}  // namespace platform
