// The height grids of the underwater landscape: a coarse control net read from
// a bitmap shapes smooth bumps added onto a fine relief read from a text image.
#pragma once

#include "anim/tvector.h"
#include "imaging/bmp_reader.h"

inline constexpr int kReliefSize = 135;
inline constexpr int kControlNetSize = 27;
// Byte length of an image row as the grids address it (128 pixels).
inline constexpr int kReliefImageRowBytes = 384;

struct ReliefGrids {
    TVector relief[kReliefSize][kReliefSize];
    TVector secondArea[kReliefSize][kReliefSize]; // not written by the grid routines
    TVector controlNet[kControlNetSize][kControlNetSize];
    // One normal per relief cell; 134 x 134 are used.
    TVector cellNormals[kReliefSize][kReliefSize];
    // Patch origin (5 j, 5 k) while AddTextRelief runs; restored at its end.
    int patchRow = 0;
    int patchColumn = 0;
};

// Lays out the relief grid and the control net; the net heights come from the
// red bytes of the image (0 -> 31, p -> 11 - 0.064 p). sx and sy are multiplied
// by 6 in place.
void BuildReliefGrids(ReliefGrids& grids, const BmpRgbImage* image, double& sx, double& sy);

// The uniform cubic B-spline basis on [0, 4] at s = 3.64 t; 0 outside (0, 4].
double BSplineBump(double t);

// Sets the relief heights from the text image (read transposed) and adds the
// overlapping bicubic bumps shaped by the control net. Mode > 10 limits the
// patches to 3 .. 6.
void AddTextRelief(ReliefGrids& grids, int mode, const BmpRgbImage* textImage);

// Cell normal (a, b) = normalise(P - R) x normalise(D - R) with P = (a, b),
// R = (a, b + 1), D = (a + 1, b); not normalised again.
void ComputeCellNormals(ReliefGrids& grids);
