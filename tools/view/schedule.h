// Where the production stands at each frame of a continuous run at 30 frames
// a second, as hlv-capture plays it by default: the viewer's seeks, steps and
// loops land on those frames, so that a paused picture is one hlv-capture
// also draws.
#pragma once

#include <array>

namespace view {

inline constexpr double kFramesPerSecond = 30.0;
inline constexpr int kSegments = 8;

// Frame n's reading of the virtual clock, exactly as hlv-capture computes it.
double frameMs(long n);
// The frame nearest to a time in milliseconds (0 for a time before the first).
long frameNear(double ms);

// The frames at which each Segment takes over. Segment k (1..8) is started
// in frame handover(k) (for Segment 1: at the end of loading, before frame
// 0) and first draws in frame firstFrame(k); handover(9) is the frame after
// which the production ends, lastFrame() the last one that draws.
class Schedule {
public:
    Schedule();
    long handover(int k) const { return handovers_[static_cast<std::size_t>(k)]; }
    long firstFrame(int k) const { return k == 1 ? 0 : handover(k) + 1; }
    long lastFrame() const { return handover(kSegments + 1) - 1; }
    // The tick count at which Segment k's clock starts.
    double startTick(int k) const;
    // The Segment that draws frame n (0 <= n <= lastFrame()); a handover
    // frame belongs to the Segment that ends in it.
    int segmentOf(long n) const;
    // A frame that draws a picture of its Segment: a handover frame (where the
    // old Segment has finished and the new one not yet drawn) moves on by one,
    // and the result lies in 0..lastFrame().
    long drawingFrame(long n) const;

private:
    std::array<long, kSegments + 2> handovers_{};
};

// Which of a replay's frames to draw: all of the last `tail` ones (the
// feedback trails are made by consecutive frames), and before them one in
// every `stride`. frames counts the frames from the first to the target.
struct ReplayPlan {
    long tail = 0;
    long stride = 1;
};
// The plan that draws at most `affordable` frames of `frames` (at least the
// target itself), giving the trails up to half of them, and no more than
// `maxTail`.
ReplayPlan planReplay(long frames, long affordable, long maxTail);

} // namespace view
