// The sound device and samples: a WAV file in a static play buffer, plus up to three
// duplicates so that one sample can sound several times at once.
#include "sound/SFXSound.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <utility>

#include "base/errors.h"
#include "platform/files.h"
#include "sound/wave.h"

using namespace platform;

SFXSound::SFXSound() : lpDS(nullptr), caps{} {}

SFXSound::~SFXSound() {
    if (lpDS) Release(lpDS);
    lpDS = nullptr;
}

bool SFXSound::Create(HWND window) {
    if (lpDS) return true;  // one device for the process
    if (OpenSoundDevice(&lpDS) != DS_OK) return false;
    return SetCooperativeLevel(lpDS, window, DSSCL_NORMAL) == DS_OK;
}

bool SFXSound::GetCaps() {
    if (!lpDS) return false;
    caps.size = sizeof(caps);
    return platform::GetCaps(lpDS, &caps) == DS_OK;
}

SFXSoundBuffer::SFXSoundBuffer()
    : count(1), current(0), fileName(nullptr), device(nullptr), buffers{} {}

SFXSoundBuffer::~SFXSoundBuffer() {
    ReleaseBuffers();
    device = nullptr;
}

void SFXSoundBuffer::ReleaseBuffers() {
    for (LPDIRECTSOUNDBUFFER& b : buffers) {
        if (b) Release(b);
        b = nullptr;
    }
}

bool SFXSoundBuffer::Load(SFXSound* sound, const char* name, int wanted) {
    // The new sample is made in fresh play buffers; the old one is given up only when
    // the new one is whole, so a failed load leaves the slot as it was.
    SFXSoundBuffer old;
    old.count = count;
    old.current = current;
    old.device = device;
    for (int i = 0; i < 4; ++i) old.buffers[i] = buffers[i];
    for (LPDIRECTSOUNDBUFFER& b : buffers) b = nullptr;
    current = 0;
    device = sound;
    count = wanted < 1 ? 1 : wanted > 4 ? 4 : wanted;
    fileName = name;
    bool loaded = device && device->lpDS && fileName && LoadFromFile();
    for (int i = 1; loaded && i < count; ++i) {
        if (DuplicateSoundBuffer(device->lpDS, buffers[0], &buffers[i]) == DS_OK) continue;
        // The device would not share the data: an independent copy of the sample.
        LPDIRECTSOUNDBUFFER first = buffers[0];
        buffers[0] = nullptr;
        loaded = LoadFromFile();
        buffers[i] = buffers[0];
        buffers[0] = first;
    }
    if (!loaded) {
        // Swapped back, so that `old` releases what the failed load made.
        std::swap(count, old.count);
        std::swap(current, old.current);
        std::swap(device, old.device);
        for (int i = 0; i < 4; ++i) std::swap(buffers[i], old.buffers[i]);
    }
    return loaded;
}

bool SFXSoundBuffer::LoadFromFile() {
    if (!fileName) return false;
    FILE* file = _OpenDataFile(ResolvePath(fileName));
    if (!file) return false;
    WaveInfo wave;
    const char* failure = nullptr;
    if (!ReadWaveHeader(file, &wave))
        failure = "not an 8- or 16-bit PCM WAV file whose samples are all there";
    else if (!CreateSoundBuffer(wave.dataSize, wave.format.samplesPerSec, wave.format.bitsPerSample,
                                wave.format.blockAlign, wave.format.channels > 1))
        failure = "the sound device could not hold the sample";
    else if (!ReadData(file, wave.dataSize, wave.dataOffset))
        failure = "the samples could not be read";
    if (failure) _NoteFileReason(failure);
    std::fclose(file);
    return !failure;
}

