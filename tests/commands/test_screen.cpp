// The screen and sprite commands read back from a real GL frame: blend and zoom
// arithmetic, the background that SHOWSCREEN pastes, black and blended screens, the
// colour key, sprite numbers outside the slots, and SAVEBMP's pictures.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "commands/screen.h"
#include "commands/text.h"
#include "base/errors.h"
#include "render/OpenGLFont.h"
#include "render/render_support.h"
#include "support/process.h"

namespace {

using vxtest::Box;
using vxtest::Coverage;
using vxtest::Pixel;
using vxtest::ReadBlock;
using vxtest::ReadPixel;
using vxtools::Rgb;

enum Slot : int { kSolid = 30, kHalves, kWide, kKeyed, kArrow, kBall };

const Rgb kSolidColour{200, 100, 50};

// A picture of the whole display that no two neighbouring pixels share.
Rgb Backdrop(int x, int y) {
    return {(uint8_t)x, (uint8_t)(y * 2), (uint8_t)(x + y)};
}

// A round sprite lit from the top left: the key colour outside the circle.
Rgb Ball(int x, int y, Rgb colour) {
    const int dx = 2 * x - 31, dy = 2 * y - 31;
    if (dx * dx + dy * dy > 31 * 31) return {255, 0, 128};
    const int hx = dx + 12, hy = dy + 12;
    int light = 255 - (hx * hx + hy * hy) / 12;
    if (light < 70) light = 70;
    const int white = light > 215 ? (light - 215) * 5 : 0;
    auto shade = [light, white](uint8_t c) {
        const int v = c * light / 255 + white;
        return (uint8_t)(v > 255 ? 255 : v);
    };
    return {shade(colour.r), shade(colour.g), shade(colour.b)};
}

// An arrow pointing right, 32 x 16, on the key colour.
Rgb Arrow(int x, int y) {
    const int fromMiddle = 2 * y - 15;  // odd: -15 .. 15
    const bool shaft = x >= 2 && x < 20 && fromMiddle >= -3 && fromMiddle <= 3;
    const bool head = x >= 18 && (fromMiddle < 0 ? -fromMiddle : fromMiddle) <= 15 * (31 - x) / 13;
    if (!shaft && !head) return {255, 0, 128};
    return x < 6 ? Rgb{255, 255, 255} : Rgb{255, 150, 30};
}

std::vector<Pixel> WholeFrame() {
    return ReadBlock(0, 0, 640, 480);
}

class ScreenTest : public vxtest::RenderTest {
protected:
    void SetUp() override {
        RenderTest::SetUp();
        lumeris.FreeSurface(0);
        lumeris.FreeSurface(1);
        _g_error = 0;
        _g_errorline = 0;
        _dLn(0);
        Load(kSolid, 16, 16, [](int, int) { return kSolidColour; });
        // Left half red, right half blue.
        Load(kHalves, 16, 16, [](int x, int) { return x < 8 ? Rgb{255, 0, 0} : Rgb{0, 0, 255}; });
        // Fills a 64 x 32 texture exactly.
        Load(kWide, 64, 32, [](int, int) { return Rgb{0, 255, 0}; });
        backdrop = vxtest::WritePicture("backdrop.bmp", 640, 480, Backdrop);
    }
    void TearDown() override {
        _dLn(0);
        _g_error = 0;
    }
    static void Load(int slot, int w, int h, const std::function<Rgb(int, int)>& colour) {
        std::string file =
            vxtest::WritePicture("sprite" + std::to_string(slot) + ".bmp", w, h, colour);
        ASSERT_EQ(LOADSPRITE(file.c_str(), slot), 0);
    }
    static Pixel Grey() {
        vxtest::FillFrame(0.5f, 0.5f, 0.5f);
        return ReadPixel(0, 0);
    }
    std::string backdrop;
};

TEST_F(ScreenTest, SpriteBlendSelectsOpaqueAdditiveOrMultiplyingDraw) {
    const Pixel grey = Grey();
    EXPECT_EQ(SPRITE(kSolid, 100, 50, 0), 0);
    EXPECT_EQ(Coverage(0, 0, 640, 480, grey), (Box{100, 50, 16, 16}));
    EXPECT_EQ(ReadPixel(105, 55), (Pixel{200, 100, 50}));

    // 100 adds the whole sprite onto the screen, clamped.
    Grey();
    SPRITE(kSolid, 100, 50, 100);
    const Pixel added{255, (uint8_t)(grey.g + 100), (uint8_t)(grey.b + 50)};
    EXPECT_TRUE(vxtest::Near(ReadPixel(105, 55), added)) << ReadPixel(105, 55);
    std::vector<Pixel> byCommand = WholeFrame();
    Grey();
    lumeris.DrawSpriteAB(kSolid, 100, 50, 1.0f);
    EXPECT_TRUE(WholeFrame() == byCommand);

    // -30 multiplies with 0.3: texel x 0.3 + screen x texel x 0.3.
    Grey();
    SPRITE(kSolid, 100, 50, -30);
    auto multiplied = [&](int t) { return (uint8_t)(0.3 * t + grey.r * 0.3 * t / 255.0 + 0.5); };
    const Pixel want{multiplied(200), multiplied(100), multiplied(50)};
    EXPECT_TRUE(vxtest::Near(ReadPixel(105, 55), want, 2)) << ReadPixel(105, 55) << " " << want;
    byCommand = WholeFrame();
    Grey();
    lumeris.DrawSpriteAB(kSolid, 100, 50, -0.3f);
    EXPECT_TRUE(WholeFrame() == byCommand);
    EXPECT_EQ(ReadPixel(99, 55), grey);

    // The turned and zoomed forms take the same blend amounts.
    glClear(GL_COLOR_BUFFER_BIT);
    ROTOSPRITE(kSolid, 100, 50, 0, 50);
    EXPECT_TRUE(vxtest::Near(ReadPixel(105, 55), {100, 50, 25})) << ReadPixel(105, 55);
    ZOOMSPRITE(kSolid, 300, 50, 100, 100, 50);
    EXPECT_EQ(Coverage(200, 0, 200, 200), (Box{292, 42, 32, 32}));
    EXPECT_TRUE(vxtest::Near(ReadPixel(300, 50), {100, 50, 25})) << ReadPixel(300, 50);
    vxtest::ExpectRestingState();
}

TEST_F(ScreenTest, ZoomAddsPercentOfTheTextureAndNeverShrinks) {
    SPRITE(kSolid, 100, 50, 0);
    std::vector<Pixel> plain = WholeFrame();
    glClear(GL_COLOR_BUFFER_BIT);
    EXPECT_EQ(ZOOMSPRITE(kSolid, 100, 50, 0, 0, 0), 0);
    EXPECT_TRUE(WholeFrame() == plain);

    // The 16 x 16 picture sits in a 32 x 32 texture; 100 doubles it about its centre.
    glClear(GL_COLOR_BUFFER_BIT);
    ZOOMSPRITE(kSolid, 100, 50, 100, 100, 0);
    EXPECT_EQ(Coverage(0, 0, 640, 480), (Box{92, 42, 32, 32}));

    // -200 is 200: three times the size, not mirrored.
    glClear(GL_COLOR_BUFFER_BIT);
    ZOOMSPRITE(kHalves, 100, 50, -200, -200, 0);
    EXPECT_EQ(Coverage(0, 0, 640, 480), (Box{84, 34, 48, 48}));
    EXPECT_EQ(ReadPixel(90, 58), (Pixel{255, 0, 0}));
    EXPECT_EQ(ReadPixel(126, 58), (Pixel{0, 0, 255}));
    std::vector<Pixel> negative = WholeFrame();
    glClear(GL_COLOR_BUFFER_BIT);
    ZOOMSPRITE(kHalves, 100, 50, 200, 200, 0);
    EXPECT_TRUE(WholeFrame() == negative);
}

TEST_F(ScreenTest, ZoomOfA64WideTextureTruncatesTowardZero) {
    // The picture fills its 64 x 32 texture, so the drawn width is the quad's:
    // 2 x ((64 + extra) >> 1), centred on (232, 116).
    struct Case {
        int zoom, width;
    };
    for (Case c : {Case{0, 64}, Case{150, 160}, Case{33, 84}, Case{34, 84}, Case{-34, 84},
                   Case{35, 86}, Case{-150, 160}}) {
        glClear(GL_COLOR_BUFFER_BIT);
        ZOOMSPRITE(kWide, 200, 100, c.zoom, 0, 0);
        EXPECT_EQ(Coverage(0, 0, 640, 480), (Box{232 - c.width / 2, 100, c.width, 32}))
            << "zoom " << c.zoom;
    }
    // Height follows zoom y on its own: 32 + 32 x 50 / 100.
    glClear(GL_COLOR_BUFFER_BIT);
    ZOOMSPRITE(kWide, 200, 100, 0, 50, 0);
    EXPECT_EQ(Coverage(0, 0, 640, 480), (Box{200, 92, 64, 48}));
}

TEST_F(ScreenTest, RotozoomTurnsNegativeAnglesAndScalesToZoomPercent) {
    // -90 is drawn as 270: a quarter turn clockwise puts the right (blue) half below.
    EXPECT_EQ(ROTOZOOMSPRITE(kHalves, 100, 50, -90, 100, 0), 0);
    EXPECT_EQ(Coverage(0, 0, 640, 480), (Box{100, 50, 16, 16}));
    EXPECT_EQ(ReadPixel(108, 52), (Pixel{255, 0, 0}));
    EXPECT_EQ(ReadPixel(108, 61), (Pixel{0, 0, 255}));
    std::vector<Pixel> turned = WholeFrame();
    glClear(GL_COLOR_BUFFER_BIT);
    ROTOSPRITE(kHalves, 100, 50, 270, 0);
    EXPECT_TRUE(WholeFrame() == turned);
    glClear(GL_COLOR_BUFFER_BIT);
    ROTOZOOMSPRITE(kHalves, 100, 50, -450, 100, 0);
    EXPECT_TRUE(WholeFrame() == turned);
    // The lowest int is brought up without overflow: -2^31 is 232 degrees.
    glClear(GL_COLOR_BUFFER_BIT);
    ROTOSPRITE(kHalves, 100, 50, 232, 0);
    turned = WholeFrame();
    glClear(GL_COLOR_BUFFER_BIT);
    ROTOZOOMSPRITE(kHalves, 100, 50, -2147483647 - 1, 100, 0);
    EXPECT_TRUE(WholeFrame() == turned);
    glClear(GL_COLOR_BUFFER_BIT);
    ROTOZOOMSPRITE(kHalves, 100, 50, 720, 100, 0);
    EXPECT_EQ(ReadPixel(102, 58), (Pixel{255, 0, 0}));
    EXPECT_EQ(ReadPixel(113, 58), (Pixel{0, 0, 255}));

    // 100 is the texture size (the picture's natural size), 50 half of it; 0 and
    // below fall back to the texture size.
    glClear(GL_COLOR_BUFFER_BIT);
    ROTOZOOMSPRITE(kSolid, 100, 50, 0, 100, 0);
    std::vector<Pixel> natural = WholeFrame();
    EXPECT_EQ(Coverage(0, 0, 640, 480), (Box{100, 50, 16, 16}));
    glClear(GL_COLOR_BUFFER_BIT);
    ROTOZOOMSPRITE(kSolid, 100, 50, 0, 50, 0);
    EXPECT_EQ(Coverage(0, 0, 640, 480), (Box{104, 54, 8, 8}));
    for (int zoom : {0, -50, -100000}) {
        glClear(GL_COLOR_BUFFER_BIT);
        ROTOZOOMSPRITE(kSolid, 100, 50, 0, zoom, 0);
        EXPECT_TRUE(WholeFrame() == natural) << "zoom " << zoom;
    }

    // Blend 0 is an opaque draw; 50 adds half.
    const Pixel grey = Grey();
    ROTOZOOMSPRITE(kSolid, 100, 50, 0, 100, 0);
    EXPECT_EQ(ReadPixel(105, 55), (Pixel{200, 100, 50}));
    EXPECT_EQ(ReadPixel(99, 55), grey);
    glClear(GL_COLOR_BUFFER_BIT);
    ROTOZOOMSPRITE(kSolid, 100, 50, 0, 100, 50);
    EXPECT_TRUE(vxtest::Near(ReadPixel(105, 55), {100, 50, 25})) << ReadPixel(105, 55);
    vxtest::ExpectRestingState();
}

TEST_F(ScreenTest, ShowscreenStartsTheNextFrameFromTheBackground) {
    // Without a background the next frame starts black.
    SPRITE(kSolid, 100, 50, 0);
    EXPECT_EQ(SHOWSCREEN(), 0);
    EXPECT_EQ(Coverage(0, 0, 640, 480), Box{});

    // LOADBMP pastes at once, and every frame after starts from it.
    EXPECT_EQ(LOADBMP(backdrop.c_str()), 0);
    std::vector<Pixel> background = WholeFrame();
    EXPECT_EQ(ReadPixel(300, 100), (Pixel{44, 200, 144}));
    EXPECT_EQ(ReadPixel(639, 479), (Pixel{127, 190, 94}));
    SPRITE(kSolid, 100, 50, 0);
    EXPECT_EQ(ReadPixel(105, 55), (Pixel{200, 100, 50}));
    SHOWSCREEN();
    EXPECT_TRUE(WholeFrame() == background);
    SHOWSCREEN();
    EXPECT_TRUE(WholeFrame() == background);

    // USEASBMP makes the frame in progress the background.
    SPRITE(kSolid, 100, 50, 0);
    std::vector<Pixel> withSprite = WholeFrame();
    EXPECT_EQ(USEASBMP(), 0);
    SHOWSCREEN();
    EXPECT_TRUE(WholeFrame() == withSprite);
}

TEST_F(ScreenTest, BlackscreenLeavesFramesBlackUntilANewBackground) {
    ASSERT_EQ(LOADBMP(backdrop.c_str()), 0);
    std::vector<Pixel> background = WholeFrame();
    SPRITE(kSolid, 100, 50, 0);
    EXPECT_EQ(BLACKSCREEN(), 0);
    EXPECT_EQ(Coverage(0, 0, 640, 480), Box{});
    for (int frame = 0; frame < 3; ++frame) {
        SPRITE(kSolid, 100, 50, 0);
        SHOWSCREEN();
        EXPECT_EQ(Coverage(0, 0, 640, 480), Box{}) << "frame " << frame;
    }
    // Drawing still works on the black frame.
    SPRITE(kSolid, 100, 50, 0);
    EXPECT_EQ(Coverage(0, 0, 640, 480), (Box{100, 50, 16, 16}));
    EXPECT_EQ(LOADBMP(backdrop.c_str()), 0);
    SHOWSCREEN();
    EXPECT_TRUE(WholeFrame() == background);
}

TEST_F(ScreenTest, BlendscreenOfAMissingFileKeepsTheLastFrameAsBackground) {
    ASSERT_EQ(LOADBMP(backdrop.c_str()), 0);
    SPRITE(kSolid, 100, 50, 0);
    std::vector<Pixel> last = WholeFrame();
    _dLn(42);
    EXPECT_EQ(BLENDSCREEN("no such picture.bmp"), 3);
    EXPECT_EQ(_g_error, 3);
    EXPECT_EQ(_g_errorline, 42);
    // No fade was played: a flip would have cleared the frame in progress.
    EXPECT_TRUE(WholeFrame() == last);
    EXPECT_EQ(lumeris.Surface(1)->columns, 0);
    SHOWSCREEN();
    EXPECT_TRUE(WholeFrame() == last);
}

TEST_F(ScreenTest, BlendscreenEndsWithThePictureAsBackground) {
    SPRITE(kSolid, 100, 50, 0);
    EXPECT_EQ(BLENDSCREEN(backdrop.c_str()), 0);
    EXPECT_EQ(_g_error, 0);
    std::vector<Pixel> after = WholeFrame();
    EXPECT_EQ(ReadPixel(300, 100), (Pixel{44, 200, 144}));
    EXPECT_EQ(ReadPixel(105, 55), (Pixel{105, 110, 160}));
    EXPECT_EQ(lumeris.Surface(1)->columns, 0);  // the scratch surface is freed
    SHOWSCREEN();
    EXPECT_TRUE(WholeFrame() == after);
}

TEST_F(ScreenTest, LoadbmpFailureKeepsTheOldBackground) {
    ASSERT_EQ(LOADBMP(backdrop.c_str()), 0);
    std::vector<Pixel> background = WholeFrame();
    std::string other = vxtest::WritePicture("other.bmp", 64, 64, [](int, int) {
        return Rgb{9, 9, 9};
    });
    std::string cut = vxtest::TempFile("cut.bmp");
    std::string bytes = vxtest::ReadFile(other);
    ASSERT_TRUE(vxtest::WriteFile(cut, bytes.substr(0, bytes.size() - 1)));
    for (const std::string& name : {std::string("missing.bmp"), cut}) {
        _g_error = 0;
        _dLn(7);
        EXPECT_EQ(LOADBMP(name.c_str()), 3) << name;
        EXPECT_EQ(_g_error, 3);
        EXPECT_EQ(_g_errorline, 7);
        EXPECT_TRUE(WholeFrame() == background);
        glClear(GL_COLOR_BUFFER_BIT);
        SHOWSCREEN();
        EXPECT_TRUE(WholeFrame() == background);
    }
}

TEST_F(ScreenTest, LoadspriteKeysOutExactly8000FF) {
    Load(kKeyed, 4, 4, [](int x, int y) {
        if (x == 1 && y == 1) return Rgb{255, 0, 128};  // the key
        if (x == 2 && y == 1) return Rgb{255, 0, 129};
        if (x == 1 && y == 2) return Rgb{254, 0, 128};
        if (x == 2 && y == 2) return Rgb{255, 1, 128};
        return Rgb{255, 255, 255};
    });
    const Pixel grey = Grey();
    SPRITE(kKeyed, 300, 300, 0);
    EXPECT_EQ(ReadPixel(301, 301), grey);
    EXPECT_EQ(ReadPixel(302, 301), (Pixel{255, 0, 129}));
    EXPECT_EQ(ReadPixel(301, 302), (Pixel{254, 0, 128}));
    EXPECT_EQ(ReadPixel(302, 302), (Pixel{255, 1, 128}));
    EXPECT_EQ(ReadPixel(300, 300), (Pixel{255, 255, 255}));

    _dLn(5);
    EXPECT_EQ(LOADSPRITE("missing.bmp", kKeyed), 3);
    EXPECT_EQ(_g_error, 3);
    EXPECT_EQ(_g_errorline, 5);
    Grey();
    SPRITE(kKeyed, 300, 300, 0);  // the old picture stays
    EXPECT_EQ(ReadPixel(302, 301), (Pixel{255, 0, 129}));
}

TEST_F(ScreenTest, SpriteNumbersOutsideTheSlotsDrawNothing) {
    const Pixel grey = Grey();
    for (int n : {255, -1, 1000, 32767, 65535, -65536 + 300}) {
        EXPECT_EQ(SPRITE(n, 100, 50, 0), 0);
        EXPECT_EQ(SPRITE(n, 100, 50, -50), 0);
        EXPECT_EQ(ZOOMSPRITE(n, 100, 50, 100, 100, 0), 0);
        EXPECT_EQ(ZOOMSPRITE(n, 100, 50, 100, 100, 50), 0);
        EXPECT_EQ(ROTOSPRITE(n, 100, 50, 45, 0), 0);
        EXPECT_EQ(ROTOSPRITE(n, 100, 50, 45, 50), 0);
        EXPECT_EQ(ROTOZOOMSPRITE(n, 100, 50, -90, 200, 0), 0);
        EXPECT_EQ(lumeris.SpriteTexWidth((short)n), 0) << n;
        EXPECT_EQ(lumeris.SpriteTexHeight((short)n), 0) << n;
    }
    EXPECT_EQ(Coverage(0, 0, 640, 480, grey), Box{});
    vxtest::ExpectRestingState();

    // A load into no slot is a failed load.
    std::string file = vxtest::TempFile("sprite" + std::to_string(kSolid) + ".bmp");
    EXPECT_EQ(LOADSPRITE(file.c_str(), 255), 3);
    EXPECT_EQ(LOADSPRITE(file.c_str(), -1), 3);
    EXPECT_EQ(LOADSPRITE(file.c_str(), 65536 + kHalves), 3);  // not narrowed
    EXPECT_EQ(_g_error, 3);
    // The drawing commands keep the low 16 bits of number and place.
    Grey();
    SPRITE(65536 + kSolid, 65536 + 100, -65536 + 50, 0);
    EXPECT_EQ(Coverage(0, 0, 640, 480, grey), (Box{100, 50, 16, 16}));
    EXPECT_EQ(ReadPixel(105, 55), (Pixel{200, 100, 50}));
}

// The header of a BMP file as the renderer reads it.
uint32_t Field(const std::string& bytes, size_t at, int size) {
    uint32_t v = 0;
    for (int i = size - 1; i >= 0; --i) v = v << 8 | (uint8_t)bytes[at + i];
    return v;
}

TEST_F(ScreenTest, SavebmpWritesTheFrameInProgressThatLoadbmpReadsBack) {
    ASSERT_EQ(LOADBMP(backdrop.c_str()), 0);
    SPRITE(kSolid, 100, 50, 0);
    ROTOSPRITE(kHalves, 400, 300, 30, 0);
    ZOOMSPRITE(kWide, 500, 20, 50, 50, 40);
    std::vector<Pixel> frame = WholeFrame();

    // An older file of that name is replaced whole.
    std::string file = vxtest::TempFile("saved.bmp");
    ASSERT_TRUE(vxtest::WriteFile(file, std::string(2000000, 'x')));
    // Pack settings left behind by other code do not move the read.
    glPixelStorei(GL_PACK_ROW_LENGTH, 1000);
    glPixelStorei(GL_PACK_SKIP_PIXELS, 7);
    glPixelStorei(GL_PACK_SKIP_ROWS, 3);
    EXPECT_EQ(SAVEBMP(file.c_str()), 0);
    EXPECT_EQ(_g_error, 0);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    glPixelStorei(GL_PACK_SKIP_PIXELS, 0);
    glPixelStorei(GL_PACK_SKIP_ROWS, 0);
    EXPECT_TRUE(WholeFrame() == frame);  // saving leaves the frame alone

    std::string bytes = vxtest::ReadFile(file);
    ASSERT_EQ(bytes.size(), 54u + 640 * 480 * 3);
    EXPECT_EQ(bytes.substr(0, 2), "BM");
    EXPECT_EQ(Field(bytes, 2, 4), bytes.size());
    EXPECT_EQ(Field(bytes, 10, 4), 54u);
    EXPECT_EQ(Field(bytes, 14, 4), 40u);
    EXPECT_EQ(Field(bytes, 18, 4), 640u);
    EXPECT_EQ(Field(bytes, 22, 4), 480u);  // positive: bottom row first
    EXPECT_EQ(Field(bytes, 28, 2), 24u);
    EXPECT_EQ(Field(bytes, 30, 4), 0u);  // uncompressed
    EXPECT_EQ(Field(bytes, 34, 4), 640u * 480 * 3);
    // The first stored pixel is the bottom-left one, blue first.
    const Pixel bottomLeft = frame[479 * 640];
    EXPECT_EQ((uint8_t)bytes[54], bottomLeft.b);
    EXPECT_EQ((uint8_t)bytes[55], bottomLeft.g);
    EXPECT_EQ((uint8_t)bytes[56], bottomLeft.r);

    // Loaded into a fresh frame it gives the same pixels, and stays as background.
    BLACKSCREEN();
    ASSERT_EQ(Coverage(0, 0, 640, 480), Box{});
    EXPECT_EQ(LOADBMP(file.c_str()), 0);
    EXPECT_TRUE(WholeFrame() == frame);
    SHOWSCREEN();
    EXPECT_TRUE(WholeFrame() == frame);
}

TEST_F(ScreenTest, SavebmpThatCannotWriteRecordsError3AndLeavesNoFile) {
    std::string folder = vxtest::MakeTempDir("save");
    _dLn(9);
    EXPECT_EQ(SAVEBMP((folder + "/no such folder/shot.bmp").c_str()), 3);
    EXPECT_EQ(_g_error, 3);
    EXPECT_EQ(_g_errorline, 9);
    EXPECT_FALSE(vxtest::FileExists(folder + "/no such folder"));

    // A write that fails at the end leaves the old file as it was, and nothing else.
    std::string file = folder + "/shot.bmp";
    ASSERT_TRUE(vxtest::WriteFile(file, "old"));
    _g_error = 0;
    platform::test::FailRename(true);
    EXPECT_EQ(SAVEBMP(file.c_str()), 3);
    platform::test::FailRename(false);
    EXPECT_EQ(_g_error, 3);
    EXPECT_EQ(vxtest::ReadFile(file), "old");
    int entries = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        EXPECT_EQ(entry.path().filename().string(), "shot.bmp");
        ++entries;
    }
    EXPECT_EQ(entries, 1);
}

