#include "loading/loading_sequence.h"

#include <GL/gl.h>

#include <chrono>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>

#include "anim/music_cue_table.h"
#include "geometry/asc_mesh.h"
#include "geometry/scene.h"
#include "gfx/offscreen_buffer.h"
#include "gfx/texture_table.h"
#include "loading/texture_upload.h"
#include "platform/asset_path.h"
#include "platform/platform.h"
#include "segments/loading_screen.h"
#include "segments/segments.h"
#include "timeline/timeline.h"

namespace {

LoadAction T(int id, const char* file) {
    return {LoadKind::Texture, id, file};
}
LoadAction TA(int id, const char* file, const char* alpha) {
    return {LoadKind::TextureWithAlpha, id, file, alpha};
}
LoadAction L(int id, const char* file, double scale) {
    return {LoadKind::Mesh, id, file, nullptr, scale};
}
LoadAction LP(int id, const char* file, double scale) {
    return {LoadKind::MeshInOwnMatrix, id, file, nullptr, scale};
}
LoadAction S(int id, const char* file) {
    return {LoadKind::Scene, id, file};
}
LoadAction segment(int k) {
    return {LoadKind::SegmentInit, k};
}
LoadAction layer(segments::Layer which) {
    return {LoadKind::LayerInit, static_cast<int>(which)};
}

using segments::Layer;
constexpr const char* kCausticAlpha = "hlvd\\causta.png";

std::vector<LoadingStep> buildLoadingSteps() {
    return {
        {{T(1990, "hlvd\\256c.png"),
          T(1991, "hlvd\\256c.png"),
          T(1992, "hlvd\\256c.png"),
          T(1993, "hlvd\\256c.png"),
          T(1901, "hlvd\\envmap55.png"),
          T(1902, "hlvd\\overlay.png"),
          T(1903, "hlvd\\overlay2.png"),
          L(1901, "hlvd\\dom2.asc", 1),
          L(1904, "hlvd\\plane.asc", 68.1),
          {LoadKind::LoadingScreenPaths},
          {LoadKind::LoadingScreenView}},
         0},
        {{layer(Layer::D), layer(Layer::B), layer(Layer::C), layer(Layer::A)}, 2},
        // Segment #1 has no init; its place between the two meshes stays empty.
        {{L(101, "hlvd\\star2.asc", 1), L(1, "hlvd\\funky.asc", 13.2)}, 4},
        {{T(1, "hlvd\\superfilm3.png")}, 8},
        {{T(2, "hlvd\\speck_vertical.png"), T(3, "hlvd\\specks.png")}, 12},
        {{T(4, "hlvd\\presents.png")}, 13},
        {{T(5, "hlvd\\vane.png")}, 14},
        {{T(6, "hlvd\\vane2.png")}, 15},
        {{T(110, "hlvd\\white.png")}, 16},
        {{T(111, "hlvd\\white.png")}, 18},
        {{T(116, "hlvd\\blend5.png")}, 20},
        {{T(1083, "hlvd\\envmap2.png")}, 21},
        {{T(1084, "hlvd\\starburst.png"), T(1110, "hlvd\\256c.png"), T(1111, "hlvd\\256c.png")},
         25},
        {{T(1102, "hlvd\\Lingradient.png"), T(1103, "hlvd\\spherical.png")}, 28},
        {{L(1001, "hlvd\\resoil.asc", 1)}, 32},
        {{L(1002, "hlvd\\round3.asc", 1), L(1003, "hlvd\\torus2.asc", 1)}, 36},
        {{segment(2), L(3001, "hlvd\\simpleplane.asc", 7.1), L(3002, "hlvd\\sphereone.asc", 1.1),
          L(3007, "hlvd\\geo1.asc", 1.1)},
         44},
        {{L(2004, "hlvd\\butterfly.asc", 1), L(2001, "hlvd\\round1.asc", 11.2)}, 48},
        {{T(3080, "hlvd\\carpet22.png")}, 49},
        {{T(3081, "hlvd\\starburst.png")}, 52},
        {{T(3082, "hlvd\\blend44.png")}, 53},
        {{T(3083, "hlvd\\theeye.png")}, 55},
        {{T(3084, "hlvd\\blob.png")}, 56},
        {{T(3085, "hlvd\\blob24.png"), T(3110, "hlvd\\512c.png"), T(3111, "hlvd\\512c.png")}, 60},
        {{T(4285, "hlvd\\starburst.png")}, 62},
        {{T(4300, "hlvd\\512c.png")}, 64},
        {{T(4280, "hlvd\\256c.png"), T(4281, "hlvd\\256c.png"), T(4282, "hlvd\\256c.png")}, 69},
        {{T(4283, "hlvd\\raytracer.png"), T(4284, "hlvd\\envmap5.png")}, 72},
        {{T(4003, "hlvd\\blob22d.png")}, 74},
        {{T(4004, "hlvd\\graytext4.png"), T(4002, "hlvd\\plane_alpha.png")}, 77},
        {{segment(3), segment(4)}, 85},
        {{T(5083, "hlvd\\blob22b.png")}, 86},
        {{T(5110, "hlvd\\512c.png"), T(5111, "hlvd\\512c.png")}, 88},
        {{T(5118, "hlvd\\blend45.png"), T(5101, "hlvd\\vase_floor2.png")}, 94},
        {{T(5102, "hlvd\\rain.png"), T(5103, "hlvd\\starburst2.png")}, 96},
        {{L(5001, "hlvd\\vase.asc", 1), L(5002, "hlvd\\vase2.asc", 1)}, 105},
        {{T(6090, "hlvd\\goldfish2.png")}, 108},
        {{T(6091, "hlvd\\moon1.png")}, 112},
        {{T(6092, "hlvd\\moon2.png")}, 114},
        {{T(6093, "hlvd\\moon3.png")}, 116},
        {{T(6094, "hlvd\\moon4.png")}, 118},
        {{T(6095, "hlvd\\moon5.png")}, 122},
        {{T(6096, "hlvd\\fishtent.png")}, 124},
        {{T(6097, "hlvd\\starburst2.png"), T(6100, "hlvd\\blob41.png"),
          T(6101, "hlvd\\blob41b.png")},
         130},
        {{T(6102, "hlvd\\tvfilter4.png"), T(6103, "hlvd\\512c2.png"),
          L(6001, "hlvd\\sphere4.asc", 1.1), L(6002, "hlvd\\sphere3.asc", 1.1)},
         135},
        {{segment(5)}, 137},
        {{{LoadKind::Music}}, 180},
        {{T(7202, "hlvd\\blob2.png"), T(7280, "hlvd\\256c.png"), T(7281, "hlvd\\256c.png")}, 183},
        {{T(7301, "hlvd\\floor2.png")}, 185},
        {{T(7302, "hlvd\\one_test.png"), T(7303, "hlvd\\caust00.png"),
          T(7304, "hlvd\\bluesea2.png"), T(7305, "hlvd\\one_test2.png")},
         195},
        {{T(7306, "hlvd\\one_test3.png"), T(7307, "hlvd\\wood12.png"),
          T(7308, "hlvd\\one_test5.png")},
         205},
        {{T(7151, "hlvd\\512c2.png"), T(7152, "hlvd\\512c2.png")}, 207},
        {{T(7161, "hlvd\\blob22e.png")}, 210},
        {{T(7310, "hlvd\\child_face.png"), T(7311, "hlvd\\child_face2.png")}, 218},
        {{T(7180, "hlvd\\reflection2.png"), T(7181, "hlvd\\reflection2.png")}, 222},
        {{TA(7101, "hlvd\\caust00.png", kCausticAlpha),
          TA(7103, "hlvd\\caust02.png", kCausticAlpha),
          TA(7105, "hlvd\\caust04.png", kCausticAlpha),
          TA(7107, "hlvd\\caust06.png", kCausticAlpha),
          TA(7109, "hlvd\\caust08.png", kCausticAlpha)},
         230},
        {{TA(7111, "hlvd\\caust10.png", kCausticAlpha),
          TA(7113, "hlvd\\caust12.png", kCausticAlpha),
          TA(7115, "hlvd\\caust14.png", kCausticAlpha),
          TA(7117, "hlvd\\caust16.png", kCausticAlpha)},
         235},
        {{TA(7119, "hlvd\\caust18.png", kCausticAlpha),
          TA(7121, "hlvd\\caust20.png", kCausticAlpha)},
         237},
        {{TA(7123, "hlvd\\caust22.png", kCausticAlpha),
          TA(7125, "hlvd\\caust24.png", kCausticAlpha),
          TA(7127, "hlvd\\caust26.png", kCausticAlpha)},
         240},
        {{TA(7129, "hlvd\\caust28.png", kCausticAlpha),
          TA(7131, "hlvd\\caust30.png", kCausticAlpha)},
         244},
        {{L(7205, "hlvd\\sphereone.asc", 1), S(7201, "hlvd\\scene.sce")}, 265},
        {{S(7202, "hlvd\\scene2.sce")}, 285},
        {{S(7203, "hlvd\\scene4.sce")}, 295},
        {{LP(7204, "hlvd\\child3.asc", 1), L(7103, "hlvd\\frame.asc", 1.1)}, 305},
        {{segment(6), segment(7)}, 310},
        {{TA(8001, "hlvd\\fullalphawater.png", "hlvd\\gradient.png"), T(8002, "hlvd\\sky2.png")},
         317},
        {{T(8003, "hlvd\\blob2.png"), T(8004, "hlvd\\sky4.png")}, 324},
        {{T(8005, "hlvd\\nebula.png"), T(8006, "hlvd\\deepspace.png"),
          T(8007, "hlvd\\starburst.png")},
         329},
        {{T(8008, "hlvd\\blob8.png"), T(8009, "hlvd\\caust.png"), T(8010, "hlvd\\gelfishtex0.png")},
         335},
        {{T(8011, "hlvd\\caust2.png"), T(8012, "hlvd\\medusa.png")}, 339},
        {{L(8001, "hlvd\\resmain.asc", 4.9), L(8002, "hlvd\\geo1.asc", 34.6)}, 350},
        {{L(8003, "hlvd\\gelfish2.asc", 0.7)}, 354},
        {{segment(8), L(9001, "hlvd\\twirl.asc", 4.2)}, 362},
        {{T(9007, "hlvd\\starburst.png"), T(9008, "hlvd\\starburst2.png"),
          T(9009, "hlvd\\caust.png")},
         370},
        {{T(9081, "hlvd\\blob22.png"), T(9110, "hlvd\\512c.png"), T(9111, "hlvd\\512c.png")}, 376},
        {{T(9116, "hlvd\\blend1.png"), T(9117, "hlvd\\blend2.png"), T(9118, "hlvd\\blend3.png")},
         382},
        {{T(9090, "hlvd\\vertical.png")}, 383},
        {{T(9101, "hlvd\\greetings.png")}, 385},
        {{T(9102, "hlvd\\greetings2.png")}, 387},
        {{T(9103, "hlvd\\greetings3.png")}, 389},
        {{T(9130, "hlvd\\cred1.png")}, 392},
        {{T(9131, "hlvd\\cred3.png")}, 400},
        {{T(9132, "hlvd\\cred2.png")}, 403},
        {{T(9133, "hlvd\\cred4.png")}, 406},
        {{T(9134, "hlvd\\cred5.png")}, 409},
        {{L(9003, "hlvd\\gelfish2.asc", 0.7)}, 414},
        {{{LoadKind::CueTable, 0, kCueFile}}, -1},
    };
}

LoadingTimes times;
bool screenDrawn = true;
std::function<void(double)> progressObserver;
platform::SoundHandle musicHandle = -1;

double millisecondsSince(std::chrono::steady_clock::time_point begin) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begin)
        .count();
}

