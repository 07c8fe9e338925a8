#include "segments/part6.h"

#include <algorithm>
#include <cmath>

#include <GL/gl.h>
#include <GL/glu.h>

#include "anim/timing.h"
#include "anim/vector_ops.h"
#include "gfx/drawing.h"
#include "gfx/random.h"
#include "platform/asset_path.h"

part6 part6Object;

namespace {

using namespace gfx;

// ---------------------------------------------------------------- tuning
constexpr double kPi = 3.1415926535;
constexpr float kBufferAspect = 1.3333334f;
constexpr double kTimeScale = 0.18;
constexpr double kPictureEnd = 27.0;   // s at which the picture stops
constexpr double kGalleryStart = 26.0; // s at which the gallery starts
constexpr double kGalleryOrigin = 144.44444444444443;
constexpr double kGalleryRate = 0.95;
constexpr double kFaceShotStart = 57.0; // on the gallery clock
constexpr int kMirrorSize = 64;
constexpr int kBallSize = 256;
constexpr int kWindowWidth = 800;
constexpr int kWindowHeight = 600;

// Texture ids.
constexpr int kCausticFirst = 7101;
constexpr FeedbackPair kPicturePair{7151};
constexpr int kBubbleTexture = 7161;
constexpr int kMirrorTexture[2] = {7180, 7181};
constexpr int kSparkTexture = 7202;
constexpr int kBallReflection = 7280; // the ball's view back at the viewer
constexpr int kBallRefraction = 7281; // the view through the ball
constexpr int kFaceTexture[2] = {7310, 7311};
// Pre-warmed at these frame counts, in order.
constexpr int kPrewarmFrames[8] = {1, 40, 80, 120, 160, 210, 240, 250};
constexpr int kPrewarmTextures[8] = {7303, 7304, 7305, 7306, 7307, 7308, 7151, 7152};

// Display lists.
constexpr int kTerrainList = 7101;
constexpr int kFrameList = 7103;
constexpr int kGalleryList = 7202;
constexpr int kRoomList = 7203;
constexpr int kFaceList = 7204;
constexpr int kBallList = 7205;
constexpr int kLensBList = 7210;
constexpr int kLensAList = 7211;

// Places.
constexpr double kMirrorPlace[2][3] = {{0.5, -0.1, 0.0}, {-4.0, -0.1, 0.0}};
constexpr double kBall[3] = {0.0, 3.0, 4.0};
constexpr float kGalleryLight[4] = {0.0f, -3.0f, 10.0f, 0.0f};
constexpr float kAmbient[4] = {1.0f, 1.0f, 1.0f, 0.1f};
constexpr float kBlue[4] = {0.0f, 0.1f, 0.5f, 1.0f};
constexpr float kBlack[4] = {0.0f, 0.0f, 0.0f, 1.0f};
constexpr float kNone[4] = {0.0f, 0.0f, 0.0f, 0.0f};
constexpr float kBallAmbient[4] = {0.0f, 0.0f, 0.0f, 1.0f};
constexpr float kBallDiffuse[4] = {0.0f, 0.02f, 0.05f, 1.0f};

// Texture-generation planes of the sea floor; P4 and P5 sway with time.
constexpr float kP1[4] = {0.6f, 0.3f, 0.0f, 0.0f};
constexpr float kP2[4] = {0.0f, 0.3f, 0.6f, 0.0f};
constexpr float kP3[4] = {0.3f, 0.6f, 0.0f, 0.0f};
constexpr float kP6[4] = {0.0f, 0.09f, 0.18f, 0.0f};

// ---------------------------------------------------------------- keys

struct CameraKey {
    double eye[3];
    double centre[3];
};

// Points on the orbits around the sea floor: (a cos(pi k), y, b sin(pi k)).
CameraKey orbitKey(double a, double b, double k, double y, const double centre[3]) {
    return {{a * std::cos(kPi * k), y, b * std::sin(kPi * k)}, {centre[0], centre[1], centre[2]}};
}

void buildSceneCamera(Router& path) {
    CameraKey keys[36];
    const double mirror1[3] = {0.5, -0.1, 0.0};
    for (int k = 0; k < 4; ++k) {
        keys[k] = {{-0.5, -0.1, 0.0}, {0.5, -0.1, 0.0}};
    }
    keys[4] = {{-1.5, -0.1, 0.0}, {0.5, -0.1, 0.0}};
    keys[5] = {{-3.0, -0.1, 0.0}, {0.5, 1.5, 0.0}};
    // Round the floor, looking down at it: wide first, then a tighter half.
    static constexpr double kOrbitHeights[8] = {-2.0, -2.4, -2.8, -3.3, -3.0, -2.7, -2.4, -2.0};
    static constexpr double kOrbitCentres[8] = {3.5, 5.3, 4.0, 3.0, 2.0, 1.0, 0.0, -1.0};
    for (int n = 0; n < 8; ++n) {
        const double k = 0.25 * (n + 1);
        const double a = n < 6 ? -5.0 : -4.0;
        const double b = n < 4 ? -8.0 : -9.0;
        const double centreX = n < 2 ? mirror1[0] : 0.0;
        const double centre[3] = {centreX, kOrbitCentres[n], 0.0};
        keys[6 + n] = orbitKey(a, b, k, kOrbitHeights[n], centre);
    }
    // Down between the mirrors and along the floor, then up to the surface.
    static constexpr CameraKey kLater[22] = {
        {{-6.0, -1.2, 1.5}, {0, -2, 0}},    {{-6.5, -0.8, -1.0}, {0, -3, 0}},
        {{-5.0, -0.6, -3.0}, {0, -2, 0}},   {{-2.5, -0.7, -4.0}, {0, -1, 0}},
        {{0.0, -0.9, -4.0}, {0, 0, 0}},     {{2.0, -1.0, -2.5}, {0, 1, 0}},
        {{2.5, -1.2, 0.0}, {0, 2, 0}},      {{2.0, -1.5, 2.5}, {0, 3, 0}},
        {{0.0, -2.0, 4.0}, {0, 4, 0}},      {{-2.0, -2.5, 4.5}, {0, 5, 0}},
        {{-4.0, -3.5, 4.0}, {0, 5, 0}},     {{-5.0, -5.0, 2.0}, {0, 4.8, 0}},
        {{-4.0, -6.5, 0.0}, {0, 4.7, 0}},   {{-2.5, -8.0, -2.0}, {0, 4.6, 0}},
        {{-1.0, -9.5, -4.0}, {0, 4.55, 0}}, {{0.0, -10.5, -5.0}, {0, 4.52, 0}},
        {{0.0, -10.8, -5.8}, {0, 4.5, 0}},  {{0.0, -11.0, -6.0}, {0, 4.5, 0}},
        {{0.0, -11.0, -6.0}, {0, 4.5, 0}},  {{0.0, -11.0, -6.0}, {0, 4.5, 0}},
        {{0.0, -11.0, -6.0}, {0, 4.5, 0}},  {{0.0, -11.0, -6.0}, {0, 4.5, 0}},
    };
    for (int k = 0; k < 22; ++k) {
        keys[14 + k] = kLater[k];
    }
    setUpClosedPath(path, 3, 36, [&keys](int k, int track) {
        const double* v = track == 0 ? keys[k].eye : keys[k].centre;
        return track == 2 ? makeKey(0.0, -1.0, 0.0) : makeKey(v[0], v[1], v[2]);
    });
}

void buildSceneControl(Router& path) {
    static constexpr double kRaysLevel[36] = {
        205, 205, 205, 205, 210, 212, 210, 160, 0,   0,   0,   0,   0,   0,   0,   0,   40,  70,
        150, 212, 213, 214, 215, 214, 213, 213, 214, 215, 215, 214, 213, 213, 214, 215, 214, 213};
    setUpClosedPath(path, 3, 36, [](int k, int track) {
        if (track == 0) {
            return makeKey(kRaysLevel[k], 0.0, 0.0);
        }
        if (track == 2) {
            return makeKey(k < 23 ? 0.0 : (k == 23 ? 1.0 : 2.0), 0.0, 0.0);
        }
        return makeKey(0.0, 0.0, 0.0);
    });
}

void buildGalleryCamera(Router& path) {
    // In front of the picture inside the doll's house, then backing out
    // straight through its window to the doorway of the room. The steps grow
    // slowly enough that the curve never swings forward into the wall.
    static constexpr double kFirstEye[3] = {0.3834, 2.8153, 3.679};
    static constexpr double kPulledBack[3] = {-0.4, 2.81, 8.72};
    static constexpr double kBackOut[6] = {0.0, 0.0, 0.004, 0.02, 0.07, 0.22};
    static constexpr double kCentres[6][3] = {{0.38, 2.82, 3.49}, {0.38, 2.82, 3.49},
                                              {0.38, 2.82, 3.49}, {0.38, 2.82, 3.6},
                                              {0.3, 2.9, 3.7},    {0.1, 2.95, 3.9}};
    CameraKey keys[26];
    for (int k = 0; k < 6; ++k) {
        for (int c = 0; c < 3; ++c) {
            keys[k].eye[c] = kFirstEye[c] + kBackOut[k] * (kPulledBack[c] - kFirstEye[c]);
            keys[k].centre[c] = kCentres[k][c];
        }
    }
    keys[6] = {{kPulledBack[0], kPulledBack[1], kPulledBack[2]}, {0, 3, 4}};
    keys[7] = {{-1.2, 3.5, 7.2}, {0, 3, 4}};
    // Round the ball, radius 3, an eighth of a turn per key.
    for (int n = 0; n < 6; ++n) {
        const double a = kPi * (0.75 + 0.25 * n);
        keys[8 + n] = {{3.0 * std::cos(a), 3.81, 4.0 + 3.0 * std::sin(a)}, {0, 3, 4}};
    }
    static constexpr CameraKey kLater[12] = {
        {{3.6, 4.05, 5.8}, {0, 3, 4}},  {{4.0, 4.3, 7.0}, {0, 3, 4}},
        {{5.0, 4.8, 5.0}, {0, 3, 4}},   {{5.5, 5.0, 2.0}, {0, 3, 4}},
        {{4.0, 5.0, -1.0}, {0, 3, 4}},  {{1.0, 5.0, -2.0}, {0, 3, 4}},
        {{-2.5, 4.8, -1.0}, {0, 3, 4}}, {{-5.0, 4.5, 2.0}, {0, 3, 4}},
        {{-7.0, 4.2, 5.5}, {0, 3, 4}},  {{-8.0, 3.81, 8.0}, {0, 3, 4}},
        {{-8.0, 7.81, 8.0}, {0, 3, 4}}, {{-6.0, 7.81, 8.0}, {0.38, 4.82, -6.69}},
    };
    for (int k = 0; k < 12; ++k) {
        keys[14 + k] = kLater[k];
    }
    setUpClosedPath(path, 3, 26, [&keys](int k, int track) {
        const double* v = track == 0 ? keys[k].eye : keys[k].centre;
        return track == 2 ? makeKey(0.0, 1.0, 0.0) : makeKey(v[0], v[1], v[2]);
    });
}

void buildGalleryControl(Router& path) {
    static constexpr double kRooms[3][3] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}};
    static constexpr double kUnread[7] = {1, 1, 0.2, 0.1, 0.1, 0.5, 0.5};
    setUpClosedPath(path, 3, 26, [](int k, int track) {
        if (track == 0) {
            const double* r = k < 4 ? kRooms[0] : (k < 6 ? kRooms[k - 3] : nullptr);
            return r ? makeKey(r[0], r[1], r[2]) : makeKey(1.0, 1.0, 1.0);
        }
        if (track == 1) {
            return makeKey(k < 3 ? 0.0 : 1.0, 0.0, 0.0);
        }
        return makeKey(k < 7 ? kUnread[k] : 0.0, 0.0, 0.0);
    });
}

