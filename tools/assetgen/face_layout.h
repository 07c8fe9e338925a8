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

#include <algorithm>
#include <cmath>

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

// Half the face's width at height y: the outline narrows toward chin and crown.
inline double halfWidthAt(double y) {
    const double eta = y / kHalfHeight;
    return kHalfWidth * (1.0 - kChinNarrowing * std::pow(std::max(0.0, -eta), 2.0) -
                         kCrownNarrowing * std::pow(std::max(0.0, eta), 2.0));
}

// Ears: without them the outline was a plain egg. Each stands out from the
// rim at eye-to-nose height, tipped a little forward, so from the front it is
// a narrow strip beside the cheek and from the side a flat shell.
inline constexpr double kEarY = -0.02; // centre height
inline constexpr double kEarHalfHeight = 0.1;
inline constexpr double kEarReach = 0.055; // how far it stands out past the rim (x)
inline constexpr double kEarLean = 0.035;  // how far its outer edge comes forward (z)
inline double earRootX() {
    return halfWidthAt(kEarY) - 0.012;
}

inline double reliefBump(double dx, double sx, double dy, double sy) {
    return std::exp(-(dx / sx) * (dx / sx) - (dy / sy) * (dy / sy));
}

// Depth of the face at (x, y) (toward the viewer, before the mesh's depth is
// scaled to kDepth), rho being 1 on the outline: a rounded mask with brow,
// eye sockets, nose with its wings, philtrum, cheeks, lips and chin. The
// pictures bake their light from the same relief, so the painted shade lies
// where the modelled forms are.
inline double relief(double x, double y, double rho) {
    const double ax = std::abs(x);
    double z = 0.26 * std::sqrt(std::max(0.0, 1.0 - rho * rho));
    // Bridge, tip and the two wings beside the tip.
    z += 0.035 * reliefBump(x, 0.055, y + 0.01, 0.07) +
         0.045 * reliefBump(x, 0.045, y - kNoseTipY, 0.04);
    z += 0.022 * reliefBump(ax - 0.038, 0.022, y - kNoseTipY + 0.012, 0.022);
    // Sockets under a brow ridge; the eyeball's lid inside.
    z -= 0.04 * reliefBump(ax - kEyeX, 0.08, y - kEyeY, 0.055);
    z += 0.03 * reliefBump(ax - kEyeX, 0.05, y - kEyeY + 0.005, 0.035);
    z += 0.014 * reliefBump(ax - kEyeX, 0.09, y - kBrowY, 0.03);
    // Round cheeks.
    z += 0.05 * reliefBump(ax - 0.2, 0.12, y + 0.1, 0.13);
    // Philtrum ridges, the upper lip, the lip line, the fuller lower lip, and
    // the hollow above the chin.
    z += 0.0025 * reliefBump(ax - 0.014, 0.009, y - kMouthY - 0.07, 0.03);
    z += 0.018 * reliefBump(x, 0.09, y - kMouthY - 0.02, 0.03);
    z -= 0.006 * reliefBump(x, 0.09, y - kMouthY, 0.008);
    z += 0.02 * reliefBump(x, 0.08, y - kMouthY + 0.03, 0.03);
    z -= 0.005 * reliefBump(x, 0.1, y - kMouthY + 0.08, 0.035);
    z += 0.028 * reliefBump(x, 0.08, y + 0.37, 0.05);
    return z;
}

} // namespace assetgen::face
