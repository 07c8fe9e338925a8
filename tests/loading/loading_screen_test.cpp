// The loading screen: its fade, the domes' tilt path, and frames drawn at
// chosen progress values.
#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <filesystem>

#include <gtest/gtest.h>

#include "gfx/offscreen_buffer.h"
#include "gfx/texture_table.h"
#include "loading_support.h"
#include "platform/platform.h"
#include "segments/loading_screen.h"

using namespace loading_test;

namespace {

double tiltAt(const partloader& screen, double u) {
    TVector angle, unused1, unused2;
    screen.tiltPath.evaluate(u, angle, unused1, unused2);
    return angle.x;
}

struct Brightness {
    double mean = 0.0;
    int maximum = 0;
};

Brightness measure(const std::vector<std::uint8_t>& rgb) {
    Brightness b;
    double sum = 0.0;
    for (std::uint8_t value : rgb) {
        sum += value;
        b.maximum = std::max<int>(b.maximum, value);
    }
    b.mean = rgb.empty() ? 0.0 : sum / double(rgb.size());
    return b;
}

Picture drawAtProgress(double progress) {
    double t = progress * 0.05;
    drawLoadingScreen(loadingScreen, &t, textureTable, offscreenBuffer);
    glFinish();
    Picture picture = readPicture();
    const std::string folder = std::string(HLV_BUILD_DIR) + "/test-output/loading";
    std::filesystem::create_directories(folder);
    savePicture(picture, folder + "/screen_" + std::to_string(int(progress)) + ".png");
    return picture;
}

std::vector<std::uint8_t> viewTexels(int k) {
    std::vector<std::uint8_t> texels(kLoadingViewSize * kLoadingViewSize * 3);
    glBindTexture(GL_TEXTURE_2D, textureTable[kLoadingViewTexture + k]);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    return texels;
}

} // namespace

TEST(LoadingScreenFade, FullUpToThirteenThenDownToBlack) {
    EXPECT_EQ(loadingBrightness(0.0), 1.0);
    EXPECT_EQ(loadingBrightness(13.0), 1.0);
    EXPECT_NEAR(loadingBrightness(15.0), 1.0 - 2.0 * 0.245, 1e-12);
    EXPECT_GT(loadingBrightness(17.0), 0.0);
    EXPECT_EQ(loadingBrightness(17.09), 0.0);
    EXPECT_EQ(loadingBrightness(20.7), 0.0); // never negative
}

TEST(LoadingScreenTilt, DomesRiseThenRippleAndNoReadLeavesTheTracks) {
    partloader screen;
    initLoadingScreenPaths(screen);
    ASSERT_EQ(screen.tiltPath.keyCount, kTiltKeyCount);
    for (const KeyTrack& track : screen.tiltPath.tracks) {
        EXPECT_GE(track.size(), std::size_t(kTiltKeyCount));
    }
    EXPECT_EQ(screen.tiltPath.tracks[0][0].x, 71.0);
    EXPECT_EQ(screen.tiltPath.tracks[0][1].x, 70.0);
    EXPECT_EQ(screen.tiltPath.tracks[0][2].x, 10.0);
    EXPECT_EQ(screen.tiltPath.tracks[0][3].x, 0.0);

    // Everything loading reads: domes 0..39, wave times 0 .. 20.7 + 0.36.
    for (int dome = 0; dome < kDomeCount; ++dome) {
        for (double v = 0.0; v <= 21.06; v += 0.03) {
            const double u = tiltParameter(dome, v);
            const double a = tiltAt(screen, u);
            EXPECT_GE(a, -12.0) << "dome " << dome << " v " << v;
            EXPECT_LE(a, 75.0) << "dome " << dome << " v " << v;
            const double k = std::fmod(u, kTiltKeyCount);
            if (k > 100.0) {
                EXPECT_GT(a, 68.0) << "a dome waiting to rise lies down, u " << u;
            }
            if (k >= 4.0 && k < 40.0) {
                EXPECT_LT(std::abs(a), 10.0) << "a risen dome stays nearly upright, u " << u;
            }
        }
    }
    // The ripple moves: a risen dome sways both ways over time.
    double lowest = 90.0;
    double highest = -90.0;
    for (double v = 8.0; v <= 20.0; v += 0.05) {
        lowest = std::min(lowest, tiltAt(screen, tiltParameter(0, v)));
        highest = std::max(highest, tiltAt(screen, tiltParameter(0, v)));
    }
    EXPECT_LT(lowest, -3.0);
    EXPECT_GT(highest, 3.0);
}

TEST(LoadingScreenFrames, ProgressZeroHundredThirteenAndBlack) {
    ASSERT_TRUE(ensurePackLoaded()) << "the generated pack did not load";
    const Picture first = drawAtProgress(0);
    EXPECT_EQ(platform::currentContext(), platform::windowContext());
    const Brightness atStart = measure(first.rgb);
    EXPECT_GT(atStart.mean, 10.0);
    EXPECT_LT(atStart.mean, 200.0);

    const Picture middle = drawAtProgress(100);
    EXPECT_GT(measure(middle.rgb).mean, 10.0);
    EXPECT_NE(first.rgb, middle.rgb);
    // The four views were copied out of the buffer; the last has no domes.
    for (int k = 0; k < 4; ++k) {
        EXPECT_GT(measure(viewTexels(k)).maximum, 40) << "view " << k;
    }
    EXPECT_NE(viewTexels(0), viewTexels(3));

    // t = 13 exactly is not yet fading.
    const Picture atThirteen = drawAtProgress(260);
    EXPECT_GT(measure(atThirteen.rgb).mean, 0.5 * atStart.mean);

    const Picture late = drawAtProgress(345);
    EXPECT_EQ(measure(late.rgb).maximum, 0) << "t = 17.25 is black";
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}
