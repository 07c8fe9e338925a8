#include "mesh_shapes.h"

#include <algorithm>
#include <limits>
#include <map>
#include <numbers>
#include <utility>

namespace assetgen {

namespace {

std::vector<Vec3> icosahedronCorners() {
    const double p = std::numbers::phi;
    return {{0, 1, p},  {0, 1, -p},  {0, -1, p}, {0, -1, -p}, {1, p, 0},  {1, -p, 0},
            {-1, p, 0}, {-1, -p, 0}, {p, 0, 1},  {p, 0, -1},  {-p, 0, 1}, {-p, 0, -1}};
}

// The faces of a regular solid are the triples of corners at edge distance.
std::vector<std::array<int, 3>> baseFaces(const std::vector<Vec3>& corners) {
    double edge = std::numeric_limits<double>::max();
    for (std::size_t a = 0; a < corners.size(); ++a) {
        for (std::size_t b = a + 1; b < corners.size(); ++b) {
            edge = std::min(edge, length(corners[a] - corners[b]));
        }
    }
    const auto adjacent = [&](std::size_t a, std::size_t b) {
        return std::abs(length(corners[a] - corners[b]) - edge) < 1e-9;
    };
    std::vector<std::array<int, 3>> faces;
    const int n = static_cast<int>(corners.size());
    for (int a = 0; a < n; ++a) {
        for (int b = a + 1; b < n; ++b) {
            for (int c = b + 1; c < n; ++c) {
                if (!adjacent(a, b) || !adjacent(b, c) || !adjacent(a, c)) {
                    continue;
                }
                const Vec3 normal = cross(corners[b] - corners[a], corners[c] - corners[a]);
                if (dot(normal, corners[a]) > 0.0) {
                    faces.push_back({a, b, c});
                } else {
                    faces.push_back({a, c, b});
                }
            }
        }
    }
    return faces;
}

} // namespace

Mesh geodesicSphere(int frequency) {
    const std::vector<Vec3> corners = icosahedronCorners();
    Mesh mesh;
    // A lattice point is identified by its weights on the base corners, so
    // points on a shared edge get one vertex whichever face reaches them.
    std::map<std::vector<std::pair<int, int>>, int> known;
    const auto point = [&](const std::array<int, 3>& f, int i, int j) {
        std::vector<std::pair<int, int>> key;
        const int weights[3] = {frequency - i - j, i, j};
        for (int k = 0; k < 3; ++k) {
            if (weights[k] > 0) {
                key.emplace_back(f[k], weights[k]);
            }
        }
        std::sort(key.begin(), key.end());
        if (const auto it = known.find(key); it != known.end()) {
            return it->second;
        }
        Vec3 p;
        for (const auto& [corner, weight] : key) {
            p = p + corners[corner] * static_cast<double>(weight);
        }
        const int index = mesh.addVertex(normalised(p));
        known.emplace(std::move(key), index);
        return index;
    };
    for (const auto& f : baseFaces(corners)) {
        for (int i = 0; i < frequency; ++i) {
            for (int j = 0; i + j < frequency; ++j) {
                mesh.addTriangle(point(f, i, j), point(f, i + 1, j), point(f, i, j + 1));
                if (i + j < frequency - 1) {
                    mesh.addTriangle(point(f, i + 1, j), point(f, i + 1, j + 1),
                                     point(f, i, j + 1));
                }
            }
        }
    }
    return mesh;
}

int hexDiscIndex(int ring, int j) {
    if (ring == 0) {
        return 0;
    }
    const int count = 6 * ring;
    return 1 + 3 * ring * (ring - 1) + ((j % count) + count) % count;
}

Mesh hexDisc(int rings, const std::function<Vec3(double rho, double theta)>& place) {
    Mesh mesh;
    mesh.addVertex(place(0.0, 0.0));
    for (int k = 1; k <= rings; ++k) {
        for (int j = 0; j < 6 * k; ++j) {
            mesh.addVertex(
                place(static_cast<double>(k) / rings, 2.0 * std::numbers::pi * j / (6.0 * k)));
        }
    }
    for (int j = 0; j < 6; ++j) {
        mesh.addTriangle(0, hexDiscIndex(1, j), hexDiscIndex(1, j + 1));
    }
    for (int k = 1; k < rings; ++k) {
        for (int s = 0; s < 6; ++s) {
            for (int i = 0; i <= k; ++i) {
                const int a = hexDiscIndex(k + 1, s * (k + 1) + i);
                const int b = hexDiscIndex(k + 1, s * (k + 1) + i + 1);
                const int c = hexDiscIndex(k, s * k + i);
                mesh.addTriangle(a, b, c);
                if (i < k) {
                    mesh.addTriangle(c, b, hexDiscIndex(k, s * k + i + 1));
                }
            }
        }
    }
    return mesh;
}

Mesh parametricGrid(int nu, int nv, bool wrapU, bool wrapV,
                    const std::function<Vec3(double u, double v)>& place) {
    Mesh mesh;
    const int rowsU = wrapU ? nu : nu + 1;
    const int rowsV = wrapV ? nv : nv + 1;
    for (int i = 0; i < rowsU; ++i) {
        for (int j = 0; j < rowsV; ++j) {
            mesh.addVertex(place(static_cast<double>(i) / nu, static_cast<double>(j) / nv));
        }
    }
    const auto at = [&](int i, int j) { return (i % rowsU) * rowsV + (j % rowsV); };
    for (int i = 0; i < nu; ++i) {
        for (int j = 0; j < nv; ++j) {
            mesh.addQuad(at(i, j), at(i + 1, j), at(i + 1, j + 1), at(i, j + 1));
        }
    }
    return mesh;
}

Mesh lathe(const std::vector<std::vector<ProfilePoint>>& runs, int segments) {
    Mesh mesh;
    for (const auto& run : runs) {
        // One ring per profile point; a ring of radius 0 is a single pole.
        std::vector<std::vector<int>> rings;
        for (const ProfilePoint& p : run) {
            std::vector<int> ring;
            if (p.radius <= 1e-12) {
                ring.assign(segments, mesh.addVertex({0.0, p.height, 0.0}));
            } else {
                for (int j = 0; j < segments; ++j) {
                    const double a = 2.0 * std::numbers::pi * j / segments;
                    ring.push_back(
                        mesh.addVertex({p.radius * std::sin(a), p.height, p.radius * std::cos(a)}));
                }
            }
            rings.push_back(std::move(ring));
        }
        for (std::size_t k = 0; k + 1 < rings.size(); ++k) {
            const auto& lower = rings[k];
            const auto& upper = rings[k + 1];
            for (int j = 0; j < segments; ++j) {
                const int jn = (j + 1) % segments;
                if (lower[j] == lower[jn]) {
                    mesh.addTriangle(lower[j], upper[jn], upper[j]);
                } else if (upper[j] == upper[jn]) {
                    mesh.addTriangle(lower[j], lower[jn], upper[j]);
                } else {
                    mesh.addQuad(lower[j], lower[jn], upper[jn], upper[j]);
                }
            }
        }
    }
    return mesh;
}

std::vector<ProfilePoint> smoothProfile(const std::vector<ProfilePoint>& points, int perSpan) {
    std::vector<ProfilePoint> out;
    const int n = static_cast<int>(points.size());
    const auto at = [&](int i) { return points[std::clamp(i, 0, n - 1)]; };
    for (int i = 0; i + 1 < n; ++i) {
        const ProfilePoint p0 = at(i - 1), p1 = at(i), p2 = at(i + 1), p3 = at(i + 2);
        for (int s = 0; s < perSpan; ++s) {
            const double t = static_cast<double>(s) / perSpan;
            const auto spline = [t](double a, double b, double c, double d) {
                return 0.5 * (2 * b + (c - a) * t + (2 * a - 5 * b + 4 * c - d) * t * t +
                              (3 * b - a - 3 * c + d) * t * t * t);
            };
            out.push_back({std::max(0.0, spline(p0.radius, p1.radius, p2.radius, p3.radius)),
                           spline(p0.height, p1.height, p2.height, p3.height)});
        }
    }
    out.push_back(points.back());
    return out;
}

void orientFaces(Mesh& mesh, std::size_t first, std::size_t last,
                 const std::function<Vec3(Vec3 centroid)>& outward) {
    for (std::size_t i = first; i < last && i < mesh.faces.size(); ++i) {
        MeshFace& f = mesh.faces[i];
        const Vec3 a = mesh.vertices[f.corners[0]];
        const Vec3 b = mesh.vertices[f.corners[1]];
        const Vec3 c = mesh.vertices[f.corners[2]];
        if (dot(cross(b - a, c - a), outward((a + b + c) * (1.0 / 3.0))) < 0.0) {
            std::swap(f.corners[1], f.corners[2]);
            f.edgeVisible = {f.edgeVisible[2], f.edgeVisible[1], f.edgeVisible[0]};
        }
    }
}

Mesh faceted(const Mesh& mesh) {
    Mesh out;
    out.name = mesh.name;
    for (const MeshFace& f : mesh.faces) {
        MeshFace copy = f;
        for (int& c : copy.corners) {
            c = out.addVertex(mesh.vertices[c]);
        }
        out.faces.push_back(copy);
    }
    return out;
}

} // namespace assetgen
