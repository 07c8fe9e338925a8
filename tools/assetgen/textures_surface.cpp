// Surfaces that repeat over objects (all tile without seams), the multiply
// overlays (white where they leave the picture alone) and the plain
// render-target images.
#include "assetgen.h"
#include "rendered.h"
#include "textures.h"
#include "textures_noise.h"
#include "twirl_shape.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace assetgen {

namespace {

constexpr float pi = std::numbers::pi_v<float>;

Image plain(int size, Colour colour) {
    return Image(size, size, colour);
}

// Film grain to multiply over the picture. The overlay lays one tile over
// about 300 pixels, so a texel is a little over a pixel: independent texels
// (nearly Gaussian, a few clumped by fine noise) give single-pixel grain.
// It stays grey and fine, about a 6.5 % spread around 0.935 and nothing
// below 0.8: a multiply only shows on the lit trails, and at 4 % the
// reviewers saw no grain at all, while 8 % read as too heavy on the bright
// trails late in the opening; at 11 % with dark outliers every trail broke
// into dark specks. The faint blotches add an old print's unevenness.
Image filmGrain() {
    Image image(256, 256);
    Random random(5);
    image.shade([&](float s, float t) {
        const float white =
            static_cast<float>(random.uniform() + random.uniform() + random.uniform() - 1.5) * 2.0f;
        const float clump = periodicNoise(s * 128, t * 128, 128, 6);
        const float grain = 0.9f * white + 0.35f * clump;
        const float blotch = smoothstep(0.35f, 0.8f, fractalNoise(s, t, 3, 4, 0.5f, 7));
        return grey(std::clamp(0.935f + 0.068f * grain - 0.03f * blotch, 0.8f, 1.0f));
    });
    return image;
}

// The loading screen's multiply overlay: near white in the middle with a
// slight cool cast (red held back a little more would turn the domes' gold
// olive), a clear vignette, fine scan lines, and a soft
// rounded frame that is black before the border of the smallest echo layer (1.02 / 1.02^4 of the
// overlay's half size), so the layers' stepped edges never show.
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
        return Colour{0.88f, 0.93f, 1.0f} * (clamp01(fall - weave) * lines * frame);
    });
    return image;
}

// Butterfly wing pattern, laid on the wing by its own x and y. It slides
// and stretches along s as the wing flaps (by a third of the wing), so the
// bands run along the texture's width and only t (forewing towards high t,
// hindwing towards low t, 0.5 between them) places them; what s places
// slides slowly over the wing. The wings are added onto an indigo dusk sky,
// so black is where the wing is not seen: a wing reads by a few broad fields
// of light and dark, since it is seen at some fifteen pixels, twenty texels
// to a pixel and no smaller copies. Cyan and blue wings on the blue sky read
// as faint ghosts; a warm orange ground stands out against it, the flapping
// tint turns it red, gold or rose wing by wing. Each wing carries one eye:
// a pale core inside a black ring and a gold rim, about a third of the
// wing's height, the one mark that reads as a butterfly at that size. The
// forewing's eye sits at s = 0.5, which the forewing covers at any slide;
// the hindwing's drifts on and off its lobe. A black seam parts fore- from
// hindwing, a dark margin runs along each wing's outer edge, and the light
// fades towards the hinge: light near the flap axis piled up into slabs and
// light lit all along the span fanned into bursts of rays in the trail.
Image wingPattern() {
    constexpr float kSeam = 0.025f, kSeamEdge = 0.02f; // v = |t - 0.5|
    constexpr float kMarginFore = 0.25f, kMarginHind = 0.255f, kMarginEdge = 0.018f;
    // Along s: the tip never reaches above 0.47 nor the hinge below 0.53.
    constexpr float kOuterFrom = 0.76f, kOuterTo = 0.5f, kHingeLight = 0.18f;
    struct Eye {
        float s, t;
    };
    constexpr Eye foreEye{0.5f, 0.645f}, hindEye{0.585f, 0.3f};
    constexpr float kCore = 0.042f, kRing = 0.066f, kRim = 0.096f, kEyeEdge = 0.01f;
    const Colour foreGround{0.92f, 0.4f, 0.04f}, hindGround{0.85f, 0.24f, 0.05f};
    const Colour margin{0.04f, 0.015f, 0.01f}, base{0.12f, 0.035f, 0.01f};
    const Colour core{0.93f, 0.9f, 0.72f}, ring{0.01f, 0.012f, 0.05f}, rim{0.95f, 0.72f, 0.12f};
    Image image(512, 512);
    image.shadeSupersampled(2, [&](float s, float t) {
        const float v = std::abs(t - 0.5f);
        const bool fore = t > 0.5f;
        const float seam = smoothstep(kSeam, kSeam + kSeamEdge, v);
        // A dark, furred base by the seam; the ground's own colour beyond.
        Colour field = mix(base, fore ? foreGround : hindGround, smoothstep(0.03f, 0.07f, v));
        // Light gathers away from the hinge (a slow ramp along s, so the
        // slide does not show). The far tip never reaches s below 0.09;
        // dimming the last few texels keeps the repeat free of a seam.
        const float outer =
            std::min(smoothstep(kOuterFrom, kOuterTo, s), smoothstep(0.0f, 0.08f, s));
        field = field * (kHingeLight + (1 - kHingeLight) * outer);
        const float edge = fore ? kMarginFore : kMarginHind;
        field = mix(field, margin, smoothstep(edge, edge + kMarginEdge, v));
        // The eye stays fully lit wherever the slide takes it.
        const Eye eye = fore ? foreEye : hindEye;
        const float r = std::hypot(s - eye.s, t - eye.t);
        const float inRim = 1 - smoothstep(kRim - kEyeEdge, kRim, r);
        const float inRing = 1 - smoothstep(kRing - kEyeEdge, kRing, r);
        const float inCore = 1 - smoothstep(kCore - kEyeEdge, kCore, r);
        field = mix(field, rim, inRim);
        field = mix(field, ring, inRing);
        field = mix(field, core, inCore);
        // A faint sheen, so a close wing is not one flat colour.
        const float sheen = 0.9f + 0.1f * fractalNoise(s, t, 2, 2, 0.5f, 31);
        return field * (seam * sheen);
    });
    return image;
}

