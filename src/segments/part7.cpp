#include "segments/part7.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <vector>

#include <GL/gl.h>
#include <GL/glu.h>

#include "anim/timing.h"
#include "anim/vector_ops.h"
#include "gfx/drawing.h"
#include "gfx/random.h"
#include "gfx/sprite_batch.h"
#include "segments/jellyfish.h"

part7 part7Object;

namespace {

using namespace gfx;
using segments::SmallJellyfishLook;
using segments::TentacledJellyfishLook;

// ---------------------------------------------------------------- tuning
constexpr int kWaterTexture = 8001;
constexpr int kSkyTexture = 8002;
constexpr int kSpriteTexture = 8003;
constexpr int kBackdropTexture = 8004;
constexpr int kNebulaTexture = 8005;
constexpr int kDeepSpaceTexture = 8006;
constexpr int kBeamTexture = 8007;
constexpr int kSmallGlowTexture = 8008;
constexpr int kBodyTexture = 8009;
constexpr int kWobbleTexture = 8010;
constexpr int kDomeTexture = 8011;
constexpr int kPictureTexture = 8012;
constexpr int kWaterList = 8001;
constexpr int kDomeList = 8002;
constexpr int kBodyList = 8003;

constexpr double kFieldOfView = 62.0;
constexpr double kSceneAspect = 1.3333333333333333;
constexpr double kNear = 0.01;
constexpr double kFar = 174.0;
constexpr double kStarRadius = 34.0;
constexpr double kTwoPi = 6.2831853;
constexpr double kRingTurn = 6.2831852;
constexpr double kPi = 3.14159265358979323846;
constexpr double kFloorSpritesPerUnit = 1800.0;
constexpr double kMedusaStart = 220.0;
constexpr double kMedusaEnd = 640.0;
constexpr double kSwarmStart = 300.0;
constexpr double kSwarmEnd = 650.0;
constexpr double kColumnStart = 630.0;
constexpr double kPictureStart = 140.0;
constexpr double kPictureEnd = 535.0;
constexpr double kColumnSize = 1.6;
// How far a jellyfish reaches from its centre: a small one's glow (3 x its
// size 0.4, nudged by 0.36, across the diagonal); a column jellyfish's
// tentacles (24 units down, 10 out) and its glow (16 across the diagonal).
constexpr double kRiserReach = 2.2;
constexpr double kColumnReach = 26.0;
// The scene camera's circle: its radius, and how much wider it grows over
// which keys after the medusa.
constexpr double kEyeRadius = 18.0;
constexpr double kEyeWidening = 7.0;
constexpr double kEyeWidenFrom = 33.0;
constexpr double kEyeWidenKeys = 2.0;
constexpr float kLightPosition[4] = {1.0f, 0.0f, 1.0f, 0.0f};
constexpr float kSkyAmbient[4] = {0.3f, 0.3f, 0.3f, 1.0f};
constexpr float kSkyDiffuse[4] = {0.8f, 0.5f, 0.5f, 1.0f};
constexpr float kWhiteAmbient[4] = {1.0f, 1.0f, 1.0f, 1.0f};
constexpr TexGenPlanes kWaterPlanes{{0.0f, 0.4f, 0.0f, 0.5f}, {0.1f, 0.0f, 0.0f, 0.5f}};
constexpr TexGenPlanes kSkyPlanes{{0.0f, 0.012f, 0.0f, 0.5f}, {0.012f, 0.0f, -0.006f, 0.5f}};
// The backdrop and the nebulae show their picture upside down.
constexpr TexRect kFlippedPicture{0.0f, 1.0f, 1.0f, 0.0f};
constexpr TVector kSpriteCentre{-1.0, -0.3, 1.0, 1};

const TentacledJellyfishLook kDeepSeaJellyfish{
    kBodyList, kBodyTexture, kBeamTexture, true, {1.0f, 1.0f, 1.0f, 1.0f}, 0.0};
const SmallJellyfishLook kRisingJellyfish{kBodyList, kBodyTexture, kSmallGlowTexture, 1.0,
                                          0.3,       0.5,          {0.5f, 0.2f, 0.1f}};

// While the fish hold the medusa's shape (keys 24-30, about 212-220 s) the
// eye leaves its circle for a place some nine units off the animal's side and
// a little below it, and the view centres on it: from the circle, 25 units
// off, the medusa was a small figure in one corner. From there its bell and
// tentacles fill about half the view and the dome glows behind, to one side.
constexpr double kCloseUpFrom = 19.0;
constexpr double kCloseUpFull = 24.0;
constexpr double kCloseUpHold = 30.0;
constexpr double kCloseUpUntil = 32.0;
constexpr double kCloseUpDistance = 9.0;
constexpr double kCloseUpBelow = 2.0;
constexpr double kMedusaAxisX = 0.0;
constexpr double kMedusaAxisZ = -10.0;
// From the bell's crown to the middle of the tentacles' length.
constexpr double kMedusaMiddleDrop = 3.0;

double smoothStep(double x) {
    x = std::clamp(x, 0.0, 1.0);
    return x * x * (3.0 - 2.0 * x);
}

double blend(double a, double b, double w) {
    return a + (b - a) * w;
}

TVector blendKeys(const TVector& a, const TVector& b, double w) {
    return makeKey(blend(a.x, b.x, w), blend(a.y, b.y, w), blend(a.z, b.z, w));
}

// The giant medusa's crown sinks steadily while it shows (q = t - 220); the
// fish bell and the close-up camera both hang off it.
double medusaCrownHeight(double q) {
    return 34.0 - 0.15 * q;
}

} // namespace

double medusaCloseUpWeight(int key) {
    return smoothStep((key - kCloseUpFrom) / (kCloseUpFull - kCloseUpFrom)) *
           (1.0 - smoothStep((key - kCloseUpHold) / (kCloseUpUntil - kCloseUpHold)));
}

