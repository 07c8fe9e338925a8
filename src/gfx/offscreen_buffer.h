// The 512 x 512 off-screen drawing surface with a GL context of its own that
// shares display lists and textures with the window's context. Effects switch
// to it, draw, copy into a texture with glCopyTexSubImage2D and switch back.
#pragma once

namespace platform {
struct Surface; // what a context draws into (window or off-screen target)
struct Context; // a GL context with its own state
} // namespace platform

struct OffscreenBuffer {
    // The two pairs are exactly what a switch needs.
    platform::Surface* bufferSurface = nullptr;
    platform::Context* bufferContext = nullptr;
    platform::Surface* windowSurface = nullptr;
    platform::Context* windowContext = nullptr;

    void makeBufferCurrent() const; // draw off-screen from now on
    void makeWindowCurrent() const; // back to the window's picture
};

inline constexpr int kOffscreenSize = 512;

// Sets the window's first projection, then creates the buffer and its context.
// A failure stops the program with a message and a non-zero exit code.
void setUpOffscreenBuffer(OffscreenBuffer& buffer);

// The one instance, set up first thing in the loading sequence.
extern OffscreenBuffer offscreenBuffer;
