// Math, random, substring and box collision.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <set>
#include <string>

#include "lang/builtins.h"
#include "lang/random.h"

namespace {

// The trig rule computed another way: a 64-bit truncation, then a range test.
std::string Mid(const char* source, int start, int count, const char* before = "old") {
    VXStr target(before);
    EXPECT_EQ(MIDSTR(VXStr(source), target, start, count), 0);
    return std::string((const char*)target);
}

int Boxes(int x1, int y1, int w1, int h1, int x2, int y2, int w2, int h2) {
    int result = 55;
    EXPECT_EQ(BOXCOLL(result, x1, y1, w1, h1, x2, y2, w2, h2), 0);
    return result;
}

}  // namespace

TEST(Trig, TableOfWholeDegrees) {
    struct Row {
        int degrees, sin, cos, tan;
    };
    const Row rows[] = {
        {0, 0, 1000, 0},         {1, 17, 999, 17},     {30, 500, 866, 577},
        {45, 707, 707, 1000},    {60, 866, 499, 1732}, {90, 1000, 0, INT_MIN},
        {120, 866, -500, -1732}, {180, 0, -1000, 0},   {270, -1000, 0, INT_MIN},
        {-30, -500, 866, -577},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.degrees);
        EXPECT_EQ(SIN(r.degrees), r.sin);
        EXPECT_EQ(COS(r.degrees), r.cos);
        EXPECT_EQ(TAN(r.degrees), r.tan);
    }
    EXPECT_EQ(TAN(135), -999);
    EXPECT_EQ(TAN(-90), INT_MIN);
}

TEST(Trig, SweepIsSymmetricAndBounded) {
    for (int d = -720; d <= 720; ++d) {
        SCOPED_TRACE(d);
        ASSERT_EQ(SIN(-d), -SIN(d));
        ASSERT_EQ(COS(-d), COS(d));
        ASSERT_LE(std::abs(SIN(d)), 1000);
        // Odd multiples of 90 leave the int range.
        if (d % 180 == 90 || d % 180 == -90) {
            ASSERT_EQ(TAN(d), INT_MIN);
        }
    }
    // Far angles stay within the scale.
    for (int d : {INT_MAX, INT_MIN, 1000000007, -999999937}) {
        EXPECT_LE(std::abs(SIN(d)), 1000);
        EXPECT_LE(std::abs(COS(d)), 1000);
    }
}

TEST(Random, RangesOfRnd) {
    _SeedRandom(12345);
    std::set<int> seenOne, seenSix;
    for (int i = 0; i < 5000; ++i) {
        ASSERT_EQ(RND(0), 0);
        ASSERT_EQ(RND(-1), 0);
        int one = RND(1);
        ASSERT_TRUE(one == 0 || one == 1);
        seenOne.insert(one);
        int six = RND(6);
        ASSERT_TRUE(six >= 0 && six <= 6);
        seenSix.insert(six);
        int big = RND(100000);
        ASSERT_TRUE(big >= 0 && big <= 32767);
        int max = RND(INT_MAX);
        ASSERT_TRUE(max >= 0 && max <= 32767);
        int min = RND(INT_MIN);
        ASSERT_TRUE(min >= 0 && min <= 32767);
        // Below -1 the range is 0 to |n + 1| - 1.
        int negative = RND(-5);
        ASSERT_TRUE(negative >= 0 && negative <= 3);
    }
    EXPECT_EQ(seenOne.size(), 2u);
    EXPECT_EQ(seenSix.size(), 7u);
}

TEST(Random, RndDrawsFromTheRuntimeGenerator) {
    _SeedRandom(777);
    int expected[8];
    for (int& e : expected) e = _Random();
    _SeedRandom(777);
    for (int e : expected) EXPECT_EQ(RND(32767), e);
    _SeedRandom(777);
    for (int e : expected) EXPECT_EQ(RND(99), e % 100);
}

