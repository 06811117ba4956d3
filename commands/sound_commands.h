// The sound commands over the host's sample slots DXwav and the device DXsnd.
#pragma once

#include "lang/VXStr.h"

// Loads a WAV file into slot `slot` (above 127: 127) with `buffers` play buffers
// (1 to 4 take effect); 0, or 3 when nothing was loaded.
int LOADSOUND(VXStr fileName, int slot, int buffers);
// Plays slot `slot` (above 127: 127) once, at pan -100 (left) to 100 (right); pan 0
// keeps the play buffer's pan. Always 0.
int PLAYSOUND(int slot, int pan);
// Stops and rewinds every sample. Always 0.
int HUSH();
