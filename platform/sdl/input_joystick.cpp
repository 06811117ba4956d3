// SDL backend of the joysticks: DirectInput-style devices with axis ranges and dead
// zones, and the multimedia joystick position for the fall-back.
#include <cmath>
#include <cstring>

#include "platform/sdl/input_backend.h"
#include "platform/sdl/sdl_internal.h"

namespace platform {

using sdl::DeviceKind;
using sdl::Input;

namespace sdl {

bool InitJoysticks() {
    // SDL drops joystick input while no window has the keyboard focus, which on the
    // offscreen driver is always; the devices here decide themselves what they read.
    static const bool hinted = SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    (void)hinted;
    if (SDL_WasInit(SDL_INIT_JOYSTICK)) return true;
    return SDL_InitSubSystem(SDL_INIT_JOYSTICK) == 0;
}

namespace {

// Brings SDL's joystick state up to date (the pump alone may leave that to the
// event loop's own schedule).
void UpdateJoysticks() {
    PumpEvents();
    SDL_JoystickUpdate();
}

int DeviceIndexOf(int32_t id) {
    int count = SDL_NumJoysticks();
    for (int i = 0; i < count; ++i)
        if (SDL_JoystickGetDeviceInstanceID(i) == id) return i;
    return -1;
}

// An SDL axis position (-32768 to 32767) in the axis's range, the dead zone around
// the centre reading the centre. Any position past the dead zone reads at least one
// step from the centre, so a range of -1 to +1 gives three bands.
int32_t ScaleAxis(int16_t raw, const AxisProperties& axis) {
    double offset = (raw + 32768) / 65535.0 * 2.0 - 1.0;  // -1 to +1
    double magnitude = std::fabs(offset);
    double dead = axis.deadZone / 10000.0;
    if (magnitude <= dead) return (int32_t)(((int64_t)axis.min + axis.max) / 2);
    double travel = magnitude >= 1.0 ? 1.0 : (magnitude - dead) / (1.0 - dead);
    double centre = ((double)axis.min + axis.max) / 2.0;
    double half = ((double)axis.max - axis.min) / 2.0;
    double value = offset < 0 ? std::floor(centre - travel * half + 1e-9)
                              : std::ceil(centre + travel * half - 1e-9);
    if (value < axis.min) value = axis.min;
    if (value > axis.max) value = axis.max;
    return (int32_t)value;
}

uint32_t PovOfHat(Uint8 hat, uint32_t centred) {
    switch (hat) {
        case SDL_HAT_UP:
            return 0;
        case SDL_HAT_RIGHTUP:
            return 4500;
        case SDL_HAT_RIGHT:
            return 9000;
        case SDL_HAT_RIGHTDOWN:
            return 13500;
        case SDL_HAT_DOWN:
            return 18000;
        case SDL_HAT_LEFTDOWN:
            return 22500;
        case SDL_HAT_LEFT:
            return 27000;
        case SDL_HAT_LEFTUP:
            return 31500;
        default:
            return centred;
    }
}

bool ValidJoystick(PlatformInputDevice* joystick) {
    return joystick && joystick->kind == DeviceKind::Joystick;
}

}  // namespace

bool ReopenJoystick(PlatformInputDevice* device) {
    if (device->joystick && SDL_JoystickGetAttached(device->joystick)) return true;
    // A joystick that was unplugged comes back under a new instance: not this device.
    int index = DeviceIndexOf(device->joystickId);
    if (index < 0) return false;
    if (device->joystick) SDL_JoystickClose(device->joystick);
    device->joystick = SDL_JoystickOpen(index);
    return device->joystick != nullptr;
}

}  // namespace sdl

bool EnumJoysticks(PlatformInput* input, JoystickVisitor visit, void* context) {
    if (!input || !visit || !sdl::InitJoysticks()) return false;
    sdl::UpdateJoysticks();
    int count = SDL_NumJoysticks();
    for (int i = 0; i < count; ++i) {
        JoystickInstance instance{};
        instance.id = SDL_JoystickGetDeviceInstanceID(i);
        if (instance.id < 0) continue;
        const char* name = SDL_JoystickNameForIndex(i);
        std::strncpy(instance.name, name ? name : "", sizeof(instance.name) - 1);
        if (!visit(instance, context)) break;
    }
    return true;
}

PlatformInputDevice* OpenJoystick(PlatformInput* input, int32_t id) {
    if (!input || !sdl::InitJoysticks()) return nullptr;
    int index = sdl::DeviceIndexOf(id);
    if (index < 0) return nullptr;
    PlatformInputDevice* device = sdl::RegisterDevice(DeviceKind::Joystick);
    if (!device) return nullptr;
    device->joystickId = id;
    device->joystick = SDL_JoystickOpen(index);
    if (!device->joystick) {
        CloseDevice(device);
        return nullptr;
    }
    for (uint32_t& pov : device->polled.pov) pov = 0xFFFFFFFF;
    return device;
}

bool SetAxisRange(PlatformInputDevice* joystick, int axis, int32_t min, int32_t max) {
    if (!sdl::ValidJoystick(joystick) || axis < 0 || axis >= kJoystickAxes || min > max)
        return false;
    std::lock_guard<std::mutex> lock(Input().lock);
    joystick->axes[axis].min = min;
    joystick->axes[axis].max = max;
    return true;
}

bool SetAxisDeadZone(PlatformInputDevice* joystick, int axis, uint32_t deadZone) {
    if (!sdl::ValidJoystick(joystick) || axis < 0 || axis >= kJoystickAxes || deadZone > 10000)
        return false;
    std::lock_guard<std::mutex> lock(Input().lock);
    joystick->axes[axis].deadZone = deadZone;
    return true;
}

void PollJoystick(PlatformInputDevice* joystick) {
    if (!sdl::ValidJoystick(joystick)) return;
    sdl::UpdateJoysticks();
    std::lock_guard<std::mutex> lock(Input().lock);
    SDL_Joystick* js = joystick->joystick;
    if (!joystick->acquired || !js || !SDL_JoystickGetAttached(js)) return;
    JoystickState& s = joystick->polled;
    int axes = SDL_JoystickNumAxes(js);
    for (int i = 0; i < kJoystickAxes; ++i) {
        // Axes the joystick lacks rest at their centre.
        int16_t raw = i < axes ? SDL_JoystickGetAxis(js, i) : 0;
        s.axes[i] = sdl::ScaleAxis(raw, joystick->axes[i]);
    }
    int hats = SDL_JoystickNumHats(js);
    for (int i = 0; i < 4; ++i)
        s.pov[i] = i < hats ? sdl::PovOfHat(SDL_JoystickGetHat(js, i), 0xFFFFFFFF) : 0xFFFFFFFF;
    int buttons = SDL_JoystickNumButtons(js);
    for (int i = 0; i < 32; ++i)
        s.buttons[i] = i < buttons && SDL_JoystickGetButton(js, i) ? 0x80 : 0;
}

InputResult ReadJoystick(PlatformInputDevice* joystick, JoystickState* state) {
    if (!sdl::ValidJoystick(joystick) || !state) return InputResult::NotAcquired;
    std::lock_guard<std::mutex> lock(Input().lock);
    if (!joystick->acquired) return InputResult::NotAcquired;
    if (!joystick->joystick || !SDL_JoystickGetAttached(joystick->joystick)) {
        joystick->acquired = false;
        return InputResult::InputLost;
    }
    *state = joystick->polled;
    return InputResult::Ok;
}

bool GetJoystickPosition(int id, JoystickPosition* out) {
    if (id < 0 || id > 1 || !out || !sdl::InitJoysticks()) return false;
    sdl::UpdateJoysticks();
    // The multimedia joysticks are SDL's first two, opened on first use and kept.
    static SDL_Joystick* opened[2] = {};
    SDL_Joystick*& js = opened[id];
    if (js && !SDL_JoystickGetAttached(js)) {
        SDL_JoystickClose(js);
        js = nullptr;
    }
    if (!js && id < SDL_NumJoysticks()) js = SDL_JoystickOpen(id);
    if (!js) return false;

    auto axis = [js](int i) -> uint32_t {
        return i < SDL_JoystickNumAxes(js) ? (uint32_t)(SDL_JoystickGetAxis(js, i) + 32768) : 32767;
    };
    out->x = axis(0);
    out->y = axis(1);
    out->z = axis(2);
    out->r = axis(3);
    out->u = axis(4);
    out->v = axis(5);
    out->buttons = 0;
    int buttons = SDL_JoystickNumButtons(js);
    for (int i = 0; i < buttons && i < 32; ++i)
        if (SDL_JoystickGetButton(js, i)) out->buttons |= 1u << i;
    out->pov =
        SDL_JoystickNumHats(js) > 0 ? sdl::PovOfHat(SDL_JoystickGetHat(js, 0), 65535) : 65535;
    return true;
}

}  // namespace platform
