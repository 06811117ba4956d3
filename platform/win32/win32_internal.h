// What the Win32 backend's files share: the system's headers, taken in under names
// that keep clear of the seam's own handle types, and the native window behind a
// PlatformWindow. Never included outside platform/win32/ (and the Windows side of
// the tests' support code).
#pragma once

#include <string>

// The seam's headers come first: their constants share names with the system's
// macros (VK_*, WM_*, DS*), which must not exist yet where the seam declares them.
// The macros have the seam's values, except the results of audio.cpp.
#include "platform/audio.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/input.h"
#include "platform/process.h"
#include "platform/thread.h"
#include "platform/types.h"
#include "platform/window.h"

#ifndef DIRECTINPUT_VERSION
#define DIRECTINPUT_VERSION 0x0700
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif

// The seam calls its handles HWND, HDC, ... as the system's code does; the system's
// own types of those names are declared here as Win32HWND and so on (the integer
// ones differ in type on 32-bit Windows).
#define HWND Win32HWND
#define HDC Win32HDC
#define HGLRC Win32HGLRC
#define HINSTANCE Win32HINSTANCE
#define HPALETTE Win32HPALETTE
#define LRESULT Win32LRESULT
#define WPARAM Win32WPARAM
#define LPARAM Win32LPARAM
#include <windows.h>
#include <mmsystem.h>
#include <dinput.h>
#include <dsound.h>
#undef HWND
#undef HDC
#undef HGLRC
#undef HINSTANCE
#undef HPALETTE
#undef LRESULT
#undef WPARAM
#undef LPARAM

namespace platform::win32 {

// The system's window behind a PlatformWindow; null for a null or closed window.
// Defined with the window (window.cpp).
Win32HWND NativeWindow(HWND window);

// Takes the keyboard and mouse messages waiting for the calling thread's windows and
// dispatches them, so that the thread's key state is current. Other messages stay
// queued for the program's own message loop.
void PumpInputMessages();

// Waits until `object` is signalled (true) or `ms` have passed (false; INFINITE never
// passes), answering meanwhile the messages that other threads and programs send to
// the calling thread's windows; posted messages stay queued. With a null `object`, a
// sleep of `ms`. False at once when the system cannot wait.
bool WaitAnsweringSentMessages(::HANDLE object, DWORD ms);

// The system's wide name for a file name the runtime holds: read as UTF-8, as program
// texts and Linux have names, or where the bytes are no valid UTF-8, as the ANSI code
// page reads them (what the ANSI functions always did). files.cpp.
std::wstring WideName(const char* name);
inline std::wstring WideName(const std::string& name) {
    return WideName(name.c_str());
}
// A name the system gave, as UTF-8.
std::string Utf8Name(const wchar_t* name, size_t length);

// Whether the space-separated extension list `list` holds `name` as a whole word
// (wgl.cpp).
bool ListsExtension(const char* list, const char* name);

// Makes `window` the one the console's requests to end the program close, unless
// another already is (console.cpp).
void ListenToConsole(Win32HWND window);
// Forgets `window` as the one the console's requests close.
void StopListening(Win32HWND window);

}  // namespace platform::win32

namespace platform::test {

// Delivers the console event `event` (CTRL_C_EVENT, CTRL_CLOSE_EVENT, ...) as the
// system does: to the program's handler, on a thread of its own.
void ConsoleEvent(uint32_t event);

}  // namespace platform::test
