// The translator's answers to programs with mistakes: each message and its place,
// and bounded answers to inputs no one would write.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "translate.h"

namespace {

vxc::Result TranslateT(const std::string& source) {
    vxc::Options options;
    options.file_name = "t.vx";
    return vxc::Translate(source, options);
}

int Count(const std::string& text, const std::string& word) {
    int n = 0;
    for (size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + 1)) ++n;
    return n;
}

struct Bad {
    const char* name;
    std::string source;
    std::string message;  // the first line of the diagnostic
};

const Bad kBad[] = {
    {"UnknownCommandNamesTheNearest", "x = 1\nSPRIT 1, x, 2, 0\n",
     "t.vx:2:1: error: unknown command SPRIT; did you mean SPRITE?"},
    {"NamesAreReadWhole", "SPRITE_X 1, 2\n",
     "t.vx:1:1: error: unknown command SPRITE_X; did you mean SPRITE?"},
    {"UnknownFunction", "x = SN(30)\n", "t.vx:1:5: error: unknown function SN; did you mean SIN?"},
    {"CommandUsedAsFunction", "x = SPRITE(1)\n",
     "t.vx:1:5: error: SPRITE is a command, not a function: SPRITE sprite, x, y, blend"},
    {"WrongArgumentCount", "SPRITE 1, 2\n",
     "t.vx:1:1: error: SPRITE takes 4 arguments, not 2: SPRITE sprite, x, y, blend"},
    {"WrongArgumentKindShowsEveryForm", "PRINT 1, \"a\", 2\n",
     "t.vx:1:10: error: argument 2 of PRINT must be an integer: PRINT text$, x, y | PRINT value, "
     "x, y"},
    {"SwappedArguments", "LOADSPRITE 1, \"ship.bmp\"\n",
     "t.vx:1:12: error: argument 1 of LOADSPRITE must be a string: LOADSPRITE file$, sprite"},
    {"WrittenArgumentNeedsAVariable", "MOUSESTATE 1, y, b1, b2\n",
     "t.vx:1:12: error: argument 1 of MOUSESTATE must be an integer variable, as MOUSESTATE "
     "writes it: MOUSESTATE x, y, button1, button2"},
    {"WrittenArgumentOfTheWrongType", "GETFILE \"a\", 1, 5\n",
     "t.vx:1:17: error: argument 3 of GETFILE must be an integer variable or a string variable, "
     "as GETFILE writes it: GETFILE file$, line, value | GETFILE file$, line, text$"},
    {"UnclosedIf", "IF x > 1\n  y = 2\n",
     "t.vx:3:1: error: ENDIF expected to close the IF at line 1"},
    {"UnclosedFor", "x = 0\nFOR i = 1 TO 3\n  x = x + i\n",
     "t.vx:4:1: error: NEXT expected to close the FOR at line 2"},
    {"UnclosedWhileInsideAnIf", "IF 1\nWHILE x < 3\n  x = x + 1\nENDIF\n",
     "t.vx:4:1: error: WEND expected to close the WHILE at line 2"},
    {"CloserWithoutOpener", "x = 1\nWEND\n", "t.vx:2:1: error: WEND without WHILE"},
    {"StepZero", "FOR i = 1 TO 5 STEP 0\nNEXT\n", "t.vx:1:21: error: STEP 0 never reaches the end"},
    {"GotoIntoAnotherRoutine", "GOTO inner\nSUB s\ninner:\nENDSUB\n",
     "t.vx:1:6: error: label inner is in SUB s; GOTO stays within its routine"},
    {"GotoIntoABlock", "GOTO inside\nIF 1\ninside:\nENDIF\n",
     "t.vx:1:6: error: GOTO inside jumps into a block; jump only to labels of its own or an "
     "enclosing block"},
    {"SettingAfterAStatement", "#SCREEN 320, 200\nx = 1\n#FRAMETIME 20\n",
     "t.vx:3:1: error: settings come before the first statement (line 2)"},
    {"ConstantIsNotAVariable", "CONST N = 3\nN = 4\n", "t.vx:2:1: error: N is a CONST"},
    {"ArrayWithoutDim", "x = a[1]\n", "t.vx:1:5: error: a is no array: DIM a[size] makes one"},
    {"BreakOutsideALoop", "BREAK\n", "t.vx:1:1: error: BREAK outside a loop"},
    {"MissingQuote", "PRINT \"abc, 1, 1\n", "t.vx:1:7: error: missing closing quote"},
    {"NumberOutOfRange", "x = 2147483648\n",
     "t.vx:1:5: error: number out of range (integers are 32-bit)"},
    {"DeepParentheses", "x = " + std::string(10000, '(') + "1" + std::string(10000, ')') + "\n",
     "t.vx:1:205: error: nesting deeper than 200 levels"},
    {"LongChain",
     "x = 1" +
         [] {
             std::string s;
             for (int i = 0; i < 1000; ++i) s += "+1";
             return s;
         }() +
         "\n",
     "t.vx:1:2004: error: expression deeper than 1000 levels; split it into several statements"},
    {"BinaryByte", std::string("x = 1\ny = \x01\n", 12), "t.vx:2:5: error: unexpected byte 0x01"},
};

// Cases show by name in the test list.
void PrintTo(const Bad& bad, std::ostream* out) {
    *out << bad.name;
}

class BadProgram : public testing::TestWithParam<Bad> {};

