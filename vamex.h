// Everything a compiled Vamex program sees: values, commands and the host's globals.
#pragma once

#include "commands/movie.h"
#include "commands/screen.h"
#include "commands/text.h"
#include "host/errors.h"
#include "host/globals.h"
#include "host/host.h"
#include "input/input_commands.h"
#include "lang/VXStr.h"
#include "lang/arrays.h"
#include "lang/builtins.h"
#include "lang/linefiles.h"
#include "lang/operators.h"
#include "lang/random.h"
#include "render/OpenGLLumeris.h"
#include "sound/sound_commands.h"
