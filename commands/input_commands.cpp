// The input commands over DXin; INPUT also draws through the renderer and the font.
#include "commands/input_commands.h"

#include <chrono>
#include <cstring>
#include <thread>

#include "base/ending.h"
#include "base/errors.h"
#include "base/settings.h"
#include "commands/devices.h"
#include "input/DirectInput.h"
#include "render/OpenGLFont.h"
#include "render/OpenGLLumeris.h"

namespace {

// INPUT keeps the picture behind its text here while it runs.
constexpr int kInputSurface = 3;
// Empty polls the cursor holds its state for; it changes on the next, every 21st.
constexpr int kBlinkPolls = 20;

constexpr unsigned char kEscape = 1;

// The waiting loops hand the processor back between polls; input arrives by events,
// so a short pause loses nothing.
void Pause() {
    _EndIfRequested();
    std::this_thread::sleep_for(std::chrono::microseconds(500));
}

// The frame INPUT shows: the kept picture, the text and, when on, the cursor.
void ShowLine(const VXStr& text, bool cursor, int x, int y) {
    lumeris.PasteSurface(kInputSurface, 0, 0);
    VXStr shown = text;
    if (cursor) shown += "_";  // not shown once the text is full
    fnt.Print((const char*)shown, (short)x, (short)y);
    lumeris.FlipScreens();
}

}  // namespace

int KEY(int code) {
    DXin.GetKeyboardStatus();
    return DXin.GetKey((unsigned char)code) ? 1 : 0;
}

int INPUT(VXStr& text, int x, int y) {
    int blink = 0;
    bool cursor = false;
    lumeris.GrabSurface(kInputSurface);
    ShowLine(text, cursor, x, y);
    for (;;) {
        signed char c = DXin.GetKeyChar();
        if (c == 0) {
            if (++blink > kBlinkPolls) {
                blink = 0;
                cursor = !cursor;
            }
        } else if (c == 13) {  // Enter, or Escape
            break;
        } else if (c == 8) {
            int length = (int)std::strlen(text);
            if (length > 0) text.Left(length - 1);
        } else {
            const char typed[2] = {(char)c, 0};
            text += typed;  // refused whole past 1022 characters
        }
        ShowLine(text, cursor, x, y);
    }
    lumeris.FreeSurface(kInputSurface);
    return 0;
}

int INPUT(int& value, int x, int y) {
    VXStr line;
    INPUT(line, x, y);
    value = (int)line;
    return 0;
}

int JOYSTATE(int& x, int& y, int& button1, int& button2) {
    // A fresh record: a read that fails reports centred axes and no buttons.
    vxinput::DIJOYSTATE state{};
    DXin.GetJoystickData(&state, 0);
    x = state.lX;
    y = state.lY;
    button1 = state.rgbButtons[0];
    button2 = state.rgbButtons[1];
    return 0;
}

int KEYWAIT() {
    while (!DXin.AnyKey()) Pause();
    return 0;
}

int MOUSESTATE(int& x, int& y, int& button1, int& button2) {
    DIMOUSEDATA mouse{};
    DXin.GetMouseData(&mouse);
    // Summed wide, so a position the program set far out cannot overflow.
    long long mx = (long long)_g_mx + mouse.dx;
    long long my = (long long)_g_my + mouse.dy;
    // Inclusive: the position may sit one past the last pixel.
    const int width = lumeris.Width(), height = lumeris.Height();
    if (mx > width) mx = width;
    if (my > height) my = height;
    if (mx < 0) mx = 0;
    if (my < 0) my = 0;
    _g_mx = (int)mx;
    _g_my = (int)my;
    button1 = mouse.btnLeft ? 1 : 0;
    button2 = mouse.btnRight ? 1 : 0;
    x = _g_mx;
    y = _g_my;
    return 0;
}

int MOUSEWAIT() {
    while (DXin.AnyMouse()) Pause();
    for (;;) {
        if (DXin.AnyMouse()) return 0;
        DXin.GetKeyboardStatus();
        if (DXin.GetKey(kEscape)) return _Error(VX_ERR_ENDED);
        Pause();
    }
}