TEST(Midstr, CutsByStartAndCount) {
    EXPECT_EQ(Mid("abcdef", 2, 3), "cde");
    EXPECT_EQ(Mid("abcdef", 2, 100), "cdef");
    EXPECT_EQ(Mid("abcdef", 2, INT_MAX), "cdef");
    EXPECT_EQ(Mid("abcdef", 0, 6), "abcdef");
    EXPECT_EQ(Mid("abcdef", 5, 1), "f");
    EXPECT_EQ(Mid("abcdef", 6, 1), "");
    EXPECT_EQ(Mid("abcdef", -1, 3), "");
    EXPECT_EQ(Mid("abcdef", INT_MIN, 3), "");
    EXPECT_EQ(Mid("abcdef", 2, -5), "");
    EXPECT_EQ(Mid("abcdef", 2, 0), "");
    EXPECT_EQ(Mid("", 0, 1), "");
    // The old target plays no part, however long.
    EXPECT_EQ(Mid("xy", 1, 1, std::string(1022, 'o').c_str()), "y");

    std::string whole(1022, 'm');
    whole[1021] = 'E';
    EXPECT_EQ(Mid(whole.c_str(), 1021, 5), "E");
    EXPECT_EQ(Mid(whole.c_str(), 0, 1022), whole);

    // Source and target may be the same variable: the source is a copy.
    VXStr s("hello world");
    MIDSTR(s, s, 6, 5);
    EXPECT_STREQ(s, "world");
}

TEST(Boxcoll, OverlapOfTwoBoxes) {
    EXPECT_EQ(Boxes(0, 0, 10, 10, 10, 0, 10, 10), 0);  // touching edges
    EXPECT_EQ(Boxes(0, 0, 10, 10, 0, 10, 10, 10), 0);
    EXPECT_EQ(Boxes(0, 0, 10, 10, 9, 9, 10, 10), 1);
    EXPECT_EQ(Boxes(9, 9, 10, 10, 0, 0, 10, 10), 1);
    EXPECT_EQ(Boxes(0, 0, 10, 10, 2, 2, 3, 3), 1);  // one inside the other
    EXPECT_EQ(Boxes(2, 2, 3, 3, 0, 0, 10, 10), 1);
    EXPECT_EQ(Boxes(-5, -5, 10, 10, 4, 4, 1, 1), 1);
    EXPECT_EQ(Boxes(0, 0, 10, 10, 0, 20, 10, 10), 0);
    EXPECT_EQ(Boxes(0, 0, 10, 10, 5, -20, 1, 100), 1);  // a cross
    // Empty boxes collide with nothing, not even with themselves.
    EXPECT_EQ(Boxes(0, 0, 0, 10, 0, 0, 10, 10), 0);
    EXPECT_EQ(Boxes(0, 0, 10, 0, 0, 0, 10, 10), 0);
    EXPECT_EQ(Boxes(5, 5, -3, 4, 0, 0, 10, 10), 0);
    EXPECT_EQ(Boxes(0, 0, 10, 10, 5, 5, 4, -4), 0);
    EXPECT_EQ(Boxes(1, 1, 1, 1, 1, 1, 1, 1), 1);
}

TEST(Boxcoll, BoxesNearTheIntegerLimits) {
    // Far edges beyond the int range do not wrap around to the other side.
    EXPECT_EQ(Boxes(INT_MAX - 10, 0, 100, 10, INT_MAX - 5, 0, 1, 10), 1);
    // INT_MIN + INT_MAX is -1: the box ends just before 0.
    EXPECT_EQ(Boxes(INT_MIN, INT_MIN, INT_MAX, INT_MAX, 0, 0, 10, 10), 0);
    EXPECT_EQ(Boxes(INT_MIN, INT_MIN, INT_MAX, INT_MAX, -1000, -1000, 10, 10), 1);
    EXPECT_EQ(Boxes(INT_MIN, INT_MIN, INT_MAX, INT_MAX, -1000000, INT_MIN, 10, 10), 1);
    EXPECT_EQ(Boxes(INT_MAX, INT_MAX, INT_MAX, INT_MAX, 0, 0, INT_MAX, INT_MAX), 0);
    EXPECT_EQ(Boxes(0, 0, INT_MAX, INT_MAX, INT_MAX - 1, INT_MAX - 1, INT_MAX, INT_MAX), 1);
}
