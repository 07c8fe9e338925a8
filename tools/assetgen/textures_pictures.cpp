// Pictures shown as pictures: the five-panel moon panorama, the deep-sea
// backdrops, the painterly underwater scene, the medusa and the child's face.
#include "face_layout.h"
#include "rendered.h"
#include "textures.h"
#include "textures_noise.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

namespace assetgen {

namespace {

constexpr float pi = std::numbers::pi_v<float>;
constexpr int moonPanels = 5;

// The panorama is one POV-Ray render of a moonlit sea, 200 degrees wide
// (40 per panel) from a fixed point, so cut panels meet exactly. Its lower
// third is cut away: the horizon sits a quarter up the panels.
constexpr int panoramaWidth = 512 * moonPanels, panoramaHeight = 768;
constexpr float panoramaKept = 512.0f / panoramaHeight;
// How much of the first panel rises out of that black (in panels). The
// scroll itself leaves the screen's left fifth black at 112 s. The render
// opens on a dark bluff over the first 0.4 of the panel, so a fade over most
// of it lies on rock: the black runs into the bluff's shadowed side with no
// vertical edge, and the bluff's outline against the sky is the edge seen.
// Over open sky (before the bluff) a fade that wide left the mosaic's stones
// on black, and a tenth was a hard-edged black band.
constexpr float kDarkLeft = 0.3f;

const Image& moonPanorama() {
    static const Image render = renderedPicture("moon_panorama.png", panoramaWidth, panoramaHeight);
    return render;
}

Image moonPanel(int panel) {
    Image image(512, 512);
    // The quad shows s from 0.001 to 0.999: those two columns meet the neighbours.
    auto xOf = [panel](float s) { return panel + (s - 0.001f) / 0.998f; };
    // Left of the first panel there is only the black of the cleared window,
    // and the scroll shows it for the first seconds: the panorama comes out of
    // that darkness instead of ending at a hard edge.
    // The scroll runs on past the last panel's right edge as well, so the
    // panorama sinks back into the dark there.
    const auto outOfTheDark = [](float x) {
        return std::pow(smoothstep(0.0f, kDarkLeft, x) * smoothstep(0.0f, 0.6f, moonPanels - x),
                        1.5f);
    };
    // No dimming across the last panel: a lit sky running flat up to that
    // fade read as a bright band, and a dimmed one as a dark band. The render
    // closes the view with a near cliff instead, so the fade lies on rock.
    const Image& render = moonPanorama();
    image.shade([&](float s, float t) {
        const float x = xOf(s);
        const Colour c = render.sampleClamped(x / moonPanels, 1 - panoramaKept * (1 - t));
        return c * outOfTheDark(x);
    });
    return image;
}

// The dome's s runs with depth: about 0.29 at its crown overhead, 0.5 at the
// scene's level and 0.71 at its rim and on the floor that closes it. Dark
// above, a lighter band around the scene's level, and the abyss below.
// The floor of the dome (s from about 0.59 to 0.71) is what the camera
// sees first through the clear water (about 188-192 s), some five pixels a
// texel: the abyss below, lit from inside. Soft shafts of light fall into it
// (bands across t, broken along their length) and the lights of the deep
// hang in it: scattered points of blue-green light with a soft halo, a few
// violet, so the view is a deep with life in it rather than an empty panel.
float floorShafts(float s, float t) {
    const float along = periodicNoise(s * 160, t * 4, 4, 67); // breaks a shaft along its length
    const float wide = std::pow(0.5f + 0.5f * periodicNoise(t * 12, 0.5f, 12, 64), 4.0f);
    const float narrow = std::pow(0.5f + 0.5f * periodicNoise(t * 40, 0.25f, 40, 65), 10.0f);
    const float bloom = 0.5f + 0.5f * periodicNoise(t * 5, 0.75f, 5, 66);
    return (0.55f * wide + 0.8f * narrow) * (0.55f + 0.45f * along) + 0.12f * bloom;
}

// A small jellyfish far below, seen from above, (ds, dt) from its middle in
// round texels: an unbroken glowing margin, four violet gonads round the
// mouth, faint jelly inside and a soft halo. Points alone left the view at
// 190 s a dim, nearly empty floor; a few of them as animals make it the
// deep the swarm rises from. The picture has a third of the texels across
// s, so the animal is large (a radius of five to seven) to keep its margin
// several texels wide there: at three, it aliased into small striped tiles.
// It fills most of its cell (16 x 10.7) and the neighbours take the rest.
constexpr float kMedusaShare = 0.16f; // of the lit cells
Colour farMedusa(float ds, float dt, int wi, int wj) {
    const float radius = 5.0f + 2.0f * latticeHash(wi, wj, 88);
    const float strength = 0.45f + 0.4f * latticeHash(wi, wj, 89);
    const float turn = 6.2831853f * latticeHash(wi, wj, 90);
    const float r = std::sqrt(ds * ds + dt * dt);
    const float rim = (r - radius) / (0.2f * radius);
    const float margin = std::exp(-rim * rim);
    const float jelly = 0.14f * std::exp(-std::pow(r / radius, 4.0f));
    const float halo = 0.12f * std::exp(-(r * r) / (2.0f * radius * radius));
    float gonads = 0.0f;
    for (int k = 0; k < 4; ++k) {
        const float a = turn + 1.5707963f * k;
        const float gs = ds - 0.4f * radius * std::cos(a), gt = dt - 0.4f * radius * std::sin(a);
        gonads += std::exp(-(gs * gs + gt * gt) / (0.04f * radius * radius));
    }
    return (Colour{0.3f, 0.85f, 0.9f} * (margin + jelly + halo) +
            Colour{0.6f, 0.42f, 0.95f} * (0.7f * gonads)) *
           strength;
}

// Points of light on a jittered grid, one candidate a cell and about half
// of them lit, in texture units; the colour carries each light's brightness.
Colour deepLights(float s, float t) {
    constexpr int kAcross = 96, kAlong = 48; // cells per texture in s and in t
    const int cs = static_cast<int>(std::floor(s * kAcross));
    const int ct = static_cast<int>(std::floor(t * kAlong));
    Colour sum{};
    for (int i = cs - 1; i <= cs + 1; ++i) {
        for (int j = ct - 1; j <= ct + 1; ++j) {
            const int wi = (i + kAcross) % kAcross, wj = (j + kAlong) % kAlong;
            const float lit = latticeHash(wi, wj, 81);
            if (lit > 0.5f) {
                continue;
            }
            const float ps = (i + 0.15f + 0.7f * latticeHash(wi, wj, 82)) / kAcross;
            const float pt = (j + 0.15f + 0.7f * latticeHash(wi, wj, 83)) / kAlong;
            // Distance in texels of the 512 picture; s changes about three
            // times more slowly across the floor in view, so a light is
            // narrower in s to look round there.
            const float ds = (s - ps) * 512 * 3, dt = (t - pt) * 512;
            const float r2 = ds * ds + dt * dt;
            if (latticeHash(wi, wj, 87) < kMedusaShare) {
                sum = sum + farMedusa(ds, dt, wi, wj);
                continue;
            }
            const float size = 0.8f + 1.4f * latticeHash(wi, wj, 84);
            const float strength = 0.25f + 0.75f * std::pow(latticeHash(wi, wj, 85), 2.0f);
            const float light = strength * (std::exp(-r2 / (size * size)) +
                                            0.18f * std::exp(-r2 / (16 * size * size)));
            const bool violet = latticeHash(wi, wj, 86) < 0.15f;
            sum = sum + (violet ? Colour{0.55f, 0.35f, 0.9f} : Colour{0.35f, 0.85f, 0.9f}) * light;
        }
    }
    return sum;
}

// The last seconds of the deep sea end with the camera almost against the
// dome's wall, seen at a slant: at 240 s some twenty texels along s round
// (s 0.40, t 0.15) fill the view but only a few along t, and at 238 s less
// than one, so an even band there showed as a flat navy screen. A haze of
// light glows there with soft lamps in it, a little longer along t: at that
// slant each one is drawn out into a ray of light crossing the view
// (blue-green, two violet); from anywhere else they are a small cluster of
// far lights.
// The water there is dark, and only the rays carry light: with an even
// glowing haze under them (about 0.23 green, 0.41 blue) the last frames
// were a washed-out blue screen behind the star fractal.
constexpr float kEndS = 0.405f, kEndT = 0.15f;
constexpr float kEndDarkening = 0.7f; // of the dome's own light round the lamps

// How near (s, t) is to the lamps, 1 at their middle.
float endNearness(float s, float t) {
    // In texels of the 512 picture.
    const float ds = (s - kEndS) * 512, dt = (t - kEndT) * 512;
    return std::exp(-(ds * ds + 0.36f * dt * dt) / (30.0f * 30.0f));
}

Colour endGlow(float s, float t) {
    const float ds = (s - kEndS) * 512, dt = (t - kEndT) * 512;
    const float haze = endNearness(s, t);
    struct Lamp {
        float ds, dt, across, along, strength;
        bool violet;
    };
    constexpr Lamp lamps[] = {
        {-12, 2, 1.6f, 4.0f, 0.45f, false}, {-7, 13, 1.6f, 4.5f, 0.45f, true},
        {-4, -7, 2.2f, 4.0f, 0.5f, false},  {1, 6, 1.5f, 5.0f, 0.4f, false},
        {5, -3, 1.8f, 3.5f, 0.35f, true},   {-15, -6, 1.4f, 3.0f, 0.35f, false},
        {9, 16, 1.8f, 4.0f, 0.35f, false},  {3, -20, 2.0f, 4.0f, 0.3f, false}};
    Colour c = Colour{0.0f, 0.03f, 0.06f} * haze;
    for (const Lamp& l : lamps) {
        const float u = (ds - l.ds) / l.across, v = (dt - l.dt) / l.along;
        const float r2 = u * u + v * v;
        const float light = std::exp(-r2) + 0.25f * std::exp(-r2 / 9.0f);
        const Colour hue = l.violet ? Colour{0.5f, 0.35f, 0.9f} : Colour{0.3f, 0.85f, 0.85f};
        c = c + hue * (l.strength * light);
    }
    return c;
}

Image deepDome() {
    // 512 across: the floor is seen magnified about five pixels a texel.
    Image image(512, 512);
    image.shade([](float s, float t) {
        // s runs from the surface (small s, up on screen) to the abyss. A
        // dim glow round the horizon, shafts of light falling from the
        // surface, and faint drifting specks; never brighter than a third,
        // because the beams and glows are added over it.
        const float n = fractalNoise(s, t, 3, 5, 0.5f, 61);
        const float band = smoothstep(0.25f, 0.52f, s);
        const float abyss = 1.0f - 0.7f * smoothstep(0.52f, 0.7f, s);
        const float shafts =
            std::pow(0.5f + 0.5f * periodicNoise(t * 16 + 2 * s, 0.5f, 16, 62), 3.0f);
        const float fromSurface = 1.0f - smoothstep(0.08f, 0.45f, s);
        const float specks = std::pow(clamp01(periodicNoise(s * 48, t * 48, 48, 63)), 10.0f);
        // The horizon glow stays low: brighter, the dome's wall and its lit
        // floor met in a bright seam and the deep read as a dim room.
        const Colour c = mix(Colour{0.0f, 0.02f, 0.08f}, Colour{0.02f, 0.1f, 0.25f}, band * band) *
                             (abyss * (0.85f + 0.15f * n)) +
                         Colour{0.05f, 0.2f, 0.3f} * (shafts * fromSurface * (0.7f + 0.3f * n)) +
                         Colour{0.25f, 0.35f, 0.45f} * specks;
        const Colour dome = c * (1.0f - kEndDarkening * endNearness(s, t));
        // The floor may be brighter than the rest: nothing but one beam is
        // added over it while it fills the view.
        const float onFloor = smoothstep(0.58f, 0.62f, s);
        const Colour floor = Colour{0.12f, 0.34f, 0.44f} * floorShafts(s, t) + deepLights(s, t);
        const Colour end = endGlow(s, t);
        const Colour lit = dome + floor * onFloor + end;
        const float cap = 0.34f + 0.5f * std::max(onFloor, std::min(end.g * 2.0f, 1.0f));
        return Colour{std::min(lit.r, cap), std::min(lit.g, cap), std::min(lit.b, cap + 0.06f)};
    });
    return image;
}

Image deepBackdrop() {
    Image image(256, 256);
    image.shade([](float s, float t) {
        const float rays = 0.5f + 0.5f * periodicNoise(s * 12 + t * 3, 0.5f, 12, 71);
        const float depth = std::pow(t, 1.5f);
        const float motes = std::pow(clamp01(periodicNoise(s * 60, t * 60, 60, 72)), 8.0f);
        // Drawn additively as a wall at the dome's edge, seen from inside so
        // it spans half the view: a fade over the outer fifth still left its
        // corner as a straight lighter panel against the dome. The light
        // falls off round the middle and is gone at the inscribed circle, so
        // no edge of the wall can show.
        const float u = 2 * s - 1, v = 2 * t - 1;
        const float fade = std::pow(clamp01(1.0f - (u * u + v * v)), 2.0f);
        return (Colour{0.0f, 0.04f, 0.1f} +
                Colour{0.05f, 0.2f, 0.35f} * (depth * (0.5f + 0.5f * rays)) + grey(0.3f * motes)) *
               fade;
    });
    return image;
}

// Dark walnut once seen through the hung picture's frame colour (0.65) and
// a quarter of deep blue; see painting().
constexpr Colour kHungFrameWalnut{0.4f, 0.18f, 0.0f};
constexpr Colour kSunlitSand{1.28f, 1.08f, 0.78f}; // times the sand's light
constexpr float kSandWarmth = 0.9f;                // below the rock line
constexpr float kLocalContrast = 1.6f;             // added to the broad light and shade
constexpr int kMassFrom = 3, kMassTo = 18;         // texels: the band of masses it lifts
constexpr float kHighlightWhitening = 0.5f;        // of the brightest light's colour
constexpr float kPaletteStrength = 0.8f;           // of the painter's palette over the render
constexpr float kStrokeStep = 0.0008f;             // of the width, five steps a stroke
constexpr float kGlowFrom = 0.6f;                  // value where light starts to glow
constexpr int kGlowRadius = 5;                     // texels
constexpr float kSandGlow = 0.45f;                 // of the glow, below the rock line
constexpr Colour kGlowColour{0.5f, 0.75f, 0.85f};  // pale aqua, per unit of light above
constexpr float kEdgeCrispness = 0.8f;             // of the one-texel detail, where it lightens
constexpr float kValueSeparation = 0.7f;           // of the S-curve over the plain value
constexpr float kSeparationFrom = 0.15f, kSeparationTo = 0.8f;

Plane luminancePlane(const Image& image) {
    Plane light(image.width(), image.height());
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            light.at(x, y) = luminance(image.at(x, y));
        }
    }
    return light;
}

