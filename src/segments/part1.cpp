#include "segments/part1.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include "anim/timing.h"
#include "gfx/drawing.h"
#include "segments/film.h"

part1 part1Object;

namespace {

using namespace gfx;
using namespace segments;

constexpr int kMeshList = 1;
constexpr int kCaptionTexture = 4;
constexpr int kTitleTexture = 5;
constexpr int kBackdropTexture = 6;
constexpr int kMeshSkinTexture = 116;
constexpr FeedbackPair kTrail{110};
constexpr int kTrailSize = 256;
// The fresh picture at 0.3 plus the last result at 0.78, both stretched about
// the centre, so bright parts spread outward as trails.
constexpr FeedbackMix kTrailMix{2.47, 0.3f, 0.78f, {1.2f, 1.04f, 1.04f}};

// Title path keys: track 0 (title smear, caption smear, mesh grey) and track 1
// (backdrop brightness). The smears are 1 when invisible and 0 when sharp.
constexpr double kTrack0[19][3] = {{1, 1, 0}, {1, 1, 0},   {1, 1, 0.1}, {1, 1, 0.4}, {1, 1, 0.8},
                                   {1, 1, 1}, {1, 0.9, 1}, {1, 0.8, 1}, {1, 0.5, 1}, {1, 0, 1},
                                   {1, 0, 1}, {0.5, 0, 1}, {0, 0, 1},   {0, 0.1, 1}, {0, 0.4, 1},
                                   {0, 1, 1}, {1, 1, 0},   {1, 1, 0},   {1, 1, 0}};
constexpr double kTrack1X[19] = {0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0};

void drawMeshAndBackdrop(part1& self, const TextureTable& textures, double t) {
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    useSphereMapGeneration();
    enableTextureGeneration(true);
    bindTexture(textures, kMeshSkinTexture);
    glPushMatrix();
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    glRotatef(static_cast<float>(0.9 * t), 0.0f, 1.0f, 0.2f);
    const double grey = self.titleValues1.z;
    setColor(grey, grey, grey);
    glCallList(kMeshList);
    enableTextureGeneration(false);

    // The backdrop pans from x = -3 to the right as the Segment runs.
    glPushMatrix();
    bindTexture(textures, kBackdropTexture);
    glLoadIdentity();
    const double w = 0.09 * t - 3.0;
    gluLookAt(w, 0.0, 4.6, w, 0.0, 0.0, 0.0, 1.0, 0.0);
    glPushMatrix();
    glScalef(3.0f, 2.0f, 1.0f);
    glDisable(GL_LIGHTING);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    glDisable(GL_DEPTH_TEST);
    const double light = self.titleValues2.x;
    glColor4f(static_cast<float>(0.3 * light), static_cast<float>(0.6 * light),
              static_cast<float>(light), 1.0f);
    drawUnitQuad();
    glPopMatrix();
    glPopMatrix();
    glPopMatrix();
    enableTextureGeneration(false);
}

void drawTrailOffscreen(part1& self, const TextureTable& textures, double t,
                        const OffscreenBuffer& buffer) {
    const int n = self.frameCounter;
    buffer.makeBufferCurrent();
    glViewport(0, 0, kTrailSize, kTrailSize);
    // Only depth is cleared from the second frame on: the colour keeps the
    // last composite.
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    if (trailStartsOver(n)) {
        // Neither the buffer (the loading screen's last picture) nor the
        // textures (a plain white image) hold a trail yet: starting from them
        // would flash the whole band. The trail grows out of black instead.
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        copyPictureInto(textures, kTrail.previous(n), kTrailSize, kTrailSize);
    } else {
        glClear(GL_DEPTH_BUFFER_BIT);
    }
    self.aspect = kAspect;
    loadPerspective(45.0, self.aspect, 0.01, 174.0);
    glPushMatrix();
    useObjectLinearGeneration(0.3f);
    enableTextureGeneration(true);
    gluLookAt(0.0, 0.0, 0.0, 0.0, 0.0, 14.0, 0.0, 1.0, 0.0);
    glEnable(GL_DEPTH_TEST);
    drawMeshAndBackdrop(self, textures, t);
    glPopMatrix();

    feedPictureBack(kTrail, n, textures, self.aspect, kTrailMix, kTrailSize);
}

void drawTrailBand(part1& self, const TextureTable& textures) {
    glPushMatrix();
    lookAtFullScreenLayer(2.3, self.aspect);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    bindTexture(textures, kTrail.current(self.frameCounter));
    applyFrameJump(self.filmMarks);
    glScalef(1.04f, 1.04f, 1.04f);
    glScalef(1.0f, 0.6f, 1.0f);
    drawUnitQuad();
    glPopMatrix();
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glEnable(GL_DEPTH_TEST);
}

struct SmearedImage {
    int texture;
    double eyeX, eyeY;
    float scaleX, scaleY, stretchX;
};
constexpr SmearedImage kTitle{kTitleTexture, -1.4, 0.8, 0.31f, 0.31f, 2.0f};
constexpr SmearedImage kCaption{kCaptionTexture, 1.4, -0.8, 0.15f, 0.1f, 3.0f};

// Twenty copies at 0.05 each sum to the sharp image at smear 0; as the smear
// grows they spread sideways, the outer ones flatten, and the sum fades.
void drawSmeared(const SmearedImage& image, double smear, part1& self,
                 const TextureTable& textures) {
    bindTexture(textures, image.texture);
    glLoadIdentity();
    gluLookAt(image.eyeX, image.eyeY, 4.3, image.eyeX, image.eyeY, 0.0, 0.0, 1.0, 0.0);
    applyFrameJump(self.filmMarks);
    const float grey = static_cast<float>((1.0 - smear) * 0.05);
    for (int i = 0; i < 20; ++i) {
        const double d = i - 10;
        glPushMatrix();
        glTranslatef(static_cast<float>(0.02 * smear * d), 0.0f, 0.0f);
        glScalef(image.scaleX, image.scaleY, 1.0f);
        glScalef(image.stretchX, 1.0f, 1.0f);
        glScalef(1.0f, static_cast<float>(1.0 / (0.02 * smear * d * d + 1.0)), 1.0f);
        glDisable(GL_LIGHTING);
        glDisable(GL_DEPTH_TEST);
        glEnable(GL_TEXTURE_2D);
        glEnable(GL_BLEND);
        glBlendFunc(GL_ONE, GL_ONE);
        glColor4f(grey, grey, grey, 1.0f);
        // A copy at grey 0 or below (smear 1 and its overshoot) adds nothing;
        // twenty such quads would only cost fill.
        if (grey > 0.0f) {
            drawUnitQuad();
        }
        glPopMatrix();
    }
}

} // namespace

