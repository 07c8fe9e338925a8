#include "geometry/asc_mesh.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "temp_folder.h"

namespace {

struct Vertex {
    double x, y, z; // as written in the file
};

std::string vertexLine(int i, const Vertex& v) {
    return "Vertex " + std::to_string(i) + ":  X:" + std::to_string(v.x) +
           "     Y:" + std::to_string(v.y) + "     Z:" + std::to_string(v.z) + "\n";
}

std::string faceLines(int j, int a, int b, int c) {
    return "Face " + std::to_string(j) + ":    A:" + std::to_string(a) + " B:" + std::to_string(b) +
           " C:" + std::to_string(c) +
           " AB:1 BC:1 CA:1\nMaterial:\"r255g255b255a0\"\nSmoothing:  1\n";
}

std::string meshText(const std::vector<Vertex>& vertices,
                     const std::vector<std::array<int, 3>>& faces) {
    std::string text =
        "Named object: \"Object\"\nTri-mesh, Vertices: " + std::to_string(vertices.size()) +
        "     Faces: " + std::to_string(faces.size()) + "\nVertex list:\n";
    for (std::size_t i = 0; i < vertices.size(); ++i) {
        text += vertexLine(static_cast<int>(i), vertices[i]);
    }
    text += "Face list:\n";
    for (std::size_t j = 0; j < faces.size(); ++j) {
        text += faceLines(static_cast<int>(j), faces[j][0], faces[j][1], faces[j][2]);
    }
    return text;
}

const std::string kMaterial = "MaterialEXT: 3\n ambient 0.1, 0.2, 0.3\n diffuse 0.5, 0.5, 0.5\n"
                              " specular 1, 1, 1\n shininess 20\n";

struct Parsed {
    int result = 0;
    std::vector<AscMesh> meshes;
};

Parsed parse(const std::string& text) {
    Parsed p;
    p.result = ParseAscText(text, [&p](const AscMesh& m) { p.meshes.push_back(m); });
    return p;
}

// A flat fan of four triangles around vertex 0 in the file's XY plane.
std::string fanText() {
    return meshText({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {-1, 0, 0}, {0, -1, 0}},
                    {{{0, 1, 2}}, {{0, 2, 3}}, {{0, 3, 4}}, {{0, 4, 1}}});
}

} // namespace

TEST(FindKeyword, ReturnsThePositionAfterTheKeyOrMinusOne) {
    EXPECT_EQ(FindKeyword("Face 12: A:1", "A:", 0), 11);
    EXPECT_EQ(FindKeyword("Face 12: A:1", "A:", 10), -1);
    EXPECT_EQ(FindKeyword("Face 12:", "Face 2:", 0), -1);
    EXPECT_EQ(FindKeyword("Vertex 10: X:1", "Vertex 1:", 0), -1);
    EXPECT_EQ(FindKeyword("abc", "abcd", 0), -1);
    EXPECT_EQ(FindKeyword("abc", "c", 5), -1);
    EXPECT_EQ(FindKeyword("x tri-mesh", "Tri-mesh", 0), -1);
}

TEST(AscParser, LabelsIncludeTheirColon) {
    // "Vertex 10:" is not taken for "Vertex 1:", nor "Face 12:" for "Face 2:"...
    std::string text = "Tri-mesh, Vertices: 3 Faces: 1\n" + vertexLine(0, {0, 0, 0}) +
                       vertexLine(10, {9, 9, 9}) + vertexLine(1, {2, 0, 0}) +
                       vertexLine(2, {0, 0, 2}) + faceLines(0, 0, 1, 2);
    Parsed p = parse(text);
    ASSERT_EQ(p.result, 1);
    ASSERT_EQ(p.meshes.size(), 1u);
    // Extents 2 (x) and 2 (GL y from file Z): vertex 1 sits at x = +1.
    EXPECT_FLOAT_EQ(p.meshes[0].vertices[1][0], 1.0f);

    // ... and a vertex line ahead of its turn is skipped, so the load fails.
    text = "Tri-mesh, Vertices: 3 Faces: 1\n" + vertexLine(0, {0, 0, 0}) +
           vertexLine(2, {0, 0, 2}) + vertexLine(1, {2, 0, 0}) + faceLines(0, 0, 1, 2);
    EXPECT_EQ(parse(text).result, -1);
}

