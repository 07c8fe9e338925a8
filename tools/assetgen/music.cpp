#include "assetgen.h"
#include "sequencer.h"
#include "synth.h"
#include "timing.h"

#include <lame/lame.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>

namespace assetgen {
namespace {

using synth::Instrument;

bool breathesWithKick(Instrument i) {
    return i == Instrument::Pad || i == Instrument::Bass;
}

synth::StereoBuffer renderSoundtrack() {
    const auto frames = static_cast<std::size_t>(std::lround(timing::kTrackSeconds * synth::kRate));
    synth::Mix mix(frames);
    const std::vector<synth::Note> score = composeScore();

    std::vector<double> kicks;
    for (const synth::Note& note : score) {
        if (note.instrument == Instrument::Kick) {
            kicks.push_back(note.start);
        }
    }
    // Pads are half of the work: they render on a second thread into a mix of
    // their own, added afterwards in a fixed order so the bytes never depend
    // on scheduling. The ducking is a gain per sample, so ducking the pads
    // and the bass apart equals ducking their sum.
    synth::Mix pads(frames);
    std::thread padThread([&] {
        for (const synth::Note& note : score) {
            if (note.instrument == Instrument::Pad) {
                synth::renderNote(pads, note);
            }
        }
        synth::duckUnderKicks(pads.dry, kicks);
    });
    for (const synth::Note& note : score) {
        if (note.instrument == Instrument::Bass) {
            synth::renderNote(mix, note);
        }
    }
    synth::duckUnderKicks(mix.dry, kicks);
    for (const synth::Note& note : score) {
        if (!breathesWithKick(note.instrument)) {
            synth::renderNote(mix, note);
        }
    }
    padThread.join();
    synth::addMix(mix, pads);

    synth::addPingPongDelay(mix.delaySend, mix.dry, 0.375, 0.38f);
    synth::addReverb(mix.reverbSend, mix.dry);

    // The deep sea's picture runs backwards around two instants; so does the music.
    synth::mirrorAround(mix.dry, timing::deepMirror2(), timing::kDeepMirrorHalfWidth);
    synth::mirrorAround(mix.dry, timing::deepMirror4(), timing::kDeepMirrorHalfWidth);

    synth::removeDc(mix.dry);
    synth::fadeOut(mix.dry, timing::productionEnd() - 1.0, timing::kTrackSeconds - 0.05);
    synth::limitPeaks(mix.dry, 0.89f);
    return std::move(mix.dry);
}

// Constant 160 kbit/s joint stereo at one of LAME's fast quality levels: the
// whole track encodes in a few seconds. The Info tag carries the encoder
// delay and padding, so decoders trim the track to its exact length.
std::vector<std::uint8_t> encodeMp3(const synth::StereoBuffer& pcm) {
    const std::unique_ptr<lame_global_flags, int (*)(lame_global_flags*)> lame(lame_init(),
                                                                               lame_close);
    if (!lame) {
        throw std::runtime_error("Corvanth.mp3: cannot start the MP3 encoder");
    }
    lame_global_flags* gf = lame.get();
    lame_set_in_samplerate(gf, timing::kSampleRate);
    lame_set_out_samplerate(gf, timing::kSampleRate);
    lame_set_num_channels(gf, 2);
    lame_set_mode(gf, JOINT_STEREO);
    lame_set_VBR(gf, vbr_off);
    lame_set_brate(gf, 160);
    lame_set_quality(gf, 7);
    lame_set_bWriteVbrTag(gf, 1);
    if (lame_init_params(gf) < 0) {
        throw std::runtime_error("Corvanth.mp3: the MP3 encoder refused its settings");
    }

    std::vector<std::uint8_t> mp3;
    constexpr std::size_t kChunk = 1152 * 32;
    std::vector<unsigned char> buffer(kChunk * 5 / 4 + 7200);
    for (std::size_t first = 0; first < pcm.frames(); first += kChunk) {
        const std::size_t count = std::min(kChunk, pcm.frames() - first);
        const int written = lame_encode_buffer_ieee_float(
            gf, pcm.left.data() + first, pcm.right.data() + first, static_cast<int>(count),
            buffer.data(), static_cast<int>(buffer.size()));
        if (written < 0) {
            throw std::runtime_error("Corvanth.mp3: MP3 encoding failed (" +
                                     std::to_string(written) + ")");
        }
        mp3.insert(mp3.end(), buffer.begin(), buffer.begin() + written);
    }
    const int flushed = lame_encode_flush(gf, buffer.data(), static_cast<int>(buffer.size()));
    if (flushed < 0) {
        throw std::runtime_error("Corvanth.mp3: MP3 encoder flush failed");
    }
    mp3.insert(mp3.end(), buffer.begin(), buffer.begin() + flushed);

    // The first frame was reserved for the tag; fill it in now that the
    // totals are known.
    std::vector<unsigned char> tag(4096);
    const std::size_t tagSize = lame_get_lametag_frame(gf, tag.data(), tag.size());
    if (tagSize > 0 && tagSize <= mp3.size()) {
        std::copy(tag.begin(), tag.begin() + static_cast<std::ptrdiff_t>(tagSize), mp3.begin());
    }
    return mp3;
}

// Wall-clock and processor seconds of one step; the processor time is what
// matters on a shared machine.
class StepTimer {
public:
    std::string report() const {
        const double wall =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - wall_).count();
        const double cpu = static_cast<double>(std::clock() - cpu_) / CLOCKS_PER_SEC;
        char text[64];
        std::snprintf(text, sizeof text, "%.2f s (%.2f s CPU)", wall, cpu);
        return text;
    }

private:
    std::chrono::steady_clock::time_point wall_ = std::chrono::steady_clock::now();
    std::clock_t cpu_ = std::clock();
};

} // namespace

void generateMusic(const Pack& pack) {
    const StepTimer synthesis;
    const synth::StereoBuffer pcm = renderSoundtrack();
    const std::string synthesisTime = synthesis.report();
    const StepTimer encoding;
    pack.write("Corvanth.mp3", encodeMp3(pcm));
    std::printf("assetgen: music synthesis %s, MP3 encoding %s\n", synthesisTime.c_str(),
                encoding.report().c_str());
}

} // namespace assetgen
