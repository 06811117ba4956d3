// The WAV reader on any bytes, through a memory stream: what it takes is PCM it can
// play, with all its samples inside the file.
#include <cstdio>

#include "fuzz/fuzz_support.h"
#include "sound/wave.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;  // fmemopen takes no empty buffer
    std::FILE* f = fmemopen(const_cast<uint8_t*>(data), size, "rb");
    if (!f) return 0;
    WaveInfo info{};
    if (ReadWaveHeader(f, &info)) {
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
    }
    std::fclose(f);
    return 0;
}
