// hlv-assetgen --out DIR [--only FAMILY]: writes the whole asset pack (or one
// family of it) into DIR.
#include "assetgen.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <exception>
#include <functional>
#include <utility>

int main(int argc, char** argv) {
    const char* out = "hlvd";
    const char* only = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--out") == 0 && i + 1 < argc) {
            out = argv[++i];
        } else if (std::strcmp(argv[i], "--only") == 0 && i + 1 < argc) {
            only = argv[++i];
        } else {
            std::fprintf(stderr, "usage: hlv-assetgen [--out DIR] [--only FAMILY]\n");
            return 2;
        }
    }
    const std::pair<const char*, std::function<void(const assetgen::Pack&)>> families[] = {
        {"meshes", assetgen::generateMeshes},   {"scenes", assetgen::generateScenes},
        {"bitmaps", assetgen::generateBitmaps}, {"textures", assetgen::generateTextures},
        {"cues", assetgen::generateCues},       {"music", assetgen::generateMusic},
    };
    bool matched = false;
    try {
        const assetgen::Pack pack(out);
        for (const auto& [name, generate] : families) {
            if (only != nullptr && std::strcmp(only, name) != 0) {
                continue;
            }
            matched = true;
            const auto start = std::chrono::steady_clock::now();
            generate(pack);
            const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
            std::printf("assetgen: %-8s %6.2f s\n", name, took.count());
            std::fflush(stdout);
        }
        if (!matched) {
            std::fprintf(stderr, "assetgen: no asset family named %s\n", only);
            return 2;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "assetgen: %s\n", e.what());
        return 1;
    }
    return 0;
}
