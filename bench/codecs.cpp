// Inflate and PNG decode throughput, side by side with zlib and libpng on the
// same inputs. Ratios: bytes_per_second of the Pictor runs over the zlib and
// libpng runs of the same group.
//
// PNG input: the asset pack's PNG files (<build>/hlvd, or the folder named by
// HLV_BENCH_PNG_DIR), else a generated set of RGB and RGB-alpha pictures.
#include <benchmark/benchmark.h>
#include <png.h>
#include <zlib.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "imaging/inflate_decoder.h"
#include "imaging/png_decoder.h"

namespace {

using Bytes = std::vector<uint8_t>;

// --- inflate corpus -------------------------------------------------------------

// About 24 MB of text, picture rows, runs, near and far repeats and noise.
Bytes MixedCorpus() {
    std::mt19937 rng(2024);
    static const char* words[] = {"the ",   "window ", "of ",   "light ", "tunnel ", "a ",
                                  "vase\n", "rain ",   "moon ", "jelly ", "fish ",   "deep "};
    Bytes data;
    const size_t size = 24u << 20;
    data.reserve(size + 70000);
    while (data.size() < size) {
        switch (rng() % 6) {
        case 0:
        case 1:
            for (int i = 0; i < 200; ++i) {
                const char* w = words[rng() % 12];
                data.insert(data.end(), w, w + std::strlen(w));
            }
            break;
        case 2: { // a smooth picture row pair
            int base = int(rng() % 256);
            for (int x = 0; x < 3 * 512; ++x)
                data.push_back(uint8_t(base + int(40 * std::sin(x * 0.01)) + int(rng() % 3)));
            break;
        }
        case 3:
            data.insert(data.end(), 10 + rng() % 2000, uint8_t(rng()));
            break;
        case 4: {
            size_t back = 1 + rng() % std::min<size_t>(data.size() + 1, 32768);
            size_t length = 3 + rng() % 4000;
            for (size_t i = 0; i < length && back <= data.size(); ++i)
                data.push_back(data[data.size() - back]);
            break;
        }
        default:
            for (int i = 0; i < 1500; ++i)
                data.push_back(uint8_t(rng()));
        }
    }
    data.resize(size);
    return data;
}

struct InflateInput {
    Bytes plain, packed;
    InflateInput() : plain(MixedCorpus()) {
        uLongf size = compressBound(uLong(plain.size()));
        packed.resize(size);
        compress2(packed.data(), &size, plain.data(), uLong(plain.size()), 6);
        packed.resize(size);
    }
};

const InflateInput& Inflates() {
    static const InflateInput input;
    return input;
}

// request = 0: one call for everything; else calls of that many bytes.
void InflatePictor(benchmark::State& state) {
    const InflateInput& in = Inflates();
    const uint32_t request = uint32_t(state.range(0));
    Bytes out(in.plain.size());
    Pictor::InflateDecoder decoder;
    for (auto _ : state) {
        Pictor::InputMemoryStream input(in.packed.data(), in.packed.size());
        decoder.OpenStream(input);
        size_t done = 0;
        if (request == 0)
            done = decoder.Decode(input, uint32_t(out.size()), out.data());
        else
            while (done < out.size())
                done +=
                    decoder.Decode(input, uint32_t(std::min<size_t>(request, out.size() - done)),
                                   out.data() + done);
        benchmark::DoNotOptimize(out.data());
        if (done != out.size() || out != in.plain)
            state.SkipWithError("wrong output");
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(out.size()));
}

void InflateZlib(benchmark::State& state) {
    const InflateInput& in = Inflates();
    const uint32_t request = uint32_t(state.range(0));
    Bytes out(in.plain.size());
    for (auto _ : state) {
        z_stream z{};
        inflateInit(&z);
        z.next_in = const_cast<uint8_t*>(in.packed.data());
        z.avail_in = uInt(in.packed.size());
        z.next_out = out.data();
        int rc = Z_OK;
        size_t done = 0;
        while (rc == Z_OK && done < out.size()) {
            uInt want = request == 0 ? uInt(out.size())
                                     : uInt(std::min<size_t>(request, out.size() - done));
            z.avail_out = want;
            rc = inflate(&z, Z_SYNC_FLUSH);
            done = z.total_out;
        }
        inflateEnd(&z);
        benchmark::DoNotOptimize(out.data());
        if (done != out.size())
            state.SkipWithError("zlib failed");
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(out.size()));
}

// --- PNG corpus -------------------------------------------------------------------

struct PngFile {
    std::string name;
    Bytes bytes;
};

Bytes WritePng(uint32_t w, uint32_t h, bool alpha, unsigned seed) {
    std::mt19937 rng(seed);
    const unsigned channels = alpha ? 4 : 3;
    Bytes pixels(size_t(w) * h * channels);
    double fx = 0.02 + (rng() % 10) * 0.01, fy = 0.03 + (rng() % 7) * 0.01;
    for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x)
            for (unsigned c = 0; c < channels; ++c)
                pixels[(size_t(y) * w + x) * channels + c] =
                    uint8_t(127 + 100 * std::sin(x * fx + c) * std::cos(y * fy) + rng() % 4);
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = w;
    image.height = h;
    image.format = alpha ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
    png_alloc_size_t size = 0;
    png_image_write_to_memory(&image, nullptr, &size, 0, pixels.data(), 0, nullptr);
    Bytes file(size);
    png_image_write_to_memory(&image, file.data(), &size, 0, pixels.data(), 0, nullptr);
    file.resize(size);
    return file;
}

