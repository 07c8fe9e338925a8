// Decoded pictures into texels and textures: any width, colour-mapped images,
// alpha from a second picture.
#include <GL/gl.h>
#include <png.h>

#include <filesystem>

#include <gtest/gtest.h>

#include "gfx/texture_table.h"
#include "imaging/bitmap_image.h"
#include "loading/texture_upload.h"
#include "loading_support.h"

using namespace loading_test;
using Pictor::BitmapImage;

namespace {

// A 3 x 2 picture whose pixel (x, y) is blue 10x+y, green 100+x, red 200+y.
BitmapImage oddWidthImage() {
    BitmapImage image;
    image.SetSize(0, 24, 3, 2);
    for (std::uint32_t y = 0; y < 2; ++y) {
        for (std::uint32_t x = 0; x < 3; ++x) {
            std::uint8_t* p = image.Row(y) + 3 * x;
            p[0] = std::uint8_t(10 * x + y);
            p[1] = std::uint8_t(100 + x);
            p[2] = std::uint8_t(200 + y);
        }
    }
    return image;
}

std::vector<std::uint8_t> readTexture(int id, GLenum format, int components, int width,
                                      int height) {
    std::vector<std::uint8_t> texels(std::size_t(components * width * height));
    glBindTexture(GL_TEXTURE_2D, textureTable[id]);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, format, GL_UNSIGNED_BYTE, texels.data());
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    return texels;
}

} // namespace

TEST(TextureTexels, AlphaIsTheFirstByteOfTheAlphaPicture) {
    const BitmapImage colour = oddWidthImage();
    BitmapImage alpha;
    alpha.SetSize(0, 24, 4, 3); // larger than the colour picture
    alpha.Row(1)[3 * 2 + 0] = 77;
    alpha.Row(1)[3 * 2 + 1] = 1;
    alpha.Row(1)[3 * 2 + 2] = 2;
    const std::vector<std::uint8_t> texels = rgbaTexels(colour, alpha);
    ASSERT_EQ(texels.size(), 4u * 3 * 2);
    const std::uint8_t* p = texels.data() + 4 * (3 * 1 + 2);
    EXPECT_EQ(p[0], 201);
    EXPECT_EQ(p[1], 102);
    EXPECT_EQ(p[2], 21);
    EXPECT_EQ(p[3], 77);
    EXPECT_EQ(texels[3], 0);
}

TEST(TextureUpload, OddWidthAndPaletteFilesArriveIntact) {
    ASSERT_TRUE(ensurePackLoaded()) << "the generated pack did not load";
    // Slots the pack leaves free; this test fills and empties them itself.
    ASSERT_EQ(textureTableAfterLoading()[9990], 0u);
    ASSERT_EQ(textureTableAfterLoading()[9991], 0u);
    ASSERT_EQ(textureTable[9990], 0u);
    ASSERT_EQ(textureTable[9991], 0u);
    const std::string folder = makeTempFolder("hlv-upload");
    // 5 x 3 RGB: 15 bytes a row, which GL's default alignment would misread.
    std::vector<std::uint8_t> rgb(5 * 3 * 3);
    for (std::size_t i = 0; i < rgb.size(); ++i) {
        rgb[i] = std::uint8_t(7 * i + 3);
    }
    writePng(folder + "/odd.png", 5, 3, rgb, PNG_COLOR_TYPE_RGB, 8);
    uploadTexture((folder + "/odd.png").c_str(), 9990);
    const std::vector<std::uint8_t> stored = readTexture(9990, GL_RGB, 3, 5, 3);
    for (int y = 0; y < 3; ++y) {
        // Texture row 0 is the picture's bottom row.
        for (int x = 0; x < 15; ++x) {
            EXPECT_EQ(stored[15 * y + x], rgb[15 * (2 - y) + x]) << x << "," << y;
        }
    }

    // 4-bit palette, width 3.
    const std::vector<std::uint8_t> palette = {255, 0, 0, 0, 255, 0, 0, 0, 255};
    const std::vector<std::uint8_t> indices = {0x01, 0x20};
    writePng(folder + "/palette.png", 3, 1, indices, PNG_COLOR_TYPE_PALETTE, 4, palette);
    uploadTexture((folder + "/palette.png").c_str(), 9991);
    const std::vector<std::uint8_t> colours = readTexture(9991, GL_RGB, 3, 3, 1);
    EXPECT_EQ(colours, (std::vector<std::uint8_t>{255, 0, 0, 0, 255, 0, 0, 0, 255}));
    glDeleteTextures(1, &textureTable[9990]);
    glDeleteTextures(1, &textureTable[9991]);
    textureTable[9990] = textureTable[9991] = 0;
    std::filesystem::remove_all(folder);
}

TEST(TextureUpload, AlphaPictureSmallerThanTheColourIsRefused) {
    ASSERT_TRUE(ensurePackLoaded()) << "the generated pack did not load";
    ASSERT_EQ(textureTable[9992], 0u);
    const std::string folder = makeTempFolder("hlv-alpha");
    writePng(folder + "/colour.png", 4, 4, std::vector<std::uint8_t>(48, 9), PNG_COLOR_TYPE_RGB, 8);
    writePng(folder + "/alpha.png", 2, 2, std::vector<std::uint8_t>(12, 9), PNG_COLOR_TYPE_RGB, 8);
    try {
        uploadTextureWithAlpha((folder + "/colour.png").c_str(), (folder + "/alpha.png").c_str(),
                               9992);
        ADD_FAILURE() << "no error";
    } catch (const TextureLoadError& error) {
        EXPECT_EQ(error.file(), folder + "/alpha.png");
    }
    EXPECT_EQ(textureTable[9992], 0u);
    std::filesystem::remove_all(folder);
}
