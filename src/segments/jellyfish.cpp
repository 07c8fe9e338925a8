#include "segments/jellyfish.h"

#include <GL/gl.h>

#include <cmath>

#include "gfx/drawing.h"

namespace segments {
using namespace gfx;

namespace {

// ---------------------------------------------------------------- tuning
constexpr double kBodyScale = 3.0;
constexpr double kTentaclePulseRate = 0.6; // the large body's pulse
constexpr double kLayerLag = 0.4;          // the second tentacle layer trails by this phase
constexpr double kOpacityFloor = 0.005;    // fainter tentacles are not drawn
constexpr double kTentacleTurn = 6.2831852 * 0.2;
constexpr double kStripWidth = 0.1;
constexpr double kStripStep = 0.1;
constexpr double kGlowScale = 10.0;
constexpr float kLargeAmbient[4] = {0.8f, 0.3f, 0.1f, 0.35f};
constexpr float kLargeDiffuse[4] = {1.0f, 1.0f, 0.7f, 0.35f};
constexpr TexGenPlanes kBodyPlanes{{1.5f, 0.0f, 0.0f, 0.5f}, {0.0f, 0.0f, 1.5f, 0.5f}};
constexpr double kSmallGlowScale = 3.0;
constexpr float kSmallGlowDrop = -0.3f;
// ----------------------------------------------------------------

// The pulse of a body: wider and flatter in turn.
void scaleByPulse(double angle) {
    glScalef(static_cast<float>(0.2 * std::sin(angle) + 0.7),
             static_cast<float>(0.1 * std::cos(angle) + 0.8),
             static_cast<float>(0.2 * std::sin(angle) + 0.7));
}

void callList(int list, Drawing drawing) {
    if (drawing == Drawing::Shown) {
        glCallList(static_cast<GLuint>(list));
    }
}

void drawQuadIf(Drawing drawing) {
    if (drawing == Drawing::Shown) {
        drawUnitQuad();
    }
}

void drawBodyTextured(const TextureTable& textures, int list, int texture, Drawing drawing) {
    useObjectLinearGeneration(kBodyPlanes);
    bindTexture(textures, texture);
    enableTextureGeneration(true);
    glEnable(GL_TEXTURE_2D);
    callList(list, drawing);
    enableTextureGeneration(false);
    glDisable(GL_TEXTURE_2D);
}

void drawLargeBody(const TextureTable& textures, double phi, const TentacledJellyfishLook& look,
                   Drawing drawing) {
    glPushMatrix();
    glRotatef(90.0f, 1.0f, 0.0f, 0.0f);
    scaleByPulse(kTentaclePulseRate * phi);
    if (look.litTwoPassBody) {
        setMaterialColours(kLargeAmbient, kLargeDiffuse);
        glEnable(GL_DEPTH_TEST);
        glDisable(GL_BLEND);
        glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
        callList(look.bodyList, drawing); // depth only
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glDepthFunc(GL_EQUAL);
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    } else {
        glDisable(GL_LIGHTING);
        glEnable(GL_DEPTH_TEST);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glColor4fv(look.bodyColour);
    }
    drawBodyTextured(textures, look.bodyList, look.bodyTexture, drawing);
    glDepthFunc(GL_LESS);
    glBlendFunc(GL_ONE, GL_ONE);
    glEnable(GL_BLEND);
    glPopMatrix();
}

void drawTentacles(double phi, double opacity, Drawing drawing) {
    glDisable(GL_LIGHTING);
    glRotatef(static_cast<float>(phi), 0.0f, 1.0f, 0.0f);
    glDepthMask(GL_FALSE);
    if (!(opacity > kOpacityFloor)) {
        return;
    }
    if (drawing == Drawing::StateOnly) {
        // The strips leave the colour of their last point behind.
        const double fade = opacity;
        glColor3f(0.0f, static_cast<float>(0.002 * fade), static_cast<float>(0.003 * fade));
        return;
    }
    static Router path; // storage reused by every tentacle of every frame
    for (int layer = 0; layer < 2; ++layer) {
        const double psi = phi - kLayerLag * layer;
        for (int i = 0; i < kTentaclesPerJellyfish; ++i) {
            const auto radii = tentacleRadii(path, i, psi, kJellyfishTentacles);
            const double beta = i * kTentacleTurn;
            glBegin(GL_QUAD_STRIP);
            for (int j = 0; j < kTentaclePoints; ++j) {
                const double fade = (kTentaclePoints - j) * opacity;
                glColor3f(0.0f, static_cast<float>(0.002 * fade), static_cast<float>(0.003 * fade));
                const double r = radii[j];
                const auto y = static_cast<float>(kStripStep * j);
                glVertex3f(static_cast<float>(r * std::cos(beta)), y,
                           static_cast<float>(r * std::sin(beta)));
                glVertex3f(static_cast<float>(r * std::cos(beta) + kStripWidth), y,
                           static_cast<float>(r * std::sin(beta + kStripWidth)));
            }
            glEnd();
        }
    }
}

void drawLargeGlow(const TextureTable& textures, double phi, double size, double glow,
                   int glowTexture, Drawing drawing) {
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    bindTexture(textures, glowTexture);
    glColor4f(static_cast<float>(0.4 * glow), static_cast<float>(0.3 * glow),
              static_cast<float>(0.3 * glow), 1.0f);
    for (int n = 1; n <= 2; ++n) {
        glPushMatrix();
        faceViewer();
        glScalef(static_cast<float>(kGlowScale * size), static_cast<float>(kGlowScale * size),
                 1.0f);
        glRotatef(static_cast<float>(std::sin(2.0 * n) * 3.5 * phi), 0.0f, 0.0f, 1.0f);
        drawQuadIf(drawing);
        glPopMatrix();
    }
    glEnable(GL_DEPTH_TEST);
}

} // namespace

double tentacleKeyRadius(int i, int j, double psi, const TentacleShape& shape) {
    const double width = j > 3 ? 200.0 - j * j : 0.0;
    const double offset = j > 3 ? shape.swingAmplitude * std::sin(i + 0.13 * psi) + shape.swingBase
                          : j == 3 ? 0.0
                                   : shape.rootOffset;
    return std::sin(1.25 * std::sin(0.123 * psi) + 1.7 * j + i - 0.5 * psi) *
               (width * shape.widthScale) +
           offset + shape.outward;
}

void buildTentaclePath(Router& path, int i, double psi, const TentacleShape& shape) {
    setUpClosedPath(path, 3, kTentacleKeys, [&](int j, int track) {
        return track == 0 ? makeKey(tentacleKeyRadius(i, j, psi, shape), 0.0, 0.0)
                          : makeKey(0.0, 0.0, 0.0);
    });
    path.keyCount = kTentacleKeyCount;
}

std::array<double, kTentaclePoints> tentacleRadii(Router& path, int i, double psi,
                                                  const TentacleShape& shape) {
    buildTentaclePath(path, i, psi, shape);
    std::array<double, kTentaclePoints> radii{};
    TVector r, unused2, unused3;
    const std::int32_t used = path.usedTrackCount;
    path.usedTrackCount = 1; // only the radius is read
    for (int j = 0; j < kTentaclePoints; ++j) {
        path.evaluate(0.2 * j + 2.0, r, unused2, unused3);
        radii[j] = r.x;
    }
    path.usedTrackCount = used;
    return radii;
}

void drawTentacledJellyfish(const TextureTable& textures, double t, const TVector& position,
                            double size, double opacity, double glow,
                            const TentacledJellyfishLook& look, bool withBody, Drawing drawing) {
    const double phi = jellyfishPhase(t, position);
    glDepthMask(GL_TRUE);
    glPushMatrix();
    glScalef(static_cast<float>(size), static_cast<float>(size), static_cast<float>(size));
    glEnable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    glTranslatef(static_cast<float>(position.x), static_cast<float>(position.y),
                 static_cast<float>(position.z));
    if (look.rollDegrees != 0.0) {
        glRotatef(static_cast<float>(look.rollDegrees), 0.0f, 0.0f, 1.0f);
    }
    glScalef(static_cast<float>(kBodyScale), static_cast<float>(kBodyScale),
             static_cast<float>(kBodyScale));
    glColor3f(1.0f, 1.0f, 1.0f);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_LIGHTING);
    if (withBody) {
        drawLargeBody(textures, phi, look, drawing);
    }
    drawTentacles(phi, opacity, drawing);
    drawLargeGlow(textures, phi, size, glow, look.glowTexture, drawing);
    glPopMatrix();
    glEnable(GL_TEXTURE_2D);
}

