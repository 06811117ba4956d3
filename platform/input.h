// Keyboard, mouse and joysticks in DirectInput's terms (key codes, relative mouse
// movement, joystick axes with a range and a dead zone), and the Win32-style
// fall-backs (virtual-key state, cursor position, multimedia joystick position).
// Key and button state is kept from the events the window's message pump takes, so
// real devices and events put into the queue by tests take the same path.
#pragma once
#include <cstdint>

#include "platform/types.h"

struct PlatformInput;        // the opened input system
struct PlatformInputDevice;  // one opened keyboard, mouse or joystick

namespace platform {

// Win32 virtual-key codes the fall-backs speak.
enum : uint8_t {
    VK_LBUTTON = 0x01,
    VK_RBUTTON = 0x02,
    VK_MBUTTON = 0x04,
    VK_XBUTTON1 = 0x05,
    VK_XBUTTON2 = 0x06,
    VK_BACK = 0x08,
    VK_TAB = 0x09,
    VK_CLEAR = 0x0C,
    VK_RETURN = 0x0D,
    VK_SHIFT = 0x10,
    VK_CONTROL = 0x11,
    VK_MENU = 0x12,
    VK_PAUSE = 0x13,
    VK_CAPITAL = 0x14,
    VK_KANA = 0x15,
    VK_ESCAPE = 0x1B,
    VK_CONVERT = 0x1C,
    VK_NONCONVERT = 0x1D,
    VK_SPACE = 0x20,
    VK_PRIOR = 0x21,
    VK_NEXT = 0x22,
    VK_END = 0x23,
    VK_HOME = 0x24,
    VK_LEFT = 0x25,
    VK_UP = 0x26,
    VK_RIGHT = 0x27,
    VK_DOWN = 0x28,
    VK_SNAPSHOT = 0x2C,
    VK_INSERT = 0x2D,
    VK_DELETE = 0x2E,
    VK_LWIN = 0x5B,
    VK_RWIN = 0x5C,
    VK_APPS = 0x5D,
    VK_SLEEP = 0x5F,
    VK_NUMPAD0 = 0x60,
    VK_MULTIPLY = 0x6A,
    VK_ADD = 0x6B,
    VK_SUBTRACT = 0x6D,
    VK_DECIMAL = 0x6E,
    VK_DIVIDE = 0x6F,
    VK_F1 = 0x70,
    VK_F13 = 0x7C,
    VK_NUMLOCK = 0x90,
    VK_SCROLL = 0x91,
    VK_LSHIFT = 0xA0,
    VK_RSHIFT = 0xA1,
    VK_LCONTROL = 0xA2,
    VK_RCONTROL = 0xA3,
    VK_LMENU = 0xA4,
    VK_RMENU = 0xA5,
    VK_VOLUME_MUTE = 0xAD,
    VK_VOLUME_DOWN = 0xAE,
    VK_VOLUME_UP = 0xAF,
    VK_MEDIA_NEXT_TRACK = 0xB0,
    VK_MEDIA_PREV_TRACK = 0xB1,
    VK_MEDIA_STOP = 0xB2,
    VK_MEDIA_PLAY_PAUSE = 0xB3,
    VK_OEM_1 = 0xBA,
    VK_OEM_PLUS = 0xBB,
    VK_OEM_COMMA = 0xBC,
    VK_OEM_MINUS = 0xBD,
    VK_OEM_PERIOD = 0xBE,
    VK_OEM_2 = 0xBF,
    VK_OEM_3 = 0xC0,
    VK_OEM_4 = 0xDB,
    VK_OEM_5 = 0xDC,
    VK_OEM_6 = 0xDD,
    VK_OEM_7 = 0xDE,
    VK_OEM_102 = 0xE2,
};

// Outcome of reading a device.
enum class InputResult {
    Ok,
    NotAcquired,  // the device is not acquired; nothing was read
    InputLost,    // the device went away (unplugged); nothing was read
};

// --- DirectInput-style devices ---

// Opens the input system; null when it cannot be opened.
PlatformInput* OpenInput();
// Closes the input system (its devices are closed separately).
void CloseInput(PlatformInput* input);

// Opens the system keyboard; null when it cannot be opened.
PlatformInputDevice* OpenKeyboard(PlatformInput* input);
// Opens the system mouse; null when it cannot be opened.
PlatformInputDevice* OpenMouse(PlatformInput* input);

// An attached joystick as the enumeration reports it.
struct JoystickInstance {
    int32_t id;  // stable while the joystick stays attached
    char name[128];
};
using JoystickVisitor = bool (*)(const JoystickInstance& instance, void* context);
// Calls `visit` for each attached joystick in order until it returns false.
// False when the input system is missing.
bool EnumJoysticks(PlatformInput* input, JoystickVisitor visit, void* context);
// Opens the attached joystick with instance `id`; null when it cannot be opened.
// Its axes start with the range 0 to 65535 and no dead zone.
PlatformInputDevice* OpenJoystick(PlatformInput* input, int32_t id);

// Binds the device to the window; an exclusive mouse runs in relative mode (cursor
// hidden and held) while it is acquired. False for a missing device or window.
bool SetCooperativeLevel(PlatformInputDevice* device, HWND window, bool exclusive);
// Starts delivering data; false when the device cannot be acquired.
bool Acquire(PlatformInputDevice* device);
// Stops delivering data (and leaves relative mouse mode).
void Unacquire(PlatformInputDevice* device);
// Unacquires and closes the device.
void CloseDevice(PlatformInputDevice* device);

// Pumps events, takes the next batch of queued key changes and fills `state` with
// one byte per DirectInput key code, bit 7 set while the key is held. A batch ends
// before the first change to a key that the batch already changed, so a press and
// release between two reads are seen on two reads.
InputResult ReadKeyboard(PlatformInputDevice* keyboard, uint8_t state[256]);

struct MouseState {
    int32_t dx, dy, dz;  // movement since the previous read (dz: wheel, 120 a notch)
    uint8_t buttons[4];  // left, right, middle, fourth; 0x80 while pressed
};
// Pumps events, takes the next batch of button changes and the movement since the
// previous read.
InputResult ReadMouse(PlatformInputDevice* mouse, MouseState* state);

constexpr int kJoystickAxes = 8;  // X, Y, Z, three rotations, two sliders
// Sets the range an axis (0 to 7) reports; false for a bad axis or min > max.
bool SetAxisRange(PlatformInputDevice* joystick, int axis, int32_t min, int32_t max);
// Sets an axis's dead zone in ten-thousandths of the travel from the centre
// (0 to 10000); positions inside it report the centre of the range.
bool SetAxisDeadZone(PlatformInputDevice* joystick, int axis, uint32_t deadZone);
// Fetches the joystick's current state from the system.
void PollJoystick(PlatformInputDevice* joystick);

struct JoystickState {
    int32_t axes[kJoystickAxes];  // scaled to each axis's range
    uint32_t pov[4];              // hundredths of a degree clockwise from up; 0xFFFFFFFF centred
    uint8_t buttons[32];          // 0x80 while pressed
};
// Reads the state fetched by the last poll.
InputResult ReadJoystick(PlatformInputDevice* joystick, JoystickState* state);

// --- Win32-style fall-backs ---

// Virtual key `vk`: bit 15 while held, bit 0 when pressed since the previous query
// of that key (the query clears it). 0 for keys out of range.
int16_t AsyncKeyState(int vk);
// Pumps events, takes the next batch of key and button changes, and fills `state`
// with one byte per virtual key: bit 7 while held, bit 0 toggled by each press.
void KeyboardState(uint8_t state[256]);
// Pumps events, takes the next batch of key and button changes and gives the cursor
// position in screen coordinates.
bool CursorPosition(int* x, int* y);
// Moves the cursor to the screen point (x, y).
bool MoveCursorTo(int x, int y);

struct JoystickPosition {
    uint32_t x, y, z, r, u, v;  // 0 to 65535
    uint32_t buttons;           // bit n set while button n is pressed
    uint32_t pov;               // hundredths of a degree; 65535 centred
};
// Position of multimedia joystick `id` (0 or 1); false, `out` untouched, when no
// such joystick answers.
bool GetJoystickPosition(int id, JoystickPosition* out);

}  // namespace platform

namespace platform::test {

// The parts of the input system whose opening a test can make fail.
enum class InputPart { System, Keyboard, Mouse, Joystick };
// Makes every later open of `part` fail (or succeed again).
void FailOpen(InputPart part, bool fail);
// Makes every later acquire of a device of `part` fail (or succeed again).
void FailAcquire(InputPart part, bool fail);
// Pumps and applies every queued key and button change for every reader at once and
// forgets presses not yet asked about, so that a test starts from the keys as they
// are, not from another test's leftovers.
void SettleInput();

}  // namespace platform::test
