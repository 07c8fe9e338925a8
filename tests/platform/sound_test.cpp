// Music through the audio device: decoding, forced format, and a play
// position that follows what the device has actually taken.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "platform/platform.h"
#include "temp_folder.h"

namespace {

// A fresh folder per run: the device file and the made MP3s.
hlv_test::TempFolder* work = nullptr;
std::string kWork;

long fileSize(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? static_cast<long>(info.st_size) : -1;
}

// An MP3 made here with sox and lame: `seconds` of a tone, mono or stereo.
std::string makeMp3(const std::string& name, double seconds, int channels) {
    const std::string wav = kWork + "/" + name + ".wav";
    const std::string mp3 = kWork + "/" + name + ".mp3";
    const std::string command = "mkdir -p " + kWork + " && sox -q -n -r 44100 -c " +
                                std::to_string(channels) + " -b 16 " + wav + " synth " +
                                std::to_string(seconds) + " sine 440 vol 0.5 && lame --quiet " +
                                wav + " " + mp3;
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return mp3;
}

// Frames the disk device has written so far (4 bytes a frame).
long deviceFrames() {
    const long bytes = fileSize(kWork + "/device.raw");
    return bytes < 0 ? 0 : bytes / 4;
}

// Polls `done` every 5 ms until it holds or `limit` has passed; the limit is
// generous because a loaded machine may starve the audio thread for a while.
template <typename Done> bool pollUntil(Done done, std::chrono::seconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

class SoundTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        work = new hlv_test::TempFolder("hlv-sound");
        kWork = work->path().string();
        // The disk driver writes what the device consumes into a file, in real time.
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", (kWork + "/device.raw").c_str(), 1);
        ASSERT_TRUE(platform::soundInit());
    }
    // The device keeps writing to its (then unlinked) file; that is harmless.
    static void TearDownTestSuite() {
        delete work;
        work = nullptr;
    }
};

TEST_F(SoundTest, DecodesToStereoAt44100WhateverTheFileHolds) {
    for (int channels : {1, 2}) {
        const auto mp3 = makeMp3("tone" + std::to_string(channels), 2.0, channels);
        const platform::SoundHandle sound = platform::soundLoad(mp3.c_str());
        ASSERT_GE(sound, 0);
        const auto& samples = platform::soundSamples(sound);
        const double frames = samples.size() / 2.0;
        EXPECT_NEAR(frames, 2.0 * 44100, 0.05 * 44100) << channels << " channel(s)";
        // A tone, not silence, and the same on both sides: a mono file is
        // copied to both exactly; a stereo one only as closely as the lossy
        // joint-stereo coding keeps its two equal channels.
        const int tolerance = channels == 1 ? 0 : 64;
        int loud = 0;
        for (std::size_t i = 44100; i < 44100 + 2000; i += 2) {
            loud += std::abs(samples[i]) > 1000 ? 1 : 0;
            EXPECT_NEAR(samples[i], samples[i + 1], tolerance) << channels << " channel(s)";
        }
        EXPECT_GT(loud, 500);
    }
}

TEST_F(SoundTest, MissingFileGivesNoSound) {
    EXPECT_EQ(platform::soundLoad((kWork + "/no-such-file.mp3").c_str()), -1);
    platform::soundPlay(-1); // nothing happens
    EXPECT_TRUE(platform::soundSamples(-1).empty());
}

TEST_F(SoundTest, PositionFollowsTheFramesTheDeviceConsumed) {
    const auto mp3 = makeMp3("long", 4.0, 2);
    const platform::SoundHandle sound = platform::soundLoad(mp3.c_str());
    ASSERT_GE(sound, 0);
    // Waits for the decoder, so that the track is whole before it plays.
    const auto frames = static_cast<std::uint32_t>(platform::soundSamples(sound).size() / 2);
    const long start = deviceFrames();
    platform::soundPlay(sound);
    EXPECT_EQ(platform::playingSound(), sound);

    // The device file is the truth of what was played. Each reading of the
    // position is bracketed by two readings of the file; the position stays
    // within the buffers in flight around those: up to two handed over but
    // not yet written, and the 0.1 s the wall clock may run ahead inside one.
    std::uint32_t last = 0;
    int checks = 0;
    long before = start, after = start;
    std::uint32_t p = 0;
    const bool played = pollUntil(
        [&] {
            before = deviceFrames() - start;
            p = platform::musicPosition();
            after = deviceFrames() - start;
            EXPECT_GE(p, last) << "the position never runs backwards";
            EXPECT_LE(static_cast<long>(p), after + 2 * 1024 + 4410) << "after " << checks;
            EXPECT_GE(static_cast<long>(p), before - 3 * 1024) << "after " << checks;
            last = p;
            ++checks;
            return before >= 2 * 44100;
        },
        std::chrono::seconds(60));
    ASSERT_TRUE(played) << "the device took only " << before << " frames; position " << p;
    EXPECT_GT(checks, 10);
    EXPECT_GT(p, 44100u);

    // After the end the position rests at the track's length.
    const bool ended =
        pollUntil([&] { return platform::musicPosition() == frames; }, std::chrono::seconds(60));
    EXPECT_TRUE(ended) << "position " << platform::musicPosition() << " of " << frames
                       << " frames; the device took " << deviceFrames() - start;
    // And stays there while the device plays silence.
    const long silenceFrom = deviceFrames();
    pollUntil([&] { return deviceFrames() > silenceFrom + 4 * 1024; }, std::chrono::seconds(60));
    EXPECT_EQ(platform::musicPosition(), frames);
}

TEST_F(SoundTest, VirtualClockDrivesThePositionWithoutTheDevice) {
    const auto mp3 = makeMp3("short", 1.0, 2);
    const platform::SoundHandle sound = platform::soundLoad(mp3.c_str());
    platform::VirtualClock clock;
    clock.milliseconds = 250.0;
    platform::useVirtualClock(&clock);
    platform::soundPlay(sound);
    EXPECT_EQ(platform::musicPosition(), 0u);
    EXPECT_EQ(platform::tickCount(), 250u);
    clock.milliseconds = 250.0 + 1000.0 / 3.0;
    EXPECT_EQ(platform::tickCount(), 583u);
    EXPECT_EQ(platform::musicPosition(), 14700u);
    platform::useVirtualClock(nullptr);
}

} // namespace
