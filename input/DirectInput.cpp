// The input devices: opening them, and reading the keyboard, mouse and joysticks in
// DirectInput mode or in their fall-back mode.
#include "input/DirectInput.h"

#include <cstring>

#include "base/errors.h"
#include "platform/input.h"

namespace {

// The joystick the enumeration opened; empty until then.
PlatformInputDevice* g_lpDID = nullptr;

// DirectInput's property records, by object offset in the joystick record.
struct DIPROPHEADER {
    uint32_t dwSize;
    uint32_t dwHeaderSize;
    uint32_t dwObj;
    uint32_t dwHow;
};
struct DIPROPRANGE {
    DIPROPHEADER diph;
    int32_t lMin;
    int32_t lMax;
};
struct DIPROPDWORD {
    DIPROPHEADER diph;
    uint32_t dwData;
};
static_assert(sizeof(DIPROPRANGE) == 24 && sizeof(DIPROPDWORD) == 20, "DirectInput layout");
constexpr uint32_t DIPH_BYOFFSET = 1;
constexpr uint32_t DIJOFS_X = 0;
constexpr uint32_t DIJOFS_Y = 4;

// What a joystick that cannot be read reports: centred axes, no buttons, no hat.
// (Axes cleared to zero would read full up-left on the fall-back's scale.)
void Centred(vxinput::DIJOYSTATE* out) {
    std::memset(out, 0, sizeof *out);
    for (uint32_t& pov : out->rgdwPOV) pov = 0xFFFFFFFF;
}

// Axis number of a property's object: the axes are the record's first eight longs.
int AxisOf(const DIPROPHEADER& header, uint32_t size) {
    if (header.dwSize != size || header.dwHeaderSize != sizeof(DIPROPHEADER) ||
        header.dwHow != DIPH_BYOFFSET || header.dwObj % 4 != 0)
        return -1;
    return (int)(header.dwObj / 4);
}

bool SetRange(PlatformInputDevice* joystick, const DIPROPRANGE& range) {
    int axis = AxisOf(range.diph, sizeof(range));
    return axis >= 0 && platform::SetAxisRange(joystick, axis, range.lMin, range.lMax);
}

bool SetDeadZone(PlatformInputDevice* joystick, const DIPROPDWORD& value) {
    int axis = AxisOf(value.diph, sizeof(value));
    return axis >= 0 && platform::SetAxisDeadZone(joystick, axis, value.dwData);
}

bool Down(int16_t asyncState) {
    return asyncState != 0;
}

}  // namespace

int g_EnumJoystick(const vxinput::DIDEVICEINSTANCEA* instance, void* context) {
    if (!instance || !context) return vxinput::kEnumContinue;
    g_lpDID = platform::OpenJoystick((PlatformInput*)context, instance->guidInstance);
    return g_lpDID ? vxinput::kEnumStop : vxinput::kEnumContinue;
}

DirectInput::DirectInput()
    : lpDI(nullptr), lpDIDKeyboard(nullptr), lpDIDMouse(nullptr), lpDIDJoystick{} {
    g_lpDID = nullptr;
    std::memset(keyState, 0, sizeof(keyState));
    std::memset(keyMap, 0, sizeof(keyMap));
}

DirectInput::~DirectInput() {
    ReleaseDevices();
}

void DirectInput::ReleaseDevices() {
    // Closing unacquires first, as the devices are released in the order opened.
    platform::CloseDevice(lpDIDKeyboard);
    platform::CloseDevice(lpDIDMouse);
    for (PlatformInputDevice*& joystick : lpDIDJoystick) {
        // Joystick entry 0 is the enumeration's device itself.
        if (joystick && joystick == g_lpDID) g_lpDID = nullptr;
        platform::CloseDevice(joystick);
        joystick = nullptr;
    }
    lpDIDKeyboard = lpDIDMouse = nullptr;
    platform::CloseInput(lpDI);
    lpDI = nullptr;
}

uint32_t DirectInput::CreateDInput(HWND window, HINSTANCE) {
    // Opened once at start; a second call starts again rather than leak the devices.
    ReleaseDevices();
    uint32_t result = VX_DI_OK;
    lpDI = platform::OpenInput();
    if (!lpDI) {
        DXtoVK(false);
        return VX_DI_NO_DIRECTINPUT;
    }

    lpDIDKeyboard = platform::OpenKeyboard(lpDI);
    if (lpDIDKeyboard) {
        platform::SetCooperativeLevel(lpDIDKeyboard, window, false);
        if (!platform::Acquire(lpDIDKeyboard)) result = VX_DI_KEYBOARD_NOT_ACQUIRED;
    }
    DXtoVK(lpDIDKeyboard != nullptr);

    lpDIDMouse = platform::OpenMouse(lpDI);
    if (lpDIDMouse) {
        platform::SetCooperativeLevel(lpDIDMouse, window, true);
        if (!platform::Acquire(lpDIDMouse)) result = VX_DI_MOUSE_NOT_ACQUIRED;
    }

    auto visit = [](const platform::JoystickInstance& joystick, void* context) {
        vxinput::DIDEVICEINSTANCEA instance{};
        instance.dwSize = sizeof(instance);
        instance.guidInstance = joystick.id;
        std::strncpy(instance.tszInstanceName, joystick.name, sizeof(instance.tszInstanceName) - 1);
        std::strncpy(instance.tszProductName, joystick.name, sizeof(instance.tszProductName) - 1);
        return g_EnumJoystick(&instance, context) == vxinput::kEnumContinue;
    };
    g_lpDID = nullptr;  // only a joystick this enumeration opens counts
    if (!platform::EnumJoysticks(lpDI, visit, lpDI)) return result;
    if (g_lpDID) lpDIDJoystick[0] = g_lpDID;
    PlatformInputDevice* joystick = lpDIDJoystick[0];
    if (!joystick) return result;

    platform::SetCooperativeLevel(joystick, window, true);
    KWFileSystem::WriteDebug("Props");

    // X and Y read -1, 0 or +1, the middle half of the travel reading 0.
    DIPROPRANGE range{{sizeof(DIPROPRANGE), sizeof(DIPROPHEADER), DIJOFS_X, DIPH_BYOFFSET}, -1, 1};
    if (!SetRange(joystick, range)) return result;
    range.diph.dwObj = DIJOFS_Y;
    if (!SetRange(joystick, range)) return result;
    DIPROPDWORD deadZone{{sizeof(DIPROPDWORD), sizeof(DIPROPHEADER), DIJOFS_X, DIPH_BYOFFSET},
                         5000};
    if (!SetDeadZone(joystick, deadZone)) return result;
    deadZone.diph.dwObj = DIJOFS_Y;
    if (!SetDeadZone(joystick, deadZone)) return result;

    platform::Acquire(joystick);
    return result;
}

