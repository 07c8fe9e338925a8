#include "anim/router.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

Router makeRouter(int keyCount, int usedTracks, unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> value(-50.0, 50.0);
    Router r;
    for (KeyTrack& track : r.tracks) {
        for (int i = 0; i < keyCount; ++i) {
            track.push_back(makeKey(value(rng), value(rng), value(rng)));
        }
    }
    r.usedTrackCount = usedTracks;
    r.keyCount = keyCount;
    return r;
}

// Textbook Catmull-Rom in matrix form, written independently of the router.
double catmullRom(double p0, double p1, double p2, double p3, double t) {
    return 0.5 * (2 * p1 + (-p0 + p2) * t + (2 * p0 - 5 * p1 + 4 * p2 - p3) * t * t +
                  (-p0 + 3 * p1 - 3 * p2 + p3) * t * t * t);
}

// The closed path for u >= 0: segment n runs from key n to key n + 1; only the
// very first segment takes key 1 as its previous key.
TVector referencePoint(const KeyTrack& keys, int k, double u) {
    const int n = static_cast<int>(std::floor(u));
    const double t = u - n;
    const int i0 = n == 0 ? 1 % k : (n - 1) % k;
    const int i1 = n % k, i2 = (n + 1) % k, i3 = (n + 2) % k;
    TVector v;
    v.x = catmullRom(keys[i0].x, keys[i1].x, keys[i2].x, keys[i3].x, t);
    v.y = catmullRom(keys[i0].y, keys[i1].y, keys[i2].y, keys[i3].y, t);
    v.z = catmullRom(keys[i0].z, keys[i1].z, keys[i2].z, keys[i3].z, t);
    return v;
}

void expectNear(const TVector& a, const TVector& b, double tol = 1e-9) {
    EXPECT_NEAR(a.x, b.x, tol);
    EXPECT_NEAR(a.y, b.y, tol);
    EXPECT_NEAR(a.z, b.z, tol);
}

const TVector kSentinel{-7.0, -8.0, -9.0, 42};

} // namespace

TEST(Router, MatchesIndependentCatmullRomOnRandomKeys) {
    std::mt19937 rng(7);
    for (int k = 2; k <= 9; ++k) {
        const Router r = makeRouter(k, 3, 100 + k);
        std::uniform_real_distribution<double> param(0.0, 3.0 * k);
        for (int sample = 0; sample < 200; ++sample) {
            const double u = param(rng);
            TVector o1, o2, o3;
            r.evaluate(u, o1, o2, o3);
            expectNear(o1, referencePoint(r.tracks[0], k, u));
            expectNear(o2, referencePoint(r.tracks[1], k, u));
            expectNear(o3, referencePoint(r.tracks[2], k, u));
            EXPECT_EQ(o1.state, 1);
        }
    }
}

TEST(Router, StartsAtRestButPassesKeyZeroWithWrappedTangentAtK) {
    const Router r = makeRouter(4, 1, 2);
    const double h = 1e-6;
    TVector a, b, unused;
    // Near u = 0 the previous key is key 1 itself, so the tangent vanishes.
    r.evaluate(h, a, unused, unused);
    EXPECT_NEAR((a.x - r.tracks[0][0].x) / h, 0.0, 1e-2);
    // Near u = K the tangent is (key 1 - key K-1) / 2.
    r.evaluate(4 + h, b, unused, unused);
    const double slope = (r.tracks[0][1].x - r.tracks[0][3].x) * 0.5;
    EXPECT_NEAR((b.x - r.tracks[0][0].x) / h, slope, 1e-2);
}

TEST(Router, ExtrapolatesTheFirstSegmentBackwardsBelowZero) {
    const Router r = makeRouter(4, 1, 4);
    TVector out, unused;
    r.evaluate(-0.3, out, unused, unused);
    const KeyTrack& k = r.tracks[0];
    EXPECT_NEAR(out.x, catmullRom(k[1].x, k[0].x, k[1].x, k[2].x, -0.3), 1e-9);
}

