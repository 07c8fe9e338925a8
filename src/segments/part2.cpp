#include "segments/part2.h"

#include <cmath>

#include <GL/gl.h>
#include <GL/glu.h>

#include "anim/timing.h"
#include "geometry/asc_mesh.h"
#include "gfx/drawing.h"
#include "platform/asset_path.h"

part2 part2Object;

namespace {

using namespace gfx;

constexpr int kObjectList = 1001;
constexpr int kTunnelList = 1002;
constexpr int kRingList = 1003;
constexpr int kSkinTexture = 1083;
constexpr int kStarTexture = 1084;
constexpr int kWipeTexture = 1102;
constexpr int kGlowTexture = 1103;
constexpr FeedbackPair kFeedback{1110};
constexpr int kFeedbackSize = 256;
// The last picture at 0.794 plus the fresh one at 0.475; at eye distance 2.44
// the quad covers slightly less than the view, so trails contract inward.
constexpr FeedbackMix kFeedbackMix{2.44, 0.475f, 0.794f};
constexpr int kObjectCount = 20;
// Bounding radii: a mesh fitted into the unit cube, turned any way; a ring
// with its two star sprites of half-diagonal 1.6 sqrt 2.
constexpr double kObjectRadius = 1.75;
constexpr double kRingRadius = 2.3;

// Light 0 from direction (1, 1, 0) of the current view, coloured material on.
void setUpLight() {
    glEnable(GL_LIGHTING);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    const GLfloat position[4] = {1.0f, 1.0f, 0.0f, 0.0f};
    const GLfloat diffuse[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    const GLfloat ambient[4] = {1.0f, 1.0f, 1.0f, 0.0f};
    glLightfv(GL_LIGHT0, GL_POSITION, position);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
    glEnable(GL_LIGHT0);
    glEnable(GL_COLOR_MATERIAL);
}

void setUpMaterial() {
    static constexpr float kAmbient[4] = {0.4f, 0.4f, 0.4f, 1.0f};
    static constexpr float kDiffuse[4] = {0.2f, 0.2f, 0.2f, 1.0f};
    setMaterialColours(kAmbient, kDiffuse);
    glDisable(GL_COLOR_MATERIAL);
}

// Sideways sway shared by the floating objects and the rings.
double swayX(int i, double t) {
    return std::sin((0.35 * std::sin(i / 30.0) + 0.4) * 0.65 * t + 1.8 * i) *
           (0.4 * std::sin(i / 22.0) + 1.8);
}

void buildCameraPath(Router& path) {
    static constexpr double kKeys[4][3][3] = {{{-1, 0, -0.7}, {-0.25, 0, 0}, {0, 1, 0}},
                                              {{-1, 0, -0.7}, {-0.25, 0, 0}, {0, 1, 0}},
                                              {{-0.04, 0, -1}, {0.3, 0, 1}, {0, 1, 0}},
                                              {{-0.01, 0, 1.5}, {0.6, 0, 3}, {0, 1, 0}}};
    setUpClosedPath(path, 3, 4, [](int k, int track) {
        return makeKey(kKeys[k][track][0], kKeys[k][track][1], kKeys[k][track][2]);
    });
}

void buildGlowPath(Router& path) {
    // Track 0 y moves the glow closer; track 2 z is its brightness.
    static constexpr double kDistance[25] = {0, 0, 0, 0, 0,   0,   0,   0, 0, 0, 0, 0, 0,
                                             0, 0, 0, 0, 0.1, 0.3, 0.7, 1, 1, 1, 1, 1};
    static constexpr double kBrightness[25] = {0, 0,   0, 0, 0, 0, 0, 0, 0.5, 1, 0.5, 0, 0,
                                               0, 0.5, 1, 2, 2, 2, 2, 2, 2,   2, 2,   2};
    setUpClosedPath(path, 3, 25, [](int k, int track) {
        return track == 0   ? makeKey(0.0, kDistance[k], 0.0)
               : track == 2 ? makeKey(0.0, 0.0, kBrightness[k])
                            : makeKey(0.0, 0.0, 0.0);
    });
}

// Each triangle hops near its place, swings out to a circle of radius 0.5 in
// the plane z = 0, visits its partner's place and comes home.
void buildFacePath(Router& path, int i, const float* a, const float* w) {
    const double ax = a[0], ay = a[1], az = a[2];
    const double angle = i / 1270.0;
    const TVector keys[8] = {makeKey(ax, ay + 0.04, az),
                             makeKey(ax + 0.01, ay, az + 0.03),
                             makeKey(ax, ay + 0.06, az),
                             makeKey(ax + 0.01, ay, az),
                             makeKey(0.5 * std::sin(angle), 0.5 * std::cos(angle), 0.0),
                             makeKey(w[0] + 0.04, w[1], w[2]),
                             makeKey(w[0], w[1], w[2]),
                             makeKey(ax, ay, az)};
    setUpClosedPath(path, 3, 8,
                    [&keys](int k, int track) { return track == 0 ? keys[k] : makeKey(0, 0, 0); });
}

void loadExplodedMesh(part2& self) {
    self.faceCount = 0;
    const std::string path = assetPath("hlvd\\round3.asc");
    int count = 0;
    if (LoadAscTriangles(path.c_str(), count, self.faceCorners, self.faceNormals, kPart2MaxFaces) !=
            1 ||
        count < 0 || count > kPart2MaxFaces) {
        return; // no glitter without the mesh
    }
    self.faceCount = count;
    for (int i = 0; i < count; ++i) {
        const float* corners = self.faceCorners[i];
        for (int c = 0; c < 3; ++c) {
            self.cornerOffsetsB[i][c] = corners[3 + c] - corners[c];
            self.cornerOffsetsC[i][c] = corners[6 + c] - corners[c];
        }
        buildFacePath(self.facePaths[i], i, corners, self.faceCorners[mirrorFace(i, count)]);
    }
}

void drawTunnel(const TextureTable& textures, int n, double t) {
    enableTextureGeneration(true);
    bindTexture(textures, kFeedback.current(n));
    glPushMatrix();
    glRotatef(static_cast<float>(10.0 * std::sin(0.1 * t) + 30.0), 1.0f, 0.0f, 0.0f);
    gluLookAt(0.0, 0.0, 0.0, 0.0, std::sin(0.2 * t), std::cos(0.2 * t), 1.0, 0.0, 0.0);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glEnable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
    glColor3f(0.12f, 0.1f, 0.05f);
    glScalef(static_cast<float>(2.0 + 0.4 * std::sin(0.3 * t)),
             static_cast<float>(2.0 + 0.4 * std::sin(0.5 * t)),
             static_cast<float>(2.0 + 0.4 * std::sin(0.4 * t)));
    glBlendFunc(GL_ONE, GL_ONE);
    glCallList(kTunnelList);
    glBlendFunc(GL_ZERO, GL_SRC_COLOR);
    glDisable(GL_TEXTURE_2D);
    glPopMatrix();
    glEnable(GL_DEPTH_TEST);
}

// Even objects are drawn with the darkening blend, odd ones opaque.
void drawFloatingObjects(const TextureTable& textures, double t) {
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
    for (int i = 0; i < kObjectCount; ++i) {
        glPushMatrix();
        if (i % 2 == 1) {
            glDisable(GL_BLEND);
        } else {
            glEnable(GL_BLEND);
        }
        if (floatingObjectVisible(i, t)) {
            const double h = 1.5 * i + 8.0;
            glTranslatef(static_cast<float>(swayX(i, t)), static_cast<float>(h - 0.25 * t),
                         static_cast<float>(5.0 * std::sin(0.025 * t + i) - 3.0));
            // Most rise above or sink below the view; their geometry would
            // only cost vertex work.
            const bool inView = sphereMayBeVisible(kObjectRadius);
            glRotatef(static_cast<float>(std::sin(0.3 * t + 3 * i) * (10.0 * std::sin(i) + 30.0)),
                      static_cast<float>(0.3 * std::sin(1.3 * i) + 0.4), 0.0f, 1.0f);
            glRotatef(180.0f, 0.0f, 1.0f, 0.0f);
            bindTexture(textures, kSkinTexture);
            if (inView) {
                glCallList(kObjectList);
            }
        }
        glPopMatrix();
    }
}

void drawStarSprites(const TextureTable& textures, double t, bool inView) {
    enableTextureGeneration(false);
    glDisable(GL_DEPTH_TEST);
    glColor3f(1.0f, 0.5f, 0.5f);
    glDisable(GL_LIGHTING);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    glEnable(GL_TEXTURE_2D);
    bindTexture(textures, kStarTexture);
    for (int j = 0; j < 2; ++j) {
        glPushMatrix();
        faceViewer();
        glScalef(1.6f, 1.6f, 1.6f);
        glRotatef(static_cast<float>(std::sin(2.0 * (j + 1)) * 3.5 * t), 0.0f, 0.0f, 1.0f);
        if (inView) {
            drawUnitQuad();
        }
        glPopMatrix();
    }
}

void drawRings(const TextureTable& textures, double t) {
    glPushMatrix();
    for (int i = 0; i < kObjectCount; ++i) {
        glPushMatrix();
        glEnable(GL_TEXTURE_2D);
        glEnable(GL_DEPTH_TEST);
        glDisable(GL_LIGHTING);
        glColor3f(0.4f, 0.4f, 0.4f);
        if (ringVisible(i, t)) {
            const double h = 1.5 * i;
            glTranslatef(static_cast<float>(swayX(i, t)),
                         static_cast<float>(5.0 * std::sin(0.025 * t + i) - 3.0),
                         static_cast<float>(h - 0.25 * t));
            const bool inView = sphereMayBeVisible(kRingRadius);
            drawStarSprites(textures, t, inView);
            bindTexture(textures, kSkinTexture);
            enableTextureGeneration(true);
            glEnable(GL_DEPTH_TEST);
            glEnable(GL_LIGHTING);
            glRotatef(static_cast<float>(std::sin(0.3 * t + 3 * i) * (50.0 * std::sin(i) + 30.0)),
                      static_cast<float>(0.3 * std::sin(1.3 * i) + 0.4), 0.3f, 1.0f);
            glScalef(0.8f, 0.7f, 0.7f);
            if (inView) {
                glCallList(kRingList);
            }
        }
        glPopMatrix();
    }
    glPopMatrix();
}

// Every face of the exploded mesh as three dim additive points, each face
// flying along its own path. The points go to GL as one array: thousands of
// single calls would cost more than the drawing.
void drawGlitter(part2& self, double t) {
    glPointSize(6.0f);
    glDisable(GL_POINT_SMOOTH);
    TVector p, unused2, unused3;
    for (int i = 0; i < self.faceCount; ++i) {
        const float colour[3] = {static_cast<float>(0.03 * std::sin(1.5 * t + i / 300.0) + 0.03),
                                 static_cast<float>(0.015 * std::sin(1.55 * t + i / 300.0) + 0.02),
                                 static_cast<float>(0.012 * std::sin(1.65 * t + i / 360.0) + 0.01)};
        Router& path = self.facePaths[i];
        path.usedTrackCount = 1;
        path.evaluate(1.0 + 0.1 * t + 0.02 * (i % 50), p, unused2, unused3);
        const float* offsets[3] = {nullptr, self.cornerOffsetsB[i], self.cornerOffsetsC[i]};
        for (int corner = 0; corner < 3; ++corner) {
            float* point = self.glitterPoints[3 * i + corner];
            float* pointColour = self.glitterColours[3 * i + corner];
            for (int c = 0; c < 3; ++c) {
                const double offset = offsets[corner] != nullptr ? offsets[corner][c] : 0.0;
                point[c] = static_cast<float>(p[c] + offset);
                pointColour[c] = colour[c];
            }
        }
    }
    if (self.faceCount == 0) {
        return;
    }
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, self.glitterPoints);
    glColorPointer(3, GL_FLOAT, 0, self.glitterColours);
    glDrawArrays(GL_POINTS, 0, 3 * self.faceCount);
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
}

void drawGlow(part2& self, const TextureTable& textures, double t, std::int32_t cue) {
    glPushMatrix();
    glLoadIdentity();
    enableTextureGeneration(false);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    glEnable(GL_BLEND);
    TVector distance, unused, brightness;
    self.glowPath.evaluate(glowPathParameter(t, cue), distance, unused, brightness);
    gluLookAt(0.0, 0.0, 1.2 - 0.9 * distance.y, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
    const double b = brightness.z;
    setColor(0.08 * b, 0.08 * b, 0.15 * b);
    bindTexture(textures, kGlowTexture);
    glBlendFunc(GL_ONE, GL_ONE);
    if (b > 0.01) {
        const double q = 2.0 * glowTime(t, cue);
        for (int i = 0; i < 3; ++i) {
            const double m = i + 1;
            glPushMatrix();
            glTranslatef(static_cast<float>(0.3 * std::sin(0.18 * q + i)),
                         static_cast<float>(0.3 * std::sin(0.12 * q + i)), 0.0f);
            glBegin(GL_QUADS);
            glTexCoord2f(static_cast<float>(0.2 * std::sin(0.09 * q * m)), 0.0f);
            glVertex3f(-1.0f, -1.0f, 0.0f);
            glTexCoord2f(static_cast<float>(1.0 - 0.2 * std::sin(0.069 * q * m)), 0.0f);
            glVertex3f(1.0f, -1.0f, 0.0f);
            glTexCoord2f(1.0f, static_cast<float>(1.0 - 0.3 * std::sin(0.108 * q * m)));
            glVertex3f(1.0f, 1.0f, 0.0f);
            glTexCoord2f(static_cast<float>(0.3 * std::sin(0.039 * q * m)), 1.0f);
            glVertex3f(-1.0f, 1.0f, 0.0f);
            glEnd();
            glPopMatrix();
        }
    }
    glPopMatrix();
}

void drawOffscreenPass(part2& self, TextureTable& textures, double t, std::int32_t cue,
                       const OffscreenBuffer& buffer) {
    buffer.makeBufferCurrent();
    glViewport(0, 0, kFeedbackSize, kFeedbackSize);
    glClearColor(0.0f, 0.0f, 0.06f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    loadPerspective(45.0, self.aspect, 0.01, 174.0);
    glPushMatrix();
    useObjectLinearGeneration(0.3f);
    enableTextureGeneration(false);
    gluLookAt(2.4 * std::sin(0.079 * t), 0.0, 2.4 * std::cos(0.079 * t), 0.0,
              0.5 * std::sin(0.039 * t), 0.0, 0.0, -1.0, 0.0);
    // The light is placed in this view, so its direction stays fixed here.
    setUpLight();
    setUpMaterial();
    glEnable(GL_DEPTH_TEST);
    drawOffscreenScene(self, t, textures, cue);
    enableTextureGeneration(false);
    glPopMatrix();

    feedPictureBack(kFeedback, self.frameCounter, textures, self.aspect, kFeedbackMix,
                    kFeedbackSize);
}

void drawFeedbackPicture(part2& self, const TextureTable& textures) {
    glPushMatrix();
    lookAtFullScreenLayer(2.3, self.aspect);
    glDisable(GL_LIGHTING);
    glEnable(GL_TEXTURE_2D);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glDisable(GL_DEPTH_TEST);
    bindTexture(textures, kFeedback.current(self.frameCounter));
    glScalef(1.04f, 1.04f, 1.04f);
    drawUnitQuad();
    glPopMatrix();
}

void drawFrontObject(part2& self, const TextureTable& textures, const Part2FramePlan& plan) {
    glPushMatrix();
    glLoadIdentity();
    enableTextureGeneration(true);
    TVector eye, centre, up;
    self.cameraPath.evaluate(0.12 * plan.t + 1.0, eye, centre, up);
    gluLookAt(eye.x, eye.y, eye.z, centre.x, centre.y, centre.z, up.x, up.y, up.z);
    glEnable(GL_LIGHTING);
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    useSphereMapGeneration();
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    bindTexture(textures, kFeedback.current(self.frameCounter));
    glColor3f(1.0f, 1.0f, 1.0f);
    glEnable(GL_TEXTURE_2D);
    if (plan.frontObject) {
        glCallList(kObjectList);
    }
    glPopMatrix();
}

// A gradient with a black quad to its right slides across and uncovers the
// picture by multiplying it.
void drawGradientWipe(const TextureTable& textures, double t) {
    glPushMatrix();
    gluLookAt(0.0, 0.0, 1.5, 0.0, 0.0, 0.0, 0.3, 1.0, 0.0);
    enableTextureGeneration(false);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ZERO, GL_SRC_COLOR);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glTranslatef(static_cast<float>(0.64 * t * t - 1.5), 0.0f, 0.0f);
    const float s = static_cast<float>(0.2 * t);
    const float r = static_cast<float>(0.3 * t);
    for (int j = 0; j < 2; ++j) {
        glPushMatrix();
        glTranslatef(2.0f * j, 0.0f, 0.0f);
        bindTexture(textures, kWipeTexture);
        if (j == 1) {
            glDisable(GL_TEXTURE_2D);
            glColor3f(0.0f, 0.0f, 0.0f);
        }
        glBegin(GL_QUADS);
        glTexCoord2f(0.01f, s + 0.01f);
        glVertex3f(-1.0f, -1.0f, 0.0f);
        glTexCoord2f(0.99f, s + 0.01f);
        glVertex3f(1.0f, -1.0f, 0.0f);
        glTexCoord2f(0.99f, s + 0.99f);
        glVertex3f(1.0f, 1.0f, 0.0f);
        glTexCoord2f(0.0f, r + 1.0f);
        glVertex3f(-1.0f, 1.0f, 0.0f);
        glEnd();
        glPopMatrix();
    }
    glPopMatrix();
}

} // namespace

Part2FramePlan planPart2Frame(double t, std::int32_t cue) {
    Part2FramePlan plan;
    plan.t = cue > 0 ? 18.0 - cue : t;
    plan.frontObject = plan.t < 13.0;
    plan.gradientWipe = plan.t < 10.0;
    return plan;
}

bool floatingObjectVisible(int i, double t) {
    const double h = 1.5 * i + 8.0;
    return h - 0.5 * t < 7.0 && h - 0.25 * t > -5.0;
}

bool ringVisible(int i, double t) {
    const double h = 1.5 * i;
    return h - 0.5 * t < 7.0 && h - 0.25 * t > -25.0;
}

int mirrorFace(int i, int faceCount) {
    return faceCount > 0 ? (faceCount - i % faceCount) % faceCount : 0;
}

void initPart2(part2& self) {
    self.frameCounter = 0;
    self.faceCount = 0;
    buildCameraPath(self.cameraPath);
    buildGlowPath(self.glowPath);
    loadExplodedMesh(self);
}

void startPart2(part2& self) {
    glClearDepth(1.0);
    self.aspect = kAspect;
}

void drawOffscreenScene(part2& self, double t, TextureTable& textures, std::int32_t cue) {
    const int n = self.frameCounter;
    glPushMatrix();
    glLoadIdentity();
    drawTunnel(textures, n, t);

    glPushMatrix();
    gluLookAt(0.0, 0.0, 4.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
    drawFloatingObjects(textures, t);
    drawRings(textures, t);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ZERO, GL_SRC_COLOR);
    bindTexture(textures, kFeedback.current(n));
    glDisable(GL_DEPTH_TEST);
    glPopMatrix();
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);