void DirectInput::GetKeyboardStatus() {
    if (lpDIDKeyboard) {
        // The read pumps the window's events, so a loop that only polls the keyboard
        // still sees its keys.
        if (platform::ReadKeyboard(lpDIDKeyboard, keyState) != platform::InputResult::Ok)
            platform::Acquire(lpDIDKeyboard);
    } else {
        platform::KeyboardState(keyState);
    }
}

bool DirectInput::GetKey(unsigned char code) {
    if (lpDIDKeyboard) return (keyState[code] & 0x80) != 0;
    return Down(platform::AsyncKeyState(keyMap[code]));
}

bool DirectInput::AnyKey() {
    GetKeyboardStatus();
    for (int code = 2; code <= 254; ++code)
        if (keyState[code] & 0x80) return true;
    return false;
}

bool DirectInput::GetMouseData(DIMOUSEDATA* out) {
    if (!out) return false;
    if (lpDIDMouse) {
        // A read that fails reports no movement and no buttons. Any failed read asks for
        // the device again: a foreground device is taken away whenever the window
        // loses the foreground (an Alt+Tab), not only when it is unplugged.
        platform::MouseState state{};
        platform::InputResult read = platform::ReadMouse(lpDIDMouse, &state);
        if (read != platform::InputResult::Ok && !platform::Acquire(lpDIDMouse) &&
            read == platform::InputResult::InputLost)
            return false;
        out->dx = (int16_t)state.dx;
        out->dy = (int16_t)state.dy;
        out->btnLeft = state.buttons[0];
        out->btnRight = state.buttons[1];
        out->btnMiddle = state.buttons[2];
        return true;
    }
    // The cursor is pinned at (200, 200) and its distance from there is the movement.
    int x = 200, y = 200;
    platform::CursorPosition(&x, &y);
    platform::MoveCursorTo(200, 200);
    out->dx = (int16_t)(x - 200);
    out->dy = (int16_t)(y - 200);
    out->btnLeft = platform::AsyncKeyState(platform::VK_LBUTTON);
    out->btnRight = platform::AsyncKeyState(platform::VK_RBUTTON);
    out->btnMiddle = platform::AsyncKeyState(platform::VK_MBUTTON);
    return true;
}

bool DirectInput::AnyMouse() {
    DIMOUSEDATA data{};
    GetMouseData(&data);
    return data.btnLeft || data.btnRight || data.btnMiddle;
}

bool DirectInput::GetJoystickData(vxinput::DIJOYSTATE* out, char index) {
    if (!out) return false;
    int i = index;
    if (i >= 0 && i < 4 && lpDIDJoystick[i]) {
        PlatformInputDevice* joystick = lpDIDJoystick[i];
        platform::PollJoystick(joystick);
        platform::JoystickState state;
        platform::InputResult read = platform::ReadJoystick(joystick, &state);
        if (read == platform::InputResult::Ok) {
            int32_t* axes[platform::kJoystickAxes] = {
                &out->lX,  &out->lY,  &out->lZ,           &out->lRx,
                &out->lRy, &out->lRz, &out->rglSlider[0], &out->rglSlider[1]};
            for (int a = 0; a < platform::kJoystickAxes; ++a) *axes[a] = state.axes[a];
            std::memcpy(out->rgdwPOV, state.pov, sizeof(out->rgdwPOV));
            std::memcpy(out->rgbButtons, state.buttons, sizeof(out->rgbButtons));
        } else {
            // Taken away with the foreground or unplugged: asked for again either way.
            platform::Acquire(joystick);
            Centred(out);
        }
        for (uint8_t& button : out->rgbButtons) button = button ? 1 : 0;
        return true;
    }
    // Only joysticks 0 and 1 have the multimedia fall-back.
    if (i < 0 || i > 1) return false;
    platform::JoystickPosition position{};
    if (!platform::GetJoystickPosition(i, &position)) {
        Centred(out);
        return true;
    }
    // Three bands: 0-29999 reads -1, 30000-59999 reads 0, above reads +1.
    out->lX = (int32_t)(position.x / 30000) - 1;
    out->lY = (int32_t)(position.y / 30000) - 1;
    out->lZ = (int32_t)(position.z / 30000) - 1;
    for (int b = 0; b < 4; ++b) out->rgbButtons[b] = (position.buttons >> b) & 1;
    return true;
}
