// Error recording, end of program and the debug log "ErrorLog.txt".
#pragma once
#include <cstdio>
#include <string>

// Error codes the runtime records.
enum : int {
    VX_ERR_FILE = 3,         // a file cannot be opened or loaded
    VX_ERR_DIVISION = 6,     // division by zero
    VX_ERR_RANGE = 7,        // value out of range, or memory not obtained
    VX_ERR_INDEX_COUNT = 8,  // array used with another number of indices
    VX_ERR_INDEX = 9,        // array index out of range
    VX_ERR_ENDED = 10,       // ended by Escape or END
};

extern int _g_error;
extern int _g_errorline;
extern int _g_debugline;

// Puts in place how the process ends (exit code given); `end` must not return.
// Without one the process ends with std::exit.
void _SetProcessEnd(void (*end)(int code));
// Records `code` with the last announced source line; returns the code.
int _Error(int code);
// Announces the source line the program is on.
void _dLn(int line);
// Normal end: writes the end record (debug on) or deletes the log, then exit code 0.
[[noreturn]] void _EndProgram();
// The END command: records error 10 and ends with exit code 1, log left as it is.
[[noreturn]] void END();

// Notes why a loader could not take its file, for the command's _FileFailure:
// `reason`, or the system's reason for the call that just failed when null.
void _NoteFileReason(const char* reason);
// Opens a loader's file (a resolved path) for binary reading without blocking: only a
// regular file opens, whatever its size. Null, with the reason noted, otherwise.
std::FILE* _OpenDataFile(const std::string& path);
// Writes one line to stderr for a file command that failed: the name as the program
// gave it, the path it resolved to, and the reason noted since the last report, else
// `reason`, else the system's reason for the call that just failed. The error record
// and the exit code are not touched.
void _FileFailure(const char* command, const char* name, const char* reason = nullptr);

// The debug log in the temporary folder; each entry is one line ending in CR LF.
class KWFileSystem {
public:
    // Appends `text` as one entry.
    static void WriteDebug(const char* text);
    // Appends `value` as one entry, formatted as %g.
    static void WriteDebug(double value);
    // Deletes the log; a missing log is no error.
    static void DeleteDebug();
    // Full path of the log.
    static const char* DebugPath();
};