void buildFaceCamera(Router& path) {
    static constexpr double kEye[18][3] = {
        {-1.0, 0.0, -1.2},    {-0.9, 0.1, -1.3},   {-0.7, 0.15, -1.4},  {-0.4, 0.1, -1.5},
        {0.0, 0.05, -1.6},    {0.4, 0.0, -1.5},    {0.7, -0.05, -1.35}, {0.9, -0.1, -1.1},
        {0.8, -0.1, -1.0},    {0.5, -0.1, -1.1},   {0.2, -0.1, -1.2},   {0.0, -0.1, -1.25},
        {-0.2, -0.15, -1.1},  {-0.3, -0.15, -1.0}, {-0.4, -0.2, -0.9},  {-0.45, -0.2, -0.8},
        {-0.48, -0.2, -0.77}, {-0.48, -0.2, -0.77}};
    static constexpr double kOpacity[18] = {0,   0, 0.5, 0, 0.5, 0, 0.1, 0, 0,
                                            0.7, 0, 0,   0, 1,   1, 1,   1, 1};
    setUpClosedPath(path, 3, 18, [](int k, int track) {
        if (track == 0) {
            return makeKey(kEye[k][0], kEye[k][1], kEye[k][2]);
        }
        if (track == 1) {
            return makeKey(0.0, 0.0, k == 14 ? 1.0 : 0.0);
        }
        const double fade = k < 14 ? 1.0 : (k == 14 ? 0.2 : 0.0);
        return makeKey(fade, kOpacity[k], k < 13 ? 1.0 : 0.0);
    });
}

