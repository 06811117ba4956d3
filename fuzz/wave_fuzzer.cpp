// The WAV reader on any bytes, through a memory stream: what it takes is PCM it can
// play, with all its samples inside the file. A file it takes is then loaded as a
// sample on the dummy sound device and played: the mix stays within full scale.
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "host/globals.h"
#include "sound/SFXSound.h"
#include "sound/wave.h"

namespace {

// The host's sound device on the dummy driver, mixed only into memory.
bool OpenDevice() {
    static const bool open = [] {
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        if (!DXsnd.Create(nullptr)) return false;
        platform::RenderAudioToMemory(DXsnd.lpDS, true);
        return true;
    }();
    return open;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;  // fmemopen takes no empty buffer
    std::FILE* f = fmemopen(const_cast<uint8_t*>(data), size, "rb");
    if (!f) return 0;
    WaveInfo info{};
    const bool taken = ReadWaveHeader(f, &info);
    std::fclose(f);
    if (!taken) return 0;
    const platform::WaveFormat& w = info.format;
    VX_FUZZ_CHECK(info.dataSize > 0);
    VX_FUZZ_CHECK(info.dataOffset >= 20 && (uint64_t)info.dataOffset + info.dataSize <= size);
    VX_FUZZ_CHECK(w.formatTag == platform::WAVE_FORMAT_PCM);
    VX_FUZZ_CHECK(w.channels == 1 || w.channels == 2);
    VX_FUZZ_CHECK(w.bitsPerSample == 8 || w.bitsPerSample == 16);
    VX_FUZZ_CHECK(w.blockAlign == w.channels * w.bitsPerSample / 8);
    VX_FUZZ_CHECK(w.samplesPerSec >= platform::DSBFREQUENCY_MIN &&
                  w.samplesPerSec <= platform::DSBFREQUENCY_MAX);
    VX_FUZZ_CHECK(w.avgBytesPerSec == w.samplesPerSec * w.blockAlign);

    if (!OpenDevice()) return 0;
    const std::string path = vxfuzz::Folder() + "/sound.wav";
    vxfuzz::WriteFile(path, data, size);
    SFXSoundBuffer sample;
    if (!sample.Load(&DXsnd, path.c_str(), 1 + data[size - 1] % 3)) return 0;
    sample.Play(0, 0);
    std::vector<float> out(2 * 256);
    platform::RenderAudio(DXsnd.lpDS, out.data(), 256);
    for (float v : out) VX_FUZZ_CHECK(v >= -1.0f && v <= 1.0f);
    return 0;
}
