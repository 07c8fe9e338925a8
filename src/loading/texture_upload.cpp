#include "loading/texture_upload.h"

#include <GL/gl.h>

#include <chrono>
#include <exception>

#include "gfx/texture_table.h"
#include "imaging/png_decoder.h"
#include "platform/asset_path.h"

Pictor::BitmapImage colourImage;
Pictor::BitmapImage alphaImage;

namespace {

double decodeMilliseconds = 0.0;

// Reads one file into one image; any failure of the decoder becomes a
// TextureLoadError that names the file.
void decode(Pictor::PngDecoder& decoder, const char* path, Pictor::BitmapImage& image) {
    const auto begin = std::chrono::steady_clock::now();
    try {
        decoder.ReadImage(path, image);
    } catch (const std::exception& error) {
        throw TextureLoadError(assetPath(path), error.what());
    }
    const std::chrono::duration<double, std::milli> spent =
        std::chrono::steady_clock::now() - begin;
    decodeMilliseconds += spent.count();
}

std::uint8_t colourIndex(const std::uint8_t* row, std::uint32_t x, unsigned bits) {
    const std::size_t bit = std::size_t(x) * bits;
    const unsigned shift = 8 - bits - unsigned(bit % 8);
    return static_cast<std::uint8_t>((row[bit / 8] >> shift) & ((1u << bits) - 1));
}

// A new texture name in slot id, bound, with the texels uploaded.
void createTexture(int id, GLint components, GLenum format, const Pictor::BitmapImage& image,
                   const std::vector<std::uint8_t>& texels) {
    GLuint name = 0;
    glGenTextures(1, &name);
    textureTable[id] = name;
    glBindTexture(GL_TEXTURE_2D, name);
    glTexImage2D(GL_TEXTURE_2D, 0, components, GLsizei(image.Width()), GLsizei(image.Height()), 0,
                 format, GL_UNSIGNED_BYTE, texels.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
}

// Row y of a picture as red-green-blue texels, `step` bytes apart.
void writeColourRow(const Pictor::BitmapImage& image, std::uint32_t y, std::size_t step,
                    std::uint8_t* out) {
    if (image.BitCount() == 24) {
        const std::uint8_t* in = image.Row(y);
        for (std::uint32_t x = 0; x < image.Width(); ++x, in += 3, out += step) {
            out[0] = in[2];
            out[1] = in[1];
            out[2] = in[0];
        }
        return;
    }
    for (std::uint32_t x = 0; x < image.Width(); ++x, out += step) {
        std::uint8_t bgr[3];
        imagePixel(image, x, y, bgr);
        out[0] = bgr[2];
        out[1] = bgr[1];
        out[2] = bgr[0];
    }
}

// The first (blue) byte of `width` pixels of row y, `step` bytes apart.
void writeAlphaRow(const Pictor::BitmapImage& image, std::uint32_t y, std::uint32_t width,
                   std::size_t step, std::uint8_t* out) {
    for (std::uint32_t x = 0; x < width; ++x, out += step) {
        std::uint8_t bgr[3];
        imagePixel(image, x, y, bgr);
        *out = bgr[0];
    }
}

} // namespace

TextureLoadError::TextureLoadError(std::string file, const std::string& reason)
    : std::runtime_error("Cannot load the texture " + file + ": " + reason),
      file_(std::move(file)) {}

void imagePixel(const Pictor::BitmapImage& image, std::uint32_t x, std::uint32_t y,
                std::uint8_t bgr[3]) {
    const std::uint8_t* row = image.Row(y);
    const std::uint8_t* source = nullptr;
    if (image.BitCount() == 24) {
        source = row + 3 * std::size_t(x);
    } else {
        source = image.ColorMap(colourIndex(row, x, image.BitCount()));
    }
    bgr[0] = source[0];
    bgr[1] = source[1];
    bgr[2] = source[2];
}

std::vector<std::uint8_t> rgbTexels(const Pictor::BitmapImage& colour) {
    const std::size_t stride = rgbRowStride(colour.Width());
    std::vector<std::uint8_t> texels(stride * colour.Height());
    for (std::uint32_t y = 0; y < colour.Height(); ++y) {
        writeColourRow(colour, y, 3, texels.data() + stride * y);
    }
    return texels;
}

std::vector<std::uint8_t> rgbaTexels(const Pictor::BitmapImage& colour,
                                     const Pictor::BitmapImage& alpha) {
    const std::size_t stride = 4 * std::size_t(colour.Width());
    std::vector<std::uint8_t> texels(stride * colour.Height());
    for (std::uint32_t y = 0; y < colour.Height(); ++y) {
        std::uint8_t* row = texels.data() + stride * y;
        writeColourRow(colour, y, 4, row);
        writeAlphaRow(alpha, y, colour.Width(), 4, row + 3);
    }
    return texels;
}

void uploadTexture(const char* path, int id) {
    Pictor::PngDecoder decoder;
    decode(decoder, path, colourImage);
    std::vector<std::uint8_t> texels;
    try {
        texels = rgbTexels(colourImage);
    } catch (const std::exception& error) {
        throw TextureLoadError(assetPath(path), error.what());
    }
    createTexture(id, 3, GL_RGB, colourImage, texels);
}

void uploadTextureWithAlpha(const char* path, const char* alphaPath, int id) {
    Pictor::PngDecoder decoder;
    decode(decoder, path, colourImage);
    decode(decoder, alphaPath, alphaImage);
    if (alphaImage.Width() < colourImage.Width() || alphaImage.Height() < colourImage.Height()) {
        throw TextureLoadError(assetPath(alphaPath),
                               "the alpha picture is smaller than " + assetPath(path));
    }
    std::vector<std::uint8_t> texels;
    try {
        texels = rgbaTexels(colourImage, alphaImage);
    } catch (const std::exception& error) {
        throw TextureLoadError(assetPath(path), error.what());
    }
    createTexture(id, 4, GL_RGBA, colourImage, texels);
}

double textureDecodeMilliseconds() {
    return decodeMilliseconds;
}
