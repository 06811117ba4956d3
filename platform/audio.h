// Sound output: one audio device and a mixer of static sound buffers that behave
// like DirectSound's (lock/unlock, play once or looping, stop, position, status,
// duplicates sharing one sample block, pan and volume in hundredths of a decibel).
// Backed by SDL2 (platform/sdl/audio.cpp); with no sound device it runs on SDL's
// dummy driver. Every call is safe against the device's mixing thread.
#pragma once
#include <cstdint>

#include "platform/types.h"

struct PlatformAudioDevice;
struct PlatformSoundBuffer;

namespace platform {

using LPDIRECTSOUND = PlatformAudioDevice*;
using LPDIRECTSOUNDBUFFER = PlatformSoundBuffer*;

// Results: 0 is success, anything else a failure, as DirectSound's results are.
constexpr int DS_OK = 0;
constexpr int DSERR_GENERIC = -1;
constexpr int DSERR_INVALIDPARAM = -2;
constexpr int DSERR_OUTOFMEMORY = -3;
constexpr int DSERR_NODRIVER = -4;
constexpr int DSERR_CONTROLUNAVAIL = -5;
constexpr int DSERR_BUFFERLOST = -6;
constexpr int DSERR_INVALIDCALL = -7;

// Cooperative levels.
constexpr uint32_t DSSCL_NORMAL = 1;
constexpr uint32_t DSSCL_PRIORITY = 2;

// Buffer capabilities asked for at creation.
constexpr uint32_t DSBCAPS_STATIC = 0x00000002;
constexpr uint32_t DSBCAPS_CTRLFREQUENCY = 0x00000020;
constexpr uint32_t DSBCAPS_CTRLPAN = 0x00000040;
constexpr uint32_t DSBCAPS_CTRLVOLUME = 0x00000080;
constexpr uint32_t DSBCAPS_GETCURRENTPOSITION2 = 0x00010000;

// Buffer status bits.
constexpr uint32_t DSBSTATUS_PLAYING = 0x00000001;
constexpr uint32_t DSBSTATUS_BUFFERLOST = 0x00000002;
constexpr uint32_t DSBSTATUS_LOOPING = 0x00000004;

constexpr uint32_t DSBPLAY_LOOPING = 0x00000001;
constexpr uint32_t DSBLOCK_FROMWRITECURSOR = 0x00000001;
constexpr uint32_t DSBLOCK_ENTIREBUFFER = 0x00000002;

constexpr long DSBPAN_LEFT = -10000;
constexpr long DSBPAN_CENTER = 0;
constexpr long DSBPAN_RIGHT = 10000;
constexpr long DSBVOLUME_MIN = -10000;
constexpr long DSBVOLUME_MAX = 0;

constexpr uint32_t DSBSIZE_MIN = 4;
constexpr uint32_t DSBSIZE_MAX = 0x0FFFFFFF;
constexpr uint32_t DSBFREQUENCY_MIN = 100;
constexpr uint32_t DSBFREQUENCY_MAX = 200000;

constexpr uint16_t WAVE_FORMAT_PCM = 1;

// The PCM format record of a buffer.
struct WaveFormat {
    uint16_t formatTag;
    uint16_t channels;
    uint32_t samplesPerSec;
    uint32_t avgBytesPerSec;
    uint16_t blockAlign;
    uint16_t bitsPerSample;
};

// What a new buffer is to be: its size field must be sizeof(SoundBufferDesc).
struct SoundBufferDesc {
    uint32_t size;
    uint32_t flags;
    uint32_t bufferBytes;
    uint32_t reserved;
    const WaveFormat* format;
};

// The device's capabilities record (96 bytes); its size field must be set by the caller.
struct AudioCaps {
    uint32_t size;
    uint32_t flags;
    uint32_t minSecondarySampleRate;
    uint32_t maxSecondarySampleRate;
    uint32_t primaryBuffers;
    uint32_t maxHwMixingAllBuffers;
    uint32_t maxHwMixingStaticBuffers;
    uint32_t maxHwMixingStreamingBuffers;
    uint32_t freeHwMixingAllBuffers;
    uint32_t freeHwMixingStaticBuffers;
    uint32_t freeHwMixingStreamingBuffers;
    uint32_t maxHw3DAllBuffers;
    uint32_t maxHw3DStaticBuffers;
    uint32_t maxHw3DStreamingBuffers;
    uint32_t freeHw3DAllBuffers;
    uint32_t freeHw3DStaticBuffers;
    uint32_t freeHw3DStreamingBuffers;
    uint32_t totalHwMemBytes;
    uint32_t freeHwMemBytes;
    uint32_t maxContigFreeHwMemBytes;
    uint32_t unlockTransferRateHwBuffers;
    uint32_t playCpuOverheadSwBuffers;
    uint32_t reserved1;
    uint32_t reserved2;
};
static_assert(sizeof(AudioCaps) == 96, "the capabilities record is 96 bytes");

// Capability flags reported in AudioCaps::flags.
constexpr uint32_t DSCAPS_PRIMARYMONO = 0x00000001;
constexpr uint32_t DSCAPS_PRIMARYSTEREO = 0x00000002;
constexpr uint32_t DSCAPS_PRIMARY8BIT = 0x00000004;
constexpr uint32_t DSCAPS_PRIMARY16BIT = 0x00000008;
constexpr uint32_t DSCAPS_CONTINUOUSRATE = 0x00000010;
constexpr uint32_t DSCAPS_EMULDRIVER = 0x00000020;
constexpr uint32_t DSCAPS_SECONDARYMONO = 0x00000100;
constexpr uint32_t DSCAPS_SECONDARYSTEREO = 0x00000200;
constexpr uint32_t DSCAPS_SECONDARY8BIT = 0x00000400;
constexpr uint32_t DSCAPS_SECONDARY16BIT = 0x00000800;

// Opens the default audio device (SDL's dummy driver where no other opens) with its
// mixer running; `*device` is null on failure.
int OpenSoundDevice(LPDIRECTSOUND* device);
// Adds a reference to the device.
uint32_t AddRef(LPDIRECTSOUND device);
// Drops a reference; the device closes with the last one (each buffer holds one).
uint32_t Release(LPDIRECTSOUND device);
// Accepts DSSCL_NORMAL or DSSCL_PRIORITY; the window is not needed by this mixer.
int SetCooperativeLevel(LPDIRECTSOUND device, HWND window, uint32_t level);
// Fills the capabilities record; caps->size must be 96.
int GetCaps(LPDIRECTSOUND device, AudioCaps* caps);
// Creates a stopped buffer of silence for a PCM format: 8-bit unsigned or 16-bit signed,
// one or two channels, DSBFREQUENCY_MIN to DSBFREQUENCY_MAX samples a second.
// DSERR_OUTOFMEMORY when the mixer could not hold the sample (this mixer keeps it in
// 16 bits at the device's rate, and refuses one that would pass 256 MiB there).
int CreateSoundBuffer(LPDIRECTSOUND device, const SoundBufferDesc* desc,
                      LPDIRECTSOUNDBUFFER* buffer);
// Creates a stopped buffer that shares the original's sample block, format, pan and volume.
int DuplicateSoundBuffer(LPDIRECTSOUND device, LPDIRECTSOUNDBUFFER original,
                         LPDIRECTSOUNDBUFFER* duplicate);
// Name of the audio driver in use ("pulseaudio", "dummy", ...), or "" without a device.
const char* AudioDriver(LPDIRECTSOUND device);
// Samples a second of the device's output (always two channels).
int AudioDeviceRate(LPDIRECTSOUND device);

// Drops the buffer (it stops sounding at once); its block lives while duplicates use it.
uint32_t Release(LPDIRECTSOUNDBUFFER buffer);
// Gives up to two regions covering `bytes` bytes from `offset` (or from the write
// cursor, or the entire buffer, as the flags say), wrapping at the buffer's end.
int Lock(LPDIRECTSOUNDBUFFER buffer, uint32_t offset, uint32_t bytes, void** part1,
         uint32_t* bytes1, void** part2, uint32_t* bytes2, uint32_t flags);
// Ends a lock; the written bytes are what the buffer plays from now on.
int Unlock(LPDIRECTSOUNDBUFFER buffer, void* part1, uint32_t bytes1, void* part2, uint32_t bytes2);
// Starts playing from the current position, once or looping (DSBPLAY_LOOPING).
int Play(LPDIRECTSOUNDBUFFER buffer, uint32_t reserved, uint32_t priority, uint32_t flags);
// Stops playing; the position stays where it was.
int Stop(LPDIRECTSOUNDBUFFER buffer);
// Moves the play position to a byte offset inside the buffer.
int SetCurrentPosition(LPDIRECTSOUNDBUFFER buffer, uint32_t position);
// Reads the play and write cursors (byte offsets); either pointer may be null.
int GetCurrentPosition(LPDIRECTSOUNDBUFFER buffer, uint32_t* play, uint32_t* write);
// Reads the DSBSTATUS_* bits.
int GetStatus(LPDIRECTSOUNDBUFFER buffer, uint32_t* status);
// Makes a lost buffer usable again (its contents are not written again).
int Restore(LPDIRECTSOUNDBUFFER buffer);
// Pan in hundredths of a decibel, -10000 (left) to 10000 (right): the opposite side is
// attenuated by that much. Needs DSBCAPS_CTRLPAN.
int SetPan(LPDIRECTSOUNDBUFFER buffer, long pan);
int GetPan(LPDIRECTSOUNDBUFFER buffer, long* pan);
// Volume in hundredths of a decibel, 0 (full) down to -10000 (silence). Needs
// DSBCAPS_CTRLVOLUME.
int SetVolume(LPDIRECTSOUNDBUFFER buffer, long volume);
int GetVolume(LPDIRECTSOUNDBUFFER buffer, long* volume);

// Takes the mixer off the device (true) so that only RenderAudio advances it, or
// gives it back. Used to hear the mixer's exact output.
void RenderAudioToMemory(LPDIRECTSOUND device, bool on);
// Mixes the next `frames` frames of every playing buffer into `out` as interleaved
// stereo floats at AudioDeviceRate, advancing the buffers as the device would.
void RenderAudio(LPDIRECTSOUND device, float* out, int frames);

}  // namespace platform
