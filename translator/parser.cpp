// The parser's statements: recursive descent over the grammar written above each
// function (expressions are in expressions.cpp).
#include "parser.h"

#include <algorithm>

namespace vxc {

namespace {

bool IsCloser(Tok kind) {
    return kind == Tok::Else || kind == Tok::ElseIf || kind == Tok::EndIf || kind == Tok::Wend ||
           kind == Tok::Until || kind == Tok::Next || kind == Tok::EndSub;
}

// The keyword that ends a construct opened by `opener`.
Tok CloserOf(Tok opener) {
    switch (opener) {
        case Tok::If:
            return Tok::EndIf;
        case Tok::While:
            return Tok::Wend;
        case Tok::Repeat:
            return Tok::Until;
        case Tok::For:
            return Tok::Next;
        default:
            return Tok::EndSub;
    }
}

std::string Line(const Pos& pos) {
    return std::to_string(pos.line);
}

// A name as shown in messages: long junk names are cut.
std::string Shown(const std::string& name) {
    return name.size() > 40 ? name.substr(0, 40) + "..." : name;
}

}  // namespace

Parser::Parser(const std::string& source, Program& program, Diagnostics& diagnostics)
    : lexer_(source), program_(program), diag_(diagnostics) {
    Advance();
}

void Parser::Advance() {
    if (hasNext_) {
        tok_ = std::move(next_);
        hasNext_ = false;
    } else {
        tok_ = lexer_.Next();
    }
}

const Token& Parser::Peek() {
    if (!hasNext_) {
        next_ = lexer_.Next();
        hasNext_ = true;
    }
    return next_;
}

bool Parser::Accept(Tok kind) {
    if (tok_.kind != kind) return false;
    Advance();
    return true;
}

bool Parser::Expect(Tok kind, const char* what) {
    if (Accept(kind)) return true;
    return Unexpected(what);
}

// One error per line: the rest of the line is skipped, its errors would be echoes.
bool Parser::Fail(const Pos& pos, const std::string& message) {
    if (!failed_) diag_.Error(pos, message);
    failed_ = true;
    return false;
}

bool Parser::Unexpected(const std::string& expected) {
    if (tok_.kind == Tok::Bad) return Fail(tok_.pos, tok_.text);
    return Fail(tok_.pos, "expected " + expected + ", found " + Describe(tok_));
}

void Parser::SyncLine() {
    while (tok_.kind != Tok::Newline && tok_.kind != Tok::End) Advance();
    failed_ = false;
}

bool Parser::AtStatementEnd() const {
    return tok_.kind == Tok::Colon || tok_.kind == Tok::Newline || tok_.kind == Tok::End;
}

// A block costs two levels: its C++ takes up to two braces, and compilers limit
// their nesting (clang to 256).
bool Parser::Enter(int cost) {
    nesting_ += cost;
    if (nesting_ > kMaxNesting) {
        nesting_ -= cost;
        return Fail(tok_.pos, "nesting deeper than " + std::to_string(kMaxNesting) + " levels");
    }
    return true;
}

bool Parser::Closes(Tok closer, Tok opener) const {
    if (opener == Tok::If)
        return closer == Tok::EndIf || closer == Tok::Else || closer == Tok::ElseIf;
    return closer == CloserOf(opener);
}

// Reports a construct left open where `tok_` stands instead of its closing keyword.
bool Parser::Missing(Tok closer, const Open& open) {
    diag_.Error(tok_.pos, std::string(KeywordText(closer)) + " expected to close the " +
                              KeywordText(open.kind) + " at line " + Line(open.pos));
    return false;
}

// program = { line } End
// Top level: the main program's statements, SUB definitions, settings, constants.
void Parser::ParseProgram() {
    while (tok_.kind != Tok::End && !diag_.Stopped()) {
        if (tok_.kind == Tok::Sub) {
            if (!firstStatementLine_) firstStatementLine_ = tok_.pos.line;
            ParseSub();
            continue;
        }
        if (IsCloser(tok_.kind)) {
            Fail(tok_.pos, std::string(KeywordText(tok_.kind)) + " without " +
                               (tok_.kind == Tok::Wend     ? "WHILE"
                                : tok_.kind == Tok::Until  ? "REPEAT"
                                : tok_.kind == Tok::Next   ? "FOR"
                                : tok_.kind == Tok::EndSub ? "SUB"
                                                           : "IF"));
            SyncLine();
            continue;
        }
        ParseLine(program_.main.body);
    }
}

// line = Label Newline | statement { ":" statement } Newline
// Appends the line's statements to `block`; stops before a closing keyword.
void Parser::ParseLine(Block& block) {
    if (tok_.kind == Tok::Newline || tok_.kind == Tok::Colon) {
        Advance();
        return;
    }
    if (tok_.kind == Tok::Setting) {
        ParseSetting();
    } else if (tok_.kind == Tok::Const) {
        ParseConst();
    } else if (tok_.kind == Tok::Label) {
        if (!firstStatementLine_) firstStatementLine_ = tok_.pos.line;
        // "SHOWSCREEN:" alone is the command, not a label of that name.
        bool command = !FindCommand(tok_.text).empty();
        Stmt* s = program_.NewStmt(command ? StmtKind::Command : StmtKind::Label, tok_.pos);
        s->name = tok_.text;
        s->namePos = tok_.pos;
        block.push_back(s);
        Advance();
    } else {
        if (!firstStatementLine_) firstStatementLine_ = tok_.pos.line;
        if (Stmt* s = ParseStatement(false)) block.push_back(s);
    }
    if (!failed_ && !AtStatementEnd() && !IsCloser(tok_.kind)) Unexpected("end of statement");
    if (failed_) SyncLine();
    if (tok_.kind == Tok::Colon) Advance();
}

// block = { line }, up to a closing keyword, a SUB or the end of the file
Block Parser::ParseBlock() {
    Block block;
    while (tok_.kind != Tok::End && tok_.kind != Tok::Sub && !diag_.Stopped()) {
        if (IsCloser(tok_.kind)) {
            // A closer of some open construct ends this block; the constructs in
            // between report themselves unclosed.
            for (const Open& open : open_)
                if (Closes(tok_.kind, open.kind)) return block;
            Fail(tok_.pos, std::string(KeywordText(tok_.kind)) + " without its opening statement");
            SyncLine();
            continue;
        }
        ParseLine(block);
    }
    return block;
}

// statement = IF ... | WHILE ... | REPEAT ... | FOR ... | DIM ... | LOCAL ...
//           | GOTO name | GOSUB name | RETURN | END | BREAK | CONTINUE
//           | assignment | command
// `oneLine`: after THEN, where only statements that fit on the line are allowed.
Stmt* Parser::ParseStatement(bool oneLine) {
    Pos pos = tok_.pos;
    switch (tok_.kind) {
        case Tok::If:
            return ParseIf(oneLine);
        case Tok::While:
        case Tok::Repeat:
        case Tok::For:
        case Tok::Local:
            if (oneLine) {
                Fail(pos, std::string(KeywordText(tok_.kind)) +
                              " cannot follow THEN; write the IF as a block");
                return nullptr;
            }
            if (tok_.kind == Tok::While) return ParseWhile();
            if (tok_.kind == Tok::Repeat) return ParseRepeat();
            if (tok_.kind == Tok::For) return ParseFor();
            return ParseLocal();
        case Tok::Dim:
            return ParseDim();
        case Tok::Goto:
            return ParseJump(StmtKind::Goto);
        case Tok::Gosub:
            return ParseJump(StmtKind::Gosub);
        case Tok::Break:
            return ParseLoopExit(StmtKind::Break);
        case Tok::Continue:
            return ParseLoopExit(StmtKind::Continue);
        case Tok::Return:
            Advance();
            return program_.NewStmt(StmtKind::Return, pos);
        case Tok::EndKw:
            Advance();
            return program_.NewStmt(StmtKind::End, pos);
        case Tok::Name:
            return ParseAssignOrCommand();
        case Tok::Setting:
            Fail(pos, "settings come before the first statement (line " +
                          std::to_string(firstStatementLine_) + ")");
            return nullptr;
        case Tok::Const:
            Fail(pos, "CONST stands on a line of its own");
            return nullptr;
        case Tok::Label:
            Fail(pos, "a label stands alone on its line");
            return nullptr;
        default:
            Unexpected("a statement");
            return nullptr;
    }
}

// setting = "#SCREEN" value "," value | "#FULLSCREEN" value | "#FRAMETIME" value
//         | "#DEBUG" value
void Parser::ParseSetting() {
    Pos pos = tok_.pos;
    std::string name = tok_.text;
    if (firstStatementLine_) {
        Fail(pos, "settings come before the first statement (line " +
                      std::to_string(firstStatementLine_) + ")");
        return;
    }
    Advance();
    Settings& s = program_.settings;
    if (name == "SCREEN") {
        int x = 0, y = 0;
        if (!ParseSettingValue(x) || !Expect(Tok::Comma, "','") || !ParseSettingValue(y)) return;
        if (x < 1 || y < 1 || x > 16384 || y > 16384) {
            Fail(pos, "#SCREEN takes a width and a height from 1 to 16384");
            return;
        }
        s.screenX = x;
        s.screenY = y;
    } else if (name == "FULLSCREEN" || name == "DEBUG") {
        int v = 0;
        if (!ParseSettingValue(v)) return;
        (name == "DEBUG" ? s.debug : s.fullscreen) = v;
    } else if (name == "FRAMETIME") {
        int v = 0;
        if (!ParseSettingValue(v)) return;
        if (v < 0 || v > 65535) {
            Fail(pos, "#FRAMETIME takes milliseconds from 0 to 65535");
            return;
        }
        s.frameTime = v;
    } else {
        Fail(pos, "unknown setting #" + name +
                      "; the settings are #SCREEN, #FULLSCREEN, #FRAMETIME and #DEBUG");
    }
}

// value = [ "-" ] Integer
bool Parser::ParseSettingValue(int& value) {
    bool negative = Accept(Tok::Minus);
    if (tok_.kind != Tok::Integer) return Unexpected("a number");
    if (tok_.value > 2147483647u) return Fail(tok_.pos, "number out of range");
    value = int(tok_.value) * (negative ? -1 : 1);
    Advance();
    return true;
}

// const = CONST name [ "$" ] "=" ( [ "-" ] Integer | String )
void Parser::ParseConst() {
    Advance();
    if (tok_.kind != Tok::Name) {
        Unexpected("a name after CONST");
        return;
    }
    Constant c;
    c.name = tok_.text;
    c.str = tok_.str;
    c.pos = tok_.pos;
    Advance();
    if (!Expect(Tok::Eq, "'='")) return;
    if (c.str) {
        if (tok_.kind != Tok::String) {
            Unexpected("a string for " + Shown(c.name) + "$");
            return;
        }
        if (tok_.text.size() > 1022) {
            Fail(tok_.pos, "string longer than 1022 characters, the most a string holds");
            return;
        }
        c.text = tok_.text;
    } else {
        bool negative = Accept(Tok::Minus);
        if (tok_.kind != Tok::Integer) {
            Unexpected("a number for " + Shown(c.name));
            return;
        }
        uint64_t limit = negative ? 2147483648u : 4294967295u;
        if (tok_.value > limit || (!negative && tok_.value > 2147483647u && tok_.text.size() < 2)) {
            Fail(tok_.pos, "number out of range");
            return;
        }
        int64_t v = int64_t(tok_.value);
        if (!negative && v > 2147483647) {
            // Hex beyond the signed range: the bit pattern, as colours are written.
            if (tok_.text.size() < 2 || (tok_.text[1] != 'x' && tok_.text[1] != 'X')) {
                Fail(tok_.pos, "number out of range");
                return;
            }
            v -= int64_t(1) << 32;
        }
        c.value = negative ? -v : v;
    }
    Advance();
    program_.constants.push_back(c);
}

// sub = SUB name Newline block ENDSUB
void Parser::ParseSub() {
    Pos pos = tok_.pos;
    Advance();
    if (tok_.kind != Tok::Name || tok_.str) {
        Unexpected("the SUB's name");
        SyncLine();
        return;
    }
    program_.subs.emplace_back();
    Routine& sub = program_.subs.back();
    sub.name = tok_.text;
    sub.pos = pos;
    Advance();
    if (!AtStatementEnd()) Unexpected("end of line after the SUB's name");
    if (failed_) SyncLine();
    open_.push_back({Tok::Sub, pos});
    inSub_ = true;
    sub.body = ParseBlock();
    inSub_ = false;
    open_.pop_back();
    if (tok_.kind == Tok::EndSub) {
        Advance();
        if (!AtStatementEnd()) Unexpected("end of line after ENDSUB");
        if (failed_) SyncLine();
    } else {
        Missing(Tok::EndSub, {Tok::Sub, pos});
        // A stray closer would only repeat the error: skip its line.
        if (IsCloser(tok_.kind)) SyncLine();
    }
}

// if = IF expr [ THEN ] ( Newline block { ELSEIF expr [ THEN ] block } [ ELSE block ] ENDIF
//                       | THEN statement { ":" statement } [ ELSE statement { ":" statement } ] )
Stmt* Parser::ParseIf(bool oneLine) {
    Pos pos = tok_.pos;
    Advance();
    Stmt* s = program_.NewStmt(StmtKind::If, pos);
    Expr* cond = ParseExpr();
    bool then = false;
    if (!cond) {
        if (oneLine) return nullptr;
        // A bad condition: the rest of the line tells a one-line IF from a block.
        bool statementAfterThen = false;
        while (tok_.kind != Tok::Newline && tok_.kind != Tok::End) {
            if (then) statementAfterThen = true;
            if (tok_.kind == Tok::Then) then = true;
            Advance();
        }
        failed_ = false;
        if (statementAfterThen) return nullptr;
        cond = program_.NewExpr(ExprKind::IntLit, pos);
    } else {
        then = Accept(Tok::Then);
    }
    s->conds.push_back(cond);
    if (then && !AtStatementEnd()) {
        // One line: the statements after THEN, up to ELSE or the line's end.
        if (!Enter(2)) return nullptr;
        for (int part = 0; part < 2; ++part) {
            s->blocks.emplace_back();
            for (;;) {
                if (Stmt* inner = ParseStatement(true)) s->blocks.back().push_back(inner);
                if (failed_) {
                    Leave(2);
                    return nullptr;
                }
                if (tok_.kind != Tok::Colon) break;
                Advance();
                if (tok_.kind == Tok::Else || tok_.kind == Tok::Newline || tok_.kind == Tok::End)
                    break;
            }
            if (part == 1 || tok_.kind != Tok::Else) break;
            Advance();
        }
        Leave(2);
        return s;
    }
    if (oneLine) {
        Fail(pos, "an IF after THEN needs its own THEN and statement");
        return nullptr;
    }
    if (!then && !AtStatementEnd()) {
        Unexpected("THEN");
        return nullptr;
    }
    if (!Enter(2)) return nullptr;
    open_.push_back({Tok::If, pos});
    s->blocks.push_back(ParseBlock());
    bool sawElse = false;
    for (;;) {
        if (tok_.kind == Tok::ElseIf && !sawElse) {
            Advance();
            Expr* c = ParseExpr();
            Accept(Tok::Then);
            if (c && !AtStatementEnd()) Unexpected("end of line after ELSEIF's condition");
            if (failed_) SyncLine();
            s->conds.push_back(c ? c : program_.NewExpr(ExprKind::IntLit, pos));
            s->blocks.push_back(ParseBlock());
        } else if (tok_.kind == Tok::Else && !sawElse) {
            Advance();
            sawElse = true;
            s->blocks.push_back(ParseBlock());
        } else {
            break;
        }
    }
    open_.pop_back();
    Leave(2);
    if (tok_.kind == Tok::EndIf) {
        Advance();
    } else {
        Missing(Tok::EndIf, {Tok::If, pos});
        if (tok_.kind == Tok::Else || tok_.kind == Tok::ElseIf) SyncLine();
    }
    return s;
}

// while = WHILE expr Newline block WEND
Stmt* Parser::ParseWhile() {
    Pos pos = tok_.pos;
    Advance();
    Stmt* s = program_.NewStmt(StmtKind::While, pos);
    s->cond = ParseExpr();
    if (s->cond && !AtStatementEnd()) Unexpected("end of line after WHILE's condition");
    if (failed_) SyncLine();
    if (!s->cond) s->cond = program_.NewExpr(ExprKind::IntLit, pos);
    if (!Enter(2)) return nullptr;
    open_.push_back({Tok::While, pos});
    loops_.push_back(s);
    s->body = ParseBlock();
    loops_.pop_back();
    open_.pop_back();
    Leave(2);
    if (!Accept(Tok::Wend)) Missing(Tok::Wend, {Tok::While, pos});
    return s;
}

// repeat = REPEAT Newline block UNTIL expr
Stmt* Parser::ParseRepeat() {
    Pos pos = tok_.pos;
    Advance();
    Stmt* s = program_.NewStmt(StmtKind::Repeat, pos);
    if (!Enter(2)) return nullptr;
    open_.push_back({Tok::Repeat, pos});
    loops_.push_back(s);
    s->body = ParseBlock();
    loops_.pop_back();
    open_.pop_back();
    Leave(2);
    if (!Accept(Tok::Until)) {
        Missing(Tok::Until, {Tok::Repeat, pos});
        s->cond = program_.NewExpr(ExprKind::IntLit, pos);
        return s;
    }
    s->cond = ParseExpr();
    if (!s->cond) s->cond = program_.NewExpr(ExprKind::IntLit, pos);
    return s;
}

// for = FOR name "=" expr TO expr [ STEP expr ] Newline block NEXT [ name ]
Stmt* Parser::ParseFor() {
    Pos pos = tok_.pos;
    Advance();
    Stmt* s = program_.NewStmt(StmtKind::For, pos);
    // The header; on an error the body is still read, so its NEXT finds its FOR.
    bool ok = false;
    if (tok_.kind != Tok::Name || tok_.str) {
        Unexpected("an integer variable after FOR");
    } else {
        s->target = program_.NewExpr(ExprKind::Var, tok_.pos);
        s->target->text = tok_.text;
        Advance();
        ok = Expect(Tok::Eq, "'='") && (s->value = ParseExpr()) && Expect(Tok::To, "TO") &&
             (s->limit = ParseExpr());
        if (ok && Accept(Tok::Step)) {
            ok = (s->step = ParseExpr()) != nullptr;
            const Expr* st = s->step;
            if (st && st->kind == ExprKind::Neg) st = st->lhs;
            if (st && st->kind == ExprKind::IntLit && st->value == 0)
                ok = Fail(s->step->pos, "STEP 0 never reaches the end");
        }
        if (ok && !AtStatementEnd()) ok = Unexpected("end of line after FOR");
    }
    if (failed_) SyncLine();
    if (!Enter(2)) return nullptr;
    open_.push_back({Tok::For, pos});
    loops_.push_back(s);
    s->body = ParseBlock();
    loops_.pop_back();
    open_.pop_back();
    Leave(2);
    if (!Accept(Tok::Next)) {
        Missing(Tok::Next, {Tok::For, pos});
        return ok ? s : nullptr;
    }
    if (!ok) {
        SyncLine();
        return nullptr;
    }
    if (tok_.kind == Tok::Name) {
        std::string a = tok_.text, b = s->target->text;
        std::transform(a.begin(), a.end(), a.begin(), ::tolower);
        std::transform(b.begin(), b.end(), b.begin(), ::tolower);
        if (a != b || tok_.str)
            Fail(tok_.pos, "NEXT " + Shown(tok_.text) + " closes FOR " + Shown(s->target->text));
        Advance();
    }
    return s;
}

// dim = DIM name "[" expr "]" { "[" expr "]" } { "," name "[" expr "]" ... }
Stmt* Parser::ParseDim() {
    Stmt* s = program_.NewStmt(StmtKind::Dim, tok_.pos);
    Advance();
    do {
        if (tok_.kind != Tok::Name) {
            Unexpected("an array name");
            return nullptr;
        }
        if (Peek().kind != Tok::LBracket) {
            Advance();
            Unexpected("'[' and the array's size");
            return nullptr;
        }
        Expr* e = ParseNameExpr();
        if (!e) return nullptr;
        s->args.push_back(e);
    } while (Accept(Tok::Comma));
    return s;
}

// local = LOCAL name { "," name }
Stmt* Parser::ParseLocal() {
    Stmt* s = program_.NewStmt(StmtKind::Local, tok_.pos);
    if (!inSub_) {
        Fail(tok_.pos, "LOCAL belongs inside a SUB");
        return nullptr;
    }
    Advance();
    do {
        if (tok_.kind != Tok::Name) {
            Unexpected("a variable name");
            return nullptr;
        }
        Expr* e = program_.NewExpr(ExprKind::Var, tok_.pos);
        e->text = tok_.text;
        e->str = tok_.str;
        s->args.push_back(e);
        Advance();
    } while (Accept(Tok::Comma));
    return s;
}

// jump = ( GOTO | GOSUB ) name
Stmt* Parser::ParseJump(StmtKind kind) {
    Stmt* s = program_.NewStmt(kind, tok_.pos);
    Advance();
    if (tok_.kind != Tok::Name || tok_.str) {
        Unexpected(kind == StmtKind::Goto ? "a label after GOTO" : "a SUB's name after GOSUB");
        return nullptr;
    }
    s->name = tok_.text;
    s->namePos = tok_.pos;
    Advance();
    return s;
}

// exit = BREAK | CONTINUE
Stmt* Parser::ParseLoopExit(StmtKind kind) {
    Stmt* s = program_.NewStmt(kind, tok_.pos);
    if (loops_.empty()) {
        Fail(tok_.pos,
             std::string(kind == StmtKind::Break ? "BREAK" : "CONTINUE") + " outside a loop");
        return nullptr;
    }
    s->loop = loops_.back();
    if (kind == StmtKind::Continue) s->loop->continued = true;
    Advance();
    return s;
}

// assignment = name [ "$" ] { "[" expr "]" } "=" expr
// command    = name [ expr { "," expr } ]
Stmt* Parser::ParseAssignOrCommand() {
    Tok after = Peek().kind;
    if (after == Tok::Eq || after == Tok::LBracket) {
        Stmt* s = program_.NewStmt(StmtKind::Assign, tok_.pos);
        if (!(s->target = ParseNameExpr())) return nullptr;
        if (!Expect(Tok::Eq, "'='")) return nullptr;
        if (!(s->value = ParseExpr())) return nullptr;
        return s;
    }
    Stmt* s = program_.NewStmt(StmtKind::Command, tok_.pos);
    s->name = tok_.text;
    s->namePos = tok_.pos;
    if (tok_.str) {
        Advance();
        Unexpected("'=' after the variable");
        return nullptr;
    }
    Advance();
    if (AtStatementEnd() || tok_.kind == Tok::Else) return s;
    do {
        Expr* e = ParseExpr();
        if (!e) return nullptr;
        s->args.push_back(e);
    } while (Accept(Tok::Comma));
    return s;
}

}  // namespace vxc
