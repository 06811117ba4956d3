// The compiled game program: open a 640 x 480 display, set line 72 of the flight
// simulator's configuration to the scroll setting, end. Built once per setting.
#include "vamex.h"

#ifndef VX_SCROLL_SETTING
#error "VX_SCROLL_SETTING names the line the program writes"
#endif

VXStr filetoscan_Str;
VXStr stgstg0_Str;
VXStr stgstg1_Str;

int GlobalInit(OpenGLLumeris& renderer, HWND window) {
    _VX_RESX = 640;
    _VX_RESY = 480;
    _VX_FULLSCREEN = 0;
    _VX_FRAMERATE = 10;
    _VX_DEBUG = 0;
    renderer.Init(window, _VX_RESX, _VX_RESY, 16, (unsigned short)_VX_FRAMERATE);
    if (_VX_FULLSCREEN)
        renderer.DoFullscreen();
    else
        renderer.DoWindowed();
    _g_my = 100;
    _g_mx = 100;
    _g_errorline = 0;
    _g_error = 0;
    _g_debugline = 0;
    SHOWSCREEN();
    return 0;
}

int MainGameSub() {
    stgstg0_Str = "c:\\program files\\microsoft games\\combat flight simulator 2\\cfs2.cfg";
    stgstg1_Str = VX_SCROLL_SETTING;
    filetoscan_Str = stgstg0_Str;
    PUTFILE(filetoscan_Str, 72, stgstg1_Str);
    return 0;
}
