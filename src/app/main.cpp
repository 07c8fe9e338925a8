// hlv: the production. Asks about music, opens the window (which loads the
// assets and starts the clocks), then plays one frame per loop turn until the
// production ends itself, Escape is pressed or the window is closed.
#include "app/window.h"
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
    if (!shell::openWindow("HLV.orv", 800, 600, 32, shell::fullscreenFlag)) {
        return shell::exitCodeAfterFailure();
    }
    while (!platform::pollEvents()) {
        timeline::runFrame();
        platform::swapWindow();
    }
    shell::closeWindow();
    // Not a plain return: the audio and decoder threads may still be running
    // while static objects are destroyed.
    platform::endProcess(0);
}
