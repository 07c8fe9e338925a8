// hlv-mesh-sheet PACK OUT.png [MESH...]: every mesh of the asset pack (or the
// named ones), read by the production's loader, lit and turned to an oblique
// view on grey, each filling its cell, labelled, in one contact sheet; then
// the gallery scene files seen from the gallery camera's telling positions.
// Drawn in software so it runs without a display. Mesh faces seen from
// behind are tinted red, so a mesh wound the wrong way shows.
#include "geometry/asc_mesh.h"
#include "geometry/scene.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include <png.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr const char* kMeshes[] = {
    "dom2",      "plane", "star2",     "funky",    "resoil", "round3",  "torus2",  "simpleplane",
    "sphereone", "geo1",  "butterfly", "round1",   "vase",   "vase2",   "sphere4", "sphere3",
    "child3",    "frame", "resmain",   "gelfish2", "twirl",  "goldfish"};
constexpr int kColumns = 6;
constexpr int kCell = 256;
constexpr int kSupersample = 2;
constexpr int kCapacity = 20000;

using Vec = std::array<double, 3>;
Vec operator+(Vec a, Vec b) {
    return {a[0] + b[0], a[1] + b[1], a[2] + b[2]};
}
Vec operator-(Vec a, Vec b) {
    return {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
}
Vec operator*(Vec a, double s) {
    return {a[0] * s, a[1] * s, a[2] * s};
}
double dot(Vec a, Vec b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}
Vec cross(Vec a, Vec b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
Vec normalise(Vec v) {
    const double l = std::sqrt(dot(v, v));
    return l > 0 ? v * (1.0 / l) : Vec{0, 0, 0};
}

struct Image {
    int width, height;
    std::vector<float> rgb;
    float* at(int x, int y) { return &rgb[3 * (static_cast<std::size_t>(y) * width + x)]; }
};

// A triangle in view space (camera at the origin looking along -z), with a
// colour per corner.
struct ViewTriangle {
    Vec p[3];
    Vec colour[3];
};

// Square tile with a depth buffer and a perspective of `fovY` degrees.
class Tile {
public:
    explicit Tile(double fovY)
        : image_{kSize, kSize, std::vector<float>(3 * kSize * kSize, 0.45f)},
          depth_(static_cast<std::size_t>(kSize) * kSize, 1e30f),
          focal_(kSize * 0.5 / std::tan(fovY * 3.14159265358979 / 360.0)) {}

    // Clips against the near plane, then fills with interpolated colours.
    void draw(const ViewTriangle& t, double nearPlane) {
        std::vector<std::pair<Vec, Vec>> poly;
        for (int c = 0; c < 3; ++c) {
            const int n = (c + 1) % 3;
            const bool in = t.p[c][2] <= -nearPlane, nextIn = t.p[n][2] <= -nearPlane;
            if (in) {
                poly.push_back({t.p[c], t.colour[c]});
            }
            if (in != nextIn) {
                const double f = (-nearPlane - t.p[c][2]) / (t.p[n][2] - t.p[c][2]);
                poly.push_back({t.p[c] + (t.p[n] - t.p[c]) * f,
                                t.colour[c] + (t.colour[n] - t.colour[c]) * f});
            }
        }
        for (std::size_t k = 1; k + 1 < poly.size(); ++k) {
            fill({poly[0], poly[k], poly[k + 1]});
        }
    }

    // Averages the supersamples into the sheet at (ox, oy).
    void copyTo(Image& sheet, int ox, int oy) {
        for (int y = 0; y < kCell; ++y) {
            for (int x = 0; x < kCell; ++x) {
                float sum[3] = {0, 0, 0};
                for (int s = 0; s < kSupersample * kSupersample; ++s) {
                    const float* p = image_.at(x * kSupersample + s % kSupersample,
                                               y * kSupersample + s / kSupersample);
                    for (int k = 0; k < 3; ++k) {
                        sum[k] += p[k];
                    }
                }
                float* out = sheet.at(ox + x, oy + y);
                for (int k = 0; k < 3; ++k) {
                    out[k] = (x == 0 || y == 0) ? 0.2f : sum[k] / (kSupersample * kSupersample);
                }
            }
        }
    }

private:
    static constexpr int kSize = kCell * kSupersample;

    void fill(const std::array<std::pair<Vec, Vec>, 3>& v) {
        double sx[3], sy[3], iz[3];
        for (int c = 0; c < 3; ++c) {
            iz[c] = -1.0 / v[c].first[2];
            sx[c] = kSize * 0.5 + focal_ * v[c].first[0] * iz[c];
            sy[c] = kSize * 0.5 - focal_ * v[c].first[1] * iz[c];
        }
        const double area = (sx[1] - sx[0]) * (sy[2] - sy[0]) - (sx[2] - sx[0]) * (sy[1] - sy[0]);
        if (std::abs(area) < 1e-12) {
            return;
        }
        const int x0 = std::max(0, static_cast<int>(std::floor(std::min({sx[0], sx[1], sx[2]}))));
        const int x1 = std::min(kSize - 1, static_cast<int>(std::max({sx[0], sx[1], sx[2]})) + 1);
        const int y0 = std::max(0, static_cast<int>(std::floor(std::min({sy[0], sy[1], sy[2]}))));
        const int y1 = std::min(kSize - 1, static_cast<int>(std::max({sy[0], sy[1], sy[2]})) + 1);
        for (int y = y0; y <= y1; ++y) {
            for (int x = x0; x <= x1; ++x) {
                double b[3];
                for (int c = 0; c < 3; ++c) {
                    const int i = (c + 1) % 3, j = (c + 2) % 3;
                    b[c] = ((sx[j] - sx[i]) * (y + 0.5 - sy[i]) -
                            (x + 0.5 - sx[i]) * (sy[j] - sy[i])) /
                           area;
                }
                if (b[0] < 0 || b[1] < 0 || b[2] < 0) {
                    continue;
                }
                // Perspective-correct: interpolate 1/z, then the colour.
                const double w = b[0] * iz[0] + b[1] * iz[1] + b[2] * iz[2];
                float& d = depth_[static_cast<std::size_t>(y) * kSize + x];
                if (1.0 / w >= d) {
                    continue;
                }
                d = static_cast<float>(1.0 / w);
                float* out = image_.at(x, y);
                for (int k = 0; k < 3; ++k) {
                    const double c =
                        (b[0] * iz[0] * v[0].second[k] + b[1] * iz[1] * v[1].second[k] +
                         b[2] * iz[2] * v[2].second[k]) /
                        w;
                    out[k] = static_cast<float>(c);
                }
            }
        }
    }

    Image image_;
    std::vector<float> depth_;
    double focal_;
};

// ------------------------------------------------------------------ meshes

Vec pose(const float* p, double yaw, double pitch) {
    const double x = p[0] * std::cos(yaw) + p[2] * std::sin(yaw);
    const double z = -p[0] * std::sin(yaw) + p[2] * std::cos(yaw);
    return {x, p[1] * std::cos(pitch) - z * std::sin(pitch),
            p[1] * std::sin(pitch) + z * std::cos(pitch)};
}

// One mesh, framed to fill the tile, lit from the upper left.
Tile renderMesh(const std::string& path, int& faces, double yaw, double pitch) {
    Tile tile(30.0);
    std::vector<std::array<float, 9>> positions(kCapacity), normals(kCapacity);
    faces = 0;
    if (LoadAscTriangles(path.c_str(), faces, reinterpret_cast<float(*)[9]>(positions.data()),
                         reinterpret_cast<float(*)[9]>(normals.data()), kCapacity) != 1) {
        faces = -1;
        return tile;
    }
    double radius = 1e-6;
    for (int f = 0; f < faces; ++f) {
        for (int c = 0; c < 3; ++c) {
            const float* p = &positions[f][3 * c];
            radius = std::max(radius, std::sqrt(double(p[0]) * p[0] + p[1] * p[1] + p[2] * p[2]));
        }
    }
    const Vec light = normalise({-0.4, 0.6, 0.7});
    for (int f = 0; f < faces; ++f) {
        ViewTriangle t;
        for (int c = 0; c < 3; ++c) {
            t.p[c] = pose(&positions[f][3 * c], yaw, pitch) * (1.0 / radius) - Vec{0, 0, 4.0};
        }
        const bool back = dot(cross(t.p[1] - t.p[0], t.p[2] - t.p[0]), t.p[0]) > 0;
        for (int c = 0; c < 3; ++c) {
            Vec n = normalise(pose(&normals[f][3 * c], yaw, pitch));
            if (back) {
                n = n * -1.0;
            }
            const double lit = 0.22 + 0.78 * std::max(0.0, dot(n, light));
            t.colour[c] = back ? Vec{0.95, 0.35, 0.3} * lit : Vec{0.9, 0.85, 0.75} * lit;
        }
        tile.draw(t, 0.01);
    }
    return tile;
}

// ------------------------------------------------------------------ gallery scenes

// Affine transform: rows of a 3 x 4 matrix.
struct Affine {
    double m[3][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}};
    Vec apply(Vec p) const {
        Vec r{};
        for (int i = 0; i < 3; ++i) {
            r[i] = m[i][0] * p[0] + m[i][1] * p[1] + m[i][2] * p[2] + m[i][3];
        }
        return r;
    }
    Vec turn(Vec n) const { return normalise(apply(n) - apply({0, 0, 0})); }
    Affine then(const Affine& inner) const { // this * inner
        Affine r;
        for (int i = 0; i < 3; ++i) {
            for (int j = 0; j < 4; ++j) {
                r.m[i][j] = (j == 3 ? m[i][3] : 0.0);
                for (int k = 0; k < 3; ++k) {
                    r.m[i][j] += m[i][k] * inner.m[k][j];
                }
            }
        }
        return r;
    }
};

Affine translate(Vec t) {
    Affine a;
    a.m[0][3] = t[0], a.m[1][3] = t[1], a.m[2][3] = t[2];
    return a;
}
Affine scale(Vec s) {
    Affine a;
    a.m[0][0] = s[0], a.m[1][1] = s[1], a.m[2][2] = s[2];
    return a;
}
Affine turnedRound() {
    return scale({-1, 1, -1});
} // 180 degrees about y

// gluLookAt as an affine transform into view space.
Affine lookAt(Vec eye, Vec centre, Vec up) {
    const Vec f = normalise(centre - eye);
    const Vec s = normalise(cross(f, up));
    const Vec u = cross(s, f);
    Affine a;
    const Vec rows[3] = {s, u, f * -1.0};
    for (int i = 0; i < 3; ++i) {
        for (int k = 0; k < 3; ++k) {
            a.m[i][k] = rows[i][k];
        }
        a.m[i][3] = -dot(rows[i], eye);
    }
    return a;
}

// The colour each gallery texture roughly has.
Vec textureColour(int index) {
    static const Vec colours[9] = {{1, 1, 1},         {0.55, 0.45, 0.35}, {0.85, 0.82, 0.75},
                                   {0.3, 0.6, 0.9},   {0.2, 0.4, 0.7},    {0.8, 0.78, 0.7},
                                   {0.75, 0.75, 0.8}, {0.55, 0.35, 0.2},  {0.85, 0.85, 0.88}};
    return colours[std::clamp(index, 0, 8)];
}

// Draws a scene file through `model` (scene to world) and `view` (world to
// camera), lit by the gallery's light as GL would (ambient + diffuse).
void drawScene(Tile& tile, const SceneFile& scene, const Affine& view, const Affine& model,
               double nearPlane) {
    const Vec light = normalise({0, -3, 10});
    for (const SceneObject& o : scene.objects) {
        const Affine place =
            model.then(translate({o.translation[0], o.translation[1], o.translation[2]}));
        const Vec tex = textureColour(o.textureIndex);
        for (std::size_t i = 0; i + 2 < o.vertices.size(); i += 3) {
            ViewTriangle t;
            for (int c = 0; c < 3; ++c) {
                const SceneVertex& v = o.vertices[i + c];
                const Vec world = place.apply({v.position[0], v.position[1], v.position[2]});
                const Vec n = place.turn({v.normal[0], v.normal[1], v.normal[2]});
                // Material ambient meets the light's ambient 1 and the
                // lighting model's default 0.2.
                const double d = std::max(0.0, dot(n, light));
                for (int k = 0; k < 3; ++k) {
                    t.colour[c][k] = std::min(1.0, 1.2 * o.ambient[k] + o.diffuse[k] * d) * tex[k];
                }
                t.p[c] = view.apply(world);
            }
            tile.draw(t, nearPlane);
        }
    }
}

SceneFile readScene(const std::string& path) {
    std::ifstream in(path);
    return ParseScene(in);
}

struct GalleryView {
    const char* label;
    Vec eye, centre;
    double fov;
    bool miniatures; // the gallery in the ball and the doll's house with its picture
    bool room;       // the full-size room around the ball
};

Tile renderGallery(const std::string& pack, const GalleryView& g) {
    Tile tile(g.fov);
    const SceneFile gallery = readScene(pack + "/scene2.sce");
    const SceneFile room = readScene(pack + "/scene4.sce");
    const Affine view = lookAt(g.eye, g.centre, {0, 1, 0});
    const Affine inBall = translate({0, 2.6, 4}).then(scale({0.059, 0.059, 0.059}));
    const Affine dolls =
        inBall.then(translate({6.5, 3.2, -5})).then(turnedRound()).then(scale({0.09, 0.09, 0.09}));
    if (g.miniatures) {
        drawScene(tile, gallery, view, inBall, 0.01);
        drawScene(tile, room, view, dolls, 0.01);
        // The picture, a bright blue-green quad on the doll's house wall.
        const Affine picture =
            dolls.then(translate({0, 5, 8})).then(scale({-0.66825, 0.495, 0.495}));
        const Vec q[4] = {{-3, -3, 0}, {3, -3, 0}, {3, 3, 0}, {-3, 3, 0}};
        for (int half = 0; half < 2; ++half) {
            ViewTriangle t;
            const int idx[2][3] = {{0, 1, 2}, {0, 2, 3}};
            for (int c = 0; c < 3; ++c) {
                t.p[c] = view.apply(picture.apply(q[idx[half][c]]));
                t.colour[c] = {0.1, 0.45, 0.6};
            }
            tile.draw(t, 0.01);
        }
    }
    if (g.room) {
        drawScene(tile, room, view, Affine{}, 0.01);
    }
    return tile;
}

// ------------------------------------------------------------------ output

void drawLabel(Image& sheet, FT_Face face, const std::string& text, int x, int y) {
    for (char ch : text) {
        if (FT_Load_Char(face, static_cast<FT_ULong>(ch), FT_LOAD_RENDER) != 0) {
            continue;
        }
        const FT_GlyphSlot g = face->glyph;
        for (unsigned r = 0; r < g->bitmap.rows; ++r) {
            for (unsigned c = 0; c < g->bitmap.width; ++c) {
                const int px = x + g->bitmap_left + static_cast<int>(c);
                const int py = y - g->bitmap_top + static_cast<int>(r);
                if (px < 0 || py < 0 || px >= sheet.width || py >= sheet.height) {
                    continue;
                }
                const float a = g->bitmap.buffer[r * g->bitmap.pitch + c] / 255.0f;
                float* out = sheet.at(px, py);
                for (int k = 0; k < 3; ++k) {
                    out[k] = out[k] * (1 - a) + a;
                }
            }
        }
        x += static_cast<int>(g->advance.x >> 6);
    }
}

bool writePng(const char* path, Image& sheet) {
    FILE* file = std::fopen(path, "wb");
    if (file == nullptr) {
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (png == nullptr || info == nullptr || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, sheet.width, sheet.height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    std::vector<png_byte> row(3 * static_cast<std::size_t>(sheet.width));
    for (int y = 0; y < sheet.height; ++y) {
        for (int k = 0; k < 3 * sheet.width; ++k) {
            const float v = sheet.rgb[3 * static_cast<std::size_t>(y) * sheet.width + k];
            row[k] = static_cast<png_byte>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255));
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0;
}

const GalleryView kGalleryViews[] = {
    {"gallery: first shot", {0.3834, 2.8153, 3.70}, {0.38, 2.82, 3.49}, 45, true, false},
    {"gallery: pulling back", {0.2, 2.95, 4.25}, {0.38, 2.82, 3.6}, 45, true, false},
    {"gallery: ball in room", {-0.4, 2.81, 8.72}, {0, 3, 4}, 45, true, true},
    {"gallery: orbit", {2.12, 3.81, 6.12}, {0, 3, 4}, 45, true, true},
    {"gallery: last key", {-6, 7.81, 8}, {0.38, 4.82, -6.69}, 45, true, true},
    {"gallery: ball's view", {0, 3, 4}, {-0.4, 2.81, 8.72}, 65, false, true},
};

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: hlv-mesh-sheet PACK_DIR OUT.png [MESH...]\n");
        return 2;
    }
    const std::string pack = argv[1];
    std::vector<std::string> names(std::begin(kMeshes), std::end(kMeshes));
    const bool everything = argc == 3;
    if (!everything) {
        names.assign(argv + 3, argv + argc);
    }
    const int meshCount = static_cast<int>(names.size());
    const int views = everything ? static_cast<int>(std::size(kGalleryViews)) : 0;
    const int cells = (meshCount + kColumns - 1) / kColumns * kColumns + views;
    const int rows = (cells + kColumns - 1) / kColumns;
    Image sheet{
        kColumns * kCell, rows * kCell,
        std::vector<float>(3 * static_cast<std::size_t>(kColumns * kCell) * rows * kCell, 0.3f)};
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    const char* font = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
    if (FT_Init_FreeType(&library) != 0 || FT_New_Face(library, font, 0, &face) != 0) {
        std::fprintf(stderr, "hlv-mesh-sheet: cannot open the label font %s\n", font);
        return 1;
    }
    FT_Set_Pixel_Sizes(face, 0, 14);
    int failures = 0;
    for (int i = 0; i < meshCount; ++i) {
        int faces = 0;
        // Each mesh turned a little further, as if caught while rotating.
        Tile tile = renderMesh(pack + "/" + names[i] + ".asc", faces, 0.5 + 0.23 * i, 0.45);
        const int ox = (i % kColumns) * kCell, oy = (i / kColumns) * kCell;
        tile.copyTo(sheet, ox, oy);
        drawLabel(
            sheet, face,
            names[i] + ".asc  " +
                (faces < 0 ? std::string("FAILED TO LOAD") : std::to_string(faces) + " faces"),
            ox + 8, oy + 20);
        failures += faces < 0;
    }
    for (int v = 0; v < views; ++v) {
        const int cell = cells - views + v;
        const int ox = (cell % kColumns) * kCell, oy = (cell / kColumns) * kCell;
        renderGallery(pack, kGalleryViews[v]).copyTo(sheet, ox, oy);
        drawLabel(sheet, face, kGalleryViews[v].label, ox + 8, oy + 20);
    }
    FT_Done_Face(face);
    FT_Done_FreeType(library);
    if (!writePng(argv[2], sheet)) {
        std::fprintf(stderr, "hlv-mesh-sheet: cannot write %s\n", argv[2]);
        return 1;
    }
    std::printf("hlv-mesh-sheet: %d meshes, %d failed, sheet %s\n", meshCount, failures, argv[2]);
    return failures == 0 ? 0 : 1;
}
