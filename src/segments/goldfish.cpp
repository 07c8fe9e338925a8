#include "segments/goldfish.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <map>

#include "geometry/asc_mesh.h"
#include "gfx/drawing.h"
#include "gfx/random.h"
#include "platform/asset_path.h"
#include "segments/layer_state.h"

inter1 inter1Object;

namespace segments {
namespace {

using namespace gfx;

// ---------------------------------------------------------------- tuning
constexpr int kBodyTexture = 6090;
constexpr int kFinTexture = 6096;
constexpr int kEyeTexture = 6097;
constexpr int kFishCount = 3;
constexpr double kStroke = 1.2;    // distance every key adds
constexpr double kKick = 1.5;      // extra distance of a stroke's first key
constexpr double kKickDecay = 0.7; // each following key of the stroke kicks less
constexpr int kStrokeKeys = 7;     // keys 5 and 6 of a stroke glide
constexpr int kKickingKeys = 5;
constexpr float kAmbient[4] = {0.1272f, 0.1272f, 0.1272f, 1.0f};
constexpr float kDiffuse[4] = {0.415f, 0.415f, 0.515f, 1.0f};
constexpr TexGenPlanes kSkinPlanes{{0.0f, 0.0f, -0.44f, 0.5f}, {0.0f, 0.44f, 0.0f, 0.48f}};
constexpr double kEyeScale = 0.65;
constexpr int kEyeSprites = 4;
constexpr int kFinSteps = 40;
constexpr double kPi = 3.14159265358979;

// The camera flight, key by key: eye, centre, and (up x, up y, brightness).
// It follows the school from its left, so the fish, heading for +z, swim in
// from behind the view with dark eyes and fins, and swim on out of the view
// ahead. While they glow the camera rises above them and swings from behind
// their tails round towards their heads: every fish sees this flight a
// little later than the one before, and fish 1 and 2 keep nearly the same
// z, so seen level they would sit on one spot; from above, the deeper one
// shows higher and the three read as a school. The screen's up is the
// fish's back: the body is drawn turned over about x.
// While they glow the centre also drifts back along the school's heading
// (0.45 a key), so the fish cross the picture from right to left instead of
// hanging in its middle, and it sits a unit ahead of the school (towards the
// screen's top), so the fish swim low, under the moon, over the horizon.
// While the fish glow the camera stands back by up to this share of its
// distance (in step with the brightness key): at the keys' own distance each
// fish spanned a third of the width and the school hid the moon and the sea;
// now a fish is about a seventh of the width.
constexpr double kGlowPullBack = 1.0;
// While they glow the eye also sways round the centre about the vertical, by
// up to this angle and back every kWeaveKeys keys. Each fish sees the flight
// about 0.4 keys after the one before, so at any moment each is seen from its
// own side: headings differ by about 20 degrees and lengths by a third, and
// each fish weaves on its own; without the sway the three crossed the night
// as one rigid formation.
constexpr double kWeaveDegrees = 35.0;
constexpr double kWeaveKeys = 2.5;
// While the mosaic swirls over the moon (keys 4 to 9) the eye stands further
// back and the view is aimed above the school, so the fish swim small and low
// under the mosaic instead of sitting in front of it. Kept on as the school
// swims out, it held a fish cut by the left edge until 126 s. Per key: share
// of the extra stand-off and lift.
constexpr double kAsideBack = 0.7; // extra share of the eye's distance
constexpr double kAsideLift = 1.6; // units the centre moves towards the screen's top
constexpr double kAside[kFishCameraKeys] = {0, 0, 0, 0.3, 0.8, 1, 1, 1, 1, 0.8, 0.1, 0, 0, 0, 0,
                                            0, 0, 0, 0,   0,   0, 0, 0, 0, 0,   0,   0, 0, 0};
constexpr double kCameraKeys[kFishCameraKeys][3][3] = {
    {{-5.5, 0.5, 9.0}, {0.0, 0.0, 9.0}, {0.00, -1.0, 0.0}},
    {{-5.5, 0.5, 8.5}, {0.0, 0.0, 8.5}, {0.00, -1.0, 0.0}},
    {{-5.5, 0.5, 8.0}, {0.0, 0.0, 8.0}, {0.00, -1.0, 0.0}},
    {{-5.5, 0.6, 7.0}, {0.0, 0.0, 7.0}, {0.00, -1.0, 0.3}},
    {{-5.3, -1.97, 5.49}, {0.0, -0.67, 6.89}, {0.00, -1.0, 0.7}},
    {{-4.8, -4.1, 2.55}, {0.0, -1.0, 5.25}, {0.00, -1.0, 1.0}},
    {{-5.0, -3.9, 1.0}, {0.0, -1.0, 3.3}, {0.05, -1.0, 1.0}},
    {{-5.2, -3.7, 0.45}, {0.0, -1.0, 2.35}, {0.10, -1.0, 1.0}},
    {{-5.3, -3.9, 0.5}, {0.0, -1.0, 1.9}, {0.10, -1.0, 1.0}},
    {{-5.4, -4.3, 0.45}, {0.0, -1.0, 1.45}, {0.05, -1.0, 1.0}},
    {{-5.5, -4.7, 0.5}, {0.0, -1.0, 1.0}, {0.00, -1.0, 1.0}},
    {{-5.5, -5.1, 0.55}, {0.0, -1.0, 0.55}, {-0.05, -1.0, 1.0}},
    {{-5.5, -5.3, 0.6}, {0.0, -1.0, 0.1}, {-0.10, -1.0, 1.0}},
    {{-5.4, -5.2, 0.65}, {0.0, -1.0, -0.35}, {-0.10, -1.0, 1.0}},
    {{-5.3, -4.9, 0.6}, {0.0, -1.0, -0.8}, {-0.05, -1.0, 1.0}},
    {{-5.2, -4.7, -0.15}, {0.0, -1.0, -2.05}, {0.00, -1.0, 1.0}},
    {{-5.0, -4.6, -1.4}, {0.0, -1.1, -3.7}, {0.00, -1.0, 1.0}},
    {{-4.8, -4.28, -1.9}, {0.0, -0.88, -4.6}, {0.00, -1.0, 0.8}},
    {{-5.3, -1.95, -4.2}, {0.0, -0.55, -5.6}, {0.00, -1.0, 0.5}},
    {{-5.5, 0.28, -6.5}, {0.0, -0.22, -6.5}, {0.00, -1.0, 0.2}},
    {{-5.5, 0.5, -7.0}, {0.0, 0.0, -7.0}, {0.00, -1.0, 0.0}},
    {{-5.5, 0.5, -8.5}, {0.0, 0.0, -8.5}, {0.00, -1.0, 0.0}},
    {{-5.5, 0.5, -10.0}, {0.0, 0.0, -10.0}, {0.00, -1.0, 0.0}},
    {{-5.5, 0.5, -11.5}, {0.0, 0.0, -11.5}, {0.00, -1.0, 0.0}},
    {{-5.5, 0.5, -9.0}, {0.0, 0.0, -9.0}, {0.00, -1.0, 0.0}},
    {{-5.5, 0.5, -4.0}, {0.0, 0.0, -4.0}, {0.00, -1.0, 0.0}},
    {{-5.5, 0.5, 1.0}, {0.0, 0.0, 1.0}, {0.00, -1.0, 0.0}},
    {{-5.5, 0.5, 6.0}, {0.0, 0.0, 6.0}, {0.00, -1.0, 0.0}},
    {{-5.5, 0.5, 9.0}, {0.0, 0.0, 9.0}, {0.00, -1.0, 0.0}},
};
// ----------------------------------------------------------------

TVector fishPosition(int i, double tau) {
    switch (i) {
    case 0:
        return makeKey(0.0, 0.0, 0.0);
    case 1:
        return makeKey(0.7, -0.2, 0.1 * std::sin(0.3 * tau) + 1.85);
    default:
        return makeKey(0.2 * std::sin(0.121 * tau) - 0.5, 0.6 * std::sin(0.081 * tau) + 0.4,
                       0.12 * std::sin(0.173 * tau) + 1.8);
    }
}

double tailWag(int i, double swum) {
    static constexpr double kRate[kFishCount] = {1.69, 1.9, 1.89};
    static constexpr double kOffset[kFishCount] = {0.0, 2.0, 5.0};
    return 0.7 * std::sin(kRate[i] * swum + kOffset[i]);
}

void drawBody(inter1& self, const TextureTable& textures, const GoldfishPlan& plan) {
    glDisable(GL_BLEND);
    setMaterialColoursNow(kAmbient, kDiffuse);
    glEnable(GL_TEXTURE_2D);
    useObjectLinearGeneration(kSkinPlanes);
    enableTextureGeneration(true);
    bindTexture(textures, kBodyTexture);
    glTranslatef(static_cast<float>(plan.position.x), static_cast<float>(plan.position.y),
                 static_cast<float>(plan.position.z));
    glRotatef(180.0f, 1.0f, 0.0f, 0.0f);
    if (self.faceCount == 0) {
        return;
    }
    // One array draw of the shared vertices: thousands of single vertex
    // calls, or every corner lit on its own, would cost more than the drawing.
    wagGoldfish(self, plan.wag);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, self.wagged);
    glNormalPointer(GL_FLOAT, 0, self.vertexNormals);
    glDrawElements(GL_TRIANGLES, 3 * self.faceCount, GL_UNSIGNED_SHORT, self.cornerVertex);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
}

void drawEyeGlow(const TextureTable& textures, double tau, double b) {
    bindTexture(textures, kEyeTexture);
    glDisable(GL_DEPTH_TEST);
    for (int k = 0; k < kEyeSprites; ++k) {
        glPushMatrix();
        glTranslatef(0.1f, -0.02f, -0.14f);
        glColor4f(static_cast<float>(0.3 * b), static_cast<float>(0.3 * b), static_cast<float>(b),
                  1.0f);
        faceViewer();
        const auto scale = static_cast<float>(0.02 * k + 0.3);
        glScalef(scale, scale, scale);
        glRotatef(static_cast<float>(2.0 * k * tau + 10.0 * k), 0.0f, 0.0f, 1.0f);
        drawUnitQuad();
        glPopMatrix();
    }
}

// A cone from a small ring at the eye to a wide one 1.3 out, its far rim
// waving, the fin stripes scrolling along it.
void drawFin(const TextureTable& textures, double tau, double b) {
    glBlendFunc(GL_ONE, GL_ONE);
    bindTexture(textures, kFinTexture);
    glEnable(GL_DEPTH_TEST);
    glBegin(GL_QUAD_STRIP);
    for (int k = 0; k <= kFinSteps; ++k) {
        const double phi = k * 6.28318 * 0.025;
        const auto t = static_cast<float>(0.03 * tau + k / 41.0);
        setColor(0.31 * b, 0.31 * b, 0.71 * b);
        glTexCoord2f(0.0f, t);
        glVertex3f(0.0f, static_cast<float>(0.1 * std::sin(phi)),
                   static_cast<float>(0.1 * std::cos(phi)));
        glTexCoord2f(0.7f, t);
        glVertex3f(static_cast<float>(0.1 * std::sin(18.84954 * 0.025 * k + 0.1 * tau) + 1.3),
                   static_cast<float>(0.4 * std::sin(phi)),
                   static_cast<float>(0.4 * std::cos(phi)));
    }
    glEnd();
}

void drawEyesAndFins(const TextureTable& textures, double tau, double b) {
    for (int s = 0; s < 2; ++s) {
        glPushMatrix();
        glDisable(GL_LIGHTING);
        glBlendFunc(GL_ONE, GL_ONE);
        glEnable(GL_BLEND);
        glColor3f(1.0f, 0.0f, 0.0f);
        glDepthMask(GL_FALSE);
        enableTextureGeneration(false);
        glPushMatrix();
        glScalef(static_cast<float>(kEyeScale), static_cast<float>(kEyeScale),
                 static_cast<float>(kEyeScale));
        glTranslatef(s == 0 ? 0.13f : -0.27f, 0.18f, -1.1f);
        drawEyeGlow(textures, tau, b);
        if (s == 1) {
            glTranslatef(0.15f, 0.0f, -0.016f);
        }
        glRotatef(s == 0 ? 40.0f : 140.0f, 0.0f, 1.0f, 0.0f);
        drawFin(textures, tau, b);
        glPopMatrix();
        glDepthMask(GL_TRUE);
        glPopMatrix();
    }
}

} // namespace

