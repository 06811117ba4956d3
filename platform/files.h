// File names and folders: the temporary folder and Windows path resolution.
#pragma once
#include <string>

namespace platform {

// The temporary folder with its trailing separator: $TMPDIR, or /tmp/.
std::string TempPath();
// Resolves a Windows file name to a POSIX path: a drive letter maps to
// $WINEPREFIX/dosdevices/x: (default ~/.wine), backslashes are separators, and
// each component matches an existing entry exactly or else without regard to case.
// A component that does not exist is kept as written. Names starting with '/' are
// used as they are.
std::string ResolvePath(const char* name);

}  // namespace platform
