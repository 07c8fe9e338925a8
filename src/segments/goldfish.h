// Layer B: three goldfish swimming in strokes over the rain and the moon
// panorama, each seen through its own moment of one camera flight, with
// glowing eyes and translucent fins.
#pragma once

#include <cstdint>

#include "anim/router.h"
#include "anim/tvector.h"
#include "gfx/offscreen_buffer.h"
#include "gfx/texture_table.h"

inline constexpr int kGoldfishMaxFaces = 2000; // 6000 corners
inline constexpr int kGoldfishMaxCorners = 3 * kGoldfishMaxFaces;
inline constexpr int kFishCameraKeys = 29;
inline constexpr int kFishPathKeys = 300;

class inter1 {
public:
    Router fishCamera; // eye, centre, up (x, y) with the brightness in z
    Router fishPath;   // track 0 x: distance swum, a stroke every seven keys
    std::int32_t faceCount = 0;
    float positions[kGoldfishMaxFaces][9] = {}; // corners A, B, C (x, y, z each)
    float normals[kGoldfishMaxFaces][9] = {};
    // The corners that share a position and a normal, kept once: the same
    // triangles drawn through cornerVertex shade a seventh of the vertices.
    std::int32_t vertexCount = 0;
    float vertexPositions[kGoldfishMaxCorners][3] = {};
    float vertexNormals[kGoldfishMaxCorners][3] = {};
    std::uint16_t cornerVertex[kGoldfishMaxCorners] = {};
    // How far each vertex moves per unit of tail wag: sideways (tail half
    // only) and up and down. Fixed by the mesh, so worked out once.
    float tailBend[kGoldfishMaxCorners] = {};
    float bodySway[kGoldfishMaxCorners] = {};
    float wagged[kGoldfishMaxCorners][3] = {}; // this fish's vertices
};

extern inter1 inter1Object;

namespace segments {

// One fish of one frame.
struct GoldfishPlan {
    TVector eye, centre, up;
    double brightness = 0.0; // before the flicker
    TVector position;
    double wag = 0.0;         // tail wag amplitude
    double lightHeight = 0.0; // y of light 0's direction
};
// Everything about fish i (0..2) at Layer time tau except the flicker.
GoldfishPlan planGoldfish(const inter1& self, int i, double tau);

// Builds the two paths (no mesh).
void buildGoldfishPaths(inter1& self);

// Gathers the loaded corners into shared vertices and works out each one's
// tailBend and bodySway.
void prepareGoldfishWag(inter1& self);
// Fills `wagged` with the vertices moved by a tail wag of amplitude d: the
// tail half (z > 0) swings sideways, the whole body bends up and down with x.
void wagGoldfish(inter1& self, double d);

} // namespace segments

void initLayerB(inter1& self);
void renderLayerB(inter1& self, std::int32_t cue, TextureTable& textures, double* time,
                  OffscreenBuffer& buffer);
