// Additive sprites and glows: light on black, ending in pure black well
// inside the border so no quad edge ever shows. Also the darkening film marks.
#include "assetgen.h"
#include "rendered.h"
#include "textures.h"
#include "textures_noise.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>

namespace assetgen {

namespace {

constexpr float pi = std::numbers::pi_v<float>;

// The star glow's white bead: flat out to this radius (in half widths), then
// falling off over about the second.
constexpr float kBeadRadius = 0.025f;
constexpr float kBeadFall = 0.025f;

// The caustic alpha: its height at a tile's middle and how much of it is gone
// by the corners.
constexpr float kCausticAlphaPeak = 0.85f;
constexpr float kCausticAlphaFall = 0.6f;

float angleOf(float s, float t) {
    return std::atan2(t - 0.5f, s - 0.5f);
}

struct SpikeSet {
    int count;
    float length; // of the longest, in half sprite widths
    float width;  // in half sprite widths, at the base
    float jitter; // of the angles, in spike spacings
    float turn;   // of the whole set, in radians
    std::uint32_t seed;
};

// Angle from direction `a` to spike `i` of the set, in (-pi, pi]: the
// spikes are evenly spaced, each nudged by its own jitter.
float offsetFromSpike(float a, int i, const SpikeSet& set) {
    const float jitter = set.jitter * (latticeHash(i, 0, set.seed) - 0.5f);
    const float at = set.turn + 2 * pi * (i + jitter) / set.count;
    return std::remainder(a - at, 2 * pi);
}

// Hairline spikes, `count` of them, each leaving the centre in one direction
// only. Their width stays fixed in texels and they fade in away from the
// centre, so they never pile up into a disc there, whatever their number.
float spikes(float s, float t, const SpikeSet& set) {
    const float r = centreDistance(s, t);
    const float a = angleOf(s, t);
    float sum = 0;
    for (int i = 0; i < set.count; ++i) {
        const float d = offsetFromSpike(a, i, set);
        if (std::cos(d) <= 0) {
            continue;
        }
        const float length = set.length * (0.6f + 0.4f * latticeHash(i, 2, set.seed));
        const float along = clamp01(1 - r / length);
        // Tapers to a point at its tip.
        const float width = set.width * (0.35f + 0.65f * along);
        const float across = r * std::sin(d) / width;
        const float strength = 0.55f + 0.45f * latticeHash(i, 3, set.seed);
        sum += strength * std::exp(-across * across) * along * along;
    }
    return sum * smoothstep(0.01f, 0.09f, r);
}

// Straight rays of even strength, each a sharp point: width and light both
// taper to nothing at the tip, and they start right at the centre so ray and
// core read as one star, with no dark ring between.
float starRays(float s, float t, int count, float length, float width, float turn) {
    const float r = centreDistance(s, t);
    const float a = angleOf(s, t);
    float sum = 0;
    for (int i = 0; i < count; ++i) {
        const float d = std::remainder(a - (turn + 2 * pi * i / count), 2 * pi);
        if (std::cos(d) <= 0) {
            continue;
        }
        const float along = clamp01(1 - r / length);
        const float across = r * std::sin(d) / (width * along + 0.002f);
        sum += std::exp(-across * across) * along * std::sqrt(along);
    }
    return sum;
}

Image starburst() {
    Image image(256, 256);
    image.shadeSupersampled(4, [](float s, float t) {
        const float r = centreDistance(s, t);
        // One picture for very different sizes. The tunnel's rings draw it
        // small into a trail that more than doubles a still light, and there
        // it must be a crisp star. The swarm, the metaballs and the deep sea
        // draw it many times the size of the wing, ball or bell it sits on
        // (a late bell's glow quad is some sixteen bells across), where any
        // round light of a few texels is a lamp several bells wide, and long
        // rays or broad shafts cross the view as cables. So nearly all the
        // light is one point a texel across; the needle rays rise out of it,
        // lose two thirds of their light every eighth of the half-width and are
        // gone by a third of the way out. Small, the trail clamps their inner
        // part into a hard star; huge, only a pin of light with short fine
        // streaks is left, and stacked copies stay far below white.
        const float core =
            1.5f * std::exp(-(r * r) / 0.00008f) + 0.04f * std::exp(-(r * r) / 0.0012f);
        const float halo = 0.012f * std::exp(-(r * r) / 0.04f);
        // The rays rise out of the core rather than meet in it: eight rays
        // summed there made a white disc several times the core's width.
        const float fade = std::exp(-r / 0.12f) * smoothstep(0.004f, 0.05f, r);
        const float rays = fade * (1.2f * starRays(s, t, 4, 0.45f, 0.009f, 0.35f) +
                                   0.45f * starRays(s, t, 4, 0.18f, 0.008f, 0.35f + pi / 4));
        return Colour{0.95f, 0.97f, 1.0f} * (core + halo + rays) * spriteWindow(r, 0.55f);
    });
    return image;
}

Image starburst2() {
    // Larger than its content needs: a glow that passes close to the camera
    // magnifies its white corner texels (below), at 256 into red squares some
    // 12 pixels across; at 512 they are specks of about four. 1024 made them
    // two pixels but cost 7 ms a load, and the picture is loaded three times.
    Image image(512, 512);
    image.shadeSupersampled(2, [](float s, float t) {
        const float r = centreDistance(s, t);
        // Three of these are stacked at the rain scene's sun inside a loop that
        // multiplies a still light many times over, four make each goldfish's
        // eye, and the star fractal tints its glows red among jagged star
        // meshes, where a short star round the core drew more jagged points.
        // So no rays: ever wider, fainter halos round a hot bead. The bead is
        // flat white out to a few texels: a peaked core under the eye's blue
        // tint drew one violet pixel, while a flat full-white top stacks to a
        // white point with a blue rim, and the fractal's glows get a hot heart.
        const float beyond = std::max(r - kBeadRadius, 0.0f) / kBeadFall;
        const float bead = std::exp(-beyond * beyond);
        const float glow = bead + 0.3f * std::exp(-(r * r) / 0.008f) +
                           0.1f * std::exp(-(r * r) / 0.03f) +
                           0.02f * std::pow(clamp01(1 - 2 * r), 3.0f);
        // White in the bead, warming to the old gold in the halos.
        const Colour tint = mix(grey(1.0f), Colour{1.0f, 0.84f, 0.58f},
                                smoothstep(kBeadRadius, kBeadRadius + 0.1f, r));
        return tint * glow * spriteWindow(r, 0.45f);
    });
    // Meshes drawn textured after a glow sample this picture where the glow's
    // last corner left the coordinates, (0, 1): the four corner texels meet
    // there. White keeps those meshes in their lit colour; a single texel at
    // a quad's corner is too small to show in the glow itself.
    const int w = image.width() - 1;
    const int h = image.height() - 1;
    for (auto [x, y] : {std::pair{0, 0}, std::pair{w, 0}, std::pair{0, h}, std::pair{w, h}}) {
        image.at(x, y) = grey(1.0f);
    }
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

// The small jellyfishes' glow and the mirror balls' sheen. Both are drawn
// about the size of the bell or the ball, so any level the picture holds
// over a wide area reads as a solid blue disc or a hazed mirror. The light
// sits in a tight white point and falls off like a lamp seen through water
// (no plateau, no edge): a jellyfish keeps its bell visible round the point,
// and a ball keeps the room in its mirror with one bright highlight.
Image pointGlow() {
    Image image(128, 128);
    image.shadeSupersampled(2, [](float s, float t) {
        const float r = centreDistance(s, t);
        // Wide enough that a jellyfish far off still wears a glow the
        // size of its bell: a tighter point left only dim beads.
        const float falloff = 1.0f / (1.0f + (r / 0.12f) * (r / 0.12f));
        const Colour white{1.0f, 1.0f, 1.0f};
        const Colour water{0.55f, 0.78f, 1.0f};
        return mix(white, water, smoothstep(0.02f, 0.3f, r)) * (falloff * spriteWindow(r, 0.3f));
    });
    return image;
}

// The tunnel's glow: three of these are swept over the view late on and at
// the end the camera sits so close that only the middle fills the screen,
// magnified six times, while the feedback more than doubles what stands
// still. Anything broad in the middle becomes a veil over the whole view, so
// all its light is in lines and points of a texel or so: a pinpoint, thin
// halo rings round it and hairline spikes that fade in away from the centre
// (converging rays summed into a bright disc there). Magnified, they cross
// the view as arcs and streaks with dark between them. The glow is drawn in
// blue, so the light is warm white in the middle and gold further out: on
// screen a near-neutral light that seeds the bands in the gold they burn to.
Image lightBurst() {
    struct Halo {
        float radius, width, strength;
    };
    // Uneven radii so the rings never read as a target.
    constexpr Halo kHalos[] = {{0.075f, 0.009f, 0.55f},
                               {0.135f, 0.007f, 0.4f},
                               {0.23f, 0.008f, 0.32f},
                               {0.36f, 0.01f, 0.22f}};
    Image image(256, 256);
    image.shadeSupersampled(3, [&](float s, float t) {
        const float r = centreDistance(s, t);
        const float a = angleOf(s, t);
        const float core = std::exp(-(r * r) / 0.00012f);
        float halos = 0;
        for (int i = 0; i < 4; ++i) {
            const Halo& h = kHalos[i];
            const float d = (r - h.radius) / h.width;
            // Each ring brightens along one side, as lens halos do, so the
            // arcs that cross the magnified view differ in strength.
            const float arc = 0.55f + 0.45f * std::cos(a - 1.7f * i - 0.6f);
            halos += h.strength * arc * std::exp(-d * d);
        }
        const float burst = 0.7f * spikes(s, t, {12, 0.9f, 0.007f, 0.6f, 0.2f, 41}) +
                            0.3f * spikes(s, t, {28, 0.5f, 0.004f, 1.0f, 0.0f, 42});
        const Colour inner{1.0f, 0.85f, 0.6f};
        const Colour outer{1.0f, 0.62f, 0.25f};
        const Colour ray = mix(inner, outer, clamp01(r * 2));
        return (inner * core + ray * (burst + halos)) * spriteWindow(r, 0.5f);
    });
    return image;
}

// The swarm's sprite, which the swarm zooms into as it brightens. Each
// sprite leaves a copy of itself on the trail every frame, so it is smooth
// all the way out (a small hot core in a soft body that fades to nothing):
// rings or edges would stamp a honeycomb, a smooth glow draws a clean streak.
Image blob24() {
    Image image(256, 256);
    image.shadeSupersampled(2, [](float s, float t) {
        const float r = centreDistance(s, t);
        const float body = 0.3f * std::pow(clamp01(1 - r / 0.8f), 2.5f);
        const float core = 0.7f * std::exp(-r * r / 0.004f);
        const Colour c = mix(Colour{1.0f, 0.95f, 1.0f}, Colour{0.75f, 0.85f, 1.0f}, r);
        return c * ((body + core) * spriteWindow(r, 0.5f));
    });
    return image;
}

// The glow of a small deep-sea jellyfish, which the drawing lowers so the
// body sits two thirds up the sprite: a luminous bell there, brighter at its
// rim, with a few fine tentacles trailing below as it rises.
Image jellyfishGlow() {
    Image image(128, 128);
    image.shadeSupersampled(3, [](float s, float t) {
        const float x = (s - 0.5f) / 0.2f;
        const float y = (t - 0.64f) / 0.15f;
        const float bellEdge = std::sqrt(x * x + std::max(y, 0.0f) * std::max(y, 0.0f));
        const float bell = y > -0.35f ? clamp01(1.2f - bellEdge) : 0.0f;
        const float rim =
            std::exp(-std::pow((bellEdge - 0.92f) / 0.12f, 2.0f)) * smoothstep(-0.45f, -0.2f, y);
        const float halo = 0.35f * std::exp(-(x * x + y * y) / 3.0f);
        float tentacles = 0.0f;
        for (int k = 0; k < 7; ++k) {
            const float root = (k - 3) * 0.085f;
            const float drop = 0.6f - t; // below the bell's rim
            if (drop > 0.0f && drop < 0.42f) {
                const float sway = 0.025f * std::sin(drop * 22.0f + k * 1.7f) * drop * 3.0f;
                const float d = (s - 0.5f - root * (1.0f - 0.6f * drop) - sway) / 0.008f;
                tentacles += 0.55f * std::exp(-d * d) * (1.0f - drop / 0.42f);
            }
        }
        const float v = 0.45f * bell + 0.9f * rim + halo + tentacles;
        return Colour{1.0f, 0.92f, 0.95f} * (v * spriteWindow(centreDistance(s, t), 0.55f));
    });
    return image;
}

// One small glowing fish, ray-traced (tools/render/glow_fish.pov), lit from
// inside by one organ. The deep sea stacks hundreds of copies into a giant
// medusa's bell and tentacles, where a bright fish repeated every tenth of a
// unit drew coil springs; its far specks and the gallery's sparks draw it a
// few pixels across, where a fish read as the wrong sprite. So the light
// sits in a round core at the quad's middle (a spark when small, beads that
// run into a glowing cord when stacked), with a softer glow round it, and
// the fish is a faint ghost that shows only at 20-40 pixels. The quad shows
// row 0 at the bottom, so the render is turned over.
Image glowFish() {
    // Only the fish's soft silhouette survives round the core, never its
    // eye, fins or forked tail: those drew a see-through fish wherever the
    // gallery's sparks pass large over its bright wall.
    constexpr float kBody = 0.18f;
    constexpr int kBodyBlur = 5;
    // The glint: light caught along the fish's silvered flank, a hairline
    // from head to tail that reads as a spark's flare when the sprite is
    // large and as a darting fish when it is small.
    constexpr float kGlint = 0.6f;
    constexpr float kGlintWidth = 1.3f;  // texels, half width
    constexpr float kGlintReach = 40.0f; // texels from the core to its fade
    // The core and its glow, as fractions of the quad's half width.
    constexpr float kCore = 0.075f;
    constexpr float kGlow = 0.2f;
    constexpr float kGlowLight = 0.2f;
    const Colour coreColour{1.0f, 0.97f, 0.9f};
    const Colour glowColour{0.75f, 0.85f, 1.0f};
    const Colour flankColour{0.85f, 0.93f, 1.0f};
    const Image rendered = renderedPicture("glow_fish.png", 128, 128);
    Plane light(128, 128);
    for (int y = 0; y < 128; ++y) {
        for (int x = 0; x < 128; ++x) {
            const Colour c = rendered.at(x, 127 - y);
            light.at(x, y) = (c.r + c.g + c.b) / 3;
        }
    }
    const Plane body = blurred(light, kBodyBlur);
    float peak = 1e-6f;
    for (int y = 0; y < 128; ++y) {
        for (int x = 0; x < 128; ++x) {
            peak = std::max(peak, body.at(x, y));
        }
    }
    const float axis = 64.0f;
    Image image(128, 128);
    for (int y = 0; y < 128; ++y) {
        for (int x = 0; x < 128; ++x) {
            const float r = centreDistance((x + 0.5f) / 128, (y + 0.5f) / 128);
            const float core = std::exp(-std::pow(r / kCore, 2.0f));
            const float glow = kGlowLight * std::exp(-std::pow(r / kGlow, 2.0f));
            const float shape = body.at(x, y) / peak;
            const float length = std::pow(body.at(x, 63) / peak, 1.5f) *
                                 std::exp(-std::pow((x + 0.5f - axis) / kGlintReach, 2.0f));
            const float flank = std::exp(-std::pow((y + 0.5f - axis) / kGlintWidth, 2.0f)) * length;
            const Colour c = glowColour * (kBody * shape) + flankColour * (kGlint * flank) +
                             coreColour * core + glowColour * glow;
            image.at(x, y) = Colour{std::min(c.r, 1.0f), std::min(c.g, 1.0f), std::min(c.b, 1.0f)} *
                             spriteWindow(r, 0.93f);
        }
    }
    return image;
}

// The bubbles rise in one column, drawn additively in warm colours that go
// red near the floor, at a quarter of their light into the underwater trail,
// which keeps about ten frames of them. Added light cannot draw a dark
// bubble, so each is a thin bright rim round a nearly black middle with one
// small highlight inside it: added up they stay rings, and the trail leaves
// a rising chain of them, where a filled glow smeared into a speckled smudge.
// The sprite carries under half as much red as green and blue: times the warm
// draw colour a white sprite gave orange and red rings, where this gives
// pale aqua rims higher up, pale grey ones half way, and lets the red
// ones near the floor fade.
Image bubbleRing() {
    Image image(128, 128);
    image.shadeSupersampled(3, [](float s, float t) {
        const float r = centreDistance(s, t);
        // A bubble rises 0.08 to 0.16 a frame and its quad is 0.6 across: a
        // ring about 0.1 across leaves separate copies behind it, a wider one
        // overlapped them into two bright rails.
        constexpr float kRim = 0.16f;
        // A sharp outer edge and a softer fall inward, as the rim of a real
        // bubble lit from above; never thinner than about two texels, since
        // the sprite is minified without mipmaps and a hairline rim
        // flickered away on the far bubbles.
        const float width = r > kRim ? 0.022f : 0.05f;
        const float rim = std::exp(-std::pow((r - kRim) / width, 2.0f));
        const float inside = 0.05f * (r < kRim ? 1.0f : 0.0f);
        // The highlight sits inside the rim; the quad turns as it rises, so
        // it wanders round the ring like light on a wobbling bubble.
        const float glint =
            std::exp(-(std::pow(s - 0.477f, 2.0f) + std::pow(t - 0.523f, 2.0f)) / 0.00018f);
        // The light focused through the bubble: a faint crescent inside the
        // rim on the far side from the highlight.
        const float away = r > 0.0f ? ((s - 0.5f) - (t - 0.5f)) / (0.7071f * r) : 0.0f;
        const float focus = 0.3f * std::pow(std::clamp(away, 0.0f, 1.0f), 2.0f) *
                            std::exp(-std::pow((r - 0.7f * kRim) / 0.02f, 2.0f));
        const float body = std::min(1.0f, rim + inside + focus);
        const float spark = std::min(1.0f, glint);
        // Green as strong as blue: half way up the draw colour has no blue
        // left, and a blue-only rim there vanished into the dark water. The
        // highlight is a little whiter than the rim. Full
        // green and blue, and a rim as large as the climb allows: a bubble
        // is drawn at a quarter of its light into the trail, and the smaller,
        // dimmer ring faded into the water.
        const Colour water{0.42f, 1.0f, 1.0f}, light{0.48f, 1.0f, 1.0f};
        const Colour c = water * (body * (1.0f - spark)) + light * spark;
        return c * spriteWindow(r, 0.3f);
    });
    return image;
}

Image bead(Colour colour) {
    Image image(64, 64);
    image.shadeSupersampled(3, [=](float s, float t) {
        const float r = centreDistance(s, t);
        // About a hundred of these lie along each arm, a pixel or two apart
        // where the arm is dense, so what shows is their sum across the arm.
        // A sharp hot point sums to a white thread down the middle; a faint
        // body and a wider, fainter sheath (each a few per cent, so a dense
        // stretch adds them up to a soft glow, not a white bar) give the arm
        // a glowing flesh in its own colour about 0.4 of the sprite across.
        // With only a small body round the point the arms read as thin wires
        // between the cells. Sparse stretches still show separate points.
        const float v = 0.95f * std::exp(-r * r / 0.0025f) + 0.08f * std::exp(-r * r / 0.1f) +
                        0.022f * std::exp(-r * r / 0.4f);
        return colour * (v * spriteWindow(r, 0.5f));
    });
    return image;
}

// The big blue beads are drawn several times the body's size and dozens of
// them cross near the camera, so all their light sits in a small glass
// pearl: a hot core, a highlight, a thin rim and almost nothing outside, or
// the overlaps add up into a blown-out blue sheet.
Image pearl(Colour colour) {
    Image image(128, 128);
    image.shadeSupersampled(3, [=](float s, float t) {
        const float r = centreDistance(s, t);
        constexpr float kRadius = 0.16f;
        const float inside = 1 - smoothstep(kRadius - 0.025f, kRadius, r);
        const float body = 0.14f * inside * (0.6f + 0.4f * r / kRadius);
        const float rim = 0.3f * std::exp(-std::pow((r - kRadius + 0.015f) / 0.012f, 2.0f));
        const float core = std::exp(-r * r / 0.0012f);
        const float glint =
            0.7f * std::exp(-(std::pow(s - 0.475f, 2.0f) + std::pow(t - 0.53f, 2.0f)) / 0.0002f);
        const float halo = 0.03f * std::exp(-r * r / 0.02f);
        return colour * ((body + rim + core + glint + halo) * spriteWindow(r, 0.3f));
    });
    return image;
}

// Up to six of these turn over the butterflies, each in its own colour, and
// the screen keeps 85 % of itself, so a still texel settles at its own value
// per plane, and where four or six planes overlap their values add. So the
// eye is a dark field with small bright parts: a black pupil inside a hot
// rim, a dim iris crossed by a dozen bold fibres (the spin smears them into
// a faint band in the trail and keeps them as streaks in the newest copy), a
// thin bright edge, then only a faint halo. A bright iris filled every
// plane's middle, and the stack summed into one white sheet.
// Nearly white, so the planes' colours carry the hue. The quad is drawn far
// larger than the screen and only its middle shows, so the eye is small in
// the texture: on screen it is some 40 % of the height. Nothing in it is
// finer than about four texels: each plane flips edge-on and the trail keeps
// a copy every frame a few pixels narrower, so edges a texel or two wide
// drew nested rings that beat against each other (moire).
Image theEye() {
    Image image(512, 512);
    image.shadeSupersampled(2, [](float s, float t) {
        // Radii in units of the iris: its edge at 1.
        constexpr float kSize = 0.23f;
        constexpr float kPupil = 0.32f;
        const float r = centreDistance(s, t) / kSize;
        const float a = angleOf(s, t);
        const auto line = [r](float at, float width) {
            return std::exp(-std::pow((r - at) / width, 2.0f));
        };
        const float inIris =
            smoothstep(kPupil - 0.02f, kPupil + 0.08f, r) * (1 - smoothstep(0.85f, 0.98f, r));
        // Fibres: a dozen bold spokes, each wavering a little on its way out
        // and brightest near the pupil, where they rise from the rim.
        const float waver = 0.05f * periodicNoise((a / (2 * pi) + 0.5f) * 12, r * 2.5f, 12, 43);
        const float spoke = 0.5f + 0.5f * std::cos(a * 12 + waver * 2 * pi);
        const float grain = periodicNoise((a / (2 * pi) + 0.5f) * 24, r * 3, 24, 44);
        const float fibre = std::pow(spoke, 5.0f) * (0.75f + 0.25f * grain) *
                            (1 - 0.5f * smoothstep(0.4f, 0.9f, r));
        const float irisLight = inIris * (0.05f + 0.55f * fibre);
        // The edges are broad enough that the trail's copies of them, a few
        // degrees of turn apart, run together into one band, not a fan of rings.
        const float edges = 0.9f * line(kPupil + 0.05f, 0.045f) + 0.32f * line(1.0f, 0.05f);
        const float halo = 0.04f * std::exp(-(r - 1) / 0.25f) * smoothstep(1.0f, 1.1f, r);
        const Colour warm{1.0f, 0.93f, 0.82f};
        const Colour cool{0.88f, 0.95f, 1.0f};
        const Colour irisColour = mix(warm, cool, smoothstep(0.45f, 0.95f, r));
        const Colour c = irisColour * irisLight + grey(edges) + cool * halo;
        return c * spriteWindow(r * kSize, 0.7f);
    });
    return image;
}

// The ring's blobs: 182 of them, in seven arcs that the ring mostly shows
// edge-on, so along a line of sight a dozen stamps lie on top of each other.
// What a stack adds up to is each blob's whole light, so the light sits in a
// small bead with only a faint body out to 0.45 of the radius: the earlier
// soft blob, a third of the sprite wide, summed into a thick solid bar
// across the picture. The bead is a jewel: a small pure white core (the
// ring's colour times white, so a stack of cores burns to white) inside a
// rose glow, so a blob's trail draws a fine line in its own colour with a
// warmer fringe; a near-white bead alone smeared into a dull yellow streak.
// The faint body still joins one frame's stamp to the next, since a bead
// alone left rows of separate dots. No rim: a rim stamped a honeycomb.
constexpr Colour kRingGlowTint{1.0f, 0.3f, 0.7f};
constexpr float kRingCoreLight = 1.0f, kRingCoreSpread = 0.0072f;
constexpr float kRingGlowLight = 0.42f, kRingGlowSpread = 0.02f;
constexpr float kRingBodyLight = 0.06f, kRingBodyReach = 0.45f;

Image ringBlob() {
    Image image(128, 128);
    image.shadeSupersampled(2, [](float s, float t) {
        const float r = centreDistance(s, t);
        const float fade = 1 - smoothstep(0.3f, kRingBodyReach, r);
        const float core = kRingCoreLight * std::exp(-r * r / kRingCoreSpread);
        const float glow = kRingGlowLight * std::exp(-r * r / kRingGlowSpread);
        const float body = kRingBodyLight * std::pow(clamp01(1 - r / kRingBodyReach), 2.0f);
        return (Colour{core, core, core} + kRingGlowTint * (glow + body)) * fade;
    });
    return image;
}

// One leaflet of a stem's link, in the link's square frame (x and y both
// -1..1, y toward the tip): a lance-shaped leaf from the stem at y = -0.45,
// leaning out and up and curling a little further up, with a lit rim and
// midrib over a dimmer blade, as a glowing leaf seen against the dark.
// Leaf light, kept to about a third of full: the credits' ten echoes add
// up to 0.4 to 0.8 of white, and fronds as bright as that (a rim at 0.55
// over a blade at 0.3 to 0.55) stood level with the names they crossed.
constexpr float kLeafBlade = 0.16f;
constexpr float kLeafRim = 0.34f;
constexpr float kLeafRib = 0.26f;
constexpr float kStemCore = 0.42f;
constexpr float kStemGlow = 0.06f;

float leaflet(float x, float y, float side) {
    const float kLength = 1.1f, kWidth = 0.2f;
    const float dx = side * 0.72f, dy = 0.69f;
    const float px = x, py = y + 0.45f;
    const float u = (px * dx + py * dy) / kLength;
    if (u <= 0.0f || u >= 1.0f) {
        return 0.0f;
    }
    // Across the leaf, measured from an axis that bends toward the tip.
    const float v = (py * dx - px * dy) * side - 0.16f * u * u * kLength;
    const float halfWidth = kWidth * std::sin(3.14159265f * std::pow(u, 0.65f));
    const float across = std::abs(v) / std::max(halfWidth, 1e-4f);
    if (across >= 1.0f) {
        return 0.0f;
    }
    const float blade = kLeafBlade * (0.55f + 0.45f * (1 - u));
    const float rim = kLeafRim * smoothstep(0.6f, 0.95f, across);
    const float rib = kLeafRib * std::exp(-across * across / 0.02f) * (1 - 0.6f * u);
    return (blade + rim + rib) * (1 - smoothstep(0.9f, 1.0f, across));
}

Image verticalStrip() {
    // The stems are chains of these quads, square on screen, each smaller
    // than the last and turned against it by up to some 40 degrees. Each link
    // is a piece of stem with a pair of leaflets, so a chain reads as a fern
    // frond that tapers to its tip; the leaflets also cover the kinks where a
    // straight piece of stem meets a turned one (a bare strip broke into
    // dashes there, and a string of beads read as a dotted wire, not a
    // plant). The credit cards are added under the stems: the leaves are a
    // glowing outline at under a third of full light over a fainter blade,
    // and the stem a soft line some two pixels wide (finer, it broke into
    // dots at the small tips), so crossing a name they stay well under the
    // type.
    Image image(128, 128);
    image.shadeSupersampled(3, [](float s, float t) {
        const float x = (s - 0.5f) * 2, y = t * 2 - 1;
        const float stem =
            kStemCore * std::exp(-x * x / 0.006f) + kStemGlow * std::exp(-x * x / 0.05f);
        const float leaves = std::max(leaflet(x, y, 1.0f), leaflet(x, y, -1.0f));
        const float edge = 1 - smoothstep(0.88f, 0.98f, std::abs(x));
        const Colour stemColour{0.72f, 0.98f, 0.82f};
        const Colour leafColour{0.42f, 0.95f, 0.6f};
        return (stemColour * stem + leafColour * leaves) * edge;
    });
    return image;
}

// The opening camera hangs inside this sprite, so a small piece of it fills
// the view some fifteen times magnified: point stars spread into soft square
// blobs there. So: a haze with darker lanes, and out-of-focus motes of marine
// snow drawn as round discs several texels wide, each with a soft edge and a
// slightly brighter rim, as a lens renders a speck it is not focused on.
Image deepSpace() {
    Image image(256, 256);
    Random random(61);
    image.shade([](float s, float t) {
        const float r = centreDistance(s, t);
        const float haze = 0.5f + 0.5f * fractalNoise(s, t, 3, 5, 0.55f, 62);
        const float lanes = smoothstep(-0.5f, 0.4f, fractalNoise(s + 0.2f, t, 2, 4, 0.5f, 63));
        const Colour tint = mix(Colour{0.03f, 0.06f, 0.2f}, Colour{0.09f, 0.08f, 0.24f}, haze);
        return tint * (haze * (0.35f + 0.65f * lanes) * spriteWindow(r, 0.2f));
    });
    for (int i = 0; i < 70; ++i) {
        const float sx = static_cast<float>(random.uniform(0.08, 0.92));
        const float sy = static_cast<float>(random.uniform(0.08, 0.92));
        const float radius = static_cast<float>(random.uniform(1.8, 4.2));
        const float bright = static_cast<float>(std::pow(random.uniform(), 2.0) * 0.22 + 0.05);
        const Colour tint = mix(Colour{0.55f, 0.75f, 1.0f}, Colour{0.8f, 0.9f, 1.0f},
                                static_cast<float>(random.uniform()));
        const float window = spriteWindow(centreDistance(sx, sy), 0.3f);
        const float cx = sx * 256, cy = (1 - sy) * 256;
        for (int y = static_cast<int>(cy - radius) - 2; y <= static_cast<int>(cy + radius) + 2;
             ++y) {
            for (int x = static_cast<int>(cx - radius) - 2; x <= static_cast<int>(cx + radius) + 2;
                 ++x) {
                if (x < 0 || y < 0 || x >= 256 || y >= 256) {
                    continue;
                }
                const float d = std::hypot(x + 0.5f - cx, y + 0.5f - cy) / radius;
                const float disc = 1.0f - smoothstep(0.75f, 1.0f, d);
                const float rim = 0.35f * std::exp(-std::pow((d - 0.82f) / 0.12f, 2.0f));
                image.at(x, y) += tint * (bright * window * (0.75f * disc + rim));
            }
        }
    }
    return image;
}

// The deep sea's five nebulae are added over each other, and its opening
// camera hangs just above them, so a magnified piece fills the view: an
// even cloud washed the opening out in lavender. Wisps with dark lanes
// between them leave it deep blue there and still read as a cloud afar.
Image nebula() {
    Image image(256, 256);
    image.shade([](float s, float t) {
        const float r = centreDistance(s, t);
        const float n = fractalNoise(s, t, 2, 6, 0.55f, 71);
        const float m = fractalNoise(s + 0.3f, t, 4, 4, 0.5f, 72);
        const float lanes = fractalNoise(s, t, 6, 4, 0.5f, 73);
        const float wisps =
            smoothstep(-0.4f, 0.35f, n) * (0.35f + 0.65f * smoothstep(-0.25f, 0.3f, lanes));
        const float cloud = wisps * std::pow(clamp01(1 - r), 1.2f);
        const Colour c =
            mix(Colour{0.35f, 0.2f, 0.6f}, Colour{0.15f, 0.45f, 0.7f}, clamp01(0.5f + m));
        return c * (cloud * cloud * 3.2f * spriteWindow(r, 0.4f));
    });
    return image;
}

// One texture for the falling streaks (stretched 14:1 upright, added at a
// tenth of its brightness), the splash dots (an upright square at the floor)
// and the darkening rings laid flat. The splash faces the eye, so its ripple
// is drawn already foreshortened, as a wave seen lying on the floor: an
// ellipse wider than deep in the lower third, a sharp bright
// leading crest and two fainter, softer ones inside it, the middle dark,
// narrow (a third of the sprite), since the streak shows the same ripple.
// A bar across the ring, or a line floating above it, read as a text
// glyph; a jet rising from the ripple's middle reads as a splash, and the
// same line is the streak's head and tail: broad at the head, to cover a
// good part of the streak's few pixels of width, at full brightness,
// because the streak is added so dimly.
Image rainDrop() {
    // The streak squeezes the sprite 14:1, so a ripple across the sprite's
    // width hung on every streak as a tall upright ring; a third of it stays
    // inside the streak's bright foot.
    constexpr float kRippleWidth = 0.3f;
    Image image(128, 128);
    image.shadeSupersampled(3, [](float s, float t) {
        const float across = (s - 0.5f) * 2;
        // The ripple: radius 1 on its leading crest, centre at t 0.2.
        const float deep = (t - 0.2f) / 0.145f;
        const float q = std::sqrt(across * across / (kRippleWidth * kRippleWidth) + deep * deep);
        const auto crest = [q](float at, float inner, float outer) {
            // Steep outside the crest, a slower fall behind it.
            const float d = q - at;
            return std::exp(-d * d / (d > 0 ? outer * outer : inner * inner));
        };
        const float nearSide = 0.75f + 0.25f * clamp01(-deep); // the side facing the eye
        const float ripple =
            nearSide * (1.0f * crest(1.0f, 0.11f, 0.045f) + 0.5f * crest(0.66f, 0.1f, 0.05f) +
                        0.22f * crest(0.36f, 0.1f, 0.06f));
        // The drop's line rises from the ripple's middle like the jet of a
        // splash, widest and brightest at its foot, thinning to a tail.
        const float rise = clamp01((t - 0.2f) / 0.72f);
        const float along = smoothstep(0.19f, 0.26f, t) * (1 - smoothstep(0.82f, 0.94f, t));
        const float width = 0.07f + 0.16f * (1 - rise);
        const float line =
            std::exp(-across * across / (width * width)) * along * (1 - 0.65f * rise);
        // Black at the border, as every added sprite is.
        const float edge = smoothstep(0.02f, 0.05f, s) * smoothstep(0.02f, 0.05f, 1 - s) *
                           smoothstep(0.02f, 0.04f, t) * smoothstep(0.02f, 0.05f, 1 - t);
        return Colour{0.82f, 0.9f, 1.0f} * (clamp01(ripple + line) * edge);
    });
    return image;
}

// The light tree's sprites and the flares at the sun, both added many times
// over inside a feedback loop that keeps up to 0.94 of the last picture: a
// white-hot core about as wide as the step between a branch's sprites, so
// neighbours run together into a line of light instead of a row of dots, and
// almost no halo, so still sprites stay small and only their motion paints.
// No ring: the three flares stand still by the sun, where the loop lifted a
// faint ring into three wide rainbow circles (94-98 s) that read as bubbles,
// and on the tree every sprite's ring made the branches froth.
Image lightSpark() {
    Image image(128, 128);
    image.shadeSupersampled(2, [](float s, float t) {
        const float r = centreDistance(s, t);
        // A faint skirt only: the flares sit still by the sun inside the loop.
        // A core of a quarter of the sprite's radius (a tenth dotted the tree).
        const float core = std::exp(-r * r / 0.02f) + 0.05f * std::exp(-r * r / 0.05f);
        const float halo = 0.02f * std::pow(clamp01(1 - r), 2.0f);
        return grey(core + halo) * spriteWindow(r, 0.8f);
    });
    return image;
}

// A scratch as old film shows it: a line gouged in stretches, each dash its
// own width and darkness and a little off the line of the last, jittering
// sideways within a pixel or two, with a hair-thin second scratch beside it
// for a while. The quad runs far past the screen: the opening sees the middle
// two thirds of it, the closing credits (a lower overlay camera) only the
// middle two fifths, where their band fills most of that. So the scratch
// keeps to the middle fifth, inside the band: a line reaching the band's top
// and bottom read as a seam in it. The quad is five to fourteen pixels wide
// on screen and the blend darkens by a third at most, so most of the length
// is gouged at full strength and over half the quad wide, with short breaks and
// two paler stretches: dashes a fifth to a third of the quad wide, most of
// them pale, went unseen, and one even soft line read as a render seam.
// 256 texels square, so the dashes and gaps keep their shape along a line
// some 190 pixels long.
struct ScratchDash {
    float from, to; // along the visible length, 0 to 1
    float strength; // darkening, of the most the blend allows
    float width;    // half-width, in quad half-widths
    float shift;    // sideways, in texture widths
};
constexpr ScratchDash kScratchDashes[] = {
    {0.00f, 0.10f, 0.5f, 0.3f, -0.02f}, {0.14f, 0.40f, 1.0f, 0.64f, 0.0f},
    {0.44f, 0.62f, 1.0f, 0.52f, 0.03f}, {0.65f, 0.70f, 0.45f, 0.28f, 0.05f},
    {0.74f, 0.90f, 1.0f, 0.58f, 0.02f}, {0.93f, 1.00f, 0.5f, 0.26f, 0.04f},
};
constexpr float kScratchFrom = 0.395f, kScratchLength = 0.21f;

Image speckVertical() {
    Image image(256, 256);
    image.shadeSupersampled(2, [](float s, float t) {
        const float u = (t - kScratchFrom) / kScratchLength;
        if (u < -0.05f || u > 1.05f) {
            return grey(0);
        }
        const float wander =
            0.06f * periodicNoise(0.7f, u * 3, 3, 83) + 0.02f * periodicNoise(2.3f, u * 20, 20, 87);
        const float flicker = 0.9f + 0.1f * periodicNoise(0.4f, u * 30, 30, 86);
        float v = 0;
        for (const ScratchDash& d : kScratchDashes) {
            const float along = smoothstep(d.from - 0.01f, d.from + 0.01f, u) *
                                (1 - smoothstep(d.to - 0.01f, d.to + 0.01f, u));
            if (along <= 0) {
                continue;
            }
            const float width = d.width * (0.8f + 0.35f * periodicNoise(1.3f, u * 12, 12, 84));
            const float dx = std::abs(s - 0.5f - d.shift - wander) * 2 / width;
            // A crisp-shouldered profile: a gaussian this narrow blurred to mush.
            v = std::max(v, d.strength * along * std::exp(-dx * dx * dx));
        }
        // The hair-thin companion, for a stretch of the first long dash,
        // clear of its shoulder.
        const float dx2 = (s - 0.86f - 0.5f * wander) * 2;
        const float companion = 0.7f * std::exp(-dx2 * dx2 / 0.012f) * smoothstep(0.18f, 0.21f, u) *
                                (1 - smoothstep(0.33f, 0.36f, u));
        const float window = 1 - smoothstep(0.8f, 0.98f, std::abs(2 * s - 1));
        return grey(clamp01(std::max(v * flicker, companion)) * window);
    });
    return image;
}

// Four dust marks in the quarters of the image: a ragged grain, a curled
// hair, a scatter of dots and a fibre. They differ in darkness as well as in
// shape. Solid and crisp-edged, as dust in the gate is: the marks darken by
// half at most, and soft grey ones read as smudges, not as dirt on the print.
// Each fills most of its cell: a speck is shown some forty to eighty pixels
// across, and marks a third of that, with one-pixel hairs, went unseen.
Image specks() {
    Image image(256, 256);
    auto cell = [](float s, float t, int which) {
        const float r = centreDistance(s, t);
        const float window = spriteWindow(r, 0.7f);
        switch (which) {
        case 0: {
            // A torn fleck, not a dot: an elongated ragged outline with a
            // curled fibre trailing from it (a round grain read as a dead
            // pixel).
            const float x = (s - 0.5f) * 2, y = (t - 0.5f) * 2;
            const float u = 0.8f * x + 0.6f * y, w = -0.6f * x + 0.8f * y;
            const float a = angleOf(s, t) / (2 * pi);
            const float edge = 0.36f + 0.09f * periodicNoise(a * 5, 0, 5, 91) +
                               0.05f * periodicNoise(a * 13, 0.5f, 13, 94);
            const float rr = std::sqrt(u * u / 1.6f + w * w * 1.5f);
            const float grain = 0.8f + 0.2f * periodicNoise(s * 16, t * 16, 16, 93);
            const float fleck = grain * (1 - smoothstep(edge - 0.05f, edge, rr));
            const float curve = w - 0.05f - 0.22f * std::sin(u * 3.2f - 0.4f);
            const float fibre = 0.9f * std::exp(-curve * curve / 0.003f) *
                                smoothstep(0.05f, 0.15f, u) * (1 - smoothstep(0.72f, 0.88f, u));
            return clamp01(std::max(fleck, fibre)) * window;
        }
        case 1: {
            const float x = (s - 0.5f) * 2, y = (t - 0.5f) * 2;
            const float curve = y - 0.38f * std::sin(x * 3.8f + 0.5f) - 0.15f * x * x;
            const float thin = 0.004f + 0.006f * (1 - std::abs(x));
            return clamp01(1.4f * std::exp(-curve * curve / thin)) *
                   (1 - smoothstep(0.68f, 0.86f, std::abs(x))) * window;
        }
        case 2: {
            float v = 0;
            for (int i = 0; i < 11; ++i) {
                const float cx = 0.22f + 0.56f * latticeHash(i, 0, 92),
                            cy = 0.22f + 0.56f * latticeHash(i, 1, 92);
                const float d2 = std::pow(s - cx, 2.0f) + std::pow(t - cy, 2.0f);
                v += (0.4f + 0.6f * latticeHash(i, 3, 92)) *
                     std::exp(-d2 / (0.0008f + 0.002f * latticeHash(i, 2, 92)));
            }
            return clamp01(1.5f * v) * window;
        }
        default: {
            const float x = (s - 0.5f) * 2, y = (t - 0.5f) * 2;
            const float u = 0.7f * x + 0.7f * y, w = -0.7f * x + 0.7f * y;
            const float curve = w - 0.1f * std::sin(u * 6);
            return clamp01(1.4f * std::exp(-curve * curve / 0.004f)) *
                   (1 - smoothstep(0.55f, 0.75f, std::abs(u))) * window;
        }
        }
    };
    image.shadeSupersampled(2, [&](float s, float t) {
        const int cs = s < 0.5f ? 0 : 1, ct = t < 0.5f ? 0 : 1;
        return grey(cell(s * 2 - cs, t * 2 - ct, cs + 2 * ct));
    });
    return image;
}

// Blue light behind the spinning mesh, on the band's ground. The loop keeps
// 0.78 of the last picture and stretches it 1.2 times wider and 1.04 times
// taller per frame, so a spark at (x, y) off the view's middle leaves echoes
// at (1.2^k x, 1.04^k y): a trail that rushes outward from the middle and
// bends away from it, and the slow pan carries the sparks along so the
// trails change. Streaks on fixed rows stretched into themselves and read
// as fixed stripes. Light drawn out to a height y of the view reaches the
// band's edge dimmed by about y^6, so the sparks keep within half the view's
// height and the ground fades out by 0.9 of it: the band is lit but ends
// softly (a ground reaching the view's edge cut it off in a hard line).
Image blueStreaks() {
    constexpr int kSparks = 48;
    constexpr float kSparkReach = 0.22f; // |t - 0.5| of the outermost spark
    constexpr float kGroundFull = 0.16f, kGroundEnd = 0.44f;
    struct Spark {
        float s, t, length, thick, light;
    };
    std::vector<Spark> sparks;
    for (int i = 0; i < kSparks; ++i) {
        // Denser towards the middle line, so the light gathers along the band.
        const float u = 2 * latticeHash(i, 1, 101) - 1;
        sparks.push_back(
            {0.12f + 0.76f * latticeHash(i, 0, 101), 0.5f + kSparkReach * u * std::abs(u),
             0.008f + 0.03f * latticeHash(i, 2, 101), 0.004f + 0.007f * latticeHash(i, 3, 101),
             0.5f + 1.1f * latticeHash(i, 4, 101) * latticeHash(i, 5, 101)});
    }
    Image image(256, 256);
    image.shadeSupersampled(2, [&](float s, float t) {
        float v = 0;
        for (const Spark& spark : sparks) {
            const float x = (s - spark.s) / spark.length, y = (t - spark.t) / spark.thick;
            v += spark.light * std::exp(-x * x - y * y);
        }
        const float across = std::abs(t - 0.5f);
        const float sides = 1 - smoothstep(0.35f, 0.49f, std::abs(s - 0.5f));
        const float ground = 1 - smoothstep(kGroundFull, kGroundEnd, across);
        return Colour{0.3f, 0.55f, 1.0f} * std::min(v, 1.5f) +
               Colour{0.04f, 0.09f, 0.26f} * (sides * ground);
    });
    return image;
}

// The wipe multiplies the screen: white keeps the picture, black hides it,
// and the black quad beside it carries the dark on. It crosses the view in
// about half a second, so a ramp as wide as the screen only dimmed the whole
// picture and never read as a sweep. The picture keeps its left half clear
// and ends in a comb of slats of uneven length, each with a short soft tip:
// a ragged front of light bars that reveals the tunnel as it passes. Its
// texture coordinates scroll up across the slats as it moves, so the bars
// slide along the front too. Sixteen slats, so the repeat wraps seamlessly.
constexpr int kWipeSlats = 16;
Image linearWipe() {
    Image image(256, 256);
    image.shadeSupersampled(2, [](float s, float t) {
        const float row = t * kWipeSlats;
        const int slat = static_cast<int>(std::floor(row)) % kWipeSlats;
        // Rounded slat ends: a thin dark gap between neighbours near the tip.
        const float across = std::abs(row - std::floor(row) - 0.5f) * 2;
        const float reach = 0.55f + 0.3f * latticeHash(slat, 0, 117);
        const float tip = reach - 0.06f * across * across;
        const float lit = 1 - smoothstep(tip - 0.05f, tip, s);
        // A faint dusk ahead of the bars, so the front has depth.
        const float dusk = 0.18f * (1 - smoothstep(tip, 0.98f, s));
        return grey(std::max(lit, dusk));
    });
    return image;
}

// Alpha source of the caustic textures: a soft radial falloff (grey, so the
// blue byte carries it). Only the two blended surface layers read it, and
// they are the only light the mirrors' own views get from above: at 0.45
// falling to nothing by the tile's edge they lit a few spots overhead and the
// glass stayed a dark hole. The caustic frames' ground is nearly black, so a
// fuller alpha lights their net, not a sheet of glare.
Image causticAlpha() {
    Image image(256, 256);
    image.shade([](float s, float t) {
        const float r = std::min(1.0f, centreDistance(s, t) / 1.4142f);
        return grey(kCausticAlphaPeak * (1 - kCausticAlphaFall * smoothstep(0.0f, 1.0f, r)));
    });
    return image;
}

Image finStripes() {
    Image image(128, 128);
    image.shadeSupersampled(2, [](float s, float t) {
        // s runs from the root by the eye (0) to the cone's rim (0.7), t once
        // around it. The cones point ahead of the head: the near one is seen
        // end-on round the eye, the far one only where it passes the snout.
        // Any edge or bright rim there reads as a bubble on the eye or a
        // frill at the mouth, so the light is a soft glow that fades out
        // along the cone before it clears the snout, with no edge at all and
        // the same all round, so its scroll never shows.
        // t = 0 and 1 meet on the cone, where it fades to black.
        const float seam = smoothstep(0.018f, 0.04f, t) * smoothstep(0.018f, 0.04f, 1 - t);
        // Seen from the side its outline is two straight lines, a headlight
        // beam when long and bright: the veil is faint, swells in from the
        // eye and has died away a third of the way along.
        const float root = smoothstep(0.016f, 0.1f, s);
        const float fade = std::exp(-std::pow(s / 0.13f, 2.0f));
        return Colour{1.0f, 0.9f, 0.75f} * (0.75f * root * fade * seam);
    });
    return image;
}

} // namespace

std::vector<TextureRecipe> glowTextures() {
    return {
        {"starburst.png", starburst},
        {"starburst2.png", starburst2},
        {"spherical.png", lightBurst},
        {"blob.png", ringBlob},
        {"blob8.png", jellyfishGlow},
        {"blob22.png",
         [] {
             return softBall(128, {1.0f, 1.0f, 0.95f}, {0.5f, 0.55f, 0.7f}, 0.25f, 0.5f);
         }},
        {"blob22b.png", lightSpark},
        {"blob22d.png", pointGlow},
        {"blob24.png", blob24},
        {"blob2.png", glowFish},
        {"blob22e.png", bubbleRing},
        {"blob41.png",
         [] {
             return bead({1.0f, 0.95f, 0.85f});
         }},
        {"blob41b.png",
         [] {
             return pearl({0.8f, 0.9f, 1.0f});
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
