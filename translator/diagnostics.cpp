// GNU-format messages with the source line and a caret.
#include "diagnostics.h"

#include <cstring>

namespace vxc {

namespace {
// Longest stretch of a source line shown around the column.
constexpr size_t kShownBefore = 60;
constexpr size_t kShownAfter = 60;
}  // namespace

Diagnostics::Diagnostics(const std::string& fileName, const std::string& source)
    : fileName_(fileName), source_(source) {}

void Diagnostics::Error(const Pos& pos, const std::string& message) {
    if (stopped_) return;
    if (errors_ == kMaxErrors) {
        stopped_ = true;
        Emit(pos, "fatal error",
             "too many errors (" + std::to_string(kMaxErrors) + "), translation stopped");
        return;
    }
    ++errors_;
    Emit(pos, "error", message);
}

void Diagnostics::Warning(const Pos& pos, const std::string& message) {
    if (stopped_) return;
    Emit(pos, "warning", message);
}

void Diagnostics::ErrorNoPos(const std::string& message) {
    ++errors_;
    text_ += fileName_ + ": error: " + message + "\n";
}

void Diagnostics::WarningNoPos(const std::string& message) {
    text_ += fileName_ + ": warning: " + message + "\n";
}

void Diagnostics::Emit(const Pos& pos, const char* kind, const std::string& message) {
    text_ += fileName_ + ":" + std::to_string(pos.line) + ":" + std::to_string(pos.col) + ": " +
             kind + ": " + message + "\n";
    // The line around the column; a very long line is shown in part, marked with "...".
    size_t lineStart = pos.offset - std::min<size_t>(pos.offset, size_t(pos.col - 1));
    if (lineStart > source_.size()) return;
    const char* begin = source_.data() + lineStart;
    const void* nl = std::memchr(begin, '\n', source_.size() - lineStart);
    size_t lineEnd = nl ? size_t(static_cast<const char*>(nl) - source_.data()) : source_.size();
    if (lineEnd > lineStart && source_[lineEnd - 1] == '\r') --lineEnd;
    size_t caret = std::min(pos.offset, lineEnd);
    size_t from = caret - lineStart > kShownBefore ? caret - kShownBefore : lineStart;
    size_t to = lineEnd - caret > kShownAfter ? caret + kShownAfter : lineEnd;
    std::string shown, marks;
    if (from > lineStart) {
        shown += "...";
        marks += "   ";
    }
    for (size_t i = from; i < to; ++i) {
        unsigned char c = static_cast<unsigned char>(source_[i]);
        // Control bytes would move the terminal's cursor: shown as '?', tabs kept.
        char shownChar = (c < 32 && c != '\t') || c == 127 ? '?' : char(c);
        shown += shownChar;
        // One mark per character: UTF-8 continuation bytes take no column.
        if (i < caret && (c & 0xC0) != 0x80) marks += c == '\t' ? '\t' : ' ';
    }
    if (to < lineEnd) shown += "...";
    text_ += " " + shown + "\n " + marks + "^\n";
}

}  // namespace vxc
