// Test support, Windows side: processes through CreateProcess, temporary folders
// under GetTempPath, and no X server.
#include "support/process.h"

#include <windows.h>

#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <cwchar>

namespace vxtest {
namespace {

std::string Backslashed(std::string path) {
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

std::string NameOf(const std::string& entry) {
    return entry.substr(0, entry.find('='));
}

bool SameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && _stricmp(a.c_str(), b.c_str()) == 0;
}

// The extra entries as Windows sees them: TMPDIR names the temporary folder,
// which GetTempPath takes from TMP (then TEMP).
std::vector<std::string> Translated(const std::vector<std::string>& env) {
    std::vector<std::string> out;
    for (const std::string& entry : env) {
        if (SameName(NameOf(entry), "TMPDIR")) {
            if (entry.find('=') == std::string::npos) continue;
            std::string dir = Backslashed(entry.substr(entry.find('=') + 1));
            out.push_back("TMP=" + dir);
            out.push_back("TEMP=" + dir);
        } else {
            out.push_back(entry);
        }
    }
    return out;
}

// UTF-16 for the system's wide functions: names and values are UTF-8, as the
// runtime's are.
std::wstring Wide(const std::string& text) {
    if (text.empty()) return std::wstring();
    int n = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), (int)text.size(), nullptr, 0);
    std::wstring wide((size_t)(n > 0 ? n : 0), L'\0');
    if (n > 0) MultiByteToWideChar(CP_UTF8, 0, text.c_str(), (int)text.size(), &wide[0], n);
    return wide;
}

std::wstring NameOf(const std::wstring& entry) {
    return entry.substr(0, entry.find(L'='));
}

// This process's environment with the extra entries applied, as one wide block, so
// that values beyond the ANSI code page (a temporary folder's name) arrive whole.
std::wstring EnvironmentBlock(const std::vector<std::string>& extra) {
    std::vector<std::wstring> wideExtra;
    for (const std::string& x : extra) wideExtra.push_back(Wide(x));
    std::wstring block;
    if (wchar_t* strings = GetEnvironmentStringsW()) {
        for (const wchar_t* e = strings; *e; e += wcslen(e) + 1) {
            std::wstring entry(e);
            bool replaced = false;
            for (const std::wstring& x : wideExtra)
                if (entry[0] != L'=' && _wcsicmp(NameOf(x).c_str(), NameOf(entry).c_str()) == 0)
                    replaced = true;
            if (!replaced) block.append(entry).push_back(L'\0');
        }
        FreeEnvironmentStringsW(strings);
    }
    for (const std::wstring& x : wideExtra)
        if (x.find(L'=') != std::wstring::npos) block.append(x).push_back(L'\0');
    block.push_back(L'\0');
    return block;
}

}  // namespace

RunResult Run(const std::string& program, const std::vector<std::string>& env,
              const std::string& workDir, int timeoutSeconds) {
    RunResult result;
    std::string outPath = MakeTempDir("run") + "\\output.txt";
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE out = CreateFileA(outPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                             &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE) return result;

    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nullptr;
    startup.hStdOutput = out;
    startup.hStdError = out;
    PROCESS_INFORMATION info = {};
    std::wstring path = Wide(Backslashed(program));
    std::wstring commandLine = L"\"" + path + L"\"";
    std::wstring block = EnvironmentBlock(Translated(env));
    std::wstring dir = Wide(Backslashed(workDir));
    BOOL started =
        CreateProcessW(path.c_str(), &commandLine[0], nullptr, nullptr, TRUE,
                       CREATE_UNICODE_ENVIRONMENT, &block[0], dir.c_str(), &startup, &info);
    CloseHandle(out);
    if (!started) {
        result.output = "[CreateProcess failed: " + std::to_string(GetLastError()) + "]";
        return result;
    }
    CloseHandle(info.hThread);
    if (WaitForSingleObject(info.hProcess, (DWORD)timeoutSeconds * 1000) != WAIT_OBJECT_0) {
        TerminateProcess(info.hProcess, 1);
        WaitForSingleObject(info.hProcess, INFINITE);
        CloseHandle(info.hProcess);
        result.output = ReadFile(outPath) + "\n[killed after timeout]";
        return result;
    }
    DWORD code = 0;
    if (GetExitCodeProcess(info.hProcess, &code)) result.exitCode = (int)code;
    CloseHandle(info.hProcess);
    result.output = ReadFile(outPath);
    return result;
}

std::string BuiltProgram(const std::string& name) {
    std::string base = VX_BUILD_DIR;
    for (const char* sub : {"/tests/", "/game/", "/bench/", "/"}) {
        std::string path = base + sub + name + ".exe";
        if (FileExists(path)) return path;
    }
    return base + "/" + name + ".exe";
}

std::string MakeTempDir(const std::string& stem) {
    char tmp[MAX_PATH + 1];
    DWORD length = GetTempPathA(sizeof tmp, tmp);
    if (length == 0 || length > MAX_PATH) return std::string();
    for (unsigned attempt = 0; attempt < 1000; ++attempt) {
        char suffix[16];
        std::snprintf(
            suffix, sizeof suffix, ".%06X",
            (unsigned)(GetTickCount() * 7919u + GetCurrentProcessId() * 131u + attempt) & 0xFFFFFF);
        std::string dir = std::string(tmp, length) + stem + suffix;
        if (CreateDirectoryA(dir.c_str(), nullptr)) return dir;
        if (GetLastError() != ERROR_ALREADY_EXISTS) return std::string();
    }
    return std::string();
}

void SetTempFolder(const std::string& dir) {
    std::string windows = Backslashed(dir);
    SetEnv("TMP", windows.c_str());
    SetEnv("TEMP", windows.c_str());
}

void SetEnv(const char* name, const char* value) {
    // Both the C library's copy and the system's, which child processes inherit.
    std::string entry = std::string(name) + "=" + (value ? value : "");
    _putenv(entry.c_str());
    SetEnvironmentVariableA(name, value);
}

// Windows programs need no X server: the display stays "".
XServer::XServer(const std::vector<std::string>&) {}
XServer::~XServer() {}

}  // namespace vxtest
