// The four Layers' planning, without GL: when each stops drawing, the rising
// jellyfish's fade, the goldfish's strokes, camera and wag, the tiles' order
// of arrival and fade, and the star fractal's camera.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

#include "anim/timing.h"
#include "segments/layer_state.h"
#include "segments/layers.h"

namespace {

using namespace segments;

// The first Layer time each Layer is drawn with and the value it stops at.
double firstTime(Layer layer) {
    const timing::LayerClock& clock = timing::kLayerClocks[static_cast<int>(layer)];
    return (clock.start - clock.origin) * clock.scale;
}
double endTime(Layer layer) {
    return timing::kLayerClocks[static_cast<int>(layer)].end;
}

double distance(const TVector& a, const TVector& b) {
    return std::sqrt((a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y) +
                     (a.z - b.z) * (a.z - b.z));
}

// How far the view direction from eye to centre is from the up vector, as the
// sine of the angle between them: gluLookAt breaks down near 0.
double viewAgainstUp(const TVector& eye, const TVector& centre, const TVector& up) {
    const double fx = centre.x - eye.x, fy = centre.y - eye.y, fz = centre.z - eye.z;
    const double cx = fy * up.z - fz * up.y, cy = fz * up.x - fx * up.z, cz = fx * up.y - fy * up.x;
    const double upLength = std::sqrt(up.x * up.x + up.y * up.y + up.z * up.z);
    return std::sqrt(cx * cx + cy * cy + cz * cz) / (distance(eye, centre) * upLength);
}

TEST(LayerEnds, EachLayerDrawsUpToItsEndAndNotFromIt) {
    for (Layer layer : {Layer::A, Layer::B, Layer::C, Layer::D}) {
        const double end = endTime(layer);
        EXPECT_TRUE(layerDrawsAt(layer, firstTime(layer)));
        EXPECT_TRUE(layerDrawsAt(layer, std::nextafter(end, 0.0)));
        EXPECT_FALSE(layerDrawsAt(layer, end));
        EXPECT_FALSE(layerDrawsAt(layer, end + 1000.0));
        EXPECT_FALSE(layerDrawsAt(layer, std::numeric_limits<double>::quiet_NaN()));
    }
    EXPECT_NEAR(firstTime(Layer::B), 9.784, 1e-9); // Layer B starts part way in
}

TEST(RisingJellyfish, StartInAColumnOfDiscsAndFadeInAndOut) {
    JellyPoints points;
    initLayerA(points);
    for (std::size_t k = 0; k < points.size(); ++k) {
        EXPECT_EQ(points[k].state, 1);
        EXPECT_LT(std::hypot(points[k].x, points[k].z), 8.0);
        EXPECT_NEAR(points[k].y, 30.0 + 0.4 * static_cast<double>(k), 1e-12);
    }
    // Not all in one place: the disc is filled.
    EXPECT_GT(std::abs(points[3].x - points[4].x) + std::abs(points[3].z - points[4].z), 1e-3);

    EXPECT_NEAR(risingJellyfishFade(0.0), 0.0, 1e-12);
    EXPECT_NEAR(risingJellyfishFade(20.0), 1.0, 1e-12);
    // Just before the end the Layer still draws, all but invisible.
    const double last = std::nextafter(endTime(Layer::A), 0.0);
    EXPECT_GE(risingJellyfishFade(last), 0.0);
    EXPECT_LT(risingJellyfishFade(last), 1e-8);
    // A negative strength would darken the picture through the additive glow.
    for (double tau = 0.0; tau < endTime(Layer::A); tau += 0.37) {
        for (int i = 1; i < 50; ++i) {
            EXPECT_GE(risingJellyfishStrength(i, tau), 0.0) << i << " at " << tau;
        }
    }
    const TVector p = risingJellyfishPosition(points, 7, 10.0);
    EXPECT_DOUBLE_EQ(p.y, points[7].y - 5.5);
    EXPECT_DOUBLE_EQ(p.x, points[7].x);
}

class Goldfish : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        fish_ = std::make_unique<inter1>();
        initLayerB(*fish_); // reads hlvd/goldfish.asc from the build folder
    }
    static inline std::unique_ptr<inter1> fish_;
};

