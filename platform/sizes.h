// Sizes of memory blocks computed from numbers that a program or a file gives
// (picture sides, sample counts, array bounds). The product is taken in 64-bit
// arithmetic whatever the width of size_t and held to one cap, so a size that would
// wrap on a 32-bit build is refused there exactly as on a 64-bit one.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <type_traits>

namespace platform {

// The largest block sized from outside numbers: 1 GiB, a 16384 x 16384 RGBA texture
// and half of a 32-bit process's address space.
constexpr uint64_t kMaxBlockBytes = uint64_t{1} << 30;

// The product of `factors` (integers of any type) in bytes, or nothing when a factor
// is negative or the product passes `cap` (or what size_t can hold).
template <class... Factors>
constexpr std::optional<size_t> BlockBytesUpTo(uint64_t cap, Factors... factors) {
    static_assert((std::is_integral_v<Factors> && ...), "block sizes are whole numbers");
    if (cap > SIZE_MAX) cap = SIZE_MAX;
    uint64_t product = 1;
    bool fits = true;
    auto take = [&](auto factor) {
        if (!fits) return;
        if constexpr (std::is_signed_v<decltype(factor)>) {
            if (factor < 0) {
                fits = false;
                return;
            }
        }
        const uint64_t f = (uint64_t)factor;
        // Checked before multiplying, so the product never passes the cap, let alone wraps.
        if (f != 0 && product > cap / f) fits = false;
        product *= f;
    };
    (take(factors), ...);
    if (!fits) return std::nullopt;
    return (size_t)product;
}

// BlockBytesUpTo with the common cap, kMaxBlockBytes.
template <class... Factors>
constexpr std::optional<size_t> BlockBytes(Factors... factors) {
    return BlockBytesUpTo(kMaxBlockBytes, factors...);
}

}  // namespace platform
