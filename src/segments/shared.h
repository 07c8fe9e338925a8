// Drawing pieces shared by the Segments, the Layers and the loading screen.
// Each exists once here.
#pragma once

namespace segments {

// Selects the projection matrix, multiplies in a perspective with the given
// field of view, aspect 4/3 (single precision), near 0.001 and far 157, and
// returns to the modelview matrix. Writes the aspect into *aspectField when
// the Segment keeps one.
void setUpPerspective(double fovDegrees, float* aspectField = nullptr);

// Scaffolding picture for an effect whose own drawing has not landed yet: a
// cleared screen in a colour that tells the Segments apart.
void drawScaffoldingFrame(float r, float g, float b);

} // namespace segments
