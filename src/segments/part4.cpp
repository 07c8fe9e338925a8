#include "segments/part4.h"

#include "anim/timing.h"
#include "gfx/drawing.h"

// SCAFFOLDING: this Segment's own effect has not landed yet. It clears to a
// colour of its own and ends on time, so the Timeline can be run end to end.

part4 part4Object;

void initPart4(part4& /*self*/) {}

void startPart4(part4& self) {
    gfx::setUpPerspective(65, &self.aspect);
}

bool renderPart4(part4& /*self*/, std::int32_t /*cue*/, TextureTable& /*textures*/, double* time,
                 OffscreenBuffer& /*buffer*/) {
    if (*time > timing::segmentEnd(4)) {
        return true;
    }
    gfx::drawScaffoldingFrame(0.08f, 0.08f, 0.02f);
    return false;
}
