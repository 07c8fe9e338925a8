#include "overlay.h"

#include <GL/gl.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <map>

#include "anim/timing.h"
#include "glext/glext.h"
#include "segments/layer_state.h"

namespace view {
namespace {

const std::map<char, GlyphRows>& font() {
    static const std::map<char, GlyphRows> glyphs = {
        {'%', {0x18, 0x19, 0x02, 0x04, 0x08, 0x13, 0x03}},
        {'(', {0x02, 0x04, 0x08, 0x08, 0x08, 0x04, 0x02}},
        {')', {0x08, 0x04, 0x02, 0x02, 0x02, 0x04, 0x08}},
        {'+', {0x00, 0x04, 0x04, 0x1F, 0x04, 0x04, 0x00}},
        {',', {0x00, 0x00, 0x00, 0x00, 0x0C, 0x04, 0x08}},
        {'-', {0x00, 0x00, 0x00, 0x1F, 0x00, 0x00, 0x00}},
        {'.', {0x00, 0x00, 0x00, 0x00, 0x00, 0x0C, 0x0C}},
        {'/', {0x00, 0x01, 0x02, 0x04, 0x08, 0x10, 0x00}},
        {'0', {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}},
        {'1', {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E}},
        {'2', {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}},
        {'3', {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E}},
        {'4', {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}},
        {'5', {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E}},
        {'6', {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}},
        {'7', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08}},
        {'8', {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}},
        {'9', {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C}},
        {':', {0x00, 0x0C, 0x0C, 0x00, 0x0C, 0x0C, 0x00}},
        {'=', {0x00, 0x00, 0x1F, 0x00, 0x1F, 0x00, 0x00}},
        {'A', {0x0E, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}},
        {'B', {0x1E, 0x11, 0x11, 0x1E, 0x11, 0x11, 0x1E}},
        {'C', {0x0E, 0x11, 0x10, 0x10, 0x10, 0x11, 0x0E}},
        {'D', {0x1E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x1E}},
        {'E', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x1F}},
        {'F', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x10}},
        {'G', {0x0E, 0x11, 0x10, 0x17, 0x11, 0x11, 0x0F}},
        {'H', {0x11, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}},
        {'I', {0x0E, 0x04, 0x04, 0x04, 0x04, 0x04, 0x0E}},
        {'J', {0x07, 0x02, 0x02, 0x02, 0x02, 0x12, 0x0C}},
        {'K', {0x11, 0x12, 0x14, 0x18, 0x14, 0x12, 0x11}},
        {'L', {0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x1F}},
        {'M', {0x11, 0x1B, 0x15, 0x15, 0x11, 0x11, 0x11}},
        {'N', {0x11, 0x11, 0x19, 0x15, 0x13, 0x11, 0x11}},
        {'O', {0x0E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}},
        {'P', {0x1E, 0x11, 0x11, 0x1E, 0x10, 0x10, 0x10}},
        {'Q', {0x0E, 0x11, 0x11, 0x11, 0x15, 0x12, 0x0D}},
        {'R', {0x1E, 0x11, 0x11, 0x1E, 0x14, 0x12, 0x11}},
        {'S', {0x0F, 0x10, 0x10, 0x0E, 0x01, 0x01, 0x1E}},
        {'T', {0x1F, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04}},
        {'U', {0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}},
        {'V', {0x11, 0x11, 0x11, 0x11, 0x11, 0x0A, 0x04}},
        {'W', {0x11, 0x11, 0x11, 0x15, 0x15, 0x15, 0x0A}},
        {'X', {0x11, 0x11, 0x0A, 0x04, 0x0A, 0x11, 0x11}},
        {'Y', {0x11, 0x11, 0x0A, 0x04, 0x04, 0x04, 0x04}},
        {'Z', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x10, 0x1F}},
    };
    return glyphs;
}

std::string printed(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

// Matrices are kept by value: the production may have filled the stacks.
struct SavedMatrices {
    GLdouble projection[16];
    GLdouble modelview[16];
    GLdouble texture[16];

    SavedMatrices() {
        glGetDoublev(GL_PROJECTION_MATRIX, projection);
        glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
        glGetDoublev(GL_TEXTURE_MATRIX, texture);
    }
    void restore() const {
        glMatrixMode(GL_TEXTURE);
        glLoadMatrixd(texture);
        glMatrixMode(GL_PROJECTION);
        glLoadMatrixd(projection);
        glMatrixMode(GL_MODELVIEW);
        glLoadMatrixd(modelview);
    }
};

// Texture units the production uses (the second one for its multitexture).
constexpr int kTextureUnits = 2;

void plainDrawingState() {
    for (int unit = kTextureUnits - 1; unit >= 0; --unit) {
        glext::glActiveTextureARB(GL_TEXTURE0 + unit);
        glDisable(GL_TEXTURE_1D);
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_TEXTURE_GEN_S);
        glDisable(GL_TEXTURE_GEN_T);
        glDisable(GL_TEXTURE_GEN_R);
        glDisable(GL_TEXTURE_GEN_Q);
    }
    for (GLenum cap :
         {GL_LIGHTING, GL_DEPTH_TEST, GL_CULL_FACE, GL_FOG, GL_ALPHA_TEST, GL_STENCIL_TEST,
          GL_SCISSOR_TEST, GL_COLOR_MATERIAL, GL_POLYGON_STIPPLE, GL_COLOR_LOGIC_OP, GL_DITHER}) {
        glDisable(cap);
    }
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glShadeModel(GL_FLAT);
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0.0, 800.0, 600.0, 0.0, -1.0, 1.0); // picture pixels, top-left origin
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void fillRect(int x, int y, int width, int height) {
    glVertex2i(x, y);
    glVertex2i(x + width, y);
    glVertex2i(x + width, y + height);
    glVertex2i(x, y + height);
}

} // namespace

