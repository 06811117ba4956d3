// What the SDL input backend's files share: the state kept from pumped events and
// the devices that read it. Never included outside platform/sdl/.
#pragma once
#include <SDL2/SDL.h>

#include <bitset>
#include <cstdint>
#include <mutex>

#include "platform/input.h"

namespace platform::sdl {

// Physical sources of changes: SDL scancodes, then the mouse buttons.
constexpr int kMouseSourceBase = SDL_NUM_SCANCODES;
constexpr int kMouseButtons = 5;  // left, middle, right, X1, X2 (SDL's order)
constexpr int kSources = kMouseSourceBase + kMouseButtons;

// One key or button going down or up, with the codes (up to two, 0 = none) that the
// reading state names it by: DirectInput key codes, virtual keys or button slots.
struct InputChange {
    uint16_t source;
    uint8_t codes[2];
    bool down;
};

// Which codes are held, counted over the physical sources that produce them, so that
// the two shift keys sharing one virtual key keep it down until both are up.
class HeldCodes {
public:
    void Apply(const InputChange& change);
    // Bit 7 while held, bit 0 toggled by each press.
    uint8_t State(int code) const { return state_[code]; }
    // True once after each press; the question clears it.
    bool TakePressed(int code);
    // Forgets every press not yet asked about.
    void ClearPressed() {
        for (bool& p : pressed_) p = false;
    }

private:
    bool sourceDown_[kSources] = {};
    uint8_t sourceCodes_[kSources][2] = {};
    uint8_t count_[256] = {};
    uint8_t state_[256] = {};
    bool pressed_[256] = {};
};

// Changes in arrival order, waiting for the reads that apply them.
class ChangeQueue {
public:
    // Queues `change` for a reader that reads; for one that has not read for a
    // second, or when the queue is full, changes are applied at once, so an idle
    // reader never wakes up to a backlog.
    void Push(const InputChange& change, HeldCodes& held);
    // Called as a read begins, before it pumps: the reader is reading.
    void MarkReading();
    // Applies the next batch: changes in order, up to the first one whose source the
    // batch has already changed.
    void ApplyBatch(HeldCodes& held);
    // Applies every queued change.
    void ApplyAll(HeldCodes& held);

private:
    static constexpr int kCapacity = 64;
    static constexpr uint32_t kIdleMs = 1000;
    InputChange items_[kCapacity];
    int head_ = 0;
    int count_ = 0;
    bool read_ = false;
    uint32_t lastRead_ = 0;
};

// Everything the backend keeps, under one lock: events arrive on the event thread,
// reads may come from the game thread.
struct InputData {
    std::mutex lock;
    PlatformInputDevice* devices[16] = {};
    // The Win32-style virtual-key state (keys and mouse buttons), always kept.
    HeldCodes virtualKeys;
    ChangeQueue virtualKeyQueue;
    // Sources held right now, so that a device opened later starts from them.
    std::bitset<kSources> sourcesDown;
    // The cursor in screen coordinates, from motion events and the system's pointer.
    int cursorX = 0, cursorY = 0;
    int lastGlobalX = 0, lastGlobalY = 0;
    bool haveGlobal = false;
    bool cursorKnown = false;  // set by a motion event or a cursor move
    int relativeMice = 0;      // acquired exclusive mice holding relative mode
    bool failOpen[4] = {};
    bool failAcquire[4] = {};
};
InputData& Input();

enum class DeviceKind { Keyboard, Mouse, Joystick };

struct AxisProperties {
    int32_t min = 0, max = 65535;
    uint32_t deadZone = 0;
};

}  // namespace platform::sdl

struct PlatformInputDevice {
    platform::sdl::DeviceKind kind;
    HWND window = nullptr;
    bool exclusive = false;
    bool acquired = false;
    bool relative = false;  // holds relative mouse mode
    // Keyboard and mouse: held keys or buttons and the changes not yet applied.
    platform::sdl::HeldCodes held;
    platform::sdl::ChangeQueue queue;
    // Mouse: movement not yet read.
    int32_t dx = 0, dy = 0, dz = 0;
    // Joystick.
    SDL_Joystick* joystick = nullptr;
    int32_t joystickId = -1;
    platform::sdl::AxisProperties axes[platform::kJoystickAxes];
    platform::JoystickState polled{};
};

namespace platform::sdl {

// DirectInput key code of a scancode; 0 for keys DirectInput does not name.
uint8_t KeyCodeOfScancode(SDL_Scancode scancode);
// Virtual keys (the generic one, then the left/right one or 0) of a key event,
// following the keyboard layout as Win32 does for letters and punctuation.
void VirtualKeysOf(const SDL_Keysym& key, uint8_t out[2]);

// DirectInput button slot of SDL mouse button `button` (0 = left): 1 left, 2 right,
// 3 middle, 4 fourth, 0 none.
uint8_t MouseSlotOf(int button);

// Ensures SDL's joystick subsystem is up; false when it cannot start.
bool InitJoysticks();

// Creates a device of `kind` and lists it for the events; null when opening `kind`
// is made to fail or the list is full. Keys and buttons held now start held.
PlatformInputDevice* RegisterDevice(DeviceKind kind);
// Makes sure the joystick device's SDL joystick is open and attached.
bool ReopenJoystick(PlatformInputDevice* device);

}  // namespace platform::sdl