void buildGoldfishPaths(inter1& self) {
    setUpClosedPath(self.fishCamera, 3, kFishCameraKeys, [](int k, int track) {
        const double* key = kCameraKeys[k][track];
        const double aside = kAside[k];
        if (track == 1) {
            return makeKey(key[0], key[1] - kAsideLift * aside, key[2]);
        }
        if (track != 0) {
            return makeKey(key[0], key[1], key[2]);
        }
        const double* centre = kCameraKeys[k][1];
        const double glow = kCameraKeys[k][2][2];
        const double back = 1.0 + kGlowPullBack * glow + kAsideBack * aside;
        const double sway =
            kWeaveDegrees * glow * std::sin(2.0 * kPi * k / kWeaveKeys) * kPi / 180.0;
        const double x = back * (key[0] - centre[0]), z = back * (key[2] - centre[2]);
        return makeKey(centre[0] + x * std::cos(sway) - z * std::sin(sway),
                       centre[1] + back * (key[1] - centre[1]),
                       centre[2] + x * std::sin(sway) + z * std::cos(sway));
    });
    // Seven keys to a stroke: five kicks, each weaker, then two glides.
    setUpClosedPath(self.fishPath, 3, kFishPathKeys, [](int, int) { return makeKey(0, 0, 0); });
    double swum = 0.0;
    double kick = kKick;
    for (int i = 0; i < kFishPathKeys; ++i) {
        const int k = i % kStrokeKeys;
        if (k == 0) {
            kick = kKick;
        }
        swum += kStroke;
        if (k < kKickingKeys) {
            swum += kick;
            kick *= kKickDecay;
        }
        self.fishPath.tracks[0][static_cast<std::size_t>(i)].x = swum;
    }
}

