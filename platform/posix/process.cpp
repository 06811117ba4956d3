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
    // Handles are not inherited: everything past the standard three is closed in the
    // child, also descriptors opened without close-on-exec.
    posix_spawn_file_actions_t actions;
    if (posix_spawn_file_actions_init(&actions) != 0) return false;
    pid_t child = 0;
    int spawned = posix_spawn_file_actions_addclosefrom_np(&actions, 3);
    if (spawned == 0) spawned = posix_spawn(&child, path.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return false;
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return true;
}

}  // namespace platform