TEST(AscParser, MaterialBlocksAloneFailAndMustBeComplete) {
    EXPECT_EQ(parse(kMaterial).result, -1);
    EXPECT_EQ(parse(kMaterial + fanText()).result, 1);
    const std::string cut = "MaterialEXT: 3\n ambient 0.1, 0.2, 0.3\n diffuse 0.5, 0.5, 0.5\n"
                            " shininess 20\n";
    EXPECT_EQ(parse(cut + fanText()).result, -1);
    EXPECT_EQ(parse("").result, -1);
}

TEST(AscParser, FitsWithAbsoluteExtentsAndExchangesYAndZ) {
    // X from 1 to 3: extent |3| + |1| = 4, so the mesh spans only -0.5 .. 0.5.
    Parsed p = parse(meshText({{1, 0, 0}, {3, 0, 0}, {2, 0.5, 0}}, {{{0, 1, 2}}}));
    ASSERT_EQ(p.result, 1);
    EXPECT_FLOAT_EQ(p.meshes[0].vertices[0][0], -0.5f);
    EXPECT_FLOAT_EQ(p.meshes[0].vertices[1][0], 0.5f);

    // File Y = 7 becomes GL z, file Z becomes GL y; the widest axis, -10 .. 10,
    // spans -1 .. 1 (GL z has the extent 7 + 5 = 12 from the file's Y).
    p = parse(meshText({{-10, 7, 1}, {10, 7, -1}, {0, 5, 0}}, {{{0, 1, 2}}}));
    ASSERT_EQ(p.result, 1);
    const auto& v = p.meshes[0].vertices;
    EXPECT_FLOAT_EQ(v[0][0], -1.0f);
    EXPECT_FLOAT_EQ(v[1][0], 1.0f);
    EXPECT_FLOAT_EQ(v[0][1], 0.1f);  // file Z 1
    EXPECT_FLOAT_EQ(v[0][2], 0.1f);  // file Y 7, centre 6
    EXPECT_FLOAT_EQ(v[2][2], -0.1f); // file Y 5
}

TEST(AscParser, CornerNormalsAreUnnormalisedSumsOverSharingFaces) {
    Parsed p = parse(fanText());
    ASSERT_EQ(p.result, 1);
    const AscMesh& m = p.meshes[0];
    ASSERT_EQ(m.faces.size(), 4u);
    // All four faces lie in the GL xz plane with the same unit normal.
    const auto& n = m.faceNormals[0];
    EXPECT_NEAR(std::abs(n[1]), 1.0, 1e-6);
    for (std::size_t j = 0; j < 4; ++j) {
        EXPECT_NEAR(m.cornerNormals[j][1], 4 * n[1], 1e-6) << "centre corner of face " << j;
        // Rim vertices are shared by exactly two faces.
        EXPECT_NEAR(m.cornerNormals[j][4], 2 * n[1], 1e-6);
    }
}

TEST(AscParser, DegenerateFaceAddsNothing) {
    Parsed p =
        parse(meshText({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}}, {{{0, 1, 2}}, {{0, 1, 1}}}));
    ASSERT_EQ(p.result, 1);
    const AscMesh& m = p.meshes[0];
    EXPECT_EQ(m.faceNormals[1][0], 0.0f);
    EXPECT_EQ(m.faceNormals[1][1], 0.0f);
    EXPECT_EQ(m.faceNormals[1][2], 0.0f);
    for (int c = 0; c < 3; ++c) {
        EXPECT_DOUBLE_EQ(m.cornerNormals[0][c], m.faceNormals[0][c]);
    }
}

TEST(AscParser, ReadsALastLineWithoutLineBreak) {
    std::string text = fanText();
    ASSERT_EQ(text.back(), '\n');
    text.pop_back(); // the closing line of the last face now ends the file
    EXPECT_EQ(parse(text).result, 1);
}