// Seen a fifth to a half opaque, a tile of flat saturated blue reads as a
// tinted pane. Strengthening the light and shade masses within a tile (a
// shaft against the water beside it, a lit patch of sand against its shade)
// well past double and whitening the brightest light keeps each piece a
// piece of a picture even where several spinning tiles overlap and average;
// the mean stays where it was, so the trail that starts from the painting
// does not brighten. The band starts above the outlines: lifted at a texel
// or two, every fish and line got a dark ring, a hard inked outline.
void bringOutLightAndShade(Image& image) {
    const Plane light = luminancePlane(image);
    const Plane fine = blurred(light, kMassFrom), around = blurred(light, kMassTo);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const float l = light.at(x, y);
            const float detail = fine.at(x, y) - around.at(x, y);
            Colour c = image.at(x, y) + grey(kLocalContrast * detail);
            c = mix(c, grey(luminance(c)), kHighlightWhitening * smoothstep(0.45f, 0.85f, l));
            image.at(x, y) = {clamp01(c.r), clamp01(c.g), clamp01(c.b)};
        }
    }
}

// Crisp edges without ink: the one-texel detail is added back only where it
// lightens, so the lit side of a fish's outline, a bubble or a light line
// stands sharp against the water, while the water beside it never darkens
// into a ring. Left soft, the painting magnified on screen read as a blown-up
// low-resolution picture; sharpened both ways, every shape had an inked rim.
void crispenLitEdges(Image& image) {
    const Plane light = luminancePlane(image);
    const Plane soft = blurred(light, 1);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const float l = light.at(x, y);
            const float lift = kEdgeCrispness * std::max(0.0f, l - soft.at(x, y));
            // Brightened along its own hue and no further than its brightest
            // channel allows: clipped, an orange edge turned cream.
            const Colour c = image.at(x, y);
            const float brightest = std::max({c.r, c.g, c.b, 0.02f});
            const float gain = std::min((l + lift) / std::max(l, 0.02f), 1.0f / brightest);
            image.at(x, y) = c * std::max(gain, 1.0f);
        }
    }
}

