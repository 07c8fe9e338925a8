// The generator makes the same bytes every time: run it twice into fresh
// folders and compare every file of the families whose shapes are built
// here (the textures and music have their own checks).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "temp_folder.h"

namespace {

namespace fs = std::filesystem;

std::string readBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

fs::path generate(const std::string& family, const hlv_test::TempFolder& folder,
                  const std::string& name) {
    const fs::path out = folder / name;
    const std::string command = std::string(HLV_BUILD_DIR) + "/hlv-assetgen --out " + out.string() +
                                " --only " + family + " > /dev/null";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return out;
}

TEST(Generator, GivesIdenticalBytesTwice) {
    for (const char* family : {"meshes", "scenes", "bitmaps"}) {
        const hlv_test::TempFolder folder("hlv-assetgen");
        const fs::path first = generate(family, folder, "a");
        const fs::path second = generate(family, folder, "b");
        int files = 0;
        for (const auto& entry : fs::directory_iterator(first)) {
            const fs::path twin = second / entry.path().filename();
            ASSERT_TRUE(fs::exists(twin)) << twin;
            EXPECT_EQ(readBytes(entry.path()), readBytes(twin)) << entry.path().filename();
            ++files;
        }
        EXPECT_GT(files, 0) << family;
        // And the same as the pack this build uses.
        for (const auto& entry : fs::directory_iterator(first)) {
            EXPECT_EQ(readBytes(entry.path()),
                      readBytes(fs::path(HLV_ASSET_DIR) / entry.path().filename()))
                << entry.path().filename() << " differs from the build's pack";
        }
    }
}

TEST(Generator, RejectsAnUnknownFamily) {
    const hlv_test::TempFolder folder("hlv-assetgen");
    const std::string command = std::string(HLV_BUILD_DIR) + "/hlv-assetgen --out " +
                                (folder / "none").string() + " --only nonsense 2> /dev/null";
    EXPECT_NE(std::system(command.c_str()), 0);
}

} // namespace
