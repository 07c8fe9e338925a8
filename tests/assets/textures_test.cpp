// The generated textures: each decodes with our PNG decoder into a 24-bit
// picture of its size (libpng agreeing byte for byte), and each meets what
// its blend mode and mapping need on screen.
#include "../../tools/assetgen/face_layout.h"
#include "../../tools/assetgen/twirl_shape.h"
#include "imaging/bitmap_image.h"
#include "imaging/png_decoder.h"

#include <gtest/gtest.h>

#include <array>
#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <numbers>
#include <numeric>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

const std::string assetDir = HLV_ASSET_DIR;

// RGB pixels, top row first, as libpng reads them.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;
    int at(int x, int y, int channel) const {
        return rgb[(static_cast<size_t>(y) * width + x) * 3 + channel];
    }
    double luminance(int x, int y) const { return (at(x, y, 0) + at(x, y, 1) + at(x, y, 2)) / 3.0; }
};

Picture readWithLibpng(const std::string& name) {
    const std::string path = assetDir + "/" + name;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    Picture picture;
    if (!png_image_begin_read_from_file(&image, path.c_str())) {
        ADD_FAILURE() << "libpng cannot read " << path << ": " << image.message;
        return picture;
    }
    image.format = PNG_FORMAT_RGB;
    picture.width = static_cast<int>(image.width);
    picture.height = static_cast<int>(image.height);
    picture.rgb.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, picture.rgb.data(), 0, nullptr)) {
        ADD_FAILURE() << "libpng cannot decode " << path << ": " << image.message;
        picture.width = picture.height = 0;
    }
    return picture;
}

struct Expected {
    const char* file;
    int size;
};

// Every texture the loading sequence reads, with the size the effects expect.
const Expected textures[] = {
    {"256c.png", 256},           {"512c.png", 512},        {"white.png", 256},
    {"reflection2.png", 64},     {"512c2.png", 512},       {"envmap55.png", 256},
    {"overlay.png", 512},        {"overlay2.png", 256},    {"superfilm3.png", 256},
    {"speck_vertical.png", 256}, {"specks.png", 256},      {"presents.png", 256},
    {"vane.png", 256},           {"vane2.png", 256},       {"blend5.png", 256},
    {"envmap2.png", 256},        {"starburst.png", 256},   {"Lingradient.png", 256},
    {"spherical.png", 256},      {"carpet22.png", 512},    {"blend44.png", 512},
    {"theeye.png", 512},         {"blob.png", 128},        {"blob24.png", 256},
    {"raytracer.png", 256},      {"envmap5.png", 256},     {"blob22d.png", 128},
    {"graytext4.png", 256},      {"plane_alpha.png", 256}, {"blob22b.png", 128},
    {"blend45.png", 256},        {"vase_floor2.png", 256}, {"rain.png", 128},
    {"starburst2.png", 512},     {"goldfish2.png", 256},   {"moon1.png", 512},
    {"moon2.png", 512},          {"moon3.png", 512},       {"moon4.png", 512},
    {"moon5.png", 512},          {"fishtent.png", 128},    {"blob41.png", 64},
    {"blob41b.png", 128},        {"tvfilter4.png", 256},   {"blob2.png", 128},
    {"floor2.png", 256},         {"one_test.png", 512},    {"bluesea2.png", 256},
    {"one_test2.png", 256},      {"one_test3.png", 256},   {"wood12.png", 256},
    {"one_test5.png", 256},      {"blob22e.png", 128},     {"child_face.png", 512},
    {"child_face2.png", 512},    {"caust00.png", 256},     {"caust02.png", 256},
    {"caust04.png", 256},        {"caust06.png", 256},     {"caust08.png", 256},
    {"caust10.png", 256},        {"caust12.png", 256},     {"caust14.png", 256},
    {"caust16.png", 256},        {"caust18.png", 256},     {"caust20.png", 256},
    {"caust22.png", 256},        {"caust24.png", 256},     {"caust26.png", 256},
    {"caust28.png", 256},        {"caust30.png", 256},     {"causta.png", 256},
    {"fullalphawater.png", 256}, {"gradient.png", 256},    {"sky2.png", 512},
    {"sky4.png", 256},           {"nebula.png", 256},      {"deepspace.png", 256},
    {"blob8.png", 128},          {"caust.png", 256},       {"gelfishtex0.png", 512},
    {"caust2.png", 256},         {"medusa.png", 512},      {"blob22.png", 128},
    {"blend1.png", 256},         {"blend2.png", 256},      {"blend3.png", 256},
    {"vertical.png", 128},       {"greetings.png", 512},   {"greetings2.png", 512},
    {"greetings3.png", 512},     {"cred1.png", 512},       {"cred2.png", 512},
    {"cred3.png", 512},          {"cred4.png", 512},       {"cred5.png", 512},
};

TEST(Textures, EveryFileDecodesTo24BitAtItsSizeAndLibpngAgrees) {
    for (const Expected& e : textures) {
        SCOPED_TRACE(e.file);
        const std::string path = assetDir + "/" + e.file;
        Pictor::BitmapImage image;
        Pictor::PngDecoder decoder;
        ASSERT_NO_THROW(decoder.ReadImage(path.c_str(), image));
        ASSERT_EQ(image.BitCount(), 24u);
        ASSERT_EQ(image.Width(), static_cast<uint32_t>(e.size));
        ASSERT_EQ(image.Height(), static_cast<uint32_t>(e.size));

        const Picture oracle = readWithLibpng(e.file);
        ASSERT_EQ(oracle.width, e.size);
        ASSERT_EQ(oracle.height, e.size);
        size_t mismatches = 0;
        for (int y = 0; y < e.size; ++y) {
            // Our decoder keeps rows bottom-up and pixels blue, green, red.
            const std::uint8_t* row = image.Row(static_cast<uint32_t>(e.size - 1 - y));
            for (int x = 0; x < e.size; ++x) {
                for (int c = 0; c < 3; ++c) {
                    mismatches += row[3 * x + 2 - c] != oracle.at(x, y, c);
                }
            }
        }
        EXPECT_EQ(mismatches, 0u);
    }
}

// Chunk types and the filter bytes are not visible after decoding, so read
// the file structure directly.
std::vector<std::string> chunkTypes(const std::string& name) {
    std::ifstream in(assetDir + "/" + name, std::ios::binary);
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
    std::vector<std::string> types;
    for (size_t at = 8; at + 12 <= bytes.size();) {
        const size_t length = (size_t(bytes[at]) << 24) | (size_t(bytes[at + 1]) << 16) |
                              (size_t(bytes[at + 2]) << 8) | bytes[at + 3];
        types.emplace_back(reinterpret_cast<const char*>(&bytes[at + 4]), 4);
        at += 12 + length;
    }
    return types;
}

// The filter byte of every row, from the inflated image data.
std::set<int> rowFilters(const std::string& name, int width, int height) {
    std::ifstream in(assetDir + "/" + name, std::ios::binary);
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
    std::vector<std::uint8_t> packed;
    for (size_t at = 8; at + 12 <= bytes.size();) {
        const size_t length = (size_t(bytes[at]) << 24) | (size_t(bytes[at + 1]) << 16) |
                              (size_t(bytes[at + 2]) << 8) | bytes[at + 3];
        if (std::string(reinterpret_cast<const char*>(&bytes[at + 4]), 4) == "IDAT") {
            packed.insert(packed.end(), bytes.begin() + at + 8, bytes.begin() + at + 8 + length);
        }
        at += 12 + length;
    }
    const size_t stride = static_cast<size_t>(width) * 3 + 1;
    std::vector<std::uint8_t> raw(stride * height);
    uLongf size = raw.size();
    std::set<int> filters;
    if (uncompress(raw.data(), &size, packed.data(), packed.size()) == Z_OK && size == raw.size()) {
        for (int y = 0; y < height; ++y) {
            filters.insert(raw[stride * y]);
        }
    }
    return filters;
}

TEST(Textures, PackUsesEveryRowFilter) {
    std::set<int> used;
    for (const Expected& e : textures) {
        const auto filters = rowFilters(e.file, e.size, e.size);
        EXPECT_FALSE(filters.empty()) << e.file << ": image data does not inflate";
        used.insert(filters.begin(), filters.end());
    }
    EXPECT_EQ(used, (std::set<int>{0, 1, 2, 3, 4}));
}

TEST(Textures, PackUsesSeveralIdatChunksInSomeFiles) {
    int split = 0;
    for (const Expected& e : textures) {
        const auto types = chunkTypes(e.file);
        ASSERT_FALSE(types.empty()) << e.file;
        EXPECT_EQ(types.front(), "IHDR") << e.file;
        EXPECT_EQ(types.back(), "IEND") << e.file;
        split += std::count(types.begin(), types.end(), "IDAT") > 1;
    }
    EXPECT_GE(split, 5);
}

// Additive sprites add their border to the screen: it must be exactly black
// or the quad's edge shows as a square.
TEST(Textures, AdditiveSpritesEndInPureBlack) {
    const char* sprites[] = {"starburst.png", "starburst2.png", "spherical.png", "blob.png",
                             "blob2.png",     "blob8.png",      "blob22.png",    "blob22b.png",
                             "blob22d.png",   "blob22e.png",    "blob24.png",    "blob41.png",
                             "blob41b.png",   "theeye.png",     "deepspace.png", "nebula.png",
                             "rain.png",      "vane2.png",      "fishtent.png",  "specks.png",
                             "presents.png",  "vane.png",       "cred1.png",     "cred5.png",
                             "greetings.png", "medusa.png"};
    for (const char* file : sprites) {
        SCOPED_TRACE(file);
        const Picture p = readWithLibpng(file);
        ASSERT_GT(p.width, 0);
        // The star glow's corner texels colour the stars drawn after it.
        const bool cornersCarryColour = std::string(file) == "starburst2.png";
        int lit = 0, brightest = 0;
        for (int y = 0; y < p.height; ++y) {
            for (int x = 0; x < p.width; ++x) {
                const bool corner = (x == 0 || x == p.width - 1) && (y == 0 || y == p.height - 1);
                const bool border = (x < 2 || y < 2 || x >= p.width - 2 || y >= p.height - 2) &&
                                    !(corner && cornersCarryColour);
                for (int c = 0; c < 3; ++c) {
                    lit += border && p.at(x, y, c) != 0;
                    brightest = std::max(brightest, p.at(x, y, c));
                }
            }
        }
        EXPECT_EQ(lit, 0);
        // The tunnel's glow ball is amplified by the feedback it is drawn into,
        // so it is made dim on purpose;
        // so is the goldfish's fin veil, whose outline reads as a beam when bright,
        // and the deep-sea sprite, which fills the opening view magnified.
        const std::string name = file;
        const int expected = name == "spherical.png"   ? 120
                             : name == "fishtent.png"  ? 100
                             : name == "deepspace.png" ? 50
                                                       : 200;
        EXPECT_GT(brightest, expected) << "a sprite should reach near full brightness";
    }
}

// A texel's distance from the picture's middle, 1 at the edge's midpoint.
double relativeRadius(const Picture& p, int x, int y) {
    return std::hypot(x + 0.5 - p.width / 2.0, y + 0.5 - p.height / 2.0) / (p.width / 2.0);
}

// The eye planes spin over the swarm: each must read as one eye, a black
// pupil in a ring of bright parts, with almost nothing beyond its edge to fog
// the butterflies. Four to six planes add up where they overlap, so the iris
// is mostly dark: a bright iris summed into one white sheet.
TEST(Textures, EyeIsADarkIrisWithBrightPartsAroundABlackPupil) {
    const Picture p = readWithLibpng("theeye.png");
    ASSERT_GT(p.width, 0);
    double pupil = 0, iris = 0, outside = 0;
    int pupilN = 0, irisN = 0, outsideN = 0, irisBright = 0, irisPeak = 0;
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            const double r = relativeRadius(p, x, y);
            const int v = p.luminance(x, y);
            if (r < 0.06) {
                pupil += v, ++pupilN;
            } else if (r > 0.09 && r < 0.21) {
                iris += v, ++irisN;
                irisBright += v > 128;
                irisPeak = std::max(irisPeak, v);
            } else if (r > 0.35) {
                outside += v, ++outsideN;
            }
        }
    }
    EXPECT_LT(pupil / pupilN, 2) << "the pupil lets the sky show through";
    EXPECT_GT(iris / irisN, 15) << "the iris is too dim to read";
    EXPECT_LT(iris / irisN, 255 / 5.0) << "five stacked planes would burn the iris white";
    EXPECT_GT(irisPeak, 200) << "the iris has no bright parts";
    EXPECT_LT(irisBright, irisN / 4) << "bright parts fill the iris";
    EXPECT_LT(outside / outsideN, 6) << "the eye's light spreads beyond its edge";

    // Each plane flips edge-on and the trail keeps a narrower copy every
    // frame: an edge only a texel or two wide drew nested rings (moire).
    int steepest = 0;
    for (int x = 1; x < p.width; ++x) {
        const int y = p.height / 2;
        steepest = std::max(steepest, int(std::abs(p.luminance(x, y) - p.luminance(x - 1, y))));
    }
    EXPECT_LT(steepest, 120) << "an edge of the eye is too sharp";
}

// The ring is mostly seen edge-on, a dozen stamps along one line of sight,
// and what a stack adds up to is each blob's whole light: it must sit in a
// small bead, or the stack sums into one solid bar across the picture.
TEST(Textures, RingBlobKeepsItsLightInASmallBead) {
    const Picture p = readWithLibpng("blob.png");
    ASSERT_GT(p.width, 0);
    double inside = 0, total = 0, beyond = 0;
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            const double r = relativeRadius(p, x, y);
            const double v = p.luminance(x, y);
            total += v;
            inside += r < 0.2 ? v : 0;
            beyond += r > 0.5 ? v : 0;
        }
    }
    EXPECT_GT(inside, 0.75 * total) << "the blob's light spreads into a wide body";
    EXPECT_EQ(beyond, 0) << "the blob reaches past half its sprite";
}

// Each blob is drawn in the ring's colour: a white core keeps that colour
// and burns to white where the stack piles up, and a rose glow around it
// gives the trail a warm fringe, so the ring reads as strung lights. A
// near-white bead left one dull streak in whatever colour the ring had.
TEST(Textures, RingBlobIsAWhiteCoreInARoseGlow) {
    const Picture p = readWithLibpng("blob.png");
    ASSERT_GT(p.width, 0);
    const int c = p.width / 2;
    for (int channel = 0; channel < 3; ++channel) {
        EXPECT_GE(p.at(c, c, channel), 250) << "the core is not white in channel " << channel;
    }
    double glow[3] = {};
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            const double r = relativeRadius(p, x, y);
            for (int channel = 0; channel < 3 && r > 0.12 && r < 0.2; ++channel) {
                glow[channel] += p.at(x, y, channel);
            }
        }
    }
    EXPECT_LT(glow[1], 0.6 * glow[0]) << "the glow is not rose: too much green";
    EXPECT_GT(glow[2], 0.6 * glow[0]) << "the glow lost its violet";
}

// The small jellyfishes' glow is drawn about the bell's size and the mirror
// balls take it as a sheen over their whole view: any plateau reads as a
// solid blue disc or a hazed mirror. The light must sit in a hot point and
// fall off smoothly, with no ring or step on the way out, yet still be
// lit out to the bell's edge.
TEST(Textures, JellyfishGlowIsAHotPointThatFadesWithoutAnEdge) {
    const Picture p = readWithLibpng("blob22d.png");
    ASSERT_GT(p.width, 0);
    constexpr int kRings = 20;
    double sum[kRings] = {}, count[kRings] = {};
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            const double r = relativeRadius(p, x, y);
            if (r < 1.0) {
                const int ring = static_cast<int>(r * kRings);
                sum[ring] += std::max({p.at(x, y, 0), p.at(x, y, 1), p.at(x, y, 2)});
                count[ring] += 1;
            }
        }
    }
    double profile[kRings];
    for (int i = 0; i < kRings; ++i) {
        profile[i] = sum[i] / count[i];
    }
    EXPECT_GT(profile[0], 200) << "no hot core";
    EXPECT_LT(profile[3], 0.5 * profile[0]) << "the core is wider than a small point";
    EXPECT_LT(profile[10], 0.06 * profile[0]) << "a glowing disc reaches half the sprite";
    // Drawn in dim blue over a busy scene, a bare point showed only as a bead.
    EXPECT_GT(profile[4], 0.15 * profile[0]) << "the glow dies before the bell's edge";
    for (int i = 1; i < kRings; ++i) {
        EXPECT_LE(profile[i], profile[i - 1] + 0.5) << "a ring brightens at radius " << i;
    }
}

// The rain scene's tree sprites and its three flares by the sun: the flares
// stand still inside a loop that lifts a still faint texel many times over,
// so any ring round the core grew into a wide rainbow circle.
TEST(Textures, TreeSparkIsAWhiteCoreWithoutARing) {
    const Picture p = readWithLibpng("blob22b.png");
    ASSERT_GT(p.width, 0);
    constexpr int kRings = 32;
    double sum[kRings] = {}, count[kRings] = {}, tint = 0;
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            const double r = relativeRadius(p, x, y);
            const int high = std::max({p.at(x, y, 0), p.at(x, y, 1), p.at(x, y, 2)});
            const int low = std::min({p.at(x, y, 0), p.at(x, y, 1), p.at(x, y, 2)});
            tint = std::max(tint, static_cast<double>(high - low));
            if (r < 1.0) {
                const int ring = static_cast<int>(r * kRings);
                sum[ring] += high;
                count[ring] += 1;
            }
        }
    }
    EXPECT_GT(sum[0] / count[0], 240) << "no white-hot core";
    EXPECT_LE(tint, 2) << "the sprite carries a hue of its own";
    for (int i = 1; i < kRings; ++i) {
        EXPECT_LE(sum[i] / count[i], sum[i - 1] / count[i - 1] + 0.5)
            << "a ring brightens at radius " << i;
    }
}

// The deep sea's swarm is this one sprite, 20-40 pixels across, and builds
// a medusa from hundreds of added copies; far specks and the gallery's sparks
// draw it too, the sparks large over a bright wall. Its light sits in a round
// core (a spark when small, a glowing cord when stacked) on a thin level
// glint along a fish's length, in a haze that carries no eye, fin or tail:
// the faint fish the glint replaced read over the wall as see-through fish.
TEST(Textures, SwarmSpriteIsACoreOnALevelGlint) {
    const Picture p = readWithLibpng("blob2.png");
    ASSERT_GT(p.width, 0);
    const int mid = p.height / 2;
    EXPECT_GT(p.luminance(p.width / 2, mid), 230) << "no bright core";

    // The glint: along the axis it stands well clear of the haze just off it.
    for (const int x : {p.width * 3 / 10, p.width * 7 / 10}) {
        const double off = std::max(p.luminance(x, mid - 6), p.luminance(x, mid + 6));
        EXPECT_GT(p.luminance(x, mid), 2 * off) << "no glint at column " << x;
        EXPECT_GT(p.luminance(x, mid), off + 30) << "no glint at column " << x;
    }
    int along = 0;
    for (int x = 0; x < p.width; ++x) {
        along += p.luminance(x, mid) > 12;
    }
    EXPECT_GT(along, 0.65 * p.width) << "the glint is too short for a fish";

    // The haze: dim everywhere off the glint, and smooth through the tail
    // (no forked lobes with a dark notch between them).
    double hazePeak = 0, total = 0;
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            total += p.luminance(x, y);
            if (std::abs(y - mid) > 4 &&
                std::hypot(x + 0.5 - p.width / 2.0, y + 0.5 - mid) > 0.2 * p.width) {
                hazePeak = std::max(hazePeak, double(p.luminance(x, y)));
            }
        }
    }
    EXPECT_LT(hazePeak, 50) << "the haze round the glint shows a shape over a bright wall";
    const int tail = p.width * 86 / 100;
    double wrongWay = 0; // the largest step away from one hump on the axis
    for (int y = 1; y < p.height; ++y) {
        const double step = p.luminance(tail, y) - p.luminance(tail, y - 1);
        wrongWay = std::max(wrongWay, y <= mid ? -step : step);
    }
    EXPECT_LT(wrongWay, 3) << "the tail still has a forked outline";

    EXPECT_LT(total / (p.width * p.height), 0.15 * 255) << "the sprite is too bright to stack";
}

