#include "synth.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <numbers>

namespace assetgen::synth {
namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

double midiHz(double pitch) {
    return 440.0 * std::exp2((pitch - 69.0) / 12.0);
}

std::size_t toFrame(double seconds) {
    return seconds <= 0.0 ? 0 : static_cast<std::size_t>(std::lround(seconds * kRate));
}

// White noise from a per-voice seed, in [-1, 1).
class Noise {
public:
    explicit Noise(std::uint32_t seed) : state_(seed ? seed : 0x2545F491u) {}
    float next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return static_cast<float>(state_) * (2.0f / 4294967296.0f) - 1.0f;
    }

private:
    std::uint32_t state_;
};

// Removes the aliasing step of a naive sawtooth at its wrap.
double polyBlep(double phase, double inc) {
    if (phase < inc) {
        const double x = phase / inc;
        return x + x - x * x - 1.0;
    }
    if (phase > 1.0 - inc) {
        const double x = (phase - 1.0) / inc;
        return x * x + x + x + 1.0;
    }
    return 0.0;
}

class Saw {
public:
    explicit Saw(double phase = 0.0) : phase_(phase) {}
    float next(double hz) {
        const double inc = hz / kRate;
        const double value = 2.0 * phase_ - 1.0 - polyBlep(phase_, inc);
        phase_ += inc;
        if (phase_ >= 1.0) {
            phase_ -= 1.0;
        }
        return static_cast<float>(value);
    }

private:
    double phase_;
};

// Pulse of a given width as the difference of two band-limited saws.
class Pulse {
public:
    explicit Pulse(double width) : a_(0.0), b_(width) {}
    float next(double hz) { return 0.5f * (a_.next(hz) - b_.next(hz)); }

private:
    Saw a_;
    Saw b_;
};

class Sine {
public:
    float next(double hz) {
        const double value = std::sin(kTwoPi * phase_);
        phase_ += hz / kRate;
        phase_ -= std::floor(phase_);
        return static_cast<float>(value);
    }

private:
    double phase_ = 0.0;
};

// Zero-delay-feedback state-variable filter (trapezoidal integration), so
// cutoff sweeps stay stable and free of zipper noise.
class Svf {
public:
    struct Out {
        float low, band, high;
    };
    void tune(double cutoffHz, double q) {
        const double fc = std::clamp(cutoffHz, 20.0, 0.45 * kRate);
        const double g = std::tan(std::numbers::pi * fc / kRate);
        k_ = 1.0 / q;
        a1_ = 1.0 / (1.0 + g * (g + k_));
        a2_ = g * a1_;
        a3_ = g * a2_;
    }
    Out process(float in) {
        const double v3 = in - ic2_;
        const double v1 = a1_ * ic1_ + a2_ * v3;
        const double v2 = ic2_ + a2_ * ic1_ + a3_ * v3;
        ic1_ = 2.0 * v1 - ic1_;
        ic2_ = 2.0 * v2 - ic2_;
        return {static_cast<float>(v2), static_cast<float>(v1),
                static_cast<float>(in - k_ * v1 - v2)};
    }

private:
    double k_ = 1.0, a1_ = 0.0, a2_ = 0.0, a3_ = 0.0;
    double ic1_ = 0.0, ic2_ = 0.0;
};

// Filters are retuned every few samples; cheaper than per sample and inaudible.
constexpr int kTuneEvery = 16;

// Attack-decay-sustain-release. The attack is a ramp from zero and the
// release a quadratic fall that lands on zero with zero slope: no step at
// either edge of a note.
struct Adsr {
    double attack, decay, sustain, release;
};

class Envelope {
public:
    Envelope(const Adsr& shape, double held)
        : attackStep_(1.0 / std::max(1.0, shape.attack * kRate)),
          decayMul_(std::exp(-1.0 / std::max(1.0, shape.decay * kRate))), sustain_(shape.sustain),
          heldFrames_(toFrame(held)),
          releaseFrames_(std::max<std::size_t>(1, toFrame(shape.release))) {}

    std::size_t frames() const { return heldFrames_ + releaseFrames_; }

