// The ASC meshes of the pack, one function per file. Shapes are built in the
// production's axes (y up); the writer exchanges y and z for the file.
#include "assetgen.h"
#include "face_layout.h"
#include "mesh_shapes.h"
#include "mesh_writer.h"
#include "twirl_shape.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <functional>
#include <numbers>
#include <utility>
#include <vector>

namespace assetgen {

namespace {

constexpr double kPi = std::numbers::pi;

double radians(double degrees) {
    return degrees * kPi / 180.0;
}

double smoothstep(double e0, double e1, double x) {
    const double t = std::clamp((x - e0) / (e1 - e0), 0.0, 1.0);
    return t * t * (3.0 - 2.0 * t);
}

// A sum of smooth lumps on the unit sphere, for organic surfaces.
class LumpField {
public:
    LumpField(std::uint64_t seed, int count, double minHeight, double maxHeight, double minWidth,
              double maxWidth) {
        Random random(seed);
        for (int i = 0; i < count; ++i) {
            Vec3 d;
            do {
                d = {random.uniform(-1, 1), random.uniform(-1, 1), random.uniform(-1, 1)};
            } while (length(d) > 1.0 || length(d) < 0.1);
            lumps_.push_back({normalised(d), random.uniform(minHeight, maxHeight),
                              random.uniform(minWidth, maxWidth)});
        }
    }
    double at(Vec3 direction) const {
        double sum = 0.0;
        for (const Lump& l : lumps_) {
            sum += l.height * std::exp(-(1.0 - dot(direction, l.centre)) / l.width);
        }
        return sum;
    }

private:
    struct Lump {
        Vec3 centre;
        double height, width;
    };
    std::vector<Lump> lumps_;
};

Mesh named(Mesh mesh, const char* name) {
    mesh.name = name;
    return mesh;
}

Mesh sphere(int frequency, const std::function<Vec3(Vec3 direction)>& shape) {
    Mesh mesh = geodesicSphere(frequency);
    mesh.transform(shape);
    mesh.faceOutward();
    return mesh;
}

// Outer surface, inner surface and the band between their rims: a shell
// such as a dome or a jellyfish bell. Both surfaces come from hexDisc.
Mesh shell(int rings, const std::function<Vec3(double, double)>& outer,
           const std::function<Vec3(double, double)>& inner, Vec3 centre, Vec3 rimOutward) {
    Mesh mesh = hexDisc(rings, outer);
    const std::size_t outerFaces = mesh.faces.size();
    const int innerBase = static_cast<int>(mesh.vertices.size());
    mesh.append(hexDisc(rings, inner));
    const std::size_t innerFaces = mesh.faces.size();
    for (int j = 0; j < 6 * rings; ++j) {
        mesh.addQuad(hexDiscIndex(rings, j), hexDiscIndex(rings, j + 1),
                     innerBase + hexDiscIndex(rings, j + 1), innerBase + hexDiscIndex(rings, j));
    }
    orientFaces(mesh, 0, outerFaces, [&](Vec3 c) { return c - centre; });
    orientFaces(mesh, outerFaces, innerFaces, [&](Vec3 c) { return centre - c; });
    orientFaces(mesh, innerFaces, mesh.faces.size(), [&](Vec3) { return rimOutward; });
    return mesh;
}

// ------------------------------------------------------------------ meshes

// Loading screen: a shallow dome with a thick rim, standing on the floor.
// Forty of them are drawn four times in every loading frame, so the rings are
// kept few: at 256 x 256 a finer shell looks the same and costs far more.
Mesh dome2() {
    const auto cap = [](double radius, double rise) {
        return [=](double rho, double theta) {
            const double a = rho * radians(68.0);
            return Vec3{radius * std::sin(a) * std::cos(theta), rise * radius * std::cos(a),
                        -radius * std::sin(a) * std::sin(theta)};
        };
    };
    return named(shell(4, cap(1.0, 1.0), cap(0.92, 0.95), {0, 0, 0}, {0, -1, 0}), "Dome");
}

// Loading screen floor: a disc in the file's X-Z plane, facing file -Y so
// that the 90 degree turn about x makes it face up. Flat where the camera
// flies, it sweeps up into a low round cove near its border, so the mirror
// floor rises into the upper half of the view and reflects the sky there
// instead of ending in a hard edge under an empty black sky. A tiny triangle
// under the floor, as far below as the cove rises, keeps the fit from moving
// the floor off y = 0. The cove is round: a square one's corners turned the
// wall's normal at once, a bright crease in the sky.
constexpr double kCoveStart = 0.84;
constexpr double kCoveHeight = 0.45;
constexpr int kFloorSpokes = 72;
constexpr int kFloorRingsFlat = 8; // the first is a fan round the centre
constexpr int kFloorRingsCove = 10;
// Side of the hidden triangles that bring the cove's corner normals to unit
// length: far below a pixel, but large enough for the file's six decimals.
constexpr double kNormalTrimSize = 5e-5;
// The opening's mesh stands far from its camera: its trim faces can be
// larger, which keeps the six decimals from tipping their normals.
constexpr double kDistantTrimSize = 2e-4;
// The loading floor's cove is seen magnified about fifteen times in its
// mirror: the six decimals tipped 5e-5 trims by a degree or two, which laid a
// brightness step along each spoke of the sky. Trims this size tip by under
// a tenth of a degree and stay below half a pixel at the camera's distance.
constexpr double kFloorTrimSize = 1e-3;

// Radius and height of cove ring k (0 at the foot, kFloorRingsCove at the
// rim), spaced by equal turns of the wall's normal, so finest at the foot.
Vec3 coveRing(int k) {
    // Height -h f^2 over f = 0..1 has slope 2 h f / (1 - start) per unit radius.
    const double steepest = 2.0 * kCoveHeight / (1.0 - kCoveStart);
    const double turn = std::atan(steepest) * k / kFloorRingsCove;
    const double f = std::tan(turn) / steepest;
    return Vec3{kCoveStart + (1.0 - kCoveStart) * f, 0.0, -kCoveHeight * f * f};
}

// Rings of spokes about the z axis from ring `first` to `last` of `radius`;
// faces point along -z (the turn makes that up).
Mesh floorRings(int first, int last, const std::function<Vec3(int)>& radius) {
    Mesh mesh;
    std::vector<int> ring;
    for (int k = first; k <= last; ++k) {
        const Vec3 rz = radius(k);
        std::vector<int> next;
        for (int j = 0; j < kFloorSpokes && (rz.x > 0 || next.empty()); ++j) {
            const double a = 2.0 * kPi * j / kFloorSpokes;
            next.push_back(mesh.addVertex({rz.x * std::cos(a), rz.x * std::sin(a), rz.z}));
        }
        next.resize(kFloorSpokes, next.front()); // a ring of radius 0 is one point
        for (int j = 0; j < kFloorSpokes && !ring.empty(); ++j) {
            const int j1 = (j + 1) % kFloorSpokes;
            if (ring[j] == ring[j1]) {
                mesh.addTriangle(ring[j], next[j1], next[j]);
            } else {
                mesh.addQuad(ring[j], ring[j1], next[j1], next[j]);
            }
        }
        ring = next;
    }
    return mesh;
}

// The loader's corner normal: the plain sum of the unit normals of the faces
// that name the corner.
std::vector<Vec3> cornerNormalSums(const Mesh& mesh) {
    std::vector<Vec3> sum(mesh.vertices.size(), Vec3{0.0, 0.0, 0.0});
    for (const MeshFace& f : mesh.faces) {
        const Vec3 a = mesh.vertices[f.corners[0]], b = mesh.vertices[f.corners[1]],
                   c = mesh.vertices[f.corners[2]];
        const Vec3 n = normalised(cross(b - a, c - a));
        for (const int v : f.corners) {
            sum[v] = sum[v] + n;
        }
    }
    return sum;
}

// A corner's normal is the sum of its faces' unit normals, and the sphere map
// needs it of length 1. Each corner gets tiny triangles, hidden behind the
// surface, whose unit normals take off what the sum has beyond the normal
// wanted there (by default the sum's own direction): as many as the excess
// is long, tipped evenly round it by the same angle so they cancel it
// exactly. A curved surface's sum falls short of a whole number of faces,
// and the leftover (up to half a face) turned its reflection into the map's
// rim.
void trimCornerNormals(Mesh& mesh, const std::function<Vec3(Vec3 at, Vec3 sum)>& wanted = {},
                       double size = kNormalTrimSize, bool fans = false) {
    const std::vector<Vec3> sum = cornerNormalSums(mesh);
    for (std::size_t v = 0; v < sum.size(); ++v) {
        const Vec3 a = mesh.vertices[v];
        const Vec3 goal = wanted ? wanted(a, sum[v]) : normalised(sum[v]);
        const Vec3 over = sum[v] - goal;
        const double excess = length(over);
        // Nearly whole excesses keep their count (a flat ring's); tipping can
        // only shorten a face's share, so others round up, and one face
        // alone cannot tip, so it takes two.
        const long whole = std::lround(excess);
        int extra = std::abs(excess - whole) < 0.02 ? static_cast<int>(whole)
                                                    : static_cast<int>(std::ceil(excess));
        if (extra == 1 && excess < 0.94) {
            extra = 2;
        }
        if (extra <= 0) {
            continue;
        }
        const Vec3 n = normalised(over);
        const Vec3 t = normalised(cross(n, std::abs(n.x) < 0.9 ? Vec3{1, 0, 0} : Vec3{0, 1, 0}));
        const Vec3 u = cross(n, t);
        const double along = std::min(1.0, excess / extra);
        const double aside = std::sqrt(1.0 - along * along);
        if (fans && extra >= 3) {
            // A closed fan round the corner, a shallow cone whose sides tip
            // by the same angle: the same normals from one new vertex a face
            // instead of two, for meshes drawn lit several times a frame.
            const double step = 2.0 * kPi / extra;
            const double rise = std::cos(0.5 * step) * aside / along;
            std::vector<int> rim;
            for (int i = 0; i < extra; ++i) {
                const double turn = step * i;
                rim.push_back(mesh.addVertex(
                    a + (n * rise + t * std::cos(turn) + u * std::sin(turn)) * size));
            }
            for (int i = 0; i < extra; ++i) {
                mesh.addTriangle(static_cast<int>(v), rim[(i + 1) % extra], rim[i]);
            }
            continue;
        }
        for (int i = 0; i < extra; ++i) {
            const double turn = 2.0 * kPi * i / extra;
            const Vec3 w = n * -along + (t * std::cos(turn) + u * std::sin(turn)) * aside;
            // (A - B) x (A - C) = e1 x (w x e1) = w for a unit e1 across w.
            // Both edges lean 45 degrees to either side of the way in w's
            // plane that points most into the surface, so the trim lies
            // behind it and the depth test hides it; edges in the tangent
            // plane stood out of it and showed as dark specks.
            const Vec3 inward =
                (n * aside + (t * std::cos(turn) + u * std::sin(turn)) * along) * -1.0;
            const Vec3 e1 = normalised(inward + cross(w, inward) * -1.0);
            const int b = mesh.addVertex(a + e1 * size);
            const int c = mesh.addVertex(a + cross(w, e1) * size);
            mesh.addTriangle(static_cast<int>(v), b, c);
        }
    }
}

Mesh plane() {
    // The flat part needs no trimming: its facets are one plane.
    Mesh floor = faceted(floorRings(0, kFloorRingsFlat, [](int k) {
        return Vec3{kCoveStart * k / kFloorRingsFlat, 0.0, 0.0};
    }));
    Mesh cove = floorRings(0, kFloorRingsCove, coveRing);
    trimCornerNormals(cove, {}, kFloorTrimSize);
    floor.append(cove);
    const int a = floor.addVertex({0.9, 0.9, kCoveHeight});
    const int b = floor.addVertex({0.9 - 1e-3, 0.9, kCoveHeight});
    const int c = floor.addVertex({0.9, 0.9 - 1e-3, kCoveHeight});
    floor.addTriangle(a, c, b);
    return named(floor, "Floor");
}

// Star fractal: twelve slim points around a small core, flat facets. One
// point lies on the y axis: with none on an axis the fit, which goes by the
// per-axis extents, blows the star up by 1.18 and neighbours run into each
// other. The star camera heads straight for the first star and passes 0.85
// from its centre, so the core stays small enough to leave most of that view
// to the points and the stars behind them. The points are needles: a broad
// one swept past the camera as a wedge over a third of the view, and the
// ambient blue no facet can fall below is all such a wedge showed.
constexpr double kStarCore = 0.1;
constexpr double kStarSidePoint = 0.78;
// The stars are flat-shaded, so a facet takes the light of its last corner,
// and their light shines from behind them as the camera sees them. The faces
// wind inward, so the corner normals point into the star and the facets
// facing the viewer catch the light. A normal is the plain sum of the unit
// normals of the faces naming its corner, so only its length can lift the dim
// diffuse colour over the ambient blue, and every face naming a corner adds
// one to it at most. So the long normals sit on corners that many facets
// share: the heart of the star lights by the 30 corners of the core, each
// named by the core, the feet and the base bands of the two points that meet
// there; each point face's middle band by its ridge's lower corner; each tip
// half by a ring corner of its own (the ridge's upper corner or the outer
// edge corner), so the ten halves of a point face ten ways and the large
// stars read as cut crystal, not flat blue spikes. Coincident copies of
// visible facets lengthen every corner they name at once, where a hidden
// wedge lengthened one. The fractal's scale doubles the normals a level, so
// the small stars burn pink-white at the heart and the large ones violet.
constexpr double kStarBandSplit[2] = {0.32, 0.64}; // of the way from base to tip
constexpr int kStarHeartCopies = 3;                // extra draws of each core facet
constexpr int kStarUpperCopies = 1;                // of each middle and tip facet
// Each point face is two bevelled halves either side of a ridge raised from
// the middle of its base edge, so even a point that fills the view shades
// from a lit half to a dark one; a small facet at the foot of the ridge
// closes the point onto the core.
constexpr double kStarRidgeRise = 0.45; // of the base edge's half width
constexpr double kStarHiddenSize = 2e-3;
// The loader fits every mesh to the cube and the fractal sets a child 1.6
// from its parent at half size, so stars whose points reached the cube
// touched their children and 85 of them merged into one cloud of spikes;
// the first star's points also reached past the camera's closest pass (0.85
// from its centre) and sliced the view as flat wedges. The star is drawn at
// this share of the cube, and two specks too small to see on its long axis
// hold the fit, so a parent and its four children stand apart with dark
// between them.
constexpr double kStarBody = 0.6;

Mesh starShape() {
    Mesh mesh = geodesicSphere(2);
    const Mesh corners = geodesicSphere(1);
    mesh.transform([&](Vec3 v) {
        for (const Vec3& c : corners.vertices) {
            if (dot(v, c) > 0.9999) {
                return v;
            }
        }
        return v * kStarCore;
    });
    // Turn the corner (0, 1, phi) onto +y, about the x axis.
    const double tilt = std::atan2(std::numbers::phi, 1.0);
    mesh.transform([&](Vec3 v) {
        return Vec3{v.x, v.y * std::cos(tilt) + v.z * std::sin(tilt),
                    -v.y * std::sin(tilt) + v.z * std::cos(tilt)};
    });
    // Only the two points on the y axis reach the fit's cube; the other ten
    // stop short of the camera's closest pass, so none of them sweeps
    // across the whole view as a wedge.
    mesh.transform(
        [](Vec3 v) { return length(v) > 0.9 && std::abs(v.y) < 0.99 ? v * kStarSidePoint : v; });
    return mesh;
}

Mesh star2() {
    const Mesh shape = starShape();
    Mesh mesh;
    // One corner for every place facets share; the normals are summed per
    // corner, so sharing is what makes them long.
    const auto sharedAt = [&](Vec3 p) {
        for (int i = 0; i < static_cast<int>(mesh.vertices.size()); ++i) {
            if (length(mesh.vertices[i] - p) < 1e-9) {
                return i;
            }
        }
        return mesh.addVertex(p);
    };
    std::vector<MeshFace> heartFaces;
    for (const MeshFace& f : shape.faces) {
        std::array<Vec3, 3> v{};
        int tip = -1;
        for (int k = 0; k < 3; ++k) {
            v[k] = shape.vertices[f.corners[k]];
            if (length(v[k]) > 0.5) {
                tip = k;
            }
        }
        if (tip < 0) {
            heartFaces.push_back(MeshFace{{sharedAt(v[1]), sharedAt(v[0]), sharedAt(v[2])}});
            mesh.faces.push_back(heartFaces.back());
            continue;
        }
        // Outward order tip, b1, b2; every triangle is wound inward as
        // (b2, b1, tip) is.
        const Vec3 t = v[tip], b1 = v[(tip + 1) % 3], b2 = v[(tip + 2) % 3];
        const Vec3 facing = normalised(cross(b1 - t, b2 - t)) * -1.0;
        const Vec3 ridge = (b1 + b2) * 0.5 + facing * (kStarRidgeRise * 0.5 * length(b2 - b1));
        const auto up = [&](Vec3 base, int band) {
            return base + (t - base) * kStarBandSplit[band];
        };
        const int h1 = sharedAt(b1), h2 = sharedAt(b2), foot = sharedAt(ridge);
        const int r0 = sharedAt(up(ridge, 0)), r1 = sharedAt(up(ridge, 1));
        const int e1 = sharedAt(up(b1, 0)), e2 = sharedAt(up(b2, 0));
        mesh.addTriangle(foot, h2, h1);
        // Base bands: both triangles of a half end on its core corner.
        mesh.addTriangle(r0, foot, h1);
        mesh.addTriangle(e1, r0, h1);
        mesh.addTriangle(foot, r0, h2);
        mesh.addTriangle(r0, e2, h2);
        // Middle bands along the ridge end on the ridge's lower corner: both
        // halves name it six times at a bevel's angle.
        const int t1 = mesh.addVertex(t), t2 = mesh.addVertex(t);
        const std::array<std::array<int, 3>, 4> upper{{
            {e1, r1, r0},
            {r1, e2, r0},
            // The tips: the first half ends on the ridge's upper corner, the
            // second on its outer edge corner, which the neighbouring face's
            // first half shares, so no two halves of a point light alike.
            {e1, t1, r1},
            {r1, t2, e2},
        }};
        for (const auto& f : upper) {
            for (int copy = 0; copy <= kStarUpperCopies; ++copy) {
                mesh.addTriangle(f[0], f[1], f[2]);
            }
        }
    }
    // Coincident copies of the core lengthen three heart corners each.
    for (const MeshFace& f : heartFaces) {
        for (int copy = 0; copy < kStarHeartCopies; ++copy) {
            mesh.addTriangle(f.corners[0], f.corners[1], f.corners[2]);
        }
    }
    mesh.transform([](Vec3 v) { return v * kStarBody; });
    for (const double end : {1.0, -1.0}) {
        const Vec3 at{0.0, end, 0.0};
        mesh.addTriangle(mesh.addVertex(at), mesh.addVertex(at + Vec3{kStarHiddenSize, 0.0, 0.0}),
                         mesh.addVertex(at + Vec3{0.0, 0.0, kStarHiddenSize}));
    }
    return named(mesh, "Star");
}

// Opening titles: two chrome torus knots that the slow turn carries across
// the view, inside a plain dark shell. The camera sits at the fitted centre
// and its feedback trail only stays bounded where the mesh covers the view,
// so the shell must enclose the centre in every direction; seen from its
// centre the shell's sphere map is one flat colour, so the knots' highlights
// and silhouettes are what the trail spreads. A knot round the camera only
// ever showed as pale bands crossing the frame; a compact knot facing the
// camera reads as an object, with its trail running outward from it.
//
// The turn (0.9 degrees per unit of the Segment's clock, about a nearly
// upright axis) sweeps the view across 73 degrees from right to left: the
// trefoil is in view from the start to about 14 s, the five-lobed knot from
// 6 s to the end, and a second trefoil from 14 s to the end: without it the
// right half of the band went black once the first had left and the
// backdrop quad had panned past. It passes higher, clear of the title. The feedback is shown
// squashed to 0.6 of its height, so the knots stand 1 / 0.6 taller than wide and look round on
// screen.
struct ChromeKnot {
    int lobes;         // times the tube passes through the knot's hole
    double bearing;    // degrees from straight ahead at the start, + to screen left
    double tube;       // tube radius, in units of the knot's outer radius
    double phase;      // turn of the knot about its own axis, degrees
    int segments;      // along the tube
    double lift = 0.0; // degrees above the camera's level
};
// Thick tubes, so the fresh copy among its trails reads as a solid body.
constexpr ChromeKnot kOpeningKnots[] = {
    {3, -20.0, 0.27, 90.0, 72}, {5, -45.0, 0.2, 0.0, 100}, {3, -70.0, 0.25, 30.0, 72, 8.0}};
constexpr double kKnotDistance = 0.6;     // from the camera, shell radius 1
constexpr double kKnotHalfAngle = 9.0;    // seen width, degrees each side
constexpr double kKnotScreenSquash = 0.6; // the band's height factor
// Each corner costs about five hidden trim faces, so the tubes stay coarse:
// the trail blurs them anyway.
constexpr int kKnotTubeSides = 8;

// A (2, lobes) torus knot of outer radius 1 in the xy plane, round the z axis.
Vec3 torusKnotCentre(int lobes, double a) {
    const double ring = 2.0 / 3.0 + std::cos(lobes * a) / 3.0;
    return Vec3{ring * std::cos(2 * a), ring * std::sin(2 * a), std::sin(lobes * a) / 3.0};
}

Mesh chromeKnot(const ChromeKnot& knot) {
    const double phase = radians(knot.phase);
    Mesh mesh = parametricGrid(knot.segments, kKnotTubeSides, true, true, [&](double u, double v) {
        const double a = 2 * kPi * u + phase, b = 2 * kPi * v;
        const Vec3 c = torusKnotCentre(knot.lobes, a);
        const Vec3 tangent = normalised(torusKnotCentre(knot.lobes, a + 1e-4) -
                                        torusKnotCentre(knot.lobes, a - 1e-4));
        // The knot always runs round its axis, so the tangent is never along z.
        const Vec3 side = normalised(cross(tangent, Vec3{0, 0, 1}));
        const Vec3 lift = cross(side, tangent);
        return c + (side * std::cos(b) + lift * std::sin(b)) * knot.tube;
    });
    // Face the camera: the knot's axis along the bearing, its y up and
    // stretched, placed at the knot's distance.
    const double bearing = radians(knot.bearing);
    const Vec3 toward{std::sin(bearing), 0.0, std::cos(bearing)};
    const Vec3 across{std::cos(bearing), 0.0, -std::sin(bearing)};
    const double size = kKnotDistance * std::tan(radians(kKnotHalfAngle));
    mesh.transform([&](Vec3 p) {
        return toward * (kKnotDistance + p.z * size) + across * (p.x * size) +
               Vec3{0.0,
                    p.y * size / kKnotScreenSquash + kKnotDistance * std::tan(radians(knot.lift)),
                    0.0};
    });
    mesh.faceOutward();
    trimCornerNormals(mesh, {}, kDistantTrimSize);
    return mesh;
}

// The shell's normals lean 45 degrees down from facing the camera, so every
// point of it mirrors the floor straight below: the shell shows the dark
// bottom of the map and leaves the rest of it, the part facing the viewer
// included, to the knots. Facing the camera, it took the middle of the map,
// and the knots' fronts went black with it. Near the poles, which the
// camera never sees, the lean fades out.
Vec3 shellNormal(Vec3 at) {
    const Vec3 out = normalised(at);
    const Vec3 upAlong = Vec3{0, 1, 0} - out * out.y;
    const double lean = radians(45.0) * smoothstep(0.2, 0.5, length(upAlong));
    if (length(upAlong) < 1e-6) {
        return out * -1.0;
    }
    return (out * std::cos(lean) + normalised(upAlong) * std::sin(lean)) * -1.0;
}

Mesh funky() {
    Mesh shell = geodesicSphere(4);
    shell.flipFaces();
    trimCornerNormals(
        shell, [](Vec3 at, Vec3) { return shellNormal(at); }, kDistantTrimSize);
    for (const ChromeKnot& knot : kOpeningKnots) {
        shell.append(chromeKnot(knot));
    }
    return named(shell, "Knot");
}

// Light tunnel: a cut hexagonal chrome ring, echoing the tunnel's hexagons.
// Twenty float through the tunnel, some 30 texels across in its picture, and
// one hangs in front at the start, mirroring the tunnel's own picture
// through the sphere map. The round chrome ring it was read at that size as
// a small gold donut, much like the turning rings beside it; a hexagon's
// straight sides and corners still read there. Four flat cuts round a
// diamond section, so the outline, the crest and the hole are hexagons. The
// corner normals do not follow the cuts: flat cuts each mirrored one flat
// patch of the picture, a flat-shaded solid in front. They turn smoothly
// round the ring as a round tube's would (hidden trims steer them), so the
// picture sweeps round it in one continuous reflection and only the
// silhouette and the skin's painted cuts are faceted.
//
// The opening camera stands 1.2 from the ring's centre and flies towards it;
// at the full size of the fit it filled the whole view. Two specks far above
// and below make the fit shrink it, so it hangs in the picture as an object
// with the tunnel around it; at 0.22 to 0.38 the floating copies were tiny
// nuts, most of them 20 texels across or less, and at 0.48 still too small
// to read as twenty objects. At 0.56 the front ring's outline still shows at
// 22 s, two corners just past the frame's edge; at 0.63 the outline left the
// view and the ring read as a wavy frame. The camera then flies straight
// along z within a few hundredths of the centre, through the hole, the
// tunnel's light showing through it. The floating copies face the viewer
// along z too.
// The hole is small: a metre from the opening camera a wide one framed a
// large flat patch of the burnt-out picture behind it, right in the middle.
// Its size in the scene stays what it was at 0.48 as the ring grows.
constexpr int kCutRingSides = 6;
// A finer grid than the shape needs: the sphere map's coordinates are
// interpolated straight across each face, so at 4 x 3 steps the tunnel's
// rings mirrored on the front ring bent into zigzags, one kink a face.
constexpr int kCutRingSteps = 6;           // grid steps along a side
constexpr int kCutRingCutSteps = 5;        // and across a cut
constexpr double kCutRingInner = 0.24;     // corner radii: outer 1, the hole, and
constexpr double kCutRingCrest = 0.65;     // the crest between, which stands
constexpr double kCutRingCrestRise = 0.35; // this far out of the plane: 45 degree cuts
constexpr double kChromeRingAnchor = 1.8;  // so the ring is shown at 0.56
constexpr double kChromeRingTrimSize = 2e-4;
// Length of every corner normal. The sphere map reads the same texel for any
// length, seen head-on, but the light does not: the material's diffuse share
// is small, so unit normals left the lit side near the ambient level and the
// ring a dark lump in a dark picture. Long normals carry the lit half of the
// tube up to the full picture and leave the far half at the ambient level; at
// 4 only the corners facing the light squarely (within 50 degrees) reached
// it, at 8 all within 70 degrees do. The normals now tip less far towards
// the light, which stands square to the view, so 12 keeps that sweep.
constexpr double kChromeRingNormalLength = 12.0;
// How far the normals tip off the axis: the most tilt times (tilt / 90
// degrees) to this power, so the corner rows next to the crest already
// mirror the picture's walls and its dark far end stays a band on the
// crest. Tipped all the way to 90 degrees, the normals at the outline and
// the hole stood square to the view, where the sphere map's coordinates
// swing across the whole picture within a face: bundles of jagged stripes
// along both edges. At the power 0.3 the picture's middle was squeezed into
// a few thin lines along the crest; at 0.5 the tunnel's rings lie across
// the cuts as broad concentric bands. The opening camera sees the ring 10 to
// 15 degrees off its axis, so on the far side a normal tipped 70 degrees
// outward faced away from it and its flank swept the whole picture into
// jagged stripes (22 s, top and lower right); at 50 every corner it sees
// faces it.
constexpr double kChromeRingTiltPower = 0.5;
constexpr double kChromeRingMostTilt = 50.0; // degrees

// A point of the ring: `around` 0..1 round the hexagon (its corners at 0,
// 60, ... degrees, so a flat side lies level), `scale` the corner radius.
Vec3 cutRingPoint(double around, double scale, double z) {
    const double side = std::floor(around * kCutRingSides);
    const double f = around * kCutRingSides - side;
    const double a0 = 2 * kPi * side / kCutRingSides, a1 = 2 * kPi * (side + 1) / kCutRingSides;
    return Vec3{scale * ((1 - f) * std::cos(a0) + f * std::cos(a1)),
                scale * ((1 - f) * std::sin(a0) + f * std::sin(a1)), z};
}

// The diamond section, 0..1 round it: outline, front crest, hole, back crest.
std::pair<double, double> cutRingSection(double v) {
    const double corners[5][2] = {{1, 0},
                                  {kCutRingCrest, kCutRingCrestRise},
                                  {kCutRingInner, 0},
                                  {kCutRingCrest, -kCutRingCrestRise},
                                  {1, 0}};
    const double k = std::min(3.999999, v * 4);
    const int i = static_cast<int>(k);
    const double f = k - i;
    return {(1 - f) * corners[i][0] + f * corners[i + 1][0],
            (1 - f) * corners[i][1] + f * corners[i + 1][1]};
}

Mesh chromeRing() {
    const auto ringNormal = [](Vec3 at) {
        const double a = std::atan2(at.y, at.x);
        // Out from the section's middle (the crest's radius, in the plane),
        // as from a round tube's centre line; the diamond is as wide as high.
        const double hexagon = length(cutRingPoint(a / (2 * kPi) + (a < 0 ? 1 : 0), 1, 0));
        const double across = std::hypot(at.x, at.y) / hexagon - kCutRingCrest;
        const Vec3 out{std::cos(a), std::sin(a), 0.0};
        const Vec3 n = normalised(out * across + Vec3{0, 0, at.z});
        // The outline and the hole's edge (z = 0) take the front's side: the
        // opening camera sees the ring from -z, and a face there spanning a
        // normal tipped towards it and one tipped away swept the whole
        // picture across itself, a bundle of thin stripes round both edges.
        const double crestSide = n.z <= 0 ? -1.0 : 1.0;
        const double tilt = std::acos(std::min(1.0, std::abs(n.z)));
        const double steered =
            radians(kChromeRingMostTilt) * std::pow(tilt / (0.5 * kPi), kChromeRingTiltPower);
        const double side = dot(n, out) < 0 ? -1.0 : 1.0;
        return out * (side * std::sin(steered)) + Vec3{0, 0, crestSide * std::cos(steered)};
    };
    Mesh ring = parametricGrid(kCutRingSides * kCutRingSteps, 4 * kCutRingCutSteps, true, true,
                               [](double u, double v) {
                                   const auto [scale, z] = cutRingSection(v);
                                   return cutRingPoint(u, scale, z);
                               });
    ring.faceOutward();
    trimCornerNormals(
        ring, [&](Vec3 at, Vec3) { return ringNormal(at) * kChromeRingNormalLength; },
        kChromeRingTrimSize);
    return ring;
}

Mesh resoil() {
    Mesh mesh = chromeRing();
    for (const double y : {kChromeRingAnchor, -kChromeRingAnchor}) {
        const int a = mesh.addVertex({0, y, 0});
        mesh.addVertex({0.001, y, 0});
        mesh.addVertex({0, y, 0.001});
        mesh.addTriangle(a, a + 1, a + 2);
        // Facing away from the ring, like the rest of its outside.
        if (y < 0) {
            std::swap(mesh.faces.back().corners[1], mesh.faces.back().corners[2]);
        }
    }
    return named(mesh, "Blob");
}

// Light tunnel: four tunnel mouths round the camera, each a row of hexagonal
// bands narrowing to a dark vanishing point, seen from inside (the faces
// point inward). Inside the feedback a band shows the last picture, cut off
// by the dark gaps, so the rows read as depth. Additive and without depth
// test, so the order of the faces does not show. The walls take the picture
// round the texture's corner, so what lights the picture's corners lights
// the tunnel.
//
// The tunnel's camera stands at the centre and turns about the x axis, once
// every 31 time units, looking 45 to 75 degrees off -x (its pitch swings by
// 10 degrees): one straight tunnel along any axis is seen mostly from the
// side, as flat diagonal stripes. So the mouths stand on that cone, about a
// quarter turn apart: the view passes into one every 2.1 seconds and sees
// its rings end-on round the picture's middle. Each hexagon has a flat edge
// towards the x axis, so it stands level on screen.
//
// One wall is all but invisible (its tint is 0.12 of the picture), so each
// mouth is a stack of nested shells whose bands lie on the same directions:
// the walls feed red and green back at more than they lose, so the rings
// build up to gold on their own while blue stays the clear's. The bands
// cover 0.4 of their ring's pitch: at over half they flooded the dark gaps,
// magnified and fed back, into one salmon mid-tone; at 0.3 the walls read
// too little lit picture round the texture's corners to out-feed their
// loss, and the mouths the view meets between accents stayed dim haze.
// The mouths get unlike stacks, since what their walls read differs: the
// one at 78 degrees reads the corner its own outer ring lights and burns
// with few walls, while the one the view enters at 26 and 34 s reads a
// corner that is mostly dark and needs the most. Each shell's band is
// a little narrower than the last, so a band's edge ramps from the full
// walls to the gap over a fixed half degree, about three texels of
// the picture: one hard step showed every texel of the 256-texel picture as
// a stair step once magnified, and the old ramp of a share of the pitch
// (0.7 down to 0.42) ran over a dozen texels on the outer rings and read
// soft. The rings' sizes shrink geometrically, as evenly
// spaced rings of a tunnel do towards its far end. Four rings a mouth, not
// seven: the picture is a 256-texel feedback magnified three times, and the
// inner rings of seven blurred into one soft grey mush; four bold rings keep
// wide dark gaps between them, and with less wall the bands flood the whole
// picture less often. 56 shells in all, of four hexagons each, are 2688
// triangles, inside the triangle loader's 2900 records.
constexpr double kTunnelOuterShell = 0.9;  // radii of a mouth's outermost and
constexpr double kTunnelInnerShell = 0.51; // innermost shell, evenly between
// Each mouth's axis: degrees off -x and round x (from +z towards +y), and its
// shells. Three stand where the turning view passes; the second also where a
// music cue throws the clock back (time 13 to 17), so every accent looks
// into it. The third sits at 252 rather than 258 so that the 34 s view,
// which arrives there just before the frame, already looks into it.
struct TunnelMouth {
    double tilt, turn;
    int shells;
};
constexpr TunnelMouth kTunnelMouths[] = {{60, 78, 10}, {48, 178, 14}, {60, 252, 18}, {60, 345, 14}};
// The outer ring stops short of the next mouth's: where two overlapped, twice
// the walls fed back and burned a hot seam.
constexpr double kTunnelOuterRing = 31.0; // degrees from the axis to a corner; the
constexpr double kTunnelRingRatio = 0.62; // next ring in is this much smaller
constexpr int kTunnelRings = 4;
constexpr double kBandShare = 0.4; // share of a ring's pitch a band covers
constexpr double kEdgeRamp = 0.5;  // degrees from the widest shell's edge to the narrowest's

// The direction at angle `off` from the mouth's axis, `turn` round it.
Vec3 mouthDirection(Vec3 axis, Vec3 side, double off, double turn) {
    const Vec3 across = cross(axis, side);
    return axis * std::cos(off) + (side * std::cos(turn) + across * std::sin(turn)) * std::sin(off);
}

// One hexagonal band between two angles from the mouth's axis.
void addTunnelBand(Mesh& mesh, Vec3 axis, Vec3 side, double radius, double outer, double inner) {
    const int first = static_cast<int>(mesh.vertices.size());
    for (const double off : {outer, inner}) {
        for (int k = 0; k < 6; ++k) {
            mesh.addVertex(mouthDirection(axis, side, off, kPi / 6 + kPi / 3 * k) * radius);
        }
    }
    for (int k = 0; k < 6; ++k) {
        const int a = first + k, b = first + (k + 1) % 6;
        mesh.addQuad(a, b, b + 6, a + 6);
    }
}

Mesh tunnelBands() {
    Mesh mesh;
    // Mouth by mouth, each from its outermost shell in.
    for (const TunnelMouth& mouth : kTunnelMouths) {
        const double tilt = radians(mouth.tilt), turn = radians(mouth.turn);
        const Vec3 axis{-std::cos(tilt), std::sin(tilt) * std::sin(turn),
                        std::sin(tilt) * std::cos(turn)};
        const Vec3 pole{-1, 0, 0};
        const Vec3 side = normalised(pole - axis * dot(pole, axis));
        const double rim = std::pow(kTunnelRingRatio, 0.5 * kBandShare);
        for (int shell = 0; shell < mouth.shells; ++shell) {
            // Outer shells a little wider, round the band's middle edge line.
            const double inset = radians(kEdgeRamp) * ((shell + 0.5) / mouth.shells - 0.5);
            const double radius = kTunnelOuterShell + (kTunnelInnerShell - kTunnelOuterShell) *
                                                          shell / (mouth.shells - 1);
            for (int ring = 0; ring < kTunnelRings; ++ring) {
                const double off = radians(kTunnelOuterRing) * std::pow(kTunnelRingRatio, ring);
                addTunnelBand(mesh, axis, side, radius, off / rim - inset, off * rim + inset);
            }
        }
    }
    // The faces look inward, at the camera.
    orientFaces(mesh, 0, mesh.faces.size(), [](Vec3 centroid) { return centroid * -1.0; });
    // Two specks at opposite corners of the cube keep the fit's centre on
    // the camera and its scale at 1; they are far too small to see.
    for (const double s : {1.0, -1.0}) {
        const int a = mesh.addVertex(Vec3{s, s, s});
        mesh.addVertex(Vec3{s - 0.001 * s, s, s});
        mesh.addVertex(Vec3{s, s - 0.001 * s, s});
        mesh.addTriangle(a, a + 1, a + 2);
    }
    return mesh;
}

// The glitter is a mesh of its own, the file's last, so that only its faces
// fly and the tunnel's large faces stay out of it (on their common circle
// 600 band faces lit a coloured haze). Every face draws its three corners as
// points of six texels, which the full-screen picture shows about 20 x 15
// pixels wide: a spark of thirty piled points summed past white into a flat
// square that buried the picture, and two faces piled on one texel still
// trailed into bright blocky dashes. A spark is two faces whose six
// corners overlap into a rounded blob about two texels across: one face a
// spark left the glitter too dim to read at all (a faint haze of streaks),
// two make each a gold glint over the blue and their trails a dotted flight
// line. The extra light also seeds the tunnel a little, which lifts the dim
// mouths (34, 36 s) without burning the bright ones further.
//
// Faces are timed by their index modulo 50 and sent to the place of face
// (count - i); a face and its mirror have the other member parity, so
// sparks cross over between the rings. A spark's two faces are i and
// i + 100: the same slot, and mirrors 200 - i and 100 - i that share a
// spark too, so the pair never parts.
//
// The sparks sit on two level rings above and below the glitter camera's
// orbit, at the height where the ring's sides cross the picture's corners:
// seen from the orbit they are two arcs of light that end in the corners, which
// the tunnel wall takes up as its rings. At 0.79 up and down those ends fall
// where the mouth that the 24 s view and every music accent look into takes
// its light: at 0.63 that mouth stayed a navy void at 24 s. Each ring is a
// loose belt, not a line: sparks strung evenly on one level circle lined up
// into dotted ellipses whose square points read as rows of dashes. The
// belt also spreads the sparks' green over more of each corner, which
// turns the red floods of the accents towards gold; a belt half as wide again
// let 22 and 38 s fall back to navy and salmon, so the spread stays small.
constexpr int kGlitterPeriod = 50; // faces timed alike are a multiple of this apart
constexpr int kGlitterMembers = 4; // faces per timing slot (two rings, two a spark)
constexpr int kSparkFaces = kGlitterMembers / 2;
constexpr double kSparkRingHeight = 0.79;
constexpr double kSparkRingSpread = 0.12;
constexpr double kSparkRingDepth = 0.25;
constexpr double kGlintMin = 0.008; // corner spread: a face's points overlap into
constexpr double kGlintMax = 0.011; // a rounded blob about two texels across

// Directions spread evenly over the sphere (a Fibonacci spiral), at lengths
// that grow like a disc's area, so a spark's corners crowd round its centre
// from whichever side it is seen.
Vec3 glintOffset(int k, double turn) {
    constexpr int kCount = 3 * kSparkFaces;
    const double y = 1 - 2 * (k + 0.5) / kCount;
    const double r = std::sqrt(1 - y * y);
    const double a = turn + k * kPi * (3 - std::sqrt(5.0));
    const double length = std::sqrt((k + 0.5) / kCount);
    return Vec3{r * std::cos(a), y, r * std::sin(a)} * length;
}

struct Glint {
    Vec3 centre;
    double spread;
    double turn;
};

// One belt of sparks, a slot each round the ring but anywhere within it, in
// shuffled slot order so that neighbours hop at different times.
std::vector<Glint> sparkRing(double height, Random& random) {
    std::vector<Glint> ring;
    for (int slot = 0; slot < kGlitterPeriod; ++slot) {
        const double a = 2 * kPi * (slot + random.uniform(-0.5, 0.5)) / kGlitterPeriod;
        const double r = 1.0 - kSparkRingDepth * random.uniform();
        ring.push_back(
            {{r * std::cos(a), height + kSparkRingSpread * random.uniform(-1, 1), r * std::sin(a)},
             kGlintMin + (kGlintMax - kGlintMin) * random.uniform(),
             random.uniform(0, 2 * kPi)});
    }
    for (int k = kGlitterPeriod - 1; k > 0; --k) {
        std::swap(ring[k], ring[static_cast<int>(random.uniform() * (k + 1))]);
    }
    return ring;
}

// Face i = slot + 50 member; even members spark on the upper ring, odd ones on
// the lower (a face's mirror has the other parity, so sparks cross over).
Mesh glitter() {
    Random random(3);
    const std::vector<Glint> rings[2] = {sparkRing(kSparkRingHeight, random),
                                         sparkRing(-kSparkRingHeight, random)};
    Mesh mesh;
    for (int member = 0; member < kGlitterMembers; ++member) {
        for (int slot = 0; slot < kGlitterPeriod; ++slot) {
            const Glint& g = rings[member % 2][slot];
            const int k = 3 * (member / 2);
            const int first = mesh.addVertex(g.centre);
            mesh.addVertex(g.centre + glintOffset(k + 1, g.turn) * g.spread);
            mesh.addVertex(g.centre + glintOffset(k + 2, g.turn) * g.spread);
            mesh.addTriangle(first, first + 1, first + 2);
        }
    }
    return mesh;
}

// Light tunnel rings: a flat band in the x-y plane, an ellipse in section
// (0.28 across, this much through). The rings are drawn additively and take
// their skin from their own x and y, so the skin's line shows on the top and
// the bottom face at once; through a round tube those two lay a tube's width
// apart and every tilted ring read as two offset copies. Twenty are drawn
// every frame, so the section has few sides.
constexpr double kTunnelRingThickness = 0.04;

Mesh torus2() {
    Mesh mesh = parametricGrid(32, 10, true, true, [](double u, double v) {
        const double a = 2 * kPi * u, b = 2 * kPi * v, r = 1.0 + 0.28 * std::cos(b);
        return Vec3{r * std::cos(a), r * std::sin(a), kTunnelRingThickness * std::sin(b)};
    });
    mesh.faceOutward();
    return named(mesh, "Ring");
}

// The mirror room's glass floor: flat under the camera's circle, then it
// curves up into low walls towards its border. The balls hang just under
// it, and from there a flat floor ran out to a grazing horizon that
// flickered as a noisy seam across every ball's view; the walls meet
// their view at a steep angle instead. A second glass sheet below the
// balls closes the room into a glass case: each ball looks up and out
// towards the camera, and with nothing under it the lower half of every
// ball's view was empty black. The lower sheet rises to meet the walls'
// rim, since a gap there drew a black seam across every ball. The two
// sheets span the fit's height evenly, so the upper one stays near the
// floor's height. The grid lines run every 0.1 where the walls curve and
// far apart across the flat middle: the room is drawn four times a frame,
// and a finer flat grid costs vertex work that draws the same glass.
constexpr double kFloorFlatTo = 0.62;
constexpr double kFloorWall = 0.25;
// The balls' tops reach 0.1 above the floor's height, so a floor at that
// height cut each ball with a straight line (the cap bright, the rest
// behind glass) in the room's view and in every ball's view. Lifted by
// this much of the fit (about 0.16 after loading) the glass clears them.
constexpr double kFloorLift = 0.015;
constexpr std::array<double, 15> kFloorLines = {-1,  -0.9, -0.8, -0.7, -0.6, -0.45, -0.3, 0,
                                                0.3, 0.45, 0.6,  0.7,  0.8,  0.9,   1};

Mesh simpleplane() {
    constexpr int kCells = static_cast<int>(kFloorLines.size()) - 1;
    const auto line = [](double u) { return kFloorLines[std::lround(u * kCells)]; };
    const auto sheet = [=](double rise, double base) {
        return parametricGrid(kCells, kCells, false, false, [=](double u, double v) {
            const double x = line(u), z = -line(v);
            const double r = std::pow(std::pow(x, 8.0) + std::pow(z, 8.0), 0.125);
            const double f = std::clamp((r - kFloorFlatTo) / (1.0 - kFloorFlatTo), 0.0, 1.0);
            return Vec3{x, base + rise * f * f, z};
        });
    };
    Mesh mesh = sheet(kFloorWall - kFloorLift, kFloorLift);
    mesh.append(sheet(2 * kFloorWall, -kFloorWall));
    return named(mesh, "Plane");
}

// The glass ball and other round things.
Mesh sphereone() {
    return named(sphere(8, [](Vec3 n) { return n; }), "Sphere");
}

// A geodesic dome with its crown at -y (the deep sea's cameras look with -y
// up), closed underneath by a shallow rounded belly that meets the dome's
// rim with the same upright tangent: one smooth body without an edge. As
// the deep sea's sky it surrounds the camera in every direction; as the
// giant medusa it is a bell with a soft underside; in the mirror room it
// is a rounded marble lozenge, where a flat-cut half-dome read as clipped.
// The heights keep the fit of the earlier dome and its flat floor (y from
// -0.5 to 0.5 after fitting), so the sky's texture planes land as before.
Mesh geo1() {
    constexpr double kDomeHeight = 0.72, kBellyHeight = 1.0 - kDomeHeight;
    return named(sphere(8,
                        [](Vec3 n) {
                            return Vec3{n.x, n.y < 0 ? kDomeHeight * n.y : kBellyHeight * n.y, n.z};
                        }),
                 "Geodome");
}

// Smooth closed-form curve through points (Catmull-Rom), f in 0..1 over
// the whole list.
Vec3 alongCurve(const std::vector<Vec3>& points, double f) {
    const int spans = static_cast<int>(points.size()) - 1;
    const double x = std::clamp(f, 0.0, 1.0) * spans;
    const int i = std::min(static_cast<int>(x), spans - 1);
    const double t = x - i;
    const auto at = [&](int k) { return points[std::clamp(k, 0, spans)]; };
    const Vec3 p0 = at(i - 1), p1 = at(i), p2 = at(i + 1), p3 = at(i + 2);
    return (p1 * 2.0 + (p2 - p0) * t + (p0 * 2.0 - p1 * 5.0 + p2 * 4.0 - p3) * (t * t) +
            (p1 * 3.0 - p0 - p2 * 3.0 + p3) * (t * t * t)) *
           0.5;
}

// One butterfly wing, flat in the x-y plane, hinged along its +x edge: a
// pointed forewing towards +y and a round hindwing towards -y. The x extent
// is 0.73 of the y extent so that the swarm's 0.73 offset puts the hinge on
// the body's axis. Eighty butterflies flap two of these every frame and no
// light falls on them, so one band of triangles from the hinge to the
// outline draws the same picture as a finer grid: only the outline shows.
// The wings meet the body along a short hinge, as a real wing does, and
// their inner edges slant out from it: with a hinge as long as the body,
// a wing that passes close by the camera read as a square slab.
Mesh butterfly() {
    const std::vector<Vec3> outline = {{-0.14, -0.6, 0},  {-0.35, -0.95, 0}, {-0.7, -0.88, 0},
                                       {-0.86, -0.58, 0}, {-0.78, -0.22, 0}, {-0.98, 0.08, 0},
                                       {-1.3, 0.45, 0},   {-1.42, 0.84, 0},  {-1.08, 1.0, 0},
                                       {-0.55, 0.86, 0},  {-0.16, 0.62, 0}};
    Mesh mesh = parametricGrid(1, 24, false, false, [&](double u, double v) {
        const Vec3 root{0, -0.3 + 0.64 * v, 0};
        Vec3 p = lerp(root, alongCurve(outline, v), std::pow(u, 0.85));
        p.z = 0.05 * u * u * std::sin(kPi * v); // a slight cup
        return p;
    });
    double minX = 0, minY = 0, maxY = 0;
    for (const Vec3& v : mesh.vertices) {
        minX = std::min(minX, v.x);
        minY = std::min(minY, v.y);
        maxY = std::max(maxY, v.y);
    }
    const double stretch = 0.73 * (maxY - minY) / -minX;
    mesh.transform([&](Vec3 v) { return Vec3{v.x * stretch, v.y, v.z}; });
    orientFaces(mesh, 0, mesh.faces.size(), [](Vec3) { return Vec3{0, 0, 1}; });
    return named(mesh, "Wing");
}

// Butterflies' sky: a sphere seen from inside, its centre off to one side
// of the eye. Sphere-mapped and seen from its own centre, every turn of the
// sky showed the same picture at the same place: a painted backdrop that
// never moved while the swarm swirled. Off centre, its normals lean away
// from the lines of sight, so the picture slides and swells as the sky
// turns. The loader centres each mesh on its bounding box, so one
// zero-area triangle beyond the sphere (it draws nothing) shifts the box:
// the sphere lands a fifth of its radius off the eye. It is wound outward
// although it is seen from inside: the light the off-screen context keeps
// then falls on the lower left of the frame, where the dusk glows; wound
// inward, it lit a corner of the night and the whole glow stayed dim.
Mesh round1() {
    constexpr double kStrayX = 1.4;
    Mesh mesh = sphere(6, [](Vec3 n) { return n; });
    const int a = mesh.addVertex({kStrayX, 0, 0});
    const int b = mesh.addVertex({kStrayX, 0, 0});
    const int c = mesh.addVertex({kStrayX, 0, 0});
    mesh.addTriangle(a, b, c);
    return named(mesh, "Sky");
}

// A lathed vase: flat foot, round belly, slim neck, flared lip, hollow inside.
// Its foot is at y = -1 after loading, where the mirror image meets it.
Mesh vase(int segments, int perSpan) {
    const std::vector<ProfilePoint> bottom = {{0.0, -1.0}, {0.28, -1.0}};
    const std::vector<ProfilePoint> wall = smoothProfile({{0.28, -1.0},
                                                          {0.31, -0.97},
                                                          {0.29, -0.9},
                                                          {0.34, -0.74},
                                                          {0.49, -0.45},
                                                          {0.55, -0.18},
                                                          {0.51, 0.07},
                                                          {0.39, 0.3},
                                                          {0.24, 0.54},
                                                          {0.19, 0.72},
                                                          {0.21, 0.86},
                                                          {0.27, 0.95},
                                                          {0.285, 0.99},
                                                          {0.265, 0.995},
                                                          {0.235, 0.96},
                                                          {0.19, 0.84},
                                                          {0.15, 0.72},
                                                          {0.1, 0.62},
                                                          {0.0, 0.6}},
                                                         perSpan);
    return lathe({bottom, wall}, segments);
}

// The scene's one light comes from +x, but the sun stands far out at -x and
// the camera looks at that side for much of the flight (90 s, 100-106 s),
// where the vase was an unlit shape lost in the night. So the faces on the
// side facing `sunX` are wound inward: their normals point away from the sun,
// towards the light, and that flank is lit as the sunny side should be, while
// the front and back stay dark between the two lit flanks. The rewound faces
// get vertices of their own, so neither side's smoothing reaches across.
void lightTheSunsSide(Mesh& mesh, double sunX) {
    std::vector<int> own(mesh.vertices.size(), -1);
    for (MeshFace& f : mesh.faces) {
        const Vec3 centroid = (mesh.vertices[f.corners[0]] + mesh.vertices[f.corners[1]] +
                               mesh.vertices[f.corners[2]]) *
                              (1.0 / 3.0);
        if (centroid.x * sunX <= 0.0) {
            continue;
        }
        for (int& c : f.corners) {
            if (own[c] < 0) {
                const Vec3 p = mesh.vertices[c];
                own[c] = mesh.addVertex(p);
            }
            c = own[c];
        }
        std::swap(f.corners[1], f.corners[2]);
        f.edgeVisible = {f.edgeVisible[2], f.edgeVisible[1], f.edgeVisible[0]};
    }
}

Mesh vaseMain() {
    Mesh mesh = vase(32, 2);
    lightTheSunsSide(mesh, -1.0);
    return named(mesh, "Vase");
}

// The vase's mirror image below the floor: the same vase (the drawing turns it
// upside down), lighter. The turn also swaps its sides, so the flank that
// mirrors the vase's sunny one is at +x in the file.
Mesh vaseMirror() {
    Mesh mesh = vase(24, 1);
    lightTheSunsSide(mesh, 1.0);
    return named(mesh, "VaseMirror");
}

// Moon panorama creature: an orb with a faint swell, the same at two detail
// levels. Its skin is a sphere map, so lumps bend the glass's rings and
// glints into blotches: the swell stays slight.
Mesh creature(int frequency) {
    const LumpField lumps(6001, 16, 0.06, 0.2, 0.02, 0.07);
    return sphere(frequency, [&](Vec3 n) {
        const double r = 0.96 + 0.06 * lumps.at(n);
        return Vec3{n.x * r, n.y * r * 0.9, n.z * r * 1.12};
    });
}

Mesh sphere4() {
    return named(creature(16), "CreatureHigh");
}
Mesh sphere3() {
    return named(creature(8), "CreatureLow");
}

// The child's face: the front half of a head, looking along -z, where the
// face shot's camera ends up. Placed so that the loader's fit leaves it
// exactly where face_layout.h says; the depth axis is pushed off the origin so
// that it sets the fit's scale to 1.
Mesh child3() {
    using namespace face;
    Mesh mesh = hexDisc(22, [](double rho, double theta) {
        const double eta = rho * std::sin(theta);
        const double widthFactor = 1.0 - kChinNarrowing * std::pow(std::max(0.0, -eta), 2) -
                                   kCrownNarrowing * std::pow(std::max(0.0, eta), 2);
        const double x = kHalfWidth * rho * std::cos(theta) * widthFactor;
        const double y = kHalfHeight * eta;
        return Vec3{x, y, relief(x, y, rho)};
    });
    // The ears: small cupped discs standing out from the rim, their z kept
    // inside the face's so the loader's fit stays as it was.
    for (double side : {-1.0, 1.0}) {
        mesh.append(hexDisc(4, [side](double rho, double theta) {
            const double across = 0.5 * (1.0 + rho * std::cos(theta)); // 0 at the root
            const double up = rho * std::sin(theta);
            const double cup = 0.012 * (1.0 - rho * rho);
            return Vec3{side * (earRootX() + kEarReach * across - cup),
                        kEarY + kEarHalfHeight * up * (1.0 - 0.25 * across * across),
                        0.006 + kEarLean * across + cup};
        }));
    }
    double maxZ = 0.0;
    for (const Vec3& v : mesh.vertices) {
        maxZ = std::max(maxZ, v.z);
    }
    // Depth scaled to the layout's, then pushed off so that z spans 2 by the
    // loader's |max| + |min| rule; half a turn about y makes it look along -z
    // (a turn, not a mirror, so the faces keep pointing out).
    const double depthScale = kDepth / maxZ;
    const double offset = (2.0 - kDepth) * 0.5;
    mesh.transform([&](Vec3 v) { return Vec3{-v.x, v.y, -(v.z * depthScale + offset)}; });
    return named(mesh, "ChildFace");
}

// The standing mirrors' frames are lit by the sea's light, which comes from
// +y (the bottom of the upside-down underwater view), while the camera mostly
// meets them face on, across that light: drawn with their true normals the
// frames were dark outlines in the trail. So every corner's normal also gets a
// lift toward +y, longest on the moulding's crest and bead and none in its
// cove, so the frame shows a lit crest, a dark groove and a lit bead like
// carved bronze. The lift stays short: the frames' dim orange clips at full
// red past about four faces, and a longer lift made them glowing neon boxes.
// The hung picture's frame is drawn unlit and does not see the lift.
constexpr double kFrameLiftTrim = 1e-4;
double frameLift(double f) {
    static constexpr std::pair<double, double> kLift[] = {{0.0, 1.0},  {0.08, 2.0}, {0.25, 3.0},
                                                          {0.42, 2.0}, {0.55, 0.0}, {0.68, 1.0},
                                                          {0.8, 3.0},  {0.9, 2.0},  {1.0, 1.0}};
    for (std::size_t k = 1; k < std::size(kLift); ++k) {
        if (f <= kLift[k].first + 1e-9) {
            const double s = (f - kLift[k - 1].first) / (kLift[k].first - kLift[k - 1].first);
            return std::round(kLift[k - 1].second + s * (kLift[k].second - kLift[k - 1].second));
        }
    }
    return kLift[std::size(kLift) - 1].second;
}

void litFromBelow(Mesh& mesh) {
    // A corner's place across the moulding, 0 at the outer edge and 1 at the
    // opening; the mitred corners lie at the same place on both axes.
    const auto across = [](Vec3 at) {
        return std::clamp((1.0 - std::abs(at.x)) / (1.0 - 0.885), 0.0, 1.0);
    };
    trimCornerNormals(
        mesh,
        [&](Vec3 at, Vec3 sum) {
            const double y = std::max(sum.y + frameLift(across(at)), 1.0);
            return Vec3{sum.x, y, sum.z};
        },
        kFrameLiftTrim, true);
}

// A picture frame: a moulding swept around a square, mitred at the corners.
// The opening (x 0.885, y 0.825 of the outer size) takes the picture quad
// once the gallery's non-uniform scale is applied; front and back match so it
// also serves the standing mirrors. The standing mirrors stretch it three
// times in depth: the moulding is modelled a third as deep, so there it
// stands as deep as it is wide, a slim frame round the glass; at its full
// depth it made each mirror an open box whose side walls hid the glass.
constexpr double kFrameDepth = 1.0 / 3.0;
Mesh frame() {
    const std::vector<std::vector<std::pair<double, double>>> runs = {
        {{0.0, 0.06}, {0.0, -0.06}},
        {{0.0, -0.06},
         {0.08, -0.09},
         {0.25, -0.11},
         {0.42, -0.09},
         {0.55, -0.065},
         {0.68, -0.07},
         {0.8, -0.085},
         {0.9, -0.06},
         {1.0, -0.04}},
        {{1.0, -0.04}, {1.0, 0.04}},
        {{1.0, 0.04},
         {0.9, 0.06},
         {0.8, 0.085},
         {0.68, 0.07},
         {0.55, 0.065},
         {0.42, 0.09},
         {0.25, 0.11},
         {0.08, 0.09},
         {0.0, 0.06}},
    };
    const double widthX = 1.0 - 0.885, widthY = 1.0 - 0.825;
    const Vec3 corners[4] = {{1, 1, 0}, {-1, 1, 0}, {-1, -1, 0}, {1, -1, 0}};
    Mesh mesh;
    for (int side = 0; side < 4; ++side) {
        const Vec3 c0 = corners[side], c1 = corners[(side + 1) % 4];
        const auto at = [&](Vec3 c, double f, double z) {
            return Vec3{c.x - c.x * f * widthX, c.y - c.y * f * widthY, z * kFrameDepth};
        };
        for (const auto& run : runs) {
            std::vector<int> start, end;
            for (const auto& [f, z] : run) {
                start.push_back(mesh.addVertex(at(c0, f, z)));
                end.push_back(mesh.addVertex(at(c1, f, z)));
            }
            for (std::size_t k = 0; k + 1 < run.size(); ++k) {
                mesh.addQuad(start[k], end[k], end[k + 1], start[k + 1]);
            }
        }
    }
    mesh.faceOutward();
    litFromBelow(mesh);
    return named(mesh, "Frame");
}

constexpr int kWaterFrequency = 8;
constexpr int kTwirlSteps = 96;
constexpr int kTwirlSides = 8;

// Deep sea: a rounded slab of water with a gently waving top. It is drawn
// twice and lit in every frame of the deep sea; at frequency 8 its outline
// strays less than a pixel from the finer one's.
Mesh resmain() {
    return named(sphere(kWaterFrequency,
                        [](Vec3 n) {
                            const auto soft = [](double c) {
                                return std::copysign(std::pow(std::abs(c), 0.6), c);
                            };
                            Vec3 p{soft(n.x), soft(n.y) * 0.55, soft(n.z)};
                            if (p.y > 0) {
                                p.y += 0.05 * std::sin(3 * p.x + 1) * std::sin(2.5 * p.z) *
                                       (p.y / 0.55);
                            }
                            return p;
                        }),
                 "Water");
}

// A ribbon hanging at angle theta from radius r0 and height z0 down to r1
// and z1: it tapers, twists and sways sideways as it falls. Every strand is
// the first one turned by its angle, so a ring of them stays symmetric and
// the fit keeps the crown on the axis.
struct StrandShape {
    double r0, z0, r1, z1, width, turns, sway;
    double curl = 0.0;  // how far the tip turns back in toward the axis
    int steps = 6;      // along the strand
    double flare = 1.0; // below 1 the strand spreads near the root, then hangs
    double taper = 0.6; // how much of its width the strand loses by the tip
};
Mesh ribbon(const StrandShape& k, double theta, double roll) {
    return parametricGrid(k.steps, 1, false, false, [=](double u, double v) {
        const Vec3 out{std::cos(theta), std::sin(theta), 0};
        const Vec3 side{-std::sin(theta), std::cos(theta), 0};
        const double a = roll + 2 * kPi * k.turns * u;
        const double half = k.width * (1.0 - k.taper * u) * (v - 0.5);
        const double drift = k.sway * u * std::sin(2.2 * kPi * u + 1.0);
        const double hook = k.curl * smoothstep(0.5, 1.0, u);
        const double spread = std::pow(u, k.flare);
        return out * (k.r0 + (k.r1 - k.r0) * spread - hook + half * std::cos(a)) +
               side * (drift + half * std::sin(a)) +
               Vec3{0, 0, k.z0 + (k.z1 - k.z0) * u + 0.5 * hook};
    });
}

// Two ribbons crossed along one path: the strand is never edge-on, and
// where they cross the translucent body is drawn twice, a brighter core.
Mesh strand(const StrandShape& k, double theta) {
    Mesh mesh = ribbon(k, theta, 0.0);
    mesh.append(ribbon(k, theta, 0.5 * kPi));
    return mesh;
}

// Jellyfish bell with its crown at +z (the drawing turns it to face up) and
// a scalloped rim; thick jelly at the top, thin at the rim. Eight
// tentacles trail about two bell heights below the rim, tapering to a
// quarter of their width (hair-thin ones vanished on the small ones over
// the vase), and four broad frilled arms hang from the middle: short, broad
// strands read as legs on a germ. The tentacles set the fit along the axis, as
// long as the flare once set it across, so the bell keeps its size. Their
// tips reach a few pixels into the top of the deep sea's view, where
// it hangs one jellyfish just above it. On a software driver each frame's
// cost follows the triangles, so the bell has five rings and each strand
// six steps: fifty are drawn at once.
Mesh gelfish2() {
    // The rim has thirty corners: ten shallow scallops of three corners each
    // stay even, where eight fell between the corners and left a ragged
    // margin; deep ones turned the glowing margin into a ten-sided ring.
    const auto scallop = [](double rho, double theta) {
        return 1.0 + 0.03 * std::cos(10 * theta) * smoothstep(0.6, 1.0, rho);
    };
    const auto outer = [=](double rho, double theta) {
        const double a = rho * radians(96.0);
        const double r = std::sin(a) * scallop(rho, theta);
        return Vec3{r * std::cos(theta), r * std::sin(theta), 0.8 * std::cos(a)};
    };
    // The inner skin meets the outer one a twentieth of the radius inside
    // the rim: the band that joins them faces the camera over the vase and
    // takes the margin's bright rows, and at 0.14 wide it drew a thick bright
    // ring round the bell, the edge of a coin.
    const auto inner = [=](double rho, double theta) {
        const double a = rho * radians(92.0);
        const double r = 0.95 * std::sin(a) * scallop(rho, theta);
        return Vec3{r * std::cos(theta), r * std::sin(theta), 0.6 * std::cos(a) - 0.05};
    };
    Mesh mesh = shell(5, outer, inner, {0, 0, -0.2}, {0, 0, -1});
    // The tentacles leave the rim a little outside it so that a bell seen
    // along its axis shows them as a fringe; the arms spread into a cross
    // inside it.
    constexpr StrandShape kTentacle{0.9, -0.06, 1.12, -2.0, 0.24, 1.5, 0.25, 0.15, 6, 1.0, 0.75};
    constexpr StrandShape kArm{0.1, 0.45, 0.4, -0.55, 0.42, 0.75, 0.1};
    for (int i = 0; i < 8; ++i) {
        mesh.append(strand(kTentacle, 2 * kPi * (i + 0.5) / 8));
    }
    for (int i = 0; i < 4; ++i) {
        mesh.append(ribbon(kArm, 2 * kPi * i / 4, 0.0));
    }
    return named(mesh, "Jellyfish");
}

// Closing credits: a broad flat band with rounded edges, bent into a wavy
// ring and turned twice about itself along the way, set off-centre in its
// cube (two specks at the corners hold the fit). The effect places its
// second and third copies 4 units up and 4 units along x inside their own
// scaled frames, where the fit's cube reaches back to the spin's centre: a
// ring that filled the cube put their light at half to two thirds of the
// trail's view and beyond, and the trail's zoom carried it to the band's
// top and bottom edges. Moved toward -x and -y, all three copies turn within
// half the view's height of its centre, where the zoom lets their light
// pile up into bright heads with spiral arms instead of spreading it into
// haze. The ring is small, so the band is broad (half its radius across)
// to keep the lit area and the twist readable. The trail smears it at
// once, so 96 steps along and 8 around carry the shape and its light: three
// are drawn every frame, and each triangle costs the software driver's main
// thread.
Mesh twirl() {
    const Vec3 middle{-kTwirlOffsetX, -kTwirlOffsetY, 0};
    Mesh mesh = parametricGrid(kTwirlSteps, kTwirlSides, true, true, [&](double u, double v) {
        const double a = 2 * kPi * u, b = 2 * kPi * v, twist = 2 * a;
        const Vec3 radial{std::cos(a), std::sin(a), 0};
        const Vec3 centre =
            middle + radial * kTwirlRadius + Vec3{0, 0, 0.15 * kTwirlRadius * std::sin(3 * a)};
        const double x = kTwirlHalfWidth * std::cos(b), y = 0.03 * std::sin(b);
        return centre + radial * (x * std::cos(twist) - y * std::sin(twist)) +
               Vec3{0, 0, 1} * (x * std::sin(twist) + y * std::cos(twist));
    });
    mesh.faceOutward();
    for (const double s : {1.0, -1.0}) {
        const int c = mesh.addVertex(Vec3{s, s, s});
        mesh.addVertex(Vec3{s - 0.001 * s, s, s});
        mesh.addVertex(Vec3{s, s - 0.001 * s, s});
        mesh.addTriangle(c, c + 1, c + 2);
    }
    return named(mesh, "Twirl");
}

// A thin fin standing on the body: its root runs along z from `from` to `to`
// at height `root(u)`, and it reaches `reach(u)` further out along `out`
// (u from 0 at its front to 1 at its rear). It is pleated, more toward its
// edge: a flat fin stands edge-on to the Layer's light and stays dark, the
// pleats catch it in bands. The skin picture, projected from the side,
// paints its rays.
Mesh goldfishFin(double from, double to, double x, const Vec3& out,
                 const std::function<double(double)>& root,
                 const std::function<double(double)>& reach) {
    Mesh fin = parametricGrid(8, 1, false, false, [&](double u, double v) {
        const double r = reach(u) * v;
        const bool ridge = std::lround(u * 8) % 2 == 1;
        const double pleat = (ridge ? 0.025 : -0.025) * v;
        return Vec3{x + out.x * r + pleat * out.y, root(u) + out.y * r - pleat * out.x,
                    from + (to - from) * u};
    });
    // Pleats alone do not lean a corner toward the tail: its normal sums its
    // faces', and those of a zigzag cancel along it, so the fin showed only
    // the dim ambient, a muddy brown. Slivers 0.002 wide on each edge across
    // the fin, flat at one z and facing the tail, lean every corner toward
    // the light as the chords do on the skin.
    const auto at = [&fin](int i) { return fin.vertices[static_cast<std::size_t>(i)]; };
    // One strip of quads across the fin leaves room in the Layer's triangle
    // budget for two slivers on each inner edge and one at either end.
    for (int column = 0; column <= 8; ++column) {
        const int a = column * 2, b = a + 1;
        const Vec3 edge = at(b) - at(a);
        const Vec3 across = normalised(Vec3{-edge.y, edge.x, 0.0}) * 0.002;
        for (int copy = 0; copy < (column == 0 || column == 8 ? 1 : 2); ++copy) {
            const int sliver = fin.addVertex((at(a) + at(b)) * 0.5 + across);
            if (cross(at(a) - at(b), at(a) - at(sliver)).z >= 0) {
                fin.addTriangle(a, b, sliver);
            } else {
                fin.addTriangle(a, sliver, b);
            }
        }
    }
    return fin;
}

// The Layer's light comes from behind the tail (+z here), so the flanks
// stood edge-on to it and showed only the dim ambient: a muddy brown. A
// corner's normal is the plain sum of its faces' normals, so chords across
// each ring of the skin, flat in the ring's plane and facing +z, lean every
// skin normal toward the light without being seen: each lies inside the
// body, and each names three skin vertices, so one chord per vertex adds
// three faces' worth of light to a flank that has six of its own.
void catchLightFromBehind(Mesh& mesh, int rings, int perRing) {
    const auto at = [&mesh](int i) { return mesh.vertices[static_cast<std::size_t>(i)]; };
    const auto addFacingTail = [&mesh, &at](int a, int b, int c) {
        if (cross(at(a) - at(b), at(a) - at(c)).z >= 0) {
            mesh.addTriangle(a, b, c);
        } else {
            mesh.addTriangle(a, c, b);
        }
    };
    for (int ring = 0; ring < rings; ++ring) {
        for (int j = 0; j < perRing; ++j) {
            const int a = ring * perRing + j, b = ring * perRing + (j + 1) % perRing,
                      c = ring * perRing + (j + 2) % perRing;
            const Vec3 facing = cross(at(a) - at(b), at(a) - at(c));
            if (std::abs(facing.z) >= 0.9 * length(facing)) {
                addFacingTail(a, b, c);
                continue;
            }
            // The tail's rings are thin and bend with the fork, so three
            // neighbours there span a plane far from the ring's. A sliver on
            // the edge a-b, 0.002 wide across it in the ring's plane, faces
            // the tail instead and still names two skin vertices.
            const Vec3 edge = at(b) - at(a);
            const Vec3 across = normalised(Vec3{-edge.y, edge.x, 0.0}) * 0.002;
            const int sliver = mesh.addVertex((at(a) + at(b)) * 0.5 + across);
            addFacingTail(a, b, sliver);
        }
    }
}

// Goldfish body along +z, head at -z and forked tail at +z, back up (+y).
// The eyes and the fin cones beside them are drawn separately; the back,
// belly and pelvic fins are part of the mesh. The ends are left as pin
// holes so no vertex gathers a fan of faces.
Mesh goldfish() {
    struct Section {
        double u, halfWidth, halfHeight;
    };
    static constexpr Section kSections[] = {
        {0.0, 0.004, 0.004}, {0.04, 0.1, 0.1},   {0.12, 0.17, 0.21}, {0.25, 0.2, 0.27},
        {0.4, 0.19, 0.28},   {0.55, 0.14, 0.22}, {0.68, 0.06, 0.12}, {0.74, 0.03, 0.1},
        {0.84, 0.018, 0.3},  {0.94, 0.01, 0.45}, {1.0, 0.003, 0.48},
    };
    // A monotone cubic through the sections: easing to a stop at every key
    // (smoothstep) left a ridge ring at each, and an overshooting spline
    // would bulge past the outline the keys give.
    constexpr std::size_t kCount = std::size(kSections);
    const auto slope = [](std::size_t i, double Section::*field) {
        const auto secant = [field](std::size_t a) {
            return (kSections[a + 1].*field - kSections[a].*field) /
                   (kSections[a + 1].u - kSections[a].u);
        };
        if (i == 0 || i + 1 == kCount) {
            return 0.0;
        }
        const double before = secant(i - 1), after = secant(i);
        return before * after <= 0 ? 0.0 : 2 / (1 / before + 1 / after);
    };
    const auto section = [&](double u) {
        std::size_t i = 0;
        while (i + 2 < kCount && u > kSections[i + 1].u) {
            ++i;
        }
        const Section& a = kSections[i];
        const Section& b = kSections[i + 1];
        const double span = b.u - a.u, f = std::clamp((u - a.u) / span, 0.0, 1.0);
        const double f2 = f * f, f3 = f2 * f;
        const auto hermite = [&](double Section::*field) {
            return (2 * f3 - 3 * f2 + 1) * a.*field + (f3 - 2 * f2 + f) * span * slope(i, field) +
                   (-2 * f3 + 3 * f2) * b.*field + (f3 - f2) * span * slope(i + 1, field);
        };
        return std::pair{hermite(&Section::halfWidth), hermite(&Section::halfHeight)};
    };
    // More steps around than along: the outline is what shows facets. The
    // Layer's arrays hold 2000 triangles, the skin's light catchers included.
    constexpr int kAlong = 28, kAround = 22;
    // The Layer draws its eye glows at (0.16 and -0.12, 0.167, -0.793) in
    // these axes (before the loader's fit), wider apart than the head there:
    // seen from above, the far glow floated over the head. A dome on each
    // upper flank brings the skin out to the eyes, so both glows sit on it.
    constexpr double kEyeU = (1.0 - 0.793) / 2.0, kEyeY = 0.167, kEyeX = 0.16;
    const auto [eyeW, eyeH] = section(kEyeU);
    const double eyeAngle = std::asin((kEyeY - 0.02) / eyeH);
    const double eyeDome = kEyeX - eyeW * std::cos(eyeAngle);
    Mesh mesh = parametricGrid(kAlong, kAround, false, true, [&](double u, double v) {
        const auto [w, h] = section(u);
        const double a = 2 * kPi * v, s = std::sin(a), c = std::cos(a);
        const double fork = 0.14 * smoothstep(0.78, 1.0, u) * std::pow(std::abs(s), 1.5);
        const double du = (u - kEyeU) / 0.05, da = (std::atan2(s, std::abs(c)) - eyeAngle) / 0.45;
        const double dome = eyeDome * std::exp(-du * du - da * da);
        return Vec3{w * c + (c < 0 ? -dome : dome), h * s * (s > 0 ? 1.0 : 0.85) + 0.02,
                    -1.0 + 2.0 * u + fork};
    });
    mesh.faceOutward();
    // Fin roots sit a little inside the skin so no gap shows; they stay
    // inside the tail's height, which sets the mesh's fitted box.
    const auto back = [&](double z) { return section((z + 1) / 2).second + 0.015; };
    const auto under = [&](double z) { return 0.025 - 0.85 * section((z + 1) / 2).second; };
    // The back fin: tall at its front, sloping down toward the tail.
    mesh.append(goldfishFin(
        -0.42, 0.14, 0.0, {0, 1, 0}, [&](double u) { return back(-0.42 + 0.56 * u); },
        [](double u) { return 0.2 * std::sin(kPi * (0.15 + 0.85 * u)) * (1.1 - 0.6 * u); }));
    // The anal fin under the tail root, and a pelvic fin each side of the
    // belly, swept back and spread a little.
    mesh.append(goldfishFin(
        0.1, 0.34, 0.0, {0, -1, 0}, [&](double u) { return under(0.1 + 0.24 * u); },
        [](double u) { return 0.12 * std::sin(kPi * (0.1 + 0.8 * u)); }));
    for (const double side : {-1.0, 1.0}) {
        mesh.append(goldfishFin(
            -0.42, -0.22, 0.05 * side, {0.35 * side, -0.94, 0},
            [&](double u) { return under(-0.42 + 0.2 * u); },
            [](double u) { return 0.14 * std::sin(kPi * (0.2 + 0.7 * u)); }));
    }
    catchLightFromBehind(mesh, kAlong + 1, kAround);
    return named(mesh, "Goldfish");
}

// ------------------------------------------------------------------ files

const AscMaterialBlock kGlaze{1, {0.25, 0.2, 0.15}, {0.8, 0.65, 0.45}, {0.9, 0.9, 0.9}, 60};
const AscMaterialBlock kGilt{2, {0.3, 0.22, 0.08}, {0.75, 0.55, 0.2}, {1.0, 0.9, 0.6}, 40};
const AscMaterialBlock kScales{3, {0.3, 0.12, 0.02}, {1.0, 0.5, 0.1}, {1.0, 0.9, 0.7}, 30};

void writeMesh(const Pack& pack, const char* file, const Mesh& mesh, LineEnding ending,
               const AscMaterialBlock* block = nullptr) {
    AscStyle style;
    style.ending = ending;
    style.block = block;
    pack.write(file, formatAsc({mesh}, style));
}

} // namespace

void generateMeshes(const Pack& pack) {
    using enum LineEnding;
    writeMesh(pack, "dom2.asc", dome2(), CrLf);
    writeMesh(pack, "plane.asc", plane(), Lf);
    writeMesh(pack, "star2.asc", star2(), CrLf);
    writeMesh(pack, "funky.asc", funky(), Lf);
    writeMesh(pack, "resoil.asc", resoil(), CrLf);
    pack.write("round3.asc",
               formatAsc({named(tunnelBands(), "Tunnel"), named(glitter(), "Glitter")},
                         AscStyle{.ending = Lf}));
    writeMesh(pack, "torus2.asc", torus2(), CrLf);
    writeMesh(pack, "simpleplane.asc", simpleplane(), Lf);
    writeMesh(pack, "sphereone.asc", sphereone(), CrLf);
    writeMesh(pack, "geo1.asc", geo1(), Lf);
    writeMesh(pack, "butterfly.asc", butterfly(), CrLf);
    writeMesh(pack, "round1.asc", round1(), Lf);
    writeMesh(pack, "vase.asc", vaseMain(), CrLf, &kGlaze);
    writeMesh(pack, "vase2.asc", vaseMirror(), Lf, &kGlaze);
    writeMesh(pack, "sphere4.asc", sphere4(), CrLf);
    writeMesh(pack, "sphere3.asc", sphere3(), Lf);
    writeMesh(pack, "child3.asc", child3(), CrLf);
    writeMesh(pack, "frame.asc", frame(), Lf, &kGilt);
    writeMesh(pack, "resmain.asc", resmain(), CrLf);
    writeMesh(pack, "gelfish2.asc", gelfish2(), Lf);
    writeMesh(pack, "twirl.asc", twirl(), CrLf);
    writeMesh(pack, "goldfish.asc", goldfish(), Lf, &kScales);
}

} // namespace assetgen
