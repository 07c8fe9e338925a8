// The off-screen buffer: a second context sharing lists and textures with the
// window's, with its own GL state and a 512 x 512 picture of its own.
#include <gtest/gtest.h>

#include "gfx/offscreen_buffer.h"
#include "gl_window.h"

namespace {

using testing_gl::pixelAt;

class OffscreenBufferTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(testing_gl::openTestWindow(800, 600)) << platform::lastError();
        buffer = OffscreenBuffer{};
        setUpOffscreenBuffer(buffer);
        ASSERT_NE(buffer.bufferContext, nullptr);
        ASSERT_EQ(buffer.windowContext, platform::windowContext());
        ASSERT_EQ(platform::currentContext(), platform::windowContext());
    }
    void TearDown() override { testing_gl::closeTestWindow(); }

    OffscreenBuffer buffer;
};

TEST_F(OffscreenBufferTest, PictureDrawnOffScreenReachesTheWindowThroughATexture) {
    // The texture is created in the window's context, filled from the buffer.
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 256, 256, 0, GL_RGB, GL_UNSIGNED_BYTE, nullptr);

    buffer.makeBufferCurrent();
    glViewport(0, 0, 256, 256);
    glClearColor(1, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glColor3f(0, 1, 0);
    glBegin(GL_QUADS); // left half green, right half stays red
    glVertex2f(-1, -1);
    glVertex2f(0, -1);
    glVertex2f(0, 1);
    glVertex2f(-1, 1);
    glEnd();
    glBindTexture(GL_TEXTURE_2D, texture);
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, 256, 256);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    buffer.makeWindowCurrent();

    glViewport(0, 0, 800, 600);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClearColor(0, 0, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
    glColor3f(1, 1, 1);
    gfx::drawUnitQuad();
    glDisable(GL_TEXTURE_2D);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));

    std::vector<std::uint8_t> rgb;
    platform::readPicture(rgb);
    ASSERT_EQ(rgb.size(), 800u * 600u * 3u);
    const auto left = pixelAt(rgb, 800, 200, 300);
    const auto right = pixelAt(rgb, 800, 600, 300);
    EXPECT_EQ(left.r, 0);
    EXPECT_EQ(left.g, 255);
    EXPECT_EQ(right.r, 255);
    EXPECT_EQ(right.g, 0);
    EXPECT_EQ(right.b, 0);
    glDeleteTextures(1, &texture);
}

TEST_F(OffscreenBufferTest, EachContextKeepsItsOwnState) {
    // The set-up left the window's first projection in place.
    GLfloat projection[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    EXPECT_NE(projection[0], 1.0f);
    glEnable(GL_LIGHTING);
    glEnable(GL_BLEND);
    glClearColor(0.25f, 0.5f, 0.75f, 1.0f);

    buffer.makeBufferCurrent();
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    GLfloat bufferProjection[16];
    glGetFloatv(GL_PROJECTION_MATRIX, bufferProjection);
    EXPECT_EQ(bufferProjection[0], 1.0f);
    EXPECT_EQ(bufferProjection[5], 1.0f);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 512);
    EXPECT_EQ(viewport[3], 512);
    glEnable(GL_DEPTH_TEST);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 1, 0, 1, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    buffer.makeWindowCurrent();

    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    GLfloat again[16];
    glGetFloatv(GL_PROJECTION_MATRIX, again);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(again[i], projection[i]);
    }
    glDisable(GL_LIGHTING);
    glDisable(GL_BLEND);
}

TEST_F(OffscreenBufferTest, DisplayListFromTheWindowRunsInTheBuffer) {
    const GLuint list = glGenLists(1);
    glNewList(list, GL_COMPILE);
    glColor3f(0, 0, 1);
    gfx::drawUnitQuad();
    glEndList();

    buffer.makeBufferCurrent();
    glViewport(0, 0, 512, 512);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glCallList(list);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    const auto rgb = testing_gl::readRgb(0, 0, 512, 512);
    buffer.makeWindowCurrent();

    EXPECT_EQ(pixelAt(rgb, 512, 10, 10).b, 255);
    EXPECT_EQ(pixelAt(rgb, 512, 500, 500).b, 255);
    EXPECT_EQ(pixelAt(rgb, 512, 256, 256).r, 0);
    glDeleteLists(list, 1);
}

TEST_F(OffscreenBufferTest, BufferPixelsOutsideAQuarterCopyKeepTheirContents) {
    buffer.makeBufferCurrent();
    glViewport(0, 0, 512, 512);
    glClearColor(0, 1, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glViewport(0, 0, 256, 256);
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 0, 256, 256);
    glClearColor(1, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
    const auto rgb = testing_gl::readRgb(0, 0, 512, 512);
    buffer.makeWindowCurrent();
    EXPECT_EQ(pixelAt(rgb, 512, 100, 100).r, 255);
    EXPECT_EQ(pixelAt(rgb, 512, 400, 400).g, 255);
    EXPECT_EQ(pixelAt(rgb, 512, 400, 100).g, 255);
}

} // namespace
