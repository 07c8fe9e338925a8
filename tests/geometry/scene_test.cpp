#include "geometry/scene.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace {

// Object header rows after the translation: rotation, ambient, diffuse,
// texture mode and index, S plane, T plane, lighting flag.
std::string headerAfterTranslation(int mode, int index, int vertexCount) {
    return "90,0,1,0\n0.1,0.2,0.3\n0.7,0.8,0.9\n" + std::to_string(mode) + "," +
           std::to_string(index) + "\n1,0,0,0\n0,1,0,0\n1\n" + std::to_string(vertexCount) + "\n";
}

std::string vertexRow(double v) {
    const std::string s = std::to_string(v);
    return "0,0,1," + s + "," + s + "," + s + "\n";
}

SceneFile parse(const std::string& text) {
    std::istringstream in(text);
    return ParseScene(in);
}

} // namespace

TEST(SceneParser, AnyNonBlankCharacterSeparatesNumbers) {
    for (const char* translation : {"1,2,3", "1;2;3", "1 , 2 , 3", "1,\n2,\n3", "1x2|3"}) {
        const SceneFile scene =
            parse(std::string("1\n") + translation + "\n" + headerAfterTranslation(1, 4, 3) +
                  vertexRow(1) + vertexRow(2) + vertexRow(3));
        ASSERT_EQ(scene.objects.size(), 1u) << translation;
        const SceneObject& o = scene.objects[0];
        EXPECT_EQ(o.translation[0], 1.0) << translation;
        EXPECT_EQ(o.translation[1], 2.0) << translation;
        EXPECT_EQ(o.translation[2], 3.0) << translation;
        EXPECT_EQ(o.rotation[0], 90.0);
        EXPECT_DOUBLE_EQ(o.diffuse[2], 0.9);
        EXPECT_EQ(o.textureMode, 1);
        EXPECT_EQ(o.textureIndex, 4);
        EXPECT_EQ(o.planeT[1], 1.0f);
        EXPECT_EQ(o.lighting, 1);
        ASSERT_EQ(o.vertices.size(), 3u);
        EXPECT_EQ(o.vertices[2].position[1], 3.0);
        EXPECT_EQ(o.vertices[2].normal[2], 1.0);
    }
}

TEST(SceneParser, BlankInsteadOfSeparatorSwallowsADigit) {
    const SceneFile scene = parse("1\n1 2 3\n" + headerAfterTranslation(0, 0, 0));
    ASSERT_FALSE(scene.objects.empty());
    const SceneObject& o = scene.objects[0];
    EXPECT_EQ(o.translation[0], 1.0);
    EXPECT_NE(o.translation[1], 2.0);
}

TEST(SceneParser, EmptyAndUnreadableFiles) {
    const SceneFile none = parse("0\n");
    EXPECT_TRUE(none.opened);
    EXPECT_TRUE(none.objects.empty());
    EXPECT_TRUE(parse("garbage").objects.empty());
    EXPECT_TRUE(parse("-3\n").objects.empty());
}

TEST(SceneParser, DamagedObjectKeepsStaleValuesAndEndsTheFile) {
    const std::string first =
        "5,6,7\n" + headerAfterTranslation(2, 1, 3) + vertexRow(1) + vertexRow(2) + vertexRow(3);
    // The second object breaks in its rotation: everything after it is stale.
    const SceneFile scene = parse("4\n" + first + "8,9,10\n90,x,0,0\n");
    ASSERT_EQ(scene.objects.size(), 2u);
    const SceneObject& o = scene.objects[1];
    EXPECT_EQ(o.translation[0], 8.0);
    EXPECT_EQ(o.rotation[0], 90.0);
    EXPECT_EQ(o.rotation[2], 1.0); // from the first object
    EXPECT_EQ(o.textureMode, 2);
    EXPECT_TRUE(o.vertices.empty());
}

TEST(SceneParser, BrokenVertexCompletesItsTriangleAndStops) {
    const SceneFile scene = parse("1\n0,0,0\n" + headerAfterTranslation(0, 0, 9) + vertexRow(1) +
                                  vertexRow(2) + vertexRow(3) + vertexRow(4) + "0,0,1,5,?\n");
    ASSERT_EQ(scene.objects.size(), 1u);
    const auto& v = scene.objects[0].vertices;
    ASSERT_EQ(v.size(), 6u);
    EXPECT_EQ(v[4].position[0], 5.0);
    EXPECT_EQ(v[4].position[1], 4.0); // stale from the vertex before
    EXPECT_EQ(v[5].position[0], 5.0);
}

TEST(SceneParser, CountsBeyondTheDataEndAtOnce) {
    const SceneFile scene =
        parse("2000000000\n0,0,0\n" + headerAfterTranslation(0, 0, 2000000000) + vertexRow(1));
    ASSERT_EQ(scene.objects.size(), 1u);
    EXPECT_EQ(scene.objects[0].vertices.size(), 3u);

    // A vertex count that is not a multiple of three is kept as written.
    const SceneFile partial = parse("1\n0,0,0\n" + headerAfterTranslation(0, 0, 4) + vertexRow(1) +
                                    vertexRow(2) + vertexRow(3) + vertexRow(4));
    EXPECT_EQ(partial.objects[0].vertices.size(), 4u);
}