TEST_F(Goldfish, SwimsInStrokesOfFiveKicksAndTwoGlides) {
    const KeyTrack& swum = fish_->fishPath.tracks[0];
    ASSERT_EQ(swum.size(), static_cast<std::size_t>(kFishPathKeys));
    EXPECT_EQ(fish_->fishPath.keyCount, kFishPathKeys);
    const double kicks[5] = {1.5, 1.0499999999999998, 0.7349999999999999, 0.5144999999999998,
                             0.36014999999999986};
    double before = 0.0;
    for (int i = 0; i < kFishPathKeys; ++i) {
        const double step = swum[static_cast<std::size_t>(i)].x - before;
        const int k = i % 7;
        EXPECT_NEAR(step, 1.2 + (k < 5 ? kicks[k] : 0.0), 1e-9) << "key " << i;
        before = swum[static_cast<std::size_t>(i)].x;
    }
}

TEST_F(Goldfish, CameraStaysOnItsKeysAndNeverDegenerates) {
    double lowest = 1e9, highest = -1e9;
    for (double tau = firstTime(Layer::B); tau < endTime(Layer::B); tau += 0.25) {
        for (int i = 0; i < 3; ++i) {
            const GoldfishPlan plan = planGoldfish(*fish_, i, tau);
            EXPECT_GT(distance(plan.eye, plan.centre), 0.5) << i << " at " << tau;
            EXPECT_GT(viewAgainstUp(plan.eye, plan.centre, plan.up), 0.3) << i << " at " << tau;
            EXPECT_GE(plan.brightness, -0.05);
            EXPECT_LE(plan.brightness, 1.05);
            EXPECT_LE(std::abs(plan.wag), 0.7);
            lowest = std::min(lowest, plan.brightness);
            highest = std::max(highest, plan.brightness);
        }
    }
    // The eyes and fins light up in the middle and are dark at the ends.
    EXPECT_GT(highest, 0.95);
    EXPECT_LT(planGoldfish(*fish_, 0, firstTime(Layer::B)).brightness, 0.2);
    EXPECT_LT(planGoldfish(*fish_, 2, endTime(Layer::B)).brightness, 0.2);
    EXPECT_LT(lowest, 0.2);
}

// Where fish i's middle lands on the 800 x 600 picture through its own
// camera (45 degree view), and how many pixels one unit spans there.
struct OnScreen {
    double x, y, pixelsPerUnit;
};
// `along` moves the point from the fish's middle toward its head (+z).
OnScreen fishOnScreen(const GoldfishPlan& plan, double along = 0.0) {
    const auto sub = [](const TVector& a, const TVector& b) {
        return makeKey(a.x - b.x, a.y - b.y, a.z - b.z);
    };
    const auto dot = [](const TVector& a, const TVector& b) {
        return a.x * b.x + a.y * b.y + a.z * b.z;
    };
    const auto cross = [](const TVector& a, const TVector& b) {
        return makeKey(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x);
    };
    const auto unit = [&](const TVector& a) {
        const double l = std::sqrt(dot(a, a));
        return makeKey(a.x / l, a.y / l, a.z / l);
    };
    const TVector forward = unit(sub(plan.centre, plan.eye));
    const TVector side = unit(cross(forward, plan.up));
    const TVector up = cross(side, forward);
    const TVector d =
        sub(makeKey(plan.position.x, plan.position.y, plan.position.z + along), plan.eye);
    const double depth = dot(d, forward);
    const double focal = 300.0 / std::tan(22.5 * 3.14159265358979 / 180.0);
    return {400.0 + focal * dot(d, side) / depth, 300.0 - focal * dot(d, up) / depth,
            focal / depth};
}

// The three fish's plans at tau; true when every one glows above `least`.
bool planGlowingSchool(const inter1& fish, double tau, double least, GoldfishPlan (&plans)[3]) {
    bool allGlow = true;
    for (int i = 0; i < 3; ++i) {
        plans[i] = planGoldfish(fish, i, tau);
        allGlow = allGlow && plans[i].brightness > least;
    }
    return allGlow;
}