std::vector<PngFile> LoadPngs() {
    std::vector<PngFile> files;
    const char* override = std::getenv("HLV_BENCH_PNG_DIR");
    std::filesystem::path folder = override ? override : HLV_ASSET_DIR;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        if (entry.path().extension() != ".png")
            continue;
        std::ifstream in(entry.path(), std::ios::binary);
        files.push_back(
            {entry.path().filename().string(), Bytes(std::istreambuf_iterator<char>(in), {})});
    }
    if (files.empty()) {
        unsigned seed = 1;
        for (uint32_t size : {64u, 128u, 256u, 256u, 256u, 256u, 512u, 512u})
            for (bool alpha : {false, true})
                files.push_back({"generated", WritePng(size, size, alpha, seed++)});
    }
    return files;
}

const std::vector<PngFile>& Pngs() {
    static const std::vector<PngFile> files = LoadPngs();
    return files;
}

void PngPictor(benchmark::State& state) {
    const auto& files = Pngs();
    int64_t bytes = 0;
    Pictor::PngDecoder decoder;
    Pictor::BitmapImage image;
    for (auto _ : state) {
        for (const PngFile& file : files) {
            Pictor::PngInputMemoryStream stream(file.bytes.data(), file.bytes.size());
            decoder.ReadImage(stream, image);
            benchmark::DoNotOptimize(image.ImageData());
            bytes += int64_t(image.BytesPerRow()) * image.Height();
        }
    }
    state.SetBytesProcessed(bytes);
    state.counters["files"] = double(files.size());
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

// libpng into the same layout: 24-bit blue-green-red rows, bottom-up, padded
// to 4 bytes, alpha composited over black (the files carry no bKGD).
void DecodeWithLibpng(const Bytes& file, Bytes& pixels, Bytes& row, std::vector<png_bytep>& rows,
                      uint32_t& height, int& stride) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return;
    }
    MemoryReader reader{&file, 0};
    png_set_read_fn(png, &reader, ReadFromMemory);
    png_read_info(png, info);
    const uint32_t w = png_get_image_width(png, info);
    height = png_get_image_height(png, info);
    const bool alpha = png_get_color_type(png, info) & PNG_COLOR_MASK_ALPHA;
    png_set_strip_16(png);
    png_set_bgr(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    stride = int((3 * w + 3) & ~3u);
    pixels.resize(size_t(stride) * height);
    if (!alpha) {
        rows.resize(height);
        for (uint32_t y = 0; y < height; ++y)
            rows[y] = pixels.data() + size_t(height - 1 - y) * stride;
        png_read_image(png, rows.data());
    } else {
        row.resize(size_t(w) * 4);
        for (uint32_t y = 0; y < height; ++y) {
            png_read_row(png, row.data(), nullptr);
            uint8_t* out = pixels.data() + size_t(height - 1 - y) * stride;
            for (uint32_t x = 0; x < w; ++x) {
                const uint8_t* p = &row[4 * x];
                for (int c = 0; c < 3; ++c)
                    out[3 * x + c] = uint8_t(p[c] * p[3] / 255);
            }
        }
    }
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
}

void PngLibpng(benchmark::State& state) {
    const auto& files = Pngs();
    int64_t bytes = 0;
    Bytes pixels, row;
    std::vector<png_bytep> rows;
    for (auto _ : state) {
        for (const PngFile& file : files) {
            uint32_t height = 0;
            int stride = 0;
            DecodeWithLibpng(file.bytes, pixels, row, rows, height, stride);
            benchmark::DoNotOptimize(pixels.data());
            bytes += int64_t(stride) * height;
        }
    }
    state.SetBytesProcessed(bytes);
    state.counters["files"] = double(files.size());
}

} // namespace

BENCHMARK(InflatePictor)->Name("Inflate/Pictor/one_call")->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(InflateZlib)->Name("Inflate/zlib/one_call")->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(InflatePictor)
    ->Name("Inflate/Pictor/1536_byte_calls")
    ->Arg(1536)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(InflateZlib)
    ->Name("Inflate/zlib/1536_byte_calls")
    ->Arg(1536)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(PngPictor)->Name("PngDecode/Pictor")->Unit(benchmark::kMillisecond);
BENCHMARK(PngLibpng)->Name("PngDecode/libpng")->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