// The creature's arms are a hundred of these beads a pixel or two apart, so
// what shows is their sum across the arm: most light in the hot point (the
// thread), a real share in a faint body well out from it (the arm's flesh;
// without it the arms are wires), and that body dim per bead, or a dense
// stretch burns into a white bar the sprite's width.
TEST(Textures, ArmBeadIsAHotPointInAFaintWideBody) {
    const Picture p = readWithLibpng("blob41.png");
    ASSERT_GT(p.width, 0);
    double total = 0, point = 0, body = 0, brightestBody = 0;
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            const double r = relativeRadius(p, x, y);
            const double v = p.luminance(x, y);
            total += v;
            point += r < 0.1 ? v : 0;
            if (r > 0.3 && r < 0.6) {
                body += v;
                brightestBody = std::max(brightestBody, v);
            }
        }
    }
    EXPECT_GT(point, 0.12 * total) << "no hot thread down the arm";
    EXPECT_GT(body, 0.25 * total) << "the arm has no flesh round its thread";
    EXPECT_LT(brightestBody, 0.08 * 255) << "dense stretches burn into a wide bar";
}

// The big blue arm beads are drawn wider than the creature's body and many
// cross near the camera: their light must sit in a small pearl, or the
// overlaps add up into a blown-out blue sheet.
TEST(Textures, BlueArmBeadKeepsItsLightInAPearl) {
    const Picture p = readWithLibpng("blob41b.png");
    ASSERT_GT(p.width, 0);
    double inside = 0, outside = 0;
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            const double r = std::hypot(x + 0.5 - p.width / 2.0, y + 0.5 - p.height / 2.0);
            (r < 0.1 * p.width ? inside : outside) += p.at(x, y, 2);
        }
    }
    EXPECT_LT(outside, 0.15 * (inside + outside)) << "the bead's light spreads into a halo";
    EXPECT_GT(p.at(p.width / 2, p.height / 2, 2), 220) << "the pearl has no hot core";
}

// Bubbles are added in warm light into a trail that keeps ten frames: only a
// thin rim closed all round and a dark middle leave rings, not a smudge; and
// the ring must stay small against the climb between frames, or the copies
// run together into rails. The warm draw colour turns any red in the sprite
// into orange rings, so the rim is cool: blue carries it, red stays low.
TEST(Textures, BubbleIsAThinBrightRing) {
    const Picture p = readWithLibpng("blob22e.png");
    ASSERT_GT(p.width, 0);
    int lit = 0;
    double farthest = 0;
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            if (p.at(x, y, 2) > 64) {
                ++lit;
                EXPECT_LT(p.at(x, y, 0), 0.5 * p.at(x, y, 2)) << "warm rim at " << x << "," << y;
                farthest = std::max(farthest,
                                    std::hypot(x + 0.5 - p.width / 2.0, y + 0.5 - p.height / 2.0));
            }
        }
    }
    EXPECT_LT(farthest, 0.1 * p.width) << "the ring is too wide for the climb between frames";
    EXPECT_GT(farthest, 0.05 * p.width) << "no rim: the bubble is a dot";
    EXPECT_LT(lit, p.width * p.height / 40) << "the bubble is a blob, not a thin ring";
    // Closed: every direction from the middle crosses a bright rim.
    for (int k = 0; k < 16; ++k) {
        const double a = k * std::numbers::pi / 8;
        int brightest = 0;
        for (double d = 0; d < 0.1 * p.width; d += 0.5) {
            const int x = static_cast<int>(p.width / 2.0 + d * std::cos(a));
            const int y = static_cast<int>(p.height / 2.0 + d * std::sin(a));
            brightest = std::max(brightest, p.at(x, y, 2));
        }
        EXPECT_GT(brightest, 200) << "the rim breaks at direction " << k;
    }
    EXPECT_LT(p.at(p.width / 2, p.height / 2, 2), 40) << "the bubble's middle is filled";
}

// One star for sprites of very different sizes. Small, in the tunnel's trail,
// it must be a hot point with a few needle rays and black between them.
// Drawn many times larger over the swarm and the deep sea, where up to five
// copies at half strength cover one spot, the rays must have lost their light
// long before the sprite's edge and the round light must stay far below white.
TEST(Textures, StarburstIsAFineStar) {
    const Picture p = readWithLibpng("starburst.png");
    ASSERT_GT(p.width, 0);
    int lit = 0, hot = 0;
    double hotFarthest = 0, litFarthest = 0, light = 0;
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            const double r = std::hypot(x + 0.5 - p.width / 2.0, y + 0.5 - p.height / 2.0);
            light += p.at(x, y, 0) / 255.0;
            if (p.at(x, y, 0) > 200) {
                ++hot;
                hotFarthest = std::max(hotFarthest, r);
            }
            if (p.at(x, y, 0) > 16) {
                ++lit;
                litFarthest = std::max(litFarthest, r);
            }
        }
    }
    EXPECT_GT(hot, 0) << "no hot core";
    EXPECT_LT(hotFarthest, 0.04 * p.width) << "the core is a disc, not a point";
    EXPECT_LT(lit, p.width * p.height / 40) << "too much of the sprite is lit";
    EXPECT_GT(litFarthest, 0.08 * p.width) << "no rays reach out past the core";

    struct Ring {
        int peak = 0, lit = 0, runs = 0;
        double mean = 0;
    };
    const auto ring = [&](double radius, int litAbove) {
        const int steps = 720;
        Ring out;
        bool inRay = false;
        for (int k = 0; k <= steps; ++k) {
            const double a = 2 * std::numbers::pi * k / steps;
            const int x = static_cast<int>(p.width / 2.0 + radius * p.width * std::cos(a));
            const int y = static_cast<int>(p.height / 2.0 + radius * p.height * std::sin(a));
            const int v = p.at(x, y, 0);
            const bool on = v > litAbove;
            if (k < steps) {
                out.peak = std::max(out.peak, v);
                out.lit += on ? 1 : 0;
                out.runs += on && !inRay ? 1 : 0;
                out.mean += v / static_cast<double>(steps);
            }
            inRay = on;
        }
        return out;
    };
    // Just outside the core: bright, few, narrow rays with black between.
    const Ring near = ring(0.06, 40);
    EXPECT_GT(near.peak, 60) << "the rays are too faint to read";
    EXPECT_GE(near.runs, 4) << "fewer than four rays";
    EXPECT_LT(near.lit, 720 / 6) << "the rays are broad or sit in a halo";
    // Magnified, rays still bright this far out crossed as long hard spikes.
    EXPECT_LT(ring(0.15, 40).peak, 30) << "the rays stay bright too far out";
    // Drawn sixteen bells across inside each late jellyfish, any light beyond
    // a pin and its needles burned into a lamp: the whole star is faint.
    EXPECT_LT(light, 0.0025 * p.width * p.height) << "the star carries too much light";
    // Five copies at half strength, turned apart: their mean must stay well
    // below white everywhere outside the core.
    for (double radius : {0.04, 0.06, 0.1, 0.2, 0.3}) {
        EXPECT_LT(2.5 * ring(radius, 40).mean, 128) << "stacked copies burn " << radius << " out";
    }
}

// Stars drawn textured after a glow sample it at (0, 1), where the four
// corner texels meet: black there would draw them as black blots.
TEST(Textures, StarGlowCornersKeepTheStarsLit) {
    const Picture p = readWithLibpng("starburst2.png");
    ASSERT_GT(p.width, 0);
    for (int x : {0, p.width - 1}) {
        for (int y : {0, p.height - 1}) {
            for (int c = 0; c < 3; ++c) {
                EXPECT_GT(p.at(x, y, c), 240) << x << "," << y;
            }
        }
    }
    EXPECT_EQ(p.at(1, 1, 0), 0); // one texel in, the glow is black again
}

// Four copies under a blue tint make each goldfish's eye: a peaked core drew
// one violet pixel, so the glow's middle is a flat white bead a few texels
// across that stacks to a white point, and the halos round it stay gold. The
// rain's sun stacks three in a loop, so the bead adds little light in all.
TEST(Textures, StarGlowHasAWhiteBeadInGoldHalos) {
    const Picture p = readWithLibpng("starburst2.png");
    ASSERT_EQ(p.width, 512);
    const int c = p.width / 2;
    for (int y = c - 8; y < c + 8; ++y) {
        for (int x = c - 8; x < c + 8; ++x) {
            if (std::hypot(x + 0.5 - c, y + 0.5 - c) > 7) {
                continue;
            }
            for (int k = 0; k < 3; ++k) {
                ASSERT_GT(p.at(x, y, k), 240) << x << "," << y << " channel " << k;
            }
        }
    }
    // A bead, not a disc: a quarter of the way to the edge the halo is gold
    // and faint.
    const int out = c + 32;
    EXPECT_LT(p.at(out, c, 0), 60);
    EXPECT_GT(p.at(out, c, 0), 1.3 * p.at(out, c, 2));
    double light = 0;
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            light += p.at(x, y, 0) / 255.0;
        }
    }
    EXPECT_LT(light, 0.007 * p.width * p.height) << "the glow carries too much light";
}

// The star fractal adds this glow tinted red among its jagged star meshes:
// star points in it drew more jagged edges, so it falls evenly all round.
TEST(Textures, StarGlowFallsEvenlyAllRound) {
    const Picture p = readWithLibpng("starburst2.png");
    ASSERT_EQ(p.width, 512);
    const int c = p.width / 2;
    // Outside the core, where a texel of radius changes little.
    for (int radius : {24, 40, 64, 100}) {
        double lo = 255, hi = 0;
        for (int k = 0; k < 72; ++k) {
            const double a = k * 2 * 3.14159265 / 72;
            const double v = p.at(static_cast<int>(std::lround(c - 0.5 + radius * std::cos(a))),
                                  static_cast<int>(std::lround(c - 0.5 + radius * std::sin(a))), 0);
            lo = std::min(lo, v);
            hi = std::max(hi, v);
        }
        EXPECT_LT(hi - lo, 0.15 * hi + 3) << "rays at radius " << radius;
    }
}

// The hung picture's frame takes its one colour from where the picture's
// last corner (450/512, 0) samples the underwater texture: columns 449 and
// 450 of the top and bottom rows, three of them never overwritten by the
// copied picture. With the copied corner's blue as the fourth, the mix drawn
// at 0.65 must read as the dark walnut of the door casing, not as water.
TEST(Textures, HungPictureFrameSamplesDarkWalnut) {
    const Picture p = readWithLibpng("512c2.png");
    ASSERT_EQ(p.width, 512);
    const int copiedBlue[3] = {0, 56, 163};
    double drawn[3] = {0, 0, 0};
    for (int c = 0; c < 3; ++c) {
        drawn[c] =
            0.65 * (p.at(449, 0, c) + p.at(450, 0, c) + p.at(450, 511, c) + copiedBlue[c]) / 4.0;
    }
    EXPECT_GT(drawn[0], 1.3 * drawn[1]); // warm brown, not grey
    EXPECT_GT(drawn[1], drawn[2]);       // and not the navy the blue pulls toward
    EXPECT_GT(drawn[0], 35.0);           // dark, yet not a black hole round the picture
    EXPECT_LT(drawn[0], 70.0);
}

// Layer C lays the underwater picture over the live scene at a fifth to a
// half of full opacity, in 20 x 20 tiles of 25.6 texels. Once they have come
// together they must read as one picture: no line of any kind along the tile
// borders (a dark seam read as bathroom tiles), and a strong tonal range
// inside, or the tiles read as grey glass.
TEST(Textures, UnderwaterPictureIsSeamlessAcrossTilesWithContrast) {
    const Picture p = readWithLibpng("512c2.png");
    ASSERT_EQ(p.width, 512);
    // Steps between neighbouring texels: across each tile border, and the
    // same number of steps half a tile away from it.
    double acrossBorder = 0, inside = 0, darkest = 255, brightest = 0;
    for (int tile = 1; tile < 20; ++tile) {
        const int border = static_cast<int>(tile * 25.6);
        for (int along = 2; along < 510; ++along) {
            const auto step = [&p, along](int from, int to) {
                return std::abs(p.luminance(from, along) - p.luminance(to, along)) +
                       std::abs(p.luminance(along, from) - p.luminance(along, to));
            };
            acrossBorder += step(border - 1, border) + step(border, border + 1);
            inside += step(border - 14, border - 13) + step(border - 13, border - 12);
            const double l = p.luminance(border - 13, along);
            darkest = std::min(darkest, l);
            brightest = std::max(brightest, l);
        }
    }
    EXPECT_LT(acrossBorder, 1.25 * inside);
    EXPECT_GT(brightest - darkest, 110.0);
}

// Most single tiles, seen alone while they fly in faint and turned, must
// hold both a dark and a light shape (indigo beside teal, gold or cream): a
// tile of graded mid blue read as a muddy shard over the night scene.
TEST(Textures, UnderwaterPictureTilesEachHoldLightAndDark) {
    const Picture p = readWithLibpng("512c2.png");
    ASSERT_EQ(p.width, 512);
    int bold = 0;
    for (int row = 0; row < 20; ++row) {
        for (int column = 0; column < 20; ++column) {
            std::vector<double> values;
            for (int y = int(row * 25.6); y < int((row + 1) * 25.6); ++y) {
                for (int x = int(column * 25.6); x < int((column + 1) * 25.6); ++x) {
                    values.push_back(p.luminance(x, y));
                }
            }
            std::sort(values.begin(), values.end());
            bold += values[values.size() * 9 / 10] - values[values.size() / 10] > 80.0;
        }
    }
    EXPECT_GT(bold, 0.55 * 400) << "too many tiles are one flat tone";
}

// Layer C's tiles lay the upper picture (open water, fish, shafts) over a
// dark night scene at a fifth to a half of its opacity: a pale turquoise
// water read there as see-through cyan glass. The water must be a deep,
// saturated blue, with the shafts still bright inside it, and the fish in it
// orange-gold: mapped onto the water's palette they read as pale pills.
TEST(Textures, UnderwaterPictureWaterIsDeepSaturatedBlueWithGoldFish) {
    const Picture p = readWithLibpng("512c2.png");
    ASSERT_EQ(p.width, 512);
    double sum[3] = {0, 0, 0}, fishSum[3] = {0, 0, 0}, brightest = 0;
    int n = 0, fish = 0;
    for (int y = 40; y < 240; ++y) {
        for (int x = 0; x < p.width; ++x) {
            const bool warm = p.at(x, y, 0) > p.at(x, y, 2) + 40;
            for (int c = 0; c < 3; ++c) {
                (warm ? fishSum : sum)[c] += p.at(x, y, c);
            }
            (warm ? fish : n) += 1;
            brightest = std::max(brightest, p.luminance(x, y));
        }
    }
    ASSERT_GT(n, 0.8 * 200 * p.width) << "the fish crowd out the water";
    const double r = sum[0] / n, g = sum[1] / n, b = sum[2] / n;
    EXPECT_LT((r + g + b) / 3.0, 75.0); // deep, not pale
    EXPECT_GT(b, 1.5 * g);              // blue, not turquoise
    EXPECT_GT(b, 4.0 * r);
    EXPECT_GT(brightest, 200.0); // the light in it survives
    ASSERT_GT(fish, 0.03 * 200 * p.width) << "no fish left in the water";
    const double fr = fishSum[0] / fish, fg = fishSum[1] / fish, fb = fishSum[2] / fish;
    EXPECT_GT(fr, 170.0);     // bright
    EXPECT_GT(fr, 1.2 * fg);  // orange-gold, not cream
    EXPECT_GT(fg, fb + 20.0); // and not pink
}

// Light blooms in water: the water right round a fish must be no darker
// than the water a little farther off. Sharpened, every fish and light line
// had a dark ring, and the assembled painting read as inked outlines.
TEST(Textures, UnderwaterPictureFishGlowWithoutDarkOutlines) {
    const Picture p = readWithLibpng("512c2.png");
    ASSERT_EQ(p.width, 512);
    const auto warm = [&p](int x, int y) { return p.at(x, y, 0) > p.at(x, y, 2) + 40; };
    // Distance (in a square's rings, up to 10) to the nearest fish texel.
    const auto ringToFish = [&](int x, int y) {
        for (int d = 1; d <= 10; ++d) {
            for (int i = -d; i <= d; ++i) {
                if (warm(x + i, y - d) || warm(x + i, y + d) || warm(x - d, y + i) ||
                    warm(x + d, y + i)) {
                    return d;
                }
            }
        }
        return 11;
    };
    double near = 0, far = 0;
    int nearCount = 0, farCount = 0;
    for (int y = 40; y < 240; ++y) {
        for (int x = 10; x < p.width - 10; ++x) {
            if (warm(x, y)) {
                continue;
            }
            const int d = ringToFish(x, y);
            if (d <= 3) {
                near += p.luminance(x, y);
                ++nearCount;
            } else if (d >= 7 && d <= 10) {
                far += p.luminance(x, y);
                ++farCount;
            }
        }
    }
    ASSERT_GT(nearCount, 1000);
    ASSERT_GT(farCount, 1000);
    EXPECT_GE(near / nearCount, far / farCount) << "a dark ring round the fish";
}

// Magnified about twice on screen, soft outlines read as a blown-up
// low-resolution picture: a fish's edge must rise sharply, most of its step
// from the water within one texel, as in a painting with a loaded brush.
TEST(Textures, UnderwaterPictureFishHaveCrispEdges) {
    const Picture p = readWithLibpng("512c2.png");
    ASSERT_EQ(p.width, 512);
    const auto warm = [&p](int x, int y) { return p.at(x, y, 0) > p.at(x, y, 2) + 40; };
    double step = 0;
    int edges = 0;
    for (int y = 40; y < 240; ++y) {
        for (int x = 2; x < p.width - 2; ++x) {
            for (int d : {-1, 1}) {
                if (warm(x, y) && !warm(x + d, y)) {
                    step += p.luminance(x, y) - p.luminance(x + d, y);
                    ++edges;
                }
                if (warm(x, y) && !warm(x, y + d)) {
                    step += p.luminance(x, y) - p.luminance(x, y + d);
                    ++edges;
                }
            }
        }
    }
    ASSERT_GT(edges, 500);
    EXPECT_GT(step / edges, 45.0) << "mean step across a fish's outline";
}

// The tiles show the medusa picture down to row 410; tentacles still bright
// there end in a straight cut across the lower tiles, so they must have faded
// into the dark by then while they still glow below the bell.
TEST(Textures, MedusaTentaclesFadeBeforeThePictureEnds) {
    const Picture p = readWithLibpng("medusa.png");
    ASSERT_EQ(p.width, 512);
    const auto bandMean = [&p](int from, int to) {
        double sum = 0;
        for (int y = from; y < to; ++y) {
            for (int x = 0; x < p.width; ++x) {
                sum += p.luminance(x, y);
            }
        }
        return sum / ((to - from) * p.width);
    };
    const double belowBell = bandMean(220, 250), lastShown = bandMean(396, 410);
    EXPECT_GT(belowBell, 8.0);
    EXPECT_LT(lastShown, 0.03 * belowBell);
    int brightestLast = 0;
    for (int y = 396; y < 410; ++y) {
        for (int x = 0; x < p.width; ++x) {
            brightestLast = std::max(brightestLast, static_cast<int>(p.luminance(x, y)));
        }
    }
    EXPECT_LT(brightestLast, 24);
}

// Each tile (51 texels) flies in dim and turned, so a tile over the bell must
// carry broad light: thin lines and specks there read as scribbled glyphs.
// Fine detail is what a 5 x 5 mean takes away; over the bell's rows it stays
// a small part of the light in every lit tile.
TEST(Textures, MedusaBellTilesCarryBroadLight) {
    const Picture p = readWithLibpng("medusa.png");
    ASSERT_EQ(p.width, 512);
    constexpr int kTile = 51, kBellTileRows = 5;
    int litTiles = 0;
    for (int row = 0; row < kBellTileRows; ++row) {
        for (int column = 0; column < 10; ++column) {
            double light = 0, fine = 0;
            int texels = 0;
            for (int y = row * kTile + 2; y < row * kTile + kTile - 2; ++y) {
                for (int x = column * kTile + 2; x < column * kTile + kTile - 2; ++x) {
                    double around = 0;
                    for (int dy = -2; dy <= 2; ++dy) {
                        for (int dx = -2; dx <= 2; ++dx) {
                            around += p.luminance(x + dx, y + dy);
                        }
                    }
                    light += p.luminance(x, y);
                    fine += std::abs(p.luminance(x, y) - around / 25);
                    ++texels;
                }
            }
            if (light / texels > 20) {
                ++litTiles;
                EXPECT_LT(fine / light, 0.2) << "tile row " << row << ", column " << column;
            }
        }
    }
    // The bell is big: it lights most of the middle six columns of those rows.
    EXPECT_GE(litTiles, 24);
}