// Glazed ceramic: a glossy cobalt glaze lit by a tall window.
// The skin is laid from above (s along x, t along z, 1.5 a unit), so a row of
// texels is a vertical cut through the vase: the row through its axis (t 0.5)
// is the meridian facing the light and the one facing the sun, and a bright
// soft line there reads as the glaze's window highlight running from foot to
// lip. Bands across t read as stripes, not a pot, so the ground is one glaze
// with only slow pooling. The feedback loop shows a still surface at up to 16
// times its brightness (12-15 at 96 s, where the glaze alone was half the
// picture's blue): the ground stays near 0.05 in blue and only the highlight
// is bright, so under the loop the vase is a deep cobalt body with a white
// streak instead of a blown-out blue. The mirror image wears the same skin and
// shows through the floor at a fifth: the streak is what carries it.
Image ceramicGlaze() {
    Image image(256, 256);
    image.shade([](float s, float t) {
        const float pool = fractalNoise(s, t, 2, 4, 0.5f, 21);
        const float fleck = fractalNoise(s, t, 8, 2, 0.5f, 22);
        const Colour glaze = mix(Colour{0.005f, 0.014f, 0.05f}, Colour{0.009f, 0.026f, 0.066f},
                                 smoothstep(-0.3f, 0.4f, pool)) *
                             (0.92f + 0.12f * fleck);
        // Distance from the axis row, across the wrap: the skin repeats.
        const auto across = [&](float centre) {
            const float d = std::abs(t - centre);
            return std::min(d, 1 - d);
        };
        const float main = across(0.5f), second = across(0.62f);
        const float core = std::exp(-main * main / (2 * 0.022f * 0.022f));
        const float sheen = std::exp(-main * main / (2 * 0.06f * 0.06f));
        const float bar = std::exp(-second * second / (2 * 0.01f * 0.01f));
        return glaze + Colour{0.62f, 0.6f, 0.55f} * core + Colour{0.03f, 0.06f, 0.1f} * sheen +
               Colour{0.2f, 0.22f, 0.26f} * bar;
    });
    return image;
}

// Polished white marble: a pale, softly clouded ground crossed by a few
// thin, sharp, branching grey veins. A broad sine of light and dark bands
// laid one repeat over a whole face of the pedestal read as grey blotches
// smeared along it; thin veins at several widths read as stone at any size.
Image marbled(Colour a, Colour b, std::uint32_t seed) {
    Image image(256, 256);
    image.shade([=](float s, float t) {
        // Few octaves in the warp: veins flow in long curves; more of them
        // crinkled every vein into a crack in plaster.
        const float warp = fractalNoise(s, t, 2, 4, 0.5f, seed);
        const float cloud = fractalNoise(s, t, 4, 4, 0.5f, seed + 1);
        // Level lines of a warped ramp: sharp where the ramp crosses zero,
        // with a faint grey haze either side as in real stone.
        const float main = std::abs(std::sin(pi * (2 * s + 3 * t + 1.6f * warp)));
        const float fine = std::abs(
            std::sin(pi * (5 * s - 2 * t + 1.1f * fractalNoise(s, t, 4, 4, 0.5f, seed + 2))));
        const float vein = 0.85f * std::exp(-main * 26.0f) + 0.12f * std::exp(-main * 5.0f) +
                           0.35f * std::exp(-fine * 40.0f);
        const Colour ground = a * (0.95f + 0.05f * cloud);
        return mix(ground, b, std::min(1.0f, vein));
    });
    return image;
}

