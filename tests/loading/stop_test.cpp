// How loading ends early: a texture that cannot be decoded, no asset folder,
// Escape. Each case runs this program again as a child in its own folder.
#include <SDL.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "app/window.h"
#include "loading/load_assets.h"
#include "loading/loading_sequence.h"
#include "loading_support.h"
#include "platform/platform.h"
#include "timeline/timeline.h"

namespace fs = std::filesystem;
using namespace loading_test;

namespace {

platform::VirtualClock childClock;

// In a child: report every progress step, note a music start, and load.
void loadInChild(double escapeAt) {
    platform::useVirtualClock(&childClock);
    timeline::musicFlag = true;
    timeline::Hooks hooks = timeline::defaultHooks();
    hooks.playMusic = [](int) { std::printf("music started\n"); };
    timeline::setHooks(hooks);
    setProgressObserver([escapeAt](double progress) {
        std::printf("progress %g\n", progress);
        if (progress == escapeAt) {
            SDL_Event event{};
            event.type = SDL_KEYDOWN;
            event.key.keysym.sym = SDLK_ESCAPE;
            event.key.keysym.scancode = SDL_SCANCODE_ESCAPE;
            SDL_PushEvent(&event);
            std::printf("Escape pushed\n");
        }
        std::fflush(stdout);
    });
    if (shell::openWindow("HLV.orv", 800, 600, 32, false)) {
        loadAssets();
    }
    std::printf("loading returned\n");
    std::fflush(stdout);
}

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// The child's entry point, registered only inside a child so that an
// ordinary run neither lists it nor reports it as skipped.
class LoadingChild : public ::testing::Test {
public:
    void TestBody() override {
        const char* escapeAt = std::getenv("HLV_ESCAPE_AT");
        loadInChild(escapeAt != nullptr ? std::atof(escapeAt) : -1.0);
    }
};

[[maybe_unused]] const bool childRegistered = [] {
    if (isChild("Load")) {
        ::testing::RegisterTest("LoadingChild", "Load", nullptr, nullptr, __FILE__, __LINE__,
                                []() -> ::testing::Test* { return new LoadingChild; });
    }
    return true;
}();

} // namespace

TEST(LoadingStop, MissingTextureStopsNamingTheFile) {
    const std::string folder = makeTempFolder("hlv-missing");
    linkPackInto(folder, "blob.png");
    const ChildResult result = runChild("Load", folder);
    EXPECT_EQ(result.exitCode, kLoadingFailureExitCode) << result.output;
    EXPECT_TRUE(contains(result.output, "ERROR: Cannot load the texture hlvd/blob.png"))
        << result.output;
    // Step 23 loads it: the step before was the last one shown.
    EXPECT_TRUE(contains(result.output, "progress 55\n")) << result.output;
    EXPECT_FALSE(contains(result.output, "progress 56\n")) << result.output;
    EXPECT_FALSE(contains(result.output, "loading returned")) << result.output;
    fs::remove_all(folder);
}

TEST(LoadingStop, DamagedTextureStopsNamingTheFile) {
    const std::string folder = makeTempFolder("hlv-damaged");
    linkPackInto(folder, "causta.png");
    // Half a file: the decoder runs out of data inside the image.
    std::ifstream in(std::string(HLV_ASSET_DIR) + "/causta.png", std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::ofstream(folder + "/hlvd/causta.png", std::ios::binary)
        .write(bytes.data(), std::streamsize(bytes.size() / 2));
    const ChildResult result = runChild("Load", folder);
    EXPECT_EQ(result.exitCode, kLoadingFailureExitCode) << result.output;
    EXPECT_TRUE(contains(result.output, "ERROR: Cannot load the texture hlvd/causta.png"))
        << result.output;
    EXPECT_FALSE(contains(result.output, "progress 230\n")) << result.output;
    fs::remove_all(folder);
}

TEST(LoadingStop, MissingAssetFolderIsExplained) {
    const std::string folder = makeTempFolder("hlv-empty");
    const ChildResult result = runChild("Load", folder);
    EXPECT_EQ(result.exitCode, kLoadingFailureExitCode) << result.output;
    EXPECT_TRUE(contains(result.output, "asset folder hlvd/ is missing")) << result.output;
    EXPECT_TRUE(contains(result.output, "--target assets")) << result.output;
    EXPECT_FALSE(contains(result.output, "progress")) << result.output;
    fs::remove_all(folder);
}

TEST(LoadingStop, EscapeEndsWithZeroBeforeTheMusicStarts) {
    const std::string folder = makeTempFolder("hlv-escape");
    linkPackInto(folder, "");
    // After the music step: the music is loaded but must not play.
    setenv("HLV_ESCAPE_AT", "180", 1);
    const ChildResult result = runChild("Load", folder);
    unsetenv("HLV_ESCAPE_AT");
    EXPECT_EQ(result.exitCode, 0) << result.output;
    EXPECT_TRUE(contains(result.output, "Escape pushed")) << result.output;
    EXPECT_FALSE(contains(result.output, "progress 183\n")) << result.output;
    EXPECT_FALSE(contains(result.output, "music started")) << result.output;
    EXPECT_FALSE(contains(result.output, "loading returned")) << result.output;
    fs::remove_all(folder);
}
