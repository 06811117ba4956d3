// Samples in the host's slots: loading WAV files, play buffers, pan, stop, volume.
// Where the output cannot be heard (kHeard), a case checks what the device reports.
#include <cstdio>
#include <fstream>
#include <sstream>

#include "base/errors.h"
#include "sound_fixture.h"

namespace {

std::string DebugLog() {
    std::ifstream in(KWFileSystem::DebugPath(), std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

int PlayBuffers(const SFXSoundBuffer& s) {
    int n = 0;
    for (platform::LPDIRECTSOUNDBUFFER b : s.buffers) n += b != nullptr;
    return n;
}

TEST_F(SoundTest, DeviceIsOpenWithItsCaps) {
    EXPECT_TRUE(DXsnd.Create(nullptr));  // a second call keeps the one device
    EXPECT_TRUE(DXsnd.GetCaps());
    EXPECT_EQ(DXsnd.caps.size, 96u);
    EXPECT_EQ(DXsnd.caps.primaryBuffers, 1u);
    SFXSound none;
    EXPECT_FALSE(none.GetCaps());
}

TEST_F(SoundTest, LoadedSamplePlaysItsSamples) {
    wavgen::Layout l;
    l.rate = rate;
    std::vector<int16_t> tone = wavgen::Tone(441, rate, 2000, 1);
    std::string path = MakeFile("tone.wav", l, tone);
    SFXSoundBuffer s;
    ASSERT_TRUE(s.Load(&DXsnd, path.c_str(), 1));
    EXPECT_EQ(s.device, &DXsnd);
    ASSERT_TRUE(s.Play(0, 0));
    if (!kHeard) return;
    std::vector<float> out = Render(2100);
    for (int i = 0; i < 2000; ++i) {
        ASSERT_FLOAT_EQ(out[2 * i], tone[i] / 32768.0f) << i;
        ASSERT_FLOAT_EQ(out[2 * i + 1], tone[i] / 32768.0f) << i;
    }
    EXPECT_EQ(Peak(out, 0, 2000), 0.0f);
}

TEST_F(SoundTest, PanStaysWhenTheNextPlayGivesNone) {
    SFXSoundBuffer s;
    ASSERT_TRUE(s.Load(&DXsnd, LevelFile("level.wav", 16384, 400).c_str(), 1));
    ASSERT_TRUE(s.Play(-5000, 0));
    std::vector<float> first = Render(500);
    ASSERT_TRUE(s.Stop());
    ASSERT_TRUE(s.Play(0, 0));
    long pan = 0;
    platform::GetPan(s.buffers[0], &pan);
    EXPECT_EQ(pan, -5000);
    if (!kHeard) return;
    std::vector<float> second = Render(500);
    for (const std::vector<float>* out : {&first, &second}) {
        EXPECT_FLOAT_EQ((*out)[0], 0.5f);
        EXPECT_NEAR((*out)[1], 0.5f * std::pow(10.0, -2.5), 1e-6);  // 50 dB down
    }
}

TEST_F(SoundTest, FourthPlayRestartsTheFirstOfThreeBuffers) {
    SFXSoundBuffer s;
    // A ramp, so that the output tells how far into the sample each buffer is; ten
    // seconds, so that every buffer still sounds where the device plays in real time.
    wavgen::Layout l;
    l.rate = rate;
    std::vector<int16_t> ramp(10 * rate);
    for (size_t i = 0; i < ramp.size(); ++i) ramp[i] = (int16_t)(i % 30000 + 1);
    ASSERT_TRUE(s.Load(&DXsnd, MakeFile("ramp.wav", l, ramp).c_str(), 3));
    EXPECT_EQ(PlayBuffers(s), 3);
    // Three plays 100 frames apart: three buffers sound at once.
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(s.Play(0, 0));
        Render(100);
    }
    uint32_t status = 0;
    for (int i = 0; i < 3; ++i) {
        platform::GetStatus(s.buffers[i], &status);
        EXPECT_TRUE(status & platform::DSBSTATUS_PLAYING) << i;
    }
    // The fourth play cuts buffer 0 (300 frames in) and starts it over.
    ASSERT_TRUE(s.Play(0, 0));
    EXPECT_EQ(s.current, 0);
    // Each move to a busy buffer logged the new index and the count.
    EXPECT_EQ(DebugLog(), "1\r\n3\r\n2\r\n3\r\n0\r\n3\r\n");
    if (!kHeard) return;
    std::vector<float> out = Render(1);
    // Buffer 0 restarted (1), buffers 1 and 2 at 201 and 101.
    EXPECT_FLOAT_EQ(out[0] * 32768.0f, 1 + 201 + 101);
}

TEST_F(SoundTest, OneBufferSampleIsNotRestartedWhileItSounds) {
    SFXSoundBuffer s;
    // Ten seconds: it sounds through the test where the device plays in real time.
    ASSERT_TRUE(s.Load(&DXsnd, LevelFile("one.wav", 8192, 10 * rate).c_str(), 1));
    ASSERT_TRUE(s.Play(0, 0));
    Render(600);
    EXPECT_FALSE(s.Play(0, 0));
    uint32_t status = 0;
    platform::GetStatus(s.buffers[0], &status);
    EXPECT_TRUE(status & platform::DSBSTATUS_PLAYING);
    EXPECT_EQ(DebugLog(), "");
    if (!kHeard) return;
    // 1000 frames before the end, the first play goes on to its end.
    ASSERT_EQ(platform::SetCurrentPosition(s.buffers[0], 2 * (10 * rate - 1000)), platform::DS_OK);
    Render(600);
    std::vector<float> out = Render(600);
    EXPECT_FLOAT_EQ(out[2 * 399], 0.25f);
    EXPECT_EQ(out[2 * 400], 0.0f);
    EXPECT_TRUE(s.Play(0, 0));  // silent again: plays from the start
    EXPECT_EQ(Peak(Render(1000), 0), 0.25f);
    EXPECT_EQ(DebugLog(), "");
}

TEST_F(SoundTest, StopRewindsEveryBuffer) {
    SFXSoundBuffer s;
    wavgen::Layout l;
    l.rate = rate;
    std::vector<int16_t> ramp(10 * rate);
    for (size_t i = 0; i < ramp.size(); ++i) ramp[i] = (int16_t)(10 * (i % 3000) + 10);
    ASSERT_TRUE(s.Load(&DXsnd, MakeFile("stop.wav", l, ramp).c_str(), 2));
    s.Play(0, 0);
    Render(300);
    s.Play(0, 0);
    Render(300);
    ASSERT_TRUE(s.Stop());
    for (float v : Render(100)) ASSERT_EQ(v, 0.0f);
    uint32_t play = 1, status = 1;
    for (int i = 0; i < 2; ++i) {
        platform::GetCurrentPosition(s.buffers[i], &play, nullptr);
        EXPECT_EQ(play, 0u);
        platform::GetStatus(s.buffers[i], &status);
        EXPECT_EQ(status, 0u);
    }
    if (!kHeard) return;
    s.Play(0, 0);
    EXPECT_FLOAT_EQ(Render(1)[0] * 32768.0f, 10);
}

TEST_F(SoundTest, PlayBufferCountIsCappedToOneToFour) {
    std::string path = LevelFile("count.wav", 1000, 100);
    SFXSoundBuffer s;
    ASSERT_TRUE(s.Load(&DXsnd, path.c_str(), 0));
    EXPECT_EQ(s.count, 1);
    EXPECT_EQ(PlayBuffers(s), 1);
    ASSERT_TRUE(s.Load(&DXsnd, path.c_str(), 9));
    EXPECT_EQ(s.count, 4);
    EXPECT_EQ(PlayBuffers(s), 4);
    ASSERT_TRUE(s.Load(&DXsnd, path.c_str(), -5));
    EXPECT_EQ(s.count, 1);
}

TEST_F(SoundTest, ReloadingReplacesTheOldPlayBuffers) {
    SFXSoundBuffer s;
    ASSERT_TRUE(s.Load(&DXsnd, LevelFile("old.wav", 4096, 10 * rate).c_str(), 4));
    for (int i = 0; i < 4; ++i) {
        s.Play(0, 0);
        Render(10);
    }
    EXPECT_EQ(s.current, 3);
    ASSERT_TRUE(s.Load(&DXsnd, LevelFile("new.wav", 8192, 2000).c_str(), 2));
    EXPECT_EQ(s.current, 0);
    EXPECT_EQ(PlayBuffers(s), 2);
    if (!kHeard) return;
    // The old sample's buffers went with it: only the new one sounds.
    EXPECT_EQ(Peak(Render(100), 0), 0.0f);
    s.Play(0, 0);
    EXPECT_FLOAT_EQ(Render(1)[0], 0.25f);
}

TEST_F(SoundTest, EmptySlotAndMissingDeviceDoNothing) {
    SFXSoundBuffer empty;
    EXPECT_FALSE(empty.Play(0, 0));
    EXPECT_FALSE(empty.Stop());
    empty.SetVolume(-100);
    EXPECT_EQ(empty.device, nullptr);
    SFXSound closed;  // never created
    SFXSoundBuffer s;
    EXPECT_FALSE(s.Load(&closed, LevelFile("nodev.wav", 100, 100).c_str(), 2));
    EXPECT_EQ(PlayBuffers(s), 0);
    EXPECT_FALSE(s.Play(0, 0));
    EXPECT_FALSE(s.Stop());
}

TEST_F(SoundTest, SetVolumeReachesEveryBuffer) {
    SFXSoundBuffer s;
    ASSERT_TRUE(s.Load(&DXsnd, LevelFile("vol.wav", 16384, 500).c_str(), 2));
    s.SetVolume(-2000);
    for (int i = 0; i < 2; ++i) {
        long volume = 0;
        platform::GetVolume(s.buffers[i], &volume);
        EXPECT_EQ(volume, -2000) << i;
    }
    if (!kHeard) return;
    s.Play(0, 0);
    Render(10);
    s.Play(0, 0);
    EXPECT_NEAR(Render(1)[0], 0.1f, 1e-6);  // two buffers at a tenth of 0.5 each
}

// Every layout and format the reader takes: duration and level as written.
TEST_F(SoundTest, ReadsEveryPcmLayoutAndRate) {
    struct Case {
        int rate, bits, channels, formatSize;
        bool list;
    };
    const Case cases[] = {
        {11025, 8, 1, 16, false},  {22050, 8, 2, 18, true},   {44100, 16, 1, 18, false},
        {48000, 16, 2, 16, true},  {32000, 16, 1, 40, false}, {16000, 8, 2, 40, true},
        {44100, 16, 2, 40, false}, {11025, 16, 2, 16, false},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.rate << " Hz, " << c.bits << " bits, " << c.channels
                                        << " ch, fmt " << c.formatSize);
        wavgen::Layout l;
        l.rate = c.rate;
        l.bits = c.bits;
        l.channels = c.channels;
        l.formatSize = c.formatSize;
        l.listChunk = c.list;
        // A tenth of a second at half scale; stereo files carry it on the left only.
        std::vector<int16_t> samples = wavgen::Level(16384, c.rate / 10, c.channels);
        if (c.channels == 2)
            for (size_t i = 1; i < samples.size(); i += 2) samples[i] = 0;
        std::string path = MakeFile("layout" + std::to_string(n++) + ".wav", l, samples);
        SFXSoundBuffer s;
        ASSERT_TRUE(s.Load(&DXsnd, path.c_str(), 1));
        ASSERT_TRUE(s.Play(0, 0));
        if (!kHeard) continue;
        std::vector<float> out = Render(rate / 10 + 1000);
        int sounding = 0;
        for (size_t i = 0; i < out.size() / 2; ++i) sounding += out[2 * i] > 0.25f;
        EXPECT_NEAR(sounding, rate / 10, 8);
        EXPECT_NEAR(out[2 * (rate / 20)], 0.5f, 0.01f);
        EXPECT_NEAR(out[2 * (rate / 20) + 1], c.channels == 2 ? 0.0f : 0.5f, 0.01f);
    }
}

TEST_F(SoundTest, FilesItCannotTakeAreFailedLoads) {
    wavgen::Layout l;
    std::vector<int16_t> samples = wavgen::Level(1000, 100, 1);
    std::vector<uint8_t> good = wavgen::Make(l, samples);
    auto fails = [&](const std::string& name, const std::vector<uint8_t>& bytes) {
        std::string path = wavgen::TempFile(name);
        EXPECT_TRUE(wavgen::Write(path, bytes));
        SFXSoundBuffer s;
        EXPECT_FALSE(s.Load(&DXsnd, path.c_str(), 2)) << name;
        EXPECT_FALSE(s.Play(0, 0)) << name;
    };
    SFXSoundBuffer s;
    EXPECT_FALSE(s.Load(&DXsnd, wavgen::TempFile("missing.wav").c_str(), 1));
    wavgen::Layout floats;
    floats.formatTag = 3;
    fails("float.wav", wavgen::Make(floats, samples));
    wavgen::Layout wide;
    wide.bits = 24;
    fails("wide.wav", wavgen::Make(wide, samples));
    std::vector<uint8_t> bytes = good;
    bytes[40] = 0xFF;  // data size 0xFF0000C8: far past the end of the file
    bytes[43] = 0xFF;
    fails("huge.wav", bytes);
    bytes = good;
    bytes.resize(good.size() - 1);  // one byte short of the data size
    fails("short.wav", bytes);
    bytes = good;
    bytes.resize(30);
    fails("header.wav", bytes);
    bytes = good;
    bytes[8] = 'X';  // not WAVE
    fails("notwave.wav", bytes);
}

TEST_F(SoundTest, ShortReadReleasesTheLock) {
    SFXSoundBuffer s;
    s.device = &DXsnd;
    ASSERT_TRUE(s.CreateSoundBuffer(1000, rate, 16, 2, 0));
    std::string path = wavgen::TempFile("short.raw");
    std::vector<uint8_t> bytes(600);
    for (size_t i = 0; i < bytes.size(); i += 2) bytes[i + 1] = 0x20;  // 8192
    ASSERT_TRUE(wavgen::Write(path, bytes));
    FILE* f = std::fopen(path.c_str(), "rb");
    ASSERT_TRUE(f);
    EXPECT_FALSE(s.ReadData(f, 1000, 0));
    EXPECT_FALSE(s.ReadData(f, 1001, 0));  // more than the buffer holds
    EXPECT_TRUE(s.ReadData(f, 500, 100));
    std::fclose(f);
    // Unlocked after the failure, and holding what arrived.
    void *p1, *p2;
    uint32_t n1, n2;
    ASSERT_EQ(platform::Lock(s.buffers[0], 0, 4, &p1, &n1, &p2, &n2, 0), platform::DS_OK);
    platform::Unlock(s.buffers[0], p1, n1, p2, n2);
    ASSERT_TRUE(s.Play(0, 0));
    if (!kHeard) return;
    std::vector<float> out = Render(500);
    EXPECT_FLOAT_EQ(out[2 * 100], 0.25f);
    EXPECT_FLOAT_EQ(out[2 * 300], 0.0f);  // not part of the file
}

}  // namespace

namespace {

TEST(SoundExit, SamplesGoWhileTheDevicePlaysAtExit) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // A fresh process that ends as a program does: exit() with samples sounding on the
    // device's own thread; the static destructors release the slots, then the device.
    EXPECT_EXIT(
        {
#ifndef _WIN32
            setenv("SDL_AUDIODRIVER", "dummy", 0);
#endif
            if (!DXsnd.Create(nullptr)) std::exit(2);
            wavgen::Layout l;
            std::string path = wavgen::TempFile("exit.wav");
            wavgen::Write(path, wavgen::Make(l, wavgen::Tone(300, 44100, 44100, 1)));
            for (int slot = 0; slot < 128; ++slot) {
                if (!DXwav[slot].Load(&DXsnd, path.c_str(), 4)) std::exit(3);
                for (int i = 0; i < 4; ++i) DXwav[slot].Play(slot * 50 - 5000, 0);
                platform::Play(DXwav[slot].buffers[0], 0, 0, platform::DSBPLAY_LOOPING);
            }
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "");
}

}  // namespace
