// Text cards: title, caption, logo, credits and greetings. Light lettering on
// black with a soft glow; every card is set for the stretch it is shown with.
// Credits and greetings name roles and made-up groups only.
#include "textures.h"
#include "textures_typeset.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>

namespace assetgen {

namespace {

// Faces of the time: a geometric grotesque for the title and names (wide,
// open letters that survive being smeared into copies), a heavy book face's
// capitals for the caption, a narrow grotesque where many words share a line.
const Font display{"opentype/urw-base35/URWGothic-Demi.otf", 0.05f};
// The opening's title: the geometric face's demi weight, its capitals tracked
// open. Set in the book face's bold, the name read as a plain serif label.
const Font titleCaps{"opentype/urw-base35/URWGothic-Demi.otf", 0.08f};
const Font displayWide{"opentype/urw-base35/URWGothic-Demi.otf", 0.25f};
const Font narrow{"opentype/urw-base35/NimbusSansNarrow-Bold.otf", 0.04f};
// The credits' names: a heavy grotesque, narrower than the geometric face,
// so a name takes more of its half's height.
const Font heavy{"opentype/urw-base35/NimbusSans-Bold.otf", 0.03f};

// Letters plus a blurred copy of them as glow, on black. The glow's faint
// tail is faded out over the outermost pixels: the cards are added to the
// screen, so their border must be pure black or the quad's edge shows.
void fadeBorder(Image& image, int size) {
    const float border = 4.0f / static_cast<float>(size);
    image.apply([border](Colour c, float s, float t) {
        const float edge = std::min(std::min(s, 1 - s), std::min(t, 1 - t));
        return c * smoothstep(0.5f * border, border, edge);
    });
}

// The glow dies away smoothly well inside every edge: a glow still lit a few
// texels from the edge drew the quad's outline round the title like a sticker.
void fadeToBlackWithin(Image& image, float margin) {
    image.apply([margin](Colour c, float s, float t) {
        const float edge = std::min(std::min(s, 1 - s), std::min(t, 1 - t));
        return c * smoothstep(0.25f * margin, margin, edge);
    });
}

Image glowingCard(int size, const Plane& letters, Colour ink, Colour glow, int glowRadius) {
    Image image(size, size);
    addMask(image, blurred(letters, glowRadius), glow);
    addMask(image, letters, ink);
    fadeBorder(image, size);
    return image;
}

// The titles' ink and glow: ice blue in a deep blue glow, the band's own
// light. The smeared copies average the card, so near-white ink dissolved
// into grey blobs; with the blue carried in the ink and the streak they
// dissolve into blue light.
constexpr Colour kTitleInk{0.5f, 0.68f, 1.0f};
constexpr Colour kTitleGlow{0.18f, 0.35f, 1.0f};
constexpr Colour kTitleStreak{0.1f, 0.3f, 1.6f};

// Heavier strokes than the face's own bold: the cards are shown small and
// the reviewers found the book weight thin there. Spreading each letter's
// coverage by a texel and saturating it thickens every stroke evenly.
Plane emboldened(const Plane& letters, float gain) {
    Plane heavy = blurred(letters, 1);
    for (int y = 0; y < heavy.height(); ++y) {
        for (int x = 0; x < heavy.width(); ++x) {
            heavy.at(x, y) = std::min(1.0f, heavy.at(x, y) * gain);
        }
    }
    return heavy;
}

// A lit title: a hot near-white core inside each stroke and the ice-blue ink
// round it, in a soft halo that falls off over a few texels and then a wide
// deep blue bloom, so the letters read as light. A saturated rim hugging the
// strokes read as a hard cyan outline. The core is kept to the strokes'
// middles so the card still averages blue.
constexpr Colour kTitleCore{0.5f, 0.32f, 0.0f};
constexpr Colour kTitleHalo{0.08f, 0.26f, 1.0f};
// The light lives in the strokes: a dense bloom filled the gaps between the
// letters into one lit slab, which read as a glowing rectangle on the still
// card and dissolved into a blank bar instead of streaking copies.
Image luminousCard(int size, const Plane& letters, int glowRadius, float margin) {
    // The halo lies round the strokes, not over them: stacked on the ink it
    // washed every stroke out to white and the card no longer averaged blue.
    const Plane bloom = blurred(letters, 2 * glowRadius);
    const Plane glow = blurred(letters, glowRadius);
    const Plane near = blurred(letters, 2);
    Plane halo(size, size), tight(size, size), core(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float outside = 1 - letters.at(x, y);
            halo.at(x, y) = outside * (0.3f * bloom.at(x, y) + 0.55f * glow.at(x, y));
            tight.at(x, y) = outside * 0.8f * near.at(x, y);
            core.at(x, y) = smoothstep(0.72f, 0.92f, near.at(x, y)) * letters.at(x, y);
        }
    }
    Image image(size, size);
    addMask(image, halo, kTitleGlow);
    addMask(image, tight, kTitleHalo);
    addMask(image, letters, kTitleInk);
    addMask(image, core, kTitleCore);
    fadeToBlackWithin(image, margin);
    return image;
}

// A long low streak along the lines, wider than the copies' spacing, so the
// spreading copies join into one soft blue sweep instead of repeating each
// stem (or, from white letters alone, averaging into a grey smudge); it dies
// away before the card's sides. It is kept faint beside the letters: at full
// strength the twenty copies of it summed into a solid bar.
void addLineStreak(Image& image, const Plane& letters, float margin) {
    Plane streak = blurredApart(letters, 22, 3);
    for (int y = 0; y < streak.height(); ++y) {
        for (int x = 0; x < streak.width(); ++x) {
            const float s = (x + 0.5f) / static_cast<float>(streak.width());
            streak.at(x, y) *= 0.45f * smoothstep(0.0f, 0.2f, s) * smoothstep(0.0f, 0.2f, 1 - s);
        }
    }
    addMask(image, streak, kTitleStreak);
    fadeToBlackWithin(image, margin);
}

// Sets `text` so that its letters' ink, not the font's line box, fills the
// box s0..s1 x t0..t1: the capitals' height and the word's width are set
// apart, so the letters come out condensed or wide as the box asks.
struct InkBox {
    float s0, s1, t0, t1;
};
void setTextFilling(Plane& mask, const Font& font, const std::string& text, InkBox box,
                    float displayAspect) {
    const auto inkOf = [&](const TextPlacement& where) {
        Plane trial(mask.width(), mask.height());
        setText(trial, font, text, where);
        float left = 1, right = 0, bottom = 1, top = 0;
        for (int y = 0; y < trial.height(); ++y) {
            for (int x = 0; x < trial.width(); ++x) {
                if (trial.at(x, y) > 0.5f) {
                    const float s = (x + 0.5f) / trial.width(), t = 1 - (y + 0.5f) / trial.height();
                    left = std::min(left, s);
                    right = std::max(right, s);
                    bottom = std::min(bottom, t);
                    top = std::max(top, t);
                }
            }
        }
        return InkBox{left, right, bottom, top};
    };
    // A trial at half the height, unbounded across, then scaled to the box.
    TextPlacement where{0.5f, 0.5f, 10.0f, 0.5f * (box.t1 - box.t0), displayAspect};
    const InkBox ink = inkOf(where);
    const float grow = (box.t1 - box.t0) / (ink.t1 - ink.t0);
    where.displayAspect *= (ink.s1 - ink.s0) * grow / (box.s1 - box.s0);
    where.maxHeight *= grow;
    where.centreS = 0.5f * (box.s0 + box.s1) -
                    (0.5f * (ink.s0 + ink.s1) - 0.5f) * grow * displayAspect / where.displayAspect;
    where.centreT = 0.5f * (box.t0 + box.t1) - (0.5f * (ink.t0 + ink.t1) - 0.5f) * grow;
    setText(mask, font, text, where);
}

// The caption's quad is shown 4.5 times wider than tall (about 150 x 34
// pixels), so a texel is 0.6 pixel across and a seventh of a pixel down:
// every glow is drawn about four times longer down the card than across it
// to look round on screen.
constexpr float kCaptionShown = 4.5f;
constexpr Colour kCaptionInk{0.3f, 0.55f, 1.0f};
constexpr Colour kCaptionCore{0.62f, 0.42f, 0.0f};
constexpr Colour kFlareCore{0.55f, 0.75f, 1.0f};
constexpr Colour kFlareGlow{0.05f, 0.22f, 1.0f};

// A long thin flare on the card's middle line, hottest at the middle and
// dying away towards the sides. The copies flatten towards that line as they
// spread, so the flare stays put and lengthens into the sweep the caption
// condenses out of, where the letters alone left a soft blob.
void addFlare(Image& image) {
    const int w = image.width(), h = image.height();
    for (int y = 0; y < h; ++y) {
        const float dy = ((y + 0.5f) / h - 0.5f) * h; // texel rows off the middle
        const float core = std::exp(-dy * dy / (2 * 4.0f * 4.0f));
        const float glow = std::exp(-dy * dy / (2 * 16.0f * 16.0f));
        for (int x = 0; x < w; ++x) {
            const float ds = std::abs((x + 0.5f) / w - 0.5f) * 2; // 0 middle, 1 sides
            const float along = 1 / (1 + 5 * ds * ds) * smoothstep(0.92f, 0.72f, ds);
            Colour& c = image.at(x, y);
            c += kFlareCore * (0.9f * core * along) + kFlareGlow * (0.35f * glow * along);
        }
    }
}

// "PRESENTS" in heavy book-face capitals that fill the quad: the caption's
// quad is small and set in a corner, and lower case of the geometric face,
// its x-height under half the card, read as tiny default type. The capitals
// stand 0.74 of the card (some 25 pixels) across 0.84 of it, a hot
// near-white core in every stroke, ice-blue ink at the strokes' edges, a
// tight blue halo and the flare, every glow dying to black inside the card.
Image caption() {
    Plane letters(256, 256);
    const Font caps{"opentype/urw-base35/URWBookman-Demi.otf", 0.06f};
    setTextFilling(letters, caps, "PRESENTS", {0.08f, 0.92f, 0.13f, 0.87f}, kCaptionShown);
    // Serifs and bars are the strokes that run across the card, which is shown
    // seven times shorter without mipmaps: a few texels of thickening down the
    // columns keeps them from breaking up; across, the letters stay sharp.
    letters = emboldened(blurredApart(letters, 0, 3), 1.5f);
    const Plane near = blurredApart(letters, 2, 8);
    const Plane halo = blurredApart(letters, 5, 22);
    Plane core(256, 256), glow(256, 256);
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 256; ++x) {
            const float outside = 1 - letters.at(x, y);
            glow.at(x, y) = outside * (0.55f * near.at(x, y) + 0.35f * halo.at(x, y));
            core.at(x, y) = smoothstep(0.8f, 0.97f, near.at(x, y)) * letters.at(x, y);
        }
    }
    Image image(256, 256);
    addMask(image, glow, kTitleGlow);
    addMask(image, letters, kCaptionInk);
    addMask(image, core, kCaptionCore);
    addFlare(image);
    fadeToBlackWithin(image, 0.05f);
    return image;
}

