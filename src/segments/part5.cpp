#include "segments/part5.h"

#include "anim/timing.h"
#include "gfx/drawing.h"

// SCAFFOLDING: this Segment's own effect has not landed yet. It clears to a
// colour of its own and ends on time, so the Timeline can be run end to end.

part5 part5Object;

void initPart5(part5& /*self*/) {}

void startPart5(part5& self) {
    gfx::setUpPerspective(65, &self.aspect);
}

bool renderPart5(part5& /*self*/, std::int32_t /*cue*/, TextureTable& /*textures*/, double* time,
                 OffscreenBuffer& /*buffer*/) {
    if (*time > timing::segmentEnd(5)) {
        return true;
    }
    gfx::drawScaffoldingFrame(0.08f, 0.02f, 0.08f);
    return false;
}