// Light seen through water blooms: the surface, the shafts and the light on
// the sand spill a soft pale glow over what lies next to them, so the
// painting reads lit from within rather than cut out and inked. On the sand
// the light net is dense, and a full glow there filled its cells with one
// pale haze.
void letLightGlow(Image& image) {
    Plane bright = luminancePlane(image);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            bright.at(x, y) = std::max(0.0f, bright.at(x, y) - kGlowFrom);
        }
    }
    const Plane glow = blurred(bright, kGlowRadius);
    for (int y = 0; y < image.height(); ++y) {
        const float t = 1.0f - (y + 0.5f) / image.height();
        const float strength = kSandGlow + (1.0f - kSandGlow) * smoothstep(0.3f, 0.4f, t);
        for (int x = 0; x < image.width(); ++x) {
            const Colour c = image.at(x, y) + kGlowColour * (strength * glow.at(x, y));
            image.at(x, y) = {clamp01(c.r), clamp01(c.g), clamp01(c.b)};
        }
    }
}

// A painter's limited palette by value: indigo shade, ultramarine and teal
// water, pale aqua and warm cream light. The live scene the tiles fly over is
// royal blue with beige sand, and a painting in the same colours read as that
// scene itself; laid this way it stays a picture of it. Every step runs
// between neighbouring hues (no teal straight into orange), so the value can
// grade smoothly without passing through a muddy grey.
Colour paintersPalette(float value) {
    struct Stop {
        float at;
        Colour colour;
    };
    static constexpr Stop stops[] = {{0.0f, {0.01f, 0.0f, 0.05f}},  {0.3f, {0.0f, 0.08f, 0.3f}},
                                     {0.48f, {0.0f, 0.42f, 0.56f}}, {0.66f, {0.24f, 0.72f, 0.86f}},
                                     {0.84f, {1.0f, 0.9f, 0.62f}},  {1.0f, {1.0f, 0.98f, 0.9f}}};
    const float v = clamp01(value);
    for (size_t i = 1; i < std::size(stops); ++i) {
        if (v <= stops[i].at) {
            const float f = (v - stops[i - 1].at) / (stops[i].at - stops[i - 1].at);
            return mix(stops[i - 1].colour, stops[i].colour, f);
        }
    }
    return stops[std::size(stops) - 1].colour;
}

