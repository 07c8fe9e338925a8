#include "gfx/random.h"

namespace gfx {

std::int32_t RandomSequence::next() {
    // 64-bit linear congruential step; the high bits are the well-mixed ones.
    state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<std::int32_t>(state_ >> 33);
}

namespace {
RandomSequence& processSequence() {
    static RandomSequence sequence;
    return sequence;
}
} // namespace

std::int32_t lrand() {
    return processSequence().next();
}

void restartRandomSequence() {
    processSequence() = RandomSequence{};
}

} // namespace gfx
