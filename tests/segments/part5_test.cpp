// The moon panorama: its clock rules, the warm-up frames, the tile mosaic and
// the recursive creature, planned without GL; then real frames in a headless
// context without the asset pack's pictures.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <vector>

#include "gfx/offscreen_buffer.h"
#include "gfx/random.h"
#include "gfx/texture_table.h"
#include "platform/gl_window.h"
#include "platform/platform.h"
#include "segments/part5.h"

namespace {

double distance(const double a[3], const double b[3]) {
    return std::sqrt((a[0] - b[0]) * (a[0] - b[0]) + (a[1] - b[1]) * (a[1] - b[1]) +
                     (a[2] - b[2]) * (a[2] - b[2]));
}

TEST(MoonPanorama, EndsOnlyAfterItsLastValueAndShowsOnlyThePanoramaInBetween) {
    EXPECT_FALSE(planPart5Frame(212.0).finished);
    EXPECT_TRUE(planPart5Frame(212.0 + 1e-9).finished);
    const Part5FramePlan gone = planPart5Frame(213.0);
    EXPECT_FALSE(gone.mosaic || gone.creature);

    EXPECT_TRUE(planPart5Frame(0.0).mosaic);
    EXPECT_TRUE(planPart5Frame(37.999).mosaic);
    for (double t : {38.0, 50.0, 75.0, 110.0}) {
        const Part5FramePlan plan = planPart5Frame(t);
        EXPECT_FALSE(plan.mosaic) << t;
        EXPECT_FALSE(plan.creature) << t;
        EXPECT_FALSE(plan.finished) << t;
    }
    EXPECT_TRUE(planPart5Frame(110.001).creature);
    EXPECT_TRUE(planPart5Frame(212.0).creature);
}

TEST(MoonPanorama, ScrollsFromBeforeTheFirstPanelToPastTheMiddleOfTheLast) {
    EXPECT_DOUBLE_EQ(panoramaCentre(0.0), -1.0); // the first panel's left edge
    // Panel 4 spans x = 7 .. 9; the view ends looking near its right edge.
    EXPECT_GT(panoramaCentre(212.0), 8.5);
    EXPECT_LT(panoramaCentre(212.0), 9.0);
}

TEST(MoonPanorama, WarmUpTouchesEachNextTextureOnceCountingFramesFromZero) {
    // The first frame's draw comes before the counter moves; the later ones
    // are keyed to the counter after it moved.
    TextureWarmUp first = textureWarmUpFor(0);
    ASSERT_EQ(first.prewarmedCount, 1);
    EXPECT_EQ(first.prewarmed[0], 7202);
    EXPECT_EQ(first.boundCount, 0);

    std::vector<int> prewarmedAt, boundAt;
    for (int c = 1; c < 400; ++c) {
        const TextureWarmUp w = textureWarmUpFor(c);
        if (w.prewarmedCount > 0) {
            prewarmedAt.push_back(c + 1);
            EXPECT_EQ(w.prewarmed[0], c + 1 == 40 ? 7301 : 7302) << c;
        }
        if (w.boundCount > 0) {
            boundAt.push_back(c + 1);
            ASSERT_EQ(w.boundCount, 2);
            EXPECT_EQ(w.bound[0], 7280);
            EXPECT_EQ(w.bound[1], 7281);
        }
    }
    EXPECT_EQ(prewarmedAt, (std::vector<int>{40, 100, 120}));
    EXPECT_EQ(boundAt, (std::vector<int>{140}));
}

TEST(MoonPanorama, TilePathParameterNeverDropsBelowItsFloor) {
    EXPECT_DOUBLE_EQ(tilePathParameter(0.0, -10.8), 1.2);
    EXPECT_DOUBLE_EQ(tilePathParameter(-100.0, 0.0), 1.2);
    EXPECT_DOUBLE_EQ(tilePathParameter(0.0, -50.0), 1.2);
    EXPECT_DOUBLE_EQ(tilePathParameter(10.0, 0.5), 14.0);
    EXPECT_GT(tilePathParameter(0.0, -10.79), 1.2);
}

class MosaicPlan : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        segment_ = std::make_unique<part5>();
        initPart5(*segment_);
    }
    static std::unique_ptr<part5> segment_;
};
std::unique_ptr<part5> MosaicPlan::segment_;

