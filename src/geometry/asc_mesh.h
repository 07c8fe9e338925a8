// Loaders for meshes in the ASCII scene export (".asc") with "MaterialEXT:"
// blocks. Each mesh is fitted into the cube from -1 to +1 with the file's Y and
// Z axes exchanged; every triangle corner gets the unnormalised sum of the unit
// normals of all faces that share its vertex index.
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

// One mesh of a file, fitted, with its normals.
struct AscMesh {
    std::vector<std::array<float, 3>> vertices; // GL axis order, fitted
    std::vector<std::array<int, 3>> faces;      // vertex indices A, B, C
    std::vector<std::array<float, 3>> faceNormals;
    // Corner normals A, B, C of each face (x, y, z each).
    std::vector<std::array<double, 9>> cornerNormals;
};

// Position just after the first occurrence of key in line at or after start,
// or -1 when there is none. Byte-wise and case-sensitive.
int FindKeyword(const char* line, const char* key, int start);

// Centres the vertices and scales them so that the largest of the per-axis
// extents |max| + |min| spans 2. Single precision, in place. Returns false
// (leaving the vertices as they were) when there are none or every extent is 0.
bool FitToUnitCube(std::array<float, 3>* vertices, int count);

// Parses mesh text. Every completed mesh is handed to onMesh at once, so that
// meshes before a failure stay delivered. Returns 1 on success, -1 on failure.
int ParseAscText(const std::string& text, const std::function<void(const AscMesh&)>& onMesh);

// Compiles the meshes of the file as smooth-shaded GL_TRIANGLES, positions
// multiplied by scale, into the display list being compiled. Issues only
// glBegin, glNormal3f, glVertex3f and glEnd. Returns 1 on success, -1 on failure.
int LoadAscMesh(double scale, const char* path);

// Writes the faces of each mesh of the file from record 0 on: positions[j] holds
// corners A, B, C (x, y, z each) in the unit cube, normals[j] their corner
// normals; faceCount becomes the face count of the last mesh. A mesh with more
// faces than capacity fails the load and writes nothing. Returns 1 or -1.
int LoadAscTriangles(const char* path, int& faceCount, float (*positions)[9], float (*normals)[9],
                     int capacity);
