#include "geometry/relief_grids.h"

#include "anim/vector_ops.h"

namespace {

constexpr int kPatchPoints = 15;
constexpr int kPatchStep = 5;

// Height of control point (row, column) addressed as the net is laid out, row
// after row: a column past the last wraps into the next row, and points past
// the end of the net read as 0 (nothing behind the net has a height yet when
// the relief is shaped).
double controlHeight(const ReliefGrids& grids, int row, int column) {
    const int index = row * kControlNetSize + column;
    if (index < 0 || index >= kControlNetSize * kControlNetSize) {
        return 0.0;
    }
    return grids.controlNet[index / kControlNetSize][index % kControlNetSize].z;
}

std::uint8_t imageByte(const BmpRgbImage* image, std::size_t offset) {
    return image ? image->byteAt(offset) : 0;
}

using Matrix4 = double[4][4];

void multiply(const Matrix4& a, const Matrix4& b, Matrix4& out) {
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            double sum = 0.0;
            for (int i = 0; i < 4; ++i) {
                sum += a[r][i] * b[i][c];
            }
            out[r][c] = sum;
        }
    }
}

// G = B P B^T for the patch whose control points start at (j - 1, k - 1).
void patchGeometry(const ReliefGrids& grids, int j, int k, Matrix4& g) {
    static const Matrix4 basis = {{-1.0 / 6, 3.0 / 6, -3.0 / 6, 1.0 / 6},
                                  {3.0 / 6, -6.0 / 6, 3.0 / 6, 0.0},
                                  {-3.0 / 6, 0.0, 3.0 / 6, 0.0},
                                  {1.0 / 6, 4.0 / 6, 1.0 / 6, 0.0}};
    Matrix4 basisT, p, bp;
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            basisT[r][c] = basis[c][r];
            p[r][c] = controlHeight(grids, j - 1 + r, k - 1 + c);
        }
    }
    multiply(basis, p, bp);
    multiply(bp, basisT, g);
}

// [u^3, u^2, u, 1] G [v^3, v^2, v, 1]^T
double patchSurface(const Matrix4& g, double u, double v) {
    const double us[4] = {u * u * u, u * u, u, 1.0};
    const double vs[4] = {v * v * v, v * v, v, 1.0};
    double sum = 0.0;
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            sum += us[r] * g[r][c] * vs[c];
        }
    }
    return sum;
}

void addPatch(ReliefGrids& grids, int j, int k) {
    Matrix4 g;
    patchGeometry(grids, j, k, g);
    for (int l = 0; l < kPatchPoints; ++l) {
        for (int i = 0; i < kPatchPoints; ++i) {
            const double u = l / 15.0;
            const double v = i / 15.0;
            TVector& point = grids.relief[kPatchStep * (j - 1) + i][kPatchStep * (k - 1) + l];
            point.z += BSplineBump(u) * BSplineBump(v) * 4 * patchSurface(g, u, v);
        }
    }
}

} // namespace

void BuildReliefGrids(ReliefGrids& grids, const BmpRgbImage* image, double& sx, double& sy) {
    sx *= 6;
    sy *= 6;
    const double hx = kReliefSize * sx * 0.5;
    const double hy = kReliefSize * sy * 0.5;
    for (int a = 0; a < kReliefSize; ++a) {
        for (int b = 0; b < kReliefSize; ++b) {
            grids.relief[a][b] = makeKey((a * sx - hx) * 2, (b * sy - hy) * 2, 0.0);
        }
    }
    for (int j = 0; j < kControlNetSize; ++j) {
        for (int k = 0; k < kControlNetSize; ++k) {
            const int p =
                imageByte(image, static_cast<std::size_t>(j) * kReliefImageRowBytes + k * 3);
            const double z = p == 0 ? 31.0 : 11.0 - 0.064 * p;
            grids.controlNet[j][k] = makeKey(kPatchStep * j * sx - hx, kPatchStep * k * sy - hy, z);
        }
    }
}

double BSplineBump(double t) {
    const double s = 3.64 * t;
    if (s <= 0.0 || s > 4.0) {
        return 0.0;
    }
    if (s <= 1.0) {
        return s * s * s / 6;
    }
    if (s <= 2.0) {
        const double u = s - 1;
        return (-3 * u * u * u + 3 * u * u + 3 * u + 1) / 6;
    }
    if (s <= 3.0) {
        const double u = s - 2;
        return (3 * u * u * u - 6 * u * u + 4) / 6;
    }
    const double u = s - 3;
    return (-u * u * u + 3 * u * u - 3 * u + 1) / 6;
}

void AddTextRelief(ReliefGrids& grids, int mode, const BmpRgbImage* textImage) {
    // The text image is read transposed: relief (a, b) takes image row b,
    // image column a.
    for (int a = 0; a < kReliefSize; ++a) {
        for (int b = 0; b < kReliefSize; ++b) {
            const int q =
                imageByte(textImage, static_cast<std::size_t>(b) * kReliefImageRowBytes + a * 3);
            grids.relief[a][b].z = 0.03 * q - 4;
        }
    }
    const int first = mode > 10 ? 3 : 1;
    const int last = mode > 10 ? 6 : 25;
    const int savedRow = grids.patchRow;
    const int savedColumn = grids.patchColumn;
    for (int j = first; j <= last; ++j) {
        for (int k = first; k <= last; ++k) {
            grids.patchRow = kPatchStep * j;
            grids.patchColumn = kPatchStep * k;
            addPatch(grids, j, k);
        }
    }
    grids.patchRow = savedRow;
    grids.patchColumn = savedColumn;
}

void ComputeCellNormals(ReliefGrids& grids) {
    for (int a = 0; a + 1 < kReliefSize; ++a) {
        for (int b = 0; b + 1 < kReliefSize; ++b) {
            const TVector& p = grids.relief[a][b];
            const TVector& r = grids.relief[a][b + 1];
            const TVector& d = grids.relief[a + 1][b];
            TVector down, across;
            normalise(subtract(d, r, down));
            normalise(subtract(p, r, across));
            cross(across, down, grids.cellNormals[a][b]);
        }
    }
}
