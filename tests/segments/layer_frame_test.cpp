// The four Layers drawn for real in a headless GL context with their own
// pictures and meshes: each draws over the picture while its time runs and
// nothing from its end on, and hands the GL state back as it found it, so
// that the Segment underneath draws its next frame exactly as without it.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "geometry/asc_mesh.h"
#include "gfx/drawing.h"
#include "gfx/offscreen_buffer.h"
#include "gfx/random.h"
#include "gfx/texture_table.h"
#include "loading/texture_upload.h"
#include "platform/gl_window.h"
#include "platform/platform.h"
#include "segments/jellyfish.h"
#include "segments/layers.h"
#include "segments/part2.h"

namespace {

using namespace segments;

struct LayerCase {
    const char* name;
    double during; // a Layer time at which it shows plenty
    double end;
    std::function<void(double*)> render;
};

class LayerFrame : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ready_ = testing_gl::openFrameTestWindow();
        if (!ready_) {
            return;
        }
        const char* pictures[][2] = {
            {"8009", "hlvd\\caust.png"},      {"4003", "hlvd\\blob22d.png"},
            {"6090", "hlvd\\goldfish2.png"},  {"6096", "hlvd\\fishtent.png"},
            {"6097", "hlvd\\starburst2.png"}, {"6103", "hlvd\\512c2.png"},
            {"5103", "hlvd\\starburst2.png"}};
        for (const auto& picture : pictures) {
            uploadTexture(picture[1], std::atoi(picture[0]));
        }
        compileList(8003, "hlvd\\gelfish2.asc", 0.7);
        compileList(101, "hlvd\\star2.asc", 1.0);
        initLayerA(jellyPoints);
        initLayerB(inter1Object);
        initLayerC(inter2Object);
        initLayerD(inter0Object);
        while (glGetError() != GL_NO_ERROR) {
        }
    }

    static void compileList(int id, const char* file, double scale) {
        glNewList(static_cast<GLuint>(id), GL_COMPILE);
        LoadAscMesh(scale, (std::string(HLV_BUILD_DIR) + "/hlvd/" + (file + 5)).c_str());
        glEndList();
    }

    void SetUp() override {
        // Every frame starts from a fresh process's random sequence, so a
        // check does not depend on which tests drew numbers before it.
        gfx::restartRandomSequence();
        if (!ready_) {
            GTEST_SKIP() << "no GL context: " << platform::lastError();
        }
    }

    static std::vector<LayerCase> layers() {
        return {
            {"A", 20.0, 40.0,
             [](double* t) { renderLayerA(jellyPoints, 0, textureTable, t, offscreenBuffer); }},
            {"B", 60.0, 176.0,
             [](double* t) { renderLayerB(inter1Object, 0, textureTable, t, offscreenBuffer); }},
            {"C", 20.0, 45.0,
             [](double* t) { renderLayerC(inter2Object, 0, textureTable, t, offscreenBuffer); }},
            {"D", 30.0, 76.0,
             [](double* t) { renderLayerD(inter0Object, 0, textureTable, t, offscreenBuffer); }},
        };
    }

    static inline bool ready_ = false;
};

std::vector<std::uint8_t> picture() {
    std::vector<std::uint8_t> rgb;
    platform::readPicture(rgb);
    return rgb;
}

