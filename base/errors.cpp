// Error recording, end of program and the debug log.
#include "base/errors.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

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

const char* KWFileSystem::DebugPath() {
    // Built once: the temporary folder does not change while the program runs.
    static char path[4096];
    if (!path[0]) std::snprintf(path, sizeof path, "%sErrorLog.txt", platform::TempPath().c_str());
    return path;
}

void KWFileSystem::WriteDebug(const char* text) {
    if (!text) text = "";
    FILE* f = std::fopen(DebugPath(), "ab");
    if (!f) return;
    std::fputs(text, f);
    std::fputs("\r\n", f);
    std::fclose(f);
}

void KWFileSystem::WriteDebug(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%g", value);
    WriteDebug(text);
}

void KWFileSystem::DeleteDebug() {
    std::remove(DebugPath());
}
