#include "segments/blobby_surface.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include <GL/gl.h>
#include <GL/glu.h>

#include "gfx/drawing.h"
#include "glext/glext.h"
#include "platform/platform.h"
#include "segments/part3.h"

namespace {

using namespace gfx;

constexpr int kRoomObjectList = 3007;
constexpr int kFloorList = 3001;
constexpr int kBallList = 3002;
constexpr int kBallBillboardList = 3211;
constexpr int kFloorTexture = 4002;
constexpr int kBallGlowTexture = 4003;
constexpr int kRoomTexture = 4004;
constexpr int kBallViewTexture = 4280; // + ball number
constexpr int kSideTexture = 4283;
constexpr int kEnvironmentTexture = 4284;
constexpr int kBallSkinTexture = 1901; // the loading screen's chrome sky
constexpr int kGlowTexture = 4285;
constexpr int kRoomViewTexture = 4300;
constexpr int kBallViewSize = 256;
constexpr float kBallViewAlpha = 0.8f; // the views laid over their balls
constexpr float kBallRadius = 1.1f;    // the sphere list's size
// The disc that lays a ball's view on its ball: rings and sides, the angle
// off the view's axis that its rim shows, the outer share that fades out.
constexpr int kMirrorRings = 12;
constexpr int kMirrorSides = 40;
constexpr double kMirrorRimDegrees = 55.0;
constexpr double kMirrorFadeShare = 0.25;
// The glass floor hangs at the height of the balls' tops.
constexpr float kFloorHeight = 1.0f;
constexpr float kFloorScale = 1.5f;
// The room's floor pattern repeats every two units.
constexpr TexGenPlanes kFloorPlanes{{0.5f, 0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 0.5f, 0.0f}};
constexpr int kRoomViewSize = 512;

constexpr int kGridCells = 28;
constexpr float kGridHalfSize = 4.0f;
constexpr float kIsoLevel = 1.0f;

// The ball views stop a little before the room view, and both before the end.
constexpr double kBallViewsUntil = 152.0;
constexpr double kRoomViewUntil = 155.0;
// From here the surface clears the screen: the swarm's trail is gone.
constexpr double kClearScreenFrom = 97.0;

constexpr int kSurfaceKeyCount = 33;
constexpr int kViewKeyCount = 33;
constexpr int kReturnKeyCount = 35;
// From this key of the view path on, the room's camera looks up, away from the room.
constexpr int kViewUpFromKey = 20;

// O1B (backdrop opacity, backdrop brightness, glows), O2B (metaballs, grey,
// plane), O3B (backdrop distance, mode, depth) per key: the surface alone
// as a dented sheet, then the reflection room, then both with round blobs,
// glows and the butterflies, fading to an empty room. The glows stay low
// around their one flash (key 26), since two of them per ball over the
// surface burn its middle white. Once round, the blobs come nearer (small
// pebbles on black showed the grid's facets) and go back for the flash;
// they cannot grow instead: any larger, they reach the grid's border,
// where the surface is cut open. Once round they have no plane term: a
// wall laid behind them cut them with straight edges where it met them.
constexpr double kSurfaceKeys[kSurfaceKeyCount][9] = {
    {0.138, 0.3, 0, 3, 1, 0.5, 0.1, 0, 0},
    {0.138, 0.3, 0, 3, 1, 0.5, 0.1, 0, 0},
    {0.1, 0.3, 0, 1.2, 0.7, 0.8, 0.1, 0, 0.1},
    {0.06, 0.3, 0, 0.5, 0.45, 1, 0.1, 0, 0.15},
    {0.03, 0.3, 0, 0.25, 0.3, 1, 0.09, 0, 0.1},
    {0.0138, 0.3, 0, 0, 0.2, 1, 0.08, 5, 0},
    {0.5, 0.3, 0, 0, 0.6, 1, 0.05, 10, 0},
    {1, 0.25, 0.5, 0, 0.6, 1, 0, 10, 0},
    {1, 0.2, 1, 0, 0.6, 1, 0.1, 10, 0},
    {1, 0.2, 1.5, 0, 0.6, 1, 0.2, 10, 0},
    {1, 0.1, 1, 0, 0.6, 1, 0.1, 10, 0},
    {1, 0.1, 0.5, 0, 0.6, 1, 0, 10, 0},
    {1, 0.2, 0, 0, 0.6, 1, 0.05, 10, 0},
    {1, 0.3, 0, 0, 0.6, 1, 0.15, 10, 0},
    {1, 0.2, 0.5, 0, 0.6, 1, 0.1, 10, 0},
    {1, 0.1, 1, 0, 0.6, 1, 0, 10, 0},
    {1, 0, 1, 0, 0.6, 1, 0, 10, 0},
    {1, -0.1, 1, -0.07, 1, 0, 0, 10, 0.5},
    {1, -0.2, 1, -0.07, 1, 0, 0, 10, 0.8},
    {1, -0.2, 1, -0.07, 1, 0, 0, 20, 0.9},
    {1, -0.2, 1.2, -0.07, 1, 0, 0, 20, 0.95},
    {1, -0.25, 1.2, -0.07, 1, 0, 0, 20, 1.05},
    {1, -0.25, 1.3, -0.07, 1, 0, 0, 20, 1.05},
    {1, -0.28, 1.4, -0.06, 1, 0, 0, 20, 1.05},
    {1, -0.28, 1.6, -0.07, 1, 0, 0, 20, 1.0},
    {1, -0.28, 2.0, -0.07, 1, 0, 0, 20, 0.75},
    {1, -0.28, 5, -0.07, 1, 0, 0, 20, 0.5},
    {1, -0.28, 1.6, -0.07, 1, 0, 0, 20, 0.8},
    {1, -0.28, 0.8, -0.065, 1, 0, 0, 20, 1.0},
    {1, -0.28, 0, 0, 1, 0, 0, 20, 0.8},
    {1, -0.28, 0, 0, 1, 0, 0, 20, 0.8},
    {1, -0.28, 0, 0, 1, 0, 0, 20, 0.8},
    {1, -0.28, 0, 0, 1, 0, 0, 20, 0.8},
};

// The balls of the room, one of them on the axis.
const TVector kBallPositions[3] = {makeKey(0, 0, 0), makeKey(3, 0, 0), makeKey(0, 0, 3)};

void buildSurfacePathsOf(BlobbySurfaceState& state) {
    setUpClosedPath(state.surfacePath, 3, kSurfaceKeyCount, [](int k, int track) {
        const double* row = kSurfaceKeys[k];
        return makeKey(row[3 * track], row[3 * track + 1], row[3 * track + 2]);
    });
    // The reflection camera circles the room above its glass floor, looking
    // down at its middle, so the floor, the bowls on it and the balls under
    // it are always in view. It stays above the bowls' tops (2.75): lower,
    // it flew into them, and the room's last view, which the surface keeps
    // showing, was one green bowl. High enough that the top of its view
    // stays on the case's far wall: lower, it saw over the rim into black.
    // Once the blobs are round and the room is no longer the backdrop, its
    // view is only added onto their skins, by position rather than by their
    // normals, so it looks up into the empty dark above the case: pasted
    // over the drops, the room's tiles and a green bowl hid their chrome.
    setUpClosedPath(state.viewPath, 3, kViewKeyCount, [](int k, int track) {
        const double a = 0.45 * k;
        if (track == 0) {
            return makeKey(1.5 + 6.0 * std::cos(a), 5.5 + 0.5 * std::sin(0.7 * k),
                           1.5 + 6.0 * std::sin(a));
        }
        if (track == 1 && k >= kViewUpFromKey) {
            return makeKey(1.5 + 12.0 * std::cos(a), 20.0, 1.5 + 12.0 * std::sin(a));
        }
        if (track == 1) {
            return makeKey(1.5 + 0.5 * std::sin(0.3 * k), 0.3, 1.5 + 0.5 * std::cos(0.3 * k));
        }
        return makeKey(0.1 * std::sin(0.5 * k), 1.0, 0.0);
    });
    // The butterflies come back once the blobs are round.
    setUpClosedPath(state.returnPath, 3, kReturnKeyCount, [](int k, int track) {
        const double brightness = k < 21 ? 0.0 : k < 23 ? 0.4 : k < 32 ? 1.0 : 0.0;
        return track == 2 ? makeKey(0.0, 0.0, brightness) : makeKey(0.0, 0.0, 0.0);
    });
}

// A disc facing +z that shows a ball's view texture, for the room view.
void buildBallBillboardList() {
    const std::vector<MirrorRing> rings = ballMirrorRings();
    const auto vertex = [](int n, const MirrorRing& ring) {
        const double a = 2.0 * 3.14159265358979 * n / kMirrorSides;
        const float c = static_cast<float>(std::cos(a)), s = static_cast<float>(std::sin(a));
        glColor4f(1.0f, 1.0f, 1.0f, kBallViewAlpha * ring.alpha);
        glTexCoord2f(0.5f + ring.seen * c, 0.5f + ring.seen * s);
        glVertex3f(ring.radius * c, ring.radius * s, 0.0f);
    };
    glNewList(kBallBillboardList, GL_COMPILE);
    glBegin(GL_TRIANGLE_FAN);
    vertex(0, MirrorRing{0.0f, 0.0f, 1.0f});
    for (int n = 0; n <= kMirrorSides; ++n) {
        vertex(n, rings.front());
    }
    glEnd();
    for (std::size_t r = 1; r < rings.size(); ++r) {
        glBegin(GL_QUAD_STRIP);
        for (int n = 0; n <= kMirrorSides; ++n) {
            vertex(n, rings[r - 1]);
            vertex(n, rings[r]);
        }
        glEnd();
    }
    glColor4f(1.0f, 1.0f, 1.0f, kBallViewAlpha);
    glEndList();
}

void setUpSurfaceLight() {
    const GLfloat position[4] = {-1.2f, 0.3f, -1.8f, 0.0f};
    const GLfloat ambient[4] = {0.6f, 0.6f, 0.6f, 0.16f};
    glLightfv(GL_LIGHT0, GL_POSITION, position);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
    glEnable(GL_LIGHT0);
    glEnable(GL_LIGHTING);
}

void lookAt(const TVector& eye, const TVector& centre, const TVector& up) {
    gluLookAt(eye.x, eye.y, eye.z, centre.x, centre.y, centre.z, up.x, up.y, up.z);
}

// The room: three domes on stands of light, a translucent floor and the
// balls not masked out.
void drawRoom(const TextureTable& textures, double t, int ballMask) {
    setUpSurfaceLight();
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_COLOR_MATERIAL);
    glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
    useObjectLinearGeneration(0.3f);
    enableTextureGeneration(true);
    bindTexture(textures, kRoomTexture);
    // The objects and balls are closed and opaque, so their back faces never
    // show; culling them spares the rasteriser's setup of half the room's
    // triangles, four times a frame.
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    static constexpr float kDiffuse[3][3] = {
        {0.3f, 0.1f, 0.1f}, {0.1f, 0.3f, 0.1f}, {0.1f, 0.1f, 0.3f}};
    // A ring around the balls, well inside the camera's circle: there the
    // camera looks down on all three; just outside it they swept past the
    // frame's edges as clipped coloured lumps.
    static constexpr float kPlaces[3][2] = {{2.9f, 2.9f}, {-1.4f, 1.5f}, {1.5f, -1.4f}};
    for (int n = 0; n < 3; ++n) {
        glPushMatrix();
        glTranslatef(kPlaces[n][0], 2.2f, kPlaces[n][1]);
        glRotatef(static_cast<float>(20.0 * t + 120.0 * n), 0.0f, 1.0f, 0.0f);
        glColor3fv(kDiffuse[n]);
        glCallList(kRoomObjectList);
        glPopMatrix();
    }
    enableTextureGeneration(false);
    glColor3f(0.8f, 0.8f, 0.8f);
    // Chrome balls mirroring a bright sky: the room copy would start black
    // and only ever mirror the dark room back, and the surface's own studio
    // is dark so that it can take the side picture on top.
    bindTexture(textures, kBallSkinTexture);
    useSphereMapGeneration();
    enableTextureGeneration(true);
    for (int n = 0; n < 3; ++n) {
        if ((ballMask >> n) & 1) {
            continue;
        }
        glPushMatrix();
        glTranslatef(static_cast<float>(kBallPositions[n].x),
                     static_cast<float>(kBallPositions[n].y),
                     static_cast<float>(kBallPositions[n].z));
        glCallList(kBallList);
        glPopMatrix();
    }
    enableTextureGeneration(false);
    glDisable(GL_CULL_FACE); // the glass shows both its sides
    glDisable(GL_COLOR_MATERIAL);
    glDisable(GL_LIGHTING);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDepthMask(GL_FALSE);
    bindTexture(textures, kFloorTexture);
    glColor4f(0.7f, 0.8f, 1.0f, 0.5f);
    // The plane mesh carries no texture coordinates: spread the pattern
    // over it from its own x and z.
    useObjectLinearGeneration(kFloorPlanes);
    enableTextureGeneration(true);
    glPushMatrix();
    glTranslatef(0.0f, kFloorHeight, 0.0f);
    glScalef(kFloorScale, kFloorScale, kFloorScale);
    glCallList(kFloorList);
    glPopMatrix();
    enableTextureGeneration(false);
    glDepthMask(GL_TRUE);
}

