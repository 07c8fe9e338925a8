// The rain and vase: cue responses, the rain's fall cycle, the fractal tree's
// size and bounds, the CPU modelview stack against GL, and a frame drawn for
// real at the Segment's last moment.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <numbers>
#include <vector>

#include "gfx/offscreen_buffer.h"
#include "gfx/random.h"
#include "gfx/texture_table.h"
#include "platform/gl_window.h"
#include "platform/platform.h"
#include "segments/part4.h"

namespace {

using gfx::Matrix4;
using gfx::ModelviewStack;
using gfx::QuadBatch;

std::unique_ptr<part4> readySegment() {
    auto segment = std::make_unique<part4>();
    initPart4(*segment);
    startPart4(*segment);
    return segment;
}

TVector controlAt(const part4& segment, double t) {
    TVector o1, o2, o3;
    segment.controlPath.evaluate(0.26 * t + 1.0, o1, o2, o3);
    return o1;
}

TEST(RainAndVase, EndsAfterEightySevenWithoutDrawing) {
    auto segment = std::make_unique<part4>();
    segment->frameCounter = 7;
    TextureTable textures{};
    OffscreenBuffer buffer;
    double t = 87.0001;
    // No GL context here: a frame that drew would touch GL and the buffer.
    EXPECT_TRUE(renderPart4(*segment, 0, textures, &t, buffer));
    EXPECT_EQ(segment->frameCounter, 7);
}

TEST(RainAndVase, GainsFollowTheScriptUntilTheFirstStrongHit) {
    auto segment = readySegment();
    for (double t : {0.1, 10.0, 29.0}) {
        for (int cue : {0, 1, 3, 4}) {
            const Part4View view = planPart4View(*segment, t, cue);
            const TVector script = controlAt(*segment, t);
            EXPECT_EQ(view.o1.x, script.x) << t << " cue " << cue;
            EXPECT_EQ(view.o1.y, script.y) << t << " cue " << cue;
            EXPECT_EQ(segment->o1.x, script.x);
        }
    }
    EXPECT_FALSE(segment->cue2Latch.latched);
}

TEST(RainAndVase, StrongHitPullsTheGainsByADecayingShare) {
    auto segment = readySegment();
    const double hit = 29.0;
    // On the hit frame the gains are the target values.
    Part4View view = planPart4View(*segment, hit, 2);
    EXPECT_DOUBLE_EQ(view.o1.y, 0.9);
    EXPECT_DOUBLE_EQ(view.o1.x, 0.78);
    EXPECT_DOUBLE_EQ(view.freshGain(), 1.08);
    // 0.15 (t - T2) + 1 = 2: half way between script and target.
    const double half = hit + 20.0 / 3.0;
    view = planPart4View(*segment, half, 2);
    const TVector script = controlAt(*segment, half);
    EXPECT_NEAR(view.o1.y, 0.5 * (script.y + 0.9), 1e-12);
    EXPECT_NEAR(view.o1.x, 0.5 * (script.x + 0.78), 1e-12);
    // Frames without the cue show the script again, the latch stays.
    view = planPart4View(*segment, half + 1.0, 0);
    EXPECT_EQ(view.o1.x, controlAt(*segment, half + 1.0).x);
    EXPECT_DOUBLE_EQ(segment->cue2Latch.time, hit);
}

TEST(RainAndVase, FeedbackWeighsBothPicturesExactlyAsScripted) {
    auto segment = readySegment();
    int strongFrames = 0;
    for (double t = 0.1; t <= 87.0; t += 0.05) {
        const Part4View view = planPart4View(*segment, t, 0);
        const FeedbackWeights w = feedbackWeights(view);
        ASSERT_EQ(w.lastGain, controlAt(*segment, t).x) << t;
        ASSERT_DOUBLE_EQ(w.fresh, 1.2 * controlAt(*segment, t).y) << t;
        strongFrames += w.lastGain > 0.95 ? 1 : 0;
    }
    // The script holds the last picture near 0.97 for long stretches.
    EXPECT_GT(strongFrames, 300);
    // On a strong hit the weights are the hit's targets.
    const FeedbackWeights hit = feedbackWeights(planPart4View(*segment, 29.0, 2));
    EXPECT_DOUBLE_EQ(hit.lastGain, 0.78);
    EXPECT_DOUBLE_EQ(hit.fresh, 1.08);
}

// A pixel run through the loop frame after frame as GL computes it: both
// colours clamped to [0, 1], the sum clamped to white.
double settle(const FeedbackWeights& w, double fresh, int frames, double start = 0.0) {
    double lit = start;
    for (int frame = 0; frame < frames; ++frame) {
        lit = std::min(1.0, std::clamp(w.fresh, 0.0, 1.0) * fresh + w.loopGain() * lit);
    }
    return lit;
}

TEST(RainAndVase, TheLoopBurnsStillLightWhiteButLetsMovingLightFade) {
    FeedbackWeights top;
    top.lastGain = 0.97;
    top.fresh = 1.2 * 0.8;
    // Only a very dim still area keeps its shade; a moderately lit one burns.
    EXPECT_LT(settle(top, 0.05, 600), 0.9);
    EXPECT_GT(settle(top, 0.05, 600), 0.7);
    EXPECT_EQ(settle(top, 0.3, 600), 1.0);
    // A light that has moved on leaves a trail that fades within 2 s.
    EXPECT_LT(settle(top, 0.0, 60, 1.0), 0.03);
    // Spline overshoot past 1 holds the picture, it never grows past white;
    // an undershoot below 0 keeps nothing of the last picture.
    FeedbackWeights over = top;
    over.lastGain = 1.02;
    EXPECT_EQ(over.loopGain(), 1.0);
    EXPECT_EQ(settle(over, 0.0, 600, 0.4), 0.4);
    FeedbackWeights under = top;
    under.lastGain = -0.1;
    EXPECT_EQ(under.loopGain(), 0.0);
    EXPECT_DOUBLE_EQ(settle(under, 0.5, 3), 0.48);
}

TEST(RainAndVase, EachCueLatchesItsOwnTimeOnce) {
    auto segment = readySegment();
    planPart4View(*segment, 29.0, 2);
    planPart4View(*segment, 29.5, 2);
    planPart4View(*segment, 35.0, 0);
    planPart4View(*segment, 40.0, 2);
    EXPECT_TRUE(segment->cue2Latch.latched);
    EXPECT_DOUBLE_EQ(segment->cue2Latch.time, 29.0);
    EXPECT_FALSE(segment->cue3Latch.latched);
    planPart4View(*segment, 58.0, 3);
    planPart4View(*segment, 59.0, 3);
    EXPECT_DOUBLE_EQ(segment->cue3Latch.time, 58.0);
    EXPECT_DOUBLE_EQ(segment->cue2Latch.time, 29.0);
}

TEST(RainAndVase, CuesRollTheCameraBackAndForthAndOnlyTheStrongHitPulls) {
    auto segment = readySegment();
    const double hit = 58.0;
    const Part4View calm = planPart4View(*segment, hit, 0);
    const Part4View atHit = planPart4View(*segment, hit, 3);
    EXPECT_NEAR(atHit.up.x - calm.up.x, 0.6, 1e-12);
    EXPECT_EQ(atHit.o1.x, calm.o1.x); // cue 3 leaves the gains alone
    EXPECT_EQ(atHit.o1.y, calm.o1.y);
    // Half a swing later the roll points the other way, and has decayed.
    const double later = hit + std::numbers::pi / 11.0;
    const double swing =
        planPart4View(*segment, later, 3).up.x - planPart4View(*segment, later, 0).up.x;
    EXPECT_LT(swing, -0.1);
    EXPECT_GT(swing, -0.6);
}

TEST(RainAndVase, ResponsesStopBelowOneThousandth) {
    // 1 / (q r d + 1) with q r = 1: exactly 0.001 at d = 999 still counts.
    EXPECT_DOUBLE_EQ(cueDecay(0.0, 999.0, 1.0, 1.0), 0.001);
    EXPECT_EQ(cueDecay(0.0, 999.5, 1.0, 1.0), 0.0);
    EXPECT_EQ(cueDecay(3.0, 3.0 + 1e6, 0.5, 4.0), 0.0);
    // The cosine would be 1 here, but the decay is past its cut-off.
    const double fullTurns = 2.0 * std::numbers::pi * 200.0;
    EXPECT_EQ(dampedCosine(0.0, fullTurns, 1.0, 1.0), 0.0);
    EXPECT_NEAR(dampedCosine(0.0, 2.0 * std::numbers::pi, 1.0, 1.0),
                1.0 / (2.0 * std::numbers::pi + 1.0), 1e-12);
    // Before the latched time there is no response, not a pole.
    EXPECT_EQ(cueDecay(10.0, 10.0 - 1.0 / 11.0, 1.0, 11.0), 0.0);
    EXPECT_EQ(dampedCosine(10.0, 9.0, 1.1, 11.0), 0.0);
}

TEST(RainAndVase, FallCycleKeepsTheSignOfItsTime) {
    // 1000 (0 - 1.4 x 10.1) = -14140: the remainder is about -140, not 13860.
    const std::int64_t tick = dropCycle(0.0, 10.1);
    EXPECT_LT(tick, -137);
    EXPECT_GT(tick, -142);
    // The cycle repeats every 10 units of t.
    EXPECT_NEAR(static_cast<double>(dropCycle(1.0, 3.0)), static_cast<double>(dropCycle(1.0, 13.0)),
                1.0);
    for (double t = 0.1; t < 87.0; t += 0.37) {
        const std::int64_t r = dropCycle(-2.0, t);
        EXPECT_GT(r, -14000);
        EXPECT_LE(r, 0);
    }
}

TEST(RainAndVase, RingsSpreadOnlyWhileTheirSpreadIsPositive) {
    Raindrop drop{1.0, -2.0, -1.5, 1}; // cycle -6000
    RainRing ring = planRainRing(drop, 0.0);
    EXPECT_FALSE(ring.drawn);
    drop.phase = -1.25; // cycle -5000: spread 0.7
    ring = planRainRing(drop, 0.0);
    EXPECT_TRUE(ring.drawn);
    EXPECT_NEAR(ring.x, 1.7, 1e-12);
    EXPECT_DOUBLE_EQ(ring.z, -2.0);
    EXPECT_NEAR(ring.grey, 0.58, 1e-12);
    drop.phase = 1.0; // cycle 4000: a wide ring, faded past black
    ring = planRainRing(drop, 0.0);
    EXPECT_TRUE(ring.drawn);
    EXPECT_LT(ring.grey, 0.0);
}

TEST(RainAndVase, DropsStreakThenSplashThenLieFlatBelowTheFloor) {
    struct Case {
        double phase;
        double y;
        DropFacing facing;
        bool splash;
    };
    const Case cases[] = {
        {1.0, 8.0, DropFacing::KeepingDepth, false},       // high up, a streak
        {-1.3125, -1.25, DropFacing::KeepingDepth, false}, // just above the floor
        {-1.34375, -1.375, DropFacing::Viewer, false},     // facing, still long
        {-1.375, -1.5, DropFacing::Viewer, true},          // splash on the floor
        {-1.5, -2.0, DropFacing::Fixed, true},             // below: no billboard
        {-2.0, -4.0, DropFacing::Fixed, true},
    };
    for (const Case& c : cases) {
        const FallingDrop fall = planFallingDrop(Raindrop{0.0, 0.0, c.phase, 1}, 0.0);
        EXPECT_DOUBLE_EQ(fall.y, c.y) << c.phase;
        EXPECT_EQ(fall.facing, c.facing) << c.phase;
        EXPECT_EQ(fall.splash, c.splash) << c.phase;
    }
}

TEST(RainAndVase, DropsFadeInOverTheFirstTwoUnits) {
    EXPECT_DOUBLE_EQ(dropFadeIn(0.1), 0.05);
    EXPECT_DOUBLE_EQ(dropFadeIn(1.0), 0.5);
    EXPECT_LT(dropFadeIn(1.999), 1.0);
    EXPECT_DOUBLE_EQ(dropFadeIn(2.0), 1.0);
    EXPECT_DOUBLE_EQ(dropFadeIn(80.0), 1.0);
    for (double t = 0.1; t < 1.99; t += 0.1) {
        EXPECT_LT(dropFadeIn(t), dropFadeIn(t + 0.1));
    }
}

TEST(RainAndVase, InitScattersDropsOverTheFloorAndPhasesOverOneCycle) {
    auto segment = readySegment();
    for (const Raindrop& drop : segment->raindrops) {
        ASSERT_EQ(drop.valid, 1);
        ASSERT_GE(drop.x, -4.0);
        ASSERT_LT(drop.x, 4.0);
        ASSERT_GE(drop.z, -4.0);
        ASSERT_LT(drop.z, 4.0);
        ASSERT_GE(drop.phase, -2.0);
        ASSERT_LT(drop.phase, 2.0);
    }
    for (double p : segment->rayPhases) {
        ASSERT_GE(p, 0.0);
        ASSERT_LT(p, 1.0);
    }
    // Not one value repeated: x and z come from different draws.
    int same = 0;
    for (const Raindrop& drop : segment->raindrops) {
        same += drop.x == drop.z;
    }
    EXPECT_LT(same, 10);
}

Matrix4 identity() {
    return Matrix4{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
}

TEST(LightTree, GrowsSixHundredFortyFiveLevelsAndComesBackToItsStart) {
    ModelviewStack stack(identity());
    QuadBatch batch;
    const int calls =
        growLightTree(stack, batch, LightTreeLevel{1.0, 9, 0.3, -11.9, 0.94, 0.2, 0.1, 1.9});
    EXPECT_EQ(calls, 645);
    // Sprites per level: 7 at the root (two hidden), then n each.
    EXPECT_EQ(batch.quadCount(), 7u + 4 * 8 + 16 * 7 + 48 * 6 + 144 * 5 + 432 * 4);
    EXPECT_EQ(stack.depth(), 1u);
    EXPECT_EQ(stack.top(), identity());
    for (float v : batch.vertices) {
        ASSERT_TRUE(std::isfinite(v));
    }
}

TEST(LightTree, StaysBoundedWhateverItIsHanded) {
    for (const LightTreeLevel& level :
         {LightTreeLevel{1.0, 9, 0.3, 1e6, 0.94, 0.2, -1e3, 1.9},
          LightTreeLevel{1.0, 1000, 0.3, 7.0, 0.94, 0.2, 0.1, 1.9},
          LightTreeLevel{1.0, 9, 0.3, std::nan(""), 2.0, 5.0, 0.1, 1.9}}) {
        ModelviewStack stack(identity());
        QuadBatch batch;
        EXPECT_EQ(growLightTree(stack, batch, level), 645);
        EXPECT_EQ(stack.depth(), 1u);
    }
    // The smallest levels draw their sprites and stop.
    for (int n : {4, 3, 0, -5}) {
        ModelviewStack stack(identity());
        QuadBatch batch;
        EXPECT_EQ(growLightTree(stack, batch, LightTreeLevel{1.0, n, 0.3, 0, 0.94, 0.2, 0, 0}), 1);
        EXPECT_EQ(batch.quadCount(), static_cast<std::size_t>(std::max(n, 0)));
    }
}

TEST(LightTree, UnbentTrunkRisesStraightUpWithShrinkingSprites) {
    ModelviewStack stack(identity());
    QuadBatch batch;
    growLightTree(stack, batch, LightTreeLevel{1.0, 4, 0.3, 0.0, 0.5, 1.0, 0.0, 0.0});
    ASSERT_EQ(batch.quadCount(), 4u);
    double lastY = 0.0;
    double lastWidth = 1e9;
    for (std::size_t k = 0; k < 4; ++k) {
        const float* corner = &batch.vertices[12 * k]; // lower left, then lower right
        const double width = corner[3] - corner[0];
        const double centreY = corner[1] + 0.5 * width;
        EXPECT_NEAR(corner[0] + corner[3], 0.0, 1e-6); // centred on x = 0
        EXPECT_GT(centreY, lastY);
        EXPECT_LT(width, lastWidth);
        lastY = centreY;
        lastWidth = width;
    }
    // Four steps of 1 at the shrinking scales 1/2, 1/4, 1/8, 1/16.
    EXPECT_NEAR(lastY, 0.5 + 0.25 + 0.125 + 0.0625, 1e-6);
}

TEST(QuadBatch, FacingQuadIsTheBillboardedUnitQuad) {
    // A view turned about two axes, placed away from the origin.
    Matrix4 view = identity();
    ModelviewStack turned(view);
    turned.translate(0.3, -1.0, -7.0);
    turned.rotate(35.0, 0.0, 1.0, 0.0);
    turned.rotate(-20.0, 1.0, 0.0, 0.0);
    turned.translate(1.0, 2.0, 0.5);
    const float colour[4] = {1.0f, 0.3f, 0.3f, 1.0f};
    QuadBatch direct, billboarded;
    direct.addFacingQuad(turned.top(), 0.25, 0.4, colour);
    turned.faceViewer();
    turned.scale(0.25, 0.4, 3.0);
    billboarded.addUnitQuad(turned.top(), colour);
    ASSERT_EQ(direct.vertices.size(), 12u);
    for (std::size_t i = 0; i < 12; ++i) {
        EXPECT_NEAR(direct.vertices[i], billboarded.vertices[i], 1e-6) << i;
    }
    EXPECT_EQ(direct.texCoords, billboarded.texCoords);
    EXPECT_EQ(direct.colours, billboarded.colours);
}

// A window for the frame and matrix checks that need GL: the one an earlier
// suite opened, or a fresh one.
class RainAndVaseFrame : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ready_ = testing_gl::openFrameTestWindow();
        if (!ready_) {
            return;
        }
        const std::vector<unsigned char> black(512 * 512 * 3, 0);
        for (int id : {5110, 5111}) {
            GLuint name = 0;
            glGenTextures(1, &name);
            glBindTexture(GL_TEXTURE_2D, name);
            glTexImage2D(GL_TEXTURE_2D, 0, 3, 512, 512, 0, GL_RGB, GL_UNSIGNED_BYTE, black.data());
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
            textures_[id] = name;
        }
        while (glGetError() != GL_NO_ERROR) {
        }
    }

