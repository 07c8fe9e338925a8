// Layer D: a fractal of dark, flat-shaded stars (four smaller stars around
// each, three levels down) with red glows on the third level, flown through
// over the end of the deep sea and the start of the credits.
#pragma once

#include <cstdint>

#include "anim/router.h"
#include "gfx/offscreen_buffer.h"
#include "gfx/texture_table.h"

inline constexpr int kStarCameraKeys = 15;
// Levels 0 .. 3 are drawn; the third (level 2) carries the glows.
inline constexpr int kStarDeepestLevel = 3;
inline constexpr int kStarGlowLevel = 2;

class inter0 {
public:
    Router starCamera; // track 0 eye, track 1 centre, track 2 zero
};

extern inter0 inter0Object;

namespace segments {

// The camera at Layer time tau.
void starCameraAt(const inter0& self, double tau, TVector& eye, TVector& centre);

// How one child sits on its parent: its place, the axis and angle of its tilt,
// whether it is scaled before the tilt, and its phase relative to the parent's.
struct StarChild {
    double place[3];
    double tiltAxis[3];
    double tiltDegrees; // 30 sin(tiltRate v)
    bool scaleFirst;
    double phaseFactor;
};
// Child c (0..3) of a star with phase v.
StarChild starChild(int c, double v);

} // namespace segments

void initLayerD(inter0& self);
void renderLayerD(inter0& self, std::int32_t cue, TextureTable& textures, double* time,
                  OffscreenBuffer& buffer);
