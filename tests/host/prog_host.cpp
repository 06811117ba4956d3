// A compiled program for the host's tests, run as a process. VX_TEST_MODE picks
// how it ends; VX_TEST_OUT names a file it writes to show how far it got.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <chrono>
#include <thread>

#include "platform/window.h"
#include "render/OpenGLFont.h"
#include "support/inject.h"
#include "vamex.h"

namespace {

const char* Mode() {
    const char* mode = std::getenv("VX_TEST_MODE");
    return mode ? mode : "";
}

bool Is(const char* mode) {
    return std::strcmp(Mode(), mode) == 0;
}

void Note(const char* text) {
    if (const char* out = std::getenv("VX_TEST_OUT")) {
        if (FILE* f = std::fopen(out, "ab")) {
            std::fputs(text, f);
            std::fputs("\n", f);
            std::fclose(f);
        }
    }
}

bool OnSecondThread() {
    return std::strncmp(Mode(), "thread", 6) == 0;
}

// Static construction runs on the process's main thread.
const std::thread::id mainThread = std::this_thread::get_id();

bool OnMainThread() {
    return std::this_thread::get_id() == mainThread;
}

// The second-thread path is chosen by a debug setting in force before the entry.
[[maybe_unused]] const int chooseThread = (_VX_DEBUG = OnSecondThread() ? 1 : 0);

// Static destruction shows which thread took the devices down, if any did.
struct DestructionNote {
    ~DestructionNote() {
        if (std::strncmp(Mode(), "thread-", 7) == 0)
            Note(OnMainThread() ? "destroyed on the main thread" : "destroyed on the game thread");
    }
} destructionNote;

}  // namespace

int GlobalInit(OpenGLLumeris& renderer, HWND window) {
    _VX_RESX = 320;
    _VX_RESY = 200;
    _VX_FRAMERATE = 5;
    _VX_DEBUG = (Is("debug") || OnSecondThread()) ? 1 : 0;
    renderer.Init(window, _VX_RESX, _VX_RESY, 16, (unsigned short)_VX_FRAMERATE);
    renderer.DoWindowed();
    _g_mx = _g_my = 100;
    _g_error = _g_errorline = _g_debugline = 0;
    SHOWSCREEN();
    return 0;
}

int MainGameSub() {
    char line[128];
    std::snprintf(line, sizeof line, "main-thread %d", OnMainThread() ? 1 : 0);
    Note(line);
    std::snprintf(line, sizeof line, "size %d %d", lumeris.Width(), lumeris.Height());
    Note(line);
    // The font wraps at 800 on the main thread, at the display width on a thread of its own.
    std::snprintf(line, sizeof line, "font-width %d", (int)fnt.GetScreenWidth());
    Note(line);
    if (Is("end")) END();
    if (Is("sprite") || Is("sprite-end")) {
        // Drawn, never shown: the renderer's textures are still bound when the program ends.
        Note(LOADSPRITE("SMALFONT.BMP", 0) == 0 ? "sprite loaded" : "sprite not loaded");
        SPRITE(0, 10, 10, 0);
        if (Is("sprite-end")) END();
    }
    if (Is("debug") || Is("thread")) _Error(6);
    if (Is("signal") || Is("thread-signal")) {
        // As an interrupt from outside: the close message at the next frame.
        const char* number = std::getenv("VX_TEST_SIGNAL");
        vxtest::RequestEnd(number ? std::atoi(number) : 15);
        // On the second-thread path each message the main thread dispatches costs it
        // half a second, and a display sends a few: frames for twenty seconds.
        for (int i = 0; i < 4000; ++i) SHOWSCREEN();
        Note("not closed");
    }
    if (Is("thread-close")) {
        // The main thread takes the close; this thread ends it at its wait's next poll.
        platform::QueueMessage(hWnd, platform::WM_CLOSE, 0, 0);
        KEYWAIT();
        Note("not closed");
    }
    if (Is("thread-stuck")) {
        // A long command without a frame: the close cannot wait for it for ever.
        platform::QueueMessage(hWnd, platform::WM_CLOSE, 0, 0);
        std::this_thread::sleep_for(std::chrono::seconds(30));
        Note("not closed");
    }
    if (Is("close")) {
        // The close message reaches the window procedure through the next frame.
        platform::QueueMessage(hWnd, platform::WM_CLOSE, 0, 0);
        for (int i = 0; i < 100; ++i) SHOWSCREEN();
        Note("not closed");
    }
    // A line on stderr: a folder that does not exist.
    if (Is("console")) PUTFILE("no such folder\\a.cfg", 0, "x");
    Note("returned");
    return 0;
}
