// The four Layers drawn over the Segments from fixed global times on.
#pragma once

#include <array>
#include <cstdint>

#include "anim/tvector.h"
#include "gfx/offscreen_buffer.h"
#include "gfx/texture_table.h"

// Layer A keeps only its rising points.
using JellyPoints = std::array<TVector, 50>;
class inter0 {}; // Layer D: star fractal
class inter1 {}; // Layer B: goldfish
class inter2 {}; // Layer C: tile break-up

extern JellyPoints jellyPoints;
extern inter0 inter0Object;
extern inter1 inter1Object;
extern inter2 inter2Object;

void initLayerA(JellyPoints& self);
void initLayerB(inter1& self);
void initLayerC(inter2& self);
void initLayerD(inter0& self);
void renderLayerA(JellyPoints& self, std::int32_t cue, TextureTable& textures, double* time,
                  OffscreenBuffer& buffer);
void renderLayerB(inter1& self, std::int32_t cue, TextureTable& textures, double* time,
                  OffscreenBuffer& buffer);
void renderLayerC(inter2& self, std::int32_t cue, TextureTable& textures, double* time,
                  OffscreenBuffer& buffer);
void renderLayerD(inter0& self, std::int32_t cue, TextureTable& textures, double* time,
                  OffscreenBuffer& buffer);