void initPart1(part1& /*self*/) {}

void buildTitlePath(Router& path) {
    setUpClosedPath(path, 3, 19, [](int k, int track) {
        return track == 0   ? makeKey(kTrack0[k][0], kTrack0[k][1], kTrack0[k][2])
               : track == 1 ? makeKey(kTrack1X[k], 0.0, 0.0)
                            : makeKey(0.0, 0.0, 0.0);
    });
}

void startPart1(part1& self) {
    buildTitlePath(self.titlePath);
    glClearDepth(1.0);
    // The same single-precision aspect that every render of this Segment uses.
    gfx::loadPerspective(62.0, gfx::kAspect, 0.01, 174.0);
    self.frameCounter = 0;
}

bool renderPart1(part1& self, std::int32_t /*cue*/, TextureTable& textures, double* time,
                 OffscreenBuffer& buffer) {
    const double t = *time;
    if (t > timing::segmentEnd(1)) {
        return true;
    }
    ++self.frameCounter;
    self.titlePath.evaluate(titlePathParameter(t), self.titleValues1, self.titleValues2,
                            self.titleValues3);
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glDisable(GL_FOG);

    drawTrailOffscreen(self, textures, t, buffer);

    beginWindowPass(buffer, 0.0f, 0.0f, 0.05f, self.aspect);

    drawTrailBand(self, textures);

    glPushMatrix();
    drawSmeared(kTitle, self.titleValues1.x, self, textures);
    drawSmeared(kCaption, self.titleValues1.y, self, textures);
    glPopMatrix();

    drawFilmOverlay(self.filmMarks, textures, kOpeningFilmStyle);
    glFlush();
    return false;
}
