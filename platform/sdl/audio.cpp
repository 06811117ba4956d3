// SDL2 backend of the sound mixer: one audio device, static buffers mixed in its
// callback. A buffer's bytes are what Lock hands out; at Unlock they are converted
// once, with SDL_AudioStream, to 16-bit samples at the device's rate, and the mixer
// reads only that converted copy (a buffer never written is silence, not converted). One mutex per
// device guards everything the callback touches, so buffers may go away while the device plays
// (static destruction at exit).
#include "platform/audio.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <string>
#include <vector>

#include "platform/sdl/sdl_internal.h"
#include "platform/sizes.h"

#include <sys/stat.h>

namespace {

constexpr int kDeviceRate = 44100;
// Frames per callback: 11.6 ms at 44100 Hz. Short enough for a game's sounds to start
// promptly, and closing the device (which drains two periods) stays quick.
constexpr int kDeviceFrames = 512;
// The most a sample may take at the device's rate. A slow 8-bit file grows 88 times
// on the way to 16 bits at 44100 Hz; past this the load fails instead.
constexpr uint64_t kMaxConvertedBytes = 256u << 20;

// The sample data that a buffer and its duplicates share.
struct SampleBlock {
    platform::WaveFormat format{};
    uint32_t frames = 0;         // whole frames in `bytes`
    std::vector<uint8_t> bytes;  // what Lock hands out, in the buffer's own format
    int locks = 0;
    // The bytes at the device's rate, 16-bit, `format.channels` channels; the mixer
    // reads only this. Empty with frames counted: silence, as a new buffer holds.
    std::vector<int16_t> converted;
    uint32_t convertedFrames = 0;
};

}  // namespace

struct PlatformAudioDevice {
    std::mutex lock;
    std::atomic<uint32_t> refs{1};
    SDL_AudioDeviceID id = 0;
    int rate = kDeviceRate;
    uint32_t generation = 0;  // counts reopenings after the device was lost
    bool memoryOnly = false;
    char driver[32] = "";
    std::vector<PlatformSoundBuffer*> buffers;  // every live buffer, in creation order
};

struct PlatformSoundBuffer {
    PlatformAudioDevice* device = nullptr;
    std::shared_ptr<SampleBlock> block;
    uint32_t flags = 0;
    uint32_t generation = 0;
    bool playing = false;
    bool looping = false;
    uint32_t position = 0;  // in converted frames
    long pan = 0;
    long volume = 0;
    float gainLeft = 1.0f;
    float gainRight = 1.0f;
};

