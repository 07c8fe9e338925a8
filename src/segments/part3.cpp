#include "segments/part3.h"

#include <algorithm>
#include <cmath>

#include <GL/gl.h>
#include <GL/glu.h>

#include "anim/timing.h"
#include "gfx/drawing.h"
#include "gfx/random.h"
#include "gfx/sprite_batch.h"

part3 part3Object;

namespace {

using namespace gfx;

constexpr int kSkyList = 2001;
constexpr int kWingList = 2004;
constexpr int kWingTexture = 3080;
constexpr int kGlowTexture = 3081;
constexpr int kSkyTexture = 3082;
constexpr int kEyeTexture = 3083;
constexpr int kRingTexture = 3084;
constexpr int kSwarmTexture = 3085;
constexpr int kPictureTexture = 3110;
constexpr int kPictureSize = 512;
// Half-size of a ring blob's sprite, facing the viewer.
constexpr double kRingBlobSize = 1.6;

// The swarm phase runs below this time, the surface phase above the other.
constexpr double kButterfliesUntil = 95.0;
constexpr double kSurfaceFrom = 85.0;
// From here the swarm sprites turn warm.
constexpr double kWarmSwarmFrom = 50.0;

constexpr double kPi = 3.14159; // the ripple's own rounding
constexpr double kExactPi = 3.14159265358979;

constexpr int kEffectKeyCount = 49;
constexpr int kBlobKeyCount = 17;
constexpr int kButterflyKeyCount = 7;
// The queue key lines the butterflies up along z, this far back.
constexpr double kQueueDepth = 16.0;

// The effect path's scripted keys (O1, O2, O3 per row); later keys rest.
constexpr double kEffectKeys[35][9] = {
    {0, 0, 0, 0.3, 0, 0, 0, -1, 0},       {0, 0, 0, 0.3, 0, 0, 0, -1, 0},
    {0, 0, 0, 0.2, 0, 0, 0, -1, 0},       {0, 0, 0, 0.1, 0, 0, 0, -1, 0},
    {0, 0, 0, 0, 0, 0, 0, -1, 0},         {0, 0, 0, 0, 0, 0.5, 0, -1, 0},
    {0, 0, 0, 0, 0, 1, 0, -1, 0},         {0, 0, 0, 0, 0, 1, 0, -1, 0},
    {1, 0, 0, 0, 0, 1, 0, -1, 0},         {1, 1, 0.2, 0, 0, 0.8, 0, -1, 0},
    {1, 2, 0.6, 0, 0, 0.6, 0, -1, 0},     {1, 3, 1, 0, 0, 0.5, 0, -1, 0},
    {1, 4, 1, 0, 5, 0, 0, -1, 0},         {1, 4, 1, 0, 10, 0, 0.5, -1, 0},
    {1, 4, 1, 0, 20, 0, 1, -1, 0},        {1, 4, 1, 0, 30, 0, 1, -1, 0},
    {1, 4, 1, 0, 50, 0, 1, -1, 0},        {1, 5, 1, 0.3, 80, 0, 0.5, -1, 0},
    {1, 5, 1, 0.3, 90, 0, 0, -1, 0},      {1, 4, 0.5, 0.3, 100, 0, 0, -1, 0},
    {1, 4, 0.2, 0.4, 110, 0.7, 0, -1, 0}, {1, 3, 0, 0.4, 120, 1, 0, -1, 0},
    {0, 0, 0, 0.2, 130, 1, 0, -1, 0},     {0, 0, 0, 0, 0, 1, 0, -1, 0},
    {0, 0, 0, 0, 0, 1, 0.5, -1, 0},       {0, 0, 0, 0, 0, 1, 0, -1, 0},
    {0, 0, 0, 0.3, 0, 0.7, 0, -1, 0},     {1, 0, 0, 0.5, 0, 0.4, 0, -1, 0},
    {1, 6, 1, 0.3, 0, 0.2, 0, -1, 0},     {1, 6, 0.5, 0, 0, 0, 0.5, -1, 0},
    {1, 0, 0, 0.3, 0, 0, 0, -1, 0},       {0, 0, 0, 0.5, 0, 0, 0, -1, 0},
    {0, 0, 0, 0.6, 0, 0.1, 0, -1, 0},     {0, 0, 0, 0.3, 0, 0, 0, -1, 0},
    {0, 0, 0, 0.1, 0, 0, 0, -1, 0},
};
constexpr double kRestingKey[9] = {0, 0, 0, 0, 0, 0, 0, -1, 0};

double random1000() {
    return randomBelow(1000);
}

void buildEffectPath(Router& path) {
    setUpClosedPath(path, 3, kEffectKeyCount, [](int k, int track) {
        const double* row = k < 35 ? kEffectKeys[k] : kRestingKey;
        return makeKey(row[3 * track], row[3 * track + 1], row[3 * track + 2]);
    });
}

// Sprite n of the swarm sits at row r, column c of an 8 x 8 block and cycles
// through four formations: the block, a wide ring, a burst towards the
// viewer and a looping figure. Output 2's x (0..1) tints and turns it.
void buildBlobPath(Router& path, int n, int r, int c) {
    TVector place[kBlobKeyCount];
    TVector tint[kBlobKeyCount];
    for (int k = 0; k < kBlobKeyCount; ++k) {
        const double a = random1000(), b = random1000(), z = random1000();
        switch (k % 4) {
        case 0: // the block, about 25 units wide
            place[k] =
                makeKey(12.0 * (0.3 * c + 0.15) + 0.1 * c * (0.01 * a - 5.0),
                        12.0 * (0.3 * r + 0.15) + 0.1 * r * (0.01 * b - 5.0), 0.01 * z - 5.0);
            break;
        case 1: { // a ring of radius 8 to 16
            const double radius = 0.008 * a + 8.0;
            place[k] =
                makeKey(radius * std::cos(0.3 * n), radius * std::sin(0.3 * n), 0.01 * z - 5.0);
            break;
        }
        case 2: // a burst close to the viewer
            place[k] = makeKey((0.01 * a - 5.0) * 1.6, (0.01 * b - 5.0) * 1.2, 0.005 * z + 20.0);
            break;
        default: // a looping figure
            place[k] = makeKey(14.0 * std::cos(0.2 * n) + 0.3 * c,
                               10.0 * std::sin(0.3 * n) + 0.3 * r, 0.01 * z - 5.0);
            break;
        }
        tint[k] = makeKey(0.5 + 0.5 * std::sin(0.2 * n + k), 0.1 * r, 0.1 * c);
    }
    setUpClosedPath(path, 3, kBlobKeyCount, [&](int k, int track) {
        return track == 0 ? place[k] : track == 1 ? tint[k] : makeKey(0.0, 0.0, 0.0);
    });
}

// Butterfly i comes from far away behind the viewer, settles on a widening
// ring, then wanders on figures and a queue along the depth axis.
void buildButterflyPath(Router& path, int i) {
    TVector keys[kButterflyKeyCount];
    for (int k = 0; k < kButterflyKeyCount; ++k) {
        const double a = random1000(), b = random1000(), z = random1000();
        const double spread = (0.01 * a - 5.0) * 1.2;
        switch (k) {
        case 0:
            keys[k] = makeKey(spread, (0.01 * b - 5.0) * 1.2, 0.009 * z + 13.0);
            break;
        case 1:
            keys[k] = makeKey((0.01 * a - 5.0) * 2.0, (0.01 * b - 5.0) * 2.0, 0.009 * z + 45.0);
            break;
        case 2:
        case 3: {
            const double radius = spread + 3.0 + 8.0 * i / 30.0 + 2.0 * (k - 2);
            const double angle = i / 4.0 + 0.8 * (k - 2);
            keys[k] = makeKey(radius * std::cos(angle), radius * std::sin(angle), 0.007 * z - 5.0);
            break;
        }
        case 4:
            keys[k] = makeKey(12.0 * std::sin(i / 9.0) + 0.1 * spread, 9.0 * std::cos(i / 7.0),
                              0.007 * z - 3.0);
            break;
        case 5:
            keys[k] =
                makeKey(10.0 * std::cos(i / 9.0), 7.0 * std::sin(i / 7.0), 0.4 * i - kQueueDepth);
            break;
        default:
            keys[k] = makeKey(14.0 * std::sin(i / 7.0), 10.0 * std::cos(i / 9.0) + 0.1 * spread,
                              0.007 * z - 3.0);
            break;
        }
    }
    setUpClosedPath(path, 3, kButterflyKeyCount, [&](int k, int track) {
        return track == 0 ? keys[k] : makeKey(0.0, 0.0, 0.0);
    });
}

// Light 0 from +x, white, with full ambient; the coloured material lit at
// ambient 0.3, diffuse 0.6.
void setUpLight() {
    const GLfloat position[4] = {1.0f, 0.0f, 0.0f, 0.0f};
    const GLfloat diffuse[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    const GLfloat ambient[4] = {1.0f, 1.0f, 1.0f, 0.0f};
    glLightfv(GL_LIGHT0, GL_POSITION, position);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
    glEnable(GL_LIGHT0);
}

void setUpWindowState() {
    glEnable(GL_LIGHTING);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    setUpLight();
    static constexpr float kAmbient[4] = {0.3f, 0.3f, 0.3f, 1.0f};
    static constexpr float kDiffuse[4] = {0.6f, 0.6f, 0.6f, 1.0f};
    setMaterialColoursNow(kAmbient, kDiffuse);
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glDisable(GL_FOG);
}

void lookAt(const TVector& eye, const TVector& centre, const TVector& up) {
    gluLookAt(eye.x, eye.y, eye.z, centre.x, centre.y, centre.z, up.x, up.y, up.z);
}

void drawOffscreenPass(part3& self, double t, const TextureTable& textures,
                       const OffscreenBuffer& buffer) {
    // The buffer's context keeps the lights the previous Segment left there;
    // the sky is lit by them.
    buffer.makeBufferCurrent();
    glViewport(0, 0, kPictureSize, kPictureSize);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    loadPerspective(45.0, self.aspect, 0.01, 174.0);
    glPushMatrix();
    useObjectLinearGeneration(0.3f);
    enableTextureGeneration(true);
    lookAt(self.o1, self.o2, self.o3); // the previous frame's outputs
    glEnable(GL_DEPTH_TEST);
    drawOffscreenButterflies(self, t, textures);
    glPopMatrix();

    copyPictureInto(textures, kPictureTexture, kPictureSize, kPictureSize);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
}

void drawRippledPicture(double t, double amplitude) {
    glBegin(GL_QUADS);
    for (int d = -10; d < 10; ++d) {
        for (int i = -10; i < 10; ++i) {
            for (const RippleCorner& corner : rippleQuad(d, i, t, amplitude)) {
                glTexCoord2f(corner.s, corner.t);
                glVertex3f(corner.x, corner.y, corner.z);
            }
        }
    }
    glEnd();
}

void drawEyePlanes(const part3& self, double t, const TextureTable& textures) {
    const int count = eyePlaneCount(self.o1);
    for (int i = 0; i < count; ++i) {
        glBlendFunc(GL_SRC_ALPHA, GL_ONE);
        const Rgba c = eyePlaneColour(i, self.o1);
        glColor4f(c.r, c.g, c.b, c.a);
        glPushMatrix();
        bindTexture(textures, kEyeTexture);
        glRotatef(static_cast<float>(20.0 * i + 40.0 * t), 0.0f, 1.0f, 0.3f);
        glTranslatef(0.0f, 0.0f, static_cast<float>(-0.3 * i));
        glScalef(1.6f, 1.6f, 1.6f);
        glRotatef(static_cast<float>(0.2 * t * self.o2.y + 20.0 * i), 0.0f, 0.0f, 1.0f);
        drawUnitQuad();
        glPopMatrix();
    }
}

// The fresh picture over the old screen at 15 %: the screen is never cleared,
// so what moved leaves a fading trail.
void drawWindowPass(part3& self, double t, const TextureTable& textures,
                    const OffscreenBuffer& buffer) {
    buffer.makeWindowCurrent();
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_DEPTH_BUFFER_BIT);
    loadPerspective(45.0, self.aspect, 0.01, 174.0);
    static constexpr float kBlack[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    setMaterialColours(kBlack, kBlack);

    glPushMatrix();
    self.effectPath.evaluate(effectPathParameter(t), self.o1, self.o2, self.o3);
    lookAtFullScreenLayer(2.3, self.aspect);
    glDisable(GL_LIGHTING);
    glEnable(GL_TEXTURE_2D);
    glColor4f(1.0f, 1.0f, 1.0f, 0.15f);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_DEPTH_TEST);
    bindTexture(textures, kPictureTexture);
    if (pictureRipples(self.o3)) {
        drawRippledPicture(t, self.o3.x);
    } else {
        glPushMatrix();
        glScalef(1.04f, 1.04f, 1.04f);
        drawUnitQuad();
        glPopMatrix();
    }
    drawEyePlanes(self, t, textures);
    glPopMatrix();
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glEnable(GL_DEPTH_TEST);
}

} // namespace

