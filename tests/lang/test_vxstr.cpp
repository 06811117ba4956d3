// The string value: its length rule, integer conversions, trimming and byte access.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

#include "lang/VXStr.h"

namespace {

std::string Text(const VXStr& s) {
    return std::string((const char*)s);
}

TEST(VXStr, AssignmentTakesAtMost1022Characters) {
    std::string longest(1022, 'a');
    std::string tooLong(1023, 'b');
    VXStr s("old");
    s = longest.c_str();
    EXPECT_EQ(Text(s), longest);
    s = "old";
    s = tooLong.c_str();
    EXPECT_EQ(Text(s), "old") << "a too long text is refused whole, not shortened";
    VXStr fresh(tooLong.c_str());
    EXPECT_EQ(Text(fresh), "");
}

TEST(VXStr, AppendFollowsTheSameRule) {
    std::string base(1015, 'x');
    VXStr s(base.c_str());
    s += "0123456789";
    EXPECT_EQ(Text(s), base) << "1015 + 10 > 1022 leaves the text unchanged";
    s += "0123456";
    EXPECT_EQ(std::strlen(s), 1022u);

    VXStr t(std::string(1020, 'y').c_str());
    t += 123;  // three digits would make 1023
    EXPECT_EQ(std::strlen(t), 1020u);

    VXStr self("ab");
    self += self;
    EXPECT_EQ(Text(self), "abab");
}

TEST(VXStr, IntegersBecomeDecimalText) {
    EXPECT_EQ(Text(VXStr(0)), "0");
    EXPECT_EQ(Text(VXStr(-12)), "-12");
    EXPECT_EQ(Text(VXStr(INT_MAX)), "2147483647");
    EXPECT_EQ(Text(VXStr(INT_MIN)), "-2147483648");
    VXStr s;
    int five = 5, seven = 7;
    s = five;
    s += seven;
    EXPECT_EQ(Text(s), "57");
    EXPECT_EQ(s.Compare(57), 0);
}

TEST(VXStr, TextIsReadAsAtoiDoes) {
    struct Case {
        const char* text;
        int value;
    } cases[] = {
        {"-12x", -12}, {"x12", 0},  {"", 0},       {"-", 0},   {"abc", 0}, {"12abc", 12},
        {" 7", 7},     {"+42", 42}, {"\t\n 3", 3}, {"- 3", 0}, {"007", 7}, {"-2147483648", INT_MIN},
    };
    for (const Case& c : cases) EXPECT_EQ((int)VXStr(c.text), c.value) << '"' << c.text << '"';
}

TEST(VXStr, TrimRightCutsBeforeTheFirstControlOrHighByte) {
    struct Case {
        const char* text;
        const char* trimmed;
    } cases[] = {
        {"line\r\n", "line"}, {"a b", "a b"},     {"a\tb", "a"},    {"AB\tCD\n", "AB"},
        {"caf\xe9s", "caf"},  {"plain", "plain"}, {"\x01text", ""}, {"", ""},
    };
    for (const Case& c : cases) {
        VXStr s(c.text);
        s.TrimRight();
        EXPECT_EQ(Text(s), c.trimmed) << '"' << c.text << '"';
    }
}

TEST(VXStr, BytesAreSignedForGetAtAndUnsignedForCompare) {
    VXStr s("\xc8z");
    EXPECT_EQ(s.GetAt(0), -56);
    EXPECT_EQ(s.GetAt(1), 'z');
    EXPECT_EQ(s.GetAt(2), 0);

    EXPECT_GT(VXStr("\xc8").Compare(VXStr("a")), 0) << "byte 200 sorts after 'a'";
    EXPECT_LT(VXStr("abc").Compare(VXStr("abd")), 0);
    EXPECT_LT(VXStr("ab").Compare(VXStr("abc")), 0);
    EXPECT_EQ(VXStr("same").Compare(VXStr("same")), 0);
}

TEST(VXStr, SetAtChangesOnlyBytesInsideTheText) {
    VXStr s("abc");
    EXPECT_EQ(s.SetAt(1, 'X'), 1);
    EXPECT_EQ(Text(s), "aXc");
    EXPECT_EQ(s.SetAt(3, 'Y'), 0) << "the terminator is not part of the text";
    EXPECT_EQ(s.SetAt(-1, 'Y'), 0);
    EXPECT_EQ(s.SetAt(5000, 'Y'), 0);
    EXPECT_EQ(Text(s), "aXc");
}

TEST(VXStr, LeftKeepsTheFirstCharactersAndCopiesKeepTheWholeBuffer) {
    VXStr s("abcd");
    s.Left(10);
    EXPECT_EQ(Text(s), "abcd");
    s.Left(2);
    EXPECT_EQ(Text(s), "ab");
    // A copy is all 1024 bytes: what lies behind the terminator comes along.
    VXStr copy;
    copy = s;
    EXPECT_EQ(copy.GetAt(3), 'd');
    s.Left(0);
    EXPECT_EQ(Text(s), "");
}

}  // namespace
