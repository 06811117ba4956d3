// What the Win32 input backend's files share: the devices over DirectInput 7 and the
// state kept from their buffered data. Never included outside platform/win32/.
#pragma once
#include <cstdint>
#include <mutex>

#include "platform/win32/win32_internal.h"

namespace platform::win32 {

enum class DeviceKind { Keyboard, Mouse, Joystick };

// One key or button going down or up, by its DirectInput code (key code, or mouse
// button slot 1 to 4).
struct InputChange {
    uint8_t code;
    bool down;
};

// Changes taken from the device's buffer, waiting for the reads that apply them batch
// by batch, as the seam promises: a press and release between two reads are seen on
// two reads.
class ChangeQueue {
public:
    // False when full; the caller then takes the device's state as it is.
    bool Push(InputChange change);
    // Applies changes in order up to the first one to a code the batch already changed.
    void ApplyBatch(uint8_t held[256]);
    void Clear() { count_ = 0; }
    bool Empty() const { return count_ == 0; }

private:
    static constexpr int kCapacity = 256;
    InputChange items_[kCapacity];
    int head_ = 0;
    int count_ = 0;
};

constexpr int kBufferedEvents = 128;  // the device's own buffer (DIPROP_BUFFERSIZE)

// Every open device and the failures tests ask for, shared by the backend's files.
struct InputData {
    std::mutex lock;
    PlatformInputDevice* devices[16] = {};
    bool failOpen[4] = {};
    bool failAcquire[4] = {};
};
InputData& Input();

// Lists the device for the test hooks; false when the list is full.
bool ListDevice(PlatformInputDevice* device);
void UnlistDevice(PlatformInputDevice* device);
// Whether opening or acquiring devices of `kind` is made to fail.
bool OpenFails(DeviceKind kind);
bool AcquireFails(DeviceKind kind);

// Takes every buffered change of a keyboard or mouse into its queue (mouse movement
// straight into its totals); false when the device could not be read (`*result` says
// why). On an overflow the queue is dropped and the state read afresh.
bool Drain(PlatformInputDevice* device, InputResult* result);
// Reads the device's immediate state into `held` (keyboard keys, mouse buttons).
bool ReadImmediate(PlatformInputDevice* device);

}  // namespace platform::win32

struct PlatformInput {
    HMODULE library = nullptr;
    IDirectInputA* directInput = nullptr;
    // GUIDs of the joysticks of the last enumeration, by the id handed out.
    GUID joysticks[16] = {};
    int joystickCount = 0;
};

struct PlatformInputDevice {
    platform::win32::DeviceKind kind;
    IDirectInputDeviceA* device = nullptr;
    IDirectInputDevice2A* device2 = nullptr;  // joysticks: the interface that polls
    bool acquired = false;
    // Keyboard: by key code; mouse: button slots 1 to 4. Bit 7 while held.
    uint8_t held[256] = {};
    platform::win32::ChangeQueue queue;
    int32_t dx = 0, dy = 0, dz = 0;  // mouse movement not yet read
};
