// The opening titles and the light tunnel drawn for real in a headless GL
// context with the off-screen buffer, but without the asset pack's pictures:
// the frame edges, the cue rewind and the band's place on screen.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "gfx/offscreen_buffer.h"
#include "gfx/random.h"
#include "gfx/texture_table.h"
#include "platform/gl_window.h"
#include "platform/platform.h"
#include "segments/part1.h"
#include "segments/part2.h"
#include "segments/part7.h"

namespace {

// One window for the whole program; the feedback textures are the only
// pictures the two Segments need to run their loops.
class SegmentFrame : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        std::filesystem::current_path(HLV_BUILD_DIR);
        ready_ = testing_gl::openTestWindow(800, 600);
        if (!ready_) {
            whyNotReady_ = platform::lastError();
            return;
        }
        glViewport(0, 0, 800, 600);
        setUpOffscreenBuffer(offscreenBuffer);
        const std::vector<unsigned char> white(256 * 256 * 3, 255);
        for (int id : {110, 111, 1110, 1111}) {
            GLuint name = 0;
            glGenTextures(1, &name);
            glBindTexture(GL_TEXTURE_2D, name);
            glTexImage2D(GL_TEXTURE_2D, 0, 3, 256, 256, 0, GL_RGB, GL_UNSIGNED_BYTE, white.data());
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
            textures_[id] = name;
        }
        while (glGetError() != GL_NO_ERROR) {
        }
    }

    // A missing context is a failure: a skip would let a broken GL set-up
    // pass unnoticed.
    void SetUp() override {
        // Every frame starts from a fresh process's random sequence, so a
        // check does not depend on which tests drew numbers before it.
        gfx::restartRandomSequence();
        ASSERT_TRUE(ready_) << "cannot get a GL context with SDL_VIDEODRIVER=offscreen: "
                            << whyNotReady_;
    }

    static bool ready_;
    static inline std::string whyNotReady_;
    static TextureTable textures_;
};

bool SegmentFrame::ready_ = false;
TextureTable SegmentFrame::textures_{};

std::vector<std::uint8_t> picture() {
    std::vector<std::uint8_t> rgb;
    platform::readPicture(rgb);
    return rgb;
}

// Rows counted from the top of the screen.
testing_gl::Rgb screenPixel(const std::vector<std::uint8_t>& rgb, int x, int rowFromTop) {
    return testing_gl::pixelAt(rgb, 800, x, 599 - rowFromTop);
}

// Fills one of the trail textures with white again, as the asset pack loads it.
void fillWhite(const TextureTable& textures, int id) {
    const std::vector<unsigned char> white(256 * 256 * 3, 255);
    glBindTexture(GL_TEXTURE_2D, textures[id]);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 256, 256, GL_RGB, GL_UNSIGNED_BYTE, white.data());
}

TEST_F(SegmentFrame, OpeningTitlesDrawAtTheirLastMomentThenFinish) {
    part1 segment;
    startPart1(segment);
    fillWhite(textures_, 110);
    fillWhite(textures_, 111);
    double t = 81.0;
    EXPECT_FALSE(renderPart1(segment, 0, textures_, &t, offscreenBuffer));
    EXPECT_EQ(segment.frameCounter, 1);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    // The first frame drops the white the trail textures were loaded with:
    // with nothing lit at this moment the band stays as dark as the clear
    // colour instead of flashing.
    auto rgb = picture();
    const auto firstBand = screenPixel(rgb, 400, 300);
    EXPECT_LE(firstBand.r + firstBand.g, 10);
    EXPECT_LE(firstBand.b, 20);

    // From the second frame on the last result feeds the trail: a white one
    // makes the band bright. It fills the middle 65 % of the height over the
    // dark blue clear colour.
    fillWhite(textures_, 110);
    fillWhite(textures_, 111);
    EXPECT_FALSE(renderPart1(segment, 0, textures_, &t, offscreenBuffer));
    EXPECT_EQ(segment.frameCounter, 2);
    rgb = picture();
    const auto bar = screenPixel(rgb, 400, 60);
    EXPECT_LE(bar.r, 3);
    EXPECT_NEAR(bar.b, 13, 3);
    const auto band = screenPixel(rgb, 400, 300);
    EXPECT_GT(band.r + band.g + band.b, 3 * 150);
    EXPECT_LT(screenPixel(rgb, 400, 90).g, 10);
    EXPECT_GT(screenPixel(rgb, 400, 120).g, 100);
    EXPECT_GT(screenPixel(rgb, 400, 480).g, 100);
    EXPECT_LT(screenPixel(rgb, 400, 510).g, 10);

    t = 81.0 + 1e-9;
    EXPECT_TRUE(renderPart1(segment, 0, textures_, &t, offscreenBuffer));
    EXPECT_EQ(segment.frameCounter, 2);
}

