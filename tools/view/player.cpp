#include "player.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <thread>
#include <vector>

#include "anim/timing.h"
#include "capture/writers.h"
#include "overlay.h"
#include "segments/segments.h"
#include "timeline/timeline.h"

namespace view {
namespace {

using platform::Key;

std::uint32_t samplesAt(double ms) {
    return static_cast<std::uint32_t>(std::llround(ms * platform::kSampleRate / 1000.0));
}

double millisecondsSince(std::chrono::steady_clock::time_point began) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - began)
        .count();
}

// The first frame of the grid after a time, and the last one before it.
long frameAfter(double ms) {
    return static_cast<long>(std::floor(ms * kFramesPerSecond / 1000.0 + 1e-6)) + 1;
}
long frameBefore(double ms) {
    return static_cast<long>(std::ceil(ms * kFramesPerSecond / 1000.0 - 1e-6)) - 1;
}

void say(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

std::string seconds(double ms) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f s", ms / 1000.0);
    return text;
}

} // namespace

Player::Player(platform::VirtualClock& clock, bool music) : clock_(clock), music_(music) {}

void Player::start(long frame, std::optional<LoopRange> loop) {
    loopOption_ = loop;
    loop_ = loop;
    seek(frame, "start at");
}

bool Player::turn() {
    for (Key key : platform::takeKeyPresses()) {
        if (!answer(key)) {
            return false;
        }
    }
    if (platform::pollEvents()) {
        return false; // the window was closed
    }
    if (!paused_) {
        playOn();
    }
    show();
    if (paused_) {
        std::this_thread::sleep_for(std::chrono::milliseconds(15));
    }
    return true;
}

bool Player::answer(Key key) {
    const long last = schedule_.lastFrame();
    const auto seekByKey = [&](long frame) {
        frame = std::clamp(frame, 0L, last);
        const double ms = frameMs(frame);
        if (loop_ && (ms < loop_->from * 1000.0 || ms >= loop_->to * 1000.0)) {
            loop_.reset();
            loopSegment_ = 0;
            say("loop off");
        }
        seek(frame, "seek to");
    };
    const int segment = shownSegment();
    switch (key) {
    case Key::Escape:
        return false;
    case Key::Space:
        paused_ ? resume() : pause();
        break;
    case Key::Left:
        seekByKey(frameNear(pictureMs_ - 5000.0));
        break;
    case Key::Right:
        seekByKey(frameNear(pictureMs_ + 5000.0));
        break;
    case Key::PageUp:
        seekByKey(schedule_.firstFrame(std::max(1, segment - 1)));
        break;
    case Key::PageDown:
        if (segment < kSegments) {
            seekByKey(schedule_.firstFrame(segment + 1));
        }
        break;
    case Key::Comma:
        if (paused_) {
            stepBack();
        }
        break;
    case Key::Period:
        if (paused_) {
            stepForward();
        }
        break;
    case Key::L:
        toggleLoop();
        break;
    case Key::H:
        overlay_ = !overlay_;
        break;
    case Key::S:
        writeScreenshot();
        break;
    case Key::Other:
        break;
    default: // the digits
        seekByKey(schedule_.firstFrame(static_cast<int>(key) - static_cast<int>(Key::Digit1) + 1));
        break;
    }
    return true;
}

void Player::seek(long frame, const char* why) {
    const long target = schedule_.drawingFrame(frame);
    platform::soundHold(true);
    const auto began = Clock::now();
    const ReplayCount count = replayTo(target);
    pictureMs_ = frameMs(target);
    pictureFrame_ = target;
    platform::soundSeek(samplesAt(pictureMs_));
    anchorMs_ = pictureMs_;
    anchorWall_ = Clock::now();
    char took[96];
    std::snprintf(took, sizeof took, " in %.2f s, %ld of %ld frames drawn",
                  millisecondsSince(began) / 1000.0, count.drawn, count.frames);
    say(std::string(why) + " " + where() + took);
    if (!paused_) {
        platform::soundHold(false);
    }
}

Player::ReplayCount Player::replayTo(long target) {
    const int k = schedule_.segmentOf(target);
    segments::rewindSegment(k);
    clock_.milliseconds = frameMs(schedule_.handover(k));
    timeline::jumpToSegment(k);
    const auto deadline = Clock::now() + std::chrono::duration<double, std::milli>(kSeekBudgetMs);
    long frame = schedule_.firstFrame(k);
    ReplayCount count{0, target - frame + 1};
    while (frame <= target) {
        const double left =
            std::chrono::duration<double, std::milli>(deadline - Clock::now()).count();
        double& cost = replayFrameMs_[static_cast<std::size_t>(k - 1)];
        const auto affordable = static_cast<long>(std::max(0.0, left) / cost);
        const ReplayPlan plan = planReplay(target - frame + 1, affordable, kMaxTrailFrames);
        const long trailStart = target - plan.tail + 1;
        const auto began = Clock::now();
        drawFrameAt(frameMs(frame));
        glFinish(); // so that the cost measured is the frame's, not a queue's
        // Quick to believe a dearer frame, slow to trust a cheaper one: the
        // deadline matters more than drawing every affordable frame.
        const double spent = millisecondsSince(began);
        cost = std::max(spent, 0.5 * (cost + spent));
        frame = frame < trailStart ? std::min(frame + plan.stride, trailStart) : frame + 1;
        ++count.drawn;
    }
    return count;
}

void Player::drawLiveFrame(double ms) {
    const auto now = Clock::now();
    const double sinceLast = std::chrono::duration<double>(now - lastLiveFrame_).count();
    lastLiveFrame_ = now;
    if (sinceLast > 0.0 && sinceLast < 1.0) {
        const double rate = 1.0 / sinceLast;
        framesPerSecond_ = framesPerSecond_ == 0.0 ? rate : 0.9 * framesPerSecond_ + 0.1 * rate;
    }
    drawFrameAt(ms);
}

