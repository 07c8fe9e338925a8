#include "platform/platform.h"

#include <SDL.h>
#include <mpg123.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>

namespace platform {
namespace {

constexpr int kChannels = 2;
constexpr int kDeviceFrames = 1024;
// When the decoder cannot tell the length in advance, room for this long.
constexpr long kFallbackFrames = 15L * 60L * kSampleRate;

// One decoded track. The decoder thread fills `pcm` front to back and
// publishes how far it got; the audio callback reads only below that mark,
// so neither waits for the other and nothing is ever reallocated.
struct Sound {
    mpg123_handle* decoder = nullptr;
    std::unique_ptr<std::int16_t[]> pcm;
    long capacityFrames = 0;
    std::atomic<long> decodedFrames{0};
    std::atomic<bool> decoding{true};
    std::mutex doneMutex;
    std::condition_variable doneSignal;
    std::vector<std::int16_t> samples; // the finished track, made on request
    bool samplesMade = false;
};

// Never freed: the audio thread and the decoder may run until the process ends.
std::vector<Sound*>& sounds() {
    static auto* list = new std::vector<Sound*>();
    return *list;
}

SDL_AudioDeviceID device = 0;
bool mpg123Ready = false;

// Playback state, shared with the audio callback (guarded by the device lock).
struct Playback {
    Sound* sound = nullptr;
    SoundHandle handle = -1;
    long cursorFrames = 0;      // frames handed to the device so far
    long consumedFrames = 0;    // frames handed before the latest callback
    Uint64 callbackCounter = 0; // performance counter at the latest callback
    std::uint32_t lastReported = 0;
    double virtualStartMs = 0.0; // virtual clock reading at soundPlay
    bool held = false;           // silence, and the position stands still
};
Playback playback;

void audioCallback(void* /*userdata*/, Uint8* stream, int length) {
    const long frames = length / (kChannels * static_cast<long>(sizeof(std::int16_t)));
    long copied = 0;
    if (playback.sound != nullptr && !playback.held) {
        Sound& sound = *playback.sound;
        const long available =
            sound.decodedFrames.load(std::memory_order_acquire) - playback.cursorFrames;
        copied = std::clamp(available, 0L, frames);
        std::memcpy(stream, sound.pcm.get() + playback.cursorFrames * kChannels,
                    static_cast<std::size_t>(copied) * kChannels * sizeof(std::int16_t));
        playback.consumedFrames = playback.cursorFrames;
        playback.cursorFrames += copied;
        playback.callbackCounter = SDL_GetPerformanceCounter();
    }
    std::memset(stream + copied * kChannels * sizeof(std::int16_t), 0,
                static_cast<std::size_t>(length) - copied * kChannels * sizeof(std::int16_t));
}

void decodeTrack(Sound* sound) {
    std::size_t done = 0;
    long frames = 0;
    for (;;) {
        const long room = sound->capacityFrames - frames;
        if (room <= 0) {
            break;
        }
        const std::size_t want =
            static_cast<std::size_t>(std::min(room, 4096L)) * kChannels * sizeof(std::int16_t);
        auto* out = reinterpret_cast<unsigned char*>(sound->pcm.get() + frames * kChannels);
        const int result = mpg123_read(sound->decoder, out, want, &done);
        frames += static_cast<long>(done / (kChannels * sizeof(std::int16_t)));
        sound->decodedFrames.store(frames, std::memory_order_release);
        if (result == MPG123_NEW_FORMAT || (result == MPG123_OK && done > 0)) {
            continue;
        }
        if (result != MPG123_OK && result != MPG123_DONE) {
            std::fprintf(stderr, "hlv: music decoding stopped early: %s\n",
                         mpg123_strerror(sound->decoder));
        }
        if (result != MPG123_OK || done == 0) {
            break;
        }
    }
    mpg123_close(sound->decoder);
    mpg123_delete(sound->decoder);
    sound->decoder = nullptr;
    std::lock_guard<std::mutex> lock(sound->doneMutex);
    sound->decoding.store(false);
    sound->doneSignal.notify_all();
}

bool prepareDecoder() {
    if (!mpg123Ready) {
        mpg123Ready = mpg123_init() == MPG123_OK;
    }
    return mpg123Ready;
}

mpg123_handle* openMp3(const char* path) {
    int error = MPG123_OK;
    mpg123_handle* decoder = mpg123_new(nullptr, &error);
    if (decoder == nullptr) {
        std::fprintf(stderr, "hlv: cannot start the MP3 decoder: %s\n",
                     mpg123_plain_strerror(error));
        return nullptr;
    }
    // Whatever the file holds, the decoder delivers 44100 Hz stereo 16-bit.
    mpg123_param(decoder, MPG123_FLAGS, MPG123_FORCE_STEREO | MPG123_QUIET, 0.0);
    mpg123_format_none(decoder);
    mpg123_format(decoder, kSampleRate, MPG123_STEREO, MPG123_ENC_SIGNED_16);
    if (mpg123_open(decoder, path) != MPG123_OK) {
        std::fprintf(stderr, "hlv: cannot open the music file %s: %s\n", path,
                     mpg123_strerror(decoder));
        mpg123_delete(decoder);
        return nullptr;
    }
    return decoder;
}

} // namespace

bool soundInit(const char* withoutMusic) {
    if (virtualClockInUse()) {
        return true;
    }
    if (device != 0) {
        return true;
    }
    SDL_AudioSpec want{};
    want.freq = kSampleRate;
    want.format = AUDIO_S16SYS;
    want.channels = kChannels;
    want.samples = kDeviceFrames;
    want.callback = audioCallback;
    SDL_AudioSpec have{};
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0 ||
        (device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0)) == 0) {
        std::fprintf(stderr,
                     "hlv: cannot open the audio device at 44100 Hz stereo (%s); "
                     "%s plays without music.\n",
                     SDL_GetError(), withoutMusic);
        return false;
    }
    SDL_PauseAudioDevice(device, 0);
    return true;
}

