// hlv-view as someone studying the production uses it, under a virtual X
// server: where it starts, the overlay, pause and frame steps, seeks, a
// loop over a Segment's end, pictures, Escape, bad arguments, and the
// music's position after seeks and a pause (disk audio driver).
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <thread>
#include <vector>

#include "platform/platform.h"
#include "process.h"
#include "temp_folder.h"
#include "view/overlay.h"
#include "view/schedule.h"

namespace {

constexpr double kPatience = 120.0; // loading on a busy machine with llvmpipe
constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr double kSeekLimit = 3.0; // seconds a seek may take

using Pixels = std::vector<unsigned char>; // RGB rows, top first

class Viewer {
public:
    explicit Viewer(const std::string& arguments, const std::string& environment = "")
        : program_("env " + environment + " ./hlv-view --windowed " + arguments) {}

    // Waits for a line of the log that matches, after the ones matched so
    // far; its groups (the whole match first), or none.
    std::vector<std::string> line(const std::string& pattern, double seconds = 30.0) {
        const std::regex re(pattern);
        std::vector<std::string> groups;
        e2e::waitUntil(
            [&] {
                const std::string log = program_.log();
                const std::string rest = log.substr(std::min(seen_, log.size()));
                std::smatch m;
                if (!std::regex_search(rest, m, re)) {
                    return false;
                }
                seen_ += static_cast<std::size_t>(m.position(0) + m.length(0));
                for (const auto& group : m) {
                    groups.push_back(group.str());
                }
                return true;
            },
            seconds);
        if (groups.empty()) {
            ADD_FAILURE() << "no line matching " << pattern << "\n" << e2e::describe(program_);
        }
        return groups;
    }