TEST_F(Goldfish, GlowingFishNeverCoverOneAnother) {
    // A fish is about 2.2 units long and 0.8 tall: two whose middles are
    // closer than that on screen read as one doubled sprite. While all three
    // glow, every pair keeps at least half a body's length or height apart.
    int glowing = 0;
    for (double tau = firstTime(Layer::B); tau < endTime(Layer::B); tau += 0.5) {
        GoldfishPlan plans[3];
        if (!planGlowingSchool(*fish_, tau, 0.95, plans)) {
            continue;
        }
        ++glowing;
        for (int a = 0; a < 3; ++a) {
            for (int b = a + 1; b < 3; ++b) {
                const OnScreen p = fishOnScreen(plans[a]), q = fishOnScreen(plans[b]);
                const double scale = 0.5 * (p.pixelsPerUnit + q.pixelsPerUnit);
                const double along = (p.x - q.x) / (2.2 * scale),
                             across = (p.y - q.y) / (0.8 * scale);
                EXPECT_GT(std::hypot(along, across), 0.45)
                    << "fish " << a << " and " << b << " at " << tau;
            }
        }
    }
    EXPECT_GT(glowing, 100);
}

TEST_F(Goldfish, GlowingFishEachSwimTheirOwnWayAcrossTheNight) {
    // Seen through one camera the three would keep one heading and one
    // spacing, a rigid formation; each must be seen from its own side. The
    // school also crosses the picture from right to left, low enough to
    // leave the panorama's moon clear.
    double spreadSum = 0.0, firstX = 0.0, lastX = 0.0;
    int glowing = 0;
    for (double tau = firstTime(Layer::B); tau < endTime(Layer::B); tau += 0.5) {
        GoldfishPlan plans[3];
        if (!planGlowingSchool(*fish_, tau, 0.99, plans)) {
            continue;
        }
        double lowest = 1e9, highest = -1e9, x = 0.0;
        for (const GoldfishPlan& plan : plans) {
            const OnScreen head = fishOnScreen(plan, 1.1), tail = fishOnScreen(plan, -1.1);
            const double heading = std::atan2(tail.y - head.y, head.x - tail.x);
            // Headings near 180 degrees wrap; fold them round the first fish's.
            const double first = lowest > highest ? heading : lowest;
            const double folded = first + std::remainder(heading - first, 2.0 * 3.14159265358979);
            lowest = std::min(lowest, folded);
            highest = std::max(highest, folded);
            const OnScreen middle = fishOnScreen(plan);
            EXPECT_GT(middle.y, 270.0) << "at " << tau;
            x += middle.x / 3.0;
        }
        spreadSum += (highest - lowest) * 180.0 / 3.14159265358979;
        lastX = x;
        firstX = glowing == 0 ? x : firstX;
        ++glowing;
    }
    ASSERT_GT(glowing, 100);
    EXPECT_GT(spreadSum / glowing, 12.0);
    // About three of its own lengths: the fish are drawn small, so the
    // crossing spans fewer pixels than their flight would at full size.
    EXPECT_GT(firstX - lastX, 300.0);
}

TEST_F(Goldfish, SwimSmallAndLowWhileTheMosaicSwirls) {
    // From 110 s to 114 s the mosaic swirls over the moon; the fish are drawn
    // over everything, so there they keep to the lower part of the picture
    // and stay small enough to leave the mosaic readable.
    int seen = 0;
    for (double seconds = 110.0; seconds <= 114.0; seconds += 0.25) {
        const double tau =
            (1000.0 * seconds * timing::kGlobalScale - timing::kLayerClocks[1].origin) *
            timing::kLayerClocks[1].scale;
        for (int i = 0; i < 3; ++i) {
            const OnScreen p = fishOnScreen(planGoldfish(*fish_, i, tau));
            EXPECT_LT(2.2 * p.pixelsPerUnit, 115.0) << "fish " << i << " at " << seconds << " s";
            EXPECT_GT(p.y, 350.0) << "fish " << i << " at " << seconds << " s";
            ++seen;
        }
    }
    EXPECT_EQ(seen, 51);
}

TEST_F(Goldfish, GlowingFishLeaveTheNightAroundThem) {
    // Over the moon panorama the school is a part of the picture, not a
    // cover on it: while a fish glows its body spans at most a quarter of
    // the width, and its middle stays inside the picture.
    int glowing = 0;
    for (double tau = firstTime(Layer::B); tau < endTime(Layer::B); tau += 0.5) {
        for (int i = 0; i < 3; ++i) {
            const GoldfishPlan plan = planGoldfish(*fish_, i, tau);
            if (plan.brightness < 0.99) {
                continue;
            }
            ++glowing;
            const OnScreen p = fishOnScreen(plan);
            EXPECT_LT(2.2 * p.pixelsPerUnit, 200.0) << "fish " << i << " at " << tau;
            EXPECT_GT(p.x, 0.0);
            EXPECT_LT(p.x, 800.0);
            EXPECT_GT(p.y, 0.0);
            EXPECT_LT(p.y, 600.0);
        }
    }
    EXPECT_GT(glowing, 300);
}

