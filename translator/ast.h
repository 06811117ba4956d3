// The syntax tree. Nodes live in the Program's arenas and point at each other with
// plain pointers, so a deep tree is released without recursion.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "commands.h"
#include "diagnostics.h"

namespace vxc {

enum class Type : unsigned char { Int, Str };

enum class ExprKind : unsigned char {
    IntLit,   // value
    StrLit,   // text
    Var,      // name (with str for '$')
    Element,  // name[args]...
    Call,     // name(args): a function of the command table
    Neg,      // -lhs
    Not,      // NOT lhs
    Binary,   // lhs op rhs
};

enum class Op : unsigned char { Add, Sub, Mul, Div, Eq, Ne, Lt, Gt, Le, Ge, And, Or };

// A variable or an array of the program, global or LOCAL to a SUB.
struct Symbol {
    std::string name;   // as first written, with '$' for strings
    std::string cname;  // its name in the C++
    Type type = Type::Int;
    bool array = false;
    bool local = false;
    bool assigned = false;  // given a value somewhere
    bool read = false;
    Pos firstRead;
};

struct Expr {
    ExprKind kind = ExprKind::IntLit;
    Pos pos;
    Op op = Op::Add;
    bool str = false;   // Var/Element: the name ends in '$'
    int64_t value = 0;  // IntLit
    std::string text;   // StrLit contents; Var/Element/Call name as written
    Expr* lhs = nullptr;
    Expr* rhs = nullptr;
    std::vector<Expr*> args;  // Element indices, Call arguments
    int depth = 1;            // height of this subtree
    // Filled by the checker.
    Type type = Type::Int;
    Symbol* sym = nullptr;              // Var, Element
    const CommandForm* form = nullptr;  // Call
};

enum class StmtKind : unsigned char {
    Assign,   // target = value
    Command,  // name args (form chosen by the checker)
    If,       // conds[i] guards blocks[i]; one more block is the ELSE
    While,    // cond, body
    Repeat,   // body, cond
    For,      // target = value TO limit [STEP step], body
    Break,
    Continue,
    Label,  // name
    Goto,   // name
    Gosub,  // name
    Return,
    End,
    Dim,    // args: Element expressions, their indices the sizes
    Local,  // args: Var expressions
};

struct Stmt;
using Block = std::vector<Stmt*>;

struct Stmt {
    StmtKind kind = StmtKind::End;
    Pos pos;
    std::string name;  // Command, Label, Goto, Gosub
    Pos namePos;
    Expr* target = nullptr;
    Expr* value = nullptr;
    Expr* limit = nullptr;
    Expr* step = nullptr;
    Expr* cond = nullptr;
    std::vector<Expr*> args;
    std::vector<Expr*> conds;
    std::vector<Block> blocks;
    Block body;
    // Filled by the checker.
    const CommandForm* form = nullptr;
    int loopId = 0;          // For/While/Repeat: a number unique in the routine
    bool continued = false;  // a CONTINUE targets this loop
    Stmt* loop = nullptr;    // Break/Continue: the loop they leave
    bool used = false;       // Label: some GOTO jumps here
};

struct Routine {
    std::string name;  // as written; empty for the main program
    Pos pos;
    Block body;
    // Filled by the checker: the LOCAL symbols, in the order declared.
    std::vector<Symbol*> locals;
};

struct Constant {
    std::string name;  // as written, without '$'
    bool str = false;
    Pos pos;
    int64_t value = 0;
    std::string text;
    bool overridden = false;  // set from outside with -D
};

struct Settings {
    int screenX = 640, screenY = 480, fullscreen = 0, frameTime = 10, debug = 0;
};

struct Program {
    Settings settings;
    Routine main;
    std::deque<Routine> subs;
    std::deque<Constant> constants;
    std::deque<Expr> exprs;
    std::deque<Stmt> stmts;
    std::deque<Symbol> symbols;
    // Filled by the checker, sorted by C++ name: the globals the C++ declares.
    std::vector<Symbol*> globals;

    Expr* NewExpr(ExprKind kind, const Pos& pos) {
        exprs.emplace_back();
        exprs.back().kind = kind;
        exprs.back().pos = pos;
        return &exprs.back();
    }
    Stmt* NewStmt(StmtKind kind, const Pos& pos) {
        stmts.emplace_back();
        stmts.back().kind = kind;
        stmts.back().pos = pos;
        return &stmts.back();
    }
};

}  // namespace vxc
