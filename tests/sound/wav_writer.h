// Test sounds, made on the spot: tones and ramps written as WAV files of every
// layout the reader must take (16-, 18- and 40-byte format records, LIST chunks).
#pragma once

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace wavgen {

struct Layout {
    int rate = 44100;
    int bits = 16;
    int channels = 1;
    int formatSize = 16;     // 16 plain, 18 with the extra-size field, 40 extensible
    bool listChunk = false;  // a LIST chunk between the format and the data
    uint16_t formatTag = 1;  // for formatSize 16/18; 40 always writes the extensible tag
};

inline void Put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back((uint8_t)v);
    out.push_back((uint8_t)(v >> 8));
}

inline void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

// Byte by byte: GCC 12 at -O3 takes a range insert into an empty vector for an overflow.
inline void PutTag(std::vector<uint8_t>& out, const char* tag) {
    for (int i = 0; i < 4; ++i) out.push_back((uint8_t)tag[i]);
}

// A WAV file holding `samples` (interleaved, as 16-bit values; 8-bit files keep the
// high byte, offset to unsigned).
inline std::vector<uint8_t> Make(const Layout& l, const std::vector<int16_t>& samples) {
    std::vector<uint8_t> data;
    for (int16_t s : samples) {
        if (l.bits == 8)
            data.push_back((uint8_t)((s >> 8) + 128));
        else
            Put16(data, (uint16_t)s);
    }
    std::vector<uint8_t> out;
    PutTag(out, "RIFF");
    Put32(out, 0);  // patched below
    PutTag(out, "WAVE");
    PutTag(out, "fmt ");
    Put32(out, (uint32_t)l.formatSize);
    const int blockAlign = l.channels * l.bits / 8;
    Put16(out, l.formatSize == 40 ? 0xFFFE : l.formatTag);
    Put16(out, (uint32_t)l.channels);
    Put32(out, (uint32_t)l.rate);
    Put32(out, (uint32_t)(l.rate * blockAlign));
    Put16(out, (uint32_t)blockAlign);
    Put16(out, (uint32_t)l.bits);
    if (l.formatSize >= 18) Put16(out, (uint32_t)(l.formatSize - 18));
    if (l.formatSize == 40) {
        static const uint8_t pcm[16] = {0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00,
                                        0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
        Put16(out, (uint32_t)l.bits);                   // valid bits
        Put32(out, l.channels == 2 ? 3 : 4);            // speaker mask
        out.insert(out.end(), pcm, pcm + sizeof(pcm));  // sub-format
    }
    if (l.listChunk) {
        const char info[] = "INFOISFT\x0e\x00\x00\x00vamex wavgen\x00\x00";
        PutTag(out, "LIST");
        Put32(out, sizeof(info) - 1);
        out.insert(out.end(), info, info + sizeof(info) - 1);
    }
    PutTag(out, "data");
    Put32(out, (uint32_t)data.size());
    out.insert(out.end(), data.begin(), data.end());
    if (data.size() & 1) out.push_back(0);
    uint32_t riff = (uint32_t)out.size() - 8;
    for (int i = 0; i < 4; ++i) out[4 + i] = (uint8_t)(riff >> (8 * i));
    return out;
}

// A sine tone, the same on every channel.
inline std::vector<int16_t> Tone(double hz, int rate, int frames, int channels,
                                 double amplitude = 16000) {
    std::vector<int16_t> s;
    for (int i = 0; i < frames; ++i) {
        int16_t v =
            (int16_t)std::lround(amplitude * std::sin(2 * 3.14159265358979323846 * hz * i / rate));
        for (int c = 0; c < channels; ++c) s.push_back(v);
    }
    return s;
}

// Frames of one constant value on every channel.
inline std::vector<int16_t> Level(int16_t value, int frames, int channels) {
    return std::vector<int16_t>((size_t)frames * channels, value);
}

inline bool Write(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

// A path in the test's own temporary folder.
inline std::string TempFile(const std::string& name) {
#ifdef _WIN32
    const char* dir = std::getenv("TMP");
#else
    const char* dir = std::getenv("TMPDIR");
#endif
    return std::string(dir ? dir : "/tmp") + "/" + name;
}

}  // namespace wavgen
