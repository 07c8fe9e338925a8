#include "platform/platform.h"

#include <SDL.h>

#include <GL/gl.h>
#include <malloc.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "glext/glext.h"

namespace platform {

struct Surface {
    SDL_Window* window = nullptr;
};

struct Context {
    SDL_GLContext gl = nullptr;
    GLuint framebuffer = 0; // bound for drawing for as long as the context lives
    GLuint colour = 0;
    GLuint depth = 0;
    // With multisampling the picture is drawn into `framebuffer` and resolved
    // into this single-sampled one, which stays bound for reading, whenever a
    // copy, a read-back or the window needs its pixels.
    GLuint resolved = 0;
    GLuint resolvedColour = 0;
    int width = 0;
    int height = 0;
};

namespace {

std::string errorText;
SDL_Window* window = nullptr;
bool windowFullscreen = false;
Surface windowSurfaceObject;
Context windowContextObject;
Surface* activeSurface = nullptr;
Context* activeContext = nullptr;
// Off-screen targets live until the window goes (never, in the production).
std::vector<std::unique_ptr<Surface>> offscreenSurfaces;
std::vector<std::unique_ptr<Context>> offscreenContexts;

// The framebuffer whose pixels copies and read-backs see.
GLuint pictureForReading(const Context& context) {
    return context.resolved != 0 ? context.resolved : context.framebuffer;
}

bool fail(const char* step) {
    errorText = std::string(step) + ": " + SDL_GetError();
    return false;
}

bool onOffscreenDriver() {
    const char* driver = SDL_GetCurrentVideoDriver();
    return driver != nullptr && std::strcmp(driver, "offscreen") == 0;
}

int samplesPerPixel = 0; // 0: single-sampled pictures

// Storage for the bound renderbuffer, multisampled when samples > 0.
void allocateRenderbuffer(GLenum format, int width, int height, int samples) {
    if (samples > 0) {
        glext::glRenderbufferStorageMultisample(GL_RENDERBUFFER, samples, format, width, height);
    } else {
        glext::glRenderbufferStorage(GL_RENDERBUFFER, format, width, height);
    }
}

GLuint attachRenderbuffer(GLenum attachment, GLenum format, int width, int height, int samples) {
    GLuint name = 0;
    glext::glGenRenderbuffers(1, &name);
    glext::glBindRenderbuffer(GL_RENDERBUFFER, name);
    allocateRenderbuffer(format, width, height, samples);
    glext::glFramebufferRenderbuffer(GL_FRAMEBUFFER, attachment, GL_RENDERBUFFER, name);
    return name;
}

bool framebufferComplete(int width, int height, const char* what) {
    if (glext::glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE) {
        return true;
    }
    errorText = std::string("the driver refuses ") + what + " of " + std::to_string(width) + " x " +
                std::to_string(height);
    return false;
}

// Creates a framebuffer object with an RGBA8 colour buffer and the given
// depth format (multisampled when asked for, with its single-sampled resolve
// target), and leaves it bound. False when the driver refuses it.
bool createFramebuffer(Context& context, int width, int height, GLenum depthFormat,
                       GLenum depthAttachment) {
    context.width = width;
    context.height = height;
    if (samplesPerPixel > 0) {
        glext::glGenFramebuffers(1, &context.resolved);
        glext::glBindFramebuffer(GL_FRAMEBUFFER, context.resolved);
        context.resolvedColour =
            attachRenderbuffer(GL_COLOR_ATTACHMENT0, GL_RGBA8, width, height, 0);
        if (!framebufferComplete(width, height, "a resolve framebuffer")) {
            return false;
        }
    }
    glext::glGenFramebuffers(1, &context.framebuffer);
    glext::glBindFramebuffer(GL_FRAMEBUFFER, context.framebuffer);
    context.colour =
        attachRenderbuffer(GL_COLOR_ATTACHMENT0, GL_RGBA8, width, height, samplesPerPixel);
    context.depth =
        attachRenderbuffer(depthAttachment, depthFormat, width, height, samplesPerPixel);
    glext::glBindRenderbuffer(GL_RENDERBUFFER, 0);
    if (!framebufferComplete(width, height,
                             samplesPerPixel > 0 ? "a multisampled framebuffer object"
                                                 : "a framebuffer object")) {
        return false;
    }
    if (context.resolved != 0) {
        glext::glBindFramebuffer(GL_READ_FRAMEBUFFER, context.resolved);
    }
    glViewport(0, 0, width, height);
    return true;
}

void deleteOffscreenTargets() {
    for (auto& context : offscreenContexts) {
        SDL_GL_DeleteContext(context->gl);
    }
    offscreenContexts.clear();
    offscreenSurfaces.clear();
}

} // namespace

const std::string& lastError() {
    return errorText;
}

// A software GL driver allocates and frees a vertex buffer of several hundred
// kilobytes for every large draw. With glibc's default thresholds each one is
// handed back to the system and faulted in again, which costs more than the
// drawing; keeping freed memory in the heap lets the next draw reuse it.
namespace {
void keepDriverBuffersInTheHeap() {
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 256 * 1024 * 1024);
}
} // namespace

