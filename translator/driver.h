// vamexc as a compiler driver: a translated program compiled and linked against the
// runtime installed beside this translator, and run.
#pragma once

#include <string>

#include "translate.h"

namespace vxc {

struct DriverRequest {
    std::string source;    // the .vx file
    std::string output;    // the program to make; empty with `run`
    bool run = false;      // build into a temporary folder and run it in the source's folder
    bool verbose = false;  // print each command before it runs
};

// Builds (and with `run`, runs) the program whose translated C++ is `cpp`. Returns the
// exit code vamexc ends with: the program's own with `run`, 0 when built, 1 when not.
int BuildProgram(const DriverRequest& request, const std::string& cpp);

}  // namespace vxc
