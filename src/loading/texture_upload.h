// Decoding PNG files into GL textures of the TextureTable.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "imaging/bitmap_image.h"

// A texture file that could not be turned into a texture: it is missing, the
// decoder refused it, or its alpha picture does not cover it. Names the file.
class TextureLoadError : public std::runtime_error {
public:
    TextureLoadError(std::string file, const std::string& reason);
    const std::string& file() const { return file_; }

private:
    std::string file_;
};

// The two images every decode refills: colour, and the alpha picture of an
// RGBA texture. No decoded picture is kept after its upload.
extern Pictor::BitmapImage colourImage;
extern Pictor::BitmapImage alphaImage;

// Pixel (x, y) of a decoded image as blue, green, red, whatever its depth:
// colour-mapped pixels are looked up in the colour map. Row y = 0 is the
// bottom row of the picture.
void imagePixel(const Pictor::BitmapImage& image, std::uint32_t x, std::uint32_t y,
                std::uint8_t bgr[3]);

// The picture as red-green-blue texels, bottom row first, each row padded to
// a multiple of 4 bytes (GL's default unpack alignment).
std::vector<std::uint8_t> rgbTexels(const Pictor::BitmapImage& colour);
inline std::size_t rgbRowStride(std::uint32_t width) {
    return (3 * std::size_t(width) + 3) & ~3u;
}

// Red-green-blue from `colour` with alpha from the first (blue) byte of the
// same position in `alpha`, bottom row first. `alpha` must be at least as
// large as `colour`.
std::vector<std::uint8_t> rgbaTexels(const Pictor::BitmapImage& colour,
                                     const Pictor::BitmapImage& alpha);

// Decodes the PNG at `path` ("hlvd\\name") into a new RGB texture in slot id.
// Raises TextureLoadError naming the file when it cannot be decoded.
void uploadTexture(const char* path, int id);
// The same with alpha taken from a second PNG; an RGBA texture in slot id.
void uploadTextureWithAlpha(const char* path, const char* alphaPath, int id);

// Time spent decoding PNG files since the program started, in milliseconds.
double textureDecodeMilliseconds();
