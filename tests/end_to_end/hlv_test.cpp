// hlv as a viewer meets it, under a virtual X server: the prompts, the
// window, Escape, closing, and a sound device that is not there.
#include <gtest/gtest.h>

#include "process.h"

namespace {

using e2e::Program;

constexpr double kPatience = 60.0; // loading on a busy machine with llvmpipe

TEST(Hlv, WindowedFallbackAcceptedShowsAn800By600WindowAndEscapeEndsWithZero) {
    Program hlv("env HLV_WINDOWED=1 SDL_AUDIODRIVER=dummy ./hlv");
    const std::string music = e2e::waitForWindow("-= Orv. Halvane =-", kPatience);
    ASSERT_FALSE(music.empty()) << hlv.log();
    e2e::pressKey(music, "Return");
    const std::string fallback = e2e::waitForWindow("Tamsk GL", kPatience);
    ASSERT_FALSE(fallback.empty()) << hlv.log();
    e2e::pressKey(fallback, "Return");
    const std::string window = e2e::waitForWindow("HLV.orv", kPatience);
    ASSERT_FALSE(window.empty()) << hlv.log();
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
    ASSERT_FALSE(music.empty()) << hlv.log();
    e2e::pressKey(music, "Escape"); // No
    const std::string fallback = e2e::waitForWindow("Tamsk GL", kPatience);
    ASSERT_FALSE(fallback.empty()) << hlv.log();
    e2e::pressKey(fallback, "Escape"); // No
    const std::string error = e2e::waitForWindow("ERROR", kPatience);
    ASSERT_FALSE(error.empty()) << hlv.log();
    EXPECT_FALSE(e2e::windowExists("HLV.orv"));
    e2e::pressKey(error, "Return");
    const e2e::Finished end = hlv.waitFor(kPatience);
    ASSERT_TRUE(end.exited) << hlv.log();
    EXPECT_EQ(end.code, 0) << hlv.log();
    const std::string log = hlv.log();
    EXPECT_NE(log.find("-= Orv. Halvane =-: answered No"), std::string::npos) << log;
    EXPECT_NE(log.find("ERROR: Program Will Now Close."), std::string::npos) << log;
}

TEST(Hlv, FullscreenCoversTheWholeScreenAndClosingEndsWithZero) {
    Program hlv("./hlv -n");
    const std::string music = e2e::waitForWindow("-= Orv. Halvane =-", kPatience);
    ASSERT_FALSE(music.empty()) << hlv.log();
    e2e::pressKey(music, "Return");
    const std::string window = e2e::waitForWindow("HLV.orv", kPatience);
    ASSERT_FALSE(window.empty()) << hlv.log();
    EXPECT_TRUE(e2e::waitForWindow("Tamsk GL", 1.0).empty());
    int width = 0, height = 0;
    for (int i = 0; i < 50 && width != 1280; ++i) {
        e2e::windowSize(window, width, height);
    }
    EXPECT_EQ(width, 1280); // the virtual screen's size
    EXPECT_EQ(height, 1024);
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
