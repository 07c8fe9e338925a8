// Inflate and PNG decode throughput of the Pictor codecs beside zlib,
// libdeflate, libpng and libspng, on the same in-memory inputs:
//
//   asset pack    the IDAT streams and files of <build>/hlvd (or the folder
//                 named by HLV_BENCH_PNG_DIR)
//   real-world    the photographs, palette, interlaced, 16-bit and gray files
//                 of tests/data/realworld
//   text          the project's own sources and notes, compressed by zlib at
//                 levels 6 and 9
//
// Before anything is timed every library's output is compared with zlib's
// (inflate) or with ours (PNG, expanded to 8-bit blue-green-red rows). Each
// figure is the best of five samples (HLV_BENCH_SAMPLES) of the thread's CPU
// time, taken in turns so that a noisy moment hurts every library alike.
// MB/s counts decoded bytes: the inflated stream, for PNG the inflated image
// data (filter bytes and rows), the same for all libraries. "ours rows" asks
// for a filter byte and a row at a time, as the PNG decoder does.
#include <libdeflate.h>
#include <png.h>
#include <spng.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "imaging/inflate_decoder.h"
#include "imaging/png_decoder.h"

namespace {

using Bytes = std::vector<uint8_t>;
namespace fs = std::filesystem;

// HLV_BENCH_SAMPLES overrides the count (more samples, steadier best figures).
const int kSamples =
    std::getenv("HLV_BENCH_SAMPLES") ? std::max(1, std::atoi(std::getenv("HLV_BENCH_SAMPLES"))) : 5;
constexpr double kSampleSeconds = 0.15;

Bytes ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

uint32_t BigEndian32(const uint8_t* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

[[noreturn]] void Die(const std::string& what) {
    std::fprintf(stderr, "bench_codecs: %s\n", what.c_str());
    std::exit(1);
}

// --- inputs -------------------------------------------------------------------------

// One zlib stream with its plain bytes and the request size the PNG decoder
// would use for it (a filter byte, then a row).
struct Stream {
    std::string name;
    Bytes packed, plain;
    uint32_t rowSize = 1536;
};

struct PngFile {
    std::string name;
    Bytes bytes;
    size_t imageData = 0; // bytes of the inflated IDAT stream
};

struct InputSet {
    std::string name;
    std::vector<Stream> streams;
    std::vector<PngFile> pngs;
    size_t plainBytes = 0;
};

Bytes InflateWithZlib(const Bytes& packed) {
    Bytes plain(packed.size() * 4 + 1024);
    z_stream z{};
    inflateInit(&z);
    z.next_in = const_cast<uint8_t*>(packed.data());
    z.avail_in = uInt(packed.size());
    int rc = Z_OK;
    while (rc == Z_OK) {
        if (z.total_out == plain.size())
            plain.resize(plain.size() * 2);
        z.next_out = plain.data() + z.total_out;
        z.avail_out = uInt(plain.size() - z.total_out);
        rc = inflate(&z, Z_NO_FLUSH);
        if (rc == Z_BUF_ERROR && z.avail_out == 0)
            rc = Z_OK;
    }
    if (rc != Z_STREAM_END)
        Die("zlib cannot inflate a stream");
    plain.resize(z.total_out);
    inflateEnd(&z);
    return plain;
}

// The concatenated IDAT data of a PNG file, and its row size.
Stream ImageDataOf(const std::string& name, const Bytes& file) {
    Stream stream{name, {}, {}, 0};
    for (size_t p = 8; p + 12 <= file.size();) {
        uint32_t length = BigEndian32(&file[p]);
        const uint8_t* type = &file[p + 4];
        if (std::memcmp(type, "IHDR", 4) == 0) {
            uint64_t width = BigEndian32(type + 4);
            unsigned depth = type[12], colorType = type[13];
            unsigned channels = colorType == 2 ? 3 : colorType == 4 ? 2 : colorType == 6 ? 4 : 1;
            stream.rowSize = uint32_t((width * channels * depth + 7) / 8);
        } else if (std::memcmp(type, "IDAT", 4) == 0) {
            stream.packed.insert(stream.packed.end(), type + 4, type + 4 + length);
        }
        p += 12 + size_t(length);
    }
    stream.plain = InflateWithZlib(stream.packed);
    return stream;
}

void AddPngFolder(InputSet& set, const fs::path& folder) {
    std::vector<fs::path> paths;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error))
        if (entry.path().extension() == ".png")
            paths.push_back(entry.path());
    std::sort(paths.begin(), paths.end());
    for (const fs::path& path : paths) {
        PngFile file{path.filename().string(), ReadFile(path)};
        set.streams.push_back(ImageDataOf(file.name, file.bytes));
        file.imageData = set.streams.back().plain.size();
        set.plainBytes += file.imageData;
        set.pngs.push_back(std::move(file));
    }
    if (set.pngs.empty())
        Die("no PNG files in " + folder.string());
}

