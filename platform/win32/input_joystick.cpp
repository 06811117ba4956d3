// Win32 backend of the joysticks: DirectInput devices with axis ranges and dead zones,
// and the multimedia joystick position (winmm) for the fall-back.
#include <cstdio>
#include <new>

#include "platform/win32/input_backend.h"

namespace platform {

using win32::DeviceKind;

namespace {

BOOL CALLBACK Found(const DIDEVICEINSTANCEA* instance, void* context) {
    PlatformInput* input = (PlatformInput*)context;
    if (input->joystickCount >= (int)(sizeof(input->joysticks) / sizeof(input->joysticks[0])))
        return DIENUM_STOP;
    input->joysticks[input->joystickCount++] = instance->guidInstance;
    return DIENUM_CONTINUE;
}

bool ValidJoystick(PlatformInputDevice* joystick) {
    return joystick && joystick->kind == DeviceKind::Joystick && joystick->device2;
}

bool ValidAxis(int axis) {
    return axis >= 0 && axis < kJoystickAxes;
}

// The joystick record's axes are its first eight longs, in the seam's order.
DIPROPHEADER AxisHeader(DWORD size, int axis) {
    DIPROPHEADER header{};
    header.dwSize = size;
    header.dwHeaderSize = sizeof(DIPROPHEADER);
    header.dwObj = (DWORD)axis * 4;
    header.dwHow = DIPH_BYOFFSET;
    return header;
}

}  // namespace

bool EnumJoysticks(PlatformInput* input, JoystickVisitor visit, void* context) {
    if (!input || !input->directInput || !visit) return false;
    // Ids are places in this enumeration's list; opening goes by the GUID kept there.
    input->joystickCount = 0;
    if (FAILED(
            input->directInput->EnumDevices(DIDEVTYPE_JOYSTICK, Found, input, DIEDFL_ATTACHEDONLY)))
        return false;
    for (int i = 0; i < input->joystickCount; ++i) {
        JoystickInstance instance{};
        instance.id = i;
        DIDEVICEINSTANCEA info{};
        info.dwSize = sizeof(info);
        IDirectInputDeviceA* device = nullptr;
        if (SUCCEEDED(input->directInput->CreateDevice(input->joysticks[i], &device, nullptr))) {
            if (SUCCEEDED(device->GetDeviceInfo(&info)))
                std::snprintf(instance.name, sizeof(instance.name), "%s", info.tszInstanceName);
            device->Release();
        }
        if (!visit(instance, context)) break;
    }
    return true;
}

PlatformInputDevice* OpenJoystick(PlatformInput* input, int32_t id) {
    if (!input || !input->directInput || id < 0 || id >= input->joystickCount ||
        win32::OpenFails(DeviceKind::Joystick))
        return nullptr;
    IDirectInputDeviceA* device = nullptr;
    if (FAILED(input->directInput->CreateDevice(input->joysticks[id], &device, nullptr)) || !device)
        return nullptr;
    // Polling needs the second generation of the interface.
    IDirectInputDevice2A* device2 = nullptr;
    if (FAILED(device->QueryInterface(IID_IDirectInputDevice2A, (void**)&device2)) || !device2 ||
        FAILED(device->SetDataFormat(&c_dfDIJoystick))) {
        if (device2) device2->Release();
        device->Release();
        return nullptr;
    }
    PlatformInputDevice* joystick = new (std::nothrow) PlatformInputDevice();
    if (!joystick || !win32::ListDevice(joystick)) {
        delete joystick;
        device2->Release();
        device->Release();
        return nullptr;
    }
    joystick->kind = DeviceKind::Joystick;
    joystick->device = device;
    joystick->device2 = device2;
    // The seam's starting range on every axis, whatever the driver's default.
    for (int axis = 0; axis < kJoystickAxes; ++axis) SetAxisRange(joystick, axis, 0, 65535);
    return joystick;
}

bool SetAxisRange(PlatformInputDevice* joystick, int axis, int32_t min, int32_t max) {
    if (!ValidJoystick(joystick) || !ValidAxis(axis) || min > max) return false;
    DIPROPRANGE range{};
    range.diph = AxisHeader(sizeof(DIPROPRANGE), axis);
    range.lMin = min;
    range.lMax = max;
    return SUCCEEDED(joystick->device->SetProperty(DIPROP_RANGE, &range.diph));
}

bool SetAxisDeadZone(PlatformInputDevice* joystick, int axis, uint32_t deadZone) {
    if (!ValidJoystick(joystick) || !ValidAxis(axis) || deadZone > 10000) return false;
    DIPROPDWORD value{};
    value.diph = AxisHeader(sizeof(DIPROPDWORD), axis);
    value.dwData = deadZone;
    return SUCCEEDED(joystick->device->SetProperty(DIPROP_DEADZONE, &value.diph));
}

void PollJoystick(PlatformInputDevice* joystick) {
    if (ValidJoystick(joystick) && joystick->acquired) joystick->device2->Poll();
}

InputResult ReadJoystick(PlatformInputDevice* joystick, JoystickState* state) {
    if (!ValidJoystick(joystick) || !state || !joystick->acquired) return InputResult::NotAcquired;
    DIJOYSTATE read;
    HRESULT hr = joystick->device->GetDeviceState(sizeof(read), &read);
    if (FAILED(hr)) {
        joystick->acquired = false;
        return hr == DIERR_INPUTLOST ? InputResult::InputLost : InputResult::NotAcquired;
    }
    const LONG axes[kJoystickAxes] = {read.lX,  read.lY,  read.lZ,           read.lRx,
                                      read.lRy, read.lRz, read.rglSlider[0], read.rglSlider[1]};
    for (int i = 0; i < kJoystickAxes; ++i) state->axes[i] = (int32_t)axes[i];
    for (int i = 0; i < 4; ++i) {
        // A centred hat reads 0xFFFF in its low word, whatever the high word holds.
        state->pov[i] = LOWORD(read.rgdwPOV[i]) == 0xFFFF ? 0xFFFFFFFF : (uint32_t)read.rgdwPOV[i];
    }
    for (int i = 0; i < 32; ++i) state->buttons[i] = read.rgbButtons[i] & 0x80;
    return InputResult::Ok;
}

bool GetJoystickPosition(int id, JoystickPosition* out) {
    if (id < 0 || id > 1 || !out) return false;
    JOYINFOEX info{};
    info.dwSize = sizeof(info);
    info.dwFlags = JOY_RETURNALL;
    if (::joyGetPosEx(id == 0 ? JOYSTICKID1 : JOYSTICKID2, &info) != JOYERR_NOERROR) return false;
    out->x = info.dwXpos;
    out->y = info.dwYpos;
    out->z = info.dwZpos;
    out->r = info.dwRpos;
    out->u = info.dwUpos;
    out->v = info.dwVpos;
    out->buttons = info.dwButtons;
    out->pov = info.dwPOV;
    return true;
}

}  // namespace platform
