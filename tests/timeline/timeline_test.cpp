// The frame driver with a fake clock: Segment order and transitions, time
// values, the Layer schedule and the cue value, without a window.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "timeline/timeline.h"

namespace {

using segments::Layer;

struct SegmentCall {
    int index;
    double time;
    const double* pointer;
    std::int32_t cue;
};
struct LayerCall {
    Layer layer;
    double time;
    std::int32_t cue;
};

class TimelineTest : public ::testing::Test {
protected:
    void SetUp() override {
        timeline::Hooks h;
        h.tickCount = [this] { return now; };
        h.musicPosition = [this] { return position; };
        h.cueLookup = [this](double seconds) {
            lookups.push_back(seconds);
            return 7;
        };
        h.escapePressed = [this] { return escape; };
        h.startSegment = [this](int k) {
            events.push_back("start " + std::to_string(k));
            startTicks.push_back(now);
        };
        h.renderSegment = [this](int k, std::int32_t cue, TextureTable&, double* time,
                                 OffscreenBuffer&) {
            events.push_back("render " + std::to_string(k));
            renders.push_back({k, *time, time, cue});
            return finishAt[k] >= 0 && *time > finishAt[k];
        };
        h.renderLayer = [this](Layer layer, std::int32_t cue, TextureTable&, double* time,
                               OffscreenBuffer&) {
            events.push_back("layer");
            layers.push_back({layer, *time, cue});
        };
        h.playMusic = [this](int sound) {
            events.push_back("play " + std::to_string(sound));
            now += 5; // starting the music takes a moment
        };
        h.endProduction = [this](int code) { endCodes.push_back(code); };
        timeline::setHooks(h);
        timeline::musicFlag = true;
        timeline::segmentIndex = 0;
        timeline::segmentStartTick = 0;
        timeline::globalStartTick = 0;
        for (double& f : finishAt) {
            f = -1; // never finishes unless a test says so
        }
    }
    void TearDown() override { timeline::setHooks(timeline::defaultHooks()); }

    void startAt(std::uint32_t tick) {
        now = tick;
        timeline::resetTimeline();
        timeline::startProduction(3);
    }

