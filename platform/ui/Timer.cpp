// Timers keyed by window and identifier, on the layer's clock.

#include "platform/ui/Timer.h"

#include <vector>

#include "platform/internal/Clock.h"
#include "platform/ui/WindowTable.h"

namespace platform {
namespace ui {
namespace {

struct Timer {
    HWND hwnd;
    UINT_PTR id;
    std::int64_t period_ms;
    std::int64_t due_ms;
    std::uint64_t order;  // setting order breaks ties between timers due at the same time
    TIMERPROC proc;
};

std::vector<Timer> timers;
std::uint64_t next_order = 1;
UINT_PTR next_free_id = 0x7000;

}  // namespace

std::int64_t NextDueMs() {
    std::int64_t due = -1;
    for (const Timer& t : timers)
        if (due < 0 || t.due_ms < due) due = t.due_ms;
    return due;
}

bool TakeDueTimer(MSG* msg, HWND hwnd, bool remove) {
    const std::int64_t now = internal::NowMs();
    Timer* best = nullptr;
    for (Timer& t : timers) {
        if (t.due_ms > now || (hwnd && t.hwnd != hwnd)) continue;
        if (!best || t.due_ms < best->due_ms || (t.due_ms == best->due_ms && t.order < best->order))
            best = &t;
    }
    if (!best) return false;
    *msg = MSG{best->hwnd,
               WM_TIMER,
               best->id,
               reinterpret_cast<LPARAM>(best->proc),
               static_cast<DWORD>(now),
               POINT{0, 0}};
    if (remove) {
        // The next period counts from now: periods missed while busy are not queued.
        best->due_ms = now + best->period_ms;
        best->order = next_order++;
    }
    return true;
}

void ForgetWindowTimers(HWND hwnd) {
    std::erase_if(timers, [&](const Timer& t) { return t.hwnd == hwnd; });
}

void ResetTimers() { timers.clear(); }

}  // namespace ui

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT ms, TIMERPROC proc) {
    if (hwnd && !ui::Find(hwnd)) return 0;
    if (!hwnd) id = ui::next_free_id++;
    const std::int64_t period = ms < 1 ? 1 : ms;
    const std::int64_t due = internal::NowMs() + period;
    for (ui::Timer& t : ui::timers) {
        if (t.hwnd == hwnd && t.id == id) {
            t.period_ms = period;
            t.due_ms = due;
            t.order = ui::next_order++;
            t.proc = proc;
            return id;
        }
    }
    ui::timers.push_back(ui::Timer{hwnd, id, period, due, ui::next_order++, proc});
    return id;
}

BOOL KillTimer(HWND hwnd, UINT_PTR id) {
    const auto before = ui::timers.size();
    std::erase_if(ui::timers, [&](const ui::Timer& t) { return t.hwnd == hwnd && t.id == id; });
    return ui::timers.size() != before ? TRUE : FALSE;
}

}  // namespace platform