Part3FramePlan planPart3Frame(double t) {
    Part3FramePlan plan;
    plan.finished = t > timing::segmentEnd(3);
    plan.butterflies = !plan.finished && t < kButterfliesUntil;
    plan.blobbySurface = !plan.finished && t > kSurfaceFrom;
    return plan;
}

double butterflyPathParameter(int i, double t) {
    return 0.065 * t + 1.0 + 0.035 * i;
}

double butterflyFlap(int i, double t) {
    return i + t * (0.002 * t + 1.5);
}

bool pictureRipples(const TVector& o3) {
    return o3.x > 0.03;
}

int eyePlaneCount(const TVector& o1) {
    if (!(o1.x > 0.1) || !(o1.y >= 1.0)) {
        return 0;
    }
    return static_cast<int>(std::min(o1.y, 1000.0)); // truncated
}

bool blobRingShown(const TVector& o2) {
    return o2.z > 0.03;
}

bool spriteSwarmShown(const TVector& o2) {
    return o2.x > 0.05;
}

Rgba eyePlaneColour(int i, const TVector& o1) {
    const auto level = [i](int shift) { return static_cast<float>(1.0 - 0.5 * ((i + shift) % 3)); };
    return {level(0), level(1), level(2), static_cast<float>(0.15 * o1.z)};
}

