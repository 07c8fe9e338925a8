// The PNG decoder against libpng on the PngSuite, and its own rules on
// hand-built files.
#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <cstring>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "imaging/crc32.h"
#include "imaging/png_decoder.h"
#include "libpng_oracle.h"

using namespace Pictor;
using Bytes = std::vector<uint8_t>;

namespace {

// Kept in the repository so a clone alone passes.
const std::string kSuite = std::string(HLV_SOURCE_DIR) + "/tests/data/pngsuite/";

// --- the oracle: libpng's samples put through the same conversion rules -----

using png_oracle::Expected;

Expected DecodeWithLibpng(const std::string& path) {
    std::optional<Expected> e = png_oracle::DecodeWithLibpng(png_oracle::ReadFile(path));
    if (!e)
        throw std::runtime_error("libpng failed on " + path);
    return *e;
}

void ExpectSameImage(const BitmapImage& image, const Expected& e, const std::string& name) {
    ASSERT_EQ(image.BitCount(), e.bits) << name;
    ASSERT_EQ(image.Width(), e.width) << name;
    ASSERT_EQ(image.Height(), e.height) << name;
    ASSERT_EQ(image.BytesPerRow(), e.bytesPerRow) << name;
    ASSERT_EQ(image.ColorCount(), e.colors) << name;
    Bytes pixels(image.ImageData(), image.ImageData() + e.pixels.size());
    EXPECT_EQ(pixels, e.pixels) << name;
    for (unsigned i = 0; i < e.colors; ++i)
        ASSERT_EQ(0, std::memcmp(image.ColorMap(i), &e.colorMap[3 * i], 3))
            << name << " entry " << i;
}

// --- building files by hand ---------------------------------------------------

void Put32(Bytes& b, uint32_t v) {
    for (int s = 24; s >= 0; s -= 8)
        b.push_back(uint8_t(v >> s));
}

struct PngBuilder {
    Bytes bytes;
    PngBuilder() {
        const uint8_t signature[8] = {137, 80, 78, 71, 13, 10, 26, 10};
        bytes.assign(signature, signature + 8);
    }
    PngBuilder& Chunk(const char* type, const Bytes& data) {
        Put32(bytes, uint32_t(data.size()));
        size_t start = bytes.size();
        bytes.insert(bytes.end(), type, type + 4);
        bytes.insert(bytes.end(), data.begin(), data.end());
        Put32(bytes, uint32_t(crc32(0, bytes.data() + start, uInt(bytes.size() - start))));
        return *this;
    }
    PngBuilder& Header(uint32_t w, uint32_t h, int depth, int type, int interlace = 0) {
        Bytes d;
        Put32(d, w);
        Put32(d, h);
        d.insert(d.end(), {uint8_t(depth), uint8_t(type), 0, 0, uint8_t(interlace)});
        return Chunk("IHDR", d);
    }
    // Compresses `raw` (filter bytes included) into IDAT chunks of `split` bytes.
    PngBuilder& Data(const Bytes& raw, size_t split = 1 << 20) {
        uLongf size = compressBound(uLong(raw.size()));
        Bytes z(size);
        compress2(z.data(), &size, raw.data(), uLong(raw.size()), 9);
        z.resize(size);
        for (size_t i = 0; i < z.size(); i += split)
            Chunk("IDAT", Bytes(z.begin() + i, z.begin() + std::min(z.size(), i + split)));
        return *this;
    }
    Bytes End() {
        Put32(bytes, 0);
        bytes.insert(bytes.end(), {'I', 'E', 'N', 'D', 0xAE, 0x42, 0x60, 0x82});
        return bytes;
    }
};

void Decode(const Bytes& file, BitmapImage& image) {
    PngInputMemoryStream stream(file.data(), file.size());
    PngDecoder decoder;
    decoder.ReadImage(stream, image);
}

// "Class: message" of what decoding raises, or "ok".
std::string Outcome(const Bytes& file) {
    BitmapImage image;
    try {
        Decode(file, image);
    } catch (const PngDecoder::BadPngStream& e) {
        return std::string("BadPngStream: ") + e.what();
    } catch (const PngDecoder::PngError& e) {
        return std::string("PngError: ") + e.what();
    } catch (const GraphicsException& e) {
        return std::string("GraphicsException: ") + e.what();
    } catch (const InputByteStream::StreamError& e) {
        return std::string("InputByteStream: ") + e.what();
    } catch (const InflateDecoder::StreamError& e) {
        return std::string("InflateDecoder: ") + e.what();
    } catch (const std::range_error& e) {
        return std::string("range_error: ") + e.what();
    }
    return "ok";
}

Bytes ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

Bytes GrayRows(uint32_t rowBytes, uint32_t rows, uint8_t seed) {
    Bytes raw;
    for (uint32_t y = 0; y < rows; ++y) {
        raw.push_back(0);
        for (uint32_t x = 0; x < rowBytes; ++x)
            raw.push_back(uint8_t(seed + x * 7 + y * 13));
    }
    return raw;
}

} // namespace