// One line on the card's middle: the copies flatten towards that line as
// they spread, so a second line above or below it traced a lattice of arches.
Image title() {
    // Shown about 210 x 105 pixels from an unfiltered minification: a card
    // near that size keeps the strokes from flickering as the copies move.
    Plane letters(256, 256);
    // The name alone, across most of the card: with the group's name on the
    // same line the capitals came out some 19 pixels high on screen and the
    // title read as a small label; the group now signs the caption.
    // Spaced tighter and set for a stretch 1.6 times the card's, so the
    // capitals stand 1.6 times taller than the face's own proportions, a
    // condensed display cut: the width, not the height, is what the quad runs
    // out of, and at a fifth taller the name still read as a small label.
    // It spans 0.8 of the card, not all of it, so its glow reaches black
    // well inside the sides; a little more stretch and less tracking keep the
    // capitals as tall as when the name ran edge to edge.
    const Font nameCaps{titleCaps.file, 0.04f};
    setText(letters, nameCaps, "HALVANE", {0.5f, 0.42f, 0.8f, 0.7f, 3.75f});
    // The card is shown 2.4 times shorter than it is and its copies flatten
    // further as they spread: strokes sharp to the texel down the columns
    // broke into stepped chevrons and stripes there. A texel of softness is
    // below a pixel on the still title.
    letters = emboldened(blurredApart(letters, 0, 1), 1.2f);
    Image image = luminousCard(256, letters, 5, 0.08f);
    addLineStreak(image, letters, 0.08f);
    return image;
}