void drawSmallJellyfish(const TextureTable& textures, double t, const TVector& position,
                        double size, double strength, const SmallJellyfishLook& look,
                        Drawing drawing) {
    const double phi = look.phaseScale * jellyfishPhase(t, position);
    const float e = static_cast<float>(strength);
    glPushMatrix();
    glEnable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    glTranslatef(static_cast<float>(position.x), static_cast<float>(position.y),
                 static_cast<float>(position.z));
    glScalef(static_cast<float>(size), static_cast<float>(size), static_cast<float>(size));
    glScalef(static_cast<float>(kBodyScale), static_cast<float>(kBodyScale),
             static_cast<float>(kBodyScale));
    glColor3f(1.0f, 1.0f, 1.0f);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_LIGHTING);
    glRotatef(static_cast<float>(20.0 * std::sin(look.tiltRate * phi) + 90.0), 1.0f, 0.0f, 0.0f);
    scaleByPulse(look.pulseRate * phi);
    const float ambient[4] = {0.3f, 0.3f, 0.7f, 0.25f * e};
    const float diffuse[4] = {1.0f, 1.0f, 1.0f, 0.25f * e};
    setMaterialColoursNow(ambient, diffuse);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    drawBodyTextured(textures, look.bodyList, look.bodyTexture, drawing);
    glDisable(GL_LIGHTING);
    glDepthFunc(GL_LESS);
    glBlendFunc(GL_ONE, GL_ONE);
    glDepthMask(GL_FALSE);
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    bindTexture(textures, look.glowTexture);
    glColor4f(look.glowColour[0] * e, look.glowColour[1] * e, look.glowColour[2] * e, 1.0f);
    glPushMatrix();
    faceViewer();
    glScalef(static_cast<float>(kSmallGlowScale * size), static_cast<float>(kSmallGlowScale * size),
             1.0f);
    glTranslatef(0.0f, kSmallGlowDrop, 0.0f);
    drawQuadIf(drawing);
    glPopMatrix();
    glPopMatrix();
}

} // namespace segments
