#include "segments/part8.h"

#include <algorithm>
#include <cmath>

#include <GL/gl.h>
#include <GL/glu.h>

#include "anim/timing.h"
#include "gfx/drawing.h"
#include "gfx/random.h"
#include "segments/jellyfish.h"

part8 part8Object;

namespace {

using namespace gfx;
using namespace segments;

// ---------------------------------------------------------------- tuning
constexpr int kMeshList = 9001;
constexpr int kMeshTextures[3] = {9116, 9117, 9118};
constexpr int kStemTexture = 9090;
constexpr int kGreetingTexture = 9101; // and the two after it
constexpr int kCreditTexture = 9130;   // one per stem
constexpr FeedbackPair kTrail{9110};
constexpr int kTrailSize = kOffscreenSize;
// The fresh picture at 0.028 plus the last result at 0.9589 (a little more in
// blue), both zoomed by 1.04 and the last one turned by 2 degrees: a trail
// that spirals outward and cools as it fades.
constexpr FeedbackMix kTrailMix{2.47, 0.028f, 0.9589f, {1.04f, 1.04f, 1.04f}, 2.0f, 0.0011f};
constexpr double kMeshAspect = 4.0 / 3.0; // the off-screen projection's own, in double
constexpr float kOffscreenClear = 0.05f;
constexpr float kMeshAmbient[4] = {0.4f, 0.4f, 0.4f, 1.0f};
constexpr float kMeshDiffuse[4] = {0.2f, 0.2f, 0.2f, 1.0f};
constexpr float kMeshPlaneScale = 0.3f;

constexpr int kStems = 5;
constexpr int kStemSegments = 29;
constexpr double kStemSpacing = 0.25;
constexpr int kCreditEchoes = 10;
// The card's quad before the chain's shrink: wide and flat, as the cards are.
constexpr double kCardShape[2] = {32.0, 8.0};

constexpr TentacledJellyfishLook kJellyfishLook{9003, 9009, 9007, false, {0.3f, 0.7f, 1.0f, 0.15f},
                                                -90.0};
struct DriftingJellyfish {
    double x0, xRate, y, z, size, glow;
    bool body;
};
constexpr DriftingJellyfish kJellyfish[3] = {{0.0, 0.0, 0.0, 0.0, 0.2, 1.3, true},
                                             {-17.0, 0.17, 3.0, 5.0, 0.2, 2.3, true},
                                             {-16.0, 0.11, 3.0, 5.0, 0.35, 2.3, false}};

constexpr double kTunnelEye = 27.0;
// ----------------------------------------------------------------

// ---- the paths

// Alphas of the three greeting pictures (x: the second, y: the first, z: the
// third). The first nine keys cross-fade the pictures; the last six show each
// picture once more on its own, for long enough to read every name. The three
// carry the same names on the same spots, so a cross-fade only turns the
// names' colour: the first comes once, then the other two follow each other.
constexpr double kGreetKeys[15][3] = {
    {0, 0, 0},   {0.5, 0, 0}, {1, 0, 0},     {1, 0.3, 0}, {0.5, 0.5, 0},
    {0, 1, 0.8}, {0, 1, 0},   {1, 0.5, 0.3}, {0, 0, 0},   {0, 1, 0},
    {0, 1, 0},   {1, 0, 0},   {1, 0, 0},     {0, 0, 1},   {0, 0, 1},
};

// Track 0: x tilt, y brightness. The rings are dark for the first seven keys,
// which the tunnel reaches last: the picture ends in black.
constexpr double kRingTilt[18] = {0, 0,   0,   0,   0,   0,   0,   0,   0,
                                  0, 140, 250, 230, 220, 160, 220, 200, 220};
constexpr double kRingBrightness[18] = {0,   0,   0,   0,   0,   0,    0,    0.7,  0.8,
                                        1.0, 0.9, 1.0, 0.8, 1.0, 0.75, 0.95, 0.85, 1.0};
// Track 1 from key 9 on: tilt axis x 0.3 -> 0.6, axis y 1 -> 0.3, spin factor.
constexpr double kRingSpin[9] = {1, 0.4, 1, 2, 0, 2, 2, 2, 2};
constexpr double kRingStretch[6] = {1, 3, 3, 0, -3, 2};

} // namespace

void buildGreetPath(Router& path) {
    setUpClosedPath(path, 3, 15, [](int k, int track) {
        return track == 0 ? makeKey(kGreetKeys[k][0], kGreetKeys[k][1], kGreetKeys[k][2])
                          : makeKey(0.0, 0.0, 0.0);
    });
}

