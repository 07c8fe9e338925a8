// Music through the audio device: decoding, forced format, and a play
// position that follows what the device has actually taken.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "platform/platform.h"

namespace {

const std::string kWork = "sound-test";

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

double secondsSince(std::chrono::steady_clock::time_point t) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t).count();
}

class SoundTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        std::system(("mkdir -p " + kWork).c_str());
        // The disk driver writes what the device consumes into a file, in real time.
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", (kWork + "/device.raw").c_str(), 1);
        ASSERT_TRUE(platform::soundInit());
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
    const std::string device = kWork + "/device.raw";
    const long before = fileSize(device);
    platform::soundPlay(sound);
    EXPECT_EQ(platform::playingSound(), sound);

    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const auto t1 = std::chrono::steady_clock::now();
    const std::uint32_t p1 = platform::musicPosition();
    std::uint32_t last = p1;
    for (int i = 0; i < 200; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        const std::uint32_t p = platform::musicPosition();
        ASSERT_GE(p, last) << "the position never runs backwards";
        last = p;
    }
    const std::uint32_t p2 = platform::musicPosition();
    const double rate = (p2 - p1) / secondsSince(t1);
    EXPECT_NEAR(rate, 44100, 0.15 * 44100);

    // What the device took is in the file (4 bytes a frame); the position
    // stays within the one buffer that is playing right now.
    const long consumed = (fileSize(device) - before) / 4;
    const std::uint32_t p3 = platform::musicPosition();
    EXPECT_LE(static_cast<long>(p3), consumed + 2 * 1024 + 4410);
    EXPECT_GE(static_cast<long>(p3), consumed - 3 * 1024);

    // After the end the position rests at the track's length.
    std::this_thread::sleep_for(std::chrono::milliseconds(4200));
    const auto frames = static_cast<std::uint32_t>(platform::soundSamples(sound).size() / 2);
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
