// Line-addressed text files: GETFILE reads one numbered line, PUTFILE replaces one.
// Files are read as text (CR LF read as LF) in pieces of at most 1023 bytes, each
// piece counting as a line; whatever PUTFILE writes ends its lines in CR LF.
#include "lang/linefiles.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "base/errors.h"
#include "platform/files.h"

namespace {

constexpr int kLastLine = 255;     // line numbers run from 0 to 255
constexpr int kPieceBytes = 1023;  // one read takes at most this many bytes
// Far beyond any text file a program keeps by lines; a larger one (or an endless
// device) is refused, so a line file's memory stays bounded.
constexpr long long kMaxFileBytes = 64ll << 20;

// Opens `path` for reading as a line file; null, with the reason noted for the
// report, when it is missing or cannot be taken.
FILE* OpenLineFile(const std::string& path, platform::OpenResult* result) {
    FILE* f = platform::OpenForReading(path, kMaxFileBytes, result);
    if (*result == platform::OpenResult::NotAFile) _NoteFileReason("not a regular file");
    if (*result == platform::OpenResult::TooLarge)
        _NoteFileReason("larger than 64 MiB, too large for a line file");
    return f;
}

// Reads the next piece into `out` (room for kPieceBytes): up to and including the
// next LF, CR LF read as LF. Its length; 0 at the end of the file. Bytes are counted,
// not C strings, so NUL bytes in a line come through.
int ReadPiece(FILE* f, char* out) {
    int length = 0;
    while (length < kPieceBytes) {
        int c = std::getc(f);
        if (c == EOF) break;
        if (c == '\r') {
            int next = std::getc(f);
            if (next == '\n')
                c = '\n';
            else if (next != EOF)
                std::ungetc(next, f);
        }
        out[length++] = (char)c;
        if (c == '\n') break;
    }
    return length;
}

// Appends bytes as a text-mode write would: every LF goes out as CR LF.
void AppendText(std::string& out, const char* text, size_t size) {
    for (size_t i = 0; i < size; ++i) {
        if (text[i] == '\n') out += '\r';
        out += text[i];
    }
}

void AppendLine(std::string& out, const VXStr& text) {
    const char* t = text;
    AppendText(out, t, std::strlen(t));
    out += "\r\n";
}

// The low 16 bits of a program's line number, as a signed value.
short Narrow(int line) {
    int low = line & 0xFFFF;
    return (short)(low >= 0x8000 ? low - 0x10000 : low);
}

}  // namespace

int PutFile(const char* file, short line, VXStr& text) {
    // Negative numbers name no line either; rejecting them keeps the file as it is.
    if (line > kLastLine || line < 0) return _Error(VX_ERR_RANGE);
    std::string path = platform::ResolvePath(file);

    // The whole new content, built while reading: every piece is kept except the one
    // replaced, also beyond line 255, so nothing of the file is lost.
    std::string out;
    int count = 0;
    bool lastEnded = true;  // the last line so far has its line end
    platform::OpenResult opened;
    if (FILE* f = OpenLineFile(path, &opened)) {
        char piece[kPieceBytes];
        int length;
        long long total = 0;
        while ((length = ReadPiece(f, piece)) > 0) {
            // A file still growing as it is read stops being a line file too.
            if ((total += length) > kMaxFileBytes) {
                std::fclose(f);
                _FileFailure("PUTFILE", file, "larger than 64 MiB, too large for a line file");
                return _Error(VX_ERR_FILE);
            }
            if (count == line) {
                AppendLine(out, text);
                lastEnded = true;
            } else {
                AppendText(out, piece, (size_t)length);
                // A full piece ends its line by its length: what follows starts the next.
                lastEnded = piece[length - 1] == '\n' || length == kPieceBytes;
            }
            ++count;
        }
        bool failed = std::ferror(f) != 0;
        if (failed) _NoteFileReason(nullptr);
        std::fclose(f);
        // Half a file read is no base for rewriting it.
        if (failed) {
            _FileFailure("PUTFILE", file);
            return 0;
        }
    } else if (opened != platform::OpenResult::Missing) {
        // Only a missing file counts as empty: one we may not read is not ours to
        // overwrite, and one that is no line file at all is refused as GETFILE does.
        _FileFailure("PUTFILE", file);
        bool refused =
            opened == platform::OpenResult::NotAFile || opened == platform::OpenResult::TooLarge;
        return refused ? _Error(VX_ERR_FILE) : 0;
    }

    if (count <= line) {
        // An old last line without its end would run into what follows it.
        if (!lastEnded) out += "\r\n";
        for (; count < line; ++count) out += "\r\n";
        AppendLine(out, text);
    }
    // Where the file cannot be written, nothing is written and no error recorded; the
    // user still learns why.
    if (!platform::RewriteFile(path, out.data(), out.size())) {
        _FileFailure("PUTFILE", file);
    } else {
        // Written, but not atomically: the user learns that too.
        std::string how = platform::ReplacedInPlace();
        if (!how.empty()) _FileFailure("PUTFILE", file, ("rewritten in place, as " + how).c_str());
    }
    return 0;
}

int GetFile(const char* file, short line, VXStr& result) {
    if (line > kLastLine) return _Error(VX_ERR_RANGE);
    std::string path = platform::ResolvePath(file);
    platform::OpenResult opened;
    FILE* f = OpenLineFile(path, &opened);
    if (!f) {
        _FileFailure("GETFILE", file);
        result = "NO_FILE";
        return _Error(VX_ERR_FILE);
    }
    // A negative line stops after the first line, which is then the one returned.
    int wanted = line < 0 ? 0 : line;
    char buffer[kPieceBytes + 1];
    int length = 0;
    int read = 0;
    while (read <= wanted && (length = ReadPiece(f, buffer)) > 0) ++read;
    bool failed = std::ferror(f) != 0;
    if (failed) _NoteFileReason(nullptr);
    std::fclose(f);
    if (failed) {
        _FileFailure("GETFILE", file);
        result = "NO_FILE";
        return _Error(VX_ERR_FILE);
    }
    if (read <= wanted) {
        result = "NO_DATA";
        return 0;
    }
    // A full piece of 1023 bytes would be refused by the assignment: keep what fits.
    buffer[length < VXStr::kMaxLength ? length : VXStr::kMaxLength] = 0;
    result = buffer;
    result.TrimRight();
    if (!result.GetAt(0)) result = "NO_DATA";
    return 0;
}

int GETFILE(VXStr file, int line, int& value) {
    VXStr text;
    GetFile(file, Narrow(line), text);
    value = (int)text;
    return 0;
}

int GETFILE(VXStr file, int line, VXStr& text) {
    GetFile(file, Narrow(line), text);
    return 0;
}

int PUTFILE(VXStr file, int line, int value) {
    VXStr text(value);
    PutFile(file, Narrow(line), text);
    return 0;
}

int PUTFILE(VXStr file, int line, VXStr text) {
    PutFile(file, Narrow(line), text);
    return 0;
}
