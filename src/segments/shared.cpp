#include "segments/shared.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <algorithm>
#include <cmath>

namespace segments {

void setUpPerspective(double fovDegrees, float* aspectField) {
    const float aspect = 4.0f / 3.0f;
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

void drawScaffoldingFrame(float r, float g, float b) {
    glClearColor(r, g, b, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void drawUnitQuad() {
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(-1.0f, -1.0f, 0.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(1.0f, -1.0f, 0.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(1.0f, 1.0f, 0.0f);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(-1.0f, 1.0f, 0.0f);
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

void faceViewer() {
    GLfloat m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    // Column-major: the first three columns' first three rows are the rotation.
    for (int column = 0; column < 3; ++column) {
        for (int row = 0; row < 3; ++row) {
            m[column * 4 + row] = column == row ? 1.0f : 0.0f;
        }
    }
    glLoadMatrixf(m);
}

void lookAtFullScreenLayer(double eyeDistance, double aspect) {
    gluLookAt(0.0, 0.0, eyeDistance, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
    glScalef(static_cast<float>(aspect), 1.0f, 0.0f);
}

void setObjectLinearPlanes(float scale) {
    const GLfloat planeS[4] = {scale, 0.0f, 0.0f, 0.0f};
    const GLfloat planeT[4] = {0.0f, scale, 0.0f, 0.0f};
    glTexGenfv(GL_S, GL_OBJECT_PLANE, planeS);
    glTexGenfv(GL_T, GL_OBJECT_PLANE, planeT);
}

void useObjectLinearGeneration(float scale) {
    glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_OBJECT_LINEAR);
    glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_OBJECT_LINEAR);
    setObjectLinearPlanes(scale);
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

void bindTexture(const TextureTable& textures, int id) {
    const GLuint name = id >= 0 && id < kTextureTableSize ? textures[id] : 0;
    glBindTexture(GL_TEXTURE_2D, name);
}

void copyPictureInto(const TextureTable& textures, int id, int width, int height) {
    bindTexture(textures, id);
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, width, height);
}

} // namespace segments
