// Operators and comparisons: mixed operands, expression text on string targets,
// 32-bit wrap-around, division by zero, and texts compared as unsigned bytes.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "vamex.h"

namespace {

class Operators : public ::testing::Test {
protected:
    void SetUp() override {
        _g_error = 0;
        _g_errorline = 0;
        _g_debugline = 0;
    }
};

std::string Text(const VXStr& s) {
    return std::string((const char*)s);
}

}  // namespace

TEST_F(Operators, ArithmeticOnIntegerTargetsReadsStringOperandsAsIntegers) {
    int a = 10;
    EXPECT_EQ(SUB(a, VXStr("3")), 0);
    EXPECT_EQ(a, 7);
    EXPECT_EQ(MUL(a, VXStr(" 6 apples")), 0);
    EXPECT_EQ(a, 42);
    EXPECT_EQ(SUB(a, 50), 0);
    EXPECT_EQ(a, -8);
    MUL(a, VXStr("abc"));  // no number reads as 0
    EXPECT_EQ(a, 0);

    a = -7;
    EXPECT_EQ(DIV(a, 2), 0);
    EXPECT_EQ(a, -3);  // truncated toward zero
    a = 7;
    EXPECT_EQ(DIV(a, VXStr("-2")), 0);
    EXPECT_EQ(a, -3);
    EXPECT_EQ(_g_error, 0);
}

TEST_F(Operators, IntegerResultsWrapAroundAtTheLimits) {
    int a = INT_MAX;
    SUB(a, -1);
    EXPECT_EQ(a, INT_MIN);
    SUB(a, 1);
    EXPECT_EQ(a, INT_MAX);
    a = INT_MIN;
    SUB(a, INT_MAX);
    EXPECT_EQ(a, 1);

    a = 65536;
    MUL(a, 65536);
    EXPECT_EQ(a, 0);
    a = INT_MAX;
    MUL(a, VXStr("2"));
    EXPECT_EQ(a, -2);
    a = INT_MIN;
    MUL(a, -1);
    EXPECT_EQ(a, INT_MIN);

    // The one quotient that does not fit wraps like the others, without an error.
    a = INT_MIN;
    EXPECT_EQ(DIV(a, -1), 0);
    EXPECT_EQ(a, INT_MIN);
    a = INT_MIN;
    EXPECT_EQ(DIV(a, VXStr("-1")), 0);
    EXPECT_EQ(a, INT_MIN);
    EXPECT_EQ(_g_error, 0);
    a = INT_MIN;
    DIV(a, 1);
    EXPECT_EQ(a, INT_MIN);
}

TEST_F(Operators, DivisionByZeroOnIntegerTargetIsErrorSixAndKeepsTheTarget) {
    _dLn(42);
    int a = 17;
    EXPECT_EQ(DIV(a, 0), VX_ERR_DIVISION);
    EXPECT_EQ(a, 17);
    EXPECT_EQ(_g_error, 6);
    EXPECT_EQ(_g_errorline, 42);

    _g_error = 0;
    EXPECT_EQ(DIV(a, VXStr("zero")), VX_ERR_DIVISION);  // a text that is no number reads as 0
    EXPECT_EQ(a, 17);
    EXPECT_EQ(_g_error, 6);

    // A string target only builds text: dividing by 0 there is no error.
    _g_error = 0;
    VXStr s("x");
    EXPECT_EQ(DIV(s, 0), 0);
    EXPECT_EQ(Text(s), "x/0");
    EXPECT_EQ(DIV(s, VXStr("0")), 0);
    EXPECT_EQ(Text(s), "x/0/0");
    EXPECT_EQ(_g_error, 0);
}

TEST_F(Operators, StringTargetsBuildTheExpressionText) {
    VXStr s("x");
    EXPECT_EQ(SUB(s, 5), 0);
    EXPECT_EQ(Text(s), "x-5");
    VXStr t("2");
    EXPECT_EQ(MUL(t, VXStr("3")), 0);
    EXPECT_EQ(Text(t), "2*3");  // not 6
    VXStr u("a");
    SUB(u, -1);
    MUL(u, VXStr("b"));
    DIV(u, INT_MIN);
    SUB(u, VXStr(""));
    EXPECT_EQ(Text(u), "a--1*b/-2147483648-");
}

TEST_F(Operators, StringTargetAppendsSignAndOperandUnderTheLengthRule) {
    // Room for the sign only: the sign goes in, the operand is refused whole.
    VXStr s(std::string(1021, 'a').c_str());
    SUB(s, 5);
    EXPECT_EQ(Text(s), std::string(1021, 'a') + "-");

    VXStr full(std::string(1022, 'b').c_str());
    MUL(full, VXStr("c"));
    EXPECT_EQ(Text(full), std::string(1022, 'b'));

    // Sign fits (1020), the three digits would give 1023: refused.
    VXStr near(std::string(1019, 'c').c_str());
    DIV(near, 123);
    EXPECT_EQ(Text(near), std::string(1019, 'c') + "/");
    // Exactly 1022 is taken.
    VXStr exact(std::string(1018, 'd').c_str());
    DIV(exact, 123);
    EXPECT_EQ(Text(exact), std::string(1018, 'd') + "/123");
}

