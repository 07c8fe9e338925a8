#include "geometry/scene.h"

#include "platform/asset_path.h"

#include <GL/gl.h>

#include <fstream>

namespace {

// Reads numbers in order from the stream. A value that cannot be read keeps
// what the field held before, so a damaged file gives stale values.
class SceneReader {
public:
    explicit SceneReader(std::istream& in) : in_(in) {}

    bool failed() const { return !in_; }

    template <typename T> void read(T& field) {
        T value{};
        if (in_ >> value) {
            field = value;
        }
    }

    // count numbers with one separator character between consecutive ones.
    template <typename T> void readRow(T* fields, int count) {
        for (int i = 0; i < count; ++i) {
            if (i > 0) {
                char separator = 0;
                in_ >> separator;
            }
            read(fields[i]);
        }
    }

private:
    std::istream& in_;
};

void readHeader(SceneReader& reader, SceneObject& object) {
    reader.readRow(object.translation, 3);
    reader.readRow(object.rotation, 4);
    reader.readRow(object.ambient, 3);
    reader.readRow(object.diffuse, 3);
    int mode[2] = {object.textureMode, object.textureIndex};
    reader.readRow(mode, 2);
    object.textureMode = mode[0];
    object.textureIndex = mode[1];
    reader.readRow(object.planeS, 4);
    reader.readRow(object.planeT, 4);
    reader.read(object.lighting);
    reader.read(object.vertexCount);
}

// Reads the object's corners. Once the stream fails, the triangle in progress
// is completed with the stale values (as they would have been drawn) and
// nothing more is read.
void readVertices(SceneReader& reader, SceneObject& object, SceneVertex& vertex) {
    object.vertices.clear();
    for (int v = 0; v < object.vertexCount; ++v) {
        if (reader.failed()) {
            if (v % 3 == 0) {
                break;
            }
        } else {
            double values[6] = {vertex.normal[0],   vertex.normal[1],   vertex.normal[2],
                                vertex.position[0], vertex.position[1], vertex.position[2]};
            reader.readRow(values, 6);
            for (int c = 0; c < 3; ++c) {
                vertex.normal[c] = values[c];
                vertex.position[c] = values[3 + c];
            }
        }
        object.vertices.push_back(vertex);
    }
}

void bindSceneTexture(int baseId, int index, const TextureTable& textures) {
    const long long id = static_cast<long long>(baseId) + index;
    if (id >= 0 && id < static_cast<long long>(textures.size())) {
        glBindTexture(GL_TEXTURE_2D, textures[static_cast<std::size_t>(id)]);
    }
}

void applyTextureMode(const SceneObject& object, int baseId, const TextureTable& textures) {
    if (object.textureMode == 0) {
        glDisable(GL_TEXTURE_2D);
        return;
    }
    if (object.textureMode != 1 && object.textureMode != 2) {
        return; // inherits the previous object's texture state
    }
    glEnable(GL_TEXTURE_2D);
    bindSceneTexture(baseId, object.textureIndex, textures);
    const GLint generation = object.textureMode == 1 ? GL_OBJECT_LINEAR : GL_SPHERE_MAP;
    glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, generation);
    glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, generation);
    if (object.textureMode == 1) {
        glTexGenfv(GL_S, GL_OBJECT_PLANE, object.planeS);
        glTexGenfv(GL_T, GL_OBJECT_PLANE, object.planeT);
    }
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glEnable(GL_TEXTURE_GEN_S);
    glEnable(GL_TEXTURE_GEN_T);
}

void emitObject(const SceneObject& object, int baseId, const TextureTable& textures) {
    glPushMatrix();
    glTranslatef(static_cast<float>(object.translation[0]),
                 static_cast<float>(object.translation[1]),
                 static_cast<float>(object.translation[2]));
    glRotatef(static_cast<float>(object.rotation[0]), static_cast<float>(object.rotation[1]),
              static_cast<float>(object.rotation[2]), static_cast<float>(object.rotation[3]));
    const GLfloat ambient[4] = {static_cast<float>(object.ambient[0]),
                                static_cast<float>(object.ambient[1]),
                                static_cast<float>(object.ambient[2]), 1.0f};
    glColorMaterial(GL_FRONT, GL_AMBIENT);
    glColor3fv(ambient);
    glColorMaterial(GL_FRONT, GL_DIFFUSE);
    // Mesa hands a tracked colour to the material only when it draws or when
    // tracking moves on, and then to the new target: the ambient would get
    // the previous object's diffuse. Once no longer tracked it is written,
    // after a value no object has: a display list drops a material equal to
    // the last one it recorded, unaware that tracking has overwritten it.
    const GLfloat unrecorded[4] = {-1.0f, -1.0f, -1.0f, 1.0f};
    glMaterialfv(GL_FRONT, GL_AMBIENT, unrecorded);
    glMaterialfv(GL_FRONT, GL_AMBIENT, ambient);
    glColor3f(static_cast<float>(object.diffuse[0]), static_cast<float>(object.diffuse[1]),
              static_cast<float>(object.diffuse[2]));
    applyTextureMode(object, baseId, textures);
    if (object.lighting != 0) {
        glEnable(GL_LIGHTING);
    } else {
        glDisable(GL_LIGHTING);
    }
    glBegin(GL_TRIANGLES);
    for (const SceneVertex& v : object.vertices) {
        glNormal3f(static_cast<float>(v.normal[0]), static_cast<float>(v.normal[1]),
                   static_cast<float>(v.normal[2]));
        glVertex3f(static_cast<float>(v.position[0]), static_cast<float>(v.position[1]),
                   static_cast<float>(v.position[2]));
    }
    glEnd();
    glPopMatrix();
}

} // namespace

SceneFile ParseScene(std::istream& in) {
    SceneFile scene;
    scene.opened = static_cast<bool>(in);
    SceneReader reader(in);
    int objectCount = 0;
    reader.read(objectCount);
    // Fields not read keep the previous object's values.
    SceneObject object;
    SceneVertex vertex;
    for (int i = 0; i < objectCount && !reader.failed(); ++i) {
        readHeader(reader, object);
        readVertices(reader, object, vertex);
        scene.objects.push_back(object);
    }
    return scene;
}

void EmitScene(const SceneFile& scene, int baseId, const TextureTable& textures) {
    if (!scene.opened) {
        return;
    }
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_COLOR_MATERIAL);
    glDisable(GL_TEXTURE_2D);
    for (const SceneObject& object : scene.objects) {
        emitObject(object, baseId, textures);
    }
}

void LoadScene(int baseId, const char* path, TextureTable& textures) {
    std::ifstream in(assetPath(path));
    if (!in) {
        return;
    }
    EmitScene(ParseScene(in), baseId, textures);
}