// ---------------------------------------------------------------- small GL helpers

void lookAt(const TVector& eye, const TVector& centre, const TVector& up) {
    gluLookAt(eye.x, eye.y, eye.z, centre.x, centre.y, centre.z, up.x, up.y, up.z);
}

void setLight(const float position[4]) {
    glLightfv(GL_LIGHT0, GL_POSITION, position);
    glLightfv(GL_LIGHT0, GL_AMBIENT, kAmbient);
    glEnable(GL_LIGHT0);
    glEnable(GL_LIGHTING);
}

void useFloorPlanes(const float s[4], const float t[4]) {
    TexGenPlanes planes{};
    std::copy(s, s + 4, planes.s);
    std::copy(t, t + 4, planes.t);
    useObjectLinearGeneration(planes);
    enableTextureGeneration(true);
}

// Ambient and diffuse of the front faces through the coloured material,
// which stays on (the diffuse keeps following the colour).
void frontMaterial(const float ambient[4], const float diffuse[4]) {
    glEnable(GL_COLOR_MATERIAL);
    setMaterialColours(ambient, diffuse, GL_FRONT);
}

// The modelview now in GL, for placing sprites in eye space by hand: one
// matrix read per batch instead of one per sprite.
struct EyePlacement {
    GLfloat m[16];
    EyePlacement() { glGetFloatv(GL_MODELVIEW_MATRIX, m); }
    void toEye(double x, double y, double z, float out[3]) const {
        for (int r = 0; r < 3; ++r) {
            out[r] = static_cast<float>(m[r] * x + m[4 + r] * y + m[8 + r] * z + m[12 + r]);
        }
    }
};

// A viewer-facing square around an eye-space point, turned by `degrees`,
// with texture corners in the order given (lower left, lower right, upper
// right, upper left of the sprite).
void emitSprite(const float centre[3], float half, float degrees, const float tex[4][2]) {
    const float a = degrees * static_cast<float>(kPi / 180.0);
    const float c = std::cos(a) * half, s = std::sin(a) * half;
    static constexpr float kCorner[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
    for (int k = 0; k < 4; ++k) {
        const float x = kCorner[k][0], y = kCorner[k][1];
        glTexCoord2fv(tex[k]);
        glVertex3f(centre[0] + c * x - s * y, centre[1] + s * x + c * y, centre[2]);
    }
}

// ---------------------------------------------------------------- init pieces

void compileLens(int list, Lens lens) {
    glNewList(list, GL_COMPILE);
    glBegin(GL_QUADS);
    for (int e = 0; e < kLensRings; ++e) {
        for (int l = 0; l < kLensSegments; ++l) {
            static constexpr int kCell[4][2] = {{0, 0}, {0, 1}, {1, 1}, {1, 0}};
            for (const auto& corner : kCell) {
                const LensCorner c = lensCorner(lens, e + corner[0], l + corner[1]);
                glNormal3d(c.normal[0], c.normal[1], c.normal[2]);
                glTexCoord2d(c.texture[0], c.texture[1]);
                glVertex3d(c.vertex[0], c.vertex[1], 0.0);
            }
        }
    }
    glEnd();
    glEndList();
}

void buildRelief(part6& self) {
    const auto control = LoadBmpRgb(assetPath("hlvd\\bsp5.bmp").c_str());
    double sx = 0.1, sy = 0.1;
    BuildReliefGrids(self.grids, control.get(), sx, sy);
    self.listBuilt = 0;
    self.frameCounter = 0;
    self.pictureWidth = 450;
    self.pictureHeight = 350;
    self.cameraKeyOffset = 1;
    self.textImage = LoadBmpRgb(assetPath("hlvd\\graytext3.bmp").c_str());
    AddTextRelief(self.grids, 2, self.textImage.get());
    ComputeCellNormals(self.grids);
}

// The height field with y and z exchanged, a fifth of its points each way.
void compileTerrain(const part6& self) {
    const auto& v = self.grids.relief;
    const auto& n = self.grids.cellNormals;
    glNewList(kTerrainList, GL_COMPILE);
    for (int i = 6; i <= 130; i += 2) {
        glBegin(GL_QUAD_STRIP);
        for (int j = 6; j <= 130; j += 2) {
            for (int row : {i + 2, i}) {
                const TVector& normal = n[row][j + 2];
                const TVector& p = v[row][j + 2];
                glNormal3f(static_cast<float>(normal.x), static_cast<float>(normal.z),
                           static_cast<float>(normal.y));
                glVertex3f(static_cast<float>(0.1 * p.x), static_cast<float>(0.1 * p.z),
                           static_cast<float>(0.1 * p.y));
            }
        }
        glEnd();
    }
    glEndList();
}

// ---------------------------------------------------------------- underwater items

enum class Pass { Mirror, Picture };

struct SceneFrame {
    double t;
    Pass pass;
    int mirror; // which mirror pass (Pass::Mirror)
    float spread[kPart6BubblesUsed];
};

void drawTerrain(const TextureTable& textures, const SceneFrame& f) {
    bindTexture(textures, causticFrame(5.0 * f.t));
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    useFloorPlanes(kP1, kP2);
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glEnable(GL_LIGHTING);
    glFogfv(GL_FOG_COLOR, f.pass == Pass::Mirror ? kBlack : kBlue);
    glEnable(GL_FOG);
    glEnable(GL_TEXTURE_2D);
    static constexpr float kDiffuse[4] = {0.3f, 0.9f, 0.9f, 0.16666667f};
    frontMaterial(kNone, kDiffuse);
    glCallList(kTerrainList);
}

void drawFloorQuad() {
    glBegin(GL_QUADS);
    glVertex3d(-15, -5, -15);
    glVertex3d(15, -5, -15);
    glVertex3d(15, -5, 15);
    glVertex3d(-15, -5, 15);
    glEnd();
}

// The caustic light on the water surface, in two or three layers.
void drawFloorLayers(const TextureTable& textures, const SceneFrame& f) {
    const float sway = static_cast<float>(std::sin(0.5 * f.t));
    const float p4[4] = {0.03f * sway, 0.15f, 0.3f, 0.0f};
    const float p5[4] = {0.18f, 0.6f, 0.06f * sway, 0.0f};
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glFogfv(GL_FOG_COLOR, kBlack);
    glEnable(GL_FOG);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    const bool picture = f.pass == Pass::Picture;

    bindTexture(textures, causticFrame(2.5 * f.t));
    useFloorPlanes(kP1, kP2);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glColor4f(1.0f, 1.0f, 1.0f, 0.8f);
    drawFloorQuad();

    bindTexture(textures, causticFrame(2.5 * f.t + 12.0));
    useFloorPlanes(kP3, p4);
    glColor4f(0.5f, 0.6f, picture ? 0.7f : 0.9f, 0.9f);
    drawFloorQuad();
    if (picture) {
        useFloorPlanes(p5, kP6);
        glBlendFunc(GL_ONE, GL_ONE);
        glColor4f(0.4f, 0.7f, 0.79f, 0.9f);
        drawFloorQuad();
    }
}

struct MirrorLook {
    float ambient[4];
    float diffuse[4];
};

void placeMirror(int m) {
    if (m == 0) {
        glTranslatef(0.5f, -0.1f, 0.0f);
        glRotatef(-12.0f, 1.0f, 0.0f, 0.0f);
    } else {
        glTranslatef(-4.0f, 0.0f, 0.0f);
        glRotatef(12.0f, 1.0f, 0.0f, 0.0f);
        glRotatef(15.0f, 0.0f, 0.0f, 1.0f);
    }
    glRotatef(90.0f, 0.0f, 1.0f, 0.0f);
}

void drawMirror(const TextureTable& textures, int m, const MirrorLook& look) {
    enableTextureGeneration(false);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glFogfv(GL_FOG_COLOR, kBlue);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_LIGHTING);
    frontMaterial(look.ambient, look.diffuse);
    glPushMatrix();
    placeMirror(m);
    glPushMatrix();
    glScalef(1.01f, 1.1f, 3.0f);
    glCallList(kFrameList);
    glPopMatrix();
    bindTexture(textures, kMirrorTexture[m]);
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    glFogf(GL_FOG_DENSITY, 0.08f);
    glColor4f(1.0f, 1.0f, 1.0f, 0.88f);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    drawQuad(1.0f, 1.0f, TexRect{0.0f, 1.0f, 1.0f, 0.0f}, QuadCorners::ClockwiseFromLowerLeft);
    glPopMatrix();
}

