#include "textures.h"

#include "assetgen.h"
#include "png_writer.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <exception>
#include <mutex>
#include <stdexcept>
#include <thread>

namespace assetgen {

float centreDistance(float s, float t) {
    return 2.0f * std::hypot(s - 0.5f, t - 0.5f);
}

float spriteWindow(float r, float inner) {
    return 1.0f - smoothstep(inner, 0.98f, r);
}

namespace {

std::vector<TextureRecipe> allRecipes() {
    std::vector<TextureRecipe> all;
    for (auto family : {glowTextures, causticTextures, sphereMapTextures, surfaceTextures,
                        pictureTextures, textTextures}) {
        auto recipes = family();
        all.insert(all.end(), recipes.begin(), recipes.end());
    }
    return all;
}

// Every filter type appears across the pack, and every fourth file has its
// image data cut into several IDAT chunks.
PngLayout layoutFor(size_t index) {
    static const RowFilter filters[] = {RowFilter::Adaptive, RowFilter::None,    RowFilter::Sub,
                                        RowFilter::Up,       RowFilter::Average, RowFilter::Paeth};
    PngLayout layout;
    layout.filter = filters[index % std::size(filters)];
    layout.idatChunks = index % 4 == 1 ? static_cast<int>(2 + index % 5) : 1;
    return layout;
}

std::uint64_t seedFor(const std::string& file) {
    std::uint64_t h = 1469598103934665603ull; // FNV-1a
    for (unsigned char c : file) {
        h = (h ^ c) * 1099511628211ull;
    }
    return h;
}

void writeTexture(const Pack& pack, const TextureRecipe& recipe, size_t index) {
    const Image image = recipe.paint();
    const auto rgb = quantise(image, seedFor(recipe.file));
    pack.write(recipe.file, encodePng(rgb, image.width(), image.height(), layoutFor(index)));
}

} // namespace

void generateTextures(const Pack& pack) {
    const auto recipes = allRecipes();
    std::atomic<size_t> next{0};
    std::mutex failureLock;
    std::string failure;
    auto worker = [&] {
        for (size_t i = next++; i < recipes.size(); i = next++) {
            try {
                writeTexture(pack, recipes[i], i);
            } catch (const std::exception& e) {
                const std::lock_guard lock(failureLock);
                failure = recipes[i].file + ": " + e.what();
            }
        }
    };
    // Each file has its own seed, so the bytes do not depend on the thread count.
    const unsigned threads = std::clamp(std::thread::hardware_concurrency(), 1u, 4u);
    std::vector<std::thread> pool;
    for (unsigned i = 1; i < threads; ++i) {
        pool.emplace_back(worker);
    }
    worker();
    for (auto& thread : pool) {
        thread.join();
    }
    if (!failure.empty()) {
        throw std::runtime_error("texture " + failure);
    }
}

} // namespace assetgen
