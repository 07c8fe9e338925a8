// Segment #5, the moon panorama: five moon pictures scroll sideways behind
// everything; at first a mosaic of coloured tiles, each on its own path,
// swirls in front of them; later a glowing creature (bodies with flaring
// cores, each sprouting three bead-chain arms that end in smaller copies of
// itself) floats before the panorama, seen from a camera on a path. The first
// frames also touch the next Segment's textures so that they are resident in
// time.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "anim/router.h"
#include "anim/tvector.h"
#include "gfx/offscreen_buffer.h"
#include "gfx/texture_table.h"

inline constexpr int kMosaicSide = 20; // tiles per row and per column
inline constexpr int kCreatureLevels = 4;
inline constexpr int kCreatureArms = 3;

// One node of the creature, in the creature's own space: its body sits at
// `origin`, shrunk by `scale` (the product of the shrinking of its ancestors).
struct CreatureNode {
    int level = 0;
    double origin[3] = {};
    double scale = 1.0;
    double phase = 0.0; // the creature phase when the node was reached
};

// One bead of an arm, in the creature's own space.
struct CreatureBead {
    double position[3] = {};
    bool sparkling = false; // the rare big blue bead
};

// The beads [firstBead, firstBead + beadCount) of one arm of a node of `level`.
struct CreatureArm {
    int level = 0;
    int firstBead = 0;
    int beadCount = 0;
};

// What the creature draws, in drawing order: a node's body and glow, or the
// beads of one arm.
struct CreatureStep {
    enum class Kind { Node, Arm } kind = Kind::Node;
    int index = 0; // into nodes or arms
};

// One frame of the creature, rebuilt every frame. The vectors keep their
// capacity from frame to frame, so a rebuild allocates nothing.
struct CreatureFrame {
    std::vector<CreatureNode> nodes;
    std::vector<CreatureArm> arms;
    std::vector<CreatureBead> beads;
    std::vector<CreatureStep> steps;
    Router armPath; // the arm being built
};

// The four corners of one mosaic tile (in the mosaic's space, before the
// 4/3 widening) and its colour with alpha.
struct MosaicTile {
    float corners[4][3] = {};
    float colour[4] = {};
};

class part5 {
public:
    std::int32_t frameCounter = 0;
    double creaturePhase = 0.0;
    double aspect = 0.0;
    Router cameraPath; // eye, centre, up of the creature's camera
    // One path per tile, indexed by row and column.
    std::array<std::array<Router, kMosaicSide>, kMosaicSide> tilePaths;
    CreatureFrame creature;
    // This frame's tiles as vertex arrays: 4 corners each.
    std::vector<float> tileCorners;
    std::vector<float> tileColours;
};

extern part5 part5Object;

// What one frame draws besides the panorama.
struct Part5FramePlan {
    bool finished = false; // past the end: nothing is drawn
    bool mosaic = false;
    bool creature = false;
};
Part5FramePlan planPart5Frame(double t);

// The x the panorama's camera looks along at time t.
double panoramaCentre(double t);

// The next Segment's textures touched on the frame whose counter (before its
// increment) is `counterBefore`: some drawn with (prewarmed), two only bound.
struct TextureWarmUp {
    int prewarmed[2] = {};
    int prewarmedCount = 0;
    int bound[2] = {};
    int boundCount = 0;
};
TextureWarmUp textureWarmUpFor(std::int32_t counterBefore);

// Parameter on a tile's path: 0.15 t + 12 + d, never below 1.2.
double tilePathParameter(double t, double d);
// The tile in row i and column e (both -10 .. 9) at time t.
MosaicTile planMosaicTile(const part5& self, int i, int e, double t);

// Which parts of a node of the given level are drawn.
struct CreatureNodeDrawing {
    int bodyList = 0; // display list of the body, 0 for none
    bool glow = false;
    bool arms = false;
};
CreatureNodeDrawing creatureNodeDrawing(int level);

// Beads e = first .. end - 1 of an arm of a node of `level`, each at path
// parameter stretch e / divisor + 1.
struct BeadRange {
    int first = 0;
    int end = 0;
    int divisor = 1;
};
BeadRange beadRange(int level);

// Where an arm's child node sits on the arm path.
inline constexpr double kArmStretch = 5.0;
inline constexpr double kChildParameter = kArmStretch + 1.0;

// Fills `path` with arm `arm` (0..2) of a node of `level` at time t and
// creature phase `phase`: the root, then nine keys reaching outward.
void buildArmPath(Router& path, int arm, int level, double t, double phase);

// Builds the whole creature, starting with a node of `level` at the origin;
// every node with arms advances `phase` by 0.01. Draws one random number per
// bead, in drawing order.
void buildCreature(CreatureFrame& frame, double& phase, double t, int level);

void initPart5(part5& self);
void startPart5(part5& self);
bool renderPart5(part5& self, std::int32_t cue, TextureTable& textures, double* time,
                 OffscreenBuffer& buffer);
