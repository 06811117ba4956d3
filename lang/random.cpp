// The runtime's random generator. A linear congruential generator whose high bits
// give 15-bit values; the C library's rand has another range here.
#include "lang/random.h"

namespace {
unsigned int g_state = 1;
}

void _SeedRandom(unsigned int seed) {
    g_state = seed;
}

int _Random() {
    g_state = g_state * 214013u + 2531011u;
    return (int)((g_state >> 16) & 0x7FFF);
}
