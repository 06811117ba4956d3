// The bitmap font: its own BMP reader, the glyph cut into transposed textures,
// and the plain, wobbling and tinted printing.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "base/errors.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "render/OpenGLFont.h"
#include "render/OpenGLLumeris.h"

namespace {

// The smallest font picture the glyph cut takes.
constexpr int32_t kMinWidth = 128;
constexpr int32_t kMinHeight = 64;
// The largest one: glyph textures stay within what any GL takes (1024 x 2048).
constexpr int32_t kMaxSide = 16384;
// An info block must reach at least past biSizeImage.
constexpr uint32_t kMinInfoBlock = 24;

uint32_t Le32(const uint8_t* p) {
    return (uint32_t)p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16 | (uint32_t)p[3] << 24;
}

// A font picture as read from its file: the size and the pixel data as stored.
struct FontPicture {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> pixels;
};

enum class ReadResult { Ok, CannotOpen, Bad };

// Closes the file on every way out of the reader.
struct FileCloser {
    std::FILE* f;
    ~FileCloser() {
        if (f) std::fclose(f);
    }
};

// Reads the file strictly in sequence: file header, info block, pixel data.
// Every size the file claims is checked against what the file holds before
// anything is allocated.
ReadResult ReadFontPicture(const char* file, FontPicture& out) {
    std::string path = platform::ResolvePath(file);
    FileCloser closer{std::fopen(path.c_str(), "rb")};
    std::FILE* f = closer.f;
    if (!f) return ReadResult::CannotOpen;

    uint8_t header[14];
    errno = 0;
    if (std::fread(header, 1, sizeof header, f) != sizeof header)
        // A folder opens for reading here but is no file, as on Windows.
        return errno == EISDIR ? ReadResult::CannotOpen : ReadResult::Bad;
    if (header[0] != 'B' || header[1] != 'M') return ReadResult::Bad;
    long fileSize = -1;
    if (std::fseek(f, 0, SEEK_END) == 0) fileSize = std::ftell(f);
    if (fileSize < 0 || std::fseek(f, 14, SEEK_SET) != 0) return ReadResult::Bad;
    uint32_t offBits = Le32(header + 10);
    if (offBits < 14 || offBits - 14 < kMinInfoBlock || offBits > (uint64_t)fileSize)
        return ReadResult::Bad;

    std::vector<uint8_t> info(offBits - 14);
    if (std::fread(info.data(), 1, info.size(), f) != info.size()) return ReadResult::Bad;
    int32_t width = (int32_t)Le32(&info[4]);
    int32_t height = (int32_t)Le32(&info[8]);
    uint16_t bitCount = (uint16_t)(info[14] | info[15] << 8);
    uint64_t sizeImage = Le32(&info[20]);
    if (sizeImage == 0) {
        int64_t rowBytes = ((int64_t)bitCount * width + 31) / 32 * 4;
        int64_t rows = height < 0 ? -(int64_t)height : height;
        if (rowBytes < 0) return ReadResult::Bad;
        sizeImage = (uint64_t)(rows * rowBytes);
    }
    if (sizeImage > (uint64_t)fileSize - offBits) return ReadResult::Bad;  // short pixel data

    out.pixels.resize((size_t)sizeImage);
    if (std::fread(out.pixels.data(), 1, out.pixels.size(), f) != out.pixels.size())
        return ReadResult::Bad;
    out.width = width;
    out.height = height;
    return ReadResult::Ok;
}

// The smallest power of two 2^i (i from 0 to 16) that is at least `side`, else 16.
int32_t PaddedSide(int32_t side) {
    for (int i = 0; i <= 16; ++i)
        if ((1 << i) >= side) return 1 << i;
    return 16;
}

// The wave of FunPrint: a fifth of the glyph size at most, each way.
float Wave(int16_t size, float table) {
    return size * table * 0.2f;
}

}  // namespace

OpenGLFont::OpenGLFont() : GlyphWidth(0), GlyphHeight(0), ScreenWidth(0) {
    std::memset(GlyphTexture, 0, sizeof GlyphTexture);
}

OpenGLFont::~OpenGLFont() {
    // Names of 0 were never made; skipping them keeps a font that never loaded
    // away from GL, which may have no context left at exit.
    for (GLuint& name : GlyphTexture)
        if (name) glDeleteTextures(1, &name);
}

bool OpenGLFont::Init(const char* file, int screenWidth) {
    ScreenWidth = (int16_t)screenWidth;
    return LoadBMPTexture(file, 0);
}

