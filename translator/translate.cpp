// The translator's passes in order: parse (lexing on the way), check, emit.
#include "translate.h"

#include "checker.h"
#include "diagnostics.h"
#include "emitter.h"
#include "parser.h"

namespace vxc {

Result Translate(const std::string& source, const Options& options) {
    Result result;
    Diagnostics diagnostics(options.file_name, source);
    Program program;
    Parser(source, program, diagnostics).ParseProgram();
    if (!diagnostics.Stopped()) Check(program, options.defines, diagnostics);
    result.ok = diagnostics.Errors() == 0 && !diagnostics.Stopped();
    if (result.ok && !options.check_only) result.cpp = Emit(program, options.file_name);
    result.diagnostics = diagnostics.Text();
    return result;
}

}  // namespace vxc
