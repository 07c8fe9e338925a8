// Segment #7: state object and its init/start/render routines.
#pragma once

#include <cstdint>

#include "gfx/offscreen_buffer.h"
#include "gfx/texture_table.h"

class part7 {
public:
    double aspect = 0.0; // the single-precision 4/3
};

extern part7 part7Object;

void initPart7(part7& self);
void startPart7(part7& self);
bool renderPart7(part7& self, std::int32_t cue, TextureTable& textures, double* time,
                 OffscreenBuffer& buffer);
