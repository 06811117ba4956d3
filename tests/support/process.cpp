// Test support: files, the same on both builds. Names are UTF-8 on both.
#include "support/process.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace vxtest {

std::string ReadFile(const std::string& path) {
    std::ifstream in(std::filesystem::u8path(path), std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

bool WriteFile(const std::string& path, const std::string& data) {
    std::error_code ignored;
    std::filesystem::path parent = std::filesystem::u8path(path).parent_path();
    if (!parent.empty()) std::filesystem::create_directories(parent, ignored);
    std::ofstream out(std::filesystem::u8path(path), std::ios::binary | std::ios::trunc);
    out.write(data.data(), (std::streamsize)data.size());
    return (bool)out;
}

bool FileExists(const std::string& path) {
    std::error_code ignored;
    return std::filesystem::exists(std::filesystem::u8path(path), ignored);
}

}  // namespace vxtest
