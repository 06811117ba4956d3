// Atomic replacement of a file's content: temporary sibling, fsync, rename.
// A crash or a full disk leaves either the old file or the new one, never half of it.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string>

#include "platform/files.h"

namespace platform {
namespace {

std::atomic<bool> g_failRename{false};
std::atomic<bool> g_refuseTempFile{false};
// Why this thread's last ReplaceFile wrote the file in place; "" when it replaced it.
thread_local const char* g_inPlace = "";

bool WriteAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        ssize_t n = write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += n;
        size -= (size_t)n;
    }
    return true;
}

// The file a name stands for: links are followed, also to a target that does not
// exist yet, so that a link stays a link and its target is what gets written.
// Empty (errno ELOOP) for a chain of links that never ends.
std::string TargetOf(const std::string& path) {
    std::string target = path;
    for (int depth = 0; depth < 40; ++depth) {
        struct stat st;
        if (lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return target;
        char link[PATH_MAX];
        ssize_t n = readlink(target.c_str(), link, sizeof link - 1);
        if (n < 0) return target;
        link[n] = 0;
        size_t slash = target.rfind('/');
        if (link[0] == '/' || slash == std::string::npos)
            target = link;
        else
            target = target.substr(0, slash + 1) + link;
    }
    errno = ELOOP;
    return std::string();
}

// Creates a new, empty temporary file beside `target` with `mode`; -1 (errno set) when
// refused.
int CreateSibling(const std::string& target, mode_t mode, std::string& tempPath) {
    if (g_refuseTempFile) {
        errno = EACCES;
        return -1;
    }
    size_t slash = target.rfind('/');
    std::string dir = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath = dir + "." + base + ".vxtmp-" + std::to_string(getpid()) + "-" +
                   std::to_string(counter++);
        int fd = open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

// Makes the rename itself durable.
void SyncFolderOf(const std::string& target) {
    size_t slash = target.rfind('/');
    std::string dir = slash == std::string::npos ? "." : target.substr(0, slash + 1);
    int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    fsync(fd);
    close(fd);
}

// For folders that take no new file: overwrite first, then cut, so the file is
// never empty on the way.
bool RewriteInPlace(const std::string& target, const char* data, size_t size) {
    int fd = open(target.c_str(), O_WRONLY | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    struct stat st;
    bool ok = fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    if (!ok) errno = EINVAL;
    ok = ok && WriteAll(fd, data, size) && ftruncate(fd, (off_t)size) == 0 && fsync(fd) == 0;
    int saved = errno;
    if (close(fd) != 0 && ok) {
        saved = errno;
        ok = false;
    }
    errno = saved;
    return ok;
}

}  // namespace

bool ReplaceFile(const std::string& path, const char* data, size_t size) {
    g_inPlace = "";
    if (path.empty()) {
        errno = ENOENT;
        return false;
    }
    std::string target = TargetOf(path);
    if (target.empty()) return false;
    struct stat old;
    bool existed = stat(target.c_str(), &old) == 0;
    // Folders, devices and pipes are not text files to replace.
    if (existed && !S_ISREG(old.st_mode)) {
        errno = S_ISDIR(old.st_mode) ? EISDIR : EINVAL;
        return false;
    }
    // A file its owner made read-only stays as it is, as an in-place write would.
    if (existed && access(target.c_str(), W_OK) != 0) return false;

    // Open to the owner only while the content goes in; the old file's owner and
    // permissions follow before it takes the name. A new file gets the usual ones.
    std::string tempPath;
    int fd = CreateSibling(target, existed ? 0600 : 0666, tempPath);
    if (fd < 0) {
        // A missing folder takes nothing; a refusing one still lets us write the file.
        if (errno == ENOENT || errno == ENOTDIR) return false;
        if (!RewriteInPlace(target, data, size)) return false;
        g_inPlace = "the folder takes no new file";
        return true;
    }

    bool ok = WriteAll(fd, data, size);
    if (ok && existed) {
        // Owner first: changing it may clear set-id bits that fchmod then restores.
        if (old.st_uid != geteuid() || old.st_gid != getegid())
            (void)!fchown(fd, old.st_uid, old.st_gid);
        ok = fchmod(fd, old.st_mode & 07777) == 0;
    }
    if (ok) ok = fsync(fd) == 0;
    if (close(fd) != 0 && ok) ok = false;
    if (ok) {
        if (g_failRename) {
            errno = EIO;
            ok = false;
        } else {
            ok = rename(tempPath.c_str(), target.c_str()) == 0;
        }
    }
    if (!ok) {
        int saved = errno;
        unlink(tempPath.c_str());
        errno = saved;
        return false;
    }
    SyncFolderOf(target);
    return true;
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