    void SetUp() override {
        // Every frame starts from a fresh process's random sequence, so a
        // check does not depend on which tests drew numbers before it.
        gfx::restartRandomSequence();
        if (!ready_) {
            GTEST_SKIP() << "no GL context: " << platform::lastError();
        }
    }

    static bool ready_;
    static TextureTable textures_;
};

bool RainAndVaseFrame::ready_ = false;
TextureTable RainAndVaseFrame::textures_{};

TEST_F(RainAndVaseFrame, CpuStackMatchesGl) {
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glTranslatef(0.5f, -1.0f, -6.0f);
    glRotatef(30.0f, 0.2f, 1.0f, 0.0f);
    Matrix4 start;
    glGetDoublev(GL_MODELVIEW_MATRIX, start.data());
    ModelviewStack stack(start);
    glScalef(0.94f, 0.94f, 0.94f);
    stack.scale(0.94, 0.94, 0.94);
    glRotatef(75.0f, -1.0f, 0.0f, -1.0f);
    stack.rotate(75.0, -1.0, 0.0, -1.0);
    glTranslatef(0.0f, 0.2f, 0.0f);
    stack.translate(0.0, 0.2, 0.0);
    glRotatef(-50.0f, 0.0f, 0.0f, 2.0f);
    stack.rotate(-50.0, 0.0, 0.0, 2.0);
    Matrix4 gl;
    glGetDoublev(GL_MODELVIEW_MATRIX, gl.data());
    for (int i = 0; i < 16; ++i) {
        EXPECT_NEAR(stack.top()[i], gl[i], 1e-5) << i;
    }
    gfx::faceViewerKeepingDepth();
    stack.faceViewerKeepingDepth();
    glGetDoublev(GL_MODELVIEW_MATRIX, gl.data());
    for (int i = 0; i < 16; ++i) {
        EXPECT_NEAR(stack.top()[i], gl[i], 1e-5) << i;
    }
    glPopMatrix();
}