TEST_F(Goldfish, SharedVerticesRedrawEveryLoadedCorner) {
    ASSERT_GT(fish_->faceCount, 100) << "hlvd/goldfish.asc did not load";
    ASSERT_GT(fish_->vertexCount, 0);
    // Each corner shares a vertex: a smooth skin needs far fewer vertices
    // than corners, and the vertex a corner points at is that corner exactly.
    EXPECT_LT(fish_->vertexCount, fish_->faceCount);
    for (int k = 0; k < 3 * fish_->faceCount; ++k) {
        const int v = fish_->cornerVertex[k];
        ASSERT_LT(v, fish_->vertexCount);
        for (int a = 0; a < 3; ++a) {
            ASSERT_EQ(fish_->vertexPositions[v][a], fish_->positions[k / 3][3 * (k % 3) + a]);
            ASSERT_EQ(fish_->vertexNormals[v][a], fish_->normals[k / 3][3 * (k % 3) + a]);
        }
    }
}

TEST_F(Goldfish, OnlyTheTailWagsSideways) {
    ASSERT_GT(fish_->faceCount, 100) << "hlvd/goldfish.asc did not load";
    ASSERT_LE(fish_->faceCount, kGoldfishMaxFaces);
    wagGoldfish(*fish_, 0.0);
    for (int v = 0; v < fish_->vertexCount; ++v) {
        for (int a = 0; a < 3; ++a) {
            ASSERT_EQ(fish_->wagged[v][a], fish_->vertexPositions[v][a]);
        }
    }
    wagGoldfish(*fish_, 0.7);
    float tailSwing = 0.0f;
    for (int v = 0; v < fish_->vertexCount; ++v) {
        const float* p = fish_->vertexPositions[v];
        const float* w = fish_->wagged[v];
        EXPECT_EQ(w[2], p[2]);
        if (p[2] <= 0.0f) {
            EXPECT_EQ(w[0], p[0]) << "head vertex moved sideways";
        } else {
            EXPECT_GE(w[0], p[0]);
            tailSwing = std::max(tailSwing, w[0] - p[0]);
        }
        EXPECT_GE(w[1], p[1]);
        EXPECT_LE(w[1] - p[1], 0.7f * 0.3f + 1e-6f);
    }
    EXPECT_GT(tailSwing, 0.2f); // the tail end swings most
    EXPECT_LE(tailSwing, 0.7f * 0.63f + 1e-6f);
}

class Tiles : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        tiles_ = std::make_unique<inter2>();
        initLayerC(*tiles_);
    }
    static int visibleAt(double tau) {
        int count = 0;
        for (int i = -10; i < 10; ++i) {
            for (int j = -10; j < 10; ++j) {
                count += planTile(*tiles_, i, j, tau).alpha > 0.0;
            }
        }
        return count;
    }
    static inline std::unique_ptr<inter2> tiles_;
};

TEST_F(Tiles, ArriveFromTheMiddleOutward) {
    // At the start only the middle shows, faintly; the corners are not there.
    EXPECT_GT(visibleAt(0.0), 0);
    EXPECT_LT(visibleAt(0.0), 200);
    EXPECT_LT(planTile(*tiles_, 0, 0, 0.0).alpha, 0.25);
    const int early = visibleAt(1.0);
    const int later = visibleAt(6.0);
    EXPECT_GT(early, 0);
    EXPECT_LT(early, later);
    EXPECT_LT(later, 400);
    EXPECT_EQ(visibleAt(20.0), 400);
    // The middle is opaque while the corners are still faint or not there.
    EXPECT_LE(planTile(*tiles_, -10, -10, 7.0).alpha, 0.0);
    EXPECT_GT(planTile(*tiles_, 0, 0, 17.0).alpha, 0.99);
    EXPECT_LT(planTile(*tiles_, -10, -10, 15.0).alpha, 0.5);
    // Tiles move and turn while they arrive, then settle.
    bool moved = false;
    for (int j = -10; j < 10 && !moved; ++j) {
        for (double tau = 0.0; tau < 25.0 && !moved; tau += 0.5) {
            const TilePlan plan = planTile(*tiles_, 0, j, tau);
            moved = plan.alpha > 0.05 && std::abs(plan.offset) > 0.02 && std::abs(plan.spin) > 0.02;
        }
    }
    EXPECT_TRUE(moved);
    for (int i = -10; i < 10; ++i) {
        for (int j = -10; j < 10; ++j) {
            const TilePlan plan = planTile(*tiles_, i, j, 24.9);
            EXPECT_NEAR(plan.offset, 0.0, 1e-12) << i << "," << j;
            EXPECT_NEAR(plan.spin, 0.0, 1e-12) << i << "," << j;
        }
    }
}

