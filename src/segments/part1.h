// Segment #1, the opening titles: a spinning mesh smeared into light trails by
// an off-screen feedback loop, shown as a wide band; the caption and the title
// condense out of smeared copies and dissolve again, under an old-film overlay.
#pragma once

#include <cstdint>

#include "anim/router.h"
#include "anim/tvector.h"
#include "gfx/offscreen_buffer.h"
#include "gfx/texture_table.h"
#include "segments/film.h"

class part1 {
public:
    std::int32_t frameCounter = 0;
    double aspect = 0.0;
    segments::FilmMarks filmMarks{}; // never reset: the film keeps its state
    Router titlePath;                // scripted values, not a camera
    TVector titleValues1;            // x: title smear, y: caption smear, z: mesh grey
    TVector titleValues2;            // x: backdrop brightness
    TVector titleValues3;
};

extern part1 part1Object;

// The title path's parameter at local time t: key k is reached at t = 5 (k - 1).
inline double titlePathParameter(double t) {
    return 1.0 + 0.2 * t;
}

// Whether this frame (the frame counter after its increment) starts the trail
// over from black, dropping whatever the buffer and the trail textures held.
inline bool trailStartsOver(int frame) {
    return frame == 1;
}

// Fills the title path with its 19 keys (what start does before the GL set-up).
void buildTitlePath(Router& path);

void initPart1(part1& self);
void startPart1(part1& self);
bool renderPart1(part1& self, std::int32_t cue, TextureTable& textures, double* time,
                 OffscreenBuffer& buffer);
