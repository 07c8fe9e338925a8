#include "segments/part4.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include <GL/gl.h>
#include <GL/glu.h>

#include "anim/timing.h"
#include "gfx/drawing.h"
#include "gfx/random.h"
#include "gfx/sprite_batch.h"

part4 part4Object;

namespace {

using namespace gfx;

constexpr int kVaseList = 5001;
constexpr int kMirrorVaseList = 5002;
constexpr int kBlobTexture = 5083;
constexpr int kFloorTexture = 5101;
constexpr int kRainTexture = 5102;
constexpr int kGlareTexture = 5103;
constexpr FeedbackPair kFeedback{5110};
constexpr int kSkinTexture = 5118;
constexpr int kPictureSize = 512;

constexpr double kVaseScale = 1.4;
// The low sun, far to the left and above the vase.
constexpr double kSunX = -15.0;
constexpr double kSunY = 6.0;
constexpr double kFloorY = -1.6;
constexpr double kRingY = -1.56;
// Skin of the vase: object-linear across x and z.
constexpr TexGenPlanes kSkinPlanes{{1.5f, 0.0f, 0.0f, 0.5f}, {0.0f, 0.0f, 1.5f, 0.5f}};
// Feedback: the fresh picture seen from 2.47, the window picture from 2.3,
// both stretched by 1.04 so they overfill the view.
constexpr double kFeedbackEyeDistance = 2.47;
constexpr double kWindowEyeDistance = 2.3;
constexpr float kOverfill = 1.04f;
constexpr int kGridHalfCells = 6;
// Cue responses: roll amplitude, damped cosine (q, r), gain pull (q, r) and
// the gains that a cue-2 hit pulls toward.
constexpr double kRollAmplitude = 0.6;
constexpr double kRollQ = 1.1;
constexpr double kRollR = 11.0;
constexpr double kPullQ = 0.01;
constexpr double kPullR = 15.0;
constexpr double kHitFreshGain = 0.9;
constexpr double kHitLastGain = 0.78;
constexpr double kCutOff = 0.001;

// Eye and centre of the offscreen camera's keys; up is always (0, 1, 0).
struct CameraKey {
    double eye[3];
    double centre[3];
};

std::array<CameraKey, 24> cameraKeys() {
    std::array<CameraKey, 24> keys{};
    keys[0] = {{6, 6, 6}, {4, 8, 3}};
    keys[1] = {{6, 5, 6}, {4, 7, 3}};
    keys[2] = {{6, 4, 6}, {4, 5, 3}};
    // A half circle in front of the vase, turning towards the sun.
    constexpr double kSweep[6] = {0, 0.5, 0.75, 1, 1.5, 2};
    constexpr double kSweepY[6] = {3, 3, 3, 3, 2, 2};
    constexpr double kSweepCentre[6][3] = {{0, -2, 1}, {0, 1, 1},  {0, 1, 1},
                                           {-1, 1, 1}, {-2, 1, 1}, {-3, 1, 1}};
    for (int k = 0; k < 6; ++k) {
        const double a = std::numbers::pi * kSweep[k];
        keys[3 + k] = {{6.0 * std::cos(a), kSweepY[k], 3.0 * std::sin(a) + 7.0},
                       {kSweepCentre[k][0], kSweepCentre[k][1], kSweepCentre[k][2]}};
    }
    // Low around the vase, looking at it.
    constexpr double kOrbit[13][3] = {
        {5, -0.7, 2},   {5, -0.7, 0},     {5, 0.7, -2},    {5, 0.7, -4},   {1, 0.7, -5},
        {-3, 0.7, -6},  {-5, 0.7, -4},    {-6.5, 0.7, -2}, {-6.5, 0.7, 1}, {-6.5, 1, 2.5},
        {-6.5, 1.3, 4}, {-6.5, 1.5, 5.5}, {-6.5, 1.9, 7}};
    for (int k = 0; k < 13; ++k) {
        keys[9 + k] = {{kOrbit[k][0], kOrbit[k][1], kOrbit[k][2]}, {0, 0, 0}};
    }
    keys[22] = {{-6.5, 1.9, 7}, {0, 2, 0}};
    keys[23] = {{-6.5, 1.9, 7}, {0, 5, 0}};
    return keys;
}

void buildCameraPath(Router& path) {
    const std::array<CameraKey, 24> keys = cameraKeys();
    setUpClosedPath(path, 3, 24, [&keys](int k, int track) {
        const CameraKey& key = keys[k];
        return track == 0   ? makeKey(key.eye[0], key.eye[1], key.eye[2])
               : track == 1 ? makeKey(key.centre[0], key.centre[1], key.centre[2])
                            : makeKey(0.0, 1.0, 0.0);
    });
}

// Track 0: last-picture gain, fresh-picture brightness, ripple; track 1: the
// tree's bend and spread; track 2 unused.
void buildControlPath(Router& path) {
    static constexpr double kTrack0[24][3] = {
        {0, 1, 0},        {0, 1, 0},         {0, 1, 0},         {0, 1, 0},         {0, 1, 0},
        {0, 1, 0},        {0.5, 0.8, 0},     {0.8, 1, 0},       {0.9, 0.8, 0},     {0.8, 0.8, 0.2},
        {0.96, 0.8, 0.1}, {0.96, 1, 0},      {0.9, 1, 0},       {0.9, 1, -0.2},    {0.8, 1, 0.15},
        {0.8, 1, 0},      {0.9, 1, 0.05},    {0.79, 0.8, 0.1},  {0.6, 0.851, 0.2}, {0.7, 0.9, 0.3},
        {0.97, 0.8, 0.8}, {0.97, 0.79, 1.3}, {0.97, 0.49, 1.5}, {0.97, 0.99, 2.3}};
    static constexpr double kTrack1[24][2] = {
        {-1.7, 1}, {-1.7, 1},   {-1.7, 1}, {-1.7, 1},   {-1.4, 1}, {-1.1, 1}, {-0.2, 3}, {0.7, 2},
        {0.7, 3},  {0.7, 1},    {-1.7, 1}, {-1.7, 1},   {-1.7, 1}, {-1.7, 1}, {0, 1.2},  {0, 1.4},
        {0, 1.6},  {-0.2, 1.9}, {-2, 2.4}, {-0.3, 1.7}, {-0.4, 1}, {-0.6, 2}, {-0.6, 2}, {-0.6, 2}};
    setUpClosedPath(path, 3, 24, [](int k, int track) {
        return track == 0   ? makeKey(kTrack0[k][0], kTrack0[k][1], kTrack0[k][2])
               : track == 1 ? makeKey(kTrack1[k][0], kTrack1[k][1], 0.0)
                            : makeKey(0.0, 0.0, 0.0);
    });
}

// Light 0 from the direction (1, -0.5, 0) of the current view, with a dim
// ambient and a moderate diffuse material.
void setUpLightAndMaterial() {
    glEnable(GL_LIGHTING);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    const GLfloat position[4] = {1.0f, -0.5f, 0.0f, 0.0f};
    const GLfloat diffuse[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    const GLfloat ambient[4] = {1.0f, 1.0f, 1.0f, 10.0f};
    glLightfv(GL_LIGHT0, GL_POSITION, position);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
    glEnable(GL_LIGHT0);
    static constexpr float kAmbient[4] = {0.12f, 0.12f, 0.12f, 1.0f};
    static constexpr float kDiffuse[4] = {0.6f, 0.6f, 0.6f, 1.0f};
    setMaterialColoursNow(kAmbient, kDiffuse);
    glDisable(GL_BLEND);
}

void setColor4(double r, double g, double b, double a) {
    glColor4f(static_cast<float>(r), static_cast<float>(g), static_cast<float>(b),
              static_cast<float>(a));
}

// One batch per kind of sprite, kept from frame to frame so its arrays keep
// their capacity.
QuadBatch& reusedBatch(int kind) {
    static QuadBatch batches[3];
    QuadBatch& batch = batches[kind];
    batch.clear();
    return batch;
}
enum BatchKind { kTreeBatch, kRingBatch, kDropBatch };

ModelviewStack currentModelview() {
    Matrix4 m{};
    glGetDoublev(GL_MODELVIEW_MATRIX, m.data());
    return ModelviewStack(m);
}

// The floor quad in the y = 0 plane, as the floor and the rings use it.
constexpr double kFlatQuad[4][3] = {{-1, 0, -1}, {1, 0, -1}, {1, 0, 1}, {-1, 0, 1}};

void drawMirrorVase(const TextureTable& textures) {
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glEnable(GL_LIGHTING);
    enableTextureGeneration(true);
    bindTexture(textures, kSkinTexture);
    glPushMatrix();
    glScalef(kVaseScale, kVaseScale, kVaseScale);
    glRotatef(180.0f, 0.0f, 0.0f, 1.0f);
    glTranslatef(0.0f, 2.18f, 0.0f);
    glCallList(kMirrorVaseList);
    glPopMatrix();
}

// Drawn over the mirror image at 80 %, so the reflection shows through.
void drawFloor(const TextureTable& textures) {
    glDisable(GL_LIGHTING);
    enableTextureGeneration(false);
    glEnable(GL_TEXTURE_2D);
    bindTexture(textures, kFloorTexture);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glPushMatrix();
    glColor4f(1.0f, 1.0f, 1.0f, 0.8f);
    glTranslatef(2.0f, static_cast<float>(kFloorY), 0.1f);
    glScalef(6.0f, 6.0f, 6.0f);
    drawFlatQuad(0.0f, 0.0f, 1.0f, 1.0f);
    glPopMatrix();
}

void drawVase(const TextureTable& textures) {
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glEnable(GL_LIGHTING);
    glEnable(GL_TEXTURE_2D);
    glColor3f(1.0f, 1.0f, 1.0f);
    enableTextureGeneration(true);
    bindTexture(textures, kSkinTexture);
    glPushMatrix();
    glScalef(kVaseScale, kVaseScale, kVaseScale);
    glTranslatef(0.0f, -0.17f, 0.0f);
    glCallList(kVaseList);
    glPopMatrix();
    enableTextureGeneration(false);
}

void drawTree(part4& self, double t, TextureTable& textures) {
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glPushMatrix();
    glPushMatrix();
    glDisable(GL_LIGHTING);
    glColor3f(1.0f, 1.0f, 1.0f);
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_FALSE);
    drawLightTree(self, t, 1.0, textures, kLightTreeTopLevel, 0.3, 7.0 * self.o2.x, 0.94, 0.2,
                  0.1 * self.o2.y, 1.9);
    glDepthMask(GL_TRUE);
    glPopMatrix();
    glPopMatrix();
}

// 168 additive triangles from the sun towards the vase, flickering with the
// ray phases.
void drawSunRays(const part4& self, double t) {
    glPushMatrix();
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_FALSE);
    glBegin(GL_TRIANGLES);
    int k = 0;
    for (int i = -6; i <= 5; ++i) {
        for (int j = -7; j <= 6; ++j, ++k) {
            const double s = std::sqrt(static_cast<double>(i * i + j * j)) + 1.0;
            const double length = std::min(3626.0 / (35.0 * s + 1.0) + 0.3, 20.0);
            const double a = 7.0 / (4.0 * s + 5.0);
            const double p = self.rayPhases[k + 1];
            const double x = 0.19 * length * std::sin(4.0 * p + 0.434 * t);
            const double y = 0.19 * length * std::cos(4.0 * p + 0.371 * t);
            setColor4(0.95, 0.7, 0.32, a);
            glVertex3d(0.18 * x + kSunX, 0.1 * x + kSunY, 0.28 * y);
            setColor4(0.01, 0.0, 0.0, a);
            glVertex3d(0.2 * j, 0.3 * j + 0.3, 0.2 * i);
            setColor4(0.0, 0.0, 0.0, a);
            glVertex3d(0.2 * j + 0.1 * x, 0.3 * j + 0.3 + 0.1 * y, 0.2 * i);
        }
    }
    glEnd();
    glPopMatrix();
}

