// The font's own BMP reader and glyph cut. Every size the file claims is checked
// before it is multiplied or anything is allocated by it.
#include "render/font_picture.h"

#include <cstdio>
#include <string>

#include "base/errors.h"
#include "platform/files.h"
#include "platform/sizes.h"

namespace {

// The smallest font picture the glyph cut takes.
constexpr int32_t kMinWidth = 128;
constexpr int32_t kMinHeight = 64;
// The largest one: glyph textures stay within what any GL takes (1024 x 2048).
constexpr int32_t kMaxSide = 16384;
constexpr size_t kFileHeader = 14;
// An info block must reach at least past biSizeImage.
constexpr uint32_t kMinInfoBlock = 24;

uint32_t Le32(const uint8_t* p) {
    return (uint32_t)p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16 | (uint32_t)p[3] << 24;
}

// Checks the file header and the first kMinInfoBlock bytes of the info block of a
// file of `fileSize` bytes; fills the picture's size and the pixel data's place.
bool CheckHeaders(const uint8_t* head, uint64_t fileSize, FontPicture* out, uint32_t* offBits,
                  uint64_t* sizeImage) {
    if (head[0] != 'B' || head[1] != 'M') return false;
    *offBits = Le32(head + 10);
    if (*offBits < kFileHeader + kMinInfoBlock || *offBits > fileSize) return false;
    const uint8_t* info = head + kFileHeader;
    const int32_t width = (int32_t)Le32(info + 4);
    const int32_t height = (int32_t)Le32(info + 8);
    // A top-down picture (negative height) is refused here too. Bounding the sides
    // first keeps the size below from overflowing.
    if (width < kMinWidth || height < kMinHeight) return false;
    if (width > kMaxSide || height > kMaxSide) return false;
    const uint64_t bitCount = (uint64_t)(info[14] | info[15] << 8);
    *sizeImage = Le32(info + 20);
    if (*sizeImage == 0)
        *sizeImage = (uint64_t)height * ((bitCount * (uint64_t)width + 31) / 32 * 4);
    if (*sizeImage > fileSize - *offBits) return false;  // short pixel data
    // The pixel data is read into one block: more than one may hold is refused.
    if (!platform::BlockBytes(*sizeImage)) return false;
    out->width = width;
    out->height = height;
    return true;
}

// The smallest power of two 2^i (i from 0 to 16) that is at least `side`, else 16.
int32_t PaddedSide(int32_t side) {
    for (int i = 0; i <= 16; ++i)
        if ((1 << i) >= side) return 1 << i;
    return 16;
}

// Closes the file on every way out of the reader.
struct FileCloser {
    std::FILE* f;
    ~FileCloser() {
        if (f) std::fclose(f);
    }
};

}  // namespace

int32_t FontPicture::GlyphWidth() const {
    return PaddedSide(width) / 16;
}

int32_t FontPicture::GlyphHeight() const {
    return PaddedSide(height) / 8;
}

bool ParseFontPicture(const uint8_t* data, size_t size, FontPicture* out) {
    if (!data || size < kFileHeader + kMinInfoBlock) return false;
    FontPicture read;
    uint32_t offBits = 0;
    uint64_t sizeImage = 0;
    if (!CheckHeaders(data, size, &read, &offBits, &sizeImage)) return false;
    read.pixels.assign(data + offBits, data + offBits + sizeImage);
    *out = std::move(read);
    return true;
}

FontRead ReadFontPicture(const char* file, FontPicture* out) {
    std::string path = platform::ResolvePath(file);
    // Only a regular file opens, and never blocks: a folder or pipe cannot be opened.
    FileCloser closer{_OpenDataFile(path)};
    std::FILE* f = closer.f;
    if (!f) return FontRead::CannotOpen;

    uint8_t head[kFileHeader + kMinInfoBlock];
    if (std::fread(head, 1, sizeof head, f) != sizeof head) return FontRead::Bad;
    long fileSize = -1;
    if (std::fseek(f, 0, SEEK_END) == 0) fileSize = std::ftell(f);
    if (fileSize < 0) return FontRead::Bad;
    FontPicture read;
    uint32_t offBits = 0;
    uint64_t sizeImage = 0;
    if (!CheckHeaders(head, (uint64_t)fileSize, &read, &offBits, &sizeImage) ||
        std::fseek(f, (long)offBits, SEEK_SET) != 0)
        return FontRead::Bad;
    read.pixels.resize((size_t)sizeImage);
    if (std::fread(read.pixels.data(), 1, read.pixels.size(), f) != read.pixels.size())
        return FontRead::Bad;
    *out = std::move(read);
    return FontRead::Ok;
}

void CutGlyph(const FontPicture& picture, int code, unsigned long transparent,
              std::vector<uint8_t>* texels) {
    const int32_t width = picture.width;
    const int32_t height = picture.height;
    const int32_t glyphWidth = picture.GlyphWidth();
    const int32_t glyphHeight = picture.GlyphHeight();
    const int32_t cellWidth = width / 16;
    const int32_t cellHeight = height / 8;
    const uint64_t stride = ((uint64_t)width * 3 + 3) & ~(uint64_t)3;
    const uint8_t keyRed = (uint8_t)(transparent & 0xFF);
    const uint8_t keyGreen = (uint8_t)((transparent >> 8) & 0xFF);
    const uint8_t keyBlue = (uint8_t)((transparent >> 16) & 0xFF);

    texels->assign((size_t)glyphWidth * glyphHeight * 4, 0);
    const int32_t x0 = (code % 16) * cellWidth;
    const int32_t y0 = (code / 16) * cellHeight;
    for (int32_t j = 1; j < cellHeight; ++j) {
        // The cell's bottom row is never used; the glyph hangs from its top.
        const int32_t row = y0 + j - 1;
        if (row >= height) continue;
        const uint64_t rowAt = (uint64_t)(height - 1 - row) * stride;
        if (rowAt >= picture.pixels.size()) continue;  // a short file: this row is missing
        for (int32_t i = 0; i <= cellWidth && i < glyphWidth; ++i) {
            const int32_t column = x0 + i;
            if (column >= width) continue;
            const uint64_t at = rowAt + 3 * (uint64_t)column;
            if (at + 3 > picture.pixels.size()) continue;
            const uint8_t* bgr = &picture.pixels[(size_t)at];
            uint8_t* texel = &(*texels)[((size_t)i * glyphHeight + (glyphHeight - j)) * 4];
            texel[0] = bgr[2];
            texel[1] = bgr[1];
            texel[2] = bgr[0];
            bool clear = bgr[2] == keyRed && bgr[1] == keyGreen && bgr[0] == keyBlue;
            texel[3] = clear ? 0 : 255;
        }
    }
}