TEST_F(MosaicPlan, TilesStartAsAFlatGridOfBlueSquaresWithoutRed) {
    for (int i : {-10, 0, 9}) {
        for (int e : {-10, 3, 9}) {
            const MosaicTile tile = planMosaicTile(*segment_, i, e, 0.0);
            EXPECT_FLOAT_EQ(tile.colour[0], 0.0f);
            EXPECT_GT(tile.colour[2], 0.0f);
            // An unturned square of side 0.1 around its grid place (the
            // sideways drift is small).
            EXPECT_NEAR(tile.corners[1][0] - tile.corners[0][0], 0.1, 1e-6);
            EXPECT_NEAR(tile.corners[2][1] - tile.corners[1][1], 0.1, 1e-6);
            EXPECT_NEAR(tile.corners[0][1], 0.1 * (i + 1) - 0.05, 1e-6);
            const double x = 0.5 * (tile.corners[0][0] + tile.corners[1][0]);
            EXPECT_NEAR(x, 0.1 * (e + 1), 0.05);
            for (const auto& corner : tile.corners) {
                EXPECT_FLOAT_EQ(corner[2], 0.0f);
            }
        }
    }
}

TEST_F(MosaicPlan, TilesTurnOutOfThePlaneLaterButKeepTheirSize) {
    int turned = 0;
    for (int i = -10; i < 10; i += 3) {
        for (int e = -10; e < 10; e += 3) {
            const MosaicTile tile = planMosaicTile(*segment_, i, e, 30.0);
            for (int k = 0; k < 4; ++k) {
                const auto& a = tile.corners[k];
                const auto& b = tile.corners[(k + 1) % 4];
                // Only x and y are shrunk to the tile size; z keeps the
                // turned unit square's depth.
                const double dx = (a[0] - b[0]) / 0.05, dy = (a[1] - b[1]) / 0.05, dz = a[2] - b[2];
                EXPECT_NEAR(std::sqrt(dx * dx + dy * dy + dz * dz), 2.0, 1e-5);
            }
            turned += std::fabs(tile.corners[0][2]) > 0.01 ? 1 : 0;
        }
    }
    EXPECT_GT(turned, 20);
}

// At any moment the cover runs from clear between the swirl's arms to
// nearly full on them, no stone is a solid wall, and a share of the stones
// takes a plum tint once they turn, some with more red than blue.
TEST_F(MosaicPlan, TilesLieOnArmsWithTheNightBetweenAndSomeTurnPlum) {
    int visible = 0, clear = 0, solid = 0, tinted = 0, wine = 0;
    for (int i = -10; i < 10; ++i) {
        for (int e = -10; e < 10; ++e) {
            const float alpha = planMosaicTile(*segment_, i, e, 2.0).colour[3];
            visible += alpha > 0.2f ? 1 : 0;
            clear += alpha <= 0.0f ? 1 : 0;
            solid += alpha > 0.95f ? 1 : 0;
            const MosaicTile late = planMosaicTile(*segment_, i, e, 37.0);
            tinted += late.colour[0] > 0.05f ? 1 : 0;
            wine += late.colour[0] > 0.05f && late.colour[0] > late.colour[2] ? 1 : 0;
        }
    }
    EXPECT_GT(visible, 150);
    EXPECT_GT(clear, 60);
    EXPECT_EQ(solid, 0);
    EXPECT_GT(tinted, 40);
    EXPECT_LT(tinted, 200);
    EXPECT_GT(wine, 15); // red over blue: a hue of its own, not a bluer stone
}

