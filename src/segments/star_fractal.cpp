#include "segments/star_fractal.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>

#include "gfx/drawing.h"
#include "segments/layer_state.h"

inter0 inter0Object;

namespace segments {
namespace {

using namespace gfx;

// ---------------------------------------------------------------- tuning
constexpr int kStarList = 101;
constexpr int kGlowTexture = 5103;
constexpr float kAmbient[4] = {0.0f, 0.01f, 0.3f, 1.0f};
constexpr float kDiffuse[4] = {0.017f, 0.01f, 0.043f, 1.0f};
constexpr double kEyeKeys[kStarCameraKeys][3] = {
    {5, 0, 3},  {5, 0, 3},   {5, 0, 3},   {1.5, 0, 3}, {0, 0, 0.85},
    {-2, 0, 2}, {-4, -1, 3}, {1, -1, 7},  {1, 0, 7},   {2, 0, 7},
    {0, -1, 5}, {-4, -3, 3}, {-3, -3, 2}, {-3, -3, 2}, {-3, -3, 2}};
constexpr double kCentreKeys[kStarCameraKeys][3] = {
    {5, 0, 0},   {5, 0, 0},    {2, 0, 0},   {1, 0, 0},   {-0.4, 0, 0},
    {-1, 0, 0},  {-1.5, 0, 0}, {1, -1, 0},  {1, 0, 0},   {1.5, 1, 0},
    {-3, -1, 0}, {-2, -3, 0},  {-3, -3, 0}, {-3, -3, 0}, {-3, -3, 0}};
constexpr double kChildDistance = 1.6;
constexpr float kChildScale = 0.5f;
// ----------------------------------------------------------------

void setUpLight() {
    const GLfloat position[4] = {0.0f, 0.0f, -1.0f, 0.0f};
    const GLfloat diffuse[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    const GLfloat ambient[4] = {1.0f, 1.0f, 1.0f, 0.0f};
    glEnable(GL_LIGHTING);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glLightfv(GL_LIGHT0, GL_POSITION, position);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
    glEnable(GL_LIGHT0);
}

void rotate(double degrees, double x, double y, double z) {
    glRotatef(static_cast<float>(degrees), static_cast<float>(x), static_cast<float>(y),
              static_cast<float>(z));
}

void drawGlow(const TextureTable& textures, double tau, double v) {
    glEnable(GL_TEXTURE_2D);
    glBlendFunc(GL_ONE, GL_ONE);
    glEnable(GL_BLEND);
    glDisable(GL_LIGHTING);
    glColor3f(1.5f, 0.3f, 0.3f);
    glPushMatrix();
    glDepthMask(GL_FALSE);
    bindTexture(textures, kGlowTexture);
    faceViewer();
    glScalef(1.2f, 1.2f, 1.2f);
    glScalef(0.9f, 0.7f, 0.7f);
    rotate(10.0 * v + 13.5 * tau, 0.0, 0.0, 1.0);
    drawUnitQuad();
    glPopMatrix();
    glDepthMask(GL_TRUE);
    glDisable(GL_BLEND);
    glEnable(GL_LIGHTING);
}

void drawStarNode(const TextureTable& textures, int k, double s, double v, double tau) {
    glPushMatrix();
    glPushMatrix();
    if (k == kStarGlowLevel) {
        rotate(5.0 * tau + 2.0 * v, 0.0, 1.0, v);
        glCallList(kStarList);
        glPopMatrix();
        drawGlow(textures, tau, v);
    } else {
        rotate(5.0 * tau + 2.0 * v, 0.0, -1.0, v);
        glCallList(kStarList);
        glPopMatrix();
    }
    // The deepest stars have no children: their calls would draw nothing.
    if (k < kStarDeepestLevel) {
        for (int c = 0; c < 4; ++c) {
            const StarChild child = starChild(c, v);
            glPushMatrix();
            rotate(s + 90.0, 0.0, 1.0, std::sin(v));
            glTranslatef(static_cast<float>(child.place[0]), static_cast<float>(child.place[1]),
                         static_cast<float>(child.place[2]));
            if (child.scaleFirst) {
                glScalef(kChildScale, kChildScale, kChildScale);
            }
            rotate(child.tiltDegrees, child.tiltAxis[0], child.tiltAxis[1], child.tiltAxis[2]);
            if (!child.scaleFirst) {
                glScalef(kChildScale, kChildScale, kChildScale);
            }
            drawStarNode(textures, k + 1, s, child.phaseFactor * v, tau);
            glPopMatrix();
        }
    }
    glPopMatrix();
}

} // namespace

StarChild starChild(int c, double v) {
    switch (c) {
    case 0:
        return {{kChildDistance, std::sin(1.3 * v), 0.0},
                {1.0, 0.0, 0.0},
                30.0 * std::sin(1.93 * v),
                false,
                2.0};
    case 1:
        return {
            {-kChildDistance, 0.0, 0.0}, {1.0, 1.0, 0.0}, 30.0 * std::sin(1.13 * v), false, 3.0};
    case 2:
        return {{0.0, kChildDistance, std::sin(1.83 * v)},
                {1.0, 1.0, 0.0},
                30.0 * std::sin(1.73 * v),
                true,
                2.3};
    default:
        return {{0.0, -kChildDistance, 0.0}, {1.0, 1.0, 0.0}, 30.0 * std::sin(1.33 * v), true, 4.3};
    }
}

void starCameraAt(const inter0& self, double tau, TVector& eye, TVector& centre) {
    TVector unused;
    self.starCamera.evaluate(0.15 * tau + 1.0, eye, centre, unused);
}

} // namespace segments

void initLayerD(inter0& self) {
    using namespace segments;
    setUpClosedPath(self.starCamera, 3, kStarCameraKeys, [](int k, int track) {
        const double* key = track == 0 ? kEyeKeys[k] : kCentreKeys[k];
        return track == 2 ? makeKey(0.0, 0.0, 0.0) : makeKey(key[0], key[1], key[2]);
    });
}

void renderLayerD(inter0& self, std::int32_t /*cue*/, TextureTable& textures, double* time,
                  OffscreenBuffer& /*buffer*/) {
    using namespace segments;
    const double tau = *time;
    if (!layerDrawsAt(Layer::D, tau)) {
        return;
    }
    // The stars are seen through the projection the Segment underneath set.
    const LayerStateScope scope;
    setMaterialColoursNow(kAmbient, kDiffuse);
    glPushMatrix();
    glLoadIdentity();
    glShadeModel(GL_FLAT);
    glDepthMask(GL_TRUE);
    glClear(GL_DEPTH_BUFFER_BIT);

    TVector eye, centre;
    starCameraAt(self, tau, eye, centre);
    gluLookAt(eye.x, eye.y, eye.z, centre.x, centre.y, centre.z, 0.0, 1.0, 0.0);
    setUpLight();
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    gfx::enableTextureGeneration(false); // the glows use the quad's own coordinates
    glEnable(GL_DEPTH_TEST);

    drawStarNode(textures, 0, 13.0 * tau, 0.025 * tau, tau);

    glShadeModel(GL_SMOOTH);
    glPopMatrix();
}
