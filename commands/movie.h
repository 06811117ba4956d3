// The movie command: hands the screen to the external player "reelrun.exe".
#pragma once
#include "lang/VXStr.h"

// Hides the display, runs "reelrun.exe" from the working directory with the movie
// text as its one argument, waits for it and restores the display. 0, or 3 when
// the player cannot be started (not recorded as an error).
int PLAYMOVIE(VXStr movie);
