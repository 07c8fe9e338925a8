#include "segments/rising_jellyfish.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>

#include "gfx/drawing.h"
#include "gfx/random.h"
#include "segments/jellyfish.h"
#include "segments/layer_state.h"

JellyPoints jellyPoints;

namespace segments {
namespace {

using namespace gfx;

// ---------------------------------------------------------------- tuning
constexpr double kDiscRadius = 8.0 * 0.0001; // per unit of the random remainder
constexpr double kTurn = 6.2831853 * 0.0001;
constexpr double kLowest = 30.0;
constexpr double kSpacing = 0.4;
constexpr double kSinkRate = 0.55;
constexpr double kSize = 0.4;
constexpr double kFieldOfView = 65.0;
constexpr double kLayerAspect = 1.3333333333333333;
constexpr double kNear = 0.01;
constexpr double kFar = 174.0;
// Farthest a jellyfish reaches from its position: the glow's corner (half
// size 3 x 0.4, dropped by 0.3) lies further out than the pulsing bell.
constexpr double kReach = 2.1;
constexpr SmallJellyfishLook kLook{8003, 8009, 4003, 2.0, 1.5, 2.5, {0.1f, 0.2f, 0.4f}};
// ----------------------------------------------------------------

void setUpLight() {
    const GLfloat position[4] = {1.0f, 1.0f, 0.0f, 0.0f};
    const GLfloat diffuse[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    const GLfloat ambient[4] = {1.0f, 1.0f, 1.0f, 10.0f};
    glLightfv(GL_LIGHT0, GL_POSITION, position);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
}

} // namespace

double risingJellyfishFade(double tau) {
    return std::sin(tau * 3.1415926535 * 0.025);
}

double risingJellyfishStrength(int i, double tau) {
    return (0.7 * std::sin(0.85 * tau + 0.75 * i) + 0.8) * risingJellyfishFade(tau);
}

TVector risingJellyfishPosition(const JellyPoints& points, int i, double tau) {
    const TVector& p = points[static_cast<std::size_t>(i)];
    return makeKey(p.x, p.y - kSinkRate * tau, p.z);
}

} // namespace segments

void initLayerA(JellyPoints& self) {
    for (std::size_t k = 0; k < self.size(); ++k) {
        const std::int32_t r1 = gfx::lrand();
        const std::int32_t r2 = gfx::lrand();
        const double radius = (r1 % 10000) * segments::kDiscRadius;
        const double angle = (r2 % 10000) * segments::kTurn;
        self[k] = makeKey(radius * std::sin(angle),
                          segments::kSpacing * static_cast<double>(k) + segments::kLowest,
                          radius * std::cos(angle));
    }
}

void renderLayerA(JellyPoints& self, std::int32_t /*cue*/, TextureTable& textures, double* time,
                  OffscreenBuffer& buffer) {
    using namespace segments;
    const double tau = *time;
    if (!layerDrawsAt(Layer::A, tau)) {
        return;
    }
    buffer.makeWindowCurrent();
    const LayerStateScope scope;
    glViewport(0, 0, 800, 600);
    glClear(GL_DEPTH_BUFFER_BIT);

    glBlendFunc(GL_ONE, GL_ONE);
    glPushMatrix();
    glDisable(GL_DEPTH_TEST);
    gfx::loadPerspective(kFieldOfView, kLayerAspect, kNear, kFar);
    glEnable(GL_BLEND);
    gluLookAt(9.0, 41.0, 0.0, 0.0, 30.0, 0.0, 0.0, 0.0, 1.0);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    setUpLight();

    // Entry 0 is never drawn.
    for (int i = 1; i < static_cast<int>(self.size()); ++i) {
        const TVector p = risingJellyfishPosition(self, i, tau);
        glPushMatrix();
        glTranslatef(static_cast<float>(p.x), static_cast<float>(p.y), static_cast<float>(p.z));
        // Many drift out of the view; their bells would only cost vertex work.
        const bool inView = gfx::sphereMayBeVisible(kReach);
        glPopMatrix();
        glPushMatrix();
        drawSmallJellyfish(textures, tau, p, kSize, risingJellyfishStrength(i, tau), kLook,
                           inView ? Drawing::Shown : Drawing::StateOnly);
        glPopMatrix();
    }
    glPopMatrix();
    glFlush();
}
