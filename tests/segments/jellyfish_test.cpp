// The jellyfish tentacles' shape, computed without GL: where the strips start,
// that they pass through their keys, and that the two shapes differ as meant.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "segments/jellyfish.h"

namespace {

using namespace segments;

TEST(Tentacles, StartAtTheRootOffsetAndPassThroughTheirKeys) {
    Router path;
    for (double psi : {0.0, 3.7, 250.0}) {
        for (int i = 0; i < kTentaclesPerJellyfish; ++i) {
            const auto radii = tentacleRadii(path, i, psi, kJellyfishTentacles);
            // Point j sits at parameter 0.2 j + 2: key 2 (root offset plus
            // outward cancel), key 3 (outward alone), then the swinging keys.
            EXPECT_NEAR(radii[0], 0.0, 1e-12);
            EXPECT_NEAR(radii[5], 0.3, 1e-12);
            for (int key = 4; key <= 11; ++key) {
                EXPECT_NEAR(radii[5 * (key - 2)],
                            tentacleKeyRadius(i, key, psi, kJellyfishTentacles), 1e-9)
                    << "key " << key;
            }
            // Between keys the strip moves smoothly: no jump larger than the swing.
            for (int j = 1; j < kTentaclePoints; ++j) {
                EXPECT_LT(std::abs(radii[j] - radii[j - 1]), 1.0) << j;
            }
        }
    }
}

TEST(Tentacles, TheMedusaSwingsLessAndFurtherOut) {
    Router path;
    const auto medusa = tentacleRadii(path, 2, 40.0, kMedusaTentacles);
    EXPECT_NEAR(medusa[0], 0.4, 1e-12); // its roots stand further from the axis
    auto spread = [](const TentacleShape& shape, double psi) {
        double low = 1e9;
        double high = -1e9;
        for (int key = 4; key < kTentacleKeys; ++key) {
            const double r = tentacleKeyRadius(2, key, psi, shape);
            low = std::min(low, r);
            high = std::max(high, r);
        }
        return high - low;
    };
    for (double psi : {0.0, 40.0, 123.0}) {
        EXPECT_LT(spread(kMedusaTentacles, psi), spread(kJellyfishTentacles, psi)) << psi;
    }
}

TEST(Tentacles, PathHoldsFifteenKeysButCountsTwenty) {
    Router path;
    buildTentaclePath(path, 0, 1.0, kJellyfishTentacles);
    EXPECT_EQ(path.keyCount, kTentacleKeyCount);
    EXPECT_EQ(path.usedTrackCount, 3);
    for (const KeyTrack& track : path.tracks) {
        EXPECT_EQ(track.size(), static_cast<std::size_t>(kTentacleKeys));
    }
    // Rebuilding for another tentacle replaces the keys instead of adding.
    buildTentaclePath(path, 4, 2.0, kJellyfishTentacles);
    EXPECT_EQ(path.tracks[0].size(), static_cast<std::size_t>(kTentacleKeys));
    EXPECT_DOUBLE_EQ(path.tracks[0][7].x, tentacleKeyRadius(4, 7, 2.0, kJellyfishTentacles));
}

} // namespace
