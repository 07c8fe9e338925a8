#include "segments/part5.h"

#include <algorithm>
#include <cmath>

#include <GL/gl.h>
#include <GL/glu.h>

#include "anim/timing.h"
#include "gfx/drawing.h"
#include "gfx/random.h"
#include "gfx/sprite_batch.h"

part5 part5Object;

namespace {

using namespace gfx;

// Assets.
constexpr int kTopBodyList = 6001;
constexpr int kSmallBodyList = 6002;
constexpr int kFirstMoonTexture = 6091;
constexpr int kMoonPanels = 5;
constexpr int kGlowTexture = 6097;
constexpr int kBeadTexture = 6100;
constexpr int kSparkleTexture = 6101;
constexpr int kSkinTexture = 6102;
constexpr int kMosaicTexture = 6103;

// The next Segment's textures and the frames that touch them.
constexpr int kSparkTexture = 7202;
constexpr int kFloorTexture = 7301;
constexpr int kWallTexture = 7302;
constexpr int kTargetTextures[2] = {7280, 7281};

// Clocks and thresholds.
constexpr double kMosaicUntil = 38.0;
constexpr double kCreatureFrom = 110.0;
constexpr double kCameraRate = 0.072;
constexpr double kPanoramaRate = 0.9 * 0.052;
constexpr double kPanoramaEyeDistance = 2.4;
constexpr double kTileParameterFloor = 1.2;

// Mosaic tile paths: 18 keys, each component from one random draw. The
// opacity keys turn with the tile's angle about the mosaic's centre and
// advance by four turns over the 18 keys (so the closed path has no jump);
// tiles farther out read their path at earlier keys, so at any moment the
// opaque tiles lie on spiral arms that wind on as time runs: a swirl.
// Track 0 x feeds the alpha and y a sideways drift; track 1 x takes alpha
// away; track 2 x gives red and spin, y blue. The tile colour has no green
// and red only once the tiles turn, so each tile keeps one glaze of a small
// palette, scattered over the grid like the stones of a mosaic: cobalt,
// pale blue, ink, plum and violet (red rides on a positive track 2 x, which
// also tips the tile as it spins), and clear glass through which the night
// panorama shows. Neighbours differ, so the grid reads as laid stones
// instead of one blue wall. The blue stones spin only a few degrees, so
// they stay a grid with dark chinks instead of overlapping into a smear.
// The cover swings from clear to nearly full along the arm, so between the
// arms the night shows and the swirl reads as a shape; with every tile
// always half covered the grid was an even field of noise. Red spins the
// tiles too (about a tipped axis): at a red of 1.3 to 2, or even 0.5, they tumbled into
// long shards across the picture, so red is only a plum tint.
constexpr int kTileKeys = 18;
constexpr double kTileTurnPerKey = 4.0 * 2.0 * 3.14159265358979323846 / kTileKeys;
constexpr double kMosaicCentre = 9.5;
struct TileKeyShape {
    double mid, swing, jitter; // mid + swing sin(arm phase + offset) + jitter (r - 0.5)
    double offset;
};
// Per glaze: track 0 (alpha, drift), track 1 (alpha taken away), track 2
// (red and spin, blue); z is unused.
using TileGlaze = TileKeyShape[3][3];
constexpr TileGlaze kTileGlazes[] = {
    // cobalt: bright blue, fairly opaque, spinning in the picture plane
    {{{2.3, 2.4, 0.5, 1.0}, {0.0, 0.0, 0.08, 0.0}, {}},
     {{0.12, 0.0, 0.1, 0.0}, {}, {}},
     {{-0.1, 0.04, 0.06, 3.0}, {0.8, 0.15, 0.2, 1.0}, {}}},
    // pale blue: full blue at half cover, so the night behind lightens it
    {{{1.9, 2.0, 0.5, 1.0}, {0.0, 0.0, 0.08, 0.0}, {}},
     {{0.12, 0.0, 0.1, 0.0}, {}, {}},
     {{-0.12, 0.04, 0.06, 3.0}, {1.3, 0.0, 0.05, 1.0}, {}}},
    // ink: near-black navy, the mosaic's dark stones
    {{{2.3, 1.9, 0.4, 1.0}, {0.0, 0.0, 0.08, 0.0}, {}},
     {{0.0, 0.0, 0.1, 0.0}, {}, {}},
     {{-0.08, 0.03, 0.05, 3.0}, {0.12, 0.04, 0.04, 1.0}, {}}},
    // plum: red over very little blue once the tiles turn
    {{{2.6, 2.2, 0.5, 1.0}, {0.0, 0.0, 0.08, 0.0}, {}},
     {{0.12, 0.0, 0.1, 0.0}, {}, {}},
     {{0.3, 0.05, 0.05, 3.0}, {0.06, 0.02, 0.02, 1.0}, {}}},
    // violet: red over half blue
    {{{2.4, 2.2, 0.5, 1.0}, {0.0, 0.0, 0.08, 0.0}, {}},
     {{0.12, 0.0, 0.1, 0.0}, {}, {}},
     {{0.25, 0.05, 0.05, 3.0}, {0.4, 0.1, 0.08, 1.0}, {}}},
    // glass: nearly clear, the panorama shows through
    {{{1.1, 1.0, 0.3, 1.0}, {0.0, 0.0, 0.08, 0.0}, {}},
     {{0.12, 0.0, 0.05, 0.0}, {}, {}},
     {{-0.1, 0.03, 0.05, 3.0}, {0.9, 0.2, 0.1, 1.0}, {}}},
};
// How often each glaze is laid, in tenths: cobalt, pale, ink, plum, violet,
// glass.
constexpr int kGlazeShare[] = {3, 2, 2, 1, 1, 1};

// A scattered but fixed glaze per tile: a small integer hash of its place.
int tileGlaze(int row, int column) {
    unsigned h = static_cast<unsigned>(row) * 73856093u ^ static_cast<unsigned>(column) * 19349663u;
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    h ^= h >> 15;
    int pick = static_cast<int>(h % 10u);
    int glaze = 0;
    while (pick >= kGlazeShare[glaze]) {
        pick -= kGlazeShare[glaze++];
    }
    return glaze;
}
// Creature.
constexpr double kPhaseStep = 0.01;
constexpr double kChildShrink = 0.54;
constexpr float kBodyScale = 0.2f;
// The body meshes are fitted into the cube from -1 to 1 and loaded at 1.1:
// no corner lies farther out than this.
constexpr double kBodyMeshRadius = 1.1 * 1.7320508075688772;
constexpr double kArmRoots[kCreatureArms][3] = {
    {-0.1, 0.0, -0.1}, {0.1, 0.0, -0.1}, {-0.1, 0.0, 0.1}};
constexpr double kArmReachOffsets[kCreatureArms] = {0.0, 1.0, 1.5};
constexpr double kArmReachBase[kCreatureArms] = {2.5, 2.0, 2.0};
// Outward direction of each arm in the x-z plane, leaning toward z so the
// creature stretches along the camera's path, and how steeply it climbs.
constexpr double kArmLeanX = 0.5;
constexpr double kArmClimb[kCreatureArms] = {0.35, -0.3, 0.12};
constexpr double kArmStep = 0.1;  // reach per key and unit of R
constexpr int kArmKeys = 10;      // the root and nine keys
constexpr int kSparkleBelow = 17; // of 1000: the big blue beads
constexpr double kBeadSize = 0.012;
constexpr double kSparkleSize = 0.095;
constexpr double kBeadHalfWidth = 0.3;

void setAmbientAndDiffuse(float ambient, float diffuse) {
    const float a[4] = {ambient, ambient, ambient, 1.0f};
    const float d[4] = {diffuse, diffuse, diffuse, 1.0f};
    setMaterialColoursNow(a, d);
}

void buildTilePath(Router& path, int row, int column) {
    const double angle = std::atan2(row - kMosaicCentre, column - kMosaicCentre);
    const TileGlaze& glaze = kTileGlazes[tileGlaze(row, column)];
    setUpClosedPath(path, 3, kTileKeys, [angle, &glaze](int k, int track) {
        double v[3];
        for (int c = 0; c < 3; ++c) { // drawn in x, y, z order
            const TileKeyShape& shape = glaze[track][c];
            const double r = randomBelow(1000) * 0.001;
            v[c] = shape.mid + shape.swing * std::sin(angle + kTileTurnPerKey * k + shape.offset) +
                   shape.jitter * (r - 0.5);
        }
        return makeKey(v[0], v[1], v[2]);
    });
}

void buildCameraPath(Router& path) {
    struct Key {
        double eye[3], centre[3], up[3];
    };
    static constexpr Key kKeys[15] = {
        {{1, 0, -1}, {0, 0, -2}, {0, 1, 0}},  {{1.5, 0, -1}, {0, 0, -2}, {0, 1, 0}},
        {{2, 0, 0}, {0, 0, -1}, {0, 1, 0}},   {{2.5, 0, 1}, {0, 0, 0}, {0, 1, 0}},
        {{3, 0, 2}, {0, 0, 0}, {0, 1, -0.2}}, {{4.5, 0, 2}, {0, 0, 0}, {0, 1, -0.6}},
        {{4, 0, 0}, {0, 0, 0}, {0, 1, -0.2}}, {{3, 0, 1}, {0, 0, 1}, {0, 1, 0}},
        {{2, 0, 2}, {0, 0, 2}, {0, 1, 0}},    {{2, 0.3, 3}, {0, 0, 3}, {0, 1, 0}},
        {{2, 0.6, 4}, {0, 0, 4}, {0, 1, 0}},  {{2, 0.9, 5}, {0, 0, 5}, {0, 1, 0}},
        {{2, 1.2, 6}, {0, 0, 6}, {0, 1, 0}},  {{2, 1.3, 7}, {0, 0, 7}, {0, 1, 0}},
        {{2, 1.4, 8}, {0, 0, 8}, {0, 1, 0}},
    };
    setUpClosedPath(path, 3, 15, [](int k, int track) {
        const double* v = track == 0 ? kKeys[k].eye : track == 1 ? kKeys[k].centre : kKeys[k].up;
        return makeKey(v[0], v[1], v[2]);
    });
}

// Every frame: the clears, the projection and the light in the window.
void setUpFrame(const part5& self, const OffscreenBuffer& buffer) {
    // Switched first, so that everything below lands in the window's
    // context whatever the last frame left current.
    buffer.makeWindowCurrent();
    setAmbientAndDiffuse(0.3f, 1.0f);
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    // The arms leave depth writes off; a masked depth buffer would not clear.
    glDepthMask(GL_TRUE);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glDisable(GL_FOG);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity(); // the light is placed in eye space
    const GLfloat position[4] = {1.0f, 1.0f, 1.0f, 0.0f};
    glLightfv(GL_LIGHT0, GL_POSITION, position);
    loadPerspective(45.0, self.aspect, 0.01, 174.0);
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glColor3f(0.0f, 0.0f, 0.0f);
    glDisable(GL_FOG);
}

void drawPanorama(const TextureTable& textures, double t) {
    glPushMatrix();
    glDisable(GL_LIGHTING);
    enableTextureGeneration(false);
    glDisable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glColor3f(1.0f, 1.0f, 1.0f);
    const double w = panoramaCentre(t);
    gluLookAt(w, 0.0, kPanoramaEyeDistance, w, 0.0, 0.0, 0.0, 1.0, 0.0);
    // A sliver of each edge is left out so neighbouring panels meet without
    // the texture's border.
    const TexRect inset{0.001f, 0.0f, 0.999f, 1.0f};
    for (int i = 0; i < kMoonPanels; ++i) {
        bindTexture(textures, kFirstMoonTexture + i);
        glPushMatrix();
        glTranslatef(2.0f * i, 0.0f, 0.0f);
        drawQuad(1.0f, 1.0f, inset);
        glPopMatrix();
    }
    glPopMatrix();
}

void setUpCreatureLight() {
    glDisable(GL_BLEND);
    glEnable(GL_LIGHTING);
    glEnable(GL_DEPTH_TEST);
    glColor3f(1.0f, 1.0f, 1.0f);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    const GLfloat diffuse[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    const GLfloat ambient[4] = {1.0f, 1.0f, 1.0f, 0.0f};
    glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
    glEnable(GL_LIGHT0);
    glEnable(GL_LIGHTING);
}

void drawBody(const TextureTable& textures, const CreatureNode& node, int list, double t) {
    const double a = node.level;
    glPushMatrix();
    glEnable(GL_LIGHTING);
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glColor3f(1.0f, 1.0f, 1.0f);
    useSphereMapGeneration();
    enableTextureGeneration(true);
    bindTexture(textures, kSkinTexture);
    glScalef(kBodyScale, kBodyScale, kBodyScale);
    // Bodies are the creature's main cost on a software renderer; those
    // wholly outside the view are skipped.
    const bool inView = list != 0 && sphereMayBeVisible(kBodyMeshRadius);
    glRotatef(static_cast<float>(25.0 * node.phase + 30.0 * a + 4.0 * t),
              static_cast<float>(0.2 * a), 1.0f, 0.3f);
    if (inView) {
        // A closed body never shows its back faces; skipping them halves
        // the triangles a software renderer has to set up.
        glEnable(GL_CULL_FACE);
        glCullFace(GL_BACK);
        glCallList(list);
        glDisable(GL_CULL_FACE);
    }
    glPopMatrix();
}

// Two counter-rotating glare sprites over the body.
void drawCoreGlow(const TextureTable& textures, int level, double t) {
    const float size = static_cast<float>(0.04 * level * level);
    glDepthMask(GL_FALSE);
    for (int i = 0; i < 2; ++i) {
        glPushMatrix();
        glEnable(GL_BLEND);
        glBlendFunc(GL_ONE, GL_ONE);
        glColor4f(1.0f, 0.7f, 0.3f, 1.0f);
        faceViewer();
        bindTexture(textures, kGlowTexture);
        enableTextureGeneration(false);
        glScalef(size, size, 0.2f);
        glRotatef(static_cast<float>((5 - i) * t + 10 * i), 0.0f, 0.0f, 1.0f);
        drawUnitQuad();
        glPopMatrix();
    }
    glDepthMask(GL_TRUE);
}

void drawCreatureNode(const TextureTable& textures, const CreatureNode& node, double t) {
    const CreatureNodeDrawing drawing = creatureNodeDrawing(node.level);
    glPushMatrix();
    glTranslated(node.origin[0], node.origin[1], node.origin[2]);
    glScaled(node.scale, node.scale, node.scale);
    drawBody(textures, node, drawing.bodyList, t);
    if (drawing.glow) {
        drawCoreGlow(textures, node.level, t);
    }
    glPopMatrix();
}

void drawArm(const TextureTable& textures, const CreatureFrame& frame, const CreatureArm& arm) {
    static gfx::SpriteBatch plain, sparkling; // storage kept between frames
    const double q = arm.level;
    const double g = (4.0 - q) / 4.0;
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glEnable(GL_TEXTURE_2D);
    enableTextureGeneration(false);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_FALSE);

    // Each kind of bead keeps the colour current when its batch begins.
    setColor(1.0, 0.81 - g, 0.71 - g);
    plain.begin();
    glColor3f(0.2f, 0.7f, 1.0f);
    sparkling.begin();
    for (int b = arm.firstBead; b < arm.firstBead + arm.beadCount; ++b) {
        const CreatureBead& bead = frame.beads[b];
        const double size = bead.sparkling ? kSparkleSize : kBeadSize;
        (bead.sparkling ? sparkling : plain)
            .add(bead.position[0], bead.position[1], bead.position[2],
                 kBeadHalfWidth * size * q * q);
    }
    bindTexture(textures, kBeadTexture);
    plain.draw();
    bindTexture(textures, kSparkleTexture);
    sparkling.draw();
    // Only the beads skip depth writes; the bodies drawn next need them.
    glDepthMask(GL_TRUE);
}

void drawCreature(part5& self, const TextureTable& textures, double t) {
    TVector eye, centre, up;
    self.cameraPath.evaluate(kCameraRate * (t - kCreatureFrom) + 1.0, eye, centre, up);
    glPushMatrix();
    glLoadIdentity();
    gluLookAt(eye.x, eye.y, eye.z, centre.x, centre.y, centre.z, up.x, up.y, up.z);

    CreatureFrame& frame = self.creature;
    buildCreature(frame, self.creaturePhase, t, kCreatureLevels);
    for (const CreatureStep& step : frame.steps) {
        if (step.kind == CreatureStep::Kind::Node) {
            drawCreatureNode(textures, frame.nodes[step.index], t);
        } else {
            drawArm(textures, frame, frame.arms[step.index]);
        }
    }
    glPopMatrix();
}

void drawMosaic(part5& self, const TextureTable& textures, double t) {
    bindTexture(textures, kMosaicTexture);
    glPushMatrix();
    glLoadIdentity();
    gluLookAt(0.05, 0.05, 2.38, 0.05, 0.05, 0.0, 0.0, 1.0, 0.0);
    glDisable(GL_LIGHTING);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_DEPTH_TEST);
    glScalef(4.0f / 3.0f, 1.0f, 1.0f);
    glDisable(GL_TEXTURE_2D);

