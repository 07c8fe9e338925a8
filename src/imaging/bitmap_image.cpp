#include "imaging/bitmap_image.h"

#include <cstdint>
#include <stdexcept>

#include "imaging/graphics_exception.h"

namespace Pictor {

void BitmapImage::SetSize(unsigned colorCount, unsigned bitCount, uint32_t width, uint32_t height) {
    pixels_.clear();
    pixels_.shrink_to_fit();
    colorMap_.clear();
    colorMap_.shrink_to_fit();
    colorCount_ = 0;
    bitCount_ = 0;
    width_ = height_ = 0;
    bytesPerRow_ = 0;

    uint64_t rowBytes = 0;
    switch (bitCount) {
    case 1:
    case 2:
    case 4:
    case 8:
        rowBytes = (uint64_t(bitCount) * width + 7) / 8;
        colorMap_.assign(size_t(colorCount) * 3, 0);
        colorCount_ = colorCount;
        break;
    case 24:
        rowBytes = uint64_t(width) * 3;
        break;
    default:
        throw GraphicsException("Unsupported Bit Count");
    }
    rowBytes = (rowBytes + 3) & ~uint64_t(3);
    if (rowBytes > uint64_t(INT32_MAX) || rowBytes * height > uint64_t(SIZE_MAX / 2))
        throw GraphicsException("Image Too Large");
    bitCount_ = bitCount;
    width_ = width;
    height_ = height;
    bytesPerRow_ = int(rowBytes);
    pixels_.assign(size_t(rowBytes) * height, 0);
}

uint8_t* BitmapImage::ColorMap(unsigned index) {
    if (index >= colorCount_)
        throw std::range_error("Subscript Out of Range");
    return colorMap_.data() + size_t(index) * 3;
}

const uint8_t* BitmapImage::ColorMap(unsigned index) const {
    return const_cast<BitmapImage*>(this)->ColorMap(index);
}

} // namespace Pictor
