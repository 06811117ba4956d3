// Test support: running built programs as processes in a prepared environment.
// One side per backend (process_posix.cpp, process_win32.cpp).
#pragma once
#include <string>
#include <vector>

namespace vxtest {

struct RunResult {
    int exitCode = -1;   // -1 when the process did not exit normally
    std::string output;  // stdout and stderr together
};

// Runs `program` (a path) with extra environment entries "NAME=value" ("NAME" alone
// removes the variable) in folder `workDir`; waits at most `timeoutSeconds`.
// "TMPDIR=dir" names the program's temporary folder on both builds.
RunResult Run(const std::string& program, const std::vector<std::string>& env,
              const std::string& workDir = ".", int timeoutSeconds = 60);
// Path of a program built beside the tests (".exe" added on Windows).
std::string BuiltProgram(const std::string& name);
// A fresh empty folder under the test's temporary folder.
std::string MakeTempDir(const std::string& stem);
// Makes `dir` the temporary folder of this process and of the programs it runs.
void SetTempFolder(const std::string& dir);
// Sets (or, with a null value, removes) an environment variable of this process.
void SetEnv(const char* name, const char* value);
// Reads a whole file; empty when it cannot be read.
std::string ReadFile(const std::string& path);
// Writes a whole file, creating folders on the way.
bool WriteFile(const std::string& path, const std::string& data);
bool FileExists(const std::string& path);

// An Xvfb server for the life of the object, with `options` added to its command
// line (e.g. {"-extension", "GLX"}); display is "" when none could start (always on
// Windows, where programs need no X server).
struct XServer {
    explicit XServer(const std::vector<std::string>& options = {});
    ~XServer();
    int pid = -1;
    std::string display;
};

}  // namespace vxtest
