// The sound device and the samples with their play buffers.
#pragma once

#include <cstdio>

#include "platform/audio.h"
#include "platform/types.h"

class SFXSound {
public:
    SFXSound();
    ~SFXSound();

    // Opens the sound device; true on success.
    bool Create(HWND window);
    // Reads the device's capabilities; false without a device.
    bool GetCaps();

    platform::LPDIRECTSOUND lpDS;  // owned; empty until Create succeeds
    platform::AudioCaps caps;      // filled by GetCaps
};

// One sample: play buffer 0 holds the data, up to three more share it so that the
// sample can sound several times at once.
class SFXSoundBuffer {
public:
    SFXSoundBuffer();
    ~SFXSoundBuffer();

    // Loads a WAV file with `count` play buffers (capped to 1..4); true on success.
    bool Load(SFXSound* device, const char* fileName, int count);
    // Reads `fileName` into a new play buffer 0.
    bool LoadFromFile();
    // Creates play buffer 0 for a PCM format and size.
    bool CreateSoundBuffer(unsigned long bytes, unsigned long rate, unsigned long bits,
                           unsigned long blockAlign, int stereo);
    // Copies `size` bytes from `file` at `position` (0xFFFFFFFF: where it stands) into
    // play buffer 0.
    bool ReadData(FILE* file, unsigned long size, unsigned long position);
    // The play buffer for the next play, or null.
    platform::LPDIRECTSOUNDBUFFER GetFreeBuffer();
    // Plays the sample once more; a pan of 0 keeps the play buffer's pan.
    bool Play(int pan, unsigned long flags);
    // Stops and rewinds every play buffer.
    bool Stop();
    // Sets the volume of every play buffer (hundredths of a decibel, 0 full).
    void SetVolume(long volume);

    int count;
    int current;
    const char* fileName;  // the caller's text, used only during Load
    SFXSound* device;      // empty: the slot holds no sample
    platform::LPDIRECTSOUNDBUFFER buffers[4];

private:
    // Releases every play buffer.
    void ReleaseBuffers();
};
