// Segment #8, the closing credits: three twisted meshes spin off-screen and
// are smeared into a zooming, turning light trail shown as a band; five
// swaying stems grow from the bottom carrying the credit cards; three
// jellyfish drift through; later the greeting lines circle on ellipses and a
// tunnel of coloured rings tints and finally darkens the picture, all under
// the old-film overlay.
#pragma once

#include <array>
#include <cstdint>

#include "anim/router.h"
#include "anim/tvector.h"
#include "gfx/offscreen_buffer.h"
#include "gfx/texture_table.h"
#include "segments/film.h"

inline constexpr int kPart8StemPhases = 600;

class part8 {
public:
    std::int32_t frameCounter = 0;
    double aspect = 0.0;
    // Filled in init to keep the shared random sequence in step; not drawn.
    std::array<double, kPart8StemPhases> stemPhase{};
    segments::FilmMarks filmMarks{};
    Router greetPath; // alphas of the three greeting pictures
    Router ringPath;  // shape and colour of the tunnel rings
};

extern part8 part8Object;

// ---------------------------------------------------------------- planning

// The picture ends with the frame at 163.5; the one after only reports it.
bool part8Finished(double t);

// A chain of segments, each turned, shrunk and moved up from the last: the
// stems and the credit cards at their tips.
struct SegmentChain {
    int count = 0;      // segments walked
    int firstDrawn = 0; // segments below this are walked but not drawn
    double quadSize = 0.1;
    double swayAmplitude = 0.0; // degrees about z: amplitude sin(k rate + offset)
    double shrink = 0.94;
    double step = 0.2;
    double phaseRate = 0.0;
    double phaseOffset = 0.0;
};

// Where segment k of a chain lies, in the frame the chain starts from: the
// centre of its quad, how far the chain has turned by then (degrees about z)
// and how much it has shrunk. Walking the chain here instead of on the GL
// matrix stack saves some ninety matrix calls per chain.
struct ChainLink {
    double x = 0.0;
    double y = 0.0;
    double turnDegrees = 0.0;
    double scale = 1.0;
};
inline constexpr int kChainMaxSegments = 29;
// Links 0 .. count - 1 (count at most kChainMaxSegments).
std::array<ChainLink, kChainMaxSegments> chainLinks(const SegmentChain& chain);

// The sway of a chain as its swing value s moves: amplitude 7A and phase rate
// 0.1B, with A and B following s at different rates.
struct ChainSway {
    double amplitude;
    double phaseRate;
};
ChainSway chainSway(int stem, double swing);

// Stem i's own swing, and how many of its 29 segments have grown by t (0
// until its turn comes, stem 4 last).
double stemSwing(int stem, double t);
int stemGrowth(int stem, double t);
SegmentChain stemBody(int stem, double t);

// Echo j (0..9) of the credit card on stem i: a tip chain of 29 segments
// whose last one carries the card, swaying with its own swing value, which
// calms down to 15 +- 5 once the stem's swing has peaked.
double creditSwing(int stem, int echo, double t);
SegmentChain creditChain(int stem, int echo, double t);
// Grey of one echo (0.1 at most, below zero while the card is dark); ten
// echoes add up to the card.
double creditGrey(int stem, int echo, double t);
// The card's half-size factor at the tip: the first card is the larger one.
double creditCardSize(int stem);

// The greeting lines, from t = 67 on: eight lines of each of the three
// pictures, placed on an ellipse that turns slowly.
inline constexpr int kGreetingLines = 8;
inline constexpr int kGreetingPictures = 3;
inline constexpr double kGreetingsFrom = 67.0;
struct GreetingLine {
    double x = 0.0;
    double y = 0.0;
    std::array<double, kGreetingPictures> alpha{}; // drawn only above 0.01
};
bool greetingsShow(double t);
GreetingLine planGreetingLine(const Router& greetPath, int line, double t);

// The ring tunnel, from t = 105 on.
inline constexpr int kTunnelRings = 20;
inline constexpr int kRingSteps = 21; // points around each ring
inline constexpr double kTunnelFrom = 105.0;
struct TunnelRing {
    double tiltDegrees = 0.0;
    double tiltAxisX = 0.0;
    double tiltAxisY = 1.0;
    double depth = 0.0;
    double spinDegrees = 0.0;
    double stretch = 0.0; // x by 1 - 0.1 stretch, y by 1 + 0.1 stretch
    double brightness = 0.0;
    double red = 0.0; // 2 x brightness x the ring path's track-1 x
    double spinFactor = 0.0;
    double tilt = 0.0; // the ring path's track-0 x
};
bool ringTunnelShows(double t);
TunnelRing planTunnelRing(const Router& ringPath, int ring, double t);
// Multiplying colour of point j (0..20) around a ring.
std::array<double, 3> ringPointColour(const TunnelRing& ring, int j, double t);

void buildGreetPath(Router& path);
void buildRingPath(Router& path);

// ---------------------------------------------------------------- routines

void initPart8(part8& self);
void startPart8(part8& self);
bool renderPart8(part8& self, std::int32_t cue, TextureTable& textures, double* time,
                 OffscreenBuffer& buffer);