// Rings darken the floor (the darkening blend ignores alpha).
void drawRainRings(const part4& self, const TextureTable& textures, double t) {
    glBlendFunc(GL_ZERO, GL_ONE_MINUS_SRC_COLOR);
    glEnable(GL_TEXTURE_2D);
    bindTexture(textures, kRainTexture);
    ModelviewStack stack = currentModelview();
    QuadBatch& batch = reusedBatch(kRingBatch);
    for (int i = 0; i < kPart4RaindropsUsed; ++i) {
        const RainRing ring = planRainRing(self.raindrops[i], t);
        // A ring faded to black leaves the floor as it is under this blend.
        if (!ring.drawn || ring.grey <= 0.0) {
            continue;
        }
        stack.push();
        stack.translate(ring.x, kRingY, ring.z);
        stack.scale(0.2, 0.15, 0.05);
        const float grey = static_cast<float>(ring.grey);
        const float colour[4] = {grey, grey, grey, 1.0f};
        batch.addQuad(stack.top(), kFlatQuad, colour);
        stack.pop();
    }
    batch.draw();
}

void drawFallingDrops(const part4& self, const TextureTable& textures, double t) {
    glBlendFunc(GL_ONE, GL_ONE);
    glEnable(GL_TEXTURE_2D);
    bindTexture(textures, kRainTexture);
    const double w = dropFadeIn(t);
    const float colour[4] = {static_cast<float>(0.1 * w), static_cast<float>(0.1 * w),
                             static_cast<float>(0.15 * w), 0.3f};
    ModelviewStack stack = currentModelview();
    QuadBatch& batch = reusedBatch(kDropBatch);
    for (int i = 0; i < kPart4RaindropsUsed; ++i) {
        const Raindrop& drop = self.raindrops[i];
        const FallingDrop fall = planFallingDrop(drop, t);
        stack.push();
        stack.translate(drop.x, fall.y, drop.z);
        if (fall.facing == DropFacing::Viewer) {
            stack.faceViewer();
        } else if (fall.facing == DropFacing::KeepingDepth) {
            stack.faceViewerKeepingDepth();
        }
        if (fall.splash) {
            stack.scale(0.1, 0.1, 0.0);
        } else {
            stack.scale(0.025, 0.35, 0.0);
        }
        batch.addUnitQuad(stack.top(), colour);
        stack.pop();
    }
    batch.draw();
}

