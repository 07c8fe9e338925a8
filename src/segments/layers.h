// The four Layers drawn over the Segments from fixed global times on, in
// drawing order: A rising jellyfish, B goldfish, C tile break-up, D star
// fractal. Each lives in its own source; this is what the Segment table uses.
#pragma once

#include "segments/goldfish.h"
#include "segments/rising_jellyfish.h"
#include "segments/star_fractal.h"
#include "segments/tile_breakup.h"
