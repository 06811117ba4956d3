// Translator benchmark, two parts:
// 1. Generated programs of 20,000 and 40,000 lines translated in memory through
//    vxc::Translate: the CPU time of each (best of seven) and their ratio, which
//    stays near 2 when the translation grows linearly.
// 2. The loop of bench_loop.vx, translated when building, against the same loop
//    written by hand in C++ on the runtime (below), both compiled here with the
//    tree's flags: CPU time of each (best of alternating runs) and their ratio. Both
//    write their result, which must agree.
//   bench_translate
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

#include "translator/translate.h"
#include "vamex.h"

int MainGameSub();  // the translated bench_loop.vx

namespace {

// CPU time of the calling thread: the machine is shared, wall time would count others.
double ThreadSeconds() {
#ifdef _WIN32
    return (double)std::clock() / CLOCKS_PER_SEC;
#else
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec * 1e-9;
#endif
}

// One block of a generated program: a subroutine of 40 lines using most statement
// kinds, over globals shared by all blocks and LOCALs of its own.
void AppendBlock(std::string& out, int n) {
    const std::string k = std::to_string(n);
    const std::string v = "v" + std::to_string(n % 97);
    const std::string w = "w" + std::to_string(n % 89);
    out += "SUB work" + k + "\n";
    out += "    LOCAL t, u$\n";
    out += "    t = " + v + " * 3 + (" + w + " - 7) / 2\n";
    out += "    u$ = \"block " + k + ": \" + t\n";
    out += "    IF t > 100 AND " + v + " <> 0\n";
    out += "        " + w + " = " + w + " - 1\n";
    out += "    ELSEIF t < -100\n";
    out += "        " + w + " = " + w + " + 1\n";
    out += "    ELSE\n";
    out += "        " + v + " = NOT " + v + "\n";
    out += "    ENDIF\n";
    out += "    FOR i = 0 TO 7 STEP 2\n";
    out += "        table[i] = table[i] + t\n";
    out += "        IF table[i] > 1000 THEN BREAK\n";
    out += "    NEXT\n";
    out += "    WHILE t > 10\n";
    out += "        t = t / 2\n";
    out += "        IF t = 33 THEN CONTINUE\n";
    out += "        names$[t - t / 8 * 8] = u$ + \"/\" + t\n";
    out += "    WEND\n";
    out += "    REPEAT\n";
    out += "        t = t + 1\n";
    out += "    UNTIL t >= 5\n";
    out += "    SPRITE 1, " + v + ", " + w + ", 0\n";
    out += "    PRINT u$, 10, 20\n";
    out += "    PRINT t, 10, 40\n";
    out += "    IF KEY(57) THEN PLAYSOUND 0, SIN(t) / 10\n";
    out += "    MOUSESTATE mx, my, b1, b2\n";
    out += "    BOXCOLL hit, mx, my, 4, 4, " + v + ", " + w + ", 32, 32\n";
    out += "    IF hit THEN GOSUB work" + std::to_string(n / 2) + "\n";
    out += "    MIDSTR u$, part$, 2, 3\n";
    out += "    IF part$ = \"ock\" THEN text$ = text$ + part$\n";
    out += "    " + v + " = " + v + " + RND(10) - COS(t)\n";
    out += "    // a comment line, as programs have them\n";
    out += "    IF score > 10000 THEN GOTO done" + k + "\n";
    out += "    score = score + 1\n";
    out += "done" + k + ":\n";
    out += "    " + w + " = " + w + " + 0x10\n";
    out += "ENDSUB\n";
    out += "\n";
}

// A program of about `lines` lines: the globals set, then a call of every block
// (one line each, beside the block's 40).
std::string Program(int lines) {
    const int blocks = (lines - 190) / 41;
    std::string out;
    out += "#SCREEN 640, 480\n";
    out += "DIM table[8]\n";
    out += "DIM names$[8]\n";
    out += "v0 = 1 : w0 = 2 : text$ = \"\" : score = 0\n";
    for (int i = 0; i < 97; ++i) out += "v" + std::to_string(i) + " = " + std::to_string(i) + "\n";
    for (int i = 0; i < 89; ++i) out += "w" + std::to_string(i) + " = " + std::to_string(i) + "\n";
    for (int i = 0; i < blocks; ++i) out += "GOSUB work" + std::to_string(i) + "\n";
    for (int i = 0; i < blocks; ++i) AppendBlock(out, i);
    return out;
}

int Lines(const std::string& text) {
    return (int)std::count(text.begin(), text.end(), '\n');
}

// CPU time of one translation; -1 when it fails.
double TimeTranslation(const std::string& source, size_t& cppBytes) {
    vxc::Options options;
    options.file_name = "generated.vx";
    double start = ThreadSeconds();
    vxc::Result result = vxc::Translate(source, options);
    double took = ThreadSeconds() - start;
    if (!result.ok) {
        std::fprintf(stderr, "%.2000s\n", result.diagnostics.c_str());
        return -1;
    }
    cppBytes = result.cpp.size();
    return took;
}

// The loop of bench_loop.vx, as a C++ programmer writes it over the runtime's values.
VXStr text_Str, result_Str;

void HandLoop(int rounds) {
    int total = 0, hits = 0;
    for (int i = 1; i <= rounds; ++i) {
        int a = i * 3 + 7;
        int b = a / 5 - i;
        total = total + a - b;
        if (total > 1000000000) total -= 1000000000;
        text_Str = "n";
        text_Str += i;
        if (text_Str.Compare("n777") == 0) ++hits;
        text_Str += "-";
        text_Str += b;
    }
    result_Str = "";
    result_Str += total;
    result_Str += " ";
    result_Str += hits;
    result_Str += " ";
    result_Str += text_Str;
    PUTFILE("bench-loop-hand.txt", 0, result_Str);
}

std::string FirstLine(const char* file) {
    VXStr line;
    GETFILE(file, 0, line);
    return (const char*)line;
}

}  // namespace

