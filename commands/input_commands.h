// The input commands: KEY, the line editor INPUT, JOYSTATE, KEYWAIT, MOUSESTATE and
// MOUSEWAIT, thin functions over the host's input object DXin. Keys are DirectInput
// key codes (1 Escape, 28 Enter, 57 Space).
#pragma once
#include "lang/VXStr.h"

// 1 while the key with code `code` (its low 8 bits) is down, else 0.
int KEY(int code);
// Edits `text` at (x, y) until Enter or Escape, over the frame drawn so far; 0.
int INPUT(VXStr& text, int x, int y);
// Reads a line at (x, y) and stores its leading decimal number (0 for none); 0.
int INPUT(int& value, int x, int y);
// Joystick 0: x and y at -1, 0 or +1, buttons 0 and 1 as 0 or 1; 0.
int JOYSTATE(int& x, int& y, int& button1, int& button2);
// Waits until a key other than Escape is down (in keyboard fall-back mode any key); 0.
int KEYWAIT();
// Moves the kept mouse position by the movement since the last read, held within 0 to
// the display's width and height inclusive; the left and right buttons as 0 or 1; 0.
int MOUSESTATE(int& x, int& y, int& button1, int& button2);
// Waits until every mouse button is up, then until one is pressed; 0, or error 10
// when Escape ends the second wait.
int MOUSEWAIT();
