// The generated soundtrack and its cue file, checked the way the production
// uses them: decoded through the sound layer, cues looked up by music second.
#include "anim/music_cue_table.h"
#include "anim/timing.h"
#include "platform/platform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

const std::string kTrack = std::string(HLV_ASSET_DIR) + "/Corvanth.mp3";
const std::string kCues = std::string(HLV_ASSET_DIR) + "/musicinfo2.txt";
constexpr double kRate = 44100.0;

// Segment boundaries in music seconds follow from the production's clock table.
const timing::SegmentClock* const kClocks = timing::kSegmentClocks;
using Clock = timing::SegmentClock;

double segmentStart(int segment) { // 1..9
    double start = 0.0;
    for (int s = 0; s < segment - 1; ++s) {
        start += (kClocks[s].end - kClocks[s].offset) / kClocks[s].scale / 1000.0;
    }
    return start;
}

double segmentTime(int segment, double seconds) {
    const Clock& c = kClocks[segment - 1];
    return (seconds - segmentStart(segment)) * 1000.0 * c.scale + c.offset;
}

int segmentAt(double seconds) {
    for (int s = 1; s <= 8; ++s) {
        if (seconds < segmentStart(s + 1)) {
            return s;
        }
    }
    return 9;
}

// Frame timing lets a Segment boundary slip by a few frames; cues keep clear.
constexpr double kBoundaryMargin = 0.25;

class Soundtrack : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        const platform::SoundHandle sound = platform::soundLoad(kTrack.c_str());
        ASSERT_GE(sound, 0) << "cannot open " << kTrack;
        pcm_ = &platform::soundSamples(sound);
    }
    static std::size_t frames() { return pcm_->size() / 2; }
    static double sample(std::size_t frame, int channel) {
        return (*pcm_)[2 * frame + channel] / 32768.0;
    }
    static std::size_t frameAt(double seconds) {
        return std::min(frames(), static_cast<std::size_t>(std::lround(seconds * kRate)));
    }
    // |x[i] - x[i - 1]| of one channel (0 for the first sample).
    static std::vector<double> sampleSteps(int channel) {
        std::vector<double> steps(frames(), 0.0);
        for (std::size_t i = 1; i < frames(); ++i) {
            steps[i] = std::abs(sample(i, channel) - sample(i - 1, channel));
        }
        return steps;
    }
    static double meanSquare(double from, double to) {
        double sum = 0.0;
        for (std::size_t i = frameAt(from); i < frameAt(to); ++i) {
            sum += sample(i, 0) * sample(i, 0) + sample(i, 1) * sample(i, 1);
        }
        return sum / (2.0 * static_cast<double>(frameAt(to) - frameAt(from)));
    }
    // Skewness of the loudness envelope's steps (5.8 ms frames): music
    // played forwards rises faster than it falls, so the skew is positive;
    // played backwards it turns negative.
    static double envelopeSkew(double from, double to) {
        constexpr std::size_t kFrame = 256;
        std::vector<double> envelope;
        for (std::size_t i = frameAt(from); i + kFrame <= frameAt(to); i += kFrame) {
            double energy = 0.0;
            for (std::size_t k = i; k < i + kFrame; ++k) {
                energy += sample(k, 0) * sample(k, 0) + sample(k, 1) * sample(k, 1);
            }
            envelope.push_back(std::sqrt(energy / (2 * kFrame)));
        }
        double square = 0.0, cube = 0.0;
        for (std::size_t i = 1; i < envelope.size(); ++i) {
            const double d = envelope[i] - envelope[i - 1];
            square += d * d;
            cube += d * d * d;
        }
        return cube / std::pow(square, 1.5);
    }
    static const std::vector<std::int16_t>* pcm_;
};

const std::vector<std::int16_t>* Soundtrack::pcm_ = nullptr;

// The first MPEG audio frame header of the file.
std::uint32_t firstFrameHeader(const std::vector<unsigned char>& bytes) {
    std::size_t i = 0;
    if (bytes.size() > 10 && bytes[0] == 'I' && bytes[1] == 'D' && bytes[2] == '3') {
        i = 10 + ((bytes[6] & 0x7F) << 21 | (bytes[7] & 0x7F) << 14 | (bytes[8] & 0x7F) << 7 |
                  (bytes[9] & 0x7F));
    }
    for (; i + 4 <= bytes.size(); ++i) {
        if (bytes[i] == 0xFF && (bytes[i + 1] & 0xE0) == 0xE0) {
            return static_cast<std::uint32_t>(bytes[i]) << 24 | bytes[i + 1] << 16 |
                   bytes[i + 2] << 8 | bytes[i + 3];
        }
    }
    return 0;
}

