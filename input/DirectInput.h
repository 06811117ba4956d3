// The input devices: keyboard, mouse and the first joystick, each read through the
// platform's DirectInput-style device or, when that cannot be opened, through its
// Win32-style fall-back. Keys are named by DirectInput key codes in both modes.
#pragma once
#include <cstdint>

#include "platform/types.h"

struct PlatformInput;
struct PlatformInputDevice;

// The mouse as the commands read it. Buttons are nonzero while pressed; dx and dy
// are the movement since the previous read (right and down positive).
struct DIMOUSEDATA {
    int16_t btnLeft;
    int16_t btnRight;
    int16_t btnMiddle;
    int16_t dx;
    int16_t dy;
};

// The runtime's own records of DirectInput's kinds. They live in a namespace of their
// own: a program that also takes in <dinput.h> (the Windows backend does) has the
// system's records of the same names, with other layouts, and one name may stand for
// one layout only in a program.
namespace vxinput {

// DirectInput's joystick state record.
struct DIJOYSTATE {
    int32_t lX, lY, lZ;
    int32_t lRx, lRy, lRz;
    int32_t rglSlider[2];
    uint32_t rgdwPOV[4];
    uint8_t rgbButtons[32];
};
static_assert(sizeof(DIJOYSTATE) == 80, "DIJOYSTATE keeps DirectInput's layout");

// An attached joystick, as the device enumeration hands it to its callback.
struct DIDEVICEINSTANCEA {
    uint32_t dwSize;
    int32_t guidInstance;  // the platform's instance of the joystick
    char tszInstanceName[260];
    char tszProductName[260];
};

// The enumeration callback's verdicts, DirectInput's DIENUM_STOP and DIENUM_CONTINUE.
constexpr int kEnumStop = 0;
constexpr int kEnumContinue = 1;

}  // namespace vxinput

// Results of CreateDInput.
constexpr uint32_t VX_DI_OK = 1;
constexpr uint32_t VX_DI_NO_DIRECTINPUT = 0x8000000A;
constexpr uint32_t VX_DI_KEYBOARD_NOT_ACQUIRED = 0x8000000B;
constexpr uint32_t VX_DI_MOUSE_NOT_ACQUIRED = 0x8000000C;

// Device enumeration callback: opens the joystick described by `instance` through
// the input system `context`; stops at the first one that opens.
int g_EnumJoystick(const vxinput::DIDEVICEINSTANCEA* instance, void* context);

class DirectInput {
public:
    DirectInput();
    ~DirectInput();

    // Opens the input system and the devices, each in DirectInput mode or for good
    // in fall-back mode; 1, or 0x8000000A..0x8000000C.
    uint32_t CreateDInput(HWND window, HINSTANCE instance);
    // Refreshes keyState.
    void GetKeyboardStatus();
    // Whether the key with DirectInput key code `code` is down, as of the last refresh
    // (in fall-back mode: down now or pressed since the previous query of that key).
    bool GetKey(unsigned char code);
    // Refreshes, then whether any key with code 2 to 254 is down.
    bool AnyKey();
    // Reads the mouse once; whether any of its three buttons is pressed.
    bool AnyMouse();
    // Movement since the previous read and the three buttons.
    bool GetMouseData(DIMOUSEDATA* out);
    // State of joystick `index`: axes X and Y at -1, 0 or +1, buttons 0 or 1.
    // False, `out` untouched, for a joystick index with neither device nor fall-back.
    bool GetJoystickData(vxinput::DIJOYSTATE* out, char index);
    // The character of the keys held now, 0 for none; waits until the key that gave
    // it is released (not for Escape, which gives 13).
    signed char GetKeyChar();
    // Fills keyMap: the identity with `directInput`, else the fall-back table, which
    // also leaves the keyboard for good in fall-back mode.
    void DXtoVK(bool directInput);

    PlatformInput* lpDI;
    PlatformInputDevice* lpDIDKeyboard;  // empty: keyboard fall-back mode
    PlatformInputDevice* lpDIDMouse;     // empty: cursor fall-back mode
    PlatformInputDevice* lpDIDJoystick[4];
    // By DirectInput key code, bit 7 while held; in fall-back mode by virtual key.
    uint8_t keyState[256];
    // DirectInput key code to virtual key, read in fall-back mode.
    uint8_t keyMap[256];

private:
    void ReleaseDevices();
};
