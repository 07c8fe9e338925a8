// The credits' ribbon ring as the mesh builds it, in its fitted cube, shared
// with its skin: the skin is projected along the ring's axis, so it can only
// follow the ribbon if it knows where the ring lies.
#pragma once

namespace assetgen {

// The ring's middle sits this far toward -x and less far toward -y (-y is up
// in the trail's view, and the first copy's spin about y keeps that part of
// its offset, lighting the band's top edge), with the radius and the band's
// half-width below; it ends 0.01 inside the cube.
constexpr double kTwirlOffsetX = 0.45;
constexpr double kTwirlOffsetY = 0.25;
constexpr double kTwirlRadius = 0.34;
constexpr double kTwirlHalfWidth = 0.2;

} // namespace assetgen
