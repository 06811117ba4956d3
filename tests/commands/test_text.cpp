// PRINT and LOADFONT over the global font, read back from a real GL context.
#include <gtest/gtest.h>

#include <string>

#include "commands/text.h"
#include "base/errors.h"
#include "host/globals.h"
#include "render/OpenGLFont.h"
#include "render/font_pictures.h"
#include "support/display.h"
#include "support/process.h"

namespace {

using fonttest::ReadCodes;

// The display open, `fnt` holding the code picture at 640, a black frame.
bool PrepareFont() {
    if (!vxtest::OpenDisplay()) return false;
    fonttest::ClearFrame();
    _VX_RESX = 640;
    std::string path = fonttest::WritePicture("codes.bmp", fonttest::CodePicture());
    return LOADFONT(path.c_str()) == 0;
}

TEST(Text, PrintPlacesTextAndNumbers) {
    ASSERT_TRUE(PrepareFont());
    EXPECT_EQ(PRINT("A", 10, 20), 0);
    EXPECT_EQ(ReadCodes(10, 20, 1), "A");
    EXPECT_EQ(vxtest::ReadPixel(17, 19), (vxtest::Pixel{0, 0, 0}));  // nothing above the corner
    EXPECT_EQ(vxtest::ReadPixel(9, 20), (vxtest::Pixel{0, 0, 0}));
    EXPECT_EQ(PRINT(-7, 0, 0), 0);
    EXPECT_EQ(ReadCodes(0, 0, 2), "-7");
    // Coordinates keep their low 16 bits: 65546 is 10 and 65536 + 40 is 40.
    EXPECT_EQ(PRINT("Hi", 65546, 65536 + 40), 0);
    EXPECT_EQ(ReadCodes(10, 40, 2), "Hi");
    EXPECT_EQ(PRINT(123, 65536 + 100, 60), 0);
    EXPECT_EQ(ReadCodes(100, 60, 3), "123");
}

TEST(Text, LoadfontWrapsAtTheConfiguredWidth) {
    ASSERT_TRUE(PrepareFont());
    _VX_RESX = 320;
    std::string path = fonttest::WritePicture("codes.bmp", fonttest::CodePicture());
    ASSERT_EQ(LOADFONT(path.c_str()), 0);
    EXPECT_EQ(fnt.GetScreenWidth(), 320);
    // From x = 64: 16 glyphs (64 to 304) on the first line, then back to x = 64.
    PRINT("abcdefghijklmnopqrst", 64, 100);
    EXPECT_EQ(ReadCodes(64, 100, 16), "abcdefghijklmnop");
    EXPECT_EQ(ReadCodes(64, 116, 4), "qrst");
    EXPECT_EQ(ReadCodes(0, 116, 1), "?");
}

TEST(Text, LoadfontOfAMissingFileRecordsError3AndKeepsTheFont) {
    ASSERT_TRUE(PrepareFont());
    GLuint glyph = fnt.GetGlyphTexture('A');
    _g_error = 0;
    _dLn(77);
    KWFileSystem::DeleteDebug();
    testing::internal::CaptureStderr();
    EXPECT_EQ(LOADFONT("missing.bmp"), 3);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("LOADFONT \"missing.bmp\""),
              std::string::npos);
    EXPECT_EQ(_g_error, 3);
    EXPECT_EQ(_g_errorline, 77);
    EXPECT_EQ(vxtest::ReadFile(KWFileSystem::DebugPath()), "Wrong Fontname\r\nmissing.bmp\r\n");
    EXPECT_EQ(fnt.GetGlyphTexture('A'), glyph);
    PRINT("Z", 0, 0);
    EXPECT_EQ(ReadCodes(0, 0, 1), "Z");
    // A picture it cannot take is error 3 too, with no log line.
    KWFileSystem::DeleteDebug();
    std::string small = fonttest::WritePicture("small.bmp", fonttest::SolidPicture(64, 64));
    EXPECT_EQ(LOADFONT(small.c_str()), 3);
    EXPECT_EQ(vxtest::ReadFile(KWFileSystem::DebugPath()), "");
    _g_error = 0;
}

}  // namespace
