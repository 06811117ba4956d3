// Sprite and surface images: texture layout, colour key, the failures that keep
// a slot's old picture, tiles and their white margins, grey, grab and free.
#include <vector>

#include "render_support.h"

namespace {

using vxtest::Pixel;
using vxtest::RenderTest;
using vxtest::WritePicture;
using vxtools::Rgb;

// A picture in which every pixel differs from its neighbours.
Rgb Pattern(int x, int y) {
    return {(uint8_t)(20 + 20 * x), (uint8_t)(30 + 30 * y), 77};
}

// The texels of a texture, as the context holds them.
std::vector<uint8_t> TextureTexels(GLuint name, int w, int h) {
    std::vector<uint8_t> texels((size_t)w * h * 4, 0xEE);
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    return texels;
}

// The texel of sprite picture column c, stored row r (0 at the bottom).
const uint8_t* SpriteTexel(const std::vector<uint8_t>& texels, int slot, int c, int r) {
    int texW = lumeris.SpriteTexWidth(slot), texH = lumeris.SpriteTexHeight(slot);
    int w = lumeris.SpriteWidth(slot), h = lumeris.SpriteHeight(slot);
    int offx = (texW - w) >> 1, offy = (texH - h) >> 1;
    return &texels[((size_t)(offx + c) * texH + (texH - h - offy + r)) * 4];
}

TEST_F(RenderTest, SpriteTextureIsTransposedAndCentred) {
    std::string file = WritePicture("pattern.bmp", 10, 6, Pattern);
    ASSERT_EQ(lumeris.LoadSprite(3, file.c_str(), 0x8000FF), 1);
    EXPECT_EQ(lumeris.SpriteTexWidth(3), 32);
    EXPECT_EQ(lumeris.SpriteTexHeight(3), 32);
    EXPECT_EQ(lumeris.SpriteWidth(3), 10);
    EXPECT_EQ(lumeris.SpriteHeight(3), 6);
    std::vector<uint8_t> texels = TextureTexels(lumeris.SpriteTexture(3), 32, 32);
    int opaque = 0;
    for (size_t i = 3; i < texels.size(); i += 4) opaque += texels[i] == 255;
    EXPECT_EQ(opaque, 60);  // the picture, and nothing of the margin
    for (int r = 0; r < 6; ++r)
        for (int c = 0; c < 10; ++c) {
            const uint8_t* t = SpriteTexel(texels, 3, c, r);
            Rgb want = Pattern(c, 5 - r);
            EXPECT_EQ(t[0], want.r);
            EXPECT_EQ(t[1], want.g);
            EXPECT_EQ(t[2], want.b);
            EXPECT_EQ(t[3], 255);
        }
    // offx 11, offy 13: column 0 of the bottom row sits at texel 11 * 32 + 13.
    EXPECT_EQ(texels[(11 * 32 + 13) * 4 + 0], Pattern(0, 5).r);

    std::string tall = WritePicture("tall.bmp", 33, 100, Pattern);
    ASSERT_EQ(lumeris.LoadSprite(4, tall.c_str(), 0x8000FF), 1);
    EXPECT_EQ(lumeris.SpriteTexWidth(4), 64);
    EXPECT_EQ(lumeris.SpriteTexHeight(4), 128);
}

TEST_F(RenderTest, ColourKeyMakesOnlyExactMatchesTransparent) {
    // Pixel 0 is the key, pixel 1 is off by one in blue, pixel 2 is black.
    std::string file = WritePicture("key.bmp", 3, 1, [](int x, int) {
        if (x == 0) return Rgb{255, 0, 128};
        if (x == 1) return Rgb{255, 0, 129};
        return Rgb{0, 0, 0};
    });
    ASSERT_EQ(lumeris.LoadSprite(5, file.c_str(), 0x8000FF), 1);
    std::vector<uint8_t> texels = TextureTexels(lumeris.SpriteTexture(5), 32, 32);
    EXPECT_EQ(SpriteTexel(texels, 5, 0, 0)[3], 0);
    EXPECT_EQ(SpriteTexel(texels, 5, 1, 0)[3], 255);
    EXPECT_EQ(SpriteTexel(texels, 5, 2, 0)[3], 255);

    ASSERT_EQ(lumeris.LoadSprite(5, file.c_str(), 0), 1);  // key 0: black is transparent
    texels = TextureTexels(lumeris.SpriteTexture(5), 32, 32);
    EXPECT_EQ(SpriteTexel(texels, 5, 0, 0)[3], 255);
    EXPECT_EQ(SpriteTexel(texels, 5, 2, 0)[3], 0);
}

TEST_F(RenderTest, ComputedImageSizeAndTopDownRowsLoadTheSamePicture) {
    std::string plain = WritePicture("plain.bmp", 10, 6, Pattern);
    std::string computed = WritePicture("computed.bmp", 10, 6, Pattern, {false, false});
    std::string topDown = WritePicture("topdown.bmp", 10, 6, Pattern, {true, true});
    ASSERT_EQ(lumeris.LoadSprite(6, plain.c_str(), 0x8000FF), 1);
    std::vector<uint8_t> want = TextureTexels(lumeris.SpriteTexture(6), 32, 32);
    for (const std::string& file : {computed, topDown}) {
        ASSERT_EQ(lumeris.LoadSprite(6, file.c_str(), 0x8000FF), 1) << file;
        EXPECT_EQ(lumeris.SpriteHeight(6), 6);
        EXPECT_EQ(TextureTexels(lumeris.SpriteTexture(6), 32, 32), want) << file;
    }
}

// Overwrites bytes of a little-endian field in a picture file.
void Patch(std::vector<uint8_t>& bytes, size_t at, uint32_t value, int size = 4) {
    for (int i = 0; i < size; ++i) bytes[at + i] = (uint8_t)(value >> (8 * i));
}

TEST_F(RenderTest, FailedLoadsKeepTheSlotAndSurface) {
    std::string good = WritePicture("good.bmp", 10, 6, Pattern);
    ASSERT_EQ(lumeris.LoadSprite(7, good.c_str(), 0x8000FF), 1);
    ASSERT_TRUE(lumeris.LoadSurface(4, good.c_str(), false));
    const GLuint texture = lumeris.SpriteTexture(7);
    const GLuint tile = lumeris.Surface(4)->tileTexture[0][0];

    std::vector<uint8_t> base = vxtools::MakeBmp(10, 6, Pattern);
    std::vector<std::vector<uint8_t>> bad;
    auto with = [&](size_t at, uint32_t value, int size = 4) {
        std::vector<uint8_t> b = base;
        Patch(b, at, value, size);
        bad.push_back(b);
    };
    bad.push_back(std::vector<uint8_t>(base.begin(), base.begin() + 13));  // short header
    with(0, 'B' | ('X' << 8), 2);                                          // not "BM"
    with(10, 30);                                                          // info block of 16 bytes
    with(28, 8, 2);                                                        // 8-bit
    with(28, 32, 2);                                                       // 32-bit
    with(30, 1);                                                           // compressed
    with(18, 0);                                                           // zero width
    with(22, 0);                                                           // zero height
    with(18, (uint32_t)-10);                                               // negative width
    with(22, 0x80000000u);  // the one height with no positive counterpart
    with(34, 10);           // pixel size shorter than the rows
    bad.push_back(std::vector<uint8_t>(base.begin(), base.end() - 1));  // rows cut short
    with(34, (uint32_t)base.size());  // more pixel bytes than the file holds
    with(18, 40000);                  // far too wide for either
    int index = 0;
    for (const auto& bytes : bad) {
        std::string file = vxtest::TempFile("bad" + std::to_string(index++) + ".bmp");
        ASSERT_TRUE(vxtools::WriteFile(file, bytes));
        EXPECT_EQ(lumeris.LoadSprite(7, file.c_str(), 0x8000FF), 0) << file;
        EXPECT_FALSE(lumeris.LoadSurface(4, file.c_str(), false)) << file;
    }
    EXPECT_EQ(lumeris.LoadSprite(7, "no such picture.bmp", 0x8000FF), 0);
    EXPECT_FALSE(lumeris.LoadSurface(4, "no such picture.bmp", false));
    EXPECT_EQ(lumeris.SpriteTexture(7), texture);
    EXPECT_EQ(lumeris.SpriteWidth(7), 10);
    EXPECT_EQ(lumeris.Surface(4)->tileTexture[0][0], tile);
    EXPECT_EQ(lumeris.Surface(4)->columns, 1);

    // The old picture still draws.
    lumeris.DrawSprite(7, 100, 50);
    EXPECT_EQ(vxtest::ReadPixel(100, 50), (Pixel{20, 30, 77}));
}

TEST_F(RenderTest, SizeLimitsDifferForSpritesAndSurfaces) {
    std::string wide = WritePicture("wide.bmp", 2049, 1, [](int, int) { return Rgb{1, 2, 3}; });
    EXPECT_FALSE(lumeris.LoadSurface(2, wide.c_str(), false));
    EXPECT_EQ(lumeris.LoadSprite(8, wide.c_str(), 0x8000FF), 1);
    EXPECT_EQ(lumeris.SpriteTexWidth(8), 4096);
    std::string edge = WritePicture("edge.bmp", 2048, 1, [](int, int) { return Rgb{1, 2, 3}; });
    ASSERT_TRUE(lumeris.LoadSurface(2, edge.c_str(), false));
    EXPECT_EQ(lumeris.Surface(2)->columns, 64);
    EXPECT_EQ(lumeris.Surface(2)->rows, 1);
    // A sprite over 32768 pixels could not keep its texture size in 16 bits.
    std::string huge = vxtest::TempFile("huge.bmp");
    std::vector<uint8_t> bytes = vxtools::MakeBmp(1, 1, [](int, int) { return Rgb{1, 2, 3}; });
    Patch(bytes, 22, 32769);
    Patch(bytes, 34, 0);
    bytes.resize(54 + 4 * 32769, 0);
    ASSERT_TRUE(vxtools::WriteFile(huge, bytes));
    EXPECT_EQ(lumeris.LoadSprite(9, huge.c_str(), 0x8000FF), 0);
    EXPECT_EQ(lumeris.SpriteTexture(9), 0u);
    lumeris.FreeSurface(2);
    lumeris.FreeSprite(8);
}

TEST_F(RenderTest, NumbersOutsideTheTablesDoNothing) {
    std::string file = WritePicture("any.bmp", 4, 4, Pattern);
    GLuint probe = 0;  // names near the next free one: none may become a texture
    glGenTextures(1, &probe);
    glDeleteTextures(1, &probe);
    EXPECT_EQ(lumeris.LoadSprite(255, file.c_str(), 0), 0);
    EXPECT_EQ(lumeris.LoadSprite(0xFFFFFFFFu, file.c_str(), 0), 0);
    EXPECT_FALSE(lumeris.LoadSurface(15, file.c_str(), false));
    EXPECT_FALSE(lumeris.LoadSurface(0x80000000u, file.c_str(), false));
    lumeris.GrabSurface(-1);
    lumeris.GrabSurface(15);
    lumeris.FreeSprite(-1);
    lumeris.FreeSprite(255);
    lumeris.FreeSurface(-1);
    lumeris.FreeSurface(15);
    for (GLuint name = probe; name < probe + 8; ++name) EXPECT_FALSE(glIsTexture(name)) << name;
    EXPECT_EQ(lumeris.SpriteTexture(254) + lumeris.Surface(14)->columns, 0u);
    EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
}

TEST_F(RenderTest, FreedSpriteForgetsItsTexture) {
    std::string file = WritePicture("freed.bmp", 8, 8, [](int, int) { return Rgb{200, 0, 0}; });
    ASSERT_EQ(lumeris.LoadSprite(10, file.c_str(), 0x8000FF), 1);
    lumeris.FreeSprite(10);
    EXPECT_EQ(lumeris.SpriteTexture(10), 0u);
    EXPECT_EQ(lumeris.SpriteTexWidth(10), 0);
    lumeris.DrawSprite(10, 100, 100);
    lumeris.DrawSpriteNC(10, 100, 100);
    EXPECT_EQ(vxtest::Coverage(60, 60, 100, 100).w, 0);
    // The freed name may go to a new texture; freeing the slot again must not touch it.
    ASSERT_TRUE(lumeris.LoadSurface(5, file.c_str(), false));
    GLuint tile = lumeris.Surface(5)->tileTexture[0][0];
    lumeris.FreeSprite(10);
    EXPECT_TRUE(glIsTexture(tile));
    lumeris.FreeSurface(5);
    EXPECT_FALSE(glIsTexture(tile));
}

TEST_F(RenderTest, SurfaceTilesAndWhiteMargins) {
    std::string file = WritePicture("surface.bmp", 100, 40, [](int x, int y) {
        return Rgb{(uint8_t)x, (uint8_t)(y * 5), 9};
    });
    ASSERT_TRUE(lumeris.LoadSurface(6, file.c_str(), false));
    const OPENGL_SURFACE* s = lumeris.Surface(6);
    EXPECT_EQ(s->columns, 4);
    EXPECT_EQ(s->rows, 2);
    EXPECT_EQ(s->tileWidth[3][1], 32);
    EXPECT_EQ(s->tileHeight[3][1], 32);
    // Tile (3, 1): texel row 0 is its bottom pixel row, y = 63, outside the picture.
    std::vector<uint8_t> texels = TextureTexels(s->tileTexture[3][1], 32, 32);
    EXPECT_EQ(texels[0], 255);
    const uint8_t* inside = &texels[((31 - (39 - 32)) * 32 + (99 - 96)) * 4];  // pixel (99, 39)
    EXPECT_EQ(inside[0], 99);
    EXPECT_EQ(inside[1], 195);
    EXPECT_EQ(inside[3], 255);
    EXPECT_EQ(inside[4], 255);  // pixel (100, 39) is white

    lumeris.PasteSurface(6, 10, 20);
    EXPECT_EQ(vxtest::ReadPixel(10, 20), (Pixel{0, 0, 9}));
    EXPECT_EQ(vxtest::ReadPixel(10 + 99, 20 + 39), (Pixel{99, 195, 9}));
    EXPECT_EQ(vxtest::ReadPixel(10 + 50, 20 + 7), (Pixel{50, 35, 9}));
    EXPECT_EQ(vxtest::ReadPixel(10 + 100, 20), (Pixel{255, 255, 255}));
    EXPECT_EQ(vxtest::ReadPixel(10 + 127, 20 + 63), (Pixel{255, 255, 255}));
    EXPECT_EQ(vxtest::ReadPixel(10, 20 + 40), (Pixel{255, 255, 255}));
    EXPECT_EQ(vxtest::Coverage(0, 0, 200, 120), (vxtest::Box{10, 20, 128, 64}));
    vxtest::ExpectRestingState();
}

TEST_F(RenderTest, GreySurfaceUsesTheLuminanceWeights) {
    std::string file = WritePicture("rgb.bmp", 3, 1, [](int x, int) {
        return x == 0 ? Rgb{255, 0, 0} : x == 1 ? Rgb{0, 255, 0} : Rgb{0, 0, 255};
    });
    ASSERT_TRUE(lumeris.LoadSurface(7, file.c_str(), true));
    lumeris.PasteSurface(7, 0, 0);
    EXPECT_EQ(vxtest::ReadPixel(0, 0), (Pixel{76, 76, 76}));
    EXPECT_EQ(vxtest::ReadPixel(1, 0), (Pixel{150, 150, 150}));
    EXPECT_EQ(vxtest::ReadPixel(2, 0), (Pixel{28, 28, 28}));
}

TEST_F(RenderTest, FullScreenSurfaceAndEmptyPaste) {
    std::string file = WritePicture("screen.bmp", 640, 480, [](int x, int y) {
        return Rgb{(uint8_t)x, (uint8_t)y, (uint8_t)(x ^ y)};
    });
    ASSERT_TRUE(lumeris.LoadSurface(8, file.c_str(), false));
    EXPECT_EQ(lumeris.Surface(8)->columns, 20);
    EXPECT_EQ(lumeris.Surface(8)->rows, 15);
    lumeris.PasteSurface(8, 0, 0);
    EXPECT_EQ(vxtest::ReadPixel(639, 479),
              (Pixel{(uint8_t)639, (uint8_t)479, (uint8_t)(639 ^ 479)}));
    EXPECT_EQ(vxtest::ReadPixel(321, 17), (Pixel{(uint8_t)321, 17, (uint8_t)(321 ^ 17)}));

    glClear(GL_COLOR_BUFFER_BIT);
    lumeris.FreeSurface(8);
    EXPECT_EQ(lumeris.Surface(8)->columns, 0);
    lumeris.PasteSurface(8, 0, 0);
    lumeris.PasteSurface(14, 5, 5);  // never filled
    lumeris.PasteSurface(15, 0, 0);  // outside the table
    EXPECT_EQ(vxtest::Coverage(0, 0, 640, 480).w, 0);
    vxtest::ExpectRestingState();
}

TEST_F(RenderTest, GrabThenPasteReproducesTheFrame) {
    std::string file = WritePicture("grab.bmp", 50, 30, Pattern);
    ASSERT_EQ(lumeris.LoadSprite(11, file.c_str(), 0x8000FF), 1);
    lumeris.DrawLine(0, 0, 639, 479, 0x00FF00);
    lumeris.DrawSprite(11, 600, 460);  // across the last tiles and off the edge
    lumeris.DrawSprite(11, 31, 31);
    std::vector<Pixel> frame = vxtest::ReadBlock(0, 0, 640, 480);
    lumeris.GrabSurface(9);
    EXPECT_EQ(lumeris.Surface(9)->columns, 20);
    EXPECT_EQ(lumeris.Surface(9)->rows, 15);
    glClear(GL_COLOR_BUFFER_BIT);
    lumeris.PasteSurface(9, 0, 0);
    EXPECT_TRUE(vxtest::ReadBlock(0, 0, 640, 480) == frame);
    // A second grab frees the first one's tiles.
    GLuint old = lumeris.Surface(9)->tileTexture[0][0];
    lumeris.GrabSurface(9);
    EXPECT_TRUE(glIsTexture(lumeris.Surface(9)->tileTexture[0][0]));
    EXPECT_TRUE(old == lumeris.Surface(9)->tileTexture[0][0] || !glIsTexture(old));
}

TEST_F(RenderTest, FreeAllEmptiesEverySlotAndSurface) {
    std::string file = WritePicture("all.bmp", 4, 4, Pattern);
    ASSERT_EQ(lumeris.LoadSprite(0, file.c_str(), 0), 1);
    ASSERT_EQ(lumeris.LoadSprite(254, file.c_str(), 0), 1);
    ASSERT_TRUE(lumeris.LoadSurface(14, file.c_str(), false));
    GLuint sprite = lumeris.SpriteTexture(254);
    lumeris.FreeAll();
    EXPECT_FALSE(glIsTexture(sprite));
    EXPECT_EQ(lumeris.SpriteTexture(0), 0u);
    EXPECT_EQ(lumeris.SpriteTexture(254), 0u);
    EXPECT_EQ(lumeris.Surface(14)->rows, 0);
}

}  // namespace
