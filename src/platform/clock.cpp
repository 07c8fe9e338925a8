#include "platform/platform.h"

#include <SDL.h>

#include <cmath>

namespace platform {
namespace {
VirtualClock* virtualClock = nullptr;
} // namespace

void useVirtualClock(VirtualClock* clock) {
    virtualClock = clock;
}

bool virtualClockInUse() {
    return virtualClock != nullptr;
}

double virtualMilliseconds() {
    return virtualClock != nullptr ? virtualClock->milliseconds : 0.0;
}

std::uint32_t tickCount() {
    if (virtualClock != nullptr) {
        return static_cast<std::uint32_t>(std::floor(virtualClock->milliseconds));
    }
    return SDL_GetTicks();
}

} // namespace platform
