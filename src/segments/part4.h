// Segment #4: state object and its init/start/render routines.
#pragma once

#include <cstdint>

#include "gfx/offscreen_buffer.h"
#include "gfx/texture_table.h"

class part4 {
public:
    double aspect = 0.0; // the single-precision 4/3
};

extern part4 part4Object;

void initPart4(part4& self);
void startPart4(part4& self);
bool renderPart4(part4& self, std::int32_t cue, TextureTable& textures, double* time,
                 OffscreenBuffer& buffer);
