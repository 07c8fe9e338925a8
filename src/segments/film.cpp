#include "segments/film.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include "gfx/drawing.h"
#include "gfx/random.h"

namespace segments {
using namespace gfx;
namespace {

constexpr int kGrainTexture = 1;
constexpr int kScratchTexture = 2;
constexpr int kSpeckTexture = 3;

double randomFraction(double scale) {
    return randomBelow(10000) * scale;
}

void startScratchOver(FilmMark& mark) {
    mark.x = randomFraction(0.0002) - 1.0;
    mark.life = randomFraction(0.0002);
    mark.size = randomFraction(0.00033) + 2.0;
}

void startSpeckOver(FilmMark& mark) {
    mark.x = randomFraction(0.0002) - 1.0;
    mark.life = randomFraction(0.0002);
    mark.size = randomFraction(0.00028) + 1.0;
}

// Atlas cell, renewal and ageing shared by the dark and the bright specks.
FilmSpeck ageSpeck(FilmMark& mark) {
    FilmSpeck speck;
    speck.s0 = static_cast<float>(randomBelow(2) * 0.5);
    speck.t0 = static_cast<float>(randomBelow(2) * 0.5);
    if (mark.life < 0.0) {
        startSpeckOver(mark);
    }
    mark.life -= 0.1;
    speck.size = mark.size;
    return speck;
}

void drawGrain(const FilmFrame& frame) {
    glPushMatrix();
    glBlendFunc(GL_ZERO, GL_SRC_COLOR);
    glEnable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glEnable(GL_TEXTURE_2D);
    glRotatef(static_cast<float>(frame.grainAngle), 0.0f, 1.0f, 0.0f);
    glTranslatef(static_cast<float>(frame.grainX), static_cast<float>(frame.grainY),
                 static_cast<float>(frame.grainZ));
    glColor3f(1.0f, 1.0f, 1.0f);
    glBegin(GL_QUADS);
    for (int i = -2; i < 2; ++i) {
        for (int j = -2; j < 2; ++j) {
            const float x = static_cast<float>(i);
            const float z = static_cast<float>(j);
            glTexCoord2f(0.0f, 0.0f);
            glVertex3f(x, 0.0f, z);
            glTexCoord2f(0.0f, 1.0f);
            glVertex3f(x + 1.0f, 0.0f, z);
            glTexCoord2f(1.0f, 1.0f);
            glVertex3f(x + 1.0f, 0.0f, z + 1.0f);
            glTexCoord2f(1.0f, 0.0f);
            glVertex3f(x, 0.0f, z + 1.0f);
        }
    }
    glEnd();
    glPopMatrix();
}

void drawScratches(const FilmFrame& frame) {
    glBlendFunc(GL_ZERO, GL_ONE_MINUS_SRC_COLOR);
    glColor3f(0.32f, 0.32f, 0.32f);
    for (int i = 0; i < frame.scratchCount; ++i) {
        glPushMatrix();
        glScalef(static_cast<float>(frame.scratchSize[i]), 0.0f, 1.0f);
        glTranslatef(static_cast<float>(frame.scratchX[i]), 0.0f, 0.0f);
        glScalef(0.005f, 0.0f, 1.0f);
        drawFlatQuad(0.0f, 0.0f, 1.0f, 1.0f);
        glPopMatrix();
    }
}

void drawSpeck(const FilmSpeck& speck, const FilmOverlayStyle& style) {
    setColor(speck.grey, speck.grey, speck.grey);
    glPushMatrix();
    if (style.squeezeSpecks) {
        glScalef(1.0f, 1.0f, 0.7f);
    }
    glTranslatef(static_cast<float>(speck.x), 0.0f, static_cast<float>(speck.z));
    const double m = (speck.size - 1.0) * 0.08 / 2.8 + 0.08;
    glScalef(static_cast<float>(m), 0.0f, static_cast<float>(m));
    glRotatef(static_cast<float>((speck.size - 1.0) * 360.0 / 2.8), 0.0f, 1.0f, 0.0f);
    drawFlatQuad(speck.s0, speck.t0, speck.s0 + 0.5f, speck.t0 + 0.5f);
    glPopMatrix();
}

} // namespace

bool frameJumps(const FilmMarks& marks) {
    return marks[1].life < 0.0;
}

void applyFrameJump(const FilmMarks& marks) {
    if (!frameJumps(marks)) {
        return;
    }
    const double a = randomFraction(0.000001);
    const double b = randomFraction(0.000001);
    glTranslatef(static_cast<float>(a), static_cast<float>(b), 0.0f);
}

FilmFrame advanceFilm(FilmMarks& marks) {
    FilmFrame frame;
    frame.grainAngle = randomBelow(360);
    frame.grainX = randomFraction(0.00002) - 0.1;
    frame.grainY = randomFraction(0.00002) - 0.1;
    frame.grainZ = randomFraction(0.00002) - 0.1;

    // The bound is drawn anew before every test, so 4 to 14 scratches.
    int i = 0;
    for (; i < randomBelow(11) + 4; ++i) {
        FilmMark& mark = marks[i];
        if (mark.life < 0.0) {
            startScratchOver(mark);
        }
        mark.life -= 0.048;
        frame.scratchSize[i] = mark.size;
        frame.scratchX[i] = mark.x - 0.005 * mark.life * mark.size;
    }
    frame.scratchCount = i;

    for (int k = 0; k < 4; ++k) {
        FilmSpeck& speck = frame.darkSpecks[k];
        speck = ageSpeck(marks[k]);
        speck.grey = randomFraction(0.00003) + 0.2;
        speck.x = marks[k].x;
        speck.z = (marks[k].size - 1.0) * 2.0 / 2.8 - 1.0;
    }

    // At most one bright speck: the test draws a fresh number each time, and
    // only mark 4 can pass it (one frame in six on average).
    for (int k = 4; k < randomBelow(6); ++k) {
        FilmSpeck& speck = frame.brightSpeck;
        speck = ageSpeck(marks[k]);
        speck.grey = randomFraction(0.00002) + 0.1;
        speck.x = randomFraction(0.0002) - 1.0;
        speck.z = randomFraction(0.0002) - 1.0;
        frame.hasBrightSpeck = true;
    }
    return frame;
}

void drawFilmFrame(const FilmFrame& frame, const TextureTable& textures,
                   const FilmOverlayStyle& style) {
    // Looking straight down at the film plane y = 0.
    glPushMatrix();
    glLoadIdentity();
    gluLookAt(0.0, style.eyeHeight, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 1.0);
    glScalef(1.0f, 0.6f, 1.0f);

    bindTexture(textures, kGrainTexture);
    drawGrain(frame);

    bindTexture(textures, kScratchTexture);
    drawScratches(frame);

    // Dark specks darken like the scratches.
    bindTexture(textures, kSpeckTexture);
    for (const FilmSpeck& speck : frame.darkSpecks) {
        drawSpeck(speck, style);
    }
    // The bright speck adds light; the blend is set even on frames without
    // one, so every frame leaves the same state behind.
    glBlendFunc(GL_ONE, GL_ONE);
    if (frame.hasBrightSpeck) {
        drawSpeck(frame.brightSpeck, style);
    }

    glPopMatrix();
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_LIGHTING);
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
}

} // namespace segments
