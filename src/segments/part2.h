// Segment #2, the light tunnel: a small scene drawn off-screen and fed back on
// itself every frame (a mesh wrapped in the last picture forms the tunnel),
// with floating objects, rings with star sprites and the glittering triangles
// of an exploded mesh; on screen the feedback picture, a front object and a
// gradient wipe at the start, and a glow that the music cues speed up.
#pragma once

#include <array>
#include <cstdint>

#include "anim/router.h"
#include "anim/tvector.h"
#include "gfx/offscreen_buffer.h"
#include "gfx/texture_table.h"

// The exploded mesh: corner records of at most this many faces.
inline constexpr int kPart2FaceRecords = 3000;
inline constexpr int kPart2MaxFaces = 2900;

class part2 {
public:
    std::int32_t frameCounter = 0;
    double aspect = 0.0;
    std::int32_t faceCount = 0;
    float faceCorners[kPart2FaceRecords][9] = {}; // corners A, B, C in the unit cube
    float faceNormals[kPart2FaceRecords][9] = {};
    float cornerOffsetsB[kPart2MaxFaces][3] = {};    // B - A
    float cornerOffsetsC[kPart2MaxFaces][3] = {};    // C - A
    std::array<Router, 9000> facePaths;              // one flight per face
    float glitterPoints[3 * kPart2MaxFaces][3] = {}; // this frame's corners
    float glitterColours[3 * kPart2MaxFaces][3] = {};
    Router glowPath;   // track 0 y: glow distance, track 2 z: glow brightness
    Router cameraPath; // eye, centre, up of the front object's camera
};

extern part2 part2Object;

// What one frame shows, decided from the clock and the music cue alone.
struct Part2FramePlan {
    double t = 0.0; // a positive cue rewinds the clock to 18 - cue
    bool frontObject = false;
    bool gradientWipe = false;
};
Part2FramePlan planPart2Frame(double t, std::int32_t cue);

// The glow's clock at the (rewound) time t: six times as fast while a cue is on.
inline double glowTime(double t, std::int32_t cue) {
    return cue > 0 ? 6.0 * t : t;
}
inline double glowPathParameter(double t, std::int32_t cue) {
    return 0.243 * glowTime(t, cue) + 1.0;
}

// Floating object i and ring i rise through the tunnel during a window of t.
bool floatingObjectVisible(int i, double t);
bool ringVisible(int i, double t);

// The face whose place face i visits on its flight: faces pair up from both
// ends of the list; face 0, which has no partner, visits its own place.
int mirrorFace(int i, int faceCount);

void initPart2(part2& self);
void startPart2(part2& self);
bool renderPart2(part2& self, std::int32_t cue, TextureTable& textures, double* time,
                 OffscreenBuffer& buffer);
// The off-screen scene: tunnel, floating objects, rings, glitter and glow.
void drawOffscreenScene(part2& self, double t, TextureTable& textures, std::int32_t cue);
