// The BMP reader shared by sprites, surfaces and the font: a 14-byte file header,
// an info block up to bfOffBits, then the pixel rows. Sizes come from the file and
// are checked in 64-bit arithmetic before any buffer is sized or indexed by them.
#include "render/bmp.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "base/errors.h"
#include "platform/files.h"
#include "platform/sizes.h"

namespace {

uint16_t Read16(const uint8_t* p) {
    return (uint16_t)(p[0] | (p[1] << 8));
}

uint32_t Read32(const uint8_t* p) {
    return (uint32_t)p[0] | ((uint32_t)p[1] << 8) | ((uint32_t)p[2] << 16) | ((uint32_t)p[3] << 24);
}

// Copies the header's rows out of `data` (which starts at the first row) into the
// picture, turning a top-down file into the usual bottom-up order.
void TakeRows(const BmpHeader& header, const uint8_t* data, BmpPicture* picture) {
    picture->width = header.width;
    picture->height = header.height;
    picture->rowBytes = header.rowBytes;
    picture->pixels.resize(header.pixelBytes);
    for (int row = 0; row < header.height; ++row) {
        int stored = header.topDown ? header.height - 1 - row : row;
        std::memcpy(&picture->pixels[(size_t)stored * header.rowBytes],
                    data + (size_t)row * header.rowBytes, header.rowBytes);
    }
}

// Turns the rows of a top-down picture read straight from a file.
void FlipRows(BmpPicture* picture) {
    std::vector<uint8_t> spare(picture->rowBytes);
    for (int low = 0, high = picture->height - 1; low < high; ++low, --high) {
        uint8_t* a = &picture->pixels[(size_t)low * picture->rowBytes];
        uint8_t* b = &picture->pixels[(size_t)high * picture->rowBytes];
        std::memcpy(spare.data(), a, picture->rowBytes);
        std::memcpy(a, b, picture->rowBytes);
        std::memcpy(b, spare.data(), picture->rowBytes);
    }
}

}  // namespace

bool ReadBmpHeader(const uint8_t* data, size_t size, int maxSide, BmpHeader* header) {
    if (!data || size < kBmpHeaderBytes) return false;
    if (Read16(data) != 0x4D42) return false;
    uint32_t offBits = Read32(data + 10);
    // The info block runs from byte 14 to bfOffBits; the fields below need 40 of it.
    if (offBits < kBmpHeaderBytes) return false;
    int32_t width = (int32_t)Read32(data + 18);
    int32_t height = (int32_t)Read32(data + 22);
    uint16_t bitCount = Read16(data + 28);
    uint32_t compression = Read32(data + 30);
    uint32_t sizeImage = Read32(data + 34);
    if (bitCount != 24 || compression != 0) return false;
    if (width < 1 || width > maxSide) return false;
    bool topDown = height < 0;
    int64_t rows = topDown ? -(int64_t)height : (int64_t)height;
    if (rows < 1 || rows > maxSide) return false;

    uint64_t rowBytes = 3 * (uint64_t)width + (uint64_t)width % 4;
    // The rows are kept in one block: a picture too large for one is refused.
    const std::optional<size_t> rowsBytes = platform::BlockBytes(rowBytes, rows);
    if (!rowsBytes) return false;
    uint64_t needed = *rowsBytes;
    if (sizeImage == 0) {
        uint64_t computed = (uint64_t)rows * ((24 * (uint64_t)width + 31) / 32) * 4;
        if (computed > 0xFFFFFFFFu) return false;
        sizeImage = (uint32_t)computed;
    }
    if (sizeImage < needed) return false;

    header->offBits = offBits;
    header->sizeImage = sizeImage;
    header->width = width;
    header->height = (int)rows;
    header->topDown = topDown;
    header->rowBytes = (size_t)rowBytes;
    header->pixelBytes = *rowsBytes;
    return true;
}

bool ParseBmp(const uint8_t* data, size_t size, int maxSide, BmpPicture* picture) {
    BmpHeader header;
    if (!ReadBmpHeader(data, size, maxSide, &header)) return false;
    if ((uint64_t)header.offBits + header.sizeImage > size) return false;
    TakeRows(header, data + header.offBits, picture);
    return true;
}

bool ReadBmp(const char* fileName, int maxSide, BmpPicture* picture) {
    if (!fileName) return false;
    std::string path = platform::ResolvePath(fileName);
    std::FILE* file = _OpenDataFile(path);
    if (!file) return false;
    bool ok = false;
    uint8_t head[kBmpHeaderBytes];
    BmpHeader header;
    long fileSize = -1;
    if (std::fseek(file, 0, SEEK_END) == 0) fileSize = std::ftell(file);
    if (fileSize >= 0 && std::fseek(file, 0, SEEK_SET) == 0 &&
        std::fread(head, 1, sizeof head, file) == sizeof head &&
        ReadBmpHeader(head, sizeof head, maxSide, &header) &&
        (uint64_t)header.offBits + header.sizeImage <= (uint64_t)fileSize &&
        std::fseek(file, (long)header.offBits, SEEK_SET) == 0) {
        // Only the rows are kept; the rest of biSizeImage is known to be in the file.
        BmpPicture read;
        read.width = header.width;
        read.height = header.height;
        read.rowBytes = header.rowBytes;
        read.pixels.resize(header.pixelBytes);
        if (std::fread(read.pixels.data(), 1, read.pixels.size(), file) == read.pixels.size()) {
            if (header.topDown) FlipRows(&read);
            *picture = std::move(read);
            ok = true;
        }
    }
    if (!ok) _NoteFileReason("not a whole 24-bit uncompressed BMP picture");
    std::fclose(file);
    return ok;
}
