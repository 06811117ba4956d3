// The platform's sound buffers: locks, play/stop, positions, status, pan and volume,
// duplicates. On the Linux build the mixer is heard in memory and the cases check its
// samples too; on the Windows build DirectSound mixes inside the system and the cases
// check what it reports (kHeard false).
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/resource.h>
#endif

#include <chrono>
#include <cmath>
#include <cstring>
#include <thread>
#include <vector>

#include "platform/audio.h"

using namespace platform;

namespace {

#ifdef _WIN32
constexpr bool kHeard = false;
#else
constexpr bool kHeard = true;
#endif

class MixerTest : public ::testing::Test {
protected:
    void SetUp() override {
#ifndef _WIN32
        setenv("SDL_AUDIODRIVER", "dummy", 0);
#endif
        ASSERT_EQ(OpenSoundDevice(&device), DS_OK);
        RenderAudioToMemory(device, true);
        rate = AudioDeviceRate(device);
    }
    void TearDown() override {
        Release(device);
    }

    // A 16-bit buffer at the device's rate holding `samples`.
    LPDIRECTSOUNDBUFFER Make16(const std::vector<int16_t>& samples, int channels,
                               uint32_t flags = DSBCAPS_STATIC | DSBCAPS_CTRLPAN |
                                                DSBCAPS_CTRLVOLUME) {
        WaveFormat f{WAVE_FORMAT_PCM,          (uint16_t)channels,
                     (uint32_t)rate,           (uint32_t)(rate * 2 * channels),
                     (uint16_t)(2 * channels), 16};
        SoundBufferDesc desc{sizeof(desc), flags, (uint32_t)(samples.size() * 2), 0, &f};
        LPDIRECTSOUNDBUFFER b = nullptr;
        EXPECT_EQ(CreateSoundBuffer(device, &desc, &b), DS_OK);
        if (b) Fill(b, samples);
        return b;
    }

    void Fill(LPDIRECTSOUNDBUFFER b, const std::vector<int16_t>& samples) {
        void *p1, *p2;
        uint32_t n1, n2;
        ASSERT_EQ(Lock(b, 0, 0, &p1, &n1, &p2, &n2, DSBLOCK_ENTIREBUFFER), DS_OK);
        ASSERT_EQ(n1, samples.size() * 2);
        std::memcpy(p1, samples.data(), n1);
        ASSERT_EQ(Unlock(b, p1, n1, p2, n2), DS_OK);
    }

    std::vector<float> Render(int frames) {
        std::vector<float> out(2 * (size_t)frames);
        RenderAudio(device, out.data(), frames);
        return out;
    }

