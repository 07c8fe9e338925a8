// The production's one source of random numbers. It is never seeded, so every
// run (and every capture) draws the same sequence, frame for frame.
#pragma once

#include <cstdint>

namespace gfx {

// A generator with a fixed start state. Results cover 0 .. 2^31 - 1, far more
// than the largest modulus the effects take (10000), so remainders are even.
class RandomSequence {
public:
    std::int32_t next();

private:
    std::uint64_t state_ = 0x853c49e6748fea9bULL;
};

// The next number of the process-wide sequence.
std::int32_t lrand();

// Back to the start state, as in a fresh process. The production never calls
// it; tests do, so that a check does not depend on what ran before it.
void restartRandomSequence();

// (lrand() mod k): the remainder the effects scale into their ranges. k > 0.
inline std::int32_t randomBelow(std::int32_t k) {
    return lrand() % k;
}

} // namespace gfx
