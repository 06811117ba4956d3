// LOADSOUND, PLAYSOUND and HUSH on the host's 128 sample slots.
#include "commands/sound_commands.h"
#include "sound_fixture.h"

namespace {

using SoundCommands = SoundTest;

long PanOf(int slot) {
    long pan = 1;
    platform::GetPan(DXwav[slot].buffers[0], &pan);
    return pan;
}

int PlayBuffers(int slot) {
    int n = 0;
    for (platform::LPDIRECTSOUNDBUFFER b : DXwav[slot].buffers) n += b != nullptr;
    return n;
}

TEST_F(SoundCommands, SlotAbove127IsSlot127) {
    std::string path = LevelFile("high.wav", 8192, 500);
    EXPECT_EQ(LOADSOUND(VXStr(path.c_str()), 500, 1), 0);
    EXPECT_EQ(DXwav[127].device, &DXsnd);
    EXPECT_EQ(PlayBuffers(127), 1);
    EXPECT_EQ(PLAYSOUND(500, 0), 0);
    uint32_t status = 0;
    platform::GetStatus(DXwav[127].buffers[0], &status);
    EXPECT_EQ(status, platform::DSBSTATUS_PLAYING);
    if (!kHeard) return;
    std::vector<float> out = Render(100);
    EXPECT_FLOAT_EQ(out[0], 0.25f);
    EXPECT_FLOAT_EQ(out[1], 0.25f);
}

TEST_F(SoundCommands, PlayBufferCountFromZeroToOneHundred) {
    std::string path = LevelFile("count.wav", 100, 100);
    EXPECT_EQ(LOADSOUND(VXStr(path.c_str()), 3, 0), 0);
    EXPECT_EQ(DXwav[3].count, 1);
    EXPECT_EQ(PlayBuffers(3), 1);
    EXPECT_EQ(LOADSOUND(VXStr(path.c_str()), 4, 100), 0);
    EXPECT_EQ(DXwav[4].count, 4);
    EXPECT_EQ(PlayBuffers(4), 4);
    EXPECT_EQ(LOADSOUND(VXStr(path.c_str()), 5, -7), 0);
    EXPECT_EQ(DXwav[5].count, 1);
}

TEST_F(SoundCommands, PanIsAPercentageThatStays) {
    std::string path = LevelFile("pan.wav", 16384, 200);
    ASSERT_EQ(LOADSOUND(VXStr(path.c_str()), 10, 1), 0);
    // Each play after HUSH, so that the one buffer is free again.
    EXPECT_EQ(PLAYSOUND(10, 250), 0);  // beyond 100: fully right
    EXPECT_EQ(PanOf(10), 10000);
    std::vector<float> out = Render(300);
    if (kHeard) {
        EXPECT_EQ(out[0], 0.0f);
        EXPECT_FLOAT_EQ(out[1], 0.5f);
    }
    HUSH();
    EXPECT_EQ(PLAYSOUND(10, 0), 0);  // keeps the pan of the last play
    EXPECT_EQ(PanOf(10), 10000);
    out = Render(300);
    if (kHeard) {
        EXPECT_EQ(out[0], 0.0f);
        EXPECT_FLOAT_EQ(out[1], 0.5f);
    }
    HUSH();
    EXPECT_EQ(PLAYSOUND(10, -30), 0);  // right side 30 dB down
    EXPECT_EQ(PanOf(10), -3000);
    out = Render(300);
    if (kHeard) {
        EXPECT_FLOAT_EQ(out[0], 0.5f);
        EXPECT_NEAR(out[1], 0.5f * std::pow(10.0, -1.5), 1e-6);
    }
}

TEST_F(SoundCommands, HushSilencesEverySlot) {
    EXPECT_EQ(HUSH(), 0);  // nothing loaded: nothing to do
    std::string a = LevelFile("a.wav", 4000, 5000);
    std::string b = LevelFile("b.wav", 2000, 5000);
    ASSERT_EQ(LOADSOUND(VXStr(a.c_str()), 0, 2), 0);
    ASSERT_EQ(LOADSOUND(VXStr(b.c_str()), 127, 4), 0);
    PLAYSOUND(0, 0);
    PLAYSOUND(0, 0);
    PLAYSOUND(127, 0);
    std::vector<float> out = Render(10);
    if (kHeard) {
        EXPECT_FLOAT_EQ(out[0] * 32768.0f, 4000 * 2 + 2000);
    }
    EXPECT_EQ(HUSH(), 0);
    EXPECT_EQ(Peak(Render(200), 0), 0.0f);
    // Stopped and rewound: the next play starts at the beginning.
    for (int slot : {0, 127}) {
        for (int i = 0; i < DXwav[slot].count; ++i) {
            uint32_t play = 1, status = 1;
            platform::GetCurrentPosition(DXwav[slot].buffers[i], &play, nullptr);
            platform::GetStatus(DXwav[slot].buffers[i], &status);
            EXPECT_EQ(play, 0u) << slot << " " << i;
            EXPECT_EQ(status, 0u) << slot << " " << i;
        }
    }
}

TEST_F(SoundCommands, AFailedLoadReturns3AndKeepsTheSlotsSample) {
    _g_error = 0;
    ASSERT_EQ(LOADSOUND(VXStr(LevelFile("kept.wav", 8192, 300).c_str()), 7, 2), 0);
    EXPECT_EQ(LOADSOUND(VXStr(wavgen::TempFile("none.wav").c_str()), 7, 1), 3);
    if (kHeard) {
        // 8-bit mono at 1000 Hz, 3.1 MB: more than 256 MiB at the runtime mixer's rate
        // (DirectSound keeps samples as they come and takes it).
        wavgen::Layout slow;
        slow.rate = 1000;
        slow.bits = 8;
        std::string big = MakeFile("slow.wav", slow, std::vector<int16_t>(3100000));
        EXPECT_EQ(LOADSOUND(VXStr(big.c_str()), 7, 1), 3);
    }
    EXPECT_EQ(_g_error, 0);  // not recorded as the program's error
    EXPECT_EQ(DXwav[7].count, 2);
    EXPECT_EQ(PLAYSOUND(7, 0), 0);  // the sample loaded before still sounds
    if (kHeard) {
        EXPECT_FLOAT_EQ(Render(100)[0], 0.25f);
    }
    EXPECT_EQ(PLAYSOUND(90, 0), 0);  // never loaded
    EXPECT_EQ(Peak(Render(300), 0, 200), 0.0f);
}

TEST_F(SoundCommands, NegativeSlotDoesNothing) {
    std::string path = LevelFile("neg.wav", 8192, 100);
    EXPECT_EQ(LOADSOUND(VXStr(path.c_str()), -1, 1), 3);
    EXPECT_EQ(PLAYSOUND(-1, 0), 0);
    EXPECT_EQ(PLAYSOUND(-100000, 50), 0);
    for (int slot = 0; slot < 128; ++slot) EXPECT_EQ(DXwav[slot].device, nullptr) << slot;
    EXPECT_EQ(Peak(Render(100), 0), 0.0f);
}

}  // namespace
