// Tileable noise for the textures: every function repeats with an integer
// period, so a texture built from it tiles without a seam.
#pragma once

#include <cstdint>

namespace assetgen {

// A stable hash of a lattice point and a seed, in [0, 1).
float latticeHash(int x, int y, std::uint32_t seed);

// Gradient noise in about [-1, 1], repeating every `period` lattice units in x and y.
float periodicNoise(float x, float y, int period, std::uint32_t seed);

// Sum of `octaves` noise layers, each at twice the frequency and `gain` times
// the amplitude of the last; (s, t) in texture units, base period in lattice
// units. Normalised to about [-1, 1].
float fractalNoise(float s, float t, int period, int octaves, float gain, std::uint32_t seed);

// Distances to the nearest and second-nearest feature point of a cellular
// pattern with `period` x `period` cells per texture. Each point circles its
// home with the given radius (in cell units) at angle `phase` plus its own
// offset, so whole-turn phases repeat exactly: animations made from it loop.
struct CellDistances {
    float nearest;
    float second;
};
CellDistances cellularNoise(float s, float t, int period, std::uint32_t seed, float phase = 0,
                            float orbit = 0);

} // namespace assetgen