void drawSunGlare(const TextureTable& textures, double t) {
    bindTexture(textures, kGlareTexture);
    for (int i = 0; i < 3; ++i) {
        glPushMatrix();
        glColor3f(1.0f, 0.6f, 0.5f);
        glBlendFunc(GL_ONE, GL_ONE);
        glTranslatef(static_cast<float>(kSunX), static_cast<float>(kSunY), 0.0f);
        faceViewer();
        const float size = 2.0f * i + 4.0f;
        glScalef(size, size, size);
        glRotatef(static_cast<float>(4.5 * t * std::sin(2.0 * i)), 0.0f, 0.0f, 1.0f);
        drawUnitQuad();
        glPopMatrix();
    }
}

// Three blobs on a line from the sun towards the middle of the view.
void drawFlareChain(const TextureTable& textures) {
    bindTexture(textures, kBlobTexture);
    for (int i = 0; i <= 6; i += 3) {
        glPushMatrix();
        glColor4f(1.0f, 0.6f, 0.5f, 0.87f);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE);
        glTranslatef(static_cast<float>(1.6 * i + kSunX), static_cast<float>(kSunY - 0.6 * i),
                     0.0f);
        faceViewer();
        const float size = i / 3.0f + 3.5f;
        glScalef(size, size, size);
        drawUnitQuad();
        glPopMatrix();
    }
}

