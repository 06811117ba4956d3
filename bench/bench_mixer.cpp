// Mixer benchmark: how many play buffers mix in real time at 44100 Hz stereo, and
// the CPU share of 32 of them. Plain timers (the thread's CPU time); renders to
// memory on the dummy driver.
//   bench_mixer [seconds of audio per measurement, default 5]
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <vector>

#include "platform/audio.h"

using namespace platform;

// CPU time of the calling thread: the machine is shared, wall time would count others.
double ThreadSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec * 1e-9;
}

namespace {

constexpr int kBlock = 1024;  // frames per mix, as the device asks for them

LPDIRECTSOUNDBUFFER MakeTone(LPDIRECTSOUND device, int rate, int channels, int index) {
    const int frames = rate;  // one second, looped
    WaveFormat f{WAVE_FORMAT_PCM,          (uint16_t)channels,
                 (uint32_t)rate,           (uint32_t)(rate * 2 * channels),
                 (uint16_t)(2 * channels), 16};
    SoundBufferDesc desc{sizeof(desc), DSBCAPS_STATIC | DSBCAPS_CTRLPAN | DSBCAPS_CTRLVOLUME,
                         (uint32_t)(frames * 2 * channels), 0, &f};
    LPDIRECTSOUNDBUFFER b = nullptr;
    if (CreateSoundBuffer(device, &desc, &b) != DS_OK) return nullptr;
    void *p1, *p2;
    uint32_t n1, n2;
    Lock(b, 0, 0, &p1, &n1, &p2, &n2, DSBLOCK_ENTIREBUFFER);
    int16_t* s = (int16_t*)p1;
    for (int i = 0; i < frames * channels; ++i)
        s[i] = (int16_t)(600 * std::sin(0.03 * (index + 1) * (i / channels)));
    Unlock(b, p1, n1, p2, n2);
    SetPan(b, (index % 21) * 1000 - 10000);
    SetVolume(b, -(index % 7) * 300);
    Play(b, 0, 0, DSBPLAY_LOOPING);
    return b;
}

// Seconds of CPU per second of audio with `voices` buffers playing: 64 distinct
// one-second samples, the rest duplicates of them (sharing their blocks, as the
// slots' play buffers do), each at its own position, pan and volume.
double CostPerAudioSecond(LPDIRECTSOUND device, int voices, int channels, double seconds) {
    std::vector<LPDIRECTSOUNDBUFFER> buffers;
    for (int i = 0; i < voices; ++i) {
        LPDIRECTSOUNDBUFFER b = nullptr;
        if (i < 64) {
            b = MakeTone(device, 22050, channels, i);
        } else if (DuplicateSoundBuffer(device, buffers[i % 64], &b) == DS_OK) {
            SetCurrentPosition(b, (uint32_t)(i * 997 % 22050) * 2 * channels);
            SetPan(b, (i % 21) * 1000 - 10000);
            SetVolume(b, -(i % 7) * 300);
            Play(b, 0, 0, DSBPLAY_LOOPING);
        }
        if (!b) break;
        buffers.push_back(b);
    }
    std::vector<float> out(2 * kBlock);
    const int deviceRate = AudioDeviceRate(device);
    const long blocks = (long)(seconds * deviceRate / kBlock);
    RenderAudio(device, out.data(), kBlock);  // warm the caches
    double start = ThreadSeconds();
    for (long i = 0; i < blocks; ++i) RenderAudio(device, out.data(), kBlock);
    double elapsed = ThreadSeconds() - start;
    for (LPDIRECTSOUNDBUFFER b : buffers) Release(b);
    return elapsed / ((double)blocks * kBlock / deviceRate);
}

// The most buffers whose mixing keeps up with the device on this core: doubling,
// then halving the step, to within a sixteenth.
int MostInRealTime(LPDIRECTSOUND device, int channels, double seconds) {
    int low = 32, high = 64;
    while (CostPerAudioSecond(device, high, channels, seconds) < 1.0 && high < (1 << 20)) {
        low = high;
        high *= 2;
    }
    while (high - low > low / 16) {
        int mid = (low + high) / 2;
        if (CostPerAudioSecond(device, mid, channels, seconds) < 1.0)
            low = mid;
        else
            high = mid;
    }
    return low;
}

}  // namespace

int main(int argc, char** argv) {
    double seconds = argc > 1 ? std::atof(argv[1]) : 5.0;
    if (seconds <= 0) seconds = 5.0;
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    LPDIRECTSOUND device = nullptr;
    if (OpenSoundDevice(&device) != DS_OK) {
        std::fprintf(stderr, "no audio device\n");
        return 1;
    }
    RenderAudioToMemory(device, true);
    std::printf("device: %s, %d Hz stereo float, %d-frame blocks, %.1f s of audio each\n",
                AudioDriver(device), AudioDeviceRate(device), kBlock, seconds);

    // Conversion happens once per Unlock: the price of loading a second of sound.
    for (int rate : {22050, 44100, 48000}) {
        double start = ThreadSeconds();
        LPDIRECTSOUNDBUFFER b = MakeTone(device, rate, 1, 0);
        double ms = (ThreadSeconds() - start) * 1000;
        std::printf("load 1 s of %5d Hz 16-bit mono: %.2f ms\n", rate, ms);
        Release(b);
    }

    for (int channels : {1, 2}) {
        const char* kind = channels == 1 ? "mono" : "stereo";
        double idle = CostPerAudioSecond(device, 0, channels, seconds);
        double share32 = CostPerAudioSecond(device, 32, channels, seconds);
        double all512 = CostPerAudioSecond(device, 512, channels, seconds);
        std::printf(
            "%s 22050 Hz samples: no buffers %.4f%% CPU, 32 buffers %.3f%% CPU, "
            "512 buffers (128 slots x 4) %.2f%% CPU\n",
            kind, idle * 100, share32 * 100, all512 * 100);
        std::printf("%s: at most %d buffers mix in real time on one core\n", kind,
                    MostInRealTime(device, channels, seconds));
    }
    Release(device);
    return 0;
}
