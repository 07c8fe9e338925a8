// The frame driver: runs the eight Segments one after another, each until its
// render reports finished, and draws the four Layers over them once the global
// clock has passed their start values. Both clocks come from the tick count.
#pragma once

#include <cstdint>
#include <functional>

#include "anim/timing.h"
#include "gfx/offscreen_buffer.h"
#include "gfx/texture_table.h"
#include "segments/segments.h"

namespace timeline {

// Music is loaded, played and used for the cue value. Cleared by the command
// line or by the music prompt; read by the Timeline and the loading sequence.
extern bool musicFlag;

// 0: no Segment yet; 1..8: Segment #1..#8 running; 9: the production is over.
extern std::int32_t segmentIndex;
extern double segmentStartTick; // tick count (ms) at which the current Segment started
extern double globalStartTick;  // tick count (ms) taken at the very end of loading
extern double localTime;        // the current Segment's clock for this frame
extern double globalTime;       // the global clock for this frame
extern std::int32_t frameCue;   // the cue value of this frame

inline constexpr int kEndIndex = 9;
inline constexpr int kLayerCount = timing::kLayerCount;
// The Layer drawn i-th each frame (i = 0..3: A, B, C, D), with the clock
// timing::kLayerClocks[i].
segments::Layer layerAt(int i);

// Adds 1 to the Segment index, starts that Segment and takes its start tick.
void advanceSegment();
// One frame: cue value, Escape, clocks, the running Segment, the Layers, and
// the next Segment when the running one has finished. May end the process.
void runFrame();

// Starts Segment k (1..8) now, as if the one before had just finished: a
// player's seek. The Layers follow the global clock by themselves.
void jumpToSegment(int k);

// Start of loading: index -1, then advanceSegment (leaves index 0, nothing started).
void resetTimeline();
// End of loading, after the cue table is read: starts Segment #1, starts the
// music when the music flag is set, then takes the Segment and global start ticks.
void startProduction(int musicSound);

// Seams between the Timeline and the rest of the program. The defaults are
// the real tick counter, sound position, cue table, Escape key, Segments,
// Layers and teardown; tests replace them to drive frames with a fake clock.
struct Hooks {
    std::function<std::uint32_t()> tickCount;
    std::function<std::uint32_t()> musicPosition;
    std::function<std::int32_t(double)> cueLookup;
    std::function<bool()> escapePressed;
    std::function<void(int)> startSegment;
    std::function<bool(int, std::int32_t, TextureTable&, double*, OffscreenBuffer&)> renderSegment;
    std::function<void(segments::Layer, std::int32_t, TextureTable&, double*, OffscreenBuffer&)>
        renderLayer;
    std::function<void(int)> playMusic;
    // Tears the window down and ends the process; never returns in the program.
    std::function<void(int)> endProduction;
};
Hooks defaultHooks();
void setHooks(Hooks hooks);

} // namespace timeline