namespace {

// With an X display named and no driver asked for, SDL probes other drivers
// too (Wayland first) and now and then, under a virtual X server, ended up
// showing nothing: no window and no message box, the program running on
// unseen. There x11 is asked for directly, and a refused connection is tried
// again for a few seconds before SDL is left to choose.
bool xDisplayExpected() {
    return std::getenv("SDL_VIDEODRIVER") == nullptr && std::getenv("DISPLAY") != nullptr &&
           std::getenv("WAYLAND_DISPLAY") == nullptr;
}

constexpr int kDisplayAttempts = 10;

bool startX11Video() {
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11");
    for (int attempt = 1; attempt <= kDisplayAttempts; ++attempt) {
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) {
            return true;
        }
        std::fprintf(stderr, "hlv: the X display refused a connection (%s), trying again\n",
                     SDL_GetError());
        SDL_Delay(static_cast<Uint32>(100 * attempt)); // 5.5 s in all
    }
    SDL_ResetHint(SDL_HINT_VIDEODRIVER); // let SDL choose, as it would have
    return false;
}

} // namespace

bool startVideo() {
    keepDriverBuffersInTheHeap();
    if (xDisplayExpected() && startX11Video()) {
        return true;
    }
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        return fail("SDL video");
    }
    return true;
}

void stopVideo() {
    if (SDL_WasInit(SDL_INIT_VIDEO) != 0) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
}

bool fullscreenAvailable() {
    // HLV_WINDOWED=1 refuses fullscreen, as a display that cannot show it
    // would: for desktops where it misbehaves, and to exercise the fallback.
    const char* windowed = std::getenv("HLV_WINDOWED");
    if (windowed != nullptr && windowed[0] != '\0' && windowed[0] != '0') {
        errorText = "fullscreen refused by HLV_WINDOWED";
        return false;
    }
    SDL_DisplayMode mode;
    if (SDL_GetDesktopDisplayMode(0, &mode) != 0) {
        return fail("desktop display mode");
    }
    return true;
}

bool chooseSurfaceFormat() {
    const bool ok = SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8) == 0 &&
                    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8) == 0 &&
                    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8) == 0 &&
                    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1) == 0 &&
                    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24) == 0 &&
                    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 1) == 0 &&
                    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK,
                                        SDL_GL_CONTEXT_PROFILE_COMPATIBILITY) == 0 &&
                    SDL_GL_SetAttribute(SDL_GL_SHARE_WITH_CURRENT_CONTEXT, 0) == 0;
    return ok ? true : fail("GL surface attributes");
}

bool createWindow(const char* title, int width, int height, bool fullscreen) {
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN | SDL_WINDOW_ALLOW_HIGHDPI;
    SDL_Rect bounds;
    if (fullscreen) {
        flags |= SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_BORDERLESS;
        // Already the display's size, so that the window covers it even where
        // no window manager honours the fullscreen request.
        if (SDL_GetDisplayBounds(0, &bounds) == 0) {
            width = bounds.w;
            height = bounds.h;
        }
    }
    window = SDL_CreateWindow(title, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height,
                              flags);
    if (window == nullptr) {
        return fail("window");
    }
    windowFullscreen = fullscreen;
    windowSurfaceObject.window = window;
    return true;
}

bool createWindowContext() {
    windowContextObject.gl = SDL_GL_CreateContext(window);
    if (windowContextObject.gl == nullptr) {
        return fail("GL context");
    }
    activeSurface = &windowSurfaceObject;
    activeContext = &windowContextObject;
    if (glGetString(GL_VERSION) == nullptr) {
        errorText = "the GL context answers no version";
        return false;
    }
    return true;
}

