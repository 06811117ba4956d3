// Error recording, end of program and the debug log.
#include "host/errors.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

#include "host/globals.h"
#include "host/host.h"
#include "platform/files.h"

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
    _HostExit(0);
}

void END() {
    _Error(VX_ERR_ENDED);
    _HostExit(1);
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
    unlink(DebugPath());
}