// The loaders say nothing about a file they could not read; the list then
// stays empty, which the production survives, so only a warning is given.
void warnUnreadMesh(int result, const LoadAction& action) {
    if (result != 1) {
        std::fprintf(stderr, "hlv: %s could not be read as a mesh; display list %d stays empty\n",
                     assetPath(action.file).c_str(), action.id);
    }
}

void compileMesh(const LoadAction& action, bool ownMatrix) {
    glNewList(static_cast<GLuint>(action.id), GL_COMPILE);
    if (ownMatrix) {
        glPushMatrix();
    }
    const int result = LoadAscMesh(action.scale, action.file);
    if (ownMatrix) {
        glPopMatrix();
    }
    glEndList();
    warnUnreadMesh(result, action);
}

void compileScene(const LoadAction& action) {
    if (!std::filesystem::exists(assetPath(action.file))) {
        std::fprintf(stderr, "hlv: %s is missing; display list %d stays empty\n",
                     assetPath(action.file).c_str(), action.id);
    }
    glNewList(static_cast<GLuint>(action.id), GL_COMPILE);
    glPushMatrix();
    glScalef(1.0f, 1.0f, 1.0f);
    LoadScene(kSceneTextureBase, action.file, textureTable);
    glPopMatrix();
    glEndList();
}