bool activateWindowContext() {
    if (SDL_GL_MakeCurrent(window, windowContextObject.gl) != 0) {
        return fail("make the GL context current");
    }
    activeSurface = &windowSurfaceObject;
    activeContext = &windowContextObject;
    SDL_GL_SetSwapInterval(1); // vsync where offered; a refusal is not an error
    glext::recordOfferedExtensions();
    return createFramebuffer(windowContextObject, kPictureWidth, kPictureHeight,
                             GL_DEPTH24_STENCIL8, GL_DEPTH_STENCIL_ATTACHMENT);
}

void showWindow() {
    SDL_ShowWindow(window);
    if (windowFullscreen) {
        SDL_ShowCursor(SDL_DISABLE);
    }
    SDL_RaiseWindow(window);
}

void leaveFullscreen() {
    if (window != nullptr) {
        SDL_SetWindowFullscreen(window, 0);
    }
    SDL_ShowCursor(SDL_ENABLE);
}

bool releaseContext() {
    activeSurface = nullptr;
    activeContext = nullptr;
    if (window == nullptr) {
        return true;
    }
    return SDL_GL_MakeCurrent(window, nullptr) == 0 ? true : fail("release the GL context");
}

bool deleteWindowContext() {
    deleteOffscreenTargets();
    if (windowContextObject.gl != nullptr) {
        SDL_GL_DeleteContext(windowContextObject.gl);
    }
    windowContextObject = Context{};
    return true;
}

bool destroyWindow() {
    deleteOffscreenTargets();
    if (window != nullptr) {
        SDL_DestroyWindow(window);
    }
    window = nullptr;
    windowSurfaceObject.window = nullptr;
    windowFullscreen = false;
    return true;
}

bool windowExists() {
    return window != nullptr;
}

bool windowContextExists() {
    return windowContextObject.gl != nullptr;
}

Surface* windowSurface() {
    return &windowSurfaceObject;
}

Context* windowContext() {
    return &windowContextObject;
}

Surface* currentSurface() {
    return activeSurface;
}

Context* currentContext() {
    return activeContext;
}

void makeCurrent(Surface* surface, Context* context) {
    SDL_GL_MakeCurrent(surface != nullptr ? surface->window : nullptr,
                       context != nullptr ? context->gl : nullptr);
    activeSurface = surface;
    activeContext = context;
}

bool createOffscreenTarget(int size, Surface*& surface, Context*& context) {
    Surface* returnSurface = activeSurface;
    Context* returnContext = activeContext;
    if (window == nullptr || returnContext == nullptr) {
        errorText = "no window context is current";
        return false;
    }
    // Display lists and textures are shared with the context current now;
    // framebuffer objects are not shared, so each context keeps its own.
    SDL_GL_SetAttribute(SDL_GL_SHARE_WITH_CURRENT_CONTEXT, 1);
    SDL_GLContext gl = SDL_GL_CreateContext(window);
    SDL_GL_SetAttribute(SDL_GL_SHARE_WITH_CURRENT_CONTEXT, 0);
    if (gl == nullptr) {
        makeCurrent(returnSurface, returnContext);
        return fail("shared GL context for the off-screen buffer");
    }
    auto newContext = std::make_unique<Context>();
    newContext->gl = gl;
    auto newSurface = std::make_unique<Surface>();
    newSurface->window = window;
    activeSurface = newSurface.get();
    activeContext = newContext.get();
    const bool complete =
        createFramebuffer(*newContext, size, size, GL_DEPTH_COMPONENT24, GL_DEPTH_ATTACHMENT);
    makeCurrent(returnSurface, returnContext);
    if (!complete) {
        SDL_GL_DeleteContext(gl);
        return false;
    }
    surface = newSurface.get();
    context = newContext.get();
    offscreenSurfaces.push_back(std::move(newSurface));
    offscreenContexts.push_back(std::move(newContext));
    return true;
}

void setSamplesPerPixel(int samples) {
    samplesPerPixel = std::max(0, samples);
}

int samplesPerPixelInUse() {
    return samplesPerPixel;
}