// A frame of some Segment: a clear colour, depth and a modelview and
// projection of its own.
void drawGreyBackground() {
    glClearColor(0.2f, 0.25f, 0.3f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

int changedPixels(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
    int count = 0;
    for (std::size_t i = 0; i + 2 < a.size(); i += 3) {
        count += a[i] != b[i] || a[i + 1] != b[i + 1] || a[i + 2] != b[i + 2];
    }
    return count;
}

TEST_F(LayerFrame, EachLayerDrawsWhileItsTimeRunsAndNothingFromItsEnd) {
    for (const LayerCase& layer : layers()) {
        SCOPED_TRACE(std::string("Layer ") + layer.name);
        drawGreyBackground();
        const auto background = picture();
        double t = layer.end;
        layer.render(&t);
        EXPECT_EQ(changedPixels(background, picture()), 0);
        t = layer.during;
        layer.render(&t);
        EXPECT_GT(changedPixels(background, picture()), 800 * 600 / 100);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }
}

// The projection a Segment leaves for the Layers drawn after it.
void leaveSegmentProjection(double fovDegrees) {
    gfx::loadPerspective(fovDegrees, gfx::kAspect, 0.01, 174.0);
    glLoadIdentity();
}

// Share of the picture painted in the stars' flat blue (the glows are red).
double starBlueShare(const std::vector<std::uint8_t>& rgb) {
    long blue = 0;
    for (std::size_t i = 0; i + 2 < rgb.size(); i += 3) {
        blue += rgb[i] < 30 && rgb[i + 1] < 30 && rgb[i + 2] > 60;
    }
    return static_cast<double>(blue) / (static_cast<double>(rgb.size()) / 3.0);
}

TEST_F(LayerFrame, StarCameraPassesTheFirstStarWithoutFillingThePicture) {
    // The flight heads straight for the first star and swings past 0.85 from
    // its centre around Layer time 20 (the change to the credits): the star
    // must sweep by as a star, not stand as one flat colour over the picture.
    glPushAttrib(GL_LIGHTING_BIT);
    const GLfloat fullAmbient[4] = {1.0f, 1.0f, 1.0f, 1.0f}; // as the deep sea leaves it
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, fullAmbient);
    leaveSegmentProjection(62.0); // the deep sea's, where the flight passes the star
    constexpr double kStep = 0.25;
    double largest = 0.0, atTime = 0.0, overHalf = 0.0;
    for (double tau = 14.0; tau <= 26.0; tau += kStep) {
        drawGreyBackground();
        double t = tau;
        renderLayerD(inter0Object, 0, textureTable, &t, offscreenBuffer);
        const double share = starBlueShare(picture());
        if (share > largest) {
            largest = share;
            atTime = tau;
        }
        overHalf += share > 0.5 ? kStep : 0.0;
    }
    glPopAttrib();
    EXPECT_LT(largest, 2.0 / 3.0) << "at Layer time " << atTime;
    EXPECT_LT(overHalf, 2.0); // about a quarter of a second
    // Seen from further out the first stars are still there, in their blue.
    drawGreyBackground();
    double t = 45.0;
    renderLayerD(inter0Object, 0, textureTable, &t, offscreenBuffer);
    EXPECT_GT(starBlueShare(picture()), 0.0);
}

TEST_F(LayerFrame, StarsAreSeenThroughTheProjectionTheSegmentLeft) {
    auto starsOver = [](double fovDegrees) {
        leaveSegmentProjection(fovDegrees);
        drawGreyBackground();
        double t = 30.0;
        renderLayerD(inter0Object, 0, textureTable, &t, offscreenBuffer);
        return picture();
    };
    const auto deepSea = starsOver(62.0);
    const auto credits = starsOver(45.0);
    EXPECT_GT(changedPixels(deepSea, credits), 800 * 600 / 100);
    EXPECT_EQ(changedPixels(deepSea, starsOver(62.0)), 0);
}

// The GL state a Segment could rely on from one frame to the next.
struct StateSnapshot {
    std::vector<GLint> integers;
    std::vector<GLfloat> floats;
    bool operator==(const StateSnapshot&) const = default;
};

StateSnapshot snapshot() {
    StateSnapshot s;
    for (GLenum cap :
         {GL_BLEND, GL_DEPTH_TEST, GL_LIGHTING, GL_LIGHT0, GL_TEXTURE_2D, GL_TEXTURE_GEN_S,
          GL_TEXTURE_GEN_T, GL_COLOR_MATERIAL, GL_CULL_FACE, GL_FOG}) {
        s.integers.push_back(glIsEnabled(cap));
    }
    for (GLenum name : {GL_MATRIX_MODE, GL_BLEND_SRC, GL_BLEND_DST, GL_DEPTH_WRITEMASK,
                        GL_DEPTH_FUNC, GL_TEXTURE_BINDING_2D, GL_SHADE_MODEL,
                        GL_MODELVIEW_STACK_DEPTH, GL_PROJECTION_STACK_DEPTH}) {
        GLint value = 0;
        glGetIntegerv(name, &value);
        s.integers.push_back(value);
    }
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    s.integers.insert(s.integers.end(), viewport, viewport + 4);
    GLint mode = 0;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &mode);
    s.integers.push_back(mode);
    for (GLenum name : {GL_MODELVIEW_MATRIX, GL_PROJECTION_MATRIX, GL_CURRENT_COLOR}) {
        GLfloat values[16] = {};
        glGetFloatv(name, values);
        s.floats.insert(s.floats.end(), values, values + 16);
    }
    GLfloat light[4];
    glGetLightfv(GL_LIGHT0, GL_POSITION, light);
    s.floats.insert(s.floats.end(), light, light + 4);
    glGetMaterialfv(GL_FRONT, GL_DIFFUSE, light);
    s.floats.insert(s.floats.end(), light, light + 4);
    return s;
}

