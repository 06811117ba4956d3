// vamexc as a compiler driver. The runtime is found relative to the translator
// (bin/vamexc beside include/vamex, lib and share/vamex), so an installed tree can
// move. The compiler is started with an argument list, never a shell; its messages
// reach the user prefixed with what was being built.
#include "driver.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "driver_os.h"

#ifndef VAMEXC_CXX
#define VAMEXC_CXX "c++"
#endif
#ifndef VAMEXC_LIBS
#define VAMEXC_LIBS ""
#endif

namespace fs = std::filesystem;

namespace vxc {

namespace {

constexpr const char* kFont = "SMALFONT.BMP";

// The installed runtime: the prefix the translator lives in.
struct Runtime {
    fs::path include, entry, library, font;
};

bool FindRuntime(Runtime& runtime, std::string& error) {
    std::string self = SelfPath();
    if (self.empty()) {
        error = "cannot tell where vamexc is installed";
        return false;
    }
    std::error_code ec;
    fs::path prefix = fs::weakly_canonical(fs::path(self), ec).parent_path().parent_path();
    runtime.include = prefix / "include" / "vamex";
    runtime.entry = prefix / "lib" / "libvamex_entry.a";
    runtime.library = prefix / "lib" / "libvamex.a";
    runtime.font = prefix / "share" / "vamex" / kFont;
    for (const fs::path& p : {runtime.include / "vamex.h", runtime.entry, runtime.library}) {
        if (!fs::is_regular_file(p, ec)) {
            error = "no runtime beside this translator (" + p.string() +
                    " is missing); install the runtime with cmake --install";
            return false;
        }
    }
    return true;
}

std::vector<std::string> Words(const std::string& text) {
    std::vector<std::string> words;
    std::istringstream in(text);
    for (std::string w; in >> w;) words.push_back(w);
    return words;
}

void Show(const std::vector<std::string>& args) {
    std::string line;
    for (const std::string& a : args)
        line += (line.empty() ? "" : " ") +
                (a.find_first_of(" \t'\"") == std::string::npos ? a : "'" + a + "'");
    std::fprintf(stderr, "%s\n", line.c_str());
}

// Prints what a step wrote, each line prefixed with what was being built.
void Relay(const std::string& file, const std::string& what) {
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);)
        std::fprintf(stderr, "vamexc: %s: %s\n", what.c_str(), line.c_str());
}

struct TempFolder {
    std::string path = MakeTempFolder();
    ~TempFolder() {
        std::error_code ec;
        if (!path.empty()) fs::remove_all(path, ec);
    }
};

}  // namespace

int BuildProgram(const DriverRequest& request, const std::string& cpp) {
    const std::string what = "building " + request.source;
    Runtime runtime;
    std::string error;
    if (!FindRuntime(runtime, error)) {
        std::fprintf(stderr, "vamexc: %s: %s\n", what.c_str(), error.c_str());
        return 1;
    }
    TempFolder temp;
    if (temp.path.empty()) {
        std::fprintf(stderr, "vamexc: %s: cannot make a temporary folder\n", what.c_str());
        return 1;
    }
    fs::path source_cpp = fs::path(temp.path) / (fs::path(request.source).stem().string() + ".cpp");
    {
        std::ofstream out(source_cpp, std::ios::binary);
        out << cpp;
        if (!out.flush()) {
            std::fprintf(stderr, "vamexc: %s: cannot write %s\n", what.c_str(),
                         source_cpp.string().c_str());
            return 1;
        }
    }
    fs::path program = request.run ? fs::path(temp.path) / fs::path(request.source).stem()
                                   : fs::path(request.output);
#ifdef _WIN32
    if (program.extension() != ".exe") program += ".exe";
#endif

    const char* cxx = std::getenv("CXX");
    std::vector<std::string> args = {cxx && *cxx ? cxx : VAMEXC_CXX,
                                     "-std=c++17",
                                     "-O2",
                                     "-I" + runtime.include.string(),
                                     source_cpp.string(),
                                     "-o",
                                     program.string(),
                                     runtime.entry.string(),
                                     runtime.library.string()};
    for (const std::string& lib : Words(VAMEXC_LIBS)) args.push_back(lib);
    if (request.verbose) Show(args);
    fs::path log = fs::path(temp.path) / "compiler.txt";
    int rc = RunProgram(args, "", log.string(), error);
    Relay(log.string(), what);
    if (rc != 0) {
        if (rc < 0)
            std::fprintf(stderr, "vamexc: %s: %s\n", what.c_str(), error.c_str());
        else
            std::fprintf(stderr, "vamexc: %s: the compiler failed (exit code %d)\n", what.c_str(),
                         rc);
        return 1;
    }

    // Programs read their font picture from the folder they run in.
    fs::path folder = request.run ? fs::absolute(request.source).parent_path()
                                  : fs::absolute(program).parent_path();
    std::error_code ec;
    if (!fs::exists(folder / kFont, ec)) {
        if (request.verbose)
            std::fprintf(stderr, "copy %s %s\n", runtime.font.string().c_str(),
                         (folder / kFont).string().c_str());
        if (!fs::copy_file(runtime.font, folder / kFont, ec))
            std::fprintf(stderr, "vamexc: %s: cannot put %s in %s: %s\n", what.c_str(), kFont,
                         folder.string().c_str(), ec.message().c_str());
    }
    if (!request.run) return 0;

    std::vector<std::string> run_args = {program.string()};
    if (request.verbose) Show(run_args);
    rc = RunProgram(run_args, folder.string(), "", error);
    if (rc < 0) {
        std::fprintf(stderr, "vamexc: running %s: %s\n", request.source.c_str(), error.c_str());
        return 1;
    }
    return rc;
}

}  // namespace vxc
