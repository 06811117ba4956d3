// The bitmap font: 96 glyphs (codes 32 to 127) cut from a BMP picture of 16 x 8
// character cells, each glyph its own texture, drawn as textured quads.
#pragma once
#include <cstdint>

#include "platform/gl.h"

class OpenGLFont {
public:
    OpenGLFont();
    virtual ~OpenGLFont();

    // Stores the wrap width and loads the glyphs from `file`; true on success.
    // The width is kept even when the load fails.
    bool Init(const char* file, int screenWidth);
    // Loads the glyphs from a 24-bit BMP picture; pixels of `transparent`
    // (0x00BBGGRR) become clear. A failed load keeps the previous glyphs.
    bool LoadBMPTexture(const char* file, unsigned long transparent);
    // Deletes the glyph textures (the program's end, while the GL context is whole).
    void FreeGlyphs();
    // Sets the right edge used for line wrapping.
    void SetScreenWidth(short w) { ScreenWidth = w; }

    // Draws text with the top-left corner of its first glyph at (x, y).
    void Print(const char* text, short x, short y);
    // Draws the value in decimal.
    void Print(int value, short x, short y);
    // Draws the value as "%f" does (six decimals).
    void Print(float value, short x, short y);
    // Draws text with every glyph wobbling on a wave that moves with time.
    void FunPrint(const char* text, short x, short y);
    // Draws text tinted by `colour` (0x00BBGGRR) scaled by `intensity`; an
    // intensity other than 0 also turns blending on for the text.
    void ColorPrint(const char* text, short x, short y, unsigned long colour, float intensity);
    void ColorPrint(int value, short x, short y, unsigned long colour, float intensity);
    void ColorPrint(float value, short x, short y, unsigned long colour, float intensity);

    // Read-only views for commands and tests.
    short GetGlyphWidth() const { return GlyphWidth; }
    short GetGlyphHeight() const { return GlyphHeight; }
    short GetScreenWidth() const { return ScreenWidth; }
    GLuint GetGlyphTexture(int code) const { return GlyphTexture[code & 127]; }

private:
    // Binds the texture of one character; codes without a glyph bind none.
    void BindGlyph(char code);
    // Moves the pen one glyph on, wrapping to startX on the next line at the edge.
    void Advance(short& x, short& y, short startX) const;
    // Sets the tint of ColorPrint; undone by EndColor.
    void BeginColor(unsigned long colour, float intensity);
    void EndColor();

    int16_t GlyphWidth;
    int16_t GlyphHeight;
    int16_t ScreenWidth;
    GLuint GlyphTexture[128];
};