Bytes TextCorpus() {
    std::vector<fs::path> paths;
    for (const char* folder : {"src", "tools", "tests", "bench", "scripts"})
        for (const auto& entry :
             fs::recursive_directory_iterator(fs::path(HLV_SOURCE_DIR) / folder)) {
            std::string ext = entry.path().extension().string();
            if (ext == ".cpp" || ext == ".h" || ext == ".md" || ext == ".py" || ext == ".sh")
                paths.push_back(entry.path());
        }
    std::sort(paths.begin(), paths.end());
    Bytes text;
    for (const fs::path& path : paths) {
        Bytes file = ReadFile(path);
        text.insert(text.end(), file.begin(), file.end());
    }
    return text;
}

InputSet TextSet(const Bytes& text, int level) {
    InputSet set{"text, zlib level " + std::to_string(level), {}, {}, text.size()};
    uLongf size = compressBound(uLong(text.size()));
    Stream stream{"text", Bytes(size), text};
    compress2(stream.packed.data(), &size, text.data(), uLong(text.size()), level);
    stream.packed.resize(size);
    set.streams.push_back(std::move(stream));
    return set;
}

// --- inflaters -----------------------------------------------------------------------

using Inflater = std::function<size_t(const Stream&, uint8_t*)>;

struct Inflaters {
    Pictor::InflateDecoder pictor;
    libdeflate_decompressor* deflate = libdeflate_alloc_decompressor();
    ~Inflaters() { libdeflate_free_decompressor(deflate); }

    size_t PictorWhole(const Stream& s, uint8_t* out) {
        Pictor::InputMemoryStream input(s.packed.data(), s.packed.size());
        pictor.OpenStream(input);
        return pictor.Decode(input, uint32_t(s.plain.size()), out);
    }

    // As the PNG decoder asks: a filter byte, then a row, into one place.
    size_t PictorRows(const Stream& s, uint8_t* out) {
        Pictor::InputMemoryStream input(s.packed.data(), s.packed.size());
        pictor.OpenStream(input);
        size_t done = 0;
        while (done < s.plain.size()) {
            uint32_t row = uint32_t(std::min<size_t>(s.rowSize, s.plain.size() - done - 1));
            done += pictor.Decode(input, 1, out + done);
            done += pictor.Decode(input, row, out + done);
        }
        return done;
    }

    static size_t Zlib(const Stream& s, uint8_t* out) {
        z_stream z{};
        inflateInit(&z);
        z.next_in = const_cast<uint8_t*>(s.packed.data());
        z.avail_in = uInt(s.packed.size());
        z.next_out = out;
        z.avail_out = uInt(s.plain.size());
        inflate(&z, Z_FINISH);
        inflateEnd(&z);
        return z.total_out;
    }

    size_t Libdeflate(const Stream& s, uint8_t* out) {
        size_t actual = 0;
        if (libdeflate_zlib_decompress(deflate, s.packed.data(), s.packed.size(), out,
                                       s.plain.size(), &actual) != LIBDEFLATE_SUCCESS)
            return 0;
        return actual;
    }
};

// --- PNG decoders -----------------------------------------------------------------------

// A picture as 8-bit blue-green-red rows, bottom row first, unpadded: the
// common ground of the three decoders' outputs.
struct Picture {
    uint32_t width = 0, height = 0;
    Bytes pixels;
};

