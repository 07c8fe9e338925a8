#include "anim/music_cue_table.h"

#include "platform/asset_path.h"

#include <algorithm>
#include <fstream>

MusicCueTable musicCueTable;

namespace {

// Formatted extraction that leaves the target as it was when the item is
// malformed or the stream has already failed.
template <typename T> void extractInto(std::istream& in, T& target) {
    T value{};
    if (in >> value) {
        target = value;
    }
}

// Reads and discards one non-blank character standing between two numbers.
void skipSeparator(std::istream& in) {
    char separator = 0;
    in >> separator;
}

} // namespace

void MusicCueTable::load(const char* path) {
    std::ifstream in(assetPath(path));
    extractInto(in, count_);
    // A file announcing more entries than the table holds keeps the first ones.
    count_ = std::clamp(count_, 0, kCapacity);
    for (int i = 0; i < count_ && in; ++i) {
        extractInto(in, value_[i]);
        skipSeparator(in);
        extractInto(in, start_[i]);
        skipSeparator(in);
        extractInto(in, end_[i]);
    }
}

std::int32_t MusicCueTable::lookup(double seconds) const {
    for (int i = 0; i < count_; ++i) {
        if (start_[i] < seconds && seconds < end_[i]) {
            return value_[i];
        }
    }
    return 0;
}
