// Atomic replacement of a file's content: a temporary sibling is written, flushed and
// moved over the file. A failure anywhere leaves the old file as it was.
#include <atomic>
#include <string>

#include "platform/files.h"
#include "platform/win32/win32_internal.h"

namespace platform {
namespace {

std::atomic<bool> g_failRename{false};
std::atomic<bool> g_refuseTempFile{false};

// The attributes a replacement carries over from the file it replaces.
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                  FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

bool WriteAll(::HANDLE file, const char* data, size_t size) {
    while (size > 0) {
        DWORD chunk = size > 0x10000000 ? 0x10000000 : (DWORD)size;
        DWORD written = 0;
        if (!::WriteFile(file, data, chunk, &written, nullptr) || written == 0) return false;
        data += written;
        size -= written;
    }
    return true;
}

enum class Existing { None, File, Refused };

// What the name stands for now: nothing yet, a disk file (with its attributes), or
// something not to replace (a folder, a device, a pipe, a read-only file, a name whose
// folder is missing or that cannot be looked at).
Existing Examine(const std::string& path, DWORD* attributes) {
    ::HANDLE file = ::CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return ::GetLastError() == ERROR_FILE_NOT_FOUND ? Existing::None : Existing::Refused;
    BY_HANDLE_FILE_INFORMATION info{};
    bool disk = ::GetFileType(file) == FILE_TYPE_DISK &&
                ::GetFileInformationByHandle(file, &info) &&
                !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    ::CloseHandle(file);
    if (!disk) return Existing::Refused;
    // Opening it for writing would fail; a move would replace it all the same (and Wine
    // lets it), so the attribute is checked here.
    if (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) return Existing::Refused;
    *attributes = info.dwFileAttributes;
    return Existing::File;
}

// Creates a new, empty temporary file beside `target`; INVALID_HANDLE_VALUE (with the
// error set) when refused.
::HANDLE CreateSibling(const std::string& target, std::string& tempPath) {
    if (g_refuseTempFile) {
        ::SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    size_t slash = target.find_last_of("\\/");
    std::string dir = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath = dir + "." + base + ".vxtmp-" + std::to_string(::GetCurrentProcessId()) + "-" +
                   std::to_string(counter++);
        ::HANDLE file = ::CreateFileA(tempPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE || ::GetLastError() != ERROR_FILE_EXISTS) return file;
    }
    return INVALID_HANDLE_VALUE;
}

// For folders that take no new file: overwrite first, then cut, so the file is never
// empty on the way.
bool RewriteInPlace(const std::string& target, const char* data, size_t size) {
    ::HANDLE file = ::CreateFileA(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bool ok = WriteAll(file, data, size) && ::SetEndOfFile(file) && ::FlushFileBuffers(file);
    if (!::CloseHandle(file)) ok = false;
    return ok;
}

}  // namespace

bool ReplaceFile(const std::string& path, const char* data, size_t size) {
    if (path.empty() || (size > 0 && !data)) return false;
    DWORD attributes = 0;
    Existing existing = Examine(path, &attributes);
    if (existing == Existing::Refused) return false;

    std::string tempPath;
    ::HANDLE file = CreateSibling(path, tempPath);
    if (file == INVALID_HANDLE_VALUE) {
        // A missing folder takes nothing; a refusing one still lets us write the file.
        DWORD error = ::GetLastError();
        if (error == ERROR_PATH_NOT_FOUND || error == ERROR_INVALID_NAME) return false;
        return RewriteInPlace(path, data, size);
    }
    bool ok = WriteAll(file, data, size) && ::FlushFileBuffers(file);
    if (!::CloseHandle(file)) ok = false;
    if (ok && existing == Existing::File && (attributes & kKeptAttributes))
        ok = ::SetFileAttributesA(tempPath.c_str(), attributes & kKeptAttributes) != FALSE;
    if (ok) {
        if (g_failRename)
            ok = false;
        else
            ok = ::MoveFileExA(tempPath.c_str(), path.c_str(),
                               MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
    }
    if (!ok) {
        ::SetFileAttributesA(tempPath.c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileA(tempPath.c_str());
        return false;
    }
    return true;
}

namespace test {

void FailRename(bool fail) {
    g_failRename = fail;
}

void RefuseTempFile(bool refuse) {
    g_refuseTempFile = refuse;
}

}  // namespace test
}  // namespace platform