void drawBackdrop(const BlobbySurfaceState& state, const TVector& o1b, const TVector& o3b,
                  double aspect, const TextureTable& textures) {
    (void)state;
    glPushMatrix();
    gluLookAt(-1.0 / 110.0, -0.01, 1.465 - o3b.x, -1.0 / 110.0, -0.01, 0.0, 0.0, 1.0, 0.0);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glDisable(GL_LIGHTING);
    glEnable(GL_TEXTURE_2D);
    glColor3f(1.0f, 1.0f, 1.0f);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    const double c = (o1b.y + 0.48) * 1.6;
    glColor4f(static_cast<float>(c), static_cast<float>(c), static_cast<float>(c),
              static_cast<float>(0.7 * o1b.x));
    bindTexture(textures, kRoomViewTexture);
    glScalef(static_cast<float>(aspect), 1.0f, 1.0f);
    glRotatef(180.0f, 0.0f, 0.0f, 1.0f);
    drawQuad(1.0f, 1.0f, TexRect{1.0f, 1.0f, 0.0f, 0.0f}, QuadCorners::ClockwiseFromLowerLeft);
    glPopMatrix();
}

// Both units' coordinates of every surface vertex: the side picture from
// its position, the environment from its normal.
void surfaceTextureCoordinates(const BlobbyGrid& grid, std::vector<float>& side,
                               std::vector<float>& environment) {
    side.resize(2 * static_cast<std::size_t>(grid.vertexCount));
    environment.resize(side.size());
    for (int n = 0; n < grid.vertexCount; ++n) {
        const SurfaceVertex& v = grid.vertices[n];
        side[2 * n] = 0.125f * v.position[0] + 0.5f;
        side[2 * n + 1] = 0.125f * v.position[1] + 0.5f;
        environment[2 * n] = (v.normal[0] + 1.0f) * 0.5f;
        environment[2 * n + 1] = (v.normal[1] + 1.0f) * 0.5f;
    }
}

