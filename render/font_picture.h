// The font picture: its reader, from a file or from memory, and the cut of one glyph
// out of it. No GL here, so the reader can be tried on any bytes.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// A font picture as read: the size and the pixel data as stored, bottom row first.
struct FontPicture {
    int32_t width = 0;            // 128 to 16384
    int32_t height = 0;           // 64 to 16384
    std::vector<uint8_t> pixels;  // may hold fewer bytes than the rows need

    // The texture sides of one glyph: the padded picture size over 16 columns, 8 rows.
    int32_t GlyphWidth() const;
    int32_t GlyphHeight() const;
};

enum class FontRead { Ok, CannotOpen, Bad };

// Reads a font picture from the `size` bytes at `data`. False unless the headers are
// whole, the picture is one the glyph cut takes and its pixel data lies inside.
bool ParseFontPicture(const uint8_t* data, size_t size, FontPicture* out);
// The same from a file named the Windows way; CannotOpen when it does not open.
FontRead ReadFontPicture(const char* file, FontPicture* out);

// Fills `texels` (GlyphWidth x GlyphHeight RGBA texels, transposed) with the glyph of
// `code`; pixels of `transparent` (0x00BBGGRR) get alpha 0. Pixels beyond the data stay clear.
void CutGlyph(const FontPicture& picture, int code, unsigned long transparent,
              std::vector<uint8_t>* texels);
