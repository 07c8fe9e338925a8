// The window's viewport rule and the lazily resolved entry points.
#include <gtest/gtest.h>

#include "app/window.h"
#include "gl_window.h"
#include "glext/glext.h"

namespace {

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(testing_gl::openTestWindow(800, 600)) << platform::lastError();
    }
    void TearDown() override { testing_gl::closeTestWindow(); }
};

TEST_F(WindowTest, ResizeViewTakesAZeroHeightAsOneAndResetsOnlyTheCurrentMatrix) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 2, 0, 2, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glTranslatef(3, 4, 5);
    shell::resizeView(640, 0);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 640);
    EXPECT_EQ(viewport[3], 1);
    GLfloat modelview[16], projection[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    EXPECT_EQ(modelview[12], 0.0f);
    EXPECT_EQ(projection[0], 1.0f); // 2 / (2 - 0): untouched
}

TEST_F(WindowTest, MultitextureEntryPointsResolveOnFirstCall) {
    glext::glActiveTextureARB(GL_TEXTURE1_ARB);
    GLint active = 0;
    glGetIntegerv(0x84E0 /* GL_ACTIVE_TEXTURE */, &active);
    EXPECT_EQ(active, GL_TEXTURE1_ARB);
    glext::glActiveTextureARB(GL_TEXTURE0_ARB);
    glBegin(GL_POINTS);
    glext::glMultiTexCoord2fARB(GL_TEXTURE1_ARB, 0.25f, 0.5f);
    glVertex2f(0, 0);
    glEnd();
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(WindowTest, UnknownEntryPointStopsTheProgramNamingIt) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(glext::resolveEntryPoint("glFrobnicateHLV", "GL_HLV_no_such_extension"),
                 "Assertion failed: 0, file glprocs .*glFrobnicateHLV");
    EXPECT_NE(glext::resolveEntryPoint("glBlitFramebuffer", "GL_ARB_framebuffer_object"), nullptr);
}

} // namespace