void buildRingPath(Router& path) {
    setUpClosedPath(path, 3, 18, [](int k, int track) {
        if (track == 0) {
            return makeKey(kRingTilt[k], kRingBrightness[k], 0.0);
        }
        if (track == 1) {
            if (k < 9) {
                return makeKey(0.0, 1.0, 0.0);
            }
            const double f = (k - 9) / 8.0;
            return makeKey(0.3 + 0.3 * f, 1.0 - 0.7 * f, kRingSpin[k - 9]);
        }
        return makeKey(0.0, 0.0, k < 6 ? kRingStretch[k] : 0.0);
    });
}

// ---------------------------------------------------------------- planning

bool part8Finished(double t) {
    return t > timing::segmentEnd(8);
}

std::array<ChainLink, kChainMaxSegments> chainLinks(const SegmentChain& chain) {
    constexpr double kRadians = 3.14159265358979323846 / 180.0;
    std::array<ChainLink, kChainMaxSegments> links{};
    ChainLink at;
    const int count = std::min(chain.count, kChainMaxSegments);
    for (int k = 0; k < count; ++k) {
        // Shrink, turn, then step up along the turned and shrunk axis.
        at.scale *= chain.shrink;
        at.turnDegrees += chain.swayAmplitude * std::sin(k * chain.phaseRate + chain.phaseOffset);
        const double a = at.turnDegrees * kRadians;
        at.x -= at.scale * chain.step * std::sin(a);
        at.y += at.scale * chain.step * std::cos(a);
        links[k] = at;
    }
    return links;
}

ChainSway chainSway(int stem, double swing) {
    const double a = 6.0 * std::sin(stem + swing * 8.1088 * 0.029);
    const double b = 3.0 * std::sin(stem + swing * 9.412 * 0.0312);
    return {7.0 * a, 0.1 * b};
}

double stemSwing(int stem, double t) {
    return 20.0 * std::sin((3.0 * stem + 1.5 * t) * 0.01 + 0.5);
}

int stemGrowth(int stem, double t) {
    const int n = static_cast<int>(13.6 * t - 272.0 * std::sin(0.5)) - 18 * stem;
    return std::clamp(n, 0, kStemSegments);
}

SegmentChain stemBody(int stem, double t) {
    const ChainSway sway = chainSway(stem, stemSwing(stem, t));
    SegmentChain chain;
    chain.count = std::max(stemGrowth(stem, t) - 1, 0);
    chain.quadSize = 0.1;
    chain.swayAmplitude = sway.amplitude;
    chain.phaseRate = sway.phaseRate;
    chain.phaseOffset = 0.95 * stem;
    return chain;
}

double creditSwing(int stem, int echo, double t) {
    const double angle = (echo / 15.0 + 3.0 * stem + 1.5 * t) * 0.01 + 0.5;
    // Past the stem's turning point the card sways less far back.
    if ((3.0 * stem + 1.5 * t) * 0.01 > 1.0707963) {
        return 5.0 * std::sin(angle) + 15.0;
    }
    return 20.0 * std::sin(angle);
}

SegmentChain creditChain(int stem, int echo, double t) {
    const ChainSway sway = chainSway(stem, creditSwing(stem, echo, t));
    SegmentChain chain;
    chain.count = kStemSegments;
    chain.firstDrawn = kStemSegments - 1;
    chain.quadSize = creditCardSize(stem);
    chain.swayAmplitude = sway.amplitude;
    chain.phaseRate = sway.phaseRate;
    chain.phaseOffset = 0.95 * stem;
    return chain;
}

double creditGrey(int stem, int echo, double t) {
    const double w = 20.0 * std::sin((stem + 1.5 * t + echo / 15.0) * 0.015);
    return std::min(0.05 * w - 0.2, 1.0) * 0.1;
}

double creditCardSize(int stem) {
    return stem == 0 ? 0.15 : 0.1;
}

bool greetingsShow(double t) {
    return t > kGreetingsFrom;
}

GreetingLine planGreetingLine(const Router& greetPath, int line, double t) {
    const double g = t - kGreetingsFrom;
    TVector alphas, unused2, unused3;
    greetPath.evaluate(0.35 * line + 1.0 + 0.15 * g, alphas, unused2, unused3);
    const double theta = line / 7.0 - 0.013 * g;
    GreetingLine plan;
    plan.x = 0.6 * std::cos(theta);
    plan.y = 1.2 * std::sin(theta);
    plan.alpha = {alphas.y, alphas.x, alphas.z};
    return plan;
}

