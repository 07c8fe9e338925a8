// The jellyfish of the deep sea, the closing credits and the rising-jellyfish
// Layer: a pulsing translucent body with a glow, and for the large ones ten
// swaying tentacle strips. One drawing for all three users; what differs is
// gathered in a look.
#pragma once

#include <array>

#include "anim/router.h"
#include "anim/tvector.h"
#include "gfx/texture_table.h"

namespace segments {

// ---------------------------------------------------------------- planning

// The swing of one tentacle: the radius of key j of tentacle i is
// sin(1.25 sin(0.123 psi) + 1.7 j + i - 0.5 psi) * (200 - j^2) * widthScale
// (only for j > 3) plus an offset that rises along the tentacle, plus `outward`.
struct TentacleShape {
    double widthScale;
    double swingAmplitude; // offset for j > 3: swingAmplitude sin(i + 0.13 psi) + swingBase
    double swingBase;
    double rootOffset; // offset for j < 3 (j = 3 has none)
    double outward;
};
// A jellyfish's own tentacles, and the giant medusa's longer, calmer ones.
inline constexpr TentacleShape kJellyfishTentacles{0.0028, 0.5, 0.5, -0.3, 0.3};
inline constexpr TentacleShape kMedusaTentacles{0.0012, 0.3, 0.3, -0.2, 0.6};

inline constexpr int kTentacleKeys = 15;
// The key count the tentacle path is evaluated with. Larger than the keys it
// holds; only parameters 2 .. 11.8 are ever evaluated, which stay inside.
inline constexpr int kTentacleKeyCount = 20;
inline constexpr int kTentaclePoints = 50;
inline constexpr int kTentaclesPerJellyfish = 5;

// Track-0 x of key j of tentacle i at phase psi (the other values are 0).
double tentacleKeyRadius(int i, int j, double psi, const TentacleShape& shape);

// Fills `path` with the tentacle's 15 keys (key count 20, three tracks).
void buildTentaclePath(Router& path, int i, double psi, const TentacleShape& shape);

// The radius at each of the 50 points along tentacle i (parameter 0.2 j + 2).
// `path` is working storage, reused between calls.
std::array<double, kTentaclePoints> tentacleRadii(Router& path, int i, double psi,
                                                  const TentacleShape& shape);

// A jellyfish's phase: its clock plus the sum of its coordinates, so that
// jellyfish in different places pulse out of step.
inline double jellyfishPhase(double t, const TVector& position) {
    return t + position.x + position.y + position.z;
}

// ---------------------------------------------------------------- drawing

// A jellyfish out of view still makes every state change of its drawing, so
// what is drawn after it does not depend on where the camera looks; only the
// geometry is skipped.
enum class Drawing { Shown, StateOnly };

// What differs between the users of the large, tentacled jellyfish.
struct TentacledJellyfishLook {
    int bodyList;
    int bodyTexture;
    int glowTexture;
    // Deep sea: a lit body in two passes (depth only, then colour where the
    // depth is equal). Closing credits: one unlit translucent pass in
    // bodyColour.
    bool litTwoPassBody;
    float bodyColour[4];
    double rollDegrees; // about z, right after moving to the position
};

// Draws one tentacled jellyfish at `position` (in units scaled by `size`),
// with tentacle opacity `opacity` (none at 0.005 or below) and glow strength
// `glow`. Leaves the modelview matrix as it found it.
void drawTentacledJellyfish(const TextureTable& textures, double t, const TVector& position,
                            double size, double opacity, double glow,
                            const TentacledJellyfishLook& look, bool withBody = true,
                            Drawing drawing = Drawing::Shown);

// What differs between the users of the small jellyfish (body and glow only).
struct SmallJellyfishLook {
    int bodyList;
    int bodyTexture;
    int glowTexture;
    double phaseScale; // the phase is phaseScale x (t + x + y + z)
    double tiltRate;   // tilt 20 sin(tiltRate phase) + 90 degrees about x
    double pulseRate;  // body pulse with sin and cos of pulseRate phase
    float glowColour[3];
};

// Draws one small jellyfish of size `size` and strength `strength`. Its
// material colours are set through colour material, whatever the caller left.
void drawSmallJellyfish(const TextureTable& textures, double t, const TVector& position,
                        double size, double strength, const SmallJellyfishLook& look,
                        Drawing drawing = Drawing::Shown);

} // namespace segments
