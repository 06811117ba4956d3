// The host's globals: the devices, the settings and the runtime state.
#pragma once
#include "base/settings.h"
#include "commands/devices.h"
