// A compiled program for the screen commands' process tests. VX_TEST_MODE "escape"
// holds Escape down before a SHOWSCREEN; "save" loads the picture VX_TEST_PICTURE on
// a 322 x 200 display (rows that need padding) and saves it as VX_TEST_SHOT.
// VX_TEST_OUT names a file of notes that shows how far it got.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/window.h"
#include "support/inject.h"
#include "vamex.h"

namespace {

bool Is(const char* mode) {
    const char* set = std::getenv("VX_TEST_MODE");
    return set && std::strcmp(set, mode) == 0;
}

const char* Env(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

void Note(const char* text) {
    if (FILE* f = std::fopen(Env("VX_TEST_OUT"), "ab")) {
        std::fputs(text, f);
        std::fputs("\n", f);
        std::fclose(f);
    }
}

void PushEscape() {
    vxtest::FocusWindow(hWnd);
    vxtest::Press(vxtest::DIK_ESCAPE);
}

// The end by Escape comes before the flip: any frame presented after the hook is set
// is a frame the end should not have shown.
void NoteShownFrame(HWND) {
    Note("frame shown again");
}

}  // namespace

int GlobalInit(OpenGLLumeris& renderer, HWND window) {
    _VX_RESX = Is("save") ? 322 : 320;
    _VX_RESY = 200;
    _VX_FRAMERATE = 5;
    _VX_DEBUG = 1;
    renderer.Init(window, _VX_RESX, _VX_RESY, 16, (unsigned short)_VX_FRAMERATE);
    renderer.DoWindowed();
    _g_error = _g_errorline = _g_debugline = 0;
    SHOWSCREEN();
    return 0;
}

int MainGameSub() {
    if (Is("save")) {
        _dLn(10);
        Note(LOADBMP(Env("VX_TEST_PICTURE")) == 0 ? "loaded" : "not loaded");
        Note(SAVEBMP(Env("VX_TEST_SHOT")) == 0 ? "saved" : "not saved");
        return 0;
    }
    _dLn(31);
    SPRITE(0, 10, 10, 0);
    SHOWSCREEN();
    Note("frame shown");
    PushEscape();
    platform::test::OnSwap(NoteShownFrame);
    _dLn(42);
    PRINT("never shown", 10, 10);
    Note("before");
    SHOWSCREEN();
    Note("after");
    return 0;
}
