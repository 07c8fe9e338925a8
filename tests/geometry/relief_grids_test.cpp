#include "geometry/relief_grids.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace {

// A 128-pixel-wide image (384-byte rows) filled by value(row, column).
template <typename F> BmpRgbImage makeImage(int height, F value) {
    BmpRgbImage image;
    image.width = 128;
    image.height = height;
    image.stride = 384;
    image.bytes.assign(static_cast<std::size_t>(384) * height, 0);
    for (int r = 0; r < height; ++r) {
        for (int c = 0; c < 128; ++c) {
            image.bytes[static_cast<std::size_t>(r) * 384 + c * 3] = value(r, c);
        }
    }
    return image;
}

} // namespace

TEST(ReliefGrids, ControlNetHeightsAndSpacings) {
    auto grids = std::make_unique<ReliefGrids>();
    const BmpRgbImage net = makeImage(32, [](int r, int c) {
        return static_cast<std::uint8_t>(r == 0 && c == 1 ? 1 : (r == 2 && c == 3 ? 255 : 0));
    });
    double sx = 0.1, sy = 0.1;
    BuildReliefGrids(*grids, &net, sx, sy);
    EXPECT_DOUBLE_EQ(sx, 0.6);
    EXPECT_DOUBLE_EQ(sy, 0.6);
    EXPECT_DOUBLE_EQ(grids->controlNet[0][0].z, 31.0);
    EXPECT_DOUBLE_EQ(grids->controlNet[0][1].z, 10.936);
    EXPECT_DOUBLE_EQ(grids->controlNet[2][3].z, -5.32);
    EXPECT_DOUBLE_EQ(grids->relief[0][0].x, -81.0);
    EXPECT_NEAR(grids->relief[134][0].x, 79.8, 1e-9);
    EXPECT_NEAR(grids->relief[0][134].y, 79.8, 1e-9);
    EXPECT_DOUBLE_EQ(grids->controlNet[0][0].x, -40.5);
    EXPECT_NEAR(grids->controlNet[26][0].x, 37.5, 1e-9);
    EXPECT_NEAR(grids->controlNet[0][26].y, 37.5, 1e-9);
    EXPECT_EQ(grids->relief[5][7].state, 1);
    EXPECT_EQ(grids->controlNet[5][7].state, 1);
}

TEST(ReliefGrids, BSplineBumpShape) {
    EXPECT_EQ(BSplineBump(0.0), 0.0);
    EXPECT_NEAR(BSplineBump(2 / 3.64), 2.0 / 3, 1e-12);
    EXPECT_NEAR(BSplineBump(1 / 3.64), 1.0 / 6, 1e-12);
    EXPECT_EQ(BSplineBump(4.5 / 3.64), 0.0);
    EXPECT_EQ(BSplineBump(-0.1), 0.0);
    // The pieces join continuously.
    for (double s : {1.0, 2.0, 3.0}) {
        EXPECT_NEAR(BSplineBump((s - 1e-9) / 3.64), BSplineBump((s + 1e-9) / 3.64), 1e-8);
    }
}

TEST(ReliefGrids, TextReliefIsReadTransposedAndBumpsAdd) {
    auto grids = std::make_unique<ReliefGrids>();
    const BmpRgbImage zeroNet = makeImage(32, [](int, int) { return std::uint8_t{0}; });
    double sx = 0.1, sy = 0.1;
    BuildReliefGrids(*grids, &zeroNet, sx, sy); // every net height 31
    const BmpRgbImage text = makeImage(
        137, [](int r, int c) { return static_cast<std::uint8_t>(r == 10 && c == 2 ? 100 : 0); });
    grids->patchRow = 17;
    // Mode > 10 shapes only patches 3 .. 6, far from relief (2, 10).
    AddTextRelief(*grids, 11, &text);
    EXPECT_EQ(grids->patchRow, 17);
    EXPECT_DOUBLE_EQ(grids->relief[2][10].z, 0.03 * 100 - 4); // image row 10, column 2
    EXPECT_DOUBLE_EQ(grids->relief[10][2].z, -4.0);
    EXPECT_DOUBLE_EQ(grids->relief[100][100].z, -4.0);

    // A flat net of 31 makes every patch the constant 31 (the basis sums to
    // one), so a point gets 4 * 31 * the sum of its bump weights.
    const double bump = BSplineBump(5 / 15.0);
    AddTextRelief(*grids, 2, &text);
    // Relief (row 30, column 30) lies at offset 10 in patches j = k = 5, at 5
    // in j = k = 6, and at 0 in j = k = 7 (where the bump is 0).
    const double w10 = BSplineBump(10 / 15.0), w5 = bump;
    const double weights = (w10 + w5) * (w10 + w5);
    EXPECT_NEAR(grids->relief[30][30].z, -4.0 + 4 * 31 * weights, 1e-9);
}

TEST(ReliefGrids, CellNormalsAreCrossProductsOfUnitEdges) {
    auto grids = std::make_unique<ReliefGrids>();
    double sx = 0.1, sy = 0.1;
    BuildReliefGrids(*grids, nullptr, sx, sy);
    grids->relief[1][0].z = 1.2; // tilt the first cell
    ComputeCellNormals(*grids);
    // Flat cell: P - R = (0, -1.2, 0), D - R = (1.2, -1.2, 0) -> (0, 0, 1/sqrt 2).
    const TVector& flat = grids->cellNormals[50][50];
    EXPECT_NEAR(flat.x, 0.0, 1e-12);
    EXPECT_NEAR(flat.z, 1 / std::sqrt(2.0), 1e-12);
    EXPECT_EQ(flat.state, 1);
    const TVector& tilted = grids->cellNormals[0][0];
    EXPECT_LT(tilted.z, flat.z);
    EXPECT_NE(tilted.x, 0.0);
}
