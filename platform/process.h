// Child processes: the external movie player.
#pragma once

namespace platform {

// Starts the program file `application` with `argument` as its one argument and
// waits until it has ended. A name without a folder is taken from the working
// directory only (matched without regard to case, as Windows does): no search
// path, no shell. The child gets the caller's environment and working directory.
// False when the program cannot be started; its exit code is not read.
bool RunAndWait(const char* application, const char* argument);

}  // namespace platform
