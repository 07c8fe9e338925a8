// The underwater picture in a gallery drawn for real in a headless GL context
// with the off-screen buffer and the asset pack's bitmaps: the terrain list,
// the mirror passes, the projection and the finishing frame.
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <GL/glu.h>

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
#include "segments/part6.h"

namespace {

constexpr int kTerrainList = 7101;

class UnderwaterFrame : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        std::filesystem::current_path(HLV_BUILD_DIR);
        // Another suite of this program may already hold the window.
        ready_ = platform::windowContextExists() ? platform::activateWindowContext()
                                                 : testing_gl::openTestWindow(800, 600);
        if (!ready_) {
            return;
        }
        if (offscreenBuffer.bufferContext == nullptr) {
            glViewport(0, 0, 800, 600);
            setUpOffscreenBuffer(offscreenBuffer);
        }
        // The copy targets the Segment draws into, in the sizes it copies.
        const struct {
            int first, count, size;
        } targets[] = {{7151, 2, 512}, {7180, 2, 64}, {7280, 2, 256}};
        for (const auto& target : targets) {
            const std::vector<unsigned char> grey(target.size * target.size * 3, 90);
            for (int k = 0; k < target.count; ++k) {
                GLuint name = 0;
                glGenTextures(1, &name);
                glBindTexture(GL_TEXTURE_2D, name);
                glTexImage2D(GL_TEXTURE_2D, 0, 3, target.size, target.size, 0, GL_RGB,
                             GL_UNSIGNED_BYTE, grey.data());
                glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
                textures_[target.first + k] = name;
            }
        }
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
        // Every test starts before the terrain was ever compiled.
        offscreenBuffer.makeWindowCurrent();
        glDeleteLists(kTerrainList, 1);
        scene_ = std::make_unique<part6>();
        initPart6(*scene_);
        startPart6(*scene_);
    }

    std::vector<unsigned char> mirrorTexture(int id) {
        std::vector<unsigned char> rgb(64 * 64 * 3);
        offscreenBuffer.makeWindowCurrent();
        glBindTexture(GL_TEXTURE_2D, textures_[id]);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
        return rgb;
    }

    bool render(double t) { return renderPart6(*scene_, 0, textures_, &t, offscreenBuffer); }

    static bool ready_;
    static TextureTable textures_;
    std::unique_ptr<part6> scene_;
};

bool UnderwaterFrame::ready_ = false;
TextureTable UnderwaterFrame::textures_{};

TEST_F(UnderwaterFrame, InitShapesTheFloorBelowTheOpeningCameraAndDrawsItsTables) {
    // The floor the camera starts over lies below it (+y is down here): the
    // relief drawn near the origin is further along +y than the eye at -0.1.
    const TVector& middle = scene_->grids.relief[67][67];
    EXPECT_GT(0.1 * middle.z, -0.1);
    EXPECT_TRUE(glIsList(7210));
    EXPECT_TRUE(glIsList(7211));
    EXPECT_EQ(scene_->sparks.size(), kPart6StartSparks);
    for (double phase : scene_->rayPhase) {
        ASSERT_GE(phase, 0.0);
        ASSERT_LT(phase, 1.0);
    }
    for (int i = 0; i < kPart6Bubbles; ++i) {
        ASSERT_LE(std::abs(scene_->bubbleY[i]), 4.0);
        ASSERT_GE(scene_->bubbleSpeed[i], 0.2);
    }
    EXPECT_FALSE(glIsList(kTerrainList)); // made by the first mirror pass
}

TEST_F(UnderwaterFrame, FirstFrameRunsBothMirrorsAndCompilesTheTerrainOnce) {
    const double y0 = scene_->bubbleY[3];
    EXPECT_FALSE(render(0.0));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_EQ(scene_->frameCounter, 1);
    EXPECT_EQ(scene_->listBuilt, 2);
    EXPECT_TRUE(glIsList(kTerrainList));
    // Two mirror passes, two rises (or a wrap to the bottom).
    const double rise = 0.4 * scene_->bubbleSpeed[3];
    const double y = scene_->bubbleY[3];
    EXPECT_TRUE(std::abs(y - (y0 - rise)) < 1e-9 || std::abs(y - (y0 - rise + 6.0)) < 1e-9);
    EXPECT_FALSE(render(0.2));
    EXPECT_EQ(scene_->listBuilt, 4);
}

TEST_F(UnderwaterFrame, SkippedMirrorsKeepTheirPicturesAndStopTheBubbles) {
    // Late in the picture both mirrors are skipped; a Segment that starts
    // there has never compiled its terrain.
    const auto before = mirrorTexture(7180);
    const double y0 = scene_->bubbleY[10];
    EXPECT_FALSE(render(140.0));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_EQ(scene_->listBuilt, 0);
    EXPECT_FALSE(glIsList(kTerrainList));
    EXPECT_EQ(scene_->bubbleY[10], y0);
    EXPECT_EQ(mirrorTexture(7180), before);
}

