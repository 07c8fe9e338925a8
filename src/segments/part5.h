// Segment #5: state object and its init/start/render routines.
#pragma once

#include <cstdint>

#include "gfx/offscreen_buffer.h"
#include "gfx/texture_table.h"

class part5 {
public:
    double aspect = 0.0; // the single-precision 4/3
};

extern part5 part5Object;

void initPart5(part5& self);
void startPart5(part5& self);
bool renderPart5(part5& self, std::int32_t cue, TextureTable& textures, double* time,
                 OffscreenBuffer& buffer);
