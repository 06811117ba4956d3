// The process entry, the window procedure and the game thread.
#pragma once
#include <cstdint>
#include "platform/types.h"

class OpenGLLumeris;

// Supplied by the compiled program.
int GlobalInit(OpenGLLumeris& renderer, HWND window);
int MainGameSub();

#ifdef _WIN32
// The system's calling convention for its entry: the host's WinMain is the one the
// system enters.
#define VX_WINAPI __stdcall
#else
#define VX_WINAPI
#endif

// The process entry: window, seed, game thread; see host/winmain.cpp.
int VX_WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, char* commandLine, int showFlag);
// The window procedure of the game's window.
LRESULT WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The second game thread's procedure; `parameter` is the instance handle.
uint32_t ExternalThread(void* parameter);

// Ends the process with `code`, or 128 + the signal's number when an interrupt asked
// for the end. While the game runs on a thread of its own: on the game thread, once
// the main thread is out of the window; elsewhere at once, without static destruction,
// so no device is torn down under the game thread's feet.
[[noreturn]] void _HostExit(int code);
// Marks that the game is about to run on a thread of its own (before it starts).
void _HostGameOnSecondThread();
// Called first thing on the game's own thread.
void _HostEnterGameThread();
// The main thread's window calls while the game runs on its own thread are bracketed
// by these. Enter does not return once the game thread is ending the process.
void _HostMainEnterWindow();
void _HostMainLeaveWindow();
// A close while the game runs on a thread of its own: hands the end to the game
// thread (its next flip or wait poll) and waits a bounded time; does not return.
// Returns at once on the main-thread path or on the game thread itself.
void _HostCloseOnSecondThread();
