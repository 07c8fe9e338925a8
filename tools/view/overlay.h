// The timing overlay: a few lines of text in a small built-in bitmap font,
// drawn over the picture on the window only.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace view {

inline constexpr int kGlyphColumns = 5;
inline constexpr int kGlyphRows = 7;
inline constexpr int kDotSize = 2;                              // picture pixels per glyph pixel
inline constexpr int kAdvance = (kGlyphColumns + 1) * kDotSize; // from one character to the next
inline constexpr int kLineHeight = (kGlyphRows + 3) * kDotSize;
inline constexpr int kTextLeft = 16; // picture pixels from the left edge
inline constexpr int kTextTop = 16;  // and from the top edge
inline constexpr int kBoxPadding = 6;

// A glyph's rows, top first, bit 4 the leftmost column. Letters of either
// case share one glyph; a character without one is blank.
using GlyphRows = std::array<std::uint8_t, kGlyphRows>;
const GlyphRows& glyphRows(char c);

// One lit dot of the text, kDotSize square, in picture pixels from the
// picture's top-left corner.
struct Dot {
    int x;
    int y;
};
std::vector<Dot> layOutText(const std::vector<std::string>& lines);

struct Box {
    int x, y, width, height; // from the top-left corner
};
// The dark box under the text.
Box textBox(const std::vector<std::string>& lines);

// What the overlay reports about the frame on show.
struct FrameFacts {
    double seconds = 0.0;     // global seconds since the end of loading
    double globalTime = 0.0;  // the global clock's value
    int segment = 0;          // 1..8
    double segmentTime = 0.0; // the time value its render was given
    std::int32_t cue = 0;
    double framesPerSecond = 0.0;
    double frameMs = 0.0; // wall time of the latest frame
    std::string state;    // playing, paused, looping...
};
// The Layers that draw at a global time, with their own times: "A 12.34".
std::vector<std::string> drawingLayers(double globalTime);
std::vector<std::string> overlayLines(const FrameFacts& facts);

// Draws the lines over whatever is bound, in a viewport that covers the
// picture, and puts every GL state it touches back as it was.
void drawOverlay(const std::vector<std::string>& lines);

} // namespace view
