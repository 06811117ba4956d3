// The renderer's BMP reader on any bytes, from memory and from a file: both readers
// take or refuse the same files, and what they take is exactly the file's rows.
#include <cstring>

#include "fuzz/fuzz_support.h"
#include "render/bmp.h"

namespace {

// Every row of the picture as stored in the file, turned bottom-up.
bool RowsMatch(const BmpPicture& picture, const uint8_t* data, size_t size) {
    BmpHeader header;
    if (!ReadBmpHeader(data, size, 1 << 30, &header)) return false;
    if (picture.pixels.size() != header.rowBytes * (size_t)header.height) return false;
    for (int row = 0; row < header.height; ++row) {
        int stored = header.topDown ? header.height - 1 - row : row;
        const uint8_t* from = data + header.offBits + (size_t)row * header.rowBytes;
        if (std::memcmp(&picture.pixels[(size_t)stored * header.rowBytes], from, header.rowBytes) !=
            0)
            return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The sprite and the surface limits.
    for (int maxSide : {32768, 2048}) {
        BmpPicture memory;
        memory.width = -7;  // a refusal must leave the picture alone
        bool parsed = ParseBmp(data, size, maxSide, &memory);
        if (!parsed) {
            VX_FUZZ_CHECK(memory.width == -7 && memory.pixels.empty());
            continue;
        }
        VX_FUZZ_CHECK(memory.width >= 1 && memory.width <= maxSide);
        VX_FUZZ_CHECK(memory.height >= 1 && memory.height <= maxSide);
        VX_FUZZ_CHECK(memory.rowBytes == 3 * (size_t)memory.width + memory.width % 4);
        VX_FUZZ_CHECK(RowsMatch(memory, data, size));
    }
    const std::string path = vxfuzz::Folder() + "/picture.bmp";
    vxfuzz::WriteFile(path, data, size);
    BmpPicture memory, file;
    bool parsed = ParseBmp(data, size, 2048, &memory);
    bool read = ReadBmp(path.c_str(), 2048, &file);
    VX_FUZZ_CHECK(parsed == read);
    VX_FUZZ_CHECK(!read || (file.width == memory.width && file.height == memory.height &&
                            file.pixels == memory.pixels));
    return 0;
}
