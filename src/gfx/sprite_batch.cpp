#include "gfx/sprite_batch.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "gfx/drawing.h"

namespace gfx {
namespace {

void multiplyInto(const Matrix4& left, const Matrix4& right, Matrix4& out) {
    for (int column = 0; column < 4; ++column) {
        for (int row = 0; row < 4; ++row) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k) {
                sum += left[k * 4 + row] * right[column * 4 + k];
            }
            out[column * 4 + row] = sum;
        }
    }
}

} // namespace

ModelviewStack::ModelviewStack(const Matrix4& top) : stack_{top} {}

void ModelviewStack::push() {
    stack_.push_back(stack_.back());
}

void ModelviewStack::pop() {
    if (stack_.size() > 1) {
        stack_.pop_back();
    }
}

void ModelviewStack::multiply(const Matrix4& right) {
    Matrix4 result;
    multiplyInto(stack_.back(), right, result);
    stack_.back() = result;
}

void ModelviewStack::scale(double x, double y, double z) {
    Matrix4& m = stack_.back();
    for (int row = 0; row < 4; ++row) {
        m[row] *= x;
        m[4 + row] *= y;
        m[8 + row] *= z;
    }
}

void ModelviewStack::translate(double x, double y, double z) {
    Matrix4& m = stack_.back();
    for (int row = 0; row < 4; ++row) {
        m[12 + row] += m[row] * x + m[4 + row] * y + m[8 + row] * z;
    }
}

void ModelviewStack::rotate(double degrees, double x, double y, double z) {
    const double length = std::sqrt(x * x + y * y + z * z);
    if (length == 0.0) {
        return; // GL leaves the matrix as it is for a zero axis
    }
    x /= length;
    y /= length;
    z /= length;
    const double a = degrees * std::numbers::pi / 180.0;
    if (x == 0.0 && y == 0.0) {
        rotateAboutZ(z > 0.0 ? a : -a);
        return;
    }
    const double c = std::cos(a);
    const double s = std::sin(a);
    const double d = 1.0 - c;
    const Matrix4 r{x * x * d + c,
                    y * x * d + z * s,
                    x * z * d - y * s,
                    0.0,
                    x * y * d - z * s,
                    y * y * d + c,
                    y * z * d + x * s,
                    0.0,
                    x * z * d + y * s,
                    y * z * d - x * s,
                    z * z * d + c,
                    0.0,
                    0.0,
                    0.0,
                    0.0,
                    1.0};
    multiply(r);
}

// The tree turns about z at every step: only the first two columns change.
void ModelviewStack::rotateAboutZ(double radians) {
    const double c = std::cos(radians);
    const double s = std::sin(radians);
    Matrix4& m = stack_.back();
    for (int row = 0; row < 4; ++row) {
        const double x = m[row];
        const double y = m[4 + row];
        m[row] = c * x + s * y;
        m[4 + row] = c * y - s * x;
    }
}

void ModelviewStack::faceViewer() {
    gfx::faceViewer(stack_.back().data());
}

void ModelviewStack::faceViewerKeepingDepth() {
    gfx::faceViewerKeepingDepth(stack_.back().data());
}

void QuadBatch::clear() {
    vertices.clear();
    texCoords.clear();
    colours.clear();
}

float* QuadBatch::appendQuad(const float colour[4]) {
    static constexpr float kTexCoords[8] = {0, 0, 1, 0, 1, 1, 0, 1};
    texCoords.insert(texCoords.end(), kTexCoords, kTexCoords + 8);
    for (int k = 0; k < 4; ++k) {
        colours.insert(colours.end(), colour, colour + 4);
    }
    vertices.resize(vertices.size() + 12);
    return vertices.data() + vertices.size() - 12;
}

void QuadBatch::addQuad(const Matrix4& m, const double corners[4][3], const float colour[4]) {
    float* out = appendQuad(colour);
    for (int k = 0; k < 4; ++k) {
        const double* p = corners[k];
        for (int row = 0; row < 3; ++row) {
            *out++ = static_cast<float>(m[row] * p[0] + m[4 + row] * p[1] + m[8 + row] * p[2] +
                                        m[12 + row]);
        }
    }
}

void QuadBatch::addUnitQuad(const Matrix4& m, const float colour[4]) {
    static constexpr double kUnitQuad[4][3] = {{-1, -1, 0}, {1, -1, 0}, {1, 1, 0}, {-1, 1, 0}};
    addQuad(m, kUnitQuad, colour);
}

void QuadBatch::addFacingQuad(const Matrix4& m, double halfWidth, double halfHeight,
                              const float colour[4]) {
    float* out = appendQuad(colour);
    const double x = m[12], y = m[13], z = m[14];
    const double corners[4][2] = {{-halfWidth, -halfHeight},
                                  {halfWidth, -halfHeight},
                                  {halfWidth, halfHeight},
                                  {-halfWidth, halfHeight}};
    for (const auto& corner : corners) {
        *out++ = static_cast<float>(x + corner[0]);
        *out++ = static_cast<float>(y + corner[1]);
        *out++ = static_cast<float>(z);
    }
}

void QuadBatch::draw() const {
    if (quadCount() == 0) {
        return;
    }
    glPushMatrix();
    glLoadIdentity();
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, vertices.data());
    glTexCoordPointer(2, GL_FLOAT, 0, texCoords.data());
    glColorPointer(4, GL_FLOAT, 0, colours.data());
    glDrawArrays(GL_QUADS, 0, static_cast<GLsizei>(4 * quadCount()));
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    glPopMatrix();
}

void SpriteBatch::begin() {
    glGetDoublev(GL_MODELVIEW_MATRIX, modelview_.data());
    glGetFloatv(GL_CURRENT_COLOR, colour_);
    coloured_ = false;
    quads_.clear();
}

void SpriteBatch::add(double x, double y, double z, double size) {
    const Matrix4& m = modelview_;
    Matrix4 centre{};
    centre[12] = m[0] * x + m[4] * y + m[8] * z + m[12];
    centre[13] = m[1] * x + m[5] * y + m[9] * z + m[13];
    centre[14] = m[2] * x + m[6] * y + m[10] * z + m[14];
    quads_.addFacingQuad(centre, size, size, colour_);
}

void SpriteBatch::colourLast(double r, double g, double b) {
    if (quads_.quadCount() == 0) {
        return;
    }
    const float colour[4] = {static_cast<float>(r), static_cast<float>(g), static_cast<float>(b),
                             1.0f};
    float* last = quads_.colours.data() + quads_.colours.size() - 16;
    for (int corner = 0; corner < 4; ++corner) {
        std::copy(colour, colour + 4, last + 4 * corner);
    }
    coloured_ = true;
}

void SpriteBatch::draw() const {
    quads_.draw();
    // The colour array leaves the current colour undefined.
    if (coloured_) {
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    } else {
        glColor4fv(colour_);
    }
}

} // namespace gfx