Picture Expand(const Pictor::BitmapImage& image) {
    Picture picture{image.Width(), image.Height(), {}};
    picture.pixels.resize(size_t(picture.width) * picture.height * 3);
    const unsigned bits = image.BitCount();
    for (uint32_t y = 0; y < picture.height; ++y) {
        const uint8_t* row = image.Row(y);
        uint8_t* out = &picture.pixels[size_t(y) * picture.width * 3];
        for (uint32_t x = 0; x < picture.width; ++x, out += 3) {
            if (bits == 24) {
                std::memcpy(out, row + 3 * x, 3);
                continue;
            }
            uint32_t bit = x * bits;
            unsigned index = (row[bit / 8] >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
            std::memcpy(out, image.ColorMap(index), 3);
        }
    }
    return picture;
}

struct MemoryReader {
    const Bytes* bytes;
    size_t offset;
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t count) {
    auto* reader = static_cast<MemoryReader*>(png_get_io_ptr(png));
    if (reader->offset + count > reader->bytes->size())
        png_error(png, "read past the end");
    std::memcpy(out, reader->bytes->data() + reader->offset, count);
    reader->offset += count;
}

// Alpha over black, as our decoder composites files without bKGD.
void Composite(const uint8_t* in, uint8_t* out, uint32_t width) {
    for (uint32_t x = 0; x < width; ++x, in += 4, out += 3)
        for (int c = 0; c < 3; ++c)
            out[c] = uint8_t(in[c] * in[3] / 255);
}

struct PngDecoders {
    Pictor::PngDecoder pictor;
    Pictor::BitmapImage image;
    Bytes pixels, row;
    std::vector<png_bytep> rows;
    spng_ctx* spng = nullptr;

    size_t Pictor(const PngFile& file) {
        Pictor::PngInputMemoryStream stream(file.bytes.data(), file.bytes.size());
        pictor.ReadImage(stream, image);
        return file.imageData;
    }

    // libpng into our layout: blue-green-red rows, bottom-up, 16 bits cut to 8.
    size_t Libpng(const PngFile& file, Picture* check = nullptr) {
        png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        png_infop info = png_create_info_struct(png);
        if (setjmp(png_jmpbuf(png))) {
            png_destroy_read_struct(&png, &info, nullptr);
            return 0;
        }
        MemoryReader reader{&file.bytes, 0};
        png_set_read_fn(png, &reader, ReadFromMemory);
        png_read_info(png, info);
        const uint32_t w = png_get_image_width(png, info);
        const uint32_t h = png_get_image_height(png, info);
        const bool alpha = png_get_color_type(png, info) & PNG_COLOR_MASK_ALPHA;
        png_set_strip_16(png);
        png_set_palette_to_rgb(png);
        png_set_expand_gray_1_2_4_to_8(png);
        png_set_gray_to_rgb(png);
        png_set_bgr(png);
        const int passes = png_set_interlace_handling(png);
        png_read_update_info(png, info);
        pixels.resize(size_t(w) * h * 3);
        rows.resize(h);
        if (!alpha) {
            for (uint32_t y = 0; y < h; ++y)
                rows[y] = pixels.data() + size_t(h - 1 - y) * w * 3;
            png_read_image(png, rows.data());
        } else {
            // Interlaced files need the whole picture before compositing.
            row.resize(size_t(w) * h * 4);
            for (uint32_t y = 0; y < h; ++y)
                rows[y] = row.data() + size_t(y) * w * 4;
            if (passes > 1)
                png_read_image(png, rows.data());
            for (uint32_t y = 0; y < h; ++y) {
                if (passes == 1)
                    png_read_row(png, rows[y], nullptr);
                Composite(rows[y], pixels.data() + size_t(h - 1 - y) * w * 3, w);
            }
        }
        png_read_end(png, nullptr);
        png_destroy_read_struct(&png, &info, nullptr);
        if (check)
            *check = Picture{w, h, pixels};
        return file.imageData;
    }

    // libspng to 8-bit RGB(A) rows in its own order; the layout is fixed up
    // only for the check, not while timing.
    size_t Libspng(const PngFile& file, Picture* check = nullptr) {
        spng_ctx* ctx = spng_ctx_new(0);
        spng_set_png_buffer(ctx, file.bytes.data(), file.bytes.size());
        spng_ihdr ihdr{};
        spng_get_ihdr(ctx, &ihdr);
        const bool alpha = ihdr.color_type == SPNG_COLOR_TYPE_TRUECOLOR_ALPHA ||
                           ihdr.color_type == SPNG_COLOR_TYPE_GRAYSCALE_ALPHA;
        const int format = alpha ? SPNG_FMT_RGBA8 : SPNG_FMT_RGB8;
        size_t size = 0;
        spng_decoded_image_size(ctx, format, &size);
        row.resize(size);
        int rc = spng_decode_image(ctx, row.data(), size, format, 0);
        const uint32_t w = ihdr.width, h = ihdr.height;
        if (rc == 0 && alpha) {
            pixels.resize(size_t(w) * h * 3);
            for (uint32_t y = 0; y < h; ++y)
                Composite(&row[size_t(y) * w * 4], &pixels[size_t(y) * w * 3], w);
        }
        spng_ctx_free(ctx);
        if (rc != 0)
            return 0;
        if (check) {
            const Bytes& rgb = alpha ? pixels : row;
            *check = Picture{w, h, Bytes(size_t(w) * h * 3)};
            for (uint32_t y = 0; y < h; ++y)
                for (uint32_t x = 0; x < w; ++x)
                    for (int c = 0; c < 3; ++c)
                        check->pixels[(size_t(h - 1 - y) * w + x) * 3 + c] =
                            rgb[(size_t(y) * w + x) * 3 + 2 - c];
        }
        return file.imageData;
    }
};

// --- timing -------------------------------------------------------------------------------

struct Contender {
    std::string name;
    std::function<size_t()> pass; // decodes the whole set once, returns bytes
    double best = 0;              // MB/s
};

// The thread's own CPU time: on a shared machine the time the others take
// the cores away would otherwise count against whoever ran then.
double CpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + now.tv_nsec * 1e-9;
}

