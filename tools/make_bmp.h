// Writes 24-bit BMP pictures for tests and benchmarks: the picture is given as a
// function of (x, y) with y counted down from the top, and stored bottom row first
// (or top row first, with a negative height, when asked).
#pragma once
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace vxtools {

struct Rgb {
    uint8_t r, g, b;
};

struct BmpOptions {
    bool topDown = false;        // negative biHeight, top row stored first
    bool writeSizeImage = true;  // false leaves biSizeImage 0, for the reader to compute
};

inline void Put16(std::vector<uint8_t>& out, size_t at, uint32_t v) {
    out[at] = (uint8_t)v;
    out[at + 1] = (uint8_t)(v >> 8);
}

inline void Put32(std::vector<uint8_t>& out, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) out[at + i] = (uint8_t)(v >> (8 * i));
}

// Appends v in little-endian order, 2 or 4 bytes.
inline void Append16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back((uint8_t)v);
    out.push_back((uint8_t)(v >> 8));
}

inline void Append32(std::vector<uint8_t>& out, uint32_t v) {
    Append16(out, v & 0xFFFF);
    Append16(out, v >> 16);
}

// The bytes of a w x h picture whose pixel (x, y) is colour(x, y).
inline std::vector<uint8_t> MakeBmp(int w, int h, const std::function<Rgb(int, int)>& colour,
                                    BmpOptions options = {}) {
    const size_t rowBytes = 3 * (size_t)w + (size_t)w % 4;
    const size_t imageBytes = rowBytes * (size_t)h;
    std::vector<uint8_t> out(54 + imageBytes, 0);
    out[0] = 'B';
    out[1] = 'M';
    Put32(out, 2, (uint32_t)out.size());
    Put32(out, 10, 54);
    Put32(out, 14, 40);
    Put32(out, 18, (uint32_t)w);
    Put32(out, 22, (uint32_t)(options.topDown ? -h : h));
    Put16(out, 26, 1);
    Put16(out, 28, 24);
    Put32(out, 34, options.writeSizeImage ? (uint32_t)imageBytes : 0);
    for (int stored = 0; stored < h; ++stored) {
        const int y = options.topDown ? stored : h - 1 - stored;
        for (int x = 0; x < w; ++x) {
            Rgb c = colour(x, y);
            uint8_t* p = &out[54 + stored * rowBytes + 3 * (size_t)x];
            p[0] = c.b;
            p[1] = c.g;
            p[2] = c.r;
        }
    }
    return out;
}

// Writes bytes to a file; false if it cannot be written whole.
inline bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

// Writes a picture of one colour.
inline bool WriteSolidBmp(const std::string& path, int w, int h, Rgb colour) {
    return WriteFile(path, MakeBmp(w, h, [colour](int, int) { return colour; }));
}

}  // namespace vxtools
