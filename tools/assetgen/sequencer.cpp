#include "sequencer.h"

#include "assetgen.h"
#include "timing.h"

#include <algorithm>
#include <array>
#include <span>

namespace assetgen {
namespace {

using synth::Instrument;
using synth::Note;

struct Chord {
    int root; // MIDI pitch of the root in the bass's octave
    bool minor;
};

constexpr Chord kAm{45, true}, kF{41, false}, kC{48, false}, kG{43, false}, kEm{40, true},
    kDm{38, true};

using Progression = std::array<Chord, 4>;
constexpr Progression kHome{kAm, kF, kC, kG};  // i VI III VII
constexpr Progression kRise{kF, kG, kEm, kAm}; // the lead's progression
constexpr Progression kDream{kAm, kEm, kF, kC};
constexpr Progression kNight{kDm, kF, kC, kAm};

// Moves a pitch by octaves into [low, low + 12).
int placeIn(int pitch, int low) {
    while (pitch < low) {
        pitch += 12;
    }
    while (pitch >= low + 12) {
        pitch -= 12;
    }
    return pitch;
}

std::array<int, 3> triad(Chord c) {
    return {c.root, c.root + (c.minor ? 3 : 4), c.root + 7};
}

// Arpeggio tones: the triad over two octaves, low to high.
std::array<int, 6> arpTones(Chord c) {
    std::array<int, 3> t = triad(c);
    for (int& p : t) {
        p = placeIn(p, 57);
    }
    std::sort(t.begin(), t.end());
    return {t[0], t[1], t[2], t[0] + 12, t[1] + 12, t[2] + 12};
}

struct Step {
    int step;
    int length;
    int pitch; // bass: 0 root, 12 octave; lead: absolute MIDI
};

// Bass figures over one bar, in sixteenths.
constexpr std::array<Step, 4> kBassOffbeat{{{2, 2, 0}, {6, 2, 0}, {10, 2, 0}, {14, 2, 0}}};
constexpr std::array<Step, 8> kBassDriving{
    {{0, 2, 0}, {2, 2, 0}, {4, 2, 0}, {6, 2, 12}, {8, 2, 0}, {10, 2, 0}, {12, 2, 0}, {14, 2, 12}}};
constexpr std::array<Step, 5> kBassSyncopated{
    {{0, 3, 0}, {3, 3, 0}, {6, 2, 12}, {10, 2, 0}, {12, 4, 0}}};
constexpr std::array<Step, 1> kBassWhole{{{0, 16, 0}}};

// Arpeggio index sequences over one bar into arpTones().
constexpr std::array<int, 16> kArpClimb{0, 1, 2, 3, 1, 2, 3, 4, 2, 3, 4, 5, 3, 4, 5, 4};
constexpr std::array<int, 16> kArpFall{5, 3, 4, 2, 3, 1, 2, 0, 5, 3, 4, 2, 3, 1, 2, 0};
constexpr std::array<int, 16> kArpRock{0, 2, 1, 3, 2, 4, 3, 5, 0, 2, 1, 3, 2, 4, 3, 1};

// Lead phrases over four bars of kRise (F G Em Am), steps from the phrase start.
constexpr Step kLeadCall[] = {{0, 4, 72},  {4, 2, 69},   {6, 2, 72},  {8, 6, 77},
                              {14, 2, 76}, {16, 6, 74},  {22, 2, 71}, {24, 4, 74},
                              {28, 4, 79}, {32, 8, 76},  {40, 2, 74}, {42, 2, 71},
                              {44, 4, 67}, {48, 10, 69}, {58, 2, 72}, {60, 4, 76}};
constexpr Step kLeadAnswer[] = {{0, 4, 81},  {4, 2, 79},  {6, 2, 77},  {8, 4, 76},  {12, 4, 72},
                                {16, 4, 74}, {20, 2, 76}, {22, 2, 74}, {24, 8, 71}, {32, 4, 67},
                                {36, 4, 71}, {40, 4, 76}, {44, 4, 79}, {48, 12, 81}};
// A slow phrase over four bars of kHome (Am F C G).
constexpr Step kLeadSlow[] = {{0, 8, 76},  {8, 8, 72},  {16, 12, 69}, {28, 4, 72},
                              {32, 8, 67}, {40, 8, 76}, {48, 16, 74}};

// The call on odd phrases, the answer on even ones.
std::span<const Step> callOrAnswer(int phrase) {
    if (phrase % 2 == 1) {
        return kLeadCall;
    }
    return kLeadAnswer;
}

struct Drums {
    bool fourKick = false;
    bool halfTime = false; // kick on 1 and the "and" of 3, snare on 3
    bool backbeat = false; // snare on 2 and 4
    bool hats16 = false;
    bool hats8 = false;
    bool openHats = false;
    float level = 1.0f;
};

class Composer {
public:
    std::vector<Note> notes;

