// The closing credits drawn for real in a headless GL context, with plain
// stand-in pictures: the end rule, the black last moment, and the film
// overlay's closer camera and unsqueezed specks. The file is named to run
// after the other frame tests: it draws from the process-wide random sequence,
// and their film overlays expect to find it untouched.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <vector>

#include "gfx/offscreen_buffer.h"
#include "gfx/random.h"
#include "gfx/texture_table.h"
#include "platform/gl_window.h"
#include "platform/platform.h"
#include "segments/film.h"
#include "segments/part8.h"

namespace {

GLuint plainTexture(int size, unsigned char grey) {
    const std::vector<unsigned char> pixels(static_cast<std::size_t>(size) * size * 3, grey);
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexImage2D(GL_TEXTURE_2D, 0, 3, size, size, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    return name;
}

// Shares the program's one window with the other frame tests.
class ClosingFrame : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        std::filesystem::current_path(HLV_BUILD_DIR);
        ready_ = platform::windowContextExists() ? platform::activateWindowContext()
                                                 : testing_gl::openTestWindow(800, 600);
        if (!ready_) {
            return;
        }
        glViewport(0, 0, 800, 600);
        if (offscreenBuffer.bufferContext == nullptr) {
            setUpOffscreenBuffer(offscreenBuffer);
        }
        // White film grain and specks, black scratches (they darken by their
        // colour, so black leaves the picture alone); a white trail to start
        // and white greetings; stems, cards and jellyfish black, so that
        // they add nothing.
        for (int id : {1, 3, 9101, 9102, 9103}) {
            textures_[id] = plainTexture(64, 255);
        }
        for (int id : {2, 9007, 9009, 9090, 9130, 9131, 9132, 9133, 9134}) {
            textures_[id] = plainTexture(64, 0);
        }
        textures_[9110] = plainTexture(512, 255);
        textures_[9111] = plainTexture(512, 255);
        while (glGetError() != GL_NO_ERROR) {
        }
    }

    void SetUp() override {
        // Every frame starts from a fresh process's random sequence, so a
        // check does not depend on which tests drew numbers before it.
        gfx::restartRandomSequence();
        if (!ready_) {
            GTEST_SKIP() << "no GL context: " << platform::lastError();
        }
    }

    static std::vector<std::uint8_t> picture() {
        std::vector<std::uint8_t> rgb;
        platform::readPicture(rgb);
        return rgb;
    }

    // Rows counted from the top of the screen, end exclusive.
    static double meanLuma(const std::vector<std::uint8_t>& rgb, int x0, int y0, int x1, int y1) {
        double sum = 0.0;
        for (int y = y0; y < y1; ++y) {
            for (int x = x0; x < x1; ++x) {
                const auto p = testing_gl::pixelAt(rgb, 800, x, 599 - y);
                sum += (p.r + p.g + p.b) / 3.0;
            }
        }
        return sum / ((x1 - x0) * (y1 - y0));
    }

    static inline bool ready_ = false;
    static inline TextureTable textures_{};
};

TEST_F(ClosingFrame, DrawsItsLastMomentInBlackThenReportsTheEnd) {
    auto segment = std::make_unique<part8>();
    initPart8(*segment);
    startPart8(*segment);
    EXPECT_FLOAT_EQ(static_cast<float>(segment->aspect), 4.0f / 3.0f);

    // Mid-way the trail band lights the middle of the screen.
    double t = 60.0;
    EXPECT_FALSE(renderPart8(*segment, 0, textures_, &t, offscreenBuffer));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    auto rgb = picture();
    const double midway = meanLuma(rgb, 0, 0, 800, 600);
    EXPECT_GT(meanLuma(rgb, 100, 250, 700, 350), 100.0);
    EXPECT_LT(meanLuma(rgb, 0, 0, 800, 40), 30.0); // above the band

    // By the last moment the rings multiply by black; only thin slits
    // between rings of different stretch let some light through.
    t = 163.5;
    EXPECT_FALSE(renderPart8(*segment, 0, textures_, &t, offscreenBuffer));
    EXPECT_EQ(segment->frameCounter, 2);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    rgb = picture();
    EXPECT_LT(meanLuma(rgb, 0, 0, 800, 600), 0.15 * midway);
    EXPECT_LT(meanLuma(rgb, 300, 200, 500, 400), 3.0); // the middle is black

    // Past it: finished, nothing drawn, no frame counted.
    t = 163.5 + 1e-9;
    EXPECT_TRUE(renderPart8(*segment, 0, textures_, &t, offscreenBuffer));
    EXPECT_EQ(segment->frameCounter, 2);
}