// The last picture on a 12 x 12 grid whose texture coordinates and depth
// wave with t, so the trails ripple.
void drawRippledGrid(const part4& self, double t, double amplitude) {
    const double k = self.gridTextureSize / static_cast<double>(kPictureSize);
    const auto texCoord = [k](double s, double u) {
        glTexCoord2f(static_cast<float>(k * s), static_cast<float>(k * u));
    };
    const double a = amplitude;
    glBegin(GL_QUADS);
    for (int g = -kGridHalfCells; g < kGridHalfCells; ++g) {
        const int g1 = g + 1;
        const double c0 = std::sin(0.83 * t + g + 0.25) * a;
        const double c1 = std::sin(0.83 * t + g + 1.25) * a;
        const double z0 = 0.1 * std::sin(1.6 * g + 0.53 * t);
        const double z1 = 0.1 * std::sin(1.6 * g1 + 0.53 * t);
        for (int r = -kGridHalfCells; r < kGridHalfCells; ++r) {
            const double r0 = std::cos(0.67 * t + r) * a;
            const double r1 = std::cos(0.67 * t + r + 1.0) * a;
            texCoord((g + r0 + 6.0) / 12.0, (r + c0 + 6.0) / 12.0);
            glVertex3d(g / 6.0, r / 6.0, z0);
            texCoord((g + r0 + 7.0) / 12.0, (r + c1 + 6.0) / 12.0);
            glVertex3d(g1 / 6.0, r / 6.0, z1);
            texCoord((g + r1 + 7.0) / 12.0, (r + c1 + 7.0) / 12.0);
            glVertex3d(g1 / 6.0, (r + 1) / 6.0, z1);
            texCoord((g + r1 + 6.0) / 12.0, (r + c0 + 7.0) / 12.0);
            glVertex3d(g / 6.0, (r + 1) / 6.0, z0);
        }
    }
    glEnd();
}