    // One bar of a Segment.
    struct Bar {
        int segment;
        int index;
        double time(double step) const { return timing::stepTime(segment, index, step); }
        double step() const { return timing::barSeconds(segment) / 16.0; }
        double seconds() const { return timing::barSeconds(segment); }
    };

    void add(Instrument i, double start, double length, double pitch, float velocity,
             float pan = 0.0f, float tone = 0.0f) {
        notes.push_back({i, start, length, pitch, std::clamp(velocity, 0.0f, 1.0f), pan, tone});
    }

    float humanize(float velocity, float spread = 0.08f) {
        return velocity * static_cast<float>(rng_.uniform(1.0 - spread, 1.0));
    }

    void drums(const Bar& bar, const Drums& d) {
        for (int s = 0; s < 16; ++s) {
            const double t = bar.time(s);
            if ((d.fourKick && s % 4 == 0) || (d.halfTime && (s == 0 || s == 10))) {
                add(Instrument::Kick, t, 0.0, 1.0, humanize(d.level, 0.04));
            }
            if ((d.backbeat && (s == 4 || s == 12)) || (d.halfTime && s == 8)) {
                add(Instrument::Snare, t, 0.0, 1.0, humanize(0.9f * d.level), 0.05f);
            }
            const bool offbeat = s % 4 == 2;
            if (d.openHats && offbeat) {
                add(Instrument::OpenHat, t, 0.0, 1.0, humanize(0.7f * d.level), 0.25f);
            } else if (d.hats16 || (d.hats8 && s % 2 == 0)) {
                const float accent = s % 2 == 0 ? (offbeat ? 0.9f : 0.6f) : 0.4f;
                add(Instrument::Hat, t, 0.0, 1.0, humanize(accent * d.level, 0.2f), 0.3f);
            }
        }
    }

    // A rising snare roll over the last `steps` sixteenths of a bar.
    void snareRoll(const Bar& bar, int steps, float level) {
        for (int s = 16 - steps; s < 16; ++s) {
            const float rise = static_cast<float>(s - (16 - steps) + 1) / steps;
            add(Instrument::Snare, bar.time(s), 0.0, 1.0 + 0.15 * rise,
                level * (0.4f + 0.6f * rise), rise - 0.5f);
        }
    }

    // A reversed cymbal that ends exactly on `end`.
    void swellInto(double end, double length, float velocity) {
        add(Instrument::Swell, end - length, length, 1.0, velocity);
    }

    template <std::size_t N>
    void bass(const Bar& bar, Chord c, const std::array<Step, N>& figure, float level, float tone) {
        const int root = placeIn(c.root, 33);
        for (const Step& s : figure) {
            add(Instrument::Bass, bar.time(s.step), s.length * bar.step() * 0.85, root + s.pitch,
                humanize(level, 0.06f), 0.0f, tone);
        }
    }

