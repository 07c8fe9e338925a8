// Segment #3: state object and its init/start/render routines.
#pragma once

#include <cstdint>

#include "gfx/offscreen_buffer.h"
#include "gfx/texture_table.h"

class part3 {
public:
    double aspect = 0.0; // the single-precision 4/3
};

extern part3 part3Object;

void initPart3(part3& self);
void startPart3(part3& self);
bool renderPart3(part3& self, std::int32_t cue, TextureTable& textures, double* time,
                 OffscreenBuffer& buffer);
