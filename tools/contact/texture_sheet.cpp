// hlv-texture-sheet HLVD OUT.png: every PNG of the asset pack on one labelled
// sheet, decoded with the production's own decoder, so each texture can be
// judged at a glance. Textures sit on grey so black borders stay visible.
#include "imaging/bitmap_image.h"
#include "imaging/png_decoder.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include <png.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr int thumb = 160;
constexpr int labelHeight = 30;
constexpr int gap = 10;
constexpr int columns = 8;
const char* const labelFont = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

struct Sheet {
    int width, height;
    std::vector<std::uint8_t> rgb;
    void put(int x, int y, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
        if (x < 0 || y < 0 || x >= width || y >= height) {
            return;
        }
        std::uint8_t* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
        p[0] = r;
        p[1] = g;
        p[2] = b;
    }
};

// Colour of decoded pixel (x, y), y counted from the top of the picture.
void pixelAt(const Pictor::BitmapImage& image, uint32_t x, uint32_t y, double rgb[3]) {
    const std::uint8_t* row = image.Row(image.Height() - 1 - y);
    if (image.BitCount() == 24) {
        rgb[0] = row[3 * x + 2];
        rgb[1] = row[3 * x + 1];
        rgb[2] = row[3 * x];
        return;
    }
    const unsigned bits = image.BitCount();
    const unsigned bitOffset = x * bits;
    const unsigned index = (row[bitOffset / 8] >> (8 - bits - bitOffset % 8)) & ((1u << bits) - 1);
    const std::uint8_t* entry = image.ColorMap(index);
    rgb[0] = entry[2];
    rgb[1] = entry[1];
    rgb[2] = entry[0];
}

// Box-filtered thumbnail of the image, fitted into the cell at (left, top).
void drawThumbnail(Sheet& sheet, const Pictor::BitmapImage& image, int left, int top) {
    const double scale = std::max(image.Width(), image.Height()) / static_cast<double>(thumb);
    const int w = static_cast<int>(image.Width() / scale),
              h = static_cast<int>(image.Height() / scale);
    const int x0 = left + (thumb - w) / 2, y0 = top + (thumb - h) / 2;
    for (int y = -1; y <= h; ++y) {
        for (int x = -1; x <= w; ++x) {
            if (x < 0 || y < 0 || x == w || y == h) {
                sheet.put(x0 + x, y0 + y, 90, 90, 90);
                continue;
            }
            double sum[3] = {0, 0, 0};
            int count = 0;
            const auto sx0 = static_cast<uint32_t>(x * scale),
                       sy0 = static_cast<uint32_t>(y * scale);
            const auto sx1 = std::max(sx0 + 1, static_cast<uint32_t>((x + 1) * scale));
            const auto sy1 = std::max(sy0 + 1, static_cast<uint32_t>((y + 1) * scale));
            for (uint32_t sy = sy0; sy < sy1 && sy < image.Height(); ++sy) {
                for (uint32_t sx = sx0; sx < sx1 && sx < image.Width(); ++sx) {
                    double p[3];
                    pixelAt(image, sx, sy, p);
                    sum[0] += p[0];
                    sum[1] += p[1];
                    sum[2] += p[2];
                    ++count;
                }
            }
            count = std::max(count, 1);
            sheet.put(x0 + x, y0 + y, static_cast<std::uint8_t>(sum[0] / count),
                      static_cast<std::uint8_t>(sum[1] / count),
                      static_cast<std::uint8_t>(sum[2] / count));
        }
    }
}

class Labeller {
public:
    Labeller() {
        if (FT_Init_FreeType(&library_) != 0 || FT_New_Face(library_, labelFont, 0, &face_) != 0) {
            throw std::runtime_error(std::string("cannot load the label font ") + labelFont);
        }
        FT_Set_Pixel_Sizes(face_, 0, 12);
    }
    ~Labeller() {
        FT_Done_Face(face_);
        FT_Done_FreeType(library_);
    }
    Labeller(const Labeller&) = delete;
    Labeller& operator=(const Labeller&) = delete;

