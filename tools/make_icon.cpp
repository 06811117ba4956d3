// Makes the programs' icon "vamex.ico": a yellow V over a small ship's trail on a
// dark blue rounded square, drawn at 16, 32 and 48 pixels as 32-bit images with
// alpha (edges smoothed by coverage), the sizes Explorer asks for.
//   make_icon <out.ico>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "tools/make_bmp.h"

namespace {

using vxtools::Append16;
using vxtools::Append32;

// Distance from p to the segment a-b.
float Segment(float px, float py, float ax, float ay, float bx, float by) {
    float dx = bx - ax, dy = by - ay;
    float t = std::clamp(((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy), 0.0f, 1.0f);
    return std::hypot(px - ax - t * dx, py - ay - t * dy);
}

// Signed distance to a square of half-side 0.46 with corners rounded by 0.12, in the
// unit picture (-0.5 to 0.5 each way); negative inside.
float RoundedSquare(float x, float y) {
    float r = 0.12f, qx = std::fabs(x) - 0.46f + r, qy = std::fabs(y) - 0.46f + r;
    return std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f)) + std::min(std::max(qx, qy), 0.0f) -
           r;
}

struct Colour {
    float r, g, b, a;
};

// Paints `top` over `under` with coverage `c` (0 to 1).
Colour Over(Colour under, Colour top, float c) {
    float a = top.a * c, out = a + under.a * (1 - a);
    if (out <= 0) return {0, 0, 0, 0};
    auto mix = [&](float t, float u) { return (t * a + u * under.a * (1 - a)) / out; };
    return {mix(top.r, under.r), mix(top.g, under.g), mix(top.b, under.b), out};
}

// The icon's colour at (x, y) in the unit picture; `pixel` is one pixel's width there.
Colour Paint(float x, float y, float pixel) {
    auto cover = [pixel](float distance) {
        return std::clamp(0.5f - distance / pixel, 0.0f, 1.0f);
    };
    Colour c{0, 0, 0, 0};
    c = Over(c, {0.10f, 0.16f, 0.42f, 1}, cover(RoundedSquare(x, y)));
    // The trail: two thin light lines under the V.
    float trail = std::min(Segment(x, y, -0.30f, 0.30f, 0.30f, 0.30f),
                           Segment(x, y, -0.18f, 0.38f, 0.18f, 0.38f)) -
                  std::max(0.025f, pixel * 0.5f);
    c = Over(c, {0.55f, 0.75f, 1.0f, 1}, cover(trail) * cover(RoundedSquare(x, y)));
    float v = std::min(Segment(x, y, -0.27f, -0.30f, 0.0f, 0.20f),
                       Segment(x, y, 0.27f, -0.30f, 0.0f, 0.20f)) -
              std::max(0.075f, pixel * 0.75f);
    return Over(c, {1.0f, 0.82f, 0.15f, 1}, cover(v));
}

// One image of the icon: a BITMAPINFOHEADER of twice the height (colour rows, then
// the mask), the pixels bottom row first in BGRA, then an all-clear 1-bit mask.
std::vector<uint8_t> Image(int size) {
    std::vector<uint8_t> out;
    const int maskRow = ((size + 31) / 32) * 4;
    Append32(out, 40);
    Append32(out, (uint32_t)size);
    Append32(out, (uint32_t)size * 2);
    Append16(out, 1);
    Append16(out, 32);
    Append32(out, 0);
    Append32(out, (uint32_t)(size * size * 4 + maskRow * size));
    for (int i = 0; i < 4; ++i) Append32(out, 0);
    // Each pixel is the mean of 4 x 4 samples.
    for (int row = size - 1; row >= 0; --row) {
        for (int col = 0; col < size; ++col) {
            float r = 0, g = 0, b = 0, a = 0;
            for (int s = 0; s < 16; ++s) {
                float x = (col + (s % 4 + 0.5f) / 4) / size - 0.5f;
                float y = (row + (s / 4 + 0.5f) / 4) / size - 0.5f;
                Colour c = Paint(x, y, 1.0f / size);
                r += c.r * c.a, g += c.g * c.a, b += c.b * c.a, a += c.a;
            }
            auto byte = [](float v) {
                return (uint8_t)std::lround(std::clamp(v, 0.0f, 1.0f) * 255);
            };
            out.push_back(a > 0 ? byte(b / a) : 0);
            out.push_back(a > 0 ? byte(g / a) : 0);
            out.push_back(a > 0 ? byte(r / a) : 0);
            out.push_back(byte(a / 16));
        }
    }
    out.insert(out.end(), (size_t)maskRow * size, 0);
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_icon <out.ico>\n");
        return 2;
    }
    const int sizes[] = {16, 32, 48};
    std::vector<std::vector<uint8_t>> images;
    for (int size : sizes) images.push_back(Image(size));
    std::vector<uint8_t> out;
    Append16(out, 0);
    Append16(out, 1);  // an icon, not a cursor
    Append16(out, (uint32_t)images.size());
    uint32_t offset = 6 + 16 * (uint32_t)images.size();
    for (size_t i = 0; i < images.size(); ++i) {
        out.push_back((uint8_t)sizes[i]);
        out.push_back((uint8_t)sizes[i]);
        out.push_back(0);  // no palette
        out.push_back(0);
        Append16(out, 1);
        Append16(out, 32);
        Append32(out, (uint32_t)images[i].size());
        Append32(out, offset);
        offset += (uint32_t)images[i].size();
    }
    for (const auto& image : images) out.insert(out.end(), image.begin(), image.end());
    std::FILE* f = std::fopen(argv[1], "wb");
    if (!f || std::fwrite(out.data(), 1, out.size(), f) != out.size() || std::fclose(f) != 0) {
        std::perror(argv[1]);
        return 1;
    }
    return 0;
}