int main() {
    // 1. Translation time against program size: the two sizes in turn, best of seven
    // each, so a busy moment of the machine weighs on both alike.
    const int sizes[2] = {20000, 40000};
    const std::string sources[2] = {Program(sizes[0]), Program(sizes[1])};
    double times[2] = {1e9, 1e9};
    size_t cppBytes[2] = {0, 0};
    for (int run = 0; run < 7; ++run) {
        for (int s = 0; s < 2; ++s) {
            double took = TimeTranslation(sources[s], cppBytes[s]);
            if (took < 0) {
                std::printf("translation of %d lines failed\n", Lines(sources[s]));
                return 1;
            }
            times[s] = std::min(times[s], took);
        }
    }
    for (int s = 0; s < 2; ++s)
        std::printf("translate %6d lines (%zu bytes): %.3f s, %zu bytes of C++\n",
                    Lines(sources[s]), sources[s].size(), times[s], cppBytes[s]);
    std::printf("ratio 40,000 / 20,000 lines: %.2f (at most 2.2)\n", times[1] / times[0]);

    // 2. The translated loop against the hand-written one.
    const int rounds = VX_BENCH_ROUNDS;  // the translated loop's ROUNDS, set by the build
    double bestVx = 1e9, bestHand = 1e9;
    for (int run = 0; run < 7; ++run) {
        double start = ThreadSeconds();
        MainGameSub();
        bestVx = std::min(bestVx, ThreadSeconds() - start);
        start = ThreadSeconds();
        HandLoop(rounds);
        bestHand = std::min(bestHand, ThreadSeconds() - start);
    }
    std::string vx = FirstLine("bench-loop.txt"), hand = FirstLine("bench-loop-hand.txt");
    std::printf("loop of %d rounds: translated %.3f s, by hand %.3f s, ratio %.3f (target 1.10)\n",
                rounds, bestVx, bestHand, bestVx / bestHand);
    if (vx != hand) {
        std::printf("the loops disagree: translated \"%s\", by hand \"%s\"\n", vx.c_str(),
                    hand.c_str());
        return 1;
    }
    std::remove("bench-loop.txt");
    std::remove("bench-loop-hand.txt");
    return 0;
}
