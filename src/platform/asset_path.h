// Assets are named with a backslash as separator ("hlvd\\file"); on this
// system they are opened with slashes.
#pragma once

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>

inline std::string assetPath(const char* name) {
    std::string path(name ? name : "");
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

// Reads a whole asset file; false when it cannot be opened or read.
inline bool readAssetFile(const char* name, std::string& contents) {
    std::ifstream in(assetPath(name), std::ios::binary);
    if (!in) {
        return false;
    }
    contents.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}