TEST_F(Operators, LogicOperators) {
    int a = 99;
    NOT(a, 5);
    EXPECT_EQ(a, 0);
    NOT(a, 0);
    EXPECT_EQ(a, 1);
    NOT(a, INT_MIN);
    EXPECT_EQ(a, 0);

    VXStr s("anything");
    NOT(s, 0);
    EXPECT_EQ(Text(s), "1");
    NOT(s, -3);
    EXPECT_EQ(Text(s), "0");

    a = 12;
    OR(a, 3);
    EXPECT_EQ(a, 15);
    AND(a, 10);
    EXPECT_EQ(a, 10);
    a = INT_MIN;
    OR(a, 1);
    EXPECT_EQ(a, INT_MIN + 1);

    VXStr three("3");
    OR(three, 4);
    EXPECT_EQ(Text(three), "7");
    VXStr word("abc");
    OR(word, 4);
    EXPECT_EQ(Text(word), "4");
    VXStr minusOne("-1");
    AND(minusOne, 255);
    EXPECT_EQ(Text(minusOne), "255");
    VXStr neg("-16");
    OR(neg, 1);
    EXPECT_EQ(Text(neg), "-15");
}

TEST_F(Operators, ComparisonsOfIntegersAreSigned) {
    struct Case {
        int a, b;
        int same, nsame, bigger, bigEq, smalEq, smaler;
    };
    const Case cases[] = {
        {1, 2, 0, 1, 0, 0, 1, 1},
        {2, 2, 1, 0, 0, 1, 1, 0},
        {3, 2, 0, 1, 1, 1, 0, 0},
        {-1, 1, 0, 1, 0, 0, 1, 1},
        {INT_MIN, INT_MAX, 0, 1, 0, 0, 1, 1},
    };
    auto onInts = [](void (*op)(int&, int), int a, int b) { return op(a, b), a; };
    auto onText = [](void (*op)(int&, VXStr), int a, int b) { return op(a, VXStr(b)), a; };
    auto onTarget = [](void (*op)(VXStr&, int), int a, int b) {
        VXStr s(a);
        op(s, b);
        return std::string((const char*)s);
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.a) + " vs " + std::to_string(c.b));
        EXPECT_EQ(onInts(SAME, c.a, c.b), c.same);
        EXPECT_EQ(onInts(NSAME, c.a, c.b), c.nsame);
        EXPECT_EQ(onInts(BIGGER, c.a, c.b), c.bigger);
        EXPECT_EQ(onInts(BIG_EQ, c.a, c.b), c.bigEq);
        EXPECT_EQ(onInts(SMAL_EQ, c.a, c.b), c.smalEq);
        EXPECT_EQ(onInts(SMALER, c.a, c.b), c.smaler);
        // The operand given as text, and the target given as text, compare the same way.
        EXPECT_EQ(onText(BIGGER, c.a, c.b), c.bigger);
        EXPECT_EQ(onText(SMAL_EQ, c.a, c.b), c.smalEq);
        EXPECT_EQ(onTarget(SMALER, c.a, c.b), c.smaler ? "1" : "0");
        EXPECT_EQ(onTarget(BIG_EQ, c.a, c.b), c.bigEq ? "1" : "0");
        EXPECT_EQ(onTarget(NSAME, c.a, c.b), c.nsame ? "1" : "0");
    }
}

TEST_F(Operators, MixedComparisonsReadTheTextAsAnInteger) {
    int a = 10;
    SAME(a, VXStr("010"));
    EXPECT_EQ(a, 1);
    a = 0;
    SAME(a, VXStr("zero"));
    EXPECT_EQ(a, 1);

    VXStr s("B");
    SMALER(s, 5);  // 'B' reads as 0
    EXPECT_EQ(Text(s), "1");
    VXStr minus("-5");
    BIGGER(minus, 3);
    EXPECT_EQ(Text(minus), "0");
    VXStr ten("10");
    NSAME(ten, 10);
    EXPECT_EQ(Text(ten), "0");
}

TEST_F(Operators, ComparisonsOfTwoTextsAreByUnsignedBytes) {
    auto compare = [](void (*op)(VXStr&, VXStr), const char* a, const char* b) {
        VXStr target(a);
        op(target, VXStr(b));
        return Text(target);
    };
    // Byte 66 is below 97; numbers are not read here.
    EXPECT_EQ(compare(SMALER, "B", "a"), "1");
    EXPECT_EQ(compare(SAME, "10", "010"), "0");
    EXPECT_EQ(compare(BIGGER, "10", "9"), "0");
    // A byte of 200 ranks above 'a': as a signed char it would rank below.
    EXPECT_EQ(compare(BIGGER, "\xC8", "a"), "1");
    EXPECT_EQ(compare(SMALER, "\xC8", "\x7F"), "0");
    // The shorter text ranks first when it starts the longer.
    EXPECT_EQ(compare(SMALER, "ab", "abc"), "1");
    EXPECT_EQ(compare(BIGGER, "ab", "abc"), "0");
    EXPECT_EQ(compare(SMALER, "", "a"), "1");
    // Equal texts.
    EXPECT_EQ(compare(SAME, "same", "same"), "1");
    EXPECT_EQ(compare(NSAME, "same", "same"), "0");
    EXPECT_EQ(compare(BIG_EQ, "same", "same"), "1");
    EXPECT_EQ(compare(SMAL_EQ, "same", "same"), "1");
    EXPECT_EQ(compare(SMALER, "same", "same"), "0");
    EXPECT_EQ(compare(NSAME, "Same", "same"), "1");
}