// Shafts of light from the surface down to the floor, one thin triangle each.
void drawLightRays(const part6& self, double t) {
    glFogf(GL_FOG_DENSITY, 0.15f);
    glFogfv(GL_FOG_COLOR, kBlack);
    glPushMatrix();
    glTranslatef(-1.0f, 0.0f, 0.0f);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glDepthFunc(GL_LESS);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_FALSE);
    glBegin(GL_TRIANGLES);
    int c = 0;
    for (int i = -12; i < 12; ++i) {
        for (int j = -12; j < 12; ++j) {
            ++c;
            const double r = std::sqrt(static_cast<double>(i * i + j * j)) + 1.0;
            const double length = std::min(3626.0 / (35.0 * r + 1.0) + 0.3, 20.0);
            const float a = static_cast<float>(7.0 / (6.0 * r + 5.0));
            const double phase = 4.0 * self.rayPhase[c];
            const float dx = static_cast<float>(std::sin(phase + 0.0042 * t) * 0.2 * length);
            const float dz = static_cast<float>(std::cos(phase + 0.0033 * t) * 0.2 * length);
            glColor4f(0.95f, 0.6f, 0.2f, a);
            glVertex3f(0.08f * dx, -10.0f, 0.08f * dz);
            glColor4f(0.015f, 0.0f, 0.0f, a);
            glVertex3f(0.4f * j, 1.0f, 0.4f * i);
            glColor4f(0.005f, 0.005f, 0.06f, a);
            glVertex3f(0.4f * j + 0.1f * dx, 1.0f, 0.4f * i + 0.1f * dz);
        }
    }
    glEnd();
    glPopMatrix();
    glDepthMask(GL_TRUE);
}

void drawBubbles(const part6& self, const TextureTable& textures, const SceneFrame& f) {
    enableTextureGeneration(false);
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_FOG);
    glDepthMask(GL_FALSE);
    bindTexture(textures, kBubbleTexture);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    glEnable(GL_TEXTURE_2D);
    const EyePlacement camera;
    glPushMatrix();
    glLoadIdentity();
    static constexpr float kTex[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    glBegin(GL_QUADS);
    for (int j = 0; j < kPart6BubblesUsed; ++j) {
        const double y = self.bubbleY[j];
        const double spread = f.pass == Pass::Picture ? (y + 3.0) * 0.2 + 0.3 : f.spread[j];
        float centre[3];
        camera.toEye(self.bubbleX[j] * spread - 2.0, y + 1.0, self.bubbleZ[j] * spread, centre);
        const double d = 1.0 / (y + 3.001);
        glColor4f(static_cast<float>(1 - d), static_cast<float>(1 - 2 * d),
                  static_cast<float>(1 - 3 * d), 1.0f);
        const float turn = f.pass == Pass::Picture ? static_cast<float>(3 * j + 5 * f.t) : 0.0f;
        emitSprite(centre, 0.3f, turn, kTex);
    }
    glEnd();
    glPopMatrix();
    glDepthMask(GL_TRUE);
}

// Caustic light laid over the whole picture in three colour channels.
void drawShaftOverlays(const TextureTable& textures, double t, double raysLevel) {
    glDisable(GL_FOG);
    glPushMatrix();
    glLoadIdentity();
    gluLookAt(0, 0, -1, 0, 0, 0, 0, 1, 0);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    glEnable(GL_TEXTURE_2D);
    enableTextureGeneration(false);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    const double k = 1.0 / (220.0 - raysLevel);
    glColor4f(static_cast<float>(3.5 * k), static_cast<float>(1.2 * k), static_cast<float>(0.4 * k),
              1.0f);
    const int count = shaftOverlayCount(raysLevel);
    for (int j = 1; j <= count; ++j) {
        glColorMask(j % 3 == 0, j % 3 == 1, j % 3 == 2, GL_TRUE);
        bindTexture(textures, causticFrame(0.7 * j * t + 14.0 * j));
        const float r = 0.25f * j;
        drawQuad(1.0f, 1.0f, TexRect{0.0f, 0.0f, r, r});
    }
    glPopMatrix();
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
}

