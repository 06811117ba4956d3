// Everything a compiled Vamex program sees: values, commands and the host's globals.
#pragma once

#include "commands/screen.h"
#include "host/errors.h"
#include "host/globals.h"
#include "host/host.h"
#include "lang/VXStr.h"
#include "lang/linefiles.h"
#include "lang/random.h"
#include "render/OpenGLLumeris.h"
#include "sound/sound_commands.h"
