#include "rendered.h"

#include <png.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <vector>

#ifndef HLV_RENDER_DIR
#error "HLV_RENDER_DIR must name the folder of the committed renders"
#endif

namespace assetgen {

namespace {

struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;
};

Pixels readPng(const std::string& path) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&image, path.c_str()) == 0) {
        throw std::runtime_error("cannot read rendered picture " + path + ": " + image.message +
                                 " (tools/render/render.sh makes it)");
    }
    image.format = PNG_FORMAT_RGB;
    Pixels pixels;
    pixels.width = static_cast<int>(image.width);
    pixels.height = static_cast<int>(image.height);
    pixels.rgb.resize(PNG_IMAGE_SIZE(image));
    if (png_image_finish_read(&image, nullptr, pixels.rgb.data(), 0, nullptr) == 0) {
        const std::string why = image.message;
        png_image_free(&image);
        throw std::runtime_error("cannot decode rendered picture " + path + ": " + why);
    }
    return pixels;
}

// Mean of the source pixels under one target pixel, with fractional coverage
// at its borders, so a larger render shrinks without aliasing.
Colour areaSample(const Pixels& p, double x0, double x1, double y0, double y1) {
    Colour sum{};
    double weight = 0;
    for (int y = static_cast<int>(y0); y < std::min(p.height, static_cast<int>(std::ceil(y1)));
         ++y) {
        const double wy = std::min(y1, y + 1.0) - std::max(y0, static_cast<double>(y));
        for (int x = static_cast<int>(x0); x < std::min(p.width, static_cast<int>(std::ceil(x1)));
             ++x) {
            const double w = wy * (std::min(x1, x + 1.0) - std::max(x0, static_cast<double>(x)));
            const std::uint8_t* px = &p.rgb[(static_cast<size_t>(y) * p.width + x) * 3];
            sum += Colour{px[0] / 255.0f, px[1] / 255.0f, px[2] / 255.0f} * static_cast<float>(w);
            weight += w;
        }
    }
    return weight > 0 ? sum * static_cast<float>(1.0 / weight) : sum;
}

} // namespace

Image renderedPicture(const std::string& file, int width, int height) {
    const Pixels source = readPng(std::string(HLV_RENDER_DIR) + "/" + file);
    Image image(width, height);
    const double sx = static_cast<double>(source.width) / width;
    const double sy = static_cast<double>(source.height) / height;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.at(x, y) = areaSample(source, x * sx, (x + 1) * sx, y * sy, (y + 1) * sy);
        }
    }
    return image;
}

} // namespace assetgen
