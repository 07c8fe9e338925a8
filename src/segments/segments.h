// The eight Segments and four Layers as the Timeline and the loading sequence
// see them: init (during loading), start (when a Segment becomes current) and
// render (every frame). Each effect's own state lives in its partN / interN
// object, declared in its own header.
#pragma once

#include <cstdint>

#include "gfx/offscreen_buffer.h"
#include "gfx/texture_table.h"

namespace segments {

inline constexpr int kSegmentCount = 8;

// Segment k = 1..8. initSegment is a no-op for Segment 1 (it has no init).
void initSegment(int k);
void startSegment(int k);
// Returns the finished flag: true on the first call whose time exceeds the
// Segment's end (nothing is drawn then). The render may overwrite *time.
bool renderSegment(int k, std::int32_t cue, TextureTable& textures, double* time,
                   OffscreenBuffer& buffer);

// A player that seeks replays a Segment from its start. remember...() keeps
// a copy of every Segment's object as its init left it (call it once, after
// loading); rewindSegment(k) puts object k back to that copy, so that the next
// start of k runs it as in a continuous run. Without a copy it does nothing.
void rememberInitialStates();
void rewindSegment(int k);

enum class Layer { A, B, C, D };
void initLayer(Layer layer);
void renderLayer(Layer layer, std::int32_t cue, TextureTable& textures, double* time,
                 OffscreenBuffer& buffer);

} // namespace segments