std::array<RippleCorner, 4> rippleQuad(int d, int i, double t, double amplitude) {
    const double a = 0.56 * amplitude;
    const auto column = [a](int c) { return (0.1 * std::cos(0.05 * kPi * c) + 1.0) * a; };
    const int g = d + 1;
    const double sd = std::sin(1.83 * t + d + 0.25) * column(d);
    const double sg = std::sin(1.83 * t + d + 1.25) * column(g);
    const double zd = 0.8 * std::sin(1.6 * d + 1.93 * t);
    const double zg = 0.8 * std::sin(1.6 * g + 1.93 * t);
    const double m = std::cos(1.67 * t + i) * a;
    const double o = std::cos(1.67 * t + i + 1.0) * a;
    const auto corner = [](double s, double tc, double x, double y, double z) {
        return RippleCorner{static_cast<float>(s * 0.05), static_cast<float>(tc * 0.05),
                            static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)};
    };
    return {corner(d + m + 10, i + sd + 10, 0.1 * d, 0.1 * i, zd),
            corner(d + m + 11, i + sg + 10, 0.1 * g, 0.1 * i, zg),
            corner(d + o + 11, i + sg + 11, 0.1 * g, 0.1 * (i + 1), zg),
            corner(d + o + 10, i + sd + 11, 0.1 * d, 0.1 * (i + 1), zd)};
}

