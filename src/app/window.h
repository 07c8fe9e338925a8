// The production's one window: opening (fullscreen first, windowed as a
// fallback the viewer accepts), the viewport, and the orderly teardown.
#pragma once

#include <string>

namespace shell {

// The "command line": the arguments after the program name joined by single
// spaces, so `hlv -n` and `hlv xn` both turn music off.
std::string joinCommandLine(int argc, char** argv);

// Music on unless the command line's second character is 'n' or 'N'. The
// command line is the program's arguments joined with single spaces.
bool commandLineTurnsMusicOff(const char* commandLine);

// Creates the window and its GL context, shows it and sets the viewport. False when the window
// could not be made (the viewer has been told why); exitCodeAfterFailure() then says how to end.
bool openWindow(const char* title, int width, int height, int colourBits, bool fullscreen);
int exitCodeAfterFailure();

// Tears down display mode, GL context, window and window system; a failing
// step says so and the rest carries on. Safe to call more than once.
void closeWindow();

// The viewport follows the picture's size; a height of 0 is taken as 1. Loads
// the identity into the current matrix.
void resizeView(int width, int height);

extern bool fullscreenFlag;

} // namespace shell
