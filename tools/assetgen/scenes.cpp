// The gallery scene files (.sce). The gallery is drawn three ways by the
// underwater Segment, and the files are laid out for all of them:
//  - scene4.sce, at full size, is the room the glass ball stands in (the ball
//    at (0, 3, 4) on a pedestal, the camera orbiting it). The wall at z = 8.3
//    carries the picture at (0, 5, 8) above a doorway, through which the
//    pulled-back camera (z = 8.72) looks at the ball; the far wall has a wide
//    dark window.
//  - scene2.sce, at 0.059 inside the ball, is a small gallery with an open
//    front and top; on a table against its back wall stands scene4 again at
//    0.09, turned round (a doll's house). The first shot looks at the picture
//    inside it and backs out through its window.
//  - scene.sce is the bare gallery shell.
// Texture indices: 1 floor2, 2 one_test, 3 caust00, 4 bluesea2, 5 one_test2,
// 6 one_test3, 7 wood12, 8 one_test5.
#include "assetgen.h"
#include "mesh_writer.h"

#include <cmath>
#include <cstdio>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace assetgen {

namespace {

enum Texture {
    kFloor = 1,
    kWall = 2,
    kCaustic = 3,
    kSea = 4,
    kWall2 = 5,
    kWall3 = 6,
    kWood = 7,
    kStone = 8
};

struct SceneVertex {
    Vec3 normal, position;
};

struct SceneObject {
    Vec3 translation;
    double angle = 0.0;
    Vec3 axis{0, 1, 0};
    Vec3 ambient{0.5, 0.5, 0.5};
    Vec3 diffuse{0.6, 0.6, 0.6};
    int textureMode = 1;
    int textureIndex = 0;
    double planeS[4] = {0, 0, 0, 0};
    double planeT[4] = {0, 0, 0, 0};
    int lighting = 1;
    std::vector<SceneVertex> vertices;

