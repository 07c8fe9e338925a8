// Caustic light networks and water patterns. All of them tile, and the
// sixteen numbered frames form one loop.
#include "textures.h"
#include "textures_noise.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>

namespace assetgen {

namespace {

constexpr float pi = std::numbers::pi_v<float>;
constexpr int causticFrames = 16;

// A faint mottle on the ground between the lines, the same in every frame
// (0.6 to 1). No ripple stripes: the trail lays each stripe again a little
// apart every frame, and the copies stood as ladder rungs across the water.
float groundMottle(float s, float t) {
    return 0.6f + 0.4f * (0.5f + 0.5f * fractalNoise(s, t, 4, 3, 0.5f, 21));
}

// Sunlight refracted through a swell and gathered on the ground, traced: a
// dense grid of rays through a periodic surface made of a few waves, each
// ray bent by the slope where it enters and splatted where it lands. The
// light crowds into curved filaments with brighter cusps where they meet,
// thin everywhere and never a polygon net: cell edges of a Voronoi net read
// as crazy paving on the floor and as a wire mesh in the surface layers.
// Every wave is a whole number of repeats across the tile, so the frames
// tile, and a whole number of turns of its phase through the loop, so the
// loop closes. Half the waves run on by one wavelength a loop, so every
// filament travels well clear of its start (the overlays fix a corner of
// these frames to the screen, and a strand that stayed put burned in); the
// other half only sway, which keeps the step per frame near a line's width:
// all six running made twice the step, and the trail lays each step down as
// one more copy of the net.
struct SwellWave {
    int kx, ky;
    float phase;
    int laps;   // whole turns of its phase through the loop, so the loop closes
    float sway; // when it does not run on, where in the loop it sways
};
constexpr SwellWave kSwell[] = {
    {4, 1, 0.4f, 1, 0.0f},   {-1, 4, 2.1f, 0, 1.1f}, {3, -3, 4.0f, -1, 0.0f},
    {-4, -2, 5.2f, 0, 3.4f}, {5, -1, 1.3f, 1, 0.0f}, {2, 4, 3.3f, 0, 5.5f},
};
constexpr float kSwayReach = 1.2f;
// How strongly the swell focuses: the stretch of the ground each wave adds,
// in units where 1 folds the light into a cusp.
constexpr float kFocus = 0.8f, kLineGain = 0.3f;
constexpr int kRays = 1536;

Plane causticLight(float phase) {
    constexpr int size = 256;
    Plane light(size, size);
    const float raysPerTexel = float(kRays) * kRays / (size * size);
    for (int iy = 0; iy < kRays; ++iy) {
        for (int ix = 0; ix < kRays; ++ix) {
            const float s = (ix + 0.5f) / kRays, t = (iy + 0.5f) / kRays;
            float ds = 0.0f, dt = 0.0f;
            for (const SwellWave& w : kSwell) {
                const float k = std::hypot(float(w.kx), float(w.ky));
                const float reach = kFocus / (2 * pi * k);
                const float arg = 2 * pi * (w.kx * s + w.ky * t) + w.phase + w.laps * phase +
                                  (w.laps == 0 ? kSwayReach * std::sin(phase + w.sway) : 0.0f);
                const float bend = reach * std::sin(arg) / k;
                ds += bend * w.kx;
                dt += bend * w.ky;
            }
            const float x = (s + ds) * size - 0.5f, y = (t + dt) * size - 0.5f;
            const int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(std::floor(y));
            const float fx = x - x0, fy = y - y0;
            const auto add = [&](int px, int py, float wgt) {
                light.at(((px % size) + size) % size, ((py % size) + size) % size) +=
                    wgt / raysPerTexel;
            };
            add(x0, y0, (1 - fx) * (1 - fy));
            add(x0 + 1, y0, fx * (1 - fy));
            add(x0, y0 + 1, (1 - fx) * fy);
            add(x0 + 1, y0 + 1, fx * fy);
        }
    }
    // No blur: a texel of it spread every cusp into a blob that the green
    // overlay, four times magnified, laid over the view as a green smudge,
    // and the floor's net went soft under the trail.
    return light;
}

Image causticFrame(int frame) {
    Image image(256, 256);
    const float phase = 2 * pi * frame / causticFrames;
    const Plane gathered = causticLight(phase);
    image.shade([phase, &gathered](float s, float t) {
        const float drift = 0.4f;
        // Light gathered above the mean: the filaments; the thinned light
        // between them stays ground.
        const float focus = gathered.at(std::min(static_cast<int>(s * 256), 255),
                                        std::min(static_cast<int>(t * 256), 255));
        const float line = std::max(focus - 1.0f, 0.0f);
        // Sunlight focused by the waves falls only in patches that drift
        // slowly: there the net is bright and the sand barely lit; elsewhere
        // the ground is nearly black. The surface layers and the overlays
        // add every texel of these frames over the whole view under a trail
        // of about five frames, so any broad lit ground piled up into an
        // even green-blue wash with the lines' echoes smeared across it:
        // only thin lines and the knots where they meet carry light. Outside
        // the patches the net runs at about two thirds of its light over a
        // broad field that wanders round the whole frame in one loop: with
        // lines only inside the patches most of the fogged floor showed no
        // net at all and read as murky navy, and a field that stood still
        // kept the few edges that barely move lit all the time, burned in
        // at one spot under the screen-fixed overlays.
        const float patch = 0.5f + 0.5f * periodicNoise(s * 2 + drift * std::cos(phase),
                                                        t * 2 + drift * std::sin(phase), 2, 17);
        const float sun = smoothstep(0.38f, 0.72f, patch);
        const float roam =
            0.5f + 0.5f * periodicNoise(s * 2 - std::cos(phase), t * 2 - std::sin(phase), 2, 19);
        const float lit = std::max(0.05f + 0.95f * smoothstep(0.5f, 0.72f, patch),
                                   0.3f * smoothstep(0.45f, 0.65f, roam));
        const float raw = kLineGain * line * line * lit;
        const float light = 1.3f * (1.0f - std::exp(-raw));
        // Little red anywhere: the picture lays these frames over itself
        // once per colour channel, four times magnified and with red
        // weighted far above the rest, so a red line turned into a red net.
        // Only the brightest knots go pale, so they read as points of
        // sunlight. Green stays low even there: the light shafts lay a
        // corner of these frames over the whole view through green-only
        // copies at three times the blue copies' gain, and a knot at full
        // green grew into a thick green bar.
        const Colour shade{0.0f, 0.012f, 0.02f}, sunlitSand{0.01f, 0.1f, 0.06f};
        const Colour ground = mix(shade, sunlitSand, sun) * groundMottle(s, t);
        const float core = light * light * light;
        return ground + Colour{0.01f, 0.32f, 0.62f} * light + Colour{0.02f, 0.035f, 0.16f} * core;
    });
    return image;
}

// Jellyfish body. The bodies take it through object planes on the mesh's x
// and z (1.5 per unit), so the picture is a side projection: t runs up the
// bell's axis and s across it. With the mesh's fit (its height 2.725 made 2,
// then 0.7) a file unit is 0.77 of a repeat and the bell stands from t = 0.87
// (the rim) to 1.55 (the crown), less than one repeat, so every height has
// its own rows, and every height is one ring of the bell of a known radius.
// So a texel (x, height) is the pair of points (x, +-y) on that ring, and the
// picture can be drawn as the bell seen from above, mirrored across its x
// axis: eight soft radial canals, four gonads on the diagonals and an
// unbroken bright margin with a skirt of light inside it. Over the vase the
// small ones are seen almost crown on, and a glowing crown inside a bright
// margin read as a coin; the moon jelly's four petals and its canals make it
// an animal. From the side the canals curve up to the crown as meridians do.
// Across, the bell is 1.6 repeats wide: inside 0.65 of its radius every texel
// has one place, further out two (the brighter wins), which adds a few short
// canals near the rim. The tentacles, below the rim, cross every row and take
// a faint even glow away from the margin's band.
//
// Almost no red: the deep sea's column lights its bodies with a warm
// orange-brown material, so on a bell's shaded side red survives and green
// and blue nearly vanish; the earlier lavender jelly came out as dark tan
// domes there. Aqua jelly and blue-violet gonads stay cool under that
// material and turn azure under the small ones' blue one. The clear jelly
// is a little brighter for the same reason: at a third opacity a dim body
// darkens the water behind it into a dark cap.
constexpr Colour kDeepJelly{0.03f, 0.5f, 0.95f}, kPaleJelly{0.3f, 0.95f, 1.0f};
constexpr Colour kGonad{0.42f, 0.38f, 1.0f};
constexpr float kClearJelly = 0.27f;

Image jellyBody() {
    constexpr float kRepeatsPerUnit = 0.7706f; // 1.5 x 0.7 x 2 / 2.725
    constexpr float kCentreT = 0.9335f;        // t of the file's z = 0
    constexpr float kCrownZ = 0.8f, kRimZ = -0.084f;
    constexpr float kRepeat = 1.0f / kRepeatsPerUnit; // file units across one repeat
    Image image(256, 256);
    image.shadeSupersampled(3, [=](float s, float t) {
        const float row = t < 0.75f ? t + 1.0f : t; // the bell's rows, unwrapped
        const float z = (row - kCentreT) / kRepeatsPerUnit;
        const float d = (z - kRimZ) / (kCrownZ - kRimZ); // 0 at the rim, 1 at the crown
        const float grain = 0.5f + 0.5f * periodicNoise(s * 8, t * 8, 8, 71);
        const bool bell = d >= 0.0f && d <= 1.0f;
        if (!bell) {
            // Below the rim and above the crown only the tentacles take
            // these rows: an even glow, so they read as pale strands, with
            // the margin's glow running on a little below the rim.
            const float margin = std::exp(-std::pow(d / 0.05f, 2.0f));
            const float v = 0.42f + 0.08f * grain + 0.85f * margin;
            return mix(kDeepJelly, kPaleJelly, clamp01(1.6f * v - 0.3f)) * std::min(v, 1.0f);
        }
        // The ring this height lies on (the outer skin, 0.8 cos a high and
        // sin a out).
        const float radius =
            std::max(std::sqrt(std::max(1.0f - std::pow(z / 0.8f, 2.0f), 0.0f)), 0.02f);
        const float x0 = (s - 0.5f) * kRepeat;
        Colour best{};
        float bestV = -1.0f;
        for (const float x : {x0, x0 - kRepeat, x0 + kRepeat}) {
            if (std::abs(x) > radius && x != x0) {
                continue;
            }
            const float y = std::sqrt(std::max(radius * radius - x * x, 0.0f));
            const float angle = std::atan2(y, x); // 0 ... pi; the mirror image has -angle
            const float rho = radius;             // 0 at the crown, 1 at the rim
            // Clear jelly with a skirt of light: the bell's lower wall is
            // seen at a graze from every side, so it glows towards the
            // margin and the crown stays the darker centre. Seen crown on
            // this gives a bright edge round a darker middle, from the side
            // a lit skirt under a dim dome: a bell either way.
            float v =
                kClearJelly + 0.03f * grain + 0.05f * (1.0f - rho) + 0.3f * std::exp(-d / 0.22f);
            // The mouth's small glow at the crown, between the gonads.
            const float mouth = std::exp(-std::pow(rho / 0.16f, 2.0f));
            // Eight soft radial canals from the stomach to the rim, and
            // eight faint ones between them; a canal keeps its width on the
            // bell, so it narrows in angle as it runs out. Hairline bright
            // canals under a dotted margin read as wire spokes over the vase.
            const float sector = std::remainder(angle, pi / 4.0f);
            const float midSector = std::remainder(angle + pi / 8.0f, pi / 4.0f);
            const float outward = smoothstep(0.2f, 0.35f, rho);
            const float canal = std::exp(-std::pow(rho * sector / 0.055f, 2.0f)) * outward;
            const float thin = std::exp(-std::pow(rho * midSector / 0.03f, 2.0f)) * outward;
            // Four gonads on the diagonals: round petals with a brighter
            // horseshoe edge open towards the rim.
            const float px = 0.42f * std::cos(pi / 4.0f), py = 0.42f * std::sin(pi / 4.0f);
            float gonad = 0.0f, edge = 0.0f;
            for (const float gx : {px, -px}) {
                const float dx = x - gx, dy = y - py;
                const float r = std::sqrt(dx * dx + dy * dy) / 0.17f;
                const float facing = (dx * gx + dy * py) / (0.42f * 0.17f * std::max(r, 1e-3f));
                gonad = std::max(gonad, 1.0f - smoothstep(0.7f, 1.05f, r));
                edge = std::max(edge, std::exp(-std::pow((r - 0.8f) / 0.16f, 2.0f)) *
                                          smoothstep(0.75f, -0.2f, facing));
            }
            // The margin: one unbroken bright ring canal with a glow inside
            // it, so the bell keeps a clear edge at any size; beads of
            // light on it broke the edge into a dotted wire ring.
            const float rim = std::exp(-std::pow(d / 0.07f, 2.0f)) + 0.3f * std::exp(-d / 0.12f);
            v += 0.3f * mouth + 0.3f * canal + 0.06f * thin + 0.9f * rim;
            Colour colour =
                mix(kDeepJelly, kPaleJelly, clamp01(1.6f * v - 0.3f)) * std::min(v, 1.0f);
            // The gonads are violet against the aqua jelly.
            colour = mix(colour, kGonad * (0.7f + 0.3f * edge), std::max(0.9f * gonad, edge));
            const float value = v + 0.4f * gonad;
            if (value > bestV) {
                bestV = value;
                best = colour;
            }
        }
        return best;
    });
    return image;
}

// A thin bright line along the zero contour of smooth noise: long,
// meandering, branching curves with no cell corners, like canals in jelly.
float contourLine(float n, float width) {
    return std::exp(-(n * n) / (width * width));
}

// Giant dome: the medusa's bell, drawn dim and added over a blue deep. The
// dome is projected from above and the picture slides across it by more
// than a repeat while it shows, so nothing can sit at the crown or the rim:
// every patch must read as bell tissue on its own. Seen from the side,
// lines of constant t stand upright on the dome, and the front and back are
// both added: twelve canals a repeat stood there as a dense comb of
// stripes, a striped ball. So the light lives in clouded jelly (bright
// lobes, dark gaps) with three meandering main canals a repeat, a dim
// branching vein net and scattered photophores, points of light that read
// as a living body from every side; a cell net read as a wire bowl and an
// even glow as a flat blue half-sphere.
Image domePattern() {
    Image image(256, 256);
    image.shadeSupersampled(2, [](float s, float t) {
        // A shared warp bends every structure the same way, so canals, veins
        // and lobes flow together like tissue rather than overlaid nets.
        const float ws = s + 0.07f * fractalNoise(s, t, 2, 2, 0.5f, 61);
        const float wt = t + 0.07f * fractalNoise(s, t, 2, 2, 0.5f, 62);
        const float veins = contourLine(fractalNoise(ws, wt, 7, 2, 0.5f, 45), 0.04f);
        const float mainWave =
            0.5f + 0.5f * std::cos(2 * pi * 3 * (wt + 0.05f * std::sin(2 * pi * 2 * ws)));
        const float mainCanals = std::pow(mainWave, 30.0f);
        const float canalHalo = std::pow(mainWave, 6.0f);
        // Clouded jelly: soft bright lobes over dark gaps.
        const float cloud = smoothstep(-0.25f, 0.55f, fractalNoise(ws, wt, 3, 4, 0.5f, 44));
        const float jelly = 0.03f + 0.42f * cloud * cloud;
        // Photophores: small round points of light, brighter in the lobes.
        const CellDistances spots = cellularNoise(ws, wt, 10, 46);
        const float photophore = std::exp(-spots.nearest * spots.nearest * 160.0f) * cloud;
        const float glow = jelly + 0.08f * canalHalo + 0.35f * mainCanals + 0.08f * veins;
        const Colour tissue = Colour{0.55f, 0.6f, 1.0f} * std::min(glow, 1.0f);
        const Colour light = Colour{0.75f, 1.0f, 0.95f} * (0.25f * mainCanals + 1.2f * photophore);
        const Colour c = tissue + light;
        return Colour{std::min(c.r, 1.0f), std::min(c.g, 1.0f), std::min(c.b, 1.0f)};
    });
    return image;
}

// Wobble overlay: one repeat fills the whole view and five copies of it,
// a little apart and scaled, are added over the jellyfish, so it is a sparse
// shimmer: black everywhere except thin threads of light (an even haze
// under a dense net washed the view blue). The copies lie side by side along
// s, so the threads run along s, bending gently as light under a swell does:
// threads across s were copied into stacks of parallel stripes that read as
// grey fingerprint smears, while threads along s slide along themselves and
// stay one line. A second, finer set crosses them at a shallow angle and
// where the two meet the light knots into bright points. 512 texels with
// haloless lines: at 256 some four screen pixels took a texel and soft
// lines smeared into blue mush. Aqua rather than near white: five pale
// copies added over dark water summed to grey.
Image wobbleRipples() {
    Image image(512, 512);
    image.shadeSupersampled(2, [](float s, float t) {
        const float bend = 0.45f * fractalNoise(s, t, 2, 2, 0.5f, 54);
        const float ripple = 0.08f * fractalNoise(s, t, 6, 2, 0.5f, 55);
        const float main = contourLine(std::sin(2 * pi * (7 * t + bend + ripple)), 0.07f);
        const float fine =
            contourLine(std::sin(2 * pi * (13 * t + s + 0.6f * bend - ripple)), 0.06f);
        const float light = 0.85f * main + 0.3f * fine + 1.6f * main * fine;
        const float patches = smoothstep(-0.35f, 0.3f, fractalNoise(s, t, 2, 3, 0.5f, 52));
        const float breaks = smoothstep(-0.45f, 0.2f, fractalNoise(s, t, 8, 2, 0.5f, 53));
        const float v = std::min(light * patches * breaks, 1.0f);
        return Colour{0.4f, 0.85f, 1.0f} * v;
    });
    return image;
}

} // namespace

std::vector<TextureRecipe> causticTextures() {
    std::vector<TextureRecipe> recipes;
    for (int frame = 0; frame < causticFrames; ++frame) {
        char name[16];
        std::snprintf(name, sizeof name, "caust%02d.png", 2 * frame);
        recipes.push_back({name, [frame] { return causticFrame(frame); }});
    }
    recipes.push_back({"caust.png", jellyBody});
    recipes.push_back({"caust2.png", domePattern});
    recipes.push_back({"gelfishtex0.png", wobbleRipples});
    return recipes;
}

} // namespace assetgen