TVector medusaMiddleAtKey(int key) {
    // The path parameter is 0.05 t + 1, so key k falls at t = 20 (k - 1).
    const double q = 20.0 * (key - 1) - kMedusaStart;
    return makeKey(kMedusaAxisX, medusaCrownHeight(q) + kMedusaMiddleDrop, kMedusaAxisZ);
}

namespace {

// Scene camera, 51 keys: eye, centre, up (up is -y throughout: the deep lies
// towards +y). The eye leaves the water's edge, then circles wide around the
// place where the medusa and its fish form, on curves between y = -12 and 0,
// comes in close while the medusa hangs in its fish, and comes to rest just
// above the floor.
TVector circlingEye(int key) {
    static constexpr double kOpening[8][3] = {{-0.3, -0.6, 0}, {-0.3, -0.6, 0}, {-0.3, -0.9, 0},
                                              {-0.3, -1.6, 0}, {-2.3, -2.6, 0}, {-4.3, -2.6, 0},
                                              {-7.3, 1, 0},    {-3.3, -1, 3}};
    if (key < 8) {
        return makeKey(kOpening[key][0], kOpening[key][1], kOpening[key][2]);
    }
    const double a = 0.5 + 0.06 * (key - 8);
    const double y = key == 49   ? -1.85
                     : key == 50 ? -1.9
                                 : -6.0 + 5.5 * std::sin(0.23 * (key - 8) + 0.5);
    // Once the medusa has gone the eye widens its circle, so the column's
    // jellyfish pass some eleven units off or more instead of five, where their
    // tentacles slashed across the view as broad bands.
    const double widen = std::clamp((key - kEyeWidenFrom) / kEyeWidenKeys, 0.0, 1.0);
    const double radius = kEyeRadius + kEyeWidening * widen * widen * (3.0 - 2.0 * widen);
    return makeKey(radius * std::cos(a) - 6.0, y, radius * std::sin(a) - 3.0);
}

TVector cameraEye(int key) {
    const double w = key < 8 ? 0.0 : medusaCloseUpWeight(key);
    if (w <= 0.0) {
        return circlingEye(key);
    }
    const TVector middle = medusaMiddleAtKey(key);
    const TVector close = makeKey(middle.x + kCloseUpDistance,
                                  std::clamp(middle.y + kCloseUpBelow, -12.0, 0.0), middle.z);
    return blendKeys(circlingEye(key), close, w);
}

TVector followedCentre(int key) {
    // From key 17 the view turns to the fish gathering below, follows the
    // giant medusa down and away, then settles on the floor.
    static constexpr double kFollow[24][3] = {
        {-4, 10, -6},     {-7, 8, -3},    {-10, 6, 0},     {-9, 3, -3},        {-8, 0, -5},
        {-9, -3, -5},     {-11, -6, -4},  {-13, -9, -3},   {-14, -11, -2},     {-15, -12, -2},
        {-16, -13, -1.5}, {-17, -14, -1}, {-17, -15, -1},  {-17.5, -16, -0.5}, {-18, -17, 0},
        {-18, -18, 0},    {-14, -14, 0},  {-10, -10, 0},   {-7, -7.5, 0},      {-5, -5, 0},
        {-4, -4, 0},      {-3, -3.2, 0},  {-2.5, -2.8, 0}, {-2.2, -2.6, 0}};
    if (key < 3) {
        return makeKey(-0.4, 0.0, 0.0);
    }
    if (key == 3) {
        return makeKey(-0.2, 0.0, 0.0);
    }
    if (key < 17) {
        return makeKey(0.0, 0.0, 0.0);
    }
    if (key < 41) {
        const double* c = kFollow[key - 17];
        return makeKey(c[0], c[1], c[2]);
    }
    return makeKey(-2.0, -2.5, 0.0);
}

TVector cameraCentre(int key) {
    const double w = medusaCloseUpWeight(key);
    if (w <= 0.0) {
        return followedCentre(key);
    }
    return blendKeys(followedCentre(key), medusaMiddleAtKey(key), w);
}

// Control keys g0, g1, g2 (see Part7Controls), one row per key.
struct ControlKey {
    double g0[3];
    double g1[3];
    double g2[3];
};
constexpr ControlKey kControlKeys[kPart7PathKeys] = {
    {{0, 0, 0}, {0, 0, 0}, {0, 1, 0}},         {{0, 0, 0}, {0, 0, 0}, {0, 1, 0}},
    {{0, 0, 0}, {0, 0, 0}, {0, 1, 0}},         {{0, 0, 0}, {0, 0, 0}, {0, 1, 0}},
    {{0, 0, 0}, {0, 0, 0}, {0, 1, 0}},         {{0, 0, 0}, {0, 0, 0}, {0, 1, 0}},
    {{0, 0, 0}, {0, 0, 0}, {0, 1, 0}},         {{0, 0, 0}, {0, 0, 0}, {0, 1, 0}},
    {{0, 0, 0}, {0, 0, 0}, {0, 1, 0}},         {{0, 0, 0}, {0, 0, 0}, {0, 1, 0}},
    {{0, 0, 0}, {0, 0, 0}, {0, 1, 0}},         {{0, 0, 0}, {3, 3, 0}, {0, 1, 0}},
    {{0, 0, 0}, {3, 3, 0}, {0.5, 0.7, 0}},     {{0, 0.2, 0}, {3, 3, 0}, {1, 0.5, 0}},
    {{0, 0.4, 0}, {3, 3, 0}, {1, 0.3, 0}},     {{0, 0.2, 0}, {3, 3, 0}, {0.5, 0.1, 0}},
    {{0, 0, 0}, {3, 3, 0}, {0, 0.1, 0}},       {{0, 0, 0}, {0, 0, 0}, {0, 0.3, 0}},
    {{0, 0, 0}, {0, 0, 0}, {0, 0.4, 0}},       {{0, 0, 0}, {3, 3, 0}, {0.3, 0.5, 0}},
    {{0, 0.1, 0}, {3, 3, 0}, {0.5, 0.5, 0}},   {{0.2, 0.2, 0}, {3, 3, 0}, {0.8, 0.4, 0}},
    {{0.5, 0.35, 0}, {3, 3, 0}, {1, 0.4, 0}},  {{0.8, 0.5, 0}, {3, 3, 0}, {1, 0.3, 0}},
    {{1.2, 0.65, 0}, {3, 3, 0}, {1, 0.3, 0}},  {{1.6, 0.8, 0}, {3, 3, 0}, {0.8, 0.4, 0}},
    {{2, 0.9, 0}, {3, 3, 0}, {0.5, 0.5, 0}},   {{2.4, 1, 0}, {3, 3, 0}, {0.3, 0.6, 0}},
    {{2.9, 1, 0}, {3, 3, 0}, {0, 0.6, 0}},     {{2.9, 0.9, 0}, {3, 3, 3}, {0, 0.5, 0}},
    {{2.6, 0.8, 0}, {3, 3, 3}, {0, 0.5, 0}},   {{2.4, 0.8, 0.2}, {3, 3, 3}, {0, 0.4, 0}},
    {{2.2, 0.8, 0.8}, {3, 3, 3}, {0, 0.4, 0}}, {{2, 0.7, 0.2}, {3, 3, 3}, {0, 0.3, 0}},
    {{1.9, 0.6, 0}, {3, 3, 3}, {0, 0.3, 0}},   {{1.9, 0, 0}, {3, 3, 3}, {0, 0.4, 0}},
    {{1.9, 0.1, 0}, {3, 0, 0}, {0.5, 0.4, 0}}, {{1.9, 0.2, 0}, {3, 0, 0}, {1, 0.5, 0}},
    {{1.9, 0.3, 0}, {3, 0, 0}, {1, 0.5, 0}},   {{1.9, 0.4, 0}, {3, 0, 0}, {1, 0.6, 0}},
    {{1.9, 0.5, 0}, {3, 0, 0}, {1, 0.6, 0}},   {{1.9, 0.6, 0}, {3, 0, 0}, {1, 0.5, 0}},
    {{1.9, 0.6, 0}, {3, 0, 0}, {1, 0.5, 0}},   {{1.9, 0.6, 0}, {3, 0, 0}, {1, 0.4, 0}},
    {{1.9, 0.6, 0}, {3, 0, 0}, {1, 0.4, 0}},   {{1.9, 0.6, 0}, {3, 0, 0}, {1, 0.3, 0}},
    {{1.9, 0.6, 0}, {3, 0, 0}, {1, 0.3, 0}},   {{1.9, 0.6, 0}, {3, 0, 0}, {1, 0.4, 0}},
    {{1.9, 0.6, 0}, {3, 0, 0}, {1, 0.4, 0}},   {{1.9, 0.6, 0}, {3, 0, 0}, {1, 0.5, 0}},
    {{1.9, 0.6, 0}, {3, 0, 0}, {1, 0.5, 0}},
};

// Tile opacity (x five times over) along its 14 keys: dark, flying in,
// held, fading. Key 5 is hidden by track 1 for a moment.
constexpr double kTileOpacity[kPart7TileKeys] = {0, 0, 0, 0, 1, 3, 5, 5, 5, 5, 5, 4, 2, 1};
constexpr int kTileHiddenKey = 5;
constexpr double kTileHidden = 10.0;
// Keys where a tile is still in flight: offset and spin. Only while it is
// dark (opacity 0), so it flies in unseen and sits in place while it shows:
// a bright tile off its place leaves a black seam across the picture, and a
// tile that turned as it faded out (on the last key) was stretched toward
// the camera into a flat grey slab. The picture leaves by fading in place.
constexpr bool kTileInFlight[kPart7TileKeys] = {false, false, true,  true,  false, false, false,
                                                false, false, false, false, false, false, false};
// ----------------------------------------------------------------

double drawFraction(int modulus, double scale) {
    return randomBelow(modulus) * scale;
}

void buildTiles(part7& self) {
    for (auto& row : self.tiles) {
        for (Router& tile : row) {
            tile.clearTracks();
            tile.usedTrackCount = 3;
        }
    }
    for (auto& row : self.tiles) {
        for (Router& tile : row) {
            for (int k = 0; k < kPart7TileKeys; ++k) {
                double sideways = 0.0;
                double spin = 0.0;
                if (kTileInFlight[k]) {
                    sideways = drawFraction(1000, 0.2 * 0.001);
                    spin = drawFraction(1000, 0.2 * 0.001);
                }
                tile.tracks[0].push_back(makeKey(kTileOpacity[k], sideways, spin));
                tile.tracks[1].push_back(makeKey(k == kTileHiddenKey ? kTileHidden : 0.0, 0, 0));
                tile.tracks[2].push_back(makeKey(0.0, 0.0, 0.0));
            }
            tile.keyCount = kPart7TileKeys;
        }
    }
}

void buildStars(part7& self) {
    for (int i = 0; i < kPart7Stars; ++i) {
        const double first = randomBelow(10000) - 5000;
        const double second = randomBelow(10000) - 5000;
        const double third = randomBelow(10000) - 5000;
        TVector p = makeKey(third, second, first);
        normalise(p);
        scale(p, kStarRadius, self.starPoints[i]);
        self.starSize[i] = randomBelow(2) + 1;
    }
}

void buildColumn(part7& self) {
    for (int d = 0; d < kPart7ColumnJellyfish; ++d) {
        self.column[d] =
            makeKey(4.0 * std::cos(1.4 * d) + 1.0, 7.0 * d, 4.0 * std::sin(1.4 * d) - 1.0);
    }
}

void buildRisers(part7& self) {
    for (int k = 0; k < kPart7Risers; ++k) {
        const double rho = drawFraction(10000, 8.0 * 0.0001);
        const double alpha = drawFraction(10000, 0.0001 * kTwoPi);
        self.risers[k] =
            makeKey(rho * std::cos(alpha), 0.4 * k + 30.0, rho * std::sin(alpha) - 10.0);
        self.riserSize[k] = 0.4;
    }
}

// Fish e swims between circles (set by its number) and scattered points
// around the place where the medusa will form; its last key is the medusa.
void buildFishPath(Router& path, int e) {
    const double a1 = 16.28 * e / 550.0;
    const double a2 = 12.56 * e / 550.0;
    const double a3 = 6.28 * e / 550.0;
    const double a4 = 18.84 * e / 550.0;
    auto scattered = [](double cx, double cy, double cz) {
        const double x = cx + 1.0 - drawFraction(10000, 0.0002);
        const double y = cy - 4.0 - drawFraction(10000, 0.0005);
        const double z = cz + 5.0 - drawFraction(10000, 0.001);
        return makeKey(x, y, z);
    };
    auto brightness = []() { return makeKey(0.4 + drawFraction(100, 0.004), 0.0, 0.0); };
    path.clearTracks();
    path.usedTrackCount = 3;
    const TVector place[kPart7FishKeys] = {
        makeKey(7.0 * std::cos(a1), 8.0, 7.0 * std::sin(a1)),
        scattered(0.0, 0.0, 0.0),
        makeKey(5.0 * std::cos(a2) - 3.0, 4.0, 5.0 * std::sin(a2) - 4.0),
        scattered(-8.0, 6.0, -2.0),
        makeKey(7.0 * std::cos(a3) - 4.0, 0.0, 7.0 * std::sin(a3) - 5.0),
        makeKey(drawFraction(10000, 0.0002) - 8.0, 8.0 - drawFraction(10000, 0.0005),
                drawFraction(10000, 0.0002) - 8.0),
        makeKey(4.0 * std::cos(a4), 6.0, 3.0 * std::sin(a4) + 8.0),
        scattered(-4.0, 8.0, -6.0),
        makeKey(7.0 * std::cos(a1) - 5.0, 8.0, 7.0 * std::sin(a1) - 5.0),
        scattered(0.0, 14.0, -12.0),
        makeKey(5.0 * std::cos(a2), 6.0, 5.0 * std::sin(a2) - 10.0),
        scattered(0.0, 14.0, -14.0),
        makeKey(3.0 * std::cos(a4), 8.0, 3.0 * std::sin(a4) - 10.0),
        makeKey(0.0, 0.0, 0.0), // the medusa, written every frame
    };
    for (int k = 0; k < kPart7FishKeys; ++k) {
        path.tracks[0].push_back(place[k]);
        const bool dark = k < 2;
        path.tracks[1].push_back(dark                      ? makeKey(0.0, 0.0, 0.0)
                                 : k == kPart7FishKeys - 1 ? makeKey(1.0, 1.0, 1.0)
                                                           : brightness());
        path.tracks[2].push_back(makeKey(0.0, 0.0, 0.0));
    }
    path.keyCount = kPart7FishKeys;
}

void buildFloorSprites(part7& self) {
    for (int m = 0; m < kPart7FloorSpritesFilled; ++m) {
        const double alpha = drawFraction(10000, 0.0001 * kTwoPi);
        const double rho = drawFraction(10000, 0.0001) + 1.6;
        self.floorSprites[m] = makeKey(rho * std::sin(alpha), rho * std::cos(alpha), rho);
    }
}

void buildControlPath(Router& path) {
    setUpClosedPath(path, 3, kPart7PathKeys, [](int k, int track) {
        const double* g = track == 0   ? kControlKeys[k].g0
                          : track == 1 ? kControlKeys[k].g1
                                       : kControlKeys[k].g2;
        return makeKey(g[0], g[1], g[2]);
    });
}

void buildCameraPath(Router& path) {
    setUpClosedPath(path, 3, kPart7PathKeys, [](int k, int track) {
        return track == 0 ? cameraEye(k) : track == 1 ? cameraCentre(k) : makeKey(0.0, -1.0, 0.0);
    });
}

// ---------------------------------------------------------------- passes

void beginFrame(double t) {
    glClearColor(static_cast<float>(std::sin(t)), 0.1f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glFogf(GL_FOG_DENSITY, 0.02f);
    glFogi(GL_FOG_MODE, GL_EXP2);
    glDisable(GL_FOG);
    glDisable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    glLightfv(GL_LIGHT0, GL_POSITION, kLightPosition);
    glEnable(GL_LIGHT0);
    glEnable(GL_LIGHTING);

    loadPerspective(kFieldOfView, kSceneAspect, kNear, kFar);
    // The passes below balance their pushes; a fresh matrix keeps whatever
    // ran before out of the view.
    glLoadIdentity();
    useObjectLinearGeneration(kWaterPlanes);
    enableTextureGeneration(true);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_DEPTH_TEST);
}

SpriteBatch& spriteBatch() {
    static SpriteBatch batch; // storage kept between frames
    return batch;
}

void drawSkyDome(const TextureTable& textures) {
    glLightfv(GL_LIGHT0, GL_POSITION, kLightPosition);
    setMaterialColoursNow(kSkyAmbient, kSkyDiffuse);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, kWhiteAmbient);
    setObjectLinearPlanes(kSkyPlanes);
    bindTexture(textures, kSkyTexture);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glDisable(GL_BLEND);
    glDisable(GL_LIGHTING);
    glDepthFunc(GL_LESS);
    glEnable(GL_DEPTH_TEST);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glPushMatrix();
    glCallList(kDomeList);
}