bool SFXSoundBuffer::CreateSoundBuffer(unsigned long bytes, unsigned long rate, unsigned long bits,
                                       unsigned long blockAlign, int stereo) {
    if (!device || !device->lpDS) return false;
    if (buffers[0]) Release(buffers[0]);
    buffers[0] = nullptr;
    WaveFormat format{};
    format.formatTag = WAVE_FORMAT_PCM;
    format.channels = stereo ? 2 : 1;
    format.samplesPerSec = (uint32_t)rate;
    format.blockAlign = (uint16_t)blockAlign;
    format.avgBytesPerSec = (uint32_t)(format.blockAlign * rate);
    format.bitsPerSample = (uint16_t)bits;

    SoundBufferDesc desc{};
    desc.size = sizeof(desc);
    desc.flags =
        DSBCAPS_STATIC | DSBCAPS_CTRLPAN | DSBCAPS_CTRLVOLUME | DSBCAPS_GETCURRENTPOSITION2;
    desc.bufferBytes = bytes > DSBSIZE_MAX ? DSBSIZE_MAX + 1 : (uint32_t)bytes;
    desc.format = &format;
    if (platform::CreateSoundBuffer(device->lpDS, &desc, &buffers[0]) == DS_OK) return true;
    // A device without pan and volume control still plays the sample.
    desc.flags = DSBCAPS_STATIC | DSBCAPS_GETCURRENTPOSITION2;
    if (platform::CreateSoundBuffer(device->lpDS, &desc, &buffers[0]) == DS_OK) return true;
    device = nullptr;
    return false;
}

bool SFXSoundBuffer::ReadData(FILE* file, unsigned long size, unsigned long position) {
    if (!file || !buffers[0]) return false;
    if (position != 0xFFFFFFFFul && std::fseek(file, (long)position, SEEK_SET) != 0) return false;
    void* part1 = nullptr;
    void* part2 = nullptr;
    uint32_t bytes1 = 0, bytes2 = 0;
    uint32_t wanted = size > DSBSIZE_MAX ? DSBSIZE_MAX + 1 : (uint32_t)size;
    if (Lock(buffers[0], 0, wanted, &part1, &bytes1, &part2, &bytes2, DSBLOCK_FROMWRITECURSOR) !=
        DS_OK)
        return false;
    bool whole = true;
    if (part1 && bytes1 && std::fread(part1, 1, bytes1, file) != bytes1) {
        std::fprintf(stderr, "Data1 : %d, dwdata: %d, fp: %d\n", (int)(intptr_t)part1, (int)bytes1,
                     fileno(file));
        whole = false;
    }
    if (whole && part2 && bytes2 && std::fread(part2, 1, bytes2, file) != bytes2) whole = false;
    // The lock is released on every path; a short read keeps what arrived.
    bool unlocked = Unlock(buffers[0], part1, bytes1, part2, bytes2) == DS_OK;
    return whole && unlocked;
}

LPDIRECTSOUNDBUFFER SFXSoundBuffer::GetFreeBuffer() {
    if (current < 0 || current >= count || current >= 4) current = 0;
    LPDIRECTSOUNDBUFFER b = buffers[current];
    if (!b) return nullptr;
    uint32_t status = 0;
    if (platform::GetStatus(b, &status) != DS_OK) status = 0;
    if (status & DSBSTATUS_PLAYING) {
        if (count <= 1) return nullptr;  // one play buffer: not restarted while it sounds
        current = (current + 1) % count;
        KWFileSystem::WriteDebug((double)current);
        KWFileSystem::WriteDebug((double)count);
        b = buffers[current];
        if (!b) return nullptr;
        if (platform::GetStatus(b, &status) == DS_OK) {
            if (status & DSBSTATUS_PLAYING) {
                // Every play buffer sounds: the next one is cut and starts over.
                platform::Stop(b);
                SetCurrentPosition(b, 0);
            }
        } else {
            status = 0;
        }
    }
    if ((status & DSBSTATUS_BUFFERLOST) && Restore(b) != DS_OK) return nullptr;
    return b;
}

bool SFXSoundBuffer::Play(int pan, unsigned long flags) {
    if (!device || !device->lpDS) return false;
    LPDIRECTSOUNDBUFFER b = GetFreeBuffer();
    if (!b) return false;
    if (pan != 0) SetPan(b, pan);
    return platform::Play(b, 0, 0, (uint32_t)flags) == DS_OK;
}

bool SFXSoundBuffer::Stop() {
    if (!device || !device->lpDS) return false;
    for (int i = 0; i < count && i < 4; ++i) {
        if (!buffers[i]) continue;
        if (platform::Stop(buffers[i]) != DS_OK) return false;
        if (SetCurrentPosition(buffers[i], 0) != DS_OK) return false;
    }
    return true;
}

void SFXSoundBuffer::SetVolume(long volume) {
    if (!device) return;
    for (int i = 0; i < count && i < 4; ++i)
        if (buffers[i]) platform::SetVolume(buffers[i], volume);
}