// A frame with a backdrop, sprites in every form and text, saved as
// build/screenshot.bmp for a person to look at.
TEST_F(ScreenTest, ScreenshotOfSpritesAndText) {
    const std::string build = VX_BUILD_DIR;
    std::string sky = vxtest::WritePicture("sky.bmp", 640, 480, [](int x, int y) {
        const bool tile = ((x / 40) + (y / 40)) % 2 == 0;
        return Rgb{(uint8_t)(10 + y / 8), (uint8_t)(20 + y / 6 + (tile ? 12 : 0)),
                   (uint8_t)(70 + y / 4)};
    });
    const Rgb colours[] = {{230, 60, 40}, {60, 200, 80}, {70, 120, 255}, {250, 210, 40}};
    for (int i = 0; i < 4; ++i)
        Load(kBall + i, 32, 32, [&colours, i](int x, int y) { return Ball(x, y, colours[i]); });
    _VX_RESX = 640;
    ASSERT_EQ(LOADFONT((build + "/SMALFONT.BMP").c_str()), 0);

    ASSERT_EQ(LOADBMP(sky.c_str()), 0);
    PRINT("VAMEX SCREEN COMMANDS", 24, 20);
    for (int i = 0; i < 4; ++i) SPRITE(kBall + i, 40 + 60 * i, 80, 0);
    PRINT("SPRITE", 40, 124);
    for (int i = 0; i < 4; ++i) ZOOMSPRITE(kBall + i, 340 + 70 * i, 80, 25 * i, 25 * i, 0);
    PRINT("ZOOMSPRITE", 340, 150);
    Load(kArrow, 32, 16, Arrow);
    for (int i = 0; i < 8; ++i) ROTOSPRITE(kArrow, 30 + 36 * i, 200, 45 * i, 0);
    PRINT("ROTOSPRITE", 40, 250);
    for (int i = 0; i < 4; ++i) ROTOZOOMSPRITE(kArrow, 330 + 70 * i, 200, -30 * i, 75 + 25 * i, 0);
    PRINT("ROTOZOOMSPRITE", 340, 250);
    for (int i = 0; i < 4; ++i) SPRITE(kBall + i, 40 + 22 * i, 320, 60);
    PRINT("SPRITE blend 60", 40, 370);
    for (int i = 0; i < 4; ++i) SPRITE(kBall + i, 340 + 22 * i, 320, -80);
    PRINT("SPRITE blend -80", 340, 370);
    PRINT(640, 40, 420);
    PRINT("x", 88, 420);
    PRINT(480, 104, 420);
    PRINT("saved by SAVEBMP", 340, 420);
    std::vector<Pixel> frame = WholeFrame();

    const std::string shot = build + "/screenshot.bmp";
    ASSERT_EQ(SAVEBMP(shot.c_str()), 0);
    BLACKSCREEN();
    ASSERT_EQ(LOADBMP(shot.c_str()), 0);
    EXPECT_TRUE(WholeFrame() == frame);
}