// The picture leaves tile by tile and the bell's last tiles fade out alone,
// dim and turned: a bell that glows evenly inside shows each of them as a
// flat grey box. Its light lives in the outline, canals, rim and gonads over
// dark jelly, so every lit bell tile keeps a dark part.
TEST(Textures, MedusaBellTilesAreNotEvenFills) {
    const Picture p = readWithLibpng("medusa.png");
    ASSERT_EQ(p.width, 512);
    constexpr int kTile = 51, kBellTileRows = 5;
    int litTiles = 0, evenTiles = 0;
    for (int row = 0; row < kBellTileRows; ++row) {
        for (int column = 0; column < 10; ++column) {
            std::vector<double> texels;
            for (int y = row * kTile + 2; y < row * kTile + kTile - 2; ++y) {
                for (int x = column * kTile + 2; x < column * kTile + kTile - 2; ++x) {
                    texels.push_back(p.luminance(x, y));
                }
            }
            std::ranges::sort(texels);
            const double mean = std::accumulate(texels.begin(), texels.end(), 0.0) / texels.size();
            if (mean <= 20) {
                continue;
            }
            ++litTiles;
            const std::size_t quarter = texels.size() / 4;
            const double darkest =
                std::accumulate(texels.begin(), texels.begin() + quarter, 0.0) / quarter;
            // Only the gonads fill a tile; even they leave dark jelly round them.
            EXPECT_LT(darkest, 0.6 * mean) << "tile row " << row << ", column " << column;
            if (darkest > 0.45 * mean) {
                ++evenTiles;
            }
        }
    }
    EXPECT_GE(litTiles, 24);
    EXPECT_LE(evenTiles, 2);
}

// The splash faces the eye: its ripple is a flat ellipse in the lower third,
// narrow so the squeezed streak shows no upright ring, with bright crests
// at both ends and a dim middle (a bar through the ring
// read as a glyph), and the drop's line above it, lit down the middle, is
// what the squeezed streak shows.
TEST(Textures, RainSplashIsAFlatRippleUnderItsDropLine) {
    const Picture p = readWithLibpng("rain.png");
    ASSERT_EQ(p.width, 128);
    const int middleRow = 102; // t = 0.2
    double leftCrest = 0, rightCrest = 0;
    for (int x = 30; x < 54; ++x) {
        leftCrest = std::max(leftCrest, p.luminance(x, middleRow));
        rightCrest = std::max(rightCrest, p.luminance(127 - x, middleRow));
    }
    EXPECT_GT(leftCrest, 120);
    EXPECT_GT(rightCrest, 120);
    EXPECT_LT(p.luminance(64, middleRow), 40);
    for (int x = 0; x < 24; ++x) {
        EXPECT_LT(p.luminance(x, middleRow), 10) << x;
        EXPECT_LT(p.luminance(127 - x, middleRow), 10) << x;
    }
    // Flat: off the line, the far crest lies close above the middle row and
    // the sprite is dark above it.
    double backCrest = 0, aboveRipple = 0;
    for (int y = middleRow - 40; y < middleRow - 24; ++y) {
        aboveRipple = std::max(aboveRipple, p.luminance(40, y));
    }
    for (int y = middleRow - 24; y < middleRow - 10; ++y) {
        backCrest = std::max(backCrest, p.luminance(52, y));
    }
    EXPECT_GT(backCrest, 100);
    EXPECT_LT(aboveRipple, 20);
    int lit = 0;
    for (int y = 16; y < 80; ++y) {
        lit += p.luminance(64, y) > 60 ? 1 : 0;
        EXPECT_LT(p.luminance(16, y), 10) << y;
    }
    EXPECT_GT(lit, 45);
}

// The vase's skin is laid from above, so each row is a vertical cut through
// the vase. Its highlight must run along the axis row unbroken (a streak from
// foot to lip, not dashes), while the rest stays one dark glaze inside the
// loop's budget: rows that differ read as stripes down the vase, which the
// loop burned into a striped blob.
TEST(Textures, VaseGlazeIsOneDarkGlazeWithAStreakAlongTheAxis) {
    const Picture p = readWithLibpng("blend45.png");
    ASSERT_GT(p.width, 0);
    const auto rowMean = [&](int y) {
        double sum = 0;
        for (int x = 0; x < p.width; ++x) {
            sum += p.luminance(x, y);
        }
        return sum / p.width;
    };
    double dimmest = 255;
    for (int x = 0; x < p.width; ++x) {
        dimmest = std::min(dimmest, p.luminance(x, p.height / 2));
    }
    EXPECT_GT(dimmest, 0.45 * 255) << "the highlight breaks along the vase";
    double groundLow = 255, groundHigh = 0, blue = 0;
    int groundRows = 0, brightestBlue = 0;
    for (int y = 0; y < p.height; ++y) {
        // Well away from the streak and its window bar on either side.
        if (std::abs(y - p.height / 2) < p.height / 5) {
            continue;
        }
        groundLow = std::min(groundLow, rowMean(y));
        groundHigh = std::max(groundHigh, rowMean(y));
        for (int x = 0; x < p.width; ++x) {
            blue += p.at(x, y, 2);
            brightestBlue = std::max(brightestBlue, p.at(x, y, 2));
        }
        ++groundRows;
    }
    blue /= groundRows * p.width * 255.0;
    EXPECT_LT(brightestBlue, 0.12 * 255);
    EXPECT_GT(blue, 0.035) << "the vase vanishes into the night";
    EXPECT_LT(blue, 0.07) << "a still glaze this bright burns out";
    EXPECT_LT(groundHigh - groundLow, 0.04 * 255) << "bands across the rows";
    EXPECT_GT(rowMean(p.height / 2), 5 * groundHigh);
}

// The room's floor and case repeat dozens of times across the frame: a net
// of light over the whole of it read as a water pattern behind the objects.
// It is a calm dark cool stone, a few warm veins its only bright parts, and
// little changes between texels a few apart.
TEST(Textures, RoomFloorIsCalmDarkStoneWithFewWarmVeins) {
    const Picture p = readWithLibpng("plane_alpha.png");
    ASSERT_GT(p.width, 0);
    double vein[3] = {}, body[3] = {}, change = 0;
    int veinCount = 0, bodyCount = 0;
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            const double v = p.luminance(x, y);
            const bool lit = v > 85;
            double* sum = lit ? vein : body;
            (lit ? veinCount : bodyCount) += 1;
            for (int c = 0; c < 3; ++c) {
                sum[c] += p.at(x, y, c);
            }
            change += std::abs(v - p.luminance((x + 4) % p.width, y));
        }
    }
    const double texels = static_cast<double>(p.width) * p.height;
    EXPECT_GT(veinCount, 0.01 * texels) << "no veins: a flat slab";
    EXPECT_LT(veinCount, 0.08 * texels) << "the pattern fills the floor";
    EXPECT_LT(change / texels, 8.0) << "a busy pattern";
    ASSERT_GT(veinCount * bodyCount, 0);
    EXPECT_GT(vein[0], 1.05 * vein[2]) << "the veins are not warm";
    EXPECT_GT(body[2], 1.2 * body[0]) << "the stone is not cool";
    EXPECT_LT(body[1] / bodyCount, 70) << "the stone is not dark";
}

// The rain scene's floor lies at 80 % over the vase's mirror image inside a
// loop that multiplies what stands still: all of it stays dim, and its
// standing water is nearly black so the 20 % mirror image shows there,
// beside dry slate that still reads as a floor, its rain films the
// brightest still part. The loop swirls the sun's
// side (x -4 to 0, the left third) into the rays' gold from 100 s, where
// warm stone turned brown: it stays violet (no redder than blue), the far
// side indigo.
TEST(Textures, WetFloorIsDimWithBlackWaterForTheReflection) {
    const Picture p = readWithLibpng("vase_floor2.png");
    ASSERT_GT(p.width, 0);
    int water = 0, slate = 0, overBudget = 0, films = 0;
    double sunSide[3] = {}, farSide[3] = {};
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            const double l = p.luminance(x, y);
            // Bead highlights are points (the next test bounds them); the
            // stone round them is what must stay within the budget.
            overBudget += l > 0.12 * 255 ? 1 : 0;
            films += l > 0.06 * 255 && l <= 0.12 * 255 ? 1 : 0;
            water += l < 3.0 ? 1 : 0;
            slate += l > 5.0 ? 1 : 0;
            double* side = 3 * x < p.width ? sunSide : 3 * x >= 2 * p.width ? farSide : nullptr;
            for (int c = 0; side && c < 3; ++c) {
                side[c] += p.at(x, y, c);
            }
        }
    }
    const int texels = p.width * p.height;
    EXPECT_LT(overBudget, texels / 100) << "the stone itself burns in the loop";
    // Standing rain mirrors the dusk just under the budget: without it the
    // slate reads as a black void before the loop builds up.
    EXPECT_GT(films, texels / 40) << "no rain films lit by the dusk on the slate";
    EXPECT_GT(water, texels / 6) << "no dark water for the mirror image to show in";
    EXPECT_GT(slate, texels / 5) << "the floor itself vanishes";
    EXPECT_GE(sunSide[2], sunSide[0]) << "the sun's side is warm";
    EXPECT_GT(sunSide[0], farSide[0]) << "no twilight violet on the sun's side";
    EXPECT_GT(farSide[2], 1.5 * farSide[0]) << "the far side is not indigo";
}

// Rain beads on the stones catch the low sun: the only bright texels, few
// and isolated, so the moving camera draws them into streaks. A cluster or a
// patch of them would stand still somewhere and burn; too many turn the
// floor into a starfield. Most catch the sun on its side (the left third):
// an even field of them read as white specks strewn over the slabs.
TEST(Textures, WetFloorGlintsAreFewIsolatedPoints) {
    const Picture p = readWithLibpng("vase_floor2.png");
    ASSERT_GT(p.width, 0);
    int glints = 0, crowded = 0, sunSide = 0, farSide = 0;
    for (int y = 1; y + 1 < p.height; ++y) {
        for (int x = 1; x + 1 < p.width; ++x) {
            if (p.luminance(x, y) < 0.2 * 255) {
                continue;
            }
            ++glints;
            sunSide += 3 * x < p.width ? 1 : 0;
            farSide += 3 * x >= 2 * p.width ? 1 : 0;
            int brightNeighbours = 0;
            for (int dy = -1; dy <= 1; ++dy) {
                for (int dx = -1; dx <= 1; ++dx) {
                    brightNeighbours += (dx || dy) && p.luminance(x + dx, y + dy) > 0.12 * 255;
                }
            }
            crowded += brightNeighbours > 3 ? 1 : 0;
        }
    }
    const int texels = p.width * p.height;
    EXPECT_GT(glints, texels / 1000) << "no glints: the terrace is one dim wash";
    EXPECT_LT(glints, texels / 300) << "a field of specks, not a few beads";
    EXPECT_LT(crowded, glints / 10) << "glints merge into patches";
    EXPECT_LT(3 * farSide, sunSide) << "the glints are strewn evenly, not lit from the sun's side";
}

// The wet stone mirrors the low sun along the line from the sun through the
// vase (half way up the floor): a path of short bright streaks drawn out
// along it, one texel thin, where scattered round glints alone left the
// floor muddy. Off the path the stone stays dark.
TEST(Textures, WetFloorMirrorsTheSunInStreaksAlongItsPath) {
    const Picture p = readWithLibpng("vase_floor2.png");
    ASSERT_GT(p.width, 0);
    const auto bright = [&p](int x, int y) { return p.luminance(x, y) > 0.2 * 255; };
    const int band = p.height / 10;
    const auto brightInRows = [&](int centre) {
        int n = 0;
        for (int y = centre - band; y < centre + band; ++y) {
            for (int x = 0; x < p.width; ++x) {
                n += bright(x, y) ? 1 : 0;
            }
        }
        return n;
    };
    int along = 0, across = 0;
    for (int y = p.height / 2 - band; y < p.height / 2 + band; ++y) {
        for (int x = 0; x + 1 < p.width; ++x) {
            along += bright(x, y) && bright(x + 1, y) ? 1 : 0;
            across += bright(x, y) && bright(x, y + 1) ? 1 : 0;
        }
    }
    const int path = brightInRows(p.height / 2);
    EXPECT_GT(path, 4 * brightInRows(p.height / 4)) << "no sun path: glints strewn evenly";
    EXPECT_GT(path, 4 * brightInRows(3 * p.height / 4)) << "no sun path: glints strewn evenly";
    EXPECT_GT(along, path / 3) << "the path is round points, not streaks";
    EXPECT_GT(along, 4 * across) << "the streaks are patches, not lines along the path";
}

// The floor is laid once over a 12-unit quad from x = -4 to 8, so the vase
// (x 0, z 0) stands a third of the way across, half way up: the pool its
// mirror image shows through must lie there, not beside it, black round the
// foot, with a faint sky sheen towards its rim (a black disc read as a pit)
// that stays darker than the lit terrace a few units further out.
TEST(Textures, WetFloorPoolLiesUnderTheVase) {
    const Picture p = readWithLibpng("vase_floor2.png");
    ASSERT_GT(p.width, 0);
    const double texelsPerUnit = p.width / 12.0;
    const double vaseX = 4 * texelsPerUnit, vaseY = p.height / 2.0;
    double foot = 0, rim = 0, terrace = 0;
    int footCount = 0, rimCount = 0, terraceCount = 0;
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            const double dx = (x + 0.5 - vaseX) / texelsPerUnit,
                         dy = (y + 0.5 - vaseY) / texelsPerUnit;
            const double r = std::hypot(dx, dy);
            if (r < 1.0) {
                foot += p.luminance(x, y);
                ++footCount;
            } else if (r > 1.7 && r < 2.2) {
                rim += p.luminance(x, y);
                ++rimCount;
            } else if (dx > 3.5 && dx < 5.5 && std::abs(dy) < 2) {
                terrace += p.luminance(x, y);
                ++terraceCount;
            }
        }
    }
    foot /= footCount;
    rim /= rimCount;
    terrace /= terraceCount;
    EXPECT_LT(foot, 1.5) << "no black water under the vase";
    EXPECT_GT(rim, foot + 1.0) << "the pool is a black pit, no water surface";
    EXPECT_LT(rim, 0.75 * terrace) << "the water is as bright as the stone";
    EXPECT_GT(terrace, 4.0) << "the terrace round the pool is lost";
}

// Multiply overlays must be white where they should leave the picture alone.
TEST(Textures, MultiplyOverlaysStayNearWhite) {
    const Picture grain = readWithLibpng("superfilm3.png");
    const Picture vignette = readWithLibpng("overlay.png");
    ASSERT_GT(grain.width, 0);
    ASSERT_GT(vignette.width, 0);
    // The grain is grey, light and gentle: coloured, strong or dark texels
    // turn lit trails dirty, and one too faint is never seen.
    double sum = 0, squares = 0;
    int coloured = 0, dark = 0;
    for (int y = 0; y < grain.height; ++y) {
        for (int x = 0; x < grain.width; ++x) {
            const double v = grain.luminance(x, y);
            sum += v;
            squares += v * v;
            // The writer dithers each channel by a step.
            const int hue = std::max({grain.at(x, y, 0), grain.at(x, y, 1), grain.at(x, y, 2)}) -
                            std::min({grain.at(x, y, 0), grain.at(x, y, 1), grain.at(x, y, 2)});
            coloured += hue > 2 ? 1 : 0;
            dark += v < 0.75 * 255 ? 1 : 0;
        }
    }
    const double texels = grain.width * grain.height;
    const double mean = sum / texels;
    const double spread = std::sqrt(squares / texels - mean * mean) / 255;
    EXPECT_GT(mean, 0.88 * 255);
    EXPECT_EQ(coloured, 0) << "coloured grain";
    EXPECT_EQ(dark, 0) << "dark specks in the grain";
    // A multiply shows only on lit parts: 4 % went unseen there, 6.5 % read
    // as heavy on the bright trails, 11 % dirty.
    EXPECT_GT(spread, 0.045) << "grain too faint to see";
    EXPECT_LT(spread, 0.06) << "grain too heavy on the lit trails";
    // The vignette's middle keeps green and blue; it holds red back on
    // purpose, a cool cast over the blue-green floor.
    const int c = vignette.width / 2;
    EXPECT_GT(vignette.at(c, c, 1), 230);
    EXPECT_GT(vignette.at(c, c, 2), 240);
    EXPECT_GT(vignette.at(c, c, 0), 160);
    EXPECT_LT(vignette.luminance(0, 0), vignette.luminance(c, c) - 40) << "no vignette";
    const Picture wipe = readWithLibpng("Lingradient.png");
    EXPECT_GE(wipe.luminance(0, 0), 250.0);
    EXPECT_LE(wipe.luminance(wipe.width - 1, 0), 5.0);
}

// How much the step across the wrap (last column to first, last row to
// first) exceeds the largest step between neighbouring columns or rows inside
// the picture; a seam makes it clearly larger than 1.
double seamRatio(const Picture& p) {
    std::vector<double> columnSteps(p.width, 0), rowSteps(p.height, 0);
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            columnSteps[x] += std::abs(p.luminance((x + 1) % p.width, y) - p.luminance(x, y));
            rowSteps[y] += std::abs(p.luminance(x, (y + 1) % p.height) - p.luminance(x, y));
        }
    }
    const double seamX = columnSteps.back(), seamY = rowSteps.back();
    const double insideX =
        std::max(1.0, *std::max_element(columnSteps.begin(), columnSteps.end() - 1));
    const double insideY = std::max(1.0, *std::max_element(rowSteps.begin(), rowSteps.end() - 1));
    return std::max(seamX / insideX, seamY / insideY);
}

TEST(Textures, RepeatingTexturesTileWithoutSeams) {
    const char* tiles[] = {
        "superfilm3.png", "carpet22.png",    "blend45.png",        "blend1.png",   "blend2.png",
        "blend3.png",     "graytext4.png",   "plane_alpha.png",    "floor2.png",   "one_test2.png",
        "one_test3.png",  "one_test5.png",   "wood12.png",         "bluesea2.png", "caust.png",
        "caust2.png",     "gelfishtex0.png", "fullalphawater.png", "caust00.png",  "caust16.png",
        "gradient.png"};
    for (const char* file : tiles) {
        const Picture p = readWithLibpng(file);
        ASSERT_GT(p.width, 0) << file;
        EXPECT_LT(seamRatio(p), 1.15) << file;
    }
}

double meanDifference(const Picture& a, const Picture& b) {
    double sum = 0;
    for (size_t i = 0; i < a.rgb.size(); ++i) {
        sum += std::abs(int(a.rgb[i]) - int(b.rgb[i]));
    }
    return sum / static_cast<double>(a.rgb.size());
}

std::vector<Picture> causticLoop() {
    std::vector<Picture> frames;
    for (int k = 0; k < 16; ++k) {
        char name[16];
        std::snprintf(name, sizeof name, "caust%02d.png", 2 * k);
        frames.push_back(readWithLibpng(name));
    }
    return frames;
}