void Race(std::vector<Contender>& contenders) {
    for (Contender& c : contenders) {
        // Warm up, and size a sample to about kSampleSeconds.
        double start = CpuSeconds();
        c.pass();
        double once = CpuSeconds() - start;
        int repeats = std::max(1, int(kSampleSeconds / std::max(once, 1e-6)));
        c.pass = [pass = c.pass, repeats] {
            size_t bytes = 0;
            for (int i = 0; i < repeats; ++i)
                bytes += pass();
            return bytes;
        };
    }
    for (int sample = 0; sample < kSamples; ++sample)
        for (Contender& c : contenders) {
            double start = CpuSeconds();
            size_t bytes = c.pass();
            double seconds = CpuSeconds() - start;
            c.best = std::max(c.best, bytes / seconds / 1e6);
        }
}

// MB/s of every contender, then the ratios (numerator, denominator).
void PrintRow(const InputSet& set, const std::vector<Contender>& c,
              const std::vector<std::pair<size_t, size_t>>& ratios) {
    std::printf("%-24s", set.name.c_str());
    for (const Contender& x : c)
        std::printf(" %10.0f", x.best);
    for (auto [ours, reference] : ratios)
        std::printf(" %9.2f", c[ours].best / c[reference].best);
    std::printf("\n");
}

// --- the two tables ------------------------------------------------------------------------

void CheckInflaters(const InputSet& set, Inflaters& inflaters) {
    Bytes out;
    for (const Stream& s : set.streams) {
        out.assign(s.plain.size() + 64, 0);
        const std::pair<const char*, std::function<size_t(uint8_t*)>> runs[] = {
            {"Pictor", [&](uint8_t* o) { return inflaters.PictorWhole(s, o); }},
            {"Pictor rows", [&](uint8_t* o) { return inflaters.PictorRows(s, o); }},
            {"zlib", [&](uint8_t* o) { return Inflaters::Zlib(s, o); }},
            {"libdeflate", [&](uint8_t* o) { return inflaters.Libdeflate(s, o); }},
        };
        for (const auto& [name, run] : runs) {
            std::fill(out.begin(), out.end(), 0);
            if (run(out.data()) != s.plain.size() ||
                std::memcmp(out.data(), s.plain.data(), s.plain.size()) != 0)
                Die(std::string(name) + " inflates " + s.name + " of " + set.name + " wrongly");
        }
    }
}