    // Blending keeps the drawing order: rows outside, columns inside.
    self.tileCorners.clear();
    self.tileColours.clear();
    for (int i = -10; i < 10; ++i) {
        for (int e = -10; e < 10; ++e) {
            const MosaicTile tile = planMosaicTile(self, i, e, t);
            for (int k = 0; k < 4; ++k) {
                self.tileCorners.insert(self.tileCorners.end(), tile.corners[k],
                                        tile.corners[k] + 3);
                self.tileColours.insert(self.tileColours.end(), tile.colour, tile.colour + 4);
            }
        }
    }
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, self.tileCorners.data());
    glColorPointer(4, GL_FLOAT, 0, self.tileColours.data());
    glDrawArrays(GL_QUADS, 0, static_cast<GLsizei>(self.tileCorners.size() / 3));
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    glPopMatrix();
}

void warmUpTextures(part5& self, const TextureTable& textures) {
    const TextureWarmUp warmUp = textureWarmUpFor(self.frameCounter);
    ++self.frameCounter;
    for (int k = 0; k < warmUp.prewarmedCount; ++k) {
        prewarmTexture(textures, warmUp.prewarmed[k]);
    }
    for (int k = 0; k < warmUp.boundCount; ++k) {
        bindTexture(textures, warmUp.bound[k]);
    }
}

