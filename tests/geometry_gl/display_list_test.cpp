// Meshes and scenes compiled into display lists, replayed through GL feedback.
#include "geometry/asc_mesh.h"
#include "geometry/scene.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "temp_folder.h"

namespace {

constexpr int kSize = 200;

class DisplayListTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
        window_ =
            SDL_CreateWindow("geometry", 0, 0, kSize, kSize, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
        ASSERT_NE(window_, nullptr) << SDL_GetError();
        context_ = SDL_GL_CreateContext(window_);
        ASSERT_NE(context_, nullptr) << SDL_GetError();
    }

    static void TearDownTestSuite() {
        SDL_GL_DeleteContext(context_);
        SDL_DestroyWindow(window_);
        SDL_Quit();
    }

    void SetUp() override {
        ASSERT_NE(context_, nullptr);
        SDL_GL_MakeCurrent(window_, context_);
        glViewport(0, 0, kSize, kSize);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        folder_ = std::make_unique<hlv_test::TempFolder>("hlv-geometry-gl");
        dir_ = folder_->path();
    }

    void TearDown() override { folder_.reset(); }

    // Writes a file and returns its name with a backslash, as assets are named.
    std::string write(const std::string& name, const std::string& text) {
        std::ofstream(dir_ / name) << text;
        return dir_.string() + "\\" + name;
    }

    // Triangles the list draws, as window-space (x, y) corner triples.
    static std::vector<std::vector<float>> triangles(GLuint list) {
        std::vector<GLfloat> buffer(30000);
        glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D, buffer.data());
        glRenderMode(GL_FEEDBACK);
        glCallList(list);
        const GLint used = glRenderMode(GL_RENDER);
        std::vector<std::vector<float>> result;
        for (GLint i = 0; i < used;) {
            const GLint token = static_cast<GLint>(buffer[i++]);
            if (token != GL_POLYGON_TOKEN) {
                ADD_FAILURE() << "unexpected feedback token " << token;
                break;
            }
            const GLint corners = static_cast<GLint>(buffer[i++]);
            std::vector<float> xy;
            for (GLint c = 0; c < corners; ++c, i += 3) {
                xy.push_back(buffer[i]);
                xy.push_back(buffer[i + 1]);
            }
            result.push_back(xy);
        }
        return result;
    }

    // Window coordinate of a clip-space value.
    static float window(float v) { return (v + 1.0f) * 0.5f * kSize; }

    static SDL_Window* window_;
    static SDL_GLContext context_;
    std::unique_ptr<hlv_test::TempFolder> folder_;
    std::filesystem::path dir_;
};

SDL_Window* DisplayListTest::window_ = nullptr;
SDL_GLContext DisplayListTest::context_ = nullptr;

const char* kSquareMesh = "Tri-mesh, Vertices: 4     Faces: 2\n"
                          "Vertex 0:  X:-2  Y:0  Z:-2\n"
                          "Vertex 1:  X:2   Y:0  Z:-2\n"
                          "Vertex 2:  X:2   Y:0  Z:2\n"
                          "Vertex 3:  X:-2  Y:0  Z:2\n"
                          "Face 0:  A:0 B:1 C:2 AB:1 BC:1 CA:1\nSmoothing:  1\n"
                          "Face 1:  A:0 B:2 C:3 AB:1 BC:1 CA:1\nMaterial:\"r255g0b0a0\"\n";

std::string sceneObject(const char* translation, int mode, int index, int lighting) {
    return std::string(translation) + "\n0,0,0,1\n0.2,0.2,0.2\n1,1,1\n" + std::to_string(mode) +
           "," + std::to_string(index) + "\n0.5,0,0,0\n0,0.5,0,0\n" + std::to_string(lighting) +
           "\n3\n0,0,1,0,0,0\n0,0,1,0.5,0,0\n0,0,1,0,0.5,0\n";
}

} // namespace

