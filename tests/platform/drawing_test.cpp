// The shared drawing pieces, checked through what they draw: size, texture
// rectangle and winding of quads, billboard matrices, the state a copy
// starts from, and pre-warming that leaves the picture as it was.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

#include "gfx/drawing.h"
#include "gl_window.h"

namespace {

using testing_gl::pixelAt;

class DrawingTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(testing_gl::openTestWindow(800, 600)) << platform::lastError();
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
    }
    void TearDown() override { testing_gl::closeTestWindow(); }
};

// A 2 x 2 texture, one colour per texel: red (0, 0), green (1, 0), blue
// (0, 1), white (1, 1), sampled without filtering.
GLuint makeQuadrantTexture() {
    const std::uint8_t texels[2 * 2 * 3] = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255};
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 2, 2, 0, GL_RGB, GL_UNSIGNED_BYTE, texels);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    return name;
}

testing_gl::Rgb drawnAt(int x, int y) {
    const auto rgb = testing_gl::readRgb(x, y, 1, 1);
    return pixelAt(rgb, 1, 0, 0);
}

bool same(const testing_gl::Rgb& a, int r, int g, int b) {
    return a.r == r && a.g == g && a.b == b;
}

TEST_F(DrawingTest, QuadsKeepTheirHalfSizeTextureRectangleAndCornerOrder) {
    const GLuint texture = makeQuadrantTexture();
    glViewport(0, 0, 800, 600);
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    auto draw = [](float w, float h, const gfx::TexRect& rect, gfx::QuadCorners corners) {
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        gfx::drawQuad(w, h, rect, corners);
    };
    const auto ccw = gfx::QuadCorners::FromLowerLeft;
    const auto cw = gfx::QuadCorners::FromUpperLeft;

    // Half-size 0.5 x 0.25 of the view: x 200..600, y 225..375.
    draw(0.5f, 0.25f, {0.5f, 0.5f, 1.0f, 1.0f}, ccw);
    EXPECT_TRUE(same(drawnAt(400, 300), 255, 255, 255));
    EXPECT_TRUE(same(drawnAt(205, 230), 255, 255, 255));
    EXPECT_TRUE(same(drawnAt(195, 300), 0, 0, 0));
    EXPECT_TRUE(same(drawnAt(400, 380), 0, 0, 0));
    draw(0.5f, 0.25f, {0.0f, 0.0f, 0.5f, 0.5f}, ccw);
    EXPECT_TRUE(same(drawnAt(400, 300), 255, 0, 0));

    // The whole texture: s runs along x and t along y, whichever way the
    // corners are walked.
    for (gfx::QuadCorners corners : {ccw, cw}) {
        draw(1.0f, 1.0f, {}, corners);
        EXPECT_TRUE(same(drawnAt(100, 100), 255, 0, 0));
        EXPECT_TRUE(same(drawnAt(700, 100), 0, 255, 0));
        EXPECT_TRUE(same(drawnAt(100, 500), 0, 0, 255));
        EXPECT_TRUE(same(drawnAt(700, 500), 255, 255, 255));
    }

    // Counter-clockwise faces the viewer; clockwise is the back face.
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    draw(1.0f, 1.0f, {}, ccw);
    EXPECT_TRUE(same(drawnAt(700, 500), 255, 255, 255));
    draw(1.0f, 1.0f, {}, cw);
    EXPECT_TRUE(same(drawnAt(700, 500), 0, 0, 0));
    glDisable(GL_CULL_FACE);

    // The unit quad is the default quad of half-size 1.
    glClear(GL_COLOR_BUFFER_BIT);
    gfx::drawUnitQuad();
    EXPECT_TRUE(same(drawnAt(100, 500), 0, 0, 255));
    glDisable(GL_TEXTURE_2D);
    glDeleteTextures(1, &texture);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(DrawingTest, BillboardsResetTheirBlockAndKeepTheRest) {
    auto turned = [] {
        glLoadIdentity();
        glTranslatef(1.0f, 2.0f, 3.0f);
        glRotatef(30.0f, 1.0f, 1.0f, 0.5f);
        glScalef(2.0f, 2.0f, 2.0f);
    };
    turned();
    std::array<GLfloat, 16> before{};
    glGetFloatv(GL_MODELVIEW_MATRIX, before.data());

    gfx::faceViewer();
    std::array<GLfloat, 16> full{};
    glGetFloatv(GL_MODELVIEW_MATRIX, full.data());
    turned();
    gfx::faceViewerKeepingDepth();
    std::array<GLfloat, 16> upright{};
    glGetFloatv(GL_MODELVIEW_MATRIX, upright.data());

    for (int column = 0; column < 4; ++column) {
        for (int row = 0; row < 4; ++row) {
            const int i = column * 4 + row;
            const float identity = row == column ? 1.0f : 0.0f;
            EXPECT_FLOAT_EQ(full[i], row < 3 && column < 3 ? identity : before[i]) << i;
            EXPECT_FLOAT_EQ(upright[i], row < 2 && column < 2 ? identity : before[i]) << i;
        }
    }
}

TEST_F(DrawingTest, ResetBeforeACopyClearsEveryStateThatAltersPixels) {
    for (GLenum cap : {GL_ALPHA_TEST, GL_BLEND, GL_DEPTH_TEST, GL_DITHER, GL_FOG, GL_LIGHTING,
                       GL_COLOR_LOGIC_OP, GL_STENCIL_TEST, GL_TEXTURE_1D, GL_TEXTURE_2D}) {
        glEnable(cap);
    }
    glPixelTransferi(GL_MAP_COLOR, 1);
    glPixelTransferf(GL_GREEN_SCALE, 0.5f);
    glPixelTransferf(GL_ALPHA_BIAS, 0.25f);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ROW_LENGTH, 7);
    glPixelStorei(GL_PACK_SKIP_PIXELS, 3);

    gfx::resetStateForCopy();

    for (GLenum cap : {GL_ALPHA_TEST, GL_BLEND, GL_DEPTH_TEST, GL_DITHER, GL_FOG, GL_LIGHTING,
                       GL_COLOR_LOGIC_OP, GL_STENCIL_TEST, GL_TEXTURE_1D, GL_TEXTURE_2D}) {
        EXPECT_FALSE(glIsEnabled(cap)) << std::hex << cap;
    }
    GLint value = -1;
    glGetIntegerv(GL_MAP_COLOR, &value);
    EXPECT_EQ(value, 0);
    GLfloat scale = 0.0f;
    GLfloat bias = 1.0f;
    glGetFloatv(GL_GREEN_SCALE, &scale);
    glGetFloatv(GL_ALPHA_BIAS, &bias);
    EXPECT_EQ(scale, 1.0f);
    EXPECT_EQ(bias, 0.0f);
    glGetIntegerv(GL_PACK_ALIGNMENT, &value);
    EXPECT_EQ(value, 4);
    glGetIntegerv(GL_PACK_ROW_LENGTH, &value);
    EXPECT_EQ(value, 0);
    glGetIntegerv(GL_PACK_SKIP_PIXELS, &value);
    EXPECT_EQ(value, 0);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(DrawingTest, PrewarmingBindsTheTextureAndLeavesThePictureAsItWas) {
    TextureTable textures{};
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    const std::uint8_t white[4 * 4 * 3] = {255, 255, 255};
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 4, 4, 0, GL_RGB, GL_UNSIGNED_BYTE, white);
    glBindTexture(GL_TEXTURE_2D, 0);
    textures[42] = name;

    glViewport(0, 0, 800, 600);
    glClearColor(0.2f, 0.4f, 0.6f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glPointSize(9.0f);
    glEnable(GL_TEXTURE_2D);
    gfx::prewarmTexture(textures, 42);
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), name);
    GLfloat priority = 0.0f;
    glGetTexParameterfv(GL_TEXTURE_2D, GL_TEXTURE_PRIORITY, &priority);
    EXPECT_EQ(priority, 1.0f);

    const std::vector<std::uint8_t> rgb = testing_gl::readRgb(396, 296, 8, 8);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            const testing_gl::Rgb p = pixelAt(rgb, 8, x, y);
            EXPECT_NEAR(p.r, 51, 1);
            EXPECT_NEAR(p.g, 102, 1);
            EXPECT_NEAR(p.b, 153, 1);
        }
    }
    glDeleteTextures(1, &name);
    glPointSize(1.0f);
}

} // namespace
