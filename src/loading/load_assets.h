// The loading sequence: sets up the off-screen buffer, resets the Timeline,
// loads every asset and runs the init routines while the loading screen shows
// progress, then starts Segment #1, the music and the clocks.
#pragma once

void loadAssets();
