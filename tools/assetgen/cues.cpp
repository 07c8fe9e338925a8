#include "assetgen.h"
#include "timing.h"

#include <cstdio>
#include <string>

namespace assetgen {
namespace {

// musicinfo2.txt: the entry count, then one "value : start - end" line per
// cue, in music seconds.
std::string cueFileText(const std::vector<timing::Cue>& cues) {
    std::string text = std::to_string(cues.size()) + "\r\n";
    for (const timing::Cue& cue : cues) {
        char line[64];
        std::snprintf(line, sizeof line, "%d : %.3f - %.3f\r\n", cue.value, cue.start, cue.end);
        text += line;
    }
    return text;
}

} // namespace

void generateCues(const Pack& pack) {
    pack.write("musicinfo2.txt", cueFileText(timing::musicCues()));
}

} // namespace assetgen
