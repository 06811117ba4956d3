// The sound commands: thin calls on the sample slots, which do the work.
#include "commands/sound_commands.h"

#include "base/errors.h"
#include "base/settings.h"
#include "commands/devices.h"
#include "sound/SFXSound.h"

namespace {

constexpr int kSlots = 128;

int SlotOf(int slot) {
    return slot >= kSlots ? kSlots - 1 : slot;
}

}  // namespace

int LOADSOUND(VXStr fileName, int slot, int buffers) {
    slot = SlotOf(slot);
    if (slot < 0) {
        _FileFailure("LOADSOUND", fileName, "no such sound slot");
        return VX_ERR_FILE;  // nothing loaded
    }
    if (buffers > 100) buffers = 100;
    if (buffers <= 0) buffers = 1;
    // The slot keeps the name only during the load, so the by-value text suffices.
    if (DXwav[slot].Load(&DXsnd, fileName, buffers)) return 0;
    _FileFailure("LOADSOUND", fileName, "no sound device");
    return VX_ERR_FILE;
}

int PLAYSOUND(int slot, int pan) {
    slot = SlotOf(slot);
    if (slot < 0) return 0;
    if (pan > 100) pan = 100;
    if (pan < -100) pan = -100;
    DXwav[slot].Play(pan * 100, 0);
    return 0;
}

int HUSH() {
    for (int slot = 0; slot < kSlots; ++slot) DXwav[slot].Stop();
    return 0;
}