// --- the suite ----------------------------------------------------------------

TEST(PngSuite, EveryValidFileMatchesLibpngAndEveryCorruptOneIsRejected) {
    std::ifstream table(kSuite + "EXPECTED.tsv");
    ASSERT_TRUE(table) << kSuite;
    const std::map<std::string, std::string> corrupt = {
        {"xc1n0g08.png", "BadPngStream: Invalid Color Type"},
        {"xc9n2c08.png", "BadPngStream: Invalid Color Type"},
        {"xcrn0g04.png", "BadPngStream: Not a PNG file"},
        {"xcsn0g01.png", "InputByteStream: Invalid Chunk CRC"},
        {"xd0n2c08.png", "BadPngStream: Invalid Bit Depth"},
        {"xd3n2c08.png", "BadPngStream: Invalid Bit Depth"},
        {"xd9n2c08.png", "BadPngStream: Invalid Bit Depth"},
        {"xdtn0g01.png", "BadPngStream: Image Contains no Pixel Data"},
        {"xhdn0g08.png", "InputByteStream: Invalid Chunk CRC"},
        {"xlfn0g04.png", "BadPngStream: Not a PNG file"},
        {"xs1n0g01.png", "BadPngStream: Not a PNG file"},
        {"xs2n0g01.png", "BadPngStream: Not a PNG file"},
        {"xs4n0g01.png", "BadPngStream: Not a PNG file"},
        {"xs7n0g01.png", "BadPngStream: Not a PNG file"},
    };
    std::string line;
    std::getline(table, line);
    int valid = 0, rejected = 0;
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        std::string name, isValid;
        fields >> name >> isValid;
        if (isValid == "yes") {
            BitmapImage image;
            PngDecoder decoder;
            ASSERT_NO_THROW(decoder.ReadImage((kSuite + name).c_str(), image)) << name;
            ExpectSameImage(image, DecodeWithLibpng(kSuite + name), name);
            ++valid;
        } else {
            ASSERT_TRUE(corrupt.count(name)) << name;
            EXPECT_EQ(Outcome(ReadFile(kSuite + name)), corrupt.at(name)) << name;
            ++rejected;
        }
    }
    EXPECT_EQ(valid, 161);
    EXPECT_EQ(rejected, 14);
}

TEST(PngSuite, PathsWithBackslashesAndMissingFiles) {
    BitmapImage image;
    PngDecoder decoder;
    std::string path = kSuite + "basn2c08.png";
    path[path.size() - 13] = '\\';
    ASSERT_EQ(path.substr(path.size() - 13, 1), "\\");
    EXPECT_NO_THROW(decoder.ReadImage(path.c_str(), image));
    EXPECT_EQ(image.Width(), 32u);
    try {
        decoder.ReadImage((kSuite + "no-such-file.png").c_str(), image);
        FAIL();
    } catch (const PngDecoder::BadPngStream&) {
        FAIL() << "a missing file is not a format error";
    } catch (const PngDecoder::PngError& e) {
        EXPECT_STREQ(e.what(), "Can't open input file");
    }
}

// --- rules on hand-built files ------------------------------------------------

