// The blobby surface's field and its marching-cubes extraction; no GL here.
#include <algorithm>
#include <cmath>
#include <new>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "segments/blobby_surface.h"

namespace {

constexpr int kCorners = 8;
constexpr int kEdges = 12;

struct Corner {
    int x, y, z;
};
Corner cornerAt(int bit) {
    return {bit & 1, (bit >> 1) & 1, (bit >> 2) & 1};
}
int cornerBit(int x, int y, int z) {
    return x + 2 * y + 4 * z;
}

// Axis and offset of each edge in the cell, in the table's numbering.
constexpr int kEdgeAxis[kEdges] = {0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2};
constexpr int kEdgeOffset[kEdges][3] = {{0, 0, 0}, {0, 1, 0}, {0, 0, 1}, {0, 1, 1},
                                        {0, 0, 0}, {1, 0, 0}, {0, 0, 1}, {1, 0, 1},
                                        {0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}};

int edgeBetween(int a, int b) {
    for (int e = 0; e < kEdges; ++e) {
        const auto ends = edgeCorners(e);
        if ((ends[0] == a && ends[1] == b) || (ends[0] == b && ends[1] == a)) {
            return e;
        }
    }
    return -1;
}

struct Point {
    double x, y, z;
};
Point edgeMidpoint(int e) {
    const auto ends = edgeCorners(e);
    const Corner a = cornerAt(ends[0]), b = cornerAt(ends[1]);
    return {0.5 * (a.x + b.x), 0.5 * (a.y + b.y), 0.5 * (a.z + b.z)};
}
Point minus(Point a, Point b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
Point crossOf(Point a, Point b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
double dot(Point a, Point b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
double triangleArea(int a, int b, int c) {
    const Point n =
        crossOf(minus(edgeMidpoint(b), edgeMidpoint(a)), minus(edgeMidpoint(c), edgeMidpoint(a)));
    return 0.5 * std::sqrt(dot(n, n));
}

using Polygon = std::vector<int>; // edge numbers in winding order
using Triangles = std::vector<std::array<int, 3>>;

// The closed polygons where the level set cuts the cell. On a face whose
// inside corners lie on a diagonal the inside corners are cut off
// separately; every cell decides a shared face alike, so neighbours meet.
std::vector<Polygon> cutPolygons(int caseNumber) {
    const auto inside = [caseNumber](int bit) { return ((caseNumber >> bit) & 1) != 0; };
    std::vector<std::vector<int>> links(kEdges);
    for (int axis = 0; axis < 3; ++axis) {
        for (int side = 0; side < 2; ++side) {
            // The face's corners in cyclic order.
            int cycle[4];
            const int u = (axis + 1) % 3, w = (axis + 2) % 3;
            const int walk[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
            for (int n = 0; n < 4; ++n) {
                int p[3];
                p[axis] = side;
                p[u] = walk[n][0];
                p[w] = walk[n][1];
                cycle[n] = cornerBit(p[0], p[1], p[2]);
            }
            int faceEdge[4];
            std::vector<int> crossings;
            for (int n = 0; n < 4; ++n) {
                faceEdge[n] = edgeBetween(cycle[n], cycle[(n + 1) % 4]);
                if (inside(cycle[n]) != inside(cycle[(n + 1) % 4])) {
                    crossings.push_back(n);
                }
            }
            std::vector<std::array<int, 2>> segments;
            if (crossings.size() == 2) {
                segments.push_back({faceEdge[crossings[0]], faceEdge[crossings[1]]});
            } else if (crossings.size() == 4) {
                for (int n = 0; n < 4; ++n) {
                    if (inside(cycle[n])) {
                        segments.push_back({faceEdge[(n + 3) % 4], faceEdge[n]});
                    }
                }
            }
            for (const auto& s : segments) {
                links[s[0]].push_back(s[1]);
                links[s[1]].push_back(s[0]);
            }
        }
    }
    std::vector<Polygon> polygons;
    std::vector<bool> used(kEdges, false);
    for (int start = 0; start < kEdges; ++start) {
        if (used[start] || links[start].empty()) {
            continue;
        }
        Polygon polygon{start};
        used[start] = true;
        int previous = start, current = links[start][0];
        while (current != start) {
            polygon.push_back(current);
            used[current] = true;
            const int next = links[current][0] != previous ? links[current][0] : links[current][1];
            previous = current;
            current = next;
        }
        // Wind it so that its normal points from the inside corners out.
        Point normal{0, 0, 0}, outward{0, 0, 0};
        const Point centre = edgeMidpoint(polygon[0]);
        for (std::size_t n = 1; n + 1 < polygon.size(); ++n) {
            const Point c = crossOf(minus(edgeMidpoint(polygon[n]), centre),
                                    minus(edgeMidpoint(polygon[n + 1]), centre));
            normal = {normal.x + c.x, normal.y + c.y, normal.z + c.z};
        }
        for (int e : polygon) {
            const auto ends = edgeCorners(e);
            const Corner in = cornerAt(inside(ends[0]) ? ends[0] : ends[1]);
            const Corner out = cornerAt(inside(ends[0]) ? ends[1] : ends[0]);
            outward = {outward.x + out.x - in.x, outward.y + out.y - in.y,
                       outward.z + out.z - in.z};
        }
        if (dot(normal, outward) < 0.0) {
            std::reverse(polygon.begin(), polygon.end());
        }
        polygons.push_back(polygon);
    }
    return polygons;
}

// All triangulations of a convex-ish polygon by recursion on the edge
// (first, last): each picks the apex of the triangle on that edge.
void triangulations(const Polygon& p, int from, int to, std::vector<Triangles>& out) {
    if (to - from < 2) {
        out.push_back({});
        return;
    }
    for (int apex = from + 1; apex < to; ++apex) {
        std::vector<Triangles> left, right;
        triangulations(p, from, apex, left);
        triangulations(p, apex, to, right);
        for (const Triangles& l : left) {
            for (const Triangles& r : right) {
                Triangles t = l;
                t.push_back({p[from], p[apex], p[to]});
                t.insert(t.end(), r.begin(), r.end());
                out.push_back(t);
            }
        }
    }
}

double areaOf(const Triangles& ts) {
    double a = 0.0;
    for (const auto& t : ts) {
        a += triangleArea(t[0], t[1], t[2]);
    }
    return a;
}

// A fan per polygon where four triangles hold them all; otherwise the four
// triangles (of any triangulation) that cover the most of the cut.
Triangles coverCase(int caseNumber) {
    const std::vector<Polygon> polygons = cutPolygons(caseNumber);
    std::size_t needed = 0;
    for (const Polygon& p : polygons) {
        needed += p.size() - 2;
    }
    Triangles best;
    if (needed <= 4) {
        for (const Polygon& p : polygons) {
            for (std::size_t n = 1; n + 1 < p.size(); ++n) {
                best.push_back({p[0], p[n], p[n + 1]});
            }
        }
        return best;
    }
    std::vector<Triangles> candidates{{}};
    for (const Polygon& p : polygons) {
        std::vector<Triangles> options;
        triangulations(p, 0, static_cast<int>(p.size()) - 1, options);
        std::vector<Triangles> grown;
        for (const Triangles& c : candidates) {
            for (const Triangles& o : options) {
                Triangles t = c;
                t.insert(t.end(), o.begin(), o.end());
                grown.push_back(t);
            }
        }
        candidates = grown;
    }
    double bestArea = -1.0;
    for (Triangles& c : candidates) {
        // Keep the four largest.
        std::stable_sort(c.begin(), c.end(), [](const auto& a, const auto& b) {
            return triangleArea(a[0], a[1], a[2]) > triangleArea(b[0], b[1], b[2]);
        });
        c.resize(4);
        const double a = areaOf(c);
        if (a > bestArea + 1e-12) {
            bestArea = a;
            best = c;
        }
    }
    return best;
}

CaseRow rowOf(const Triangles& triangles) {
    CaseRow row{};
    for (std::size_t n = 0; n < triangles.size() && n < 4; ++n) {
        for (int c = 0; c < 3; ++c) {
            row[3 * n + c] = static_cast<std::int8_t>(triangles[n][c]);
        }
    }
    return row;
}

// Rows fixed by the production, winding included; the rest are derived.
void fixTellingRows(std::array<CaseRow, 256>& rows) {
    rows[0] = rowOf({});
    rows[255] = rowOf({});
    rows[1] = rowOf({{0, 4, 8}});
    rows[2] = rowOf({{0, 9, 5}});
    rows[3] = rowOf({{4, 9, 5}, {4, 8, 9}});
    rows[7] = rowOf({{1, 10, 8}, {1, 8, 5}, {5, 8, 9}});
    rows[15] = rowOf({{9, 11, 10}, {8, 9, 10}});
    rows[254] = rowOf({{0, 8, 4}});
    rows[105] = rowOf({}); // four lone corners: left open
}

std::array<CaseRow, 256> deriveCases() {
    std::array<CaseRow, 256> rows{};
    for (int c = 0; c < 256; ++c) {
        rows[c] = rowOf(coverCase(c));
    }
    fixTellingRows(rows);
    return rows;
}

[[noreturn]] void stopForMemory(const char* what) {
    const std::string text =
        std::string("Not enough memory for the blobby surface's ") + what + ".";
    platform::showMessage(text.c_str(), "ERROR", platform::BoxIcon::Stop);
    platform::endProcess(1);
}

template <class T> T* allocateArray(std::size_t count, const char* what) {
    T* p = new (std::nothrow) T[count]();
    if (p == nullptr) {
        stopForMemory(what);
    }
    return p;
}

} // namespace

std::array<int, 2> edgeCorners(int edge) {
    const int* o = kEdgeOffset[edge];
    int b[3] = {o[0], o[1], o[2]};
    b[kEdgeAxis[edge]] += 1;
    return {cornerBit(o[0], o[1], o[2]), cornerBit(b[0], b[1], b[2])};
}

const std::array<CaseRow, 256>& marchingCubesCases() {
    static const std::array<CaseRow, 256> rows = deriveCases();
    return rows;
}

int triangleCountOf(const CaseRow& row) {
    int n = 0;
    for (int slot = 0; slot < 4; ++slot) {
        n += row[3 * slot] != row[3 * slot + 1];
    }
    return n;
}

void allocateGrid(BlobbyGrid& grid, float x0, float x1, float y0, float y1, float z0, float z1,
                  int nx, int ny, int nz, float iso) {
    grid.x0 = x0;
    grid.x1 = x1;
    grid.y0 = y0;
    grid.y1 = y1;
    grid.z0 = z0;
    grid.z1 = z1;
    grid.nx = nx;
    grid.ny = ny;
    grid.nz = nz;
    grid.nxy = nx * ny;
    grid.nxyz = nx * ny * nz;
    grid.iso = iso;
    grid.startClock = std::clock();
    const std::size_t cells = static_cast<std::size_t>(grid.nxyz);
    const std::size_t points = static_cast<std::size_t>(nx + 1) * (ny + 1) * (nz + 1);
    grid.edgeVertex = allocateArray<std::int32_t>(3 * cells, "edge index");
    grid.vertices = allocateArray<SurfaceVertex>(6 * cells, "vertices");
    grid.triangles = allocateArray<SurfaceTriangle>(8 * cells, "triangles");
    grid.field = allocateArray<float>(points, "field");
    grid.previousField = allocateArray<float>(points, "previous field");
    grid.vertexCount = 0;
    grid.triangleCount = 0;
}

double metaballOrbit(double s) {
    return s >= 20.0 ? 0.8 * 2.0 : 0.8 * 2.8;
}

std::array<TVector, 3> metaballCentres(double m, double orbit) {
    const double L = orbit;
    return {makeKey(L * std::cos(5.0 * m), L * std::sin(6.0 * m), L * std::cos(6.6 * m)),
            makeKey(L * std::cos(3.5 * m), L * std::sin(4.6 * m), L * std::cos(5.6 * m)),
            makeKey(L * std::cos(2.5 * m), L * std::sin(3.6 * m), L * std::cos(6.6 * m))};
}

void updateField(BlobbyGrid& grid, double s, const TVector& strength) {
    grid.fieldTime = static_cast<float>(0.14 * s);
    const auto balls = metaballCentres(grid.fieldTime, metaballOrbit(s));
    float bx[3], by[3], bz[3], weight[3];
    for (int b = 0; b < 3; ++b) {
        bx[b] = static_cast<float>(balls[b].x);
        by[b] = static_cast<float>(balls[b].y);
        bz[b] = static_cast<float>(balls[b].z);
        weight[b] = (5.0f - bz[b]) * (5.0f - bz[b]);
    }
    const float ballScale = static_cast<float>(-0.8 * strength.x);
    const float planeScale = static_cast<float>(strength.z * 1.66666667);
    const float dx = grid.dx(), dy = grid.dy(), dz = grid.dz();
    for (int i = 1; i <= grid.nz; ++i) {
        const float z = grid.z0 + (i - 1) * dz;
        const float plane = planeScale * (z - 2.3f);
        for (int j = 0; j <= grid.ny; ++j) {
            const float y = grid.y0 + j * dy;
            float* current = grid.field + grid.pointIndex(i, j, 0);
            float* previous = grid.previousField + grid.pointIndex(i, j, 0);
            for (int k = 0; k <= grid.nx; ++k) {
                const float x = grid.x0 + k * dx;
                previous[k] = current[k];
                float sum = 0.0f;
                // The balls in the order B3, B1, B2.
                for (int b : {2, 0, 1}) {
                    const float ex = x - bx[b], ey = y - by[b], ez = z - bz[b];
                    sum += weight[b] / (ex * ex + ey * ey + ez * ez);
                }
                current[k] = ballScale * sum + plane;
            }
        }
    }
}

void extractSurface(BlobbyGrid& grid) {
    grid.vertexCount = 0;
    grid.triangleCount = 0;
    const float* f = grid.previousField;
    const float iso = grid.iso;
    const float step[3] = {grid.dx(), grid.dy(), grid.dz()};
    const int pointStride[3] = {1, grid.nx + 1, (grid.nx + 1) * (grid.ny + 1)};
    for (int i = 0; i < grid.nz; ++i) {
        for (int j = 0; j < grid.ny; ++j) {
            for (int k = 0; k < grid.nx; ++k) {
                const int point = grid.pointIndex(i, j, k);
                const int cell = k + grid.nx * (j + grid.ny * i);
                const float a = f[point];
                const float origin[3] = {grid.x0 + k * step[0], grid.y0 + j * step[1],
                                         grid.z0 + i * step[2]};
                for (int axis = 0; axis < 3; ++axis) {
                    const float b = f[point + pointStride[axis]];
                    if ((a >= iso) == (b >= iso)) {
                        continue;
                    }
                    const float w = (iso - a) / (b - a);
                    SurfaceVertex& v = grid.vertices[grid.vertexCount];
                    for (int c = 0; c < 3; ++c) {
                        v.position[c] = origin[c];
                        v.normal[c] = 0.0f;
                    }
                    v.position[axis] += w * step[axis];
                    grid.edgeVertex[cell + axis * grid.nxyz] = grid.vertexCount++;
                }
            }
        }
    }

    const auto& cases = marchingCubesCases();
    const int cellStride[3] = {1, grid.nx, grid.nx * grid.ny};
    int edgeCell[kEdges];
    for (int e = 0; e < kEdges; ++e) {
        const int* o = kEdgeOffset[e];
        edgeCell[e] = o[0] * cellStride[0] + o[1] * cellStride[1] + o[2] * cellStride[2] +
                      kEdgeAxis[e] * grid.nxyz;
    }
    int cornerPoint[kCorners];
    for (int bit = 0; bit < kCorners; ++bit) {
        const Corner c = cornerAt(bit);
        cornerPoint[bit] = c.x * pointStride[0] + c.y * pointStride[1] + c.z * pointStride[2];
    }
    for (int i = 0; i < grid.nz - 1; ++i) {
        for (int j = 0; j < grid.ny - 1; ++j) {
            for (int k = 0; k < grid.nx - 1; ++k) {
                const int point = grid.pointIndex(i, j, k);
                int caseNumber = 0;
                for (int bit = 0; bit < kCorners; ++bit) {
                    // Kept in its own statement: GCC 12's sanitizer build
                    // miscompiles the comparison folded into the shift.
                    const bool inside = f[point + cornerPoint[bit]] >= iso;
                    caseNumber |= (inside ? 1 : 0) << bit;
                }
                const CaseRow& row = cases[caseNumber];
                const int cell = k + grid.nx * (j + grid.ny * i);
                for (int slot = 0; slot < 4 && row[3 * slot] != row[3 * slot + 1]; ++slot) {
                    SurfaceTriangle& t = grid.triangles[grid.triangleCount++];
                    for (int c = 0; c < 3; ++c) {
                        t.vertex[c] = grid.edgeVertex[cell + edgeCell[row[3 * slot + c]]];
                    }
                    SurfaceVertex* v[3] = {&grid.vertices[t.vertex[0]], &grid.vertices[t.vertex[1]],
                                           &grid.vertices[t.vertex[2]]};
                    float e1[3], e2[3];
                    for (int c = 0; c < 3; ++c) {
                        e1[c] = v[1]->position[c] - v[0]->position[c];
                        e2[c] = v[2]->position[c] - v[0]->position[c];
                    }
                    const float n[3] = {e1[1] * e2[2] - e1[2] * e2[1],
                                        e1[2] * e2[0] - e1[0] * e2[2],
                                        e1[0] * e2[1] - e1[1] * e2[0]};
                    for (SurfaceVertex* corner : v) {
                        for (int c = 0; c < 3; ++c) {
                            corner->normal[c] += n[c];
                        }
                    }
                }
            }
        }
    }
    for (int n = 0; n < grid.vertexCount; ++n) {
        float* normal = grid.vertices[n].normal;
        const float length =
            std::sqrt(normal[0] * normal[0] + normal[1] * normal[1] + normal[2] * normal[2]);
        if (length > 0.0f) {
            for (int c = 0; c < 3; ++c) {
                normal[c] /= length;
            }
        }
    }
}

SurfaceModes surfaceModes(const TVector& o3b) {
    SurfaceModes modes;
    modes.reflection = o3b.y >= 5.0;
    modes.surface = o3b.y < 5.0 || o3b.y > 15.0;
    return modes;
}
