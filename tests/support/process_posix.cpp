// Test support, POSIX side: processes, temporary folders and an X server.
#include "support/process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

extern char** environ;

namespace vxtest {

RunResult Run(const std::string& program, const std::vector<std::string>& env,
              const std::string& workDir, int timeoutSeconds) {
    RunResult result;
    std::string outPath = MakeTempDir("run") + "/output.txt";
    std::vector<std::string> envStrings;
    for (char** e = environ; *e; ++e) {
        std::string entry(*e);
        std::string name = entry.substr(0, entry.find('='));
        bool replaced = false;
        for (const std::string& extra : env)
            if (extra.substr(0, extra.find('=')) == name) replaced = true;
        if (!replaced) envStrings.push_back(entry);
    }
    for (const std::string& extra : env)
        if (extra.find('=') != std::string::npos) envStrings.push_back(extra);
    std::vector<char*> envp;
    for (std::string& s : envStrings) envp.push_back(s.data());
    envp.push_back(nullptr);

    pid_t pid = fork();
    if (pid < 0) return result;
    if (pid == 0) {
        int fd = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd >= 0) {
            dup2(fd, 1);
            dup2(fd, 2);
        }
        if (chdir(workDir.c_str()) != 0) _exit(126);
        char* argv[] = {const_cast<char*>(program.c_str()), nullptr};
        execve(program.c_str(), argv, envp.data());
        _exit(127);
    }
    int status = 0;
    for (int waited = 0;; waited += 10) {
        pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid) break;
        if (waited >= timeoutSeconds * 1000) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            result.output = ReadFile(outPath) + "\n[killed after timeout]";
            return result;
        }
        usleep(10000);
    }
    result.output = ReadFile(outPath);
    if (WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
    return result;
}

std::string BuiltProgram(const std::string& name) {
    const char* dir = std::getenv("VX_BUILD_DIR");
    std::string base = dir ? dir : VX_BUILD_DIR;
    for (const char* sub : {"/tests/", "/game/", "/bench/", "/"}) {
        std::string path = base + sub + name;
        if (access(path.c_str(), X_OK) == 0) return path;
    }
    return base + "/" + name;
}

std::string MakeTempDir(const std::string& stem) {
    const char* tmp = std::getenv("TMPDIR");
    std::string dir = std::string(tmp ? tmp : "/tmp") + "/" + stem + ".XXXXXX";
    if (!mkdtemp(dir.data())) return std::string();
    return dir;
}

void SetTempFolder(const std::string& dir) {
    setenv("TMPDIR", dir.c_str(), 1);
}

void SetEnv(const char* name, const char* value) {
    if (value)
        setenv(name, value, 1);
    else
        unsetenv(name);
}

XServer::XServer(const std::vector<std::string>& options) {
    int fds[2];
    if (pipe(fds) != 0) return;
    pid_t child = fork();
    if (child == 0) {
        close(fds[0]);
        int null = open("/dev/null", O_WRONLY);
        if (null >= 0) {
            dup2(null, 1);
            dup2(null, 2);
        }
        std::string fd = std::to_string(fds[1]);
        std::vector<const char*> argv = {"Xvfb", "-displayfd",  fd.c_str(),  "-screen",
                                         "0",    "1024x768x24", "-nolisten", "tcp"};
        for (const std::string& option : options) argv.push_back(option.c_str());
        argv.push_back(nullptr);
        execvp("Xvfb", const_cast<char* const*>(argv.data()));
        _exit(127);
    }
    close(fds[1]);
    if (child < 0) {
        close(fds[0]);
        return;
    }
    pid = child;
    // Xvfb writes its display number, then a line end, once it accepts connections.
    // It dies if the pipe closes between the two writes, so read the whole line.
    char buffer[32] = {0};
    size_t n = 0;
    while (n < sizeof buffer - 1 && !std::strchr(buffer, '\n')) {
        ssize_t got = read(fds[0], buffer + n, sizeof buffer - 1 - n);
        if (got <= 0) break;
        n += (size_t)got;
    }
    close(fds[0]);
    if (n > 0) display = ":" + std::to_string(std::atoi(buffer));
}

XServer::~XServer() {
    if (pid > 0) {
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
    }
}

}  // namespace vxtest
