#include "loading/texture_table.h"

TextureTable textureTable{};