// Rotation by `degrees` about `axis` (normalised here, as GL does), applied
// to (x, y, 0).
void rotateInPlane(double degrees, const double axis[3], double x, double y, double out[3]) {
    const double length = std::sqrt(axis[0] * axis[0] + axis[1] * axis[1] + axis[2] * axis[2]);
    const double u = axis[0] / length, v = axis[1] / length, w = axis[2] / length;
    const double angle = degrees * 3.14159265358979323846 / 180.0;
    const double c = std::cos(angle), s = std::sin(angle), k = 1.0 - c;
    out[0] = (u * u * k + c) * x + (u * v * k - w * s) * y;
    out[1] = (v * u * k + w * s) * x + (v * v * k + c) * y;
    out[2] = (w * u * k - v * s) * x + (w * v * k + u * s) * y;
}

void addNode(CreatureFrame& frame, int level, const double origin[3], double scale, double phase) {
    CreatureNode node;
    node.level = level;
    std::copy(origin, origin + 3, node.origin);
    node.scale = scale;
    node.phase = phase;
    frame.steps.push_back({CreatureStep::Kind::Node, static_cast<int>(frame.nodes.size())});
    frame.nodes.push_back(node);
}

void addArmBeads(CreatureFrame& frame, int level, const double origin[3], double scale) {
    const BeadRange range = beadRange(level);
    CreatureArm arm;
    arm.level = level;
    arm.firstBead = static_cast<int>(frame.beads.size());
    TVector p, unused2, unused3;
    for (int e = range.first; e < range.end; ++e) {
        frame.armPath.evaluate(kArmStretch * e / range.divisor + 1.0, p, unused2, unused3);
        CreatureBead bead;
        for (int c = 0; c < 3; ++c) {
            bead.position[c] = origin[c] + scale * p[c];
        }
        bead.sparkling = randomBelow(1000) < kSparkleBelow;
        frame.beads.push_back(bead);
    }
    arm.beadCount = static_cast<int>(frame.beads.size()) - arm.firstBead;
    frame.steps.push_back({CreatureStep::Kind::Arm, static_cast<int>(frame.arms.size())});
    frame.arms.push_back(arm);
}