void beginUnderwaterView(int width, int height, float density, double t) {
    glViewport(0, 0, width, height);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glClearColor(0.0f, 0.1f, 0.5f, 0.0f);
    loadPerspective(65.0, kBufferAspect, 0.01, 174.0);
    glLoadIdentity();
    glFogf(GL_FOG_DENSITY, density);
    glFogi(GL_FOG_MODE, GL_EXP2);
    glFogfv(GL_FOG_COLOR, kBlue);
    glEnable(GL_FOG);
    glEnable(GL_TEXTURE_2D);
    const float light[4] = {static_cast<float>(2.0 * std::sin(0.4 * t)), -2.0f, 0.0f, 0.0f};
    setLight(light);
}

// ---------------------------------------------------------------- passes

struct SceneView {
    TVector eye, centre, up;
    double raysLevel = 0.0;
    double mirrorSkip = 0.0;
};

void runMirrorPasses(part6& self, const TextureTable& textures, const OffscreenBuffer& buffer,
                     const SceneView& view, double t) {
    const int passes = mirrorPassCount(view.mirrorSkip);
    for (int m = 0; m < passes; ++m) {
        buffer.makeBufferCurrent();
        beginUnderwaterView(kMirrorSize, kMirrorSize, 0.15f, t);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        if (++self.listBuilt == 1) {
            compileTerrain(self);
        }
        SceneFrame f{t, Pass::Mirror, m, {}};
        for (int j = 0; j < kPart6BubblesUsed; ++j) {
            f.spread[j] = static_cast<float>((self.bubbleY[j] + 3.0) * 0.2 + 0.3);
            riseBubble(self, j);
        }
        const TVector place = makeKey(kMirrorPlace[m][0], kMirrorPlace[m][1], kMirrorPlace[m][2]);
        glPushMatrix();
        lookAt(place, mirrorCentre(view.eye, place), makeKey(0.0, -1.0, 0.0));
        drawTerrain(textures, f);
        drawFloorLayers(textures, f);
        // Each mirror sees the other one.
        static constexpr MirrorLook kOther[2] = {
            {{0, 0, 0, 0}, {0.25f, 0.1f, 0, 0}},     // mirror 2, seen in pass 0
            {{0.1f, 0.1f, 0, 0}, {0.7f, 0.7f, 0, 0}} // mirror 1, seen in pass 1
        };
        drawMirror(textures, 1 - m, kOther[m]);
        drawBubbles(self, textures, f);
        glPopMatrix();
        resetStateForCopy();
        copyPictureInto(textures, kMirrorTexture[m], kMirrorSize, kMirrorSize);
    }
}

// Step 3 of the trail: this frame's picture laid back over itself on a grid
// whose texture coordinates wobble.
void drawWobbleGrid(double t, double w, double h) {
    const double amount = 0.15 * std::sin(0.026 * t);
    const auto s = [w](double x) { return static_cast<float>((x + 6.0) * w / 12.0); };
    const auto tt = [h](double y) { return static_cast<float>((y + 6.0) * h / 12.0); };
    glBegin(GL_QUADS);
    for (int j = -6; j < 6; ++j) {
        const double su = amount * std::sin(0.83 * t + j + 0.25);
        const double sv = amount * std::sin(0.83 * t + j + 1.25);
        const float z0 = static_cast<float>(0.1 * std::sin(1.6 * j + 0.53 * t));
        const float z1 = static_cast<float>(0.1 * std::sin(1.6 * (j + 1) + 0.53 * t));
        const float x0 = j / 6.0f, x1 = (j + 1) / 6.0f;
        for (int k = -6; k < 6; ++k) {
            const double cu = amount * std::cos(k + 0.67 * t);
            const double cv = amount * std::cos(k + 0.67 * t + 1.0);
            const float y0 = k / 6.0f, y1 = (k + 1) / 6.0f;
            glTexCoord2f(s(j + cu), tt(k + su));
            glVertex3f(x0, y0, z0);
            glTexCoord2f(s(j + 1 + cu), tt(k + sv));
            glVertex3f(x1, y0, z1);
            glTexCoord2f(s(j + 1 + cv), tt(k + 1 + sv));
            glVertex3f(x1, y1, z1);
            glTexCoord2f(s(j + cv), tt(k + 1 + su));
            glVertex3f(x0, y1, z0);
        }
    }
    glEnd();
}

void feedBackPicture(const part6& self, const TextureTable& textures, double t) {
    const int width = self.pictureWidth, height = self.pictureHeight;
    const double w = width / 512.0, h = height / 512.0;
    const int cur = kPicturePair.current(self.frameCounter);
    const int prev = kPicturePair.previous(self.frameCounter);
    resetStateForCopy();
    copyPictureInto(textures, cur, width, height);
    glPushMatrix();
    glLoadIdentity();
    gluLookAt(0, 0, 1.73667, 0, 0, 0, 0, 1, 0);
    glScalef(kBufferAspect, 1.0f, 0.0f);
    glDisable(GL_LIGHTING);
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    bindTexture(textures, cur);
    glScalef(1.084f, 1.084f, 1.084f);
    const PictureTrail trail = pictureTrail();
    const float fresh = static_cast<float>(trail.fresh);
    glColor4f(fresh, fresh, fresh, fresh);
    drawWobbleGrid(t, w, h);
    const float kept = static_cast<float>(trail.kept);
    glColor4f(kept, kept, kept, kept);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    bindTexture(textures, prev);
    drawQuad(1.0f, 1.0f, TexRect{0.0f, 0.0f, static_cast<float>(w), static_cast<float>(h)});
    glPopMatrix();
    glDisable(GL_BLEND);
    copyPictureInto(textures, cur, width, height);
}

void drawPicture(part6& self, const TextureTable& textures, const OffscreenBuffer& buffer,
                 const SceneView& view, double t) {
    buffer.makeBufferCurrent();
    beginUnderwaterView(self.pictureWidth, self.pictureHeight, 0.13f, t);
    glClear(raysShine(view.raysLevel) ? GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT
                                      : GL_DEPTH_BUFFER_BIT);
    SceneFrame f{t, Pass::Picture, 0, {}};
    glPushMatrix();
    lookAt(view.eye, view.centre, view.up);
    drawTerrain(textures, f);
    drawFloorLayers(textures, f);
    static constexpr MirrorLook kLooks[2] = {{{0, 0, 0, 0}, {0.25f, 0.1f, 0, 0}},
                                             {{0.1f, 0, 0, 0}, {0.1f, 0.1f, 0, 0}}};
    drawMirror(textures, 0, kLooks[0]);
    drawMirror(textures, 1, kLooks[1]);
    drawLightRays(self, t);
    drawBubbles(self, textures, f);
    glPopMatrix();
    drawShaftOverlays(textures, t, view.raysLevel);
    feedBackPicture(self, textures, t);
}

