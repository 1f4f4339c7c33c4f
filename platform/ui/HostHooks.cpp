// The host's hooks and the unattended flag.
#include "platform/ui/HostHooks.h"

#include <atomic>

#include "platform/internal/Headless.h"

namespace platform {

HostHooks& Hooks() {
    static HostHooks hooks;
    return hooks;
}

namespace internal {
namespace {
std::atomic<bool> headless{false};
}
bool Headless() { return headless.load(std::memory_order_acquire); }
void SetHeadless(bool on) { headless.store(on, std::memory_order_release); }
}  // namespace internal

}  // namespace platform