// A turned tile keeps its unscaled depth, so one tipped toward the viewer
// is stretched into a shard across the picture: until the mosaic's last
// second no corner comes far out of the plane.
TEST_F(MosaicPlan, NoTileTumblesIntoAShardBeforeTheLastSecond) {
    double deepest = 0.0;
    for (double t = 0.0; t < 24.0; t += 0.5) {
        for (int i = -10; i < 10; ++i) {
            for (int e = -10; e < 10; ++e) {
                for (const auto& corner : planMosaicTile(*segment_, i, e, t).corners) {
                    deepest = std::max(deepest, std::fabs(static_cast<double>(corner[2])));
                }
            }
        }
    }
    EXPECT_LT(deepest, 0.5);
}

// A mosaic, not a wall of one blue: what a tile shows (its blue laid over
// the night at its cover) differs from its neighbour's for many pairs, and
// both dark stones and near-clear glass are laid.
TEST_F(MosaicPlan, NeighbouringTilesShowDifferentGlazes) {
    const auto shown = [](const MosaicTile& tile) { return tile.colour[2] * tile.colour[3]; };
    int pairs = 0, contrasting = 0, dark = 0, clear = 0;
    for (int i = -10; i < 10; ++i) {
        for (int e = -10; e < 10; ++e) {
            const MosaicTile tile = planMosaicTile(*segment_, i, e, 2.0);
            dark += tile.colour[2] < 0.15f && tile.colour[3] > 0.4f ? 1 : 0;
            clear += tile.colour[3] < 0.3f ? 1 : 0;
            if (e < 9) {
                const MosaicTile next = planMosaicTile(*segment_, i, e + 1, 2.0);
                if (tile.colour[3] <= 0.2f && next.colour[3] <= 0.2f) {
                    continue; // both between the arms: the night shows through both
                }
                ++pairs;
                contrasting += std::fabs(shown(tile) - shown(next)) > 0.15f ? 1 : 0;
            }
        }
    }
    EXPECT_GT(contrasting, pairs / 3);
    EXPECT_GT(dark, 15);
    EXPECT_GT(clear, 15);
}

// While the mosaic swirls in (about 1.5 s in), the blue stones stay nearly
// square to the grid: spun far, they overlapped into one blue smear with no
// tile to read. Only the red glazes tumble out of the picture.
TEST_F(MosaicPlan, BlueStonesStaySquareToTheGridWhileTheMosaicSwirls) {
    int blue = 0, square = 0;
    for (int i = -10; i < 10; ++i) {
        for (int e = -10; e < 10; ++e) {
            const MosaicTile tile = planMosaicTile(*segment_, i, e, 13.0);
            if (tile.colour[0] > 0.0f) {
                continue;
            }
            ++blue;
            const double dx = tile.corners[1][0] - tile.corners[0][0];
            const double dy = tile.corners[1][1] - tile.corners[0][1];
            square += std::fabs(std::atan2(dy, dx)) < 10.0 * 3.14159265 / 180.0 ? 1 : 0;
        }
    }
    EXPECT_GT(blue, 250);
    EXPECT_GT(square, blue * 9 / 10);
}

TEST(Creature, OnlyTheSmallestNodesDrawNothing) {
    const CreatureNodeDrawing smallest = creatureNodeDrawing(1);
    EXPECT_EQ(smallest.bodyList, 0);
    EXPECT_FALSE(smallest.glow);
    EXPECT_FALSE(smallest.arms);
    EXPECT_EQ(creatureNodeDrawing(2).bodyList, 6002);
    EXPECT_EQ(creatureNodeDrawing(3).bodyList, 6001);
    EXPECT_EQ(creatureNodeDrawing(4).bodyList, 6001);
    for (int level : {2, 3, 4}) {
        EXPECT_TRUE(creatureNodeDrawing(level).glow);
        EXPECT_TRUE(creatureNodeDrawing(level).arms);
    }
}

TEST(Creature, BeadChainsAreLongestAtTheTopAndShortStubsAtLevelTwo) {
    const BeadRange top = beadRange(4);
    EXPECT_EQ(top.end - top.first, 140);
    EXPECT_EQ(top.divisor, 150);
    EXPECT_EQ(beadRange(3).end - beadRange(3).first, 120);
    const BeadRange stub = beadRange(2);
    EXPECT_EQ(stub.first, 20);
    EXPECT_EQ(stub.end, 30);
    EXPECT_EQ(stub.divisor, 80);
}

