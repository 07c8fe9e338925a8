#include "segments/loading_screen.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

#include "anim/vector_ops.h"
#include "gfx/drawing.h"

partloader loadingScreen;

namespace {

struct CameraKey {
    TVector eye, centre, up;
};

const std::array<CameraKey, 6> kCameraKeys{{
    {makeKey(10, 0, -35), makeKey(0, 0, 0), makeKey(0, 1, 0)},
    {makeKey(10, 3, -22), makeKey(-7, 0, 2), makeKey(0, 1, 0)},
    {makeKey(5, 4, -15), makeKey(7, 2, 2), makeKey(0, 1, 0)},
    {makeKey(5, 4, -33), makeKey(7, 2, -25), makeKey(0, 1, 0)},
    {makeKey(6, 0, -52), makeKey(6, 0, -25), makeKey(0, 1, 0)},
    {makeKey(16, 5, -22), makeKey(0, 0, -10), makeKey(0, 1, 0)},
}};

struct RibbonKey {
    TVector centre;
    double heading;
};

const std::array<RibbonKey, 10> kRibbonKeys{{
    {makeKey(0, 0, -20), 0},
    {makeKey(0, 0.5, -15), 0},
    {makeKey(-2, 1, -10), 0},
    {makeKey(0, 1.5, -5), 0},
    {makeKey(0, 1, 0), 0},
    {makeKey(5, 1, 3), 100},
    {makeKey(10, 0.3, 0), 195},
    {makeKey(6, 0, -4), 160},
    {makeKey(10, 0.3, -8), 180},
    {makeKey(6, 0.6, -12), 180},
}};

constexpr double kLyingAngle = 71.0;
// Keys 4..kRippleEnd ripple about upright with a period of four keys, which
// spreads one wave over 12.5 domes and lets it travel along the ribbon.
constexpr int kRippleEnd = 47;
constexpr double kRippleAmplitude = 7.0;
constexpr double kSettleAmplitude = 4.0;
// From the end of the ripple the domes tip back over to lying by this key,
// so that the closed path meets key 0 at rest. Loading never reads this part.
constexpr int kLyingAgain = 100;

constexpr float kLightPosition[4] = {0.0f, -0.3f, 1.0f, 0.0f};
constexpr float kLightDiffuse[4] = {1.0f, 1.0f, 1.0f, 1.0f};
constexpr float kLightAmbient[4] = {1.0f, 1.0f, 1.0f, 0.0f};
constexpr double kNear = 0.01;
constexpr double kFar = 174.0;
constexpr double kFieldOfView = 45.0;
constexpr double kRibbonHeight = -0.86;
constexpr int kRibbonQuads = 40;
constexpr int kViewCount = 4;

void setUpLight() {
    glLightfv(GL_LIGHT0, GL_POSITION, kLightPosition);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, kLightDiffuse);
    glLightfv(GL_LIGHT0, GL_AMBIENT, kLightAmbient);
}

// Sets the front-and-back ambient and diffuse material through colour tracking.
void setMaterial(float ambientR, float ambientG, float ambientB, float diffuseR, float diffuseG,
                 float diffuseB) {
    const float ambient[4] = {ambientR, ambientG, ambientB, 1.0f};
    const float diffuse[4] = {diffuseR, diffuseG, diffuseB, 1.0f};
    gfx::setMaterialColoursNow(ambient, diffuse);
}

void setProjection(double aspect) {
    gfx::loadPerspective(kFieldOfView, aspect, kNear, kFar);
}

// Horizontal unit vector across the ribbon at p, heading towards q.
TVector sideVector(const TVector& p, const TVector& q) {
    TVector direction;
    subtract(q, p, direction);
    normalise(direction);
    TVector side;
    cross(direction, makeKey(0, -1, 0), side);
    return normalise(side);
}

TVector ribbonCentre(const Router& ribbon, double u) {
    TVector centre, heading, unused;
    ribbon.evaluate(u, centre, heading, unused);
    return centre;
}

void emitRibbonVertex(const TVector& centre, const TVector& side, double sign) {
    glVertex3f(static_cast<float>(centre.x + sign * side.x), static_cast<float>(kRibbonHeight),
               static_cast<float>(centre.z + sign * side.z));
}

void emitRibbon(const Router& ribbon) {
    glBegin(GL_QUADS);
    for (int i = 0; i < kRibbonQuads; ++i) {
        const TVector a = ribbonCentre(ribbon, 0.2 * i + 1.0);
        const TVector b = ribbonCentre(ribbon, 0.2 * (i + 1) + 1.0);
        const TVector c = ribbonCentre(ribbon, 0.2 * (i + 2) + 1.0);
        const TVector sideA = sideVector(a, b);
        const TVector sideB = sideVector(b, c);
        emitRibbonVertex(a, sideA, -1.0);
        emitRibbonVertex(a, sideA, 1.0);
        emitRibbonVertex(b, sideB, 1.0);
        emitRibbonVertex(b, sideB, -1.0);
    }
    glEnd();
}

