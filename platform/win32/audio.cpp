// Win32 backend of the sound buffers: DirectSound itself. The device, its static
// secondary buffers and their duplicates are DirectSound's; this file checks what
// the seam promises (formats, sizes, locks) and turns results into the seam's codes.
// DirectSound is loaded at run time, so a system without it runs without sound.
#include "platform/win32/win32_internal.h"

#include <atomic>
#include <cstring>
#include <memory>
#include <new>

namespace {

// DirectSound's own results, before the seam's names of the same spelling return.
constexpr HRESULT kNativeInvalidParam = DSERR_INVALIDPARAM;
constexpr HRESULT kNativeOutOfMemory = DSERR_OUTOFMEMORY;
constexpr HRESULT kNativeNoDriver = DSERR_NODRIVER;
constexpr HRESULT kNativeControlUnavail = DSERR_CONTROLUNAVAIL;
constexpr HRESULT kNativeBufferLost = DSERR_BUFFERLOST;
constexpr HRESULT kNativeInvalidCall = DSERR_INVALIDCALL;

}  // namespace

#undef DS_OK
#undef DSERR_GENERIC
#undef DSERR_INVALIDPARAM
#undef DSERR_OUTOFMEMORY
#undef DSERR_NODRIVER
#undef DSERR_CONTROLUNAVAIL
#undef DSERR_BUFFERLOST
#undef DSERR_INVALIDCALL
#undef DSBFREQUENCY_MIN
#undef DSBFREQUENCY_MAX
#undef DSBSIZE_MIN
#undef DSBSIZE_MAX

struct PlatformAudioDevice {
    std::atomic<uint32_t> refs{1};
    HMODULE library = nullptr;
    IDirectSound* sound = nullptr;
    int rate = 22050;  // DirectSound's primary format in the normal cooperative level
};

struct PlatformSoundBuffer {
    PlatformAudioDevice* device = nullptr;
    IDirectSoundBuffer* buffer = nullptr;
    uint32_t flags = 0;
    uint32_t bytes = 0;
    // Locks open on the sample block, shared with the duplicates.
    std::shared_ptr<int> locks;
};

namespace platform {
namespace {

int Result(HRESULT hr) {
    if (SUCCEEDED(hr)) return DS_OK;
    if (hr == kNativeInvalidParam) return DSERR_INVALIDPARAM;
    if (hr == kNativeOutOfMemory) return DSERR_OUTOFMEMORY;
    if (hr == kNativeNoDriver) return DSERR_NODRIVER;
    if (hr == kNativeControlUnavail) return DSERR_CONTROLUNAVAIL;
    if (hr == kNativeBufferLost) return DSERR_BUFFERLOST;
    if (hr == kNativeInvalidCall) return DSERR_INVALIDCALL;
    return DSERR_GENERIC;
}

bool ValidFormat(const WaveFormat* f) {
    return f && f->formatTag == WAVE_FORMAT_PCM && (f->channels == 1 || f->channels == 2) &&
           (f->bitsPerSample == 8 || f->bitsPerSample == 16) &&
           f->blockAlign == f->channels * f->bitsPerSample / 8 &&
           f->samplesPerSec >= DSBFREQUENCY_MIN && f->samplesPerSec <= DSBFREQUENCY_MAX;
}

int AddBuffer(PlatformAudioDevice* device, IDirectSoundBuffer* native, uint32_t flags,
              uint32_t bytes, std::shared_ptr<int> locks, LPDIRECTSOUNDBUFFER* result) {
    PlatformSoundBuffer* b = new (std::nothrow) PlatformSoundBuffer();
    if (!b) {
        native->Release();
        return DSERR_OUTOFMEMORY;
    }
    b->device = device;
    b->buffer = native;
    b->flags = flags;
    b->bytes = bytes;
    b->locks = std::move(locks);
    AddRef(device);
    *result = b;
    return DS_OK;
}

// The primary buffer's rate, which the device mixes at.
int PrimaryRate(IDirectSound* sound) {
    DSBUFFERDESC desc{};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DSBCAPS_PRIMARYBUFFER;
    IDirectSoundBuffer* primary = nullptr;
    int rate = 0;
    if (SUCCEEDED(sound->CreateSoundBuffer(&desc, &primary, nullptr)) && primary) {
        WAVEFORMATEX format{};
        if (SUCCEEDED(primary->GetFormat(&format, sizeof(format), nullptr)))
            rate = (int)format.nSamplesPerSec;
        primary->Release();
    }
    return rate;
}

}  // namespace

int OpenSoundDevice(LPDIRECTSOUND* device) {
    if (!device) return DSERR_INVALIDPARAM;
    *device = nullptr;
    HMODULE library = ::LoadLibraryA("dsound.dll");
    if (!library) return DSERR_NODRIVER;
    using Create = HRESULT(WINAPI*)(const GUID*, IDirectSound**, IUnknown*);
    Create create = (Create)(void*)::GetProcAddress(library, "DirectSoundCreate");
    IDirectSound* sound = nullptr;
    HRESULT hr = create ? create(nullptr, &sound, nullptr) : kNativeNoDriver;
    if (FAILED(hr) || !sound) {
        // Whatever the system's reason, no device answered.
        ::FreeLibrary(library);
        return hr == kNativeOutOfMemory ? DSERR_OUTOFMEMORY : DSERR_NODRIVER;
    }
    PlatformAudioDevice* d = new (std::nothrow) PlatformAudioDevice();
    if (!d) {
        sound->Release();
        ::FreeLibrary(library);
        return DSERR_OUTOFMEMORY;
    }
    d->library = library;
    d->sound = sound;
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
        device->sound->Release();
        ::FreeLibrary(device->library);
        delete device;
    }
    return left;
}

