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

// Sand ripples. The floor is drawn from every second point each way and lit
// by a light from its upper side, while the relief's normals point into the
// ground: with true normals only cliffs steeper than 45 degrees ever caught
// it, and the floor stayed an unlit blue fog. The odd columns are never
// drawn, so they only set the tilt of the normal of the drawn point before
// them: each flank of a ripple leans steeply towards one side, and the light,
// swinging from side to side, lights one set of flanks and then the other,
// like sunlight moving over the sand. Odd rows repeat the row before, so the
// normals do not lean along the crests.
std::vector<std::uint8_t> graytext3() {
    return greyBitmap(128, 137, [](int column, int row) {
        const int drawnColumn = column & ~1, drawnRow = row & ~1;
        const double theta = 2.0 * kPi * drawnColumn / 128.0;
        const double phase =
            14.0 * theta + 2.5 * std::sin(2.0 * theta + 0.05 * drawnRow) + 0.15 * drawnRow;
        const double ripple = std::sin(phase) + 0.3 * std::sin(2.0 * phase);
        // Grain per drawn point, which its tilt points repeat.
        Random grain((3135u + static_cast<std::uint64_t>(drawnRow * 128 + drawnColumn)) *
                     0x9E3779B97F4A7C15ull);
        const double height = 128.0 + 30.0 * ripple + grain.uniform(-4.0, 4.0);
        if (column % 2 == 0) {
            return height;
        }
        // Where the ripple falls towards the next column its flank is lit
        // while the light stands on that side; a rising flank on the other.
        const double fall = -(std::cos(phase) + 0.6 * std::cos(2.0 * phase));
        return height - 120.0 * std::clamp(1.8 * fall, -1.0, 1.0);
    });
}

} // namespace

void generateBitmaps(const Pack& pack) {
    pack.write("bsp5.bmp", bsp5());
    pack.write("graytext3.bmp", graytext3());
}

} // namespace assetgen
