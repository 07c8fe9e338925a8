// Segment #5: state object and its init/start/render routines.
#pragma once

#include <cstdint>

#include "loading/offscreen_buffer.h"
#include "loading/texture_table.h"

class part5 {
public:
    float aspect = 0.0f;
};

extern part5 part5Object;

void initPart5(part5& self);
void startPart5(part5& self);
bool renderPart5(part5& self, std::int32_t cue, TextureTable& textures, double* time,
                 OffscreenBuffer& buffer);
