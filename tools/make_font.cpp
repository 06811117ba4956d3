// Makes the font picture "SMALFONT.BMP" from a BDF glyph file: a 256 x 128,
// 24-bit, bottom-up BMP of 16 x 8 cells of 16 x 16 pixels, white glyphs on black
// (black is the font's transparent colour). Codes 32 to 127 are drawn.
//   make_font <glyphs.bdf> <out.bmp>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int kCell = 16;
constexpr int kWidth = 16 * kCell;
constexpr int kHeight = 8 * kCell;
// The glyph cut uses the top 15 rows of a cell; the last row stays black.
constexpr int kUsableRows = kCell - 1;

struct Picture {
    std::vector<uint8_t> rgb = std::vector<uint8_t>((size_t)kWidth * kHeight * 3, 0);
    void Set(int x, int y) {
        uint8_t* p = &rgb[((size_t)y * kWidth + x) * 3];
        p[0] = p[1] = p[2] = 255;
    }
};

bool Fail(const std::string& why) {
    std::fprintf(stderr, "make_font: %s\n", why.c_str());
    return false;
}

// Draws every glyph of codes 32 to 127 in the BDF text into its cell. Glyphs are
// centred across the cell and hang from its top row by the font's ascent.
bool DrawGlyphs(std::istream& in, Picture& picture) {
    int boxWidth = 0, boxHeight = 0, ascent = -1;
    int code = -1, w = 0, h = 0, xoff = 0, yoff = 0;
    int drawn = 0;
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string key;
        words >> key;
        if (key == "FONTBOUNDINGBOX") {
            words >> boxWidth >> boxHeight;
        } else if (key == "FONT_ASCENT") {
            words >> ascent;
        } else if (key == "ENCODING") {
            words >> code;
        } else if (key == "BBX") {
            words >> w >> h >> xoff >> yoff;
        } else if (key == "BITMAP") {
            if (ascent < 0 || boxWidth <= 0) return Fail("no FONT_ASCENT or FONTBOUNDINGBOX");
            if (boxWidth > kCell || boxHeight > kUsableRows)
                return Fail("glyphs larger than 16 x 15 do not fit a cell");
            const int left = (kCell - boxWidth) / 2;
            const int top = ascent - (yoff + h);
            for (int row = 0; row < h; ++row) {
                if (!std::getline(in, line)) return Fail("bitmap cut short");
                if (code < 32 || code > 127) continue;
                unsigned long bits = std::strtoul(line.c_str(), nullptr, 16);
                const int hexBits = (int)line.size() * 4;
                for (int col = 0; col < w; ++col) {
                    if (!((bits >> (hexBits - 1 - col)) & 1)) continue;
                    int x = left + xoff + col, y = top + row;
                    if (x < 0 || x >= kCell || y < 0 || y >= kUsableRows)
                        return Fail("glyph " + std::to_string(code) + " leaves its cell");
                    picture.Set((code % 16) * kCell + x, (code / 16) * kCell + y);
                }
            }
            if (code >= 32 && code <= 127) ++drawn;
            code = -1;
        }
    }
    if (drawn != 96)
        return Fail("expected 96 glyphs for codes 32 to 127, got " + std::to_string(drawn));
    return true;
}

void Put16(std::string& out, uint32_t v) {
    out += (char)(v & 0xFF);
    out += (char)((v >> 8) & 0xFF);
}

void Put32(std::string& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

// An uncompressed 24-bit BMP with a 40-byte info header, rows bottom-up.
std::string EncodeBmp(const Picture& picture) {
    const uint32_t stride = (kWidth * 3 + 3) & ~3u;
    const uint32_t size = stride * kHeight;
    std::string out;
    out += "BM";
    Put32(out, 54 + size);
    Put32(out, 0);
    Put32(out, 54);
    Put32(out, 40);
    Put32(out, kWidth);
    Put32(out, kHeight);
    Put16(out, 1);
    Put16(out, 24);
    Put32(out, 0);
    Put32(out, size);
    Put32(out, 2835);  // 72 dpi
    Put32(out, 2835);
    Put32(out, 0);
    Put32(out, 0);
    for (int y = kHeight - 1; y >= 0; --y) {
        for (int x = 0; x < kWidth; ++x) {
            const uint8_t* p = &picture.rgb[((size_t)y * kWidth + x) * 3];
            out += (char)p[2];
            out += (char)p[1];
            out += (char)p[0];
        }
        out.append(stride - kWidth * 3, '\0');
    }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_font <glyphs.bdf> <out.bmp>\n");
        return 2;
    }
    std::ifstream in(argv[1]);
    if (!in) {
        std::fprintf(stderr, "make_font: cannot read %s\n", argv[1]);
        return 1;
    }
    Picture picture;
    if (!DrawGlyphs(in, picture)) return 1;
    // Written beside the target first, so a failed write never leaves half a picture.
    std::string bmp = EncodeBmp(picture);
    std::string temp = std::string(argv[2]) + ".tmp";
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    out.write(bmp.data(), (std::streamsize)bmp.size());
    out.close();
    if (!out || std::rename(temp.c_str(), argv[2]) != 0) {
        std::remove(temp.c_str());
        std::fprintf(stderr, "make_font: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