void setGrey(double c) {
    const float v = static_cast<float>(c);
    glColor4f(v, v, v, v);
}

// The fresh picture opaque at its brightness, the last one added through the
// rippled grid at its gain; the result becomes this frame's picture.
void feedBack(part4& self, const TextureTable& textures, double t, const Part4View& view) {
    const int n = self.frameCounter;
    glPushMatrix();
    lookAtFullScreenLayer(kFeedbackEyeDistance, self.aspect);
    glDisable(GL_LIGHTING);
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    const FeedbackWeights weights = feedbackWeights(view);
    setGrey(weights.fresh);
    glDisable(GL_DEPTH_TEST);
    bindTexture(textures, kFeedback.current(n));
    glScalef(kOverfill, kOverfill, kOverfill);
    drawUnitQuad();
    setGrey(weights.lastGain);
    glEnable(GL_BLEND);
    bindTexture(textures, kFeedback.previous(n));
    glPushMatrix();
    drawRippledGrid(self, t, view.rippleAmplitude());
    glPopMatrix();
    glPopMatrix();
    glDisable(GL_BLEND);
    copyPictureInto(textures, kFeedback.current(n), kPictureSize, kPictureSize);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
}

void drawOffscreenPass(part4& self, TextureTable& textures, double t, const Part4View& view,
                       const OffscreenBuffer& buffer) {
    buffer.makeBufferCurrent();
    glViewport(0, 0, kPictureSize, kPictureSize);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glDepthMask(GL_TRUE); // whatever the Segment before left, the depth must clear
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    loadPerspective(45.0, self.aspect, 0.01, 174.0);
    // The buffer's context is shared with other effects, which may leave a
    // camera on its modelview. The feedback layers below are placed from it,
    // so it must start from the identity, not only inside the scene's push.
    glLoadIdentity();
    glPushMatrix();
    useObjectLinearGeneration(kSkinPlanes);
    enableTextureGeneration(true);
    gluLookAt(view.eye.x, view.eye.y, view.eye.z, view.centre.x, view.centre.y, view.centre.z,
              view.up.x, view.up.y, view.up.z);
    // Set up in this view, so the light stays fixed in the scene.
    setUpLightAndMaterial();
    glEnable(GL_DEPTH_TEST);
    drawScene(self, t, textures);
    glPopMatrix();

    copyPictureInto(textures, kFeedback.current(self.frameCounter), kPictureSize, kPictureSize);
    feedBack(self, textures, t, view);
}

void drawWindowPicture(const part4& self, const TextureTable& textures) {
    glPushMatrix();
    lookAtFullScreenLayer(kWindowEyeDistance, self.aspect);
    glDisable(GL_LIGHTING);
    glEnable(GL_TEXTURE_2D);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    bindTexture(textures, kFeedback.current(self.frameCounter));
    glScalef(kOverfill, kOverfill, kOverfill);
    drawUnitQuad();
    glPopMatrix();
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glEnable(GL_DEPTH_TEST);
}

