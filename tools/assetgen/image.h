// Float pictures for the texture generator: everything is computed in floating
// point and quantised to 8 bits once, with dither, so soft gradients never band.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace assetgen {

struct Colour {
    float r = 0, g = 0, b = 0;
};

// Perceived brightness of a colour, the weights every picture here uses.
inline float luminance(Colour c) {
    return 0.3f * c.r + 0.59f * c.g + 0.11f * c.b;
}

inline Colour operator+(Colour a, Colour b) {
    return {a.r + b.r, a.g + b.g, a.b + b.b};
}
inline Colour operator-(Colour a, Colour b) {
    return {a.r - b.r, a.g - b.g, a.b - b.b};
}
inline Colour operator*(Colour a, Colour b) {
    return {a.r * b.r, a.g * b.g, a.b * b.b};
}
inline Colour operator*(Colour a, float k) {
    return {a.r * k, a.g * k, a.b * k};
}
inline Colour operator*(float k, Colour a) {
    return a * k;
}
inline Colour& operator+=(Colour& a, Colour b) {
    return a = a + b;
}
inline Colour& operator*=(Colour& a, float k) {
    return a = a * k;
}
inline Colour grey(float v) {
    return {v, v, v};
}
inline Colour mix(Colour a, Colour b, float k) {
    return a + (b - a) * k;
}

// Hermite step and linear interpolation used by every texture family.
float smoothstep(float edge0, float edge1, float x);
float clamp01(float x);
// The light across a thin line at this offset from its middle: 1 there,
// falling off smoothly over about width either side.
float lightLine(float offset, float width);
inline float lerp(float a, float b, float k) {
    return a + (b - a) * k;
}

// An RGB picture, row 0 at the top of the file. Shading works in texture
// coordinates instead: s grows to the right and t grows upward, because the
// upload puts the file's bottom row at t = 0.
class Image {
public:
    Image(int width, int height, Colour fill = {});
    int width() const { return width_; }
    int height() const { return height_; }
    Colour& at(int x, int y) { return pixels_[static_cast<size_t>(y) * width_ + x]; }
    const Colour& at(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }

    // Sets every pixel to shader(s, t) at the pixel centre.
    void shade(const std::function<Colour(float s, float t)>& shader);
    // Sets every pixel to the mean of n x n shader samples (anti-aliasing for
    // hard-edged shapes).
    void shadeSupersampled(int n, const std::function<Colour(float s, float t)>& shader);
    // Changes every pixel through f(colour, s, t).
    void apply(const std::function<Colour(Colour, float s, float t)>& f);
    // Bilinear sample at texture coordinates, wrapping in both directions.
    Colour sample(float s, float t) const;
    // Bilinear sample that clamps at the borders instead of wrapping.
    Colour sampleClamped(float s, float t) const;

private:
    int width_;
    int height_;
    std::vector<Colour> pixels_;
};

// Quantises to 8-bit RGB, top row first. Triangular dither of one step breaks
// up banding; it fades out next to 0 and 1 so pure black and pure white stay
// exact (additive sprites keep a black border, multiply overlays keep white).
std::vector<std::uint8_t> quantise(const Image& image, std::uint64_t seed);

} // namespace assetgen

namespace assetgen {

// One channel of floats, used for masks (text coverage, shapes) and for glows
// made by blurring a mask.
class Plane {
public:
    Plane(int width, int height, float fill = 0);
    int width() const { return width_; }
    int height() const { return height_; }
    float& at(int x, int y) { return values_[static_cast<size_t>(y) * width_ + x]; }
    float at(int x, int y) const { return values_[static_cast<size_t>(y) * width_ + x]; }
    // Bilinear sample in texture coordinates (t upward); clamps at the borders.
    float sample(float s, float t) const;

private:
    int width_;
    int height_;
    std::vector<float> values_;
};

// Three box-blur passes of the given radius in pixels (close to a Gaussian);
// `wrap` blurs across the borders as a tiling texture would.
Plane blurred(const Plane& plane, int radius, bool wrap = false);
// The same with separate radii along rows and down columns (0 leaves that
// direction sharp), for streaks and for softening one direction only.
Plane blurredApart(const Plane& plane, int alongRows, int downColumns);

// The same blur on each colour channel of a picture, clamped at its borders.
Image blurred(const Image& image, int radius);

// image += colour x mask, pixel by pixel (both must be the same size).
void addMask(Image& image, const Plane& mask, Colour colour);

} // namespace assetgen