// Runs prog_escape in a fresh folder with the font picture, its temporary folder
// there too; returns the exit code, its notes and the debug log left behind.
struct Ended {
    int exitCode;
    std::string notes, log, output;
};
Ended RunProgram(const std::string& dir, const std::string& mode,
                 std::vector<std::string> env = {}) {
    vxtest::WriteFile(dir + "/SMALFONT.BMP",
                      vxtest::ReadFile(std::string(VX_BUILD_DIR) + "/SMALFONT.BMP"));
    env.push_back("VX_TEST_MODE=" + mode);
    env.push_back("VX_TEST_OUT=" + dir + "/notes.txt");
    env.push_back("TMPDIR=" + dir);
    vxtest::RunResult run = vxtest::Run(vxtest::BuiltProgram("prog_escape"), env, dir);
    return {run.exitCode, vxtest::ReadFile(dir + "/notes.txt"),
            vxtest::ReadFile(dir + "/ErrorLog.txt"), run.output};
}

TEST(ScreenProcess, EscapeHeldEndsTheProgramWithError10AndTheFrameUnshown) {
    Ended e = RunProgram(vxtest::MakeTempDir("escape"), "escape");
    // The end through SHOWSCREEN is a normal end: exit code 0, end record in the log.
    EXPECT_EQ(e.exitCode, 0) << e.output;
    EXPECT_EQ(e.notes, "frame shown\nbefore\n");
    ASSERT_EQ(e.log.rfind("FlipRate:\r\n", 0), 0u) << e.log;
    const std::string record = "-End On Line\r\n10\r\n42\r\n";
    ASSERT_GE(e.log.size(), record.size()) << e.log;
    EXPECT_EQ(e.log.substr(e.log.size() - record.size()), record) << e.log;
}

TEST(ScreenProcess, SavebmpPadsTheRowsOfAnOddWidthDisplay) {
    // 322 pixels are 966 bytes a row, padded to 968.
    std::string dir = vxtest::MakeTempDir("save");
    std::vector<uint8_t> picture = vxtools::MakeBmp(322, 200, Backdrop);
    ASSERT_TRUE(vxtools::WriteFile(dir + "/picture.bmp", picture));
    Ended e = RunProgram(
        dir, "save",
        {"VX_TEST_PICTURE=" + dir + "/picture.bmp", "VX_TEST_SHOT=" + dir + "/shot.bmp"});
    EXPECT_EQ(e.exitCode, 0) << e.output;
    EXPECT_EQ(e.notes, "loaded\nsaved\n");
    std::string shot = vxtest::ReadFile(dir + "/shot.bmp");
    ASSERT_EQ(shot.size(), 54u + 968 * 200);
    EXPECT_EQ(Field(shot, 18, 4), 322u);
    EXPECT_EQ(Field(shot, 34, 4), 968u * 200);
    // Pixels and padding as the picture had them.
    EXPECT_TRUE(shot.compare(54, std::string::npos, (const char*)picture.data() + 54,
                             picture.size() - 54) == 0);
}

}  // namespace