    std::uint32_t now = 0;
    std::uint32_t position = 0;
    bool escape = false;
    double finishAt[10];
    std::vector<std::string> events;
    std::vector<std::uint32_t> startTicks;
    std::vector<SegmentCall> renders;
    std::vector<LayerCall> layers;
    std::vector<double> lookups;
    std::vector<int> endCodes;
};

TEST_F(TimelineTest, ResetStartsNothingAndTakesNoTick) {
    timeline::segmentStartTick = 123;
    now = 999;
    timeline::resetTimeline();
    EXPECT_EQ(timeline::segmentIndex, 0);
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(timeline::segmentStartTick, 123);
}

TEST_F(TimelineTest, EndOfLoadingStartsSegmentOneThenMusicThenTakesBothTicks) {
    startAt(1000);
    EXPECT_EQ(timeline::segmentIndex, 1);
    ASSERT_EQ(events, (std::vector<std::string>{"start 1", "play 3"}));
    // Both ticks are read after the music has started.
    EXPECT_EQ(timeline::segmentStartTick, 1005);
    EXPECT_EQ(timeline::globalStartTick, 1005);

    events.clear();
    timeline::musicFlag = false;
    timeline::segmentIndex = 0;
    timeline::startProduction(3);
    EXPECT_EQ(events, (std::vector<std::string>{"start 1"}));
}

TEST_F(TimelineTest, SegmentsRunInOrderAndStartAtTheFinishingFrame) {
    for (int k = 1; k <= 8; ++k) {
        finishAt[k] = 10.0 * k;
    }
    startAt(0);
    std::vector<int> order;
    for (int frame = 0; frame < 200000 && endCodes.empty(); ++frame) {
        now += 10;
        const int before = timeline::segmentIndex;
        timeline::runFrame();
        if (timeline::segmentIndex != before) {
            order.push_back(timeline::segmentIndex);
            // The start tick is the tick of the frame that reported finished.
            EXPECT_EQ(timeline::segmentStartTick, now);
            if (timeline::segmentIndex <= 8) {
                EXPECT_EQ(startTicks.back(), now);
            }
        }
    }
    EXPECT_EQ(order, (std::vector<int>{2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(endCodes, std::vector<int>{0});
    // The frame after Segment #8 finished draws nothing.
    EXPECT_EQ(renders.back().index, 8);
}

TEST_F(TimelineTest, LocalTimesUseEachScaleAndTheOffsetsOfSegmentsThreeFourSeven) {
    for (int k = 1; k <= 8; ++k) {
        const double scale = timing::segmentClock(k).scale;
        const double offset = timing::segmentClock(k).offset;
        timeline::segmentIndex = k;
        timeline::segmentStartTick = 500;
        now = 1500;
        renders.clear();
        timeline::runFrame();
        ASSERT_EQ(renders.size(), 1u);
        EXPECT_DOUBLE_EQ(timeline::localTime, 1000 * scale) << "Segment " << k;
        EXPECT_DOUBLE_EQ(renders[0].time, 1000 * scale + offset) << "Segment " << k;
        const bool copy = k == 3 || k == 4 || k == 7;
        // A render may overwrite its time; only the Segments with an offset
        // get a copy, the others the local-time variable itself.
        EXPECT_EQ(renders[0].pointer == &timeline::localTime, !copy) << "Segment " << k;
    }
}

TEST_F(TimelineTest, SegmentFinishingInItsFirstFrameHandsOverAtOnce) {
    finishAt[2] = 0.0; // finished as soon as its time is above 0
    finishAt[1] = 1.0;
    startAt(0);
    now = 300; // Segment #1 at 1.215: finishes
    timeline::runFrame();
    EXPECT_EQ(timeline::segmentIndex, 2);
    now = 301; // Segment #2's first frame, local time near 0 but above it
    timeline::runFrame();
    EXPECT_EQ(timeline::segmentIndex, 3);
    ASSERT_EQ(renders.size(), 2u);
    EXPECT_EQ(renders[1].index, 2);
    EXPECT_NEAR(renders[1].time, 0.0038, 1e-12);
    EXPECT_EQ(events.back(), "start 3");
}

TEST_F(TimelineTest, NextSegmentStartsAfterTheLayersOfTheFinishingFrame) {
    finishAt[1] = 0.0;
    startAt(0);
    timeline::globalStartTick = -1e6; // every Layer on
    now = 10;
    timeline::runFrame();
    EXPECT_EQ(events, (std::vector<std::string>{"start 1", "play 3", "render 1", "layer", "layer",
                                                "layer", "layer", "start 2"}));
}

// Picks a tick and a global start tick for which this frame's global time is
// exactly `value` (not every tick allows that in double precision).
bool aimGlobalTimeAt(double value, std::uint32_t& now) {
    // A start tick near 0 keeps the difference free to take every value.
    const auto first = static_cast<std::uint32_t>(std::ceil(value / timing::kGlobalScale));
    for (std::uint32_t tick = first; tick < first + 1000; ++tick) {
        double start = tick - value / timing::kGlobalScale;
        for (int i = 0; i < 8; ++i) {
            start = std::nextafter(start, -1e300);
        }
        for (int i = 0; i < 16; ++i, start = std::nextafter(start, 1e300)) {
            if ((tick - start) * timing::kGlobalScale == value) {
                now = tick;
                timeline::globalStartTick = start;
                return true;
            }
        }
    }
    return false;
}

TEST_F(TimelineTest, LayersStartStrictlyAfterTheirStartValues) {
    const Layer order[] = {Layer::A, Layer::B, Layer::C, Layer::D};
    const double starts[] = {540.0, 690.0, 850.0, 1553.5};
    timeline::segmentIndex = 0; // no Segment: only the Layers draw
    for (int i = 0; i < 4; ++i) {
        ASSERT_TRUE(aimGlobalTimeAt(starts[i], now));
        layers.clear();
        timeline::runFrame();
        ASSERT_EQ(timeline::globalTime, starts[i]);
        EXPECT_EQ(layers.size(), static_cast<std::size_t>(i)) << "at exactly " << starts[i];

        now += 1; // one tick later: 0.0065 above
        layers.clear();
        timeline::runFrame();
        ASSERT_GT(timeline::globalTime, starts[i]);
        ASSERT_EQ(layers.size(), static_cast<std::size_t>(i + 1)) << "just above " << starts[i];
        for (int j = 0; j <= i; ++j) {
            EXPECT_EQ(layers[j].layer, order[j]);
        }
    }
}

TEST_F(TimelineTest, LayerTimesAndLayerBMeasuredFrom682) {
    timeline::segmentIndex = 0;
    ASSERT_TRUE(aimGlobalTimeAt(690.0, now));
    now += 1;
    timeline::runFrame();
    ASSERT_EQ(layers.size(), 2u);
    EXPECT_NEAR(layers[0].time, 150.0065 * 0.79, 1e-9);
    EXPECT_EQ(layers[1].layer, Layer::B);
    EXPECT_NEAR(layers[1].time, 8.0065 * 1.223, 1e-9); // about 9.78, not 0

    now = 10000000;
    timeline::globalStartTick = 0;
    layers.clear();
    timeline::runFrame();
    ASSERT_EQ(layers.size(), 4u);
    const double global = now * 0.0065;
    EXPECT_DOUBLE_EQ(layers[2].time, (global - 850) * 1.1);
    EXPECT_DOUBLE_EQ(layers[3].time, (global - 1553.5) * 1.1);
}

TEST_F(TimelineTest, CueValueFromMusicPositionAndZeroWithoutMusic) {
    timeline::segmentIndex = 1;
    timeline::globalStartTick = 0;
    now = 1000000; // all Layers on
    position = 441000;
    timeline::runFrame();
    ASSERT_EQ(lookups.size(), 1u);
    EXPECT_DOUBLE_EQ(lookups[0], 10.0);
    EXPECT_EQ(renders.back().cue, 7);
    for (const LayerCall& call : layers) {
        EXPECT_EQ(call.cue, 7);
    }

    timeline::musicFlag = false;
    lookups.clear();
    layers.clear();
    timeline::runFrame();
    EXPECT_TRUE(lookups.empty()) << "the table is not consulted without music";
    EXPECT_EQ(renders.back().cue, 0);
    for (const LayerCall& call : layers) {
        EXPECT_EQ(call.cue, 0);
    }
}

TEST_F(TimelineTest, EscapeEndsWithZeroBeforeAnythingIsDrawn) {
    startAt(0);
    timeline::segmentIndex = 5;
    escape = true;
    now = 5000000;
    timeline::runFrame();
    EXPECT_EQ(endCodes, std::vector<int>{0});
    EXPECT_TRUE(renders.empty());
    EXPECT_TRUE(layers.empty());
    EXPECT_EQ(timeline::segmentIndex, 5); // no further start routine
}

TEST_F(TimelineTest, AfterTheLastSegmentTheNextFrameEndsTheProgram) {
    finishAt[8] = 0.0;
    timeline::segmentIndex = 8;
    now = 100;
    timeline::runFrame();
    EXPECT_EQ(timeline::segmentIndex, 9);
    EXPECT_EQ(timeline::segmentStartTick, 100);
    EXPECT_TRUE(endCodes.empty());
    const std::size_t drawn = renders.size();
    timeline::runFrame();
    EXPECT_EQ(endCodes, std::vector<int>{0});
    EXPECT_EQ(renders.size(), drawn);
}

} // namespace
