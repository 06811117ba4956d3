// SDL backend of the input system, the keyboard and mouse devices, and the
// Win32-style key state and cursor fall-backs.
#include "platform/sdl/input_backend.h"
#include "platform/sdl/sdl_internal.h"

struct PlatformInput {
    int unused = 0;
};

namespace platform {

using sdl::DeviceKind;
using sdl::Input;
using sdl::InputData;

namespace {

int PartOf(DeviceKind kind) {
    switch (kind) {
        case DeviceKind::Keyboard:
            return (int)test::InputPart::Keyboard;
        case DeviceKind::Mouse:
            return (int)test::InputPart::Mouse;
        default:
            return (int)test::InputPart::Joystick;
    }
}

// Relative mode is SDL's, one for the whole program: on while any exclusive mouse
// holds it. Only the event thread may switch it.
void HoldRelativeMode(InputData& d, PlatformInputDevice* mouse, bool hold) {
    if (mouse->relative == hold || !sdl::OnEventThread()) return;
    mouse->relative = hold;
    d.relativeMice += hold ? 1 : -1;
    if (hold && d.relativeMice == 1) SDL_SetRelativeMouseMode(SDL_TRUE);
    if (!hold && d.relativeMice == 0) SDL_SetRelativeMouseMode(SDL_FALSE);
}

// A read begins: the reader's queue keeps changes from now on, then the pump
// brings in what happened since the last read.
void BeginRead(sdl::ChangeQueue& queue) {
    {
        std::lock_guard<std::mutex> lock(Input().lock);
        queue.MarkReading();
    }
    sdl::PumpEvents();
}

}  // namespace

namespace sdl {

PlatformInputDevice* RegisterDevice(DeviceKind kind) {
    InputData& d = Input();
    std::lock_guard<std::mutex> lock(d.lock);
    if (d.failOpen[PartOf(kind)]) return nullptr;
    for (PlatformInputDevice*& slot : d.devices) {
        if (slot) continue;
        slot = new PlatformInputDevice();
        slot->kind = kind;
        // Keys and buttons already held are held for the new device too.
        for (int s = 0; s < kSources; ++s) {
            if (!d.sourcesDown[s]) continue;
            uint8_t code = 0;
            if (kind == DeviceKind::Keyboard && s < kMouseSourceBase)
                code = KeyCodeOfScancode((SDL_Scancode)s);
            else if (kind == DeviceKind::Mouse && s >= kMouseSourceBase)
                code = MouseSlotOf(s - kMouseSourceBase);
            if (code) slot->held.Apply({(uint16_t)s, {code, 0}, true});
        }
        return slot;
    }
    return nullptr;
}

}  // namespace sdl

PlatformInput* OpenInput() {
    InputData& d = Input();
    {
        std::lock_guard<std::mutex> lock(d.lock);
        if (d.failOpen[(int)test::InputPart::System]) return nullptr;
    }
    // Keyboard and mouse come with the video's events; joysticks need their own part.
    sdl::InitJoysticks();
    return new PlatformInput();
}

void CloseInput(PlatformInput* input) {
    delete input;
}

PlatformInputDevice* OpenKeyboard(PlatformInput* input) {
    return input ? sdl::RegisterDevice(DeviceKind::Keyboard) : nullptr;
}

PlatformInputDevice* OpenMouse(PlatformInput* input) {
    return input ? sdl::RegisterDevice(DeviceKind::Mouse) : nullptr;
}

bool SetCooperativeLevel(PlatformInputDevice* device, HWND window, bool exclusive) {
    if (!device || !window) return false;
    std::lock_guard<std::mutex> lock(Input().lock);
    device->window = window;
    device->exclusive = exclusive;
    return true;
}

bool Acquire(PlatformInputDevice* device) {
    if (!device) return false;
    InputData& d = Input();
    std::lock_guard<std::mutex> lock(d.lock);
    if (d.failAcquire[PartOf(device->kind)]) return false;
    if (device->kind == DeviceKind::Joystick) {
        if (!sdl::ReopenJoystick(device)) return false;
    }
    if (device->kind == DeviceKind::Mouse && device->exclusive && device->window) {
        // Where the driver has no relative mode (offscreen) the motion events still
        // carry the movement; the mouse is only not held.
        HoldRelativeMode(d, device, true);
    }
    device->acquired = true;
    return true;
}

void Unacquire(PlatformInputDevice* device) {
    if (!device) return;
    InputData& d = Input();
    std::lock_guard<std::mutex> lock(d.lock);
    device->acquired = false;
    if (device->kind == DeviceKind::Mouse) HoldRelativeMode(d, device, false);
}

void CloseDevice(PlatformInputDevice* device) {
    if (!device) return;
    Unacquire(device);
    InputData& d = Input();
    std::lock_guard<std::mutex> lock(d.lock);
    for (PlatformInputDevice*& slot : d.devices)
        if (slot == device) slot = nullptr;
    if (device->joystick) SDL_JoystickClose(device->joystick);
    delete device;
}

InputResult ReadKeyboard(PlatformInputDevice* keyboard, uint8_t state[256]) {
    if (!keyboard || keyboard->kind != DeviceKind::Keyboard || !state)
        return InputResult::NotAcquired;
    BeginRead(keyboard->queue);
    std::lock_guard<std::mutex> lock(Input().lock);
    if (!keyboard->acquired) return InputResult::NotAcquired;
    keyboard->queue.ApplyBatch(keyboard->held);
    for (int code = 0; code < 256; ++code) state[code] = keyboard->held.State(code) & 0x80;
    return InputResult::Ok;
}

InputResult ReadMouse(PlatformInputDevice* mouse, MouseState* state) {
    if (!mouse || mouse->kind != DeviceKind::Mouse || !state) return InputResult::NotAcquired;
    BeginRead(mouse->queue);
    std::lock_guard<std::mutex> lock(Input().lock);
    if (!mouse->acquired) return InputResult::NotAcquired;
    mouse->queue.ApplyBatch(mouse->held);
    state->dx = mouse->dx;
    state->dy = mouse->dy;
    state->dz = mouse->dz;
    mouse->dx = mouse->dy = mouse->dz = 0;
    for (int i = 0; i < 4; ++i) state->buttons[i] = mouse->held.State(i + 1) & 0x80;
    return InputResult::Ok;
}

int16_t AsyncKeyState(int vk) {
    if (vk <= 0 || vk > 255) return 0;
    InputData& d = Input();
    std::lock_guard<std::mutex> lock(d.lock);
    int result = (d.virtualKeys.State(vk) & 0x80) ? 0x8000 : 0;
    if (d.virtualKeys.TakePressed(vk)) result |= 0x0001;
    return (int16_t)result;
}

void KeyboardState(uint8_t state[256]) {
    if (!state) return;
    BeginRead(Input().virtualKeyQueue);
    InputData& d = Input();
    std::lock_guard<std::mutex> lock(d.lock);
    d.virtualKeyQueue.ApplyBatch(d.virtualKeys);
    for (int vk = 0; vk < 256; ++vk) state[vk] = d.virtualKeys.State(vk) & 0x81;
}

bool CursorPosition(int* x, int* y) {
    if (!x || !y) return false;
    BeginRead(Input().virtualKeyQueue);
    InputData& d = Input();
    std::lock_guard<std::mutex> lock(d.lock);
    d.virtualKeyQueue.ApplyBatch(d.virtualKeys);
    if (sdl::OnEventThread()) {
        // The system's pointer, where the driver knows it, also moves the cursor
        // while it is outside the window and no events come.
        int gx, gy;
        SDL_GetGlobalMouseState(&gx, &gy);
        if (d.haveGlobal ? gx != d.lastGlobalX || gy != d.lastGlobalY : !d.cursorKnown) {
            d.cursorX = gx;
            d.cursorY = gy;
        }
        d.lastGlobalX = gx;
        d.lastGlobalY = gy;
        d.haveGlobal = true;
    }
    *x = d.cursorX;
    *y = d.cursorY;
    return true;
}

bool MoveCursorTo(int x, int y) {
    InputData& d = Input();
    std::lock_guard<std::mutex> lock(d.lock);
    d.cursorX = x;
    d.cursorY = y;
    d.cursorKnown = true;
    if (sdl::OnEventThread() && SDL_WarpMouseGlobal(x, y) == 0) {
        d.lastGlobalX = x;
        d.lastGlobalY = y;
    }
    return true;
}

}  // namespace platform

namespace platform::test {

void FailOpen(InputPart part, bool fail) {
    sdl::InputData& d = sdl::Input();
    std::lock_guard<std::mutex> lock(d.lock);
    d.failOpen[(int)part] = fail;
}

void FailAcquire(InputPart part, bool fail) {
    sdl::InputData& d = sdl::Input();
    std::lock_guard<std::mutex> lock(d.lock);
    d.failAcquire[(int)part] = fail;
}

void SettleInput() {
    sdl::PumpEvents();
    sdl::InputData& d = sdl::Input();
    std::lock_guard<std::mutex> lock(d.lock);
    d.virtualKeyQueue.ApplyAll(d.virtualKeys);
    d.virtualKeys.ClearPressed();
    for (PlatformInputDevice* dev : d.devices)
        if (dev) dev->queue.ApplyAll(dev->held);
}

}  // namespace platform::test