// Size factor of a level's sprites: the root's are large, the bluish tips
// larger than the cubic rule would give.
double treeSpriteFactor(int n) {
    if (n == 9) {
        return 0.9216;
    }
    if (n == 4) {
        return 0.25;
    }
    return 0.002 * n * n * n;
}

// Warm at the trunk, green twigs, blue tips.
void treeColour(int n, float colour[4]) {
    if (n == 4) {
        colour[0] = 0.0f, colour[1] = 0.3f, colour[2] = 1.0f;
    } else if (n < 6) {
        colour[0] = 0.0f, colour[1] = 1.0f, colour[2] = 0.4f;
    } else {
        colour[0] = 1.0f, colour[1] = 0.3f, colour[2] = 0.3f;
    }
    colour[3] = 1.0f;
}

} // namespace

FeedbackWeights feedbackWeights(const Part4View& view) {
    FeedbackWeights weights;
    weights.lastGain = view.lastGain();
    weights.fresh = view.freshGain();
    return weights;
}

double cueDecay(double latchedTime, double t, double q, double r) {
    const double denominator = q * r * (t - latchedTime) + 1.0;
    if (denominator <= 0.0) {
        return 0.0; // before the latch: no response rather than a pole
    }
    const double decay = 1.0 / denominator;
    return decay < kCutOff ? 0.0 : decay;
}

double dampedCosine(double latchedTime, double t, double q, double r) {
    return std::cos(r * (t - latchedTime)) * cueDecay(latchedTime, t, q, r);
}

void respondToCue(part4& self, double t, std::int32_t cue, Part4View& view) {
    if (cue == 2) {
        const double hit = self.cue2Latch.latch(t);
        view.up.x += kRollAmplitude * dampedCosine(hit, t, kRollQ, kRollR);
        const double pull = std::fabs(cueDecay(hit, t, kPullQ, kPullR));
        view.o1.y += pull * (kHitFreshGain - view.o1.y);
        view.o1.x += pull * (kHitLastGain - view.o1.x);
    }
    if (cue == 3) {
        const double hit = self.cue3Latch.latch(t);
        view.up.x += kRollAmplitude * dampedCosine(hit, t, kRollQ, kRollR);
    }
}

Part4View planPart4View(part4& self, double t, std::int32_t cue) {
    Part4View view;
    TVector centre, up;
    self.cameraPath.evaluate(0.1 * std::cos(0.333 * t) + 0.26 * t + 1.0, view.eye, centre, up);
    TVector unusedEye;
    self.cameraPath.evaluate(0.2 * std::sin(0.5 * t) + 0.26 * t + 1.2, unusedEye, view.centre,
                             view.up);
    self.controlPath.evaluate(0.26 * t + 1.0, view.o1, view.o2, view.o3);
    respondToCue(self, t, cue, view);
    self.o1 = view.o1;
    self.o2 = view.o2;
    self.o3 = view.o3;
    return view;
}

std::int64_t dropCycle(double phase, double t) {
    const auto tick = static_cast<std::int64_t>(std::trunc(1000.0 * (4.0 * phase - 1.4 * t)));
    return tick % 14000; // C++ keeps the dividend's sign
}

RainRing planRainRing(const Raindrop& drop, double t) {
    const double spread = dropCycle(drop.phase, t) / 1000.0 + 5.7;
    RainRing ring;
    ring.drawn = spread > 0.0;
    ring.x = drop.x + spread;
    ring.z = drop.z;
    ring.grey = 1.0 - 0.6 * spread;
    return ring;
}

FallingDrop planFallingDrop(const Raindrop& drop, double t) {
    FallingDrop fall;
    fall.y = dropCycle(drop.phase, t) / 1000.0 + 4.0;
    if (fall.y > -2.0) {
        fall.facing = fall.y < -1.3 ? DropFacing::Viewer : DropFacing::KeepingDepth;
    }
    fall.splash = fall.y < -1.4;
    return fall;
}

double dropFadeIn(double t) {
    return t < 2.0 ? 0.5 * t : 1.0;
}

