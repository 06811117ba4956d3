// Arrays: sizing, element numbering of several dimensions, index checks of every
// kind, and arrays that have no block.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "base/errors.h"
#include "lang/arrays.h"

#if defined(__SANITIZE_ADDRESS__)
// A block that cannot be obtained must come back as null (error 7), not end the process.
extern "C" const char* __asan_default_options() {
    return "allocator_may_return_null=1";
}
#endif

namespace {

class Arrays : public ::testing::Test {
protected:
    void SetUp() override { _g_error = 0; }
};

int Get(VXIntArray& a, int n, int i0, int i1 = 0, int i2 = 0, int i3 = 0) {
    int value = -12345;
    int rc = GETARR(value, n, a, i0, i1, i2, i3, 0, 0, 0, 0);
    return rc ? -rc : value;  // the error as a negative number
}

}  // namespace

TEST_F(Arrays, OneDimensionTakesIndicesZeroToSizeMinusOne) {
    VXIntArray a;
    ASSERT_EQ(ARY(a, 1, 10, 0, 0, 0, 0, 0, 0, 0), 0);
    EXPECT_EQ(a.ndim, 1);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(Get(a, 1, i), 0);  // zeroed
    EXPECT_EQ(PUTARR(77, 1, a, 9, 0, 0, 0, 0, 0, 0, 0), 0);
    EXPECT_EQ(Get(a, 1, 9), 77);

    int target = 5;
    EXPECT_EQ(GETARR(target, 1, a, 10, 0, 0, 0, 0, 0, 0, 0), VX_ERR_INDEX);
    EXPECT_EQ(_g_error, 9);
    EXPECT_EQ(GETARR(target, 1, a, -1, 0, 0, 0, 0, 0, 0, 0), VX_ERR_INDEX);
    EXPECT_EQ(GETARR(target, 1, a, INT_MIN, 0, 0, 0, 0, 0, 0, 0), VX_ERR_INDEX);
    EXPECT_EQ(target, 5);
    EXPECT_EQ(PUTARR(1, 1, a, 10, 0, 0, 0, 0, 0, 0, 0), VX_ERR_INDEX);
    EXPECT_EQ(PUTARR(1, 1, a, INT_MAX, 0, 0, 0, 0, 0, 0, 0), VX_ERR_INDEX);
    // Dimensions the array does not have were declared 0: they take index 0 only.
    EXPECT_EQ(Get(a, 1, 0, 1), -VX_ERR_INDEX);
    EXPECT_EQ(GETARR(target, 1, a, 0, 0, 0, 0, 0, 0, 0, -1), VX_ERR_INDEX);
}

