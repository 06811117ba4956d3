// The temporary folder, file names, reading and appending: Windows takes its own
// names as they are.
#include "platform/files.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <io.h>

#include "platform/win32/win32_internal.h"

namespace platform {

namespace win32 {

std::wstring WideName(const char* name) {
    if (!name || !*name) return std::wstring();
    for (UINT page : {(UINT)CP_UTF8, (UINT)CP_ACP}) {
        DWORD flags = page == CP_UTF8 ? MB_ERR_INVALID_CHARS : 0;
        int n = ::MultiByteToWideChar(page, flags, name, -1, nullptr, 0);
        if (n <= 0) continue;
        std::wstring wide((size_t)n, L'\0');
        if (::MultiByteToWideChar(page, flags, name, -1, &wide[0], n) != n) continue;
        wide.pop_back();  // the terminator counted in n
        return wide;
    }
    return std::wstring();
}

std::string Utf8Name(const wchar_t* name, size_t length) {
    if (!name || length == 0 || length > 0x7FFFFFFF) return std::string();
    int n = ::WideCharToMultiByte(CP_UTF8, 0, name, (int)length, nullptr, 0, nullptr, nullptr);
    if (n <= 0) return std::string();
    std::string text((size_t)n, '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, name, (int)length, &text[0], n, nullptr, nullptr);
    return text;
}

}  // namespace win32

std::string TempPath() {
    // Wide: a user name outside the ANSI code page is in the folder's name.
    wchar_t buffer[MAX_PATH + 1];
    DWORD n = ::GetTempPathW(MAX_PATH + 1, buffer);
    if (n == 0 || n > MAX_PATH) return ".\\";
    std::string path = win32::Utf8Name(buffer, n);
    if (path.empty()) return ".\\";
    if (path.back() != '\\' && path.back() != '/') path += '\\';
    return path;
}

std::string ResolvePath(const char* name) {
    return name ? std::string(name) : std::string();
}

std::FILE* OpenForReading(const std::string& path, long long maxBytes, OpenResult* result) {
    OpenResult ignored;
    if (!result) result = &ignored;
    *result = OpenResult::Failed;
    // Opening never waits on Windows (a busy pipe fails at once); what the handle is
    // decides whether it is read. Backup semantics let a folder open, to be refused.
    ::HANDLE file = ::CreateFileW(win32::WideName(path).c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        DWORD error = ::GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
            error == ERROR_INVALID_NAME)
            *result = OpenResult::Missing;
        return nullptr;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    bool disk = ::GetFileType(file) == FILE_TYPE_DISK &&
                ::GetFileInformationByHandle(file, &info) &&
                !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    long long size = ((long long)info.nFileSizeHigh << 32) | info.nFileSizeLow;
    *result = !disk             ? OpenResult::NotAFile
              : size > maxBytes ? OpenResult::TooLarge
                                : OpenResult::Opened;
    int fd = -1;
    if (*result == OpenResult::Opened) {
        fd = _open_osfhandle((intptr_t)file, _O_RDONLY | _O_BINARY);
        if (fd < 0) *result = OpenResult::Failed;
    }
    if (fd < 0) {
        ::CloseHandle(file);
        return nullptr;
    }
    std::FILE* stream = _fdopen(fd, "rb");
    if (!stream) {
        *result = OpenResult::Failed;
        _close(fd);
    }
    return stream;
}

bool RemoveFile(const char* path) {
    return path && ::DeleteFileW(win32::WideName(path).c_str());
}

bool AppendToFile(const char* path, const char* data, size_t size) {
    if (!path) return false;
    // FILE_FLAG_OPEN_REPARSE_POINT: a link planted at the name is opened itself, not
    // followed, and refused below with anything else that is not a plain file. The
    // log lives in the user's own temporary folder, whose access the new file takes.
    ::HANDLE file = ::CreateFileW(
        win32::WideName(path).c_str(), FILE_APPEND_DATA | FILE_READ_ATTRIBUTES, FILE_SHARE_READ,
        nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION info{};
    bool ok = ::GetFileType(file) == FILE_TYPE_DISK && ::GetFileInformationByHandle(file, &info) &&
              !(info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT));
    // One write: append-only access puts it at the end, whoever else appends.
    DWORD written = 0;
    if (ok && size > 0)
        ok = size <= 0x10000000 && ::WriteFile(file, data, (DWORD)size, &written, nullptr) &&
             written == size;
    if (!::CloseHandle(file)) ok = false;
    return ok;
}

std::string LastErrorText() {
    // The seam's own calls fail through the system, which sets its last error; a C
    // library call that fails without one is told by errno.
    DWORD error = ::GetLastError();
    if (error == ERROR_SUCCESS) return std::strerror(errno);
    char buffer[512];
    DWORD n =
        ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
                         MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), buffer, sizeof buffer, nullptr);
    while (n > 0 && (buffer[n - 1] == '\r' || buffer[n - 1] == '\n' || buffer[n - 1] == ' ' ||
                     buffer[n - 1] == '.'))
        --n;
    if (n == 0) return "system error " + std::to_string(error);
    return std::string(buffer, n);
}

}  // namespace platform