    // Counter-clockwise seen from the side that faces the viewer.
    void quad(Vec3 a, Vec3 b, Vec3 c, Vec3 d) {
        const Vec3 n = normalised(cross(b - a, c - a));
        for (Vec3 p : {a, b, c, a, c, d}) {
            vertices.push_back({n, p});
        }
    }
    // Axis-aligned box with its six faces pointing out.
    void box(Vec3 lo, Vec3 hi) {
        const Vec3 p[8] = {{lo.x, lo.y, lo.z}, {hi.x, lo.y, lo.z}, {hi.x, hi.y, lo.z},
                           {lo.x, hi.y, lo.z}, {lo.x, lo.y, hi.z}, {hi.x, lo.y, hi.z},
                           {hi.x, hi.y, hi.z}, {lo.x, hi.y, hi.z}};
        quad(p[4], p[5], p[6], p[7]); // +z
        quad(p[1], p[0], p[3], p[2]); // -z
        quad(p[5], p[1], p[2], p[6]); // +x
        quad(p[0], p[4], p[7], p[3]); // -x
        quad(p[7], p[6], p[2], p[3]); // +y
        quad(p[0], p[1], p[5], p[4]); // -y
    }
};

// Object-linear planes: texture repeats every 1 / scale units along two axes.
enum class Facing { X, Y, Z };
SceneObject surface(int texture, Facing facing, double scale, Vec3 ambient, Vec3 diffuse) {
    SceneObject o;
    o.textureIndex = texture;
    o.ambient = ambient;
    o.diffuse = diffuse;
    const int s = facing == Facing::X ? 2 : 0;
    const int t = facing == Facing::Y ? 2 : 1;
    o.planeS[s] = scale;
    o.planeT[t] = scale;
    return o;
}

// Horizontal rectangle at height y facing up (or down).
void floorQuad(SceneObject& o, double x0, double x1, double z0, double z1, double y, bool up) {
    if (up) {
        o.quad({x0, y, z1}, {x1, y, z1}, {x1, y, z0}, {x0, y, z0});
    } else {
        o.quad({x0, y, z0}, {x1, y, z0}, {x1, y, z1}, {x0, y, z1});
    }
}

// Vertical rectangle in the plane z = const, facing +z or -z.
void wallZ(SceneObject& o, double x0, double x1, double y0, double y1, double z, bool towardPlusZ) {
    if (towardPlusZ) {
        o.quad({x0, y0, z}, {x1, y0, z}, {x1, y1, z}, {x0, y1, z});
    } else {
        o.quad({x1, y0, z}, {x0, y0, z}, {x0, y1, z}, {x1, y1, z});
    }
}

// Vertical rectangle in the plane x = const, facing +x or -x.
void wallX(SceneObject& o, double z0, double z1, double y0, double y1, double x, bool towardPlusX) {
    if (towardPlusX) {
        o.quad({x, y0, z1}, {x, y0, z0}, {x, y1, z0}, {x, y1, z1});
    } else {
        o.quad({x, y0, z0}, {x, y0, z1}, {x, y1, z1}, {x, y1, z0});
    }
}

double sq(double v) {
    return v * v;
}

// The unit normal `n` turned by `angle` (radians) toward `toward`, a unit
// vector at right angles to it.
Vec3 tilted(Vec3 n, Vec3 toward, double angle) {
    return n * std::cos(angle) + toward * std::sin(angle);
}

// A wall from `origin` along `u` and `v` (u x v faces the viewer) as a grid
// of quads whose corners take their normals from `normalAt`: the room has one
// directional light and no shadows, so light pools and dark corners are laid
// into the normals, which the per-corner lighting blends across the wall.
void gridWall(SceneObject& o, Vec3 origin, Vec3 u, Vec3 v, int nu, int nv,
              const std::function<Vec3(Vec3)>& normalAt) {
    const auto at = [&](int i, int j) {
        return origin + u * (double(i) / nu) + v * (double(j) / nv);
    };
    for (int j = 0; j < nv; ++j) {
        for (int i = 0; i < nu; ++i) {
            const Vec3 a = at(i, j), b = at(i + 1, j), c = at(i + 1, j + 1), d = at(i, j + 1);
            for (Vec3 p : {a, b, c, a, c, d}) {
                o.vertices.push_back({normalAt(p), p});
            }
        }
    }
}

// A bench: seat on two slab legs.
void bench(SceneObject& wood, double x0, double x1, double z0, double z1, double height) {
    wood.box({x0, height - 0.25, z0}, {x1, height, z1});
    wood.box({x0 + 0.2, 0, z0 + 0.1}, {x0 + 0.45, height - 0.25, z1 - 0.1});
    wood.box({x1 - 0.45, 0, z0 + 0.1}, {x1 - 0.2, height - 0.25, z1 - 0.1});
}

// The gallery's light comes from +z and a little below, so walls facing +z
// take diffuse light and the rest live on ambient light: those get more.
const Vec3 kWoodAmbient{0.4, 0.32, 0.24}, kWoodDiffuse{0.5, 0.4, 0.3};
const Vec3 kWallAmbient{0.3, 0.29, 0.28}, kWallDiffuse{0.55, 0.54, 0.52};
const Vec3 kShadedAmbient{0.58, 0.56, 0.54};
// The picture wall faces away from the light; its normals can reach a
// quarter of it, so its pool is mostly diffuse.
const Vec3 kPictureWallAmbient{0.4, 0.38, 0.35}, kPictureWallDiffuse{1.3, 1.22, 1.05};
// Side walls of the big room: less ambient, their pool of light is diffuse.
const Vec3 kSideWallAmbient{0.25, 0.24, 0.23}, kSideWallDiffuse{0.7, 0.68, 0.66};
const Vec3 kFloorDiffuse{0.5, 0.5, 0.5};
// The big room's floor: darker than the walls on ambient, warm where lit.
const Vec3 kFloorAmbient{0.32, 0.3, 0.28}, kFloorPoolDiffuse{0.62, 0.5, 0.34};
const Vec3 kSmallFloorAmbient{0.3, 0.28, 0.26};
const Vec3 kStoneAmbient{0.5, 0.5, 0.52}, kStoneDiffuse{0.5, 0.5, 0.52};

struct Box {
    Vec3 lo, hi;
};

// Stone boxes mapped face by face: one pair of planes for a whole box left
// the faces across it (the pedestal's top under the ball) as streaks of one
// texture row. Returns the faces facing z, x and y as three objects.
std::vector<SceneObject> stoneBySide(std::span<const Box> boxes, double scale) {
    std::vector<SceneObject> sides = {
        surface(kStone, Facing::Z, scale, kStoneAmbient, kStoneDiffuse),
        surface(kStone, Facing::X, scale, kStoneAmbient, kStoneDiffuse),
        surface(kStone, Facing::Y, scale, kStoneAmbient, kStoneDiffuse)};
    for (const Box& b : boxes) {
        SceneObject all;
        all.box(b.lo, b.hi);
        // box() lays two faces along each of z, x and y, six corners a face.
        for (std::size_t v = 0; v < all.vertices.size(); ++v) {
            sides[v / 12].vertices.push_back(all.vertices[v]);
        }
    }
    return sides;
}

// The doll's house front faces the gallery light; the paintings share it.
const Vec3 kHouseFrontDiffuse{0.7, 0.68, 0.64};

// Where one framed painting lies in the small gallery's back-wall picture
// (`one_test`, 2:1): s across it, t up it, gilt frame included.
struct PaintingArea {
    double s0, s1, t0, t1;
};
constexpr PaintingArea kSeaPainting{0.085, 0.357, 0.324, 0.748};
constexpr PaintingArea kStillLifePainting{0.397, 0.646, 0.359, 0.748};
constexpr PaintingArea kMoonPainting{0.743, 0.969, 0.48, 0.838};

// Paintings cut from the back-wall picture and hung upright on one wall as
// one object: the first at `centre`, `width` wide, its right edge toward
// `right` (horizontal, in the wall) as seen from the room; the others where
// the same texture planes put them, so each keeps the picture's proportions.
// Their normals lean `lean` radians toward the gallery light (+z), so
// paintings on a wall that faces across the light are lit like ones under a
// picture light.
SceneObject hungPaintings(std::initializer_list<PaintingArea> areas, Vec3 centre, Vec3 right,
                          double width, double lean) {
    const PaintingArea& first = *areas.begin();
    const double height = width * (first.t1 - first.t0) / (2 * (first.s1 - first.s0));
    const Vec3 up{0, 1, 0};
    const Vec3 a = centre - right * (width / 2) - up * (height / 2);
    SceneObject o;
    o.textureIndex = kWall;
    // Ambient and diffuse alike, equal to the house front's diffuse, which
    // these follow: the loaded objects' ambient has been seen to take the
    // previous object's diffuse under Mesa, and this holds either way.
    o.ambient = kHouseFrontDiffuse;
    o.diffuse = kHouseFrontDiffuse;
    const double ks = (first.s1 - first.s0) / width, kt = (first.t1 - first.t0) / height;
    o.planeS[0] = right.x * ks;
    o.planeS[1] = right.y * ks;
    o.planeS[2] = right.z * ks;
    o.planeS[3] = first.s0 - ks * dot(a, right);
    o.planeT[1] = kt;
    o.planeT[3] = first.t0 - kt * a.y;
    const Vec3 n = tilted(normalised(cross(right, up)), {0, 0, 1}, lean);
    for (const PaintingArea& area : areas) {
        const Vec3 p0 = a + right * ((area.s0 - first.s0) / ks) + up * ((area.t0 - first.t0) / kt);
        const Vec3 p1 = p0 + right * ((area.s1 - area.s0) / ks);
        const Vec3 p2 = p1 + up * ((area.t1 - area.t0) / kt);
        const Vec3 p3 = p0 + up * ((area.t1 - area.t0) / kt);
        for (Vec3 p : {p0, p1, p2, p0, p2, p3}) {
            o.vertices.push_back({n, p});
        }
    }
    return o;
}

// ------------------------------------------------------------------ scene4: full-size room

std::vector<SceneObject> pictureRoom() {
    constexpr double kX = 10, kFar = -9, kBack = 12, kHeight = 9, kPictureWall = 8.3;
    constexpr double kDoorHalf = 2.3, kDoorTop = 3.15;
    constexpr double kWindowLeft = -3.5, kWindowRight = 6, kWindowBottom = 2.2, kWindowTop = 7.6;
    // The open pane, round the point (2.16, 4.97) where the first shot leaves.
    constexpr double kOpenLeft = 2.0, kOpenRight = 4.5, kOpenBottom = 3.4, kOpenTop = 6.3;
    std::vector<SceneObject> room;

    // The room is kept dim (the light falls from the skylight onto the ball)
    // so the ball's two added lens views stay below white.
    // The gallery light comes from below the floor's plane, so a flat floor
    // lay on ambient light alone, one even brown: its corner normals lean
    // toward the light in a warm pool round the pedestal (the skylight's
    // fall onto the ball) and stay upright, unlit, toward the walls.
    SceneObject floor = surface(kFloor, Facing::Y, 0.25, kFloorAmbient, kFloorPoolDiffuse);
    const auto floorPool = [](Vec3 p) {
        return 1.1 * std::exp(-sq(p.x / 5.0) - sq((p.z - 4.5) / 6.0));
    };
    gridWall(floor, {-kX, 0, kBack}, {2 * kX, 0, 0}, {0, 0, kFar - kBack}, 20, 21, [&](Vec3 p) {
        return tilted({0, 1, 0}, {0, 0, 1}, floorPool(p));
    });
    room.push_back(floor);

    // The picture hangs above the doorway on the wall facing the room (-z).
    // It faces away from the light, and on ambient alone it was one flat
    // panelled plane: less ambient, and its corner normals swing down toward
    // the light (as far as they can while still facing the room) in a pool
    // round the picture and the doorway, upright toward the corners.
    SceneObject pictureWall =
        surface(kWall2, Facing::Z, 0.2, kPictureWallAmbient, kPictureWallDiffuse);
    const auto picturePool = [](Vec3 p) {
        return std::exp(-sq(p.x / 6.0) - sq((p.y - 4.2) / 4.0));
    };
    const auto pictureNormal = [&](Vec3 p) {
        return tilted({0, 0, -1}, {0, -1, 0}, 1.53 * picturePool(p));
    };
    const auto picturePiece = [&](double x0, double x1, double y0, double y1, int nx, int ny) {
        gridWall(pictureWall, {x1, y0, kPictureWall}, {x0 - x1, 0, 0}, {0, y1 - y0, 0}, nx, ny,
                 pictureNormal);
    };
    picturePiece(-kX, -kDoorHalf, 0, kHeight, 5, 6);
    picturePiece(kDoorHalf, kX, 0, kHeight, 5, 6);
    picturePiece(-kDoorHalf, kDoorHalf, kDoorTop, kHeight, 2, 4);
    room.push_back(pictureWall);

    // The side walls face across the light and would live on ambient alone,
    // flat grey: their corner normals turn toward the light in a soft pool
    // level with the ball and stay square-on (unlit) toward the corners,
    // floor and ceiling, so the light pool and the dark corners are baked in.
    SceneObject sides = surface(kWall2, Facing::X, 0.2, kSideWallAmbient, kSideWallDiffuse);
    const auto sidePool = [](Vec3 p) {
        return 1.1 * std::exp(-sq((p.z - 4.0) / 7.5) - sq((p.y - 3.8) / 3.6));
    };
    for (const double x : {-kX, kX}) {
        const Vec3 out{x < 0 ? 1.0 : -1.0, 0, 0};
        gridWall(sides, {x, 0, x < 0 ? kBack : kFar}, {0, 0, x < 0 ? kFar - kBack : kBack - kFar},
                 {0, kHeight, 0}, 12, 6, [&](Vec3 p) {
                     return tilted(out, {0, 0, 1}, sidePool(p));
                 });
    }
    room.push_back(sides);

    // The far wall faces the light: it darkens toward its corners, the floor
    // and the ceiling, where its normals turn sideways off the light.
    SceneObject far = surface(kWall3, Facing::Z, 0.2, kWallAmbient, kWallDiffuse);
    const auto farShade = [](Vec3 p) {
        return 1.0 - std::exp(-sq(p.x / 8.0) - sq((p.y - 4.2) / 3.8));
    };
    const auto farNormal = [&](Vec3 p) {
        return tilted({0, 0, 1}, {p.x < 0 ? -1.0 : 1.0, 0, 0}, 1.05 * farShade(p));
    };
    const auto farPiece = [&](double x0, double x1, double y0, double y1, int nx, int ny) {
        gridWall(far, {x0, y0, kFar}, {x1 - x0, 0, 0}, {0, y1 - y0, 0}, nx, ny, farNormal);
    };
    farPiece(-kX, kWindowLeft, 0, kHeight, 4, 6);
    farPiece(kWindowRight, kX, 0, kHeight, 3, 6);
    farPiece(kWindowLeft, kWindowRight, 0, kWindowBottom, 6, 2);
    farPiece(kWindowLeft, kWindowRight, kWindowTop, kHeight, 6, 1);
    room.push_back(far);
    // The corridor seen through the doorway is a dimmer room of the same
    // panelling with one painting centred behind the door. A plain wall there
    // read as a blank grey panel in a wooden frame, and the small gallery's
    // whole lit back wall (three paintings in a row) as a second gallery
    // seen through a gap. It faces away from the light: ambient carries it,
    // kept under the near wall's so the passage reads as farther and darker.
    SceneObject corridor = surface(kWall2, Facing::Z, 0.2, {0.5, 0.47, 0.44}, {0.0, 0.0, 0.0});
    wallZ(corridor, -kX, kX, 0, kHeight, kBack, false);
    room.push_back(corridor);
    SceneObject corridorPainting =
        hungPaintings({kStillLifePainting}, {0, 2.0, kBack - 0.02}, {-1, 0, 0}, 2.2, 0.0);
    corridorPainting.ambient = {0.85, 0.83, 0.8};
    room.push_back(corridorPainting);

    // A plain plaster ceiling, a shade darker than the walls, between the
    // beams below: a patterned roof read as a second, busier picture.
    SceneObject ceiling = surface(kWall3, Facing::Y, 0.2, {0.3, 0.28, 0.26}, {0.4, 0.38, 0.35});
    floorQuad(ceiling, -kX, kX, kFar, kBack, kHeight, false);
    room.push_back(ceiling);

    // Still water in a basin outside the window, below the sill, so the
    // first shot's path out of the doll's house (well above it) never meets
    // it; it ends where the doll's house table does.
    SceneObject sea = surface(kSea, Facing::Y, 0.2, {0.2, 0.24, 0.32}, {0.3, 0.35, 0.4});
    floorQuad(sea, -kX, kX, kFar - 3, kFar, 1.0, true);
    room.push_back(sea);

    // The window looks out on a moonlit night: the panes show the moon
    // painting's sky and hills, laid once across the window with the moon
    // in its left panes, where the ball does not hide it from the doorway.
    // Flat deep-blue glass read as a dark hole behind the ball. One small
    // pane stays open: the first shot backs out of the doll's house through
    // it and looks back at the picture, which it sees through that pane
    // until the house is small. A larger opening showed the room a black
    // hole in the window.
    SceneObject glass = surface(kWall, Facing::Z, 0, {0.8, 0.8, 0.8}, {0.9, 0.9, 0.9});
    constexpr PaintingArea kNight{0.819, 0.939, 0.614, 0.75};
    glass.planeS[0] = (kNight.s1 - kNight.s0) / (kWindowRight - kWindowLeft);
    glass.planeS[3] = kNight.s0 - kWindowLeft * glass.planeS[0];
    glass.planeT[1] = (kNight.t1 - kNight.t0) / (kWindowTop - kWindowBottom);
    glass.planeT[3] = kNight.t0 - kWindowBottom * glass.planeT[1];
    wallZ(glass, kWindowLeft, kOpenLeft, kWindowBottom, kWindowTop, kFar, true);
    wallZ(glass, kOpenLeft, kWindowRight, kOpenTop, kWindowTop, kFar, true);
    wallZ(glass, kOpenLeft, kWindowRight, kWindowBottom, kOpenBottom, kFar, true);
    wallZ(glass, kOpenRight, kWindowRight, kOpenBottom, kOpenTop, kFar, true);
    room.push_back(glass);
    SceneObject sash = surface(kSea, Facing::X, 0.035, {0.2, 0.24, 0.34}, {0.3, 0.36, 0.48});
    wallX(sash, kFar - (kOpenRight - kOpenLeft), kFar, kOpenBottom, kOpenTop, kOpenRight, false);
    room.push_back(sash);

    SceneObject wood = surface(kWood, Facing::X, 0.5, kWoodAmbient, kWoodDiffuse);
    wood.planeS[0] = 0.5;                              // grain runs along x and z alike
    wood.box({-kX, 0, kFar}, {kX, 0.45, kFar + 0.12}); // skirting
    wood.box({-kX, 0, kFar}, {-kX + 0.12, 0.45, kBack});
    wood.box({kX - 0.12, 0, kFar}, {kX, 0.45, kBack});
    wood.box({-kX, 0, kPictureWall - 0.12}, {-kDoorHalf - 0.2, 0.45, kPictureWall});
    wood.box({kDoorHalf + 0.2, 0, kPictureWall - 0.12}, {kX, 0.45, kPictureWall});
    wood.box({-kDoorHalf - 0.2, 0, kPictureWall - 0.1}, {-kDoorHalf, kDoorTop, kPictureWall + 0.1});
    wood.box({kDoorHalf, 0, kPictureWall - 0.1}, {kDoorHalf + 0.2, kDoorTop, kPictureWall + 0.1});
    // An overdoor: the doorway is wider than the picture above it and a
    // cornice runs past both, so the picture reads as hung over the door on
    // purpose. A door narrower than the picture, its lintel hidden behind the
    // frame, read as a picture wedged onto two posts. The cornice stays shallow
    // so it stays out of the pulled-back camera's view through the door.
    wood.box({-kDoorHalf - 0.4, kDoorTop, kPictureWall - 0.25},
             {kDoorHalf + 0.4, kDoorTop + 0.2, kPictureWall + 0.1});
    // The window's wood stands a little proud of the wall outside too: the
    // first shot looks back at it from outside, where faces in the wall's
    // plane flickered against it.
    constexpr double kOut = kFar - 0.05;
    wood.box({kWindowLeft - 0.2, kWindowBottom - 0.2, kOut},
             {kWindowRight + 0.2, kWindowBottom, kFar + 0.3}); // sill
    wood.box({kWindowLeft - 0.2, kWindowTop, kOut},
             {kWindowRight + 0.2, kWindowTop + 0.2, kFar + 0.15});
    wood.box({kWindowLeft - 0.2, kWindowBottom, kOut}, {kWindowLeft, kWindowTop, kFar + 0.15});
    wood.box({kWindowRight, kWindowBottom, kOut}, {kWindowRight + 0.2, kWindowTop, kFar + 0.15});
    // Glazing bars split the night outside into panes, so the opening reads
    // as a window and not as a black picture; the first shot's path out of
    // the doll's house passes between them.
    for (double x : {-2.0, kOpenLeft, kOpenRight}) {
        wood.box({x - 0.07, kWindowBottom, kOut}, {x + 0.07, kWindowTop, kFar + 0.1});
    }
    wood.box({kWindowLeft, kOpenTop, kOut}, {kWindowRight, kOpenTop + 0.12, kFar + 0.1});
    wood.box({kWindowLeft, kOpenBottom - 0.12, kOut}, {kWindowRight, kOpenBottom, kFar + 0.1});
    // The open pane's casement stands swung out square to the wall, hinged
    // on the side away from the first shot's path: from inside the room it
    // fills much of the opening with lit frame and glass, so the dark pane
    // reads as a window open onto the night.
    const double sashOut = kFar - (kOpenRight - kOpenLeft);
    wood.box({kOpenRight - 0.06, kOpenTop - 0.12, sashOut}, {kOpenRight + 0.06, kOpenTop, kOut});
    wood.box({kOpenRight - 0.06, kOpenBottom, sashOut},
             {kOpenRight + 0.06, kOpenBottom + 0.12, kOut});
    wood.box({kOpenRight - 0.06, kOpenBottom, sashOut},
             {kOpenRight + 0.06, kOpenTop, sashOut + 0.12});
    // The house's corner posts and cornice outside, framing its front.
    for (const double x : {-kX - 0.3, kX + 0.02}) {
        wood.box({x, 0, kFar - 0.3}, {x + 0.28, kHeight + 0.02, kFar - 0.02});
    }
    wood.box({-kX - 0.3, kHeight - 0.5, kFar - 0.3}, {kX + 0.3, kHeight + 0.02, kFar - 0.02});
    // Its sides, back and roof outside are wood too (one object less to
    // draw); they face away from the gallery light and are seldom seen.
    wallX(wood, kFar, kBack, 0, kHeight, -kX - 0.02, false);
    wallX(wood, kFar, kBack, 0, kHeight, kX + 0.02, true);
    wallZ(wood, -kX, kX, 0, kHeight, kBack + 0.02, true);
    floorQuad(wood, -kX - 0.3, kX + 0.3, kFar - 0.3, kBack + 0.3, kHeight + 0.03, true);
    // Ceiling beams both ways: coffers give the plain ceiling its depth.
    for (double z : {-4.0, 2.0, 7.0}) {
        wood.box({-kX, kHeight - 0.45, z - 0.25}, {kX, kHeight, z + 0.25});
    }
    for (double x : {-5.0, 0.0, 5.0}) {
        wood.box({x - 0.2, kHeight - 0.35, kFar}, {x + 0.2, kHeight, kBack});
    }
    bench(wood, -7.5, -4.5, 1.5, 2.5, 1.3);
    bench(wood, 4.5, 7.5, 1.5, 2.5, 1.3);
    room.push_back(wood);

    // The outside, which only the doll's house shows (from the full-size room
    // it lies behind the walls). Without it the first shot, out of the
    // window, looked back at the walls' unlit backs: a black box with an
    // orange grid on the table. The front is panelled round the window and
    // faces the gallery light.
    SceneObject front =
        surface(kWall2, Facing::Z, 1.0 / 3.0, {0.75, 0.72, 0.68}, kHouseFrontDiffuse);
    // Panels four to the window's width and three to its height, so its
    // edges fall on their mouldings.
    front.planeS[0] = 4 / (kWindowRight - kWindowLeft);
    front.planeS[3] = -kWindowLeft * front.planeS[0];
    front.planeT[1] = 3 / (kWindowTop - kWindowBottom);
    front.planeT[3] = -kWindowBottom * front.planeT[1];
    constexpr double kFront = kFar - 0.02;
    wallZ(front, -kX, kWindowLeft, 0, kHeight, kFront, false);
    wallZ(front, kWindowRight, kX, 0, kHeight, kFront, false);
    wallZ(front, kWindowLeft, kWindowRight, 0, kWindowBottom, kFront, false);
    wallZ(front, kWindowLeft, kWindowRight, kWindowTop, kHeight, kFront, false);
    room.push_back(front);

    // The room's own paintings, cut from the same picture with their gilt
    // frames and picture lights: two on each side wall (one above each
    // bench) and one beside the window, so the orbit round the ball passes
    // a hung gallery and not bare panelling (they come right after the
    // front: see hungPaintings).
    constexpr double kProud = 0.03, kSideLean = 0.9;
    room.push_back(
        hungPaintings({kStillLifePainting}, {-6.75, 4.6, kFar + kProud}, {1, 0, 0}, 3.2, 0));
    room.push_back(hungPaintings({kSeaPainting, kMoonPainting}, {-kX + kProud, 4.2, 2.0},
                                 {0, 0, -1}, 3.6, kSideLean));
    room.push_back(hungPaintings({kSeaPainting, kMoonPainting}, {kX - kProud, 4.2, -4.5}, {0, 0, 1},
                                 3.2, kSideLean));

    // The glass ball (radius 0.91 at (0, 3, 4)) rests on this pedestal.
    const Box pedestal[] = {{{-0.55, 0, 3.45}, {0.55, 1.9, 4.55}},
                            {{-0.7, 1.9, 3.3}, {0.7, 2.08, 4.7}},
                            {{-0.75, 0, 3.25}, {0.75, 0.2, 4.75}}};
    // About a repeat a unit: the veins stay fine on the narrow shaft.
    for (SceneObject& side : stoneBySide(pedestal, 1.0)) {
        room.push_back(side);
    }
    return room;
}

// ------------------------------------------------------------------ scene2: gallery in the ball

// Floor and walls of the small gallery: open at the front (+z) and the top so
// the orbiting camera looks in from above.
constexpr double kGalleryX = 9, kGalleryBackWall = -6.5, kGallerySideEnd = 2, kGalleryHeight = 9;

std::vector<SceneObject> galleryShell() {
    constexpr double kX = kGalleryX, kBackWall = kGalleryBackWall, kFront = 8;
    constexpr double kSideEnd = kGallerySideEnd, kHeight = kGalleryHeight;
    std::vector<SceneObject> room;
    // Inside the ball the lenses add two views of the room over this floor:
    // on the big room's ambient it glowed peach and flat; darker, it leaves
    // the lit back wall the bright thing, the floor falling off before it.
    SceneObject floor = surface(kFloor, Facing::Y, 0.25, kSmallFloorAmbient, kFloorDiffuse);
    floorQuad(floor, -kX, kX, kBackWall, kFront, 0, true);
    room.push_back(floor);

    // The back wall carries its paintings and their picture lights baked into
    // one picture laid once across it, shown close to its own brightness
    // (ambient 1.2 x 0.35 plus diffuse 0.96 x 0.6 under the gallery light).
    SceneObject back =
        surface(kWall, Facing::Z, 1.0 / (2 * kX), {0.35, 0.35, 0.35}, {0.6, 0.6, 0.6});
    back.planeS[3] = 0.5;
    back.planeT[1] = 1.0 / kHeight;
    wallZ(back, -kX, kX, 0, kHeight, kBackWall, true);
    room.push_back(back);

    SceneObject sides = surface(kWall2, Facing::X, 0.2, kShadedAmbient, kWallDiffuse);
    wallX(sides, kBackWall, kSideEnd, 0, kHeight, -kX, true);
    wallX(sides, kBackWall, kSideEnd, 0, kHeight, kX, false);
    room.push_back(sides);

    SceneObject wood = surface(kWood, Facing::X, 0.5, kWoodAmbient, kWoodDiffuse);
    wood.planeS[0] = 0.5;
    wood.box({-kX, 0, kBackWall}, {kX, 0.45, kBackWall + 0.15});
    wood.box({-kX, 0, kBackWall}, {-kX + 0.15, 0.45, kSideEnd});
    wood.box({kX - 0.15, 0, kBackWall}, {kX, 0.45, kSideEnd});
    wood.box({-kX, kHeight - 0.3, kBackWall}, {kX, kHeight, kBackWall + 0.2}); // cornice
    room.push_back(wood);

    return room;
}

std::vector<SceneObject> gallery() {
    std::vector<SceneObject> room = galleryShell();

    // The doll's house (scene4 at 0.09, turned round) stands at (6.5, 3.2, -5)
    // on this table, its floor level with the table top.
    SceneObject table = surface(kWood, Facing::X, 0.5, kWoodAmbient, kWoodDiffuse);
    table.planeS[0] = 0.5;
    table.box({5.3, 3.0, -6.35}, {7.7, 3.2, -3.95});
    for (double x : {5.45, 7.35}) {
        for (double z : {-6.2, -4.3}) {
            table.box({x, 0, z}, {x + 0.2, 3.0, z + 0.2});
        }
    }
    bench(table, -3.0, 3.0, 1.0, 2.0, 1.4);
    // The side walls' outsides are the same dark walnut, a cabinet round the
    // lit room: the orbit sees the gallery from beside and behind inside the
    // ball, where their bare backs read as a blank pale box, and white
    // marble there made the ball's inside bright and flat. The back wall
    // keeps no outside: from behind, its paintings show through it.
    for (const double x : {-kGalleryX - 0.02, kGalleryX + 0.02}) {
        wallX(table, kGalleryBackWall, kGallerySideEnd, 0, kGalleryHeight, x, x > 0);
    }
    room.push_back(table);

    const Box plinths[] = {{{-7.5, 0, 3.5}, {-6.3, 2.2, 4.7}}, {{6.3, 0, 3.5}, {7.5, 2.2, 4.7}}};
    std::vector<SceneObject> stone = stoneBySide(plinths, 0.5);
    for (SceneObject& side : stone) {
        room.push_back(side);
    }
    return room;
}

// ------------------------------------------------------------------ text

class SceneText {
public:
    void numbers(std::initializer_list<double> values) {
        bool first = true;
        for (double v : values) {
            char buffer[32];
            std::snprintf(buffer, sizeof buffer, "%s%.4f", first ? "" : ", ", v);
            text_ += buffer;
            first = false;
        }
        text_ += '\n';
    }
    void integers(std::initializer_list<int> values) {
        bool first = true;
        for (int v : values) {
            text_ += (first ? "" : ", ") + std::to_string(v);
            first = false;
        }
        text_ += '\n';
    }
    std::string take() { return std::move(text_); }

private:
    std::string text_;
};

std::string formatScene(const std::vector<SceneObject>& objects) {
    SceneText out;
    out.integers({static_cast<int>(objects.size())});
    for (const SceneObject& o : objects) {
        out.numbers({o.translation.x, o.translation.y, o.translation.z});
        out.numbers({o.angle, o.axis.x, o.axis.y, o.axis.z});
        out.numbers({o.ambient.x, o.ambient.y, o.ambient.z});
        out.numbers({o.diffuse.x, o.diffuse.y, o.diffuse.z});
        out.integers({o.textureMode, o.textureIndex});
        out.numbers({o.planeS[0], o.planeS[1], o.planeS[2], o.planeS[3]});
        out.numbers({o.planeT[0], o.planeT[1], o.planeT[2], o.planeT[3]});
        out.integers({o.lighting});
        out.integers({static_cast<int>(o.vertices.size())});
        for (const SceneVertex& v : o.vertices) {
            out.numbers(
                {v.normal.x, v.normal.y, v.normal.z, v.position.x, v.position.y, v.position.z});
        }
    }
    return out.take();
}

// The glass ball adds two renders of the full-size room (one at 0.8) over
// the small gallery inside it, so at the room's own brightness the ball
// glowed peach and clipped: the room is a dim gallery at night, and inside
// the ball only the back wall with its paintings keeps its full light.
constexpr double kRoomLight = 0.6;
constexpr double kInsideBallLight = 0.7;

std::vector<SceneObject> dimmed(std::vector<SceneObject> objects, double light,
                                int keptTexture = 0) {
    for (SceneObject& o : objects) {
        if (o.textureIndex != keptTexture) {
            o.ambient = o.ambient * light;
            o.diffuse = o.diffuse * light;
        }
    }
    return objects;
}

} // namespace

void generateScenes(const Pack& pack) {
    pack.write("scene.sce", formatScene(galleryShell()));
    pack.write("scene2.sce", formatScene(dimmed(gallery(), kInsideBallLight, kWall)));
    pack.write("scene4.sce", formatScene(dimmed(pictureRoom(), kRoomLight)));
}

} // namespace assetgen
