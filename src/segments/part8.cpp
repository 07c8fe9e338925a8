#include "segments/part8.h"

#include "anim/timing.h"
#include "gfx/drawing.h"

// SCAFFOLDING: this Segment's own effect has not landed yet. It clears to a
// colour of its own and ends on time, so the Timeline can be run end to end.

part8 part8Object;

void initPart8(part8& /*self*/) {}

void startPart8(part8& self) {
    gfx::setUpPerspective(62, &self.aspect);
}

bool renderPart8(part8& /*self*/, std::int32_t /*cue*/, TextureTable& /*textures*/, double* time,
                 OffscreenBuffer& /*buffer*/) {
    if (*time > timing::segmentEnd(8)) {
        return true;
    }
    gfx::drawScaffoldingFrame(0.1f, 0.05f, 0.0f);
    return false;
}