TEST_F(LayerFrame, LayersHandTheStateBackAsTheyFoundIt) {
    // Something like a Segment's end of frame, far from GL's defaults.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(-1.0, 1.0, -0.75, 0.75, 1.0, 50.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(0.3f, -0.2f, -4.0f);
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glEnable(GL_TEXTURE_2D);
    glColor4f(0.4f, 0.5f, 0.6f, 0.7f);
    glViewport(0, 0, 512, 512);
    glMatrixMode(GL_TEXTURE); // a Segment may even leave another matrix selected
    for (const LayerCase& layer : layers()) {
        SCOPED_TRACE(std::string("Layer ") + layer.name);
        const StateSnapshot before = snapshot();
        double t = layer.during;
        layer.render(&t);
        EXPECT_TRUE(snapshot() == before);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }
    glMatrixMode(GL_MODELVIEW);
    glViewport(0, 0, 800, 600);
}

// The Layers' stars and jellyfish bodies take their colours this way.
TEST_F(LayerFrame, MaterialColoursReachTheMaterialOnlyThroughColourMaterial) {
    const float ambient[4] = {0.0f, 0.01f, 0.3f, 1.0f};
    const float diffuse[4] = {0.017f, 0.01f, 0.043f, 0.5f};
    auto material = [](GLenum which) {
        std::vector<float> value(4);
        glGetMaterialfv(GL_BACK, which, value.data());
        return value;
    };
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glDisable(GL_COLOR_MATERIAL);
    const auto ambientBefore = material(GL_AMBIENT);
    gfx::setMaterialColours(ambient, diffuse);
    EXPECT_EQ(material(GL_AMBIENT), ambientBefore);

    glColor4f(1.0f, 1.0f, 1.0f, 1.0f); // what colour material takes on first
    glEnable(GL_COLOR_MATERIAL);
    gfx::setMaterialColours(ambient, diffuse);
    glDisable(GL_COLOR_MATERIAL);
    EXPECT_EQ(material(GL_AMBIENT), std::vector<float>(ambient, ambient + 4));
    EXPECT_EQ(material(GL_DIFFUSE), std::vector<float>(diffuse, diffuse + 4));
    glPopAttrib();
}

// The small jellyfish of the deep sea (where colour material is off) and of
// the rising Layer both end up with their stated material.
TEST_F(LayerFrame, SmallJellyfishSetTheirMaterialWhateverTheCallerLeft) {
    const SmallJellyfishLook look{8003, 8009, 4003, 1.0, 0.3, 0.5, {0.5f, 0.2f, 0.1f}};
    const float strength = 0.8f;
    const float ambient[4] = {0.3f, 0.3f, 0.7f, 0.25f * strength};
    const float diffuse[4] = {1.0f, 1.0f, 1.0f, 0.25f * strength};
    const float grey[4] = {0.5f, 0.5f, 0.5f, 1.0f};
    auto material = [](GLenum which) {
        std::vector<float> value(4);
        glGetMaterialfv(GL_FRONT, which, value.data());
        return value;
    };
    for (bool tracking : {false, true}) {
        SCOPED_TRACE(tracking ? "colour material on" : "colour material off");
        glPushAttrib(GL_ALL_ATTRIB_BITS);
        glPushMatrix();
        leaveSegmentProjection(62.0);
        glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, grey);
        glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, grey);
        (tracking ? glEnable : glDisable)(GL_COLOR_MATERIAL);
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        drawSmallJellyfish(textureTable, 10.0, makeKey(0.0, 0.0, -5.0), 0.4, strength, look);
        EXPECT_EQ(material(GL_AMBIENT), std::vector<float>(ambient, ambient + 4));
        EXPECT_EQ(material(GL_DIFFUSE), std::vector<float>(diffuse, diffuse + 4));
        glPopMatrix();
        glPopAttrib();
    }
}

