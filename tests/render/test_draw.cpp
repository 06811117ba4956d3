// Sprite, surface and line drawing read back from a real GL frame: placement,
// the opaque and blended forms, zoom and turn about the centre, the effect
// record, lines, the cross-fade, and the GL state each method leaves.
#include <functional>
#include <vector>

#include "platform/clock.h"
#include "platform/window.h"
#include "render_support.h"

namespace {

using vxtest::Box;
using vxtest::Coverage;
using vxtest::Pixel;
using vxtest::ReadBlock;
using vxtest::ReadPixel;
using vxtest::RenderTest;
using vxtest::WritePicture;
using vxtools::Rgb;

// The middle pixel of every frame shown while set.
std::vector<Pixel>* g_shown = nullptr;

void NoteShown(HWND) {
    if (g_shown) g_shown->push_back(ReadPixel(320, 240));
}

enum Slot : short { kPattern = 20, kSolid, kHalves, kOddWide, kOddTall, kKeyed };

Rgb Pattern(int x, int y) {
    return {(uint8_t)(20 + 20 * x), (uint8_t)(30 + 30 * y), 77};
}

class DrawTest : public RenderTest {
protected:
    void SetUp() override {
        RenderTest::SetUp();
        Load(kPattern, 10, 6, Pattern);
        Load(kSolid, 16, 16, [](int, int) { return Rgb{200, 100, 50}; });
        // Left half red, right half blue.
        Load(kHalves, 10, 6, [](int x, int) { return x < 5 ? Rgb{255, 0, 0} : Rgb{0, 0, 255}; });
        Load(kOddWide, 9, 6, Pattern);
        Load(kOddTall, 10, 5, Pattern);
        // One key-coloured pixel in the middle of white.
        Load(kKeyed, 4, 4, [](int x, int y) {
            return x == 1 && y == 1 ? Rgb{255, 0, 128} : Rgb{255, 255, 255};
        });
    }
    void Load(short slot, int w, int h, const std::function<Rgb(int, int)>& colour) {
        std::string file = WritePicture("s" + std::to_string(slot) + ".bmp", w, h, colour);
        ASSERT_EQ(lumeris.LoadSprite(slot, file.c_str(), 0x8000FF), 1);
    }
    // The frame around the drawing spot, for comparing two draws.
    static std::vector<Pixel> Around() { return ReadBlock(40, 0, 140, 120); }
};

TEST_F(DrawTest, SpriteLandsWithItsTopLeftPixelOnThePoint) {
    lumeris.DrawSprite(kPattern, 100, 50);
    EXPECT_EQ(Coverage(0, 0, 640, 480), (Box{100, 50, 10, 6}));
    std::vector<Pixel> block = ReadBlock(100, 50, 10, 6);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 10; ++x) {
            Rgb want = Pattern(x, y);
            EXPECT_EQ(block[y * 10 + x], (Pixel{want.r, want.g, want.b})) << x << "," << y;
        }
    // Partly off the display, and a key-coloured pixel that is never drawn.
    glClear(GL_COLOR_BUFFER_BIT);
    lumeris.DrawSprite(kPattern, -4, -2);
    lumeris.DrawSprite(kKeyed, 300, 300);
    EXPECT_EQ(Coverage(0, 0, 20, 20), (Box{0, 0, 6, 4}));
    EXPECT_EQ(ReadPixel(0, 0), (Pixel{100, 90, 77}));
    EXPECT_EQ(ReadPixel(301, 301), (Pixel{0, 0, 0}));
    EXPECT_EQ(ReadPixel(300, 301), (Pixel{255, 255, 255}));
}

TEST_F(DrawTest, OpaqueFormsShowTheWholeTextureSquare) {
    vxtest::FillFrame(0.5f, 0.5f, 0.5f);
    const Pixel grey = ReadPixel(0, 0);
    lumeris.DrawSpriteNC(kPattern, 100, 50);
    EXPECT_EQ(Coverage(0, 0, 640, 480, grey), (Box{89, 37, 32, 32}));
    EXPECT_EQ(ReadPixel(89, 37), (Pixel{0, 0, 0}));
    EXPECT_EQ(ReadPixel(100, 50), (Pixel{20, 30, 77}));
    lumeris.DrawSpriteNC(kKeyed, 300, 300);
    EXPECT_EQ(ReadPixel(301, 301), (Pixel{255, 0, 128}));

    vxtest::FillFrame(0.5f, 0.5f, 0.5f);
    lumeris.ZoomSpriteNC(kPattern, 100, 50, 0, 0);
    EXPECT_EQ(Coverage(0, 0, 640, 480, grey), (Box{89, 37, 32, 32}));
    vxtest::FillFrame(0.5f, 0.5f, 0.5f);
    lumeris.RotoSpriteNC(kPattern, 100, 50, 0);
    EXPECT_EQ(Coverage(0, 0, 640, 480, grey), (Box{89, 37, 32, 32}));
    vxtest::ExpectRestingState();
}

