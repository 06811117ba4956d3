// The bitmap font: glyphs cut from its picture (font_picture.cpp) into transposed
// textures, and the plain, wobbling and tinted printing.
#include <cstdio>
#include <cstring>
#include <vector>

#include "base/errors.h"
#include "platform/clock.h"
#include "render/OpenGLFont.h"
#include "render/OpenGLLumeris.h"
#include "render/font_picture.h"

namespace {

// The wave of FunPrint: a fifth of the glyph size at most, each way.
float Wave(int16_t size, float table) {
    return size * table * 0.2f;
}

}  // namespace

OpenGLFont::OpenGLFont() : GlyphWidth(0), GlyphHeight(0), ScreenWidth(0) {
    std::memset(GlyphTexture, 0, sizeof GlyphTexture);
}

OpenGLFont::~OpenGLFont() {
    FreeGlyphs();
}

void OpenGLFont::FreeGlyphs() {
    // Names of 0 were never made (or are freed already); skipping them keeps a font
    // without glyphs away from GL, which may have no context left at exit.
    for (GLuint& name : GlyphTexture) {
        if (name) glDeleteTextures(1, &name);
        name = 0;
    }
}

bool OpenGLFont::Init(const char* file, int screenWidth) {
    ScreenWidth = (int16_t)screenWidth;
    return LoadBMPTexture(file, 0);
}

bool OpenGLFont::LoadBMPTexture(const char* file, unsigned long transparent) {
    FontPicture picture;
    FontRead read = ReadFontPicture(file ? file : "", &picture);
    if (read == FontRead::CannotOpen) {
        KWFileSystem::WriteDebug("Wrong Fontname");
        KWFileSystem::WriteDebug(file ? file : "");
    }
    // A picture the glyph cut does not take (under 128 x 64, top-down) fails here too.
    if (read != FontRead::Ok) return false;

    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);

    const int32_t glyphWidth = picture.GlyphWidth();
    const int32_t glyphHeight = picture.GlyphHeight();
    std::vector<uint8_t> texels;
    for (int code = 32; code < 128; ++code) {
        CutGlyph(picture, code, transparent, &texels);
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