TEST_F(DisplayListTest, MeshCompilesScaledTrianglesWithSummedNormals) {
    const std::string path = write("square.asc", kSquareMesh);
    const GLuint list = glGenLists(1);
    glNewList(list, GL_COMPILE);
    const int result = LoadAscMesh(0.5, path.c_str());
    glEndList();
    ASSERT_EQ(result, 1);
    ASSERT_EQ(glGetError(), GLenum(GL_NO_ERROR));

    const auto tris = triangles(list);
    ASSERT_EQ(tris.size(), 2u);
    // File X, Z span -2 .. 2 and become GL x, y in -0.5 .. 0.5 at scale 0.5.
    EXPECT_FLOAT_EQ(tris[0][0], window(-0.5f));
    EXPECT_FLOAT_EQ(tris[0][1], window(-0.5f));
    EXPECT_FLOAT_EQ(tris[0][4], window(0.5f));
    EXPECT_FLOAT_EQ(tris[0][5], window(0.5f));
    EXPECT_FLOAT_EQ(tris[1][4], window(-0.5f));
    EXPECT_FLOAT_EQ(tris[1][5], window(0.5f));

    // The last corner drawn (vertex 3) belongs to one face: a unit normal
    // along z. Vertex 0 and 2 are shared and would give length 2.
    GLfloat normal[3];
    glCallList(list);
    glGetFloatv(GL_CURRENT_NORMAL, normal);
    EXPECT_FLOAT_EQ(std::abs(normal[2]), 1.0f);
    glDeleteLists(list, 1);
}

TEST_F(DisplayListTest, SceneDrawsTranslatedObjectsWithCarriedTextureState) {
    TextureTable textures{};
    GLuint names[2];
    glGenTextures(2, names);
    textures[7304] = names[0];
    textures[7301] = names[1];
    // Mode 1 binds base + 4; mode 3 inherits it; the index is meaningless there.
    const std::string path = write("scene.sce", "2\n" + sceneObject("0.25,0,0", 1, 4, 1) +
                                                    sceneObject("-0.5 ; -0.5 ; 0", 3, 1, 0));
    const GLuint list = glGenLists(1);
    glNewList(list, GL_COMPILE);
    glPushMatrix();
    LoadScene(7300, path.c_str(), textures);
    glPopMatrix();
    glEndList();
    ASSERT_EQ(glGetError(), GLenum(GL_NO_ERROR));

    const auto tris = triangles(list);
    ASSERT_EQ(tris.size(), 2u);
    EXPECT_FLOAT_EQ(tris[0][0], window(0.25f));
    EXPECT_FLOAT_EQ(tris[0][2], window(0.75f));
    EXPECT_FLOAT_EQ(tris[1][0], window(-0.5f));
    EXPECT_FLOAT_EQ(tris[1][5], window(0.0f));

    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), names[0]);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_GEN_S));
    EXPECT_TRUE(glIsEnabled(GL_COLOR_MATERIAL));
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    GLfloat plane[4];
    glGetTexGenfv(GL_S, GL_OBJECT_PLANE, plane);
    EXPECT_FLOAT_EQ(plane[0], 0.5f);
    glDeleteLists(list, 1);
    glDeleteTextures(2, names);
}

namespace {

// One lit, untextured scene object of one triangle with these colours.
std::string litObject(const char* ambient, const char* diffuse) {
    return std::string("0,0,0\n0,0,0,1\n") + ambient + "\n" + diffuse +
           "\n0,0\n0,0,0,0\n0,0,0,0\n1\n3\n0,0,1,0,0,0\n0,0,1,0.5,0,0\n0,0,1,0,0.5,0\n";
}

} // namespace