// A signature in the lower right of its card, which the screen shows about
// 170 x 85 pixels towards the lower right corner: the name, and the group
// below it in capitals of the same face, wide and heavy enough (caps about
// 11 pixels) to read through the minification. A small italic second line
// came out four pixels high and unreadable.
Image logo() {
    Plane letters(256, 256);
    setText(letters, display, "HALVANE", {0.62f, 0.46f, 0.62f, 0.24f, 2.0f});
    setText(letters, displayWide, "ORV.", {0.8f, 0.2f, 0.26f, 0.17f, 2.0f});
    return glowingCard(256, letters, grey(0.95f), grey(0.12f), 2);
}

// Eight names, line 0 at the bottom of the picture. The lines are drawn
// taller than their spacing on screen, so each name keeps to the middle of
// its strip. The three pictures cross-fade in place at every mix, so all
// three carry the same names on the same spot (the third is shown
// `shownScale` times larger and set that much smaller): a cross-fade turns a
// name's colour instead of printing one name over another. Each name is
// centred on its line's point of the ellipse, so the eight trace the curve
// they circle on; two names a line, side by side, read as a table of two
// columns. One word each, all set at one height that nearly fills the middle
// of the strip: capitals of some 13 pixels on every line.
constexpr float kGreetingType = 0.06f;
constexpr float kGreetingWidth = 0.56f; // of the strip, round its middle
Image greetingsCard(const std::array<const char*, 8>& names, Colour ink, float shownScale = 1.0f) {
    Plane letters(512, 512);
    const float aspect = 40.0f / 9.0f / 8.0f; // each line is shown 40:9 wide
    for (int i = 0; i < 8; ++i) {
        setText(letters, narrow, names[i],
                {0.5f, (i + 0.5f) / 8, kGreetingWidth / shownScale, kGreetingType / shownScale,
                 aspect});
    }
    return glowingCard(512, letters, ink, ink * 0.35f, 4);
}