TEST(PngRules, ImageDataSplitOrInterruptedByOtherChunks) {
    const Bytes raw = GrayRows(40, 30, 1);
    BitmapImage whole, split;
    Decode(PngBuilder().Header(40, 30, 8, 0).Data(raw).End(), whole);
    Decode(PngBuilder().Header(40, 30, 8, 0).Data(raw, 7).End(), split);
    EXPECT_EQ(0, std::memcmp(whole.ImageData(), split.ImageData(), 40 * 30));
    EXPECT_EQ(whole.Row(29)[5], uint8_t(1 + 5 * 7)); // the file's top row is last in memory

    // Data still needed after a foreign chunk: the refill refuses it.
    PngBuilder interrupted;
    interrupted.Header(40, 30, 8, 0);
    uLongf size = compressBound(uLong(raw.size()));
    Bytes z(size);
    compress2(z.data(), &size, raw.data(), uLong(raw.size()), 9);
    z.resize(size);
    interrupted.Chunk("IDAT", Bytes(z.begin(), z.begin() + 20));
    interrupted.Chunk("tEXt", Bytes{'k', 0, 'v'});
    interrupted.Chunk("IDAT", Bytes(z.begin() + 20, z.end()));
    EXPECT_EQ(Outcome(interrupted.End()), "InputByteStream: Missing IDAT Chunk");

    // Only the checksum left after a foreign chunk: a second data segment.
    PngBuilder late;
    late.Header(40, 30, 8, 0);
    late.Chunk("IDAT", Bytes(z.begin(), z.end() - 4));
    late.Chunk("tEXt", Bytes{'k', 0, 'v'});
    late.Chunk("IDAT", Bytes(z.end() - 4, z.end()));
    EXPECT_EQ(Outcome(late.End()), "BadPngStream: Image Contains Multiple Data Segments");

    // The same tail in an IDAT right after the others is part of the data.
    PngBuilder tail;
    tail.Header(40, 30, 8, 0);
    tail.Chunk("IDAT", Bytes(z.begin(), z.end() - 4));
    tail.Chunk("IDAT", Bytes(z.end() - 4, z.end()));
    EXPECT_EQ(Outcome(tail.End()), "ok");

    // Too little data for the rows.
    PngBuilder shortData;
    shortData.Header(40, 31, 8, 0).Data(raw);
    EXPECT_EQ(Outcome(shortData.End()), "BadPngStream: Image Data Ends Before the Last Row");
    EXPECT_EQ(
        Outcome(
            PngBuilder().Header(40, 30, 8, 0).Chunk("IDAT", Bytes(z.begin(), z.end() - 30)).End()),
        "InputByteStream: Missing IDAT Chunk");
    Bytes cut = PngBuilder().Header(40, 30, 8, 0).Data(raw).bytes;
    cut.resize(cut.size() - 40);
    EXPECT_EQ(Outcome(cut), "InputByteStream: Premature End of File");
}

TEST(PngRules, ChunkSequenceAndUnknownChunks) {
    const Bytes raw = GrayRows(4, 4, 0);
    EXPECT_EQ(Outcome(PngBuilder().Header(4, 4, 8, 0).Chunk("abCD", {1, 2}).Data(raw).End()), "ok");
    EXPECT_EQ(Outcome(PngBuilder().Header(4, 4, 8, 0).Chunk("AbCD", {1, 2}).Data(raw).End()),
              "BadPngStream: Unknown critical chunk");
    // A zero-length chunk ends the sequence before the data.
    EXPECT_EQ(Outcome(PngBuilder().Header(4, 4, 8, 0).Chunk("tEXt", {}).Data(raw).End()),
              "BadPngStream: Image Contains no Pixel Data");
    EXPECT_EQ(Outcome(PngBuilder().Data(raw).End()), "BadPngStream: Missing IHDR Chunk");
    EXPECT_EQ(Outcome(PngBuilder().Header(4, 4, 8, 0).Header(4, 4, 8, 0).Data(raw).End()),
              "BadPngStream: Duplicate IHDR Block");
    EXPECT_EQ(
        Outcome(
            PngBuilder().Header(4, 4, 8, 0).Chunk("tEXt", {'n', 'o', 'z', 'e', 'r', 'o'}).End()),
        "BadPngStream: tEXt keyword not found");
    EXPECT_EQ(Outcome(PngBuilder().Header(4, 4, 8, 0).Data(raw).Chunk("gAMA", {0, 0, 0, 1}).End()),
              "BadPngStream: gAMA chunk may not occur after IDAT");
    EXPECT_EQ(
        Outcome(PngBuilder().Header(4, 4, 8, 2).Chunk("pHYs", {0, 0, 0, 1, 0, 0, 0, 1, 2}).End()),
        "BadPngStream: pHYs contains an invalid unit");
    EXPECT_EQ(Outcome(PngBuilder().Header(4, 4, 8, 2).Chunk("tIME", {1, 2, 3}).End()),
              "BadPngStream: tIME chunk size invalid");

    // A damaged CRC fails even on an ancillary chunk.
    Bytes file = PngBuilder().Header(4, 4, 8, 0).Chunk("tEXt", {'k', 0, 'v'}).Data(raw).End();
    file[8 + 25 + 8 + 3] ^= 1;
    EXPECT_EQ(Outcome(file), "InputByteStream: Invalid Chunk CRC");
    // Truncated anywhere: an exception, never a crash.
    Bytes good = PngBuilder().Header(4, 4, 8, 0).Data(raw).End();
    for (size_t cut = 0; cut + 12 < good.size(); ++cut)
        EXPECT_NE(Outcome(Bytes(good.begin(), good.begin() + cut)), "ok") << cut;
}

