#include "segments/part6.h"

#include "anim/timing.h"
#include "gfx/drawing.h"

// SCAFFOLDING: this Segment's own effect has not landed yet. It clears to a
// colour of its own and ends on time, so the Timeline can be run end to end.

part6 part6Object;

void initPart6(part6& /*self*/) {}

void startPart6(part6& self) {
    gfx::setUpPerspective(65, &self.aspect);
}

bool renderPart6(part6& /*self*/, std::int32_t /*cue*/, TextureTable& /*textures*/, double* time,
                 OffscreenBuffer& /*buffer*/) {
    if (*time > timing::segmentEnd(6)) {
        return true;
    }
    gfx::drawScaffoldingFrame(0.02f, 0.08f, 0.08f);
    return false;
}