    float next() {
        if (n_ < heldFrames_) {
            if (attacking_) {
                level_ += attackStep_;
                if (level_ >= 1.0) {
                    level_ = 1.0;
                    attacking_ = false;
                }
            } else {
                level_ = sustain_ + (level_ - sustain_) * decayMul_;
            }
            releaseFrom_ = level_;
            ++n_;
            return static_cast<float>(level_);
        }
        const double x = static_cast<double>(n_ - heldFrames_) / releaseFrames_;
        ++n_;
        if (x >= 1.0) {
            return 0.0f;
        }
        return static_cast<float>(releaseFrom_ * (1.0 - x) * (1.0 - x));
    }

private:
    double attackStep_, decayMul_, sustain_;
    std::size_t heldFrames_, releaseFrames_;
    std::size_t n_ = 0;
    double level_ = 0.0;
    double releaseFrom_ = 0.0;
    bool attacking_ = true;
};

// Percussive shape: short ramp in, exponential fall, smooth fade over the
// last part so a hit never stops on a step.
class Hit {
public:
    Hit(double attack, double decayRate, double length)
        : attackFrames_(std::max(1.0, attack * kRate)), mul_(std::exp(-decayRate / kRate)),
          frames_(toFrame(length)) {}
    std::size_t frames() const { return frames_; }
    float next() {
        const double n = static_cast<double>(n_++);
        level_ *= mul_;
        double gain = std::min(1.0, n / attackFrames_) * level_;
        const double fadeFrames = 0.25 * static_cast<double>(frames_);
        const double left = static_cast<double>(frames_) - n;
        if (left < fadeFrames) {
            const double x = std::max(0.0, left / fadeFrames);
            gain *= x * x;
        }
        return static_cast<float>(gain);
    }

private:
    double attackFrames_, mul_;
    std::size_t frames_;
    std::size_t n_ = 0;
    double level_ = 1.0;
};

struct Sends {
    float delay = 0.0f;
    float reverb = 0.0f;
};

// Adds `frames` stereo samples from `source(n)` into the mix at `start`.
template <class Source>
void addVoice(Mix& mix, double start, std::size_t frames, Sends sends, Source&& source) {
    const std::size_t first = toFrame(start);
    const std::size_t last = std::min(mix.dry.frames(), first + frames);
    for (std::size_t i = first; i < last; ++i) {
        const auto [l, r] = source(i - first);
        mix.dry.left[i] += l;
        mix.dry.right[i] += r;
        const float mono = 0.5f * (l + r);
        mix.delaySend[i] += sends.delay * mono;
        mix.reverbSend[i] += sends.reverb * mono;
    }
}

struct Frame {
    float l, r;
};

// Constant-power pan of a mono value.
struct Panner {
    float gl, gr;
    explicit Panner(float pan)
        : gl(static_cast<float>(std::cos((pan + 1.0) * std::numbers::pi / 4.0))),
          gr(static_cast<float>(std::sin((pan + 1.0) * std::numbers::pi / 4.0))) {}
    Frame operator()(float v) const { return {v * gl, v * gr}; }
};

std::uint32_t seedOf(const Note& note, std::uint32_t salt) {
    return static_cast<std::uint32_t>(toFrame(note.start)) * 2654435761u ^ salt;
}

void renderKick(Mix& mix, const Note& note) {
    Hit amp(0.0008, 5.5, 0.45);
    Sine osc;
    const Panner pan(0.0f);
    const float gain = 0.5f * note.velocity;
    const double sweepMul = std::exp(-30.0 / kRate);
    double sweep = 1.0;
    addVoice(mix, note.start, amp.frames(), {0.0f, 0.02f}, [&](std::size_t) {
        const double hz = 46.0 + 115.0 * sweep;
        sweep *= sweepMul;
        const float body = std::tanh(1.6f * osc.next(hz)) / std::tanh(1.6f);
        return pan(gain * amp.next() * body);
    });
}

void renderSnare(Mix& mix, const Note& note) {
    Hit bodyAmp(0.001, 20.0, 0.3);
    Hit noiseAmp(0.001, 13.0, 0.3);
    Sine body;
    Noise noise(seedOf(note, 0x5A5A));
    Svf band;
    band.tune(2800.0 * note.pitch, 0.8);
    const Panner pan(note.pan);
    const float gain = 0.5f * note.velocity;
    addVoice(mix, note.start, bodyAmp.frames(), {0.0f, 0.18f}, [&](std::size_t n) {
        const double t = n / kRate;
        const double hz = 185.0 * note.pitch * (1.0 + 0.35 * std::exp(-t * 40.0));
        const Svf::Out f = band.process(noise.next());
        const float v = 0.55f * bodyAmp.next() * body.next(hz) +
                        noiseAmp.next() * (0.9f * f.band + 0.25f * f.high);
        return pan(gain * v);
    });
}

