// Parsing, fitting and normals shared by both mesh loaders.
#include "geometry/asc_mesh.h"

#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string_view>

int FindKeyword(const char* line, const char* key, int start) {
    if (line == nullptr || key == nullptr || start < 0) {
        return -1;
    }
    const std::string_view text(line);
    const std::string_view needle(key);
    if (static_cast<std::size_t>(start) > text.size()) {
        return -1;
    }
    const std::size_t at = text.find(needle, static_cast<std::size_t>(start));
    return at == std::string_view::npos ? -1 : static_cast<int>(at + needle.size());
}

bool FitToUnitCube(std::array<float, 3>* vertices, int count) {
    if (vertices == nullptr || count <= 0) {
        return false;
    }
    float lo[3], hi[3];
    for (int c = 0; c < 3; ++c) {
        lo[c] = hi[c] = vertices[0][c];
    }
    for (int i = 1; i < count; ++i) {
        for (int c = 0; c < 3; ++c) {
            lo[c] = std::fmin(lo[c], vertices[i][c]);
            hi[c] = std::fmax(hi[c], vertices[i][c]);
        }
    }
    // |max| + |min| is the width only when the range contains 0; a mesh off to
    // one side ends up smaller than the cube, which the assets rely on.
    float largest = 0.0f;
    float centre[3];
    for (int c = 0; c < 3; ++c) {
        largest = std::fmax(largest, std::fabs(hi[c]) + std::fabs(lo[c]));
        centre[c] = (hi[c] + lo[c]) * 0.5f;
    }
    if (!(largest > 0.0f) || !std::isfinite(largest)) {
        return false;
    }
    const float s = 2.0f / largest;
    for (int i = 0; i < count; ++i) {
        for (int c = 0; c < 3; ++c) {
            vertices[i][c] = (vertices[i][c] - centre[c]) * s;
        }
    }
    return true;
}

namespace {

// Longest line one read takes; the rest of a longer line is the next line.
constexpr std::size_t kLineChars = 255;

// Hands out the text line by line the way a 256-byte fgets buffer does. The
// last line is returned even without a line break.
class LineReader {
public:
    explicit LineReader(const std::string& text) : text_(text) {}

    // False at end of file. The line stops at an embedded NUL, as a C string.
    bool next() {
        if (pos_ >= text_.size()) {
            return false;
        }
        std::size_t end = pos_;
        while (end < text_.size() && end - pos_ < kLineChars && text_[end] != '\n') {
            ++end;
        }
        if (end < text_.size() && end - pos_ < kLineChars) {
            ++end; // the line break belongs to the line
        }
        line_.assign(text_, pos_, end - pos_);
        line_.resize(std::strlen(line_.c_str()));
        pos_ = end;
        return true;
    }

    const char* line() const { return line_.c_str(); }

    // Reads on, starting with the next line, until a line holds key; returns
    // the position after it, or -1 at end of file.
    int seek(const char* key) {
        while (next()) {
            const int at = FindKeyword(line(), key, 0);
            if (at >= 0) {
                return at;
            }
        }
        return -1;
    }

private:
    const std::string& text_;
    std::size_t pos_ = 0;
    std::string line_;
};

// atof: leading blanks skipped, any text after the number ignored, 0 without one.
float numberAt(const char* line, int pos) {
    return static_cast<float>(std::atof(line + pos));
}

// atol, clamped to int so that absurd counts and indices stay representable.
long integerAt(const char* line, int pos) {
    const long v = std::strtol(line + pos, nullptr, 10);
    if (v > INT_MAX) {
        return INT_MAX;
    }
    return v < INT_MIN ? INT_MIN : v;
}

// The three numbers labelled first, second, third in this order after start.
bool readLabelled(const char* line, int start, const char* const (&labels)[3], double (&out)[3],
                  bool integers) {
    int at = start;
    for (int i = 0; i < 3; ++i) {
        at = FindKeyword(line, labels[i], at);
        if (at < 0) {
            return false;
        }
        out[i] = integers ? static_cast<double>(integerAt(line, at)) : numberAt(line, at);
    }
    return true;
}

// A material block: the four lines after its header must carry their keywords.
bool skipMaterialBlock(LineReader& lines) {
    for (const char* key : {"ambient", "diffuse", "specular", "shininess"}) {
        if (!lines.next() || FindKeyword(lines.line(), key, 0) < 0) {
            return false;
        }
    }
    return true;
}

std::array<float, 3> faceNormal(const std::array<float, 3>& a, const std::array<float, 3>& b,
                                const std::array<float, 3>& c) {
    const float u[3] = {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
    const float v[3] = {a[0] - c[0], a[1] - c[1], a[2] - c[2]};
    const float n[3] = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2],
                        u[0] * v[1] - u[1] * v[0]};
    float length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    if (length == 0.0f) {
        length = 0.0001f; // a degenerate face gets the zero normal
    }
    return {n[0] / length, n[1] / length, n[2] / length};
}

