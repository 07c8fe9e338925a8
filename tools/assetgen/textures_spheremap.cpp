// Sphere maps: each texel is what a mirror ball shows at that point, so the
// picture is a whole environment squeezed into the inscribed circle. Outside
// the circle the rim colour continues, which keeps filtered edges clean.
#include "textures.h"

#include "rendered.h"
#include "textures_noise.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>

namespace assetgen {

namespace {

constexpr float pi = std::numbers::pi_v<float>;

struct Direction {
    float x, y, z;
};

// The reflected view direction seen at texel (s, t) of a sphere map.
Direction reflectedAt(float s, float t) {
    float x = 2 * s - 1, y = 2 * t - 1;
    const float rho = std::hypot(x, y);
    if (rho > 0.999f) {
        x *= 0.999f / rho;
        y *= 0.999f / rho;
    }
    const float z = std::sqrt(std::max(0.0f, 1 - x * x - y * y));
    return {2 * z * x, 2 * z * y, 2 * z * z - 1};
}

struct SkyColours {
    Colour zenith, horizon, ground, groundFar;
    Direction sun;
    Colour sunColour;
    float sunSize;
};

float along(Direction a, Direction b) {
    const float nb = std::sqrt(b.x * b.x + b.y * b.y + b.z * b.z);
    return (a.x * b.x + a.y * b.y + a.z * b.z) / nb;
}

Colour sky(const SkyColours& c, Direction d, std::uint32_t seed) {
    Colour colour;
    if (d.y >= 0) {
        colour = mix(c.horizon, c.zenith, std::pow(d.y, 0.6f));
        const float azimuth = std::atan2(d.z, d.x) / (2 * pi) + 0.5f;
        // Two octaves only, and none behind the viewer: the map squeezes
        // the sky behind into its outer ring, where clouds became speckle a
        // texel or two wide, and the domes' skins mirror that ring as a
        // mottled, noisy skin.
        const float cloud = fractalNoise(azimuth, d.y * 0.5f, 4, 2, 0.5f, seed);
        const float rim = std::sqrt(std::max(0.0f, (1 - d.z) / 2));
        const float ahead = 1 - smoothstep(0.5f, 0.75f, rim);
        // Broken white cloud banks on a deep sky: the floor shows this sky
        // tinted to one blue-green, so only strong light and dark in it gives
        // the mirror floor any reflection to show.
        colour = mix(colour, grey(1.0f),
                     0.7f * ahead * smoothstep(-0.1f, 0.45f, cloud) * (1 - 0.6f * d.y));
    } else {
        colour = mix(c.groundFar, c.ground, std::pow(-d.y, 0.5f));
    }
    colour += c.horizon * (0.6f * std::exp(-d.y * d.y / 0.002f));
    const float sunCos = along(d, c.sun);
    colour += c.sunColour *
              (std::pow(clamp01(sunCos), c.sunSize) + 0.3f * std::pow(clamp01(sunCos), 8.0f));
    return colour;
}

Image sphereMap(const std::function<Colour(Direction)>& environment) {
    Image image(256, 256);
    image.shadeSupersampled(2, [&](float s, float t) { return environment(reflectedAt(s, t)); });
    return image;
}

// Rectangular studio lights: bright patches in given directions.
float softbox(Direction d, Direction centre, float sizeX, float sizeY) {
    const float c = along(d, centre);
    if (c <= 0) {
        return 0;
    }
    const float n = std::sqrt(centre.x * centre.x + centre.y * centre.y + centre.z * centre.z);
    // Offsets in a rough tangent frame: horizontal angle and height difference.
    const float dh = std::atan2(d.x, d.z) - std::atan2(centre.x, centre.z);
    const float dv = d.y - centre.y / n;
    const float h = std::remainder(dh, 2 * pi);
    return (1 - smoothstep(sizeX * 0.35f, sizeX, std::abs(h))) *
           (1 - smoothstep(sizeY * 0.35f, sizeY, std::abs(dv)));
}

// The loading screen's floor and domes. A mirror floor and the cove rising
// from it both reflect the outer ring of the map, and both run inward from
// the rim as they leave the horizon (nearer floor below it, higher cove
// above), so the ring is a bright horizon glow that falls off to both
// sides: the floor shines towards the distance as wet stone does at a
// grazing angle, and against it the fixed dark ribbon reads as deep blue
// instead of a maroon smear on an equally dim floor. The ring never dips
// below the sky above it: a dark ring laid a hard dark band along the
// horizon, and a zenith blue just inside an even haze laid one at the cove's
// foot. Faint streaks round the ring are the sky's clouds reflected, so the
// floor shows something in it. The sun is broad so that the four echo layers
// blur into a glow instead of repeating a sharp highlight. Sun and lit clouds
// are a cool white: the floor's tint has no red, so amber light turned the
// cove's mirror into a green smear; the warm light is kept to the disc's
// right half, which only the domes mirror.
Image coolChromeSky() {
    constexpr Colour kFloorHaze{0.2f, 0.72f, 0.92f};
    constexpr Colour kHorizonGlow{0.36f, 0.44f, 0.38f};
    constexpr Colour kSkyGlow{0.2f, 0.66f, 0.95f};
    constexpr Colour kDawnLight{0.85f, 0.92f, 1.0f};
    constexpr Colour kSunset{1.0f, 0.6f, 0.18f};
    constexpr Colour kUmber{0.1f, 0.045f, 0.02f};
    constexpr Colour kRimShade{0.05f, 0.12f, 0.22f};
    constexpr Colour kDeepSky{0.06f, 0.18f, 0.48f};
    constexpr Colour kCloudLight{0.75f, 0.88f, 1.0f};
    const SkyColours c{{0.08f, 0.22f, 0.6f},
                       {1.0f, 0.84f, 0.66f},
                       {0.15f, 0.2f, 0.3f},
                       {0.45f, 0.5f, 0.6f},
                       {0.3f, 0.6f, 0.7f},
                       {0.55f, 0.7f, 1.0f},
                       60};
    return sphereMap([&](Direction d) {
        const float rim = std::sqrt(clamp01((1 - d.z) / 2)); // radius in the disc
        // The brightest clouds lean to the sun's cool white.
        Colour lit = sky(c, d, 11);
        const float glow = smoothstep(0.55f, 1.0f, (lit.r + lit.g + lit.b) / 3);
        lit = mix(lit, lit * kDawnLight, glow);
        // Angle round the ring: reflected light columns, broad enough to
        // survive the echo layers' blur. The floor mirrors the ring's top
        // angle by angle across the screen, so they run towards the camera
        // like lights on polished stone; a faint ripple left it one flat blue.
        const float around = std::atan2(d.y, d.x) / (2 * pi) + 0.5f;
        // By angle alone, two octaves: varying with the radius too, they
        // broke into blotches that the domes mirror as a noisy skin.
        const float streak = fractalNoise(around, 0.0f, 24, 2, 0.5f, 29);
        const float column = smoothstep(-0.3f, 0.5f, streak);
        const Colour haze = kFloorHaze * (0.65f + 0.6f * column);
        const float towardsHorizon = (1 - rim) / 0.045f;
        const Colour ring = haze + kHorizonGlow * std::exp(-towardsHorizon * towardsHorizon);
        // Seen from the camera the cove's low slope is a line or two, and
        // the big faces' interpolated coordinates cut across the disc, so its
        // foot mirrors radii down to 0.6 in any order: that whole upper ring
        // is one glow, and the deep, clouded sky and the sun (inside 0.45)
        // only show higher on the cove and on the domes' fronts.
        const float upper = smoothstep(-0.3f, 0.3f, d.y);
        // The columns only where the floor looks (0.6 and out): inside
        // that the cove's wall mirrors them as pillars standing in the sky.
        const float toFloor = smoothstep(0.55f, 0.68f, rim);
        const float floorColumn = 0.95f + (0.7f * column - 0.35f) * toFloor;
        lit = mix(lit, kSkyGlow * floorColumn, upper * smoothstep(0.4f, 0.6f, rim));
        // The upper cove, the top 40 % of the screen, mirrors the disc's top
        // strip from 0.1 to 0.6, rim at the horizon, and only some 60 degrees
        // of its angle: a plain gradient there left that part of the frame
        // empty, and a deep zenith made it a dark hole. Dawn rays fan up
        // from behind the horizon through soft strata that lie level on screen, as rings
        // round the disc's middle.
        const float cove = smoothstep(0.0f, 0.35f, d.y) * smoothstep(0.05f, 0.15f, rim) *
                           (1 - smoothstep(0.55f, 0.65f, rim));
        const float low = smoothstep(0.1f, 0.6f, rim);
        // The cove's upper wall stands upright, so each screen column there
        // mirrors one point of this strip: anything that varies across it
        // stands as a pillar (rays, even three broad ones, read as a smear
        // of columns). So it is one calm deep blue, paling only towards the
        // horizon, where the wall curves out and the strata lie level.
        const float breakup = fractalNoise(around, rim * 0.5f, 24, 2, 0.5f, 43);
        // Cloud banks lit from below by the hidden sun: each bank brightens
        // towards its underside (larger radius, lower on screen) and ends
        // there in a soft lit edge over a darker gap. One soft sine band
        // across the whole foot read as a featureless gradient; three banks
        // with sharp edges and deep gaps, echoed by the four layers, read as
        // a hard band of stripes. So two broad banks, their edges and gaps
        // gentle and broken along their length. They end before 0.6, where
        // the domes' skins mirror the ring and steps in it read as mottling.
        const float bank = std::fmod(rim * 8.0f + 0.9f * breakup + 10.0f, 1.0f);
        const float strata = smoothstep(0.05f, 0.75f, bank) * (1 - smoothstep(0.72f, 1.0f, bank));
        const float horizonBand =
            smoothstep(0.38f, 0.52f, rim) * (1 - smoothstep(0.54f, 0.6f, rim));
        Colour dawn = mix(kDeepSky * 0.7f, kSkyGlow, std::pow(low, 1.4f));
        dawn = mix(dawn * (1 - 0.12f * horizonBand), kCloudLight * (0.6f + 0.5f * low),
                   0.5f * strata * horizonBand);
        lit = mix(lit, dawn, cove);
        // A sunset glow low on the sun's side: the domes' fronts mirror the
        // right half of the disc (the floor and the cove its top), so this
        // warms the domes without tinting the floor, whose fixed tint has no
        // red and turned amber light green.
        const float rhoXY = std::max(1e-4f, std::hypot(d.x, d.y));
        const float angle = std::atan2(d.y, d.x); // 0 on the right, pi / 2 at the top
        // The whole right half below the cove is a warm room, deep umber
        // with gold light in it, so the domes' fronts read as gold chrome
        // with dark shadows against the cool floor: a narrow sunset there
        // left the domes as blue as the floor, one hue on the screen.
        const float warmSide = smoothstep(-1.75f, -1.35f, angle) *
                               (1 - smoothstep(0.7f, 0.95f, angle)) *
                               (1 - smoothstep(0.8f, 0.88f, rim));
        const float fromSunset = (angle - 0.1f) / 0.6f;
        const float sunGlow = std::exp(-fromSunset * fromSunset) * smoothstep(0.1f, 0.3f, rim);
        const float lights = smoothstep(0.1f, 0.6f, fractalNoise(around, rim, 20, 2, 0.5f, 47));
        const Colour room = mix(kUmber, kSunset * (0.85f + 0.3f * streak),
                                clamp01(0.85f * sunGlow + 0.6f * lights));
        lit = mix(lit, room, warmSide);
        // A dome's outline mirrors the ring all round, so a bright ring drew
        // a hard pale edge that the small render target stair-steps. The ring
        // keeps its glow at the top, where the floor mirrors it, and darkens
        // towards the sides and the bottom, where only the domes' outlines
        // see it and now sink into the floor behind them.
        const float facingUp = d.y / rhoXY; // 1 at the ring's top, -1 at its bottom
        const Colour edge = mix(kRimShade, ring, smoothstep(-0.2f, 0.8f, facingUp));
        return mix(lit, edge, smoothstep(0.86f, 0.95f, rim));
    });
}

// Skin of the light tunnel's objects and rings. They are drawn with
// object-linear texture coordinates, 0.3 times their own x and y, so they
// never see this picture as a mirror: each floating ring (corner radius 0.56)
// shows only the disc of radius 0.167 round the texture's corner, and each
// turning ring (tube centre at 0.78) only the annulus at 0.17 to 0.3 round it
// (the corners meet by wrapping). The floating rings are cut hexagons facing
// the camera down z, turned half round, so the disc is painted with what
// each flat cut mirrors head-on, mirror-flipped: one flat colour a cut, white
// sky on the upper outer and lower inner cuts, amber ground on the others,
// and black leading where the cuts meet. The light adds its own split (lit
// cuts full, the rest at half), so a copy reads as a few bold facets, not as
// a shaded tube. The disc's corners reach the turning rings' inner edge,
// which the black outline leaves dark. The annulus is one thin white line
// with beads in an ice-blue glow, a ring of light that turns visibly: a gold
// glow drowned in the bands, which burn gold to salmon, and blue is the
// channel they lack. Dark navy elsewhere, in the tunnel's palette.
constexpr float kBallSkinRadius = 0.3f / 1.8f; // the ring's fitted corner radius
constexpr float kRingSkinRadius = 0.3f * 0.78f;
// The floating ring's cuts, in units of its corner radius (its mesh's
// shape): six sides, corners at 0, 60, ... degrees; the crest and the inner
// edge at these corner radii, the crest 0.35 out of the plane.
constexpr float kCutCrest = 0.65f;
constexpr float kCutInner = 0.24f;
constexpr float kCutRise = 0.35f;

// What a chrome world of gold light shows in direction r (y up): a bright
// horizon, a sky paling to white, a sun, and a warm amber ground. The rings
// are drawn lit at 0.5 to 1 and the feedback lifts what stands still 2.3
// times. A dark bronze ground kept half of every copy a dark smudge (and the
// darkening copies black lumps); amber stays gold through that gain where
// the sky burns white, so the cuts still alternate in hue, and the black
// leading between the cuts (below) keeps the facets apart when both burn.
Colour chromeWorld(Direction r) {
    const Colour gold{1.0f, 0.72f, 0.32f};
    const Colour sky{0.92f, 0.93f, 1.0f};
    const Colour ground{0.9f, 0.52f, 0.14f};
    const float e = r.y;
    Colour c = e > 0 ? mix(gold, sky, smoothstep(0.0f, 0.5f, e))
                     : mix(gold * 0.8f, ground, smoothstep(0.0f, 0.5f, -e));
    // A thin white horizon: the line a mirror shows between sky and ground.
    c += grey(0.6f * std::exp(-e * e / (0.08f * 0.08f)));
    const float sun = std::max(0.0f, -0.45f * r.x + 0.6f * r.y + 0.66f * r.z);
    c += grey(1.2f * std::pow(sun, 60.0f));
    return c;
}

// A cut hexagonal ring seen down z at (x, y), corner radius 1: each cut's
// one reflected colour. The cuts run on past the hole, so filtering there
// keeps the cut's colour; past the outline it is black.
Colour cutRingSeenHeadOn(float x, float y) {
    constexpr float kApothem = 0.8660254f; // cos 30: a side's distance per corner radius
    const float sector = std::floor(std::atan2(y, x) / (pi / 3));
    const float facing = (sector + 0.5f) * (pi / 3);
    const float cx = std::cos(facing), cy = std::sin(facing);
    const float d = (x * cx + y * cy) / kApothem; // 1 on the outline, kCutCrest on the crest
    const bool outer = d > kCutCrest;
    // The section's slope: from the outline (or the hole) up to the crest.
    const float run = outer ? 1 - kCutCrest : kCutCrest - kCutInner;
    const float len = std::hypot(run, kCutRise);
    const float out = (outer ? kCutRise : -kCutRise) / len, up = run / len;
    const float nx = out * cx, ny = out * cy, nz = up;
    Colour c = chromeWorld({2 * nz * nx, 2 * nz * ny, 2 * nz * nz - 1});
    // Black leading where the cuts meet: along the crest, the ridges out to
    // the six corners, round the hole and round the outline. A copy is some
    // 30 texels across in the picture, so the lines are a tenth of its
    // radius wide or they blur away; they are what the darkening copies,
    // which only multiply, draw of the hexagon, and what keeps a burnt-out
    // bright copy faceted.
    const float ridge =
        std::min(std::abs(x * std::sin(facing - pi / 6) - y * std::cos(facing - pi / 6)),
                 std::abs(x * std::sin(facing + pi / 6) - y * std::cos(facing + pi / 6)));
    const float crest = std::abs(d - kCutCrest);
    const float lead =
        std::min({ridge / 0.05f, crest / 0.05f, (d - kCutInner) / 0.08f, (1 - d) / 0.09f});
    return c * smoothstep(0.6f, 1.0f, lead);
}

Image tunnelSkin() {
    const Colour night{0.012f, 0.018f, 0.06f};
    const Colour ice{0.38f, 0.62f, 1.0f};
    Image image(256, 256);
    image.shadeSupersampled(3, [&](float s, float t) {
        // Offset from the corner, wrapped to -0.5..0.5.
        const float u = s < 0.5f ? s : s - 1, v = t < 0.5f ? t : t - 1;
        const float r = std::hypot(u, v);
        Colour c = night;
        // Floating ring, out to a little past its outline (its corners reach
        // 1); the half turn shows its x mirrored. The fade ends before the
        // turning rings' inner edge (0.169) so they do not pick up its rim.
        const float ring = 1 - smoothstep(1.0f, 1.02f, r / kBallSkinRadius);
        c = mix(c, cutRingSeenHeadOn(-u / kBallSkinRadius, v / kBallSkinRadius), ring);
        // Turning ring: a bright core on the tube's front crest in a narrow
        // ice-blue glow, with beads every 30 degrees so its spin shows.
        const float d = (r - kRingSkinRadius) / 0.05f;
        const float band = std::exp(-d * d * 4);
        const float core = std::exp(-d * d * 40);
        const float bead = std::pow(0.5f + 0.5f * std::cos(12 * std::atan2(v, u)), 12.0f);
        c += ice * (0.4f * band + 0.35f * band * bead) + grey(0.5f * core + 0.4f * core * bead);
        return c;
    });
    return image;
}

// Skin of the title mesh, which feeds a feedback loop that keeps what stands
// still about 1.4 times and stretches it outward, so every copy of a knot
// lands on the last ones. The mesh includes a shell around the camera whose
// normals make it mirror the floor straight below, which fills the screen
// unmoving: the bottom of the map is near black. The rest is a black studio
// lit by a few hard strip lights: a knot is dark polished metal whose tubes
// carry thin bright lines (the horizon along their sides, two upright strips
// and a ceiling ring on their fronts, a violet-blue rim round their
// outlines), so the spreading copies draw crisp lines of light. A studio lit
// everywhere (violet sky, teal wall, gold glow) gave each copy a lit body,
// and the copies stacked into one violet fog in which no knot could be seen.
Image violetChrome() {
    return sphereMap([](Direction d) {
        const float up = d.y;
        // Deep violet walls, lightest behind the viewer where the knots'
        // fronts look, over a floor that falls to black before the shell's
        // part straight below.
        const Colour wall = mix(Colour{0.03f, 0.025f, 0.09f}, Colour{0.13f, 0.08f, 0.32f},
                                smoothstep(-0.2f, 0.8f, d.z));
        Colour studio =
            up > 0 ? mix(wall, Colour{0.02f, 0.02f, 0.07f}, smoothstep(0.1f, 0.7f, up))
                   : mix(wall, Colour{0.004f, 0.003f, 0.012f}, smoothstep(0.0f, 0.35f, -up));
        // Lines some four texels wide: narrower ones broke into dashes in
        // the trail's 256 square picture.
        const auto line = lightLine;
        // The horizon: a white-hot line along every tube's side in a violet
        // glow.
        studio += Colour{0.95f, 0.95f, 1.0f} * line(up, 0.06f) +
                  Colour{0.6f, 0.25f, 0.9f} * (0.45f * line(up, 0.16f));
        // Two upright ice-blue strips behind the viewer, mirrored by the
        // fronts of tubes that run across the knot, and a violet ring of
        // light overhead.
        const float ahead = smoothstep(0.1f, 0.4f, d.z) * (1 - smoothstep(0.55f, 0.75f, up)) *
                            smoothstep(-0.45f, -0.25f, up);
        const float strips = line(d.x - 0.42f, 0.07f) + line(d.x + 0.3f, 0.06f);
        studio += Colour{0.5f, 0.78f, 1.0f} * (0.9f * strips * ahead);
        studio += Colour{0.8f, 0.42f, 1.0f} * (0.85f * line(up - 0.62f, 0.07f));
        // One small hot key for a glint on each knot.
        studio += grey(softbox(d, {0.55f, 0.55f, 0.3f}, 0.14f, 0.06f));
        // A knot's silhouette samples the outermost ring all the way round:
        // one hue there, or the tubes get rainbow outlines. It is bright, so
        // every tube is edged in violet-blue light.
        const float rim = std::sqrt(clamp01((1 - d.z) / 2));
        return mix(studio, Colour{0.5f, 0.45f, 1.0f}, smoothstep(0.86f, 0.95f, rim));
    });
}

// The swarm's sky sphere is drawn around the camera, and a sphere seen from
// its centre always shows the same part of its sphere map at the same place
// on screen, however it turns. So this map is a painting of the whole frame
// laid into that part (the middle half of the map, upside down and mirrored
// by the reflection): a twilight glow along the bottom under dark cloud banks
// lit from below, violet above and a deep night with the first stars
// over the top half. Its bright band stays low and narrow, so the additive
// butterflies carry the light.
struct SkyFrame {
    float x, y; // place on the swarm's picture, -1..1, y up
};

SkyFrame skyFrameAt(float s, float t) {
    // Eye direction that reflects into this texel of the centre of the map,
    // then its place in the 45 degree, 4:3 view.
    const float ux = 1 - 2 * s, uy = 1 - 2 * t;
    const float uz = std::sqrt(std::max(0.05f, 1 - ux * ux - uy * uy));
    return {ux / uz / 0.5523f, uy / uz / 0.4142f};
}

// The sky sphere is lit by the light the previous section leaves in the
// off-screen context: ambient gives every texel about 0.38 of itself, and a
// diffuse lobe lifts the lower left of the frame to full (measured from the
// frames; the sphere faces outward, so its normals run along the lines of
// sight and the lobe falls where the dusk glow is). The render is what the
// screen should show, so each texel is divided by the light it gets there.
constexpr float kSkyAmbient = 0.38f;
constexpr float kSkyDiffuse = 2.0f;
constexpr Direction kSkyLight{0.637f, 0.766f, 0.089f};

float skyLightAt(SkyFrame f) {
    const float x = f.x * 0.5523f, y = f.y * 0.4142f;
    const float along =
        (kSkyLight.z - x * kSkyLight.x - y * kSkyLight.y) / std::sqrt(x * x + y * y + 1);
    return std::min(1.0f, kSkyAmbient + kSkyDiffuse * std::max(0.0f, along));
}

Image duskSky() {
    // Ray-traced offline (tools/render/dusk_sky.pov) as the swarm's camera
    // frames it; each texel of the map's middle shows the place of the
    // frame it reflects into.
    const Image frame = renderedPicture("dusk_sky.png", 640, 480);
    Image image(512, 512);
    image.shadeSupersampled(2, [&frame](float s, float t) {
        const SkyFrame f = skyFrameAt(s, t);
        // The sky sphere sits off the eye, so as it turns the frame slides
        // by up to about a third of itself: beyond its edges the picture
        // goes on as its own mirror image, which has no seam.
        const auto fold = [](float x) {
            const float a = std::abs(x);
            return a <= 1 ? x : std::copysign(std::max(0.0f, 2 - a), x);
        };
        const Colour shown = frame.sampleClamped(0.5f + 0.5f * fold(f.x), 0.5f + 0.5f * fold(f.y));
        Colour lit = shown * (1 / skyLightAt(f));
        // Where the render asks for more than the light gives, dim the texel
        // as a whole: clipping each channel on its own turned warm glow grey.
        const float peak = std::max({lit.r, lit.g, lit.b});
        if (peak > 1) {
            lit = lit * (1 / peak);
        }
        // Far beyond the frame the map is never seen; it falls to the night.
        const float outside = smoothstep(1.7f, 1.95f, std::max(std::abs(f.x), std::abs(f.y)));
        return mix(lit, Colour{0.01f, 0.012f, 0.04f}, outside);
    });
    return image;
}

// The blobby surface's skin (looked up by its coarse per-vertex normals): a
// ray-traced mirror ball (tools/render/liquid_chrome.pov) in a dark studio
// with a few large soft light panels in the swarm's dusk colours and a
// bright horizon line. Late on the drops float alone on a cleared screen
// and their skin is the whole picture: bold lights beside deep reflections
// read as chrome, where an even dusk read as soft purple plastic, and a thin
// hot horizon over a near-black band drew the coarse triangles as steps.
// Directions behind the object (the map's rim) dim to about 0.4, a soft
// outline that hides the silhouette's steps. Falling to black, the rim of
// a drop in front of another drew a black crack across it, and where the
// grid cuts a drop open its inside, seen by those normals, a black notch.
// The surface's normals are coarse and its texture coordinates run straight
// across each triangle, so every small sharp feature of the map (the lit
// cloud rims, the horizon's glints) was drawn as a stepped, faceted ledge
// across the drops' waists: the map is softened by some two texels, which
// keeps its broad light and dark and lets each triangle take a smooth ramp.
constexpr int kChromeSoftening = 2;

Image liquidChrome() {
    Image image = blurred(renderedPicture("liquid_chrome.png", 256, 256), kChromeSoftening);
    image.apply([](Colour c, float s, float t) {
        const float behind = smoothstep(-0.2f, -0.9f, reflectedAt(s, t).z);
        return c * (1 - 0.6f * behind);
    });
    return image;
}

// The creature's skin, seen through its eye-space normal: a glass cell with
// a light inside. The face toward the viewer is the hot core, the same warm
// white as the flare drawn over it, so the opaque body continues the flare
// instead of hiding its middle; round it a clear deep-blue shell with a thin
// inner membrane, the night mirrored toward the rim, a cyan-white Fresnel edge and a sharp window
// glint. The map stays put as the body turns, so it holds no pattern that should roll.
Colour creatureSkinAt(float s, float t) {
    const float x = 2 * s - 1, y = 2 * t - 1;
    const float rho2 = std::min(1.0f, x * x + y * y);
    const float rho = std::sqrt(rho2);
    const float grazing = 1 - std::sqrt(1 - rho2);
    const Colour core = Colour{1.0f, 0.9f, 0.7f} * (1.1f * std::exp(-rho2 / 0.045f)) +
                        Colour{1.0f, 0.55f, 0.22f} * (0.9f * std::exp(-rho2 / 0.2f));
    // Light from the core scatters in the glass: violet round it, deep blue out.
    const Colour shell = Colour{0.04f, 0.1f, 0.26f} * (0.6f + 0.8f * rho) +
                         Colour{0.45f, 0.3f, 0.75f} * (0.3f * std::exp(-rho2 / 0.35f));
    const float membrane = std::exp(-std::pow((rho - 0.62f) / 0.035f, 2.0f));
    const Colour inner = Colour{0.5f, 0.85f, 1.0f} * (0.3f * membrane);
    // Toward the rim the glass mirrors the night: a cool moonlit blue, paler
    // above (the sky) than below (the sea), rising smoothly. A thin-film
    // sheen cycling through rose, violet and cyan read as a cheap rainbow
    // ring on the big bodies near the frame's edges.
    const float sky = 0.8f + 0.3f * y;
    const Colour sheen = Colour{0.26f, 0.36f, 0.7f} * (0.75f * sky * std::pow(grazing, 1.3f));
    const Colour edge = Colour{0.75f, 0.95f, 1.0f} * std::pow(grazing, 5.0f);
    const float window =
        std::exp(-std::pow((x + 0.38f) / 0.09f, 2.0f) - std::pow((y - 0.42f) / 0.06f, 2.0f));
    const float glint = std::exp(-((x - 0.3f) * (x - 0.3f) + (y + 0.45f) * (y + 0.45f)) / 0.004f);
    return core + shell + inner + sheen + edge + grey(0.95f * window + 0.5f * glint);
}

Image tvScreen() {
    Image image(256, 256);
    image.shadeSupersampled(2, creatureSkinAt);
    return image;
}

} // namespace

std::vector<TextureRecipe> sphereMapTextures() {
    return {
        {"envmap55.png", coolChromeSky},
        {"envmap2.png", tunnelSkin},
        {"blend5.png", violetChrome},
        {"blend44.png", duskSky},
        {"envmap5.png", liquidChrome},
        {"tvfilter4.png", tvScreen},
        // Ray-traced offline (tools/render/raytracer.pov): rippled dark ink seen
        // from above, added onto the surface, so its light is only in the sheen.
        {"raytracer.png", [] { return renderedPicture("raytracer.png", 256, 256); }},
    };
}

} // namespace assetgen
