// Win32 backend of the input system and of the keyboard and mouse devices, over
// DirectInput 7. Reads take the device's buffered data batch by batch; the immediate
// state sets the keys and buttons afresh when a device is acquired or its buffer
// overflowed.
#include <new>

#include "platform/win32/input_backend.h"

namespace platform {

using win32::DeviceKind;
using win32::Input;
using win32::InputData;

namespace win32 {
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

// DirectInput's offsets of the mouse record's fields.
constexpr DWORD kMouseX = 0, kMouseY = 4, kMouseZ = 8, kMouseButton0 = 12;

bool SetBufferSize(IDirectInputDeviceA* device, DWORD events) {
    DIPROPDWORD size{};
    size.diph.dwSize = sizeof(DIPROPDWORD);
    size.diph.dwHeaderSize = sizeof(DIPROPHEADER);
    size.diph.dwObj = 0;
    size.diph.dwHow = DIPH_DEVICE;
    size.dwData = events;
    return SUCCEEDED(device->SetProperty(DIPROP_BUFFERSIZE, &size.diph));
}

// Virtual key of a DirectInput key code, for the keys the thread's state knows.
UINT VirtualKeyOf(int code) {
    UINT scan = (UINT)(code & 0x7F) | ((code & 0x80) ? 0xE000 : 0);
    return ::MapVirtualKeyA(scan, MAPVK_VSC_TO_VK_EX);
}

// Lets go of keys the device and the thread both see up. DirectInput reports no
// release of a key that was already down when the device was acquired (it never saw
// the press), so such a key would stay held here for good.
void ReleaseStaleKeys(PlatformInputDevice* keyboard) {
    BYTE device[256], thread[256];
    if (FAILED(keyboard->device->GetDeviceState(sizeof(device), device)) ||
        !::GetKeyboardState(thread))
        return;
    for (int code = 1; code < 256; ++code) {
        if (!keyboard->held[code] || (device[code] & 0x80)) continue;
        UINT vk = VirtualKeyOf(code);
        if (vk == 0 || vk > 255 || !(thread[vk] & 0x80)) keyboard->held[code] = 0;
    }
}

PlatformInputDevice* OpenDevice(PlatformInput* input, DeviceKind kind, REFGUID guid,
                                const DIDATAFORMAT* format) {
    if (!input || !input->directInput || OpenFails(kind)) return nullptr;
    IDirectInputDeviceA* device = nullptr;
    if (FAILED(input->directInput->CreateDevice(guid, &device, nullptr)) || !device) return nullptr;
    // Without the buffer a press and release between two reads would be missed.
    if (FAILED(device->SetDataFormat(format)) || !SetBufferSize(device, kBufferedEvents)) {
        device->Release();
        return nullptr;
    }
    PlatformInputDevice* result = new (std::nothrow) PlatformInputDevice();
    if (!result) {
        device->Release();
        return nullptr;
    }
    result->kind = kind;
    result->device = device;
    if (!ListDevice(result)) {
        device->Release();
        delete result;
        return nullptr;
    }
    return result;
}

}  // namespace

InputData& Input() {
    // Never destroyed: the runtime's globals close their devices during exit.
    static InputData* data = new InputData();
    return *data;
}

bool ListDevice(PlatformInputDevice* device) {
    InputData& d = Input();
    std::lock_guard<std::mutex> lock(d.lock);
    for (PlatformInputDevice*& slot : d.devices) {
        if (slot) continue;
        slot = device;
        return true;
    }
    return false;
}

void UnlistDevice(PlatformInputDevice* device) {
    InputData& d = Input();
    std::lock_guard<std::mutex> lock(d.lock);
    for (PlatformInputDevice*& slot : d.devices)
        if (slot == device) slot = nullptr;
}

bool OpenFails(DeviceKind kind) {
    InputData& d = Input();
    std::lock_guard<std::mutex> lock(d.lock);
    return d.failOpen[PartOf(kind)];
}

bool AcquireFails(DeviceKind kind) {
    InputData& d = Input();
    std::lock_guard<std::mutex> lock(d.lock);
    return d.failAcquire[PartOf(kind)];
}

bool ChangeQueue::Push(InputChange change) {
    if (count_ == kCapacity) return false;
    items_[(head_ + count_) % kCapacity] = change;
    ++count_;
    return true;
}

void ChangeQueue::ApplyBatch(uint8_t held[256]) {
    bool changed[256] = {};
    while (count_ > 0) {
        const InputChange& change = items_[head_];
        if (changed[change.code]) break;
        changed[change.code] = true;
        held[change.code] = change.down ? 0x80 : 0;
        head_ = (head_ + 1) % kCapacity;
        --count_;
    }
}

bool ReadImmediate(PlatformInputDevice* device) {
    if (device->kind == DeviceKind::Keyboard) {
        BYTE keys[256];
        if (FAILED(device->device->GetDeviceState(sizeof(keys), keys))) return false;
        for (int code = 0; code < 256; ++code) device->held[code] = keys[code] & 0x80;
        return true;
    }
    DIMOUSESTATE mouse;
    if (FAILED(device->device->GetDeviceState(sizeof(mouse), &mouse))) return false;
    for (int i = 0; i < 4; ++i) device->held[i + 1] = mouse.rgbButtons[i] & 0x80;
    return true;
}

bool Drain(PlatformInputDevice* device, InputResult* result) {
    DIDEVICEOBJECTDATA items[kBufferedEvents];
    for (;;) {
        DWORD count = kBufferedEvents;
        HRESULT hr = device->device->GetDeviceData(sizeof(DIDEVICEOBJECTDATA), items, &count, 0);
        if (FAILED(hr)) {
            device->acquired = false;
            *result = hr == DIERR_INPUTLOST ? InputResult::InputLost : InputResult::NotAcquired;
            return false;
        }
        bool overflow = hr == DI_BUFFEROVERFLOW;
        for (DWORD i = 0; i < count && !overflow; ++i) {
            const DIDEVICEOBJECTDATA& item = items[i];
            bool down = (item.dwData & 0x80) != 0;
            if (device->kind == DeviceKind::Keyboard) {
                overflow = !device->queue.Push({(uint8_t)item.dwOfs, down});
            } else if (item.dwOfs == kMouseX) {
                device->dx += (int32_t)item.dwData;
            } else if (item.dwOfs == kMouseY) {
                device->dy += (int32_t)item.dwData;
            } else if (item.dwOfs == kMouseZ) {
                device->dz += (int32_t)item.dwData;
            } else if (item.dwOfs >= kMouseButton0 && item.dwOfs < kMouseButton0 + 4) {
                overflow = !device->queue.Push({(uint8_t)(item.dwOfs - kMouseButton0 + 1), down});
            }
        }
        if (overflow) {
            // Changes were lost: what is held now is the truth.
            device->queue.Clear();
            ReadImmediate(device);
        }
        if (count < kBufferedEvents) return true;
    }
}

}  // namespace win32