void drawStars(const part7& self, const TextureTable& textures) {
    glDisable(GL_LIGHTING);
    glColor3f(1.0f, 1.0f, 1.0f);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    bindTexture(textures, kSpriteTexture);
    glPushMatrix();
    enableTextureGeneration(false);
    SpriteBatch& batch = spriteBatch();
    batch.begin();
    for (int i = 0; i < kPart7StarsDrawn; ++i) {
        batch.add(self.starPoints[i], 0.1 * self.starSize[i]);
    }
    batch.draw();
    glPopMatrix();
}

// The backdrop closes the dome's push.
void drawBackdrop(const TextureTable& textures) {
    bindTexture(textures, kBackdropTexture);
    glPushMatrix();
    glTranslatef(-34.0f, 0.0f, 0.0f);
    glScalef(20.0f, -20.0f, 40.0f);
    glRotatef(90.0f, 1.0f, 0.0f, 0.0f);
    glRotatef(90.0f, 0.0f, 0.0f, 1.0f);
    glRotatef(90.0f, 1.0f, 0.0f, 0.0f);
    drawQuad(1.0f, 1.0f, kFlippedPicture);
    glPopMatrix();
    glPopMatrix();
}

// Depth first, then the coloured surface only where it is the nearest.
void drawWaterBody(const TextureTable& textures) {
    glEnable(GL_LIGHTING);
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    setObjectLinearPlanes(kWaterPlanes);
    enableTextureGeneration(true);
    bindTexture(textures, kWaterTexture);
    glClear(GL_DEPTH_BUFFER_BIT);
    glDepthFunc(GL_LESS);
    glDisable(GL_TEXTURE_2D);
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    glPushMatrix();
    glTranslatef(1.0f, 0.0f, 0.0f);
    glCallList(kWaterList);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_EQUAL);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glEnable(GL_TEXTURE_2D);
    glCallList(kWaterList);
    glPopMatrix();
    glDepthFunc(GL_LESS);
}

