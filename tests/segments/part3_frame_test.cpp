// The butterfly swarm drawn for real in a headless GL context with the
// off-screen buffer but without the asset pack: the trail over a screen that
// is never cleared, and the Segment's last frames.
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <vector>

#include "anim/tvector.h"
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

TEST_F(SwarmFrame, SwarmLeavesTheBuffersLightAsItFoundIt) {
    // The sky is lit by whatever light the previous Segment left in the
    // buffer's context; the window gets its own light 0.
    offscreenBuffer.makeBufferCurrent();
    const GLfloat left[4] = {0.25f, 0.5f, 0.75f, 1.0f};
    glLightfv(GL_LIGHT0, GL_DIFFUSE, left);
    offscreenBuffer.makeWindowCurrent();
    double t = 1.0;
    EXPECT_FALSE(renderPart3(*segment_, 0, textures_, &t, offscreenBuffer));
    offscreenBuffer.makeBufferCurrent();
    GLfloat diffuse[4] = {};
    glGetLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    offscreenBuffer.makeWindowCurrent();
    for (int c = 0; c < 4; ++c) {
        EXPECT_FLOAT_EQ(diffuse[c], left[c]) << "component " << c;
    }
    GLfloat windowDiffuse[4] = {};
    glGetLightfv(GL_LIGHT0, GL_DIFFUSE, windowDiffuse);
    EXPECT_FLOAT_EQ(windowDiffuse[0], 1.0f);
}

TEST_F(SwarmFrame, RoomViewShowsBlackWhereTheRoomIsNot) {
    for (double t = 110.0; t < 110.2; t += 0.05) {
        double now = t;
        EXPECT_FALSE(renderPart3(*segment_, 0, textures_, &now, offscreenBuffer));
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    std::vector<std::uint8_t> rgb(512 * 512 * 3);
    glBindTexture(GL_TEXTURE_2D, textures_[4300]);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    long black = 0, lit = 0;
    for (std::size_t i = 0; i < rgb.size(); i += 3) {
        const bool none = rgb[i] == 0 && rgb[i + 1] == 0 && rgb[i + 2] == 0;
        black += none;
        lit += !none;
    }
    EXPECT_GT(black, 512 * 512 / 20);
    EXPECT_GT(lit, 512 * 512 / 100); // the floor and the balls' views
}

TEST_F(SwarmFrame, RoomFloorHangsOneUnitUp) {
    // Only the floor: a flat square (what the plane mesh loads as), seen
    // level from the side at height 0. It must lie above the eye.
    offscreenBuffer.makeBufferCurrent();
    glDeleteLists(3211, 1); // no ball discs in front of it
    glNewList(3001, GL_COMPILE);
    glBegin(GL_QUADS);
    glVertex3f(-1.0f, 0.0f, -1.0f);
    glVertex3f(1.0f, 0.0f, -1.0f);
    glVertex3f(1.0f, 0.0f, 1.0f);
    glVertex3f(-1.0f, 0.0f, 1.0f);
    glEnd();
    glEndList();
    drawReflectionScene(*segment_, makeKey(0, 0, 3), makeKey(0, 0, 0), makeKey(0, 1, 0), 110.0,
                        textures_);
    std::vector<std::uint8_t> rgb(512 * 512 * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, 512, 512, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    glDeleteLists(3001, 1);
    offscreenBuffer.makeWindowCurrent();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    const auto at = [&](int row) { return rgb[(row * 512 + 256) * 3 + 2]; };
    EXPECT_GT(at(400), 60); // above the eye: 20 degrees up, 2.8 units away
    EXPECT_EQ(at(112), 0);  // below it: nothing
}

TEST_F(SwarmFrame, SwarmDrawnAtOnceMatchesButterflyAfterButterfly) {
    offscreenBuffer.makeBufferCurrent();
    glNewList(2004, GL_COMPILE); // a stand-in wing
    glBegin(GL_TRIANGLES);
    glVertex3f(-0.73f, -1.0f, 0.0f);
    glVertex3f(0.73f, -0.2f, 0.0f);
    glVertex3f(0.0f, 1.0f, 0.0f);
    glEnd();
    glEndList();
    std::vector<ButterflyFlight> flights(40);
    for (int i = 0; i < 40; ++i) {
        // Close enough together that wings hide each other and glows overlap.
        flights[i].p = makeKey(0.3 * (i % 8) - 1.2, 0.25 * (i / 8) - 0.6, 0.05 * i);
        flights[i].q = makeKey(flights[i].p.x + 0.1 * std::sin(i), flights[i].p.y + 0.05,
                               flights[i].p.z - 0.1 * std::cos(i));
        flights[i].flap = 0.7 * i;
    }
    const auto draw = [&](bool together) {
        glViewport(0, 0, 512, 512);
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(45.0, 4.0 / 3.0, 0.01, 174.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        gluLookAt(0.0, 0.0, 6.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
        glEnable(GL_BLEND);
        glBlendFunc(GL_ONE, GL_ONE);
        if (together) {
            drawButterflySwarm(flights.data(), 40, 0.3, textures_);
        } else {
            for (const ButterflyFlight& f : flights) {
                drawButterfly(f.p, f.q, f.flap, 0.3, textures_);
            }
        }
        std::vector<std::uint8_t> rgb(512 * 512 * 3);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, 512, 512, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
        return rgb;
    };
    const auto oneByOne = draw(false);
    const auto together = draw(true);
    glDeleteLists(2004, 1);
    offscreenBuffer.makeWindowCurrent();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    long lit = 0, differ = 0;
    for (std::size_t i = 0; i < oneByOne.size(); ++i) {
        lit += oneByOne[i] != 0;
        differ += oneByOne[i] != together[i];
    }
    EXPECT_GT(lit, 512 * 512 / 10);
    EXPECT_EQ(differ, 0);
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
