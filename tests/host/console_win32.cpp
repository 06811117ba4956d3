// A window program started from a console: its failure lines show in that console,
// as a console program's would, though the system gives a window program none of its
// own. (Wine delivers no console Ctrl+C to a window program; the handler's answer to
// it is checked through the handler itself, in test_host.cpp.)
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "support/process.h"

namespace {

// What the console shows, row after row.
std::string ConsoleText(HANDLE console) {
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (!GetConsoleScreenBufferInfo(console, &info)) return "";
    std::string text;
    for (SHORT row = 0; row <= info.dwCursorPosition.Y; ++row) {
        std::string line(info.dwSize.X, ' ');
        DWORD read = 0;
        ReadConsoleOutputCharacterA(console, &line[0], info.dwSize.X, {0, row}, &read);
        line.resize(read);
        text += line.substr(0, line.find_last_not_of(' ') + 1) + "\n";
    }
    return text;
}

TEST(HostConsole, AProgramStartedFromAConsoleWritesItsLinesThere) {
    // A console of this process's own, which the program is started from with no
    // standard handles of its own, as a command prompt starts a window program.
    FreeConsole();
    ASSERT_TRUE(AllocConsole());
    HANDLE console =
        CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(console, INVALID_HANDLE_VALUE);

    std::string tmp = vxtest::MakeTempDir("console");
    std::string notes = tmp + "\\notes.txt";
    vxtest::WriteFile(tmp + "\\SMALFONT.BMP",
                      vxtest::ReadFile(std::string(VX_BUILD_DIR) + "/SMALFONT.BMP"));
    vxtest::SetEnv("VX_TEST_MODE", "console");
    vxtest::SetEnv("VX_TEST_OUT", notes.c_str());
    vxtest::SetTempFolder(tmp);
    std::string program = vxtest::BuiltProgram("prog_host");
    for (char& c : program)
        if (c == '/') c = '\\';
    std::string line = "\"" + program + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child{};
    ASSERT_TRUE(CreateProcessA(program.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr,
                               tmp.c_str(), &startup, &child));
    CloseHandle(child.hThread);
    DWORD code = 1;
    if (WaitForSingleObject(child.hProcess, 30000) != WAIT_OBJECT_0)
        TerminateProcess(child.hProcess, 1);
    GetExitCodeProcess(child.hProcess, &code);
    CloseHandle(child.hProcess);
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(vxtest::ReadFile(notes), "main-thread 1\nsize 320 200\nfont-width 800\nreturned\n");
    EXPECT_NE(ConsoleText(console).find("vamex: PUTFILE \"no such folder\\\\a.cfg\""),
              std::string::npos)
        << ConsoleText(console);
    CloseHandle(console);
}

}  // namespace
