// Time intervals of the music track with an integer cue value each, read
// once from a text file and looked up every frame.
#pragma once

#include <cstdint>

class MusicCueTable {
public:
    static constexpr int kCapacity = 200;

    // Reads "N" then N entries "value sep start sep end", where each sep is
    // one non-blank character that is read and discarded. A missing file
    // leaves the table empty; a malformed item stops reading and leaves the
    // remaining fields as they were. At most kCapacity entries are kept.
    void load(const char* path);

    // The value of the first entry with start < seconds < end, else 0.
    std::int32_t lookup(double seconds) const;

    std::int32_t count() const { return count_; }

private:
    double start_[kCapacity] = {};
    double end_[kCapacity] = {};
    std::int32_t value_[kCapacity] = {};
    std::int32_t count_ = 0;
};

// The one table, loaded at the end of the loading sequence.
extern MusicCueTable musicCueTable;
