// hlv as a viewer meets it, under a virtual X server: the prompts, the
// window, Escape, closing, and a sound device that is not there.
#include <gtest/gtest.h>

#include <chrono>

#include "process.h"

namespace {

using e2e::Program;

constexpr double kPatience = 60.0; // loading on a busy machine with llvmpipe

TEST(Hlv, WindowedFallbackAcceptedShowsAn800By600WindowAndEscapeEndsWithZero) {
    Program hlv("env HLV_WINDOWED=1 SDL_AUDIODRIVER=dummy ./hlv");
    const std::string music = e2e::waitForWindow("-= Orv. Halvane =-", kPatience);
    ASSERT_FALSE(music.empty()) << e2e::describe(hlv);
    e2e::pressKey(music, "Return");
    const std::string fallback = e2e::waitForWindow("Tamsk GL", kPatience);
    ASSERT_FALSE(fallback.empty()) << e2e::describe(hlv);
    e2e::pressKey(fallback, "Return");
    const std::string window = e2e::waitForWindow("HLV.orv", kPatience);
    ASSERT_FALSE(window.empty()) << e2e::describe(hlv);
    int width = 0, height = 0;
    e2e::windowSize(window, width, height);
    EXPECT_EQ(width, 800);
    EXPECT_EQ(height, 600);
    e2e::pressKey(window, "Escape");
    const e2e::Finished end = hlv.waitFor(kPatience);
    ASSERT_TRUE(end.exited) << hlv.log();
    EXPECT_EQ(end.code, 0) << hlv.log();
    const std::string log = hlv.log();
    EXPECT_NE(log.find("-= Orv. Halvane =-: Music ?"), std::string::npos) << log;
    EXPECT_NE(log.find("Use Windowed Mode Instead?"), std::string::npos) << log;
}

TEST(Hlv, DecliningWindowedModeClosesWithZeroAndNoWindow) {
    Program hlv("env HLV_WINDOWED=1 SDL_AUDIODRIVER=dummy ./hlv");
    const std::string music = e2e::waitForWindow("-= Orv. Halvane =-", kPatience);
    ASSERT_FALSE(music.empty()) << e2e::describe(hlv);
    e2e::pressKey(music, "Escape"); // No
    const std::string fallback = e2e::waitForWindow("Tamsk GL", kPatience);
    ASSERT_FALSE(fallback.empty()) << e2e::describe(hlv);
    e2e::pressKey(fallback, "Escape"); // No
    // The closing box may already be answered by a repeated key press (the
    // key helper presses again while the previous box is slow to go), so the
    // program may end before the box is seen; its text is checked in the log.
    std::string error;
    e2e::Finished end;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (error.empty() && !end.exited && std::chrono::steady_clock::now() < deadline) {
        error = e2e::waitForWindow("ERROR", 0.5);
        if (error.empty()) {
            end = hlv.waitFor(0.1);
        }
    }
    EXPECT_FALSE(e2e::windowExists("HLV.orv"));
    if (!error.empty()) {
        e2e::pressKey(error, "Return");
        end = hlv.waitFor(kPatience);
    }
    ASSERT_TRUE(end.exited) << hlv.log();
    EXPECT_EQ(end.code, 0) << hlv.log();
    const std::string log = hlv.log();
    EXPECT_NE(log.find("-= Orv. Halvane =-: answered No"), std::string::npos) << log;
    EXPECT_NE(log.find("ERROR: Program Will Now Close."), std::string::npos) << log;
}

TEST(Hlv, FullscreenCoversTheWholeScreenAndClosingEndsWithZero) {
    Program hlv("./hlv -n");
    const std::string music = e2e::waitForWindow("-= Orv. Halvane =-", kPatience);
    ASSERT_FALSE(music.empty()) << e2e::describe(hlv);
    e2e::pressKey(music, "Return");
    const std::string window = e2e::waitForWindow("HLV.orv", kPatience);
    ASSERT_FALSE(window.empty()) << e2e::describe(hlv);
    EXPECT_TRUE(e2e::waitForWindow("Tamsk GL", 1.0).empty());
    // Going fullscreen is asynchronous: poll for the virtual screen's size.
    int width = 0, height = 0;
    e2e::waitUntil(
        [&] {
            e2e::windowSize(window, width, height);
            return width == 1280 && height == 1024;
        },
        30.0);
    EXPECT_EQ(width, 1280) << "last size seen " << width << " x " << height;
    EXPECT_EQ(height, 1024) << "last size seen " << width << " x " << height;
    hlv.terminate(); // the window system asks the program to close
    const e2e::Finished end = hlv.waitFor(kPatience);
    ASSERT_TRUE(end.exited) << hlv.log();
    EXPECT_EQ(end.code, 0) << hlv.log();
}

TEST(Hlv, AudioDeviceThatCannotOpenEndsWithOneAndSaysHowToPlayWithoutMusic) {
    // No display: the prompt cannot be shown and counts as Yes.
    Program hlv("env -u DISPLAY SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=no-such-driver ./hlv");
    const e2e::Finished end = hlv.waitFor(kPatience);
    ASSERT_TRUE(end.exited) << hlv.log();
    EXPECT_EQ(end.code, 1) << hlv.log();
    EXPECT_NE(hlv.log().find("`hlv -n` or answering No plays without music"), std::string::npos)
        << hlv.log();
}

} // namespace
