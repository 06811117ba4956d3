// The checking pass: names to symbols (globals, LOCALs, arrays, constants, SUBs,
// labels), types of expressions, command calls against the command table, and the
// warnings. After it the tree is ready for the emitter.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "ast.h"
#include "diagnostics.h"

namespace vxc {

// Checks `program`; `defines` (NAME, value) replace the values of CONSTs.
void Check(Program& program, const std::vector<std::pair<std::string, std::string>>& defines,
           Diagnostics& diagnostics);

}  // namespace vxc