TEST(Creature, RecursionVisitsFortyNodesInDrawingOrder) {
    CreatureFrame frame;
    double phase = 2.0;
    buildCreature(frame, phase, 150.0, 4);
    ASSERT_EQ(frame.nodes.size(), 40u);
    int perLevel[5] = {};
    for (const CreatureNode& node : frame.nodes) {
        ++perLevel[node.level];
    }
    EXPECT_EQ(perLevel[4], 1);
    EXPECT_EQ(perLevel[3], 3);
    EXPECT_EQ(perLevel[2], 9);
    EXPECT_EQ(perLevel[1], 27);
    // Thirteen nodes with arms, three arms each, 0.01 of phase each.
    EXPECT_EQ(frame.arms.size(), 39u);
    EXPECT_NEAR(phase, 2.13, 1e-12);
    EXPECT_EQ(frame.beads.size(), 3u * 140 + 9u * 120 + 27u * 10);

    // Depth first: the root, then each arm followed at once by its child.
    ASSERT_EQ(frame.steps.size(), 79u);
    EXPECT_EQ(frame.steps[0].kind, CreatureStep::Kind::Node);
    EXPECT_DOUBLE_EQ(frame.nodes[0].phase, 2.0);
    for (std::size_t k = 0; k + 1 < frame.steps.size(); ++k) {
        if (frame.steps[k].kind == CreatureStep::Kind::Arm) {
            const CreatureStep next = frame.steps[k + 1];
            ASSERT_EQ(next.kind, CreatureStep::Kind::Node);
            EXPECT_EQ(frame.nodes[next.index].level, frame.arms[frame.steps[k].index].level - 1);
        }
    }
    // The first child is reached after its parent advanced the phase.
    EXPECT_NEAR(frame.nodes[1].phase, 2.01, 1e-12);
    EXPECT_NEAR(frame.nodes[1].scale, 0.54, 1e-12);
}

TEST(Creature, ArmsStartAtTheBodyAndEndInTheirChild) {
    CreatureFrame frame;
    double phase = 0.0;
    for (double t : {110.5, 140.0, 200.0}) {
        buildCreature(frame, phase, t, 4);
        for (std::size_t k = 0; k + 1 < frame.steps.size(); ++k) {
            if (frame.steps[k].kind != CreatureStep::Kind::Arm) {
                continue;
            }
            const CreatureArm& arm = frame.arms[frame.steps[k].index];
            if (arm.level < 3) {
                continue; // level-2 stubs end in children that draw nothing
            }
            const CreatureNode& child = frame.nodes[frame.steps[k + 1].index];
            const CreatureNode& parent = frame.nodes[0];
            const double* first = frame.beads[arm.firstBead].position;
            const double* last = frame.beads[arm.firstBead + arm.beadCount - 1].position;
            const double reach = distance(child.origin, first);
            EXPECT_LT(distance(last, child.origin), 0.03 * reach) << t;
            if (arm.level == 4) {
                EXPECT_LT(distance(first, parent.origin), 0.25) << t;
                EXPECT_GT(reach, 0.5) << t;
            }
        }
    }
}

TEST(Creature, ArmsOfOneNodeReachInDifferentDirectionsAndBreathe) {
    Router path;
    TVector tips[3], unused2, unused3;
    for (int arm = 0; arm < 3; ++arm) {
        buildArmPath(path, arm, 4, 120.0, 0.5);
        EXPECT_EQ(path.keyCount, 10);
        path.evaluate(0.0, tips[arm], unused2, unused3);
        EXPECT_NEAR(std::hypot(tips[arm].x, tips[arm].z), std::hypot(0.1, 0.1), 1e-12);
        path.evaluate(kChildParameter, tips[arm], unused2, unused3);
    }
    for (int a = 0; a < 3; ++a) {
        for (int b = a + 1; b < 3; ++b) {
            EXPECT_GT(std::hypot(tips[a].x - tips[b].x, tips[a].z - tips[b].z), 0.5);
        }
    }
    // The reach swells and shrinks with time.
    double shortest = 1e9, longest = 0.0;
    for (double t = 110.0; t < 212.0; t += 1.0) {
        buildArmPath(path, 0, 4, t, 0.0);
        TVector tip;
        path.evaluate(kChildParameter, tip, unused2, unused3);
        const double r = std::sqrt(tip.x * tip.x + tip.y * tip.y + tip.z * tip.z);
        shortest = std::min(shortest, r);
        longest = std::max(longest, r);
    }
    EXPECT_GT(longest, 2.0 * shortest);
}

