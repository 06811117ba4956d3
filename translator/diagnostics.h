// Messages to the user in the GNU format: "file:line:col: error: text", then the
// source line and a caret under the column.
#pragma once

#include <string>

namespace vxc {

// A place in the source: byte offset, line and column (both from 1).
struct Pos {
    size_t offset = 0;
    int line = 1;
    int col = 1;
};

class Diagnostics {
public:
    static constexpr int kMaxErrors = 20;

    Diagnostics(const std::string& fileName, const std::string& source);

    // Records an error at `pos`. Past kMaxErrors it records one last note and stops.
    void Error(const Pos& pos, const std::string& message);
    void Warning(const Pos& pos, const std::string& message);
    // A message about the run, not about a place in the file.
    void ErrorNoPos(const std::string& message);
    void WarningNoPos(const std::string& message);

    int Errors() const { return errors_; }
    // True once the error limit was passed: the translation stops.
    bool Stopped() const { return stopped_; }
    const std::string& Text() const { return text_; }

private:
    void Emit(const Pos& pos, const char* kind, const std::string& message);

    std::string fileName_;
    const std::string& source_;
    std::string text_;
    int errors_ = 0;
    bool stopped_ = false;
};

}  // namespace vxc
