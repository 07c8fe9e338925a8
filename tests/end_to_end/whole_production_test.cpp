// hlv from its first prompt to its own end, with music through the disk audio
// driver: the whole production plays and ends by itself on time, and Escape
// ends it with 0 during every Segment. The nine runs share the virtual X
// server and play side by side, so the suite waits the production's length
// once; the Escape runs are niced so the full run keeps its frame rate (each
// Segment change costs a frame or two of its time).
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <thread>
#include <vector>

#include "anim/timing.h"
#include "process.h"
#include "temp_folder.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr double kLoadingPatience = 300.0;        // nine loadings at once on two cores
constexpr double kBytesPerSecond = 44100.0 * 4.0; // 16-bit stereo
constexpr int kFullRun = 0;                       // runs[0] plays to the end

// Seconds from the start of the music to the start of Segment k (1..8); k = 9
// gives the production's end.
double segmentStartSeconds(int k) {
    double ms = 0.0;
    for (int i = 1; i < k; ++i) {
        ms += timing::segmentMilliseconds(i);
    }
    return ms / 1000.0;
}

double secondsBetween(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}

struct Viewing {
    int escapeSegment = 0; // 0: no key, the production ends by itself
    std::filesystem::path audio;
    std::unique_ptr<e2e::Program> program;
    std::uintmax_t scanned = 0;             // bytes of the sound file seen to be silence
    std::optional<Clock::time_point> music; // when its first sound was written
    std::optional<Clock::time_point> firstEscape, lastEscape, ended;
    e2e::Finished end;

    double escapeAt() const {
        return 0.5 * (segmentStartSeconds(escapeSegment) + segmentStartSeconds(escapeSegment + 1));
    }
};

// The device plays silence from the window's opening; the first byte that is
// not zero is the music's start.
void lookForMusic(Viewing& run) {
    std::ifstream in(run.audio, std::ios::binary);
    if (!in) {
        return;
    }
    in.seekg(static_cast<std::streamoff>(run.scanned));
    char byte = 0;
    while (in.get(byte)) {
        if (byte != 0) {
            run.music = Clock::now();
            return;
        }
        ++run.scanned;
    }
}

bool lastSecondSounds(const std::filesystem::path& audio) {
    const auto size = std::filesystem::file_size(audio);
    const auto second = static_cast<std::uintmax_t>(kBytesPerSecond);
    if (size < second) {
        return false;
    }
    std::ifstream in(audio, std::ios::binary);
    in.seekg(static_cast<std::streamoff>(size - second));
    char byte = 0;
    while (in.get(byte)) {
        if (byte != 0) {
            return true;
        }
    }
    return false;
}

void pressEscape(const e2e::Program& program) {
    std::string ids;
    e2e::runCommand("xdotool search --all --pid " + std::to_string(program.pid()) +
                        " --name '^HLV\\.orv$' 2>/dev/null",
                    &ids);
    std::istringstream words(ids);
    std::string id;
    while (words >> id) {
        e2e::runCommand("xdotool windowfocus " + id + " key --window " + id + " Escape");
    }
}

// One turn of watching every run: its music, its Escape, its end.
void watch(Viewing& run) {
    if (run.ended) {
        return;
    }
    const e2e::Finished end = run.program->waitFor(0);
    const auto now = Clock::now();
    if (end.exited) {
        run.end = end;
        run.ended = now;
        return;
    }
    if (!run.music) {
        lookForMusic(run);
        return;
    }
    const bool due = run.escapeSegment > 0 && secondsBetween(*run.music, now) >= run.escapeAt();
    // A loaded run may take a while to see the key: press again every 2 s.
    if (due && (!run.lastEscape || secondsBetween(*run.lastEscape, now) >= 2.0)) {
        pressEscape(*run.program);
        run.firstEscape = run.firstEscape.value_or(now);
        run.lastEscape = now;
    }
}

std::string describeViewing(Viewing& run) {
    return "run " + std::to_string(run.escapeSegment) + ":\n" + e2e::describe(*run.program);
}

TEST(WholeProduction, PlaysWithMusicToItsEndAndEscapeEndsEverySegmentWithZero) {
    hlv_test::TempFolder folder("hlv-whole");
    std::vector<Viewing> runs(1 + timing::kSegmentCount);
    for (int k = 0; k < static_cast<int>(runs.size()); ++k) {
        Viewing& run = runs[k];
        run.escapeSegment = k;
        run.audio = folder / ("sound-" + std::to_string(k) + ".raw");
        const std::string env =
            "env SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE='" + run.audio.string() + "' ./hlv";
        run.program = std::make_unique<e2e::Program>(k == kFullRun ? env : "nice -n 19 " + env);
    }
    // Every run asks about music first; each box is answered Yes.
    for (std::size_t answered = 0; answered < runs.size(); ++answered) {
        const std::string box = e2e::waitForWindow("-= Orv. Halvane =-", kLoadingPatience);
        ASSERT_FALSE(box.empty()) << answered << " boxes answered\n" << describeViewing(runs[0]);
        e2e::pressKey(box, "Return");
    }

    const double productionEnd = segmentStartSeconds(timing::kSegmentCount + 1);
    const auto giveUp =
        Clock::now() + std::chrono::duration<double>(kLoadingPatience + productionEnd + 60.0);
    const auto running = [&] {
        for (const Viewing& run : runs) {
            if (!run.ended) {
                return true;
            }
        }
        return false;
    };
    while (running() && Clock::now() < giveUp) {
        for (Viewing& run : runs) {
            watch(run);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }

    Viewing& full = runs[kFullRun];
    ASSERT_TRUE(full.ended && full.music) << describeViewing(full);
    EXPECT_EQ(full.end.code, 0) << describeViewing(full);
    const double played = secondsBetween(*full.music, *full.ended);
    std::printf("the full run ended %.3f s after its music started; the production is %.3f s\n",
                played, productionEnd);
    EXPECT_GE(played, productionEnd - 0.5) << describeViewing(full);
    EXPECT_LE(played, productionEnd + 1.0) << describeViewing(full);
    // The music kept sounding to the end: the last second the device wrote
    // is not silence. (How much it wrote says little: the disk driver's pace
    // drifts from the wall clock on a loaded machine.)
    EXPECT_TRUE(lastSecondSounds(full.audio)) << full.audio;

    for (int k = 1; k <= timing::kSegmentCount; ++k) {
        Viewing& run = runs[k];
        SCOPED_TRACE("Escape during Segment " + std::to_string(k));
        ASSERT_TRUE(run.ended && run.music && run.firstEscape) << describeViewing(run);
        EXPECT_EQ(run.end.code, 0) << describeViewing(run);
        // It ended because of the key, well before the Segment would have.
        EXPECT_LT(secondsBetween(*run.firstEscape, *run.ended), 10.0) << describeViewing(run);
        EXPECT_GT(*run.ended, *run.firstEscape);
    }
}

} // namespace