void enableCoordinateArray(GLenum unit, const std::vector<float>& coordinates) {
    glext::glClientActiveTextureARB(unit);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glTexCoordPointer(2, GL_FLOAT, 0, coordinates.data());
}

void disableCoordinateArray(GLenum unit) {
    glext::glClientActiveTextureARB(unit);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
}

// The triangles in one indexed draw, in their order: every vertex is shared
// by about six triangles, and corner by corner it was transformed for each.
void drawSurfaceTriangles(const BlobbyGrid& grid) {
    static_assert(sizeof(SurfaceTriangle) == 3 * sizeof(GLuint));
    static_assert(sizeof(SurfaceVertex) == 6 * sizeof(GLfloat));
    if (grid.triangleCount == 0) {
        return;
    }
    static std::vector<float> side, environment; // storage kept between frames
    surfaceTextureCoordinates(grid, side, environment);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, sizeof(SurfaceVertex), grid.vertices[0].position);
    enableCoordinateArray(GL_TEXTURE1_ARB, side);
    enableCoordinateArray(GL_TEXTURE0_ARB, environment);
    glDrawElements(GL_TRIANGLES, 3 * grid.triangleCount, GL_UNSIGNED_INT, grid.triangles);
    disableCoordinateArray(GL_TEXTURE1_ARB);
    disableCoordinateArray(GL_TEXTURE0_ARB);
    glDisableClientState(GL_VERTEX_ARRAY);
}

