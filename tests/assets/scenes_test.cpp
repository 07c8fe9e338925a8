// The gallery scene files read by the production's scene parser, and laid out
// against the gallery camera: the picture room is seen through its doorway,
// the small gallery fits inside the glass ball, the doll's house stands on
// its table and the first shot sees the picture.
#include "asset_dir.h"
#include "geometry/scene.h"
#include "vec3.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <fstream>
#include <functional>
#include <optional>
#include <vector>

namespace {

SceneFile parseFile(const char* name) {
    std::ifstream in(packFile(name));
    return ParseScene(in);
}

using Triangle = std::array<Vec, 3>;

// Every triangle of a scene, placed by `place` (the caller's transform).
std::vector<Triangle> triangles(const SceneFile& scene, const std::function<Vec(Vec)>& place) {
    std::vector<Triangle> out;
    for (const SceneObject& o : scene.objects) {
        EXPECT_EQ(o.rotation[0], 0.0); // objects are laid out in place
        for (std::size_t i = 0; i + 2 < o.vertices.size(); i += 3) {
            Triangle t;
            for (int c = 0; c < 3; ++c) {
                const double* p = o.vertices[i + c].position;
                t[c] = place(
                    {p[0] + o.translation[0], p[1] + o.translation[1], p[2] + o.translation[2]});
            }
            out.push_back(t);
        }
    }
    return out;
}

// True when the open segment from a to b passes through the triangle.
bool blocks(const Triangle& t, Vec a, Vec b) {
    const Vec d = sub(b, a);
    const Vec e1 = sub(t[1], t[0]), e2 = sub(t[2], t[0]);
    const Vec p = cross(d, e2);
    const double det = dot(e1, p);
    if (std::abs(det) < 1e-12) {
        return false;
    }
    const Vec s = sub(a, t[0]);
    const double u = dot(s, p) / det;
    const Vec q = cross(s, e1);
    const double v = dot(d, q) / det;
    const double along = dot(e2, q) / det;
    return u >= 0 && v >= 0 && u + v <= 1 && along > 1e-6 && along < 1 - 1e-6;
}

bool clearView(const std::vector<Triangle>& tris, Vec from, Vec to) {
    for (const Triangle& t : tris) {
        if (blocks(t, from, to)) {
            return false;
        }
    }
    return true;
}

// The gallery's transforms: the room at 0.059 around the ball, the doll's
// house at 0.09 turned round inside it, the picture inside that.
Vec roomToWorld(Vec p) {
    return {0.059 * p[0], 2.6 + 0.059 * p[1], 4 + 0.059 * p[2]};
}
Vec dollToRoom(Vec p) {
    return {6.5 - 0.09 * p[0], 3.2 + 0.09 * p[1], -5 - 0.09 * p[2]};
}
const Vec kBall{0, 3, 4};
constexpr double kBallRadius = 0.91;

TEST(SceneFiles, ParseToTheirObjectsWithWholeTriangles) {
    const std::pair<const char*, std::size_t> files[] = {
        {"scene.sce", 4}, {"scene2.sce", 8}, {"scene4.sce", 18}};
    for (const auto& [name, count] : files) {
        const SceneFile scene = parseFile(name);
        ASSERT_TRUE(scene.opened) << name;
        ASSERT_EQ(scene.objects.size(), count) << name;
        for (const SceneObject& o : scene.objects) {
            EXPECT_EQ(o.vertexCount, static_cast<int>(o.vertices.size())) << name;
            EXPECT_EQ(o.vertexCount % 3, 0) << name;
            EXPECT_EQ(o.textureMode, 1) << name;
            EXPECT_GE(o.textureIndex, 1) << name;
            EXPECT_LE(o.textureIndex, 8) << name;
            EXPECT_EQ(o.lighting, 1) << name;
            for (std::size_t i = 0; i + 2 < o.vertices.size(); i += 3) {
                // Stated normals are unit length and agree with the winding.
                const auto& v = o.vertices;
                const Vec n{v[i].normal[0], v[i].normal[1], v[i].normal[2]};
                const Vec a{v[i].position[0], v[i].position[1], v[i].position[2]};
                const Vec b{v[i + 1].position[0], v[i + 1].position[1], v[i + 1].position[2]};
                const Vec c{v[i + 2].position[0], v[i + 2].position[1], v[i + 2].position[2]};
                ASSERT_NEAR(dot(n, n), 1.0, 1e-3) << name;
                ASSERT_GT(dot(n, cross(sub(b, a), sub(c, a))), 0.0) << name;
            }
        }
    }
}

TEST(SceneFiles, GalleryTexturesAreUsed) {
    std::array<bool, 9> used{};
    for (const char* name : {"scene.sce", "scene2.sce", "scene4.sce"}) {
        for (const SceneObject& o : parseFile(name).objects) {
            used[o.textureIndex] = true;
        }
    }
    // Index 3 is the first caustic frame, which the sea floor already shows;
    // no room surface needs it.
    for (int k = 1; k <= 8; ++k) {
        EXPECT_TRUE(used[k] || k == 3) << "texture index " << k;
    }
}

// Object-linear planes that do not vary across a face stretch one texture
// row over it (the pedestal's top under the ball was grey streaks). Only the
// wood may run its grain along a face.
TEST(SceneFiles, SurfacesOtherThanWoodShowTheirTextureAcrossEveryFace) {
    for (const char* name : {"scene.sce", "scene2.sce", "scene4.sce"}) {
        for (const SceneObject& o : parseFile(name).objects) {
            if (o.textureIndex == 7) {
                continue;
            }
            for (std::size_t i = 0; i + 2 < o.vertices.size(); i += 3) {
                double st[3][2];
                for (int c = 0; c < 3; ++c) {
                    const double* p = o.vertices[i + c].position;
                    for (int k = 0; k < 2; ++k) {
                        const float* plane = k == 0 ? o.planeS : o.planeT;
                        st[c][k] = plane[0] * p[0] + plane[1] * p[1] + plane[2] * p[2] + plane[3];
                    }
                }
                const double area = (st[1][0] - st[0][0]) * (st[2][1] - st[0][1]) -
                                    (st[2][0] - st[0][0]) * (st[1][1] - st[0][1]);
                ASSERT_GT(std::abs(area), 1e-6)
                    << name << " texture " << o.textureIndex << " triangle " << i / 3;
            }
        }
    }
}

// The glass ball adds two renders of the room (at 1 and 0.8) over what lies
// inside it: the room's walls, floor and ceiling, lit by the gallery light
// (ambient counted with the scene's global share), must stay dim enough that
// both views together do not clip even on a white texture.
TEST(GalleryLayout, RoomStaysDimEnoughForTheBallsTwoViews) {
    const double len = std::sqrt(3.0 * 3.0 + 10.0 * 10.0);
    const Vec light{0, -3 / len, 10 / len};
    for (const SceneObject& o : parseFile("scene4.sce").objects) {
        if (o.textureIndex != 1 && o.textureIndex != 5 && o.textureIndex != 6) {
            continue; // floor2, one_test2, one_test3: the large surfaces
        }
        for (const SceneVertex& v : o.vertices) {
            const double lambert =
                std::max(0.0, dot(Vec{v.normal[0], v.normal[1], v.normal[2]}, light));
            for (int c = 0; c < 3; ++c) {
                const double lit = 1.2 * o.ambient[c] + o.diffuse[c] * lambert;
                ASSERT_LT(1.8 * lit, 1.0) << "texture " << o.textureIndex;
            }
        }
    }
}

// One light and no shadows: the room's large surfaces must vary in light
// across them (a pool by the ball or the picture, dark toward the corners)
// or they read as flat paint. Each is picked by its texture and plane.
TEST(GalleryLayout, RoomSurfacesCarryALightPoolAndDarkCorners) {
    const double len = std::sqrt(3.0 * 3.0 + 10.0 * 10.0);
    const Vec light{0, -3 / len, 10 / len};
    const SceneFile scene = parseFile("scene4.sce");
    // The least and most light a surface's corners take, diffuse only; its
    // normals lean at least `facing` along the plane's axis.
    const auto range = [&](int texture, int axis, double at, double facing) {
        double darkest = 1.0, brightest = 0.0;
        for (const SceneObject& o : scene.objects) {
            if (o.textureIndex != texture) {
                continue;
            }
            for (const SceneVertex& v : o.vertices) {
                if (std::abs(std::abs(v.position[axis]) - at) > 1e-6 ||
                    std::abs(v.normal[axis]) < facing) {
                    continue;
                }
                const double lambert =
                    std::max(0.0, dot(Vec{v.normal[0], v.normal[1], v.normal[2]}, light));
                darkest = std::min(darkest, lambert);
                brightest = std::max(brightest, lambert);
            }
        }
        return std::pair{darkest, brightest};
    };
    const auto [sideDark, sideBright] = range(5, 0, 10.0, 0.3); // side walls, x = +-10
    EXPECT_LT(sideDark, 0.1);
    EXPECT_GT(sideBright, 0.6);
    const auto [floorDark, floorBright] = range(1, 1, 0.0, 0.3); // floor, y = 0
    EXPECT_LT(floorDark, 0.05);
    EXPECT_GT(floorBright, 0.6);
    // The picture wall faces away from the light: its normals, still facing
    // the room, reach only a quarter of it.
    const auto [wallDark, wallBright] = range(5, 2, 8.3, 0.0); // picture wall, z = 8.3
    EXPECT_LT(wallDark, 0.02);
    EXPECT_GT(wallBright, 0.18);
}

// The small gallery is drawn at 0.059 with its normals unscaled, so any face
// turned toward the light takes its full diffuse and the rest ambient alone.
// Inside the ball its back wall with the paintings must stay the bright
// thing and the floor fall well below it, or under the lenses' two added
// room views the whole room glowed one flat peach.
TEST(GalleryLayout, SmallGalleryKeepsItsLightOnTheBackWall) {
    const Vec light{0, -3, 10};
    const auto lit = [&](const SceneObject& o) {
        double most = 0;
        for (const SceneVertex& v : o.vertices) {
            const bool facing = dot(Vec{v.normal[0], v.normal[1], v.normal[2]}, light) > 0;
            for (int c = 0; c < 3; ++c) {
                most = std::max(most, 1.2 * o.ambient[c] + (facing ? o.diffuse[c] : 0.0));
            }
        }
        return most;
    };
    const SceneFile scene = parseFile("scene2.sce");
    const SceneObject* back = nullptr;
    for (const SceneObject& o : scene.objects) {
        if (o.textureIndex == 2) {
            back = &o;
        }
    }
    ASSERT_NE(back, nullptr);
    for (const SceneObject& o : scene.objects) {
        if (&o == back) {
            continue;
        }
        EXPECT_LT(lit(o), lit(*back)) << "texture " << o.textureIndex;
        if (o.textureIndex == 1) {
            EXPECT_LT(lit(o), 0.3 * lit(*back)); // the floor
        }
    }
}

// The paintings hung in the room are pieces of the 2:1 wall picture: each
// shows its piece unstretched, hangs just in front of a wall facing into the
// room, and takes the gallery light (an object of this room lit by ambient
// alone came out black).
TEST(GalleryLayout, RoomPaintingsHangUnstretchedInTheLight) {
    const double len = std::sqrt(3.0 * 3.0 + 10.0 * 10.0);
    const Vec light{0, -3 / len, 10 / len};
    const SceneFile scene = parseFile("scene4.sce");
    const auto room = triangles(scene, [](Vec p) { return p; });
    const auto at = [](const float* plane, Vec p) {
        return plane[0] * p[0] + plane[1] * p[1] + plane[2] * p[2] + plane[3];
    };
    int paintings = 0;
    for (const SceneObject& o : scene.objects) {
        if (o.textureIndex != 2 || o.vertices.size() > 12 || o.vertices[0].position[2] > 11.9) {
            continue; // not paintings cut from the wall picture, or the corridor wall
        }
        for (const SceneVertex& v : o.vertices) {
            EXPECT_GT(dot(Vec{v.normal[0], v.normal[1], v.normal[2]}, light), 0.5);
        }
        for (std::size_t q = 0; q < o.vertices.size(); q += 6) {
            ++paintings;
            const auto corner = [&](std::size_t i) {
                const double* p = o.vertices[q + i].position;
                return Vec{p[0], p[1], p[2]};
            };
            const Vec a = corner(0), b = corner(1), c = corner(2);
            // a -> b runs along its bottom edge, b -> c up its side.
            const double ds = at(o.planeS, b) - at(o.planeS, a),
                         dt = at(o.planeT, c) - at(o.planeT, b);
            for (const Vec& p : {a, c}) {
                EXPECT_GE(std::min(at(o.planeS, p), at(o.planeT, p)), 0.0);
                EXPECT_LE(std::max(at(o.planeS, p), at(o.planeT, p)), 1.0);
            }
            const double width = std::sqrt(dot(sub(b, a), sub(b, a))), height = c[1] - b[1];
            EXPECT_NEAR(2 * ds / dt, width / height, 0.02 * width / height);
            // A wall right behind it, open room in front of it.
            Vec facing = cross(sub(b, a), sub(c, a));
            const double f = std::sqrt(dot(facing, facing));
            const auto along = [&](double d) {
                return Vec{(a[0] + c[0]) / 2 + d * facing[0] / f,
                           (a[1] + c[1]) / 2 + d * facing[1] / f,
                           (a[2] + c[2]) / 2 + d * facing[2] / f};
            };
            EXPECT_FALSE(clearView(room, along(0.01), along(-0.1)));
            EXPECT_TRUE(clearView(room, along(0.01), along(2.0)));
        }
    }
    EXPECT_GE(paintings, 5);
}

// The doll's house seen from the gallery, out of its window: wherever the
// first shot looks at it, the face it meets faces it (the walls' backs were
// a black box on the table).
TEST(GalleryLayout, DollsHouseShowsItsOutsideFromTheGallery) {
    const auto doll = triangles(parseFile("scene4.sce"), [](Vec p) { return p; });
    const Vec eye{0, 12, -16}; // in front of its window, outside and above
    for (const Vec target :
         {Vec{-8, 4, -9}, Vec{8, 4, -9}, Vec{0, 1.5, -9}, Vec{0, 8.3, -9}, Vec{0, 9, 0}}) {
        const Vec ray = sub(sub(target, eye), sub(eye, target)); // to well beyond the target
        double nearest = 1.0, facingEye = 0.0;
        for (const Triangle& t : doll) {
            const Vec n = cross(sub(t[1], t[0]), sub(t[2], t[0]));
            const double along = dot(n, sub(t[0], eye)) / dot(n, ray);
            if (blocks(t, eye, {eye[0] + ray[0], eye[1] + ray[1], eye[2] + ray[2]}) &&
                along < nearest) {
                nearest = along;
                facingEye = -dot(n, ray);
            }
        }
        EXPECT_GT(facingEye, 0.0) << target[0] << " " << target[1] << " " << target[2];
    }
}

TEST(GalleryLayout, SmallGalleryFitsInsideTheGlassBall) {
    for (const Triangle& t : triangles(parseFile("scene2.sce"), roomToWorld)) {
        for (const Vec& p : t) {
            const Vec d = sub(p, kBall);
            ASSERT_LT(std::sqrt(dot(d, d)), kBallRadius);
        }
    }
}

TEST(GalleryLayout, DollsHouseStandsOnItsTableInsideTheGallery) {
    const SceneFile doll = parseFile("scene4.sce");
    for (const Triangle& t : triangles(doll, dollToRoom)) {
        for (const Vec& p : t) {
            ASSERT_GE(p[1], 3.2 - 1e-9); // never below the table top
            ASSERT_LT(std::abs(p[0]), 9.0);
            ASSERT_GT(p[2], -6.5); // in front of the gallery's back wall
        }
    }
    // Something in the gallery holds it up: a top at 3.2 under its centre.
    bool supported = false;
    for (const Triangle& t : triangles(parseFile("scene2.sce"), [](Vec p) { return p; })) {
        supported |= blocks(t, {6.5, 3.3, -5.2}, {6.5, 3.1, -5.2});
    }
    EXPECT_TRUE(supported);
}

// Through the doorway the room sees the corridor wall: it must show a
// painting there (a plain wall read as a blank panel in a wooden frame), one
// alone, on panelling: the small gallery's whole back wall there read as a
// second gallery seen through a gap. The middle painting fills about s
// 0.4-0.64, t 0.36-0.75 of the wall picture.
TEST(GalleryLayout, DoorwayLooksOntoOnePaintingInAPanelledPassage) {
    const SceneFile scene = parseFile("scene4.sce");
    const auto room = triangles(scene, [](Vec p) { return p; });
    const SceneObject* painting = nullptr;
    const SceneObject* wall = nullptr;
    for (const SceneObject& o : scene.objects) {
        const bool flat = std::all_of(o.vertices.begin(), o.vertices.end(),
                                      [](const SceneVertex& v) { return v.position[2] > 11.9; });
        if (flat) {
            (o.textureIndex == 2 ? painting : wall) = &o;
        }
    }
    ASSERT_NE(painting, nullptr);
    ASSERT_NE(wall, nullptr);
    EXPECT_EQ(painting->vertices.size(), 6u);
    EXPECT_EQ(wall->textureIndex, 5);
    for (const double x : {-0.5, 0.0, 0.5}) {
        const Vec at{x, 2.0, 12.0};
        EXPECT_TRUE(clearView(room, {x, 2.0, 5.0}, {x, 2.0, 11.95})) << x;
        const auto on = [&](const float* plane) {
            return plane[0] * at[0] + plane[1] * at[1] + plane[2] * at[2] + plane[3];
        };
        const double s = on(painting->planeS), t = on(painting->planeT);
        EXPECT_GT(s, 0.4) << x;
        EXPECT_LT(s, 0.64) << x;
        EXPECT_GT(t, 0.36) << x;
        EXPECT_LT(t, 0.75) << x;
    }
}

// The picture over the door (frame half-width about 2.01 at y 3.4-6.6) must
// hang over a doorway at least as wide as itself, on a cornice: a narrower
// door with its lintel behind the frame read as a picture wedged onto posts.
TEST(GalleryLayout, HungPictureHangsOverAWiderDoorway) {
    const auto room = triangles(parseFile("scene4.sce"), [](Vec p) { return p; });
    for (const double x : {-2.1, 0.0, 2.1}) {
        EXPECT_TRUE(clearView(room, {x, 2.0, 6.0}, {x, 2.0, 11.0})) << "door at " << x;
        // Just under the frame's bottom edge something runs across: the cornice.
        EXPECT_FALSE(clearView(room, {x, 3.3, 6.0}, {x, 3.3, 8.2})) << "cornice at " << x;
    }
}

TEST(GalleryLayout, FirstShotSeesThePictureAndTheBallSeesTheRoom) {
    // Picture centre inside the doll's house, and the camera's first key.
    const Vec picture = roomToWorld(dollToRoom({0, 5, 8}));
    const Vec firstEye{0.3834, 2.8153, 3.679};
    const auto doll =
        triangles(parseFile("scene4.sce"), [](Vec p) { return roomToWorld(dollToRoom(p)); });
    EXPECT_TRUE(clearView(doll, firstEye, sub(picture, {0, 0, -0.001})));
    // The picture hangs on a wall: just behind it there is a wall.
    EXPECT_FALSE(clearView(doll, firstEye, roomToWorld(dollToRoom({0, 5, 8.5}))));

    // Backing out of the doll's house (straight to the pulled-back key) the
    // camera leaves through its window and passes nothing in the gallery.
    auto galleryAndDoll = triangles(parseFile("scene2.sce"), roomToWorld);
    galleryAndDoll.insert(galleryAndDoll.end(), doll.begin(), doll.end());
    EXPECT_TRUE(clearView(galleryAndDoll, firstEye, {-0.4, 2.81, 8.72}));
    // Out of the window it looks back through the open pane and past the
    // casement swung out beside it: the picture, out to its edge on that
    // side, stays in sight while the house is still large in the view.
    for (const double f : {0.015, 0.03}) {
        const Vec eye{0.3834 - 0.7834 * f, 2.8153 - 0.0053 * f, 3.679 + 5.041 * f};
        for (const double x : {0.0, 1.9}) {
            const Vec onPicture = roomToWorld(dollToRoom({x, 5, 7.99}));
            EXPECT_TRUE(clearView(doll, eye, onPicture)) << f << " " << x;
        }
    }

    // At full size the room stands around the ball: the pulled-back camera
    // looks at it through the doorway, and the ball is clear of everything.
    const auto room = triangles(parseFile("scene4.sce"), [](Vec p) { return p; });
    EXPECT_TRUE(clearView(room, {-0.4, 2.81, 8.72}, kBall));
    EXPECT_TRUE(clearView(room, {-8, 3.81, 8}, kBall));
    EXPECT_TRUE(clearView(room, {-6, 7.81, 8}, {0.38, 4.82, -6.69}));
    for (double a = 0; a < 6.28; a += 0.785) { // the orbit around the ball
        EXPECT_TRUE(clearView(room, {3 * std::cos(a), 3.81, 4 + 3 * std::sin(a)}, kBall));
    }
    EXPECT_TRUE(clearView(room, kBall, {0, 3 - 0.9, 4})); // resting just above the pedestal
    for (const Triangle& t : room) {
        for (const Vec& p : t) {
            const Vec d = sub(p, kBall);
            ASSERT_GT(std::sqrt(dot(d, d)), kBallRadius) << p[0] << " " << p[1] << " " << p[2];
        }
    }
}

} // namespace
