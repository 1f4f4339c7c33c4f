#include "platform/internal/Headless.h"

#include <atomic>

namespace platform::internal {
namespace {
std::atomic<bool> headless{false};
}
bool Headless() { return headless.load(std::memory_order_acquire); }
void SetHeadless(bool on) { headless.store(on, std::memory_order_release); }
}  // namespace platform::internal
