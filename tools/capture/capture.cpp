// hlv-capture: plays the production with a virtual clock (each frame exactly
// 1000/fps ms later than the last, the music position following the same
// clock), without a prompt or an audio device, and records what it shows.
#include <GL/gl.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <map>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "anim/timing.h"
#include "app/window.h"
#include "loading/load_assets.h"
#include "platform/platform.h"
#include "timeline/timeline.h"
#include "writers.h"

namespace {

struct Options {
    double fps = 30.0;
    double from = 0.0;
    std::optional<double> to;
    std::string framesDir;
    long every = 0;
    std::vector<double> at;
    std::string video;
    std::string audio;
    bool bench = false;
    bool music = true;
    bool progress = false;
    bool atChanges = false; // stills just before and just after each Segment change
    int samples = 0;        // multisampled pictures (0: none)
    int jump = 1;           // Segment to start in, skipping the ones before it
};

void usage() {
    std::fputs("usage: hlv-capture [--fps N] [--from S] [--to S] [--frames DIR (--every K | --at "
               "T1,T2,..)]\n"
               "                   [--jump K]  (start in Segment K)\n"
               "                   [--video FILE(.y4m|-|.mp4)] [--audio FILE.wav] [--bench]\n"
               "                   [--music on|off] [--progress] [--at-changes] [--samples N]\n"
               "Times are global seconds since the end of loading. Run it where hlvd/ is.\n",
               stderr);
}

[[noreturn]] void badOption(const std::string& why) {
    std::fprintf(stderr, "hlv-capture: %s\n", why.c_str());
    usage();
    std::exit(2);
}

double number(const char* text, const char* option) {
    char* end = nullptr;
    const double value = std::strtod(text, &end);
    if (end == text || *end != '\0' || !std::isfinite(value)) {
        badOption(std::string("not a number for ") + option + ": " + text);
    }
    return value;
}

Options parseOptions(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&]() -> const char* {
            if (i + 1 >= argc) {
                badOption(arg + " needs a value");
            }
            return argv[++i];
        };
        if (arg == "--fps") {
            o.fps = number(value(), "--fps");
        } else if (arg == "--from") {
            o.from = number(value(), "--from");
        } else if (arg == "--jump") {
            o.jump = static_cast<int>(std::lround(number(value(), "--jump")));
            if (o.jump < 1 || o.jump > timing::kSegmentCount) {
                badOption("--jump takes a Segment from 1 to 8");
            }
        } else if (arg == "--to") {
            o.to = number(value(), "--to");
        } else if (arg == "--frames") {
            o.framesDir = value();
        } else if (arg == "--every") {
            o.every = std::lround(number(value(), "--every"));
        } else if (arg == "--at") {
            std::string list = value();
            for (std::size_t start = 0; start <= list.size();) {
                const std::size_t comma = std::min(list.find(',', start), list.size());
                o.at.push_back(number(list.substr(start, comma - start).c_str(), "--at"));
                start = comma + 1;
            }
        } else if (arg == "--video") {
            o.video = value();
        } else if (arg == "--audio") {
            o.audio = value();
        } else if (arg == "--bench") {
            o.bench = true;
        } else if (arg == "--music") {
            const std::string v = value();
            if (v != "on" && v != "off") {
                badOption("--music takes on or off");
            }
            o.music = v == "on";
        } else if (arg == "--progress") {
            o.progress = true;
        } else if (arg == "--at-changes") {
            o.atChanges = true;
        } else if (arg == "--samples") {
            o.samples = static_cast<int>(std::lround(number(value(), "--samples")));
            if (o.samples < 0 || o.samples > 16) {
                badOption("--samples must be 0 to 16");
            }
        } else if (arg == "-h" || arg == "--help") {
            usage();
            std::exit(0);
        } else {
            badOption("unknown option " + arg);
        }
    }
    if (!(o.fps > 0.0 && o.fps <= 1000.0)) {
        badOption("--fps must be above 0 and at most 1000");
    }
    if (o.to && *o.to < o.from) {
        badOption("--to lies before --from");
    }
    if (!o.framesDir.empty() && o.every <= 0 && o.at.empty() && !o.atChanges) {
        badOption("--frames needs --every K (K >= 1), --at T1,T2,... or --at-changes");
    }
    if (o.framesDir.empty() && (o.every > 0 || !o.at.empty() || o.atChanges)) {
        badOption("--every, --at and --at-changes need --frames DIR");
    }
    std::sort(o.at.begin(), o.at.end());
    // Stills alone need nothing after the last one: stop there rather than
    // play the rest of the production.
    const bool stillsOnly = !o.at.empty() && o.every <= 0 && !o.atChanges && o.video.empty() &&
                            o.audio.empty() && !o.bench;
    if (stillsOnly && !o.to) {
        o.to = std::max(o.at.back(), o.from);
    }
    return o;
}

