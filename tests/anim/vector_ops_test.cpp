#include "anim/vector_ops.h"

#include <gtest/gtest.h>

TEST(VectorOps, NormaliseMarksUnitLengthAndZeroesTinyVectors) {
    TVector v = makeKey(3, 4, 0);
    normalise(v);
    EXPECT_DOUBLE_EQ(v.x, 0.6);
    EXPECT_DOUBLE_EQ(v.y, 0.8);
    EXPECT_EQ(v.state, 2);

    TVector tiny = makeKey(1e-9, 0, 0);
    normalise(tiny);
    EXPECT_EQ(tiny.x, 0.0);
    EXPECT_EQ(tiny.state, 2);
}

TEST(VectorOps, NormaliseLeavesStatesOtherThanOneAlone) {
    TVector unit{3, 4, 0, 2};
    normalise(unit);
    EXPECT_EQ(unit.x, 3.0);
    TVector none{3, 4, 0, 0};
    normalise(none);
    EXPECT_EQ(none.x, 3.0);
    EXPECT_EQ(none.state, 0);
}

TEST(VectorOps, OperationsOnAVectorWithoutValueGiveNoValue) {
    const TVector a = makeKey(1, 2, 3);
    const TVector none{5, 5, 5, 0};
    TVector out = makeKey(9, 9, 9);
    subtract(a, none, out);
    EXPECT_EQ(out.x, 0.0);
    EXPECT_EQ(out.state, 0);
    out = makeKey(9, 9, 9);
    add(none, a, out);
    EXPECT_EQ(out.state, 0);
    cross(a, none, out);
    EXPECT_EQ(out.z, 0.0);
    scale(none, 2.0, out);
    EXPECT_EQ(out.state, 0);
}

TEST(VectorOps, ArithmeticWithAliasedOutputs) {
    TVector a = makeKey(1, 2, 3);
    const TVector b = makeKey(4, 6, 8);
    subtract(a, b, a);
    EXPECT_EQ(a.x, -3.0);
    EXPECT_EQ(a.z, -5.0);
    add(a, b, a);
    EXPECT_EQ(a.y, 2.0);

    TVector x = makeKey(1, 0, 0), y = makeKey(0, 1, 0), out;
    cross(x, y, out);
    EXPECT_EQ(out.z, 1.0);
    EXPECT_EQ(out.state, 1);
    cross(y, x, y); // even aliased, every component uses the original inputs
    EXPECT_EQ(y.x, 0.0);
    EXPECT_EQ(y.z, -1.0);
}

TEST(VectorOps, ScaleKeepsUnitState) {
    TVector v = makeKey(0, 0, 2);
    normalise(v);
    scale(v, 3.0, v);
    EXPECT_EQ(v.z, 3.0);
    EXPECT_EQ(v.state, 2);
    normalise(v); // stays as scaled
    EXPECT_EQ(v.z, 3.0);
}