namespace platform {
namespace {

// DirectSound's attenuation law: hundredths of a decibel to an amplitude factor,
// with -10000 and below silent.
float Gain(long hundredthsDb) {
    if (hundredthsDb <= DSBVOLUME_MIN) return 0.0f;
    if (hundredthsDb >= 0) return 1.0f;
    return (float)std::pow(10.0, hundredthsDb / 2000.0);
}

void UpdateGains(PlatformSoundBuffer* b) {
    float volume = Gain(b->volume);
    b->gainLeft = volume * (b->pan > 0 ? Gain(-b->pan) : 1.0f);
    b->gainRight = volume * (b->pan < 0 ? Gain(b->pan) : 1.0f);
}

// Mixes every playing buffer into `out` (interleaved stereo); the device lock is held.
void MixLocked(PlatformAudioDevice* d, float* out, int frames) {
    std::fill(out, out + 2 * (size_t)frames, 0.0f);
    for (PlatformSoundBuffer* b : d->buffers) {
        if (!b->playing) continue;
        const SampleBlock& block = *b->block;
        uint32_t length = block.convertedFrames;
        if (length == 0) {
            b->playing = false;
            b->position = 0;
            continue;
        }
        const float left = b->gainLeft * (1.0f / 32768.0f);
        const float right = b->gainRight * (1.0f / 32768.0f);
        const bool audible = (left != 0.0f || right != 0.0f) && !block.converted.empty();
        const bool stereo = block.format.channels == 2;
        int done = 0;
        while (done < frames && b->playing) {
            uint32_t take = std::min<uint32_t>(frames - done, length - b->position);
            if (audible) {
                float* o = out + 2 * (size_t)done;
                if (stereo) {
                    const int16_t* s = block.converted.data() + 2 * (size_t)b->position;
                    for (uint32_t i = 0; i < take; ++i) {
                        o[2 * i] += s[2 * i] * left;
                        o[2 * i + 1] += s[2 * i + 1] * right;
                    }
                } else {
                    const int16_t* s = block.converted.data() + b->position;
                    for (uint32_t i = 0; i < take; ++i) {
                        o[2 * i] += s[i] * left;
                        o[2 * i + 1] += s[i] * right;
                    }
                }
            }
            b->position += take;
            done += (int)take;
            if (b->position >= length) {
                // A one-shot buffer rewinds when it ends, so that the next Play starts over.
                b->position = 0;
                if (!b->looping) b->playing = false;
            }
        }
    }
    for (size_t i = 0; i < 2 * (size_t)frames; ++i) out[i] = std::clamp(out[i], -1.0f, 1.0f);
}

void SDLCALL AudioCallback(void* userdata, Uint8* stream, int len) {
    PlatformAudioDevice* d = (PlatformAudioDevice*)userdata;
    std::lock_guard<std::mutex> guard(d->lock);
    if (d->memoryOnly) {
        std::memset(stream, 0, (size_t)len);
        return;
    }
    MixLocked(d, (float*)stream, len / (int)(2 * sizeof(float)));
}

// True when nothing could play sound: no sound card, no sound server socket, and no
// driver chosen by the user. Probing the real drivers then only costs time (and
// fills the terminal with the sound library's complaints).
bool NoSoundOutput() {
    const char* chosen = std::getenv("SDL_AUDIODRIVER");
    if ((chosen && *chosen) || std::getenv("PULSE_SERVER")) return false;
    struct stat st;
    if (stat("/dev/snd", &st) == 0) return false;
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && *runtime) {
        std::string dir(runtime);
        if (stat((dir + "/pulse/native").c_str(), &st) == 0 ||
            stat((dir + "/pipewire-0").c_str(), &st) == 0)
            return false;
    }
    return true;
}

// Opens the SDL device for `d`, on the default driver or else on the dummy one.
bool OpenDevice(PlatformAudioDevice* d) {
    SDL_AudioSpec want{};
    want.freq = d->rate;
    want.format = AUDIO_F32SYS;
    want.channels = 2;
    want.samples = kDeviceFrames;
    want.callback = AudioCallback;
    want.userdata = d;
    SDL_AudioSpec have{};
    for (int attempt = NoSoundOutput() ? 1 : 0; attempt < 2; ++attempt) {
        if (attempt == 1) {
            // No sound device: the same mixer, on a driver that plays to nowhere.
            SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
        }
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) {
            d->id = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
            if (d->id != 0) break;
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
        }
    }
    SDL_ResetHint(SDL_HINT_AUDIODRIVER);
    if (d->id == 0) return false;
    const char* name = SDL_GetCurrentAudioDriver();
    std::snprintf(d->driver, sizeof(d->driver), "%s", name ? name : "");
    if (!d->memoryOnly) SDL_PauseAudioDevice(d->id, 0);
    return true;
}

void CloseDevice(PlatformAudioDevice* d) {
    if (d->id == 0) return;
    SDL_CloseAudioDevice(d->id);  // waits for the callback to finish
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    d->id = 0;
}

// The device has gone (unplugged, server gone): SDL keeps calling us, but nothing is heard.
bool DeviceLost(PlatformAudioDevice* d) {
    return d->id == 0 || SDL_GetAudioDeviceStatus(d->id) == SDL_AUDIO_STOPPED;
}

bool BufferLost(PlatformSoundBuffer* b) {
    return b->generation != b->device->generation || DeviceLost(b->device);
}

// Frames a sample of `frames` frames in `format` lasts at `rate`, or -1 when it would
// take more than kMaxConvertedBytes there.
int64_t ConvertedFrames(const WaveFormat& format, uint32_t frames, int rate) {
    if (rate <= 0 || format.samplesPerSec == 0) return -1;
    const uint64_t converted = (uint64_t)frames * (uint64_t)rate / format.samplesPerSec;
    if (!platform::BlockBytesUpTo(kMaxConvertedBytes, converted, format.channels, sizeof(int16_t)))
        return -1;
    return (int64_t)converted;
}