PlatformInput* OpenInput() {
    InputData& d = Input();
    {
        std::lock_guard<std::mutex> lock(d.lock);
        if (d.failOpen[(int)test::InputPart::System]) return nullptr;
    }
    // Loaded at run time: a system without DirectInput still runs, on the fall-backs.
    HMODULE library = ::LoadLibraryA("dinput.dll");
    if (!library) return nullptr;
    using Create = HRESULT(WINAPI*)(Win32HINSTANCE, DWORD, IDirectInputA**, IUnknown*);
    Create create = (Create)(void*)::GetProcAddress(library, "DirectInputCreateA");
    IDirectInputA* directInput = nullptr;
    if (!create || FAILED(create(::GetModuleHandleA(nullptr), 0x0700, &directInput, nullptr)) ||
        !directInput) {
        ::FreeLibrary(library);
        return nullptr;
    }
    PlatformInput* input = new (std::nothrow) PlatformInput();
    if (!input) {
        directInput->Release();
        ::FreeLibrary(library);
        return nullptr;
    }
    input->library = library;
    input->directInput = directInput;
    return input;
}

void CloseInput(PlatformInput* input) {
    if (!input) return;
    if (input->directInput) input->directInput->Release();
    // The library stays loaded: devices of this system may still be closed later.
    delete input;
}

