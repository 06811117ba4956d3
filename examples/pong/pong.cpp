// Pong on the Vamex runtime, for two players. The left paddle moves with A and Z, the
// right one with the arrow keys or the first joystick. The ball bounces off the walls
// and the paddles (a beep on each paddle hit); a ball that gets past a paddle is a
// point for the other side. F12 keeps a picture in pong.bmp, Escape ends the game.
// The table, the sprites and the beep are made into the working folder on the first run.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "vamex.h"

// Key codes.
enum : int { kA = 30, kZ = 44, kF12 = 88, kUp = 200, kDown = 208 };

constexpr int kWidth = 640, kHeight = 480;
constexpr int kPadW = 12, kPadH = 64, kBall = 12;
constexpr int kLeftX = 24, kRightX = kWidth - 24 - kPadW;
constexpr int kPadSpeed = 6, kBallSpeed = 5;

VXStr help_Str;

int leftY = (kHeight - kPadH) / 2, rightY = (kHeight - kPadH) / 2;
int ballX, ballY, ballDX, ballDY;
int leftScore, rightScore;
int jx, jy, jb1, jb2, hit;
bool shotHeld;

namespace {

struct Rgb {
    uint8_t r, g, b;
};

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

void WriteWhole(const char* file, const std::vector<uint8_t>& bytes) {
    if (FILE* f = std::fopen(file, "wb")) {
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
}

// A 24-bit BMP of w x h pixels, colour(x, y) with y downwards, unless it exists.
template <typename Colour>
void MakeBmp(const char* file, int w, int h, Colour colour) {
    if (Exists(file)) return;
    const uint32_t rowBytes = ((uint32_t)w * 3 + 3) & ~3u;
    std::vector<uint8_t> out = {'B', 'M'};
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
            out.insert(out.end(), {c.b, c.g, c.r});
        }
        out.resize(out.size() + rowBytes - (uint32_t)w * 3);
    }
    WriteWhole(file, out);
}

// A short knock, 16-bit mono, unless it exists.
void MakeBeep(const char* file) {
    if (Exists(file)) return;
    const int rate = 22050, frames = rate / 20;
    std::vector<uint8_t> out = {'R', 'I', 'F', 'F'};
    Put32(out, 36 + frames * 2);
    out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    Put32(out, 16);
    Put16(out, 1);  // PCM
    Put16(out, 1);  // mono
    Put32(out, rate);
    Put32(out, rate * 2);
    Put16(out, 2);
    Put16(out, 16);
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    Put32(out, frames * 2);
    for (int i = 0; i < frames; ++i) {
        double fade = 1.0 - (double)i / frames;
        Put16(out, (uint16_t)(int16_t)(10000 * fade * std::sin(2 * M_PI * 880 * i / rate)));
    }
    WriteWhole(file, out);
}

constexpr Rgb kClear = {255, 0, 128};  // left out by LOADSPRITE

void MakeAssets() {
    // A green table with a dashed line down the middle.
    MakeBmp("pongtable.bmp", kWidth, kHeight, [](int x, int y) {
        if (x >= 318 && x < 322 && y % 32 < 16) return Rgb{200, 200, 200};
        return Rgb{16, 96, 48};
    });
    MakeBmp("pongleft.bmp", kPadW, kPadH, [](int, int) { return Rgb{255, 160, 0}; });
    MakeBmp("pongright.bmp", kPadW, kPadH, [](int, int) { return Rgb{0, 200, 255}; });
    MakeBmp("pongball.bmp", kBall, kBall, [](int x, int y) {
        int dx = 2 * x - 11, dy = 2 * y - 11;
        return dx * dx + dy * dy <= 12 * 12 ? Rgb{255, 64, 64} : kClear;
    });
    MakeBeep("pongbeep.wav");
}

int Clamp(int v, int low, int high) {
    return v < low ? low : v > high ? high : v;
}

// The ball from the middle, towards the side that `direction` names (-1 left, 1 right).
void Serve(int direction) {
    ballX = (kWidth - kBall) / 2;
    ballY = (kHeight - kBall) / 2;
    ballDX = kBallSpeed * direction;
    ballDY = 3;
}

// Turns the ball back off the paddle at (x, y); where it meets the paddle sets its slope.
void Bounce(int x, int y, int direction) {
    BOXCOLL(hit, ballX, ballY, kBall, kBall, x, y, kPadW, kPadH);
    if (!hit || ballDX * direction < 0) return;
    ballDX = -ballDX;
    ballDY = (ballY + kBall / 2 - (y + kPadH / 2)) / 6;
    PLAYSOUND(0, direction * 80);  // heard on the paddle's side
}

}  // namespace

int GlobalInit(OpenGLLumeris& renderer, HWND window) {
    _VX_RESX = kWidth;
    _VX_RESY = kHeight;
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
    LOADBMP("pongtable.bmp");
    LOADSPRITE("pongleft.bmp", 0);
    LOADSPRITE("pongright.bmp", 1);
    LOADSPRITE("pongball.bmp", 2);
    LOADSOUND("pongbeep.wav", 0, 2);
    help_Str = "A Z    ESC ENDS    UP DOWN";
    Serve(1);

    for (;;) {
        if (KEY(kA)) leftY -= kPadSpeed;
        if (KEY(kZ)) leftY += kPadSpeed;
        JOYSTATE(jx, jy, jb1, jb2);
        if (KEY(kUp)) jy = -1;
        if (KEY(kDown)) jy = 1;
        rightY += jy * kPadSpeed;
        leftY = Clamp(leftY, 0, kHeight - kPadH);
        rightY = Clamp(rightY, 0, kHeight - kPadH);

        ballX += ballDX;
        ballY += ballDY;
        if (ballY < 0 || ballY > kHeight - kBall) {
            ballY = Clamp(ballY, 0, kHeight - kBall);
            ballDY = -ballDY;
        }
        Bounce(kLeftX, leftY, -1);
        Bounce(kRightX, rightY, 1);
        if (ballX < -kBall) {
            ++rightScore;
            Serve(-1);
        } else if (ballX > kWidth) {
            ++leftScore;
            Serve(1);
        }

        SPRITE(0, kLeftX, leftY, 0);
        SPRITE(1, kRightX, rightY, 0);
        SPRITE(2, ballX, ballY, 0);
        PRINT(leftScore, 256, 16);
        PRINT(rightScore, 368, 16);
        PRINT(help_Str, 112, 456);
        // The picture is taken of the frame as drawn so far.
        bool shot = KEY(kF12) != 0;
        if (shot && !shotHeld) SAVEBMP("pong.bmp");
        shotHeld = shot;
        SHOWSCREEN();
    }
}