void addCreatureNode(CreatureFrame& frame, double& phase, double t, int level,
                     const double origin[3], double scale) {
    addNode(frame, level, origin, scale, phase);
    if (!creatureNodeDrawing(level).arms) {
        return;
    }
    phase += kPhaseStep;
    for (int arm = 0; arm < kCreatureArms; ++arm) {
        buildArmPath(frame.armPath, arm, level, t, phase);
        addArmBeads(frame, level, origin, scale);
        TVector tip, unused2, unused3;
        frame.armPath.evaluate(kChildParameter, tip, unused2, unused3);
        const double childOrigin[3] = {origin[0] + scale * tip.x, origin[1] + scale * tip.y,
                                       origin[2] + scale * tip.z};
        addCreatureNode(frame, phase, t, level - 1, childOrigin, scale * kChildShrink);
    }
}

} // namespace

Part5FramePlan planPart5Frame(double t) {
    Part5FramePlan plan;
    plan.finished = t > timing::segmentEnd(5);
    plan.mosaic = !plan.finished && t < kMosaicUntil;
    plan.creature = !plan.finished && t > kCreatureFrom;
    return plan;
}

double panoramaCentre(double t) {
    return kPanoramaRate * t - 1.0;
}

TextureWarmUp textureWarmUpFor(std::int32_t counterBefore) {
    TextureWarmUp warmUp;
    if (counterBefore == 0) {
        warmUp.prewarmed[warmUp.prewarmedCount++] = kSparkTexture;
    }
    const std::int32_t counter = counterBefore + 1;
    if (counter == 40) {
        warmUp.prewarmed[warmUp.prewarmedCount++] = kFloorTexture;
    }
    if (counter == 100 || counter == 120) {
        warmUp.prewarmed[warmUp.prewarmedCount++] = kWallTexture;
    }
    if (counter == 140) {
        warmUp.bound[warmUp.boundCount++] = kTargetTextures[0];
        warmUp.bound[warmUp.boundCount++] = kTargetTextures[1];
    }
    return warmUp;
}

