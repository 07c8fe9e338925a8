// Segment #8: state object and its init/start/render routines.
#pragma once

#include <cstdint>

#include "loading/offscreen_buffer.h"
#include "loading/texture_table.h"

class part8 {
public:
    float aspect = 0.0f;
};

extern part8 part8Object;

void initPart8(part8& self);
void startPart8(part8& self);
bool renderPart8(part8& self, std::int32_t cue, TextureTable& textures, double* time,
                 OffscreenBuffer& buffer);