void drawSurface(const part3& self, const TVector& o3b, double t, const TextureTable& textures) {
    const BlobbyGrid& grid = self.blobby.grid;
    glClear(t >= kClearScreenFrom ? GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT
                                  : GL_DEPTH_BUFFER_BIT);
    glEnable(GL_LIGHTING);
    glEnable(GL_DEPTH_TEST);
    glPushMatrix();
    gluLookAt(0.0, 0.0, 7.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
    glTranslatef(0.0f, 0.0f, static_cast<float>(3.0 * o3b.z - 2.0));
    const double k = o3b.y > 15.0 ? self.aspect : 1.1 * self.aspect;
    glScalef(static_cast<float>(k), 1.0f, 1.0f);
    glext::glActiveTextureARB(GL_TEXTURE0_ARB);
    // Both units take the coordinates sent per vertex; generation left on
    // by an earlier pass would replace the normal lookup.
    enableTextureGeneration(false);
    bindTexture(textures, kEnvironmentTexture);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glext::glActiveTextureARB(GL_TEXTURE1_ARB);
    glEnable(GL_TEXTURE_2D);
    enableTextureGeneration(false);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_ADD);
    bindTexture(textures, o3b.y >= 5.0 ? kRoomViewTexture : kSideTexture);
    const float grey = static_cast<float>(self.blobby.o2b.y);
    glColor3f(grey, grey, grey);
    glDisable(GL_LIGHTING);
    drawSurfaceTriangles(grid);
    glPopMatrix();
    glDisable(GL_TEXTURE_2D); // unit 1
    glext::glActiveTextureARB(GL_TEXTURE0_ARB);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
}

