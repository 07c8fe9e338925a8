#include "textures_noise.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace assetgen {

namespace {

std::uint32_t mixBits(std::uint32_t h) {
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return h;
}

int wrap(int i, int n) {
    return ((i % n) + n) % n;
}

float fade(float k) {
    return k * k * k * (k * (k * 6 - 15) + 10);
}

float gradientDot(int ix, int iy, float dx, float dy, int period, std::uint32_t seed) {
    const float angle =
        latticeHash(wrap(ix, period), wrap(iy, period), seed) * 2 * std::numbers::pi_v<float>;
    return std::cos(angle) * dx + std::sin(angle) * dy;
}

} // namespace

float latticeHash(int x, int y, std::uint32_t seed) {
    const std::uint32_t h = mixBits(static_cast<std::uint32_t>(x) * 0x9E3779B1u ^
                                    mixBits(static_cast<std::uint32_t>(y) + seed * 0x85EBCA77u));
    return static_cast<float>(h >> 8) * (1.0f / 16777216.0f);
}

float periodicNoise(float x, float y, int period, std::uint32_t seed) {
    const int ix = static_cast<int>(std::floor(x));
    const int iy = static_cast<int>(std::floor(y));
    const float fx = x - ix, fy = y - iy;
    const float n00 = gradientDot(ix, iy, fx, fy, period, seed);
    const float n10 = gradientDot(ix + 1, iy, fx - 1, fy, period, seed);
    const float n01 = gradientDot(ix, iy + 1, fx, fy - 1, period, seed);
    const float n11 = gradientDot(ix + 1, iy + 1, fx - 1, fy - 1, period, seed);
    const float u = fade(fx), v = fade(fy);
    const float a = n00 + (n10 - n00) * u;
    const float b = n01 + (n11 - n01) * u;
    return 1.41f * (a + (b - a) * v);
}

float fractalNoise(float s, float t, int period, int octaves, float gain, std::uint32_t seed) {
    float sum = 0, amplitude = 1, norm = 0;
    int p = period;
    for (int o = 0; o < octaves; ++o) {
        sum += amplitude * periodicNoise(s * p, t * p, p, seed + 101u * o);
        norm += amplitude;
        amplitude *= gain;
        p *= 2;
    }
    return sum / norm;
}

CellDistances cellularNoise(float s, float t, int period, std::uint32_t seed, float phase,
                            float orbit) {
    const float x = s * period, y = t * period;
    const int cx = static_cast<int>(std::floor(x));
    const int cy = static_cast<int>(std::floor(y));
    float first = 1e9f, second = 1e9f;
    for (int j = -1; j <= 1; ++j) {
        for (int i = -1; i <= 1; ++i) {
            const int gx = cx + i, gy = cy + j;
            const int hx = wrap(gx, period), hy = wrap(gy, period);
            const float home_x = 0.5f + 0.5f * (latticeHash(hx, hy, seed) - 0.5f);
            const float home_y = 0.5f + 0.5f * (latticeHash(hx, hy, seed + 7u) - 0.5f);
            const float own = latticeHash(hx, hy, seed + 13u) * 2 * std::numbers::pi_v<float>;
            const float turn = latticeHash(hx, hy, seed + 17u) < 0.5f ? 1.0f : -1.0f;
            const float px = gx + home_x + orbit * std::cos(turn * phase + own);
            const float py = gy + home_y + orbit * std::sin(turn * phase + own);
            const float d = std::hypot(px - x, py - y);
            if (d < first) {
                second = first;
                first = d;
            } else if (d < second) {
                second = d;
            }
        }
    }
    return {first, second};
}

} // namespace assetgen