// Bold shapes, smooth inside: the middle values are pulled apart on a smooth
// S-curve, so water splits into indigo shade and teal light while each shape
// keeps its gradient. Flat plateaus (a poster's few tones) held the shapes
// too, but read as banding and posterised blocks once magnified on screen.
float separatedValue(float value) {
    const float v = clamp01(value);
    return v + kValueSeparation * (smoothstep(kSeparationFrom, kSeparationTo, v) - v);
}

Image painting() {
    // Ray-traced (tools/render/underwater_painting.pov), then laid on with
    // short brush strokes along a slowly turning direction.
    const Image scene = renderedPicture("underwater_painting.png", 512, 512);
    Image image(512, 512);
    image.shade([&scene](float s, float t) {
        const float angle = pi * fractalNoise(s, t, 3, 3, 0.5f, 91);
        const float dx = std::cos(angle) * kStrokeStep, dy = std::sin(angle) * kStrokeStep;
        Colour sum;
        for (int k = -2; k <= 2; ++k) {
            sum += scene.sampleClamped(s + dx * k, t + dy * k);
        }
        sum *= 1.0f / 5;
        // Layer C lays the picture over the live scene at a fifth to a half
        // of full opacity, so a soft blue render would read as grey glass:
        // push saturation and contrast hard, darker water, brighter light.
        const float lum = 0.3f * sum.r + 0.59f * sum.g + 0.11f * sum.b;
        Colour c = grey(lum) + (sum - grey(lum)) * 1.25f;
        const auto curve = [](float v) {
            const float x = clamp01((v - 0.06f) / 0.82f);
            return std::pow(0.4f * x + 0.6f * x * x * (3 - 2 * x), 1.45f);
        };
        c = {curve(c.r), curve(c.g), curve(c.b)};
        // The sand below the rocks stays pale, the light floor the dark rocks
        // stand on, and turns warm within a few rows of the rock line: sunlit
        // sand under blue water (a long partial mix of teal and beige read as
        // an olive band). Coral (red well over green) and the dark stones
        // keep their own colours.
        const float sand = smoothstep(0.36f, 0.3f, t);
        c = mix(c, c * Colour{1.6f, 1.45f, 1.2f} + grey(0.06f), sand);
        const float sandLight = 0.3f * c.r + 0.59f * c.g + 0.11f * c.b;
        const float keepsOwnColour =
            std::max(smoothstep(0.12f, 0.3f, c.r - c.g), smoothstep(0.2f, 0.08f, sandLight));
        c = mix(c, kSunlitSand * sandLight,
                kSandWarmth * smoothstep(0.33f, 0.25f, t) * (1.0f - keepsOwnColour));
        // Coral and fish keep their own orange and pink against the palette.
        // In the open water nothing but fish is warmer than blue, so there a
        // fish's shaded gold belly and its fins keep their colour too: mapped
        // by value they turned teal and cream, and the fish read as pale pills.
        const float inWater = smoothstep(0.36f, 0.42f, t);
        const float own = std::max(smoothstep(0.12f, 0.3f, c.r - c.g),
                                   inWater * smoothstep(0.02f, 0.12f, c.r - c.b));
        const float value = separatedValue(0.3f * c.r + 0.59f * c.g + 0.11f * c.b);
        return mix(c, paintersPalette(value), kPaletteStrength * (1.0f - own));
    });
    bringOutLightAndShade(image);
    crispenLitEdges(image);
    letLightGlow(image);
    // The hung picture's frame is drawn unlit and untextured by its mesh, so
    // it takes the one colour the picture's last corner coordinate (450/512,
    // 0) samples: a bilinear mix of columns 449 and 450 in the top and bottom
    // rows. Three of those four texels lie outside the copied picture and
    // keep this colour, chosen so the mix (a quarter still the live corner's
    // blue), drawn at 0.65, is the dark walnut of the door casing below it:
    // unlit and of one colour, the frame cannot show a gilt moulding's
    // light, and the brightest gold it could take read as a flat khaki band
    // across the doorway's top; dark wood is flat in a real room too, and
    // with the casing it reads as one overdoor.
    for (int x : {449, 450}) {
        for (int y : {0, 511}) {
            image.at(x, y) = kHungFrameWalnut;
        }
    }
    return image;
}

