// Where the features of the child's face lie, shared by the face mesh
// (child3.asc) and the two face pictures that are mapped onto it, so that the
// painted eyes and mouth land on the modelled ones.
//
// Coordinates are those of the mesh after loading (fitted, GL axes, face looking
// along -z, so the face's own right is +x: seen from the front, +x is on the
// viewer's left). The face shot maps them to texture space with
// s = 0.56 x + 0.51 and t = 0.8984 y + 0.55 (t = 0 is the bottom row of the
// picture); the texture repeats outside 0..1, so the whole face stays inside
// that window. The pictures are painted as seen from the front, which puts
// the viewer's right at small s.
#pragma once

namespace assetgen::face {

inline constexpr double textureS(double x) {
    return 0.56 * x + 0.51;
}
inline constexpr double textureT(double y) {
    return 0.8984 * y + 0.55;
}

// Outline: an egg, widest at the cheeks, centred on the origin.
inline constexpr double kHalfWidth = 0.45;  // s 0.258 .. 0.762
inline constexpr double kHalfHeight = 0.48; // t 0.119 .. 0.981
inline constexpr double kDepth = 0.42;      // z -0.21 .. 0.21 (tip of the nose in front)
// How much the outline narrows toward the chin and the crown (times the
// square of the height from the middle). A child's jaw is full and round:
// a chin pointed like an egg's tip read as an egg-shaped head.
inline constexpr double kChinNarrowing = 0.17;
inline constexpr double kCrownNarrowing = 0.08;

// Features (x, y of their centres).
inline constexpr double kEyeX = 0.165; // eyes at x = -kEyeX and +kEyeX
inline constexpr double kEyeY = 0.07;
inline constexpr double kEyeRadius = 0.07;
inline constexpr double kBrowY = 0.17;
inline constexpr double kNoseTipY = -0.07;
inline constexpr double kMouthY = -0.23;
inline constexpr double kMouthHalfWidth = 0.11;
inline constexpr double kChinY = -0.48;

} // namespace assetgen::face
