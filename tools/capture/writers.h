// Where the capture tool puts what it records: still frames as PNG, the
// picture stream as Y4M or through ffmpeg, the soundtrack as WAV.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace capture {

inline constexpr int kWidth = 800;
inline constexpr int kHeight = 600;

// `rgb` holds kHeight rows of kWidth RGB pixels, bottom row first (as GL
// reads them); every writer turns them top row first.
bool writePng(const std::string& path, const std::vector<std::uint8_t>& rgb);

// 16-bit stereo PCM at 44100 Hz.
bool writeWav(const std::string& path, const std::int16_t* samples, std::size_t frames);

class VideoStream {
public:
    // `path` "-" or ending in ".y4m" writes a Y4M stream (4:2:0) itself; any
    // other name is encoded by ffmpeg, which must be installed.
    bool open(const std::string& path, double fps);
    bool writeFrame(const std::vector<std::uint8_t>& rgb);
    // Ends the stream; with a soundtrack, muxes it in (ffmpeg only).
    bool close(const std::string& wavPath);
    bool isOpen() const { return out_ != nullptr; }
    const std::string& path() const { return path_; }

private:
    std::FILE* out_ = nullptr;
    bool throughFfmpeg_ = false;
    std::string path_;
    std::string encodedPath_; // ffmpeg's picture-only file before muxing
    double fps_ = 30.0;
};

bool ffmpegInstalled();

} // namespace capture
