// The two height bitmaps of the underwater sea floor. Both are read by byte
// offset with a 384-byte row (128 pixels), bottom row first:
//  - bsp5.bmp: the coarse net, 27 x 27 red bytes p (row j, column k), height
//    11 - 0.064 p; a larger p raises the floor towards the camera (which looks
//    with -y up). p = 0 would mean a spike of height 31, so it never occurs.
//  - graytext3.bmp: the fine relief, read transposed over 135 x 135 bytes, so
//    column reads run 7 pixels past a row's end into the next row; the sand
//    ripples repeat every 128 columns so those reads continue the pattern.
#include "assetgen.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace assetgen {

namespace {

constexpr double kPi = std::numbers::pi;

// A 24-bit bottom-up bitmap; grey(column, row) with row 0 the first stored row.
template <typename Grey> std::vector<std::uint8_t> greyBitmap(int width, int height, Grey&& grey) {
    const int stride = (3 * width + 3) & ~3;
    const std::uint32_t pixelBytes = static_cast<std::uint32_t>(stride * height);
    std::vector<std::uint8_t> bytes;
    const auto u16 = [&](std::uint32_t v) {
        bytes.push_back(v & 0xFF);
        bytes.push_back((v >> 8) & 0xFF);
    };
    const auto u32 = [&](std::uint32_t v) {
        u16(v & 0xFFFF);
        u16(v >> 16);
    };
    bytes.push_back('B');
    bytes.push_back('M');
    u32(54 + pixelBytes); // file size
    u32(0);               // reserved
    u32(54);              // pixel data offset
    u32(40);              // BITMAPINFOHEADER
    u32(static_cast<std::uint32_t>(width));
    u32(static_cast<std::uint32_t>(height)); // positive: bottom row first
    u16(1);                                  // planes
    u16(24);                                 // bits per pixel
    u32(0);                                  // no compression
    u32(pixelBytes);
    u32(2835); // 72 dpi
    u32(2835);
    u32(0);
    u32(0);
    for (int row = 0; row < height; ++row) {
        for (int column = 0; column < width; ++column) {
            const double value = std::clamp(grey(column, row), 0.0, 255.0);
            const auto g = static_cast<std::uint8_t>(std::lround(value));
            bytes.insert(bytes.end(), {g, g, g});
        }
        bytes.resize(bytes.size() + static_cast<std::size_t>(stride - 3 * width), 0);
    }
    return bytes;
}

struct Feature {
    double row, column, strength, radius;
};

// Height code of the coarse net at (row j, column k): a level floor at 110
// with hills and trenches; outside the 27 x 27 net the same field continues.
double seaFloorCode(double j, double k) {
    static constexpr Feature kHills[] = {
        {21, 6, 1.0, 4.0}, {24, 19, 0.8, 3.5}, {4, 22, 0.9, 4.0},
        {10, 3, 0.6, 3.0}, {17, 24, 0.7, 3.0},
    };
    static constexpr Feature kTrenches[] = {
        {12, 21, 1.0, 3.5}, {2, 8, 0.7, 4.0}, {26, 12, 0.6, 3.0}};
    const auto field = [&](const auto& features) {
        double sum = 0.0;
        for (const Feature& f : features) {
            const double d2 = (j - f.row) * (j - f.row) + (k - f.column) * (k - f.column);
            sum += f.strength * std::exp(-d2 / (f.radius * f.radius));
        }
        return sum;
    };
    const double swell = 6.0 * std::sin(0.9 * j + 0.4 * k) * std::sin(0.7 * k - 0.3 * j);
    return std::clamp(110.0 + 80.0 * field(kHills) - 70.0 * field(kTrenches) + swell, 20.0, 235.0);
}

std::vector<std::uint8_t> bsp5() {
    return greyBitmap(128, 32, [](int column, int row) { return seaFloorCode(row, column); });
}

// Sand ripples: crests that meander slowly, an asymmetric profile (steep lee
// side) and fine grain.
std::vector<std::uint8_t> graytext3() {
    Random grain(3135);
    return greyBitmap(128, 137, [&](int column, int row) {
        const double theta = 2.0 * kPi * column / 128.0;
        const double phase = 14.0 * theta + 2.5 * std::sin(2.0 * theta + 0.05 * row) + 0.15 * row;
        const double ripple = std::sin(phase) + 0.3 * std::sin(2.0 * phase);
        return 128.0 + 42.0 * ripple + grain.uniform(-6.0, 6.0);
    });
}

} // namespace

void generateBitmaps(const Pack& pack) {
    pack.write("bsp5.bmp", bsp5());
    pack.write("graytext3.bmp", graytext3());
}

} // namespace assetgen