// Converts the block's bytes to 16-bit samples at `rate`. Runs without the device
// lock: the callback never reads `bytes`.
bool Convert(const SampleBlock& block, int rate, std::vector<int16_t>* out) {
    out->clear();
    if (block.frames == 0) return true;
    const WaveFormat& f = block.format;
    const int64_t keepFrames = ConvertedFrames(f, block.frames, rate);
    if (keepFrames < 0) return false;
    SDL_AudioStream* stream =
        SDL_NewAudioStream(f.bitsPerSample == 8 ? AUDIO_U8 : AUDIO_S16LSB, (Uint8)f.channels,
                           (int)f.samplesPerSec, AUDIO_S16SYS, (Uint8)f.channels, rate);
    if (!stream) return false;
    bool ok = true;
    try {
        // Exactly the frames kept, so the block never grows past them.
        const size_t keep = (size_t)keepFrames * f.channels;
        out->reserve(keep);
        const size_t total = (size_t)block.frames * f.blockAlign;
        const size_t piece = (size_t)f.blockAlign * 16384;
        std::vector<int16_t> chunk;
        auto drain = [&]() {
            int available = SDL_AudioStreamAvailable(stream);
            if (available <= 0) return true;
            chunk.resize((size_t)available / 2);
            int got = SDL_AudioStreamGet(stream, chunk.data(), available);
            if (got < 0) return false;
            size_t take = std::min((size_t)got / 2, keep - out->size());
            out->insert(out->end(), chunk.begin(), chunk.begin() + take);
            return true;
        };
        for (size_t at = 0; ok && at < total; at += piece) {
            int len = (int)std::min(piece, total - at);
            ok = SDL_AudioStreamPut(stream, block.bytes.data() + at, len) == 0 && drain();
        }
        // The resampler holds back its last frames even when flushed: feed it silence
        // past the end, then keep exactly the frames the sample lasts.
        const uint64_t padFrames = 1024 + 1024ull * f.samplesPerSec / (uint64_t)rate;
        std::vector<uint8_t> silence(padFrames * f.blockAlign, f.bitsPerSample == 8 ? 0x80 : 0);
        ok = ok && SDL_AudioStreamPut(stream, silence.data(), (int)silence.size()) == 0 &&
             SDL_AudioStreamFlush(stream) == 0 && drain();
        out->resize(out->size() - out->size() % f.channels);
    } catch (const std::bad_alloc&) {
        ok = false;
    }
    SDL_FreeAudioStream(stream);
    return ok;
}

bool ValidFormat(const WaveFormat* f) {
    return f && f->formatTag == WAVE_FORMAT_PCM && (f->channels == 1 || f->channels == 2) &&
           (f->bitsPerSample == 8 || f->bitsPerSample == 16) &&
           f->blockAlign == f->channels * f->bitsPerSample / 8 &&
           f->samplesPerSec >= DSBFREQUENCY_MIN && f->samplesPerSec <= DSBFREQUENCY_MAX;
}

// Adds a new buffer on `block` to the device's mixer.
int AddBuffer(PlatformAudioDevice* d, std::shared_ptr<SampleBlock> block, uint32_t flags, long pan,
              long volume, PlatformSoundBuffer** result) {
    PlatformSoundBuffer* b = new (std::nothrow) PlatformSoundBuffer();
    if (!b) return DSERR_OUTOFMEMORY;
    b->device = d;
    b->block = std::move(block);
    b->flags = flags;
    b->pan = pan;
    b->volume = volume;
    UpdateGains(b);
    {
        std::lock_guard<std::mutex> guard(d->lock);
        b->generation = d->generation;
        try {
            d->buffers.push_back(b);
        } catch (const std::bad_alloc&) {
            delete b;
            return DSERR_OUTOFMEMORY;
        }
    }
    AddRef(d);
    *result = b;
    return DS_OK;
}

// Position in converted frames for a byte offset of the buffer's own data, and back.
uint32_t ToConverted(const SampleBlock& block, uint32_t byteOffset) {
    if (block.frames == 0) return 0;
    uint64_t frame = byteOffset / block.format.blockAlign;
    return (uint32_t)(frame * block.convertedFrames / block.frames);
}

uint32_t ToBytes(const SampleBlock& block, uint32_t position) {
    if (block.convertedFrames == 0) return 0;
    uint64_t frame = (uint64_t)position * block.frames / block.convertedFrames;
    return (uint32_t)(frame * block.format.blockAlign);
}

}  // namespace

