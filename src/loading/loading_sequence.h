// The fixed loading list: what each step loads or initialises, in order, and
// the progress value the loading screen shows after it.
#pragma once

#include <functional>
#include <string>
#include <vector>

enum class LoadKind {
    Texture,          // id = file
    TextureWithAlpha, // id = file + alpha file
    Mesh,             // list id = mesh file x scale
    MeshInOwnMatrix,  // as Mesh, enclosed in a push and pop inside the list
    Scene,            // list id = scene file, textures relative to 7300
    LoadingScreenPaths,
    LoadingScreenView,
    SegmentInit, // id = Segment number
    LayerInit,   // id = segments::Layer
    Music,       // sound library and music file, only with music on
    CueTable,    // the music cue table from file
};

struct LoadAction {
    LoadKind kind;
    int id = 0;
    const char* file = nullptr;
    const char* secondFile = nullptr; // the alpha picture
    double scale = 1.0;
};

struct LoadingStep {
    std::vector<LoadAction> actions;
    double progress; // shown after the step; negative: the last step shows none
};

inline constexpr int kSceneTextureBase = 7300;
inline constexpr const char* kAssetFolder = "hlvd";
inline constexpr const char* kMusicFile = "hlvd\\Corvanth.mp3";
inline constexpr const char* kCueFile = "hlvd\\musicinfo2.txt";

// Sets up the off-screen buffer, resets the Timeline, runs the 87 steps with
// a loading-screen frame after each, then starts Segment #1, the music and the
// clocks. A texture that cannot be decoded stops the program in order.
void runLoadingSequence();

// The 87 steps in loading order.
const std::vector<LoadingStep>& loadingSteps();

// Escape test (ends the program with code 0), one loading-screen frame at
// t = progress x 0.05, and the buffer swap.
void showProgress(double progress);

// Runs one step's actions in order. Raises TextureLoadError for a texture
// that cannot be decoded.
void runLoadingStep(const LoadingStep& step);

// The sound library and the music, when the music flag is set. Returns the
// music handle (-1 without music); a failed sound start ends the program
// with code 1.
int loadMusic();

// Shows "ERROR" with the text (also on stderr), tears the window down and
// ends the program with a non-zero code.
[[noreturn]] void stopLoading(const std::string& text);
inline constexpr int kLoadingFailureExitCode = 2;

// Explains a missing asset folder, empty when it is there.
std::string missingAssetFolderText();

// Where the loading time goes, in milliseconds, for the benchmark.
struct LoadingTimes {
    double total = 0.0;
    double decode = 0.0; // PNG decoding
    double screen = 0.0; // loading-screen frames and swaps
    double swap = 0.0;   // the swaps alone
    double music = 0.0;  // sound start and the start of the music decode
};
const LoadingTimes& loadingTimes();

// Without the loading screen each step only tests Escape (for measuring the
// loading itself). Drawn by default.
void setLoadingScreenDrawn(bool drawn);

// Called with each progress value before its Escape test (tests step in here).
void setProgressObserver(std::function<void(double)> observer);
