#include "segments/part7.h"

#include "anim/timing.h"
#include "gfx/drawing.h"

// SCAFFOLDING: this Segment's own effect has not landed yet. It clears to a
// colour of its own and ends on time, so the Timeline can be run end to end.

part7 part7Object;

void initPart7(part7& /*self*/) {}

void startPart7(part7& self) {
    gfx::setUpPerspective(62, &self.aspect);
}

bool renderPart7(part7& /*self*/, std::int32_t /*cue*/, TextureTable& /*textures*/, double* time,
                 OffscreenBuffer& /*buffer*/) {
    if (*time > timing::segmentEnd(7)) {
        return true;
    }
    gfx::drawScaffoldingFrame(0.06f, 0.06f, 0.06f);
    return false;
}