void renderHat(Mix& mix, const Note& note, bool open) {
    Hit amp(0.0005, open ? 7.0 : 42.0, open ? 0.55 : 0.14);
    Noise noise(seedOf(note, open ? 0x0FE1u : 0xC105u));
    Svf high;
    high.tune(7500.0, 0.9);
    const Panner pan(note.pan);
    const float gain = (open ? 0.15f : 0.18f) * note.velocity;
    addVoice(mix, note.start, amp.frames(), {0.0f, 0.05f},
             [&](std::size_t) { return pan(gain * amp.next() * high.process(noise.next()).high); });
}

void renderCrash(Mix& mix, const Note& note) {
    Hit amp(0.002, 1.3, 3.2);
    Noise noiseL(seedOf(note, 0xC4A5u)), noiseR(seedOf(note, 0xC4A6u));
    Svf highL, highR;
    highL.tune(4800.0, 0.7);
    highR.tune(5200.0, 0.7);
    const float gain = 0.16f * note.velocity;
    addVoice(mix, note.start, amp.frames(), {0.0f, 0.25f}, [&](std::size_t) {
        const float a = gain * amp.next();
        return Frame{a * highL.process(noiseL.next()).high, a * highR.process(noiseR.next()).high};
    });
}

// Rises as the cube of time and ends with a short fade on `start + length`.
void renderSwell(Mix& mix, const Note& note) {
    const std::size_t frames = toFrame(note.length);
    const std::size_t fade = toFrame(0.03);
    Noise noiseL(seedOf(note, 0x5E11u)), noiseR(seedOf(note, 0x5E12u));
    Svf bandL, bandR;
    const float gain = 0.13f * note.velocity;
    addVoice(mix, note.start, frames, {0.0f, 0.3f}, [&](std::size_t n) {
        const double x = static_cast<double>(n) / frames;
        if (n % kTuneEvery == 0) {
            bandL.tune(900.0 + 7000.0 * x * x, 0.9);
            bandR.tune(1000.0 + 7200.0 * x * x, 0.9);
        }
        double a = gain * x * x * x;
        if (n + fade > frames) {
            const double y = static_cast<double>(frames - n) / fade;
            a *= y * y;
        }
        return Frame{static_cast<float>(a) * bandL.process(noiseL.next()).band,
                     static_cast<float>(a) * bandR.process(noiseR.next()).band};
    });
}

void renderBoom(Mix& mix, const Note& note) {
    Hit amp(0.002, 2.2, 2.0);
    Sine osc;
    Noise noise(seedOf(note, 0xB00Au));
    Svf low;
    low.tune(180.0, 0.7);
    const Panner pan(0.0f);
    const float gain = 0.5f * note.velocity;
    addVoice(mix, note.start, amp.frames(), {0.0f, 0.3f}, [&](std::size_t n) {
        const double t = n / kRate;
        const double hz = 38.0 + 70.0 * std::exp(-t * 9.0);
        const float v = 0.8f * osc.next(hz) + 0.6f * low.process(noise.next()).low;
        return pan(gain * amp.next() * v);
    });
}

void renderBass(Mix& mix, const Note& note) {
    Envelope amp({0.004, 0.25, 0.75, 0.05}, note.length);
    Saw saw;
    Sine sub;
    Svf low;
    const double hz = midiHz(note.pitch);
    const Panner pan(0.0f);
    const float gain = 0.2f * note.velocity;
    addVoice(mix, note.start, amp.frames(), {0.0f, 0.02f}, [&](std::size_t n) {
        if (n % kTuneEvery == 0) {
            const double t = n / kRate;
            low.tune(note.tone * (1.0 + 3.0 * std::exp(-t * 14.0)), 1.1);
        }
        const float raw = 0.7f * saw.next(hz) + 0.8f * sub.next(hz);
        return pan(gain * amp.next() * std::tanh(1.3f * low.process(raw).low));
    });
}

