// Pictures made by offline renderers (POV-Ray, Blender) are committed in
// tools/render/ beside the scripts that make them (render.sh remakes them);
// the generator reads them from there like any other source of pixels.
#pragma once

#include "image.h"

#include <string>

namespace assetgen {

// The committed render `file` (a name in the render folder) as a float
// picture, row 0 at the top, resampled to width x height with an area filter
// when its size differs. Throws std::runtime_error naming the file when it is
// missing or unreadable.
Image renderedPicture(const std::string& file, int width, int height);

} // namespace assetgen
