#include <gtest/gtest.h>

#include "app/window.h"
#include "platform/platform.h"

namespace {

TEST(CommandLine, SecondCharacterNTurnsMusicOff) {
    EXPECT_TRUE(shell::commandLineTurnsMusicOff("xn"));
    EXPECT_TRUE(shell::commandLineTurnsMusicOff("8N"));
    EXPECT_TRUE(shell::commandLineTurnsMusicOff("-n"));
    EXPECT_TRUE(shell::commandLineTurnsMusicOff("1nothing else matters"));
    EXPECT_FALSE(shell::commandLineTurnsMusicOff(""));
    EXPECT_FALSE(shell::commandLineTurnsMusicOff("8"));
    EXPECT_FALSE(shell::commandLineTurnsMusicOff("n"));
    EXPECT_FALSE(shell::commandLineTurnsMusicOff("nx"));
    EXPECT_FALSE(shell::commandLineTurnsMusicOff(nullptr));
}

TEST(CommandLine, ArgumentsJoinWithSingleSpaces) {
    char program[] = "hlv", dashN[] = "-n", x[] = "x", n[] = "n";
    char* one[] = {program, dashN};
    EXPECT_EQ(shell::joinCommandLine(2, one), "-n");
    char* two[] = {program, x, n};
    EXPECT_EQ(shell::joinCommandLine(3, two), "x n");
    EXPECT_FALSE(shell::commandLineTurnsMusicOff(shell::joinCommandLine(3, two).c_str()));
    EXPECT_EQ(shell::joinCommandLine(1, one), "");
}

TEST(Letterbox, LargestCentredFourByThreeRectangle) {
    auto expectRect = [](int w, int h, platform::Rect want) {
        const platform::Rect r = platform::letterbox(w, h);
        EXPECT_EQ(r.x, want.x) << w << "x" << h;
        EXPECT_EQ(r.y, want.y) << w << "x" << h;
        EXPECT_EQ(r.width, want.width) << w << "x" << h;
        EXPECT_EQ(r.height, want.height) << w << "x" << h;
    };
    expectRect(800, 600, {0, 0, 800, 600});
    expectRect(1024, 768, {0, 0, 1024, 768});
    expectRect(1280, 720, {160, 0, 960, 720});
    expectRect(1920, 1080, {240, 0, 1440, 1080});
    expectRect(1280, 1024, {0, 32, 1280, 960});
    expectRect(600, 1000, {0, 275, 600, 450});
    expectRect(801, 600, {0, 0, 800, 600});
    expectRect(0, 0, {0, 0, 0, 0});
}

} // namespace
