// Segment #8: state object and its init/start/render routines.
#pragma once

#include <cstdint>

#include "gfx/offscreen_buffer.h"
#include "gfx/texture_table.h"

class part8 {
public:
    double aspect = 0.0; // the single-precision 4/3
};

extern part8 part8Object;

void initPart8(part8& self);
void startPart8(part8& self);
bool renderPart8(part8& self, std::int32_t cue, TextureTable& textures, double* time,
                 OffscreenBuffer& buffer);