TEST(PngRules, HeaderChecks) {
    const Bytes raw = GrayRows(4, 4, 0);
    EXPECT_EQ(Outcome(PngBuilder().Header(4, 4, 4, 2).Data(raw).End()),
              "BadPngStream: Invalid Bit Depth for Color Type");
    EXPECT_EQ(Outcome(PngBuilder().Header(4, 4, 16, 3).Data(raw).End()),
              "BadPngStream: Invalid Bit Depth for Color Type");
    EXPECT_EQ(Outcome(PngBuilder().Header(4, 4, 8, 0, 2).Data(raw).End()),
              "BadPngStream: Invalid Interlace Method");
    EXPECT_EQ(Outcome(PngBuilder().Chunk("IHDR", Bytes(12, 1)).End()),
              "BadPngStream: Invalid Header Length");
    EXPECT_EQ(Outcome(PngBuilder().Header(0x40000000, 0x40000000, 8, 6).Data(raw).End()),
              "BadPngStream: Image Too Large");
}

TEST(PngRules, PaletteSizes) {
    const Bytes raw = {0, 0x0F, 0xF0};
    Bytes palette15, palette17;
    for (int i = 0; i < 15 * 3; ++i)
        palette15.push_back(uint8_t(100 + i));
    palette17 = palette15;
    palette17.insert(palette17.end(), 6, 9);
    EXPECT_EQ(Outcome(PngBuilder().Header(4, 1, 4, 3).Chunk("PLTE", palette17).Data(raw).End()),
              "range_error: Subscript Out of Range");
    BitmapImage image;
    Decode(PngBuilder().Header(4, 1, 4, 3).Chunk("PLTE", palette15).Data(raw).End(), image);
    ASSERT_EQ(image.BitCount(), 4u);
    EXPECT_EQ(image.ColorMap(0)[0], 102); // blue is the third palette byte
    EXPECT_EQ(image.ColorMap(14)[2], 100 + 42);
    EXPECT_EQ(image.ColorMap(15)[0] | image.ColorMap(15)[1] | image.ColorMap(15)[2], 0);
    EXPECT_THROW(image.ColorMap(16), std::range_error);
    EXPECT_EQ(image.Row(0)[0], 0x0F);

    EXPECT_EQ(Outcome(PngBuilder().Header(4, 1, 4, 3).Data(raw).End()),
              "BadPngStream: PLTE block must occur before IDAT");
    EXPECT_EQ(Outcome(PngBuilder().Header(4, 1, 4, 0).Chunk("PLTE", palette15).Data(raw).End()),
              "BadPngStream: Grayscale image contains a PLTE block");
    EXPECT_EQ(Outcome(PngBuilder().Header(4, 1, 4, 3).Chunk("PLTE", Bytes(10, 0)).Data(raw).End()),
              "BadPngStream: PLTE chunk length not divisible by 3");
    EXPECT_EQ(Outcome(PngBuilder().Header(4, 1, 8, 3).Chunk("PLTE", Bytes(771, 0)).Data(raw).End()),
              "BadPngStream: PLTE chunk length too large");
}

TEST(PngRules, LowDepthGrayBecomesEightBitsWhereRequired) {
    // 2-bit gray, 4 pixels: 0, 1, 2, 3.
    BitmapImage image;
    Decode(PngBuilder().Header(4, 1, 2, 0).Data({0, 0x1B}).End(), image);
    ASSERT_EQ(image.BitCount(), 8u);
    EXPECT_EQ(Bytes(image.Row(0), image.Row(0) + 4), (Bytes{0, 1, 2, 3}));
    EXPECT_EQ(image.ColorMap(1)[0], 85);
    EXPECT_EQ(image.ColorMap(2)[1], 170);
    EXPECT_EQ(image.ColorMap(3)[2], 255);

    // 1-bit interlaced gray, 3 x 3: passes 2 and 3 have no pixels.
    Bytes raw;
    auto row = [&](std::initializer_list<uint8_t> bytes) {
        raw.push_back(0);
        raw.insert(raw.end(), bytes);
    };
    row({0x80}); // pass 1: (0,0) = 1
    row({0x80}); // pass 4: (0,2) = 1
    row({0x80}); // pass 5: row 2, columns 0 and 2: 1, 0
    row({0x80}); // pass 6: row 0, column 1: 1
    row({0x80}); // pass 6: row 2, column 1: 1
    row({0x40}); // pass 7: row 1, columns 0..2: 0, 1, 0
    Decode(PngBuilder().Header(3, 3, 1, 0, 1).Data(raw).End(), image);
    ASSERT_EQ(image.BitCount(), 8u);
    EXPECT_EQ(Bytes(image.Row(2), image.Row(2) + 3), (Bytes{1, 1, 1}));
    EXPECT_EQ(Bytes(image.Row(1), image.Row(1) + 3), (Bytes{0, 1, 0}));
    EXPECT_EQ(Bytes(image.Row(0), image.Row(0) + 3), (Bytes{1, 1, 0}));
    EXPECT_EQ(image.ColorMap(1)[0], 255);
}

