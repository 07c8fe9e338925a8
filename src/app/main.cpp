// hlv: the production. Asks about music, opens the window, loads the assets
// (which starts the clocks), then plays one frame per loop turn until the
// production ends itself, Escape is pressed or the window is closed.
#include "app/window.h"
#include "loading/load_assets.h"
#include "platform/platform.h"
#include "timeline/timeline.h"

int main(int argc, char** argv) {
    if (shell::commandLineTurnsMusicOff(shell::joinCommandLine(argc, argv).c_str())) {
        timeline::musicFlag = false;
    }
    // Asked even when the command line has turned music off; Yes never turns it on.
    if (!platform::askYesNo("Music ?", "-= Orv. Halvane =-", platform::BoxIcon::Information)) {
        timeline::musicFlag = false;
    }
    // Every orderly end from inside a frame or the loading (Escape, the end of
    // the production, a failed load) tears the window down first.
    platform::setEndHandler([](int /*code*/) { shell::closeWindow(); });
    if (!shell::openWindow("HLV.orv", 800, 600, 32, shell::fullscreenFlag)) {
        return shell::exitCodeAfterFailure();
    }
    loadAssets();
    while (!platform::pollEvents()) {
        timeline::runFrame();
        platform::swapWindow();
    }
    // Not a plain return: the audio and decoder threads may still be running
    // while static objects are destroyed.
    platform::endProcess(0);
}