TEST_F(Arrays, ElementsAreNumberedFirstIndexFastest) {
    VXIntArray a;
    ASSERT_EQ(ARY(a, 2, 3, 4, 0, 0, 0, 0, 0, 0), 0);
    EXPECT_EQ(a.mul[0], 3);
    EXPECT_EQ(a.mul[1], 12);
    EXPECT_EQ(a.mul[2], 12);  // a size of 0 counts as 1, as in the element count
    for (int j = 0; j < 4; ++j)
        for (int i = 0; i < 3; ++i) PUTARR(100 + i + 10 * j, 2, a, i, j, 0, 0, 0, 0, 0, 0);
    for (int j = 0; j < 4; ++j)
        for (int i = 0; i < 3; ++i) EXPECT_EQ(a.data[i + 3 * j], 100 + i + 10 * j);
    EXPECT_EQ(a.data[11], 132);  // (2, 3), the last of 12

    EXPECT_EQ(Get(a, 2, 3, 0), -VX_ERR_INDEX);
    EXPECT_EQ(Get(a, 2, 0, 4), -VX_ERR_INDEX);

    // A first size of 0 takes index 0 only; the second index still reaches its own element.
    VXIntArray z;
    ASSERT_EQ(ARY(z, 2, 0, 2, 0, 0, 0, 0, 0, 0), 0);
    ASSERT_EQ(PUTARR(11, 2, z, 0, 0, 0, 0, 0, 0, 0, 0), 0);
    ASSERT_EQ(PUTARR(22, 2, z, 0, 1, 0, 0, 0, 0, 0, 0), 0);
    EXPECT_EQ(Get(z, 2, 0, 0), 11);
    EXPECT_EQ(Get(z, 2, 0, 1), 22);

    // Sizes 2, 3, 4: strides 1, 2 and 6, the last element (1, 2, 3) is number 23.
    VXIntArray c;
    ASSERT_EQ(ARY(c, 3, 2, 3, 4, 0, 0, 0, 0, 0), 0);
    EXPECT_EQ(c.mul[0], 2);
    EXPECT_EQ(c.mul[1], 6);
    EXPECT_EQ(c.mul[2], 24);
    EXPECT_EQ(c.mul[3], 24);
    for (int k = 0; k < 4; ++k)
        for (int j = 0; j < 3; ++j)
            for (int i = 0; i < 2; ++i)
                ASSERT_EQ(PUTARR(1 + i + 2 * j + 6 * k, 3, c, i, j, k, 0, 0, 0, 0, 0), 0);
    for (int e = 0; e < 24; ++e) EXPECT_EQ(c.data[e], e + 1);

    // Eight dimensions of size 2: the element number is the indices read as bits.
    VXIntArray b;
    ASSERT_EQ(ARY(b, 8, 2, 2, 2, 2, 2, 2, 2, 2), 0);
    EXPECT_EQ(b.mul[6], 128);
    for (int e = 0; e < 256; ++e) {
        int i[8];
        for (int k = 0; k < 8; ++k) i[k] = (e >> k) & 1;
        ASSERT_EQ(PUTARR(e * 3, 8, b, i[0], i[1], i[2], i[3], i[4], i[5], i[6], i[7]), 0);
    }
    for (int e = 0; e < 256; ++e) EXPECT_EQ(b.data[e], e * 3);
    int v = 0;
    EXPECT_EQ(GETARR(v, 8, b, 1, 0, 1, 0, 1, 0, 1, 1), 0);
    EXPECT_EQ(v, (1 + 4 + 16 + 64 + 128) * 3);
    EXPECT_EQ(GETARR(v, 8, b, 1, 0, 1, 0, 1, 0, 1, 2), VX_ERR_INDEX);
}

TEST_F(Arrays, NumberOfIndicesMustMatchTheDimensions) {
    VXIntArray a;
    ASSERT_EQ(ARY(a, 1, 10, 0, 0, 0, 0, 0, 0, 0), 0);
    PUTARR(3, 1, a, 0, 0, 0, 0, 0, 0, 0, 0);
    int target = 8;
    EXPECT_EQ(GETARR(target, 2, a, 0, 0, 0, 0, 0, 0, 0, 0), VX_ERR_INDEX_COUNT);
    EXPECT_EQ(_g_error, 8);
    EXPECT_EQ(GETARR(target, 0, a, 0, 0, 0, 0, 0, 0, 0, 0), VX_ERR_INDEX_COUNT);
    EXPECT_EQ(target, 8);
    EXPECT_EQ(PUTARR(9, 2, a, 0, 0, 0, 0, 0, 0, 0, 0), VX_ERR_INDEX_COUNT);
    EXPECT_EQ(Get(a, 1, 0), 3);
    // The count is checked before the indices.
    _g_error = 0;
    EXPECT_EQ(GETARR(target, 3, a, 99, 0, 0, 0, 0, 0, 0, 0), VX_ERR_INDEX_COUNT);
}

