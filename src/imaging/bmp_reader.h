// Reader for Windows bitmaps that converts 24-bit uncompressed pixels to RGB.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

// Rows in the file's order (bottom row first), each `stride` bytes of
// red, green, blue pixels, stride = (3 * width + 3) & ~3.
struct BmpRgbImage {
    std::int32_t width = 0;
    std::int32_t height = 0; // number of rows, never negative
    std::size_t stride = 0;
    std::vector<std::uint8_t> bytes;

    // The byte at offset, or 0 outside the image.
    std::uint8_t byteAt(std::size_t offset) const {
        return offset < bytes.size() ? bytes[offset] : 0;
    }
};

// Converts bitmap file contents. Bitmaps other than 24-bit uncompressed yield
// an all-zero image of the right size; a damaged or truncated file yields null.
std::unique_ptr<BmpRgbImage> DecodeBmpRgb(const std::uint8_t* data, std::size_t size);

// Reads and converts the bitmap at path ("hlvd\\name" or "hlvd/name"); null when
// the file cannot be read or is damaged.
std::unique_ptr<BmpRgbImage> LoadBmpRgb(const char* path);
