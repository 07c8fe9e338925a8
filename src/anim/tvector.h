// The 32-byte key record: a point or direction with a state byte.
#pragma once

#include <cstdint>

struct TVector {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
    // 0: no value, 1: value, 2: unit length.
    std::uint8_t state = 0;
};
