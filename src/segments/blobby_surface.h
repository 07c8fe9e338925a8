// The blobby surface, the second phase of Segment #3: three metaballs and a
// tilted plane make a scalar field on a grid, marching cubes turns the level
// set into triangles every frame, and they are drawn with an environment
// image chosen by the normals plus a picture projected from the side. A
// reflection mode renders the balls' views off-screen and shows them as a
// backdrop; glows mark the balls and forty butterflies fly back.
#pragma once

#include <array>
#include <cstdint>
#include <ctime>
#include <vector>

#include "anim/router.h"
#include "anim/tvector.h"
#include "gfx/offscreen_buffer.h"
#include "gfx/texture_table.h"

// Four triangle slots of three edge numbers per case; a slot holds a triangle
// when its first two numbers differ. Edges 0..3 run along x from the cell
// offsets (0 0 0), (0 1 0), (0 0 1), (0 1 1); 4..7 along y from (0 0 0),
// (1 0 0), (0 0 1), (1 0 1); 8..11 along z from (0 0 0), (1 0 0), (0 1 0),
// (1 1 0). Corner bit b sits at (b & 1, b >> 1 & 1, b >> 2 & 1).
using CaseRow = std::array<std::int8_t, 12>;
const std::array<CaseRow, 256>& marchingCubesCases();
int triangleCountOf(const CaseRow& row);
// The cube's corners that edge e joins, as corner bits.
std::array<int, 2> edgeCorners(int edge);

struct SurfaceVertex {
    float position[3];
    float normal[3];
};
struct SurfaceTriangle {
    std::int32_t vertex[3];
};

// The field on its grid and the surface extracted from it. Grid point
// (i, j, k) (z, y, x index) is stored at k + (nx + 1)(j + i (ny + 1)).
struct BlobbyGrid {
    float x0 = 0, x1 = 0, y0 = 0, y1 = 0, z0 = 0, z1 = 0;
    std::int32_t nx = 0, ny = 0, nz = 0;
    std::int32_t nxy = 0, nxyz = 0;
    float iso = 0.0f;
    float fieldTime = 0.0f;
    std::clock_t startClock = 0;
    float* field = nullptr;
    float* previousField = nullptr;
    SurfaceVertex* vertices = nullptr;
    std::int32_t vertexCount = 0;
    std::int32_t* edgeVertex = nullptr; // per cell and axis
    SurfaceTriangle* triangles = nullptr;
    std::int32_t triangleCount = 0;

    std::int32_t pointIndex(int i, int j, int k) const { return k + (nx + 1) * (j + i * (ny + 1)); }
    float dx() const { return (x1 - x0) / nx; }
    float dy() const { return (y1 - y0) / ny; }
    float dz() const { return (z1 - z0) / nz; }
};

// Allocates the arrays once; a failed allocation stops the program in order.
void allocateGrid(BlobbyGrid& grid, float x0, float x1, float y0, float y1, float z0, float z1,
                  int nx, int ny, int nz, float iso);

// The metaballs at phase time s: they orbit at 2.24 until s = 20, then at 1.6.
double metaballOrbit(double s);
std::array<TVector, 3> metaballCentres(double m, double orbit);

// Recomputes the field at phase time s (the previous values move to the
// previous field first). `strength` is O2B: x scales the metaballs, z the plane.
void updateField(BlobbyGrid& grid, double s, const TVector& strength);
// Vertices, triangles and normals of the level set of the previous field.
void extractSurface(BlobbyGrid& grid);

// The second phase's script.
struct SurfaceModes {
    bool reflection = false; // ball views, room view and backdrop
    bool surface = false;    // the extracted surface
};
SurfaceModes surfaceModes(const TVector& o3b);

struct BlobbySurfaceState {
    double phaseTime = 0.0;
    Router surfacePath; // O1B, O2B, O3B
    Router viewPath;    // eye, centre and up of the reflection views
    Router returnPath;  // third output's z: the returning butterflies' brightness
    TVector o2b;
    BlobbyGrid grid;
};

// Phase time s from the Segment time t.
inline double surfacePhaseTime(double t) {
    return (t - 85.0) * 0.93;
}
inline double surfacePathParameter(double s) {
    return 0.4 * s + 1.0;
}

void buildSurfacePaths(BlobbySurfaceState& state);

class part3;

// Called by the Segment's init with the box -4..4, 28 cells per axis, iso 1.
void setUpGrid(part3& self, float x0, float x1, float y0, float y1, float z0, float z1, int nx,
               int ny, int nz, float iso);
void updateField(part3& self);
void buildSurface(part3& self, double t);
// Paths, grid and the ball billboard's display list.
void initBlobbySurface(part3& self);
// The phase's frame, drawn after the swarm's when t > 85.
void renderBlobbySurface(part3& self, double t, const TextureTable& textures,
                         const OffscreenBuffer& buffer);
void drawReflectionScene(part3& self, const TVector& eye, const TVector& centre, const TVector& up,
                         double t, const TextureTable& textures);
void drawBallView(part3& self, const TVector& eye, const TVector& up, int ball,
                  const TVector& ballPosition, double t, const TextureTable& textures);
// The rings of the disc that lays a ball's view on its ball in the room
// view, from the middle out: disc radius (1 at the rim), the view's texture
// radius there (0.5 is the view's edge) and the share of the view's alpha.
struct MirrorRing {
    float radius, seen, alpha;
};
std::vector<MirrorRing> ballMirrorRings();
// Butterfly i's place on its path while the swarm flies back.
double returningButterflyParameter(int i, double s);
