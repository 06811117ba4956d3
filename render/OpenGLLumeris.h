// The 2D renderer: display and frame flip, sprite and surface images, sprite and
// line drawing, particles. One instance, `lumeris`, lives for the whole process.
#pragma once
#include <cstdint>

#include "platform/gl.h"
#include "platform/types.h"

// Sine and cosine of whole degrees, filled by the renderer's constructor.
extern float qsin[360];
extern float qcos[360];

// One full-screen picture stored as a grid of square tile textures.
struct OPENGL_SURFACE {
    GLuint tileTexture[64][64];  // [column][row]
    uint16_t tileWidth[64][64];
    uint16_t tileHeight[64][64];
    uint8_t columns;
    uint8_t rows;
};

// Per-draw effect record of DrawSpriteFX.
struct OPENGL_SPRITEFX {
    float alpha;          // 0 opaque, > 0 additive, < 0 multiplying
    float angle;          // degrees, counter-clockwise on screen
    short width;          // full quad width; 0 or below = texture width
    short height;         // full quad height; 0 or below = texture height
    unsigned long color;  // 0x00BBGGRR tint; 0 = none
};

// Emission record of Particles, and the layout of each pool entry.
struct OPENGL_PARTICLE {
    int count;
    int reserved;
    float life;
    float vx, vy;
    float ax, ay;
    float dampx, dampy;
    float x, y;
    float r, g, b;
};

class OpenGLLumeris {
public:
    static constexpr int kSprites = 255;
    static constexpr int kSurfaces = 15;
    static constexpr int kParticles = 1024;

    OpenGLLumeris();
    virtual ~OpenGLLumeris();

    // Display, context and frame flip.
    int Init(HWND window, int width, int height, int bits, unsigned short frameTime);
    bool DoFullscreen();
    bool DoWindowed();
    bool HideWindow();
    void SetupRC();
    void SetDCPixelFormat(HDC dc);
    HPALETTE GetOpenGLPalette(HDC dc);
    void ResizeAuto();
    void ChangeSize(int width, int height);
    unsigned short FlipScreens();
    unsigned short ConstFlip() { return flipRate; }
    bool IsActive() { return active; }
    // Deletes every texture and then the GL context, while the GL library is still
    // whole; the program's end calls it before the process's exit handlers run, after
    // which the destructor makes no GL call. The renderer is inactive afterwards.
    void ReleaseContext();

    // Images.
    int LoadSprite(unsigned slot, const char* fileName, unsigned long colourKey);
    bool LoadSurface(unsigned surface, const char* fileName, bool grey);
    void GrabSurface(int surface);
    void FreeSprite(int slot);
    void FreeSurface(int surface);
    void FreeAll();

    // Drawing.
    void DrawSprite(short slot, short x, short y);
    void ZoomSprite(short slot, short x, short y, short extraWidth, short extraHeight);
    void RotoSprite(short slot, short x, short y, short angle);
    void DrawSpriteNC(short slot, short x, short y);
    void ZoomSpriteNC(short slot, short x, short y, short extraWidth, short extraHeight);
    void RotoSpriteNC(short slot, short x, short y, short angle);
    void DrawSpriteAB(short slot, short x, short y, float blend);
    void ZoomSpriteAB(short slot, short x, short y, short extraWidth, short extraHeight,
                      float blend);
    void RotoSpriteAB(short slot, short x, short y, short angle, float blend);
    void DrawSpriteFX(short slot, short x, short y, OPENGL_SPRITEFX& fx);
    void PasteSurface(unsigned surface, short x, short y);
    void BlendToSurface(int fromSurface, int toSurface);
    void DrawLine(short x1, short y1, short x2, short y2, unsigned long colour);

    // Particles.
    void Particles(OPENGL_PARTICLE& record, unsigned long colour);
    void DrawParticles();

    // Read-only views for commands and tests.
    int Width() const { return width; }
    int Height() const { return height; }
    int Bits() const { return bits; }
    bool Fullscreen() const { return fullscreen; }
    HWND Window() const { return window; }
    unsigned short FrameTime() const { return frameTime; }
    unsigned short Elapsed() const { return elapsed; }
    uint16_t SpriteTexWidth(int slot) const { return ValidSprite(slot) ? spriteTexWidth[slot] : 0; }
    uint16_t SpriteTexHeight(int slot) const {
        return ValidSprite(slot) ? spriteTexHeight[slot] : 0;
    }
    uint16_t SpriteWidth(int slot) const { return ValidSprite(slot) ? spriteWidth[slot] : 0; }
    uint16_t SpriteHeight(int slot) const { return ValidSprite(slot) ? spriteHeight[slot] : 0; }
    GLuint SpriteTexture(int slot) const { return ValidSprite(slot) ? spriteTexture[slot] : 0; }
    const OPENGL_SURFACE* Surface(int surface) const {
        return ValidSurface(surface) ? &surfaces[surface] : nullptr;
    }
    const OPENGL_PARTICLE& Particle(int i) const { return particles[i & (kParticles - 1)]; }
    int NextParticle() const { return nextParticle; }

    static bool ValidSprite(long slot) { return slot >= 0 && slot < kSprites; }
    static bool ValidSurface(long surface) { return surface >= 0 && surface < kSurfaces; }

private:
    // The quads of the sprite family, for a slot already checked: natural size,
    // zoomed about the texture's centre, turned about the picture's centre.
    void SpriteQuad(short slot, short x, short y);
    void ZoomQuad(short slot, short x, short y, short extraWidth, short extraHeight);
    void RotoQuad(short slot, short x, short y, float angle, short sx, short sy);
    // A slot in the table that holds a texture: anything else draws nothing.
    bool Drawable(long slot) const { return ValidSprite(slot) && spriteTexture[slot] != 0; }

    HPALETTE hPalette;
    uint16_t spriteTexWidth[kSprites];
    uint16_t spriteTexHeight[kSprites];
    uint16_t spriteWidth[kSprites];
    uint16_t spriteHeight[kSprites];
    int16_t spriteOffsetX[kSprites];
    int16_t spriteOffsetY[kSprites];
    HWND window;
    int width;
    int height;
    int bits;
    bool fullscreen;
    OPENGL_SURFACE surfaces[kSurfaces];
    bool active;
    HGLRC hRC;
    GLuint spriteTexture[kSprites];
    uint32_t lastFlipTime;
    uint16_t frameTime;
    uint16_t elapsed;
    uint16_t flipRate;
    OPENGL_PARTICLE particles[kParticles];
    int nextParticle;
};
