// Additive sprites and glows: light on black, ending in pure black well
// inside the border so no quad edge ever shows. Also the darkening film marks.
#include "assetgen.h"
#include "textures.h"
#include "textures_noise.h"

#include <cmath>
#include <numbers>

namespace assetgen {

namespace {

constexpr float pi = std::numbers::pi_v<float>;

float angleOf(float s, float t) {
    return std::atan2(t - 0.5f, s - 0.5f);
}

// A Gaussian-like core plus a long soft halo, 1 at the centre.
float coreAndHalo(float r, float core, float halo) {
    return std::exp(-(r * r) / (core * core)) + 0.35f * std::pow(clamp01(1 - r / halo), 3.0f);
}

// Thin rays of random length and strength; `count` rays around the circle.
float rays(float s, float t, int count, float sharpness, std::uint32_t seed) {
    const float r = centreDistance(s, t);
    const float a = angleOf(s, t);
    float sum = 0;
    for (int i = 0; i < count; ++i) {
        const float at = 2 * pi * (i + 0.4f * latticeHash(i, 0, seed)) / count;
        float d = std::remainder(a - at, 2 * pi);
        const float width = (0.6f + latticeHash(i, 1, seed)) / sharpness;
        // Angular width in radians shrinks with distance so rays stay thin.
        const float profile = std::exp(-(d * d) * r * r / (width * width * 0.0004f + 1e-6f));
        const float length = 0.45f + 0.5f * latticeHash(i, 2, seed);
        sum += profile * (0.4f + 0.6f * latticeHash(i, 3, seed)) * clamp01(1 - r / length);
    }
    return sum;
}

Image starburst() {
    Image image(256, 256);
    image.shade([](float s, float t) {
        const float r = centreDistance(s, t);
        // A small core and thin rays: the sprites are often added many times over.
        const float core = std::exp(-(r * r) / 0.003f) + 0.2f * std::exp(-(r * r) / 0.015f) +
                           0.03f * std::pow(clamp01(1 - r), 3.0f);
        const float v = core + 0.6f * rays(s, t, 16, 1.6f, 11) + 0.18f * rays(s, t, 36, 3.0f, 12);
        return Colour{0.95f, 0.97f, 1.0f} * (v * spriteWindow(r, 0.55f));
    });
    return image;
}

Image starburst2() {
    Image image(256, 256);
    image.shade([](float s, float t) {
        const float r = centreDistance(s, t);
        const float ring = 0.12f * std::exp(-std::pow((r - 0.62f) / 0.05f, 2.0f));
        const float glow = coreAndHalo(r, 0.18f, 1.0f);
        const float v = rays(s, t, 8, 0.6f, 21) * 0.7f + rays(s, t, 24, 1.5f, 22) * 0.35f;
        const Colour warm = Colour{1.0f, 0.78f, 0.45f} * (glow + ring) + Colour{1, 0.9f, 0.7f} * v;
        return warm * spriteWindow(r, 0.5f);
    });
    return image;
}

// A round glow: colour at the centre, `edge` colour in the halo.
Image softBall(int size, Colour centre, Colour edge, float core, float inner) {
    Image image(size, size);
    image.shade([=](float s, float t) {
        const float r = centreDistance(s, t);
        const float k = std::exp(-(r * r) / (core * core));
        const float halo = std::pow(clamp01(1 - r), 2.0f);
        return (centre * k + edge * halo) * spriteWindow(r, inner);
    });
    return image;
}

Image blob24() {
    Image image(256, 256);
    image.shade([](float s, float t) {
        const float r = centreDistance(s, t);
        const float a = angleOf(s, t);
        const float fibres = 0.5f + 0.5f * periodicNoise(a / (2 * pi) * 48, r * 6, 48, 31);
        const float rings = 0.5f + 0.5f * std::cos(r * 38 - 1.2f * fibres);
        const float body = std::pow(clamp01(1 - r), 1.6f);
        const float core = std::exp(-r * r / 0.004f);
        const Colour inner{0.9f, 0.6f, 1.0f};
        const Colour outer{0.3f, 0.45f, 1.0f};
        const Colour c = mix(inner, outer, clamp01(r * 1.4f));
        return (c * (1.6f * body * (0.55f + 0.45f * rings * fibres)) + grey(core)) *
               spriteWindow(r, 0.5f);
    });
    return image;
}

Image sparkPoint() {
    Image image(128, 128);
    image.shadeSupersampled(2, [](float s, float t) {
        const float r = centreDistance(s, t);
        const float dx = std::abs(s - 0.5f) * 2, dy = std::abs(t - 0.5f) * 2;
        const float cross = std::exp(-dx * dx / 0.0006f) * clamp01(1 - dy) +
                            std::exp(-dy * dy / 0.0006f) * clamp01(1 - dx);
        const float v = std::exp(-r * r / 0.006f) + 0.25f * std::exp(-r * r / 0.06f) + 0.6f * cross;
        return Colour{1.0f, 0.95f, 0.85f} * (v * spriteWindow(r, 0.5f));
    });
    return image;
}

// The bubbles rise in one dense column, drawn additively in warm colours
// that go red near the floor and through the picture's trail: so each one is
// a small, thin, cool rim in the middle of its square (space between them
// keeps the column from adding up into a glowing smudge) with one glint.
Image bubbleRing() {
    Image image(128, 128);
    image.shadeSupersampled(3, [](float s, float t) {
        const float r = centreDistance(s, t);
        constexpr float kRim = 0.3f;
        const float ring = 0.55f * std::exp(-std::pow((r - kRim) / 0.035f, 2.0f));
        const float inside = 0.05f * smoothstep(0.1f, kRim, r) * (r < kRim ? 1.0f : 0.0f);
        const float spot =
            0.8f * std::exp(-(std::pow(s - 0.44f, 2.0f) + std::pow(t - 0.57f, 2.0f)) / 0.0008f);
        return Colour{0.35f, 0.8f, 1.0f} * ((ring + inside + spot) * spriteWindow(r, 0.4f));
    });
    return image;
}

Image bead(Colour colour, bool sparkle) {
    Image image(64, 64);
    image.shadeSupersampled(3, [=](float s, float t) {
        const float r = centreDistance(s, t);
        float v = std::exp(-r * r / 0.02f) + 0.3f * std::exp(-r * r / 0.15f);
        if (sparkle) {
            const float dx = std::abs(s - 0.5f) * 2, dy = std::abs(t - 0.5f) * 2;
            v += 0.8f * (std::exp(-dx * dx / 0.002f) * clamp01(1 - dy) +
                         std::exp(-dy * dy / 0.002f) * clamp01(1 - dx));
        }
        return colour * (v * spriteWindow(r, 0.5f));
    });
    return image;
}

Image theEye() {
    Image image(256, 256);
    image.shadeSupersampled(2, [](float s, float t) {
        const float r = centreDistance(s, t);
        const float a = angleOf(s, t);
        const float fibre = 0.6f + 0.4f * periodicNoise(a / (2 * pi) * 64, r * 4, 64, 41);
        const float iris = smoothstep(0.16f, 0.2f, r) * (1 - smoothstep(0.5f, 0.56f, r));
        const float limbus = std::exp(-std::pow((r - 0.56f) / 0.03f, 2.0f));
        const float rings = 0.5f + 0.5f * std::cos(r * 60);
        const float outer = 0.35f * std::exp(-std::pow((r - 0.75f) / 0.04f, 2.0f)) +
                            0.2f * std::exp(-std::pow((r - 0.86f) / 0.02f, 2.0f));
        const float highlight =
            std::exp(-(std::pow(s - 0.44f, 2.0f) + std::pow(t - 0.57f, 2.0f)) / 0.0015f);
        const Colour irisColour =
            mix(Colour{1.0f, 0.85f, 0.4f}, Colour{0.3f, 0.7f, 1.0f}, smoothstep(0.2f, 0.5f, r));
        const Colour c = irisColour * (iris * fibre * (0.6f + 0.4f * rings)) +
                         grey(limbus + outer) + grey(highlight);
        // Up to four of these are added every frame onto a screen that keeps
        // 85 % of itself, which multiplies them about sevenfold: kept dim so
        // the stack reads as coloured rings instead of white.
        return c * (0.45f * spriteWindow(r, 0.85f));
    });
    return image;
}

Image verticalStrip() {
    Image image(128, 128);
    image.shade([](float s, float t) {
        const float dx = (s - 0.5f) * 2;
        const float core = std::exp(-dx * dx / 0.01f);
        const float halo = 0.35f * std::exp(-dx * dx / 0.12f);
        const float flicker = 0.85f + 0.15f * periodicNoise(0.5f, t * 4, 4, 51);
        return Colour{0.7f, 0.95f, 0.8f} *
               ((core + halo) * flicker * (1 - smoothstep(0.8f, 0.98f, std::abs(dx))));
    });
    return image;
}

Image deepSpace() {
    Image image(256, 256);
    Random random(61);
    image.shade([](float s, float t) {
        const float r = centreDistance(s, t);
        const float haze = 0.5f + 0.5f * fractalNoise(s, t, 3, 5, 0.55f, 62);
        return Colour{0.1f, 0.08f, 0.22f} * (haze * haze * spriteWindow(r, 0.2f));
    });
    for (int i = 0; i < 420; ++i) {
        const float sx = static_cast<float>(random.uniform(0.05, 0.95));
        const float sy = static_cast<float>(random.uniform(0.05, 0.95));
        const float bright = static_cast<float>(std::pow(random.uniform(), 3.0) * 0.9 + 0.08);
        const float size = static_cast<float>(random.uniform(0.6, 1.4));
        const Colour tint = mix(Colour{0.7f, 0.8f, 1.0f}, Colour{1.0f, 0.9f, 0.75f},
                                static_cast<float>(random.uniform()));
        const float window = spriteWindow(centreDistance(sx, sy), 0.3f);
        const int cx = static_cast<int>(sx * 256), cy = static_cast<int>((1 - sy) * 256);
        for (int y = cy - 3; y <= cy + 3; ++y) {
            for (int x = cx - 3; x <= cx + 3; ++x) {
                if (x < 0 || y < 0 || x >= 256 || y >= 256) {
                    continue;
                }
                const float d2 =
                    std::pow(x + 0.5f - sx * 256, 2.0f) + std::pow(y + 0.5f - (1 - sy) * 256, 2.0f);
                image.at(x, y) += tint * (bright * window * std::exp(-d2 / (size * size)));
            }
        }
    }
    return image;
}

Image nebula() {
    Image image(256, 256);
    image.shade([](float s, float t) {
        const float r = centreDistance(s, t);
        const float n = fractalNoise(s, t, 2, 6, 0.55f, 71);
        const float m = fractalNoise(s + 0.3f, t, 4, 4, 0.5f, 72);
        const float cloud = clamp01(0.7f + 0.9f * n) * std::pow(clamp01(1 - r), 1.2f);
        const Colour c =
            mix(Colour{0.35f, 0.2f, 0.6f}, Colour{0.15f, 0.45f, 0.7f}, clamp01(0.5f + m));
        return c * (cloud * cloud * 3.2f * spriteWindow(r, 0.4f));
    });
    return image;
}

Image rainDrop() {
    Image image(128, 128);
    image.shadeSupersampled(2, [](float s, float t) {
        const float r = centreDistance(s, t);
        const float ring = std::exp(-std::pow((r - 0.7f) / 0.08f, 2.0f));
        const float fill = 0.3f * std::exp(-r * r / 0.15f);
        return Colour{0.85f, 0.9f, 1.0f} * ((ring + fill) * spriteWindow(r, 0.8f));
    });
    return image;
}

// A scratch as old film shows it: a hairline that wanders a little, thickens
// and thins, fades out in places and does not run the whole frame, with a
// fainter second line beside it for part of its length. Every scratch quad
// has its own width, so the wander and the gap between the two lines differ
// from scratch to scratch. The quad squeezes the picture to a few pixels, so
// the profiles are drawn wide.
Image speckVertical() {
    Image image(128, 128);
    image.shadeSupersampled(2, [](float s, float t) {
        const float wander = 0.12f * periodicNoise(0.7f, t * 2, 2, 83);
        const float width = 0.09f + 0.05f * periodicNoise(1.3f, t * 4, 4, 84);
        const float dx = (s - 0.5f - wander) * 2;
        const float main = std::exp(-dx * dx / (width * width));
        // Long stretches of full strength, fainter stretches, soft ends.
        const float strength =
            0.3f + 0.7f * smoothstep(-0.6f, 0.0f, periodicNoise(0.2f, t * 3, 3, 85));
        const float ends = smoothstep(0.02f, 0.14f, t) * (1 - smoothstep(0.8f, 0.95f, t));
        const float dx2 = (s - 0.22f - 0.5f * wander) * 2;
        const float companion = 0.45f * std::exp(-dx2 * dx2 / 0.004f) *
                                smoothstep(0.35f, 0.45f, t) * (1 - smoothstep(0.6f, 0.72f, t));
        const float window = 1 - smoothstep(0.85f, 0.98f, std::abs(2 * s - 1));
        return grey(clamp01(0.85f * main * strength * ends + companion) * window);
    });
    return image;
}

// Four dust marks in the quarters of the image, each small inside its cell
// (the quads are large): a ragged grain, a curled hair, a scatter of dots and
// a short fibre. They differ in darkness as well as in shape.
Image specks() {
    Image image(256, 256);
    auto cell = [](float s, float t, int which) {
        const float r = centreDistance(s, t);
        const float window = spriteWindow(r, 0.7f);
        switch (which) {
        case 0: {
            const float edge =
                0.13f + 0.05f * periodicNoise(angleOf(s, t) / (2 * pi) * 6, 0, 6, 91);
            const float grain = 0.75f + 0.25f * periodicNoise(s * 16, t * 16, 16, 93);
            return 0.8f * grain * (1 - smoothstep(edge - 0.04f, edge, r)) * window;
        }
        case 1: {
            const float x = (s - 0.5f) * 2, y = (t - 0.5f) * 2;
            const float curve = y - 0.35f * std::sin(x * 3.4f + 0.5f) - 0.1f * x * x;
            const float thin = 0.0006f + 0.0008f * (1 - std::abs(x));
            return std::exp(-curve * curve / thin) * (1 - smoothstep(0.45f, 0.75f, std::abs(x))) *
                   window;
        }
        case 2: {
            float v = 0;
            for (int i = 0; i < 9; ++i) {
                const float cx = 0.3f + 0.4f * latticeHash(i, 0, 92),
                            cy = 0.3f + 0.4f * latticeHash(i, 1, 92);
                const float d2 = std::pow(s - cx, 2.0f) + std::pow(t - cy, 2.0f);
                v += (0.4f + 0.6f * latticeHash(i, 3, 92)) *
                     std::exp(-d2 / (0.0002f + 0.0006f * latticeHash(i, 2, 92)));
            }
            return 0.9f * clamp01(v) * window;
        }
        default: {
            const float x = (s - 0.5f) * 2, y = (t - 0.5f) * 2;
            const float u = 0.7f * x + 0.7f * y, w = -0.7f * x + 0.7f * y;
            const float curve = w - 0.08f * std::sin(u * 7);
            return 0.6f * std::exp(-curve * curve / 0.0006f) *
                   (1 - smoothstep(0.25f, 0.45f, std::abs(u))) * window;
        }
        }
    };
    image.shadeSupersampled(2, [&](float s, float t) {
        const int cs = s < 0.5f ? 0 : 1, ct = t < 0.5f ? 0 : 1;
        return grey(cell(s * 2 - cs, t * 2 - ct, cs + 2 * ct));
    });
    return image;
}

// Horizontal blue streaks behind the spinning mesh.
Image blueStreaks() {
    Image image(256, 256);
    image.shade([](float s, float t) {
        float v = 0;
        for (int i = 0; i < 9; ++i) {
            const float y = 0.15f + 0.7f * latticeHash(i, 0, 101);
            const float thick = 0.004f + 0.02f * latticeHash(i, 1, 101);
            const float bend = y + 0.05f * std::sin(s * (3 + 4 * latticeHash(i, 2, 101)) + i);
            const float d = t - bend;
            const float streak = 0.5f + 0.5f * periodicNoise(s * 6, i * 3.0f, 6, 102);
            v += std::exp(-d * d / (thick * thick)) * streak *
                 (0.4f + 0.6f * latticeHash(i, 3, 101));
        }
        const float edge = (1 - smoothstep(0.35f, 0.49f, std::abs(s - 0.5f))) *
                           (1 - smoothstep(0.35f, 0.49f, std::abs(t - 0.5f)));
        return Colour{0.25f, 0.5f, 1.0f} * (v * edge) + Colour{0.0f, 0.03f, 0.12f} * edge;
    });
    return image;
}

Image linearWipe() {
    Image image(256, 256);
    image.shade([](float s, float) { return grey(1 - smoothstep(0.0f, 1.0f, s)); });
    return image;
}

// Alpha source of the caustic textures: a soft radial falloff (grey, so the
// blue byte carries it).
Image causticAlpha() {
    Image image(256, 256);
    image.shade([](float s, float t) {
        const float r = std::min(1.0f, centreDistance(s, t) / 1.4142f);
        return grey(1 - 0.8f * smoothstep(0.0f, 1.0f, r));
    });
    return image;
}

Image finStripes() {
    Image image(128, 128);
    image.shade([](float s, float t) {
        const float stripes = 0.5f + 0.5f * std::cos((s + 0.1f * std::sin(t * 5)) * 2 * pi * 7);
        const float r = centreDistance(s, t);
        const float body = std::pow(stripes, 3.0f) * 0.8f + 0.2f;
        return Colour{1.0f, 0.55f, 0.2f} * (body * spriteWindow(r, 0.45f));
    });
    return image;
}

} // namespace

std::vector<TextureRecipe> glowTextures() {
    return {
        {"starburst.png", starburst},
        {"starburst2.png", starburst2},
        {"spherical.png",
         [] {
             // Three of these fill the tunnel's view late on and the feedback
             // multiplies what it gets about threefold: a contained core and a
             // faint halo keep the picture from washing out to blue-white.
             return softBall(256, {0.32f, 0.42f, 0.62f}, {0.02f, 0.03f, 0.08f}, 0.2f, 0.55f);
         }},
        {"blob.png",
         [] {
             return softBall(128, {1.0f, 0.85f, 0.9f}, {0.6f, 0.3f, 0.6f}, 0.35f, 0.5f);
         }},
        {"blob8.png",
         [] {
             return softBall(128, {0.9f, 0.9f, 1.0f}, {0.4f, 0.4f, 0.6f}, 0.4f, 0.5f);
         }},
        {"blob22.png",
         [] {
             return softBall(128, {1.0f, 1.0f, 0.95f}, {0.5f, 0.55f, 0.7f}, 0.25f, 0.5f);
         }},
        {"blob22b.png",
         [] {
             return softBall(128, {1.0f, 0.8f, 0.5f}, {0.7f, 0.35f, 0.1f}, 0.3f, 0.5f);
         }},
        {"blob22d.png",
         [] {
             return softBall(128, {0.55f, 0.75f, 1.0f}, {0.15f, 0.3f, 0.8f}, 0.35f, 0.5f);
         }},
        {"blob24.png", blob24},
        {"blob2.png", sparkPoint},
        {"blob22e.png", bubbleRing},
        {"blob41.png",
         [] {
             return bead({1.0f, 0.95f, 0.85f}, false);
         }},
        {"blob41b.png",
         [] {
             return bead({0.45f, 0.75f, 1.0f}, true);
         }},
        {"theeye.png", theEye},
        {"vertical.png", verticalStrip},
        {"deepspace.png", deepSpace},
        {"nebula.png", nebula},
        {"rain.png", rainDrop},
        {"speck_vertical.png", speckVertical},
        {"specks.png", specks},
        {"vane2.png", blueStreaks},
        {"Lingradient.png", linearWipe},
        {"causta.png", causticAlpha},
        {"fishtent.png", finStripes},
    };
}

} // namespace assetgen
