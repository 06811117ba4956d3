// The parser: tokens to the syntax tree, recursive descent with one token of
// lookahead. Each parse function sits under the grammar rule it reads. On an error
// it reports once and goes on at the next line, so one run finds every error.
#pragma once

#include <string>
#include <vector>

#include "ast.h"
#include "diagnostics.h"
#include "lexer.h"

namespace vxc {

class Parser {
public:
    // Deepest nesting of blocks, parentheses and signs the parser follows.
    static constexpr int kMaxNesting = 200;
    // Highest expression tree (left-to-right chains grow it without nesting).
    static constexpr int kMaxExprDepth = 1000;

    Parser(const std::string& source, Program& program, Diagnostics& diagnostics);
    void ParseProgram();

private:
    struct Open {
        Tok kind;
        Pos pos;
    };

    void Advance();
    const Token& Peek();
    bool Accept(Tok kind);
    bool Expect(Tok kind, const char* what);
    bool Fail(const Pos& pos, const std::string& message);
    bool Unexpected(const std::string& expected);
    void SyncLine();
    bool AtStatementEnd() const;
    bool Enter(int cost = 1);
    void Leave(int cost = 1) { nesting_ -= cost; }
    bool Closes(Tok closer, Tok opener) const;
    bool Missing(Tok closer, const Open& open);

    void ParseLine(Block& block);
    Block ParseBlock();
    Stmt* ParseStatement(bool oneLine);
    void ParseSetting();
    void ParseConst();
    void ParseSub();
    Stmt* ParseIf(bool oneLine);
    Stmt* ParseWhile();
    Stmt* ParseRepeat();
    Stmt* ParseFor();
    Stmt* ParseDim();
    Stmt* ParseLocal();
    Stmt* ParseJump(StmtKind kind);
    Stmt* ParseLoopExit(StmtKind kind);
    Stmt* ParseAssignOrCommand();
    bool ParseSettingValue(int& value);

    Expr* ParseExpr();
    Expr* ParseAnd();
    Expr* ParseNot();
    Expr* ParseCompare();
    Expr* ParseAdditive();
    Expr* ParseTerm();
    Expr* ParseUnary();
    Expr* ParsePrimary();
    Expr* ParseNameExpr();
    Expr* Binary(Op op, const Pos& pos, Expr* lhs, Expr* rhs);

    Lexer lexer_;
    Program& program_;
    Diagnostics& diag_;
    Token tok_;
    Token next_;
    bool hasNext_ = false;
    bool failed_ = false;
    int nesting_ = 0;
    bool inSub_ = false;
    int firstStatementLine_ = 0;
    std::vector<Open> open_;
    std::vector<Stmt*> loops_;
};

}  // namespace vxc