struct GalleryView {
    TVector eye, centre, up;
    TVector rooms;  // x, y, z: room in the first ball pass, in the second, overlay
    TVector sparks; // x: sparks move and show
};

void drawBallPasses(const part6& self, const TextureTable& textures, const OffscreenBuffer& buffer,
                    const GalleryView& g) {
    const TVector ball = makeKey(kBall[0], kBall[1], kBall[2]);
    TVector towardViewer;
    subtract(g.eye, ball, towardViewer);
    normalise(towardViewer);
    TVector nearViewer;
    add(ball, towardViewer, nearViewer);
    struct BallPass {
        TVector eye, centre;
        bool room;
        int target;
    };
    const BallPass passes[2] = {{nearViewer, ball, g.rooms.x > 0.5, kBallRefraction},
                                {ball, g.eye, g.rooms.y > 0.5, kBallReflection}};
    for (const BallPass& p : passes) {
        buffer.makeBufferCurrent();
        glViewport(0, 0, kBallSize, kBallSize);
        loadPerspective(65.0, self.aspect, 0.01, 174.0);
        glLoadIdentity();
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glPushMatrix();
        lookAt(p.eye, p.centre, g.up);
        setLight(kGalleryLight);
        glEnable(GL_DEPTH_TEST);
        if (p.room) {
            glCallList(kRoomList);
        }
        copyPictureInto(textures, p.target, kBallSize, kBallSize);
        glPopMatrix();
    }
}

// The underwater picture on its wall in the doll's house, framed once the
// gallery shows.
void drawHungPicture(const part6& self, const TextureTable& textures, const GalleryView& g,
                     bool galleryOn) {
    const float w = self.pictureWidth / 512.0f, h = self.pictureHeight / 512.0f;
    glPushMatrix();
    lookAt(g.eye, g.centre, g.up);
    glLightfv(GL_LIGHT0, GL_POSITION, kGalleryLight);
    glTranslatef(static_cast<float>(kBall[0]), static_cast<float>(kBall[1] - 0.4),
                 static_cast<float>(kBall[2]));
    glScalef(0.059f, 0.059f, 0.059f);
    glDisable(GL_BLEND);
    glTranslatef(6.5f, 3.2f, -5.0f);
    glRotatef(180.0f, 0.0f, 1.0f, 0.0f);
    glScalef(0.09f, 0.09f, 0.09f);
    glTranslatef(0.0f, 5.0f, 8.0f);
    glScalef(-0.66825f, 0.495f, 0.495f);
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    bindTexture(textures, kPicturePair.current(self.frameCounter));
    drawQuad(3.0f, 3.0f, TexRect{0.0f, 0.0f, w, h}, QuadCorners::ClockwiseFromLowerLeft);
    glPushMatrix();
    glScalef(3.01f, 3.24f, 2.0f);
    glColor3f(0.65f, 0.65f, 0.65f);
    if (galleryOn) {
        glCallList(kFrameList);
    }
    glPopMatrix();
    glPopMatrix();
}

// Sparks fall through the small gallery and glow where they land; each
// landing starts a new one above.
void drawSparks(part6& self, const TextureTable& textures, const GalleryView& g, double t) {
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    glDisable(GL_LIGHTING);
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_FALSE);
    enableTextureGeneration(false);
    bindTexture(textures, kSparkTexture);
    const bool moving = g.sparks.x > 0.5;
    SparkTrack& sparks = self.sparks;
    const std::int64_t first = firstDrawnSpark(sparks.size());
    sparks.dropBefore(first, kPart6SparksDrawn);
    const EyePlacement room;
    glPushMatrix();
    glLoadIdentity();
    static constexpr float kTex[4][2] = {{0, 1}, {1, 1}, {1, 0}, {0, 0}};
    glBegin(GL_QUADS);
    for (std::int64_t i = first; i < sparks.size(); ++i) {
        const SparkColour c = advanceSpark(sparks, i, t, moving);
        if (!moving) {
            continue;
        }
        const TVector& p = sparks.position(i);
        float centre[3];
        room.toEye(p.x, p.y, p.z, centre);
        setColor(c.r, c.g, c.b);
        emitSprite(centre, 0.018f, 0.0f, kTex);
    }
    glEnd();
    glPopMatrix();
}

void drawGlassBall(const TextureTable& textures) {
    glPushMatrix();
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_LIGHTING);
    glTranslatef(static_cast<float>(kBall[0]), static_cast<float>(kBall[1]),
                 static_cast<float>(kBall[2]));
    // A faint blue glass: the coloured material is switched on for it here,
    // and the ambient is written so that no earlier colour (the last spark's
    // blue) is left in it to light the whole shell.
    glEnable(GL_COLOR_MATERIAL);
    setMaterialColours(kBallAmbient, kBallDiffuse, GL_FRONT);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    glDepthMask(GL_FALSE);
    glScalef(0.91f, 0.91f, 0.91f);
    glCallList(kBallList);
    glDepthMask(GL_TRUE);
    glDisable(GL_LIGHTING);
    glColor3f(0.0f, 0.0f, 0.0f);
    glCallList(kBallList); // lays its depth
    glPopMatrix();

    // Lens A shows the view back from the ball, lens B the view through it.
    glEnable(GL_TEXTURE_2D);
    glPushMatrix();
    glTranslatef(static_cast<float>(kBall[0]), static_cast<float>(kBall[1]),
                 static_cast<float>(kBall[2]));
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    bindTexture(textures, kBallReflection);
    faceViewer();
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glCallList(kLensAList);
    glPopMatrix();
    bindTexture(textures, kBallRefraction);
    glPushMatrix();
    glTranslatef(static_cast<float>(kBall[0]), static_cast<float>(kBall[1]),
                 static_cast<float>(kBall[2]));
    faceViewer();
    glColor4f(1.0f, 1.0f, 1.0f, 0.8f);
    glCallList(kLensBList);
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glPopMatrix();
}