void drawNebulae(const part7& self, const TextureTable& textures, double t) {
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    enableTextureGeneration(false);
    glDisable(GL_LIGHTING);
    glDepthMask(GL_FALSE);
    for (int j = 0; j < 5; ++j) {
        glColor4f(0.32f, 0.32f, 0.32f, 0.74f);
        glPushMatrix();
        bindTexture(textures, kNebulaTexture);
        glTranslatef(
            -1.0f, static_cast<float>(0.02 * std::sin(j + 0.1 * t) + j * 0.02564102564102564 - 0.5),
            1.0f);
        const auto s = static_cast<float>(4.0 + 0.36 * (1.0 + 0.2 * j));
        glScalef(s, s, s);
        const TVector& p = self.starPoints[j];
        glRotatef(static_cast<float>(t * p.z * 0.045 + p.x), 0.0f, 1.0f, 0.0f);
        glRotatef(90.0f, 1.0f, 0.0f, 0.0f);
        drawQuad(1.0f, 1.0f, kFlippedPicture);
        glPopMatrix();
    }
}

// Whether something around a point of the scene, within `reach` of it, can
// show in the current view. Jellyfish out of view would only cost their
// meshes and glows.
class ViewTest {
public:
    void begin() {
        glGetDoublev(GL_MODELVIEW_MATRIX, modelview_);
        glGetDoublev(GL_PROJECTION_MATRIX, projection_);
    }

