// The lexer: one token per call, no backtracking beyond a look at the rest of a line
// for labels.
#include "lexer.h"

#include <cstring>

namespace vxc {

namespace {

bool IsLetter(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
bool IsDigit(unsigned char c) {
    return c >= '0' && c <= '9';
}
bool IsNameChar(unsigned char c) {
    return IsLetter(c) || IsDigit(c) || c == '_';
}
bool IsHex(unsigned char c) {
    return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
int HexValue(unsigned char c) {
    if (IsDigit(c)) return c - '0';
    return (c | 0x20) - 'a' + 10;
}

struct Keyword {
    const char* text;
    Tok kind;
};
const Keyword kKeywords[] = {
    {"IF", Tok::If},         {"THEN", Tok::Then},     {"ELSE", Tok::Else},
    {"ELSEIF", Tok::ElseIf}, {"ENDIF", Tok::EndIf},   {"WHILE", Tok::While},
    {"WEND", Tok::Wend},     {"REPEAT", Tok::Repeat}, {"UNTIL", Tok::Until},
    {"FOR", Tok::For},       {"TO", Tok::To},         {"STEP", Tok::Step},
    {"NEXT", Tok::Next},     {"BREAK", Tok::Break},   {"CONTINUE", Tok::Continue},
    {"GOTO", Tok::Goto},     {"GOSUB", Tok::Gosub},   {"SUB", Tok::Sub},
    {"ENDSUB", Tok::EndSub}, {"RETURN", Tok::Return}, {"END", Tok::EndKw},
    {"LOCAL", Tok::Local},   {"CONST", Tok::Const},   {"DIM", Tok::Dim},
    {"AND", Tok::And},       {"OR", Tok::Or},         {"NOT", Tok::Not},
};

// The keyword spelled by src[from, to) in any case, or Tok::Name.
Tok LookUp(const char* text, size_t n) {
    if (n > 8) return Tok::Name;
    char up[9];
    for (size_t i = 0; i < n; ++i) {
        char c = text[i];
        up[i] = (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
    }
    up[n] = 0;
    for (const Keyword& k : kKeywords)
        if (std::strcmp(k.text, up) == 0) return k.kind;
    return Tok::Name;
}

}  // namespace

const char* KeywordText(Tok kind) {
    for (const Keyword& k : kKeywords)
        if (k.kind == kind) return k.text;
    return "";
}

std::string Describe(const Token& t) {
    switch (t.kind) {
        case Tok::End:
            return "end of file";
        case Tok::Newline:
            return "end of line";
        case Tok::Colon:
            return "':'";
        case Tok::Comma:
            return "','";
        case Tok::LParen:
            return "'('";
        case Tok::RParen:
            return "')'";
        case Tok::LBracket:
            return "'['";
        case Tok::RBracket:
            return "']'";
        case Tok::Plus:
            return "'+'";
        case Tok::Minus:
            return "'-'";
        case Tok::Star:
            return "'*'";
        case Tok::Slash:
            return "'/'";
        case Tok::Eq:
            return "'='";
        case Tok::Ne:
            return "'<>'";
        case Tok::Lt:
            return "'<'";
        case Tok::Gt:
            return "'>'";
        case Tok::Le:
            return "'<='";
        case Tok::Ge:
            return "'>='";
        case Tok::Integer:
            return "a number";
        case Tok::String:
            return "a string";
        case Tok::Name:
            return t.text.size() > 40 ? "a name" : t.text;
        case Tok::Label:
            return "a label";
        case Tok::Setting:
            return "#" + t.text;
        case Tok::Bad:
            return "bad input";
        default:
            return KeywordText(t.kind);
    }
}

Pos Lexer::Here() const {
    Pos p;
    p.offset = at_;
    p.line = line_;
    p.col = int(at_ - lineStart_ + 1);
    return p;
}

void Lexer::SkipBlanks() {
    while (at_ < src_.size()) {
        char c = src_[at_];
        if (c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v') {
            ++at_;
        } else if (c == '/' && at_ + 1 < src_.size() && src_[at_ + 1] == '/') {
            SkipToLineEnd();
        } else {
            break;
        }
    }
}

void Lexer::SkipToLineEnd() {
    const void* nl = std::memchr(src_.data() + at_, '\n', src_.size() - at_);
    at_ = nl ? size_t(static_cast<const char*>(nl) - src_.data()) : src_.size();
}

// After a name at the start of a line: only blanks, one ':', blanks and an optional
// comment up to the line's end make it a label.
bool Lexer::LabelAhead(size_t i) const {
    auto blanks = [&](size_t j) {
        while (j < src_.size() && (src_[j] == ' ' || src_[j] == '\t' || src_[j] == '\r')) ++j;
        return j;
    };
    i = blanks(i);
    if (i >= src_.size() || src_[i] != ':') return false;
    i = blanks(i + 1);
    if (i >= src_.size() || src_[i] == '\n') return true;
    if (src_[i] == '/' && i + 1 < src_.size() && src_[i + 1] == '/') return true;
    if (i + 3 <= src_.size() && LookUp(src_.data() + i, 3) == Tok::Name) {
        // "REM" starts a comment only as a word of its own.
        char up[4] = {char(src_[i] & ~0x20), char(src_[i + 1] & ~0x20), char(src_[i + 2] & ~0x20),
                      0};
        if (std::strcmp(up, "REM") == 0 &&
            (i + 3 == src_.size() || !IsNameChar(static_cast<unsigned char>(src_[i + 3]))))
            return true;
    }
    return false;
}

Token Lexer::Next() {
    for (;;) {
        SkipBlanks();
        Token t;
        t.pos = Here();
        if (at_ >= src_.size()) {
            t.kind = Tok::End;
            return t;
        }
        unsigned char c = static_cast<unsigned char>(src_[at_]);
        bool begins = lineBegins_;
        lineBegins_ = false;
        if (c == '\n') {
            ++at_;
            ++line_;
            lineStart_ = at_;
            lineBegins_ = true;
            t.kind = Tok::Newline;
            return t;
        }
        if (IsLetter(c)) {
            size_t from = at_;
            while (at_ < src_.size() && IsNameChar(static_cast<unsigned char>(src_[at_]))) ++at_;
            size_t n = at_ - from;
            if (at_ < src_.size() && src_[at_] == '$') {
                ++at_;
                t.kind = Tok::Name;
                t.str = true;
                t.text.assign(src_, from, n);
                return t;
            }
            Tok kw = LookUp(src_.data() + from, n);
            if (kw == Tok::Name && n == 3) {
                char up[4] = {char(src_[from] & ~0x20), char(src_[from + 1] & ~0x20),
                              char(src_[from + 2] & ~0x20), 0};
                if (std::strcmp(up, "REM") == 0) {
                    SkipToLineEnd();
                    lineBegins_ = begins;
                    continue;
                }
            }
            if (kw != Tok::Name) {
                t.kind = kw;
                return t;
            }
            t.text.assign(src_, from, n);
            if (begins && LabelAhead(at_)) {
                // Consume the colon: the label stands alone on its line.
                while (src_[at_] != ':') ++at_;
                ++at_;
                t.kind = Tok::Label;
                return t;
            }
            t.kind = Tok::Name;
            return t;
        }
        if (IsDigit(c)) {
            size_t from = at_;
            uint64_t v = 0;
            const uint64_t cap = uint64_t(1) << 32;
            bool ok = true;
            if (c == '0' && at_ + 1 < src_.size() &&
                (src_[at_ + 1] == 'x' || src_[at_ + 1] == 'X')) {
                at_ += 2;
                size_t digits = at_;
                while (at_ < src_.size() && IsHex(static_cast<unsigned char>(src_[at_]))) {
                    v = v * 16 + HexValue(static_cast<unsigned char>(src_[at_++]));
                    if (v > cap) v = cap;
                }
                ok = at_ > digits;
            } else {
                while (at_ < src_.size() && IsDigit(static_cast<unsigned char>(src_[at_]))) {
                    v = v * 10 + uint64_t(src_[at_++] - '0');
                    if (v > cap) v = cap;
                }
            }
            if (at_ < src_.size() &&
                (IsNameChar(static_cast<unsigned char>(src_[at_])) || src_[at_] == '$'))
                ok = false;
            if (!ok) {
                while (at_ < src_.size() && IsNameChar(static_cast<unsigned char>(src_[at_])))
                    ++at_;
                t.kind = Tok::Bad;
                t.text = "malformed number";
                return t;
            }
            t.kind = Tok::Integer;
            t.value = v;
            t.text.assign(src_, from, at_ - from);
            if (t.text.size() > 40) t.text.clear();
            return t;
        }
        if (c == '"') {
            size_t from = ++at_;
            while (at_ < src_.size() && src_[at_] != '"' && src_[at_] != '\n') ++at_;
            if (at_ >= src_.size() || src_[at_] != '"') {
                t.kind = Tok::Bad;
                t.text = "missing closing quote";
                return t;
            }
            t.kind = Tok::String;
            t.text.assign(src_, from, at_ - from);
            ++at_;
            return t;
        }
        ++at_;
        char n = at_ < src_.size() ? src_[at_] : 0;
        switch (c) {
            case ':':
                t.kind = Tok::Colon;
                return t;
            case ',':
                t.kind = Tok::Comma;
                return t;
            case '(':
                t.kind = Tok::LParen;
                return t;
            case ')':
                t.kind = Tok::RParen;
                return t;
            case '[':
                t.kind = Tok::LBracket;
                return t;
            case ']':
                t.kind = Tok::RBracket;
                return t;
            case '+':
                t.kind = Tok::Plus;
                return t;
            case '-':
                t.kind = Tok::Minus;
                return t;
            case '*':
                t.kind = Tok::Star;
                return t;
            case '/':
                t.kind = Tok::Slash;
                return t;
            case '=':
                t.kind = Tok::Eq;
                return t;
            case '<':
                if (n == '>') {
                    ++at_;
                    t.kind = Tok::Ne;
                } else if (n == '=') {
                    ++at_;
                    t.kind = Tok::Le;
                } else {
                    t.kind = Tok::Lt;
                }
                return t;
            case '>':
                if (n == '=') {
                    ++at_;
                    t.kind = Tok::Ge;
                } else {
                    t.kind = Tok::Gt;
                }
                return t;
            case '#':
                if (IsLetter(static_cast<unsigned char>(n))) {
                    size_t from = at_;
                    while (at_ < src_.size() && IsNameChar(static_cast<unsigned char>(src_[at_])))
                        ++at_;
                    t.kind = Tok::Setting;
                    t.text.assign(src_, from, std::min<size_t>(at_ - from, 40));
                    for (char& ch : t.text)
                        if (ch >= 'a' && ch <= 'z') ch = char(ch - 'a' + 'A');
                    return t;
                }
                break;
            default:
                break;
        }
        t.kind = Tok::Bad;
        if (c >= 32 && c < 127) {
            t.text = std::string("unexpected character '") + char(c) + "'";
        } else {
            static const char* hex = "0123456789ABCDEF";
            t.text = std::string("unexpected byte 0x") + hex[c >> 4] + hex[c & 15];
        }
        return t;
    }
}

}  // namespace vxc
