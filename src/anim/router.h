// A closed Catmull-Rom path over up to three key tracks sharing a key count.
#pragma once

#include "anim/tvector.h"

#include <array>
#include <cstdint>

struct Router {
    // Track 0 feeds out1, track 2 feeds out3, track 1 feeds out2.
    std::array<KeyTrack, 3> tracks;
    // How many outputs evaluate computes: 1, 2 or 3. Set by the owner.
    std::int32_t usedTrackCount = 0;
    // K: keys per track that the path cycles through. Set by the owner.
    std::int32_t keyCount = 0;

    // Removes all keys from the three tracks (the counts stay as they are).
    void clearTracks();

    // Evaluates the closed path at parameter u. At integer u the path passes
    // through key (u mod K); before the first key the previous index is
    // mirrored (key 1), not wrapped. Writes track 0 into out1 always, track 2
    // into out3 when usedTrackCount > 1, track 1 into out2 when
    // usedTrackCount > 2; outputs not computed are left untouched.
    void evaluate(double u, TVector& out1, TVector& out2, TVector& out3) const;
};

// Fills a path from key tables: clears the three tracks, sets the used-track
// count, pushes keyAt(k, track) for k = 0 .. keyCount - 1 onto every track
// (tracks the path does not use get whatever keyAt gives, usually zero keys)
// and sets the key count.
template <class KeyAt>
void setUpClosedPath(Router& path, int usedTrackCount, int keyCount, KeyAt keyAt) {
    path.clearTracks();
    path.usedTrackCount = usedTrackCount;
    for (int k = 0; k < keyCount; ++k) {
        for (int track = 0; track < 3; ++track) {
            path.tracks[track].push_back(keyAt(k, track));
        }
    }
    path.keyCount = keyCount;
}
