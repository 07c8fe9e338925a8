// The two mesh loaders: one compiles GL geometry, one fills caller arrays.
#include "geometry/asc_mesh.h"

#include "platform/asset_path.h"

#include <GL/gl.h>

namespace {

void emitMesh(const AscMesh& mesh, double scale) {
    glBegin(GL_TRIANGLES);
    for (std::size_t j = 0; j < mesh.faces.size(); ++j) {
        const auto& normals = mesh.cornerNormals[j];
        for (int corner = 0; corner < 3; ++corner) {
            glNormal3f(static_cast<float>(normals[corner * 3]),
                       static_cast<float>(normals[corner * 3 + 1]),
                       static_cast<float>(normals[corner * 3 + 2]));
            const auto& p = mesh.vertices[mesh.faces[j][corner]];
            glVertex3f(static_cast<float>(scale * p[0]), static_cast<float>(scale * p[1]),
                       static_cast<float>(scale * p[2]));
        }
    }
    glEnd();
}

} // namespace

int LoadAscMesh(double scale, const char* path) {
    std::string text;
    if (!readAssetFile(path, text)) {
        return -1;
    }
    return ParseAscText(text, [scale](const AscMesh& mesh) { emitMesh(mesh, scale); });
}

int LoadAscTriangles(const char* path, int& faceCount, float (*positions)[9], float (*normals)[9],
                     int capacity) {
    std::string text;
    if (!readAssetFile(path, text)) {
        return -1;
    }
    bool overflow = false;
    const int result = ParseAscText(text, [&](const AscMesh& mesh) {
        // A mesh that does not fit the caller's arrays fails the load; the
        // parser still hands on later meshes, which are ignored from here on.
        if (overflow || static_cast<long long>(mesh.faces.size()) > capacity) {
            overflow = true;
            return;
        }
        faceCount = static_cast<int>(mesh.faces.size());
        for (std::size_t j = 0; j < mesh.faces.size(); ++j) {
            for (int corner = 0; corner < 3; ++corner) {
                const auto& p = mesh.vertices[mesh.faces[j][corner]];
                for (int c = 0; c < 3; ++c) {
                    positions[j][corner * 3 + c] = p[c];
                    normals[j][corner * 3 + c] =
                        static_cast<float>(mesh.cornerNormals[j][corner * 3 + c]);
                }
            }
        }
    });
    return overflow ? -1 : result;
}
