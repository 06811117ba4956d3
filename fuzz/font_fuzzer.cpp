// The font's reader and glyph cut on any bytes: the reader from memory and from a
// file agree, what it takes has the sides the cut needs, and the cut stays inside.
#include "fuzz/fuzz_support.h"
#include "render/font_picture.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FontPicture memory;
    bool parsed = ParseFontPicture(data, size, &memory);

    const std::string path = vxfuzz::Folder() + "/font.bmp";
    vxfuzz::WriteFile(path, data, size);
    FontPicture file;
    FontRead read = ReadFontPicture(path.c_str(), &file);
    VX_FUZZ_CHECK(read != FontRead::CannotOpen);
    VX_FUZZ_CHECK(parsed == (read == FontRead::Ok));
    if (!parsed) return 0;
    VX_FUZZ_CHECK(file.width == memory.width && file.height == memory.height &&
                  file.pixels == memory.pixels);
    VX_FUZZ_CHECK(memory.width >= 128 && memory.width <= 16384);
    VX_FUZZ_CHECK(memory.height >= 64 && memory.height <= 16384);
    VX_FUZZ_CHECK(memory.pixels.size() <= size);

    // The first and last glyphs reach the picture's corners; the key colour comes from the input.
    const unsigned long key =
        size >= 3 ? (data[size - 1] | data[size - 2] << 8 | data[size - 3] << 16) : 0;
    std::vector<uint8_t> texels;
    for (int code : {32, 127}) {
        CutGlyph(memory, code, key, &texels);
        VX_FUZZ_CHECK(texels.size() == (size_t)memory.GlyphWidth() * memory.GlyphHeight() * 4);
    }
    return 0;
}