void runAction(const LoadAction& action) {
    switch (action.kind) {
    case LoadKind::Texture:
        uploadTexture(action.file, action.id);
        break;
    case LoadKind::TextureWithAlpha:
        uploadTextureWithAlpha(action.file, action.secondFile, action.id);
        break;
    case LoadKind::Mesh:
        compileMesh(action, false);
        break;
    case LoadKind::MeshInOwnMatrix:
        compileMesh(action, true);
        break;
    case LoadKind::Scene:
        compileScene(action);
        break;
    case LoadKind::LoadingScreenPaths:
        initLoadingScreenPaths(loadingScreen);
        break;
    case LoadKind::LoadingScreenView:
        initLoadingScreenView(loadingScreen);
        break;
    case LoadKind::SegmentInit:
        segments::initSegment(action.id);
        break;
    case LoadKind::LayerInit:
        segments::initLayer(static_cast<segments::Layer>(action.id));
        break;
    case LoadKind::Music:
        musicHandle = loadMusic();
        break;
    case LoadKind::CueTable:
        musicCueTable.load(action.file);
        break;
    }
}

} // namespace

const std::vector<LoadingStep>& loadingSteps() {
    static const std::vector<LoadingStep> steps = buildLoadingSteps();
    return steps;
}

void setLoadingScreenDrawn(bool drawn) {
    screenDrawn = drawn;
}
void setProgressObserver(std::function<void(double)> observer) {
    progressObserver = std::move(observer);
}
const LoadingTimes& loadingTimes() {
    return times;
}

