// Everything a compiled Vamex program sees: values, commands and the host's globals.
#pragma once

#include "base/errors.h"
#include "base/settings.h"
#include "commands/devices.h"
#include "commands/input_commands.h"
#include "commands/movie.h"
#include "commands/screen.h"
#include "commands/sound_commands.h"
#include "commands/text.h"
#include "host/host.h"
#include "lang/VXStr.h"
#include "lang/arrays.h"
#include "lang/builtins.h"
#include "lang/linefiles.h"
#include "lang/operators.h"
#include "lang/random.h"
#include "render/OpenGLLumeris.h"
