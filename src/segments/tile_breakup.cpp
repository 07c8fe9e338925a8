#include "segments/tile_breakup.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>
#include <cstdint>

#include "gfx/drawing.h"
#include "segments/layer_state.h"

inter2 inter2Object;

namespace segments {
namespace {

using namespace gfx;

// ---------------------------------------------------------------- tuning
constexpr int kPictureTexture = 6103;
constexpr int kFirst = -10; // rows and columns run -10 .. 9
// Track 0 x of each key: the opacity ramp (times 5).
constexpr double kOpacityKeys[kTileKeys] = {0, 0, 0, 0, 0, 0, 1, 2, 3, 4, 5, 5, 5, 5, 5, 5, 5, 5};
// How much of a tile's own sideways offset and spin each key holds: the tile
// arrives displaced and turned while still faint, and has settled before it
// is opaque.
constexpr double kDisplacementKeys[kTileKeys] = {0, 0, 0, 0, 0, 1, 0.7, 0.35, 0.1,
                                                 0, 0, 0, 0, 0, 0, 0,   0,    0};
constexpr double kMaxOffset = 0.3; // three tiles
constexpr double kMaxSpin = 0.6;   // 150 degrees
constexpr double kFadeStart = 25.0;
constexpr double kFadeRate = 0.13;
constexpr float kPictureWidth = 1.3333334f;
// ----------------------------------------------------------------

// A fixed value in [-1, 1] for each tile and purpose. Kept apart from the
// shared random sequence, so the tiles do not move every other effect's draws.
double tileNoise(int column, int row, int purpose) {
    std::uint32_t h = static_cast<std::uint32_t>(column * 73856093) ^
                      static_cast<std::uint32_t>(row * 19349663) ^
                      static_cast<std::uint32_t>(purpose * 83492791);
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    h ^= h >> 15;
    return (h % 20001u) / 10000.0 - 1.0;
}

void buildTilePath(Router& path, int column, int row) {
    const double offset = kMaxOffset * tileNoise(column, row, 1);
    const double spin = kMaxSpin * tileNoise(column, row, 2);
    setUpClosedPath(path, 3, kTileKeys, [&](int k, int track) {
        if (track != 0) {
            return makeKey(0.0, 0.0, 0.0);
        }
        return makeKey(kOpacityKeys[k], kDisplacementKeys[k] * offset, kDisplacementKeys[k] * spin);
    });
}

void drawTile(int i, int j, const TilePlan& plan) {
    glPushMatrix();
    glColor4f(1.0f, 1.0f, 1.0f, static_cast<float>(plan.alpha));
    glTranslatef(static_cast<float>(0.1 * (j + 1) + plan.offset), static_cast<float>(0.1 * (i + 1)),
                 0.0f);
    glScalef(0.05f, 0.05f, 1.0f);
    glRotatef(static_cast<float>(250.0 * plan.spin), 0.0f, 0.4f, 1.0f);
    const auto s0 = static_cast<float>((j - kFirst) * 0.05);
    const auto t0 = static_cast<float>((i - kFirst) * 0.05);
    const auto s1 = static_cast<float>((j - kFirst + 1) * 0.05);
    const auto t1 = static_cast<float>((i - kFirst + 1) * 0.05);
    drawQuad(1.0f, 1.0f, TexRect{s0, t0, s1, t1});
    glPopMatrix();
}

} // namespace

TilePlan planTile(const inter2& self, int i, int j, double tau) {
    const double m = 5.0 - 0.3 * std::sqrt((0.3 * i) * (0.3 * i) + static_cast<double>(j * j));
    TVector a0, a1, a2;
    self.tilePaths[static_cast<std::size_t>(j - kFirst)][static_cast<std::size_t>(i - kFirst)]
        .evaluate(0.3 * tau + 1.0 + m, a0, a1, a2);
    if (tau > kFadeStart) {
        a0 = makeKey(5.0, 0.0, 0.0);
        a1 = makeKey(kFadeRate * (tau - kFadeStart), 0.0, 0.0);
    }
    TilePlan plan;
    plan.alpha = 0.2 * a0.x - a1.x;
    plan.offset = a0.y;
    plan.spin = a0.z;
    return plan;
}

} // namespace segments

void initLayerC(inter2& self) {
    for (int column = 0; column < kTileRows; ++column) {
        for (int row = 0; row < kTileRows; ++row) {
            segments::buildTilePath(
                self.tilePaths[static_cast<std::size_t>(column)][static_cast<std::size_t>(row)],
                column, row);
        }
    }
}

void renderLayerC(inter2& self, std::int32_t /*cue*/, TextureTable& textures, double* time,
                  OffscreenBuffer& /*buffer*/) {
    using namespace segments;
    const double tau = *time;
    if (!layerDrawsAt(Layer::C, tau)) {
        return;
    }
    const LayerStateScope scope;
    // The picture must fill the screen whatever view the Segment underneath
    // has set up.
    gfx::loadPerspective(45.0, gfx::kAspect, 0.01, 174.0);
    gfx::bindTexture(textures, kPictureTexture);
    gfx::enableTextureGeneration(false);
    glPushMatrix();
    glLoadIdentity();
    gluLookAt(0.05, 0.05, 2.38, 0.05, 0.05, 0.0, 0.0, 1.0, 0.0);
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    glScalef(kPictureWidth, 1.0f, 1.0f);
    for (int i = kFirst; i < kFirst + kTileRows; ++i) {
        for (int j = kFirst; j < kFirst + kTileRows; ++j) {
            const TilePlan plan = planTile(self, i, j, tau);
            if (plan.alpha > 0.0) {
                drawTile(i, j, plan);
            }
        }
    }
    glPopMatrix();
}
