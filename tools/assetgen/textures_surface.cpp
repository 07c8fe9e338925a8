// Surfaces that repeat over objects (all tile without seams), the multiply
// overlays (white where they leave the picture alone) and the plain
// render-target images.
#include "assetgen.h"
#include "rendered.h"
#include "textures.h"
#include "textures_noise.h"

#include <cmath>
#include <numbers>

namespace assetgen {

namespace {

constexpr float pi = std::numbers::pi_v<float>;

Image plain(int size, Colour colour) {
    return Image(size, size, colour);
}

// Film grain to multiply over the picture: mostly white, fine grain, faint blotches.
Image filmGrain() {
    Image image(256, 256);
    Random random(5);
    image.shade([&](float s, float t) {
        const float grain = periodicNoise(s * 128, t * 128, 128, 6) * 0.5f +
                            static_cast<float>(random.uniform() - 0.5);
        const float blotch = smoothstep(0.35f, 0.8f, fractalNoise(s, t, 3, 4, 0.5f, 7));
        return grey(clamp01(0.93f + 0.06f * grain - 0.12f * blotch));
    });
    return image;
}

// The loading screen's multiply overlay: near white in the middle with a
// cool cast, a clear vignette, fine scan lines, and a soft rounded frame that
// is black before the border of the smallest echo layer (1.02 / 1.02^4 of
// the overlay's half size), so the layers' stepped edges never show.
constexpr float kSmallestEchoEdge = 0.942f;

Image vignette() {
    Image image(512, 512);
    image.shade([](float s, float t) {
        const float r = centreDistance(s, t) / 1.4142f;
        const float fall = 1 - 0.4f * std::pow(smoothstep(0.25f, 1.0f, r), 1.3f);
        const float u = std::abs(2 * s - 1), v = std::abs(2 * t - 1);
        const float box = std::pow(std::pow(u, 8.0f) + std::pow(v, 8.0f), 0.125f);
        const float frame = 1 - smoothstep(0.86f, kSmallestEchoEdge - 0.008f, box);
        const float lines = 1 - 0.07f * (0.5f - 0.5f * std::cos(t * 2 * pi * 128));
        const float weave = 0.02f * std::abs(periodicNoise(s * 256, t * 256, 256, 8));
        return Colour{0.93f, 0.98f, 1.0f} * (clamp01(fall - weave) * lines * frame);
    });
    return image;
}

// Butterfly wing pattern: coloured scales around eye spots.
Image wingPattern() {
    Image image(256, 256);
    image.shade([](float s, float t) {
        const CellDistances cells = cellularNoise(s, t, 4, 11);
        const float hue = 0.5f + 0.5f * fractalNoise(s, t, 2, 3, 0.5f, 12);
        const Colour a = mix(Colour{1.0f, 0.45f, 0.1f}, Colour{0.9f, 0.1f, 0.5f}, hue);
        const Colour b = mix(Colour{0.1f, 0.5f, 1.0f}, Colour{0.2f, 0.9f, 0.6f}, hue);
        const float eye = cells.nearest;
        Colour c = mix(a, b, smoothstep(0.15f, 0.35f, eye));
        c = mix(c, grey(0.05f), std::exp(-std::pow((eye - 0.12f) / 0.03f, 2.0f)));
        c = mix(c, Colour{1.0f, 0.95f, 0.6f}, std::exp(-eye * eye / 0.002f));
        const float veins = std::exp(-(cells.second - cells.nearest) * 30);
        const float scales =
            0.85f + 0.15f * std::sin((s + t) * 2 * pi * 64) * std::sin((s - t) * 2 * pi * 64);
        return mix(c * scales, grey(0.03f), 0.8f * veins);
    });
    return image;
}

// Glazed ceramic: a deep blue glaze with pale bands and fine crackle.
Image ceramicGlaze() {
    Image image(256, 256);
    image.shade([](float s, float t) {
        const float flow = fractalNoise(s, t, 2, 5, 0.55f, 21);
        const float band = 0.5f + 0.5f * std::sin(2 * pi * (3 * t + 0.15f * flow));
        const Colour glaze = mix(Colour{0.05f, 0.2f, 0.55f}, Colour{0.85f, 0.9f, 0.95f},
                                 smoothstep(0.35f, 0.85f, band));
        const CellDistances crack = cellularNoise(s, t, 12, 22);
        const float line = std::exp(-(crack.second - crack.nearest) * 40);
        return mix(glaze, glaze * 0.6f, 0.6f * line) + grey(0.05f * flow);
    });
    return image;
}

Image marbled(Colour a, Colour b, std::uint32_t seed) {
    Image image(256, 256);
    image.shade([=](float s, float t) {
        const float warp = fractalNoise(s, t, 2, 5, 0.55f, seed);
        const float vein = 0.5f + 0.5f * std::sin(2 * pi * (2 * s + 1 * t + 1.5f * warp));
        return mix(a, b, std::pow(vein, 3.0f));
    });
    return image;
}

Image stripes(Colour a, Colour b, std::uint32_t seed) {
    Image image(256, 256);
    image.shade([=](float s, float t) {
        const float wobble = 0.08f * fractalNoise(s, t, 2, 3, 0.5f, seed);
        const float v = 0.5f + 0.5f * std::sin(2 * pi * (6 * s + wobble * 6));
        return mix(a, b, smoothstep(0.3f, 0.7f, v));
    });
    return image;
}

Image cellsPattern(Colour a, Colour b, std::uint32_t seed) {
    Image image(256, 256);
    image.shade([=](float s, float t) {
        const CellDistances d = cellularNoise(s, t, 6, seed);
        const float edge = std::exp(-(d.second - d.nearest) * 12);
        return mix(a * (0.6f + d.nearest), b, edge);
    });
    return image;
}

// Dark wet stone tiles with soft reflected highlights.
Image wetFloor() {
    Image image(256, 256);
    image.shade([](float s, float t) {
        const float gx = std::abs(std::remainder(s * 4, 1.0f)),
                    gy = std::abs(std::remainder(t * 4, 1.0f));
        const float grout = 1 - smoothstep(0.0f, 0.04f, std::min(gx, gy));
        const float stone = 0.5f + 0.5f * fractalNoise(s, t, 4, 5, 0.5f, 31);
        const float puddle = smoothstep(0.1f, 0.4f, fractalNoise(s, t, 2, 4, 0.5f, 32));
        const float shine = std::pow(clamp01(1 - centreDistance(s, t * 1.3f - 0.15f) * 0.8f), 3.0f);
        const Colour base =
            Colour{0.08f, 0.09f, 0.11f} * (0.7f + 0.6f * stone) * (1 - 0.6f * grout);
        return base + Colour{0.4f, 0.45f, 0.55f} * (puddle * (0.3f + 1.2f * shine));
    });
    return image;
}

// Translucent floor: a soft grid of light lines on dark blue.
Image glassGrid() {
    Image image(256, 256);
    image.shade([](float s, float t) {
        const float gx = std::abs(std::remainder(s * 8, 1.0f)),
                    gy = std::abs(std::remainder(t * 8, 1.0f));
        const float line = std::exp(-gx * gx / 0.003f) + std::exp(-gy * gy / 0.003f);
        const float haze = 0.5f + 0.5f * fractalNoise(s, t, 2, 3, 0.5f, 41);
        return Colour{0.1f, 0.15f, 0.3f} * (0.5f + haze) + Colour{0.4f, 0.6f, 0.9f} * (0.5f * line);
    });
    return image;
}

// Grey "text": rows of word-like blocks, the way a page looks from afar.
Image greyText() {
    Image image(256, 256);
    image.shadeSupersampled(2, [](float s, float t) {
        const int rows = 16;
        const int row = static_cast<int>(t * rows) % rows;
        const float inRow = t * rows - std::floor(t * rows);
        const float ink = smoothstep(0.2f, 0.3f, inRow) * (1 - smoothstep(0.7f, 0.8f, inRow));
        // Words: runs along s with gaps from a per-row hash, repeating every texture width.
        const int letters = 48;
        const int letter = static_cast<int>(s * letters) % letters;
        const bool gap = latticeHash(letter, row, 51) < 0.18f;
        const float inLetter = s * letters - std::floor(s * letters);
        const float glyph = 0.5f + 0.5f * latticeHash(letter * 7 + static_cast<int>(inLetter * 3),
                                                      row * 5 + static_cast<int>(inRow * 4), 52);
        const float stroke =
            gap ? 0.0f : ink * (inLetter > 0.15f && inLetter < 0.85f ? glyph : 0.0f);
        return grey(0.78f - 0.55f * stroke);
    });
    return image;
}

// Wood grain running along s.
Image wood() {
    Image image(256, 256);
    image.shade([](float s, float t) {
        const float warp = fractalNoise(s, t, 1, 5, 0.5f, 61);
        const float rings = 0.5f + 0.5f * std::sin(2 * pi * (12 * t + 1.2f * warp));
        const float fibre = 0.5f + 0.5f * periodicNoise(s * 4, t * 128, 4, 62);
        const Colour light{0.72f, 0.48f, 0.26f}, dark{0.38f, 0.2f, 0.09f};
        return mix(light, dark, 0.7f * std::pow(rings, 2.0f) + 0.3f * fibre);
    });
    return image;
}

Image parquetFloor() {
    Image image(256, 256);
    image.shade([](float s, float t) {
        const int plank = static_cast<int>(std::floor(s * 8));
        const float offset = latticeHash(plank, 0, 71);
        const float along = t + offset;
        const float across = s * 8 - plank;
        const float seam = 1 - smoothstep(0.0f, 0.06f, std::min(across, 1 - across));
        const float endSeam =
            1 - smoothstep(0.0f, 0.01f, std::abs(std::remainder(along * 2, 1.0f)));
        const float grain =
            0.5f + 0.5f * std::sin(2 * pi *
                                   (40 * across / 8 + 3 * fractalNoise(s, along, 2, 4, 0.5f, 72)));
        const Colour tone =
            mix(Colour{0.55f, 0.35f, 0.2f}, Colour{0.7f, 0.5f, 0.3f}, latticeHash(plank, 1, 71));
        return tone * (0.8f + 0.2f * grain) * (1 - 0.5f * std::max(seam, endSeam));
    });
    return image;
}

// Soft plaster in a given tint.
Image plaster(Colour tint, std::uint32_t seed) {
    Image image(256, 256);
    image.shade([=](float s, float t) {
        const float n = fractalNoise(s, t, 4, 6, 0.6f, seed);
        return tint * (0.88f + 0.12f * n);
    });
    return image;
}

// Wall panels: a frame moulding around a calmer field.
Image panelWall(Colour tint, std::uint32_t seed) {
    Image image(256, 256);
    image.shade([=](float s, float t) {
        const float dx = std::min(s, 1 - s), dy = std::min(t, 1 - t);
        const float d = std::min(dx, dy);
        const float moulding = std::exp(-std::pow((d - 0.06f) / 0.015f, 2.0f)) -
                               0.5f * std::exp(-std::pow((d - 0.09f) / 0.01f, 2.0f));
        const float n = fractalNoise(s, t, 4, 5, 0.5f, seed);
        return tint * (0.85f + 0.1f * n + 0.25f * moulding);
    });
    return image;
}

Image seaWater() {
    Image image(256, 256);
    image.shade([](float s, float t) {
        const float waves = fractalNoise(s, t, 3, 6, 0.55f, 81);
        const CellDistances c = cellularNoise(s, t, 7, 82);
        const float glint = std::exp(-(c.second - c.nearest) * 14);
        return mix(Colour{0.02f, 0.15f, 0.35f}, Colour{0.1f, 0.45f, 0.65f}, 0.5f + 0.5f * waves) +
               Colour{0.3f, 0.5f, 0.6f} * (0.35f * glint);
    });
    return image;
}

// Goldfish skin: overlapping scales, orange on the back, pale on the belly.
Image goldfishScales() {
    Image image(256, 256);
    image.shade([](float s, float t) {
        const float rows = 16, cols = 16;
        const float y = t * rows;
        const float row = std::floor(y);
        const float x = s * cols + 0.5f * (static_cast<int>(row) % 2);
        const float fx = x - std::floor(x) - 0.5f, fy = y - row;
        const float arc = std::hypot(fx, fy * 0.9f);
        const float rim = smoothstep(0.35f, 0.5f, arc);
        const float belly = smoothstep(0.55f, 0.1f, t);
        const Colour orange = mix(Colour{1.0f, 0.45f, 0.05f}, Colour{1.0f, 0.85f, 0.55f}, belly);
        const float sheen = 0.85f + 0.15f * fractalNoise(s, t, 3, 3, 0.5f, 91);
        return orange * sheen * (1 - 0.35f * rim) +
               grey(0.25f * (1 - rim) * std::max(0.0f, 0.3f - fx));
    });
    return image;
}

Image waterBody() {
    Image image(256, 256);
    image.shade([](float s, float t) {
        const float n = fractalNoise(s, t, 2, 5, 0.5f, 101);
        return mix(Colour{0.02f, 0.12f, 0.3f}, Colour{0.1f, 0.35f, 0.55f}, 0.5f + 0.5f * n);
    });
    return image;
}

// Alpha of the water body along s: more opaque in the middle band, the same
// value at both edges so the repeat does not jump.
Image waterAlphaRamp() {
    Image image(256, 256);
    image.shade(
        [](float s, float) { return grey(0.25f + 0.5f * (0.5f - 0.5f * std::cos(2 * pi * s))); });
    return image;
}

} // namespace

std::vector<TextureRecipe> surfaceTextures() {
    return {
        {"256c.png", [] { return plain(256, {}); }},
        {"512c.png", [] { return plain(512, {}); }},
        {"white.png", [] { return plain(256, grey(1)); }},
        {"reflection2.png",
         [] {
             return plain(64, {0.05f, 0.22f, 0.25f});
         }},
        {"superfilm3.png", filmGrain},
        {"overlay.png", vignette},
        {"carpet22.png", wingPattern},
        {"blend45.png", ceramicGlaze},
        {"blend1.png",
         [] {
             return marbled({0.6f, 0.1f, 0.05f}, {1.0f, 0.85f, 0.4f}, 111);
         }},
        {"blend2.png",
         [] {
             return stripes({0.05f, 0.35f, 0.3f}, {0.5f, 1.0f, 0.8f}, 112);
         }},
        {"blend3.png",
         [] {
             return cellsPattern({0.2f, 0.15f, 0.6f}, {0.8f, 0.7f, 1.0f}, 113);
         }},
        {"vase_floor2.png", wetFloor},
        {"plane_alpha.png", glassGrid},
        {"graytext4.png", greyText},
        {"floor2.png", parquetFloor},
        // The small gallery's back wall with its three paintings, ray-traced
        // (tools/render/gallery_wall.pov); 2:1, laid once across the wall.
        {"one_test.png", [] { return renderedPicture("gallery_wall.png", 512, 512); }},
        {"one_test2.png",
         [] {
             return panelWall({0.5f, 0.4f, 0.33f}, 122);
         }},
        {"one_test3.png",
         [] {
             return plaster({0.46f, 0.43f, 0.4f}, 123);
         }},
        {"one_test5.png",
         [] {
             return marbled({0.8f, 0.78f, 0.74f}, {0.35f, 0.33f, 0.32f}, 124);
         }},
        {"wood12.png", wood},
        {"bluesea2.png", seaWater},
        {"goldfish2.png", goldfishScales},
        {"fullalphawater.png", waterBody},
        {"gradient.png", waterAlphaRamp},
    };
}

} // namespace assetgen
