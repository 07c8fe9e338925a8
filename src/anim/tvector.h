// The 32-byte key record: a point or direction with a state byte, and the
// growable key track built from it.
#pragma once

#include <cstdint>
#include <vector>

struct TVector {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
    // 0: no value, 1: value, 2: unit length.
    std::uint8_t state = 0;

    // Component access by index: 0 -> x, 1 -> y, anything else -> z.
    double& operator[](int i) { return i == 0 ? x : (i == 1 ? y : z); }
    double operator[](int i) const { return i == 0 ? x : (i == 1 ? y : z); }
};

static_assert(sizeof(TVector) == 32, "the key record is 32 bytes");

// A key as init and start routines write it: three values, state 1.
inline TVector makeKey(double x, double y, double z) {
    return TVector{x, y, z, 1};
}

// Keys of one output of a Router, appended in order by the owner.
using KeyTrack = std::vector<TVector>;
