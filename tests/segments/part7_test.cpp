// The deep sea's clock, switches and data, computed without GL: the cue
// mirror, the floor sprites and the rising swarm at their edges, the giant
// medusa formed by the fish, the tile picture assembling, and that no moment
// of the Segment reads outside its arrays.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "anim/timing.h"
#include "segments/part7.h"

namespace {

// Built once: init draws from the process-wide random sequence.
const part7& deepSea() {
    static const std::unique_ptr<part7> built = [] {
        auto segment = std::make_unique<part7>();
        initPart7(*segment);
        return segment;
    }();
    return *built;
}

TEST(DeepSeaCues, MirrorTheClockAboutTheirCentres) {
    EXPECT_DOUBLE_EQ(remapTimeForCue(500.0, 2), 20.0);
    EXPECT_DOUBLE_EQ(remapTimeForCue(260.0, 2), 260.0); // the mirror's still point
    EXPECT_DOUBLE_EQ(remapTimeForCue(490.0, 3), 510.0);
    EXPECT_DOUBLE_EQ(remapTimeForCue(490.0, 4), 510.0);
    for (std::int32_t cue : {0, 1, 5, 6, -2}) {
        EXPECT_DOUBLE_EQ(remapTimeForCue(123.25, cue), 123.25) << cue;
    }
    // Cues 3 and 4 early in the Segment push the clock past its end.
    EXPECT_GT(remapTimeForCue(31.0, 3), timing::segmentEnd(7));
    EXPECT_LE(remapTimeForCue(32.0, 4), timing::segmentEnd(7));
}

TEST(DeepSeaFloor, SpriteCountFollowsTheFractionWithinTheArray) {
    EXPECT_EQ(floorSpriteCount(0.0), 0);
    EXPECT_EQ(floorSpriteCount(-0.2), 0);
    EXPECT_EQ(floorSpriteCount(std::nan("")), 0);
    EXPECT_EQ(floorSpriteCount(1e-6), 1); // j = 0 is already below 0.0018
    EXPECT_EQ(floorSpriteCount(0.5), 900);
    EXPECT_EQ(floorSpriteCount(1.0), 1800);
    EXPECT_EQ(floorSpriteCount(5.0), kPart7FloorSprites);
}

TEST(DeepSeaFloor, SpritesPastTheFilledOnesAllSitAtOneSpot) {
    const part7& s = deepSea();
    for (int m = 0; m < kPart7FloorSpritesFilled; ++m) {
        const TVector& p = s.floorSprites[m];
        EXPECT_NEAR(std::hypot(p.x, p.y), p.z, 1e-9) << m;
        EXPECT_GE(p.z, 1.6);
        EXPECT_LT(p.z, 2.6);
    }
    for (int m = kPart7FloorSpritesFilled; m < kPart7FloorSprites; ++m) {
        const TVector& p = s.floorSprites[m];
        ASSERT_EQ(p.x, 0.0) << m;
        ASSERT_EQ(p.y, 0.0) << m;
        ASSERT_EQ(p.z, 0.0) << m;
    }
    // The opening asks for more sprites than were filled.
    EXPECT_GT(floorSpriteCount(evaluateControls(s, 6.0).g2.y), kPart7FloorSpritesFilled);
}

TEST(DeepSeaSwarm, GrowsFourPerUnitAndStopsAtFifty) {
    EXPECT_EQ(risingSwarmSize(300.0), 0);
    EXPECT_EQ(risingSwarmSize(300.2), 0);
    EXPECT_EQ(risingSwarmSize(301.0), 4);
    EXPECT_EQ(risingSwarmSize(312.4), 49);
    EXPECT_EQ(risingSwarmSize(312.5), 50);
    EXPECT_EQ(risingSwarmSize(500.0), 50);
    EXPECT_EQ(risingSwarmSize(649.9), 50);
    EXPECT_EQ(risingSwarmSize(650.0), 0);
    // It fades in over its first fifty units.
    EXPECT_LT(riserStrength(301.0, 3), 0.03);
    for (double t = 350.0; t < 650.0; t += 3.1) {
        for (int k : {0, 17, 49}) {
            EXPECT_GE(riserStrength(t, k), 0.1 - 1e-12) << t;
            EXPECT_LE(riserStrength(t, k), 1.1 + 1e-12) << t;
        }
    }
}

TEST(DeepSeaColumn, JellyfishFadeInBelowTheTopAndLeaveFarAbove) {
    const TVector start = makeKey(2.0, 7.0, -1.0);
    // Still below the top edge (y >= 1): not drawn.
    EXPECT_FALSE(planColumnJellyfish(start, 650.0).drawn);
    const ColumnJellyfish entering = planColumnJellyfish(start, 630.0 + 7.0 / 0.3 + 1.0);
    ASSERT_TRUE(entering.drawn);
    EXPECT_NEAR(entering.position.y, -0.3, 1e-9);
    EXPECT_NEAR(entering.opacity, 0.26, 1e-9);
    EXPECT_DOUBLE_EQ(entering.position.x, -3.0);
    EXPECT_DOUBLE_EQ(entering.position.z, 4.0);
    const ColumnJellyfish high = planColumnJellyfish(start, 630.0 + 37.0 / 0.3);
    ASSERT_TRUE(high.drawn);
    EXPECT_DOUBLE_EQ(high.opacity, 1.0);
    EXPECT_FALSE(planColumnJellyfish(start, 630.0 + 57.0 / 0.3 + 0.1).drawn);
}

TEST(DeepSeaMedusa, HeldFishSitOnTheBellAndTentaclesItDescribes) {
    auto segment = std::make_unique<part7>();
    initPart7(*segment);
    const double q = 300.0; // every fish has reached its last key
    aimFishAtMedusa(*segment, q);
    TVector p, c, unused;
    for (int i : {0, 9, 57, 199}) {
        ASSERT_DOUBLE_EQ(fishPathParameter(i, q), 13.0);
        segment->fish[i].evaluate(fishPathParameter(i, q), p, c, unused);
        const TVector want = medusaBellPoint(i / 10, i % 10, q);
        EXPECT_NEAR(p.x, want.x, 1e-9) << i;
        EXPECT_NEAR(p.y, want.y, 1e-9) << i;
        EXPECT_NEAR(p.z, want.z, 1e-9) << i;
        EXPECT_DOUBLE_EQ(c.x, 1.0);
    }
    // Tentacle fish hang below the bell's rim and dim towards their tips.
    double previous = 2.0;
    for (int j = 0; j < 50; j += 7) {
        const int i = 200 + 50 * 3 + j;
        segment->fish[i].evaluate(13.0, p, c, unused);
        EXPECT_NEAR(p.y, 35.6 - 0.15 * q + 0.1 * j, 1e-9);
        EXPECT_LT(c.x, previous);
        EXPECT_GT(c.x, 0.0);
        previous = c.x;
    }
    // Fish beyond the drawn ones keep their own paths.
    const part7& untouched = deepSea();
    for (int i = kPart7FishDrawn; i < kPart7Fish; i += 33) {
        EXPECT_DOUBLE_EQ(segment->fish[i].tracks[0][13].x, untouched.fish[i].tracks[0][13].x);
    }
}

TEST(DeepSeaMedusa, DomeFadesInAndFishLeaveTheirPathsInOrder) {
    EXPECT_DOUBLE_EQ(medusaDomeBrightness(100.0), 0.0);
    EXPECT_DOUBLE_EQ(medusaDomeBrightness(210.0), 0.5);
    EXPECT_DOUBLE_EQ(medusaDomeBrightness(400.0), 1.0);
    EXPECT_FALSE(medusaVisible(220.0));
    EXPECT_TRUE(medusaVisible(220.1));
    EXPECT_FALSE(medusaVisible(640.0));
    // The last fish reach the medusa first.
    EXPECT_LT(fishPathParameter(0, 200.0), 13.0);
    EXPECT_DOUBLE_EQ(fishPathParameter(449, 200.0), 13.0);
}

TEST(DeepSeaTiles, PictureAssemblesFromTheCentreOutAndSettles) {
    const part7& s = deepSea();
    EXPECT_FALSE(tilePictureVisible(140.0));
    EXPECT_FALSE(tilePictureVisible(535.0));
    // Early on the central tile is in while the far corner is still dark.
    bool centreFirst = false;
    for (double t = 141.0; t < 220.0; t += 1.0) {
        if (planTile(s, 0, 0, t).alpha > 0.01 && planTile(s, 4, -5, t).alpha <= 0.01) {
            centreFirst = true;
        }
    }
    EXPECT_TRUE(centreFirst);
    // A little later all 80 tiles show, in place and unturned.
    for (int o = -3; o <= 4; ++o) {
        for (int k = -5; k <= 4; ++k) {
            const TileState tile = planTile(s, o, k, 230.0);
            EXPECT_GT(tile.alpha, 0.9) << o << ", " << k;
            EXPECT_NEAR(tile.sideways, 0.0, 1e-12);
            EXPECT_NEAR(tile.spin, 0.0, 1e-12);
        }
    }
    // Tiles fly in with their own offsets.
    int moving = 0;
    for (int k = -5; k <= 4; ++k) {
        if (s.tiles[k + 10][10].tracks[0][2].y != s.tiles[10][10].tracks[0][2].y) {
            ++moving;
        }
    }
    EXPECT_GT(moving, 5);
}

TEST(DeepSeaTiles, BrightTilesSitInPlaceSoThePictureHasNoSeams) {
    // A tile shifted by even a tenth of its width (0.2) while bright cuts a
    // black seam into the picture; turned, it shows as a tilted slab. Tiles
    // may still move while they flash up on arrival; once lit, they stay put
    // until they are dim.
    const part7& s = deepSea();
    int bright = 0;
    for (double t = 141.0; t < 535.0; t += 0.5) {
        for (int o = -3; o <= 4; ++o) {
            for (int k = -5; k <= 4; ++k) {
                const TileState tile = planTile(s, o, k, t);
                const bool wasLit = planTile(s, o, k, t - 20.0).alpha > 0.95;
                if (tile.alpha > 0.6 && wasLit) {
                    ++bright;
                    ASSERT_LT(std::abs(tile.sideways), 0.02) << o << ", " << k << " at " << t;
                    ASSERT_LT(std::abs(250.0 * tile.spin), 4.0) << o << ", " << k << " at " << t;
                }
            }
        }
    }
    EXPECT_GT(bright, 1000);
}

TEST(DeepSeaTiles, PictureFadesOutInPlace) {
    // Turned while it fades, a tile is stretched toward the camera into a flat
    // grey slab: from its first full showing until it has gone, a tile that
    // can still be seen stays unturned and in place.
    const part7& s = deepSea();
    int fading = 0;
    for (int o = -3; o <= 4; ++o) {
        for (int k = -5; k <= 4; ++k) {
            bool shown = false;
            for (double t = 141.0; t < 535.0; t += 0.5) {
                const TileState tile = planTile(s, o, k, t);
                shown = shown || tile.alpha > 0.95;
                if (!shown) {
                    continue;
                }
                if (tile.alpha <= 0.01) {
                    break; // gone (the path starts over, flying in again)
                }
                if (tile.alpha < 0.5) {
                    ++fading;
                }
                ASSERT_LT(std::abs(tile.sideways), 0.02) << o << ", " << k << " at " << t;
                ASSERT_LT(std::abs(250.0 * tile.spin), 4.0) << o << ", " << k << " at " << t;
            }
        }
    }
    EXPECT_GT(fading, 500);
}

TEST(DeepSeaData, StarsLieOnTheirSphereWithOneOfTwoSizes) {
    const part7& s = deepSea();
    for (int i = 0; i < kPart7Stars; ++i) {
        const TVector& p = s.starPoints[i];
        EXPECT_NEAR(std::sqrt(p.x * p.x + p.y * p.y + p.z * p.z), 34.0, 1e-9) << i;
        EXPECT_TRUE(s.starSize[i] == 1.0 || s.starSize[i] == 2.0) << i;
    }
    for (int k = 0; k < kPart7Risers; ++k) {
        EXPECT_LT(std::hypot(s.risers[k].x, s.risers[k].z + 10.0), 8.0);
        EXPECT_DOUBLE_EQ(s.riserSize[k], 0.4);
    }
}

// While the fish hold the medusa's shape the view is centred on it from close
// enough that it fills a good part of the frame; the eye stays between the
// deep's bounds, and the centre still passes its two marks on either side.
TEST(DeepSeaCamera, ComesInCloseToTheMedusaWhileItHangs) {
    const part7& s = deepSea();
    for (int key = 8; key < kPart7PathKeys; ++key) {
        EXPECT_GE(s.camera7.tracks[0][key].y, -12.0 - 1e-9) << key;
        EXPECT_LE(s.camera7.tracks[0][key].y, 0.0 + 1e-9) << key;
    }
    const TVector before = s.camera7.tracks[1][19];
    const TVector after = s.camera7.tracks[1][32];
    EXPECT_DOUBLE_EQ(before.x, -10.0);
    EXPECT_DOUBLE_EQ(before.y, 6.0);
    EXPECT_DOUBLE_EQ(after.x, -18.0);
    EXPECT_DOUBLE_EQ(after.y, -18.0);
    for (double u = 24.0; u <= 30.0; u += 0.25) {
        TVector eye, centre, up;
        s.camera7.evaluate(u, eye, centre, up);
        const double q = (u - 1.0) * 20.0 - 220.0;
        // The crown sinks as 34 - 0.15 q; the tentacles hang some 6.5 below it.
        const TVector middle{0.0, 34.0 - 0.15 * q + 3.0, -10.0, 1};
        const double vx = centre.x - eye.x, vy = centre.y - eye.y, vz = centre.z - eye.z;
        const double mx = middle.x - eye.x, my = middle.y - eye.y, mz = middle.z - eye.z;
        const double distance = std::sqrt(mx * mx + my * my + mz * mz);
        const double cosine =
            (vx * mx + vy * my + vz * mz) / (std::sqrt(vx * vx + vy * vy + vz * vz) * distance);
        EXPECT_GT(cosine, std::cos(10.0 * 3.14159265 / 180.0)) << u;
        // 6.5 units over the 62-degree view's height at this distance.
        EXPECT_GT(6.5 / (2.0 * distance * std::tan(31.0 * 3.14159265 / 180.0)), 0.35) << u;
    }
}

// Every moment the Segment can show, cue-mirrored ones included (t from
// 520 - 968 up to its end), stays inside the arrays it indexes.
TEST(DeepSeaData, EveryMomentStaysInsideItsArrays) {
    const part7& s = deepSea();
    for (double t = 520.0 - 968.0; t <= 968.0; t += 0.37) {
        const Part7Controls c = evaluateControls(s, t);
        const int floor = floorSpriteCount(c.g2.y);
        ASSERT_GE(floor, 0) << t;
        ASSERT_LE(floor, kPart7FloorSprites) << t;
        const int swarm = risingSwarmSize(t);
        ASSERT_GE(swarm, 0) << t;
        ASSERT_LE(swarm, kPart7Risers) << t;
        if (medusaVisible(t)) {
            for (int i : {0, kPart7FishDrawn - 1}) {
                const double p = fishPathParameter(i, t - 220.0);
                ASSERT_GE(p, 1.0) << t;
                ASSERT_LE(p, kPart7FishKeys - 1.0) << t;
            }
        }
        ASSERT_TRUE(std::isfinite(c.g0.y) && std::isfinite(c.g2.x)) << t;
    }
}

} // namespace
