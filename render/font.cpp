// The bitmap font.
#include "render/OpenGLFont.h"

#include <cstring>

OpenGLFont::OpenGLFont() : GlyphWidth(0), GlyphHeight(0), ScreenWidth(0) {
    std::memset(GlyphTexture, 0, sizeof GlyphTexture);
}

OpenGLFont::~OpenGLFont() {}

bool OpenGLFont::Init(const char*, int screenWidth) {
    ScreenWidth = (int16_t)screenWidth;
    return false;  // the glyph loader arrives with the font
}
