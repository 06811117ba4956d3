// Screen and sprite commands: thin functions over the renderer `lumeris`.
#pragma once
#include "lang/VXStr.h"

// Draws sprite n at (x, y); blend 0 is opaque, otherwise blend / 100 is the blend amount.
int SPRITE(int n, int x, int y, int blend);
// Draws sprite n enlarged by |zoom| percent of its texture size in each direction.
int ZOOMSPRITE(int n, int x, int y, int zoomX, int zoomY, int blend);
// Draws sprite n turned by angle degrees.
int ROTOSPRITE(int n, int x, int y, int angle, int blend);
// Draws sprite n turned and scaled to zoom percent of its texture size.
int ROTOZOOMSPRITE(int n, int x, int y, int angle, int zoom, int blend);
// Ends the frame: keyboard poll (Escape ends the program), flip, background paste.
int SHOWSCREEN();
// Blanks the frame in progress and empties the background.
int BLACKSCREEN();
// Cross-fades from the current frame to a picture, which becomes the background.
int BLENDSCREEN(VXStr file);
// Makes the frame in progress the background.
int USEASBMP();
// Loads a picture as the background and pastes it.
int LOADBMP(VXStr file);
// Loads a sprite picture into slot n with the colour key 0x8000FF.
int LOADSPRITE(VXStr file, int n);
// Writes the frame in progress as a 24-bit BMP file.
int SAVEBMP(VXStr file);
