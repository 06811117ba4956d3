// The emitter: a checked syntax tree to C++ on the runtime (vamex.h).
#pragma once

#include <string>

#include "ast.h"

namespace vxc {

// The C++ of a checked program; `fileName` goes into the #line directives.
std::string Emit(const Program& program, const std::string& fileName);

}  // namespace vxc