TEST_F(Soundtrack, IsStereoMpeg1LayerThreeAt44100Hz) {
    std::ifstream in(kTrack, std::ios::binary);
    const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)),
                                           std::istreambuf_iterator<char>());
    const std::uint32_t header = firstFrameHeader(bytes);
    ASSERT_NE(header, 0u) << "no MPEG frame in " << kTrack;
    EXPECT_EQ((header >> 19) & 3, 3u) << "MPEG version 1";
    EXPECT_EQ((header >> 17) & 3, 1u) << "layer III";
    EXPECT_EQ((header >> 10) & 3, 0u) << "44100 Hz";
    EXPECT_NE((header >> 6) & 3, 3u) << "not mono";
}

TEST_F(Soundtrack, LastsToTheEndOfTheProduction) {
    const double seconds = frames() / kRate;
    EXPECT_NEAR(seconds, 272.0, 0.1);
    EXPECT_GT(seconds, segmentStart(9));
    // Still sounding in the last second of the picture, silent at the very end.
    EXPECT_GT(meanSquare(segmentStart(9) - 1.0, segmentStart(9)), 1e-5);
    EXPECT_LT(meanSquare(seconds - 0.02, seconds), 1e-7);
}

TEST_F(Soundtrack, StaysBelowFullScaleWithoutDcOffset) {
    double peak = 0.0, sum[2] = {0.0, 0.0};
    for (std::size_t i = 0; i < frames(); ++i) {
        for (int c = 0; c < 2; ++c) {
            peak = std::max(peak, std::abs(sample(i, c)));
            sum[c] += sample(i, c);
        }
    }
    EXPECT_LT(peak, 0.98);
    EXPECT_GT(peak, 0.3) << "the track is nearly silent";
    EXPECT_LT(std::abs(sum[0] / frames()), 1e-3);
    EXPECT_LT(std::abs(sum[1] / frames()), 1e-3);
}

TEST_F(Soundtrack, HasNoClicks) {
    for (int c = 0; c < 2; ++c) {
        const std::vector<double> steps = sampleSteps(c);
        // A wrapped sample or a loud note cut off makes a step no instrument makes.
        EXPECT_LT(*std::max_element(steps.begin(), steps.end()), 0.45) << "channel " << c;
        // A note edge without an envelope is a step far above the steps
        // around it (cymbal and hat noise is steep too, but for many samples).
        std::vector<double> energy(steps.size() + 1, 0.0);
        for (std::size_t i = 0; i < steps.size(); ++i) {
            energy[i + 1] = energy[i] + steps[i] * steps[i];
        }
        constexpr std::size_t kAround = 1000; // about 23 ms either side
        int clicks = 0;
        for (std::size_t i = kAround; i + kAround < steps.size(); ++i) {
            const double around = (energy[i + kAround] - energy[i - kAround]) / (2 * kAround);
            if (steps[i] > 0.004 && steps[i] > 8.5 * std::sqrt(around) && clicks++ < 5) {
                ADD_FAILURE() << "click at " << i / kRate << " s, channel " << c;
            }
        }
        EXPECT_EQ(clicks, 0);
    }
}

TEST_F(Soundtrack, ChangesSectionOnSegmentBoundaries) {
    const auto loudnessChange = [](int segment) {
        const double b = segmentStart(segment);
        return 10.0 * std::log10(meanSquare(b + 0.1, b + 1.0) / meanSquare(b - 1.0, b - 0.1));
    };
    EXPECT_GT(loudnessChange(2), 2.0) << "the beat starts with the light tunnel";
    EXPECT_GT(loudnessChange(3), 2.0) << "the drop starts with the butterflies";
    EXPECT_LT(loudnessChange(4), -1.0) << "the breakdown starts with the rain";
    EXPECT_GT(loudnessChange(7), 2.0) << "the climax starts with the deep sea";
}

// Cue intervals recovered through the loader's own lookup.
struct Interval {
    int value;
    double start, end;
};

std::vector<Interval> cueIntervals(const MusicCueTable& table, double step) {
    std::vector<Interval> runs;
    for (double t = 0.0; t < 272.0; t += step) {
        const int value = table.lookup(t);
        if (value != 0 && !runs.empty() && runs.back().value == value &&
            runs.back().end > t - 1.5 * step) {
            runs.back().end = t;
        } else if (value != 0) {
            runs.push_back({value, t, t});
        }
    }
    return runs;
}

