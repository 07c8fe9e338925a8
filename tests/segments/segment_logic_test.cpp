// Clock, cue and visibility rules of the opening titles and the light tunnel,
// and the shared film overlay and random numbers; none of these needs GL.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <set>

#include "gfx/drawing.h"
#include "gfx/random.h"
#include "segments/film.h"
#include "segments/part1.h"
#include "segments/part2.h"

namespace {

using namespace segments;
using namespace gfx;

TEST(RandomSequence, RepeatsFromItsFixedStartAndCoversFarMoreThanTheModuli) {
    RandomSequence a, b;
    std::array<int, 10> buckets{};
    std::int32_t largest = 0;
    for (int i = 0; i < 20000; ++i) {
        const std::int32_t x = a.next();
        ASSERT_EQ(x, b.next());
        ASSERT_GE(x, 0);
        largest = std::max(largest, x);
        ++buckets[(x % 10000) / 1000];
    }
    EXPECT_GT(largest, 1 << 30);
    // Remainders mod 10000 spread evenly: each tenth within 10 % of 2000.
    for (int count : buckets) {
        EXPECT_NEAR(count, 2000, 200);
    }
}

TEST(FilmOverlay, ScratchCountVariesBetweenFourAndFourteen) {
    FilmMarks marks{};
    std::set<int> counts;
    for (int frame = 0; frame < 3000; ++frame) {
        const FilmFrame f = advanceFilm(marks);
        ASSERT_GE(f.scratchCount, 4);
        ASSERT_LE(f.scratchCount, kFilmMarkCount);
        counts.insert(f.scratchCount);
    }
    // Each further scratch needs a fresh bound above its index: four is common,
    // long runs are rare.
    EXPECT_EQ(counts.count(4), 1u);
    EXPECT_GE(*counts.rbegin(), 9);
}

TEST(FilmOverlay, MarksStartOverInsideTheirRangesAndAgeEveryFrame) {
    restartRandomSequence(); // the draws below are those of a fresh process
    FilmMarks marks{};
    marks[0].life = -1.0; // starts over at once
    marks[2].life = 5.0;  // ages by the scratch and the speck step
    marks[2].size = 2.0;
    FilmFrame f = advanceFilm(marks);
    // Mark 0 was renewed as a scratch, then aged as a speck as well.
    EXPECT_GE(marks[0].x, -1.0);
    EXPECT_LT(marks[0].x, 1.0);
    EXPECT_GE(marks[0].size, 2.0);
    EXPECT_LT(marks[0].size, 2.0 + 3.3);
    EXPECT_LT(marks[0].life, 2.0 - 0.148 + 1e-9);
    EXPECT_NEAR(marks[2].life, 5.0 - 0.048 - 0.1, 1e-12);
    // Specks share marks 0..3 with the scratches, so a speck may carry a
    // scratch's size (up to 5.3) and sit below the film frame's lower edge.
    for (const FilmSpeck& s : f.darkSpecks) {
        EXPECT_GE(s.z, -1.0 - 1e-9);
        EXPECT_LE(s.z, 4.3 * 2.0 / 2.8 - 1.0 + 1e-9);
        EXPECT_TRUE(s.s0 == 0.0f || s.s0 == 0.5f);
        EXPECT_GE(s.grey, 0.2);
        EXPECT_LT(s.grey, 0.5);
    }
}

TEST(FilmOverlay, BrightSpeckComesAboutOneFrameInSix) {
    FilmMarks marks{};
    int bright = 0;
    const int frames = 6000;
    for (int frame = 0; frame < frames; ++frame) {
        bright += advanceFilm(marks).hasBrightSpeck ? 1 : 0;
    }
    EXPECT_NEAR(bright, frames / 6, frames / 30);
}

TEST(FilmOverlay, FrameJumpsOnlyWhileMarkOneWaitsToStartOver) {
    FilmMarks marks{};
    EXPECT_FALSE(frameJumps(marks));
    // Age mark 1 until its life runs out: the frame after that jumps, the one
    // after the renewal does not.
    marks[1].life = 0.1;
    bool sawJump = false;
    for (int frame = 0; frame < 100 && !sawJump; ++frame) {
        const bool before = marks[1].life < 0.0;
        EXPECT_EQ(frameJumps(marks), before);
        sawJump = before;
        advanceFilm(marks);
    }
    EXPECT_TRUE(sawJump);
    // The jumping frame started mark 1 over: it lost no more than one frame's age.
    EXPECT_GE(marks[1].life, -0.148 - 1e-9);
}

// Smear 0 is sharp, 1 invisible.
TEST(OpeningTitles, TitlePathFollowsTheScript) {
    Router path;
    buildTitlePath(path);
    TVector o1, o2, o3;
    auto at = [&](double t) { path.evaluate(titlePathParameter(t), o1, o2, o3); };
    at(0.0);
    EXPECT_DOUBLE_EQ(o1.x, 1.0);
    EXPECT_DOUBLE_EQ(o1.y, 1.0);
    EXPECT_DOUBLE_EQ(o1.z, 0.0); // mesh dark
    EXPECT_DOUBLE_EQ(o2.x, 0.0);
    at(20.0);
    EXPECT_DOUBLE_EQ(o1.z, 1.0); // mesh faded in
    at(45.0);
    EXPECT_DOUBLE_EQ(o1.y, 0.0); // caption sharp
    EXPECT_DOUBLE_EQ(o1.x, 1.0);
    at(60.0);
    EXPECT_DOUBLE_EQ(o1.x, 0.0); // title sharp
    EXPECT_DOUBLE_EQ(o2.x, 1.0); // backdrop lit
    at(80.0);
    EXPECT_DOUBLE_EQ(o1.z, 0.0); // dark at the end
    EXPECT_DOUBLE_EQ(o2.x, 0.0);
    EXPECT_EQ(o3.state, 1);
}

TEST(OpeningTitles, EndsAfterTimeEightyOneWithoutDrawing) {
    part1 segment;
    segment.frameCounter = 41;
    TextureTable textures{};
    OffscreenBuffer buffer;
    double t = 81.0001;
    // No GL context exists here: a frame that drew would touch GL and the
    // off-screen buffer, so returning cleanly shows nothing was drawn.
    EXPECT_TRUE(renderPart1(segment, 0, textures, &t, buffer));
    EXPECT_EQ(segment.frameCounter, 41);
    EXPECT_DOUBLE_EQ(t, 81.0001);
}

TEST(LightTunnel, EndsAfterItsTimeButCountsTheFrame) {
    part2& segment = *new part2; // too large for the stack
    segment.frameCounter = 10;
    TextureTable textures{};
    OffscreenBuffer buffer;
    double t = 76.9501;
    EXPECT_TRUE(renderPart2(segment, 0, textures, &t, buffer));
    EXPECT_EQ(segment.frameCounter, 11);
    delete &segment;
}

TEST(LightTunnel, CueRewindsTheClockForTheFrame) {
    const Part2FramePlan cue5 = planPart2Frame(40.0, 5);
    EXPECT_DOUBLE_EQ(cue5.t, 13.0);
    EXPECT_FALSE(cue5.frontObject); // strictly below 13 only
    EXPECT_FALSE(cue5.gradientWipe);

    const Part2FramePlan early = planPart2Frame(9.5, 0);
    EXPECT_DOUBLE_EQ(early.t, 9.5);
    EXPECT_TRUE(early.frontObject);
    EXPECT_TRUE(early.gradientWipe);

    const Part2FramePlan late = planPart2Frame(12.5, 0);
    EXPECT_TRUE(late.frontObject);
    EXPECT_FALSE(late.gradientWipe);

    EXPECT_DOUBLE_EQ(planPart2Frame(30.0, 1).t, 17.0);
    EXPECT_DOUBLE_EQ(planPart2Frame(30.0, -2).t, 30.0); // only positive cues rewind
}

TEST(LightTunnel, GlowRunsSixTimesAsFastUnderACue) {
    EXPECT_DOUBLE_EQ(glowPathParameter(10.0, 0), 0.243 * 10.0 + 1.0);
    const double rewound = planPart2Frame(50.0, 3).t;
    EXPECT_DOUBLE_EQ(glowPathParameter(rewound, 3), 0.243 * 6.0 * 15.0 + 1.0);
}

TEST(LightTunnel, FloatingObjectsRiseThroughTheirWindow) {
    // Object 0 enters once 8 - 0.5 t < 7 and leaves when 8 - 0.25 t <= -5.
    EXPECT_FALSE(floatingObjectVisible(0, 0.0));
    EXPECT_FALSE(floatingObjectVisible(0, 2.0));
    EXPECT_TRUE(floatingObjectVisible(0, 2.01));
    EXPECT_TRUE(floatingObjectVisible(0, 51.99));
    EXPECT_FALSE(floatingObjectVisible(0, 52.0));
    // Object 19 (h = 36.5) from t > 59 on.
    EXPECT_FALSE(floatingObjectVisible(19, 59.0));
    EXPECT_TRUE(floatingObjectVisible(19, 59.01));
    int atStart = 0;
    for (int i = 0; i < 20; ++i) {
        atStart += floatingObjectVisible(i, 0.0) ? 1 : 0;
    }
    EXPECT_EQ(atStart, 0);
    // Rings: ring 0 is there from the start, ring 19 (h = 28.5) from t > 43.
    EXPECT_TRUE(ringVisible(0, 0.0));
    EXPECT_FALSE(ringVisible(0, 100.0));
    EXPECT_FALSE(ringVisible(19, 43.0));
    EXPECT_TRUE(ringVisible(19, 43.01));
}

TEST(LightTunnel, FacesPairUpFromBothEndsAndFaceZeroKeepsItsPlace) {
    const int n = 7;
    EXPECT_EQ(mirrorFace(0, n), 0);
    for (int i = 1; i < n; ++i) {
        EXPECT_EQ(mirrorFace(i, n), n - i);
        EXPECT_EQ(mirrorFace(mirrorFace(i, n), n), i);
    }
    EXPECT_EQ(mirrorFace(0, 1), 0);
    EXPECT_EQ(mirrorFace(0, 0), 0);
}

} // namespace