TEST_F(Arrays, SizeZeroTakesOnlyIndexZeroAndNegativeSizeTakesNone) {
    VXIntArray a;
    ASSERT_EQ(ARY(a, 1, 0, 0, 0, 0, 0, 0, 0, 0), 0);
    EXPECT_EQ(PUTARR(4, 1, a, 0, 0, 0, 0, 0, 0, 0, 0), 0);
    EXPECT_EQ(Get(a, 1, 0), 4);
    EXPECT_EQ(Get(a, 1, 1), -VX_ERR_INDEX);

    VXIntArray b;
    ASSERT_EQ(ARY(b, 2, 5, -3, 0, 0, 0, 0, 0, 0), 0);
    for (int j = -3; j <= 3; ++j) EXPECT_EQ(Get(b, 2, 0, j), -VX_ERR_INDEX);
    EXPECT_EQ(PUTARR(1, 2, b, 0, 0, 0, 0, 0, 0, 0, 0), VX_ERR_INDEX);

    // Running products of huge negative sizes do not overflow, and nothing is reached.
    VXIntArray c;
    ASSERT_EQ(ARY(c, 3, -70000, 70000, 70000, 0, 0, 0, 0, 0), VX_ERR_RANGE);
    ASSERT_EQ(ARY(c, 3, INT_MIN, -70000, 7, 0, 0, 0, 0, 0), 0);
    EXPECT_EQ(Get(c, 3, 0, 0, 0), -VX_ERR_INDEX);
}

TEST_F(Arrays, SizingAgainClearsEveryElement) {
    VXIntArray a;
    ASSERT_EQ(ARY(a, 2, 4, 5, 0, 0, 0, 0, 0, 0), 0);
    for (int i = 0; i < 20; ++i) a.data[i] = i + 1;
    ASSERT_EQ(ARY(a, 2, 4, 5, 0, 0, 0, 0, 0, 0), 0);
    for (int i = 0; i < 20; ++i) EXPECT_EQ(a.data[i], 0);

    VXStrArray s;
    ASSERT_EQ(ARY(s, 1, 3, 0, 0, 0, 0, 0, 0, 0), 0);
    VXStr text("hello");
    PUTARR(text, 1, s, 2, 0, 0, 0, 0, 0, 0, 0);
    ASSERT_EQ(ARY(s, 1, 3, 0, 0, 0, 0, 0, 0, 0), 0);
    for (int e = 0; e < 3; ++e)
        for (int b = 0; b < 1024; ++b) ASSERT_EQ(s.data[e][b], 0);
}

TEST_F(Arrays, ArrayWithoutBlockAnswersEightAndTouchesNothing) {
    // Never sized: even the call with no indices must not reach the missing block.
    static VXIntArray never;
    static VXStrArray neverStr;
    int target = 6;
    EXPECT_EQ(GETARR(target, 0, never, 0, 0, 0, 0, 0, 0, 0, 0), VX_ERR_INDEX_COUNT);
    EXPECT_EQ(PUTARR(1, 0, never, 0, 0, 0, 0, 0, 0, 0, 0), VX_ERR_INDEX_COUNT);
    EXPECT_EQ(target, 6);
    VXStr text("keep");
    EXPECT_EQ(GETARR(text, 0, neverStr, 0, 0, 0, 0, 0, 0, 0, 0), VX_ERR_INDEX_COUNT);
    EXPECT_EQ(PUTARR(text, 0, neverStr, 0, 0, 0, 0, 0, 0, 0, 0), VX_ERR_INDEX_COUNT);
    EXPECT_STREQ(text, "keep");
    EXPECT_EQ(_g_error, 8);
}

