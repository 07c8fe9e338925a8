// What the four Layers share: when each stops drawing, and a scope that hands
// the GL state back to the Segment underneath once the Layer has drawn.
#pragma once

#include "anim/timing.h"
#include "segments/segments.h"

namespace segments {

// A Layer draws while its own time is below its end value; a time that is
// not a number draws nothing.
inline bool layerDrawsAt(Layer layer, double tau) {
    return tau < timing::kLayerClocks[static_cast<int>(layer)].end;
}

// Saves every attribute, the projection and the modelview matrix, and starts
// the Layer from an identity modelview. The Segments set their projection once
// at their start and rely on it (and on other state) from frame to frame, so a
// Layer must not leave its own behind.
class LayerStateScope {
public:
    LayerStateScope();
    ~LayerStateScope();
    LayerStateScope(const LayerStateScope&) = delete;
    LayerStateScope& operator=(const LayerStateScope&) = delete;
};

} // namespace segments
