// vamexc: translates a Vamex program (.vx) to C++ on the runtime, and as a driver
// builds it into a program against the installed runtime, or builds and runs it.
// Usage: vamexc game.vx -o game.cpp|game [-D NAME=value]... [--check] [--run] [-v]
#include <cstdio>
#include <cstring>
#include <string>

#include "driver.h"
#include "translate.h"

namespace {

int Usage(const char* message) {
    if (message) std::fprintf(stderr, "vamexc: %s\n", message);
    std::fprintf(stderr,
                 "usage: vamexc SOURCE.vx (-o OUTPUT | --run | --check) [-D NAME=value]... [-v]\n"
                 "  -o FILE.cpp    write the C++ to FILE.cpp ('-': standard output)\n"
                 "  -o PROGRAM     translate, compile and link PROGRAM against the runtime\n"
                 "  --run          build into a temporary folder and run the program in the\n"
                 "                 source's folder; vamexc ends with the program's exit code\n"
                 "  -D NAME=value  give CONST NAME this value\n"
                 "  --check        report the program's errors only, write nothing\n"
                 "  -v             print the commands the driver runs\n");
    return 2;
}

bool ReadAll(std::FILE* f, std::string& text) {
    char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, n);
    return !std::ferror(f);
}

// Writes beside the target and renames, so a reader never sees half a file.
bool WriteFile(const std::string& path, const std::string& text) {
    std::string temp = path + ".tmp";
    std::FILE* f = std::fopen(temp.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    ok = std::fclose(f) == 0 && ok;
#ifdef _WIN32
    // Windows' rename does not replace an existing file.
    if (ok) std::remove(path.c_str());
#endif
    if (ok) ok = std::rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) std::remove(temp.c_str());
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    vxc::Options options;
    std::string input, output;
    bool haveOutput = false, run = false, verbose = false;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "-o") {
            if (++i >= argc) return Usage("-o needs a file name");
            output = argv[i];
            haveOutput = true;
        } else if (arg == "-D" || (arg.size() > 2 && arg.compare(0, 2, "-D") == 0)) {
            std::string def = arg.size() > 2 ? arg.substr(2) : (++i < argc ? argv[i] : "");
            size_t eq = def.find('=');
            if (eq == std::string::npos || eq == 0) return Usage("-D needs NAME=value");
            options.defines.emplace_back(def.substr(0, eq), def.substr(eq + 1));
        } else if (arg == "--check") {
            options.check_only = true;
        } else if (arg == "--run") {
            run = true;
        } else if (arg == "-v") {
            verbose = true;
        } else if (arg == "-h" || arg == "--help") {
            Usage(nullptr);
            return 0;
        } else if (arg.size() > 1 && arg[0] == '-') {
            return Usage(("unknown option " + arg).c_str());
        } else if (input.empty()) {
            input = arg;
        } else {
            return Usage("one source file at a time");
        }
    }
    if (input.empty()) return Usage("no source file");
    if (!haveOutput && !options.check_only && !run) return Usage("no output file (-o)");
    if (run && (haveOutput || options.check_only)) return Usage("--run makes no output file");
    if (run && input == "-") return Usage("--run needs a source file");

    std::string source;
    std::FILE* in = input == "-" ? stdin : std::fopen(input.c_str(), "rb");
    if (!in) {
        std::fprintf(stderr, "vamexc: cannot open %s: %s\n", input.c_str(), std::strerror(errno));
        return 1;
    }
    bool read = ReadAll(in, source);
    if (in != stdin) std::fclose(in);
    if (!read) {
        std::fprintf(stderr, "vamexc: cannot read %s\n", input.c_str());
        return 1;
    }
    options.file_name = input;
    vxc::Result result = vxc::Translate(source, options);
    std::fputs(result.diagnostics.c_str(), stderr);
    if (!result.ok) return 1;
    if (options.check_only) return 0;
    bool cpp_out =
        output == "-" || (output.size() >= 4 && output.compare(output.size() - 4, 4, ".cpp") == 0);
    if (run || !cpp_out) {
        vxc::DriverRequest request;
        request.source = input;
        request.output = output;
        request.run = run;
        request.verbose = verbose;
        return vxc::BuildProgram(request, result.cpp);
    }
    if (output == "-") {
        std::fwrite(result.cpp.data(), 1, result.cpp.size(), stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }
    if (!WriteFile(output, result.cpp)) {
        std::fprintf(stderr, "vamexc: cannot write %s: %s\n", output.c_str(), std::strerror(errno));
        return 1;
    }
    return 0;
}
