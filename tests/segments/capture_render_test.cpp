// Renders moments of the opening titles and the light tunnel with the capture
// tool, headless, and checks that each picture shows what the moment is for.
#include <gtest/gtest.h>

#include <png.h>
#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "temp_folder.h"

namespace fs = std::filesystem;

namespace {

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb; // top row first

    double luma(int x, int y) const {
        const std::size_t i = (static_cast<std::size_t>(y) * width + x) * 3;
        return (rgb[i] + rgb[i + 1] + rgb[i + 2]) / 3.0;
    }
};

Picture readPng(const std::string& path) {
    Picture p;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) {
        return p;
    }
    image.format = PNG_FORMAT_RGB;
    p.width = static_cast<int>(image.width);
    p.height = static_cast<int>(image.height);
    p.rgb.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, p.rgb.data(), 0, nullptr)) {
        p.rgb.clear();
    }
    return p;
}

struct Region {
    int x0, y0, x1, y1; // rows from the top, end exclusive
};

struct Stats {
    double mean = 0.0;
    double deviation = 0.0;
    double saturated = 0.0; // share of pixels with every channel at 250 or more
    double burnt = 0.0;     // share of pixels brighter than 215: white under the grain
    double white = 0.0;     // share of pixels with every channel above 215: white, not gold
    double edges = 0.0;     // mean horizontal step between 2 x 2 blocks: sharp detail
};

// Steps between 2 x 2 block means see letters and trails but not the film's
// grain, which varies texel by texel and would otherwise count as detail.
double blockEdges(const Picture& p, Region r) {
    const auto block = [&p](int x, int y) {
        return p.luma(x, y) + p.luma(x + 1, y) + p.luma(x, y + 1) + p.luma(x + 1, y + 1);
    };
    double edges = 0.0;
    long count = 0;
    for (int y = r.y0; y + 1 < r.y1; y += 2) {
        for (int x = r.x0; x + 3 < r.x1; x += 2) {
            edges += std::abs(block(x + 2, y) - block(x, y)) / 4.0;
            ++count;
        }
    }
    return count > 0 ? edges / count : 0.0;
}

Stats measure(const Picture& p, Region r) {
    Stats s;
    double sum = 0.0, squares = 0.0;
    long count = 0, saturated = 0, burnt = 0, white = 0;
    for (int y = r.y0; y < r.y1; ++y) {
        for (int x = r.x0; x < r.x1; ++x) {
            const double l = p.luma(x, y);
            sum += l;
            squares += l * l;
            ++count;
            const std::size_t i = (static_cast<std::size_t>(y) * p.width + x) * 3;
            saturated += p.rgb[i] >= 250 && p.rgb[i + 1] >= 250 && p.rgb[i + 2] >= 250;
            burnt += l > 215.0;
            white += std::min({p.rgb[i], p.rgb[i + 1], p.rgb[i + 2]}) > 215;
        }
    }
    s.mean = sum / count;
    s.deviation = std::sqrt(std::max(0.0, squares / count - s.mean * s.mean));
    s.saturated = static_cast<double>(saturated) / count;
    s.burnt = static_cast<double>(burnt) / count;
    s.white = static_cast<double>(white) / count;
    s.edges = blockEdges(p, r);
    return s;
}

// Global capture times (seconds) of Segment-local times: the opening titles
// run 4.05 units a second from 0, the tunnel 3.8 a second from 20.033 s.
double titlesAt(double t) {
    return t / 4.05;
}
double tunnelAt(double t) {
    return 20.04 + t / 3.8;
}

constexpr Region kTopBar{0, 0, 800, 80};
constexpr Region kBand{0, 130, 800, 470};
constexpr Region kTitle{532, 383, 740, 487};
constexpr Region kCaption{88, 148, 240, 182};
constexpr Region kScreen{0, 0, 800, 600};