void resolvePicture(int width, int height) {
    Context* context = activeContext;
    if (context == nullptr || context->resolved == 0) {
        return;
    }
    width = std::min(width, context->width);
    height = std::min(height, context->height);
    // A blit obeys the scissor box and the colour mask, which effects leave
    // as they like; the whole region is resolved regardless.
    glPushAttrib(GL_COLOR_BUFFER_BIT | GL_SCISSOR_BIT);
    glDisable(GL_SCISSOR_TEST);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glext::glBindFramebuffer(GL_READ_FRAMEBUFFER, context->framebuffer);
    glext::glBindFramebuffer(GL_DRAW_FRAMEBUFFER, context->resolved);
    glext::glBlitFramebuffer(0, 0, width, height, 0, 0, width, height, GL_COLOR_BUFFER_BIT,
                             GL_NEAREST);
    glext::glBindFramebuffer(GL_READ_FRAMEBUFFER, context->resolved);
    glext::glBindFramebuffer(GL_DRAW_FRAMEBUFFER, context->framebuffer);
    glPopAttrib();
}

Rect letterbox(int drawableWidth, int drawableHeight) {
    // Integer maths so that no edge is off by a pixel and the shape is 4:3.
    const int height = std::min(drawableHeight, drawableWidth * 3 / 4);
    const int width = height * 4 / 3;
    return {(drawableWidth - width) / 2, (drawableHeight - height) / 2, width, height};
}

void drawableSize(int& width, int& height) {
    width = 0;
    height = 0;
    if (window != nullptr) {
        SDL_GL_GetDrawableSize(window, &width, &height);
    }
}

void presentPicture() {
    if (window == nullptr) {
        return;
    }
    if (activeContext != &windowContextObject) {
        makeCurrent(&windowSurfaceObject, &windowContextObject);
    }
    int width = 0;
    int height = 0;
    drawableSize(width, height);
    const Rect target = letterbox(width, height);
    // The effects leave their state as it is; only what a clear and a blit
    // depend on is set here, and put back afterwards.
    resolvePicture(kPictureWidth, kPictureHeight);
    glPushAttrib(GL_COLOR_BUFFER_BIT | GL_SCISSOR_BIT);
    glDisable(GL_SCISSOR_TEST);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glext::glBindFramebuffer(GL_READ_FRAMEBUFFER, pictureForReading(windowContextObject));
    glext::glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glext::glBlitFramebuffer(0, 0, kPictureWidth, kPictureHeight, target.x, target.y,
                             target.x + target.width, target.y + target.height, GL_COLOR_BUFFER_BIT,
                             GL_LINEAR);
    glext::glBindFramebuffer(GL_DRAW_FRAMEBUFFER, windowContextObject.framebuffer);
    glext::glBindFramebuffer(GL_READ_FRAMEBUFFER, pictureForReading(windowContextObject));
    glPopAttrib();
}

namespace {
void showBackBuffer() {
    SDL_GL_SwapWindow(window);
    if (onOffscreenDriver()) {
        glFinish(); // nothing else makes the EGL pbuffer path finish the frame
    }
}
} // namespace

void swapWindow() {
    if (window == nullptr) {
        return;
    }
    presentPicture();
    showBackBuffer();
}

void swapWindowDrawingOver(const std::function<void()>& over) {
    if (window == nullptr) {
        return;
    }
    presentPicture();
    int width = 0;
    int height = 0;
    drawableSize(width, height);
    const Rect target = letterbox(width, height);
    glPushAttrib(GL_VIEWPORT_BIT);
    glext::glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(target.x, target.y, target.width, target.height);
    over();
    glext::glBindFramebuffer(GL_FRAMEBUFFER, windowContextObject.framebuffer);
    glPopAttrib();
    showBackBuffer();
}

void readPicture(std::vector<std::uint8_t>& rgb) {
    rgb.resize(static_cast<std::size_t>(kPictureWidth) * kPictureHeight * 3);
    if (activeContext != &windowContextObject) {
        makeCurrent(&windowSurfaceObject, &windowContextObject);
    }
    resolvePicture(kPictureWidth, kPictureHeight);
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    glPixelStorei(GL_PACK_SKIP_ROWS, 0);
    glPixelStorei(GL_PACK_SKIP_PIXELS, 0);
    glReadPixels(0, 0, kPictureWidth, kPictureHeight, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    glPopClientAttrib();
}

} // namespace platform
