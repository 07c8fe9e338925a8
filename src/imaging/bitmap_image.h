// A decoded picture: rows bottom-up (the file's top row is the last row in
// memory), each row padded to a multiple of 4 bytes. 24-bit pixels are blue,
// green, red; 1, 2, 4 and 8-bit pixels index the colour map (blue, green, red
// entries) and are packed most significant bits first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace Pictor {

class BitmapImage {
public:
    // Releases the old picture and allocates a zeroed one. Bit counts other than
    // 1, 2, 4, 8 and 24 raise GraphicsException "Unsupported Bit Count".
    // Colour-mapped images get a zeroed colour map of colorCount entries.
    void SetSize(unsigned colorCount, unsigned bitCount, uint32_t width, uint32_t height);

    // Entry `index` of the colour map as three bytes: blue, green, red. An index
    // not below the colour count raises std::range_error "Subscript Out of Range".
    uint8_t* ColorMap(unsigned index);
    const uint8_t* ColorMap(unsigned index) const;

    int BytesPerRow() const { return bytesPerRow_; }
    unsigned BitCount() const { return bitCount_; }
    uint32_t Width() const { return width_; }
    uint32_t Height() const { return height_; }
    unsigned ColorCount() const { return colorCount_; }
    uint8_t* ImageData() { return pixels_.data(); }
    const uint8_t* ImageData() const { return pixels_.data(); }
    // Row `row` in memory order: row 0 is the bottom row of the picture.
    uint8_t* Row(uint32_t row) { return pixels_.data() + size_t(row) * size_t(bytesPerRow_); }
    const uint8_t* Row(uint32_t row) const {
        return pixels_.data() + size_t(row) * size_t(bytesPerRow_);
    }

private:
    int bytesPerRow_ = 0;
    unsigned bitCount_ = 0;
    uint32_t width_ = 0;
    uint32_t height_ = 0;
    std::vector<uint8_t> pixels_;
    unsigned colorCount_ = 0;
    std::vector<uint8_t> colorMap_;
};

} // namespace Pictor
