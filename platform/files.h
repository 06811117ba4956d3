// File names and folders: the temporary folder, Windows path resolution and atomic
// replacement of a file.
#pragma once
#include <cstddef>
#include <string>

namespace platform {

// The temporary folder with its trailing separator: $TMPDIR, or /tmp/.
std::string TempPath();
// Resolves a Windows file name to a POSIX path: a drive letter maps to
// $WINEPREFIX/dosdevices/x: (default ~/.wine), a name rooted without one ("\\a\\b")
// is on c:, backslashes and slashes are separators, "." and ".." are collapsed first
// (never above a drive's root), and each component matches an existing entry exactly
// or else without regard to case. A component that does not exist is kept as written.
// Names starting with '/' are used as they are.
std::string ResolvePath(const char* name);
// Replaces the file at `path` (a POSIX path) with `data` atomically: a sibling temporary
// file is written, flushed and renamed over it, keeping its permission bits; only where
// the folder refuses a new file is the file rewritten in place. True when written.
bool ReplaceFile(const std::string& path, const char* data, size_t size);

}  // namespace platform

// Failure injection for tests of the seam's callers.
namespace platform::test {

// Makes every ReplaceFile rename fail, as a full or broken disk would, until cleared.
void FailRename(bool fail);
// Makes every ReplaceFile find its folder refusing a new file, until cleared.
void RefuseTempFile(bool refuse);

}  // namespace platform::test
