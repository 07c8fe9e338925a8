// Segment #4, rain and vase: a vase on a mirror-like floor in the rain at dusk.
// A low sun far to the left throws a fan of coloured rays, a fractal tree of
// glowing sprites grows out of the vase, raindrops fall as streaks and leave
// rings on the floor, and flares hang around the sun. The scene is drawn
// off-screen, fed back through a rippling grid and shown full-screen; music
// cues roll the camera and pull the feedback gains.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "anim/router.h"
#include "anim/tvector.h"
#include "gfx/offscreen_buffer.h"
#include "gfx/sprite_batch.h"
#include "gfx/texture_table.h"

inline constexpr int kPart4RaindropRecords = 1000;
inline constexpr int kPart4RaindropsUsed = 900;
inline constexpr int kPart4RayPhases = 600;

struct Raindrop {
    double x = 0.0;     // [-4, 4)
    double z = 0.0;     // [-4, 4)
    double phase = 0.0; // [-2, 2)
    std::uint8_t valid = 0;
};
static_assert(sizeof(Raindrop) == 32, "a raindrop record is 32 bytes");

// The time of the first frame that saw a cue value; kept for the whole run.
struct CueLatch {
    double time = 0.0;
    bool latched = false;

    // Latches t on the first call and returns the latched time.
    double latch(double t) {
        if (!latched) {
            time = t;
            latched = true;
        }
        return time;
    }
};

class part4 {
public:
    std::int32_t frameCounter = 0;
    TVector o1, o2, o3; // control path outputs of this frame
    std::array<double, kPart4RayPhases> rayPhases{};
    double aspect = 0.0;
    Router cameraPath;  // eye, centre, up
    Router controlPath; // feedback gains and ripple, tree bend and spread
    std::array<Raindrop, kPart4RaindropRecords> raindrops{};
    std::int32_t gridTextureSize = 512;
    CueLatch cue3Latch;
    CueLatch cue2Latch;
};

extern part4 part4Object;

// Cue responses. The damped cosine cos(r (t - T)) / (q r (t - T) + 1) rolls
// the camera; the decay 1 / (q r (t - T) + 1) pulls the feedback gains. Both
// are 0 once the decay falls below 0.001 (or before T, where it is undefined).
double dampedCosine(double latchedTime, double t, double q, double r);
double cueDecay(double latchedTime, double t, double q, double r);

// What the off-screen camera and the scripted values are on one frame.
struct Part4View {
    TVector eye, centre, up;
    TVector o1, o2, o3;

    double freshGain() const { return 1.2 * o1.y; }
    double lastGain() const { return o1.x; }
    double rippleAmplitude() const { return o1.z; }
    double treeBend() const { return 7.0 * o2.x; }
    double treeSpread() const { return 0.1 * o2.y; }
};

// How the fresh picture and the last result are weighed in one turn of the
// feedback loop: the fresh picture at the scripted brightness, the last
// result added with the scripted gain as colour and as alpha, so it keeps
// gain^2 of itself. GL clamps both colours to [0, 1], which bounds the loop;
// a still lit area settles far above white, so the scene must keep its
// bright parts small and moving (their trails fade by the loop gain).
struct FeedbackWeights {
    double fresh = 0.0;    // colour of the fresh picture
    double lastGain = 0.0; // colour and alpha of the last result
    double loopGain() const {
        const double g = std::clamp(lastGain, 0.0, 1.0);
        return g * g;
    }
};
FeedbackWeights feedbackWeights(const Part4View& view);

// Evaluates the camera and control paths at t and applies the cue responses
// (latching the cue times on their first frames); the control values are
// also kept in self.o1 .. o3 for the rest of the frame.
Part4View planPart4View(part4& self, double t, std::int32_t cue);
// The cue responses alone: cue 2 rolls the camera and pulls the gains toward
// 0.9 and 0.78, cue 3 only rolls; other values change nothing.
void respondToCue(part4& self, double t, std::int32_t cue, Part4View& view);

// The drop's place in its fall cycle, in thousandths: the truncated
// 1000 (4 phase - 1.4 t) modulo 14000, keeping the sign of the dividend.
std::int64_t dropCycle(double phase, double t);

// A ring spreads on the floor at x + spread while the spread is positive,
// fading from white as it grows.
struct RainRing {
    bool drawn = false;
    double x = 0.0;
    double z = 0.0;
    double grey = 0.0;
};
RainRing planRainRing(const Raindrop& drop, double t);

// A falling drop is a thin streak kept upright on screen; near the floor it
// turns to face the viewer and becomes a round splash; far below the floor it
// is a flat dot that no longer turns.
enum class DropFacing { Fixed, KeepingDepth, Viewer };
struct FallingDrop {
    double y = 0.0;
    DropFacing facing = DropFacing::Fixed;
    bool splash = false;
};
FallingDrop planFallingDrop(const Raindrop& drop, double t);
// The drops' brightness factor: they fade in over the first 2 units.
double dropFadeIn(double t);

// The fractal tree's parameters for one level: a is the parent's sprite
// scale, n the level (9 at the root), h the sprite size, l the bend, m the
// shrink per step, o the step length, b the bend's spread, c its phase.
struct LightTreeLevel {
    double a;
    int n;
    double h, l, m, o, b, c;
};
// Deepest level the tree grows from; a larger n starts here, so the tree
// stays bounded whatever values it is handed.
inline constexpr int kLightTreeTopLevel = 9;
// Places the sprites of one level and, recursively, of its branches into the
// batch; returns how many levels were visited (645 from the root).
int growLightTree(gfx::ModelviewStack& stack, gfx::QuadBatch& batch, const LightTreeLevel& level);

void initPart4(part4& self);
void startPart4(part4& self);
bool renderPart4(part4& self, std::int32_t cue, TextureTable& textures, double* time,
                 OffscreenBuffer& buffer);
// The off-screen scene: mirror vase, floor, vase, light tree, sun rays, rain,
// glare and flares.
void drawScene(part4& self, double t, TextureTable& textures);
// The fractal tree from the current modelview, as one batch of sprites.
void drawLightTree(part4& self, double t, double a, TextureTable& textures, int n, double h,
                   double l, double m, double o, double b, double c);