// The value below which the given share of the values lie (nearest rank).
double percentile(std::vector<double> values, double share) {
    if (values.empty()) {
        return 0.0;
    }
    std::sort(values.begin(), values.end());
    const auto rank =
        static_cast<std::size_t>(std::ceil(share * static_cast<double>(values.size())));
    return values[std::min(rank == 0 ? 0 : rank - 1, values.size() - 1)];
}

double percentile95(const std::vector<double>& values) {
    return percentile(values, 0.95);
}
double median(const std::vector<double>& values) {
    return percentile(values, 0.5);
}

// Processor time of the calling thread, in milliseconds.
double threadCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) * 1e-6;
}

double mean(const std::vector<double>& values) {
    double sum = 0.0;
    for (double v : values) {
        sum += v;
    }
    return values.empty() ? 0.0 : sum / static_cast<double>(values.size());
}

class Recorder {
public:
    explicit Recorder(Options options) : o_(std::move(options)) {}

    bool start() {
        if (!o_.framesDir.empty()) {
            ::mkdir(o_.framesDir.c_str(), 0777);
            struct stat info {};
            if (::stat(o_.framesDir.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
                std::fprintf(stderr, "hlv-capture: cannot make the folder %s\n",
                             o_.framesDir.c_str());
                return false;
            }
            const std::string index = o_.framesDir + "/frames.txt";
            index_ = std::fopen(index.c_str(), "w");
            if (index_ == nullptr) {
                std::fprintf(stderr, "hlv-capture: cannot write %s\n", index.c_str());
                return false;
            }
        }
        if (!o_.video.empty() && !video_.open(o_.video, o_.fps)) {
            std::fprintf(stderr, "hlv-capture: cannot write the video %s\n", o_.video.c_str());
            return false;
        }
        return true;
    }

    // True once --to has been reached. `shown` is the Segment that drew the frame.
    bool frameDone(long frame, double seconds, int shown, double frameMs, double issueMs,
                   double cpuMs) {
        shown_ = shown;
        if (o_.bench) {
            frameTimes_[timeline::segmentIndex].push_back(frameMs);
            issueTimes_[timeline::segmentIndex].push_back(issueMs);
            cpuTimes_[timeline::segmentIndex].push_back(cpuMs);
        }
        if (inRange(seconds)) {
            recordFrame(frame, seconds);
        }
        return o_.to && seconds + 1e-9 >= *o_.to;
    }

    // Frame rates count from the first frame, not from the start of loading.
    void startClock() { began_ = std::chrono::steady_clock::now(); }

    void noteSegment(int index, long frame) {
        const double start = (timeline::segmentStartTick - timeline::globalStartTick) / 1000.0;
        // The frame that hands over draws no Segment; the frames on either
        // side show the old one's last picture and the new one's first.
        if (o_.atChanges && inRange(lastSeconds_) && !previous_.empty() && index > 1) {
            writeStill(frame - 1, previousSeconds_, previousShown_, previous_);
            stillNext_ = true;
        }
        if (index > 0 && index <= 8) {
            std::fprintf(stderr, "segment %d starts at %.3f s (frame %ld)\n", index, start, frame);
        } else if (index == timeline::kEndIndex) {
            std::fprintf(stderr, "production ends at %.3f s (frame %ld)\n", start, frame);
        }
        std::fflush(stderr);
    }

    void showProgress(long frame, double seconds) {
        if (!o_.progress) {
            return;
        }
        const auto now = std::chrono::steady_clock::now();
        if (now - lastProgress_ < std::chrono::milliseconds(500)) {
            return;
        }
        lastProgress_ = now;
        const double wall = std::chrono::duration<double>(now - began_).count();
        const bool inRange = seconds + 1e-9 >= o_.from;
        std::fprintf(stderr, "\r%s: segment %d/8, %7.2f s, frame %ld, %.1f frames/s   ",
                     inRange ? "recording" : "catching up", timeline::segmentIndex, seconds, frame,
                     frame / std::max(wall, 1e-6));
        std::fflush(stderr);
    }

    // Closes every file; called once, at the end of the production or at --to.
    void finish() {
        if (finished_) {
            return;
        }
        finished_ = true;
        if (o_.progress) {
            std::fputc('\n', stderr);
        }
        bool ok = true;
        if (!o_.audio.empty()) {
            ok = writeSoundtrack() && ok;
        }
        if (video_.isOpen()) {
            ok = video_.close(o_.audio) && ok;
            if (ok) {
                std::fprintf(stderr, "wrote %s (%ld frames)\n", o_.video.c_str(), videoFrames_);
            }
        }
        if (!o_.framesDir.empty()) {
            if (index_ != nullptr && std::fclose(index_) != 0) {
                std::fprintf(stderr, "hlv-capture: cannot finish %s/frames.txt\n",
                             o_.framesDir.c_str());
                ok = false;
            }
            index_ = nullptr;
            std::fprintf(stderr, "wrote %ld stills to %s\n", stills_, o_.framesDir.c_str());
        }
        if (o_.bench) {
            printBench();
        }
        std::fflush(nullptr);
        if (!ok) {
            std::_Exit(1);
        }
    }

private:
    bool inRange(double seconds) const {
        return seconds + 1e-9 >= o_.from && (!o_.to || seconds <= *o_.to + 1e-9);
    }

    void recordFrame(long frame, double seconds) {
        if (firstRecorded_ < 0) {
            firstRecorded_ = frame;
            firstSeconds_ = seconds;
        }
        lastSeconds_ = seconds;
        bool still = wantsStill(frame, seconds);
        if (stillNext_) {
            still = true;
            stillNext_ = false;
        }
        if (!still && !video_.isOpen() && !o_.atChanges) {
            return;
        }
        platform::readPicture(rgb_);
        if (still) {
            writeStill(frame, seconds, shown_, rgb_);
        }
        if (o_.atChanges) {
            previous_ = std::move(latest_);
            previousSeconds_ = latestSeconds_;
            previousShown_ = latestShown_;
            latest_ = rgb_;
            latestSeconds_ = seconds;
            latestShown_ = shown_;
        }
        if (video_.isOpen()) {
            video_.writeFrame(rgb_);
            ++videoFrames_;
        }
    }

    // Writes one still and its line in frames.txt: file, global seconds and
    // the Segment that drew it.
    void writeStill(long frame, double seconds, int shown, const std::vector<std::uint8_t>& rgb) {
        if (frame == lastStill_) {
            return; // a frame both asked for by time and next to a change
        }
        lastStill_ = frame;
        char name[64];
        std::snprintf(name, sizeof name, "frame_%06ld.png", frame);
        if (!capture::writePng(o_.framesDir + "/" + name, rgb)) {
            std::fprintf(stderr, "hlv-capture: cannot write %s/%s\n", o_.framesDir.c_str(), name);
            return;
        }
        if (index_ != nullptr) {
            std::fprintf(index_, "%s %.3f %d\n", name, seconds, shown);
        }
        ++stills_;
    }

    bool wantsStill(long frame, double seconds) {
        if (o_.framesDir.empty()) {
            return false;
        }
        if (o_.every > 0 && (frame - firstRecorded_) % o_.every == 0) {
            return true;
        }
        bool wanted = false;
        while (nextAt_ < o_.at.size() && o_.at[nextAt_] <= seconds + 1e-9) {
            wanted = true; // first frame at or after the requested time
            ++nextAt_;
        }
        return wanted;
    }

    bool writeSoundtrack() {
        const double begin = firstRecorded_ < 0 ? o_.from : firstSeconds_;
        const double end = firstRecorded_ < 0 ? begin : lastSeconds_ + 1.0 / o_.fps;
        const auto first = static_cast<std::size_t>(std::llround(begin * platform::kSampleRate));
        const auto count =
            static_cast<std::size_t>(std::llround((end - begin) * platform::kSampleRate));
        std::vector<std::int16_t> pcm(count * 2, 0);
        const std::vector<std::int16_t>& music = platform::soundSamples(platform::playingSound());
        for (std::size_t i = 0; i < count * 2 && (first * 2 + i) < music.size(); ++i) {
            pcm[i] = music[first * 2 + i];
        }
        if (!capture::writeWav(o_.audio, pcm.data(), count)) {
            std::fprintf(stderr, "hlv-capture: cannot write %s\n", o_.audio.c_str());
            return false;
        }
        std::fprintf(stderr, "wrote %s (%.3f s)\n", o_.audio.c_str(),
                     static_cast<double>(count) / platform::kSampleRate);
        return true;
    }

    // Frame: runFrame up to the end of glFinish. Issue: runFrame alone, the
    // wall time spent handing the frame to GL before waiting for it (context
    // switches may wait for the rasteriser inside it). CPU: the main thread's
    // own processor time in runFrame.
    void printBench() const {
        std::printf("%-8s %8s %10s %10s %10s %10s %10s %10s\n", "segment", "frames", "mean ms",
                    "median ms", "p95 ms", "issue ms", "issue p95", "cpu ms");
        for (const auto& [index, times] : frameTimes_) {
            if (index < 1 || index > 8 || times.empty()) {
                continue;
            }
            const auto& issue = issueTimes_.at(index);
            std::printf("%-8d %8zu %10.3f %10.3f %10.3f %10.3f %10.3f %10.3f\n", index,
                        times.size(), mean(times), median(times), percentile95(times), mean(issue),
                        percentile95(issue), mean(cpuTimes_.at(index)));
        }
    }

    Options o_;
    capture::VideoStream video_;
    std::vector<std::uint8_t> rgb_;
    // The pictures of the frame before the last one and of the last one, for
    // --at-changes (a change is noticed after the frame that hands over).
    std::vector<std::uint8_t> previous_;
    double previousSeconds_ = 0.0;
    int previousShown_ = 0;
    std::vector<std::uint8_t> latest_;
    double latestSeconds_ = 0.0;
    int latestShown_ = 0;
    int shown_ = 0;
    bool stillNext_ = false;
    long lastStill_ = -1;
    std::FILE* index_ = nullptr;
    std::map<int, std::vector<double>> frameTimes_;
    std::map<int, std::vector<double>> issueTimes_;
    std::map<int, std::vector<double>> cpuTimes_;
    long firstRecorded_ = -1;
    double firstSeconds_ = 0.0;
    double lastSeconds_ = 0.0;
    std::size_t nextAt_ = 0;
    long stills_ = 0;
    long videoFrames_ = 0;
    bool finished_ = false;
    std::chrono::steady_clock::time_point began_ = std::chrono::steady_clock::now();
    std::chrono::steady_clock::time_point lastProgress_{};
};

} // namespace