TEST_F(DrawTest, ZoomGrowsAboutTheCentre) {
    lumeris.DrawSprite(kPattern, 100, 50);
    std::vector<Pixel> plain = Around();
    glClear(GL_COLOR_BUFFER_BIT);
    lumeris.ZoomSprite(kPattern, 100, 50, 0, 0);
    EXPECT_TRUE(Around() == plain);

    // A 16 x 16 picture at (100, 50) has its centre at (108, 58); doubled it covers 32 x 32.
    glClear(GL_COLOR_BUFFER_BIT);
    lumeris.ZoomSprite(kSolid, 100, 50, 32, 32);
    EXPECT_EQ(Coverage(0, 0, 640, 480), (Box{92, 42, 32, 32}));
    EXPECT_EQ(ReadPixel(108, 58), (Pixel{200, 100, 50}));
    EXPECT_EQ(ReadPixel(94, 44), (Pixel{200, 100, 50}));
}

TEST_F(DrawTest, TurnIsAboutThePictureCentre) {
    lumeris.DrawSprite(kPattern, 100, 50);
    std::vector<Pixel> plain = Around();
    glClear(GL_COLOR_BUFFER_BIT);
    lumeris.RotoSprite(kPattern, 100, 50, 0);
    EXPECT_TRUE(Around() == plain);

    // Odd sides put the turned picture half a pixel off, rounded left and up.
    glClear(GL_COLOR_BUFFER_BIT);
    lumeris.RotoSprite(kOddWide, 100, 50, 0);
    EXPECT_EQ(Coverage(0, 0, 640, 480), (Box{99, 50, 9, 6}));
    glClear(GL_COLOR_BUFFER_BIT);
    lumeris.RotoSprite(kOddTall, 100, 50, 0);
    EXPECT_EQ(Coverage(0, 0, 640, 480), (Box{100, 49, 10, 5}));

    // A quarter turn counter-clockwise: the right (blue) half goes to the top.
    glClear(GL_COLOR_BUFFER_BIT);
    lumeris.RotoSprite(kHalves, 100, 50, 90);
    EXPECT_EQ(Coverage(0, 0, 640, 480), (Box{102, 48, 6, 10}));
    EXPECT_EQ(ReadPixel(104, 49), (Pixel{0, 0, 255}));
    EXPECT_EQ(ReadPixel(105, 52), (Pixel{0, 0, 255}));
    EXPECT_EQ(ReadPixel(104, 53), (Pixel{255, 0, 0}));
    EXPECT_EQ(ReadPixel(106, 57), (Pixel{255, 0, 0}));
}

TEST_F(DrawTest, AdditiveAndMultiplyingBlends) {
    lumeris.DrawSpriteAB(kSolid, 100, 50, 0.5f);
    EXPECT_EQ(Coverage(0, 0, 640, 480), (Box{100, 50, 16, 16}));
    EXPECT_TRUE(vxtest::Near(ReadPixel(105, 55), {100, 50, 25})) << ReadPixel(105, 55);

    // Additive onto grey, then texel + screen x texel for a blend of -1.
    vxtest::FillFrame(0.5f, 0.5f, 0.5f);
    const int grey = ReadPixel(0, 0).r;
    lumeris.DrawSpriteAB(kSolid, 100, 50, 0.5f);
    EXPECT_TRUE(vxtest::Near(ReadPixel(105, 55),
                             {(uint8_t)(grey + 100), (uint8_t)(grey + 50), (uint8_t)(grey + 25)}));
    lumeris.RotoSpriteAB(kSolid, 300, 50, 0, -1.0f);
    auto multiplied = [grey](int t) { return (uint8_t)(t + grey * t / 255.0 + 0.5); };
    Pixel want{255, multiplied(100), multiplied(50)};
    EXPECT_TRUE(vxtest::Near(ReadPixel(305, 55), want, 2)) << ReadPixel(305, 55);
    // The transparent margin stays out of blended draws too.
    EXPECT_EQ(ReadPixel(299, 55), (Pixel{(uint8_t)grey, (uint8_t)grey, (uint8_t)grey}));

    vxtest::FillFrame(0, 0, 0);
    lumeris.ZoomSpriteAB(kSolid, 100, 200, 32, 32, 0.5f);
    EXPECT_EQ(Coverage(0, 150, 640, 150), (Box{92, 192, 32, 32}));
    vxtest::ExpectRestingState();
}

