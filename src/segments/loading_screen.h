// The animated picture shown while the assets load: a camera flies low over
// an environment-mapped floor with a dark ribbon and forty domes that rise
// and ripple along it. The scene is drawn four times into the off-screen
// buffer and layered on screen as a zooming echo under an overlay and a logo.
// Its clock is the loading progress, not a timer.
#pragma once

#include "anim/router.h"
#include "gfx/offscreen_buffer.h"
#include "gfx/texture_table.h"

class partloader {
public:
    double aspect = 0.0;
    Router cameraPath; // track 0 eye, track 1 look-at centre, track 2 up
    Router tiltPath;   // track 0: dome tilt angle in x (degrees)
    Router ribbonPath; // track 0: ribbon centre line, track 1: dome heading in x (degrees)
};

// The one instance, initialised and drawn by the loading sequence.
extern partloader loadingScreen;

inline constexpr int kLoadingViewSize = 256;
inline constexpr int kLoadingViewTexture = 1990; // 1990..1993: the four views
inline constexpr int kLoadingEnvironmentTexture = 1901;
inline constexpr int kLoadingOverlayTexture = 1902;
inline constexpr int kLoadingLogoTexture = 1903;
inline constexpr int kLoadingDomeList = 1901;
inline constexpr int kLoadingFloorList = 1904;
inline constexpr int kTiltKeyCount = 132;
inline constexpr int kDomeCount = 40;

// Fills the three paths.
void initLoadingScreenPaths(partloader& self);
// Sets the clear depth and the aspect used by every perspective of the draw.
void initLoadingScreenView(partloader& self);
// One frame at time *t. Draws into the off-screen buffer, copies the four
// views into textures 1990..1993 and composes them in the window. Leaves the
// window's context current.
void drawLoadingScreen(partloader& self, double* t, TextureTable& textures,
                       OffscreenBuffer& buffer);

// Brightness of the composite: 1 up to t = 13, then fading to 0 by about 17.08.
double loadingBrightness(double t);
// The tilt path's key k (0..131), x = angle in degrees. Lying domes (71
// degrees) rise upright over keys 0..3, then ripple gently; the unseen rest of
// the cycle lies them down again.
double tiltKeyAngle(int k);
// Where dome i reads the tilt path at wave time v.
double tiltParameter(int dome, double v);