// One capture run for every test of this file.
class CapturedMoments : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        const fs::path build = HLV_BUILD_DIR;
        temp_ = new hlv_test::TempFolder("hlv-segments");
        folder_ = *temp_ / "frames";
        log_ = *temp_ / "capture.log";
        const std::vector<double> times = {titlesAt(10), titlesAt(45), titlesAt(60), titlesAt(78),
                                           tunnelAt(5),  tunnelAt(30), tunnelAt(60)};
        std::string at;
        for (double t : times) {
            at += (at.empty() ? "" : ",") + std::to_string(t);
        }
        const std::string command = "cd '" + build.string() +
                                    "' && env -u DISPLAY SDL_VIDEODRIVER=offscreen ./hlv-capture"
                                    " --fps 30 --music off --to 36.5 --at " +
                                    at + " --frames '" + folder_.string() + "' > '" +
                                    log_.string() + "' 2>&1";
        status_ = std::system(command.c_str());
        std::ifstream log(log_);
        log_text_.assign(std::istreambuf_iterator<char>(log), std::istreambuf_iterator<char>());
        std::vector<fs::path> files;
        if (fs::exists(folder_)) {
            for (const auto& entry : fs::directory_iterator(folder_)) {
                if (entry.path().extension() == ".png") { // not the frames.txt index
                    files.push_back(entry.path());
                }
            }
        }
        std::sort(files.begin(), files.end()); // frame numbers, so in time order
        for (const fs::path& file : files) {
            frames_.push_back(readPng(file.string()));
        }
    }

    static void TearDownTestSuite() {
        delete temp_;
        temp_ = nullptr;
    }

    void SetUp() override {
        ASSERT_TRUE(WIFEXITED(status_) && WEXITSTATUS(status_) == 0) << "hlv-capture failed:\n"
                                                                     << log_text_;
        ASSERT_EQ(frames_.size(), 7u);
        for (const Picture& p : frames_) {
            ASSERT_EQ(p.width, 800);
            ASSERT_EQ(p.height, 600);
        }
    }

    static const Picture& titles(int k) { return frames_[k]; }     // t = 10, 45, 60, 78
    static const Picture& tunnel(int k) { return frames_[4 + k]; } // t = 5, 30, 60

    static inline hlv_test::TempFolder* temp_ = nullptr;
    static inline fs::path folder_, log_;
    static inline std::string log_text_;
    static inline int status_ = -1;
    static inline std::vector<Picture> frames_;
};

TEST_F(CapturedMoments, TitlesShowTheTrailBandUnderTheFilm) {
    for (int k = 0; k < 4; ++k) {
        SCOPED_TRACE("opening titles frame " + std::to_string(k));
        const Stats bar = measure(titles(k), kTopBar);
        const Stats band = measure(titles(k), kBand);
        // Dark blue above the band, multiplied by the grain.
        EXPECT_LT(bar.mean, 6.0);
        if (k < 3) { // the band is lit until mesh and backdrop go dark
            EXPECT_GT(band.mean, bar.mean + 8.0);
            EXPECT_GT(band.deviation, 5.0);
        }
        // The trails must spread light, not burn the band out to white.
        EXPECT_LT(band.burnt, 0.3);
    }
    // The film moves every frame: grain, scratches and specks differ.
    EXPECT_NE(titles(0).rgb, titles(1).rgb);
}

TEST_F(CapturedMoments, CaptionThenTitleCondenseAndDissolve) {
    const double captionSharp = measure(titles(1), kCaption).edges;
    EXPECT_GT(captionSharp, 1.5 * measure(titles(0), kCaption).edges);
    EXPECT_GT(captionSharp, 1.5 * measure(titles(3), kCaption).edges);
    const double titleSharp = measure(titles(2), kTitle).edges;
    EXPECT_GT(titleSharp, 1.5 * measure(titles(0), kTitle).edges);
    EXPECT_GT(titleSharp, 1.5 * measure(titles(1), kTitle).edges);
    // Mesh and backdrop go dark at the end, so the trails fade.
    EXPECT_LT(measure(titles(3), kBand).mean, measure(titles(2), kBand).mean);
}

TEST_F(CapturedMoments, TunnelIsBrightAndVaried) {
    EXPECT_GT(measure(tunnel(0), kScreen).mean, 0.5); // front object, not empty
    for (int k = 1; k < 3; ++k) {
        SCOPED_TRACE("tunnel frame " + std::to_string(k));
        const Stats s = measure(tunnel(k), kScreen);
        // Lit well above the clear blue; the rings' cores may burn to gold,
        // but the sparks must not bury the picture under white tiles.
        EXPECT_GT(s.mean, 25.0);
        EXPECT_GT(s.deviation, 20.0);
        EXPECT_LT(s.saturated, 0.5);
        EXPECT_LT(s.white, 0.05);
    }
    const Stats a = measure(tunnel(1), kScreen), b = measure(tunnel(2), kScreen);
    EXPECT_GT(std::abs(a.mean - b.mean) + std::abs(a.deviation - b.deviation), 2.0);
    EXPECT_NE(tunnel(1).rgb, tunnel(2).rgb);
}

} // namespace
