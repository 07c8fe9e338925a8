// The production's timing in music seconds, derived from each Segment's clock,
// and the cue table. The soundtrack and musicinfo2.txt are both built from
// this one table, so a hit in the music and the cue that reacts to it cannot
// drift apart.
#pragma once

#include <cmath>
#include <vector>

#include "anim/timing.h"

namespace assetgen::timing {

inline constexpr int kSegmentCount = ::timing::kSegmentCount;

// How a Segment's time value follows the clock: value = elapsed ms x scale +
// offset; the Segment finishes once the value exceeds its end.
using SegmentClock = ::timing::SegmentClock;
inline constexpr const SegmentClock (&kSegmentClocks)[kSegmentCount] = ::timing::kSegmentClocks;

// Bars of music in each Segment: each Segment gets a whole number of bars,
// so the tempo is nudged per Segment (118-122 BPM) and every section change
// falls on a Segment boundary.
inline constexpr int kBarsPerSegment[kSegmentCount] = {10, 10, 23, 12, 12, 26, 28, 15};

// Segments are numbered 1..8 as on screen.
inline double segmentSeconds(int segment) {
    const SegmentClock& c = kSegmentClocks[segment - 1];
    return (c.end - c.offset) / c.scale / 1000.0;
}

// Music second at which a Segment starts; segmentStart(9) is the end of the
// production.
inline double segmentStart(int segment) {
    double start = 0.0;
    for (int s = 1; s < segment; ++s) {
        start += segmentSeconds(s);
    }
    return start;
}

inline double productionEnd() {
    return segmentStart(kSegmentCount + 1);
}

// Music second at which a Segment's time value reaches t, and back.
inline double musicTimeAt(int segment, double t) {
    const SegmentClock& c = kSegmentClocks[segment - 1];
    return segmentStart(segment) + (t - c.offset) / c.scale / 1000.0;
}

inline double segmentTimeAt(int segment, double seconds) {
    const SegmentClock& c = kSegmentClocks[segment - 1];
    return (seconds - segmentStart(segment)) * 1000.0 * c.scale + c.offset;
}

inline double barSeconds(int segment) {
    return segmentSeconds(segment) / kBarsPerSegment[segment - 1];
}

// Music second of a (fractional) bar of a Segment; 16 steps make a bar.
inline double barTime(int segment, double bar) {
    return segmentStart(segment) + bar * barSeconds(segment);
}

inline double stepTime(int segment, int bar, double step) {
    return barTime(segment, bar + step / 16.0);
}

// The bar nearest to the moment a Segment's time value reaches t: where the
// music changes inside a Segment whose picture changes at t.
inline int barAtSegmentTime(int segment, double t) {
    return static_cast<int>(
        std::lround((musicTimeAt(segment, t) - segmentStart(segment)) / barSeconds(segment)));
}

// The blobby surface takes over from the butterflies, and the gallery camera
// pulls back from the underwater picture.
inline int surfaceBar() {
    return barAtSegmentTime(3, 85.0);
}
inline int galleryBar() {
    return barAtSegmentTime(6, 144.4);
}

// Length of the encoded track: the production's end plus a short tail.
inline constexpr double kTrackSeconds = 272.0;
inline constexpr int kSampleRate = 44100;

struct Cue {
    int value;
    double start;
    double end;
};

// The tunnel's stutters: a run of sixteenths at the end of a bar, each
// rewinding the picture to 18 - value. {bar, first step, values...}.
struct Stutter {
    int bar;
    int firstStep;
    std::vector<int> values;
};

inline std::vector<Stutter> tunnelStutters() {
    return {{3, 14, {2, 1}}, {5, 12, {4, 3, 2, 1}}, {7, 14, {2, 1}}, {8, 11, {5, 4, 3, 2, 1}}};
}

// The rain's two hits: the strong one (roll and feedback pull) and the later
// one (roll only), each on a downbeat and held for a bar.
inline constexpr int kRainStrongHitBar = 4;
inline constexpr int kRainLaterHitBar = 8;

// The deep sea's reversals: the picture's time mirrors around these values,
// and the music is played backwards around the same instants.
inline constexpr double kDeepMirrorTime2 = 260.0;   // cue 2: t = 520 - t
inline constexpr double kDeepMirrorTime4 = 500.0;   // cue 4: t = 1000 - t
inline constexpr double kDeepMirrorHalfWidth = 0.5; // seconds either side

inline double deepMirror2() {
    return musicTimeAt(7, kDeepMirrorTime2);
}
inline double deepMirror4() {
    return musicTimeAt(7, kDeepMirrorTime4);
}

inline std::vector<Cue> musicCues() {
    std::vector<Cue> cues;
    for (const Stutter& s : tunnelStutters()) {
        for (int i = 0; i < static_cast<int>(s.values.size()); ++i) {
            cues.push_back({s.values[i], stepTime(2, s.bar, s.firstStep + i),
                            stepTime(2, s.bar, s.firstStep + i + 1)});
        }
    }
    cues.push_back({2, barTime(4, kRainStrongHitBar), barTime(4, kRainStrongHitBar + 1)});
    cues.push_back({3, barTime(4, kRainLaterHitBar), barTime(4, kRainLaterHitBar + 1)});
    cues.push_back({2, deepMirror2() - kDeepMirrorHalfWidth, deepMirror2() + kDeepMirrorHalfWidth});
    cues.push_back({4, deepMirror4() - kDeepMirrorHalfWidth, deepMirror4() + kDeepMirrorHalfWidth});
    return cues;
}

} // namespace assetgen::timing
