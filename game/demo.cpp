// A small interactive program on the runtime: asks for a name, then flies a ship over
// a background with the arrow keys or a joystick, marks the mouse's clicks, beeps on
// Space and keeps a picture of the screen on F12. Escape ends it. Its pictures and
// sound are made into the working folder on the first run.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "vamex.h"

// Key codes.
enum : int {
    kEscape = 1,
    kSpace = 57,
    kF12 = 88,
    kUp = 200,
    kLeft = 203,
    kRight = 205,
    kDown = 208
};

constexpr int kShipSize = 32;
constexpr int kBallSize = 16;
constexpr int kMarks = 8;
constexpr int kSpeed = 4;

VXStr name_Str;
VXStr greet_Str;
VXIntArray marks_Ary;  // [mark][0 x, 1 y]

int shipx = 304, shipy = 400;
int mx, my, mb1, mb2;
int jx, jy, jb1, jb2;
int beeps, markCount, markNext;
bool beepHeld, clickHeld, shotHeld;

namespace {

// --- The program's pictures and sound, made when missing. ---

void Put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back((uint8_t)v);
    out.push_back((uint8_t)(v >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

bool Exists(const char* file) {
    FILE* f = std::fopen(file, "rb");
    if (f) std::fclose(f);
    return f != nullptr;
}

bool WriteWhole(const char* file, const std::vector<uint8_t>& bytes) {
    FILE* f = std::fopen(file, "wb");
    if (!f) return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

struct Rgb {
    uint8_t r, g, b;
};

// A 24-bit BMP of w x h pixels, colour(x, y) with y downwards from the top.
template <typename Colour>
void WriteBmp(const char* file, int w, int h, Colour colour) {
    const uint32_t rowBytes = ((uint32_t)w * 3 + 3) & ~3u;
    std::vector<uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    Put32(out, 54 + rowBytes * h);
    Put32(out, 0);
    Put32(out, 54);
    Put32(out, 40);
    Put32(out, (uint32_t)w);
    Put32(out, (uint32_t)h);
    Put16(out, 1);
    Put16(out, 24);
    for (int i = 0; i < 6; ++i) Put32(out, 0);
    for (int y = h - 1; y >= 0; --y) {  // bottom row first
        for (int x = 0; x < w; ++x) {
            Rgb c = colour(x, y);
            out.push_back(c.b);
            out.push_back(c.g);
            out.push_back(c.r);
        }
        while (out.size() % 4 != 54 % 4) out.push_back(0);
    }
    WriteWhole(file, out);
}

// A short falling tone, 16-bit mono.
void WriteBeep(const char* file) {
    const int rate = 22050, frames = rate / 6;
    std::vector<uint8_t> out;
    out.insert(out.end(), {'R', 'I', 'F', 'F'});
    Put32(out, 36 + frames * 2);
    out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    Put32(out, 16);
    Put16(out, 1);
    Put16(out, 1);
    Put32(out, rate);
    Put32(out, rate * 2);
    Put16(out, 2);
    Put16(out, 16);
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    Put32(out, frames * 2);
    double phase = 0;
    for (int i = 0; i < frames; ++i) {
        double t = (double)i / frames;
        phase += 2 * 3.14159265358979 * (1200 - 600 * t) / rate;
        Put16(out, (uint16_t)(int16_t)(12000 * (1 - t) * std::sin(phase)));
    }
    WriteWhole(file, out);
}

// The colour LOADSPRITE leaves out.
constexpr Rgb kClear = {255, 0, 128};

void MakeAssets() {
    if (!Exists("demoback.bmp")) {
        // Night blue, a lighter grid every 80 pixels, a band of horizon.
        WriteBmp("demoback.bmp", 640, 480, [](int x, int y) {
            if (x % 80 == 0 || y % 80 == 0) return Rgb{40, 64, 160};
            if (y >= 440) return Rgb{24, 96, 48};
            return Rgb{16, 32, 96};
        });
    }
    if (!Exists("demoship.bmp")) {
        // A yellow arrow pointing up, with a red window.
        WriteBmp("demoship.bmp", kShipSize, kShipSize, [](int x, int y) {
            int half = y / 2;  // widens downwards
            if (x < 16 - half || x >= 16 + half || y >= 30) return kClear;
            if (y >= 14 && y < 20 && x >= 13 && x < 19) return Rgb{200, 0, 0};
            return Rgb{255, 220, 0};
        });
    }
    if (!Exists("demoball.bmp")) {
        WriteBmp("demoball.bmp", kBallSize, kBallSize, [](int x, int y) {
            int dx = 2 * x - 15, dy = 2 * y - 15;
            return dx * dx + dy * dy <= 15 * 15 ? Rgb{0, 230, 230} : kClear;
        });
    }
    if (!Exists("demobeep.wav")) WriteBeep("demobeep.wav");
}

int Clamp(int v, int low, int high) {
    return v < low ? low : v > high ? high : v;
}

// True on the frame a held control goes down.
bool Pressed(bool down, bool& held) {
    bool now = down && !held;
    held = down;
    return now;
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
    MakeAssets();
    LOADBMP("demoback.bmp");
    LOADSPRITE("demoship.bmp", 0);
    LOADSPRITE("demoball.bmp", 1);
    LOADSOUND("demobeep.wav", 0, 4);
    ARY(marks_Ary, 2, kMarks, 2, 0, 0, 0, 0, 0, 0);

    PRINT("VAMEX DEMO", 240, 160);
    PRINT("CLICK TO START", 208, 224);
    SHOWSCREEN();
    if (MOUSEWAIT() == 10) _EndProgram();  // Escape

    PRINT("WHAT IS YOUR NAME?", 176, 200);
    INPUT(name_Str, 176, 232);  // Escape ends it too, and the next frame ends the program
    if (name_Str.Compare("") == 0) name_Str = "PILOT";
    greet_Str = "HELLO ";
    greet_Str += name_Str;

    for (;;) {
        if (KEY(kLeft)) shipx -= kSpeed;
        if (KEY(kRight)) shipx += kSpeed;
        if (KEY(kUp)) shipy -= kSpeed;
        if (KEY(kDown)) shipy += kSpeed;
        JOYSTATE(jx, jy, jb1, jb2);
        shipx = Clamp(shipx + jx * kSpeed, 0, _VX_RESX - kShipSize);
        shipy = Clamp(shipy + jy * kSpeed, 0, _VX_RESY - kShipSize);

        MOUSESTATE(mx, my, mb1, mb2);
        if (Pressed(mb1 != 0, clickHeld)) {
            PUTARR(mx, 2, marks_Ary, markNext, 0, 0, 0, 0, 0, 0, 0);
            PUTARR(my, 2, marks_Ary, markNext, 1, 0, 0, 0, 0, 0, 0);
            markNext = (markNext + 1) % kMarks;
            if (markCount < kMarks) ++markCount;
        }
        if (Pressed(KEY(kSpace) || jb1, beepHeld)) {
            // Panned after the ship: left edge -100, right edge 100.
            PLAYSOUND(0, (shipx + kShipSize / 2) * 200 / _VX_RESX - 100);
            ++beeps;
        }

        for (int i = 0; i < markCount; ++i) {
            int x = 0, y = 0;
            GETARR(x, 2, marks_Ary, i, 0, 0, 0, 0, 0, 0, 0);
            GETARR(y, 2, marks_Ary, i, 1, 0, 0, 0, 0, 0, 0);
            SPRITE(1, x - kBallSize / 2, y - kBallSize / 2, 0);
        }
        SPRITE(0, shipx, shipy, 0);
        SPRITE(1, mx - kBallSize / 2, my - kBallSize / 2, 50);  // the pointer, see-through
        PRINT(greet_Str, 8, 8);
        PRINT("BEEPS", 8, 28);
        PRINT(beeps, 104, 28);
        PRINT("ARROWS/STICK MOVE  SPACE BEEP", 8, 432);
        PRINT("CLICK MARK  F12 PICTURE  ESC", 8, 452);
        // The picture is taken of the frame as drawn so far.
        if (Pressed(KEY(kF12) != 0, shotHeld)) SAVEBMP("demoshot.bmp");
        SHOWSCREEN();
    }
}
