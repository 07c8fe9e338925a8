// Segment #4: state object and its init/start/render routines.
#pragma once

#include <cstdint>

#include "loading/offscreen_buffer.h"
#include "loading/texture_table.h"

class part4 {
public:
    float aspect = 0.0f;
};

extern part4 part4Object;

void initPart4(part4& self);
void startPart4(part4& self);
bool renderPart4(part4& self, std::int32_t cue, TextureTable& textures, double* time,
                 OffscreenBuffer& buffer);
