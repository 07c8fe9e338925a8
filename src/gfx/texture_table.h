// The process-wide table of GL texture names, indexed by the production's
// fixed texture ids. Slot 0 of GL (the default texture) is what an unloaded
// id binds.
#pragma once

#include <array>
#include <cstdint>

inline constexpr int kTextureTableSize = 10000;
using TextureTable = std::array<std::uint32_t, kTextureTableSize>;

// The one instance, filled by the loading sequence and passed to every render.
extern TextureTable textureTable;
