#include "mesh_writer.h"

#include <cstdio>
#include <utility>

namespace assetgen {

int Mesh::addVertex(Vec3 p) {
    vertices.push_back(p);
    return static_cast<int>(vertices.size()) - 1;
}

void Mesh::addTriangle(int a, int b, int c) {
    faces.push_back({{a, b, c}, {true, true, true}});
}

void Mesh::addQuad(int a, int b, int c, int d) {
    faces.push_back({{a, b, c}, {true, true, false}});
    faces.push_back({{a, c, d}, {false, true, true}});
}

void Mesh::append(const Mesh& other) {
    const int base = static_cast<int>(vertices.size());
    vertices.insert(vertices.end(), other.vertices.begin(), other.vertices.end());
    for (MeshFace f : other.faces) {
        for (int& c : f.corners) {
            c += base;
        }
        faces.push_back(f);
    }
}

void Mesh::flipFaces() {
    for (MeshFace& f : faces) {
        std::swap(f.corners[1], f.corners[2]);
        // A-B becomes A-C: the flags follow their edges.
        f.edgeVisible = {f.edgeVisible[2], f.edgeVisible[1], f.edgeVisible[0]};
    }
}

double Mesh::signedVolume6() const {
    double sum = 0.0;
    for (const MeshFace& f : faces) {
        const Vec3 a = vertices[f.corners[0]];
        const Vec3 b = vertices[f.corners[1]];
        const Vec3 c = vertices[f.corners[2]];
        sum += dot(a, cross(b, c));
    }
    return sum;
}

void Mesh::faceOutward() {
    if (signedVolume6() < 0.0) {
        flipFaces();
    }
}

namespace {

class AscText {
public:
    explicit AscText(LineEnding ending) : eol_(ending == LineEnding::CrLf ? "\r\n" : "\n") {}

    template <typename... Args> void line(const char* format, Args... args) {
        char buffer[256];
        std::snprintf(buffer, sizeof buffer, format, args...);
        text_ += buffer;
        text_ += eol_;
    }
    void blank() { text_ += eol_; }
    std::string take() { return std::move(text_); }

private:
    const char* eol_;
    std::string text_;
};

void writeMaterialBlock(AscText& out, const AscMaterialBlock& m) {
    out.line("MaterialEXT: %d", m.number);
    out.line("ambient %.4f, %.4f, %.4f", m.ambient.x, m.ambient.y, m.ambient.z);
    out.line("diffuse %.4f, %.4f, %.4f", m.diffuse.x, m.diffuse.y, m.diffuse.z);
    out.line("specular %.4f, %.4f, %.4f", m.specular.x, m.specular.y, m.specular.z);
    out.line("shininess %d", m.shininess);
    out.blank();
}

void writeMesh(AscText& out, const Mesh& mesh, const AscStyle& style) {
    out.line("Named object: \"%s\"", mesh.name.c_str());
    out.line("Tri-mesh, Vertices: %zu     Faces: %zu", mesh.vertices.size(), mesh.faces.size());
    out.line("Vertex list:");
    for (std::size_t i = 0; i < mesh.vertices.size(); ++i) {
        const Vec3 v = mesh.vertices[i];
        // File Y is our z and file Z our y.
        out.line("Vertex %zu:  X:%.6f     Y:%.6f     Z:%.6f", i, v.x, v.z, v.y);
    }
    out.line("Face list:");
    for (std::size_t j = 0; j < mesh.faces.size(); ++j) {
        const MeshFace& f = mesh.faces[j];
        out.line("Face %zu:    A:%d B:%d C:%d AB:%d BC:%d CA:%d", j, f.corners[0], f.corners[1],
                 f.corners[2], f.edgeVisible[0] ? 1 : 0, f.edgeVisible[1] ? 1 : 0,
                 f.edgeVisible[2] ? 1 : 0);
        if (style.block != nullptr) {
            out.line("Material:\"EXT%d\"", style.block->number);
        } else {
            out.line("Material:\"r%dg%db%da0\"", style.red, style.green, style.blue);
        }
        out.line("Smoothing:  1");
    }
    out.blank();
}

} // namespace

std::string formatAsc(const std::vector<Mesh>& meshes, const AscStyle& style) {
    AscText out(style.ending);
    out.line("Ambient light color: Red=0.300000 Green=0.300000 Blue=0.300000");
    out.blank();
    if (style.block != nullptr) {
        writeMaterialBlock(out, *style.block);
    }
    for (const Mesh& mesh : meshes) {
        writeMesh(out, mesh, style);
    }
    return out.take();
}

} // namespace assetgen
