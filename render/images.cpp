// Sprite and surface images: loading from BMP files, grabbing the frame being
// drawn, and freeing. Sprites are one transposed power-of-two texture each;
// surfaces are grids of 32 x 32 tile textures.
#include <cstring>
#include <vector>

#include "platform/sizes.h"
#include "render/OpenGLLumeris.h"
#include "render/bmp.h"

namespace {

constexpr int kTile = 32;
constexpr int kSpriteMaxSide = 32768;  // the texture side must fit the 16-bit slot fields
constexpr int kSurfaceMaxSide = 64 * kTile;

// Every load and grab starts from tightly packed client memory.
void SetUnpackState() {
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
}

// Makes a new texture from an RGBA buffer of glWidth x glHeight texels.
GLuint UploadTexture(int glWidth, int glHeight, const uint8_t* texels) {
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, glWidth, glHeight, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 texels);
    return name;
}

// The smallest power of two at least `side`, and never below 32.
int TextureSide(int side) {
    int texture = 32;
    while (texture < side) texture <<= 1;
    return texture;
}

}  // namespace

int OpenGLLumeris::LoadSprite(unsigned slot, const char* fileName, unsigned long colourKey) {
    if (!ValidSprite(slot)) return 0;
    BmpPicture picture;
    if (!ReadBmp(fileName, kSpriteMaxSide, &picture)) return 0;
    const int w = picture.width;
    const int h = picture.height;
    const int texW = TextureSide(w);
    const int texH = TextureSide(h);
    // A texture the context cannot hold would "load" as nothing at all; fail instead.
    GLint maxSide = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSide);
    if (texW > maxSide || texH > maxSide) return 0;
    const std::optional<size_t> texelBytes = platform::BlockBytes(texW, texH, 4);
    if (!texelBytes) return 0;
    SetUnpackState();
    const int offx = (texW - w) >> 1;
    const int offy = (texH - h) >> 1;

    const uint8_t keyRed = colourKey & 0xFF;
    const uint8_t keyGreen = (colourKey >> 8) & 0xFF;
    const uint8_t keyBlue = (colourKey >> 16) & 0xFF;
    // Transposed: texel (offx + c) * texH + (texH - h - offy + r) holds column c of
    // stored row r, so s runs up the picture and t across it.
    std::vector<uint8_t> texels(*texelBytes, 0);
    for (int r = 0; r < h; ++r) {
        for (int c = 0; c < w; ++c) {
            const uint8_t* bgr = picture.Pixel(c, r);
            uint8_t* texel = &texels[((size_t)(offx + c) * texH + (texH - h - offy + r)) * 4];
            texel[0] = bgr[2];
            texel[1] = bgr[1];
            texel[2] = bgr[0];
            bool key = bgr[2] == keyRed && bgr[1] == keyGreen && bgr[0] == keyBlue;
            texel[3] = key ? 0 : 255;
        }
    }
    FreeSprite((int)slot);
    spriteTexture[slot] = UploadTexture(texH, texW, texels.data());
    spriteTexWidth[slot] = (uint16_t)texW;
    spriteTexHeight[slot] = (uint16_t)texH;
    spriteWidth[slot] = (uint16_t)w;
    spriteHeight[slot] = (uint16_t)h;
    spriteOffsetX[slot] = (int16_t)offx;
    spriteOffsetY[slot] = (int16_t)(offy - texH);
    return 1;
}

