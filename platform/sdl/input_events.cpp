// Input events pumped with the window's messages. Each key or button change is
// queued for every reader (the open keyboards and mice, and the virtual-key state);
// the readers apply them batch by batch as they are read.
#include "platform/sdl/input_backend.h"
#include "platform/sdl/sdl_internal.h"

namespace platform::sdl {

void HeldCodes::Apply(const InputChange& change) {
    if (change.source >= kSources) return;
    int s = change.source;
    if (change.down) {
        if (sourceDown_[s]) return;
        sourceDown_[s] = true;
        for (int i = 0; i < 2; ++i) {
            uint8_t code = change.codes[i];
            sourceCodes_[s][i] = code;
            if (code == 0) continue;
            if (count_[code]++ == 0) {
                state_[code] = (uint8_t)((state_[code] ^ 0x01) | 0x80);
                pressed_[code] = true;
            }
        }
    } else {
        if (!sourceDown_[s]) return;
        sourceDown_[s] = false;
        // The codes the key was pressed with, whatever the layout says now.
        for (int i = 0; i < 2; ++i) {
            uint8_t code = sourceCodes_[s][i];
            if (code != 0 && count_[code] > 0 && --count_[code] == 0) state_[code] &= 0x7F;
        }
    }
}

bool HeldCodes::TakePressed(int code) {
    bool was = pressed_[code];
    pressed_[code] = false;
    return was;
}

void ChangeQueue::Push(const InputChange& change, HeldCodes& held) {
    if (!read_ || SDL_GetTicks() - lastRead_ >= kIdleMs) {
        // Nobody reads: keep the state current, after whatever is still queued.
        ApplyAll(held);
        held.Apply(change);
        return;
    }
    if (count_ == kCapacity) {
        held.Apply(items_[head_]);
        head_ = (head_ + 1) % kCapacity;
        --count_;
    }
    items_[(head_ + count_) % kCapacity] = change;
    ++count_;
}

void ChangeQueue::ApplyAll(HeldCodes& held) {
    while (count_ > 0) {
        held.Apply(items_[head_]);
        head_ = (head_ + 1) % kCapacity;
        --count_;
    }
}

void ChangeQueue::MarkReading() {
    read_ = true;
    lastRead_ = SDL_GetTicks();
}

void ChangeQueue::ApplyBatch(HeldCodes& held) {
    std::bitset<kSources> changed;
    while (count_ > 0) {
        const InputChange& change = items_[head_];
        if (change.source < kSources) {
            if (changed[change.source]) break;
            changed[change.source] = true;
        }
        held.Apply(change);
        head_ = (head_ + 1) % kCapacity;
        --count_;
    }
}

uint8_t MouseSlotOf(int button) {
    // SDL's left, middle, right, X1, X2 as DirectInput's left, right, middle, fourth.
    static const uint8_t kSlot[kMouseButtons] = {1, 3, 2, 4, 0};
    return button >= 0 && button < kMouseButtons ? kSlot[button] : 0;
}

InputData& Input() {
    // Never destroyed: events may still be pumped while the runtime's globals go down.
    static InputData* data = new InputData();
    return *data;
}

namespace {

void QueueKey(InputData& d, const SDL_KeyboardEvent& e) {
    if (e.repeat) return;  // held keys stay held; repeats change nothing
    bool down = e.type == SDL_KEYDOWN;
    uint16_t source = (uint16_t)e.keysym.scancode;
    if (source >= kMouseSourceBase) return;
    d.sourcesDown[source] = down;
    uint8_t keyCode = KeyCodeOfScancode(e.keysym.scancode);
    if (keyCode != 0) {
        for (PlatformInputDevice* dev : d.devices)
            if (dev && dev->kind == DeviceKind::Keyboard)
                dev->queue.Push({source, {keyCode, 0}, down}, dev->held);
    }
    InputChange change{source, {0, 0}, down};
    VirtualKeysOf(e.keysym, change.codes);
    d.virtualKeyQueue.Push(change, d.virtualKeys);
}

void QueueButton(InputData& d, const SDL_MouseButtonEvent& e) {
    if (e.button < 1 || e.button > kMouseButtons) return;
    bool down = e.type == SDL_MOUSEBUTTONDOWN;
    uint16_t source = (uint16_t)(kMouseSourceBase + e.button - 1);
    static const uint8_t kVirtualKey[kMouseButtons] = {VK_LBUTTON, VK_MBUTTON, VK_RBUTTON,
                                                       VK_XBUTTON1, VK_XBUTTON2};
    uint8_t slot = MouseSlotOf(e.button - 1);
    d.sourcesDown[source] = down;
    if (slot != 0) {
        for (PlatformInputDevice* dev : d.devices)
            if (dev && dev->kind == DeviceKind::Mouse)
                dev->queue.Push({source, {slot, 0}, down}, dev->held);
    }
    d.virtualKeyQueue.Push({source, {kVirtualKey[e.button - 1], 0}, down}, d.virtualKeys);
}

void Move(InputData& d, const SDL_MouseMotionEvent& e) {
    for (PlatformInputDevice* dev : d.devices) {
        if (dev && dev->kind == DeviceKind::Mouse) {
            dev->dx += e.xrel;
            dev->dy += e.yrel;
        }
    }
    // The cursor in screen coordinates: the event's window offsets its position;
    // an event for no window carries screen coordinates.
    int wx = 0, wy = 0;
    if (SDL_Window* window = SDL_GetWindowFromID(e.windowID))
        SDL_GetWindowPosition(window, &wx, &wy);
    d.cursorX = wx + e.x;
    d.cursorY = wy + e.y;
    d.cursorKnown = true;
}

}  // namespace

void HandleInputEvent(const SDL_Event& event) {
    InputData& d = Input();
    std::lock_guard<std::mutex> lock(d.lock);
    switch (event.type) {
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            QueueKey(d, event.key);
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            QueueButton(d, event.button);
            break;
        case SDL_MOUSEMOTION:
            Move(d, event.motion);
            break;
        case SDL_MOUSEWHEEL:
            for (PlatformInputDevice* dev : d.devices)
                if (dev && dev->kind == DeviceKind::Mouse)
                    dev->dz += (event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -120 : 120) *
                               event.wheel.y;
            break;
        default:
            break;  // joysticks are read from their devices when polled
    }
}

}  // namespace platform::sdl
