// The driver's system services on Windows.
#include <windows.h>

#include "driver_os.h"

namespace vxc {

namespace {

// One argument as the C runtime's command-line parser reads it back: quoted, with
// backslashes doubled only where they come before a quote.
void AppendQuoted(std::string& line, const std::string& arg) {
    if (!line.empty()) line += ' ';
    if (!arg.empty() && arg.find_first_of(" \t\n\v\"") == std::string::npos) {
        line += arg;
        return;
    }
    line += '"';
    size_t backslashes = 0;
    for (char c : arg) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        if (c == '"')
            line.append(backslashes * 2 + 1, '\\');
        else
            line.append(backslashes, '\\');
        backslashes = 0;
        line += c;
    }
    line.append(backslashes * 2, '\\');
    line += '"';
}

std::string ErrorText(DWORD code) {
    char buffer[512] = "";
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                   buffer, sizeof buffer, nullptr);
    std::string text = buffer;
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    return text;
}

}  // namespace

std::string SelfPath() {
    char buffer[MAX_PATH * 4];
    DWORD n = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
    if (n == 0 || n >= sizeof buffer) return "";
    return std::string(buffer, n);
}

std::string MakeTempFolder() {
    char base[MAX_PATH + 1];
    DWORD n = GetTempPathA(sizeof base, base);
    if (n == 0 || n > MAX_PATH) return "";
    for (unsigned i = 0; i < 100; ++i) {
        std::string name = std::string(base) + "vamexc-" + std::to_string(GetCurrentProcessId()) +
                           "-" + std::to_string(GetTickCount() + i);
        if (CreateDirectoryA(name.c_str(), nullptr)) return name;
        if (GetLastError() != ERROR_ALREADY_EXISTS) return "";
    }
    return "";
}

int RunProgram(const std::vector<std::string>& args, const std::string& folder,
               const std::string& output_file, std::string& error) {
    std::string line;
    for (const std::string& a : args) AppendQuoted(line, a);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    HANDLE output = INVALID_HANDLE_VALUE;
    if (!output_file.empty()) {
        SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
        output = CreateFileA(output_file.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                             CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (output == INVALID_HANDLE_VALUE) {
            error = "cannot write " + output_file + ": " + ErrorText(GetLastError());
            return -1;
        }
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdOutput = output;
        startup.hStdError = output;
    }
    PROCESS_INFORMATION process = {};
    std::vector<char> command(line.begin(), line.end());
    command.push_back('\0');
    // Handles are inherited only to hand the child its output file.
    BOOL started =
        CreateProcessA(nullptr, command.data(), nullptr, nullptr, output != INVALID_HANDLE_VALUE, 0,
                       nullptr, folder.empty() ? nullptr : folder.c_str(), &startup, &process);
    DWORD code = GetLastError();
    if (output != INVALID_HANDLE_VALUE) CloseHandle(output);
    if (!started) {
        error = "cannot start " + args[0] + ": " + ErrorText(code);
        return -1;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD exit_code = 1;
    GetExitCodeProcess(process.hProcess, &exit_code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return (int)exit_code;
}

}  // namespace vxc