double tilePathParameter(double t, double d) {
    return std::max(0.15 * t + 12.0 + d, kTileParameterFloor);
}

MosaicTile planMosaicTile(const part5& self, int i, int e, double t) {
    const double x = 2.0 * std::sin(0.8 * 0.63 * t + 0.423 * i) + e;
    const double y = 2.0 * std::sin(0.95 * 0.48 * t + 0.6 * e) + i;
    const double d = 5.0 - 0.3 * std::sqrt(x * x + y * y);
    const double s = 0.5 * t >= 3.0 ? (0.5 * t - 3.0) * 0.1 : 0.0;
    TVector o1, o2, o3;
    self.tilePaths[e + 10][i + 10].evaluate(tilePathParameter(t, d), o1, o2, o3);

    MosaicTile tile;
    const double colour[4] = {0.2 * s * o3.x, 0.0, 0.8 * o3.y, 0.2 * o1.x - o2.x};
    for (int c = 0; c < 4; ++c) {
        tile.colour[c] = static_cast<float>(colour[c]);
    }
    const double centre[2] = {0.1 * (e + 1) + o1.y, 0.1 * (i + 1)};
    const double axis[3] = {-0.2 * o3.x, 0.5 * o3.x + 0.4, 1.0};
    static constexpr double kCorners[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
    for (int k = 0; k < 4; ++k) {
        double turned[3];
        rotateInPlane(150.0 * o3.x * s, axis, kCorners[k][0], kCorners[k][1], turned);
        tile.corners[k][0] = static_cast<float>(centre[0] + 0.05 * turned[0]);
        tile.corners[k][1] = static_cast<float>(centre[1] + 0.05 * turned[1]);
        tile.corners[k][2] = static_cast<float>(turned[2]);
    }
    return tile;
}

CreatureNodeDrawing creatureNodeDrawing(int level) {
    CreatureNodeDrawing drawing;
    drawing.bodyList = level > 2 ? kTopBodyList : level == 2 ? kSmallBodyList : 0;
    drawing.glow = level != 1;
    drawing.arms = level > 1;
    return drawing;
}

BeadRange beadRange(int level) {
    if (level == 2) {
        return {20, 30, 80};
    }
    const int n = static_cast<int>(20.0 * level + 70.0);
    return {10, n, n};
}

void buildArmPath(Router& path, int arm, int level, double t, double phase) {
    const double* root = kArmRoots[arm];
    const double reach =
        0.3 * level * std::sin(0.13 * t + kArmReachOffsets[arm]) + kArmReachBase[arm];
    const double length = std::hypot(kArmLeanX * root[0], root[2]);
    const double out[2] = {kArmLeanX * root[0] / length, root[2] / length};
    const double side[2] = {-out[1], out[0]};
    const double j = arm;
    setUpClosedPath(path, 1, kArmKeys, [&](int k, int track) {
        if (track != 0) {
            return TVector{};
        }
        if (k == 0) {
            return makeKey(root[0], root[1], root[2]);
        }
        const double i = k - 1;
        const double along = kArmStep * reach * i;
        const double sway = 0.03 * i * std::sin(0.063 * t + 0.7 * i + 2.0 * j) +
                            0.015 * i * std::sin(0.14 * t + i + 0.05 * phase);
        const double lift = kArmClimb[arm] * along + 0.025 * i * std::sin(0.1 * t + 0.5 * i + j) +
                            0.015 * i * std::sin(0.167 * t + 0.8 * i + 0.05 * phase);
        return makeKey(root[0] + out[0] * along + side[0] * sway, root[1] + lift,
                       root[2] + out[1] * along + side[1] * sway);
    });
}

void buildCreature(CreatureFrame& frame, double& phase, double t, int level) {
    frame.nodes.clear();
    frame.arms.clear();
    frame.beads.clear();
    frame.steps.clear();
    const double origin[3] = {0.0, 0.0, 0.0};
    addCreatureNode(frame, phase, t, level, origin, 1.0);
}

void initPart5(part5& self) {
    for (int row = 0; row < kMosaicSide; ++row) {
        for (int column = 0; column < kMosaicSide; ++column) {
            buildTilePath(self.tilePaths[row][column], row, column);
        }
    }
    buildCameraPath(self.cameraPath);
    self.frameCounter = 0;
    self.creaturePhase = 0.0;
}

void startPart5(part5& self) {
    self.aspect = kAspect;
}

bool renderPart5(part5& self, std::int32_t /*cue*/, TextureTable& textures, double* time,
                 OffscreenBuffer& buffer) {
    warmUpTextures(self, textures);
    const double t = *time;
    const Part5FramePlan plan = planPart5Frame(t);
    if (plan.finished) {
        return true;
    }
    setUpFrame(self, buffer);
    drawPanorama(textures, t);

    glPushMatrix();
    setUpCreatureLight();
    if (plan.creature) {
        drawCreature(self, textures, t);
    }
    glPopMatrix();

    if (plan.mosaic) {
        drawMosaic(self, textures, t);
    }
    glFlush();
    return false;
}
