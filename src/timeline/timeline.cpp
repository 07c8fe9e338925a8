#include "timeline/timeline.h"

#include "anim/music_cue_table.h"
#include "app/window.h"
#include "platform/platform.h"

namespace timeline {

bool musicFlag = true;
std::int32_t segmentIndex = 0;
double segmentStartTick = 0;
double globalStartTick = 0;
double localTime = 0;
double globalTime = 0;

namespace {

constexpr SegmentClock kSegmentClocks[segments::kSegmentCount] = {
    {0.00405, 0.0, false}, {0.0038, 0.0, false},  {0.00362, 0.0, true}, {0.00362, 0.1, true},
    {0.0088, 0.0, false},  {0.00552, 0.0, false}, {0.0173, 6.0, true},  {0.005508, 0.0, false},
};

constexpr LayerSchedule kLayers[kLayerCount] = {
    {segments::Layer::A, 540.0, 540.0, 0.79},
    {segments::Layer::B, 690.0, 682.0, 1.223},
    {segments::Layer::C, 850.0, 850.0, 1.1},
    {segments::Layer::D, 1553.5, 1553.5, 1.1},
};

Hooks hooks = defaultHooks();

double ticks() {
    return static_cast<double>(hooks.tickCount());
}

// Samples to seconds with the reciprocal held in extended precision, the
// product rounded to double.
double musicSeconds(std::uint32_t samples) {
    const long double reciprocal = 1.0L / 44100.0L;
    return static_cast<double>(static_cast<long double>(samples) * reciprocal);
}

std::int32_t cueValue() {
    if (!musicFlag) {
        return 0;
    }
    return hooks.cueLookup(musicSeconds(hooks.musicPosition()));
}

bool renderRunningSegment(std::int32_t cue) {
    if (segmentIndex < 1 || segmentIndex > segments::kSegmentCount) {
        return false;
    }
    const SegmentClock& clock = segmentClock(segmentIndex);
    localTime = (ticks() - segmentStartTick) * clock.scale;
    if (clock.passesCopy) {
        double time = localTime + clock.offset;
        return hooks.renderSegment(segmentIndex, cue, textureTable, &time, offscreenBuffer);
    }
    return hooks.renderSegment(segmentIndex, cue, textureTable, &localTime, offscreenBuffer);
}

void renderLayers(std::int32_t cue) {
    for (const LayerSchedule& layer : kLayers) {
        if (globalTime > layer.start) {
            double time = (globalTime - layer.origin) * layer.scale;
            hooks.renderLayer(layer.layer, cue, textureTable, &time, offscreenBuffer);
        }
    }
}

} // namespace

const SegmentClock& segmentClock(int index) {
    return kSegmentClocks[index - 1];
}

const LayerSchedule& layerSchedule(int i) {
    return kLayers[i];
}

Hooks defaultHooks() {
    Hooks h;
    h.tickCount = [] { return platform::tickCount(); };
    h.musicPosition = [] { return platform::musicPosition(); };
    h.cueLookup = [](double seconds) { return musicCueTable.lookup(seconds); };
    h.escapePressed = [] { return platform::escapePressed(); };
    h.startSegment = [](int k) { segments::startSegment(k); };
    h.renderSegment = [](int k, std::int32_t cue, TextureTable& t, double* time,
                         OffscreenBuffer& b) {
        return segments::renderSegment(k, cue, t, time, b);
    };
    h.renderLayer = [](segments::Layer layer, std::int32_t cue, TextureTable& t, double* time,
                       OffscreenBuffer& b) { segments::renderLayer(layer, cue, t, time, b); };
    h.playMusic = [](int sound) { platform::soundPlay(sound); };
    h.endProduction = [](int code) { shell::closeAndExit(code); };
    return h;
}

void setHooks(Hooks newHooks) {
    hooks = std::move(newHooks);
}

void advanceSegment() {
    segmentIndex += 1;
    if (segmentIndex == 0) {
        return; // the reset at the start of loading: nothing starts
    }
    if (segmentIndex >= 1 && segmentIndex <= segments::kSegmentCount) {
        hooks.startSegment(segmentIndex);
    }
    segmentStartTick = ticks();
}

void runFrame() {
    const std::int32_t cue = cueValue();
    if (hooks.escapePressed()) {
        hooks.endProduction(0);
        return;
    }
    globalTime = (ticks() - globalStartTick) * kGlobalScale;
    if (segmentIndex == kEndIndex) {
        hooks.endProduction(0);
        return;
    }
    const bool finished = renderRunningSegment(cue);
    renderLayers(cue);
    if (finished) {
        advanceSegment();
    }
}

void resetTimeline() {
    segmentIndex = -1;
    advanceSegment();
}

void startProduction(int musicSound) {
    advanceSegment();
    if (musicFlag) {
        hooks.playMusic(musicSound);
    }
    segmentStartTick = ticks();
    globalStartTick = ticks();
}

} // namespace timeline