void drawGallery(part6& self, const TextureTable& textures, const GalleryView& g, double t) {
    glPushMatrix();
    lookAt(g.eye, g.centre, g.up);
    glLightfv(GL_LIGHT0, GL_POSITION, kGalleryLight);
    glPushMatrix();
    glTranslatef(static_cast<float>(kBall[0]), static_cast<float>(kBall[1] - 0.4),
                 static_cast<float>(kBall[2]));
    glScalef(0.059f, 0.059f, 0.059f);
    glDisable(GL_BLEND);
    glCallList(kGalleryList);
    glPushMatrix();
    glTranslatef(6.5f, 3.2f, -5.0f);
    glRotatef(180.0f, 0.0f, 1.0f, 0.0f);
    glScalef(0.09f, 0.09f, 0.09f);
    glCallList(kRoomList);
    glPopMatrix();
    drawSparks(self, textures, g, t);
    glDepthMask(GL_TRUE);
    glPopMatrix(); // back to the gallery camera

    drawGlassBall(textures);

    glPushMatrix();
    glLoadIdentity();
    lookAt(g.eye, g.centre, g.up);
    glLightfv(GL_LIGHT0, GL_POSITION, kGalleryLight);
    enableTextureGeneration(true);
    glEnable(GL_LIGHTING);
    if (g.rooms.z > 0.5) {
        glCallList(kRoomList);
    }
    glPopMatrix();
    glPopMatrix();
}

void drawWindow(part6& self, const TextureTable& textures, const OffscreenBuffer& buffer,
                const GalleryView& g, bool galleryOn, double t) {
    buffer.makeWindowCurrent();
    glViewport(0, 0, kWindowWidth, kWindowHeight);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    setLight(kGalleryLight);
    glEnable(GL_DEPTH_TEST);
    enableTextureGeneration(false);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    loadPerspective(45.0, self.aspect, 0.01, 174.0);
    glLoadIdentity();
    glEnable(GL_TEXTURE_2D);
    drawHungPicture(self, textures, g, galleryOn);
    if (galleryOn) {
        drawGallery(self, textures, g, t);
    }
}

// The child's face: its depth first, then the two pictures blended on it.
void drawFaceShot(const part6& self, const TextureTable& textures, double faceParameter) {
    TVector eye, flicker, fade;
    self.faceCamera.evaluate(faceParameter, eye, flicker, fade);
    glPushMatrix();
    glDisable(GL_LIGHTING);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glEnable(GL_TEXTURE_2D);
    bindTexture(textures, kFaceTexture[0]);
    useObjectLinearGeneration(
        TexGenPlanes{{0.56f, 0.0f, 0.0f, 0.51f}, {0.0f, 0.8984f, 0.0f, 0.55f}});
    enableTextureGeneration(true);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    glLoadIdentity();
    gluLookAt(eye.x, eye.y, eye.z, 0, 0, 0, 0, 1, 0);
    const double flick = (1000 - randomBelow(1000)) * 0.00015 * flicker.z + fade.x;
    glClear(GL_DEPTH_BUFFER_BIT);
    glDepthFunc(GL_LESS);
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    glPushMatrix();
    glDisable(GL_TEXTURE_2D);
    glCallList(kFaceList);
    bindTexture(textures, kFaceTexture[0]);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDepthFunc(GL_EQUAL);
    glColor4f(1.0f, 1.0f, 1.0f, static_cast<float>((1.0 - flick) * fade.y));
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glEnable(GL_TEXTURE_2D);
    if (fade.z < 1.0) {
        glCallList(kFaceList);
    }
    glColor4f(1.0f, 1.0f, 1.0f, static_cast<float>(flick * fade.y));
    bindTexture(textures, kFaceTexture[1]);
    glCallList(kFaceList);
    glPopMatrix();
    glDepthFunc(GL_LESS);
    glPopMatrix();
    enableTextureGeneration(false);
    glDisable(GL_BLEND);
}

void prewarm(const part6& self, const TextureTable& textures) {
    for (int k = 0; k < 8; ++k) {
        if (self.frameCounter == kPrewarmFrames[k]) {
            prewarmTexture(textures, kPrewarmTextures[k]);
        }
    }
}

} // namespace

// ---------------------------------------------------------------- planning

void SparkTrack::clear() {
    positions_.clear();
    fades_.clear();
    firstKept_ = 0;
}

void SparkTrack::append(const TVector& position, double fade) {
    positions_.push_back(position);
    fades_.push_back(fade);
}

void SparkTrack::dropBefore(std::int64_t first, std::size_t slack) {
    const std::int64_t stale = first - firstKept_;
    if (stale <= 0 || static_cast<std::size_t>(stale) <= slack) {
        return;
    }
    positions_.erase(positions_.begin(), positions_.begin() + stale);
    fades_.erase(fades_.begin(), fades_.begin() + stale);
    firstKept_ = first;
}

Part6FramePlan planPart6Frame(double t, int cameraKeyOffset) {
    Part6FramePlan plan;
    plan.s = kTimeScale * t;
    plan.pictureOn = plan.s < kPictureEnd;
    plan.galleryOn = plan.s >= kGalleryStart;
    plan.sceneParameter = cameraKeyOffset + 0.4 + kTimeScale * t;
    plan.w = (t - kGalleryOrigin) * kGalleryRate;
    plan.galleryParameter = plan.galleryOn ? kTimeScale * plan.w + 1.0 : 1.0;
    plan.faceShot = plan.w > kFaceShotStart;
    plan.faceParameter = (plan.w - kFaceShotStart) * kTimeScale + 1.0;
    return plan;
}

int causticFrame(double x) {
    // Whole part and remainder as C takes them; a negative value (never
    // reached by the clocks) is folded into the same sixteen frames.
    const int frame = static_cast<int>(x) % 16;
    return kCausticFirst + 2 * (frame < 0 ? frame + 16 : frame);
}

int mirrorPassCount(double mirrorSkip) {
    return std::clamp(2 - static_cast<int>(mirrorSkip), 0, 2);
}

bool raysShine(double raysLevel) {
    return raysLevel > 0.0001;
}

PictureTrail pictureTrail() {
    // The trail keeps 0.9 x 0.9 of itself and the new picture adds a
    // quarter: a cleared still scene settles a third above its own
    // brightness, and a picture that is not cleared grows by 6 % a frame, so
    // the old picture shows through more and more while the rays are off.
    return {0.25, 0.9};
}

double trailStep(const PictureTrail& trail, double picture, double previousTrail) {
    return std::min(1.0, trail.fresh * picture + trail.kept * trail.kept * previousTrail);
}

int shaftOverlayCount(double raysLevel) {
    return raysShine(raysLevel) ? 5 : 0;
}

