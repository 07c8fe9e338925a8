#include "segments/layer_state.h"

#include <GL/gl.h>

namespace segments {

LayerStateScope::LayerStateScope() {
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
}

LayerStateScope::~LayerStateScope() {
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glPopAttrib(); // also the Segment's matrix mode
}

} // namespace segments