    gluLookAt(1.7 * std::sin(0.123 * t), 0.0, 1.7 * std::cos(0.123 * t), 0.0, 0.0, 0.0, 0.0, 1.0,
              0.0);
    glBlendFunc(GL_ONE, GL_ONE);
    enableTextureGeneration(false);
    drawGlitter(self, t);
    enableTextureGeneration(true);
    glPopMatrix();

    drawGlow(self, textures, t, cue);
}

bool renderPart2(part2& self, std::int32_t cue, TextureTable& textures, double* time,
                 OffscreenBuffer& buffer) {
    ++self.frameCounter;
    if (*time > timing::segmentEnd(2)) {
        return true;
    }
    setUpLight();
    const Part2FramePlan plan = planPart2Frame(*time, cue);
    *time = plan.t; // the rewound clock holds for the rest of this frame
    setUpMaterial();
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glDisable(GL_FOG);

    drawOffscreenPass(self, textures, plan.t, cue, buffer);

    beginWindowPass(buffer, 0.0f, 0.0f, 0.0f, self.aspect);

    drawFeedbackPicture(self, textures);
    drawFrontObject(self, textures, plan);
    if (plan.gradientWipe) {
        drawGradientWipe(textures, plan.t);
    }
    enableTextureGeneration(false);
    glFlush();
    return false;
}