TEST_F(DrawTest, EffectRecordTintsTurnsAndSizes) {
    OPENGL_SPRITEFX fx{0, 0, 0, 0, 0};
    lumeris.RotoSprite(kPattern, 100, 50, 0);
    std::vector<Pixel> plain = Around();
    glClear(GL_COLOR_BUFFER_BIT);
    lumeris.DrawSpriteFX(kPattern, 100, 50, fx);
    EXPECT_TRUE(Around() == plain);

    glClear(GL_COLOR_BUFFER_BIT);
    fx.color = 0x0000FF;  // red only
    lumeris.DrawSpriteFX(kPattern, 100, 50, fx);
    EXPECT_EQ(ReadPixel(103, 52), (Pixel{Pattern(3, 2).r, 0, 0}));

    glClear(GL_COLOR_BUFFER_BIT);
    lumeris.DrawSpriteAB(kSolid, 100, 50, 0.5f);
    plain = Around();
    glClear(GL_COLOR_BUFFER_BIT);
    fx = {0.5f, 0, 0, 0, 0};
    lumeris.DrawSpriteFX(kSolid, 100, 50, fx);
    EXPECT_TRUE(Around() == plain);

    glClear(GL_COLOR_BUFFER_BIT);
    fx = {0.5f, 0, 0, 0, 0x0000FF};  // tint and blend together
    lumeris.DrawSpriteFX(kSolid, 100, 50, fx);
    EXPECT_TRUE(vxtest::Near(ReadPixel(105, 55), {100, 0, 0})) << ReadPixel(105, 55);

    glClear(GL_COLOR_BUFFER_BIT);
    fx = {0, 0, 64, 64, 0};  // twice the texture: twice the picture
    lumeris.DrawSpriteFX(kSolid, 100, 50, fx);
    EXPECT_EQ(Coverage(0, 0, 640, 480), (Box{92, 42, 32, 32}));

    glClear(GL_COLOR_BUFFER_BIT);
    lumeris.RotoSprite(kHalves, 100, 50, 90);
    plain = Around();
    glClear(GL_COLOR_BUFFER_BIT);
    fx = {0, 90, -5, 0, 0};  // sizes of 0 or below mean the texture's
    lumeris.DrawSpriteFX(kHalves, 100, 50, fx);
    EXPECT_TRUE(Around() == plain);
    vxtest::ExpectRestingState();
}

TEST_F(DrawTest, EveryMethodLeavesTheRestingState) {
    OPENGL_SPRITEFX fx{-0.5f, 30, 0, 0, 0x00FF00};
    std::vector<std::function<void()>> draws = {
        [] { lumeris.DrawSprite(kSolid, 10, 10); },
        [] { lumeris.ZoomSprite(kSolid, 10, 10, 8, 8); },
        [] { lumeris.RotoSprite(kSolid, 10, 10, 45); },
        [] { lumeris.DrawSpriteNC(kSolid, 10, 10); },
        [] { lumeris.ZoomSpriteNC(kSolid, 10, 10, 8, 8); },
        [] { lumeris.RotoSpriteNC(kSolid, 10, 10, 45); },
        [] { lumeris.DrawSpriteAB(kSolid, 10, 10, 0.3f); },
        [] { lumeris.ZoomSpriteAB(kSolid, 10, 10, 8, 8, -0.3f); },
        [] { lumeris.RotoSpriteAB(kSolid, 10, 10, 45, 0.7f); },
        [&fx] { lumeris.DrawSpriteFX(kSolid, 10, 10, fx); },
        [] { lumeris.PasteSurface(0, 0, 0); },
        [] { lumeris.DrawLine(1, 2, 3, 4, 0xFFFFFF); },
        [] { lumeris.DrawParticles(); },
    };
    for (size_t i = 0; i < draws.size(); ++i) {
        SCOPED_TRACE(i);
        draws[i]();
        vxtest::ExpectRestingState();
    }
}

