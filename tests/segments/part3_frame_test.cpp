// The butterfly swarm drawn for real in a headless GL context with the
// off-screen buffer but without the asset pack: the trail over a screen that
// is never cleared, and the Segment's last frames.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <vector>

#include "gfx/offscreen_buffer.h"
#include "gfx/random.h"
#include "gfx/texture_table.h"
#include "platform/gl_window.h"
#include "platform/platform.h"
#include "segments/part3.h"

namespace {

class SwarmFrame : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ready_ = testing_gl::openFrameTestWindow();
        if (!ready_) {
            return;
        }
        // Only the copy targets are needed (the swarm's picture, the balls'
        // views and the room view); every other texture is left unloaded
        // and draws untextured.
        static constexpr int kTargets[5][2] = {
            {3110, 512}, {4280, 256}, {4281, 256}, {4282, 256}, {4300, 512}};
        for (const auto& target : kTargets) {
            GLuint name = 0;
            glGenTextures(1, &name);
            glBindTexture(GL_TEXTURE_2D, name);
            glTexImage2D(GL_TEXTURE_2D, 0, 3, target[1], target[1], 0, GL_RGB, GL_UNSIGNED_BYTE,
                         nullptr);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
            textures_[target[0]] = name;
        }
        while (glGetError() != GL_NO_ERROR) {
        }
    }

    static void TearDownTestSuite() {
        if (ready_) {
            testing_gl::closeTestWindow();
        }
    }

    void SetUp() override {
        // Every frame starts from a fresh process's random sequence, so a
        // check does not depend on which tests drew numbers before it.
        gfx::restartRandomSequence();
        if (!ready_) {
            GTEST_SKIP() << "no GL context: " << platform::lastError();
        }
        segment_ = std::make_unique<part3>();
        initPart3(*segment_);
        startPart3(*segment_);
    }

    static bool ready_;
    static TextureTable textures_;
    std::unique_ptr<part3> segment_;
};

bool SwarmFrame::ready_ = false;
TextureTable SwarmFrame::textures_{};

TEST_F(SwarmFrame, NewPictureLiesOverTheOldScreenAtFifteenPercent) {
    offscreenBuffer.makeWindowCurrent();
    glClearColor(200.0f / 255.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    double t = 1.0;
    EXPECT_FALSE(renderPart3(*segment_, 0, textures_, &t, offscreenBuffer));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    std::vector<std::uint8_t> rgb;
    platform::readPicture(rgb);
    ASSERT_EQ(rgb.size(), 800u * 600u * 3u);
    // Every pixel keeps 85 % of the old red; where the off-screen picture is
    // black nothing else arrives, where a glow lies it adds up to 15 %.
    long dark = 0, lit = 0;
    for (std::size_t i = 0; i < rgb.size(); i += 3) {
        ASSERT_GE(rgb[i], 168) << "pixel " << i / 3;
        if (rgb[i + 1] == 0) {
            ++dark;
            ASSERT_NEAR(rgb[i], 170, 1) << "pixel " << i / 3;
        } else {
            ++lit;
        }
    }
    EXPECT_GT(dark, 800 * 600 / 20);
    EXPECT_GT(lit, 0); // the untextured glows of the butterflies
    EXPECT_EQ(segment_->frameCounter, 1);
}

TEST_F(SwarmFrame, ReflectionRoomNeverLeavesTheScreenBlack) {
    // Mid reflection mode, well after the swarm: only the room's copy is on
    // screen. Its own background keeps the room readable as a place.
    offscreenBuffer.makeWindowCurrent();
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    for (double t = 110.0; t < 110.2; t += 0.05) {
        double now = t;
        EXPECT_FALSE(renderPart3(*segment_, 0, textures_, &now, offscreenBuffer));
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    std::vector<std::uint8_t> rgb;
    platform::readPicture(rgb);
    ASSERT_EQ(rgb.size(), 800u * 600u * 3u);
    long black = 0;
    for (std::size_t i = 0; i < rgb.size(); i += 3) {
        black += rgb[i] < 8 && rgb[i + 1] < 8 && rgb[i + 2] < 8;
    }
    EXPECT_LT(black, 800 * 600 / 20);
}

TEST_F(SwarmFrame, LastMomentDrawsThenTheSegmentFinishes) {
    double t = 90.0; // both phases
    EXPECT_FALSE(renderPart3(*segment_, 0, textures_, &t, offscreenBuffer));
    t = 165.6;
    EXPECT_FALSE(renderPart3(*segment_, 0, textures_, &t, offscreenBuffer));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    t = 165.6001;
    EXPECT_TRUE(renderPart3(*segment_, 0, textures_, &t, offscreenBuffer));
    EXPECT_GE(segment_->frameCounter, 2);
}

} // namespace
