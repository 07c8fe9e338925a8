#include "gfx/drawing.h"

#include "platform/platform.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <algorithm>
#include <cmath>

namespace gfx {

void setUpPerspective(double fovDegrees, double* aspectField) {
    const double aspect = kAspect;
    if (aspectField != nullptr) {
        *aspectField = aspect;
    }
    glMatrixMode(GL_PROJECTION);
    gluPerspective(fovDegrees, aspect, 0.001, 157.0);
    glMatrixMode(GL_MODELVIEW);
}

void loadPerspective(double fovDegrees, double aspect, double zNear, double zFar) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(fovDegrees, aspect, zNear, zFar);
    glMatrixMode(GL_MODELVIEW);
}

void drawUnitQuad() {
    drawQuad(1.0f, 1.0f);
}

void drawQuad(float halfWidth, float halfHeight, const TexRect& rect, QuadCorners corners) {
    // Corner k of the counter-clockwise walk from the lower left.
    const float x[4] = {-halfWidth, halfWidth, halfWidth, -halfWidth};
    const float y[4] = {-halfHeight, -halfHeight, halfHeight, halfHeight};
    const float s[4] = {rect.s0, rect.s1, rect.s1, rect.s0};
    const float t[4] = {rect.t0, rect.t0, rect.t1, rect.t1};
    static constexpr int kFromLowerLeft[4] = {0, 1, 2, 3};
    static constexpr int kFromUpperLeft[4] = {3, 2, 1, 0};
    static constexpr int kClockwiseFromLowerLeft[4] = {0, 3, 2, 1};
    const int* order = corners == QuadCorners::FromLowerLeft   ? kFromLowerLeft
                       : corners == QuadCorners::FromUpperLeft ? kFromUpperLeft
                                                               : kClockwiseFromLowerLeft;
    glBegin(GL_QUADS);
    for (int i = 0; i < 4; ++i) {
        const int k = order[i];
        glTexCoord2f(s[k], t[k]);
        glVertex3f(x[k], y[k], 0.0f);
    }
    glEnd();
}

void drawFlatQuad(float s0, float t0, float s1, float t1) {
    glBegin(GL_QUADS);
    glTexCoord2f(s0, t0);
    glVertex3f(-1.0f, 0.0f, -1.0f);
    glTexCoord2f(s1, t0);
    glVertex3f(1.0f, 0.0f, -1.0f);
    glTexCoord2f(s1, t1);
    glVertex3f(1.0f, 0.0f, 1.0f);
    glTexCoord2f(s0, t1);
    glVertex3f(-1.0f, 0.0f, 1.0f);
    glEnd();
}

namespace {
// Replaces the upper-left n x n block of the modelview matrix by the identity.
// Replaces the upper-left n x n block of a column-major matrix (element
// (row, column) at m[column * 4 + row]) by the identity.
template <class T> void resetUpperLeftBlock(T* m, int n) {
    for (int column = 0; column < n; ++column) {
        for (int row = 0; row < n; ++row) {
            m[column * 4 + row] = column == row ? T(1) : T(0);
        }
    }
}

void resetModelviewBlock(int n) {
    GLfloat m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    resetUpperLeftBlock(m, n);
    glLoadMatrixf(m);
}
} // namespace

void faceViewer() {
    resetModelviewBlock(3);
}

void faceViewerKeepingDepth() {
    resetModelviewBlock(2);
}

void faceViewer(double m[16]) {
    resetUpperLeftBlock(m, 3);
}

void faceViewerKeepingDepth(double m[16]) {
    resetUpperLeftBlock(m, 2);
}

void lookAtFullScreenLayer(double eyeDistance, double aspect) {
    gluLookAt(0.0, 0.0, eyeDistance, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
    glScalef(static_cast<float>(aspect), 1.0f, 0.0f);
}

void setObjectLinearPlanes(const TexGenPlanes& planes) {
    glTexGenfv(GL_S, GL_OBJECT_PLANE, planes.s);
    glTexGenfv(GL_T, GL_OBJECT_PLANE, planes.t);
}

void useObjectLinearGeneration(const TexGenPlanes& planes) {
    glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_OBJECT_LINEAR);
    glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_OBJECT_LINEAR);
    setObjectLinearPlanes(planes);
}

void useSphereMapGeneration() {
    glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
}

void enableTextureGeneration(bool on) {
    if (on) {
        glEnable(GL_TEXTURE_GEN_S);
        glEnable(GL_TEXTURE_GEN_T);
    } else {
        glDisable(GL_TEXTURE_GEN_S);
        glDisable(GL_TEXTURE_GEN_T);
    }
}

bool sphereInFrustum(const double modelview[16], const double projection[16], double radius) {
    double scale = 0.0;
    for (int column = 0; column < 3; ++column) {
        const double* axis = modelview + 4 * column;
        scale =
            std::max(scale, std::sqrt(axis[0] * axis[0] + axis[1] * axis[1] + axis[2] * axis[2]));
    }
    const double r = radius * scale;
    const double* centre = modelview + 12; // where the origin lands in eye space
    auto element = [&](int row, int column) { return projection[column * 4 + row]; };
    // The six clip planes in eye space: fourth row plus or minus one of the others.
    for (int k = 0; k < 3; ++k) {
        for (double sign : {1.0, -1.0}) {
            double plane[4];
            for (int j = 0; j < 4; ++j) {
                plane[j] = element(3, j) + sign * element(k, j);
            }
            const double length =
                std::sqrt(plane[0] * plane[0] + plane[1] * plane[1] + plane[2] * plane[2]);
            if (length == 0.0) {
                continue;
            }
            const double distance =
                (plane[0] * centre[0] + plane[1] * centre[1] + plane[2] * centre[2] + plane[3]) /
                length;
            if (distance < -r) {
                return false;
            }
        }
    }
    return true;
}