TEST_F(DrawTest, SlotsOutsideTheTableDrawNothing) {
    OPENGL_SPRITEFX fx{0, 0, 0, 0, 0};
    for (short slot : {(short)-1, (short)255, (short)-32768, (short)32767}) {
        lumeris.DrawSprite(slot, 100, 100);
        lumeris.ZoomSpriteNC(slot, 100, 100, 10, 10);
        lumeris.RotoSpriteAB(slot, 100, 100, 10, 0.5f);
        lumeris.DrawSpriteFX(slot, 100, 100, fx);
    }
    // In the table but never loaded: nothing, even with a size of its own.
    lumeris.DrawSprite(200, 100, 100);
    lumeris.ZoomSprite(200, 100, 100, 10, 10);
    OPENGL_SPRITEFX sized{0, 0, 20, 20, 0};
    lumeris.DrawSpriteFX(200, 100, 100, sized);
    EXPECT_EQ(Coverage(0, 0, 640, 480).w, 0);
    vxtest::ExpectRestingState();
}

TEST_F(DrawTest, LineRunsCornerToCorner) {
    lumeris.DrawLine(0, 0, 639, 479, 0x00FF00);
    std::vector<Pixel> frame = ReadBlock(0, 0, 640, 480);
    int lit = 0;
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) {
            const Pixel& p = frame[(size_t)y * 640 + x];
            if (p == Pixel{0, 0, 0}) continue;
            ++lit;
            EXPECT_EQ(p, (Pixel{0, 255, 0}));
            EXPECT_NEAR(y, (x + 0.5) * 479 / 639, 1.0) << x;
        }
    EXPECT_GE(lit, 638);
    EXPECT_LE(lit, 641);
    EXPECT_EQ(frame[0], (Pixel{0, 255, 0}));
    EXPECT_EQ(frame[(size_t)478 * 640 + 638], (Pixel{0, 255, 0}));
    vxtest::ExpectRestingState();
}

TEST_F(DrawTest, CrossFadeRunsAboutASecondAndEndsOnABlankBuffer) {
    std::string red = WritePicture("red.bmp", 640, 480, [](int, int) { return Rgb{255, 0, 0}; });
    std::string blue = WritePicture("blue.bmp", 640, 480, [](int, int) { return Rgb{0, 0, 255}; });
    ASSERT_TRUE(lumeris.LoadSurface(10, red.c_str(), false));
    ASSERT_TRUE(lumeris.LoadSurface(11, blue.c_str(), false));

    // A surface number outside the table: no fade, the frame is untouched.
    lumeris.DrawSprite(kSolid, 100, 50);
    lumeris.BlendToSurface(10, 15);
    lumeris.BlendToSurface(-1, 11);
    EXPECT_EQ(ReadPixel(105, 55), (Pixel{200, 100, 50}));

    float t = lumeris.ConstFlip() > 5 ? lumeris.ConstFlip() : 5;
    int frames = 1;
    for (float a = 0; a < 1; a += t / 1000) ++frames;
    std::vector<Pixel> shown;
    g_shown = &shown;
    platform::test::OnSwap(NoteShown);
    uint32_t start = platform::TickCount();
    lumeris.BlendToSurface(10, 11);
    uint32_t took = platform::TickCount() - start;
    platform::test::OnSwap(nullptr);
    g_shown = nullptr;
    // From red to blue, each frame a mix of the two that moves one way.
    ASSERT_EQ(shown.size(), (size_t)frames);
    EXPECT_EQ(shown.front(), (Pixel{255, 0, 0}));
    EXPECT_EQ(shown.back(), (Pixel{0, 0, 255}));
    for (size_t i = 1; i < shown.size(); ++i) {
        EXPECT_NEAR(shown[i].r + shown[i].b, 255, 2) << i;
        EXPECT_LE(shown[i].r, shown[i - 1].r) << i;
    }
    EXPECT_NEAR(shown[frames / 2].b, 128, 16);
    // Every flip waits out the frame time (the first may find it already gone).
    EXPECT_GE(took, (uint32_t)(frames - 1) * lumeris.FrameTime());
    EXPECT_EQ(Coverage(0, 0, 640, 480).w, 0);
    EXPECT_EQ(lumeris.Surface(11)->columns, 20);
    vxtest::ExpectRestingState();
}

}  // namespace
