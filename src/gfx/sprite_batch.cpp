#include "gfx/sprite_batch.h"

#include <GL/gl.h>

namespace gfx {

void SpriteBatch::begin() {
    glGetDoublev(GL_MODELVIEW_MATRIX, modelview_);
    points_.clear();
    texCoords_.clear();
    colours_.clear();
}

void SpriteBatch::add(double x, double y, double z, double size) {
    const double* m = modelview_;
    const double ex = m[0] * x + m[4] * y + m[8] * z + m[12];
    const double ey = m[1] * x + m[5] * y + m[9] * z + m[13];
    const double ez = m[2] * x + m[6] * y + m[10] * z + m[14];
    static constexpr float kCorner[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
    for (const auto& c : kCorner) {
        points_.push_back(static_cast<float>(ex + c[0] * size));
        points_.push_back(static_cast<float>(ey + c[1] * size));
        points_.push_back(static_cast<float>(ez));
        texCoords_.push_back(0.5f * (c[0] + 1.0f));
        texCoords_.push_back(0.5f * (c[1] + 1.0f));
    }
}

void SpriteBatch::colourLast(double r, double g, double b) {
    for (int corner = 0; corner < 4; ++corner) {
        colours_.push_back(static_cast<float>(r));
        colours_.push_back(static_cast<float>(g));
        colours_.push_back(static_cast<float>(b));
    }
}

void SpriteBatch::draw() const {
    if (points_.empty()) {
        return;
    }
    glPushMatrix();
    glLoadIdentity();
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, points_.data());
    glTexCoordPointer(2, GL_FLOAT, 0, texCoords_.data());
    const bool coloured = colours_.size() == points_.size();
    if (coloured) {
        glEnableClientState(GL_COLOR_ARRAY);
        glColorPointer(3, GL_FLOAT, 0, colours_.data());
    }
    glDrawArrays(GL_QUADS, 0, static_cast<GLsizei>(points_.size() / 3));
    if (coloured) {
        glDisableClientState(GL_COLOR_ARRAY);
        // The colour array leaves the current colour undefined.
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    }
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    glPopMatrix();
}

} // namespace gfx
