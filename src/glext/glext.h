// GL entry points beyond OpenGL 1.1 that the production calls. Each slot
// first points at a resolver for its name: the first call looks the name up
// in the current context, stores the address in the slot and forwards the
// call. A name the driver does not offer stops the program with a message
// naming it. They live in their own namespace so they never clash with the
// prototypes of the system's GL headers.
#pragma once

#include <GL/gl.h>

namespace glext {

// The multitexture pair.
void glActiveTextureARB(GLenum texture);
void glMultiTexCoord2fARB(GLenum target, GLfloat s, GLfloat t);
// Which unit's texture-coordinate array the array calls name.
void glClientActiveTextureARB(GLenum texture);

// Framebuffer objects: the window's 800 x 600 picture and the off-screen buffer.
void glGenFramebuffers(GLsizei n, GLuint* framebuffers);
void glDeleteFramebuffers(GLsizei n, const GLuint* framebuffers);
void glBindFramebuffer(GLenum target, GLuint framebuffer);
void glFramebufferRenderbuffer(GLenum target, GLenum attachment, GLenum renderbufferTarget,
                               GLuint renderbuffer);
GLenum glCheckFramebufferStatus(GLenum target);
void glGenRenderbuffers(GLsizei n, GLuint* renderbuffers);
void glDeleteRenderbuffers(GLsizei n, const GLuint* renderbuffers);
void glBindRenderbuffer(GLenum target, GLuint renderbuffer);
void glRenderbufferStorage(GLenum target, GLenum internalFormat, GLsizei width, GLsizei height);
void glRenderbufferStorageMultisample(GLenum target, GLsizei samples, GLenum internalFormat,
                                      GLsizei width, GLsizei height);
void glBlitFramebuffer(GLint srcX0, GLint srcY0, GLint srcX1, GLint srcY1, GLint dstX0, GLint dstY0,
                       GLint dstX1, GLint dstY1, GLbitfield mask, GLenum filter);

// Looks a name up in the current context; a name the driver does not offer
// (or whose extension it does not list) stops the program with an
// assertion-style message naming it.
void* resolveEntryPoint(const char* name, const char* extension);
// Asks the current context which of the needed extensions it offers, so that
// no later resolution has to ask GL (it may be between glBegin and glEnd).
void recordOfferedExtensions();

} // namespace glext

// Enumerants of framebuffer objects, for headers that predate them.
#ifndef GL_FRAMEBUFFER
#define GL_FRAMEBUFFER 0x8D40
#define GL_RENDERBUFFER 0x8D41
#define GL_READ_FRAMEBUFFER 0x8CA8
#define GL_DRAW_FRAMEBUFFER 0x8CA9
#define GL_COLOR_ATTACHMENT0 0x8CE0
#define GL_DEPTH_ATTACHMENT 0x8D00
#define GL_STENCIL_ATTACHMENT 0x8D20
#define GL_DEPTH_STENCIL_ATTACHMENT 0x821A
#define GL_FRAMEBUFFER_COMPLETE 0x8CD5
#define GL_DEPTH24_STENCIL8 0x88F0
#define GL_DEPTH_COMPONENT24 0x81A6
#endif
#ifndef GL_TEXTURE0_ARB
#define GL_TEXTURE0_ARB 0x84C0
#define GL_TEXTURE1_ARB 0x84C1
#endif