TEST(AscParser, RejectsMeshesItCannotReadSoundly) {
    const std::vector<Vertex> tri = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    EXPECT_EQ(parse(meshText(tri, {{{0, 1, 3}}})).result, -1);
    EXPECT_EQ(parse(meshText(tri, {{{-1, 1, 2}}})).result, -1);
    EXPECT_EQ(parse(meshText({{2, 2, 2}, {2, 2, 2}, {2, 2, 2}}, {{{0, 1, 2}}})).result, 1)
        << "coincident vertices away from 0 still have an |max| + |min| extent";
    EXPECT_EQ(parse(meshText({{0, 0, 0}, {0, 0, 0}, {0, 0, 0}}, {{{0, 1, 2}}})).result, -1);
    EXPECT_EQ(parse("Tri-mesh, Vertices: 0 Faces: 0\n").result, -1);
    EXPECT_EQ(parse("Tri-mesh, Faces: 1\n").result, -1);
    std::string noZ = "Tri-mesh, Vertices: 1 Faces: 0\nVertex 0: X:1 Y:2\n";
    EXPECT_EQ(parse(noZ).result, -1);
    std::string noC = "Tri-mesh, Vertices: 3 Faces: 1\n" + vertexLine(0, tri[0]) +
                      vertexLine(1, tri[1]) + vertexLine(2, tri[2]) +
                      "Face 0: A:0 B:1\nSmoothing:\n";
    EXPECT_EQ(parse(noC).result, -1);
    // A face line without its closing line swallows the next face line.
    std::string unclosed = "Tri-mesh, Vertices: 3 Faces: 2\n" + vertexLine(0, tri[0]) +
                           vertexLine(1, tri[1]) + vertexLine(2, tri[2]) +
                           "Face 0: A:0 B:1 C:2\nFace 1: A:0 B:2 C:1\nSmoothing: 1\n";
    EXPECT_EQ(parse(unclosed).result, -1);
}

TEST(AscParser, SeveralMeshesAreFittedApartAndKeptBeforeAFailure) {
    const std::string small = meshText({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{{0, 1, 2}}});
    const std::string big = meshText({{0, 0, 0}, {100, 0, 0}, {0, 100, 0}}, {{{0, 1, 2}}});
    Parsed p = parse(small + big);
    ASSERT_EQ(p.result, 1);
    ASSERT_EQ(p.meshes.size(), 2u);
    EXPECT_FLOAT_EQ(p.meshes[0].vertices[1][0], p.meshes[1].vertices[1][0]);

    p = parse(small + "Tri-mesh, Vertices: 2 Faces: 0\n" + vertexLine(0, {1, 1, 1}));
    EXPECT_EQ(p.result, -1);
    EXPECT_EQ(p.meshes.size(), 1u);
}

TEST(LoadAscTriangles, WritesRecordsAndRespectsCapacity) {
    const hlv_test::TempFolder folder("hlv-asc");
    const auto path = folder / "triangles.asc";
    {
        std::ofstream out(path);
        out << meshText({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{{0, 1, 2}}}) << fanText();
    }
    float positions[5][9] = {};
    float normals[5][9] = {};
    int faceCount = -1;
    EXPECT_EQ(LoadAscTriangles(path.c_str(), faceCount, positions, normals, 5), 1);
    EXPECT_EQ(faceCount, 4);                // the last mesh sets the count
    EXPECT_FLOAT_EQ(positions[1][0], 0.0f); // fan face 1 starts at the centre
    EXPECT_NEAR(std::abs(normals[0][1]), 4.0f, 1e-5);

    float canary[6][9] = {};
    canary[3][0] = 123.0f;
    faceCount = -1;
    EXPECT_EQ(LoadAscTriangles(path.c_str(), faceCount, canary, canary, 3), -1);
    EXPECT_EQ(faceCount, 1); // the first mesh fitted and stays written
    EXPECT_EQ(canary[3][0], 123.0f);

    EXPECT_EQ(LoadAscTriangles("hlvd\\missing.asc", faceCount, positions, normals, 5), -1);
}
