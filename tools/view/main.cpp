// hlv-view: the production live, to be looked at closely. It plays in real
// time with the music from any moment, and holds, steps, loops and seeks on
// the keyboard; see printUsage for the keys. The pictures are the capture
// tool's: the same frames on the same virtual clock.
#include <cstdio>

#include "app/window.h"
#include "loading/load_assets.h"
#include "platform/platform.h"
#include "player.h"
#include "schedule.h"
#include "segments/segments.h"
#include "timeline/timeline.h"

int main(int argc, char** argv) {
    const view::Schedule schedule;
    const double productionSeconds = view::frameMs(schedule.handover(view::kSegments + 1)) / 1000.0;
    std::string error;
    const auto options = view::parseOptions(argc, argv, productionSeconds, error);
    if (!options) {
        std::fprintf(stderr, "hlv-view: %s\n", error.c_str());
        view::printUsage();
        return 2;
    }
    if (options->help) {
        view::printUsage();
        return 0;
    }
    timeline::musicFlag = options->music;
    // The device opens before the virtual clock takes over, and stays silent
    // until the first picture is there.
    if (options->music && !platform::soundInit("`hlv-view --music off`")) {
        return 1;
    }
    platform::soundHold(true);
    static platform::VirtualClock clock;
    platform::useVirtualClock(&clock);
    platform::setEndHandler([](int /*code*/) { shell::closeWindow(); });
    if (!shell::openWindow("HLV.orv", 800, 600, 32, !options->windowed)) {
        return shell::exitCodeAfterFailure() != 0 ? shell::exitCodeAfterFailure() : 2;
    }
    loadAssets();
    segments::rememberInitialStates();

    long first = 0;
    if (options->at) {
        first = view::frameNear(*options->at * 1000.0);
    } else if (options->segment) {
        first = schedule.firstFrame(*options->segment);
    } else if (options->loop) {
        first = view::frameNear(options->loop->from * 1000.0);
    }
    static view::Player player(clock, options->music);
    player.start(first, options->loop);
    while (player.turn()) {
    }
    platform::endProcess(0);
}