int planBlobRing(double t, const TVector& o2, std::array<RingBlob, kPart3RingBlobCount>& blobs) {
    if (!blobRingShown(o2)) {
        return 0;
    }
    int n = 0;
    for (int p = 0; p <= 6; ++p) {
        for (int i = 2; i <= 27; ++i) {
            RingBlob& blob = blobs[n++];
            const double base = 0.5 * o2.z;
            blob.colour[0] =
                static_cast<float>(base + 0.4 * std::sin(0.05 * i + 0.1 * p + 1.48 * t));
            blob.colour[1] =
                static_cast<float>(base + 0.4 * std::sin(i / 12.0 + p / 13.0 + 1.47 * t));
            blob.colour[2] =
                static_cast<float>(base + 0.4 * std::sin(i / 33.0 + p / 16.0 + 1.42 * t));
            const double ringRadius = 3.0 * std::sin(p * kExactPi / 7.0 + t) + 10.0;
            const double r = std::sin(i * kExactPi / 30.0) * ringRadius;
            const double angle = 2.0 * kExactPi * (p + 0.05 * i) / 7.0 + 0.2 * t;
            blob.x = static_cast<float>(r * std::sin(angle) + 0.8 * std::sin(t) + i - 15.0);
            blob.y = static_cast<float>(r * std::cos(angle));
        }
    }
    return n;
}