// Sixteen frames cycle: the step from the last frame back to the first must
// look like any other step, and every step must move, but less than a jump
// to an unrelated frame: the frames change about once per drawn frame under
// a trail that averages several, so a big step smears the net. (Thin lines
// differ fully once they move a line's width, so a step near that already
// scores over half the half-loop difference.)
TEST(Textures, CausticFramesLoopSmoothly) {
    const std::vector<Picture> frames = causticLoop();
    for (const Picture& frame : frames) {
        ASSERT_GT(frame.width, 0);
    }
    std::vector<double> steps;
    for (int k = 0; k < 16; ++k) {
        steps.push_back(meanDifference(frames[k], frames[(k + 1) % 16]));
    }
    const double largest = *std::max_element(steps.begin(), steps.end());
    const double smallest = *std::min_element(steps.begin(), steps.end());
    EXPECT_GT(smallest, 0.5) << "frames do not move";
    EXPECT_LT(largest, 1.6 * smallest) << "uneven steps: the loop jumps";
    const double halfLoop = meanDifference(frames[0], frames[8]);
    EXPECT_GT(halfLoop, largest) << "frames barely change";
    EXPECT_LT(largest, 0.7 * halfLoop) << "each step jumps, so the trail smears the net";
}

// The surface overlays lay one fixed corner of these frames over the whole
// view, four times magnified, for the whole underwater scene: a texel that is
// bright in most of the loop stands as one strand burned in at the same spot
// of the screen. Every line and lit patch must travel through the loop.
TEST(Textures, CausticFramesKeepNoStrandInOnePlace) {
    const std::vector<Picture> frames = causticLoop();
    for (const Picture& frame : frames) {
        ASSERT_EQ(frame.width, frames[0].width);
        ASSERT_EQ(frame.height, frames[0].height);
    }
    int stuck = 0, brightestMean = 0;
    for (int y = 0; y < frames[0].height; ++y) {
        for (int x = 0; x < frames[0].width; ++x) {
            int lit = 0, sum = 0;
            for (const Picture& p : frames) {
                const int v = std::max(p.at(x, y, 1), p.at(x, y, 2));
                lit += v > 60;
                sum += v;
            }
            stuck += lit >= 12;
            brightestMean = std::max(brightestMean, sum / 16);
        }
    }
    EXPECT_LT(stuck, 20) << "texels lit in three quarters of the loop";
    EXPECT_LT(brightestMean, 150) << "a strand stays bright through the loop";
}

// The floor and the surface layers repeat these frames many times across
// the view: the light traced across one edge of the tile must land on the
// other, and every wave must fit the tile, or each repeat draws a straight
// seam through the filaments.
TEST(Textures, CausticFramesTileWithoutSeams) {
    for (const char* name : {"caust00.png", "caust14.png", "caust26.png"}) {
        const Picture p = readWithLibpng(name);
        ASSERT_GT(p.width, 2) << name;
        const auto columnStep = [&](int a, int b) {
            double sum = 0;
            for (int y = 0; y < p.height; ++y) {
                for (int c = 0; c < 3; ++c) {
                    sum += std::abs(int(p.at(a, y, c)) - int(p.at(b, y, c)));
                }
            }
            return sum / (3.0 * p.height);
        };
        const auto rowStep = [&](int a, int b) {
            double sum = 0;
            for (int x = 0; x < p.width; ++x) {
                for (int c = 0; c < 3; ++c) {
                    sum += std::abs(int(p.at(x, a, c)) - int(p.at(x, b, c)));
                }
            }
            return sum / (3.0 * p.width);
        };
        // A seam is a step unlike the steps beside it and as large as one
        // between unrelated columns (rows), half a tile apart; a thin
        // filament running along the edge makes its neighbours step as much.
        const auto seam = [](double edge, double before, double after, double apart) {
            return edge > 1.5 * std::max(before, after) && edge > 0.5 * apart;
        };
        const int w = p.width, h = p.height;
        double apartS = 0, apartT = 0;
        for (int k = 0; k < w; ++k) {
            apartS += columnStep(k, (k + w / 2) % w) / w;
        }
        for (int k = 0; k < h; ++k) {
            apartT += rowStep(k, (k + h / 2) % h) / h;
        }
        EXPECT_FALSE(seam(columnStep(w - 1, 0), columnStep(w - 2, w - 1), columnStep(0, 1), apartS))
            << name << ": seam across s";
        EXPECT_FALSE(seam(rowStep(h - 1, 0), rowStep(h - 2, h - 1), rowStep(0, 1), apartT))
            << name << ": seam across t";
    }
}

// The surface layers and overlays add these frames over the whole view
// under a five-frame trail (the red overlay weighted most), so the ground
// between the lines stays dark (a lit sand ground piled up into an even
// green-blue wash), red stays near zero, and the light sits in a few
// bright strands, bright enough to outlast the trail. Mid tones, the
// strands' own falloff included, stay a small share: they are what the
// trail smears.
TEST(Textures, CausticFramesAreFewBrightLinesOnDarkGround) {
    for (const char* name : {"caust00.png", "caust10.png", "caust20.png"}) {
        const Picture p = readWithLibpng(name);
        ASSERT_GT(p.width, 0) << name;
        int dark = 0, mid = 0, bright = 0, red = 0, green = 0;
        for (int y = 0; y < p.height; ++y) {
            for (int x = 0; x < p.width; ++x) {
                const int v = std::max(p.at(x, y, 1), p.at(x, y, 2));
                dark += v < 20;
                mid += v >= 40 && v < 128;
                bright += v > 180;
                red = std::max(red, static_cast<int>(p.at(x, y, 0)));
                green = std::max(green, static_cast<int>(p.at(x, y, 1)));
            }
        }
        const double texels = double(p.width) * p.height;
        EXPECT_GT(dark / texels, 0.6) << name << ": the ground between the lines is lit";
        EXPECT_LT(mid / texels, 0.12) << name << ": broad mid tones for the trail to smear";
        EXPECT_GT(bright / texels, 0.008) << name << ": the strands too faint for the trail";
        EXPECT_LT(bright / texels, 0.04) << name << ": the net is bright everywhere";
        EXPECT_LT(red, 26) << name << ": the red overlay would turn the sea peach";
        EXPECT_LT(green, 170) << name << ": the green shaft copies would draw thick green bars";
    }
}

// The credits' ribbons are seen only through the trail, a long turning
// average. The skin is projected along the ring's axis and the band turns
// twice about itself, so at the ring's angle a its borders lie at +-cos(2a)
// of the half-width from the middle line: light there draws each mesh's
// edges crossing at the twist, where a bright middle line read as one more
// swirl. The body between edges stays dim so the copies do not smear into
// haze, and warm skins summed to brown over the trail's teal, so all three
// are cool (blue the strongest channel).
TEST(Textures, CreditRibbonsLightTheBandsEdges) {
    // The ring in texture units: the mesh's ring times the effect's planes
    // (0.3) and the mesh's load scale (4.2).
    using namespace assetgen;
    constexpr double kUnit = 0.3 * 4.2;
    const double centreS = -kTwirlOffsetX * kUnit - std::floor(-kTwirlOffsetX * kUnit);
    const double centreT = -kTwirlOffsetY * kUnit - std::floor(-kTwirlOffsetY * kUnit);
    constexpr double kRadius = kTwirlRadius * kUnit, kHalfWidth = kTwirlHalfWidth * kUnit;
    // Just inside the border: the texture past it never lands on the mesh.
    constexpr double kEdge = 0.88;
    constexpr int kGlowLevel = 100;
    constexpr double kGlowShare = 0.4;
    constexpr int kSamples = 720;
    for (const char* file : {"blend1.png", "blend2.png", "blend3.png"}) {
        const Picture p = readWithLibpng(file);
        ASSERT_GT(p.width, 0) << file;
        // The brightest channel where the band's point `across` (-1 to 1 of
        // its half-width, in the ring's plane) lands at ring angle a.
        const auto top = [&](double across, double a) {
            const double radius = kRadius + across * kHalfWidth;
            const double s = centreS + radius * std::cos(a);
            const double t = centreT + radius * std::sin(a);
            const int x = int(std::floor((s - std::floor(s)) * p.width)) % p.width;
            const int y = int(std::floor((1 - (t - std::floor(t))) * p.height)) % p.height;
            return std::max({p.at(x, y, 0), p.at(x, y, 1), p.at(x, y, 2)});
        };
        int edgeLit = 0, flat = 0;
        double edges = 0, spine = 0, body = 0;
        for (int k = 0; k < kSamples; ++k) {
            const double a = 2 * std::numbers::pi * k / kSamples, border = std::cos(2 * a);
            for (const double side : {1.0, -1.0}) {
                const int v = top(side * kEdge * border, a);
                edgeLit += v >= 150;
                edges += v;
            }
            spine += top(0, a);
            if (std::abs(border) > 0.7) {
                body += top(0.4 * border, a) + top(-0.4 * border, a);
                flat += 2;
            }
        }
        EXPECT_GT(edgeLit, 2 * kSamples * 0.9) << file << ": an edge is broken";
        EXPECT_GT(edges / 2, 1.3 * spine) << file << ": the middle outshines the edges";
        EXPECT_LT(body / flat, 90) << file << ": the band is a lit body";
        int glowing = 0, dark = 0;
        double sum[3] = {0, 0, 0};
        for (int y = 0; y < p.height; ++y) {
            for (int x = 0; x < p.width; ++x) {
                const int most = std::max({p.at(x, y, 0), p.at(x, y, 1), p.at(x, y, 2)});
                glowing += most >= kGlowLevel;
                dark += most < 30;
                for (int c = 0; c < 3; ++c) {
                    sum[c] += p.at(x, y, c);
                }
            }
        }
        const int texels = p.width * p.height;
        EXPECT_LT(glowing, texels * kGlowShare) << file << ": a lit body, not lines";
        EXPECT_GT(dark, texels / 3) << file << ": the ground is not black";
        EXPECT_GT(sum[2], 1.2 * sum[0]) << file << ": warm, not cool";
        EXPECT_GE(sum[2], sum[1]) << file << ": green, not cool";
    }
}

// The giant bell is projected from above and seen from the side, where
// lines of constant t stand upright from crown to rim as canals: the
// picture must change far more along t than along s (a net of cells read
// as a wire bowl), and stay a dim jelly between its lit canals. Front and
// back are both added, so a dozen canals a repeat made a striped ball:
// only a few bright ones cross each column.
TEST(Textures, GiantBellCanalsRunAlongS) {
    const Picture p = readWithLibpng("caust2.png");
    ASSERT_GT(p.width, 0);
    double alongS = 0, alongT = 0;
    int dark = 0, bright = 0, crossings = 0;
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            alongS += std::abs(p.luminance((x + 1) % p.width, y) - p.luminance(x, y));
            alongT += std::abs(p.luminance(x, (y + 1) % p.height) - p.luminance(x, y));
            dark += p.luminance(x, y) < 60;
            bright += p.at(x, y, 2) > 180;
            crossings += p.at(x, y, 2) > 150 && p.at(x, (y + 1) % p.height, 2) <= 150;
        }
    }
    const double texels = double(p.width) * p.height;
    EXPECT_GT(alongT, 1.5 * alongS) << "the canals do not run along s";
    EXPECT_GT(dark / texels, 0.4) << "no dark jelly between the canals";
    EXPECT_GT(bright / texels, 0.02) << "no bright canals";
    EXPECT_GE(crossings, 2 * p.width) << "too few canals";
    EXPECT_LE(crossings, 5 * p.width) << "a comb of canals";
}

// Each panel's right edge continues into the next panel's left edge.
TEST(Textures, MoonPanelsJoinWithoutSeams) {
    std::vector<Picture> panels;
    for (int k = 1; k <= 5; ++k) {
        panels.push_back(readWithLibpng("moon" + std::to_string(k) + ".png"));
        ASSERT_GT(panels.back().width, 0);
    }
    for (int k = 0; k + 1 < 5; ++k) {
        const Picture& left = panels[k];
        const Picture& right = panels[k + 1];
        double join = 0, inside = 0;
        for (int y = 0; y < left.height; ++y) {
            join += std::abs(left.luminance(left.width - 1, y) - right.luminance(0, y));
            inside +=
                std::abs(left.luminance(left.width - 1, y) - left.luminance(left.width - 2, y));
        }
        EXPECT_LT(join, 2.0 * inside + left.height)
            << "between moon" << k + 1 << " and moon" << k + 2;
    }
}

// The water just below the horizon is one even sheet from the second panel
// to the fourth: mirrored hills, broken by the ripples, left dark bands with
// wavy edges that read as panels out of line. Only the glitter paths may
// stand out, and they are brighter.
TEST(Textures, MoonPanelWaterHasNoDarkBands) {
    std::vector<double> stretches;
    for (int k = 2; k <= 4; ++k) {
        const Picture p = readWithLibpng("moon" + std::to_string(k) + ".png");
        ASSERT_GT(p.width, 0);
        const int eighth = p.width / 8, top = p.height * 392 / 512, bottom = p.height * 430 / 512;
        for (int e = 0; e < 8; ++e) {
            double sum = 0;
            for (int y = top; y < bottom; ++y) {
                for (int x = e * eighth; x < (e + 1) * eighth; ++x) {
                    sum += p.luminance(x, y);
                }
            }
            stretches.push_back(sum / (eighth * (bottom - top)));
        }
    }
    std::vector<double> sorted = stretches;
    std::sort(sorted.begin(), sorted.end());
    const double median = sorted[sorted.size() / 2];
    for (std::size_t i = 0; i < stretches.size(); ++i) {
        EXPECT_GT(stretches[i], 0.55 * median)
            << "a dark band in moon" << 2 + i / 8 << ", eighth " << i % 8;
    }
}

// The goldfish's fin cones are seen edge-on beside the head: fine bright
// rays along them read as whiskers. Around the cone (t, the rows) the glow
// may swell in a few broad folds but not flicker from row to row. A swell
// counts once it climbs from the lower part of the range to the upper, so
// the pack's dither on an even glow is no fold.
TEST(Textures, FinVeilHasBroadFoldsNotRays) {
    const Picture p = readWithLibpng("fishtent.png");
    ASSERT_GT(p.width, 0);
    for (const double along : {0.12, 0.2, 0.26}) {
        SCOPED_TRACE(along);
        const int x = static_cast<int>(along * p.width);
        std::vector<double> around;
        for (int y = 4; y < p.height - 4; ++y) {
            around.push_back(p.luminance(x, y));
        }
        const auto [dim, bright] = std::minmax_element(around.begin(), around.end());
        const double darkest = *dim, brightest = *bright;
        ASSERT_GT(brightest, 2.0) << "the cone is lit here";
        const double low = darkest + 0.3 * (brightest - darkest);
        const double high = darkest + 0.7 * (brightest - darkest);
        int swells = 0;
        bool up = around.front() > high;
        if (brightest - darkest > 0.15 * brightest) {
            for (const double v : around) {
                swells += !up && v > high;
                up = v > high || (up && v >= low);
            }
        }
        EXPECT_LE(swells, 8);
        EXPECT_GT(darkest, 0.25 * brightest) << "the glow between folds stays lit";
    }
}

// The goldfish's material is a bluish grey that greys what it shows: a
// cool-graded, bronze-backed skin read as sardines. Across the body (s 0.6,
// skin from t 0.37 to 0.58) the flank is a saturated orange-gold, the back
// darker and redder, the belly (above its shadowed underside) a darker amber,
// away from the moon, yet still warm, and the tail fin a thin
// film, darker and bluer (the night through it) than the flank. The painted
// eye is a dark pupil in a bright ring. Seen from above, the last texels
// before the night on each column behind the head cover the whole back: they
// stay the back's dark red, or the back shows a pale patch.
TEST(Textures, GoldfishIsGoldWithRedderBackDarkerBellyAndThinFins) {
    const Picture p = readWithLibpng("goldfish2.png");
    ASSERT_GT(p.width, 0);
    struct Mean {
        double r = 0, g = 0, b = 0;
        double light() const { return (r + g + b) / 3; }
        double saturation() const {
            return (std::max({r, g, b}) - std::min({r, g, b})) / std::max({r, g, b});
        }
    };
    const auto patch = [&p](double s0, double s1, double t0, double t1) {
        Mean m;
        int n = 0;
        for (int y = static_cast<int>((1 - t1) * p.height);
             y < static_cast<int>((1 - t0) * p.height); ++y) {
            for (int x = static_cast<int>(s0 * p.width); x < static_cast<int>(s1 * p.width); ++x) {
                m.r += p.at(x, y, 0);
                m.g += p.at(x, y, 1);
                m.b += p.at(x, y, 2);
                ++n;
            }
        }
        return Mean{m.r / n, m.g / n, m.b / n};
    };
    const Mean back = patch(0.55, 0.65, 0.55, 0.57), flank = patch(0.55, 0.65, 0.46, 0.49),
               belly = patch(0.55, 0.65, 0.41, 0.425), tail = patch(0.08, 0.2, 0.42, 0.54);
    EXPECT_LT(back.light(), 0.7 * flank.light()) << "the back is as bright as the flank";
    EXPECT_LT(back.g / back.r, 0.8 * flank.g / flank.r) << "the back is no redder than the flank";
    EXPECT_LT(belly.light(), 0.95 * flank.light()) << "the belly is lit like the flank";
    EXPECT_GT(belly.saturation(), 0.75) << "the belly is pale, not amber";
    // Moonlight over the upper body cools the flank a little; grey it is not.
    EXPECT_GT(flank.saturation(), 0.6) << "the flank is greyed, not gold";
    EXPECT_GT(flank.r, 200) << "the flank is a dull orange";
    EXPECT_GT(flank.g, 0.45 * flank.r) << "the flank is red, not gold";
    EXPECT_LT(tail.light(), flank.light()) << "the tail fin outshines the body";
    EXPECT_GT(tail.b / tail.r, flank.b / flank.r) << "the tail fin is no cooler than the body";
    const Mean pupil = patch(0.853, 0.861, 0.519, 0.526), ring = patch(0.874, 0.878, 0.52, 0.53);
    EXPECT_LT(pupil.light(), 40) << "the eye has no dark pupil";
    EXPECT_GT(ring.light(), 4 * pupil.light()) << "the pupil sits in no bright ring";
    // Behind the head and ahead of the back fin, whose film is the night's blue.
    for (double s = 0.71; s < 0.78; s += 0.02) {
        SCOPED_TRACE(s);
        const int x = static_cast<int>(s * p.width);
        int top = -1; // the topmost row, in t 0.5 to 0.66, that is fish, not night
        for (int y = static_cast<int>(0.34 * p.height); y < static_cast<int>(0.5 * p.height); ++y) {
            if (p.at(x, y, 0) + p.at(x, y, 1) > 60) { // the night is under 30
                top = y;
                break;
            }
        }
        ASSERT_GE(top, 0) << "no body under the column";
        for (int y = top; y < top + 3; ++y) {
            EXPECT_GT(p.at(x, y, 0), 2 * p.at(x, y, 2)) << "the outline is not red";
            EXPECT_LT(p.at(x, y, 0) + p.at(x, y, 1) + p.at(x, y, 2), 3 * flank.light())
                << "the outline is brighter than the flank";
        }
    }
}

// The goldfish body's outline in its skin, fitted to the mesh: at s along
// the body, the belly's edge and the body's height above it (texture t).
struct GoldfishBodySpan {
    double belly, height;
};
GoldfishBodySpan goldfishBodyAt(double s) {
    const double belly = 0.37 + 0.5 * (s - 0.6) * (s - 0.6);
    return {belly, 0.56 - 0.4 * (s - 0.65) * (s - 0.65) - belly};
}

// Seen from above, the lower outline on screen is the belly's last texels:
// pale there, they met the night in a bright stair-stepped edge. On every
// column of the body the underside is a darker shadow than the pale band
// just above it, and still warm, not the night.
TEST(Textures, GoldfishUndersideIsAWarmShadowBelowThePaleBelly) {
    const Picture p = readWithLibpng("goldfish2.png");
    ASSERT_GT(p.width, 0);
    const auto texel = [&p](double s, double t, int channel) {
        return p.at(static_cast<int>(s * p.width), static_cast<int>((1 - t) * p.height), channel);
    };
    const auto light = [&](double s, double t) {
        return (texel(s, t, 0) + texel(s, t, 1) + texel(s, t, 2)) / 3.0;
    };
    for (double s = 0.45; s < 0.8; s += 0.05) {
        SCOPED_TRACE(s);
        const auto [belly, height] = goldfishBodyAt(s);
        const double edge = light(s, belly + 0.05 * height), pale = light(s, belly + 0.27 * height);
        EXPECT_LT(edge, 0.75 * pale) << "the outline ends on the pale belly";
        EXPECT_GT(texel(s, belly + 0.05 * height, 0), 2 * texel(s, belly + 0.05 * height, 2))
            << "the underside is not warm";
    }
}

