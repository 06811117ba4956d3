// The sound device and samples.
#include "sound/SFXSound.h"

SFXSound::SFXSound() {}
SFXSound::~SFXSound() {}
bool SFXSound::Create(HWND) {
    return false;
}
bool SFXSound::GetCaps() {
    return false;
}

SFXSoundBuffer::SFXSoundBuffer() {}
SFXSoundBuffer::~SFXSoundBuffer() {}