void drawFloor(const TextureTable& textures) {
    gfx::useSphereMapGeneration();
    gfx::enableTextureGeneration(true);
    glEnable(GL_TEXTURE_2D);
    gfx::bindTexture(textures, kLoadingEnvironmentTexture);
    glDisable(GL_LIGHTING);
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glColor3f(0.0f, 0.3f, 0.4f);
    glPushMatrix();
    glRotatef(90.0f, 1.0f, 0.0f, 0.0f);
    glCallList(kLoadingFloorList);
    glPopMatrix();
    glBlendFunc(GL_ONE, GL_ONE);
}

// A black cut-out first, then the colour added on top, so the ribbon shows in
// exactly (0.1, 0.1, 0.2) whatever the floor beneath it.
void drawRibbon(const Router& ribbon) {
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glColor3f(0.0f, 0.0f, 0.0f);
    emitRibbon(ribbon);
    glEnable(GL_BLEND);
    glColor3f(0.1f, 0.1f, 0.2f);
    emitRibbon(ribbon);
}

// The views' frustum in eye space, to skip domes that would not reach a
// single pixel (a software rasteriser spends most of a frame on them).
struct ViewVolume {
    double modelview[16];
    double tanX, tanY;

    explicit ViewVolume(double aspect) {
        glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
        tanY = std::tan(0.5 * kFieldOfView * std::numbers::pi / 180.0);
        tanX = aspect * tanY;
    }

    bool mayShowSphere(double x, double y, double z, double radius) const {
        const double* m = modelview;
        const double ex = m[0] * x + m[4] * y + m[8] * z + m[12];
        const double ey = m[1] * x + m[5] * y + m[9] * z + m[13];
        const double depth = -(m[2] * x + m[6] * y + m[10] * z + m[14]);
        return depth > kNear - radius && depth < kFar + radius &&
               std::abs(ex) <= tanX * depth + radius * std::sqrt(1.0 + tanX * tanX) &&
               std::abs(ey) <= tanY * depth + radius * std::sqrt(1.0 + tanY * tanY);
    }
};

// Every dome vertex lies in the cube from -1 to 1 (the mesh loader fits it).
constexpr double kDomeRadius = 1.7321;

void drawDome(const partloader& self, const ViewVolume& volume, int i, double v) {
    const float p = static_cast<float>(i % 2);
    setMaterial(0.4f + 0.2f * p, 0.4f + 0.2f * p, 0.6f, 0.05f + 0.4f * p, 0.05f + 0.4f * p, 0.4f);
    TVector position, heading, unused;
    self.ribbonPath.evaluate(0.2 * i + 1.0, position, heading, unused);
    TVector tilt, unusedTilt1, unusedTilt2;
    self.tiltPath.evaluate(tiltParameter(i, v), tilt, unusedTilt1, unusedTilt2);
    const double angle = tilt.x;
    const double sink = -0.006 * angle;
    if (!volume.mayShowSphere(position.x, position.y + sink, position.z, kDomeRadius)) {
        return;
    }
    glPushMatrix();
    glTranslatef(static_cast<float>(position.x), static_cast<float>(position.y),
                 static_cast<float>(position.z));
    glTranslatef(0.0f, static_cast<float>(sink), 0.0f);
    glRotatef(static_cast<float>(heading.x), 0.0f, 1.0f, 0.0f);
    glRotatef(static_cast<float>(angle), 1.0f, 0.0f, 0.0f);
    glCallList(kLoadingDomeList);
    glPopMatrix();
}

void drawScene(const partloader& self, const TextureTable& textures, bool withDomes, double v) {
    drawFloor(textures);
    drawRibbon(self.ribbonPath);
    glEnable(GL_LIGHTING);
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_TEXTURE_2D);
    if (!withDomes) {
        return;
    }
    const ViewVolume volume(self.aspect);
    for (int i = 0; i < kDomeCount; ++i) {
        drawDome(self, volume, i, v);
    }
}

void prepareWindow() {
    glEnable(GL_LIGHTING);
    setUpLight();
    glEnable(GL_LIGHT0);
    setMaterial(0.63f, 0.63f, 0.63f, 0.51f, 0.51f, 0.51f);
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glDisable(GL_FOG);
}