    // Root below, triad above; held for `bars` bars, the release overlaps
    // the next chord.
    void pad(const Bar& bar, Chord c, int bars, float level, float cutoff) {
        const double length = bars * bar.seconds();
        add(Instrument::Pad, bar.time(0), length, placeIn(c.root, 48), level, 0.0f, cutoff);
        const std::array<int, 3> t = triad(c);
        const float spread[3] = {-1.0f, 0.3f, 1.0f};
        for (int i = 0; i < 3; ++i) {
            add(Instrument::Pad, bar.time(0), length, placeIn(t[i], 60), level, spread[i], cutoff);
        }
    }

    void arp(const Bar& bar, Chord c, const std::array<int, 16>& pattern, int every, float level,
             float tone) {
        const std::array<int, 6> tones = arpTones(c);
        for (int s = 0; s < 16; s += every) {
            const float pan = (s / every) % 2 == 0 ? -0.45f : 0.45f;
            add(Instrument::Arp, bar.time(s), every * bar.step() * 0.7, tones[pattern[s]],
                humanize(level, 0.12f), pan, tone);
        }
    }

    void lead(const Bar& phraseStart, std::span<const Step> phrase, float level, float tone) {
        for (const Step& s : phrase) {
            add(Instrument::Lead, phraseStart.time(s.step), s.length * phraseStart.step() * 0.92,
                s.pitch, humanize(level, 0.05f), 0.1f, tone);
        }
    }

    // Sparse bell notes on chord tones, two octaves up.
    void bells(const Bar& bar, Chord c, double chance, float level) {
        const std::array<int, 3> t = triad(c);
        for (int s = 0; s < 16; s += 2) {
            if (rng_.uniform() < chance) {
                const int pitch = placeIn(t[rng_.next() % 3], 72) + (rng_.uniform() < 0.3 ? 12 : 0);
                add(Instrument::Bell, bar.time(s), 0.0, pitch, humanize(level, 0.3f),
                    static_cast<float>(rng_.uniform(-0.7, 0.7)));
            }
        }
    }

