// Atomic replacement of a file's content: temporary sibling, fsync, rename.
// A crash or a full disk leaves either the old file or the new one, never half of it.
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/files.h"
#include "platform/sizes.h"

namespace platform {
namespace {

std::atomic<bool> g_failRename{false};
std::atomic<bool> g_refuseTempFile{false};
// Why this thread's last RewriteFile wrote the file in place; "" when it replaced it.
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

// Removes the temporary files that earlier rewrites of `target` left behind when their
// process died between creating one and the rename (".NAME.vxtmp-PID-N", PID gone).
void RemoveLeftovers(const std::string& target) {
    size_t slash = target.rfind('/');
    std::string dir = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    std::string prefix =
        "." + (slash == std::string::npos ? target : target.substr(slash + 1)) + ".vxtmp-";
    DIR* d = opendir(dir.empty() ? "." : dir.c_str());
    if (!d) return;
    int saved = errno;
    while (dirent* e = readdir(d)) {
        if (std::strncmp(e->d_name, prefix.c_str(), prefix.size()) != 0) continue;
        // PID and counter, both decimal, and nothing else.
        const char* p = e->d_name + prefix.size();
        long long pid = 0;
        for (; *p >= '0' && *p <= '9' && pid <= INT_MAX; ++p) pid = pid * 10 + (*p - '0');
        if (*p != '-' || pid <= 0 || pid > INT_MAX) continue;
        const char* counter = ++p;
        while (*p >= '0' && *p <= '9') ++p;
        if (p == counter || *p) continue;
        if (kill((pid_t)pid, 0) == 0 || errno != ESRCH) continue;  // its process may still write
        std::string path = dir + e->d_name;
        struct stat st;
        if (lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) unlink(path.c_str());
    }
    closedir(d);
    errno = saved;
}

// Reads the whole of `fd` (of `size` bytes) into `out`, from its start.
bool ReadAll(int fd, off_t size, std::string* out) {
    const std::optional<size_t> bytes = BlockBytes(size);
    if (!bytes) {
        errno = EFBIG;
        return false;
    }
    out->resize(*bytes);
    size_t done = 0;
    while (done < out->size()) {
        ssize_t n = pread(fd, &(*out)[done], out->size() - done, (off_t)done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = EIO;  // shorter than it was a moment ago
            return false;
        }
        done += (size_t)n;
    }
    return true;
}

bool WriteAt(int fd, const char* data, size_t size) {
    size_t done = 0;
    while (done < size) {
        ssize_t n = pwrite(fd, data + done, size - done, (off_t)done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += (size_t)n;
    }
    return true;
}

// Takes the blocks a file growing from `oldSize` to `newSize` needs, before a byte
// of it changes, so a full disk fails here. Its length stays as it is where the file
// system can hold blocks past the end; elsewhere the file is extended (and cut back
// on a failure).
bool MakeRoom(int fd, off_t oldSize, off_t newSize) {
    if (newSize <= oldSize) return true;
    if (fallocate(fd, FALLOC_FL_KEEP_SIZE, oldSize, newSize - oldSize) == 0) return true;
    if (errno != EOPNOTSUPP && errno != ENOSYS) return false;
    int failed = posix_fallocate(fd, oldSize, newSize - oldSize);
    errno = failed;
    return failed == 0;
}

// For folders that take no new file (and files whose owner a new file could not
// have): the file itself is rewritten. Room first, then the content, then the cut of
// the old tail; a failure on the way puts the old content back. The one window left:
// a crash between the write and the cut of a shorter content leaves the old tail
// after the new text.
bool RewriteInPlace(const std::string& target, const char* data, size_t size) {
    int fd = open(target.c_str(), O_RDWR | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    struct stat st;
    bool ok = fstat(fd, &st) == 0;
    if (ok && !S_ISREG(st.st_mode)) {
        errno = EINVAL;
        ok = false;
    }
    std::string old;
    ok = ok && ReadAll(fd, st.st_size, &old);
    const bool kept = ok;  // the old content is at hand to put back
    ok = ok && MakeRoom(fd, st.st_size, (off_t)size) && WriteAt(fd, data, size) &&
         ftruncate(fd, (off_t)size) == 0;
    int saved = errno;
    // Nothing of the new content (nor the room taken) stays behind a failure.
    if (kept && !ok && WriteAt(fd, old.data(), old.size()) && ftruncate(fd, st.st_size) == 0)
        fsync(fd);
    if (ok && fsync(fd) != 0) {
        saved = errno;
        ok = false;
    }
    if (close(fd) != 0 && ok) {
        saved = errno;
        ok = false;
    }
    errno = saved;
    return ok;
}

}  // namespace

bool RewriteFile(const std::string& path, const char* data, size_t size) {
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
    RemoveLeftovers(target);

    // Open to the owner only while the content goes in; the old file's owner and
    // permissions follow before it takes the name. A new file gets the usual ones.
    std::string tempPath;
    int fd = CreateSibling(target, existed ? 0600 : 0666, tempPath);
    if (fd < 0) {
        // Only a folder that refuses new files leaves the file to be written in place;
        // any other failure (a full or failing disk) keeps the old file whole.
        if (errno != EACCES && errno != EPERM) return false;
        if (!RewriteInPlace(target, data, size)) return false;
        g_inPlace = "the folder takes no new file";
        return true;
    }
    // A file is never handed to another owner: where the new one cannot have the old
    // one's, the file itself is rewritten and keeps its owner.
    if (existed && (old.st_uid != geteuid() || old.st_gid != getegid()) &&
        fchown(fd, old.st_uid, old.st_gid) != 0) {
        int saved = errno;
        close(fd);
        unlink(tempPath.c_str());
        errno = saved;
        // Refused (or an owner this system cannot name): the file itself is written.
        if (saved != EPERM && saved != EINVAL) return false;
        if (!RewriteInPlace(target, data, size)) return false;
        g_inPlace = "the file's owner cannot be given to a new file";
        return true;
    }

    bool ok = WriteAll(fd, data, size);
    // After the owner: changing it may clear set-id bits that this restores.
    if (ok && existed) ok = fchmod(fd, old.st_mode & 07777) == 0;
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
