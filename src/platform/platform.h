// What the production needs from the operating system, in its own terms: a
// window with a GL context, the off-screen context, a millisecond tick count,
// the Escape key, message boxes, the music and the end of the process. This
// is the only part of the program that talks to SDL and libmpg123.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/asset_path.h"

namespace platform {

// ---------------------------------------------------------------- clocks

// Milliseconds since the program started (or the virtual clock's reading).
std::uint32_t tickCount();

// A clock that the capture tool advances by exactly one frame at a time. While
// one is in use, tickCount() and musicPosition() follow it instead of the real
// timer and the audio device.
struct VirtualClock {
    double milliseconds = 0.0;
};
void useVirtualClock(VirtualClock* clock); // nullptr: back to the real clocks
bool virtualClockInUse();
double virtualMilliseconds(); // the virtual clock's exact reading, 0 without one

// ---------------------------------------------------------------- keyboard, events

// Handles every waiting window event. Returns true once the window was asked
// to close (close button, SIGTERM): the message loop's quit message.
bool pollEvents();
// True when Escape is down or was pressed since the last query. Handles the
// waiting events first, so it also works while the assets load.
bool escapePressed();

// The keys the viewer answers to; every other key is Other.
enum class Key {
    Other,
    Escape,
    Space,
    Left,
    Right,
    PageUp,
    PageDown,
    Digit1, // Digit1 + n - 1 is the digit n (1..8)
    Digit2,
    Digit3,
    Digit4,
    Digit5,
    Digit6,
    Digit7,
    Digit8,
    Comma,
    Period,
    L,
    H,
    S,
};
// The keys pressed since the last call, oldest first (held keys' repeats
// left out). Only filled once asked for, so hlv never keeps a queue.
std::vector<Key> takeKeyPresses();

// ---------------------------------------------------------------- message boxes

enum class BoxIcon { Exclamation, Stop, Information };
// Shows a modal box with one OK button; the text also goes to stderr.
void showMessage(const char* text, const char* caption, BoxIcon icon = BoxIcon::Exclamation);
// Shows a modal Yes/No box (Yes is the default); the question also goes to
// stderr. A box that cannot be shown counts as the default answer, Yes.
bool askYesNo(const char* text, const char* caption, BoxIcon icon = BoxIcon::Exclamation);

// ---------------------------------------------------------------- window and GL contexts

struct Surface; // what a context draws into
struct Context; // a GL context with its own state

// The production's picture: always this size, whatever the real window is.
inline constexpr int kPictureWidth = 800;
inline constexpr int kPictureHeight = 600;

// The steps of opening the window, each its own failure point. Every call
// sets lastError() when it fails.
bool startVideo();          // the window system is there
bool fullscreenAvailable(); // desktop fullscreen is allowed and possible
bool createWindow(const char* title, int width, int height, bool fullscreen);
bool chooseSurfaceFormat();   // RGBA, double-buffered, depth 24, stencil 1
bool createWindowContext();   // compatibility profile, fixed function available
bool activateWindowContext(); // makes it current and binds the 800 x 600 picture
void showWindow();            // shows, raises, hides the cursor in fullscreen
const std::string& lastError();

// Teardown steps; each returns false when it failed. Safe to call in any state.
void leaveFullscreen();     // back to the desktop, cursor visible
bool releaseContext();      // nothing current any more
bool deleteWindowContext(); // also frees the picture's framebuffer
bool destroyWindow();
void stopVideo();
bool windowExists();
bool windowContextExists();

// The window's pair, for the off-screen buffer's "make the window current".
Surface* windowSurface();
Context* windowContext();
Surface* currentSurface(); // nullptr when no context is current
Context* currentContext();
void makeCurrent(Surface* surface, Context* context);

// A second GL context sharing display lists and textures with the window's,
// with its own size x size framebuffer (RGBA8, depth 24) bound inside it, so
// that making it current switches all GL state as a pixel buffer would.
// Returns false (and sets lastError()) when it cannot be made.
bool createOffscreenTarget(int size, Surface*& surface, Context*& context);

// Multisampled pictures: samples per pixel (0 for none) for every picture
// and off-screen target created after the call. Copies, read-backs and the
// window see the resolved picture; call resolvePicture before a copy.
void setSamplesPerPixel(int samples);
int samplesPerPixelInUse();
// Resolves the lower-left width x height of the current context's
// multisampled picture so the next copy or read-back sees it; nothing to do
// without multisampling.
void resolvePicture(int width, int height);

// Scales the 800 x 600 picture onto the real window (largest centred 4:3
// rectangle, black bars) and shows it. Leaves the picture bound again.
void swapWindow();
// As swapWindow, and draws `over` on the real window only, never into the
// picture that the effects copy back: with the window's own framebuffer
// bound and the viewport on the letterboxed picture (800 x 600 units).
void swapWindowDrawingOver(const std::function<void()>& over);
// The first half of swapWindow: draws the picture into the real window's back
// buffer without showing it.
void presentPicture();

struct Rect {
    int x, y, width, height;
};
// The largest 4:3 rectangle centred in a drawable of the given size.
Rect letterbox(int drawableWidth, int drawableHeight);
// The real window's drawable size in pixels.
void drawableSize(int& width, int& height);

// Reads the 800 x 600 picture as RGB rows, bottom row first.
void readPicture(std::vector<std::uint8_t>& rgb);

// ---------------------------------------------------------------- end of the process

// The one way a frame ends the program. hlv exits at once (its caller has
// already torn the window down); the capture tool installs a handler that
// finishes its files first. After the handler the process exits with `code`.
[[noreturn]] void endProcess(int code);
void setEndHandler(std::function<void(int)> handler);

// ---------------------------------------------------------------- sound

// Opens the audio device at 44100 Hz stereo. On failure prints one line on
// stderr and returns false (the caller ends the process with code 1). Under
// the virtual clock no device is opened and it always succeeds.
// `withoutMusic` names how the viewer plays without music, for that line.
bool soundInit(const char* withoutMusic = "`hlv -n` or answering No");

using SoundHandle = int; // -1: nothing loaded
inline constexpr int kSampleRate = 44100;

// Starts decoding an MP3 file (forced to 44100 Hz stereo 16-bit) in the
// background and returns at once. A file that cannot be opened gives -1 and a
// message on stderr.
SoundHandle soundLoad(const char* path);
// Starts playing from the beginning. Playing -1 does nothing.
void soundPlay(SoundHandle sound);
// The play position of the music in samples at 44100 Hz, counted from the
// frames actually consumed by the audio device (interpolated between device
// callbacks, never backwards), or from the virtual clock since soundPlay.
std::uint32_t musicPosition();
// The whole decoded soundtrack (interleaved stereo), waiting for the decoder
// to finish. Empty for -1.
const std::vector<std::int16_t>& soundSamples(SoundHandle sound);
// The sound last started with soundPlay, or -1.
SoundHandle playingSound();

// For a player that seeks: held, the device plays silence and the position
// stands still (what the device had already been handed still sounds, so
// the position goes back to what was heard). Holding also applies to a
// sound that soundPlay starts later.
void soundHold(bool held);
// Moves the play position to `samples` (at 44100 Hz) from the track's start.
void soundSeek(std::uint32_t samples);
// The device's play position, as musicPosition reports it without the
// virtual clock, also while a virtual clock drives the pictures.
std::uint32_t devicePosition();

// Maps an asset name "hlvd\\x" to the file "hlvd/x".
using ::assetPath;

} // namespace platform
