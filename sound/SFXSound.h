// The sound device and the samples with their play buffers.
#pragma once

#include "platform/types.h"

class SFXSound {
public:
    SFXSound();
    ~SFXSound();

    // Opens the sound device; true on success.
    bool Create(HWND window);
    // Reads the device's capabilities; false without a device.
    bool GetCaps();
};

class SFXSoundBuffer {
public:
    SFXSoundBuffer();
    ~SFXSoundBuffer();
};