void showProgress(double progress) {
    if (progressObserver) {
        progressObserver(progress);
    }
    if (platform::escapePressed()) {
        platform::endProcess(0);
    }
    if (!screenDrawn) {
        return;
    }
    const auto begin = std::chrono::steady_clock::now();
    double t = progress * 0.05;
    drawLoadingScreen(loadingScreen, &t, textureTable, offscreenBuffer);
    const auto drawn = std::chrono::steady_clock::now();
    platform::swapWindow();
    times.swap += millisecondsSince(drawn);
    times.screen += millisecondsSince(begin);
}

void runLoadingStep(const LoadingStep& step) {
    for (const LoadAction& action : step.actions) {
        runAction(action);
    }
}

int loadMusic() {
    if (!timeline::musicFlag) {
        return -1;
    }
    const auto begin = std::chrono::steady_clock::now();
    if (!platform::soundInit()) {
        platform::endProcess(1);
    }
    const int handle = platform::soundLoad(assetPath(kMusicFile).c_str());
    times.music += millisecondsSince(begin);
    return handle;
}

void stopLoading(const std::string& text) {
    platform::showMessage(text.c_str(), "ERROR", platform::BoxIcon::Stop);
    platform::endProcess(kLoadingFailureExitCode);
}

std::string missingAssetFolderText() {
    std::error_code error;
    if (std::filesystem::is_directory(kAssetFolder, error)) {
        return {};
    }
    const std::string here = std::filesystem::current_path(error).string();
    return "The asset folder hlvd/ is missing in " + here +
           ".\nThe pack is generated, not shipped: build it with\n"
           "  cmake --build <build folder> --target assets   (or: make assets)\n"
           "and start the program from the build folder, which then holds hlvd/.";
}

void runLoadingSequence() {
    const auto begin = std::chrono::steady_clock::now();
    times = LoadingTimes{};
    const double decodeBefore = textureDecodeMilliseconds();
    if (const std::string text = missingAssetFolderText(); !text.empty()) {
        stopLoading(text);
    }
    setUpOffscreenBuffer(offscreenBuffer);
    timeline::resetTimeline();
    const std::vector<LoadingStep>& steps = loadingSteps();
    for (std::size_t i = 0; i < steps.size(); ++i) {
        try {
            runLoadingStep(steps[i]);
        } catch (const TextureLoadError& error) {
            stopLoading(error.what());
        } catch (const std::exception& error) {
            // Anything else an init routine or loader raises stops just as orderly.
            stopLoading("Loading stopped in step " + std::to_string(i + 1) + ": " + error.what());
        }
        if (steps[i].progress >= 0.0) {
            showProgress(steps[i].progress);
        }
    }
    timeline::startProduction(musicHandle);
    times.decode = textureDecodeMilliseconds() - decodeBefore;
    times.total = millisecondsSince(begin);
}
