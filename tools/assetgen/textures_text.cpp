// Text cards: title, caption, logo, credits and greetings. Light lettering on
// black with a soft glow; every card is set for the stretch it is shown with.
// Credits and greetings name roles and made-up groups only.
#include "textures.h"
#include "textures_typeset.h"

#include <array>
#include <string>

namespace assetgen {

namespace {

// Faces of the time: a geometric grotesque for the title and names (wide,
// open letters that survive being smeared into copies), a calligraphic
// italic for the caption, a narrow grotesque where many words share a line.
const Font display{"opentype/urw-base35/URWGothic-Demi.otf", 0.05f};
// The opening's title and caption: one book face, its bold capitals widely
// spaced for the name and its italic for the small words, so the two cards
// read as one piece of typography rather than two stock labels.
const Font titleCaps{"opentype/linux-libertine/LinLibertine_RB.otf", 0.16f};
const Font titleItalic{"opentype/linux-libertine/LinLibertine_RI.otf", 0.04f};
const Font displayBook{"opentype/urw-base35/URWGothic-Book.otf", 0.08f};
const Font italic{"opentype/urw-base35/P052-Italic.otf", 0.03f};
const Font narrow{"opentype/urw-base35/NimbusSansNarrow-Bold.otf", 0.04f};

// Letters plus a blurred copy of them as glow, on black.
Image glowingCard(int size, const Plane& letters, Colour ink, Colour glow, int glowRadius) {
    Image image(size, size);
    addMask(image, blurred(letters, glowRadius), glow);
    addMask(image, letters, ink);
    return image;
}

// The caption and the title are shown small and smeared sideways into twenty
// copies, so the words fill their cards and the strokes are thick enough for
// the copies to read as separate letters while they spread.
Image caption() {
    Plane letters(256, 256);
    setText(letters, titleItalic, "presents", {0.5f, 0.52f, 0.96f, 0.94f, 4.5f});
    return glowingCard(256, letters, {1.0f, 0.96f, 0.9f}, {0.55f, 0.42f, 0.3f}, 3);
}

// Two lines, the name large below the small prefix, so the name can take the
// whole width of the card.
Image title() {
    // Shown about 210 x 105 pixels from an unfiltered minification: a card
    // near that size keeps the strokes from flickering as the copies move.
    Plane letters(256, 256);
    setText(letters, titleItalic, "Orv.", {0.5f, 0.8f, 0.5f, 0.28f, 2.0f});
    setText(letters, titleCaps, "HALVANE", {0.5f, 0.38f, 0.84f, 0.46f, 2.0f});
    return glowingCard(256, letters, {0.94f, 0.97f, 1.0f}, {0.3f, 0.45f, 1.0f}, 5);
}

// A small signature tucked into the lower right of its card, which the screen
// shows towards the lower right corner.
Image logo() {
    Plane letters(256, 256);
    setText(letters, display, "HALVANE", {0.7f, 0.3f, 0.46f, 0.2f, 2.0f});
    setText(letters, italic, "orv.", {0.86f, 0.14f, 0.14f, 0.1f, 2.0f});
    return glowingCard(256, letters, grey(0.9f), grey(0.12f), 2);
}

// Eight names, line 0 at the bottom of the picture.
Image greetingsCard(const std::array<const char*, 8>& names, Colour ink) {
    Plane letters(256, 256);
    const float aspect = 40.0f / 9.0f / 8.0f; // each line is shown 40:9 wide
    for (int i = 0; i < 8; ++i) {
        setText(letters, narrow, names[i], {0.5f, (i + 0.5f) / 8, 0.92f, 0.085f, aspect});
    }
    return glowingCard(256, letters, ink, ink * 0.3f, 2);
}

// A credit: the role above, the name large below, shown 4:1. The card is
// only some 50 pixels tall on screen, so the role is set in the light cut of
// the same face, as wide as the name may be.
Image creditCard(const char* role, const char* name) {
    Plane letters(256, 256);
    setText(letters, displayBook, role, {0.5f, 0.75f, 0.9f, 0.26f, 4.0f});
    setText(letters, display, name, {0.5f, 0.36f, 0.92f, 0.4f, 4.0f});
    return glowingCard(256, letters, {0.95f, 0.97f, 1.0f}, {0.3f, 0.5f, 0.7f}, 3);
}

} // namespace

std::vector<TextureRecipe> textTextures() {
    return {
        {"presents.png", caption},
        {"vane.png", title},
        {"overlay2.png", logo},
        {"greetings.png",
         [] {
             return greetingsCard({"Brass Heron", "Kettle Lamp", "Northwind Loom", "Pale Orchard",
                                   "Velvet Gantry", "Cinder Atlas", "Paper Comet", "Lumen Ferry"},
                                  {1.0f, 0.9f, 0.75f});
         }},
        {"greetings2.png",
         [] {
             return greetingsCard({"Glass Marmot", "Hollow Reed", "Amber Quay", "Drift Owl",
                                   "Copper Tarn", "Moss Engine", "Lark Foundry", "Ink Harbour"},
                                  {0.75f, 0.9f, 1.0f});
         }},
        {"greetings3.png",
         [] {
             return greetingsCard({"Quill Orbit", "Opal Weir", "Tin Lantern", "Ember Vault",
                                   "Sable Kite", "Fern Signal", "Rook Atelier", "Dune Choir"},
                                  {0.85f, 1.0f, 0.8f});
         }},
        {"cred1.png", [] { return creditCard("a realtime production", "Orv. Halvane"); }},
        {"cred2.png", [] { return creditCard("code", "Quiet Lattice"); }},
        {"cred3.png", [] { return creditCard("graphics", "Moth Meridian"); }},
        {"cred4.png", [] { return creditCard("music", "Tidewater Signal"); }},
        {"cred5.png", [] { return creditCard("thank you for watching", "fin"); }},
    };
}

} // namespace assetgen
