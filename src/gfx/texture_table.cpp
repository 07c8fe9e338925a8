#include "gfx/texture_table.h"

TextureTable textureTable{};
