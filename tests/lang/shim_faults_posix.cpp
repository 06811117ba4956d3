// A library preloaded into a program (LD_PRELOAD) that makes one file rewrite: it
// counts the program's file calls and fails one of them, or kills the process there.
//   VX_FAULT_AT     the call to strike, counting from 1 (unset: none)
//   VX_FAULT        an errno number to fail it with, or "kill"
//   VX_FAULT_REFUSE "new": creating a new file fails with EACCES, as in a folder that
//                   takes none; "owner": changing a file's owner fails with EPERM
//   VX_FAULT_TRACE  a file that receives the names of the calls counted, one a line
#include <dlfcn.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

int g_calls = 0;
std::string g_trace;

template <class F>
F Next(F, const char* name) {
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

bool Refused(const char* what) {
    const char* refuse = std::getenv("VX_FAULT_REFUSE");
    return refuse && std::strcmp(refuse, what) == 0;
}

// Counts the call; the errno to fail it with, or 0 to let it through.
int Strike(const char* name) {
    ++g_calls;
    g_trace += name;
    g_trace += '\n';
    const char* at = std::getenv("VX_FAULT_AT");
    const char* fault = std::getenv("VX_FAULT");
    if (!at || !fault || std::atoi(at) != g_calls) return 0;
    if (std::strcmp(fault, "kill") == 0) kill(getpid(), SIGKILL);
    return std::atoi(fault);
}

struct TraceWriter {
    ~TraceWriter() {
        const char* path = std::getenv("VX_FAULT_TRACE");
        if (!path) return;
        auto realOpen = Next(&open, "open");
        auto realWrite = Next(&write, "write");
        auto realClose = Next(&close, "close");
        int fd = realOpen(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0) return;
        if (realWrite(fd, g_trace.data(), g_trace.size()) < 0) g_trace.clear();
        realClose(fd);
    }
} g_traceWriter;

int OpenWith(const char* symbol, const char* path, int flags, mode_t mode) {
    using Open = int (*)(const char*, int, ...);
    static Open real = (Open)dlsym(RTLD_NEXT, symbol);
    if (int e = Strike("open")) {
        errno = e;
        return -1;
    }
    if ((flags & O_CREAT) && (flags & O_EXCL) && Refused("new")) {
        errno = EACCES;
        return -1;
    }
    return real(path, flags, mode);
}

mode_t ModeOf(int flags, va_list args) {
    return (flags & (O_CREAT | O_TMPFILE)) ? (mode_t)va_arg(args, int) : 0;
}

}  // namespace

// Each wrapper: count, maybe fail, else the system's own call.
#define VX_FAULT_CALL(name, ...)             \
    static auto real = Next(&::name, #name); \
    if (int e = Strike(#name)) {             \
        errno = e;                           \
        return -1;                           \
    }                                        \
    return real(__VA_ARGS__)

extern "C" {

int open(const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    mode_t mode = ModeOf(flags, args);
    va_end(args);
    return OpenWith("open", path, flags, mode);
}

int open64(const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    mode_t mode = ModeOf(flags, args);
    va_end(args);
    return OpenWith("open64", path, flags, mode);
}

ssize_t write(int fd, const void* data, size_t size) {
    VX_FAULT_CALL(write, fd, data, size);
}

ssize_t pwrite(int fd, const void* data, size_t size, off_t at) {
    VX_FAULT_CALL(pwrite, fd, data, size, at);
}

int ftruncate(int fd, off_t size) {
    VX_FAULT_CALL(ftruncate, fd, size);
}

int fallocate(int fd, int mode, off_t at, off_t size) {
    VX_FAULT_CALL(fallocate, fd, mode, at, size);
}

int posix_fallocate(int fd, off_t at, off_t size) {
    static auto real = Next(&::posix_fallocate, "posix_fallocate");
    if (int e = Strike("posix_fallocate")) return e;  // the error is the result here
    return real(fd, at, size);
}

int fsync(int fd) {
    VX_FAULT_CALL(fsync, fd);
}

int fchmod(int fd, mode_t mode) {
    VX_FAULT_CALL(fchmod, fd, mode);
}

int fchown(int fd, uid_t owner, gid_t group) {
    static auto real = Next(&::fchown, "fchown");
    if (int e = Strike("fchown")) {
        errno = e;
        return -1;
    }
    if (Refused("owner")) {
        errno = EPERM;
        return -1;
    }
    return real(fd, owner, group);
}

int close(int fd) {
    VX_FAULT_CALL(close, fd);
}

int rename(const char* from, const char* to) {
    VX_FAULT_CALL(rename, from, to);
}

int unlink(const char* path) {
    VX_FAULT_CALL(unlink, path);
}

}  // extern "C"