// Each object's own ambient must reach the material, not the colour that
// was current before it (Mesa applies a tracked colour lazily).
TEST_F(DisplayListTest, SceneObjectsKeepTheirOwnAmbientAndDiffuse) {
    TextureTable textures{};
    const std::string path = write("lit.sce", "2\n" + litObject("0.1,0.2,0.3", "0.9,0.8,0.7") +
                                                  litObject("0.4,0.5,0.6", "0.3,0.2,0.1"));
    glColor3f(0.0f, 0.0f, 0.4f); // a colour left by whatever was drawn before
    const GLuint list = glGenLists(1);
    glNewList(list, GL_COMPILE);
    LoadScene(7300, path.c_str(), textures);
    glEndList();
    glCallList(list);
    GLfloat ambient[4], diffuse[4];
    glGetMaterialfv(GL_FRONT, GL_AMBIENT, ambient);
    glGetMaterialfv(GL_FRONT, GL_DIFFUSE, diffuse);
    EXPECT_FLOAT_EQ(ambient[0], 0.4f);
    EXPECT_FLOAT_EQ(ambient[1], 0.5f);
    EXPECT_FLOAT_EQ(ambient[2], 0.6f);
    EXPECT_FLOAT_EQ(diffuse[0], 0.3f);
    EXPECT_FLOAT_EQ(diffuse[2], 0.1f);
    glDeleteLists(list, 1);
}

// Two objects with one ambient: a list may drop the second ambient as
// redundant, while colour tracking has meanwhile put the first diffuse there.
TEST_F(DisplayListTest, SceneObjectSharingItsNeighboursAmbientStillGetsIt) {
    TextureTable textures{};
    const std::string path = write("same.sce", "2\n" + litObject("0.4,0.5,0.6", "0.9,0.8,0.7") +
                                                   litObject("0.4,0.5,0.6", "0,0,0"));
    const GLuint list = glGenLists(1);
    glNewList(list, GL_COMPILE);
    LoadScene(7300, path.c_str(), textures);
    glEndList();
    glCallList(list);
    GLfloat ambient[4];
    glGetMaterialfv(GL_FRONT, GL_AMBIENT, ambient);
    EXPECT_FLOAT_EQ(ambient[0], 0.4f);
    EXPECT_FLOAT_EQ(ambient[1], 0.5f);
    EXPECT_FLOAT_EQ(ambient[2], 0.6f);
    glDeleteLists(list, 1);
}

TEST_F(DisplayListTest, UntexturedObjectKeepsCoordinateGenerationAndOutOfRangeBindsNothing) {
    TextureTable textures{};
    GLuint name;
    glGenTextures(1, &name);
    textures[7302] = name;
    glBindTexture(GL_TEXTURE_2D, 0);
    const std::string path =
        write("modes.sce", "3\n" + sceneObject("0,0,0", 2, 2, 1) +
                               sceneObject("0,0,0", 2, 5000, 1) + sceneObject("0,0,0", 0, 0, 1));
    const GLuint list = glGenLists(1);
    glNewList(list, GL_COMPILE);
    LoadScene(7300, path.c_str(), textures);
    glEndList();
    glCallList(list);
    ASSERT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), name);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_GEN_T));
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    GLint mode = 0;
    glGetTexGeniv(GL_S, GL_TEXTURE_GEN_MODE, &mode);
    EXPECT_EQ(mode, GL_SPHERE_MAP);
    glDeleteLists(list, 1);
    glDeleteTextures(1, &name);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_GEN_S);
    glDisable(GL_TEXTURE_GEN_T);
    glDisable(GL_COLOR_MATERIAL);
}

TEST_F(DisplayListTest, UnreadableSceneIssuesNoCalls) {
    TextureTable textures{};
    glDisable(GL_COLOR_MATERIAL);
    const GLuint list = glGenLists(1);
    glNewList(list, GL_COMPILE);
    LoadScene(7300, (dir_.string() + "\\missing.sce").c_str(), textures);
    glEndList();
    glCallList(list);
    EXPECT_FALSE(glIsEnabled(GL_COLOR_MATERIAL));
    EXPECT_TRUE(triangles(list).empty());
    glDeleteLists(list, 1);
}