int SetCooperativeLevel(LPDIRECTSOUND device, HWND window, uint32_t level) {
    if (!device) return DSERR_INVALIDPARAM;
    if (level != DSSCL_NORMAL && level != DSSCL_PRIORITY) return DSERR_INVALIDPARAM;
    // DirectSound wants a window; without one the desktop's stands in, as for a
    // program that plays sound before its window exists.
    Win32HWND native = window ? win32::NativeWindow(window) : nullptr;
    if (!native) native = ::GetDesktopWindow();
    int result = Result(device->sound->SetCooperativeLevel(native, level));
    if (result == DS_OK) {
        int rate = PrimaryRate(device->sound);
        if (rate > 0) device->rate = rate;
    }
    return result;
}

int GetCaps(LPDIRECTSOUND device, AudioCaps* caps) {
    if (!device || !caps || caps->size != sizeof(AudioCaps)) return DSERR_INVALIDPARAM;
    static_assert(sizeof(DSCAPS) == sizeof(AudioCaps), "the seam keeps DirectSound's record");
    DSCAPS native{};
    native.dwSize = sizeof(native);
    int result = Result(device->sound->GetCaps(&native));
    if (result == DS_OK) std::memcpy(caps, &native, sizeof(native));
    return result;
}

int CreateSoundBuffer(LPDIRECTSOUND device, const SoundBufferDesc* desc,
                      LPDIRECTSOUNDBUFFER* buffer) {
    if (!buffer) return DSERR_INVALIDPARAM;
    *buffer = nullptr;
    if (!device || !desc || desc->size != sizeof(SoundBufferDesc) || !ValidFormat(desc->format))
        return DSERR_INVALIDPARAM;
    if (desc->bufferBytes < DSBSIZE_MIN || desc->bufferBytes > DSBSIZE_MAX)
        return DSERR_INVALIDPARAM;
    const WaveFormat& f = *desc->format;
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = f.channels;
    format.nSamplesPerSec = f.samplesPerSec;
    format.nAvgBytesPerSec = f.samplesPerSec * f.blockAlign;
    format.nBlockAlign = f.blockAlign;
    format.wBitsPerSample = f.bitsPerSample;
    DSBUFFERDESC native{};
    native.dwSize = sizeof(native);
    native.dwFlags = desc->flags;
    native.dwBufferBytes = desc->bufferBytes;
    native.lpwfxFormat = &format;
    IDirectSoundBuffer* created = nullptr;
    HRESULT hr = device->sound->CreateSoundBuffer(&native, &created, nullptr);
    if (FAILED(hr) || !created) return FAILED(hr) ? Result(hr) : DSERR_GENERIC;
    std::shared_ptr<int> locks(new (std::nothrow) int(0));
    if (!locks) {
        created->Release();
        return DSERR_OUTOFMEMORY;
    }
    return AddBuffer(device, created, desc->flags, desc->bufferBytes, std::move(locks), buffer);
}