int OpenSoundDevice(LPDIRECTSOUND* device) {
    if (!device) return DSERR_INVALIDPARAM;
    *device = nullptr;
    PlatformAudioDevice* d = new (std::nothrow) PlatformAudioDevice();
    if (!d) return DSERR_OUTOFMEMORY;
    if (!OpenDevice(d)) {
        delete d;
        return DSERR_NODRIVER;
    }
    *device = d;
    return DS_OK;
}

uint32_t AddRef(LPDIRECTSOUND device) {
    return device ? ++device->refs : 0;
}

uint32_t Release(LPDIRECTSOUND device) {
    if (!device) return 0;
    uint32_t left = --device->refs;
    if (left == 0) {
        CloseDevice(device);
        delete device;
    }
    return left;
}

int SetCooperativeLevel(LPDIRECTSOUND device, HWND, uint32_t level) {
    if (!device) return DSERR_INVALIDPARAM;
    return level == DSSCL_NORMAL || level == DSSCL_PRIORITY ? DS_OK : DSERR_INVALIDPARAM;
}

int GetCaps(LPDIRECTSOUND device, AudioCaps* caps) {
    if (!device || !caps || caps->size != sizeof(AudioCaps)) return DSERR_INVALIDPARAM;
    std::memset(caps, 0, sizeof(*caps));
    caps->size = sizeof(AudioCaps);
    // A software mixer: every format, any rate, no hardware buffers.
    caps->flags = DSCAPS_PRIMARYMONO | DSCAPS_PRIMARYSTEREO | DSCAPS_PRIMARY8BIT |
                  DSCAPS_PRIMARY16BIT | DSCAPS_CONTINUOUSRATE | DSCAPS_EMULDRIVER |
                  DSCAPS_SECONDARYMONO | DSCAPS_SECONDARYSTEREO | DSCAPS_SECONDARY8BIT |
                  DSCAPS_SECONDARY16BIT;
    caps->minSecondarySampleRate = DSBFREQUENCY_MIN;
    caps->maxSecondarySampleRate = DSBFREQUENCY_MAX;
    caps->primaryBuffers = 1;
    return DS_OK;
}

int CreateSoundBuffer(LPDIRECTSOUND device, const SoundBufferDesc* desc,
                      LPDIRECTSOUNDBUFFER* buffer) {
    if (!buffer) return DSERR_INVALIDPARAM;
    *buffer = nullptr;
    if (!device || !desc || desc->size != sizeof(SoundBufferDesc) || !ValidFormat(desc->format))
        return DSERR_INVALIDPARAM;
    if (desc->bufferBytes < DSBSIZE_MIN || desc->bufferBytes > DSBSIZE_MAX)
        return DSERR_INVALIDPARAM;
    const uint32_t frames = desc->bufferBytes / desc->format->blockAlign;
    // Refused before anything is taken: the first Unlock could not convert it.
    const int64_t convertedFrames = ConvertedFrames(*desc->format, frames, device->rate);
    if (convertedFrames < 0) return DSERR_OUTOFMEMORY;
    std::shared_ptr<SampleBlock> block;
    try {
        block = std::make_shared<SampleBlock>();
        block->format = *desc->format;
        block->frames = frames;
        // Silence: 0x80 for unsigned 8-bit samples, 0 for signed 16-bit ones.
        block->bytes.assign(desc->bufferBytes, desc->format->bitsPerSample == 8 ? 0x80 : 0);
    } catch (const std::bad_alloc&) {
        return DSERR_OUTOFMEMORY;
    }
    // Silent until written: nothing to convert yet.
    block->convertedFrames = (uint32_t)convertedFrames;
    return AddBuffer(device, std::move(block), desc->flags, 0, 0, buffer);
}

int DuplicateSoundBuffer(LPDIRECTSOUND device, LPDIRECTSOUNDBUFFER original,
                         LPDIRECTSOUNDBUFFER* duplicate) {
    if (!duplicate) return DSERR_INVALIDPARAM;
    *duplicate = nullptr;
    if (!device || !original || original->device != device) return DSERR_INVALIDPARAM;
    if (original->block->locks > 0) return DSERR_INVALIDCALL;
    return AddBuffer(device, original->block, original->flags, original->pan, original->volume,
                     duplicate);
}

const char* AudioDriver(LPDIRECTSOUND device) {
    return device ? device->driver : "";
}

