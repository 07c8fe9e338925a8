// Sprites facing the viewer, drawn as one batch. A billboard keeps only the
// translation of the modelview, so a sprite's corners lie at its centre in eye
// space plus (+-size, +-size, 0): the centres are carried into eye space here
// and the quads go to GL in one array instead of a matrix round trip each.
#pragma once

#include <vector>

#include "anim/tvector.h"

namespace gfx {

class SpriteBatch {
public:
    // Reads the modelview the sprites' centres are given in.
    void begin();
    // A sprite of half-size `size` centred on (x, y, z), texture 0..1 across.
    void add(double x, double y, double z, double size);
    void add(const TVector& at, double size) { add(at.x, at.y, at.z, size); }
    // Gives the last added sprite its own colour (then every sprite needs one).
    void colourLast(double r, double g, double b);
    // Draws every sprite added since begin() with the current texture and
    // blending; a coloured batch leaves the current colour white.
    void draw() const;

private:
    double modelview_[16] = {};
    std::vector<float> points_;
    std::vector<float> texCoords_;
    std::vector<float> colours_;
};

} // namespace gfx