    bool mayShow(const TVector& p, double reach) const {
        double moved[16];
        std::copy(std::begin(modelview_), std::end(modelview_), std::begin(moved));
        for (int row = 0; row < 3; ++row) {
            moved[12 + row] = modelview_[row] * p.x + modelview_[4 + row] * p.y +
                              modelview_[8 + row] * p.z + modelview_[12 + row];
        }
        return sphereInFrustum(moved, projection_, reach);
    }

private:
    double modelview_[16] = {};
    double projection_[16] = {};
};

segments::Drawing drawingFor(bool inView) {
    return inView ? segments::Drawing::Shown : segments::Drawing::StateOnly;
}

void drawRisingSwarm(const part7& self, const TextureTable& textures, double t) {
    const int n = risingSwarmSize(t);
    ViewTest view;
    view.begin();
    for (int k = 0; k < n; ++k) {
        const TVector& start = self.risers[k];
        const TVector at = makeKey(start.x, start.y - (t - 230.0) * 0.15, start.z);
        segments::drawSmallJellyfish(textures, t, at, self.riserSize[k], riserStrength(t, k),
                                     kRisingJellyfish, drawingFor(view.mayShow(at, kRiserReach)));
    }
}

void drawJellyfishColumn(const part7& self, const TextureTable& textures, double t) {
    if (!(t > kColumnStart)) {
        return;
    }
    ViewTest view;
    view.begin();
    for (const TVector& start : self.column) {
        const ColumnJellyfish plan = planColumnJellyfish(start, t);
        TVector centre;
        scale(plan.position, kColumnSize, centre);
        if (plan.drawn) {
            segments::drawTentacledJellyfish(textures, t, plan.position, kColumnSize, plan.opacity,
                                             plan.opacity, kDeepSeaJellyfish, true,
                                             drawingFor(view.mayShow(centre, kColumnReach)));
        }
    }
}

