#include "platform/platform.h"

#include <cstdio>
#include <cstdlib>

namespace platform {
namespace {
std::function<void(int)>& endHandler() {
    static auto* handler = new std::function<void(int)>();
    return *handler;
}
} // namespace

void setEndHandler(std::function<void(int)> handler) {
    endHandler() = std::move(handler);
}

void endProcess(int code) {
    if (endHandler()) {
        endHandler()(code);
    }
    std::fflush(nullptr);
    // No static destructors: the audio and decoder threads may still run.
    std::_Exit(code);
}

} // namespace platform
