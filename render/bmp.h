// The BMP pictures the renderer reads: uncompressed 24-bit, rows bottom first.
// The reader trusts nothing in the headers: every size is checked against the
// data before a byte of pixels is touched.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// A picture as read: rows in stored order, bottom row first, each row padded as in the file.
struct BmpPicture {
    int width = 0;
    int height = 0;
    size_t rowBytes = 0;          // 3 x width + width mod 4
    std::vector<uint8_t> pixels;  // height x rowBytes bytes, blue-green-red per pixel

    // The three bytes (blue, green, red) of picture column `column` in stored row `row`
    // (row 0 is the bottom one). Both must lie inside the picture.
    const uint8_t* Pixel(int column, int row) const {
        return &pixels[(size_t)row * rowBytes + (size_t)column * 3];
    }
};

// The fields of a header that passed every check.
struct BmpHeader {
    uint32_t offBits = 0;    // where the pixel data starts
    uint32_t sizeImage = 0;  // pixel bytes the file must hold (computed when 0)
    int width = 0;
    int height = 0;        // always positive
    bool topDown = false;  // the file stored its top row first
    size_t rowBytes = 0;
    size_t pixelBytes = 0;  // rowBytes x height, the rows kept
};

// The first bytes of a file that ReadBmpHeader needs: file header and info block.
constexpr size_t kBmpHeaderBytes = 54;

// Checks the first `size` bytes of a BMP file. Fails unless they hold a 24-bit
// uncompressed picture with an info block of at least 40 bytes, a width and height
// from 1 to `maxSide` either way, and a pixel size that covers all its rows.
bool ReadBmpHeader(const uint8_t* data, size_t size, int maxSide, BmpHeader* header);

// Reads a whole BMP file held in memory. On failure `picture` is left unchanged.
bool ParseBmp(const uint8_t* data, size_t size, int maxSide, BmpPicture* picture);

// Reads a BMP file by its (Windows) name. On failure `picture` is left unchanged.
bool ReadBmp(const char* fileName, int maxSide, BmpPicture* picture);