void drawMedusaDome(const TextureTable& textures, double q) {
    const TexGenPlanes planes{{0.0f, 0.0f, 0.02f, static_cast<float>(std::sin(0.02 * q))},
                              {0.02f, 0.008f, 0.0f, static_cast<float>(std::cos(0.026 * q))}};
    useObjectLinearGeneration(planes);
    bindTexture(textures, kDomeTexture);
    glPushMatrix();
    glTranslatef(-10.0f, static_cast<float>(38.0 - 0.15 * q), 0.0f);
    glScalef(static_cast<float>(0.01 * std::sin(0.3 * q) + 0.11),
             static_cast<float>(0.01 * std::cos(0.3 * q) + 0.13),
             static_cast<float>(0.01 * std::sin(0.3 * q) + 0.11));
    glEnable(GL_BLEND);
    const double b = medusaDomeBrightness(q);
    glColor4f(0.0f, static_cast<float>(0.1 * b), static_cast<float>(0.2 * b), 0.3f);
    glBlendFunc(GL_ONE, GL_ONE);
    glEnable(GL_TEXTURE_2D);
    enableTextureGeneration(true);
    if (b > 0.0) { // black adds nothing: spare the fill while it is dark
        glCallList(kDomeList);
    }
    glPopMatrix();
    enableTextureGeneration(false);
}

void drawFishSwarm(const part7& self, const TextureTable& textures, double q) {
    glPushMatrix();
    bindTexture(textures, kSpriteTexture);
    glDisable(GL_DEPTH_TEST);
    glBlendFunc(GL_ONE, GL_ONE);
    TVector position, light, unused;
    SpriteBatch& batch = spriteBatch();
    batch.begin();
    for (int i = 0; i < kPart7FishDrawn; ++i) {
        self.fish[i].evaluate(fishPathParameter(i, q), position, light, unused);
        const double c = light.x;
        batch.add(position, 0.35);
        if (i > 200) {
            batch.colourLast(c, 0.5 * c, 0.2 * c);
        } else {
            batch.colourLast(0.3 * c, 0.6 * c, 0.8 * c);
        }
    }
    batch.draw();
    glPopMatrix();
}

void drawGiantMedusa(part7& self, const TextureTable& textures, double t) {
    if (!medusaVisible(t)) {
        return;
    }
    const double q = t - kMedusaStart;
    drawMedusaDome(textures, q);
    aimFishAtMedusa(self, q);
    drawFishSwarm(self, textures, q);
}

void drawCreatures(part7& self, const TextureTable& textures, double t) {
    glPushMatrix();
    drawRisingSwarm(self, textures, t);
    drawJellyfishColumn(self, textures, t);
    drawGiantMedusa(self, textures, t);
    glPopMatrix();
}

void drawFloorSprites(const part7& self, const TextureTable& textures, double t, double g2y) {
    glEnable(GL_DEPTH_TEST);
    bindTexture(textures, kSpriteTexture);
    glColor4f(0.5f, 0.5f, 0.5f, 1.0f);
    // Each sprite circles the floor's centre at its own pace, then faces the
    // viewer.
    SpriteBatch& batch = spriteBatch();
    batch.begin();
    const int count = floorSpriteCount(g2y);
    for (int j = 0; j < count; ++j) {
        const TVector& p = self.floorSprites[j];
        const double s = p.z;
        const float degrees = static_cast<float>((s * t - 0.01 * j * t) * 0.03);
        const double a = static_cast<double>(degrees) * (kPi / 180.0);
        const double x = p.x * std::cos(a) + p.y * std::sin(a);
        const double z = -p.x * std::sin(a) + p.y * std::cos(a);
        batch.add(kSpriteCentre.x + x, kSpriteCentre.y - 0.15, kSpriteCentre.z + z,
                  static_cast<float>((4.0 - s) * 0.02));
    }
    batch.draw();
}

void drawDeepSpace(const TextureTable& textures) {
    bindTexture(textures, kDeepSpaceTexture);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glPushMatrix();
    glTranslatef(static_cast<float>(kSpriteCentre.x), static_cast<float>(kSpriteCentre.y),
                 static_cast<float>(kSpriteCentre.z));
    faceViewer();
    glScalef(3.0f, 2.5f, 1.0f);
    drawUnitQuad();
    glPopMatrix();
}

void drawLightBeams(const TextureTable& textures, double t) {
    glDisable(GL_DEPTH_TEST);
    bindTexture(textures, kBeamTexture);
    glColor4f(0.5f, 0.5f, 0.5f, 1.0f);
    const int count = lightBeamCount(t);
    for (int k = 0; k < count; ++k) {
        glPushMatrix();
        glTranslatef(static_cast<float>(kSpriteCentre.x), static_cast<float>(kSpriteCentre.y),
                     static_cast<float>(kSpriteCentre.z));
        faceViewer();
        glScalef(4.0f, 2.0f, 1.0f);
        glRotatef(static_cast<float>(std::sin(2.0 * k) * 1.5 * t), 0.0f, 0.0f, 1.0f);
        drawUnitQuad();
        glPopMatrix();
    }
}

void drawSingleJellyfish(const TextureTable& textures, double t, const Part7Controls& c) {
    if (c.g1.x > 1.0) {
        segments::drawTentacledJellyfish(textures, t, makeKey(0.0, -5.0, 0.0), 0.3, c.g0.y, c.g2.x,
                                         kDeepSeaJellyfish);
    }
    if (c.g1.y > 1.0) {
        segments::drawTentacledJellyfish(textures, t, makeKey(0.0, -12.0, 0.0), 0.1, c.g0.y, c.g2.x,
                                         kDeepSeaJellyfish);
    }
}

