// The BMP reader against broken files: every truncation and edge values in each
// header field (random corruption is fuzz/bmp_fuzzer.cpp's). Under the sanitizers it
// also proves no read or write strays; here whatever is accepted is the file's rows.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "host/globals.h"
#include "platform/files.h"
#include "render/OpenGLLumeris.h"
#include "render/bmp.h"
#include "support/display.h"
#include "tools/make_bmp.h"

namespace {

using Bytes = std::vector<uint8_t>;
constexpr int kSpriteSide = 32768;
constexpr int kSurfaceSide = 2048;

uint32_t Get32(const Bytes& b, size_t at) {
    return (uint32_t)b[at] | ((uint32_t)b[at + 1] << 8) | ((uint32_t)b[at + 2] << 16) |
           ((uint32_t)b[at + 3] << 24);
}

void Put32(Bytes& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = (uint8_t)(v >> (8 * i));
}

// Valid pictures of several shapes to break: odd widths, a top-down one, a
// computed image size, and one with a gap (a colour table) before the rows.
std::vector<Bytes> Bases() {
    auto colour = [](int x, int y) {
        return vxtools::Rgb{(uint8_t)(x * 7), (uint8_t)(y * 13), (uint8_t)(x + y)};
    };
    std::vector<Bytes> bases = {
        vxtools::MakeBmp(1, 1, colour),
        vxtools::MakeBmp(3, 2, colour),
        vxtools::MakeBmp(10, 6, colour, {false, false}),
        vxtools::MakeBmp(33, 5, colour),
        vxtools::MakeBmp(7, 3, colour, {true, true}),
    };
    Bytes gap = vxtools::MakeBmp(5, 4, colour);
    gap.insert(gap.begin() + 54, 16, 0xAB);
    Put32(gap, 10, 54 + 16);
    bases.push_back(gap);
    return bases;
}

// Parses a case and checks that a success holds exactly the file's rows.
// Returns whether it was accepted.
bool CheckParse(const Bytes& bytes, int maxSide) {
    BmpPicture picture;
    picture.width = -7;  // a failure must leave this alone
    const bool ok = ParseBmp(bytes.data(), bytes.size(), maxSide, &picture);
    if (!ok) {
        EXPECT_EQ(picture.width, -7);
        return false;
    }
    EXPECT_GE(picture.width, 1);
    EXPECT_LE(picture.width, maxSide);
    EXPECT_GE(picture.height, 1);
    EXPECT_LE(picture.height, maxSide);
    EXPECT_EQ(picture.rowBytes, 3 * (size_t)picture.width + picture.width % 4);
    EXPECT_EQ(picture.pixels.size(), picture.rowBytes * picture.height);
    const uint32_t offBits = Get32(bytes, 10);
    const bool topDown = (int32_t)Get32(bytes, 22) < 0;
    EXPECT_LE((uint64_t)offBits + picture.pixels.size(), bytes.size());
    for (int row = 0; row < picture.height && !testing::Test::HasFailure(); ++row) {
        int fileRow = topDown ? picture.height - 1 - row : row;
        EXPECT_EQ(std::memcmp(picture.Pixel(0, row), &bytes[offBits + fileRow * picture.rowBytes],
                              picture.rowBytes),
                  0);
    }
    return true;
}

TEST(BmpFuzz, EveryTruncationFailsAndTheWholeFileLoads) {
    int cases = 0;
    for (const Bytes& base : Bases()) {
        for (size_t length = 0; length < base.size(); ++length, ++cases) {
            Bytes cut(base.begin(), base.begin() + length);
            EXPECT_FALSE(CheckParse(cut, kSpriteSide)) << length;
        }
        EXPECT_TRUE(CheckParse(base, kSpriteSide));
        EXPECT_TRUE(CheckParse(base, kSurfaceSide));
        Bytes longer = base;
        longer.resize(base.size() + 9, 0x55);  // trailing bytes are not read
        EXPECT_TRUE(CheckParse(longer, kSpriteSide));
    }
    EXPECT_GT(cases, 500);
}

TEST(BmpFuzz, EdgeValuesInEveryHeaderField) {
    const std::vector<uint32_t> values = {
        0,          1,          2,          3,          4,          13,    14,         39,
        40,         53,         54,         55,         255,        256,   2047,       2048,
        2049,       32767,      32768,      32769,      65535,      65536, 0x7FFFFFFF, 0x80000000,
        0x80000001, 0xFFFFFFFF, 0xFFFFFFFE, 0xFFFF8000, 0xFFFFF800, 24,    0xFFFFFF00};
    // bfOffBits, biSize, biWidth, biHeight, biPlanes+biBitCount, biCompression, biSizeImage.
    const size_t fields[] = {10, 14, 18, 22, 26, 30, 34};
    int cases = 0;
    for (const Bytes& base : Bases()) {
        for (size_t field : fields)
            for (uint32_t value : values) {
                Bytes b = base;
                Put32(b, field, value);
                CheckParse(b, kSpriteSide);
                CheckParse(b, kSurfaceSide);
                ++cases;
                // The same value with a computed image size, where the rows set the length.
                Put32(b, 34, 0);
                CheckParse(b, kSpriteSide);
                ++cases;
            }
        for (uint32_t bits : {0u, 1u, 4u, 8u, 16u, 23u, 25u, 32u, 48u, 0xFFFFu}) {
            Bytes b = base;
            b[28] = (uint8_t)bits;
            b[29] = (uint8_t)(bits >> 8);
            EXPECT_FALSE(CheckParse(b, kSpriteSide)) << bits;
            ++cases;
        }
    }
    EXPECT_GT(cases, 1000);
}

// Both loaders on broken files: the same answer as the parser, and any accepted
// picture converts without straying.
TEST(BmpFuzz, FilesThroughTheLoaders) {
    ASSERT_TRUE(vxtest::OpenDisplay());
    std::mt19937 random(0xB4D);
    const std::vector<Bytes> bases = Bases();
    const std::string path = platform::TempPath() + "fuzz.bmp";
    for (int i = 0; i < 400; ++i) {
        Bytes b = bases[random() % bases.size()];
        const int hits = 1 + (int)(random() % 3);
        for (int h = 0; h < hits; ++h) {
            size_t at = 10 + random() % 28;
            if (random() % 3 == 0)
                b.resize(random() % (b.size() + 1));
            else if (at < b.size())
                b[at] = (uint8_t)random();
        }
        ASSERT_TRUE(vxtools::WriteFile(path, b));
        BmpPicture inMemory;
        const bool parsed = ParseBmp(b.data(), b.size(), kSpriteSide, &inMemory);
        EXPECT_EQ(lumeris.LoadSprite(30, path.c_str(), 0x8000FF), parsed ? 1 : 0) << i;
        const bool surface = ParseBmp(b.data(), b.size(), kSurfaceSide, &inMemory);
        EXPECT_EQ(lumeris.LoadSurface(12, path.c_str(), i % 2 == 0), surface) << i;
    }
    lumeris.FreeSprite(30);
    lumeris.FreeSurface(12);
    EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
}

}  // namespace