int AudioDeviceRate(LPDIRECTSOUND device) {
    return device ? device->rate : 0;
}

uint32_t Release(LPDIRECTSOUNDBUFFER buffer) {
    if (!buffer) return 0;
    PlatformAudioDevice* d = buffer->device;
    {
        std::lock_guard<std::mutex> guard(d->lock);
        d->buffers.erase(std::remove(d->buffers.begin(), d->buffers.end(), buffer),
                         d->buffers.end());
        // The block goes with its last buffer, here under the lock, never in the callback.
        buffer->block.reset();
    }
    delete buffer;
    Release(d);
    return 0;
}

int Lock(LPDIRECTSOUNDBUFFER buffer, uint32_t offset, uint32_t bytes, void** part1,
         uint32_t* bytes1, void** part2, uint32_t* bytes2, uint32_t flags) {
    if (!buffer || !part1 || !bytes1) return DSERR_INVALIDPARAM;
    *part1 = nullptr;
    *bytes1 = 0;
    if (part2) *part2 = nullptr;
    if (bytes2) *bytes2 = 0;
    if (BufferLost(buffer)) return DSERR_BUFFERLOST;
    SampleBlock& block = *buffer->block;
    const uint32_t size = (uint32_t)block.bytes.size();
    if (flags & DSBLOCK_ENTIREBUFFER) {
        offset = 0;
        bytes = size;
    } else if (flags & DSBLOCK_FROMWRITECURSOR) {
        GetCurrentPosition(buffer, nullptr, &offset);
    }
    if (bytes == 0 || bytes > size || offset >= size) return DSERR_INVALIDPARAM;
    uint32_t first = std::min(bytes, size - offset);
    if (first < bytes && (!part2 || !bytes2)) return DSERR_INVALIDPARAM;
    *part1 = block.bytes.data() + offset;
    *bytes1 = first;
    if (first < bytes) {
        *part2 = block.bytes.data();
        *bytes2 = bytes - first;
    }
    ++block.locks;
    return DS_OK;
}

int Unlock(LPDIRECTSOUNDBUFFER buffer, void* part1, uint32_t bytes1, void* part2, uint32_t bytes2) {
    if (!buffer) return DSERR_INVALIDPARAM;
    SampleBlock& block = *buffer->block;
    auto inside = [&](void* p, uint32_t n) {
        if (!p) return n == 0;
        uint8_t* at = (uint8_t*)p;
        uint8_t* begin = block.bytes.data();
        return at >= begin && (size_t)(at - begin) + n <= block.bytes.size();
    };
    if (block.locks == 0 || !inside(part1, bytes1) || !inside(part2, bytes2))
        return DSERR_INVALIDPARAM;
    --block.locks;
    std::vector<int16_t> converted;
    if (!Convert(block, buffer->device->rate, &converted)) return DSERR_OUTOFMEMORY;
    PlatformAudioDevice* d = buffer->device;
    std::lock_guard<std::mutex> guard(d->lock);
    block.converted.swap(converted);
    block.convertedFrames = (uint32_t)(block.converted.size() / block.format.channels);
    for (PlatformSoundBuffer* b : d->buffers)
        if (b->block.get() == &block && b->position >= block.convertedFrames) b->position = 0;
    return DS_OK;
}

int Play(LPDIRECTSOUNDBUFFER buffer, uint32_t, uint32_t, uint32_t flags) {
    if (!buffer) return DSERR_INVALIDPARAM;
    if (BufferLost(buffer)) return DSERR_BUFFERLOST;
    std::lock_guard<std::mutex> guard(buffer->device->lock);
    buffer->playing = true;
    buffer->looping = (flags & DSBPLAY_LOOPING) != 0;
    return DS_OK;
}

int Stop(LPDIRECTSOUNDBUFFER buffer) {
    if (!buffer) return DSERR_INVALIDPARAM;
    std::lock_guard<std::mutex> guard(buffer->device->lock);
    buffer->playing = false;
    return DS_OK;
}

int SetCurrentPosition(LPDIRECTSOUNDBUFFER buffer, uint32_t position) {
    if (!buffer) return DSERR_INVALIDPARAM;
    std::lock_guard<std::mutex> guard(buffer->device->lock);
    const SampleBlock& block = *buffer->block;
    if (position >= block.bytes.size()) return DSERR_INVALIDPARAM;
    buffer->position = std::min(ToConverted(block, position), block.convertedFrames);
    if (buffer->position == block.convertedFrames) buffer->position = 0;
    return DS_OK;
}