TEST(Creature, AFewBeadsSparkle) {
    CreatureFrame frame;
    double phase = 0.0;
    int sparkling = 0, total = 0;
    for (int f = 0; f < 20; ++f) {
        buildCreature(frame, phase, 120.0 + f, 4);
        for (const CreatureBead& bead : frame.beads) {
            sparkling += bead.sparkling ? 1 : 0;
            ++total;
        }
    }
    // 17 in 1000.
    EXPECT_NEAR(static_cast<double>(sparkling) / total, 0.017, 0.006);
}

// Real frames: white panels stand in for the moon pictures (texture 0 is
// unfinished, so texturing shows the plain colour).
class MoonFrame : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ready_ = testing_gl::openFrameTestWindow();
        if (!ready_) {
            return;
        }
        gfx::restartRandomSequence(); // the tile paths of a fresh process
        segment_ = std::make_unique<part5>();
        initPart5(*segment_);
        startPart5(*segment_);
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

    static std::vector<std::uint8_t> render(double t, bool* finished = nullptr) {
        const bool done = renderPart5(*segment_, 0, textures_, &t, offscreenBuffer);
        if (finished != nullptr) {
            *finished = done;
        }
        std::vector<std::uint8_t> rgb;
        platform::readPicture(rgb);
        return rgb;
    }

    static bool ready_;
    static TextureTable textures_;
    static std::unique_ptr<part5> segment_;
};
bool MoonFrame::ready_ = false;
TextureTable MoonFrame::textures_{};
std::unique_ptr<part5> MoonFrame::segment_;

testing_gl::Rgb screenPixel(const std::vector<std::uint8_t>& rgb, int x, int rowFromTop) {
    return testing_gl::pixelAt(rgb, 800, x, 599 - rowFromTop);
}

TEST_F(MoonFrame, MosaicTintsTheOpeningPanoramaAndThenLeavesItClear) {
    // At the start the view reaches left of the first panel: black there.
    auto rgb = render(0.0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    int tinted = 0;
    for (int x = 420; x < 800; x += 20) {
        const auto p = screenPixel(rgb, x, 300);
        tinted += p.r < 200 && p.b > p.r ? 1 : 0;
    }
    // The dim tiles between the bright arms are nearly clear, so not every
    // sample is tinted.
    EXPECT_GT(tinted, 7);
    EXPECT_LT(screenPixel(rgb, 20, 300).r, 10);

    // Between the mosaic and the creature: the plain panels fill the view.
    rgb = render(60.0);
    for (int x : {5, 400, 795}) {
        for (int y : {5, 300, 595}) {
            const auto p = screenPixel(rgb, x, y);
            EXPECT_EQ(p.r + p.g + p.b, 3 * 255) << x << "," << y;
        }
    }
}

TEST_F(MoonFrame, LastValueStillDrawsTheNextOnlyCounts) {
    const int before = segment_->frameCounter;
    bool finished = true;
    const auto rgb = render(212.0, &finished);
    EXPECT_FALSE(finished);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    // The panorama has scrolled to the last panel's end: black beyond it.
    EXPECT_LT(screenPixel(rgb, 790, 20).r, 10);
    EXPECT_GT(screenPixel(rgb, 10, 20).r, 200);

    render(212.0 + 1e-9, &finished);
    EXPECT_TRUE(finished);
    EXPECT_EQ(segment_->frameCounter, before + 2);
}

} // namespace