// Box height of each line of a two-line credit name (capital and descender).
constexpr float kNameLine = 0.34f;

// Where a credit's role and name lines sit up the card (t); a one-line card
// leaves `second` unused. A card is some 60 pixels tall on screen: a role
// set at 0.15 gave a short word like "code" capitals of about 6 pixels,
// which the echoes' sway smeared past reading, so it takes a fifth and the
// names step down to make room.
struct CreditRows {
    float role = 0.875f, roleHeight = 0.2f;
    float name = 0.535f, second = 0.195f, nameHeight = kNameLine;
};
constexpr CreditRows kOneLineRows{0.8f, 0.2f, 0.4f, 0.0f, 0.42f};
// The third stem swings its card down to the bottom of the frame while it
// hangs upright (about 252 to 258 s), and the lower name line ran off the
// picture by half its height: that card sets its words some 13 pixels
// higher on screen, the name a little smaller and the role tighter above it.
constexpr CreditRows kHighRows{0.925f, 0.11f, 0.69f, 0.42f, 0.3f};

// A credit: the role above, the name large below, shown 4:1. Ten copies of
// each card sway a little apart on screen and each adds a tenth of the
// effect's dim grey at most, so the letters are heavy and the glow is a
// tight bright halo: a wide soft one joined the copies but left the words
// low in contrast. A name set on one line was held to its half's width and
// its capitals to a fifth of the card, small enough for the echoes' smear
// to swallow; on two lines (`second`) they stand about a third taller. The
// cards are far wider than the stems' spacing and their tips bunch together,
// so each card keeps its words to one half (`centreS`): neighbours set in
// opposite halves sit side by side instead of printing over each other. The
// last two tips run together, the fifth about half a card ahead of the
// fourth along the cards, so those two share the left half: set there, their
// words fall side by side, and the fifth's stay clear of the greetings
// circling to its right.
Image creditCard(const char* role, const char* name, const char* second, float centreS,
                 const CreditRows& rows = {}) {
    Plane letters(512, 512);
    setText(letters, display, role, {centreS, rows.role, 0.44f, rows.roleHeight, 4.0f});
    setText(letters, heavy, name, {centreS, rows.name, 0.46f, rows.nameHeight, 4.0f});
    if (second != nullptr) {
        setText(letters, heavy, second, {centreS, rows.second, 0.46f, rows.nameHeight, 4.0f});
    }
    // A card is shown about 240 x 60 pixels from 512 x 512 texels, sampled
    // without mipmaps, so each pixel row takes two of eight or nine texel
    // rows: sharp, the strokes broke into combs and dots, worst where the
    // echoes fan apart. Softened to the shown scale, each copy is a clean
    // line of type and a fan of them a smooth sweep.
    // Each stroke is then spread by about a pixel on screen each way and
    // saturated: the copies sway apart, and only where their strokes still
    // overlap do they add up to white, so thicker strokes keep the words
    // whole against the fronds crossing them.
    letters = emboldened(blurredApart(letters, 2, 4), 1.9f);
    // The cards are added to the screen, so no halo can darken the fronds
    // behind them; a light one only filled the counters, and ten swaying
    // copies of it summed to a grey-blue blur. A faint rim stays round the
    // strokes, a little wider than a copy's sway, to hold them together.
    Image image = glowingCard(512, letters, {1.0f, 1.0f, 1.0f}, {0.16f, 0.22f, 0.32f}, 3);
    return image;
}

