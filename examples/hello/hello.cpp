// Hello on the Vamex runtime: a line of text and a sprite, then a wait for a key.
// F12 keeps a picture of the screen in hello.bmp; any other key ends the program.
// The sprite's picture is made into the working folder on the first run.
#include <cstdint>
#include <cstdio>
#include <vector>

#include "vamex.h"

enum : int { kF12 = 88 };

VXStr greeting_Str;
VXStr face_Str;

namespace {

void Put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back((uint8_t)(v >> (8 * i)));
}

// A 32 x 32 24-bit BMP of a yellow face; magenta-pink (255, 0, 128) is left out by
// LOADSPRITE, so the corners stay clear.
void MakeFace(const char* file) {
    if (FILE* f = std::fopen(file, "rb")) {
        std::fclose(f);
        return;
    }
    const int size = 32;
    std::vector<uint8_t> out = {'B', 'M'};
    Put32(out, 54 + size * size * 3);
    Put32(out, 0);
    Put32(out, 54);
    Put32(out, 40);
    Put32(out, size);
    Put32(out, size);
    Put32(out, 1 | 24 << 16);  // one plane, 24 bits
    for (int i = 0; i < 6; ++i) Put32(out, 0);
    for (int y = size - 1; y >= 0; --y) {  // bottom row first
        for (int x = 0; x < size; ++x) {
            int dx = 2 * x - 31, dy = 2 * y - 31;
            bool face = dx * dx + dy * dy <= 31 * 31;
            bool eye = y >= 9 && y < 14 && (x == 10 || x == 11 || x == 20 || x == 21);
            bool mouth = (y == 22 && x >= 12 && x < 20) ||
                         (y == 21 && (x == 10 || x == 11 || x == 20 || x == 21));
            uint8_t r = 255, g = 0, b = 128;
            if (face) r = 255, g = 220, b = 0;
            if (face && (eye || mouth)) r = 0, g = 0, b = 0;
            out.insert(out.end(), {b, g, r});
        }
    }
    if (FILE* f = std::fopen(file, "wb")) {
        std::fwrite(out.data(), 1, out.size(), f);
        std::fclose(f);
    }
}

void Draw() {
    PRINT(greeting_Str, 192, 200);
    PRINT("PRESS A KEY", 232, 280);
    SPRITE(0, 304, 120, 0);
}

}  // namespace

int GlobalInit(OpenGLLumeris& renderer, HWND window) {
    _VX_RESX = 640;
    _VX_RESY = 480;
    _VX_FULLSCREEN = 0;
    _VX_FRAMERATE = 10;
    _VX_DEBUG = 0;
    renderer.Init(window, _VX_RESX, _VX_RESY, 16, (unsigned short)_VX_FRAMERATE);
    if (_VX_FULLSCREEN)
        renderer.DoFullscreen();
    else
        renderer.DoWindowed();
    _g_my = 100;
    _g_mx = 100;
    _g_errorline = 0;
    _g_error = 0;
    _g_debugline = 0;
    SHOWSCREEN();
    return 0;
}

int MainGameSub() {
    greeting_Str = "HELLO FROM VAMEX";
    face_Str = "hello_face.bmp";
    MakeFace("hello_face.bmp");
    LOADSPRITE(face_Str, 0);
    Draw();
    SHOWSCREEN();
    for (;;) {
        KEYWAIT();
        if (!KEY(kF12)) return 0;
        // SAVEBMP keeps the frame drawn so far, so draw it once more first.
        Draw();
        SAVEBMP("hello.bmp");
        do {
            Draw();
            SHOWSCREEN();
        } while (KEY(kF12));
    }
}
