// Scene files of any content must parse quickly and without crashing.
#include "geometry/scene.h"

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    const SceneFile scene = ParseScene(in);
    // Nothing can be parsed out of fewer bytes than it takes to write it.
    std::size_t vertices = 0;
    for (const SceneObject& object : scene.objects) {
        vertices += object.vertices.size();
    }
    if (scene.objects.size() > size || vertices > 3 * size + 3) {
        __builtin_trap();
    }
    return 0;
}