// One layer of the caustic overlay: a 4 x 4 grid whose corners and texture
// coordinates wander with the clock.
void drawWobbleGrid(double t, int k) {
    const double o = 0.3 * k + 1.0;
    glBegin(GL_QUADS);
    for (int i = -2; i <= 1; ++i) {
        const double wu = 0.1 * std::sin(0.3 * t + 2 * i + 0.25 * k);
        const double wv = 0.1 * std::sin(0.3 * t + 2 * i + 2 + 0.25 * k);
        const auto z0 = static_cast<float>(0.1 * std::sin(o * i + 0.43 * t));
        const auto z1 = static_cast<float>(0.1 * std::sin(o * (i + 1) + 0.43 * t));
        const auto x0 = static_cast<float>(i / 2.0);
        const auto x1 = static_cast<float>((i + 1) / 2.0);
        for (int l = -2; l <= 1; ++l) {
            const double cu = 0.1 * std::cos(0.23 * t + l);
            const double cv = 0.1 * std::cos(0.23 * t + l + 1);
            const auto y0 = static_cast<float>(l / 2.0);
            const auto y1 = static_cast<float>((l + 1) / 2.0);
            glTexCoord2f(static_cast<float>((i + cu + 2) / 4),
                         static_cast<float>((l + wu + 2) / 4));
            glVertex3f(x0, y0, z0);
            glTexCoord2f(static_cast<float>((i + cu + 3) / 4),
                         static_cast<float>((l + wv + 2) / 4));
            glVertex3f(x1, y0, z1);
            glTexCoord2f(static_cast<float>((i + cv + 3) / 4),
                         static_cast<float>((l + wv + 3) / 4));
            glVertex3f(x1, y1, z1);
            glTexCoord2f(static_cast<float>((i + cv + 2) / 4),
                         static_cast<float>((l + wu + 3) / 4));
            glVertex3f(x0, y1, z0);
        }
    }
    glEnd();
}

void drawWobbleOverlay(const TextureTable& textures, double t, const Part7Controls& c) {
    glColor4f(1.0f, 1.0f, 1.0f, static_cast<float>(0.2 * c.g0.y));
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    bindTexture(textures, kWobbleTexture);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    // Without alpha the layers add nothing.
    if (!(c.g1.z > 1.0) || !(c.g0.y > 0.0)) {
        return;
    }
    for (int k = 0; k < 5; ++k) {
        glPushMatrix();
        glTranslatef(static_cast<float>((k - 2) * c.g0.x * 0.02), 0.0f, 0.0f);
        const double m = k * c.g0.z * 0.1 + 1.0;
        glScalef(static_cast<float>(1.4 * m), static_cast<float>(m), 1.0f);
        glRotatef(static_cast<float>(4 * k * c.g0.z), 0.0f, 0.0f, 1.0f);
        drawWobbleGrid(t, k);
        glPopMatrix();
    }
}

// The single jellyfish and the overlay hang in front of a fixed camera.
void drawFrontLayer(const TextureTable& textures, double t, const Part7Controls& c) {
    glDisable(GL_DEPTH_TEST);
    glPushMatrix();
    glLoadIdentity();
    gluLookAt(0.0, 0.0, 1.45, 0.0, 0.0, 0.0, 0.0, -1.0, 0.0);
    drawSingleJellyfish(textures, t, c);
    drawWobbleOverlay(textures, t, c);
    glPopMatrix();
}

void drawTilePicture(const part7& self, const TextureTable& textures, double t) {
    if (!tilePictureVisible(t)) {
        return;
    }
    bindTexture(textures, kPictureTexture);
    glPushMatrix();
    glLoadIdentity();
    const double m = (t - kPictureStart) * 0.0112 - 1.15;
    gluLookAt(m, 0.75, 2.3, m, 0.75, 0.0, 0.0, 1.0, 0.0);
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glDisable(GL_DEPTH_TEST);
    glScalef(1.3333334f, 1.0f, 1.0f);
    for (int o = -3; o <= 4; ++o) {
        for (int k = -5; k <= 4; ++k) {
            glPushMatrix();
            const TileState tile = planTile(self, o, k, t);
            glColor4f(1.0f, 1.0f, 1.0f, static_cast<float>(tile.alpha));
            if (tile.alpha > 0.01) {
                glTranslatef(static_cast<float>(0.2 * (k + 1) + tile.sideways),
                             static_cast<float>(0.2 * (o + 1)), 0.0f);
                glScalef(0.1f, 0.1f, 1.0f);
                glRotatef(static_cast<float>(250.0 * tile.spin), 0.2f, 0.7f, 1.0f);
                const TexRect part{
                    static_cast<float>((k + 5) * 0.1), static_cast<float>((o + 5) * 0.1),
                    static_cast<float>((k + 6) * 0.1), static_cast<float>((o + 6) * 0.1)};
                drawQuad(1.0f, 1.0f, part);
            }
            glPopMatrix();
        }
    }
    glPopMatrix();
}

} // namespace

// ---------------------------------------------------------------- planning

double remapTimeForCue(double t, std::int32_t cue) {
    if (cue == 2) {
        return 520.0 - t;
    }
    if (cue == 3 || cue == 4) {
        return 1000.0 - t;
    }
    return t;
}

double part7PathParameter(double t) {
    return 0.05 * t + 1.0;
}

Part7Controls evaluateControls(const part7& self, double t) {
    Part7Controls c;
    self.control7.evaluate(part7PathParameter(t), c.g0, c.g1, c.g2);
    return c;
}

int floorSpriteCount(double g2y) {
    const double wanted = kFloorSpritesPerUnit * g2y;
    if (!(wanted > 0.0)) {
        return 0;
    }
    // Sprites j = 0, 1, ... while j < wanted.
    return static_cast<int>(std::min(std::ceil(wanted), static_cast<double>(kPart7FloorSprites)));
}

int risingSwarmSize(double t) {
    if (!(t > kSwarmStart && t < kSwarmEnd)) {
        return 0;
    }
    // Four more per unit of time, counted in quarter units.
    return std::clamp(static_cast<int>(4.0 * t) - 1200, 0, kPart7Risers);
}

