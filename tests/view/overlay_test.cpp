// What the overlay reports and where its dots go, without GL.
#include <gtest/gtest.h>

#include <algorithm>

#include "view/overlay.h"

namespace {

bool lit(const std::vector<view::Dot>& dots, int x, int y) {
    return std::any_of(dots.begin(), dots.end(),
                       [&](const view::Dot& d) { return d.x == x && d.y == y; });
}

TEST(Overlay, LayersDrawOnlyStrictlyAfterTheirStartAndUntilTheirEnd) {
    EXPECT_TRUE(view::drawingLayers(540.0).empty());
    ASSERT_EQ(view::drawingLayers(540.5).size(), 1u);
    EXPECT_EQ(view::drawingLayers(540.5)[0].substr(0, 1), "A");
    // Layer B's clock starts at 682, so its first frames are at about 9.78.
    const std::vector<std::string> b = view::drawingLayers(690.0001);
    ASSERT_EQ(b.size(), 1u) << "A has ended by then: (690 - 540) x 0.79 > 40";
    EXPECT_EQ(b[0], "B 9.78");
    EXPECT_EQ(view::drawingLayers(1553.6).size(), 1u); // only D is left then
}

TEST(Overlay, TextIsLaidOutGlyphByGlyphAndLineByLine) {
    // '1' has its top row's middle dot lit, ' ' nothing; letters share a case.
    EXPECT_EQ(view::glyphRows('a'), view::glyphRows('A'));
    EXPECT_EQ(view::glyphRows('~'), view::GlyphRows{});
    const std::vector<view::Dot> dots = view::layOutText({" 1", "", "1"});
    const int secondColumn = view::kTextLeft + view::kAdvance;
    EXPECT_TRUE(lit(dots, secondColumn + 2 * view::kDotSize, view::kTextTop));
    EXPECT_FALSE(lit(dots, view::kTextLeft + 2 * view::kDotSize, view::kTextTop));
    EXPECT_TRUE(
        lit(dots, view::kTextLeft + 2 * view::kDotSize, view::kTextTop + 2 * view::kLineHeight));
    const view::Box box = view::textBox({" 1", "", "1"});
    for (const view::Dot& d : dots) {
        EXPECT_GE(d.x, box.x);
        EXPECT_LE(d.x + view::kDotSize, box.x + box.width);
        EXPECT_LE(d.y + view::kDotSize, box.y + box.height);
    }
}

} // namespace
