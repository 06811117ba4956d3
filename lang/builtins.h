// The language's math, random, substring and box-collision functions.
#pragma once

#include "lang/VXStr.h"

// Sine of whole degrees, times 1000, truncated toward zero.
int SIN(int degrees);
// Cosine of whole degrees, times 1000, truncated toward zero.
int COS(int degrees);
// Tangent of whole degrees, times 1000, truncated; -2147483648 where it leaves the int range.
int TAN(int degrees);
// A random number from 0 to n, drawn from the runtime's 15-bit generator; RND(-1) is 0.
int RND(int n);
// target = `count` characters of source from position `start` (from 0); empty when
// nothing lies there. Returns 0.
int MIDSTR(VXStr source, VXStr& target, int start, int count);
// result = 1 when the boxes (x, y, width, height) overlap, touching edges not counted;
// a box with a width or height of 0 or less collides with nothing. Returns 0.
int BOXCOLL(int& result, int x1, int y1, int w1, int h1, int x2, int y2, int w2, int h2);
