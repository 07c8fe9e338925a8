// The viewer's frame grid against the frame driver itself: a fake clock
// stepped as hlv-capture steps its virtual clock, Segments that finish as
// their clocks say, and the frames where each Segment takes over.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "anim/timing.h"
#include "timeline/timeline.h"
#include "view/schedule.h"

namespace {

using view::Schedule;

// Runs the frame driver frame by frame on the 30 fps grid and notes the frame
// in which each Segment starts.
std::vector<long> handoversOfTheFrameDriver() {
    double nowMs = 0.0;
    long frame = 0;
    std::vector<long> handovers(timing::kSegmentCount + 2, -1);
    timeline::Hooks h;
    h.tickCount = [&] { return static_cast<std::uint32_t>(std::floor(nowMs)); };
    h.musicPosition = [] { return 0u; };
    h.cueLookup = [](double) { return 0; };
    h.escapePressed = [] { return false; };
    h.startSegment = [&](int k) { handovers[static_cast<std::size_t>(k)] = frame; };
    h.renderSegment = [](int k, std::int32_t, TextureTable&, double* time, OffscreenBuffer&) {
        return *time > timing::segmentEnd(k);
    };
    h.renderLayer = [](segments::Layer, std::int32_t, TextureTable&, double*, OffscreenBuffer&) {};
    h.playMusic = [](int) {};
    bool ended = false;
    h.endProduction = [&](int) { ended = true; };
    timeline::setHooks(h);
    timeline::musicFlag = false;
    timeline::resetTimeline();
    timeline::startProduction(-1);
    for (; !ended && frame < 20000; ++frame) {
        nowMs = view::frameMs(frame);
        const int before = timeline::segmentIndex;
        timeline::runFrame();
        if (before == timing::kSegmentCount && timeline::segmentIndex == timeline::kEndIndex) {
            handovers[timing::kSegmentCount + 1] = frame;
        }
    }
    timeline::setHooks(timeline::defaultHooks());
    return handovers;
}

TEST(Schedule, HandoversAreTheFramesInWhichTheFrameDriverStartsEachSegment) {
    const std::vector<long> expected = handoversOfTheFrameDriver();
    const Schedule schedule;
    for (int k = 1; k <= timing::kSegmentCount + 1; ++k) {
        EXPECT_EQ(schedule.handover(k), expected[static_cast<std::size_t>(k)]) << "Segment " << k;
    }
    // Segment 2 takes over about 20 s in (81 units at 4.05 a second).
    EXPECT_NEAR(view::frameMs(schedule.handover(2)), 20000.0, 1000.0 / 30.0);
}

TEST(Schedule, HandoverFramesBelongToTheEndingSegmentAndAreNeverShown) {
    const Schedule schedule;
    for (int k = 2; k <= timing::kSegmentCount; ++k) {
        const long handover = schedule.handover(k);
        EXPECT_EQ(schedule.segmentOf(handover), k - 1);
        EXPECT_EQ(schedule.segmentOf(handover + 1), k);
        EXPECT_EQ(schedule.firstFrame(k), handover + 1);
        EXPECT_EQ(schedule.drawingFrame(handover), handover + 1);
        EXPECT_EQ(schedule.drawingFrame(handover - 1), handover - 1);
    }
    EXPECT_EQ(schedule.drawingFrame(-5), 0);
    EXPECT_EQ(schedule.drawingFrame(schedule.lastFrame() + 100), schedule.lastFrame());
    EXPECT_EQ(schedule.segmentOf(schedule.lastFrame()), timing::kSegmentCount);
}

TEST(Schedule, FramesNearATimeRoundToTheGridAndNeverGoNegative) {
    EXPECT_EQ(view::frameNear(94000.0), 2820);
    EXPECT_EQ(view::frameNear(94010.0), 2820);
    EXPECT_EQ(view::frameNear(94020.0), 2821);
    EXPECT_EQ(view::frameNear(-300.0), 0);
    // The clock reads exactly what the capture tool's does: 3 frames, 100 ms.
    EXPECT_EQ(view::frameMs(3), 100.0);
}

TEST(ReplayPlan, DrawsEveryFrameWhenAffordableAndOtherwiseStaysInsideTheBudget) {
    const view::ReplayPlan all = view::planReplay(40, 60, 120);
    EXPECT_EQ(all.stride, 1);
    EXPECT_EQ(all.tail, 40);

    for (long frames : {61L, 300L, 1669L}) {
        for (long affordable : {1L, 2L, 7L, 60L}) {
            const view::ReplayPlan plan = view::planReplay(frames, affordable, 120);
            const long head = frames - plan.tail;
            const long headDrawn = (head + plan.stride - 1) / plan.stride;
            SCOPED_TRACE(std::to_string(frames) + " frames, " + std::to_string(affordable));
            EXPECT_GE(plan.tail, 1); // the target itself is always drawn
            EXPECT_LE(plan.tail, std::max(1L, affordable / 2));
            EXPECT_LE(plan.tail + headDrawn, std::max(affordable, 2L));
        }
    }
    EXPECT_EQ(view::planReplay(5000, 1000, 120).tail, 120); // trails never need more
}

} // namespace
