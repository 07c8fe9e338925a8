#include "imaging/png_decoder.h"

#include "platform/asset_path.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace Pictor {
namespace {

constexpr uint8_t kSignature[8] = {137, 80, 78, 71, 13, 10, 26, 10};
// Larger pictures are refused before anything is allocated for them.
constexpr uint64_t kMaxImageBytes = uint64_t(1) << 30;

[[noreturn]] void Bad(const char* message) {
    throw PngDecoder::BadPngStream(message);
}

uint32_t BigEndian32(const uint8_t* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}

// Sample value `k` (0 ... 2^depth - 1) of a row packed most significant bits first.
unsigned PackedSample(const uint8_t* row, uint32_t k, unsigned depth) {
    uint32_t bit = k * depth;
    unsigned shift = 8 - depth - (bit & 7);
    return (row[bit >> 3] >> shift) & ((1u << depth) - 1);
}

uint8_t Composite(unsigned color, unsigned alpha, unsigned background) {
    return uint8_t((color * alpha + (255 - alpha) * background) / 255);
}

struct Adam7Pass {
    uint32_t firstRow, firstColumn, rowStep, columnStep;
};
constexpr Adam7Pass kAdam7[7] = {{0, 0, 8, 8}, {0, 4, 8, 8}, {4, 0, 8, 4}, {0, 2, 4, 4},
                                 {2, 0, 4, 2}, {0, 1, 2, 2}, {1, 0, 2, 1}};

// The predictor of the Paeth filter: of left (a), above (b) and upper-left
// (c), the one nearest to a + b - c, ties going to a, then b.
unsigned Paeth(int a, int b, int c) {
    int pa = std::abs(b - c);
    int pb = std::abs(a - c);
    int pc = std::abs(a + b - 2 * c);
    if (pa <= pb && pa <= pc)
        return unsigned(a);
    return unsigned(pb <= pc ? b : c);
}

void UndoPaeth(uint8_t* row, const uint8_t* previous, uint32_t size, uint32_t bpp) {
    for (uint32_t i = 0; i < bpp; ++i)
        row[i] = uint8_t(row[i] + previous[i]);
    for (uint32_t i = bpp; i < size; ++i)
        row[i] = uint8_t(row[i] + Paeth(row[i - bpp], previous[i], previous[i - bpp]));
}

#if defined(__SSE2__)
// Three or four bytes per pixel: all channels of a pixel at once in 16-bit
// lanes; the rows carry at least one spare byte so a 4-byte load is safe.
template <uint32_t kBpp> void UndoPaethWide(uint8_t* row, const uint8_t* previous, uint32_t size) {
    const __m128i zero = _mm_setzero_si128();
    auto load = [&](const uint8_t* p) {
        int32_t v;
        std::memcpy(&v, p, 4);
        return _mm_unpacklo_epi8(_mm_cvtsi32_si128(v), zero);
    };
    auto absolute = [&](__m128i x) { return _mm_max_epi16(x, _mm_sub_epi16(zero, x)); };
    auto select = [](__m128i mask, __m128i yes, __m128i no) {
        return _mm_or_si128(_mm_and_si128(mask, yes), _mm_andnot_si128(mask, no));
    };
    __m128i a = zero, c = zero;
    for (uint32_t i = 0; i + kBpp <= size; i += kBpp) {
        __m128i b = load(previous + i);
        __m128i d = load(row + i);
        __m128i pa = _mm_sub_epi16(b, c);
        __m128i pb = _mm_sub_epi16(a, c);
        __m128i pc = absolute(_mm_add_epi16(pa, pb));
        pa = absolute(pa);
        pb = absolute(pb);
        __m128i smallest = _mm_min_epi16(pc, _mm_min_epi16(pa, pb));
        __m128i nearest =
            select(_mm_cmpeq_epi16(smallest, pa), a, select(_mm_cmpeq_epi16(smallest, pb), b, c));
        a = _mm_and_si128(_mm_add_epi16(d, nearest), _mm_set1_epi16(0xFF));
        int32_t out = _mm_cvtsi128_si32(_mm_packus_epi16(a, a));
        std::memcpy(row + i, &out, kBpp);
        c = b;
    }
}
#endif

} // namespace

