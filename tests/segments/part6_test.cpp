// The underwater picture in a gallery without GL: phase switches, caustic
// frames, mirror and shaft rules, lens discs, sparks and bubbles.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <set>

#include "segments/part6.h"

namespace {

// The first t whose s = 0.18 t reaches `s` in double arithmetic.
double firstTimeAt(double s) {
    double t = s / 0.18;
    while (0.18 * t < s) {
        t = std::nextafter(t, 1e9);
    }
    while (0.18 * std::nextafter(t, -1e9) >= s) {
        t = std::nextafter(t, -1e9);
    }
    return t;
}

TEST(UnderwaterGallery, PictureAndGalleryOverlapForOneUnitOfS) {
    const double start = firstTimeAt(26.0);
    const Part6FramePlan both = planPart6Frame(start);
    EXPECT_TRUE(both.pictureOn);
    EXPECT_TRUE(both.galleryOn);

    const Part6FramePlan before = planPart6Frame(std::nextafter(start, 0.0));
    EXPECT_TRUE(before.pictureOn);
    EXPECT_FALSE(before.galleryOn);

    const Part6FramePlan after = planPart6Frame(firstTimeAt(27.0));
    EXPECT_FALSE(after.pictureOn);
    EXPECT_TRUE(after.galleryOn);
    EXPECT_TRUE(planPart6Frame(std::nextafter(firstTimeAt(27.0), 0.0)).pictureOn);
}

TEST(UnderwaterGallery, GalleryParameterIsExactlyOneWhileTheGalleryIsOff) {
    for (double t : {0.0, 10.0, 100.0, 144.0, std::nextafter(firstTimeAt(26.0), 0.0)}) {
        const Part6FramePlan plan = planPart6Frame(t);
        ASSERT_FALSE(plan.galleryOn) << t;
        EXPECT_EQ(plan.galleryParameter, 1.0) << t;
        EXPECT_FALSE(plan.faceShot) << t;
    }
    // Once on, it follows its own clock from about one.
    const Part6FramePlan on = planPart6Frame(firstTimeAt(26.0));
    EXPECT_NEAR(on.galleryParameter, 1.0, 0.01);
    EXPECT_GT(planPart6Frame(200.0).galleryParameter, 9.0);
}

TEST(UnderwaterGallery, FaceShotStartsAfterFiftySevenGalleryUnits) {
    EXPECT_FALSE(planPart6Frame(204.44).faceShot);
    const Part6FramePlan face = planPart6Frame(204.5);
    EXPECT_TRUE(face.faceShot);
    EXPECT_NEAR(face.faceParameter, 1.0, 0.02);
    // The face camera never runs past its eighteen keys before the end.
    EXPECT_LT(planPart6Frame(287.0).faceParameter, 17.0);
    // The scene camera starts between its second and third key.
    EXPECT_DOUBLE_EQ(planPart6Frame(0.0).sceneParameter, 1.4);
}

TEST(UnderwaterGallery, CausticFramesCycleThroughAllSixteenInOrder) {
    std::set<int> seen;
    int last = causticFrame(0.0);
    EXPECT_EQ(last, 7101);
    for (double t = 0.0; t < 8.0; t += 0.01) {
        const int frame = causticFrame(5.0 * t);
        ASSERT_GE(frame, 7101);
        ASSERT_LE(frame, 7131);
        ASSERT_EQ((frame - 7101) % 2, 0);
        seen.insert(frame);
        if (frame != last) {
            // One step on, wrapping from the last frame to the first.
            EXPECT_EQ((frame - 7101) / 2, ((last - 7101) / 2 + 1) % 16) << t;
        }
        last = frame;
    }
    EXPECT_EQ(seen.size(), 16u);
    // Whole part, not rounding: 15.99 is still frame 15, 16 is frame 0.
    EXPECT_EQ(causticFrame(15.99), 7131);
    EXPECT_EQ(causticFrame(16.0), 7101);
    EXPECT_EQ(causticFrame(0.7 * 5 * 200.0 + 14.0 * 5), 7101 + 2 * (770 % 16));
    // A negative value still names one of the sixteen.
    EXPECT_EQ(causticFrame(-1.5), 7101 + 2 * 15);
}

TEST(UnderwaterGallery, MirrorSkipLeavesTwoOneOrNoPasses) {
    EXPECT_EQ(mirrorPassCount(0.0), 2);
    EXPECT_EQ(mirrorPassCount(0.999), 2);
    EXPECT_EQ(mirrorPassCount(1.0), 1);
    EXPECT_EQ(mirrorPassCount(1.9), 1);
    EXPECT_EQ(mirrorPassCount(2.0), 0);
    EXPECT_EQ(mirrorPassCount(2.07), 0);
    EXPECT_EQ(mirrorPassCount(7.0), 0);
    // A spline dipping below zero never asks for a third mirror.
    EXPECT_EQ(mirrorPassCount(-0.3), 2);
    EXPECT_EQ(mirrorPassCount(-1.5), 2);
}

TEST(UnderwaterGallery, WeakRaysKeepThePictureAndDrawNoShafts) {
    EXPECT_FALSE(raysShine(0.0001));
    EXPECT_EQ(shaftOverlayCount(0.0001), 0);
    EXPECT_FALSE(raysShine(-3.0));
    EXPECT_EQ(shaftOverlayCount(0.0), 0);
    EXPECT_TRUE(raysShine(0.00011));
    EXPECT_EQ(shaftOverlayCount(0.00011), 5);
    EXPECT_EQ(shaftOverlayCount(215.0), 5);
}

TEST(UnderwaterGallery, PictureTrailSettlesInTheClearedPhaseAndGrowsInTheOther) {
    const PictureTrail trail = pictureTrail();
    // Cleared every frame, a still scene settles at a quarter over
    // 1 - 0.81 of its own brightness, and clips where that passes white.
    double settled = 0.0;
    double bright = 0.0;
    for (int frame = 0; frame < 400; ++frame) {
        settled = trailStep(trail, 0.5, settled);
        bright = trailStep(trail, 0.9, bright);
    }
    EXPECT_NEAR(settled, 0.5 * 0.25 / 0.19, 1e-3);
    EXPECT_DOUBLE_EQ(bright, 1.0);
    // Not cleared, the old picture is drawn over itself and grows 6 % a
    // frame until it clips; black stays black.
    double uncleared = 0.2;
    uncleared = trailStep(trail, uncleared, uncleared);
    EXPECT_NEAR(uncleared, 0.2 * 1.06, 1e-9);
    for (int frame = 0; frame < 40; ++frame) {
        uncleared = trailStep(trail, uncleared, uncleared);
    }
    EXPECT_DOUBLE_EQ(uncleared, 1.0);
    EXPECT_EQ(trailStep(trail, 0.0, 0.0), 0.0);
    // A flash leaves a trail that falls by 0.81 a frame.
    double flash = trailStep(trail, 1.0, 0.0);
    EXPECT_NEAR(flash, 0.25, 1e-12);
    flash = trailStep(trail, 0.0, flash);
    EXPECT_NEAR(flash, 0.25 * 0.81, 1e-12);
}

TEST(UnderwaterGallery, MirrorCameraLooksBackAcrossTheMirror) {
    const TVector mirror = makeKey(0.5, -0.1, 0.0);
    // Straight in front: the mirror's camera looks back along -x.
    const TVector straight = mirrorCentre(makeKey(-0.5, -0.1, 0.0), mirror);
    EXPECT_LT(straight.x - mirror.x, -0.1);
    EXPECT_NEAR(straight.z, 0.0, 1e-12);
    // From the viewer's left (+z) the reflection runs on towards -z.
    const TVector oblique = mirrorCentre(makeKey(-0.5, -0.1, 1.0), mirror);
    EXPECT_LT(oblique.x - mirror.x, 0.0);
    EXPECT_LT(oblique.z, 0.0);
    // And the other way round from the right.
    EXPECT_GT(mirrorCentre(makeKey(-0.5, -0.1, -1.0), mirror).z, 0.0);
}

TEST(UnderwaterGallery, LensDiscsStayFiniteFlatAndInsideTheUnitCircle) {
    for (Lens lens : {Lens::A, Lens::B}) {
        for (int e = 0; e <= kLensRings; ++e) {
            for (int l = 0; l <= kLensSegments; ++l) {
                const LensCorner c = lensCorner(lens, e, l);
                for (double v : {c.texture[0], c.texture[1], c.normal[0], c.normal[1], c.normal[2],
                                 c.vertex[0], c.vertex[1]}) {
                    ASSERT_TRUE(std::isfinite(v)) << e << " " << l;
                }
                const double r = std::hypot(c.vertex[0], c.vertex[1]);
                ASSERT_LE(r, 1.0 + 1e-12);
                // Lens B looks into its view; lens A's rim reaches past it.
                const double reach = lens == Lens::B ? 0.0 : 0.2;
                ASSERT_GT(c.texture[0], -reach);
                ASSERT_LT(c.texture[0], 1.0 + reach);
                ASSERT_GT(c.texture[1], -reach);
                ASSERT_LT(c.texture[1], 1.0 + reach);
            }
        }
        // Ring 0 is the rim, the last ring the centre, which sees straight on.
        EXPECT_NEAR(std::hypot(lensCorner(lens, 0, 7).vertex[0], lensCorner(lens, 0, 7).vertex[1]),
                    1.0, 1e-12);
        const LensCorner centre = lensCorner(lens, kLensRings, 13);
        EXPECT_LT(std::hypot(centre.vertex[0], centre.vertex[1]), 1e-4);
        EXPECT_NEAR(centre.texture[0], 0.5, 1e-3);
        EXPECT_NEAR(centre.texture[1], 0.5, 1e-3);
        // Closed: the last segment meets the first.
        EXPECT_NEAR(lensCorner(lens, 5, kLensSegments).texture[0],
                    lensCorner(lens, 5, 0).texture[0], 1e-6);
    }
    // Lens A turns the view over (a lens inverts), lens B keeps it upright.
    const LensCorner rightA = lensCorner(Lens::A, 10, 12); // phi near 90 degrees: +x
    const LensCorner rightB = lensCorner(Lens::B, 10, 12);
    ASSERT_GT(rightA.vertex[0], 0.5);
    EXPECT_LT(rightA.texture[0], 0.5);
    EXPECT_GT(rightB.texture[0], 0.5);
}

TEST(UnderwaterGallery, SparksStartAboveTheFloorAndRespawnHigh) {
    for (int i = 0; i < 2000; ++i) {
        const TVector s = startingSpark();
        ASSERT_GE(s.y, 0.0);
        ASSERT_NEAR(std::sqrt(s.x * s.x + s.y * s.y + s.z * s.z), 12.0, 1e-9);
        ASSERT_EQ(s.state, 1);
        const TVector r = respawnedSpark();
        ASSERT_GE(r.y, 0.0);
        ASSERT_LE(r.y, 8.0 + 13.4 + 1e-9);
        ASSERT_LE(std::hypot(r.x, r.z), 13.4 + 1e-9);
    }
}

TEST(UnderwaterGallery, SparkFallsFadesInAndLandsOnce) {
    SparkTrack track;
    track.append(makeKey(1.0, 5.0, 2.0), 1.0);
    SparkColour c = advanceSpark(track, 0, 0.0, true);
    // Drawn with the old fade: dark blue first, whiter as it fades.
    EXPECT_DOUBLE_EQ(c.r, 0.0);
    EXPECT_DOUBLE_EQ(c.b, 0.4);
    EXPECT_DOUBLE_EQ(track.fade(0), 0.95);
    const double fell = 5.0 - track.position(0).y;
    EXPECT_GE(fell, 0.08);
    EXPECT_LT(fell, 0.14);
    EXPECT_EQ(track.size(), 1);

    // Held still while the sparks are off.
    const TVector held = track.position(0);
    advanceSpark(track, 0, 1.0, false);
    EXPECT_EQ(track.position(0).y, held.y);
    EXPECT_EQ(track.position(0).x, held.x);

    // Lands on the floor, where a new spark starts; then it lies still and
    // starts no more.
    track.position(0).y = 0.35;
    advanceSpark(track, 0, 2.0, true);
    EXPECT_EQ(track.position(0).y, 0.3);
    ASSERT_EQ(track.size(), 2);
    EXPECT_EQ(track.fade(1), 1.0);
    for (int frame = 0; frame < 50; ++frame) {
        advanceSpark(track, 0, 3.0 + frame, true);
    }
    EXPECT_EQ(track.size(), 2);
    EXPECT_EQ(track.position(0).y, 0.3);
    const SparkColour landed = advanceSpark(track, 0, 60.0, true);
    EXPECT_GT(landed.r, 0.9); // faded into a white glow
}

// The whole spark loop, frame after frame as the gallery runs it: the history
// grows without end, memory does not, and the newest sparks keep their index.
TEST(UnderwaterGallery, SparkTrackGrowsButMemoryStaysBounded) {
    auto track = std::make_unique<SparkTrack>();
    for (int i = 0; i < kPart6StartSparks; ++i) {
        track->append(startingSpark(), 1.0);
    }
    std::size_t mostKept = 0;
    for (int frame = 0; frame < 6000; ++frame) {
        const std::int64_t first = firstDrawnSpark(track->size());
        track->dropBefore(first, kPart6SparksDrawn);
        ASSERT_LE(track->firstKept(), first);
        for (std::int64_t i = first; i < track->size(); ++i) {
            advanceSpark(*track, i, frame / 60.0, true);
        }
        mostKept = std::max(mostKept, track->kept());
    }
    EXPECT_GT(track->size(), 10000); // a landing every few frames per spark
    EXPECT_LE(mostKept, static_cast<std::size_t>(2 * kPart6SparksDrawn + 400));
    // The newest spark was appended at full fade or has faded since.
    EXPECT_LE(track->fade(track->size() - 1), 1.0);
    EXPECT_EQ(firstDrawnSpark(1500), 0);
    EXPECT_EQ(firstDrawnSpark(1501), 1);
}

TEST(UnderwaterGallery, DroppingKeepsIndicesOfLaterSparks) {
    SparkTrack track;
    for (int i = 0; i < 10; ++i) {
        track.append(makeKey(i, 1.0, 0.0), 0.1 * i);
    }
    track.dropBefore(4, 5); // only four stale: kept for now
    EXPECT_EQ(track.kept(), 10u);
    track.dropBefore(7, 5);
    EXPECT_EQ(track.kept(), 3u);
    EXPECT_EQ(track.size(), 10);
    EXPECT_EQ(track.firstKept(), 7);
    EXPECT_EQ(track.position(7).x, 7.0);
    EXPECT_DOUBLE_EQ(track.fade(9), 0.9);
    track.append(makeKey(10, 1.0, 0.0), 1.0);
    EXPECT_EQ(track.position(10).x, 10.0);
}

TEST(UnderwaterGallery, BubblesRiseAndWrapBackToTheBottom) {
    auto scene = std::make_unique<part6>();
    scene->bubbleY[0] = -2.99;
    scene->bubbleSpeed[0] = 0.3;
    riseBubble(*scene, 0);
    EXPECT_NEAR(scene->bubbleY[0], -3.05 + 6.0, 1e-12);
    scene->bubbleY[1] = 1.0;
    scene->bubbleSpeed[1] = 0.2;
    riseBubble(*scene, 1);
    EXPECT_NEAR(scene->bubbleY[1], 0.96, 1e-12);
    for (int frame = 0; frame < 500; ++frame) {
        riseBubble(*scene, 1);
        ASSERT_GE(scene->bubbleY[1], -3.0);
        ASSERT_LT(scene->bubbleY[1], 3.0);
    }
}

} // namespace