void planSpriteSwarm(const std::array<Router, kPart3SpriteCount>& paths, double t,
                     const TVector& o2, std::array<SwarmSprite, kPart3SpriteCount>& sprites) {
    TVector p, q, third; // zeros before the first sprite
    p.state = q.state = 1;
    for (int i = 0; i < kPart3SpriteCount; ++i) {
        SwarmSprite& sprite = sprites[i];
        const double shade = 1.0 - 0.02 * q.x * p.y;
        const float alpha = static_cast<float>(o2.x);
        if (t > kWarmSwarmFrom) {
            sprite.colour = {1.0f, static_cast<float>(1.0 - q.x), static_cast<float>(0.4 * shade),
                             alpha};
        } else {
            sprite.colour = {static_cast<float>(1.0 - q.x), static_cast<float>(shade), 1.0f, alpha};
        }
        paths[i].evaluate(0.28 * t + 1.0 + i / 55.0, p, q, third);
        sprite.place = p;
        sprite.spin = 10.0 * q.x;
    }
}

double spriteTextureInset(const TVector& o2) {
    return 0.5 - (1.1 - o2.x) * 0.5;
}

WingColours wingColours(double flap, double brightness) {
    WingColours colours{};
    const double tint[3] = {0.3 * std::sin(1.4 * flap), 0.3 * std::sin(1.7 * flap),
                            0.3 * std::sin(1.9 * flap)};
    const double wLeft = 0.7 + 0.3 * std::sin(flap);
    const double wRight = 0.7 - 0.3 * std::sin(flap);
    for (int c = 0; c < 3; ++c) {
        colours.left[c] = static_cast<float>((wLeft + tint[c]) * brightness);
        colours.right[c] = static_cast<float>((wRight + tint[c]) * brightness);
    }
    return colours;
}

void initPart3(part3& self) {
    self.butterflyCount = kPart3ButterflyCount;
    self.frameCounter = 0;
    int n = 0;
    for (int r = -4; r <= 3; ++r) {
        for (int c = -4; c <= 3; ++c) {
            buildBlobPath(self.blobPaths[n], n, r, c);
            ++n;
        }
    }
    for (int i = 0; i < self.butterflyCount; ++i) {
        buildButterflyPath(self.butterflyPaths[i], i);
    }
    buildEffectPath(self.effectPath);
    initBlobbySurface(self);
}

void startPart3(part3& self) {
    self.aspect = kAspect;
}

