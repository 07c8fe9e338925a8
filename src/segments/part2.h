// Segment #2: state object and its init/start/render routines.
#pragma once

#include <cstdint>

#include "loading/offscreen_buffer.h"
#include "loading/texture_table.h"

class part2 {
public:
    float aspect = 0.0f;
};

extern part2 part2Object;

void initPart2(part2& self);
void startPart2(part2& self);
bool renderPart2(part2& self, std::int32_t cue, TextureTable& textures, double* time,
                 OffscreenBuffer& buffer);
