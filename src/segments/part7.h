// Segment #7, jellyfish in the deep: a sky dome with stars over a water body,
// nebula clouds, floor sprites and light beams; translucent jellyfish (single
// ones, a swarm rising from below, a column late on), a giant medusa whose
// outline is drawn by a swarm of 450 fish, a wobbling caustic overlay, and a
// medusa picture that assembles from 80 flying tiles. Certain music cues
// mirror the clock for the frame they fall on.
#pragma once

#include <array>
#include <cstdint>

#include "anim/router.h"
#include "anim/tvector.h"
#include "gfx/offscreen_buffer.h"
#include "gfx/texture_table.h"

inline constexpr int kPart7Fish = 550;
inline constexpr int kPart7FishDrawn = 450;
inline constexpr int kPart7FishKeys = 14;
inline constexpr int kPart7Stars = 1000;
inline constexpr int kPart7StarsDrawn = 700;
inline constexpr int kPart7FloorSprites = 3000;
inline constexpr int kPart7FloorSpritesFilled = 1000;
inline constexpr int kPart7Risers = 50;
inline constexpr int kPart7ColumnJellyfish = 12;
inline constexpr int kPart7TileGrid = 20;
inline constexpr int kPart7TileKeys = 14;
inline constexpr int kPart7PathKeys = 51;

class part7 {
public:
    std::int32_t header[5] = {};
    Router camera7;      // eye, centre, up of the scene camera
    Router secondRouter; // kept for the object's shape; nothing reads it
    Router control7;     // control values g0, g1, g2
    std::array<Router, kPart7Fish> fish;
    std::array<TVector, kPart7Stars> starPoints;
    std::array<TVector, kPart7FloorSprites> floorSprites; // past the filled ones: zero
    std::array<double, kPart7Stars> starSize{};
    std::array<double, kPart7Risers> riserSize{};
    std::array<std::array<Router, kPart7TileGrid>, kPart7TileGrid> tiles;
    std::array<TVector, kPart7Risers> risers;
    std::array<TVector, kPart7ColumnJellyfish> column;
};

extern part7 part7Object;

// ---------------------------------------------------------------- planning

// The clock for this frame: cue 2 mirrors it about 260, cues 3 and 4 about 500.
double remapTimeForCue(double t, std::int32_t cue);

// The switches and strengths of one moment, from control7 (g0, g1, g2).
struct Part7Controls {
    TVector g0; // x overlay spacing, y overlay and jellyfish opacity, z overlay spread
    TVector g1; // x, y above 1: the two single jellyfish; z above 1: the wobble overlay
    TVector g2; // x single jellyfish glow, y fraction of the floor sprites drawn
};
double part7PathParameter(double t);
Part7Controls evaluateControls(const part7& self, double t);

// How many floor sprites are drawn for a fraction g2y of 1800: never below 0
// and never more than the array holds.
int floorSpriteCount(double g2y);

// How many jellyfish of the rising swarm are drawn at t (0 outside the swarm).
int risingSwarmSize(double t);
// The swarm's strength for member k.
double riserStrength(double t, int k);

// One jellyfish of the late column: where it is and how strong, or not drawn.
struct ColumnJellyfish {
    bool drawn = false;
    TVector position;
    double opacity = 0.0;
};
ColumnJellyfish planColumnJellyfish(const TVector& start, double t);

// Light beams: five, four once the scene has settled.
int lightBeamCount(double t);

// The giant medusa, q = t - 220 during its appearance.
bool medusaVisible(double t);
double medusaDomeBrightness(double q);
// Where fish i is along its path (its last key, the medusa outline, is held).
double fishPathParameter(int i, double q);
// Fish 10 ring + step trace the medusa's bell.
TVector medusaBellPoint(int ring, int step, double q);
// Fish 200 + 50 tentacle + j trace its tentacles.
TVector medusaTentaclePoint(int tentacle, int j, double radius, double q);
double medusaTentacleBrightness(int j);
// How far the scene camera has come in from its circle to the medusa at a
// path key (0 on the circle, 1 close by), and the point it then looks at.
double medusaCloseUpWeight(int key);
TVector medusaMiddleAtKey(int key);
// Rewrites the last keys of the fish that draw the medusa for this q.
void aimFishAtMedusa(part7& self, double q);

// One tile of the medusa picture (row o = -3 .. 4, column k = -5 .. 4).
struct TileState {
    double alpha = 0.0; // drawn only above 0.01
    double sideways = 0.0;
    double spin = 0.0;
};
bool tilePictureVisible(double t);
TileState planTile(const part7& self, int row, int column, double t);

void initPart7(part7& self);
void startPart7(part7& self);
bool renderPart7(part7& self, std::int32_t cue, TextureTable& textures, double* time,
                 OffscreenBuffer& buffer);
