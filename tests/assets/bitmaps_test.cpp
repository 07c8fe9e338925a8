// The sea floor bitmaps read by the production's BMP reader and turned into
// the underwater landscape by its own relief routines.
#include "asset_dir.h"
#include "geometry/relief_grids.h"
#include "imaging/bmp_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

TEST(SeaFloorBitmaps, LoadWithTheirSizes) {
    const auto net = LoadBmpRgb(packFile("bsp5.bmp").c_str());
    const auto text = LoadBmpRgb(packFile("graytext3.bmp").c_str());
    ASSERT_TRUE(net && text);
    EXPECT_EQ(net->width, 128);
    EXPECT_EQ(net->height, 32);
    EXPECT_EQ(text->width, 128);
    EXPECT_EQ(text->height, 137);
    // Both are addressed with 384-byte rows, so the stride must be exactly that.
    EXPECT_EQ(net->stride, 384u);
    EXPECT_EQ(text->stride, 384u);
    // The transposed reads of the fine relief stay inside the image.
    EXPECT_LT(134u * 384 + 134 * 3, text->bytes.size());
}

TEST(SeaFloorBitmaps, NetNeverHoldsTheSpikeValue) {
    const auto net = LoadBmpRgb(packFile("bsp5.bmp").c_str());
    ASSERT_TRUE(net);
    for (int j = 0; j < kControlNetSize; ++j) {
        for (int k = 0; k < kControlNetSize; ++k) {
            EXPECT_NE(net->byteAt(j * 384 + k * 3), 0) << j << ", " << k;
        }
    }
}

// Height of the drawn terrain (GL y = 0.1 z) at relief point (a, b).
double terrainHeight(const ReliefGrids& g, int a, int b) {
    return 0.1 * g.relief[a][b].z;
}

// The sea floor's relief as the Segment builds it from the pack's bitmaps;
// null when either bitmap cannot be read.
std::unique_ptr<ReliefGrids> seaFloorRelief() {
    const auto net = LoadBmpRgb(packFile("bsp5.bmp").c_str());
    const auto text = LoadBmpRgb(packFile("graytext3.bmp").c_str());
    if (!net || !text) {
        return nullptr;
    }
    auto grids = std::make_unique<ReliefGrids>();
    double sx = 0.1, sy = 0.1;
    BuildReliefGrids(*grids, net.get(), sx, sy);
    AddTextRelief(*grids, 2, text.get());
    return grids;
}

TEST(SeaFloorBitmaps, MakeHillsAndValleysUnderTheMirrors) {
    const auto grids = seaFloorRelief();
    ASSERT_TRUE(grids);

    // The drawn part of the floor (rows and columns 6 .. 132).
    double lowest = 1e9, highest = -1e9;
    for (int a = 6; a <= 132; ++a) {
        for (int b = 6; b <= 132; ++b) {
            lowest = std::min(lowest, terrainHeight(*grids, a, b));
            highest = std::max(highest, terrainHeight(*grids, a, b));
        }
    }
    // The camera looks with -y up, orbiting at y = -2 .. -3.3: the hills
    // (smaller y) stay well below it, and hills and valleys differ clearly.
    EXPECT_GT(lowest, -1.5);
    EXPECT_LT(highest, 4.0);
    EXPECT_GT(highest - lowest, 1.5);

    // The standing mirrors (1.1 high around y = -0.1, at x = 0.5 and x = -4
    // on z = 0) reach down to about y = 1.1: the floor under them is near there.
    const auto relief = [&](double x) {
        return static_cast<int>(std::lround((x * 5 + 40.5) / 0.6));
    };
    const int row0 = relief(0.0);
    EXPECT_GT(terrainHeight(*grids, relief(-0.5), row0), 0.3) << "under the first camera position";
    for (double x : {0.5, -4.0}) {
        const double h = terrainHeight(*grids, relief(x), row0);
        EXPECT_GT(h, 0.5) << "mirror at x = " << x;
        EXPECT_LT(h, 1.8) << "mirror at x = " << x;
    }
}

// The drawn floor (every second point from row and column 6) lit as the
// Segment lights it: directional light from (2 sin, -2, 0), the normal sent
// with y and z exchanged and not normalised.
TEST(SeaFloorBitmaps, RippleFlanksCatchTheSwingingLight) {
    const auto grids = seaFloorRelief();
    ASSERT_TRUE(grids);
    ComputeCellNormals(*grids);

    const auto litShare = [&](double side) {
        const double length = std::sqrt(side * side + 1.0);
        int lit = 0, drawn = 0;
        for (int a = 6; a <= 132; a += 2) {
            for (int b = 8; b <= 132; b += 2) {
                const TVector& n = grids->cellNormals[a][b];
                // GL normal (n.x, n.z, n.y) against the unit light direction.
                const double diffuse = (n.x * side - n.z) / length;
                lit += diffuse > 0.2 ? 1 : 0;
                ++drawn;
            }
        }
        return static_cast<double>(lit) / drawn;
    };
    // With the light to either side a good part of the floor is clearly lit
    // (true ripple normals lit almost nothing), and never all of it: the
    // other flanks stay in shade.
    for (double side : {1.0, -1.0}) {
        EXPECT_GT(litShare(side), 0.25) << "light side " << side;
        EXPECT_LT(litShare(side), 0.75) << "light side " << side;
    }
    // Part-way through its swing it still lights some flanks.
    EXPECT_GT(litShare(0.6), 0.08);
    EXPECT_GT(litShare(-0.6), 0.08);
    // Straight overhead the light falls on the normals' backs.
    EXPECT_LT(litShare(0.0), 0.01);
}

} // namespace