bool ringTunnelShows(double t) {
    return t > kTunnelFrom && t < 171.0;
}

TunnelRing planTunnelRing(const Router& ringPath, int ring, double t) {
    const double u = t - kTunnelFrom;
    const double p = 17.0 - (0.2 * std::sin(0.8 * u + 0.2 * ring) + 0.2 * u + 0.0625 * ring);
    TVector r0, r1, r2;
    ringPath.evaluate(p, r0, r1, r2);
    TunnelRing plan;
    plan.tilt = r0.x;
    plan.tiltDegrees = 0.45 * r0.x;
    plan.tiltAxisX = r1.x;
    plan.tiltAxisY = r1.y;
    plan.depth = 10.0 * r1.x;
    plan.spinFactor = r1.z;
    plan.spinDegrees = (2.0 * ring + 5.0 * u) * 0.23 * r1.z;
    plan.stretch = r2.z;
    plan.brightness = r0.y;
    plan.red = 2.0 * r0.y * r1.x;
    return plan;
}

std::array<double, 3> ringPointColour(const TunnelRing& ring, int j, double t) {
    const double y = ring.brightness;
    return {
        (0.9 * std::sin(0.165 * t + ring.spinFactor + 43.982297149 * j / 10.5) + 1.0) * ring.red,
        (0.3 * std::sin(0.3 * ring.tilt - 0.137 * t + 12.566370614 * j / 10.5) + 1.0) * y, 1.2 * y};
}

// ---------------------------------------------------------------- drawing