    void started() {
        line("start at", kPatience);
        window_ = e2e::waitForWindow("HLV.orv", kPatience);
        ASSERT_FALSE(window_.empty()) << e2e::describe(program_);
        // Keys reach a window only once it is mapped, and a moment later on a
        // busy machine.
        e2e::waitUntil(
            [&] {
                std::string info;
                e2e::runCommand("xwininfo -id " + window_, &info);
                return info.find("IsViewable") != std::string::npos;
            },
            30.0);
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
    }
    void press(const std::string& key) {
        e2e::runCommand("xdotool key --window " + window_ + " " + key);
    }
    Pixels screen() {
        const std::string raw = e2e::buildDir() + "/view-screen.rgb";
        e2e::runCommand("import -window " + window_ + " -depth 8 rgb:" + raw);
        return readRaw(raw);
    }
    void quitWithZero() {
        press("Escape");
        const e2e::Finished end = program_.waitFor(30.0);
        ASSERT_TRUE(end.exited) << e2e::describe(program_);
        EXPECT_EQ(end.code, 0) << program_.log();
    }
    std::string log() const { return program_.log(); }

private:
    static Pixels readRaw(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        Pixels pixels((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::remove(path.c_str());
        return pixels;
    }

    e2e::Program program_;
    std::string window_;
    std::size_t seen_ = 0;
};

Pixels pngPixels(const std::string& name) {
    const std::string raw = e2e::buildDir() + "/view-png.rgb";
    e2e::runCommand("convert '" + e2e::buildDir() + "/" + name + "' -depth 8 rgb:" + raw);
    std::ifstream in(raw, std::ios::binary);
    Pixels pixels((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::remove(raw.c_str());
    std::filesystem::remove(e2e::buildDir() + "/" + name);
    return pixels;
}

double meanDifference(const Pixels& a, const Pixels& b) {
    if (a.size() != b.size() || a.empty()) {
        return 255.0;
    }
    double sum = 0.0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        sum += std::abs(static_cast<int>(a[i]) - static_cast<int>(b[i]));
    }
    return sum / static_cast<double>(a.size());
}

const unsigned char* at(const Pixels& p, int x, int y) {
    return p.data() + (static_cast<std::size_t>(y) * kWidth + x) * 3;
}

// Whether the picture shows the text where the overlay puts it: every dot
// white, and the gaps between them darkened by the box.
bool showsText(const Pixels& screen, const std::string& text) {
    if (screen.size() != static_cast<std::size_t>(kWidth) * kHeight * 3) {
        return false;
    }
    std::vector<bool> lit(static_cast<std::size_t>(kWidth) * kHeight, false);
    for (const view::Dot& d : view::layOutText({text})) {
        lit[static_cast<std::size_t>(d.y) * kWidth + d.x] = true;
        const unsigned char* px = at(screen, d.x, d.y);
        if (px[0] < 200 || px[1] < 200 || px[2] < 200) {
            return false;
        }
    }
    const int right = view::kTextLeft + static_cast<int>(text.size()) * view::kAdvance;
    for (int y = view::kTextTop; y < view::kTextTop + view::kGlyphRows * view::kDotSize;
         y += view::kDotSize) {
        for (int x = view::kTextLeft; x < right; x += view::kDotSize) {
            const unsigned char* px = at(screen, x, y);
            if (!lit[static_cast<std::size_t>(y) * kWidth + x] && px[0] > 160 && px[1] > 160 &&
                px[2] > 160) {
                return false;
            }
        }
    }
    return true;
}

// The capture tool's stills of frames n - 1 and n, as pixels, from one run.
std::pair<Pixels, Pixels> captureStills(long n) {
    hlv_test::TempFolder folder("hlv-view-still");
    // A little before each frame and after the last: a frame's own time has
    // no exact decimal.
    char times[96];
    std::snprintf(times, sizeof times, "--at %.6f,%.6f --to %.6f", (n - 1) / 30.0 - 1e-5,
                  n / 30.0 - 1e-5, n / 30.0 + 1e-3);
    e2e::runCommand("cd '" + e2e::buildDir() + "' && SDL_VIDEODRIVER=offscreen ./hlv-capture " +
                    "--music off --frames '" + folder.path().string() + "' " + times);
    const auto still = [&](long frame) {
        char name[32];
        std::snprintf(name, sizeof name, "/frame_%06ld.png", frame);
        const std::string raw = folder.path().string() + "/still.rgb";
        e2e::runCommand("convert '" + folder.path().string() + name + "' -depth 8 rgb:" + raw);
        std::ifstream in(raw, std::ios::binary);
        return Pixels((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    };
    return {still(n - 1), still(n)};
}

double secondsOf(const std::vector<std::string>& groups, std::size_t i) {
    return i < groups.size() ? std::stod(groups[i]) : -1.0;
}

TEST(View, StartsAtTheTimeAskedAndTheOverlayShowsTheTimeButNeverEntersThePicture) {
    Viewer viewer("--at 30 --music off");
    ASSERT_NO_FATAL_FAILURE(viewer.started());
    EXPECT_NE(viewer.log().find("start at 30.000 s (segment 2, frame 900)"), std::string::npos)
        << viewer.log();
    viewer.press("h");
    viewer.press("space");
    const std::vector<std::string> paused = viewer.line(R"(paused at ([0-9]+\.[0-9]+) s)");
    ASSERT_FALSE(paused.empty());
    const std::string shown = "time    " + paused[1] + " s";
    bool seen = false;
    e2e::waitUntil([&] { return seen = showsText(viewer.screen(), shown); }, 10.0);
    EXPECT_TRUE(seen) << "the overlay does not read \"" << shown << "\"";
    viewer.press("s");
    const std::vector<std::string> wrote = viewer.line(R"(wrote (hlv-view-[0-9.]+\.png))");
    ASSERT_FALSE(wrote.empty());
    const Pixels picture = pngPixels(wrote[1]);
    ASSERT_EQ(picture.size(), static_cast<std::size_t>(kWidth) * kHeight * 3);
    EXPECT_FALSE(showsText(picture, shown)) << "the overlay got into the picture";
    viewer.quitWithZero();
}

TEST(View, PausedStepsGoOneFrameAtATimeAndMatchTheCaptureToolsStills) {
    Viewer viewer("--segment 2 --music off");
    ASSERT_NO_FATAL_FAILURE(viewer.started());
    viewer.press("h"); // the overlay is drawn between the frames stepped
    viewer.press("space");
    viewer.line("paused at");
    viewer.press("period");
    const std::vector<std::string> first =
        viewer.line(R"(step to [0-9.]+ s \(segment 2, frame ([0-9]+)\))");
    ASSERT_FALSE(first.empty());
    viewer.press("s");
    const std::vector<std::string> a = viewer.line(R"(wrote (hlv-view-[0-9.]+\.png))");
    viewer.press("period");
    const std::vector<std::string> second =
        viewer.line(R"(step to ([0-9.]+) s \(segment 2, frame ([0-9]+)\))");
    ASSERT_FALSE(second.empty());
    viewer.press("s");
    const std::vector<std::string> b = viewer.line(R"(wrote (hlv-view-[0-9.]+\.png))");
    ASSERT_FALSE(a.empty() || b.empty());
    viewer.quitWithZero();

    const long n = std::stol(second[2]);
    EXPECT_EQ(n, std::stol(first[1]) + 1);
    EXPECT_NEAR(secondsOf(second, 1), static_cast<double>(n) / 30.0, 0.0005);
    const Pixels before = pngPixels(a[1]);
    const Pixels after = pngPixels(b[1]);
    const double step = meanDifference(before, after);
    EXPECT_GT(step, 0.0) << "a step forward did not change the picture";
    const auto [capturedBefore, captured] = captureStills(n);
    const double fromCapture = meanDifference(after, captured);
    const double fromFrameBefore = meanDifference(after, capturedBefore);
    std::printf("one step changes the picture by %.2f; the capture tool's frame %ld differs by "
                "%.2f, its frame before by %.2f (mean of 255)\n",
                step, n, fromCapture, fromFrameBefore);
    // Close to the Segment's start the replay draws every frame, so only what
    // the feedback kept from before the Segment differs: the capture tool's
    // frame is nearer than its neighbour. The tunnel's walls carry the
    // feedback's light forward above unit gain, so what the unplayed first
    // Segment left there fades slowly. Since the tunnel's spark rings light
    // its mouth the two pictures differ more (25 to 29 levels measured, the
    // frame before 28 to 32); the capture's own frame stays the nearer.
    EXPECT_LT(fromCapture, fromFrameBefore);
    EXPECT_LT(fromCapture, 40.0);
}

TEST(View, SeeksBackForwardAndToSegmentsLandOnTheirFramesWithinThreeSeconds) {
    const view::Schedule schedule;
    Viewer viewer("--at 100 --music off");
    ASSERT_NO_FATAL_FAILURE(viewer.started());
    viewer.press("space");
    const std::vector<std::string> paused = viewer.line(R"(paused at ([0-9.]+) s)");
    ASSERT_FALSE(paused.empty());
    const double p = secondsOf(paused, 1);
    const std::string seek =
        R"(seek to ([0-9.]+) s \(segment ([0-9]), frame [0-9]+\) in ([0-9.]+) s)";
    const auto expectSeek = [&](const std::string& key, double seconds, int segment) {
        viewer.press(key);
        const std::vector<std::string> m = viewer.line(seek);
        ASSERT_FALSE(m.empty()) << key;
        EXPECT_NEAR(secondsOf(m, 1), seconds, 0.5 / 30.0 + 1e-3) << key;
        EXPECT_EQ(std::stoi(m[2]), segment) << key;
        EXPECT_LT(secondsOf(m, 3), kSeekLimit) << key;
    };
    expectSeek("Left", p - 5.0, 4);
    expectSeek("Right", p, 4);
    expectSeek("Next", view::frameMs(schedule.firstFrame(5)) / 1000.0, 5);
    expectSeek("Prior", view::frameMs(schedule.firstFrame(4)) / 1000.0, 4);
    expectSeek("7", view::frameMs(schedule.firstFrame(7)) / 1000.0, 7);
    viewer.quitWithZero();
}

TEST(View, LoopsTheSegmentAcrossItsEnd) {
    const view::Schedule schedule;
    const double end = view::frameMs(schedule.handover(2)) / 1000.0;
    char at[32];
    std::snprintf(at, sizeof at, "%.3f", end - 1.5);
    Viewer viewer(std::string("--music off --at ") + at);
    ASSERT_NO_FATAL_FAILURE(viewer.started());
    viewer.press("l");
    const std::vector<std::string> loop = viewer.line(R"(loop ([0-9.]+) s to ([0-9.]+) s)");
    ASSERT_FALSE(loop.empty());
    EXPECT_EQ(secondsOf(loop, 1), 0.0);
    EXPECT_NEAR(secondsOf(loop, 2), end, 1e-3);
    EXPECT_FALSE(viewer.line(R"(loop to 0\.000 s \(segment 1, frame 0\))", 20.0).empty());
    // And once more round, without ever showing Segment 2.
    viewer.press("l");
    viewer.line("loop off");
    viewer.quitWithZero();
    EXPECT_EQ(viewer.log().find("segment 2"), std::string::npos) << viewer.log();
}

TEST(View, BadArgumentsStopWithTheirReasonAndANonZeroCode) {
    const struct {
        const char* arguments;
        const char* reason;
    } cases[] = {
        {"--at 400", "lies outside the production"},
        {"--segment 9", "a Segment 1 to 8"},
        {"--loop 50:50", "is empty"},
        {"--loop 60:50", "ends before it starts"},
    };
    for (const auto& c : cases) {
        std::string out;
        const int code =
            e2e::runCommand("cd '" + e2e::buildDir() + "' && ./hlv-view " + c.arguments, &out);
        EXPECT_NE(code, 0) << c.arguments;
        EXPECT_NE(out.find(c.reason), std::string::npos) << c.arguments << ": " << out;
    }
}

// Where, in the music, the sound that follows each stretch of silence
// (at least `quiet` frames long) in what the disk driver wrote comes from.
std::vector<double> soundAfterSilences(const std::vector<std::int16_t>& written,
                                       const std::vector<std::int16_t>& music, long quiet,
                                       const std::vector<double>& near) {
    std::vector<double> found;
    const long frames = static_cast<long>(written.size() / 2);
    const long window = 4096;
    long silent = 0;
    std::size_t next = 0;
    for (long f = 0; f < frames - window && next < near.size(); ++f) {
        const bool zero = written[2 * f] == 0 && written[2 * f + 1] == 0;
        if (zero) {
            ++silent;
            continue;
        }
        if (silent >= quiet) {
            const long centre = std::lround(near[next] * platform::kSampleRate);
            double where = -1.0;
            for (long o = std::max(0L, centre - 2 * platform::kSampleRate);
                 o < centre + 2 * platform::kSampleRate && where < 0.0; ++o) {
                if (2 * (o + window) > static_cast<long>(music.size())) {
                    break;
                }
                if (std::equal(written.begin() + 2 * f, written.begin() + 2 * (f + window),
                               music.begin() + 2 * o)) {
                    where = static_cast<double>(o) / platform::kSampleRate;
                }
            }
            found.push_back(where);
            ++next;
        }
        silent = 0;
    }
    return found;
}

TEST(ViewSound, AfterSeeksAndAPauseTheMusicPlaysFromThePicturesTimeWithinAFrame) {
    hlv_test::TempFolder folder("hlv-view-sound");
    const std::string audio = (folder.path() / "sound.raw").string();
    Viewer viewer("--at 94", "SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE='" + audio + "'");
    ASSERT_NO_FATAL_FAILURE(viewer.started());
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    viewer.press("space");
    const std::vector<std::string> paused = viewer.line(R"(paused at ([0-9.]+) s)");
    std::this_thread::sleep_for(std::chrono::milliseconds(1000));
    viewer.press("space");
    viewer.line("playing from");
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    viewer.press("Left");
    const std::vector<std::string> back = viewer.line(R"(seek to ([0-9.]+) s)");
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    viewer.quitWithZero();
    ASSERT_FALSE(paused.empty() || back.empty());

    std::ifstream in(audio, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::int16_t> written(bytes.size() / 2);
    std::memcpy(written.data(), bytes.data(), written.size() * 2);
    const std::vector<std::int16_t>& music =
        platform::soundSamples(platform::soundLoad("hlvd/Corvanth.mp3"));
    ASSERT_FALSE(music.empty());

    const std::vector<double> pictures = {94.0, secondsOf(paused, 1), secondsOf(back, 1)};
    const std::vector<double> sounds =
        soundAfterSilences(written, music, platform::kSampleRate / 4, pictures);
    ASSERT_EQ(sounds.size(), pictures.size()) << "silences in the sound: " << sounds.size();
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        std::printf("picture at %.3f s, its sound from %.4f s\n", pictures[i], sounds[i]);
        EXPECT_GE(sounds[i], 0.0) << "the sound after silence " << i << " is not the music's";
        EXPECT_NEAR(sounds[i], pictures[i], 1.0 / 30.0) << "silence " << i;
    }
}

} // namespace
