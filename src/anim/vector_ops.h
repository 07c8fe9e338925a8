// Vector helpers on TVector that respect its state byte: an operation on a
// vector without value yields a vector without value.
#pragma once

#include "anim/tvector.h"

#include <cmath>

// Scales a vector of state 1 to unit length and marks it state 2. A vector
// shorter than 1e-8 becomes (0, 0, 0), also state 2. Vectors of state 0 or 2
// are returned unchanged.
inline TVector& normalise(TVector& v) {
    if (v.state != 1) {
        return v;
    }
    const double length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    if (length >= 1e-8) {
        const double k = 1.0 / length;
        v.x *= k;
        v.y *= k;
        v.z *= k;
    } else {
        v.x = v.y = v.z = 0.0;
    }
    v.state = 2;
    return v;
}

// out := a + b with state 1; out may be a or b.
inline TVector& add(const TVector& a, const TVector& b, TVector& out) {
    if (a.state == 0 || b.state == 0) {
        return out = TVector{};
    }
    out.x = a.x + b.x;
    out.y = a.y + b.y;
    out.z = a.z + b.z;
    out.state = 1;
    return out;
}

// out := a - b with state 1; out may be a or b.
inline TVector& subtract(const TVector& a, const TVector& b, TVector& out) {
    if (a.state == 0 || b.state == 0) {
        return out = TVector{};
    }
    out.x = a.x - b.x;
    out.y = a.y - b.y;
    out.z = a.z - b.z;
    out.state = 1;
    return out;
}

// out := a x b with state 1. The components are computed before any is
// stored, so out may even be a or b.
inline TVector& cross(const TVector& a, const TVector& b, TVector& out) {
    if (a.state == 0 || b.state == 0) {
        return out = TVector{};
    }
    const double x = a.y * b.z - a.z * b.y;
    const double y = a.z * b.x - a.x * b.z;
    const double z = a.x * b.y - a.y * b.x;
    out = TVector{x, y, z, 1};
    return out;
}

// out := v * s keeping v's state (a scaled unit vector stays state 2, so a
// later normalise leaves it as it is); out may be v.
inline TVector& scale(const TVector& v, double s, TVector& out) {
    if (v.state == 0) {
        return out = TVector{};
    }
    out.x = v.x * s;
    out.y = v.y * s;
    out.z = v.z * s;
    out.state = v.state;
    return out;
}