// Keys 1 to 6 hold the tiles invisible, 7 to 10 ramp them in, 11 on hold
// them opaque: a key later and every tile arrives a key late and faint.
TEST_F(Tiles, OpacityRampsOverKeysSevenToEleven) {
    const Router& path = tiles_->tilePaths[10][10];
    for (int key = 0; key < 6; ++key) {
        EXPECT_DOUBLE_EQ(path.tracks[0][static_cast<std::size_t>(key)].x, 0.0) << key + 1;
    }
    for (int key = 6; key < 11; ++key) {
        EXPECT_DOUBLE_EQ(path.tracks[0][static_cast<std::size_t>(key)].x, key - 5.0) << key + 1;
    }
    EXPECT_DOUBLE_EQ(path.tracks[0][17].x, 5.0);
}

TEST_F(Tiles, FadeTogetherAfterTwentyFiveAndAreGoneBy32Point7) {
    for (int i : {-10, -3, 0, 9}) {
        for (int j : {-10, 0, 4, 9}) {
            EXPECT_NEAR(planTile(*tiles_, i, j, 26.0).alpha, 0.87, 1e-12);
            EXPECT_DOUBLE_EQ(planTile(*tiles_, i, j, 26.0).offset, 0.0);
        }
    }
    // The middle tiles are already opaque, so the fade starts without a jump.
    EXPECT_NEAR(planTile(*tiles_, 0, 0, 25.0).alpha, 1.0, 0.02);
    EXPECT_EQ(visibleAt(32.6), 400);
    EXPECT_EQ(visibleAt(32.7), 0);
    EXPECT_EQ(visibleAt(44.9), 0);
}

TEST(StarFractal, CameraStartsBesideTheStarsAndNeverDegenerates) {
    inter0 stars;
    initLayerD(stars);
    TVector eye, centre;
    starCameraAt(stars, 0.0, eye, centre);
    EXPECT_NEAR(distance(eye, makeKey(5, 0, 3)), 0.0, 1e-12);
    EXPECT_NEAR(distance(centre, makeKey(5, 0, 0)), 0.0, 1e-12);
    // Closest at parameter 4 (tau = 20): inside the fractal.
    starCameraAt(stars, 20.0, eye, centre);
    EXPECT_NEAR(distance(eye, makeKey(0, 0, 0.85)), 0.0, 1e-9);
    EXPECT_NEAR(distance(centre, makeKey(-0.4, 0, 0)), 0.0, 1e-9);
    for (double tau = 0.0; tau < endTime(Layer::D); tau += 0.1) {
        starCameraAt(stars, tau, eye, centre);
        EXPECT_GT(distance(eye, centre), 0.5) << tau;
        EXPECT_GT(viewAgainstUp(eye, centre, makeKey(0, 1, 0)), 0.3) << tau;
    }
}

TEST(StarFractal, ChildrenSitAroundTheirParentAtHalfSize) {
    for (double v : {0.0, 0.4, 1.9}) {
        double sum[3] = {0, 0, 0};
        int scaledFirst = 0;
        for (int c = 0; c < 4; ++c) {
            const StarChild child = starChild(c, v);
            EXPECT_NEAR(std::max(std::abs(child.place[0]), std::abs(child.place[1])), 1.6, 1e-12);
            EXPECT_LE(std::abs(child.tiltDegrees), 30.0);
            EXPECT_GT(child.phaseFactor, 1.0); // phases spread down the levels
            scaledFirst += child.scaleFirst;
            for (int a = 0; a < 2; ++a) {
                sum[a] += child.place[a];
            }
        }
        EXPECT_EQ(scaledFirst, 2);
        EXPECT_NEAR(sum[0], 0.0, 1e-12);               // left and right
        EXPECT_NEAR(sum[1], std::sin(1.3 * v), 1e-12); // up and down, one lifted
    }
}

} // namespace