// A jellyfish out of view draws nothing but leaves the GL state its drawing
// leaves, so what follows it looks the same wherever the camera points.
TEST_F(LayerFrame, JellyfishOutOfViewLeaveTheStateTheirDrawingLeaves) {
    const SmallJellyfishLook small{8003, 8009, 4003, 1.0, 0.3, 0.5, {0.5f, 0.2f, 0.1f}};
    const TentacledJellyfishLook tentacled{8003, 8009, 5103, true, {1, 1, 1, 1}, 0.0};
    const std::vector<std::function<void(Drawing)>> jellyfish = {
        [&](Drawing d) {
            drawSmallJellyfish(textureTable, 10.0, makeKey(0, 0, -5), 0.4, 0.8, small, d);
        },
        [&](Drawing d) {
            drawTentacledJellyfish(textureTable, 10.0, makeKey(0, 0, -4), 1.0, 0.7, 0.6, tentacled,
                                   true, d);
        }};
    for (std::size_t k = 0; k < jellyfish.size(); ++k) {
        SCOPED_TRACE(k == 0 ? "small" : "tentacled");
        auto drawnWith = [&](Drawing d, std::vector<std::uint8_t>& rgb) {
            glPushAttrib(GL_ALL_ATTRIB_BITS);
            leaveSegmentProjection(62.0);
            drawGreyBackground();
            glEnable(GL_DEPTH_TEST); // as the water body leaves it
            glEnable(GL_LIGHTING);
            glEnable(GL_LIGHT0);
            glColor4f(0.3f, 0.6f, 0.9f, 1.0f);
            jellyfish[k](d);
            const StateSnapshot after = snapshot();
            rgb = picture();
            glPopAttrib();
            return after;
        };
        drawGreyBackground();
        const auto background = picture();
        std::vector<std::uint8_t> shown, skipped;
        EXPECT_TRUE(drawnWith(Drawing::Shown, shown) == drawnWith(Drawing::StateOnly, skipped));
        EXPECT_GT(changedPixels(background, shown), 100);
        EXPECT_EQ(changedPixels(background, skipped), 0);
    }
}

TEST_F(LayerFrame, TheLightTunnelDrawsTheSameFrameAfterAnyLayer) {
    auto segment = std::make_unique<part2>();
    initPart2(*segment);
    const std::vector<unsigned char> white(256 * 256 * 3, 255);
    auto frameOfTheTunnel = [&](const std::function<void()>& before) {
        for (int id : {1110, 1111}) { // the feedback starts from the same picture
            if (textureTable[id] == 0) {
                glGenTextures(1, &textureTable[id]);
            }
            glBindTexture(GL_TEXTURE_2D, textureTable[id]);
            glTexImage2D(GL_TEXTURE_2D, 0, 3, 256, 256, 0, GL_RGB, GL_UNSIGNED_BYTE, white.data());
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        }
        segment->frameCounter = 0;
        startPart2(*segment);
        double t = 30.0;
        renderPart2(*segment, 0, textureTable, &t, offscreenBuffer);
        before();
        t = 30.0;
        segment->frameCounter = 0;
        renderPart2(*segment, 0, textureTable, &t, offscreenBuffer);
        return picture();
    };
    const auto alone = frameOfTheTunnel([] {});
    for (const LayerCase& layer : layers()) {
        SCOPED_TRACE(std::string("Layer ") + layer.name);
        const auto after = frameOfTheTunnel([&] {
            double t = layer.during;
            layer.render(&t);
        });
        EXPECT_EQ(changedPixels(alone, after), 0);
    }
}

} // namespace