void drawGlows(const part3& self, const TVector& o1b, const TVector& o3b, double s,
               const TextureTable& textures) {
    const auto balls = metaballCentres(self.blobby.grid.fieldTime, 2.4);
    glPushMatrix();
    gluLookAt(0.0, 0.0, 7.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
    glTranslatef(0.0f, 0.0f, static_cast<float>(3.0 * o3b.z - 6.0));
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    const float b = static_cast<float>(o1b.z);
    for (const TVector& ball : balls) {
        glPushMatrix();
        glTranslatef(static_cast<float>(ball.x), static_cast<float>(ball.y),
                     static_cast<float>(ball.z));
        bindTexture(textures, kGlowTexture);
        for (int i = 0; i < 2; ++i) {
            glPushMatrix();
            faceViewer();
            glRotatef(static_cast<float>(13.0 * s * std::sin(5.0 * i + 5.0)), 0.0f, 0.0f, 1.0f);
            glScalef(6.0f, 6.0f, 6.0f);
            glDisable(GL_LIGHTING);
            glColor3f(0.12f * b, 0.12f * b, 0.192f * b);
            drawQuad(1.0f, 1.0f, TexRect{0.0f, 1.0f, 1.0f, 0.0f}, QuadCorners::FromUpperLeft);
            glPopMatrix();
        }
        glPopMatrix();
    }
    glPopMatrix();
}

void drawReturningButterflies(part3& self, double s, double t, const TextureTable& textures) {
    TVector unused1, unused2, brightness;
    self.blobby.returnPath.evaluate(surfacePathParameter(s), unused1, unused2, brightness);
    const double c = brightness.z;
    if (!(c > 0.01)) {
        return;
    }
    glPushMatrix();
    glDisable(GL_LIGHTING);
    glLoadIdentity();
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    gluLookAt(0.0, 0.0, 44.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
    glDisable(GL_DEPTH_TEST);
    std::array<ButterflyFlight, kPart3ButterflyCount / 2> flights;
    TVector unused3, unused4;
    const int count = self.butterflyCount / 2;
    for (int i = 0; i < count; ++i) {
        const Router& path = self.butterflyPaths[i];
        const double u = returningButterflyParameter(i, s);
        path.evaluate(u, flights[i].p, unused3, unused4);
        path.evaluate(u + 0.01, flights[i].q, unused3, unused4);
        flights[i].flap = t * (0.001 * t + 1.5) + i;
    }
    drawButterflySwarm(flights.data(), count, c, textures);
    glPopMatrix();
}

} // namespace

// A convex mirror shows the direction back to the camera at its middle and
// ever more of the room, ever more crowded, towards its rim; the opposite
// slope stretches the view's rim band into radial spikes. The rim stops short
// of the view's 67.5-degree edge and fades out, a soft reflection in the ball.
std::vector<MirrorRing> ballMirrorRings() {
    constexpr double kHalfPi = 1.5707963267948966;
    constexpr double kRimAngle = kMirrorRimDegrees * kHalfPi / 90.0;
    const double viewHalfWidth = std::tan(67.5 * kHalfPi / 90.0); // the views' 135 degrees
    std::vector<MirrorRing> rings;
    for (int n = 1; n <= kMirrorRings; ++n) {
        // Closer rings towards the rim, where the picture crowds.
        const double r = std::sin(kHalfPi * n / kMirrorRings);
        const double angle = kRimAngle * std::asin(std::min(r, 0.985)) / std::asin(0.985);
        const double seen = 0.5 * std::tan(angle) / viewHalfWidth;
        const double fade = std::clamp((1.0 - r) / kMirrorFadeShare, 0.0, 1.0);
        const double alpha = fade * fade * (3.0 - 2.0 * fade);
        rings.push_back(
            {static_cast<float>(r), static_cast<float>(seen), static_cast<float>(alpha)});
    }
    return rings;
}

double returningButterflyParameter(int i, double s) {
    return 0.045 * s + 4.0 + 0.035 * i;
}

void buildSurfacePaths(BlobbySurfaceState& state) {
    buildSurfacePathsOf(state);
}

void setUpGrid(part3& self, float x0, float x1, float y0, float y1, float z0, float z1, int nx,
               int ny, int nz, float iso) {
    allocateGrid(self.blobby.grid, x0, x1, y0, y1, z0, z1, nx, ny, nz, iso);
}

void updateField(part3& self) {
    updateField(self.blobby.grid, self.blobby.phaseTime, self.blobby.o2b);
}

void buildSurface(part3& self, double /*t*/) {
    self.blobby.grid.vertexCount = 0;
    self.blobby.grid.triangleCount = 0;
    updateField(self);
    extractSurface(self.blobby.grid);
}

void initBlobbySurface(part3& self) {
    buildSurfacePaths(self.blobby);
    if (self.blobby.grid.field == nullptr) {
        setUpGrid(self, -kGridHalfSize, kGridHalfSize, -kGridHalfSize, kGridHalfSize,
                  -kGridHalfSize, kGridHalfSize, kGridCells, kGridCells, kGridCells, kIsoLevel);
    }
    if (platform::windowContextExists()) {
        buildBallBillboardList();
    }
}

void drawBallView(part3& /*self*/, const TVector& eye, const TVector& up, int ball,
                  const TVector& ballPosition, double t, const TextureTable& textures) {
    // The buffer's clear colour is the black the swarm left there.
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    loadPerspective(135.0, 1.0, 0.01, 174.0);
    glLoadIdentity();
    lookAt(ballPosition, eye, up);
    drawRoom(textures, t, 1 << ball);
    // A bluish sheen over the whole view.
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, -1.0f);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    glEnable(GL_TEXTURE_2D);
    bindTexture(textures, kBallGlowTexture);
    glColor3f(0.4f, 0.5f, 0.8f);
    glScalef(2.5f, 2.5f, 1.0f);
    drawUnitQuad();
    copyPictureInto(textures, kBallViewTexture + ball, kBallViewSize, kBallViewSize);
}