void Player::drawFrameAt(double ms) {
    const auto began = Clock::now();
    clock_.milliseconds = ms;
    timeline::runFrame();
    frameWallMs_ = millisecondsSince(began);
}

void Player::stepForward() {
    if (!pictureFrame_) {
        seek(frameAfter(pictureMs_), "step to");
        return;
    }
    const long next = *pictureFrame_ + 1;
    if (next > schedule_.lastFrame()) {
        return;
    }
    const long target = schedule_.drawingFrame(next);
    for (long frame = next; frame <= target; ++frame) {
        drawFrameAt(frameMs(frame)); // a handover frame draws no Segment: one more
    }
    pictureFrame_ = target;
    pictureMs_ = frameMs(target);
    platform::soundSeek(samplesAt(pictureMs_));
    say("step to " + where());
}

void Player::stepBack() {
    long target = pictureFrame_ ? *pictureFrame_ - 1 : frameBefore(pictureMs_);
    if (target >= 0 && schedule_.drawingFrame(target) != target) {
        --target; // over the handover frame, which draws no Segment
    }
    if (target >= 0) {
        seek(target, "step to");
    }
}

void Player::pause() {
    paused_ = true;
    platform::soundHold(true);
    say("paused at " + where());
}

void Player::resume() {
    paused_ = false;
    platform::soundSeek(samplesAt(pictureMs_));
    anchorMs_ = pictureMs_;
    anchorWall_ = Clock::now();
    platform::soundHold(false);
    say("playing from " + where());
}

void Player::toggleLoop() {
    if (loop_) {
        loop_.reset();
        loopSegment_ = 0;
        say("loop off");
        return;
    }
    if (loopOption_) {
        loop_ = loopOption_;
        loopSegment_ = 0;
    } else {
        loopSegment_ = shownSegment();
        loop_ = LoopRange{frameMs(schedule_.firstFrame(loopSegment_)) / 1000.0,
                          frameMs(schedule_.handover(loopSegment_ + 1)) / 1000.0};
    }
    char range[96];
    std::snprintf(range, sizeof range, "loop %.3f s to %.3f s", loop_->from, loop_->to);
    say(range);
    const double ms = pictureMs_;
    if (ms < loop_->from * 1000.0 || ms >= loop_->to * 1000.0) {
        seek(frameNear(loop_->from * 1000.0), "loop to");
    }
}

void Player::playOn() {
    const double ms = playingMs();
    if (loop_ && ms >= loop_->to * 1000.0) {
        seek(frameNear(loop_->from * 1000.0), "loop to");
        return;
    }
    const long last = schedule_.lastFrame();
    if (ms >= frameMs(last)) {
        seek(last, "end at");
        pause();
        return;
    }
    if (ms <= pictureMs_) {
        return; // the clock has not moved on since the last frame
    }
    drawLiveFrame(ms);
    pictureMs_ = ms;
    pictureFrame_.reset();
    if (loopSegment_ != 0 && timeline::segmentIndex != loopSegment_) {
        // The Segment ended a little before the grid says: wrap now, before
        // a frame of the next one shows.
        seek(schedule_.firstFrame(loopSegment_), "loop to");
    } else if (timeline::segmentIndex == timeline::kEndIndex) {
        seek(last, "end at");
        pause();
    }
}

void Player::show() {
    if (!overlay_) {
        platform::swapWindow();
        return;
    }
    FrameFacts facts;
    facts.seconds = pictureMs_ / 1000.0;
    facts.globalTime = timeline::globalTime;
    facts.segment = shownSegment();
    const timing::SegmentClock& clock = timing::segmentClock(facts.segment);
    facts.segmentTime = timeline::localTime + (clock.passesCopy ? clock.offset : 0.0);
    facts.cue = timeline::frameCue;
    facts.framesPerSecond = framesPerSecond_;
    facts.frameMs = frameWallMs_;
    facts.state = stateText();
    const std::vector<std::string> lines = overlayLines(facts);
    platform::swapWindowDrawingOver([&] { drawOverlay(lines); });
}

void Player::writeScreenshot() const {
    std::vector<std::uint8_t> rgb;
    platform::readPicture(rgb);
    char name[64];
    std::snprintf(name, sizeof name, "hlv-view-%07.3f.png", pictureMs_ / 1000.0);
    if (!capture::writePng(name, rgb)) {
        std::fprintf(stderr, "hlv-view: cannot write %s\n", name);
        return;
    }
    say(std::string("wrote ") + name + " at " + where());
}

double Player::playingMs() const {
    if (music_) {
        return platform::devicePosition() * 1000.0 / platform::kSampleRate;
    }
    return anchorMs_ +
           std::chrono::duration<double, std::milli>(Clock::now() - anchorWall_).count();
}

int Player::shownSegment() const {
    return std::clamp(static_cast<int>(timeline::segmentIndex), 1, kSegments);
}

std::string Player::where() const {
    std::string text = seconds(pictureMs_) + " (segment " + std::to_string(shownSegment());
    if (pictureFrame_) {
        text += ", frame " + std::to_string(*pictureFrame_);
    }
    return text + ")";
}

std::string Player::stateText() const {
    std::string text = paused_ ? "paused" : "playing";
    if (loop_) {
        char range[64];
        std::snprintf(range, sizeof range, "  loop %.2f-%.2f", loop_->from, loop_->to);
        text += range;
    }
    return music_ ? text : text + "  music off";
}

} // namespace view