int DuplicateSoundBuffer(LPDIRECTSOUND device, LPDIRECTSOUNDBUFFER original,
                         LPDIRECTSOUNDBUFFER* duplicate) {
    if (!duplicate) return DSERR_INVALIDPARAM;
    *duplicate = nullptr;
    if (!device || !original || original->device != device) return DSERR_INVALIDPARAM;
    // A block half written is not handed to a second buffer.
    if (*original->locks > 0) return DSERR_INVALIDCALL;
    IDirectSoundBuffer* created = nullptr;
    HRESULT hr = device->sound->DuplicateSoundBuffer(original->buffer, &created);
    if (FAILED(hr) || !created) return FAILED(hr) ? Result(hr) : DSERR_GENERIC;
    // The duplicate starts with the original's pan and volume, and stopped.
    LONG value = 0;
    if ((original->flags & DSBCAPS_CTRLPAN) && SUCCEEDED(original->buffer->GetPan(&value)))
        created->SetPan(value);
    if ((original->flags & DSBCAPS_CTRLVOLUME) && SUCCEEDED(original->buffer->GetVolume(&value)))
        created->SetVolume(value);
    created->Stop();
    created->SetCurrentPosition(0);
    return AddBuffer(device, created, original->flags, original->bytes, original->locks, duplicate);
}

const char* AudioDriver(LPDIRECTSOUND device) {
    return device ? "directsound" : "";
}

int AudioDeviceRate(LPDIRECTSOUND device) {
    return device ? device->rate : 0;
}

uint32_t Release(LPDIRECTSOUNDBUFFER buffer) {
    if (!buffer) return 0;
    PlatformAudioDevice* device = buffer->device;
    buffer->buffer->Release();
    delete buffer;
    Release(device);
    return 0;
}

int Lock(LPDIRECTSOUNDBUFFER buffer, uint32_t offset, uint32_t bytes, void** part1,
         uint32_t* bytes1, void** part2, uint32_t* bytes2, uint32_t flags) {
    if (!buffer || !part1 || !bytes1) return DSERR_INVALIDPARAM;
    *part1 = nullptr;
    *bytes1 = 0;
    if (part2) *part2 = nullptr;
    if (bytes2) *bytes2 = 0;
    void* first = nullptr;
    void* second = nullptr;
    DWORD firstBytes = 0, secondBytes = 0;
    HRESULT hr = buffer->buffer->Lock(offset, bytes, &first, &firstBytes, part2 ? &second : nullptr,
                                      part2 ? &secondBytes : nullptr, flags);
    if (FAILED(hr)) return Result(hr);
    if (secondBytes > 0 && !bytes2) {
        // The caller has nowhere to take the wrapped part: give the lock back.
        buffer->buffer->Unlock(first, firstBytes, second, secondBytes);
        return DSERR_INVALIDPARAM;
    }
    *part1 = first;
    *bytes1 = (uint32_t)firstBytes;
    if (part2) *part2 = second;
    if (bytes2) *bytes2 = (uint32_t)secondBytes;
    ++*buffer->locks;
    return DS_OK;
}

int Unlock(LPDIRECTSOUNDBUFFER buffer, void* part1, uint32_t bytes1, void* part2, uint32_t bytes2) {
    if (!buffer || *buffer->locks == 0) return DSERR_INVALIDPARAM;
    int result = Result(buffer->buffer->Unlock(part1, bytes1, part2, bytes2));
    if (result == DS_OK) --*buffer->locks;
    return result;
}

