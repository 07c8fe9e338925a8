#include "segments/part1.h"

#include "segments/shared.h"

// SCAFFOLDING: this Segment's own effect has not landed yet. It clears to a
// colour of its own and ends on time, so the Timeline can be run end to end.

part1 part1Object;

void initPart1(part1& /*self*/) {}

void startPart1(part1& self) {
    (void)self;
}

bool renderPart1(part1& /*self*/, std::int32_t /*cue*/, TextureTable& /*textures*/, double* time,
                 OffscreenBuffer& /*buffer*/) {
    if (*time > 81) {
        return true;
    }
    segments::drawScaffoldingFrame(0.08f, 0.02f, 0.02f);
    return false;
}
