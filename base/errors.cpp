// Error recording, end of program and the debug log.
#include "base/errors.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "base/settings.h"
#include "platform/files.h"

int _g_debugline = 0;
int _g_error = 0;
int _g_errorline = 0;

namespace {

// How the process ends; the host puts its own in place before the game runs.
void (*g_processEnd)(int code) = nullptr;

[[noreturn]] void EndProcess(int code) {
    if (g_processEnd) g_processEnd(code);
    std::exit(code);
}

// The reason a loader noted for the next report; empty when none is pending.
thread_local char g_fileReason[256];

// Appends `text` to `line` so that it cannot break the line or pass for another:
// quotes, backslashes and control characters are escaped.
void AppendEscaped(std::string& line, const char* text) {
    for (const char* p = text ? text : ""; *p; ++p) {
        unsigned char c = (unsigned char)*p;
        if (c == '"' || c == '\\') {
            line += '\\';
            line += (char)c;
        } else if (c < 0x20 || c == 0x7F) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            line += hex;
        } else {
            line += (char)c;
        }
    }
}

}  // namespace

void _SetProcessEnd(void (*end)(int code)) {
    g_processEnd = end;
}

int _Error(int code) {
    _g_error = code;
    _g_errorline = _g_debugline;
    return code;
}

void _dLn(int line) {
    _g_debugline = line;
}

void _EndProgram() {
    if (_VX_DEBUG != 0) {
        KWFileSystem::WriteDebug("-End On Line");
        KWFileSystem::WriteDebug((double)_g_error);
        KWFileSystem::WriteDebug((double)_g_errorline);
    } else {
        KWFileSystem::DeleteDebug();
    }
    EndProcess(0);
}

void END() {
    _Error(VX_ERR_ENDED);
    EndProcess(1);
}

void _NoteFileReason(const char* reason) {
    std::string text = reason ? reason : platform::LastErrorText();
    std::snprintf(g_fileReason, sizeof g_fileReason, "%s", text.c_str());
}

std::FILE* _OpenDataFile(const std::string& path) {
    platform::OpenResult result;
    std::FILE* file = platform::OpenForReading(path, INT64_MAX, &result);
    if (!file)
        _NoteFileReason(result == platform::OpenResult::NotAFile ? "not a regular file" : nullptr);
    return file;
}

void _FileFailure(const char* command, const char* name, const char* reason) {
    // The system's reason first: resolving the name makes system calls of its own, and
    // on Windows even reaching this thread's own storage clears the last error.
    std::string system = reason ? std::string() : platform::LastErrorText();
    std::string why = g_fileReason[0] ? g_fileReason : reason ? reason : system;
    g_fileReason[0] = 0;
    std::string line = "vamex: ";
    line += command ? command : "";
    line += " \"";
    AppendEscaped(line, name);
    line += "\" (";
    AppendEscaped(line, platform::ResolvePath(name).c_str());
    line += "): ";
    AppendEscaped(line, why.c_str());
    line += '\n';
    // One write, so lines of two threads never mix.
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
}

const char* KWFileSystem::DebugPath() {
    // Built once: the temporary folder does not change while the program runs.
    static char path[4096];
    if (!path[0]) std::snprintf(path, sizeof path, "%sErrorLog.txt", platform::TempPath().c_str());
    return path;
}

void KWFileSystem::WriteDebug(const char* text) {
    if (!text) text = "";
    // One append per entry, through a link never: the log lives in a shared folder.
    char entry[1024];
    size_t length = std::strlen(text);
    if (length + 2 <= sizeof entry) {
        std::memcpy(entry, text, length);
        std::memcpy(entry + length, "\r\n", 2);
        platform::AppendToFile(DebugPath(), entry, length + 2);
    } else if (platform::AppendToFile(DebugPath(), text, length)) {
        platform::AppendToFile(DebugPath(), "\r\n", 2);
    }
}

void KWFileSystem::WriteDebug(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%g", value);
    WriteDebug(text);
}

void KWFileSystem::DeleteDebug() {
    platform::RemoveFile(DebugPath());
}