namespace {

void shareGoldfishCorners(inter1& self) {
    // A corner is its position and normal, bit for bit, so a shared vertex
    // draws exactly what each of its corners would.
    std::map<std::array<float, 6>, std::uint16_t> seen;
    self.vertexCount = 0;
    for (int k = 0; k < 3 * self.faceCount; ++k) {
        const float* p = &self.positions[k / 3][3 * (k % 3)];
        const float* n = &self.normals[k / 3][3 * (k % 3)];
        const std::array<float, 6> corner{p[0], p[1], p[2], n[0], n[1], n[2]};
        const auto [at, added] =
            seen.try_emplace(corner, static_cast<std::uint16_t>(self.vertexCount));
        if (added) {
            std::copy(p, p + 3, self.vertexPositions[self.vertexCount]);
            std::copy(n, n + 3, self.vertexNormals[self.vertexCount]);
            ++self.vertexCount;
        }
        self.cornerVertex[k] = at->second;
    }
}

} // namespace

void prepareGoldfishWag(inter1& self) {
    shareGoldfishCorners(self);
    for (int v = 0; v < self.vertexCount; ++v) {
        const double x = self.vertexPositions[v][0];
        const double z = self.vertexPositions[v][2];
        self.tailBend[v] = z > 0.0 ? static_cast<float>(std::sin(z * z * 1.570795) * 0.63) : 0.0f;
        self.bodySway[v] = static_cast<float>(std::sin(std::abs(x * x) * 1.570795) * 0.3);
    }
}