bool OpenGLFont::LoadBMPTexture(const char* file, unsigned long transparent) {
    FontPicture picture;
    ReadResult read = ReadFontPicture(file ? file : "", picture);
    if (read == ReadResult::CannotOpen) {
        KWFileSystem::WriteDebug("Wrong Fontname");
        KWFileSystem::WriteDebug(file ? file : "");
    }
    if (read != ReadResult::Ok) return false;

    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);

    const int32_t width = picture.width;
    const int32_t height = picture.height;
    // A top-down picture (negative height) fails here too.
    if (width < kMinWidth || height < kMinHeight) return false;
    if (width > kMaxSide || height > kMaxSide) return false;
    const int32_t glyphWidth = PaddedSide(width) / 16;
    const int32_t glyphHeight = PaddedSide(height) / 8;
    const int32_t cellWidth = width / 16;
    const int32_t cellHeight = height / 8;
    const uint64_t stride = ((uint64_t)width * 3 + 3) & ~(uint64_t)3;
    const uint8_t keyRed = (uint8_t)(transparent & 0xFF);
    const uint8_t keyGreen = (uint8_t)((transparent >> 8) & 0xFF);
    const uint8_t keyBlue = (uint8_t)((transparent >> 16) & 0xFF);

    std::vector<uint8_t> texels((size_t)glyphWidth * glyphHeight * 4);
    for (int code = 32; code < 128; ++code) {
        std::fill(texels.begin(), texels.end(), 0);
        const int32_t x0 = (code % 16) * cellWidth;
        const int32_t y0 = (code / 16) * cellHeight;
        for (int32_t j = 1; j < cellHeight; ++j) {
            // The cell's bottom row is never used; the glyph hangs from its top.
            for (int32_t i = 0; i <= cellWidth && i < glyphWidth; ++i) {
                const int32_t column = x0 + i;
                const int32_t row = y0 + j - 1;
                if (column >= width || row >= height) continue;
                const uint64_t at = (uint64_t)(height - 1 - row) * stride + 3 * (uint64_t)column;
                if (at + 3 > picture.pixels.size()) continue;
                const uint8_t* bgr = &picture.pixels[(size_t)at];
                uint8_t* texel = &texels[((size_t)i * glyphHeight + (glyphHeight - j)) * 4];
                texel[0] = bgr[2];
                texel[1] = bgr[1];
                texel[2] = bgr[0];
                bool clear = bgr[2] == keyRed && bgr[1] == keyGreen && bgr[0] == keyBlue;
                texel[3] = clear ? 0 : 255;
            }
        }
        glDeleteTextures(1, &GlyphTexture[code]);
        glGenTextures(1, &GlyphTexture[code]);
        glBindTexture(GL_TEXTURE_2D, GlyphTexture[code]);
        glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
        glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
        glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        // Transposed: s runs up the glyph, t across it.
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, glyphHeight, glyphWidth, 0, GL_RGBA,
                     GL_UNSIGNED_BYTE, texels.data());
    }
    GlyphWidth = (int16_t)glyphWidth;
    GlyphHeight = (int16_t)glyphHeight;
    return true;
}

void OpenGLFont::BindGlyph(char code) {
    // Control codes and bytes above 127 bind the default texture, which never has
    // an image: their quads come out as solid blocks in the current colour.
    signed char c = (signed char)code;
    glBindTexture(GL_TEXTURE_2D, GlyphTexture[c < 0 ? 0 : c]);
}

void OpenGLFont::Advance(short& x, short& y, short startX) const {
    x = (short)(x + GlyphWidth);
    if (x + GlyphWidth > ScreenWidth) {
        x = startX;  // a new line starts where the text started, not at the left edge
        y = (short)(y + GlyphHeight);
    }
}

void OpenGLFont::Print(const char* text, short x, short y) {
    if (!text) return;
    const short startX = x;
    for (size_t n = std::strlen(text), k = 0; k < n; ++k) {
        BindGlyph(text[k]);
        glBegin(GL_QUADS);
        glTexCoord2f(0, 0);
        glVertex2f(x, -y - GlyphHeight);
        glTexCoord2f(0, 1);
        glVertex2f(x + GlyphWidth, -y - GlyphHeight);
        glTexCoord2f(1, 1);
        glVertex2f(x + GlyphWidth, -y);
        glTexCoord2f(1, 0);
        glVertex2f(x, -y);
        glEnd();
        Advance(x, y, startX);
    }
}

void OpenGLFont::Print(int value, short x, short y) {
    static char temp[128];
    std::snprintf(temp, sizeof temp, "%d", value);
    Print(temp, x, y);
}

void OpenGLFont::Print(float value, short x, short y) {
    static char temp[128];
    std::snprintf(temp, sizeof temp, "%f", (double)value);
    Print(temp, x, y);
}

void OpenGLFont::FunPrint(const char* text, short x, short y) {
    if (!text) return;
    const short startX = x;
    uint32_t phase = platform::TickCount() >> 2;
    for (size_t n = std::strlen(text), k = 0; k < n; ++k) {
        phase += 75;
        const float dx = Wave(GlyphWidth, qsin[phase % 360]);
        const float dy = Wave(GlyphHeight, qcos[(2 * phase) % 360]);
        BindGlyph(text[k]);
        // The glyph's bottom edge sits at y - dy: a glyph height above Print's.
        glBegin(GL_QUADS);
        glTexCoord2f(0, 0);
        glVertex2f(x + dx, dy - y);
        glTexCoord2f(0, 1);
        glVertex2f(x + dx + GlyphWidth, dy - y);
        glTexCoord2f(1, 1);
        glVertex2f(x + dx + GlyphWidth, dy - y + GlyphHeight);
        glTexCoord2f(1, 0);
        glVertex2f(x + dx, dy - y + GlyphHeight);
        glEnd();
        Advance(x, y, startX);
    }
}

void OpenGLFont::BeginColor(unsigned long colour, float intensity) {
    if (intensity == 0.0f)
        intensity = 1.0f;
    else
        glEnable(GL_BLEND);  // with whatever blend function was set last
    glColor4f((colour & 0xFF) * intensity / 255, ((colour >> 8) & 0xFF) * intensity / 255,
              ((colour >> 16) & 0xFF) * intensity / 255, 1.0f);
}

void OpenGLFont::EndColor() {
    glDisable(GL_BLEND);
    glColor4f(1, 1, 1, 1);
}

void OpenGLFont::ColorPrint(const char* text, short x, short y, unsigned long colour,
                            float intensity) {
    BeginColor(colour, intensity);
    Print(text, x, y);
    EndColor();
}

void OpenGLFont::ColorPrint(int value, short x, short y, unsigned long colour, float intensity) {
    BeginColor(colour, intensity);
    Print(value, x, y);
    EndColor();
}

void OpenGLFont::ColorPrint(float value, short x, short y, unsigned long colour, float intensity) {
    BeginColor(colour, intensity);
    Print(value, x, y);
    EndColor();
}
