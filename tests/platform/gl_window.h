// A real window with the production's GL set-up, for tests that draw.
#pragma once

#include <GL/gl.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "gfx/drawing.h"
#include "platform/platform.h"

namespace testing_gl {

// Opens a window of the given size (windowed) with its context current and
// the 800 x 600 picture bound. Returns false with the reason in lastError().
inline bool openTestWindow(int width, int height) {
    return platform::startVideo() && platform::chooseSurfaceFormat() &&
           platform::createWindow("test", width, height, false) &&
           platform::createWindowContext() && platform::activateWindowContext();
}

// The set-up every frame test of an effect needs: headless, run from the
// build folder (where hlvd/ is), an 800 x 600 window with its viewport, and
// the off-screen buffer. False with the reason in lastError().
inline bool openFrameTestWindow() {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    std::filesystem::current_path(HLV_BUILD_DIR);
    if (!openTestWindow(800, 600)) {
        return false;
    }
    glViewport(0, 0, 800, 600);
    setUpOffscreenBuffer(offscreenBuffer);
    return true;
}

inline void closeTestWindow() {
    platform::releaseContext();
    platform::deleteWindowContext();
    platform::destroyWindow();
}

struct Rgb {
    int r, g, b;
};

inline Rgb pixelAt(const std::vector<std::uint8_t>& rgb, int width, int x, int y) {
    const std::size_t i = (static_cast<std::size_t>(y) * width + x) * 3;
    return {rgb[i], rgb[i + 1], rgb[i + 2]};
}

// Reads a rectangle of whatever framebuffer is bound for reading.
inline std::vector<std::uint8_t> readRgb(int x, int y, int width, int height) {
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) * height * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, width, height, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    return rgb;
}

} // namespace testing_gl