namespace {

void useMeshLight(double t) {
    const GLfloat position[4] = {static_cast<float>(std::sin(0.3 * t)), 0.0f, 1.0f, 0.0f};
    const GLfloat diffuse[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    const GLfloat ambient[4] = {1.0f, 1.0f, 1.0f, 0.0f};
    glLightfv(GL_LIGHT0, GL_POSITION, position);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
    setMaterialColoursNow(kMeshAmbient, kMeshDiffuse);
    glEnable(GL_LIGHT0);
    glEnable(GL_DEPTH_TEST);
}

void drawMesh(const TextureTable& textures, int texture) {
    bindTexture(textures, texture);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glEnable(GL_LIGHTING);
    glEnable(GL_TEXTURE_2D);
    glCallList(kMeshList);
}

// The three twisted meshes, each spinning about its own axis.
void drawMeshes(const TextureTable& textures, double t) {
    const auto angle = static_cast<float>(10.0 * t);
    glPushMatrix();
    glRotatef(angle, 0.0f, 1.0f, 0.0f);
    glColor3f(1.0f, 0.0f, 0.0f);
    glScalef(0.2f, 0.2f, 0.2f);
    drawMesh(textures, kMeshTextures[0]);
    glPopMatrix();

    glPushMatrix();
    glRotatef(angle, 1.0f, 1.0f, 0.0f);
    glScalef(0.12f, 0.13f, 0.15f);
    glTranslatef(0.0f, 4.0f, 0.0f);
    drawMesh(textures, kMeshTextures[1]);
    glPopMatrix();

    glPushMatrix();
    glRotatef(2.0f * angle, 1.0f, 0.0f, 1.0f);
    glScalef(0.17f, 0.17f, 0.17f);
    glTranslatef(4.0f, 0.0f, 0.0f);
    drawMesh(textures, kMeshTextures[2]);
    glPopMatrix();
}

void drawTrailOffscreen(part8& self, const TextureTable& textures, double t,
                        const OffscreenBuffer& buffer) {
    const int n = self.frameCounter;
    buffer.makeBufferCurrent();
    glViewport(0, 0, kTrailSize, kTrailSize);
    glClearColor(kOffscreenClear, kOffscreenClear, kOffscreenClear, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    loadPerspective(45.0, kMeshAspect, 0.01, 174.0);
    glPushMatrix();
    useObjectLinearGeneration(kMeshPlaneScale);
    enableTextureGeneration(true);
    gluLookAt(2.4 * std::sin(0.079 * t), 0.0, 2.4 * std::cos(0.079 * t), 0.0,
              0.5 * std::sin(0.039 * t), 0.0, 0.0, -1.0, 0.0);
    useMeshLight(t);
    drawMeshes(textures, t);
    enableTextureGeneration(false);
    glDisable(GL_TEXTURE_2D);
    glPopMatrix();

    feedPictureBack(kTrail, n, textures, self.aspect, kTrailMix, kTrailSize);
}

void drawTrailBand(const part8& self, const TextureTable& textures) {
    glPushMatrix();
    lookAtFullScreenLayer(2.3, self.aspect);
    glScalef(1.0f, 0.6f, 1.0f);
    glDisable(GL_LIGHTING);
    glEnable(GL_TEXTURE_2D);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glEnable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    bindTexture(textures, kTrail.current(self.frameCounter));
    glScalef(1.04f, 1.04f, 1.04f);
    drawUnitQuad();
    glPopMatrix();
}

// The drawn links of a chain as one batch of quads of half-size
// (halfWidth, halfHeight) x the chain's quad size, each turned and shrunk
// with its link: the stems' dashes, or a card at the tip.
void drawSegmentChain(const SegmentChain& chain, double halfWidth, double halfHeight) {
    constexpr double kRadians = 3.14159265358979323846 / 180.0;
    const auto links = chainLinks(chain);
    const int count = std::min(chain.count, kChainMaxSegments);
    glBegin(GL_QUADS);
    for (int k = chain.firstDrawn; k < count; ++k) {
        const ChainLink& link = links[k];
        const double a = link.turnDegrees * kRadians;
        const double size = link.scale * chain.quadSize;
        // The quad's own x and y axes after the turn and shrink.
        const double ux = size * halfWidth * std::cos(a), uy = size * halfWidth * std::sin(a);
        const double vx = -size * halfHeight * std::sin(a), vy = size * halfHeight * std::cos(a);
        const double corners[4][4] = {{0, 0, -1, -1}, {1, 0, 1, -1}, {1, 1, 1, 1}, {0, 1, -1, 1}};
        for (const auto& c : corners) {
            glTexCoord2f(static_cast<float>(c[0]), static_cast<float>(c[1]));
            glVertex3f(static_cast<float>(link.x + c[2] * ux + c[3] * vx),
                       static_cast<float>(link.y + c[2] * uy + c[3] * vy), 0.0f);
        }
    }
    glEnd();
}

void drawStem(const TextureTable& textures, int stem, double t) {
    bindTexture(textures, kStemTexture);
    glBlendFunc(GL_ONE, GL_ONE);
    glColor3f(1.0f, 1.0f, 1.0f);
    glPushMatrix();
    glTranslatef(static_cast<float>(kStemSpacing * stem), 0.0f, 0.0f);
    drawSegmentChain(stemBody(stem, t), 1.0, 1.0);
    bindTexture(textures, kCreditTexture + stem);
    for (int echo = 0; echo < kCreditEchoes; ++echo) {
        const double grey = creditGrey(stem, echo, t);
        // A dark echo adds nothing; its chain would only cost matrix work.
        if (grey <= 0.0) {
            continue;
        }
        setColor(grey, grey, grey);
        drawSegmentChain(creditChain(stem, echo, t), kCardShape[0], kCardShape[1]);
    }
    glPopMatrix();
}

void drawJellyfish(const TextureTable& textures, double t) {
    for (const DriftingJellyfish& j : kJellyfish) {
        const TVector position = makeKey(j.xRate * t + j.x0, j.y, j.z);
        drawTentacledJellyfish(textures, t, position, j.size, 1.0, j.glow, kJellyfishLook, j.body);
    }
}

// Stems and jellyfish share one camera panning to the right.
void drawStemsAndJellyfish(part8& self, const TextureTable& textures, double t) {
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glPushMatrix();
    glDisable(GL_LIGHTING);
    enableTextureGeneration(false);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_FOG);
    glEnable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
    const double x = 0.03 * t - 1.0;
    gluLookAt(x, 0.7, 3.9, x, 0.7, 0.0, 0.0, 1.0, 0.0);
    applyFrameJump(self.filmMarks);
    for (int stem = 0; stem < kStems; ++stem) {
        drawStem(textures, stem, t);
    }
    drawJellyfish(textures, t);
    glPopMatrix();
}

void drawGreetings(const part8& self, const TextureTable& textures, double t) {
    glPushMatrix();
    lookAtFullScreenLayer(2.0, self.aspect);
    glScalef(1.0f, 0.6f, 1.0f);
    glDisable(GL_LIGHTING);
    glEnable(GL_TEXTURE_2D);
    glColor3f(1.0f, 1.0f, 1.0f);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glEnable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    for (int line = 0; line < kGreetingLines; ++line) {
        const GreetingLine plan = planGreetingLine(self.greetPath, line, t);
        const TexRect rect{0.0f, line / 8.0f, 1.0f, (line + 1) / 8.0f};
        for (int k = 0; k < kGreetingPictures; ++k) {
            const double alpha = plan.alpha[k];
            glColor4f(1.0f, 1.0f, 1.0f, static_cast<float>(alpha));
            if (!(alpha > 0.01)) {
                continue;
            }
            glPushMatrix();
            bindTexture(textures, kGreetingTexture + k);
            glTranslatef(static_cast<float>(plan.x), static_cast<float>(plan.y), 0.0f);
            if (k <= 1) {
                glScalef(0.2f, 0.1f, 0.2f);
            } else {
                glScalef(0.26f, 0.13f, 0.2f);
            }
            drawQuad(1.0f, 1.0f, rect);
            glPopMatrix();
        }
    }
    glPopMatrix();
}

void drawRing(const TunnelRing& ring, int i, double t) {
    glPushMatrix();
    glRotatef(static_cast<float>(ring.tiltDegrees), static_cast<float>(ring.tiltAxisX),
              static_cast<float>(ring.tiltAxisY), 0.0f);
    glTranslatef(0.0f, 0.0f, static_cast<float>(ring.depth));
    glRotatef(static_cast<float>(ring.spinDegrees), 0.0f, 0.0f, 1.0f);
    glScalef(static_cast<float>(1.0 - 0.1 * ring.stretch),
             static_cast<float>(1.0 + 0.1 * ring.stretch), 1.0f);
    glBegin(GL_QUAD_STRIP);
    for (int j = 0; j < kRingSteps; ++j) {
        const double a = 6.283185307 * 0.05 * j;
        const auto colour = ringPointColour(ring, j, t);
        setColor(colour[0], colour[1], colour[2]);
        glVertex3f(static_cast<float>(i * std::sin(a)), static_cast<float>(i * std::cos(a)), 0.0f);
        glVertex3f(static_cast<float>((i + 1) * std::sin(a)),
                   static_cast<float>((i + 1) * std::cos(a)), 0.0f);
    }
    glEnd();
    glPopMatrix();
}

// The rings multiply the picture beneath them.
void drawRingTunnel(const part8& self, double t) {
    const double u = t - kTunnelFrom;
    glPushMatrix();
    gluLookAt(0.0, 0.0, kTunnelEye, 0.0, 0.0, 0.0, 0.0, -1.0, 0.0);
    glRotatef(static_cast<float>(5.0 * u), 0.0f, 0.0f, 1.0f);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ZERO, GL_SRC_COLOR);
    glColor4f(1.0f, 1.0f, 1.0f, 0.1f);
    for (int i = 0; i < kTunnelRings; ++i) {
        const TunnelRing ring = planTunnelRing(self.ringPath, i, t);
        setColor(ring.red, ring.brightness, 1.2 * ring.brightness);
        drawRing(ring, i, t);
    }
    glPopMatrix();
}

} // namespace

void initPart8(part8& self) {
    buildRingPath(self.ringPath);
    buildGreetPath(self.greetPath);
    for (double& phase : self.stemPhase) {
        phase = randomBelow(1000) * 0.001;
    }
}

void startPart8(part8& self) {
    glClearDepth(1.0);
    setUpPerspective(62.0, &self.aspect);
    glClearDepth(1.0);
}

bool renderPart8(part8& self, std::int32_t /*cue*/, TextureTable& textures, double* time,
                 OffscreenBuffer& buffer) {
    const double t = *time;
    if (part8Finished(t)) {
        return true;
    }
    ++self.frameCounter;
    glEnable(GL_LIGHTING);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glDisable(GL_FOG);

    drawTrailOffscreen(self, textures, t, buffer);

    beginWindowPass(buffer, 0.0f, 0.0f, 0.0f, self.aspect);
    drawTrailBand(self, textures);
    drawFilmOverlay(self.filmMarks, textures, kClosingFilmStyle);
    drawStemsAndJellyfish(self, textures, t);
    if (greetingsShow(t)) {
        drawGreetings(self, textures, t);
    }
    if (ringTunnelShows(t)) {
        drawRingTunnel(self, t);
    }
    glFlush();
    return false;
}
