// The runtime's commands and functions as the translator knows them: one row per
// form (name, argument kinds, what it gives). A test compiles a call of every row
// against vamex.h, so this table follows the runtime's headers.
#pragma once

#include <string>
#include <vector>

namespace vxc {

// What an argument position takes.
enum class ArgKind : unsigned char {
    Int,     // an integer value
    Str,     // a string value (passed by value)
    IntVar,  // an integer variable or element the command writes
    StrVar,  // a string variable or element the command writes (and may read first)
};

// One form of a command or function.
struct CommandForm {
    const char* name;    // as the language spells it
    bool function;       // a function gives an integer value; a command is a statement
    int argc;            // number of arguments
    ArgKind args[9];     // their kinds
    const char* params;  // the arguments as shown to the user ("text$, x, y")
};

// Every form, grouped by name in alphabetical order.
const std::vector<CommandForm>& CommandTable();
// The forms of `name` (any case), empty when the runtime has none.
std::vector<const CommandForm*> FindCommand(const std::string& name);
// The known name nearest to `name` (by edit distance), or "" when none is close.
std::string NearestCommand(const std::string& name);
// "PRINT text$, x, y" / "SHOWSCREEN": a form as the user writes it.
std::string FormText(const CommandForm& form);

}  // namespace vxc
