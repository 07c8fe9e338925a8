#include "app/window.h"

#include <GL/gl.h>

#include <cstdio>
#include <cstring>

#include "platform/platform.h"

namespace shell {

bool fullscreenFlag = true;

namespace {

// Creation failures end the program with this code; the viewer declining
// windowed mode is a choice, not a failure, and ends it with 0.
constexpr int kCreationFailed = 2;
int failureExitCode = 0;

using platform::BoxIcon;

bool creationFailed(const char* message) {
    closeWindow();
    platform::showMessage(message, "ERROR", BoxIcon::Exclamation);
    if (!platform::lastError().empty()) {
        std::fprintf(stderr, "hlv: %s\n", platform::lastError().c_str());
    }
    failureExitCode = kCreationFailed;
    return false;
}

// Fullscreen needs no mode change here (desktop fullscreen); when it is not
// available the viewer chooses between a window and no program at all.
bool acceptWindowedMode() {
    if (platform::askYesNo(
            "The Requested Fullscreen Mode Is Not Supported By\nYour Video Card. Use Windowed "
            "Mode Instead?",
            "Tamsk GL", BoxIcon::Exclamation)) {
        fullscreenFlag = false;
        return true;
    }
    platform::showMessage("Program Will Now Close.", "ERROR", BoxIcon::Stop);
    failureExitCode = 0;
    return false;
}

enum class Creation { Created, Declined, Failed };

Creation createTheWindow(const char* title, int width, int height) {
    if (platform::createWindow(title, width, height, fullscreenFlag)) {
        return Creation::Created;
    }
    if (!fullscreenFlag) {
        return Creation::Failed;
    }
    // A desktop that reports fullscreen but cannot give it: same choice.
    std::fprintf(stderr, "hlv: %s\n", platform::lastError().c_str());
    if (!acceptWindowedMode()) {
        return Creation::Declined;
    }
    return platform::createWindow(title, width, height, false) ? Creation::Created
                                                               : Creation::Failed;
}

} // namespace

std::string joinCommandLine(int argc, char** argv) {
    std::string line;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) {
            line += ' ';
        }
        line += argv[i];
    }
    return line;
}

bool commandLineTurnsMusicOff(const char* commandLine) {
    return commandLine != nullptr && std::strlen(commandLine) >= 2 &&
           (commandLine[1] == 'n' || commandLine[1] == 'N');
}

int exitCodeAfterFailure() {
    return failureExitCode;
}

bool openWindow(const char* title, int width, int height, int /*colourBits*/, bool fullscreen) {
    fullscreenFlag = fullscreen;
    failureExitCode = 0;
    if (!platform::startVideo()) {
        return creationFailed("Failed To Register The Window Class.");
    }
    if (fullscreenFlag && !platform::fullscreenAvailable()) {
        std::fprintf(stderr, "hlv: %s\n", platform::lastError().c_str());
        if (!acceptWindowedMode()) {
            platform::stopVideo();
            return false;
        }
    }
    if (!platform::chooseSurfaceFormat()) {
        return creationFailed("Can't Find A Suitable PixelFormat.");
    }
    switch (createTheWindow(title, width, height)) {
    case Creation::Created:
        break;
    case Creation::Declined:
        closeWindow();
        return false;
    case Creation::Failed:
        return creationFailed("Window Creation Error.");
    }
    if (!platform::createWindowContext()) {
        return creationFailed("Can't Create A GL Rendering Context.");
    }
    if (!platform::activateWindowContext()) {
        return creationFailed("Can't Activate The GL Rendering Context.");
    }
    platform::showWindow();
    // The picture the production draws is always 800 x 600, whatever the
    // real window's size: that is the size the viewport follows.
    resizeView(platform::kPictureWidth, platform::kPictureHeight);
    glViewport(0, 0, platform::kPictureWidth, platform::kPictureHeight);
    return true;
}

void closeWindow() {
    if (fullscreenFlag) {
        platform::leaveFullscreen();
    }
    if (platform::windowContextExists()) {
        if (!platform::releaseContext()) {
            platform::showMessage("Release Of DC And RC Failed.", "SHUTDOWN ERROR",
                                  BoxIcon::Information);
        }
        if (!platform::deleteWindowContext()) {
            platform::showMessage("Release Rendering Context Failed.", "SHUTDOWN ERROR",
                                  BoxIcon::Information);
        }
    }
    if (platform::windowExists() && !platform::destroyWindow()) {
        platform::showMessage("Could Not Release hWnd.", "SHUTDOWN ERROR", BoxIcon::Information);
    }
    platform::stopVideo();
}

void resizeView(int width, int height) {
    if (height == 0) {
        height = 1;
    }
    glViewport(0, 0, width, height);
    glLoadIdentity();
}

} // namespace shell
