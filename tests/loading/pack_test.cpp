// The whole generated pack loaded through the real loading sequence.
#include <GL/gl.h>

#include <filesystem>
#include <set>

#include <gtest/gtest.h>

#include "anim/music_cue_table.h"
#include "gfx/texture_table.h"
#include "loading/loading_sequence.h"
#include "loading_support.h"
#include "platform/asset_path.h"
#include "timeline/timeline.h"

using namespace loading_test;

namespace {

bool isTexture(const LoadAction& action) {
    return action.kind == LoadKind::Texture || action.kind == LoadKind::TextureWithAlpha;
}
bool isList(const LoadAction& action) {
    return action.kind == LoadKind::Mesh || action.kind == LoadKind::MeshInOwnMatrix ||
           action.kind == LoadKind::Scene;
}

} // namespace

TEST(LoadingList, StepsShowGrowingProgressAndNameFilesOfThePack) {
    const auto& steps = loadingSteps();
    ASSERT_EQ(steps.size(), 87u);
    EXPECT_EQ(steps.front().progress, 0.0);
    EXPECT_EQ(steps[85].progress, 414.0);
    EXPECT_LT(steps.back().progress, 0.0); // the cue table step shows nothing
    for (std::size_t i = 1; i + 1 < steps.size(); ++i) {
        EXPECT_GT(steps[i].progress, steps[i - 1].progress) << "step " << i + 1;
    }
    for (const LoadingStep& step : steps) {
        for (const LoadAction& action : step.actions) {
            for (const char* file : {action.file, action.secondFile}) {
                if (file != nullptr) {
                    EXPECT_TRUE(
                        std::filesystem::exists(std::string(HLV_BUILD_DIR) + "/" + assetPath(file)))
                        << file;
                }
            }
        }
    }
}

TEST(LoadedPack, EveryTextureAndListExists) {
    ASSERT_TRUE(ensurePackLoaded()) << "the generated pack did not load";
    // The table as loading left it: other tests may borrow free slots later.
    const TextureTable& table = textureTableAfterLoading();
    std::set<int> textureIds;
    for (const LoadingStep& step : loadingSteps()) {
        for (const LoadAction& action : step.actions) {
            if (isTexture(action)) {
                textureIds.insert(action.id);
                EXPECT_NE(table[action.id], 0u) << "texture " << action.id;
                EXPECT_TRUE(glIsTexture(table[action.id])) << "texture " << action.id;
            }
            if (isList(action)) {
                EXPECT_TRUE(glIsList(GLuint(action.id))) << "list " << action.id;
            }
        }
    }
    // Nothing else was written into the table.
    for (int id = 0; id < kTextureTableSize; ++id) {
        if (!textureIds.count(id)) {
            EXPECT_EQ(table[id], 0u) << "slot " << id;
        }
    }
    EXPECT_EQ(table[1980], 0u);
}

TEST(LoadedPack, SameFileInSeveralSlotsGetsItsOwnTextures) {
    ASSERT_TRUE(ensurePackLoaded()) << "the generated pack did not load";
    std::set<std::uint32_t> names;
    for (int id : {1990, 1991, 1992, 1993, 1110, 1111, 4280, 4281, 4282, 7280, 7281}) {
        ASSERT_NE(textureTable[id], 0u) << id;
        EXPECT_TRUE(names.insert(textureTable[id]).second) << "slot " << id << " shares a name";
    }
    // Each copy has the file's full 256 x 256 picture.
    glBindTexture(GL_TEXTURE_2D, textureTable[7281]);
    GLint width = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    EXPECT_EQ(width, 256);
}

TEST(LoadedPack, IdsSharedByTexturesAndListsAreSeparateAssets) {
    ASSERT_TRUE(ensurePackLoaded()) << "the generated pack did not load";
    for (int id : {1, 1901, 7103, 7202, 8001, 8002, 8003}) {
        EXPECT_NE(textureTable[id], 0u) << id;
        EXPECT_TRUE(glIsList(GLuint(id))) << id;
    }
    glBindTexture(GL_TEXTURE_2D, textureTable[8001]);
    GLint alphaBits = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_ALPHA_SIZE, &alphaBits);
    EXPECT_GT(alphaBits, 0) << "8001 takes its alpha from gradient.png";
    glBindTexture(GL_TEXTURE_2D, textureTable[8002]);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_ALPHA_SIZE, &alphaBits);
    EXPECT_EQ(alphaBits, 0);
}

TEST(LoadedPack, EndsByStartingSegmentOneAndTheMusic) {
    ASSERT_TRUE(ensurePackLoaded()) << "the generated pack did not load";
    EXPECT_EQ(timeline::segmentIndex, 1);
    EXPECT_EQ(musicStarts(), 1);
    EXPECT_GE(lastMusicHandle(), 0);
    EXPECT_GT(musicCueTable.count(), 0);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}
