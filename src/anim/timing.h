// The production's clocks in one table: how each Segment's time value follows
// the tick count and when it ends, and when each Layer draws. The Timeline,
// the Segments, the capture tool, the asset generator's music and the tests
// all read it from here, so a change of timing is one edit.
#pragma once

namespace timing {

inline constexpr int kSegmentCount = 8;
inline constexpr int kLayerCount = 4;

// Global time units per millisecond since the end of loading.
inline constexpr double kGlobalScale = 0.0065;

// A Segment's time value is (ms since its start) x scale, plus offset for the
// Segments that are handed a copy of their clock; the render reports finished
// on the first frame whose value exceeds `end`.
struct SegmentClock {
    double scale;
    double offset;
    bool passesCopy;
    double end;
};

inline constexpr SegmentClock kSegmentClocks[kSegmentCount] = {
    {0.00405, 0.0, false, 81.0}, {0.0038, 0.0, false, 76.95},   {0.00362, 0.0, true, 165.6},
    {0.00362, 0.1, true, 87.0},  {0.0088, 0.0, false, 212.0},   {0.00552, 0.0, false, 287.0},
    {0.0173, 6.0, true, 968.0},  {0.005508, 0.0, false, 163.5},
};

// Segment k = 1..8.
constexpr const SegmentClock& segmentClock(int k) {
    return kSegmentClocks[k - 1];
}
constexpr double segmentEnd(int k) {
    return segmentClock(k).end;
}

// A Layer draws while the global time is strictly above `start`; its own time
// is (global time - origin) x scale, and it stops drawing by itself once that
// reaches `end`.
struct LayerClock {
    double start;
    double origin;
    double scale;
    double end;
};

// In drawing order: A (rising jellyfish), B (goldfish), C (tile break-up),
// D (star fractal).
inline constexpr LayerClock kLayerClocks[kLayerCount] = {
    {540.0, 540.0, 0.79, 40.0},
    {690.0, 682.0, 1.223, 176.0},
    {850.0, 850.0, 1.1, 45.0},
    {1553.5, 1553.5, 1.1, 76.0},
};

// Milliseconds a Segment runs until its value passes its end (a frame later
// it reports finished).
constexpr double segmentMilliseconds(int k) {
    return (segmentClock(k).end - segmentClock(k).offset) / segmentClock(k).scale;
}

} // namespace timing
