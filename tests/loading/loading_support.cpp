#include "loading_support.h"

#include <png.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <stdexcept>

#include <gtest/gtest.h>

#include "app/window.h"
#include "loading/load_assets.h"
#include "platform/platform.h"
#include "timeline/timeline.h"

namespace fs = std::filesystem;

namespace loading_test {
namespace {

int musicStartCount = 0;
int musicHandle = -2;
platform::VirtualClock clock;
TextureTable tableAfterLoading{};

} // namespace

bool ensurePackLoaded() {
    // Loading runs once per process (it opens the window), so a failure is
    // remembered rather than retried.
    static std::optional<bool> loaded;
    if (loaded.has_value()) {
        return *loaded;
    }
    fs::current_path(HLV_BUILD_DIR);
    platform::useVirtualClock(&clock);
    timeline::musicFlag = true;
    timeline::Hooks hooks = timeline::defaultHooks();
    hooks.playMusic = [](int handle) {
        ++musicStartCount;
        musicHandle = handle;
    };
    timeline::setHooks(hooks);
    loaded = shell::openWindow("HLV.orv", 800, 600, 32, false);
    if (*loaded) {
        loadAssets();
        tableAfterLoading = textureTable;
    }
    return *loaded;
}

const TextureTable& textureTableAfterLoading() {
    return tableAfterLoading;
}

int musicStarts() {
    return musicStartCount;
}
int lastMusicHandle() {
    return musicHandle;
}

Picture readPicture() {
    Picture picture;
    picture.width = platform::kPictureWidth;
    picture.height = platform::kPictureHeight;
    platform::readPicture(picture.rgb);
    return picture;
}

void writePng(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rows,
              int colourType, int bitDepth, const std::vector<std::uint8_t>& palette) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        throw std::runtime_error("cannot write " + path);
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_init_io(png, file);
    png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), bitDepth, colourType,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!palette.empty()) {
        png_set_PLTE(png, info, reinterpret_cast<png_const_colorp>(palette.data()),
                     int(palette.size() / 3));
    }
    png_write_info(png, info);
    const std::size_t stride = rows.size() / std::size_t(height);
    for (int y = 0; y < height; ++y) {
        png_write_row(png, rows.data() + stride * std::size_t(y));
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
}

void savePicture(const Picture& picture, const std::string& path) {
    // PNG rows run top-down, the picture's bottom-up.
    const std::size_t stride = 3 * std::size_t(picture.width);
    std::vector<std::uint8_t> rows(picture.rgb.size());
    for (int y = 0; y < picture.height; ++y) {
        std::copy_n(picture.rgb.data() + stride * std::size_t(picture.height - 1 - y), stride,
                    rows.data() + stride * std::size_t(y));
    }
    writePng(path, picture.width, picture.height, rows, PNG_COLOR_TYPE_RGB, 8);
}

bool isChild(const std::string& name) {
    const char* child = std::getenv("HLV_LOADING_CHILD");
    return child != nullptr && name == child;
}

ChildResult runChild(const std::string& name, const std::string& folder) {
    const std::string self = fs::read_symlink("/proc/self/exe").string();
    const std::string command = "cd '" + folder + "' && env -u DISPLAY SDL_VIDEODRIVER=offscreen " +
                                "HLV_LOADING_CHILD=" + name + " '" + self +
                                "' --gtest_filter=LoadingChild." + name + " 2>&1";
    ChildResult result;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return result;
    }
    std::array<char, 4096> buffer{};
    std::size_t count = 0;
    while ((count = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) {
        result.output.append(buffer.data(), count);
    }
    const int status = pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

std::string makeTempFolder(const std::string& stem) {
    std::string pattern = (fs::temp_directory_path() / (stem + "-XXXXXX")).string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot make a temporary folder");
    }
    return pattern;
}

void linkPackInto(const std::string& folder, const std::string& omitted) {
    const fs::path pack = fs::path(HLV_ASSET_DIR);
    const fs::path target = fs::path(folder) / "hlvd";
    fs::create_directory(target);
    for (const auto& entry : fs::directory_iterator(pack)) {
        if (entry.path().filename() != omitted) {
            fs::create_symlink(entry.path(), target / entry.path().filename());
        }
    }
}

} // namespace loading_test
