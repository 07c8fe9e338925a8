#include "segments/part3.h"

#include "anim/timing.h"
#include "gfx/drawing.h"

// SCAFFOLDING: this Segment's own effect has not landed yet. It clears to a
// colour of its own and ends on time, so the Timeline can be run end to end.

part3 part3Object;

void initPart3(part3& /*self*/) {}

void startPart3(part3& self) {
    gfx::setUpPerspective(65, &self.aspect);
}

bool renderPart3(part3& /*self*/, std::int32_t /*cue*/, TextureTable& /*textures*/, double* time,
                 OffscreenBuffer& /*buffer*/) {
    if (*time > timing::segmentEnd(3)) {
        return true;
    }
    gfx::drawScaffoldingFrame(0.02f, 0.02f, 0.08f);
    return false;
}
