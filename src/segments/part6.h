// Segment #6, the underwater picture in a gallery: a lit, caustic sea floor
// with two standing mirrors that show live reflections, light rays and rising
// bubbles, drawn off-screen with a wobbling trail and hung as a picture; then
// the camera pulls back through a small gallery inside a glass ball, into the
// room the ball stands in, while sparks rain down; at the end a child's face
// fades in over it with two cross-fading pictures.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "anim/router.h"
#include "anim/tvector.h"
#include "geometry/relief_grids.h"
#include "gfx/offscreen_buffer.h"
#include "gfx/texture_table.h"
#include "imaging/bmp_reader.h"

inline constexpr int kPart6RayPhases = 600;
inline constexpr int kPart6Bubbles = 800;
inline constexpr int kPart6BubblesUsed = 170;
inline constexpr int kPart6StartSparks = 400;
// Only the newest sparks are drawn and moved; older ones lie still for good.
inline constexpr int kPart6SparksDrawn = 1500;

// The falling sparks. Every landing appends one spark, so the track grows for
// the whole Segment; entries older than the newest kPart6SparksDrawn are never
// touched again and are dropped in batches. Indices stay those of the whole
// history (the sway depends on them).
class SparkTrack {
public:
    void clear();
    void append(const TVector& position, double fade);
    // Everything ever appended, dropped entries included.
    std::int64_t size() const { return firstKept_ + static_cast<std::int64_t>(positions_.size()); }
    // Entries still held in memory.
    std::size_t kept() const { return positions_.size(); }
    std::int64_t firstKept() const { return firstKept_; }
    TVector& position(std::int64_t i) {
        return positions_[static_cast<std::size_t>(i - firstKept_)];
    }
    double& fade(std::int64_t i) { return fades_[static_cast<std::size_t>(i - firstKept_)]; }
    // Drops the entries before `first` once more than `slack` of them pile up.
    void dropBefore(std::int64_t first, std::size_t slack);

private:
    std::vector<TVector> positions_;
    std::vector<double> fades_;
    std::int64_t firstKept_ = 0;
};

class part6 {
public:
    std::int32_t listBuilt = 0; // mirror passes run; the terrain list is made on the first
    std::int32_t frameCounter = 0;
    std::int32_t pictureWidth = 450;
    std::int32_t pictureHeight = 350;
    std::int32_t cameraKeyOffset = 1;
    ReliefGrids grids;
    std::shared_ptr<const BmpRgbImage> textImage; // shared by a player's kept copy
    double aspect = 0.0;
    Router sceneCamera;  // eye, centre, up of the underwater scene
    Router sceneControl; // track 0 x: rays level, track 2 x: mirror skip
    Router galleryCamera;
    Router galleryControl; // track 0 x, y, z: room switches; track 1 x: sparks
    Router faceCamera;     // track 0 eye; track 1 z flicker; track 2 fade, opacity, first layer off
    SparkTrack sparks;
    double rayPhase[kPart6RayPhases] = {};
    double bubbleX[kPart6Bubbles] = {};
    double bubbleY[kPart6Bubbles] = {};
    double bubbleZ[kPart6Bubbles] = {};
    double bubbleSpeed[kPart6Bubbles] = {};
};

extern part6 part6Object;

// ---------------------------------------------------------------- planning

// Which phases a frame at time t draws, and the gallery's clock.
struct Part6FramePlan {
    double s = 0.0;
    bool pictureOn = false; // the underwater picture is rendered
    bool galleryOn = false; // the gallery, ball and sparks
    double w = 0.0;         // gallery clock
    double galleryParameter = 1.0;
    bool faceShot = false;
    double faceParameter = 1.0;
    double sceneParameter = 0.0;
};
Part6FramePlan planPart6Frame(double t, int cameraKeyOffset = 1);

// Texture id of the caustic frame for a running value x: sixteen frames that
// cycle with the whole part of x.
int causticFrame(double x);

// Mirror passes per frame for a mirror-skip value: two, one or none.
int mirrorPassCount(double mirrorSkip);

// Whether the underwater picture is cleared and lit by light shafts.
bool raysShine(double raysLevel);
int shaftOverlayCount(double raysLevel);

// How the underwater picture's trail is mixed each frame: this frame's
// picture is laid down at `fresh`, and the previous trail added over it with
// colour and alpha `kept` (so it counts kept squared).
struct PictureTrail {
    double fresh;
    double kept;
};
PictureTrail pictureTrail();

// One pixel after a frame's trail step: `picture` is what the frame drew
// there (over the old trail where the picture was not cleared).
double trailStep(const PictureTrail& trail, double picture, double previousTrail);

// The point a mirror's camera looks at, from the scene eye and the mirror's
// place (the mirrors face -x).
TVector mirrorCentre(const TVector& eye, const TVector& mirror);

// One corner of a lens disc: the flat vertex and the texture coordinate of a
// ray cut with the plane z = -2.5.
enum class Lens { A, B };
inline constexpr int kLensRings = 20;
inline constexpr int kLensSegments = 50;
struct LensCorner {
    double normal[3];
    double vertex[2];
    double texture[2];
};
LensCorner lensCorner(Lens lens, int ring, int segment);

// The sparks at init (scale 12, upward) and the ones that replace landed
// sparks (scale 13.4, lifted by 8). Each draws three random numbers.
TVector startingSpark();
TVector respawnedSpark();

// One frame's step of spark i (moves it when `moving`), appending a new spark
// when it lands. Returns the colour it is drawn with.
struct SparkColour {
    double r, g, b;
};
SparkColour advanceSpark(SparkTrack& sparks, std::int64_t i, double t, bool moving);

// Index of the first spark drawn when the track holds n.
std::int64_t firstDrawnSpark(std::int64_t n);

// Bubble j rises by its speed and wraps from the top back to the bottom.
void riseBubble(part6& self, int j);

void initPart6(part6& self);
void startPart6(part6& self);
bool renderPart6(part6& self, std::int32_t cue, TextureTable& textures, double* time,
                 OffscreenBuffer& buffer);
