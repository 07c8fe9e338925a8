#include "writers.h"

#include <png.h>

#include <cmath>
#include <cstdlib>
#include <memory>

namespace capture {
namespace {

std::string shellQuoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        if (c == '\'') {
            quoted += "'\\''";
        } else {
            quoted += c;
        }
    }
    return quoted + "'";
}

bool endsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

const std::uint8_t* rowFromTop(const std::vector<std::uint8_t>& rgb, int y) {
    return rgb.data() + static_cast<std::size_t>(kHeight - 1 - y) * kWidth * 3;
}

std::uint8_t clampByte(double v) {
    return static_cast<std::uint8_t>(std::lround(v < 0 ? 0 : (v > 255 ? 255 : v)));
}

void putLittleEndian(std::FILE* f, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        std::fputc(static_cast<int>((value >> (8 * i)) & 0xFF), f);
    }
}

// BT.601 studio range, 4:2:0 chroma from 2 x 2 averages.
void writeY4mFrame(std::FILE* out, const std::vector<std::uint8_t>& rgb) {
    std::vector<std::uint8_t> luma(static_cast<std::size_t>(kWidth) * kHeight);
    std::vector<std::uint8_t> cb(static_cast<std::size_t>(kWidth / 2) * (kHeight / 2));
    std::vector<std::uint8_t> cr(cb.size());
    for (int y = 0; y < kHeight; ++y) {
        const std::uint8_t* row = rowFromTop(rgb, y);
        for (int x = 0; x < kWidth; ++x) {
            const double r = row[3 * x], g = row[3 * x + 1], b = row[3 * x + 2];
            luma[static_cast<std::size_t>(y) * kWidth + x] =
                clampByte(16 + 0.2567882 * r + 0.5041294 * g + 0.0979059 * b);
        }
    }
    for (int y = 0; y < kHeight / 2; ++y) {
        for (int x = 0; x < kWidth / 2; ++x) {
            double r = 0, g = 0, b = 0;
            for (int dy = 0; dy < 2; ++dy) {
                const std::uint8_t* row = rowFromTop(rgb, 2 * y + dy);
                for (int dx = 0; dx < 2; ++dx) {
                    r += row[3 * (2 * x + dx)];
                    g += row[3 * (2 * x + dx) + 1];
                    b += row[3 * (2 * x + dx) + 2];
                }
            }
            r /= 4, g /= 4, b /= 4;
            const std::size_t i = static_cast<std::size_t>(y) * (kWidth / 2) + x;
            cb[i] = clampByte(128 - 0.1482229 * r - 0.2909928 * g + 0.4392157 * b);
            cr[i] = clampByte(128 + 0.4392157 * r - 0.3677883 * g - 0.0714274 * b);
        }
    }
    std::fputs("FRAME\n", out);
    std::fwrite(luma.data(), 1, luma.size(), out);
    std::fwrite(cb.data(), 1, cb.size(), out);
    std::fwrite(cr.data(), 1, cr.size(), out);
}

} // namespace

bool ffmpegInstalled() {
    return std::system("command -v ffmpeg >/dev/null 2>&1") == 0;
}

bool writePng(const std::string& path, const std::vector<std::uint8_t>& rgb) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    if (info == nullptr || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, kWidth, kHeight, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, 3);
    png_write_info(png, info);
    for (int y = 0; y < kHeight; ++y) {
        png_write_row(png, const_cast<png_bytep>(rowFromTop(rgb, y)));
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0;
}

bool writeWav(const std::string& path, const std::int16_t* samples, std::size_t frames) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) {
        return false;
    }
    const std::uint32_t dataBytes = static_cast<std::uint32_t>(frames * 4);
    std::fputs("RIFF", f);
    putLittleEndian(f, 36 + dataBytes, 4);
    std::fputs("WAVEfmt ", f);
    putLittleEndian(f, 16, 4);
    putLittleEndian(f, 1, 2); // PCM
    putLittleEndian(f, 2, 2); // stereo
    putLittleEndian(f, 44100, 4);
    putLittleEndian(f, 44100 * 4, 4); // bytes per second
    putLittleEndian(f, 4, 2);         // bytes per frame
    putLittleEndian(f, 16, 2);
    std::fputs("data", f);
    putLittleEndian(f, dataBytes, 4);
    for (std::size_t i = 0; i < frames * 2; ++i) {
        putLittleEndian(f, static_cast<std::uint16_t>(samples[i]), 2);
    }
    return std::fclose(f) == 0;
}

bool VideoStream::open(const std::string& path, double fps) {
    path_ = path;
    fps_ = fps;
    throughFfmpeg_ = !(path == "-" || endsWith(path, ".y4m"));
    if (!throughFfmpeg_) {
        out_ = path == "-" ? stdout : std::fopen(path.c_str(), "wb");
        if (out_ == nullptr) {
            return false;
        }
        // Frame rate as a fraction in thousandths, so 29.97 stays exact enough.
        std::fprintf(out_, "YUV4MPEG2 W%d H%d F%ld:1000 Ip A1:1 C420jpeg\n", kWidth, kHeight,
                     std::lround(fps * 1000));
        return true;
    }
    if (!ffmpegInstalled()) {
        std::fprintf(stderr, "hlv-capture: ffmpeg is not installed; write a .y4m file instead\n");
        return false;
    }
    encodedPath_ = path + ".picture.mp4";
    char rate[32];
    std::snprintf(rate, sizeof rate, "%.6f", fps);
    const std::string command = "ffmpeg -y -loglevel error -f rawvideo -pix_fmt rgb24 -s 800x600 "
                                "-framerate " +
                                std::string(rate) +
                                " -i - -c:v libx264 -preset veryfast -crf 18 -pix_fmt yuv420p " +
                                shellQuoted(encodedPath_);
    out_ = popen(command.c_str(), "w");
    return out_ != nullptr;
}

bool VideoStream::writeFrame(const std::vector<std::uint8_t>& rgb) {
    if (out_ == nullptr) {
        return false;
    }
    if (!throughFfmpeg_) {
        writeY4mFrame(out_, rgb);
        return std::ferror(out_) == 0;
    }
    for (int y = 0; y < kHeight; ++y) {
        std::fwrite(rowFromTop(rgb, y), 1, static_cast<std::size_t>(kWidth) * 3, out_);
    }
    return std::ferror(out_) == 0;
}

bool VideoStream::close(const std::string& wavPath) {
    if (out_ == nullptr) {
        return false;
    }
    if (!throughFfmpeg_) {
        const bool ok = std::fflush(out_) == 0;
        if (out_ != stdout) {
            std::fclose(out_);
        }
        out_ = nullptr;
        return ok;
    }
    const int encoded = pclose(out_);
    out_ = nullptr;
    if (encoded != 0) {
        std::fprintf(stderr, "hlv-capture: ffmpeg failed encoding %s\n", path_.c_str());
        return false;
    }
    std::string command = "ffmpeg -y -loglevel error -i " + shellQuoted(encodedPath_);
    if (!wavPath.empty()) {
        command += " -i " + shellQuoted(wavPath) + " -c:a aac -b:a 192k";
    }
    command += " -c:v copy -movflags +faststart " + shellQuoted(path_);
    const bool ok = std::system(command.c_str()) == 0;
    std::remove(encodedPath_.c_str());
    if (!ok) {
        std::fprintf(stderr, "hlv-capture: ffmpeg failed writing %s\n", path_.c_str());
    }
    return ok;
}

} // namespace capture
