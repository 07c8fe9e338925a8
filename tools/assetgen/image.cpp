#include "image.h"

#include "assetgen.h"

#include <algorithm>
#include <cmath>

namespace assetgen {

float smoothstep(float edge0, float edge1, float x) {
    const float k = clamp01((x - edge0) / (edge1 - edge0));
    return k * k * (3 - 2 * k);
}

float clamp01(float x) {
    return std::clamp(x, 0.0f, 1.0f);
}

float lightLine(float offset, float width) {
    return std::exp(-(offset / width) * (offset / width));
}

Image::Image(int width, int height, Colour fill)
    : width_(width), height_(height), pixels_(static_cast<size_t>(width) * height, fill) {}

void Image::shade(const std::function<Colour(float, float)>& shader) {
    for (int y = 0; y < height_; ++y) {
        const float t = 1.0f - (y + 0.5f) / height_;
        for (int x = 0; x < width_; ++x) {
            at(x, y) = shader((x + 0.5f) / width_, t);
        }
    }
}

void Image::shadeSupersampled(int n, const std::function<Colour(float, float)>& shader) {
    const float weight = 1.0f / static_cast<float>(n * n);
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            Colour sum;
            for (int j = 0; j < n; ++j) {
                const float t = 1.0f - (y + (j + 0.5f) / n) / height_;
                for (int i = 0; i < n; ++i) {
                    sum += shader((x + (i + 0.5f) / n) / width_, t);
                }
            }
            at(x, y) = sum * weight;
        }
    }
}

void Image::apply(const std::function<Colour(Colour, float, float)>& f) {
    for (int y = 0; y < height_; ++y) {
        const float t = 1.0f - (y + 0.5f) / height_;
        for (int x = 0; x < width_; ++x) {
            at(x, y) = f(at(x, y), (x + 0.5f) / width_, t);
        }
    }
}

namespace {

int wrap(int i, int n) {
    return ((i % n) + n) % n;
}

} // namespace

Colour Image::sample(float s, float t) const {
    const float fx = s * width_ - 0.5f;
    const float fy = (1.0f - t) * height_ - 0.5f;
    const int x0 = static_cast<int>(std::floor(fx));
    const int y0 = static_cast<int>(std::floor(fy));
    const float kx = fx - x0;
    const float ky = fy - y0;
    const int xa = wrap(x0, width_), xb = wrap(x0 + 1, width_);
    const int ya = wrap(y0, height_), yb = wrap(y0 + 1, height_);
    return mix(mix(at(xa, ya), at(xb, ya), kx), mix(at(xa, yb), at(xb, yb), kx), ky);
}

Colour Image::sampleClamped(float s, float t) const {
    const float fx = std::clamp(s * width_ - 0.5f, 0.0f, width_ - 1.0f);
    const float fy = std::clamp((1.0f - t) * height_ - 0.5f, 0.0f, height_ - 1.0f);
    const int x0 = std::min(static_cast<int>(fx), width_ - 2 < 0 ? 0 : width_ - 2);
    const int y0 = std::min(static_cast<int>(fy), height_ - 2 < 0 ? 0 : height_ - 2);
    const int x1 = std::min(x0 + 1, width_ - 1);
    const int y1 = std::min(y0 + 1, height_ - 1);
    const float kx = fx - x0;
    const float ky = fy - y0;
    return mix(mix(at(x0, y0), at(x1, y0), kx), mix(at(x0, y1), at(x1, y1), kx), ky);
}

namespace {

// One channel in 0..255 steps; the dither amplitude shrinks to nothing at the
// ends of the range so exact black and white survive.
std::uint8_t quantiseChannel(float value, Random& random) {
    const float v = std::clamp(value, 0.0f, 1.0f) * 255.0f;
    const float amplitude = std::min({1.0f, v, 255.0f - v});
    const float noise = static_cast<float>(random.uniform() - random.uniform());
    return static_cast<std::uint8_t>(std::clamp(std::lround(v + amplitude * noise), 0L, 255L));
}

} // namespace

