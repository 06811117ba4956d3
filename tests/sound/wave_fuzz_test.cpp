// Samples loaded from damaged files (truncated and corrupted headers, sizes and chunks,
// from a fixed seed) play within range; the reader alone is fuzz/wave_fuzzer.cpp's.
#include <random>

#include "sound/wave.h"
#include "sound_fixture.h"

namespace {

using WaveFuzz = SoundTest;

void Put32At(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4 && at + i < b.size(); ++i) b[at + i] = (uint8_t)(v >> (8 * i));
}

// Offsets of the chunk headers of a file as written by wavgen (before damage).
std::vector<size_t> ChunkHeads(const std::vector<uint8_t>& b) {
    std::vector<size_t> heads;
    for (size_t at = 12; at + 8 <= b.size();) {
        heads.push_back(at);
        uint32_t size = b[at + 4] | b[at + 5] << 8 | b[at + 6] << 16 | (uint32_t)b[at + 7] << 24;
        at += 8 + size + (size & 1);
    }
    return heads;
}

std::vector<uint8_t> Damage(std::vector<uint8_t> b, std::mt19937& rng) {
    static const uint32_t sizes[] = {0,          1,          2,          15,         16,
                                     17,         39,         40,         0x7FFFFFFF, 0x80000000,
                                     0xFFFFFFFF, 0xFFFFFFF8, 0x0FFFFFFF, 0x10000000};
    std::vector<size_t> heads = ChunkHeads(b);
    int steps = 1 + rng() % 3;
    for (int s = 0; s < steps; ++s) {
        switch (rng() % 7) {
            case 0:  // cut anywhere
                b.resize(rng() % (b.size() + 1));
                break;
            case 1:  // a chunk size (or the RIFF size) becomes something odd
                if (!heads.empty()) {
                    size_t at = rng() % 4 == 0 ? 0 : heads[rng() % heads.size()];
                    uint32_t v = rng() % 2 ? sizes[rng() % (sizeof(sizes) / 4)]
                                           : (uint32_t)(b.size() + (int)(rng() % 9) - 4);
                    Put32At(b, at + 4, v);
                }
                break;
            case 2:  // bytes of the header flipped
                for (int i = 0, n = 1 + rng() % 6; i < n && !b.empty(); ++i)
                    b[rng() % std::min<size_t>(b.size(), 80)] ^= (uint8_t)(1 + rng() % 255);
                break;
            case 3:  // a format field (channels, rate, align, bits) takes any value
                if (b.size() > 36) {
                    static const size_t fields[] = {20, 22, 24, 32, 34};
                    size_t at = fields[rng() % 5];
                    uint32_t v = rng() % 2 ? rng() : rng() % 64;
                    b[at] = (uint8_t)v;
                    b[at + 1] = (uint8_t)(v >> 8);
                }
                break;
            case 4:  // random bytes appended
                for (int i = 0, n = rng() % 40; i < n; ++i) b.push_back((uint8_t)rng());
                break;
            case 5:  // a chunk tag renamed
                if (!heads.empty()) {
                    static const char* tags[] = {"data", "fmt ", "LIST", "junk", "RIFF"};
                    const char* t = tags[rng() % 5];
                    size_t at = heads[rng() % heads.size()];
                    for (int i = 0; i < 4 && at + i < b.size(); ++i) b[at + i] = (uint8_t)t[i];
                }
                break;
            default:  // the data size alone, at its canonical offset
                Put32At(b, 40, sizes[rng() % (sizeof(sizes) / 4)]);
                break;
        }
    }
    return b;
}

TEST_F(WaveFuzz, DamagedFilesLoadSafelyOrNotAtAll) {
    std::mt19937 rng(20240611);
    std::vector<std::vector<uint8_t>> seeds;
    for (int formatSize : {16, 18, 40})
        for (int bits : {8, 16})
            for (int channels : {1, 2}) {
                wavgen::Layout l;
                l.rate = bits == 8 ? 22050 : 44100;
                l.bits = bits;
                l.channels = channels;
                l.formatSize = formatSize;
                l.listChunk = (bits + channels) % 2 == 1;
                seeds.push_back(wavgen::Make(l, wavgen::Tone(440, l.rate, 301, channels)));
            }
    const std::string path = wavgen::TempFile("fuzz.wav");
    int loaded = 0;
    std::vector<float> out(2 * 512);
    for (int round = 0; round < 1000; ++round) {
        std::vector<uint8_t> bytes = Damage(seeds[rng() % seeds.size()], rng);
        ASSERT_TRUE(wavgen::Write(path, bytes));
        SFXSoundBuffer s;
        if (s.Load(&DXsnd, path.c_str(), 1 + (int)(rng() % 4))) {
            ++loaded;
            s.Play((int)(rng() % 20001) - 10000, 0);
            s.Play(0, 0);
            platform::RenderAudio(DXsnd.lpDS, out.data(), 512);
            for (float v : out) ASSERT_TRUE(v >= -1.0f && v <= 1.0f) << round;
        }
    }
    // Some damage leaves a playable file (appended bytes, a renamed LIST chunk).
    EXPECT_GT(loaded, 30);
    EXPECT_LT(loaded, 900);
}

}  // namespace
