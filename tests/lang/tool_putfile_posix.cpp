// One PUTFILE, of the file VX_PUTFILE_NAME at line VX_PUTFILE_LINE with the text
// VX_PUTFILE_TEXT: the program the line files' fault-injection test runs under its
// preloaded shim.
#include <cstdlib>

#include "lang/linefiles.h"

int main() {
    const char* name = std::getenv("VX_PUTFILE_NAME");
    const char* line = std::getenv("VX_PUTFILE_LINE");
    const char* text = std::getenv("VX_PUTFILE_TEXT");
    if (!name || !line || !text) return 2;
    PUTFILE(VXStr(name), std::atoi(line), VXStr(text));
    return 0;
}
