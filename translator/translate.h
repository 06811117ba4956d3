// The translator as a library: Vamex source in, C++ and diagnostics out.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace vxc {

struct Options {
    std::string file_name = "-";                               // shown in diagnostics and #line
    std::vector<std::pair<std::string, std::string>> defines;  // -D NAME=value, sets a CONST
    bool check_only = false;                                   // diagnostics only, no C++
};

struct Result {
    bool ok = false;          // no errors
    std::string cpp;          // the C++ (empty when !ok or check_only)
    std::string diagnostics;  // every message, GNU format, as printed on stderr
};

// Translates one program. Never throws; any input gives diagnostics or C++.
Result Translate(const std::string& source, const Options& options);

}  // namespace vxc
