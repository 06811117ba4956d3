// The language's math, random, substring and box-collision functions. The language
// computes in integers: angles are whole degrees, trig results are scaled by 1000.
#include "lang/builtins.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

#include "lang/random.h"

namespace {

// Degrees per radian as the language has always used it; slightly below 180/pi,
// which is why COS(60) is 499. Results depend on this exact value.
constexpr double kDegreesPerRadian = 57.2957795;

// Truncates toward zero; a value outside the int range (or not a number) gives
// the smallest int, spelled out rather than left to an undefined conversion.
int Truncate(double value) {
    if (!(value > -2147483649.0 && value < 2147483648.0)) return INT_MIN;
    return (int)value;
}

}  // namespace

int SIN(int degrees) {
    return Truncate(std::sin(degrees / kDegreesPerRadian) * 1000.0);
}

int COS(int degrees) {
    return Truncate(std::cos(degrees / kDegreesPerRadian) * 1000.0);
}

int TAN(int degrees) {
    return Truncate(std::tan(degrees / kDegreesPerRadian) * 1000.0);
}

int RND(int n) {
    int r = _Random();
    // n + 1 is formed in 64 bits so RND(2147483647) does not overflow; the
    // remainder takes the sign of r, so it is never negative.
    long long range = (long long)n + 1;
    if (range == 0) return 0;
    return (int)(r % range);
}

int MIDSTR(VXStr source, VXStr& target, int start, int count) {
    int length = (int)std::strlen(source);
    if (start < 0 || start >= length || count <= 0) {
        target = "";
        return 0;
    }
    count = std::min(count, length - start);
    target = (const char*)source + start;
    target.Left(count);
    return 0;
}

int BOXCOLL(int& result, int x1, int y1, int w1, int h1, int x2, int y2, int w2, int h2) {
    result = 0;
    // Far edges in 64 bits: boxes near the int limits do not wrap around.
    long long right1 = (long long)x1 + w1, bottom1 = (long long)y1 + h1;
    long long right2 = (long long)x2 + w2, bottom2 = (long long)y2 + h2;
    // The intersection of the two rectangles; a collision when it is not empty.
    long long left = std::max(x1, x2), right = std::min(right1, right2);
    long long top = std::max(y1, y2), bottom = std::min(bottom1, bottom2);
    result = (left < right && top < bottom) ? 1 : 0;
    return 0;
}