// A flank shaded only from the lit belly up into the dark back read as a
// flat cut-out; a sheen along the upper flank, under the moonlit band and the
// dark back, is where the body bends away, so there the skin is brighter than
// just below and than the back by the outline (averaged along the body, over
// the scales' own shading).
TEST(Textures, GoldfishUpperFlankCarriesASheenUnderTheDarkBack) {
    const Picture p = readWithLibpng("goldfish2.png");
    ASSERT_GT(p.width, 0);
    const auto band = [&p](double h) { // mean light at height h of the body
        double sum = 0;
        int n = 0;
        for (int x = static_cast<int>(0.42 * p.width); x < static_cast<int>(0.8 * p.width); ++x) {
            const double s = (x + 0.5) / p.width;
            const auto [belly, height] = goldfishBodyAt(s);
            const int y = static_cast<int>((1 - belly - h * height) * p.height);
            sum += (p.at(x, y, 0) + p.at(x, y, 1) + p.at(x, y, 2)) / 3.0;
            ++n;
        }
        return sum / n;
    };
    const double below = band(0.5), sheen = band(0.62), back = band(0.94);
    EXPECT_GT(sheen, 1.05 * below) << "no sheen over the flank";
    EXPECT_GT(sheen, 1.3 * back) << "the back is not darker than the sheen";
}

// The moon stands above the school: lit only warm, the back read as pasted
// on the night. A cool band lies along the back, bluer than the flank and
// its warm sheen, and brighter than the dark back by the outline.
TEST(Textures, GoldfishBackCatchesACoolMoonlitBand) {
    const Picture p = readWithLibpng("goldfish2.png");
    ASSERT_GT(p.width, 0);
    struct Band {
        double light = 0, blueShare = 0;
    };
    const auto band = [&p](double h) { // mean light and blue share at height h
        double light = 0, blue = 0, sum = 0;
        int n = 0;
        for (int x = static_cast<int>(0.45 * p.width); x < static_cast<int>(0.78 * p.width); ++x) {
            const double s = (x + 0.5) / p.width;
            const auto [belly, height] = goldfishBodyAt(s);
            const int y = static_cast<int>((1 - belly - h * height) * p.height);
            const double r = p.at(x, y, 0), g = p.at(x, y, 1), b = p.at(x, y, 2);
            light += (r + g + b) / 3;
            blue += b;
            sum += r + g + b + 1;
            ++n;
        }
        return Band{light / n, blue / sum};
    };
    const Band flank = band(0.5), sheen = band(0.62), moonlit = band(0.8), back = band(0.94);
    EXPECT_GT(moonlit.blueShare, 2 * flank.blueShare) << "the back is no cooler than the flank";
    EXPECT_GT(moonlit.blueShare, 1.5 * sheen.blueShare) << "no cool band on the back";
    EXPECT_GT(moonlit.blueShare, 0.2) << "the back's band is not cool";
    EXPECT_GT(moonlit.light, 1.3 * back.light) << "the moon does not catch the back";
}

// Fins painted opaque orange read as cut-outs on the night. Each fin is gold
// at its root and turns, further out, into a thin film: the web there is the
// night's blue and only the rays stay warm, so the tail's outer part is
// bluer and darker than its root, and its rays stand out from the web.
TEST(Textures, GoldfishTailTurnsFromAGoldRootIntoAFilm) {
    const Picture p = readWithLibpng("goldfish2.png");
    ASSERT_GT(p.width, 0);
    const auto texel = [&p](double s, double t, int channel) {
        return p.at(static_cast<int>(s * p.width), static_cast<int>((1 - t) * p.height), channel);
    };
    struct Patch {
        double light = 0, blueShare = 0;
    };
    const auto patch = [&](double s0, double s1, double t0, double t1) {
        double light = 0, blue = 0, sum = 0;
        int n = 0;
        for (double s = s0; s < s1; s += 0.004) {
            for (double t = t0; t < t1; t += 0.004) {
                const double r = texel(s, t, 0), g = texel(s, t, 1), b = texel(s, t, 2);
                light += (r + g + b) / 3;
                blue += b;
                sum += r + g + b + 1;
                ++n;
            }
        }
        return Patch{light / n, blue / sum};
    };
    const Patch root = patch(0.27, 0.3, 0.45, 0.51), film = patch(0.1, 0.16, 0.42, 0.54);
    EXPECT_GT(root.light, 60) << "the tail's root is dark";
    EXPECT_LT(root.blueShare, 0.15) << "the tail's root is not gold";
    EXPECT_GT(film.blueShare, 2 * root.blueShare) << "the tail's outer part is no film";
    EXPECT_LT(film.light, root.light) << "the tail's outer part outshines its root";
    std::vector<double> across; // up the tail, across its rays
    for (double t = 0.4; t < 0.56; t += 0.002) {
        across.push_back(texel(0.13, t, 0) + texel(0.13, t, 1) + texel(0.13, t, 2));
    }
    std::sort(across.begin(), across.end());
    EXPECT_GT(across[across.size() * 9 / 10], 1.5 * across[across.size() / 10])
        << "the film shows no rays";
}

// A wing is seen at about a tenth of its texels, without smaller copies of
// the texture: along every row and column, light and dark fields must each
// last long enough to be sampled, or thin veins and spots sample as a grid.
int shortestRun(const std::vector<double>& line, double dark, double light) {
    int shortest = static_cast<int>(line.size());
    int state = 0, since = -1; // state: -1 dark, 1 light; since: where it began
    for (int i = 0; i < static_cast<int>(line.size()); ++i) {
        const int now = line[i] < dark ? -1 : line[i] > light ? 1 : state;
        if (now != state) {
            if (state != 0 && since >= 0) {
                shortest = std::min(shortest, i - since);
            }
            since = state == 0 ? -1 : i;
            state = now;
        }
    }
    return shortest;
}

// Where the wing's two eyes sit in the texture (s, t), and how far their
// gold rims reach. Whatever the slide, the forewing covers s = 0.5 at its
// eye's height, so that eye is on every wing.
constexpr double kForeEye[2] = {0.5, 0.645}, kHindEye[2] = {0.585, 0.3}, kEyeReach = 0.105;

TEST(Textures, ButterflyWingFieldsAreBroadAndSoftEdged) {
    const Picture p = readWithLibpng("carpet22.png");
    ASSERT_GT(p.width, 0);
    constexpr int kNarrowest = 10;
    const double dark = 0.3 * 255, light = 0.55 * 255;
    const auto nearEye = [&](int x, int y) {
        const double s = (x + 0.5) / p.width, t = 1 - (y + 0.5) / p.height;
        return std::hypot(s - kForeEye[0], t - kForeEye[1]) < kEyeReach ||
               std::hypot(s - kHindEye[0], t - kHindEye[1]) < kEyeReach;
    };
    double steepest = 0, steepestAlong = 0;
    for (int y = 0; y < p.height; y += 4) {
        // The wing slides along s as it flaps: away from the eyes only a
        // slow ramp where it reaches (s from 0.09), or the bands crawl.
        for (int x = p.width / 10; x < p.width; ++x) {
            if (!nearEye(x, y) && !nearEye(x - 1, y)) {
                steepestAlong =
                    std::max(steepestAlong, std::abs(p.luminance(x, y) - p.luminance(x - 1, y)));
            }
        }
    }
    for (int x = 0; x < p.width; x += 8) {
        // A column grazing an eye cuts its rings short; the eyes are
        // measured across their rings below.
        std::vector<double> column;
        for (int y = 0; y < p.height; ++y) {
            column.push_back(nearEye(x, y) && y > 0 ? column.back() : p.luminance(x, y));
            if (y > 0) {
                steepest = std::max(steepest, std::abs(p.luminance(x, y) - p.luminance(x, y - 1)));
            }
        }
        EXPECT_GE(shortestRun(column, dark, light), kNarrowest) << "column " << x;
    }
    for (const auto* eye : {kForeEye, kHindEye}) {
        for (int k = 0; k < 16; ++k) {
            const double a = k * std::numbers::pi / 8;
            std::vector<double> ray;
            for (int step = 0; step < kEyeReach * p.width; ++step) {
                const double r = static_cast<double>(step) / p.width;
                const int x = static_cast<int>((eye[0] + r * std::cos(a)) * p.width);
                const int y = static_cast<int>((1 - eye[1] - r * std::sin(a)) * p.height);
                ray.push_back(p.luminance(x, y));
            }
            EXPECT_GE(shortestRun(ray, dark, light), kNarrowest) << "eye ring at " << a;
        }
    }
    EXPECT_LT(steepestAlong, 3.0) << "a band changes sharply along the wing";
    // An edge over fewer than about three texels samples as a jagged line.
    EXPECT_LT(steepest, 80.0) << "an edge too sharp to sample";
}

// The wings are added onto the indigo sky: what is black is not seen. A
// black seam parts fore- from hindwing, a warm ground (blue wings on the
// blue sky read as ghosts) ends in a dark outer margin, and each wing
// carries an eye: a pale core in a black ring inside a gold rim, broad
// enough to stay a few pixels wide on a wing some fifteen pixels long.
TEST(Textures, ButterflyWingIsWarmWithAnEyeOnEachWing) {
    const Picture p = readWithLibpng("carpet22.png");
    ASSERT_GT(p.width, 0);
    const auto x = [&](double s) {
        return std::clamp(static_cast<int>(s * p.width), 0, p.width - 1);
    };
    const auto y = [&](double t) {
        return std::clamp(static_cast<int>((1 - t) * p.height), 0, p.height - 1);
    };
    double seam = 0, brightest = 0;
    for (int row = 0; row < p.height; ++row) {
        const double v = std::abs((row + 0.5) / p.height - 0.5);
        for (int col = 0; col < p.width; col += 4) {
            seam = v < 0.02 ? std::max(seam, p.luminance(col, row)) : seam;
            brightest = std::max(brightest, p.luminance(col, row));
        }
    }
    EXPECT_LT(seam, 3.0) << "no black seam between fore- and hindwing";
    EXPECT_LT(brightest, 0.97 * 255) << "the flapping brightness cannot tint a white wing";
    for (const double side : {1.0, -1.0}) {
        const double t = 0.5 + side * 0.1; // the ground, clear of both eyes
        const int gx = x(0.3), gy = y(t);
        EXPECT_GT(p.at(gx, gy, 0), 0.6 * 255) << "the ground is dim, side " << side;
        EXPECT_GT(p.at(gx, gy, 0), 4 * p.at(gx, gy, 2)) << "the ground is not warm, side " << side;
        EXPECT_LT(p.luminance(gx, y(0.5 + side * 0.28)), 0.08 * 255)
            << "no dark margin along the outer edge, side " << side;
    }
    for (const auto* eye : {kForeEye, kHindEye}) {
        const double s = eye[0], t = eye[1];
        EXPECT_GT(p.luminance(x(s + 0.03), y(t)), 0.7 * 255) << "the eye's core is dim or small";
        EXPECT_GT(p.luminance(x(s), y(t - 0.03)), 0.7 * 255) << "the eye's core is dim or small";
        for (const double ring : {0.055, -0.055}) {
            EXPECT_LT(p.luminance(x(s + ring), y(t)), 0.08 * 255) << "no black ring round the eye";
            EXPECT_LT(p.luminance(x(s), y(t + ring)), 0.08 * 255) << "no black ring round the eye";
        }
        const int rx = x(s - 0.078), ry = y(t);
        EXPECT_GT(p.at(rx, ry, 1), 0.6 * 255) << "the eye's rim is not gold";
        EXPECT_GT(p.at(rx, ry, 1), 4 * p.at(rx, ry, 2)) << "the eye's rim is not gold";
    }
}

// A flap sweeps the wing through 140 degrees and the trail keeps a copy of
// it every frame: light by the hinge piles up into slabs, and every lit
// texel adds to the swarm's haze. Whatever the slide, the hinge lies above
// s = 0.53 and the tip below 0.47: the ground fades towards the hinge, and
// the wing as a whole stays well below a lit sheet.
TEST(Textures, ButterflyWingLightGathersOutTowardsTheTips) {
    const Picture p = readWithLibpng("carpet22.png");
    ASSERT_GT(p.width, 0);
    const auto s = [&](int x) { return (x + 0.5) / p.width; };
    const auto v = [&](int y) { return std::abs((y + 0.5) / p.height - 0.5); };
    double tip = 0, hinge = 0, sum = 0;
    int tips = 0, hinges = 0, count = 0;
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            const double l = p.luminance(x, y);
            if (v(y) > 0.07 && v(y) < 0.24) {
                if (s(x) > 0.15 && s(x) < 0.3) {
                    tip += l;
                    ++tips;
                } else if (s(x) > 0.78 && s(x) < 0.88) {
                    hinge += l;
                    ++hinges;
                }
            }
            if (v(y) < 0.29 && s(x) > 0.12 && s(x) < 0.88) { // what the mesh covers
                sum += l;
                ++count;
            }
        }
    }
    ASSERT_GT(tips * hinges * count, 0);
    EXPECT_LT(hinge / hinges, 0.3 * tip / tips) << "the ground stays lit towards the hinge";
    EXPECT_LT(sum / count, 0.3 * 255) << "the wing adds too much light to the trail";
}

// The two faces cross-fade on one mesh, so their outlines must coincide:
// row by row, where each picture's skin leaves the dark ground, below the
// side locks (the moonlit face's hair is as dark as the ground). Closed eyes
// and other dark marks inside the face do not count.
TEST(Textures, ChildFacesShareTheirOutline) {
    const Picture a = readWithLibpng("child_face.png");
    const Picture b = readWithLibpng("child_face2.png");
    ASSERT_EQ(a.width, b.width);
    ASSERT_EQ(a.height, b.height);
    const auto span = [](const Picture& p, int y) {
        int left = p.width, right = -1;
        for (int x = 0; x < p.width; ++x) {
            if (p.luminance(x, y) > 30) {
                left = std::min(left, x);
                right = x;
            }
        }
        return std::pair{left, right};
    };
    int rows = 0, unmatched = 0, offset = 0;
    for (int y = a.height * 3 / 5; y < a.height; ++y) {
        const auto [leftA, rightA] = span(a, y);
        const auto [leftB, rightB] = span(b, y);
        if ((rightA < 0) != (rightB < 0)) {
            ++unmatched;
        } else if (rightA >= 0 && rightA - leftA > a.width / 10) {
            ++rows;
            offset += std::abs(leftA - leftB) + std::abs(rightA - rightB);
        }
    }
    EXPECT_GT(rows, a.height / 4) << "the face fills the picture's lower part";
    EXPECT_LE(unmatched, 2) << "only the chin's last rows may fade out in one picture alone";
    EXPECT_LT(offset, 3 * rows) << "edges lie within a texel and a half on average";
}

// The face shot shows the sleeping face for most of its length and the awake
// one only at the end, small on screen: the change must be there at a glance,
// as blue irises that the sleeping face, eyes shut, has nowhere.
TEST(Textures, AwakeFaceOpensBlueEyesTheSleepingOneLacks) {
    const auto irisTexels = [](const Picture& p) {
        int n = 0;
        for (int y = 0; y < p.height; ++y) {
            for (int x = 0; x < p.width; ++x) {
                const int r = p.at(x, y, 0), g = p.at(x, y, 1), b = p.at(x, y, 2);
                n += (b > r + 60 && b > g + 20) ? 1 : 0;
            }
        }
        return n;
    };
    EXPECT_GT(irisTexels(readWithLibpng("child_face.png")), 400);
    EXPECT_LT(irisTexels(readWithLibpng("child_face2.png")), 20);
}

// The mesh's ears stand outside the face's outline, where the pictures are
// otherwise dark ground or hair: both pictures must carry skin across each
// ear, at the texels the face shot's planes map it to, or the ears show as
// dark or hair-brown flaps.
TEST(Textures, ChildFacesPaintTheMeshEars) {
    using namespace assetgen::face;
    for (const char* file : {"child_face.png", "child_face2.png"}) {
        const Picture p = readWithLibpng(file);
        ASSERT_GT(p.width, 0) << file;
        for (const double side : {-1.0, 1.0}) {
            for (const double across : {0.15, 0.5, 0.85}) {
                for (const double up : {-0.6, 0.0, 0.6}) {
                    const double x = side * (earRootX() + kEarReach * across);
                    const double y = kEarY + kEarHalfHeight * up * 0.8;
                    const int col = static_cast<int>(textureS(x) * p.width);
                    const int row = p.height - 1 - static_cast<int>(textureT(y) * p.height);
                    const int r = p.at(col, row, 0), b = p.at(col, row, 2);
                    // Lit (not ground), warm (not the blue ground), and with
                    // skin's blue (chestnut hair has far less).
                    const std::string where = std::string(file) + " side " + std::to_string(side) +
                                              " at " + std::to_string(across) + ", " +
                                              std::to_string(up);
                    EXPECT_GT(r, 70) << where;
                    EXPECT_GT(r, b + 15) << where;
                    EXPECT_GT(b, 0.4 * r) << where;
                }
            }
        }
    }
}

// Greeting lines are read one eighth of the height at a time: every band
// must carry text, and nothing may straddle two bands.
TEST(Textures, GreetingsHaveOneLinePerEighth) {
    for (const char* file : {"greetings.png", "greetings2.png", "greetings3.png"}) {
        const Picture p = readWithLibpng(file);
        ASSERT_GT(p.width, 0) << file;
        const int band = p.height / 8;
        for (int line = 0; line < 8; ++line) {
            int lit = 0;
            for (int y = line * band; y < (line + 1) * band; ++y) {
                for (int x = 0; x < p.width; ++x) {
                    lit += p.luminance(x, y) > 128;
                }
            }
            EXPECT_GT(lit, 100) << file << " line " << line;
            int boundary = 0;
            for (int x = 0; x < p.width; ++x) {
                boundary += p.luminance(x, line * band) > 128;
            }
            EXPECT_EQ(boundary, 0) << file << " text crosses the top of line " << 7 - line;
        }
    }
}

// On screen a line is drawn taller than the spacing of the lines: names keep
// to the middle of their strips.
TEST(Textures, GreetingsLeaveRoomForTheirNeighbours) {
    for (const char* file : {"greetings.png", "greetings2.png", "greetings3.png"}) {
        const Picture p = readWithLibpng(file);
        ASSERT_GT(p.width, 0) << file;
        const int band = p.height / 8;
        long outer = 0;
        for (int y = 0; y < p.height; ++y) {
            const int within = y % band;
            for (int x = 0; x < p.width; ++x) {
                outer +=
                    p.luminance(x, y) > 100 && (within < band / 5 || within >= band - band / 5);
            }
        }
        EXPECT_EQ(outer, 0) << file;
    }
}

// A stem is a chain of these links turned against each other. The stem must
// run unbroken from the bottom row to the top, or the chain falls into dashes;
// the leaflets must spread to both sides, yet stop short of the quad's
// border (a leaf cut by the border ends in a straight edge), and stay under
// half the light of a credit's summed echoes (0.8 of white at their peak), so
// a name a frond crosses stands clear above it.
TEST(Textures, StemLinkIsAStemWithLeavesOnBothSides) {
    const Picture p = readWithLibpng("vertical.png");
    ASSERT_GT(p.width, 0);
    const int mid = p.width / 2;
    double weakestStemRow = 255, border = 0, brightestLeaf = 0;
    double left = 0, right = 0;
    for (int y = 0; y < p.height; ++y) {
        weakestStemRow =
            std::min(weakestStemRow, std::max(p.luminance(mid - 1, y), p.luminance(mid, y)));
        for (int x = 0; x < p.width; ++x) {
            const double v = p.luminance(x, y);
            const bool atBorder = x < 3 || x >= p.width - 3 || y < 3 || y >= p.height - 3;
            // The stem's own soft glow runs to the top and bottom rows.
            const double off = std::abs(x + 0.5 - mid);
            if (off > p.width / 10.0) {
                if (atBorder && off > p.width / 5.0) {
                    border = std::max(border, v);
                }
                brightestLeaf = std::max(brightestLeaf, v);
                (x < mid ? left : right) += v;
            }
        }
    }
    EXPECT_GT(weakestStemRow, 80.0);
    EXPECT_LT(border, 4.0);
    EXPECT_LT(brightestLeaf, 0.5 * 0.8 * 255.0);
    EXPECT_GT(brightestLeaf, 50.0);
    // Both leaflets, lit alike: each side holds over a percent of its half's
    // full light, faint beside the type but still a leaf, not a bare wire.
    EXPECT_GT(left, 0.01 * 255 * p.width * p.height / 2);
    EXPECT_NEAR(left / right, 1.0, 0.05);
}

