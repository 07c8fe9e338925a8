// hlv-capture runs the production with a virtual clock: every Segment starts
// on time, and what it writes has the frames and samples it should.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cmath>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>

#include "anim/timing.h"
#include "process.h"
#include "temp_folder.h"

namespace {

long fileSize(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? static_cast<long>(info.st_size) : -1;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(Capture, WholeTimelineStartsEverySegmentOnTimeAndExitsZero) {
    const double fps = 4.0;
    e2e::Program capture("./hlv-capture --fps 4 --music off");
    const e2e::Finished end = capture.waitFor(1200);
    ASSERT_TRUE(end.exited) << capture.log();
    ASSERT_EQ(end.code, 0) << capture.log();

    std::map<int, double> starts;
    const std::string log = capture.log();
    const std::regex line(R"(segment (\d) starts at ([0-9.]+) s)");
    for (std::sregex_iterator it(log.begin(), log.end(), line), last; it != last; ++it) {
        starts[std::stoi((*it)[1])] = std::stod((*it)[2]);
    }
    const std::regex ending(R"(production ends at ([0-9.]+) s)");
    std::smatch m;
    ASSERT_TRUE(std::regex_search(log, m, ending)) << log;
    starts[9] = std::stod(m[1]);
    ASSERT_EQ(starts.size(), 9u) << log;
    EXPECT_EQ(starts[1], 0.0);

    // Each Segment runs until its time passes its end: (end - offset) / scale
    // milliseconds, and hands over in the first frame after that.
    for (int k = 1; k <= 8; ++k) {
        const double expected = timing::segmentMilliseconds(k) / 1000.0;
        const double actual = starts[k + 1] - starts[k];
        EXPECT_GE(actual, expected - 1e-6) << "Segment " << k;
        EXPECT_LE(actual, expected + 1.0 / fps + 1e-6) << "Segment " << k;
    }
}

TEST(Capture, RangeWritesStillsVideoAndSoundtrackOfExactlyThatRange) {
    const hlv_test::TempFolder folder("hlv-capture");
    const std::string dir = folder.path().string();
    e2e::Program capture("./hlv-capture --fps 10 --from 2 --to 3 --frames '" + dir +
                         "/stills' --at 2.55,2.9 --video '" + dir + "/range.y4m' --audio '" + dir +
                         "/range.wav' --music on");
    const e2e::Finished end = capture.waitFor(600);
    ASSERT_TRUE(end.exited) << capture.log();
    ASSERT_EQ(end.code, 0) << capture.log();

    // Frames at 2.0, 2.1, ..., 3.0 s.
    const std::string video = readFile(dir + "/range.y4m");
    ASSERT_EQ(video.rfind("YUV4MPEG2 W800 H600 F10000:1000", 0), 0u);
    std::size_t frames = 0;
    for (std::size_t at = video.find("FRAME\n"); at != std::string::npos;
         at = video.find("FRAME\n", at + 6 + 800 * 600 * 3 / 2)) {
        ++frames;
    }
    EXPECT_EQ(frames, 11u);
    EXPECT_EQ(video.size(), video.find('\n') + 1 + 11 * (6 + 800 * 600 * 3 / 2));

    // The first frames at or after 2.55 and 2.9 s.
    EXPECT_GT(fileSize(dir + "/stills/frame_000026.png"), 0);
    EXPECT_GT(fileSize(dir + "/stills/frame_000029.png"), 0);
    std::string listing;
    e2e::runCommand("ls '" + dir + "/stills'", &listing);
    EXPECT_EQ(std::count(listing.begin(), listing.end(), '\n'), 3) << listing;
    // The index names each still with its time and the Segment that drew it.
    EXPECT_EQ(readFile(dir + "/stills/frames.txt"),
              "frame_000026.png 2.600 1\nframe_000029.png 2.900 1\n");

    // 1.1 s of 44100 Hz stereo 16-bit, and the music is audible in it.
    const std::string wav = readFile(dir + "/range.wav");
    ASSERT_EQ(wav.size(), 44u + 48510u * 4u);
    EXPECT_EQ(wav.substr(0, 4), "RIFF");
    long loud = 0;
    for (std::size_t i = 44; i + 1 < wav.size(); i += 2) {
        const auto sample = static_cast<std::int16_t>(
            static_cast<unsigned char>(wav[i]) | (static_cast<unsigned char>(wav[i + 1]) << 8));
        loud += std::abs(sample) > 300 ? 1 : 0;
    }
    EXPECT_GT(loud, 1000);
}

// Asking only for stills ends the run at the last one instead of playing on.
TEST(Capture, StillsAloneEndTheRunAtTheLastStill) {
    const hlv_test::TempFolder folder("hlv-capture-stills");
    const std::string dir = folder.path().string();
    e2e::Program capture("./hlv-capture --fps 10 --music off --frames '" + dir + "' --at 1,0.5");
    const e2e::Finished end = capture.waitFor(600);
    ASSERT_TRUE(end.exited) << capture.log();
    ASSERT_EQ(end.code, 0) << capture.log();
    EXPECT_EQ(readFile(dir + "/frames.txt"),
              "frame_000005.png 0.500 1\nframe_000010.png 1.000 1\n");
    EXPECT_EQ(capture.log().find("segment 2 starts"), std::string::npos) << capture.log();
}

TEST(Capture, StillsAroundASegmentChangeShowTheOldSegmentsLastAndTheNewOnesFirstFrame) {
    const std::string dir = e2e::buildDir() + "/capture-changes";
    e2e::runCommand("rm -rf '" + dir + "'");
    e2e::Program capture("./hlv-capture --fps 10 --from 19 --to 21 --music off "
                         "--frames capture-changes --at-changes");
    const e2e::Finished end = capture.waitFor(600);
    ASSERT_TRUE(end.exited) << capture.log();
    ASSERT_EQ(end.code, 0) << capture.log();
    std::istringstream index(readFile(dir + "/frames.txt"));
    std::string before, after;
    double beforeAt = 0, afterAt = 0;
    int beforeSegment = 0, afterSegment = 0;
    ASSERT_TRUE(index >> before >> beforeAt >> beforeSegment >> after >> afterAt >> afterSegment)
        << capture.log();
    EXPECT_EQ(beforeSegment, 1);
    EXPECT_EQ(afterSegment, 2);
    // One frame hands over between them: 0.2 s apart at 10 frames a second.
    EXPECT_NEAR(afterAt - beforeAt, 0.2, 1e-6);
    const double change = timing::segmentMilliseconds(1) / 1000.0;
    EXPECT_LE(beforeAt, change + 1e-9); // its end time itself still draws
    EXPECT_GT(afterAt, change);
    EXPECT_GT(fileSize(dir + "/" + before), 0);
    EXPECT_GT(fileSize(dir + "/" + after), 0);
    std::string rest;
    EXPECT_FALSE(index >> rest) << "only the two frames around the change: " << rest;
    e2e::runCommand("rm -rf '" + dir + "'");
}

// The luma plane of the last frame of a y4m stream of 800 x 600 frames.
std::string lastLuma(const std::string& video) {
    const std::size_t frame = 800 * 600 * 3 / 2;
    const std::size_t at = video.rfind("FRAME\n");
    return at == std::string::npos || video.size() < at + 6 + frame
               ? std::string()
               : video.substr(at + 6, 800 * 600);
}

// Multisampling changes only edges: the picture, its feedback trails and its
// copies stay what they are, so the two pictures agree but for a few pixels.
TEST(Capture, MultisampledPictureDiffersFromTheSingleSampledOneOnlyAtEdges) {
    const hlv_test::TempFolder folder("hlv-capture-samples");
    const std::string dir = folder.path().string();
    std::string luma[2];
    for (int samples : {0, 4}) {
        const std::string file = dir + "/s" + std::to_string(samples) + ".y4m";
        e2e::Program capture("./hlv-capture --fps 10 --from 5 --to 5.5 --music off --samples " +
                             std::to_string(samples) + " --video '" + file + "'");
        const e2e::Finished end = capture.waitFor(600);
        ASSERT_TRUE(end.exited) << capture.log();
        ASSERT_EQ(end.code, 0) << capture.log();
        luma[samples == 0 ? 0 : 1] = lastLuma(readFile(file));
        ASSERT_EQ(luma[samples == 0 ? 0 : 1].size(), 800u * 600u) << capture.log();
    }
    long changed = 0;
    double total = 0;
    for (std::size_t i = 0; i < luma[0].size(); ++i) {
        const int d = std::abs(static_cast<unsigned char>(luma[0][i]) -
                               static_cast<unsigned char>(luma[1][i]));
        changed += d > 8 ? 1 : 0;
        total += d;
    }
    EXPECT_GT(changed, 0) << "multisampling should soften some edge";
    EXPECT_LT(total / static_cast<double>(luma[0].size()), 3.0);
    EXPECT_LT(changed, 800 * 600 / 10);
}

TEST(Capture, BadOptionsAreRefusedWithUsage) {
    std::string out;
    EXPECT_EQ(e2e::runCommand("cd '" + e2e::buildDir() + "' && ./hlv-capture --fps 0", &out), 2);
    EXPECT_NE(out.find("usage:"), std::string::npos);
    EXPECT_EQ(e2e::runCommand("cd '" + e2e::buildDir() + "' && ./hlv-capture --frames x", &out), 2);
    EXPECT_EQ(
        e2e::runCommand("cd '" + e2e::buildDir() + "' && ./hlv-capture --from 5 --to 4", &out), 2);
    EXPECT_EQ(e2e::runCommand("cd '" + e2e::buildDir() + "' && ./hlv-capture --music maybe", &out),
              2);
}

} // namespace
