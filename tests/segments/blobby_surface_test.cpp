// The blobby surface's marching cubes against independent checks (the mesh
// lies on the level set, is closed, faces outward), its fixed table rows and
// its mode switching; none of these needs GL.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "segments/blobby_surface.h"
#include "segments/part3.h"

namespace {

using Field = std::function<float(float, float, float)>;

// A grid filled straight from a function (previous field = this field).
struct TestGrid {
    BlobbyGrid grid;
    explicit TestGrid(int n, const Field& f) {
        allocateGrid(grid, -4, 4, -4, 4, -4, 4, n, n, n, 1.0f);
        for (int i = 0; i <= n; ++i) {
            for (int j = 0; j <= n; ++j) {
                for (int k = 0; k <= n; ++k) {
                    grid.previousField[grid.pointIndex(i, j, k)] = f(
                        grid.x0 + k * grid.dx(), grid.y0 + j * grid.dy(), grid.z0 + i * grid.dz());
                }
            }
        }
        extractSurface(grid);
    }
    ~TestGrid() {
        delete[] grid.field;
        delete[] grid.previousField;
        delete[] grid.vertices;
        delete[] grid.edgeVertex;
        delete[] grid.triangles;
    }
};

struct MeshCheck {
    int triangles = 0;
    int openEdges = 0;       // edges used by one triangle only
    int overusedEdges = 0;   // edges used by three or more
    int inwardNormals = 0;   // vertex normals against the field's outward direction
    double worstLevel = 0.0; // largest |f - iso| at a vertex (linear along its edge)
};

// Outward: from where the field is at or above the level towards below it.
MeshCheck checkMesh(const BlobbyGrid& g, const Field& f, const std::function<bool(int)>& ignore) {
    MeshCheck check;
    std::map<std::pair<int, int>, int> edges;
    for (int n = 0; n < g.triangleCount; ++n) {
        if (ignore(n)) {
            continue;
        }
        ++check.triangles;
        const auto& v = g.triangles[n].vertex;
        for (int c = 0; c < 3; ++c) {
            const int a = v[c], b = v[(c + 1) % 3];
            ++edges[{std::min(a, b), std::max(a, b)}];
        }
    }
    for (const auto& [edge, uses] : edges) {
        check.openEdges += uses == 1;
        check.overusedEdges += uses > 2;
    }
    for (int n = 0; n < g.vertexCount; ++n) {
        const SurfaceVertex& v = g.vertices[n];
        const float* p = v.position;
        const float h = 0.05f;
        const float gradient[3] = {f(p[0] + h, p[1], p[2]) - f(p[0] - h, p[1], p[2]),
                                   f(p[0], p[1] + h, p[2]) - f(p[0], p[1] - h, p[2]),
                                   f(p[0], p[1], p[2] + h) - f(p[0], p[1], p[2] - h)};
        const float along =
            -(gradient[0] * v.normal[0] + gradient[1] * v.normal[1] + gradient[2] * v.normal[2]);
        check.inwardNormals += along < 0.0f;
    }
    return check;
}

float sphere(float x, float y, float z) {
    return 4.0f - std::sqrt(x * x + y * y + z * z); // inside where the radius is below 3
}

TEST(MarchingCubes, TellingRowsAreExactAndCornerCasesAreEmpty) {
    const auto& rows = marchingCubesCases();
    const CaseRow one{0, 4, 8, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(rows[1], one);
    const CaseRow two{0, 9, 5, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(rows[2], two);
    const CaseRow three{4, 9, 5, 4, 8, 9, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(rows[3], three);
    const CaseRow seven{1, 10, 8, 1, 8, 5, 5, 8, 9, 0, 0, 0};
    EXPECT_EQ(rows[7], seven);
    const CaseRow fifteen{9, 11, 10, 8, 9, 10, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(rows[15], fifteen);
    const CaseRow last{0, 8, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(rows[254], last);
    for (int c : {0, 105, 255}) {
        EXPECT_EQ(triangleCountOf(rows[c]), 0) << c;
    }
}

TEST(MarchingCubes, EveryRowUsesOnlyEdgesThatTheCaseCrosses) {
    const auto& rows = marchingCubesCases();
    int histogram[5] = {};
    for (int c = 0; c < 256; ++c) {
        const int n = triangleCountOf(rows[c]);
        ASSERT_LE(n, 4);
        ++histogram[n];
        for (int slot = 0; slot < n; ++slot) {
            for (int k = 0; k < 3; ++k) {
                const auto ends = edgeCorners(rows[c][3 * slot + k]);
                EXPECT_NE((c >> ends[0]) & 1, (c >> ends[1]) & 1) << "case " << c;
            }
        }
        // A case and its complement cut the same edges: both or neither empty.
        if (c != 105 && c != 150) {
            EXPECT_EQ(n == 0, triangleCountOf(rows[255 - c]) == 0) << c;
        }
    }
    // Only the two uniform cases and the one deliberately open row are empty.
    EXPECT_EQ(histogram[0], 3);
    std::printf("case table: %d empty, %d one, %d two, %d three, %d four\n", histogram[0],
                histogram[1], histogram[2], histogram[3], histogram[4]);
}

TEST(MarchingCubes, SphereIsClosedOnTheLevelAndFacesOutward) {
    TestGrid t(28, sphere);
    const BlobbyGrid& g = t.grid;
    ASSERT_GT(g.triangleCount, 500);
    const MeshCheck check = checkMesh(g, sphere, [](int) { return false; });
    EXPECT_EQ(check.overusedEdges, 0);
    // Holes only where a row had to drop a triangle; a smooth sphere has none.
    EXPECT_EQ(check.openEdges, 0);
    EXPECT_EQ(check.inwardNormals, 0);
    for (int n = 0; n < g.vertexCount; ++n) {
        const float* p = g.vertices[n].position;
        // Linear interpolation of a radial field is exact along an edge to
        // within the curvature over one cell (8 / 28).
        EXPECT_NEAR(std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]), 3.0, 0.02);
    }
}

TEST(MarchingCubes, ValueAtTheLevelCountsAsInside) {
    // Everything exactly at the level: every point inside, nothing cut.
    TestGrid flat(8, [](float, float, float) { return 1.0f; });
    EXPECT_EQ(flat.grid.vertexCount, 0);
    EXPECT_EQ(flat.grid.triangleCount, 0);
    // A single point at the level in a field below it: one corner inside.
    TestGrid spike(8, [](float x, float y, float z) {
        return x == 0.0f && y == 0.0f && z == 0.0f ? 1.0f : 0.0f;
    });
    EXPECT_EQ(spike.grid.vertexCount, 6);
    EXPECT_EQ(spike.grid.triangleCount, 8); // the eight cells round it, one corner each
    for (int n = 0; n < spike.grid.vertexCount; ++n) {
        for (float c : spike.grid.vertices[n].position) {
            EXPECT_FLOAT_EQ(c, 0.0f); // w = 0: the vertex sits on the point itself
        }
    }
}

TEST(BlobbySurface, MetaballFieldGivesAClosedOutwardSurface) {
    auto segment = std::make_unique<part3>();
    initPart3(*segment);
    BlobbySurfaceState& state = segment->blobby;
    // Round blobs: negative metaball strength, no plane.
    state.o2b = makeKey(-0.07, 1.0, 0.0);
    for (double s : {50.0, 61.3}) {
        state.phaseTime = s;
        buildSurface(*segment, 0.0); // the surface lags one update behind
        buildSurface(*segment, 0.0);
        const BlobbyGrid& g = state.grid;
        ASSERT_GT(g.triangleCount, 100);
        const auto balls = metaballCentres(g.fieldTime, metaballOrbit(s));
        const Field field = [&](float x, float y, float z) {
            // The field is stored one plane up in z.
            const float zz = z - g.dz();
            float sum = 0.0f;
            for (const TVector& b : balls) {
                const float w = static_cast<float>((5.0 - b.z) * (5.0 - b.z));
                const float dx = x - b.x, dy = y - b.y, dz = zz - b.z;
                sum += w / (dx * dx + dy * dy + dz * dz);
            }
            return 0.056f * sum;
        };
        const MeshCheck check = checkMesh(g, field, [](int) { return false; });
        EXPECT_EQ(check.overusedEdges, 0);
        EXPECT_LE(check.openEdges, 12); // only where a row dropped a triangle
        EXPECT_LE(check.inwardNormals, g.vertexCount / 100);
        std::printf("s = %.1f: %d triangles, %d open edges\n", s, check.triangles, check.openEdges);
    }
}

TEST(BlobbySurface, ModeFiveReflectsWithoutTheSurface) {
    const SurfaceModes five = surfaceModes(makeKey(0, 5.0, 0));
    EXPECT_TRUE(five.reflection);
    EXPECT_FALSE(five.surface);
    const SurfaceModes below = surfaceModes(makeKey(0, 4.999, 0));
    EXPECT_FALSE(below.reflection);
    EXPECT_TRUE(below.surface);
    const SurfaceModes fifteen = surfaceModes(makeKey(0, 15.0, 0));
    EXPECT_FALSE(fifteen.surface);
    const SurfaceModes both = surfaceModes(makeKey(0, 15.001, 0));
    EXPECT_TRUE(both.reflection && both.surface);
}

TEST(BlobbySurface, OrbitShrinksAtPhaseTimeTwenty) {
    EXPECT_DOUBLE_EQ(metaballOrbit(19.999), 2.24);
    EXPECT_DOUBLE_EQ(metaballOrbit(20.0), 1.6);
    const auto balls = metaballCentres(0.0, metaballOrbit(20.0));
    EXPECT_DOUBLE_EQ(balls[0].x, 1.6);
}

TEST(BlobbySurface, ScriptRunsSurfaceThenReflectionThenBoth) {
    auto segment = std::make_unique<part3>();
    initPart3(*segment);
    TVector o1b, o2b, o3b;
    int order[3] = {-1, -1, -1};
    int seen = 0;
    for (double t = 85.01; t <= 165.6; t += 0.05) {
        segment->blobby.surfacePath.evaluate(surfacePathParameter(surfacePhaseTime(t)), o1b, o2b,
                                             o3b);
        const SurfaceModes m = surfaceModes(o3b);
        const int mode = m.reflection ? (m.surface ? 2 : 1) : 0;
        if (seen == 0 || order[seen - 1] != mode) {
            ASSERT_LT(seen, 3) << "mode changes back at t = " << t;
            order[seen++] = mode;
        }
    }
    EXPECT_EQ(seen, 3);
    EXPECT_EQ(order[0], 0);
    EXPECT_EQ(order[1], 1);
    EXPECT_EQ(order[2], 2);
}

// Once round, the script swells the blobs to fill more of the frame. The
// cells the surface is cut from end one short of the grid's border, so a
// blob that reaches a border point of that block is cut open there and
// shows a hole into its inside. (While the plane term draws a sheet, the
// sheet spans the grid on purpose; the next test keeps its cut edges out
// of view.)
TEST(BlobbySurface, ScriptedBlobsStayInsideTheGrid) {
    auto segment = std::make_unique<part3>();
    initPart3(*segment);
    BlobbySurfaceState& state = segment->blobby;
    const BlobbyGrid& g = state.grid;
    int largest = 0;
    for (double t = 130.0; t <= 165.6; t += 0.25) {
        TVector o1b, o3b;
        state.phaseTime = surfacePhaseTime(t);
        state.surfacePath.evaluate(surfacePathParameter(state.phaseTime), o1b, state.o2b, o3b);
        if (!surfaceModes(o3b).surface || std::abs(state.o2b.z) > 0.01) {
            continue;
        }
        buildSurface(*segment, t);
        largest = std::max(largest, g.triangleCount);
        for (int i = 0; i < g.nz; ++i) {
            for (int j = 0; j < g.ny; ++j) {
                for (int k = 0; k < g.nx; ++k) {
                    const bool border = i == 0 || j == 0 || k == 0 || i == g.nz - 1 ||
                                        j == g.ny - 1 || k == g.nx - 1;
                    if (border) {
                        ASSERT_LT(g.previousField[g.pointIndex(i, j, k)], g.iso)
                            << "t = " << t << " at " << i << ", " << j << ", " << k;
                    }
                }
            }
        }
    }
    // Large enough to be worth the check: a blob a third of the grid wide.
    EXPECT_GT(largest, 1500);
}

// Where the plane term lays a sheet across the grid (the opening sheet), the
// sheet is cut off at the grid's sides: it must lie near enough to the
// camera that those edges stay outside the 65 degree view, or the sheet
// reads as a panel hanging in the black. It may pass that depth only on its
// way out past the grid's back, for a moment.
TEST(BlobbySurface, ScriptedSheetsFillTheView) {
    auto segment = std::make_unique<part3>();
    initPart3(*segment);
    BlobbySurfaceState& state = segment->blobby;
    const BlobbyGrid& g = state.grid;
    const double halfView = std::tan(32.5 * 3.14159265358979 / 180.0);
    constexpr double kStep = 0.05;
    double framedTime = 0, sheetTime = 0, firstFramed = 0;
    for (double t = 85.01; t <= 165.6; t += kStep) {
        TVector o1b, o3b;
        state.surfacePath.evaluate(surfacePathParameter(surfacePhaseTime(t)), o1b, state.o2b, o3b);
        if (!surfaceModes(o3b).surface || std::abs(state.o2b.z) < 0.01) {
            continue;
        }
        // The plane term alone reaches the iso level here.
        const double sheet = 2.3 + 1.0 / (1.66666667 * state.o2b.z);
        if (sheet < g.z0 + g.dz() || sheet > g.z1 - g.dz()) {
            continue;
        }
        sheetTime += kStep;
        const double distance = 7.0 - (sheet + 3.0 * o3b.z - 2.0);
        if (distance * halfView > g.y1) {
            firstFramed = framedTime == 0 ? t : firstFramed;
            framedTime += kStep;
        }
    }
    EXPECT_GT(sheetTime, 10.0) << "no sheet at all";
    // In Segment time units; 1.8 is half a second.
    EXPECT_LT(framedTime, 1.8) << "a sheet with its cut edges in view from t = " << firstFramed;
}

// The mirror room's camera looks down into the glass case from above the
// objects' tops (2.75) while the room is the backdrop. The top edge of its
// 65 degree view must point below the horizon: level or above, the view ran
// over the case's rim into the empty black, a dark band across the whole
// backdrop. Once the round blobs are drawn too, its view is only added
// onto their skins, so after it has turned it looks up into the empty dark
// above the case with the whole view: pasted over the drops, the room's
// tiles hid their chrome.
TEST(BlobbySurface, RoomCameraLooksDownIntoTheCaseThenAwayFromIt) {
    auto segment = std::make_unique<part3>();
    initPart3(*segment);
    const Router& path = segment->blobby.viewPath;
    double shallowest = 90.0, lowest = 100.0, lowestEdgeAbove = 90.0;
    double firstBoth = 0.0;
    int backdropFrames = 0, awayFrames = 0;
    for (double t = 85.01; t < 155.0; t += 0.05) {
        const double s = surfacePhaseTime(t);
        TVector o1b, o2b, o3b;
        segment->blobby.surfacePath.evaluate(surfacePathParameter(s), o1b, o2b, o3b);
        const SurfaceModes m = surfaceModes(o3b);
        const double v = 0.392 * s + 1.0;
        TVector eye, centre, unused1, unused2;
        path.evaluate(v, eye, unused1, unused2);
        path.evaluate(v + 0.2, unused1, centre, unused2);
        const double across = std::hypot(centre.x - eye.x, centre.z - eye.z);
        const double down = std::atan2(eye.y - centre.y, across) * 180.0 / 3.14159265358979;
        if (m.reflection && !m.surface) {
            shallowest = std::min(shallowest, down);
            lowest = std::min(lowest, eye.y);
            ++backdropFrames;
        } else if (m.reflection && m.surface) {
            firstBoth = firstBoth == 0.0 ? t : firstBoth;
            // Six units (under two seconds) to turn.
            if (t > firstBoth + 6.0) {
                lowestEdgeAbove = std::min(lowestEdgeAbove, -down - 32.5);
                ++awayFrames;
            }
        }
    }
    ASSERT_GT(backdropFrames, 100);
    ASSERT_GT(awayFrames, 100);
    EXPECT_GT(shallowest, 32.5 + 2.0);
    EXPECT_GT(lowest, 2.75);
    EXPECT_GT(lowestEdgeAbove, 0.0) << "the room shows in the drops' skins";
}
// The disc that lays a ball's view on its ball in the room view must act as
// a convex mirror: the view's texture radius grows faster towards the rim
// (laid on with the opposite slope, the view's outer band was stretched
// across the disc and the floor's joints drew radial spikes), stays inside
// the view, and the disc fades out smoothly to nothing at its rim.
TEST(BlobbySurface, BallViewDiscCrowdsTowardsItsRimAndFadesOut) {
    const std::vector<MirrorRing> rings = ballMirrorRings();
    ASSERT_GE(rings.size(), 8u);
    EXPECT_FLOAT_EQ(rings.back().radius, 1.0f);
    EXPECT_FLOAT_EQ(rings.back().alpha, 0.0f);
    EXPECT_FLOAT_EQ(rings.front().alpha, 1.0f);
    EXPECT_LT(rings.back().seen, 0.5f);
    float previousRadius = 0, previousSeen = 0, previousSlope = 0, previousAlpha = 1;
    for (const MirrorRing& ring : rings) {
        ASSERT_GT(ring.radius, previousRadius);
        const float slope = (ring.seen - previousSeen) / (ring.radius - previousRadius);
        if (ring.alpha > 0.05f) { // where the disc still shows
            EXPECT_GT(slope, 0.99f * previousSlope) << ring.radius;
        }
        EXPECT_LE(ring.alpha, previousAlpha) << ring.radius;
        EXPECT_LT(previousAlpha - ring.alpha, 0.45f) << "a hard rim at " << ring.radius;
        previousRadius = ring.radius;
        previousSeen = ring.seen;
        previousSlope = slope;
        previousAlpha = ring.alpha;
    }
}
} // namespace