// The tentacles run past the render's bottom edge; ending them there showed
// as a straight cut across the lower tiles, so they fade into the dark over
// the lowest rows, slowly at first, the way thin filaments vanish with depth.
float medusaTentacleFade(int y, int rows) {
    constexpr float kFadeRows = 95;
    const float s = std::clamp((static_cast<float>(rows - 4 - y)) / kFadeRows, 0.0f, 1.0f);
    return s * s * (3 - 2 * s);
}

// The light the medusa's glow throws into the water round it, so a bright
// line reads as a luminous thread and the bell as burning from inside. Its
// radii are across x down, 3:4, because the tiles show the picture stretched
// 4:3 sideways; both stay small so a tile away from the animal stays black.
constexpr int kHaloAcross = 2, kHaloDown = 3, kBloomAcross = 8, kBloomDown = 11;
constexpr float kHaloGain = 0.35f, kBloomGain = 0.28f;
constexpr Colour kGlowTint{0.62f, 0.56f, 1.0f};

// A glowing medusa on black. The tiles show t from 0.2 up, stretched 4/3
// wide, so the drawing works in the displayed frame.
Image medusaPicture() {
    // Ray-traced offline (tools/render/medusa.pov). The tiles use the picture
    // above t = 0.2 only, so the render fills the top 410 rows and the rest
    // stays black.
    const Image rendered = renderedPicture("medusa.png", 512, 410);
    Image image(512, 512);
    Plane light(512, 512);
    for (int y = 0; y < rendered.height(); ++y) {
        for (int x = 0; x < rendered.width(); ++x) {
            const Colour c = rendered.at(x, y);
            image.at(x, y) = c;
            light.at(x, y) = 0.3f * c.r + 0.5f * c.g + 0.2f * c.b;
        }
    }
    addMask(image, blurredApart(light, kHaloAcross, kHaloDown), kGlowTint * kHaloGain);
    addMask(image, blurredApart(light, kBloomAcross, kBloomDown), kGlowTint * kBloomGain);
    // Additive: the outermost texels stay black, so no tile edge glows.
    for (int y = 0; y < image.height(); ++y) {
        const float fade = y < 2 ? 0.0f : medusaTentacleFade(y, rendered.height());
        for (int x = 0; x < image.width(); ++x) {
            const bool border = x < 2 || x >= rendered.width() - 2;
            image.at(x, y) = border ? Colour{} : image.at(x, y) * fade;
        }
    }
    return image;
}

// The face is drawn unlit, so its modelling lives in the picture: light
// baked from the face mesh's own relief (brow, sockets, nose, lips, chin),
// a soft key from the viewer's upper left with the shadows the relief casts
// (under the nose and lip, into the sockets), light lost in the hollows,
// warm light bounced up from below and a small sheen, the way a painted
// portrait carries its light. Painted from an egg's normal with a nose bump,
// the features sat on the face like a drawing on an egg.
constexpr float kKeyX = -0.45f, kKeyY = 0.5f, kKeyZ = 0.74f;

float reliefScale() {
    static const float scale = [] {
        double top = 0;
        for (int i = 0; i <= 60; ++i) {
            for (int j = 0; j <= 60; ++j) {
                const double x = (i / 30.0 - 1) * face::kHalfWidth;
                const double y = (j / 30.0 - 1) * face::kHalfHeight;
                const double rho = std::hypot(x / face::halfWidthAt(y), y / face::kHalfHeight);
                if (rho <= 1) {
                    top = std::max(top, face::relief(x, y, rho));
                }
            }
        }
        return static_cast<float>(face::kDepth / top);
    }();
    return scale;
}

