// Scene files (".sce"): a fixed sequence of numbers describing objects, each a
// triangle soup with placement, colours, texture mode and lighting switch,
// replayed as GL calls into the display list being compiled.
#pragma once

#include "gfx/texture_table.h"

#include <istream>
#include <vector>

struct SceneVertex {
    double normal[3] = {};
    double position[3] = {};
};

struct SceneObject {
    double translation[3] = {};
    double rotation[4] = {}; // angle in degrees, axis x, y, z
    double ambient[3] = {};
    double diffuse[3] = {};
    int textureMode = 0;  // 0 none, 1 planar, 2 sphere map, other: inherit
    int textureIndex = 0; // relative to the base id
    float planeS[4] = {};
    float planeT[4] = {};
    int lighting = 0;
    int vertexCount = 0; // as written in the file
    std::vector<SceneVertex> vertices;
};

struct SceneFile {
    bool opened = false; // false: nothing to draw at all
    std::vector<SceneObject> objects;
};

// Reads the numbers in order; each separator position takes one non-blank
// character whatever it is. A malformed item leaves it and every later field
// at its previous value (stale), finishes the current object and its current
// triangle with those values, and ends the reading there.
SceneFile ParseScene(std::istream& in);

// Issues the GL calls of a parsed scene. Texture indices are relative to
// baseId in textures; one outside the table binds nothing.
void EmitScene(const SceneFile& scene, int baseId, const TextureTable& textures);

// Reads the scene file at path and issues its GL calls; an unreadable file
// issues none.
void LoadScene(int baseId, const char* path, TextureTable& textures);
