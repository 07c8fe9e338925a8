// The viewer's playback: the production's frames on a virtual clock that
// follows the music (or the wall clock without it), paused, stepped, looped
// and moved by seeks that replay the Segment from its start without showing
// the frames.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

#include "options.h"
#include "platform/platform.h"
#include "schedule.h"

namespace view {

// How long a seek may take, and how many of its frames are drawn in a row at
// the end at most (four seconds: longer than any trail lasts).
inline constexpr double kSeekBudgetMs = 2200.0;
inline constexpr long kMaxTrailFrames = 120;

class Player {
public:
    Player(platform::VirtualClock& clock, bool music);

    // Shows frame n (a seek), then plays on unless paused.
    void start(long frame, std::optional<LoopRange> loop);
    // One turn of the loop: the keys, then a new frame when playing, then the
    // picture with the overlay. False once the viewer asked to quit.
    bool turn();

private:
    using Clock = std::chrono::steady_clock;

    bool answer(platform::Key key);
    struct ReplayCount {
        long drawn;
        long frames;
    };
    void seek(long frame, const char* why);
    ReplayCount replayTo(long frame);
    void drawFrameAt(double ms);
    void drawLiveFrame(double ms); // also measures the frame rate
    void stepForward();
    void stepBack();
    void pause();
    void resume();
    void toggleLoop();
    void playOn();
    void show();
    void writeScreenshot() const;
    double playingMs() const;
    int shownSegment() const;
    std::string where() const;
    std::string stateText() const;

    platform::VirtualClock& clock_;
    bool music_;
    Schedule schedule_;
    bool paused_ = false;
    bool overlay_ = false;
    double pictureMs_ = 0.0;
    std::optional<long> pictureFrame_; // the picture is this frame of the 30 fps grid
    std::optional<LoopRange> loopOption_;
    std::optional<LoopRange> loop_; // in seconds; on while set
    int loopSegment_ = 0;           // the looped Segment, 0 for a range
    double anchorMs_ = 0.0;         // without music: the time at anchorWall_
    Clock::time_point anchorWall_ = Clock::now();
    // What a replayed frame of each Segment costs, learnt as it goes.
    std::array<double, kSegments> replayFrameMs_{40.0, 40.0, 40.0, 40.0, 40.0, 40.0, 40.0, 40.0};
    double frameWallMs_ = 0.0;
    double framesPerSecond_ = 0.0; // of the frames played live
    Clock::time_point lastLiveFrame_ = Clock::now();
};

} // namespace view