void drawOffscreenButterflies(part3& self, double t, const TextureTable& textures) {
    glPushMatrix();
    glDisable(GL_LIGHTING);
    glLoadIdentity();
    static constexpr float kAmbient[4] = {0.3f, 0.3f, 0.3f, 1.0f};
    static constexpr float kDiffuse[4] = {0.9f, 0.9f, 0.9f, 1.0f};
    setMaterialColoursNow(kAmbient, kDiffuse);

    // The sky, turning slowly, behind everything.
    glPushMatrix();
    glDisable(GL_DEPTH_TEST);
    glRotatef(static_cast<float>(4.6 * t), 0.2f, 1.0f, 0.0f);
    glRotatef(static_cast<float>(40.0 * std::sin(0.04 * t)), 1.0f, 0.0f, 0.0f);
    useSphereMapGeneration();
    enableTextureGeneration(true);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    bindTexture(textures, kSkyTexture);
    glDepthMask(GL_FALSE);
    glEnable(GL_LIGHTING);
    glCallList(kSkyList);
    glDisable(GL_LIGHTING);
    glDepthMask(GL_TRUE);
    glPopMatrix();
    enableTextureGeneration(false);

    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_FOG);
    glColor3f(1.0f, 1.0f, 1.0f);
    gluLookAt(0.0, 0.0, 44.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
    drawBlobRing(self, t, textures);
    drawSpriteSwarm(self, t, textures);

    glEnable(GL_DEPTH_TEST);
    std::array<ButterflyFlight, kPart3ButterflyCount> flights;
    TVector unused2, unused3;
    for (int i = 0; i < self.butterflyCount; ++i) {
        const Router& path = self.butterflyPaths[i];
        const double u = butterflyPathParameter(i, t);
        path.evaluate(u, flights[i].p, unused2, unused3);
        path.evaluate(u + 0.01, flights[i].q, unused2, unused3);
        flights[i].flap = butterflyFlap(i, t);
    }
    drawButterflySwarm(flights.data(), self.butterflyCount, 1.0, textures);
    glPopMatrix();
}

void drawBlobRing(part3& self, double t, const TextureTable& textures) {
    glDisable(GL_LIGHTING);
    glEnable(GL_TEXTURE_2D);
    bindTexture(textures, kRingTexture);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    glDisable(GL_DEPTH_TEST);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glPushMatrix();
    glRotatef(static_cast<float>(10.0 * t), 0.0f, 0.24f, 1.0f);
    glTranslatef(4.0f, 2.0f, 20.0f);
    glRotatef(90.0f, 0.0f, 1.0f, 0.0f);
    std::array<RingBlob, kPart3RingBlobCount> blobs;
    const int count = planBlobRing(t, self.o2, blobs);
    // Up to 182 billboards: one array instead of a matrix round trip each.
    static gfx::SpriteBatch batch; // storage kept between frames
    batch.begin();
    for (int n = 0; n < count; ++n) {
        const RingBlob& blob = blobs[n];
        batch.add(blob.x, blob.y, 0.0, kRingBlobSize);
        batch.colourLast(blob.colour[0], blob.colour[1], blob.colour[2]);
    }
    batch.draw();
    glPopMatrix();
}

void drawSpriteSwarm(part3& self, double t, const TextureTable& textures) {
    if (!spriteSwarmShown(self.o2)) {
        return;
    }
    bindTexture(textures, kSwarmTexture);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glEnable(GL_TEXTURE_2D);
    glPushMatrix();
    glScalef(4.0f / 3.0f, 1.0f, 1.0f);
    std::array<SwarmSprite, kPart3SpriteCount> sprites;
    planSpriteSwarm(self.blobPaths, t, self.o2, sprites);
    const float e = static_cast<float>(spriteTextureInset(self.o2));
    for (const SwarmSprite& sprite : sprites) {
        glPushMatrix();
        glColor4f(sprite.colour.r, sprite.colour.g, sprite.colour.b, sprite.colour.a);
        glTranslatef(static_cast<float>(sprite.place.x + 0.5),
                     static_cast<float>(sprite.place.y + 0.5), static_cast<float>(sprite.place.z));
        glScalef(0.5f, 0.5f, 0.5f);
        glRotatef(static_cast<float>(sprite.spin), 0.0f, 0.5f, 1.0f);
        drawQuad(1.0f, 1.0f, TexRect{e, e, 1.0f - e, 1.0f - e});
        glPopMatrix();
    }
    glEnable(GL_DEPTH_TEST);
    glBlendFunc(GL_ONE, GL_ONE);
    glPopMatrix();
}