bool OpenGLLumeris::LoadSurface(unsigned surface, const char* fileName, bool grey) {
    if (!ValidSurface(surface)) return false;
    BmpPicture picture;
    if (!ReadBmp(fileName, kSurfaceMaxSide, &picture)) return false;
    SetUnpackState();
    FreeSurface((int)surface);
    OPENGL_SURFACE& s = surfaces[surface];
    const int w = picture.width;
    const int h = picture.height;
    uint8_t texels[kTile * kTile * 4];
    int j = 0;
    for (int y0 = 0; y0 < h; y0 += kTile, ++j) {
        int i = 0;
        for (int x0 = 0; x0 < w; x0 += kTile, ++i) {
            // Texels beyond the picture's right or bottom edge stay opaque white.
            std::memset(texels, 255, sizeof texels);
            const int yEnd = y0 + kTile < h ? y0 + kTile : h;
            const int xEnd = x0 + kTile < w ? x0 + kTile : w;
            for (int y = y0; y < yEnd; ++y) {
                uint8_t* row = &texels[(kTile - 1 - (y - y0)) * kTile * 4];
                for (int x = x0; x < xEnd; ++x) {
                    const uint8_t* bgr = picture.Pixel(x, h - 1 - y);
                    uint8_t red = bgr[2], green = bgr[1], blue = bgr[0];
                    if (grey) {
                        red = green = blue = (uint8_t)(0.3 * red + 0.59 * green + 0.11 * blue);
                    }
                    uint8_t* texel = &row[(x - x0) * 4];
                    texel[0] = red;
                    texel[1] = green;
                    texel[2] = blue;
                    texel[3] = 255;
                }
            }
            s.tileTexture[i][j] = UploadTexture(kTile, kTile, texels);
            s.tileWidth[i][j] = kTile;
            s.tileHeight[i][j] = kTile;
        }
        if (i > s.columns) s.columns = (uint8_t)i;
    }
    s.rows = (uint8_t)j;
    return true;
}

void OpenGLLumeris::GrabSurface(int surface) {
    if (!ValidSurface(surface)) return;
    SetUnpackState();
    FreeSurface(surface);
    glReadBuffer(GL_BACK);
    // Tightly packed reads, so each lands inside its 32 x 32 buffer whatever was set before.
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    glPixelStorei(GL_PACK_SKIP_ROWS, 0);
    glPixelStorei(GL_PACK_SKIP_PIXELS, 0);
    OPENGL_SURFACE& s = surfaces[surface];
    // A display wider or taller than 64 tiles gives its top-left 2048 x 2048 pixels.
    const int w = width < kSurfaceMaxSide ? width : kSurfaceMaxSide;
    const int h = height < kSurfaceMaxSide ? height : kSurfaceMaxSide;
    uint8_t texels[kTile * kTile * 4];
    int j = 0;
    for (int y0 = 0; y0 < h; y0 += kTile, ++j) {
        int i = 0;
        for (int x0 = 0; x0 < w; x0 += kTile, ++i) {
            // Rows below the display come back as whatever GL gives; start from zero.
            std::memset(texels, 0, sizeof texels);
            glReadPixels(x0, height - kTile - y0, kTile, kTile, GL_RGBA, GL_UNSIGNED_BYTE, texels);
            s.tileTexture[i][j] = UploadTexture(kTile, kTile, texels);
            s.tileWidth[i][j] = kTile;
            s.tileHeight[i][j] = kTile;
        }
        s.columns = (uint8_t)i;
    }
    s.rows = (uint8_t)j;
}

void OpenGLLumeris::FreeSprite(int slot) {
    if (!ValidSprite(slot)) return;
    glDeleteTextures(1, &spriteTexture[slot]);
    // A deleted name may be handed out again to another texture, so the slot must
    // forget it: it then draws nothing and a later free cannot delete someone else's.
    spriteTexture[slot] = 0;
    spriteTexWidth[slot] = spriteTexHeight[slot] = 0;
    spriteWidth[slot] = spriteHeight[slot] = 0;
    spriteOffsetX[slot] = spriteOffsetY[slot] = 0;
}

void OpenGLLumeris::FreeSurface(int surface) {
    if (!ValidSurface(surface)) return;
    OPENGL_SURFACE& s = surfaces[surface];
    for (int i = 0; i < s.columns && i < 64; ++i)
        for (int j = 0; j < s.rows && j < 64; ++j) glDeleteTextures(1, &s.tileTexture[i][j]);
    std::memset(&s, 0, sizeof s);
}

void OpenGLLumeris::FreeAll() {
    for (int slot = 0; slot < kSprites; ++slot) FreeSprite(slot);
    for (int surface = 0; surface < kSurfaces; ++surface) FreeSurface(surface);
}
