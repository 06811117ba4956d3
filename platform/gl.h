// The system's OpenGL (1.1 calls only), for the renderer and the font.
#pragma once
#include <GL/gl.h>