TEST_F(ClosingFrame, GreetingsComeAfterSixtySeven) {
    auto segment = std::make_unique<part8>();
    initPart8(*segment);
    startPart8(*segment);
    // The last greeting line starts high on the right, above the band.
    auto corner = [&](double t) {
        renderPart8(*segment, 0, textures_, &t, offscreenBuffer);
        return meanLuma(picture(), 480, 60, 640, 100);
    };
    const double before = corner(66.9);
    const double after = corner(67.1);
    EXPECT_GT(after, before + 5.0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ClosingFrame, ChainLinksLieWhereTheMatrixStackPutsThem) {
    // A swaying, shrinking chain walked on the GL matrix stack, segment by
    // segment, against the links worked out without it.
    SegmentChain chain;
    chain.count = 29;
    chain.swayAmplitude = -37.0;
    chain.phaseRate = 0.27;
    chain.phaseOffset = 1.9;
    const auto links = chainLinks(chain);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    for (int k = 0; k < chain.count; ++k) {
        glScalef(0.94f, 0.94f, 0.94f);
        glRotatef(static_cast<float>(chain.swayAmplitude *
                                     std::sin(k * chain.phaseRate + chain.phaseOffset)),
                  0.0f, 0.0f, 1.0f);
        glTranslatef(0.0f, 0.2f, 0.0f);
        double m[16];
        glGetDoublev(GL_MODELVIEW_MATRIX, m);
        SCOPED_TRACE(k);
        EXPECT_NEAR(links[k].x, m[12], 1e-5);
        EXPECT_NEAR(links[k].y, m[13], 1e-5);
        const double scale = std::hypot(m[0], m[1]);
        EXPECT_NEAR(links[k].scale, scale, 1e-5);
        // The link's x axis, turned as the matrix turns it.
        const double a = links[k].turnDegrees * 3.14159265358979323846 / 180.0;
        EXPECT_NEAR(std::cos(a), m[0] / scale, 1e-5);
        EXPECT_NEAR(std::sin(a), m[1] / scale, 1e-5);
    }
    glPopMatrix();
}

// One dark speck in the middle of a white screen, measured on screen.
struct SpeckExtent {
    int width = 0;
    int height = 0;
};

SpeckExtent drawOneSpeck(const TextureTable& textures, const segments::FilmOverlayStyle& style) {
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    segments::FilmFrame frame;
    frame.darkSpecks[0].grey = 0.5; // the other three add no darkness
    frame.darkSpecks[0].size = 1.0; // smallest, unturned
    segments::drawFilmFrame(frame, textures, style);
    std::vector<std::uint8_t> rgb;
    platform::readPicture(rgb);
    SpeckExtent e;
    for (int x = 0; x < 800; ++x) {
        e.width += testing_gl::pixelAt(rgb, 800, x, 300).r < 200;
    }
    for (int y = 0; y < 600; ++y) {
        e.height += testing_gl::pixelAt(rgb, 800, 400, y).r < 200;
    }
    return e;
}

TEST_F(ClosingFrame, FilmSpecksComeCloserAndKeepTheirShape) {
    offscreenBuffer.makeWindowCurrent();
    gfx::loadPerspective(45.0, gfx::kAspect, 0.01, 174.0); // as every window pass
    glLoadIdentity();
    const SpeckExtent opening = drawOneSpeck(textures_, segments::kOpeningFilmStyle);
    const SpeckExtent closing = drawOneSpeck(textures_, segments::kClosingFilmStyle);
    ASSERT_GT(opening.width, 10);
    ASSERT_GT(opening.height, 10);
    // The eye at 1 instead of 1.6 makes everything 1.6 times as large; without
    // the squeeze the speck is also 1 / 0.7 times as tall.
    EXPECT_NEAR(static_cast<double>(closing.width) / opening.width, 1.6, 0.08);
    EXPECT_NEAR(static_cast<double>(closing.height) / opening.height, 1.6 / 0.7, 0.12);
    // Square on screen as on the film.
    EXPECT_NEAR(closing.width, closing.height, 3);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

} // namespace
