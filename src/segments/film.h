// The old-film overlay laid over the opening titles and the closing credits:
// multiplied grain, dark vertical scratches, dark dust specks, the odd bright
// speck, and random frame jumps of the pictures beneath.
#pragma once

#include <array>

#include "gfx/texture_table.h"

namespace segments {

// One scratch or speck. `life` counts down each frame; a negative value makes
// the mark start over at a new random place.
struct FilmMark {
    double x = 0.0;
    double life = 0.0;
    double size = 0.0;
};

// Up to 14 scratches a frame; marks 0..3 double as the dark specks, mark 4 as
// the bright speck, and mark 1 triggers the frame jumps.
inline constexpr int kFilmMarkCount = 14;
using FilmMarks = std::array<FilmMark, kFilmMarkCount>;

// The two users differ in the camera height over the film plane and in
// whether the specks are squeezed vertically.
struct FilmOverlayStyle {
    double eyeHeight = 1.6;
    bool squeezeSpecks = true;
};
inline constexpr FilmOverlayStyle kOpeningFilmStyle{1.6, true};
inline constexpr FilmOverlayStyle kClosingFilmStyle{1.0, false};

// A frame jumps while mark 1 is waiting to start over.
bool frameJumps(const FilmMarks& marks);

// Shifts what is drawn next by a small random offset (below 0.01 in x and y)
// when the frame jumps; draws no random numbers otherwise.
void applyFrameJump(const FilmMarks& marks);

// Everything one frame of the overlay draws, decided before any drawing.
struct FilmSpeck {
    float s0 = 0.0f; // atlas cell (2 x 2) corner
    float t0 = 0.0f;
    double grey = 0.0;
    double x = 0.0; // place on the film plane before the squeeze
    double z = 0.0;
    double size = 1.0; // 1 .. 3.8: picks the speck's scale and turn
};

struct FilmFrame {
    int grainAngle = 0;
    double grainX = 0.0;
    double grainY = 0.0;
    double grainZ = 0.0;
    int scratchCount = 0;
    std::array<double, kFilmMarkCount> scratchSize{};
    std::array<double, kFilmMarkCount> scratchX{}; // before the scale by its size
    std::array<FilmSpeck, 4> darkSpecks{};
    bool hasBrightSpeck = false;
    FilmSpeck brightSpeck{};
};

// Ages the marks by one frame, starting over those whose life ran out, and
// draws this frame's random numbers in the order the overlay always has.
FilmFrame advanceFilm(FilmMarks& marks);

// Draws the overlay over the whole screen (textures 1, 2 and 3) and leaves
// texturing and blending off, lighting and the depth test on.
void drawFilmFrame(const FilmFrame& frame, const TextureTable& textures,
                   const FilmOverlayStyle& style);

inline void drawFilmOverlay(FilmMarks& marks, const TextureTable& textures,
                            const FilmOverlayStyle& style) {
    const FilmFrame frame = advanceFilm(marks);
    drawFilmFrame(frame, textures, style);
}

} // namespace segments
