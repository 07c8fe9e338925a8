// Segment #1: state object and its init/start/render routines.
#pragma once

#include <cstdint>

#include "loading/offscreen_buffer.h"
#include "loading/texture_table.h"

class part1 {
public:
    float aspect = 0.0f;
};

extern part1 part1Object;

void initPart1(part1& self);
void startPart1(part1& self);
bool renderPart1(part1& self, std::int32_t cue, TextureTable& textures, double* time,
                 OffscreenBuffer& buffer);