// Each corner gets the plain sum of the normals of every face naming its
// vertex (a face naming it twice counts once); the sums grow with the valence
// and are not renormalised, as the meshes were lit that way.
void computeCornerNormals(AscMesh& mesh) {
    std::vector<std::array<double, 3>> sums(mesh.vertices.size(), {0.0, 0.0, 0.0});
    for (std::size_t j = 0; j < mesh.faces.size(); ++j) {
        const auto& f = mesh.faces[j];
        for (int corner = 0; corner < 3; ++corner) {
            const int v = f[corner];
            if ((corner > 0 && v == f[0]) || (corner > 1 && v == f[1])) {
                continue;
            }
            for (int c = 0; c < 3; ++c) {
                sums[v][c] += mesh.faceNormals[j][c];
            }
        }
    }
    mesh.cornerNormals.resize(mesh.faces.size());
    for (std::size_t j = 0; j < mesh.faces.size(); ++j) {
        for (int corner = 0; corner < 3; ++corner) {
            for (int c = 0; c < 3; ++c) {
                mesh.cornerNormals[j][corner * 3 + c] = sums[mesh.faces[j][corner]][c];
            }
        }
    }
}

bool readVertices(LineReader& lines, long count, AscMesh& mesh) {
    static const char* const kLabels[3] = {"X:", "Y:", "Z:"};
    for (long i = 0; i < count; ++i) {
        const std::string label = "Vertex " + std::to_string(i) + ":";
        const int at = lines.seek(label.c_str());
        double xyz[3];
        if (at < 0 || !readLabelled(lines.line(), at, kLabels, xyz, false)) {
            return false;
        }
        // GL's y is the file's Z and GL's z the file's Y.
        mesh.vertices.push_back(
            {static_cast<float>(xyz[0]), static_cast<float>(xyz[2]), static_cast<float>(xyz[1])});
    }
    return true;
}

bool readFaces(LineReader& lines, long count, AscMesh& mesh) {
    static const char* const kLabels[3] = {"A:", "B:", "C:"};
    const long vertexCount = static_cast<long>(mesh.vertices.size());
    for (long j = 0; j < count; ++j) {
        // The search for a face label starts with the current line.
        const std::string label = "Face " + std::to_string(j) + ":";
        int at = FindKeyword(lines.line(), label.c_str(), 0);
        if (at < 0) {
            at = lines.seek(label.c_str());
        }
        double abc[3];
        if (at < 0 || !readLabelled(lines.line(), at, kLabels, abc, true)) {
            return false;
        }
        std::array<int, 3> face;
        for (int c = 0; c < 3; ++c) {
            if (abc[c] < 0 || abc[c] >= vertexCount) {
                return false;
            }
            face[c] = static_cast<int>(abc[c]);
        }
        mesh.faces.push_back(face);
        mesh.faceNormals.push_back(
            faceNormal(mesh.vertices[face[0]], mesh.vertices[face[1]], mesh.vertices[face[2]]));
        // Every face line is closed by a material or smoothing line.
        bool closed = false;
        while (!closed && lines.next()) {
            closed = FindKeyword(lines.line(), "Material:", 0) >= 0 ||
                     FindKeyword(lines.line(), "Smoothing:", 0) >= 0;
        }
        if (!closed) {
            return false;
        }
    }
    return true;
}

// From the "Tri-mesh" line to the closing line of the last face.
bool readMesh(LineReader& lines, AscMesh& mesh) {
    const int vertexLabel = FindKeyword(lines.line(), "Vertices:", 0);
    if (vertexLabel < 0) {
        return false;
    }
    const int faceLabel = FindKeyword(lines.line(), "Faces:", vertexLabel);
    if (faceLabel < 0) {
        return false;
    }
    const long vertexCount = integerAt(lines.line(), vertexLabel);
    const long faceCount = integerAt(lines.line(), faceLabel);
    if (vertexCount <= 0 || faceCount < 0) {
        return false;
    }
    if (!readVertices(lines, vertexCount, mesh)) {
        return false;
    }
    if (!FitToUnitCube(mesh.vertices.data(), static_cast<int>(mesh.vertices.size()))) {
        return false;
    }
    if (!readFaces(lines, faceCount, mesh)) {
        return false;
    }
    computeCornerNormals(mesh);
    return true;
}

} // namespace

int ParseAscText(const std::string& text, const std::function<void(const AscMesh&)>& onMesh) {
    LineReader lines(text);
    bool meshRead = false;
    while (lines.next()) {
        if (FindKeyword(lines.line(), "MaterialEXT:", 0) >= 0) {
            if (!skipMaterialBlock(lines)) {
                return -1;
            }
        } else if (FindKeyword(lines.line(), "Tri-mesh", 0) >= 0) {
            AscMesh mesh;
            if (!readMesh(lines, mesh)) {
                return -1;
            }
            onMesh(mesh);
            meshRead = true;
        }
    }
    return meshRead ? 1 : -1;
}