int Play(LPDIRECTSOUNDBUFFER buffer, uint32_t reserved, uint32_t priority, uint32_t flags) {
    if (!buffer) return DSERR_INVALIDPARAM;
    return Result(buffer->buffer->Play(reserved, priority, flags));
}

int Stop(LPDIRECTSOUNDBUFFER buffer) {
    if (!buffer) return DSERR_INVALIDPARAM;
    return Result(buffer->buffer->Stop());
}

int SetCurrentPosition(LPDIRECTSOUNDBUFFER buffer, uint32_t position) {
    // Some implementations wrap a position past the end; here it is refused.
    if (!buffer || position >= buffer->bytes) return DSERR_INVALIDPARAM;
    return Result(buffer->buffer->SetCurrentPosition(position));
}

int GetCurrentPosition(LPDIRECTSOUNDBUFFER buffer, uint32_t* play, uint32_t* write) {
    if (!buffer) return DSERR_INVALIDPARAM;
    DWORD p = 0, w = 0;
    int result = Result(buffer->buffer->GetCurrentPosition(&p, &w));
    if (result != DS_OK) return result;
    if (play) *play = (uint32_t)p;
    if (write) *write = (uint32_t)w;
    return DS_OK;
}

int GetStatus(LPDIRECTSOUNDBUFFER buffer, uint32_t* status) {
    if (!buffer || !status) return DSERR_INVALIDPARAM;
    DWORD native = 0;
    int result = Result(buffer->buffer->GetStatus(&native));
    *status = result == DS_OK ? (uint32_t)native &
                                    (DSBSTATUS_PLAYING | DSBSTATUS_BUFFERLOST | DSBSTATUS_LOOPING)
                              : 0;
    return result;
}

int Restore(LPDIRECTSOUNDBUFFER buffer) {
    if (!buffer) return DSERR_INVALIDPARAM;
    return Result(buffer->buffer->Restore());
}

int SetPan(LPDIRECTSOUNDBUFFER buffer, long pan) {
    if (!buffer) return DSERR_INVALIDPARAM;
    if (!(buffer->flags & DSBCAPS_CTRLPAN)) return DSERR_CONTROLUNAVAIL;
    if (pan < DSBPAN_LEFT || pan > DSBPAN_RIGHT) return DSERR_INVALIDPARAM;
    return Result(buffer->buffer->SetPan(pan));
}

int GetPan(LPDIRECTSOUNDBUFFER buffer, long* pan) {
    if (!buffer || !pan) return DSERR_INVALIDPARAM;
    if (!(buffer->flags & DSBCAPS_CTRLPAN)) return DSERR_CONTROLUNAVAIL;
    LONG value = 0;
    int result = Result(buffer->buffer->GetPan(&value));
    if (result == DS_OK) *pan = value;
    return result;
}

int SetVolume(LPDIRECTSOUNDBUFFER buffer, long volume) {
    if (!buffer) return DSERR_INVALIDPARAM;
    if (!(buffer->flags & DSBCAPS_CTRLVOLUME)) return DSERR_CONTROLUNAVAIL;
    if (volume < DSBVOLUME_MIN || volume > DSBVOLUME_MAX) return DSERR_INVALIDPARAM;
    return Result(buffer->buffer->SetVolume(volume));
}

int GetVolume(LPDIRECTSOUNDBUFFER buffer, long* volume) {
    if (!buffer || !volume) return DSERR_INVALIDPARAM;
    if (!(buffer->flags & DSBCAPS_CTRLVOLUME)) return DSERR_CONTROLUNAVAIL;
    LONG value = 0;
    int result = Result(buffer->buffer->GetVolume(&value));
    if (result == DS_OK) *volume = value;
    return result;
}

// DirectSound mixes inside the system: its output cannot be taken off the device.
void RenderAudioToMemory(LPDIRECTSOUND, bool) {}

void RenderAudio(LPDIRECTSOUND device, float* out, int frames) {
    if (!device || !out || frames <= 0) return;
    std::memset(out, 0, sizeof(float) * 2 * (size_t)frames);
}

}  // namespace platform
