// Makes the demo's pictures and sound: demoback.bmp (640 x 480), demoship.bmp and
// demoball.bmp (sprites keyed on the colour LOADSPRITE leaves out) and demobeep.wav
// (a short falling tone). The build runs it into the demo's folder; cross builds copy
// the committed files in assets/demo/ instead.
//   make_demo_assets <folder>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/make_bmp.h"

namespace {

using vxtools::Rgb;

constexpr int kShipSize = 32;
constexpr int kBallSize = 16;
// The colour LOADSPRITE leaves out.
constexpr Rgb kClear = {255, 0, 128};

using vxtools::Append16;
using vxtools::Append32;

void PutTag(std::vector<uint8_t>& out, const char* tag) {
    for (int i = 0; i < 4; ++i) out.push_back((uint8_t)tag[i]);
}

// Night blue, a lighter grid every 80 pixels, a band of horizon.
Rgb Background(int x, int y) {
    if (x % 80 == 0 || y % 80 == 0) return Rgb{40, 64, 160};
    if (y >= 440) return Rgb{24, 96, 48};
    return Rgb{16, 32, 96};
}

// A yellow arrow pointing up, with a red window.
Rgb Ship(int x, int y) {
    int half = y / 2;  // widens downwards
    if (x < 16 - half || x >= 16 + half || y >= 30) return kClear;
    if (y >= 14 && y < 20 && x >= 13 && x < 19) return Rgb{200, 0, 0};
    return Rgb{255, 220, 0};
}

Rgb Ball(int x, int y) {
    int dx = 2 * x - 15, dy = 2 * y - 15;
    return dx * dx + dy * dy <= 15 * 15 ? Rgb{0, 230, 230} : kClear;
}

// A sixth of a second falling from 1200 Hz to 900 Hz and fading, 16-bit mono.
std::vector<uint8_t> Beep() {
    const int rate = 22050, frames = rate / 6;
    std::vector<uint8_t> out;
    PutTag(out, "RIFF");
    Append32(out, 36 + frames * 2);
    PutTag(out, "WAVE");
    PutTag(out, "fmt ");
    Append32(out, 16);
    Append16(out, 1);
    Append16(out, 1);
    Append32(out, rate);
    Append32(out, rate * 2);
    Append16(out, 2);
    Append16(out, 16);
    PutTag(out, "data");
    Append32(out, frames * 2);
    double phase = 0;
    for (int i = 0; i < frames; ++i) {
        double t = (double)i / frames;
        phase += 2 * 3.14159265358979 * (1200 - 600 * t) / rate;
        Append16(out, (uint16_t)(int16_t)(12000 * (1 - t) * std::sin(phase)));
    }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_demo_assets <folder>\n");
        return 2;
    }
    const std::string folder = std::string(argv[1]) + "/";
    vxtools::BmpOptions bmp;
    bmp.writeSizeImage = false;
    bool ok =
        vxtools::WriteFile(folder + "demoback.bmp", vxtools::MakeBmp(640, 480, Background, bmp));
    ok = vxtools::WriteFile(folder + "demoship.bmp",
                            vxtools::MakeBmp(kShipSize, kShipSize, Ship, bmp)) &&
         ok;
    ok = vxtools::WriteFile(folder + "demoball.bmp",
                            vxtools::MakeBmp(kBallSize, kBallSize, Ball, bmp)) &&
         ok;
    ok = vxtools::WriteFile(folder + "demobeep.wav", Beep()) && ok;
    if (!ok) {
        std::fprintf(stderr, "make_demo_assets: cannot write into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