void PngDecoder::ReadImage(const char* path, BitmapImage& image) {
    const std::string name = assetPath(path);
    PngInputFileStream stream;
    if (!stream.Open(name.c_str()))
        throw PngError("Can't open input file");
    ReadImage(stream, image);
}

void PngDecoder::ReadImage(PngInputStream& stream, BitmapImage& image) {
    dataSeen_ = paletteSeen_ = headerSeen_ = endSeen_ = inDataSegment_ = false;
    currentRow_ = 0;
    rowSize_ = 0;
    pass_ = 0;
    paletteSize_ = 0;
    // Each file composites over its own bKGD colour, or black without one.
    backgroundRed_ = backgroundGreen_ = backgroundBlue_ = backgroundGray_ = 0;

    uint8_t signature[8];
    stream.ReadRaw(signature, 8);
    if (std::memcmp(signature, kSignature, 8) != 0)
        Bad("Not a PNG file");
    if (!stream.ReadChunk() || !stream.IsChunk("IHDR"))
        Bad("Missing IHDR Chunk");
    for (;;) {
        DispatchChunk(stream, image);
        if (endSeen_ || !stream.ReadChunk())
            break;
    }
    for (auto& buffer : rowBuffers_) {
        buffer.clear();
        buffer.shrink_to_fit();
    }
    if (!dataSeen_)
        Bad("Image Contains no Pixel Data");
}

void PngDecoder::DispatchChunk(PngInputStream& stream, BitmapImage& image) {
    // IDAT chunks right after the ones the rows needed still belong to the
    // same data segment: they hold the end of the compressed stream.
    bool continuesData = inDataSegment_ && stream.IsChunk("IDAT");
    inDataSegment_ = stream.IsChunk("IDAT");
    if (continuesData)
        return;
    if (stream.IsChunk("IHDR"))
        ReadHeader(stream, image);
    else if (stream.IsChunk("IDAT"))
        ReadImageData(stream, image);
    else if (stream.IsChunk("PLTE"))
        ReadPalette(stream, image);
    else if (stream.IsChunk("IEND"))
        endSeen_ = true;
    else if (stream.IsChunk("bKGD"))
        ReadBackground(stream, image);
    else if (stream.IsChunk("gAMA"))
        CheckGamma(stream);
    else if (stream.IsChunk("cHRM"))
        CheckChromaticities(stream);
    else if (stream.IsChunk("hIST"))
        CheckHistogram(stream);
    else if (stream.IsChunk("sBIT"))
        CheckSignificantBits(stream);
    else if (stream.IsChunk("tRNS"))
        CheckTransparency(stream);
    else if (stream.IsChunk("pHYs"))
        CheckPhysicalSize(stream);
    else if (stream.IsChunk("tIME"))
        CheckTime(stream);
    else if (stream.IsChunk("tEXt"))
        CheckText(stream, "tEXt keyword not found");
    else if (stream.IsChunk("zEXt"))
        CheckText(stream, "zEXt keyword not found");
    else if (!(stream.ChunkType()[0] & 0x20))
        Bad("Unknown critical chunk");
}

void PngDecoder::ReadHeader(PngInputStream& stream, BitmapImage& image) {
    if (headerSeen_)
        Bad("Duplicate IHDR Block");
    if (stream.ChunkLength() != 13)
        Bad("Invalid Header Length");
    headerSeen_ = true;
    const uint8_t* data = stream.ChunkData();
    width_ = BigEndian32(data);
    height_ = BigEndian32(data + 4);
    bitDepth_ = data[8];
    colorType_ = data[9];
    compressionMethod_ = data[10];
    filterMethod_ = data[11];
    interlaceMethod_ = data[12];

    if (compressionMethod_ != 0)
        Bad("Invalid Compression Method");
    if (filterMethod_ != 0)
        Bad("Invalid Filter Method");
    if (interlaceMethod_ > 1)
        Bad("Invalid Interlace Method");
    if (bitDepth_ != 1 && bitDepth_ != 2 && bitDepth_ != 4 && bitDepth_ != 8 && bitDepth_ != 16)
        Bad("Invalid Bit Depth");
    bool rgbOrAlpha = colorType_ == 2 || colorType_ == 4 || colorType_ == 6;
    if ((rgbOrAlpha && bitDepth_ != 8 && bitDepth_ != 16) || (colorType_ == 3 && bitDepth_ == 16))
        Bad("Invalid Bit Depth for Color Type");
    if (colorType_ != 0 && !rgbOrAlpha && colorType_ != 3)
        Bad("Invalid Color Type");
    SetImageSize(image);
}

