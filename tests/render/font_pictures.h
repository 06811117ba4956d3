// Test font pictures written as BMP files, and text read back from the screen.
// Header only: shared by the font's tests and the text commands' tests.
#pragma once
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "platform/gl.h"
#include "support/display.h"
#include "support/process.h"

namespace fonttest {

struct Rgb {
    uint8_t r, g, b;
};
constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kWhite{255, 255, 255};

inline void Put(std::string& out, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out += (char)((v >> (8 * i)) & 0xFF);
}

// An uncompressed 24-bit BMP, rows bottom-up; pixel(x, y) counts y from the top.
inline std::string MakeBmp(int32_t width, int32_t height,
                           const std::function<Rgb(int, int)>& pixel) {
    const uint32_t stride = ((uint32_t)width * 3 + 3) & ~3u;
    std::string out = "BM";
    Put(out, 54 + stride * height, 4);
    Put(out, 0, 4);
    Put(out, 54, 4);
    Put(out, 40, 4);
    Put(out, (uint32_t)width, 4);
    Put(out, (uint32_t)height, 4);
    Put(out, 1, 2);
    Put(out, 24, 2);
    Put(out, 0, 4);
    Put(out, stride * height, 4);
    out.append(16, '\0');
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            Rgb p = pixel(x, y);
            out += (char)p.b;
            out += (char)p.g;
            out += (char)p.r;
        }
        out.append(stride - (uint32_t)width * 3, '\0');
    }
    return out;
}

// Writes `data` to a new file in the test's temporary folder; returns its path.
inline std::string WritePicture(const std::string& name, const std::string& data) {
    std::string path = vxtest::MakeTempDir("font") + "/" + name;
    vxtest::WriteFile(path, data);
    return path;
}

// Every pixel white: each glyph is a solid block of what its cell gives.
inline std::string SolidPicture(int width, int height) {
    return MakeBmp(width, height, [](int, int) { return kWhite; });
}

// 16 x 16 cells; the top row of the cell of code c carries c's seven bits in
// columns 0 to 6 and a marker in column 7, so text can be read back from the screen.
inline std::string CodePicture() {
    return MakeBmp(256, 128, [](int x, int y) {
        int code = (y / 16) * 16 + x / 16;
        int col = x % 16;
        bool lit = y % 16 == 0 && (col == 7 || (col < 7 && ((code >> col) & 1)));
        return lit ? kWhite : kBlack;
    });
}

// Reads `count` glyphs of the code picture drawn from (x, y) with the given advance;
// a glyph whose marker is missing reads as '?'.
inline std::string ReadCodes(int x, int y, int count, int advance = 16) {
    std::string text;
    for (int n = 0; n < count; ++n) {
        std::vector<vxtest::Pixel> row = vxtest::ReadBlock(x + n * advance, y, 8, 1);
        if (row[7].r < 128) {
            text += '?';
            continue;
        }
        int code = 0;
        for (int bit = 0; bit < 7; ++bit)
            if (row[bit].r >= 128) code |= 1 << bit;
        text += (char)code;
    }
    return text;
}

// A black back buffer and the renderer's default colour and blending.
inline void ClearFrame() {
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    glColor4f(1, 1, 1, 1);
    glDisable(GL_BLEND);
}

// Writes the back buffer as a 24-bit BMP, for a person to look at.
inline bool SaveFrame(const std::string& path, int width, int height) {
    std::vector<vxtest::Pixel> block = vxtest::ReadBlock(0, 0, width, height);
    std::string bmp = MakeBmp(width, height, [&](int x, int y) {
        const vxtest::Pixel& p = block[(size_t)y * width + x];
        return Rgb{p.r, p.g, p.b};
    });
    return vxtest::WriteFile(path, bmp);
}

}  // namespace fonttest
