// Child processes over CreateProcessW: the program by its full name in the working
// folder (no search path, no shell), one quoted argument, no handles inherited.
// Names and the argument are the runtime's texts, UTF-8 where they are valid UTF-8.
#include "platform/process.h"

#include <string>
#include <vector>

#include "platform/win32/win32_internal.h"

namespace platform {
namespace {

// Quotes one argument so the child's C library reads it back unchanged: backslashes
// before a quote are doubled, and quotes inside are escaped.
void AppendQuoted(std::wstring& line, const std::wstring& argument) {
    line += L'"';
    size_t backslashes = 0;
    for (wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        line.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        line += c;
    }
    line.append(backslashes * 2, L'\\');
    line += L'"';
}

// The program's full name: a bare name is taken from the working folder only.
std::wstring FullName(const char* application) {
    std::wstring name = win32::WideName(application);
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        wchar_t* filePart = nullptr;
        DWORD n = ::GetFullPathNameW(name.c_str(), (DWORD)buffer.size(), buffer.data(), &filePart);
        if (n == 0) return std::wstring();
        if (n < buffer.size()) return std::wstring(buffer.data(), n);
        buffer.resize(n + 1);
    }
}

// True for a Windows program file. Wine would start a Unix script or binary of that
// name too, through a shell: only what Windows itself runs is started.
bool IsWindowsProgram(const std::wstring& path) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    char magic[2] = {};
    DWORD read = 0;
    bool ok = ::ReadFile(file, magic, sizeof(magic), &read, nullptr) && read == 2 &&
              magic[0] == 'M' && magic[1] == 'Z';
    ::CloseHandle(file);
    return ok;
}

}  // namespace

bool RunAndWait(const char* application, const char* argument) {
    if (!application || !*application) return false;
    std::wstring path = FullName(application);
    DWORD attributes = path.empty() ? INVALID_FILE_ATTRIBUTES : ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) ||
        !IsWindowsProgram(path))
        return false;

    std::wstring line;
    AppendQuoted(line, path);
    line += L' ';
    AppendQuoted(line, win32::WideName(argument ? argument : ""));
    std::vector<wchar_t> commandLine(line.begin(), line.end());
    commandLine.push_back(L'\0');

    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION child{};
    if (!::CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          nullptr, &startup, &child))
        return false;
    ::CloseHandle(child.hThread);
    // The player may run for minutes: the window keeps answering what the system and
    // other programs send it (a broadcast waits for every top-level window), while
    // the game stays where it is, its posted messages queued for its next frame.
    if (!win32::WaitAnsweringSentMessages(child.hProcess, INFINITE))
        ::WaitForSingleObject(child.hProcess, INFINITE);
    ::CloseHandle(child.hProcess);
    return true;
}

}  // namespace platform
