#include "anim/router.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>

namespace {

// Remainder of n / k brought into 0 .. k - 1. The owners only pass parameters
// above -1, where this equals the plain remainder; below that, the path keeps
// cycling instead of indexing before the track.
int wrapIndex(long long n, int k) {
    const long long r = n % k;
    return static_cast<int>(r < 0 ? r + k : r);
}

// Truncation toward zero into a 32-bit integer, clamped so that huge or
// non-finite parameters cannot overflow.
int keyNumber(double u) {
    constexpr double lo = std::numeric_limits<int>::min();
    constexpr double hi = std::numeric_limits<int>::max();
    if (!(u >= lo)) { // also NaN
        return u < lo ? std::numeric_limits<int>::min() : 0;
    }
    return u > hi ? std::numeric_limits<int>::max() : static_cast<int>(u);
}

// One track at segment n, fraction f. A track holding fewer keys than the key
// count cycles through the keys it has; an empty track (or a key count of 0)
// yields a vector without value.
TVector evaluateTrack(const KeyTrack& track, int keyCount, int n, double f) {
    const int k = static_cast<int>(
        std::min<std::size_t>(static_cast<std::size_t>(std::max(keyCount, 0)), track.size()));
    if (k == 0) {
        return TVector{};
    }
    const long long m = n;
    const TVector& k0 = track[wrapIndex(m - 1 < 0 ? -(m - 1) : m - 1, k)];
    const TVector& k1 = track[wrapIndex(m, k)];
    const TVector& k2 = track[wrapIndex(m + 1, k)];
    const TVector& k3 = track[wrapIndex(m + 2, k)];
    TVector out;
    for (int c = 0; c < 3; ++c) {
        const double p0 = k0[c], p1 = k1[c], p2 = k2[c], p3 = k3[c];
        const double m1 = (p2 - p0) * 0.5;
        const double m2 = (p3 - p1) * 0.5;
        const double a = 2 * p1 - 2 * p2 + m1 + m2;
        const double b = -3 * p1 + 3 * p2 - 2 * m1 - m2;
        out[c] = f * f * f * a + f * f * b + f * m1 + p1;
    }
    out.state = 1;
    return out;
}

} // namespace

void Router::clearTracks() {
    for (KeyTrack& track : tracks) {
        track.clear();
    }
}

void Router::evaluate(double u, TVector& out1, TVector& out2, TVector& out3) const {
    const int n = keyNumber(u);
    const double f = u - n;
    out1 = evaluateTrack(tracks[0], keyCount, n, f);
    if (usedTrackCount > 1) {
        out3 = evaluateTrack(tracks[2], keyCount, n, f);
    }
    if (usedTrackCount > 2) {
        out2 = evaluateTrack(tracks[1], keyCount, n, f);
    }
}
