// hlv-view's command line.
#pragma once

#include <optional>
#include <string>

namespace view {

struct LoopRange {
    double from = 0.0; // global seconds
    double to = 0.0;
};

struct Options {
    std::optional<double> at; // global seconds
    std::optional<int> segment;
    std::optional<LoopRange> loop;
    bool windowed = false;
    bool music = true;
    bool help = false;
};

// The options, or the reason why not in `error`. `productionSeconds` is the
// production's length: every time must lie inside it.
std::optional<Options> parseOptions(int argc, const char* const* argv, double productionSeconds,
                                    std::string& error);

void printUsage();

} // namespace view