int GetCurrentPosition(LPDIRECTSOUNDBUFFER buffer, uint32_t* play, uint32_t* write) {
    if (!buffer) return DSERR_INVALIDPARAM;
    std::lock_guard<std::mutex> guard(buffer->device->lock);
    // No hardware latency here: the write cursor is the play cursor.
    uint32_t at = ToBytes(*buffer->block, buffer->position);
    if (play) *play = at;
    if (write) *write = at;
    return DS_OK;
}

int GetStatus(LPDIRECTSOUNDBUFFER buffer, uint32_t* status) {
    if (!buffer || !status) return DSERR_INVALIDPARAM;
    *status = 0;
    if (BufferLost(buffer)) {
        *status = DSBSTATUS_BUFFERLOST;
        return DS_OK;
    }
    std::lock_guard<std::mutex> guard(buffer->device->lock);
    if (buffer->playing) *status |= DSBSTATUS_PLAYING;
    if (buffer->playing && buffer->looping) *status |= DSBSTATUS_LOOPING;
    return DS_OK;
}

int Restore(LPDIRECTSOUNDBUFFER buffer) {
    if (!buffer) return DSERR_INVALIDPARAM;
    PlatformAudioDevice* d = buffer->device;
    if (DeviceLost(d)) {
        // Reopen the device; the buffers stay, each one comes back with its Restore.
        CloseDevice(d);
        if (!OpenDevice(d)) return DSERR_BUFFERLOST;
        std::lock_guard<std::mutex> guard(d->lock);
        ++d->generation;
        for (PlatformSoundBuffer* b : d->buffers) b->playing = false;
    }
    std::lock_guard<std::mutex> guard(d->lock);
    buffer->generation = d->generation;
    return DS_OK;
}

int SetPan(LPDIRECTSOUNDBUFFER buffer, long pan) {
    if (!buffer) return DSERR_INVALIDPARAM;
    if (!(buffer->flags & DSBCAPS_CTRLPAN)) return DSERR_CONTROLUNAVAIL;
    if (pan < DSBPAN_LEFT || pan > DSBPAN_RIGHT) return DSERR_INVALIDPARAM;
    std::lock_guard<std::mutex> guard(buffer->device->lock);
    buffer->pan = pan;
    UpdateGains(buffer);
    return DS_OK;
}

int GetPan(LPDIRECTSOUNDBUFFER buffer, long* pan) {
    if (!buffer || !pan) return DSERR_INVALIDPARAM;
    if (!(buffer->flags & DSBCAPS_CTRLPAN)) return DSERR_CONTROLUNAVAIL;
    *pan = buffer->pan;
    return DS_OK;
}

int SetVolume(LPDIRECTSOUNDBUFFER buffer, long volume) {
    if (!buffer) return DSERR_INVALIDPARAM;
    if (!(buffer->flags & DSBCAPS_CTRLVOLUME)) return DSERR_CONTROLUNAVAIL;
    if (volume < DSBVOLUME_MIN || volume > DSBVOLUME_MAX) return DSERR_INVALIDPARAM;
    std::lock_guard<std::mutex> guard(buffer->device->lock);
    buffer->volume = volume;
    UpdateGains(buffer);
    return DS_OK;
}

int GetVolume(LPDIRECTSOUNDBUFFER buffer, long* volume) {
    if (!buffer || !volume) return DSERR_INVALIDPARAM;
    if (!(buffer->flags & DSBCAPS_CTRLVOLUME)) return DSERR_CONTROLUNAVAIL;
    *volume = buffer->volume;
    return DS_OK;
}

void RenderAudioToMemory(LPDIRECTSOUND device, bool on) {
    if (!device) return;
    {
        std::lock_guard<std::mutex> guard(device->lock);
        device->memoryOnly = on;
    }
    // Pausing waits for the callback, which takes the lock: never pause while holding it.
    if (device->id) SDL_PauseAudioDevice(device->id, on ? 1 : 0);
}

void RenderAudio(LPDIRECTSOUND device, float* out, int frames) {
    if (!device || !out || frames <= 0) return;
    std::lock_guard<std::mutex> guard(device->lock);
    MixLocked(device, out, frames);
}

}  // namespace platform