namespace {

void drawButterflyWings(const TVector& p, const TVector& q, double flap, double brightness,
                        const TextureTable& textures) {
    glDisable(GL_LIGHTING);
    glEnable(GL_DEPTH_TEST);
    const float pulse = static_cast<float>(0.05 * std::sin(flap));
    useObjectLinearGeneration(TexGenPlanes{
        {0.3f + pulse, 0.0f, 0.0f, static_cast<float>(0.5 + 0.15 * std::sin(0.3 * flap))},
        {0.0f, 0.3f + pulse, 0.0f, 0.5f}});
    enableTextureGeneration(true);
    glEnable(GL_TEXTURE_2D);
    bindTexture(textures, kWingTexture);

    glPushMatrix();
    glTranslatef(static_cast<float>(p.x), static_cast<float>(p.y), static_cast<float>(p.z));
    gluLookAt(0.0, 0.0, 0.0, q.x - p.x, p.y - q.y, p.z - q.z, 0.0, 1.0, 0.0);
    const WingColours colours = wingColours(flap, brightness);
    const float beat = static_cast<float>(70.0 * std::sin(flap));

    glPushMatrix();
    glRotatef(5.0f, 0.0f, 1.0f, 0.0f);
    glRotatef(beat, 0.0f, 0.0f, 1.0f);
    glRotatef(90.0f, 1.0f, 0.0f, 0.0f);
    glTranslatef(-0.73f, 0.0f, 0.0f);
    glColor3fv(colours.left);
    glCallList(kWingList);
    glPopMatrix();

    glPushMatrix();
    glRotatef(-5.0f, 0.0f, 1.0f, 0.0f);
    glRotatef(-beat, 0.0f, 0.0f, 1.0f);
    glRotatef(90.0f, 1.0f, 0.0f, 0.0f);
    glTranslatef(0.73f, 0.0f, 0.0f);
    glRotatef(180.0f, 0.0f, 1.0f, 0.0f);
    glColor3fv(colours.right);
    glCallList(kWingList);
    glPopMatrix();
    glPopMatrix();
}

void beginButterflyGlows(const TextureTable& textures) {
    enableTextureGeneration(false);
    glDisable(GL_DEPTH_TEST);
    bindTexture(textures, kGlowTexture);
}

// The billboard keeps only the translation, so the heading turn of the
// wings does not change it: P alone places the glow.
void drawButterflyGlow(const TVector& p, double flap, double brightness) {
    glPushMatrix();
    glTranslatef(static_cast<float>(p.x), static_cast<float>(p.y), static_cast<float>(p.z));
    setColor(4.0 * brightness, brightness, brightness);
    faceViewer();
    glScalef(2.0f, 2.0f, 1.0f);
    glRotatef(static_cast<float>(10.0 * flap), 0.0f, 0.0f, 1.0f);
    drawUnitQuad();
    glPopMatrix();
}

} // namespace

void drawButterfly(const TVector& p, const TVector& q, double flap, double brightness,
                   const TextureTable& textures) {
    drawButterflyWings(p, q, flap, brightness, textures);
    beginButterflyGlows(textures);
    drawButterflyGlow(p, flap, brightness);
}

void drawButterflySwarm(const ButterflyFlight* flights, int count, double brightness,
                        const TextureTable& textures) {
    // Wings first, then every glow: the glows neither test nor write depth
    // and all of it is added, so the picture is the one butterfly after
    // butterfly gives, without switching state twice per butterfly.
    for (int i = 0; i < count; ++i) {
        drawButterflyWings(flights[i].p, flights[i].q, flights[i].flap, brightness, textures);
    }
    beginButterflyGlows(textures);
    for (int i = 0; i < count; ++i) {
        drawButterflyGlow(flights[i].p, flights[i].flap, brightness);
    }
}

bool renderPart3(part3& self, std::int32_t /*cue*/, TextureTable& textures, double* time,
                 OffscreenBuffer& buffer) {
    const double t = *time;
    const Part3FramePlan plan = planPart3Frame(t);
    if (plan.finished) {
        return true;
    }
    ++self.frameCounter;
    glEnable(GL_TEXTURE_2D);
    if (plan.butterflies) {
        setUpWindowState();
        drawOffscreenPass(self, t, textures, buffer);
        drawWindowPass(self, t, textures, buffer);
    }
    if (plan.blobbySurface) {
        renderBlobbySurface(self, t, textures, buffer);
    }
    glFlush();
    return false;
}
