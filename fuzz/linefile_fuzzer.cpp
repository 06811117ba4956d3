// PutFile and GetFile on a file whose content is the input. The first two bytes are
// the line number, the bytes up to the next LF the text; the rest is the file. After
// a rewrite every other line reads back byte for byte and the new line as written.
#include <cstring>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "lang/linefiles.h"

namespace {

// The file's lines as the line files count them: up to and including an LF (CR LF
// taken as LF), at most 1023 bytes each.
std::vector<std::string> Pieces(const std::string& bytes) {
    std::vector<std::string> pieces;
    std::string piece;
    for (size_t i = 0; i < bytes.size(); ++i) {
        char c = bytes[i];
        if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') c = bytes[++i];
        piece += c;
        if (c == '\n' || piece.size() == 1023) pieces.push_back(std::move(piece)), piece.clear();
    }
    if (!piece.empty()) pieces.push_back(piece);
    return pieces;
}

bool Printable(const std::string& text) {
    for (unsigned char c : text)
        if (c < 32 || c > 126) return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const short line = (short)(data[0] | data[1] << 8);
    const char* rest = (const char*)data + 2;
    const size_t restSize = size - 2;
    const char* end = (const char*)std::memchr(rest, '\n', restSize);
    std::string text(rest, end ? end - rest : restSize);
    if (text.size() > 1022 || text.find('\0') != std::string::npos) return 0;
    const std::string old = end ? std::string(end + 1, rest + restSize) : std::string();

    const std::string path = vxfuzz::Folder() + "/lines.txt";
    vxfuzz::WriteFile(path, (const uint8_t*)old.data(), old.size());
    VXStr value(text.c_str());
    PutFile(path.c_str(), line, value);
    const std::string now = vxfuzz::ReadFile(path);
    if (line < 0 || line > 255) {
        VX_FUZZ_CHECK(now == old);  // refused: untouched
        return 0;
    }
    for (size_t i = 0; i < now.size(); ++i)
        VX_FUZZ_CHECK(now[i] != '\n' || (i > 0 && now[i - 1] == '\r'));

    // What the rewrite must give: the old lines, the one replaced, and where the file
    // was shorter, empty lines up to the new one; an old last line gains its end.
    std::vector<std::string> expected = Pieces(old);
    if ((size_t)line < expected.size()) {
        expected[line] = text + "\n";
    } else {
        if (!expected.empty() && expected.back().back() != '\n' && expected.back().size() < 1023)
            expected.back() += '\n';
        expected.resize(line, "\n");
        expected.push_back(text + "\n");
    }
    VX_FUZZ_CHECK(Pieces(now) == expected);

    if (Printable(text)) {
        VXStr back;
        GetFile(path.c_str(), line, back);
        VX_FUZZ_CHECK(std::strcmp(back, text.empty() ? "NO_DATA" : text.c_str()) == 0);
    }
    return 0;
}
