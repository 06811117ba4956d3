// The program's start-up settings and the runtime state every subsystem may read.
#pragma once

// Start-up settings, written by the program's GlobalInit.
extern int _VX_RESX;
extern int _VX_RESY;
extern int _VX_DEBUG;
extern int _VX_FULLSCREEN;
extern int _VX_FRAMERATE;

// Mouse position kept by MOUSESTATE.
extern int _g_mx;
extern int _g_my;
