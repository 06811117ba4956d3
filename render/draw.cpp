// Sprite drawing: the plain, zoomed and turned quads, their opaque (NC) and
// blended (AB) forms, and the effect draw. Screen y runs down, GL y up, so every
// y is negated on its way to GL; vertices go as 16-bit integers.
#include "render/OpenGLLumeris.h"

namespace {

// One sprite quad wound counter-clockwise in GL terms. The texture is stored
// transposed (s up the picture, t across it), hence the swapped coordinates.
void TexturedQuad(short left, short bottom, short right, short top) {
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex2s(left, bottom);
    glTexCoord2f(0, 1);
    glVertex2s(right, bottom);
    glTexCoord2f(1, 1);
    glVertex2s(right, top);
    glTexCoord2f(1, 0);
    glVertex2s(left, top);
    glEnd();
}

// Blend value above 0: screen + texel x b. Otherwise the multiplying blend,
// texel x |b| + screen x texel x |b|.
void BeginBlend(float blend) {
    glEnable(GL_BLEND);
    if (blend > 0) {
        glBlendFunc(GL_ONE, GL_ONE);
        glColor4f(blend, blend, blend, 1);
    } else {
        glBlendFunc(GL_SRC_ALPHA, GL_SRC_COLOR);
        glColor4f(-blend, -blend, -blend, 1);
    }
}

// The blend function is left as set: the font's tinted print relies on it.
void EndBlend() {
    glDisable(GL_BLEND);
    glColor4f(1, 1, 1, 1);
}

}  // namespace

void OpenGLLumeris::SpriteQuad(short slot, short x, short y) {
    // With the slot's offsets the picture's top-left pixel lands on (x, y).
    short left = (short)(x - spriteOffsetX[slot]);
    short top = (short)(y - spriteOffsetY[slot]);
    glBindTexture(GL_TEXTURE_2D, spriteTexture[slot]);
    TexturedQuad(left, (short)-top, (short)(left + spriteTexWidth[slot]),
                 (short)(-top + spriteTexHeight[slot]));
}

void OpenGLLumeris::ZoomQuad(short slot, short x, short y, short extraWidth, short extraHeight) {
    short left = (short)(x - spriteOffsetX[slot]);
    short top = (short)(y - spriteOffsetY[slot]);
    short sx = (short)((extraWidth + spriteTexWidth[slot]) >> 1);
    short sy = (short)((extraHeight + spriteTexHeight[slot]) >> 1);
    glBindTexture(GL_TEXTURE_2D, spriteTexture[slot]);
    glPushMatrix();
    glTranslatef((float)(left + (spriteTexWidth[slot] >> 1)),
                 (float)(-top + (spriteTexHeight[slot] >> 1)), 0);
    TexturedQuad((short)-sx, (short)-sy, sx, sy);
    glPopMatrix();
}

void OpenGLLumeris::RotoQuad(short slot, short x, short y, float angle, short sx, short sy) {
    // The turn is about the picture's centre, found from its own size, not the offsets.
    glBindTexture(GL_TEXTURE_2D, spriteTexture[slot]);
    glPushMatrix();
    glTranslatef((float)(x + (spriteWidth[slot] >> 1)), (float)(-y - (spriteHeight[slot] >> 1)), 0);
    glRotatef(angle, 0, 0, 1);
    TexturedQuad((short)-sx, (short)-sy, sx, sy);
    glPopMatrix();
}

void OpenGLLumeris::DrawSprite(short slot, short x, short y) {
    if (!Drawable(slot)) return;
    SpriteQuad(slot, x, y);
}

void OpenGLLumeris::ZoomSprite(short slot, short x, short y, short extraWidth, short extraHeight) {
    if (!Drawable(slot)) return;
    ZoomQuad(slot, x, y, extraWidth, extraHeight);
}

void OpenGLLumeris::RotoSprite(short slot, short x, short y, short angle) {
    if (!Drawable(slot)) return;
    RotoQuad(slot, x, y, angle, (short)(spriteTexWidth[slot] >> 1),
             (short)(spriteTexHeight[slot] >> 1));
}

// The NC forms draw the whole texture square opaque, margin and key colour included.
void OpenGLLumeris::DrawSpriteNC(short slot, short x, short y) {
    if (!Drawable(slot)) return;
    glDisable(GL_ALPHA_TEST);
    SpriteQuad(slot, x, y);
    glEnable(GL_ALPHA_TEST);
}

void OpenGLLumeris::ZoomSpriteNC(short slot, short x, short y, short extraWidth,
                                 short extraHeight) {
    if (!Drawable(slot)) return;
    glDisable(GL_ALPHA_TEST);
    ZoomQuad(slot, x, y, extraWidth, extraHeight);
    glEnable(GL_ALPHA_TEST);
}

void OpenGLLumeris::RotoSpriteNC(short slot, short x, short y, short angle) {
    if (!Drawable(slot)) return;
    glDisable(GL_ALPHA_TEST);
    RotoSprite(slot, x, y, angle);
    glEnable(GL_ALPHA_TEST);
}

void OpenGLLumeris::DrawSpriteAB(short slot, short x, short y, float blend) {
    if (!Drawable(slot)) return;
    BeginBlend(blend);
    glPushMatrix();
    SpriteQuad(slot, x, y);
    glPopMatrix();
    EndBlend();
}

void OpenGLLumeris::ZoomSpriteAB(short slot, short x, short y, short extraWidth, short extraHeight,
                                 float blend) {
    if (!Drawable(slot)) return;
    BeginBlend(blend);
    ZoomQuad(slot, x, y, extraWidth, extraHeight);
    EndBlend();
}

void OpenGLLumeris::RotoSpriteAB(short slot, short x, short y, short angle, float blend) {
    if (!Drawable(slot)) return;
    BeginBlend(blend);
    RotoSprite(slot, x, y, angle);
    EndBlend();
}

void OpenGLLumeris::DrawSpriteFX(short slot, short x, short y, OPENGL_SPRITEFX& fx) {
    if (!Drawable(slot)) return;
    float r = 1, g = 1, b = 1;
    if (fx.color != 0) {
        r = (float)(fx.color & 0xFF) / 255;
        g = (float)((fx.color >> 8) & 0xFF) / 255;
        b = (float)((fx.color >> 16) & 0xFF) / 255;
    }
    float alpha = fx.alpha;
    if (alpha == 0.0f) {
        glColor4f(r, g, b, 1);
    } else {
        BeginBlend(alpha);
        float strength = alpha < 0 ? -alpha : alpha;
        glColor4f(strength * r, strength * g, strength * b, 1);
    }
    short sx = fx.width > 0 ? (short)(fx.width >> 1) : (short)(spriteTexWidth[slot] >> 1);
    short sy = fx.height > 0 ? (short)(fx.height >> 1) : (short)(spriteTexHeight[slot] >> 1);
    RotoQuad(slot, x, y, fx.angle, sx, sy);
    EndBlend();
}
