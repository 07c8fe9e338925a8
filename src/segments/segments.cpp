#include "segments/segments.h"

#include <optional>
#include <tuple>

#include "segments/layers.h"
#include "segments/part1.h"
#include "segments/part2.h"
#include "segments/part3.h"
#include "segments/part4.h"
#include "segments/part5.h"
#include "segments/part6.h"
#include "segments/part7.h"
#include "segments/part8.h"

namespace segments {
namespace {

struct SegmentEntry {
    void (*init)();
    void (*start)();
    bool (*render)(std::int32_t, TextureTable&, double*, OffscreenBuffer&);
};

// Binds each Segment's routines to its one static object.
template <class Part, Part& object, void (*Init)(Part&), void (*Start)(Part&),
          bool (*Render)(Part&, std::int32_t, TextureTable&, double*, OffscreenBuffer&)>
constexpr SegmentEntry entry() {
    return {[] { Init(object); }, [] { Start(object); },
            [](std::int32_t cue, TextureTable& t, double* time, OffscreenBuffer& b) {
                return Render(object, cue, t, time, b);
            }};
}

const SegmentEntry kSegments[kSegmentCount] = {
    entry<part1, part1Object, initPart1, startPart1, renderPart1>(),
    entry<part2, part2Object, initPart2, startPart2, renderPart2>(),
    entry<part3, part3Object, initPart3, startPart3, renderPart3>(),
    entry<part4, part4Object, initPart4, startPart4, renderPart4>(),
    entry<part5, part5Object, initPart5, startPart5, renderPart5>(),
    entry<part6, part6Object, initPart6, startPart6, renderPart6>(),
    entry<part7, part7Object, initPart7, startPart7, renderPart7>(),
    entry<part8, part8Object, initPart8, startPart8, renderPart8>(),
};

// The objects as their init left them, in Segment order.
std::tuple<std::optional<part1>, std::optional<part2>, std::optional<part3>, std::optional<part4>,
           std::optional<part5>, std::optional<part6>, std::optional<part7>, std::optional<part8>>
    initialStates;

std::tuple<part1&, part2&, part3&, part4&, part5&, part6&, part7&, part8&> segmentObjects() {
    return {part1Object, part2Object, part3Object, part4Object,
            part5Object, part6Object, part7Object, part8Object};
}

template <std::size_t... I> void rememberEach(std::index_sequence<I...>) {
    auto objects = segmentObjects();
    ((std::get<I>(initialStates) = std::get<I>(objects)), ...);
}

template <std::size_t... I> void rewindOne(int k, std::index_sequence<I...>) {
    auto objects = segmentObjects();
    const auto rewind = [&](auto& kept, auto& object, std::size_t index) {
        if (static_cast<int>(index) + 1 == k && kept) {
            object = *kept;
        }
    };
    (rewind(std::get<I>(initialStates), std::get<I>(objects), I), ...);
}

} // namespace

void rememberInitialStates() {
    rememberEach(std::make_index_sequence<kSegmentCount>());
}

void rewindSegment(int k) {
    rewindOne(k, std::make_index_sequence<kSegmentCount>());
}

void initSegment(int k) {
    if (k >= 2 && k <= kSegmentCount) {
        kSegments[k - 1].init();
    }
}

void startSegment(int k) {
    if (k >= 1 && k <= kSegmentCount) {
        kSegments[k - 1].start();
    }
}

bool renderSegment(int k, std::int32_t cue, TextureTable& textures, double* time,
                   OffscreenBuffer& buffer) {
    if (k < 1 || k > kSegmentCount) {
        return false;
    }
    return kSegments[k - 1].render(cue, textures, time, buffer);
}

void initLayer(Layer layer) {
    switch (layer) {
    case Layer::A:
        initLayerA(jellyPoints);
        break;
    case Layer::B:
        initLayerB(inter1Object);
        break;
    case Layer::C:
        initLayerC(inter2Object);
        break;
    case Layer::D:
        initLayerD(inter0Object);
        break;
    }
}

void renderLayer(Layer layer, std::int32_t cue, TextureTable& textures, double* time,
                 OffscreenBuffer& buffer) {
    switch (layer) {
    case Layer::A:
        renderLayerA(jellyPoints, cue, textures, time, buffer);
        break;
    case Layer::B:
        renderLayerB(inter1Object, cue, textures, time, buffer);
        break;
    case Layer::C:
        renderLayerC(inter2Object, cue, textures, time, buffer);
        break;
    case Layer::D:
        renderLayerD(inter0Object, cue, textures, time, buffer);
        break;
    }
}

} // namespace segments
