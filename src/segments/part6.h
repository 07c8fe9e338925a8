// Segment #6: state object and its init/start/render routines.
#pragma once

#include <cstdint>

#include "gfx/offscreen_buffer.h"
#include "gfx/texture_table.h"

class part6 {
public:
    double aspect = 0.0; // the single-precision 4/3
};

extern part6 part6Object;

void initPart6(part6& self);
void startPart6(part6& self);
bool renderPart6(part6& self, std::int32_t cue, TextureTable& textures, double* time,
                 OffscreenBuffer& buffer);
