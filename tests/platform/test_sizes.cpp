// Block sizes from outside numbers: the same answer on a 32-bit build as on a 64-bit
// one. The static checks are compiled by every build, the i686 one included, which
// this machine cannot run.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

#include "platform/sizes.h"

namespace {

using platform::BlockBytes;
using platform::BlockBytesUpTo;

// An RGBA texture of 32768 x 32768 is 2^32 bytes: 0 in 32-bit arithmetic.
static_assert(!BlockBytes(32768, 32768, 4), "a texture of 4 GiB is refused");
// 16385 x 16385 x 4 does not wrap in 32 bits, but passes the cap.
static_assert(!BlockBytes(16385, 16385, 4), "a texture just over 1 GiB is refused");
static_assert(*BlockBytes(16384, 16384, 4) == (size_t{1} << 30), "1 GiB exactly is taken");
static_assert(!BlockBytes(INT_MAX, INT_MAX, INT_MAX, INT_MAX), "a product past 64 bits too");
static_assert(!BlockBytes(-1, 4), "negative sides are refused");

TEST(BlockSizes, TexturesPastTheCapAreRefusedAtRunTime) {
    // The same sides as the program would pass them, not folded by the compiler.
    volatile int sides[] = {32768, 16385, 16384, 65536};
    EXPECT_FALSE(BlockBytes(sides[0], sides[0], 4));
    EXPECT_FALSE(BlockBytes(sides[1], sides[1], 4));
    EXPECT_FALSE(BlockBytes(sides[3], sides[3], 4));  // 2^34: wraps to 0 in 32 bits as well
    ASSERT_TRUE(BlockBytes(sides[2], sides[2], 4));
    EXPECT_EQ(*BlockBytes(sides[2], sides[2], 4), size_t{1} << 30);
    // A zero side is an empty block, not a refusal; mixed integer types multiply alike.
    EXPECT_EQ(BlockBytes(0, sides[0], 4), size_t{0});
    EXPECT_EQ(BlockBytes(uint16_t{640}, 480L, size_t{3}), size_t{921600});
    // A cap of its own: the sound mixer's 256 MiB.
    EXPECT_TRUE(BlockBytesUpTo(256u << 20, uint64_t{128} << 20, 2));
    EXPECT_FALSE(BlockBytesUpTo(256u << 20, (uint64_t{128} << 20) + 1, 2));
}

}  // namespace
