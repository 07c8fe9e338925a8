#include "options.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace view {
namespace {

bool readNumber(const std::string& text, double& value) {
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return !text.empty() && end != text.c_str() && *end == '\0' && std::isfinite(value);
}

std::string seconds(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", value);
    return text;
}

// Empty when `t` is a time of the production, else why not.
std::string outsideProduction(const std::string& what, double t, double length) {
    if (t >= 0.0 && t < length) {
        return "";
    }
    return what + " " + seconds(t) + " s lies outside the production (0 to " + seconds(length) +
           " s)";
}

std::string readLoop(const std::string& text, double length, LoopRange& loop) {
    const std::size_t colon = text.find(':');
    if (colon == std::string::npos || !readNumber(text.substr(0, colon), loop.from) ||
        !readNumber(text.substr(colon + 1), loop.to)) {
        return "--loop takes A:B in seconds, not " + text;
    }
    if (loop.to == loop.from) {
        return "the loop " + text + " is empty";
    }
    if (loop.to < loop.from) {
        return "the loop " + text + " ends before it starts";
    }
    std::string outside = outsideProduction("the loop's start", loop.from, length);
    if (outside.empty() && loop.to > length) {
        outside = "the loop's end " + seconds(loop.to) + " s lies beyond the production's end (" +
                  seconds(length) + " s)";
    }
    return outside;
}

} // namespace

void printUsage() {
    std::fputs("usage: hlv-view [--at SECONDS] [--segment K] [--loop A:B] [--windowed] "
               "[--music on|off]\n"
               "Times are global seconds since the end of loading; K is 1..8. Run it where "
               "hlvd/ is.\n"
               "Keys: Space pause, Left/Right 5 s, Page Up/Down a Segment, 1-8 a Segment's "
               "start,\n"
               "      , and . a frame while paused, L loop, H overlay, S picture as PNG, "
               "Escape quit.\n",
               stderr);
}

std::optional<Options> parseOptions(int argc, const char* const* argv, double productionSeconds,
                                    std::string& error) {
    Options o;
    error.clear();
    for (int i = 1; i < argc && error.empty(); ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        const std::string value = hasValue ? argv[i + 1] : "";
        const bool takesValue =
            arg == "--at" || arg == "--segment" || arg == "--loop" || arg == "--music";
        if (takesValue && !hasValue) {
            error = arg + " needs a value";
            break;
        }
        if (takesValue) {
            ++i;
        }
        double number = 0.0;
        if (arg == "--at") {
            if (!readNumber(value, number)) {
                error = "--at takes seconds, not " + value;
            } else {
                error = outsideProduction("--at", number, productionSeconds);
                o.at = number;
            }
        } else if (arg == "--segment") {
            if (!readNumber(value, number) || number != std::floor(number) || number < 1 ||
                number > 8) {
                error = "--segment takes a Segment 1 to 8, not " + value;
            } else {
                o.segment = static_cast<int>(number);
            }
        } else if (arg == "--loop") {
            LoopRange loop;
            error = readLoop(value, productionSeconds, loop);
            o.loop = loop;
        } else if (arg == "--music") {
            if (value != "on" && value != "off") {
                error = "--music takes on or off, not " + value;
            }
            o.music = value == "on";
        } else if (arg == "--windowed") {
            o.windowed = true;
        } else if (arg == "-h" || arg == "--help") {
            o.help = true;
        } else {
            error = "unknown option " + arg;
        }
    }
    if (error.empty() && o.at && o.segment) {
        error = "--at and --segment both say where to start; give one";
    }
    if (!error.empty()) {
        return std::nullopt;
    }
    return o;
}

} // namespace view
