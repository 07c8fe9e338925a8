// Triangle meshes as the generator builds them, and their text form in the
// ASCII scene export (".asc") that the production's mesh loader reads.
#pragma once

#include <array>
#include <cmath>
#include <string>
#include <vector>

namespace assetgen {

struct Vec3 {
    double x = 0.0, y = 0.0, z = 0.0;
};

inline Vec3 operator+(Vec3 a, Vec3 b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline Vec3 operator-(Vec3 a, Vec3 b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline Vec3 operator*(Vec3 a, double s) {
    return {a.x * s, a.y * s, a.z * s};
}
inline double dot(Vec3 a, Vec3 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline Vec3 cross(Vec3 a, Vec3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline double length(Vec3 a) {
    return std::sqrt(dot(a, a));
}
inline Vec3 normalised(Vec3 a) {
    const double l = length(a);
    return l > 0.0 ? a * (1.0 / l) : Vec3{};
}
inline Vec3 lerp(Vec3 a, Vec3 b, double f) {
    return a + (b - a) * f;
}

struct MeshFace {
    std::array<int, 3> corners{};
    // Edge visibility as the exporter writes it (AB, BC, CA); the diagonal
    // of a quad split into two triangles is hidden.
    std::array<bool, 3> edgeVisible{true, true, true};
};

// Vertices in the production's axis order (y up); faces wind counter-clockwise
// seen from the side their normal should face, because the loader takes
// (A - B) x (A - C) as the face normal.
struct Mesh {
    std::string name;
    std::vector<Vec3> vertices;
    std::vector<MeshFace> faces;

    int addVertex(Vec3 p);
    void addTriangle(int a, int b, int c);
    // Counter-clockwise quad a, b, c, d, split along a-c.
    void addQuad(int a, int b, int c, int d);
    // Appends another mesh's vertices and faces (no indices shared).
    void append(const Mesh& other);
    void flipFaces();
    // Six times the enclosed volume; positive when a closed mesh faces outward.
    double signedVolume6() const;
    // Flips a closed mesh whose faces point inward.
    void faceOutward();
    template <typename F> void transform(F&& f) {
        for (auto& v : vertices) {
            v = f(v);
        }
    }
};

enum class LineEnding { Lf, CrLf };

// A material block written ahead of the meshes; faces then refer to it.
struct AscMaterialBlock {
    int number = 1;
    Vec3 ambient, diffuse, specular;
    int shininess = 0;
};

struct AscStyle {
    LineEnding ending = LineEnding::Lf;
    int red = 178, green = 178, blue = 178;  // the per-face colour material
    const AscMaterialBlock* block = nullptr; // faces name this block instead
};

// The file text of one or more named meshes. The file's Y and Z axes are the
// production's Z and Y, so they are exchanged on the way out.
std::string formatAsc(const std::vector<Mesh>& meshes, const AscStyle& style);

} // namespace assetgen