// The credits' ribbons are seen only through the trail, which keeps every
// copy for seconds and zooms them outward. The skin is projected along the
// ring's axis, so a picture drawn round the ring's centre in it follows the
// ribbon. The band turns twice about itself, so at the ring's angle a its two
// borders fall at cos(2a) and -cos(2a) of the half-width from the middle
// line: lines drawn on those two curves light the mesh's own edges all the
// way round, and the twist reads as two edges crossing (flaring where the
// band stands edge-on) in every copy. Each border keeps one of the ribbon's
// two tones through the crossings, so the two strands braid. A hot spine down
// the middle (round 48) read as one more swirl line; it stays, dimmer than
// the edges. Lines across s (round 46) smeared to a smudge, and warm tones
// over the trail's teal summed to brown: the skins stay cool, only the
// edges' cores go near white. Lines some four texels across: thinner ones
// broke into dashes in the trail's picture.
Image ribbonEdges(Colour deep, Colour light, std::uint32_t seed) {
    // The effect's texture planes (0.3 per unit) on the mesh as loaded (4.2
    // times its fitted cube): texture units per unit of the cube.
    constexpr double kTexturePerUnit = 0.3 * 4.2;
    constexpr float kRadius = float(kTwirlRadius * kTexturePerUnit);
    constexpr float kHalfWidth = float(kTwirlHalfWidth * kTexturePerUnit);
    // The edge lines sit a little inside the border, since the texture past
    // it never lands on the mesh; their glow spreads inward.
    constexpr float kEdgeInset = 0.88f, kEdgeWidth = 0.08f;
    constexpr float kEdgeGlowInset = 0.66f, kEdgeGlowWidth = 0.2f, kEdgeGlowGain = 0.3f;
    constexpr float kSpineWidth = 0.07f, kSpineGain = 0.5f;
    constexpr float kCoreWhiteness = 0.5f;
    const auto wrapped = [](double v) { return float(v - std::floor(v)); };
    const float centreS = wrapped(-kTwirlOffsetX * kTexturePerUnit);
    const float centreT = wrapped(-kTwirlOffsetY * kTexturePerUnit);
    Image image(256, 256);
    // The band reaches past half a repeat from its centre, so one texel can
    // lie on the band as seen from more than one copy of the centre: drawing
    // only the nearest copy's lines cut the outer edge away where the band
    // lies flat. Each copy whose band covers the texel draws, the brightest
    // wins.
    constexpr float kReach = 0.15f; // the warp, the band's thickness, the line
    image.shadeSupersampled(2, [=](float s, float t) {
        const float warp = 0.03f * fractalNoise(s, t, 2, 3, 0.5f, seed);
        Colour c{};
        for (int i = -1; i <= 1; ++i) {
            for (int j = -1; j <= 1; ++j) {
                const float ds = s - centreS - std::round(s - centreS) + float(i);
                const float dt = t - centreT - std::round(t - centreT) + float(j);
                const float across = (std::hypot(ds, dt) - kRadius) / kHalfWidth + warp;
                const float border = std::cos(2 * std::atan2(dt, ds));
                if (std::abs(across) > std::abs(border) + kReach) {
                    continue;
                }
                const auto edge = [&](float side, const Colour& tone) {
                    const Colour core = mix(tone, grey(1), kCoreWhiteness);
                    return core * lightLine(across - side * kEdgeInset * border, kEdgeWidth) +
                           tone *
                               (kEdgeGlowGain *
                                lightLine(across - side * kEdgeGlowInset * border, kEdgeGlowWidth));
                };
                const Colour here =
                    edge(1, light) + edge(-1, deep) +
                    mix(deep, light, 0.5f) * (kSpineGain * lightLine(across, kSpineWidth));
                c = Colour{std::max(c.r, here.r), std::max(c.g, here.g), std::max(c.b, here.b)};
            }
        }
        return Colour{clamp01(c.r), clamp01(c.g), clamp01(c.b)};
    });
    return image;
}

// The rain scene's floor: a ray-traced garden terrace at dusk seen from
// above (tools/render/wet_terrace.pov), the vase standing in a round pool
// of black water so its mirror image under the floor shows there. It is
// drawn at 80 % in a feedback loop that multiplies what stands still, so
// the whole terrace is kept dim: the sun's side (low s, -x) violet, the far
// side indigo, and the quad's edges sink into the night instead of ending
// in a hard line against the black.
// The pool's water mirrors the dusk sky faintly, rising towards the coping
// as water does at grazing angles: a black hole read as a pit, not a pool,
// and the rain's darkening rings need something to darken. Round the vase's
// foot it stays black, since the mirror image shows through there.
Colour poolSheen(float s, float t, float terraceLight, float sunward) {
    constexpr float kPoolS = 1.0f / 3.0f, kPoolT = 0.5f, kPoolRadius = 0.2f;
    const float r = std::hypot(s - kPoolS, t - kPoolT) / kPoolRadius;
    const float water = 1 - smoothstep(0.004f, 0.02f, terraceLight);
    const float rise = smoothstep(0.45f, 1.0f, r) * (1 - smoothstep(1.0f, 1.1f, r));
    const Colour sky = mix(Colour{0.006f, 0.007f, 0.02f}, Colour{0.02f, 0.009f, 0.011f}, sunward);
    return sky * (water * rise);
}