void PngDecoder::SetImageSize(BitmapImage& image) {
    unsigned bits, colors;
    if (colorType_ == 2 || colorType_ == 6) {
        bits = 24;
        colors = 0;
    } else if (interlaceMethod_ || bitDepth_ == 2 || bitDepth_ == 16) {
        bits = 8;
        colors = bitDepth_ == 16 ? 256 : 1u << bitDepth_;
    } else {
        bits = bitDepth_;
        colors = 1u << bitDepth_;
    }
    uint64_t imageRow = ((uint64_t(bits) * width_ + 7) / 8 + 3) & ~uint64_t(3);
    if (imageRow * height_ > kMaxImageBytes || RowSize(width_) > kMaxImageBytes)
        Bad("Image Too Large");
    image.SetSize(colors, bits, width_, height_);

    if (colorType_ == 0 || colorType_ == 4) {
        for (unsigned i = 0; i < colors; ++i) {
            uint8_t level = uint8_t(bitDepth_ >= 8 ? i : i * 255 / ((1u << bitDepth_) - 1));
            std::memset(image.ColorMap(i), level, 3);
        }
    }
}

uint64_t PngDecoder::RowSize(uint64_t width) const {
    switch (colorType_) {
    case 2:
        return 3 * bitDepth_ * width / 8;
    case 4:
        return 2 * bitDepth_ * width / 8;
    case 6:
        return 4 * bitDepth_ * width / 8;
    default:
        return (bitDepth_ * width + 7) / 8;
    }
}

unsigned PngDecoder::BytesPerPixel() const {
    unsigned channels = colorType_ == 2 ? 3 : colorType_ == 4 ? 2 : colorType_ == 6 ? 4 : 1;
    return std::max(1u, channels * bitDepth_ / 8);
}

void PngDecoder::ReadPalette(PngInputStream& stream, BitmapImage& image) {
    if (paletteSeen_)
        Bad("Duplicate PLTE block");
    paletteSeen_ = true;
    if (colorType_ == 0 || colorType_ == 4)
        Bad("Grayscale image contains a PLTE block");
    uint32_t length = stream.ChunkLength();
    if (length % 3 != 0)
        Bad("PLTE chunk length not divisible by 3");
    if (length > 768)
        Bad("PLTE chunk length too large");
    paletteSize_ = length / 3;
    if (colorType_ != 3)
        return;
    const uint8_t* entry = stream.ChunkData();
    for (uint32_t i = 0; i < paletteSize_; ++i, entry += 3) {
        uint8_t* color = image.ColorMap(i);
        color[0] = entry[2];
        color[1] = entry[1];
        color[2] = entry[0];
    }
}

void PngDecoder::ReadImageData(PngInputStream& stream, BitmapImage& image) {
    if (dataSeen_)
        Bad("Image Contains Multiple Data Segments");
    dataSeen_ = true;
    if (colorType_ == 3 && !paletteSeen_)
        Bad("PLTE block must occur before IDAT");

    rowSize_ = uint32_t(RowSize(width_));
    // One spare byte lets the filters load whole 4-byte pixels of 3-byte ones.
    for (auto& buffer : rowBuffers_)
        buffer.assign(rowSize_ + 1, 0);

    InflateInputStream input(stream);
    inflater_.OpenStream(input);
    if (!interlaceMethod_) {
        DecodePass(input, image, 0, 0, 1, 1);
        return;
    }
    for (pass_ = 0; pass_ < 7; ++pass_) {
        const Adam7Pass& pass = kAdam7[pass_];
        if (pass.firstRow >= height_ || pass.firstColumn >= width_)
            continue;
        DecodePass(input, image, pass.firstRow, pass.firstColumn, pass.rowStep, pass.columnStep);
    }
}

void PngDecoder::InflateRow(InflateInputStream& input, uint8_t* row, uint32_t size) {
    // A stream that ends before the picture does would leave stale rows behind.
    if (inflater_.Decode(input, size, row) != size)
        Bad("Image Data Ends Before the Last Row");
}