// Three detuned saws per side, slowly breathing filter: a wide, soft pad.
void renderPad(Mix& mix, const Note& note) {
    Envelope amp({0.6, 1.2, 0.8, 1.3}, note.length);
    Noise phases(seedOf(note, 0xFADu));
    Saw sawsL[3] = {Saw(0.5 + 0.5 * phases.next()), Saw(0.5 + 0.5 * phases.next()),
                    Saw(0.5 + 0.5 * phases.next())};
    Saw sawsR[3] = {Saw(0.5 + 0.5 * phases.next()), Saw(0.5 + 0.5 * phases.next()),
                    Saw(0.5 + 0.5 * phases.next())};
    const double hz = midiHz(note.pitch);
    const double detuneL[3] = {-0.0052, 0.0011, 0.0064};
    const double detuneR[3] = {-0.0061, -0.0013, 0.0047};
    Svf lowL, lowR;
    const double lfoRate = 0.13 + 0.02 * (static_cast<int>(note.pitch) % 5);
    const float gain = 0.045f * note.velocity;
    const float spread = 0.35f * note.pan;
    addVoice(mix, note.start, amp.frames(), {0.05f, 0.35f}, [&](std::size_t n) {
        if (n % kTuneEvery == 0) {
            const double t = n / kRate + note.start;
            const double lfo = std::sin(kTwoPi * lfoRate * t);
            lowL.tune(note.tone * (1.0 + 0.18 * lfo), 0.75);
            lowR.tune(note.tone * (1.0 - 0.18 * lfo), 0.75);
        }
        float l = 0.0f, r = 0.0f;
        for (int i = 0; i < 3; ++i) {
            l += sawsL[i].next(hz * (1.0 + detuneL[i]));
            r += sawsR[i].next(hz * (1.0 + detuneR[i]));
        }
        const float a = gain * amp.next();
        return Frame{a * (1.0f - spread) * lowL.process(l).low,
                     a * (1.0f + spread) * lowR.process(r).low};
    });
}

void renderArp(Mix& mix, const Note& note) {
    Envelope amp({0.002, 0.12, 0.25, 0.08}, note.length);
    Pulse osc(0.3);
    Svf low;
    const double hz = midiHz(note.pitch);
    const Panner pan(note.pan);
    const float gain = 0.2f * note.velocity;
    addVoice(mix, note.start, amp.frames(), {0.32f, 0.15f}, [&](std::size_t n) {
        if (n % kTuneEvery == 0) {
            const double t = n / kRate;
            low.tune(300.0 + note.tone * std::exp(-t * 16.0), 1.4);
        }
        return pan(gain * amp.next() * low.process(osc.next(hz)).low);
    });
}

// Two detuned saws with a delayed vibrato: the singing lead.
void renderLead(Mix& mix, const Note& note) {
    Envelope amp({0.015, 0.35, 0.7, 0.22}, note.length);
    Saw a(0.0), b(0.37);
    Svf low;
    const double hz = midiHz(note.pitch);
    const Panner pan(note.pan);
    const float gain = 0.11f * note.velocity;
    addVoice(mix, note.start, amp.frames(), {0.28f, 0.3f}, [&](std::size_t n) {
        const double t = n / kRate;
        const double depth = 0.004 * std::clamp((t - 0.25) / 0.4, 0.0, 1.0);
        const double vib = 1.0 + depth * std::sin(kTwoPi * 5.2 * t);
        if (n % kTuneEvery == 0) {
            low.tune(note.tone * (1.0 + 1.5 * std::exp(-t * 8.0)), 0.9);
        }
        const float raw = a.next(hz * vib * 1.003) + b.next(hz * vib * 0.997);
        return pan(gain * amp.next() * low.process(raw).low);
    });
}

// Two-operator FM bell; the modulation index falls faster than the level.
void renderBell(Mix& mix, const Note& note) {
    Hit amp(0.002, 2.4, 2.2);
    const double hz = midiHz(note.pitch);
    double carrier = 0.0, modulator = 0.0;
    const Panner pan(note.pan);
    const float gain = 0.09f * note.velocity;
    addVoice(mix, note.start, amp.frames(), {0.3f, 0.4f}, [&](std::size_t n) {
        const double t = n / kRate;
        const double index = 1.8 * std::exp(-t * 7.0);
        const double v = std::sin(kTwoPi * carrier + index * std::sin(kTwoPi * modulator));
        carrier += hz / kRate;
        modulator += 3.5 * hz / kRate;
        carrier -= std::floor(carrier);
        modulator -= std::floor(modulator);
        return pan(gain * amp.next() * static_cast<float>(v));
    });
}

