// Building blocks for the meshes: geodesic spheres, hexagonal discs, parametric
// grids and lathes. All share vertex indices inside a smooth surface and keep
// every inner vertex at valence 6 (5 at the geodesic corners), because the
// loader's corner normals are sums and grow with the number of faces.
#pragma once

#include "mesh_writer.h"

#include <functional>
#include <vector>

namespace assetgen {

// Unit sphere from an icosahedron whose faces are split into frequency^2
// triangles: 20 f^2 faces, 10 f^2 + 2 vertices. Faces point out.
Mesh geodesicSphere(int frequency);

// Disc of `rings` rings on a triangular lattice (ring k has 6k vertices, the
// centre has valence 6): 6 rings^2 faces. place(rho, theta) gives the point for
// radius fraction rho in 0..1 and angle theta; with place = (rho cos, rho sin, 0)
// the faces point along +z.
Mesh hexDisc(int rings, const std::function<Vec3(double rho, double theta)>& place);
// Index of ring k's vertex j in a hexDisc mesh (vertex 0 is the centre).
int hexDiscIndex(int ring, int j);

// Grid of (nu + 1) x (nv + 1) samples of place(u, v), u and v in 0..1; a wrapped
// direction reuses its first row instead of the last. Faces point along
// d/du x d/dv.
Mesh parametricGrid(int nu, int nv, bool wrapU, bool wrapV,
                    const std::function<Vec3(double u, double v)>& place);

// Surface of revolution about the y axis. Each run is a smooth profile of
// (radius, height) points, shared between neighbouring quads; separate runs
// meet at a sharp crease. A point of radius 0 becomes one pole vertex. A
// profile climbing on the outside faces outward.
struct ProfilePoint {
    double radius, height;
};
Mesh lathe(const std::vector<std::vector<ProfilePoint>>& runs, int segments);

// Catmull-Rom resampling of a profile run: `perSpan` points per span.
std::vector<ProfilePoint> smoothProfile(const std::vector<ProfilePoint>& points, int perSpan);

// Flips each face in [first, last) whose normal points against
// outward(face centroid): for surfaces whose outside is known locally.
void orientFaces(Mesh& mesh, std::size_t first, std::size_t last,
                 const std::function<Vec3(Vec3 centroid)>& outward);

// Unshared copy: every face gets its own three vertices, so each corner's
// normal is exactly its face normal (flat facets).
Mesh faceted(const Mesh& mesh);

} // namespace assetgen