void InflateTable(const std::vector<InputSet>& sets) {
    std::printf("\n%-24s %10s %10s %10s %10s %9s %9s %9s\n", "Inflate, MB/s", "ours", "ours rows",
                "zlib", "libdeflate", "/zlib", "/libdefl", "rows/ldf");
    Inflaters inflaters;
    for (const InputSet& set : sets) {
        CheckInflaters(set, inflaters);
        size_t largest = 0;
        for (const Stream& s : set.streams)
            largest = std::max(largest, s.plain.size());
        Bytes out(largest + 64);
        auto over = [&](auto run) {
            return [&set, run] {
                size_t bytes = 0;
                for (const Stream& s : set.streams)
                    bytes += run(s);
                return bytes;
            };
        };
        std::vector<Contender> c = {
            {"ours", over([&](const Stream& s) { return inflaters.PictorWhole(s, out.data()); })},
            {"rows", over([&](const Stream& s) { return inflaters.PictorRows(s, out.data()); })},
            {"zlib", over([&](const Stream& s) { return Inflaters::Zlib(s, out.data()); })},
            {"libdeflate",
             over([&](const Stream& s) { return inflaters.Libdeflate(s, out.data()); })},
        };
        Race(c);
        PrintRow(set, c, {{0, 2}, {0, 3}, {1, 3}});
    }
}

void CheckPngDecoders(const InputSet& set, PngDecoders& decoders) {
    for (const PngFile& file : set.pngs) {
        decoders.Pictor(file);
        Picture ours = Expand(decoders.image);
        Picture theirs;
        if (!decoders.Libpng(file, &theirs) || theirs.pixels != ours.pixels)
            Die("libpng decodes " + file.name + " differently");
        if (!decoders.Libspng(file, &theirs) || theirs.pixels != ours.pixels)
            Die("libspng decodes " + file.name + " differently");
    }
}

void PngTable(const std::vector<const InputSet*>& sets) {
    std::printf("\n%-24s %10s %10s %10s %9s %9s\n", "PNG decode, MB/s", "ours", "libpng", "libspng",
                "/libpng", "/libspng");
    PngDecoders decoders;
    for (const InputSet* set : sets) {
        CheckPngDecoders(*set, decoders);
        auto over = [set](auto run) {
            return [set, run] {
                size_t bytes = 0;
                for (const PngFile& f : set->pngs)
                    bytes += run(f);
                return bytes;
            };
        };
        std::vector<Contender> c = {
            {"ours", over([&](const PngFile& f) { return decoders.Pictor(f); })},
            {"libpng", over([&](const PngFile& f) { return decoders.Libpng(f); })},
            {"libspng", over([&](const PngFile& f) { return decoders.Libspng(f); })},
        };
        Race(c);
        PrintRow(*set, c, {{0, 1}, {0, 2}});
    }
}

} // namespace

int main() {
    const char* override = std::getenv("HLV_BENCH_PNG_DIR");
    InputSet assets{"asset pack", {}, {}, 0};
    AddPngFolder(assets, override ? override : HLV_ASSET_DIR);
    InputSet realWorld{"real-world PNGs", {}, {}, 0};
    AddPngFolder(realWorld, fs::path(HLV_SOURCE_DIR) / "tests/data/realworld");
    const Bytes text = TextCorpus();
    const std::vector<InputSet> sets = {assets, realWorld, TextSet(text, 6), TextSet(text, 9)};

    std::printf("Inputs:");
    for (const InputSet& set : sets)
        std::printf(" %s %zu streams %.1f MB;", set.name.c_str(), set.streams.size(),
                    set.plainBytes / 1e6);
    std::printf("\nEvery output checked identical before timing; best of %d samples of thread "
                "CPU time.\n",
                kSamples);
    InflateTable(sets);
    PngTable({&sets[0], &sets[1]});
    return 0;
}