TEST_P(BadProgram, GivesItsMessageAtItsPlace) {
    vxc::Result r = TranslateT(GetParam().source);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.cpp.empty());
    std::string first = r.diagnostics.substr(0, r.diagnostics.find('\n'));
    EXPECT_EQ(first, GetParam().message) << r.diagnostics;
}

INSTANTIATE_TEST_SUITE_P(Translator, BadProgram, testing::ValuesIn(kBad),
                         [](const testing::TestParamInfo<Bad>& info) { return info.param.name; });

TEST(Diagnostics, ShowTheLineWithACaretUnderTheColumnTabsKept) {
    vxc::Result r = TranslateT("x = 1\n\tIF x THEN\tSPRIT 1\r\n");
    EXPECT_EQ(r.diagnostics,
              "t.vx:2:12: error: unknown command SPRIT; did you mean SPRITE?\n"
              " \tIF x THEN\tSPRIT 1\n"
              " \t         \t^\n");
}

TEST(Diagnostics, EveryErrorOfTheFileInOneRunStoppingAfterTwenty) {
    vxc::Result few = TranslateT("SPRIT 1\nx = \nPRINT 1\n");
    EXPECT_EQ(Count(few.diagnostics, ": error: "), 3) << few.diagnostics;
    std::string many;
    for (int i = 0; i < 30; ++i) many += "SPRIT 1\n";
    vxc::Result r = TranslateT(many);
    EXPECT_EQ(Count(r.diagnostics, ": error: "), 20);
    EXPECT_NE(
        r.diagnostics.find("t.vx:21:1: fatal error: too many errors (20), translation stopped"),
        std::string::npos);
    EXPECT_EQ(Count(r.diagnostics, "\n"), 21 * 3);
}

TEST(Diagnostics, WarnAboutAVariableReadButNeverGivenAValue) {
    vxc::Result r = TranslateT("x = 1\nPRINT x + score, 1, 1\nSUB s\nPRINT score, 1, 1\nENDSUB\n");
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.diagnostics.substr(0, r.diagnostics.find('\n')),
              "t.vx:2:11: warning: score is read but never given a value");
    EXPECT_EQ(Count(r.diagnostics, "warning"), 1);
    EXPECT_FALSE(r.cpp.empty());
}

TEST(Diagnostics, JunkAndHugeLinesEndInBoundedDiagnostics) {
    std::mt19937 random(7);
    std::string junk(1 << 20, 0);
    for (char& c : junk) c = char(random());
    vxc::Result r = TranslateT(junk);
    EXPECT_FALSE(r.ok);
    EXPECT_LE(Count(r.diagnostics, ": error: "), 20);
    EXPECT_LT(r.diagnostics.size(), 20000u);

    // One line of a megabyte: a name, a string, a sum; each shown in part.
    for (std::string line :
         {std::string(1 << 20, 'a') + " 1", "PRINT \"" + std::string(1 << 20, 'b') + "\", 1, 1",
          "x = " + std::string(1 << 20, '1')}) {
        vxc::Result big = TranslateT(line + "\n");
        EXPECT_FALSE(big.ok);
        EXPECT_EQ(Count(big.diagnostics, ": error: "), 1) << big.diagnostics.substr(0, 300);
        EXPECT_LT(big.diagnostics.size(), 1000u);
    }
}

TEST(Translate, SameInputSameBytes) {
    const std::string source =
        "DIM a[3]\nFOR i = 0 TO 2 : a[i] = i * 2 : NEXT\nx$ = \"v\" + a[1]\n"
        "IF x$ = \"v2\" THEN GOSUB s\nSUB s\nLOCAL t\nt = RND(3) / 0\nENDSUB\n";
    vxc::Result first = TranslateT(source);
    vxc::Result second = TranslateT(source);
    ASSERT_TRUE(first.ok) << first.diagnostics;
    EXPECT_EQ(first.cpp, second.cpp);
    EXPECT_EQ(first.diagnostics, second.diagnostics);
}

TEST(Translate, NamesAreReadWholeAndMatchWithoutRegardToCase) {
    vxc::Result r = TranslateT("\xEF\xBB\xBFSPRITE_X = 5 : Sprite 1, sprite_x, 0, 0\nint = SIN\n");
    ASSERT_TRUE(r.ok) << r.diagnostics;
    EXPECT_NE(r.cpp.find("sprite_x_Int = 5;"), std::string::npos) << r.cpp;
    EXPECT_NE(r.cpp.find("SPRITE(1, sprite_x_Int, 0, 0);"), std::string::npos) << r.cpp;
    EXPECT_NE(r.cpp.find("int_Int = sin_Int;"), std::string::npos) << r.cpp;
}

TEST(Translate, ConstantsTakeTheirValueFromDefines) {
    vxc::Options options;
    options.file_name = "t.vx";
    options.defines = {{"N", "0x10"}, {"TEXT", "a\\b"}};
    vxc::Result r =
        vxc::Translate("CONST N = 1\nCONST TEXT$ = \"x\"\nx = N\ny$ = TEXT$\n", options);
    ASSERT_TRUE(r.ok) << r.diagnostics;
    EXPECT_NE(r.cpp.find("x_Int = 16;"), std::string::npos) << r.cpp;
    EXPECT_NE(r.cpp.find("y_Str = \"a\\\\b\";"), std::string::npos) << r.cpp;
    options.defines = {{"N", "ten"}};
    r = vxc::Translate("CONST N = 1\n", options);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.diagnostics, "t.vx: error: -D N=ten: CONST N takes an integer\n");
}

}  // namespace
