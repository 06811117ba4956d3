// Atomic replacement of a file's content: a temporary sibling is written, flushed and
// moved over the file. A failure anywhere leaves the old file as it was.
#include <atomic>
#include <string>

#include "platform/files.h"
#include "platform/win32/win32_internal.h"
// After the system's headers, taken in by the line above.
#include <aclapi.h>
#include <sddl.h>

namespace platform {
namespace {

std::atomic<bool> g_failRename{false};
std::atomic<bool> g_refuseTempFile{false};

// Why this thread's last RewriteFile wrote the file in place; "" when it replaced it.
thread_local const char* g_inPlace = "";

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
// A link is followed: `target` becomes the file it names, which is the one replaced,
// so the link stays a link.
Existing Examine(const std::string& path, DWORD* attributes, std::string* target) {
    *target = path;
    DWORD own = ::GetFileAttributesW(win32::WideName(path).c_str());
    ::HANDLE file = ::CreateFileW(win32::WideName(path).c_str(), FILE_READ_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        if (::GetLastError() != ERROR_FILE_NOT_FOUND) return Existing::Refused;
        // A link to nothing would be replaced by a file, not written through: left alone.
        if (own != INVALID_FILE_ATTRIBUTES && (own & FILE_ATTRIBUTE_REPARSE_POINT)) {
            ::SetLastError(ERROR_CANT_RESOLVE_FILENAME);
            return Existing::Refused;
        }
        return Existing::None;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    bool disk = ::GetFileType(file) == FILE_TYPE_DISK &&
                ::GetFileInformationByHandle(file, &info) &&
                !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    if (disk && own != INVALID_FILE_ATTRIBUTES && (own & FILE_ATTRIBUTE_REPARSE_POINT)) {
        wchar_t final[MAX_PATH * 2];
        DWORD n = ::GetFinalPathNameByHandleW(file, final, MAX_PATH * 2, FILE_NAME_NORMALIZED);
        if (n == 0 || n >= MAX_PATH * 2)
            disk = false;
        else
            *target = win32::Utf8Name(final, n);
    }
    ::CloseHandle(file);
    if (!disk) {
        ::SetLastError((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? ERROR_ACCESS_DENIED
                                                                          : ERROR_NOT_SUPPORTED);
        return Existing::Refused;
    }
    // Opening it for writing would fail; a move would replace it all the same (and Wine
    // lets it), so the attribute is checked here.
    if (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) {
        ::SetLastError(ERROR_FILE_READ_ONLY);
        return Existing::Refused;
    }
    *attributes = info.dwFileAttributes;
    return Existing::File;
}

// Security attributes that let only the file's owner in, for a temporary file that
// will carry an existing file's content: no one else may read it on its way.
struct OwnerOnly {
    OwnerOnly() {
        if (::ConvertStringSecurityDescriptorToSecurityDescriptorA(
                "D:P(A;;FA;;;OW)", SDDL_REVISION_1, &descriptor, nullptr)) {
            attributes.nLength = sizeof attributes;
            attributes.lpSecurityDescriptor = descriptor;
        }
    }
    ~OwnerOnly() {
        if (descriptor) ::LocalFree(descriptor);
    }
    SECURITY_ATTRIBUTES* Get() { return descriptor ? &attributes : nullptr; }
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    SECURITY_ATTRIBUTES attributes{};
};

// Gives the replacement the old file's access list before it takes the old file's
// place. A file system that keeps none (or a system that gives none) has nothing to copy.
bool TakeAccess(const std::string& from, const std::string& to) {
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (::GetNamedSecurityInfoW(win32::WideName(from).c_str(), SE_FILE_OBJECT,
                                DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl, nullptr,
                                &descriptor) != ERROR_SUCCESS)
        return true;
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    ::GetSecurityDescriptorControl(descriptor, &control, &revision);
    SECURITY_INFORMATION what = DACL_SECURITY_INFORMATION;
    what |= (control & SE_DACL_PROTECTED) ? PROTECTED_DACL_SECURITY_INFORMATION
                                          : UNPROTECTED_DACL_SECURITY_INFORMATION;
    std::wstring wideTo = win32::WideName(to);
    DWORD error =
        ::SetNamedSecurityInfoW(&wideTo[0], SE_FILE_OBJECT, what, nullptr, nullptr, dacl, nullptr);
    ::LocalFree(descriptor);
    if (error != ERROR_SUCCESS) ::SetLastError(error);
    return error == ERROR_SUCCESS;
}

// Creates a new, empty temporary file beside `target`; INVALID_HANDLE_VALUE (with the
// error set) when refused.
::HANDLE CreateSibling(const std::string& target, std::string& tempPath,
                       SECURITY_ATTRIBUTES* security) {
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
        ::HANDLE file = ::CreateFileW(win32::WideName(tempPath).c_str(), GENERIC_WRITE, 0, security,
                                      CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE || ::GetLastError() != ERROR_FILE_EXISTS) return file;
    }
    return INVALID_HANDLE_VALUE;
}

// For a folder that takes no new file, or a file open in another program: make room
// first (a full disk fails before any byte changes), overwrite, then cut, so the file
// is never empty or short on the way. `shared` lets others keep reading and writing
// the file meanwhile, as the program holding it open asked.
bool RewriteInPlace(const std::string& target, const char* data, size_t size, bool shared) {
    DWORD sharing = FILE_SHARE_READ | (shared ? FILE_SHARE_WRITE : 0);
    ::HANDLE file =
        ::CreateFileW(win32::WideName(target).c_str(), GENERIC_WRITE | FILE_READ_ATTRIBUTES,
                      sharing, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER old{}, length{}, start{};
    length.QuadPart = (LONGLONG)size;
    bool ok = ::GetFileSizeEx(file, &old);
    if (ok && old.QuadPart < length.QuadPart)
        ok = ::SetFilePointerEx(file, length, nullptr, FILE_BEGIN) && ::SetEndOfFile(file);
    ok = ok && ::SetFilePointerEx(file, start, nullptr, FILE_BEGIN) && WriteAll(file, data, size) &&
         ::SetEndOfFile(file) && ::FlushFileBuffers(file);
    DWORD error = ::GetLastError();
    if (!::CloseHandle(file) && ok) return false;
    ::SetLastError(error);
    return ok;
}

// True when `target`, which a move could not replace with `error`, is a file another
// program holds open: a sharing violation, or access denied where the file cannot be
// opened for ourselves alone. Read-only files never come this far.
bool HeldElsewhere(const std::string& target, DWORD error) {
    if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION) return true;
    if (error != ERROR_ACCESS_DENIED) return false;
    ::HANDLE file = ::CreateFileW(win32::WideName(target).c_str(), GENERIC_READ, 0, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        ::CloseHandle(file);
        return false;
    }
    return ::GetLastError() == ERROR_SHARING_VIOLATION;
}

// Keeps the system's reason for a failed step: the clean-up after it (closing, freeing)
// may reset the thread's last error.
bool Failed(DWORD* error) {
    *error = ::GetLastError();
    return false;
}

// The replacement itself; on failure `*error` is the failed step's system error.
bool Replace(const std::string& path, const char* data, size_t size, DWORD* error) {
    if (path.empty() || (size > 0 && !data)) {
        ::SetLastError(ERROR_INVALID_PARAMETER);
        return Failed(error);
    }
    DWORD attributes = 0;
    std::string target;
    Existing existing = Examine(path, &attributes, &target);
    if (existing == Existing::Refused) return Failed(error);

    // A new file takes its folder's access as any new file does; an old file's content
    // stays its owner's alone until the replacement has the old file's access list.
    OwnerOnly ownerOnly;
    std::string tempPath;
    ::HANDLE file =
        CreateSibling(target, tempPath, existing == Existing::File ? ownerOnly.Get() : nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        // A missing folder takes nothing; a refusing one still lets us write the file.
        DWORD refused = ::GetLastError();
        if (refused == ERROR_PATH_NOT_FOUND || refused == ERROR_INVALID_NAME) return Failed(error);
        if (!RewriteInPlace(target, data, size, false)) return Failed(error);
        g_inPlace = "the folder takes no new file";
        return true;
    }
    bool ok = (WriteAll(file, data, size) && ::FlushFileBuffers(file)) || Failed(error);
    if (!::CloseHandle(file) && ok) ok = Failed(error);
    if (ok && existing == Existing::File) ok = TakeAccess(target, tempPath) || Failed(error);
    if (ok && existing == Existing::File && (attributes & kKeptAttributes))
        ok =
            ::SetFileAttributesW(win32::WideName(tempPath).c_str(), attributes & kKeptAttributes) ||
            Failed(error);
    if (ok && g_failRename) {
        ::SetLastError(ERROR_WRITE_FAULT);
        ok = Failed(error);
    } else if (ok) {
        ok = ::MoveFileExW(win32::WideName(tempPath).c_str(), win32::WideName(target).c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) ||
             Failed(error);
    }
    if (!ok) {
        // The reason was kept at the failed step; the clean-up's own does not count.
        ::SetFileAttributesW(win32::WideName(tempPath).c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileW(win32::WideName(tempPath).c_str());
        // A file another program has open cannot be replaced (on Windows unless it
        // allowed deletion, under Wine never); writing it in place still gives the
        // line, in the same file the other program holds.
        if (existing != Existing::File || !HeldElsewhere(target, *error)) return false;
        if (!RewriteInPlace(target, data, size, true)) return Failed(error);
        g_inPlace = "another program has the file open";
    }
    return true;
}

}  // namespace

bool RewriteFile(const std::string& path, const char* data, size_t size) {
    g_inPlace = "";
    DWORD error = ERROR_SUCCESS;
    if (Replace(path, data, size, &error)) return true;
    ::SetLastError(error);
    return false;
}

std::string ReplacedInPlace() {
    return g_inPlace;
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