// Where a credit card's words sit along its width.
constexpr float kLeftHalf = 0.26f;
constexpr float kRightHalf = 0.74f;

// The greeted groups, bottom line first: one word of at most seven letters
// each, so every name fits its line at the one type height.
constexpr std::array<const char*, 8> kGreeted{"Heron",  "Kettle", "Quill", "Ferry",
                                              "Gantry", "Cinder", "Comet", "Lumen"};

} // namespace

std::vector<TextureRecipe> textTextures() {
    return {
        {"presents.png", caption},
        {"vane.png", title},
        {"overlay2.png", logo},
        // Warm white, ice blue and pale green: the cross-fades tint the names.
        {"greetings.png",
         [] {
             return greetingsCard(kGreeted, {1.0f, 0.9f, 0.75f});
         }},
        {"greetings2.png",
         [] {
             return greetingsCard(kGreeted, {0.75f, 0.9f, 1.0f});
         }},
        {"greetings3.png",
         [] {
             return greetingsCard(kGreeted, {0.85f, 1.0f, 0.8f}, 1.3f);
         }},
        {"cred1.png",
         [] { return creditCard("a realtime production", "Orv.", "Halvane", kLeftHalf); }},
        {"cred2.png", [] { return creditCard("code", "Quiet", "Lattice", kRightHalf); }},
        {"cred3.png",
         [] { return creditCard("graphics", "Moth", "Meridian", kLeftHalf, kHighRows); }},
        {"cred4.png", [] { return creditCard("music", "Tidewater", "Signal", kLeftHalf); }},
        // The last card rides beside the greetings for as long as they
        // circle, so it heads them instead of closing the show before them,
        // its name lighter than the credits' so it does not outweigh them.
        {"cred5.png",
         [] {
             return creditCard("with greetings to", "our friends", nullptr, kLeftHalf,
                               kOneLineRows);
         }},
    };
}

} // namespace assetgen