void drawReflectionScene(part3& self, const TVector& eye, const TVector& centre, const TVector& up,
                         double t, const TextureTable& textures) {
    glViewport(0, 0, kRoomViewSize, kRoomViewSize);
    // The buffer's clear colour is the black the swarm left there.
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    loadPerspective(65.0, self.aspect, 0.01, 174.0);
    glLoadIdentity();
    lookAt(eye, centre, up);
    drawRoom(textures, t, 7);
    glDisable(GL_LIGHTING);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(1.0f, 1.0f, 1.0f, kBallViewAlpha);
    for (int n = 0; n < 3; ++n) {
        glPushMatrix();
        glTranslatef(static_cast<float>(kBallPositions[n].x),
                     static_cast<float>(kBallPositions[n].y),
                     static_cast<float>(kBallPositions[n].z));
        faceViewer();
        // In front of the ball's own sphere, which would hide it otherwise.
        glTranslatef(0.0f, 0.0f, kBallRadius);
        glScalef(1.05f, 1.05f, 1.05f);
        bindTexture(textures, kBallViewTexture + n);
        glCallList(kBallBillboardList);
        glPopMatrix();
    }
    copyPictureInto(textures, kRoomViewTexture, kRoomViewSize, kRoomViewSize);
}

void renderBlobbySurface(part3& self, double t, const TextureTable& textures,
                         const OffscreenBuffer& buffer) {
    BlobbySurfaceState& state = self.blobby;
    const double s = surfacePhaseTime(t);
    state.phaseTime = s;
    ++self.frameCounter;
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    setUpSurfaceLight();
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);

    TVector eye, centre, up, unused1, unused3;
    const double v = 0.392 * s + 1.0;
    state.viewPath.evaluate(v, eye, unused1, up);
    state.viewPath.evaluate(v + 0.2, unused1, centre, unused3);
    TVector o1b, o3b;
    state.surfacePath.evaluate(surfacePathParameter(s), o1b, state.o2b, o3b);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glDisable(GL_FOG);

    const SurfaceModes modes = surfaceModes(o3b);
    if (modes.reflection) {
        buffer.makeBufferCurrent();
        glViewport(0, 0, kBallViewSize, kBallViewSize);
        for (int n = 0; n < 3 && t < kBallViewsUntil; ++n) {
            drawBallView(self, eye, up, n, kBallPositions[n], t, textures);
        }
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        if (t < kRoomViewUntil) {
            drawReflectionScene(self, eye, centre, up, t, textures);
        }
        buffer.makeWindowCurrent();
    }
    if (modes.surface) {
        buildSurface(self, t);
    }

    setUpSurfaceLight();
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    loadPerspective(65.0, self.aspect, 0.01, 174.0);
    if (modes.reflection) {
        drawBackdrop(state, o1b, o3b, self.aspect, textures);
    }
    if (modes.surface) {
        drawSurface(self, o3b, t, textures);
    }
    if (o1b.z > 0.01) {
        drawGlows(self, o1b, o3b, s, textures);
    }
    drawReturningButterflies(self, s, t, textures);
    glEnable(GL_DEPTH_TEST);
}
