// hlv-view's command line: where to start, the loop, and the arguments that
// must stop it with a reason.
#include <gtest/gtest.h>

#include <vector>

#include "view/options.h"

namespace {

constexpr double kLength = 271.5;

std::optional<view::Options> parse(std::vector<const char*> args, std::string& error) {
    args.insert(args.begin(), "hlv-view");
    return view::parseOptions(static_cast<int>(args.size()), args.data(), kLength, error);
}

TEST(ViewOptions, ReadsEveryOption) {
    std::string error;
    const auto o =
        parse({"--at", "94.5", "--loop", "86:110", "--windowed", "--music", "off"}, error);
    ASSERT_TRUE(o) << error;
    EXPECT_EQ(*o->at, 94.5);
    EXPECT_EQ(o->loop->from, 86.0);
    EXPECT_EQ(o->loop->to, 110.0);
    EXPECT_TRUE(o->windowed);
    EXPECT_FALSE(o->music);
    const auto segment = parse({"--segment", "8"}, error);
    ASSERT_TRUE(segment) << error;
    EXPECT_EQ(*segment->segment, 8);
    EXPECT_TRUE(parse({}, error)->music);
}

TEST(ViewOptions, RefusesTimesSegmentsAndLoopsOutsideTheProductionWithAReason) {
    const struct {
        std::vector<const char*> args;
        const char* reason;
    } cases[] = {
        {{"--at", "271.5"}, "outside the production"},
        {{"--at", "-0.1"}, "outside the production"},
        {{"--at", "nan"}, "takes seconds"},
        {{"--at"}, "needs a value"},
        {{"--segment", "0"}, "1 to 8"},
        {{"--segment", "9"}, "1 to 8"},
        {{"--segment", "2.5"}, "1 to 8"},
        {{"--loop", "30:30"}, "is empty"},
        {{"--loop", "40:30"}, "ends before it starts"},
        {{"--loop", "30"}, "A:B"},
        {{"--loop", "-1:30"}, "outside the production"},
        {{"--loop", "200:300"}, "beyond the production's end"},
        {{"--music", "loud"}, "on or off"},
        {{"--at", "10", "--segment", "2"}, "give one"},
        {{"--fast"}, "unknown option"},
    };
    for (const auto& c : cases) {
        std::string error;
        EXPECT_FALSE(parse(c.args, error)) << c.args[0];
        EXPECT_NE(error.find(c.reason), std::string::npos) << c.args[0] << ": " << error;
    }
}

} // namespace
