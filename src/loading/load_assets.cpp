#include "loading/load_assets.h"

#include "loading/loading_sequence.h"

void loadAssets() {
    runLoadingSequence();
}
