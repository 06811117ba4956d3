// File names and folders: the temporary folder, Windows path resolution and atomic
// replacement of a file.
#pragma once
#include <cstddef>
#include <cstdio>
#include <string>

namespace platform {

// The temporary folder with its trailing separator: $TMPDIR or /tmp/ (Linux),
// GetTempPath (Windows).
std::string TempPath();
// Windows: the name as it is (its bytes read as UTF-8, or where they are no valid UTF-8,
// in the ANSI code page, as the system's ANSI functions would). Linux: resolves a Windows file name
// to a POSIX path: a drive letter maps to $WINEPREFIX/dosdevices/x: (default ~/.wine), a name
// rooted without one ("\\a\\b") is on c:, backslashes and slashes are separators, "." and ".." are
// collapsed first (never above a drive's root), and each component matches an existing entry
// exactly or else without regard to case. A component that does not exist is kept as written. Names
// starting with '/' are used as they are.
std::string ResolvePath(const char* name);
// Replaces the file at `path` (a resolved name) with `data` atomically: a sibling
// temporary file, open to its owner only, is written, given the old file's owner and
// permission bits, flushed and renamed over it; only where the folder refuses a new file
// (POSIX: or a new file could not have the old one's owner) is the file rewritten in
// place, and then whole or not at all but for a crash while a shorter text cuts the old
// tail. Temporary files of rewrites whose process died are removed on the way (POSIX).
// A read-only file, a folder or a device is left
// untouched. A link is written through, also one whose target does not exist yet, and
// stays a link. On Windows a file that another program holds open, which cannot be
// replaced, is rewritten in place too. True when written; else LastErrorText says why.
bool RewriteFile(const std::string& path, const char* data, size_t size);
// Why this thread's last RewriteFile that returned true wrote the file in place
// rather than replacing it atomically (one line); "" when it replaced it.
std::string ReplacedInPlace();

// How OpenForReading went.
enum class OpenResult { Opened, Missing, NotAFile, TooLarge, Failed };
// Opens the file at `path` (a resolved name) for binary reading without ever blocking.
// Only a regular file of at most `maxBytes` opens: a folder, pipe or device is
// NotAFile, a longer file TooLarge; Missing when it or a folder on its way does not
// exist; Failed otherwise (LastErrorText says why). Null unless Opened.
std::FILE* OpenForReading(const std::string& path, long long maxBytes, OpenResult* result);
// Deletes the file at `path`; false when it is not there or cannot be deleted.
bool RemoveFile(const char* path);
// Appends `size` bytes to the file at `path` in one write, creating it open to its
// owner only. A link at that name, or anything but the caller's own regular file, is
// refused and left alone. True when written.
bool AppendToFile(const char* path, const char* data, size_t size);
// The system's reason for the last file call that failed on this thread, as text
// (errno on POSIX, GetLastError on Windows).
std::string LastErrorText();

}  // namespace platform

// Failure injection for tests of the seam's callers.
namespace platform::test {

// Makes every RewriteFile rename fail, as a full or broken disk would, until cleared.
void FailRename(bool fail);
// Makes every RewriteFile find its folder refusing a new file, until cleared.
void RefuseTempFile(bool refuse);

}  // namespace platform::test
