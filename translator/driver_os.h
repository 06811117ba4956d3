// What the compiler driver needs of the system: its own location, a folder of its own,
// and programs started from an argument list, never through a shell.
#pragma once

#include <string>
#include <vector>

namespace vxc {

// The full name of the running vamexc, or "" when the system will not say.
std::string SelfPath();

// A new, empty, private folder under the system's temporary folder; "" on failure.
std::string MakeTempFolder();

// Starts args[0] (looked up on PATH when it names no folder) with the arguments as they
// are, in `folder` when not empty, its output and errors into `output_file` when not
// empty; waits for it. Its exit code, or -1 with `error` set when it could not start.
int RunProgram(const std::vector<std::string>& args, const std::string& folder,
               const std::string& output_file, std::string& error);

}  // namespace vxc
