// The translator on any bytes, as a full translation and as a check only. It must
// answer with C++ or with diagnostics: ok exactly when no diagnostic is an error, no
// C++ beside errors, both jobs agreeing on the diagnostics, and the same bytes in
// giving the same bytes out.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "translator/translate.h"

namespace {

const char kFile[] = "fuzz.vx";

bool StartsWithDigits(const std::string& s, size_t& at) {
    size_t start = at;
    while (at < s.size() && s[at] >= '0' && s[at] <= '9') ++at;
    return at > start;
}

// "fuzz.vx:line:col: kind: " at the start of `line`, giving the kind.
bool Header(const std::string& line, std::string& kind) {
    const std::string prefix = std::string(kFile) + ":";
    if (line.compare(0, prefix.size(), prefix) != 0) return false;
    size_t at = prefix.size();
    if (!StartsWithDigits(line, at) || at >= line.size() || line[at++] != ':') return false;
    if (!StartsWithDigits(line, at) || line.compare(at, 2, ": ") != 0) return false;
    at += 2;
    size_t end = line.find(": ", at);
    if (end == std::string::npos) return false;
    kind = line.substr(at, end - at);
    return true;
}

// A caret line: blanks and tabs, then the caret (and any marks after it).
bool Caret(const std::string& line) {
    size_t at = line.find_first_not_of(" \t");
    return at != std::string::npos && line[at] == '^';
}

// The number of diagnostics of kind "error". A header is followed by the source line
// and a caret line, which are skipped whatever the source line holds.
int Errors(const std::string& diagnostics) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < diagnostics.size()) {
        size_t end = diagnostics.find('\n', start);
        if (end == std::string::npos) end = diagnostics.size();
        lines.push_back(diagnostics.substr(start, end - start));
        start = end + 1;
    }
    int errors = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
        std::string kind;
        if (!Header(lines[i], kind)) continue;
        if (kind == "error") ++errors;
        if (i + 2 < lines.size() && Caret(lines[i + 2])) i += 2;
    }
    return errors;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string source((const char*)data, size);
    vxc::Options options;
    options.file_name = kFile;

    const vxc::Result first = vxc::Translate(source, options);
    const int errors = Errors(first.diagnostics);
    VX_FUZZ_CHECK(first.ok == (errors == 0));
    VX_FUZZ_CHECK(first.ok ? !first.cpp.empty() : first.cpp.empty());

    const vxc::Result again = vxc::Translate(source, options);
    VX_FUZZ_CHECK(again.ok == first.ok);
    VX_FUZZ_CHECK(again.cpp == first.cpp);
    VX_FUZZ_CHECK(again.diagnostics == first.diagnostics);

    options.check_only = true;
    const vxc::Result checked = vxc::Translate(source, options);
    VX_FUZZ_CHECK(checked.ok == first.ok);
    VX_FUZZ_CHECK(checked.diagnostics == first.diagnostics);
    return 0;
}
