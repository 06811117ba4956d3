// Win32 fall-backs of the input devices (virtual-key state, cursor position), the
// pump of the input messages they depend on, and the tests' hooks.
#include "platform/win32/input_backend.h"

namespace platform {

namespace win32 {

void PumpInputMessages() {
    // Only the input messages: a close or quit stays for the program's own loop.
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE) ||
           ::PeekMessageA(&msg, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE))
        ::DispatchMessageA(&msg);
}

}  // namespace win32

int16_t AsyncKeyState(int vk) {
    if (vk <= 0 || vk > 255) return 0;
    int state = ::GetAsyncKeyState(vk) & 0x8001;
    // Some systems (Wine) keep the "pressed since" bit only on the left and right keys
    // of Shift, Ctrl and Alt: a press of either side counts for the shared key.
    int left = 0;
    switch (vk) {
        case VK_SHIFT:
            left = VK_LSHIFT;
            break;
        case VK_CONTROL:
            left = VK_LCONTROL;
            break;
        case VK_MENU:
            left = VK_LMENU;
            break;
        default:
            break;
    }
    if (left) state |= (::GetAsyncKeyState(left) | ::GetAsyncKeyState(left + 1)) & 0x0001;
    return (int16_t)state;
}

void KeyboardState(uint8_t state[256]) {
    if (!state) return;
    win32::PumpInputMessages();
    BYTE keys[256];
    if (!::GetKeyboardState(keys)) {
        for (int vk = 0; vk < 256; ++vk) state[vk] = 0;
        return;
    }
    for (int vk = 0; vk < 256; ++vk) state[vk] = keys[vk] & 0x81;
}

bool CursorPosition(int* x, int* y) {
    if (!x || !y) return false;
    win32::PumpInputMessages();
    POINT p;
    if (!::GetCursorPos(&p)) return false;
    *x = (int)p.x;
    *y = (int)p.y;
    return true;
}

bool MoveCursorTo(int x, int y) {
    return ::SetCursorPos(x, y) != 0;
}

}  // namespace platform

namespace platform::test {

void FailOpen(InputPart part, bool fail) {
    win32::InputData& d = win32::Input();
    std::lock_guard<std::mutex> lock(d.lock);
    d.failOpen[(int)part] = fail;
}

void FailAcquire(InputPart part, bool fail) {
    win32::InputData& d = win32::Input();
    std::lock_guard<std::mutex> lock(d.lock);
    d.failAcquire[(int)part] = fail;
}

void SettleInput() {
    win32::PumpInputMessages();
    win32::InputData& d = win32::Input();
    std::lock_guard<std::mutex> lock(d.lock);
    for (PlatformInputDevice* device : d.devices) {
        if (!device || !device->acquired || device->kind == win32::DeviceKind::Joystick) continue;
        InputResult result;
        if (!win32::Drain(device, &result)) continue;
        while (!device->queue.Empty()) device->queue.ApplyBatch(device->held);
    }
    // Asking clears each key's "pressed since the last query" bit.
    for (int vk = 1; vk < 256; ++vk) ::GetAsyncKeyState(vk);
}

}  // namespace platform::test
