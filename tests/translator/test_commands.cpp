// The command table against the runtime: a program calling every form of every
// command and function is translated and compiled against vamex.h with warnings as
// errors, so the table cannot drift from the runtime's headers. And the language's
// guide names every entry of the table.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#ifndef _WIN32
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
extern char** environ;
#endif

#include "commands.h"
#include "translate.h"

namespace {

// A program with one call of each form; written arguments alternate between a
// variable and an array element, so both ways of writing back are compiled.
std::string EveryForm() {
    std::string program = "DIM ia[2], sa$[2]\n";
    int n = 0;
    for (const vxc::CommandForm& form : vxc::CommandTable()) {
        std::string args;
        for (int i = 0; i < form.argc; ++i) {
            std::string a;
            switch (form.args[i]) {
                case vxc::ArgKind::Int:
                    a = "1";
                    break;
                case vxc::ArgKind::Str:
                    a = "\"f.txt\"";
                    break;
                case vxc::ArgKind::IntVar:
                    a = n % 2 ? "ia[1]" : "iv" + std::to_string(i);
                    break;
                case vxc::ArgKind::StrVar:
                    a = n % 2 ? "sa$[1]" : "sv$";
                    break;
            }
            args += (i ? ", " : "") + a;
        }
        ++n;
        if (form.function)
            program += "v = " + std::string(form.name) + "(" + args + ")\n";
        else
            program += std::string(form.name) + (args.empty() ? "" : " " + args) + "\n";
    }
    return program;
}

// Every statement and operator, in the forms the emitter writes differently.
const char* const kStatements = R"(#SCREEN 320, 200
#DEBUG 1
CONST N = 10
CONST NAME$ = "Bob"
DIM a[N][2], names$[4]
int = 5 : main = 6 : lumeris = 7 : SIN = 8 : return_Str$ = "r"
x = SIN(30) + COS(60) * 2 - RND(6) / 0 + SIN
s$ = "score: " + x + NAME$ : s$ = s$ - 5 : s$ = s$ * "2" / x : s$ = s$ AND 3 OR 4
IF x > 3 AND s$ = "a" THEN PRINT s$, 1, 2 ELSE PRINT x, 1, 2
IF x = x THEN x = 1 : s$ = s$
IF a[1][1] > 2
  PRINT "big", 10, 10
ELSEIF names$[2] = "x"
  PRINT "x", 10, 10
ELSEIF x <= 2 OR NOT x >= 5
ELSE
  PRINT "none", 10, 10
ENDIF
FOR i = 1 TO N STEP 2
  IF i = 5 THEN CONTINUE
  a[i][0] = i * i
NEXT i
FOR j = N TO 1 STEP -1 : k = k + j : NEXT
FOR j = 1 TO x STEP x - 2
  IF j > 3 THEN BREAK
  IF j = 2 THEN CONTINUE
NEXT
FOR j = 2147483640 TO 2147483647 : CONTINUE : NEXT
WHILE names$[0] <> "done"
  names$[0] = "done" : names$[1] = x : a[0][0] = "12"
  CONTINUE
WEND
WHILE x < 10 : x = x + 1 : WEND
REPEAT
  x = x - 1
  IF x = 3 THEN CONTINUE
UNTIL x < 0 OR names$[1] = ""
REPEAT : y = y + 1 : UNTIL y >= 10
z = -x + NOT x + (x <> 3) * 2 + "12" - (x < 2) * (x > 1) + ((x = 1) = 2)
t$ = 5 : t$ = x > 2 : t$ = "a" < "b" : u = 0xFFFFFFFF + 0x00FF00 : v = -2147483648 : v = -v
w = ((((((((((1 + x) * 2) + 3) * 4) + 5) * 6) + 7) * 8) + 9) * 10)
GOSUB draw
top:
IF KEY(1) = 0 THEN GOTO top
IF x THEN RETURN
END
SUB draw
  LOCAL q, r$, unused
  q = q + 1
  r$ = "abc"
  SPRITE 1, q, 2, 0
  IF q > 5 THEN RETURN
  again:
  IF q < 3 THEN GOTO again
ENDSUB
)";

#if defined(VX_CXX_COMPILER) && !defined(_WIN32)
// Compiles `cpp` against vamex.h: syntax and warnings only. The compiler's output
// comes back in `messages`.
bool Compiles(const std::string& cpp, const std::string& name, std::string& messages) {
    std::string file = std::string(VX_TEMP_DIR) + "/" + name + ".cpp";
    std::string log = file + ".log";
    std::ofstream(file, std::ios::binary) << cpp;
    std::vector<std::string> args = {
        VX_CXX_COMPILER, "-std=c++17", "-fsyntax-only", "-Wall", "-Wextra",
        "-Werror",       "-I",         VX_SOURCE_DIR,   file};
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(&a[0]);
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = 0;
    int status = -1;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0)
        waitpid(pid, &status, 0);
    posix_spawn_file_actions_destroy(&actions);
    std::ifstream in(log);
    std::stringstream text;
    text << in.rdbuf();
    messages = text.str();
    return status == 0;
}
#endif

// Translates `source` and compiles the C++ where the build's compiler can be started
// (not from the Windows build, whose tests run under Wine).
void TranslatesAndCompiles(const std::string& source, const std::string& name) {
    vxc::Options options;
    options.file_name = name + ".vx";
    vxc::Result r = vxc::Translate(source, options);
    ASSERT_TRUE(r.ok) << r.diagnostics;
#if defined(VX_CXX_COMPILER) && !defined(_WIN32)
    std::string messages;
    EXPECT_TRUE(Compiles(r.cpp, name, messages)) << messages << r.cpp;
#else
    GTEST_SKIP() << "translated; no C++ compiler to start here";
#endif
}

TEST(CommandTable, EveryFormCompilesAgainstTheRuntime) {
    TranslatesAndCompiles(EveryForm(), "every_form");
}

TEST(Emitter, EveryStatementCompilesWithoutAWarning) {
    TranslatesAndCompiles(kStatements, "statements");
}

// With #DEBUG 1 each statement starts with _dLn(its line); the #line directives
// must put that C++ line on the same line of the .vx file, as a debugger reads them.
TEST(Emitter, LineDirectivesPutEachStatementOnItsLine) {
    vxc::Options options;
    options.file_name = "c:\\games\\statements.vx";
    vxc::Result r = vxc::Translate(kStatements, options);
    ASSERT_TRUE(r.ok) << r.diagnostics;
    std::istringstream in(r.cpp);
    std::string text;
    int presumed = 0, statements = 0;
    while (std::getline(in, text)) {
        if (text.rfind("#line ", 0) == 0) {
            EXPECT_NE(text.find(" \"c:\\\\games\\\\statements.vx\""), std::string::npos) << text;
            presumed = std::stoi(text.substr(6));
            continue;
        }
        size_t at = text.find("_dLn(");
        if (at != std::string::npos) {
            EXPECT_EQ(presumed, std::stoi(text.substr(at + 5))) << text;
            ++statements;
        }
        if (presumed) ++presumed;
    }
    EXPECT_GT(statements, 60);
}

TEST(CommandTable, TheGuideShowsEveryForm) {
    std::ifstream in(std::string(VX_SOURCE_DIR) + "/docs/language.md");
    std::stringstream text;
    text << in.rdbuf();
    std::string guide = text.str();
    ASSERT_FALSE(guide.empty());
    for (const vxc::CommandForm& form : vxc::CommandTable())
        EXPECT_NE(guide.find("`" + vxc::FormText(form) + "`"), std::string::npos)
            << vxc::FormText(form);
}

}  // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
