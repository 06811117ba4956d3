// The system's OpenGL (1.1 calls only), for the renderer and the font.
#pragma once
#if defined(_WIN32) && !(defined(WINGDIAPI) && defined(APIENTRY))
// Windows' gl.h would pull in <windows.h>, whose macros must stay inside platform/win32.
#define WINGDIAPI __declspec(dllimport)
#define APIENTRY __stdcall
#include <GL/gl.h>
#undef WINGDIAPI
#undef APIENTRY
#else
#include <GL/gl.h>
#endif
#ifndef GL_BGR
#define GL_BGR 0x80E0  // GL_BGR_EXT in Windows' OpenGL 1.1 headers
#endif