TEST(Router, WritesOnlyTheOutputsOfItsUsedTracks) {
    Router r = makeRouter(3, 1, 5);
    TVector o1 = kSentinel, o2 = kSentinel, o3 = kSentinel;
    r.evaluate(1.25, o1, o2, o3);
    EXPECT_EQ(o1.state, 1);
    EXPECT_EQ(o2.state, 42);
    EXPECT_EQ(o3.state, 42);
    EXPECT_EQ(o3.x, -7.0);

    // Two tracks: the second output comes from track 2, and track 1 is not read.
    r.usedTrackCount = 2;
    r.tracks[1].clear();
    o1 = o2 = o3 = kSentinel;
    r.evaluate(2.0, o1, o2, o3);
    EXPECT_EQ(o2.state, 42);
    EXPECT_DOUBLE_EQ(o3.x, r.tracks[2][2].x);
    EXPECT_EQ(o3.state, 1);
}

TEST(Router, SingleKeyIsConstant) {
    const Router r = makeRouter(1, 3, 6);
    TVector o1, o2, o3;
    for (double u : {0.0, 0.4, 1.0, 7.9}) {
        r.evaluate(u, o1, o2, o3);
        expectNear(o1, r.tracks[0][0], 1e-12);
        expectNear(o2, r.tracks[1][0], 1e-12);
    }
}

TEST(Router, StaysInsideItsTracksOutsideTheOwnersContract) {
    Router r = makeRouter(4, 3, 9);
    TVector o1, o2, o3;
    // Parameters of -1 and below keep cycling.
    for (double u : {-1.0, -1.5, -7.25, -1e12, 1e12, std::nan("")}) {
        r.evaluate(u, o1, o2, o3);
        EXPECT_EQ(o1.state, 1);
    }
    r.evaluate(-6.0, o1, o2, o3); // n = -6 lands on key 2
    EXPECT_DOUBLE_EQ(o1.x, r.tracks[0][2].x);

    // A track shorter than the key count cycles through the keys it has.
    Router shortTrack = makeRouter(3, 1, 10);
    shortTrack.keyCount = 8;
    Router same = makeRouter(3, 1, 10);
    TVector a, b, unused;
    shortTrack.evaluate(4.6, a, unused, unused);
    same.evaluate(4.6, b, unused, unused);
    expectNear(a, b, 0.0);

    // No keys to read: the output has no value.
    Router empty;
    empty.usedTrackCount = 3;
    o1 = kSentinel;
    empty.evaluate(1.5, o1, o2, o3);
    EXPECT_EQ(o1.state, 0);
    r.keyCount = 0;
    r.evaluate(1.5, o1, o2, o3);
    EXPECT_EQ(o1.state, 0);
}

namespace {

TEST(Router, ClosedPathFromKeyTablesReplacesOldKeysAndPassesThroughEachKey) {
    Router path = makeRouter(5, 1, 7); // old keys and counts must not survive
    setUpClosedPath(path, 3, 4, [](int k, int track) { return makeKey(k, 10 * track, -k); });
    EXPECT_EQ(path.usedTrackCount, 3);
    EXPECT_EQ(path.keyCount, 4);
    for (const KeyTrack& track : path.tracks) {
        ASSERT_EQ(track.size(), 4u);
    }
    for (int k = 0; k < 4; ++k) {
        TVector a, b, c;
        path.evaluate(k + 4.0, a, b, c); // past the first lap, away from the mirrored start
        EXPECT_NEAR(a.x, k, 1e-12);
        EXPECT_NEAR(b.y, 10.0, 1e-12); // track 1 feeds the second output
        EXPECT_NEAR(c.y, 20.0, 1e-12); // track 2 the third
        EXPECT_NEAR(a.z, -k, 1e-12);
    }
}

} // namespace
