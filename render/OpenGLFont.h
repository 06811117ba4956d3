// The bitmap font: 96 glyphs cut from a BMP picture, drawn as textured quads.
#pragma once
#include <cstdint>

#include "platform/gl.h"

class OpenGLFont {
public:
    OpenGLFont();
    virtual ~OpenGLFont();

    // Stores the wrap width and loads the glyphs from `file`; true on success.
    bool Init(const char* file, int screenWidth);
    // Sets the right edge used for line wrapping.
    void SetScreenWidth(short w) { ScreenWidth = w; }

private:
    int16_t GlyphWidth;
    int16_t GlyphHeight;
    int16_t ScreenWidth;
    GLuint GlyphTexture[128];
};