    // A hit: low boom, crash and kick on the same instant.
    void impact(double time, float level) {
        add(Instrument::Boom, time, 0.0, 1.0, level);
        add(Instrument::Crash, time, 0.0, 1.0, level);
        add(Instrument::Kick, time, 0.0, 1.0, level);
    }

private:
    Random rng_{0x50F7C0DEull};
};

Chord chordAt(const Progression& p, int bar, int barsPerChord = 1) {
    return p[(bar / barsPerChord) % 4];
}

float ramp(int bar, int first, int count, float from, float to) {
    const float x =
        std::clamp(static_cast<float>(bar - first) / std::max(1, count - 1), 0.0f, 1.0f);
    return from + (to - from) * x;
}

// Opening titles: the pad opens up from darkness, bells and the arpeggio join.
void composeOpening(Composer& m) {
    const int bars = timing::kBarsPerSegment[0];
    for (int b = 0; b < bars; ++b) {
        const Composer::Bar bar{1, b};
        const Chord c = chordAt(kHome, b, 2);
        if (b % 2 == 0) {
            m.pad(bar, c, 2, ramp(b, 0, 4, 0.6f, 1.0f), ramp(b, 0, bars, 350.0f, 2200.0f));
        }
        if (b >= 2) {
            m.bells(bar, c, 0.18, 0.5f);
        }
        if (b >= 4 && b % 2 == 0) {
            m.bass(bar, c, std::array<Step, 1>{{{0, 32, 0}}}, 0.7f, 180.0f);
        }
        if (b >= 6) {
            m.arp(bar, c, kArpClimb, 1, ramp(b, 6, 4, 0.35f, 0.7f), ramp(b, 6, 4, 600.0f, 2500.0f));
        }
        if (b >= 8) {
            m.drums(bar, {.hats16 = true, .level = ramp(b, 8, 2, 0.4f, 0.7f)});
        }
    }
    m.swellInto(timing::segmentStart(2), timing::barSeconds(1), 0.9f);
}

// Light tunnel: the beat arrives; the stutters of the picture are snare
// retriggers in the music.
void composeTunnel(Composer& m) {
    const int bars = timing::kBarsPerSegment[1];
    m.add(Instrument::Crash, timing::segmentStart(2), 0.0, 1.0, 0.8f);
    for (int b = 0; b < bars; ++b) {
        const Composer::Bar bar{2, b};
        const Chord c = chordAt(kHome, b);
        const bool last = b == bars - 1;
        m.drums(bar, {.fourKick = !last,
                      .backbeat = b >= 4 && !last,
                      .hats16 = b >= 2,
                      .hats8 = true,
                      .level = 0.9f});
        if (last) {
            m.snareRoll(bar, 16, 0.8f);
        }
        m.bass(bar, c, kBassOffbeat, 0.85f, 380.0f);
        m.pad(bar, c, 1, 0.85f, ramp(b, 0, bars, 1400.0f, 3000.0f));
        m.arp(bar, c, kArpClimb, 1, 0.75f, ramp(b, 0, bars, 1500.0f, 4000.0f));
    }
    for (const timing::Stutter& s : timing::tunnelStutters()) {
        const Composer::Bar bar{2, s.bar};
        for (int i = 0; i < static_cast<int>(s.values.size()); ++i) {
            const double tune = 1.0 + 0.08 * (5 - s.values[i]);
            m.add(Instrument::Snare, bar.time(s.firstStep + i), 0.0, tune, 0.75f, 0.2f * i - 0.4f);
        }
    }
    m.swellInto(timing::segmentStart(3), timing::barSeconds(2), 1.0f);
}

// Butterflies: the first drop with the lead; the blobby surface turns to
// half time with bells.
void composeButterflies(Composer& m) {
    const int bars = timing::kBarsPerSegment[2];
    const int surface = timing::surfaceBar();
    for (int b = 0; b < bars; ++b) {
        const Composer::Bar bar{3, b};
        if (b < surface) {
            const Chord c = chordAt(kRise, b);
            if (b % 8 == 0) {
                m.add(Instrument::Crash, bar.time(0), 0.0, 1.0, 0.9f);
            }
            m.drums(bar, {.fourKick = true, .backbeat = true, .hats16 = true, .openHats = true});
            m.bass(bar, c, kBassDriving, 0.9f, 520.0f);
            m.pad(bar, c, 1, 0.8f, 2600.0f);
            m.arp(bar, c, kArpRock, 1, 0.6f, 3200.0f);
            if (b >= 4 && b % 4 == 0 && b + 4 <= surface) {
                m.lead(bar, callOrAnswer(b / 4), 0.9f, 2600.0f);
            }
            if (b == surface - 1) {
                m.snareRoll(bar, 4, 0.7f);
                m.swellInto(bar.time(16), bar.seconds(), 0.8f);
            }
        } else {
            const Chord c = chordAt(kDream, b - surface);
            if (b == surface) {
                m.add(Instrument::Crash, bar.time(0), 0.0, 1.0, 0.9f);
            }
            m.drums(bar, {.halfTime = true, .hats8 = true, .level = 0.9f});
            m.bass(bar, c, kBassSyncopated, 0.85f, 420.0f);
            m.pad(bar, c, 1, 0.9f, 2000.0f);
            m.arp(bar, c, kArpFall, 2, 0.55f, 2200.0f);
            m.bells(bar, c, 0.3, 0.6f);
            if (b == bars - 1) {
                m.snareRoll(bar, 8, 0.6f);
            }
        }
    }
}

// Rain and vase: a breakdown with raindrop bells, then the two hits the
// camera reacts to.
void composeRain(Composer& m) {
    const int bars = timing::kBarsPerSegment[3];
    const int strong = timing::kRainStrongHitBar;
    const int later = timing::kRainLaterHitBar;
    m.add(Instrument::Crash, timing::segmentStart(4), 0.0, 1.0, 0.6f);
    for (int b = 0; b < bars; ++b) {
        const Composer::Bar bar{4, b};
        const Chord c = chordAt(kDream, b, 2);
        if (b % 2 == 0) {
            m.pad(bar, c, 2, 0.9f, b < strong ? 900.0f : 1800.0f);
        }
        m.bells(bar, c, b < strong ? 0.45 : 0.25, 0.55f);
        if (b < strong) {
            m.drums(bar, {.hats16 = true, .level = 0.35f});
            if (b % 2 == 0) {
                m.bass(bar, c, std::array<Step, 1>{{{0, 32, 0}}}, 0.7f, 160.0f);
            }
        } else if (b < later) {
            m.drums(bar, {.halfTime = true, .hats8 = true, .level = 0.9f});
            m.bass(bar, c, kBassSyncopated, 0.85f, 380.0f);
            m.arp(bar, c, kArpFall, 2, 0.5f, 1800.0f);
        } else {
            m.drums(bar, {.fourKick = true, .backbeat = true, .hats16 = true, .openHats = true});
            m.bass(bar, c, kBassDriving, 0.9f, 480.0f);
            m.arp(bar, c, kArpClimb, 1, 0.6f, 3000.0f);
        }
    }
    for (const int hit : {strong, later}) {
        const double t = timing::barTime(4, hit);
        m.swellInto(t, timing::barSeconds(4), 1.0f);
        m.impact(t, hit == strong ? 1.0f : 0.85f);
    }
    m.snareRoll({4, bars - 1}, 4, 0.6f);
}

// Moon panorama: a mellower groove in the night progression.
void composeMoon(Composer& m) {
    const int bars = timing::kBarsPerSegment[4];
    m.add(Instrument::Crash, timing::segmentStart(5), 0.0, 1.0, 0.8f);
    for (int b = 0; b < bars; ++b) {
        const Composer::Bar bar{5, b};
        const Chord c = chordAt(kNight, b);
        const bool last = b == bars - 1;
        m.drums(bar, {.fourKick = !last, .backbeat = !last, .hats8 = true, .level = 0.75f});
        m.bass(bar, c, kBassSyncopated, 0.8f, 340.0f);
        m.pad(bar, c, 1, 0.85f, 1600.0f);
        m.arp(bar, c, kArpFall, 2, 0.6f, 2000.0f);
        m.bells(bar, c, 0.15, 0.45f);
    }
    m.swellInto(timing::segmentStart(6), timing::barSeconds(5), 0.7f);
}

// Underwater picture, then the gallery: a muffled, floating start; the beat
// and the slow lead return as the camera pulls back.
void composeGallery(Composer& m) {
    const int bars = timing::kBarsPerSegment[5];
    const int gallery = timing::galleryBar();
    for (int b = 0; b < bars; ++b) {
        const Composer::Bar bar{6, b};
        if (b < gallery) {
            const Chord c = chordAt(kDream, b, 2);
            if (b % 2 == 0) {
                m.pad(bar, c, 2, 1.0f, 650.0f);
                m.bass(bar, c, std::array<Step, 1>{{{0, 32, 0}}}, 0.7f, 150.0f);
            }
            m.bells(bar, c, 0.3, 0.5f);
            if (b >= 4) {
                m.drums(bar, {.halfTime = true, .hats8 = true, .level = 0.45f});
            }
            if (b >= 8) {
                m.arp(bar, c, kArpClimb, 2, 0.45f, 900.0f);
            }
        } else {
            const Chord c = chordAt(kHome, b - gallery);
            if (b == gallery) {
                m.add(Instrument::Crash, bar.time(0), 0.0, 1.0, 0.8f);
            }
            const bool last = b == bars - 1;
            m.drums(bar, {.fourKick = true, .backbeat = !last, .hats16 = true, .level = 0.85f});
            m.bass(bar, c, kBassOffbeat, 0.85f, 420.0f);
            m.pad(bar, c, 1, 0.85f, 2200.0f);
            m.arp(bar, c, kArpRock, 1, 0.5f, 2400.0f);
            if ((b - gallery) % 4 == 0 && b + 4 <= bars) {
                m.lead(bar, kLeadSlow, 0.8f, 2000.0f);
            }
            if (last) {
                m.snareRoll(bar, 8, 0.75f);
            }
        }
    }
    m.swellInto(timing::segmentStart(7), timing::barSeconds(6), 1.0f);
}

// Jellyfish in the deep: the climax. The reversals are made on the finished
// mix (see the master chain).
void composeDeep(Composer& m) {
    const int bars = timing::kBarsPerSegment[6];
    for (int b = 0; b < bars; ++b) {
        const Composer::Bar bar{7, b};
        const Chord c = chordAt(kRise, b);
        if (b % 8 == 0) {
            m.impact(bar.time(0), b == 0 ? 1.0f : 0.7f);
        }
        const bool last = b == bars - 1;
        m.drums(bar, {.fourKick = !last, .backbeat = !last, .hats16 = true, .openHats = !last});
        m.bass(bar, c, kBassDriving, 0.95f, 600.0f);
        m.pad(bar, c, 1, 0.85f, 3000.0f);
        m.arp(bar, c, b % 8 < 4 ? kArpClimb : kArpRock, 1, 0.6f, 3500.0f);
        if (b % 4 == 0 && b + 4 <= bars) {
            m.lead(bar, callOrAnswer(b / 4 + 1), 1.0f, 3000.0f);
        }
        if (last) {
            m.snareRoll(bar, 8, 0.8f);
        }
    }
}

// Closing credits: the groove thins out, the last chord rings past the end.
void composeCredits(Composer& m) {
    const int bars = timing::kBarsPerSegment[7];
    m.add(Instrument::Crash, timing::segmentStart(8), 0.0, 1.0, 0.9f);
    for (int b = 0; b < bars; ++b) {
        const Composer::Bar bar{8, b};
        if (b < 8) {
            const Chord c = chordAt(kHome, b);
            m.drums(bar, {.fourKick = true, .backbeat = true, .hats8 = true, .level = 0.8f});
            m.bass(bar, c, kBassOffbeat, 0.8f, 380.0f);
            m.pad(bar, c, 1, 0.85f, 2000.0f);
            m.arp(bar, c, kArpFall, 1, 0.5f, 2200.0f);
            if (b % 4 == 0) {
                m.lead(bar, kLeadSlow, 0.75f, 1800.0f);
            }
        } else if (b < 12) {
            const Chord c = chordAt(kHome, b - 8);
            m.drums(bar, {.hats8 = true, .level = ramp(b, 8, 4, 0.5f, 0.2f)});
            m.bass(bar, c, kBassWhole, 0.7f, 200.0f);
            m.pad(bar, c, 1, 0.85f, ramp(b, 8, 4, 1800.0f, 900.0f));
            m.arp(bar, c, kArpFall, 2, ramp(b, 8, 4, 0.45f, 0.2f), 1500.0f);
            m.bells(bar, c, 0.25, 0.45f);
        } else if (b == 12) {
            // The last chord is held to just before the end of the picture.
            const double held = timing::productionEnd() - 0.4 - bar.time(0);
            const Chord c = kAm;
            m.add(Instrument::Pad, bar.time(0), held, placeIn(c.root, 48), 0.9f, 0.0f, 1200.0f);
            for (const int p : triad(c)) {
                m.add(Instrument::Pad, bar.time(0), held, placeIn(p, 60), 0.8f, 0.5f, 1200.0f);
            }
            m.add(Instrument::Bass, bar.time(0), held, placeIn(c.root, 33), 0.6f, 0.0f, 140.0f);
            m.add(Instrument::Bell, bar.time(0), 0.0, 81.0, 0.6f, -0.3f);
            m.add(Instrument::Bell, bar.time(4), 0.0, 76.0, 0.45f, 0.3f);
        }
    }
}

} // namespace

std::vector<Note> composeScore() {
    Composer m;
    composeOpening(m);
    composeTunnel(m);
    composeButterflies(m);
    composeRain(m);
    composeMoon(m);
    composeGallery(m);
    composeDeep(m);
    composeCredits(m);
    return std::move(m.notes);
}

} // namespace assetgen