TEST_F(UnderwaterFrame, EveryFrameKeepsTheSameProjection) {
    auto windowProjection = [] {
        offscreenBuffer.makeWindowCurrent();
        GLdouble m[16];
        glGetDoublev(GL_PROJECTION_MATRIX, m);
        return std::vector<double>(m, m + 16);
    };
    ASSERT_FALSE(render(30.0));
    const auto first = windowProjection();
    for (double t : {30.2, 146.0, 146.2, 210.0}) {
        ASSERT_FALSE(render(t));
        const auto again = windowProjection();
        for (int k = 0; k < 16; ++k) {
            ASSERT_NEAR(again[k], first[k], 1e-9) << "t " << t << " element " << k;
        }
    }
    // The 45-degree window view: cot(22.5 deg) on the diagonal.
    EXPECT_NEAR(first[5], 1.0 / std::tan(22.5 * M_PI / 180.0), 1e-5);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(UnderwaterFrame, GalleryRunsTheSparksAndTheFaceShotWithoutErrors) {
    // Past the overlap: sparks fall and land, the face shows over the room.
    for (double t = 160.0; t < 230.0; t += 0.5) {
        ASSERT_FALSE(render(t));
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_GT(scene_->sparks.size(), kPart6StartSparks);
    // The matrix stacks are back where they started.
    GLint depth = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, 1);
}

TEST_F(UnderwaterFrame, GalleryCameraBacksAwayFromThePictureWithoutTouchingItsWall) {
    // The picture hangs just in front of a wall at world z 3.661; the first
    // shot starts 0.017 in front of it, so a curve that swings forward even a
    // little ends up behind the wall.
    TVector eye, centre, up;
    double lastZ = 0.0;
    for (double v = 1.0; v <= 6.0; v += 0.01) {
        scene_->galleryCamera.evaluate(v, eye, centre, up);
        ASSERT_GE(eye.z, 3.679 - 1e-9) << v;
        ASSERT_LT(centre.z, eye.z) << v; // still looking at the picture's side
        if (v >= 2.0) {
            ASSERT_GE(eye.z, lastZ - 1e-9) << v;
        }
        lastZ = eye.z;
    }
    // The underwater scene opens straight in front of the first mirror.
    scene_->sceneCamera.evaluate(planPart6Frame(0.0).sceneParameter, eye, centre, up);
    EXPECT_NEAR(eye.x, -0.5, 1e-9);
    EXPECT_NEAR(centre.x, 0.5, 1e-9);
    EXPECT_EQ(up.y, -1.0);
}

TEST_F(UnderwaterFrame, GalleryCameraCirclesTheBallOnSixKeys) {
    // Keys 9 to 14 lie on the circle of radius 3 round (0, 3.81, 4), one
    // eighth of a turn apart; the keys either side of them do not.
    const KeyTrack& eye = scene_->galleryCamera.tracks[0];
    ASSERT_EQ(scene_->galleryCamera.keyCount, 26);
    const auto onOrbit = [&eye](int key) {
        const TVector& e = eye[static_cast<std::size_t>(key - 1)];
        return std::abs(e.y - 3.81) < 1e-9 && std::abs(std::hypot(e.x, e.z - 4.0) - 3.0) < 1e-9;
    };
    double lastAngle = 0.0;
    for (int key = 9; key <= 14; ++key) {
        ASSERT_TRUE(onOrbit(key)) << key;
        const TVector& e = eye[static_cast<std::size_t>(key - 1)];
        const double angle = std::atan2(e.z - 4.0, e.x);
        const double eighths = angle / (M_PI / 4.0);
        EXPECT_NEAR(eighths, std::round(eighths), 1e-6) << key;
        if (key > 9) {
            EXPECT_NEAR(std::remainder(angle - lastAngle, 2.0 * M_PI), M_PI / 4.0, 1e-6) << key;
        }
        lastAngle = angle;
    }
    EXPECT_FALSE(onOrbit(8));
    EXPECT_FALSE(onOrbit(15));
    // The path still ends high above the room's corner.
    EXPECT_NEAR(eye[25].x, -6.0, 1e-12);
    EXPECT_NEAR(eye[24].y, 7.81, 1e-12);
}

TEST_F(UnderwaterFrame, SceneCameraRestsOnItsLastEyeForFiveKeys) {
    const Router& camera = scene_->sceneCamera;
    ASSERT_EQ(camera.keyCount, 36);
    const auto isRest = [](const TVector& v, double x, double y, double z) {
        return v.x == x && v.y == y && v.z == z;
    };
    int eyeRest = 0;
    while (eyeRest < 36 && isRest(camera.tracks[0][35 - eyeRest], 0.0, -11.0, -6.0)) {
        ++eyeRest;
    }
    EXPECT_EQ(eyeRest, 5);
    int centreRest = 0;
    while (centreRest < 36 && isRest(camera.tracks[1][35 - centreRest], 0.0, 4.5, 0.0)) {
        ++centreRest;
    }
    EXPECT_EQ(centreRest, 6);
}

TEST_F(UnderwaterFrame, FinishesAfterItsEndButCountsThatFrame) {
    EXPECT_FALSE(render(287.0));
    EXPECT_EQ(scene_->frameCounter, 1);
    EXPECT_TRUE(render(287.0001));
    EXPECT_EQ(scene_->frameCounter, 2);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

} // namespace