TEST_F(Soundtrack, ReversesAroundTheDeepSeaMirrorCues) {
    MusicCueTable table;
    table.load(kCues.c_str());
    int mirrors = 0;
    for (const Interval& cue : cueIntervals(table, 0.001)) {
        if (segmentAt(cue.start) != 7) {
            continue;
        }
        // Inside the window the music plays backwards, as the picture does:
        // hits swell up and stop dead instead of striking and decaying.
        const double centre = 0.5 * (cue.start + cue.end);
        const double half = 0.5 * (cue.end - cue.start) - 0.02;
        const double inside = envelopeSkew(centre - half, centre + half);
        const double before = envelopeSkew(cue.start - 1.0, cue.start - 0.02);
        EXPECT_LT(inside, -0.05) << "cue " << cue.value << " at " << cue.start;
        EXPECT_LT(inside, before - 0.1) << "cue " << cue.value << " at " << cue.start;
        ++mirrors;
    }
    EXPECT_EQ(mirrors, 2);
}

TEST_F(Soundtrack, HitsLandOnTheRainCues) {
    // The camera rolls on the rain's cues; the music strikes at the same instant.
    MusicCueTable table;
    table.load(kCues.c_str());
    int hits = 0;
    for (const Interval& cue : cueIntervals(table, 0.001)) {
        if (segmentAt(cue.start) != 4) {
            continue;
        }
        // The loudest 20 ms within 1.5 s either side belong to the hit that
        // starts with the cue (its low boom swells for a tenth of a second).
        double loudest = 0.0, loudestAt = 0.0;
        for (double t = cue.start - 1.5; t < cue.start + 1.5; t += 0.005) {
            const double level = meanSquare(t, t + 0.02);
            if (level > loudest) {
                loudest = level;
                loudestAt = t;
            }
        }
        EXPECT_GT(loudestAt, cue.start - 0.03) << "cue " << cue.value << " at " << cue.start;
        EXPECT_LT(loudestAt, cue.start + 0.15) << "cue " << cue.value << " at " << cue.start;
        ++hits;
    }
    EXPECT_EQ(hits, 2);
}

TEST(MusicCues, LieInsideTheSegmentsThatReadThem) {
    MusicCueTable table;
    table.load(kCues.c_str());
    ASSERT_GT(table.count(), 0) << "no cues in " << kCues;
    ASSERT_LE(table.count(), MusicCueTable::kCapacity);

    const std::vector<Interval> cues = cueIntervals(table, 0.001);
    // Every entry read shows up on its own: none hidden under an earlier,
    // overlapping one, and none of the announced count missing.
    EXPECT_EQ(static_cast<int>(cues.size()), table.count());
    std::vector<Interval> rain, deep;
    int stutters = 0;
    for (const Interval& cue : cues) {
        const int segment = segmentAt(cue.start);
        SCOPED_TRACE("cue " + std::to_string(cue.value) + " at " + std::to_string(cue.start));
        EXPECT_EQ(segmentAt(cue.end), segment) << "crosses a Segment boundary";
        EXPECT_GT(cue.start, segmentStart(segment) + kBoundaryMargin);
        EXPECT_LT(cue.end, segmentStart(segment + 1) - kBoundaryMargin);
        switch (segment) {
        case 2: // light tunnel: short rewinds to 18 - value
            EXPECT_GE(cue.value, 1);
            EXPECT_LE(cue.value, 5);
            EXPECT_LT(cue.end - cue.start, 0.5);
            ++stutters;
            break;
        case 4:
            rain.push_back(cue);
            break;
        case 7:
            deep.push_back(cue);
            break;
        default:
            ADD_FAILURE() << "Segment " << segment << " does not read cues";
        }
    }
    EXPECT_GE(stutters, 3);

    // Rain: the strong hit (2) first, the roll-only hit (3) later.
    ASSERT_EQ(rain.size(), 2u);
    EXPECT_EQ(rain[0].value, 2);
    EXPECT_EQ(rain[1].value, 3);

    // Deep sea: time mirrors around t = 260 (cue 2) and t = 500 (cue 3 or 4).
    ASSERT_EQ(deep.size(), 2u);
    EXPECT_EQ(deep[0].value, 2);
    EXPECT_NEAR(segmentTime(7, 0.5 * (deep[0].start + deep[0].end)), 260.0, 1.0);
    EXPECT_TRUE(deep[1].value == 3 || deep[1].value == 4);
    EXPECT_NEAR(segmentTime(7, 0.5 * (deep[1].start + deep[1].end)), 500.0, 1.0);
}

TEST(MusicCues, NeverEndTheDeepSeaEarly) {
    // Cue 3 or 4 maps t to 1000 - t; below t = 32 that passes the Segment's
    // end and cuts it short. Allow a second of slip at the Segment start.
    MusicCueTable table;
    table.load(kCues.c_str());
    for (double s = segmentStart(7) - 1.0; s < segmentStart(8); s += 0.002) {
        if (segmentTime(7, s) < 32.0 + 17.3) {
            const int cue = table.lookup(s);
            EXPECT_TRUE(cue != 3 && cue != 4) << "cue " << cue << " at " << s;
        }
    }
}

} // namespace
