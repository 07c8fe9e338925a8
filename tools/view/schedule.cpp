#include "schedule.h"

#include <algorithm>
#include <cmath>

#include "anim/timing.h"

namespace view {

double frameMs(long n) {
    return static_cast<double>(n) * 1000.0 / kFramesPerSecond;
}

long frameNear(double ms) {
    return std::max(0L, std::lround(ms * kFramesPerSecond / 1000.0));
}

namespace {

// The tick count of frame n: the virtual clock is read in whole milliseconds.
double tickOf(long n) {
    return std::floor(frameMs(n));
}

// The first frame after `start` whose time value passes Segment k's end:
// the frame in which it reports finished and the next Segment starts.
long finishingFrame(int k, long start) {
    const timing::SegmentClock& clock = timing::segmentClock(k);
    long n = start + 1;
    while ((tickOf(n) - tickOf(start)) * clock.scale + clock.offset <= clock.end) {
        ++n;
    }
    return n;
}

} // namespace

Schedule::Schedule() {
    handovers_[1] = 0;
    for (int k = 1; k <= kSegments; ++k) {
        handovers_[static_cast<std::size_t>(k + 1)] = finishingFrame(k, handover(k));
    }
}

double Schedule::startTick(int k) const {
    return tickOf(handover(k));
}

int Schedule::segmentOf(long n) const {
    for (int k = kSegments; k > 1; --k) {
        if (n > handover(k)) {
            return k;
        }
    }
    return 1;
}

long Schedule::drawingFrame(long n) const {
    n = std::clamp(n, 0L, lastFrame());
    for (int k = 2; k <= kSegments; ++k) {
        if (n == handover(k)) {
            return n + 1;
        }
    }
    return n;
}

ReplayPlan planReplay(long frames, long affordable, long maxTail) {
    affordable = std::max(affordable, 1L);
    if (frames <= affordable) {
        return {frames, 1};
    }
    const long tail = std::clamp(affordable / 2, 1L, std::max(maxTail, 1L));
    const long head = frames - tail;
    const long headDrawn = std::max(affordable - tail, 1L);
    return {tail, (head + headDrawn - 1) / headDrawn};
}

} // namespace view