TVector mirrorCentre(const TVector& eye, const TVector& mirror) {
    const TVector n = makeKey(-1.0, 0.0, 0.0);
    TVector u;
    subtract(eye, mirror, u);
    normalise(u);
    const double along = n.x * u.x + n.y * u.y + n.z * u.z;
    TVector k = makeKey(along * n.x + mirror.x - eye.x, along * n.y + mirror.y - eye.y,
                        along * n.z + mirror.z - eye.z);
    k.x = -k.x;
    return k;
}

LensCorner lensCorner(Lens lens, int ring, int segment) {
    const double theta = ring * 1.570796325 / kLensRings;
    const double phi = segment * 6.2831853 / kLensSegments;
    const double s = std::sin(theta);
    const double c = std::sqrt(std::max(0.0, 1.0 - s * s));
    const double q[3] = {std::sin(phi) * c, std::cos(phi) * c, s};
    const double h = lens == Lens::A ? 0.6 * s + 0.2 : 0.36 * std::cos(theta) + 0.1;
    TVector d = makeKey(-q[0], -q[1], -h);
    normalise(d);
    LensCorner corner{{-q[0], -q[1], -q[2]}, {q[0], q[1]}, {0.0, 0.0}};
    if (lens == Lens::A) {
        const double lambda = (-2.5 - q[2]) / d.z;
        corner.texture[0] = 0.5 + 0.06 * (q[0] + lambda * d.x);
        corner.texture[1] = 0.5 - 0.06 * (q[1] + lambda * d.y);
    } else {
        const double lambda = -2.5 / d.z;
        corner.texture[0] = 0.5 - 0.04 * lambda * d.x;
        corner.texture[1] = 0.5 - 0.04 * lambda * d.y;
    }
    return corner;
}

namespace {
// A random direction of unit length; three draws.
TVector randomDirection() {
    const double r1 = randomBelow(10000);
    const double r2 = randomBelow(10000);
    const double r3 = randomBelow(10000);
    TVector v = makeKey(r3 * 0.0001 - 0.5, r2 * 0.0001 - 0.5, r1 * 0.0001 - 0.5);
    normalise(v);
    v.state = 1;
    return v;
}
} // namespace

TVector startingSpark() {
    TVector v = randomDirection();
    v.y = std::abs(v.y);
    return scale(v, 12.0, v);
}

TVector respawnedSpark() {
    TVector v = randomDirection();
    scale(v, 13.4, v);
    if (v.y < -8.0) {
        v.y = std::abs(v.y);
    }
    v.y += 8.0;
    return v;
}

SparkColour advanceSpark(SparkTrack& sparks, std::int64_t i, double t, bool moving) {
    const double f = sparks.fade(i);
    const SparkColour colour{1.0 - f, 1.0 - f, 1.4 - f};
    const double fade = sparks.fade(i) = 0.95 * f;
    TVector& p = sparks.position(i);
    if (moving && p.y > 0.3) {
        p.y -= 0.08 + randomBelow(600) * 0.0001;
        const double sway = std::sin(static_cast<double>(i) + t) * (1.0 - fade) * 0.083;
        p.x += sway;
        p.z += sway;
    }
    if (p.y < 0.3) {
        p.y = 0.3;
        sparks.append(respawnedSpark(), 1.0); // p is not used after this
    }
    return colour;
}

std::int64_t firstDrawnSpark(std::int64_t n) {
    return n > kPart6SparksDrawn ? n - kPart6SparksDrawn : 0;
}

void riseBubble(part6& self, int j) {
    self.bubbleY[j] -= 0.2 * self.bubbleSpeed[j];
    if (self.bubbleY[j] < -3.0) {
        self.bubbleY[j] += 6.0;
    }
}

// ---------------------------------------------------------------- init, start, render

void initPart6(part6& self) {
    buildRelief(self);
    buildFaceCamera(self.faceCamera);
    buildSceneCamera(self.sceneCamera);
    buildSceneControl(self.sceneControl);
    buildGalleryCamera(self.galleryCamera);
    buildGalleryControl(self.galleryControl);
    compileLens(kLensBList, Lens::B);
    self.sparks.clear();
    for (int i = 0; i < kPart6StartSparks; ++i) {
        self.sparks.append(startingSpark(), 1.0);
    }
    compileLens(kLensAList, Lens::A);
    for (double& phase : self.rayPhase) {
        phase = randomBelow(1000) * 0.001;
    }
    for (int i = 0; i < kPart6Bubbles; ++i) {
        self.bubbleX[i] = (randomBelow(100) * 0.02 - 1.0) * 0.5;
        self.bubbleY[i] = (randomBelow(100) * 0.02 - 1.0) * 4.0;
        self.bubbleZ[i] = (randomBelow(100) * 0.02 - 1.0) * 0.5;
        self.bubbleSpeed[i] = (randomBelow(100) * 0.01 + 1.0) * 0.2;
    }
}

void startPart6(part6& self) {
    glClearDepth(1.0);
    loadPerspective(65.0, kAspect, 0.001, 157.0);
    self.aspect = kAspect;
    glLoadIdentity();
    glClearDepth(1.0);
}

bool renderPart6(part6& self, std::int32_t /*cue*/, TextureTable& textures, double* time,
                 OffscreenBuffer& buffer) {
    const double t = *time;
    ++self.frameCounter;
    prewarm(self, textures);
    if (t > timing::segmentEnd(6)) {
        return true;
    }
    const Part6FramePlan plan = planPart6Frame(t, self.cameraKeyOffset);

    if (plan.pictureOn) {
        SceneView view;
        TVector control0, control1, control2;
        self.sceneCamera.evaluate(plan.sceneParameter, view.eye, view.centre, view.up);
        self.sceneControl.evaluate(plan.sceneParameter, control0, control1, control2);
        view.raysLevel = control0.x;
        view.mirrorSkip = control2.x;
        runMirrorPasses(self, textures, buffer, view, t);
        drawPicture(self, textures, buffer, view, t);
    }

    GalleryView gallery;
    TVector unused;
    self.galleryCamera.evaluate(plan.galleryParameter, gallery.eye, gallery.centre, gallery.up);
    self.galleryControl.evaluate(plan.galleryParameter, gallery.rooms, gallery.sparks, unused);
    if (plan.galleryOn) {
        drawBallPasses(self, textures, buffer, gallery);
    }
    drawWindow(self, textures, buffer, gallery, plan.galleryOn, t);
    if (plan.faceShot) {
        drawFaceShot(self, textures, plan.faceParameter);
    }
    glFlush();
    return false;
}
