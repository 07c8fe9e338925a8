// The asset pack generator: every file of hlvd/ is made here, deterministically.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace assetgen {

// Where the pack is written; every family writes its files through it so
// progress and failures are reported in one place.
class Pack {
public:
    explicit Pack(std::filesystem::path dir);
    const std::filesystem::path& dir() const { return dir_; }
    // Writes one file of the pack; throws std::runtime_error naming the file.
    void write(std::string_view name, const std::vector<std::uint8_t>& bytes) const;
    void write(std::string_view name, std::string_view text) const;

private:
    std::filesystem::path dir_;
};

// Deterministic random numbers (a fixed-seed xorshift), so every run of the
// generator gives the same bytes.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed ? seed : 0x9E3779B97F4A7C15ull) {}
    std::uint64_t next();
    double uniform();                     // [0, 1)
    double uniform(double lo, double hi); // [lo, hi)

private:
    std::uint64_t state_;
};

// One function per asset family, each in its own source file.
void generateMeshes(const Pack& pack);   // meshes.cpp: the ASC meshes
void generateScenes(const Pack& pack);   // scenes.cpp: the .sce gallery files
void generateBitmaps(const Pack& pack);  // bitmaps.cpp: bsp5.bmp, graytext3.bmp
void generateTextures(const Pack& pack); // textures*.cpp: every PNG
void generateMusic(const Pack& pack);    // music.cpp: Corvanth.mp3
void generateCues(const Pack& pack);     // cues.cpp: musicinfo2.txt

} // namespace assetgen