// Lowpassed feedback comb for the reverb.
class Comb {
public:
    explicit Comb(std::size_t length) : line_(length) {}
    float process(float in) {
        const float out = line_[pos_];
        store_ = out * 0.75f + store_ * 0.25f;
        line_[pos_] = in + store_ * 0.83f;
        pos_ = (pos_ + 1) % line_.size();
        return out;
    }

private:
    std::vector<float> line_;
    std::size_t pos_ = 0;
    float store_ = 0.0f;
};

class Allpass {
public:
    explicit Allpass(std::size_t length) : line_(length) {}
    float process(float in) {
        const float delayed = line_[pos_];
        line_[pos_] = in + delayed * 0.5f;
        pos_ = (pos_ + 1) % line_.size();
        return delayed - in;
    }

private:
    std::vector<float> line_;
    std::size_t pos_ = 0;
};

struct ReverbChannel {
    Comb combs[4];
    Allpass passes[2];
    explicit ReverbChannel(std::size_t spread)
        : combs{Comb(1557 + spread), Comb(1617 + spread), Comb(1491 + spread), Comb(1422 + spread)},
          passes{Allpass(556 + spread), Allpass(441 + spread)} {}
    float process(float in) {
        float sum = 0.0f;
        for (Comb& c : combs) {
            sum += c.process(in);
        }
        for (Allpass& a : passes) {
            sum = a.process(sum);
        }
        return sum;
    }
};

} // namespace

void renderNote(Mix& mix, const Note& note) {
    switch (note.instrument) {
    case Instrument::Kick:
        renderKick(mix, note);
        break;
    case Instrument::Snare:
        renderSnare(mix, note);
        break;
    case Instrument::Hat:
        renderHat(mix, note, false);
        break;
    case Instrument::OpenHat:
        renderHat(mix, note, true);
        break;
    case Instrument::Crash:
        renderCrash(mix, note);
        break;
    case Instrument::Swell:
        renderSwell(mix, note);
        break;
    case Instrument::Boom:
        renderBoom(mix, note);
        break;
    case Instrument::Bass:
        renderBass(mix, note);
        break;
    case Instrument::Pad:
        renderPad(mix, note);
        break;
    case Instrument::Arp:
        renderArp(mix, note);
        break;
    case Instrument::Lead:
        renderLead(mix, note);
        break;
    case Instrument::Bell:
        renderBell(mix, note);
        break;
    }
}

void addMix(Mix& into, const Mix& from) {
    const auto add = [](std::vector<float>& a, const std::vector<float>& b) {
        for (std::size_t i = 0; i < a.size(); ++i) {
            a[i] += b[i];
        }
    };
    add(into.dry.left, from.dry.left);
    add(into.dry.right, from.dry.right);
    add(into.delaySend, from.delaySend);
    add(into.reverbSend, from.reverbSend);
}

void duckUnderKicks(StereoBuffer& dry, const std::vector<double>& kickTimes) {
    const double depth = 0.45;
    const double attack = 0.004; // the dip itself is ramped, not stepped
    const double recover = 0.16;
    for (const double kick : kickTimes) {
        const std::size_t first = toFrame(kick);
        const std::size_t frames = toFrame(attack + recover);
        for (std::size_t n = 0; n < frames && first + n < dry.frames(); ++n) {
            const double t = n / kRate;
            const double dip = t < attack ? t / attack : 1.0 - (t - attack) / recover;
            const float gain =
                static_cast<float>(1.0 - depth * std::sin(dip * std::numbers::pi / 2));
            dry.left[first + n] *= gain;
            dry.right[first + n] *= gain;
        }
    }
}

void addPingPongDelay(const std::vector<float>& send, StereoBuffer& out, double seconds,
                      float feedback) {
    const std::size_t length = toFrame(seconds);
    std::vector<float> lineL(length), lineR(length);
    float dampL = 0.0f, dampR = 0.0f;
    std::size_t pos = 0;
    for (std::size_t i = 0; i < out.frames(); ++i) {
        const float yl = lineL[pos];
        const float yr = lineR[pos];
        dampL += 0.35f * (yl - dampL);
        dampR += 0.35f * (yr - dampR);
        lineL[pos] = send[i] + feedback * dampR;
        lineR[pos] = feedback * dampL;
        out.left[i] += 0.5f * yl;
        out.right[i] += 0.5f * yr;
        pos = (pos + 1) % length;
    }
}

