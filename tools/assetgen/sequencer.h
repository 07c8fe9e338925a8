// The composition: every note of the soundtrack, laid on the bar grid of the
// timing table, one section per Segment.
#pragma once

#include "synth.h"

#include <vector>

namespace assetgen {

std::vector<synth::Note> composeScore();

} // namespace assetgen
