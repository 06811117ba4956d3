// The host's sound device: on the Linux build the runtime's own mixer on SDL's dummy
// driver, heard in memory; on the Windows build DirectSound, which mixes inside the
// system, so the cases there check what DirectSound reports (status, positions, pan,
// volume) and leave the samples to the Linux build.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "base/errors.h"
#include "host/globals.h"
#include "sound/SFXSound.h"
#include "wav_writer.h"

#ifdef _WIN32
constexpr bool kHeard = false;
#else
constexpr bool kHeard = true;  // the mixer's output can be rendered to memory
#endif

class SoundTest : public ::testing::Test {
protected:
    void SetUp() override {
#ifndef _WIN32
        // Tests never sound on a real card; the mixer is rendered to memory instead.
        setenv("SDL_AUDIODRIVER", "dummy", 0);
#endif
        ASSERT_TRUE(DXsnd.Create(nullptr));
        platform::RenderAudioToMemory(DXsnd.lpDS, true);
        rate = platform::AudioDeviceRate(DXsnd.lpDS);
        KWFileSystem::DeleteDebug();
    }

    // Empty slots and a closed device again, as at start, also when the cases share
    // one process (the dummy driver opens one device at a time).
    void TearDown() override {
        for (SFXSoundBuffer& slot : DXwav) {
            slot.~SFXSoundBuffer();
            new (&slot) SFXSoundBuffer();
        }
        DXsnd.~SFXSound();
        new (&DXsnd) SFXSound();
    }

    // The next `frames` stereo frames of the mixer (silence where it cannot be heard).
    std::vector<float> Render(int frames) {
        std::vector<float> out(2 * (size_t)frames, -2.0f);
        platform::RenderAudio(DXsnd.lpDS, out.data(), frames);
        return out;
    }

    // Writes a WAV file into the temporary folder; returns its path.
    std::string MakeFile(const std::string& name, const wavgen::Layout& layout,
                         const std::vector<int16_t>& samples) {
        std::string path = wavgen::TempFile(name);
        EXPECT_TRUE(wavgen::Write(path, wavgen::Make(layout, samples)));
        return path;
    }

    // A 16-bit mono file at the device's rate holding one constant level.
    std::string LevelFile(const std::string& name, int16_t value, int frames) {
        wavgen::Layout l;
        l.rate = rate;
        return MakeFile(name, l, wavgen::Level(value, frames, 1));
    }

    int rate = 0;
};

// Peak magnitude of one channel (0 left, 1 right) over frames [from, to).
inline float Peak(const std::vector<float>& s, int channel, size_t from = 0, size_t to = ~0u) {
    float peak = 0;
    for (size_t i = from; i < to && 2 * i + channel < s.size(); ++i)
        peak = std::max(peak, std::fabs(s[2 * i + channel]));
    return peak;
}