const GlyphRows& glyphRows(char c) {
    static const GlyphRows blank{};
    const auto found = font().find(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
    return found != font().end() ? found->second : blank;
}

std::vector<Dot> layOutText(const std::vector<std::string>& lines) {
    std::vector<Dot> dots;
    for (std::size_t line = 0; line < lines.size(); ++line) {
        const int top = kTextTop + static_cast<int>(line) * kLineHeight;
        for (std::size_t i = 0; i < lines[line].size(); ++i) {
            const GlyphRows& rows = glyphRows(lines[line][i]);
            const int left = kTextLeft + static_cast<int>(i) * kAdvance;
            for (int r = 0; r < kGlyphRows; ++r) {
                for (int c = 0; c < kGlyphColumns; ++c) {
                    if ((rows[static_cast<std::size_t>(r)] >> (kGlyphColumns - 1 - c)) & 1) {
                        dots.push_back({left + c * kDotSize, top + r * kDotSize});
                    }
                }
            }
        }
    }
    return dots;
}

Box textBox(const std::vector<std::string>& lines) {
    std::size_t widest = 0;
    for (const std::string& line : lines) {
        widest = std::max(widest, line.size());
    }
    const int width = static_cast<int>(widest) * kAdvance - kDotSize;
    const int height = static_cast<int>(lines.size()) * kLineHeight - 3 * kDotSize;
    return {kTextLeft - kBoxPadding, kTextTop - kBoxPadding, width + 2 * kBoxPadding,
            height + 2 * kBoxPadding};
}

std::vector<std::string> drawingLayers(double globalTime) {
    static const char kNames[timing::kLayerCount] = {'A', 'B', 'C', 'D'};
    std::vector<std::string> drawing;
    for (int i = 0; i < timing::kLayerCount; ++i) {
        const timing::LayerClock& clock = timing::kLayerClocks[i];
        const double tau = (globalTime - clock.origin) * clock.scale;
        if (globalTime > clock.start &&
            segments::layerDrawsAt(static_cast<segments::Layer>(i), tau)) {
            drawing.push_back(std::string(1, kNames[i]) + printed(" %.2f", tau));
        }
    }
    return drawing;
}

std::vector<std::string> overlayLines(const FrameFacts& facts) {
    std::string layers;
    for (const std::string& layer : drawingLayers(facts.globalTime)) {
        layers += (layers.empty() ? "" : "  ") + layer;
    }
    return {
        "time    " + printed("%.3f s", facts.seconds) + printed("  global %.2f", facts.globalTime),
        "segment " + std::to_string(facts.segment) + printed("  time %.2f", facts.segmentTime),
        "layers  " + (layers.empty() ? std::string("none") : layers),
        "cue     " + std::to_string(facts.cue),
        "fps     " + printed("%.1f", facts.framesPerSecond) +
            printed("  frame %.1f ms", facts.frameMs),
        facts.state,
    };
}

void drawOverlay(const std::vector<std::string>& lines) {
    GLint activeUnit = GL_TEXTURE0;
    glGetIntegerv(GL_ACTIVE_TEXTURE, &activeUnit);
    glext::glActiveTextureARB(GL_TEXTURE0); // the unit whose texture matrix is kept
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    const SavedMatrices matrices;
    plainDrawingState();

    const Box box = textBox(lines);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(0.0f, 0.0f, 0.0f, 0.6f);
    glBegin(GL_QUADS);
    fillRect(box.x, box.y, box.width, box.height);
    glEnd();
    glDisable(GL_BLEND);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glBegin(GL_QUADS);
    for (const Dot& dot : layOutText(lines)) {
        fillRect(dot.x, dot.y, kDotSize, kDotSize);
    }
    glEnd();

    matrices.restore();
    glPopAttrib();
    glext::glActiveTextureARB(static_cast<GLenum>(activeUnit));
}

} // namespace view
