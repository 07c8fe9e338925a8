// The texture families of the asset pack. Each family lists its files with the
// function that paints each one; textures.cpp writes them all.
#pragma once

#include "image.h"

#include <functional>
#include <string>
#include <vector>

namespace assetgen {

struct TextureRecipe {
    std::string file;
    std::function<Image()> paint;
};

std::vector<TextureRecipe> glowTextures();      // additive sprites, glows, scratches
std::vector<TextureRecipe> causticTextures();   // caustic frames and water patterns
std::vector<TextureRecipe> sphereMapTextures(); // environment balls
std::vector<TextureRecipe> surfaceTextures();   // tiling surfaces, overlays, targets
std::vector<TextureRecipe> pictureTextures();   // panorama, paintings, faces
std::vector<TextureRecipe> textTextures();      // title, caption, credits, greetings

// Distance from the texture centre in units of the half size: 0 at the
// centre, 1 at the middle of each edge.
float centreDistance(float s, float t);
// A window that is 1 inside radius `inner` and falls smoothly to exactly 0 at
// radius 1, so additive sprites end in pure black before the quad's border.
float spriteWindow(float r, float inner = 0.6f);

} // namespace assetgen
