#include "segments/part2.h"

#include "segments/shared.h"

// SCAFFOLDING: this Segment's own effect has not landed yet. It clears to a
// colour of its own and ends on time, so the Timeline can be run end to end.

part2 part2Object;

void initPart2(part2& /*self*/) {}

void startPart2(part2& self) {
    segments::setUpPerspective(65, &self.aspect);
}

bool renderPart2(part2& /*self*/, std::int32_t /*cue*/, TextureTable& /*textures*/, double* time,
                 OffscreenBuffer& /*buffer*/) {
    if (*time > 76.95) {
        return true;
    }
    segments::drawScaffoldingFrame(0.02f, 0.08f, 0.02f);
    return false;
}
