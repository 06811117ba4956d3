// Win32 side of the tests' input: SendInput with both the virtual key and the scan
// code, so that DirectInput's reads and the virtual-key state all see the key, and
// relative mouse moves and clicks.
#include "support/inject.h"

#include <gtest/gtest.h>

#include "platform/win32/win32_internal.h"

namespace vxtest {
namespace {

// Keys of the extended set (code 0x80 and up): their virtual keys.
struct ExtendedKey {
    uint8_t code;
    BYTE vk;
};
const ExtendedKey kExtended[] = {
    {0x9C, VK_RETURN}, {0x9D, VK_RCONTROL}, {0xB5, VK_DIVIDE}, {0xB8, VK_RMENU},  {0xC7, VK_HOME},
    {0xC8, VK_UP},     {0xC9, VK_PRIOR},    {0xCB, VK_LEFT},   {0xCD, VK_RIGHT},  {0xCF, VK_END},
    {0xD0, VK_DOWN},   {0xD1, VK_NEXT},     {0xD2, VK_INSERT}, {0xD3, VK_DELETE}, {0xDB, VK_LWIN},
    {0xDC, VK_RWIN},   {0xDD, VK_APPS},
};

// The virtual key the layout gives a key that bears `symbol`.
BYTE KeyOfSymbol(int symbol) {
    if (symbol >= 'a' && symbol <= 'z') return (BYTE)('A' + symbol - 'a');
    if (symbol >= '0' && symbol <= '9') return (BYTE)symbol;
    switch (symbol) {
        case ';':
        case 0xFC:
            return VK_OEM_1;
        case '=':
        case '+':
            return VK_OEM_PLUS;
        case ',':
            return VK_OEM_COMMA;
        case '-':
            return VK_OEM_MINUS;
        case '.':
            return VK_OEM_PERIOD;
        case '/':
        case '#':
            return VK_OEM_2;
        case '`':
        case 0xF6:
            return VK_OEM_3;
        default:
            return 0;
    }
}

BYTE VirtualKeyOf(uint8_t code, int symbol) {
    if (BYTE vk = KeyOfSymbol(symbol)) return vk;
    for (const ExtendedKey& k : kExtended)
        if (k.code == code) return k.vk;
    // Shift, Ctrl and Alt by their sides, from which the system derives the shared key.
    switch (code) {
        case 0x2A:
            return VK_LSHIFT;
        case 0x36:
            return VK_RSHIFT;
        case 0x1D:
            return VK_LCONTROL;
        case 0x38:
            return VK_LMENU;
        default:
            return (BYTE)::MapVirtualKeyA(code, MAPVK_VSC_TO_VK_EX);
    }
}

void Send(INPUT& input) {
    ASSERT_EQ(::SendInput(1, &input, sizeof(INPUT)), 1u) << "SendInput: " << ::GetLastError();
}

}  // namespace

void FocusWindow(HWND window) {
    Win32HWND native = platform::win32::NativeWindow(window);
    ASSERT_NE(native, nullptr);
    ::SetForegroundWindow(native);
    ::SetActiveWindow(native);
    ::SetFocus(native);
    // The mouse's messages go to the window under the cursor: put it there.
    RECT r;
    if (::GetWindowRect(native, &r)) ::SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    // Relative moves arrive as sent, without the pointer's acceleration.
    int noAcceleration[3] = {0, 0, 0};
    ::SystemParametersInfoA(SPI_SETMOUSE, 0, noAcceleration, 0);
    platform::win32::PumpInputMessages();
}

void PushKey(uint8_t code, bool down, int symbol) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = VirtualKeyOf(code, symbol);
    input.ki.wScan = code & 0x7F;
    input.ki.dwFlags = (code & 0x80 ? KEYEVENTF_EXTENDEDKEY : 0) | (down ? 0 : KEYEVENTF_KEYUP);
    Send(input);
}

void PushMotion(int, int, int dx, int dy) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = dx;
    input.mi.dy = dy;
    input.mi.dwFlags = MOUSEEVENTF_MOVE;
    Send(input);
}

void PushButton(Button button, bool down) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    switch (button) {
        case Button::Left:
            input.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
            break;
        case Button::Right:
            input.mi.dwFlags = down ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP;
            break;
        case Button::Middle:
            input.mi.dwFlags = down ? MOUSEEVENTF_MIDDLEDOWN : MOUSEEVENTF_MIDDLEUP;
            break;
    }
    Send(input);
}

void RequestEnd(int signal) {
    platform::test::ConsoleEvent(signal == 2 ? CTRL_C_EVENT : CTRL_CLOSE_EVENT);
}

}  // namespace vxtest