PlatformInputDevice* OpenKeyboard(PlatformInput* input) {
    return win32::OpenDevice(input, DeviceKind::Keyboard, GUID_SysKeyboard, &c_dfDIKeyboard);
}

PlatformInputDevice* OpenMouse(PlatformInput* input) {
    return win32::OpenDevice(input, DeviceKind::Mouse, GUID_SysMouse, &c_dfDIMouse);
}

bool SetCooperativeLevel(PlatformInputDevice* device, HWND window, bool exclusive) {
    if (!device) return false;
    Win32HWND native = win32::NativeWindow(window);
    if (!native) return false;
    DWORD level = DISCL_FOREGROUND | (exclusive ? DISCL_EXCLUSIVE : DISCL_NONEXCLUSIVE);
    return SUCCEEDED(device->device->SetCooperativeLevel(native, level));
}

bool Acquire(PlatformInputDevice* device) {
    if (!device || win32::AcquireFails(device->kind)) return false;
    if (FAILED(device->device->Acquire())) return false;
    device->acquired = true;
    if (device->kind == DeviceKind::Joystick) return true;
    // Start from the keys as they are: drop what the buffer holds, take the state.
    DWORD all = INFINITE;
    device->device->GetDeviceData(sizeof(DIDEVICEOBJECTDATA), nullptr, &all, 0);
    device->queue.Clear();
    device->dx = device->dy = device->dz = 0;
    win32::ReadImmediate(device);
    // A device's state may only count changes made after it was created; the
    // thread's key state also knows the keys held before.
    win32::PumpInputMessages();
    BYTE keys[256];
    if (::GetKeyboardState(keys)) {
        if (device->kind == DeviceKind::Keyboard) {
            for (int code = 1; code < 256; ++code) {
                UINT vk = win32::VirtualKeyOf(code);
                if (vk > 0 && vk < 256 && (keys[vk] & 0x80)) device->held[code] = 0x80;
            }
        } else {
            const BYTE buttons[4] = {VK_LBUTTON, VK_RBUTTON, VK_MBUTTON, VK_XBUTTON1};
            for (int i = 0; i < 4; ++i)
                if (keys[buttons[i]] & 0x80) device->held[i + 1] = 0x80;
        }
    }
    return true;
}

void Unacquire(PlatformInputDevice* device) {
    if (!device) return;
    device->device->Unacquire();
    device->acquired = false;
}

void CloseDevice(PlatformInputDevice* device) {
    if (!device) return;
    Unacquire(device);
    win32::UnlistDevice(device);
    if (device->device2) device->device2->Release();
    device->device->Release();
    delete device;
}

InputResult ReadKeyboard(PlatformInputDevice* keyboard, uint8_t state[256]) {
    if (!keyboard || keyboard->kind != DeviceKind::Keyboard || !state)
        return InputResult::NotAcquired;
    win32::PumpInputMessages();
    if (!keyboard->acquired) return InputResult::NotAcquired;
    InputResult result = InputResult::Ok;
    if (!win32::Drain(keyboard, &result)) return result;
    if (keyboard->queue.Empty()) win32::ReleaseStaleKeys(keyboard);
    keyboard->queue.ApplyBatch(keyboard->held);
    for (int code = 0; code < 256; ++code) state[code] = keyboard->held[code];
    return InputResult::Ok;
}

InputResult ReadMouse(PlatformInputDevice* mouse, MouseState* state) {
    if (!mouse || mouse->kind != DeviceKind::Mouse || !state) return InputResult::NotAcquired;
    win32::PumpInputMessages();
    if (!mouse->acquired) return InputResult::NotAcquired;
    InputResult result = InputResult::Ok;
    if (!win32::Drain(mouse, &result)) return result;
    mouse->queue.ApplyBatch(mouse->held);
    state->dx = mouse->dx;
    state->dy = mouse->dy;
    state->dz = mouse->dz;
    mouse->dx = mouse->dy = mouse->dz = 0;
    for (int i = 0; i < 4; ++i) state->buttons[i] = mouse->held[i + 1];
    return InputResult::Ok;
}

}  // namespace platform