// The relief's depth at (x, y), scaled as the mesh is; flat beyond the rim.
float faceDepth(float x, float y) {
    const double rho = std::hypot(x / face::halfWidthAt(y), y / face::kHalfHeight);
    return reliefScale() * static_cast<float>(face::relief(x, y, std::min(rho, 1.0)));
}

float bakedFaceLight(float x, float y, float outline) {
    constexpr float h = 0.004f;
    float nx, ny, nz;
    if (outline < 0.97f) {
        nx = -(faceDepth(x + h, y) - faceDepth(x - h, y)) / (2 * h);
        ny = -(faceDepth(x, y + h) - faceDepth(x, y - h)) / (2 * h);
        nz = 1;
    } else {
        // At the rim the relief turns edge-on: the outline's own normal.
        nx = x / static_cast<float>(face::kHalfWidth);
        ny = y / static_cast<float>(face::kHalfHeight);
        nz = 0.15f;
    }
    const float len = std::sqrt(nx * nx + ny * ny + nz * nz);
    nx /= len, ny /= len, nz /= len;
    const float key = std::max(0.0f, kKeyX * nx + kKeyY * ny + kKeyZ * nz);
    // Soft shadow: march toward the light over the relief.
    const float z0 = faceDepth(x, y), across = std::hypot(kKeyX, kKeyY);
    float lit = 1;
    for (int k = 1; k <= 14; ++k) {
        const float d = 0.006f * k;
        const float above =
            faceDepth(x + kKeyX / across * d, y + kKeyY / across * d) - (z0 + kKeyZ / across * d);
        lit = std::min(lit, 1 - smoothstep(0.0f, 0.012f, above));
    }
    // Hollows lose light: the mean depth round a point above its own.
    float around = 0;
    for (int k = 0; k < 8; ++k) {
        const float a = static_cast<float>(k) * pi / 4;
        around += faceDepth(x + 0.035f * std::cos(a), y + 0.035f * std::sin(a));
    }
    const float hollow = outline < 0.97f ? std::max(0.0f, around / 8 - z0) : 0.0f;
    const float occlusion = 1 - std::min(0.45f, 9 * hollow);
    const float bounce = std::max(0.0f, -ny) * 0.12f;
    const float sheen =
        0.1f * std::pow(std::max(0.0f, -0.25f * nx + 0.3f * ny + 0.92f * nz), 24.0f);
    // Deep enough shade that the face keeps its form when the cross-fade
    // lays it half transparent over the room.
    return (0.3f + 0.84f * key * (0.6f + 0.4f * lit)) * occlusion + bounce + sheen;
}

// The ear as the front view sees it: 1 inside, its place across (0 at the
// root) and up (-1..1). Painted over hair and past the face's outline.
struct EarPoint {
    float cover, across, up;
};
EarPoint earAt(float x, float y) {
    using namespace face;
    const float across =
        (std::abs(x) - static_cast<float>(earRootX())) / static_cast<float>(kEarReach);
    const float taper = 1 - 0.25f * std::clamp(across, 0.0f, 1.0f) * std::clamp(across, 0.0f, 1.0f);
    const float up = (y - static_cast<float>(kEarY)) / (static_cast<float>(kEarHalfHeight) * taper);
    const float r = std::hypot(2 * across - 1, up);
    return {1 - smoothstep(1.0f, 1.12f, r), across, up};
}

// Skin of the ear: a lit helix round the rim, the dark bowl inside it and the
// shade where it meets the head.
Colour earColour(const EarPoint& e, const Colour& skin) {
    const float r = std::hypot(2 * e.across - 1, e.up);
    const float bowl = std::exp(-std::pow((e.across - 0.45f) / 0.18f, 2.0f) -
                                std::pow((e.up + 0.1f) / 0.45f, 2.0f));
    const float helix = smoothstep(0.62f, 0.85f, r);
    const float root = 1 - smoothstep(0.0f, 0.22f, e.across);
    const float light = 0.78f + 0.3f * helix - 0.4f * bowl - 0.3f * root;
    return mix(skin, Colour{0.95f, 0.62f, 0.55f}, 0.35f) * light;
}

// Locks of hair fall from a crown above the head: a strand's place across
// the hair is its angle round the crown, so strands fan out and converge the
// way a child's cut does. Parallel sine stripes read as the floor's wood grain.
constexpr float kCrownX = 0.06f, kCrownY = 0.66f;
constexpr float kLocksPerRadian = 11;

float strandAngle(float x, float y) {
    return std::atan2(x - kCrownX, kCrownY - y);
}

// 1 under the hair. The fringe ends in pointed locks over the forehead.
float hairCover(float x, float y) {
    const float lock = strandAngle(x, y) * kLocksPerRadian + 0.35f * std::sin(7 * x);
    const float f = lock - std::floor(lock);
    const float tip = 1 - std::abs(2 * f - 1);
    // Side locks fall past the temples to cheek height, framing the face.
    const float sides = 0.3f * smoothstep(0.3f, 0.41f, std::abs(x));
    const float hairLine = 0.27f - 0.9f * x * x - 0.05f * tip * tip * tip + 0.02f - sides;
    return smoothstep(hairLine - 0.01f, hairLine + 0.01f, y);
}

