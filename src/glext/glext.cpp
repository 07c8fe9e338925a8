#include "glext/glext.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

namespace glext {

namespace {

constexpr const char* kMultitexture = "GL_ARB_multitexture";
constexpr const char* kFramebufferObject = "GL_ARB_framebuffer_object";

// Whether the driver lists an extension, asked once per name. The first call
// through a slot may come between glBegin and glEnd, where GL answers no
// questions: the window's set-up asks in advance.
std::map<std::string, bool>& offeredExtensions() {
    static auto* offered = new std::map<std::string, bool>();
    return *offered;
}

bool extensionOffered(const char* extension) {
    auto& offered = offeredExtensions();
    auto found = offered.find(extension);
    if (found == offered.end()) {
        found = offered.emplace(extension, SDL_GL_ExtensionSupported(extension) == SDL_TRUE).first;
    }
    return found->second;
}

} // namespace

void recordOfferedExtensions() {
    extensionOffered(kMultitexture);
    extensionOffered(kFramebufferObject);
}

void* resolveEntryPoint(const char* name, const char* extension) {
    // GLX hands out an address for any name at all, so the extension that
    // brings the entry point must be offered too.
    const bool offered = extension == nullptr || extensionOffered(extension);
    void* address = offered ? SDL_GL_GetProcAddress(name) : nullptr;
    if (address == nullptr) {
        std::fprintf(stderr, "Assertion failed: 0, file glprocs (no entry point for %s)\n", name);
        std::fflush(stderr);
        std::abort();
    }
    return address;
}

// One slot per entry point. It starts at a resolver that fills the slot with
// the driver's address and then forwards the first call through it.
#define GLEXT_ENTRY(Result, name, extension, params, args)                                         \
    namespace {                                                                                    \
    using name##Type = Result(APIENTRY*) params;                                                   \
    Result APIENTRY name##Resolver params;                                                         \
    name##Type name##Slot = name##Resolver;                                                        \
    Result APIENTRY name##Resolver params {                                                        \
        name##Slot = reinterpret_cast<name##Type>(resolveEntryPoint(#name, extension));            \
        return name##Slot args;                                                                    \
    }                                                                                              \
    }                                                                                              \
    Result name params {                                                                           \
        return name##Slot args;                                                                    \
    }

GLEXT_ENTRY(void, glActiveTextureARB, kMultitexture, (GLenum texture), (texture))
GLEXT_ENTRY(void, glMultiTexCoord2fARB, kMultitexture, (GLenum target, GLfloat s, GLfloat t),
            (target, s, t))
GLEXT_ENTRY(void, glClientActiveTextureARB, kMultitexture, (GLenum texture), (texture))
GLEXT_ENTRY(void, glGenFramebuffers, kFramebufferObject, (GLsizei n, GLuint* framebuffers),
            (n, framebuffers))
GLEXT_ENTRY(void, glDeleteFramebuffers, kFramebufferObject, (GLsizei n, const GLuint* framebuffers),
            (n, framebuffers))
GLEXT_ENTRY(void, glBindFramebuffer, kFramebufferObject, (GLenum target, GLuint framebuffer),
            (target, framebuffer))
GLEXT_ENTRY(void, glFramebufferRenderbuffer, kFramebufferObject,
            (GLenum target, GLenum attachment, GLenum renderbufferTarget, GLuint renderbuffer),
            (target, attachment, renderbufferTarget, renderbuffer))
GLEXT_ENTRY(GLenum, glCheckFramebufferStatus, kFramebufferObject, (GLenum target), (target))
GLEXT_ENTRY(void, glGenRenderbuffers, kFramebufferObject, (GLsizei n, GLuint* renderbuffers),
            (n, renderbuffers))
GLEXT_ENTRY(void, glDeleteRenderbuffers, kFramebufferObject,
            (GLsizei n, const GLuint* renderbuffers), (n, renderbuffers))
GLEXT_ENTRY(void, glBindRenderbuffer, kFramebufferObject, (GLenum target, GLuint renderbuffer),
            (target, renderbuffer))
GLEXT_ENTRY(void, glRenderbufferStorage, kFramebufferObject,
            (GLenum target, GLenum internalFormat, GLsizei width, GLsizei height),
            (target, internalFormat, width, height))
GLEXT_ENTRY(void, glRenderbufferStorageMultisample, kFramebufferObject,
            (GLenum target, GLsizei samples, GLenum internalFormat, GLsizei width, GLsizei height),
            (target, samples, internalFormat, width, height))
GLEXT_ENTRY(void, glBlitFramebuffer, kFramebufferObject,
            (GLint srcX0, GLint srcY0, GLint srcX1, GLint srcY1, GLint dstX0, GLint dstY0,
             GLint dstX1, GLint dstY1, GLbitfield mask, GLenum filter),
            (srcX0, srcY0, srcX1, srcY1, dstX0, dstY0, dstX1, dstY1, mask, filter))

#undef GLEXT_ENTRY

} // namespace glext
