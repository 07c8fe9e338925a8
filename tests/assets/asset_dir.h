// Paths into the generated asset pack of this build.
#pragma once

#include <string>

inline std::string packFile(const std::string& name) {
    return std::string(HLV_ASSET_DIR) + "/" + name;
}
