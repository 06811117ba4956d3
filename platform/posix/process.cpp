// Child processes over posix_spawn and waitpid.
#include "platform/process.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <string>

#include "platform/files.h"

extern char** environ;

namespace platform {

bool RunAndWait(const char* application, const char* argument) {
    if (!application || !*application) return false;
    std::string path = ResolvePath(application);
    // posix_spawn (not posix_spawnp) never searches PATH; "./" keeps a bare name
    // in the working directory.
    if (path.find('/') == std::string::npos) path = "./" + path;
    std::string name(application);
    std::string arg(argument ? argument : "");
    char* argv[] = {name.data(), arg.data(), nullptr};
    pid_t child = 0;
    if (posix_spawn(&child, path.c_str(), nullptr, nullptr, argv, environ) != 0) return false;
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return true;
}

}  // namespace platform
