// The 800 x 600 picture scaled onto real windows of other shapes.
#include <gtest/gtest.h>

#include "gl_window.h"
#include "glext/glext.h"

namespace {

using testing_gl::pixelAt;

// Bottom half blue, top half red, so a flipped or stretched copy shows.
void paintPicture() {
    glViewport(0, 0, 800, 600);
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 0, 800, 300);
    glClearColor(0, 0, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glScissor(0, 300, 800, 300);
    glClearColor(1, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    // Left on, as an effect might leave it: presenting must not be clipped.
    glScissor(0, 0, 10, 10);
}

void expectLetterboxed(int width, int height) {
    ASSERT_TRUE(testing_gl::openTestWindow(width, height)) << platform::lastError();
    int w = 0, h = 0;
    platform::drawableSize(w, h);
    ASSERT_EQ(w, width);
    ASSERT_EQ(h, height);
    paintPicture();
    platform::presentPicture();
    // The picture itself is bound again for the next frame, its state kept.
    GLint bound = 0;
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &bound);
    EXPECT_NE(bound, 0);
    EXPECT_TRUE(glIsEnabled(GL_SCISSOR_TEST));
    glDisable(GL_SCISSOR_TEST);

    glext::glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    glReadBuffer(GL_BACK);
    const auto rgb = testing_gl::readRgb(0, 0, width, height);

    const platform::Rect r = platform::letterbox(width, height);
    // Inside: red above the middle, blue below; bars black; edges exact.
    const auto bottom = pixelAt(rgb, width, r.x + 1, r.y + 1);
    const auto top = pixelAt(rgb, width, r.x + r.width - 2, r.y + r.height - 2);
    EXPECT_EQ(bottom.b, 255);
    EXPECT_EQ(bottom.r, 0);
    EXPECT_EQ(top.r, 255);
    EXPECT_EQ(top.b, 0);
    for (int y = 0; y < height; y += 7) {
        for (int x = 0; x < width; x += 7) {
            const bool inside = x >= r.x && x < r.x + r.width && y >= r.y && y < r.y + r.height;
            const auto p = pixelAt(rgb, width, x, y);
            if (!inside) {
                ASSERT_EQ(p.r + p.g + p.b, 0) << "bar pixel " << x << "," << y;
            } else {
                ASSERT_GT(p.r + p.b, 200) << "picture pixel " << x << "," << y;
            }
        }
    }
    testing_gl::closeTestWindow();
}

TEST(Letterboxing, FourByThreeWindowIsFilled) {
    expectLetterboxed(1024, 768);
}

TEST(Letterboxing, WideWindowGetsBarsLeftAndRight) {
    expectLetterboxed(1280, 720);
}

TEST(Letterboxing, TallWindowGetsBarsAboveAndBelow) {
    expectLetterboxed(640, 720);
}

} // namespace
