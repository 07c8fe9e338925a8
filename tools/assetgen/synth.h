// A small offline synthesiser for the soundtrack: instruments that add one
// note each into a mix, and the effects and master chain run over the whole
// track. Everything is deterministic (fixed seeds, no threads).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace assetgen::synth {

inline constexpr double kRate = 44100.0;

struct StereoBuffer {
    std::vector<float> left;
    std::vector<float> right;
    explicit StereoBuffer(std::size_t frames) : left(frames), right(frames) {}
    std::size_t frames() const { return left.size(); }
};

// The dry mix and the two effect sends every voice may feed.
struct Mix {
    StereoBuffer dry;
    std::vector<float> delaySend;
    std::vector<float> reverbSend;
    explicit Mix(std::size_t frames) : dry(frames), delaySend(frames), reverbSend(frames) {}
};

enum class Instrument {
    Kick,
    Snare,
    Hat,
    OpenHat,
    Crash,
    Swell, // reversed cymbal that ends at start + length
    Boom,  // low impact under a hit
    Bass,
    Pad,
    Arp,
    Lead,
    Bell,
};

struct Note {
    Instrument instrument;
    double start;   // seconds
    double length;  // seconds the note is held
    double pitch;   // MIDI note number (drums: tuning factor)
    float velocity; // 0..1
    float pan;      // -1 left .. 1 right
    float tone;     // brightness: filter cutoff in Hz where the voice has one
};

// Adds one note (and its release tail) into the mix.
void renderNote(Mix& mix, const Note& note);

// Adds every buffer of `from` into `into`.
void addMix(Mix& into, const Mix& from);

// Lowers the dry mix under every kick, so pads and bass breathe with the beat.
void duckUnderKicks(StereoBuffer& dry, const std::vector<double>& kickTimes);

// Effect returns added onto the dry mix.
void addPingPongDelay(const std::vector<float>& send, StereoBuffer& out, double seconds,
                      float feedback);
void addReverb(const std::vector<float>& send, StereoBuffer& out);

// Plays the mix backwards inside centre +- halfWidth seconds, with short
// crossfades at both edges.
void mirrorAround(StereoBuffer& mix, double centre, double halfWidth);

// Master chain: DC removal, fade-out to silence at the end, and a
// look-ahead peak limiter that keeps every sample within +-ceiling.
void removeDc(StereoBuffer& mix);
void fadeOut(StereoBuffer& mix, double from, double to);
void limitPeaks(StereoBuffer& mix, float ceiling);

} // namespace assetgen::synth