void addReverb(const std::vector<float>& send, StereoBuffer& out) {
    ReverbChannel left(0), right(23);
    const float input = 0.06f;
    for (std::size_t i = 0; i < out.frames(); ++i) {
        const float in = input * send[i];
        out.left[i] += left.process(in);
        out.right[i] += right.process(in);
    }
}

void mirrorAround(StereoBuffer& mix, double centre, double halfWidth) {
    const std::ptrdiff_t c = static_cast<std::ptrdiff_t>(toFrame(centre));
    const std::ptrdiff_t w = static_cast<std::ptrdiff_t>(toFrame(halfWidth));
    const std::ptrdiff_t fade = static_cast<std::ptrdiff_t>(toFrame(0.015));
    const StereoBuffer original = [&] {
        StereoBuffer copy(static_cast<std::size_t>(2 * w + 1));
        for (std::ptrdiff_t x = -w; x <= w; ++x) {
            copy.left[x + w] = mix.left[c + x];
            copy.right[x + w] = mix.right[c + x];
        }
        return copy;
    }();
    for (std::ptrdiff_t x = -w; x <= w; ++x) {
        const std::ptrdiff_t edge = std::min(x + w, w - x);
        const double blend =
            edge >= fade ? 1.0 : 0.5 - 0.5 * std::cos(std::numbers::pi * edge / fade);
        const float b = static_cast<float>(blend);
        mix.left[c + x] = b * original.left[w - x] + (1.0f - b) * original.left[w + x];
        mix.right[c + x] = b * original.right[w - x] + (1.0f - b) * original.right[w + x];
    }
}

void removeDc(StereoBuffer& mix) {
    // First-order high-pass at about 5 Hz.
    const float pole = static_cast<float>(std::exp(-kTwoPi * 5.0 / kRate));
    for (std::vector<float>* channel : {&mix.left, &mix.right}) {
        float previousIn = 0.0f, previousOut = 0.0f;
        for (float& s : *channel) {
            const float out = s - previousIn + pole * previousOut;
            previousIn = s;
            previousOut = out;
            s = out;
        }
    }
}

void fadeOut(StereoBuffer& mix, double from, double to) {
    const std::size_t first = toFrame(from);
    const std::size_t last = toFrame(to);
    for (std::size_t i = first; i < mix.frames(); ++i) {
        const double x = i >= last ? 1.0 : static_cast<double>(i - first) / (last - first);
        const float gain = static_cast<float>(0.5 + 0.5 * std::cos(std::numbers::pi * x));
        mix.left[i] *= gain;
        mix.right[i] *= gain;
    }
}

void limitPeaks(StereoBuffer& mix, float ceiling) {
    const std::size_t n = mix.frames();
    const std::size_t window = toFrame(0.005);
    // Gain each sample needs on its own.
    std::vector<float> need(n);
    for (std::size_t i = 0; i < n; ++i) {
        const float peak = std::max(std::abs(mix.left[i]), std::abs(mix.right[i]));
        need[i] = peak > ceiling ? ceiling / peak : 1.0f;
    }
    // Minimum over the next `window` samples (monotonic queue), then a box
    // average over the previous `window`: the gain is already down at every
    // peak and moves there as a ramp, not a step.
    std::vector<float> ahead(n);
    std::deque<std::size_t> queue;
    for (std::size_t i = n; i-- > 0;) {
        while (!queue.empty() && need[queue.back()] >= need[i]) {
            queue.pop_back();
        }
        queue.push_back(i);
        while (queue.front() >= i + window) {
            queue.pop_front();
        }
        ahead[i] = need[queue.front()];
    }
    double sum = 0.0;
    float gain = 1.0f;
    const float release = static_cast<float>(1.0 - std::exp(-1.0 / (0.08 * kRate)));
    for (std::size_t i = 0; i < n; ++i) {
        sum += ahead[i];
        if (i >= window) {
            sum -= ahead[i - window];
        }
        const float smooth = static_cast<float>(sum / static_cast<double>(std::min(i + 1, window)));
        gain = smooth < gain ? smooth : gain + release * (smooth - gain);
        mix.left[i] *= gain;
        mix.right[i] *= gain;
    }
}

} // namespace assetgen::synth
