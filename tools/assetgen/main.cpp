// hlv-assetgen --out DIR: writes the whole asset pack into DIR.
#include "assetgen.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <exception>
#include <functional>
#include <utility>

int main(int argc, char** argv) {
    const char* out = "hlvd";
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--out") == 0 && i + 1 < argc) {
            out = argv[++i];
        } else {
            std::fprintf(stderr, "usage: hlv-assetgen [--out DIR]\n");
            return 2;
        }
    }
    const std::pair<const char*, std::function<void(const assetgen::Pack&)>> families[] = {
        {"meshes", assetgen::generateMeshes},   {"scenes", assetgen::generateScenes},
        {"bitmaps", assetgen::generateBitmaps}, {"textures", assetgen::generateTextures},
        {"cues", assetgen::generateCues},       {"music", assetgen::generateMusic},
    };
    try {
        const assetgen::Pack pack(out);
        for (const auto& [name, generate] : families) {
            const auto start = std::chrono::steady_clock::now();
            generate(pack);
            const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
            std::printf("assetgen: %-8s %6.2f s\n", name, took.count());
            std::fflush(stdout);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "assetgen: %s\n", e.what());
        return 1;
    }
    return 0;
}