// The brightest of the four render texels under one floor texel: a bead's
// highlight covers one or two of them and would drown in a plain average.
float glintUnder(const Image& render, float s, float t) {
    constexpr float kHalf = 0.25f / 256;
    float brightest = 0;
    for (const float ds : {-kHalf, kHalf}) {
        for (const float dt : {-kHalf, kHalf}) {
            // Green tells the sun's white-gold highlight from the rose petals.
            brightest = std::max(brightest, render.sampleClamped(s + ds, t + dt).g);
        }
    }
    return smoothstep(0.3f, 0.75f, brightest);
}

// The low sun's path over the wet stone: the band of floor that mirrors it
// to an eye beyond the vase, on the line from the sun (-x) through the foot
// (t 0.5). It widens away from that eye, towards the sun, as a glitter path
// does on rough water. 1 on its axis, 0 well off it.
float sunPath(float s, float t) {
    const float halfWidth = 0.025f + 0.06f * clamp01(1 - s);
    const float across = (t - 0.5f) / halfWidth;
    return std::exp(-0.5f * across * across);
}

// Only some beads face the low sun, most of them in its path: every bead
// lit gave an even field of white dots that read as specks strewn on the
// slabs, not as wet stone lit from one side. The pick is per floor texel, so
// a bead seen by two texels keeps at most one and stays a single point.
float beadCatchesSun(float s, float t, float sunward) {
    constexpr float kFarShare = 0.03f, kSunShare = 0.12f, kPathShare = 0.5f;
    const int x = static_cast<int>(s * 256), y = static_cast<int>(t * 256);
    const float share = kFarShare + (kSunShare - kFarShare) * sunward;
    return latticeHash(x, y, 451) < share + (kPathShare - share) * sunPath(s, t) ? 1.0f : 0.0f;
}

// The sun mirrored in the rain films along its path: short bright streaks
// drawn out along the path, one texel thin, with dark stone between. Sharp
// reflections are what make stone read as wet; a soft glow there read as
// mud. Each texel row is cut into cells along s, and a cell holds a streak
// with a chance that falls off across the path, so the streaks stay few and
// apart (the moving camera draws each into a longer line in the loop).
float sunStreak(float s, float t) {
    constexpr int kCell = 16, kSize = 256;
    constexpr float kDensity = 0.18f;
    const int x = static_cast<int>(s * kSize), y = static_cast<int>(t * kSize);
    // Rows are shifted against each other and every other row stays dark, so
    // streaks never stack into a patch.
    const int shift = static_cast<int>(latticeHash(0, y, 613) * kCell);
    const int cell = (x + shift) / kCell, along = (x + shift) % kCell;
    const bool oddRow = (y & 1) != 0;
    // Denser towards the sun, as the glitter under a low sun is.
    const float towardsSun = 0.15f + 0.85f * clamp01(1.25f - 1.75f * s);
    if (oddRow || latticeHash(cell, y, 617) > kDensity * sunPath(s, t) * towardsSun) {
        return 0.0f;
    }
    const int length = 5 + static_cast<int>(latticeHash(cell, y, 619) * 5);
    if (along >= length) {
        return 0.0f;
    }
    // Brightest in its middle, fading to its ends like a stretched highlight.
    const float u = (along + 0.5f) / static_cast<float>(length);
    return std::sin(pi * u) * (0.6f + 0.4f * latticeHash(cell, y, 621));
}

// The dusk the standing rain mirrors (the scene has no sky of its own):
// lilac towards the sun, indigo away from it. Above the stone's knee, so
// the films read as water against the dark slate at 88-92 s when the loop
// barely adds, and still under the 0.12 a still patch may hold.
Colour filmSheen(const Image& films, float s, float t, float sunward) {
    const float water = smoothstep(0.5f, 0.85f, films.sampleClamped(s, t).g);
    const Colour sky = mix(Colour{0.06f, 0.075f, 0.18f}, Colour{0.14f, 0.08f, 0.16f}, sunward);
    return sky * water;
}

