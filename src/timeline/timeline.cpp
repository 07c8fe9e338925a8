#include "timeline/timeline.h"

#include "anim/music_cue_table.h"
#include "platform/platform.h"

namespace timeline {

bool musicFlag = true;
std::int32_t segmentIndex = 0;
double segmentStartTick = 0;
double globalStartTick = 0;
double localTime = 0;
double globalTime = 0;
std::int32_t frameCue = 0;

namespace {

constexpr segments::Layer kLayerOrder[kLayerCount] = {segments::Layer::A, segments::Layer::B,
                                                      segments::Layer::C, segments::Layer::D};

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
    const timing::SegmentClock& clock = timing::segmentClock(segmentIndex);
    localTime = (ticks() - segmentStartTick) * clock.scale;
    if (clock.passesCopy) {
        double time = localTime + clock.offset;
        return hooks.renderSegment(segmentIndex, cue, textureTable, &time, offscreenBuffer);
    }
    return hooks.renderSegment(segmentIndex, cue, textureTable, &localTime, offscreenBuffer);
}

void renderLayers(std::int32_t cue) {
    for (int i = 0; i < kLayerCount; ++i) {
        const timing::LayerClock& clock = timing::kLayerClocks[i];
        if (globalTime > clock.start) {
            double time = (globalTime - clock.origin) * clock.scale;
            hooks.renderLayer(kLayerOrder[i], cue, textureTable, &time, offscreenBuffer);
        }
    }
}

} // namespace

segments::Layer layerAt(int i) {
    return kLayerOrder[i];
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
    h.endProduction = [](int code) { platform::endProcess(code); };
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
    frameCue = cue;
    if (hooks.escapePressed()) {
        hooks.endProduction(0);
        return;
    }
    globalTime = (ticks() - globalStartTick) * timing::kGlobalScale;
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

void jumpToSegment(int k) {
    segmentIndex = k - 1;
    advanceSegment();
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