double riserStrength(double t, int k) {
    const double fadeIn = std::min((t - kSwarmStart) * 0.02, 1.0);
    return (0.5 * std::sin(0.2 * t + 0.5 * k) + 0.6) * fadeIn;
}

ColumnJellyfish planColumnJellyfish(const TVector& start, double t) {
    ColumnJellyfish plan;
    const double y = start.y - (t - kColumnStart) * 0.3;
    if (!(y > -50.0 && y < 1.0)) {
        return plan;
    }
    plan.drawn = true;
    plan.position = makeKey(start.x - 5.0, y, start.z + 5.0);
    plan.opacity = 1.0;
    if (y > -5.0) {
        plan.opacity = 0.2 * (1.0 - y);
    } else if (y > -15.0) {
        plan.opacity = (y + 17.0) * 0.5;
    }
    return plan;
}

int lightBeamCount(double t) {
    return t > 40.0 ? 4 : 5;
}

bool medusaVisible(double t) {
    return t > kMedusaStart && t < kMedusaEnd;
}

double medusaDomeBrightness(double q) {
    return std::clamp(0.05 * q - 10.0, 0.0, 1.0);
}

double fishPathParameter(int i, double q) {
    return std::min(0.05 * q + 1.0 + 0.01 * i, 13.0);
}

TVector medusaBellPoint(int ring, int step, double q) {
    const double radius = (0.2 * std::sin(0.6 * q) + 2.0) * std::cos((9 - step) * 1.570795 * 0.1);
    const double angle = kRingTurn * 0.05 * ring + 0.1 * step;
    return makeKey(radius * std::cos(angle),
                   (0.15 * std::cos(0.6 * q) + 0.9) * 0.2 * step + medusaCrownHeight(q),
                   radius * std::sin(angle) - 10.0);
}

TVector medusaTentaclePoint(int tentacle, int j, double radius, double q) {
    const double beta = tentacle * kRingTurn * 0.2;
    return makeKey(2.0 * radius * std::cos(beta), 35.6 - 0.15 * q + 0.1 * j,
                   2.0 * radius * std::sin(beta) - 10.0);
}

double medusaTentacleBrightness(int j) {
    return 1.0 - 0.0004 * j * j;
}

void aimFishAtMedusa(part7& self, double q) {
    constexpr int kLast = kPart7FishKeys - 1;
    for (int ring = 0; ring < 20; ++ring) {
        for (int step = 0; step < 10; ++step) {
            Router& fish = self.fish[10 * ring + step];
            fish.tracks[0][kLast] = medusaBellPoint(ring, step, q);
            fish.tracks[1][kLast] = makeKey(1.0, 1.0, 1.0);
        }
    }
    static Router path; // working storage for every frame's tentacles
    for (int i = 0; i < segments::kTentaclesPerJellyfish; ++i) {
        const auto radii = segments::tentacleRadii(path, i, q, segments::kMedusaTentacles);
        for (int j = 0; j < segments::kTentaclePoints; ++j) {
            Router& fish = self.fish[200 + 50 * i + j];
            fish.tracks[0][kLast] = medusaTentaclePoint(i, j, radii[j], q);
            const double c = medusaTentacleBrightness(j);
            fish.tracks[1][kLast] = makeKey(c, c, c);
        }
    }
}

bool tilePictureVisible(double t) {
    return t > kPictureStart && t < kPictureEnd;
}

TileState planTile(const part7& self, int row, int column, double t) {
    const double d = 0.55 * std::sqrt((0.3 * row) * (0.3 * row) + column * column);
    TVector a0, a1, a2;
    self.tiles[column + 10][row + 10].evaluate((t - kPictureStart) * 0.06 + 1.0 + d, a0, a1, a2);
    return TileState{0.2 * a0.x - a1.x, a0.y, a0.z};
}

// ---------------------------------------------------------------- life cycle

void initPart7(part7& self) {
    buildTiles(self);
    buildStars(self);
    buildColumn(self);
    buildRisers(self);
    for (int e = 0; e < kPart7Fish; ++e) {
        buildFishPath(self.fish[e], e);
    }
    buildFloorSprites(self);
    buildControlPath(self.control7);
    buildCameraPath(self.camera7);
}

void startPart7(part7& /*self*/) {
    glClearDepth(1.0);
    setUpPerspective(kFieldOfView);
    glClearDepth(1.0);
}

bool renderPart7(part7& self, std::int32_t cue, TextureTable& textures, double* time,
                 OffscreenBuffer& buffer) {
    *time = remapTimeForCue(*time, cue); // for this frame only
    const double t = *time;
    buffer.makeWindowCurrent();
    if (t > timing::segmentEnd(7)) {
        return true;
    }
    beginFrame(t);
    bindTexture(textures, kWaterTexture);

    glPushMatrix();
    const double u = part7PathParameter(t);
    TVector eye, centre, up;
    self.camera7.evaluate(u, eye, centre, up);
    gluLookAt(eye.x, eye.y, eye.z, centre.x, centre.y, centre.z, up.x, up.y, up.z);
    const Part7Controls controls = evaluateControls(self, t);

    drawSkyDome(textures);
    drawStars(self, textures);
    drawBackdrop(textures);
    drawWaterBody(textures);
    drawNebulae(self, textures, t);
    drawCreatures(self, textures, t);
    drawFloorSprites(self, textures, t, controls.g2.y);
    drawDeepSpace(textures);
    drawLightBeams(textures, t);
    drawFrontLayer(textures, t, controls);
    glDepthMask(GL_TRUE);
    glPopMatrix();

    drawTilePicture(self, textures, t);
    glFlush();
    return false;
}
