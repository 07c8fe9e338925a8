#include "imaging/bmp_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

void put32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    }
}

// A bitmap with a 40-byte information header and the given pixel bytes.
std::vector<std::uint8_t> bitmap(std::int32_t width, std::int32_t height, int bits,
                                 std::uint32_t compression, const std::vector<std::uint8_t>& pixels,
                                 std::uint32_t imageSize) {
    std::vector<std::uint8_t> b(54 + pixels.size(), 0);
    b[0] = 'B';
    b[1] = 'M';
    put32(b, 2, static_cast<std::uint32_t>(54 + pixels.size()));
    put32(b, 10, 54);
    put32(b, 14, 40);
    put32(b, 18, static_cast<std::uint32_t>(width));
    put32(b, 22, static_cast<std::uint32_t>(height));
    b[26] = 1;
    b[28] = static_cast<std::uint8_t>(bits);
    put32(b, 30, compression);
    put32(b, 34, imageSize);
    std::copy(pixels.begin(), pixels.end(), b.begin() + 54);
    return b;
}

// 2 x 2 pixels, blue-green-red, rows of 8 bytes (6 pixel bytes, 2 padding).
const std::vector<std::uint8_t> kPixels2x2 = {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0};

std::unique_ptr<BmpRgbImage> decode(const std::vector<std::uint8_t>& b) {
    return DecodeBmpRgb(b.data(), b.size());
}

} // namespace

TEST(BmpReader, Converts24BitRowsToRgbWithTheSameStride) {
    const auto image = decode(bitmap(2, 2, 24, 0, kPixels2x2, 16));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->stride, 8u);
    const std::vector<std::uint8_t> expected = {3, 2, 1, 6, 5, 4, 0, 0, 9, 8, 7, 12, 11, 10, 0, 0};
    EXPECT_EQ(image->bytes, expected);

    // Size field 0: the count comes from the width; the padded rows still convert.
    const auto unsized = decode(bitmap(2, 2, 24, 0, kPixels2x2, 0));
    ASSERT_TRUE(unsized);
    EXPECT_EQ(unsized->bytes, expected);
}

TEST(BmpReader, OtherKindsGiveAnAllZeroImageOfTheRightSize) {
    const auto eightBit = decode(bitmap(3, 2, 8, 0, std::vector<std::uint8_t>(8, 0x7f), 8));
    ASSERT_TRUE(eightBit);
    EXPECT_EQ(eightBit->stride, 12u);
    EXPECT_EQ(eightBit->bytes, std::vector<std::uint8_t>(24, 0));
    const auto compressed = decode(bitmap(2, 2, 24, 1, kPixels2x2, 16));
    ASSERT_TRUE(compressed);
    EXPECT_EQ(compressed->bytes, std::vector<std::uint8_t>(16, 0));
}

TEST(BmpReader, TopDownRowsAreTurnedBottomUp) {
    const auto image = decode(bitmap(2, -2, 24, 0, kPixels2x2, 16));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->height, 2);
    EXPECT_EQ(image->bytes[0], 9);
    EXPECT_EQ(image->bytes[8], 3);
}

TEST(BmpReader, DamagedFilesAreRefusedWithoutReadingPastTheData) {
    // A size field larger than the data is a short read.
    EXPECT_FALSE(decode(bitmap(2, 2, 24, 0, kPixels2x2, 64)));
    auto shortOffset = bitmap(2, 2, 24, 0, kPixels2x2, 16);
    put32(shortOffset, 10, 20);
    EXPECT_FALSE(decode(shortOffset));
    auto pastEnd = bitmap(2, 2, 24, 0, kPixels2x2, 16);
    put32(pastEnd, 10, 5000);
    EXPECT_FALSE(decode(pastEnd));
    EXPECT_FALSE(decode(bitmap(-2, 2, 24, 0, kPixels2x2, 16)));
    EXPECT_FALSE(decode(bitmap(1 << 30, 1 << 20, 8, 0, {}, 0)));
    EXPECT_FALSE(decode(std::vector<std::uint8_t>(20, 0)));

    // A size field that understates narrow rows: pixels the file lacks stay 0.
    const std::vector<std::uint8_t> tight = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    const auto image = decode(bitmap(2, 2, 24, 0, tight, 12));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->bytes[8], 11); // row 1 starts at the 8-byte stride
    EXPECT_EQ(image->bytes[11], 0); // its second pixel lies past the data

    EXPECT_FALSE(LoadBmpRgb("hlvd\\no-such-image.bmp"));
}
