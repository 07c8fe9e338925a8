// Layer A: fifty small jellyfish drifting away below a camera that looks down
// on them, fading in and out over the change from the butterflies to the rain.
#pragma once

#include <array>
#include <cstdint>

#include "anim/tvector.h"
#include "gfx/offscreen_buffer.h"
#include "gfx/texture_table.h"

// Where each jellyfish starts: a point inside a disc of radius 8, one above
// the other 0.4 apart from height 30 up.
using JellyPoints = std::array<TVector, 50>;

extern JellyPoints jellyPoints;

namespace segments {

// How much of the jellyfish shows: rises from 0 to 1 and back over the
// Layer's 40 units.
double risingJellyfishFade(double tau);
// Glow and body strength of jellyfish i.
double risingJellyfishStrength(int i, double tau);
// Jellyfish i at Layer time tau: its start point sinking at 0.55 a unit.
TVector risingJellyfishPosition(const JellyPoints& points, int i, double tau);

} // namespace segments

// Draws 100 numbers from the shared sequence (two per point).
void initLayerA(JellyPoints& self);
void renderLayerA(JellyPoints& self, std::int32_t cue, TextureTable& textures, double* time,
                  OffscreenBuffer& buffer);
