// Drawing pieces shared by the Segments, the Layers and the loading screen.
// Each exists once here.
#pragma once

#include "loading/texture_table.h"

namespace segments {

// Selects the projection matrix, multiplies in a perspective with the given
// field of view, aspect 4/3 (single precision), near 0.001 and far 157, and
// returns to the modelview matrix. Writes the aspect into *aspectField when
// the Segment keeps one.
void setUpPerspective(double fovDegrees, float* aspectField = nullptr);

// The aspect every projection of the production uses: 4/3 rounded to single
// precision (1.3333333730697632).
inline constexpr double kAspect = static_cast<double>(4.0f / 3.0f);

// Replaces the projection with a fresh perspective and returns to the
// modelview matrix (what every render does before drawing).
void loadPerspective(double fovDegrees, double aspect, double zNear, double zFar);

// Scaffolding picture for an effect whose own drawing has not landed yet: a
// cleared screen in a colour that tells the Segments apart.
void drawScaffoldingFrame(float r, float g, float b);

// The quad from (-1, -1, 0) to (1, 1, 0) with texture coordinates 0..1, the
// shape behind nearly every sprite and full-screen picture.
void drawUnitQuad();

// A quad in the y = 0 plane from (-1, 0, -1) to (1, 0, 1) with the given
// texture rectangle (film marks, specks).
void drawFlatQuad(float s0, float t0, float s1, float t1);

// Turns whatever is drawn next to face the viewer: keeps the translation of the
// modelview matrix and replaces its rotation and scale by the identity.
void faceViewer();

// Sets up a full-screen layer: the camera on the z axis eyeDistance away
// looking at the origin, and the unit quad stretched to the aspect. Draw the
// unit quad (after any further scaling) to cover the view.
void lookAtFullScreenLayer(double eyeDistance, double aspect);

// Texture-coordinate generation for S and T.
void setObjectLinearPlanes(float scale); // S = (scale, 0, 0, 0), T = (0, scale, 0, 0)
void useObjectLinearGeneration(float scale);
void useSphereMapGeneration();
void enableTextureGeneration(bool on);

// glColor3f from the double-precision values the effects compute with.
void setColor(double r, double g, double b);

// Whether a sphere of the given radius around the modelview's origin can
// reach the view of the given projection (both column-major, as GL keeps
// them). Scales in the modelview grow the radius. Used to skip meshes that
// lie wholly outside the view; it never rejects anything that could show.
bool sphereInFrustum(const double modelview[16], const double projection[16], double radius);
// The same test with the matrices currently set in GL.
bool sphereMayBeVisible(double radius);

// Binds the texture stored under a TextureTable id (0 when never loaded).
void bindTexture(const TextureTable& textures, int id);

// Two textures holding the same picture, used alternately as the target of the
// copies out of the off-screen buffer: the frame counter's parity picks the
// one that receives this frame's picture, the other still holds the last.
struct FeedbackPair {
    int firstId = 0;

    int current(int frame) const { return firstId + (frame & 1); }
    int previous(int frame) const { return firstId + ((frame + 1) & 1); }
};

// Binds the texture under `id` and copies the lower-left width x height pixels
// of the current drawing surface into it (the off-screen buffer's picture when
// that is current).
void copyPictureInto(const TextureTable& textures, int id, int width, int height);

} // namespace segments
