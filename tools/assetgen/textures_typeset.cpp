#include "textures_typeset.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace assetgen {

namespace {

const char* const fontFolder = "/usr/share/fonts/";

// Owns the FreeType library and one face at one pixel size.
class FontFace {
public:
    FontFace(const std::string& file, int pixelHeight) {
        const std::string path = fontFolder + file;
        if (FT_Init_FreeType(&library_) != 0) {
            throw std::runtime_error("cannot start FreeType for " + path);
        }
        if (FT_New_Face(library_, path.c_str(), 0, &face_) != 0) {
            FT_Done_FreeType(library_);
            throw std::runtime_error("cannot load font " + path);
        }
        FT_Set_Pixel_Sizes(face_, 0, static_cast<FT_UInt>(pixelHeight));
    }
    ~FontFace() {
        FT_Done_Face(face_);
        FT_Done_FreeType(library_);
    }
    FontFace(const FontFace&) = delete;
    FontFace& operator=(const FontFace&) = delete;
    FT_Face face() const { return face_; }

private:
    FT_Library library_ = nullptr;
    FT_Face face_ = nullptr;
};

// The text at a large pixel size, as a tight coverage mask with the baseline
// box of the font (ascender to descender) as its height.
Plane renderLine(const Font& font, const std::string& text, int pixelHeight) {
    FontFace face(font.file, pixelHeight);
    FT_Face f = face.face();
    const int ascender = static_cast<int>(f->size->metrics.ascender >> 6);
    const int descender = static_cast<int>(-(f->size->metrics.descender >> 6));
    const int tracking = static_cast<int>(std::lround(font.tracking * pixelHeight));

    // First pass measures, second pass draws.
    int width = 0;
    for (int pass = 0; pass < 2; ++pass) {
        Plane mask(std::max(width, 1), ascender + descender);
        int penX = 0;
        FT_UInt previous = 0;
        for (size_t i = 0; i < text.size(); ++i) {
            const FT_UInt glyph = FT_Get_Char_Index(f, static_cast<unsigned char>(text[i]));
            if (previous != 0 && glyph != 0 && FT_HAS_KERNING(f)) {
                FT_Vector kern;
                FT_Get_Kerning(f, previous, glyph, FT_KERNING_DEFAULT, &kern);
                penX += static_cast<int>(kern.x >> 6);
            }
            if (FT_Load_Glyph(f, glyph, FT_LOAD_RENDER) != 0) {
                throw std::runtime_error("cannot render a glyph of " + font.file);
            }
            const FT_GlyphSlot slot = f->glyph;
            if (pass == 1) {
                const FT_Bitmap& bitmap = slot->bitmap;
                for (unsigned row = 0; row < bitmap.rows; ++row) {
                    const int y = ascender - slot->bitmap_top + static_cast<int>(row);
                    for (unsigned col = 0; col < bitmap.width; ++col) {
                        const int x = penX + slot->bitmap_left + static_cast<int>(col);
                        if (x >= 0 && x < mask.width() && y >= 0 && y < mask.height()) {
                            const float v = bitmap.buffer[row * bitmap.pitch + col] / 255.0f;
                            mask.at(x, y) = std::min(1.0f, mask.at(x, y) + v);
                        }
                    }
                }
            }
            penX += static_cast<int>(slot->advance.x >> 6);
            if (i + 1 < text.size()) {
                penX += tracking;
            }
            previous = glyph;
        }
        if (pass == 1) {
            return mask;
        }
        width = penX + pixelHeight / 8; // room for the overhang of the last letter
    }
    return Plane(1, 1);
}

} // namespace

void setText(Plane& mask, const Font& font, const std::string& text, const TextPlacement& where) {
    const float imageAspect = static_cast<float>(mask.width()) / mask.height();
    // Texel stretch when shown: how much wider a texel looks than it is tall.
    const float stretch = where.displayAspect / imageAspect;
    const int boxPixels = std::max(8, static_cast<int>(where.maxHeight * mask.height()));
    const int renderHeight = std::clamp(3 * boxPixels, 64, 480);
    const Plane line = renderLine(font, text, renderHeight);

    // Height in t, then the width in s that keeps the letters' shape after the stretch.
    const float lineAspect = static_cast<float>(line.width()) / line.height();
    float height = where.maxHeight;
    float width = height * lineAspect / imageAspect / stretch;
    if (width > where.maxWidth) {
        height *= where.maxWidth / width;
        width = where.maxWidth;
    }
    const float x0 = (where.centreS - width / 2) * mask.width();
    const float x1 = (where.centreS + width / 2) * mask.width();
    const float yTop = (1 - (where.centreT + height / 2)) * mask.height();
    const float yBottom = (1 - (where.centreT - height / 2)) * mask.height();

    // Box-filter the big line down into the target pixels.
    const float footX = line.width() / (x1 - x0);
    const float footY = line.height() / (yBottom - yTop);
    const int samplesX = std::max(1, static_cast<int>(std::ceil(footX)));
    const int samplesY = std::max(1, static_cast<int>(std::ceil(footY)));
    const int px0 = std::max(0, static_cast<int>(std::floor(x0)));
    const int px1 = std::min(mask.width() - 1, static_cast<int>(std::ceil(x1)));
    const int py0 = std::max(0, static_cast<int>(std::floor(yTop)));
    const int py1 = std::min(mask.height() - 1, static_cast<int>(std::ceil(yBottom)));
    for (int py = py0; py <= py1; ++py) {
        for (int px = px0; px <= px1; ++px) {
            float sum = 0;
            for (int j = 0; j < samplesY; ++j) {
                const float ly = (py + (j + 0.5f) / samplesY - yTop) * footY;
                for (int i = 0; i < samplesX; ++i) {
                    const float lx = (px + (i + 0.5f) / samplesX - x0) * footX;
                    if (lx >= 0 && ly >= 0 && lx < line.width() && ly < line.height()) {
                        sum += line.at(static_cast<int>(lx), static_cast<int>(ly));
                    }
                }
            }
            float& m = mask.at(px, py);
            m = std::min(1.0f, m + sum / static_cast<float>(samplesX * samplesY));
        }
    }
}

} // namespace assetgen