    void write(Sheet& sheet, const std::string& text, int x, int baseline, std::uint8_t grey) {
        for (unsigned char c : text) {
            if (FT_Load_Char(face_, c, FT_LOAD_RENDER) != 0) {
                continue;
            }
            const FT_GlyphSlot g = face_->glyph;
            for (unsigned row = 0; row < g->bitmap.rows; ++row) {
                for (unsigned col = 0; col < g->bitmap.width; ++col) {
                    const int v = g->bitmap.buffer[row * g->bitmap.pitch + col];
                    if (v > 0) {
                        const int px = x + g->bitmap_left + static_cast<int>(col);
                        const int py = baseline - g->bitmap_top + static_cast<int>(row);
                        if (px >= 0 && py >= 0 && px < sheet.width && py < sheet.height) {
                            std::uint8_t* p =
                                &sheet.rgb[(static_cast<size_t>(py) * sheet.width + px) * 3];
                            for (int k = 0; k < 3; ++k) {
                                p[k] =
                                    static_cast<std::uint8_t>((p[k] * (255 - v) + grey * v) / 255);
                            }
                        }
                    }
                }
            }
            x += static_cast<int>(g->advance.x >> 6);
        }
    }

private:
    FT_Library library_ = nullptr;
    FT_Face face_ = nullptr;
};

bool writePng(const Sheet& sheet, const std::string& path) {
    png_image out{};
    out.version = PNG_IMAGE_VERSION;
    out.width = static_cast<png_uint_32>(sheet.width);
    out.height = static_cast<png_uint_32>(sheet.height);
    out.format = PNG_FORMAT_RGB;
    return png_image_write_to_file(&out, path.c_str(), 0, sheet.rgb.data(), 0, nullptr) != 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: hlv-texture-sheet HLVD OUT.png\n");
        return 2;
    }
    try {
        std::vector<std::filesystem::path> files;
        for (const auto& entry : std::filesystem::directory_iterator(argv[1])) {
            if (entry.path().extension() == ".png") {
                files.push_back(entry.path());
            }
        }
        std::sort(files.begin(), files.end());
        if (files.empty()) {
            std::fprintf(stderr, "hlv-texture-sheet: no PNG files in %s\n", argv[1]);
            return 1;
        }
        const int rows = (static_cast<int>(files.size()) + columns - 1) / columns;
        Sheet sheet{columns * (thumb + gap) + gap, rows * (thumb + labelHeight + gap) + gap, {}};
        sheet.rgb.assign(static_cast<size_t>(sheet.width) * sheet.height * 3, 64);
        Labeller labels;
        int failures = 0;
        for (size_t i = 0; i < files.size(); ++i) {
            const int left = gap + static_cast<int>(i % columns) * (thumb + gap);
            const int top = gap + static_cast<int>(i / columns) * (thumb + labelHeight + gap);
            std::string detail;
            try {
                Pictor::BitmapImage image;
                Pictor::PngDecoder decoder;
                decoder.ReadImage(files[i].string().c_str(), image);
                drawThumbnail(sheet, image, left, top);
                detail = std::to_string(image.Width()) + " x " + std::to_string(image.Height()) +
                         ", " + std::to_string(image.BitCount()) + " bit";
            } catch (const std::exception& e) {
                detail = std::string("FAILED: ") + e.what();
                ++failures;
            }
            labels.write(sheet, files[i].filename().string(), left, top + thumb + 13, 235);
            labels.write(sheet, detail, left, top + thumb + 27, 170);
        }
        if (!writePng(sheet, argv[2])) {
            std::fprintf(stderr, "hlv-texture-sheet: cannot write %s\n", argv[2]);
            return 1;
        }
        std::printf("hlv-texture-sheet: %zu textures, %d failed to decode -> %s\n", files.size(),
                    failures, argv[2]);
        return failures == 0 ? 0 : 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "hlv-texture-sheet: %s\n", e.what());
        return 1;
    }
}