int growLightTree(ModelviewStack& stack, QuadBatch& batch, const LightTreeLevel& level) {
    const int n = std::min(level.n, kLightTreeTopLevel);
    const double m = level.m;
    const double l = level.l;
    // The root bends gently; every branch takes the full bend.
    const double k = n == kLightTreeTopLevel ? 0.2 * l : l;
    float colour[4];
    treeColour(n, colour);
    const double f = treeSpriteFactor(n);
    int calls = 1;
    double q = m;
    stack.push();
    for (int i = 0; i < n; ++i) {
        stack.scale(m, m, m);
        stack.rotate(k * std::sin(level.c + level.b * i), 0.0, 0.0, 1.0);
        stack.translate(0.0, level.o, 0.0);
        q *= m;
        const double size = level.h * level.a * f * q;
        // The root's first two sprites would sit inside the vase.
        if (!(n == kLightTreeTopLevel && i < 2)) {
            batch.addFacingQuad(stack.top(), size, size, colour);
        }
        const int next = n - 1;
        if (i == n - 1 && next > 3) {
            const LightTreeLevel branch{q, next,    level.h,       1.1 * l,
                                        m, level.o, 0.4 * level.b, level.c + next};
            stack.push();
            stack.rotate(2.0 * l + 45.0, 0.0, 0.0, 1.0);
            calls += growLightTree(stack, batch, branch);
            stack.pop();
            stack.push();
            stack.rotate(-45.0 - 2.0 * l, 0.0, 1.0, 0.0);
            calls += growLightTree(stack, batch, branch);
            stack.pop();
            stack.push();
            stack.rotate(2.0 * l + 50.0, -1.0, 0.0, 0.0);
            calls += growLightTree(stack, batch, branch);
            stack.pop();
            if (next > 6) {
                LightTreeLevel fourth = branch;
                fourth.b = 0.3 * level.b;
                stack.push();
                stack.rotate(l + 30.0, -1.0, 0.0, -1.0);
                calls += growLightTree(stack, batch, fourth);
                stack.pop();
            }
        }
    }
    stack.pop();
    return calls;
}

void initPart4(part4& self) {
    self.frameCounter = 0;
    self.gridTextureSize = kPictureSize;
    buildCameraPath(self.cameraPath);
    buildControlPath(self.controlPath);
    for (Raindrop& drop : self.raindrops) {
        const int r1 = randomBelow(1000);
        const int r2 = randomBelow(1000);
        const int r3 = randomBelow(1000);
        drop = Raindrop{(r3 - 500) * 0.008, (r2 - 500) * 0.008, (r1 - 500) * 0.004, 1};
    }
    for (double& phase : self.rayPhases) {
        phase = randomBelow(1000) * 0.001;
    }
}

void startPart4(part4& self) {
    self.aspect = kAspect;
}

void drawScene(part4& self, double t, TextureTable& textures) {
    drawMirrorVase(textures);
    drawFloor(textures);
    drawVase(textures);
    drawTree(self, t, textures);
    drawSunRays(self, t);
    drawRainRings(self, textures, t);
    drawFallingDrops(self, textures, t);
    drawSunGlare(textures, t);
    drawFlareChain(textures);
    glDepthMask(GL_TRUE);
}

void drawLightTree(part4& /*self*/, double /*t*/, double a, TextureTable& textures, int n, double h,
                   double l, double m, double o, double b, double c) {
    bindTexture(textures, kBlobTexture);
    ModelviewStack stack = currentModelview();
    QuadBatch& batch = reusedBatch(kTreeBatch);
    growLightTree(stack, batch, LightTreeLevel{a, n, h, l, m, o, b, c});
    batch.draw();
}

bool renderPart4(part4& self, std::int32_t cue, TextureTable& textures, double* time,
                 OffscreenBuffer& buffer) {
    const double t = *time;
    if (t > timing::segmentEnd(4)) {
        return true;
    }
    ++self.frameCounter;
    setUpLightAndMaterial();
    const Part4View view = planPart4View(self, t, cue);
    glEnable(GL_DEPTH_TEST);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glDisable(GL_FOG);

    drawOffscreenPass(self, textures, t, view, buffer);

    beginWindowPass(buffer, 0.0f, 0.0f, 0.0f, self.aspect);
    drawWindowPicture(self, textures);
    glFlush();
    return false;
}
