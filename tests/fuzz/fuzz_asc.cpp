// Mesh text of any shape must parse without crashing or reading out of bounds.
#include "geometry/asc_mesh.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    ParseAscText(text, [](const AscMesh& mesh) {
        // Every face index handed on must name a vertex of its mesh.
        for (const auto& face : mesh.faces) {
            for (int v : face) {
                if (v < 0 || static_cast<std::size_t>(v) >= mesh.vertices.size()) {
                    __builtin_trap();
                }
            }
        }
    });
    return 0;
}