void PngDecoder::DecodePass(InflateInputStream& input, BitmapImage& image, uint32_t firstRow,
                            uint32_t firstColumn, uint32_t rowStep, uint32_t columnStep) {
    uint32_t passWidth = (width_ - firstColumn + columnStep - 1) / columnStep;
    uint32_t size = uint32_t(RowSize(passWidth));
    for (auto& buffer : rowBuffers_)
        std::fill(buffer.begin(), buffer.end(), 0);
    currentRow_ = 0;
    for (uint32_t y = firstRow; y < height_; y += rowStep) {
        uint8_t* row = rowBuffers_[currentRow_].data();
        const uint8_t* previous = rowBuffers_[1 - currentRow_].data();
        uint8_t filter;
        InflateRow(input, &filter, 1);
        InflateRow(input, row, size);
        UndoFilter(filter, row, previous, size);
        ConvertRow(row, image, height_ - 1 - y, passWidth, firstColumn, columnStep);
        currentRow_ = 1 - currentRow_;
        CallProgressFunction();
    }
}

void PngDecoder::UndoFilter(unsigned filter, uint8_t* row, const uint8_t* previous,
                            uint32_t size) const {
    const uint32_t bpp = std::min(BytesPerPixel(), size);
    switch (filter) {
    case 0:
        return;
    case 1:
        for (uint32_t i = bpp; i < size; ++i)
            row[i] = uint8_t(row[i] + row[i - bpp]);
        return;
    case 2:
        for (uint32_t i = 0; i < size; ++i)
            row[i] = uint8_t(row[i] + previous[i]);
        return;
    case 3:
        for (uint32_t i = 0; i < bpp; ++i)
            row[i] = uint8_t(row[i] + (previous[i] >> 1));
        for (uint32_t i = bpp; i < size; ++i)
            row[i] = uint8_t(row[i] + ((row[i - bpp] + previous[i]) >> 1));
        return;
    case 4:
#if defined(__SSE2__)
        if (bpp == 3 && size % 3 == 0)
            return UndoPaethWide<3>(row, previous, size);
        if (bpp == 4 && size % 4 == 0)
            return UndoPaethWide<4>(row, previous, size);
#endif
        UndoPaeth(row, previous, size, bpp);
        return;
    default:
        Bad("Invalid Filter Method");
    }
}

void PngDecoder::ConvertRow(const uint8_t* row, BitmapImage& image, uint32_t imageRow,
                            uint32_t passWidth, uint32_t firstColumn, uint32_t columnStep) const {
    uint8_t* out = image.Row(imageRow);
    const unsigned depth = bitDepth_;
    const unsigned step = depth / 8; // bytes per sample of 8 and 16-bit images
    switch (colorType_) {
    case 0:
    case 3:
        if (!interlaceMethod_ && image.BitCount() == depth) {
            if (rowSize_ > 0)
                std::memcpy(out, row, rowSize_);
        } else if (depth == 16) {
            for (uint32_t k = 0; k < passWidth; ++k)
                out[firstColumn + k * columnStep] = row[2 * k];
        } else {
            for (uint32_t k = 0; k < passWidth; ++k)
                out[firstColumn + k * columnStep] = uint8_t(PackedSample(row, k, depth));
        }
        return;
    case 2:
        for (uint32_t k = 0; k < passWidth; ++k, row += 3 * step) {
            uint8_t* pixel = out + 3 * (firstColumn + k * columnStep);
            pixel[0] = row[2 * step];
            pixel[1] = row[step];
            pixel[2] = row[0];
        }
        return;
    case 4:
        for (uint32_t k = 0; k < passWidth; ++k, row += 2 * step)
            out[firstColumn + k * columnStep] = Composite(row[0], row[step], backgroundGray_);
        return;
    case 6:
        for (uint32_t k = 0; k < passWidth; ++k, row += 4 * step) {
            uint8_t* pixel = out + 3 * (firstColumn + k * columnStep);
            unsigned alpha = row[3 * step];
            pixel[0] = Composite(row[2 * step], alpha, backgroundBlue_);
            pixel[1] = Composite(row[step], alpha, backgroundGreen_);
            pixel[2] = Composite(row[0], alpha, backgroundRed_);
        }
        return;
    default:
        Bad("Invalid Color Type");
    }
}