// The four views, each a little later on the camera path and the wave, into
// textures 1990..1993. View 3 has no domes and sits one unit lower.
void renderViews(const partloader& self, double t, TextureTable& textures,
                 const OffscreenBuffer& buffer) {
    buffer.makeBufferCurrent();
    glViewport(0, 0, kLoadingViewSize, kLoadingViewSize);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    setProjection(self.aspect);
    glPushMatrix();
    setUpLight();
    glEnable(GL_LIGHT0);
    glEnable(GL_LIGHTING);
    glEnable(GL_DEPTH_TEST);
    for (int k = 0; k < kViewCount; ++k) {
        glPushMatrix();
        TVector eye, centre, up;
        self.cameraPath.evaluate(0.08 * t + 1.0 + k / 130.0, eye, centre, up);
        if (k == 3) {
            glTranslatef(0.0f, -1.0f, 0.0f);
        }
        gluLookAt(eye.x, eye.y, eye.z, centre.x, centre.y, centre.z, up.x, up.y, up.z);
        glLightfv(GL_LIGHT0, GL_POSITION, kLightPosition);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        drawScene(self, textures, k < 3, t + 0.12 * k);
        gfx::copyPictureInto(textures, kLoadingViewTexture + k, kLoadingViewSize, kLoadingViewSize);
        glPopMatrix();
    }
    glPopMatrix();
    buffer.makeWindowCurrent();
}

// Each view a little larger than the one before, the first opaque and the
// rest added, then the overlay multiplied over all and the logo on top.
void composeViews(const partloader& self, double t, const TextureTable& textures) {
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    setProjection(self.aspect);
    setUpLight();
    glPushMatrix();
    glDisable(GL_LIGHTING);
    gfx::enableTextureGeneration(false);
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    gluLookAt(0.0, 0.0, 2.91, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);

    const float brightness = static_cast<float>(loadingBrightness(t));
    glScalef(static_cast<float>(self.aspect), 1.0f, 1.0f);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glColor4f(brightness, brightness, brightness, 0.45f);
    for (int j = 0; j < kViewCount; ++j) {
        if (j == 0) {
            glDisable(GL_BLEND);
        } else {
            glEnable(GL_BLEND);
        }
        gfx::bindTexture(textures, kLoadingViewTexture + j);
        glScalef(1.02f, 1.02f, 1.02f);
        gfx::drawUnitQuad();
    }

    glBlendFunc(GL_ZERO, GL_SRC_COLOR);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    gfx::bindTexture(textures, kLoadingOverlayTexture);
    gfx::drawUnitQuad();

    glBlendFunc(GL_ONE_MINUS_DST_COLOR, GL_ONE_MINUS_SRC_COLOR);
    glColor4f(0.85f * brightness, 0.85f * brightness, 0.85f * brightness, 1.0f);
    gfx::bindTexture(textures, kLoadingLogoTexture);
    glScalef(0.24f, 0.16f, 1.5f);
    glTranslatef(2.5f, -3.5f, 0.0f);
    gfx::drawUnitQuad();

    glBlendFunc(GL_ONE, GL_ONE);
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    glPopMatrix();
    glFlush();
}

} // namespace

double tiltKeyAngle(int k) {
    static constexpr double kRise[4] = {kLyingAngle, 70.0, 10.0, 0.0};
    if (k < 4) {
        return kRise[std::max(k, 0)];
    }
    if (k <= kRippleEnd) {
        // Settle just past upright first, then a steady sway.
        const double amplitude = k == 4 ? kSettleAmplitude : kRippleAmplitude;
        return -amplitude * std::sin(0.5 * std::numbers::pi * (k - 3));
    }
    if (k < kLyingAgain) {
        const double s = static_cast<double>(k - kRippleEnd) / (kLyingAgain - kRippleEnd);
        return kLyingAngle * s * s * (3.0 - 2.0 * s);
    }
    return kLyingAngle;
}

double tiltParameter(int dome, double v) {
    const double u = kTiltKeyCount - 0.32 * dome + 0.7 * v;
    return u < 1.0 ? 1.01 : u;
}

double loadingBrightness(double t) {
    if (!(t > 13.0)) {
        return 1.0;
    }
    return std::max(0.0, 1.0 - (t - 13.0) * 0.245);
}

void initLoadingScreenPaths(partloader& self) {
    setUpClosedPath(self.cameraPath, 3, static_cast<int>(kCameraKeys.size()), [](int k, int track) {
        const CameraKey& key = kCameraKeys[k];
        return track == 0 ? key.eye : track == 1 ? key.centre : key.up;
    });
    setUpClosedPath(self.ribbonPath, 3, static_cast<int>(kRibbonKeys.size()), [](int k, int track) {
        const RibbonKey& key = kRibbonKeys[k];
        return track == 0 ? key.centre : track == 1 ? makeKey(key.heading, 0, 0) : makeKey(0, 0, 0);
    });
    // All three tracks get every key, so no evaluation reads past a track.
    setUpClosedPath(self.tiltPath, 3, kTiltKeyCount, [](int k, int track) {
        return track == 0 ? makeKey(tiltKeyAngle(k), 0, 0) : makeKey(0, 0, 0);
    });
}

void initLoadingScreenView(partloader& self) {
    glClearDepth(1.0);
    self.aspect = gfx::kAspect;
}

void drawLoadingScreen(partloader& self, double* t, TextureTable& textures,
                       OffscreenBuffer& buffer) {
    prepareWindow();
    renderViews(self, *t, textures, buffer);
    composeViews(self, *t, textures);
}
