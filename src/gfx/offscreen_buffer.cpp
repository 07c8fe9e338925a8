#include "gfx/offscreen_buffer.h"

#include <string>

#include "gfx/drawing.h"
#include "platform/platform.h"

OffscreenBuffer offscreenBuffer;

void OffscreenBuffer::makeBufferCurrent() const {
    platform::makeCurrent(bufferSurface, bufferContext);
}

void OffscreenBuffer::makeWindowCurrent() const {
    platform::makeCurrent(windowSurface, windowContext);
}

namespace {

// The production cannot run without the buffer: say why and stop.
[[noreturn]] void setUpFailed(const std::string& why) {
    platform::showMessage(("Can't Create The Offscreen Buffer.\n" + why).c_str(), "ERROR",
                          platform::BoxIcon::Exclamation);
    platform::endProcess(2);
}

} // namespace

void setUpOffscreenBuffer(OffscreenBuffer& buffer) {
    // The window's first projection, in force until a Segment sets its own.
    gfx::setUpPerspective(65.0);

    if (platform::currentSurface() == nullptr) {
        setUpFailed("no window surface is current");
    }
    if (!platform::createOffscreenTarget(kOffscreenSize, buffer.bufferSurface,
                                         buffer.bufferContext)) {
        setUpFailed(platform::lastError());
    }
    buffer.windowSurface = platform::currentSurface();
    buffer.windowContext = platform::currentContext();
}