std::vector<std::uint8_t> quantise(const Image& image, std::uint64_t seed) {
    Random random(seed);
    std::vector<std::uint8_t> bytes;
    bytes.reserve(static_cast<size_t>(image.width()) * image.height() * 3);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const Colour c = image.at(x, y);
            bytes.push_back(quantiseChannel(c.r, random));
            bytes.push_back(quantiseChannel(c.g, random));
            bytes.push_back(quantiseChannel(c.b, random));
        }
    }
    return bytes;
}

} // namespace assetgen

namespace assetgen {

Plane::Plane(int width, int height, float fill)
    : width_(width), height_(height), values_(static_cast<size_t>(width) * height, fill) {}

float Plane::sample(float s, float t) const {
    const float fx = std::clamp(s * width_ - 0.5f, 0.0f, width_ - 1.0f);
    const float fy = std::clamp((1.0f - t) * height_ - 0.5f, 0.0f, height_ - 1.0f);
    const int x0 = static_cast<int>(fx), y0 = static_cast<int>(fy);
    const int x1 = std::min(x0 + 1, width_ - 1), y1 = std::min(y0 + 1, height_ - 1);
    const float kx = fx - x0, ky = fy - y0;
    return lerp(lerp(at(x0, y0), at(x1, y0), kx), lerp(at(x0, y1), at(x1, y1), kx), ky);
}

namespace {

// One box pass along rows (transpose = false) or columns.
Plane boxPass(const Plane& in, int radius, bool wrapAround, bool alongColumns) {
    Plane out(in.width(), in.height());
    const int lines = alongColumns ? in.width() : in.height();
    const int length = alongColumns ? in.height() : in.width();
    const float norm = 1.0f / static_cast<float>(2 * radius + 1);
    auto value = [&](int line, int i) {
        if (wrapAround) {
            i = ((i % length) + length) % length;
        } else {
            i = std::clamp(i, 0, length - 1);
        }
        return alongColumns ? in.at(line, i) : in.at(i, line);
    };
    for (int line = 0; line < lines; ++line) {
        double sum = 0;
        for (int i = -radius; i <= radius; ++i) {
            sum += value(line, i);
        }
        for (int i = 0; i < length; ++i) {
            (alongColumns ? out.at(line, i) : out.at(i, line)) = static_cast<float>(sum) * norm;
            sum += value(line, i + radius + 1) - value(line, i - radius);
        }
    }
    return out;
}

} // namespace

Plane blurred(const Plane& plane, int radius, bool wrap) {
    Plane result = plane;
    for (int pass = 0; pass < 3; ++pass) {
        result = boxPass(boxPass(result, radius, wrap, false), radius, wrap, true);
    }
    return result;
}

Plane blurredApart(const Plane& plane, int alongRows, int downColumns) {
    Plane result = plane;
    for (int pass = 0; pass < 3; ++pass) {
        if (alongRows > 0) {
            result = boxPass(result, alongRows, false, false);
        }
        if (downColumns > 0) {
            result = boxPass(result, downColumns, false, true);
        }
    }
    return result;
}

Image blurred(const Image& image, int radius) {
    const int w = image.width(), h = image.height();
    Plane channels[3] = {Plane(w, h), Plane(w, h), Plane(w, h)};
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const Colour c = image.at(x, y);
            channels[0].at(x, y) = c.r;
            channels[1].at(x, y) = c.g;
            channels[2].at(x, y) = c.b;
        }
    }
    for (Plane& channel : channels) {
        channel = blurred(channel, radius);
    }
    Image result(w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            result.at(x, y) = {channels[0].at(x, y), channels[1].at(x, y), channels[2].at(x, y)};
        }
    }
    return result;
}

void addMask(Image& image, const Plane& mask, Colour colour) {
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            image.at(x, y) += colour * mask.at(x, y);
        }
    }
}

} // namespace assetgen
