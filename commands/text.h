// Text commands over the font `fnt`.
#pragma once
#include "lang/VXStr.h"

// Draws the text with the top-left corner of its first glyph at (x, y); 0.
int PRINT(VXStr text, int x, int y);
// Draws the value in decimal at (x, y); 0.
int PRINT(int value, int x, int y);
// Loads another font picture, wrapping at _VX_RESX; 0, or error 3 when it fails
// (the previous font stays in use).
int LOADFONT(VXStr file);
