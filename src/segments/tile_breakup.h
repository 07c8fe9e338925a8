// Layer C: an underwater painting laid over the end of the moon panorama in
// 400 tiles that fly in from the middle outward, covering the change to the
// gallery, and then fade away together.
#pragma once

#include <array>
#include <cstdint>

#include "anim/router.h"
#include "gfx/offscreen_buffer.h"
#include "gfx/texture_table.h"

inline constexpr int kTileRows = 20;
inline constexpr int kTileKeys = 18;

class inter2 {
public:
    // [column][row]: track 0 x five times the opacity, y a sideways offset,
    // z a spin; track 1 all zero.
    std::array<std::array<Router, kTileRows>, kTileRows> tilePaths;
};

extern inter2 inter2Object;

namespace segments {

// Tile (row i, column j), both -10 .. 9, at Layer time tau.
struct TilePlan {
    double alpha = 0.0; // nothing is drawn at 0 or below
    double offset = 0.0;
    double spin = 0.0; // times 250 degrees
};
TilePlan planTile(const inter2& self, int i, int j, double tau);

} // namespace segments

void initLayerC(inter2& self);
void renderLayerC(inter2& self, std::int32_t cue, TextureTable& textures, double* time,
                  OffscreenBuffer& buffer);
