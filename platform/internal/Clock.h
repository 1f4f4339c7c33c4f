// The layer's one clock. Normally the steady clock; in tests a virtual clock that only moves when
// the test advances it, so that timer chains and timed waits take no real time.
#pragma once

#include <cstdint>

namespace platform::internal {

// Milliseconds since the layer started (steady) or the virtual time. Thread-safe.
std::int64_t NowMs();

// Switches to the virtual clock, starting at `start_ms`, or back to the steady clock.
void UseVirtualClock(bool on, std::int64_t start_ms = 0);
bool IsVirtualClock();

// Moves the virtual time forward by `ms` (no effect on the steady clock) and wakes every thread
// that waits for the time with WaitForTimeChange.
void AdvanceVirtualTime(std::int64_t ms);

// Registers a function called (on the calling thread) after every change of the virtual time and
// after every switch of the clock. At most 8; for the layer's own waits and devices.
using TimeListener = void (*)();
void AddTimeListener(TimeListener listener);

// Blocks the calling thread until the virtual time changes or `real_timeout_ms` of real time have
// passed, whichever comes first. Used by timed waits on the virtual clock.
void WaitForTimeChange(std::int64_t seen_ms, int real_timeout_ms);

}  // namespace platform::internal