bool sphereMayBeVisible(double radius) {
    GLdouble modelview[16];
    GLdouble projection[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    return sphereInFrustum(modelview, projection, radius);
}

void setColor(double r, double g, double b) {
    glColor3f(static_cast<float>(r), static_cast<float>(g), static_cast<float>(b));
}

void setMaterialColours(const float ambient[4], const float diffuse[4], GLenum faces) {
    // While colour tracking is on, each colour becomes its material at once.
    // Mesa applies a tracked colour only when drawing or when the tracked
    // parameter changes, so the ambient would be lost when tracking moves on
    // to the diffuse: it is written as a material once it is no longer
    // tracked (a tracked parameter ignores glMaterial).
    const bool tracking = glIsEnabled(GL_COLOR_MATERIAL) == GL_TRUE;
    glColorMaterial(faces, GL_AMBIENT);
    glColor4fv(ambient);
    glColorMaterial(faces, GL_DIFFUSE);
    if (tracking) {
        glMaterialfv(faces, GL_AMBIENT, ambient);
    }
    glColor4fv(diffuse);
}

void setMaterialColoursNow(const float ambient[4], const float diffuse[4]) {
    glEnable(GL_COLOR_MATERIAL);
    setMaterialColours(ambient, diffuse);
    glDisable(GL_COLOR_MATERIAL);
}

void bindTexture(const TextureTable& textures, int id) {
    const GLuint name = id >= 0 && id < kTextureTableSize ? textures[id] : 0;
    glBindTexture(GL_TEXTURE_2D, name);
}

void copyPictureInto(const TextureTable& textures, int id, int width, int height) {
    platform::resolvePicture(width, height);
    bindTexture(textures, id);
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, width, height);
}

void resetStateForCopy() {
    // GL_LOGIC_OP is the colour-index logic op; the RGBA picture uses the other.
    for (GLenum cap :
         {GL_ALPHA_TEST, GL_BLEND, GL_DEPTH_TEST, GL_DITHER, GL_FOG, GL_LIGHTING, GL_LOGIC_OP,
          GL_COLOR_LOGIC_OP, GL_STENCIL_TEST, GL_TEXTURE_1D, GL_TEXTURE_2D}) {
        glDisable(cap);
    }
    glPixelTransferi(GL_MAP_COLOR, 0);
    for (GLenum scale : {GL_RED_SCALE, GL_GREEN_SCALE, GL_BLUE_SCALE, GL_ALPHA_SCALE}) {
        glPixelTransferf(scale, 1.0f);
    }
    for (GLenum bias : {GL_RED_BIAS, GL_GREEN_BIAS, GL_BLUE_BIAS, GL_ALPHA_BIAS}) {
        glPixelTransferf(bias, 0.0f);
    }
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    glPixelStorei(GL_PACK_SKIP_ROWS, 0);
    glPixelStorei(GL_PACK_SKIP_PIXELS, 0);
}

void drawFeedbackComposite(const FeedbackPair& pair, int frame, const TextureTable& textures,
                           double aspect, const FeedbackMix& mix) {
    glPushMatrix();
    lookAtFullScreenLayer(mix.eyeDistance, aspect);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_TEXTURE_2D);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glScalef(mix.stretch[0], mix.stretch[1], mix.stretch[2]);
    glDisable(GL_BLEND);
    glColor3f(mix.freshGain, mix.freshGain, mix.freshGain);
    bindTexture(textures, pair.current(frame));
    drawUnitQuad();
    glEnable(GL_BLEND);
    glColor3f(mix.lastGain, mix.lastGain, mix.lastGain + mix.lastBlueLift);
    bindTexture(textures, pair.previous(frame));
    if (mix.lastTurnDegrees != 0.0f) {
        glRotatef(mix.lastTurnDegrees, 0.0f, 0.0f, 1.0f);
    }
    drawUnitQuad();
    glPopMatrix();
}

void feedPictureBack(const FeedbackPair& pair, int frame, const TextureTable& textures,
                     double aspect, const FeedbackMix& mix, int size) {
    copyPictureInto(textures, pair.current(frame), size, size);
    drawFeedbackComposite(pair, frame, textures, aspect, mix);
    glDisable(GL_BLEND);
    copyPictureInto(textures, pair.current(frame), size, size);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
}

void beginWindowPass(const OffscreenBuffer& buffer, float clearR, float clearG, float clearB,
                     double aspect) {
    buffer.makeWindowCurrent();
    glClearColor(clearR, clearG, clearB, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    loadPerspective(45.0, aspect, 0.01, 174.0);
    static constexpr float kBlack[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    setMaterialColours(kBlack, kBlack);
}

void prewarmTexture(const TextureTable& textures, int id) {
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_PRIORITY, 1.0f);
    bindTexture(textures, id);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_PRIORITY, 1.0f);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    glColor4f(0.0f, 0.0f, 0.0f, 0.0f);
    glBegin(GL_POINTS);
    glVertex3f(0.0f, 0.0f, 0.0f);
    glEnd();
}

} // namespace gfx