// Dark chestnut: fine strands across, long along; darker partings between
// locks; a broken band of sheen where the crown's curve faces the light.
Colour hairColour(float x, float y) {
    const float a = strandAngle(x, y), r = std::hypot(x - kCrownX, kCrownY - y);
    const float fine = 0.5f + 0.5f * periodicNoise(a * 140, r * 5, 512, 71);
    const float finer = 0.5f + 0.5f * periodicNoise(a * 420, r * 9, 1024, 72);
    const float lock = a * kLocksPerRadian + 0.35f * std::sin(7 * x);
    const float parting = std::pow(std::abs(std::sin(pi * lock)), 0.35f);
    const Colour deep{0.13f, 0.07f, 0.035f}, mid{0.36f, 0.21f, 0.1f};
    Colour c = mix(deep, mid, parting * (0.55f + 0.25f * fine + 0.2f * finer));
    const float band = (y - 0.39f + 0.55f * (x + 0.08f) * (x + 0.08f)) / 0.035f;
    const float sheen = std::exp(-band * band) * smoothstep(0.45f, 0.8f, fine) * parting;
    return c + Colour{0.5f, 0.38f, 0.26f} * (0.55f * sheen);
}

// The sleeping face comes first, in soft cool evening light; it cross-fades
// into the awake face, warm in lamplight, so the change reads at a glance
// even where the eyes are small on screen. The evening light keeps the skin
// warm: a pale blue-white face, and then a lilac-grey one, half transparent
// over the room, read as a ghost.
constexpr Colour kMoonlight{0.92f, 0.86f, 0.88f};
constexpr Colour kLamplight{1.08f, 0.96f, 0.8f};

