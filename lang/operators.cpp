// The language's operators. Integers are 32-bit and wrap around; the arithmetic is
// done in unsigned so that a wrap is defined behaviour, not an overflow.
#include "lang/operators.h"

#include <climits>

#include "base/errors.h"

namespace {

int Wrapped(unsigned int value) {
    return (int)value;
}

// A string target does not compute: it collects the text of the expression.
// The sign and the operand are two appends, each under the length rule.
int AppendTerm(VXStr& a, const char* sign, const VXStr& b) {
    a += sign;
    a += b;
    return 0;
}

int AppendTerm(VXStr& a, const char* sign, int b) {
    a += sign;
    a += b;
    return 0;
}

}  // namespace

int SUB(int& a, int b) {
    a = Wrapped((unsigned int)a - (unsigned int)b);
    return 0;
}
int SUB(int& a, VXStr b) {
    return SUB(a, (int)b);
}
int SUB(VXStr& a, int b) {
    return AppendTerm(a, "-", b);
}
int SUB(VXStr& a, VXStr b) {
    return AppendTerm(a, "-", b);
}

int MUL(int& a, int b) {
    a = Wrapped((unsigned int)a * (unsigned int)b);
    return 0;
}
int MUL(int& a, VXStr b) {
    return MUL(a, (int)b);
}
int MUL(VXStr& a, int b) {
    return AppendTerm(a, "*", b);
}
int MUL(VXStr& a, VXStr b) {
    return AppendTerm(a, "*", b);
}

int DIV(int& a, int b) {
    if (b == 0) return _Error(VX_ERR_DIVISION);
    // The one quotient that does not fit wraps to itself, as the other operators wrap.
    if (a == INT_MIN && b == -1) return 0;
    a /= b;
    return 0;
}
int DIV(int& a, VXStr b) {
    return DIV(a, (int)b);
}
int DIV(VXStr& a, int b) {
    return AppendTerm(a, "/", b);
}
int DIV(VXStr& a, VXStr b) {
    return AppendTerm(a, "/", b);
}

void NOT(int& a, int b) {
    a = b == 0 ? 1 : 0;
}
void NOT(VXStr& a, int b) {
    a = b == 0 ? "1" : "0";
}
void OR(int& a, int b) {
    a |= b;
}
void OR(VXStr& a, int b) {
    a = (int)a | b;
}
void AND(int& a, int b) {
    a &= b;
}
void AND(VXStr& a, int b) {
    a = (int)a & b;
}

// The four forms of one comparison differ only in the test. Mixed forms read the
// string as an integer; two strings compare by Compare, bytes as unsigned values.
#define VX_COMPARISON(NAME, TEST)              \
    void NAME(int& a, int b) {                 \
        a = (a TEST b) ? 1 : 0;                \
    }                                          \
    void NAME(int& a, VXStr b) {               \
        a = (a TEST(int) b) ? 1 : 0;           \
    }                                          \
    void NAME(VXStr& a, int b) {               \
        a = ((int)a TEST b) ? "1" : "0";       \
    }                                          \
    void NAME(VXStr& a, VXStr b) {             \
        a = (a.Compare(b) TEST 0) ? "1" : "0"; \
    }

VX_COMPARISON(SAME, ==)
VX_COMPARISON(NSAME, !=)
VX_COMPARISON(BIGGER, >)
VX_COMPARISON(BIG_EQ, >=)
VX_COMPARISON(SMAL_EQ, <=)
VX_COMPARISON(SMALER, <)

#undef VX_COMPARISON
