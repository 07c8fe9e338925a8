#include "segments/layers.h"

// SCAFFOLDING: the Layers' own effects have not landed yet. Each returns at
// once, as it will once its time passes its end value.

JellyPoints jellyPoints;
inter0 inter0Object;
inter1 inter1Object;
inter2 inter2Object;

void initLayerA(JellyPoints& /*self*/) {}
void initLayerB(inter1& /*self*/) {}
void initLayerC(inter2& /*self*/) {}
void initLayerD(inter0& /*self*/) {}

void renderLayerA(JellyPoints&, std::int32_t, TextureTable&, double*, OffscreenBuffer&) {}
void renderLayerB(inter1&, std::int32_t, TextureTable&, double*, OffscreenBuffer&) {}
void renderLayerC(inter2&, std::int32_t, TextureTable&, double*, OffscreenBuffer&) {}
void renderLayerD(inter0&, std::int32_t, TextureTable&, double*, OffscreenBuffer&) {}