    LPDIRECTSOUND device = nullptr;
    int rate = 0;
};

std::vector<int16_t> Ramp(int frames) {
    std::vector<int16_t> s(frames);
    for (int i = 0; i < frames; ++i) s[i] = (int16_t)(i * 7 - 3000);
    return s;
}

TEST_F(MixerTest, DeviceOpensAndReportsCaps) {
#ifndef _WIN32
    EXPECT_STREQ(AudioDriver(device), "dummy");
    EXPECT_EQ(rate, 44100);
#endif
    AudioCaps caps{};
    EXPECT_NE(GetCaps(device, &caps), DS_OK);  // size field not set
    caps.size = sizeof(caps);
    EXPECT_EQ(GetCaps(device, &caps), DS_OK);
    EXPECT_TRUE(caps.flags & DSCAPS_SECONDARY16BIT);
    EXPECT_EQ(caps.maxSecondarySampleRate, DSBFREQUENCY_MAX);
    EXPECT_EQ(SetCooperativeLevel(device, nullptr, DSSCL_NORMAL), DS_OK);
    // Nothing playing: silence.
    for (float v : Render(256)) EXPECT_EQ(v, 0.0f);
}

TEST_F(MixerTest, RefusesFormatsItCannotPlay) {
    auto tryFormat = [&](uint16_t tag, uint16_t ch, uint32_t hz, uint16_t align, uint16_t bits,
                         uint32_t bytes) {
        WaveFormat f{tag, ch, hz, hz * align, align, bits};
        SoundBufferDesc desc{sizeof(desc), DSBCAPS_STATIC, bytes, 0, &f};
        LPDIRECTSOUNDBUFFER b = nullptr;
        int r = CreateSoundBuffer(device, &desc, &b);
        EXPECT_EQ(r == DS_OK, b != nullptr);
        if (b) Release(b);
        return r;
    };
    EXPECT_EQ(tryFormat(1, 1, 22050, 1, 8, 100), DS_OK);
    EXPECT_EQ(tryFormat(1, 2, 48000, 4, 16, 100), DS_OK);
    EXPECT_NE(tryFormat(3, 1, 22050, 4, 32, 100), DS_OK);  // float samples
    EXPECT_NE(tryFormat(1, 3, 22050, 6, 16, 120), DS_OK);  // three channels
    EXPECT_NE(tryFormat(1, 1, 22050, 3, 24, 120), DS_OK);  // 24 bits
    EXPECT_NE(tryFormat(1, 2, 22050, 2, 16, 100), DS_OK);  // block align disagrees
    EXPECT_NE(tryFormat(1, 1, 50, 2, 16, 100), DS_OK);     // rate too low
    EXPECT_NE(tryFormat(1, 1, 22050, 2, 16, 2), DS_OK);    // smaller than the minimum
    EXPECT_NE(tryFormat(1, 1, 22050, 2, 16, DSBSIZE_MAX + 1), DS_OK);
}

// The runtime's own mixer keeps samples converted; DirectSound keeps them inside the
// system, where this process's memory does not show them: Linux build only.
#ifndef _WIN32
// Highest resident size of this process so far, in KiB.
long PeakKiB() {
    struct rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

TEST_F(MixerTest, ASlowSampleTakesItsConvertedSizeOnceAndNoMore) {
    // 8-bit mono at 1000 Hz grows 88 times on the way to 16 bits at 44100 Hz.
    WaveFormat f{WAVE_FORMAT_PCM, 1, 1000, 1000, 1, 8};
    auto create = [&](uint32_t bytes, LPDIRECTSOUNDBUFFER* b) {
        SoundBufferDesc desc{sizeof(desc), DSBCAPS_STATIC, bytes, 0, &f};
        return CreateSoundBuffer(device, &desc, b);
    };
    LPDIRECTSOUNDBUFFER b = nullptr;
    // 3.1 MB would take 273 MB there: refused before anything is taken.
    EXPECT_EQ(create(3100000, &b), DSERR_OUTOFMEMORY);
    EXPECT_EQ(b, nullptr);

    // 700 kB takes 62 MB converted. The new buffer's silence is not converted, and
    // the write converts into exactly the frames kept.
    const uint32_t bytes = 700000;
    const long convertedKiB = (long)((uint64_t)bytes * rate / 1000 * 2 / 1024);
    const long before = PeakKiB();
    ASSERT_EQ(create(bytes, &b), DS_OK);
    void *p1, *p2;
    uint32_t n1, n2;
    ASSERT_EQ(Lock(b, 0, 0, &p1, &n1, &p2, &n2, DSBLOCK_ENTIREBUFFER), DS_OK);
    std::memset(p1, 0x90, n1);
    ASSERT_EQ(Unlock(b, p1, n1, p2, n2), DS_OK);
    EXPECT_LT(PeakKiB() - before, convertedKiB * 3 / 2);
    Play(b, 0, 0, 0);
    EXPECT_NEAR(Render(1000)[1000], 0.125f, 1e-3);
    Release(b);
}
#endif

TEST_F(MixerTest, PlaysItsSamplesOnceThenRewinds) {
    std::vector<int16_t> ramp = Ramp(1000);
    LPDIRECTSOUNDBUFFER b = Make16(ramp, 1);
    ASSERT_TRUE(b);
    uint32_t status = 99;
    EXPECT_EQ(GetStatus(b, &status), DS_OK);
    EXPECT_EQ(status, 0u);
    ASSERT_EQ(Play(b, 0, 0, 0), DS_OK);
    GetStatus(b, &status);
    EXPECT_EQ(status, DSBSTATUS_PLAYING);
    if (!kHeard) {
        Release(b);
        return;
    }
    std::vector<float> out = Render(1200);
    for (int i = 0; i < 1000; ++i) {
        ASSERT_FLOAT_EQ(out[2 * i], ramp[i] / 32768.0f) << i;
        ASSERT_FLOAT_EQ(out[2 * i + 1], ramp[i] / 32768.0f) << i;
    }
    for (int i = 1000; i < 1200; ++i) ASSERT_EQ(out[2 * i], 0.0f);
    GetStatus(b, &status);
    EXPECT_EQ(status, 0u);
    uint32_t play = 1, write = 1;
    GetCurrentPosition(b, &play, &write);
    EXPECT_EQ(play, 0u);
    // Played again, it starts over.
    Play(b, 0, 0, 0);
    out = Render(10);
    EXPECT_FLOAT_EQ(out[0], ramp[0] / 32768.0f);
    Release(b);
}

TEST_F(MixerTest, LoopsStopsAndKeepsPosition) {
    std::vector<int16_t> ramp = Ramp(300);
    LPDIRECTSOUNDBUFFER b = Make16(ramp, 1);
    ASSERT_EQ(Play(b, 0, 0, DSBPLAY_LOOPING), DS_OK);
    uint32_t status = 0;
    GetStatus(b, &status);
    EXPECT_EQ(status, DSBSTATUS_PLAYING | DSBSTATUS_LOOPING);
    std::vector<float> out = Render(700);
    if (kHeard) {
        for (int i = 0; i < 700; ++i) ASSERT_FLOAT_EQ(out[2 * i], ramp[i % 300] / 32768.0f) << i;
    }
    // Stop pauses where the buffer is: 700 frames in, position 100, in bytes 200.
    ASSERT_EQ(Stop(b), DS_OK);
    GetStatus(b, &status);
    EXPECT_EQ(status, 0u);
    uint32_t play = 0, again = 1;
    GetCurrentPosition(b, &play, nullptr);
    if (kHeard) {
        EXPECT_EQ(play, 200u);
    }
    for (float v : Render(50)) ASSERT_EQ(v, 0.0f);
    GetCurrentPosition(b, &again, nullptr);
    EXPECT_EQ(again, play);
    EXPECT_EQ(SetCurrentPosition(b, 500), DS_OK);  // frame 250
    EXPECT_NE(SetCurrentPosition(b, 600), DS_OK);  // past the end
    GetCurrentPosition(b, &play, nullptr);
    EXPECT_EQ(play, 500u);
    if (!kHeard) {
        Release(b);
        return;
    }
    Play(b, 0, 0, 0);
    out = Render(60);
    EXPECT_FLOAT_EQ(out[0], ramp[250] / 32768.0f);
    EXPECT_EQ(out[2 * 55], 0.0f);  // played to its end, once
    Release(b);
}

TEST_F(MixerTest, LockFromWriteCursorWrapsAround) {
    LPDIRECTSOUNDBUFFER b = Make16(std::vector<int16_t>(100, 0), 1);
    ASSERT_EQ(SetCurrentPosition(b, 60), DS_OK);
    void *p1, *p2;
    uint32_t n1, n2;
    ASSERT_EQ(Lock(b, 0, 200, &p1, &n1, &p2, &n2, DSBLOCK_FROMWRITECURSOR), DS_OK);
    EXPECT_EQ(n1, 140u);
    EXPECT_EQ(n2, 60u);
    EXPECT_EQ((uint8_t*)p1 - (uint8_t*)p2, 60);
    // Write a level everywhere; the whole buffer sounds at it.
    std::vector<int16_t> level(100, 8192);
    std::memcpy(p1, level.data(), n1);
    std::memcpy(p2, level.data(), n2);
    ASSERT_EQ(Unlock(b, p1, n1, p2, n2), DS_OK);
    EXPECT_NE(Unlock(b, p1, n1, p2, n2), DS_OK);  // not locked any more
    EXPECT_NE(Lock(b, 0, 201, &p1, &n1, &p2, &n2, 0), DS_OK);
    EXPECT_NE(Lock(b, 200, 2, &p1, &n1, &p2, &n2, 0), DS_OK);
    if (!kHeard) {
        Release(b);
        return;
    }
    SetCurrentPosition(b, 0);
    Play(b, 0, 0, 0);
    std::vector<float> out = Render(100);
    for (int i = 0; i < 100; ++i) ASSERT_FLOAT_EQ(out[2 * i], 0.25f);
    Release(b);
}

TEST_F(MixerTest, PanAndVolumeFollowTheDecibelLaw) {
    LPDIRECTSOUNDBUFFER b = Make16(std::vector<int16_t>(64, 16384), 1);
    // The levels heard at the start of the buffer; false where nothing can be heard.
    auto levels = [&](float* left, float* right) {
        SetCurrentPosition(b, 0);
        Play(b, 0, 0, 0);
        std::vector<float> out = Render(8);
        *left = out[0];
        *right = out[1];
        Stop(b);
        return kHeard;
    };
    float l, r;
    ASSERT_EQ(SetPan(b, -600), DS_OK);  // right side 6 dB down
    if (levels(&l, &r)) {
        EXPECT_FLOAT_EQ(l, 0.5f);
        EXPECT_NEAR(r, 0.5f * std::pow(10.0, -0.3), 1e-5);
    }
    ASSERT_EQ(SetPan(b, 10000), DS_OK);  // fully right: the left side silent
    if (levels(&l, &r)) {
        EXPECT_EQ(l, 0.0f);
        EXPECT_FLOAT_EQ(r, 0.5f);
    }
    ASSERT_EQ(SetPan(b, 0), DS_OK);
    ASSERT_EQ(SetVolume(b, -2000), DS_OK);  // 20 dB down: a tenth
    if (levels(&l, &r)) {
        EXPECT_NEAR(l, 0.05f, 1e-6);
        EXPECT_NEAR(r, 0.05f, 1e-6);
    }
    ASSERT_EQ(SetVolume(b, DSBVOLUME_MIN), DS_OK);
    if (levels(&l, &r)) {
        EXPECT_EQ(l, 0.0f);
        EXPECT_EQ(r, 0.0f);
    }
    EXPECT_NE(SetPan(b, 10001), DS_OK);
    EXPECT_NE(SetVolume(b, 1), DS_OK);
    long pan = 1, volume = 1;
    GetPan(b, &pan);
    GetVolume(b, &volume);
    EXPECT_EQ(pan, 0);
    EXPECT_EQ(volume, DSBVOLUME_MIN);
    Release(b);

    // A buffer made without the controls refuses them.
    LPDIRECTSOUNDBUFFER plain = Make16(std::vector<int16_t>(64, 16384), 1, DSBCAPS_STATIC);
    EXPECT_EQ(SetPan(plain, -5000), DSERR_CONTROLUNAVAIL);
    EXPECT_EQ(SetVolume(plain, -5000), DSERR_CONTROLUNAVAIL);
    Release(plain);
}

#ifndef _WIN32
TEST_F(MixerTest, StereoPanActsAsBalanceAndVoicesAdd) {
    std::vector<int16_t> s;
    for (int i = 0; i < 32; ++i) {
        s.push_back(8192);
        s.push_back(-4096);
    }
    LPDIRECTSOUNDBUFFER a = Make16(s, 2);
    LPDIRECTSOUNDBUFFER b = Make16(s, 2);
    Play(a, 0, 0, 0);
    std::vector<float> out = Render(4);
    EXPECT_FLOAT_EQ(out[0], 0.25f);
    EXPECT_FLOAT_EQ(out[1], -0.125f);
    SetPan(b, -10000);
    Play(b, 0, 0, 0);
    out = Render(4);
    EXPECT_FLOAT_EQ(out[0], 0.5f);     // both voices on the left
    EXPECT_FLOAT_EQ(out[1], -0.125f);  // only the first on the right
    Release(a);
    Release(b);
}
#endif

TEST_F(MixerTest, DuplicatesShareTheBlockButNotThePosition) {
    LPDIRECTSOUNDBUFFER a = Make16(Ramp(40000), 1);
    SetPan(a, -3000);
    LPDIRECTSOUNDBUFFER d = nullptr;
    ASSERT_EQ(DuplicateSoundBuffer(device, a, &d), DS_OK);
    long pan = 0;
    GetPan(d, &pan);
    EXPECT_EQ(pan, -3000);
    // Each has a position of its own.
    uint32_t pa = 0, pd = 1;
    ASSERT_EQ(SetCurrentPosition(a, 400), DS_OK);
    GetCurrentPosition(a, &pa, nullptr);
    GetCurrentPosition(d, &pd, nullptr);
    EXPECT_EQ(pa, 400u);
    EXPECT_EQ(pd, 0u);
    SetCurrentPosition(a, 0);
    // New data written through the original is what the duplicate plays.
    Fill(a, std::vector<int16_t>(40000, 1000));
    Play(a, 0, 0, 0);
    Render(100);
    Play(d, 0, 0, 0);
    if (kHeard) {
        GetCurrentPosition(a, &pa, nullptr);
        GetCurrentPosition(d, &pd, nullptr);
        EXPECT_EQ(pa, 200u);
        EXPECT_EQ(pd, 0u);
    }
    uint32_t status = 0;
    GetStatus(d, &status);
    EXPECT_EQ(status, DSBSTATUS_PLAYING);
    // A block being written is not handed to another buffer.
    void *p1, *p2;
    uint32_t n1, n2;
    ASSERT_EQ(Lock(a, 0, 8, &p1, &n1, &p2, &n2, 0), DS_OK);
    LPDIRECTSOUNDBUFFER locked = nullptr;
    EXPECT_EQ(DuplicateSoundBuffer(device, a, &locked), DSERR_INVALIDCALL);
    EXPECT_EQ(locked, nullptr);
    Unlock(a, p1, n1, p2, n2);
    if (!kHeard) {
        Release(a);
        Release(d);
        return;
    }
    std::vector<float> out = Render(1);
    EXPECT_FLOAT_EQ(out[0], 2000 / 32768.0f);
    // The original goes; the duplicate keeps the block and plays on.
    Release(a);
    out = Render(1);
    EXPECT_FLOAT_EQ(out[0], 1000 / 32768.0f);
    Release(d);
}

#ifndef _WIN32
TEST_F(MixerTest, ConvertsEightBitAndOtherRates) {
    // 8-bit unsigned at 11025 Hz: one second, four times as many device frames.
    const int frames = 11025;
    WaveFormat f{WAVE_FORMAT_PCM, 1, 11025, 11025, 1, 8};
    SoundBufferDesc desc{sizeof(desc), DSBCAPS_STATIC, frames, 0, &f};
    LPDIRECTSOUNDBUFFER b = nullptr;
    ASSERT_EQ(CreateSoundBuffer(device, &desc, &b), DS_OK);
    void *p1, *p2;
    uint32_t n1, n2;
    ASSERT_EQ(Lock(b, 0, frames, &p1, &n1, &p2, &n2, 0), DS_OK);
    std::memset(p1, 0xC0, n1);  // +64 of 128: half scale
    Unlock(b, p1, n1, p2, n2);
    Play(b, 0, 0, 0);
    std::vector<float> out = Render(rate + 2000);
    EXPECT_NEAR(out[2 * rate / 2], 0.5f, 0.01f);
    int sounding = 0;
    for (int i = 0; i < rate + 2000; ++i) sounding += std::fabs(out[2 * i]) > 0.25f;
    EXPECT_NEAR(sounding, rate, 64);
    // Positions are reported in the buffer's own bytes.
    SetCurrentPosition(b, 5000);
    uint32_t play = 0;
    GetCurrentPosition(b, &play, nullptr);
    EXPECT_NEAR((double)play, 5000.0, 2.0);
    Release(b);
}

#endif

TEST_F(MixerTest, BuffersGoWhileTheDeviceMixes) {
    // The device's own thread mixes here; buffers are made and dropped under it, as
    // at exit, when the samples go before the device.
    RenderAudioToMemory(device, false);
    for (int round = 0; round < 40; ++round) {
        std::vector<LPDIRECTSOUNDBUFFER> live;
        for (int i = 0; i < 8; ++i) {
            LPDIRECTSOUNDBUFFER b = Make16(Ramp(2000), 1);
            Play(b, 0, 0, DSBPLAY_LOOPING);
            live.push_back(b);
            LPDIRECTSOUNDBUFFER d = nullptr;
            DuplicateSoundBuffer(device, b, &d);
            Play(d, 0, 0, 0);
            live.push_back(d);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        for (LPDIRECTSOUNDBUFFER b : live) Release(b);
    }
    // A buffer outliving the caller's device reference keeps the device until it goes.
    LPDIRECTSOUNDBUFFER last = Make16(Ramp(100), 1);
    Play(last, 0, 0, DSBPLAY_LOOPING);
    AddRef(device);
    EXPECT_EQ(Release(device), 2u);  // the test's reference and the buffer's
    Release(last);
}

#ifndef _WIN32
TEST(AudioFallback, NoUsableDriverFallsBackToDummy) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // A fresh process where the configured driver does not exist at all.
    EXPECT_EXIT(
        {
            setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
            LPDIRECTSOUND d = nullptr;
            bool ok = OpenSoundDevice(&d) == DS_OK && std::strcmp(AudioDriver(d), "dummy") == 0;
            Release(d);
            std::exit(ok ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}
#endif

}  // namespace
