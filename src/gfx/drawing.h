// Drawing pieces shared by the Segments, the Layers and the loading screen.
// Each exists once here.
#pragma once

#include <GL/gl.h>

#include "gfx/offscreen_buffer.h"
#include "gfx/texture_table.h"

namespace gfx {

// Selects the projection matrix, multiplies in a perspective with the given
// field of view, aspect 4/3 (single precision), near 0.001 and far 157, and
// returns to the modelview matrix. Writes the aspect into *aspectField when
// the Segment keeps one.
void setUpPerspective(double fovDegrees, double* aspectField = nullptr);

// The aspect every projection of the production uses: 4/3 rounded to single
// precision (1.3333333730697632).
inline constexpr double kAspect = static_cast<double>(4.0f / 3.0f);

// Replaces the projection with a fresh perspective and returns to the
// modelview matrix (what every render does before drawing).
void loadPerspective(double fovDegrees, double aspect, double zNear, double zFar);

// The quad from (-1, -1, 0) to (1, 1, 0) with texture coordinates 0..1, the
// shape behind nearly every sprite and full-screen picture.
void drawUnitQuad();

// A rectangle of a texture: (s0, t0) at the quad's first corner, (s1, t1) at
// the opposite one.
struct TexRect {
    float s0 = 0.0f;
    float t0 = 0.0f;
    float s1 = 1.0f;
    float t1 = 1.0f;
};

// Where a quad starts and which way it turns, seen from +z.
enum class QuadCorners {
    FromLowerLeft,          // (-,-) (+,-) (+,+) (-,+): counter-clockwise, as the unit quad
    FromUpperLeft,          // (-,+) (+,+) (+,-) (-,-): clockwise
    ClockwiseFromLowerLeft, // (-,-) (-,+) (+,+) (+,-)
};

// A quad in the z = 0 plane with half-size (halfWidth, halfHeight) about the
// origin, showing `rect` of the bound texture.
void drawQuad(float halfWidth, float halfHeight, const TexRect& rect = {},
              QuadCorners corners = QuadCorners::FromLowerLeft);

// A quad in the y = 0 plane from (-1, 0, -1) to (1, 0, 1) with the given
// texture rectangle (film marks, specks).
void drawFlatQuad(float s0, float t0, float s1, float t1);

// Turns whatever is drawn next to face the viewer: keeps the translation of the
// modelview matrix and replaces its rotation and scale by the identity.
void faceViewer();
// The same for the upper-left 2 x 2 only: x and y face the viewer while the
// third column keeps the view's depth axis (streaks that stay along the rain).
void faceViewerKeepingDepth();

// Sets up a full-screen layer: the camera on the z axis eyeDistance away
// looking at the origin, and the unit quad stretched to the aspect. Draw the
// unit quad (after any further scaling) to cover the view.
void lookAtFullScreenLayer(double eyeDistance, double aspect);

// Texture-coordinate generation for S and T.
struct TexGenPlanes {
    float s[4];
    float t[4];
};
// S = (scale, 0, 0, 0), T = (0, scale, 0, 0).
constexpr TexGenPlanes scaledPlanes(float scale) {
    return {{scale, 0.0f, 0.0f, 0.0f}, {0.0f, scale, 0.0f, 0.0f}};
}
void setObjectLinearPlanes(const TexGenPlanes& planes);
inline void setObjectLinearPlanes(float scale) {
    setObjectLinearPlanes(scaledPlanes(scale));
}
void useObjectLinearGeneration(const TexGenPlanes& planes);
inline void useObjectLinearGeneration(float scale) {
    useObjectLinearGeneration(scaledPlanes(scale));
}
void useSphereMapGeneration();
void enableTextureGeneration(bool on);

// glColor3f from the double-precision values the effects compute with.
void setColor(double r, double g, double b);

// "Colour material ambient A, diffuse D": each colour is set through
// glColorMaterial for the front and back faces. While GL_COLOR_MATERIAL is on
// both reach the material; while it is off neither does. The current colour
// is D afterwards.
void setMaterialColours(const float ambient[4], const float diffuse[4],
                        GLenum faces = GL_FRONT_AND_BACK);
// The same with GL_COLOR_MATERIAL switched on for the two calls and off
// afterwards, so that the colours reach the material whatever was switched on
// before and the colours drawn next do not.
void setMaterialColoursNow(const float ambient[4], const float diffuse[4]);

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

// Puts every state that could change pixels on their way into a texture back
// to its default (tests, blending, dithering, fog, lighting, logic op,
// texturing, pixel-transfer maps, scales and biases, pack layout), for a copy
// that must take the picture exactly as drawn.
void resetStateForCopy();

// How the last picture and the fresh one are laid over each other in the
// off-screen buffer: the fresh one (this frame's copy) opaque at freshGain,
// then the last one added at lastGain, both stretched by `stretch` on a
// full-screen layer seen from eyeDistance. A stretch above 1 (or an eye closer
// than 2.3) makes trails grow outward, below makes them contract.
struct FeedbackMix {
    double eyeDistance;
    float freshGain;
    float lastGain;
    float stretch[3] = {1.0f, 1.0f, 1.0f};
    // The last picture turned by this many degrees about the view axis (a
    // spiralling trail), and its blue gain raised by lastBlueLift (a trail
    // that cools as it fades).
    float lastTurnDegrees = 0.0f;
    float lastBlueLift = 0.0f;
};
// Turns lighting and the depth test off and leaves blending on with
// (GL_SRC_ALPHA, GL_ONE).
void drawFeedbackComposite(const FeedbackPair& pair, int frame, const TextureTable& textures,
                           double aspect, const FeedbackMix& mix);

// One turn of an off-screen feedback loop: copies the fresh picture into
// this frame's texture of the pair, lays the last one over it with `mix`,
// copies the result into the same texture, and leaves blending off and the
// projection at the identity.
void feedPictureBack(const FeedbackPair& pair, int frame, const TextureTable& textures,
                     double aspect, const FeedbackMix& mix, int size);

// Switches to the window, clears it to the colour with depth, loads the
// 45-degree perspective every window pass starts from, and sets the
// coloured material's ambient and diffuse to black.
void beginWindowPass(const OffscreenBuffer& buffer, float clearR, float clearG, float clearB,
                     double aspect);

// Makes the driver upload a texture before it is first needed: raises its
// priority, binds it, and draws one point that adds nothing to the picture.
// Leaves blending on with (GL_ONE, GL_ONE) and the colour at 0.
void prewarmTexture(const TextureTable& textures, int id);

} // namespace gfx

namespace gfx {

// The two billboards above applied to a column-major matrix held outside GL,
// for effects that place many sprites themselves and draw them as one batch.
void faceViewer(double m[16]);
void faceViewerKeepingDepth(double m[16]);

} // namespace gfx
