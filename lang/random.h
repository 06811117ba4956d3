// The runtime's random generator: 15-bit values, 0 to 32767, seeded once at start.
#pragma once

// Seeds the generator (the host does this once, from the tick count).
void _SeedRandom(unsigned int seed);
// The next value, 0 to 32767.
int _Random();