void wagGoldfish(inter1& self, double d) {
    const auto wag = static_cast<float>(d);
    for (int v = 0; v < self.vertexCount; ++v) {
        const float* p = self.vertexPositions[v];
        float* out = self.wagged[v];
        out[0] = p[0] + self.tailBend[v] * wag;
        out[1] = p[1] + self.bodySway[v] * wag;
        out[2] = p[2];
    }
}

GoldfishPlan planGoldfish(const inter1& self, int i, double tau) {
    GoldfishPlan plan;
    TVector f0, f1, f2;
    self.fishPath.evaluate(0.6 * tau + 1.0 + 2.5 * i, f0, f1, f2);
    f0.x *= 0.45;
    TVector u;
    self.fishCamera.evaluate(0.21 * f0.x + 1.0, plan.eye, plan.centre, u);
    plan.up = makeKey((i / 3.0 + 1.0) * u.x, u.y, 0.0);
    plan.brightness = u.z;
    plan.position = fishPosition(i, tau);
    plan.wag = tailWag(i, f0.x);
    plan.lightHeight = 0.3 * std::sin((i / 6.0 + 0.96) * tau + i);
    return plan;
}

} // namespace segments

void initLayerB(inter1& self) {
    using namespace segments;
    buildGoldfishPaths(self);
    self.faceCount = 0;
    const std::string path = assetPath("hlvd\\goldfish.asc");
    int count = 0;
    if (LoadAscTriangles(path.c_str(), count, self.positions, self.normals, kGoldfishMaxFaces) ==
            1 &&
        count > 0 && count <= kGoldfishMaxFaces) {
        self.faceCount = count;
    }
    prepareGoldfishWag(self);
}

void renderLayerB(inter1& self, std::int32_t /*cue*/, TextureTable& textures, double* time,
                  OffscreenBuffer& /*buffer*/) {
    using namespace segments;
    const double tau = *time;
    if (!layerDrawsAt(Layer::B, tau)) {
        return;
    }
    const LayerStateScope scope;
    glPushMatrix();
    gfx::loadPerspective(45.0, 1.3333333333333333, 0.01, 174.0);
    glClear(GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    for (int i = 0; i < kFishCount; ++i) {
        glPushMatrix();
        const GoldfishPlan plan = planGoldfish(self, i, tau);
        gluLookAt(plan.eye.x, plan.eye.y, plan.eye.z, plan.centre.x, plan.centre.y, plan.centre.z,
                  plan.up.x, plan.up.y, plan.up.z);
        glEnable(GL_LIGHTING);
        glEnable(GL_LIGHT0);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        const GLfloat light[4] = {0.2f, static_cast<float>(plan.lightHeight), -1.0f, 0.0f};
        glLightfv(GL_LIGHT0, GL_POSITION, light);
        const double b = plan.brightness - gfx::randomBelow(1000) * 0.0001;
        glPushMatrix();
        drawBody(self, textures, plan);
        drawEyesAndFins(textures, tau, b);
        glPopMatrix();
        glPopMatrix();
    }
    glPopMatrix();
}