// The credit cards are much wider than the spacing of the stems that carry
// them, and the stems' tips bunch together: neighbouring cards put their
// lettering in opposite halves so it lands side by side, not on top. The
// last tip runs half a card ahead of the fourth, so both use the same half,
// the one away from the greetings.
TEST(Textures, CreditCardsLetterTheirOwnHalf) {
    const char* files[] = {"cred1.png", "cred2.png", "cred3.png", "cred4.png", "cred5.png"};
    std::array<int, 5> first{}, last{};
    for (int f = 0; f < 5; ++f) {
        const Picture p = readWithLibpng(files[f]);
        ASSERT_GT(p.width, 0) << files[f];
        first[f] = p.width;
        last[f] = -1;
        for (int y = 0; y < p.height; ++y) {
            for (int x = 0; x < p.width; ++x) {
                if (p.luminance(x, y) > 60) {
                    first[f] = std::min(first[f], x);
                    last[f] = std::max(last[f], x);
                }
            }
        }
        ASSERT_GE(last[f], 0) << files[f] << " has no lettering";
    }
    // The credits' names stand on two lines, so their bright letters reach
    // from well below the card's middle to over half its height: on one
    // line, held to a half's width, they were too small to survive the
    // echoes' smear. The third card hangs at the frame's bottom edge, so its
    // name is set higher and a little smaller: its lower line must end well
    // above the card's bottom, where it ran off the picture.
    for (int f = 0; f < 4; ++f) {
        const Picture p = readWithLibpng(files[f]);
        auto lit = [&](int y, int level) {
            for (int x = 0; x < p.width; ++x) {
                if (p.luminance(x, y) > level) {
                    return true;
                }
            }
            return false;
        };
        // The role is the first run of lettering from the top; the name
        // starts after the dark gap below it.
        int y = 0;
        while (y < p.height && !lit(y, 60)) {
            ++y;
        }
        const int roleTop = y;
        while (y < p.height && lit(y, 60)) {
            ++y;
        }
        // A card's role is shown some 60 pixels tall at most; set at under
        // a seventh of it, "code" or "music" came out about 7 pixels high and
        // the echoes' sway smeared it past reading. The third card's role is
        // held small to keep its raised name clear of it.
        if (f != 2) {
            EXPECT_GT(y - roleTop, p.height / 7) << files[f] << ": role too small to read";
        }
        int top = p.height, bottom = -1;
        for (; y < p.height; ++y) {
            if (lit(y, 200)) {
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
        const bool raised = f == 2;
        EXPECT_GT(bottom - top, p.height * (raised ? 0.4 : 0.5)) << files[f];
        if (raised) {
            EXPECT_LT(bottom, p.height * 0.75) << files[f];
        }
    }
    const int half = 256;
    const bool leftHalf[] = {true, false, true, true, true};
    for (int f = 0; f < 5; ++f) {
        SCOPED_TRACE(files[f]);
        if (leftHalf[f]) {
            EXPECT_LT(last[f], half);
        } else {
            EXPECT_GE(first[f], half);
        }
    }
}

// A scratch's quad runs far past the screen, and the closing credits' lower
// overlay camera sees only its middle two fifths, of which their band fills
// the rows from t = 0.36 to 0.64: a line reaching those rows cut the band
// from edge to edge like a seam. The scratch ends well inside them. Along its
// length it runs from pale grey to near full strength: an even pale line went
// unseen, an even dark one read as a seam.
TEST(Textures, ScratchKeepsToTheMiddleOfItsQuadAndVariesAlongIt) {
    const Picture p = readWithLibpng("speck_vertical.png");
    ASSERT_GT(p.width, 0);
    double outside = 0;
    std::vector<double> rowPeaks;
    for (int y = 0; y < p.height; ++y) {
        const double t = (y + 0.5) / p.height;
        double peak = 0;
        for (int x = 0; x < p.width; ++x) {
            peak = std::max(peak, p.luminance(x, y));
        }
        if (t < 0.39 || t > 0.61) {
            outside = std::max(outside, peak);
        } else if (peak > 40) {
            rowPeaks.push_back(peak);
        }
    }
    EXPECT_LT(outside, 8.0);
    ASSERT_FALSE(rowPeaks.empty());
    const double darkest = *std::max_element(rowPeaks.begin(), rowPeaks.end());
    EXPECT_GT(darkest, 220.0);
    const auto pale = std::count_if(rowPeaks.begin(), rowPeaks.end(),
                                    [darkest](double v) { return v < 0.55 * darkest; });
    EXPECT_GE(pale, static_cast<long>(rowPeaks.size() / 4));
}

// Along its length a scratch breaks into dashes, each of its own width and a
// little off the line of the last: one even line, paling only at its ends,
// read as a render seam. A row is part of a dash above a third of the
// darkest row's peak and a break below an eighth of it.
TEST(Textures, ScratchBreaksIntoDashesOfVaryingWidthAndPlace) {
    const Picture p = readWithLibpng("speck_vertical.png");
    ASSERT_GT(p.width, 0);
    struct Row {
        double peak = 0, centre = 0;
        int wide = 0;
    };
    std::vector<Row> rows;
    for (int y = 0; y < p.height; ++y) {
        const double t = (y + 0.5) / p.height;
        if (t < 0.39 || t > 0.61) {
            continue;
        }
        Row row;
        double sum = 0;
        for (int x = 0; x < p.width; ++x) {
            row.peak = std::max(row.peak, p.luminance(x, y));
            sum += p.luminance(x, y);
            row.centre += p.luminance(x, y) * (x + 0.5) / p.width;
        }
        row.centre = sum > 0 ? row.centre / sum : 0.5;
        for (int x = 0; x < p.width; ++x) {
            row.wide += p.luminance(x, y) >= row.peak / 2 && row.peak > 0;
        }
        rows.push_back(row);
    }
    ASSERT_FALSE(rows.empty());
    double darkest = 0;
    for (const Row& r : rows) {
        darkest = std::max(darkest, r.peak);
    }
    int breaks = 0, narrowest = p.width, widest = 0;
    double left = 1, right = 0;
    bool inDash = false, brokenSinceDash = false;
    for (const Row& r : rows) {
        if (r.peak > darkest / 3) {
            breaks += inDash && brokenSinceDash;
            inDash = true;
            brokenSinceDash = false;
            narrowest = std::min(narrowest, r.wide);
            widest = std::max(widest, r.wide);
            left = std::min(left, r.centre);
            right = std::max(right, r.centre);
        } else if (r.peak < darkest / 8) {
            brokenSinceDash = true;
        }
    }
    EXPECT_GE(breaks, 3);
    EXPECT_GE(widest, 2 * narrowest);
    EXPECT_GT(right - left, 0.04);
    // The blend darkens by a third at most, so the scratch must be gouged
    // near full strength over most of its length: with short strong dashes
    // among pale ones it went unseen on the film.
    std::size_t first = rows.size(), last = 0, strong = 0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].peak > darkest / 8) {
            first = std::min(first, i);
            last = std::max(last, i);
        }
        strong += rows[i].peak >= 0.8 * darkest;
    }
    ASSERT_LT(first, last);
    EXPECT_GE(strong, (last - first + 1) / 2) << "too little of the scratch is at full strength";
}

// The backdrop behind the spinning mesh feeds a loop that stretches the
// picture 1.04 times taller per frame, so its light travels outwards to the
// band's edge. Nothing may be lit in the rows the view shows last (it shows
// the quad's rows from t = 0.024 to 0.976), or the band ends in a hard line;
// but the ground must reach well out from the middle, or the band is barely
// lighter than the dark above and below it.
TEST(Textures, BackdropGroundLightsTheBandAndEndsSoftly) {
    const Picture p = readWithLibpng("vane2.png");
    ASSERT_GT(p.width, 0);
    int outer = 0;
    double middleBlue = 0, flankBlue = 0;
    int middleRows = 0, flankRows = 0;
    for (int y = 0; y < p.height; ++y) {
        const double across = std::abs((y + 0.5) / p.height - 0.5);
        middleRows += across < 0.02;
        flankRows += across > 0.25 && across < 0.3;
        for (int x = 0; x < p.width; ++x) {
            if (across > 0.45) {
                outer = std::max(outer, p.at(x, y, 2));
            } else if (across < 0.02) {
                middleBlue += p.at(x, y, 2);
            } else if (across > 0.25 && across < 0.3) {
                flankBlue += p.at(x, y, 2);
            }
        }
    }
    EXPECT_LE(outer, 2);
    EXPECT_GT(middleBlue / (middleRows * p.width), 40.0);
    EXPECT_GT(flankBlue / (flankRows * p.width), 15.0) << "the band's ground ends at its middle";
}

// The view pans along the backdrop's rows and the loop stretches each frame
// wider, so light spread evenly along a row stretches into itself and reads
// as a fixed stripe. The light must come in short sparks: in no row may the
// lit texels (over half the row's brightest, above the ground) run along
// more than a third of the width.
TEST(Textures, BackdropLightComesInShortSparks) {
    const Picture p = readWithLibpng("vane2.png");
    ASSERT_GT(p.width, 0);
    int sparkRows = 0;
    for (int y = 0; y < p.height; ++y) {
        int ground = 255, peak = 0;
        for (int x = p.width / 4; x < 3 * p.width / 4; ++x) {
            ground = std::min(ground, p.at(x, y, 2));
            peak = std::max(peak, p.at(x, y, 2));
        }
        if (peak - ground < 60) {
            continue;
        }
        ++sparkRows;
        int lit = 0;
        for (int x = 0; x < p.width; ++x) {
            lit += p.at(x, y, 2) - ground > (peak - ground) / 2;
        }
        EXPECT_LT(lit, p.width / 3) << "row " << y << " is an even streak";
    }
    EXPECT_GT(sparkRows, p.height / 10) << "too few sparks";
}

// A dust speck is shown some forty to eighty pixels across: each of the four
// marks must hold a solid dark core of a few hundred texels, or it shrinks to
// a pixel or two on screen (a one-pixel hair and a small round grain went
// unseen, or read as a dead pixel).
TEST(Textures, EachDustMarkHasASolidCore) {
    const Picture p = readWithLibpng("specks.png");
    ASSERT_GT(p.width, 0);
    const int half = p.width / 2;
    for (int cell = 0; cell < 4; ++cell) {
        const int x0 = (cell % 2) * half, y0 = (cell / 2) * half;
        int solid = 0;
        for (int y = y0; y < y0 + half; ++y) {
            for (int x = x0; x < x0 + half; ++x) {
                solid += p.luminance(x, y) >= 200;
            }
        }
        EXPECT_GT(solid, 300) << "cell " << cell;
        EXPECT_LT(solid, half * half / 4) << "cell " << cell << " is a blot, not a speck";
    }
}

// The three pictures cross-fade at every mix, so each line must put the same
// name on the same spot of the screen, centred on the line's point of the
// ellipse (two names side by side read as columns). The lines circle as far
// out as 0.6 of the greeting layer, whose visible half-width is 0.83: the
// names must end clear of the frame's edge, not in its last pixels, where
// they read as cut off.
TEST(Textures, GreetingsCoincideCentredAndClearOfTheFrame) {
    const char* files[] = {"greetings.png", "greetings2.png", "greetings3.png"};
    const double shownScale[] = {1.0, 1.0, 1.3};
    constexpr double quadHalfWidth = 0.2, outermostLine = 0.6, visibleHalfWidth = 0.83;
    std::array<Picture, 3> pictures;
    for (int f = 0; f < 3; ++f) {
        pictures[f] = readWithLibpng(files[f]);
        ASSERT_GT(pictures[f].width, 0) << files[f];
    }
    const int band = pictures[0].height / 8;
    for (int line = 0; line < 8; ++line) {
        // Lit extent of the line on screen, in quad half-widths of the first.
        std::array<std::array<double, 2>, 3> extent{};
        for (int f = 0; f < 3; ++f) {
            const Picture& p = pictures[f];
            int first = p.width, last = -1;
            for (int y = line * band; y < (line + 1) * band; ++y) {
                for (int x = 0; x < p.width; ++x) {
                    if (p.luminance(x, y) > 100) {
                        first = std::min(first, x);
                        last = std::max(last, x);
                    }
                }
            }
            ASSERT_GE(last, 0) << files[f] << " line " << line;
            extent[f] = {(2.0 * first / p.width - 1.0) * shownScale[f],
                         (2.0 * (last + 1) / p.width - 1.0) * shownScale[f]};
        }
        for (int f = 1; f < 3; ++f) {
            EXPECT_NEAR(extent[f][0], extent[0][0], 0.03) << files[f] << " line " << line;
            EXPECT_NEAR(extent[f][1], extent[0][1], 0.03) << files[f] << " line " << line;
        }
        EXPECT_NEAR(extent[0][0] + extent[0][1], 0.0, 0.05) << "line " << line << " off centre";
        for (int f = 0; f < 3; ++f) {
            // 0.07 of the layer is some 35 pixels on screen.
            EXPECT_LT(outermostLine + extent[f][1] * quadHalfWidth, visibleHalfWidth - 0.07)
                << files[f] << " line " << line;
        }
    }
}

// The dome's floor (s from 0.6 to 0.7) fills the view through the clear
// water early in the deep sea: it must be a dark abyss with points of light
// in it, not an even dim panel.
TEST(Textures, DeepDomeFloorIsDarkWithLightsInIt) {
    const Picture p = readWithLibpng("sky2.png");
    ASSERT_GT(p.width, 0);
    std::vector<double> levels;
    for (int y = 0; y < p.height; ++y) {
        for (int x = p.width * 6 / 10; x < p.width * 7 / 10; ++x) {
            levels.push_back(p.luminance(x, y));
        }
    }
    std::sort(levels.begin(), levels.end());
    const size_t n = levels.size();
    EXPECT_LT(levels[n / 2], 45.0) << "the abyss must stay dark";
    EXPECT_GT(levels[n - n / 100], 70.0) << "its lights must show";
    EXPECT_GT(levels[n - n / 100], 2.5 * levels[n / 2]);
}

// Seen through the water at 190 s, points of light alone left the floor
// nearly empty: some of its lights are small jellyfish seen from above, lit
// along t for several times a point's core (at most some five texels).
// Counted as long runs of lit texels down the floor's columns.
TEST(Textures, DeepDomeFloorHoldsAnimalsNotOnlyPoints) {
    const Picture p = readWithLibpng("sky2.png");
    ASSERT_EQ(p.width, 512);
    int longRuns = 0;
    for (int x = p.width * 6 / 10; x < p.width * 7 / 10; ++x) {
        int run = 0;
        for (int y = 0; y < p.height; ++y) {
            run = p.luminance(x, y) > 50.0 ? run + 1 : 0;
            longRuns += run == 7;
        }
    }
    EXPECT_GE(longRuns, 45) << "the floor's lights are all points";
}

// The deep sea ends with the camera almost against the dome's wall, a few
// dozen texels round (s 0.4, t 0.17) filling the view: that patch must hold
// lights, not the even band that showed as a flat navy screen, in dark water
// (a glowing haze under them washed the last frames out).
TEST(Textures, DeepDomeEndsOnLightsNotAnEvenBand) {
    const Picture p = readWithLibpng("sky2.png");
    ASSERT_EQ(p.width, 512);
    std::vector<double> levels;
    for (int y = 410; y < 445; ++y) {
        for (int x = 195; x < 215; ++x) {
            levels.push_back(p.luminance(x, y));
        }
    }
    std::sort(levels.begin(), levels.end());
    const size_t n = levels.size();
    EXPECT_GT(levels[n - n / 50], 2.0 * levels[n / 10]) << "the end patch is an even fill";
    EXPECT_LT(levels[n / 10], 35.0) << "the water between the lights must stay dark";
    EXPECT_LT(levels[n / 2], 55.0) << "the lights sit in a glowing haze";
}

// The deep sea's column lights the jellyfish bodies with a warm orange-brown
// material, under which red survives on the shaded side and blue barely
// does: a body picture with much red came out as dark tan domes. Counted
// over the whole picture, as every row lands somewhere on a bell.
TEST(Textures, JellyfishBodyIsCoolEnoughForAWarmMaterial) {
    const Picture p = readWithLibpng("caust.png");
    ASSERT_GT(p.width, 0);
    double red = 0, green = 0, blue = 0;
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            red += p.at(x, y, 0);
            green += p.at(x, y, 1);
            blue += p.at(x, y, 2);
        }
    }
    EXPECT_LT(red, 0.25 * blue);
    EXPECT_LT(red, 0.3 * green);
}

// The body's margin carries the bell's outline: every row the margin lights
// must be lit all the way round. Beads of light on it (dark between them)
// drew each small jellyfish as a dotted wire ring over the vase.
TEST(Textures, JellyfishMarginIsUnbroken) {
    const Picture p = readWithLibpng("caust.png");
    ASSERT_GT(p.width, 0);
    double peak = 0;
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            peak = std::max(peak, p.luminance(x, y));
        }
    }
    int marginRows = 0;
    for (int y = 0; y < p.height; ++y) {
        double low = 255, high = 0;
        for (int x = 0; x < p.width; ++x) {
            low = std::min(low, p.luminance(x, y));
            high = std::max(high, p.luminance(x, y));
        }
        if (high < 0.95 * peak) {
            continue;
        }
        ++marginRows;
        EXPECT_GT(low, 0.5 * high) << "the margin is broken in row " << y;
    }
    EXPECT_GT(marginRows, 3) << "no bright margin";
}

// The water slab is a lens, not a panel: most of it must stay clear, while
// its net of light, where the colour is brightest, is nearly opaque (the alpha
// file carries the same net, texel for texel).
TEST(Textures, WaterBodyIsClearBetweenItsOpaqueLines) {
    const Picture colour = readWithLibpng("fullalphawater.png");
    const Picture alpha = readWithLibpng("gradient.png");
    ASSERT_EQ(colour.width, alpha.width);
    ASSERT_EQ(colour.height, alpha.height);
    std::vector<std::pair<double, int>> texels;
    for (int y = 0; y < colour.height; ++y) {
        for (int x = 0; x < colour.width; ++x) {
            texels.emplace_back(colour.luminance(x, y), alpha.at(x, y, 2));
        }
    }
    std::sort(texels.begin(), texels.end());
    const auto meanAlpha = [&texels](size_t from, size_t to) {
        double sum = 0;
        for (size_t i = from; i < to; ++i) {
            sum += texels[i].second;
        }
        return sum / static_cast<double>(to - from) / 255.0;
    };
    const size_t n = texels.size();
    EXPECT_LT(meanAlpha(0, n / 2), 0.3) << "the darker half of the water must stay clear";
    EXPECT_GT(meanAlpha(n - n / 50, n), 0.45) << "the brightest lines must be nearly opaque";
    EXPECT_GT(texels[n - n / 50].first, 90.0) << "the lines must be bright";
}

// The slab's planes stretch t four times more than s (its height), and a
// side seen edge-on shows each s as one line. So the water's light must
// change far faster across t than along s: shafts standing up in the water.
// A net as fine along s as across t drew the sides as a wire cage.
TEST(Textures, WaterLightStandsInShaftsAlongTheSlabsHeight) {
    const Picture colour = readWithLibpng("fullalphawater.png");
    ASSERT_GT(colour.width, 1);
    double alongS = 0, acrossT = 0;
    for (int y = 0; y + 1 < colour.height; ++y) {
        for (int x = 0; x + 1 < colour.width; ++x) {
            alongS += std::abs(colour.luminance(x + 1, y) - colour.luminance(x, y));
            acrossT += std::abs(colour.luminance(x, y + 1) - colour.luminance(x, y));
        }
    }
    EXPECT_GT(acrossT, 4 * alongS) << "the light must fall in shafts, not lie in a net";
}