TEST_F(SegmentFrame, LightTunnelRewindsOnACueAndFinishesAfterItsEnd) {
    auto segment = std::make_unique<part2>();
    initPart2(*segment);
    startPart2(*segment);
    EXPECT_FLOAT_EQ(static_cast<float>(segment->aspect), 4.0f / 3.0f);

    double t = 40.0;
    EXPECT_FALSE(renderPart2(*segment, 5, textures_, &t, offscreenBuffer));
    EXPECT_DOUBLE_EQ(t, 13.0); // written back for the rest of the frame
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    t = 76.95;
    EXPECT_FALSE(renderPart2(*segment, 0, textures_, &t, offscreenBuffer));
    t = 76.96;
    EXPECT_TRUE(renderPart2(*segment, 0, textures_, &t, offscreenBuffer));
    EXPECT_EQ(segment->frameCounter, 3);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(SegmentFrame, ExplodedMeshFacesFlyOutAndVisitTheirPartners) {
    auto segment = std::make_unique<part2>();
    initPart2(*segment);
    const int n = segment->faceCount;
    ASSERT_GT(n, 10) << "hlvd/round3.asc did not load";
    ASSERT_LE(n, kPart2MaxFaces);
    for (int i : {0, 1, n / 2, n - 1}) {
        Router& path = segment->facePaths[i];
        path.usedTrackCount = 1;
        TVector p, unused2, unused3;
        const float* a = segment->faceCorners[i];
        path.evaluate(0.0, p, unused2, unused3); // first hop, just above home
        EXPECT_NEAR(p.y, a[1] + 0.04, 1e-6);
        path.evaluate(4.0, p, unused2, unused3); // out on the common circle
        EXPECT_NEAR(std::hypot(p.x, p.y), 0.5, 1e-9);
        EXPECT_DOUBLE_EQ(p.z, 0.0);
        path.evaluate(6.0, p, unused2, unused3); // at the partner's place
        const float* w = segment->faceCorners[mirrorFace(i, n)];
        EXPECT_NEAR(p.x, w[0], 1e-6);
        EXPECT_NEAR(p.z, w[2], 1e-6);
        path.evaluate(8.0, p, unused2, unused3); // the closed path starts over
        EXPECT_NEAR(p.y, a[1] + 0.04, 1e-6);
        // The corner offsets rebuild the triangle around the moving point.
        EXPECT_FLOAT_EQ(segment->cornerOffsetsB[i][0], segment->faceCorners[i][3] - a[0]);
        EXPECT_FLOAT_EQ(segment->cornerOffsetsC[i][2], segment->faceCorners[i][8] - a[2]);
    }
}

TEST_F(SegmentFrame, DeepSeaMirrorsOnACueForOneFrameAndEndsOnALateMirror) {
    auto segment = std::make_unique<part7>();
    initPart7(*segment);
    startPart7(*segment);
    GLint depthBefore = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthBefore);

    double t = 500.0;
    EXPECT_FALSE(renderPart7(*segment, 2, textures_, &t, offscreenBuffer));
    EXPECT_DOUBLE_EQ(t, 20.0); // written back for the rest of the frame
    t = 500.06;                // the next frame starts from the clock again
    EXPECT_FALSE(renderPart7(*segment, 0, textures_, &t, offscreenBuffer));
    EXPECT_DOUBLE_EQ(t, 500.06);

    // Every pass of the Segment (swarm, column, medusa, overlays, tiles)
    // leaves the matrix stack as it found it.
    for (double moment : {6.0, 250.0, 420.0, 600.0, 700.0, 968.0}) {
        t = moment;
        EXPECT_FALSE(renderPart7(*segment, 0, textures_, &t, offscreenBuffer)) << moment;
        GLint depth = 0;
        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
        EXPECT_EQ(depth, depthBefore) << moment;
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << moment;
    }

    t = 968.01;
    EXPECT_TRUE(renderPart7(*segment, 0, textures_, &t, offscreenBuffer));
    t = 31.0; // mirrored to 969 by cue 3: over at once
    EXPECT_TRUE(renderPart7(*segment, 3, textures_, &t, offscreenBuffer));
    EXPECT_DOUBLE_EQ(t, 969.0);
}

} // namespace