TEST_F(Arrays, CountBeyondThirtyTwoBitsIsErrorSevenAndLeavesNoBlock) {
    VXIntArray a;
    ASSERT_EQ(ARY(a, 1, 10, 0, 0, 0, 0, 0, 0, 0), 0);
    // 46341 squared is just above 2147483647.
    EXPECT_EQ(ARY(a, 2, 46341, 46341, 0, 0, 0, 0, 0, 0), VX_ERR_RANGE);
    EXPECT_EQ(_g_error, 7);
    EXPECT_EQ(a.data, nullptr);
    // The old sizes remain, yet no access gets through.
    EXPECT_EQ(a.ndim, 1);
    EXPECT_EQ(Get(a, 1, 0), -VX_ERR_INDEX_COUNT);
    EXPECT_EQ(PUTARR(1, 1, a, 0, 0, 0, 0, 0, 0, 0, 0), VX_ERR_INDEX_COUNT);

    // Eight sizes of 16 make 2^32, a product that wraps to 0 in 32 bits.
    EXPECT_EQ(ARY(a, 8, 16, 16, 16, 16, 16, 16, 16, 16), VX_ERR_RANGE);
    EXPECT_EQ(ARY(a, 8, INT_MAX, INT_MAX, INT_MAX, INT_MAX, INT_MAX, INT_MAX, INT_MAX, INT_MAX),
              VX_ERR_RANGE);
    // A good size afterwards works again.
    ASSERT_EQ(ARY(a, 1, 2, 0, 0, 0, 0, 0, 0, 0), 0);
    EXPECT_EQ(PUTARR(5, 1, a, 1, 0, 0, 0, 0, 0, 0, 0), 0);
    EXPECT_EQ(Get(a, 1, 1), 5);
}

TEST_F(Arrays, BlockThatCannotBeObtainedIsErrorSeven) {
    // 2147483647 slots of 1024 bytes: two terabytes, more than the machine gives.
    VXStrArray s;
    ASSERT_EQ(ARY(s, 1, 4, 0, 0, 0, 0, 0, 0, 0), 0);
    EXPECT_EQ(ARY(s, 1, INT_MAX, 0, 0, 0, 0, 0, 0, 0), VX_ERR_RANGE);
    EXPECT_EQ(s.data, nullptr);
    VXStr text("unchanged");
    EXPECT_EQ(GETARR(text, 1, s, 0, 0, 0, 0, 0, 0, 0, 0), VX_ERR_INDEX_COUNT);
    EXPECT_STREQ(text, "unchanged");
}

TEST_F(Arrays, StringElementsHoldTheirTextAndClearTheRestOfTheSlot) {
    VXStrArray s;
    ASSERT_EQ(ARY(s, 2, 2, 3, 0, 0, 0, 0, 0, 0), 0);
    std::string long1022(1022, 'q');
    long1022[0] = 'A';
    long1022[1021] = 'Z';
    VXStr value(long1022.c_str());
    ASSERT_EQ(PUTARR(value, 2, s, 1, 2, 0, 0, 0, 0, 0, 0), 0);
    VXStr back;
    ASSERT_EQ(GETARR(back, 2, s, 1, 2, 0, 0, 0, 0, 0, 0), 0);
    EXPECT_EQ(std::string((const char*)back), long1022);
    EXPECT_EQ(s.data[1 + 2 * 2][1022], 0);

    // A shorter text over it leaves no tail of the old one.
    VXStr shortText("ab");
    ASSERT_EQ(PUTARR(shortText, 2, s, 1, 2, 0, 0, 0, 0, 0, 0), 0);
    for (int b = 2; b < 1024; ++b) ASSERT_EQ(s.data[5][b], 0) << b;
    ASSERT_EQ(GETARR(back, 2, s, 1, 2, 0, 0, 0, 0, 0, 0), 0);
    EXPECT_STREQ(back, "ab");

    // Other elements are untouched; an empty element reads as the empty text.
    ASSERT_EQ(GETARR(back, 2, s, 0, 2, 0, 0, 0, 0, 0, 0), 0);
    EXPECT_STREQ(back, "");

    // A slot text of 1023 characters is more than a string value takes: the target stays.
    for (int b = 0; b < 1023; ++b) s.data[0][b] = 'w';
    VXStr target("old");
    EXPECT_EQ(GETARR(target, 2, s, 0, 0, 0, 0, 0, 0, 0, 0), 0);
    EXPECT_STREQ(target, "old");

    VXStr out("keep");
    EXPECT_EQ(GETARR(out, 2, s, 2, 0, 0, 0, 0, 0, 0, 0), VX_ERR_INDEX);
    EXPECT_EQ(PUTARR(out, 2, s, 0, 3, 0, 0, 0, 0, 0, 0), VX_ERR_INDEX);
    EXPECT_STREQ(out, "keep");
}
