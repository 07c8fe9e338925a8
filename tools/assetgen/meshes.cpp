#include "assetgen.h"

namespace assetgen {

// Scaffolding: filled in by the asset family's own work.
void generateMeshes(const Pack& /*pack*/) {}

} // namespace assetgen
