// The temporary folder, the resolution of Windows file names, and opening files
// that must not block or follow links.
#include "platform/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace platform {
namespace {

bool Exists(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0;
}

// Finds `component` in folder `dir`: the exact name first, then one that differs
// only in case. Empty when neither exists.
std::string MatchComponent(const std::string& dir, const std::string& component) {
    std::string exact = dir + "/" + component;
    if (Exists(exact)) return component;
    DIR* d = opendir(dir.empty() ? "/" : dir.c_str());
    if (!d) return std::string();
    std::string found;
    while (dirent* e = readdir(d)) {
        if (strcasecmp(e->d_name, component.c_str()) == 0) {
            found = e->d_name;
            break;
        }
    }
    closedir(d);
    return found;
}

std::string WinePrefix() {
    const char* prefix = std::getenv("WINEPREFIX");
    if (prefix && *prefix) return prefix;
    const char* home = std::getenv("HOME");
    return std::string(home && *home ? home : "") + "/.wine";
}

}  // namespace

std::string TempPath() {
    const char* dir = std::getenv("TMPDIR");
    std::string path = (dir && *dir) ? dir : "/tmp";
    if (path.back() != '/') path += '/';
    return path;
}

std::string ResolvePath(const char* name) {
    if (!name) return std::string();
    std::string text(name);
    if (!text.empty() && text[0] == '/') return text;
    for (char& c : text)
        if (c == '\\') c = '/';

    std::string base;  // resolved so far, without trailing '/'
    size_t pos = 0;
    bool onDrive = true;
    if (text.size() >= 2 && text[1] == ':' && std::isalpha((unsigned char)text[0])) {
        base = WinePrefix() + "/dosdevices/" + (char)std::tolower((unsigned char)text[0]) + ':';
        pos = 2;
    } else if (!text.empty() && text[0] == '/') {
        // Rooted without a drive ("\folder\file"): the current drive, which is c:.
        base = WinePrefix() + "/dosdevices/c:";
    } else {
        base = ".";
        onDrive = false;
    }

    // "." and ".." are taken out before matching; on a drive ".." stops at its root,
    // as Windows does, so no name reaches past it.
    std::vector<std::string> parts;
    while (pos <= text.size()) {
        size_t next = text.find('/', pos);
        if (next == std::string::npos) next = text.size();
        std::string part = text.substr(pos, next - pos);
        pos = next + 1;
        if (part.empty() || part == ".") continue;
        if (part == ".." && (onDrive || (!parts.empty() && parts.back() != ".."))) {
            if (!parts.empty()) parts.pop_back();
            continue;
        }
        parts.push_back(part);
    }
    bool matching = true;  // once a component is missing, the rest is kept as written
    for (const std::string& part : parts) {
        std::string use = part;
        if (matching && part != "..") {
            std::string match = MatchComponent(base, part);
            if (match.empty())
                matching = false;
            else
                use = match;
        }
        base += "/" + use;
    }
    if (base.rfind("./", 0) == 0) base.erase(0, 2);
    if (!text.empty() && text.back() == '/') base += '/';
    return base;
}

std::FILE* OpenForReading(const std::string& path, long long maxBytes, OpenResult* result) {
    OpenResult ignored;
    if (!result) result = &ignored;
    // O_NONBLOCK: a pipe with no writer or a device must not hold the program here.
    int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        *result = errno == ENOENT || errno == ENOTDIR ? OpenResult::Missing : OpenResult::Failed;
        return nullptr;
    }
    struct stat st;
    *result = fstat(fd, &st) != 0     ? OpenResult::Failed
              : !S_ISREG(st.st_mode)  ? OpenResult::NotAFile
              : st.st_size > maxBytes ? OpenResult::TooLarge
                                      : OpenResult::Opened;
    std::FILE* file = nullptr;
    if (*result == OpenResult::Opened) {
        fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
        file = fdopen(fd, "rb");
        if (!file) *result = OpenResult::Failed;
    }
    if (!file) {
        int saved = errno;
        close(fd);
        errno = saved;
    }
    return file;
}

bool RemoveFile(const char* path) {
    return path && unlink(path) == 0;
}

bool AppendToFile(const char* path, const char* data, size_t size) {
    if (!path) return false;
    // O_NOFOLLOW: in a shared folder another user could plant a link at the name.
    int fd = open(
        path, O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    struct stat st;
    bool ok = fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == geteuid();
    while (ok && size > 0) {
        ssize_t n = write(fd, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) ok = false;
        if (n > 0) {
            data += n;
            size -= (size_t)n;
        }
    }
    if (close(fd) != 0) ok = false;
    return ok;
}

std::string LastErrorText() {
    return std::strerror(errno);
}

}  // namespace platform