int main(int argc, char** argv) {
    const Options options = parseOptions(argc, argv);
    setenv("SDL_VIDEODRIVER", "offscreen", 0); // headless unless told otherwise

    static platform::VirtualClock clock;
    platform::useVirtualClock(&clock);
    timeline::musicFlag = options.music;
    platform::setSamplesPerPixel(options.samples);

    static Recorder recorder(options);
    if (!recorder.start()) {
        return 1;
    }
    platform::setEndHandler([](int code) {
        if (code == 0) {
            recorder.finish();
        }
        shell::closeWindow();
    });
    if (!shell::openWindow("HLV.orv", 800, 600, 32, false)) {
        return shell::exitCodeAfterFailure() != 0 ? shell::exitCodeAfterFailure() : 2;
    }
    loadAssets();

    // A jump starts Segment `jump` at the frame it would start in a full run
    // (each Segment before it runs its length, then one handover frame), so
    // the global clock and the Layers keep their times; the pictures of
    // effects that carry state from earlier Segments may differ.
    long firstFrame = 0;
    if (options.jump > 1) {
        double ms = 0.0;
        for (int k = 1; k < options.jump; ++k) {
            ms += timing::segmentMilliseconds(k) + 1000.0 / options.fps;
        }
        firstFrame = std::lround(std::ceil(ms * options.fps / 1000.0));
        clock.milliseconds = static_cast<double>(firstFrame) * 1000.0 / options.fps;
        timeline::jumpToSegment(options.jump);
    }
    int shownIndex = timeline::segmentIndex;
    recorder.noteSegment(shownIndex, firstFrame);
    recorder.startClock();
    for (long frame = firstFrame;; ++frame) {
        clock.milliseconds = static_cast<double>(frame) * 1000.0 / options.fps;
        const double seconds = (clock.milliseconds - timeline::globalStartTick) / 1000.0;
        const int drawing = timeline::segmentIndex;
        const auto began = std::chrono::steady_clock::now();
        const double cpuBegan = threadCpuMs();
        timeline::runFrame(); // the frame after the last Segment ends the process
        const double issueMs =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - began)
                .count();
        const double cpuMs = threadCpuMs() - cpuBegan;
        if (options.bench) {
            glFinish();
        }
        const double frameMs =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - began)
                .count();
        const bool reachedEnd =
            recorder.frameDone(frame, seconds, drawing, frameMs, issueMs, cpuMs);
        if (timeline::segmentIndex != shownIndex) {
            shownIndex = timeline::segmentIndex;
            recorder.noteSegment(shownIndex, frame);
        }
        platform::swapWindow();
        recorder.showProgress(frame, seconds);
        if (reachedEnd) {
            recorder.finish();
            shell::closeWindow();
            std::fflush(nullptr);
            std::_Exit(0);
        }
    }
}
