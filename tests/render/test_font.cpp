// The bitmap font on a real GL context: the loader's sizes and refusals, glyph
// placement and transposition, wrapping, solid blocks, tints, the wave, and the
// font picture the programs ship with.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <cstring>
#include <memory>
#include <set>
#include <string>

#include "base/errors.h"
#include "render/OpenGLFont.h"
#include "render/OpenGLLumeris.h"
#include "render/font_pictures.h"
#include "support/display.h"
#include "support/process.h"

namespace {

using fonttest::ClearFrame;
using fonttest::MakeBmp;
using fonttest::ReadCodes;
using fonttest::Rgb;
using fonttest::WritePicture;
using vxtest::Pixel;

const Pixel kBlackPixel{0, 0, 0};
const Pixel kWhitePixel{255, 255, 255};

std::string DebugLog() {
    return vxtest::ReadFile(KWFileSystem::DebugPath());
}

// A font loaded from a picture, with the display open and a black frame.
std::unique_ptr<OpenGLFont> LoadFont(const std::string& picture, int screenWidth = 640) {
    if (!vxtest::OpenDisplay()) return nullptr;
    ClearFrame();
    auto font = std::make_unique<OpenGLFont>();
    if (!font->Init(WritePicture("font.bmp", picture).c_str(), screenWidth)) return nullptr;
    return font;
}

// Counts lit pixels in a block of the back buffer.
int LitPixels(int x, int y, int w, int h) {
    int lit = 0;
    for (const Pixel& p : vxtest::ReadBlock(x, y, w, h))
        if (p.r + p.g + p.b > 0) ++lit;
    return lit;
}

TEST(Font, GlyphSizeFollowsThePaddedPicture) {
    ASSERT_TRUE(vxtest::OpenDisplay());
    OpenGLFont font;
    EXPECT_EQ(font.GetGlyphWidth(), 0);
    EXPECT_EQ(font.GetGlyphTexture(65), 0u);
    ASSERT_TRUE(font.Init(WritePicture("a.bmp", fonttest::SolidPicture(256, 128)).c_str(), 640));
    EXPECT_EQ(font.GetGlyphWidth(), 16);
    EXPECT_EQ(font.GetGlyphHeight(), 16);
    EXPECT_EQ(font.GetScreenWidth(), 640);
    EXPECT_EQ(font.GetGlyphTexture(31), 0u);  // codes below 32 never get a glyph
    EXPECT_NE(font.GetGlyphTexture(32), 0u);
    EXPECT_NE(font.GetGlyphTexture(127), 0u);
    ASSERT_TRUE(font.Init(WritePicture("b.bmp", fonttest::SolidPicture(128, 64)).c_str(), 320));
    EXPECT_EQ(font.GetGlyphWidth(), 8);
    EXPECT_EQ(font.GetGlyphHeight(), 8);
    ASSERT_TRUE(font.Init(WritePicture("c.bmp", fonttest::SolidPicture(320, 160)).c_str(), 320));
    EXPECT_EQ(font.GetGlyphWidth(), 32);  // padded to 512 x 256
    EXPECT_EQ(font.GetGlyphHeight(), 32);
    // A width of 70000 is stored in 16 bits.
    KWFileSystem::DeleteDebug();
    EXPECT_FALSE(font.Init("", 70000));
    EXPECT_EQ(font.GetScreenWidth(), 4464);
    EXPECT_EQ(DebugLog(), "Wrong Fontname\r\n\r\n");  // a folder is no font file
    EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
}

TEST(Font, MissingFileIsLoggedAndKeepsTheGlyphs) {
    auto font = LoadFont(fonttest::SolidPicture(256, 128));
    ASSERT_TRUE(font);
    GLuint glyph = font->GetGlyphTexture(65);
    KWFileSystem::DeleteDebug();
    EXPECT_FALSE(font->Init("no such font.bmp", 320));
    EXPECT_EQ(DebugLog(), "Wrong Fontname\r\nno such font.bmp\r\n");
    EXPECT_EQ(font->GetScreenWidth(), 320);  // stored before the load
    EXPECT_EQ(font->GetGlyphWidth(), 16);
    EXPECT_EQ(font->GetGlyphTexture(65), glyph);
    font->Print("A", 0, 0);
    EXPECT_EQ(vxtest::ReadPixel(5, 5), kWhitePixel);
}

TEST(Font, BrokenPicturesAreRefusedQuietly) {
    auto font = LoadFont(fonttest::SolidPicture(256, 128));
    ASSERT_TRUE(font);
    GLuint glyph = font->GetGlyphTexture(65);
    const std::string good = fonttest::SolidPicture(256, 128);
    auto with = [&](size_t at, uint32_t value) {
        std::string s = good;
        for (int i = 0; i < 4; ++i) s[at + i] = (char)((value >> (8 * i)) & 0xFF);
        return s;
    };
    struct Case {
        const char* what;
        std::string data;
    } cases[] = {
        {"too small in width", fonttest::SolidPicture(127, 64)},
        {"too small in height", fonttest::SolidPicture(128, 63)},
        {"empty file", ""},
        {"short header", good.substr(0, 10)},
        {"not BM", "XY" + good.substr(2)},
        {"info block short", good.substr(0, 40)},
        {"offset inside the header", with(10, 4)},
        {"offset past the end", with(10, 0x7FFFFFFF)},
        {"pixel data short", good.substr(0, good.size() - 1)},
        {"size image past the end", with(34, 0xFFFFFFF0)},
        {"top-down picture", with(22, (uint32_t)-128)},
        {"huge width, computed size", with(34, 0).replace(18, 4, std::string("\0\0\0\x40", 4))},
        {"huge picture", with(18, 1 << 20)},
        {"widest and tallest, computed size", with(34, 0).replace(18, 8, std::string(8, '\x7f'))},
    };
    KWFileSystem::DeleteDebug();
    for (const Case& c : cases) {
        EXPECT_FALSE(font->Init(WritePicture("bad.bmp", c.data).c_str(), 640)) << c.what;
        EXPECT_EQ(font->GetGlyphWidth(), 16) << c.what;
        EXPECT_EQ(font->GetGlyphTexture(65), glyph) << c.what;
    }
    EXPECT_EQ(DebugLog(), "");  // only a file that cannot be opened is logged
}

TEST(Font, ShortPixelDataAndOtherDepthsStayInsideTheData) {
    auto font = LoadFont(fonttest::SolidPicture(256, 128));
    ASSERT_TRUE(font);
    // biSizeImage covering only the bottom 10 rows: glyphs of higher rows come out empty.
    std::string picture = fonttest::SolidPicture(256, 128);
    uint32_t tenRows = 256 * 3 * 10;
    for (int i = 0; i < 4; ++i) picture[34 + i] = (char)((tenRows >> (8 * i)) & 0xFF);
    ASSERT_TRUE(font->Init(WritePicture("short.bmp", picture).c_str(), 640));
    ClearFrame();
    font->Print("A~", 0, 0);  // 'A' lies in row 4 of the grid, '~' in the bottom row
    EXPECT_EQ(LitPixels(0, 0, 16, 16), 0);
    EXPECT_GT(LitPixels(16, 0, 16, 16), 0);
    // A 16-bit picture loads as meaningless glyphs, bounded by the data read.
    std::string deep = fonttest::SolidPicture(256, 128);
    deep[28] = 16;
    EXPECT_TRUE(font->Init(WritePicture("deep.bmp", deep).c_str(), 640));
}

TEST(Font, GlyphIsPlacedUprightAtItsTopLeftCorner) {
    // Cell of 'A' (column 1, row 4): marks in three corners and in the unused last row.
    auto font = LoadFont(MakeBmp(256, 128, [](int x, int y) {
        int cx = x - 16, cy = y - 64;
        if (cx == 0 && cy == 0) return Rgb{255, 0, 0};
        if (cx == 5 && cy == 2) return Rgb{0, 255, 0};
        if (cx == 15 && cy == 14) return Rgb{0, 0, 255};
        if (cx == 3 && cy == 15) return Rgb{255, 255, 255};
        return fonttest::kBlack;
    }));
    ASSERT_TRUE(font);
    font->Print("A", 10, 20);
    std::vector<Pixel> block = vxtest::ReadBlock(10, 20, 16, 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            Pixel want = kBlackPixel;
            if (x == 0 && y == 0) want = {255, 0, 0};
            if (x == 5 && y == 2) want = {0, 255, 0};
            if (x == 15 && y == 14) want = {0, 0, 255};
            EXPECT_EQ(block[y * 16 + x], want) << "at " << x << "," << y;
        }
    EXPECT_EQ(LitPixels(0, 0, 80, 60), 3);  // nothing outside the glyph
}

TEST(Font, TransparentColourMustMatchInAllThreeBytes) {
    ASSERT_TRUE(vxtest::OpenDisplay());
    ClearFrame();
    // Cell of 'A': top row 0x0000FE-ish shades around the key 0x0000FF (pure red).
    std::string picture = MakeBmp(256, 128, [](int x, int y) {
        if (y != 64 || x < 16 || x >= 32) return fonttest::kBlack;
        switch (x - 16) {
            case 0:
                return Rgb{255, 0, 0};  // the key itself
            case 1:
                return Rgb{254, 0, 0};
            case 2:
                return Rgb{255, 1, 0};
            case 3:
                return Rgb{255, 0, 1};
            default:
                return fonttest::kBlack;
        }
    });
    OpenGLFont font;
    ASSERT_TRUE(font.LoadBMPTexture(WritePicture("key.bmp", picture).c_str(), 0x0000FF));
    font.SetScreenWidth(640);
    font.Print("A", 0, 0);
    std::vector<Pixel> row = vxtest::ReadBlock(0, 0, 5, 1);
    EXPECT_EQ(row[0], kBlackPixel);
    EXPECT_EQ(row[1], (Pixel{254, 0, 0}));
    EXPECT_EQ(row[2], (Pixel{255, 1, 0}));
    EXPECT_EQ(row[3], (Pixel{255, 0, 1}));
    EXPECT_EQ(row[4], kBlackPixel);  // black is opaque with this key, and drawn black
}

TEST(Font, TextAdvancesAndWrapsBackToTheStartX) {
    auto font = LoadFont(fonttest::SolidPicture(256, 128), 640);
    ASSERT_TRUE(font);
    font->Print(std::string(40, 'A').c_str(), 100, 50);
    // 33 glyphs on the first line (x = 100 to 612), the other 7 below from x = 100.
    EXPECT_EQ(LitPixels(100, 50, 33 * 16, 15), 33 * 16 * 15);
    EXPECT_EQ(LitPixels(0, 50, 100, 40), 0);
    EXPECT_EQ(LitPixels(100 + 33 * 16, 50, 640 - 100 - 33 * 16, 16), 0);
    EXPECT_EQ(LitPixels(100, 65, 640 - 100, 1), 0);  // each glyph's bottom row is clear
    EXPECT_EQ(LitPixels(100, 66, 7 * 16, 15), 7 * 16 * 15);
    EXPECT_EQ(LitPixels(100 + 7 * 16, 66, 100, 15), 0);
    EXPECT_EQ(LitPixels(0, 82, 640, 40), 0);
}

TEST(Font, PictureOf320By160GivesNaturalSizeGlyphsIn32PixelCells) {
    auto font = LoadFont(fonttest::SolidPicture(320, 160));
    ASSERT_TRUE(font);
    font->Print("AA", 0, 0);
    for (int g = 0; g < 2; ++g) {
        // 19 rows of the 20-pixel cell, and 21 columns: the cell and the next one's first.
        EXPECT_EQ(LitPixels(g * 32, 0, 21, 19), 21 * 19) << g;
        EXPECT_EQ(LitPixels(g * 32 + 21, 0, 11, 32), 0) << g;
        EXPECT_EQ(LitPixels(g * 32, 19, 32, 13), 0) << g;
    }
    // The rightmost column of cells has no picture column to its right.
    ClearFrame();
    font->Print("O", 0, 0);  // code 79: the last column of row 4
    EXPECT_EQ(LitPixels(0, 0, 20, 19), 20 * 19);
    EXPECT_EQ(LitPixels(20, 0, 12, 32), 0);
}

TEST(Font, ControlCodesAndHighBytesAreSolidBlocks) {
    auto font = LoadFont(fonttest::CodePicture());
    ASSERT_TRUE(font);
    font->Print(
        "\x01"
        "A\xC8",
        0, 0);
    EXPECT_EQ(LitPixels(0, 0, 16, 16), 256);  // the whole quad, bottom row too
    EXPECT_EQ(ReadCodes(16, 0, 1), "A");
    EXPECT_EQ(LitPixels(32, 0, 16, 16), 256);
    EXPECT_EQ(LitPixels(48, 0, 16, 16), 0);
    // In the current colour.
    font->ColorPrint("\x1F", 0, 40, 0x0000FF, 0.0f);
    EXPECT_EQ(vxtest::ReadPixel(8, 48), (Pixel{255, 0, 0}));
}

TEST(Font, NumbersAreFormattedInDecimal) {
    auto font = LoadFont(fonttest::CodePicture());
    ASSERT_TRUE(font);
    font->Print(-42, 0, 0);
    font->Print(1.5f, 0, 20);
    font->Print(-2147483647 - 1, 0, 40);
    EXPECT_EQ(ReadCodes(0, 0, 3), "-42");
    EXPECT_EQ(ReadCodes(0, 20, 8), "1.500000");
    EXPECT_EQ(ReadCodes(0, 40, 11), "-2147483648");
    font->Print(3.0e38f, 0, 60);  // a long float still fits its buffer
    EXPECT_EQ(ReadCodes(0, 60, 2), "30");
}

TEST(Font, ColorPrintTintsAndBlendsOnlyWithAnIntensity) {
    auto font = LoadFont(fonttest::SolidPicture(256, 128));
    ASSERT_TRUE(font);
    // An additive blend function shows whether blending is on.
    glBlendFunc(GL_ONE, GL_ONE);
    auto background = [] {
        glDisable(GL_TEXTURE_2D);
        glColor4f(0, 0, 100 / 255.0f, 1);
        glRectf(0, -100, 200, 0);
        glColor4f(1, 1, 1, 1);
        glEnable(GL_TEXTURE_2D);
    };
    background();
    font->ColorPrint("A", 0, 0, 0x0000FF, 0.0f);
    EXPECT_EQ(vxtest::ReadPixel(5, 5), (Pixel{255, 0, 0}));  // opaque red, no blending
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(colour[0] + colour[1] + colour[2] + colour[3], 4.0f);

    font->ColorPrint("A", 20, 0, 0x0000FF, 0.5f);
    Pixel half = vxtest::ReadPixel(25, 5);
    EXPECT_NEAR(half.r, 128, 1);
    EXPECT_EQ(half.b, 100);  // the background shows through: blending was on
    EXPECT_FALSE(glIsEnabled(GL_BLEND));

    font->ColorPrint(7, 40, 0, 0x204080, 1.0f);
    EXPECT_EQ(vxtest::ReadPixel(45, 5), (Pixel{0x80, 0x40, 0x20 + 100}));
    font->ColorPrint(2.5f, 0, 120, 0x00FF00, 0.0f);
    EXPECT_EQ(LitPixels(0, 120, 8 * 16, 15), 8 * 16 * 15);  // "2.500000"
    EXPECT_EQ(vxtest::ReadPixel(100, 125), (Pixel{0, 255, 0}));
    glBlendFunc(GL_ONE, GL_ZERO);
}

TEST(Font, FunPrintStandsAGlyphHigherAndWobbles) {
    auto font = LoadFont(fonttest::SolidPicture(256, 128));
    ASSERT_TRUE(font);
    font->FunPrint("AA", 100, 100);
    // Each glyph is off its place by at most a fifth of its size (3.2 pixels).
    for (int g = 0; g < 2; ++g) {
        int x = 100 + 16 * g;
        EXPECT_EQ(LitPixels(x + 4, 88, 8, 8), 64) << g;
        EXPECT_EQ(LitPixels(x, 104, 16, 16), 0) << g;  // where Print would draw
    }
    EXPECT_EQ(LitPixels(0, 0, 96, 200), 0);
    EXPECT_EQ(LitPixels(136, 0, 100, 200), 0);
    EXPECT_EQ(LitPixels(96, 0, 40, 80), 0);
}

TEST(Font, NothingShowsWithoutAFont) {
    ASSERT_TRUE(vxtest::OpenDisplay());
    ClearFrame();
    OpenGLFont font;
    font.SetScreenWidth(640);
    font.Print("AB\x01", 10, 10);
    font.FunPrint("AB", 10, 40);
    font.ColorPrint(12, 10, 60, 0xFFFFFF, 0.0f);
    EXPECT_EQ(LitPixels(0, 0, 100, 100), 0);
}

// The font picture the programs load: 16 x 16 glyphs, every printable character
// its own shape, white on black, inside its cell.
TEST(Font, ShippedPictureIsAReadableFixedWidthFont) {
    ASSERT_TRUE(vxtest::OpenDisplay());
    ClearFrame();
    OpenGLFont font;
    ASSERT_TRUE(font.Init("SMALFONT.BMP", 640)) << "run from the build folder";
    EXPECT_EQ(font.GetGlyphWidth(), 16);
    EXPECT_EQ(font.GetGlyphHeight(), 16);
    std::string all;
    for (int c = 32; c < 128; ++c) all += (char)c;
    font.Print(all.c_str(), 0, 0);  // 40 per line at this width: three lines
    std::set<std::string> shapes;
    for (int c = 32; c < 128; ++c) {
        int x = (c - 32) % 40 * 16, y = (c - 32) / 40 * 16;
        std::string shape;
        for (const Pixel& p : vxtest::ReadBlock(x, y, 16, 16)) {
            EXPECT_TRUE(p == kBlackPixel || p == kWhitePixel) << c;
            shape += p.r ? '#' : '.';
        }
        EXPECT_EQ(shape.find('#') == std::string::npos, c == 32) << c;
        EXPECT_EQ(shape.find('#', 15 * 16), std::string::npos) << c;  // bottom row clear
        shapes.insert(shape);
    }
    EXPECT_EQ(shapes.size(), 96u);

    // A frame to look at, kept in the build folder.
    ClearFrame();
    font.Print("Vamex bitmap font: SMALFONT.BMP", 16, 16);
    font.Print(all.c_str(), 16, 48);
    font.ColorPrint("Tinted red, intensity 0", 16, 120, 0x0000FF, 0.0f);
    font.ColorPrint("Tinted 0xFF8000, intensity 1", 16, 140, 0xFF8000, 1.0f);
    font.ColorPrint(-42, 16, 160, 0x00FFFF, 0.0f);
    font.ColorPrint(1.5f, 80, 160, 0x00FF00, 0.0f);
    font.FunPrint("FunPrint wobbles!", 16, 220);
    font.Print("Control codes: \x01\x02 high bytes: \xC8\xFF", 16, 240);
    font.SetScreenWidth(320);
    font.Print("This line wraps at x = 320 back to where it started.", 100, 280);
    EXPECT_TRUE(fonttest::SaveFrame(std::string(VX_BUILD_DIR) + "/font_screenshot.bmp", 640, 480));
}

// The committed picture is what the generator makes from the committed glyph file.
// The generator is a tool of the Linux build, run through the shell.
#ifndef _WIN32
TEST(Font, GeneratorMakesTheCommittedPicture) {
    std::string tool = std::string(VX_BUILD_DIR) + "/tools/make_font";
    ASSERT_TRUE(vxtest::FileExists(tool)) << "build the make_font tool";
    std::string dir = vxtest::MakeTempDir("make_font");
    std::string script = dir + "/run.sh";
    vxtest::WriteFile(script, "#!/bin/sh\nexec '" + tool +
                                  "' '" VX_SOURCE_DIR "/tools/glyphs/fixed-9x15B.bdf' '" + dir +
                                  "/out.bmp'\n");
    ASSERT_EQ(chmod(script.c_str(), 0755), 0);
    vxtest::RunResult run = vxtest::Run(script, {});
    ASSERT_EQ(run.exitCode, 0) << run.output;
    std::string made = vxtest::ReadFile(dir + "/out.bmp");
    EXPECT_EQ(made.size(), 54u + 256 * 128 * 3);
    EXPECT_TRUE(made == vxtest::ReadFile(VX_SOURCE_DIR "/assets/SMALFONT.BMP"));
}
#endif

}  // namespace
