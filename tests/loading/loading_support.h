// Shared pieces of the loading tests: the whole pack loaded once into a real
// window, PNG files in and out, and runs of this test program as a child.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "gfx/texture_table.h"

namespace loading_test {

// Opens the window in the build folder, which runs the whole loading sequence
// once (virtual clock, music on). Later calls return the first call's result
// at once, so every test that needs the pack fails if it did not load.
[[nodiscard]] bool ensurePackLoaded();
// The texture table as the loading sequence left it, before any test touched
// the live one.
const TextureTable& textureTableAfterLoading();
// How often the Timeline was asked to start the music, and with what.
int musicStarts();
int lastMusicHandle();

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb; // bottom row first
};
Picture readPicture();
void writePng(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rows,
              int colourType, int bitDepth, const std::vector<std::uint8_t>& palette = {});
void savePicture(const Picture& picture, const std::string& path);

struct ChildResult {
    int exitCode = -1;
    std::string output; // stdout and stderr together
};
// Runs the test LoadingChild.<name> of this program in `folder`, without an
// X display (message boxes then return at once).
ChildResult runChild(const std::string& name, const std::string& folder);
// True inside a child started by runChild for `name`.
bool isChild(const std::string& name);

// A fresh folder under the system's temporary folder.
std::string makeTempFolder(const std::string& stem);
// A copy of the generated pack in folder/hlvd (links), without `omitted`.
void linkPackInto(const std::string& folder, const std::string& omitted);

} // namespace loading_test