Image wetFloor() {
    constexpr float kGain = 0.13f, kKnee = 0.05f, kGlint = 1.0f, kStreak = 0.85f;
    const Image terrace = renderedPicture("wet_terrace.png", 512, 512);
    const Image films = renderedPicture("wet_terrace_films.png", 512, 512);
    Image image(256, 256);
    image.shade([&terrace, &films](float s, float t) {
        // Dusk lives only in the light on the wet stone (the scene has no
        // sky): twilight violet towards the sun, indigo away from it, at
        // about the same brightness, since the loop forbids more light. From
        // 100 s the loop swirls the stone into the sun rays' gold: rose-amber
        // stone made that a brown soup, violet and indigo keep it two colours.
        const float sunward = std::pow(clamp01(1 - s), 1.5f);
        const Colour tint = mix(Colour{0.55f, 0.7f, 1.4f}, Colour{1.1f, 0.58f, 1.3f}, sunward);
        const float edge = std::min(std::min(s, 1 - s), std::min(t, 1 - t));
        const Colour c = terrace.sampleClamped(s, t) * tint * kGain;
        // A soft knee: the few petals stay points, not burns.
        const float l = 0.3f * c.r + 0.59f * c.g + 0.11f * c.b;
        const float knee = l > kKnee ? (kKnee + 0.3f * (l - kKnee)) / l : 1.0f;
        // The rain beads' highlights pass the knee: points are the one thing
        // on the floor bright enough to light the loop, since they move with
        // the camera and leave streaks instead of standing still.
        const Colour sun = mix(Colour{0.55f, 0.6f, 0.95f}, Colour{0.95f, 0.85f, 0.8f}, sunward);
        // Inside the pool the foot's surround stays black for the mirror.
        const float poolR = std::hypot(s - 1.0f / 3.0f, t - 0.5f) / 0.2f;
        const float streak = sunStreak(s, t) * smoothstep(0.5f, 0.75f, poolR);
        const Colour glint =
            sun * std::max(kGlint * glintUnder(terrace, s, t) * beadCatchesSun(s, t, sunward),
                           kStreak * streak);
        const Colour wet = filmSheen(films, s, t, sunward);
        const Colour dry = c * knee + poolSheen(s, t, l, sunward);
        const Colour stone{std::max(dry.r, wet.r), std::max(dry.g, wet.g), std::max(dry.b, wet.b)};
        return Colour{std::max(stone.r, glint.r), std::max(stone.g, glint.g),
                      std::max(stone.b, glint.b)} *
               smoothstep(0.0f, 0.14f, edge);
    });
    return image;
}

// The room's lozenges: cloudy polished stone. Their dark red, green and
// blue material needs a light skin to show at all, and a near-even white
// left them flat discs of one colour that read as placeholders; soft pale
// bands over a pale ground then read as glossy plastic eggs, and dark
// agate with bright band lines as hard candies. The skin is laid on by
// position along one axis, so down each lozenge's sides every texel is
// drawn out into a line: a fine grain and a net of cracks became striped
// grain on the eggs. So only broad shapes: soft light and dark clouds,
// about three across the skin, and a few wide, faint darker drifts, which
// drawn out stay soft shading in the stone.
Image greyText() {
    Image image(256, 256);
    image.shadeSupersampled(2, [](float s, float t) {
        const float warp = fractalNoise(s, t, 2, 2, 0.5f, 55);
        const float cloud = fractalNoise(s + 0.12f * warp, t - 0.08f * warp, 3, 2, 0.45f, 53);
        const float drift = fractalNoise(s, t + 0.2f * warp, 2, 2, 0.5f, 56);
        const float vein = 1 - smoothstep(0.04f, 0.2f, std::abs(drift));
        return grey(std::clamp(0.46f + 0.55f * cloud - 0.12f * vein, 0.12f, 0.85f));
    });
    return image;
}

// The room's floor and case: dark polished onyx, a translucent stone, so the
// balls' glows read as light through it. A cool slate body in soft clouds,
// crossed by a few long pale honey veins, each a thin core in a faint haze.
// The room shows dozens of repeats at once, so the veins are few, flow in
// long diagonals that run on across the repeat, and most of the stone is
// one calm body: the earlier net of caustic light over the whole case read
// as "a water-pattern floor", the busy wallpaper behind the objects. Vein
// cores span some five texels: the case is seen at grazing angles without
// mipmaps, and thinner lines sparkled there.
Image onyxFloor() {
    constexpr float kCoreSharpness = 16.0f, kHazeSharpness = 3.0f;
    const Colour slate{0.21f, 0.26f, 0.31f}, deep{0.09f, 0.12f, 0.17f};
    const Colour honey{0.86f, 0.76f, 0.58f};
    Image image(256, 256);
    image.shadeSupersampled(2, [&](float s, float t) {
        // A broad sway and a fine wander: strong broad warps curled the
        // veins into loops that marked every repeat.
        const float sway = fractalNoise(s, t, 1, 2, 0.5f, 71);
        const float wander = fractalNoise(s, t, 4, 3, 0.5f, 75);
        const float cloud = fractalNoise(s + 0.1f * sway, t, 2, 3, 0.5f, 72);
        // Level lines of a warped diagonal ramp, whole cycles across the
        // repeat: a long vein every half unit, one fainter branch across it.
        const float main = std::abs(std::sin(pi * (s + 2 * t + 0.45f * sway + 0.1f * wander)));
        const float branch =
            std::abs(std::sin(pi * (2 * s - t + 0.5f * fractalNoise(s, t, 2, 3, 0.5f, 73))));
        // Veins come and go along their length, as in stone.
        const float strength =
            0.2f + 0.8f * smoothstep(-0.5f, 0.5f, fractalNoise(s, t, 2, 2, 0.5f, 74));
        const float fade = smoothstep(-0.1f, 0.5f, fractalNoise(s, t, 1, 2, 0.5f, 76));
        const float vein = strength * (0.6f * std::exp(-main * kCoreSharpness) +
                                       0.1f * std::exp(-main * kHazeSharpness)) +
                           0.45f * fade * std::exp(-branch * kCoreSharpness * 1.2f);
        const Colour body = mix(deep, slate, smoothstep(-0.6f, 0.6f, cloud));
        return mix(body, honey, std::min(1.0f, vein));
    });
    return image;
}

