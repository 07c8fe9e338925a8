// Anti-aliased text for the texture cards, set with FreeType from the
// font packages of the system (scripts/deps.sh installs them).
#pragma once

#include "image.h"

#include <string>

namespace assetgen {

struct Font {
    std::string file;   // a path under /usr/share/fonts, e.g. "opentype/urw-base35/URWGothic-Demi.otf"
    float tracking = 0; // extra space between letters, in fractions of the text height
};

// Where a line of text goes: its centre and the box it must fit in, in texture
// coordinates, and how the whole texture is stretched when shown (displayed
// width / displayed height of the full texture, with square texels at 1). The
// letters are set so that they look right after that stretch.
struct TextPlacement {
    float centreS = 0.5f;
    float centreT = 0.5f;
    float maxWidth = 0.9f;  // in s
    float maxHeight = 0.5f; // in t; the height of a capital plus descender room
    float displayAspect = 1;
};

// Adds the coverage (0..1) of `text` to `mask` (coverage saturates at 1).
// Throws std::runtime_error naming the font file when FreeType cannot load it.
void setText(Plane& mask, const Font& font, const std::string& text, const TextPlacement& where);

} // namespace assetgen