// The wobble overlay is added five times over the whole view late in the
// deep sea: it must be light caught in dark water, black over most of the
// picture (an even haze under a dense net washed the view blue), with a few
// bright lines left.
TEST(Textures, WobbleOverlayIsDarkBetweenSparseLines) {
    const Picture p = readWithLibpng("gelfishtex0.png");
    ASSERT_GT(p.width, 0);
    std::vector<double> levels;
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            levels.push_back(p.luminance(x, y));
        }
    }
    std::sort(levels.begin(), levels.end());
    const size_t n = levels.size();
    EXPECT_LT(levels[n * 3 / 4], 8.0) << "three quarters of the overlay must be black";
    EXPECT_GT(levels[n - n / 100], 60.0) << "its lines must still show";
}

// The overlay's five copies lie side by side along s, so its threads must
// run along s: moved that way the picture must change far less than moved
// the same distance along t. Threads across s were copied into stacks of
// parallel stripes, grey smears over the jellyfish.
TEST(Textures, WobbleOverlayThreadsRunAlongItsCopies) {
    const Picture p = readWithLibpng("gelfishtex0.png");
    ASSERT_GT(p.width, 0);
    const int shift = p.width / 40;
    double alongS = 0, alongT = 0;
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            const double v = p.luminance(x, y);
            alongS += std::abs(v - p.luminance((x + shift) % p.width, y));
            alongT += std::abs(v - p.luminance(x, (y + shift) % p.height));
        }
    }
    EXPECT_LT(alongS, 0.6 * alongT);
}

// The alpha sources are read from their blue byte: it must carry a real ramp.
TEST(Textures, AlphaFilesCarryTheirRampInBlue) {
    for (const char* file : {"causta.png", "gradient.png"}) {
        const Picture p = readWithLibpng(file);
        ASSERT_GT(p.width, 0) << file;
        int lowest = 255, highest = 0;
        for (int y = 0; y < p.height; ++y) {
            for (int x = 0; x < p.width; ++x) {
                lowest = std::min(lowest, p.at(x, y, 2));
                highest = std::max(highest, p.at(x, y, 2));
            }
        }
        EXPECT_GT(highest - lowest, 100) << file;
    }
}

} // namespace

namespace {

// Smooth gradients are quantised with dither: along a row, pixels must not
// sit on one 8-bit value for long stretches (that shows as bands). Measured as
// the mean length of runs of equal values, in the channel where it is longest.
TEST(Textures, SmoothGradientsAreDitheredNotBanded) {
    for (const char* file : {"moon1.png", "sky2.png", "fullalphawater.png", "deepspace.png"}) {
        const Picture p = readWithLibpng(file);
        ASSERT_GT(p.width, 0) << file;
        double longest = 0;
        for (int c = 0; c < 3; ++c) {
            long runs = 0, pixels = 0;
            for (int y = 0; y < p.height; ++y) {
                int runValue = -1;
                for (int x = 0; x < p.width; ++x) {
                    const int v = p.at(x, y, c);
                    if (v == 0 || v == 255) {
                        runValue = -1;
                        continue;
                    }
                    ++pixels;
                    runs += v != runValue;
                    runValue = v;
                }
            }
            longest = std::max(longest, static_cast<double>(pixels) / std::max(runs, 1L));
        }
        EXPECT_LT(longest, 3.0) << file;
    }
}

// Red, green and blue summed over the whole picture.
std::array<double, 3> channelSums(const Picture& p) {
    std::array<double, 3> sum{};
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            for (int c = 0; c < 3; ++c) {
                sum[c] += p.at(x, y, c);
            }
        }
    }
    return sum;
}

// Mean luminance of the block of columns [x0, x0 + width) and rows [y0, y1).
double blockLuminance(const Picture& p, int x0, int width, int y0, int y1) {
    double sum = 0;
    int n = 0;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x0 + width; ++x, ++n) {
            sum += p.luminance(x, y);
        }
    }
    return sum / n;
}

// The panorama ends by sinking into the dark. If the lit sky over the hills
// runs flat up to that fade, the end reads as a bright vertical band (a seam):
// across the last panel the lower sky must dim steadily, well before the fade.
TEST(Textures, PanoramaGlowDiesAwayBeforeItsRightEnd) {
    const Picture p = readWithLibpng("moon5.png");
    ASSERT_EQ(p.width, 512);
    const auto lowerSky = [&p](int x0) { return blockLuminance(p, x0, 32, 260, 300); };
    const double panelStart = lowerSky(0);
    double previous = panelStart;
    for (int x0 = 32; x0 < 480; x0 += 32) {
        const double block = lowerSky(x0);
        EXPECT_LE(block, previous + 1.0) << "lower sky brightens at column " << x0;
        previous = block;
    }
    // Column 192 is where the fade into the dark begins.
    EXPECT_LT(lowerSky(192), 0.8 * panelStart);
}

// The scroll opens on the dark left of the first panel. Where lit sky met
// that dark, the meeting read as a black band with a vertical edge; the
// panel opens on a dark bluff instead, so across its left fifth the picture
// stays dark and rises without a step, and the open sky comes only after.
TEST(Textures, PanoramaOpensOnDarkRockWithoutAnEdge) {
    const Picture p = readWithLibpng("moon1.png");
    ASSERT_EQ(p.width, 512);
    const auto column = [&p](int x0) { return blockLuminance(p, x0, 16, 40, 300); };
    const double sky = column(320);
    double previous = column(0);
    EXPECT_LT(previous, 4.0) << "the panel does not start in the dark";
    for (int x0 = 16; x0 < 112; x0 += 16) {
        const double block = column(x0);
        EXPECT_LT(block, 0.5 * sky) << "open sky at column " << x0;
        EXPECT_LT(block - previous, 0.15 * sky) << "a step at column " << x0;
        previous = block;
    }
}

// Mirrors show these pictures; a dark one turns every mirror black. (The
// skins that feed the feedback loops, blend5 and envmap2, are dark on purpose.)
// The swarm's dusk sky and the blobby surface's studio are dark on purpose
// too, since bright things are added onto them, but not black, and each
// still has its lights: the stars, the liquid skin's afterglow.
// A knot's outline samples the spinning mesh's map all round its rim: one
// hue there, or the tubes get rainbow outlines.
TEST(Textures, KnotSkinRimIsOneHueAllRound) {
    const Picture p = readWithLibpng("blend5.png");
    ASSERT_EQ(p.width, 256);
    int lowest[3] = {255, 255, 255}, highest[3] = {0, 0, 0};
    for (int k = 0; k < 36; ++k) {
        const double a = k * 3.14159265 / 18;
        const int x = static_cast<int>(127.5 + 124 * std::cos(a));
        const int y = static_cast<int>(127.5 + 124 * std::sin(a));
        for (int c = 0; c < 3; ++c) {
            lowest[c] = std::min(lowest[c], p.at(x, y, c));
            highest[c] = std::max(highest[c], p.at(x, y, c));
        }
    }
    for (int c = 0; c < 3; ++c) {
        EXPECT_LT(highest[c] - lowest[c], 40) << "channel " << c;
    }
    EXPECT_GT(lowest[2], lowest[0] + 60) << "rim is not violet-blue";
}

// Each copy of a knot lands among its last few copies, so a lit body adds up
// into fog: the skin is dark metal whose light sits in a few thin lines.
TEST(Textures, KnotSkinIsDarkMetalWithThinBrightLines) {
    const Picture p = readWithLibpng("blend5.png");
    ASSERT_EQ(p.width, 256);
    int inside = 0, midTone = 0, bright = 0;
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            const double r = std::hypot((x + 0.5) / 128 - 1, (y + 0.5) / 128 - 1);
            if (r >= 0.8) {
                continue; // the rim, tested above
            }
            ++inside;
            const double l = p.luminance(x, y);
            midTone += l > 60 && l <= 150 ? 1 : 0;
            bright += l > 150 ? 1 : 0;
        }
    }
    EXPECT_LT(midTone, 0.2 * inside) << "a lit body, not lines";
    EXPECT_GT(bright, 0.03 * inside) << "no highlight lines";
    EXPECT_LT(bright, 0.12 * inside) << "too much highlight";
}

// The creature's glass mirrors the night toward its rim: one cool blue, no
// band of rose or pink, which read as a cheap rainbow on the big bodies.
TEST(Textures, CreatureSkinRimStaysCoolBlue) {
    const Picture p = readWithLibpng("tvfilter4.png");
    ASSERT_EQ(p.width, 256);
    for (int k = 0; k < 72; ++k) {
        const double a = k * 3.14159265 / 36;
        for (double r : {0.7, 0.8, 0.9, 0.97}) {
            const int x = static_cast<int>(127.5 + 127.5 * r * std::cos(a));
            const int y = static_cast<int>(127.5 + 127.5 * r * std::sin(a));
            EXPECT_LT(p.at(x, y, 0), 0.8 * p.at(x, y, 2)) << x << "," << y;
        }
    }
}

TEST(Textures, SphereMapsAreBrightEnvironments) {
    struct Environment {
        const char* file;
        double darkest, brightest, highlight;
    };
    for (const Environment& e : {Environment{"envmap55.png", 70.0, 255.0, 220.0},
                                 Environment{"tvfilter4.png", 70.0, 255.0, 220.0},
                                 Environment{"envmap5.png", 20.0, 100.0, 180.0},
                                 Environment{"blend44.png", 15.0, 60.0, 150.0}}) {
        const Picture p = readWithLibpng(e.file);
        ASSERT_GT(p.width, 0) << e.file;
        double sum = 0, brightest = 0;
        for (int y = 0; y < p.height; ++y) {
            for (int x = 0; x < p.width; ++x) {
                sum += p.luminance(x, y);
                brightest = std::max(brightest, p.luminance(x, y));
            }
        }
        const double mean = sum / (p.width * p.height);
        EXPECT_GT(mean, e.darkest) << e.file;
        EXPECT_LT(mean, e.brightest) << e.file;
        EXPECT_GT(brightest, e.highlight) << e.file << " has no highlight";
    }
}

// The opening title's quad is small on screen, so its lettering (the bright
// ink, not the glow) must use the card: most of its width, leaving room at the
// sides for the glow to die away, and capitals over a fifth of its height,
// where a line shared with the group's name left them under a fifth and the
// title read as a label.
TEST(Textures, OpeningTitleFillsItsCard) {
    const Picture p = readWithLibpng("vane.png");
    ASSERT_EQ(p.width, 256);
    int left = p.width, right = -1, top = p.height, bottom = -1;
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            if (p.luminance(x, y) > 160) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    ASSERT_GE(right, 0) << "no lettering";
    EXPECT_GT(right - left + 1, 0.74 * p.width);
    EXPECT_LT(right - left + 1, 0.86 * p.width) << "no room left for the glow";
    EXPECT_GT(bottom - top + 1, 0.22 * p.height);
    EXPECT_NEAR((top + bottom) / 2.0, p.height / 2.0, 8) << "off the card's middle line";
}

// The opening's cards are added to the screen over the dark band: their glow
// must die away well inside every edge (a bloom that still lit the card a few
// texels in drew the quad's outline round the title like a pasted sticker),
// and most of their light must sit in the letters, not in a slab of glow
// round them, which the spreading copies smeared into a blank bar.
TEST(Textures, OpeningCardsKeepTheirLightInTheLetters) {
    for (const char* file : {"vane.png", "presents.png"}) {
        SCOPED_TRACE(file);
        const Picture p = readWithLibpng(file);
        ASSERT_EQ(p.width, 256);
        const int side = p.width / 25, cap = p.height / 32;
        int nearEdge = 0;
        int left = p.width, right = -1, top = p.height, bottom = -1;
        for (int y = 0; y < p.height; ++y) {
            for (int x = 0; x < p.width; ++x) {
                const bool outer =
                    x < side || x >= p.width - side || y < cap || y >= p.height - cap;
                if (outer) {
                    nearEdge = std::max({nearEdge, p.at(x, y, 0), p.at(x, y, 1), p.at(x, y, 2)});
                }
                if (p.luminance(x, y) > 200) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
            }
        }
        EXPECT_LE(nearEdge, 6) << "the glow reaches the card's edge";
        ASSERT_GE(right, 0) << "no lettering";
        // Across the words' box the gaps between the strokes stay dark.
        int dark = 0;
        for (int y = top; y <= bottom; ++y) {
            for (int x = left; x <= right; ++x) {
                dark += p.luminance(x, y) < 64 ? 1 : 0;
            }
        }
        EXPECT_GT(dark, 0.05 * (right - left + 1) * (bottom - top + 1)) << "a slab of glow";
    }
}

// The spreading copies average a card along its line, so that average must
// read as blue light: near-white ink dissolved into grey blobs. Yet the still
// letters must read as lit type, with a hot near-white core in the strokes:
// flat ice-blue ink read as a plain caption.
TEST(Textures, OpeningCardsAverageToBlueYetHaveHotCores) {
    for (const char* file : {"vane.png", "presents.png"}) {
        SCOPED_TRACE(file);
        const Picture p = readWithLibpng(file);
        ASSERT_GT(p.width, 0);
        const auto sum = channelSums(p);
        EXPECT_GT(sum[2], 0.0) << "empty card";
        EXPECT_GT(sum[2] - sum[0], 0.5 * sum[2]) << "the smear reads grey";
        EXPECT_GT(sum[2] - sum[1], 0.35 * sum[2]) << "the smear reads grey";
        int hot = 0;
        for (int y = 0; y < p.height; ++y) {
            for (int x = 0; x < p.width; ++x) {
                hot += std::min({p.at(x, y, 0), p.at(x, y, 1), p.at(x, y, 2)}) > 235 ? 1 : 0;
            }
        }
        EXPECT_GT(hot, 20) << "no hot core in the letters";
    }
}

// The caption's quad is small and off in a corner of the screen, so its
// lettering must fill the card: capitals standing most of its height across
// most of its width (lower case left the card's lower rows empty and read as
// tiny default type), stems sharp across, and a thin flare on the middle
// line that shows in the gaps between the letters, where the glow is dark a
// little above and below it.
TEST(Textures, OpeningCaptionFillsItsCardWithCapitalsAndAFlare) {
    const Picture p = readWithLibpng("presents.png");
    ASSERT_EQ(p.width, 256);
    const int w = p.width, h = p.height;
    int litRows = 0;
    for (int y = 0; y < h; ++y) {
        bool lit = false;
        for (int x = 0; x < w; ++x) {
            lit = lit || p.luminance(x, y) > 200;
        }
        litRows += lit ? 1 : 0;
    }
    EXPECT_GT(litRows, 0.62 * h) << "the letters are small on their card";
    for (const double t : {0.25, 0.75}) {
        int left = w, right = -1;
        for (int x = 0; x < w; ++x) {
            if (p.luminance(x, int(t * h)) > 150) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
        EXPECT_LT(left, 0.12 * w) << "row " << t << " is not lit across the word";
        EXPECT_GT(right, 0.88 * w) << "row " << t << " is not lit across the word";
    }
    int sharpSteps = 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x + 1 < w; ++x) {
            sharpSteps += std::abs(p.luminance(x + 1, y) - p.luminance(x, y)) > 40 ? 1 : 0;
        }
    }
    EXPECT_GT(sharpSteps, 1000) << "soft stems";
    const int mid = h / 2, off = h / 12;
    int flareOnly = 0;
    for (int x = w / 10; x < w * 9 / 10; ++x) {
        flareOnly += p.luminance(x, mid) > 60 && p.luminance(x, mid - off) < 40 &&
                             p.luminance(x, mid + off) < 40
                         ? 1
                         : 0;
    }
    EXPECT_GT(flareOnly, 8) << "no flare between the letters";
}

// The loading screen's sky: the domes' outlines mirror the map's outer ring
// all round, the floor only its top, so the ring is bright at the top and
// dark at the sides and bottom (a pale ring all round stair-stepped every
// outline); and the domes' fronts, which mirror the right half, catch one
// warm sunset glow there while the rest stays blue.
TEST(Textures, LoadingSkyRingDarkensAwayFromTheTopAndHasAWarmSunset) {
    const Picture p = readWithLibpng("envmap55.png");
    ASSERT_EQ(p.width, 256);
    const auto texel = [&p](double x, double y, int c) {
        return p.at(int(128 + 128 * x), int(128 - 128 * y), c);
    };
    const auto ringLuminance = [&](double angle) {
        double sum = 0;
        for (int c = 0; c < 3; ++c) {
            sum += texel(0.96 * std::cos(angle), 0.96 * std::sin(angle), c);
        }
        return sum / 3;
    };
    const double pi = std::acos(-1.0);
    const double top = ringLuminance(pi / 2);
    EXPECT_GT(top, 100.0) << "the floor would go dim";
    EXPECT_LT(ringLuminance(0), 0.75 * top) << "right side";
    EXPECT_LT(ringLuminance(pi), 0.75 * top) << "left side";
    EXPECT_LT(ringLuminance(-pi / 2), 0.4 * top) << "bottom";
    const auto warmth = [&](double x, double y) { return texel(x, y, 0) - texel(x, y, 2); };
    EXPECT_GT(warmth(0.6, 0.03), 60) << "no sunset on the right";
    EXPECT_LT(warmth(-0.6, 0.3), 0) << "the left sky is not blue";
    EXPECT_LT(warmth(0.0, 0.85), 0) << "the floor's part of the ring is not blue";
    // The floor mirrors the ring's top, angle by angle across the screen:
    // reflected light columns there, or the floor reads as one flat blue.
    for (const double radius : {0.7, 0.8}) {
        double sum = 0, darkest = 255, brightest = 0;
        for (int k = -40; k <= 40; ++k) {
            const double angle = pi / 2 + k * 0.5 / 40;
            double v = 0;
            for (int c = 0; c < 3; ++c) {
                v += texel(radius * std::cos(angle), radius * std::sin(angle), c) / 3.0;
            }
            sum += v;
            darkest = std::min(darkest, v);
            brightest = std::max(brightest, v);
        }
        const double mean = sum / 81;
        EXPECT_GT(mean, 100.0) << "the floor would go dim";
        EXPECT_GT(brightest - darkest, 0.4 * mean) << "no reflections on the floor";
    }
}

// The loading screen's upper cove stands upright, so each screen column
// there mirrors one point of the map's top strip: whatever varies across
// that strip (radius 0.15 to 0.4, 60 to 120 degrees) stands as a pillar in
// the sky. Level bands only show lower down, radius 0.4 to 0.62, where the
// wall curves out into the floor. The domes mirror the upper ring beyond
// it, where texel-sized mottling read as a noisy skin.
TEST(Textures, LoadingSkyHoldsBandsAboveTheHorizonAndStaysSmoothBehind) {
    const Picture p = readWithLibpng("envmap55.png");
    ASSERT_EQ(p.width, 256);
    const double pi = std::acos(-1.0);
    const auto at = [&p, pi](double r, double degrees) {
        const double a = degrees * pi / 180;
        return p.luminance(int(128 + 128 * r * std::cos(a)), int(128 - 128 * r * std::sin(a)));
    };
    for (const double degrees : {75.0, 90.0, 105.0}) {
        SCOPED_TRACE(degrees);
        int swings = 0, trend = 0;
        double low = 1e9, high = -1e9;
        for (int k = 0; k <= 60; ++k) {
            const double v = at(0.4 + 0.22 * k / 60, degrees);
            high = std::max(high, v);
            low = std::min(low, v);
            if (trend >= 0 && v < high - 10) {
                ++swings, trend = -1, low = v;
            } else if (trend <= 0 && v > low + 10) {
                ++swings, trend = 1, high = v;
            }
        }
        EXPECT_GE(swings, 2) << "no level strata at the horizon";
    }
    for (const double r : {0.2, 0.3, 0.38}) {
        SCOPED_TRACE(r);
        double low = 1e9, high = -1e9;
        for (int k = 0; k <= 60; ++k) {
            const double v = at(r, 60 + k);
            low = std::min(low, v);
            high = std::max(high, v);
        }
        EXPECT_LT(high - low, 20) << "pillars in the upper sky";
    }
    double step = 0;
    int count = 0;
    for (int y = 0; y < 255; ++y) {
        for (int x = 0; x < 255; ++x) {
            const double u = (x + 0.5) / 128 - 1, v = 1 - (y + 0.5) / 128;
            if (std::hypot(u, v) > 0.55 && std::hypot(u, v) < 0.85 && v > 0.1) {
                step += std::abs(p.luminance(x, y) - p.luminance(x + 1, y)) +
                        std::abs(p.luminance(x, y) - p.luminance(x, y + 1));
                ++count;
            }
        }
    }
    EXPECT_LT(step / count, 6.5) << "mottled: the domes' skins read as noise";
}

