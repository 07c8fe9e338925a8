// Sprites and quads placed on the CPU and handed to GL as one array, instead
// of a matrix round trip per sprite: a CPU copy of the modelview stack, a
// batch of eye-space quads, and eye-space sprites facing the viewer.
#pragma once

#include <array>
#include <cstddef>
#include <vector>

#include "anim/tvector.h"

namespace gfx {

// A column-major 4 x 4 matrix, as GL keeps the modelview.
using Matrix4 = std::array<double, 16>;

// The modelview stack of GL, kept on the CPU so that thousands of sprites can
// be placed here and handed to GL in one batch.
class ModelviewStack {
public:
    explicit ModelviewStack(const Matrix4& top);
    void push();
    void pop();
    void scale(double x, double y, double z);
    // As glRotatef: degrees about an axis that need not be unit length.
    void rotate(double degrees, double x, double y, double z);
    void translate(double x, double y, double z);
    // The billboards of gfx, on the top matrix.
    void faceViewer();
    void faceViewerKeepingDepth();
    const Matrix4& top() const { return stack_.back(); }
    std::size_t depth() const { return stack_.size(); }

private:
    void multiply(const Matrix4& right);
    void rotateAboutZ(double radians);
    std::vector<Matrix4> stack_;
};

// Quads in the eye space of the stack they were placed with, with texture
// coordinates and colours, drawn as one array.
struct QuadBatch {
    std::vector<float> vertices; // x, y, z per corner
    std::vector<float> texCoords;
    std::vector<float> colours; // r, g, b, a per corner

    void clear();
    // A quad with the corners given in the matrix's object space and texture
    // coordinates (0, 0), (1, 0), (1, 1), (0, 1).
    void addQuad(const Matrix4& m, const double corners[4][3], const float colour[4]);
    // The unit quad under the stack's top matrix.
    void addUnitQuad(const Matrix4& m, const float colour[4]);
    // The unit quad scaled to the half sizes and turned to face the viewer
    // (faceViewer, then a scale) at the matrix's origin.
    void addFacingQuad(const Matrix4& m, double halfWidth, double halfHeight,
                       const float colour[4]);
    std::size_t quadCount() const { return vertices.size() / 12; }
    // Draws the quads (they are in eye space) under an identity modelview
    // with the current texture and blending.
    void draw() const;

private:
    // Appends the texture coordinates and colours of one quad and returns
    // where its 12 vertex values go.
    float* appendQuad(const float colour[4]);
};

// Sprites facing the viewer: a billboard keeps only the translation of the
// modelview, so a sprite's corners lie at its centre in eye space plus
// (+-size, +-size, 0).
class SpriteBatch {
public:
    // Reads the modelview the sprites' centres are given in, and the current
    // colour, which sprites without their own colour keep.
    void begin();
    // A sprite of half-size `size` centred on (x, y, z), texture 0..1 across.
    void add(double x, double y, double z, double size);
    void add(const TVector& at, double size) { add(at.x, at.y, at.z, size); }
    // Gives the last added sprite its own colour.
    void colourLast(double r, double g, double b);
    // Draws every sprite added since begin(). A batch with its own colours
    // leaves the current colour white, one without leaves it as it was.
    void draw() const;

private:
    Matrix4 modelview_{};
    float colour_[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    bool coloured_ = false;
    QuadBatch quads_;
};

} // namespace gfx
