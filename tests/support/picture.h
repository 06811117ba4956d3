// Test support: reading back the 24-bit BMP pictures that SAVEBMP writes.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>

namespace vxtest {

struct Rgb {
    int r, g, b;
};

// A 24-bit bottom-up BMP; Width() and Height() are 0 when the bytes are not one.
class Picture {
public:
    explicit Picture(std::string bytes) : bytes_(std::move(bytes)) {
        if (bytes_.size() < 54 || bytes_[0] != 'B' || bytes_[1] != 'M' || Read(28, 2) != 24) return;
        width_ = (int)Read(18, 4);
        height_ = (int)Read(22, 4);
        rowBytes_ = ((size_t)width_ * 3 + 3) & ~(size_t)3;
        if (width_ <= 0 || height_ <= 0 || bytes_.size() < 54 + rowBytes_ * height_)
            width_ = height_ = 0;
    }
    int Width() const { return width_; }
    int Height() const { return height_; }
    // The pixel at (x, y), y downwards from the top.
    Rgb At(int x, int y) const {
        size_t at = 54 + rowBytes_ * (size_t)(height_ - 1 - y) + 3 * (size_t)x;
        auto byte = [&](size_t i) { return (int)(uint8_t)bytes_[at + i]; };
        return {byte(2), byte(1), byte(0)};
    }

private:
    uint32_t Read(size_t at, int count) const {
        uint32_t v = 0;
        for (int i = count - 1; i >= 0; --i) v = v << 8 | (uint8_t)bytes_[at + i];
        return v;
    }
    std::string bytes_;
    int width_ = 0, height_ = 0;
    size_t rowBytes_ = 0;
};

// Within a few steps of the 16-bit display's rounding.
inline ::testing::AssertionResult Near(const Rgb& got, const Rgb& want) {
    if (std::abs(got.r - want.r) <= 8 && std::abs(got.g - want.g) <= 8 &&
        std::abs(got.b - want.b) <= 8)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "(" << got.r << ", " << got.g << ", " << got.b << ") instead of (" << want.r << ", "
           << want.g << ", " << want.b << ")";
}

// Bright pixels (the font's white) in the 16 x 16 character cell `cell` of a line of
// text drawn at (x, y).
inline int Lit(const Picture& p, int x, int y, int cell) {
    int lit = 0;
    for (int py = y; py < y + 16; ++py)
        for (int px = x + 16 * cell; px < x + 16 * (cell + 1); ++px) {
            Rgb c = p.At(px, py);
            if (c.r > 200 && c.g > 200 && c.b > 200) ++lit;
        }
    return lit;
}

}  // namespace vxtest
