// The lexer: source bytes to tokens, one at a time. Names are read whole (letters,
// digits, '_', an optional '$') before keywords are looked up, so SPRITE_X is a name.
#pragma once

#include <cstdint>
#include <string>

#include "diagnostics.h"

namespace vxc {

enum class Tok : unsigned char {
    End,
    Newline,
    Colon,
    Comma,
    LParen,
    RParen,
    LBracket,
    RBracket,
    Plus,
    Minus,
    Star,
    Slash,
    Eq,
    Ne,
    Lt,
    Gt,
    Le,
    Ge,
    Integer,  // value
    String,   // text: the contents between the quotes
    Name,     // text as written; str when it ends in '$'
    Label,    // a name and a colon alone on a line; text is the name
    Setting,  // '#' and a name; text is the name in capitals
    Bad,      // text is the message
    // Keywords.
    If,
    Then,
    Else,
    ElseIf,
    EndIf,
    While,
    Wend,
    Repeat,
    Until,
    For,
    To,
    Step,
    Next,
    Break,
    Continue,
    Goto,
    Gosub,
    Sub,
    EndSub,
    Return,
    EndKw,
    Local,
    Const,
    Dim,
    And,
    Or,
    Not,
};

struct Token {
    Tok kind = Tok::End;
    Pos pos;
    std::string text;
    uint64_t value = 0;  // Integer: saturates at 2^32
    bool str = false;    // Name: ends in '$'
};

// How a token is named in messages ("ENDIF", "end of line", "name x").
std::string Describe(const Token& token);
// The spelling of a keyword token kind ("ENDIF").
const char* KeywordText(Tok kind);

class Lexer {
public:
    explicit Lexer(const std::string& source) : src_(source) {
        // A byte-order mark, as Windows editors write one, is no part of the program.
        if (src_.compare(0, 3, "\xEF\xBB\xBF") == 0) at_ = lineStart_ = 3;
    }
    Token Next();

private:
    Pos Here() const;
    void SkipBlanks();
    void SkipToLineEnd();
    bool LabelAhead(size_t nameEnd) const;

    const std::string& src_;
    size_t at_ = 0;
    size_t lineStart_ = 0;
    int line_ = 1;
    bool lineBegins_ = true;
};

}  // namespace vxc
