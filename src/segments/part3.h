// Segment #3, the butterfly swarm: eighty butterflies, a ring of glowing blobs
// and a swarm of sprites in a sphere-mapped sky, drawn off-screen and laid
// over a never-cleared screen at low opacity so every movement leaves a
// trail; a scripted path adds ripples and stacked "eye" planes. Late in the
// Segment the blobby surface (segments/blobby_surface.h) is drawn in the same
// frame.
#pragma once

#include <array>
#include <cstdint>

#include "anim/router.h"
#include "anim/tvector.h"
#include "gfx/offscreen_buffer.h"
#include "gfx/texture_table.h"
#include "segments/blobby_surface.h"

inline constexpr int kPart3ButterflyCount = 80;
inline constexpr int kPart3SpriteCount = 64;
// Seven rings of 26 blobs each.
inline constexpr int kPart3RingBlobCount = 7 * 26;

class part3 {
public:
    std::int32_t butterflyCount = 0;
    std::int32_t frameCounter = 0;
    double aspect = 0.0;
    Router effectPath; // O1 (track 0), O2 (track 1), O3 (track 2)
    std::array<Router, kPart3ButterflyCount> butterflyPaths;
    std::array<Router, kPart3SpriteCount> blobPaths; // one per swarm sprite
    // The effect path's outputs, kept from one frame to the next: the
    // off-screen pass looks through the previous frame's values.
    TVector o1, o2, o3;
    BlobbySurfaceState blobby; // the second phase
};

extern part3 part3Object;

// What one frame draws, decided by the clock alone.
struct Part3FramePlan {
    bool finished = false;      // past the end: nothing is drawn
    bool butterflies = false;   // the swarm phase
    bool blobbySurface = false; // the surface phase, drawn after the swarm
};
Part3FramePlan planPart3Frame(double t);

inline double effectPathParameter(double t) {
    return 0.5 * t;
}
// Butterfly i's place on its own path; phase two flies them back on another.
double butterflyPathParameter(int i, double t);
double butterflyFlap(int i, double t);

// What the effect path switches on.
bool pictureRipples(const TVector& o3);
int eyePlaneCount(const TVector& o1);
bool blobRingShown(const TVector& o2);
bool spriteSwarmShown(const TVector& o2);

struct Rgba {
    float r = 0.0f, g = 0.0f, b = 0.0f, a = 1.0f;
};
Rgba eyePlaneColour(int i, const TVector& o1);

// One quad of the rippled full-screen picture: columns d and rows i run from
// -10 to 9; each corner carries its texture coordinate and its position.
struct RippleCorner {
    float s, t;
    float x, y, z;
};
std::array<RippleCorner, 4> rippleQuad(int d, int i, double t, double amplitude);

// The ring of blobs: where each lies in the ring's plane and how bright.
struct RingBlob {
    float colour[3];
    float x, y;
};
// Fills `blobs` and returns how many are shown (none while the ring is off).
int planBlobRing(double t, const TVector& o2, std::array<RingBlob, kPart3RingBlobCount>& blobs);

// The sprite swarm. Each sprite is coloured before its own path is evaluated,
// so it takes the previous sprite's outputs (zeros for the first).
struct SwarmSprite {
    Rgba colour;
    TVector place;     // path output 1
    double spin = 0.0; // degrees
};
void planSpriteSwarm(const std::array<Router, kPart3SpriteCount>& paths, double t,
                     const TVector& o2, std::array<SwarmSprite, kPart3SpriteCount>& sprites);
// How far the swarm's texture is cropped towards its centre on every side.
double spriteTextureInset(const TVector& o2);

struct WingColours {
    float left[3];
    float right[3];
};
WingColours wingColours(double flap, double brightness);

void initPart3(part3& self);
void startPart3(part3& self);
bool renderPart3(part3& self, std::int32_t cue, TextureTable& textures, double* time,
                 OffscreenBuffer& buffer);

// The passes of the swarm phase, in drawing order.
void drawOffscreenButterflies(part3& self, double t, const TextureTable& textures);
void drawBlobRing(part3& self, double t, const TextureTable& textures);
void drawSpriteSwarm(part3& self, double t, const TextureTable& textures);
// One butterfly at P heading for Q: two flapping wings and a glow, added to
// the picture with the blending the caller left on.
void drawButterfly(const TVector& p, const TVector& q, double flap, double brightness,
                   const TextureTable& textures);
// Where a butterfly is this frame, where it heads and its flap phase.
struct ButterflyFlight {
    TVector p, q;
    double flap = 0.0;
};
// Many butterflies of one brightness: the same picture as drawButterfly for
// each in turn.
void drawButterflySwarm(const ButterflyFlight* flights, int count, double brightness,
                        const TextureTable& textures);