// ---------------------------------------------------------------------------
// Ancillary chunks: only bKGD changes the picture; the others are validated.

void PngDecoder::ReadBackground(PngInputStream& stream, BitmapImage& image) {
    const uint32_t length = stream.ChunkLength();
    const uint8_t* data = stream.ChunkData();
    // Samples are two bytes; 16-bit images contribute the high byte, others
    // hold the value in the low byte.
    auto sample = [&](unsigned i) { return bitDepth_ == 16 ? data[2 * i] : data[2 * i + 1]; };
    switch (colorType_) {
    case 0:
    case 4:
        if (length < 2)
            Bad("bKGD Chunk too small");
        if (data[0] >= (1u << bitDepth_))
            Bad("bKGD palette index too large");
        backgroundGray_ = sample(0);
        return;
    case 3: {
        if (length < 1)
            Bad("bKGD Chunk too small");
        if (data[0] >= (1u << bitDepth_))
            Bad("bKGD palette index too large");
        const uint8_t* color = image.ColorMap(data[0]);
        backgroundBlue_ = color[0];
        backgroundGreen_ = color[1];
        backgroundRed_ = color[2];
        return;
    }
    case 2:
    case 6:
        if (length < 6)
            Bad("bKGD Chunk too small");
        backgroundRed_ = sample(0);
        backgroundGreen_ = sample(1);
        backgroundBlue_ = sample(2);
        return;
    default:
        Bad("Invalid Color Type");
    }
}

void PngDecoder::CheckGamma(PngInputStream& stream) {
    if (paletteSeen_)
        Bad("gAMA chunk may not occur after PLTE");
    if (dataSeen_)
        Bad("gAMA chunk may not occur after IDAT");
    if (stream.ChunkLength() < 4)
        Bad("gAMA chunk too small");
}

void PngDecoder::CheckChromaticities(PngInputStream& stream) {
    if (paletteSeen_)
        Bad("cHRM chunk may not occur after PLTE");
    if (dataSeen_)
        Bad("cHRM chunk may not occur after IDAT");
    if (stream.ChunkLength() != 32)
        Bad("Invalid cHRM chunk length");
}

void PngDecoder::CheckHistogram(PngInputStream& stream) {
    if (!paletteSeen_)
        Bad("hIST chunk may not appear before PLTE");
    if (dataSeen_)
        Bad("hIST chunk must appear before IDAT");
    if (stream.ChunkLength() != 2 * paletteSize_)
        Bad("Bad size for hIST chunk");
}

void PngDecoder::CheckPhysicalSize(PngInputStream& stream) {
    if (dataSeen_)
        Bad("pHYS chunk must come before IDAT chunks");
    if (stream.ChunkLength() != 9)
        Bad("pHYs chunk size invalid");
    if (stream.ChunkData()[8] > 1)
        Bad("pHYs contains an invalid unit");
}

void PngDecoder::CheckSignificantBits(PngInputStream& stream) {
    if (dataSeen_)
        Bad("sBIT chunk must occur before IDAT chunks");
    if (paletteSeen_)
        Bad("sBIT chunk must occur before PTLE chunk");
    uint32_t needed;
    switch (colorType_) {
    case 0:
        needed = 1;
        break;
    case 2:
    case 3:
        needed = 3;
        break;
    case 4:
        needed = 2;
        break;
    case 6:
        needed = 4;
        break;
    default:
        Bad("Invalid Color Type");
    }
    if (stream.ChunkLength() < needed)
        Bad("sBIT chunk length invalid");
}

void PngDecoder::CheckTransparency(PngInputStream&) {
    if (dataSeen_)
        Bad("tRNS chunk must come before IDAT");
}

void PngDecoder::CheckTime(PngInputStream& stream) {
    if (stream.ChunkLength() != 7)
        Bad("tIME chunk size invalid");
}

void PngDecoder::CheckText(PngInputStream& stream, const char* message) {
    uint32_t searched = std::min<uint32_t>(stream.ChunkLength(), 80);
    if (!std::memchr(stream.ChunkData(), 0, searched))
        Bad(message);
}

} // namespace Pictor