namespace {

// What gluPerspective and a translation (with a uniform scale) put into GL,
// column-major.
std::array<double, 16> perspective(double fovDegrees, double aspect, double zNear, double zFar) {
    const double f = 1.0 / std::tan(fovDegrees * M_PI / 360.0);
    std::array<double, 16> m{};
    m[0] = f / aspect;
    m[5] = f;
    m[10] = (zFar + zNear) / (zNear - zFar);
    m[11] = -1.0;
    m[14] = 2.0 * zFar * zNear / (zNear - zFar);
    return m;
}

std::array<double, 16> placed(double x, double y, double z, double scale = 1.0) {
    std::array<double, 16> m{};
    m[0] = m[5] = m[10] = scale;
    m[12] = x;
    m[13] = y;
    m[14] = z;
    m[15] = 1.0;
    return m;
}

TEST(ViewCulling, KeepsWhatCanShowAndDropsWhatCannot) {
    const auto p = perspective(45.0, 4.0 / 3.0, 0.01, 174.0);
    auto inView = [&](const std::array<double, 16>& mv, double r) {
        return gfx::sphereInFrustum(mv.data(), p.data(), r);
    };
    EXPECT_TRUE(inView(placed(0, 0, -4), 1.0));
    // The top edge of the view is at y = 4 tan 22.5 = 1.657 four units away.
    EXPECT_TRUE(inView(placed(0, 2.5, -4), 1.0));      // reaches over the edge
    EXPECT_FALSE(inView(placed(0, 3.0, -4), 0.5));     // wholly above
    EXPECT_TRUE(inView(placed(0, 3.0, -4, 3.0), 0.5)); // scaled up, it reaches in
    EXPECT_FALSE(inView(placed(0, -10, -4), 1.0));
    EXPECT_FALSE(inView(placed(2.3 + 1.2, 0, -4), 1.0)); // right edge at x = 2.21
    EXPECT_TRUE(inView(placed(2.3 + 0.5, 0, -4), 1.0));
    EXPECT_FALSE(inView(placed(0, 0, 5), 1.0));    // behind the camera
    EXPECT_TRUE(inView(placed(0, 0, 0.5), 1.0));   // straddles the near plane
    EXPECT_FALSE(inView(placed(0, 0, -180), 1.0)); // beyond the far plane
}

} // namespace
