#include "segments/shared.h"

#include <GL/gl.h>
#include <GL/glu.h>

namespace segments {

void setUpPerspective(double fovDegrees, float* aspectField) {
    const float aspect = 4.0f / 3.0f;
    if (aspectField != nullptr) {
        *aspectField = aspect;
    }
    glMatrixMode(GL_PROJECTION);
    gluPerspective(fovDegrees, aspect, 0.001, 157.0);
    glMatrixMode(GL_MODELVIEW);
}

void drawScaffoldingFrame(float r, float g, float b) {
    glClearColor(r, g, b, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

} // namespace segments