// Every texel's luminance, darkest first: percentiles of a picture.
std::vector<double> sortedLuminance(const Picture& p) {
    std::vector<double> values;
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            values.push_back(p.luminance(x, y));
        }
    }
    std::sort(values.begin(), values.end());
    return values;
}

// The mirror room's lozenges: a pale skin made glossy plastic eggs, an even
// one flat discs, and bright band lines running round them hard candies. The
// skin is drawn out into lines down their sides, so a fine grain or a crack
// (a steep step between neighbours) became striped grain: the stone is a
// mid body in broad soft patches, and no light run reaches round it.
TEST(Textures, RoomStoneIsBroadlyMottledWithoutFineDetail) {
    const Picture p = readWithLibpng("graytext4.png");
    ASSERT_GT(p.width, 0);
    const std::vector<double> values = sortedLuminance(p);
    EXPECT_LT(values[values.size() / 2], 150.0) << "the stone is a pale shell";
    EXPECT_GT(values[values.size() / 2], 70.0) << "the stone is too dark to show its colour";
    EXPECT_GT(values[values.size() * 95 / 100] - values[values.size() * 5 / 100], 70.0)
        << "the stone is one even grey";
    const double light = 0.7 * 255;
    int longest = 0;
    double steepest = 0;
    for (int pass = 0; pass < 2; ++pass) {
        for (int a = 0; a < p.height; ++a) {
            int run = 0;
            for (int b = 0; b < 2 * p.width; ++b) { // twice round: the tile repeats
                const int x = pass == 0 ? b % p.width : a, y = pass == 0 ? a : b % p.height;
                const int nx = pass == 0 ? (b + 1) % p.width : a;
                const int ny = pass == 0 ? a : (b + 1) % p.height;
                run = p.luminance(x, y) > light ? run + 1 : 0;
                longest = std::max(longest, run);
                steepest = std::max(steepest, std::abs(p.luminance(x, y) - p.luminance(nx, ny)));
            }
        }
    }
    EXPECT_LT(longest, p.width / 4) << "a light band runs round the stone";
    EXPECT_LT(steepest, 12.0) << "a fine grain or crack draws stripes down the sides";
}

// The pedestal's marble: a pale ground with thin dark veins. Broad bands of
// light and dark over a whole face read as smeared grey blotches.
TEST(Textures, PedestalMarbleIsPaleWithThinVeins) {
    const Picture p = readWithLibpng("one_test5.png");
    ASSERT_GT(p.width, 0);
    const std::vector<double> values = sortedLuminance(p);
    EXPECT_GT(values[values.size() / 2], 180.0) << "the ground is not pale";
    EXPECT_GT(values[values.size() / 4], values[values.size() / 2] - 25.0)
        << "the ground is blotched, not even";
    EXPECT_LT(values[values.size() / 100], 140.0) << "no dark veins";
    EXPECT_GT(values[values.size() * 15 / 100], 150.0) << "the veins are broad bands";
}

// Chrome reads by contrast: the drops' skin is a dark studio with a few
// large bold light panels, warm and cool, and deep reflections between
// them. The dusk it replaced had no highlight over a fiftieth of the face
// and no cool light, so the drops read as soft purple plastic, and a dead
// black room read as holes in them.
TEST(Textures, LiquidSkinIsAChromeStudio) {
    const Picture skin = readWithLibpng("envmap5.png");
    ASSERT_GT(skin.width, 0);
    std::vector<double> face;
    int bold = 0, warm = 0, cool = 0;
    for (int y = 0; y < skin.height; ++y) {
        for (int x = 0; x < skin.width; ++x) {
            const double rho =
                std::hypot((x + 0.5) / skin.width * 2 - 1, (y + 0.5) / skin.height * 2 - 1);
            if (rho >= 0.9) {
                continue;
            }
            const double l = skin.luminance(x, y);
            const int r = skin.at(x, y, 0), b = skin.at(x, y, 2);
            face.push_back(l);
            bold += l > 200 ? 1 : 0;
            warm += l > 170 && r > b + 60 ? 1 : 0;
            cool += l > 140 && b > r + 60 ? 1 : 0;
        }
    }
    const int n = static_cast<int>(face.size());
    std::sort(face.begin(), face.end());
    EXPECT_GT(bold, n / 25) << "no bold lights";
    EXPECT_GT(warm, n / 33) << "no warm light panel";
    EXPECT_GT(cool, n / 66) << "no cool light panel";
    EXPECT_LT(face[n / 10], 60.0) << "no deep reflections between the lights";
    EXPECT_GT(face[n / 100], 15.0) << "black holes in the chrome";
}

// The surface's coarse triangles lay the skin on by straight ramps, so any
// sharp small feature near the horizon (lit cloud rims, glints, a hard panel
// edge) became a stepped ledge across each drop's waist: around the horizon
// the skin changes by little from one texel to the next. The light panels'
// soft edges ramp by up to some 14 a texel; a sharp edge jumps further.
TEST(Textures, LiquidSkinWaistIsSmooth) {
    const Picture skin = readWithLibpng("envmap5.png");
    ASSERT_GT(skin.width, 0);
    const int w = skin.width, h = skin.height;
    double steepest = 0;
    int steep = 0, waist = 0;
    for (int y = 3 * h / 8; y < 5 * h / 8; ++y) {
        for (int x = w / 8; x < 7 * w / 8; ++x, ++waist) {
            const double here = skin.luminance(x, y);
            const double step = std::max(std::abs(here - skin.luminance(x, y + 1)),
                                         std::abs(here - skin.luminance(x + 1, y)));
            steepest = std::max(steepest, step);
            steep += step > 12 ? 1 : 0;
        }
    }
    EXPECT_LT(steep, waist / 50) << steep << " steep texels in the waist of " << waist;
    EXPECT_LT(steepest, 16.0) << "a sharp edge across the waist";
}

// At the end the blobs float on a cleared screen, so their skin is the whole
// picture: a studio lit in the swarm's dusk colours, rose and violet above a
// bright horizon line and a warm floor below (a cool grey studio made them
// pebbles in a void). The sheet's side picture is that dusk in a liquid:
// dark where flat, warm where its waves catch the glow (grey rings read as
// a wall).
TEST(Textures, LiquidSkinsMirrorTheDusk) {
    const Picture skin = readWithLibpng("envmap5.png");
    ASSERT_GT(skin.width, 0);
    const auto meanOf = [&skin](int y0, int y1, int channel) {
        double sum = 0;
        int n = 0;
        for (int y = y0; y < y1; ++y) {
            for (int x = skin.width / 4; x < 3 * skin.width / 4; ++x) {
                sum += skin.at(x, y, channel);
                ++n;
            }
        }
        return sum / n;
    };
    const int h = skin.height;
    EXPECT_GT(meanOf(h / 8, 3 * h / 8, 2), meanOf(h / 8, 3 * h / 8, 1)) << "lights are not rose";
    EXPECT_GT(meanOf(h / 8, 3 * h / 8, 0), meanOf(h / 8, 3 * h / 8, 1)) << "lights are not rose";
    EXPECT_GT(meanOf(5 * h / 8, 7 * h / 8, 0), 1.2 * meanOf(5 * h / 8, 7 * h / 8, 2))
        << "floor is not warm";
    // Chrome is the horizon across each drop's middle: the glow above it
    // brighter than the sea below. The sea stays lit: a near-black band there
    // cracked the drops where two met and left the cleared frame a void.
    const auto luminanceOf = [&](int y0, int y1) {
        return 0.299 * meanOf(y0, y1, 0) + 0.587 * meanOf(y0, y1, 1) + 0.114 * meanOf(y0, y1, 2);
    };
    const double glow = luminanceOf(h / 2 - h / 26, h / 2);
    const double underHorizon = luminanceOf(h / 2 + h / 40, h / 2 + h / 12);
    EXPECT_GT(glow, 140.0) << "no bright glow over the horizon";
    EXPECT_GT(glow, underHorizon + 25.0) << "no horizon between sky and sea";
    EXPECT_GT(underHorizon, 60.0) << "a dark band under the horizon";
    EXPECT_GT(luminanceOf(5 * h / 8, 7 * h / 8), 60.0) << "the drops' lower halves are dark";

    // Below the horizon the floor mirrors the panels softly: a tile grid's
    // hearts and joints, bent by the coarse normals, drew stepped ledges on
    // the drops.
    int steep = 0, ground = 0;
    for (int y = h / 2 + h / 12; y < 7 * h / 8; ++y) {
        for (int x = skin.width / 4; x < 3 * skin.width / 4; ++x, ++ground) {
            const double here = skin.luminance(x, y);
            const double step = std::max(std::abs(here - skin.luminance(x, y + 2)),
                                         std::abs(here - skin.luminance(x + 2, y)));
            steep += step > 14 ? 1 : 0;
        }
    }
    EXPECT_LT(steep, ground / 50) << steep << " steep texels in the ground of " << ground;

    // The rim (directions behind the drop) is dimmer than the face but not
    // black: a black rim drew a crack where one drop passed before another.
    double rim = 0, face = 0;
    int rimCount = 0, faceCount = 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < skin.width; ++x) {
            const double rho = std::hypot((x + 0.5) / skin.width * 2 - 1, (y + 0.5) / h * 2 - 1);
            if (rho > 0.9 && rho < 0.97) {
                rim += skin.luminance(x, y);
                ++rimCount;
            } else if (rho < 0.5) {
                face += skin.luminance(x, y);
                ++faceCount;
            }
        }
    }
    rim /= rimCount;
    face /= faceCount;
    EXPECT_GT(rim, 0.25 * face) << "the rim is black";
    EXPECT_LT(rim, 0.75 * face) << "no dark outline to hide the silhouette's steps";

    // Gloss: a soft key light on every drop's upper left face, well over its
    // mirror place on the right (an even rose skin read as pink plastic on
    // the black screen).
    const auto patch = [&skin](int x0, int y0) {
        double sum = 0;
        for (int y = y0; y < y0 + 16; ++y) {
            for (int x = x0; x < x0 + 16; ++x) {
                sum += skin.luminance(x, y);
            }
        }
        return sum / 256;
    };
    const int scale = skin.width / 256;
    const double key = patch(92 * scale, 84 * scale), mirrored = patch(148 * scale, 84 * scale);
    EXPECT_GT(key, 180.0) << "no key light";
    EXPECT_GT(key, mirrored + 60.0) << "the key light is not on one side";

    const Picture sheet = readWithLibpng("raytracer.png");
    ASSERT_GT(sheet.width, 0);
    std::vector<double> sorted;
    double warmRed = 0, warmBlue = 0;
    for (int y = 0; y < sheet.height; ++y) {
        for (int x = 0; x < sheet.width; ++x) {
            sorted.push_back(sheet.luminance(x, y));
        }
    }
    std::sort(sorted.begin(), sorted.end());
    const double bright = sorted[sorted.size() * 9 / 10];
    for (int y = 0; y < sheet.height; ++y) {
        for (int x = 0; x < sheet.width; ++x) {
            if (sheet.luminance(x, y) >= bright) {
                warmRed += sheet.at(x, y, 0);
                warmBlue += sheet.at(x, y, 2);
            }
        }
    }
    EXPECT_LT(sorted[sorted.size() / 4], 40.0) << "flat stretches are not dark";
    EXPECT_GT(warmRed, 1.5 * warmBlue) << "wave slopes do not catch the warm glow";
}

// The swarm's sky has one clear light: where the sphere's light reaches full
// (low in the frame), the afterglow is hot gold, not the dim brown that the
// ambient-lit sky allows everywhere else.
TEST(Textures, DuskSkyGlowsGoldWhereItIsFullyLit) {
    const Picture p = readWithLibpng("blend44.png");
    ASSERT_EQ(p.width, 512);
    int seen = 0, gold = 0;
    for (int y = 128; y < 384; ++y) {
        for (int x = 96; x < 416; ++x, ++seen) {
            const int r = p.at(x, y, 0), g = p.at(x, y, 1), b = p.at(x, y, 2);
            gold += r >= 245 && g >= 150 && b < 0.7 * g ? 1 : 0;
        }
    }
    EXPECT_GT(gold, seen / 400) << gold << " gold texels of " << seen;
}

// The swarm's window keeps 85 % of itself in 8 bits, so each pixel of the sky
// stalls up to three steps away from the picture, and across a wide smooth
// ramp those stalls line up into stepped bands. Nearly every part of the sky
// the camera sees (the map's middle) must carry cloud-sized structure that
// stands well clear of the stalls: more than five steps of relief against
// its surroundings a few texels away.
TEST(Textures, DuskSkyHasNoWideSmoothRamp) {
    const Picture p = readWithLibpng("blend44.png");
    ASSERT_EQ(p.width, 512);
    const auto localRelief = [&p](int x, int y) {
        double around = 0;
        for (int dy = -4; dy <= 4; ++dy) {
            for (int dx = -4; dx <= 4; ++dx) {
                around += p.luminance(x + dx, y + dy);
            }
        }
        return std::abs(p.luminance(x, y) - around / 81);
    };
    int blocks = 0, structured = 0;
    for (int y0 = 160; y0 < 352; y0 += 16) {
        for (int x0 = 136; x0 < 376; x0 += 16, ++blocks) {
            double relief = 0;
            for (int y = y0; y < y0 + 16; ++y) {
                for (int x = x0; x < x0 + 16; ++x) {
                    relief = std::max(relief, localRelief(x, y));
                }
            }
            structured += relief > 5.0 ? 1 : 0;
        }
    }
    EXPECT_GT(structured, blocks * 85 / 100) << structured << " of " << blocks << " blocks";
}

// The light tunnel's floating and turning rings take texture coordinates
// 0.3 x and 0.3 y of their own vertices, so they see only the corner of
// their skin (wrapped): a floating ring of radius 0.56 the disc of radius
// 0.167, a turning ring's tube the annulus round 0.234. The floating ring's
// disc is its cuts seen head-on, turned half round: white sky on the outer
// cuts of its upper half and the inner cuts of its lower half, an amber
// ground on the others, black leading between them. Without that split
// across the ring they read as lumps; with a dark ground as dark smudges;
// without the leading the feedback's gain (2.3 on what stands still) burns
// a copy into one cream nut, and the darkening copies draw no outline.
TEST(Textures, TunnelSkinIsDrawnWhereItsObjectsReachIt) {
    const Picture p = readWithLibpng("envmap2.png");
    ASSERT_EQ(p.width, 256);
    // Luminance at distance r (texture units) from the corner along the
    // diagonal, up and to the right (r > 0) or down and to the left (r < 0),
    // wrapping; t grows upward from the bottom row.
    const auto at = [&p](double r) {
        const int k = static_cast<int>(std::floor(r / std::sqrt(2.0) * p.width));
        const int x = (k + p.width) % p.width;
        return p.luminance(x, p.height - 1 - x);
    };
    const double ring = 0.3 / 1.8;
    for (const double flank : {0.72, -0.4}) {
        EXPECT_GT(at(flank * ring), 200.0) << "sky at " << flank;
    }
    for (const double flank : {0.4, -0.72}) {
        EXPECT_GT(at(flank * ring), 100.0) << "the ground at " << flank << " is dark";
        EXPECT_LT(at(flank * ring), 190.0) << "the ground at " << flank << " burns out";
        EXPECT_LT(at(flank * ring), at(0.72 * ring) - 50.0) << "no split at " << flank;
    }
    // The diagonal crosses the crest at 0.58 of the corner radius and the
    // outline at 0.9.
    for (const double sign : {1.0, -1.0}) {
        double crest = 255;
        for (double f = 0.54; f < 0.63; f += 0.01) {
            crest = std::min(crest, at(sign * f * ring));
        }
        EXPECT_LT(crest, 40.0) << "no leading along the crest, side " << sign;
        EXPECT_LT(at(sign * 0.92 * ring), 30.0) << "no leading round the outline, side " << sign;
    }
    EXPECT_LT(at(0.172), 40.0) << "the floating ring's rim on the turning rings' inner edge";
    EXPECT_LT(at(0.2), 40.0) << "between the rings";
    EXPECT_GT(at(0.234), 150.0) << "ring line";
    EXPECT_LT(at(0.33), 40.0) << "outside the ring";
    // The line's glow is ice blue: a gold line drowned in the bands, which
    // burn gold to salmon, and blue is the channel those bands lack.
    const auto channel = [&p](double r, int c) {
        const int k = static_cast<int>(std::floor(r / std::sqrt(2.0) * p.width));
        const int x = (k + p.width) % p.width;
        return p.at(x, p.height - 1 - x, c);
    };
    for (const double r : {0.214, 0.254, -0.214, -0.254}) {
        EXPECT_GT(channel(r, 2), channel(r, 0) + 25) << "the ring's glow is not blue at " << r;
    }
}

// The tunnel's glow is drawn in a blue colour of its own, and on the accents
// its middle fills the view and seeds the tunnel's bands. A blue-white glow
// hazed those frames lavender and grey; a warm one brightens the bands in
// the gold they burn to anyway: red leads green and green leads blue.
TEST(Textures, TunnelGlowIsWarm) {
    const Picture p = readWithLibpng("spherical.png");
    ASSERT_GT(p.width, 0);
    const auto sum = channelSums(p);
    EXPECT_GT(sum[0], 1.2 * sum[1]);
    EXPECT_GT(sum[1], 1.4 * sum[2]);
}

// On the accents the glow camera sits so close that the middle quarter of the
// picture fills the view, magnified six times and doubled by the feedback:
// any broad bright patch there (a soft core, rays converging into a disc)
// becomes a veil over the whole frame. Only lines and a pinpoint are bright.
TEST(Textures, TunnelGlowMiddleHoldsOnlyFineLight) {
    const Picture p = readWithLibpng("spherical.png");
    ASSERT_GT(p.width, 0);
    int inside = 0, bright = 0, centreMax = 0;
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            const double r = relativeRadius(p, x, y);
            if (r >= 0.25) {
                continue;
            }
            const int v = std::max({p.at(x, y, 0), p.at(x, y, 1), p.at(x, y, 2)});
            ++inside;
            bright += v > 128;
            if (r < 0.02) {
                centreMax = std::max(centreMax, v);
            }
        }
    }
    EXPECT_LT(bright, 0.02 * inside);
    EXPECT_GT(centreMax, 150) << "the pinpoint in the middle";
}

// Render targets are overwritten, but their first frame shows: the opening
// trail starts from white, the other targets from black.
TEST(Textures, RenderTargetsStartPlain) {
    for (const auto& [file, value] :
         {std::pair{"256c.png", 0}, {"512c.png", 0}, {"white.png", 255}}) {
        const Picture p = readWithLibpng(file);
        ASSERT_GT(p.width, 0) << file;
        EXPECT_TRUE(std::all_of(p.rgb.begin(), p.rgb.end(), [v = value](int b) { return b == v; }))
            << file;
    }
}

} // namespace

// The deep sea's backdrop is a wall added over the dome and seen from inside,
// so its outline fills a good part of the view: its light must be gone well
// before the picture's edges, or the wall's corner shows as a straight seam
// between lighter and darker blue.
TEST(Textures, DeepBackdropHasNoOutline) {
    const Picture p = readWithLibpng("sky4.png");
    ASSERT_EQ(p.width, 256);
    double middle = 0, band = 0;
    int middleCount = 0, bandCount = 0;
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            const int edge = std::min(std::min(x, p.width - 1 - x), std::min(y, p.height - 1 - y));
            if (edge < p.width / 4) {
                band += p.luminance(x, y);
                ++bandCount;
            } else {
                middle += p.luminance(x, y);
                ++middleCount;
            }
        }
    }
    middle /= middleCount;
    band /= bandCount;
    EXPECT_GT(middle, 8.0) << "the wall must still carry some light";
    EXPECT_LT(band, 0.2 * middle) << "the outer quarter must be nearly dark";
}
