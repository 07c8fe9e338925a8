// The PNG decoder's oracle: libpng's samples put through the decoder's
// conversion rules (BGR order, bottom row first, rows padded to 4 bytes,
// alpha composited onto bKGD, 2- and 16-bit and interlaced grey or palette
// pictures widened to 8 bits). Shared by the unit tests and the fuzzer.
#pragma once

#include <png.h>

#include <csetjmp>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "imaging/bitmap_image.h"

namespace png_oracle {

using Bytes = std::vector<uint8_t>;

struct Expected {
    unsigned bits = 0, colors = 0;
    uint32_t width = 0, height = 0;
    int bytesPerRow = 0;
    Bytes pixels, colorMap;
};

namespace detail {

struct Reader {
    const uint8_t* data;
    size_t size, offset;
};

inline void Read(png_structp png, png_bytep out, png_size_t count) {
    auto* reader = static_cast<Reader*>(png_get_io_ptr(png));
    if (count > reader->size - reader->offset)
        png_error(png, "read past the end");
    std::memcpy(out, reader->data + reader->offset, count);
    reader->offset += count;
}

inline void Quiet(png_structp, png_const_charp) {}

[[noreturn]] inline void Fail(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}

} // namespace detail

// The picture libpng reads from `file`, or nothing where libpng refuses it.
// Everything with a destructor lives outside the setjmp frame, so a libpng
// error (a longjmp) leaks nothing.
inline std::optional<Expected> DecodeWithLibpng(const Bytes& file) {
    png_structp png =
        png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, detail::Fail, detail::Quiet);
    png_infop info = png_create_info_struct(png);
    detail::Reader reader{file.data(), file.size(), 0};
    Expected e;
    std::vector<Bytes> rows;
    std::vector<png_bytep> pointers;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return std::nullopt;
    }
    png_set_read_fn(png, &reader, detail::Read);
    png_read_info(png, info);
    const uint32_t w = png_get_image_width(png, info), h = png_get_image_height(png, info);
    const int depth = png_get_bit_depth(png, info), type = png_get_color_type(png, info);
    const bool interlaced = png_get_interlace_type(png, info) != PNG_INTERLACE_NONE;
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    const size_t rowBytes = png_get_rowbytes(png, info);
    rows.assign(h, Bytes(rowBytes));
    pointers.resize(h);
    for (uint32_t y = 0; y < h; ++y)
        pointers[y] = rows[y].data();
    png_read_image(png, pointers.data());
    png_read_end(png, nullptr);

    unsigned bgR = 0, bgG = 0, bgB = 0, bgGray = 0;
    png_color_16p background;
    if (png_get_bKGD(png, info, &background)) {
        auto level = [&](unsigned v) { return depth == 16 ? v >> 8 : v; };
        bgR = level(background->red);
        bgG = level(background->green);
        bgB = level(background->blue);
        bgGray = level(background->gray);
        if (type == 3) {
            png_colorp palette;
            int count = 0;
            png_get_PLTE(png, info, &palette, &count);
            bgR = palette[background->index].red;
            bgG = palette[background->index].green;
            bgB = palette[background->index].blue;
        }
    }

    e.width = w;
    e.height = h;
    const unsigned step = depth / 8;
    if (type == 2 || type == 6) {
        e.bits = 24;
    } else if (interlaced || depth == 2 || depth == 16) {
        e.bits = 8;
        e.colors = depth == 16 ? 256 : 1u << depth;
    } else {
        e.bits = depth;
        e.colors = 1u << depth;
    }
    e.bytesPerRow = int(((e.bits * w + 7) / 8 + 3) & ~3u);
    e.pixels.assign(size_t(e.bytesPerRow) * h, 0);
    e.colorMap.assign(e.colors * 3, 0);
    auto composite = [](unsigned c, unsigned a, unsigned bg) {
        return uint8_t((c * a + (255 - a) * bg) / 255);
    };
    for (uint32_t y = 0; y < h; ++y) {
        const uint8_t* in = rows[y].data();
        uint8_t* out = e.pixels.data() + size_t(h - 1 - y) * e.bytesPerRow;
        for (uint32_t x = 0; x < w; ++x) {
            switch (type) {
            case 0:
            case 3:
                if (e.bits == unsigned(depth))
                    std::memcpy(out, in, (depth * w + 7) / 8);
                else if (depth == 16)
                    out[x] = in[2 * x];
                else
                    out[x] = uint8_t((in[x * depth / 8] >> (8 - depth - (x * depth) % 8)) &
                                     ((1 << depth) - 1));
                break;
            case 2:
                for (int c = 0; c < 3; ++c)
                    out[3 * x + c] = in[(3 * x + 2 - c) * step];
                break;
            case 4:
                out[x] = composite(in[2 * x * step], in[(2 * x + 1) * step], bgGray);
                break;
            case 6: {
                const uint8_t* p = in + 4 * x * step;
                unsigned a = p[3 * step];
                out[3 * x] = composite(p[2 * step], a, bgB);
                out[3 * x + 1] = composite(p[step], a, bgG);
                out[3 * x + 2] = composite(p[0], a, bgR);
                break;
            }
            }
        }
    }
    if (type == 0 || type == 4)
        for (unsigned i = 0; i < e.colors; ++i)
            std::memset(&e.colorMap[3 * i], depth >= 8 ? i : i * 255 / ((1 << depth) - 1), 3);
    if (type == 3) {
        png_colorp palette;
        int count = 0;
        png_get_PLTE(png, info, &palette, &count);
        for (int i = 0; i < count && unsigned(i) < e.colors; ++i) {
            e.colorMap[3 * i] = palette[i].blue;
            e.colorMap[3 * i + 1] = palette[i].green;
            e.colorMap[3 * i + 2] = palette[i].red;
        }
    }
    png_destroy_read_struct(&png, &info, nullptr);
    return e;
}

inline Bytes ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

// The first way `image` differs from `e`, or "" where they agree.
inline std::string Difference(const Pictor::BitmapImage& image, const Expected& e) {
    if (image.BitCount() != e.bits)
        return "bit count " + std::to_string(image.BitCount()) + " not " + std::to_string(e.bits);
    if (image.Width() != e.width || image.Height() != e.height)
        return "size " + std::to_string(image.Width()) + " x " + std::to_string(image.Height()) +
               " not " + std::to_string(e.width) + " x " + std::to_string(e.height);
    if (image.BytesPerRow() != e.bytesPerRow)
        return "row length " + std::to_string(image.BytesPerRow()) + " not " +
               std::to_string(e.bytesPerRow);
    if (image.ColorCount() != e.colors)
        return "colour count " + std::to_string(image.ColorCount()) + " not " +
               std::to_string(e.colors);
    if (!e.pixels.empty() && std::memcmp(image.ImageData(), e.pixels.data(), e.pixels.size()) != 0)
        return "pixels differ";
    for (unsigned i = 0; i < e.colors; ++i)
        if (std::memcmp(image.ColorMap(i), &e.colorMap[3 * i], 3) != 0)
            return "colour map entry " + std::to_string(i) + " differs";
    return "";
}

} // namespace png_oracle