// The child's face, painted in the face mesh's own coordinates (the layout
// the mesh is built from) and mapped back through the face shot's planes, so
// painted and modelled features coincide.
Colour childFace(float s, float t, bool second) {
    using namespace face;
    // x as the viewer sees it: the mesh's +x lies on the viewer's left.
    const float x = -static_cast<float>((s - textureS(0)) / (textureS(1) - textureS(0)));
    const float y = static_cast<float>((t - textureT(0)) / (textureT(1) - textureT(0)));
    const float hh = static_cast<float>(kHalfHeight);
    // 1 on the outline of the egg-shaped face, as the mesh draws it.
    const float outline = std::hypot(x / static_cast<float>(halfWidthAt(y)), y / hh);

    const Colour background{0.05f, 0.05f, 0.12f};
    const Colour skin = mix(Colour{1.0f, 0.84f, 0.72f}, Colour{0.88f, 0.64f, 0.54f},
                            smoothstep(0.3f, 1.0f, outline));
    // Skin runs a little past the outline so filtering at the mesh's rim stays skin.
    Colour c = mix(skin, background, smoothstep(1.06f, 1.12f, outline));
    const float eyeX = static_cast<float>(kEyeX), eyeY = static_cast<float>(kEyeY);
    const float eyeR = static_cast<float>(kEyeRadius);
    for (float side : {-1.0f, 1.0f}) {
        const float d = std::hypot(x - side * 0.2f, y + 0.11f) / 0.08f;
        c = mix(c, Colour{1.0f, 0.55f, 0.55f}, 0.4f * std::exp(-d * d));
    }
    for (float side : {-1.0f, 1.0f}) {
        const float ex = x - side * eyeX, ey = y - eyeY;
        if (!second) {
            // Wide open, with a dark lash line above: the face is small on
            // screen and cross-fades from the sleeping one, so the whites and
            // the large blue irises must read at a glance.
            const float white = std::hypot(ex / (eyeR * 1.1f), ey / (eyeR * 0.88f));
            const float iris = std::hypot(ex, ey) / (eyeR * 0.66f);
            c = mix(c, grey(0.97f), 1 - smoothstep(0.9f, 1.0f, white));
            c = mix(c, Colour{0.12f, 0.4f, 0.78f}, 1 - smoothstep(0.85f, 1.0f, iris));
            c = mix(c, grey(0.03f), 1 - smoothstep(0.42f, 0.52f, iris));
            const float glint = std::hypot(ex + 0.014f, ey - 0.014f) / (eyeR * 0.18f);
            c = mix(c, grey(1), 1 - smoothstep(0.6f, 1.0f, glint));
            const float lashLine = (white - 1.0f) / 0.12f;
            c = mix(c, Colour{0.14f, 0.08f, 0.06f},
                    (ey > -0.2f * eyeR ? 0.9f : 0.35f) * std::exp(-lashLine * lashLine));
        } else {
            const float lid = std::abs(ey + 0.01f - 4 * ex * ex) / 0.007f;
            const float across = std::abs(ex) < eyeR ? 1.0f : 0.0f;
            c = mix(c, Colour{0.3f, 0.17f, 0.12f}, (1 - smoothstep(0.6f, 1.2f, lid)) * across);
            // Lashes hang from the closed lid, longest mid-eye.
            const float below = 4 * ex * ex - 0.01f - ey;
            const float length = 0.016f * (1 - 0.7f * std::abs(ex) / eyeR);
            const float tick = smoothstep(0.2f, 0.8f, std::sin(ex * 520 + 40 * below));
            const float lash = (below > 0 && below < length) ? tick * across : 0.0f;
            c = mix(c, Colour{0.18f, 0.1f, 0.07f}, 0.85f * lash);
        }
        // The fold of the upper lid, open or shut.
        const float crease = std::abs(ey - 0.036f + 3.5f * ex * ex) / 0.006f;
        const float creaseAcross = 1 - smoothstep(0.7f * eyeR, 1.05f * eyeR, std::abs(ex));
        c = mix(c, Colour{0.62f, 0.4f, 0.34f}, 0.35f * std::exp(-crease * crease) * creaseAcross);
        // Soft feathered brows, thickest toward the nose, in fine hairs.
        const float inner = side * ex < 0 ? 1.0f : 0.0f;
        const float browHalf = 0.009f + 0.005f * inner - 0.004f * std::abs(ex) / eyeR;
        const float brow = std::abs(y - static_cast<float>(kBrowY) + 3 * ex * ex) / browHalf;
        const float browAcross = 1 - smoothstep(eyeR * 1.05f, eyeR * 1.3f, std::abs(ex));
        const float hairs = 0.75f + 0.25f * std::sin(ex * 900 + y * 300);
        c = mix(c, Colour{0.4f, 0.25f, 0.15f},
                0.75f * hairs * (1 - smoothstep(0.5f, 1.2f, brow)) * browAcross);
    }
    // A rosy tip and two small nostrils under it.
    const float noseY = static_cast<float>(kNoseTipY);
    const float tip = std::hypot(x, (y - noseY) / 0.8f) / 0.03f;
    c = mix(c, Colour{0.95f, 0.62f, 0.55f}, 0.3f * std::exp(-tip * tip));
    for (float side : {-1.0f, 1.0f}) {
        const float nostril =
            std::hypot((x - side * 0.022f) / 0.012f, (y - noseY + 0.024f) / 0.007f);
        c = mix(c, Colour{0.42f, 0.22f, 0.2f}, 0.75f * (1 - smoothstep(0.6f, 1.0f, nostril)));
    }
    const float mouthY = static_cast<float>(kMouthY), mouthW = static_cast<float>(kMouthHalfWidth);
    const float acrossMouth = 1 - smoothstep(mouthW * 0.8f, mouthW, std::abs(x));
    // Lips: the upper one with its bow under the philtrum, the fuller lower
    // one, both only a little rosier than the skin, as a child's are.
    const float lipLine = mouthY + (second ? 3.5f * x * x : 0.012f + 2.5f * x * x);
    const float lipSpan = std::max(0.0f, 1 - (x / (mouthW * 0.95f)) * (x / (mouthW * 0.95f)));
    const float upperTop =
        lipLine + lipSpan * (0.022f - 0.007f * std::exp(-(x / 0.012f) * (x / 0.012f)));
    const float lowerBottom = (second ? lipLine : mouthY - 0.05f + 9.0f * x * x) - 0.03f * lipSpan;
    const float upperLip = smoothstep(-0.003f, 0.003f, upperTop - y) *
                           smoothstep(-0.003f, 0.003f, y - lipLine) * (lipSpan > 0 ? 1.0f : 0.0f);
    const float lowerLip = smoothstep(-0.004f, 0.004f, y - lowerBottom) *
                           smoothstep(-0.003f, 0.003f, lipLine - y) * (lipSpan > 0 ? 1.0f : 0.0f);
    c = mix(c, Colour{0.8f, 0.44f, 0.42f}, 0.5f * upperLip);
    c = mix(c, Colour{0.9f, 0.52f, 0.5f}, 0.45f * lowerLip);
    if (second) {
        const float mouth = std::abs(y - mouthY - 3.5f * x * x) / 0.006f;
        c = mix(c, Colour{0.5f, 0.2f, 0.2f}, (1 - smoothstep(0.6f, 1.2f, mouth)) * acrossMouth);
    } else {
        // The awake child laughs: an open mouth, teeth under the upper lip,
        // where the sleeping one has a closed line.
        const float top = mouthY + 0.012f + 2.5f * x * x, bottom = mouthY - 0.05f + 9.0f * x * x;
        const float open = smoothstep(-0.004f, 0.004f, top - y) *
                           smoothstep(-0.004f, 0.004f, y - bottom) * acrossMouth;
        const float teeth = smoothstep(0.0f, 0.004f, y - (top - 0.016f));
        c = mix(c, mix(Colour{0.38f, 0.08f, 0.1f}, Colour{0.95f, 0.92f, 0.86f}, teeth), open);
        const float lip = std::abs(y - top) / 0.009f;
        c = mix(c, Colour{0.78f, 0.32f, 0.32f}, (1 - smoothstep(0.6f, 1.2f, lip)) * acrossMouth);
    }
    const float cover = hairCover(x, y) * (1 - smoothstep(1.1f, 1.16f, outline));
    c = mix(c, hairColour(x, y), cover);
    c = c * bakedFaceLight(x, y, outline);
    const EarPoint ear = earAt(x, y);
    c = mix(c, earColour(ear, skin), ear.cover);
    return c * (second ? kMoonlight : kLamplight);
}

} // namespace

std::vector<TextureRecipe> pictureTextures() {
    std::vector<TextureRecipe> recipes;
    for (int panel = 0; panel < moonPanels; ++panel) {
        recipes.push_back(
            {"moon" + std::to_string(panel + 1) + ".png", [panel] { return moonPanel(panel); }});
    }
    recipes.push_back({"sky2.png", deepDome});
    recipes.push_back({"sky4.png", deepBackdrop});
    recipes.push_back({"512c2.png", painting});
    recipes.push_back({"medusa.png", medusaPicture});
    recipes.push_back({"child_face.png", [] {
                           Image image(512, 512);
                           image.shadeSupersampled(
                               2, [](float s, float t) { return childFace(s, t, false); });
                           return image;
                       }});
    recipes.push_back({"child_face2.png", [] {
                           Image image(512, 512);
                           image.shadeSupersampled(
                               2, [](float s, float t) { return childFace(s, t, true); });
                           return image;
                       }});
    return recipes;
}

} // namespace assetgen