SoundHandle soundLoad(const char* path) {
    if (!prepareDecoder()) {
        std::fprintf(stderr, "hlv: cannot initialise libmpg123\n");
        return -1;
    }
    mpg123_handle* decoder = openMp3(path);
    if (decoder == nullptr) {
        return -1;
    }
    auto* sound = new Sound();
    sound->decoder = decoder;
    // The frame headers give the exact length; reading them takes milliseconds.
    off_t length = MPG123_ERR;
    if (mpg123_scan(decoder) == MPG123_OK) {
        length = mpg123_length(decoder);
    }
    sound->capacityFrames = length > 0 ? static_cast<long>(length) + kSampleRate : kFallbackFrames;
    sound->pcm = std::make_unique<std::int16_t[]>(static_cast<std::size_t>(sound->capacityFrames) *
                                                  kChannels);
    std::thread(decodeTrack, sound).detach();
    sounds().push_back(sound);
    return static_cast<SoundHandle>(sounds().size() - 1);
}

void soundPlay(SoundHandle handle) {
    if (handle < 0 || handle >= static_cast<SoundHandle>(sounds().size())) {
        return;
    }
    if (device != 0) {
        SDL_LockAudioDevice(device);
    }
    playback.sound = sounds()[static_cast<std::size_t>(handle)];
    playback.handle = handle;
    playback.cursorFrames = 0;
    playback.consumedFrames = 0;
    playback.callbackCounter = SDL_GetPerformanceCounter();
    playback.lastReported = 0;
    playback.virtualStartMs = virtualMilliseconds();
    if (device != 0) {
        SDL_UnlockAudioDevice(device);
    }
}

SoundHandle playingSound() {
    return playback.handle;
}

namespace {

// The position the device has reached: the buffer handed over at the latest
// callback is playing now, so it advances through it with the wall clock,
// never past it and never backwards. Called with the device locked.
std::uint32_t heardPosition() {
    long position = playback.cursorFrames;
    if (!playback.held) {
        const Uint64 since = SDL_GetPerformanceCounter() - playback.callbackCounter;
        const double seconds = static_cast<double>(since) / SDL_GetPerformanceFrequency();
        position = std::min(playback.consumedFrames + static_cast<long>(seconds * kSampleRate),
                            playback.cursorFrames);
    }
    const auto reported = std::max(playback.lastReported, static_cast<std::uint32_t>(position));
    playback.lastReported = reported;
    return reported;
}

// Puts the play position at `frames`; what the device was handed beyond it
// is handed again.
void placeCursor(long frames) {
    playback.cursorFrames = frames;
    playback.consumedFrames = frames;
    playback.lastReported = static_cast<std::uint32_t>(frames);
    playback.callbackCounter = SDL_GetPerformanceCounter();
}

} // namespace

std::uint32_t devicePosition() {
    if (playback.sound == nullptr || device == 0) {
        return 0;
    }
    SDL_LockAudioDevice(device);
    const std::uint32_t position = heardPosition();
    SDL_UnlockAudioDevice(device);
    return position;
}

std::uint32_t musicPosition() {
    if (playback.sound == nullptr) {
        return 0;
    }
    if (virtualClockInUse()) {
        const double elapsed = virtualMilliseconds() - playback.virtualStartMs;
        // The small bias keeps whole sample counts (a frame of 1000/3 ms is
        // 14700 samples) from rounding down to one less.
        return elapsed <= 0.0 ? 0
                              : static_cast<std::uint32_t>(
                                    std::floor(elapsed * (kSampleRate / 1000.0) + 1e-6));
    }
    return devicePosition();
}

void soundHold(bool held) {
    if (device != 0) {
        SDL_LockAudioDevice(device);
    }
    if (held && !playback.held && playback.sound != nullptr) {
        placeCursor(static_cast<long>(heardPosition()));
    }
    if (!held && playback.held) {
        playback.callbackCounter = SDL_GetPerformanceCounter();
    }
    playback.held = held;
    if (device != 0) {
        SDL_UnlockAudioDevice(device);
    }
}

void soundSeek(std::uint32_t samples) {
    if (device != 0) {
        SDL_LockAudioDevice(device);
    }
    placeCursor(static_cast<long>(samples));
    if (device != 0) {
        SDL_UnlockAudioDevice(device);
    }
}

const std::vector<std::int16_t>& soundSamples(SoundHandle handle) {
    static const std::vector<std::int16_t> none;
    if (handle < 0 || handle >= static_cast<SoundHandle>(sounds().size())) {
        return none;
    }
    Sound& sound = *sounds()[static_cast<std::size_t>(handle)];
    std::unique_lock<std::mutex> lock(sound.doneMutex);
    sound.doneSignal.wait(lock, [&] { return !sound.decoding.load(); });
    if (!sound.samplesMade) {
        const long frames = sound.decodedFrames.load();
        sound.samples.assign(sound.pcm.get(), sound.pcm.get() + frames * kChannels);
        sound.samplesMade = true;
    }
    return sound.samples;
}

} // namespace platform
