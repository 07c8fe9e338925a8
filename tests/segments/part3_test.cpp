// The butterfly swarm's script and planning: when it draws, what the effect
// path switches on, the rippled picture, the ring and the swarm; none of
// these needs GL.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "segments/part3.h"

namespace {

std::unique_ptr<part3> initialisedSwarm() {
    auto segment = std::make_unique<part3>();
    initPart3(*segment);
    startPart3(*segment);
    return segment;
}

TVector vec(double x, double y, double z) {
    return makeKey(x, y, z);
}

TEST(ButterflySwarm, DrawsThroughItsLastMomentAndBothPhasesOverlap) {
    const Part3FramePlan last = planPart3Frame(165.6);
    EXPECT_FALSE(last.finished);
    EXPECT_FALSE(last.butterflies);
    EXPECT_TRUE(last.blobbySurface);

    const Part3FramePlan after = planPart3Frame(165.6 + 1e-9);
    EXPECT_TRUE(after.finished);
    EXPECT_FALSE(after.butterflies);
    EXPECT_FALSE(after.blobbySurface);

    EXPECT_TRUE(planPart3Frame(0.0).butterflies);
    EXPECT_FALSE(planPart3Frame(85.0).blobbySurface); // strictly after 85
    const Part3FramePlan overlap = planPart3Frame(90.0);
    EXPECT_TRUE(overlap.butterflies && overlap.blobbySurface);
    EXPECT_FALSE(planPart3Frame(95.0).butterflies); // strictly before 95
}

TEST(ButterflySwarm, PastTheEndReturnsFinishedWithoutTouchingGl) {
    auto segment = initialisedSwarm();
    segment->frameCounter = 7;
    TextureTable textures{};
    OffscreenBuffer buffer; // no context: any drawing would crash here
    double t = 165.61;
    EXPECT_TRUE(renderPart3(*segment, 0, textures, &t, buffer));
    EXPECT_EQ(segment->frameCounter, 7);
    EXPECT_DOUBLE_EQ(t, 165.61);
}

TEST(ButterflySwarm, EffectPathReachesKeyKAtTimeTwoK) {
    auto segment = initialisedSwarm();
    const Router& path = segment->effectPath;
    ASSERT_EQ(path.keyCount, 49);
    for (int k = 0; k < 49; ++k) {
        TVector o1, o2, o3;
        path.evaluate(effectPathParameter(2.0 * k), o1, o2, o3);
        const TVector* outputs[3] = {&o1, &o2, &o3};
        for (int track = 0; track < 3; ++track) {
            const TVector& key = path.tracks[track][k];
            for (int c = 0; c < 3; ++c) {
                EXPECT_DOUBLE_EQ((*outputs[track])[c], key[c]) << "key " << k << " track " << track;
            }
        }
    }
}

TEST(ButterflySwarm, ScriptBringsEyesRipplesRingAndSwarmInTurn) {
    auto segment = initialisedSwarm();
    TVector o1, o2, o3;
    const auto at = [&](double t) {
        segment->effectPath.evaluate(effectPathParameter(t), o1, o2, o3);
    };
    at(1.0); // the swarm opens the Segment, nothing else
    EXPECT_TRUE(spriteSwarmShown(o2));
    EXPECT_FALSE(blobRingShown(o2));
    EXPECT_EQ(eyePlaneCount(o1), 0);
    EXPECT_FALSE(pictureRipples(o3));
    at(13.0); // the ring
    EXPECT_TRUE(blobRingShown(o2));
    EXPECT_FALSE(spriteSwarmShown(o2));
    at(28.0); // four eye planes over a rippling picture
    EXPECT_EQ(eyePlaneCount(o1), 4);
    EXPECT_TRUE(pictureRipples(o3));
    at(80.0); // all quiet before the surface takes over
    EXPECT_FALSE(spriteSwarmShown(o2) || blobRingShown(o2) || pictureRipples(o3));
    EXPECT_EQ(eyePlaneCount(o1), 0);
}

TEST(EyePlanes, CountTruncatesAndNeedsTheSwitch) {
    EXPECT_EQ(eyePlaneCount(vec(1.0, 4.7, 1.0)), 4);
    EXPECT_EQ(eyePlaneCount(vec(0.1, 4.7, 1.0)), 0); // strictly above 0.1
    EXPECT_EQ(eyePlaneCount(vec(0.11, 0.99, 1.0)), 0);
    EXPECT_EQ(eyePlaneCount(vec(1.0, -2.5, 1.0)), 0); // an overshoot below zero
    EXPECT_EQ(eyePlaneCount(vec(1.0, 6.0, 1.0)), 6);
}

TEST(EyePlanes, ThreeHuesRepeatAndFadeWithTheScript) {
    const TVector o1 = vec(1.0, 6.0, 0.5);
    for (int i = 0; i < 3; ++i) {
        const Rgba c = eyePlaneColour(i, o1);
        const Rgba again = eyePlaneColour(i + 3, o1);
        EXPECT_EQ(c.r, again.r);
        EXPECT_EQ(c.g, again.g);
        EXPECT_EQ(c.b, again.b);
        // One channel full, one off, one at half: each plane its own hue.
        const float channels[3] = {c.r, c.g, c.b};
        int full = 0, off = 0;
        for (float v : channels) {
            full += v == 1.0f;
            off += v == 0.0f;
        }
        EXPECT_EQ(full, 1);
        EXPECT_EQ(off, 1);
        EXPECT_FLOAT_EQ(c.a, 0.075f);
    }
    EXPECT_NE(eyePlaneColour(0, o1).r, eyePlaneColour(1, o1).r);
}

TEST(RippledPicture, SwitchesOnAboveThreeHundredthsOnly) {
    EXPECT_FALSE(pictureRipples(vec(0.03, -1.0, 0.0)));
    EXPECT_TRUE(pictureRipples(vec(0.0300001, -1.0, 0.0)));
    EXPECT_FALSE(pictureRipples(vec(-0.5, -1.0, 0.0)));
}

TEST(RippledPicture, GridIsSeamlessAndCoversTheUnitQuad) {
    for (double t : {0.0, 27.3, 58.1}) {
        for (double amplitude : {0.031, 0.5, 1.0}) {
            float minX = 1e9f, maxX = -1e9f, minY = 1e9f, maxY = -1e9f;
            for (int d = -10; d < 10; ++d) {
                for (int i = -10; i < 10; ++i) {
                    const auto q = rippleQuad(d, i, t, amplitude);
                    for (const RippleCorner& c : q) {
                        minX = std::min(minX, c.x);
                        maxX = std::max(maxX, c.x);
                        minY = std::min(minY, c.y);
                        maxY = std::max(maxY, c.y);
                    }
                    // The right edge is the next column's left edge, the top
                    // edge the next row's bottom edge: no tears in the picture.
                    if (d < 9) {
                        const auto right = rippleQuad(d + 1, i, t, amplitude);
                        for (auto [mine, theirs] : {std::pair{1, 0}, std::pair{2, 3}}) {
                            EXPECT_NEAR(q[mine].s, right[theirs].s, 1e-6);
                            EXPECT_NEAR(q[mine].t, right[theirs].t, 1e-6);
                            EXPECT_FLOAT_EQ(q[mine].x, right[theirs].x);
                            EXPECT_FLOAT_EQ(q[mine].z, right[theirs].z);
                        }
                    }
                    if (i < 9) {
                        const auto above = rippleQuad(d, i + 1, t, amplitude);
                        for (auto [mine, theirs] : {std::pair{3, 0}, std::pair{2, 1}}) {
                            EXPECT_NEAR(q[mine].s, above[theirs].s, 1e-6);
                            EXPECT_NEAR(q[mine].t, above[theirs].t, 1e-6);
                            EXPECT_FLOAT_EQ(q[mine].y, above[theirs].y);
                        }
                    }
                }
            }
            EXPECT_FLOAT_EQ(minX, -1.0f);
            EXPECT_FLOAT_EQ(maxX, 1.0f);
            EXPECT_FLOAT_EQ(minY, -1.0f);
            EXPECT_FLOAT_EQ(maxY, 1.0f);
        }
    }
}

TEST(RippledPicture, WithoutAmplitudeItMapsLikeThePlainQuad) {
    for (int d : {-10, -3, 9}) {
        for (int i : {-10, 0, 9}) {
            for (const RippleCorner& c : rippleQuad(d, i, 12.5, 0.0)) {
                EXPECT_NEAR(c.s, (c.x + 1.0f) / 2.0f, 1e-6);
                EXPECT_NEAR(c.t, (c.y + 1.0f) / 2.0f, 1e-6);
            }
        }
    }
}

TEST(BlobRing, AllOneHundredEightyTwoBlobsOnlyWhileSwitchedOn) {
    std::array<RingBlob, kPart3RingBlobCount> blobs{};
    EXPECT_EQ(planBlobRing(10.0, vec(0.0, 0.0, 0.03), blobs), 0);
    ASSERT_EQ(planBlobRing(10.0, vec(0.0, 0.0, 1.0), blobs), 182);
    // The seven rings stay within reach of their centre line.
    for (const RingBlob& blob : blobs) {
        EXPECT_LT(std::abs(blob.y), 13.01f);
        EXPECT_LT(blob.x, 13.0f + 13.8f);
        EXPECT_GT(blob.x, -13.0f - 13.8f);
    }
}

TEST(SpriteSwarm, EachSpriteTakesThePreviousSpritesColour) {
    auto segment = initialisedSwarm();
    const TVector o2 = vec(0.6, 0.0, 0.0);
    for (double t : {12.0, 60.0}) {
        std::array<SwarmSprite, kPart3SpriteCount> sprites;
        planSpriteSwarm(segment->blobPaths, t, o2, sprites);
        // Sprite 0 has no predecessor: zero outputs give the plain colour.
        const Rgba first = sprites[0].colour;
        if (t > 50.0) {
            EXPECT_FLOAT_EQ(first.r, 1.0f);
            EXPECT_FLOAT_EQ(first.g, 1.0f);
            EXPECT_FLOAT_EQ(first.b, 0.4f);
        } else {
            EXPECT_FLOAT_EQ(first.r, 1.0f);
            EXPECT_FLOAT_EQ(first.g, 1.0f);
            EXPECT_FLOAT_EQ(first.b, 1.0f);
        }
        for (int i = 1; i < kPart3SpriteCount; ++i) {
            // Sprite i - 1 evaluated on its own gives the tint of sprite i.
            TVector p, q, third;
            segment->blobPaths[i - 1].evaluate(0.28 * t + 1.0 + (i - 1) / 55.0, p, q, third);
            const float tint = static_cast<float>(1.0 - q.x);
            EXPECT_FLOAT_EQ(t > 50.0 ? sprites[i].colour.g : sprites[i].colour.r, tint) << i;
            EXPECT_FLOAT_EQ(sprites[i - 1].place.x, static_cast<float>(p.x));
            EXPECT_FLOAT_EQ(sprites[i].colour.a, 0.6f);
        }
    }
}

TEST(SpriteSwarm, TextureZoomsTowardsItsCentreAsTheSwarmBrightens) {
    EXPECT_NEAR(spriteTextureInset(vec(0.1, 0, 0)), 0.0, 1e-12); // the whole texture
    EXPECT_GT(spriteTextureInset(vec(0.6, 0, 0)), spriteTextureInset(vec(0.3, 0, 0)));
    EXPECT_LT(spriteTextureInset(vec(1.0, 0, 0)), 0.5); // never turned inside out
    EXPECT_FALSE(spriteSwarmShown(vec(0.05, 0, 0)));
    EXPECT_TRUE(spriteSwarmShown(vec(0.051, 0, 0)));
}

TEST(ButterflyPaths, ArriveFromBehindTheViewerAndSpreadOnAWideningRing) {
    auto segment = initialisedSwarm();
    ASSERT_EQ(segment->butterflyCount, kPart3ButterflyCount);
    double innerRadius = 0.0, outerRadius = 0.0;
    for (int i = 0; i < kPart3ButterflyCount; ++i) {
        const Router& path = segment->butterflyPaths[i];
        ASSERT_EQ(path.keyCount, 7);
        TVector p, unused2, unused3;
        path.evaluate(1.0, p, unused2, unused3);
        EXPECT_GT(p.z, 44.0) << i; // behind the swarm's camera
        path.evaluate(2.0, p, unused2, unused3);
        const double radius = std::hypot(p.x, p.y);
        if (i < 20) {
            innerRadius += radius;
        } else if (i >= 60) {
            outerRadius += radius;
        }
        // Every butterfly stays in front of the far plane and off the axis.
        for (double u = 0.0; u < 7.0; u += 0.05) {
            path.evaluate(u, p, unused2, unused3);
            EXPECT_GT(p.z, -60.0);
            EXPECT_LT(p.z, 60.0);
        }
    }
    EXPECT_GT(outerRadius, innerRadius + 20 * 10.0); // about 16 units wider on average
}

TEST(ButterflyPaths, SwarmStartsBetweenTheFarKeysAndTheRing) {
    // At the Segment's start butterfly 0 sits on its far key and the last one
    // is well on its way to the ring: the swarm arrives staggered.
    EXPECT_DOUBLE_EQ(butterflyPathParameter(0, 0.0), 1.0);
    EXPECT_GT(butterflyPathParameter(79, 0.0), 3.0);
    EXPECT_LT(butterflyPathParameter(79, 0.0), 4.0);
    // Neighbours flap a radian apart, and the beat quickens.
    EXPECT_DOUBLE_EQ(butterflyFlap(1, 10.0) - butterflyFlap(0, 10.0), 1.0);
    EXPECT_GT(butterflyFlap(0, 91.0) - butterflyFlap(0, 90.0),
              butterflyFlap(0, 11.0) - butterflyFlap(0, 10.0));
}

TEST(ButterflyWings, FlapInCounterPhaseAndDimWithBrightness) {
    const WingColours up = wingColours(std::asin(1.0), 1.0);
    EXPECT_GT(up.left[0], up.right[0]);
    const WingColours half = wingColours(std::asin(1.0), 0.5);
    for (int c = 0; c < 3; ++c) {
        EXPECT_FLOAT_EQ(half.left[c], 0.5f * up.left[c]);
        EXPECT_FLOAT_EQ(half.right[c], 0.5f * up.right[c]);
    }
    const WingColours level = wingColours(0.0, 1.0);
    EXPECT_FLOAT_EQ(level.left[0], level.right[0]);
}

} // namespace
