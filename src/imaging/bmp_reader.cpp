#include "imaging/bmp_reader.h"

#include "platform/asset_path.h"

#include <cstdlib>
#include <new>
#include <string>

namespace {

constexpr std::size_t kFileHeaderBytes = 14;
// The information header fields read end with the image size at byte 20.
constexpr std::size_t kInfoHeaderBytesUsed = 24;
// Larger conversions are refused as running out of memory would be.
constexpr std::uint64_t kMaxImageBytes = 64u << 20;

std::uint32_t u32At(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

std::uint16_t u16At(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

// Copies the blue, green, red pixels of each file row as red, green, blue.
// Source rows have the converted stride too; a top-down file is turned
// bottom-up. Bytes the file does not hold stay zero.
void convert24(const std::uint8_t* pixels, std::size_t available, bool topDown,
               BmpRgbImage& image) {
    const std::size_t rows = static_cast<std::size_t>(image.height);
    const std::size_t width = static_cast<std::size_t>(image.width);
    for (std::size_t r = 0; r < rows; ++r) {
        const std::size_t source = r * image.stride;
        std::uint8_t* target = image.bytes.data() + (topDown ? rows - 1 - r : r) * image.stride;
        for (std::size_t x = 0; x < width && source + 3 * x + 3 <= available; ++x) {
            const std::uint8_t* bgr = pixels + source + 3 * x;
            target[3 * x] = bgr[2];
            target[3 * x + 1] = bgr[1];
            target[3 * x + 2] = bgr[0];
        }
    }
}

} // namespace

std::unique_ptr<BmpRgbImage> DecodeBmpRgb(const std::uint8_t* data, std::size_t size) {
    if (data == nullptr || size < kFileHeaderBytes + kInfoHeaderBytesUsed) {
        return nullptr;
    }
    const std::uint64_t dataOffset = u32At(data + 10);
    if (dataOffset < kFileHeaderBytes + kInfoHeaderBytesUsed || dataOffset > size) {
        return nullptr;
    }
    const std::uint8_t* info = data + kFileHeaderBytes;
    const std::int32_t width = static_cast<std::int32_t>(u32At(info + 4));
    const std::int32_t height = static_cast<std::int32_t>(u32At(info + 8));
    const std::uint16_t bitsPerPixel = u16At(info + 14);
    const std::uint32_t compression = u32At(info + 16);
    const std::uint32_t imageSize = u32At(info + 20);
    if (width < 0 || height == INT32_MIN) {
        return nullptr;
    }
    const std::uint64_t rows = static_cast<std::uint64_t>(std::abs(height));
    const std::uint64_t available = size - dataOffset;
    // The rows the header describes must be in the file, whatever the size
    // field claims, so that a few bytes cannot announce a huge picture.
    const std::uint64_t packedRowBytes = (static_cast<std::uint64_t>(width) * bitsPerPixel + 7) / 8;
    if (bitsPerPixel == 0 || (packedRowBytes != 0 && rows > available / packedRowBytes)) {
        return nullptr;
    }
    const std::uint64_t pixelBytes = imageSize != 0 ? imageSize : rows * packedRowBytes;
    if (pixelBytes > available) {
        return nullptr; // short read
    }
    const std::uint64_t stride = (3 * static_cast<std::uint64_t>(width) + 3) & ~std::uint64_t{3};
    if (stride != 0 && rows > kMaxImageBytes / stride) {
        return nullptr;
    }
    auto image = std::unique_ptr<BmpRgbImage>(new (std::nothrow) BmpRgbImage);
    if (!image) {
        return nullptr;
    }
    image->width = width;
    image->height = static_cast<std::int32_t>(rows);
    image->stride = static_cast<std::size_t>(stride);
    image->bytes.assign(static_cast<std::size_t>(rows * stride), 0);
    if (compression == 0 && bitsPerPixel == 24 && width > 0) {
        convert24(data + dataOffset, size - dataOffset, height < 0, *image);
    }
    return image;
}

std::unique_ptr<BmpRgbImage> LoadBmpRgb(const char* path) {
    std::string contents;
    if (!readAssetFile(path, contents)) {
        return nullptr;
    }
    return DecodeBmpRgb(reinterpret_cast<const std::uint8_t*>(contents.data()), contents.size());
}
