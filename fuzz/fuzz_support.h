// What the fuzz targets share: a private temporary folder made once per process,
// files written into it, and a check that stops the run with a message.
#pragma once
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace vxfuzz {

// A folder of this process's own under $TMPDIR (or /tmp), made on first use.
inline const std::string& Folder() {
    static const std::string folder = [] {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/vxfuzz-XXXXXX";
        if (!mkdtemp(&pattern[0])) std::abort();
        return pattern;
    }();
    return folder;
}

inline void WriteFile(const std::string& path, const uint8_t* data, size_t size) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f || std::fwrite(data, 1, size, f) != size || std::fclose(f) != 0) std::abort();
}

inline std::string ReadFile(const std::string& path) {
    std::string out;
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
        char chunk[4096];
        size_t got;
        while ((got = std::fread(chunk, 1, sizeof chunk, f)) > 0) out.append(chunk, got);
        std::fclose(f);
    }
    return out;
}

// A broken invariant is a finding: report it and abort, so libFuzzer keeps the input.
#define VX_FUZZ_CHECK(condition)                                                               \
    do {                                                                                       \
        if (!(condition)) {                                                                    \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                      \
        }                                                                                      \
    } while (0)

}  // namespace vxfuzz