// Dark walnut, its grain running along s: the gallery at night is warm
// plaster and dark wood. A light orange pine with strong rings read as cheap
// striped boards, and the ceiling beams, seen blurred through the glass
// ball's lenses, as an orange smudge over the room; the walnut keeps its
// figure in soft, close rings and a fine open pore.
Image wood() {
    Image image(256, 256);
    image.shadeSupersampled(2, [](float s, float t) {
        const float warp = fractalNoise(s, t, 1, 5, 0.5f, 61);
        const float rings = 0.5f + 0.5f * std::sin(2 * pi * (16 * t + 1.4f * warp));
        const float figure = 0.5f + 0.5f * fractalNoise(s, t, 2, 4, 0.6f, 63);
        const float fibre = 0.5f + 0.5f * periodicNoise(s * 4, t * 128, 4, 62);
        const Colour light{0.34f, 0.2f, 0.11f}, dark{0.11f, 0.058f, 0.03f};
        const float shade = 0.4f * std::pow(rings, 3.0f) + 0.25f * fibre + 0.35f * figure;
        return mix(light, dark, std::clamp(shade, 0.0f, 1.0f));
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

// Goldfish skin, projected from the side: s runs from the tail (0.06) to the
// snout (0.94), t from the belly (0.3) to the back (0.66). The lit material
// shows the picture nearly flat wherever the light reaches, so the picture
// is the fish's colour, rendered from the pack's own mesh laid into that
// projection (goldfish_skin.pov): the rounded body's shading, scale rims and
// fin rays fall where the body carries them.
// The camera mostly looks down on the school, and the lit material is a
// bluish grey that greys whatever it shows: graded for a cold night, with a
// bronze back and cool grey, the three read as small bronze sardines. So the
// render keeps only its light and shade, and the colour is laid anew across
// the body (from the belly's edge to the back, a curve fitted to the
// render's outline): a deep red-orange back, orange-gold flanks, a deeper
// amber belly, all fully saturated so they stay gold under the grey;
// the scales' glints turn a pale warm gold. The fins keep the render's rays
// and its fade into the night at their edges, tinted a clear orange, so
// they read as thin, lit from behind. The eye is painted a size larger than
// the render's, a black pupil in a bright ring, or at a hundred pixels on
// screen it was a dull point.
// The school swims under the moon: fully lit orange everywhere read as a
// cut-out pasted on the night. So the back sinks to a dark red-brown, the
// render's shadows fall towards the night's blue instead of a darker orange.
// No pale rim on the back's outline: seen from above, the side projection
// stretches those few texels over the whole back, a hard white patch.
// Seen from above and in front, the lower outline on screen is the belly's
// last fifth: pale there, it met the night in a bright stair-stepped edge.
// So the underside turns away from the moon into a deep warm shadow, halfway
// between the gold and the night.
// Lit evenly from belly to back, the school still read as pasted on the
// moonlit night: the moon is above, so the light falls off downwards. The
// belly is a deeper amber than the flank, the warm core of the fish is the
// flank and its sheen, and a cool moonlit band lies on the back, under the
// outline's last texels (which stay the back's dark red, see above).
// Still the school read as orange cut-outs pasted on the night: the gold is
// darker and deeper now, the moon lays a cool light over the whole upper
// body and its scales' glints are the moon's silver, and the fins fade from
// a gold root into a film the night shows through.
float goldfishHeight(float s, float t) {
    s = std::clamp(s, 0.3f, 0.92f); // the tail fin takes the narrowest body's heights
    const float belly = 0.37f + 0.5f * (s - 0.6f) * (s - 0.6f);
    const float back = 0.56f - 0.4f * (s - 0.65f) * (s - 0.65f);
    return (t - belly) / (back - belly);
}

Image goldfishScales() {
    constexpr float flankLight = 0.58f;            // the render's light on a lit flank
    constexpr float scaleKnee = 1.15f;             // shade at which a scale's face is full
    constexpr float eyeS = 0.855f, eyeT = 0.526f;  // the render's eye
    constexpr float pupil = 0.014f, ring = 0.026f; // painted eye, in s
    const Colour back{0.6f, 0.15f, 0.03f}, flank{0.74f, 0.41f, 0.07f}, belly{0.52f, 0.25f, 0.06f};
    const Colour fin{0.88f, 0.46f, 0.09f}, glint{0.7f, 0.82f, 1.0f}, iris{1.0f, 0.86f, 0.5f};
    const Colour night{0.07f, 0.09f, 0.2f}, underside{0.36f, 0.11f, 0.035f};
    constexpr float rootFloor = 0.3f;                     // the fins' web by the body
    constexpr float webGold = 0.06f;                      // the rays' gold in the web further out
    const Colour finFilm{0.2f, 0.25f, 0.42f};             // the night seen through the web
    constexpr float finGlow = 0.32f;                      // moonlight caught on a ray's crest
    constexpr float paleFrom = 0.16f, goldFrom = 0.5f;    // belly's amber band, in h
    constexpr float shadowTo = 0.2f, shadowDepth = 0.88f; // underside's shadow, in h
    constexpr float sheenAt = 0.62f, sheenWidth = 0.07f;  // flank's sheen, in h
    constexpr float sheenGain = 0.3f, moonFill = 0.14f;
    const Colour sheen{1.0f, 0.86f, 0.55f};                             // moonlit gold
    constexpr float moonAt = 0.8f, moonWidth = 0.07f, moonGain = 0.55f; // back's cool band, in h
    const Colour moonlight{0.5f, 0.62f, 1.0f};
    const Image render = renderedPicture("goldfish_skin.png", 256, 256);
    Image skin = render;
    skin.apply([&](Colour c, float s, float t) {
        const float light = luminance(c);
        const float onFish = smoothstep(0.08f, 0.16f, light);
        const float h = goldfishHeight(s, t);
        const float along = smoothstep(0.26f, 0.34f, s) * (1 - smoothstep(0.93f, 0.97f, s));
        const float inBody =
            along * smoothstep(-0.2f, -0.05f, h) * (1 - smoothstep(1.0f, 1.15f, h));
        const float shade = std::min(light / flankLight, 1.5f);
        const Colour hue = h < goldFrom ? mix(belly, flank, smoothstep(paleFrom, goldFrom, h))
                                        : mix(flank, back, smoothstep(0.5f, 0.95f, h));
        const float shadowed = shadowDepth * (1 - smoothstep(0.02f, shadowTo, h));
        // The scales' laps are only a little darker than their faces in the
        // render; a steeper curve keeps them readable at a few pixels each.
        const float lit = 0.16f + 0.84f * std::pow(std::min(shade, scaleKnee) / scaleKnee, 1.8f);
        Colour body =
            mix(mix(night, hue, lit), underside * (0.6f + 0.4f * std::min(shade, 1.2f)), shadowed) +
            glint * (0.7f * smoothstep(0.35f, 0.6f, h) * smoothstep(1.0f, 1.4f, shade));
        // A soft sheen along the upper flank, under the dark back: the bend
        // from lit flank into shadowed back is what reads as a round body.
        const float sheenBand = (h - sheenAt) / sheenWidth;
        const float sheenAlong = smoothstep(0.36f, 0.5f, s) * (1 - smoothstep(0.8f, 0.86f, s));
        body = body + sheen * (sheenGain * sheenAlong * std::exp(-sheenBand * sheenBand) *
                               std::min(shade, 1.0f));
        // The moon catches the back from above: a cool band on the dark red.
        // It stops short of the outline's last texels, which stay dark red.
        const float moonBand = (h - moonAt) / moonWidth;
        const float belowOutline = 1 - smoothstep(0.85f, 0.91f, h);
        body = body + moonlight * (moonGain * sheenAlong * belowOutline *
                                   std::exp(-moonBand * moonBand) * std::min(shade, 1.0f));
        // Moonlight from above over the whole upper body, fading to nothing
        // at the belly: the fish is lit by the night's own light.
        body = body + moonlight * (moonFill * along * belowOutline * smoothstep(0.35f, 0.85f, h) *
                                   std::min(shade, 1.0f));
        // Fins: gold at the root, where the web keeps a floor of deep orange
        // (black webs drew dark, jagged fringes over the bright swirl before
        // the night). Further out they turn into a thin film: the web takes
        // the night's blue, as if seen through, and only the rays stay warm,
        // their crests catching the moon. Opaque orange fins read as cut-outs.
        const Colour root =
            fin * (rootFloor + (0.9f - rootFloor) * std::pow(std::min(shade, 1.1f), 1.8f));
        // How far out on its fin a texel lies (0 at the body, 1 at the
        // edge), as the render lays the fins: its rays dim outward.
        const float out =
            s < 0.31f ? (0.31f - s) / 0.25f : std::max((t - 0.58f) / 0.09f, (0.38f - t) / 0.08f);
        const float webShade = 0.92f - 0.62f * smoothstep(0.45f, 0.8f, out);
        const float ray = smoothstep(webShade, webShade + 0.22f, shade);
        const float rayGold = 0.9f - 0.5f * smoothstep(0.3f, 1.0f, out);
        const Colour film = mix(finFilm, fin * rayGold, webGold + (1 - webGold) * ray) +
                            moonlight * (finGlow * ray);
        const Colour fins = mix(root, film, smoothstep(0.1f, 0.55f, out));
        Colour graded = mix(fins, body, inBody);
        // The eye: pupil with a catch-light, ring, dark rim into the skin.
        const float dx = s - eyeS, dy = t - eyeT, r = std::sqrt(dx * dx + dy * dy);
        const float inRing = 1 - smoothstep(ring - 0.004f, ring, r);
        const float inPupil = 1 - smoothstep(pupil - 0.003f, pupil, r);
        const float rim = smoothstep(ring - 0.008f, ring - 0.002f, r) * inRing;
        Colour eye = mix(iris, Colour{0.02f, 0.02f, 0.03f}, inPupil) * (1 - 0.6f * rim);
        const float catchLight = 1 - smoothstep(0.0f, 0.005f, std::hypot(dx + 0.005f, dy - 0.005f));
        eye = mix(eye, Colour{1, 1, 1}, catchLight);
        graded = mix(graded, eye, inRing);
        return mix(c, graded, std::max(onFish, inRing));
    });
    return skin;
}

// The slab's planes give s its height and t its length, and t is stretched
// four times more than s, so anything round in the picture lies flat along
// the slab, and with nothing varying along its depth a side seen edge-on
// shows each height as one line: a caustic net there read as the bars of a
// wire cage. So the light hangs in curtains: thin shafts falling through the
// water, narrow across t and long along s, wavering a little as they fall and
// brightening and fading in long stretches. The ends take only the soft
// glow between the shafts; the long sides show the shafts standing in the
// water. In [0, 1].
float waterLight(float s, float t) {
    constexpr int kShafts = 17;
    const float waver = 0.012f * periodicNoise(s * 3, t * 3, 3, 103) +
                        0.006f * periodicNoise(s * 6 + 3, t * 6, 6, 105);
    float light = 0;
    for (int k = 0; k < kShafts; ++k) {
        // t near 0 and 1 is the slab's two ends, where t hardly changes
        // across the face: a shaft there drew a bright ring round each end.
        const float at = 0.08f + 0.84f * (k + 0.8f * latticeHash(k, 0, 102)) / kShafts;
        const float width = 0.003f + 0.007f * latticeHash(k, 1, 102);
        float d = t + waver - at;
        d -= std::round(d);
        const float core = std::exp(-std::pow(d / width, 2.0f));
        const float halo = std::exp(-std::abs(d) / (4 * width));
        const float along = smoothstep(-0.35f, 0.55f, fractalNoise(s, at, 2, 2, 0.5f, 110 + k)) *
                            (0.45f + 0.55f * latticeHash(k, 2, 102));
        light += (core + 0.18f * halo) * along;
    }
    // A faint glow between the shafts, in broad patches, so the water between
    // them is lit a little, not empty.
    const float patches = smoothstep(-0.3f, 0.6f, fractalNoise(s, t, 2, 3, 0.5f, 104));
    return std::min(light + 0.06f * patches, 1.0f);
}

Image waterBody() {
    Image image(256, 256);
    image.shade([](float s, float t) {
        const float n = fractalNoise(s, t, 2, 5, 0.5f, 101);
        const Colour water =
            mix(Colour{0.01f, 0.05f, 0.16f}, Colour{0.04f, 0.17f, 0.34f}, 0.5f + 0.5f * n);
        return water + Colour{0.55f, 0.86f, 1.0f} * waterLight(s, t);
    });
    return image;
}

// Alpha of the water body: the water itself stays clear enough to be a lens
// over the scene (more opaque in the middle band along s, the same at both
// edges so the repeat does not jump), and the net of light is nearly opaque.
Image waterAlphaRamp() {
    Image image(256, 256);
    image.shade([](float s, float t) {
        const float ramp = 0.12f + 0.25f * (0.5f - 0.5f * std::cos(2 * pi * s));
        return grey(std::min(ramp + 0.55f * waterLight(s, t), 0.85f));
    });
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
        // The credits' three ribbons: violet, ice-blue and ice-white light
        // on each band's two edges on black, so the trail carries the twist.
        {"blend1.png",
         [] {
             return ribbonEdges({0.45f, 0.25f, 1.0f}, {0.75f, 0.55f, 1.0f}, 111);
         }},
        {"blend2.png",
         [] {
             return ribbonEdges({0.2f, 0.55f, 1.0f}, {0.5f, 0.8f, 1.0f}, 112);
         }},
        {"blend3.png",
         [] {
             return ribbonEdges({0.55f, 0.8f, 1.0f}, {0.85f, 0.92f, 1.0f}, 113);
         }},
        {"vase_floor2.png", wetFloor},
        {"plane_alpha.png", onyxFloor},
        {"graytext4.png", greyText},
        // Varnished boards with their raking light and eased edges
        // ray-traced (tools/render/parquet_floor.pov): the room's light never
        // reaches the floor.
        {"floor2.png", [] { return renderedPicture("parquet_floor.png", 256, 256); }},
        // The small gallery's back wall with its three paintings, ray-traced
        // (tools/render/gallery_wall.pov); 2:1, laid once across the wall.
        {"one_test.png", [] { return renderedPicture("gallery_wall.png", 512, 512); }},
        // The big room's painted panelling, one bay per repeat, its light
        // and shadows ray-traced (tools/render/wall_panel.pov).
        {"one_test2.png", [] { return renderedPicture("wall_panel.png", 256, 256); }},
        {"one_test3.png",
         [] {
             return plaster({0.54f, 0.45f, 0.35f}, 123);
         }},
        {"one_test5.png",
         [] {
             return marbled({0.86f, 0.84f, 0.8f}, {0.35f, 0.33f, 0.32f}, 124);
         }},
        {"wood12.png", wood},
        {"bluesea2.png", seaWater},
        {"goldfish2.png", goldfishScales},
        {"fullalphawater.png", waterBody},
        {"gradient.png", waterAlphaRamp},
    };
}

} // namespace assetgen