TEST_F(RainAndVaseFrame, SunRaysFanInFromTheLeft) {
    auto segment = readySegment();
    double t = 14.5;
    EXPECT_FALSE(renderPart4(*segment, 0, textures_, &t, offscreenBuffer));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    // Without the asset pack the rays still draw (they are untextured): warm
    // light on the left, darkness on the right.
    std::vector<std::uint8_t> rgb;
    platform::readPicture(rgb);
    const auto left = testing_gl::pixelAt(rgb, 800, 60, 400);
    const auto right = testing_gl::pixelAt(rgb, 800, 740, 400);
    EXPECT_GT(left.r, 100);
    EXPECT_GT(left.r, left.b);
    EXPECT_LT(right.r + right.g + right.b, 30);
}

TEST_F(RainAndVaseFrame, LastMomentDrawsThenTheSegmentFinishes) {
    auto segment = readySegment();
    double t = 87.0;
    EXPECT_FALSE(renderPart4(*segment, 0, textures_, &t, offscreenBuffer));
    EXPECT_EQ(segment->frameCounter, 1);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    t = 87.0 + 1e-9;
    EXPECT_TRUE(renderPart4(*segment, 0, textures_, &t, offscreenBuffer));
    EXPECT_EQ(segment->frameCounter, 1);
}

} // namespace