TEST(PngRules, ColourConversionAndCompositing) {
    BitmapImage image;
    // 8-bit RGB-alpha over the default black background.
    Decode(PngBuilder().Header(1, 1, 8, 6).Data({0, 200, 100, 50, 128}).End(), image);
    EXPECT_EQ(Bytes(image.Row(0), image.Row(0) + 3), (Bytes{25, 50, 100}));
    // Over a bKGD colour (8-bit samples hold their value in the low byte).
    Decode(PngBuilder()
               .Header(1, 1, 8, 6)
               .Chunk("bKGD", {0, 255, 0, 0, 0, 10})
               .Data({0, 200, 100, 50, 128})
               .End(),
           image);
    EXPECT_EQ(Bytes(image.Row(0), image.Row(0) + 3),
              (Bytes{(50 * 128 + 127 * 10) / 255, 50, (200 * 128 + 127 * 255) / 255}));
    // A later file without bKGD is back on black.
    Decode(PngBuilder().Header(1, 1, 8, 6).Data({0, 200, 100, 50, 128}).End(), image);
    EXPECT_EQ(image.Row(0)[2], 100);
    // 16-bit RGB keeps the high bytes.
    Decode(PngBuilder().Header(1, 1, 16, 2).Data({0, 0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC}).End(),
           image);
    EXPECT_EQ(Bytes(image.Row(0), image.Row(0) + 3), (Bytes{0x9A, 0x56, 0x12}));
    // 16-bit gray-alpha over a 16-bit gray background.
    Decode(PngBuilder()
               .Header(1, 1, 16, 4)
               .Chunk("bKGD", {0xC8, 0x00})
               .Data({0, 0x64, 0xFF, 0x40, 0x00})
               .End(),
           image);
    EXPECT_EQ(image.Row(0)[0], (100 * 64 + 191 * 200) / 255);
    // 3 x 2 RGB: 9 bytes padded to 12, the file's top row second in memory.
    Bytes raw = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 11, 12, 13, 14, 15, 16, 17, 18, 19};
    Decode(PngBuilder().Header(3, 2, 8, 2).Data(raw).End(), image);
    ASSERT_EQ(image.BytesPerRow(), 12);
    EXPECT_EQ(Bytes(image.Row(1), image.Row(1) + 12), (Bytes{3, 2, 1, 6, 5, 4, 9, 8, 7, 0, 0, 0}));
    EXPECT_EQ(Bytes(image.Row(0), image.Row(0) + 3), (Bytes{13, 12, 11}));
}

TEST(PngRules, FiltersOfLibpngWrittenFiles) {
    // libpng chooses the filter per row adaptively, so these files mix all
    // five; 3 and 4 bytes per pixel.
    std::mt19937 rng(3);
    for (bool alpha : {false, true})
        for (uint32_t w : {37u, 64u}) {
            const uint32_t h = 23;
            const unsigned channels = alpha ? 4 : 3;
            Bytes pixels(size_t(w) * h * channels);
            for (size_t i = 0; i < pixels.size(); ++i)
                pixels[i] = uint8_t((i / channels % 50) * 5 + (i % channels) * 40 + rng() % 6);
            png_image picture{};
            picture.version = PNG_IMAGE_VERSION;
            picture.width = w;
            picture.height = h;
            picture.format = alpha ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
            png_alloc_size_t size = 0;
            ASSERT_TRUE(
                png_image_write_to_memory(&picture, nullptr, &size, 0, pixels.data(), 0, nullptr));
            Bytes file(size);
            ASSERT_TRUE(png_image_write_to_memory(&picture, file.data(), &size, 0, pixels.data(), 0,
                                                  nullptr));
            BitmapImage image;
            ASSERT_NO_THROW(Decode(file, image));
            for (uint32_t y = 0; y < h; ++y)
                for (uint32_t x = 0; x < w; ++x) {
                    const uint8_t* in = &pixels[(size_t(y) * w + x) * channels];
                    const uint8_t* out = image.Row(h - 1 - y) + 3 * x;
                    unsigned a = alpha ? in[3] : 255;
                    for (int c = 0; c < 3; ++c)
                        ASSERT_EQ(out[c], in[2 - c] * a / 255) << x << "," << y;
                }
        }
}
